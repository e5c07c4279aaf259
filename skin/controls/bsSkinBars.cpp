#include "skin/controls/bsSkinBars.h"

#include <algorithm>
#include <vector>

#include "platform/gfx/dc.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/controls/bsSkinBevelSplitter.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/controls/bsSkinParts.h"

namespace skin {

using namespace win;

// ============================================================================ tool bar

TbsSkinToolBar::TbsSkinToolBar(cl::TComponent* AOwner) : TbsSkinPanel(AOwner) {
  FForceBackground = false;
  FSkinDataName = "toolpanel";
  FDefaultHeight = 0;
  SetBounds(Left(), Top(), Width(), 25);
  SetBorderStyle(bvNone);
}

void TbsSkinToolBar::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinPanel::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FHotImages) FHotImages = nullptr;
  if (AComponent == FDisabledImages) FDisabledImages = nullptr;
}

void TbsSkinToolBar::SetScrollOffset(int V) {
  if (V >= 0) FScrollOffset = V;
}

void TbsSkinToolBar::SetScrollTimerInterval(int V) {
  if (V > 0) FScrollTimerInterval = V;
}

void TbsSkinToolBar::SetShowCaptions(bool V) {
  if (FShowCaptions == V) return;
  FShowCaptions = V;
  if (FAutoShowHideCaptions)
    for (int i = 0; i < ControlCount(); ++i)
      if (auto* b = dynamic_cast<TbsSkinSpeedButton*>(Controls(i))) b->SetShowCaption(V);
  if (FWidthWithCaptions != 0 && FWidthWithoutCaptions != 0)
    SetWidth(FShowCaptions ? FWidthWithCaptions : FWidthWithoutCaptions);
}

void TbsSkinToolBar::SetFlat(bool V) {
  FFlat = V;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TbsSkinSpeedButton*>(Controls(i))) b->SetFlat(V);
}

void TbsSkinToolBar::SetImages(cl::TCustomImageList* V) {
  FImages = V;
  if (V) V->FreeNotification(this);
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TbsSkinSpeedButton*>(Controls(i))) b->Repaint();
}

void TbsSkinToolBar::SetSkinData(TbsSkinData* Value) {
  TbsSkinPanel::SetSkinData(Value);
  for (int i = 0; i < ControlCount(); ++i) {
    if (auto* b = dynamic_cast<TbsSkinSpeedButton*>(Controls(i))) b->SetSkinData(Value);
    if (auto* v = dynamic_cast<TbsSkinBevel*>(Controls(i))) v->SetSkinData(Value);
  }
}

void TbsSkinToolBar::GetSkinData() {
  TbsSkinPanel::GetSkinData();
  ButtonData = nullptr;
  if (FIndex == -1) return;
  ButtonData = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizebutton")));
}

// ---------------------------------------------------------------------------- layout

void TbsSkinToolBar::CentrePlainChildren() {
  TRect R = GetSkinClientRect();
  for (int i = 0; i < ControlCount(); ++i) {
    cl::TControl* c = Controls(i);
    if (dynamic_cast<TbsSkinControl*>(c) || dynamic_cast<TbsGraphicSkinControl*>(c) || c->Align() != cl::alNone)
      continue;
    int t = R.Top + RectHeight(R) / 2 - c->Height() / 2;
    if (t != c->Top()) c->SetTop(t);
  }
}

void TbsSkinToolBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  int oldWidth = Width();
  TbsSkinPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FAdjustControls)
    for (int i = 0; i < ControlCount(); ++i) {
      cl::TControl* c = Controls(i);
      c->SetBounds(c->Left(), c->Top(), c->Width(), c->Height());
    }
  if (FCanScroll) {
    FHSizeOffset = (Width() > oldWidth && oldWidth != 0) ? Width() - oldWidth : 0;
    // Aligned or placed, the range follows every size change here (the
    // layer has no separate position-changing step to hook).
    UpdateScrollRange();
  }
  if (FAdjustControls) CentrePlainChildren();
}

