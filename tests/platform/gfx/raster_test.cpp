// Pixel tables for the GDI drawing rules, origins, clipping and blits.
#include "gfx_test_util.h"

using namespace gfxtest;

namespace {

struct GdiLeakCheck : ::testing::Test {
  size_t before = 0;
  void SetUp() override { before = gfx::GdiObjectCount(); }
  void TearDown() override { EXPECT_EQ(gfx::GdiObjectCount(), before) << "GDI objects leaked"; }
};

using EdgeRules = GdiLeakCheck;

struct ShapeCase {
  const char* name;
  void (*draw)(HDC);
  std::vector<std::string> expect;
};

// Each case drawn on a fresh 8x5 surface gives its expected pixel map.
template <size_t N>
void ExpectShapes(const ShapeCase (&cases)[N]) {
  for (const auto& c : cases) {
    Surface s(8, 5);
    c.draw(s.dc);
    EXPECT_EQ(Join(s.Map()), Join(c.expect)) << c.name;
  }
}

TEST_F(EdgeRules, ShapesLeaveOutRightAndBottom) {
  const ShapeCase cases[] = {
      {"LineTo excludes its end point",
       [](HDC dc) {
         MoveToEx(dc, 1, 1, nullptr);
         LineTo(dc, 5, 1);
         LineTo(dc, 5, 4);
       },
       {"........", ".#####..", ".....#..", ".....#..", "........"}},
      {"diagonal LineTo",
       [](HDC dc) {
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 4, 4);
       },
       {"#.......", ".#......", "..#.....", "...#....", "........"}},
      {"Rectangle: pen outline, brush fill, right/bottom out",
       [](HDC dc) {
         HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
         HBRUSH old = SelectObject(dc, b);
         Rectangle(dc, 1, 1, 6, 5);
         SelectObject(dc, old);
         DeleteObject(b);
       },
       {"........", ".#####..", ".#ooo#..", ".#ooo#..", ".#####.."}},
      {"Rectangle without a pen fills one pixel less",
       [](HDC dc) {
         HPEN old = SelectObject(dc, HPEN(GetStockObject(NULL_PEN)));
         HBRUSH oldb = SelectObject(dc, HBRUSH(GetStockObject(BLACK_BRUSH)));
         Rectangle(dc, 1, 1, 5, 4);
         SelectObject(dc, old);
         SelectObject(dc, oldb);
       },
       {"........", ".###....", ".###....", "........", "........"}},
      {"FillRect",
       [](HDC dc) {
         RECT r{2, 1, 5, 3};
         FillRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
       },
       {"........", "..###...", "..###...", "........", "........"}},
      {"FrameRect",
       [](HDC dc) {
         RECT r{0, 0, 4, 4};
         FrameRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
       },
       {"####....", "#..#....", "#..#....", "####....", "........"}},
      {"DrawFocusRect: XOR every other pixel from the top-left",
       [](HDC dc) {
         RECT r{0, 0, 6, 4};
         DrawFocusRect(dc, &r);
       },
       {"#.#.#...", ".....#..", "#.......", ".#.#.#..", "........"}},
      {"Ellipse stays inside the box",
       [](HDC dc) {
         HBRUSH old = SelectObject(dc, HBRUSH(GetStockObject(BLACK_BRUSH)));
         Ellipse(dc, 0, 0, 5, 5);
         SelectObject(dc, old);
       },
       {".###....", "#####...", "#####...", "#####...", ".###...."}},
      {"Ellipse with a 2-pixel pen: a closed ring inside the box",
       [](HDC dc) {
         HPEN p = CreatePen(PS_SOLID, 2, 0);
         HPEN oldp = SelectObject(dc, p);
         HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
         HBRUSH old = SelectObject(dc, b);
         Ellipse(dc, 0, 0, 8, 5);
         SelectObject(dc, old);
         SelectObject(dc, oldp);
         DeleteObject(b);
         DeleteObject(p);
       },
       {"..####..", "########", "###oo###", "########", "..####.."}},
      {"PatBlt with BLACKNESS and DSTINVERT",
       [](HDC dc) {
         PatBlt(dc, 1, 1, 3, 2, BLACKNESS);
         PatBlt(dc, 2, 0, 2, 3, DSTINVERT);
       },
       {"..##....", ".#......", ".#......", "........", "........"}},
      {"hatched brush, transparent background",
       [](HDC dc) {
         HBRUSH h = CreateHatchBrush(HS_VERTICAL, 0);
         SetBkMode(dc, TRANSPARENT);
         RECT r{0, 0, 8, 2};
         FillRect(dc, &r, h);
         DeleteObject(h);
       },
       {"....#...", "....#...", "........", "........", "........"}},
      {"R2_NOT inverts under the pen",
       [](HDC dc) {
         SetROP2(dc, R2_NOT);
         MoveToEx(dc, 0, 2, nullptr);
         LineTo(dc, 3, 2);
         MoveToEx(dc, 1, 2, nullptr);
         LineTo(dc, 2, 2);
       },
       {"........", "........", "#.#.....", "........", "........"}},
  };
  ExpectShapes(cases);
}

