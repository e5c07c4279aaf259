#include "skin/controls/bsSkinUpDown.h"

#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"

namespace skin {

using namespace win;

namespace {
// Edges included on every side, as the hit test of the small buttons asks.
bool InClosed(const TRect& R, int X, int Y) { return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom; }
bool Usable(const TRect& R) { return R.Width() > 0 && R.Height() > 0; }
}  // namespace

TbsSkinUpDown::TbsSkinUpDown(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  FSkinDataName = "hupdown";
  SetBounds(Left(), Top(), 50, 25);
  CalcButtons();
}

// ---------------------------------------------------------------------------- values

void TbsSkinUpDown::SetMin(int Value) {
  FMin = Value;
  if (FPosition < FMin) FPosition = FMin;
}

void TbsSkinUpDown::SetMax(int Value) {
  FMax = Value;
  if (FPosition > FMax) FPosition = FMax;
}

void TbsSkinUpDown::SetPosition(int Value) {
  if (Value < FMin || Value > FMax) return;
  FPosition = Value;
  if (!(ComponentState() & cl::csDesigning)) OnChange(this);
}

void TbsSkinUpDown::SetOrientation(TUDOrientation Value) {
  FOrientation = Value;
  CalcButtons();
  Repaint();
}

// ---------------------------------------------------------------------------- skin and layout

bool TbsSkinUpDown::HasUpDownRecord() const {
  return FIndex != -1 && dynamic_cast<TbsDataSkinUpDownControl*>(SkinRecord(FSD, FIndex));
}

void TbsSkinUpDown::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  if (auto* R = dynamic_cast<TbsDataSkinUpDownControl*>(SkinRecord(FSD, FIndex)); R && FIndex != -1) {
    UpButtonRect = R->UpButtonRect;
    ActiveUpButtonRect = R->ActiveUpButtonRect;
    DownUpButtonRect = IsNullRect(R->DownUpButtonRect) ? ActiveUpButtonRect : R->DownUpButtonRect;
    DownButtonRect = R->DownButtonRect;
    ActiveDownButtonRect = R->ActiveDownButtonRect;
    DownDownButtonRect = IsNullRect(R->DownDownButtonRect) ? ActiveDownButtonRect : R->DownDownButtonRect;
    // The pair is never split into resizable parts.
    G.LTPt = G.RTPt = G.LBPt = G.RBPt = TPoint{0, 0};
    G.ClRect = TRect{0, 0, 0, 0};
    G.ResizeMode = G.CalcResizeMode();
  }
  CalcButtons();
}

void TbsSkinUpDown::CalcSize(int& AWidth, int& AHeight) {
  if (FUseSkinSize) TbsSkinCustomControl::CalcSize(AWidth, AHeight);
}

void TbsSkinUpDown::SetControlRegion() {
  if (FUseSkinSize) TbsSkinCustomControl::SetControlRegion();
}

void TbsSkinUpDown::CalcButtons() {
  int W = Width(), H = Height();
  if (HasUpDownRecord() && FUseSkinSize) {
    Buttons[0].R = UpButtonRect;
    Buttons[1].R = DownButtonRect;
  } else if (FOrientation == udVertical) {
    Buttons[0].R = {0, 0, W, H / 2};
    Buttons[1].R = {0, H / 2, W, H};
  } else {
    Buttons[1].R = {0, 0, W / 2, H};
    Buttons[0].R = {W / 2, 0, W, H};
  }
}

// ---------------------------------------------------------------------------- painting

int TbsSkinUpDown::ArrowKind(int I) const {
  // DrawArrowGlyph: 1 left, 2 right, 3 up, 4 down.
  if (FOrientation == udVertical) return I == 0 ? 3 : 4;
  return I == 0 ? 2 : 1;
}

