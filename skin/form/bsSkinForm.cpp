#include "skin/form/bsSkinForm.h"
#include "skin/menus/bsTrayIcon.h"

#include <algorithm>

#include "platform/cl/application.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/rect.h"
#include "platform/gfx/region.h"
#include "platform/rtl/exceptions.h"
#include "platform/win/layered.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/form/bsFormLayerBorder.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlowText.h"
#include "skin/draw/bsLayerWindow.h"
#include "skin/controls/bsSkinBars.h"
#include "skin/draw/bsMaskRegions.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/menus/bsSkinHint.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/form/bsSkinMDI.h"
#include "skin/form/bsSkinMainMenuBar.h"
#include "skin/draw/bsTextHelpers.h"
#include "skin/draw/bsWorkArea.h"

namespace skin {

using cl::TMessage;
using namespace win;

namespace {

// The broadcast of the skin store reaches the application's forms through
// the screen's form list.
class ScreenFormRegistry : public TbsSkinFormRegistry {
 public:
  std::vector<Form> ScreenForms() override {
    std::vector<Form> r;
    for (int i = 0; i < cl::Screen->FormCount(); ++i) {
      cl::TCustomForm* f = cl::Screen->Forms(i);
      f->Handle();
      r.push_back(f);
    }
    return r;
  }
  // The layered border's own windows are no forms of this list.
  std::string FormClassName(Form) override { return "TForm"; }
  void SendMessage(Form AForm, unsigned Msg, TbsSkinData* WParam, intptr_t LParam) override {
    auto* f = const_cast<cl::TCustomForm*>(static_cast<const cl::TCustomForm*>(AForm));
    if (f->Destroyed()) return;
    win::SendMessage(f->Handle(), Msg, WPARAM(reinterpret_cast<uintptr_t>(WParam)), LParam);
  }
  Form FormOf(cl::TComponent* AComponent) override { return dynamic_cast<cl::TCustomForm*>(AComponent); }
};

ScreenFormRegistry& TheScreenRegistry() {
  static ScreenFormRegistry R;
  return R;
}

TbsSkinData* StoreOf(WPARAM wp) { return reinterpret_cast<TbsSkinData*>(uintptr_t(wp)); }

// The code of a pointer message: signed 16-bit halves.
TPoint PointOf(LPARAM lp) { return TPoint{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

bool InRectHalfOpen(const TRect& R, TPoint P) { return gfx::PtInRect(R, P); }

constexpr int kDefBorder = 3;

// The run of black pixels decides: a pixel outside the strip is not black.
bool BlackAt(TBitmap& B, int X, int Y) {
  if (B.Empty() || X < 0 || Y < 0 || X >= B.Width() || Y >= B.Height()) return false;
  return (gfx::ColorToRGB(B.Canvas()->Pixels(X, Y)) & 0xFFFFFF) == 0;
}

}  // namespace

TbsSkinForm* GetSkinFormComponent(cl::TComponent* AForm) {
  if (!AForm) return nullptr;
  for (int i = 0; i < AForm->ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TbsSkinForm*>(AForm->Components(i))) return f;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Life cycle.

TbsSkinForm::TbsSkinForm(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  FForm = dynamic_cast<cl::TCustomForm*>(AOwner);
  if (!FForm) throw rtl::Exception("Invalid class typecast");
  if (!SkinFormRegistry()) SetSkinFormRegistry(&TheScreenRegistry());
  FQuickButtons = new TbsQuickButtonItems(this);
  FDefCaptionFont.SetName("Arial");
  FDefCaptionFont.SetHeight(14);
  FDefCaptionFont.SetStyle(gfx::TFontStyles{gfx::fsBold});
  FDefCaptionFont.SetColor(gfx::clBtnText);
  FDefInActiveCaptionFont.SetName("Arial");
  FDefInActiveCaptionFont.SetHeight(14);
  FDefInActiveCaptionFont.SetStyle(gfx::TFontStyles{gfx::fsBold});
  FDefInActiveCaptionFont.SetColor(gfx::clBtnShadow);
  auto MakeTimer = [this](unsigned ms, void (TbsSkinForm::*tick)(rtl::TObject*)) {
    auto* t = new cl::TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(ms);
    t->SetOnTimer([this, tick](rtl::TObject* s) { (this->*tick)(s); });
    return t;
  };
  FMouseTimer = MakeTimer(50, &TbsSkinForm::MouseTimerTick);
  FMorphTimer = MakeTimer(25, &TbsSkinForm::MorphTimerTick);
  FAnimateTimer = MakeTimer(25, &TbsSkinForm::AnimateTimerTick);
  FForm->SetBorderIcons(0);
  FForm->OnShortCut = [this](TMessage& m, bool& h) { FormShortCut(m, h); };
  FBorderLayer = new TbsFormLayerBorder(this);
  FLayerManager = new TbsLayerManager(this);
  FMenuLayerManager = new TbsLayerManager(this);
  FSysMenu = new cl::TPopupMenu(this);
  FSkinMenu = new TbsSkinMenu(this, FForm);
  FSkinMenu->AlphaBlendValue = FMenusAlphaBlendValue;
  FSysTrayMenu = new TbsSkinPopupMenu(this);
  FSysTrayMenu->ComponentForm = FForm;
  CreateSysTrayMenu();
  OldWindowProc = FForm->WindowProc;
  FForm->WindowProc = [this](TMessage& m) { FormWindowProc(m); };
  // A fresh frame: the non-client area is computed again through the hook
  // (the window itself and every other subclass of it stay).
  if (FForm->HandleAllocated())
    SetWindowPos(FForm->Handle(), HWND{}, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TbsSkinForm::Destroy() {
  UnhookAppMessages();
  UnlinkTrayIcon();
  SetStatusBar(nullptr);
  ClearObjects();
  cl::FreeAndNil(FQuickButtons);
  if (FForm && !FForm->Destroyed() && OldWindowProc) FForm->WindowProc = OldWindowProc;
  OldWindowProc = nullptr;
  if (FRgn) gfx::DeleteObject(FRgn);
  FRgn = gfx::HRGN{};
  cl::TComponent::Destroy();
}

void TbsSkinForm::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSD) {
    // The caption objects and the border pictures point into the freed
    // store: the frame drops them and goes on without a skin.
    FSD = nullptr;
    FSkinSupport = false;
    ClearObjects();
    if (FForm && !FForm->Destroyed() && !FForm->Destroying() && !Destroying()) ApplySkinData();
  }
  if (AComponent == FMSD) FMSD = nullptr;
  if (AComponent == SystemMenu) SystemMenu = nullptr;
  if (AComponent == MainMenuBar) MainMenuBar = nullptr;
  if (AComponent == FSkinHint) FSkinHint = nullptr;
  if (AComponent == FTrayIcon) {
    FTrayIcon = nullptr;
    FTrayMenuGiven = FTrayDblClickGiven = false;
  }
  if (AComponent == FStatusBar) FStatusBar = nullptr;
  if (AComponent == FQuickImageList) FQuickImageList = nullptr;
  if (AComponent == MDI) MDI = nullptr;
  if (AComponent == MDIMain) MDIMain = nullptr;
  if (AComponent == FInActivePanel) FInActivePanel = nullptr;
}

void TbsSkinForm::OldProc(TMessage& Msg) {
  if (OldWindowProc) OldWindowProc(Msg);
}

void TbsSkinForm::SendNCPaint() {
  if (FForm && !FForm->Destroyed() && FForm->HandleAllocated()) win::SendMessage(FForm->Handle(), WM_NCPAINT, 0, 0);
}

// A maximized multiple-document child has no frame of its own: its client
// fills the main form's client area and its buttons are on the menu bar.
bool TbsSkinForm::FrameShown() {
  return FForm->BorderStyle() != cl::bsNone && !(MDIMain && FWindowState == cl::wsMaximized);
}

// ---------------------------------------------------------------------------
// Skin.

void TbsSkinForm::SetSkinData(TbsSkinData* Value) {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (FSD) {
    FSD->FreeNotification(this);
    FSkinnableForm = FSD->SkinnableForm();
  }
  FSysTrayMenu->SetSkinData(Value);
  UpdateSysTrayMenuTexts();
  ApplySkinData();
}

void TbsSkinForm::SetSkinnableForm(bool Value) {
  FFormActive = GetFormActive();
  bool Remax = false;
  if (FSkinnableForm && FWindowState == cl::wsMaximized) {
    SetWindowState(cl::wsNormal);
    Remax = true;
  }
  FSkinnableForm = Value;
  ApplySkinData();
  ChangeChildrenSkinData(nullptr, FForm);
  if (FForm->HandleAllocated())
    SetWindowPos(FForm->Handle(), HWND{}, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (Remax && FSkinnableForm) SetWindowState(cl::wsMaximized);
}

void TbsSkinForm::ApplySkinData() {
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
  FSkinSupport = HasSkin();
  HideLayers();
  if (FSkinSupport && FSkinnableForm) {
    CreateSkinObjects();
    UpdateObjectsByBorderIcons();
  } else {
    ClearObjects();
    FFormWidth = FForm->Width();
    FFormHeight = FForm->Height();
    UpdateFormRegion();
  }
  if (FSkinnableForm) {
    if (FForm->BorderIcons() != 0) FForm->SetBorderIcons(0);
  } else {
    cl::TBorderIcons BI = HideCaptionButtons ? 0 : cl::biSystemMenu;
    if (!HideCaptionButtons && (FBorderIcons & biMinimize)) BI |= cl::biMinimize;
    if (!HideCaptionButtons && (FBorderIcons & biMaximize)) BI |= cl::biMaximize;
    FForm->SetBorderIcons(BI);
  }
  FInChangeSkinData = true;
  int MW = GetMinWidth(), MH = GetMinHeight();
  if (FForm->Width() < MW && FForm->Height() < MH)
    FForm->SetBounds(FForm->Left(), FForm->Top(), MW, MH);
  else if (FForm->Height() < MH)
    FForm->SetBounds(FForm->Left(), FForm->Top(), FForm->Width(), MH);
  else if (FForm->Width() < MW)
    FForm->SetBounds(FForm->Left(), FForm->Top(), MW, FForm->Height());
  else
    RefreshFormSize();
  if (FRollUpState || FWindowState == cl::wsMinimized) FForm->SetHeight(GetMinHeight());
  if (FWindowState == cl::wsMinimized) FForm->SetWidth(GetMinWidth());
  FFormWidth = FForm->Width();
  FFormHeight = FForm->Height();
  if (FSkinSupport) UpdateFrame();
  FForm->Repaint();
  UpdateCaptionActivity(true);
  FMouseTimer->SetEnabled(true);
  OnChangeSkinData(this);
  FInChangeSkinData = false;
  ApplyClientSize();
  FBorderLayer->InitFrame(FSD);
  UpdateBorderLayer();
}

// The border follows the form: shown with it while usable, hidden otherwise.
void TbsSkinForm::UpdateBorderLayer() {
  bool Want = IsLayerBorderUsable() && FForm->HandleAllocated() && IsWindowVisible(FForm->Handle()) &&
              FWindowState == cl::wsNormal;
  if (!Want) {
    if (FBorderLayer->Visible()) FBorderLayer->Hide();
    return;
  }
  FBorderLayer->FActive = GetFormActive();
  if (FBorderLayer->Visible())
    FBorderLayer->SetBoundsWithForm();
  else
    FBorderLayer->ShowWithForm();
}

void TbsSkinForm::ApplyClientSize() {
  if (FRollUpState) return;
  if (ClientWidth > 0) FForm->SetClientSize(ClientWidth, FForm->ClientHeight());
  if (ClientHeight > 0) FForm->SetClientSize(FForm->ClientWidth(), ClientHeight);
}

// The walk visits the control itself, then its children in index order,
// windowed ones recursively. Every skinned control answers through the
// interface the control bases share, so control families added later plug
// in without a change here; the kinds that come first in the walk's class
// order (the windowed bases, then the graphic ones, then the families on
// the class library's own controls) are each one family of that interface.
void TbsSkinForm::BeforeChangeChildrenSkinData(TbsSkinData* ASkinData, cl::TControl* AControl) {
  if (!AControl) return;
  if (auto* C = dynamic_cast<TbsSkinControl*>(AControl)) {
    if (C->SkinData() == ASkinData || !ASkinData) C->BeforeChangeSkinData();
  } else if (auto* G = dynamic_cast<TbsGraphicSkinControl*>(AControl)) {
    if (G->SkinData() == ASkinData || !ASkinData) G->BeforeChangeSkinData();
  }
  if (auto* W = dynamic_cast<cl::TWinControl*>(AControl))
    for (int i = 0; i < W->ControlCount(); ++i) BeforeChangeChildrenSkinData(ASkinData, W->Controls(i));
}

void TbsSkinForm::ChangeChildrenSkinData(TbsSkinData* ASkinData, cl::TControl* AControl) {
  if (!AControl) return;
  if (AControl != FForm)
    if (auto* C = dynamic_cast<TbsSkinChangeable*>(AControl))
      if (C->SkinData() == ASkinData || !ASkinData) C->ChangeSkinData();
  if (auto* W = dynamic_cast<cl::TWinControl*>(AControl))
    for (int i = 0; i < W->ControlCount(); ++i) ChangeChildrenSkinData(ASkinData, W->Controls(i));
}

void TbsSkinForm::SetQuickImageList(cl::TCustomImageList* Value) {
  if (FQuickImageList) FQuickImageList->RemoveFreeNotification(this);
  FQuickImageList = Value;
  if (FQuickImageList) FQuickImageList->FreeNotification(this);
  SendNCPaint();
}

void TbsSkinForm::SetSkinHint(TbsSkinHint* Value) {
  if (FSkinHint) FSkinHint->RemoveFreeNotification(this);
  FSkinHint = Value;
  if (FSkinHint) FSkinHint->FreeNotification(this);
}

void TbsSkinForm::SetBorderIcons(TbsBorderIcons Value) {
  FBorderIcons = Value;
  if (Loading()) return;
  UpdateObjectsByBorderIcons();
  SendNCPaint();
}

// ---------------------------------------------------------------------------
// Limits and activity.

int TbsSkinForm::GetMinWidth() {
  if (!HasSkin()) return MinWidth > 0 ? MinWidth : 120;
  int PW = FSD->FPicture ? FSD->FPicture->Width() : 0;
  bool Minimized = FWindowState == cl::wsMinimized;
  if (PW < MinWidth && !Minimized) return MinWidth;
  if (FSD->FormMinWidth > 0) return FSD->FormMinWidth >= MinWidth || Minimized ? FSD->FormMinWidth : MinWidth;
  return PW;
}

int TbsSkinForm::GetMinHeight() {
  int H;
  if (HasSkin())
    H = (FSD->FPicture ? FSD->FPicture->Height() : 0) - RectHeight(FSD->ClRect);
  else
    H = GetDefCaptionHeight() + 6;
  if (H < MinHeight && !FRollUpState && FWindowState != cl::wsMinimized) return MinHeight;
  return H;
}

int TbsSkinForm::GetMaxWidth() {
  if (MaxWidth) return MaxWidth;
  TRect R{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : HWND{}, !MaximizeOnFullScreen, R);
  return RectWidth(R);
}

int TbsSkinForm::GetMaxHeight() {
  if (MaxHeight) return MaxHeight;
  TRect R{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : HWND{}, !MaximizeOnFullScreen, R);
  return RectHeight(R);
}

bool TbsSkinForm::GetFormActive() {
  if (PreviewMode) return true;
  return FForm->Active();
}

// ---------------------------------------------------------------------------
// Geometry.

void TbsSkinForm::CalcSkinRects() {
  if (!HasSkin() || !FSD->FPicture) return;
  if (FFormWidth == 0) FFormWidth = FForm->Width();
  if (FFormHeight == 0) FFormHeight = FForm->Height();
  int PW = FSD->FPicture->Width(), PH = FSD->FPicture->Height();
  int dx = FFormWidth - PW, dy = FFormHeight - PH;
  NewLTPoint = FSD->LTPoint;
  NewRTPoint = {FSD->RTPoint.X + dx, FSD->RTPoint.Y};
  NewLBPoint = {FSD->LBPoint.X, FSD->LBPoint.Y + dy};
  NewRBPoint = {FSD->RBPoint.X + dx, FSD->RBPoint.Y + dy};
  NewClRect = {FSD->ClRect.Left, FSD->ClRect.Top, FSD->ClRect.Right + dx, FSD->ClRect.Bottom + dy};
  NewCaptionRect = FSD->CaptionRect;
  if (!IsNullRect(FSD->CaptionRect)) NewCaptionRect.Right += dx;
  NewButtonsRect = FSD->ButtonsRect;
  NewButtonsInLeft = FSD->CapButtonsInLeft;
  if (!IsNullRect(FSD->ButtonsRect) && FSD->ButtonsRect.Left > PW / 2) gfx::OffsetRect(NewButtonsRect, dx, 0);
  NewButtonsOffset = FSD->ButtonsOffset;
  NewHitTestLTPoint = FSD->HitTestLTPoint;
  NewHitTestRTPoint = {FSD->HitTestRTPoint.X + dx, FSD->HitTestRTPoint.Y};
  NewHitTestLBPoint = {FSD->HitTestLBPoint.X, FSD->HitTestLBPoint.Y + dy};
  NewHitTestRBPoint = {FSD->HitTestRBPoint.X + dx, FSD->HitTestRBPoint.Y + dy};
  NewMaskRectArea = {FSD->MaskRectArea.Left, FSD->MaskRectArea.Top, FSD->MaskRectArea.Right + dx,
                     FSD->MaskRectArea.Bottom + dy};
}

TRect TbsSkinForm::MapSkinRect(const TRect& R) {
  if (!HasSkin() || !FSD->FPicture) return R;
  int PW = FSD->FPicture->Width(), PH = FSD->FPicture->Height();
  TRect LT{0, 0, FSD->LTPoint.X, FSD->LTPoint.Y};
  TRect RT{FSD->RTPoint.X, 0, PW, FSD->RTPoint.Y};
  TRect LB{0, FSD->LBPoint.Y, FSD->LBPoint.X, PH};
  TRect RB{FSD->RBPoint.X, FSD->RBPoint.Y, PW, PH};
  int dx = NewRBPoint.X - FSD->RBPoint.X, dy = NewRBPoint.Y - FSD->RBPoint.Y;
  TPoint TL = R.TopLeft(), BR = R.BottomRight();
  auto In = [](const TRect& Z, TPoint P) { return InRectHalfOpen(Z, P); };
  TRect N = R;
  if (In(LT, TL) && In(LT, BR)) return N;
  if (In(RT, TL) && In(RT, BR)) {
    gfx::OffsetRect(N, dx, 0);
    return N;
  }
  if (In(LB, TL) && In(LB, BR)) {
    gfx::OffsetRect(N, 0, dy);
    return N;
  }
  if (In(RB, TL) && In(RB, BR)) {
    gfx::OffsetRect(N, dx, dy);
    return N;
  }
  if (In(LT, TL) && In(RB, BR)) {
    N.Right += dx;
    N.Bottom += dy;
  } else if (In(LT, TL) && In(RT, BR)) {
    N.Right += dx;
  } else if (In(LB, TL) && In(RB, BR)) {
    N.Right += dx;
    gfx::OffsetRect(N, 0, dy);
  } else if (In(LT, TL) && In(LB, BR)) {
    N.Bottom += dy;
  } else if (In(RT, TL) && In(RB, BR)) {
    gfx::OffsetRect(N, dx, 0);
    N.Bottom += dy;
  }
  return N;
}

void TbsSkinForm::GetSmallIconSize(int& W, int& H) {
  W = GetSystemMetrics(SM_CXSMICON);
  H = GetSystemMetrics(SM_CYSMICON);
  if (W == 0) W = GetSystemMetrics(SM_CXSIZE);
  if (H == 0) H = GetSystemMetrics(SM_CYSIZE);
}

void TbsSkinForm::ArrangeObjects() {
  for (auto& O : ObjectList)
    if (!O->SkinRectInAPicture) O->ObjectRect = MapSkinRect(O->SkinRect);
  TRect Area;
  bool ByButtons = !IsNullRect(NewButtonsRect);
  if (ByButtons)
    Area = NewButtonsRect;
  else if (!IsNullRect(NewCaptionRect))
    Area = NewCaptionRect;
  else
    return;
  int Top = Area.Top;
  auto SizeOf = [this](TbsActiveSkinObject* O, int& W, int& H) {
    W = RectWidth(O->SkinRect);
    H = RectHeight(O->SkinRect);
    auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O);
    if (S && S->Command == cmSysMenu && S->SkinRectInAPicture && ShowIcon) GetSmallIconSize(W, H);
  };
  auto CommandOf = [](TbsActiveSkinObject* O, bool& Has) -> TbsStdCommand {
    Has = true;
    if (auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O)) return S->Command;
    if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(O)) return A->Command;
    Has = false;
    return cmDefault;
  };
  auto Find = [&](TbsStdCommand C) -> TbsActiveSkinObject* {
    for (auto& O : ObjectList)
      if (auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O.get()))
        if (S->Visible && S->SkinRectInAPicture && S->Command == C) return S;
    for (auto& O : ObjectList)
      if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get()))
        if (A->Visible && A->SkinRectInAPicture && A->Command == C) return A;
    return nullptr;
  };
  TbsSkinCaptionObject* Cap = nullptr;
  for (auto& O : ObjectList)
    if ((Cap = dynamic_cast<TbsSkinCaptionObject*>(O.get()))) break;
  const TbsStdCommand Order[] = {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray};
  std::vector<TbsActiveSkinObject*> Row;
  for (TbsStdCommand C : Order)
    if (auto* O = Find(C)) Row.push_back(O);
  for (auto& O : ObjectList) {
    bool Has;
    TbsStdCommand C = CommandOf(O.get(), Has);
    if (Has && C == cmDefault && O->Visible && O->SkinRectInAPicture) Row.push_back(O.get());
  }
  int W, H;
  if (!NewButtonsInLeft) {
    int X = Area.Right;
    for (auto* O : Row) {
      SizeOf(O, W, H);
      O->ObjectRect = {X - W, Top, X, Top + H};
      X -= W + NewButtonsOffset;
    }
    if (!ByButtons && Cap) Cap->ObjectRect.Right = X + NewButtonsOffset;
    if (auto* S = Find(cmSysMenu)) {
      SizeOf(S, W, H);
      int X2 = NewCaptionRect.Left;
      int T = NewCaptionRect.Top + RectHeight(NewCaptionRect) / 2 - H / 2;
      S->ObjectRect = {X2, T, X2 + W, T + H};
      X2 += W + NewButtonsOffset;
      if (Cap) Cap->ObjectRect.Left = X2 - NewButtonsOffset;
    }
  } else {
    int X = Area.Left;
    for (auto* O : Row) {
      SizeOf(O, W, H);
      O->ObjectRect = {X, Top, X + W, Top + H};
      X += W + NewButtonsOffset;
    }
    if (!ByButtons) {
      if (auto* S = Find(cmSysMenu)) {
        SizeOf(S, W, H);
        S->ObjectRect = {X, Top, X + W, Top + H};
        X += W + NewButtonsOffset;
      }
      if (Cap) Cap->ObjectRect.Left = X + NewButtonsOffset;
    }
  }
}