TEST_F(EdgeRules, ShapesFarLargerThanTheSurfaceDrawOnlyWhatShows) {
  // Only the visible part of a huge shape is worth any work: these finish
  // at once and give the same pixels as the shape's own rules.
  const ShapeCase cases[] = {
      {"Ellipse whose top edge crosses the surface",
       [](HDC dc) {
         HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
         HBRUSH old = SelectObject(dc, b);
         Ellipse(dc, -1000000, 0, 1000000, 2000000);
         SelectObject(dc, old);
         DeleteObject(b);
       },
       {"########", "oooooooo", "oooooooo", "oooooooo", "oooooooo"}},
      {"RoundRect with a thick pen, corners far away",
       [](HDC dc) {
         HPEN p = CreatePen(PS_SOLID, 2, 0);
         HPEN oldp = SelectObject(dc, p);
         HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
         HBRUSH old = SelectObject(dc, b);
         RoundRect(dc, 1, -1000000, 1000000, 3, 4, 4);
         SelectObject(dc, old);
         SelectObject(dc, oldp);
         DeleteObject(b);
         DeleteObject(p);
       },
       {".##ooooo", ".#######", "..######", "........", "........"}},
      {"inverted huge Ellipse is the same shape",
       [](HDC dc) {
         HBRUSH old = SelectObject(dc, HBRUSH(GetStockObject(BLACK_BRUSH)));
         Ellipse(dc, 1000000, 1000000, -1000000, -1000000);
         SelectObject(dc, old);
       },
       {"########", "########", "########", "########", "########"}},
  };
  ExpectShapes(cases);
}

TEST_F(EdgeRules, LinesAndPolygonsFarBeyondTheSurfaceMatchTheirShortForms) {
  // Each pair has the same slope (and dash phase) through the surface; the
  // long one must finish at once and light the same pixels.
  struct Case {
    const char* name;
    int style;
    std::vector<POINT> longForm, shortForm;
    bool polygon;
  } cases[] = {
      {"dotted line over the int range", PS_DOT, {{-2147483646, 1}, {2147483647, 1}}, {{-6, 1}, {20, 1}}, false},
      {"half slope", PS_SOLID, {{-1000000000, -500000000}, {1000000000, 500000000}}, {{-20, -10}, {20, 10}}, false},
      {"steep from far below", PS_SOLID, {{4, 2000000000}, {4, -2000000000}}, {{4, 20}, {4, -20}}, false},
      {"polygon with a diagonal through the surface",
       PS_NULL,
       {{-1000000, 1000002}, {1000000, -999998}, {-1000000, -1000000}},
       {{-10, 12}, {10, -8}, {-10, -10}},
       true},
  };
  for (const auto& c : cases) {
    Surface big(8, 5), small(8, 5);
    for (Surface* s : {&big, &small}) {
      HPEN pen = CreatePen(c.style, 1, 0);
      HPEN oldPen = SelectObject(s->dc, pen);
      HBRUSH oldBrush = SelectObject(s->dc, HBRUSH(GetStockObject(BLACK_BRUSH)));
      SetBkMode(s->dc, TRANSPARENT);
      const auto& pts = s == &big ? c.longForm : c.shortForm;
      if (c.polygon)
        Polygon(s->dc, pts.data(), int(pts.size()));
      else
        Polyline(s->dc, pts.data(), int(pts.size()));
      SelectObject(s->dc, oldBrush);
      SelectObject(s->dc, oldPen);
      DeleteObject(pen);
    }
    EXPECT_EQ(Join(big.Map()), Join(small.Map())) << c.name;
    EXPECT_NE(Join(big.Map()), Join(Surface(8, 5).Map())) << c.name;  // something shows
  }
}

