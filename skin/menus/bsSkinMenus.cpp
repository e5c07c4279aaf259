#include "skin/menus/bsSkinMenus.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/cl/application.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsCaptionGlyphs.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsMaskRegions.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/draw/bsTextHelpers.h"
#include "skin/draw/bsWorkArea.h"

namespace skin {

namespace {

constexpr unsigned kCaptionFlags = gfx::DT_CENTER | gfx::DT_VCENTER;  // 5
constexpr uintptr_t kScrollTimer = 1;
constexpr gfx::TColor kActiveFill = 13811126;  // RGB(182, 189, 210)

gfx::TBitmap* PictureAt(TbsSkinData* SD, int Index) {
  if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size())) return nullptr;
  return SD->FActivePictures[size_t(Index)].get();
}

TbsDataSkinMenuItem* FirstMenuItemRecord(TbsSkinData* SD) {
  if (!SD || SD->Empty) return nullptr;
  for (auto& o : SD->ObjectList)
    if (auto* r = dynamic_cast<TbsDataSkinMenuItem*>(o.get())) return r;
  return nullptr;
}

TbsNinePart PopupSrc(const TbsDataSkinPopupWindow* PW) {
  return {PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect};
}

TRect Offset(TRect R, int DX, int DY) { return {R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY}; }

void Fill(gfx::TCanvas* C, const TRect& R, gfx::TColor Color) {
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

void Frame(gfx::TCanvas* C, const TRect& R, gfx::TColor Color) {
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(Color);
  C->FrameRect(R);
}

}  // namespace

bool IsMenuCloseMessage(unsigned Msg) {
  switch (Msg) {
    case 3:    // WM_MOVE
    case 5:    // WM_SIZE
    case 6:    // WM_ACTIVATE
    case 8:    // WM_KILLFOCUS
    case 31:   // WM_CANCELMODE
    case 33:   // WM_MOUSEACTIVATE
    case 161:  // WM_NCLBUTTONDOWN
    case 164:  // WM_NCRBUTTONDOWN
    case 167:  // WM_NCMBUTTONDOWN
    case 513:  // WM_LBUTTONDOWN
    case 516:  // WM_RBUTTONDOWN
    case 519:  // WM_MBUTTONDOWN
    case 528:  // WM_PARENTNOTIFY
      return true;
    default:
      return false;
  }
}

IbsSkinMenuHost* FindSkinMenuHost(cl::TComponent* Form) {
  if (!Form) return nullptr;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* h = dynamic_cast<IbsSkinMenuHost*>(Form->Components(i))) return h;
  return nullptr;
}

TPoint CalcMenuPosition(const TbsMenuPlacement& P) {
  const TRect& R = P.R;
  const TRect& WA = P.WorkArea;
  const int H = P.Height, W = P.Width, NIT = P.ItemsTop;
  const int Mid = WA.Top + WA.Height() / 2;
  const bool Tall = P.Scroll && !P.Scroll2;
  bool Shifted = false;
  int Y;
  if (Tall) {
    Y = WA.Top;
  } else if (P.PopupByItem) {
    if (R.Top + H - NIT <= WA.Bottom)
      Y = R.Top - NIT;
    else if (R.Top < Mid)
      Y = WA.Bottom - H;
    else
      Y = std::max(WA.Top, R.Bottom - H + NIT);
  } else if (P.PopupUp) {
    if (R.Top - H >= WA.Top) {
      Y = R.Top - H;
    } else if (R.Top < Mid && R.Bottom + H <= WA.Bottom) {
      Y = R.Bottom;
    } else if (R.Top < Mid) {
      Y = WA.Bottom - H;
      Shifted = true;
    } else {
      Y = WA.Top;
      Shifted = true;
    }
  } else {
    if (R.Bottom + H <= WA.Bottom) {
      Y = R.Bottom;
    } else if (R.Top < Mid) {
      Y = WA.Bottom - H;
      Shifted = true;
    } else if (R.Top - H >= WA.Top) {
      Y = R.Top - H;
    } else {
      Y = WA.Top;
      Shifted = true;
    }
  }
  int X;
  if (P.PopupByItem || Tall || Shifted)
    X = R.Right + W + 1 <= WA.Right ? R.Right + 1 : R.Left - W - 1;
  else
    X = R.Left + W > WA.Right ? WA.Right - W : std::max(R.Left, WA.Left);
  return {X, Y};
}

void DrawCheckMark(gfx::TCanvas* C, int X, int Y, gfx::TColor Color) {
  C->Pen()->SetColor(Color);
  for (int i = 0; i < 3; ++i) {
    C->MoveTo(X, Y + 5 - i);
    C->LineTo(X + 2, Y + 7 - i);
    C->LineTo(X + 7, Y + 2 - i);
  }
}

void DrawMenuArrow(gfx::TCanvas* C, int X, int Y, gfx::TColor Color) {
  C->Pen()->SetColor(Color);
  for (int i = 0; i < 4; ++i) {
    C->MoveTo(X + i, Y + i);
    C->LineTo(X + i, Y + 7 - i);
  }
}

void DrawRadioDot(gfx::TCanvas* C, int X, int Y, gfx::TColor Color) {
  C->Pen()->SetColor(Color);
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(Color);
  C->Ellipse(X, Y, X + 6, Y + 6);
}

// ============================================================================ TbsSkinMenu

TbsSkinMenu::TbsSkinMenu(cl::TComponent* AOwner, cl::TCustomForm* AForm) : cl::TComponent(AOwner), FForm(AForm) {
  FDefaultMenuItemFont.SetName("Arial");
  FDefaultMenuItemFont.SetHeight(14);
  WaitTimer = new cl::TTimer(this);
  WaitTimer->SetEnabled(false);
  WaitTimer->SetInterval(500);
  WaitTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinMenu::WaitTimerTick));
  if (FForm) FForm->FreeNotification(this);
}

void TbsSkinMenu::Destroy() {
  CloseLevels(0);
  cl::FreeAndNil(WaitTimer);
  if (FForm) FForm->RemoveFreeNotification(this);
  cl::TComponent::Destroy();
}

void TbsSkinMenu::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == PopupCtrl) PopupCtrl = nullptr;
  if (AComponent == DCtrl) DCtrl = nullptr;
  if (AComponent == FForm) FForm = nullptr;
  if (AComponent == SkinData) SkinData = nullptr;
}

void TbsSkinMenu::Watch(cl::TControl* C) {
  if (C) C->FreeNotification(this);
}

void TbsSkinMenu::Tell(cl::TControl* C, unsigned Msg) {
  if (!C || C->Destroyed()) return;
  cl::Keep<cl::TControl> k(C);
  auto* w = dynamic_cast<cl::TWinControl*>(C);
  if (w && w->HandleAllocated())
    win::SendMessage(w->Handle(), Msg, 0, 0);
  else
    C->Perform(Msg, 0, 0);
}

void TbsSkinMenu::StopWait() {
  if (WaitTimer) WaitTimer->SetEnabled(false);
  WItem = nullptr;
}

TbsSkinPopupWindow* TbsSkinMenu::NewWindow() {
  TbsDataSkinPopupWindow* data = (SkinData && !SkinData->Empty) ? &SkinData->PopupWindow : nullptr;
  auto* w = new TbsSkinPopupWindow(this, this, data);
  FPopupList.push_back(w);
  return w;
}

void TbsSkinMenu::Popup(cl::TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem,
                        bool PopupUp) {
  Popup2(APopupCtrl, ASkinData, StartIndex, R, AItem, nullptr, PopupUp);
}

void TbsSkinMenu::Popup2(cl::TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem,
                         TMenuItem* AItem2, bool PopupUp) {
  cl::Keep<TbsSkinMenu> self(this);
  FFirst = !FVisible;
  // The older cascade closes first and tells its own control; only then is
  // the new control recorded, so that it hears about its own menu alone.
  if (!FPopupList.empty() || FVisible) CloseLevels(0);
  if (Destroyed()) return;
  PopupCtrl = APopupCtrl;
  Watch(PopupCtrl);
  if (FForm && FForm->HandleAllocated())
    GetMonitorWorkArea(FForm->Handle(), true, WorkArea);
  else
    GetDesktopWorkArea(true, WorkArea);
  if (SkinData != ASkinData) {
    SkinData = ASkinData;
    if (SkinData) SkinData->FreeNotification(this);
  }
  int count = AItem ? AItem->Count() : 0;
  int count2 = AItem2 ? AItem2->Count() : 0;
  if (AItem && count > 0 && StartIndex < count + count2) {
    FVisible = true;
    TbsSkinPopupWindow* w = NewWindow();
    cl::Keep<TbsSkinPopupWindow> kw(w);
    if (AItem2)
      w->Show2(R, AItem, AItem2, StartIndex, false, PopupUp);
    else
      w->Show(R, AItem, StartIndex, false, PopupUp);
  }
  FFirst = false;
}

