#include "skin/controls/bsSkinButtons.h"

#include <memory>

#include "platform/cl/forms.h"
#include "platform/win/window.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsGeometry.h"

namespace skin {

using namespace win;

namespace {

void DrawFace(gfx::TCanvas* C, const TRect& R, TColor Frame, TColor Fill) {
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(Fill);
  C->FillRect(R);
  C->Brush()->SetColor(Frame);
  C->FrameRect(R);
}

// The two looks blended by Kf with the record's transition, drawn at (0, 0).
void DrawMorph(gfx::TCanvas* C, gfx::TBitmap* From, gfx::TBitmap* To, TbsMorphKind Kind, double Kf) {
  std::unique_ptr<TbsEffectBmp> a(TbsEffectBmp::CreateFromhWnd(From->Handle()));
  std::unique_ptr<TbsEffectBmp> b(TbsEffectBmp::CreateFromhWnd(To->Handle()));
  a->MorphBy(Kind, b.get(), Kf);
  a->Draw(C->Handle(), 0, 0);
}

TColor ButtonFontColor(const TbsButtonSkinFields& S, bool Enabled, bool UseSkinFontColor, const gfx::TFont& Default,
                       bool ADown, bool AMouseIn) {
  if (Enabled && !UseSkinFontColor) return Default.Color();
  if (!Enabled) return S.DisabledFontColor;
  if (ADown && AMouseIn) return S.DownFontColor;
  if (AMouseIn) return S.ActiveFontColor;
  return S.FontColor;
}

bool InClient(cl::TControl* C, int X, int Y) { return X >= 0 && Y >= 0 && X < C->Width() && Y < C->Height(); }

// One 20 ms step of the blend toward the hot look (hot) or back; false once
// it has arrived, and the blend then rests at its end.
bool MorphStep(double& Kf, bool Hot) {
  if (Hot && Kf < 1) {
    Kf += 0.2;
    return true;
  }
  if (!Hot && Kf > 0) {
    Kf -= 0.2;
    return true;
  }
  Kf = Hot ? 1 : 0;
  return false;
}

// One step of a picture strip played forward (past its last frame) or back
// (to frame 0); false once it has ended.
bool FrameStep(int& Frame, bool Forward, int FrameCount) {
  if (Forward) {
    if (Frame > FrameCount) return false;
    ++Frame;
    return true;
  }
  --Frame;
  return Frame > 0;
}

}  // namespace

// ============================================================================ shared

void TbsButtonSkinFields::CopyFrom(const TbsDataSkinButtonControl& R) {
  FontName = R.FontName;
  FontColor = R.FontColor;
  ActiveFontColor = R.ActiveFontColor;
  DownFontColor = R.DownFontColor;
  FontStyle = R.FontStyle;
  FontHeight = R.FontHeight;
  ActiveSkinRect = IsNullRect(R.ActiveSkinRect) ? R.SkinRect : R.ActiveSkinRect;
  DownSkinRect = IsNullRect(R.DownSkinRect) ? ActiveSkinRect : R.DownSkinRect;
  DisabledSkinRect = R.DisabledSkinRect;
  FocusedSkinRect = R.FocusedSkinRect;
  DisabledFontColor = R.DisabledFontColor;
  Morphing = R.Morphing;
  MorphKind = R.MorphKind;
  AnimateSkinRect = R.AnimateSkinRect;
  FrameCount = R.FrameCount;
  AnimateInterval = R.AnimateInterval;
  ShowFocus = R.ShowFocus;
  MenuMarkerRect = R.MenuMarkerRect;
  MenuMarkerActiveRect = IsNullRect(R.MenuMarkerActiveRect) ? MenuMarkerRect : R.MenuMarkerActiveRect;
  MenuMarkerDownRect = IsNullRect(R.MenuMarkerDownRect) ? MenuMarkerActiveRect : R.MenuMarkerDownRect;
  MenuMarkerFlatRect = R.MenuMarkerFlatRect;
  MenuMarkerTransparentColor = R.MenuMarkerTransparentColor;
  if (DisabledFontColor == FontColor) DisabledFontColor = 0x808080;
  GlowLayerPictureIndex = R.GlowLayerPictureIndex;
  GlowLayerMaskPictureIndex = R.GlowLayerMaskPictureIndex;
  GlowLayerOffsetLeft = R.GlowLayerOffsetLeft;
  GlowLayerOffsetRight = R.GlowLayerOffsetRight;
  GlowLayerOffsetTop = R.GlowLayerOffsetTop;
  GlowLayerOffsetBottom = R.GlowLayerOffsetBottom;
  GlowLayerShowOffsetX = R.GlowLayerShowOffsetX;
  GlowLayerShowOffsetY = R.GlowLayerShowOffsetY;
  GlowLayerAlphaBlendValue = R.GlowLayerAlphaBlendValue;
}

void TbsButtonSkinFields::SetPlain(const TRect& SkinRect) {
  *this = TbsButtonSkinFields();
  FontName = "Arial";
  ActiveSkinRect = DownSkinRect = SkinRect;
  DisabledFontColor = 0x808080;
}

TRect CalcAnimateFrameRect(const TRect& Strip, const TRect& SkinRect, int FrameCount, int N) {
  if (FrameCount <= 0) return {};
  if (RectWidth(Strip) > RectWidth(SkinRect)) {
    int w = RectWidth(Strip) / FrameCount;
    int l = Strip.Left + (N - 1) * w;
    return {l, Strip.Top, l + w, Strip.Bottom};
  }
  int h = RectHeight(Strip) / FrameCount;
  int t = Strip.Top + (N - 1) * h;
  return {Strip.Left, t, Strip.Right, t + h};
}

int GetGlyphNum(int NumGlyphs, bool ADown, bool AMouseIn, bool AEnabled) {
  if (ADown && AMouseIn && NumGlyphs > 2) return 3;
  if (AMouseIn && NumGlyphs > 3) return 4;
  if (!AEnabled && NumGlyphs > 1) return 2;
  return 1;
}

// ============================================================================ TbsSkinButton

TbsSkinButton::TbsSkinButton(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  FLayerManager = new TbsLayerManager(this);
  SetTabStop(true);
  FSkinDataName = "button";
  width_ = 75;
  height_ = 25;
}

void TbsSkinButton::Destroy() {
  StopMorph();
  StopRepeat();
  StopFrameAnimation();
  if (FImageList) FImageList->RemoveFreeNotification(this);
  TbsSkinCustomControl::Destroy();
}

void TbsSkinButton::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FImageList) FImageList = nullptr;
  if (Operation == cl::opRemove && AComponent == FLayerManager) FLayerManager = nullptr;
}

