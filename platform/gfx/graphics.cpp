#include "platform/gfx/graphics.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/bmp.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/raster_internal.h"
#include "platform/rtl/exceptions.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <optional>

#include "platform/rtl/resources.h"

namespace gfx {

namespace {

int BppOf(TPixelFormat pf) {
  switch (pf) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

TPixelFormat FormatOf(int bpp) {
  switch (bpp) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 24:
      return pf24bit;
    default:
      return pf32bit;
  }
}

// Runs `fn` with a memory DC that has `bmp` selected.
void WithDC(HBITMAP bmp, const std::function<void(HDC)>& fn) {
  HDC dc = CreateCompatibleDC(HDC());
  HBITMAP old = SelectObject(dc, bmp);
  fn(dc);
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string ExtOf(const std::string& fileName) {
  size_t slash = fileName.find_last_of('/');
  size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return Lower(fileName.substr(dot));
}

}  // namespace

// The canvas of a bitmap: makes its memory DC on first use.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* owner) : owner_(owner) {}
  ~TBitmapCanvas() override { Free(); }
  void Free() {
    if (!handle_) return;
    HDC dc = handle_;
    SetHandle(HDC());
    if (old_) SelectObject(dc, old_);
    old_ = HBITMAP();
    DeleteDC(dc);
  }

 protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(HDC());
    if (owner_->handle_) old_ = SelectObject(dc, owner_->handle_);
    SetHandle(dc);
  }

 private:
  TBitmap* owner_;
  HBITMAP old_;
};

// ---- TGraphic -------------------------------------------------------------------

void TGraphic::SetTransparent(bool t) {
  if (t == transparent_) return;
  transparent_ = t;
  Changed();
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  rtl::TFileStream s(fileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(s);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  rtl::TFileStream s(fileName, rtl::fmCreate);
  SaveToStream(s);
}

// ---- TBitmap --------------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();
  if (handle_) DeleteObject(handle_);
}

void TBitmap::Modified() { original_.clear(); }

void TBitmap::FreeCanvasDC() {
  if (canvas_) canvas_->Free();
}

void TBitmap::Adopt(HBITMAP h) {
  FreeCanvasDC();
  if (handle_ && !(handle_ == h)) DeleteObject(handle_);
  handle_ = h;
  BitmapInfo bi;
  if (h && GetBitmapInfo(h, bi)) {
    width_ = bi.width;
    height_ = bi.height;
    format_ = FormatOf(bi.bpp);
  } else {
    handle_ = HBITMAP();
    width_ = height_ = 0;
  }
}

HBITMAP TBitmap::Handle() { return handle_; }

void TBitmap::SetHandle(HBITMAP h) {
  Modified();
  Adopt(h);
  Changed();
}

void TBitmap::WrapDib(rtl::Dib& dib) {
  Modified();
  HBITMAP h = dib.Empty() ? HBITMAP() : CreateDibOver(dib.Width(), dib.Height(), dib.Bpp(), dib.Stride(), dib.Bits());
  Adopt(h);
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeCanvasDC();
  HBITMAP h = handle_;
  handle_ = HBITMAP();
  width_ = height_ = 0;
  Modified();
  return h;
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
  return canvas_.get();
}

uint8_t* TBitmap::ScanLine(int y) {
  Modified();
  if (!handle_ || y < 0 || y >= height_) return nullptr;
  return BitmapScanLine(handle_, y);
}

std::vector<uint32_t> TBitmap::Palette() const { return handle_ ? BitmapPalette(handle_) : std::vector<uint32_t>(); }

void TBitmap::SetPalette(const std::vector<uint32_t>& pal) {
  Modified();
  if (handle_) SetBitmapPalette(handle_, pal);
  Changed();
}

