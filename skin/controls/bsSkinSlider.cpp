#include "skin/controls/bsSkinSlider.h"

#include <algorithm>
#include <cmath>

#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsParentImage.h"
#include "skin/draw/bsSkinImages.h"

namespace skin {

using namespace win;

namespace {

int RoundEven(double v) { return int(std::nearbyint(v)); }

// Colours of the built-in pictures (0x00BBGGRR); the key colour sits in the
// bottom-left corner, so that the automatic transparency leaves it out.
constexpr TColor kKey = 0xFF00FF, kFace = 0xC8D0D4, kFaceDown = 0xA8B0B4, kLight = 0xFFFFFF, kShadow = 0x808080,
                 kDark = 0x404040, kGroove = 0xF4F4F4;

// One thumb state, pointing along +y (horizontal thumb) or +x (vertical
// thumb when Across is set): a bevelled block that narrows to a point.
void DrawThumbState(gfx::TCanvas* C, int X0, int W, int H, bool Down, bool Across) {
  // Drawn as a horizontal thumb of w x h in "thumb space", mapped on C.
  int w = Across ? H : W, h = Across ? W : H;
  int body = h - (w + 1) / 2;
  auto put = [&](int x, int y, TColor c) {
    if (Across)
      C->SetPixels(X0 + y, x, c);
    else
      C->SetPixels(X0 + x, y, c);
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) put(x, y, kKey);
  int mid = w / 2;
  for (int y = 0; y < h; ++y) {
    int inset = y < body ? 0 : y - body + 1;
    int l = inset, r = w - 1 - inset;
    if (l > mid) l = mid;
    if (r < mid) r = mid;
    for (int x = l; x <= r; ++x) {
      TColor c = Down ? kFaceDown : kFace;
      if (x == l || y == 0) c = Down ? kShadow : kLight;
      if (x == r || y == h - 1) c = Down ? kLight : kDark;
      put(x, y, c);
    }
  }
}

void DrawRuler(gfx::TCanvas* C, int W, int H, bool Vertical) {
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int a = Vertical ? y : x, b = Vertical ? x : y;
      int la = Vertical ? H : W, lb = Vertical ? W : H;
      TColor c = kGroove;
      if (b == 0 || a == 0) c = kShadow;
      if (b == 1 || a == 1) c = kDark;
      if (b == lb - 1 || a == la - 1) c = kLight;
      bool corner = (a == 0 || a == la - 1) && (b == 0 || b == lb - 1);
      C->SetPixels(x, y, corner ? kKey : c);
    }
}

}  // namespace

void DrawBuiltInSliderPicture(const std::string& Name, gfx::TBitmap* B) {
  if (Name == "BS_HTB") {
    B->SetSize(18, 17);
    DrawThumbState(B->Canvas(), 0, 9, 17, false, false);
    DrawThumbState(B->Canvas(), 9, 9, 17, true, false);
  } else if (Name == "BS_HRL") {
    B->SetSize(10, 8);
    DrawRuler(B->Canvas(), 10, 8, false);
  } else if (Name == "BS_VTB") {
    B->SetSize(38, 9);
    DrawThumbState(B->Canvas(), 0, 19, 9, false, true);
    DrawThumbState(B->Canvas(), 19, 19, 9, true, true);
    // Rounded back corners, so the bottom-left pixel is the key.
    for (int x : {0, 19})
      for (int y : {0, 8}) B->Canvas()->SetPixels(x, y, kKey);
  } else if (Name == "BS_VRL") {
    B->SetSize(8, 10);
    DrawRuler(B->Canvas(), 8, 10, true);
  }
}

namespace {
const char* const kBuiltIn[4] = {"BS_HTB", "BS_HRL", "BS_VTB", "BS_VRL"};
}

TbsSkinCustomSlider::TbsSkinCustomSlider(cl::TComponent* AOwner) : TbsSkinControl(AOwner) {
  ControlStyle = cl::csAcceptsControls | cl::csCaptureMouse | cl::csClickEvents | cl::csOpaque | cl::csDoubleClicks;
  FSkinDataName = "slider";
  SetTabStop(true);
  SetColor(gfx::clWindow);
  for (int i = 0; i < 4; ++i) {
    FImages[size_t(i)] = std::make_unique<gfx::TBitmap>();
    DrawBuiltInSliderPicture(kBuiltIn[i], FImages[size_t(i)].get());
  }
  SetBounds(Left(), Top(), 150, 40);
  AdjustElements();
}

