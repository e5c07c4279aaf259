#include "platform/rtl/strings.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <cerrno>
#include <cstring>

namespace rtl {
namespace {

bool IsLead(unsigned char c) { return (c & 0xC0) != 0x80; }

// Byte offset of the 1-based code point `index` (clipped to the end).
size_t ByteOffset(std::string_view s, int index) {
  if (index <= 1) return 0;
  int seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsLead(static_cast<unsigned char>(s[i]))) {
      if (++seen == index) return i;
    }
  }
  return s.size();
}

int CodePointIndex(std::string_view s, size_t byteOffset) {
  int n = 0;
  for (size_t i = 0; i < byteOffset && i < s.size(); ++i)
    if (IsLead(static_cast<unsigned char>(s[i]))) ++n;
  return n + 1;
}

// Decodes one code point at s[i]; advances i. Invalid sequences give U+FFFD
// and consume one byte, with *valid set to false.
char32_t DecodeOne(std::string_view s, size_t& i, bool* valid = nullptr) {
  if (valid) *valid = true;
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  int len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (len == 0 || (len == 3 && c >= 0xF0) || i + len > s.size()) {
    ++i;
    if (valid) *valid = false;
    return 0xFFFD;
  }
  char32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      if (valid) *valid = false;
      return 0xFFFD;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  bool overlong = (len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF));
  if (overlong || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    if (valid) *valid = false;
    return 0xFFFD;
  }
  i += len;
  return cp;
}

locale_t Utf8Locale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }();
  return loc;
}

template <class F>
std::string MapCodePoints(std::string_view s, F f) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    size_t start = i;
    bool valid;
    char32_t cp = DecodeOne(s, i, &valid);
    if (!valid) {
      out.append(s.substr(start, i - start));  // keep invalid bytes untouched
      continue;
    }
    out += CodePointToUtf8(f(cp));
  }
  return out;
}

char32_t Fold(char32_t c) { return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), Utf8Locale())); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

int Length(std::string_view s) {
  int n = 0;
  for (unsigned char c : s)
    if (IsLead(c)) ++n;
  return n;
}

std::string Copy(std::string_view s, int index, int count) {
  if (count <= 0) return {};
  if (index < 1) index = 1;
  size_t b = ByteOffset(s, index);
  if (b >= s.size()) return {};
  long long end = static_cast<long long>(index) + count;
  size_t e = end > 0x7FFFFFFF ? s.size() : ByteOffset(s, static_cast<int>(end));
  return std::string(s.substr(b, e - b));
}

int Pos(std::string_view sub, std::string_view s) { return PosEx(sub, s, 1); }

int PosEx(std::string_view sub, std::string_view s, int offset) {
  if (sub.empty() || offset < 1) return 0;
  size_t b = ByteOffset(s, offset);
  if (offset > 1 && b >= s.size()) return 0;
  size_t found = s.find(sub, b);
  return found == std::string_view::npos ? 0 : CodePointIndex(s, found);
}

void Delete(std::string& s, int index, int count) {
  if (index < 1 || count <= 0) return;
  size_t b = ByteOffset(s, index);
  if (b >= s.size()) return;
  long long end = static_cast<long long>(index) + count;
  size_t e = end > 0x7FFFFFFF ? s.size() : ByteOffset(s, static_cast<int>(end));
  s.erase(b, e - b);
}

