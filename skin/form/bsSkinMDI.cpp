#include "skin/form/bsSkinMDI.h"
#include "skin/form/bsSkinMainMenuBar.h"

#include <algorithm>
#include <cmath>

#include "platform/cl/application.h"
#include "platform/gfx/rect.h"
#include "skin/draw/bsCaptionGlyphs.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/controls/bsSkinMenuSpeedButton.h"
#include "skin/menus/bsSkinMenus.h"
#include "skin/draw/bsTextHelpers.h"

namespace skin {

namespace {

constexpr const char* kItemSuffix = "_BSFCHILDITEM";

}  // namespace

TbsSkinMDI::TbsSkinMDI(TbsSkinForm* AMain, cl::TWinControl* AClient)
    : cl::TComponent(AMain), FMain(AMain), FClient(AClient) {
  AMain->MDI = this;
  FreeNotification(AMain);
  if (FClient) {
    FClient->FreeNotification(this);
    FPrevClientProc = FClient->WindowProc;
    FClient->WindowProc = [this](cl::TMessage& m) { ClientWindowProc(m); };
  }
}

TbsSkinMDI::~TbsSkinMDI() {
  if (FClient && !FClient->Destroyed() && FPrevClientProc) FClient->WindowProc = FPrevClientProc;
}

void TbsSkinMDI::ClientWindowProc(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case win::WM_SIZE: {
      if (FPrevClientProc) FPrevClientProc(Msg);
      FitMDIChildren();
      TbsSkinData* SD = FMain ? FMain->SkinData() : nullptr;
      const bool Skin = SD && !SD->Empty;
      const bool Logo = FMain && !FMain->LogoBitMap()->Empty();
      // Stretched and centred backgrounds depend on the size: all of it again.
      if (Logo || (Skin && SD->StretchEffect && SD->MDIBGPictureIndex == -1) ||
          (Skin && SD->MDIBGPictureIndex != -1 && SD->MDIBGStretchEffect))
        FClient->Invalidate();
      return;
    }
    case win::WM_NCCALCSIZE:
    case win::WM_NCPAINT:
      return;
    case win::WM_ERASEBKGND: {
      gfx::HDC D(uint32_t(Msg.WParam));
      TbsSkinData* SD = FMain ? FMain->SkinData() : nullptr;
      if (!FMain) break;
      if (!SD || SD->Empty)
        FMain->PaintMDIBGDefault(D);
      else if (SD->MDIBGPictureIndex != -1)
        FMain->PaintBG3(D);
      else if (SD->BGPictureIndex == -1)
        FMain->PaintBG(D);
      else
        FMain->PaintBG2(D);
      Msg.Result = 1;
      return;
    }
    case win::WM_NCACTIVATE:
      Msg.Result = 1;
      return;
  }
  if (FPrevClientProc) FPrevClientProc(Msg);
}

void TbsSkinMDI::FitMDIChildren() {
  if (!FClient) return;
  const TRect C = FClient->ClientRect();
  for (cl::TCustomForm* Child : FChildren)
    if (TbsSkinForm* S = GetSkinFormComponent(Child))
      if (S->WindowState() == cl::wsMaximized) Child->SetBounds(0, 0, C.Width(), C.Height());
  ArrangeMinimizedChildren();
}

void TbsSkinMDI::ArrangeMinimizedChildren() {
  for (cl::TCustomForm* Child : FChildren)
    if (TbsSkinForm* S = GetSkinFormComponent(Child))
      if (S->WindowState() == cl::wsMinimized) {
        const TPoint P = S->GetMinimizedPosition();
        Child->SetBounds(P.X, P.Y, Child->Width(), Child->Height());
      }
}

void TbsSkinMDI::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  auto it = std::find(FChildren.begin(), FChildren.end(), AComponent);
  const bool Gone = it != FChildren.end();
  if (Gone) {
    DeleteChildFromMenu(*it);
    if (TabsBar) TabsBar->DeleteTab(*it);
    FChildren.erase(it);
  }
  if (AComponent == FActive) FActive = FChildren.empty() ? nullptr : FChildren.back();
  if (AComponent == WindowMenu) WindowMenu = nullptr;
  if (AComponent == TabsBar) TabsBar = nullptr;
  if (AComponent == FClient) {
    FClient = nullptr;
    FPrevClientProc = nullptr;
  }
  // A maximized child that goes takes its buttons off the menu bar.
  if (Gone && !Destroyed()) ChildStateChanged();
}

void TbsSkinMDI::AddChild(cl::TCustomForm* AChild) {
  if (!AChild) return;
  AChild->SetParent(FClient);
  AChild->FreeNotification(this);
  if (TbsSkinForm* S = GetSkinFormComponent(AChild)) {
    S->MDIMain = this;
    FreeNotification(S);
  }
  FChildren.push_back(AChild);
  FActive = AChild;
  AddChildToMenu(AChild);
  if (TabsBar) TabsBar->AddTab(AChild);
  UpDateChildActiveInMenu();
}

cl::TCustomForm* TbsSkinMDI::ActiveChild() const { return FActive; }

