#include "skin/form/bsSkinMainMenuBar.h"

#include <algorithm>

#include "platform/gfx/rect.h"
#include "skin/draw/bsCaptionGlyphs.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsParentImage.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/form/bsSkinForm.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/form/bsSkinMDI.h"

namespace skin {

namespace {

TBitmap* PictureOf(TbsSkinData* SD, int Index) {
  if (!SD || SD->Empty || Index < 0 || Index >= int(SD->FActivePictures.size())) return nullptr;
  TBitmap* B = SD->FActivePictures[size_t(Index)].get();
  return B && !B->Empty() ? B : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// The objects' common part.

TbsMenuBarObject::TbsMenuBarObject(TbsSkinMainMenuBar* AParent, TbsDataSkinObject* AData) : Parent(AParent) {
  if (!AData) return;
  IDName = AData->IDName;
  Picture = PictureOf(Parent->SkinData(), AData->ActivePictureIndex);
  SkinRect = AData->SkinRect;
  ActiveSkinRect = AData->ActiveSkinRect;
  DownRect = ActiveSkinRect;
  ObjectRect = SkinRect;
  Morphing = AData->Morphing;
  MorphKind = AData->MorphKind;
  if (IsNullRect(ActiveSkinRect)) {
    // Nothing to fade to: neither the object nor its record fades.
    Morphing = false;
    AData->Morphing = false;
  }
}

bool TbsMenuBarObject::EnableMorphing() const {
  TbsSkinData* SD = Parent->SkinData();
  return Morphing && SD && !SD->Empty && SD->EnableSkinEffects();
}

bool TbsMenuBarObject::CanMorphing() {
  return (!FDown || IsNullRect(DownRect)) && ((Active && FMorphKf < 1) || (!Active && FMorphKf > 0));
}

void TbsMenuBarObject::SetMorphKf(double Value) { FMorphKf = std::clamp(Value, 0.0, 1.0); }

void TbsMenuBarObject::DoMorphing() {
  SetMorphKf(Active ? FMorphKf + 0.2 : FMorphKf - 0.2);
  Parent->DrawObject(this);
}

void TbsMenuBarObject::ReDraw() {
  if (EnableMorphing())
    Parent->MorphTimer()->SetEnabled(true);
  else
    Parent->DrawObject(this);
}

void TbsMenuBarObject::MouseEnter() {
  FMouseIn = Active = true;
  ReDraw();
}

void TbsMenuBarObject::MouseLeave() {
  FMouseIn = Active = false;
  ReDraw();
}

// ---------------------------------------------------------------------------
// Items.

TbsSkinMainMenuBarItem::TbsSkinMainMenuBarItem(TbsSkinMainMenuBar* AParent, TbsDataSkinMainMenuBarItem* AData,
                                               cl::TMenuItem* AItem)
    : TbsMenuBarObject(AParent, AData), MenuItem(AItem), Data(AData) {
  IDName = AItem->Name();
  if (Data) {
    FSkinSupport = true;
    DownRect = !IsNullRect(Data->DownRect)         ? Data->DownRect
               : !IsNullRect(Data->ActiveSkinRect) ? Data->ActiveSkinRect
                                                   : Data->SkinRect;
    AnimateSkinRect = Data->AnimateSkinRect;
    FrameCount = Data->FrameCount;
    AnimateInterval = Data->AnimateInterval;
    InActiveAnimation = Data->InActiveAnimation;
  }
  Enabled = OldEnabled = AItem->Enabled;
}

bool TbsSkinMainMenuBarItem::EnableAnimation() const {
  TbsSkinData* SD = Parent->SkinData();
  return !IsNullRect(AnimateSkinRect) && FrameCount > 0 && SD && !SD->Empty && SD->EnableSkinEffects();
}

void TbsSkinMainMenuBarItem::ReDraw() {
  if (!EnableAnimation()) {
    TbsMenuBarObject::ReDraw();
    return;
  }
  cl::TTimer* T = Parent->AnimateTimer();
  const unsigned Interval = AnimateInterval > 0 ? unsigned(AnimateInterval) : 25u;
  if (T->Interval() != Interval) T->SetInterval(Interval);
  T->SetEnabled(true);
}

void TbsSkinMainMenuBarItem::DrawCaption(TBitmap* B, TColor Color) {
  gfx::TCanvas* C = B->Canvas();
  std::string Text = cl::StripHotkey(MenuItem->Caption);
  C->Font()->SetColor(Color);
  C->Brush()->SetStyle(gfx::bsClear);
  const bool Shift = FDown && !(FSkinSupport && Picture);
  int X = (B->Width() - C->TextWidth(Text)) / 2 + (Shift ? 1 : 0);
  int Y = (B->Height() - C->TextHeight(Text)) / 2 + (Shift ? 1 : 0);
  C->TextOut(X, Y, Text);
}

void TbsSkinMainMenuBarItem::DrawImage(gfx::TCanvas* Cnvs, TBitmap* B, const TRect& Src, bool AActive) {
  if (Parent->ItemTransparent() && Src == SkinRect)
    B->Canvas()->CopyRect(TRect{0, 0, B->Width(), B->Height()}, Cnvs, ObjectRect);
  else
    CreateHSkinImage(Data->ItemLO, Data->ItemRO, B, TbsPictureRect{Picture, Src}, B->Width(), B->Height(),
                     AActive && Data->StretchEffect);
  B->Canvas()->Font()->Assign(*Cnvs->Font());
  DrawCaption(B, FDown               ? Data->DownFontColor
                 : AActive           ? Data->ActiveFontColor
                 : MenuItem->Enabled ? Data->FontColor
                                     : Data->UnEnabledFontColor);
}

void TbsSkinMainMenuBarItem::DefaultDraw(gfx::TCanvas* Cnvs, TBitmap* B) {
  gfx::TCanvas* C = B->Canvas();
  TRect R{0, 0, B->Width(), B->Height()};
  if (FDown || FMouseIn || Active) {
    gfx::Frame3D(C, R, gfx::clNavy, gfx::clNavy, 1);
    C->Brush()->SetColor(FDown ? gfx::RGB(133, 147, 181) : gfx::RGB(182, 189, 210));
  } else {
    C->Brush()->SetColor(gfx::clBtnFace);
  }
  C->FillRect(R);
  C->Font()->Assign(*Cnvs->Font());
  DrawCaption(B, MenuItem->Enabled ? gfx::clBtnText : gfx::clBtnShadow);
}

void TbsSkinMainMenuBarItem::Draw(gfx::TCanvas* Cnvs) {
  // The place: right after the previous item.
  int Left = Parent->NewItemsRect.Left;
  for (auto& O : Parent->ObjectList) {
    if (O.get() == this) break;
    if (dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()) && O->ObjectRect.Right != 0) Left = O->ObjectRect.Right;
  }
  std::string Text = cl::StripHotkey(MenuItem->Caption);
  bool Skinned = Data && Picture && !IsNullRect(Data->SkinRect) && !IsNullRect(Data->TextRct);
  gfx::TFont* F = Cnvs->Font();
  if (Skinned) {
    F->SetName(Data->FontName.empty() ? "Arial" : Data->FontName);
    F->SetHeight(Data->FontHeight ? Data->FontHeight : 14);
    F->SetStyle(Data->FontStyle);
  } else {
    F->Assign(Parent->DefItemFont);
  }
  int W = Cnvs->TextWidth(Text);
  if (Skinned) {
    ObjectRect = {Left, Parent->NewItemsRect.Top, Left + RectWidth(Data->SkinRect) - RectWidth(Data->TextRct) + W + 2,
                  Parent->NewItemsRect.Top + RectHeight(Data->SkinRect)};
  } else {
    ObjectRect = {Left, Parent->NewItemsRect.Top, Left + W + 12, Parent->NewItemsRect.Bottom};
  }
  int Limit = Parent->ScrollMenu ? Parent->NewItemsRect.Right - 5 : Parent->NewItemsRect.Right;
  if (ObjectRect.Right > Limit) {
    Parent->Scroll = true;
    if (Visible) OldEnabled = Enabled;
    Enabled = false;
    Visible = false;
    return;
  }
  if (!Visible) {
    Visible = true;
    Enabled = OldEnabled;
  }
  TBitmap B;
  B.SetSize(RectWidth(ObjectRect), RectHeight(ObjectRect));
  if (!Skinned) {
    DefaultDraw(Cnvs, &B);
  } else if (FDown) {
    DrawImage(Cnvs, &B, DownRect, true);
  } else if (EnableAnimation() && CurrentFrame > 0 && CurrentFrame <= FrameCount) {
    // Frames stack downwards when the strip is taller than the item's look,
    // else they stand side by side.
    TRect F = AnimateSkinRect;
    if (RectHeight(AnimateSkinRect) > RectHeight(SkinRect)) {
      const int FH = RectHeight(AnimateSkinRect) / FrameCount;
      F.Top += (CurrentFrame - 1) * FH;
      F.Bottom = F.Top + FH;
    } else {
      const int FW = RectWidth(AnimateSkinRect) / FrameCount;
      F.Left += (CurrentFrame - 1) * FW;
      F.Right = F.Left + FW;
    }
    DrawImage(Cnvs, &B, F, true);
  } else if (EnableMorphing() && ((Active && FMorphKf != 1) || (!Active && FMorphKf != 0))) {
    TBitmap A;
    A.SetSize(B.Width(), B.Height());
    DrawImage(Cnvs, &B, SkinRect, false);
    DrawImage(Cnvs, &A, ActiveSkinRect, true);
    std::unique_ptr<TbsEffectBmp> EB(TbsEffectBmp::CreateFromhWnd(B.Handle()));
    std::unique_ptr<TbsEffectBmp> EA(TbsEffectBmp::CreateFromhWnd(A.Handle()));
    if (EB && EA) {
      EB->MorphBy(MorphKind, EA.get(), FMorphKf);
      EB->Draw(Cnvs->Handle(), ObjectRect.Left, ObjectRect.Top);
      return;
    }
  } else if (Active)
    DrawImage(Cnvs, &B, !IsNullRect(ActiveSkinRect) ? ActiveSkinRect : SkinRect, true);
  else
    DrawImage(Cnvs, &B, SkinRect, false);
  Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinMainMenuBarItem::MouseEnter() {
  for (auto& O : Parent->ObjectList) {
    auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get());
    if (I && I != this && I->FDown) {
      // Moving along the bar while a submenu is open switches submenus.
      I->SetPressed(false);
      Active = FMouseIn = true;
      if (EnableMorphing()) SetMorphKf(1);
      SetPressed(true);
      return;
    }
  }
  for (auto& O : Parent->ObjectList)
    if (O.get() != this && O->Active && dynamic_cast<TbsSkinMainMenuBarItem*>(O.get())) O->MouseLeave();
  FMouseIn = Active = true;
  ReDraw();
  Parent->OnItemMouseEnter(MenuItem);
  if (Parent->Hint != MenuItem->Hint) Parent->Hint = MenuItem->Hint;
}

void TbsSkinMainMenuBarItem::MouseLeave() {
  Active = FMouseIn = false;
  if (EnableAnimation() && !InActiveAnimation) {
    CurrentFrame = 0;
    Parent->DrawObject(this);
  }
  if (EnableMorphing() && FDown) SetMorphKf(0);
  ReDraw();
  Parent->OnItemMouseLeave(MenuItem);
}

void TbsSkinMainMenuBarItem::MouseDown(int, int, cl::TMouseButton Button) {
  TbsSkinForm* SF = Parent->SkinForm();
  if (!Enabled || !SF || Button != cl::mbLeft) return;
  if (MenuItem->Count() > 0) {
    Parent->MenuActive = true;
    SetPressed(true);
    return;
  }
  if (SF->InMainMenu()) SF->EndMainMenuMode();
  if (EnableMorphing())
    ReDraw();
  else
    Parent->DrawObject(this);
  cl::Keep<cl::TMenuItem> K(MenuItem);
  if (cl::TMenu* M = MenuItem->GetParentMenu())
    M->DispatchCommand(MenuItem->Command());
  else
    MenuItem->Click();
}

void TbsSkinMainMenuBarItem::SetPressed(bool Value) {
  if (!Value) {
    FDown = false;
    Active = false;
    if (EnableAnimation()) {
      if (InActiveAnimation) {
        // The frames run back from the hot look.
        CurrentFrame = FrameCount + 1;
        ReDraw();
      } else {
        CurrentFrame = 0;
        Parent->DrawObject(this);
      }
    } else if (EnableMorphing()) {
      SetMorphKf(1);
      ReDraw();
    } else {
      Parent->DrawObject(this);
    }
    return;
  }
  FDown = true;
  SetMorphKf(1);
  Parent->DrawObject(this);
  TbsSkinForm* SF = Parent->SkinForm();
  if (!SF) return;
  TRect R = ObjectRect;
  TPoint O = Parent->ClientToScreen({0, 0});
  gfx::OffsetRect(R, O.X, O.Y);
  SF->SkinMenuOpen();
  SF->SetInMainMenu(true);
  TbsSkinData* SD = Parent->SkinData();
  if (auto* SM = dynamic_cast<TbsSkinMainMenu*>(Parent->MainMenu()))
    if (SM->SkinData) SD = SM->SkinData;
  SF->SkinMenu()->Popup(nullptr, SD, 0, R, MenuItem, Parent->PopupToUp);
}

// ---------------------------------------------------------------------------
// The bar.

TbsSkinMainMenuBar::TbsSkinMainMenuBar(cl::TComponent* AOwner) : TbsSkinControl(AOwner) {
  SetAlign(cl::alTop);
  SetHeight(22);
  FSkinDataName = "mainmenubar";
  DefItemFont.SetName("Arial");
  DefItemFont.SetHeight(14);
  DefItemFont.SetColor(gfx::clBtnText);
  auto MakeTimer = [this](unsigned ms, void (TbsSkinMainMenuBar::*tick)(rtl::TObject*)) {
    auto* t = new cl::TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(ms);
    t->SetOnTimer([this, tick](rtl::TObject* s) { (this->*tick)(s); });
    return t;
  };
  FMorphTimer = MakeTimer(25, &TbsSkinMainMenuBar::MorphTimerTick);
  FAnimateTimer = MakeTimer(25, &TbsSkinMainMenuBar::AnimateTimerTick);
}

void TbsSkinMainMenuBar::MorphTimerTick(rtl::TObject*) {
  cl::Keep<TbsSkinMainMenuBar> K(this);
  bool Any = false;
  for (size_t i = 0; i < ObjectList.size(); ++i) {
    TbsMenuBarObject* O = ObjectList[i].get();
    if (O->EnableMorphing() && O->CanMorphing()) {
      O->DoMorphing();
      Any = true;
    }
  }
  if (!Any) FMorphTimer->SetEnabled(false);
}

void TbsSkinMainMenuBar::AnimateTimerTick(rtl::TObject*) {
  cl::Keep<TbsSkinMainMenuBar> K(this);
  bool Any = false;
  for (TbsSkinMainMenuBarItem* I : Items()) {
    if (!I->EnableAnimation()) continue;
    if (I->Active && I->CurrentFrame <= I->FrameCount)
      ++I->CurrentFrame;
    else if (!I->Active && I->CurrentFrame > 0)
      --I->CurrentFrame;
    else
      continue;
    Any = true;
    DrawObject(I);
  }
  if (!Any) FAnimateTimer->SetEnabled(false);
}

bool TbsSkinMainMenuBar::ItemTransparent() const {
  TbsDataSkinMainMenuBar* D = BarData();
  return D && D->ItemTransparent;
}

bool TbsSkinMainMenuBar::BarTransparent() const { return BarData() && FSD->MainMenuBarTransparent; }

void TbsSkinMainMenuBar::WMMove(cl::TMessage& Msg) {
  TbsSkinControl::WMMove(Msg);
  // A bar placed by hand shows another part of its parent after a move.
  if (BarTransparent() && Align() == cl::alNone) Invalidate();
}

void TbsSkinMainMenuBar::CheckParentBackground() {
  if (BarTransparent()) Invalidate();
}

void TbsSkinMainMenuBar::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinControl::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FMainMenu) {
    FMainMenu = nullptr;
    ObjectList.clear();
  }
  if (AComponent == FSkinForm) FSkinForm = nullptr;
}

