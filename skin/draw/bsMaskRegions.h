// Window regions from skin masks: a black pixel (red, green and blue all 0)
// is inside, every other pixel outside. One rectangle per horizontal run of
// black pixels, in the platform's region-data layout (a 32-byte header, then
// 16 bytes per rectangle); any number of runs.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/graphics.h"
#include "platform/gfx/region.h"
#include "skin/draw/bsSkinImages.h"

namespace skin {

// Fills RgnData with the header {32, 1, N, 0, bounds X, Y, X + width,
// Y + height} and the N run rectangles moved by (X, Y), row by row from the
// top, left to right; returns its size, 32 + 16 N. An empty mask gives 0 and
// no data.
int CreateRgnDataFromMask(gfx::TBitmap* Mask, int X, int Y, std::vector<uint8_t>& RgnData);
// The region of the whole mask at (0, 0); none (a null handle) for an empty
// mask. The caller owns the region.
void CreateRegionFromMask(gfx::HRGN& Rgn, gfx::TBitmap* Mask);
// Cuts Mask into the four strips around the inner rectangle (Src.ClRect,
// the mask's MaskRectArea) for the new size (New, NewMaskRectArea): sides
// tiled from the mask's side pieces, corners copied. Parts no piece covers
// stay outside. H is not used.
void CreateSkinMaskImages(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* Mask,
                          const TbsFrameStrips& Strips, int W, int H);
// The window region for the new size: the new inner rectangle joined with
// the regions of the four strips. None when the window is smaller than its
// corners or the new inner rectangle is empty. The caller owns the region.
void CreateSkinRegion(gfx::HRGN& Rgn, const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* Mask, int W, int H);

}  // namespace skin