TEST_F(EdgeRules, RectanglesSpanningTheWholeIntRangeCoverTheSurface) {
  // "Everything" rectangles are a common idiom; with a window origin in play
  // their extents no longer fit an int.
  const int lo = INT32_MIN, hi = INT32_MAX;
  struct Case {
    const char* name;
    void (*draw)(HDC);
  } cases[] = {
      {"FillRect",
       [](HDC dc) {
         RECT r{lo, lo, hi, hi};
         FillRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
       }},
      {"Rectangle",
       [](HDC dc) {
         HBRUSH old = SelectObject(dc, HBRUSH(GetStockObject(BLACK_BRUSH)));
         Rectangle(dc, lo, lo, hi, hi);
         SelectObject(dc, old);
       }},
      {"Ellipse",
       [](HDC dc) {
         HBRUSH old = SelectObject(dc, HBRUSH(GetStockObject(BLACK_BRUSH)));
         Ellipse(dc, hi, hi, lo, lo);
         SelectObject(dc, old);
       }},
      {"PatBlt", [](HDC dc) { PatBlt(dc, -5, -5, hi, hi, BLACKNESS); }},
      {"InvertRect",
       [](HDC dc) {
         RECT r{lo, lo, hi, hi};
         InvertRect(dc, &r);
       }},
      {"FillRgn",
       [](HDC dc) {
         HRGN rg = CreateRectRgn(lo, lo, hi, hi);
         FillRgn(dc, rg, HBRUSH(GetStockObject(BLACK_BRUSH)));
         DeleteObject(rg);
       }},
      {"DrawFocusRect",
       [](HDC dc) {
         RECT r{-1, -1, hi, hi};
         DrawFocusRect(dc, &r);
         RECT all{-3, -2, 5, 3};
         InvertRect(dc, &all);  // the dotted frame lies outside: all black
       }},
      {"clip then FillRect",
       [](HDC dc) {
         IntersectClipRect(dc, lo, lo, hi, hi);
         RECT r{-3, -2, 5, 3};
         FillRect(dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
       }},
  };
  for (const auto& c : cases) {
    Surface s(8, 5);
    SetViewportOrgEx(s.dc, 3, 2, nullptr);
    c.draw(s.dc);
    SetViewportOrgEx(s.dc, 0, 0, nullptr);
    EXPECT_EQ(s.Px(0, 0), RGB(0, 0, 0)) << c.name;
    EXPECT_EQ(s.Px(7, 4), RGB(0, 0, 0)) << c.name;
  }
}

TEST_F(EdgeRules, FillsSetAlphaOn32BitTargets) {
  Surface s(4, 1);
  // Zero the alpha, then fill: the pixels touched carry 255.
  for (int x = 0; x < 4; ++x) gfx::BitmapScanLine(s.bmp, 0)[x * 4 + 3] = 0;
  RECT r{1, 0, 3, 1};
  FillRect(s.dc, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(s.Alpha(0, 0), 0);
  EXPECT_EQ(s.Alpha(1, 0), 255);
  EXPECT_EQ(s.Alpha(2, 0), 255);
  EXPECT_EQ(s.Alpha(3, 0), 0);
}

using Coordinates = GdiLeakCheck;

TEST_F(Coordinates, OriginsClipAndSaveRestore) {
  Surface s(8, 6);
  HBRUSH black = HBRUSH(GetStockObject(BLACK_BRUSH));
  int saved = SaveDC(s.dc);
  EXPECT_EQ(saved, 1);
  SetViewportOrgEx(s.dc, 3, 2, nullptr);
  SetWindowOrgEx(s.dc, 1, 1, nullptr);  // device = logical - (1,1) + (3,2)
  IntersectClipRect(s.dc, 1, 1, 4, 3);  // logical; device 3..5 x 2..3
  RECT box;
  EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{1, 1, 4, 3}));
  RECT all{-10, -10, 20, 20};
  FillRect(s.dc, &all, black);
  EXPECT_EQ(Join(s.Map()), Join({"........", "........", "...###..", "...###..", "........", "........"}));

  ExcludeClipRect(s.dc, 2, 1, 3, 3);  // punch out device column 4
  EXPECT_EQ(GetClipBox(s.dc, &box), COMPLEXREGION);

  EXPECT_TRUE(RestoreDC(s.dc, -1));
  POINT vp, wo;
  GetViewportOrgEx(s.dc, &vp);
  GetWindowOrgEx(s.dc, &wo);
  EXPECT_EQ(vp, (POINT{0, 0}));
  EXPECT_EQ(wo, (POINT{0, 0}));
  EXPECT_EQ(GetClipBox(s.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 8, 6}));
  EXPECT_FALSE(RestoreDC(s.dc, -1));  // nothing left to restore
}

