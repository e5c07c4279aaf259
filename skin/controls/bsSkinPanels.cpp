#include "skin/controls/bsSkinPanels.h"

#include <vector>

#include "platform/gfx/dc.h"
#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsParentImage.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/controls/bsSkinParts.h"
#include "skin/draw/bsTextHelpers.h"

namespace skin {

using namespace win;

TbsSkinPanel::TbsSkinPanel(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  ControlStyle = cl::csAcceptsControls | cl::csCaptureMouse | cl::csClickEvents | cl::csSetCaption | cl::csOpaque |
                 cl::csDoubleClicks | cl::csReplicatable;
  FForceBackground = true;
  SetBounds(Left(), Top(), 150, 150);
  FSkinDataName = "panel";
}

void TbsSkinPanel::Destroy() { TbsSkinCustomControl::Destroy(); }

void TbsSkinPanel::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FCaptionImageList) FCaptionImageList = nullptr;
}

bool TbsSkinPanel::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (FRollUpMode && FInChangingRollUp && AutoSize()) return false;
  return TbsSkinCustomControl::CanAutoSize(NewWidth, NewHeight);
}

// ---------------------------------------------------------------------------- properties

void TbsSkinPanel::SetRibbonStyle(bool V) {
  if (FRibbonStyle == V) return;
  FRibbonStyle = V;
  Repaint();
}

void TbsSkinPanel::SetImagePosition(TbsImagePosition V) {
  if (FImagePosition == V) return;
  FImagePosition = V;
  Repaint();
}

void TbsSkinPanel::SetCaptionImageIndex(int V) {
  if (FCaptionImageIndex == V) return;
  FCaptionImageIndex = V;
  Repaint();
}

void TbsSkinPanel::SetTransparentMode(bool V) {
  if (FTransparentMode == V) return;
  FTransparentMode = V;
  Repaint();
  if (!(ComponentState() & (cl::csLoading | cl::csDesigning))) NotifyChildrenBGChanged();
}

void TbsSkinPanel::SetCheckedMode(bool V) {
  FCheckedMode = V;
  Repaint();
}

void TbsSkinPanel::SetNumGlyphs(int V) {
  FNumGlyphs = V < 1 ? 1 : (V > 2 ? 2 : V);
  Repaint();
}

void TbsSkinPanel::SetSpacing(int V) {
  FSpacing = V;
  Repaint();
}

void TbsSkinPanel::SetGlyph(gfx::TBitmap* V) {
  if (V)
    FGlyph.Assign(V);
  else
    FGlyph.SetSize(0, 0);
  Repaint();
}

void TbsSkinPanel::SetChecked(bool V) {
  FChecked = V;
  if (FCheckedMode) Repaint();
  if (FAutoEnabledControls && FCheckedMode)
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(FChecked);
  OnChecked(this);
}

void TbsSkinPanel::SetDefaultAlignment(TAlignment V) {
  FDefaultAlignment = V;
  if (!Skinned() && FCaptionMode) Repaint();
}

void TbsSkinPanel::SetRollUpMode(bool V) {
  FRollUpMode = V;
  if (!Skinned() && FCaptionMode) Repaint();
}

void TbsSkinPanel::SetDefaultCaptionHeight(int V) {
  FDefaultCaptionHeight = V;
  if (!Skinned() && FCaptionMode) {
    Repaint();
    Realign();
  }
}

void TbsSkinPanel::SetBorderStyle(TbsSkinBorderStyle V) {
  FBorderStyle = V;
  if (!Skinned()) {
    Repaint();
    Realign();
  }
}

void TbsSkinPanel::SetCaptionMode(bool V) {
  FCaptionMode = V;
  Repaint();
  Realign();
}

void TbsSkinPanel::SetRollUpState(bool V) {
  if (FRollUpState == V) return;
  if (!FRollUpMode) {
    // Only constraints that a roll-up took away come back; a panel that was
    // never rolled up keeps the application's own.
    if (FConstraintsSaved) {
      Constraints.MaxWidth = FCMaxWidth;
      Constraints.MinWidth = FCMinWidth;
      Constraints.MaxHeight = FCMaxHeight;
      Constraints.MinHeight = FCMinHeight;
      FConstraintsSaved = false;
    }
    FRollUpState = false;
    return;
  }
  if (V) {
    // Saved once per roll-up, so rolling down restores the constraints the panel had before it rolled up.
    if (!FConstraintsSaved) {
      FCMaxWidth = Constraints.MaxWidth;
      FCMinWidth = Constraints.MinWidth;
      FCMaxHeight = Constraints.MaxHeight;
      FCMinHeight = Constraints.MinHeight;
      FConstraintsSaved = true;
    }
    Constraints = {};
  }
  FRollUpState = V;
  DoRollUp(V);
  if (!V && FConstraintsSaved) {
    Constraints.MaxWidth = FCMaxWidth;
    Constraints.MinWidth = FCMinWidth;
    Constraints.MaxHeight = FCMaxHeight;
    Constraints.MinHeight = FCMinHeight;
    FConstraintsSaved = false;
  }
  OnChangeRollUpState(this);
}