void TbsSkinToolBar::AdjustClientRect(TRect& R) {
  TbsSkinPanel::AdjustClientRect(R);
  if (!((FCanScroll && Buttons[0].Visible) || Buttons[1].Visible)) return;
  int cw = ClientWidth(), ch = ClientHeight();
  R = {-SPosition, 0, -SPosition + std::max(SMax, cw), ch};
  if (!Skinned() || (ComponentState() & cl::csDesigning)) {
    R.Top = 1;
    R.Bottom = ch - 1;
  } else if (!(FBorderStyle == bvNone && G.ResizeMode == 1)) {
    R.Top = G.NewClRect.Top;
    R.Bottom = G.NewClRect.Bottom;
  }
}

void TbsSkinToolBar::UpdateScrollRange() {
  if (!FCanScroll || Width() == 0) return;
  int E = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    cl::TControl* c = Controls(i);
    if (c->Visible()) E = std::max(E, c->Left() + c->Width());
  }
  if (E == 0) {
    ShowScrollButtons(false);
    return;
  }
  int W = ClientWidth();
  int T = SPosition + E;
  if (W < T) {
    ShowScrollButtons(true);
    W = ClientWidth();
    int P = SPosition;
    if (P > 0 && E < W && FHSizeOffset > 0) {
      FHSizeOffset = std::min(FHSizeOffset, P);
      SMax = T - 1;
      SPosition = P - FHSizeOffset;
      SPage = W;
      ScrollContent(-FHSizeOffset);
      SOldPosition = SPosition;
      return;
    }
    if (FHSizeOffset == 0 && T - 1 < SMax && P > 0 && E < W) {
      SMax = T - 1;
      SPosition = std::max(0, P - (W - E));
      SPage = W;
      ScrollContent(-(P - SPosition));
    } else {
      SMax = T - 1;
      SPage = W;
    }
    FHSizeOffset = 0;
    SOldPosition = SPosition;
    return;
  }
  if (SPosition > 0) ScrollContent(-SPosition);
  FHSizeOffset = SMax = SPosition = SPage = 0;
  SOldPosition = 0;
  ShowScrollButtons(false);
}

void TbsSkinToolBar::ScrollContent(int D) {
  // Children move by -D; the window content follows.
  ScrollBy(-D, 0);
  Repaint();
}

void TbsSkinToolBar::ShowScrollButtons(bool Show) {
  if (Buttons[0].Visible == Show) return;
  Buttons[0].Visible = Buttons[1].Visible = Show;
  if (!Show) {
    Buttons[0].MouseIn = Buttons[1].MouseIn = Buttons[0].Down = Buttons[1].Down = false;
    StopTimer();
  }
  // The new non-client margins apply at once.
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Buttons[0].R = {0, 0, 12, Height()};
  Buttons[1].R = {Width() - 12, 0, Width(), Height()};
  Realign();
  PaintNC();
}

void TbsSkinToolBar::ScrollStep(bool Left) {
  int step = FScrollOffset != 0 ? FScrollOffset : ClientWidth();
  if (Left)
    SPosition = std::max(0, SPosition - step);
  else
    SPosition = std::max(0, std::min(SPosition + step, SMax - SPage + 1));
  if (SPosition == SOldPosition) {
    StopTimer();
    return;
  }
  ScrollContent(SPosition - SOldPosition);
  SOldPosition = SPosition;
}

void TbsSkinToolBar::StartScrollTimer() {
  KillTimer(Handle(), 1);
  SetTimer(Handle(), 1, UINT(FScrollTimerInterval));
}

void TbsSkinToolBar::StopTimer() {
  if (HandleAllocated()) KillTimer(Handle(), 1);
  TimerMode = 0;
}

void TbsSkinToolBar::ClearHotButton() {
  for (int i = 0; i < 2; ++i)
    if (Buttons[i].MouseIn && Buttons[i].Visible) {
      if (TimerMode != 0) StopTimer();
      Buttons[i].MouseIn = false;
      PaintNC();
      return;
    }
}

// ---------------------------------------------------------------------------- non-client area

