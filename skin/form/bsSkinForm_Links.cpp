// The form component's links to its neighbours: the settings it hands on to
// its menu cascade, the logo over the client background, the tray icon and
// its menu, the status bar's grip, the form's own style, and the answers to
// a display change and to menu-closing clicks on a multiple-document form.
#include <algorithm>

#include "platform/cl/application.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "skin/form/bsFormLayerBorder.h"
#include "skin/controls/bsSkinBars.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/form/bsSkinForm.h"
#include "skin/form/bsSkinMDI.h"
#include "skin/menus/bsTrayIcon.h"

namespace skin {

namespace {

std::string TrayText(TbsSkinData* SD, const char* Key, const char* Default) {
  if (SD && SD->ResourceStrData()) {
    std::string T = SD->ResourceStrData()->GetResStr(Key);
    if (!T.empty()) return T;
  }
  return Default;
}

cl::TMenuItem* ItemNamed(cl::TMenuItem* Items, const std::string& Name) {
  for (int i = 0; i < Items->Count(); ++i)
    if (Items->Items(i)->Name() == Name) return Items->Items(i);
  return nullptr;
}

// The multiple-document support a form's component owns, if any.
TbsSkinMDI* MDIOf(TbsSkinForm* SF) {
  if (!SF) return nullptr;
  for (int i = 0; i < SF->ComponentCount(); ++i)
    if (auto* M = dynamic_cast<TbsSkinMDI*>(SF->Components(i))) return M;
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Menu settings.

void TbsSkinForm::SetMenusAlphaBlend(bool Value) {
  FMenusAlphaBlend = Value;
  FSkinMenu->AlphaBlend = Value;
}

void TbsSkinForm::SetMenusAlphaBlendValue(uint8_t Value) {
  FMenusAlphaBlendValue = Value;
  FSkinMenu->AlphaBlendValue = Value;
}

void TbsSkinForm::SetMenusAlphaBlendAnimation(bool Value) {
  FMenusAlphaBlendAnimation = Value;
  FSkinMenu->AlphaBlendAnimation = Value;
}

void TbsSkinForm::SetMaxMenuItemsInWindow(int Value) {
  if (Value < 0) return;
  FMaxMenuItemsInWindow = Value;
  FSkinMenu->MaxMenuItemsInWindow = Value;
}

int TbsSkinForm::DefMenuItemHeight() const { return FSkinMenu->DefaultMenuItemHeight; }

void TbsSkinForm::SetDefMenuItemHeight(int Value) {
  if (Value > 0) FSkinMenu->DefaultMenuItemHeight = Value;
}

gfx::TFont* TbsSkinForm::DefMenuItemFont() { return FSkinMenu->DefaultMenuItemFont(); }

void TbsSkinForm::SetDefMenuItemFont(const gfx::TFont& Value) { FSkinMenu->SetDefaultMenuItemFont(Value); }

bool TbsSkinForm::GetUseSkinFontInMenu() const { return FSkinMenu->UseSkinFont; }

void TbsSkinForm::SetUseSkinFontInMenu(bool Value) { FSkinMenu->UseSkinFont = Value; }

// ---------------------------------------------------------------------------
// Logo and the multiple-document background.

void TbsSkinForm::SetLogoBitMap(const gfx::TBitmap* Value) {
  gfx::TBitmap None;
  FLogoBitMap.Assign(Value ? Value : &None);
}

void TbsSkinForm::DrawLogo(gfx::TCanvas* Cnvs) {
  if (!Cnvs || FLogoBitMap.Empty()) return;
  TRect CR = FForm->ClientRect();
  int X = std::max(0, CR.Width() / 2 - FLogoBitMap.Width() / 2);
  int Y = std::max(0, CR.Height() / 2 - FLogoBitMap.Height() / 2);
  if (FLogoBitMap.Transparent() != LogoBitMapTransparent) FLogoBitMap.SetTransparent(LogoBitMapTransparent);
  Cnvs->Draw(X, Y, &FLogoBitMap);
}

void TbsSkinForm::DrawLogoDC(gfx::HDC DC) {
  if (FLogoBitMap.Empty()) return;
  gfx::TCanvas C;
  C.SetHandle(DC);
  DrawLogo(&C);
  C.SetHandle(gfx::HDC{});
}

void TbsSkinForm::PaintBG3(gfx::HDC DC) {
  // An index outside the picture list is "no picture": the work-space
  // colour is painted instead of reading past the list.
  int I = HasSkin() ? FSD->MDIBGPictureIndex : -1;
  TBitmap* B = I >= 0 && I < int(FSD->FActivePictures.size()) ? FSD->FActivePictures[size_t(I)].get() : nullptr;
  if (!B || B->Empty()) {
    PaintMDIBGDefault(DC);
    return;
  }
  TRect CR = FForm->ClientRect();
  int BW = B->Width(), BH = B->Height();
  gfx::TCanvas C;
  C.SetHandle(DC);
  if (CR.Width() > 0 && CR.Height() > 0) {
    if (FSD->MDIBGStretchEffect) {
      if (FSD->MDIBGStretchType == bsstFull) {
        C.StretchDraw(TRect{0, 0, FFormWidth, FFormHeight}, B);
      } else if (FSD->MDIBGStretchType == bsstHorz) {
        TBitmap S;
        S.SetSize(BW, FFormHeight);
        S.Canvas()->StretchDraw(TRect{0, 0, BW, FFormHeight}, B);
        for (int i = 0; i <= FFormWidth / BW; ++i) C.Draw(i * BW, 0, &S);
      } else {
        TBitmap S;
        S.SetSize(FFormWidth, BH);
        S.Canvas()->StretchDraw(TRect{0, 0, FFormWidth, BH}, B);
        for (int j = 0; j <= FFormHeight / BH; ++j) C.Draw(0, j * BH, &S);
      }
    } else {
      for (int i = 0; i <= CR.Width() / BW; ++i)
        for (int j = 0; j <= CR.Height() / BH; ++j) C.Draw(i * BW, j * BH, B);
    }
  }
  DrawLogo(&C);
  C.SetHandle(gfx::HDC{});
}

void TbsSkinForm::PaintMDIBGDefault(gfx::HDC DC) {
  gfx::TCanvas C;
  C.SetHandle(DC);
  C.Brush()->SetColor(gfx::clAppWorkSpace);
  C.FillRect(FForm->ClientRect());
  DrawLogo(&C);
  C.SetHandle(gfx::HDC{});
}

// ---------------------------------------------------------------------------
// Tray.

void TbsSkinForm::CreateSysTrayMenu() {
  cl::TMenuItem* Items = FSysTrayMenu->Items();
  auto Add = [&](const char* Name, const char* Caption) {
    auto* I = new cl::TMenuItem(FSysTrayMenu);
    if (*Name) I->SetName(Name);
    I->Caption = Caption;
    Items->Add(I);
    return I;
  };
  Add("TRAY_BSF_RESTORE", "&Restore")->OnClick = [this](rtl::TObject*) { RestoreFromTray(); };
  Add("", "-");
  cl::TMenuItem* Close = Add("TRAY_BSF_CLOSE", "&Close");
  // A child form inside another form's client closes with Ctrl+F4.
  Close->ShortCut = cl::ShortCut(win::VK_F4, FForm->Parent() ? cl::ssCtrl : cl::ssAlt);
  Close->OnClick = [this](rtl::TObject*) { FForm->Close(); };
}

// The tray items read the skin's interface texts like the system menu does,
// so a translated skin does not leave them in the built-in language.
void TbsSkinForm::UpdateSysTrayMenuTexts() {
  cl::TMenuItem* Items = FSysTrayMenu->Items();
  if (cl::TMenuItem* I = ItemNamed(Items, "TRAY_BSF_RESTORE"))
    I->Caption = TrayText(FSD, "MI_RESTORECAPTION", "&Restore");
  if (cl::TMenuItem* I = ItemNamed(Items, "TRAY_BSF_CLOSE")) I->Caption = TrayText(FSD, "MI_CLOSECAPTION", "&Close");
}

void TbsSkinForm::SetTrayIcon(TbsTrayIcon* Value) {
  if (Value == FTrayIcon) return;
  UnlinkTrayIcon();
  FTrayIcon = Value;
  if (!FTrayIcon) return;
  FTrayIcon->FreeNotification(this);
  if (!AlwaysShowInTray) FTrayIcon->SetIconVisible(false);
  FTrayIcon->MinimizeToTray = false;
  if (!FTrayIcon->PopupMenu()) {
    FTrayIcon->SetPopupMenu(FSysTrayMenu);
    FTrayMenuGiven = true;
  }
  if (!FTrayIcon->OnDblClick) {
    FTrayIcon->OnDblClick = [this](rtl::TObject* S) { SysTrayDblClick(S); };
    FTrayDblClickGiven = true;
  }
}

// What this component gave the icon is taken back, so an icon that outlives
// the component never calls into it.
void TbsSkinForm::UnlinkTrayIcon() {
  if (FTrayIcon) {
    if (FTrayMenuGiven && FTrayIcon->PopupMenu() == FSysTrayMenu) FTrayIcon->SetPopupMenu(nullptr);
    if (FTrayDblClickGiven) FTrayIcon->OnDblClick.Clear();
    FTrayIcon->RemoveFreeNotification(this);
  }
  FTrayIcon = nullptr;
  FTrayMenuGiven = FTrayDblClickGiven = false;
}

void TbsSkinForm::SysTrayDblClick(rtl::TObject*) { RestoreFromTray(); }

void TbsSkinForm::MinimizeToTray() {
  // Without a linked icon nothing happens: the form could not be brought back.
  if (!FTrayIcon) return;
  FTrayIcon->MinimizeToTray = true;
  cl::TCustomForm* M = cl::Application->MainForm();
  if (M && M->HandleAllocated() && M->Visible()) {
    // The application iconifies; the icon, watching its owner form, hides
    // the main form and shows itself.
    cl::Application->Minimize();
    if (!FTrayIcon->IconVisible()) FTrayIcon->SetIconVisible(true);
  } else {
    // No main form on screen to iconify: this form alone goes to the tray.
    FHiddenToTray = true;
    FTrayIcon->SetIconVisible(true);
    FForm->SetVisible(false);
  }
  OnMinimizeToTray(this);
}

void TbsSkinForm::RestoreFromTray() {
  if (!FTrayIcon) return;
  FTrayIcon->MinimizeToTray = false;
  FTrayIcon->ShowMainForm();
  cl::Application->Restore();
  if (FHiddenToTray) {
    FHiddenToTray = false;
    FForm->SetVisible(true);
  }
  if (!AlwaysShowInTray) FTrayIcon->SetIconVisible(false);
  OnRestoreFromTray(this);
}

// ---------------------------------------------------------------------------
// Restore.

void TbsSkinForm::RestoreWindow() {
  bool WasMax = FWindowState == cl::wsMaximized;
  FWindowState = cl::wsNormal;
  if (WasMax && FRollUpState && !FRollUpBeforeMaximize) SetRollUpState(false);
  FRollUpBeforeMaximize = false;
  MaxRollUpState = false;
  int OldW = FForm->Width(), OldH = FForm->Height();
  if (!IsNullRect(OldBoundsRect)) {
    if (FStartShow) {
      FStartShow = false;
      int W = RectWidth(OldBoundsRect), H = RectHeight(OldBoundsRect);
      TPoint P = GetPositionInMonitor(OldBoundsRect.Left, OldBoundsRect.Top, W, H);
      FForm->SetBounds(P.X, P.Y, W, H);
    } else {
      if (FBorderLayer->Visible()) {
        TRect B = FBorderLayer->BoundsFor(OldBoundsRect);
        FBorderLayer->SetBounds(B.Left, B.Top, RectWidth(B), RectHeight(B));
      }
      FForm->SetBoundsRect(OldBoundsRect);
    }
  }
  FMouseTimer->SetEnabled(true);
  if (FForm->Width() == OldW && FForm->Height() == OldH) RefreshFormSize();
  FForm->Invalidate();
  SetNullRect(OldBoundsRect);
  if (FStatusBar && FStatusBar->SizeGrip()) FStatusBar->SetShowGrip(true);
  OnRestore(this);
}

// ---------------------------------------------------------------------------
// Status bar, form style.

void TbsSkinForm::SetStatusBar(TbsSkinStatusBar* Value) {
  if (FStatusBar) FStatusBar->RemoveFreeNotification(this);
  FStatusBar = Value;
  if (FStatusBar) FStatusBar->FreeNotification(this);
}

void TbsSkinForm::SetFormBorderStyle(cl::TBorderStyle BS) {
  FForm->SetBorderStyle(BS);
  ChangeChildrenSkinData(nullptr, FForm);
}

void TbsSkinForm::SetFormStyle(cl::TFormStyle FS) {
  if (FS != cl::fsNormal && FS != cl::fsStayOnTop) return;
  FForm->SetFormStyle(FS);
  ChangeChildrenSkinData(nullptr, FForm);
}

// ---------------------------------------------------------------------------
// Display change and menu-closing clicks.

void TbsSkinForm::DisplayChanged() {
  if (!FrameShown()) return;
  int MW = GetMaxWidth(), MH = GetMaxHeight();
  if (FForm->Width() <= MW && FForm->Height() <= MH) return;
  // The layer's sizing does not clamp to the track limits by itself: the
  // form is brought within the new limits here.
  FForm->SetBounds(FForm->Left(), FForm->Top(), std::min(FForm->Width(), MW), std::min(FForm->Height(), MH));
  RefreshFormSize();
}

// A click on a multiple-document form closes a menu its active child opened.
void TbsSkinForm::CheckActiveMDIChildMenus(cl::TMessage& Msg) {
  TbsSkinMDI* MDI = MDIOf(this);
  if (!MDI || !FForm->Visible()) return;
  if (TbsSkinForm* C = GetSkinFormComponent(MDI->ActiveChild()); C && C != this) C->CheckMenuCloseMessage(Msg);
}

// A click that closes the menus of a multiple-document form also closes the
// drop-downs of its combo boxes and edits (they would stay open over a
// child otherwise).
void TbsSkinForm::CancelModeInMDIControls() {
  TbsSkinMDI* MDI = MDIOf(this);
  if (!MDI || !FForm->Visible() || FForm->ComponentState() != 0) return;
  for (int i = 0; i < FForm->ComponentCount(); ++i) {
    auto* W = dynamic_cast<cl::TWinControl*>(FForm->Components(i));
    if (!W || !W->Visible() || !W->HandleAllocated()) continue;
    if (dynamic_cast<TbsSkinCustomComboBox*>(W) || dynamic_cast<TbsSkinCustomEdit*>(W))
      win::SendMessage(W->Handle(), win::CM_CANCELMODE, 0, 0);
  }
}

}  // namespace skin
