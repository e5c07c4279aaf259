#include "skin/menus/bsImagesMenu.h"

#include <algorithm>

#include "platform/cl/application.h"
#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsMaskRegions.h"
#include "skin/menus/bsSkinHint.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/draw/bsTextHelpers.h"
#include "skin/draw/bsWorkArea.h"

namespace skin {

namespace {

constexpr gfx::TColor kPressedFill = 11899781;  // RGB(133, 146, 181)
constexpr gfx::TColor kHotFill = 13811126;      // RGB(182, 189, 210)

gfx::TBitmap* PictureAt(TbsSkinData* SD, int Index) {
  if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size())) return nullptr;
  return SD->FActivePictures[size_t(Index)].get();
}

template <class T>
T* ControlRecord(TbsSkinData* SD, const char* Name) {
  if (!SD || SD->Empty) return nullptr;
  int i = SD->GetControlIndex(Name);
  return i < 0 ? nullptr : dynamic_cast<T*>(SD->CtrlList[size_t(i)].get());
}

bool CloseMessage(unsigned M) {
  switch (M) {
    case 3:
    case 5:
    case 6:
    case 8:
    case 31:
    case 33:
    case 161:
    case 164:
    case 167:
    case 260:  // WM_SYSKEYDOWN
    case 262:  // WM_SYSCHAR
    case 516:
    case 519:
    case 528:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ============================================================================ items

void TbsImagesMenuItem::Assign(cl::TPersistent* Source) {
  if (auto* s = dynamic_cast<TbsImagesMenuItem*>(Source)) {
    SetImageIndex(s->ImageIndex());
    SetCaption(s->Caption());
    Button = s->Button;
    Hint = s->Hint;
    return;
  }
  cl::TCollectionItem::Assign(Source);
}

TbsImagesMenuItems::TbsImagesMenuItems(TbsSkinImagesMenu* AMenu)
    : cl::TCollection([](cl::TCollection* c) { return new TbsImagesMenuItem(c); }, AMenu), FMenu(AMenu) {}

// ============================================================================ TbsSkinImagesMenu

TbsSkinImagesMenu::TbsSkinImagesMenu(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  FImagesItems = new TbsImagesMenuItems(this);
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetHeight(14);
}

void TbsSkinImagesMenu::Destroy() {
  if (FPopupWindow) {
    TbsSkinImagesMenuPopupWindow* w = FPopupWindow;
    FPopupWindow = nullptr;
    w->ImagesMenu = nullptr;
    w->Free();
  }
  cl::FreeAndNil(FImagesItems);
  cl::TComponent::Destroy();
}

void TbsSkinImagesMenu::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (FSkinHint && AComponent == FSkinHint) FSkinHint = nullptr;
}

void TbsSkinImagesMenu::SetImages(cl::TCustomImageList* V) {
  FImages = V;
  if (V) V->FreeNotification(this);
}
void TbsSkinImagesMenu::SetSkinData(TbsSkinData* V) {
  FSkinData = V;
  if (V) V->FreeNotification(this);
}
void TbsSkinImagesMenu::SetSkinHint(TbsSkinHint* V) {
  FSkinHint = V;
  if (V) V->FreeNotification(this);
}

void TbsSkinImagesMenu::SetColumnsCount(int V) {
  if (V >= 1 && V <= 50) FColumnsCount = V;
}

TbsImagesMenuItem* TbsSkinImagesMenu::SelectedItem() const {
  if (ItemIndex < 0 || ItemIndex >= FImagesItems->Count()) return nullptr;
  return FImagesItems->Items(ItemIndex);
}

void TbsSkinImagesMenu::Open(TRect R) {
  cl::Keep<TbsSkinImagesMenu> self(this);
  if (FPopupWindow) FPopupWindow->Hide(false);
  if (Destroyed()) return;
  OnMenuPopup(this);
  if (Destroyed() || !FImages || FImages->Count() == 0) return;
  FOldItemIndex = ItemIndex;
  FPopupWindow = new TbsSkinImagesMenuPopupWindow(this);
  cl::Keep<TbsSkinImagesMenuPopupWindow> w(FPopupWindow);
  FPopupWindow->Show(R);
}

void TbsSkinImagesMenu::Popup(int X, int Y) { Open(TRect{X, Y, X, Y}); }
void TbsSkinImagesMenu::PopupFromRect(TRect R) { Open(R); }
void TbsSkinImagesMenu::Hide() {
  if (FPopupWindow) FPopupWindow->Hide(false);
}

void TbsSkinImagesMenu::WindowClosed(bool AProcessEvents) {
  cl::Keep<TbsSkinImagesMenu> self(this);
  OnInternalMenuClose(this);
  if (Destroyed()) return;
  OnMenuClose(this);
  if (Destroyed() || !AProcessEvents || ItemIndex == -1) return;
  if (TbsImagesMenuItem* it = SelectedItem()) it->OnClick(this);
  if (Destroyed()) return;
  OnItemClick(this);
  if (Destroyed() || ItemIndex == FOldItemIndex) return;
  OnInternalChange(this);
  if (Destroyed()) return;
  OnChange(this);
}

// ============================================================================ the popup

TbsSkinImagesMenuPopupWindow::TbsSkinImagesMenuPopupWindow(TbsSkinImagesMenu* AMenu)
    : cl::TCustomControl(AMenu), ImagesMenu(AMenu) {
  visible_ = false;
  // The window takes the capture itself while open; the class library's
  // capture on a press would end it on the release.
  ControlStyle &= ~unsigned(cl::csCaptureMouse);
}

void TbsSkinImagesMenuPopupWindow::Destroy() {
  if (FHook) cl::Application->UnhookOnMessage(FHook);
  FHook = 0;
  cl::TCustomControl::Destroy();
}

void TbsSkinImagesMenuPopupWindow::CreateParams(cl::TCreateParams& Params) {
  cl::TCustomControl::CreateParams(Params);
  Params.Style = win::WS_POPUP;
  Params.ExStyle = win::WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= win::CS_SAVEBITS;
}

void TbsSkinImagesMenuPopupWindow::Layout() {
  TbsSkinData* sd = ImagesMenu->SkinData();
  const TbsDataSkinPopupWindow* pw = (sd && !sd->Empty) ? &sd->PopupWindow : nullptr;
  WindowPicture = pw ? PictureAt(sd, pw->WindowPictureIndex) : nullptr;
  MaskPicture = pw && WindowPicture ? PictureAt(sd, pw->MaskPictureIndex) : nullptr;
  FSkinSupport = WindowPicture != nullptr;
  cl::TCustomImageList* il = ImagesMenu->Images();
  const int cw = il->Width() + 10, ch = il->Height() + 10;
  const int rowW = cw * ImagesMenu->ColumnsCount();
  const TPoint o = FSkinSupport ? pw->ItemsRect.TopLeft() : TPoint{5, 5};
  auto* label = ControlRecord<TbsDataSkinLabelControl>(sd, "label");
  int x = o.X, y = o.Y, inRow = 0;
  auto newRow = [&] {
    if (inRow > 0) y += ch + 1;
    x = o.X;
    inRow = 0;
  };
  TbsImagesMenuItems* items = ImagesMenu->ImagesItems();
  for (int i = 0; i < items->Count(); ++i) {
    TbsImagesMenuItem* it = items->Items(i);
    if (it->Header || it->Button) {
      newRow();
      int h = (it->Header && label) ? label->SkinRect.Height() : ch;
      it->ItemRect = {o.X, y, o.X + rowW, y + h};
      y += h + 1;
      continue;
    }
    it->ItemRect = {x, y, x + cw, y + ch};
    x += cw;
    ++inRow;
    if (x + cw > o.X + rowW) newRow();
  }
  int top = o.Y, bottom = o.Y;
  if (items->Count() > 0) {
    top = items->Items(0)->ItemRect.Top;
    bottom = items->Items(items->Count() - 1)->ItemRect.Bottom;
  }
  int W, H;
  if (FSkinSupport) {
    const int pW = WindowPicture->Width(), pH = WindowPicture->Height();
    W = pW + rowW - pw->ItemsRect.Width();
    H = pH + (bottom - top) - pw->ItemsRect.Height();
    NewLTPoint = pw->LTPoint;
    NewRTPoint = {W + pw->RTPoint.X - pW, pw->RTPoint.Y};
    NewLBPoint = {pw->LBPoint.X, H + pw->LBPoint.Y - pH};
    NewRBPoint = {W + pw->RBPoint.X - pW, H + pw->RBPoint.Y - pH};
    NewItemsRect = {pw->ItemsRect.Left, pw->ItemsRect.Top, W + pw->ItemsRect.Right - pW, H + pw->ItemsRect.Bottom - pH};
  } else {
    W = rowW + 10;
    H = (bottom - top) + 10;
  }
  SetBounds(Left(), Top(), W, H);
  if (MaskPicture) {
    gfx::HRGN rgn;
    CreateSkinRegion(rgn, {pw->LTPoint, pw->RTPoint, pw->LBPoint, pw->RBPoint, pw->ItemsRect},
                     {NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewItemsRect}, MaskPicture, W, H);
    win::SetWindowRgn(Handle(), rgn, true);
  }
}

void TbsSkinImagesMenuPopupWindow::Show(TRect PopupRect) {
  cl::Keep<TbsSkinImagesMenuPopupWindow> self(this);
  Layout();
  int X = PopupRect.Left, Y = PopupRect.Bottom;
  TRect b{0, 0, cl::Screen->Width(), cl::Screen->Height()};
  cl::TCustomForm* f = cl::Screen->ActiveCustomForm();
  if (!f) {
    f = cl::Application->MainForm();
    if (f && !f->Visible()) f = nullptr;
  }
  if (f && f->HandleAllocated())
    GetMonitorWorkArea(f->Handle(), true, b);
  else
    GetDesktopWorkArea(true, b);
  if (Y + Height() > b.Bottom) Y = Y - Height() - PopupRect.Height();
  if (X + Width() > b.Right) X = b.Right - Width();
  X = std::max(X, b.Left);
  Y = std::max(Y, b.Top);
  win::HWND h = Handle();
  const bool layered = IsWindows2000OrLater() && ImagesMenu->AlphaBlend;
  if (layered) {
    win::SetWindowLong(h, win::GWL_EXSTYLE, win::GetWindowLong(h, win::GWL_EXSTYLE) | win::WS_EX_LAYERED);
    SetWindowAlpha(h, uint8_t(ImagesMenu->AlphaBlendAnimation ? 0 : std::clamp(ImagesMenu->AlphaBlendValue, 0, 255)));
  }
  SetBounds(X, Y, Width(), Height());
  win::SetWindowPos(h, win::HWND_TOPMOST, X, Y, 0, 0, win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE | win::SWP_NOSIZE);
  visible_ = true;
  if (layered && ImagesMenu->AlphaBlendAnimation) {
    cl::Application->ProcessMessages();
    if (Destroyed()) return;
    FadeInWindowAlpha(h, std::clamp(ImagesMenu->AlphaBlendValue, 0, 255), 10, 5, false);
  }
  FHook = cl::Application->HookOnMessage([this](win::MSG& m, bool& handled) {
    if (FClosing || Destroyed()) return;
    cl::Keep<TbsSkinImagesMenuPopupWindow> k(this);
    if (CloseMessage(m.message)) {
      Hide(false);
    } else if (m.message == win::WM_KEYDOWN) {
      int key = int(m.wParam);
      m.message = win::WM_NULL;  // no control gets the key
      handled = true;
      KeyDown(key);
    }
  });
  win::SetCapture(h);
}

void TbsSkinImagesMenuPopupWindow::HideCellHint() {
  if (ImagesMenu && ImagesMenu->ShowHints && ImagesMenu->SkinHint()) ImagesMenu->SkinHint()->HideHint();
}

void TbsSkinImagesMenuPopupWindow::Hide(bool AProcessEvents) {
  if (FClosing || Destroyed()) return;
  FClosing = true;
  cl::Keep<TbsSkinImagesMenuPopupWindow> self(this);
  HideCellHint();
  if (HandleAllocated())
    win::SetWindowPos(
        Handle(), nullptr, 0, 0, 0, 0,
        win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_HIDEWINDOW);
  visible_ = false;
  if (FHook) cl::Application->UnhookOnMessage(FHook);
  FHook = 0;
  if (HandleAllocated() && win::GetCapture() == Handle()) win::ReleaseCapture();
  TbsSkinImagesMenu* menu = ImagesMenu;
  if (menu && menu->FPopupWindow == this) menu->FPopupWindow = nullptr;
  Free();
  if (menu && !menu->Destroyed()) menu->WindowClosed(AProcessEvents);
}

int TbsSkinImagesMenuPopupWindow::ItemAt(int X, int Y) const {
  if (!ImagesMenu) return -1;
  TbsImagesMenuItems* items = ImagesMenu->ImagesItems();
  for (int i = 0; i < items->Count(); ++i) {
    TbsImagesMenuItem* it = items->Items(i);
    if (!it->Header && PointInRectHalfOpen(it->ItemRect, TPoint{X, Y})) return i;
  }
  return -1;
}

void TbsSkinImagesMenuPopupWindow::KeyDown(int Key) {
  cl::Keep<TbsSkinImagesMenuPopupWindow> self(this);
  TbsImagesMenuItems* items = ImagesMenu->ImagesItems();
  const int n = items->Count();
  auto header = [&](int i) { return items->Items(i)->Header; };
  auto firstTarget = [&] { return (n > 1 && header(0)) ? 1 : (n > 0 ? 0 : -1); };
  int cur = MouseInItem, next = cur;
  switch (Key) {
    case 13:
    case 32:
      if (MouseInItem != -1) ImagesMenu->ItemIndex = MouseInItem;
      Hide(true);
      return;
    case 27:
      Hide(false);
      return;
    case 37:  // Left
      if (cur == -1 || cur <= firstTarget()) {
        next = n - 1;
      } else {
        next = -1;
        for (int i = cur - 1; i >= 0; --i)
          if (!header(i)) {
            next = i;
            break;
          }
        if (next == -1) next = n - 1;
      }
      break;
    case 39:  // Right
      next = -1;
      if (cur != -1)
        for (int i = cur + 1; i < n; ++i)
          if (!header(i)) {
            next = i;
            break;
          }
      if (next == -1) next = firstTarget();
      break;
    case 38:  // Up
      if (cur == -1) {
        next = n - 1;
      } else {
        const TRect& c = items->Items(cur)->ItemRect;
        for (int i = cur - 1; i >= 0; --i) {
          TbsImagesMenuItem* it = items->Items(i);
          if (!it->Header && it->ItemRect.Top < c.Top && (it->Button || it->ItemRect.Left == c.Left)) {
            next = i;
            break;
          }
        }
      }
      break;
    case 40:  // Down
      if (cur == -1) {
        next = firstTarget();
      } else {
        const TRect& c = items->Items(cur)->ItemRect;
        for (int i = cur + 1; i < n; ++i) {
          TbsImagesMenuItem* it = items->Items(i);
          if (!it->Header && it->ItemRect.Top > c.Top && (it->Button || it->ItemRect.Left == c.Left)) {
            next = i;
            break;
          }
        }
      }
      break;
    default:
      return;
  }
  if (next != MouseInItem) {
    MouseInItem = next;
    Repaint();
  }
}

void TbsSkinImagesMenuPopupWindow::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case win::WM_MOUSEACTIVATE:
      Msg.Result = win::MA_NOACTIVATE;
      return;
    case win::WM_ERASEBKGND:
      Msg.Result = 1;
      return;
    case win::CM_MOUSEENTER:
      return;
    case win::CM_MOUSELEAVE:
      HideCellHint();
      MouseInItem = OldMouseInItem = -1;
      Repaint();
      return;
    default:
      cl::TCustomControl::Dispatch(Msg);
  }
}