void TBitmap::SetSize(int w, int h) {
  if (w == width_ && h == height_) return;
  Modified();
  if (w <= 0 || h <= 0) {
    FreeCanvasDC();
    if (handle_) DeleteObject(handle_);
    handle_ = HBITMAP();
    width_ = w < 0 ? 0 : w;
    height_ = h < 0 ? 0 : h;
    Changed();
    return;
  }
  int bpp = BppOf(format_);
  std::vector<uint32_t> pal = handle_ ? BitmapPalette(handle_) : std::vector<uint32_t>();
  HBITMAP nb = CreateDib(w, h, bpp, pal);
  if (!nb) throw rtl::EOutOfMemory("Out of system resources");
  // New pixels take the canvas brush colour (white without a canvas), as
  // the class library fills a resized bitmap.
  TColor fill = canvas_ ? canvas_->Brush()->Color() : clWhite;
  WithDC(nb, [&](HDC dc) {
    HBRUSH b = CreateSolidBrush(ColorToRef(fill));
    RECT r{0, 0, w, h};
    FillRect(dc, &r, b);
    DeleteObject(b);
  });
  if (handle_) {
    BitmapInfo src, dst;
    GetBitmapInfo(handle_, src);
    GetBitmapInfo(nb, dst);
    int cw = std::min(src.width, w), ch = std::min(src.height, h);
    for (int y = 0; y < ch; ++y) {
      uint8_t* d = BitmapScanLine(nb, y);
      const uint8_t* s = BitmapScanLine(handle_, y);
      if (bpp >= 8) {
        std::memcpy(d, s, size_t(cw) * size_t(bpp / 8));
      } else {
        for (int x = 0; x < cw; ++x) {
          int v = bpp == 4 ? ((s[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF) : ((s[x >> 3] >> (7 - (x & 7))) & 1);
          if (bpp == 4)
            d[x >> 1] = uint8_t((d[x >> 1] & ((x & 1) ? 0xF0 : 0x0F)) | (v << ((x & 1) ? 0 : 4)));
          else
            d[x >> 3] = uint8_t((d[x >> 3] & ~(0x80 >> (x & 7))) | (v ? (0x80 >> (x & 7)) : 0));
        }
      }
    }
  }
  TPixelFormat keep = format_;
  Adopt(nb);
  format_ = keep == pfDevice ? pfDevice : format_;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
  if (pf == format_) return;
  Modified();
  if (!handle_) {
    format_ = pf;
    return;
  }
  int bpp = BppOf(pf);
  BitmapInfo src;
  GetBitmapInfo(handle_, src);
  if (bpp == src.bpp) {
    format_ = pf;
    return;
  }
  HBITMAP nb = CreateDib(width_, height_, bpp);
  if (!nb) throw rtl::EOutOfMemory("Out of system resources");
  auto* so = detail::GetBitmap(handle_);
  auto* dobj = detail::GetBitmap(nb);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) dobj->PutPixel(x, y, so->GetPixel(x, y));
  Adopt(nb);
  format_ = pf;
  Changed();
}

TColor TBitmap::TransparentColor() {
  TColor c;
  if (transparentColor_ == clDefault) {
    if (Monochrome()) {
      c = clWhite;
    } else if (handle_) {
      auto* o = detail::GetBitmap(handle_);
      COLORREF p = o->GetPixel(0, height_ - 1);
      c = TColor(p == CLR_INVALID ? 0 : p);
    } else {
      c = clBlack;
    }
  } else {
    c = ColorToRGB(transparentColor_);
  }
  return TColor(uint32_t(c) | 0x02000000u);
}

void TBitmap::SetTransparentColor(TColor c) {
  if (c == transparentColor_) return;
  transparentColor_ = c;
  transparentMode_ = c == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode m) {
  if (m == transparentMode_) return;
  if (m == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TColor(uint32_t(TransparentColor()) & 0xFFFFFF));
}

void TBitmap::LoadFromBytes(const uint8_t* data, size_t size) {
  const bmp::Layout l = bmp::ReadLayout(data, size, size);
  // Every byte of every row is decoded into place: no zero-fill first, no
  // decoded copy in between.
  HBITMAP nb = CreateDibForOverwrite(l.width, l.height, l.bpp, l.palette);
  if (!nb) throw rtl::EInvalidGraphic("Invalid bitmap: image too large");
  try {
    bmp::DecodePixels(data, size, l, detail::GetBitmap(nb)->bits);
  } catch (...) {
    DeleteObject(nb);
    throw;
  }
  Adopt(nb);
  // The file bytes are kept only where writing the pixels back would not
  // give them again; otherwise they would be a second copy of every picture.
  if (l.encodesAlike && size == l.fileLength)
    original_ = std::vector<uint8_t>();
  else
    original_.assign(data, data + size);
  originalChanges_ = detail::GetBitmap(nb)->changes;
  Changed();
}

namespace {
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Appends bytes read from `s` to `buf` until it holds `upTo`, in steps, so
// that a length the stream does not hold costs no more memory than it does.
void ReadUpTo(rtl::TStream& s, std::vector<uint8_t>& buf, size_t upTo) {
  while (buf.size() < upTo) {
    const size_t at = buf.size(), n = std::min<size_t>(upTo - at, size_t(1) << 20);
    buf.resize(at + n);
    s.ReadBuffer(buf.data() + at, int64_t(n));
  }
}
}  // namespace

void TBitmap::LoadFromStream(rtl::TStream& s) {
  uint8_t fh[14];
  int64_t start = s.Position();
  s.ReadBuffer(fh, 14);
  if (fh[0] != 'B' || fh[1] != 'M') throw rtl::EInvalidGraphic("Bitmap image is not valid");
  uint32_t bfSize = Le32(fh + 2);
  // From memory (a skin's inflated payload) the image is decoded where it
  // lies, without a copy of its bytes.
  if (auto* m = dynamic_cast<rtl::TCustomMemoryStream*>(&s); m && start >= 0 && start <= m->Size()) {
    const uint8_t* base = static_cast<const uint8_t*>(m->Memory()) + start;
    const size_t avail = size_t(m->Size() - start);
    size_t len = bfSize;
    if (bfSize != 0) {
      if (bfSize < 14 + 12) throw rtl::EInvalidGraphic("Bitmap image is not valid");
      if (len > avail) throw rtl::EReadError("Stream read error");
    } else {
      len = bmp::FileLength(base, avail);
      if (len > avail) throw rtl::EReadError("Stream read error");
    }
    LoadFromBytes(base, len);
    s.SetPosition(start + int64_t(len));
    return;
  }
  // Any other stream (a file, a skin's payload as it inflates) is read in
  // order, without asking its size: first the headers, which tell the length.
  std::vector<uint8_t> buf(fh, fh + 14);
  if (bfSize == 0) {
    ReadUpTo(s, buf, 14 + 4);
    const uint32_t headerSize = Le32(&buf[14]);
    if (headerSize > 124) throw rtl::EInvalidGraphic("Invalid bitmap: unknown header size");
    // Exactly the bytes the length depends on, so that nothing of what
    // follows the image is taken: the header (of a V2 header, the room of a
    // V3 one), and after an INFO header the bit-field masks it announces.
    ReadUpTo(s, buf, 14 + std::max<size_t>(headerSize, headerSize >= 52 ? 56 : 0));
    if (headerSize == 40) {
      const uint32_t compression = Le32(&buf[30]);
      ReadUpTo(s, buf, buf.size() + (compression == 3 ? 12 : compression == 6 ? 16 : 0));
    }
    bfSize = uint32_t(bmp::FileLength(buf.data(), buf.size()));
    if (bfSize < buf.size()) {
      // Fewer bytes than the headers read so far: the image ends inside them.
      buf.resize(bfSize);
    }
  } else if (bfSize < 14 + 12) {
    throw rtl::EInvalidGraphic("Bitmap image is not valid");
  }
  const uint32_t off = Le32(fh + 10);
  if (off >= 14 + 12 && off <= bfSize && buf.size() <= off) {
    ReadUpTo(s, buf, off);
    std::optional<bmp::Layout> l;
    try {
      l = bmp::ReadLayout(buf.data(), buf.size(), bfSize);
    } catch (const rtl::EInvalidGraphic&) {
      // Decided on the whole image below, with the same result.
    }
    if (l && l->encodesAlike) {
      // Plain rows as they would be written back: each read straight into
      // its row of the bitmap, bottom row first.
      HBITMAP nb = CreateDibForOverwrite(l->width, l->height, l->bpp, l->palette);
      if (!nb) throw rtl::EInvalidGraphic("Invalid bitmap: image too large");
      auto* o = detail::GetBitmap(nb);
      try {
        for (int y = l->height - 1; y >= 0; --y) s.ReadBuffer(o->Row(y), o->stride);
      } catch (...) {
        DeleteObject(nb);
        throw;
      }
      Adopt(nb);
      original_ = std::vector<uint8_t>();
      originalChanges_ = o->changes;
      Changed();
      return;
    }
  }
  ReadUpTo(s, buf, bfSize);
  LoadFromBytes(buf.data(), buf.size());
}

void TBitmap::SaveToStream(rtl::TStream& s) {
  if (!handle_) return;
  if (!original_.empty() && detail::GetBitmap(handle_)->changes == originalChanges_) {
    s.WriteBuffer(original_.data(), int64_t(original_.size()));
    return;
  }
  BitmapInfo bi;
  GetBitmapInfo(handle_, bi);
  bmp::Image img;
  img.width = bi.width;
  img.height = bi.height;
  img.bpp = bi.bpp;
  img.stride = bi.stride;
  img.palette = BitmapPalette(handle_);
  img.pixels.resize(size_t(bi.stride) * size_t(bi.height));
  for (int y = 0; y < bi.height; ++y)
    std::memcpy(img.pixels.data() + size_t(y) * bi.stride, BitmapScanLine(handle_, y), size_t(bi.stride));
  std::vector<uint8_t> bytes = bmp::Encode(img);
  s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

void TBitmap::LoadFromResourceName(const std::string& name) {
  auto data = rtl::Resource(name);
  if (data.empty()) throw rtl::EInvalidGraphic("Resource " + name + " not found");
  LoadFromBytes(data.data(), data.size());
}

void TBitmap::Draw(TCanvas* c, const TRect& r) {
  if (!handle_ || !c) return;
  HDC dst = c->Handle();
  if (!dst) return;
  auto blit = [&](HDC src) {
    if (Transparent()) {
      TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_,
                     uint32_t(TransparentColor()) & 0xFFFFFF);
    } else {
      StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_, c->CopyMode());
    }
  };
  if (canvas_ && canvas_->HandleAllocated())
    blit(canvas_->Handle());
  else
    WithDC(handle_, blit);
}

