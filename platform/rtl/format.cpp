#include "platform/rtl/format.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/exceptions.h"

namespace rtl {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Number of code points, counting each invalid byte as one.
int CodePoints(std::string_view s) {
  int n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// Byte length of the first `count` code points.
size_t PrefixBytes(std::string_view s, int count) {
  size_t i = 0;
  int seen = 0;
  while (i < s.size()) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (seen == count) break;
      ++seen;
    }
    ++i;
  }
  return i;
}

std::string HexDigits(std::uint64_t v) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kHex[v & 15]);
    v >>= 4;
  } while (v);
  return out;
}

// Digits and decimal exponent of v rounded to `precision` significant
// digits: v = 0.d1d2d3... * 10^exponent, trailing zeros removed.
void Decimal(double v, int precision, std::string& digits, int& exponent) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, precision - 1);
  std::string_view text(buf, r.ptr - buf);
  size_t e = text.find('e');
  digits.clear();
  for (char c : text.substr(0, e))
    if (c != '.') digits += c;
  int exp10 = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exp10);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  exponent = exp10 + 1;
}

std::string SpecialFloat(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

std::string GeneralFloat(double v, int precision) {
  if (!std::isfinite(v)) return SpecialFloat(v);
  if (v == 0) return "0";
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;
  std::string digits;
  int exponent;
  Decimal(v, precision, digits, exponent);
  std::string out = v < 0 ? "-" : "";
  if (exponent > precision || exponent < -3) {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent - 1);
    return out;
  }
  if (exponent <= 0) {
    out += "0." + std::string(-exponent, '0') + digits;
  } else if (static_cast<int>(digits.size()) <= exponent) {
    out += digits + std::string(exponent - digits.size(), '0');
  } else {
    out += digits.substr(0, exponent) + "." + digits.substr(exponent);
  }
  return out;
}

std::string FixedFloat(double v, int precision, bool thousands) {
  if (!std::isfinite(v)) return SpecialFloat(v);
  if (precision < 0) precision = 0;
  if (precision > 99) precision = 99;
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
  std::string out(buf, r.ptr - buf);
  if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  if (thousands) {
    size_t start = out[0] == '-' ? 1 : 0;
    size_t dot = out.find('.');
    if (dot == std::string::npos) dot = out.size();
    for (size_t i = dot; i > start + 3; i -= 3) out.insert(i - 3, 1, ',');
  }
  return out;
}

std::string ExponentFloat(double v, int precision) {
  if (!std::isfinite(v)) return SpecialFloat(v);
  if (precision < 1) precision = 1;
  if (precision > 18) precision = 18;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, precision - 1);
  std::string text(buf, r.ptr - buf);
  size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  char sign = text[e + 1];
  std::string exp = text.substr(e + 2);
  while (exp.size() < 3) exp.insert(exp.begin(), '0');
  return mantissa + "E" + sign + exp;
}

[[noreturn]] void BadFormat(std::string_view format) {
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

}  // namespace

