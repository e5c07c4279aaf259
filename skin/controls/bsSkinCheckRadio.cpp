#include "skin/controls/bsSkinCheckRadio.h"

#include <memory>
#include <vector>

#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsParentImage.h"
#include "skin/controls/bsSkinParts.h"
#include "skin/draw/bsTextHelpers.h"

namespace skin {

using namespace win;

TbsSkinCheckRadioBox::TbsSkinCheckRadioBox(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  SetBounds(Left(), Top(), 150, 25);
  SetTabStop(false);
  FSkinDataName = "checkbox";
}

void TbsSkinCheckRadioBox::Destroy() {
  StopMorph();
  TbsSkinCustomControl::Destroy();
}

void TbsSkinCheckRadioBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FImages) SetImages(nullptr);
}

// ---------------------------------------------------------------------------- state

void TbsSkinCheckRadioBox::SetChecked(bool Value) {
  FChecked = Value;
  if (Value || FState == cbChecked) FState = Value ? cbChecked : cbUnchecked;
  Repaint();
  if (FChecked && FGroupIndex != 0 && Parent()) {
    std::vector<cl::Keep<cl::TControl>> members;
    for (int i = 0; i < Parent()->ControlCount(); ++i) members.emplace_back(Parent()->Controls(i));
    for (auto& k : members) {
      auto* o = dynamic_cast<TbsSkinCheckRadioBox*>(k.get());
      if (!o || o == this || o->Destroyed() || o->FGroupIndex != FGroupIndex || !o->FChecked) continue;
      o->SetChecked(false);
    }
  }
  if (!FRadio || FChecked) OnClick(this);
}

void TbsSkinCheckRadioBox::SetState(TCheckBoxState Value) {
  FState = Value;
  FChecked = Value == cbChecked;
  Repaint();
  OnClick(this);
}

void TbsSkinCheckRadioBox::Toggle() {
  if (!FRadio)
    SetChecked(!FChecked);
  else if (!FChecked)
    SetChecked(true);
}

void TbsSkinCheckRadioBox::SetRadio(bool Value) {
  FRadio = Value;
  Repaint();
}

void TbsSkinCheckRadioBox::SetAllowGrayed(bool V) {
  FAllowGrayed = V;
  Repaint();
}

void TbsSkinCheckRadioBox::SetFlat(bool V) {
  FFlat = V;
  Repaint();
}

void TbsSkinCheckRadioBox::SetWordWrap(bool V) {
  if (FWordWrap == V) return;
  FWordWrap = V;
  if (FFlat) Repaint();
}

void TbsSkinCheckRadioBox::SetCanFocused(bool V) {
  FCanFocused = V;
  SetTabStop(V);
}

void TbsSkinCheckRadioBox::SetImages(cl::TCustomImageList* V) {
  FImages = V;
  Repaint();
}

void TbsSkinCheckRadioBox::SetImageIndex(int V) {
  FImageIndex = V;
  Repaint();
}

bool TbsSkinCheckRadioBox::ImageShown() const { return FImages && FImageIndex >= 0 && FImageIndex < FImages->Count(); }

// ---------------------------------------------------------------------------- skin

void TbsSkinCheckRadioBox::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  FRecordOk = false;
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinCheckRadioControl*>(SkinRecord(FSD, FIndex));
  if (!R) return;
  FRecordOk = true;
  FontName = R->FontName;
  FontColor = R->FontColor;
  ActiveFontColor = R->ActiveFontColor;
  FrameFontColor = R->FrameFontColor;
  UnEnabledFontColor = R->UnEnabledFontColor;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  ActiveSkinRect = IsNullRect(R->ActiveSkinRect) ? R->SkinRect : R->ActiveSkinRect;
  CheckImageArea = R->CheckImageArea;
  TextArea = R->TextArea;
  CheckImageRect = R->CheckImageRect;
  UnCheckImageRect = R->UnCheckImageRect;
  auto orElse = [](const TRect& a, const TRect& b) { return IsNullRect(a) ? b : a; };
  ActiveCheckImageRect = orElse(R->ActiveCheckImageRect, CheckImageRect);
  UnEnabledCheckImageRect = orElse(R->UnEnabledCheckImageRect, CheckImageRect);
  ActiveUnCheckImageRect = orElse(R->ActiveUnCheckImageRect, UnCheckImageRect);
  UnEnabledUnCheckImageRect = orElse(R->UnEnabledUnCheckImageRect, UnCheckImageRect);
  GrayedCheckImageRect = R->GrayedCheckImageRect;
  ActiveGrayedCheckImageRect = R->ActiveGrayedCheckImageRect;
  FMorphing = R->Morphing;
  MorphKind = R->MorphKind;
  if (FFlat) {
    FMorphing = false;
    MaskPicture = nullptr;
  }
}

