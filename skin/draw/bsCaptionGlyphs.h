// The symbols of the standard window buttons, drawn with pen lines (a line
// leaves out its end point) and rectangle outlines when no skin picture
// supplies them. X, Y is the top-left corner of a cell of at most 11 x 10
// pixels; each sets the canvas's pen colour to Color.
#pragma once

#include "platform/gfx/canvas.h"

namespace skin {

// Two 2-pixel diagonals crossing.
void DrawCloseGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);
// A window outline with a 2-pixel title bar.
void DrawMaximizeGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);
// A 2-pixel bar at the bottom.
void DrawMinimizeGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);
// Two overlapping window outlines, each with a 2-pixel title bar.
void DrawRestoreGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);
// A triangle pointing up (rows of 8, 6, 4 and 2 pixels; the tip row stays empty).
void DrawRollUpGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);
// Its mirror image, pointing down.
void DrawRollDownGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);
// A filled 5 x 5 square (the brush takes Color too).
void DrawMinimizeToTrayGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);
// An outlined bar.
void DrawSysMenuGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color);

}  // namespace skin