void TbsSkinMDI::SetActiveChild(cl::TCustomForm* AChild) {
  FActive = AChild;
  UpDateChildActiveInMenu();
  if (TabsBar) TabsBar->UpdateActiveTab();
}

TRect TbsSkinMDI::GetMDIClientArea() const {
  cl::TCustomForm* F = FMain->Form();
  TRect C = F->ClientRect();
  TRect R{0, 0, C.Width(), C.Height()};
  for (int i = 0; i < F->ControlCount(); ++i) {
    cl::TControl* Ctl = F->Controls(i);
    if (!Ctl->Visible() || Ctl == FClient) continue;
    switch (Ctl->Align()) {
      case cl::alLeft:
        R.Left = std::max(R.Left, Ctl->Left() + Ctl->Width());
        break;
      case cl::alTop:
        R.Top = std::max(R.Top, Ctl->Top() + Ctl->Height());
        break;
      case cl::alRight:
        R.Right = std::min(R.Right, Ctl->Left());
        break;
      case cl::alBottom:
        R.Bottom = std::min(R.Bottom, Ctl->Top());
        break;
      default:
        break;
    }
  }
  return R;
}

void TbsSkinMDI::RestoreAll() {
  for (cl::TCustomForm* C : FChildren)
    if (TbsSkinForm* S = GetSkinFormComponent(C)) {
      S->SetWindowState(cl::wsNormal);
      if (S->RollUpState()) S->SetRollUpState(false);
    }
}

void TbsSkinMDI::MinimizeAll() {
  for (cl::TCustomForm* C : FChildren)
    if (TbsSkinForm* S = GetSkinFormComponent(C)) S->SetWindowState(cl::wsMinimized);
}

void TbsSkinMDI::MaximizeAll() {
  for (cl::TCustomForm* C : FChildren)
    if (TbsSkinForm* S = GetSkinFormComponent(C)) S->SetWindowState(cl::wsMaximized);
}

void TbsSkinMDI::CloseAll() {
  std::vector<cl::TCustomForm*> L = FChildren;
  for (auto it = L.rbegin(); it != L.rend(); ++it) (*it)->Close();
}

void TbsSkinMDI::ChildStateChanged() {
  if (!FMain || FMain->Destroyed()) return;
  if (TbsSkinMainMenuBar* Bar = FMain->MainMenuBar) {
    if (FindMaximizedMDIChild())
      Bar->MDIChildMaximize();
    else
      Bar->MDIChildRestore();
  }
  FMain->SendNCPaint();
}

cl::TCustomForm* TbsSkinMDI::FindMaximizedMDIChild() const {
  auto Max = [](cl::TCustomForm* C) {
    TbsSkinForm* S = GetSkinFormComponent(C);
    return S && S->WindowState() == cl::wsMaximized;
  };
  if (FActive && Max(FActive)) return FActive;
  for (cl::TCustomForm* C : FChildren)
    if (Max(C)) return C;
  return nullptr;
}

void TbsSkinMDI::Tile() {
  RestoreAll();
  int Count = int(FChildren.size());
  int Cols = int(std::sqrt(double(Count)));
  if (Cols < 1) return;
  int Rows = Count / Cols + (Cols * (Count / Cols) < Count ? 1 : 0);
  TRect A = GetMDIClientArea();
  int CW = A.Width() / Cols, CH = A.Height() / Rows;
  // From the last child to the first, column by column from the right,
  // each column bottom-up. The children live in the client window, whose
  // origin is the area's top-left: placing them by the area's own edges
  // would push them down by the bars above and cut off the bottom row.
  int X = A.Width() - CW, Y = A.Height() - CH, InCol = 0, ColsLeft = Cols, Left = Count;
  for (int i = Count - 1; i >= 0; --i) {
    FChildren[size_t(i)]->SetBounds(std::max(X, 0), std::max(Y, 0), CW, CH);
    --Left;
    ++InCol;
    Y -= CH;
    if (InCol == Rows && Left > 0) {
      ColsLeft = std::max(ColsLeft - 1, 1);
      Rows = std::max((Left + ColsLeft - 1) / ColsLeft, 1);
      CH = A.Height() / Rows;
      X -= CW;
      Y = A.Height() - CH;
      InCol = 0;
    }
  }
}

void TbsSkinMDI::Cascade() {
  RestoreAll();
  int Count = int(FChildren.size());
  if (Count == 0) return;
  TbsSkinData* SD = FMain->SkinData();
  int Step = SD && !SD->Empty ? FMain->NewClRect.Top : FMain->GetDefCaptionHeight() + 3;
  // A skin whose client starts at the very top gives no step: one pixel,
  // so the count of places below is never a division by zero.
  Step = std::max(Step, 1);
  TRect A = GetMDIClientArea();
  int N = (A.Width() - int(std::lround(A.Width() * 0.8))) / Step;
  int Shrink = Step * (Count < N ? Count - 1 : N);
  int W = std::max(A.Width() - Shrink, FMain->GetMinWidth());
  int H = std::max(A.Height() - Shrink, FMain->GetMinHeight());
  int P = 0;
  for (int i = Count - 1; i >= 0; --i) {
    cl::TCustomForm* C = FChildren[size_t(i)];
    int CW = C->BorderStyle() == cl::bsSingle ? C->Width() : W;
    int CH = C->BorderStyle() == cl::bsSingle ? C->Height() : H;
    // The children live in the client window, whose origin is the area's
    // top-left: the wrap is measured by the area's size, not by its edges
    // in the form, or bars above and at the left let children run past it.
    if (P + CW > A.Width() || P + CH > A.Height()) P = 0;
    C->SetBounds(P, P, CW, CH);
    P += Step;
  }
}