void TbsSkinToolBar::PaintNC() {
  if (!HandleAllocated() || !FCanScroll || !Buttons[0].Visible) return;
  gfx::HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  {
    gfx::TCanvas C;
    C.SetHandle(dc);
    for (int i = 0; i < 2; ++i)
      if (Buttons[i].Visible) DrawScrollButton(&C, i);
    C.SetHandle({});
  }
  ReleaseDC(Handle(), dc);
}

void TbsSkinToolBar::DrawScrollButton(gfx::TCanvas* C, int I) {
  GetSkinData();
  const TbsControlButton& Bt = Buttons[I];
  int w = RectWidth(Bt.R), h = RectHeight(Bt.R);
  if (w <= 0 || h <= 0) return;
  gfx::TBitmap B;
  B.SetSize(w, h);
  gfx::TCanvas* BC = B.Canvas();
  bool pressedLook = Bt.MouseIn && (Bt.Down || FHotScroll);
  TColor arrow = gfx::clBtnText;
  gfx::TBitmap* P = ButtonData ? SkinPicture(FSD, ButtonData->PictureIndex) : nullptr;
  if (ButtonData && P) {
    const TbsDataSkinButtonControl& D = *ButtonData;
    int dW = w - RectWidth(D.SkinRect), dH = h - RectHeight(D.SkinRect);
    TbsNinePart Src{D.LTPoint, D.RTPoint, D.LBPoint, D.RBPoint, D.ClRect};
    TbsNinePart New{D.LTPoint,
                    {D.RTPoint.X + dW, D.RTPoint.Y},
                    {D.LBPoint.X, D.LBPoint.Y + dH},
                    {D.RBPoint.X + dW, D.RBPoint.Y + dH},
                    {D.ClRect.Left, D.ClRect.Top, D.ClRect.Right + dW, D.ClRect.Bottom + dH}};
    TRect src = D.SkinRect;
    arrow = D.FontColor;
    if (!IsNullRect(D.DownSkinRect) && pressedLook) {
      src = D.DownSkinRect;
      arrow = D.DownFontColor;
    } else if (Bt.MouseIn && !IsNullRect(D.ActiveSkinRect)) {
      src = D.ActiveSkinRect;
      arrow = D.ActiveFontColor;
    }
    TbsNinePartStretch St{D.LeftStretch, D.TopStretch, D.RightStretch, D.BottomStretch, D.StretchEffect, D.StretchType};
    CreateSkinImage(Src, New, &B, {P, src}, w, h, true, St);
  } else {
    TColor frame = gfx::clBtnShadow, fill = gfx::clBtnFace;
    if (pressedLook) {
      frame = bsHotFrameColor;
      fill = bsDownFillColor;
    } else if (Bt.MouseIn) {
      frame = bsHotFrameColor;
      fill = bsHotFillColor;
    }
    BC->Brush()->SetStyle(gfx::bsSolid);
    BC->Brush()->SetColor(fill);
    BC->FillRect({0, 0, w, h});
    BC->Brush()->SetColor(frame);
    BC->FrameRect({0, 0, w, h});
  }
  DrawArrowGlyph(BC, {0, 0, w, h}, arrow, I == 0 ? 1 : 2);
  C->Draw(Bt.R.Left, Bt.R.Top, &B);
}

void TbsSkinToolBar::CreateControlSkinImage(gfx::TBitmap* B) {
  if (Buttons[0].Visible && G.ResizeMode == 2 && Picture) {
    CreateHSkinImage3(G.LTPt.X, RectWidth(G.SkinRect) - G.RTPt.X, B, {Picture, G.SkinRect}, B->Width(), B->Height(),
                      G.StretchEffect);
    return;
  }
  TbsSkinPanel::CreateControlSkinImage(B);
}

