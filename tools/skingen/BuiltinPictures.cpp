#include "tools/skingen/BuiltinPictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>

#include <cstring>
#include <string>

#include "app/CatalogueData.h"
#include "tools/skingen/Paint.h"

namespace skingen {

namespace {

QImage Blank(int w, int h, const QColor& fill = Qt::transparent) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(fill);
  return img;
}

QFont SmallFont(int px, bool bold) {
  QFont f("WenQuanYi Micro Hei");
  f.setPixelSize(px);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

// --- slider (4 bits per pixel, the depth the slider reads) -------------------------------

const std::vector<QColor>& SliderPalette() {
  static const std::vector<QColor> pal = {
      QColor(0, 0, 0),       QColor(128, 0, 0),   QColor(0, 128, 0),   QColor(128, 128, 0),
      QColor(0, 0, 128),     QColor(128, 0, 128), QColor(0, 128, 128), QColor(192, 192, 192),
      QColor(128, 128, 128), QColor(255, 0, 0),   QColor(0, 255, 0),   QColor(255, 255, 0),
      QColor(0, 0, 255),     QColor(255, 0, 255), QColor(0, 255, 255), QColor(255, 255, 255)};
  return pal;
}

QImage SliderThumb(int w, int h, bool vertical) {
  // Two states side by side: normal, then pressed or disabled.
  QImage img = Blank(w, h, QColor(192, 192, 192));
  QPainter p(&img);
  int cw = w / 2;
  for (int s = 0; s < 2; ++s) {
    QRect c(s * cw, 0, cw, h);
    QColor face = s ? QColor(128, 128, 128) : QColor(192, 192, 192);
    p.fillRect(c, face);
    p.fillRect(QRect(c.left(), c.top(), c.width(), 1), Qt::white);
    p.fillRect(QRect(c.left(), c.top(), 1, c.height()), Qt::white);
    p.fillRect(QRect(c.left(), c.bottom(), c.width(), 1), Qt::black);
    p.fillRect(QRect(c.right(), c.top(), 1, c.height()), Qt::black);
    p.fillRect(QRect(c.left() + 1, c.bottom() - 1, c.width() - 2, 1), QColor(128, 128, 128));
    p.fillRect(QRect(c.right() - 1, c.top() + 1, 1, c.height() - 2), QColor(128, 128, 128));
    // A groove across the middle shows the grip.
    if (vertical)
      p.fillRect(QRect(c.left() + 3, c.top() + h / 2, cw - 6, 1), QColor(0, 0, 128));
    else
      p.fillRect(QRect(c.left() + cw / 2, c.top() + 3, 1, h - 6), QColor(0, 0, 128));
  }
  return img;
}

QImage SliderRuler(int w, int h) {
  QImage img = Blank(w, h, QColor(192, 192, 192));
  QPainter p(&img);
  p.fillRect(QRect(0, 0, w, h), Qt::white);
  p.fillRect(QRect(0, 0, w, 1), QColor(128, 128, 128));
  p.fillRect(QRect(0, 0, 1, h), QColor(128, 128, 128));
  p.fillRect(QRect(1, 1, w - 2, 1), Qt::black);
  p.fillRect(QRect(1, 1, 1, h - 2), Qt::black);
  p.fillRect(QRect(0, h - 1, w, 1), Qt::white);
  p.fillRect(QRect(w - 1, 0, 1, h), Qt::white);
  p.fillRect(QRect(2, 2, w - 3, h - 3), QColor(192, 192, 192));
  return img;
}

// --- shell bitmaps -------------------------------------------------------------------------

QImage Folder(int size, bool open) {
  QImage img = Blank(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  double s = size / 16.0;
  QColor back("#E0A526"), front("#F7C948"), edge("#A8740F");
  QPainterPath tab;
  tab.addRoundedRect(QRectF(1 * s, 2.5 * s, 6 * s, 3 * s), 1 * s, 1 * s);
  p.fillPath(tab, back);
  QRectF body(1 * s + 0.5, 4 * s + 0.5, 14 * s - 1, 10 * s - 1);
  p.setPen(QPen(edge, 1));
  p.setBrush(back);
  p.drawRoundedRect(body, 1.2 * s, 1.2 * s);
  if (open) {
    QPolygonF f;
    f << QPointF(3 * s, 7 * s) << QPointF(15.5 * s, 7 * s) << QPointF(13.5 * s, 14 * s - 0.5)
      << QPointF(1 * s + 0.5, 14 * s - 0.5);
    p.setBrush(front);
    p.drawPolygon(f);
  } else {
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, front);
    g.setColorAt(1, QColor("#EBB42F"));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1 * s + 0.5, 6 * s + 0.5, 14 * s - 1, 8 * s - 1), 1.2 * s, 1.2 * s);
  }
  return img;
}