void TbsSkinMenu::Hide() {
  cl::Keep<TbsSkinMenu> self(this);
  CloseLevels(0);
  StopWait();
  if (FForm && FForm->HandleAllocated() && !Destroyed()) win::SendMessage(FForm->Handle(), WM_SKIN_MENU_CLOSED, 0, 0);
}

int TbsSkinMenu::GetLevel(TbsSkinPopupWindow* Window) const {
  for (size_t i = 0; i < FPopupList.size(); ++i)
    if (FPopupList[i] == Window) return int(i);
  return int(FPopupList.size());
}

void TbsSkinMenu::CloseLevels(int Level) {
  cl::Keep<TbsSkinMenu> self(this);
  Level = std::max(Level, 0);
  while (int(FPopupList.size()) > Level) {
    TbsSkinPopupWindow* w = FPopupList.back();
    FPopupList.pop_back();
    // A pending submenu of a closing window must not fire on a freed entry.
    if (WItem && WItem->Parent == w) StopWait();
    w->Free();
  }
  if (Level != 0) return;
  FVisible = false;
  if (WaitTimer) WaitTimer->SetEnabled(false);
  DCtrl = PopupCtrl;
  if (cl::TControl* c = PopupCtrl) {
    PopupCtrl = nullptr;
    Tell(c, WM_SKIN_MENU_CLOSED);
  }
  if (OnMenuClose) {
    rtl::TNotifyEvent e = OnMenuClose;
    OnMenuClose.Clear();
    e(this);
  }
}

void TbsSkinMenu::ProcessItem(TbsSkinPopupWindow* Window, TbsSkinMenuItem* Item, bool Kb, bool Click) {
  if (!Window || !Item || Window->Destroyed() || Item->Destroyed()) return;
  cl::Keep<TbsSkinMenu> self(this);
  cl::Keep<TbsSkinPopupWindow> kw(Window);
  cl::Keep<TbsSkinMenuItem> ki(Item);
  cl::Keep<TMenuItem> mi(Item->MenuItem);
  const bool children = Item->MenuItem->Count() > 0;
  auto closeDeeper = [&] {
    int l = GetLevel(Window);
    if (l + 1 < int(FPopupList.size())) CloseLevels(l + 1);
  };
  if (!children) {
    StopWait();
    if (!Click) {
      closeDeeper();
      return;
    }
    // Every window is gone and everyone told before the command runs.
    Hide();
    if (mi->Destroyed()) return;
    if (cl::TMenu* m = mi->GetParentMenu())
      m->DispatchCommand(mi->Command());
    else
      mi->Click();
    if (Destroyed()) return;
    if (cl::TControl* d = DCtrl) {
      DCtrl = nullptr;
      Tell(d, WM_FREE_EDIT_POPUP_MENU);
    }
    return;
  }
  if (!Click) {
    if (Kb) return;
    StopWait();
    closeDeeper();
    WItem = Item;
    WaitTimer->SetEnabled(true);
    return;
  }
  if (cl::TMenu* m = mi->GetParentMenu())
    m->DispatchCommand(mi->Command());
  else
    mi->Click();
  // The command may have closed the cascade or changed the items.
  if (Destroyed() || Window->Destroyed() || Item->Destroyed() || mi->Destroyed()) return;
  StopWait();
  closeDeeper();
  Item->Down = true;
  TRect r = Offset(Item->ObjectRect, Window->Left(), Window->Top());
  TbsSkinPopupWindow* w = NewWindow();
  cl::Keep<TbsSkinPopupWindow> nw(w);
  w->Show(r, mi.get(), 0, true, false);
}

void TbsSkinMenu::WaitTimerTick(rtl::TObject*) {
  cl::Keep<TbsSkinMenu> self(this);
  if (TbsSkinMenuItem* item = WItem) ProcessItem(item->Parent, item, false, true);
  if (!Destroyed() && WaitTimer) WaitTimer->SetEnabled(false);
}

// ============================================================================ TbsSkinPopupMenu

TbsSkinPopupMenu::TbsSkinPopupMenu(cl::TComponent* AOwner) : cl::TPopupMenu(AOwner) {}

void TbsSkinPopupMenu::SetSkinData(TbsSkinData* A) {
  FSkinData = A;
  if (A) A->FreeNotification(this);
}

void TbsSkinPopupMenu::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TPopupMenu::Notification(AComponent, Operation);
  if (Operation == cl::opRemove) {
    if (AComponent == FSkinData) FSkinData = nullptr;
    if (AComponent == ComponentForm) ComponentForm = nullptr;
  }
}

IbsSkinMenuHost* TbsSkinPopupMenu::FindHost() {
  if (SkinComponent) return SkinComponent;
  if (ComponentForm) return FindSkinMenuHost(ComponentForm);
  cl::TCustomForm* form = dynamic_cast<cl::TCustomForm*>(Owner());
  if (!form && Owner()) form = dynamic_cast<cl::TCustomForm*>(Owner()->Owner());
  if (!form) return nullptr;
  IbsSkinMenuHost* h = FindSkinMenuHost(form);
  if (h && form->FormStyle() == cl::fsMDIChild) h = FindSkinMenuHost(cl::Application->MainForm());
  return h;
}

void TbsSkinPopupMenu::Open(cl::TControl* ACtrl, TRect R, bool APopupUp, bool NeedSkin) {
  cl::Keep<TbsSkinPopupMenu> self(this);
  DoPopup();
  if (Destroyed()) return;
  IbsSkinMenuHost* host = FindHost();
  if (host && !FSkinData) SetSkinData(host->MenusSkinData() ? host->MenusSkinData() : host->SkinData());
  if (!host || (NeedSkin && !FSkinData)) return;
  TbsSkinMenu* menu = host->SkinMenu();
  if (!menu) return;
  if (menu->Visible()) host->SkinMenuClose();
  host->SkinMenuOpen();
  FPopupPoint = R.TopLeft();
  popupPoint_ = FPopupPoint;
  menu->Popup(ACtrl, FSkinData, 0, R, Items(), APopupUp);
  if (OnMenuClose && !menu->Destroyed()) menu->OnMenuClose = OnMenuClose;
}

void TbsSkinPopupMenu::Popup(int X, int Y) { Open(nullptr, TRect{X, Y, X, Y}, false, false); }
void TbsSkinPopupMenu::PopupFromRect(TRect R, bool APopupUp) { Open(nullptr, R, APopupUp, false); }
void TbsSkinPopupMenu::Popup2(cl::TControl* ACtrl, int X, int Y) { Open(ACtrl, TRect{X, Y, X, Y}, false, true); }
void TbsSkinPopupMenu::PopupFromRect2(cl::TControl* ACtrl, TRect R, bool APopupUp) { Open(ACtrl, R, APopupUp, false); }

// ============================================================================ TbsSkinMenuItem

TbsSkinMenuItem::TbsSkinMenuItem(TbsSkinPopupWindow* AParent, TMenuItem* AMenuItem, TbsDataSkinMenuItem* AData)
    : Parent(AParent), MI(AData), MenuItem(AMenuItem) {
  if (MI) {
    ActivePicture = PictureAt(Parent->SD, MI->ActivePictureIndex);
    if (!ActivePicture) {
      MI->SkinRect = TRect{};
      MI->ActiveSkinRect = TRect{};
    }
  }
}

void TbsSkinMenuItem::Destroy() { cl::TObject::Destroy(); }

bool TbsSkinMenuItem::IsHeader() const {
  const std::string& c = MenuItem->Caption;
  return !MenuItem->Enabled && c.size() >= 2 && c.front() == '-' && c.back() == '-';
}

