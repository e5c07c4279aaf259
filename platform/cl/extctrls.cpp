#include "platform/cl/extctrls.h"

#include "platform/gfx/raster.h"

#include <algorithm>

namespace cl {

using namespace win;

// ============================================================================ TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle |= csReplicatable;
  width_ = 50;
  height_ = 50;
}

void TBevel::SetShape(TBevelShape s) {
  if (s == shape_) return;
  shape_ = s;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle s) {
  if (s == style_) return;
  style_ = s;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  c->Pen()->SetWidth(1);
  TColor c1 = style_ == bsLowered ? gfx::clBtnShadow : gfx::clBtnHighlight;
  TColor c2 = style_ == bsLowered ? gfx::clBtnHighlight : gfx::clBtnShadow;
  int W = width_, H = height_;
  auto rect3d = [&](int l, int t, int r, int b, TColor a, TColor z) {
    c->Pen()->SetColor(a);
    c->Polyline({{l, b}, {l, t}, {r, t}});
    c->Pen()->SetColor(z);
    c->Polyline({{r, t}, {r, b}, {l, b}});
  };
  auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(col);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox:
      rect3d(0, 0, W - 1, H - 1, c1, c2);
      break;
    case bsFrame:
      rect3d(1, 1, W - 1, H - 1, c2, c2);
      rect3d(0, 0, W - 2, H - 2, c1, c1);
      break;
    case bsTopLine:
      line(c1, 0, 0, W, 0);
      line(c2, 0, 1, W, 1);
      break;
    case bsBottomLine:
      line(c1, 0, H - 2, W, H - 2);
      line(c2, 0, H - 1, W, H - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, H);
      line(c2, 1, 0, 1, H);
      break;
    case bsRightLine:
      line(c1, W - 2, 0, W - 2, H);
      line(c2, W - 1, 0, W - 1, H);
      break;
    case bsSpacer:
      break;
  }
}

// ============================================================================ TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  align_ = alLeft;
  width_ = 3;
  height_ = 100;
  Cursor = crHSplit;
  parentColor_ = true;
}

void TSplitter::RequestAlign() {
  TGraphicControl::RequestAlign();
  if (Cursor != crVSplit && Cursor != crHSplit) return;
  Cursor = (align_ == alTop || align_ == alBottom) ? crVSplit : crHSplit;
}

void TSplitter::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  if (Beveled) {
    RECT e = r;
    if (align_ == alLeft || align_ == alRight)
      e = {r.Left, r.Top, r.Left + 2, r.Bottom};
    else
      e = {r.Left, r.Top, r.Right, r.Top + 2};
    gfx::DrawEdge(c->Handle(), &e, gfx::BDR_RAISEDINNER, gfx::BF_RECT);
  }
}

TControl* TSplitter::FindNeighbour() {
  if (!parent_) return nullptr;
  TPoint p{left_, top_};
  switch (align_) {
    case alLeft:
      p.X = left_ - 1;
      break;
    case alRight:
      p.X = left_ + width_;
      break;
    case alTop:
      p.Y = top_ - 1;
      break;
    case alBottom:
      p.Y = top_ + height_;
      break;
    default:
      return nullptr;
  }
  for (int i = 0; i < parent_->ControlCount(); i++) {
    TControl* c = parent_->Controls(i);
    if (c == this || !c->Visible() || !c->Enabled()) continue;
    TRect r = c->BoundsRect();
    if (r.Width() == 0) (align_ == alTop || align_ == alLeft) ? r.Left-- : r.Right++;
    if (r.Height() == 0) (align_ == alTop || align_ == alLeft) ? r.Top-- : r.Bottom++;
    if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) return c;
  }
  return nullptr;
}

void TSplitter::CalcSplitSize(int x, int y, int& newSize, int& split) {
  int s = (align_ == alLeft || align_ == alRight) ? x - downPos_.X : y - downPos_.Y;
  split = s;
  switch (align_) {
    case alLeft:
      s = control_->Width() + split;
      break;
    case alRight:
      s = control_->Width() - split;
      break;
    case alTop:
      s = control_->Height() + split;
      break;
    case alBottom:
      s = control_->Height() - split;
      break;
    default:
      break;
  }
  newSize = s < MinSize ? MinSize : s > maxSize_ ? maxSize_ : s;
  if (s != newSize) {
    int d = (align_ == alRight || align_ == alBottom) ? s - newSize : newSize - s;
    split += d;
  }
}

