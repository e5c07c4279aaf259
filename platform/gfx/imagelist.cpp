#include "platform/gfx/imagelist.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/raster_internal.h"

#include <algorithm>
#include <cstring>

namespace gfx {

namespace {
const std::vector<uint32_t> kEmpty;

uint32_t FromRef(COLORREF c, uint8_t a) {
  return (uint32_t(a) << 24) | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
}  // namespace

void ImageList::SetSize(int w, int h) {
  if (w == width_ && h == height_) return;
  width_ = std::max(1, w);
  height_ = std::max(1, h);
  images_.clear();
}

std::vector<std::vector<uint32_t>> ImageList::SplitBitmap(TBitmap* image, TBitmap* mask, bool useKey,
                                                          COLORREF key) const {
  std::vector<std::vector<uint32_t>> out;
  if (!image || image->Empty() || width_ <= 0 || height_ <= 0) return out;
  auto* src = detail::GetBitmap(image->Handle());
  auto* msk = mask && !mask->Empty() ? detail::GetBitmap(mask->Handle()) : nullptr;
  if (!src) return out;
  int n = std::max(1, src->width / width_);
  // A 32-bit strip without mask or key holds its pixels as the list keeps
  // them (B, G, R, A in memory): rows are copied, not read pixel by pixel.
  const bool plain = src->bpp == 32 && !msk && !useKey;
  for (int i = 0; i < n; ++i) {
    std::vector<uint32_t> px(size_t(width_) * size_t(height_), 0);
    if (plain) {
      const int x0 = i * width_, cols = std::min(width_, src->width - x0);
      for (int y = 0; y < height_ && y < src->height && cols > 0; ++y)
        std::memcpy(&px[size_t(y) * width_], src->Row(y) + size_t(x0) * 4, size_t(cols) * 4);
      out.push_back(std::move(px));
      continue;
    }
    for (int y = 0; y < height_ && y < src->height; ++y)
      for (int x = 0; x < width_; ++x) {
        int sx = i * width_ + x;
        if (sx >= src->width) continue;
        COLORREF c = src->GetPixel(sx, y);
        bool transparent = false;
        if (msk) transparent = msk->GetPixel(sx, y) == RGB(255, 255, 255);
        if (useKey) transparent = c == key;
        uint8_t a = 255;
        if (src->bpp == 32 && !msk && !useKey) a = src->Row(y)[sx * 4 + 3];
        px[size_t(y) * width_ + x] = transparent ? 0 : FromRef(c, a);
      }
    out.push_back(std::move(px));
  }
  // 32-bit images with no alpha at all are opaque.
  if (src->bpp == 32 && !msk && !useKey) {
    bool anyAlpha = false;
    for (auto& im : out)
      for (uint32_t p : im) anyAlpha |= (p >> 24) != 0;
    if (!anyAlpha)
      for (auto& im : out)
        for (uint32_t& p : im) p |= 0xFF000000u;
  }
  return out;
}

int ImageList::Add(TBitmap* image, TBitmap* mask) {
  auto imgs = SplitBitmap(image, mask, false, 0);
  if (imgs.empty()) return -1;
  int first = Count();
  for (auto& im : imgs) images_.push_back(std::move(im));
  return first;
}

int ImageList::AddMasked(TBitmap* image, TColor key) {
  if (!image || image->Empty()) return -1;
  COLORREF k = key == clDefault ? COLORREF(uint32_t(image->TransparentColor()) & 0xFFFFFF) : ColorToRef(key);
  auto imgs = SplitBitmap(image, nullptr, key != clNone, k);
  if (imgs.empty()) return -1;
  int first = Count();
  for (auto& im : imgs) images_.push_back(std::move(im));
  return first;
}

int ImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  auto* ic = detail::GetIcon(icon->Handle());
  if (!ic) return -1;
  std::vector<uint32_t> px(size_t(width_) * size_t(height_), 0);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      int sx = int(int64_t(x) * ic->width / width_), sy = int(int64_t(y) * ic->height / height_);
      px[size_t(y) * width_ + x] = ic->argb[size_t(sy) * ic->width + sx];
    }
  images_.push_back(std::move(px));
  return Count() - 1;
}

void ImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index >= Count()) return;
  auto imgs = SplitBitmap(image, mask, false, 0);
  if (!imgs.empty()) images_[size_t(index)] = std::move(imgs[0]);
}

void ImageList::Delete(int index) {
  if (index == -1) {
    images_.clear();
  } else if (index >= 0 && index < Count()) {
    images_.erase(images_.begin() + index);
  }
}

void ImageList::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
  auto im = std::move(images_[size_t(from)]);
  images_.erase(images_.begin() + from);
  images_.insert(images_.begin() + to, std::move(im));
}

const std::vector<uint32_t>& ImageList::Pixels(int index) const {
  if (index < 0 || index >= Count()) return kEmpty;
  return images_[size_t(index)];
}

