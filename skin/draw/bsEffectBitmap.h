// The 24-bit effect bitmap (TbsEffectBmp): a top-down DIB section, rows of
// blue, green, red padded to 4 bytes, on which the skinned controls compute
// the transitions between two looks and whole-image filters.
//
// Rounding is to the nearest integer, ties to the even neighbour; blended
// channels are clamped to 0..255. A transition towards a bitmap of another
// size does nothing. The row and pixel accessors do not check coordinates.
#pragma once

#include <cstdint>

#include "platform/gfx/bitmap.h"
#include "platform/rtl/types.h"
#include "skin/data/bsSkinTypes.h"

namespace skin {

class TbsEffectBmp : public rtl::TObject {
 public:
  TbsEffectBmp(int cx, int cy);
  // A copy of any bitmap handle's pixels, at its size.
  static TbsEffectBmp* CreateFromhWnd(gfx::HBITMAP hBmp);
  ~TbsEffectBmp() override;
  TbsEffectBmp(const TbsEffectBmp&) = delete;
  TbsEffectBmp& operator=(const TbsEffectBmp&) = delete;

  void GetScanLine(int y, uint8_t* Line) const;
  void SetScanLine(int y, const uint8_t* Line);
  uint8_t* ScanLine(int y) const { return Bits + ptrdiff_t(y) * RowInc(); }
  // The three bytes blue, green, red as one value, blue lowest.
  uint32_t GetPixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t Value);
  // The whole bitmap at (x, y) of the DC, unscaled.
  void Draw(gfx::HDC DC, int x, int y) const;

  // Transitions from this look towards BMP by Kf (0 = this look, 1 = BMP).
  void Morph(const TbsEffectBmp* BMP, double Kf);
  void MorphHGrad(const TbsEffectBmp* BMP, double Kf);
  void MorphVGrad(const TbsEffectBmp* BMP, double Kf);
  void MorphGrad(const TbsEffectBmp* BMP, double Kf);
  void MorphLeftGrad(const TbsEffectBmp* BMP, double Kf);
  void MorphRightGrad(const TbsEffectBmp* BMP, double Kf);
  void MorphLeftSlide(const TbsEffectBmp* BMP, double Kf);
  void MorphRightSlide(const TbsEffectBmp* BMP, double Kf);
  void MorphPush(const TbsEffectBmp* BMP, double Kf);
  // The transition a skin's morph kind names.
  void MorphBy(TbsMorphKind Kind, const TbsEffectBmp* BMP, double Kf);

  void ChangeBrightness(double Kf);
  void ChangeDarkness(double Kf);
  void GrayScale();
  void Invert();
  // The filter an inactive form's pictures get from the skin.
  void ApplyInActiveEffect(TbsInActiveEffect Effect);
  // Each pixel becomes the mean of four samples Amount rows and columns
  // before and after it, read in place (done pixels hold their new values).
  // Samples past the last row or column are taken at the last one.
  void SplitBlur(int Amount);
  void AddMonoNoise(int Amount);

  // Dst, created by the caller Height wide and Width high: a quarter turn
  // counter-clockwise (Rotate90_1) or clockwise (Rotate90_2).
  void Rotate90_1(TbsEffectBmp* Dst) const;
  void Rotate90_2(TbsEffectBmp* Dst) const;
  // Dst of the same size: upside down.
  void FlipVert(TbsEffectBmp* Dst) const;

  int RowInc() const { return 3 * Width + Width % 4; }

  gfx::HBITMAP Handle;
  int Width = 0;
  int Height = 0;
  int Size = 0;
  uint8_t* Bits = nullptr;
  gfx::BITMAPINFOHEADER BmpHeader;
  gfx::BITMAPINFO BmpInfo;

 private:
  bool SameSize(const TbsEffectBmp* B) const { return B && B->Width == Width && B->Height == Height; }
  uint8_t* Pixel(int x, int y) const { return ScanLine(y) + x * 3; }
};

}  // namespace skin