void TBitmap::Assign(const TGraphic* src) {
  if (src == this) return;
  if (!src) {
    SetSize(0, 0);
    return;
  }
  if (auto* b = dynamic_cast<const TBitmap*>(src)) {
    HBITMAP nb;
    if (b->handle_) {
      BitmapInfo bi;
      GetBitmapInfo(b->handle_, bi);
      nb = CreateDib(bi.width, bi.height, bi.bpp, BitmapPalette(b->handle_));
      BitmapInfo ni;
      // A bitmap over someone else's pixels may pad its rows wider than ours.
      if (nb && GetBitmapInfo(nb, ni))
        for (int y = 0; y < bi.height; ++y)
          std::memcpy(BitmapScanLine(nb, y), BitmapScanLine(b->handle_, y), size_t(std::min(bi.stride, ni.stride)));
    }
    Adopt(nb);
    if (!nb) {
      width_ = b->width_;
      height_ = b->height_;
    }
    format_ = b->format_;
    transparentColor_ = b->transparentColor_;
    transparentMode_ = b->transparentMode_;
    transparent_ = b->transparent_;
    original_ = b->original_;
    if (nb && b->handle_ && detail::GetBitmap(b->handle_)->changes != b->originalChanges_) original_.clear();
    originalChanges_ = nb ? detail::GetBitmap(nb)->changes : 0;
    Changed();
    return;
  }
  if (auto* ic = dynamic_cast<const TIcon*>(src)) {
    Modified();
    int w = ic->Width(), h = ic->Height();
    HBITMAP nb = w > 0 && h > 0 ? CreateDib(w, h, 32) : HBITMAP();
    if (nb) WithDC(nb, [&](HDC dc) { DrawIconEx(dc, 0, 0, ic->Handle(), w, h, 0, HBRUSH(), DI_NORMAL); });
    Adopt(nb);
    format_ = pf32bit;
    Changed();
    return;
  }
  throw rtl::EConvertError("Cannot assign a graphic of this kind to a TBitmap");
}