bool TSplitter::CanResize(int& newSize) {
  bool accept = true;
  OnCanResize(this, newSize, accept);
  return accept;
}

bool TSplitter::DoCanResize(int& newSize) {
  bool ok = CanResize(newSize);
  if (ok && newSize <= MinSize && AutoSnap) newSize = 0;
  return ok;
}

void TSplitter::DrawLine() {
  if (!parent_ || !parent_->HandleAllocated()) return;
  lineVisible_ = !lineVisible_;
  TRect r = BoundsRect();
  if (align_ == alLeft || align_ == alRight)
    r = {r.Left + split_, r.Top, r.Right + split_, r.Bottom};
  else
    r = {r.Left, r.Top + split_, r.Right, r.Bottom + split_};
  if (lineVisible_) lineRect_ = r;
  HWND ph = parent_->Handle();
  gfx::HDC dc = GetDC(ph);
  RECT lr = lineRect_;
  gfx::InvertRect(dc, &lr);
  ReleaseDC(ph, dc);
}

void TSplitter::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TGraphicControl::MouseDown(b, s, x, y);
  if (b != mbLeft || Destroyed()) return;
  TControl* c = FindNeighbour();
  if (!c) return;
  control_ = Keep<TControl>(c);
  downPos_ = {x, y};
  bool horizontal = align_ == alLeft || align_ == alRight;
  maxSize_ = horizontal ? parent_->ClientWidth() - MinSize : parent_->ClientHeight() - MinSize;
  for (int i = 0; i < parent_->ControlCount(); i++) {
    TControl* o = parent_->Controls(i);
    if (!o->Visible()) continue;
    if (horizontal && (o->Align() == alLeft || o->Align() == alRight)) maxSize_ -= o->Width();
    if (!horizontal && (o->Align() == alTop || o->Align() == alBottom)) maxSize_ -= o->Height();
  }
  maxSize_ += horizontal ? c->Width() : c->Height();
  oldSize_ = horizontal ? c->Width() : c->Height();
  newSize_ = oldSize_;
  split_ = 0;
  if (ResizeStyle == rsLine || ResizeStyle == rsPattern) DrawLine();
}

void TSplitter::MouseMove(TShiftState s, int x, int y) {
  TGraphicControl::MouseMove(s, x, y);
  if (!(s & ssLeft) || !control_.Alive()) return;
  int newSize, split;
  CalcSplitSize(x, y, newSize, split);
  if (!DoCanResize(newSize)) return;
  bool line = ResizeStyle == rsLine || ResizeStyle == rsPattern;
  if (line && lineVisible_) DrawLine();
  newSize_ = newSize;
  split_ = split;
  if (ResizeStyle == rsUpdate) UpdateControlSize();
  if (line) DrawLine();
}

void TSplitter::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  TGraphicControl::MouseUp(b, s, x, y);
  if (!control_) return;
  if (lineVisible_) DrawLine();
  if (control_.Alive()) UpdateControlSize();
  StopSizing();
}

void TSplitter::UpdateControlSize() {
  if (newSize_ == oldSize_ || !control_.Alive()) return;
  TControl* c = control_.get();
  switch (align_) {
    case alLeft:
      c->SetWidth(newSize_);
      break;
    case alTop:
      c->SetHeight(newSize_);
      break;
    case alRight:
      parent_->DisableAlign();
      c->SetBounds(c->Left() + (c->Width() - newSize_), c->Top(), newSize_, c->Height());
      parent_->EnableAlign();
      break;
    case alBottom:
      parent_->DisableAlign();
      c->SetBounds(c->Left(), c->Top() + (c->Height() - newSize_), c->Width(), newSize_);
      parent_->EnableAlign();
      break;
    default:
      break;
  }
  Update();
  OnMoved(this);
  oldSize_ = newSize_;
}

void TSplitter::StopSizing() {
  control_ = Keep<TControl>();
  lineVisible_ = false;
}

}  // namespace cl
