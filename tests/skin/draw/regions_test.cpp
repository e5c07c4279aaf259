// Mask pictures to region data and window regions.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/region.h"
#include "skin/draw/bsMaskRegions.h"

using namespace skin;

namespace {

// A mask of w x h, black where inside(x, y).
void Mask(gfx::TBitmap& m, int w, int h, const std::function<bool(int, int)>& inside) {
  m.SetPixelFormat(gfx::pf24bit);
  m.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) std::memset(m.ScanLine(y) + x * 3, inside(x, y) ? 0 : 255, 3);
}

std::vector<TRect> Rects(const std::vector<uint8_t>& data) {
  gfx::RGNDATAHEADER h;
  std::memcpy(&h, data.data(), sizeof h);
  std::vector<TRect> out(h.nCount);
  if (h.nCount) std::memcpy(out.data(), data.data() + 32, h.nCount * sizeof(TRect));
  return out;
}

TEST(SkinMaskRegions, RunsToRegionData) {
  struct {
    const char* what;
    int w, h;
    std::function<bool(int, int)> inside;
    std::vector<TRect> runs;
  } cases[] = {
      {"black row", 5, 1, [](int, int) { return true; }, {{10, 20, 15, 21}}},
      {"checkerboard row of 6",
       6,
       1,
       [](int x, int) { return x % 2 == 0; },
       {{10, 20, 11, 21}, {12, 20, 13, 21}, {14, 20, 15, 21}}},
      {"all white", 4, 3, [](int, int) { return false; }, {}},
      {"rows in order",
       3,
       2,
       [](int x, int y) { return x != y; },
       {{11, 20, 13, 21}, {10, 21, 11, 22}, {12, 21, 13, 22}}},
  };
  for (auto& c : cases) {
    gfx::TBitmap m;
    Mask(m, c.w, c.h, c.inside);
    std::vector<uint8_t> data;
    int size = CreateRgnDataFromMask(&m, 10, 20, data);
    EXPECT_EQ(size, 32 + 16 * int(c.runs.size())) << c.what;
    ASSERT_EQ(size_t(size), data.size());
    gfx::RGNDATAHEADER h;
    std::memcpy(&h, data.data(), sizeof h);
    EXPECT_EQ(h.dwSize, 32u);
    EXPECT_EQ(h.iType, 1u);
    EXPECT_EQ(h.nRgnSize, 0u);
    EXPECT_EQ(h.rcBound, (TRect{10, 20, 10 + c.w, 20 + c.h})) << c.what;
    EXPECT_EQ(Rects(data), c.runs) << c.what;
  }
  gfx::TBitmap empty;
  std::vector<uint8_t> data{1, 2};
  EXPECT_EQ(CreateRgnDataFromMask(&empty, 0, 0, data), 0);
  EXPECT_TRUE(data.empty());
  gfx::HRGN none;
  CreateRegionFromMask(none, &empty);
  EXPECT_FALSE(none);
}

TEST(SkinMaskRegions, MoreRunsThanAnyFixedTable) {
  // A dithered 200 x 120 mask: 12,000 runs, all of them kept.
  gfx::TBitmap m;
  Mask(m, 200, 120, [](int x, int y) { return (x + y) % 2 == 0; });
  std::vector<uint8_t> data;
  EXPECT_EQ(CreateRgnDataFromMask(&m, 0, 0, data), 32 + 16 * 12000);
  gfx::HRGN r;
  CreateRegionFromMask(r, &m);
  ASSERT_TRUE(r);
  EXPECT_TRUE(gfx::PtInRegion(r, 199, 119));
  EXPECT_FALSE(gfx::PtInRegion(r, 198, 119));
  gfx::DeleteObject(r);
}

// A 20 x 16 mask with its four 3 x 3 corners cut diagonally, inner area 3..17 x 3..13.
void RoundedMask(gfx::TBitmap& m, bool topBand = true) {
  Mask(m, 20, 16, [&](int x, int y) {
    if (!topBand && y < 3) return false;
    int cx = x < 3 ? 3 - x : x > 16 ? x - 16 : 0, cy = y < 3 ? 3 - y : y > 12 ? y - 12 : 0;
    return cx + cy <= 3;
  });
}