void TbsSkinPanel::RollUpNow(bool KeepHidden) {
  FRealHeight = Height();
  if (!KeepHidden) {
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(false);
  }
  if (!Skinned()) {
    SetHeight(FDefaultCaptionHeight + 1);
  } else {
    int w = Width(), h = Height();
    CalcSize(w, h);
    SetHeight(Height() - RectHeight(G.NewClRect));
  }
}

void TbsSkinPanel::DoRollUp(bool ARollUp) {
  FInChangingRollUp = true;
  struct Reset {
    bool& f;
    ~Reset() { f = false; }
  } reset{FInChangingRollUp};
  GetSkinData();
  if (ARollUp && FRealHeight == -1) {
    RollUpNow(false);
  } else if (!ARollUp && FRealHeight != -1) {
    SetHeight(FRealHeight);
    FRealHeight = -1;
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(true);
    EnableAlign();
  }
}

// ---------------------------------------------------------------------------- skin and client area

void TbsSkinPanel::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  BGPictureIndex = -1;
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinPanelControl*>(SkinRecord(FSD, FIndex));
  if (!R) return;
  CaptionRect = R->CaptionRect;
  Alignment = R->Alignment;
  FontName = R->FontName;
  FontColor = R->FontColor;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  BGPictureIndex = R->BGPictureIndex;
  CheckImageRect = R->CheckImageRect;
  UnCheckImageRect = R->UnCheckImageRect;
  MarkFrameRect = R->MarkFrameRect;
  FrameRect = R->FrameRect;
  FrameTextRect = R->FrameTextRect;
  FrameLeftOffset = R->FrameLeftOffset;
  FrameRightOffset = R->FrameRightOffset;
}

gfx::TBitmap* TbsSkinPanel::BGPicture() const {
  if (BGPictureIndex == -1) return nullptr;
  gfx::TBitmap* P = SkinPicture(FSD, BGPictureIndex);
  return P && P->Width() > 0 && P->Height() > 0 ? P : nullptr;
}

void TbsSkinPanel::ChangeSkinData() {
  TbsSkinCustomControl::ChangeSkinData();
  if (FRealHeight == -1) {
    Realign();
    return;
  }
  int keep = FRealHeight;
  FRealHeight = -1;
  FInChangingRollUp = true;
  RollUpNow(true);
  FInChangingRollUp = false;
  FRealHeight = keep;
}

void TbsSkinPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TbsSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!Skinned()) Repaint();
}

void TbsSkinPanel::AdjustClientRect(TRect& R) {
  if (!Skinned() || (ComponentState() & cl::csDesigning)) {
    if (FBorderStyle != bvNone) R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    if (FCaptionMode) {
      if (FRibbonStyle)
        R.Bottom -= FDefaultCaptionHeight;
      else
        R.Top += FDefaultCaptionHeight;
    }
    return;
  }
  if (BGPicture() || (FBorderStyle == bvNone && !FCaptionMode && G.ResizeMode == 1)) return;
  int w = Width(), h = Height();
  CalcSize(w, h);
  R = G.NewClRect;
}

TRect TbsSkinPanel::GetSkinClientRect() {
  GetSkinData();
  TRect R{0, 0, Width(), Height()};
  AdjustClientRect(R);
  return R;
}

// ---------------------------------------------------------------------------- input and messages

void TbsSkinPanel::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if ((FRollUpMode || FCheckedMode) && FCaptionMode && Button == cl::mbLeft) {
    TRect A = Skinned() ? NewCaptionRect : TRect{1, 1, Width() - 1, FDefaultCaptionHeight};
    if (X >= A.Left && X <= A.Right && Y >= A.Top && Y <= A.Bottom) {
      if (FCheckedMode) SetChecked(!FChecked);
      if (FRollUpMode) SetRollUpState(!FRollUpState);
    }
  }
  TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinPanel::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_MOVE:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FTransparentMode) {
        Repaint();
        NotifyChildrenBGChanged();
      }
      return;
    case WM_PARENT_BG_CHANGED:
      if (FTransparentMode) {
        Repaint();
        NotifyChildrenBGChanged();
      }
      return;
    case CM_ENABLEDCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      Repaint();
      return;
    case CM_TEXTCHANGED:
      if (FCaptionMode) Repaint();
      return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