void TbsSkinMainMenuBar::SetMainMenu(cl::TMainMenu* Value) {
  if (FMainMenu) FMainMenu->RemoveFreeNotification(this);
  FMainMenu = Value;
  if (FMainMenu) FMainMenu->FreeNotification(this);
  UpDateItems();
}

void TbsSkinMainMenuBar::SetSkinForm(TbsSkinForm* Value) {
  if (FSkinForm) FSkinForm->RemoveFreeNotification(this);
  FSkinForm = Value;
  if (FSkinForm) {
    FSkinForm->FreeNotification(this);
    FSkinForm->MainMenuBar = this;
  }
}

TbsDataSkinMainMenuBar* TbsSkinMainMenuBar::BarData() const {
  if (FIndex < 0 || !FSD || FSD->Empty) return nullptr;
  return dynamic_cast<TbsDataSkinMainMenuBar*>(FSD->CtrlList[size_t(FIndex)].get());
}

void TbsSkinMainMenuBar::GetSkinData() {
  TbsSkinControl::GetSkinData();
  FPicture = nullptr;
  FItemData = nullptr;
  if (TbsDataSkinMainMenuBar* D = BarData()) {
    FPicture = PictureOf(FSD, D->PictureIndex);
    int i = FSD->GetIndex(D->MenuBarItem);
    if (i >= 0) FItemData = dynamic_cast<TbsDataSkinMainMenuBarItem*>(FSD->ObjectList[size_t(i)].get());
  }
}