int TbsSkinForm::GetDefCaptionHeight() {
  auto BS = FForm->BorderStyle();
  return BS == cl::bsToolWindow || BS == cl::bsSizeToolWin ? 15 : 19;
}

int TbsSkinForm::GetDefButtonSize() {
  auto BS = FForm->BorderStyle();
  return BS == cl::bsToolWindow || BS == cl::bsSizeToolWin ? 13 : 17;
}

bool TbsSkinForm::CanResize() {
  auto BS = FForm->BorderStyle();
  return AlwaysResize || BS == cl::bsSizeable || BS == cl::bsSizeToolWin;
}

void TbsSkinForm::CalcDefRects() {
  if (FFormWidth == 0) FFormWidth = FForm->Width();
  if (FFormHeight == 0) FFormHeight = FForm->Height();
  int X = FFormWidth - kDefBorder;
  NewDefCaptionRect = {kDefBorder, kDefBorder, X, GetDefCaptionHeight()};
  if (ObjectList.empty()) return;
  int Size = GetDefButtonSize();
  auto FindStd = [this](TbsStdCommand C) -> TbsSkinStdButtonObject* {
    for (auto& O : ObjectList)
      if (auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O.get()))
        if (S->Visible && S->SkinRectInAPicture && S->Command == C) return S;
    return nullptr;
  };
  for (TbsStdCommand C : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
    if (auto* S = FindStd(C)) {
      S->ObjectRect = {X - Size, 4, X, 4 + Size};
      X -= Size;
    }
  NewDefCaptionRect.Right = X;
  if (auto* S = FindStd(cmSysMenu)) {
    int W = Size, H = Size;
    if (ShowIcon) GetSmallIconSize(W, H);
    S->ObjectRect = {kDefBorder, 4, kDefBorder + W, 4 + H};
    NewDefCaptionRect.Left = kDefBorder + W;
  }
}

TRect TbsSkinForm::GetDefCaptionRect() {
  CalcDefRects();
  return NewDefCaptionRect;
}

bool TbsSkinForm::PointInMask(TPoint P) {
  if (InRectHalfOpen(NewMaskRectArea, P)) return true;
  // Rows above the inner rectangle's top are the top strip's (the strip has
  // rows 0 .. Top - 1); the row at Top itself belongs to the side strips.
  if (P.Y < NewMaskRectArea.Top) return BlackAt(RMTop, P.X, P.Y);
  if (P.Y >= NewMaskRectArea.Bottom) return BlackAt(RMBottom, P.X, P.Y - NewMaskRectArea.Bottom);
  if (P.X <= NewMaskRectArea.Left) return BlackAt(RMLeft, P.X, P.Y - NewMaskRectArea.Top);
  return BlackAt(RMRight, P.X - NewMaskRectArea.Right, P.Y - NewMaskRectArea.Top);
}