// ---------------------------------------------------------------------------- caption image

void TbsSkinPanel::CaptionImageSize(int& W, int& H) {
  W = H = 0;
  bool glyph = FGlyph.Width() > 0 && FGlyph.Height() > 0;
  if (!glyph && FCaptionImageList && FCaptionImageIndex >= 0 && FCaptionImageIndex < FCaptionImageList->Count()) {
    W = FCaptionImageList->Width();
    H = FCaptionImageList->Height();
  } else if (glyph) {
    W = FGlyph.Width() / FNumGlyphs;
    H = FGlyph.Height();
  }
}

void TbsSkinPanel::DrawCaptionImage(gfx::TCanvas* C, int X, int Y) {
  bool glyph = FGlyph.Width() > 0 && FGlyph.Height() > 0;
  if (!glyph && FCaptionImageList && FCaptionImageIndex >= 0 && FCaptionImageIndex < FCaptionImageList->Count())
    FCaptionImageList->Draw(C, X, Y, FCaptionImageIndex, Enabled());
  else if (glyph)
    DrawGlyph(C, X, Y, &FGlyph, TbsNumGlyphs(FNumGlyphs), (!Enabled() && FNumGlyphs == 2) ? 2 : 1);
}

// ---------------------------------------------------------------------------- painting

void TbsSkinPanel::DrawClientTile(gfx::TCanvas* C, int W, int H, bool Clip) {
  int tw = RectWidth(G.ClRect), th = RectHeight(G.ClRect);
  if (!Picture || tw <= 0 || th <= 0) return;
  gfx::TBitmap T;
  T.SetSize(tw, th);
  TRect src{G.SkinRect.Left + G.ClRect.Left, G.SkinRect.Top + G.ClRect.Top, G.SkinRect.Left + G.ClRect.Right,
            G.SkinRect.Top + G.ClRect.Bottom};
  T.Canvas()->CopyRect({0, 0, tw, th}, Picture->Canvas(), src);
  if (Clip || !G.StretchEffect) {
    for (int i = 0; i <= W / tw; ++i)
      for (int j = 0; j <= H / th; ++j) C->Draw(i * tw, j * th, &T);
    return;
  }
  switch (G.StretchType) {
    case bsstFull:
      C->StretchDraw({0, 0, W, H}, &T);
      break;
    case bsstHorz: {
      gfx::TBitmap S;
      S.SetSize(tw, H);
      S.Canvas()->StretchDraw({0, 0, tw, H}, &T);
      for (int i = 0; i <= W / tw; ++i) C->Draw(i * tw, 0, &S);
      break;
    }
    case bsstVert: {
      gfx::TBitmap S;
      S.SetSize(W, th);
      S.Canvas()->StretchDraw({0, 0, W, th}, &T);
      for (int j = 0; j <= H / th; ++j) C->Draw(0, j * th, &S);
      break;
    }
  }
}

