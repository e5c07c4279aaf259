// UTF-8 string helpers. Positions and lengths are 1-based and counted in code
// points, as ported code expects; comparisons of item texts stay byte-exact.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/format.h"
#include "platform/rtl/types.h"

namespace rtl {

// Code points in s (invalid bytes count one each).
int Length(std::string_view s);
// Up to count code points from the 1-based index; out-of-range parts are clipped.
std::string Copy(std::string_view s, int index, int count = 0x7FFFFFFF);
// 1-based code-point index of the first occurrence of sub in s; 0 when absent.
int Pos(std::string_view sub, std::string_view s);
int PosEx(std::string_view sub, std::string_view s, int offset = 1);
// Removes the code points [index, index+count).
void Delete(std::string& s, int index, int count);
void Insert(std::string_view sub, std::string& s, int index);

// Trimming removes ASCII blanks and control characters (<= ' ').
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string UpperCase(std::string_view s);  // ASCII only
std::string LowerCase(std::string_view s);
std::string AnsiUpperCase(std::string_view s);  // full Unicode simple case mapping
std::string AnsiLowerCase(std::string_view s);

// ASCII case-insensitive comparison; <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);  // byte order
// Unicode case-folded comparison in code-point order.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareFileName(std::string_view a, std::string_view b);

bool StartsText(std::string_view prefix, std::string_view s);  // ASCII case-insensitive
bool EndsText(std::string_view suffix, std::string_view s);
bool StartsStr(std::string_view prefix, std::string_view s);
bool EndsStr(std::string_view suffix, std::string_view s);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags);

std::string StringOfChar(char c, int count);
std::string QuotedStr(std::string_view s);  // 'text' with inner quotes doubled

std::string IntToStr(std::int64_t value);
// Upper-case hexadecimal with at least `digits` digits (two's complement for negatives).
std::string IntToHex(std::int64_t value, int digits);

// The program's strings are already UTF-8; these are identities.
inline std::string UTF8Encode(std::string_view s) { return std::string(s); }
inline std::string UTF8Decode(std::string_view s) { return std::string(s); }

// Decoded code points (an invalid byte becomes U+FFFD) and back.
std::u32string ToUtf32(std::string_view s);
std::string FromUtf32(std::u32string_view s);
std::string CodePointToUtf8(char32_t cp);
bool IsValidUtf8(std::string_view s);

// Converts text in a legacy encoding (for example "GBK") to UTF-8; on an
// unknown encoding or invalid input the bytes that cannot be converted
// become U+FFFD.
std::string DecodeLegacy(std::string_view bytes, const char* encoding);

// Splits on a single separator; keeps empty fields.
std::vector<std::string> SplitString(std::string_view s, char separator);

}  // namespace rtl
