// Dates and times as TDateTime (days since 1899-12-30, fraction = time of day).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/types.h"

namespace rtl {

inline constexpr double UnixDateDelta = 25569.0;  // 1970-01-01 as TDateTime
inline constexpr double MSecsPerDay = 86400000.0;

TDateTime Now();
TDateTime Date();
TDateTime Time();

TDateTime EncodeDate(int year, int month, int day);  // EConvertError on an invalid date
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// yyyy yy m mm d dd h hh n nn s ss z zzz; "m"/"mm" right after an hour means
// minutes; text in quotes is copied; other characters are literal.
std::string FormatDateTime(std::string_view format, TDateTime dt);
std::string DateTimeToStr(TDateTime dt);  // "yyyy-mm-dd hh:nn:ss"
std::string DateToStr(TDateTime dt);      // "yyyy-mm-dd"
std::string TimeToStr(TDateTime dt);      // "hh:nn:ss"

// Minus the zone's standard bias in days; daylight saving is not included.
double TimeZoneOffsetDays();
// seconds / 86400 + 25569 + TimeZoneOffsetDays(): the local standard time.
TDateTime UnixToLocalDateTime(std::int64_t seconds);
TDateTime UnixToDateTime(std::int64_t seconds);  // UTC
std::int64_t DateTimeToUnix(TDateTime dt);       // treats dt as UTC

// Milliseconds of CurrentClock(); wraps like the 32-bit system counter.
std::uint32_t GetTickCount();
std::uint64_t GetTickCount64();

// Also declared in threads.h. Sleep(0) yields.
void Sleep(std::uint32_t ms);

}  // namespace rtl
