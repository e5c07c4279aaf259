#include "media/EngineUtils.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <cstdio>
#include <ctime>
#include <vector>

#include "media/MainThreadBridge.h"

namespace media {

std::string VFormatStr(const char* fmt, va_list ap) {
  char buf[512];
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(buf, sizeof buf, fmt, ap2);
  va_end(ap2);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, n);
  std::string out(static_cast<size_t>(n) + 1, '\0');
  va_copy(ap2, ap);
  std::vsnprintf(out.data(), out.size(), fmt, ap2);
  va_end(ap2);
  out.resize(n);
  return out;
}

std::string FormatStr(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = VFormatStr(fmt, ap);
  va_end(ap);
  return s;
}

bool TryStrToInt64(const std::string& str, int64_t& v) {
  std::string s = TrimStr(str);
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  unsigned long long acc = 0;
  for (; i < s.size(); ++i) {
    int d;
    char c = s[i];
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    if (acc > (~0ULL - d) / base) return false;
    acc = acc * base + d;
  }
  if (base == 10 && acc > (neg ? 9223372036854775808ULL : 9223372036854775807ULL)) return false;
  v = neg ? static_cast<int64_t>(0 - acc) : static_cast<int64_t>(acc);
  return true;
}

int64_t StrToInt64(const std::string& s) {
  int64_t v;
  if (!TryStrToInt64(s, v)) throw EConvertError(FormatStr("'%s' is not a valid integer value", s.c_str()));
  return v;
}

int StrToInt(const std::string& s) {
  int64_t v;
  if (!TryStrToInt64(s, v) || v < INT32_MIN || v > UINT32_MAX)
    throw EConvertError(FormatStr("'%s' is not a valid integer value", s.c_str()));
  return static_cast<int>(v);
}

bool TryStrToFloat(const std::string& str, double& v) {
  std::string s = TrimStr(str);
  if (s.empty()) return false;
  static locale_t cloc = ::newlocale(LC_ALL_MASK, "C", nullptr);
  char* end = nullptr;
  double d = ::strtod_l(s.c_str(), &end, cloc);
  if (end != s.c_str() + s.size()) return false;
  v = d;
  return true;
}

double StrToFloat(const std::string& s) {
  double v;
  if (!TryStrToFloat(s, v)) throw EConvertError(FormatStr("'%s' is not a valid floating point value", s.c_str()));
  return v;
}

std::string TrimStr(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string LowerStr(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool SameText(const std::string& a, const std::string& b) { return LowerStr(a) == LowerStr(b); }

int SeekFlagsToAVFlags(TSeekFlags flags) { return static_cast<int>(flags & 0xF); }

int64_t FileSizeOf(const std::string& fileName) {
  struct stat st;
  if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

std::string ProgramFileName() {
  std::vector<char> buf(4096);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

std::string ExeFolder() {
  std::string p = ProgramFileName();
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? std::string("./") : p.substr(0, slash + 1);
}

void SplitFirst(std::string& S, const std::string& Sep, bool ARemove, std::string& AFirst) {
  size_t pos = Sep.empty() ? std::string::npos : S.find(Sep);
  if (pos != std::string::npos) {
    AFirst = S.substr(0, pos);
    if (ARemove) S = S.substr(pos + Sep.size());
  } else {
    AFirst = S;
    if (ARemove) S.clear();
  }
}

std::string SizeToText(int64_t ASize) {
  if (ASize > 1073741824) return FormatStr("%.2f GB", ASize / 1073741824.0);
  if (ASize > 1048576) return FormatStr("%.2f MB", ASize / 1048576.0);
  if (ASize > 1024) return FormatStr("%.2f KB", ASize / 1024.0);
  return FormatStr("%lld Byte", static_cast<long long>(ASize));
}

double TimeZoneOffsetDays() {
  ::tzset();
  return -static_cast<double>(::timezone) / 86400.0;
}

TDateTime UnixToLocalDateTime(int64_t ASeconds) {
  return static_cast<double>(ASeconds) / 86400.0 + 25569.0 + TimeZoneOffsetDays();
}

TDateTime Now() {
  struct timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  struct tm lt;
  time_t t = ts.tv_sec;
  ::localtime_r(&t, &lt);
  return (static_cast<double>(ts.tv_sec) + lt.tm_gmtoff) / 86400.0 + 25569.0 + ts.tv_nsec / 86400e9;
}

std::string FormatDateTimeText(const std::string& AFormat, TDateTime ADateTime) {
  // Split the day number into a civil date (days since 1899-12-30).
  double whole = std::floor(ADateTime);
  int64_t msOfDay = static_cast<int64_t>(std::llround((ADateTime - whole) * 86400000.0));
  if (msOfDay >= 86400000) {
    whole += 1;
    msOfDay -= 86400000;
  }
  time_t secs = static_cast<time_t>((static_cast<int64_t>(whole) - 25569) * 86400);
  struct tm d;
  ::gmtime_r(&secs, &d);
  int hh = static_cast<int>(msOfDay / 3600000), nn = static_cast<int>(msOfDay / 60000 % 60),
      ss = static_cast<int>(msOfDay / 1000 % 60), zzz = static_cast<int>(msOfDay % 1000);
  std::string out;
  for (size_t i = 0; i < AFormat.size();) {
    auto at = [&](const char* tok) { return AFormat.compare(i, std::char_traits<char>::length(tok), tok) == 0; };
    if (at("yyyy")) {
      out += FormatStr("%04d", d.tm_year + 1900);
      i += 4;
    } else if (at("zzz")) {
      out += FormatStr("%03d", zzz);
      i += 3;
    } else if (at("mm")) {
      out += FormatStr("%02d", d.tm_mon + 1);
      i += 2;
    } else if (at("dd")) {
      out += FormatStr("%02d", d.tm_mday);
      i += 2;
    } else if (at("hh")) {
      out += FormatStr("%02d", hh);
      i += 2;
    } else if (at("nn")) {
      out += FormatStr("%02d", nn);
      i += 2;
    } else if (at("ss")) {
      out += FormatStr("%02d", ss);
      i += 2;
    } else
      out += AFormat[i++];
  }
  return out;
}

bool PumpOneMessage() { return bridge::ProcessOne(); }

void PumpMessages() {
  while (PumpOneMessage()) {
  }
}

void RunInMainThread(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  bridge::RunBlocking(fn);
}

void PostToMainThread(std::function<void()> fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  bridge::Post(std::move(fn));
}

bool IsMainThread() { return bridge::IsMainThread(); }

uint32_t CurrentThreadId() { return static_cast<uint32_t>(::syscall(SYS_gettid)); }

}  // namespace media