void TbsSkinButton::SetImageList(cl::TCustomImageList* Value) {
  if (FImageList) FImageList->RemoveFreeNotification(this);
  FImageList = Value;
  if (Value) Value->FreeNotification(this);
  Repaint();
}

void TbsSkinButton::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Repaint();
}

void TbsSkinButton::SetLayout(TbsButtonLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Repaint();
}

void TbsSkinButton::SetSpacing(int Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  Repaint();
}

void TbsSkinButton::SetMargin(int Value) {
  if (Value == FMargin || Value < -1) return;
  FMargin = Value;
  Repaint();
}

void TbsSkinButton::SetGlyph(gfx::TBitmap* Value) {
  if (Value)
    FGlyph.Assign(Value);
  else
    FGlyph.SetHandle(gfx::HBITMAP());
  Repaint();
}

void TbsSkinButton::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  Repaint();
}

void TbsSkinButton::RefreshButton() {
  FMouseIn = false;
  FDown = false;
  if (MorphingEnabled()) FMorphKf = 0;
  if (SkinEffectsEnabled()) StopFrameAnimation();
  Repaint();
}

void TbsSkinButton::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  // A record of another kind than a frame record gives neither picture nor
  // size: the button stays as it is without a record.
  if (!dynamic_cast<TbsDataSkinCustomControl*>(SkinRecord(FSD, FIndex))) {
    FIndex = -1;
    return;
  }
  if (auto* R = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FIndex))) {
    if (!FUseSkinSize && R->MaskPictureIndex != -1) MaskPicture = nullptr;
    S.CopyFrom(*R);
  } else {
    S.SetPlain(G.SkinRect);
  }
  if (SkinEffectsEnabled() && AnimateTimer && CurrentFrame > 0 && CurrentFrame <= S.FrameCount) {
    TRect F = CalcAnimateFrameRect(S.AnimateSkinRect, G.SkinRect, S.FrameCount, CurrentFrame);
    if (AnimateInc)
      S.ActiveSkinRect = F;
    else
      G.SkinRect = F;
  }
}

void TbsSkinButton::CalcSize(int& AWidth, int& AHeight) {
  if (FUseSkinSize || G.ResizeMode == 1) {
    TbsSkinCustomControl::CalcSize(AWidth, AHeight);
    return;
  }
  G.NewClRect = {G.ClRect.Left, G.ClRect.Top, G.ClRect.Right + AWidth - RectWidth(G.SkinRect),
                 G.ClRect.Bottom + AHeight - RectHeight(G.SkinRect)};
}

void TbsSkinButton::CreateWnd() {
  TbsSkinCustomControl::CreateWnd();
  FActive = FDefault;
}

void TbsSkinButton::SetContentFont(gfx::TCanvas* C, bool ADown, bool AMouseIn) {
  if (FUseSkinFont && FIndex != -1) {
    C->Font()->SetName(S.FontName);
    C->Font()->SetHeight(S.FontHeight);
    C->Font()->SetStyle(S.FontStyle);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  C->Font()->SetColor(ButtonFontColor(S, Enabled(), FUseSkinFontColor, FDefaultFont, ADown, AMouseIn));
}

void TbsSkinButton::DrawContent(gfx::TCanvas* C, const TRect& R, bool ADown, bool AMouseIn) {
  C->Brush()->SetStyle(gfx::bsClear);
  bool offset = ADown && AMouseIn;
  if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count())
    DrawImageAndText(C, R, FMargin, FSpacing, FLayout, Caption(), FImageIndex, FImageList, offset, Enabled(), false, 0);
  else
    DrawGlyphAndText(C, R, FMargin, FSpacing, FLayout, Caption(), &FGlyph, TbsNumGlyphs(FNumGlyphs),
                     GetGlyphNum(FNumGlyphs, ADown, AMouseIn, Enabled()), offset, false, 0);
}

void TbsSkinButton::CreateStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn) {
  if (!FUseSkinSize && G.ResizeMode != 1) {
    CreateResizedStateImage(B, R, ADown, AMouseIn);
    return;
  }
  CreateSkinRectImage(B, Picture, R);
  gfx::TCanvas* C = B->Canvas();
  SetContentFont(C, ADown, AMouseIn);
  if (S.ShowFocus && Focused()) {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(FSD->SkinColors().cBtnFace());
    DrawSkinFocusRect(C, G.NewClRect);
    C->Brush()->SetStyle(gfx::bsClear);
  }
  bool DrawDefault = true;
  OnPaint(this, C, G.NewClRect, ADown, AMouseIn, DrawDefault);
  if (!DrawDefault) return;
  DrawContent(C, G.NewClRect, ADown, AMouseIn);
}

void TbsSkinButton::CreateResizedStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn) {
  int W = B->Width(), H = B->Height();
  if (G.ResizeMode == 0)
    B->Canvas()->CopyRect({0, 0, W, H}, Picture->Canvas(), R);
  else if (G.ResizeMode == 2 || G.ResizeMode == 3)
    CreateSkinImageByClRect(B, {Picture, R}, G.ClRect, true);
  gfx::TCanvas* C = B->Canvas();
  SetContentFont(C, ADown, AMouseIn);
  TRect TR{G.ClRect.Left, G.ClRect.Top, G.ClRect.Right + W - RectWidth(R), G.ClRect.Bottom + H - RectHeight(R)};
  if (S.ShowFocus && Focused()) {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(FSD->SkinColors().cBtnFace());
    DrawSkinFocusRect(C, TR);
    C->Brush()->SetStyle(gfx::bsClear);
  }
  bool DrawDefault = true;
  OnPaint(this, C, G.NewClRect, ADown, AMouseIn, DrawDefault);
  if (!DrawDefault) return;
  DrawContent(C, TR, ADown, AMouseIn);
}

