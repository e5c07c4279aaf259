#include "skin/form/bsSkinCaptionObjects.h"
#include "skin/draw/bsGlowText.h"

#include <algorithm>
#include <memory>

#include "platform/cl/forms.h"
#include "platform/cl/imglist.h"
#include "platform/gfx/rect.h"
#include "skin/draw/bsCaptionGlyphs.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsLayerWindow.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/form/bsSkinForm.h"
#include "skin/menus/bsSkinHint.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/form/bsSkinMDI.h"
#include "skin/draw/bsTextHelpers.h"

namespace skin {

namespace {

// A picture of the store's active list; nullptr for -1 or an index not below
// the count.
TBitmap* ActivePic(TbsSkinData* SD, int Index) {
  if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size())) return nullptr;
  TBitmap* B = SD->FActivePictures[size_t(Index)].get();
  return B && !B->Empty() ? B : nullptr;
}

// The look of Src of Pic at size W x H.
std::unique_ptr<TBitmap> LookBitmap(TBitmap* Pic, const TRect& Src, int W, int H) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(std::max(W, 1), std::max(H, 1));
  if (Pic) B->Canvas()->CopyRect(TRect{0, 0, W, H}, Pic->Canvas(), Src);
  return B;
}

}  // namespace

// ---------------------------------------------------------------------------
// Base object.

TbsActiveSkinObject::TbsActiveSkinObject(TbsSkinForm* AParent, TbsDataSkinObject* AData) : Parent(AParent) {
  SD = AParent ? AParent->SkinData() : nullptr;
  if (AData) {
    IDName = AData->IDName;
    Hint = AData->Hint;
    SkinRectInAPicture = AData->SkinRectInAPicture;
    SkinRect = AData->SkinRect;
    ActiveSkinRect = AData->ActiveSkinRect;
    InActiveSkinRect = AData->InActiveSkinRect;
    Morphing = AData->Morphing;
    MorphKind = AData->MorphKind;
    GlowLayerPictureIndex = AData->GlowLayerPictureIndex;
    GlowLayerMaskPictureIndex = AData->GlowLayerMaskPictureIndex;
    GlowLayerOffsetX = AData->GlowLayerOffsetX;
    GlowLayerOffsetY = AData->GlowLayerOffsetY;
    GlowLayerAlphaBlendValue = AData->GlowLayerAlphaBlendValue;
    ActivePicture = ActivePic(SD, AData->ActivePictureIndex);
    if (!ActivePicture) {
      AData->ActiveSkinRect = TRect{};
      ActiveSkinRect = TRect{};
    }
    ActiveMaskPicture = ActivePic(SD, AData->ActiveMaskPictureIndex);
  }
  if (IsNullRect(ActiveSkinRect)) Morphing = false;
  ObjectRect = SkinRect;
  Picture = SD && SD->FPicture && !SD->FPicture->Empty() ? SD->FPicture.get() : nullptr;
}

bool TbsActiveSkinObject::Skinned() const { return SD && !SD->Empty; }

bool TbsActiveSkinObject::PointInObject(int X, int Y) {
  if (!Skinned() || !ActiveMaskPicture) return true;
  // Bounds are checked on both sides: a point one past the mask reads no pixel.
  if (X < 0 || Y < 0 || X >= ActiveMaskPicture->Width() || Y >= ActiveMaskPicture->Height()) return false;
  return (gfx::ColorToRGB(ActiveMaskPicture->Canvas()->Pixels(X, Y)) & 0xFFFFFF) == 0;
}

bool TbsActiveSkinObject::EnableMorphing() const { return Morphing && SD && !SD->Empty && SD->EnableSkinEffects(); }

bool TbsActiveSkinObject::CanMorphing() { return (Active && FMorphKf < 1) || (!Active && FMorphKf > 0); }

void TbsActiveSkinObject::SetMorphKf(double V) { FMorphKf = std::clamp(V, 0.0, 1.0); }

void TbsActiveSkinObject::DoMorphing() {
  SetMorphKf(Active ? FMorphKf + 0.2 : FMorphKf - 0.2);
  Parent->DrawSkinObject(this);
}

void TbsActiveSkinObject::ReDraw() {
  if (EnableMorphing())
    Parent->MorphTimer()->SetEnabled(true);
  else
    Parent->DrawSkinObject(this);
}

void TbsActiveSkinObject::CopyLook(gfx::TCanvas* Cnvs, TBitmap* Pic, const TRect& Src) {
  if (!Pic || IsNullRect(Src)) return;
  Cnvs->CopyRect(ObjectRect, Pic->Canvas(), Src);
}

void TbsActiveSkinObject::DrawMorph(gfx::TCanvas* Cnvs, TBitmap* PicA, const TRect& A, TBitmap* PicB, const TRect& B) {
  int W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
  if (W <= 0 || H <= 0) return;
  auto BA = LookBitmap(PicA, A, W, H);
  auto BB = LookBitmap(PicB, B, W, H);
  std::unique_ptr<TbsEffectBmp> EA(TbsEffectBmp::CreateFromhWnd(BA->Handle()));
  std::unique_ptr<TbsEffectBmp> EB(TbsEffectBmp::CreateFromhWnd(BB->Handle()));
  if (!EA || !EB) return;
  EA->MorphBy(MorphKind, EB.get(), FMorphKf);
  EA->Draw(Cnvs->Handle(), ObjectRect.Left, ObjectRect.Top);
}