QImage Drive(int size) {
  QImage img = Blank(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  double s = size / 16.0;
  QRectF body(1 * s + 0.5, 5 * s + 0.5, 14 * s - 1, 7 * s - 1);
  QLinearGradient g(body.topLeft(), body.bottomLeft());
  g.setColorAt(0, QColor("#D9DDE3"));
  g.setColorAt(1, QColor("#9EA6B0"));
  p.setPen(QPen(QColor("#59616B"), 1));
  p.setBrush(g);
  p.drawRoundedRect(body, 1.5 * s, 1.5 * s);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#2ECC71"));
  p.drawEllipse(QPointF(12 * s, 8.5 * s), 1.1 * s, 1.1 * s);
  p.fillRect(QRectF(3 * s, 8 * s, 5 * s, 1 * s), QColor("#59616B"));
  return img;
}

QImage File(int size) {
  QImage img = Blank(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  double s = size / 16.0;
  QPolygonF page;
  page << QPointF(3 * s + 0.5, 1 * s + 0.5) << QPointF(10 * s, 1 * s + 0.5) << QPointF(13 * s - 0.5, 4 * s)
       << QPointF(13 * s - 0.5, 15 * s - 0.5) << QPointF(3 * s + 0.5, 15 * s - 0.5);
  p.setPen(QPen(QColor("#6B7480"), 1));
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  QPolygonF fold;
  fold << QPointF(10 * s, 1 * s + 0.5) << QPointF(10 * s, 4 * s) << QPointF(13 * s - 0.5, 4 * s);
  p.setBrush(QColor("#D5DAE0"));
  p.drawPolygon(fold);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int i = 0; i < 3; ++i) p.fillRect(QRectF(5 * s, (7 + 2.5 * i) * s, 6 * s, std::max(1.0, s)), QColor("#9AA3AE"));
  return img;
}

// --- message-box icons ----------------------------------------------------------------------

QImage MessageIcon(char kind) {
  const int n = 32;
  QImage img = Blank(n, n);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  QColor c = kind == 'i'   ? QColor("#1E6FD9")
             : kind == 'w' ? QColor("#F2B400")
             : kind == 'e' ? QColor("#D93025")
                           : QColor("#1E6FD9");
  if (kind == 'w') {
    QPainterPath tri;
    tri.moveTo(16, 2.5);
    tri.lineTo(30, 28.5);
    tri.lineTo(2, 28.5);
    tri.closeSubpath();
    p.setPen(QPen(Darker(c, 0.25), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c);
    p.drawPath(tri);
  } else {
    QLinearGradient g(0, 0, 0, n);
    g.setColorAt(0, Lighter(c, 0.2));
    g.setColorAt(1, Darker(c, 0.1));
    p.setPen(QPen(Darker(c, 0.25), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
  }
  QColor mark = kind == 'w' ? QColor("#1F1F1F") : QColor(Qt::white);
  p.setPen(Qt::NoPen);
  p.setBrush(mark);
  switch (kind) {
    case 'i':
      p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
      p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1, 1);
      break;
    case 'w':
      p.drawRoundedRect(QRectF(14.2, 10, 3.6, 10.5), 1.2, 1.2);
      p.drawEllipse(QPointF(16, 24.2), 2, 2);
      break;
    case 'e': {
      QPen x(mark, 3.2, Qt::SolidLine, Qt::RoundCap);
      p.setPen(x);
      p.drawLine(QPointF(11, 11), QPointF(21, 21));
      p.drawLine(QPointF(21, 11), QPointF(11, 21));
      break;
    }
    default: {
      QPen q(mark, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
      p.setPen(q);
      p.setBrush(Qt::NoBrush);
      QPainterPath path;
      path.moveTo(11.5, 12);
      path.cubicTo(11.5, 6.5, 20.5, 6.5, 20.5, 12);
      path.cubicTo(20.5, 15.5, 16, 15.5, 16, 19.5);
      p.drawPath(path);
      p.setPen(Qt::NoPen);
      p.setBrush(mark);
      p.drawEllipse(QPointF(16, 24.5), 2, 2);
      break;
    }
  }
  return img;
}

// --- tool bar glyphs (24 x 24, enabled in colour, disabled in grey) ----------------------------

QImage ToolGlyph(const std::string& what, bool enabled) {
  const int n = 24;
  QImage img = Blank(n, n);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  // Disabled glyphs keep their shapes in greys of their own lightness, washed out.
  auto col = [&](const char* c) {
    QColor q(c);
    if (enabled) return q;
    int g = qGray(q.rgb());
    return Mix(QColor(g, g, g), QColor("#D8DADD"), 0.45);
  };
  QPen line(col("#3A4048"), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  if (what == "ADD") {
    p.setPen(Qt::NoPen);
    p.setBrush(col("#2E9E4F"));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(11, 6.5, 2, 11));
    p.drawRect(QRectF(6.5, 11, 11, 2));
  } else if (what == "REMOVE") {
    p.setPen(Qt::NoPen);
    p.setBrush(col("#D93025"));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 11, 11, 2));
  } else if (what == "CLEAR") {
    p.setPen(QPen(col("#5B6470"), 1.2));
    p.setBrush(col("#E8EBEF"));
    p.drawRoundedRect(QRectF(5.5, 6.5, 13, 15), 1.5, 1.5);
    p.setBrush(col("#5B6470"));
    p.drawRect(QRectF(3.5, 4, 17, 2));
    p.drawRect(QRectF(9.5, 2, 5, 2));
    for (int i = 0; i < 3; ++i) p.drawRect(QRectF(8.5 + i * 3, 9.5, 1, 9));
  } else if (what == "START") {
    p.setPen(Qt::NoPen);
    p.setBrush(col("#1E8E3E"));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::white);
    QPolygonF t;
    t << QPointF(9.5, 7) << QPointF(17.5, 12) << QPointF(9.5, 17);
    p.drawPolygon(t);
  } else if (what == "STOP") {
    p.setPen(Qt::NoPen);
    p.setBrush(col("#C5221F"));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 8, 8, 8), 1, 1);
  } else if (what == "PAUSE") {
    p.setPen(Qt::NoPen);
    p.setBrush(col("#E37400"));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 7.5, 2.5, 9));
    p.drawRect(QRectF(13, 7.5, 2.5, 9));
  } else if (what == "RESUME") {
    p.setPen(Qt::NoPen);
    p.setBrush(col("#1A73E8"));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 7.5, 2.5, 9));
    QPolygonF t;
    t << QPointF(12, 7.5) << QPointF(17.5, 12) << QPointF(12, 16.5);
    p.drawPolygon(t);
  } else if (what == "OPTIONS") {
    p.setPen(Qt::NoPen);
    p.setBrush(col("#5F6B7A"));
    QPainterPath gear;
    for (int i = 0; i < 8; ++i) {
      p.save();
      p.translate(12, 12);
      p.rotate(i * 45);
      p.drawRect(QRectF(-1.8, -10, 3.6, 5));
      p.restore();
    }
    p.drawEllipse(QPointF(12, 12), 7, 7);
    p.setBrush(enabled ? QColor(Qt::white) : QColor("#EEF0F2"));
    p.drawEllipse(QPointF(12, 12), 3, 3);
  } else if (what == "SKIN") {
    p.setPen(QPen(col("#4A3B2A"), 1));
    p.setBrush(col("#F2E3C6"));
    QPainterPath pal;
    pal.addEllipse(QRectF(2.5, 3.5, 19, 17));
    p.drawPath(pal);
    const char* dots[] = {"#D93025", "#1A73E8", "#1E8E3E", "#F9AB00"};
    QPointF at[] = {{8, 9}, {13, 7.5}, {17, 11}, {8, 15}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
      p.setBrush(col(dots[i]));
      p.drawEllipse(at[i], 2, 2);
    }
  } else if (what == "RENAME") {
    p.setPen(QPen(col("#5B6470"), 1));
    p.setBrush(col("#FFFFFF"));
    p.drawRoundedRect(QRectF(2.5, 7.5, 19, 9), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(col("#1A73E8"));
    p.drawRect(QRectF(5, 10, 9, 4));
    p.setBrush(col("#3A4048"));
    p.drawRect(QRectF(16, 5, 1.5, 14));
  }
  (void)line;
  return img;
}