void TbsSkinButton::CreateControlDefaultImage(gfx::TBitmap* B) {
  gfx::TCanvas* C = B->Canvas();
  TRect R{0, 0, B->Width(), B->Height()};
  bool pressed = PressedLook();
  if (pressed)
    DrawFace(C, R, bsHotFrameColor, bsDownFillColor);
  else if (FMouseIn || IsFocused())
    DrawFace(C, R, bsHotFrameColor, bsHotFillColor);
  else
    DrawFace(C, R, gfx::clBtnShadow, gfx::clBtnFace);
  C->Font()->Assign(FDefaultFont);
  if (!Enabled()) C->Font()->SetColor(gfx::clBtnShadow);
  bool DrawDefault = true;
  OnPaint(this, C, R, FDown, FMouseIn, DrawDefault);
  if (!DrawDefault) return;
  C->Brush()->SetStyle(gfx::bsClear);
  if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->Count())
    DrawImageAndText(C, R, FMargin, FSpacing, FLayout, Caption(), FImageIndex, FImageList, FDown && FMouseIn, Enabled(),
                     false, 0);
  else
    DrawGlyphAndText(C, R, FMargin, FSpacing, FLayout, Caption(), &FGlyph, TbsNumGlyphs(FNumGlyphs),
                     GetGlyphNum(FNumGlyphs, FDown, FMouseIn, Enabled()), pressed, false, 0);
}

void TbsSkinButton::PaintDefaultLook() {
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  CreateControlDefaultImage(&B);
  Canvas()->Draw(0, 0, &B);
}

void TbsSkinButton::Paint() {
  GetSkinData();
  if (Width() < 1 || Height() < 1) return;
  // A record that is no frame record brings no picture to cut the states
  // from: such a button keeps the default look.
  if (FIndex == -1 || !Picture) {
    PaintDefaultLook();
    return;
  }
  int w = Width(), h = Height();
  CalcSize(w, h);
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  if (MorphingEnabled() && FMorphKf > 0 && FMorphKf < 1 && Enabled()) {
    gfx::TBitmap B2;
    B2.SetSize(Width(), Height());
    CreateStateImage(&B, G.SkinRect, false, false);
    CreateStateImage(&B2, S.ActiveSkinRect, false, true);
    DrawMorph(Canvas(), &B, &B2, S.MorphKind, FMorphKf);
    return;
  }
  bool animating = AnimateTimer != nullptr;
  if (!Enabled() && !IsNullRect(S.DisabledSkinRect))
    CreateStateImage(&B, S.DisabledSkinRect, false, false);
  else if (PressedLook())
    CreateStateImage(&B, S.DownSkinRect, true, true);
  else if (IsFocused() && !IsNullRect(S.FocusedSkinRect) && !animating)
    CreateStateImage(&B, S.FocusedSkinRect, false, true);
  else if (IsFocused() || FMouseIn || (MorphingEnabled() && FMorphKf == 1))
    CreateStateImage(&B, S.ActiveSkinRect, false, true);
  else
    CreateStateImage(&B, G.SkinRect, false, false);
  Canvas()->Draw(0, 0, &B);
}

// ---- hover transition and frame animation

void TbsSkinButton::StartMorphing() {
  if (MorphingEnabled() && FIndex != -1)
    StartMorph();
  else
    Repaint();
}

void TbsSkinButton::StartMorph() {
  if (MorphTimer) return;
  MorphTimer = new cl::TTimer(this);
  MorphTimer->SetInterval(20);
  MorphTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinButton::MorphTimerTick));
}

void TbsSkinButton::StopMorph() { cl::FreeAndNil(MorphTimer); }

void TbsSkinButton::MorphTimerTick(rtl::TObject*) {
  const bool hot = FMouseIn || IsFocused();
  if (FIndex == -1 || !MorphingEnabled()) {
    FMorphKf = hot ? 1 : 0;
    StopMorph();
    return;
  }
  if (!MorphStep(FMorphKf, hot)) StopMorph();
  Repaint();
}

void TbsSkinButton::StartFrameAnimation(bool Forward) {
  StopFrameAnimation();
  AnimateInc = Forward;
  CurrentFrame = Forward ? 1 : S.FrameCount;
  AnimateTimer = new cl::TTimer(this);
  AnimateTimer->SetInterval(unsigned(std::max(1, S.AnimateInterval)));
  AnimateTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinButton::AnimateTimerTick));
}

void TbsSkinButton::StopFrameAnimation() {
  CurrentFrame = 0;
  cl::FreeAndNil(AnimateTimer);
}

void TbsSkinButton::AnimateTimerTick(rtl::TObject*) {
  const bool more = FrameStep(CurrentFrame, AnimateInc, S.FrameCount);
  // Played forward to its end the strip shows no step more; back, frame 0.
  if (!more) StopFrameAnimation();
  if (more || !AnimateInc) Repaint();
}

// ---- glow frame

void TbsSkinButton::ShowLayer() {
  if (!SkinUsable(FSD) || !FLayerManager || !IsWindows2000OrLater()) return;
  if (!(FSD->ShowButtonGlowFrames() || FAlwaysShowGlowFrame) || S.GlowLayerPictureIndex == -1) return;
  // Both the glow picture and its mask must exist; without either there is
  // no glow frame (rather than reading a picture the skin does not have).
  gfx::TBitmap* I = SkinPicture(FSD, S.GlowLayerPictureIndex);
  gfx::TBitmap* M = SkinPicture(FSD, S.GlowLayerMaskPictureIndex);
  if (!I || !M || FIndex == -1) return;
  if (cl::TCustomForm* F = GetParentForm()) FLayerManager->TopMostMode = F->FormStyle() == cl::fsStayOnTop;
  gfx::TBitmap RI, RM;
  int dW = Width() - RectWidth(G.SkinRect), dH = Height() - RectHeight(G.SkinRect);
  switch (G.ResizeMode) {
    case 0:
      break;
    case 2:
      if (!FUseSkinSize) return;
      CreateHSkinImage(S.GlowLayerOffsetLeft, S.GlowLayerOffsetRight, &RI, {I, {0, 0, I->Width(), I->Height()}},
                       I->Width() + dW, I->Height(), true);
      CreateHSkinImage(S.GlowLayerOffsetLeft, S.GlowLayerOffsetRight, &RM, {M, {0, 0, M->Width(), M->Height()}},
                       M->Width() + dW, M->Height(), true);
      I = &RI;
      M = &RM;
      break;
    case 1: {
      auto grow = [&](gfx::TBitmap* Src, gfx::TBitmap* Dst) {
        Dst->SetSize(Src->Width() + dW, Src->Height() + dH);
        TRect split{S.GlowLayerOffsetLeft, S.GlowLayerOffsetTop, Src->Width() - S.GlowLayerOffsetRight,
                    Src->Height() - S.GlowLayerOffsetBottom};
        CreateSkinImageByClRect(Dst, {Src, {0, 0, Src->Width(), Src->Height()}}, split, true);
      };
      grow(I, &RI);
      grow(M, &RM);
      I = &RI;
      M = &RM;
      break;
    }
    default:
      return;
  }
  TPoint o = ClientToScreen({0, 0});
  FLayerManager->Show(o.X - S.GlowLayerShowOffsetX, o.Y - S.GlowLayerShowOffsetY, TbsLayerImage(I), TbsLayerMask(M),
                      S.GlowLayerAlphaBlendValue);
}

