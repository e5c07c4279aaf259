#include "skin/draw/bsEffectBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"

namespace skin {

namespace {

// Nearest integer, ties to the even neighbour (the default rounding mode).
int Nearest(double v) { return int(std::lrint(v)); }

uint8_t Clamp(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// c := Nearest(t * c + (1 - t) * target), per channel.
void BlendPixel(uint8_t* c, const uint8_t* target, double t) {
  for (int k = 0; k < 3; ++k) c[k] = Clamp(Nearest(t * c[k] + (1 - t) * target[k]));
}

std::minstd_rand& NoiseSource() {
  static std::minstd_rand source(std::random_device{}());
  return source;
}

}  // namespace

TbsEffectBmp::TbsEffectBmp(int cx, int cy) {
  BmpHeader = gfx::BITMAPINFOHEADER{};
  BmpHeader.biSize = 40;
  BmpHeader.biWidth = cx;
  BmpHeader.biHeight = -cy;
  BmpHeader.biPlanes = 1;
  BmpHeader.biBitCount = 24;
  BmpHeader.biCompression = gfx::BI_RGB;
  BmpInfo = gfx::BITMAPINFO{};
  BmpInfo.bmiHeader = BmpHeader;
  if (cx <= 0 || cy <= 0) return;
  void* bits = nullptr;
  Handle = gfx::CreateDIBSection(gfx::HDC(), &BmpInfo, gfx::DIB_RGB_COLORS, &bits);
  if (!bits) {
    if (Handle) gfx::DeleteObject(Handle);
    Handle = gfx::HBITMAP();
    return;
  }
  Width = cx;
  Height = cy;
  Bits = static_cast<uint8_t*>(bits);
  Size = RowInc() * Height;
}

TbsEffectBmp* TbsEffectBmp::CreateFromhWnd(gfx::HBITMAP hBmp) {
  gfx::HDC display = gfx::CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  gfx::BITMAP bm;
  if (!gfx::GetObject(hBmp, sizeof(bm), &bm)) bm = gfx::BITMAP{};
  auto* e = new TbsEffectBmp(bm.bmWidth, bm.bmHeight);
  if (e->Bits) gfx::GetDIBits(display, hBmp, 0, gfx::UINT(e->Height), e->Bits, &e->BmpInfo, gfx::DIB_RGB_COLORS);
  if (display) gfx::DeleteDC(display);
  return e;
}

TbsEffectBmp::~TbsEffectBmp() {
  if (Handle) gfx::DeleteObject(Handle);
}

void TbsEffectBmp::GetScanLine(int y, uint8_t* Line) const { std::memcpy(Line, ScanLine(y), size_t(Width) * 3); }
void TbsEffectBmp::SetScanLine(int y, const uint8_t* Line) { std::memcpy(ScanLine(y), Line, size_t(Width) * 3); }

uint32_t TbsEffectBmp::GetPixel(int x, int y) const {
  const uint8_t* p = Pixel(x, y);
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
}

void TbsEffectBmp::SetPixel(int x, int y, uint32_t Value) {
  uint8_t* p = Pixel(x, y);
  p[0] = uint8_t(Value);
  p[1] = uint8_t(Value >> 8);
  p[2] = uint8_t(Value >> 16);
}

void TbsEffectBmp::Draw(gfx::HDC DC, int x, int y) const {
  if (!Bits) return;
  gfx::SetDIBitsToDevice(DC, x, y, gfx::DWORD(Width), gfx::DWORD(Height), 0, 0, 0, gfx::UINT(Height), Bits, &BmpInfo,
                         gfx::DIB_RGB_COLORS);
}

void TbsEffectBmp::Morph(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  Kf = std::clamp(Kf, 0.0, 1.0);
  for (int y = 0; y < Height; ++y) {
    uint8_t* a = ScanLine(y);
    const uint8_t* b = BMP->ScanLine(y);
    for (int i = 0; i < Width * 3; ++i) a[i] = Clamp(Nearest((1 - Kf) * a[i] + Kf * b[i]));
  }
}

void TbsEffectBmp::MorphHGrad(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  int b = Nearest(Width * Kf);
  int g = (Width - b) / 2;
  double s = g == 0 ? 1.0 : 1.0 / g;
  int h = std::max(0, Width / 2 - b / 2), e = std::min(Width - 1, Width / 2 + b / 2);
  for (int y = 0; y < Height; ++y) {
    if (e >= h) std::memcpy(Pixel(h, y), BMP->Pixel(h, y), size_t(e - h + 1) * 3);
    double t = 0;
    for (int x = h; x >= 0; --x) {
      BlendPixel(Pixel(x, y), BMP->Pixel(x, y), t);
      t = std::min(1.0, t + s);
    }
    t = 0;
    for (int x = e; x < Width; ++x) {
      BlendPixel(Pixel(x, y), BMP->Pixel(x, y), t);
      t = std::min(1.0, t + s);
    }
  }
}

void TbsEffectBmp::MorphVGrad(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  int b = Nearest(Height * Kf);
  int g = (Height - 1 - b) / 2;
  double s = g == 0 ? 0.0 : 1.0 / g;
  int n = std::max(0, Height / 2 - b / 2), e = std::min(Height - 1, Height / 2 + b / 2);
  for (int y = n; y <= e; ++y) std::memcpy(ScanLine(y), BMP->ScanLine(y), size_t(Width) * 3);
  auto pass = [&](int from, int step) {
    double t = 0;
    for (int y = from; y >= 0 && y < Height; y += step) {
      for (int x = 0; x < Width; ++x) BlendPixel(Pixel(x, y), BMP->Pixel(x, y), t);
      t = std::min(1.0, t + s);
    }
  };
  pass(n, -1);
  pass(e, 1);
}

void TbsEffectBmp::MorphGrad(const TbsEffectBmp* BMP, double Kf) {
  if (Width < Height)
    MorphVGrad(BMP, Kf);
  else
    MorphHGrad(BMP, Kf);
}

void TbsEffectBmp::MorphLeftGrad(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  int b = Nearest(Width * Kf);
  if (b < 1) b = 1;
  if (b > Width - 1) b = Width - 1;
  double s = b <= 0 ? 1.0 : 1.0 / b;
  for (int y = 0; y < Height; ++y) {
    double t = 0;
    for (int x = 0; x <= b && x < Width; ++x) {
      BlendPixel(Pixel(x, y), BMP->Pixel(x, y), t);
      t = std::min(1.0, t + s);
    }
  }
}

void TbsEffectBmp::MorphRightGrad(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  int c0 = std::clamp(Width - Nearest(Width * Kf), 0, Width - 1);
  double s = Width - c0 <= 0 ? 1.0 : 1.0 / (Width - c0);
  for (int y = 0; y < Height; ++y) {
    double t = 0;
    for (int x = Width - 1; x >= c0; --x) {
      BlendPixel(Pixel(x, y), BMP->Pixel(x, y), t);
      t = std::min(1.0, t + s);
    }
  }
}

void TbsEffectBmp::MorphLeftSlide(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  int b = std::min(std::max(Nearest(Width * Kf), 1), Width - 1);
  if (b <= 0) return;
  for (int y = 0; y < Height; ++y) std::memcpy(Pixel(0, y), BMP->Pixel(Width - b, y), size_t(b) * 3);
}

void TbsEffectBmp::MorphRightSlide(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  int b = std::min(std::max(Nearest(Width * Kf), 1), Width - 1);
  if (b <= 0) return;
  for (int y = 0; y < Height; ++y) std::memcpy(Pixel(Width - b, y), BMP->Pixel(0, y), size_t(b) * 3);
}

void TbsEffectBmp::MorphPush(const TbsEffectBmp* BMP, double Kf) {
  if (!SameSize(BMP)) return;
  int b = std::clamp(Nearest(Width * Kf), 0, Width - 1);
  for (int y = 0; y < Height; ++y) {
    for (int j = Width - 1; j >= b; --j) std::memcpy(Pixel(j, y), Pixel(std::max(0, j - b - 1), y), 3);
    std::memcpy(Pixel(0, y), BMP->Pixel(Width - b - 1, y), size_t(b + 1) * 3);
  }
}

void TbsEffectBmp::MorphBy(TbsMorphKind Kind, const TbsEffectBmp* BMP, double Kf) {
  switch (Kind) {
    case mkDefault:
      Morph(BMP, Kf);
      break;
    case mkGradient:
      MorphGrad(BMP, Kf);
      break;
    case mkLeftGradient:
      MorphLeftGrad(BMP, Kf);
      break;
    case mkRightGradient:
      MorphRightGrad(BMP, Kf);
      break;
    case mkLeftSlide:
      MorphLeftSlide(BMP, Kf);
      break;
    case mkRightSlide:
      MorphRightSlide(BMP, Kf);
      break;
    case mkPush:
      MorphPush(BMP, Kf);
      break;
  }
}

void TbsEffectBmp::ChangeBrightness(double Kf) {
  Kf = std::clamp(Kf, 0.0, 1.0);
  for (int y = 0; y < Height; ++y) {
    uint8_t* p = ScanLine(y);
    for (int i = 0; i < Width * 3; ++i) p[i] = Clamp(Nearest((1 - Kf) * p[i] + 255 * Kf));
  }
}

void TbsEffectBmp::ChangeDarkness(double Kf) {
  Kf = std::clamp(Kf, 0.0, 1.0);
  for (int y = 0; y < Height; ++y) {
    uint8_t* p = ScanLine(y);
    for (int i = 0; i < Width * 3; ++i) p[i] = Clamp(Nearest((1 - Kf) * p[i]));
  }
}

void TbsEffectBmp::GrayScale() {
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      uint8_t* p = Pixel(x, y);
      uint8_t g = Clamp(Nearest(0.3 * p[2] + 0.59 * p[1] + 0.11 * p[0]));
      p[0] = p[1] = p[2] = g;
    }
  }
}