// ---------------------------------------------------------------------------- properties

void TbsSkinCustomSlider::SetImage(TbsSliderImage I, gfx::TBitmap* Value) {
  auto& img = FImages[size_t(I)];
  if (Value) {
    img->Assign(Value);
    FUserImages |= 1u << I;
  } else {
    DrawBuiltInSliderPicture(kBuiltIn[I], img.get());
    FUserImages &= ~(1u << I);
    FOptions &= ~unsigned((I == siHThumb || I == siVThumb) ? soThumbOpaque : soRulerOpaque);
    Invalidate();
  }
  AdjustElements();
}

void TbsSkinCustomSlider::SetOrientation(TbsSliderOrientation V) {
  if (FOrientation == V) return;
  FOrientation = V;
  AdjustElements();
  if (!(ComponentState() & cl::csLoading)) SetBounds(Left(), Top(), Height(), Width());
}

void TbsSkinCustomSlider::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  int w = Width(), hgt = Height();
  TbsSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  // Without a window there is no size message: lay out here as well.
  if (w != Width() || hgt != Height()) AdjustElements();
}

void TbsSkinCustomSlider::SetOptions(TbsSliderOptions V) {
  if (FOptions == V) return;
  FOptions = V;
  Invalidate();
}

void TbsSkinCustomSlider::SetMinValue(int V) {
  if (V != FMinValue) SetRange(V, FMaxValue);
}

void TbsSkinCustomSlider::SetMaxValue(int V) {
  if (V != FMaxValue) SetRange(FMinValue, V);
}

void TbsSkinCustomSlider::SetRange(int AMin, int AMax) {
  if (AMax <= AMin) return;
  FMinValue = AMin;
  FMaxValue = AMax;
  if (AMax < AMin + FIncrement) FIncrement = AMax - AMin;
  if (FOptions & soShowPoints) Invalidate();
  SetValue(FValue);
  RangeChanged();
}

void TbsSkinCustomSlider::SetIncrement(int V) {
  if (V <= 0 || V == FIncrement) return;
  FIncrement = V;
  SetValue(FValue);
  Invalidate();
}

void TbsSkinCustomSlider::SetEdgeSize(int V) {
  if (V == FEdgeSize) return;
  gfx::TBitmap* r = FImages[Vertical() ? siVRuler : siHRuler].get();
  int len = Vertical() ? r->Height() : r->Width();
  if (2 * V >= len || V < 0) return;
  FEdgeSize = V;
  AdjustElements();
}

void TbsSkinCustomSlider::SetNumThumbStates(int V) {
  V = std::clamp(V, 1, 2);
  if (V == FNumThumbStates) return;
  FNumThumbStates = V;
  AdjustElements();
}

void TbsSkinCustomSlider::SetTransparent(bool V) {
  FTransparent = V;
  Invalidate();
}

// ---------------------------------------------------------------------------- skin and layout

void TbsSkinCustomSlider::GetSkinData() {
  TbsSkinControl::GetSkinData();
  Picture = nullptr;
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinSlider*>(SkinRecord(FSD, FIndex));
  if (!R) return;
  Picture = SkinPicture(FSD, R->PictureIndex);
  HRulerRect = R->HRulerRect;
  HThumbRect = R->HThumbRect;
  VRulerRect = R->VRulerRect;
  VThumbRect = R->VThumbRect;
  SkinEdgeSize = R->EdgeSize;
  BGColor = R->BGColor;
  PointsColor = R->PointsColor;
}

void TbsSkinCustomSlider::ChangeSkinData() {
  AdjustElements();
  Repaint();
}

void TbsSkinCustomSlider::ThumbSize(int& W, int& H) {
  if (Skinned() && FUseSkinThumb) {
    const TRect& T = Vertical() ? VThumbRect : HThumbRect;
    W = RectWidth(T) / 2;
    H = RectHeight(T);
    return;
  }
  gfx::TBitmap* T = FImages[Vertical() ? siVThumb : siHThumb].get();
  W = T->Width() / FNumThumbStates;
  H = T->Height();
}

