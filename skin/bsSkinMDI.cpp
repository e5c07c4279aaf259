#include "skin/bsSkinMDI.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

constexpr const char* kItemSuffix = "_BSFCHILDITEM";

}  // namespace

TbsSkinMDI::TbsSkinMDI(TbsSkinForm* AMain, cl::TWinControl* AClient)
    : cl::TComponent(AMain), FMain(AMain), FClient(AClient) {}

void TbsSkinMDI::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  auto it = std::find(FChildren.begin(), FChildren.end(), AComponent);
  if (it != FChildren.end()) {
    DeleteChildFromMenu(*it);
    FChildren.erase(it);
  }
  if (AComponent == FActive) FActive = FChildren.empty() ? nullptr : FChildren.back();
  if (AComponent == WindowMenu) WindowMenu = nullptr;
}

void TbsSkinMDI::AddChild(cl::TCustomForm* AChild) {
  if (!AChild) return;
  AChild->SetParent(FClient);
  AChild->FreeNotification(this);
  FChildren.push_back(AChild);
  FActive = AChild;
  AddChildToMenu(AChild);
  UpDateChildActiveInMenu();
}

cl::TCustomForm* TbsSkinMDI::ActiveChild() const { return FActive; }

void TbsSkinMDI::SetActiveChild(cl::TCustomForm* AChild) {
  FActive = AChild;
  UpDateChildActiveInMenu();
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
  // each column bottom-up.
  int X = A.Right - CW, Y = A.Bottom - CH, InCol = 0, ColsLeft = Cols, Left = Count;
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
      Y = A.Bottom - CH;
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
    if (P + CW > A.Right || P + CH > A.Bottom) P = 0;
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

}  // namespace skin