int TbsSkinForm::SkinHitTest(TPoint P) {
  bool InCaption = false;
  for (auto& O : ObjectList)
    if (auto* C = dynamic_cast<TbsSkinCaptionObject*>(O.get())) {
      TRect R = O->ObjectRect;
      // The quick buttons are pressed, not dragged.
      if (C->QuickButtonsActive()) R.Left += FQuickButtons->Count() * (FQuickImageList->Width() + 8);
      InCaption = InRectHalfOpen(R, P);
      break;
    }
  if (FRollUpState || FWindowState == cl::wsMinimized) return InCaption ? HTCAPTION : HTOBJECT;
  bool InClient = InRectHalfOpen(NewClRect, P);
  if (ActiveObject != -1 && !InCaption && !InClient && !FSizeMove) return HTOBJECT;
  auto Plain = [&]() { return InClient ? HTCLIENT : InCaption ? HTCAPTION : HTOBJECT; };
  if (FWindowState == cl::wsMaximized || !CanResize()) return Plain();
  int W = FFormWidth, H = FFormHeight, B = FSD->BorderW;
  const TPoint Probe[4] = {{P.X - B, P.Y}, {P.X, P.Y - B}, {P.X + B, P.Y}, {P.X, P.Y + B}};
  bool Near = false;
  // The form's own edge always gives a grip a border wide, also where a
  // mask's strips are thinner than the border (a slightly rounded skin).
  for (const TPoint& Q : Probe)
    if (!InRectHalfOpen(TRect{0, 0, W, H}, Q)) Near = true;
  if (!Near && FSD->FMask && !FSD->FMask->Empty() && !InRectHalfOpen(NewMaskRectArea, P)) {
    for (const TPoint& Q : Probe)
      if (!PointInMask(Q)) Near = true;
  }
  if (!Near) return Plain();
  const TPoint LT = NewHitTestLTPoint, RT = NewHitTestRTPoint, LB = NewHitTestLBPoint, RB = NewHitTestRBPoint;
  if (P.X <= LT.X && P.Y <= LT.Y) return HTTOPLEFT;
  if (P.X >= RT.X && P.Y <= RT.Y) return HTTOPRIGHT;
  if (P.X <= LB.X && P.Y >= LB.Y) return HTBOTTOMLEFT;
  if (P.X >= RB.X && P.Y >= RB.Y) return HTBOTTOMRIGHT;
  if (InRectHalfOpen(TRect{LT.X, 0, RT.X, NewClRect.Top}, P)) return HTTOP;
  if (InRectHalfOpen(TRect{LB.X, NewClRect.Bottom, RB.X, H}, P)) return HTBOTTOM;
  if (InRectHalfOpen(TRect{0, LT.Y, NewClRect.Left, LB.Y}, P)) return HTLEFT;
  if (InRectHalfOpen(TRect{NewClRect.Right, RT.Y, W, RB.Y}, P)) return HTRIGHT;
  return Plain();
}

int TbsSkinForm::DefaultHitTest(TPoint P) {
  int W = FFormWidth, H = FFormHeight;
  TRect Cap = GetDefCaptionRect();
  int CH = GetDefCaptionHeight();
  TRect Cl{kDefBorder, CH + kDefBorder, W - kDefBorder, H - kDefBorder};
  auto Plain = [&]() { return InRectHalfOpen(Cap, P) ? HTCAPTION : InRectHalfOpen(Cl, P) ? HTCLIENT : HTOBJECT; };
  if (FWindowState != cl::wsNormal || FRollUpState || !CanResize()) return Plain();
  if (ActiveObject != -1) return HTOBJECT;
  int X = P.X, Y = P.Y;
  if (X <= 2 && Y <= 2) return HTTOPLEFT;
  if (X >= W - 2 && Y <= 2) return HTTOPRIGHT;
  if (X <= 2 && Y >= H - 2) return HTBOTTOMLEFT;
  if (X >= W - 2 && Y >= H - 2) return HTBOTTOMRIGHT;
  if (X <= 2) return HTLEFT;
  if (Y <= 2) return HTTOP;
  if (X >= W - 2) return HTRIGHT;
  if (Y >= H - 2) return HTBOTTOM;
  return Plain();
}

void TbsSkinForm::ScreenToFormPoint(TPoint& P) {
  RECT R{};
  if (FForm->HandleAllocated() && GetWindowRect(FForm->Handle(), &R)) {
    P.X -= R.Left;
    P.Y -= R.Top;
  } else {
    P.X -= FForm->Left();
    P.Y -= FForm->Top();
  }
}

TPoint TbsSkinForm::LParamToForm(LPARAM lp) {
  TPoint P = PointOf(lp);
  ScreenToFormPoint(P);
  return P;
}

void TbsSkinForm::UpdateFormRegion() {
  if (!FForm->HandleAllocated()) return;
  HWND Wnd = FForm->Handle();
  auto Keep = [this](gfx::HRGN R) {
    if (FRgn) gfx::DeleteObject(FRgn);
    FRgn = gfx::HRGN{};
    if (R) {
      FRgn = gfx::CreateRectRgn(0, 0, 0, 0);
      gfx::CombineRgn(FRgn, R, R, gfx::RGN_COPY);
    }
    SetWindowRgn(FForm->Handle(), R, TRUE);
  };
  if (!FSkinnableForm || !FrameShown()) {
    Keep(gfx::HRGN{});
    return;
  }
  (void)Wnd;
  if (!HasSkin()) {
    RMTop.SetSize(0, 0);
    RMBottom.SetSize(0, 0);
    RMLeft.SetSize(0, 0);
    RMRight.SetSize(0, 0);
    Keep(gfx::CreateRectRgn(0, 0, FFormWidth, FFormHeight));
    return;
  }
  if (!FSD->FMask || FSD->FMask->Empty()) {
    Keep(gfx::CreateRectRgn(0, 0, FFormWidth, FFormHeight));
    return;
  }
  TbsNinePart Src{FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->MaskRectArea};
  TbsNinePart New{NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewMaskRectArea};
  CreateSkinMaskImages(Src, New, FSD->FMask.get(), TbsFrameStrips{&RMLeft, &RMTop, &RMRight, &RMBottom}, FFormWidth,
                       FFormHeight);
  gfx::HRGN R{};
  CreateSkinRegion(R, Src, New, FSD->FMask.get(), FFormWidth, FFormHeight);
  Keep(R);
}

void TbsSkinForm::UpdateFrame() {
  if (!HasSkin()) return;
  if (FSkinnableForm) {
    CalcSkinRects();
    ArrangeObjects();
  }
  UpdateFormRegion();
  if (!FRgn && FSkinnableForm && FrameShown()) SendNCPaint();
  if (FSD->StretchEffect) {
    FForm->Repaint();
    NotifyControlsBGChanged();
  }
}

void TbsSkinForm::RefreshFormSize() {
  int W = FForm->Width();
  if (W - 1 < GetMinWidth()) {
    FForm->SetWidth(W + 1);
    FForm->SetWidth(W);
  } else {
    FForm->SetWidth(W - 1);
    FForm->SetWidth(W);
  }
}

void TbsSkinForm::NotifyControlsBGChanged() {
  for (int i = 0; i < FForm->ControlCount(); ++i)
    if (auto* W = dynamic_cast<cl::TWinControl*>(FForm->Controls(i)))
      if (W->HandleAllocated()) win::SendMessage(W->Handle(), WM_PARENT_BG_CHANGED, 0, 0);
}

// ---------------------------------------------------------------------------
// Painting.

void TbsSkinForm::PaintNCSkin(gfx::HDC DC, bool AUseExternalDC) {
  if (!HasSkin() || !FSD->FPicture || !FForm->HandleAllocated()) return;
  if (FFormWidth == 0) FFormWidth = FForm->Width();
  if (FFormHeight == 0) FFormHeight = FForm->Height();
  if (FFormWidth < GetMinWidth() || FFormHeight < GetMinHeight()) return;
  CalcSkinRects();
  ArrangeObjects();
  bool Active = GetFormActive();
  TBitmap* Pic = FSD->FPicture.get();
  if (!Active && FSD->FInActivePicture && !FSD->FInActivePicture->Empty()) Pic = FSD->FInActivePicture.get();
  TBitmap Top, Bottom, Left, Right;
  TbsNinePart Src{FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->ClRect};
  TbsNinePart New{NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect};
  TbsNinePartStretch St;
  St.LeftStretch = FSD->LeftStretch;
  St.TopStretch = FSD->TopStretch;
  St.RightStretch = FSD->RightStretch;
  St.BottomStretch = FSD->BottomStretch;
  CreateSkinBorderImages(Src, New, TbsFrameStrips{&Left, &Top, &Right, &Bottom},
                         TbsPictureRect{Pic, TRect{0, 0, Pic->Width(), Pic->Height()}}, FFormWidth, FFormHeight, St);
  for (auto& O : ObjectList) {
    if (!O->Visible) continue;
    if (O->ObjectRect.Bottom <= NewClRect.Top) {
      if (!Top.Empty()) O->Draw(Top.Canvas(), false);
    } else if (!Bottom.Empty()) {
      TRect Saved = O->ObjectRect;
      gfx::OffsetRect(O->ObjectRect, 0, -NewClRect.Bottom);
      O->Draw(Bottom.Canvas(), false);
      O->ObjectRect = Saved;
    }
  }
  gfx::HDC D = AUseExternalDC ? DC : GetWindowDC(FForm->Handle());
  if (!D) return;
  if (RectHeight(NewClRect) > 0)
    gfx::ExcludeClipRect(D, NewClRect.Left, NewClRect.Top, NewClRect.Right, NewClRect.Bottom);
  gfx::TCanvas C;
  C.SetHandle(D);
  TBitmap* Strips[4] = {&Top, &Left, &Right, &Bottom};
  const TPoint At[4] = {
      {0, 0}, {0, Top.Height()}, {FFormWidth - Right.Width(), Top.Height()}, {0, FFormHeight - Bottom.Height()}};
  for (int i = 0; i < 4; ++i) {
    TBitmap* S = Strips[i];
    if (S->Empty() || S->Width() <= 0 || S->Height() <= 0) continue;
    if (!Active && FSD->AutoRenderingInActiveImage) {
      std::unique_ptr<TbsEffectBmp> E(TbsEffectBmp::CreateFromhWnd(S->Handle()));
      if (E) {
        E->ApplyInActiveEffect(FSD->InActiveEffect);
        E->Draw(D, At[i].X, At[i].Y);
        continue;
      }
    }
    C.Draw(At[i].X, At[i].Y, S);
  }
  C.SetHandle(gfx::HDC{});
  if (!AUseExternalDC) ReleaseDC(FForm->Handle(), D);
}

void TbsSkinForm::PaintNCDefault(gfx::HDC DC, bool AUseExternalDC) {
  if (FSD && FSD->ChangeSkinDataProcess) return;
  if (!FForm->HandleAllocated()) return;
  if (FFormWidth == 0) FFormWidth = FForm->Width();
  if (FFormHeight == 0) FFormHeight = FForm->Height();
  int W = FFormWidth, H = FFormHeight, CH = GetDefCaptionHeight();
  if (ObjectList.empty() && !HasSkin()) CreateDefaultObjects();
  CalcDefRects();
  TBitmap B;
  B.SetSize(std::max(W - 6, 1), CH);
  gfx::TCanvas* BC = B.Canvas();
  BC->Brush()->SetColor(gfx::clBtnFace);
  BC->FillRect(TRect{0, 0, B.Width(), B.Height()});
  int L = NewDefCaptionRect.Left - kDefBorder, R = B.Width() - NewDefCaptionRect.Right;
  if (CH - 4 > 1)
    for (int y = 2; y <= CH - 4; ++y) {
      BC->Pen()->SetColor((y - 2) % 2 == 0 ? gfx::clBtnHighlight : gfx::clBtnShadow);
      BC->MoveTo(L + 2, y);
      BC->LineTo(B.Width() - R - 6, y);
    }
  bool Active = GetFormActive();
  BC->Font()->Assign(Active ? FDefCaptionFont : FDefInActiveCaptionFont);
  std::string Text = FForm->Caption();
  if (OnCaptionPaint) {
    OnCaptionPaint(BC, TRect{L, 0, B.Width() - R - 3, CH}, Active);
  } else if (!Text.empty()) {
    FitTextToWidth(BC, Text, B.Width() - L - R);
    int TW = BC->TextWidth(Text), TH = BC->TextHeight(Text);
    int X = L + (B.Width() - L - R) / 2 - (TW + 5) / 2, Y = CH / 2 - TH / 2;
    TRect TR{X - 2, Y - 2, X + TW + 2, Y + TH + 2};
    BC->Brush()->SetColor(gfx::clBtnFace);
    BC->FillRect(TR);
    BC->Brush()->SetStyle(gfx::bsClear);
    BC->TextOut(X, Y, Text);
  }
  for (auto& O : ObjectList) {
    if (!O->Visible) continue;
    TRect Saved = O->ObjectRect;
    gfx::OffsetRect(O->ObjectRect, -kDefBorder, -kDefBorder);
    O->Draw(BC, true);
    O->ObjectRect = Saved;
  }
  gfx::HDC D = AUseExternalDC ? DC : GetWindowDC(FForm->Handle());
  if (!D) return;
  gfx::ExcludeClipRect(D, kDefBorder, CH + kDefBorder, W - kDefBorder, H - kDefBorder);
  gfx::TCanvas C;
  C.SetHandle(D);
  C.Draw(kDefBorder, kDefBorder, &B);
  TRect F{0, 0, W, H};
  gfx::Frame3D(&C, F, gfx::cl3DLight, gfx::cl3DDkShadow, 1);
  gfx::Frame3D(&C, F, gfx::clBtnHighlight, gfx::clBtnShadow, 1);
  gfx::Frame3D(&C, F, gfx::clBtnFace, gfx::clBtnFace, 1);
  C.SetHandle(gfx::HDC{});
  if (!AUseExternalDC) ReleaseDC(FForm->Handle(), D);
}