void TbsSkinPanel::Paint() {
  int W = Width(), H = Height();
  if (W <= 0 || H <= 0) return;
  GetSkinData();
  if (Skinned()) {
    int w = W, h = H;
    CalcSize(w, h);
  }
  gfx::TCanvas* C = Canvas();
  if (FTransparentMode && Skinned()) {
    gfx::TBitmap B;
    B.SetSize(W, H);
    if (!FCaptionMode) {
      DrawParentImage(this, B.Canvas());
      if (FBorderStyle != bvNone) {
        B.Canvas()->Pen()->SetColor(FSD->SkinColors().cBtnShadow());
        B.Canvas()->Brush()->SetStyle(gfx::bsClear);
        B.Canvas()->Rectangle(0, 0, W, H);
      }
    } else {
      PaintTransparentFrame(B.Canvas(), W, H);
    }
    DoPanelPaint(B.Canvas());
    C->Draw(0, 0, &B);
    return;
  }
  if (!Skinned() || (!FForceBackground && G.StretchEffect)) {
    TbsSkinCustomControl::Paint();
    return;
  }
  if (FBorderStyle == bvNone && G.ResizeMode == 1 && !FCaptionMode && FForceBackground) {
    DrawClientTile(C, W, H, false);
    return;
  }
  gfx::TBitmap* BG = BGPicture();
  if (!BG) {
    TbsSkinCustomControl::Paint();
    return;
  }
  int pw = BG->Width(), ph = BG->Height();
  if (!G.StretchEffect) {
    for (int i = 0; i <= W / pw; ++i)
      for (int j = 0; j <= H / ph; ++j) C->Draw(i * pw, j * ph, BG);
    return;
  }
  switch (G.StretchType) {
    case bsstFull:
      C->StretchDraw(G.NewClRect, BG);
      break;
    case bsstHorz: {
      gfx::TBitmap S;
      S.SetSize(pw, H);
      S.Canvas()->StretchDraw({0, 0, pw, H}, BG);
      for (int i = 0; i <= W / pw; ++i) C->Draw(i * pw, 0, &S);
      break;
    }
    case bsstVert: {
      gfx::TBitmap S;
      S.SetSize(W, ph);
      S.Canvas()->StretchDraw({0, 0, W, ph}, BG);
      for (int j = 0; j <= H / ph; ++j) C->Draw(0, j * ph, &S);
      break;
    }
  }
}

void TbsSkinPanel::CreateControlDefaultImage(gfx::TBitmap* B) {
  TbsSkinCustomControl::CreateControlDefaultImage(B);
  gfx::TCanvas* C = B->Canvas();
  int W = B->Width(), H = B->Height();
  TRect R{0, 0, W, H};
  switch (FBorderStyle) {
    case bvFrame:
      BevelStep(C, R, gfx::clBtnShadow, gfx::clBtnShadow);
      break;
    case bvRaised:
      BevelStep(C, R, gfx::clBtnHighlight, gfx::clBtnShadow);
      break;
    case bvLowered:
      BevelStep(C, R, gfx::clBtnShadow, gfx::clBtnHighlight);
      break;
    case bvNone:
      break;
  }
  if (!FCaptionMode) return;
  int ch = FDefaultCaptionHeight;
  TRect S;
  if (FBorderStyle == bvFrame) {
    S = FRibbonStyle ? TRect{0, H - ch, W, H} : TRect{0, 0, W, ch};
    BevelStep(C, S, gfx::clBtnShadow, gfx::clBtnShadow);
    BevelStep(C, S, gfx::clBtnHighlight, gfx::clBtnFace);
  } else {
    S = FRibbonStyle ? TRect{1, H - ch - 1, W - 1, H - 1} : TRect{1, 1, W - 1, ch};
    BevelStep(C, S, gfx::clBtnShadow, gfx::clBtnHighlight);
    BevelStep(C, S, gfx::clBtnHighlight, gfx::clBtnShadow);
  }
  if (FCheckedMode) S.Left += 20;
  if (FRollUpMode) S.Right -= 10;
  C->Font()->Assign(FDefaultFont);
  ApplySkinCharset(C->Font(), FSD);
  std::string text = Caption();
  int tw = C->TextWidth(text), th = C->TextHeight(text);
  int block = tw + (FGlyph.Width() > 0 ? FGlyph.Width() / FNumGlyphs + FSpacing : 0);
  int ty = CentredTopIn(S, th);
  int tx = S.Left + 2;
  if (FDefaultAlignment == taRightJustify)
    tx = S.Right - block;
  else if (FDefaultAlignment == taCenter)
    tx = S.Left + 2 + (S.Right - S.Left) / 2 - block / 2;
  if (FCheckedMode) {
    int t = S.Top + (S.Bottom - S.Top) / 2 - 7;
    TRect box{5, t, 19, t + 14};
    BevelStep(C, box, gfx::clBtnShadow, gfx::clBtnShadow);
    if (FChecked) DrawCheckGlyph(C, box.Left + 3, box.Top + 2, gfx::clBtnText);
  }
  int iw, ih;
  CaptionImageSize(iw, ih);
  int ix = tx, iy = CentredTopIn(S, ih);
  if (iw > 0) tx += iw + FSpacing;
  C->Brush()->SetStyle(gfx::bsClear);
  C->TextRect(S, tx, ty, text);
  if (iw > 0) DrawCaptionImage(C, ix, iy);
  if (FRollUpMode) DrawArrowGlyph(C, {S.Right, S.Top, S.Right + 10, S.Bottom}, gfx::clBtnText, FRollUpState ? 4 : 3);
}

