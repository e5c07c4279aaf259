// Internal state of the window system, shared by its units.
#pragma once

#include "platform/win/input.h"
#include "platform/win/rgn.h"
#include "platform/win/window.h"

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace win::detail {

struct Subclass {
  int id;
  SubclassProc proc;
};

struct Window {
  HWND handle;
  bool alive = true;
  bool destroying = false;
  std::string className;
  std::string text;
  uint32_t style = 0, exStyle = 0, classStyle = 0;
  int id = 0;
  LONG_PTR userData = 0;
  gfx::HBRUSH background;
  int cursor = 0;
  Window* parent = nullptr;                       // tree parent (children only)
  HWND owner;                                     // owner (top-levels)
  std::vector<std::shared_ptr<Window>> children;  // bottom to top
  bool messageOnly = false;
  TRect rect;        // parent-client coordinates for children, screen for top-levels
  TRect client;      // client area in window coordinates
  gfx::HRGN region;  // window coordinates, owned
  Rgn update;        // client coordinates
  bool erase = false, ncDirty = false;
  bool inPaint = false, paintServed = false;
  bool minimized = false, maximized = false;
  WNDPROC proc;
  std::vector<Subclass> subclasses;  // oldest first
  int nextSubclassId = 1;
  std::map<std::string, intptr_t> props;
  void* object = nullptr;
  // top-levels
  int surface = 0;
  gfx::HBITMAP backing;
  bool screenLost = false;  // the next flush puts the whole image
  // layered windows
  gfx::COLORREF layeredKey = 0;
  uint8_t layeredAlpha = 255;
  DWORD layeredFlags = 0;
  bool ulwContent = false;  // pixels come from UpdateLayeredWindow, not from painting
  gfx::HRGN alphaShape;     // window coordinates, owned
  bool topMost() const { return exStyle & WS_EX_TOPMOST; }
  bool isTopLevel() const { return parent == nullptr; }
  bool visible() const { return style & WS_VISIBLE; }
};

struct State {
  std::vector<std::shared_ptr<Window>> wtable;  // index 0 unused
  std::vector<uint16_t> gens;
  std::deque<uint32_t> freeIdx;
  size_t live = 0;
  std::vector<std::shared_ptr<Window>> topLevels;  // bottom to top
  std::map<std::string, WNDCLASS> classes;
  std::vector<std::shared_ptr<WndProcFn>> procs;  // index = WNDPROC id
  std::deque<uint32_t> freeProcs;
  std::map<std::string, UINT> registeredMessages;
  std::map<int, std::function<void(HWND)>> destroyObservers;
  int nextObserverId = 1;
  std::function<void(std::exception_ptr)> exceptionHandler;
  std::atomic<std::thread::id> uiThread;
  std::atomic<bool> uiThreadSet{false};
};

State& S();
void CheckUiThread();
Window* Find(HWND h);                  // alive windows only
std::shared_ptr<Window> Keep(HWND h);  // holds the memory across a dispatch
Window* TopLevelOf(Window* w);
// Window origin of `w` in its top-level's window coordinates.
TPoint OriginInTop(Window* w);
// Window origin in screen coordinates.
TPoint ScreenOrigin(Window* w);
bool VisibleChain(Window* w);

// paint.cpp
void ResizeBacking(Window* w);
// The top-level's image, made at its current size if it has none yet.
gfx::HBITMAP EnsureBacking(Window* w);
void FreeBacking(Window* w);
void InvalidateExposed(Window* parent, const TRect& rectInParentClient);  // parent nullptr = nothing
void InvalidateWholeWindow(Window* w, bool erase);
HWND NextPaintWindow(HWND only = nullptr);  // nullptr: the next in paint order
void SendNcPaintIfNeeded(Window* w);
void FlushTop(Window* top);
void RecalcClient(Window* w);
Rgn VisibleRgn(Window* w, bool clientOnly);  // top-level window coordinates
void DrawCaptionText(gfx::HDC dc, const std::string& text, const TRect& r, gfx::COLORREF color);
std::deque<MSG>& InputMessages();

// input.cpp / focus
void OnWindowDestroying(Window* w);
bool HaveInput();
bool TranslateNextInput(std::deque<MSG>& out);
void ActivateTop(Window* top, UINT how);
bool IsActivatable(Window* w);

// timers.cpp
// The most overdue pending timer that a PeekMessage filter accepts; timers
// of other windows stay pending, and so does this one unless `remove`.
bool TakeDueTimer(MSG& out, HWND hwnd = nullptr, UINT lo = 0, UINT hi = 0, bool remove = true);
void KillWindowTimers(HWND h);
DWORD NowTick();

// loop.cpp
void DropPostsFor(HWND h);

// movesize.cpp
int WmszFromHit(int hit);
void RunMoveSizeLoop(HWND top, int edge);  // edge 0 = move

// caret.cpp
void CaretTick();
int64_t CaretNextDue();
void CaretBeforePaint(Window* w);
void CaretAfterPaint(Window* w);
void CaretOwnerDestroyed(HWND h);

}  // namespace win::detail
