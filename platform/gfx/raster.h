// The layer's own 1-pixel rasteriser with the GDI edge rules (LineTo leaves
// out its end point; Rectangle, Ellipse and FillRect leave out the right and
// bottom edges), the ROPs, and the blits.
//
// Alpha on 32-bit targets: fills, lines and text set alpha to 255 on the
// pixels they touch (GDI itself writes 0, but nothing here relies on that);
// SRCCOPY between two 32-bit bitmaps copies all four bytes, and copies from
// other formats set 255.
#pragma once

#include "platform/gfx/types.h"

namespace gfx {

inline namespace win32api {

enum : DWORD {
  SRCCOPY = 0x00CC0020,
  SRCPAINT = 0x00EE0086,
  SRCAND = 0x008800C6,
  SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328,
  NOTSRCCOPY = 0x00330008,
  NOTSRCERASE = 0x001100A6,
  MERGECOPY = 0x00C000CA,
  MERGEPAINT = 0x00BB0226,
  PATCOPY = 0x00F00021,
  PATPAINT = 0x00FB0A09,
  PATINVERT = 0x005A0049,
  DSTINVERT = 0x00550009,
  BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062
};
constexpr UINT CLR_NONE = 0xFFFFFFFF;

BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* p);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* pts, int count);
BOOL Polygon(HDC dc, const POINT* pts, int count);
BOOL Rectangle(HDC dc, int l, int t, int r, int b);
BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h);
BOOL Ellipse(HDC dc, int l, int t, int r, int b);
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
// XOR, every other pixel, starting at the top-left corner.
BOOL DrawFocusRect(HDC dc, const RECT* r);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h);
BOOL InvertRgn(HDC dc, HRGN rgn);
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF c);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF c);

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
// Nearest-neighbour, except that HALFTONE averages the covered source
// pixels when shrinking; negative extents mirror.
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);
// Copies, stretched, every source pixel whose RGB differs from `key`.
BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, UINT key);
BOOL GdiTransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, UINT key);

struct BLENDFUNCTION {
  BYTE BlendOp = 0;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};
enum : BYTE { AC_SRC_OVER = 0, AC_SRC_ALPHA = 1 };
// Source colours are taken as premultiplied when AC_SRC_ALPHA is set, as GDI does.
BOOL AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, BLENDFUNCTION bf);

enum : UINT {
  BDR_RAISEDOUTER = 1,
  BDR_SUNKENOUTER = 2,
  BDR_RAISEDINNER = 4,
  BDR_SUNKENINNER = 8,
  EDGE_RAISED = 5,
  EDGE_SUNKEN = 10,
  EDGE_ETCHED = 6,
  EDGE_BUMP = 9
};
enum : UINT {
  BF_LEFT = 1,
  BF_TOP = 2,
  BF_RIGHT = 4,
  BF_BOTTOM = 8,
  BF_RECT = 15,
  BF_MIDDLE = 0x800,
  BF_ADJUST = 0x2000,
  BF_FLAT = 0x4000,
  BF_MONO = 0x8000,
  BF_SOFT = 0x1000
};
// The classic 3-D edges in the fixed system palette.
BOOL DrawEdge(HDC dc, RECT* r, UINT edge, UINT flags);
}  // namespace win32api

}  // namespace gfx