void TbsSkinMainMenuBar::BeforeChangeSkinData() {
  TbsSkinControl::BeforeChangeSkinData();
  FPicture = nullptr;
  FItemData = nullptr;
  ObjectList.clear();
  ButtonsCount = 0;
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
}

void TbsSkinMainMenuBar::ChangeSkinData() {
  GetSkinData();
  CreateMenu();
  if (TbsDataSkinMainMenuBar* D = BarData())
    SetHeight(RectHeight(D->SkinRect));
  else if (DefaultHeight > 0)
    SetHeight(DefaultHeight);
  Invalidate();
}

void TbsSkinMainMenuBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (TbsDataSkinMainMenuBar* D = BarData())
    if (!IsNullRect(D->SkinRect)) AHeight = RectHeight(D->SkinRect);
  TbsSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TbsSkinMainMenuBar::CreateMenu() {
  ObjectList.clear();
  ButtonsCount = 0;
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
  if (FMainMenu) {
    cl::TMenuItem* Items = FMainMenu->Items();
    for (int i = 0; i < Items->Count(); ++i) {
      cl::TMenuItem* I = Items->Items(i);
      if (I->Visible) ObjectList.push_back(std::make_unique<TbsSkinMainMenuBarItem>(this, FItemData, I));
    }
  }
  if (FMDIChildMax) CreateMDIButtons();
}

