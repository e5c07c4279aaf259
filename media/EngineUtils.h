// Small helpers shared by the media engine: seek flags, sizes, program
// folder, time conversion, and the bridge to the UI thread.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/rtl/exceptions.h"

namespace media {

// A violated precondition ("Assertion failure" and the like); never compiled
// out. EConvertError: a text that is no number.
using EAssertionFailed = rtl::EAssertionFailed;
using EConvertError = rtl::EConvertError;

// Integers in decimal, "$hex" or "0x" hex, optionally signed, surrounding
// blanks allowed. StrToInt raises EConvertError on anything else.
bool TryStrToInt64(const std::string& s, int64_t& v);
int StrToInt(const std::string& s);
int64_t StrToInt64(const std::string& s);
// Floats in the C locale whatever the process locale.
bool TryStrToFloat(const std::string& s, double& v);
double StrToFloat(const std::string& s);
std::string TrimStr(const std::string& s);
std::string LowerStr(std::string s);
bool SameText(const std::string& a, const std::string& b);

// printf-style formatting into a std::string (no length limit).
std::string FormatStr(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string VFormatStr(const char* fmt, va_list ap);

enum class TSeekFlag { sfBackward, sfByte, sfAny, sfFrame };
using TSeekFlags = unsigned;  // bit i = TSeekFlag i
constexpr TSeekFlags SeekFlag(TSeekFlag f) { return 1u << static_cast<int>(f); }
// The set's bits as the libraries' seek flag word (backward 1, byte 2, any 4, frame 8).
int SeekFlagsToAVFlags(TSeekFlags flags);

using TDateTime = double;  // days since 1899-12-30

int64_t FileSizeOf(const std::string& fileName);  // -1 when missing
std::string ProgramFileName();
std::string ExeFolder();  // with a trailing '/'
void SplitFirst(std::string& S, const std::string& Sep, bool ARemove, std::string& AFirst);
std::string SizeToText(int64_t ASize);
// Minus the standard bias of the local time zone, in days. Daylight saving
// is not included, as the callers' time arithmetic expects.
double TimeZoneOffsetDays();
TDateTime UnixToLocalDateTime(int64_t ASeconds);
// Date-time text: yyyy, mm, dd, hh, nn, ss, zzz; other characters as they are.
std::string FormatDateTimeText(const std::string& AFormat, TDateTime ADateTime);
TDateTime Now();

// Runs queued UI-thread calls once without blocking; False when none ran.
bool PumpOneMessage();
void PumpMessages();
// On the main thread: calls fn directly. On a worker: blocks until the main
// thread has run it (an exception in fn is re-thrown here).
void RunInMainThread(const std::function<void()>& fn);
// Queues fn for the main thread without waiting (direct on the main thread).
void PostToMainThread(std::function<void()> fn);
bool IsMainThread();
uint32_t CurrentThreadId();

}  // namespace media