void TbsSkinCheckRadioBox::ChangeSkinData() {
  if (!FFlat) {
    TbsSkinCustomControl::ChangeSkinData();
    return;
  }
  GetSkinData();
  Repaint();
}

void TbsSkinCheckRadioBox::CalcSize(int& AWidth, int& AHeight) {
  if (FFlat) return;
  TbsSkinCustomControl::CalcSize(AWidth, AHeight);
  if (!Skinned()) return;
  int dW = AWidth - RectWidth(G.SkinRect);
  NewTextArea = TextArea;
  NewTextArea.Right += dW;
  TRect A = CheckImageArea;
  if (TextArea.Right < CheckImageArea.Right) {
    A.Left += dW;
    A.Right += dW;
  }
  int w = RectWidth(CheckImageRect), h = RectHeight(CheckImageRect);
  CIRect.Left = A.Left + RectWidth(A) / 2 - w / 2;
  CIRect.Top = A.Top + RectHeight(A) / 2 - h / 2;
  CIRect.Right = CIRect.Left + w;
  CIRect.Bottom = CIRect.Top + h;
}

// ---------------------------------------------------------------------------- input

void TbsSkinCheckRadioBox::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (!FMouseIn) {
    FMouseIn = true;
    StartMorphing();
  }
  TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TbsSkinCheckRadioBox::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != cl::mbLeft || !FMouseIn) return;
  if (!FRadio && FAllowGrayed && FState == cbUnchecked) {
    FState = cbGrayed;
    Repaint();
    OnClick(this);
    return;
  }
  Toggle();
}

void TbsSkinCheckRadioBox::CMMouseEnter(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseEnter(Msg);
  FMouseIn = true;
  StartMorphing();
}

void TbsSkinCheckRadioBox::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseLeave(Msg);
  FMouseIn = false;
  StartMorphing();
}

void TbsSkinCheckRadioBox::CheckParentBackground() {
  if (FFlat) Repaint();
}

void TbsSkinCheckRadioBox::WndProc(cl::TMessage& Msg) {
  if (FCanFocused) {
    if ((Msg.Msg == WM_LBUTTONDOWN || Msg.Msg == WM_LBUTTONDBLCLK) && !Focused()) {
      FClicksDisabled = true;
      SetFocus();
      FClicksDisabled = false;
      if (!Focused()) return;
    } else if (Msg.Msg == CN_COMMAND && FClicksDisabled) {
      return;
    } else if (Msg.Msg == WM_KEYUP && Msg.WParam == VK_SPACE && Focused()) {
      Toggle();
    }
  }
  TbsSkinCustomControl::WndProc(Msg);
}

void TbsSkinCheckRadioBox::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case CM_DIALOGCHAR:
      if (FCanFocused && cl::IsAccel(char32_t(Msg.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Toggle();
        Msg.Result = 1;
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FCanFocused) {
        if (FFlat)
          Invalidate();
        else
          StartMorphing();
      }
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
    case WM_MOVE:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FFlat) Invalidate();
      return;
    case WM_ERASEBKGND:
      if (!FFlat && !FromWMPaint && Msg.WParam) PaintWindow(gfx::HDC(uint32_t(Msg.WParam)));
      Msg.Result = 1;
      return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

// ---------------------------------------------------------------------------- hover blend

void TbsSkinCheckRadioBox::StartMorphing() {
  if (MorphingEnabled() && Skinned() && !FFlat) {
    if (MorphTimer) return;
    MorphTimer = new cl::TTimer(this);
    MorphTimer->SetInterval(20);
    MorphTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinCheckRadioBox::MorphTimerTick));
    return;
  }
  Repaint();
}

void TbsSkinCheckRadioBox::StopMorph() { cl::FreeAndNil(MorphTimer); }

void TbsSkinCheckRadioBox::MorphTimerTick(rtl::TObject*) {
  bool active = FMouseIn || IsFocused();
  if (!Skinned() || !MorphingEnabled()) {
    FMorphKf = active ? 1 : 0;
    StopMorph();
    return;
  }
  if (active && FMorphKf < 1) {
    FMorphKf += 0.2;
    if (FMorphKf < 1 - 1e-9) {
      Repaint();
      return;
    }
  } else if (!active && FMorphKf > 0) {
    FMorphKf -= 0.2;
    if (FMorphKf > 1e-9) {
      Repaint();
      return;
    }
  }
  FMorphKf = active ? 1 : 0;
  StopMorph();
  Repaint();
}

