#include "skin/controls/bsSkinScrollBar.h"

#include <algorithm>
#include <cmath>

#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"

namespace skin {

using namespace win;

namespace {

int RoundEven(double v) { return int(std::nearbyint(v)); }

bool InRect(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

}  // namespace

TbsSkinScrollBar::TbsSkinScrollBar(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  SetBounds(Left(), Top(), 200, 19);
  FDefaultHeight = 19;
  FSkinDataName = "hscrollbar";
}

// ---------------------------------------------------------------------------- range

int TbsSkinScrollBar::Clamp(int V) const {
  int upper = FPageSize == 0 ? FMax : FMax - FPageSize + 1;
  if (V > upper) V = upper;
  // A page larger than the range leaves no room above Min: Position stays at
  // Min rather than below it.
  if (V < FMin) V = FMin;
  return V;
}

void TbsSkinScrollBar::SetRange(int AMin, int AMax, int APosition, int APageSize) {
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  FPosition = Clamp(APosition);
  Repaint();
}

void TbsSkinScrollBar::SimplySetPosition(int AValue) {
  int v = Clamp(AValue);
  if (v == FPosition) return;
  FPosition = v;
  Repaint();
}

void TbsSkinScrollBar::SetPosition(int Value) {
  int v = Clamp(Value);
  if (v == FPosition) return;
  FPosition = v;
  Repaint();
  OnChange(this);
}

void TbsSkinScrollBar::SetMin(int Value) {
  FMin = Value;
  if (FPosition < FMin) FPosition = FMin;
  Repaint();
}

void TbsSkinScrollBar::SetMax(int Value) {
  FMax = Value;
  // The last position a page allows is Max - PageSize + 1, whatever Min is.
  if (FPageSize == 0) {
    if (FMax < FPosition) FPosition = FMax;
  } else if (FMax < FPageSize + FPosition - 1) {
    FPosition = FMax - FPageSize + 1;
  }
  if (FPosition < FMin) FPosition = FMin;
  Repaint();
}

void TbsSkinScrollBar::SetPageSize(int Value) {
  // A page must fit between Position and Max.
  if (FPosition + Value <= FMax + 1) FPageSize = Value;
  Repaint();
}

void TbsSkinScrollBar::SetSmallChange(int V) {
  FSmallChange = V;
  Repaint();
}

void TbsSkinScrollBar::SetLargeChange(int V) {
  FLargeChange = V;
  Repaint();
}

void TbsSkinScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  // The default size follows the kind: a vertical bar keeps its default
  // thickness as width, never squashed to a 19-pixel height without a skin.
  if (FKind == sbVertical && FDefaultHeight > 0) {
    FDefaultWidth = FDefaultHeight;
    FDefaultHeight = 0;
  } else if (FKind == sbHorizontal && FDefaultWidth > 0) {
    FDefaultHeight = FDefaultWidth;
    FDefaultWidth = 0;
  }
  Repaint();
}

void TbsSkinScrollBar::SetBoth(bool Value) {
  if (FBoth == Value) return;
  FBoth = Value;
  if (FBoth) {
    FNormalSkinDataName = FSkinDataName;
    FSkinDataName = FBothSkinDataName;
  } else if (!FNormalSkinDataName.empty()) {
    FSkinDataName = FNormalSkinDataName;
  }
  GetSkinData();
  if (FIndex == -1)
    Repaint();
  else
    ChangeSkinData();
}

void TbsSkinScrollBar::SetBothMarkerWidth(int Value) {
  if (Value < 0) return;
  FBothMarkerWidth = Value;
  if (FIndex == -1) Repaint();
}

void TbsSkinScrollBar::SetCanFocused(bool Value) {
  FCanFocused = Value;
  SetTabStop(Value);
}

// ---------------------------------------------------------------------------- skin and layout

void TbsSkinScrollBar::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinScrollBarControl*>(SkinRecord(FSD, FIndex));
  if (!R) return;
  TrackArea = R->TrackArea;
  UpButtonRect = R->UpButtonRect;
  ActiveUpButtonRect = R->ActiveUpButtonRect;
  DownUpButtonRect = IsNullRect(R->DownUpButtonRect) ? ActiveUpButtonRect : R->DownUpButtonRect;
  DownButtonRect = R->DownButtonRect;
  ActiveDownButtonRect = R->ActiveDownButtonRect;
  DownDownButtonRect = IsNullRect(R->DownDownButtonRect) ? ActiveDownButtonRect : R->DownDownButtonRect;
  ThumbRect = R->ThumbRect;
  ActiveThumbRect = IsNullRect(R->ActiveThumbRect) ? ThumbRect : R->ActiveThumbRect;
  DownThumbRect = IsNullRect(R->DownThumbRect) ? ActiveThumbRect : R->DownThumbRect;
  ThumbOffset1 = R->ThumbOffset1;
  ThumbOffset2 = R->ThumbOffset2;
  ThumbTransparent = R->ThumbTransparent;
  ThumbTransparentColor = R->ThumbTransparentColor;
  ThumbStretchEffect = R->ThumbStretchEffect;
  ThumbMinSize = R->ThumbMinSize;
  ThumbMinPageSize = R->ThumbMinPageSize;
  GlyphRect = R->GlyphRect;
  ActiveGlyphRect = IsNullRect(R->ActiveGlyphRect) ? GlyphRect : R->ActiveGlyphRect;
  DownGlyphRect = IsNullRect(R->DownGlyphRect) ? ActiveGlyphRect : R->DownGlyphRect;
  GlyphTransparent = R->GlyphTransparent;
  GlyphTransparentColor = R->GlyphTransparentColor;
}

