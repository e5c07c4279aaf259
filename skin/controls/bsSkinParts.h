// Small drawing steps shared by the panels, bars, check and radio boxes and
// the slider.
#pragma once

#include "platform/gfx/graphics.h"
#include "skin/data/bsSkinData.h"

namespace skin {

// Part R of Picture drawn at (X, Y) with the colour of its bottom-left pixel
// transparent. Nothing for an empty part or no picture.
void DrawPicturePartAuto(gfx::TCanvas* C, gfx::TBitmap* Picture, const TRect& R, int X, int Y);
// Part R of Picture drawn at (X, Y) with Key transparent.
void DrawPicturePartKeyed(gfx::TCanvas* C, gfx::TBitmap* Picture, const TRect& R, int X, int Y, TColor Key);
// A one-pixel outline of R, top and left in A, bottom and right in B; R
// comes back one pixel smaller on every side.
void BevelStep(gfx::TCanvas* C, TRect& R, TColor A, TColor B);
// The interface texts' character set when the store has them, else Font's own.
void ApplySkinCharset(gfx::TFont* Font, TbsSkinData* SD);
// Top of an item of height H centred in R (integer halves).
inline int CentredTopIn(const TRect& R, int H) { return R.Top + (R.Bottom - R.Top) / 2 - H / 2; }

}  // namespace skin
