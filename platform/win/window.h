// The window system: window objects with a tree, z-order and styles;
// procedures and subclass chains; sending and posting; geometry; painting
// into each top-level's retained backing image; the non-client model; input
// routing, capture, focus and activation; timers; the loop, its hooks and
// modal frames.
//
// Everything here runs on the UI thread, except PostMessage, PostQuitMessage
// and WakeLoop, which any thread may call.
#pragma once

#include "platform/gfx/dc.h"
#include "platform/win/backend.h"
#include "platform/win/handles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rtl {
class Clock;
}

namespace win {

// ---- classes and procedures ------------------------------------------------
struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc;
  gfx::HBRUSH hbrBackground;  // WM_ERASEBKGND fill; null = no erase
  int cursor = 0;             // IDC_* id
  std::string lpszClassName;
};
bool RegisterClass(const WNDCLASS& wc);
bool GetClassInfo(const std::string& name, WNDCLASS* out);

// Registers a procedure and returns its id; FreeWndProc releases it.
WNDPROC MakeWndProc(WndProcFn fn);
WNDPROC MakeObjectInstance(TWndMethod method);
void FreeWndProc(WNDPROC proc);
inline void FreeObjectInstance(WNDPROC proc) { FreeWndProc(proc); }
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC DefWindowProcId();  // the id of DefWindowProc, for chains that end there

// HWND-level subclassing, newest first. `prev` runs the older entries and
// then the window's procedure; it returns (and stores in msg.Result) their
// answer. Removing an entry that is not on top splices it out.
using SubclassProc = std::function<void(TMessage& msg, const std::function<LRESULT(TMessage&)>& prev)>;
int SubclassWindow(HWND hwnd, SubclassProc proc);
bool RemoveSubclass(HWND hwnd, int id);

// ---- lifetime and tree -----------------------------------------------------------
HWND CreateWindowEx(uint32_t exStyle, const std::string& className, const std::string& windowName, uint32_t style,
                    int x, int y, int w, int h, HWND parent, int id = 0, void* createParams = nullptr);
BOOL DestroyWindow(HWND hwnd);
// Message-only window with a method as its procedure (no parent, never shown).
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);  // it and all ancestors visible
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // returns TRUE if it was disabled
HWND GetParent(HWND hwnd);                  // parent, or owner for popups
HWND SetParent(HWND hwnd, HWND parent);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);  // topmost child; nullptr = topmost top-level
HWND GetAncestor(HWND hwnd, UINT flags);
BOOL IsChild(HWND parent, HWND hwnd);
std::string GetClassName(HWND hwnd);
LONG_PTR GetWindowLong(HWND hwnd, int index);
LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value);
inline LONG_PTR GetWindowLongPtr(HWND h, int i) { return GetWindowLong(h, i); }
inline LONG_PTR SetWindowLongPtr(HWND h, int i, LONG_PTR v) { return SetWindowLong(h, i, v); }
BOOL SetWindowText(HWND hwnd, const std::string& text);
std::string GetWindowText(HWND hwnd);
BOOL SetProp(HWND hwnd, const std::string& name, intptr_t value);
intptr_t GetProp(HWND hwnd, const std::string& name);
intptr_t RemoveProp(HWND hwnd, const std::string& name);
// Returns a number >= 0xC000 that is never sent (e.g. "TaskbarCreated").
UINT RegisterWindowMessage(const std::string& name);
// The class-library object of a window (what FindControl returns).
void SetWindowObject(HWND hwnd, void* obj);
void* GetWindowObject(HWND hwnd);
size_t LiveWindowCount();
// Children bottom to top (z-order), for walks that need the whole list.
std::vector<HWND> ChildWindows(HWND hwnd);
std::vector<HWND> TopLevelWindows();  // bottom to top

// Observers told of each destroyed window (after WM_NCDESTROY).
int AddDestroyObserver(std::function<void(HWND)> fn);
void RemoveDestroyObserver(int id);

// ---- messages ---------------------------------------------------------------------
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
LRESULT SendMessage(HWND hwnd, TMessage& msg);  // fills msg.Result
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);
void PostQuitMessage(int exitCode);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL WaitMessage();
// Waits at most `timeoutMs` for input, a post or a due timer. True if
// something arrived.
bool MsgWaitForEvents(int timeoutMs);
void WakeLoop();  // any thread

// Where exceptions escaping a handler end up (the class library routes them to
// Application.HandleException; tests record them). Default: message on stderr.
void SetExceptionHandler(std::function<void(std::exception_ptr)> handler);
void HandleDispatchException(std::exception_ptr e);

