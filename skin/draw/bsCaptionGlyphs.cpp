#include "skin/draw/bsCaptionGlyphs.h"

#include <initializer_list>

namespace skin {

namespace {

struct Line {
  int x0, y0, x1, y1;
};

void Lines(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color, std::initializer_list<Line> lines) {
  Canvas->Pen()->SetColor(Color);
  for (const Line& l : lines) {
    Canvas->MoveTo(X + l.x0, Y + l.y0);
    Canvas->LineTo(X + l.x1, Y + l.y1);
  }
}

void Outlines(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color, std::initializer_list<Line> rects) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetStyle(gfx::bsClear);
  for (const Line& r : rects) Canvas->Rectangle(X + r.x0, Y + r.y0, X + r.x1, Y + r.y1);
}

}  // namespace

void DrawCloseGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  Lines(Canvas, X, Y, Color, {{1, 1, 9, 9}, {9, 1, 1, 9}, {2, 1, 10, 9}, {8, 1, 0, 9}});
}

void DrawMaximizeGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  Outlines(Canvas, X, Y, Color, {{0, 0, 11, 10}, {0, 0, 11, 2}});
}

void DrawMinimizeGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  Lines(Canvas, X, Y, Color, {{1, 8, 9, 8}, {1, 9, 9, 9}});
}

void DrawRestoreGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  Outlines(Canvas, X, Y, Color, {{2, 0, 10, 6}, {2, 0, 10, 2}, {0, 4, 7, 10}, {0, 4, 7, 6}});
}

void DrawRollUpGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  // The last line runs from a point to itself: the tip row stays empty.
  Lines(Canvas, X, Y, Color, {{1, 6, 9, 6}, {2, 5, 8, 5}, {3, 4, 7, 4}, {4, 3, 6, 3}, {5, 2, 5, 2}});
}

void DrawRollDownGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  Lines(Canvas, X, Y, Color, {{1, 2, 9, 2}, {2, 3, 8, 3}, {3, 4, 7, 4}, {4, 5, 6, 5}, {5, 6, 5, 6}});
}

void DrawMinimizeToTrayGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  Canvas->Pen()->SetColor(Color);
  Canvas->Brush()->SetColor(Color);
  Canvas->Rectangle(X + 2, Y + 2, X + 7, Y + 7);
}

void DrawSysMenuGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TColor Color) {
  Outlines(Canvas, X, Y, Color, {{1, 3, 9, 6}});
}

}  // namespace skin