void TbsSkinScrollBar::CalcSize(int& AWidth, int& AHeight) {
  TbsSkinCustomControl::CalcSize(AWidth, AHeight);
  CalcRects();
}

void TbsSkinScrollBar::CalcRects() {
  bool skinned = FIndex != -1 && dynamic_cast<TbsDataSkinScrollBarControl*>(SkinRecord(FSD, FIndex));
  int W = Width(), H = Height();
  TRect thumb;
  int M, fixedLen, crossStart, crossSize;
  if (!skinned) {
    int w = (FBoth && Horizontal()) ? W - FBothMarkerWidth : W;
    if (Horizontal()) {
      Buttons[2].R = {1, 1, 17, H - 1};
      Buttons[1].R = {w - 17, 1, w - 1, H - 1};
      NewTrackArea = {17, 1, w - 17, H - 1};
    } else {
      Buttons[2].R = {1, 1, W - 1, 17};
      Buttons[1].R = {1, H - 17, W - 1, H - 1};
      NewTrackArea = {1, 17, W - 1, H - 17};
    }
    M = 16;
    fixedLen = 16;
    crossStart = Horizontal() ? NewTrackArea.Top : NewTrackArea.Left;
    crossSize = Horizontal() ? RectHeight(NewTrackArea) : RectWidth(NewTrackArea);
  } else {
    int g = Horizontal() ? W - RectWidth(G.SkinRect) : H - RectHeight(G.SkinRect);
    NewTrackArea = TrackArea;
    auto moved = [&](TRect r) {
      if (Horizontal() && r.Left >= G.RTPt.X) {
        r.Left += g;
        r.Right += g;
      } else if (!Horizontal() && r.Top >= G.LBPt.Y) {
        r.Top += g;
        r.Bottom += g;
      }
      return r;
    };
    if (Horizontal())
      NewTrackArea.Right += g;
    else
      NewTrackArea.Bottom += g;
    Buttons[1].R = moved(UpButtonRect);
    Buttons[2].R = moved(DownButtonRect);
    int C = Horizontal() ? RectHeight(ThumbRect) : RectWidth(ThumbRect);
    int S = Horizontal() ? RectWidth(ThumbRect) : RectHeight(ThumbRect);
    if (ThumbMinSize != 0) S = ThumbMinSize;
    M = S;
    fixedLen = ThumbMinPageSize != 0 ? ThumbMinPageSize : S;
    int tcs = Horizontal() ? NewTrackArea.Top : NewTrackArea.Left;
    int tcz = Horizontal() ? RectHeight(NewTrackArea) : RectWidth(NewTrackArea);
    crossStart = tcs + tcz / 2 - C / 2;
    crossSize = C;
  }
  int trackStart = Horizontal() ? NewTrackArea.Left : NewTrackArea.Top;
  int trackEnd = Horizontal() ? NewTrackArea.Right : NewTrackArea.Bottom;
  int trackLen = trackEnd - trackStart;
  int L;
  double t;
  if (FPageSize == 0) {
    L = fixedLen;
    t = FMax == FMin ? 0.0 : double(FPosition - FMin) / double(FMax - FMin);
  } else {
    int div = FMax - FMin + 1;
    double k = div == 0 ? 0.0 : double(FPageSize) / double(div);
    L = RoundEven(trackLen * k);
    if (L < M) L = M;
    if (FMin < FMax - FPageSize + 1)
      t = double(FPosition - FMin) / double(FMax - FPageSize + 1 - FMin);
    else
      t = Horizontal() ? 1.0 : 0.0;
  }
  int h = L / 2;
  Offset1 = trackStart + h;
  Offset2 = trackEnd - h;
  BOffset = RoundEven((Offset2 - Offset1) * t);
  int a = Offset1 + BOffset - h, b = Offset1 + BOffset + h;
  if (Horizontal())
    thumb = {a, crossStart, b, crossStart + crossSize};
  else
    thumb = {crossStart, a, crossStart + crossSize, b};
  Buttons[0].R = thumb;
}

