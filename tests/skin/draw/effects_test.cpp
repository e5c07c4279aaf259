// The 24-bit effect bitmap: transitions between two looks, filters, turns.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/gfx/graphics.h"
#include "skin/draw/bsEffectBitmap.h"

using namespace skin;

namespace {

// Each pixel's three channels set to f(x, y).
std::unique_ptr<TbsEffectBmp> Make(int w, int h, const std::function<int(int, int)>& f) {
  auto b = std::make_unique<TbsEffectBmp>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t v = uint32_t(f(x, y)) & 0xFF;
      b->SetPixel(x, y, v | (v << 8) | (v << 16));
    }
  return b;
}

// The blue channel of row y.
std::vector<int> Row(const TbsEffectBmp& b, int y) {
  std::vector<int> out;
  for (int x = 0; x < b.Width; ++x) out.push_back(int(b.GetPixel(x, y) & 0xFF));
  return out;
}

TEST(SkinEffectBitmap, Transitions) {
  using Fn = void (TbsEffectBmp::*)(const TbsEffectBmp*, double);
  struct {
    const char* what;
    Fn fn;
    double kf;
    std::vector<int> row;  // 8 columns: start 10 + x, target 200 + x
  } cases[] = {
      {"morph 0", &TbsEffectBmp::Morph, 0, {10, 11, 12, 13, 14, 15, 16, 17}},
      {"morph 1", &TbsEffectBmp::Morph, 1, {200, 201, 202, 203, 204, 205, 206, 207}},
      {"morph below 0", &TbsEffectBmp::Morph, -0.5, {10, 11, 12, 13, 14, 15, 16, 17}},
      {"morph above 1", &TbsEffectBmp::Morph, 1.5, {200, 201, 202, 203, 204, 205, 206, 207}},
      {"morph half, ties to even", &TbsEffectBmp::Morph, 0.5, {105, 106, 107, 108, 109, 110, 111, 112}},
      {"left slide 0 shows one column", &TbsEffectBmp::MorphLeftSlide, 0, {207, 11, 12, 13, 14, 15, 16, 17}},
      {"left slide 1 keeps one column", &TbsEffectBmp::MorphLeftSlide, 1, {201, 202, 203, 204, 205, 206, 207, 17}},
      {"right slide 0", &TbsEffectBmp::MorphRightSlide, 0, {10, 11, 12, 13, 14, 15, 16, 200}},
      {"right slide half", &TbsEffectBmp::MorphRightSlide, 0.5, {10, 11, 12, 13, 200, 201, 202, 203}},
      {"push 0", &TbsEffectBmp::MorphPush, 0, {207, 10, 11, 12, 13, 14, 15, 16}},
      {"push half", &TbsEffectBmp::MorphPush, 0.5, {203, 204, 205, 206, 207, 10, 11, 12}},
      {"push 1", &TbsEffectBmp::MorphPush, 1, {200, 201, 202, 203, 204, 205, 206, 207}},
      {"left gradient", &TbsEffectBmp::MorphLeftGrad, 0.5, {200, 154, 107, 60, 14, 15, 16, 17}},
      {"right gradient", &TbsEffectBmp::MorphRightGrad, 0.5, {10, 11, 12, 13, 62, 110, 158, 207}},
      {"horizontal gradient", &TbsEffectBmp::MorphHGrad, 0, {10, 58, 107, 156, 204, 158, 111, 64}},
      {"horizontal gradient 1", &TbsEffectBmp::MorphHGrad, 1, {200, 201, 202, 203, 204, 205, 206, 207}},
  };
  for (auto& c : cases) {
    auto a = Make(8, 2, [](int x, int) { return 10 + x; });
    auto b = Make(8, 2, [](int x, int) { return 200 + x; });
    (a.get()->*c.fn)(b.get(), c.kf);
    EXPECT_EQ(Row(*a, 0), c.row) << c.what;
    EXPECT_EQ(Row(*a, 1), c.row) << c.what;
    // A target of another size changes nothing.
    auto d = Make(8, 2, [](int x, int) { return 10 + x; });
    auto other = Make(7, 2, [](int, int) { return 99; });
    (d.get()->*c.fn)(other.get(), c.kf);
    EXPECT_EQ(Row(*d, 0), (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17})) << c.what;
  }
  // Down the rows: a tall bitmap's gradient runs vertically.
  auto tall = Make(1, 7, [](int, int) { return 0; });
  auto target = Make(1, 7, [](int, int) { return 90; });
  tall->MorphGrad(target.get(), 0);
  std::vector<int> column;
  for (int y = 0; y < 7; ++y) column.push_back(int(tall->GetPixel(0, y) & 0xFF));
  EXPECT_EQ(column, (std::vector<int>{0, 30, 60, 90, 60, 30, 0}));
}