void TbsActiveSkinObject::Draw(gfx::TCanvas* Cnvs, bool UpDate) {
  if (!Skinned()) return;
  bool FormActive = Parent->GetFormActive();
  TBitmap* NormalPic = SkinRectInAPicture ? ActivePicture : Picture;
  if (Enabled && !FormActive && !IsNullRect(InActiveSkinRect)) {
    CopyLook(Cnvs, ActivePicture, InActiveSkinRect);
  } else if (EnableMorphing() && ((Active && FMorphKf != 1) || (!Active && FMorphKf != 0))) {
    DrawMorph(Cnvs, NormalPic, SkinRect, ActivePicture, ActiveSkinRect);
  } else if (Active && !IsNullRect(ActiveSkinRect)) {
    CopyLook(Cnvs, ActivePicture, ActiveSkinRect);
  } else {
    if (!UpDate && !SkinRectInAPicture) return;
    CopyLook(Cnvs, NormalPic, SkinRect);
  }
}

void TbsActiveSkinObject::MouseDown(int X, int Y, cl::TMouseButton Button) {
  Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TbsActiveSkinObject::MouseUp(int X, int Y, cl::TMouseButton Button) {
  if (FMouseIn) Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TbsActiveSkinObject::MouseMove(int X, int Y) { Parent->OnMouseMoveEvent(IDName, X, Y, ObjectRect); }

void TbsActiveSkinObject::MouseEnter() {
  FMouseIn = true;
  Active = true;
  if (!IsNullRect(ActiveSkinRect)) ReDraw();
  Parent->OnMouseEnterEvent(IDName);
  ShowLayer();
}

void TbsActiveSkinObject::MouseLeave() {
  FMouseIn = false;
  Active = false;
  if (!IsNullRect(ActiveSkinRect)) ReDraw();
  Parent->OnMouseLeaveEvent(IDName);
  HideLayer();
}

TRect TbsActiveSkinObject::ScreenObjectRect() const {
  TRect R = ObjectRect;
  cl::TCustomForm* F = Parent->Form();
  if (Parent->MDIMain) {
    // A child form lives inside its main form: place it through the client.
    TPoint O = Parent->FSkinSupport ? TPoint{-Parent->NewClRect.Left, -Parent->NewClRect.Top}
                                    : TPoint{-3, -Parent->GetDefCaptionHeight() - 3};
    O = F->ClientToScreen(O);
    gfx::OffsetRect(R, O.X, O.Y);
  } else {
    gfx::OffsetRect(R, F->Left(), F->Top());
  }
  return R;
}

TbsLayerManager* TbsActiveSkinObject::GlowManager() const {
  return LayerMenu() ? Parent->MenuLayerManager() : Parent->LayerManager();
}

void TbsActiveSkinObject::ShowLayer() {
  if (!Skinned() || GlowLayerPictureIndex == -1 || !IsWindows2000OrLater() || !SD->ShowCaptionButtonGlowFrames())
    return;
  // Without its picture or its mask there is no glow to show.
  TBitmap* Image = ActivePic(SD, GlowLayerPictureIndex);
  TBitmap* Mask = ActivePic(SD, GlowLayerMaskPictureIndex);
  if (!Image || !Mask) return;
  TRect R = ScreenObjectRect();
  GlowManager()->Show(R.Left - GlowLayerOffsetX, R.Top - GlowLayerOffsetY, TbsLayerImage(Image), TbsLayerMask(Mask),
                      GlowLayerAlphaBlendValue);
}

void TbsActiveSkinObject::HideLayer() {
  if (!Skinned() || GlowLayerPictureIndex == -1 || !IsWindows2000OrLater() || !SD->ShowCaptionButtonGlowFrames())
    return;
  GlowManager()->Hide();
}

void TbsUserObject::Draw(gfx::TCanvas* Cnvs, bool) { Parent->OnPaintEvent(IDName, Cnvs, ObjectRect); }

// ---------------------------------------------------------------------------
// Button object.

TbsSkinButtonObject::TbsSkinButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsActiveSkinObject(AParent, AData) {
  if (auto* B = dynamic_cast<TbsDataSkinButton*>(AData)) {
    DownRect = B->DownRect;
    DisableSkinRect = B->DisableSkinRect;
  }
}

bool TbsSkinButtonObject::CanMorphing() {
  if (MenuItem && FDown) return false;
  return TbsActiveSkinObject::CanMorphing();
}

void TbsSkinButtonObject::Draw(gfx::TCanvas* Cnvs, bool UpDate) {
  if (!Skinned()) return;
  if (!Enabled && !IsNullRect(DisableSkinRect))
    CopyLook(Cnvs, ActivePicture, DisableSkinRect);
  else if (FDown && FMouseIn && !IsNullRect(DownRect))
    CopyLook(Cnvs, ActivePicture, DownRect);
  else
    TbsActiveSkinObject::Draw(Cnvs, UpDate);
}

void TbsSkinButtonObject::SetDown(bool Value) {
  FDown = Value;
  if (EnableMorphing() && Active) SetMorphKf(1);
  Parent->DrawSkinObject(this);
  if (EnableMorphing() && !FDown) ReDraw();
}

void TbsSkinButtonObject::MouseDown(int X, int Y, cl::TMouseButton Button) {
  if (!Enabled) return;
  if (Button == cl::mbLeft && !FDown) {
    SetDown(true);
    TrackMenu();
  }
  TbsActiveSkinObject::MouseDown(X, Y, Button);
}

void TbsSkinButtonObject::MouseUp(int X, int Y, cl::TMouseButton Button) {
  if (!Enabled) return;
  if (Button == cl::mbLeft && !MenuItem && FDown) SetDown(false);
  TbsActiveSkinObject::MouseUp(X, Y, Button);
}

void TbsSkinButtonObject::MouseEnter() {
  FMouseIn = true;
  Active = true;
  if (IsNullRect(DownRect) || !FDown) {
    if (!IsNullRect(ActiveSkinRect)) ReDraw();
    if (MenuItem) ShowLayer();
  } else {
    if (EnableMorphing()) SetMorphKf(1);
    Parent->DrawSkinObject(this);
  }
  Parent->OnMouseEnterEvent(IDName);
  if (!MenuItem) ShowLayer();
}

void TbsSkinButtonObject::MouseLeave() {
  FMouseIn = false;
  Active = false;
  // While its menu is open the button stays lit, glow included.
  if (!(MenuItem && FDown)) {
    if (MenuItem) HideLayer();
    Parent->DrawSkinObject(this);
    ReDraw();
  }
  Parent->OnMouseLeaveEvent(IDName);
  if (!MenuItem) HideLayer();
}

void TbsSkinButtonObject::TrackMenu() {
  if (!MenuItem || MenuItem->Count() == 0) return;
  Parent->HideLayers();
  if (FMouseIn) ShowLayer();
  TRect R = ScreenObjectRect();
  Parent->SkinMenuOpen();
  TbsSkinData* MSD = Parent->MenusSkinData() ? Parent->MenusSkinData() : Parent->SkinData();
  Parent->SkinMenu()->Popup(nullptr, MSD, 0, R, MenuItem, FPopupUp);
}

// ---------------------------------------------------------------------------
// Window commands.

void RunStdCommand(TbsSkinForm* Form, TbsStdCommand Command) {
  switch (Command) {
    case cmClose:
      Form->TestActive(-1, -1, false);
      Form->Form()->Close();
      break;
    case cmMaximize:
      Form->TestActive(-1, -1, false);
      Form->SetWindowState(Form->WindowState() == cl::wsMaximized ? cl::wsNormal : cl::wsMaximized);
      break;
    case cmMinimize:
      Form->TestActive(-1, -1, false);
      if (Form->AlwaysMinimizeToTray)
        Form->MinimizeToTray();
      else
        Form->SetWindowState(Form->WindowState() == cl::wsMinimized ? cl::wsNormal : cl::wsMinimized);
      break;
    case cmRollUp:
      Form->SetRollUpState(!Form->RollUpState());
      break;
    case cmMinimizeToTray:
      Form->TestActive(-1, -1, false);
      Form->MinimizeToTray();
      break;
    case cmSysMenu:
    case cmDefault:
      break;
  }
}

// ---------------------------------------------------------------------------
// Standard button.

TbsSkinStdButtonObject::TbsSkinStdButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsSkinButtonObject(AParent, AData) {
  if (auto* B = dynamic_cast<TbsDataSkinStdButton*>(AData)) {
    FSkinSupport = true;
    Command = B->Command;
    RestoreRect = B->RestoreRect;
    RestoreActiveRect = B->RestoreActiveRect;
    RestoreInActiveRect = B->RestoreInActiveRect;
    RestoreDownRect = B->RestoreDownRect;
    RestoreHint = B->RestoreHint;
    FTempHint = B->Hint;
  }
}

bool TbsSkinStdButtonObject::InRestoreState() const {
  return (Command == cmMaximize && Parent->WindowState() == cl::wsMaximized) ||
         (Command == cmMinimize && Parent->WindowState() == cl::wsMinimized) ||
         (Command == cmRollUp && Parent->RollUpState());
}

bool TbsSkinStdButtonObject::PointInObject(int X, int Y) {
  if (Command == cmSysMenu && Parent->ShowIcon && FSkinSupport && SkinRectInAPicture) return true;
  return TbsSkinButtonObject::PointInObject(X, Y);
}

void TbsSkinStdButtonObject::ShowLayer() {
  // The form's icon in place of the system-menu button has no glow.
  if (Command == cmSysMenu && Parent->ShowIcon && FSkinSupport && SkinRectInAPicture) return;
  TbsSkinButtonObject::ShowLayer();
}

bool TbsSkinStdButtonObject::CanMorphing() {
  if (Command == cmSysMenu && Parent->ShowIcon && SkinRectInAPicture) return false;
  return TbsSkinButtonObject::CanMorphing();
}

void TbsSkinStdButtonObject::Draw(gfx::TCanvas* Cnvs, bool UpDate) {
  if (!FSkinSupport) {
    DefaultDraw(Cnvs);
    return;
  }
  if (!Skinned()) return;
  if (Command == cmSysMenu && Parent->ShowIcon && SkinRectInAPicture) {
    Parent->DrawFormIcon(Cnvs, ObjectRect.Left, ObjectRect.Top);
    FMorphKf = 0;
    return;
  }
  if (Enabled && InRestoreState() && !IsNullRect(RestoreRect)) {
    if (!Parent->GetFormActive() && !IsNullRect(RestoreInActiveRect))
      CopyLook(Cnvs, ActivePicture, RestoreInActiveRect);
    else if (FDown && FMouseIn && !IsNullRect(RestoreDownRect))
      CopyLook(Cnvs, ActivePicture, RestoreDownRect);
    else if (EnableMorphing() && ((Active && FMorphKf != 1) || (!Active && FMorphKf != 0)))
      DrawMorph(Cnvs, ActivePicture, RestoreRect, ActivePicture, RestoreActiveRect);
    else if (Active && !IsNullRect(RestoreActiveRect))
      CopyLook(Cnvs, ActivePicture, RestoreActiveRect);
    else
      CopyLook(Cnvs, ActivePicture, RestoreRect);
    return;
  }
  TbsSkinButtonObject::Draw(Cnvs, UpDate);
}

void TbsSkinStdButtonObject::DefaultDraw(gfx::TCanvas* Cnvs) {
  if (Command == cmSysMenu && Parent->ShowIcon) {
    Parent->DrawFormIcon(Cnvs, ObjectRect.Left, ObjectRect.Top);
    return;
  }
  int W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
  if (W <= 0 || H <= 0) return;
  TBitmap B;
  B.SetSize(W, H);
  gfx::TCanvas* C = B.Canvas();
  TRect R{0, 0, W, H};
  bool Pressed = FDown && FMouseIn;
  if (Pressed || FMouseIn) {
    gfx::Frame3D(C, R, gfx::clNavy, gfx::clNavy, 1);
    C->Brush()->SetColor(Pressed ? gfx::RGB(133, 147, 181) : gfx::RGB(182, 189, 210));
    C->FillRect(R);
  } else {
    C->Brush()->SetColor(gfx::clBtnFace);
    C->FillRect(R);
  }
  int X = W / 2 - 5 + (Pressed ? 1 : 0), Y = H / 2 - 4 + (Pressed ? 1 : 0);
  TColor Cl = Enabled ? gfx::clBtnText : gfx::clBtnShadow;
  switch (Command) {
    case cmClose:
      DrawCloseGlyph(C, X, Y, Cl);
      break;
    case cmMaximize:
      if (Parent->WindowState() == cl::wsMaximized)
        DrawRestoreGlyph(C, X, Y, Cl);
      else
        DrawMaximizeGlyph(C, X, Y, Cl);
      break;
    case cmMinimize:
      if (Parent->WindowState() == cl::wsMinimized)
        DrawRestoreGlyph(C, X, Y, Cl);
      else
        DrawMinimizeGlyph(C, X, Y, Cl);
      break;
    case cmSysMenu:
      DrawSysMenuGlyph(C, X, Y, Cl);
      break;
    case cmRollUp:
      if (Parent->RollUpState())
        DrawRollDownGlyph(C, X, Y, Cl);
      else
        DrawRollUpGlyph(C, X, Y, Cl);
      break;
    case cmMinimizeToTray:
      DrawMinimizeToTrayGlyph(C, X, Y, Cl);
      break;
    case cmDefault:
      break;
  }
  Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinStdButtonObject::DblClick() {
  if (Command == cmSysMenu) Parent->Form()->Close();
}

void TbsSkinStdButtonObject::MouseDown(int, int, cl::TMouseButton Button) {
  if (!Enabled || Button != cl::mbLeft || FDown) return;
  SetDown(true);
  if (Command == cmSysMenu) {
    MenuItem = Parent->SystemMenuItems();
    TrackMenu();
  }
}

void TbsSkinStdButtonObject::MouseUp(int X, int Y, cl::TMouseButton Button) {
  // Every command needs the release over the button (Active) with the left
  // button; only the order against the button's own release differs.
  bool Run = Active && Button == cl::mbLeft;
  if (Command == cmClose) {
    TbsSkinButtonObject::MouseUp(X, Y, Button);
    if (Run && Enabled) RunStdCommand(Parent, Command);
  } else {
    if (Run && Enabled) RunStdCommand(Parent, Command);
    TbsSkinButtonObject::MouseUp(X, Y, Button);
  }
}

void TbsSkinStdButtonObject::MouseEnter() {
  if (Command != cmDefault) Hint = !RestoreHint.empty() && InRestoreState() ? RestoreHint : FTempHint;
  TbsSkinButtonObject::MouseEnter();
}

// ---------------------------------------------------------------------------
// Animated strip.

TbsSkinAnimateObject::TbsSkinAnimateObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsActiveSkinObject(AParent, AData) {
  if (auto* A = dynamic_cast<TbsDataSkinAnimate*>(AData)) {
    CountFrames = A->CountFrames;
    Cycle = A->Cycle;
    ButtonStyle = A->ButtonStyle;
    TimerInterval = std::max(A->TimerInterval, 25);
    Command = A->Command;
    DownSkinRect = A->DownSkinRect;
    RestoreRect = A->RestoreRect;
    RestoreActiveRect = A->RestoreActiveRect;
    RestoreInActiveRect = A->RestoreInActiveRect;
    RestoreDownRect = A->RestoreDownRect;
    RestoreHint = A->RestoreHint;
    FTempHint = A->Hint;
  }
}

bool TbsSkinAnimateObject::InRestoreState() const {
  return (Command == cmMaximize && Parent->WindowState() == cl::wsMaximized) ||
         (Command == cmMinimize && Parent->WindowState() == cl::wsMinimized) ||
         (Command == cmRollUp && Parent->RollUpState());
}

void TbsSkinAnimateObject::SetFrame(int Value) {
  if (Increment)
    FFrame = Value > CountFrames ? 1 : Value;
  else
    FFrame = Value <= 0 ? CountFrames : Value;
  Parent->DrawSkinObject(this);
}

void TbsSkinAnimateObject::ChangeFrame() {
  if (FInc < TimerInterval) {
    FInc += 25;
    return;
  }
  if (Increment) {
    SetFrame(FFrame + 1);
    if (!Cycle && FFrame == CountFrames) Active = false;
  } else {
    SetFrame(FFrame - 1);
    if (FFrame == 1) Active = false;
  }
  FInc = 25;
}

void TbsSkinAnimateObject::Start() {
  FInc = 25;
  FFrame = 1;
  Active = true;
  Parent->AnimateTimer()->SetEnabled(true);
}

void TbsSkinAnimateObject::Stop() {
  SetFrame(1);
  Active = false;
  FInc = 25;
}

void TbsSkinAnimateObject::Draw(gfx::TCanvas* Cnvs, bool) {
  if (!Skinned()) return;
  bool Restore = !IsNullRect(RestoreRect) && InRestoreState();
  TRect N = Restore ? RestoreRect : SkinRect, A = Restore ? RestoreActiveRect : ActiveSkinRect,
        D = Restore ? RestoreDownRect : DownSkinRect, I = Restore ? RestoreInActiveRect : InActiveSkinRect;
  int W = RectWidth(N), H = RectHeight(N);
  auto Frame = [&](int n) { return TRect{A.Left + W * (n - 1), A.Top, A.Left + W * n, A.Top + H}; };
  if (FMenuTracking) {
    if (!IsNullRect(D)) {
      CopyLook(Cnvs, ActivePicture, D);
    } else {
      FFrame = CountFrames;
      CopyLook(Cnvs, ActivePicture, Frame(FFrame));
    }
  } else if (!Parent->GetFormActive() && !IsNullRect(I)) {
    CopyLook(Cnvs, ActivePicture, I);
  } else if (FDown && FMouseIn && !IsNullRect(D)) {
    CopyLook(Cnvs, ActivePicture, D);
  } else {
    CopyLook(Cnvs, ActivePicture, Frame(FFrame));
  }
}

void TbsSkinAnimateObject::DblClick() {
  if (Command == cmSysMenu) Parent->Form()->Close();
}

void TbsSkinAnimateObject::MouseEnter() {
  if (Command != cmDefault) Hint = !RestoreHint.empty() && InRestoreState() ? RestoreHint : FTempHint;
  FMouseIn = true;
  if (FMenuTracking) return;
  if (ButtonStyle) {
    Active = true;
    Increment = true;
    if (!FDown || IsNullRect(DownSkinRect))
      Parent->AnimateTimer()->SetEnabled(true);
    else
      Parent->DrawSkinObject(this);
  }
  Parent->OnMouseEnterEvent(IDName);
  ShowLayer();
}

void TbsSkinAnimateObject::MouseLeave() {
  if (!FMouseIn) return;
  FMouseIn = false;
  if (FMenuTracking) return;
  if (ButtonStyle) {
    Active = true;
    Increment = false;
    if (!FDown || IsNullRect(DownSkinRect))
      Parent->AnimateTimer()->SetEnabled(true);
    else
      Parent->DrawSkinObject(this);
  }
  Parent->OnMouseLeaveEvent(IDName);
  HideLayer();
}

void TbsSkinAnimateObject::TrackMenu() {
  if (!MenuItem || MenuItem->Count() == 0) return;
  Parent->HideLayers();
  if (FMouseIn) ShowLayer();
  FMenuTracking = true;
  TRect R = ScreenObjectRect();
  Parent->SkinMenuOpen();
  TbsSkinData* MSD = Parent->MenusSkinData() ? Parent->MenusSkinData() : Parent->SkinData();
  Parent->SkinMenu()->Popup(nullptr, MSD, 0, R, MenuItem, FPopupUp);
}

void TbsSkinAnimateObject::MouseDown(int X, int Y, cl::TMouseButton Button) {
  TbsActiveSkinObject::MouseDown(X, Y, Button);
  if (Button != cl::mbLeft) return;
  if (!IsNullRect(DownSkinRect)) {
    FFrame = CountFrames;
    FDown = true;
    Parent->DrawSkinObject(this);
  }
  if (Command == cmSysMenu && FMouseIn && ButtonStyle) {
    MenuItem = Parent->SystemMenuItems();
    TrackMenu();
  }
}

void TbsSkinAnimateObject::MouseUp(int X, int Y, cl::TMouseButton Button) {
  TbsActiveSkinObject::MouseUp(X, Y, Button);
  if (FMenuTracking || Button != cl::mbLeft) return;
  if (!IsNullRect(DownSkinRect)) {
    FDown = false;
    Parent->DrawSkinObject(this);
    Parent->AnimateTimer()->SetEnabled(true);
  }
  if (Command != cmSysMenu && FMouseIn && ButtonStyle) {
    if (Command == cmDefault)
      TrackMenu();
    else
      RunStdCommand(Parent, Command);
  }
}

// ---------------------------------------------------------------------------
// Quick buttons.

void TbsQuickButtonItem::SetImageIndex(int Value) {
  FImageIndex = Value;
  Changed(false);
}

void TbsQuickButtonItem::SetEnabled(bool Value) {
  FEnabled = Value;
  Changed(false);
}

void TbsQuickButtonItem::SetVisible(bool Value) {
  FVisible = Value;
  Changed(false);
}

void TbsQuickButtonItem::Assign(cl::TPersistent* Source) {
  if (auto* S = dynamic_cast<TbsQuickButtonItem*>(Source)) {
    FImageIndex = S->FImageIndex;
    Hint = S->Hint;
    FEnabled = S->FEnabled;
    FVisible = S->FVisible;
    Changed(false);
    return;
  }
  cl::TCollectionItem::Assign(Source);
}

TbsQuickButtonItems::TbsQuickButtonItems(TbsSkinForm* AForm)
    : cl::TCollection([](cl::TCollection* C) { return new TbsQuickButtonItem(C); }, AForm), FBSF(AForm) {}

void TbsQuickButtonItems::Update(cl::TCollectionItem*) {
  // Not while the form component frees the collection.
  if (FBSF && !FBSF->Destroyed() && FBSF->QuickButtons() == this) FBSF->SendNCPaint();
}

// ---------------------------------------------------------------------------
// Caption text.

TbsSkinCaptionObject::TbsSkinCaptionObject(TbsSkinForm* AParent, TbsDataSkinObject* AData)
    : TbsActiveSkinObject(AParent, AData) {
  if (auto* C = dynamic_cast<TbsDataSkinCaption*>(AData)) {
    FontName = C->FontName;
    FontHeight = C->FontHeight;
    FontStyle = C->FontStyle;
    FontColor = C->FontColor;
    ActiveFontColor = C->ActiveFontColor;
    ShadowColor = C->ShadowColor;
    ActiveShadowColor = C->ActiveShadowColor;
    Shadow = C->Shadow;
    Light = C->Light;
    LightColor = C->LightColor;
    ActiveLightColor = C->ActiveLightColor;
    GlowEffect = C->GlowEffect;
    GlowInActiveEffect = C->GlowInActiveEffect;
    VistaGlowEffect = C->VistaGlowEffect;
    VistaGlowInActiveEffect = C->VistaGlowInActiveEffect;
    GlowSize = C->GlowSize;
    GlowOffset = C->GlowOffset;
    GlowColor = C->GlowColor;
    GlowActiveColor = C->GlowActiveColor;
    ReflectionEffect = C->ReflectionEffect;
    ReflectionColor = C->ReflectionColor;
    ReflectionActiveColor = C->ReflectionActiveColor;
    ReflectionOffset = C->ReflectionOffset;
    Alignment = C->Alignment;
    TextRct = C->TextRct;
    FrameRect = C->FrameRect;
    ActiveFrameRect = C->ActiveFrameRect;
    FrameTextRect = C->FrameTextRect;
    FrameLeftOffset = C->FrameLeftOffset;
    FrameRightOffset = C->FrameRightOffset;
    FullFrame = C->FullFrame;
    StretchEffect = C->StretchEffect;
    AnimateSkinRect = C->AnimateSkinRect;
    FrameCount = C->FrameCount;
    AnimateInterval = C->AnimateInterval;
    InActiveAnimation = C->InActiveAnimation;
  }
}

bool TbsSkinCaptionObject::EnableAnimation() const {
  return !IsNullRect(AnimateSkinRect) && FrameCount > 0 && ActivePicture && SD && !SD->Empty && SD->EnableSkinEffects();
}

bool TbsSkinCaptionObject::CanMorphing() {
  // The caption follows the form's activation, not the pointer.
  return EnableMorphing() && !IsNullRect(ActiveSkinRect) && TbsActiveSkinObject::CanMorphing();
}

bool TbsSkinCaptionObject::QuickButtonsActive() const {
  return Parent && Parent->QuickButtons()->Count() > 0 && Parent->QuickImageList();
}

TRect TbsSkinCaptionObject::TextRect() const {
  TRect TR = TextRct;
  if (!IsNullRect(TextRct)) {
    if (QuickButtonsActive()) TR.Left += Parent->QuickButtons()->Count() * (Parent->QuickImageList()->Width() + 8);
    TR.Right = RectWidth(ObjectRect) - (RectWidth(SkinRect) - TextRct.Right);
  }
  if (!IsNullRect(FrameRect)) {
    TR.Left += FrameTextRect.Left;
    TR.Top += FrameTextRect.Top;
    TR.Right -= RectWidth(FrameRect) - FrameTextRect.Right;
  }
  return TR;
}

void TbsSkinCaptionObject::SetCaptionFont(gfx::TCanvas* Cnvs, TColor Color) {
  gfx::TFont* F = Cnvs->Font();
  F->SetName(FontName.empty() ? Parent->DefCaptionFont()->Name() : FontName);
  F->SetHeight(FontHeight ? FontHeight : Parent->DefCaptionFont()->Height());
  F->SetStyle(FontStyle);
  F->SetColor(Color);
}

void TbsSkinCaptionObject::BuildBackground(TBitmap* B, TBitmap* Pic, const TRect& Src) {
  int W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
  B->SetSize(W, H);
  if (!Pic || IsNullRect(Src)) return;
  int L = std::max(0, SD->LTPoint.X - SkinRect.Left);
  int R = std::max(0, SkinRect.Right - SD->RTPoint.X);
  if (L == 0 && R == 0) {
    B->Canvas()->CopyRect(TRect{0, 0, W, H}, Pic->Canvas(), Src);
    return;
  }
  TBitmap Band;
  CreateHSkinImage(L, R, &Band, TbsPictureRect{Pic, Src}, W, H, StretchEffect);
  B->Canvas()->StretchDraw(TRect{0, 0, W, H}, &Band);
}

void TbsSkinCaptionObject::ApplyInActiveFilter(TBitmap* B, gfx::TCanvas* Cnvs) {
  std::unique_ptr<TbsEffectBmp> E(TbsEffectBmp::CreateFromhWnd(B->Handle()));
  if (!E) return;
  E->ApplyInActiveEffect(SD->InActiveEffect);
  E->Draw(Cnvs->Handle(), ObjectRect.Left, ObjectRect.Top);
}

void TbsSkinCaptionObject::DrawCaptionText(gfx::TCanvas* Cnvs, int DX, int DY, bool A, gfx::TCanvas* HandlerCanvas) {
  if (Parent->OnCaptionPaint) {
    Parent->OnCaptionPaint(HandlerCanvas, ObjectRect, A);
    return;
  }
  std::string Text = Parent->Form()->Caption();
  if (Parent->MDI) {
    if (cl::TCustomForm* Child = Parent->MDI->FindMaximizedMDIChild()) Text += " - [" + Child->Caption() + "]";
  }
  if (Text.empty() || IsNullRect(TextRct)) return;
  const TRect TR = TextRect();
  SetCaptionFont(Cnvs, A ? ActiveFontColor : FontColor);
  FitTextToWidth(Cnvs, Text, RectWidth(TR));
  const int W = Cnvs->TextWidth(Text), H = Cnvs->TextHeight(Text);
  int Y = TR.Top + RectHeight(TR) / 2 - H / 2;
  int X = TR.Left;
  if (QuickButtonsActive() || Alignment == taCenter)
    X = TR.Left + RectWidth(TR) / 2 - W / 2;
  else if (Alignment == taRightJustify)
    X = TR.Right - W;
  X += DX;
  Y += DY;
  Cnvs->Brush()->SetStyle(gfx::bsClear);
  if (!IsNullRect(FrameRect) && ActivePicture) {
    const TRect Src = A && !IsNullRect(ActiveFrameRect) ? ActiveFrameRect : FrameRect;
    const int FW =
        FullFrame ? RectWidth(ObjectRect) - 2 * SD->ButtonsOffset : RectWidth(FrameRect) + W - RectWidth(FrameTextRect);
    if (FW > 0) {
      TBitmap Frame;
      CreateHSkinImage(FrameLeftOffset, FrameRightOffset, &Frame, TbsPictureRect{ActivePicture, Src}, FW,
                       RectHeight(FrameRect), false);
      if (FullFrame)
        Cnvs->Draw(DX + SD->ButtonsOffset, Y - FrameTextRect.Top, &Frame);
      else
        Cnvs->Draw(X - FrameTextRect.Left, Y - FrameTextRect.Top, &Frame);
    }
  }
  const TColor TextColor = A ? ActiveFontColor : FontColor;
  if (Light) {
    Cnvs->Font()->SetColor(A ? ActiveLightColor : LightColor);
    Cnvs->TextOut(X - 1, Y - 1, Text);
    Cnvs->Font()->SetColor(TextColor);
  }
  if (Shadow) {
    Cnvs->Font()->SetColor(A ? ActiveShadowColor : ShadowColor);
    Cnvs->TextOut(X + 1, Y + 1, Text);
    Cnvs->Font()->SetColor(TextColor);
  }
  const TRect TextR{X, Y, X + W, Y + H};
  const TbsTextFormat Flags(gfx::win32api::DT_LEFT | gfx::win32api::DT_SINGLELINE | gfx::win32api::DT_NOPREFIX);
  const TColor GC = A ? GlowActiveColor : GlowColor;
  if (ReflectionEffect) {
    DrawReflectionText(Cnvs, TextR, Text, Flags, TbsTextOffset(ReflectionOffset),
                       A ? ReflectionActiveColor : ReflectionColor);
  } else if (VistaGlowEffect && (A || VistaGlowInActiveEffect)) {
    DrawVistaGlowText(Cnvs, TextR, Text, Flags, GC);
  } else if (GlowEffect && (A || GlowInActiveEffect)) {
    DrawGlowText2(Cnvs, TextR, Text, Flags, TbsTextOffset(GlowOffset), GC, TbsGlowSize(GlowSize));
  } else {
    Cnvs->TextOut(X, Y, Text);
  }
}

void TbsSkinCaptionObject::DrawQuickButtons(gfx::TCanvas* Cnvs) {
  TbsQuickButtonItems* Items = Parent->QuickButtons();
  cl::TCustomImageList* IL = Parent->QuickImageList();
  const int IW = IL->Width(), IH = IL->Height();
  auto* Rec = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(SD, SD->GetControlIndex("officequickbutton")));
  if (!Rec) Rec = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(SD, SD->GetControlIndex("resizetoolbutton")));
  TBitmap* RecPic = Rec ? ActivePic(SD, Rec->PictureIndex) : nullptr;
  int Left = ObjectRect.Left;
  const int Top = ObjectRect.Top + RectHeight(ObjectRect) / 2 - IH / 2 - 2;
  for (int i = 0; i < Items->Count(); ++i) {
    TbsQuickButtonItem* It = Items->Items(i);
    if (!It->Visible()) continue;
    It->ItemRect = TRect{Left, Top, Left + IW + 4, Top + IH + 4};
    Left += IW + 8;
    if (It->Active && RecPic) {
      const TRect Src = It->Down && !IsNullRect(Rec->DownSkinRect) ? Rec->DownSkinRect : Rec->ActiveSkinRect;
      if (!IsNullRect(Src)) {
        TBitmap B;
        B.SetSize(RectWidth(It->ItemRect), RectHeight(It->ItemRect));
        CreateSkinImageByClRect(&B, TbsPictureRect{RecPic, Src}, Rec->ClRect, true);
        Cnvs->Draw(It->ItemRect.Left, It->ItemRect.Top, &B);
      }
    }
    if (It->ImageIndex() >= 0 && It->ImageIndex() < IL->Count())
      IL->Draw(Cnvs, It->ItemRect.Left + RectWidth(It->ItemRect) / 2 - IW / 2,
               It->ItemRect.Top + RectHeight(It->ItemRect) / 2 - IH / 2, It->ImageIndex(), It->Enabled());
  }
}

void TbsSkinCaptionObject::Draw(gfx::TCanvas* Cnvs, bool) {
  if (!Skinned()) return;
  const int W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
  if (W <= 0 || H <= 0) return;
  const bool Anim = EnableAnimation();
  const bool AutoInActive = SD->AutoRenderingInActiveImage;
  // The looks built as an image of the object's size are copied over it
  // afterwards; the quick buttons go on top of whichever look was drawn.
  auto Finish = [&] {
    if (QuickButtonsActive()) DrawQuickButtons(Cnvs);
  };
  if (Anim && CurrentFrame >= 1 && CurrentFrame <= FrameCount) {
    // A frame of the activation animation; the text keeps the look of the
    // state being left until the last frame.
    TRect Src = AnimateSkinRect;
    if (RectHeight(AnimateSkinRect) > RectHeight(SkinRect)) {
      int FH = RectHeight(AnimateSkinRect) / FrameCount;
      Src.Top = AnimateSkinRect.Top + (CurrentFrame - 1) * FH;
      Src.Bottom = Src.Top + FH;
    } else {
      int FW = RectWidth(AnimateSkinRect) / FrameCount;
      Src.Left = AnimateSkinRect.Left + (CurrentFrame - 1) * FW;
      Src.Right = Src.Left + FW;
    }
    TBitmap B;
    BuildBackground(&B, ActivePicture, Src);
    DrawCaptionText(B.Canvas(), 0, 0, !Active, Cnvs);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
  } else if (EnableMorphing() && !IsNullRect(ActiveSkinRect) &&
             ((FMorphKf > 0 && !Active) || (FMorphKf < 1 && Active))) {
    TBitmap BA, BB;
    BuildBackground(&BA, Picture, SkinRect);
    DrawCaptionText(BA.Canvas(), 0, 0, false, Cnvs);
    BuildBackground(&BB, ActivePicture, ActiveSkinRect);
    DrawCaptionText(BB.Canvas(), 0, 0, true, Cnvs);
    std::unique_ptr<TbsEffectBmp> EA(TbsEffectBmp::CreateFromhWnd(BA.Handle()));
    std::unique_ptr<TbsEffectBmp> EB(TbsEffectBmp::CreateFromhWnd(BB.Handle()));
    if (EA && EB) {
      EA->MorphBy(MorphKind, EB.get(), FMorphKf);
      EA->Draw(BA.Canvas()->Handle(), 0, 0);
      if (AutoInActive && !Active)
        ApplyInActiveFilter(&BA, Cnvs);
      else
        Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &BA);
    }
  } else if (IsNullRect(ActiveSkinRect) || (!Active && !EnableMorphing() && !StretchEffect && !Anim)) {
    // Text alone, straight onto the band the frame already drew; a
    // reflection or glow may reach past the object there.
    DrawCaptionText(Cnvs, ObjectRect.Left, ObjectRect.Top, Active, Cnvs);
  } else if (!Active) {
    TBitmap B;
    BuildBackground(&B, Picture, SkinRect);
    DrawCaptionText(B.Canvas(), 0, 0, false, Cnvs);
    if (AutoInActive)
      ApplyInActiveFilter(&B, Cnvs);
    else
      Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
  } else {
    TBitmap B;
    BuildBackground(&B, ActivePicture, ActiveSkinRect);
    DrawCaptionText(B.Canvas(), 0, 0, true, Cnvs);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
  }
  Finish();
}

