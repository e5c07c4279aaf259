// The rectangle a popup window may use on the screen: the desktop's, or that
// of the monitor nearest a window when there are several.
#pragma once

#include "platform/rtl/geom.h"
#include "platform/win/handles.h"

namespace skin {

// More than one monitor.
bool IsMultiMonitor();
// WorkArea: the desktop work area; otherwise (0, 0, screen width, screen height).
void GetDesktopWorkArea(bool WorkArea, rtl::TRect& R);
// With one monitor GetDesktopWorkArea; else the work (or whole) rectangle of
// the monitor nearest Wnd. R stays as it was when the monitor query fails.
void GetMonitorWorkArea(win::HWND Wnd, bool WorkArea, rtl::TRect& R);

}  // namespace skin
