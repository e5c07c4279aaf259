// The player's video output as a Qt raster window: keeps the last presented
// image, paints it on every expose, reports resizes, exposes and clicks.
#pragma once

#include <QImage>
#include <QRasterWindow>

#include <mutex>

#include "media/VideoOutput.h"

class QtVideoOutput : public QRasterWindow, public media::IVideoOutput {
 public:
  QtVideoOutput();

  void GetClientSize(int& width, int& height) override;
  void Present(const uint8_t* bgra, int stride, int width, int height) override;
  void Clear() override;
  void SetEventListener(media::IVideoOutputEvents* listener) override;

  QImage Snapshot();  // what the window shows now

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void exposeEvent(QExposeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;

 private:
  std::mutex lock_;
  QImage image_;
  media::IVideoOutputEvents* listener_ = nullptr;
  int width_ = 0, height_ = 0;
};
