// Painting helpers of the skin generator: colours, bevelled and glossy
// faces with crisp one-pixel edges, the small glyphs, the contrast measure,
// and the conversion of painted images into skin bitmaps.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <memory>

#include "platform/gfx/graphics.h"
#include "platform/rtl/geom.h"

namespace skingen {

QColor Mix(const QColor& a, const QColor& b, double t);  // t = 0 gives a, 1 gives b
QColor Lighter(const QColor& c, double t);               // towards white
QColor Darker(const QColor& c, double t);                // towards black
unsigned ToTColor(const QColor& c);                      // 0x00BBGGRR
QColor FromTColor(unsigned c);

// Relative luminance and contrast ratio as the accessibility guidelines
// define them (sRGB, 1:1 to 21:1).
double Luminance(const QColor& c);
double Contrast(const QColor& a, const QColor& b);
// The lowest contrast of `fg` against any pixel of `area` in `img`.
double MinContrast(const QImage& img, const QRect& area, const QColor& fg);
// How well a picture with alpha stands out on a plain `face`: each of its
// solid pixels is laid over the face, and the contrast that a quarter of
// them reach is returned. A two-tone glyph reads by its edge on one face and
// by its fill on another, so neither tone has to carry it alone, but a
// glyph whose every tone sinks into the face scores low.
double GlyphContrast(const QImage& glyph, const QColor& face);

// A filled face: `top` to `bottom` vertical gradient, optional gloss (a soft
// light band over the upper half), a one-pixel border and an optional inner
// ring; `radius` 0 gives square corners drawn without anti-aliasing.
struct Face {
  QColor top, bottom, border;
  QColor ring = QColor();  // invalid: none
  bool gloss = false;
  bool sunken = false;  // a shadow line inside the top edge instead of a light one
  bool inner = true;    // draw that line at all
};
void DrawFace(QPainter& p, const QRect& r, const Face& f, int radius);

enum class Glyph {
  Close,
  Maximize,
  Minimize,
  Restore,
  RollUp,
  RollDown,
  Tray,
  SysMenu,
  ArrowUp,
  ArrowDown,
  ArrowLeft,
  ArrowRight,
  Check,
  Radio,
  Dots,
  Grip,
  Plus,
  Minus
};
// Centred in r, about `size` pixels across, in colour c.
void DrawGlyph(QPainter& p, const QRect& r, Glyph g, const QColor& c, int size = 8);

// A 24-bit skin bitmap with the image's pixels (alpha dropped).
std::unique_ptr<gfx::TBitmap> ToBitmap(const QImage& img);
// A bitmap with alpha (32-bit) for icons and glyph strips.
std::unique_ptr<gfx::TBitmap> ToBitmap32(const QImage& img);
// A palette bitmap of at most 16 colours (the nearest of `palette` per pixel).
std::unique_ptr<gfx::TBitmap> ToBitmap4(const QImage& img, const std::vector<QColor>& palette);

inline rtl::TRect R(const QRect& q) { return rtl::TRect{q.x(), q.y(), q.x() + q.width(), q.y() + q.height()}; }
inline rtl::TRect Rel(int l, int t, int r, int b) { return rtl::TRect{l, t, r, b}; }

}  // namespace skingen