TEST_F(Coordinates, RestoreDcByNumberDropsNewerStates) {
  Surface s(4, 4);
  SaveDC(s.dc);  // 1
  SetViewportOrgEx(s.dc, 1, 0, nullptr);
  SaveDC(s.dc);  // 2
  SetViewportOrgEx(s.dc, 2, 0, nullptr);
  SaveDC(s.dc);  // 3
  EXPECT_TRUE(RestoreDC(s.dc, 2));
  POINT p;
  GetViewportOrgEx(s.dc, &p);
  EXPECT_EQ(p.X, 1);
  EXPECT_FALSE(RestoreDC(s.dc, 2));
  EXPECT_TRUE(RestoreDC(s.dc, 1));
  GetViewportOrgEx(s.dc, &p);
  EXPECT_EQ(p.X, 0);
}

TEST_F(Coordinates, WindowDcOverABackingBitmap) {
  Surface backing(12, 8);
  HRGN clip = CreateRectRgn(0, 0, 4, 3);
  HDC dc = gfx::CreateWindowDC(backing.bmp, {5, 2}, clip);
  DeleteObject(clip);  // the DC keeps its own copy
  ASSERT_TRUE(dc);
  gfx::TakeDirtyRect(backing.bmp);
  RECT big{0, 0, 100, 100};
  FillRect(dc, &big, HBRUSH(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(Join(backing.Map()), Join({"............", "............", ".....####...", ".....####...", ".....####...",
                                       "............", "............", "............"}));
  EXPECT_EQ(gfx::TakeDirtyRect(backing.bmp), (RECT{5, 2, 9, 5}));
  EXPECT_EQ(gfx::TakeDirtyRect(backing.bmp), (RECT{}));
  // The application clip narrows the system clip; removing it goes back to it.
  IntersectClipRect(dc, 0, 0, 1, 1);
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 1, 1}));
  SelectClipRgn(dc, HRGN());
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 4, 3}));
  // Reading the DC reads the backing image.
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 5, 0), CLR_INVALID);  // outside the clip
  POINT org;
  GetViewportOrgEx(dc, &org);
  EXPECT_EQ(org, (POINT{0, 0}));
  DeleteDC(dc);
}

