#include "skin/inputs/bsSkinLinkLabel.h"

#include "platform/cl/application.h"
#include "platform/gfx/text.h"
#include "platform/shell/launcher.h"
#include "skin/draw/bsGlowText.h"
#include "skin/controls/bsSkinParts.h"

namespace skin {

using namespace win;

TbsSkinLinkLabel::TbsSkinLinkLabel(cl::TComponent* AOwner) : cl::TCustomLabel(AOwner) {
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetHeight(14);
  FDefaultFont.SetStyle({gfx::fsUnderline});
  SetTransparent(true);
  Font()->Assign(FDefaultFont);
  Cursor = cl::crHandPoint;
}

void TbsSkinLinkLabel::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = nullptr;
  cl::TCustomLabel::Destroy();
}

void TbsSkinLinkLabel::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TCustomLabel::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
}

void TbsSkinLinkLabel::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) {
    Value->FreeNotification(this);
    ChangeSkinData();
  }
}

void TbsSkinLinkLabel::SetUseUnderLine(bool V) {
  if (FUseUnderLine == V) return;
  FUseUnderLine = V;
  Invalidate();
}

void TbsSkinLinkLabel::GetSkinData() {
  FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1;
  auto* R = dynamic_cast<TbsDataSkinStdLabelControl*>(SkinRecord(FSD, FIndex));
  if (!R) {
    // A record of another kind gives nothing to draw with: the plain look.
    FIndex = -1;
    return;
  }
  FontName = R->FontName;
  FontColor = R->FontColor;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  ActiveFontColor = R->ActiveFontColor;
}

void TbsSkinLinkLabel::ChangeSkinData() {
  GetSkinData();
  Invalidate();
}

void TbsSkinLinkLabel::Click() {
  cl::Keep<TbsSkinLinkLabel> self(this);
  cl::TCustomLabel::Click();
  if (Destroyed() || FURL.empty()) return;
  shell::ShellExecute(nullptr, "open", FURL, "", "", shell::SW_SHOWNORMAL);
}

void TbsSkinLinkLabel::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case CM_MOUSEENTER:
      cl::TCustomLabel::Dispatch(Msg);
      FMouseIn = true;
      Invalidate();
      return;
    case CM_MOUSELEAVE:
      cl::TCustomLabel::Dispatch(Msg);
      FMouseIn = false;
      Invalidate();
      return;
  }
  cl::TCustomLabel::Dispatch(Msg);
}

void TbsSkinLinkLabel::DoDrawText(TRect& Rect, unsigned Flags) {
  GetSkinData();
  std::string text = GetLabelText();
  if ((Flags & gfx::DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == "&"))) text += " ";
  if (!ShowAccelChar()) Flags |= gfx::DT_NOPREFIX;
  TRect R = Rect;
  if (FGlowEffect) {
    R.Top += FGlowSize;
    R.Bottom += FGlowSize;
  }
  gfx::TCanvas* C = Canvas();
  gfx::TFont* F = C->Font();
  bool skinned = FIndex != -1;
  gfx::TColor glow;
  if (!skinned) {
    F->Assign(FUseSkinFont ? FDefaultFont : *Font());
    F->SetCharset(FDefaultFont.Charset());
    ApplySkinCharset(F, FSD);
    if (FMouseIn) F->SetColor(FDefaultActiveFontColor);
    F->SetStyle(F->Style() + gfx::TFontStyles{gfx::fsUnderline});
    glow = FDefaultActiveFontColor;
  } else {
    if (FUseSkinFont) {
      F->SetName(FontName);
      F->SetStyle(FontStyle);
      F->SetHeight(FontHeight);
    } else {
      F->Assign(*Font());
    }
    F->SetCharset(FDefaultFont.Charset());
    ApplySkinCharset(F, FSD);
    F->SetColor(FMouseIn && !FGlowEffect ? ActiveFontColor : FontColor);
    glow = ActiveFontColor;
  }
  if (Enabled()) {
    gfx::TFontStyles st = F->Style() - gfx::TFontStyles{gfx::fsUnderline};
    if (FUseUnderLine) st = st + gfx::TFontStyles{gfx::fsUnderline};
    F->SetStyle(st);
    if (FMouseIn && FGlowEffect && !(Flags & gfx::DT_CALCRECT)) {
      DrawGlowText(C, R, text, TbsTextFormat(Flags), TbsTextOffset(0), glow, TbsGlowSize(FGlowSize));
    } else {
      gfx::DrawText(C->Handle(), text, -1, &R, Flags);
    }
  } else {
    if (skinned) {
      gfx::TFontStyles st = F->Style() - gfx::TFontStyles{gfx::fsUnderline};
      if (FUseUnderLine) st = st + gfx::TFontStyles{gfx::fsUnderline};
      F->SetStyle(st);
    }
    TRect R1{R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
    F->SetColor(skinned ? FSD->SkinColors().cBtnHighLight() : gfx::clBtnHighlight);
    gfx::DrawText(C->Handle(), text, -1, &R1, Flags);
    F->SetColor(skinned ? FSD->SkinColors().cBtnShadow() : gfx::clBtnShadow);
    gfx::DrawText(C->Handle(), text, -1, &R, Flags);
  }
  if (Flags & gfx::DT_CALCRECT) {
    // The measured extent, moved back to the rectangle the label gave.
    Rect.Right = R.Right;
    Rect.Bottom = R.Bottom - (FGlowEffect ? FGlowSize : 0);
  }
}

}  // namespace skin