void TbsSkinImagesMenuPopupWindow::WndProc(cl::TMessage& Msg) {
  cl::Keep<TbsSkinImagesMenuPopupWindow> self(this);
  cl::TCustomControl::WndProc(Msg);
  if (Destroyed() || FClosing) return;
  if (Msg.Msg == win::WM_LBUTTONDOWN || Msg.Msg == win::WM_LBUTTONDBLCLK) {
    win::POINT p;
    win::GetCursorPos(&p);
    if (win::WindowFromPoint(p) != Handle()) Hide(false);
  }
}

void TbsSkinImagesMenuPopupWindow::MouseMove(cl::TShiftState Shift, int X, int Y) {
  cl::TCustomControl::MouseMove(Shift, X, Y);
  if (Destroyed() || !ImagesMenu) return;
  MouseInItem = ItemAt(X, Y);
  TbsSkinHint* hint = ImagesMenu->SkinHint();
  if (hint && MouseInItem == -1) hint->HideHint();
  if (MouseInItem != OldMouseInItem) {
    OldMouseInItem = MouseInItem;
    Repaint();
    if (ImagesMenu->ShowHints && hint && MouseInItem != -1) {
      hint->HideHint();
      const std::string& text = ImagesMenu->ImagesItems()->Items(MouseInItem)->Hint;
      if (!text.empty()) hint->ActivateHint2(text);
    }
  }
}