int TbsSkinCustomSlider::RulerRange() {
  int tw, th;
  ThumbSize(tw, th);
  return Vertical() ? FRuler.Height() - th : FRuler.Width() - tw;
}

void TbsSkinCustomSlider::AdjustElements() {
  if (FInLayout) return;
  FInLayout = true;
  struct Reset {
    bool& f;
    ~Reset() { f = false; }
  } reset{FInLayout};
  GetSkinData();
  int keep = FValue;
  int L = std::max(0, (Vertical() ? Height() : Width()) - 12);
  const TRect& SR = Vertical() ? VRulerRect : HRulerRect;
  if (Skinned() && RectWidth(SR) > 0 && RectHeight(SR) > 0) {
    int cross = Vertical() ? RectWidth(SR) : RectHeight(SR);
    int along = Vertical() ? RectHeight(SR) : RectWidth(SR);
    int e = std::min(SkinEdgeSize, (along - 1) / 2);
    if (L == 0) {
      FRuler.SetSize(0, 0);
    } else if (Vertical()) {
      FRuler.SetSize(cross, L);
      CreateVSkinImage(e, e, &FRuler, {Picture, SR}, cross, L, false);
    } else {
      FRuler.SetSize(L, cross);
      CreateHSkinImage(e, e, &FRuler, {Picture, SR}, L, cross, false);
    }
  } else {
    gfx::TBitmap* img = FImages[Vertical() ? siVRuler : siHRuler].get();
    int len = Vertical() ? img->Height() : img->Width();
    int cross = Vertical() ? img->Width() : img->Height();
    int E = FEdgeSize, T = len - 2 * E;
    if (Vertical())
      FRuler.SetSize(cross, L);
    else
      FRuler.SetSize(L, cross);
    gfx::TCanvas* C = FRuler.Canvas();
    // Along-axis copy of image pixels [s, s + n) to target t.
    auto piece = [&](int s, int n, int t) {
      if (n <= 0) return;
      if (Vertical())
        C->CopyRect({0, t, cross, t + n}, img->Canvas(), {0, s, cross, s + n});
      else
        C->CopyRect({t, 0, t + n, cross}, img->Canvas(), {s, 0, s + n, cross});
    };
    if (L > 0 && T <= 0) {
      // A picture too short for its edges has no tile: stretch it instead.
      C->StretchDraw(Vertical() ? TRect{0, 0, cross, L} : TRect{0, 0, L, cross}, img);
    } else if (L > 0) {
      int A = L - 2 * E, n = A / T, r = A % T;
      piece(0, std::min(E + T, L), 0);
      for (int i = 1; i <= n - 1; ++i) piece(E, T, E + i * T);
      if (n >= 1) piece(E + T - r, r + E, E + n * T);
    }
  }
  int tw, th;
  ThumbSize(tw, th);
  int rw = FRuler.Width(), rh = FRuler.Height();
  if (!Vertical()) {
    if (th > rh) {
      FThumbRect = {6, 6, 6 + tw, 6 + th};
      FRulerOrg = {6, 6 + (th - rh) / 2};
    } else {
      FRulerOrg = {6, 6};
      FThumbRect = {6, 6 + (rh - th) / 2, 6 + tw, 6 + (rh - th) / 2 + th};
    }
    FPointsRect = {FRulerOrg.X, 6 + std::max(th, rh) + 1, FRulerOrg.X + rw, Height() - 1};
  } else {
    if (tw > rw) {
      FThumbRect = {6, 6, 6 + tw, 6 + th};
      FRulerOrg = {6 + (tw - rw) / 2, 6};
    } else {
      FRulerOrg = {6, 6};
      FThumbRect = {6 + (rw - tw) / 2, 6, 6 + (rw - tw) / 2 + tw, 6 + th};
    }
    FPointsRect = {6 + std::max(tw, rw) + 1, FRulerOrg.Y, Width() - 1, FRulerOrg.Y + rh};
  }
  FValue = keep;
  SetThumbOffset(ValueToOffset(FValue), false);
  Invalidate();
}

// ---------------------------------------------------------------------------- value and offset

