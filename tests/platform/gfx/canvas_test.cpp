// TCanvas over bitmaps and borrowed DCs, TBitmap transparency and the image list.
#include "gfx_test_util.h"

#include "platform/gfx/canvas.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/imagelist.h"
#include "platform/gfx/text.h"
#include "platform/rtl/exceptions.h"

using namespace gfxtest;
using namespace gfx;

namespace {

COLORREF Pix(TBitmap& b, int x, int y) { return COLORREF(b.Canvas()->Pixels(x, y)); }

std::vector<std::string> MapOf(TBitmap& b) {
  std::vector<std::string> out;
  for (int y = 0; y < b.Height(); ++y) {
    std::string s;
    for (int x = 0; x < b.Width(); ++x) {
      COLORREF c = Pix(b, x, y);
      s += c == RGB(255, 255, 255) ? '.' : c == 0 ? '#' : c == RGB(255, 0, 0) ? 'r' : 'o';
    }
    out.push_back(s);
  }
  return out;
}

TEST(Canvas, DrawsOnABitmapWithPenBrushAndFont) {
  size_t before = GdiObjectCount();
  {
    TBitmap bm;
    bm.SetSize(8, 5);  // new pixels are white
    EXPECT_EQ(Pix(bm, 7, 4), RGB(255, 255, 255));
    TCanvas* c = bm.Canvas();
    c->Brush()->SetColor(clRed);
    c->Rectangle(1, 1, 5, 4);
    c->Pen()->SetColor(clRed);
    c->MoveTo(6, 0);
    c->LineTo(6, 5);
    EXPECT_EQ(c->PenPos(), (TPoint{6, 5}));
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clBlack);
    c->Rectangle(0, 0, 8, 5);  // outline only
    EXPECT_EQ(Join(MapOf(bm)), Join({"########", "#####.r#", "##rr#.r#", "#####.r#", "########"}));
    c->SetPixels(7, 4, clBtnFace);
    EXPECT_EQ(c->Pixels(7, 4), TColor(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(c->ClipRect(), (TRect{0, 0, 8, 5}));
  }
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST(Canvas, BorrowedDcWithViewportOffsetGetsItsObjectsBack) {
  Surface s(6, 4);
  HGDIOBJ origBrush = GetCurrentObject(s.dc, OBJ_BRUSH);
  SetViewportOrgEx(s.dc, -2, -1, nullptr);  // "paint yourself at an offset"
  {
    TCanvas c;
    c.SetHandle(s.dc);
    c.Brush()->SetColor(clBlack);
    c.FillRect(TRect{2, 1, 4, 3});
    EXPECT_NE(GetCurrentObject(s.dc, OBJ_BRUSH), origBrush);
    c.SetHandle(HDC());
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BRUSH), origBrush);
  }
  EXPECT_EQ(Join(s.Map()), Join({"##....", "##....", "......", "......"}));
}

TEST(Canvas, TextWithTheFixedEngine) {
  FixedTextEngine eng;
  SetTextEngine(&eng);
  TBitmap bm;
  bm.SetSize(30, 14);
  TCanvas* c = bm.Canvas();
  EXPECT_EQ(c->TextWidth("abc"), 21);
  EXPECT_EQ(c->TextHeight("abc"), 13);
  c->Font()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(1, 0, "a");
  EXPECT_EQ(Pix(bm, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(Pix(bm, 8, 0), RGB(255, 255, 255));
  EXPECT_EQ(c->PenPos(), (TPoint{8, 0}));
  c->Brush()->SetColor(clRed);
  c->TextRect(TRect{20, 0, 25, 5}, 20, 0, "x");  // clipped and opaque
  EXPECT_EQ(Pix(bm, 24, 4), RGB(0, 0, 0));
  EXPECT_EQ(Pix(bm, 25, 4), RGB(255, 255, 255));
  SetTextEngine(nullptr);
}

TEST(Canvas, TransparentBitmapUsesTheBottomLeftPixel) {
  TBitmap glyph;
  glyph.SetSize(3, 2);
  TCanvas* g = glyph.Canvas();
  g->Brush()->SetColor(clFuchsia);
  g->FillRect(TRect{0, 0, 3, 2});
  g->SetPixels(1, 0, clBlack);
  EXPECT_EQ(uint32_t(glyph.TransparentColor()) & 0xFFFFFF, uint32_t(clFuchsia));
  EXPECT_EQ(glyph.TransparentMode(), tmAuto);
  glyph.SetTransparent(true);
  TBitmap dst;
  dst.SetSize(4, 2);
  dst.Canvas()->Draw(1, 0, &glyph);
  EXPECT_EQ(Join(MapOf(dst)), Join({"..#.", "...."}));
  // tmFixed with another key: the magenta shows.
  glyph.SetTransparentColor(clBlack);
  EXPECT_EQ(glyph.TransparentMode(), tmFixed);
  dst.Canvas()->Draw(1, 0, &glyph);
  EXPECT_EQ(Pix(dst, 1, 0), RGB(255, 0, 255));
  EXPECT_EQ(Pix(dst, 2, 0), RGB(0, 0, 0));  // unchanged from before
  // Stretching and CopyRect.
  glyph.SetTransparent(false);
  TBitmap big;
  big.SetSize(6, 4);
  big.Canvas()->StretchDraw(TRect{0, 0, 6, 4}, &glyph);
  EXPECT_EQ(Pix(big, 2, 0), RGB(0, 0, 0));
  EXPECT_EQ(Pix(big, 3, 1), RGB(0, 0, 0));
  EXPECT_EQ(Pix(big, 4, 0), RGB(255, 0, 255));
  TBitmap small;
  small.SetSize(3, 2);
  small.Canvas()->CopyRect(TRect{0, 0, 3, 2}, big.Canvas(), TRect{0, 0, 6, 4});
  EXPECT_EQ(Pix(small, 1, 0), RGB(0, 0, 0));
}

TEST(Canvas, PixelFormatConversionAndScanLine) {
  TBitmap bm;
  bm.SetPixelFormat(pf24bit);
  bm.SetSize(5, 2);
  uint8_t* row = bm.ScanLine(1);
  row[0] = 1;
  row[1] = 2;
  row[2] = 3;
  EXPECT_EQ(Pix(bm, 0, 1), RGB(3, 2, 1));
  EXPECT_EQ(bm.ScanLine(2), nullptr);
  BitmapInfo bi;
  GetBitmapInfo(bm.Handle(), bi);
  EXPECT_EQ(bi.stride, 16);  // 15 bytes padded to 4
  bm.SetPixelFormat(pf32bit);
  EXPECT_EQ(Pix(bm, 0, 1), RGB(3, 2, 1));
  bm.SetPixelFormat(pf1bit);
  EXPECT_EQ(Pix(bm, 0, 1), RGB(0, 0, 0));
  EXPECT_EQ(Pix(bm, 1, 1), RGB(255, 255, 255));
  TBitmap copy;
  copy.Assign(&bm);
  EXPECT_EQ(copy.PixelFormat(), pf1bit);
  EXPECT_EQ(Pix(copy, 1, 1), RGB(255, 255, 255));
  TIcon icon;
  EXPECT_THROW(icon.Assign(&bm), rtl::EConvertError);
}

TEST(ImageListTest, MasksKeysAndTheDisabledLook) {
  ImageList il(3, 3);
  TBitmap strip;
  strip.SetSize(6, 3);
  TCanvas* c = strip.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(TRect{0, 0, 6, 3});
  c->Brush()->SetColor(clBlack);
  c->FillRect(TRect{1, 1, 2, 2});                 // image 0: a dot in the middle
  c->FillRect(TRect{3, 0, 6, 1});                 // image 1: the top row
  EXPECT_EQ(il.AddMasked(&strip, clDefault), 0);  // bottom-left pixel is the key
  EXPECT_EQ(il.Count(), 2);

  TBitmap out;
  out.SetSize(5, 5);
  il.Draw(out.Canvas(), 0, 0, 1, true);
  EXPECT_EQ(Join(MapOf(out)), Join({"###..", ".....", ".....", ".....", "....."}));
  // Disabled: highlight at +1,+1 under the shadow at 0,0.
  TBitmap dis;
  dis.SetSize(5, 5);
  il.Draw(dis.Canvas(), 1, 1, 0, false);
  EXPECT_EQ(Pix(dis, 2, 2), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(Pix(dis, 3, 3), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Pix(dis, 1, 1), RGB(255, 255, 255));

  // A monochrome mask: white is transparent.
  TBitmap mask;
  mask.SetPixelFormat(pf1bit);
  mask.SetSize(3, 3);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(TRect{0, 0, 1, 3});
  EXPECT_EQ(il.Add(&strip, &mask), 2);
  TBitmap out2;
  out2.SetSize(3, 3);
  il.Draw(out2.Canvas(), 0, 0, 2, true);
  EXPECT_EQ(Pix(out2, 0, 0), RGB(255, 0, 255));
  EXPECT_EQ(Pix(out2, 1, 1), RGB(255, 255, 255));
  il.Delete(0);
  EXPECT_EQ(il.Count(), 3);
  il.Draw(out2.Canvas(), 0, 0, 99, true);  // out of range: nothing
}

// A 32-bit strip keeps each image's own pixels and alpha; one with no alpha
// at all is opaque.
TEST(ImageListTest, ThirtyTwoBitStripsKeepTheirAlpha) {
  for (bool withAlpha : {true, false}) {
    SCOPED_TRACE(withAlpha ? "alpha" : "no alpha");
    TBitmap strip;
    strip.SetPixelFormat(pf32bit);
    strip.SetSize(4, 2);  // two 2x2 images
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) {
        uint8_t* p = strip.ScanLine(y) + x * 4;
        p[0] = 0;
        p[1] = 0;
        p[2] = uint8_t(x < 2 ? 200 : 0);  // image 0 red, image 1 black
        p[3] = uint8_t(withAlpha ? (x == 3 && y == 1 ? 0 : 255) : 0);
      }
    ImageList il(2, 2);
    EXPECT_EQ(il.Add(&strip, nullptr), 0);
    EXPECT_EQ(il.Count(), 2);
    TBitmap out;
    out.SetSize(4, 2);  // white
    il.Draw(out.Canvas(), 0, 0, 0, true);
    il.Draw(out.Canvas(), 2, 0, 1, true);
    EXPECT_EQ(Pix(out, 1, 1), RGB(200, 0, 0));
    EXPECT_EQ(Pix(out, 2, 0), RGB(0, 0, 0));
    EXPECT_EQ(Pix(out, 3, 1), withAlpha ? RGB(255, 255, 255) : RGB(0, 0, 0));
  }
}

}  // namespace

namespace {

TEST(Icons, SystemIconsAreSharedAndScale) {
  size_t before = gfx::GdiObjectCount();
  HICON warn = LoadIcon(nullptr, IDI_EXCLAMATION);
  ASSERT_TRUE(warn);
  EXPECT_EQ(LoadIcon(nullptr, IDI_WARNING), warn);
  EXPECT_FALSE(LoadIcon(nullptr, 1));
  EXPECT_TRUE(DestroyIcon(warn));
  int w = 0, h = 0;
  EXPECT_TRUE(gfx::GetIconSize(warn, w, h));  // still there
  EXPECT_EQ(w, 32);
  HICON small = CopyImage(warn, IMAGE_ICON, 16, 16, 0);
  gfx::GetIconSize(small, w, h);
  EXPECT_EQ(w, 16);
  {
    Surface s(20, 20);
    DrawIconEx(s.dc, 0, 0, small, 0, 0, 0, HBRUSH(), DI_NORMAL);
    EXPECT_NE(s.Px(8, 10), RGB(255, 255, 255));
    EXPECT_EQ(s.Px(0, 0), RGB(255, 255, 255));  // transparent corner
  }
  DestroyIcon(small);
  {
    // Stretched far beyond the surface: only what shows is worked on, and the
    // nearest source pixel is the one under it.
    const uint32_t quad[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF000000u};
    HICON four = gfx::CreateIconFromArgb(2, 2, quad);
    Surface s(8, 5);
    SetViewportOrgEx(s.dc, 3, 2, nullptr);
    DrawIconEx(s.dc, -1000000003, -1000000002, four, 2000000000, 2000000000, 0, HBRUSH(GetStockObject(WHITE_BRUSH)),
               DI_NORMAL);
    EXPECT_EQ(s.Px(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(s.Px(7, 4), RGB(0, 0, 0));
    DestroyIcon(four);
  }
  EXPECT_EQ(gfx::GdiObjectCount(), before + 0) << "only the shared icon stays";
}

}  // namespace

namespace {

TEST(Canvas2, Frame3DRingsFromTheOutsideIn) {
  TBitmap bm;
  bm.SetSize(5, 5);
  TRect r{0, 0, 5, 5};
  Frame3D(bm.Canvas(), r, clBlack, clRed, 1);
  EXPECT_EQ(r, (TRect{1, 1, 4, 4}));
  EXPECT_EQ(Join(MapOf(bm)), Join({"####r", "#...r", "#...r", "#...r", "rrrrr"}));
}

TEST(Icons2, IconInfoGivesMaskAndColour) {
  uint32_t px[2] = {0xFF102030, 0x00000000};
  HICON ic = CreateIconFromArgb(2, 1, px);
  ICONINFO ii;
  ASSERT_TRUE(GetIconInfo(ic, &ii));
  HDC dc = CreateCompatibleDC(HDC());
  HBITMAP old = SelectObject(dc, ii.hbmMask);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 255, 255));
  SelectObject(dc, ii.hbmColor);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x10, 0x20, 0x30));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(ii.hbmMask);
  DeleteObject(ii.hbmColor);
  DestroyIcon(ic);
}

}  // namespace

