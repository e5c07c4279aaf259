#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

using namespace rtl;

TEST(Format, Table) {
  struct Case {
    std::string got, want;
  };
  const Case cases[] = {
      {Format("%d Byte", 1024), "1024 Byte"},
      {Format("%d", -5), "-5"},
      {Format("%.3d", -5), "-005"},
      {Format("%.2d:%.2d:%.2d.%.3d", 1, 2, 3, 4), "01:02:03.004"},
      {Format("%5d|%-5d|", 42, 42), "   42|42   |"},
      {Format("%*d", 4, 7), "   7"},
      {Format("%u", 4000000000u), "4000000000"},
      {Format("%x", 255), "FF"},
      {Format("%.4x", 255), "00FF"},
      {Format("%x", -1), "FFFFFFFF"},
      {Format("%d", std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808"},
      {Format("%s=%s", "aq", std::string("0.5")), "aq=0.5"},
      {Format("[%6s][%-6s]", "ab", "ab"), "[    ab][ab    ]"},
      {Format("%.2s", "保持原分辨率"), "保持"},
      {Format("%4s", "分辨"), "  分辨"},
      {Format("%s", 'c'), "c"},
      {Format("%f", 1.5), "1.50"},
      {Format("%.2f GB", 3221225472.0 / 1073741824), "3.00 GB"},
      {Format("%.2f KB", 1536 / 1024.0), "1.50 KB"},
      {Format("%.0f", 2.5), "2"},
      {Format("%.1f", 0.25), "0.2"},
      {Format("%.2f", -0.001), "0.00"},
      {Format("%8.3f", 3.14159), "   3.142"},
      {Format("%e", 1234.5), "1.23450000000000E+003"},
      {Format("%.3e", -0.0012345), "-1.23E-003"},
      {Format("%g", 0.5), "0.5"},
      {Format("%g", 1e20), "1E20"},
      {Format("%n", 1234567.891), "1,234,567.89"},
      {Format("%1:s %0:s", "a", "b"), "b a"},
      {Format("100%%"), "100%"},
      {Format("%p", reinterpret_cast<void*>(0xAB)), "00000000000000AB"},
      {Format("%d", true), "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, MismatchRaisesConvertError) {
  EXPECT_THROW(Format("%d", "text"), EConvertError);
  EXPECT_THROW(Format("%d", 1.5), EConvertError);
  EXPECT_THROW(Format("%s", 3), EConvertError);
  EXPECT_THROW(Format("%d %d", 1), EConvertError);
  EXPECT_THROW(Format("%q", 1), EConvertError);
  EXPECT_THROW(Format("%", 1), EConvertError);
}

TEST(StrToInt, Table) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  };
  const Case cases[] = {
      {"0", true, 0},
      {"123", true, 123},
      {"-42", true, -42},
      {"+7", true, 7},
      {"  12", true, 12},
      {"$FF", true, 255},
      {"$ff", true, 255},
      {"0x1A", true, 26},
      {"0X1a", true, 26},
      {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"", false, 0},
      {" ", false, 0},
      {"12 ", false, 0},
      {"1.5", false, 0},
      {"abc", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"$G1", false, 0},
      {"--1", false, 0},
      {"1e3", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int v = -999;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
      EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
      EXPECT_THROW(StrToInt(c.text), EConvertError);
      EXPECT_EQ(StrToIntDef(c.text, 77), 77);
    }
  }
  EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(StrToInt64("$7FFFFFFFFFFFFFFF"), std::numeric_limits<std::int64_t>::max());
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_EQ(StrToInt64Def("x", -1), -1);
}

TEST(StrToFloat, CLocaleTable) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"0.5", true, 0.5}, {"-2.25", true, -2.25}, {"+3", true, 3},           {" 1.5 ", true, 1.5}, {".5", true, 0.5},
      {"5.", true, 5},    {"1e3", true, 1000},    {"-1.5E-2", true, -0.015}, {"1,5", false, 0},    {"", false, 0},
      {"abc", false, 0},  {"1.5x", false, 0},     {"+-1", false, 0},         {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double v = 0;
    EXPECT_EQ(TryStrToFloat(c.text, v), c.ok);
    if (c.ok)
      EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value);
    else
      EXPECT_THROW(StrToFloat(c.text), EConvertError);
  }
}

TEST(FloatToStr, ShortestFifteenDigits) {
  struct Case {
    double value;
    const char* want;
  };
  const Case cases[] = {
      {0, "0"},
      {0.5, "0.5"},
      {-2.25, "-2.25"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {100, "100"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {1.5e-7, "1.5E-7"},
      {25569.333333333333, "25569.3333333333"},
      {std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.want) << c.value;
  // Round trip through the C locale text.
  for (double v : {0.1, 12.5, -1e-3, 6.02e23}) EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(v)), v);
}

TEST(Round, HalvesToEven) {
  struct Case {
    double value;
    std::int64_t want;
  };
  const Case cases[] = {{0.5, 0},
                        {1.5, 2},
                        {2.5, 2},
                        {3.5, 4},
                        {-0.5, 0},
                        {-1.5, -2},
                        {-2.5, -2},
                        {2.4, 2},
                        {2.6, 3},
                        {-2.6, -3},
                        {1e10 + 0.5, 10000000000},
                        {0, 0}};
  for (const Case& c : cases) EXPECT_EQ(Round(c.value), c.want) << c.value;
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Round(std::nan("")), 0);
  EXPECT_EQ(Round(1e300), std::numeric_limits<std::int64_t>::max());
}

TEST(StrToBool, Table) {
  EXPECT_TRUE(StrToBool("1"));
  EXPECT_TRUE(StrToBool("-1"));
  EXPECT_TRUE(StrToBool("True"));
  EXPECT_FALSE(StrToBool("0"));
  EXPECT_FALSE(StrToBool("false"));
  EXPECT_THROW(StrToBool("maybe"), EConvertError);
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false, true), "False");
}
