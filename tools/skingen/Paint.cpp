#include "tools/skingen/Paint.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace skingen {

QColor Mix(const QColor& a, const QColor& b, double t) {
  auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()));
}
QColor Lighter(const QColor& c, double t) { return Mix(c, Qt::white, t); }
QColor Darker(const QColor& c, double t) { return Mix(c, Qt::black, t); }
unsigned ToTColor(const QColor& c) { return unsigned(c.red()) | unsigned(c.green()) << 8 | unsigned(c.blue()) << 16; }
QColor FromTColor(unsigned c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

double Luminance(const QColor& c) {
  auto lin = [](int v) {
    double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
  double la = Luminance(a), lb = Luminance(b);
  if (la < lb) std::swap(la, lb);
  return (la + 0.05) / (lb + 0.05);
}

double MinContrast(const QImage& img, const QRect& area, const QColor& fg) {
  double worst = 21;
  QRect a = area.intersected(img.rect());
  for (int y = a.top(); y <= a.bottom(); ++y)
    for (int x = a.left(); x <= a.right(); ++x) worst = std::min(worst, Contrast(fg, QColor(img.pixel(x, y))));
  return worst;
}

double GlyphContrast(const QImage& glyph, const QColor& face) {
  std::vector<double> seen;
  const QImage g = glyph.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < g.height(); ++y)
    for (int x = 0; x < g.width(); ++x) {
      const QColor c = QColor::fromRgba(g.pixel(x, y));
      // Faint anti-aliasing fringes do not carry the shape.
      if (c.alpha() < 128) continue;
      seen.push_back(Contrast(Mix(face, QColor(c.red(), c.green(), c.blue()), c.alphaF()), face));
    }
  if (seen.empty()) return 1;
  std::sort(seen.begin(), seen.end(), std::greater<>());
  return seen[seen.size() / 4];
}

namespace {

QPainterPath Rounded(const QRectF& r, int radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

}  // namespace

void DrawFace(QPainter& p, const QRect& r, const Face& f, int radius) {
  p.save();
  QLinearGradient g(r.topLeft(), r.bottomLeft() + QPoint(0, 1));
  g.setColorAt(0, f.top);
  g.setColorAt(1, f.bottom);
  if (radius <= 0) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(r, g);
    if (f.gloss) {
      QRect upper(r.left(), r.top(), r.width(), r.height() / 2);
      QLinearGradient h(upper.topLeft(), upper.bottomLeft());
      h.setColorAt(0, QColor(255, 255, 255, 90));
      h.setColorAt(1, QColor(255, 255, 255, 20));
      p.fillRect(upper, h);
    }
    // The light (or shadow) line inside the top edge.
    QColor inner = f.sunken ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, f.gloss ? 150 : 70);
    if (f.inner) p.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, 1), inner);
    if (f.ring.isValid()) {
      p.setPen(QPen(f.ring, 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r.adjusted(1, 1, -2, -2));
    }
    p.setPen(QPen(f.border, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  } else {
    p.setRenderHint(QPainter::Antialiasing, true);
    QRectF outer = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path = Rounded(outer, radius);
    p.fillPath(path, g);
    if (f.gloss) {
      QRectF upper(outer.left(), outer.top(), outer.width(), outer.height() / 2);
      QLinearGradient h(upper.topLeft(), upper.bottomLeft());
      h.setColorAt(0, QColor(255, 255, 255, 90));
      h.setColorAt(1, QColor(255, 255, 255, 20));
      p.save();
      p.setClipPath(path);
      p.fillRect(upper, h);
      p.restore();
    }
    QColor inner = f.sunken ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, f.gloss ? 150 : 70);
    p.setBrush(Qt::NoBrush);
    if (f.inner) {
      p.setPen(QPen(inner, 1));
      p.drawPath(Rounded(outer.adjusted(1, 1, -1, -1), std::max(1, radius - 1)));
    }
    if (f.ring.isValid()) {
      p.setPen(QPen(f.ring, 1));
      p.drawPath(Rounded(outer.adjusted(1, 1, -1, -1), std::max(1, radius - 1)));
    }
    p.setPen(QPen(f.border, 1));
    p.drawPath(path);
  }
  p.restore();
}