namespace {

TEST(Canvas3, HandleSelectsTheCanvasObjects) {
  FixedTextEngine eng;
  SetTextEngine(&eng);
  TBitmap bm;
  bm.SetSize(10, 13);
  TCanvas* c = bm.Canvas();
  c->Font()->SetColor(clRed);
  c->Brush()->SetStyle(bsClear);
  // Win32 text calls on the handle use the canvas font and brush at once.
  HDC dc = c->Handle();
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  RECT r{0, 0, 10, 13};
  DrawText(dc, "a", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(Pix(bm, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(Pix(bm, 8, 1), RGB(255, 255, 255));
  SetTextEngine(nullptr);
}

}  // namespace

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>

#include <thread>

namespace {

TEST(Palette, FixedClassicSystemColours) {
  struct Case {
    TColor c;
    COLORREF rgb;
  } cases[] = {
      {clBtnFace, RGB(212, 208, 200)},      {clBtnShadow, RGB(128, 128, 128)},
      {clBtnHighlight, RGB(255, 255, 255)}, {clBtnText, RGB(0, 0, 0)},
      {cl3DLight, RGB(212, 208, 200)},      {cl3DDkShadow, RGB(64, 64, 64)},
      {clWindow, RGB(255, 255, 255)},       {clWindowText, RGB(0, 0, 0)},
      {clHighlight, RGB(10, 36, 106)},      {clHighlightText, RGB(255, 255, 255)},
      {clGrayText, RGB(128, 128, 128)},     {clInfoBk, RGB(255, 255, 225)},
      {clInfoText, RGB(0, 0, 0)},           {clAppWorkSpace, RGB(128, 128, 128)},
      {clMenu, RGB(212, 208, 200)},         {clMenuText, RGB(0, 0, 0)},
      {clActiveCaption, RGB(10, 36, 106)},  {clInactiveCaption, RGB(128, 128, 128)},
      {clCaptionText, RGB(255, 255, 255)},  {clScrollBar, RGB(212, 208, 200)},
  };
  for (const auto& c : cases) EXPECT_EQ(COLORREF(ColorToRGB(c.c)), c.rgb) << std::hex << c.c;
  EXPECT_EQ(ColorToRGB(clFuchsia), clFuchsia);
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(uint32_t(clBtnFace), 0xFF00000Fu);
}

TEST(Fonts, MappedFamiliesAndTheCjkFallbackAreInstalled) {
  EnsureGuiApplication();
  for (const char* face : {"Arial", "MS Sans Serif", "Tahoma"}) {
    std::string fam = MapFontFamily(face);
    QFont f(QString::fromStdString(fam));
    EXPECT_EQ(QFontInfo(f).family().toStdString(), fam) << face << ": install fonts-liberation2/fonts-dejavu-core";
  }
  LOGFONT lf;
  lf.lfFaceName = "Arial";
  lf.lfHeight = -11;
  QFont f = ToQFont(lf);
  EXPECT_EQ(f.pixelSize(), 11);
  QFont cjk(QString::fromUtf8(CjkFallbackFamily()));
  EXPECT_EQ(QFontInfo(cjk).family(), QString::fromUtf8(CjkFallbackFamily())) << "install fonts-wqy-microhei";
  QFontMetrics fm(cjk);
  EXPECT_TRUE(fm.inFontUcs4(0x63D0));  // 提
  EXPECT_TRUE(fm.inFontUcs4(0x793A));  // 示
}

TEST(Threads, WorkerDrawsOnItsLockedBitmapWhileTheUiThreadDraws) {
  EnsureGuiApplication();
  TBitmap mine, theirs;
  mine.SetSize(64, 32);
  theirs.SetSize(64, 32);
  TCanvas* wc = theirs.Canvas();
  wc->Lock();
  wc->Handle();
  wc->Unlock();
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      wc->Lock();
      wc->Brush()->SetColor(TColor(i));
      wc->FillRect(TRect{0, 0, 64, 32});
      wc->Font()->SetColor(clWhite);
      wc->TextOut(2, 2, "12:34 \xE8\xA7\x86");
      wc->Unlock();
    }
  });
  for (int i = 0; i < 50; ++i) {
    mine.Canvas()->Brush()->SetColor(clRed);
    mine.Canvas()->FillRect(TRect{0, 0, 64, 32});
    mine.Canvas()->TextOut(1, 1, "abc");
  }
  worker.join();
  EXPECT_EQ(Pix(mine, 63, 31), RGB(255, 0, 0));
  EXPECT_EQ(Pix(theirs, 63, 31), COLORREF(49));
}

}  // namespace

