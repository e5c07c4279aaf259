// DrawText and the text calls on the fixed-metric engine (7x13 cells).
#include "gfx_test_util.h"

#include "platform/gfx/text.h"

using namespace gfxtest;

namespace {

struct FixedText : ::testing::Test {
  gfx::FixedTextEngine engine;
  void SetUp() override { gfx::SetTextEngine(&engine); }
  void TearDown() override { gfx::SetTextEngine(nullptr); }
};

TEST_F(FixedText, DrawTextCalcRectTable) {
  struct Case {
    const char* text;
    UINT flags;
    int width;  // of the measuring rectangle
    int expectW, expectH;
  } cases[] = {
      {"abc", DT_SINGLELINE, 100, 21, 13},
      {"&&a", 0, 100, 14, 13},   // "&&" is one literal "&"
      {"a&bc", 0, 100, 21, 13},  // the prefix is not drawn
      {"a&bc", DT_NOPREFIX, 100, 28, 13},
      {"ab\n\rcd", 0, 100, 14, 26},  // LF CR is one break
      {"ab\r\ncd", 0, 100, 14, 26},
      {"ab\n\ncd", 0, 100, 14, 39},  // two LFs are two breaks
      {"ab\rcd\nef", 0, 100, 14, 39},
      {"ab\ncd", DT_SINGLELINE, 100, 28, 13},
      {"aaa bbb ccc", DT_WORDBREAK, 60, 49, 26},  // "aaa bbb" fits in 60
      {"aaa bbb ccc", DT_WORDBREAK, 30, 21, 39},
      {"abcdefghij", DT_WORDBREAK, 30, 70, 13},                                        // a long word overflows
      {"\xE8\xA7\x86\xE9\xA2\x91\xE8\xBD\xAC\xE6\x8D\xA2", DT_WORDBREAK, 15, 14, 26},  // CJK breaks anywhere
      {"a\tb", DT_EXPANDTABS, 200, 63, 13},                                            // tab to 8 average widths
      {"", 0, 100, 0, 13},
  };
  for (const auto& c : cases) {
    Surface s(4, 4);
    RECT r{10, 20, 10 + c.width, 20};
    int h = DrawText(s.dc, c.text, -1, &r, c.flags | DT_CALCRECT);
    EXPECT_EQ(h, c.expectH) << c.text;
    EXPECT_EQ(r.Right - r.Left, c.expectW) << c.text;
    EXPECT_EQ(r.Bottom - r.Top, c.expectH) << c.text;
    EXPECT_EQ(r.Left, 10);
    EXPECT_EQ(r.Top, 20);
  }
}

// Cells of one row of text: which 7-pixel cells at row y are drawn.
std::string Cells(const Surface& s, int y, int x0, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s.Px(x0 + i * 7 + 3, y) == RGB(0, 0, 0) ? '#' : '.';
  return out;
}

TEST_F(FixedText, EllipsesAlignmentAndClipping) {
  struct Case {
    const char* text;
    UINT flags;
    int left, right;
    std::string cells;  // row 5, 10 cells from x = 0
  } cases[] = {
      {"abcdefgh", DT_END_ELLIPSIS | DT_NOCLIP, 0, 35, "#####....."},  // "ab..." fits 35
      {"ab", DT_RIGHT, 0, 70, "........##"},
      {"ab", DT_CENTER, 0, 70, "....##...."},
      {"abcdefgh", 0, 0, 35, "#####....."},  // clipped to the rectangle
      {"abcdefgh", DT_NOCLIP, 0, 35, "########.."},
      {"a b", 0, 0, 70, "#.#......."},
  };
  for (const auto& c : cases) {
    Surface s(70, 20);
    SetBkMode(s.dc, TRANSPARENT);
    RECT r{c.left, 0, c.right, 20};
    DrawText(s.dc, c.text, -1, &r, c.flags);
    EXPECT_EQ(Cells(s, 5, 0, 10), c.cells) << c.text;
  }
  // The path ellipsis keeps the last part of the path.
  Surface s(70, 20);
  RECT r{0, 0, 70, 20};
  RECT calc = r;
  DrawText(s.dc, "/aaaa/bbbb/f.txt", -1, &calc, DT_PATH_ELLIPSIS | DT_CALCRECT | DT_SINGLELINE);
  EXPECT_LE(calc.Right, 70);
}

TEST_F(FixedText, VerticalCentreAndBottomOnSingleLines) {
  Surface s(20, 40);
  SetBkMode(s.dc, TRANSPARENT);
  RECT r{0, 0, 20, 40};
  int h = DrawText(s.dc, "a", -1, &r, DT_SINGLELINE | DT_VCENTER);
  EXPECT_EQ(h, 13 + 13);  // offset (13) + height
  EXPECT_EQ(s.Px(3, 12), RGB(255, 255, 255));
  EXPECT_EQ(s.Px(3, 13), RGB(0, 0, 0));
  EXPECT_EQ(s.Px(3, 25), RGB(0, 0, 0));
  EXPECT_EQ(s.Px(3, 26), RGB(255, 255, 255));
  Surface b(20, 40);
  SetBkMode(b.dc, TRANSPARENT);
  DrawText(b.dc, "a", -1, &r, DT_SINGLELINE | DT_BOTTOM);
  EXPECT_EQ(b.Px(3, 26), RGB(255, 255, 255));
  EXPECT_EQ(b.Px(3, 27), RGB(0, 0, 0));
}

TEST_F(FixedText, TextOutBackgroundAndMetrics) {
  Surface s(30, 15);
  SetTextColor(s.dc, RGB(255, 0, 0));
  SetBkColor(s.dc, RGB(0, 0, 255));
  TextOut(s.dc, 0, 0, "a b");
  EXPECT_EQ(s.Px(3, 3), RGB(255, 0, 0));
  EXPECT_EQ(s.Px(10, 3), RGB(0, 0, 255));  // opaque background under the space
  EXPECT_EQ(s.Px(22, 3), RGB(255, 255, 255));
  SetBkMode(s.dc, TRANSPARENT);
  TextOut(s.dc, 21, 0, " ");
  EXPECT_EQ(s.Px(22, 3), RGB(255, 255, 255));
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(s.dc, &tm));
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmAscent, 10);
  EXPECT_EQ(tm.tmDescent, 3);
  EXPECT_EQ(tm.tmAveCharWidth, 7);
  SIZE sz;
  GetTextExtentPoint32(s.dc, "\xE4\xB8\xAD\xE6\x96\x87", -1, &sz);  // two code points
  EXPECT_EQ(sz.cx, 14);
  int stops[] = {30};
  LONG ext = TabbedTextOut(s.dc, 0, 0, "a\tb", -1, 1, stops, 0);
  EXPECT_EQ(ext & 0xFFFF, 37);
  EXPECT_EQ(ext >> 16, 13);
}

