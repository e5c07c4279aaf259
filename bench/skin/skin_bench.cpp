// skin_bench [repeats]
// Times what a skinned main window does on every repaint and hover: the
// nine-part image of an 800 x 600 form from a skin's form picture (tiled and
// stretched sides and centres, 24- and 8-bit pictures), its window region
// from the form mask, the copy onto the window, and a five-step transition
// of a 120 x 30 button for every morph kind. Prints the median of each.
// Also times loading each built-in stored skin into a skin store (inflating
// the container, decoding its pictures, reading its description), as the
// program's start and every skin switch do.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/region.h"
#include "skin/data/bsSkinData.h"
#include "skin/data/bsStoredSkins.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsMaskRegions.h"
#include "skin/draw/bsSkinImages.h"

using namespace skin;

namespace {

int gRepeats = 50;

// Median milliseconds of `fn` over gRepeats runs (after one warm-up run).
double Median(const std::function<void()>& fn) {
  fn();
  std::vector<double> ms;
  for (int i = 0; i < gRepeats; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    fn();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// A form picture of 300 x 220 as skins draw them: a 28-pixel caption band,
// 4-pixel borders, 40-pixel corners, a textured client area.
void FormPicture(gfx::TBitmap& p, gfx::TPixelFormat format) {
  p.SetPixelFormat(gfx::pf24bit);
  p.SetSize(300, 220);
  for (int y = 0; y < 220; ++y) {
    uint8_t* row = p.ScanLine(y);
    for (int x = 0; x < 300; ++x) {
      bool frame = y < 28 || y >= 216 || x < 4 || x >= 296;
      row[x * 3 + 0] = uint8_t(frame ? 120 + y / 4 : 230 - (x ^ y) % 16);
      row[x * 3 + 1] = uint8_t(frame ? 60 + y / 2 : 230 - (x + y) % 12);
      row[x * 3 + 2] = uint8_t(frame ? 20 + x / 8 : 225);
    }
  }
  if (format != gfx::pf24bit) p.SetPixelFormat(format);
}

// The form mask: black with its four outer corners rounded off.
void FormMask(gfx::TBitmap& m) {
  m.SetPixelFormat(gfx::pf24bit);
  m.SetSize(300, 220);
  for (int y = 0; y < 220; ++y) {
    uint8_t* row = m.ScanLine(y);
    for (int x = 0; x < 300; ++x) {
      int dx = std::min(x, 299 - x), dy = std::min(y, 219 - y);
      std::memset(row + x * 3, dx + dy < 6 ? 255 : 0, 3);
    }
  }
  m.SetPixelFormat(gfx::pf1bit);
}

const TbsNinePart kForm{{40, 28}, {260, 28}, {40, 180}, {260, 180}, {4, 28, 296, 216}};

TbsNinePart FormAt(int W, int H) {
  int dx = W - 300, dy = H - 220;
  return TbsNinePart{{40, 28}, {260 + dx, 28}, {40, 180 + dy}, {260 + dx, 180 + dy}, {4, 28, 296 + dx, 216 + dy}};
}

void FormFigures() {
  struct {
    const char* what;
    gfx::TPixelFormat format;
    bool sidesStretched, centreStretched;
    TbsStretchType type;
  } cases[] = {
      {"24-bit picture, sides and centre tiled", gfx::pf24bit, false, false, bsstFull},
      {"24-bit picture, sides stretched, centre stretched", gfx::pf24bit, true, true, bsstFull},
      {"24-bit picture, centre stretched across and tiled down", gfx::pf24bit, false, true, bsstVert},
      {"8-bit picture, sides and centre tiled", gfx::pf8bit, false, false, bsstFull},
      {"8-bit picture, sides stretched, centre stretched", gfx::pf8bit, true, true, bsstFull},
  };
  std::printf("Form background 800 x 600 from a 300 x 220 form picture (median of %d, ms):\n", gRepeats);
  for (auto& c : cases) {
    gfx::TBitmap picture, image;
    FormPicture(picture, c.format);
    TbsNinePartStretch f;
    f.LeftStretch = f.TopStretch = f.RightStretch = f.BottomStretch = c.sidesStretched;
    f.StretchEffect = c.centreStretched;
    f.StretchType = c.type;
    TbsPictureRect src{&picture, {0, 0, 300, 220}};
    double ms = Median([&] { CreateSkinImage(kForm, FormAt(800, 600), &image, src, 800, 600, true, f); });
    std::printf("  %-56s %7.2f\n", c.what, ms);
  }
  // The repaint copies the image onto the window; the region follows a resize.
  gfx::TBitmap picture, image, window, mask;
  FormPicture(picture, gfx::pf24bit);
  CreateSkinImage(kForm, FormAt(800, 600), &image, TbsPictureRect{&picture, {0, 0, 300, 220}}, 800, 600, true, {});
  window.SetSize(800, 600);
  double copy = Median(
      [&] { gfx::BitBlt(window.Canvas()->Handle(), 0, 0, 800, 600, image.Canvas()->Handle(), 0, 0, gfx::SRCCOPY); });
  std::printf("  %-56s %7.2f\n", "copy of the 800 x 600 image onto the window", copy);
  FormMask(mask);
  TbsNinePart maskArea = kForm, maskNew = FormAt(800, 600);
  maskArea.ClRect = {4, 4, 296, 216};
  maskNew.ClRect = {4, 4, 796, 596};
  double region = Median([&] {
    gfx::HRGN r;
    CreateSkinRegion(r, maskArea, maskNew, &mask, 800, 600);
    gfx::DeleteObject(r);
  });
  std::printf("  %-56s %7.2f\n", "window region from the form mask at 800 x 600", region);
}

// A 120 x 30 button look: a gradient with a frame.
void ButtonLook(gfx::TBitmap& b, int base) {
  b.SetPixelFormat(gfx::pf24bit);
  b.SetSize(120, 30);
  for (int y = 0; y < 30; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < 120; ++x) {
      bool frame = x == 0 || y == 0 || x == 119 || y == 29;
      row[x * 3 + 0] = uint8_t(frame ? 40 : base + y * 2);
      row[x * 3 + 1] = uint8_t(frame ? 40 : base + y);
      row[x * 3 + 2] = uint8_t(frame ? 40 : 255 - base);
    }
  }
}

void MorphFigures() {
  gfx::TBitmap normal, hot, window;
  ButtonLook(normal, 180);
  ButtonLook(hot, 60);
  window.SetSize(120, 30);
  gfx::HDC dc = window.Canvas()->Handle();
  static const char* const kKinds[] = {"mkDefault",   "mkGradient",   "mkLeftGradient", "mkRightGradient",
                                       "mkLeftSlide", "mkRightSlide", "mkPush"};
  std::printf(
      "Five-step morph of a 120 x 30 button, each step made from the two looks and drawn (median of %d, "
      "microseconds for all five):\n",
      gRepeats);
  for (int kind = mkDefault; kind <= mkPush; ++kind) {
    double ms = Median([&] {
      // As a hovered button does it: both looks taken from its bitmaps each step.
      for (int step = 1; step <= 5; ++step) {
        std::unique_ptr<TbsEffectBmp> from(TbsEffectBmp::CreateFromhWnd(normal.Handle()));
        std::unique_ptr<TbsEffectBmp> to(TbsEffectBmp::CreateFromhWnd(hot.Handle()));
        from->MorphBy(TbsMorphKind(kind), to.get(), step * 0.2);
        from->Draw(dc, 0, 0);
      }
    });
    std::printf("  %-56s %7.0f\n", kKinds[kind], ms * 1000);
  }
}

void StoredSkinFigures() {
  auto list = MakeOwned<TbsCompressedSkinList>();
  if (LoadBuiltinSkins(*list) == 0) {
    std::printf("Stored skins: none built in\n");
    return;
  }
  auto store = MakeOwned<TbsSkinData>();
  std::printf("Loading a built-in stored skin into a skin store (median of %d, ms per load):\n", gRepeats);
  std::vector<double> all;
  for (int i = 0; i < list->Skins().Count(); ++i) {
    TbsSkinListItem* item = list->Skins().Items(i);
    double ms = Median([&] { store->LoadCompressedStoredSkin(&item->Skin()); });
    all.push_back(ms);
    std::printf("  %-56s %7.2f\n", item->CompressedFileName.c_str(), ms);
  }
  std::sort(all.begin(), all.end());
  std::printf("  %-56s %7.2f\n", "median over the skins", all[all.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) gRepeats = std::max(1, std::atoi(argv[1]));
  FormFigures();
  MorphFigures();
  StoredSkinFigures();
  return 0;
}