void TbsSkinUpDown::DrawDefaultButton(gfx::TCanvas* C, int I) {
  const TbsControlButton& Bt = Buttons[I];
  TRect R = Bt.R;
  if (!Usable(R)) return;
  TColor frame = gfx::clBtnShadow, fill = gfx::clBtnFace;
  if (Bt.Down && Bt.MouseIn) {
    frame = bsHotFrameColor;
    fill = bsDownFillColor;
  } else if (Bt.MouseIn) {
    frame = bsHotFrameColor;
    fill = bsHotFillColor;
  }
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(frame);
  C->FrameRect(R);
  C->Brush()->SetColor(fill);
  C->FillRect({R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
  DrawArrowGlyph(C, R, gfx::clBlack, ArrowKind(I));
}

void TbsSkinUpDown::CreateControlDefaultImage(gfx::TBitmap* B) {
  CalcButtons();
  B->Canvas()->Brush()->SetStyle(gfx::bsSolid);
  B->Canvas()->Brush()->SetColor(gfx::clBtnFace);
  B->Canvas()->FillRect({0, 0, B->Width(), B->Height()});
  DrawDefaultButton(B->Canvas(), 0);
  DrawDefaultButton(B->Canvas(), 1);
}

void TbsSkinUpDown::DrawResizeButton(gfx::TCanvas* C, int I) {
  const TbsControlButton& Bt = Buttons[I];
  TRect R = Bt.R;
  if (!Usable(R)) return;
  int idx = SkinUsable(FSD) ? FSD->GetControlIndex("resizebutton") : -1;
  auto* Rec = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, idx));
  gfx::TBitmap* P = Rec ? SkinPicture(FSD, Rec->PictureIndex) : nullptr;
  if (!Rec || !P || !Usable(Rec->SkinRect)) {
    // No button record to draw from: the default look of that button.
    DrawDefaultButton(C, I);
    return;
  }
  TRect active = IsNullRect(Rec->ActiveSkinRect) ? Rec->SkinRect : Rec->ActiveSkinRect;
  TRect down = IsNullRect(Rec->DownSkinRect) ? active : Rec->DownSkinRect;
  bool pressed = Bt.Down && Bt.MouseIn;
  TRect src = pressed ? down : (Bt.MouseIn ? active : Rec->SkinRect);
  TColor fc = pressed ? Rec->DownFontColor : (Bt.MouseIn ? Rec->ActiveFontColor : Rec->FontColor);
  int w = R.Width(), h = R.Height();
  int dw = w - Rec->SkinRect.Width(), dh = h - Rec->SkinRect.Height();
  TbsNinePart s{Rec->LTPoint, Rec->RTPoint, Rec->LBPoint, Rec->RBPoint, Rec->ClRect};
  TbsNinePart n{Rec->LTPoint,
                {Rec->RTPoint.X + dw, Rec->RTPoint.Y},
                {Rec->LBPoint.X, Rec->LBPoint.Y + dh},
                {Rec->RBPoint.X + dw, Rec->RBPoint.Y + dh},
                {Rec->ClRect.Left, Rec->ClRect.Top, Rec->ClRect.Right + dw, Rec->ClRect.Bottom + dh}};
  gfx::TBitmap T;
  CreateSkinImage(
      s, n, &T, {P, src}, w, h, true,
      {Rec->LeftStretch, Rec->TopStretch, Rec->RightStretch, Rec->BottomStretch, Rec->StretchEffect, Rec->StretchType});
  C->Draw(R.Left, R.Top, &T);
  TRect ar = R;
  if (pressed) {
    ar.Left += 2;
    ar.Top += 2;
  }
  DrawArrowGlyph(C, ar, fc, ArrowKind(I));
}

void TbsSkinUpDown::CreateControlSkinImage(gfx::TBitmap* B) {
  CalcButtons();
  if (!FUseSkinSize) {
    B->Canvas()->Brush()->SetStyle(gfx::bsSolid);
    B->Canvas()->Brush()->SetColor(gfx::clBtnFace);
    B->Canvas()->FillRect({0, 0, B->Width(), B->Height()});
    DrawResizeButton(B->Canvas(), 0);
    DrawResizeButton(B->Canvas(), 1);
    return;
  }
  TbsSkinCustomControl::CreateControlSkinImage(B);
  if (!HasUpDownRecord() || !Picture) return;
  for (int i = 0; i < 2; ++i) {
    const TbsControlButton& Bt = Buttons[i];
    TRect src;
    if (Bt.Down && Bt.MouseIn)
      src = i == 0 ? DownUpButtonRect : DownDownButtonRect;
    else if (Bt.MouseIn)
      src = i == 0 ? ActiveUpButtonRect : ActiveDownButtonRect;
    if (Usable(src) && Usable(Bt.R)) B->Canvas()->CopyRect(Bt.R, Picture->Canvas(), src);
  }
}