namespace {

// The client background from one picture: stretched by the stretch type or
// tiled from the client's top-left.
void PaintPictureBG(gfx::HDC DC, TBitmap* B, const TRect& Src, bool Stretch, TbsStretchType Type, int FW, int FH,
                    int CW, int CH) {
  int BW = RectWidth(Src), BH = RectHeight(Src);
  if (!B || BW <= 0 || BH <= 0 || CW <= 0 || CH <= 0) return;
  gfx::TCanvas C;
  C.SetHandle(DC);
  TBitmap Piece;
  Piece.SetSize(BW, BH);
  Piece.Canvas()->CopyRect(TRect{0, 0, BW, BH}, B->Canvas(), Src);
  if (Stretch) {
    if (Type == bsstFull) {
      C.StretchDraw(TRect{0, 0, FW, FH}, &Piece);
    } else if (Type == bsstHorz) {
      TBitmap S;
      S.SetSize(BW, FH);
      S.Canvas()->StretchDraw(TRect{0, 0, BW, FH}, &Piece);
      for (int i = 0; i <= FW / BW; ++i) C.Draw(i * BW, 0, &S);
    } else {
      TBitmap S;
      S.SetSize(FW, BH);
      S.Canvas()->StretchDraw(TRect{0, 0, FW, BH}, &Piece);
      for (int j = 0; j <= FH / BH; ++j) C.Draw(0, j * BH, &S);
    }
  } else {
    for (int i = 0; i <= CW / BW; ++i)
      for (int j = 0; j <= CH / BH; ++j) C.Draw(i * BW, j * BH, &Piece);
  }
  C.SetHandle(gfx::HDC{});
}

}  // namespace

void TbsSkinForm::PaintBG(gfx::HDC DC) {
  if (!HasSkin()) {
    PaintBGDefault(DC);
    return;
  }
  if (IsNullRect(FSD->ClRect) || !FSD->FPicture) {
    gfx::TCanvas C;
    C.SetHandle(DC);
    C.Brush()->SetColor(gfx::clBtnFace);
    C.FillRect(FForm->ClientRect());
    C.SetHandle(gfx::HDC{});
    return;
  }
  TRect CR = FForm->ClientRect();
  PaintPictureBG(DC, FSD->FPicture.get(), FSD->ClRect, FSD->StretchEffect, FSD->StretchType, FFormWidth, FFormHeight,
                 CR.Width(), CR.Height());
  DrawLogoDC(DC);
}

void TbsSkinForm::PaintBG2(gfx::HDC DC) {
  // An index at or beyond the picture list is "no background picture", as
  // everywhere else in the skin; the plain client look is painted instead.
  if (!HasSkin() || FSD->BGPictureIndex < 0 || FSD->BGPictureIndex >= int(FSD->FActivePictures.size()) ||
      !FSD->FActivePictures[size_t(FSD->BGPictureIndex)] ||
      FSD->FActivePictures[size_t(FSD->BGPictureIndex)]->Empty()) {
    PaintBG(DC);
    return;
  }
  TBitmap* B = FSD->FActivePictures[size_t(FSD->BGPictureIndex)].get();
  TRect CR = FForm->ClientRect();
  PaintPictureBG(DC, B, TRect{0, 0, B->Width(), B->Height()}, FSD->StretchEffect, FSD->StretchType, FFormWidth,
                 FFormHeight, CR.Width(), CR.Height());
  DrawLogoDC(DC);
}

void TbsSkinForm::PaintBGDefault(gfx::HDC DC) {
  gfx::TCanvas C;
  C.SetHandle(DC);
  C.Brush()->SetColor(gfx::clBtnFace);
  C.FillRect(FForm->ClientRect());
  DrawLogo(&C);
  C.SetHandle(gfx::HDC{});
}

void TbsSkinForm::DrawSkinObject(TbsActiveSkinObject* AObject) {
  if (!AObject || !FrameShown() || !FForm->HandleAllocated() || !FSkinnableForm) return;
  if (!IsWindowVisible(FForm->Handle())) return;
  gfx::HDC D = GetWindowDC(FForm->Handle());
  if (!D) return;
  gfx::TCanvas C;
  C.SetHandle(D);
  AObject->Draw(&C, true);
  C.SetHandle(gfx::HDC{});
  ReleaseDC(FForm->Handle(), D);
}

void TbsSkinForm::UserObjectDraw(const std::string& AIDName) {
  int i = GetIndex(AIDName);
  if (i < 0) return;
  if (auto* U = dynamic_cast<TbsUserObject*>(ObjectList[size_t(i)].get())) U->Draw(FForm->Canvas(), true);
}

void TbsSkinForm::DrawFormIcon(gfx::TCanvas* Cnvs, int X, int Y) {
  int W, H;
  GetSmallIconSize(W, H);
  gfx::TIcon* I = FForm->Icon();
  if (I && !I->Empty()) Cnvs->StretchDraw(TRect{X, Y, X + W, Y + H}, I);
}

// ---------------------------------------------------------------------------
// Caption objects.

void TbsSkinForm::ClearObjects() {
  ObjectList.clear();
  ActiveObject = OldActiveObject = MouseCaptureObject = -1;
}

int TbsSkinForm::GetIndex(const std::string& AIDName) {
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->IDName == AIDName) return int(i);
  return -1;
}

void TbsSkinForm::CreateSkinObjects() {
  ClearObjects();
  if (!FSD) return;
  for (auto& R : FSD->ObjectList) {
    TbsDataSkinObject* D = R.get();
    if (dynamic_cast<TbsDataSkinMainMenuItem*>(D) || dynamic_cast<TbsDataSkinMenuItem*>(D) ||
        dynamic_cast<TbsDataSkinMainMenuBarButton*>(D))
      continue;
    if (dynamic_cast<TbsDataSkinStdButton*>(D))
      ObjectList.push_back(std::make_unique<TbsSkinStdButtonObject>(this, D));
    else if (dynamic_cast<TbsDataSkinButton*>(D))
      ObjectList.push_back(std::make_unique<TbsSkinButtonObject>(this, D));
    else if (dynamic_cast<TbsDataSkinCaption*>(D))
      ObjectList.push_back(std::make_unique<TbsSkinCaptionObject>(this, D));
    else if (dynamic_cast<TbsDataSkinAnimate*>(D))
      ObjectList.push_back(std::make_unique<TbsSkinAnimateObject>(this, D));
    else if (dynamic_cast<TbsDataUserObject*>(D))
      ObjectList.push_back(std::make_unique<TbsUserObject>(this, D));
  }
}

void TbsSkinForm::CreateDefaultObjects() {
  ClearObjects();
  const std::pair<TbsStdCommand, const char*> Def[] = {{cmClose, "closebutton"},     {cmMaximize, "maxbutton"},
                                                       {cmMinimize, "minbutton"},    {cmRollUp, "rollupbutton"},
                                                       {cmSysMenu, "sysmenubutton"}, {cmMinimizeToTray, "traybutton"}};
  for (auto& [C, N] : Def) {
    auto B = std::make_unique<TbsSkinStdButtonObject>(this, nullptr);
    B->Command = C;
    B->IDName = N;
    B->SkinRectInAPicture = true;
    B->SkinRect = B->ActiveSkinRect = B->DownRect = TRect{0, 0, 1, 1};
    ObjectList.push_back(std::move(B));
  }
  UpdateObjectsByBorderIcons();
}

void TbsSkinForm::TestActive(int X, int Y, bool AFlag) {
  if (ObjectList.empty() || !GetFormActive() || FSizeMove || PreviewMode || !FrameShown()) {
    // An inactive form keeps nothing lit.
    if (!(X == -1 && Y == -1 && !AFlag) || ObjectList.empty()) return;
    if (ActiveObject == -1) return;
  }
  OldActiveObject = ActiveObject;
  int Hit = -1;
  for (size_t i = 0; i < ObjectList.size(); ++i) {
    auto& O = ObjectList[i];
    if (O->Enabled && O->Visible && InRectHalfOpen(O->ObjectRect, TPoint{X, Y}) &&
        O->PointInObject(X - O->ObjectRect.Left, Y - O->ObjectRect.Top)) {
      Hit = int(i);
      break;
    }
  }
  ActiveObject = AFlag ? Hit : -1;
  if (MouseCaptureObject != -1 && MouseCaptureObject != ActiveObject) ActiveObject = -1;
  if (ActiveObject >= int(ObjectList.size())) ActiveObject = -1;
  if (OldActiveObject >= int(ObjectList.size())) OldActiveObject = -1;
  if (ActiveObject == OldActiveObject) return;
  if (OldActiveObject != -1) {
    auto& O = ObjectList[size_t(OldActiveObject)];
    if (O->Enabled && O->Visible) {
      O->MouseLeave();
      if (ShowObjectHint && FSkinHint && !O->Hint.empty()) FSkinHint->HideHint();
    }
  }
  if (ActiveObject != -1) {
    auto& O = ObjectList[size_t(ActiveObject)];
    if (O->Enabled && O->Visible) {
      O->MouseEnter();
      if (ShowObjectHint && FSkinHint && !O->Hint.empty()) FSkinHint->ActivateHint2(O->Hint);
    }
  }
}

void TbsSkinForm::ObjectsMouseMove(int X, int Y) {
  int i = MouseCaptureObject != -1 ? MouseCaptureObject : ActiveObject;
  if (i >= 0 && i < int(ObjectList.size())) ObjectList[size_t(i)]->MouseMove(X, Y);
}

void TbsSkinForm::ObjectsMouseDown(cl::TMouseButton Button, int X, int Y) {
  if (ActiveObject < 0 || ActiveObject >= int(ObjectList.size())) return;
  auto* O = ObjectList[size_t(ActiveObject)].get();
  if (!dynamic_cast<TbsSkinCaptionObject*>(O)) SetCapture(FForm->Handle());
  MouseCaptureObject = ActiveObject;
  O->MouseDown(X, Y, Button);
}

void TbsSkinForm::ObjectsMouseUp(cl::TMouseButton Button, int X, int Y) {
  if (MouseCaptureObject < 0 || MouseCaptureObject >= int(ObjectList.size())) {
    MouseCaptureObject = -1;
    return;
  }
  auto* O = ObjectList[size_t(MouseCaptureObject)].get();
  MouseCaptureObject = -1;
  if (!dynamic_cast<TbsSkinCaptionObject*>(O) && GetCapture() == FForm->Handle()) ReleaseCapture();
  cl::Keep<TbsSkinForm> K(this);
  O->MouseUp(X, Y, Button);
}

void TbsSkinForm::ObjectsDblClick() {
  if (ActiveObject >= 0 && ActiveObject < int(ObjectList.size())) ObjectList[size_t(ActiveObject)]->DblClick();
}

void TbsSkinForm::UpdateCaptionActivity(bool AAnimate) {
  bool A = GetFormActive();
  for (auto& O : ObjectList) {
    auto* C = dynamic_cast<TbsSkinCaptionObject*>(O.get());
    if (!C || C->Active == A) continue;
    C->Active = A;
    if (AAnimate) {
      if (C->EnableAnimation()) {
        C->FIncTime = 25;
        C->CurrentFrame = A ? 1 : C->InActiveAnimation ? C->FrameCount : 0;
        FAnimateTimer->SetEnabled(true);
      }
      if (C->EnableMorphing() && C->CanMorphing()) FMorphTimer->SetEnabled(true);
      SendNCPaint();
    }
    break;
  }
  if (A)
    OnActivate(this);
  else
    OnDeActivate(this);
}

void TbsSkinForm::ResetObjectStates() {
  for (auto& O : ObjectList) {
    if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get())) {
      A->FMouseIn = false;
      A->Active = false;
      A->FFrame = 1;
    } else if (!dynamic_cast<TbsSkinCaptionObject*>(O.get())) {
      O->Active = false;
      O->FMouseIn = false;
      O->FMorphKf = 0;
    }
  }
}

