// Basic value types of the runtime core, with the names ported code uses.
#pragma once

#include <cstdint>
#include <string>

namespace rtl {

using string = std::string;  // always UTF-8

using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using LongInt = std::int32_t;
using LongWord = std::uint32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;
using Word = std::uint16_t;
using Byte = std::uint8_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// Root of the object classes; lets events carry a typed Sender.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;
};

// Wait without limit.
inline constexpr std::uint32_t INFINITE = 0xFFFFFFFFu;

}  // namespace rtl
