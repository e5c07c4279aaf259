// The GDI object table and the objects behind the handles. Internal to the
// pixel layer; other code goes through the handle functions.
#pragma once

#include "platform/gfx/types.h"

#include <QRegion>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace gfx {

struct LOGFONT {
  int32_t lfHeight = 0;
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = 400;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = 1;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  std::string lfFaceName;
  friend bool operator==(const LOGFONT&, const LOGFONT&) = default;
};

namespace detail {

struct GdiObject {
  explicit GdiObject(GdiKind k) : kind(k) {}
  virtual ~GdiObject() = default;
  GdiKind kind;
  bool stock = false;
  int selectCount = 0;         // DCs that have it selected
  bool deletePending = false;  // DeleteObject while selected: freed when deselected
  uint32_t handle = 0;
};

// A device-independent bitmap. Rows are padded to 4 bytes; 24-bit pixels are
// B,G,R and 32-bit pixels B,G,R,A, as on Windows. Row(y) hides the storage
// order, so y = 0 is always the top row.
struct BitmapObj : GdiObject {
  BitmapObj() : GdiObject(GdiKind::Bitmap) {}
  int width = 0, height = 0, bpp = 32, stride = 0;
  bool bottomUp = false;
  uint8_t* bits = nullptr;
  std::unique_ptr<uint8_t[]> own;  // null when the memory belongs to someone else
  std::vector<uint32_t> palette;   // RGBQUAD values 0x00RRGGBB for 1/4/8 bpp
  TRect dirty;                     // bounds drawn since the last TakeDirtyRect
  uint64_t changes = 0;            // counts drawing into the bitmap
  std::mutex lock;                 // TCanvas.Lock on a memory bitmap

  uint8_t* Row(int y) const { return bits + size_t(bottomUp ? height - 1 - y : y) * size_t(stride); }
  void MarkDirty(const TRect& r);
  COLORREF GetPixel(int x, int y) const;    // colour of a pixel, palette resolved
  void PutPixel(int x, int y, COLORREF c);  // 32-bit: alpha 255
  int NearestIndex(COLORREF c) const;
};

struct BrushObj : GdiObject {
  BrushObj() : GdiObject(GdiKind::Brush) {}
  uint32_t style = 0;  // BS_SOLID, BS_NULL, BS_HATCHED
  COLORREF color = 0;
  int32_t hatch = 0;
};

struct PenObj : GdiObject {
  PenObj() : GdiObject(GdiKind::Pen) {}
  int style = 0;  // PS_*
  int width = 1;
  COLORREF color = 0;
};

struct FontObj : GdiObject {
  FontObj() : GdiObject(GdiKind::Font) {}
  LOGFONT lf;
};

struct RegionObj : GdiObject {
  RegionObj() : GdiObject(GdiKind::Region) {}
  QRegion rgn;
};

struct IconObj : GdiObject {
  IconObj() : GdiObject(GdiKind::Icon) {}
  int width = 0, height = 0;
  std::vector<uint32_t> argb;  // 0xAARRGGBB, not premultiplied, top-down
};

enum class DCKind { Memory, Window, Display };

struct DCState {
  TPoint vpOrg, winOrg;
  bool hasClip = false;
  QRegion clip;  // application clip, device coordinates of this DC
  HBRUSH brush;
  HPEN pen;
  HFONT font;
  HBITMAP bitmap;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = 2;       // OPAQUE
  int rop2 = 13;        // R2_COPYPEN
  int stretchMode = 1;  // BLACKONWHITE
  uint32_t textAlign = 0;
  int textCharExtra = 0;
  TPoint pos;
  TPoint brushOrg;
};

struct DCObj : GdiObject {
  DCObj() : GdiObject(GdiKind::DC) {}
  DCKind dcKind = DCKind::Memory;
  HBITMAP backing;   // target of a window DC (memory DCs draw into st.bitmap)
  TPoint devOffset;  // where device (0,0) lies in the target bitmap (window DCs)
  bool hasSysClip = false;
  QRegion sysClip;  // the window system's clip, device coordinates
  DCState st;
  std::vector<DCState> saved;
};

// The table. All functions are thread-safe; a looked-up pointer stays valid
// until the object is deleted (deletion is the owner's business, as in GDI).
uint32_t Register(std::unique_ptr<GdiObject> obj);
GdiObject* Lookup(uint32_t handle, GdiKind kind);
bool Destroy(uint32_t handle);
size_t LiveCount();
// Makes an object shared (never freed, not counted as live).
void MarkStock(uint32_t handle);

template <class T, int K>
T* Get(GdiHandle<K> h) {
  return static_cast<T*>(Lookup(h.v, GdiKind(K)));
}
inline BitmapObj* GetBitmap(HBITMAP h) { return Get<BitmapObj>(h); }
inline DCObj* GetDCObj(HDC h) { return Get<DCObj>(h); }
inline RegionObj* GetRegion(HRGN h) { return Get<RegionObj>(h); }
inline BrushObj* GetBrush(HBRUSH h) { return Get<BrushObj>(h); }
inline PenObj* GetPen(HPEN h) { return Get<PenObj>(h); }
inline FontObj* GetFont(HFONT h) { return Get<FontObj>(h); }
inline IconObj* GetIcon(HICON h) { return Get<IconObj>(h); }

// A Qt rectangle from edges (exclusive right/bottom). Qt keeps the far edge
// and the size in an int, so edges are clamped far beyond any surface: an
// "everything" rectangle moved by a window origin must not overflow.
constexpr int64_t kCoordLimit = (int64_t(1) << 30) - 1;
inline QRect QRectLTRB(int64_t l, int64_t t, int64_t r, int64_t b) {
  auto c = [](int64_t v) { return int(std::clamp(v, -kCoordLimit, kCoordLimit)); };
  const int L = c(l), T = c(t), R = c(r), B = c(b);
  if (R <= L || B <= T) return QRect();
  return QRect(L, T, R - L, B - T);
}

// Conversions between our rectangles and Qt's.
inline QRect ToQ(const TRect& r) { return QRectLTRB(r.Left, r.Top, r.Right, r.Bottom); }
inline TRect FromQ(const QRect& r) {
  return r.isEmpty() ? TRect() : TRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

}  // namespace detail
}  // namespace gfx