void Insert(std::string_view sub, std::string& s, int index) {
  if (index < 1) index = 1;
  s.insert(ByteOffset(s, index), sub);
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return std::string(s.substr(0, n));
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

std::string AnsiUpperCase(std::string_view s) {
  return MapCodePoints(s, [](char32_t c) { return static_cast<char32_t>(towupper_l(c, Utf8Locale())); });
}

std::string AnsiLowerCase(std::string_view s) { return MapCodePoints(s, Fold); }

int CompareText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int ca = static_cast<unsigned char>(AsciiLower(a[i]));
    int cb = static_cast<unsigned char>(AsciiLower(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int CompareStr(std::string_view a, std::string_view b) {
  int r = a.compare(b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t ca = Fold(DecodeOne(a, i));
    char32_t cb = Fold(DecodeOne(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }
int AnsiCompareStr(std::string_view a, std::string_view b) { return CompareStr(a, b); }
int AnsiCompareFileName(std::string_view a, std::string_view b) { return AnsiCompareText(a, b); }

bool StartsText(std::string_view prefix, std::string_view s) {
  return s.size() >= prefix.size() && CompareText(s.substr(0, prefix.size()), prefix) == 0;
}
bool EndsText(std::string_view suffix, std::string_view s) {
  return s.size() >= suffix.size() && CompareText(s.substr(s.size() - suffix.size()), suffix) == 0;
}
bool StartsStr(std::string_view prefix, std::string_view s) { return s.substr(0, prefix.size()) == prefix; }
bool EndsStr(std::string_view suffix, std::string_view s) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags) {
  if (oldPattern.empty()) return std::string(s);
  std::string hay = (flags & rfIgnoreCase) ? AnsiUpperCase(s) : std::string(s);
  std::string needle = (flags & rfIgnoreCase) ? AnsiUpperCase(oldPattern) : std::string(oldPattern);
  if (hay.size() != s.size() || needle.size() != oldPattern.size()) {  // case mapping changed byte lengths
    hay = UpperCase(s);
    needle = UpperCase(oldPattern);
  }
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t found = hay.find(needle, pos);
    if (found == std::string::npos) break;
    out.append(s.substr(pos, found - pos));
    out.append(newPattern);
    pos = found + needle.size();
    if (!(flags & rfReplaceAll)) break;
  }
  out.append(s.substr(pos));
  return out;
}

std::string StringOfChar(char c, int count) { return count > 0 ? std::string(count, c) : std::string(); }

std::string QuotedStr(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string IntToHex(std::int64_t value, int digits) {
  std::uint64_t v = static_cast<std::uint64_t>(value);
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kHex[v & 15]);
    v >>= 4;
  } while (v);
  if (digits > static_cast<int>(out.size())) out.insert(0, digits - out.size(), '0');
  return out;
}

std::u32string ToUtf32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) out += DecodeOne(s, i);
  return out;
}

std::string CodePointToUtf8(char32_t cp) {
  std::string out;
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

std::string FromUtf32(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) out += CodePointToUtf8(c);
  return out;
}

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    bool valid;
    DecodeOne(s, i, &valid);
    if (!valid) return false;
  }
  return true;
}

std::string DecodeLegacy(std::string_view bytes, const char* encoding) {
  iconv_t cd = iconv_open("UTF-8", encoding);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Unknown encoding: keep ASCII, replace the rest.
    std::string out;
    for (unsigned char c : bytes) out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string("\xEF\xBF\xBD");
    return out;
  }
  std::string out;
  std::string in(bytes);
  char* inp = in.data();
  size_t inLeft = in.size();
  char buf[4096];
  while (inLeft > 0) {
    char* outp = buf;
    size_t outLeft = sizeof buf;
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.append(buf, outp - buf);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // Invalid or truncated sequence: replace one byte and go on.
      out += "\xEF\xBF\xBD";
      ++inp;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* outp = buf;
  size_t outLeft = sizeof buf;
  iconv(cd, nullptr, nullptr, &outp, &outLeft);
  out.append(buf, outp - buf);
  iconv_close(cd);
  return out;
}

std::vector<std::string> SplitString(std::string_view s, char separator) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    size_t p = s.find(separator, start);
    if (p == std::string_view::npos) {
      out.emplace_back(s.substr(start));
      return out;
    }
    out.emplace_back(s.substr(start, p - start));
    start = p + 1;
  }
}

}  // namespace rtl
