#include "skin/form/bsSkinMainMenuBar.h"

#include <algorithm>

#include "platform/gfx/rect.h"
#include "skin/draw/bsCaptionGlyphs.h"
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
// Items.

TbsSkinMainMenuBarItem::TbsSkinMainMenuBarItem(TbsSkinMainMenuBar* AParent, TbsDataSkinMainMenuBarItem* AData,
                                               cl::TMenuItem* AItem)
    : Parent(AParent), MenuItem(AItem), Data(AData) {
  if (Data) {
    Picture = PictureOf(Parent->SkinData(), Data->ActivePictureIndex);
    ObjectRect = Data->SkinRect;
  }
  Enabled = OldEnabled = AItem->Enabled;
}

void TbsSkinMainMenuBarItem::Draw(gfx::TCanvas* Cnvs) {
  // The place: right after the previous item.
  int Left = Parent->NewItemsRect.Left;
  for (auto& O : Parent->ObjectList) {
    if (O.get() == this) break;
    if (O->ObjectRect.Right != 0) Left = O->ObjectRect.Right;
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
  int IW = RectWidth(ObjectRect), IH = RectHeight(ObjectRect);
  TBitmap B;
  B.SetSize(IW, IH);
  gfx::TCanvas* C = B.Canvas();
  TColor TextColor;
  if (Skinned) {
    TRect Src = Data->SkinRect;
    bool Act = false;
    if (FDown) {
      Src = !IsNullRect(Data->DownRect)         ? Data->DownRect
            : !IsNullRect(Data->ActiveSkinRect) ? Data->ActiveSkinRect
                                                : Data->SkinRect;
      Act = true;
    } else if (Active) {
      Src = !IsNullRect(Data->ActiveSkinRect) ? Data->ActiveSkinRect : Data->SkinRect;
      Act = true;
    }
    CreateHSkinImage(Data->ItemLO, Data->ItemRO, &B, TbsPictureRect{Picture, Src}, IW, IH, Act && Data->StretchEffect);
    TextColor = FDown               ? Data->DownFontColor
                : Act               ? Data->ActiveFontColor
                : MenuItem->Enabled ? Data->FontColor
                                    : Data->UnEnabledFontColor;
  } else {
    TRect R{0, 0, IW, IH};
    if (FDown || FMouseIn || Active) {
      gfx::Frame3D(C, R, gfx::clNavy, gfx::clNavy, 1);
      C->Brush()->SetColor(FDown ? gfx::RGB(133, 147, 181) : gfx::RGB(182, 189, 210));
    } else {
      C->Brush()->SetColor(gfx::clBtnFace);
    }
    C->FillRect(R);
    TextColor = MenuItem->Enabled ? gfx::clBtnText : gfx::clBtnShadow;
  }
  C->Font()->Assign(*F);
  C->Font()->SetColor(TextColor);
  C->Brush()->SetStyle(gfx::bsClear);
  int TH = C->TextHeight(Text);
  int X = (IW - W) / 2 + (FDown && !Skinned ? 1 : 0), Y = (IH - TH) / 2 + (FDown && !Skinned ? 1 : 0);
  C->TextOut(X, Y, Text);
  Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinMainMenuBarItem::MouseEnter() {
  for (auto& O : Parent->ObjectList) {
    if (O.get() != this && O->FDown) {
      // Moving along the bar while a submenu is open switches submenus.
      O->SetPressed(false);
      Active = FMouseIn = true;
      SetPressed(true);
      return;
    }
  }
  for (auto& O : Parent->ObjectList)
    if (O.get() != this && O->Active) O->MouseLeave();
  FMouseIn = Active = true;
  Parent->DrawObject(this);
  Parent->OnItemMouseEnter(MenuItem);
  if (Parent->Hint != MenuItem->Hint) Parent->Hint = MenuItem->Hint;
}

void TbsSkinMainMenuBarItem::MouseLeave() {
  Active = FMouseIn = false;
  Parent->DrawObject(this);
  Parent->OnItemMouseLeave(MenuItem);
}

void TbsSkinMainMenuBarItem::MouseDown() {
  TbsSkinForm* SF = Parent->SkinForm();
  if (!Enabled || !SF) return;
  if (MenuItem->Count() > 0) {
    Parent->MenuActive = true;
    SetPressed(true);
    return;
  }
  if (SF->InMainMenu()) SF->EndMainMenuMode();
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
    Parent->DrawObject(this);
    return;
  }
  FDown = true;
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
  MDIButtons.clear();
  MDIButtonDown = -1;
  ActiveObject = OldActiveObject = -1;
}

void TbsSkinMainMenuBar::ChangeSkinData() {
  GetSkinData();
  CreateMenu();
  if (FMDIChildMax) CreateMDIButtons();
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
  ActiveObject = OldActiveObject = -1;
  if (!FMainMenu) return;
  cl::TMenuItem* Items = FMainMenu->Items();
  for (int i = 0; i < Items->Count(); ++i) {
    cl::TMenuItem* I = Items->Items(i);
    if (I->Visible) ObjectList.push_back(std::make_unique<TbsSkinMainMenuBarItem>(this, FItemData, I));
  }
}

void TbsSkinMainMenuBar::UpDateEnabledItems() {
  for (auto& O : ObjectList) {
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
  if (FMDIChildMax && MDIButtons.size() == 4) PlaceMDIButtons();
}

// ---------------------------------------------------------------------------
// The maximized child's buttons.

TbsSkinMainMenuBarButton::TbsSkinMainMenuBarButton(TbsSkinMainMenuBar* AParent, TbsDataSkinStdButton* AData,
                                                   TbsStdCommand ACommand)
    : Parent(AParent), Command(ACommand) {
  if (!AData) return;
  FSkinSupport = true;
  IDName = AData->IDName;
  Command = AData->Command;
  TbsSkinData* SD = AParent->SkinData();
  Picture = AData->SkinRectInAPicture                      ? PictureOf(SD, AData->ActivePictureIndex)
            : SD && SD->FPicture && !SD->FPicture->Empty() ? SD->FPicture.get()
                                                           : nullptr;
  SkinRect = AData->SkinRect;
  ActiveSkinRect = AData->ActiveSkinRect;
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
  TRect Src = R ? RestoreRect : SkinRect;
  if (Active && FDown)
    Src = R && !IsNullRect(RestoreDownRect) ? RestoreDownRect : !IsNullRect(DownRect) ? DownRect : Src;
  else if (Active || FDown)
    Src = R && !IsNullRect(RestoreActiveRect) ? RestoreActiveRect : !IsNullRect(ActiveSkinRect) ? ActiveSkinRect : Src;
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

TbsSkinForm* TbsSkinMainMenuBar::MaxChildSkinForm() const {
  if (!FSkinForm || !FSkinForm->MDI) return nullptr;
  cl::TCustomForm* C = FSkinForm->MDI->FindMaximizedMDIChild();
  return C ? GetSkinFormComponent(C) : nullptr;
}

void TbsSkinMainMenuBar::CreateMDIButtons() {
  MDIButtons.clear();
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
    MDIButtons.push_back(std::move(B));
  }
  MDIButtonDown = -1;
  SetMDIButtonsVisibility();
}

void TbsSkinMainMenuBar::SetMDIButtonsVisibility() {
  TbsSkinForm* C = MaxChildSkinForm();
  TbsBorderIcons Icons = C ? C->BorderIcons() : TbsBorderIcons{};
  for (auto& B : MDIButtons) {
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
  TbsSkinMainMenuBarButton& Sys = *MDIButtons[0];
  if (Sys.Visible) {
    Place(Sys, NewItemsRect.Left);
    NewItemsRect.Left = Sys.ObjectRect.Right + 2;
  } else {
    Sys.ObjectRect = TRect{};
  }
  int Right = NewItemsRect.Right;
  for (size_t i = 1; i < 4; ++i) {
    TbsSkinMainMenuBarButton& B = *MDIButtons[i];
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
  ActiveObject = OldActiveObject = -1;
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
  ActiveObject = OldActiveObject = -1;
  MDIButtons.clear();
  MDIButtonDown = -1;
  Invalidate();
}

void TbsSkinMainMenuBar::RunMDIButton(TbsSkinMainMenuBarButton* B) {
  TbsSkinForm* C = MaxChildSkinForm();
  if (!C) return;
  switch (B->Command) {
    case cmSysMenu: {
      win::POINT P{B->ObjectRect.Left, B->ObjectRect.Bottom};
      win::ClientToScreen(Handle(), &P);
      C->PopupSysMenuAt(P.X, P.Y);
      break;
    }
    case cmMaximize:
      C->SetWindowState(cl::wsNormal);
      break;
    default:
      RunStdCommand(C, B->Command);
      break;
  }
}

TRect TbsSkinMainMenuBar::MarkerRect() const {
  return {NewItemsRect.Right - 5, NewItemsRect.Top, NewItemsRect.Right, NewItemsRect.Bottom};
}

void TbsSkinMainMenuBar::DrawItems(TBitmap* B) {
  CalcObjectRects();
  Scroll = false;
  for (auto& O : ObjectList) O->Draw(B->Canvas());
  for (auto& M : MDIButtons) M->Draw(B->Canvas());
  if (Scroll && ScrollMenu) {
    TRect M = MarkerRect();
    TColor C = gfx::clBtnText;
    if (TbsDataSkinMainMenuBar* D = BarData()) C = TColor(D->TrackMarkColor);
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
  CreateHSkinImage(D->ItemsRect.Left, RectWidth(D->SkinRect) - D->ItemsRect.Right, B,
                   TbsPictureRect{FPicture, D->SkinRect}, Width(), Height(), D->StretchEffect);
  DrawItems(B);
}

void TbsSkinMainMenuBar::DrawObject(TbsSkinMainMenuBarItem*) {
  // Items are narrow and the bar is one bitmap: repaint it whole.
  if (HandleAllocated()) Repaint();
}

void TbsSkinMainMenuBar::TestActive(int X, int Y) {
  if (ObjectList.empty()) return;
  OldActiveObject = ActiveObject;
  int Hit = -1;
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->Enabled && gfx::PtInRect(ObjectList[i]->ObjectRect, TPoint{X, Y})) {
      Hit = int(i);
      break;
    }
  if (Hit == -1 && MenuActive && OldActiveObject != -1) return;
  ActiveObject = Hit;
  if (ActiveObject == OldActiveObject) return;
  if (OldActiveObject >= 0 && OldActiveObject < int(ObjectList.size()) && ObjectList[size_t(OldActiveObject)]->Enabled)
    ObjectList[size_t(OldActiveObject)]->MouseLeave();
  if (ActiveObject >= 0) ObjectList[size_t(ActiveObject)]->MouseEnter();
}

void TbsSkinMainMenuBar::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseMove(Shift, X, Y);
  bool Changed = false;
  for (size_t i = 0; i < MDIButtons.size(); ++i) {
    auto& M = MDIButtons[i];
    // While one is held, only that one lights up.
    bool A =
        M->Visible && gfx::PtInRect(M->ObjectRect, TPoint{X, Y}) && (MDIButtonDown == -1 || MDIButtonDown == int(i));
    if (A != M->Active) Changed = true;
    M->Active = A;
  }
  if (Changed) Invalidate();
  TestActive(X, Y);
}

void TbsSkinMainMenuBar::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseUp(Button, Shift, X, Y);
  if (MDIButtonDown < 0 || MDIButtonDown >= int(MDIButtons.size())) return;
  TbsSkinMainMenuBarButton* B = MDIButtons[size_t(MDIButtonDown)].get();
  MDIButtonDown = -1;
  B->FDown = false;
  Invalidate();
  // A release outside the pressed button runs nothing.
  if (Button == cl::mbLeft && gfx::PtInRect(B->ObjectRect, TPoint{X, Y})) {
    cl::Keep<TbsSkinMainMenuBar> K(this);
    RunMDIButton(B);
  }
}

void TbsSkinMainMenuBar::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinControl::CMMouseLeave(Msg);
  for (auto& M : MDIButtons) M->Active = false;
  TestActive(-1, -1);
}

void TbsSkinMainMenuBar::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseDown(Button, Shift, X, Y);
  if (Button != cl::mbLeft) return;
  for (size_t i = 0; i < MDIButtons.size(); ++i) {
    auto& M = MDIButtons[i];
    if (M->Visible && gfx::PtInRect(M->ObjectRect, TPoint{X, Y})) {
      M->FDown = M->Active = true;
      MDIButtonDown = int(i);
      Invalidate();
      return;
    }
  }
  TestActive(X, Y);
  if (ActiveObject >= 0) {
    cl::Keep<TbsSkinMainMenuBar> K(this);
    ObjectList[size_t(ActiveObject)]->MouseDown();
    return;
  }
  if (Scroll && ScrollMenu && gfx::PtInRect(MarkerRect(), TPoint{X, Y})) PopupRemainingItems();
}