void TbsEffectBmp::ApplyInActiveEffect(TbsInActiveEffect Effect) {
  switch (Effect) {
    case ieBrightness:
      ChangeBrightness(0.5);
      break;
    case ieDarkness:
      ChangeDarkness(0.3);
      break;
    case ieGrayScale:
      GrayScale();
      break;
    case ieNoise:
      AddMonoNoise(50);
      break;
    case ieSplitBlur:
      SplitBlur(1);
      break;
    case ieInvert:
      Invert();
      break;
  }
}

void TbsEffectBmp::Invert() {
  for (int y = 0; y < Height; ++y) {
    uint8_t* p = ScanLine(y);
    for (int i = 0; i < Width * 3; ++i) p[i] = uint8_t(255 - p[i]);
  }
}

void TbsEffectBmp::SplitBlur(int Amount) {
  if (Amount == 0) return;
  for (int y = 0; y < Height; ++y) {
    // Samples stay inside the picture: before the first row or column the
    // pixel's own is taken, past the last the last one.
    int u = y - Amount < 0 ? y : std::min(y - Amount, Height - 1);
    int d = std::clamp(y + Amount, 0, Height - 1);
    for (int x = 0; x < Width; ++x) {
      int l = x - Amount < 0 ? x : std::min(x - Amount, Width - 1);
      int r = std::clamp(x + Amount, 0, Width - 1);
      uint8_t* p = Pixel(x, y);
      const uint8_t *a = Pixel(l, u), *b = Pixel(l, d), *c = Pixel(r, u), *e = Pixel(r, d);
      for (int k = 0; k < 3; ++k) p[k] = uint8_t((a[k] + b[k] + c[k] + e[k]) >> 2);
    }
  }
}