std::vector<TbsSkinMainMenuBarItem*> TbsSkinMainMenuBar::Items() const {
  std::vector<TbsSkinMainMenuBarItem*> L;
  for (size_t i = size_t(ButtonsCount); i < ObjectList.size(); ++i)
    L.push_back(static_cast<TbsSkinMainMenuBarItem*>(ObjectList[i].get()));
  return L;
}

void TbsSkinMainMenuBar::UpDateEnabledItems() {
  for (TbsSkinMainMenuBarItem* O : Items()) {
    // A hidden item (it did not fit) keeps its state for when it shows again.
    if (O->Visible)
      O->Enabled = O->MenuItem->Enabled;
    else
      O->OldEnabled = O->MenuItem->Enabled;
  }
  Invalidate();
}

void TbsSkinMainMenuBar::UpDateItems() {
  CreateMenu();
  Invalidate();
}

void TbsSkinMainMenuBar::CalcObjectRects() {
  if (TbsDataSkinMainMenuBar* D = BarData())
    NewItemsRect = {D->ItemsRect.Left, D->ItemsRect.Top, Width() - (RectWidth(D->SkinRect) - D->ItemsRect.Right),
                    D->ItemsRect.Bottom};
  else
    NewItemsRect = {2, 2, Width() - 2, Height() - 2};
  if (FMDIChildMax && ButtonsCount == 4) PlaceMDIButtons();
}

// ---------------------------------------------------------------------------
// The maximized child's buttons.

TbsSkinMainMenuBarButton::TbsSkinMainMenuBarButton(TbsSkinMainMenuBar* AParent, TbsDataSkinStdButton* AData,
                                                   TbsStdCommand ACommand)
    : TbsMenuBarObject(AParent, AData), Command(ACommand) {
  if (!AData) return;
  FSkinSupport = true;
  Command = AData->Command;
  // A record whose looks lie on the form's picture rather than on one of
  // the active pictures draws from there.
  TbsSkinData* SD = AParent->SkinData();
  if (!AData->SkinRectInAPicture) Picture = SD && SD->FPicture && !SD->FPicture->Empty() ? SD->FPicture.get() : nullptr;
  DownRect = AData->DownRect;
  RestoreRect = AData->RestoreRect;
  RestoreActiveRect = AData->RestoreActiveRect;
  RestoreDownRect = AData->RestoreDownRect;
  if (!Picture) FSkinSupport = false;
}

