#include "platform/rtl/time.h"

#include <sys/time.h>

#include <cmath>
#include <ctime>
#include <mutex>

#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

namespace rtl {
namespace {

// Days from 0001-01-01 (proleptic Gregorian) to y-m-d, as the framework counts.
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;  // days since 1970-01-01
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long yy = static_cast<long long>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

// Whole milliseconds of dt, rounded, so 0.999999 of a second does not show as :59.
long long TotalMs(TDateTime dt) { return std::llround(dt * MSecsPerDay); }

TDateTime FromLocalTm(const std::tm& tm, long usec) {
  return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
         EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(usec / 1000));
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  result = static_cast<double>(DaysFromCivil(year, month, day)) + UnixDateDelta;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime r;
  if (!TryEncodeDate(year, month, day, r)) throw EConvertError("Invalid argument to date encode");
  return r;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    throw EConvertError("Invalid argument to time encode");
  return (((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / MSecsPerDay;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  long long ms = TotalMs(dt);
  long long days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
  CivilFromDays(days - static_cast<long long>(UnixDateDelta), year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  long long ms = TotalMs(dt) % 86400000;
  if (ms < 0) ms += 86400000;
  hour = static_cast<int>(ms / 3600000);
  min = static_cast<int>(ms / 60000 % 60);
  sec = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

TDateTime Now() {
  timeval tv;
  gettimeofday(&tv, nullptr);
  std::tm tm;
  time_t t = tv.tv_sec;
  localtime_r(&t, &tm);
  return FromLocalTm(tm, tv.tv_usec);
}

TDateTime Date() { return std::floor(Now()); }
TDateTime Time() {
  TDateTime n = Now();
  return n - std::floor(n);
}

std::string FormatDateTime(std::string_view format, TDateTime dt) {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(dt, y, mo, d);
  DecodeTime(dt, h, mi, s, ms);
  std::string out;
  bool afterHour = false;
  size_t i = 0;
  auto run = [&](char c) {
    size_t n = 0;
    while (i + n < format.size() && (format[i + n] | 0x20) == c) ++n;
    return n;
  };
  while (i < format.size()) {
    char c = format[i];
    char lc = static_cast<char>(c | 0x20);
    if (c == '"' || c == '\'') {
      size_t e = format.find(c, i + 1);
      if (e == std::string_view::npos) e = format.size();
      out.append(format.substr(i + 1, e - i - 1));
      i = e + 1;
      continue;
    }
    size_t n;
    switch (lc) {
      case 'y':
        n = run('y');
        out += n <= 2 ? Format("%.2d", y % 100) : Format("%.4d", y);
        i += n;
        afterHour = false;
        break;
      case 'm':
        n = run('m');
        if (afterHour)
          out += n >= 2 ? Format("%.2d", mi) : Format("%d", mi);
        else
          out += n >= 2 ? Format("%.2d", mo) : Format("%d", mo);
        i += n;
        afterHour = false;
        break;
      case 'd':
        n = run('d');
        out += n >= 2 ? Format("%.2d", d) : Format("%d", d);
        i += n;
        afterHour = false;
        break;
      case 'h':
        n = run('h');
        out += n >= 2 ? Format("%.2d", h) : Format("%d", h);
        i += n;
        afterHour = true;
        break;
      case 'n':
        n = run('n');
        out += n >= 2 ? Format("%.2d", mi) : Format("%d", mi);
        i += n;
        afterHour = false;
        break;
      case 's':
        n = run('s');
        out += n >= 2 ? Format("%.2d", s) : Format("%d", s);
        i += n;
        afterHour = false;
        break;
      case 'z':
        n = run('z');
        out += n >= 3 ? Format("%.3d", ms) : Format("%d", ms);
        i += n;
        afterHour = false;
        break;
      default:
        out += c;
        ++i;
        if (c != ':' && c != ' ') afterHour = false;
        break;
    }
  }
  return out;
}

std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("yyyy-mm-dd hh:nn:ss", dt); }
std::string DateToStr(TDateTime dt) { return FormatDateTime("yyyy-mm-dd", dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime("hh:nn:ss", dt); }

double TimeZoneOffsetDays() {
  static std::mutex m;
  std::lock_guard lock(m);
  tzset();
  return -static_cast<double>(timezone) / 86400.0;  // glibc's timezone is the standard offset, west positive
}

TDateTime UnixToLocalDateTime(std::int64_t seconds) {
  return static_cast<double>(seconds) / 86400.0 + UnixDateDelta + TimeZoneOffsetDays();
}

TDateTime UnixToDateTime(std::int64_t seconds) { return static_cast<double>(seconds) / 86400.0 + UnixDateDelta; }

std::int64_t DateTimeToUnix(TDateTime dt) { return std::llround((dt - UnixDateDelta) * 86400.0); }

std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(GetTickCount64()); }
std::uint64_t GetTickCount64() { return static_cast<std::uint64_t>(CurrentClock().NowMs()); }

}  // namespace rtl
