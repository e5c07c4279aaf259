// Window handles and the records that travel with messages. An HWND is a
// table index plus a generation: a handle of a destroyed window never matches
// a newer window in the same slot, so sends to it return 0 and posts are
// dropped.
#pragma once

#include "platform/gfx/types.h"
#include "platform/win/messages.h"

#include <cstddef>
#include <functional>
#include <string>

namespace win {

using gfx::BOOL;
using gfx::DWORD;
using gfx::POINT;
using gfx::RECT;
using gfx::TPoint;
using gfx::TRect;

struct HWND {
  uint32_t v = 0;
  constexpr HWND() = default;
  constexpr HWND(std::nullptr_t) {}
  constexpr explicit HWND(uint32_t value) : v(value) {}
  constexpr explicit operator bool() const { return v != 0; }
  friend constexpr bool operator==(HWND, HWND) = default;
};

// A window procedure: an id into the table of registered procedures, so that
// SetWindowLong(GWL_WNDPROC) can hand back the previous one and CallWindowProc
// can chain to it, also for procedures that are closures over an object.
struct WNDPROC {
  uint32_t v = 0;
  constexpr WNDPROC() = default;
  constexpr WNDPROC(std::nullptr_t) {}
  constexpr explicit WNDPROC(uint32_t value) : v(value) {}
  constexpr explicit operator bool() const { return v != 0; }
  friend constexpr bool operator==(WNDPROC, WNDPROC) = default;
};
using WndProcFn = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
using TWndMethod = std::function<void(TMessage&)>;

struct MSG {
  HWND hwnd;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
  DWORD lPrivate = 0;  // links a key message to the characters it produces
};

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

struct PAINTSTRUCT {
  gfx::HDC hdc;
  BOOL fErase = 0;
  RECT rcPaint;
  BOOL fRestore = 0, fIncUpdate = 0;
};

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HWND hwndParent;
  int cy = 0, cx = 0, y = 0, x = 0;
  uint32_t style = 0;
  std::string lpszName;
  std::string lpszClass;
  uint32_t dwExStyle = 0;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack;
  DWORD dwHoverTime = 0;
};

// Typed views over a TMessage, as message handlers read them.
struct TWMWindowPosMsg {
  TMessage& m;
  explicit TWMWindowPosMsg(TMessage& msg) : m(msg) {}
  WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(m.LParam); }
};
struct TWMNCCalcSize {
  TMessage& m;
  explicit TWMNCCalcSize(TMessage& msg) : m(msg) {}
  bool CalcValidRects() const { return m.WParam != 0; }
  NCCALCSIZE_PARAMS* CalcSize_Params() const { return reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam); }
};
struct TWMPaint {
  TMessage& m;
  explicit TWMPaint(TMessage& msg) : m(msg) {}
  gfx::HDC DC() const { return gfx::HDC(uint32_t(m.WParam)); }
};
using TWMEraseBkgnd = TWMPaint;
struct TWMSetCursor {
  TMessage& m;
  explicit TWMSetCursor(TMessage& msg) : m(msg) {}
  HWND CursorWnd() const { return HWND(uint32_t(m.WParam)); }
  int HitTest() const { return int16_t(LOWORD(uintptr_t(m.LParam))); }
  UINT MouseMsg() const { return HIWORD(uintptr_t(m.LParam)); }
};
struct TWMNCMouse {  // WM_NC*BUTTON*, WM_NCMOUSEMOVE: hit code and screen position
  TMessage& m;
  explicit TWMNCMouse(TMessage& msg) : m(msg) {}
  int HitTest() const { return int(m.WParam); }
  int XCursor() const { return GET_X_LPARAM(m.LParam); }
  int YCursor() const { return GET_Y_LPARAM(m.LParam); }
};
struct TWMActivate {
  TMessage& m;
  explicit TWMActivate(TMessage& msg) : m(msg) {}
  UINT Active() const { return LOWORD(m.WParam); }
  bool Minimized() const { return HIWORD(m.WParam) != 0; }
  HWND ActiveWindow() const { return HWND(uint32_t(m.LParam)); }
};
struct TWMSize {
  TMessage& m;
  explicit TWMSize(TMessage& msg) : m(msg) {}
  UINT SizeType() const { return UINT(m.WParam); }
  int Width() const { return LOWORD(uintptr_t(m.LParam)); }
  int Height() const { return HIWORD(uintptr_t(m.LParam)); }
};
struct TWMTimer {
  TMessage& m;
  explicit TWMTimer(TMessage& msg) : m(msg) {}
  uintptr_t TimerID() const { return m.WParam; }
};

// Special insert-after values of SetWindowPos.
inline const HWND HWND_TOP{0u};
inline const HWND HWND_BOTTOM{1u};
inline const HWND HWND_TOPMOST{0xFFFFFFFFu};
inline const HWND HWND_NOTOPMOST{0xFFFFFFFEu};
inline const HWND HWND_MESSAGE{0xFFFFFFFDu};

}  // namespace win

template <>
struct std::hash<win::HWND> {
  size_t operator()(win::HWND h) const noexcept { return std::hash<uint32_t>()(h.v); }
};
