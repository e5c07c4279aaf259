// The 32-bit skin bitmap (TbsBitmap): a top-down BGRA DIB section with its
// own memory DC, drawn by plain copy, per-pixel alpha or the 0x7F007F colour
// key, and the small 24-bit copy (TbsFBitmap) through which masks are read.
//
// Every TbsBitmap that owns a DC is in one process-wide list, so that a draw
// onto a DC can tell that the DC is another skin bitmap's and blend in memory
// instead of through the DC.
#pragma once

#include <string>
#include <vector>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/geom.h"
#include "platform/rtl/types.h"
#include "skin/draw/bsPixelRoutines.h"

namespace cl {
class TWinControl;
}

namespace skin {

using rtl::TRect;

class TbsBitmap : public rtl::TObject {
 public:
  TbsBitmap();
  ~TbsBitmap() override;
  TbsBitmap(const TbsBitmap&) = delete;
  TbsBitmap& operator=(const TbsBitmap&) = delete;

  // Negative sizes count by their absolute value; a 0 leaves the bitmap as
  // it is, and so does the current size (the pixels stay). Any other size
  // gives all-zero pixels. Raises rtl::Exception when GDI refuses; the bitmap
  // is then empty.
  void SetSize(int AWidth, int AHeight);
  bool Empty() const { return !FHandle; }

  // From another skin bitmap: pixels, Name, Transparent and AlphaBlend.
  void Assign(const TbsBitmap* Source);
  // From a graphic: a 32-bit DIB keeps its alpha bytes (AlphaBlend then says
  // whether any is partial); any other bitmap is copied through its DC and
  // made opaque; other graphics are drawn (DrawGraphic) and made opaque.
  void Assign(gfx::TGraphic* Source);
  // From a picture: its bitmap as a device copy, whatever its pixel format;
  // nothing without a graphic; other graphics drawn and made opaque.
  void Assign(gfx::TPicture* Source);
  // Makes Dest a 32-bit bitmap of this size and draws this bitmap onto it
  // in its own mode (alpha and keyed draws blend over what Dest holds).
  void AssignTo(gfx::TBitmap* Dest);
  void AssignTo(gfx::TPicture* Dest);

  // AlphaBlend := some pixel has an alpha other than 0 and 255.
  void CheckingAlphaBlend();
  void SetAlpha(uint8_t Alpha);
  // Created on first use, bound to DC; it follows the DC when the size changes.
  gfx::TCanvas* GetCanvas();
  gfx::TCanvas* Canvas() { return GetCanvas(); }
  // No range checks: callers stay inside the bitmap.
  TbsColor* ScanLine(int Y) { return FBits + ptrdiff_t(Y) * FWidth; }
  TbsColor* PixelAddress(int X, int Y) { return FBits + ptrdiff_t(Y) * FWidth + X; }
  // Writes only inside the bitmap.
  void SetPixel(int X, int Y, TbsColor Color);
  // Paints Graphic stretched into DstRect; pixels that come out exactly
  // magenta (RGB 255, 0, 255) leave this bitmap's pixels unchanged.
  void DrawGraphic(gfx::TGraphic* Graphic, const TRect& DstRect);

  void Draw(gfx::HDC DC, int X, int Y);
  void Draw(gfx::HDC DC, int X, int Y, const TRect& SrcRect);
  // Onto another skin bitmap's DC the draw happens in memory, at the place
  // the DC's origins give; onto any other DC through an intermediate bitmap
  // (alpha and keyed modes) or a stretched copy.
  void Draw(gfx::HDC DC, const TRect& DstRect, const TRect& SrcRect);
  void Draw(gfx::TCanvas* Canvas, int X, int Y);
  void Draw(TbsBitmap* Bitmap, int X, int Y);
  void Draw(TbsBitmap* Bitmap, int X, int Y, const TRect& SrcRect);
  // Into Bitmap, clipped to DstRect and Bitmap; nothing when SrcRect is empty
  // or reaches outside this bitmap. Different sizes sample the nearest pixel
  // (the first and last destination columns land on the first and last
  // source columns).
  void Draw(TbsBitmap* Bitmap, const TRect& DstRect, const TRect& SrcRect);

  gfx::HBITMAP Handle() const { return FHandle; }
  gfx::HDC DC() const { return FDC; }
  TbsColor* Bits() const { return FBits; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

  // AlphaBlend takes precedence over Transparent; neither: plain copy.
  bool AlphaBlend = false;
  bool Transparent = false;
  std::string Name;

 private:
  // The bitmap-to-bitmap draw with an explicit clip (device coordinates of Dest).
  void DrawClipped(TbsBitmap* Dest, const TRect& DstRect, const TRect& SrcRect, const TRect& Clip);
  void DrawThroughDC(gfx::HDC DC, const TRect& DstRect, const TRect& SrcRect);
  void Release();
  void CopyFromDIB32(gfx::TBitmap* Source);

  TbsColor* FBits = nullptr;
  int FWidth = 0, FHeight = 0;
  gfx::HBITMAP FHandle;
  gfx::HDC FDC;
  gfx::TCanvas* FCanvas = nullptr;
};

// The first bitmap in the list whose DC is DC, nullptr when none.
TbsBitmap* FindBitmapByDC(gfx::HDC DC);
// 0x00BBGGRR (system colours resolved first) to an opaque 0xFFRRGGBB pixel.
TbsColor ColorToBsColor(gfx::TColor Color);
// Shows Bitmap as the whole content of Control's layered window at the
// control's position, with the constant opacity Alpha on top of the pixels'
// own. The pixels go as they are (straight alpha): the window system
// premultiplies them once, where they reach the compositor.
void UpdateLayeredWindowBitmap(TbsBitmap* Bitmap, uint8_t Alpha, cl::TWinControl* Control);

// A 24-bit top-down copy of a GDI bitmap with the address of every row
// (rows padded to 4 bytes: Gap = Width mod 4 filler bytes).
class TbsFBitmap : public rtl::TObject {
 public:
  explicit TbsFBitmap(gfx::HBITMAP HBmp);
  ~TbsFBitmap() override;
  TbsFBitmap(const TbsFBitmap&) = delete;
  TbsFBitmap& operator=(const TbsFBitmap&) = delete;

  uint8_t* Bits = nullptr;
  std::vector<uint8_t*> Pixels;
  int Gap = 0;
  int RowInc = 0;
  int Size = 0;
  int Width = 0;
  int Height = 0;
  gfx::HBITMAP Handle;
  gfx::HDC hDC;
};

// The DC to read a class-library bitmap through (its canvas's).
gfx::HDC PictureDC(gfx::TBitmap* Picture);

}  // namespace skin