void TbsSkinMDI::AddChildToMenu(cl::TCustomForm* AChild) {
  if (!WindowMenu) return;
  auto* I = new cl::TMenuItem(this);
  I->SetName(AChild->Name() + kItemSuffix);
  I->Caption = AChild->Caption();
  I->OnClick = [this](rtl::TObject* S) { MDIItemClick(S); };
  WindowMenu->Add(I);
}

void TbsSkinMDI::DeleteChildFromMenu(cl::TCustomForm* AChild) {
  if (!WindowMenu) return;
  std::string N = AChild->Name() + kItemSuffix;
  for (int i = 0; i < WindowMenu->Count(); ++i)
    if (WindowMenu->Items(i)->Name() == N) {
      WindowMenu->Items(i)->Free();
      return;
    }
}

void TbsSkinMDI::UpDateChildActiveInMenu() {
  if (!WindowMenu) return;
  for (int i = 0; i < WindowMenu->Count(); ++i) {
    cl::TMenuItem* I = WindowMenu->Items(i);
    const std::string& N = I->Name();
    if (N.size() < std::string(kItemSuffix).size() || N.find(kItemSuffix) == std::string::npos) continue;
    I->SetChecked(FActive && N == FActive->Name() + kItemSuffix);
  }
}

void TbsSkinMDI::MDIItemClick(rtl::TObject* Sender) {
  auto* I = dynamic_cast<cl::TMenuItem*>(static_cast<cl::TObject*>(Sender));
  if (!I) return;
  std::string N = I->Name();
  std::string Suffix = kItemSuffix;
  if (N.size() < Suffix.size() || N.compare(N.size() - Suffix.size(), Suffix.size(), Suffix) != 0) return;
  N.resize(N.size() - Suffix.size());
  // The exact name: a child whose name is a prefix of another's is still
  // the one meant.
  for (cl::TCustomForm* C : FChildren)
    if (C->Name() == N) {
      if (TbsSkinForm* S = GetSkinFormComponent(C))
        if (S->WindowState() == cl::wsMinimized) S->SetWindowState(cl::wsNormal);
      C->Show();
      SetActiveChild(C);
      return;
    }
}

// ---------------------------------------------------------------------------
// Tabs bar.

TbsSkinMDITabsBar::TbsSkinMDITabsBar(cl::TComponent* AOwner) : TbsSkinControl(AOwner) {
  SetWidth(150);
  SetHeight(21);
  FSkinDataName = "tab";
  DefaultFont.SetName("Arial");
  DefaultFont.SetHeight(14);
  FListMenu = new TbsSkinPopupMenu(this);
  FHideListMenu = new TbsSkinPopupMenu(this);
}

void TbsSkinMDITabsBar::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinControl::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FListButton) FListButton = nullptr;
  if (AComponent == FHideListButton) FHideListButton = nullptr;
  if (AComponent == FListMenu) FListMenu = nullptr;
  if (AComponent == FHideListMenu) FHideListMenu = nullptr;
}

TbsDataSkinTabControl* TbsSkinMDITabsBar::TabData() const {
  if (FIndex < 0 || !FSD || FSD->Empty || FIndex >= int(FSD->CtrlList.size())) return nullptr;
  return dynamic_cast<TbsDataSkinTabControl*>(FSD->CtrlList[size_t(FIndex)].get());
}

void TbsSkinMDITabsBar::GetSkinData() {
  TbsSkinControl::GetSkinData();
  FPicture = nullptr;
  FBottomOffset = FActiveTabOffset = 0;
  if (TbsDataSkinTabControl* D = TabData()) {
    if (D->PictureIndex >= 0 && D->PictureIndex < int(FSD->FActivePictures.size()))
      FPicture = FSD->FActivePictures[size_t(D->PictureIndex)].get();
    // Empty looks fall back: hovered and active to the plain tab, the
    // close button's hovered look to its plain one, pressed to hovered.
    if (IsNullRect(D->ActiveTabRect)) D->ActiveTabRect = D->TabRect;
    if (IsNullRect(D->MouseInTabRect)) D->MouseInTabRect = D->TabRect;
    if (IsNullRect(D->CloseButtonActiveRect)) D->CloseButtonActiveRect = D->CloseButtonRect;
    if (IsNullRect(D->CloseButtonDownRect)) D->CloseButtonDownRect = D->CloseButtonActiveRect;
    FBottomOffset = D->ClRect.Top;
    FActiveTabOffset = RectHeight(D->ActiveTabRect) - RectHeight(D->TabRect);
  }
}

bool TbsSkinMDITabsBar::Skinned() const {
  TbsDataSkinTabControl* D = TabData();
  return D && FPicture && !IsNullRect(D->TabRect);
}