TEST(SkinEffectBitmap, Filters) {
  auto grey = Make(5, 3, [](int x, int y) { return 40 * x + y; });
  EXPECT_EQ(grey->RowInc(), 16);
  EXPECT_EQ(grey->Size, 48);
  EXPECT_EQ(TbsEffectBmp(4, 1).RowInc(), 12);
  auto before = Row(*grey, 2);
  grey->GrayScale();  // grey stays grey
  EXPECT_EQ(Row(*grey, 2), before);
  grey->Invert();
  EXPECT_EQ(Row(*grey, 2)[1], 255 - 42);
  grey->Invert();
  EXPECT_EQ(Row(*grey, 2), before);
  TbsEffectBmp red(1, 1);
  red.SetPixel(0, 0, 0xFF0000);  // blue 0, green 0, red 255
  red.GrayScale();
  EXPECT_EQ(red.GetPixel(0, 0), 0x4C4C4Cu);  // 76.5 goes to the even 76
  auto b = Make(2, 1, [](int x, int) { return 100 * x; });
  b->ChangeBrightness(0.5);
  EXPECT_EQ(Row(*b, 0), (std::vector<int>{128, 178}));  // 127.5 -> 128, 177.5 -> 178
  b->ChangeBrightness(7);
  EXPECT_EQ(Row(*b, 0), (std::vector<int>{255, 255}));
  b->ChangeDarkness(1);
  EXPECT_EQ(Row(*b, 0), (std::vector<int>{0, 0}));
  auto n = Make(4, 4, [](int, int) { return 100; });
  n->AddMonoNoise(0);
  n->AddMonoNoise(1);
  EXPECT_EQ(Row(*n, 0), (std::vector<int>{100, 100, 100, 100}));
  n->AddMonoNoise(4);
  for (int y = 0; y < 4; ++y)
    for (int v : Row(*n, y)) EXPECT_TRUE(v >= 98 && v <= 101) << v;
}

TEST(SkinEffectBitmap, SplitBlurStaysInsideThePicture) {
  // Amounts beyond the picture sample its last row and column (checked under ASan).
  for (int amount : {1, 2, 5, 50, -3}) {
    auto b = Make(3, 3, [](int x, int y) { return x == 2 && y == 2 ? 200 : 0; });
    b->SplitBlur(amount);
    for (int y = 0; y < 3; ++y)
      for (int v : Row(*b, y)) EXPECT_LE(v, 200) << amount;
  }
  auto b = Make(4, 1, [](int x, int) { return x * 40; });
  b->SplitBlur(1);
  // Row 0: both sample rows are row 0; (l, r) = (x - 1 or x, x + 1), read in place.
  EXPECT_EQ(Row(*b, 0), (std::vector<int>{20, 50, 85, 102}));
  auto same = Make(2, 2, [](int, int) { return 9; });
  same->SplitBlur(0);
  EXPECT_EQ(Row(*same, 0), (std::vector<int>{9, 9}));
}

TEST(SkinEffectBitmap, TurnsAndFlips) {
  auto b = Make(3, 2, [](int x, int y) { return 10 * y + x; });
  TbsEffectBmp ccw(2, 3), cw(2, 3), flipped(3, 2);
  b->Rotate90_1(&ccw);
  b->Rotate90_2(&cw);
  b->FlipVert(&flipped);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint32_t v = b->GetPixel(x, y);
      EXPECT_EQ(ccw.GetPixel(y, 2 - x), v);
      EXPECT_EQ(cw.GetPixel(1 - y, x), v);
      EXPECT_EQ(flipped.GetPixel(x, 1 - y), v);
    }
}

TEST(SkinEffectBitmap, FromAndToBitmaps) {
  gfx::TBitmap bmp;
  bmp.SetPixelFormat(gfx::pf24bit);
  bmp.SetSize(3, 2);
  bmp.Canvas()->SetPixels(2, 1, gfx::clRed);
  std::unique_ptr<TbsEffectBmp> e(TbsEffectBmp::CreateFromhWnd(bmp.Handle()));
  ASSERT_EQ(e->Width, 3);
  EXPECT_EQ(e->GetPixel(2, 1), 0xFF0000u);
  e->Invert();
  gfx::TBitmap out;
  out.SetSize(5, 5);
  e->Draw(out.Canvas()->Handle(), 1, 1);
  EXPECT_EQ(out.Canvas()->Pixels(3, 2), gfx::TColor(0xFFFF00));  // inverted red
  EXPECT_EQ(out.Canvas()->Pixels(0, 0), gfx::clWhite);           // untouched
}

}  // namespace
