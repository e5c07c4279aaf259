// Stack blur, text with a soft glow behind it, text with a fading mirror
// image below it, and alpha bitmaps made from a picture and a grey mask.
#pragma once

#include <string>

#include "platform/gfx/canvas.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/geom.h"
#include "skin/draw/bsSkinBitmap.h"

namespace skin {

using rtl::TRect;

// The DT_ format flags, the glow size and the glow or reflection offset of
// the glow and reflection texts are types of their own: callers written
// against either argument order of these calls cannot swap them unnoticed.
struct TbsTextFormat {
  unsigned Value;
  explicit constexpr TbsTextFormat(unsigned V) : Value(V) {}
};
struct TbsGlowSize {
  int Value;
  explicit constexpr TbsGlowSize(int V) : Value(V) {}
};
struct TbsTextOffset {
  int Value;
  explicit constexpr TbsTextOffset(int V) : Value(V) {}
};

// Blur radius and glow margin never exceed this: a skin's glow size is an
// unchecked number, and the glow bitmap grows with it.
constexpr int MaxGlowSize = 100;

// Stack blur of the colour channels with tent weights (radius + 1 - distance),
// edges clamped; every pixel comes out opaque. Radius <= 0 changes nothing.
void BlurBitmap(TbsBitmap* Bitmap, int Radius);

// Glow behind text: the text in red, blurred, its red turned into the alpha
// of Color, blended onto Canvas moved by Offset; then the text itself in the
// canvas's font into R. The link-label variant thickens the red text by one
// pixel each way before blurring.
void DrawGlowText(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags, TbsTextOffset Offset,
                  gfx::TColor Color, TbsGlowSize GlowSize);
// The caption variant; returns the height of the final text.
int DrawGlowText2(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags, TbsTextOffset Offset,
                  gfx::TColor Color, TbsGlowSize GlowSize);
// A wider, denser glow (12-pixel margin, a red block behind nine copies of
// the text, two blurs of radius 6); returns the height of the final text.
int DrawVistaGlowText(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags, gfx::TColor Color);
// The text with its mirror image just below its bottom edge (moved down by
// Offset), at most 70 % opaque beside the text and fading with distance.
void DrawReflectionText(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags,
                        TbsTextOffset Offset, gfx::TColor Color);

// Alpha of each pixel := the mask pixel's (red + green + blue) / 3,
// truncated; pixels the mask does not reach become transparent.
void SetAlphaFromMask(TbsBitmap* Bitmap, TbsBitmap* Mask);
// Dest := Image with the alpha of Mask (white opaque, black transparent).
void CreateAlphaBitmap(gfx::TBitmap* Image, gfx::TBitmap* Mask, TbsBitmap* Dest);

}  // namespace skin
