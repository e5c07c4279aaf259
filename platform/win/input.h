// Native input entering the window system. The backend (or the test
// injector) delivers raw events here; the loop routes them (hit test, capture,
// activation, parent notify, double clicks) when it retrieves them, so hooks
// and handlers see the same messages whatever the source.
#pragma once

#include "platform/win/handles.h"

#include <string>

namespace win {

enum class RawKind { MouseMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp };
enum class MouseButton { Left = 0, Right = 1, Middle = 2 };

struct RawInput {
  RawKind kind = RawKind::MouseMove;
  POINT pt;  // screen coordinates (mouse events)
  MouseButton button = MouseButton::Left;
  int wheelDelta = 0;  // +-120 per notch
  uint16_t vk = 0;     // key events
  std::string text;    // characters a key press produces (UTF-8), one WM_CHAR each
  bool autoRepeat = false;
};

// Queues a raw event (UI thread).
void DeliverInput(const RawInput& ev);
// The user asked to close a top-level (title-bar button, window manager).
void DeliverCloseRequest(HWND topLevel);
// The backend's surface gained or lost activation. A window that cannot be
// activated (disabled by a modal loop, a popup) does not take it: the active
// window asks for it back.
void DeliverActivation(HWND topLevel, bool active);
// The window manager (or the user through it) iconified or restored a
// top-level: becomes SC_MINIMIZE / SC_RESTORE when the layer's state differs.
void DeliverWindowState(HWND topLevel, bool minimized);
// The window manager moved or sized a top-level (screen coordinates).
void DeliverGeometry(HWND topLevel, const TRect& screenRect);
// Input not yet routed.
size_t PendingInputCount();

}  // namespace win