void TbsSkinMDITabsBar::SetTabKind(TbsSkinMDITabKind Value) {
  if (FTabKind == Value) return;
  FTabKind = Value;
  // The kind decides the base strip, hence the height and the client.
  if (Skinned()) ChangeSkinData();
}

void TbsSkinMDITabsBar::SetDefaultHeight(int Value) {
  FDefaultHeight = Value;
  if (Value > 0 && !Skinned()) SetHeight(Value);
}

// The list buttons stand beside the tabs, not over the base strip.
void TbsSkinMDITabsBar::AdjustClientRect(TRect& R) {
  if (Skinned() && FTabKind == bstkTab) R.Bottom -= FBottomOffset;
}

void TbsSkinMDITabsBar::ChangeSkinData() {
  TbsSkinControl::ChangeSkinData();
  if (Skinned() && UseSkinSize)
    SetHeight(RectHeight(TabData()->TabRect) + (FTabKind == bstkTab ? FBottomOffset : 0));
  else if (FDefaultHeight > 0)
    SetHeight(FDefaultHeight);
  Realign();
  for (TbsSkinMenuSpeedButton* B : {FListButton, FHideListButton})
    if (B) B->SetSkinData(FSD);
  if (FListMenu) FListMenu->SetSkinData(FSD);
  if (FHideListMenu) FHideListMenu->SetSkinData(FSD);
  Invalidate();
}

TbsSkinMenuSpeedButton* TbsSkinMDITabsBar::MakeListButton(bool AHidden) {
  auto* B = new TbsSkinMenuSpeedButton(this);
  B->SetSkinDataName("resizetoolbutton");
  B->SetSkinData(FSD);
  B->FDrawStandardArrow = true;
  B->FArrowType = AHidden ? 2 : 4;
  B->SetWidth(15);
  B->SetAlign(AHidden ? cl::alRight : cl::alLeft);
  B->SetSkinPopupMenu(AHidden ? FHideListMenu : FListMenu);
  B->OnShowTrackMenu = [this, AHidden](rtl::TObject*) { FillListMenu(AHidden); };
  B->SetParent(this);
  return B;
}

void TbsSkinMDITabsBar::FillListMenu(bool AHidden) {
  TbsSkinPopupMenu* M = AHidden ? FHideListMenu : FListMenu;
  if (!M) return;
  M->SetSkinData(FSD);
  cl::TMenuItem* Items = M->Items();
  while (Items->Count() > 0) Items->Items(Items->Count() - 1)->Free();
  const std::string Suffix = AHidden ? "_BSFCHILDITEMBARHIDE" : "_BSFCHILDITEMBAR";
  for (auto& T : Tabs) {
    if (AHidden && T.Visible) continue;
    auto* I = new cl::TMenuItem(M);
    I->SetName(T.Child->Name() + Suffix);
    I->Caption = T.Child->Caption();
    I->SetRadioItem(true);
    I->SetGroupIndex(0);
    I->SetChecked(T.Active);
    I->OnClick = [this](rtl::TObject* S) { ListItemClick(S); };
    Items->Add(I);
  }
}

void TbsSkinMDITabsBar::ListItemClick(rtl::TObject* Sender) {
  auto* I = dynamic_cast<cl::TMenuItem*>(static_cast<cl::TObject*>(Sender));
  if (!I || !MDI) return;
  std::string N = I->Name();
  for (std::string Suffix : {"_BSFCHILDITEMBARHIDE", "_BSFCHILDITEMBAR"})
    if (N.size() > Suffix.size() && N.compare(N.size() - Suffix.size(), Suffix.size(), Suffix) == 0) {
      N.resize(N.size() - Suffix.size());
      break;
    }
  for (cl::TCustomForm* C : MDI->Children())
    if (C->Name() == N) {
      if (TbsSkinForm* S = GetSkinFormComponent(C))
        if (S->WindowState() == cl::wsMinimized) S->SetWindowState(cl::wsNormal);
      C->Show();
      MDI->SetActiveChild(C);
      return;
    }
}

void TbsSkinMDITabsBar::UpdateListButtons() {
  if (Tabs.empty()) {
    if (FListButton) cl::FreeAndNil(FListButton);
  } else if (!FListButton) {
    FListButton = MakeListButton(false);
  }
  if (InVisibleCount > 0 && !FHideListButton)
    FHideListButton = MakeListButton(true);
  else if (InVisibleCount == 0 && FHideListButton)
    cl::FreeAndNil(FHideListButton);
}

void TbsSkinMDITabsBar::Paint() {
  TbsSkinControl::Paint();
  // The hidden tabs' list shows once the layout of this paint knows of them.
  UpdateListButtons();
}

void TbsSkinMDITabsBar::AddTab(cl::TCustomForm* AChild) {
  TbsMDITab T;
  T.TabsBar = this;
  T.Child = AChild;
  Tabs.push_back(T);
  if (!FListButton) FListButton = MakeListButton(false);
  UpdateActiveTab();
  Invalidate();
}