std::string FormatV(std::string_view format, std::span<const FormatArg> args) {
  std::string out;
  out.reserve(format.size() + 16);
  size_t next = 0;
  size_t i = 0;
  const size_t n = format.size();
  auto takeArg = [&]() -> const FormatArg& {
    if (next >= args.size()) throw EConvertError("No argument for format '" + std::string(format) + "'");
    return args[next++];
  };
  auto readNumber = [&](int& value) -> bool {  // digits or '*'
    if (i < n && format[i] == '*') {
      ++i;
      const FormatArg& a = takeArg();
      if (a.kind == FormatArg::kInt)
        value = static_cast<int>(a.i);
      else if (a.kind == FormatArg::kUInt)
        value = static_cast<int>(a.u);
      else
        BadFormat(format);
      return true;
    }
    if (i >= n || format[i] < '0' || format[i] > '9') return false;
    value = 0;
    while (i < n && format[i] >= '0' && format[i] <= '9') {
      if (value < 100000) value = value * 10 + (format[i] - '0');
      ++i;
    }
    return true;
  };

  while (i < n) {
    char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    ++i;
    if (i < n && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    int width = -1, precision = -1;
    bool left = false;
    int number;
    size_t save = i;
    if (i < n && format[i] != '*' && readNumber(number)) {
      if (i < n && format[i] == ':') {
        ++i;
        next = static_cast<size_t>(number < 0 ? 0 : number);
      } else {
        i = save;
      }
    }
    if (i < n && format[i] == '-') {
      left = true;
      ++i;
    }
    if (readNumber(number)) width = number;
    if (i < n && format[i] == '.') {
      ++i;
      if (!readNumber(number)) number = 0;
      precision = number;
    }
    if (i >= n) BadFormat(format);
    char type = static_cast<char>(format[i] | 0x20);
    ++i;
    const FormatArg& a = takeArg();
    std::string text;
    auto asDouble = [&]() -> double {
      switch (a.kind) {
        case FormatArg::kFloat:
          return a.f;
        case FormatArg::kInt:
          return static_cast<double>(a.i);
        case FormatArg::kUInt:
          return static_cast<double>(a.u);
        default:
          BadFormat(format);
      }
    };
    switch (type) {
      case 'd':
      case 'u':
      case 'x': {
        bool negative = false;
        std::uint64_t magnitude;
        if (a.kind == FormatArg::kInt) {
          if (type == 'd') {
            negative = a.i < 0;
            magnitude = negative ? (~static_cast<std::uint64_t>(a.i) + 1) : static_cast<std::uint64_t>(a.i);
          } else if (a.i < 0 && a.i >= std::numeric_limits<std::int32_t>::min()) {
            magnitude = static_cast<std::uint32_t>(a.i);  // 32-bit two's complement, as the framework shows it
          } else {
            magnitude = static_cast<std::uint64_t>(a.i);
          }
        } else if (a.kind == FormatArg::kUInt) {
          magnitude = a.u;
        } else {
          BadFormat(format);
        }
        std::string digits = type == 'x' ? HexDigits(magnitude) : std::to_string(magnitude);
        if (precision > static_cast<int>(digits.size())) digits.insert(0, precision - digits.size(), '0');
        text = negative ? "-" + digits : digits;
        break;
      }
      case 'f':
        text = FixedFloat(asDouble(), precision < 0 ? 2 : precision, false);
        break;
      case 'n':
      case 'm':
        text = FixedFloat(asDouble(), precision < 0 ? 2 : precision, true);
        break;
      case 'e':
        text = ExponentFloat(asDouble(), precision < 0 ? 15 : precision);
        break;
      case 'g':
        text = GeneralFloat(asDouble(), precision < 0 ? 15 : precision);
        break;
      case 's': {
        std::string_view s;
        if (a.kind == FormatArg::kString)
          s = a.s;
        else if (a.kind == FormatArg::kChar)
          s = std::string_view(&a.ch, 1);
        else
          BadFormat(format);
        if (precision >= 0) s = s.substr(0, PrefixBytes(s, precision));
        text.assign(s);
        break;
      }
      case 'p': {
        if (a.kind != FormatArg::kPointer) BadFormat(format);
        text = HexDigits(reinterpret_cast<std::uintptr_t>(a.p));
        text.insert(0, 2 * sizeof(void*) - text.size(), '0');
        break;
      }
      default:
        BadFormat(format);
    }
    int len = CodePoints(text);
    if (width > len) {
      if (left)
        text.append(width - len, ' ');
      else
        text.insert(0, width - len, ' ');
    }
    out += text;
  }
  return out;
}

bool TryStrToInt64(std::string_view s, std::int64_t& value) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  std::uint64_t v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return false;
    if (v > (std::numeric_limits<std::uint64_t>::max() - d) / base) return false;
    v = v * base + d;
  }
  if (base == 10) {
    const std::uint64_t limit = negative ? (std::uint64_t{1} << 63) : (std::uint64_t{1} << 63) - 1;
    if (v > limit) return false;
  }
  // Hex texts cover the full 64-bit pattern ("$FFFFFFFFFFFFFFFF" is -1).
  value = static_cast<std::int64_t>(negative ? ~v + 1 : v);
  return true;
}

bool TryStrToInt(std::string_view s, int& value) {
  std::int64_t v;
  if (!TryStrToInt64(s, v)) return false;
  bool hex = s.find('$') != std::string_view::npos || s.find('x') != std::string_view::npos ||
             s.find('X') != std::string_view::npos;
  if (hex && v >= 0 && v <= 0xFFFFFFFFll) {
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));  // "$FFFFFFFF" is -1
    return true;
  }
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(std::string_view s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return v;
}

std::int64_t StrToInt64(std::string_view s) {
  std::int64_t v;
  if (!TryStrToInt64(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
  return v;
}

int StrToIntDef(std::string_view s, int def) {
  int v;
  return TryStrToInt(s, v) ? v : def;
}

std::int64_t StrToInt64Def(std::string_view s, std::int64_t def) {
  std::int64_t v;
  return TryStrToInt64(s, v) ? v : def;
}

bool TryStrToFloat(std::string_view s, double& value) {
  s = TrimView(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s[0] == '+' || s[0] == '-') return false;
  double v;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
  value = negative ? -v : v;
  return true;
}

double StrToFloat(std::string_view s) {
  double v;
  if (!TryStrToFloat(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
  return v;
}

double StrToFloatDef(std::string_view s, double def) {
  double v;
  return TryStrToFloat(s, v) ? v : def;
}

std::string FloatToStr(double value) { return GeneralFloat(value, 15); }

bool TryStrToBool(std::string_view s, bool& value) {
  std::int64_t i;
  if (TryStrToInt64(s, i)) {
    value = i != 0;
    return true;
  }
  std::string t(TrimView(s));
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (t == "true")
    value = true;
  else if (t == "false")
    value = false;
  else
    return false;
  return true;
}

bool StrToBool(std::string_view s) {
  bool v;
  if (!TryStrToBool(s, v)) throw EConvertError("'" + std::string(s) + "' is not a valid boolean value");
  return v;
}

bool StrToBoolDef(std::string_view s, bool def) {
  bool v;
  return TryStrToBool(s, v) ? v : def;
}

std::string BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? "True" : "False";
  return value ? "-1" : "0";
}

namespace {
std::int64_t ClampToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
  if (v <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(v);
}
}  // namespace

std::int64_t Round(double value) {
  if (!std::isfinite(value)) return ClampToInt64(value);
  double r = std::round(value);  // halves away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
  return ClampToInt64(r);
}

std::int64_t Trunc(double value) { return ClampToInt64(std::trunc(value)); }

}  // namespace rtl