void TbsSkinMainMenuBarButton::Draw(gfx::TCanvas* Cnvs) {
  if (!Visible || IsNullRect(ObjectRect)) return;
  if (!FSkinSupport) {
    DefaultDraw(Cnvs);
    return;
  }
  // The child is maximized: the maximize button shows its restore look.
  const bool R = Command == cmMaximize && !IsNullRect(RestoreRect);
  const TRect Normal = R ? RestoreRect : SkinRect;
  const TRect Hot = R && !IsNullRect(RestoreActiveRect) ? RestoreActiveRect
                    : !IsNullRect(ActiveSkinRect)       ? ActiveSkinRect
                                                        : Normal;
  const TRect Down = R && !IsNullRect(RestoreDownRect) ? RestoreDownRect : !IsNullRect(DownRect) ? DownRect : Normal;
  if (!FDown && EnableMorphing() && ((Active && FMorphKf != 1) || (!Active && FMorphKf != 0))) {
    const int W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
    TBitmap A, B;
    A.SetSize(W, H);
    B.SetSize(W, H);
    A.Canvas()->CopyRect(TRect{0, 0, W, H}, Picture->Canvas(), Normal);
    B.Canvas()->CopyRect(TRect{0, 0, W, H}, Picture->Canvas(), Hot);
    std::unique_ptr<TbsEffectBmp> EA(TbsEffectBmp::CreateFromhWnd(A.Handle()));
    std::unique_ptr<TbsEffectBmp> EB(TbsEffectBmp::CreateFromhWnd(B.Handle()));
    if (EA && EB) {
      EA->MorphBy(MorphKind, EB.get(), FMorphKf);
      EA->Draw(Cnvs->Handle(), ObjectRect.Left, ObjectRect.Top);
      return;
    }
  }
  const TRect Src = Active && FDown ? Down : (Active || FDown) ? Hot : Normal;
  Cnvs->CopyRect(ObjectRect, Picture->Canvas(), Src);
}

void TbsSkinMainMenuBarButton::DefaultDraw(gfx::TCanvas* Cnvs) {
  TRect R = ObjectRect;
  const bool Pressed = Active && FDown;
  if (Active || FDown) {
    TRect F = R;
    gfx::Frame3D(Cnvs, F, Pressed ? gfx::clBtnShadow : gfx::clBtnHighlight,
                 Pressed ? gfx::clBtnHighlight : gfx::clBtnShadow, 1);
  }
  const int X = R.Left + RectWidth(R) / 2 - 5 + (Pressed ? 1 : 0);
  const int Y = R.Top + RectHeight(R) / 2 - 4 + (Pressed ? 1 : 0);
  switch (Command) {
    case cmClose:
      DrawCloseGlyph(Cnvs, X, Y, gfx::clBtnText);
      break;
    case cmMaximize:
      DrawRestoreGlyph(Cnvs, X, Y, gfx::clBtnText);
      break;
    case cmMinimize:
      DrawMinimizeGlyph(Cnvs, X, Y, gfx::clBtnText);
      break;
    default:
      DrawSysMenuGlyph(Cnvs, X, Y, gfx::clBtnText);
      break;
  }
}

void TbsSkinMainMenuBarButton::MouseDown(int, int, cl::TMouseButton Button) {
  if (!Enabled || Button != cl::mbLeft || FDown) return;
  FDown = true;
  if (EnableMorphing() && !IsNullRect(DownRect)) SetMorphKf(1);
  Parent->DrawObject(this);
  // The system menu opens at the press and keeps the button down until it
  // closes.
  if (Command == cmSysMenu) DoCommand();
}

void TbsSkinMainMenuBarButton::MouseUp(int, int, cl::TMouseButton Button) {
  if (!Enabled || Button != cl::mbLeft || Command == cmSysMenu) return;
  FDown = false;
  Parent->DrawObject(this);
  if (EnableMorphing()) ReDraw();
  // A release away from the button runs nothing.
  if (Active) DoCommand();
}

void TbsSkinMainMenuBarButton::DblClick() {
  if (Command != cmSysMenu) return;
  TbsSkinForm* SF = Parent->SkinForm();
  TbsSkinForm* C = Parent->MaxChildSkinForm();
  if (!SF || !C) return;
  SF->SkinMenu()->Hide();
  SF->SkinMenuClose();
  RunStdCommand(C, cmClose);
}

void TbsSkinMainMenuBarButton::MouseEnter() {
  if (FDown) {
    FMouseIn = Active = true;
    if (Command != cmSysMenu) Parent->DrawObject(this);
    return;
  }
  TbsMenuBarObject::MouseEnter();
}

void TbsSkinMainMenuBarButton::MouseLeave() {
  if (FDown) {
    FMouseIn = Active = false;
    if (Command == cmSysMenu) {
      if (EnableMorphing()) SetMorphKf(1);
    } else {
      Parent->DrawObject(this);
    }
    return;
  }
  TbsMenuBarObject::MouseLeave();
}