int TbsSkinMenuItem::ItemHeight() const {
  if (MI) return IsSeparator() ? MI->DividerRect.Height() : MI->SkinRect.Height();
  return IsSeparator() ? 4 : Parent->ParentMenu->DefaultMenuItemHeight;
}

bool TbsSkinMenuItem::EnableMorphing() const {
  TbsSkinData* sd = Parent->SD;
  return MI && MI->Morphing && sd && !sd->Empty && sd->EnableSkinEffects();
}

bool TbsSkinMenuItem::EnableAnimation() const {
  TbsSkinData* sd = Parent->SD;
  return MI && MI->AnimateSkinRect.Width() > 0 && MI->AnimateSkinRect.Height() > 0 && sd && !sd->Empty &&
         sd->EnableSkinEffects();
}

bool TbsSkinMenuItem::CanMorphing() {
  if (!FVisible) {
    if (FMorphKf != 0) {
      Active = false;
      Down = false;
      FMorphKf = 0;
    }
    return false;
  }
  return ((Active || Down) && FMorphKf < 1) || (!Active && !Down && FMorphKf > 0);
}

void TbsSkinMenuItem::SetMorphKf(double V) { FMorphKf = std::clamp(V, 0.0, 1.0); }

void TbsSkinMenuItem::DoMorphing() {
  SetMorphKf(FMorphKf + ((Active || Down) ? 0.2 : -0.2));
  // Steps of a fifth stay exact fifths (no drift from repeated additions).
  FMorphKf = std::round(FMorphKf * 1000) / 1000;
  Parent->DrawItemNow(this);
}

TRect TbsSkinMenuItem::FrameRect(int K) const {
  const TRect& A = MI->AnimateSkinRect;
  int n = std::max(MI->FrameCount, 1);
  if (A.Height() > MI->SkinRect.Height()) {
    int h = A.Height() / n;
    return {A.Left, A.Top + h * (K - 1), A.Right, A.Top + h * K};
  }
  int w = A.Width() / n;
  return {A.Left + w * (K - 1), A.Top, A.Left + w * K, A.Bottom};
}

void TbsSkinMenuItem::ReDraw() {
  if (MI && EnableAnimation()) {
    if (int(Parent->MorphTimer->Interval()) != MI->AnimateInterval)
      Parent->MorphTimer->SetInterval(unsigned(std::max(MI->AnimateInterval, 1)));
    if (Active || MI->InActiveAnimation) {
      Parent->MorphTimer->SetEnabled(true);
    } else {
      CurrentFrame = 0;
      Parent->DrawItemNow(this);
    }
  } else if (MI && EnableMorphing()) {
    if (Parent->MorphTimer->Interval() != 20) Parent->MorphTimer->SetInterval(20);
    Parent->MorphTimer->SetEnabled(true);
  } else {
    Parent->DrawItemNow(this);
  }
}

void TbsSkinMenuItem::MouseEnter(bool Kb) {
  cl::Keep<TbsSkinMenuItem> self(this);
  TbsSkinPopupWindow* W = Parent;
  cl::Keep<TbsSkinPopupWindow> kw(W);
  Active = true;
  if (EnableAnimation()) CurrentFrame = 0;
  for (TbsSkinMenuItem* other : W->ItemList)
    if (other != this && other->Down) {
      other->Down = false;
      other->ReDraw();
    }
  TbsSkinMenu* menu = W->ParentMenu;
  if (WaitCommand && !Kb) {
    ReDraw();
  } else if (Down) {
    int level = menu->GetLevel(W);
    const auto& list = menu->PopupList();
    if (int(list.size()) > level + 2) list[size_t(level + 1)]->HideSubLevels();
  } else {
    ReDraw();
    menu->ProcessItem(W, this, Kb, false);
  }
  if (Destroyed() || W->Destroyed()) return;
  if (W->Hint != MenuItem->Hint) W->Hint = MenuItem->Hint;
}

void TbsSkinMenuItem::MouseLeave() {
  Active = false;
  if (EnableAnimation()) CurrentFrame = MI->FrameCount + 1;
  WaitCommand = false;
  if (!Down) ReDraw();
  TbsSkinMenu* menu = Parent->ParentMenu;
  if (menu->WItem == this) {
    menu->WaitTimer->SetEnabled(false);
    menu->WItem = nullptr;
  }
}

void TbsSkinMenuItem::MouseDown(int, int) {
  WaitCommand = false;
  if (!Down && MenuItem->Enabled) Parent->ParentMenu->ProcessItem(Parent, this, false, true);
}

void TbsSkinMenuItem::SetCanvasFont(gfx::TCanvas* C) {
  TbsSkinMenu* menu = Parent->ParentMenu;
  if (MI && menu->UseSkinFont) {
    C->Font()->SetName(MI->FontName);
    C->Font()->SetHeight(MI->FontHeight);
    C->Font()->SetStyle(MI->FontStyle);
  } else {
    C->Font()->Assign(*menu->DefaultMenuItemFont());
  }
}

void TbsSkinMenuItem::DrawPicturePart(gfx::TCanvas* C, const TRect& Part, const TRect& Into) {
  if (!ActivePicture || Part.Width() <= 0 || Part.Height() <= 0) return;
  gfx::TBitmap b;
  b.SetSize(Part.Width(), Part.Height());
  b.Canvas()->CopyRect(TRect{0, 0, Part.Width(), Part.Height()}, ActivePicture->Canvas(), Part);
  gfx::TColor key = b.Canvas()->Pixels(0, Part.Height() - 1);
  int x = std::max(Into.Left, Into.Left + (Into.Width() - Part.Width()) / 2);
  int y = std::max(Into.Top, Into.Top + (Into.Height() - Part.Height()) / 2);
  C->BrushCopy(TRect{x, y, x + Part.Width(), y + Part.Height()}, &b, TRect{0, 0, Part.Width(), Part.Height()}, key);
}

void TbsSkinMenuItem::DrawHeader(gfx::TBitmap* B) {
  TbsSkinData* sd = Parent->SD;
  int idx = sd ? sd->GetControlIndex("menuheader") : -1;
  if (idx < 0 && sd) idx = sd->GetControlIndex("label");
  auto* rec = idx >= 0 ? dynamic_cast<TbsDataSkinLabelControl*>(sd->CtrlList[size_t(idx)].get()) : nullptr;
  gfx::TBitmap* pic = rec ? PictureAt(sd, rec->PictureIndex) : nullptr;
  if (!rec || !pic) return;
  gfx::TBitmap bar;
  const TRect& S = rec->SkinRect;
  CreateHSkinImage(rec->LTPoint.X, S.Width() - rec->RTPoint.X, &bar, {pic, S}, B->Width(), S.Height(),
                   rec->StretchEffect);
  gfx::TCanvas* c = bar.Canvas();
  c->Font()->SetName(rec->FontName);
  c->Font()->SetHeight(rec->FontHeight);
  c->Font()->SetStyle(rec->FontStyle);
  c->Font()->SetColor(rec->FontColor);
  c->Brush()->SetStyle(gfx::bsClear);
  const std::string& cap = MenuItem->Caption;
  TRect r{rec->ClRect.Left, rec->ClRect.Top, bar.Width() + rec->ClRect.Right - S.Width(), bar.Height()};
  WideDrawText(c, cap.substr(1, cap.size() - 2), r, kCaptionFlags);
  B->Canvas()->Draw(0, (B->Height() - bar.Height()) / 2, &bar);
}