void TbsSkinCaptionObject::TestQuickButtons(int X, int Y) {
  if (!QuickButtonsActive()) return;
  TbsQuickButtonItems* Items = Parent->QuickButtons();
  OldActiveQuickButton = ActiveQuickButton;
  ActiveQuickButton = -1;
  for (int i = 0; i < Items->Count(); ++i) {
    TbsQuickButtonItem* It = Items->Items(i);
    if (It->Enabled() && It->Visible() && PointInRectHalfOpen(It->ItemRect, TPoint{X, Y})) {
      ActiveQuickButton = i;
      break;
    }
  }
  bool Changed = false;
  for (int i = 0; i < Items->Count(); ++i) {
    TbsQuickButtonItem* It = Items->Items(i);
    bool A = i == ActiveQuickButton;
    if (It->Active != A) Changed = true;
    It->Active = A;
  }
  const bool IndexChanged = ActiveQuickButton != OldActiveQuickButton;
  if (IndexChanged || Changed) Parent->SendNCPaint();
  TbsSkinHint* SH = Parent->SkinHint();
  if (IndexChanged && ActiveQuickButton != -1 && SH && Parent->QuickButtonsShowHint &&
      !Items->Items(ActiveQuickButton)->Hint.empty())
    SH->ActivateHint2(Items->Items(ActiveQuickButton)->Hint);
  if (Changed && Parent->QuickButtonsShowHint && SH && ActiveQuickButton == -1) SH->HideHint();
}