void TbsSkinMainMenuBarButton::DoCommand() {
  TbsSkinForm* C = Parent->MaxChildSkinForm();
  TbsSkinForm* SF = Parent->SkinForm();
  if (!C || !SF) return;
  switch (Command) {
    case cmSysMenu: {
      cl::TMenuItem* Items = C->SystemMenuItems();
      if (!Items || Items->Count() == 0) return;
      Parent->Repaint();
      TRect R = ObjectRect;
      TPoint O = Parent->ClientToScreen({0, 0});
      gfx::OffsetRect(R, O.X, O.Y);
      SF->SkinMenuOpen();
      SF->SkinMenu()->Popup(Parent, SF->MenusSkinData() ? SF->MenusSkinData() : SF->SkinData(), 0, R, Items,
                            Parent->PopupToUp);
      break;
    }
    case cmMaximize:
      C->SetWindowState(cl::wsNormal);
      break;
    default:
      RunStdCommand(C, Command);
      break;
  }
}

TbsSkinMainMenuBarButton* TbsSkinMainMenuBar::MDIButton(int Index) const {
  if (Index < 0 || Index >= ButtonsCount) return nullptr;
  return static_cast<TbsSkinMainMenuBarButton*>(ObjectList[size_t(Index)].get());
}

TbsSkinForm* TbsSkinMainMenuBar::MaxChildSkinForm() const {
  if (!FSkinForm || !FSkinForm->MDI) return nullptr;
  cl::TCustomForm* C = FSkinForm->MDI->FindMaximizedMDIChild();
  return C ? GetSkinFormComponent(C) : nullptr;
}

void TbsSkinMainMenuBar::CreateMDIButtons() {
  DeleteMDIButtons();
  TbsDataSkinMainMenuBar* D = BarData();
  auto Rec = [&](const std::string& Name) -> TbsDataSkinStdButton* {
    if (!D || Name.empty()) return nullptr;
    int i = FSD->GetIndex(Name);
    return i >= 0 ? dynamic_cast<TbsDataSkinStdButton*>(FSD->ObjectList[size_t(i)].get()) : nullptr;
  };
  const std::pair<std::string, TbsStdCommand> Order[] = {{D ? D->SysMenuButton : "", cmSysMenu},
                                                         {D ? D->CloseButton : "", cmClose},
                                                         {D ? D->MaxButton : "", cmMaximize},
                                                         {D ? D->MinButton : "", cmMinimize}};
  const char* DefNames[] = {"SysMenuButton", "CloseButton", "MaxButton", "MinButton"};
  for (int i = 0; i < 4; ++i) {
    auto B = std::make_unique<TbsSkinMainMenuBarButton>(this, Rec(Order[i].first), Order[i].second);
    if (!B->FSkinSupport) {
      B->IDName = DefNames[i];
      B->Command = Order[i].second;
    }
    ObjectList.insert(ObjectList.begin() + i, std::move(B));
  }
  ButtonsCount = 4;
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
  SetMDIButtonsVisibility();
}

void TbsSkinMainMenuBar::DeleteMDIButtons() {
  ObjectList.erase(ObjectList.begin(), ObjectList.begin() + ButtonsCount);
  ButtonsCount = 0;
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
}

void TbsSkinMainMenuBar::SetMDIButtonsVisibility() {
  TbsSkinForm* C = MaxChildSkinForm();
  TbsBorderIcons Icons = C ? C->BorderIcons() : TbsBorderIcons{};
  for (int i = 0; i < ButtonsCount; ++i) {
    TbsSkinMainMenuBarButton* B = MDIButton(i);
    B->Visible = true;
    if (B->Command == cmMinimize && !(Icons & biMinimize)) B->Visible = false;
    if (B->Command == cmSysMenu && !(Icons & biSystemMenu)) B->Visible = false;
  }
}

void TbsSkinMainMenuBar::PlaceMDIButtons() {
  const int H = RectHeight(NewItemsRect);
  auto Size = [&](const TbsSkinMainMenuBarButton& B) {
    return B.FSkinSupport ? TPoint{RectWidth(B.SkinRect), RectHeight(B.SkinRect)} : TPoint{H, H};
  };
  auto Place = [&](TbsSkinMainMenuBarButton& B, int Left) {
    TPoint S = Size(B);
    int Top = NewItemsRect.Top + H / 2 - S.Y / 2;
    B.ObjectRect = TRect{Left, Top, Left + S.X, Top + S.Y};
  };
  TbsSkinMainMenuBarButton& Sys = *MDIButton(0);
  if (Sys.Visible) {
    Place(Sys, NewItemsRect.Left);
    NewItemsRect.Left = Sys.ObjectRect.Right + 2;
  } else {
    Sys.ObjectRect = TRect{};
  }
  int Right = NewItemsRect.Right;
  for (int i = 1; i < 4; ++i) {
    TbsSkinMainMenuBarButton& B = *MDIButton(i);
    if (!B.Visible) {
      B.ObjectRect = TRect{};
      continue;
    }
    Place(B, Right - Size(B).X);
    Right = B.ObjectRect.Left - 2;
  }
  NewItemsRect.Right = Right;
}

void TbsSkinMainMenuBar::MDIChildMaximize() {
  if (FMDIChildMax) return;
  FMDIChildMax = true;
  CreateMDIButtons();
  Invalidate();
}

void TbsSkinMainMenuBar::MDIChildRestore() {
  if (MaxChildSkinForm()) {
    SetMDIButtonsVisibility();
    Invalidate();
    return;
  }
  if (!FMDIChildMax) return;
  FMDIChildMax = false;
  DeleteMDIButtons();
  Invalidate();
}

void TbsSkinMainMenuBar::SkinMenuClosed() {
  for (int i = 0; i < ButtonsCount; ++i) {
    TbsSkinMainMenuBarButton* B = MDIButton(i);
    if (B->Command != cmSysMenu || !B->FDown) continue;
    B->FDown = false;
    if (ActiveObject != i) B->Active = B->FMouseIn = false;
    B->ReDraw();
  }
}