void TbsSkinMenuItem::DrawItemImage(gfx::TBitmap* B, bool A, const TRect& Source, bool FromFrame) {
  const int W = ObjectRect.Width();
  bool stretch =
      A ? MI->StretchEffect : (FromFrame && !MI->InActiveStretchEffect ? MI->StretchEffect : MI->InActiveStretchEffect);
  if (!A && MI->InActiveTransparent && Parent->FPaintBuffer) {
    B->SetSize(W, ObjectRect.Height());
    B->Canvas()->CopyRect(TRect{0, 0, W, ObjectRect.Height()}, Parent->FPaintBuffer->Canvas(), ObjectRect);
  } else {
    CreateHSkinImage(MI->ItemLO, MI->ItemRO, B, {ActivePicture, Source}, W, ObjectRect.Height(), stretch);
    if (B->Height() != ObjectRect.Height()) B->SetSize(W, ObjectRect.Height());
  }
  gfx::TCanvas* C = B->Canvas();
  int G = Parent->ImgL ? Parent->GlyphWidth : 16;
  if (!IsNullRect(MI->ImageRct)) G = 0;
  TRect T = MI->TextRct;
  T.Right += W - MI->SkinRect.Width();
  C->Brush()->SetStyle(gfx::bsClear);
  SetCanvasFont(C);
  gfx::TColor fc = A ? MI->ActiveFontColor : (MenuItem->Enabled ? MI->FontColor : MI->UnEnabledFontColor);
  C->Font()->SetColor(fc);
  if (MenuItem->OnDrawItem) {
    MenuItem->OnDrawItem(this, C, T, A);
    return;
  }
  if (IsHeader()) {
    DrawHeader(B);
    return;
  }
  std::string cap = MenuItem->Caption;
  TRect cr{T.Left + G, 0, T.Right - 16, 0};
  WideDrawText(C, cap, cr, gfx::DT_CALCRECT);
  int dy = T.Height() / 2 + T.Top - cr.Height() / 2;
  cr = Offset(cr, 0, dy);
  cr.Right += 2;
  C->Brush()->SetStyle(gfx::bsClear);
  WideDrawText(C, cap, cr, kCaptionFlags);
  if (MenuItem->ShortCut != 0) {
    std::string sc = cl::ShortCutToText(MenuItem->ShortCut);
    int sw = WideTextWidth(C, sc);
    TRect sr{T.Right - sw - 16, cr.Top, T.Right - 16, cr.Bottom};
    WideDrawText(C, sc, sr, kCaptionFlags);
  }
  if (MenuItem->Count() > 0) {
    if (IsNullRect(MI->ArrowImageRect)) {
      DrawMenuArrow(C, T.Right - 7, T.Top + T.Height() / 2 - 4, fc);
    } else {
      TRect part = (A && !IsNullRect(MI->ActiveArrowImageRect)) ? MI->ActiveArrowImageRect : MI->ArrowImageRect;
      DrawPicturePart(C, part, TRect{T.Right - MI->ArrowImageRect.Width() - 5, T.Top, T.Right, T.Bottom});
    }
  }
  cl::TCustomImageList* il = Parent->ImgL;
  bool hasImage = MenuItem->HasBitmap() || (il && MenuItem->ImageIndex >= 0 && MenuItem->ImageIndex < il->Count());
  if (MI->UseImageColor) {
    fc = A ? MI->ActiveImageColor : MI->ImageColor;
    C->Font()->SetColor(fc);
  }
  const TRect& IR = MI->ImageRct;
  if (hasImage) {
    int iw = MenuItem->HasBitmap() ? MenuItem->Bitmap()->Width() : il->Width();
    int ih = MenuItem->HasBitmap() ? MenuItem->Bitmap()->Height() : il->Height();
    int x, y;
    if (IsNullRect(IR)) {
      x = T.Left + 2;
      y = T.Top + T.Height() / 2 - ih / 2;
    } else {
      x = IR.Left + (IR.Width() - iw) / 2;
      y = IR.Top + (IR.Height() - ih) / 2;
    }
    if (MenuItem->Checked()) {
      C->Pen()->SetColor(fc);
      C->Brush()->SetStyle(gfx::bsClear);
      C->Rectangle(x - 1, y - 1, x + iw + 1, y + ih + 1);
    }
    if (MenuItem->HasBitmap())
      C->Draw(x, y, MenuItem->Bitmap());
    else
      il->Draw(C, x, y, MenuItem->ImageIndex, MenuItem->Enabled);
    return;
  }
  int x, y;
  if (IsNullRect(IR)) {
    x = T.Left + 2;
    y = T.Top + T.Height() / 2 - 4;
  } else {
    x = IR.Left + IR.Width() / 2 - 4;
    y = IR.Top + IR.Height() / 2 - 4;
  }
  const std::string& n = MenuItem->Name();
  if (n == "BSF_CLOSE" || n == "TRAY_BSF_CLOSE")
    DrawCloseGlyph(C, x, y, fc);
  else if (n == "BSF_MINITEM")
    DrawMinimizeGlyph(C, x, y, fc);
  else if (n == "BSF_MAXITEM")
    DrawMaximizeGlyph(C, x, y, fc);
  else if (n == "BSF_RESTORE" || n == "TRAY_BSF_RESTORE")
    DrawRestoreGlyph(C, x, y, fc);
  else if (n == "BSF_ROLLUP")
    DrawRollUpGlyph(C, x, y, fc);
  else if (n == "BSF_MINTOTRAY")
    DrawMinimizeToTrayGlyph(C, x, y, fc);
  else if (MenuItem->Checked()) {
    TRect into =
        IsNullRect(IR) ? TRect{MI->TextRct.Left + 2, MI->TextRct.Top, MI->TextRct.Left + 16, MI->TextRct.Bottom} : IR;
    if (MenuItem->RadioItem()) {
      if (IsNullRect(MI->RadioImageRect))
        DrawRadioDot(C, x, y + 1, fc);
      else
        DrawPicturePart(C, (A && !IsNullRect(MI->ActiveRadioImageRect)) ? MI->ActiveRadioImageRect : MI->RadioImageRect,
                        into);
    } else {
      if (IsNullRect(MI->CheckImageRect))
        DrawCheckMark(C, x, y, fc);
      else
        DrawPicturePart(C, (A && !IsNullRect(MI->ActiveCheckImageRect)) ? MI->ActiveCheckImageRect : MI->CheckImageRect,
                        into);
    }
  }
}