int TbsSkinCustomSlider::ValueToOffset(int V) {
  const int S = 6;
  int RL = RulerRange();
  int range = FMaxValue - FMinValue;
  int p = (range == 0 ? 0 : RoundEven(double(RL) * (V - FMinValue) / range)) + S;
  if (Vertical()) {
    int tw, th;
    ThumbSize(tw, th);
    p = Height() - p - th;
  }
  return std::max(p, S);
}

int TbsSkinCustomSlider::OffsetToValue(int P) {
  if (Vertical()) {
    int tw, th;
    ThumbSize(tw, th);
    P = ClientHeight() - P - th;
  }
  int RL = RulerRange();
  // A slider too short for its thumb has one position: MinValue.
  int v = RL <= 0 ? 0 : RoundEven(double(P - 6) * (FMaxValue - FMinValue) / RL);
  if (!(FOptions & soSmooth) && FIncrement > 0) v = RoundEven(double(v) / FIncrement) * FIncrement;
  return std::min(std::max(v, 0) + FMinValue, FMaxValue);
}

int TbsSkinCustomSlider::ClampThumbOffset(int P) {
  const int S = 6;
  int RL = std::max(0, RulerRange());
  P = std::clamp(P, S, S + RL);
  P = ValueToOffset(OffsetToValue(P));
  return std::min(P, S + RL);
}

void TbsSkinCustomSlider::InvalidateThumb() {
  if (!HandleAllocated()) return;
  RECT r = FThumbRect;
  InvalidateRect(Handle(), &r, !IsOpaque());
}

void TbsSkinCustomSlider::SetThumbOffset(int P, bool FromDrag) {
  P = ClampThumbOffset(P);
  InvalidateThumb();
  if (Vertical()) {
    int h = RectHeight(FThumbRect);
    FThumbRect.Top = P;
    FThumbRect.Bottom = P + h;
  } else {
    int w = RectWidth(FThumbRect);
    FThumbRect.Left = P;
    FThumbRect.Right = P + w;
  }
  InvalidateThumb();
  if (FromDrag) {
    int v = OffsetToValue(P);
    if (v != FValue) {
      FValue = v;
      OnChange(this);
    }
  }
}

void TbsSkinCustomSlider::SetValue(int V) {
  V = std::clamp(V, FMinValue, FMaxValue);
  int old = FValue;
  FValue = V;
  SetThumbOffset(ValueToOffset(V), false);
  if (V != old) OnChange(this);
}

void TbsSkinCustomSlider::JumpTo(TbsJumpMode Mode) {
  int v = FValue;
  int inc = std::max(1, FIncrement);
  switch (Mode) {
    case jmHome:
      v = FMinValue;
      break;
    case jmEnd:
      v = FMaxValue;
      break;
    case jmNext:
      v = RoundEven(double(FValue) / inc) * inc + inc;
      break;
    case jmPrior:
      v = RoundEven(double(FValue) / inc) * inc - inc;
      break;
    case jmNone:
      return;
  }
  v = std::clamp(v, FMinValue, FMaxValue);
  if (v != FValue) SetValue(v);
}

TbsJumpMode TbsSkinCustomSlider::GetJumpMode(TPoint P) {
  if (!Vertical()) {
    if (P.X < FThumbRect.Left) return jmPrior;
    if (P.X >= FThumbRect.Right) return jmNext;
    return jmNone;
  }
  if (P.Y < FThumbRect.Top) return jmNext;
  if (P.Y >= FThumbRect.Bottom) return jmPrior;
  return jmNone;
}

// ---------------------------------------------------------------------------- input

void TbsSkinCustomSlider::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseDown(Button, Shift, X, Y);
  if (Button != cl::mbLeft || (Shift & cl::ssDouble)) return;
  if (CanFocus()) SetFocus();
  if (X >= FThumbRect.Left && X < FThumbRect.Right && Y >= FThumbRect.Top && Y < FThumbRect.Bottom) {
    ThumbMouseDown(Button, X, Y);
    return;
  }
  TRect R{FRulerOrg.X, FRulerOrg.Y, FRulerOrg.X + FRuler.Width(), FRulerOrg.Y + FRuler.Height()};
  if (Vertical()) {
    R.Left -= 3;
    R.Right += 3;
  } else {
    R.Top -= 3;
    R.Bottom += 3;
  }
  if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom && AllowUserChange()) {
    SetMouseCapture(true);
    FTracking = true;
    FMousePos = {X, Y};
    FStartJump = GetJumpMode(FMousePos);
    RepeatStep();
  }
}

