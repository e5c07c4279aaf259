// Placement of a glyph and a caption inside a rectangle (Layout, Margin,
// Spacing, as on the skinned buttons), drawing an image-list image or one
// glyph of a strip with a word-wrapped caption, the dotted focus rectangle
// and the small arrow glyphs.
#pragma once

#include <string>

#include "platform/gfx/canvas.h"
#include "platform/cl/imglist.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/geom.h"

namespace skin {

using rtl::TRect;

// Where the glyph stands relative to the caption; other values place nothing.
enum TbsButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The number of equal-width glyphs side by side in a glyph strip (1 to 4);
// a type of its own so that it cannot trade places with the glyph number.
struct TbsNumGlyphs {
  int Value;
  explicit constexpr TbsNumGlyphs(int V) : Value(V) {}
};

struct TbsGlyphCaptionPos {
  int TextX = 0, TextY = 0, GlyphX = 0, GlyphY = 0;
};

// Margin -1 centres glyph and caption together as one block; Spacing counts
// only with a glyph (GlyphWidth > 0). Halves truncate toward zero.
TbsGlyphCaptionPos CalcGlyphCaptionLayout(TbsButtonLayout Layout, const TRect& R, int GlyphWidth, int GlyphHeight,
                                          int TextWidth, int TextHeight, int Spacing, int Margin);

// An image of the list (counted only when the index is inside it) and the
// caption measured and drawn word-wrapped, both placed by the layout; Down
// moves both one pixel right and down; a disabled image is drawn greyed. The
// colour bar draws three lines under the image (or caption), or fills the
// rectangle when there is neither.
void DrawImageAndText(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const std::string& Caption, int ImageIndex, const cl::TCustomImageList* Images, bool Down,
                      bool Enabled, bool DrawColorBar, gfx::TColor ColorBarValue);
// The same with the caption lines not centred horizontally.
void DrawImageAndText2(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                       const std::string& Caption, int ImageIndex, const cl::TCustomImageList* Images, bool Down,
                       bool Enabled, bool DrawColorBar, gfx::TColor ColorBarValue);
// The same with glyph GlyphNumber (from 1) of a strip instead of an image.
void DrawGlyphAndText(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const std::string& Caption, gfx::TBitmap* Glyph, TbsNumGlyphs NumGlyphs, int GlyphNumber,
                      bool Down, bool DrawColorBar, gfx::TColor ColorBarValue);
// Glyph GlyphNumber (from 1) of the strip at X, Y, transparent in the colour
// of its bottom-left pixel.
void DrawGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TBitmap* Glyph, TbsNumGlyphs NumGlyphs, int GlyphNumber);

// Every other pixel of R's outline in the font colour, walked clockwise
// from the top-left pixel, which is left out when both the width and the
// height less one are even.
void DrawSkinFocusRect(gfx::TCanvas* Canvas, const TRect& R);
// Lines of 5, 3 and 1 pixels below R's centre: a small down-pointing triangle.
void DrawTrackArrowGlyph(gfx::TCanvas* Canvas, const TRect& R, gfx::TColor Color);
// A triangle of lines of 1, 3, 5 and 7 pixels centred in R, its tip pointing
// left (1), right (2), up (3) or down (4); other kinds draw nothing.
void DrawArrowGlyph(gfx::TCanvas* Canvas, const TRect& R, gfx::TColor Color, int Kind);

}  // namespace skin
