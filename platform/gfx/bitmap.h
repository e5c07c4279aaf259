// Bitmaps: DIB sections laid out as on Windows (rows padded to 4 bytes,
// 24-bit B,G,R, 32-bit B,G,R,A, 1/4/8 bpp with a palette), and QImage views
// over the same bytes without copying.
#pragma once

#include "platform/gfx/types.h"

#include <cstdint>
#include <vector>

class QImage;

namespace gfx {

inline namespace win32api {

struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];  // room for a full palette (or three BI_BITFIELDS masks)
};
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};
struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {0, 0, 0};
  void* dshSection = nullptr;
  DWORD dsOffset = 0;
};

enum : DWORD { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };
enum : UINT { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

// bpp 1/4/8/24/32 (16 is taken as 32); zero-filled; a negative height asks
// for top-down rows. Palette entries come from `info->bmiColors` for 1/4/8 bpp.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section = nullptr,
                         DWORD offset = 0);
// A 32-bit top-down bitmap (the display's format), zero-filled.
HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h);
// A 1-bpp (mask) or any-depth bitmap; `bits` rows are word-aligned as in GDI.
HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bpp, const void* bits);
// Fills BITMAP (size >= sizeof(BITMAP)) or DIBSECTION (size >= sizeof(DIBSECTION))
// for a bitmap; LOGFONT for a font. Returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ obj, int size, void* out);
// Rows start..start+count of the bitmap, converted to the format in `info`
// (24 or 32 bpp; a negative height gives top-down rows). With bits == nullptr
// only fills the header (size and format). Returns the rows copied.
int GetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT count, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT count, const void* bits, const BITMAPINFO* info, UINT usage);
// Copies rows of a 24/32-bit DIB unscaled to (x, y) of the DC.
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int srcX, int srcY, UINT startScan, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage);
}  // namespace win32api

// What the layer's own code needs of a bitmap.
struct BitmapInfo {
  int width = 0, height = 0, bpp = 0, stride = 0;
  bool bottomUp = false;
  uint8_t* bits = nullptr;  // first byte of storage (the bottom row when bottomUp)
};
// A top-down DIB (1/4/8/24/32 bpp), zero-filled. Palette entries are RGBQUAD
// values 0x00RRGGBB; a palette format without one gets the default grey ramp
// (black and white for 1 bpp).
HBITMAP CreateDib(int w, int h, int bpp, const std::vector<uint32_t>& palette = {});
// The same with its pixel memory left as it comes: for a caller that writes
// every byte of every row (the padding too) before anything reads them.
HBITMAP CreateDibForOverwrite(int w, int h, int bpp, const std::vector<uint32_t>& palette = {});
// A bitmap over memory the caller owns and keeps alive (e.g. an rtl Dib).
HBITMAP CreateDibOver(int w, int h, int bpp, int stride, void* bits);
bool GetBitmapInfo(HBITMAP bmp, BitmapInfo& out);
uint8_t* BitmapScanLine(HBITMAP bmp, int y);  // top-down row y, nullptr when out of range
std::vector<uint32_t> BitmapPalette(HBITMAP bmp);
bool SetBitmapPalette(HBITMAP bmp, const std::vector<uint32_t>& palette);
// A QImage over the bitmap's bytes (no copy) for 24/32-bit top-down bitmaps:
// Format_BGR888, Format_RGB32 (alpha) or Format_ARGB32 with `withAlpha`;
// 8 bpp gives Format_Indexed8, 1 bpp Format_Mono. Null otherwise.
QImage BitmapImage(HBITMAP bmp, bool withAlpha = false);
// A deep copy as Format_ARGB32 (any bpp); alpha of 24-bit and palette pixels is 255.
QImage BitmapToImage(HBITMAP bmp);
// Bounds (in bitmap pixels) touched by drawing since the last call; empty when none.
TRect TakeDirtyRect(HBITMAP bmp);
// Locks around a bitmap for drawing from a worker thread (TCanvas.Lock).
void LockBitmap(HBITMAP bmp);
void UnlockBitmap(HBITMAP bmp);
bool TryLockBitmap(HBITMAP bmp);

}  // namespace gfx