// --- preview button glyphs (16 x 16) --------------------------------------------------------
// The same glyphs lie on light button faces and on dark ones, and no single
// tone stands out on both: each shape is a light tint of its colour inside
// a one-pixel rim of a deep shade, so the rim carries it on a light face and
// the fill on a dark one.

struct Tones {
  QColor rim, fill;
};

// The shape filled with the rim's shade, then its inside, one pixel in from
// every edge, with the fill.
void Inked(QPainter& p, const QPainterPath& shape, const Tones& t) {
  QPainterPathStroker edge;
  edge.setWidth(2);
  edge.setJoinStyle(Qt::MiterJoin);
  p.fillPath(shape, t.rim);
  p.fillPath(shape.subtracted(edge.createStroke(shape)), t.fill);
}

// A line drawn as an inked shape `width` pixels across.
QPainterPath Stroke(const QPainterPath& line, double width) {
  QPainterPathStroker s;
  s.setWidth(width);
  s.setCapStyle(Qt::RoundCap);
  return s.createStroke(line).simplified();
}

}  // namespace

QImage PreviewGlyph(const std::string& what) {
  const int n = 16;
  QImage img = Blank(n, n);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  const Tones green{QColor("#062B12"), QColor("#7EDB8F")}, amber{QColor("#3A1E00"), QColor("#FFC14D")},
      red{QColor("#420A06"), QColor("#FF9C8F")}, blue{QColor("#05204A"), QColor("#8CC4FF")},
      steel{QColor("#15212C"), QColor("#B9CBDA")};
  const Tones& ink = what == "PLAY"                               ? green
                     : what == "PAUSE"                            ? amber
                     : what == "STOP"                             ? red
                     : what == "SETTINGS" || what == "FULLSCREEN" ? steel
                                                                  : blue;
  auto speaker = [&] {
    QPolygonF s;
    s << QPointF(0.5, 5) << QPointF(4, 5) << QPointF(8.5, 1) << QPointF(8.5, 15) << QPointF(4, 11) << QPointF(0.5, 11);
    QPainterPath path;
    path.addPolygon(s);
    path.closeSubpath();
    Inked(p, path, ink);
  };
  QPainterPath path;
  if (what == "PLAY") {
    path.addPolygon(QPolygonF() << QPointF(3.5, 1.5) << QPointF(14, 8) << QPointF(3.5, 14.5));
    path.closeSubpath();
    Inked(p, path, ink);
  } else if (what == "PAUSE") {
    path.addRect(QRectF(3, 2, 4, 12));
    path.addRect(QRectF(9, 2, 4, 12));
    Inked(p, path, ink);
  } else if (what == "STOP") {
    path.addRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
    Inked(p, path, ink);
  } else if (what == "MUTE") {
    speaker();
    QPainterPath wave;
    wave.arcMoveTo(QRectF(4.5, 3, 10, 10), -60);
    wave.arcTo(QRectF(4.5, 3, 10, 10), -60, 120);
    Inked(p, Stroke(wave, 4), ink);
  } else if (what == "UNMUTE") {
    speaker();
    QPainterPath cross;
    cross.moveTo(10, 5.5);
    cross.lineTo(14.5, 10.5);
    cross.moveTo(14.5, 5.5);
    cross.lineTo(10, 10.5);
    Inked(p, Stroke(cross, 4), red);
  } else if (what == "FULLSCREEN") {
    // A screen with its corners pushed out.
    path.addRect(QRectF(1, 2, 14, 12));
    Inked(p, path, ink);
    p.setPen(QPen(ink.rim, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    for (QPointF c : {QPointF(4, 5), QPointF(12, 5), QPointF(4, 11), QPointF(12, 11)}) {
      const double dx = c.x() < 8 ? 2.5 : -2.5, dy = c.y() < 8 ? 2 : -2;
      p.drawPolyline(QPolygonF() << QPointF(c.x() + dx, c.y()) << c << QPointF(c.x(), c.y() + dy));
    }
  } else if (what == "SNAPSHOT") {
    path.addRoundedRect(QRectF(1, 4, 14, 10.5), 2, 2);
    path.addRect(QRectF(5, 2, 6, 3));
    Inked(p, path.simplified(), ink);
    QPainterPath lens;
    lens.addEllipse(QPointF(8, 9.2), 3.5, 3.5);
    Inked(p, lens, {ink.rim, Qt::white});
    p.setPen(Qt::NoPen);
    p.setBrush(ink.rim);
    p.drawEllipse(QPointF(8, 9.2), 1.3, 1.3);
  } else if (what == "SETTINGS") {
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i < 8; ++i) {
      QTransform t;
      t.translate(8, 8);
      t.rotate(i * 45);
      QPainterPath tooth;
      tooth.addRect(QRectF(-1.9, -8, 3.8, 4));
      path.addPath(t.map(tooth));
    }
    path.addEllipse(QPointF(8, 8), 5.5, 5.5);
    Inked(p, path.simplified(), ink);
    // The axle hole shows the face, with no rim to crowd the small gear.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
  }
  return img;
}

const std::vector<std::string>& PreviewGlyphNames() {
  static const std::vector<std::string> kNames = {"PLAY",   "PAUSE",      "STOP",     "MUTE",
                                                  "UNMUTE", "FULLSCREEN", "SNAPSHOT", "SETTINGS"};
  return kNames;
}

namespace {

// --- chooser images (32 x 32) -------------------------------------------------------------------

QColor CategoryColour(int id) {
  static const char* const kColours[] = {"#1A73E8", "#8E24AA", "#0B8043", "#546E7A", "#37474F", "#283593", "#00897B",
                                         "#616161", "#2E7D32", "#6D4C41", "#D81B60", "#E64A19", "#455A64", "#3949AB",
                                         "#C62828", "#1565C0", "#AD1457", "#0277BD", "#00838F", "#558B2F", "#4527A0",
                                         "#EF6C00", "#5D4037", "#B71C1C", "#00695C", "#512DA8", "#263238", "#F57C00"};
  return QColor(kColours[((id % 28) + 28) % 28]);
}

enum class Symbol { Film, Note, Phone, Tablet, Tv, Box, Player };

Symbol CategorySymbol(int id) {
  switch (id) {
    case 1:
      return Symbol::Note;
    case 3:
    case 5:
    case 9:
      return Symbol::Player;
    case 4:
    case 19:
    case 24:
      return Symbol::Phone;
    case 12:
    case 25:
      return Symbol::Tablet;
    case 26:
      return Symbol::Tv;
    case 27:
    case 8:
      return Symbol::Box;
    default:
      return Symbol::Film;
  }
}

void DrawSymbol(QPainter& p, Symbol s, const QRectF& r, const QColor& c) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  double x = r.left(), y = r.top(), w = r.width(), h = r.height();
  switch (s) {
    case Symbol::Film: {
      p.drawRoundedRect(QRectF(x, y + h * 0.1, w, h * 0.8), 1.5, 1.5);
      p.setBrush(QColor(0, 0, 0, 90));
      for (int i = 0; i < 4; ++i) {
        p.drawRect(QRectF(x + 1.5 + i * (w - 3) / 4, y + h * 0.14, 1.6, 1.6));
        p.drawRect(QRectF(x + 1.5 + i * (w - 3) / 4, y + h * 0.86 - 1.6, 1.6, 1.6));
      }
      break;
    }
    case Symbol::Note: {
      p.drawEllipse(QRectF(x, y + h * 0.62, w * 0.42, h * 0.34));
      p.drawRect(QRectF(x + w * 0.34, y + h * 0.05, 1.8, h * 0.75));
      p.drawRect(QRectF(x + w * 0.34, y + h * 0.05, w * 0.5, 2.2));
      p.drawEllipse(QRectF(x + w * 0.55, y + h * 0.52, w * 0.42, h * 0.34));
      p.drawRect(QRectF(x + w * 0.84, y + h * 0.05, 1.8, h * 0.65));
      break;
    }
    case Symbol::Phone:
      p.drawRoundedRect(QRectF(x + w * 0.25, y, w * 0.5, h), 2, 2);
      p.setBrush(QColor(0, 0, 0, 90));
      p.drawRect(QRectF(x + w * 0.3, y + h * 0.12, w * 0.4, h * 0.7));
      break;
    case Symbol::Tablet:
      p.drawRoundedRect(QRectF(x + w * 0.1, y, w * 0.8, h), 2, 2);
      p.setBrush(QColor(0, 0, 0, 90));
      p.drawRect(QRectF(x + w * 0.17, y + h * 0.1, w * 0.66, h * 0.75));
      break;
    case Symbol::Tv:
      p.drawRoundedRect(QRectF(x, y + h * 0.05, w, h * 0.72), 1.5, 1.5);
      p.drawRect(QRectF(x + w * 0.3, y + h * 0.85, w * 0.4, h * 0.12));
      p.setBrush(QColor(0, 0, 0, 90));
      p.drawRect(QRectF(x + 1.5, y + h * 0.05 + 1.5, w - 3, h * 0.72 - 3));
      break;
    case Symbol::Box:
      p.drawRoundedRect(QRectF(x, y + h * 0.35, w, h * 0.45), 1.5, 1.5);
      p.setBrush(QColor(0, 0, 0, 90));
      p.drawEllipse(QPointF(x + w * 0.8, y + h * 0.57), 1.4, 1.4);
      p.setBrush(c);
      p.drawRect(QRectF(x + w * 0.2, y + h * 0.1, 1.5, h * 0.25));
      break;
    case Symbol::Player:
      p.drawRoundedRect(QRectF(x + w * 0.2, y, w * 0.6, h), 2.5, 2.5);
      p.setBrush(QColor(0, 0, 0, 90));
      p.drawRect(QRectF(x + w * 0.27, y + h * 0.08, w * 0.46, h * 0.4));
      p.drawEllipse(QPointF(x + w * 0.5, y + h * 0.72), w * 0.16, w * 0.16);
      break;
  }
  p.restore();
}

// A 32x32 tile: rounded square in the colour, a symbol, a short label.
void Tile(QPainter& p, const QRect& cell, const QColor& c, Symbol s, const QString& label) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  QRectF r = QRectF(cell).adjusted(1.5, 1.5, -1.5, -1.5);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, Lighter(c, 0.18));
  g.setColorAt(1, Darker(c, 0.12));
  p.setPen(QPen(Darker(c, 0.3), 1));
  p.setBrush(g);
  p.drawRoundedRect(r, 5, 5);
  if (label.isEmpty()) {
    DrawSymbol(p, s, QRectF(cell.left() + 7, cell.top() + 7, 18, 18), Qt::white);
  } else {
    DrawSymbol(p, s, QRectF(cell.left() + 9, cell.top() + 4, 14, 13), QColor(255, 255, 255, 235));
    QFont f = SmallFont(label.size() > 4 ? 7 : label.size() > 3 ? 8 : 9, true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(cell.left() + 1, cell.top() + 17, cell.width() - 2, 13), Qt::AlignHCenter | Qt::AlignVCenter,
               label);
  }
  p.restore();
}

