#include "media/VideoOutput.h"

#include <cstring>

namespace media {

void TMemoryVideoOutput::GetClientSize(int& width, int& height) {
  std::lock_guard<std::mutex> g(m_);
  width = width_;
  height = height_;
}

void TMemoryVideoOutput::Present(const uint8_t* bgra, int stride, int width, int height) {
  std::lock_guard<std::mutex> g(m_);
  if (width <= 0 || height <= 0 || !bgra) return;
  image_.resize(size_t(width) * height * 4);
  for (int y = 0; y < height; y++)
    std::memcpy(&image_[size_t(y) * width * 4], bgra + size_t(y) * stride, size_t(width) * 4);
  img_w_ = width;
  img_h_ = height;
  presents_++;
}

void TMemoryVideoOutput::Clear() {
  std::lock_guard<std::mutex> g(m_);
  image_.clear();
  img_w_ = img_h_ = 0;
  clears_++;
}

// The listener is called under the lock, so removing it waits for a running call.
void TMemoryVideoOutput::SetEventListener(IVideoOutputEvents* listener) {
  std::lock_guard<std::mutex> g(m_);
  listener_ = listener;
}

void TMemoryVideoOutput::Resize(int width, int height) {
  std::lock_guard<std::mutex> g(m_);
  width_ = width;
  height_ = height;
  if (listener_) listener_->VideoOutputResized(width, height);
}

void TMemoryVideoOutput::Expose() {
  std::lock_guard<std::mutex> g(m_);
  if (listener_) listener_->VideoOutputExposed();
}

void TMemoryVideoOutput::Click() {
  std::unique_lock<std::mutex> g(m_);
  focus_++;
  if (listener_) listener_->VideoOutputClicked();
}

int TMemoryVideoOutput::PresentCount() {
  std::lock_guard<std::mutex> g(m_);
  return presents_;
}

int TMemoryVideoOutput::ClearCount() {
  std::lock_guard<std::mutex> g(m_);
  return clears_;
}

int TMemoryVideoOutput::FocusCount() {
  std::lock_guard<std::mutex> g(m_);
  return focus_;
}

bool TMemoryVideoOutput::HasImage() {
  std::lock_guard<std::mutex> g(m_);
  return !image_.empty();
}

uint32_t TMemoryVideoOutput::Pixel(int x, int y) {
  std::lock_guard<std::mutex> g(m_);
  if (x < 0 || y < 0 || x >= img_w_ || y >= img_h_) return 0;
  const uint8_t* p = &image_[(size_t(y) * img_w_ + x) * 4];
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void TMemoryVideoOutput::LastImage(std::vector<uint8_t>& bgra, int& width, int& height) {
  std::lock_guard<std::mutex> g(m_);
  bgra = image_;
  width = img_w_;
  height = img_h_;
}

}  // namespace media
