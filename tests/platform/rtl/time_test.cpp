#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include "platform/rtl/clock.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/time.h"

using namespace rtl;

namespace {
class ScopedTz {
 public:
  explicit ScopedTz(const char* tz) {
    const char* old = getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTz() {
    if (had_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};
}  // namespace

TEST(Time, UnixToLocalDateTimeUsesStandardBias) {
  {
    ScopedTz tz("Asia/Shanghai");
    EXPECT_DOUBLE_EQ(TimeZoneOffsetDays(), 1.0 / 3);
    EXPECT_DOUBLE_EQ(UnixToLocalDateTime(0), 25569 + 1.0 / 3);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", UnixToLocalDateTime(1700000000)), "2023-11-15 06:13:20");
  }
  {
    ScopedTz tz("Europe/Berlin");  // summer date: still the standard offset, no DST
    EXPECT_EQ(FormatDateTime("hh:nn", UnixToLocalDateTime(1688169600)), "01:00");  // 2023-07-01 00:00 UTC
  }
  ScopedTz tz("UTC");
  EXPECT_DOUBLE_EQ(UnixToLocalDateTime(86400), 25570);
  EXPECT_EQ(DateTimeToUnix(UnixToDateTime(1700000000)), 1700000000);
}

TEST(Time, EncodeDecodeAndFormat) {
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_DOUBLE_EQ(EncodeDate(1970, 1, 1), 25569);
  EXPECT_DOUBLE_EQ(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2);  // leap year
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  TDateTime dt = EncodeDate(2024, 1, 5) + EncodeTime(7, 8, 9, 12);
  int y, m, d, h, n, s, ms;
  DecodeDate(dt, y, m, d);
  DecodeTime(dt, h, n, s, ms);
  EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2024, 1, 5, 7, 8, 9, 12}));
  struct Case {
    const char *format, *want;
  };
  const Case cases[] = {
      {"yyyy-mm-dd hh:nn:ss.zzz", "2024-01-05 07:08:09.012"},
      {"yy/m/d h:n:s", "24/1/5 7:8:9"},
      {"hh:mm", "07:08"},  // minutes right after an hour
      {"yyyymmdd_hhnnss", "20240105_070809"},
      {"'at' hh\"h\"", "at 07h"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.format, dt), c.want);
  EXPECT_EQ(DateTimeToStr(dt), "2024-01-05 07:08:09");
  // 23:59:59.9996 rounds to the next day rather than showing :60.
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", EncodeDate(2024, 1, 5) + (86399999.6 / MSecsPerDay)),
            "2024-01-06 00:00:00");
}

TEST(Time, ClockInjectionDrivesTickCount) {
  ManualClock manual(5000000);
  SetCurrentClock(&manual);
  EXPECT_EQ(GetTickCount(), 5000u);
  manual.Advance(250);
  EXPECT_EQ(GetTickCount(), 5250u);
  manual.SetUs((std::int64_t{1} << 32) * 1000 + 7000);
  EXPECT_EQ(GetTickCount(), 7u);  // wraps like the 32-bit counter
  EXPECT_EQ(GetTickCount64(), (std::uint64_t{1} << 32) + 7);
  SetCurrentClock(nullptr);
  SystemClock sys;
  std::int64_t a = sys.NowUs();
  EXPECT_GE(sys.NowUs(), a);
  EXPECT_GE(Now(), EncodeDate(2020, 1, 1));
}
