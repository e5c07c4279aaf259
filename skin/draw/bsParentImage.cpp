#include "skin/draw/bsParentImage.h"

#include <vector>

#include "platform/cl/forms.h"
#include "platform/gfx/dc.h"

namespace skin {

namespace {

// Restores a DC state and takes a control-state flag off again, also when
// painting throws.
struct PaintCopyScope {
  cl::TControl* control;
  gfx::HDC dc;
  int saved;
  PaintCopyScope(cl::TControl* c, gfx::HDC d) : control(c), dc(d), saved(gfx::SaveDC(d)) {
    control->ControlState |= cl::csPaintCopy;
  }
  ~PaintCopyScope() {
    gfx::RestoreDC(dc, saved);
    control->ControlState &= ~unsigned(cl::csPaintCopy);
  }
  PaintCopyScope(const PaintCopyScope&) = delete;
  PaintCopyScope& operator=(const PaintCopyScope&) = delete;
};

bool Overlap(const rtl::TRect& a, const rtl::TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

void PaintParent(cl::TControl* Control, gfx::TCanvas* Canvas, int ShiftX, int ShiftY) {
  if (!Control || !Control->Parent() || !Canvas) return;
  cl::TWinControl* parent = Control->Parent();
  gfx::HDC dc = Canvas->Handle();
  if (!dc) return;
  cl::Keep<cl::TControl> keepParent(parent);
  gfx::POINT origin;
  gfx::GetViewportOrgEx(dc, &origin);
  {
    PaintCopyScope scope(parent, dc);
    gfx::SetViewportOrgEx(dc, origin.X - Control->Left() - ShiftX, origin.Y - Control->Top() - ShiftY, nullptr);
    rtl::TRect client = parent->ClientRect();
    gfx::IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
    win::WPARAM wp = win::WPARAM(dc.v);
    if (parent->HandleAllocated())
      win::SendMessage(parent->Handle(), win::WM_ERASEBKGND, wp, 0);
    else
      parent->Perform(win::WM_ERASEBKGND, wp, 0);
    // A form paints its background on erase; other parents paint themselves too.
    if (!dynamic_cast<cl::TCustomForm*>(parent)) cl::PaintWindowOf(parent, dc);
  }
  // The siblings below the control, taken before any of them paints.
  rtl::TRect bounds = Control->BoundsRect();
  std::vector<cl::Keep<cl::TControl>> below;
  for (int i = 0; i < parent->ControlCount() && parent->Controls(i) != Control; ++i) {
    cl::TControl* c = parent->Controls(i);
    if (dynamic_cast<cl::TGraphicControl*>(c) && c->Visible() && Overlap(c->BoundsRect(), bounds))
      below.emplace_back(c);
  }
  for (auto& keep : below) {
    cl::TControl* c = keep.get();
    if (c->Destroyed()) continue;
    PaintCopyScope scope(c, dc);
    gfx::SetViewportOrgEx(dc, origin.X + c->Left() - Control->Left() - ShiftX,
                          origin.Y + c->Top() - Control->Top() - ShiftY, nullptr);
    gfx::IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(win::WM_PAINT, win::WPARAM(dc.v), 0);
  }
}

}  // namespace

void DrawParentImage(cl::TControl* Control, gfx::TCanvas* Canvas) { PaintParent(Control, Canvas, 0, 0); }

void DrawParentImageRect(cl::TControl* Control, const rtl::TRect& Rct, gfx::TCanvas* Canvas) {
  PaintParent(Control, Canvas, Rct.Left, Rct.Top);
}

}  // namespace skin
