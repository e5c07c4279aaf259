// The Qt top-level backend: one frameless QWindow with a QBackingStore per
// top-level window of the layer. Qt event handlers only queue what arrived
// (input, activation, close requests, state and geometry changes) or put the
// retained backing image back on screen after an expose; the queue is run
// from the layer's own loop (PollNative), so no window procedure ever runs
// inside Qt's event delivery.
//
// Popups, hints and other windows that never take activation become
// override-redirect tool-tip windows stacked by the layer (never Qt::Popup,
// which grabs the pointer and the keyboard).
#pragma once

#include "platform/win/backend.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>

class QAbstractEventDispatcher;
class QWindow;
class QSocketNotifier;
class QTimer;

namespace plat::qt {

class Surface;

class QtBackend final : public win::ITopLevelBackend {
 public:
  QtBackend();
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  // Pins the environment, makes sure a QGuiApplication exists, installs a
  // backend as the layer's, with Qt's screens, clipboard and the compositor
  // flag. Returns the installed backend (owned by the caller of Uninstall).
  static QtBackend* Install();
  // Puts the layer back on its null backend and deletes the Qt one.
  static void Uninstall();

  int Create(win::HWND hwnd, win::SurfaceKind kind, uint32_t flags) override;
  void Destroy(int surface) override;
  void SetGeometry(int surface, const gfx::TRect& screenRect) override;
  void Show(int surface, bool activate) override;
  void Hide(int surface) override;
  void Raise(int surface) override;
  void SetStaysOnTop(int surface, bool onTop) override;
  void SetTransientFor(int surface, int ownerSurface) override;
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
  void PollNative() override;
  void WaitNative(int timeoutMs) override;
  void Wake() override;

  // The native window of a top-level (tests and demos: X window ids).
  QWindow* WindowOf(win::HWND hwnd) const;
  // Whether a compositor owns _NET_WM_CM_S<screen> (false off X11).
  static bool CompositorRunning();

  // Called by the surfaces from inside Qt's event delivery: queue only.
  void Queue(std::function<void()> fn);
  void RememberGeometry(Surface* s, const gfx::TRect& r);
  bool IsEcho(Surface* s, const gfx::TRect& r);

 private:
  Surface* Find(int surface) const;
  void RunQueued();
  void UpdateScreens();
  void FlushConnection();
  std::map<int, std::unique_ptr<Surface>> surfaces_;
  int next_ = 1;
  int mainSurface_ = 0;  // the first normal window shown: the one in the task bar
  std::deque<std::function<void()>> queue_;
  QSocketNotifier* dispatcherWake_ = nullptr;
  QTimer* waitTimer_ = nullptr;
  QAbstractEventDispatcher* dispatcher_ = nullptr;
  bool argbCapable_ = false;
};

}  // namespace plat::qt
