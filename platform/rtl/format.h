// Number conversions and Format with the class library's semantics. Floats
// always use the C locale ('.' as the decimal point) so that option texts
// such as "aq=0.5" never depend on the user's locale.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace rtl {

// One argument of Format.
struct FormatArg {
  enum Kind { kInt, kUInt, kFloat, kString, kChar, kPointer } kind;
  std::int64_t i = 0;
  std::uint64_t u = 0;
  double f = 0;
  std::string_view s;
  const void* p = nullptr;
  char ch = 0;

  template <class T>
  requires(std::is_integral_v<T>&& std::is_signed_v<T> && !std::is_same_v<T, char>) FormatArg(T v) : kind(kInt), i(v) {}
  template <class T>
  requires(std::is_integral_v<T>&& std::is_unsigned_v<T> && !std::is_same_v<T, bool>) FormatArg(T v)
      : kind(kUInt), u(v) {}
  FormatArg(bool v) : kind(kInt), i(v ? 1 : 0) {}
  template <class T>
  requires std::is_enum_v<T> FormatArg(T v) : kind(kInt), i(static_cast<std::int64_t>(v)) {}
  FormatArg(float v) : kind(kFloat), f(v) {}
  FormatArg(double v) : kind(kFloat), f(v) {}
  FormatArg(long double v) : kind(kFloat), f(static_cast<double>(v)) {}
  FormatArg(char c) : kind(kChar), ch(c) {}
  FormatArg(const char* v) : kind(kString), s(v ? v : "") {}
  FormatArg(char* v) : kind(kString), s(v ? v : "") {}
  FormatArg(std::string_view v) : kind(kString), s(v) {}
  FormatArg(const std::string& v) : kind(kString), s(v) {}
  template <class T>
  requires(!std::is_same_v<std::remove_cv_t<T>, char>) FormatArg(T* v) : kind(kPointer), p(v) {}
  FormatArg(std::nullptr_t) : kind(kPointer), p(nullptr) {}
};

// Format("%d %s %.2f", a, b, c). Supports %d %u %x %s %f %e %g %n %p and %%,
// an optional argument index ("%1:s"), '-', width and precision (both may be
// '*'). %d and %x with a precision pad with zeros ("%.2d"); %f defaults to
// two decimals. A mismatched argument raises EConvertError.
std::string FormatV(std::string_view format, std::span<const FormatArg> args);

template <class... A>
std::string Format(std::string_view format, const A&... args) {
  if constexpr (sizeof...(A) == 0) {
    return FormatV(format, {});
  } else {
    const std::array<FormatArg, sizeof...(A)> list{FormatArg(args)...};
    return FormatV(format, list);
  }
}

// Integers: leading blanks are allowed, then an optional sign, then decimal
// digits, or hex digits after "$" or "0x". Anything else is a conversion error.
int StrToInt(std::string_view s);
std::int64_t StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int def);
std::int64_t StrToInt64Def(std::string_view s, std::int64_t def);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, std::int64_t& value);

// Floats in the C locale; blanks around the number are allowed.
double StrToFloat(std::string_view s);
double StrToFloatDef(std::string_view s, double def);
bool TryStrToFloat(std::string_view s, double& value);
// 15 significant digits in the shortest form; exponent form ("1E15",
// "1E-5") for very large or very small values.
std::string FloatToStr(double value);

bool StrToBool(std::string_view s);
bool StrToBoolDef(std::string_view s, bool def);
bool TryStrToBool(std::string_view s, bool& value);
std::string BoolToStr(bool value, bool useBoolStrs = false);

// Rounds halves to even: Round(2.5) = 2, Round(3.5) = 4, Round(-2.5) = -2.
std::int64_t Round(double value);
// Truncates toward zero.
std::int64_t Trunc(double value);

}  // namespace rtl
