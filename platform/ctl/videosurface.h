// The player's picture on screen: a control that implements the video
// output interface of platform/rtl/videooutput.h, through which the player
// draws without the platform knowing the player.
//
// Present and Clear may come from any thread and never wait for the UI
// thread: the picture is copied into a back buffer, swapped with the latest
// one under a short lock, and when no repaint is pending one call is posted
// to the UI thread to invalidate the surface. Pictures that come faster than
// paints replace each other. WM_PAINT shows the latest picture centred on
// black (the player has already letterboxed it to the surface's size) and
// keeps it, so an expose repaints it without the player. Size is read from a
// cached client size. CM_INVALIDATE invalidates and updates at once; when a
// playback ends (the player removes its listener) the picture is forgotten,
// so that repaint shows the empty surface.
#pragma once

#include "platform/rtl/videooutput.h"
#include "platform/cl/controls.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace ctl {

using cl::TComponent;
using cl::TMessage;

class TVideoSurface : public cl::TWinControl, public rtl::IVideoOutput {
 public:
  explicit TVideoSurface(TComponent* AOwner);

  // ---- rtl::IVideoOutput (any thread)
  void GetClientSize(int& width, int& height) override;
  void Present(const uint8_t* bgra, int stride, int width, int height) override;
  void Clear() override;
  void SetEventListener(rtl::IVideoOutputEvents* listener) override;

  gfx::TSize Size() const { return {width_now_.load(), height_now_.load()}; }
  // UI thread: whether a picture is shown (after the last paint).
  bool HasPicture() const { return front_.w > 0; }

  // The output for a window: the surface itself for a surface's window;
  // otherwise a surface filling that window (created once, freed with it),
  // which also answers CM_INVALIDATE sent to the window. UI thread.
  static TVideoSurface* SinkForWindow(win::HWND hwnd);

  void Dispatch(TMessage& m) override;

 protected:
  void Destroy() override;
  void CreateWnd() override;
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TVideoSurface"; }

 private:
  struct Frame {
    std::vector<uint8_t> px;  // BGRA, top-down, w * 4 per row
    int w = 0, h = 0;
  };
  struct Life {
    TVideoSurface* surface;
  };
  void RequestRepaint();
  void UpdateSize();
  void Forget();

  std::mutex presentLock_;  // one presenter at a time fills back_
  Frame back_;
  std::mutex lock_;  // guards latest_ and hasNew_ (held only to swap)
  Frame latest_;
  bool hasNew_ = false;
  Frame front_;  // UI thread: what the surface shows
  std::atomic<bool> pending_{false};
  std::atomic<int> width_now_{0}, height_now_{0};
  std::mutex listenerLock_;
  rtl::IVideoOutputEvents* listener_ = nullptr;
  std::shared_ptr<Life> life_;
  const std::weak_ptr<Life> weak_;  // what workers copy; never written after construction
  win::HWND host_;
  int hostSubclass_ = 0;
};

}  // namespace ctl