void TbsSkinMainMenuBar::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == WM_SKIN_MENU_CLOSED) SkinMenuClosed();
  TbsSkinControl::Dispatch(Msg);
}

TRect TbsSkinMainMenuBar::MarkerRect() const {
  return {NewItemsRect.Right - 5, NewItemsRect.Top, NewItemsRect.Right, NewItemsRect.Bottom};
}

void TbsSkinMainMenuBar::DrawItems(TBitmap* B) {
  CalcObjectRects();
  Scroll = false;
  // An item places itself and decides whether it fits while it draws.
  for (auto& O : ObjectList) O->Draw(B->Canvas());
  if (Scroll && ScrollMenu) {
    TRect M = MarkerRect();
    TColor C = MarkerActive ? gfx::clBtnText : gfx::clBtnShadow;
    if (TbsDataSkinMainMenuBar* D = BarData()) C = TColor(MarkerActive ? D->TrackMarkActiveColor : D->TrackMarkColor);
    DrawArrowGlyph(B->Canvas(), M, C, 2);
  }
}

void TbsSkinMainMenuBar::CreateControlDefaultImage(TBitmap* B) {
  B->Canvas()->Brush()->SetColor(gfx::clBtnFace);
  B->Canvas()->FillRect(TRect{0, 0, B->Width(), B->Height()});
  DrawItems(B);
}

void TbsSkinMainMenuBar::CreateControlSkinImage(TBitmap* B) {
  TbsDataSkinMainMenuBar* D = BarData();
  if (!D || !FPicture) {
    CreateControlDefaultImage(B);
    return;
  }
  if (FSD->MainMenuBarTransparent)
    DrawParentImage(this, B->Canvas());
  else
    CreateHSkinImage(D->ItemsRect.Left, RectWidth(D->SkinRect) - D->ItemsRect.Right, B,
                     TbsPictureRect{FPicture, D->SkinRect}, Width(), Height(), D->StretchEffect);
  DrawItems(B);
}

void TbsSkinMainMenuBar::DrawObject(TbsMenuBarObject*) {
  // Items are narrow and the bar is one bitmap: repaint it whole.
  if (HandleAllocated()) Repaint();
}

void TbsSkinMainMenuBar::TestActive(int X, int Y) {
  if (ObjectList.empty()) return;
  OldActiveObject = ActiveObject;
  int Hit = -1;
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->Enabled && ObjectList[i]->Visible && gfx::PtInRect(ObjectList[i]->ObjectRect, TPoint{X, Y})) {
      Hit = int(i);
      break;
    }
  const bool KeepItem = Hit == -1 && MenuActive && OldActiveObject >= ButtonsCount;
  if (!KeepItem) ActiveObject = Hit;
  // While one object holds the mouse, no other lights up.
  if (MouseCaptureObject != -1 && ActiveObject != MouseCaptureObject) ActiveObject = -1;
  if (ActiveObject >= int(ObjectList.size())) ActiveObject = -1;
  cl::Keep<TbsSkinMainMenuBar> K(this);
  if (ActiveObject != OldActiveObject) {
    if (OldActiveObject >= 0 && OldActiveObject < int(ObjectList.size()) &&
        ObjectList[size_t(OldActiveObject)]->Enabled)
      ObjectList[size_t(OldActiveObject)]->MouseLeave();
    if (ActiveObject >= 0 && ActiveObject < int(ObjectList.size()) && ObjectList[size_t(ActiveObject)]->Enabled)
      ObjectList[size_t(ActiveObject)]->MouseEnter();
  }
  if (Destroyed() || !Scroll || !ScrollMenu) return;
  const bool In = gfx::PtInRect(MarkerRect(), TPoint{X, Y});
  if (In != MarkerActive) {
    MarkerActive = In;
    if (HandleAllocated()) Repaint();
  }
}

void TbsSkinMainMenuBar::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseMove(Shift, X, Y);
  // A capture whose release went elsewhere (a menu took the mouse) ends here.
  if (!(Shift & cl::ssLeft)) MouseCaptureObject = -1;
  TestActive(X, Y);
}

void TbsSkinMainMenuBar::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinMainMenuBar> K(this);
  const int C = MouseCaptureObject;
  MouseCaptureObject = -1;
  if (C >= 0 && C < int(ObjectList.size())) ObjectList[size_t(C)]->MouseUp(X, Y, Button);
  TbsSkinControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinMainMenuBar::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinControl::CMMouseLeave(Msg);
  TestActive(-1, -1);
}

void TbsSkinMainMenuBar::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseDown(Button, Shift, X, Y);
  cl::Keep<TbsSkinMainMenuBar> K(this);
  TestActive(X, Y);
  if (ActiveObject >= 0 && ActiveObject < int(ObjectList.size())) {
    MouseCaptureObject = ActiveObject;
    TbsMenuBarObject* O = ObjectList[size_t(ActiveObject)].get();
    O->MouseDown(X, Y, Button);
    // The press may have rebuilt the list (a command, a skin change).
    if (Shift & cl::ssDouble)
      for (auto& P : ObjectList)
        if (P.get() == O) {
          O->DblClick();
          break;
        }
    return;
  }
  if (Button == cl::mbLeft && Scroll && ScrollMenu && gfx::PtInRect(MarkerRect(), TPoint{X, Y})) PopupRemainingItems();
}

