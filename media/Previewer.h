// The preview window of a running task: a small stay-on-top tool window that
// shows the current output picture with its time stamp. The window itself
// belongs to the window layer, which installs a factory; the previewer
// creates, paints and destroys it on the main thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/FFUtils.h"

namespace media {

class IPreviewWindow {
 public:
  virtual ~IPreviewWindow() = default;
  // Creates and shows the window: stay on top, tool-window frame with a
  // close box only, centred on the screen, client area width x height,
  // dragged by any point of its picture. onClose runs (main thread) when the
  // user closes it.
  virtual void Show(int width, int height, std::function<void()> onClose) = 0;
  virtual void SetCaption(const std::string& text) = 0;
  // Draws the picture at the client origin.
  virtual void Draw(const TBitmap24& bitmap) = 0;
};

using TPreviewWindowFactory = std::function<std::unique_ptr<IPreviewWindow>()>;
// Installs the window layer's factory; returns the previous one. Without a
// factory no window can be shown and PaintFrame answers False.
TPreviewWindowFactory SetPreviewWindowFactory(TPreviewWindowFactory factory);

class TPreviewer {
 public:
  TPreviewer();
  ~TPreviewer();
  TPreviewer(const TPreviewer&) = delete;
  TPreviewer& operator=(const TPreviewer&) = delete;

  // Paints on the main thread and waits for it. False once the user closed
  // the window (nothing is painted then).
  bool PaintFrame(TBitmap24* ABitmap, int AFrameNumber, int64_t APTS);
  bool Closed() const { return FClosed.load(); }

 private:
  void Paint();  // main thread
  std::unique_ptr<IPreviewWindow> FForm;
  std::shared_ptr<std::atomic<bool>> FClosedFlag;
  std::atomic<bool> FClosed{false};
  TBitmap24* FBitmap = nullptr;
  int FFrameNumber = 0;
  int64_t FPTS = 0;
};

}  // namespace media