// ---- icons ------------------------------------------------------------------------

HICON CreateIconFromArgb(int w, int h, const uint32_t* argb) {
  if (w <= 0 || h <= 0 || !argb || uint64_t(w) * uint64_t(h) > (uint64_t(1) << 26)) return HICON();
  auto o = std::make_unique<detail::IconObj>();
  o->width = w;
  o->height = h;
  o->argb.assign(argb, argb + size_t(w) * size_t(h));
  return HICON(detail::Register(std::move(o)));
}

bool GetIconSize(HICON icon, int& w, int& h) {
  auto* o = detail::GetIcon(icon);
  if (!o) return false;
  w = o->width;
  h = o->height;
  return true;
}

BOOL win32api::DestroyIcon(HICON icon) {
  auto* o = detail::GetIcon(icon);
  if (!o) return 0;
  if (o->stock) return 1;  // shared system icons stay
  return detail::Destroy(icon.v);
}

BOOL win32api::GetIconInfo(HICON icon, ICONINFO* info) {
  auto* o = detail::GetIcon(icon);
  if (!o || !info) return 0;
  *info = ICONINFO();
  info->xHotspot = DWORD(o->width / 2);
  info->yHotspot = DWORD(o->height / 2);
  info->hbmMask = CreateBitmap(o->width, o->height, 1, 1, nullptr);
  info->hbmColor = CreateDib(o->width, o->height, 32);
  auto* m = detail::GetBitmap(info->hbmMask);
  auto* c = detail::GetBitmap(info->hbmColor);
  for (int y = 0; y < o->height; ++y)
    for (int x = 0; x < o->width; ++x) {
      uint32_t p = o->argb[size_t(y) * o->width + x];
      m->PutPixel(x, y, (p >> 24) < 128 ? 0xFFFFFF : 0);
      std::memcpy(c->Row(y) + x * 4, &p, 4);
    }
  return 1;
}