void TbsSkinButton::HideLayer() {
  if (FLayerManager && FLayerManager->IsVisible) FLayerManager->Hide();
}

// ---- skin change

void TbsSkinButton::BeforeChangeSkinData() {
  TbsSkinCustomControl::BeforeChangeSkinData();
  HideLayer();
}

void TbsSkinButton::ChangeSkinData() {
  StopMorph();
  StopFrameAnimation();
  FMorphKf = 0;
  TbsSkinCustomControl::ChangeSkinData();
  if (MorphingEnabled() && FIndex != -1 && (IsFocused() || FMouseIn)) FMorphKf = 1;
  if (FMouseIn && HandleAllocated()) PostMessage(Handle(), WM_SHOW_BUTTON_LAYER, 0, 0);
}

// ---- input and click logic

void TbsSkinButton::ButtonClick() {
  if (FCanFocused)
    if (cl::TCustomForm* F = GetParentForm()) F->SetModalResult(FModalResult);
  // A handler of the button's own comes before its action's.
  if (OnClick && Action()) {
    OnClick(this);
    return;
  }
  if (Action()) {
    Action()->Execute();
    return;
  }
  OnClick(this);
}

void TbsSkinButton::ActionChange(rtl::TObject* Sender, bool CheckDefaults) {
  TbsSkinCustomControl::ActionChange(Sender, CheckDefaults);
  auto* A = dynamic_cast<cl::TCustomAction*>(Sender);
  if (!A || !FGlyph.Empty() || !A->ActionList()) return;
  cl::TCustomImageList* L = A->ActionList()->Images();
  if (!L || A->ImageIndex() < 0 || A->ImageIndex() >= L->Count()) return;
  // The action's image becomes the glyph, on the fuchsia that the glyph
  // drawing keys out.
  FGlyph.SetSize(L->Width(), L->Height());
  FGlyph.Canvas()->Brush()->SetStyle(gfx::bsSolid);
  FGlyph.Canvas()->Brush()->SetColor(gfx::clFuchsia);
  FGlyph.Canvas()->FillRect({0, 0, L->Width(), L->Height()});
  L->Draw(FGlyph.Canvas(), 0, 0, A->ImageIndex());
  Repaint();
}

void TbsSkinButton::SetDown(bool Value) {
  FDown = Value;
  if (MorphingEnabled()) {
    FMorphKf = 1;
    if (Value)
      StopMorph();
    else
      StartMorph();
  }
  Repaint();
  if (FGroupIndex != 0 && FDown && !FAllowAllUp && Parent()) {
    cl::TWinControl* P = Parent();
    for (int i = 0; i < P->ControlCount(); ++i) {
      auto* b = dynamic_cast<TbsSkinButton*>(P->Controls(i));
      if (b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) b->SetDown(false);
    }
  }
}

void TbsSkinButton::SetGroupIndex(int Value) {
  FGroupIndex = Value;
  if (Value != 0) SetCanFocused(false);
}

void TbsSkinButton::SetCanFocused(bool Value) {
  FCanFocused = Value;
  SetTabStop(Value);
}

void TbsSkinButton::SetDefault(bool Value) {
  FDefault = Value;
  if (HandleAllocated() && FCanFocused)
    if (cl::TCustomForm* F = GetParentForm())
      F->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(F->ActiveControl()));
}

void TbsSkinButton::StartRepeat() {
  StopRepeat();
  RepeatTimer = new cl::TTimer(this);
  RepeatTimer->SetInterval(500);
  // The first tick only switches to the repeat interval; the clicks follow.
  RepeatTimer->SetOnTimer([this](rtl::TObject*) {
    RepeatTimer->SetInterval(unsigned(std::max(1, FRepeatInterval)));
    RepeatTimer->SetOnTimer([this](rtl::TObject*) { ButtonClick(); });
  });
}

void TbsSkinButton::StopRepeat() { cl::FreeAndNil(RepeatTimer); }

void TbsSkinButton::CMMouseEnter(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseEnter(Msg);
  if (Destroyed()) return;
  FMouseIn = true;
  bool Act = FGroupIndex != 0 ? !FDown : (!IsFocused() || FDown);
  if (Act) {
    if (FDown) {
      if (MorphingEnabled()) FMorphKf = 1;
      Repaint();
    } else {
      if (FrameAnimationAllowed()) StartFrameAnimation(true);
      StartMorphing();
    }
  }
  if (FDown && FRepeatMode && FGroupIndex == 0) StartRepeat();
  if (HandleAllocated()) PostMessage(Handle(), WM_SHOW_BUTTON_LAYER, 0, 0);
}

void TbsSkinButton::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseLeave(Msg);
  if (Destroyed()) return;
  // A default button that holds the default role without the focus keeps
  // its hot look.
  if (!(FCanFocused && FDefault && FActive && !Focused())) FMouseIn = false;
  bool Act = FGroupIndex != 0 ? !FDown : (!IsFocused() || FDown);
  if (Act) {
    if (FrameAnimationAllowed()) StartFrameAnimation(false);
    StartMorphing();
  }
  if (FDown && FRepeatMode && RepeatTimer && FGroupIndex == 0) StopRepeat();
  if (HandleAllocated()) PostMessage(Handle(), WM_HIDE_BUTTON_LAYER, 0, 0);
}