void TbsSkinToolBar::WndProc(cl::TMessage& Msg) {
  if (FCanScroll) {
    switch (Msg.Msg) {
      case WM_NCHITTEST: {
        if (ComponentState() & cl::csDesigning) break;
        POINT p{GET_X_LPARAM(Msg.LParam), GET_Y_LPARAM(Msg.LParam)};
        win::ScreenToClient(Handle(), &p);
        if (p.X < 0 && Buttons[0].Visible) {
          Msg.Result = HTBS_SCROLLLEFT;
          return;
        }
        if (p.X > ClientWidth() && Buttons[1].Visible) {
          Msg.Result = HTBS_SCROLLRIGHT;
          return;
        }
        break;
      }
      case WM_NCMOUSEMOVE:
        for (int i = 0; i < 2; ++i)
          if (int(Msg.WParam) == HTBS_SCROLLLEFT + i && !Buttons[i].MouseIn) {
            Buttons[i].MouseIn = true;
            Buttons[1 - i].MouseIn = false;
            PaintNC();
            if (FHotScroll) {
              TimerMode = i + 1;
              StartScrollTimer();
            }
          }
        break;
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK:
        for (int i = 0; i < 2; ++i)
          if (int(Msg.WParam) == HTBS_SCROLLLEFT + i) {
            Buttons[i].Down = true;
            PaintNC();
            TimerMode = i + 1;
            StartScrollTimer();
            return;
          }
        break;
      case WM_NCLBUTTONUP:
        for (int i = 0; i < 2; ++i)
          if (int(Msg.WParam) == HTBS_SCROLLLEFT + i) {
            Buttons[i].Down = false;
            PaintNC();
            StopTimer();
            ScrollStep(i == 0);
            return;
          }
        break;
      case WM_MOUSEMOVE:
        ClearHotButton();
        break;
    }
  }
  TbsSkinPanel::WndProc(Msg);
}

void TbsSkinToolBar::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_NCCALCSIZE:
      if (!FCanScroll) break;
      GetSkinData();
      if (Msg.LParam) {
        auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(Msg.LParam);
        if (Buttons[0].Visible) p->rgrc[0].Left += 12;
        if (Buttons[1].Visible) p->rgrc[0].Right -= 12;
      }
      Msg.Result = 0;
      return;
    case WM_NCPAINT:
      PaintNC();
      return;
    case WM_SIZE:
      TbsSkinPanel::Dispatch(Msg);
      if (FCanScroll && Buttons[0].Visible) {
        Buttons[0].R = {0, 0, 12, Height()};
        Buttons[1].R = {Width() - 12, 0, Width(), Height()};
        PaintNC();
      }
      return;
    case WM_SETCURSOR:
      if (LOWORD(uintptr_t(Msg.LParam)) == HTBS_SCROLLLEFT || LOWORD(uintptr_t(Msg.LParam)) == HTBS_SCROLLRIGHT)
        Msg.LParam = LPARAM((uintptr_t(Msg.LParam) & ~uintptr_t(0xFFFF)) | HTCLIENT);
      break;
    case WM_TIMER:
      TbsSkinPanel::Dispatch(Msg);
      if (FCanScroll && Msg.WParam == 1) {
        if (TimerMode == 1)
          ScrollStep(true);
        else if (TimerMode == 2)
          ScrollStep(false);
      }
      return;
    case WM_WINDOWPOSCHANGED:
      TbsSkinPanel::Dispatch(Msg);
      if (HandleAllocated() && FAdjustControls) CentrePlainChildren();
      return;
    case CM_MOUSELEAVE: {
      TbsSkinPanel::Dispatch(Msg);
      if (!(ComponentState() & cl::csDesigning) && FCanScroll) {
        POINT p;
        GetCursorPos(&p);
        if (WindowFromPoint(p) != Handle()) ClearHotButton();
      }
      return;
    }
  }
  TbsSkinPanel::Dispatch(Msg);
}

// ============================================================================ status bar

TbsSkinStatusBar::TbsSkinStatusBar(cl::TComponent* AOwner) : TbsSkinPanel(AOwner) {
  FSkinDataName = "statusbar";
  SetAlign(cl::alBottom);
  SetBounds(Left(), Top(), Width(), 21);
  SetBorderStyle(bvNone);
  FForceBackground = false;
}

void TbsSkinStatusBar::SetSizeGrip(bool V) {
  FSizeGrip = V;
  Repaint();
  Realign();
}

void TbsSkinStatusBar::SetShowGrip(bool V) {
  FShowGrip = V;
  Repaint();
  Realign();
}