HICON win32api::CopyIcon(HICON icon) {
  auto* o = detail::GetIcon(icon);
  return o ? CreateIconFromArgb(o->width, o->height, o->argb.data()) : HICON();
}

BOOL win32api::DrawIconEx(HDC dc, int x, int y, HICON icon, int w, int h, UINT, HBRUSH flicker, UINT flags) {
  auto* ic = detail::GetIcon(icon);
  detail::DrawTarget t = detail::Target(dc);
  if (!ic || !t.dc) return 0;
  if (w <= 0) w = ic->width;
  if (h <= 0) h = ic->height;
  const int64_t x0 = int64_t(x) + t.dx, y0 = int64_t(y) + t.dy;  // destination in bitmap coordinates
  const QRect dst = detail::QRectLTRB(x0, y0, x0 + w, y0 + h);
  if (flicker) {
    detail::FillWithBrush(t, QRegion(dst), flicker);
    t = detail::Target(dc);
  }
  if (!t.ok()) return 1;
  // Nearest-neighbour scaling, source-over with straight alpha. Only the
  // pixels the clip can show are visited, however large the icon is drawn.
  detail::Clipper clip(t.clip);
  const QRect vis = dst & t.clip.boundingRect();
  for (int by = vis.top(); by <= vis.bottom(); ++by) {
    int sy = int((by - y0) * ic->height / h);
    for (int bx = vis.left(); bx <= vis.right(); ++bx) {
      int sx = int((bx - x0) * ic->width / w);
      uint32_t s = ic->argb[size_t(sy) * ic->width + sx];
      if (!clip.In(bx, by)) continue;
      int a = (flags & DI_IMAGE) ? int(s >> 24) : 0;
      if ((flags & DI_MASK) && !(flags & DI_IMAGE)) {
        t.bmp->PutPixel(bx, by, (s >> 24) >= 128 ? 0 : 0xFFFFFF);
        continue;
      }
      if (a == 0) continue;
      COLORREF d = t.bmp->GetPixel(bx, by);
      auto mix = [a](int sv, int dv) { return (sv * a + dv * (255 - a) + 127) / 255; };
      int sr = (s >> 16) & 0xFF, sg = (s >> 8) & 0xFF, sb = s & 0xFF;
      t.bmp->PutPixel(bx, by, RGB(mix(sr, GetRValue(d)), mix(sg, GetGValue(d)), mix(sb, GetBValue(d))));
    }
  }
  t.bmp->MarkDirty(detail::FromQ(dst));
  return 1;
}

BOOL win32api::DrawIcon(HDC dc, int x, int y, HICON icon) {
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, HBRUSH(), DI_NORMAL);
}

TIcon::~TIcon() {
  if (handle_) DestroyIcon(handle_);
}

int TIcon::Width() const {
  int w = 0, h = 0;
  GetIconSize(handle_, w, h);
  return w;
}

int TIcon::Height() const {
  int w = 0, h = 0;
  GetIconSize(handle_, w, h);
  return h;
}

