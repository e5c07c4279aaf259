// Device contexts: memory DCs over a selected bitmap, window DCs over a part
// of a top-level's backing bitmap, and the display DC; drawing objects,
// origins, the clip and the SaveDC stack.
//
// Coordinates: device = logical - window origin + viewport origin. A window
// DC adds its device offset inside the backing bitmap, which the viewport
// calls do not show (as a window DC's origin is invisible on Windows).
//
// Clipping: the effective clip is the window system's clip (window DCs) AND
// the application clip (SelectClipRgn & co.) AND the target bitmap.
#pragma once

#include "platform/gfx/types.h"
#include "platform/gfx/objects.h"

namespace gfx {

inline namespace win32api {

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int {
  R2_BLACK = 1,
  R2_NOTMERGEPEN = 2,
  R2_MASKNOTPEN = 3,
  R2_NOTCOPYPEN = 4,
  R2_MASKPENNOT = 5,
  R2_NOT = 6,
  R2_XORPEN = 7,
  R2_NOTMASKPEN = 8,
  R2_MASKPEN = 9,
  R2_NOTXORPEN = 10,
  R2_NOP = 11,
  R2_MERGENOTPEN = 12,
  R2_COPYPEN = 13,
  R2_MERGEPENNOT = 14,
  R2_MERGEPEN = 15,
  R2_WHITE = 16
};
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4, STRETCH_DELETESCANS = 3 };
enum : int {
  WHITE_BRUSH = 0,
  LTGRAY_BRUSH = 1,
  GRAY_BRUSH = 2,
  DKGRAY_BRUSH = 3,
  BLACK_BRUSH = 4,
  NULL_BRUSH = 5,
  HOLLOW_BRUSH = NULL_BRUSH,
  WHITE_PEN = 6,
  BLACK_PEN = 7,
  NULL_PEN = 8,
  OEM_FIXED_FONT = 10,
  ANSI_FIXED_FONT = 11,
  ANSI_VAR_FONT = 12,
  SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14,
  DEFAULT_PALETTE = 15,
  SYSTEM_FIXED_FONT = 16,
  DEFAULT_GUI_FONT = 17,
  DC_BRUSH = 18,
  DC_PEN = 19
};
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2 };
enum : int { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };
enum : int {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6
};
enum : int { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8, OBJ_MEMDC = 10 };
enum : int {
  HORZRES = 8,
  VERTRES = 10,
  BITSPIXEL = 12,
  PLANES = 14,
  NUMCOLORS = 24,
  RASTERCAPS = 38,
  LOGPIXELSX = 88,
  LOGPIXELSY = 90,
  SIZEPALETTE = 104
};

struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  intptr_t lbHatch = 0;
};

HDC CreateCompatibleDC(HDC dc);
// "DISPLAY" gives a DC without pixels (for GetDeviceCaps, GetDIBits); other
// drivers fail with a null handle.
HDC CreateDC(const char* driver, const char* device, const char* output, const void* init);
BOOL DeleteDC(HDC dc);
// Frees a bitmap, brush, pen, font or region. Stock objects are left alone.
// An object still selected into a DC is freed when it is deselected.
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int which);

HBITMAP SelectObject(HDC dc, HBITMAP bmp);
HBRUSH SelectObject(HDC dc, HBRUSH brush);
HPEN SelectObject(HDC dc, HPEN pen);
HFONT SelectObject(HDC dc, HFONT font);
int SelectObject(HDC dc, HRGN rgn);  // = SelectClipRgn; returns the region kind
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

HBRUSH CreateSolidBrush(COLORREF c);
HBRUSH CreateHatchBrush(int hatch, COLORREF c);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HPEN CreatePen(int style, int width, COLORREF c);

int SaveDC(HDC dc);
// n > 0 restores that saved state (dropping the newer ones); n < 0 is relative
// (-1 = the last one). Fails (FALSE) when there is no such state.
BOOL RestoreDC(HDC dc, int n);

COLORREF SetTextColor(HDC dc, COLORREF c);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF c);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* p);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* p);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL LPtoDP(HDC dc, POINT* pts, int count);
BOOL DPtoLP(HDC dc, POINT* pts, int count);

// Region-kind results (NULLREGION, SIMPLEREGION, COMPLEXREGION, ERROR).
int IntersectClipRect(HDC dc, int l, int t, int r, int b);
int ExcludeClipRect(HDC dc, int l, int t, int r, int b);
int OffsetClipRgn(HDC dc, int dx, int dy);
// The region is in device coordinates and is copied; nullptr removes the clip.
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
// Logical bounds of the effective clip (the whole surface when unclipped).
int GetClipBox(HDC dc, RECT* r);
// 1 and the application clip in `rgn` (device coordinates), 0 when there is none.
int GetClipRgn(HDC dc, HRGN rgn);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* r);

int GetDeviceCaps(HDC dc, int index);
int GetObjectType(HGDIOBJ obj);
}  // namespace win32api

// ---- for the window system -------------------------------------------------
//
// A window DC draws into `backing` (the top-level's retained image) with its
// device (0,0) at `origin` inside it (the client or window origin of the
// window), clipped to `clip` (device coordinates of the new DC; copied, the
// caller keeps its region; nullptr = no clip beyond the bitmap). Drawing marks
// the bitmap dirty (TakeDirtyRect). Free it with DeleteDC (ReleaseDC/EndPaint).
// Its SelectClipRgn(dc, nullptr) goes back to `clip`, as on Windows, and
// reading it (BitBlt from it) reads the backing image.
HDC CreateWindowDC(HBITMAP backing, TPoint origin, HRGN clip);
// Changes the system clip of a window DC (device coordinates; nullptr = none).
bool SetWindowDCClip(HDC dc, HRGN clip);
bool SetWindowDCOrigin(HDC dc, TPoint origin);
// The bitmap a DC draws into (the selected bitmap of a memory DC), and where
// its device (0,0) lies in that bitmap.
HBITMAP GetDCBitmap(HDC dc);
TPoint GetDCDeviceOrigin(HDC dc);
bool IsMemoryDC(HDC dc);
// Live GDI objects (DCs included, stock objects excluded): leak checks.
size_t GdiObjectCount();

namespace detail {
// The effective clip of a DC in bitmap coordinates, and the device offset
// (logical -> bitmap = p - winOrg + vpOrg + devOffset).
struct DrawTarget {
  DCObj* dc = nullptr;
  BitmapObj* bmp = nullptr;
  QRegion clip;        // bitmap coordinates, already limited to the bitmap
  int dx = 0, dy = 0;  // logical -> bitmap
  bool ok() const { return bmp != nullptr && !clip.isEmpty(); }
};
DrawTarget Target(HDC dc);
}  // namespace detail

}  // namespace gfx
