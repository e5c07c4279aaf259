#include "platform/win/layered.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/dc.h"
#include "platform/win/window_internal.h"

#include <cstring>

namespace win {

namespace {
bool g_compositor = false;
}

bool LayeredWindowsAvailable() { return g_compositor; }
void SetCompositorPresent(bool present) { g_compositor = present; }

namespace detail {

// The region of pixels whose alpha reaches `threshold`, built from row runs.
static gfx::HRGN AlphaRegion(gfx::HBITMAP bmp, int threshold) {
  gfx::BitmapInfo info;
  if (!gfx::GetBitmapInfo(bmp, info) || info.bpp != 32) return {};
  std::vector<TRect> rects;
  for (int y = 0; y < info.height; y++) {
    const uint8_t* row = gfx::BitmapScanLine(bmp, y);
    int x = 0;
    while (x < info.width) {
      while (x < info.width && row[x * 4 + 3] < threshold) x++;
      int s = x;
      while (x < info.width && row[x * 4 + 3] >= threshold) x++;
      if (x > s) rects.push_back({s, y, x, y + 1});
    }
  }
  std::vector<uint8_t> buf(sizeof(gfx::RGNDATAHEADER) + rects.size() * sizeof(TRect));
  gfx::RGNDATAHEADER hdr;
  hdr.nCount = DWORD(rects.size());
  hdr.nRgnSize = DWORD(rects.size() * sizeof(TRect));
  hdr.rcBound = {0, 0, info.width, info.height};
  std::memcpy(buf.data(), &hdr, sizeof hdr);
  if (!rects.empty()) std::memcpy(buf.data() + sizeof hdr, rects.data(), rects.size() * sizeof(TRect));
  return gfx::ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<const gfx::RGNDATA*>(buf.data()));
}

}  // namespace detail

using namespace detail;

BOOL SetLayeredWindowAttributes(HWND hwnd, gfx::COLORREF key, uint8_t alpha, DWORD flags) {
  CheckUiThread();
  Window* w = Find(hwnd);
  if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
  w->layeredKey = key;
  w->layeredAlpha = alpha;
  w->layeredFlags = flags;
  // Without a compositor constant alpha is ignored: the window shows opaque.
  if (w->surface && g_compositor) Backend().SetOpacity(w->surface, (flags & LWA_ALPHA) ? alpha / 255.0 : 1.0);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, gfx::COLORREF* key, uint8_t* alpha, DWORD* flags) {
  Window* w = Find(hwnd);
  if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
  if (key) *key = w->layeredKey;
  if (alpha) *alpha = w->layeredAlpha;
  if (flags) *flags = w->layeredFlags;
  return TRUE;
}

BOOL UpdateLayeredWindow(HWND hwnd, gfx::HDC, POINT* pos, gfx::SIZE* size, gfx::HDC src, POINT* srcPt, gfx::COLORREF,
                         const gfx::BLENDFUNCTION* blend, DWORD flags) {
  CheckUiThread();
  Window* w = Find(hwnd);
  if (!w || !w->isTopLevel() || !(w->exStyle & WS_EX_LAYERED)) return FALSE;
  auto keep = Keep(hwnd);
  if (pos || size) {
    int x = pos ? pos->X : w->rect.Left, y = pos ? pos->Y : w->rect.Top;
    int cx = size ? size->cx : w->rect.Width(), cy = size ? size->cy : w->rect.Height();
    SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (!w->alive) return FALSE;
  }
  w->ulwContent = true;
  w->update.Clear();
  w->erase = false;
  w->ncDirty = false;
  if (src && EnsureBacking(w)) {
    gfx::HDC dc = gfx::CreateWindowDC(w->backing, {0, 0}, gfx::HRGN());
    POINT sp = srcPt ? *srcPt : POINT{0, 0};
    gfx::BitBlt(dc, 0, 0, w->rect.Width(), w->rect.Height(), src, sp.X, sp.Y, 0x00CC0020 /* SRCCOPY */);
    gfx::DeleteDC(dc);
  }
  bool perPixel = (flags & ULW_ALPHA) && blend && (blend->AlphaFormat & gfx::AC_SRC_ALPHA);
  if (EnsureBacking(w)) {
    gfx::HRGN shape = perPixel ? AlphaRegion(w->backing, g_compositor ? 1 : 128) : gfx::HRGN();
    if (w->alphaShape) gfx::DeleteObject(w->alphaShape);
    w->alphaShape = shape;
  }
  if (w->surface) {
    if (g_compositor) {
      Backend().SetArgb(w->surface, perPixel);
      if (blend) Backend().SetOpacity(w->surface, blend->SourceConstantAlpha / 255.0);
    } else {
      // Degraded: an opaque window shaped by its solid pixels.
      Backend().SetMask(w->surface, w->alphaShape ? w->alphaShape : w->region);
    }
  }
  FlushTop(w);
  return TRUE;
}

}  // namespace win