void DrawGlyph(QPainter& p, const QRect& r, Glyph g, const QColor& c, int size) {
  p.save();
  int cx = r.left() + r.width() / 2, cy = r.top() + r.height() / 2;
  int h = size / 2;
  QPen pen(c, 1);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  auto crisp = [&](bool on) { p.setRenderHint(QPainter::Antialiasing, on); };
  switch (g) {
    case Glyph::Close: {
      crisp(true);
      QPen q(c, 1.4);
      q.setCapStyle(Qt::RoundCap);
      p.setPen(q);
      p.drawLine(QPointF(cx - h + 0.5, cy - h + 0.5), QPointF(cx + h - 0.5, cy + h - 0.5));
      p.drawLine(QPointF(cx + h - 0.5, cy - h + 0.5), QPointF(cx - h + 0.5, cy + h - 0.5));
      break;
    }
    case Glyph::Maximize:
      crisp(false);
      p.drawRect(cx - h, cy - h, 2 * h - 1, 2 * h - 1);
      p.drawLine(cx - h, cy - h + 1, cx + h - 1, cy - h + 1);
      break;
    case Glyph::Minimize:
      crisp(false);
      p.fillRect(cx - h, cy + h - 2, 2 * h, 2, c);
      break;
    case Glyph::Restore:
      crisp(false);
      p.drawRect(cx - h + 2, cy - h, 2 * h - 3, 2 * h - 3);
      p.fillRect(cx - h, cy - h + 2, 2 * h - 2, 2 * h - 2, p.background());
      p.drawRect(cx - h, cy - h + 2, 2 * h - 3, 2 * h - 3);
      break;
    case Glyph::RollUp:
    case Glyph::RollDown:
    case Glyph::ArrowUp:
    case Glyph::ArrowDown:
    case Glyph::ArrowLeft:
    case Glyph::ArrowRight: {
      crisp(false);
      // A solid triangle made of pixel rows, so its edges stay sharp.
      int n = std::max(2, size / 2);
      for (int i = 0; i < n; ++i) {
        int len = 2 * i + 1;
        switch (g) {
          case Glyph::ArrowUp:
          case Glyph::RollUp:
            p.fillRect(cx - i, cy - n / 2 + i, len, 1, c);
            break;
          case Glyph::ArrowDown:
          case Glyph::RollDown:
            p.fillRect(cx - i, cy + n / 2 - i, len, 1, c);
            break;
          case Glyph::ArrowLeft:
            p.fillRect(cx - n / 2 + i, cy - i, 1, len, c);
            break;
          default:
            p.fillRect(cx + n / 2 - i, cy - i, 1, len, c);
            break;
        }
      }
      if (g == Glyph::RollUp) p.fillRect(cx - n + 1, cy - n / 2 - 2, 2 * n - 1, 1, c);
      if (g == Glyph::RollDown) p.fillRect(cx - n + 1, cy + n / 2 + 2, 2 * n - 1, 1, c);
      break;
    }
    case Glyph::Tray:
      crisp(false);
      p.drawRect(cx - h, cy - h, 2 * h - 1, 2 * h - 1);
      p.fillRect(cx, cy, h, h, c);
      break;
    case Glyph::SysMenu:
      crisp(false);
      // Three thin bars with room between them.
      for (int i = -1; i <= 1; ++i) p.fillRect(cx - h, cy + i * 3, 2 * h, 1, c);
      break;
    case Glyph::Check: {
      crisp(true);
      QPen q(c, std::max(1.6, size / 5.0));
      q.setCapStyle(Qt::RoundCap);
      q.setJoinStyle(Qt::RoundJoin);
      p.setPen(q);
      QPointF pts[3] = {QPointF(cx - h + 0.5, cy + 0.5), QPointF(cx - h / 3.0, cy + h - 1.0),
                        QPointF(cx + h - 0.5, cy - h + 1.0)};
      p.drawPolyline(pts, 3);
      break;
    }
    case Glyph::Radio:
      crisp(true);
      p.setPen(Qt::NoPen);
      p.setBrush(c);
      p.drawEllipse(QPointF(cx + 0.0, cy + 0.0), h * 0.6, h * 0.6);
      break;
    case Glyph::Dots:
      crisp(false);
      for (int i = -1; i <= 1; ++i) p.fillRect(cx + i * 4 - 1, cy, 2, 2, c);
      break;
    case Glyph::Grip:
      crisp(false);
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j) p.fillRect(cx + h - 2 - j * 3, cy + h - 2 - (i - j) * 3, 2, 2, c);
      break;
    case Glyph::Plus:
      crisp(false);
      p.fillRect(cx - h, cy, 2 * h + 1, 1, c);
      p.fillRect(cx, cy - h, 1, 2 * h + 1, c);
      break;
    case Glyph::Minus:
      crisp(false);
      p.fillRect(cx - h, cy, 2 * h + 1, 1, c);
      break;
  }
  p.restore();
}

