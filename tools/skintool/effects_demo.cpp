// skintool demo-effects: pictures of the transitions, the filters and the
// glow and reflection texts, for a person to look at.
#include <QImage>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/text.h"
#include "platform/rtl/exceptions.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsGlowText.h"
#include "skin/draw/bsTextHelpers.h"
#include "tools/skintool/skintool.h"

using namespace skin;
namespace fs = std::filesystem;

namespace {

constexpr int kW = 120, kH = 30, kGap = 4;

// A button look: a vertical gradient between two colours, a darker frame,
// and a caption.
void ButtonLook(gfx::TBitmap& b, gfx::TColor top, gfx::TColor bottom, gfx::TColor frame, const std::string& text) {
  b.SetPixelFormat(gfx::pf24bit);
  b.SetSize(kW, kH);
  gfx::TCanvas* c = b.Canvas();
  for (int y = 0; y < kH; ++y) {
    auto mix = [&](int shift) {
      int a = (top >> shift) & 0xFF, z = (bottom >> shift) & 0xFF;
      return a + (z - a) * y / (kH - 1);
    };
    c->Pen()->SetColor(gfx::TColor(gfx::RGB(mix(0), mix(8), mix(16))));
    c->MoveTo(0, y);
    c->LineTo(kW, y);
  }
  c->Brush()->SetStyle(gfx::bsClear);
  c->Pen()->SetColor(frame);
  c->Rectangle(0, 0, kW, kH);
  c->Font()->SetName("DejaVu Sans");
  c->Font()->SetHeight(-13);
  c->Font()->SetColor(frame);
  TRect r{0, 0, kW, kH};
  gfx::DrawTextW(c->Handle(), std::string_view(text), -1, &r, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
}

// Stacks pictures in rows of `perRow`, kGap apart, on a light grey sheet.
QImage Sheet(const std::vector<QImage>& pictures, int perRow) {
  int w = pictures.front().width(), h = pictures.front().height();
  int rows = int(pictures.size() + size_t(perRow) - 1) / perRow;
  QImage out(kGap + perRow * (w + kGap), kGap + rows * (h + kGap), QImage::Format_RGB32);
  out.fill(qRgb(220, 220, 220));
  for (size_t i = 0; i < pictures.size(); ++i) {
    int x = kGap + int(i % size_t(perRow)) * (w + kGap), y = kGap + int(i / size_t(perRow)) * (h + kGap);
    for (int yy = 0; yy < h; ++yy)
      for (int xx = 0; xx < w; ++xx) out.setPixel(x + xx, y + yy, pictures[i].pixel(xx, yy));
  }
  return out;
}

QImage Picture(const TbsEffectBmp& e) {
  gfx::TBitmap b;
  b.SetSize(e.Width, e.Height);
  e.Draw(b.Canvas()->Handle(), 0, 0);
  return gfx::BitmapToImage(b.Handle());
}

// The window shows the colours; the alpha the blends leave behind is not part of the picture.
QImage Opaque(QImage img) {
  img = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) row[x] |= 0xFF000000u;
  }
  return img;
}

void Save(const QImage& img, const std::string& path) {
  if (!img.save(QString::fromStdString(path), "PNG")) throw rtl::Exception(path + ": cannot write the PNG");
  std::cout << path << " " << img.width() << "x" << img.height() << "\n";
}

// A dark sheet with text in the canvas font, for the glow and reflection.
struct TextSheet {
  TbsBitmap b;
  TextSheet(int w, int h) {
    b.SetSize(w, h);
    for (int i = 0; i < w * h; ++i) b.Bits()[i] = 0xFF202833;
    gfx::TCanvas* c = b.Canvas();
    c->Font()->SetName("DejaVu Sans");
    c->Font()->SetHeight(-20);
    c->Font()->SetStyle(gfx::TFontStyles{gfx::fsBold});
    c->Font()->SetColor(gfx::clWhite);
  }
};

}  // namespace

int skintool::DemoEffects(const std::string& folder) {
  gfx::EnsureGuiApplication();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) throw rtl::Exception(folder + ": cannot create the folder");
  std::string dir = (fs::path(folder) / "").string();

  gfx::TBitmap normal, hot;
  ButtonLook(normal, gfx::TColor(0xF0E8E0), gfx::TColor(0xC8B8A8), gfx::TColor(0x604830), "Convert");
  ButtonLook(hot, gfx::TColor(0x80D0FF), gfx::TColor(0x2080E0), gfx::TColor(0x003070), "Convert");
  std::unique_ptr<TbsEffectBmp> from(TbsEffectBmp::CreateFromhWnd(normal.Handle()));
  std::unique_ptr<TbsEffectBmp> to(TbsEffectBmp::CreateFromhWnd(hot.Handle()));

  // Each transition in five steps, one row per morph kind.
  std::vector<QImage> frames;
  for (int kind = mkDefault; kind <= mkPush; ++kind)
    for (int step = 0; step < 5; ++step) {
      TbsEffectBmp e(kW, kH);
      std::memcpy(e.Bits, from->Bits, size_t(from->Size));
      e.MorphBy(TbsMorphKind(kind), to.get(), step / 4.0);
      frames.push_back(Picture(e));
    }
  Save(Sheet(frames, 5), dir + "morph.png");

  // The filters of an inactive look: unchanged, brightness, darkness, grey,
  // noise, split blur, invert.
  std::vector<QImage> filtered;
  for (int f = 0; f < 7; ++f) {
    std::unique_ptr<TbsEffectBmp> e(TbsEffectBmp::CreateFromhWnd(hot.Handle()));
    if (f == 1) e->ChangeBrightness(0.5);
    if (f == 2) e->ChangeDarkness(0.5);
    if (f == 3) e->GrayScale();
    if (f == 4) e->AddMonoNoise(40);
    if (f == 5) e->SplitBlur(3);
    if (f == 6) e->Invert();
    filtered.push_back(Picture(*e));
  }
  Save(Sheet(filtered, 1), dir + "filters.png");

  // Glow: the caption glow, the denser wide glow and the link glow, each
  // around the text's own rectangle, as the captions and labels pass it.
  TextSheet glow(420, 170);
  gfx::TCanvas* c = glow.b.Canvas();
  const std::string caption = "VarnelMOD \xE6\xA0\xBC\xE5\xBC\x8F\xE8\xBD\xAC\xE6\x8D\xA2";  // 格式转换
  auto around = [&](const std::string& text, int x, int y) {
    return TRect{x, y, x + WideTextWidth(c, text), y + WideTextHeight(c, text)};
  };
  const TbsTextFormat line(gfx::DT_SINGLELINE);
  DrawGlowText2(c, around(caption, 24, 18), caption, line, TbsTextOffset(0), gfx::TColor(0xFFC040), TbsGlowSize(5));
  DrawVistaGlowText(c, around(caption, 24, 68), caption, line, gfx::TColor(0x3090FF));
  DrawGlowText(c, around("Link glow", 24, 122), "Link glow", line, TbsTextOffset(1), gfx::clLime, TbsGlowSize(3));
  Save(Opaque(gfx::BitmapToImage(glow.b.Handle())), dir + "glow.png");

  TextSheet reflection(420, 90);
  DrawReflectionText(reflection.b.Canvas(), TRect{20, 10, 400, 40}, caption,
                     TbsTextFormat(gfx::DT_SINGLELINE | gfx::DT_VCENTER), TbsTextOffset(1), gfx::clWhite);
  Save(Opaque(gfx::BitmapToImage(reflection.b.Handle())), dir + "reflection.png");
  return 0;
}