void TIcon::SetHandle(HICON h) {
  if (handle_ && !(handle_ == h)) DestroyIcon(handle_);
  handle_ = h;
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON h = handle_;
  handle_ = HICON();
  return h;
}

void TIcon::LoadFromStream(rtl::TStream& s) {
  std::string bytes = s.ReadAll();
  QByteArray ba(bytes.data(), qsizetype(bytes.size()));
  QBuffer buf(&ba);
  buf.open(QIODevice::ReadOnly);
  QImageReader reader(&buf);
  QImage img = reader.read();
  if (img.isNull()) throw rtl::EInvalidGraphic("Icon image is not valid");
  img = img.convertToFormat(QImage::Format_ARGB32);
  std::vector<uint32_t> px(size_t(img.width()) * size_t(img.height()));
  for (int y = 0; y < img.height(); ++y)
    std::memcpy(px.data() + size_t(y) * img.width(), img.constScanLine(y), size_t(img.width()) * 4);
  SetHandle(CreateIconFromArgb(img.width(), img.height(), px.data()));
}

void TIcon::SaveToStream(rtl::TStream& s) {
  auto* o = detail::GetIcon(handle_);
  if (!o) return;
  QImage img(reinterpret_cast<const uchar*>(o->argb.data()), o->width, o->height, o->width * 4, QImage::Format_ARGB32);
  QByteArray ba;
  QBuffer buf(&ba);
  buf.open(QIODevice::WriteOnly);
  QImageWriter w(&buf, "ico");
  if (!w.write(img)) {
    buf.close();
    ba.clear();
    QBuffer b2(&ba);
    b2.open(QIODevice::WriteOnly);
    img.save(&b2, "PNG");
  }
  s.WriteBuffer(ba.constData(), ba.size());
}

void TIcon::Draw(TCanvas* c, const TRect& r) {
  if (!handle_ || !c || !c->Handle()) return;
  DrawIconEx(c->Handle(), r.Left, r.Top, handle_, r.Width(), r.Height(), 0, HBRUSH(), DI_NORMAL);
}

void TIcon::Assign(const TGraphic* src) {
  if (src == this) return;
  if (!src) {
    SetHandle(HICON());
    return;
  }
  if (auto* ic = dynamic_cast<const TIcon*>(src)) {
    SetHandle(ic->handle_ ? CopyIcon(ic->handle_) : HICON());
    return;
  }
  throw rtl::EConvertError("Cannot assign a graphic of this kind to a TIcon");
}

// ---- TPicture -------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(const TGraphic* g) {
  if (!g) {
    graphic_.reset();
  } else if (dynamic_cast<const TBitmap*>(g)) {
    auto b = std::make_unique<TBitmap>();
    b->Assign(g);
    graphic_ = std::move(b);
  } else if (dynamic_cast<const TIcon*>(g)) {
    auto i = std::make_unique<TIcon>();
    i->Assign(g);
    graphic_ = std::move(i);
  } else {
    throw rtl::EConvertError("Cannot assign this graphic to a TPicture");
  }
  OnChange(this);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) graphic_ = std::make_unique<TBitmap>();
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) graphic_ = std::make_unique<TIcon>();
  return static_cast<TIcon*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::string ext = ExtOf(fileName);
  if (ext == ".emf" || ext == ".wmf") throw rtl::EInvalidGraphic("Metafiles are not supported");
  if (ext == ".bmp" || ext == ".dib") {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromFile(fileName);
    graphic_ = std::move(b);
  } else if (ext == ".ico") {
    auto i = std::make_unique<TIcon>();
    i->LoadFromFile(fileName);
    graphic_ = std::move(i);
  } else if (ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".gif") {
    rtl::TFileStream s(fileName, rtl::fmOpenRead);
    std::string bytes = s.ReadAll();
    QImage img = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()));
    if (img.isNull()) throw rtl::EInvalidGraphic("Unknown picture file format (" + ext + ")");
    img = img.convertToFormat(QImage::Format_ARGB32);
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) std::memcpy(b->ScanLine(y), img.constScanLine(y), size_t(img.width()) * 4);
    graphic_ = std::move(b);
  } else {
    throw rtl::EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  }
  OnChange(this);
}

void TPicture::SaveToFile(const std::string& fileName) {
  if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::Assign(const TPicture* src) { SetGraphic(src ? src->Graphic() : nullptr); }

}  // namespace gfx