void TbsSkinMainMenuBar::PopupRemainingItems() {
  if (!FSkinForm || !FMainMenu) return;
  // The popup starts at the menu index of the first bar item that did not
  // fit (bar items exist only for visible menu items, so their count alone
  // would point at the wrong item when an invisible one comes before).
  int Start = -1;
  for (TbsSkinMainMenuBarItem* O : Items())
    if (!O->Visible) {
      cl::TMenuItem* Items = FMainMenu->Items();
      for (int i = 0; i < Items->Count(); ++i)
        if (Items->Items(i) == O->MenuItem) Start = i;
      break;
    }
  if (Start < 0) return;
  TRect R = MarkerRect();
  TPoint O = ClientToScreen({0, 0});
  gfx::OffsetRect(R, O.X, O.Y);
  FSkinForm->SkinMenuOpen();
  FSkinForm->SkinMenu()->Popup(nullptr, FSD, Start, R, FMainMenu->Items(), false);
}

void TbsSkinMainMenuBar::MenuEnter() {
  MenuActive = true;
  TbsSkinMainMenuBarItem* First = nullptr;
  for (TbsSkinMainMenuBarItem* O : Items())
    if (O->Active) {
      First = O;
      break;
    }
  if (!First)
    for (TbsSkinMainMenuBarItem* O : Items())
      if (O->Enabled && O->Visible) {
        First = O;
        break;
      }
  if (First) First->MouseEnter();
}

void TbsSkinMainMenuBar::MenuExit() {
  MenuActive = false;
  for (TbsSkinMainMenuBarItem* O : Items())
    if (O->FDown || O->Active) {
      O->Active = O->FMouseIn = O->FDown = false;
      if (O->EnableAnimation() && !O->InActiveAnimation) {
        O->CurrentFrame = 0;
        DrawObject(O);
      } else {
        O->ReDraw();
      }
      break;
    }
  ActiveObject = OldActiveObject = -1;
}

void TbsSkinMainMenuBar::RestoreActiveItem() {
  for (TbsSkinMainMenuBarItem* O : Items())
    if (O->FDown) {
      O->FDown = false;
      O->Active = true;
      DrawObject(O);
      break;
    }
}

void TbsSkinMainMenuBar::NextItem() {
  std::vector<TbsSkinMainMenuBarItem*> L;
  for (TbsSkinMainMenuBarItem* O : Items())
    if (O->Enabled && O->Visible) L.push_back(O);
  if (L.empty()) return;
  for (size_t i = 0; i < L.size(); ++i)
    if (L[i]->Active || L[i]->FDown) {
      TbsSkinMainMenuBarItem* N = L[(i + 1) % L.size()];
      L[i]->MouseLeave();
      N->MouseEnter();
      return;
    }
  L.front()->MouseEnter();
}

void TbsSkinMainMenuBar::PriorItem() {
  std::vector<TbsSkinMainMenuBarItem*> L;
  for (TbsSkinMainMenuBarItem* O : Items())
    if (O->Enabled && O->Visible) L.push_back(O);
  if (L.empty()) return;
  for (size_t i = 0; i < L.size(); ++i)
    if (L[i]->Active || L[i]->FDown) {
      TbsSkinMainMenuBarItem* N = L[(i + L.size() - 1) % L.size()];
      L[i]->MouseLeave();
      N->MouseEnter();
      return;
    }
  L.back()->MouseEnter();
}

bool TbsSkinMainMenuBar::FindHotKeyItem(int VK) {
  if (!FSkinForm || !FSkinForm->Form()->Visible()) return false;
  for (TbsSkinMainMenuBarItem* O : Items()) {
    if (!O->Enabled || !O->Visible || !cl::IsAccel(char32_t(VK), O->MenuItem->Caption)) continue;
    O->MouseEnter();
    if (!(FSkinForm->InMenu() && O->MenuItem->Count() > 0)) O->MouseDown(0, 0, cl::mbLeft);
    return true;
  }
  return false;
}

bool TbsSkinMainMenuBar::PressActiveItem() {
  for (TbsSkinMainMenuBarItem* O : Items())
    if ((O->FDown && O->MenuItem->Count() == 0) || (O->Active && !O->FDown && !FSkinForm->InMenu())) {
      O->Active = false;
      O->MouseDown(0, 0, cl::mbLeft);
      return true;
    }
  return false;
}

bool TbsSkinMainMenuBar::MenuKeyDown(int VK) {
  if (!FSkinForm) return false;
  TbsSkinMenu* M = FSkinForm->SkinMenu();
  bool Open = M->Visible();
  if (FindHotKeyItem(VK)) return true;
  switch (VK) {
    case 27:
      if (!Open) {
        FSkinForm->EndMainMenuMode();
        return true;
      }
      return false;
    case 37:
      if (M->PopupList().size() <= 1) {
        PriorItem();
        return true;
      }
      return false;
    case 39: {
      bool Sub = false;
      if (Open)
        if (TbsSkinPopupWindow* W = M->LastWindow())
          if (W->ActiveItem >= 0 && W->ActiveItem < int(W->ItemList.size()))
            Sub = W->ItemList[size_t(W->ActiveItem)]->MenuItem->Count() > 0;
      if (!Open || !Sub) {
        NextItem();
        return true;
      }
      return false;
    }
    case 13:
    case 40:
      return PressActiveItem();
  }
  return false;
}

}  // namespace skin