TEST(QtText, DrawsOnEveryBitmapDepth) {
  for (int bpp : {32, 24, 8, 1}) {
    Surface s(40, 20, bpp);
    LOGFONT lf;
    lf.lfFaceName = "Arial";
    lf.lfHeight = -14;
    HFONT f = CreateFontIndirect(&lf);
    HFONT old = SelectObject(s.dc, f);
    SetBkMode(s.dc, TRANSPARENT);
    TextOut(s.dc, 2, 2, "Wg");
    int dark = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) dark += GetPixel(s.dc, x, y) != RGB(255, 255, 255);
    EXPECT_GT(dark, 15) << bpp;
    EXPECT_EQ(GetPixel(s.dc, 39, 19), RGB(255, 255, 255)) << bpp;
    SelectObject(s.dc, old);
    DeleteObject(f);
  }
}

TEST(QtText, MappedFontsHaveCjkGlyphs) {
  EXPECT_EQ(gfx::MapFontFamily("Arial"), "Liberation Sans");
  EXPECT_EQ(gfx::MapFontFamily("MS Sans Serif"), "Liberation Sans");
  EXPECT_EQ(gfx::MapFontFamily("Tahoma"), "DejaVu Sans");
  LOGFONT lf;
  lf.lfFaceName = "Arial";
  lf.lfHeight = 14;
  gfx::QtTextEngine eng;
  gfx::FontMetrics m = eng.Metrics(lf);
  EXPECT_LE(m.ascent + m.descent, 14);  // a positive height is the cell height
  EXPECT_GE(m.ascent + m.descent, 11);
  // "提示" draws something with the fallback font.
  Surface s(40, 20);
  HFONT f = CreateFontIndirect(&lf);
  HFONT old = SelectObject(s.dc, f);
  SetBkMode(s.dc, TRANSPARENT);
  TextOut(s.dc, 0, 0, "\xE6\x8F\x90\xE7\xA4\xBA");
  int dark = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) dark += s.Px(x, y) != RGB(255, 255, 255);
  EXPECT_GT(dark, 20);
  SelectObject(s.dc, old);
  DeleteObject(f);
}

}  // namespace
