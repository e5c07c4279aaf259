// Facade for code ported from the window framework: the handle types, the
// constants and the Win32-named free functions, all in namespace w32, so a
// unit can say `using namespace w32;`.
#pragma once

#if __has_include("plat/win32_gfx.h")
#include "plat/win32_gfx.h"
#endif
#if __has_include("plat/win32_win.h")
#include "plat/win32_win.h"
#endif