int TbsSkinScrollBar::CalcPosition(int AOffset) {
  if (FPageSize != 0) {
    const TRect& T = Buttons[0].R;
    int half = (Horizontal() ? RectWidth(T) : RectHeight(T)) / 2;
    Offset1 = (Horizontal() ? NewTrackArea.Left : NewTrackArea.Top) + half;
    Offset2 = (Horizontal() ? NewTrackArea.Right : NewTrackArea.Bottom) - half;
  }
  int d = Offset2 - Offset1;
  double f = d > 0 ? double(AOffset) / double(d) : 0.0;
  f = std::clamp(f, 0.0, 1.0);
  if (FPageSize == 0) return FMin + RoundEven((FMax - FMin) * f);
  return FMin + RoundEven((FMax - FMin - FPageSize + 1) * f);
}

// ---------------------------------------------------------------------------- painting

void TbsSkinScrollBar::CreateControlDefaultImage(gfx::TBitmap* B) {
  CalcRects();
  gfx::TCanvas* C = B->Canvas();
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(gfx::clBtnFace);
  C->FillRect({0, 0, B->Width(), B->Height()});
  if (Enabled()) DrawButton(C, 0);
  DrawButton(C, 1);
  DrawButton(C, 2);
}

void TbsSkinScrollBar::CreateControlSkinImage(gfx::TBitmap* B) {
  TbsSkinCustomControl::CreateControlSkinImage(B);
  if (!dynamic_cast<TbsDataSkinScrollBarControl*>(SkinRecord(FSD, FIndex))) return;
  CalcRects();
  DrawButton(B->Canvas(), 1);
  DrawButton(B->Canvas(), 2);
  if (Enabled()) DrawButton(B->Canvas(), 0);
}

