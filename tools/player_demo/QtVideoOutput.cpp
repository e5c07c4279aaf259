#include "tools/player_demo/QtVideoOutput.h"

#include <QMetaObject>
#include <QPainter>
#include <QResizeEvent>

QtVideoOutput::QtVideoOutput() = default;

void QtVideoOutput::GetClientSize(int& width, int& height) {
  std::lock_guard<std::mutex> g(lock_);
  width = width_;
  height = height_;
}

// Called on the play thread: copy, then ask the GUI thread to repaint.
void QtVideoOutput::Present(const uint8_t* bgra, int stride, int width, int height) {
  {
    std::lock_guard<std::mutex> g(lock_);
    image_ = QImage(bgra, width, height, stride, QImage::Format_RGB32).copy();
  }
  QMetaObject::invokeMethod(
      this, [this] { update(); }, Qt::QueuedConnection);
}

void QtVideoOutput::Clear() {
  {
    std::lock_guard<std::mutex> g(lock_);
    image_ = QImage();
  }
  QMetaObject::invokeMethod(
      this, [this] { update(); }, Qt::QueuedConnection);
}

void QtVideoOutput::SetEventListener(media::IVideoOutputEvents* listener) {
  std::lock_guard<std::mutex> g(lock_);
  listener_ = listener;
}

QImage QtVideoOutput::Snapshot() {
  QImage shot(width(), height(), QImage::Format_RGB32);
  shot.fill(Qt::black);
  QPainter p(&shot);
  std::lock_guard<std::mutex> g(lock_);
  if (!image_.isNull()) p.drawImage(0, 0, image_);
  return shot;
}

void QtVideoOutput::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(QRect(0, 0, width(), height()), Qt::black);
  std::lock_guard<std::mutex> g(lock_);
  if (!image_.isNull()) p.drawImage(0, 0, image_);
}

void QtVideoOutput::resizeEvent(QResizeEvent* e) {
  std::lock_guard<std::mutex> g(lock_);
  width_ = e->size().width();
  height_ = e->size().height();
  if (listener_) listener_->VideoOutputResized(width_, height_);
}

void QtVideoOutput::exposeEvent(QExposeEvent* e) {
  QRasterWindow::exposeEvent(e);
  std::lock_guard<std::mutex> g(lock_);
  if (listener_ && isExposed()) listener_->VideoOutputExposed();
}

void QtVideoOutput::mousePressEvent(QMouseEvent*) {
  requestActivate();
  std::lock_guard<std::mutex> g(lock_);
  if (listener_) listener_->VideoOutputClicked();
}