void TbsSkinButton::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Destroyed() || Button != cl::mbLeft) return;
  if (FrameAnimationAllowed()) StopFrameAnimation();
  FMouseDown = true;
  if (!FDown) {
    FMouseIn = true;
    SetDown(true);
    if (FRepeatMode && FGroupIndex == 0)
      StartRepeat();
    else if (FGroupIndex != 0)
      ButtonClick();
    FAllowAllUpCheck = false;
  } else if (FGroupIndex != 0) {
    FAllowAllUpCheck = true;
  }
}

void TbsSkinButton::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (Button == cl::mbLeft) {
    FMouseDown = false;
    if (FGroupIndex == 0) {
      bool wasDown = FDown;
      if (InClient(this, X, Y)) {
        SetDown(false);
        StopRepeat();
        if (wasDown) ButtonClick();
      } else {
        FDown = false;
        StopRepeat();
      }
    } else if (FDown && FAllowAllUp && FAllowAllUpCheck && FMouseIn) {
      SetDown(false);
      ButtonClick();
    }
  }
  // The click may have hidden the button or destroyed its window.
  if (Destroyed() || !HandleAllocated() || !Visible()) return;
  TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinButton::WndProc(cl::TMessage& Msg) {
  if (!FCanFocused) {
    TbsSkinCustomControl::WndProc(Msg);
    return;
  }
  switch (Msg.Msg) {
    case WM_KEYDOWN:
      if (Msg.WParam == VK_SPACE && FSpaceSupport) {
        if (FIndex != -1 && !IsNullRect(S.AnimateSkinRect)) StopFrameAnimation();
        SetDown(true);
        if (FRepeatMode) ButtonClick();
      } else if (Msg.WParam == VK_RETURN && FSpaceSupport) {
        ButtonClick();
      }
      break;
    case WM_KEYUP:
      if (Msg.WParam == VK_SPACE) {
        SetDown(false);
        ButtonClick();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Focused()) {
        FClicksDisabled = true;
        win::SetFocus(Handle());
        FClicksDisabled = false;
        // A press that cannot focus the button does nothing.
        if (Destroyed() || !Focused()) return;
      }
      break;
  }
  if (Destroyed()) return;
  TbsSkinCustomControl::WndProc(Msg);
}

void TbsSkinButton::CMFocusChanged(cl::TMessage& Msg) {
  auto* sender = reinterpret_cast<cl::TControl*>(Msg.LParam);
  bool senderIsButton = dynamic_cast<TbsSkinButton*>(sender) != nullptr;
  FActive = senderIsButton ? sender == this : FDefault;
  if (FCanFocused && FDefault) {
    if (senderIsButton && sender != this && FMouseIn) {
      FMouseIn = false;
      StartMorphing();
    } else if (!senderIsButton && sender && !FMouseIn) {
      if (MorphingEnabled()) FMorphKf = 1;
      FMouseIn = true;
      StartMorphing();
    }
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

void TbsSkinButton::CMDialogKey(cl::TMessage& Msg) {
  cl::TShiftState shift = cl::KeyDataToShiftState(Msg.LParam);
  if (Msg.WParam == VK_RETURN && FActive && Enabled()) {
    ButtonClick();
    Msg.Result = 1;
    return;
  }
  if (Msg.WParam == VK_ESCAPE && FCancel && FCanFocused && (shift & (cl::ssShift | cl::ssCtrl | cl::ssAlt)) == 0 &&
      CanFocus()) {
    ButtonClick();
    Msg.Result = 1;
    return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

void TbsSkinButton::CMDialogChar(cl::TMessage& Msg) {
  if (cl::IsAccel(char32_t(Msg.WParam), Caption()) && CanFocus() && FCanFocused) {
    SetFocus();
    ButtonClick();
    Msg.Result = 1;
    return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

void TbsSkinButton::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_SETFOCUS:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FCanFocused && !Destroyed()) {
        if (FrameAnimationAllowed()) StartFrameAnimation(true);
        StartMorphing();
      }
      return;
    case WM_KILLFOCUS:
      if (FRepeatMode && RepeatTimer) StopRepeat();
      if (FDown && FGroupIndex == 0) FDown = false;
      TbsSkinCustomControl::Dispatch(Msg);
      if (FCanFocused && !Destroyed()) {
        if (FrameAnimationAllowed()) StartFrameAnimation(false);
        if (MorphingEnabled() && FIndex != -1)
          StartMorph();
        else
          Invalidate();
      }
      return;
    case WM_ERASEBKGND:
      // A parent drawing its children into a DC of its own gets the whole
      // button there.
      if (!FromWMPaint && Msg.WParam) PaintWindow(gfx::HDC(uint32_t(Msg.WParam)));
      Msg.Result = 1;
      return;
    case CM_DIALOGKEY:
      CMDialogKey(Msg);
      return;
    case CM_DIALOGCHAR:
      CMDialogChar(Msg);
      return;
    case CM_FOCUSCHANGED:
      CMFocusChanged(Msg);
      return;
    case CM_ENABLEDCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      if (MorphingEnabled()) {
        StopMorph();
        FMorphKf = 0;
      }
      FMouseIn = false;
      Repaint();
      return;
    case CM_TEXTCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      Repaint();
      return;
    case WM_SHOW_BUTTON_LAYER:
      ShowLayer();
      return;
    case WM_HIDE_BUTTON_LAYER:
      HideLayer();
      return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

// ============================================================================ TbsSkinSpeedButton

TbsSkinSpeedButton::TbsSkinSpeedButton(cl::TComponent* AOwner) : TbsGraphicSkinCustomControl(AOwner) {
  FSkinDataName = "toolbutton";
  width_ = 25;
  height_ = 25;
  // No click from the class library: the button clicks through ButtonClick.
  ControlStyle = cl::csCaptureMouse | cl::csOpaque | cl::csDoubleClicks;
}

void TbsSkinSpeedButton::Destroy() {
  StopRepeat();
  StopFrameAnimation();
  StopMorph();
  if (FButtonImages) FButtonImages->RemoveFreeNotification(this);
  SetSkinImagesMenu(nullptr);
  TbsGraphicSkinCustomControl::Destroy();
}

void TbsSkinSpeedButton::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsGraphicSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FButtonImages) FButtonImages = nullptr;
  if (Operation == cl::opRemove && AComponent == FSkinImagesMenu) FSkinImagesMenu = nullptr;
}

void TbsSkinSpeedButton::SetSkinImagesMenu(TbsSkinImagesMenu* Value) {
  // The menu holds a handler that calls this button: take it back before
  // the button lets go of the menu, so a freed button is never called.
  if (FSkinImagesMenu) {
    FSkinImagesMenu->RemoveFreeNotification(this);
    FSkinImagesMenu->OnInternalChange = nullptr;
    FSkinImagesMenu->OnInternalMenuClose = nullptr;
  }
  FSkinImagesMenu = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->OnInternalChange = [this](rtl::TObject*) { Repaint(); };
  }
  if (!Destroyed()) Repaint();
}

void TbsSkinSpeedButton::SetTransparent(bool Value) {
  if (Value)
    ControlStyle &= ~unsigned(cl::csOpaque);
  else
    ControlStyle |= cl::csOpaque;
  Repaint();
}

void TbsSkinSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  SetTransparent(Value);
  Repaint();
}

void TbsSkinSpeedButton::SetShowCaption(bool Value) {
  if (Value == FShowCaption) return;
  FShowCaption = Value;
  if (FWidthWithCaption > 0 && FWidthWithoutCaption > 0)
    SetWidth(Value ? FWidthWithCaption : FWidthWithoutCaption);
  else
    Repaint();
}

void TbsSkinSpeedButton::SetImageList(cl::TCustomImageList* Value) {
  if (FButtonImages) FButtonImages->RemoveFreeNotification(this);
  FButtonImages = Value;
  if (Value) Value->FreeNotification(this);
  Repaint();
}

void TbsSkinSpeedButton::SetImageIndex(int Value) {
  FImageIndex = Value;
  // Elsewhere the new image shows at the next paint.
  if (dynamic_cast<TbsButtonImagesParent*>(Parent())) Repaint();
}

void TbsSkinSpeedButton::SetLayout(TbsButtonLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Repaint();
}

void TbsSkinSpeedButton::SetSpacing(int Value) {
  if (Value == FSpacing) return;
  FSpacing = Value;
  Repaint();
}

void TbsSkinSpeedButton::SetMargin(int Value) {
  if (Value == FMargin || Value < -1) return;
  FMargin = Value;
  Repaint();
}

void TbsSkinSpeedButton::SetGlyph(gfx::TBitmap* Value) {
  if (Value)
    FGlyph.Assign(Value);
  else
    FGlyph.SetHandle(gfx::HBITMAP());
  Repaint();
}

void TbsSkinSpeedButton::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  Repaint();
}