QString CategoryLabel(int id) {
  static const char* const kLabels[] = {
      "VIDEO", "AUDIO", "HD",  "iPod", "iPhone", "PSP",  "3GP", "MOV", "Xbox", "PMP",  "MP4",  "FLV",  "iPad", "MPG",
      "SWF",   "AVI",   "MKV", "WMV",  "ASF",    "安卓", "VOB", "MTS", "MOD",  "RMVB", "手机", "平板", "电视", "盒子"};
  return QString::fromUtf8(kLabels[((id % 28) + 28) % 28]);
}

// The extension of a format title "... (*.ext)".
QString FormatExt(const char* title) {
  std::string t = title;
  size_t a = t.rfind("(*."), b = t.rfind(')');
  if (a == std::string::npos || b == std::string::npos || b <= a + 3) return "?";
  return QString::fromStdString(t.substr(a + 3, b - a - 3)).toUpper();
}

QImage CategoryStrip() {
  // Indexes of the category chooser's image list; those the chooser names
  // get their category's picture, the rest the category of the same number.
  int count = 0;
  for (const auto& item : catalogue::kCategoryChooser) count = std::max(count, item.imageIndex + 1);
  count = std::max(count, catalogue::kCategoryCount);
  QImage img = Blank(32 * count, 32);
  QPainter p(&img);
  for (int i = 0; i < count; ++i) {
    int cat = i < catalogue::kCategoryCount ? i : 0;
    for (const auto& item : catalogue::kCategoryChooser)
      if (item.imageIndex == i) cat = item.categoryId;
    Tile(p, QRect(32 * i, 0, 32, 32), CategoryColour(cat), CategorySymbol(cat), CategoryLabel(cat));
  }
  return img;
}

