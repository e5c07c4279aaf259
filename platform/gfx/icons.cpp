#include "platform/gfx/icons.h"

#include "platform/gfx/graphics.h"
#include "platform/gfx/objects.h"
#include "platform/gfx/text.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace gfx {

namespace {

QImage Paint(int id) {
  QImage img(32, 32, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  auto bar = [&](QColor c, QRectF r) { p.fillRect(r, c); };
  switch (id) {
    case IDI_HAND: {  // a red disc with a white cross
      p.setPen(QPen(QColor(128, 0, 0), 1));
      p.setBrush(QColor(220, 30, 30));
      p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
      p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(10, 10), QPointF(22, 22));
      p.drawLine(QPointF(22, 10), QPointF(10, 22));
      break;
    }
    case IDI_EXCLAMATION: {  // a yellow triangle with "!"
      QPainterPath tri;
      tri.moveTo(16, 2.5);
      tri.lineTo(30, 28.5);
      tri.lineTo(2, 28.5);
      tri.closeSubpath();
      p.setPen(QPen(QColor(96, 64, 0), 1));
      p.setBrush(QColor(250, 210, 40));
      p.drawPath(tri);
      bar(Qt::black, QRectF(14.5, 10, 3, 11));
      bar(Qt::black, QRectF(14.5, 23, 3, 3));
      break;
    }
    case IDI_QUESTION:
    case IDI_ASTERISK: {  // a blue disc with "?" or "i"
      p.setPen(QPen(QColor(0, 40, 120), 1));
      p.setBrush(QColor(40, 100, 210));
      p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
      if (id == IDI_ASTERISK) {
        bar(Qt::white, QRectF(14.5, 7, 3, 3));
        bar(Qt::white, QRectF(14.5, 12, 3, 13));
      } else {
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath q;
        q.moveTo(11, 12);
        q.cubicTo(11, 6, 21, 6, 21, 12);
        q.cubicTo(21, 16, 16, 16, 16, 20);
        p.drawPath(q);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(14.5, 23, 3, 3));
      }
      break;
    }
    default: {  // a plain window
      p.setPen(QPen(QColor(64, 64, 64), 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(3.5, 5.5, 25, 21));
      bar(QColor(10, 36, 106), QRectF(4, 6, 24, 5));
      break;
    }
  }
  p.end();
  return img;
}

HICON FromImage(const QImage& src, bool stock) {
  QImage img = src.convertToFormat(QImage::Format_ARGB32);
  std::vector<uint32_t> px(size_t(img.width()) * size_t(img.height()));
  for (int y = 0; y < img.height(); ++y)
    std::memcpy(px.data() + size_t(y) * img.width(), img.constScanLine(y), size_t(img.width()) * 4);
  HICON h = CreateIconFromArgb(img.width(), img.height(), px.data());
  if (stock) detail::MarkStock(h.v);
  return h;
}

}  // namespace

HICON win32api::LoadIcon(const void*, int id) {
  if (id != IDI_APPLICATION && id != IDI_HAND && id != IDI_QUESTION && id != IDI_EXCLAMATION && id != IDI_ASTERISK &&
      id != IDI_WINLOGO)
    return HICON();
  static std::mutex mu;
  static std::map<int, HICON> cache;
  std::lock_guard<std::mutex> g(mu);
  auto it = cache.find(id);
  if (it != cache.end()) return it->second;
  EnsureGuiApplication();
  HICON h = FromImage(Paint(id), true);
  cache[id] = h;
  return h;
}

HICON win32api::CopyImage(HICON image, UINT type, int cx, int cy, UINT) {
  auto* o = detail::GetIcon(image);
  if (!o || type != IMAGE_ICON) return HICON();
  if (cx <= 0) cx = o->width;
  if (cy <= 0) cy = o->height;
  QImage src(reinterpret_cast<const uchar*>(o->argb.data()), o->width, o->height, o->width * 4, QImage::Format_ARGB32);
  QImage scaled = src.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                      .scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_ARGB32);
  return FromImage(scaled, false);
}

}  // namespace gfx