void TbsSkinScrollBar::DrawButton(gfx::TCanvas* C, int I) {
  const TbsControlButton& Bt = Buttons[I];
  TRect R = Bt.R;
  if (RectWidth(R) <= 0 || RectHeight(R) <= 0) return;
  bool pressed = I == 0 ? (Bt.Down || IsFocused()) : (Bt.Down && Bt.MouseIn);
  bool skinned = FIndex != -1 && Picture && dynamic_cast<TbsDataSkinScrollBarControl*>(SkinRecord(FSD, FIndex));
  if (!skinned) {
    TColor frame = gfx::clBtnShadow, fill = gfx::clBtnFace;
    if (pressed) {
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
    TRect in{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    C->FillRect(in);
    if (I != 0) {
      int kind = I == 1 ? (Horizontal() ? 2 : 4) : (Horizontal() ? 1 : 3);
      DrawArrowGlyph(C, in, gfx::clBlack, kind);
    }
    return;
  }
  if (I != 0) {
    TRect src;
    if (Bt.Down && Bt.MouseIn)
      src = I == 1 ? DownUpButtonRect : DownDownButtonRect;
    else if (Bt.MouseIn)
      src = I == 1 ? ActiveUpButtonRect : ActiveDownButtonRect;
    if (!IsNullRect(src) && RectWidth(src) > 0 && RectHeight(src) > 0) C->CopyRect(R, Picture->Canvas(), src);
    return;
  }
  TRect src = pressed ? DownThumbRect : (Bt.MouseIn ? ActiveThumbRect : ThumbRect);
  if (RectWidth(src) <= 0 || RectHeight(src) <= 0) return;
  gfx::TBitmap T;
  int w = RectWidth(R), h = RectHeight(R);
  T.SetSize(w, h);
  if (FPageSize != 0 || ThumbMinPageSize != 0) {
    if (Horizontal())
      CreateHSkinImage(ThumbOffset1, ThumbOffset2, &T, {Picture, src}, w, h, ThumbStretchEffect);
    else
      CreateVSkinImage(ThumbOffset1, ThumbOffset2, &T, {Picture, src}, w, h, ThumbStretchEffect);
  } else {
    T.Canvas()->CopyRect({0, 0, w, h}, Picture->Canvas(), src);
  }
  TRect gsrc = pressed ? DownGlyphRect : (Bt.MouseIn ? ActiveGlyphRect : GlyphRect);
  int gw = RectWidth(gsrc), gh = RectHeight(gsrc);
  if (gw > 0 && gh > 0 && (Horizontal() ? gw < w : gh < h)) {
    int gl = w / 2 - gw / 2, gt = h / 2 - gh / 2;
    if (GlyphTransparent)
      T.Canvas()->BrushCopy({gl, gt, gl + gw, gt + gh}, Picture, gsrc, GlyphTransparentColor);
    else
      T.Canvas()->CopyRect({gl, gt, gl + gw, gt + gh}, Picture->Canvas(), gsrc);
  }
  if (ThumbTransparent) {
    T.SetTransparentMode(gfx::tmFixed);
    T.SetTransparentColor(ThumbTransparentColor);
    T.SetTransparent(true);
  }
  C->Draw(R.Left, R.Top, &T);
}

// ---------------------------------------------------------------------------- input

void TbsSkinScrollBar::StartTimer(int Ms) {
  KillTimer(Handle(), 1);
  SetTimer(Handle(), 1, UINT(Ms));
}

void TbsSkinScrollBar::StopTimer() {
  if (HandleAllocated()) KillTimer(Handle(), 1);
  FTimerMode = 0;
}

void TbsSkinScrollBar::ArrowStep(bool Up) {
  if (Up) {
    if (OnUpButtonClick)
      OnUpButtonClick(this);
    else
      SetPosition(FPosition + FSmallChange);
  } else {
    if (OnDownButtonClick)
      OnDownButtonClick(this);
    else
      SetPosition(FPosition - FSmallChange);
  }
}

void TbsSkinScrollBar::PageStep(bool Up) {
  if (Up) {
    SetPosition(FPosition - FLargeChange);
    FTimerMode = 3;
  } else {
    SetPosition(FPosition + FLargeChange);
    FTimerMode = 4;
  }
  StartTimer(500);
  if (Up)
    OnPageUp(this);
  else
    OnPageDown(this);
}

void TbsSkinScrollBar::ButtonDown(int I, int X, int Y) {
  if (I == 0) {
    OMPos = Horizontal() ? X : Y;
    OldBOffset = BOffset;
    OldPosition = FPosition;
    const TRect& T = Buttons[0].R;
    FScrollWidth = Horizontal() ? NewTrackArea.Right - T.Right : NewTrackArea.Bottom - T.Bottom;
    if (FScrollWidth <= 0) FScrollWidth = Horizontal() ? T.Left - NewTrackArea.Left : T.Top - NewTrackArea.Top;
    FDown = true;
    Buttons[0].Down = true;
    Repaint();
    return;
  }
  Buttons[I].Down = true;
  Repaint();
  ArrowStep(I == 1);
  FTimerMode = I == 1 ? 2 : 1;
  StartTimer(500);
}

void TbsSkinScrollBar::ButtonUp(int I) {
  Buttons[I].Down = false;
  if (ActiveButton != I) Buttons[I].MouseIn = false;
  Repaint();
  if (I == 0)
    FDown = false;
  else
    StopTimer();
}

void TbsSkinScrollBar::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (Button != cl::mbLeft) {
    TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  MouseD = true;
  MX = X;
  MY = Y;
  CalcRects();
  FTimerMode = 0;
  WaitMode = true;
  int hit = -1;
  for (int i = 0; i < 3 && hit == -1; ++i)
    if ((i != 0 || Enabled()) && InRect(Buttons[i].R, X, Y)) hit = i;
  if (hit != -1) {
    CaptureButton = hit;
    ButtonDown(hit, X, Y);
  } else if (InRect(NewTrackArea, X, Y)) {
    const TRect& T = Buttons[0].R;
    PageStep(Horizontal() ? X < T.Left : Y < T.Top);
  }
  TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TbsSkinScrollBar::TestActive(int X, int Y) {
  OldActiveButton = ActiveButton;
  ActiveButton = -1;
  for (int i = 0; i < 3; ++i)
    if ((i != 0 || Enabled()) && InRect(Buttons[i].R, X, Y)) {
      ActiveButton = i;
      break;
    }
  if (CaptureButton != -1 && ActiveButton != CaptureButton) ActiveButton = -1;
  if (ActiveButton == OldActiveButton) return;
  if (OldActiveButton != -1) {
    Buttons[OldActiveButton].MouseIn = false;
    Repaint();
    if (OldActiveButton != 0 && Buttons[OldActiveButton].Down && HandleAllocated()) KillTimer(Handle(), 1);
  }
  if (ActiveButton != -1) {
    Buttons[ActiveButton].MouseIn = true;
    Repaint();
    if (ActiveButton != 0 && Buttons[ActiveButton].Down) StartTimer(50);
  }
}

void TbsSkinScrollBar::MouseMove(cl::TShiftState Shift, int X, int Y) {
  MX = X;
  MY = Y;
  TestActive(X, Y);
  if (FDown) SetPosition(CalcPosition(OldBOffset + ((Horizontal() ? X : Y) - OMPos)));
  TbsSkinCustomControl::MouseMove(Shift, X, Y);
}

void TbsSkinScrollBar::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
  MouseD = false;
  if (FTimerMode == 3 || FTimerMode == 4) StopTimer();
  int captured = CaptureButton;
  if (captured != -1) ButtonUp(captured);
  if (Button == cl::mbLeft && captured == 0) OnLastChange(this);
  CaptureButton = -1;
}

void TbsSkinScrollBar::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseLeave(Msg);
  if (ActiveButton != -1 && CaptureButton == -1 && !FDown) {
    Buttons[ActiveButton].MouseIn = false;
    Repaint();
    ActiveButton = -1;
  }
  if (MouseD && (FTimerMode == 3 || FTimerMode == 4)) StopTimer();
}

void TbsSkinScrollBar::WMTimer(cl::TMessage& Msg) {
  TbsSkinCustomControl::Dispatch(Msg);
  if (Msg.WParam != 1) return;
  if (WaitMode) {
    WaitMode = false;
    StartTimer(50);
    return;
  }
  const TRect& T = Buttons[0].R;
  switch (FTimerMode) {
    case 1:
      ArrowStep(false);
      break;
    case 2:
      ArrowStep(true);
      break;
    case 3:
      TestActive(MX, MY);
      if (Horizontal() ? MX < T.Left : MY < T.Top) {
        SetPosition(FPosition - FLargeChange);
        OnPageUp(this);
      } else {
        StopTimer();
      }
      break;
    case 4:
      TestActive(MX, MY);
      if (Horizontal() ? MX > T.Right : MY > T.Bottom) {
        SetPosition(FPosition + FLargeChange);
        OnPageDown(this);
      } else {
        StopTimer();
      }
      break;
    default:
      break;
  }
}

void TbsSkinScrollBar::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  TbsSkinCustomControl::KeyDown(Key, Shift);
  if (!FCanFocused) return;
  if (Key == VK_LEFT || Key == VK_UP)
    SetPosition(FPosition - FSmallChange);
  else if (Key == VK_RIGHT || Key == VK_DOWN)
    SetPosition(FPosition + FSmallChange);
}