void TbsEffectBmp::AddMonoNoise(int Amount) {
  if (Amount <= 0) return;
  std::uniform_int_distribution<int> dist(0, Amount - 1);
  auto& source = NoiseSource();
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      int n = dist(source) - Amount / 2;
      uint8_t* p = Pixel(x, y);
      for (int k = 0; k < 3; ++k) p[k] = Clamp(p[k] + n);
    }
  }
}

void TbsEffectBmp::Rotate90_1(TbsEffectBmp* Dst) const {
  if (!Dst || Dst->Width != Height || Dst->Height != Width) return;
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) std::memcpy(Dst->Pixel(y, Width - 1 - x), Pixel(x, y), 3);
}

void TbsEffectBmp::Rotate90_2(TbsEffectBmp* Dst) const {
  if (!Dst || Dst->Width != Height || Dst->Height != Width) return;
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) std::memcpy(Dst->Pixel(Height - 1 - y, x), Pixel(x, y), 3);
}

void TbsEffectBmp::FlipVert(TbsEffectBmp* Dst) const {
  if (!Dst || Dst->Width != Width || Dst->Height != Height) return;
  for (int y = 0; y < Height; ++y) std::memcpy(Dst->ScanLine(Height - 1 - y), ScanLine(y), size_t(Width) * 3);
}

}  // namespace skin
