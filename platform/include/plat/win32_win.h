// The window system's half of the w32 facade: HWND, the message numbers and
// records, and the Win32-named window calls (all defined in namespace win).
#pragma once

#include "platform/win/caret.h"
#include "platform/win/cursor.h"
#include "platform/win/input.h"
#include "platform/win/layered.h"
#include "platform/win/messages.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"

namespace w32 {
using namespace win;
}  // namespace w32