void TbsSkinStatusBar::SetSkinData(TbsSkinData* Value) {
  TbsSkinPanel::SetSkinData(Value);
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* c = dynamic_cast<TbsSkinControl*>(Controls(i))) c->SetSkinData(Value);
}

void TbsSkinStatusBar::GetSkinData() {
  TbsSkinPanel::GetSkinData();
  GripperRect = {};
  if (FIndex == -1) return;
  if (auto* R = dynamic_cast<TbsDataSkinPanelControl*>(SkinRecord(FSD, FIndex))) {
    // A grip image needs the picture it lies in; without one the lined grip
    // stands in.
    if (Picture) GripperRect = R->GripperRect;
    GripperTransparent = R->GripperTransparent;
    GripperTransparentColor = R->GripperTransparentColor;
  }
}

void TbsSkinStatusBar::AdjustClientRect(TRect& R) {
  TbsSkinPanel::AdjustClientRect(R);
  if (!GripActive()) return;
  if (Skinned() && !IsNullRect(GripperRect))
    R.Right -= RectWidth(GripperRect);
  else
    R.Right -= RectHeight(R);
}

TRect TbsSkinStatusBar::GripRect() {
  TRect R = GetSkinClientRect();
  if (Skinned() && !IsNullRect(GripperRect))
    return {R.Right, R.Bottom - RectHeight(GripperRect), R.Right + RectWidth(GripperRect), R.Bottom};
  return {R.Right + 2, R.Top, R.Right + (R.Bottom - R.Top), R.Bottom - 2};
}

void TbsSkinStatusBar::DrawSizeGrip(gfx::TCanvas* C, TColor Shadow, TColor Highlight) {
  TRect G = GripRect();
  int w = RectWidth(G);
  C->Pen()->SetWidth(1);
  C->Pen()->SetStyle(gfx::psSolid);
  for (int k = 1; G.Left + 3 * k + 2 <= G.Right && k <= w / 3 + 1; ++k) {
    C->Pen()->SetColor(Shadow);
    C->MoveTo(G.Left + 3 * k, G.Bottom);
    C->LineTo(G.Right, G.Top + 3 * k);
    C->Pen()->SetColor(Highlight);
    C->MoveTo(G.Left + 3 * k + 1, G.Bottom);
    C->LineTo(G.Right, G.Top + 3 * k + 1);
  }
}

void TbsSkinStatusBar::CreateControlDefaultImage(gfx::TBitmap* B) {
  TbsSkinPanel::CreateControlDefaultImage(B);
  if (GripActive()) DrawSizeGrip(B->Canvas(), gfx::clBtnShadow, gfx::clBtnHighlight);
}

void TbsSkinStatusBar::CreateControlSkinImage(gfx::TBitmap* B) {
  TbsSkinPanel::CreateControlSkinImage(B);
  if (!GripActive()) return;
  if (IsNullRect(GripperRect) || !Picture) {
    DrawSizeGrip(B->Canvas(), FSD->SkinColors().cBtnShadow(), FSD->SkinColors().cBtnHighLight());
    return;
  }
  TRect G = GripRect();
  if (GripperTransparent)
    DrawPicturePartKeyed(B->Canvas(), Picture, GripperRect, G.Left, G.Top, GripperTransparentColor);
  else
    B->Canvas()->CopyRect({G.Left, G.Top, G.Left + RectWidth(GripperRect), G.Top + RectHeight(GripperRect)},
                          Picture->Canvas(), GripperRect);
}

void TbsSkinStatusBar::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == WM_NCHITTEST && GripActive() && !(ComponentState() & cl::csDesigning)) {
    POINT p{GET_X_LPARAM(Msg.LParam), GET_Y_LPARAM(Msg.LParam)};
    win::ScreenToClient(Handle(), &p);
    TRect G = GripRect();
    bool in = p.X >= G.Left && p.X <= G.Right && p.Y >= G.Top && p.Y <= G.Bottom;
    Msg.Result = in ? HTBOTTOMRIGHT : HTCLIENT;
    return;
  }
  TbsSkinPanel::Dispatch(Msg);
}

}  // namespace skin
