// The player's pictures go to an rtl::IVideoOutput (platform/rtl/videooutput.h),
// which the host's preview control implements; this adds an output that keeps
// the last image in memory.
#pragma once

#include "platform/rtl/videooutput.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace media {

using rtl::IVideoOutput;
using rtl::IVideoOutputEvents;

// An output that keeps the last image in memory: for tests and headless use.
class TMemoryVideoOutput : public IVideoOutput {
 public:
  TMemoryVideoOutput(int width, int height) : width_(width), height_(height) {}
  void GetClientSize(int& width, int& height) override;
  void Present(const uint8_t* bgra, int stride, int width, int height) override;
  void Clear() override;
  void SetEventListener(IVideoOutputEvents* listener) override;

  // Host side: change the size (reports a resize), expose, click.
  void Resize(int width, int height);
  void Expose();
  void Click();

  // Inspection
  int PresentCount();
  int ClearCount();
  int FocusCount();
  bool HasImage();
  // BGRA pixel of the last image (0 when outside or none).
  uint32_t Pixel(int x, int y);
  void LastImage(std::vector<uint8_t>& bgra, int& width, int& height);

 private:
  std::mutex m_;
  int width_, height_;
  std::vector<uint8_t> image_;
  int img_w_ = 0, img_h_ = 0;
  int presents_ = 0, clears_ = 0, focus_ = 0;
  IVideoOutputEvents* listener_ = nullptr;
};

}  // namespace media
