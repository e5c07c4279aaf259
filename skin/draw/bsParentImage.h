// The parent's background under a control, for controls drawn over their
// parent: the parent's erase and paint, then every visible graphic sibling
// below the control that overlaps it, painted into any canvas as if the
// canvas were the control.
#pragma once

#include "platform/cl/controls.h"
#include "platform/gfx/canvas.h"
#include "platform/rtl/geom.h"

namespace skin {

// Nothing for a control without a parent. The parent carries csPaintCopy
// while it paints (and each sibling while it does); the canvas's DC state
// and the control states are restored however the painting ends.
void DrawParentImage(cl::TControl* Control, gfx::TCanvas* Canvas);
// The same for the part Rct of the control (control coordinates), drawn at
// the canvas origin.
void DrawParentImageRect(cl::TControl* Control, const rtl::TRect& Rct, gfx::TCanvas* Canvas);

}  // namespace skin