void TbsSkinForm::UpdateObjectsByBorderIcons() {
  for (auto& O : ObjectList) {
    auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O.get());
    auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get());
    if (!S && !A) continue;
    if (HideCaptionButtons) {
      O->Enabled = false;
      O->Visible = !O->SkinRectInAPicture;
      continue;
    }
    if (A && !A->ButtonStyle) continue;
    TbsStdCommand C = S ? S->Command : A->Command;
    bool E = true;
    switch (C) {
      case cmMaximize:
        E = FBorderIcons & biMaximize;
        break;
      case cmMinimize:
        E = FBorderIcons & biMinimize;
        break;
      case cmRollUp:
        E = FBorderIcons & biRollUp;
        break;
      case cmMinimizeToTray:
        E = FBorderIcons & biMinimizeToTray;
        break;
      case cmSysMenu:
        E = (FBorderIcons & biSystemMenu) && !DisableSystemMenu;
        break;
      case cmDefault: {
        bool V = false;
        OnActivateCustomObject(O->IDName, V);
        O->Visible = V;
        continue;
      }
      case cmClose:
        continue;
    }
    O->Enabled = E;
    O->Visible = O->SkinRectInAPicture ? E : true;
  }
  UpdateObjectHints();
}

// A window command's caption or hint: the skin's interface text when it has one.
// A child of a multiple-document form closes with Ctrl+F4, any other form with Alt+F4.
cl::TShortCut TbsSkinForm::CloseShortCut() const {
  return MDIMain ? cl::ShortCut(VK_F4, cl::ssCtrl) : cl::ShortCut(VK_F4, cl::ssAlt);
}

static std::string SysMenuText(TbsSkinData* SD, const char* Key, const char* Default) {
  if (SD && SD->ResourceStrData()) {
    std::string T = SD->ResourceStrData()->GetResStr(Key);
    if (!T.empty()) return T;
  }
  return Default;
}

void TbsSkinForm::UpdateObjectHints() {
  if (!UseDefaultObjectHint || !FSD) return;
  for (auto& O : ObjectList) {
    auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O.get());
    auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get());
    if (!S && !A) continue;
    TbsStdCommand C = S ? S->Command : A->Command;
    const char* Key = nullptr;
    const char* Text = nullptr;
    switch (C) {
      case cmClose:
        Key = "CLOSEBUTTON_HINT";
        Text = "Close";
        break;
      case cmMaximize:
        Key = "MAXBUTTON_HINT";
        Text = "Maximize";
        break;
      case cmMinimize:
        Key = "MINBUTTON_HINT";
        Text = "Minimize";
        break;
      case cmSysMenu:
        Key = "MENUBUTTON_HINT";
        Text = "System menu";
        break;
      case cmRollUp:
        Key = "ROLLUPBUTTON_HINT";
        Text = "Roll Up";
        break;
      case cmMinimizeToTray:
        Key = "TRAYBUTTON_HINT";
        Text = "Minimize to Tray";
        break;
      case cmDefault:
        break;
    }
    if (!Text) continue;
    std::string Hint = SysMenuText(FSD, Key, Text), Restore = SysMenuText(FSD, "RESTORE_HINT", "Restore");
    O->Hint = Hint;
    if (S) {
      S->FTempHint = Hint;
      S->RestoreHint = Restore;
    } else {
      A->FTempHint = Hint;
      A->RestoreHint = Restore;
    }
  }
}

void TbsSkinForm::LinkMenu(const std::string& AIDName, cl::TMenu* AMenu, bool APopupUp) {
  int i = GetIndex(AIDName);
  if (i < 0 || !AMenu) return;
  if (auto* B = dynamic_cast<TbsSkinButtonObject*>(ObjectList[size_t(i)].get())) {
    B->MenuItem = AMenu->Items();
    B->FPopupUp = APopupUp;
  } else if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(ObjectList[size_t(i)].get())) {
    if (A->ButtonStyle) {
      A->MenuItem = AMenu->Items();
      A->FPopupUp = APopupUp;
    }
  }
}

void TbsSkinForm::SetEnabled(const std::string& AIDName, bool Value) {
  int i = GetIndex(AIDName);
  if (i >= 0) ObjectList[size_t(i)]->Enabled = Value;
}

void TbsSkinForm::MouseTimerTick(rtl::TObject*) {
  if (!GetFormActive() || !FForm->HandleAllocated()) return;
  POINT P{};
  GetCursorPos(&P);
  HWND Under = WindowFromPoint(P);
  if (Under != FForm->Handle()) {
    FMouseTimer->SetEnabled(false);
    TestActive(-1, -1, false);
    return;
  }
  if (FSizeMove) {
    FMouseTimer->SetEnabled(false);
    return;
  }
  TPoint Q{P.X, P.Y};
  ScreenToFormPoint(Q);
  TRect Cl = HasSkin() ? NewClRect
                       : TRect{kDefBorder, GetDefCaptionHeight() + kDefBorder, FFormWidth - kDefBorder,
                               FFormHeight - kDefBorder};
  if (!InRectHalfOpen(Cl, Q))
    TestActive(Q.X, Q.Y, true);
  else if (ActiveObject != -1)
    TestActive(-1, -1, true);
}

void TbsSkinForm::MorphTimerTick(rtl::TObject*) {
  cl::Keep<TbsSkinForm> K(this);
  bool Any = false;
  for (size_t i = 0; i < ObjectList.size(); ++i) {
    auto* O = ObjectList[i].get();
    if (O->EnableMorphing() && O->CanMorphing()) {
      O->DoMorphing();
      Any = true;
      // The caption's last look may be text alone over the frame's band:
      // the whole frame is painted so no blended band stays under it.
      if (dynamic_cast<TbsSkinCaptionObject*>(O) && !O->CanMorphing()) SendNCPaint();
    }
  }
  if (!Any) FMorphTimer->SetEnabled(false);
}

void TbsSkinForm::AnimateTimerTick(rtl::TObject*) {
  bool Any = false;
  for (auto& O : ObjectList) {
    if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get())) {
      if (A->Active && (!A->FDown || IsNullRect(A->DownSkinRect))) {
        A->ChangeFrame();
        Any = true;
      }
    } else if (auto* C = dynamic_cast<TbsSkinCaptionObject*>(O.get())) {
      if (!C->EnableAnimation()) continue;
      if (C->FIncTime < C->AnimateInterval) {
        C->FIncTime += 25;
        Any = true;
      } else if ((C->Active && C->CurrentFrame <= C->FrameCount) || (!C->Active && C->CurrentFrame > 0)) {
        C->CurrentFrame += C->Active ? 1 : -1;
        // Past the last frame the frame's own band comes back under the text.
        if (C->CurrentFrame >= 1 && C->CurrentFrame <= C->FrameCount)
          DrawSkinObject(C);
        else
          SendNCPaint();
        C->FIncTime = 25;
        Any = true;
      }
    }
  }
  if (!Any) FAnimateTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------
// Window states.