void TbsSkinMenuItem::Draw(gfx::TCanvas* Cnvs) {
  if (!FVisible) return;
  if (!MI) {
    DefaultDraw(Cnvs);
    return;
  }
  const int W = ObjectRect.Width(), H = ObjectRect.Height();
  if (W <= 0 || H <= 0) return;
  gfx::TBitmap B;
  if (IsSeparator()) {
    CreateHSkinImage(MI->DividerLO, MI->DividerRO, &B, {ActivePicture, MI->DividerRect}, W, H,
                     MI->DividerStretchEffect);
  } else {
    const bool A = Active || Down;
    if (EnableAnimation() && CurrentFrame >= 1 && CurrentFrame <= MI->FrameCount) {
      DrawItemImage(&B, A, FrameRect(CurrentFrame), true);
    } else if (EnableMorphing() && (A || FMorphKf != 0) && !(A && FMorphKf >= 1)) {
      gfx::TBitmap B2;
      DrawItemImage(&B, false, MI->SkinRect, false);
      DrawItemImage(&B2, true, MI->ActiveSkinRect, false);
      std::unique_ptr<TbsEffectBmp> e1(TbsEffectBmp::CreateFromhWnd(B.Handle()));
      std::unique_ptr<TbsEffectBmp> e2(TbsEffectBmp::CreateFromhWnd(B2.Handle()));
      if (e1 && e2) {
        e1->MorphBy(MI->MorphKind, e2.get(), FMorphKf);
        e1->Draw(B.Canvas()->Handle(), 0, 0);
      }
    } else if (A) {
      DrawItemImage(&B, true, MI->ActiveSkinRect, false);
    } else {
      DrawItemImage(&B, false, MI->SkinRect, false);
    }
  }
  if (!B.Empty()) Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinMenuItem::DefaultDraw(gfx::TCanvas* Cnvs) {
  const int W = ObjectRect.Width(), H = ObjectRect.Height();
  if (W <= 0 || H <= 0) return;
  gfx::TBitmap B;
  B.SetSize(W, H);
  gfx::TCanvas* C = B.Canvas();
  TbsSkinMenu* menu = Parent->ParentMenu;
  C->Font()->Assign(*menu->DefaultMenuItemFont());
  const int G = Parent->ImgL ? Parent->GlyphWidth : 19;
  const bool A = (Active || Down) && !IsSeparator();
  gfx::TColor fc;
  if (A) {
    Fill(C, TRect{0, 0, W, H}, gfx::clNavy);
    Fill(C, TRect{1, 1, W - 1, H - 1}, kActiveFill);
    fc = gfx::clWindowText;
  } else {
    Fill(C, TRect{0, 0, G, H}, gfx::clBtnFace);
    Fill(C, TRect{G, 0, W, H}, gfx::clWindow);
    fc = MenuItem->Enabled ? gfx::clWindowText : gfx::clBtnShadow;
  }
  C->Font()->SetColor(fc);
  C->Brush()->SetStyle(gfx::bsClear);
  if (IsSeparator()) {
    C->Pen()->SetColor(gfx::clBtnShadow);
    C->MoveTo(G, H / 2);
    C->LineTo(W, H / 2);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
    return;
  }
  const TRect I{2, 2, W - 2, H - 2};
  if (MenuItem->OnDrawItem) {
    MenuItem->OnDrawItem(this, C, I, A);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
    return;
  }
  if (IsHeader()) {
    Fill(C, TRect{0, 0, W, H}, gfx::clBtnShadow);
    C->Brush()->SetStyle(gfx::bsClear);
    C->Font()->SetColor(gfx::clBtnHighlight);
    const std::string& cap = MenuItem->Caption;
    TRect r = I;
    WideDrawText(C, cap.substr(1, cap.size() - 2), r, kCaptionFlags);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
    return;
  }
  const int midI = I.Top + I.Height() / 2;
  TRect cr{I.Left + G, 0, I.Right - 19, 0};
  WideDrawText(C, MenuItem->Caption, cr, gfx::DT_CALCRECT);
  cr = Offset(cr, 0, midI - cr.Height() / 2);
  cr.Right += 2;
  WideDrawText(C, MenuItem->Caption, cr, kCaptionFlags);
  if (MenuItem->ShortCut != 0) {
    std::string sc = cl::ShortCutToText(MenuItem->ShortCut);
    int sw = WideTextWidth(C, sc);
    TRect sr{I.Right - sw - 19, cr.Top, I.Right - 19, cr.Bottom};
    WideDrawText(C, sc, sr, kCaptionFlags);
  }
  if (MenuItem->Count() > 0) DrawMenuArrow(C, I.Right - 7, midI - 4, fc);
  cl::TCustomImageList* il = Parent->ImgL;
  bool hasImage = MenuItem->HasBitmap() || (il && MenuItem->ImageIndex >= 0 && MenuItem->ImageIndex < il->Count());
  if (hasImage) {
    int iw = MenuItem->HasBitmap() ? MenuItem->Bitmap()->Width() : il->Width();
    int ih = MenuItem->HasBitmap() ? MenuItem->Bitmap()->Height() : il->Height();
    int x = I.Left + 2, y = midI - ih / 2;
    if (MenuItem->Checked()) {
      C->Pen()->SetColor(fc);
      C->Brush()->SetStyle(gfx::bsClear);
      C->Rectangle(x - 1, y - 1, x + iw + 1, y + ih + 1);
    }
    if (MenuItem->HasBitmap())
      C->Draw(x, y, MenuItem->Bitmap());
    else
      il->Draw(C, x, y, MenuItem->ImageIndex, MenuItem->Enabled);
  } else {
    const int x = I.Left + 2, y = midI - 4;
    const std::string& n = MenuItem->Name();
    if (n == "BSF_CLOSE" || n == "TRAY_BSF_CLOSE")
      DrawCloseGlyph(C, x, y, fc);
    else if (n == "BSF_MINITEM")
      DrawMinimizeGlyph(C, x, y, fc);
    else if (n == "BSF_MAXITEM")
      DrawMaximizeGlyph(C, x, y, fc);
    else if (n == "BSF_RESTORE" || n == "TRAY_BSF_RESTORE")
      DrawRestoreGlyph(C, x, y, fc);
    else if (n == "BSF_ROLLUP")
      DrawRollUpGlyph(C, x, y, fc);
    else if (n == "BSF_MINTOTRAY")
      DrawMinimizeToTrayGlyph(C, x, y, fc);
    else if (MenuItem->Checked()) {
      if (MenuItem->RadioItem())
        DrawRadioDot(C, I.Left + 3, midI - 4, fc);
      else
        DrawCheckMark(C, I.Left + 3, midI - 4, fc);
    }
  }
  Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

// ============================================================================ TbsSkinPopupWindow

TbsSkinPopupWindow::TbsSkinPopupWindow(cl::TComponent* AOwner, TbsSkinMenu* AParentMenu, TbsDataSkinPopupWindow* AData)
    : cl::TCustomControl(AOwner), ParentMenu(AParentMenu) {
  visible_ = false;
  // The menu never captures the mouse: it polls the pointer instead, so a
  // press anywhere else reaches the form under it.
  ControlStyle &= ~unsigned(cl::csCaptureMouse);
  MouseTimer = new cl::TTimer(this);
  MouseTimer->SetEnabled(false);
  MouseTimer->SetInterval(50);
  MouseTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinPopupWindow::MouseTimerTick));
  MorphTimer = new cl::TTimer(this);
  MorphTimer->SetEnabled(false);
  MorphTimer->SetInterval(20);
  MorphTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinPopupWindow::MorphTimerTick));
  if (AData && AData->WindowPictureIndex != -1) {
    PW = AData;
    SD = ParentMenu->SkinData;
    WindowPicture = PictureAt(SD, PW->WindowPictureIndex);
    MaskPicture = PictureAt(SD, PW->MaskPictureIndex);
  }
}

void TbsSkinPopupWindow::Destroy() {
  if (MouseTimer) MouseTimer->SetEnabled(false);
  if (MorphTimer) MorphTimer->SetEnabled(false);
  if (HandleAllocated()) win::KillTimer(Handle(), kScrollTimer);
  for (TbsSkinMenuItem* i : ItemList) i->Free();
  ItemList.clear();
  cl::FreeAndNil(MouseTimer);
  cl::FreeAndNil(MorphTimer);
  FPaintBuffer.reset();
  // The window owns its region; it goes with the handle.
  FRgn = gfx::HRGN();
  cl::TCustomControl::Destroy();
}

void TbsSkinPopupWindow::CreateParams(cl::TCreateParams& Params) {
  cl::TCustomControl::CreateParams(Params);
  Params.Style = win::WS_POPUP;
  Params.ExStyle = win::WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= win::CS_SAVEBITS;
}

void TbsSkinPopupWindow::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case win::WM_MOUSEACTIVATE:
      Msg.Result = win::MA_NOACTIVATE;
      return;
    case win::WM_ERASEBKGND:
      Msg.Result = 1;
      return;
    case win::WM_TIMER:
      if (Msg.WParam == kScrollTimer) {
        cl::TCustomControl::Dispatch(Msg);
        if (ScrollCode == 1) {
          if (CanScrollUp())
            ScrollUp(false);
          else
            StopScroll();
        } else if (ScrollCode == 2) {
          if (CanScrollDown())
            ScrollDown(false);
          else
            StopScroll();
        }
        return;
      }
      break;
    default:
      break;
  }
  cl::TCustomControl::Dispatch(Msg);
}

bool TbsSkinPopupWindow::IsSkinned() const { return PW != nullptr; }

void TbsSkinPopupWindow::SetItemFont(gfx::TCanvas* C) {
  if (PW && DSMI && ParentMenu->UseSkinFont) {
    C->Font()->SetName(DSMI->FontName);
    C->Font()->SetHeight(DSMI->FontHeight);
    C->Font()->SetStyle(DSMI->FontStyle);
  } else {
    C->Font()->Assign(*ParentMenu->DefaultMenuItemFont());
  }
}