void TbsSkinScrollBar::WndProc(cl::TMessage& Msg) {
  if ((Msg.Msg == WM_LBUTTONDOWN || Msg.Msg == WM_LBUTTONDBLCLK) && FCanFocused && !Focused()) {
    FClicksDisabled = true;
    SetFocus();
    FClicksDisabled = false;
    if (!Focused()) return;
  }
  if (Msg.Msg == CN_COMMAND && FClicksDisabled) return;
  TbsSkinCustomControl::WndProc(Msg);
}

void TbsSkinScrollBar::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_TIMER:
      WMTimer(Msg);
      return;
    case WM_MOUSEWHEEL:
      if (IsFocused()) {
        if (int16_t(Msg.WParamHi()) > 0)
          SetPosition(FPosition - FSmallChange);
        else
          SetPosition(FPosition + FSmallChange);
      }
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FCanFocused) Repaint();
      return;
    case WM_ERASEBKGND:
      if (!FromWMPaint && Msg.WParam) PaintWindow(gfx::HDC(uint32_t(Msg.WParam)));
      Msg.Result = 1;
      return;
    case CM_ENABLEDCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      Repaint();
      return;
    case CM_WANTSPECIALKEY:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FCanFocused && Msg.WParam >= 37 && Msg.WParam <= 40) Msg.Result = 1;
      return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

}  // namespace skin