// Where a maximized or minimized form goes: the work area of its monitor,
// or, for a form placed inside another window (a child form), that
// window's client area.
TRect TbsSkinForm::StateArea(bool WorkArea) {
  if (cl::TWinControl* P = FForm->Parent()) {
    TRect C = P->ClientRect();
    return {0, 0, C.Width(), C.Height()};
  }
  TRect WA{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetMonitorWorkArea(FForm->Handle(), WorkArea, WA);
  return WA;
}

void TbsSkinForm::CheckMagnetic(int& L, int& T, int W, int H) {
  const int MS = MagneticSize;
  TRect R = StateArea(true);
  if (FForm->Parent()) {
    TPoint O = FForm->Parent()->ClientToScreen({0, 0});
    gfx::OffsetRect(R, O.X, O.Y);
  }
  POINT C{};
  GetCursorPos(&C);
  bool Border = FBorderLayer->Visible() && IsLayerBorderUsable() && FBorderLayer->Data() &&
                !IsNullRect(FBorderLayer->Data()->BorderRect);
  if (Border) {
    L -= FBorderLayer->LeftSize;
    T -= FBorderLayer->TopSize;
    H += FBorderLayer->BottomSize;
    W += FBorderLayer->RightSize;
  }
  bool NearLeft = std::abs(L - R.Left) < MS, NearTop = std::abs(T - R.Top) < MS;
  if (NearLeft && !HMagnetized) {
    L = R.Left;
    FOnMouseDownCoord.X = C.X;
  } else if (HMagnetized && std::abs(C.X - FOnMouseDownCoord.X) > MS) {
    L = C.X + R.Left - FOnMouseDownCoord.X;
  } else if (HMagnetized) {
    L = R.Left;
  }
  HMagnetized = NearLeft;
  if (NearTop && !VMagnetized) {
    T = R.Top;
    FOnMouseDownCoord.Y = C.Y;
  } else if (VMagnetized && std::abs(C.Y - FOnMouseDownCoord.Y) > MS) {
    T = C.Y + R.Top - FOnMouseDownCoord.Y;
  } else if (VMagnetized) {
    T = R.Top;
  }
  VMagnetized = NearTop;
  bool NearRight = R.Right - MS < L + W && L + W < R.Right + MS;
  bool NearBottom = R.Bottom - MS < T + H && T + H < R.Bottom + MS;
  if (NearRight && !HMagnetized2) {
    L = R.Right - W;
    FOnMouseDownCoord.X = C.X;
  } else if (HMagnetized2 && std::abs(C.X - FOnMouseDownCoord.X) > MS) {
    L = C.X + R.Right - W - FOnMouseDownCoord.X;
  } else if (HMagnetized2) {
    L = R.Right - W;
  }
  HMagnetized2 = NearRight;
  if (NearBottom && !VMagnetized2) {
    T = R.Bottom - H;
    FOnMouseDownCoord.Y = C.Y;
  } else if (VMagnetized2 && std::abs(C.Y - FOnMouseDownCoord.Y) > MS) {
    T = C.Y + R.Bottom - H - FOnMouseDownCoord.Y;
  } else if (VMagnetized2) {
    T = R.Bottom - H;
  }
  VMagnetized2 = NearBottom;
  if (Border) {
    if (!NearRight) L += FBorderLayer->LeftSize;
    if (!NearBottom) T += FBorderLayer->TopSize;
  }
}

TPoint TbsSkinForm::GetPositionInMonitor(int AX, int AY, int AW, int AH) {
  if (PositionInMonitor == bspDefault) return {AX, AY};
  TRect R{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetMonitorWorkArea(FForm->HandleAllocated() ? FForm->Handle() : HWND{}, PositionInMonitor == bspDesktopCenter, R);
  return {R.Left + RectWidth(R) / 2 - AW / 2, R.Top + RectHeight(R) / 2 - AH / 2};
}

void TbsSkinForm::ApplyPositionInMonitor() {
  TPoint P = GetPositionInMonitor(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
  FForm->SetBounds(P.X, P.Y, FForm->Width(), FForm->Height());
}

TPoint TbsSkinForm::GetMinimizedPosition() {
  TRect WA = StateArea(true);
  int W = GetMinWidth(), H = GetMinHeight();
  std::vector<TRect> Taken;
  for (int i = 0; i < cl::Screen->FormCount(); ++i) {
    cl::TCustomForm* F = cl::Screen->Forms(i);
    if (F == FForm || F->Parent() != FForm->Parent() || !F->Visible()) continue;
    if (TbsSkinForm* S = GetSkinFormComponent(F))
      if (S->WindowState() == cl::wsMinimized) Taken.push_back(F->BoundsRect());
  }
  for (int Y = WA.Bottom - H; Y >= WA.Top; Y -= H)
    for (int X = WA.Left; X + W <= WA.Right || X == WA.Left; X += W) {
      TRect Slot{X, Y, X + W, Y + H};
      bool Free = true;
      for (const TRect& Tk : Taken)
        if (Tk.Left < Slot.Right && Slot.Left < Tk.Right && Tk.Top < Slot.Bottom && Slot.Top < Tk.Bottom) Free = false;
      if (Free) return {X, Y};
    }
  return {WA.Left, WA.Bottom - H};
}

int TbsSkinForm::RealHeight() const { return FRollUpState ? OldHeight : FForm->Height(); }

void TbsSkinForm::SetWindowState(cl::TWindowState Value) {
  if (!FSkinnableForm) {
    FForm->SetWindowState(Value);
    return;
  }
  if (Value == FWindowState) return;
  switch (Value) {
    case cl::wsMinimized:
      if (AlwaysMinimizeToTray && FTrayIcon) {
        MinimizeToTray();
        return;
      }
      // The main form (or one that asks for it) goes to the task bar; the
      // component's own state stays.
      if (FForm == cl::Application->MainForm()) {
        cl::Application->Minimize();
        OnMinimize(this);
        return;
      }
      // A form that asks for it is iconified by the system on its own.
      if (MinimizeDefault) {
        FForm->SetWindowState(cl::wsMinimized);
        OnMinimize(this);
        return;
      }
      if (FWindowState == cl::wsNormal) OldBoundsRect = FForm->BoundsRect();
      FWindowState = cl::wsMinimized;
      {
        int H = GetMinHeight(), W = GetMinWidth();
        TPoint P = GetMinimizedPosition();
        FForm->SetBounds(P.X, P.Y, W, H);
      }
      OnMinimize(this);
      break;
    case cl::wsMaximized: {
      if (IsNullRect(OldBoundsRect)) OldBoundsRect = FForm->BoundsRect();
      if (MDIMain) {
        // The frame goes with the maximize: nothing of it stays lit.
        FMouseTimer->SetEnabled(false);
        TestActive(-1, -1, false);
      }
      const int OldW = FForm->Width(), OldH = FForm->Height();
      FWindowState = cl::wsMaximized;
      // A rolled-up form keeps its roll-up (and its unrolled height) through
      // the maximize; restoring brings the strip back.
      FRollUpBeforeMaximize = FRollUpState;
      TRect WA = StateArea(!MaximizeOnFullScreen);
      if (!FForm->Parent()) {
        // A task bar that hides itself leaves the work area the whole
        // screen: a 1-pixel margin keeps the screen edge free to call it.
        TRect Mon = StateArea(false), Work = StateArea(true);
        TRect Screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (RectWidth(Work) == RectWidth(Mon) && RectHeight(Work) == RectHeight(Mon) && Mon == Screen)
          gfx::InflateRect(WA, -1, -1);
      }
      FForm->SetBounds(WA.Left, WA.Top, RectWidth(WA), RectHeight(WA));
      // Without a change of size nothing would ask for the frameless client.
      if (MDIMain && FForm->Width() == OldW && FForm->Height() == OldH) RefreshFormSize();
      if (FStatusBar && FStatusBar->SizeGrip()) FStatusBar->SetShowGrip(false);
      OnMaximize(this);
      break;
    }
    case cl::wsNormal:
      RestoreWindow();
      break;
  }
  ResetObjectStates();
  SendNCPaint();
  if (MDIMain) MDIMain->ChildStateChanged();
}

void TbsSkinForm::SetRollUpState(bool Value) {
  if (Value == FRollUpState) return;
  if (!(FBorderIcons & biRollUp) || FWindowState == cl::wsMinimized) return;
  // Rolled up before the maximize: the restore brings the strip back, not this.
  if (FRollUpState && FWindowState == cl::wsMaximized && !MaxRollUpState) return;
  if (FWindowState == cl::wsMaximized) MaxRollUpState = Value;
  if (Value) {
    OldHeight = FForm->Height();
    FRollUpState = true;
    FForm->SetHeight(GetMinHeight());
  } else {
    FRollUpState = false;
    if (ClientHeight > 0)
      FForm->SetClientSize(FForm->ClientWidth(), ClientHeight);
    else
      FForm->SetHeight(OldHeight);
  }
  OnChangeRollUpState(this);
  SendNCPaint();
}

// ---------------------------------------------------------------------------
// Inactive client effect.

TbsClientInActivePanel::TbsClientInActivePanel(cl::TComponent* AOwner) : cl::TCustomControl(AOwner) {}

void TbsClientInActivePanel::ShowPanel(cl::TCustomForm* AForm, TbsClientInActiveEffect AEffect) {
  if (!AForm || !AForm->Visible() || !AForm->HandleAllocated()) return;
  TRect C = AForm->ClientRect();
  int W = C.Width(), H = C.Height();
  if (W <= 0 || H <= 0) return;
  Hide();
  SetParent(AForm);
  SetBounds(0, 0, W, H);
  // The picture of the client as it is now, taken before the panel covers it.
  Buffer = std::make_unique<TbsBitmap>();
  Buffer->SetSize(W, H);
  gfx::HDC DC = GetDC(AForm->Handle());
  gfx::BitBlt(Buffer->DC(), 0, 0, W, H, DC, 0, 0, gfx::SRCCOPY);
  ReleaseDC(AForm->Handle(), DC);
  if (AEffect == bsieBlur) {
    BlurBitmap(Buffer.get(), 3);
  } else {
    // The form's own background laid over the picture, two thirds opaque:
    // the controls show through, washed towards the form's colour.
    TbsBitmap BG;
    BG.SetSize(W, H);
    win::SendMessage(AForm->Handle(), win::WM_ERASEBKGND, win::WPARAM(BG.DC().v), 0);
    BG.AlphaBlend = true;
    BG.SetAlpha(170);
    BG.Draw(Buffer.get(), 0, 0);
  }
  BringToFront();
  Show();
  Repaint();
}

void TbsClientInActivePanel::HidePanel() {
  Hide();
  Buffer.reset();
}

void TbsClientInActivePanel::Paint() {
  if (Buffer) Buffer->Draw(Canvas(), 0, 0);
}

void TbsSkinForm::ShowClientInActiveEffect() {
  HideClientInActiveEffect();
  FInActivePanel = new TbsClientInActivePanel(this);
  FInActivePanel->ShowPanel(FForm, ClientInActiveEffectType);
}

void TbsSkinForm::HideClientInActiveEffect() {
  if (!FInActivePanel) return;
  FInActivePanel->HidePanel();
  FInActivePanel->Free();
  FInActivePanel = nullptr;
}

// ---------------------------------------------------------------------------
// Alpha and fade-in.

void TbsSkinForm::SetLayered(bool On) {
  if (!FForm->HandleAllocated()) return;
  HWND Wnd = FForm->Handle();
  LONG_PTR Ex = GetWindowLong(Wnd, GWL_EXSTYLE);
  bool Has = Ex & WS_EX_LAYERED;
  if (On && !Has) SetWindowLong(Wnd, GWL_EXSTYLE, Ex | WS_EX_LAYERED);
  if (!On && Has) SetWindowLong(Wnd, GWL_EXSTYLE, Ex & ~LONG_PTR(WS_EX_LAYERED));
}

void TbsSkinForm::SetAlphaBlend(bool Value) {
  if (Value == FAlphaBlend) return;
  FAlphaBlend = Value;
  if (ComponentState() != 0 || !IsWindows2000OrLater() || !FForm->HandleAllocated()) return;
  if (Value) {
    SetLayered(true);
    SetWindowAlpha(FForm->Handle(), FAlphaBlendValue);
  } else {
    SetLayered(false);
  }
}

void TbsSkinForm::SetAlphaBlendValue(uint8_t Value) {
  if (Value == FAlphaBlendValue) return;
  FAlphaBlendValue = Value;
  if (FAlphaBlend && ComponentState() == 0 && IsWindows2000OrLater() && FForm->HandleAllocated())
    SetWindowAlpha(FForm->Handle(), Value);
}

bool TbsSkinForm::IsLayerBorderUsable() {
  return HasSkin() && FSD->ShowLayeredBorders() && FSD->LayerFrame.PictureIndex != -1 && IsWindows2000OrLater() &&
         FSkinnableForm && !AlwaysDisableLayeredFrames && !PreviewMode && FrameShown() && !FSmartEffectsShow &&
         !MDIMain;
}

bool TbsSkinForm::IsLayerBorderShowOnly() {
  return IsLayerBorderUsable() && !FAlphaBlend && !AlphaBlendAnimation && !(FSD && FSD->AnimationForAllWindows());
}

bool TbsSkinForm::FadeWanted() { return AlphaBlendAnimation || (FSD && FSD->AnimationForAllWindows()); }

bool TbsSkinForm::AlphaWanted() { return IsWindows2000OrLater() && (FAlphaBlend || FadeWanted()); }

void TbsSkinForm::EnableShadow(bool AShowShadow, bool) {
  if (!IsWindows2000OrLater() || AShowShadow == FHaveShadow) return;
  FHaveShadow = AShowShadow;
}

void TbsSkinForm::StartShowEffect() {
  if (FSkinnableForm && FSD && FSD->AnimationForAllWindows() && FAlphaBlendValue == 0) FAlphaBlendValue = 255;
  if (!(AlphaWanted() || IsLayerBorderShowOnly()) || !FForm->HandleAllocated()) return;
  SetLayered(true);
  SetWindowAlpha(FForm->Handle(), 0);
  if (AlphaWanted() || IsLayerBorderShowOnly()) BorderFollowsAlpha(0);
  FFadeTarget = -1;
  SetTimer(FForm->Handle(), 1, 1);
}

// The layered border fades with the form: its own alphas are scaled by the
// form's current one.
void TbsSkinForm::BorderFollowsAlpha(int AFormAlpha) {
  if (FBorderLayer && FBorderLayer->Data()) FBorderLayer->CheckFormAlpha(AFormAlpha, FBorderLayer->Visible());
}

void TbsSkinForm::FadeTick() {
  HWND Wnd = FForm->Handle();
  if (FFadeTarget < 0) {
    // The first tick decides: the border's own fade, a fade, or a jump.
    if (IsLayerBorderShowOnly()) {
      // The form shows at once; its border fades in alone.
      KillTimer(Wnd, 1);
      SetLayered(false);
      if (FBorderLayer->Data() && IsWindowVisible(Wnd) && FWindowState == cl::wsNormal) {
        FBorderLayer->FActive = GetFormActive();
        FBorderLayer->CheckFormAlpha(255, false);
        FBorderLayer->ShowWithFormAnimation();
      }
      return;
    }
    if (!AlphaWanted()) {
      KillTimer(Wnd, 1);
      return;
    }
    int Target = FadeWanted() && !FAlphaBlend ? 255 : FAlphaBlendValue;
    if (FadeWanted()) {
      FFadeTarget = Target;
      FFadeAlpha = 0;
      FFadeStep = std::max(Target / 15, 1);
      FFadeLast = GetTickCount();
      KillTimer(Wnd, 1);
      SetTimer(Wnd, 1, 6);
      return;
    }
    KillTimer(Wnd, 1);
    if (Target != 255)
      SetWindowAlpha(Wnd, FAlphaBlendValue);
    else
      SetLayered(false);
    BorderFollowsAlpha(Target);
    return;
  }
  uint32_t Now = GetTickCount();
  if (uint32_t(Now - FFadeLast) <= 5) return;
  FFadeLast = Now;
  FFadeAlpha = std::min(FFadeAlpha + FFadeStep, FFadeTarget);
  SetWindowAlpha(Wnd, uint8_t(FFadeAlpha));
  BorderFollowsAlpha(FFadeAlpha);
  if (FFadeAlpha < FFadeTarget) return;
  KillTimer(Wnd, 1);
  if (FFadeTarget == 255) SetLayered(false);
  FFadeTarget = -1;
}

// ---------------------------------------------------------------------------
// Menus.

void TbsSkinForm::SkinMenuOpen() {
  if (!FInMainMenu) HookAppMessages();
  if (!FInMenu) {
    FInMenu = true;
    OnSkinMenuOpen(this);
  }
}

void TbsSkinForm::HideLayers() {
  if (FLayerManager->IsVisible) FLayerManager->Hide();
  if (FMenuLayerManager->IsVisible) FMenuLayerManager->Hide();
}

void TbsSkinForm::SkinMenuClose() {
  if (FMenuLayerManager->IsVisible) FMenuLayerManager->Hide();
  FInMenu = false;
  for (auto& O : ObjectList) {
    if (auto* B = dynamic_cast<TbsSkinButtonObject*>(O.get())) {
      if (B->MenuItem && B->FDown) {
        B->SetDown(false);
        break;
      }
    } else if (auto* A = dynamic_cast<TbsSkinAnimateObject*>(O.get())) {
      if (A->MenuItem && A->FMenuTracking) {
        A->Active = true;
        A->FFrame = A->CountFrames;
        A->FDown = false;
        A->FMenuTracking = false;
        A->Increment = false;
        FAnimateTimer->SetEnabled(true);
        break;
      }
    }
  }
  UnhookAppMessages();
  OnSkinMenuClose(this);
  if (FInMainMenu) EndMainMenuMode();
}

void TbsSkinForm::EndMainMenuMode() {
  if (!FInMainMenu) return;
  FInMainMenu = false;
  // Leaving menu mode with a dropdown open (Alt, F10) takes the dropdown too.
  if (FSkinMenu->Visible()) FSkinMenu->Hide();
  if (MainMenuBar) MainMenuBar->MenuExit();
  if (!FInMenu) UnhookAppMessages();
  OnMainMenuExit(this);
}

void TbsSkinForm::EnterMainMenuMode() {
  if (FInMainMenu) {
    EndMainMenuMode();
    return;
  }
  if (FInMenu) {
    if (FSkinMenu->Visible()) FSkinMenu->CloseLevels(0);
    SkinMenuClose();
  }
  if (!MainMenuBar || !MainMenuBar->MainMenu() || MainMenuBar->ObjectList.empty()) return;
  HookAppMessages();
  FInMainMenu = true;
  MainMenuBar->MenuEnter();
  OnMainMenuEnter(this);
}

void TbsSkinForm::FormShortCut(TMessage& Msg, bool& Handled) {
  OnShortCut(Msg, Handled);
  if (Handled) return;
  bool Alt = (uintptr_t(Msg.LParam) >> 29) & 1;
  uint16_t VK = LOWORD(Msg.WParam);
  if (Alt && VK == VK_SPACE && !DisableSystemMenu) {
    for (auto& O : ObjectList)
      if (auto* S = dynamic_cast<TbsSkinStdButtonObject*>(O.get()))
        if (S->Command == cmSysMenu && S->Enabled && S->Visible) {
          TRect R = S->ObjectRect;
          PopupSysMenuAt(FForm->Left() + R.Left, FForm->Top() + R.Bottom);
          Handled = true;
          return;
        }
  }
  if (!MainMenuBar) return;
  if (Alt && VK != VK_F4 && MainMenuBar->FindHotKeyItem(VK)) {
    Handled = true;
    return;
  }
  if (MainMenuBar->MainMenu() && MainMenuBar->MainMenu()->IsShortCut(Msg)) Handled = true;
}

void TbsSkinForm::HookAppMessages() {
  if (FAppHook) return;
  FAppHook = cl::Application->HookOnMessage([this](MSG& m, bool& handled) { AppMessage(m, handled); });
}

void TbsSkinForm::UnhookAppMessages() {
  if (!FAppHook) return;
  cl::Application->UnhookOnMessage(FAppHook);
  FAppHook = 0;
}

void TbsSkinForm::AppMessage(MSG& M, bool& Handled) {
  if (M.message == WM_KEYDOWN) {
    cl::Keep<TbsSkinForm> K(this);
    if (FInMainMenu && MainMenuBar && MainMenuBar->MenuKeyDown(int(M.wParam))) {
      Handled = true;
      return;
    }
    if (Destroyed()) return;
    if (FSkinMenu->Visible())
      if (TbsSkinPopupWindow* W = FSkinMenu->LastWindow()) {
        cl::Keep<TbsSkinPopupWindow> K(W);
        W->PopupKeyDown(int(M.wParam));
      }
    Handled = true;
    // Escape on the last level leaves the cascade without telling the form;
    // in keyboard menu mode the bar keeps its item lit.
    if (!FSkinMenu->Visible() && FInMenu) {
      if (FInMainMenu && MainMenuBar) {
        FInMenu = false;
        OnSkinMenuClose(this);
        MainMenuBar->RestoreActiveItem();
      } else {
        SkinMenuClose();
      }
    }
  } else if (M.message == WM_MOUSEWHEEL) {
    Handled = true;
  }
}

void TbsSkinForm::BuildSysMenu() {
  cl::TMenuItem* Items = FSysMenu->Items();
  while (Items->Count() > 0) Items->Items(0)->Free();
  auto Add = [&](const char* Name, const std::string& Caption, intptr_t Tag) {
    auto* I = new cl::TMenuItem(FSysMenu);
    I->SetName(Name);
    I->Caption = Caption;
    I->Tag = Tag;
    if (Tag == 4) I->ShortCut = CloseShortCut();
    I->OnClick = [this](rtl::TObject* S) { SysMenuClick(S); };
    Items->Add(I);
  };
  bool Normal = FWindowState == cl::wsNormal;
  if ((FBorderIcons & biMinimize) && FWindowState != cl::wsMinimized)
    Add("BSF_MINITEM", SysMenuText(FSD, "MI_MINCAPTION", "Mi&nimize"), 3);
  if ((FBorderIcons & biMaximize) && FWindowState != cl::wsMaximized)
    Add("BSF_MAXITEM", SysMenuText(FSD, "MI_MAXCAPTION", "Ma&ximize"), 2);
  if (!Normal || FRollUpState) Add("BSF_RESTORE", SysMenuText(FSD, "MI_RESTORECAPTION", "&Restore"), 1);
  if ((FBorderIcons & biRollUp) && !FRollUpState && FWindowState != cl::wsMinimized)
    Add("BSF_ROLLUP", SysMenuText(FSD, "MI_ROLLUPCAPTION", "Ro&llUp"), 5);
  if (FBorderIcons & biMinimizeToTray)
    Add("BSF_MINTOTRAY", SysMenuText(FSD, "MI_MINTOTRAYCAPTION", "Minimize to &Tray"), 6);
  if (Items->Count() > 0) {
    auto* Sep = new cl::TMenuItem(FSysMenu);
    Sep->Caption = "-";
    Items->Add(Sep);
  }
  Add("BSF_CLOSE", SysMenuText(FSD, "MI_CLOSECAPTION", "&Close"), 4);
}

// The application's own system menu gets the window commands: the items the
// component put there before are taken out, then the commands go in at the
// top (so they read minimize, restore, maximize, roll-up, tray) and close at
// the end, without a separator.
void TbsSkinForm::UpdateUserSysMenu() {
  cl::TMenuItem* Items = SystemMenu->Items();
  for (bool Found = true; Found;) {
    Found = false;
    for (int i = 0; i < Items->Count(); ++i) {
      const std::string& N = Items->Items(i)->Name();
      if (N == "BSF_MINITEM" || N == "BSF_MAXITEM" || N == "BSF_CLOSE" || N == "BSF_MINTOTRAY" || N == "BSF_ROLLUP" ||
          N == "BSF_RESTORE") {
        Items->Items(i)->Free();
        Found = true;
        break;
      }
    }
  }
  auto Make = [&](const char* Name, const std::string& Caption, intptr_t Tag) {
    auto* I = new cl::TMenuItem(SystemMenu);
    I->SetName(Name);
    I->Caption = Caption;
    I->Tag = Tag;
    if (Tag == 4) I->ShortCut = CloseShortCut();
    I->OnClick = [this](rtl::TObject* S) { SysMenuClick(S); };
    return I;
  };
  if (FBorderIcons & biMinimizeToTray)
    Items->Insert(0, Make("BSF_MINTOTRAY", SysMenuText(FSD, "MI_MINTOTRAYCAPTION", "Minimize to &Tray"), 6));
  if ((FBorderIcons & biRollUp) && !FRollUpState && FWindowState != cl::wsMinimized)
    Items->Insert(0, Make("BSF_ROLLUP", SysMenuText(FSD, "MI_ROLLUPCAPTION", "Ro&llUp"), 5));
  if ((FBorderIcons & biMaximize) && FWindowState != cl::wsMaximized)
    Items->Insert(0, Make("BSF_MAXITEM", SysMenuText(FSD, "MI_MAXCAPTION", "Ma&ximize"), 2));
  if (FWindowState != cl::wsNormal || FRollUpState)
    Items->Insert(0, Make("BSF_RESTORE", SysMenuText(FSD, "MI_RESTORECAPTION", "&Restore"), 1));
  if ((FBorderIcons & biMinimize) && FWindowState != cl::wsMinimized)
    Items->Insert(0, Make("BSF_MINITEM", SysMenuText(FSD, "MI_MINCAPTION", "Mi&nimize"), 3));
  Items->Add(Make("BSF_CLOSE", SysMenuText(FSD, "MI_CLOSECAPTION", "&Close"), 4));
}

void TbsSkinForm::SysMenuClick(rtl::TObject* Sender) {
  auto* I = dynamic_cast<cl::TMenuItem*>(static_cast<cl::TObject*>(Sender));
  if (!I) return;
  switch (I->Tag) {
    case 1:
      if ((FRollUpState && FWindowState == cl::wsNormal) || (MaxRollUpState && FWindowState == cl::wsMaximized))
        SetRollUpState(false);
      else
        SetWindowState(cl::wsNormal);
      break;
    case 2:
      SetWindowState(cl::wsMaximized);
      break;
    case 3:
      SetWindowState(cl::wsMinimized);
      break;
    case 4:
      FForm->Close();
      break;
    case 5:
      SetRollUpState(!FRollUpState);
      break;
    case 6:
      MinimizeToTray();
      break;
  }
}

cl::TMenuItem* TbsSkinForm::SystemMenuItems() {
  if (SystemMenu) {
    if (UseDefaultSysMenu && !FInMenu) UpdateUserSysMenu();
    return SystemMenu->Items();
  }
  // An open menu shows these very items: they are rebuilt only while no
  // menu of the form is open.
  if (!FInMenu || FSysMenu->Items()->Count() == 0) BuildSysMenu();
  return FSysMenu->Items();
}

void TbsSkinForm::PopupSysMenuAt(int X, int Y) {
  cl::TMenuItem* Items = SystemMenuItems();
  if (!Items || Items->Count() == 0) return;
  SkinMenuOpen();
  FSkinMenu->Popup(nullptr, FMSD ? FMSD : FSD, 0, TRect{X, Y, X, Y}, Items, false);
}

// ---------------------------------------------------------------------------
// The window procedure.

void TbsSkinForm::CheckMenuCloseMessage(TMessage& Msg) {
  if (!IsMenuCloseMessage(Msg.Msg)) return;
  if (ShowObjectHint && FSkinHint) FSkinHint->HideHint();
  if (!FInMainMenu || FInMenu) {
    if (FSkinMenu->Visible())
      FSkinMenu->Hide();
    else if (FInMenu)
      SkinMenuClose();
    else
      CheckActiveMDIChildMenus(Msg);
  } else {
    EndMainMenuMode();
  }
  CancelModeInMDIControls();
}

bool TbsSkinForm::LibraryMessage(TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_BEFORE_CHANGE_SKIN_DATA:
      if (StoreOf(Msg.WParam) == FSD) {
        FStopPainting = true;
        FSkinSupport = false;
        FMouseTimer->SetEnabled(false);
        FMorphTimer->SetEnabled(false);
        FAnimateTimer->SetEnabled(false);
        ClearObjects();
        BeforeChangeChildrenSkinData(FSD, FForm);
        OnBeforeChangeSkinData(this);
      }
      OldProc(Msg);
      return true;
    case WM_CHANGE_SKIN_DATA:
      FStopPainting = false;
      if (StoreOf(Msg.WParam) == FSD) {
        if (FSD) FSkinnableForm = FSD->SkinnableForm();
        ApplySkinData();
      }
      ChangeChildrenSkinData(StoreOf(Msg.WParam), FForm);
      OldProc(Msg);
      return true;
    case WM_AFTER_CHANGE_SKIN_DATA:
      OnAfterChangeSkinData(this);
      OldProc(Msg);
      return true;
    case WM_SKIN_MENU_CLOSED:
      if (FInMenu) SkinMenuClose();
      OldProc(Msg);
      return true;
    case WM_CHANGE_RESOURCE_STR_DATA:
      UpdateObjectHints();
      UpdateSysTrayMenuTexts();
      OldProc(Msg);
      return true;
    case WM_CHANGE_LAYERED_BORDERS:
      // Switched on: a visible form gets its border at once; off: it goes.
      if (!IsLayerBorderUsable()) {
        if (FBorderLayer->Visible()) FBorderLayer->Hide();
      } else if (!FBorderLayer->Visible()) {
        UpdateBorderLayer();
      }
      OldProc(Msg);
      return true;
    case WM_CHANGE_SKINNABLE_FORM:
      if (FSD && StoreOf(Msg.WParam) == FSD) SetSkinnableForm(FSD->SkinnableForm());
      OldProc(Msg);
      return true;
    case WM_TRAY_RESTORED:
      if (FForm->Tag == -10000) FForm->Tag = 0;
      OldProc(Msg);
      return true;
    case WM_SMART_EFFECTS_BEGIN:
      FSmartEffectsShow = true;
      OldProc(Msg);
      return true;
    case WM_SMART_EFFECTS_END:
      FSmartEffectsShow = false;
      OldProc(Msg);
      return true;
    case WM_QUERY_SKINNABLE:
      Msg.Result = FSkinnableForm ? FORM_SKINNABLE : FORM_NOT_SKINNABLE;
      return true;
    case CM_PAINT_FRAME_TO_DC:
      if (FSkinnableForm && Msg.WParam != 0 && FrameShown()) {
        gfx::HDC D(uint32_t(Msg.WParam));
        if (HasSkin())
          PaintNCSkin(D, true);
        else
          PaintNCDefault(D, true);
        Msg.Result = FRAME_PAINTED;
      }
      return true;
    case WM_PAINT_FRAME_TO_DC2:
      if (!FSkinnableForm || Msg.LParam != PAINT_TO_DC2_KEY) return false;
      if (Msg.WParam != 0 && FrameShown()) {
        gfx::HDC D(uint32_t(Msg.WParam));
        if (HasSkin())
          PaintNCSkin(D, true);
        else
          PaintNCDefault(D, true);
      }
      Msg.Result = PAINT_TO_DC2_KEY;
      return true;
  }
  return false;
}

void TbsSkinForm::NCActivate(TMessage& Msg) {
  if (FSkinMenu->Visible()) FSkinMenu->Hide();
  HideLayers();
  FFormActive = Msg.WParam != 0;
  if (!FFormActive) TestActive(-1, -1, false);
  Msg.Result = 1;
  if (FrameShown()) {
    SendNCPaint();
    UpdateCaptionActivity(true);
  } else {
    UpdateCaptionActivity(false);
  }
  if (ClientInActiveEffect && FForm->HandleAllocated() && IsWindowVisible(FForm->Handle())) {
    if (FFormActive)
      HideClientInActiveEffect();
    else
      ShowClientInActiveEffect();
  }
  if (FBorderLayer->Visible()) FBorderLayer->SetActive(FFormActive, true);
}

void TbsSkinForm::FormWindowProc(TMessage& Msg) {
  cl::Keep<TbsSkinForm> K(this);
  CheckMenuCloseMessage(Msg);
  if (Destroyed()) {
    OldProc(Msg);
    return;
  }
  if (LibraryMessage(Msg)) return;
  bool PassOn = true;
  const bool Sk = FSkinnableForm;
  switch (Msg.Msg) {
    case WM_DESTROY:
      FMouseTimer->SetEnabled(false);
      FMorphTimer->SetEnabled(false);
      FAnimateTimer->SetEnabled(false);
      break;
    case WM_SIZE:
      if (FSizeMove && FFullDrag) break;
      OldProc(Msg);
      PassOn = false;
      HMagnetized = VMagnetized = HMagnetized2 = VMagnetized2 = false;
      FFormWidth = FForm->Width();
      FFormHeight = FForm->Height();
      if (Sk && !HasSkin()) {
        UpdateFormRegion();
        SendNCPaint();
      } else if (Sk && FFormWidth >= GetMinWidth() && FFormHeight >= GetMinHeight()) {
        UpdateFrame();
      }
      if (FBorderLayer->Visible() || IsLayerBorderUsable()) UpdateBorderLayer();
      break;
    case WM_ACTIVATE:
      if (!Sk) break;
      OldProc(Msg);
      PassOn = false;
      SendNCPaint();
      ResetObjectStates();
      UpdateCaptionActivity(true);
      break;
    case WM_SETTEXT:
      if (!Sk) break;
      OldProc(Msg);
      PassOn = false;
      if (FrameShown()) SendNCPaint();
      break;
    case WM_ERASEBKGND: {
      gfx::HDC D(uint32_t(Msg.WParam));
      if (HasSkin()) {
        if (FSD->BGPictureIndex == -1)
          PaintBG(D);
        else
          PaintBG2(D);
      } else {
        PaintBGDefault(D);
      }
      Msg.Result = 1;
      PassOn = false;
      break;
    }
    case WM_SHOWWINDOW:
      // A form first shown maximized is placed by PositionInMonitor when it
      // is first restored.
      if (Msg.WParam && FStartShow && (PositionInMonitor == bspDefault || FWindowState == cl::wsNormal)) {
        FStartShow = false;
        // A client size given before the form had a window was taken as
        // the window's size: only now is the frame around it known.
        if (Sk) ApplyClientSize();
        if (PositionInMonitor != bspDefault && FWindowState == cl::wsNormal) ApplyPositionInMonitor();
      }
      if (!Msg.WParam) {
        HideLayers();
        FBorderLayer->Hide();
      }
      if (Msg.WParam) StartShowEffect();
      if (Msg.WParam && Sk) {
        RefreshFormSize();
        FForm->Menu = nullptr;
      }
      break;
    case WM_TIMER:
      if (Msg.WParam == 1) FadeTick();
      break;
    case WM_DISPLAYCHANGE:
      DisplayChanged();
      break;
    case WM_SYNCPAINT:
      // A rolled-up form's frame is all there is of it: repaint it whole.
      if (Sk && FRollUpState) {
        SendNCPaint();
        Msg.Result = 0;
        PassOn = false;
      }
      break;
    case WM_SETCURSOR:
      if (Sk && UseFormCursorInNCArea) {
        int Hit = int16_t(LOWORD(uintptr_t(Msg.LParam)));
        if (Hit != HTCLIENT && !(Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT))
          Msg.LParam = MAKELPARAM(HTCLIENT, HIWORD(uintptr_t(Msg.LParam)));
      }
      break;
    case WM_GETMINMAXINFO:
      if (Sk) {
        OldProc(Msg);
        PassOn = false;
        auto* MI = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
        if (MI) {
          MI->ptMinTrackSize = POINT{GetMinWidth(), GetMinHeight()};
          MI->ptMaxTrackSize = POINT{GetMaxWidth(), GetMaxHeight()};
        }
      }
      break;
    case WM_WINDOWPOSCHANGED:
      if (auto* WP = reinterpret_cast<WINDOWPOS*>(Msg.LParam)) {
        FFormLeft = WP->x;
        FFormTop = WP->y;
        if (WP->flags & SWP_HIDEWINDOW) FBorderLayer->Hide();
      }
      OldProc(Msg);
      PassOn = false;
      if (auto* WP = reinterpret_cast<WINDOWPOS*>(Msg.LParam); WP && (WP->flags & SWP_SHOWWINDOW))
        UpdateBorderLayer();
      else if (FBorderLayer->Visible())
        FBorderLayer->MoveWithForm();
      break;
    case WM_NCCALCSIZE:
      if (!Sk) break;
      PassOn = false;
      if (FrameShown()) {
        auto* P = reinterpret_cast<NCCALCSIZE_PARAMS*>(Msg.LParam);
        if (!P) break;
        RECT& R = P->rgrc[0];
        if (HasSkin() && FSD->FPicture) {
          FFormWidth = R.Right - R.Left;
          FFormHeight = R.Bottom - R.Top;
          CalcSkinRects();
          int PW = FSD->FPicture->Width(), PH = FSD->FPicture->Height();
          R = RECT{R.Left + FSD->ClRect.Left, R.Top + FSD->ClRect.Top, R.Right - (PW - FSD->ClRect.Right),
                   R.Bottom - (PH - FSD->ClRect.Bottom)};
        } else {
          R = RECT{R.Left + kDefBorder, R.Top + GetDefCaptionHeight() + kDefBorder, R.Right - kDefBorder,
                   R.Bottom - kDefBorder};
        }
        if (R.Right < R.Left) R.Right = R.Left;
        if (R.Bottom < R.Top) R.Bottom = R.Top;
      }
      break;
    case WM_NCHITTEST: {
      if (!Sk) break;
      // A frameless maximized child is client all over.
      if (MDIMain && FWindowState == cl::wsMaximized) {
        Msg.Result = HTCLIENT;
        PassOn = false;
        break;
      }
      PassOn = false;
      TPoint P = LParamToForm(Msg.LParam);
      if (FFormWidth == 0) FFormWidth = FForm->Width();
      if (FFormHeight == 0) FFormHeight = FForm->Height();
      Msg.Result = HasSkin() ? SkinHitTest(P) : DefaultHitTest(P);
      if (!FMouseTimer->Enabled() && Msg.Result == HTOBJECT) {
        TestActive(P.X, P.Y, true);
        FMouseTimer->SetEnabled(true);
      }
      break;
    }
    case WM_NCPAINT:
      if (!Sk) break;
      PassOn = false;
      if (FrameShown()) {
        if (HasSkin())
          PaintNCSkin(gfx::HDC{}, false);
        else if (!FStopPainting)
          PaintNCDefault(gfx::HDC{}, false);
      }
      break;
    case WM_NCACTIVATE:
      if (!Sk) break;
      PassOn = false;
      NCActivate(Msg);
      break;
    case WM_SYSCOMMAND:
      if ((Msg.WParam & 0xFFF0) == SC_RESTORE) {
        OnRestore(this);
      } else if ((Msg.WParam & 0xFFF0) == SC_KEYMENU) {
        // The skinned menu bar takes the keyboard instead of a system menu.
        PassOn = false;
        EnterMainMenuMode();
      }
      break;
    case WM_MOVING:
      if (auto* R = reinterpret_cast<RECT*>(Msg.LParam); R && Sk) {
        if (FWindowState == cl::wsMaximized && !FForm->Parent()) {
          *R = FForm->BoundsRect();
        } else if (Magnetic) {
          int L = R->Left, T = R->Top, W = FForm->Width(), H = FForm->Height();
          CheckMagnetic(L, T, W, H);
          *R = RECT{L, T, L + W, T + H};
        }
      }
      break;
    case WM_ENTERSIZEMOVE:
      if (!Sk) break;
      ResetObjectStates();
      FMouseTimer->SetEnabled(false);
      ActiveObject = MouseCaptureObject = -1;
      FSizeMove = true;
      {
        POINT C{};
        GetCursorPos(&C);
        FOnMouseDownCoord = {C.X, C.Y};
      }
      FFullDrag = true;
      break;
    case WM_SIZING:
      if (FSizeMove && FFullDrag) {
        FSizing = true;
        HMagnetized = VMagnetized = HMagnetized2 = VMagnetized2 = false;
        OldProc(Msg);
        PassOn = false;
        if (auto* R = reinterpret_cast<RECT*>(Msg.LParam)) {
          int W = R->Right - R->Left, H = R->Bottom - R->Top;
          bool Changed = W != FFormWidth || H != FFormHeight;
          FFormWidth = W;
          FFormHeight = H;
          if (!HasSkin() && Sk)
            UpdateFormRegion();
          else if (Sk && Changed && W >= GetMinWidth() && H >= GetMinHeight())
            UpdateFrame();
        }
      }
      break;
    case WM_EXITSIZEMOVE:
      if (!Sk) break;
      if (FSizing && (FForm->Width() != FFormWidth || FForm->Height() != FFormHeight)) {
        FFormLeft = FForm->Left();
        FFormTop = FForm->Top();
        FFormWidth = FForm->Width();
        FFormHeight = FForm->Height();
        UpdateFrame();
      }
      FSizing = FSizeMove = false;
      FMouseTimer->SetEnabled(false);
      ActiveObject = OldActiveObject = MouseCaptureObject = -1;
      if (HasSkin()) SendNCPaint();
      break;
  }
  if (PassOn) OldProc(Msg);
  if (Destroyed()) return;
  AfterMessage(Msg);
}

void TbsSkinForm::AfterMessage(TMessage& Msg) {
  const bool Sk = FSkinnableForm;
  switch (Msg.Msg) {
    case WM_NCMOUSEMOVE:
      if (!Sk) return;
      {
        TPoint P = LParamToForm(Msg.LParam);
        ObjectsMouseMove(P.X, P.Y);
      }
      break;
    case WM_NCLBUTTONDOWN:
      if (!Sk) return;
      if (FSizeMove) {
        FSizeMove = false;
        return;
      }
      {
        TPoint P = LParamToForm(Msg.LParam);
        TestActive(P.X, P.Y, true);
        ObjectsMouseDown(cl::mbLeft, P.X, P.Y);
        if (Msg.WParam == WPARAM(HTCAPTION)) MouseCaptureObject = -1;
      }
      break;
    case WM_NCLBUTTONUP:
      if (!Sk) return;
      {
        TPoint P = LParamToForm(Msg.LParam);
        ObjectsMouseUp(cl::mbLeft, P.X, P.Y);
      }
      break;
    case WM_NCLBUTTONDBLCLK:
      if (!Sk) return;
      {
        TPoint P = LParamToForm(Msg.LParam);
        TestActive(P.X, P.Y, true);
        ObjectsMouseDown(cl::mbLeft, P.X, P.Y);
        ObjectsDblClick();
        if (Destroyed()) return;
        if (Msg.WParam == WPARAM(HTCAPTION)) {
          if (CanResize() && FWindowState == cl::wsMinimized)
            SetWindowState(cl::wsNormal);
          else if (CanResize() && FWindowState != cl::wsMaximized && !FRollUpState && (FBorderIcons & biMaximize))
            SetWindowState(cl::wsMaximized);
          else if (CanResize() && FWindowState == cl::wsMaximized && !MaxRollUpState)
            SetWindowState(cl::wsNormal);
          else
            SetRollUpState(!FRollUpState);
          MouseCaptureObject = -1;
        }
      }
      break;
    case WM_NCRBUTTONDOWN:
      if (!Sk) return;
      {
        TPoint P = LParamToForm(Msg.LParam);
        TestActive(P.X, P.Y, true);
        ObjectsMouseDown(cl::mbRight, P.X, P.Y);
        if (Msg.WParam == WPARAM(HTCAPTION)) {
          MouseCaptureObject = -1;
          if (GetCapture() == FForm->Handle()) ReleaseCapture();
          if (!DisableSystemMenu) {
            POINT C{};
            GetCursorPos(&C);
            PopupSysMenuAt(C.X, C.Y);
          }
        }
      }
      break;
    case WM_NCRBUTTONUP:
      if (!Sk) return;
      {
        TPoint P = LParamToForm(Msg.LParam);
        ObjectsMouseUp(cl::mbRight, P.X, P.Y);
      }
      break;
    case WM_NCRBUTTONDBLCLK:
      if (!Sk) return;
      {
        TPoint P = LParamToForm(Msg.LParam);
        TestActive(P.X, P.Y, true);
        ObjectsMouseDown(cl::mbRight, P.X, P.Y);
        if (Msg.WParam == WPARAM(HTCAPTION)) MouseCaptureObject = -1;
      }
      break;
    case WM_LBUTTONUP:
      ObjectsMouseUp(cl::mbLeft, -1, -1);
      break;
    case WM_RBUTTONUP:
      ObjectsMouseUp(cl::mbRight, -1, -1);
      break;
  }
}

}  // namespace skin