void TbsSkinSpeedButton::RefreshButton() {
  FMouseIn = false;
  FDown = false;
  if (MorphingEnabled()) FMorphKf = 0;
  if (SkinEffectsEnabled()) StopFrameAnimation();
  Repaint();
}

void TbsSkinSpeedButton::GetSkinData() {
  TbsGraphicSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  // A record of another kind than a frame record gives neither picture nor
  // size: the button stays as it is without a record.
  if (!dynamic_cast<TbsDataSkinCustomControl*>(SkinRecord(FSD, FIndex))) {
    FIndex = -1;
    return;
  }
  if (auto* R = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FIndex))) {
    S.CopyFrom(*R);
    if (Transparent()) S.Morphing = false;
    if (IsNullRect(S.MenuMarkerFlatRect)) S.MenuMarkerFlatRect = S.MenuMarkerRect;
  } else {
    S.SetPlain(G.SkinRect);
  }
  if (SkinEffectsEnabled() && AnimateTimer && CurrentFrame > 0 && CurrentFrame <= S.FrameCount) {
    TRect F = CalcAnimateFrameRect(S.AnimateSkinRect, G.SkinRect, S.FrameCount, CurrentFrame);
    if (AnimateInc)
      S.ActiveSkinRect = F;
    else
      G.SkinRect = F;
  }
}

void TbsSkinSpeedButton::CalcSize(int& AWidth, int& AHeight) {
  if (FUseSkinSize || G.ResizeMode == 1) {
    TbsGraphicSkinCustomControl::CalcSize(AWidth, AHeight);
    return;
  }
  G.NewClRect = {G.ClRect.Left, G.ClRect.Top, G.ClRect.Right + AWidth - RectWidth(G.SkinRect),
                 G.ClRect.Bottom + AHeight - RectHeight(G.SkinRect)};
}

void TbsSkinSpeedButton::SetContentFont(gfx::TCanvas* C, bool ADown, bool AMouseIn) {
  if (FUseSkinFont && FIndex != -1) {
    C->Font()->SetName(S.FontName);
    C->Font()->SetHeight(S.FontHeight);
    C->Font()->SetStyle(S.FontStyle);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  C->Font()->SetColor(ButtonFontColor(S, Enabled(), FUseSkinFontColor, FDefaultFont, ADown, AMouseIn));
}

void TbsSkinSpeedButton::DrawContent(gfx::TCanvas* C, const TRect& R, bool ADown, bool AMouseIn, bool Offset) {
  C->Brush()->SetStyle(gfx::bsClear);
  std::string T = CaptionText();
  if (TbsImagesMenuItem* It = FSkinImagesMenu ? FSkinImagesMenu->SelectedItem() : nullptr; It && FUseImagesMenuImage) {
    DrawImageAndText(C, R, FMargin, FSpacing, FLayout, FUseImagesMenuCaption ? It->Caption() : T, It->ImageIndex(),
                     FSkinImagesMenu->Images(), Offset, Enabled(), FDrawColorMarker, FColorMarkerValue);
    return;
  }
  if (auto* P = dynamic_cast<TbsButtonImagesParent*>(Parent()); P && FGlyph.Empty()) {
    // A disabled image of its own is drawn as it is; the others are dimmed
    // when the button is disabled.
    cl::TCustomImageList* L = nullptr;
    bool enabled = Enabled();
    if (!Enabled() && P->ButtonDisabledImages()) {
      L = P->ButtonDisabledImages();
      enabled = true;
    } else if ((AMouseIn || ADown) && P->ButtonHotImages()) {
      L = P->ButtonHotImages();
    } else {
      L = P->ButtonImages();
    }
    DrawImageAndText(C, R, FMargin, FSpacing, FLayout, T, FImageIndex, L, Offset, enabled, FDrawColorMarker,
                     FColorMarkerValue);
    return;
  }
  if (FGlyph.Empty() && FButtonImages && FImageIndex >= 0 && FImageIndex < FButtonImages->Count())
    DrawImageAndText(C, R, FMargin, FSpacing, FLayout, T, FImageIndex, FButtonImages, Offset, Enabled(),
                     FDrawColorMarker, FColorMarkerValue);
  else
    DrawGlyphAndText(C, R, FMargin, FSpacing, FLayout, T, &FGlyph, TbsNumGlyphs(FNumGlyphs),
                     GetGlyphNum(FNumGlyphs, ADown, AMouseIn, Enabled()), Offset, FDrawColorMarker, FColorMarkerValue);
}

void TbsSkinSpeedButton::CreateStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn) {
  gfx::TCanvas* C = B->Canvas();
  TRect TR = G.NewClRect;
  if (!FUseSkinSize && G.ResizeMode != 1) {
    int W = B->Width(), H = B->Height();
    if (G.ResizeMode == 0)
      C->CopyRect({0, 0, W, H}, Picture->Canvas(), R);
    else if (G.ResizeMode == 2 || G.ResizeMode == 3)
      CreateSkinImageByClRect(B, {Picture, R}, G.ClRect, true);
    TR = {G.ClRect.Left, G.ClRect.Top, G.ClRect.Right + W - RectWidth(R), G.ClRect.Bottom + H - RectHeight(R)};
  } else {
    CreateSkinRectImage(B, Picture, R);
  }
  SetContentFont(C, ADown, AMouseIn);
  bool DrawDefault = true;
  OnPaint(this, C, G.NewClRect, ADown, AMouseIn, DrawDefault);
  if (!DrawDefault) return;
  DrawContent(C, TR, ADown, AMouseIn, ADown && AMouseIn);
}

