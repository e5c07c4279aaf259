// Cursors are shared shapes named by their IDC_* id; the backend maps the id
// onto a native pointer shape. SetCursor applies to the top-level under the
// pointer (or holding the capture).
#pragma once

#include "platform/win/handles.h"

namespace win {

constexpr int IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_UPARROW = 32516,
              IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645, IDC_SIZEALL = 32646,
              IDC_NO = 32648, IDC_HAND = 32649, IDC_APPSTARTING = 32650;

// The shared cursor of an IDC_* id (its handle value is the id); 0 for others.
gfx::HCURSOR LoadCursor(const void* instance, int id);
// Returns the previous cursor.
gfx::HCURSOR SetCursor(gfx::HCURSOR cursor);
gfx::HCURSOR GetCursor();
// The cursor DefWindowProc shows for a hit-test code (sizing arrows on the edges).
int CursorForHitTest(int hit);

}  // namespace win
