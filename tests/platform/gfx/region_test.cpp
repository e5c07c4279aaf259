// Region operations and the RGNDATA byte layout.
#include "gfx_test_util.h"

#include <cstring>

using namespace gfxtest;

namespace {

TEST(Regions, CombineTable) {
  struct Case {
    int mode;
    int kind;
    RECT box;
    bool hasMiddle;  // (3,3) lies in both inputs
  } cases[] = {
      {RGN_AND, SIMPLEREGION, {2, 2, 4, 4}, true},   {RGN_OR, COMPLEXREGION, {0, 0, 6, 6}, true},
      {RGN_XOR, COMPLEXREGION, {0, 0, 6, 6}, false}, {RGN_DIFF, COMPLEXREGION, {0, 0, 4, 4}, false},
      {RGN_COPY, SIMPLEREGION, {0, 0, 4, 4}, true},
  };
  for (const auto& c : cases) {
    HRGN a = CreateRectRgn(0, 0, 4, 4), b = CreateRectRgn(2, 2, 6, 6), d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.kind) << c.mode;
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), c.kind);
    EXPECT_EQ(box, c.box) << c.mode;
    EXPECT_EQ(bool(PtInRegion(d, 3, 3)), c.hasMiddle) << c.mode;
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(d);
  }
  HRGN a = CreateRectRgn(0, 0, 2, 2), b = CreateRectRgn(5, 5, 6, 6), d = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(d, a, HRGN(), RGN_OR), ERROR_REGION);
  // Right and bottom edges are outside, as for rectangles.
  EXPECT_TRUE(PtInRegion(a, 1, 1));
  EXPECT_FALSE(PtInRegion(a, 2, 1));
  EXPECT_TRUE(RectInRegion(a, RECT{1, 1, 9, 9}));
  EXPECT_FALSE(RectInRegion(a, RECT{2, 0, 9, 9}));
  EXPECT_EQ(OffsetRgn(a, 10, 0), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(a, 10, 0));
  for (HRGN r : {a, b, d}) DeleteObject(r);
}

TEST(Regions, RgnDataLayoutAndRoundTrip) {
  // Two 1-pixel-high runs, as a mask scanner writes them.
  std::vector<uint8_t> buf(32 + 2 * 16);
  auto put = [&](size_t off, int32_t v) { std::memcpy(buf.data() + off, &v, 4); };
  put(0, 32);
  put(4, 1);
  put(8, 2);
  put(12, 0);
  put(16, 1);
  put(20, 0);
  put(24, 5);
  put(28, 2);
  put(32, 1);
  put(36, 0);
  put(40, 3);
  put(44, 1);
  put(48, 4);
  put(52, 1);
  put(56, 5);
  put(60, 2);
  HRGN r = ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<const RGNDATA*>(buf.data()));
  ASSERT_TRUE(r);
  EXPECT_TRUE(PtInRegion(r, 2, 0));
  EXPECT_FALSE(PtInRegion(r, 3, 0));
  EXPECT_TRUE(PtInRegion(r, 4, 1));
  EXPECT_FALSE(PtInRegion(r, 2, 1));

  DWORD need = GetRegionData(r, 0, nullptr);
  EXPECT_EQ(need, 32u + 2 * 16);
  std::vector<uint8_t> out(need);
  EXPECT_EQ(GetRegionData(r, need, reinterpret_cast<RGNDATA*>(out.data())), need);
  auto get = [&](size_t off) {
    int32_t v;
    std::memcpy(&v, out.data() + off, 4);
    return v;
  };
  EXPECT_EQ(get(0), 32);
  EXPECT_EQ(get(4), 1);
  EXPECT_EQ(get(8), 2);
  EXPECT_EQ(get(12), 32);  // bytes of the rectangles
  EXPECT_EQ((std::vector<int>{get(16), get(20), get(24), get(28)}), (std::vector<int>{1, 0, 5, 2}));
  EXPECT_EQ((std::vector<int>{get(32), get(36), get(40), get(44)}), (std::vector<int>{1, 0, 3, 1}));
  EXPECT_EQ((std::vector<int>{get(48), get(52), get(56), get(60)}), (std::vector<int>{4, 1, 5, 2}));
  EXPECT_EQ(GetRegionData(r, need - 1, reinterpret_cast<RGNDATA*>(out.data())), 0u);

  HRGN copy = ExtCreateRegion(nullptr, need, reinterpret_cast<const RGNDATA*>(out.data()));
  EXPECT_TRUE(EqualRgn(r, copy));
  // Malformed data: short buffer, bad header size, count beyond the buffer.
  EXPECT_FALSE(ExtCreateRegion(nullptr, 16, reinterpret_cast<const RGNDATA*>(buf.data())));
  put(0, 40);
  EXPECT_FALSE(ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<const RGNDATA*>(buf.data())));
  put(0, 32);
  put(8, 1000);
  EXPECT_FALSE(ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<const RGNDATA*>(buf.data())));
  DeleteObject(r);
  DeleteObject(copy);
}

TEST(Regions, ClipRegionOnADcAndFillRgn) {
  Surface s(6, 3);
  HRGN clip = CreateRectRgn(1, 0, 3, 3);
  HRGN hole = CreateRectRgn(2, 1, 3, 2);
  CombineRgn(clip, clip, hole, RGN_DIFF);
  SelectClipRgn(s.dc, clip);
  RECT all{0, 0, 6, 3};
  FillRect(s.dc, &all, HBRUSH(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(Join(s.Map()), Join({".##...", ".#....", ".##..."}));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(s.dc, got), 1);
  EXPECT_TRUE(EqualRgn(got, clip));
  SelectClipRgn(s.dc, HRGN());
  EXPECT_EQ(GetClipRgn(s.dc, got), 0);
  HRGN f = CreateRectRgn(4, 0, 6, 1);
  SetViewportOrgEx(s.dc, 0, 1, nullptr);
  FillRgn(s.dc, f, HBRUSH(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(s.Px(4, 1), RGB(0, 0, 0));
  EXPECT_EQ(s.Px(4, 0), RGB(255, 255, 255));
  for (HRGN r : {clip, hole, got, f}) DeleteObject(r);
}

}  // namespace

namespace {

TEST(Regions, ManyRunRectanglesAndComplexClips) {
  // A checkerboard mask of 1-pixel runs: 200x200 -> 20,000 rectangles.
  const int n = 200;
  std::vector<uint8_t> buf(32 + size_t(n) * (n / 2) * 16);
  auto put = [&](size_t off, int32_t v) { std::memcpy(buf.data() + off, &v, 4); };
  put(0, 32);
  put(4, 1);
  put(8, n * (n / 2));
  put(12, 0);
  size_t off = 32;
  for (int y = 0; y < n; ++y)
    for (int x = (y & 1); x < n; x += 2) {
      put(off, x);
      put(off + 4, y);
      put(off + 8, x + 1);
      put(off + 12, y + 1);
      off += 16;
    }
  HRGN r = ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<const RGNDATA*>(buf.data()));
  ASSERT_TRUE(r);
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_FALSE(PtInRegion(r, 1, 0));
  EXPECT_TRUE(PtInRegion(r, 1, 1));
  // Lines through a complex clip touch only the clip's pixels.
  Surface s(n, 4);
  SelectClipRgn(s.dc, r);
  MoveToEx(s.dc, 0, 1, nullptr);
  LineTo(s.dc, n, 1);
  EXPECT_EQ(s.Px(0, 1), RGB(255, 255, 255));
  EXPECT_EQ(s.Px(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(s.Px(199, 1), RGB(0, 0, 0));
  DeleteObject(r);
}

}  // namespace