void TbsSkinSpeedButton::CreateControlDefaultImage(gfx::TBitmap* B) {
  gfx::TCanvas* C = B->Canvas();
  TRect R{0, 0, B->Width(), B->Height()};
  bool pressed = PressedLook();
  if (pressed) {
    DrawFace(C, R, bsHotFrameColor, bsDownFillColor);
  } else if (FMouseIn) {
    DrawFace(C, R, bsHotFrameColor, bsHotFillColor);
  } else if (!FFlat) {
    DrawFace(C, R, gfx::clBtnShadow, gfx::clBtnFace);
  } else if (!Transparent()) {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(gfx::clBtnFace);
    C->FillRect(R);
  }
  C->Font()->Assign(FDefaultFont);
  if (!Enabled()) C->Font()->SetColor(gfx::clBtnShadow);
  bool DrawDefault = true;
  OnPaint(this, C, R, FDown, FMouseIn, DrawDefault);
  if (!DrawDefault) return;
  DrawContent(C, R, FDown, FMouseIn, pressed);
}

void TbsSkinSpeedButton::PaintDefaultLook() {
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  CreateControlDefaultImage(&B);
  Canvas()->Draw(0, 0, &B);
}

void TbsSkinSpeedButton::Paint() {
  GetSkinData();
  if (Width() < 1 || Height() < 1) return;
  gfx::TCanvas* C = Canvas();
  TRect client{0, 0, Width(), Height()};
  if (FIndex == -1 || !Picture) {
    if (!PressedLook() && !FMouseIn && Transparent()) {
      // Flat and idle: only the content, straight over the parent.
      C->Font()->Assign(FDefaultFont);
      if (!Enabled()) C->Font()->SetColor(gfx::clBtnShadow);
      bool DrawDefault = true;
      OnPaint(this, C, client, FDown, FMouseIn, DrawDefault);
      if (DrawDefault) DrawContent(C, client, false, false, false);
      return;
    }
    PaintDefaultLook();
    return;
  }
  int w = Width(), h = Height();
  CalcSize(w, h);
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  if (MorphingEnabled() && FMorphKf > 0 && FMorphKf < 1 && !Transparent()) {
    gfx::TBitmap B2;
    B2.SetSize(Width(), Height());
    CreateStateImage(&B, G.SkinRect, false, false);
    CreateStateImage(&B2, S.ActiveSkinRect, false, true);
    DrawMorph(C, &B, &B2, S.MorphKind, FMorphKf);
    return;
  }
  if (PressedLook()) {
    CreateStateImage(&B, S.DownSkinRect, true, true);
  } else if (FMouseIn || (MorphingEnabled() && FMorphKf == 1)) {
    CreateStateImage(&B, S.ActiveSkinRect, false, true);
  } else if (Transparent()) {
    if (FUseSkinFont) {
      C->Font()->SetName(S.FontName);
      C->Font()->SetStyle(S.FontStyle);
      C->Font()->SetHeight(S.FontHeight);
    } else {
      C->Font()->Assign(FDefaultFont);
    }
    if (!Enabled())
      C->Font()->SetColor(FSD->SkinColors().cBtnShadow());
    else if (FUseSkinFontColor)
      C->Font()->SetColor(FSD->SkinColors().cBtnText());
    else
      C->Font()->SetColor(FDefaultFont.Color());
    bool DrawDefault = true;
    OnPaint(this, C, G.NewClRect, FDown, FMouseIn, DrawDefault);
    if (DrawDefault) DrawContent(C, G.NewClRect, false, false, false);
    return;
  } else if (Enabled()) {
    CreateStateImage(&B, G.SkinRect, false, false);
  } else {
    CreateStateImage(&B, IsNullRect(S.DisabledSkinRect) ? G.SkinRect : S.DisabledSkinRect, false, false);
  }
  C->Draw(0, 0, &B);
}

void TbsSkinSpeedButton::DrawMenuMarker(gfx::TCanvas* C, const TRect& R, bool AActive, bool ADown, bool AFlat) {
  if (!Picture) return;
  TRect M = ADown     ? S.MenuMarkerDownRect
            : AActive ? S.MenuMarkerActiveRect
            : AFlat   ? S.MenuMarkerFlatRect
                      : S.MenuMarkerRect;
  if (IsNullRect(M)) return;
  gfx::TBitmap B;
  B.SetSize(RectWidth(M), RectHeight(M));
  B.Canvas()->CopyRect({0, 0, RectWidth(M), RectHeight(M)}, Picture->Canvas(), M);
  B.SetTransparentMode(gfx::tmFixed);
  B.SetTransparentColor(S.MenuMarkerTransparentColor);
  B.SetTransparent(true);
  C->Draw(R.Left + RectWidth(R) / 2 - B.Width() / 2, R.Top + RectHeight(R) / 2 - B.Height() / 2, &B);
}

