// Layered windows. Whether layered effects are "available" means whether a
// compositor runs (the backend reports it; tests force it). Without one a
// layered window degrades to an opaque shaped window: its shape is the
// pixels with alpha >= 128 and constant alpha is ignored. With one, the
// shape is alpha > 0, so fully transparent pixels never take mouse input.
#pragma once

#include "platform/gfx/raster.h"
#include "platform/win/handles.h"

namespace win {

constexpr DWORD LWA_COLORKEY = 1, LWA_ALPHA = 2;
constexpr DWORD ULW_COLORKEY = 1, ULW_ALPHA = 2, ULW_OPAQUE = 4;

bool LayeredWindowsAvailable();
void SetCompositorPresent(bool present);

BOOL SetLayeredWindowAttributes(HWND hwnd, gfx::COLORREF key, uint8_t alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, gfx::COLORREF* key, uint8_t* alpha, DWORD* flags);
// Moves/sizes the window (pos/size may be null) and replaces its pixels with
// the source DC's (non-premultiplied BGRA, alpha kept); the backend
// premultiplies when it puts them on screen.
BOOL UpdateLayeredWindow(HWND hwnd, gfx::HDC dst, POINT* pos, gfx::SIZE* size, gfx::HDC src, POINT* srcPt,
                         gfx::COLORREF key, const gfx::BLENDFUNCTION* blend, DWORD flags);

}  // namespace win