namespace {

TEST(Canvas4, BitmapOverARuntimeDibSharesItsPixels) {
  rtl::Dib dib(4, 2, 24);
  TBitmap bm;
  bm.WrapDib(dib);
  EXPECT_EQ(bm.Width(), 4);
  EXPECT_EQ(bm.PixelFormat(), pf24bit);
  bm.Canvas()->Brush()->SetColor(clRed);
  bm.Canvas()->FillRect(TRect{1, 1, 2, 2});
  const uint8_t* row = dib.ScanLine(1);
  EXPECT_EQ((std::vector<int>{row[3], row[4], row[5]}), (std::vector<int>{0, 0, 255}));

  // Pixels over rows padded wider than needed copy into a bitmap of their own.
  std::vector<uint8_t> wide(64 * 2, 0x40);
  TBitmap over;
  over.SetHandle(CreateDibOver(2, 2, 32, 64, wide.data()));
  TBitmap copy;
  copy.Assign(&over);
  ASSERT_EQ(copy.Width(), 2);
  EXPECT_EQ(Pix(copy, 1, 1), RGB(0x40, 0x40, 0x40));
}

}  // namespace

#include <QImage>

namespace {

TEST(Picture, LoadsByExtension) {
  EnsureGuiApplication();
  std::string dir = ::testing::TempDir();
  QImage img(3, 2, QImage::Format_ARGB32);
  img.fill(QColor(10, 20, 30));
  ASSERT_TRUE(img.save(QString::fromStdString(dir + "/gfx_pic.png")));
  TPicture pic;
  pic.LoadFromFile(dir + "/gfx_pic.png");
  ASSERT_TRUE(pic.Graphic());
  EXPECT_EQ(pic.Width(), 3);
  EXPECT_EQ(Pix(*pic.Bitmap(), 2, 1), RGB(10, 20, 30));
  pic.Bitmap()->SaveToFile(dir + "/gfx_pic.bmp");
  TPicture again;
  again.LoadFromFile(dir + "/gfx_pic.bmp");
  EXPECT_EQ(Pix(*again.Bitmap(), 0, 0), RGB(10, 20, 30));
  EXPECT_THROW(pic.LoadFromFile(dir + "/x.emf"), rtl::EInvalidGraphic);
  EXPECT_THROW(pic.LoadFromFile(dir + "/x.xyz"), rtl::EInvalidGraphic);
  EXPECT_THROW(pic.LoadFromFile(dir + "/missing.bmp"), rtl::Exception);
  EXPECT_EQ(pic.Width(), 3);  // a failed load keeps the picture
}

}  // namespace
