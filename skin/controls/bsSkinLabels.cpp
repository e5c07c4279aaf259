#include "skin/controls/bsSkinLabels.h"

#include "platform/gfx/dc.h"
#include "platform/gfx/text.h"

namespace skin {

using namespace win;

// ============================================================================ shared

void TbsLabelSkin::Lookup(TbsSkinData* SD, const std::string& Name, int& FIndex) {
  FIndex = SkinUsable(SD) ? SD->GetControlIndex(Name) : -1;
  if (auto* R = dynamic_cast<TbsDataSkinStdLabelControl*>(SkinRecord(SD, FIndex))) {
    FontName = R->FontName;
    FontColor = R->FontColor;
    FontStyle = R->FontStyle;
    FontHeight = R->FontHeight;
  }
}

void TbsLabelSkin::ApplyFont(gfx::TCanvas* C, int FIndex, bool UseSkinFont, bool UseSkinColor,
                             const gfx::TFont& DefaultFont, const gfx::TFont& Font) const {
  if (FIndex == -1) {
    C->Font()->Assign(UseSkinFont ? DefaultFont : Font);
    return;
  }
  C->Font()->Assign(Font);
  if (UseSkinFont) {
    C->Font()->SetName(FontName);
    C->Font()->SetStyle(FontStyle);
    C->Font()->SetHeight(FontHeight);
  }
  C->Font()->SetColor(UseSkinColor ? FontColor : Font.Color());
}

void DrawEmbossedText(gfx::TCanvas* C, const std::string& Text, TRect& R, unsigned Flags, bool Enabled, TbsSkinData* SD,
                      bool Skinned) {
  RECT r = R;
  if (!Enabled) {
    bool skin = Skinned && SD;
    r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    C->Font()->SetColor(skin ? SD->SkinColors().cBtnHighLight() : gfx::clBtnHighlight);
    gfx::DrawText(C->Handle(), Text, -1, &r, Flags);
    r = {r.Left - 1, r.Top - 1, r.Right - 1, r.Bottom - 1};
    C->Font()->SetColor(skin ? SD->SkinColors().cBtnShadow() : gfx::clBtnShadow);
  }
  gfx::DrawText(C->Handle(), Text, -1, &r, Flags);
  R = r;
}

// ============================================================================ TbsSkinStdLabel

TbsSkinStdLabel::TbsSkinStdLabel(cl::TComponent* AOwner) : cl::TCustomLabel(AOwner) { SetTransparent(true); }

void TbsSkinStdLabel::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = nullptr;
  cl::TCustomLabel::Destroy();
}

void TbsSkinStdLabel::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TCustomLabel::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
}

void TbsSkinStdLabel::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) {
    Value->FreeNotification(this);
    ChangeSkinData();
  }
}

void TbsSkinStdLabel::SetEllipsType(TbsEllipsType Value) {
  if (Value == FEllipsType) return;
  FEllipsType = Value;
  Invalidate();
}

void TbsSkinStdLabel::GetSkinData() { L.Lookup(FSD, FSkinDataName, FIndex); }

void TbsSkinStdLabel::ChangeSkinData() {
  GetSkinData();
  if (AutoSize()) AdjustBounds();
  Repaint();
}

void TbsSkinStdLabel::DoDrawText(TRect& Rect, unsigned Flags) {
  GetSkinData();
  std::string text = GetLabelText();
  if ((Flags & gfx::DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == "&"))) text += " ";
  if (!ShowAccelChar()) Flags |= gfx::DT_NOPREFIX;
  if (FEllipsType == bsetEndEllips) Flags |= gfx::DT_END_ELLIPSIS;
  if (FEllipsType == bsetPathEllips) Flags |= gfx::DT_PATH_ELLIPSIS;
  L.ApplyFont(canvas_, FIndex, FUseSkinFont, FUseSkinColor, FDefaultFont, font_);
  DrawEmbossedText(canvas_, text, Rect, Flags, Enabled(), FSD, FIndex != -1);
}

// ============================================================================ TbsSkinTextLabel