QImage FormatStrip() {
  QImage img = Blank(32 * catalogue::kFormatCount, 32);
  QPainter p(&img);
  for (const auto& cat : catalogue::kCategories) {
    for (int k = 0; k < cat.formatCount; ++k) {
      int i = cat.firstFormat + k;
      const char* title = catalogue::kFormats[i].title;
      bool audio = cat.id == 1;
      Tile(p, QRect(32 * i, 0, 32, 32), CategoryColour(cat.id), audio ? Symbol::Note : CategorySymbol(cat.id),
           FormatExt(title));
    }
  }
  return img;
}

QImage AppIcon(int n) {
  QImage img = Blank(n, n);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  double s = n / 48.0;
  QRectF r(1.5 * s, 1.5 * s, n - 3 * s, n - 3 * s);
  QLinearGradient g(r.topLeft(), r.bottomRight());
  g.setColorAt(0, QColor("#3D8BFD"));
  g.setColorAt(1, QColor("#6F42C1"));
  p.setPen(QPen(QColor("#2B2F7A"), std::max(1.0, s)));
  p.setBrush(g);
  p.drawRoundedRect(r, 10 * s, 10 * s);
  // Two overlapping arrows: one format turned into another.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 235));
  QPolygonF play;
  play << QPointF(17 * s, 12 * s) << QPointF(35 * s, 24 * s) << QPointF(17 * s, 36 * s);
  p.drawPolygon(play);
  p.setBrush(QColor("#FFD166"));
  p.drawEllipse(QPointF(34 * s, 34 * s), 7 * s, 7 * s);
  p.setPen(QPen(QColor("#6F42C1"), 2 * s, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(30.5 * s, 34 * s), QPointF(37.5 * s, 34 * s));
  p.drawLine(QPointF(35 * s, 31 * s), QPointF(37.5 * s, 34 * s));
  p.drawLine(QPointF(35 * s, 37 * s), QPointF(37.5 * s, 34 * s));
  return img;
}

QImage EmptyList() {
  const int w = 360, h = 200;
  QImage img = Blank(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  QColor line("#9AA5B1");
  QPen dash(line, 2, Qt::DashLine, Qt::RoundCap);
  dash.setDashPattern({4, 3});
  p.setPen(dash);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawRoundedRect(QRectF(10, 10, w - 20, h - 20), 12, 12);
  // A film sheet with a plus.
  QRectF sheet(w / 2.0 - 28, 34, 56, 64);
  p.setPen(QPen(QColor("#6B7885"), 1.5));
  p.setBrush(Qt::white);
  p.drawRoundedRect(sheet, 5, 5);
  DrawSymbol(p, Symbol::Film, QRectF(sheet.left() + 10, sheet.top() + 12, 36, 26), QColor("#8FA1B3"));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#1E8E3E"));
  p.drawEllipse(QPointF(sheet.right() - 2, sheet.bottom() - 4), 12, 12);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(sheet.right() - 3.25, sheet.bottom() - 11, 2.5, 14));
  p.drawRect(QRectF(sheet.right() - 9, sheet.bottom() - 5.25, 14, 2.5));
  p.setFont(SmallFont(15, true));
  p.setPen(QColor("#3C4650"));
  p.drawText(QRect(0, 112, w, 24), Qt::AlignCenter, QString::fromUtf8("点击“添加”按钮，添加要转换的文件"));
  p.setFont(SmallFont(12, false));
  p.setPen(QColor("#5A6570"));
  p.drawText(QRect(0, 138, w, 20), Qt::AlignCenter, QString::fromUtf8("支持常见视频和音频格式"));
  return img;
}

}  // namespace