void TbsSkinMDITabsBar::DeleteTab(cl::TCustomForm* AChild) {
  auto it = std::find_if(Tabs.begin(), Tabs.end(), [&](const TbsMDITab& T) { return T.Child == AChild; });
  if (it != Tabs.end()) {
    const int Gone = int(it - Tabs.begin());
    if (Gone == ActiveTabIndex) {
      ActiveTabIndex = -1;
      it->MouseIn = false;
      OnTabMouseLeave(&*it);
    } else if (ActiveTabIndex > Gone) {
      --ActiveTabIndex;  // the tabs after it move up one place
    }
    Tabs.erase(it);
  }
  if (Tabs.empty() && FListButton && !Destroyed()) cl::FreeAndNil(FListButton);
  Invalidate();
}

void TbsSkinMDITabsBar::UpdateActiveTab() {
  cl::TCustomForm* A = MDI ? MDI->ActiveChild() : nullptr;
  if (!A) return;
  for (auto& T : Tabs) T.Active = T.Child == A;
  Invalidate();
}

void TbsSkinMDITabsBar::CalcTabs() {
  InVisibleCount = 0;
  if (Tabs.empty()) return;
  int N = int(Tabs.size());
  int H = Height() - (Skinned() && FTabKind == bstkTab ? FBottomOffset : 0);
  int W = std::min(DefaultTabWidth, (Width() - 15) / N);
  int X = 15;
  if (MinTabWidth != 0 && W < MinTabWidth) {
    int Fit = std::max((Width() - 30) / MinTabWidth, 0);
    for (int i = 0; i < N; ++i) {
      TbsMDITab& T = Tabs[size_t(i)];
      if (i < Fit) {
        T.ObjectRect = {X, 0, X + MinTabWidth, H};
        T.Visible = true;
        X += MinTabWidth;
      } else {
        T.ObjectRect = TRect{};
        T.Visible = false;
        ++InVisibleCount;
      }
    }
  } else {
    for (auto& T : Tabs) {
      T.ObjectRect = {X, 0, X + W, H};
      T.Visible = true;
      X += W;
    }
    if (W < DefaultTabWidth) Tabs.back().ObjectRect.Right = Width();
  }
  if (IsDrag && DragIndex >= 0 && DragIndex < N) {
    TRect& R = Tabs[size_t(DragIndex)].ObjectRect;
    gfx::OffsetRect(R, TabDX, 0);
    int Limit = InVisibleCount ? Width() - 15 : Width();
    if (R.Left < 0) gfx::OffsetRect(R, -R.Left, 0);
    if (R.Right > Limit) gfx::OffsetRect(R, Limit - R.Right, 0);
  }
  for (auto& T : Tabs)
    if (ShowCloseButtons && T.Visible) {
      int Y = (H - CloseSize) / 2;
      T.ButtonRect = {T.ObjectRect.Right - CloseSize - 3, Y, T.ObjectRect.Right - 3, Y + CloseSize};
    }
}

int TbsSkinMDITabsBar::GetTabIndex(int X, int Y) const {
  for (size_t i = 0; i < Tabs.size(); ++i) {
    const TRect& R = Tabs[i].ObjectRect;
    if (Tabs[i].Visible && X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom) return int(i);
  }
  return -1;
}

void TbsSkinMDITabsBar::CreateControlDefaultImage(gfx::TBitmap* B) {
  gfx::TCanvas* C = B->Canvas();
  C->Brush()->SetColor(gfx::clBtnFace);
  C->FillRect(TRect{0, 0, B->Width(), B->Height()});
  PaintTabs(C);
}

void TbsSkinMDITabsBar::CreateControlSkinImage(gfx::TBitmap* B) {
  TbsDataSkinTabControl* D = TabData();
  if (!Skinned()) {
    CreateControlDefaultImage(B);
    return;
  }
  gfx::TCanvas* C = B->Canvas();
  const int TabH = FTabKind == bstkTab ? Height() - FBottomOffset : Height();
  C->Brush()->SetColor(FSD->SkinColors().cBtnFace());
  C->FillRect(TRect{0, 0, B->Width(), B->Height()});
  // The background: cells of the skin's strip side by side.
  const int CW = RectWidth(D->TabsBGRect);
  if (CW > 0 && RectHeight(D->TabsBGRect) > 0)
    for (int x = 0; x < B->Width(); x += CW) C->CopyRect(TRect{x, 0, x + CW, TabH}, FPicture->Canvas(), D->TabsBGRect);
  // The base strip under the tabs; buttons stand without one.
  if (FTabKind == bstkTab && FBottomOffset > 0 && !IsNullRect(D->SkinRect)) {
    TBitmap Base;
    const TRect Band{D->SkinRect.Left + D->LTPoint.X, D->SkinRect.Top, D->SkinRect.Left + D->RTPoint.X,
                     D->SkinRect.Top + D->ClRect.Top};
    if (RectWidth(Band) > 0) {
      CreateHSkinImage(D->LTPoint.X, RectWidth(D->SkinRect) - D->RTPoint.X, &Base, TbsPictureRect{FPicture, Band},
                       B->Width(), FBottomOffset, D->TopStretch);
      C->Draw(0, TabH, &Base);
    }
  }
  PaintTabs(C);
}