// ---------------------------------------------------------------------------- painting

void TbsSkinCheckRadioBox::SetSkinFont(gfx::TCanvas* C) {
  if (FUseSkinFont && Skinned()) {
    C->Font()->SetName(FontName);
    C->Font()->SetHeight(FontHeight);
    C->Font()->SetStyle(FontStyle);
    C->Font()->SetCharset(FDefaultFont.Charset());
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  ApplySkinCharset(C->Font(), FSD);
}

void TbsSkinCheckRadioBox::DrawCheckImage(gfx::TCanvas* C, int X, int Y) {
  bool hot = FMouseIn;
  TRect base, checked, unchecked;
  if (!Enabled()) {
    base = checked = UnEnabledCheckImageRect;
    unchecked = UnEnabledUnCheckImageRect;
  } else if (hot) {
    base = checked = ActiveCheckImageRect;
    unchecked = ActiveUnCheckImageRect;
  } else {
    base = checked = CheckImageRect;
    unchecked = UnCheckImageRect;
  }
  if (FState == cbGrayed) {
    if (IsNullRect(GrayedCheckImageRect)) {
      // No grayed picture: the checked one brightened halfway to white.
      int w = RectWidth(base), h = RectHeight(base);
      if (!Picture || w <= 0 || h <= 0) return;
      gfx::TBitmap B;
      B.SetSize(w, h);
      B.Canvas()->CopyRect({0, 0, w, h}, Picture->Canvas(), base);
      std::unique_ptr<TbsEffectBmp> E(TbsEffectBmp::CreateFromhWnd(B.Handle()));
      E->ChangeBrightness(0.5);
      gfx::TBitmap L;
      L.SetSize(w, h);
      E->Draw(L.Canvas()->Handle(), 0, 0);
      DrawPicturePartAuto(C, &L, {0, 0, w, h}, X, Y);
      return;
    }
    TRect g = hot && !IsNullRect(ActiveGrayedCheckImageRect) ? ActiveGrayedCheckImageRect : GrayedCheckImageRect;
    DrawPicturePartAuto(C, Picture, g, X, Y);
    return;
  }
  DrawPicturePartAuto(C, Picture, FChecked ? checked : unchecked, X, Y);
}

void TbsSkinCheckRadioBox::DrawBoxMark(gfx::TCanvas* C) {
  int H = Height();
  TRect box{3, H / 2 - 7, 17, H / 2 + 7};
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(FMouseIn ? bsHotFrameColor : gfx::clBtnShadow);
  C->FrameRect(box);
  C->Brush()->SetStyle(gfx::bsClear);
  C->Pen()->SetColor(gfx::clBlack);
  if (!FRadio && FState == cbGrayed) {
    DrawCheckGlyph(C, 7, H / 2 - 4, gfx::clGrayText);
  } else if (FChecked) {
    TColor c = Enabled() ? gfx::clBlack : gfx::clBtnShadow;
    if (FRadio)
      DrawRadioGlyph(C, 7, H / 2 - 3, c);
    else
      DrawCheckGlyph(C, 7, H / 2 - 4, c);
  }
}

void TbsSkinCheckRadioBox::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  if (FFlat) {
    PaintFlat();
    return;
  }
  if (!Skinned()) {
    PaintOffscreen();
    return;
  }
  int w = Width(), h = Height();
  CalcSize(w, h);
  PaintFramedSkin();
}