// ---------------------------------------------------------------------------- input

void TbsSkinUpDown::StartTimer(int Ms) {
  if (!HandleAllocated()) return;
  KillTimer(Handle(), 1);
  SetTimer(Handle(), 1, UINT(Ms));
}

void TbsSkinUpDown::StopTimer() {
  if (HandleAllocated()) KillTimer(Handle(), 1);
  FTimerMode = 0;
}

void TbsSkinUpDown::TestActive(int X, int Y) {
  OldActiveButton = ActiveButton;
  ActiveButton = -1;
  for (int i = 0; i < 2; ++i)
    if (InClosed(Buttons[i].R, X, Y)) {
      ActiveButton = i;
      break;
    }
  if (CaptureButton != -1 && ActiveButton != CaptureButton) ActiveButton = -1;
  if (ActiveButton == OldActiveButton) return;
  if (OldActiveButton != -1) {
    Buttons[OldActiveButton].MouseIn = false;
    Repaint();
    if (FTimerMode != 0 && Buttons[OldActiveButton].Down && HandleAllocated()) KillTimer(Handle(), 1);
  }
  if (ActiveButton != -1) {
    Buttons[1 - ActiveButton].MouseIn = false;
    Buttons[ActiveButton].MouseIn = true;
    Repaint();
    if (FTimerMode != 0 && Buttons[ActiveButton].Down) StartTimer(50);
  }
}

void TbsSkinUpDown::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  CalcButtons();
  TestActive(X, Y);
  if (ActiveButton != -1) {
    Buttons[1 - ActiveButton].MouseIn = false;
    CaptureButton = ActiveButton;
    Buttons[ActiveButton].MouseIn = true;
    Buttons[ActiveButton].Down = true;
    Repaint();
    if (FIncrement != 0) {
      FTimerMode = ActiveButton == 0 ? 2 : 1;
      WaitMode = true;
      StartTimer(500);
    }
  }
  TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TbsSkinUpDown::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TestActive(X, Y);
  TbsSkinCustomControl::MouseMove(Shift, X, Y);
}

void TbsSkinUpDown::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  int I = CaptureButton;
  if (I != -1) {
    if (FIncrement != 0) StopTimer();
    Buttons[I].Down = false;
    if (ActiveButton != I) Buttons[I].MouseIn = false;
    Repaint();
    if (ActiveButton == I) {
      if (I == 0) {
        if (FIncrement != 0) SetPosition(FPosition + FIncrement);
        OnUpButtonClick(this);
      } else {
        if (FIncrement != 0) SetPosition(FPosition - FIncrement);
        OnDownButtonClick(this);
      }
    }
    CaptureButton = -1;
  }
  TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinUpDown::WMTimer(cl::TMessage& Msg) {
  TbsSkinCustomControl::Dispatch(Msg);
  if (Msg.WParam != 1) return;
  if (WaitMode) {
    WaitMode = false;
    StartTimer(100);
    return;
  }
  if (FTimerMode == 1)
    SetPosition(FPosition - FIncrement);
  else if (FTimerMode == 2)
    SetPosition(FPosition + FIncrement);
}

void TbsSkinUpDown::CMMouseEnter(cl::TMessage& Msg) {
  ActiveButton = OldActiveButton = -1;
  TbsSkinCustomControl::CMMouseEnter(Msg);
}

void TbsSkinUpDown::CMMouseLeave(cl::TMessage& Msg) {
  ActiveButton = OldActiveButton = -1;
  TbsSkinCustomControl::CMMouseLeave(Msg);
  // A held button pauses its repeat while the pointer is away; coming back
  // onto it restarts the repeat at the fast rate.
  if (CaptureButton != -1 && FTimerMode != 0 && HandleAllocated()) KillTimer(Handle(), 1);
  bool changed = false;
  for (auto& b : Buttons)
    if (b.MouseIn) {
      b.MouseIn = false;
      changed = true;
    }
  if (changed) Repaint();
}

void TbsSkinUpDown::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_TIMER:
      WMTimer(Msg);
      return;
    case WM_SIZE:
      TbsSkinCustomControl::Dispatch(Msg);
      CalcButtons();
      return;
    default:
      TbsSkinCustomControl::Dispatch(Msg);
  }
}

}  // namespace skin