void ImageList::DrawDC(HDC dc, int x, int y, int index, bool enabled, UINT style) const {
  if (index < 0 || index >= Count()) return;
  detail::DrawTarget t = detail::Target(dc);
  if (!t.ok()) return;
  const auto& px = images_[size_t(index)];
  detail::Clipper clip(t.clip);
  int ox = x + t.dx, oy = y + t.dy;
  if (bkColor_ != clNone && !(style & ILD_TRANSPARENT)) {
    detail::FillSpanRect(t, QRect(ox, oy, width_, height_), ColorToRef(bkColor_), 13);
  }
  if (!enabled) {
    // The classic greyed look: the mask embossed.
    COLORREF hi = ColorToRef(clBtnHighlight), sh = ColorToRef(clBtnShadow);
    for (int pass = 0; pass < 2; ++pass) {
      int d = pass == 0 ? 1 : 0;
      COLORREF c = pass == 0 ? hi : sh;
      for (int yy = 0; yy < height_; ++yy)
        for (int xx = 0; xx < width_; ++xx)
          if ((px[size_t(yy) * width_ + xx] >> 24) >= 128 && clip.In(ox + xx + d, oy + yy + d))
            t.bmp->PutPixel(ox + xx + d, oy + yy + d, c);
    }
  } else {
    for (int yy = 0; yy < height_; ++yy)
      for (int xx = 0; xx < width_; ++xx) {
        uint32_t s = px[size_t(yy) * width_ + xx];
        int a = int(s >> 24);
        if (style & ILD_MASK) {
          if (clip.In(ox + xx, oy + yy)) t.bmp->PutPixel(ox + xx, oy + yy, a >= 128 ? 0 : 0xFFFFFF);
          continue;
        }
        if (a == 0 || !clip.In(ox + xx, oy + yy)) continue;
        COLORREF src = RGB((s >> 16) & 0xFF, (s >> 8) & 0xFF, s & 0xFF);
        if (a == 255) {
          t.bmp->PutPixel(ox + xx, oy + yy, src);
        } else {
          COLORREF d = t.bmp->GetPixel(ox + xx, oy + yy);
          auto mix = [a](int sv, int dv) { return (sv * a + dv * (255 - a) + 127) / 255; };
          t.bmp->PutPixel(ox + xx, oy + yy,
                          RGB(mix(GetRValue(src), GetRValue(d)), mix(GetGValue(src), GetGValue(d)),
                              mix(GetBValue(src), GetBValue(d))));
        }
      }
  }
  t.bmp->MarkDirty(TRect{ox, oy, ox + width_ + 1, oy + height_ + 1});
}

void ImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
  if (!canvas) return;
  if (HDC dc = canvas->Handle()) DrawDC(dc, x, y, index, enabled);
}

void ImageList::GetBitmap(int index, TBitmap* out) const {
  if (!out || index < 0 || index >= Count()) return;
  out->SetPixelFormat(pf32bit);
  out->SetSize(width_, height_);
  TCanvas* c = out->Canvas();
  c->Brush()->SetColor(bkColor_ == clNone ? clBtnFace : bkColor_);
  c->FillRect(TRect{0, 0, width_, height_});
  DrawDC(c->Handle(), 0, 0, index, true, ILD_TRANSPARENT);
}

void ImageList::GetIcon(int index, TIcon* out) const {
  if (!out || index < 0 || index >= Count()) return;
  out->SetHandle(CreateIconFromArgb(width_, height_, images_[size_t(index)].data()));
}

BOOL win32api::ImageList_DrawEx(HIMAGELIST il, int index, HDC dc, int x, int y, int w, int h, COLORREF bk, COLORREF,
                                UINT style) {
  if (!il || index < 0 || index >= il->Count()) return 0;
  if (bk != CLR_NONE && bk != CLR_DEFAULT && !(style & ILD_TRANSPARENT)) {
    detail::DrawTarget t = detail::Target(dc);
    int cw = w > 0 ? w : il->Width(), ch = h > 0 ? h : il->Height();
    detail::FillSpanRect(t, QRect(x + t.dx, y + t.dy, cw, ch), bk & 0xFFFFFF, 13);
  }
  UINT st = style;
  if (bk == CLR_NONE) st |= ILD_TRANSPARENT;
  il->DrawDC(dc, x, y, index, true, st);
  return 1;
}

BOOL win32api::ImageList_Draw(HIMAGELIST il, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(il, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

COLORREF win32api::ImageList_SetBkColor(HIMAGELIST il, COLORREF bk) {
  if (!il) return CLR_NONE;
  TColor old = il->BkColor();
  il->SetBkColor(bk == CLR_NONE ? clNone : TColor(bk & 0xFFFFFF));
  return old == clNone ? CLR_NONE : ColorToRef(old);
}

int win32api::ImageList_GetImageCount(HIMAGELIST il) { return il ? il->Count() : 0; }

}  // namespace gfx