void TbsSkinCheckRadioBox::PaintFlat() {
  int W = Width(), H = Height();
  bool skinned = Skinned();
  gfx::TBitmap B;
  B.SetSize(W, H);
  gfx::TCanvas* C = B.Canvas();
  DrawParentImage(this, C);
  int X0 = skinned ? RectWidth(CheckImageRect) + 7 : 22;
  int Gap = skinned ? 8 : 5;
  if (skinned) {
    DrawCheckImage(C, 3, H / 2 - RectHeight(CheckImageRect) / 2);
    SetSkinFont(C);
  } else {
    C->Font()->Assign(FDefaultFont);
    ApplySkinCharset(C->Font(), FSD);
  }
  C->Brush()->SetStyle(gfx::bsClear);
  std::string text = Caption();
  TRect client{0, 0, W, H};
  TRect R, T;
  bool image = ImageShown();
  if (FWordWrap) {
    T = client;
    T.Left = X0 + (image ? FImages->Width() : 0);
    TRect m = T;
    int th = WideDrawText(C, text, m, gfx::DT_CALCRECT | gfx::DT_EXPANDTABS | gfx::DT_WORDBREAK);
    int top = H / 2 - th / 2;
    if (top < 0) top = 0;
    T = {T.Left, top, T.Right, top + th};
    R = {client.Left + X0, client.Top, client.Right + X0, client.Bottom};
  } else {
    TRect m{0, 0, 0, 0};
    WideDrawText(C, text, m, gfx::DT_CALCRECT);
    int th = RectHeight(m);
    R = {X0, H / 2 - th / 2, X0 + RectWidth(m), H / 2 - th / 2 + th};
  }
  if (R.Right > W - 2) R.Right = W - 2;
  int il = 0, it = 0;
  if (image) {
    il = R.Left;
    it = H / 2 - FImages->Height() / 2;
    FImages->Draw(C, il, it, FImageIndex, Enabled());
    R.Left += FImages->Width() + Gap;
    R.Right += FImages->Width() + Gap;
  }
  TColor color;
  if (skinned)
    color = !FUseSkinFontColor ? FDefaultFont.Color() : (Enabled() ? FrameFontColor : UnEnabledFontColor);
  else
    color = Enabled() ? C->Font()->Color() : gfx::clBtnShadow;
  C->Font()->SetColor(color);
  C->Brush()->SetStyle(gfx::bsClear);
  if (FWordWrap)
    WideDrawText(C, text, T, gfx::DT_EXPANDTABS | gfx::DT_WORDBREAK);
  else
    DrawSingleLineText(C, text, R);
  if (!skinned) DrawBoxMark(C);
  R = {R.Left - 2, R.Top - 1, R.Right + 3, R.Bottom + 1};
  if (IsFocused()) {
    if (!text.empty())
      DrawSkinFocusRect(C, FWordWrap ? TRect{T.Left - 2, T.Top - 1, T.Right + 2, T.Bottom + 1} : R);
    else if (image)
      DrawSkinFocusRect(C, {il - 1, it - 1, il + FImages->Width() + 1, it + FImages->Height() + 1});
  }
  Canvas()->Draw(0, 0, &B);
}

void TbsSkinCheckRadioBox::CreateControlDefaultImage(gfx::TBitmap* B) {
  TbsSkinCustomControl::CreateControlDefaultImage(B);
  gfx::TCanvas* C = B->Canvas();
  int W = B->Width(), H = B->Height();
  if (IsFocused() || FMouseIn) {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(gfx::clBtnShadow);
    C->FrameRect({0, 0, W, H});
  }
  C->Font()->Assign(FDefaultFont);
  ApplySkinCharset(C->Font(), FSD);
  if (!Enabled()) C->Font()->SetColor(gfx::clBtnShadow);
  C->Pen()->SetColor(gfx::clBlack);
  C->Brush()->SetStyle(gfx::bsClear);
  DrawSingleLineText(C, Caption(), {19, 0, W, H});
  DrawBoxMark(C);
}

void TbsSkinCheckRadioBox::CreateStateImage(gfx::TBitmap* B, const TRect& S, bool Active) {
  B->SetSize(Width(), Height());
  CreateSkinRectImage(B, Picture, S);
  gfx::TCanvas* C = B->Canvas();
  DrawCheckImage(C, CIRect.Left, CIRect.Top + RectHeight(CIRect) / 2 - RectHeight(CheckImageRect) / 2);
  SetSkinFont(C);
  C->Font()->SetColor(!Enabled() ? UnEnabledFontColor : (Active ? ActiveFontColor : FontColor));
  C->Brush()->SetStyle(gfx::bsClear);
  DrawSingleLineText(C, Caption(), NewTextArea);
}

void TbsSkinCheckRadioBox::PaintFramedSkin() {
  if (!Picture) return;
  if (MorphingEnabled() && FMorphKf > 0 && FMorphKf < 1) {
    gfx::TBitmap A, Bt;
    CreateStateImage(&A, G.SkinRect, false);
    CreateStateImage(&Bt, ActiveSkinRect, true);
    std::unique_ptr<TbsEffectBmp> a(TbsEffectBmp::CreateFromhWnd(A.Handle()));
    std::unique_ptr<TbsEffectBmp> b(TbsEffectBmp::CreateFromhWnd(Bt.Handle()));
    a->MorphBy(MorphKind, b.get(), FMorphKf);
    a->Draw(Canvas()->Handle(), 0, 0);
    return;
  }
  bool active = FMouseIn || IsFocused();
  gfx::TBitmap B;
  CreateStateImage(&B, active ? ActiveSkinRect : G.SkinRect, active);
  Canvas()->Draw(0, 0, &B);
}

}  // namespace skin