TEST(SkinMaskRegions, SkinRegionFollowsTheMaskAtANewSize) {
  gfx::TBitmap m;
  RoundedMask(m);
  TbsNinePart src{{3, 3}, {17, 3}, {3, 13}, {17, 13}, {3, 3, 17, 13}};
  int W = 50, H = 40, dx = W - 20, dy = H - 16;
  TbsNinePart moved{{3, 3}, {17 + dx, 3}, {3, 13 + dy}, {17 + dx, 13 + dy}, {3, 3, 17 + dx, 13 + dy}};
  gfx::HRGN r;
  CreateSkinRegion(r, src, moved, &m, W, H);
  ASSERT_TRUE(r);
  // The cut corners stay outside at the new size; the edges and the inside are in.
  for (auto [x, y, in] : {std::tuple{0, 0, false},
                          {1, 1, false},
                          {1, 2, true},
                          {W - 1, 0, false},
                          {W - 2, 2, true},
                          {0, H - 1, false},
                          {W - 1, H - 1, false},
                          {W - 2, H - 3, true},
                          {25, 0, true},
                          {0, 20, true},
                          {W - 1, 20, true},
                          {25, H - 1, true},
                          {25, 20, true}})
    EXPECT_EQ(bool(gfx::PtInRegion(r, x, y)), in) << x << "," << y;
  TRect box;
  gfx::GetRgnBox(r, &box);
  EXPECT_EQ(box, (TRect{0, 0, W, H}));
  gfx::DeleteObject(r);

  // Without a top band the bottom, left and right strips still count.
  TbsNinePart noTop{{3, 0}, {17, 0}, {3, 13}, {17, 13}, {3, 0, 17, 13}};
  TbsNinePart noTopMoved{{3, 0}, {17 + dx, 0}, {3, 13 + dy}, {17 + dx, 13 + dy}, {3, 0, 17 + dx, 13 + dy}};
  gfx::TBitmap m2;
  RoundedMask(m2, false);
  CreateSkinRegion(r, noTop, noTopMoved, &m2, W, H);
  ASSERT_TRUE(r);
  EXPECT_TRUE(gfx::PtInRegion(r, 25, H - 1));
  EXPECT_TRUE(gfx::PtInRegion(r, 0, 20));
  EXPECT_TRUE(gfx::PtInRegion(r, W - 1, 20));
  gfx::DeleteObject(r);

  // A window smaller than its corners, or an empty inner area: no region.
  TbsNinePart tiny = moved;
  tiny.RTPt.X = 2;
  CreateSkinRegion(r, src, tiny, &m, 5, H);
  EXPECT_FALSE(r);
  TbsNinePart flat = moved;
  flat.ClRect.Bottom = flat.ClRect.Top;
  CreateSkinRegion(r, src, flat, &m, W, H);
  EXPECT_FALSE(r);
}

TEST(SkinMaskRegions, MaskStrips) {
  gfx::TBitmap m;
  RoundedMask(m);
  TbsNinePart src{{3, 3}, {17, 3}, {3, 13}, {17, 13}, {3, 3, 17, 13}};
  TbsNinePart moved{{3, 3}, {37, 3}, {3, 23}, {37, 23}, {3, 3, 37, 23}};
  gfx::TBitmap left, top, right, bottom;
  CreateSkinMaskImages(src, moved, &m, TbsFrameStrips{&left, &top, &right, &bottom}, 40, 26);
  EXPECT_EQ(top.Width(), 40);
  EXPECT_EQ(top.Height(), 3);
  EXPECT_EQ(bottom.Height(), 3);
  EXPECT_EQ(left.Width(), 3);
  EXPECT_EQ(left.Height(), 20);
  EXPECT_EQ(right.Width(), 3);
  EXPECT_EQ(top.Canvas()->Pixels(0, 0), gfx::clWhite);
  EXPECT_EQ(top.Canvas()->Pixels(39, 0), gfx::clWhite);
  EXPECT_EQ(top.Canvas()->Pixels(20, 0), gfx::clBlack);
  EXPECT_EQ(left.Canvas()->Pixels(0, 19), gfx::clBlack);
}

}  // namespace