TbsSkinTextLabel::TbsSkinTextLabel(cl::TComponent* AOwner)
    : cl::TGraphicControl(AOwner), FLines(std::make_unique<rtl::TStringList>()) {
  width_ = 65;
  height_ = 65;
  autoSize_ = true;
  ControlStyle &= ~unsigned(cl::csOpaque);
  ControlStyle |= cl::csReplicatable;
  FLines->OnChange = [this](rtl::TObject*) {
    if (AutoSize()) AdjustBounds();
    Invalidate();
  };
}

void TbsSkinTextLabel::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = nullptr;
  FLines->OnChange = nullptr;
  cl::TGraphicControl::Destroy();
}

void TbsSkinTextLabel::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TGraphicControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
}

void TbsSkinTextLabel::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) {
    Value->FreeNotification(this);
    ChangeSkinData();
  }
}

void TbsSkinTextLabel::SetLines(const rtl::TStrings& Value) {
  FLines->Assign(Value);
  Repaint();
}

void TbsSkinTextLabel::SetAlignment(cl::TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TbsSkinTextLabel::SetLayout(cl::TTextLayout Value) {
  if (Value == FLayout) return;
  FLayout = Value;
  Invalidate();
}

void TbsSkinTextLabel::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TbsSkinTextLabel::SetAutoSize(bool Value) {
  if (Value == autoSize_) return;
  autoSize_ = Value;
  AdjustBounds();
}

void TbsSkinTextLabel::GetSkinData() { L.Lookup(FSD, FSkinDataName, FIndex); }

void TbsSkinTextLabel::ChangeSkinData() {
  GetSkinData();
  if (AutoSize()) AdjustBounds();
  Repaint();
}

void TbsSkinTextLabel::Loaded() {
  cl::TGraphicControl::Loaded();
  AdjustBounds();
}

void TbsSkinTextLabel::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == CM_FONTCHANGED) {
    cl::TGraphicControl::Dispatch(Msg);
    AdjustBounds();
    Invalidate();
    return;
  }
  cl::TGraphicControl::Dispatch(Msg);
}

std::string TbsSkinTextLabel::GetTextToDraw() {
  std::string s;
  for (int i = 0; i < FLines->Count(); ++i) s += FLines->At(i) + "\r\n";
  return s;
}

void TbsSkinTextLabel::DrawLabelText(TRect& R, unsigned Flags) {
  GetSkinData();
  L.ApplyFont(canvas_, FIndex, FUseSkinFont, FUseSkinColor, FDefaultFont, font_);
  DrawEmbossedText(canvas_, GetTextToDraw(), R, Flags, Enabled(), FSD, FIndex != -1);
}

void TbsSkinTextLabel::Paint() {
  gfx::TCanvas* C = Canvas();
  C->Brush()->SetStyle(gfx::bsClear);
  unsigned flags = gfx::DT_EXPANDTABS | (FWordWrap ? unsigned(gfx::DT_WORDBREAK) : 0u);
  if (FAlignment == cl::taCenter) flags |= gfx::DT_CENTER;
  if (FAlignment == cl::taRightJustify) flags |= gfx::DT_RIGHT;
  TRect R{0, 0, Width(), Height()};
  if (FLayout != cl::tlTop) {
    TRect calc = R;
    DrawLabelText(calc, flags | gfx::DT_CALCRECT);
    calc.Bottom -= C->TextHeight("A");
    int dy = FLayout == cl::tlBottom ? Height() - calc.Bottom : (Height() - calc.Bottom) / 2;
    R = {R.Left, R.Top + dy, R.Right, R.Bottom + dy};
  }
  DrawLabelText(R, flags);
}

void TbsSkinTextLabel::AdjustBounds() {
  if (!AutoSize() || Destroyed() || (ComponentState() & cl::csReading)) return;
  TRect R{0, 0, Width(), Height()};
  gfx::HDC dc = gfx::CreateCompatibleDC(gfx::HDC());
  canvas_->SetHandle(dc);
  DrawLabelText(R, gfx::DT_EXPANDTABS | gfx::DT_CALCRECT | (FWordWrap ? unsigned(gfx::DT_WORDBREAK) : 0u));
  R.Bottom -= canvas_->TextHeight("A");
  canvas_->SetHandle(gfx::HDC());
  gfx::DeleteDC(dc);
  int x = Left();
  if (FAlignment == cl::taRightJustify) x += Width() - R.Right;
  SetBounds(x, Top(), R.Right, R.Bottom);
}

}  // namespace skin
