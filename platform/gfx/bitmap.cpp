#include "platform/gfx/bitmap.h"

#include "platform/gfx/dc.h"
#include "platform/gfx/objects.h"

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace gfx {

namespace {

// Refuses absurd sizes (a lying file header must not exhaust memory).
constexpr uint64_t kMaxBitmapBytes = uint64_t(1) << 30;

int StrideOf(int w, int bpp) { return int(((int64_t(w) * bpp + 31) / 32) * 4); }

std::vector<uint32_t> DefaultPalette(int bpp) {
  std::vector<uint32_t> p;
  if (bpp == 1) return {0x000000, 0xFFFFFF};
  if (bpp == 4) {
    // The classic 16-colour palette.
    static const uint32_t vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                     0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return std::vector<uint32_t>(vga, vga + 16);
  }
  if (bpp == 8) {
    for (uint32_t i = 0; i < 256; ++i) p.push_back((i << 16) | (i << 8) | i);
  }
  return p;
}

HBITMAP NewBitmap(int w, int h, int bpp, bool bottomUp, std::vector<uint32_t> palette, bool zeroed = true) {
  if (w <= 0 || h <= 0) return HBITMAP();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return HBITMAP();
  int stride = StrideOf(w, bpp);
  if (uint64_t(stride) * uint64_t(h) > kMaxBitmapBytes) return HBITMAP();
  auto o = std::make_unique<detail::BitmapObj>();
  o->width = w;
  o->height = h;
  o->bpp = bpp;
  o->stride = stride;
  o->bottomUp = bottomUp;
  // Memory that is written in full at once is not filled first: of a large
  // picture, that would be a second pass over every byte.
  const size_t bytes = size_t(stride) * size_t(h);
  o->own = zeroed ? std::make_unique<uint8_t[]>(bytes) : std::make_unique_for_overwrite<uint8_t[]>(bytes);
  o->bits = o->own.get();
  if (bpp <= 8) {
    size_t n = size_t(1) << bpp;
    if (palette.empty()) palette = DefaultPalette(bpp);
    palette.resize(n, 0);
    o->palette = std::move(palette);
  }
  return HBITMAP(detail::Register(std::move(o)));
}

}  // namespace

HBITMAP CreateDib(int w, int h, int bpp, const std::vector<uint32_t>& palette) {
  return NewBitmap(w, h, bpp, false, palette);
}

HBITMAP CreateDibForOverwrite(int w, int h, int bpp, const std::vector<uint32_t>& palette) {
  return NewBitmap(w, h, bpp, false, palette, false);
}

HBITMAP CreateDibOver(int w, int h, int bpp, int stride, void* bits) {
  if (w <= 0 || h <= 0 || !bits || (bpp != 24 && bpp != 32) || stride < StrideOf(w, bpp)) return HBITMAP();
  auto o = std::make_unique<detail::BitmapObj>();
  o->width = w;
  o->height = h;
  o->bpp = bpp;
  o->stride = stride;
  o->bits = static_cast<uint8_t*>(bits);
  return HBITMAP(detail::Register(std::move(o)));
}

bool GetBitmapInfo(HBITMAP bmp, BitmapInfo& out) {
  auto* o = detail::GetBitmap(bmp);
  if (!o) return false;
  out.width = o->width;
  out.height = o->height;
  out.bpp = o->bpp;
  out.stride = o->stride;
  out.bottomUp = o->bottomUp;
  out.bits = o->bits;
  return true;
}

uint8_t* BitmapScanLine(HBITMAP bmp, int y) {
  auto* o = detail::GetBitmap(bmp);
  if (!o || y < 0 || y >= o->height) return nullptr;
  return o->Row(y);
}

std::vector<uint32_t> BitmapPalette(HBITMAP bmp) {
  auto* o = detail::GetBitmap(bmp);
  return o ? o->palette : std::vector<uint32_t>();
}

bool SetBitmapPalette(HBITMAP bmp, const std::vector<uint32_t>& palette) {
  auto* o = detail::GetBitmap(bmp);
  if (!o || o->bpp > 8) return false;
  size_t n = size_t(1) << o->bpp;
  o->palette = palette;
  o->palette.resize(n, 0);
  return true;
}

QImage BitmapImage(HBITMAP bmp, bool withAlpha) {
  auto* o = detail::GetBitmap(bmp);
  if (!o || o->bottomUp) return QImage();
  switch (o->bpp) {
    case 32:
      return QImage(o->bits, o->width, o->height, o->stride, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    case 24:
      return QImage(o->bits, o->width, o->height, o->stride, QImage::Format_BGR888);
    case 8:
    case 1: {
      QImage img(o->bits, o->width, o->height, o->stride, o->bpp == 8 ? QImage::Format_Indexed8 : QImage::Format_Mono);
      QList<QRgb> table;
      for (uint32_t q : o->palette) table.push_back(0xFF000000u | q);
      img.setColorTable(table);
      return img;
    }
    default:
      return QImage();
  }
}

QImage BitmapToImage(HBITMAP bmp) {
  auto* o = detail::GetBitmap(bmp);
  if (!o) return QImage();
  QImage img(o->width, o->height, QImage::Format_ARGB32);
  for (int y = 0; y < o->height; ++y) {
    auto* dst = reinterpret_cast<uint32_t*>(img.scanLine(y));
    const uint8_t* row = o->Row(y);
    if (o->bpp == 32) {
      std::memcpy(dst, row, size_t(o->width) * 4);
    } else {
      for (int x = 0; x < o->width; ++x) {
        COLORREF c = o->GetPixel(x, y);
        dst[x] = 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
      }
    }
  }
  return img;
}

TRect TakeDirtyRect(HBITMAP bmp) {
  auto* o = detail::GetBitmap(bmp);
  if (!o) return TRect();
  TRect r = o->dirty;
  o->dirty = TRect();
  return r;
}

void LockBitmap(HBITMAP bmp) {
  if (auto* o = detail::GetBitmap(bmp)) o->lock.lock();
}
void UnlockBitmap(HBITMAP bmp) {
  if (auto* o = detail::GetBitmap(bmp)) o->lock.unlock();
}
bool TryLockBitmap(HBITMAP bmp) {
  auto* o = detail::GetBitmap(bmp);
  return o && o->lock.try_lock();
}

// ---- Win32 calls -------------------------------------------------------------

static std::vector<uint32_t> PaletteFromInfo(const BITMAPINFO* info, int bpp) {
  std::vector<uint32_t> pal;
  if (bpp > 8) return pal;
  size_t n =
      info->bmiHeader.biClrUsed ? std::min<size_t>(info->bmiHeader.biClrUsed, size_t(1) << bpp) : size_t(1) << bpp;
  for (size_t i = 0; i < n; ++i) {
    const RGBQUAD& q = info->bmiColors[i];
    pal.push_back((uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue);
  }
  return pal;
}

HBITMAP win32api::CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, void*, DWORD) {
  if (bits) *bits = nullptr;
  if (!info) return HBITMAP();
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biHeight == INT32_MIN) return HBITMAP();  // no positive counterpart
  int bpp = h.biBitCount == 16 ? 32 : h.biBitCount;
  int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  HBITMAP b = NewBitmap(h.biWidth, height, bpp, h.biHeight > 0, PaletteFromInfo(info, bpp));
  if (auto* o = detail::GetBitmap(b); o && bits) *bits = o->bits;
  return b;
}

HBITMAP win32api::CreateCompatibleBitmap(HDC, int w, int h) { return NewBitmap(w, h, 32, false, {}); }

HBITMAP win32api::CreateBitmap(int w, int h, UINT, UINT bpp, const void* bits) {
  int b = bpp == 16 ? 32 : int(bpp);
  HBITMAP hb = NewBitmap(w, h, b, false, {});
  auto* o = detail::GetBitmap(hb);
  if (o && bits) {
    int srcStride = int(((int64_t(w) * b + 15) / 16) * 2);
    const uint8_t* src = static_cast<const uint8_t*>(bits);
    for (int y = 0; y < h; ++y)
      std::memcpy(o->Row(y), src + size_t(y) * srcStride, size_t(std::min(srcStride, o->stride)));
  }
  return hb;
}

int win32api::GetObject(HGDIOBJ obj, int size, void* out) {
  if (auto* b = static_cast<detail::BitmapObj*>(detail::Lookup(obj.v, GdiKind::Bitmap))) {
    BITMAP bm;
    bm.bmWidth = b->width;
    bm.bmHeight = b->height;
    bm.bmWidthBytes = b->stride;
    bm.bmBitsPixel = WORD(b->bpp);
    bm.bmBits = b->bits;
    if (size >= int(sizeof(DIBSECTION)) && out) {
      DIBSECTION ds;
      ds.dsBm = bm;
      ds.dsBmih.biWidth = b->width;
      ds.dsBmih.biHeight = b->bottomUp ? b->height : -b->height;
      ds.dsBmih.biBitCount = WORD(b->bpp);
      ds.dsBmih.biSizeImage = DWORD(b->stride) * DWORD(b->height);
      ds.dsBmih.biClrUsed = DWORD(b->palette.size());
      std::memcpy(out, &ds, sizeof ds);
      return int(sizeof ds);
    }
    if (size >= int(sizeof(BITMAP)) && out) {
      std::memcpy(out, &bm, sizeof bm);
      return int(sizeof bm);
    }
    return out ? 0 : int(sizeof(BITMAP));
  }
  if (auto* f = static_cast<detail::FontObj*>(detail::Lookup(obj.v, GdiKind::Font))) {
    if (!out) return int(sizeof(LOGFONT));
    if (size < int(sizeof(LOGFONT))) return 0;
    *static_cast<LOGFONT*>(out) = f->lf;
    return int(sizeof(LOGFONT));
  }
  return 0;
}

int win32api::GetDIBits(HDC, HBITMAP bmp, UINT start, UINT count, void* bits, BITMAPINFO* info, UINT) {
  auto* o = detail::GetBitmap(bmp);
  if (!o || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits) {
    h.biWidth = o->width;
    h.biHeight = o->height;
    h.biPlanes = 1;
    h.biBitCount = WORD(o->bpp);
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(o->stride) * DWORD(o->height);
    return o->height;
  }
  int bpp = h.biBitCount;
  if ((bpp != 24 && bpp != 32) || h.biWidth != o->width || h.biHeight == INT32_MIN) return 0;
  int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  bool topDown = h.biHeight < 0;
  int stride = StrideOf(o->width, bpp);
  auto* out = static_cast<uint8_t*>(bits);
  int copied = 0;
  // Bottom-up output counts scan lines from the bottom row, top-down output
  // from the top; row (s - start) of the buffer receives scan line s.
  // 64-bit bounds: a start past INT_MAX must not wrap into a row index.
  const int64_t end = std::min<int64_t>({int64_t(start) + count, o->height, rows});
  for (int64_t s = start; s < end; ++s) {
    int srcY = topDown ? int(s) : o->height - 1 - int(s);
    uint8_t* d = out + size_t(s - start) * size_t(stride);
    if (bpp == o->bpp && o->bpp >= 24) {
      std::memcpy(d, o->Row(srcY), size_t(o->width) * size_t(bpp / 8));
    } else {
      for (int x = 0; x < o->width; ++x) {
        COLORREF c = o->GetPixel(x, srcY);
        uint8_t* p = d + x * (bpp / 8);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
        if (bpp == 32) p[3] = 255;
      }
    }
    ++copied;
  }
  return copied;
}

int win32api::SetDIBits(HDC, HBITMAP bmp, UINT start, UINT count, const void* bits, const BITMAPINFO* info, UINT) {
  auto* o = detail::GetBitmap(bmp);
  if (!o || !info || !bits) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int bpp = h.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return 0;
  if (h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == INT32_MIN) return 0;
  int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  detail::BitmapObj view;
  view.width = h.biWidth;
  view.height = rows;
  view.bpp = bpp;
  view.stride = StrideOf(h.biWidth, bpp);
  view.bottomUp = h.biHeight > 0;
  view.bits = const_cast<uint8_t*>(static_cast<const uint8_t*>(bits));
  view.palette = PaletteFromInfo(info, bpp);
  int w = std::min(o->width, view.width);
  int copied = 0;
  const int64_t end = std::min<int64_t>({int64_t(start) + count, rows, o->height});
  for (int64_t s = start; s < end; ++s) {
    int srcY = rows - 1 - int(s);
    int dstY = o->height - 1 - int(s);
    if (bpp == o->bpp && bpp >= 24) {
      std::memcpy(o->Row(dstY), view.Row(srcY), size_t(w) * size_t(bpp / 8));
    } else {
      for (int x = 0; x < w; ++x) o->PutPixel(x, dstY, view.GetPixel(x, srcY));
    }
    ++copied;
  }
  o->MarkDirty(TRect(0, 0, o->width, o->height));
  return copied;
}

}  // namespace gfx