void TbsSkinMainMenuBar::PopupRemainingItems() {
  if (!FSkinForm || !FMainMenu) return;
  // The popup starts at the menu index of the first bar item that did not
  // fit (bar items exist only for visible menu items, so their count alone
  // would point at the wrong item when an invisible one comes before).
  int Start = -1;
  for (auto& O : ObjectList)
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
  for (auto& O : ObjectList)
    if (O->Active) {
      First = O.get();
      break;
    }
  if (!First)
    for (auto& O : ObjectList)
      if (O->Enabled && O->Visible) {
        First = O.get();
        break;
      }
  if (First) First->MouseEnter();
}

void TbsSkinMainMenuBar::MenuExit() {
  MenuActive = false;
  for (auto& O : ObjectList)
    if (O->FDown || O->Active) {
      O->Active = O->FMouseIn = O->FDown = false;
      DrawObject(O.get());
      break;
    }
  ActiveObject = OldActiveObject = -1;
}

void TbsSkinMainMenuBar::RestoreActiveItem() {
  for (auto& O : ObjectList)
    if (O->FDown) {
      O->FDown = false;
      O->Active = true;
      DrawObject(O.get());
      break;
    }
}

void TbsSkinMainMenuBar::NextItem() {
  std::vector<TbsSkinMainMenuBarItem*> L;
  for (auto& O : ObjectList)
    if (O->Enabled && O->Visible) L.push_back(O.get());
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
  for (auto& O : ObjectList)
    if (O->Enabled && O->Visible) L.push_back(O.get());
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
  for (auto& O : ObjectList) {
    if (!O->Enabled || !O->Visible || !cl::IsAccel(char32_t(VK), O->MenuItem->Caption)) continue;
    O->MouseEnter();
    if (!(FSkinForm->InMenu() && O->MenuItem->Count() > 0)) O->MouseDown();
    return true;
  }
  return false;
}

bool TbsSkinMainMenuBar::PressActiveItem() {
  for (auto& O : ObjectList)
    if ((O->FDown && O->MenuItem->Count() == 0) || (O->Active && !O->FDown && !FSkinForm->InMenu())) {
      O->Active = false;
      O->MouseDown();
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