void TbsSkinPopupWindow::BuildItems(TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool Two) {
  DSMI = FirstMenuItemRecord(SD);
  // A skin with a window picture but no entry record (or a picture index
  // outside its pictures) cannot size its entries: it shows unskinned.
  if (PW && (!DSMI || !WindowPicture)) {
    PW = nullptr;
    SD = nullptr;
    DSMI = nullptr;
    WindowPicture = MaskPicture = nullptr;
  }
  gfx::TBitmap measure;
  measure.SetSize(1, 1);
  gfx::TCanvas* mc = measure.Canvas();
  SetItemFont(mc);
  ImgL = nullptr;
  auto add = [&](TMenuItem* parent, int from) {
    if (!parent) return;
    if (cl::TMenu* m = parent->GetParentMenu()) {
      if (m->AutoLineReduction == cl::maAutomatic) parent->RethinkLines();
      if (!ImgL) ImgL = m->Images;
    }
    for (int i = std::max(from, 0); i < parent->Count(); ++i) {
      TMenuItem* mi = parent->Items(i);
      if (!mi->Visible) continue;
      ItemList.push_back(new TbsSkinMenuItem(this, mi, DSMI));
    }
  };
  add(AItem, StartIndex);
  if (Two && AItem2) add(AItem2, StartIndex - (AItem ? AItem->Count() : 0));
  GlyphWidth = ImgL ? ImgL->Width() + 5 : 19;
  int maxW = 0;
  for (TbsSkinMenuItem* it : ItemList) {
    std::string s = it->MenuItem->Caption;
    if (it->MenuItem->ShortCut != 0) s += "  " + cl::ShortCutToText(it->MenuItem->ShortCut);
    TRect r{0, 0, 0, 0};
    WideDrawText(mc, s, r, gfx::DT_CALCRECT);
    maxW = std::max(maxW, r.Width() + 2);
  }
  int W = maxW + GlyphWidth + 19;
  if (PW)
    W += WindowPicture->Width() - PW->ItemsRect.Width() + DSMI->TextRct.Left +
         (DSMI->SkinRect.Width() - DSMI->TextRct.Right);
  else
    W += 10;
  VisibleStartIndex = 0;
  VisibleCount = int(ItemList.size());
  Scroll = Scroll2 = false;
  int S = 0;
  for (TbsSkinMenuItem* it : ItemList) S += it->ItemHeight();
  int frame = PW ? WindowPicture->Height() - PW->ItemsRect.Height() : (Two ? 6 : 4);
  int H;
  int limit = ParentMenu->MaxMenuItemsInWindow;
  if (limit > 0 && limit < int(ItemList.size())) {
    int h = DSMI ? DSMI->SkinRect.Height() : ParentMenu->DefaultMenuItemHeight;
    H = h * limit + frame + 20;
    Scroll = Scroll2 = true;
  } else {
    H = S + frame;
  }
  if (H > ParentMenu->WorkArea.Height()) {
    H = ParentMenu->WorkArea.Height();
    Scroll = true;
  }
  if (PW) {
    int pw = WindowPicture->Width(), ph = WindowPicture->Height();
    NewLTPoint = PW->LTPoint;
    NewRTPoint = {W + PW->RTPoint.X - pw, PW->RTPoint.Y};
    NewLBPoint = {PW->LBPoint.X, H + PW->LBPoint.Y - ph};
    NewRBPoint = {W + PW->RBPoint.X - pw, H + PW->RBPoint.Y - ph};
    NewItemsRect = {PW->ItemsRect.Left, PW->ItemsRect.Top, W + PW->ItemsRect.Right - pw, H + PW->ItemsRect.Bottom - ph};
  } else {
    NewItemsRect = {2, 2, W - 2, H - 2};
  }
  SetBounds(Left(), Top(), W, H);
  ArrangeItems();
  if (MaskPicture && PW) {
    gfx::HRGN rgn;
    CreateSkinRegion(rgn, PopupSrc(PW), {NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewItemsRect}, MaskPicture, W,
                     H);
    FRgn = rgn;
    win::SetWindowRgn(Handle(), rgn, true);
  }
}

void TbsSkinPopupWindow::ArrangeItems() {
  int y = NewItemsRect.Top + (Scroll ? 10 : 0);
  const int bottom = NewItemsRect.Bottom - (Scroll ? 10 : 0);
  VisibleCount = 0;
  for (int i = VisibleStartIndex; i < int(ItemList.size()); ++i) {
    TbsSkinMenuItem* it = ItemList[size_t(i)];
    int h = it->ItemHeight();
    it->ObjectRect = {NewItemsRect.Left, y, NewItemsRect.Right, y + h};
    y += h;
    if (y > bottom) break;
    it->FVisible = true;
    ++VisibleCount;
  }
  if (Scroll)
    for (int i = 0; i < int(ItemList.size()); ++i)
      if (i < VisibleStartIndex || i >= VisibleStartIndex + VisibleCount) ItemList[size_t(i)]->FVisible = false;
}

int TbsSkinPopupWindow::GetLastStartIndex() const {
  // The last items that fit between the two markers. (Measured from the
  // top of the items area, so that the last item is shown whole.)
  int budget = NewItemsRect.Height() - 20;
  int n = 0;
  for (int i = int(ItemList.size()) - 1; i >= 0; --i) {
    budget -= ItemList[size_t(i)]->ItemHeight();
    if (budget < 0) break;
    ++n;
  }
  return int(ItemList.size()) - n;
}

void TbsSkinPopupWindow::ScrollUp(bool Cycle) {
  int old = VisibleStartIndex;
  if (CanScrollUp())
    --VisibleStartIndex;
  else if (Cycle)
    VisibleStartIndex = GetLastStartIndex();
  if (old == VisibleStartIndex) return;
  ArrangeItems();
  Repaint();
}

void TbsSkinPopupWindow::ScrollDown(bool Cycle) {
  int old = VisibleStartIndex;
  if (CanScrollDown())
    ++VisibleStartIndex;
  else if (Cycle)
    VisibleStartIndex = 0;
  if (old == VisibleStartIndex) return;
  ArrangeItems();
  Repaint();
}

void TbsSkinPopupWindow::CalcPosition(TRect R, bool PopupByItem, bool PopupUp) {
  TbsMenuPlacement P;
  P.R = R;
  P.WorkArea = ParentMenu->WorkArea;
  P.Width = Width();
  P.Height = Height();
  P.ItemsTop = NewItemsRect.Top;
  P.Scroll = Scroll;
  P.Scroll2 = Scroll2;
  P.PopupByItem = PopupByItem;
  P.PopupUp = PopupUp;
  TPoint p = CalcMenuPosition(P);
  ShowX = p.X;
  ShowY = p.Y;
}

void TbsSkinPopupWindow::Show(TRect R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp) {
  bool fade =
      IsWindows2000OrLater() && ParentMenu->AlphaBlend && ParentMenu->AlphaBlendAnimation && ParentMenu->First();
  if (fade) cl::Application->ProcessMessages();
  if (Destroyed()) return;
  BuildItems(AItem, nullptr, StartIndex, false);
  ShowCommon(R, PopupByItem, PopupUp);
}

void TbsSkinPopupWindow::Show2(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                               bool PopupUp) {
  bool fade =
      IsWindows2000OrLater() && ParentMenu->AlphaBlend && ParentMenu->AlphaBlendAnimation && ParentMenu->First();
  if (fade) cl::Application->ProcessMessages();
  if (Destroyed()) return;
  BuildItems(AItem, AItem2, StartIndex, true);
  ShowCommon(R, PopupByItem, PopupUp);
}

void TbsSkinPopupWindow::ShowCommon(TRect R, bool PopupByItem, bool PopupUp) {
  cl::Keep<TbsSkinPopupWindow> self(this);
  CalcPosition(R, PopupByItem, PopupUp);
  const bool layered = IsWindows2000OrLater() && ParentMenu->AlphaBlend;
  const bool fade = layered && ParentMenu->AlphaBlendAnimation && ParentMenu->First();
  win::HWND h = Handle();
  if (layered) {
    win::SetWindowLong(h, win::GWL_EXSTYLE, win::GetWindowLong(h, win::GWL_EXSTYLE) | win::WS_EX_LAYERED);
    SetWindowAlpha(h, uint8_t(fade ? 0 : ParentMenu->AlphaBlendValue));
  }
  SetBounds(ShowX, ShowY, Width(), Height());
  win::SetWindowPos(h, win::HWND_TOPMOST, ShowX, ShowY, 0, 0,
                    win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE | win::SWP_NOSIZE);
  visible_ = true;
  if (fade) {
    const int target = std::clamp(ParentMenu->AlphaBlendValue, 0, 255);
    FadeInWindowAlpha(h, target, target / 15, 5, false);
  }
  MouseTimer->SetEnabled(true);
  ActiveItem = -1;
  for (size_t i = 0; i < ItemList.size(); ++i) {
    TbsSkinMenuItem* it = ItemList[i];
    if (it->Selectable()) {
      it->WaitCommand = true;
      ActiveItem = int(i);
      it->MouseEnter(true);
      break;
    }
  }
}