void TbsSkinImagesMenuPopupWindow::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  cl::TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Destroyed()) return;
  HideCellHint();
  FDown = true;
  FItemDown = ItemAt(X, Y) != -1;
  Repaint();
}

void TbsSkinImagesMenuPopupWindow::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinImagesMenuPopupWindow> self(this);
  cl::TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Destroyed() || FClosing) return;
  int i = ItemAt(X, Y);
  if (FDown && i != -1) {
    ImagesMenu->ItemIndex = i;
    Hide(true);
    return;
  }
  // A release outside every item keeps the window open, still holding the mouse.
  win::ReleaseCapture();
  win::SetCapture(Handle());
}

void TbsSkinImagesMenuPopupWindow::DrawFrame(gfx::TCanvas* C, TRect R, bool Pressed) {
  TbsSkinData* sd = FSkinSupport ? ImagesMenu->SkinData() : nullptr;
  auto* rec = ControlRecord<TbsDataSkinButtonControl>(sd, "menuitembutton");
  if (!rec) rec = ControlRecord<TbsDataSkinButtonControl>(sd, "resizebutton");
  gfx::TBitmap* pic = rec ? PictureAt(sd, rec->PictureIndex) : nullptr;
  if (rec && pic) {
    TRect src = (Pressed && !IsNullRect(rec->DownSkinRect)) ? rec->DownSkinRect : rec->ActiveSkinRect;
    if (IsNullRect(src)) src = rec->SkinRect;
    const int dW = R.Width() - rec->SkinRect.Width(), dH = R.Height() - rec->SkinRect.Height();
    const TbsNinePartStretch st = StretchOf(*rec);
    gfx::TBitmap b;
    CreateSkinImage({rec->LTPoint, rec->RTPoint, rec->LBPoint, rec->RBPoint, rec->ClRect},
                    {rec->LTPoint,
                     {rec->RTPoint.X + dW, rec->RTPoint.Y},
                     {rec->LBPoint.X, rec->LBPoint.Y + dH},
                     {rec->RBPoint.X + dW, rec->RBPoint.Y + dH},
                     {rec->ClRect.Left, rec->ClRect.Top, rec->ClRect.Right + dW, rec->ClRect.Bottom + dH}},
                    &b, {pic, src}, R.Width(), R.Height(), true, st);
    C->Draw(R.Left, R.Top, &b);
    return;
  }
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(gfx::clNavy);
  C->FrameRect(R);
  C->Brush()->SetColor(Pressed ? kPressedFill : kHotFill);
  C->FillRect(TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
}

void TbsSkinImagesMenuPopupWindow::DrawHeader(gfx::TCanvas* C, TbsImagesMenuItem* It) {
  TbsSkinData* sd = ImagesMenu->SkinData();
  auto* rec = ControlRecord<TbsDataSkinLabelControl>(sd, "label");
  gfx::TBitmap* pic = rec ? PictureAt(sd, rec->PictureIndex) : nullptr;
  const TRect& R = It->ItemRect;
  if (rec && pic) {
    gfx::TBitmap bar;
    const TRect& S = rec->SkinRect;
    CreateHSkinImage(rec->LTPoint.X, S.Width() - rec->RTPoint.X, &bar, {pic, S}, R.Width(), S.Height(),
                     rec->StretchEffect);
    gfx::TCanvas* bc = bar.Canvas();
    bc->Font()->SetColor(rec->FontColor);
    bc->Font()->SetName(rec->FontName);
    bc->Font()->SetHeight(rec->FontHeight);
    bc->Font()->SetStyle(rec->FontStyle);
    bc->Brush()->SetStyle(gfx::bsClear);
    TRect tr{rec->ClRect.Left, rec->ClRect.Top, bar.Width() + rec->ClRect.Right - S.Width(), bar.Height()};
    WideDrawText(bc, It->Caption(), tr, gfx::DT_SINGLELINE | gfx::DT_CENTER | gfx::DT_VCENTER);
    C->Draw(R.Left, R.Top, &bar);
    return;
  }
  C->Font()->Assign(*ImagesMenu->DefaultFont());
  C->Brush()->SetStyle(gfx::bsClear);
  TRect tr = R;
  WideDrawText(C, It->Caption(), tr, gfx::DT_SINGLELINE | gfx::DT_CENTER | gfx::DT_VCENTER);
}

void TbsSkinImagesMenuPopupWindow::DrawButtonCaption(gfx::TCanvas* C, TbsImagesMenuItem* It, TRect R, int State) {
  TbsSkinData* sd = FSkinSupport ? ImagesMenu->SkinData() : nullptr;
  auto* rec = ControlRecord<TbsDataSkinButtonControl>(sd, "menuitembutton");
  if (!rec) rec = ControlRecord<TbsDataSkinButtonControl>(sd, "resizebutton");
  TbsDataSkinMenuItem* obj = nullptr;
  if (sd) {
    int i = sd->GetIndex("menuitem");
    if (i < 0) i = sd->GetIndex("MENUITEM");
    if (i >= 0) obj = dynamic_cast<TbsDataSkinMenuItem*>(sd->ObjectList[size_t(i)].get());
  }
  if (rec && obj) {
    if (ImagesMenu->UseSkinFont) {
      C->Font()->SetName(rec->FontName);
      C->Font()->SetHeight(rec->FontHeight);
      C->Font()->SetStyle(rec->FontStyle);
    } else {
      C->Font()->Assign(*ImagesMenu->DefaultFont());
    }
    C->Font()->SetColor(State == 2 ? rec->DownFontColor : State == 1 ? rec->ActiveFontColor : obj->FontColor);
  } else {
    C->Font()->Assign(*ImagesMenu->DefaultFont());
    C->Font()->SetColor(gfx::clWindowText);
  }
  C->Brush()->SetStyle(gfx::bsClear);
  unsigned flags = gfx::DT_SINGLELINE | gfx::DT_VCENTER;
  if (WideTextWidth(C, It->Caption()) <= R.Width()) flags |= gfx::DT_CENTER;
  WideDrawText(C, It->Caption(), R, flags);
}

void TbsSkinImagesMenuPopupWindow::Paint() {
  if (!ImagesMenu || !ImagesMenu->Images()) return;
  const int W = Width(), H = Height();
  TbsSkinData* sd = ImagesMenu->SkinData();
  FSkinSupport = sd && !sd->Empty && PictureAt(sd, sd->PopupWindow.WindowPictureIndex);
  const int S = ImagesMenu->ShowSelectedItem ? ImagesMenu->ItemIndex : -1;
  gfx::TBitmap B;
  if (FSkinSupport) {
    const TbsDataSkinPopupWindow& pw = sd->PopupWindow;
    gfx::TBitmap* pic = PictureAt(sd, pw.WindowPictureIndex);
    const TbsNinePartStretch st = StretchOf(pw);
    CreateSkinImage2({pw.LTPoint, pw.RTPoint, pw.LBPoint, pw.RBPoint, pw.ItemsRect},
                     {NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewItemsRect}, &B,
                     {pic, TRect{0, 0, pic->Width(), pic->Height()}}, W, H, true, st);
  } else {
    B.SetSize(W, H);
    B.Canvas()->Pen()->SetColor(gfx::clBtnShadow);
    B.Canvas()->Brush()->SetColor(gfx::clWindow);
    B.Canvas()->Rectangle(0, 0, W, H);
  }
  gfx::TCanvas* C = B.Canvas();
  cl::TCustomImageList* il = ImagesMenu->Images();
  TbsImagesMenuItems* items = ImagesMenu->ImagesItems();
  for (int i = 0; i < items->Count(); ++i) {
    TbsImagesMenuItem* it = items->Items(i);
    if (it->Header) {
      DrawHeader(C, it);
      continue;
    }
    // 2 pressed, 1 hot, 0 normal.
    int state = 0;
    if (i == S && !FItemDown)
      state = 2;
    else if (i == MouseInItem)
      state = FItemDown ? 2 : 1;
    if (state != 0) DrawFrame(C, it->ItemRect, state == 2);
    int textLeft = it->ItemRect.Left;
    if (it->ImageIndex() >= 0 && it->ImageIndex() < il->Count()) {
      il->Draw(C, it->ItemRect.Left + 5, it->ItemRect.Top + 5, it->ImageIndex(), true);
      textLeft += il->Width() + 5;
    }
    if (it->Button && !it->Caption().empty())
      DrawButtonCaption(C, it, TRect{textLeft + 5, it->ItemRect.Top, it->ItemRect.Right, it->ItemRect.Bottom}, state);
  }
  Canvas()->Draw(0, 0, &B);
}

}  // namespace skin
