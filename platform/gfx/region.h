// Regions: HRGN over QRegion (no rectangle cap), with the Win32 calls and
// the RGNDATA byte layout (a 32-byte header, then 16-byte RECTs).
#pragma once

#include "platform/gfx/types.h"

#include <vector>

class QRegion;

namespace gfx {

inline namespace win32api {
enum : int { ERROR_REGION = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
constexpr int RGN_ERROR = ERROR_REGION;
#ifndef ERROR
constexpr int ERROR = 0;
#endif
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
constexpr DWORD RDH_RECTANGLES = 1;
enum : int { ALTERNATE = 1, WINDING = 2 };

struct RGNDATAHEADER {
  DWORD dwSize = 32;
  DWORD iType = RDH_RECTANGLES;
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};
static_assert(sizeof(RGNDATAHEADER) == 32);
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};

HRGN CreateRectRgn(int l, int t, int r, int b);
HRGN CreateRectRgnIndirect(const RECT& r);
HRGN CreateEllipticRgn(int l, int t, int r, int b);
HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h);
// fillMode ALTERNATE (even-odd) or WINDING.
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode);
// Builds a region from RGNDATA bytes; `size` is the byte count available.
// Malformed data (short buffer, bad header) gives a null handle.
HRGN ExtCreateRegion(const void* xform, DWORD size, const RGNDATA* data);
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN r, int dx, int dy);
BOOL PtInRegion(HRGN r, int x, int y);
BOOL RectInRegion(HRGN r, const RECT& rc);
int GetRgnBox(HRGN r, RECT* box);
// Returns the byte size needed; writes when `data` is non-null and `size` is
// large enough (else 0).
DWORD GetRegionData(HRGN r, DWORD size, RGNDATA* data);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN r, int l, int t, int rr, int b);
}  // namespace win32api

// Helpers for the layer and its tests.
HRGN CreateRegion(const QRegion& r);
QRegion RegionOf(HRGN r);                // empty for a stale handle
std::vector<TRect> RegionRects(HRGN r);  // y-x banded order
int RegionKind(const QRegion& r);

}  // namespace gfx