void TbsSkinPanel::CreateControlSkinImage(gfx::TBitmap* B) {
  if (FBorderStyle == bvNone && G.ResizeMode == 1 && !FCaptionMode && !G.StretchEffect) {
    DrawClientTile(B->Canvas(), B->Width(), B->Height(), true);
    return;
  }
  TbsSkinCustomControl::CreateControlSkinImage(B);
  if (G.ResizeMode < 1)
    NewCaptionRect = CaptionRect;
  else if (!FTransparentMode)
    NewCaptionRect = CalcRealRect(CaptionRect);
  if (!Caption().empty() && RectWidth(CaptionRect) > 0 && RectHeight(CaptionRect) > 0) DrawSkinCaption(B->Canvas());
}

void TbsSkinPanel::DrawSkinCaption(gfx::TCanvas* C) {
  TRect Q = NewCaptionRect;
  if (FRollUpMode) Q.Right -= 12;
  if (FCheckedMode) {
    int w = RectWidth(CheckImageRect), h = RectHeight(CheckImageRect);
    DrawPicturePartAuto(C, Picture, FChecked ? CheckImageRect : UnCheckImageRect, Q.Left, CentredTopIn(Q, h));
    Q.Left += w + 2;
  }
  if (FUseSkinFont) {
    C->Font()->SetName(FontName);
    C->Font()->SetHeight(FontHeight);
    C->Font()->SetStyle(FontStyle);
    C->Font()->SetCharset(FDefaultFont.Charset());
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  ApplySkinCharset(C->Font(), FSD);
  C->Font()->SetColor(FontColor);
  std::string text = Caption();
  int tw = C->TextWidth(text), th = C->TextHeight(text);
  int block = tw + (FGlyph.Width() > 0 ? FGlyph.Width() / FNumGlyphs + FSpacing : 0);
  int ty = CentredTopIn(Q, th);
  int tx = Q.Left;
  if (Alignment == taRightJustify)
    tx = Q.Right - block;
  else if (Alignment == taCenter)
    tx = Q.Left + (Q.Right - Q.Left) / 2 - block / 2;
  C->Brush()->SetStyle(gfx::bsClear);
  int iw, ih;
  CaptionImageSize(iw, ih);
  int iy = CentredTopIn(Q, ih), ix = tx;
  if (iw > 0) {
    if (FImagePosition == bsipLeft) {
      ix = Q.Left + 2;
      if (Alignment == taLeftJustify)
        tx = ix + iw + FSpacing;
      else if (Alignment == taRightJustify)
        tx = Q.Right - tw;
      else
        tx = Q.Left + (Q.Right - Q.Left) / 2 - tw / 2;
      if (tx < ix + iw + FSpacing) tx = ix + iw + FSpacing;
    } else {
      ix = tx;
      tx += iw + FSpacing;
    }
  }
  if (FRollUpMode) {
    TRect M{Q.Right, Q.Top, Q.Right + 10, Q.Bottom};
    if (Picture && RectWidth(MarkFrameRect) > 0 && RectHeight(MarkFrameRect) > 0)
      C->CopyRect({M.Left, M.Top, M.Left + RectWidth(MarkFrameRect), CaptionRect.Top + RectHeight(MarkFrameRect)},
                  Picture->Canvas(), MarkFrameRect);
    DrawArrowGlyph(C, M, FontColor, FRollUpState ? 4 : 3);
  }
  if (Picture && RectWidth(FrameRect) > 0 && RectHeight(FrameRect) > 0) {
    int d = RectWidth(FrameRect) - RectWidth(FrameTextRect);
    gfx::TBitmap F;
    int fw = tw + d, fh = RectHeight(FrameRect);
    if (fw > 0) {
      F.SetSize(fw, fh);
      CreateHSkinImage(FrameLeftOffset, FrameRightOffset, &F, {Picture, FrameRect}, fw, fh, false);
      int x = tx;
      if (Alignment == taLeftJustify) {
        tx = x + FrameTextRect.Left;
      } else if (Alignment == taRightJustify) {
        x = tx - d;
        tx = x + FrameTextRect.Left;
        ix -= d;
      } else {
        x = tx - FrameTextRect.Left - 2;
        ix -= FrameTextRect.Left;
        tx -= 2;
      }
      C->Draw(x, CaptionRect.Top, &F);
    }
  }
  C->Brush()->SetStyle(gfx::bsClear);
  C->TextRect(Q, tx, ty, text);
  if (iw > 0) DrawCaptionImage(C, ix, iy);
}

void TbsSkinPanel::PaintTransparentFrame(gfx::TCanvas* C, int W, int H) {
  DrawParentImage(this, C);
  TColor shadow = FSD->SkinColors().cBtnShadow();
  C->Pen()->SetColor(shadow);
  C->Pen()->SetWidth(1);
  C->Brush()->SetStyle(gfx::bsClear);
  if (FUseSkinFont) {
    C->Font()->SetName(FontName);
    C->Font()->SetHeight(FontHeight);
    C->Font()->SetStyle(FontStyle);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  ApplySkinCharset(C->Font(), FSD);
  std::string text = Caption();
  int th = C->TextHeight(text.empty() ? std::string("Wg") : text);
  NewCaptionRect = {5, 0, W, th + 5};
  int x = 5;
  if (FCheckedMode) {
    TRect part = FChecked ? CheckImageRect : UnCheckImageRect;
    DrawPicturePartAuto(C, Picture, part, 5, CentredTopIn(NewCaptionRect, RectHeight(part)));
    x = 5 + RectWidth(part) + 5;
  }
  int iw, ih;
  CaptionImageSize(iw, ih);
  int ix = x, iy = CentredTopIn(NewCaptionRect, ih);
  if (iw > 0) x += iw + 2;
  TRect S{x, 0, W, th + 5};
  TColor color = FSD->SkinColors().cBtnText();
  int li = FSD->GetControlIndex("stdlabel");
  if (auto* L = dynamic_cast<TbsDataSkinStdLabelControl*>(SkinRecord(FSD, li))) color = L->FontColor;
  C->Font()->SetColor(color);
  DrawSingleLineText(C, text, S);
  TRect m{0, 0, 0, 0};
  int tw = 0;
  if (!text.empty()) {
    WideDrawText(C, text, m, gfx::DT_CALCRECT);
    tw = RectWidth(m);
  }
  if (iw > 0) DrawCaptionImage(C, ix, iy);
  int mid = (th + 5) / 2;
  C->Pen()->SetColor(shadow);
  if (FRollUpMode) {
    DrawArrowGlyph(C, {x + tw + 3, 0, x + tw + 10, th + 5}, color, FRollUpState ? 4 : 3);
    C->Pen()->SetColor(shadow);
    C->MoveTo(x + tw + 12, mid);
  } else {
    C->MoveTo(x + tw + 3, mid);
  }
  C->LineTo(W, mid);
  C->MoveTo(0, mid);
  C->LineTo(4, mid);
  C->Polyline({{W - 1, mid}, {W - 1, H - 1}, {0, H - 1}, {0, mid}});
}

// ---------------------------------------------------------------------------- group box, paint panel

TbsSkinGroupBox::TbsSkinGroupBox(cl::TComponent* AOwner) : TbsSkinPanel(AOwner) {
  FSkinDataName = "groupbox";
  SetCaptionMode(true);
}

void TbsSkinGroupBox::GetSkinData() {
  TbsSkinPanel::GetSkinData();
  // A caption under the client area is outside the frame strips that the
  // background mode draws: the whole picture has to be built instead.
  if (FIndex != -1 && CaptionRect.Top >= G.ClRect.Bottom && RectHeight(CaptionRect) > 0) FForceBackground = false;
}

TbsSkinPaintPanel::TbsSkinPaintPanel(cl::TComponent* AOwner) : TbsSkinPanel(AOwner) { FForceBackground = false; }

void TbsSkinPaintPanel::CreateControlDefaultImage(gfx::TBitmap* B) {
  TbsSkinPanel::CreateControlDefaultImage(B);
  if (OnPanelPaint) OnPanelPaint(B->Canvas(), GetSkinClientRect());
}

void TbsSkinPaintPanel::CreateControlSkinImage(gfx::TBitmap* B) {
  TbsSkinPanel::CreateControlSkinImage(B);
  if (OnPanelPaint) OnPanelPaint(B->Canvas(), GetSkinClientRect());
}

void TbsSkinPaintPanel::DoPanelPaint(gfx::TCanvas* Cnvs) {
  if (OnPanelPaint) OnPanelPaint(Cnvs, GetSkinClientRect());
}

void TbsSkinPaintPanel::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == WM_ERASEBKGND) {
    if (!FromWMPaint && Msg.WParam) PaintWindow(gfx::HDC(uint32_t(Msg.WParam)));
    Msg.Result = 1;
    return;
  }
  TbsSkinPanel::Dispatch(Msg);
}

}  // namespace skin
