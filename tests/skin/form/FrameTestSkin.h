// A small synthetic frame skin built in memory, for the form frame's tests
// and demo: a 120 x 80 form picture whose zones have flat, distinct colours
// (so one pixel tells which zone was drawn), an inactive picture, a mask
// with cut corners, caption buttons whose looks are solid colours, and a
// caption record. Variant 1 is a second look of other sizes: a taller
// caption, buttons on the left, larger rounded corners.
#pragma once

#include "skin/data/bsSkinData.h"

namespace skin {

// The colours of the zones (TColor, 0x00BBGGRR).
struct TbsFrameTestColors {
  TColor Corner, Caption, InactiveCaption, Left, Right, Bottom, Client;
  TColor ButtonNormal, ButtonHot, ButtonDown;
  TColor Bar, ItemHot, ItemDown;
};
const TbsFrameTestColors& FrameTestColors(int Variant = 0);

// The store, filled and not empty; owned by the caller. Variant 0 or 1.
TbsOwned<TbsSkinData> MakeFrameTestSkin(int Variant = 0);

// A colour as the 0xRRGGBB a grabbed pixel reads.
inline uint32_t Rgb(TColor c) {
  gfx::COLORREF r = gfx::ColorToRef(c);
  return (uint32_t(gfx::GetRValue(r)) << 16) | (uint32_t(gfx::GetGValue(r)) << 8) | gfx::GetBValue(r);
}

}  // namespace skin