std::vector<BuiltinPicture> MakeBuiltinPictures() {
  std::vector<BuiltinPicture> out;
  auto add = [&](const std::string& name, std::unique_ptr<gfx::TBitmap> b) { out.push_back({name, std::move(b)}); };
  add("BS_HTB", ToBitmap4(SliderThumb(18, 17, false), SliderPalette()));
  add("BS_HRL", ToBitmap4(SliderRuler(10, 8), SliderPalette()));
  add("BS_VTB", ToBitmap4(SliderThumb(38, 9, true), SliderPalette()));
  add("BS_VRL", ToBitmap4(SliderRuler(8, 10), SliderPalette()));
  add("FOLDER", ToBitmap32(Folder(16, false)));
  add("FOLDER_OPEN", ToBitmap32(Folder(16, true)));
  add("DRIVE", ToBitmap32(Drive(16)));
  add("FILE", ToBitmap32(File(16)));
  add("FOLDER32", ToBitmap32(Folder(32, false)));
  add("DRIVE32", ToBitmap32(Drive(32)));
  add("FILE32", ToBitmap32(File(32)));
  add("MSG_INFORMATION", ToBitmap32(MessageIcon('i')));
  add("MSG_WARNING", ToBitmap32(MessageIcon('w')));
  add("MSG_ERROR", ToBitmap32(MessageIcon('e')));
  add("MSG_QUESTION", ToBitmap32(MessageIcon('q')));
  for (const char* g : {"ADD", "REMOVE", "CLEAR", "START", "STOP", "PAUSE", "RESUME", "OPTIONS", "SKIN", "RENAME"}) {
    add(std::string("TB_") + g, ToBitmap32(ToolGlyph(g, true)));
    add(std::string("TB_") + g + "_DISABLED", ToBitmap32(ToolGlyph(g, false)));
  }
  for (const std::string& g : PreviewGlyphNames()) add("PV_" + g, ToBitmap32(PreviewGlyph(g)));
  add("CATEGORY_IMAGES", ToBitmap32(CategoryStrip()));
  add("FORMAT_IMAGES", ToBitmap32(FormatStrip()));
  add("EMPTY_LIST", ToBitmap32(EmptyList()));
  add("MAINICON", ToBitmap32(AppIcon(48)));
  add("MAINICON32", ToBitmap32(AppIcon(32)));
  add("MAINICON16", ToBitmap32(AppIcon(16)));
  return out;
}

}  // namespace skingen