void TbsSkinPopupWindow::HideWindow() {
  if (HandleAllocated())
    win::SetWindowPos(
        Handle(), nullptr, 0, 0, 0, 0,
        win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_HIDEWINDOW);
  MouseTimer->SetEnabled(false);
  MorphTimer->SetEnabled(false);
  visible_ = false;
}

void TbsSkinPopupWindow::CreateWindowImage(gfx::TBitmap* B, bool DrawClient) {
  const int W = Width(), H = Height();
  if (PW) {
    TbsPictureRect src{WindowPicture, TRect{0, 0, WindowPicture->Width(), WindowPicture->Height()}};
    CreateSkinImage2(PopupSrc(PW), {NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewItemsRect}, B, src, W, H,
                     DrawClient, StretchOf(*PW));
    return;
  }
  B->SetSize(W, H);
  gfx::TCanvas* C = B->Canvas();
  const int G = ImgL ? GlyphWidth + 2 : 21;
  Fill(C, TRect{0, 0, G, H}, gfx::clBtnFace);
  Fill(C, TRect{G, 0, W, H}, gfx::clWindow);
  Frame(C, TRect{0, 0, W, H}, gfx::clBtnShadow);
  Frame(C, TRect{1, 1, W - 1, H - 1}, gfx::clWindow);
}

void TbsSkinPopupWindow::DrawItemBackground(gfx::TCanvas* C, TRect R) {
  if (!SD || R.Width() <= 0 || R.Height() <= 0) return;
  int idx = SD->GetIndex("menuitem");
  if (idx < 0) idx = SD->GetIndex("MENUITEM");
  if (idx < 0) return;
  auto* obj = dynamic_cast<TbsDataSkinMenuItem*>(SD->ObjectList[size_t(idx)].get());
  if (!obj) return;
  gfx::TBitmap b;
  if (obj->InActiveTransparent && FPaintBuffer) {
    b.SetSize(R.Width(), R.Height());
    b.Canvas()->CopyRect(TRect{0, 0, R.Width(), R.Height()}, FPaintBuffer->Canvas(), R);
  } else {
    gfx::TBitmap* pic = PictureAt(SD, obj->ActivePictureIndex);
    if (!pic) return;
    CreateHSkinImage(obj->ItemLO, obj->ItemRO, &b, {pic, obj->SkinRect}, R.Width(), R.Height(),
                     obj->InActiveStretchEffect);
    if (b.Height() > R.Height()) b.SetSize(b.Width(), R.Height());
  }
  C->Draw(R.Left, R.Top, &b);
}

void TbsSkinPopupWindow::DrawMarkers(gfx::TCanvas* C) {
  if (!Scroll) return;
  const int W = Width(), H = Height();
  TRect up, down;
  gfx::TColor cu, cd;
  if (PW) {
    up = {NewItemsRect.Left, NewItemsRect.Top, NewItemsRect.Right, NewItemsRect.Top + 10};
    down = {NewItemsRect.Left, NewItemsRect.Bottom - 10, NewItemsRect.Right, NewItemsRect.Bottom};
    DrawItemBackground(C, up);
    DrawItemBackground(C, down);
    cu = ScrollCode == 1 ? PW->ScrollMarkerActiveColor : PW->ScrollMarkerColor;
    cd = ScrollCode == 2 ? PW->ScrollMarkerActiveColor : PW->ScrollMarkerColor;
  } else {
    up = {3, 3, W - 3, 13};
    down = {3, H - 10, W - 3, H - 3};
    Fill(C, up, gfx::clWindow);
    Fill(C, down, gfx::clWindow);
    cu = ScrollCode == 1 ? gfx::clBtnText : gfx::clBtnShadow;
    cd = ScrollCode == 2 ? gfx::clBtnText : gfx::clBtnShadow;
  }
  DrawArrowGlyph(C, up, cu, 3);
  DrawArrowGlyph(C, down, cd, 4);
}

void TbsSkinPopupWindow::RedrawMarkers() {
  if (!Scroll || !HandleAllocated() || !visible_) return;
  DrawMarkers(canvas_);
  canvas_->FreeHandle();
}

void TbsSkinPopupWindow::PaintMenu(gfx::HDC DC) {
  gfx::TCanvas c;
  c.SetHandle(DC);
  gfx::TBitmap B;
  CreateWindowImage(&B, Scroll);
  if (PW && DSMI && DSMI->InActiveTransparent) {
    auto buf = std::make_unique<gfx::TBitmap>();
    CreateWindowImage(buf.get(), true);
    FPaintBuffer = std::move(buf);
  }
  int lastBottom = NewItemsRect.Top;
  for (int i = VisibleStartIndex; i < VisibleStartIndex + VisibleCount && i < int(ItemList.size()); ++i) {
    ItemList[size_t(i)]->Draw(B.Canvas());
    lastBottom = ItemList[size_t(i)]->ObjectRect.Bottom;
  }
  if (Scroll) {
    DrawMarkers(B.Canvas());
    if (PW && lastBottom < NewItemsRect.Bottom - 10)
      DrawItemBackground(B.Canvas(),
                         TRect{NewItemsRect.Left, lastBottom, NewItemsRect.Right, NewItemsRect.Bottom - 10});
  }
  c.Draw(0, 0, &B);
  c.SetHandle(gfx::HDC());
}

void TbsSkinPopupWindow::Paint() { PaintMenu(canvas_->Handle()); }

void TbsSkinPopupWindow::DrawItemNow(TbsSkinMenuItem* Item) {
  if (!HandleAllocated() || !visible_ || Destroyed()) return;
  Item->Draw(canvas_);
  canvas_->FreeHandle();
}

void TbsSkinPopupWindow::StartScroll() {
  ParentMenu->CloseLevels(ParentMenu->GetLevel(this) + 1);
  win::KillTimer(Handle(), kScrollTimer);
  win::SetTimer(Handle(), kScrollTimer, 100);
}

void TbsSkinPopupWindow::StopScroll() {
  ScrollCode = 0;
  RedrawMarkers();
  if (HandleAllocated()) win::KillTimer(Handle(), kScrollTimer);
}

void TbsSkinPopupWindow::MouseTimerTick(rtl::TObject*) {
  cl::Keep<TbsSkinPopupWindow> self(this);
  win::POINT sp;
  win::GetCursorPos(&sp);
  TPoint p = ScreenToClient(TPoint{sp.X, sp.Y});
  if (p.X == OMX && p.Y == OMY) return;
  if (win::WindowFromPoint(sp) == Handle()) {
    TestActive(p.X, p.Y);
  } else if (Scroll) {
    ScrollCode = 0;
    RedrawMarkers();
  }
  if (Destroyed()) return;
  OMX = p.X;
  OMY = p.Y;
}

bool TbsSkinPopupWindow::ItemVisibleAt(int I, int X, int Y) const {
  if (I < 0 || I >= int(ItemList.size())) return false;
  TbsSkinMenuItem* it = ItemList[size_t(I)];
  return it->FVisible && PointInRectHalfOpen(it->ObjectRect, TPoint{X, Y});
}

void TbsSkinPopupWindow::TestActive(int X, int Y) {
  cl::Keep<TbsSkinPopupWindow> self(this);
  if (Scroll) {
    TRect up{NewItemsRect.Left, NewItemsRect.Top, NewItemsRect.Right, NewItemsRect.Top + 10};
    TRect down{NewItemsRect.Left, NewItemsRect.Bottom - 10, NewItemsRect.Right, NewItemsRect.Bottom};
    bool inUp = PointInRectHalfOpen(up, {X, Y}), inDown = PointInRectHalfOpen(down, {X, Y});
    if (inUp && ScrollCode == 0 && CanScrollUp()) {
      ScrollCode = 1;
      RedrawMarkers();
      StartScroll();
    } else if (inDown && ScrollCode == 0 && CanScrollDown()) {
      ScrollCode = 2;
      RedrawMarkers();
      StartScroll();
    } else if (ScrollCode != 0 && !inUp && !inDown) {
      StopScroll();
    }
  }
  if (ItemList.empty() || Destroyed()) return;
  OldActiveItem = ActiveItem;
  for (int i = 0; i < int(ItemList.size()); ++i)
    if (ItemVisibleAt(i, X, Y)) {
      ActiveItem = i;
      break;
    }
  if (ActiveItem >= int(ItemList.size())) ActiveItem = -1;
  if (ActiveItem == OldActiveItem) {
    if (ActiveItem != -1) {
      TbsSkinMenuItem* it = ItemList[size_t(ActiveItem)];
      if (it->WaitCommand) {
        it->WaitCommand = false;
        if (it->MenuItem->Count() > 0) it->MouseEnter(false);
      }
    }
    return;
  }
  cl::Keep<TbsSkinMenuItem> oldItem(OldActiveItem >= 0 ? ItemList[size_t(OldActiveItem)] : nullptr);
  cl::Keep<TbsSkinMenuItem> newItem(ActiveItem >= 0 ? ItemList[size_t(ActiveItem)] : nullptr);
  if (oldItem && oldItem->Selectable()) oldItem->MouseLeave();
  if (Destroyed()) return;
  if (newItem && newItem->Selectable() && !newItem->Destroyed()) newItem->MouseEnter(false);
}