std::unique_ptr<gfx::TBitmap> ToBitmap(const QImage& src) {
  QImage img = src.convertToFormat(QImage::Format_RGB32);
  auto b = std::make_unique<gfx::TBitmap>();
  b->SetPixelFormat(gfx::pf24bit);
  b->SetSize(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y) {
    uint8_t* row = b->ScanLine(y);
    auto* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      row[3 * x] = uint8_t(qBlue(in[x]));
      row[3 * x + 1] = uint8_t(qGreen(in[x]));
      row[3 * x + 2] = uint8_t(qRed(in[x]));
    }
  }
  return b;
}

std::unique_ptr<gfx::TBitmap> ToBitmap32(const QImage& src) {
  QImage img = src.convertToFormat(QImage::Format_ARGB32);
  auto b = std::make_unique<gfx::TBitmap>();
  b->SetPixelFormat(gfx::pf32bit);
  b->SetSize(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y) {
    uint8_t* row = b->ScanLine(y);
    auto* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      row[4 * x] = uint8_t(qBlue(in[x]));
      row[4 * x + 1] = uint8_t(qGreen(in[x]));
      row[4 * x + 2] = uint8_t(qRed(in[x]));
      row[4 * x + 3] = uint8_t(qAlpha(in[x]));
    }
  }
  return b;
}

std::unique_ptr<gfx::TBitmap> ToBitmap4(const QImage& src, const std::vector<QColor>& palette) {
  QImage img = src.convertToFormat(QImage::Format_RGB32);
  auto b = std::make_unique<gfx::TBitmap>();
  b->SetPixelFormat(gfx::pf4bit);
  std::vector<uint32_t> pal;
  for (const QColor& c : palette)
    pal.push_back(uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 | uint32_t(c.blue()));
  while (pal.size() < 16) pal.push_back(0);
  b->SetPalette(pal);
  b->SetSize(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y) {
    uint8_t* row = b->ScanLine(y);
    for (int x = 0; x < img.width(); ++x) {
      QColor c(img.pixel(x, y));
      int best = 0;
      long bestD = -1;
      for (size_t i = 0; i < palette.size(); ++i) {
        long dr = c.red() - palette[i].red(), dg = c.green() - palette[i].green(), db = c.blue() - palette[i].blue();
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) {
          bestD = d;
          best = int(i);
        }
      }
      uint8_t& byte = row[x / 2];
      if (x % 2 == 0)
        byte = uint8_t((byte & 0x0F) | (best << 4));
      else
        byte = uint8_t((byte & 0xF0) | best);
    }
  }
  return b;
}

}  // namespace skingen