TEST_F(Coordinates, ObjectsSelectedAndDeletedFollowGdiOwnership) {
  Surface s(2, 2);
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  HBRUSH old = SelectObject(s.dc, b);
  EXPECT_TRUE(DeleteObject(b));  // still selected: freed when deselected
  RECT r{0, 0, 1, 1};
  EXPECT_NE(FillRect(s.dc, &r, b), 0);  // the handle still works meanwhile
  SelectObject(s.dc, old);
  EXPECT_EQ(FillRect(s.dc, &r, b), 0);  // now it is gone
  // A bitmap is selected into one memory DC at a time.
  HDC other = CreateCompatibleDC(HDC());
  EXPECT_FALSE(SelectObject(other, s.bmp));
  DeleteDC(other);
  // A bitmap deleted while selected goes when its DC goes.
  size_t live = gfx::GdiObjectCount();
  HDC tmp = CreateCompatibleDC(HDC());
  HBITMAP doomed = gfx::CreateDib(2, 2, 32);
  SelectObject(tmp, doomed);
  EXPECT_TRUE(DeleteObject(doomed));
  EXPECT_EQ(gfx::GdiObjectCount(), live + 2);
  DeleteDC(tmp);
  EXPECT_EQ(gfx::GdiObjectCount(), live);
  BITMAP bm;
  EXPECT_EQ(GetObject(doomed, sizeof bm, &bm), 0);
  // Stale handles fail, stock objects survive DeleteObject.
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
  EXPECT_TRUE(GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
}

using Blits = GdiLeakCheck;

TEST_F(Blits, RopTable) {
  const COLORREF src = RGB(0xF0, 0x0F, 0x55), dst = RGB(0xCC, 0x33, 0xAA), pat = RGB(0x12, 0x34, 0x56);
  struct Case {
    DWORD rop;
    COLORREF expect;
  } cases[] = {
      {SRCCOPY, src},
      {SRCAND, src & dst},
      {SRCPAINT, src | dst},
      {SRCINVERT, src ^ dst},
      {NOTSRCCOPY, ~src & 0xFFFFFF},
      {SRCERASE, src & (~dst & 0xFFFFFF)},
      {DSTINVERT, ~dst & 0xFFFFFF},
      {PATCOPY, pat},
      {PATINVERT, pat ^ dst},
      {MERGECOPY, src & pat},
      {BLACKNESS, 0},
      {WHITENESS, 0xFFFFFF},
  };
  for (const auto& c : cases) {
    Surface a(2, 1, 32, src), b(2, 1, 32, dst);
    HBRUSH br = CreateSolidBrush(pat);
    HBRUSH old = SelectObject(b.dc, br);
    BitBlt(b.dc, 0, 0, 1, 1, a.dc, 0, 0, c.rop);
    SelectObject(b.dc, old);
    DeleteObject(br);
    EXPECT_EQ(b.Px(0, 0), c.expect) << std::hex << c.rop;
    EXPECT_EQ(b.Px(1, 0), dst) << "outside the blit";
  }
}

TEST_F(Blits, CopiesAlphaBetween32BitBitmapsAndSets255From24Bit) {
  Surface a(1, 1), b(1, 1), c24(1, 1, 24, RGB(9, 8, 7));
  gfx::BitmapScanLine(a.bmp, 0)[3] = 77;
  BitBlt(b.dc, 0, 0, 1, 1, a.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(b.Alpha(0, 0), 77);
  BitBlt(b.dc, 0, 0, 1, 1, c24.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(b.Alpha(0, 0), 255);
  EXPECT_EQ(b.Px(0, 0), RGB(9, 8, 7));
}

// Columns of a 1-row source (values 0..n-1 in the red channel) as seen in
// the destination.
std::vector<int> ColumnMap(int srcW, int dstW, int sx = 0, int sw = 0, bool mirror = false) {
  Surface src(srcW, 1), dst(std::abs(dstW), 1);
  for (int x = 0; x < srcW; ++x) SetPixel(src.dc, x, 0, RGB(x, 0, 0));
  if (sw == 0) sw = srcW;
  if (mirror)
    StretchBlt(dst.dc, std::abs(dstW) - 1, 0, -std::abs(dstW), 1, src.dc, sx, 0, sw, 1, SRCCOPY);
  else
    StretchBlt(dst.dc, 0, 0, dstW, 1, src.dc, sx, 0, sw, 1, SRCCOPY);
  std::vector<int> out;
  for (int x = 0; x < std::abs(dstW); ++x) out.push_back(GetRValue(dst.Px(x, 0)));
  return out;
}

TEST_F(Blits, StretchBltColumnMaps) {
  EXPECT_EQ(ColumnMap(3, 6), (std::vector<int>{0, 0, 1, 1, 2, 2}));
  EXPECT_EQ(ColumnMap(6, 3), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(ColumnMap(4, 4), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(ColumnMap(5, 2, 1, 4), (std::vector<int>{1, 3}));
  EXPECT_EQ(ColumnMap(3, 3, 0, 0, true), (std::vector<int>{2, 1, 0}));
}

// Stretches between 24- and 32-bit bitmaps, mirrored and clipped: each
// destination pixel takes its source column's colour, and its alpha from a
// 32-bit source (opaque from a 24-bit one); pixels outside the clip stay.
TEST_F(Blits, StretchBetweenDepthsMapsColumnsAndAlpha) {
  for (int srcBpp : {24, 32})
    for (int dstBpp : {24, 32})
      for (bool mirror : {false, true}) {
        SCOPED_TRACE(testing::Message() << srcBpp << "->" << dstBpp << (mirror ? " mirrored" : ""));
        Surface src(3, 2, srcBpp), dst(8, 2, dstBpp, RGB(1, 1, 1));
        for (int x = 0; x < 3; ++x) SetPixel(src.dc, x, 1, RGB(10 * x + 10, 5, 7));
        if (srcBpp == 32)
          for (int x = 0; x < 3; ++x) gfx::BitmapScanLine(src.bmp, 1)[x * 4 + 3] = uint8_t(100 + x);
        IntersectClipRect(dst.dc, 0, 0, 6, 2);  // the blit's last column stays
        if (mirror)
          StretchBlt(dst.dc, 6, 0, -6, 2, src.dc, 0, 0, 3, 2, SRCCOPY);
        else
          StretchBlt(dst.dc, 1, 0, 6, 2, src.dc, 0, 0, 3, 2, SRCCOPY);
        std::vector<int> reds, alphas;
        for (int x = 0; x < 8; ++x) {
          reds.push_back(GetRValue(dst.Px(x, 1)));
          if (dstBpp == 32) alphas.push_back(gfx::BitmapScanLine(dst.bmp, 1)[x * 4 + 3]);
        }
        const std::vector<int> cols = mirror ? std::vector<int>{2, 2, 1, 1, 0, 0} : std::vector<int>{0, 0, 1, 1, 2, 2};
        for (int i = 0; i < 5; ++i) {  // destination columns 1..5
          EXPECT_EQ(reds[size_t(1 + i)], 10 * cols[size_t(i)] + 10) << "column " << 1 + i;
          if (dstBpp == 32) EXPECT_EQ(alphas[size_t(1 + i)], srcBpp == 32 ? 100 + cols[size_t(i)] : 255);
        }
        for (int x : {0, 6, 7}) EXPECT_EQ(reds[size_t(x)], 1) << "column " << x;
        EXPECT_EQ(dst.Px(3, 0), RGB(255, 255, 255)) << "row 0 of the source is white";
      }
}

TEST_F(Blits, TransparentBltLeavesKeyPixels) {
  Surface src(3, 1), dst(6, 1, 32, RGB(0, 0, 0));
  SetPixel(src.dc, 0, 0, RGB(255, 0, 255));
  SetPixel(src.dc, 1, 0, RGB(10, 20, 30));
  SetPixel(src.dc, 2, 0, RGB(255, 0, 255));
  TransparentBlt(dst.dc, 0, 0, 6, 1, src.dc, 0, 0, 3, 1, RGB(255, 0, 255));
  std::vector<COLORREF> got;
  for (int x = 0; x < 6; ++x) got.push_back(dst.Px(x, 0));
  COLORREF k = 0, v = RGB(10, 20, 30);
  EXPECT_EQ(got, (std::vector<COLORREF>{k, k, v, v, k, k}));
}

TEST_F(Blits, MonochromeMasksUseTextAndBackgroundColours) {
  // Colour -> mono: the source background colour becomes white (1).
  Surface colour(2, 1, 32, RGB(255, 0, 255));
  SetPixel(colour.dc, 1, 0, RGB(1, 2, 3));
  HBITMAP mono = CreateBitmap(2, 1, 1, 1, nullptr);
  HDC mdc = CreateCompatibleDC(HDC());
  HBITMAP old = SelectObject(mdc, mono);
  SetBkColor(colour.dc, RGB(255, 0, 255));
  BitBlt(mdc, 0, 0, 2, 1, colour.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mdc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mdc, 1, 0), RGB(0, 0, 0));
  // Mono -> colour: 0 takes the text colour, 1 the background colour.
  Surface out(2, 1);
  SetTextColor(out.dc, RGB(10, 0, 0));
  SetBkColor(out.dc, RGB(0, 20, 0));
  BitBlt(out.dc, 0, 0, 2, 1, mdc, 0, 0, SRCCOPY);
  EXPECT_EQ(out.Px(0, 0), RGB(0, 20, 0));
  EXPECT_EQ(out.Px(1, 0), RGB(10, 0, 0));
  SelectObject(mdc, old);
  DeleteDC(mdc);
  DeleteObject(mono);
}

TEST_F(Blits, OverlappingCopyInsideOneBitmap) {
  Surface s(5, 1);
  for (int x = 0; x < 5; ++x) SetPixel(s.dc, x, 0, RGB(x, 0, 0));
  BitBlt(s.dc, 1, 0, 4, 1, s.dc, 0, 0, SRCCOPY);
  std::vector<int> got;
  for (int x = 0; x < 5; ++x) got.push_back(GetRValue(s.Px(x, 0)));
  EXPECT_EQ(got, (std::vector<int>{0, 0, 1, 2, 3}));
}

}  // namespace

namespace {

TEST(DibSections, RowOrderConversionAndUnscaledRows) {
  size_t before = gfx::GdiObjectCount();
  // A positive height is bottom-up: the bits start with the bottom row.
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = 2;
  bi.bmiHeader.biBitCount = 8;
  bi.bmiColors[1] = RGBQUAD{30, 20, 10, 0};
  void* bits = nullptr;
  HBITMAP up = CreateDIBSection(HDC(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(up);
  static_cast<uint8_t*>(bits)[0] = 1;  // bottom-left
  HDC dc = CreateCompatibleDC(HDC());
  HBITMAP old = SelectObject(dc, up);
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);

  // GetDIBits turns any bitmap into 24-bit top-down BGR rows.
  BITMAPINFO out{};
  out.bmiHeader.biWidth = 2;
  out.bmiHeader.biHeight = -2;
  out.bmiHeader.biBitCount = 24;
  uint8_t rows[2 * 8] = {};
  EXPECT_EQ(GetDIBits(HDC(), up, 0, 2, rows, &out, DIB_RGB_COLORS), 2);
  EXPECT_EQ((std::vector<int>{rows[8], rows[9], rows[10]}), (std::vector<int>{30, 20, 10}));  // second row
  EXPECT_EQ(rows[0], 0);
  // Scan lines past the bitmap copy nothing, however large the start.
  for (UINT start : {2u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(GetDIBits(HDC(), up, start, 2, rows, &out, DIB_RGB_COLORS), 0) << start;
    EXPECT_EQ(SetDIBits(HDC(), up, start, 2, rows, &out, DIB_RGB_COLORS), 0) << start;
  }
  // A height of -2^31 names no row count at all.
  out.bmiHeader.biHeight = INT32_MIN;
  EXPECT_EQ(GetDIBits(HDC(), up, 0, 2, rows, &out, DIB_RGB_COLORS), 0);
  EXPECT_EQ(SetDIBits(HDC(), up, 0, 2, rows, &out, DIB_RGB_COLORS), 0);
  EXPECT_FALSE(CreateDIBSection(HDC(), &out, DIB_RGB_COLORS, &bits, nullptr, 0));
  out.bmiHeader.biHeight = -2;
  BITMAP bm;
  EXPECT_EQ(GetObject(up, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 8);
  EXPECT_EQ(bm.bmWidthBytes, 4);
  DeleteObject(up);

  // SetDIBitsToDevice copies top-down 24-bit rows unscaled to (x, y).
  Surface s(4, 3);
  uint8_t src[2 * 8] = {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 0, 0, 0, 0, 0};
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biBitCount = 24;
  SetDIBitsToDevice(s.dc, 1, 1, 2, 2, 0, 0, 0, 2, src, &info, DIB_RGB_COLORS);
  EXPECT_EQ(s.Px(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(s.Px(2, 1), RGB(0, 255, 0));
  EXPECT_EQ(s.Px(1, 2), RGB(0, 0, 255));
  EXPECT_EQ(s.Px(0, 0), RGB(255, 255, 255));
  // Absurd sizes fail instead of exhausting memory.
  BITMAPINFO huge{};
  huge.bmiHeader.biWidth = 1 << 20;
  huge.bmiHeader.biHeight = -(1 << 20);
  huge.bmiHeader.biBitCount = 32;
  EXPECT_FALSE(CreateDIBSection(HDC(), &huge, DIB_RGB_COLORS, &bits, nullptr, 0));
  EXPECT_EQ(bits, nullptr);
  EXPECT_EQ(gfx::GdiObjectCount(), before + 2);  // the surface's bitmap and DC
}

TEST(Edges, ClassicRaisedAndSunken) {
  Surface s(4, 4);
  RECT r{0, 0, 4, 4};
  DrawEdge(s.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(s.Px(0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(s.Px(3, 3), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.Px(1, 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s.Px(2, 2), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(r, (RECT{2, 2, 2, 2}));
}

}  // namespace

namespace {

TEST(Blits2, HalftoneAveragesWhenShrinking) {
  Surface src(4, 1), dst(2, 1);
  for (int x = 0; x < 4; ++x) SetPixel(src.dc, x, 0, RGB(x * 80, 0, 0));
  SetStretchBltMode(dst.dc, HALFTONE);
  StretchBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(GetRValue(dst.Px(0, 0)), 40);
  EXPECT_EQ(GetRValue(dst.Px(1, 0)), 200);
  SetStretchBltMode(dst.dc, COLORONCOLOR);
  StretchBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(GetRValue(dst.Px(1, 0)), 160);
}

TEST(Blits2, SpansNearTheIntLimitsTouchOnlyWhatShows) {
  Surface src(4, 4, 32, RGB(0, 0, 0));
  {
    // Shrinking two billion source columns: each destination pixel averages
    // only the columns that exist, and the four real ones land in column 4.
    Surface dst(8, 5);
    SetViewportOrgEx(dst.dc, 3, 2, nullptr);
    SetStretchBltMode(dst.dc, HALFTONE);
    StretchBlt(dst.dc, -3, -2, 8, 5, src.dc, -1000000000, 0, 2000000000, 4, SRCCOPY);
    EXPECT_EQ(Join(dst.Map()), Join({"....#...", "....#...", "....#...", "....#...", "....#..."}));
  }
  {
    // A mirrored span of 2^31 pixels ending at the surface's right edge.
    Surface dst(8, 5);
    SetViewportOrgEx(dst.dc, 3, 2, nullptr);
    StretchBlt(dst.dc, 4, -2, INT32_MIN, 5, src.dc, 0, 0, 4, 4, SRCCOPY);
    EXPECT_EQ(Join(dst.Map()), Join({"########", "########", "########", "########", "########"}));
  }
}

}  // namespace
