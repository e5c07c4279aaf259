// Helpers the control cores share (not part of their interface).
#pragma once

#include "platform/cl/controls.h"

namespace ctl::detail {

// A message to a core through its whole chain: the window's subclasses and
// procedure when it has a window, its WindowProc otherwise.
inline win::LRESULT Send(cl::TWinControl* c, win::UINT msg, win::WPARAM wp = 0, win::LPARAM lp = 0) {
  return c->HandleAllocated() ? win::SendMessage(c->Handle(), msg, wp, lp) : c->Perform(msg, wp, lp);
}

// Keeps the horizontal and vertical scroll records of a core's window.
void SetScroll(cl::TWinControl* c, int bar, int maxPos, int page, int pos);

}  // namespace ctl::detail