// ---- geometry and z-order -----------------------------------------------------------------
BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL BringWindowToTop(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, RECT* r);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* r);  // (0,0,w,h)
BOOL ClientToScreen(HWND hwnd, POINT* p);
BOOL ScreenToClient(HWND hwnd, POINT* p);
int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count);
// The window rectangle in its parent's client coordinates (screen for top-levels).
TRect WindowBounds(HWND hwnd);
// Where the client area lies inside the window rectangle (window coordinates).
TRect ClientInWindow(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);

// ---- regions and painting ---------------------------------------------------------------------
// Takes over `rgn` (window coordinates; nullptr removes the shape) and frees
// the previous one.
int SetWindowRgn(HWND hwnd, gfx::HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, gfx::HRGN out);  // copies into `out`; region kind
BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, gfx::HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* r);
BOOL ValidateRgn(HWND hwnd, gfx::HRGN rgn);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* r, gfx::HRGN rgn, UINT flags);
BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL erase);
int GetUpdateRgn(HWND hwnd, gfx::HRGN out, BOOL erase);
gfx::HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
gfx::HDC GetDC(HWND hwnd);        // client area (GetDC(nullptr): the display DC)
gfx::HDC GetWindowDC(HWND hwnd);  // whole window, non-client area included
int ReleaseDC(HWND hwnd, gfx::HDC dc);
// Scrolls the client pixels and invalidates what is uncovered.
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, gfx::HRGN update, RECT* updateRect,
                   UINT flags);
// The top-level's backing image (window-sized, 32-bit) and a flush of the
// dirty backing images to the backend (of each top-level once nothing in it
// waits for its paint).
gfx::HBITMAP BackingImage(HWND topLevel);
// The screen lost the top-level's pixels (it was exposed): it is put back
// from the retained image, without asking the window to paint.
void ExposeTopLevel(HWND topLevel);
void FlushAll();

// ---- input, capture, focus, activation ------------------------------------------------------------
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
HWND WindowFromPoint(POINT screen);
HWND ChildWindowFromPoint(HWND parent, POINT client);
BOOL GetCursorPos(POINT* p);
BOOL SetCursorPos(int x, int y);
int16_t GetKeyState(int vk);
int16_t GetAsyncKeyState(int vk);
// How many left-button releases input routing has seen: a handler that pumps
// messages can tell whether the release of its own press went by meanwhile.
uint32_t LeftButtonReleases();
UINT GetDoubleClickTime();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();

// Told of every mouse event before it is dispatched, with the window physically
// under the pointer (regardless of capture): the class library derives its
// mouse enter/leave notifications from it.
void SetMouseTrackHook(std::function<void(HWND under, POINT screen)> hook);

// ---- timers ------------------------------------------------------------------------------------------
using TIMERPROC = void (*)(HWND, UINT, uintptr_t, DWORD);
uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapseMs, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND hwnd, uintptr_t id);
// The clock every timer, double-click test and GetTickCount reads. The caller
// keeps ownership; nullptr restores the system clock.
void SetClock(rtl::Clock* clock);
rtl::Clock& CurrentClock();
DWORD GetTickCount();
// Deadline (clock ms) of the earliest running timer, or -1.
int64_t NextTimerDue();

// ---- hooks and loops ----------------------------------------------------------------------------------
// Runs before a retrieved message is dispatched, newest first; a hook that
// sets `handled` stops the message. Several owners install and remove hooks
// in any order.
using PreDispatchHook = std::function<void(MSG& msg, bool& handled)>;
int AddPreDispatchHook(PreDispatchHook hook);
void RemovePreDispatchHook(int id);
// The class library's keyboard pre-processing (CN_KEYDOWN, dialog keys),
// run after the hooks and before TranslateMessage. True = consumed.
void SetKeyPreprocessor(std::function<bool(MSG& msg)> fn);

// One step of the loop: retrieve, hook, translate, dispatch. False when the
// queue was empty (nothing done).
bool HandleOneMessage();
// Dispatches until nothing is pending (posted, input, paint or due timers).
void ProcessMessages();
// Runs a nested loop until `done()` holds (re-checked after every message) or
// the application quits. Returns false if it ended by a quit.
bool RunModalLoop(HWND hwnd, const std::function<bool()>& done);
int ModalDepth();
bool QuitRequested();
void ResetQuit();  // for harnesses between tests

// Called once the window system is no longer needed (tests): destroys every
// window, frees procedures and timers.
void Shutdown();

}  // namespace win