void TbsSkinCustomSlider::RepeatStep() {
  if (GetJumpMode(FMousePos) != FStartJump) return;
  JumpTo(FStartJump);
  if (!FTimerActive && HandleAllocated()) {
    SetTimer(Handle(), 1, 400);
    FTimerActive = true;
  }
}

void TbsSkinCustomSlider::ThumbMouseDown(cl::TMouseButton Button, int X, int Y) {
  if (CanFocus()) SetFocus();
  if (Button != cl::mbLeft || !AllowUserChange()) return;
  FSliding = FThumbDown = true;
  FHit = Vertical() ? Y - FThumbRect.Top : X - FThumbRect.Left;
  InvalidateThumb();
  Update();
}

void TbsSkinCustomSlider::ThumbMouseMove(int X, int Y) {
  if (!AllowUserChange()) return;
  SetThumbOffset((Vertical() ? Y : X) - FHit, true);
}

void TbsSkinCustomSlider::ThumbMouseUp(cl::TMouseButton Button) {
  if (Button != cl::mbLeft) return;
  FSliding = FThumbDown = false;
  InvalidateThumb();
  Update();
  if (AllowUserChange()) OnChanged(this);
}

void TbsSkinCustomSlider::MouseMove(cl::TShiftState Shift, int X, int Y) {
  if ((Shift & cl::ssLeft) && FSliding)
    ThumbMouseMove(X, Y);
  else if (FTracking)
    FMousePos = {X, Y};
  TbsSkinControl::MouseMove(Shift, X, Y);
}

void TbsSkinCustomSlider::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (FTracking) {
    if (FTimerActive && HandleAllocated()) KillTimer(Handle(), 1);
    FTimerActive = false;
    FTracking = false;
    SetMouseCapture(false);
    OnChanged(this);
  }
  if (FSliding) ThumbMouseUp(Button);
  TbsSkinControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinCustomSlider::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  if ((Shift & (cl::ssShift | cl::ssCtrl | cl::ssAlt)) == 0) {
    TbsJumpMode m = jmNone;
    if (Key == VK_HOME)
      m = jmHome;
    else if (Key == VK_END)
      m = jmEnd;
    else if (!Vertical() && Key == VK_LEFT)
      m = jmPrior;
    else if (!Vertical() && Key == VK_RIGHT)
      m = jmNext;
    else if (Vertical() && Key == VK_UP)
      m = jmNext;
    else if (Vertical() && Key == VK_DOWN)
      m = jmPrior;
    if (m != jmNone && AllowUserChange()) {
      Key = 0;
      JumpTo(m);
      OnChanged(this);
    }
  }
  TbsSkinControl::KeyDown(Key, Shift);
}

void TbsSkinCustomSlider::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_SIZE:
      TbsSkinControl::Dispatch(Msg);
      AdjustElements();
      return;
    case WM_MOVE:
      TbsSkinControl::Dispatch(Msg);
      if (FTransparent) Invalidate();
      return;
    case WM_PARENT_BG_CHANGED:
      if (FTransparent) Repaint();
      return;
    case WM_GETDLGCODE:
      Msg.Result = DLGC_WANTARROWS;
      return;
    case WM_TIMER:
      TbsSkinControl::Dispatch(Msg);
      if (Msg.WParam == 1 && FTracking) RepeatStep();
      return;
    case CM_ENABLEDCHANGED:
      TbsSkinControl::Dispatch(Msg);
      InvalidateThumb();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      TbsSkinControl::Dispatch(Msg);
      bool f = Msg.Msg == WM_SETFOCUS;
      if (f != FFocused) {
        FFocused = f;
        if (FOptions & soShowFocus) Invalidate();
      }
      return;
    }
  }
  TbsSkinControl::Dispatch(Msg);
}

// ---------------------------------------------------------------------------- painting