void TbsSkinPopupWindow::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinPopupWindow> self(this);
  cl::TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Destroyed()) return;
  TestActive(X, Y);
  if (Destroyed()) return;
  if (ActiveItem != -1 && Button == cl::mbLeft && ItemVisibleAt(ActiveItem, X, Y)) {
    TbsSkinMenuItem* it = ItemList[size_t(ActiveItem)];
    if (!it->IsSeparator()) {
      cl::Keep<TbsSkinMenuItem> k(it);
      it->MouseDown(X, Y);
    }
  }
}

void TbsSkinPopupWindow::NextItem() {
  cl::Keep<TbsSkinPopupWindow> self(this);
  const int n = int(ItemList.size());
  if (n == 0) return;
  OldActiveItem = ActiveItem;
  int start = ActiveItem + 1;
  if (ActiveItem == -1 || start > n - 1) start = 0;
  int found = -1;
  for (int i = start; i < n; ++i)
    if (ItemList[size_t(i)]->Selectable()) {
      found = i;
      break;
    }
  if (found == -1) return;
  ActiveItem = found;
  if (Scroll && ScrollCode == 0) {
    // Bring the new entry into view: down one step at a time, or back to
    // the top when the walk wrapped.
    bool moved = false;
    if (ActiveItem < VisibleStartIndex) {
      VisibleStartIndex = 0;
      moved = true;
    }
    while (ActiveItem >= VisibleStartIndex + VisibleCount && CanScrollDown()) {
      ++VisibleStartIndex;
      ArrangeItems();
      moved = true;
    }
    if (moved) {
      ArrangeItems();
      Repaint();
    }
  }
  if (ActiveItem == OldActiveItem) return;
  cl::Keep<TbsSkinMenuItem> nw(ItemList[size_t(ActiveItem)]);
  cl::Keep<TbsSkinMenuItem> old(OldActiveItem >= 0 ? ItemList[size_t(OldActiveItem)] : nullptr);
  nw->MouseEnter(true);
  if (Destroyed()) return;
  if (old && !old->Destroyed()) old->MouseLeave();
}

void TbsSkinPopupWindow::PriorItem() {
  cl::Keep<TbsSkinPopupWindow> self(this);
  const int n = int(ItemList.size());
  if (n == 0) return;
  OldActiveItem = ActiveItem;
  int start = ActiveItem - 1;
  if (ActiveItem == -1 || start == -1) start = n - 1;
  int found = -1;
  for (int i = start; i >= 0; --i)
    if (ItemList[size_t(i)]->Selectable()) {
      found = i;
      break;
    }
  if (found == -1) return;
  ActiveItem = found;
  if (Scroll && ScrollCode == 0) {
    bool moved = false;
    if (ActiveItem >= VisibleStartIndex + VisibleCount) {
      VisibleStartIndex = GetLastStartIndex();
      ArrangeItems();
      moved = true;
    }
    if (ActiveItem < VisibleStartIndex) {
      VisibleStartIndex = ActiveItem;
      moved = true;
    }
    if (moved) {
      ArrangeItems();
      Repaint();
    }
  }
  if (ActiveItem == OldActiveItem) return;
  cl::Keep<TbsSkinMenuItem> nw(ItemList[size_t(ActiveItem)]);
  cl::Keep<TbsSkinMenuItem> old(OldActiveItem >= 0 ? ItemList[size_t(OldActiveItem)] : nullptr);
  nw->MouseEnter(true);
  if (Destroyed()) return;
  if (old && !old->Destroyed()) old->MouseLeave();
}

void TbsSkinPopupWindow::PopupKeyDown(int CharCode) {
  if (!visible_ || Destroyed()) return;
  cl::Keep<TbsSkinPopupWindow> self(this);
  if (Enabled()) {
    for (size_t i = 0; i < ItemList.size(); ++i) {
      TbsSkinMenuItem* it = ItemList[i];
      if (!cl::IsAccel(char32_t(CharCode), it->MenuItem->Caption)) continue;
      cl::Keep<TbsSkinMenuItem> k(it);
      it->MouseEnter(false);
      if (Destroyed() || it->Destroyed()) return;
      OldActiveItem = ActiveItem;
      ActiveItem = int(i);
      if (OldActiveItem != -1 && OldActiveItem != ActiveItem) {
        cl::Keep<TbsSkinMenuItem> o(ItemList[size_t(OldActiveItem)]);
        o->MouseLeave();
        if (Destroyed()) return;
      }
      it->MouseDown(0, 0);
      return;
    }
  }
  TbsSkinMenu* menu = ParentMenu;
  cl::Keep<TbsSkinMenu> km(menu);
  auto closeLast = [&] {
    const auto& list = menu->PopupList();
    TbsSkinPopupWindow* before = list[list.size() - 2];
    if (before->ActiveItem >= 0 && before->ActiveItem < int(before->ItemList.size())) {
      TbsSkinMenuItem* it = before->ItemList[size_t(before->ActiveItem)];
      it->Down = false;
      it->ReDraw();
    }
    menu->CloseLevels(int(list.size()) - 1);
  };
  switch (CharCode) {
    case 13:
      if (ActiveItem != -1) {
        cl::Keep<TbsSkinMenuItem> k(ItemList[size_t(ActiveItem)]);
        k->MouseDown(0, 0);
      }
      break;
    case 27:
      if (menu->PopupList().size() > 1)
        closeLast();
      else
        menu->CloseLevels(0);
      break;
    case 37:
      if (menu->PopupList().size() > 1) closeLast();
      break;
    case 38:
      PriorItem();
      break;
    case 39:
      if (ActiveItem != -1 && ItemList[size_t(ActiveItem)]->MenuItem->Count() > 0) {
        cl::Keep<TbsSkinMenuItem> k(ItemList[size_t(ActiveItem)]);
        k->MouseDown(0, 0);
      }
      break;
    case 40:
      NextItem();
      break;
    default:
      break;
  }
}

void TbsSkinPopupWindow::HideSubLevels() {
  cl::Keep<TbsSkinPopupWindow> self(this);
  ParentMenu->CloseLevels(ParentMenu->GetLevel(this) + 1);
  if (Destroyed()) return;
  for (TbsSkinMenuItem* it : ItemList)
    if (it->Down) {
      it->Down = false;
      if (it->EnableAnimation() && !it->MI->InActiveAnimation) {
        it->CurrentFrame = 0;
        DrawItemNow(it);
      } else {
        it->ReDraw();
      }
    }
}

void TbsSkinPopupWindow::MorphTimerTick(rtl::TObject*) {
  if (!PW) return;
  bool changed = false;
  for (TbsSkinMenuItem* it : ItemList) {
    if (it->EnableMorphing() && it->CanMorphing()) {
      it->DoMorphing();
      changed = true;
    } else if (it->EnableAnimation()) {
      if (it->Active && it->CurrentFrame <= it->MI->FrameCount) {
        ++it->CurrentFrame;
        DrawItemNow(it);
        changed = true;
      } else if (!it->Active && it->CurrentFrame > 0) {
        --it->CurrentFrame;
        DrawItemNow(it);
        changed = true;
      }
    }
  }
  if (!changed) MorphTimer->SetEnabled(false);
}

}  // namespace skin