void TbsSkinSpeedButton::StartMorphing() {
  if (MorphingEnabled() && FIndex != -1 && !Transparent())
    StartMorph();
  else
    Repaint();
}

void TbsSkinSpeedButton::StartMorph() {
  if (MorphTimer) return;
  MorphTimer = new cl::TTimer(this);
  MorphTimer->SetInterval(20);
  MorphTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinSpeedButton::MorphTimerTick));
}

void TbsSkinSpeedButton::StopMorph() { cl::FreeAndNil(MorphTimer); }

void TbsSkinSpeedButton::MorphTimerTick(rtl::TObject*) {
  const bool hot = FMouseIn;
  if (FIndex == -1 || !MorphingEnabled()) {
    FMorphKf = hot ? 1 : 0;
    StopMorph();
    return;
  }
  if (!MorphStep(FMorphKf, hot)) StopMorph();
  Repaint();
}

void TbsSkinSpeedButton::StartFrameAnimation(bool Forward) {
  StopFrameAnimation();
  AnimateInc = Forward;
  CurrentFrame = Forward ? 1 : S.FrameCount;
  AnimateTimer = new cl::TTimer(this);
  AnimateTimer->SetInterval(unsigned(std::max(1, S.AnimateInterval)));
  AnimateTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinSpeedButton::AnimateTimerTick));
}

void TbsSkinSpeedButton::StopFrameAnimation() {
  CurrentFrame = 0;
  cl::FreeAndNil(AnimateTimer);
}

void TbsSkinSpeedButton::AnimateTimerTick(rtl::TObject*) {
  const bool more = FrameStep(CurrentFrame, AnimateInc, S.FrameCount);
  // Played forward to its end the strip shows no step more; back, frame 0.
  if (!more) StopFrameAnimation();
  if (more || !AnimateInc) Repaint();
}

void TbsSkinSpeedButton::StartRepeat() {
  StopRepeat();
  RepeatTimer = new cl::TTimer(this);
  RepeatTimer->SetInterval(500);
  RepeatTimer->SetOnTimer([this](rtl::TObject*) {
    RepeatTimer->SetInterval(unsigned(std::max(1, FRepeatInterval)));
    RepeatTimer->SetOnTimer([this](rtl::TObject*) { ButtonClick(); });
  });
}

void TbsSkinSpeedButton::StopRepeat() { cl::FreeAndNil(RepeatTimer); }

void TbsSkinSpeedButton::ButtonClick() { OnClick(this); }

void TbsSkinSpeedButton::SetDown(bool Value) {
  FDown = Value;
  if (MorphingEnabled()) {
    FMorphKf = 1;
    if (Value)
      StopMorph();
    else
      StartMorph();
  }
  Repaint();
  if (FGroupIndex != 0 && FDown && !FAllowAllUp && Parent()) {
    cl::TWinControl* P = Parent();
    for (int i = 0; i < P->ControlCount(); ++i) {
      auto* b = dynamic_cast<TbsSkinSpeedButton*>(P->Controls(i));
      if (b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) b->SetDown(false);
    }
  }
}

void TbsSkinSpeedButton::ChangeSkinData() {
  StopFrameAnimation();
  StopMorph();
  TbsGraphicSkinCustomControl::ChangeSkinData();
  if (MorphingEnabled() && FIndex != -1 && FMouseIn && !Transparent()) FMorphKf = 1;
}

void TbsSkinSpeedButton::CMMouseEnter(cl::TMessage& Msg) {
  TbsGraphicSkinCustomControl::CMMouseEnter(Msg);
  if (Destroyed() || !Enabled()) return;
  FMouseIn = true;
  if (FGroupIndex == 0 || !FDown) {
    if (FDown) {
      if (MorphingEnabled()) FMorphKf = 1;
      Repaint();
    } else {
      if (FrameAnimationAllowed()) StartFrameAnimation(true);
      StartMorphing();
    }
  }
  if (FDown && FRepeatMode && FGroupIndex == 0) StartRepeat();
}

void TbsSkinSpeedButton::CMMouseLeave(cl::TMessage& Msg) {
  TbsGraphicSkinCustomControl::CMMouseLeave(Msg);
  if (Destroyed() || !Enabled()) return;
  FMouseIn = false;
  if (FGroupIndex == 0 || !FDown) {
    if (FrameAnimationAllowed()) StartFrameAnimation(false);
    StartMorphing();
  }
  if (FDown && FRepeatMode && RepeatTimer && FGroupIndex == 0) StopRepeat();
}

void TbsSkinSpeedButton::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsGraphicSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Destroyed() || Button != cl::mbLeft) return;
  if (FrameAnimationAllowed()) StopFrameAnimation();
  FMouseDown = true;
  if (!FDown) {
    FMouseIn = true;
    SetDown(true);
    if (FRepeatMode && FGroupIndex == 0)
      StartRepeat();
    else if (FGroupIndex != 0)
      ButtonClick();
    FAllowAllUpCheck = false;
  } else if (FGroupIndex != 0) {
    FAllowAllUpCheck = true;
  }
}

void TbsSkinSpeedButton::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsGraphicSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (Destroyed() || Button != cl::mbLeft) return;
  FMouseDown = false;
  if (FGroupIndex == 0) {
    bool wasDown = FDown;
    if (InClient(this, X, Y)) {
      SetDown(false);
      StopRepeat();
      if (wasDown) ButtonClick();
    } else {
      FDown = false;
      StopRepeat();
    }
  } else if (FDown && FAllowAllUp && FAllowAllUpCheck && FMouseIn) {
    SetDown(false);
    ButtonClick();
  }
}

void TbsSkinSpeedButton::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case CM_DIALOGCHAR:
      if (cl::IsAccel(char32_t(Msg.WParam), Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
        ButtonClick();
        Msg.Result = 1;
        return;
      }
      break;
    case CM_ENABLEDCHANGED:
      TbsGraphicSkinCustomControl::Dispatch(Msg);
      if (MorphingEnabled()) {
        StopMorph();
        FMorphKf = 0;
      }
      FMouseIn = false;
      Repaint();
      return;
    case CM_TEXTCHANGED:
      Repaint();
      return;
  }
  TbsGraphicSkinCustomControl::Dispatch(Msg);
}

}  // namespace skin