// The dragged tab last, over the others, and where it would land.
void TbsSkinMDITabsBar::PaintTabs(gfx::TCanvas* C) {
  CalcTabs();
  const bool Dragged = IsDrag && DragIndex >= 0 && DragIndex < int(Tabs.size());
  for (size_t i = 0; i < Tabs.size(); ++i)
    if (Tabs[i].Visible && !(Dragged && int(i) == DragIndex)) DrawTab(C, Tabs[i]);
  if (Dragged) {
    DrawTab(C, Tabs[size_t(DragIndex)]);
    DrawDropMarker(C);
  }
}

void TbsSkinMDITabsBar::DrawDropMarker(gfx::TCanvas* C) {
  const int Target = DropTarget();
  if (Target < 0) return;
  const TRect& R = Tabs[size_t(Target)].ObjectRect;
  const int X = TabDX < 1 ? R.Left : R.Right, Mid = Height() / 2;
  gfx::TPen* P = C->Pen();
  const gfx::TPenMode OldMode = P->Mode();
  P->SetMode(gfx::pmNot);
  for (int x = X - 1; x <= X + 1; ++x) {
    C->MoveTo(x, 0);
    C->LineTo(x, Height());
  }
  // Two small heads pointing at the bar from either side.
  for (int Side : {1, -1}) {
    C->MoveTo(X + 5 * Side, Mid - 3);
    C->LineTo(X + 2 * Side, Mid);
    C->LineTo(X + 5 * Side, Mid + 3 + 1);
  }
  P->SetMode(OldMode);
}

int TbsSkinMDITabsBar::DropTarget() const {
  if (!IsDrag || DragIndex < 0 || DragIndex >= int(Tabs.size())) return -1;
  const TRect D = Tabs[size_t(DragIndex)].ObjectRect;
  auto Mid = [&](int k) { return (Tabs[size_t(k)].ObjectRect.Left + Tabs[size_t(k)].ObjectRect.Right) / 2; };
  int Target = -1;
  if (TabDX > 0) {
    for (int k = DragIndex + 1; k < int(Tabs.size()); ++k)
      if (Tabs[size_t(k)].Visible && Mid(k) < D.Right) Target = k;
  } else {
    for (int k = 0; k < DragIndex; ++k)
      if (Tabs[size_t(k)].Visible && Mid(k) > D.Left) {
        Target = k;
        break;
      }
  }
  return Target;
}

TbsDataSkinButtonControl* TbsSkinMDITabsBar::ButtonData() const {
  if (!FSD || FSD->Empty) return nullptr;
  const int I = FSD->GetControlIndex("resizebutton");
  if (I < 0 || I >= int(FSD->CtrlList.size())) return nullptr;
  return dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList[size_t(I)].get());
}

void TbsSkinMDITabsBar::DrawTab(gfx::TCanvas* C, TbsMDITab& T) {
  const int W = T.ObjectRect.Width(), H = T.ObjectRect.Height();
  if (W <= 0 || H <= 0) return;
  TbsDataSkinTabControl* D = Skinned() ? TabData() : nullptr;
  TBitmap Img;
  gfx::TCanvas* IC = Img.Canvas();
  IC->Font()->Assign(DefaultFont);
  if (D && FTabKind == bstkButton) {
    // The skin's resizable button at the tab's size: pressed for the active
    // child, hot under the pointer; nothing without that record.
    TbsDataSkinButtonControl* B = ButtonData();
    TBitmap* Pic = B && B->PictureIndex >= 0 && B->PictureIndex < int(FSD->FActivePictures.size())
                       ? FSD->FActivePictures[size_t(B->PictureIndex)].get()
                       : nullptr;
    if (!B || !Pic || IsNullRect(B->SkinRect)) return;
    const TRect& Act = IsNullRect(B->ActiveSkinRect) ? B->SkinRect : B->ActiveSkinRect;
    const TRect& Down = IsNullRect(B->DownSkinRect) ? Act : B->DownSkinRect;
    const TRect& Src = T.Active ? Down : T.MouseIn ? Act : B->SkinRect;
    const int dW = W - RectWidth(B->SkinRect), dH = H - RectHeight(B->SkinRect);
    const TbsNinePartStretch St = StretchOf(*B);
    CreateSkinImage({B->LTPoint, B->RTPoint, B->LBPoint, B->RBPoint, B->ClRect},
                    {B->LTPoint,
                     {B->RTPoint.X + dW, B->RTPoint.Y},
                     {B->LBPoint.X, B->LBPoint.Y + dH},
                     {B->RBPoint.X + dW, B->RBPoint.Y + dH},
                     {B->ClRect.Left, B->ClRect.Top, B->ClRect.Right + dW, B->ClRect.Bottom + dH}},
                    &Img, TbsPictureRect{Pic, Src}, W, H, true, St);
    IC->Font()->SetColor(T.Active ? B->DownFontColor : T.MouseIn ? B->ActiveFontColor : B->FontColor);
    OnTabGetDrawParamsEvent(&T, IC);
  } else if (!D) {
    Img.SetSize(W, H);
    IC->Brush()->SetColor(T.Active    ? gfx::TColor(gfx::RGB(133, 147, 181))
                          : T.MouseIn ? gfx::TColor(gfx::RGB(182, 189, 210))
                                      : gfx::clBtnFace);
    IC->FillRect(TRect{0, 0, W, H});
    TRect F{0, 0, W, H};
    gfx::Frame3D(IC, F, gfx::clBtnHighlight, gfx::clBtnShadow, 1);
    OnTabGetDrawParamsEvent(&T, IC);
  } else {
    const TRect& Src = T.Active ? D->ActiveTabRect : T.MouseIn ? D->MouseInTabRect : D->TabRect;
    if (UseSkinSize) {
      CreateHSkinImage(D->TabLeftOffset, D->TabRightOffset, &Img, TbsPictureRect{FPicture, Src}, W, H,
                       D->TabStretchEffect);
    } else {
      // Stretched to the bar's own height: the middle half of the picture
      // grows, its ends keep their size; the active tab stays the taller.
      const int Q = RectHeight(D->TabRect) / 4;
      Img.SetSize(W, H + (T.Active ? FActiveTabOffset : 0));
      CreateSkinImageByClRect(&Img, TbsPictureRect{FPicture, Src},
                              TRect{D->TabLeftOffset, Q, RectWidth(Src) - D->TabRightOffset, RectHeight(Src) - Q},
                              true);
    }
    IC->Font()->SetName(D->FontName.empty() ? DefaultFont.Name() : D->FontName);
    IC->Font()->SetHeight(D->FontHeight ? D->FontHeight : DefaultFont.Height());
    IC->Font()->SetStyle(D->FontStyle);
    IC->Font()->SetColor(T.Active ? D->FocusFontColor : T.MouseIn ? D->MouseInFontColor : D->FontColor);
    if (!UseSkinSize) OnTabGetDrawParamsEvent(&T, IC);
  }
  DrawCaption(IC, T, D, W, Img.Height());
  C->Draw(T.ObjectRect.Left, T.ObjectRect.Top, &Img);
}

