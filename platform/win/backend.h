// The seam between the window system and whatever shows top-level windows.
// The layer keeps the authoritative window tree, geometry and pixels; a
// backend only mirrors top-levels on screen and feeds native input back in
// (through the Deliver* functions of input.h). The NullBackend shows nothing
// and records every call, so tests can check what would have reached the
// screen.
#pragma once

#include "platform/win/handles.h"

#include <string>
#include <vector>

namespace win {

enum class SurfaceKind { Normal, Tool, Popup, Layered };

class ITopLevelBackend {
 public:
  virtual ~ITopLevelBackend() = default;
  // Returns a surface id (> 0) for the top-level `hwnd`.
  virtual int Create(HWND hwnd, SurfaceKind kind, uint32_t flags) = 0;
  virtual void Destroy(int surface) = 0;
  virtual void SetGeometry(int surface, const gfx::TRect& screenRect) = 0;
  virtual void Show(int surface, bool activate) = 0;
  virtual void Hide(int surface) = 0;
  virtual void Raise(int surface) = 0;
  virtual void SetStaysOnTop(int surface, bool onTop) = 0;
  virtual void SetTransientFor(int surface, int ownerSurface) = 0;
  // Window coordinates; a null handle removes the mask. The region is borrowed.
  virtual void SetMask(int surface, gfx::HRGN rgn) = 0;
  virtual void SetOpacity(int surface, double opacity) = 0;
  virtual void SetArgb(int surface, bool argb) = 0;
  // Puts the dirty part of the backing image on screen.
  virtual void Flush(int surface, gfx::HBITMAP backing, const gfx::TRect& dirty) = 0;
  virtual void GrabPointer(int surface, bool grab) = 0;
  virtual void SetCursor(int surface, int cursor) = 0;
  virtual void RequestActivate(int surface) = 0;
  virtual void Iconify(int surface) = 0;
  // Undoes Iconify (the layer restored the window itself).
  virtual void Restore(int surface) { (void)surface; }
  virtual void SetTitle(int surface, const std::string& title) = 0;
  virtual void SetIcon(int surface, gfx::HICON icon) = 0;

  // Loop integration. PollNative delivers queued native events without
  // blocking; WaitNative blocks until a native event, a Wake or the timeout
  // (milliseconds, < 0 = no limit). Wake may be called from any thread.
  virtual void PollNative() = 0;
  virtual void WaitNative(int timeoutMs) = 0;
  virtual void Wake() = 0;
};

// Shows nothing; records each call as one line ("Show 1 activate=1").
// WaitNative sleeps until Wake, a call queued on the rtl dispatcher, or the
// timeout.
class NullBackend : public ITopLevelBackend {
 public:
  NullBackend();
  ~NullBackend() override;
  NullBackend(const NullBackend&) = delete;
  NullBackend& operator=(const NullBackend&) = delete;
  int Create(HWND hwnd, SurfaceKind kind, uint32_t flags) override;
  void Destroy(int surface) override;
  void SetGeometry(int surface, const gfx::TRect& r) override;
  void Show(int surface, bool activate) override;
  void Hide(int surface) override;
  void Raise(int surface) override;
  void SetStaysOnTop(int surface, bool onTop) override;
  void SetTransientFor(int surface, int owner) override;
  void SetMask(int surface, gfx::HRGN rgn) override;
  void SetOpacity(int surface, double opacity) override;
  void SetArgb(int surface, bool argb) override;
  void Flush(int surface, gfx::HBITMAP backing, const gfx::TRect& dirty) override;
  void GrabPointer(int surface, bool grab) override;
  void SetCursor(int surface, int cursor) override;
  void RequestActivate(int surface) override;
  void Iconify(int surface) override;
  void Restore(int surface) override;
  void SetTitle(int surface, const std::string& title) override;
  void SetIcon(int surface, gfx::HICON icon) override;
  void PollNative() override {}
  void WaitNative(int timeoutMs) override;
  void Wake() override;

  // Recorded calls; Flush is counted but not logged (it happens constantly).
  std::vector<std::string> calls;
  int flushCount = 0;
  gfx::TRect lastFlush;

 private:
  void Log(std::string s) { calls.push_back(std::move(s)); }
  int next_ = 1;
  int wakeFd_ = -1;
};

// The backend in use; the layer starts with a NullBackend of its own.
// The caller keeps ownership of what it installs.
ITopLevelBackend& Backend();
void SetBackend(ITopLevelBackend* backend);

}  // namespace win
