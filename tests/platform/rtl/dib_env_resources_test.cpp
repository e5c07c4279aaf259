#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/dib.h"
#include "platform/rtl/env.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/resources.h"

using namespace rtl;

TEST(Dib, StrideLayoutAndFill) {
  struct Case {
    int w, h, bpp, stride;
  };
  const Case cases[] = {{1, 1, 24, 4}, {3, 2, 24, 12}, {5, 1, 24, 16}, {5, 1, 32, 20}, {0, 7, 24, 0}};
  for (const Case& c : cases) {
    Dib d(c.w, c.h, c.bpp);
    EXPECT_EQ(d.Stride(), c.stride) << c.w << "x" << c.h << "@" << c.bpp;
    EXPECT_EQ(d.SizeBytes(), static_cast<size_t>(c.stride) * d.Height());
  }
  EXPECT_TRUE(Dib(0, 7).Empty());

  Dib d(2, 2, 24);
  d.Fill(0x00336699);  // TColor: red 0x99, green 0x66, blue 0x33
  const std::uint8_t* row1 = d.ScanLine(1);
  EXPECT_EQ(row1[0], 0x33);
  EXPECT_EQ(row1[1], 0x66);
  EXPECT_EQ(row1[2], 0x99);
  EXPECT_EQ(row1[6], 0);                        // padding untouched
  EXPECT_EQ(d.ScanLine(1) - d.ScanLine(0), 8);  // top-down rows
  EXPECT_THROW(d.ScanLine(2), EInvalidGraphic);
  EXPECT_THROW(Dib(1, 1, 8), EInvalidGraphic);
  EXPECT_THROW(Dib(-1, 1), EInvalidGraphic);

  Dib copy;
  copy.CopyFrom(d);
  EXPECT_EQ(copy.Width(), 2);
  EXPECT_EQ(copy.ScanLine(1)[2], 0x99);
  d.Fill(0);
  EXPECT_EQ(copy.ScanLine(1)[2], 0x99);  // a deep copy
  Dib moved(std::move(copy));
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(moved.ScanLine(0)[0], 0x33);
  Dib rgba(1, 1, 32);
  rgba.Fill(0x000000FF);
  EXPECT_EQ(rgba.ScanLine(0)[3], 255);
}

TEST(Resources, EmbeddedAndRegistered) {
  auto sample = Resource("rtl_sample");  // names compare case-insensitively
  EXPECT_EQ(std::string(sample.begin(), sample.end()), "embedded bytes\n");
  EXPECT_TRUE(Resource("NO_SUCH").empty());
  static const std::uint8_t bytes[] = {1, 2, 3};
  RegisterResource("BS_TEST", bytes, sizeof bytes);
  EXPECT_EQ(Resource("bs_test").size(), 3u);
  EXPECT_EQ(Resource("BS_TEST").data(), bytes);
}

TEST(Env, VariablesRandomAndBeep) {
  EXPECT_TRUE(SetEnvironmentVariable("RTL_TEST_VAR", "值"));
  EXPECT_EQ(GetEnvironmentVariable("RTL_TEST_VAR"), "值");
  EXPECT_TRUE(UnsetEnvironmentVariable("RTL_TEST_VAR"));
  EXPECT_FALSE(EnvironmentVariableExists("RTL_TEST_VAR"));
  EXPECT_EQ(GetEnvironmentVariable("RTL_TEST_VAR"), "");
  EXPECT_FALSE(SetEnvironmentVariable("A=B", "x"));

  SetRandSeed(42);
  int a = Random(100), b = Random(100);
  SetRandSeed(42);
  EXPECT_EQ(Random(100), a);  // reproducible from the seed
  EXPECT_EQ(Random(100), b);
  for (int i = 0; i < 1000; ++i) {
    int r = Random(7);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 7);
    double f = Random();
    ASSERT_GE(f, 0.0);
    ASSERT_LT(f, 1.0);
  }
  EXPECT_EQ(Random(0), 0);

  std::uint32_t beeped = 0;
  MessageBeep(1);  // no hook: nothing happens
  SetMessageBeepHook([&](std::uint32_t t) { beeped = t; });
  MessageBeep(0x30);
  SetMessageBeepHook(nullptr);
  EXPECT_EQ(beeped, 0x30u);
}
