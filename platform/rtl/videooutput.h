// The surface the player draws its pictures on. The host's preview control
// implements IVideoOutput; the player renders each display frame (letterbox
// included) into a BGRA image of the output's size and presents it. The
// control keeps the last image and repaints it on expose by itself, tells the
// player about expose, resize and clicks through IVideoOutputEvents, and clears
// itself on Clear. Only an interface: the platform knows nothing of the player.
#pragma once

#include <cstdint>

namespace rtl {

// Implemented by the player; called by the output on any thread.
class IVideoOutputEvents {
 public:
  virtual ~IVideoOutputEvents() = default;
  virtual void VideoOutputExposed() = 0;                       // repaint needed (redrawn while paused)
  virtual void VideoOutputResized(int width, int height) = 0;  // client size changed
  // A mouse button went down; the output has already given itself the
  // keyboard focus.
  virtual void VideoOutputClicked() = 0;
};

class IVideoOutput {
 public:
  virtual ~IVideoOutput() = default;
  // Client size of the drawing area in pixels.
  virtual void GetClientSize(int& width, int& height) = 0;
  // Show a BGRA image (4 bytes per pixel, rows top-down, stride in bytes). The
  // output copies what it needs before returning. Called on the play thread.
  virtual void Present(const uint8_t* bgra, int stride, int width, int height) = 0;
  // Forget the last image and paint the background.
  virtual void Clear() = 0;
  // The player registers itself while a playback runs and removes itself (null)
  // before it ends; the output must not call a listener after it was removed.
  virtual void SetEventListener(IVideoOutputEvents* listener) = 0;
};

}  // namespace rtl
