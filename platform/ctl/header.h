// The column header window of the list view (class "SysHeader32").
#pragma once

#include "platform/win/handles.h"

namespace ctl {

class TCustomListView;

inline constexpr const char* kHeaderClass = "SysHeader32";

// Creates the header as a child of the list's window; its sections are the
// list's columns. The list positions it and destroys it.
win::HWND CreateHeaderWindow(TCustomListView* list, win::HWND parent);

}  // namespace ctl