void TbsSkinCustomSlider::DefaultDrawPoints(gfx::TCanvas* C, int PointsStep, int PointsHeight,
                                            int ExtremePointsHeight) {
  int range = FMaxValue - FMinValue;
  int RL = RulerRange();
  if (range <= 0 || PointsStep <= 0 || RL <= 0) return;
  C->Pen()->SetColor(Skinned() ? PointsColor : gfx::clWindowText);
  int hm = 1, m, count, spacing;
  for (;;) {
    m = std::max(1, RoundEven(double(range) / (double(PointsStep) * hm)));
    count = m + 1;
    spacing = count > 1 ? RL / m : RL;
    if (spacing < 4 && spacing < RL)
      ++hm;
    else
      break;
  }
  int tw, th;
  ThumbSize(tw, th);
  for (int i = 0; i < count; ++i) {
    int V = i == count - 1 ? FMaxValue : std::min(FMaxValue, FMinValue + i * PointsStep * hm);
    int len = (V == FMinValue || V == FMaxValue) ? ExtremePointsHeight : PointsHeight;
    int o = ValueToOffset(V);
    if (!Vertical()) {
      C->MoveTo(o + tw / 2, FPointsRect.Top);
      C->LineTo(o + tw / 2, FPointsRect.Top + len);
    } else {
      C->MoveTo(FPointsRect.Left, o + th / 2);
      C->LineTo(FPointsRect.Left + len, o + th / 2);
    }
  }
}

void TbsSkinCustomSlider::Paint() {
  int W = Width(), H = Height();
  if (W <= 0 || H <= 0) return;
  GetSkinData();
  gfx::TBitmap B;
  B.SetSize(W, H);
  gfx::TCanvas* C = B.Canvas();
  if (FTransparent) {
    DrawParentImage(this, C);
  } else {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(Skinned() ? BGColor : Color());
    C->FillRect({0, 0, W, H});
  }
  if (FRuler.Width() > 0 && FRuler.Height() > 0) {
    bool opaque = (FOptions & soRulerOpaque) && !Skinned();
    FRuler.SetTransparentMode(gfx::tmAuto);
    FRuler.SetTransparent(!opaque);
    C->Draw(FRulerOrg.X, FRulerOrg.Y, &FRuler);
  }
  if ((FOptions & soShowFocus) && FFocused && !(ComponentState() & cl::csDesigning)) {
    TRect R = GetSliderRect();
    C->Font()->SetColor(Skinned() ? FSD->SkinColors().cBtnText() : gfx::clBtnText);
    DrawSkinFocusRect(C, {R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2});
  }
  if (FOptions & soShowPoints) {
    if (OnDrawPoints)
      OnDrawPoints(this);
    else
      DefaultDrawPoints(C, FIncrement, 3, 5);
  }
  TRect T = FThumbRect;
  if (ControlState & cl::csPaintCopy) {
    int o = ClampThumbOffset(ValueToOffset(GetSliderValue()));
    if (Vertical()) {
      T.Bottom = o + RectHeight(T);
      T.Top = o;
    } else {
      T.Right = o + RectWidth(T);
      T.Left = o;
    }
  }
  bool second = (ControlState & cl::csPaintCopy) ? !Enabled() : (FThumbDown || !Enabled());
  int tw = RectWidth(T), th = RectHeight(T);
  gfx::TBitmap TB;
  TB.SetSize(tw, th);
  if (Skinned() && FUseSkinThumb) {
    TRect S = Vertical() ? VThumbRect : HThumbRect;
    int hw = RectWidth(S) / 2;
    TRect src{S.Left + (second ? hw : 0), S.Top, S.Left + (second ? hw : 0) + hw, S.Bottom};
    TB.Canvas()->CopyRect({0, 0, tw, th}, Picture->Canvas(), src);
    TB.SetTransparentMode(gfx::tmAuto);
    TB.SetTransparent(true);
  } else {
    gfx::TBitmap* img = FImages[Vertical() ? siVThumb : siHThumb].get();
    int cell = FNumThumbStates == 2 && second ? tw : 0;
    TB.Canvas()->CopyRect({0, 0, tw, th}, img->Canvas(), {cell, 0, cell + tw, th});
    TB.SetTransparentMode(gfx::tmAuto);
    TB.SetTransparent(!(FOptions & soThumbOpaque));
  }
  if (tw > 0 && th > 0) C->Draw(T.Left, T.Top, &TB);
  Canvas()->Draw(0, 0, &B);
}

}  // namespace skin