void TbsSkinMDITabsBar::DrawCaption(gfx::TCanvas* IC, TbsMDITab& T, TbsDataSkinTabControl* D, int W, int H) {
  IC->Brush()->SetStyle(gfx::bsClear);
  const int CS = !D || IsNullRect(D->CloseButtonRect) ? CloseSize : RectWidth(D->CloseButtonRect);
  TRect TR = ShowCloseButtons ? TRect{2, 0, W - CS - 5, H}
             : D              ? TRect{D->TabLeftOffset, 0, W - D->TabRightOffset, H}
                              : TRect{2, 0, W - 2, H};
  std::string Text = T.Child->Caption();
  FitTextToWidth(IC, Text, TR.Width());
  gfx::DrawTextW(IC->Handle(), std::string_view(Text), -1, &TR,
                 gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE | gfx::DT_NOPREFIX);
  if (!ShowCloseButtons) return;
  const int BH = !D || IsNullRect(D->CloseButtonRect) ? CloseSize : RectHeight(D->CloseButtonRect);
  const int BX = W - CS - 3, BY = H / 2 - BH / 2;
  T.ButtonRect =
      TRect{T.ObjectRect.Left + BX, T.ObjectRect.Top + BY, T.ObjectRect.Left + BX + CS, T.ObjectRect.Top + BY + BH};
  if (D && !IsNullRect(D->CloseButtonRect)) {
    const TRect& BS = T.ButtonMouseDown && T.ButtonMouseIn ? D->CloseButtonDownRect
                      : T.ButtonMouseIn                    ? D->CloseButtonActiveRect
                                                           : D->CloseButtonRect;
    IC->CopyRect(TRect{BX, BY, BX + CS, BY + BH}, FPicture->Canvas(), BS);
  } else {
    DrawCloseGlyph(IC, BX + 2, BY + 2, T.ButtonMouseIn ? gfx::clWhite : gfx::clBlack);
  }
}

void TbsSkinMDITabsBar::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseDown(Button, Shift, X, Y);
  CalcTabs();
  int i = GetTabIndex(X, Y);
  if (i < 0) return;
  cl::Keep<TbsSkinMDITabsBar> K(this);
  if (Button == cl::mbRight) {
    // The child's own system menu, at the pointer.
    if (SupportChildMenus && MDI)
      if (TbsSkinForm* S = GetSkinFormComponent(Tabs[size_t(i)].Child)) {
        TPoint P = ClientToScreen(TPoint{X, Y});
        S->PopupSysMenuAt(P.X, P.Y);
      }
    if (Destroyed() || i >= int(Tabs.size())) return;
    OnTabMouseDown(Button, Shift, &Tabs[size_t(i)]);
    return;
  }
  if (Button != cl::mbLeft) return;
  TbsMDITab& T = Tabs[size_t(i)];
  if (TbsSkinForm* S = GetSkinFormComponent(T.Child))
    if (S->WindowState() == cl::wsMinimized) S->SetWindowState(cl::wsNormal);
  T.Child->Show();
  if (MDI) MDI->SetActiveChild(T.Child);
  FDown = true;
  DragIndex = MoveTabs ? i : -1;
  DX = X;
  TabDX = 0;
  if (ShowCloseButtons && gfx::PtInRect(T.ButtonRect, TPoint{X, Y})) {
    FDown = false;
    DragIndex = -1;
    T.ButtonMouseIn = T.ButtonMouseDown = true;
  }
  Invalidate();
  OnTabMouseDown(Button, Shift, &T);
}