void TbsSkinCaptionObject::MouseMove(int X, int Y) {
  TbsActiveSkinObject::MouseMove(X, Y);
  TestQuickButtons(X, Y);
}

void TbsSkinCaptionObject::MouseDown(int X, int Y, cl::TMouseButton Button) {
  Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
  if (!QuickButtonsActive()) return;
  TestQuickButtons(X, Y);
  TbsQuickButtonItems* Items = Parent->QuickButtons();
  if (ActiveQuickButton != -1) {
    for (int i = 0; i < Items->Count(); ++i) {
      TbsQuickButtonItem* It = Items->Items(i);
      It->Down = i == ActiveQuickButton;
      if (i != ActiveQuickButton) It->Active = false;
    }
    Parent->SendNCPaint();
  }
  if (Parent->QuickButtonsShowHint && Parent->SkinHint()) Parent->SkinHint()->HideHint();
}

void TbsSkinCaptionObject::MouseUp(int X, int Y, cl::TMouseButton Button) {
  Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
  if (!QuickButtonsActive()) return;
  TestQuickButtons(X, Y);
  if (ActiveQuickButton == -1) return;
  TbsQuickButtonItems* Items = Parent->QuickButtons();
  for (int i = 0; i < Items->Count(); ++i) Items->Items(i)->Down = false;
  Parent->SendNCPaint();
  // The click may free the form; nothing of this object is touched after it.
  rtl::TNotifyEvent Click = Items->Items(ActiveQuickButton)->OnClick;
  if (Click) Click(this);
}

void TbsSkinCaptionObject::MouseEnter() {
  FMouseIn = true;
  Parent->OnMouseEnterEvent(IDName);
}

void TbsSkinCaptionObject::MouseLeave() {
  FMouseIn = false;
  Parent->OnMouseLeaveEvent(IDName);
  if (!QuickButtonsActive()) return;
  ActiveQuickButton = OldActiveQuickButton = -1;
  TestQuickButtons(-1, -1);
}

}  // namespace skin