void TbsSkinMDITabsBar::TestTabHover(int X, int Y) {
  const int i = GetTabIndex(X, Y);
  if (i != ActiveTabIndex) {
    const int Old = ActiveTabIndex;
    ActiveTabIndex = i;
    if (Old >= 0 && Old < int(Tabs.size()) && Tabs[size_t(Old)].Visible) {
      Tabs[size_t(Old)].MouseIn = false;
      Invalidate();
      OnTabMouseLeave(&Tabs[size_t(Old)]);
    }
    if (i >= 0 && Tabs[size_t(i)].Visible) {
      Tabs[size_t(i)].MouseIn = true;
      Invalidate();
      OnTabMouseEnter(&Tabs[size_t(i)]);
    }
    // Another tab's close button no longer lit.
    for (size_t k = 0; k < Tabs.size(); ++k)
      if (int(k) != i && Tabs[k].ButtonMouseIn) {
        Tabs[k].ButtonMouseIn = Tabs[k].ButtonMouseDown = false;
        Invalidate();
      }
  }
  if (ShowCloseButtons && i >= 0 && i < int(Tabs.size())) {
    TbsMDITab& T = Tabs[size_t(i)];
    const bool In = gfx::PtInRect(T.ButtonRect, TPoint{X, Y});
    if (In && !T.ButtonMouseIn) {
      T.ButtonMouseIn = true;
      Invalidate();
    } else if (!In && T.ButtonMouseIn) {
      T.ButtonMouseIn = T.ButtonMouseDown = false;
      Invalidate();
    }
  }
}

void TbsSkinMDITabsBar::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinControl::CMMouseLeave(Msg);
  if (!Destroyed()) TestTabHover(-1, -1);
}

void TbsSkinMDITabsBar::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TbsSkinControl::MouseMove(Shift, X, Y);
  if (FDown && DragIndex >= 0 && X != DX) {
    IsDrag = true;
    TabDX = X - DX;
    Invalidate();
    return;
  }
  TestTabHover(X, Y);
}

void TbsSkinMDITabsBar::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinMDITabsBar> K(this);
  FDown = false;
  const bool WasDrag = IsDrag && DragIndex >= 0 && DragIndex < int(Tabs.size());
  if (WasDrag) {
    CalcTabs();
    const int Target = DropTarget();
    if (Target >= 0 && Target != DragIndex) {
      TbsMDITab T = Tabs[size_t(DragIndex)];
      Tabs.erase(Tabs.begin() + DragIndex);
      Tabs.insert(Tabs.begin() + Target, T);
      // The hover follows the pointer again, not the old places.
      for (auto& Tab : Tabs) Tab.MouseIn = false;
      ActiveTabIndex = -1;
    }
  }
  IsDrag = false;
  DragIndex = -1;
  TabDX = 0;
  if (WasDrag) {
    CalcTabs();
    TestTabHover(X, Y);
  }
  if (!WasDrag) {
    CalcTabs();
    const int i = GetTabIndex(X, Y);
    if (i >= 0) OnTabMouseUp(Button, Shift, &Tabs[size_t(i)]);
    if (Destroyed()) return;
  }
  if (ShowCloseButtons && Button == cl::mbLeft) {
    int i = GetTabIndex(X, Y);
    for (size_t k = 0; k < Tabs.size(); ++k) {
      TbsMDITab& T = Tabs[k];
      bool Close = int(k) == i && T.ButtonMouseDown && gfx::PtInRect(T.ButtonRect, TPoint{X, Y});
      T.ButtonMouseIn = T.ButtonMouseDown = false;
      if (Close) {
        T.Child->Close();
        break;
      }
    }
    if (Destroyed()) return;
  }
  Invalidate();
  TbsSkinControl::MouseUp(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------
// Lookups from anywhere in the program.

TbsSkinMDI* GetMainFormMDI() {
  TbsSkinForm* SF = GetSkinFormComponent(cl::Application ? cl::Application->MainForm() : nullptr);
  if (!SF) return nullptr;
  for (int i = 0; i < SF->ComponentCount(); ++i)
    if (auto* M = dynamic_cast<TbsSkinMDI*>(SF->Components(i))) return M;
  return nullptr;
}

TbsSkinForm* GetMaxMDIChildSkinForm() {
  TbsSkinMDI* M = GetMainFormMDI();
  if (!M) return nullptr;
  for (cl::TCustomForm* C : M->Children())
    if (TbsSkinForm* S = GetSkinFormComponent(C); S && S->WindowState() == cl::wsMaximized) return S;
  return nullptr;
}

TbsSkinForm* GetActiveMDIChildSkinForm() {
  TbsSkinMDI* M = GetMainFormMDI();
  return M ? GetSkinFormComponent(M->ActiveChild()) : nullptr;
}

}  // namespace skin
