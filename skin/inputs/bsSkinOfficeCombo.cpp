#include "skin/inputs/bsSkinOfficeCombo.h"

#include <algorithm>

#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/controls/bsSkinParts.h"
#include "skin/draw/bsTextHelpers.h"
#include "skin/draw/bsWorkArea.h"

namespace skin {

using namespace win;

namespace {

bool InRect(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }
bool NotEmpty(const TRect& R) { return RectWidth(R) > 0 && RectHeight(R) > 0; }

}  // namespace

TbsSkinCustomOfficeComboBox::TbsSkinCustomOfficeComboBox(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  ControlStyle = cl::csAcceptsControls | cl::csCaptureMouse | cl::csOpaque | cl::csDoubleClicks | cl::csReplicatable;
  SetTabStop(true);
  Font()->SetName("Arial");
  Font()->SetColor(gfx::clWindowText);
  Font()->SetHeight(14);
  FSkinDataName = "combobox";
  FListBox = new TbsPopupOfficeListBox(this);
  FListBox->MouseMoveChangeIndex = true;
  FListBox->SetSkinDataName(FListBoxSkinDataName);
  FListBoxWindowProc = FListBox->WindowProc;
  FListBox->WindowProc = [this](cl::TMessage& M) { ListBoxWindowProcHook(M); };
  SetBounds(Left(), Top(), 120, 41);
  CalcRects();
}

void TbsSkinCustomOfficeComboBox::Destroy() {
  StopTimer();
  RemoveCancelHook();
  if (FListBox) {
    FListBox->WindowProc = FListBoxWindowProc;
    FListBox->Free();
    FListBox = nullptr;
  }
  TbsSkinCustomControl::Destroy();
}

void TbsSkinCustomOfficeComboBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && FListBox && AComponent == FListBox->Images()) FListBox->SetImages(nullptr);
}

void TbsSkinCustomOfficeComboBox::SetImages(cl::TCustomImageList* Value) {
  FListBox->SetImages(Value);
  if (Value) Value->FreeNotification(this);
  Invalidate();
}

void TbsSkinCustomOfficeComboBox::SetListBoxSkinDataName(const std::string& V) {
  FListBoxSkinDataName = V;
  FListBox->SetSkinDataName(V);
}

void TbsSkinCustomOfficeComboBox::SetShowItemTitle(bool V) {
  if (FShowItemTitle == V) return;
  FShowItemTitle = V;
  Repaint();
}

void TbsSkinCustomOfficeComboBox::SetShowItemImage(bool V) {
  if (FShowItemImage == V) return;
  FShowItemImage = V;
  Repaint();
}

void TbsSkinCustomOfficeComboBox::SetShowItemText(bool V) {
  if (FShowItemText == V) return;
  FShowItemText = V;
  Repaint();
}

void TbsSkinCustomOfficeComboBox::SetToolButtonStyle(bool V) {
  if (FToolButtonStyle == V) return;
  FToolButtonStyle = V;
  if (V) FUseSkinSize = false;
  CalcRects();
  Repaint();
}

void TbsSkinCustomOfficeComboBox::SetUseSkinSize(bool V) {
  FUseSkinSize = V;
  if (FIndex != -1) ChangeSkinData();
}

void TbsSkinCustomOfficeComboBox::SetDefaultColor(gfx::TColor V) {
  FDefaultColor = V;
  if (FIndex == -1) Invalidate();
}

void TbsSkinCustomOfficeComboBox::DefaultFontChanged() { Font()->Assign(FDefaultFont); }

// ---------------------------------------------------------------------------- selection and events

void TbsSkinCustomOfficeComboBox::SetItemIndex(int Value) {
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  FListBox->SetItemIndex(Value);
  if (Destroyed()) return;
  FOldItemIndex = FListBox->ItemIndex();
  Repaint();
  if (Loading()) return;
  OnClick(this);
  if (Destroyed()) return;
  Change();
}

void TbsSkinCustomOfficeComboBox::Change() { OnChange(this); }

// ---------------------------------------------------------------------------- drop-down

void TbsSkinCustomOfficeComboBox::DropDown() {
  if (Items()->Count() == 0) return;
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  WasInLB = false;
  StopTimer();
  OnDropDown(this);
  if (Destroyed()) return;
  int w = ListBoxWidth > 0 ? ListBoxWidth : Width();
  FListBox->OnDrawItem = OnDrawItem;
  FOldItemIndex = FListBox->ItemIndex();
  // The selection may have moved by code since the pointer was last over the
  // list: a row reached again must still become the one a click picks.
  FListBox->ForgetPointedRow();
  if (FOldItemIndex == 0 && Items()->Count() >= 2) {
    // Brings the first row into view with a header above it.
    FListBox->SetItemIndex(1);
    FListBox->SetItemIndex(0);
  }
  FDropDown = true;
  if (FToolButtonStyle) Repaint();
  FListBox->SetSkinData(FSD);
  // The height is settled before the placement, so that the above-or-below
  // choice judges the list that will actually show.
  int h = FListBox->Height();
  if (ListBoxHeight > 0)
    h = ListBoxHeight;
  else if (FDropDownCount > 0)
    h = FListBox->CalcHeight(FDropDownCount);
  TPoint P{Width() - w, Height()};
  P = ClientToScreen(P);
  TRect WA;
  GetMonitorWorkArea(Handle(), true, WA);
  if (P.Y + h > WA.Bottom) P.Y = P.Y - Height() - h;
  FListBox->SetBounds(P.X, P.Y, w, h);
  FListBox->Show(P);
  InstallCancelHook();
}

void TbsSkinCustomOfficeComboBox::InstallCancelHook() {
  if (FCancelHook) return;
  // The window system sends no cancel-mode message when a press lands on
  // another window; the press itself is the signal.
  FCancelHook = AddPreDispatchHook([this](MSG& M, bool&) {
    switch (M.message) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
        break;
      default:
        return;
    }
    if (!FListBox->Visible() || !HandleAllocated()) return;
    HWND L = FListBox->Handle();
    if (M.hwnd == Handle() || M.hwnd == L || IsChild(L, M.hwnd)) return;
    CloseUp(false);
  });
}

void TbsSkinCustomOfficeComboBox::RemoveCancelHook() {
  if (!FCancelHook) return;
  RemovePreDispatchHook(FCancelHook);
  FCancelHook = 0;
}

void TbsSkinCustomOfficeComboBox::CloseUp(bool AcceptChanges) {
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  StopTimer();
  if (!FListBox->Visible()) return;
  RemoveCancelHook();
  FListBox->Hide();
  int i = FListBox->ItemIndex();
  if (AcceptChanges && i >= 0 && i < Items()->Count()) {
    FOldItemIndex = i;
    Repaint();
    OnClick(this);
    if (Destroyed()) return;
    Change();
    if (Destroyed()) return;
  } else {
    FListBox->SetItemIndex(FOldItemIndex);
    if (Destroyed()) return;
  }
  FDropDown = false;
  Repaint();
  if (AcceptChanges) OnCloseUp(this);
}

bool TbsSkinCustomOfficeComboBox::CanCancelDropDown() {
  if (!FListBox->Visible()) return false;
  POINT P;
  GetCursorPos(&P);
  TPoint C = ScreenToClient(P);
  return !InRect({0, 0, Width(), Height()}, C.X, C.Y);
}

void TbsSkinCustomOfficeComboBox::ListBoxWindowProcHook(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_LBUTTONDOWN:
    // A quick second click on a row arrives as a double click; it belongs to
    // the same press-and-release picking.
    case WM_LBUTTONDBLCLK:
      // The row under the press counts even when no move reached the list
      // before it (a pointer that jumped onto the open list).
      FListBox->MouseMove(0, int16_t(LOWORD(uintptr_t(Msg.LParam))), int16_t(HIWORD(uintptr_t(Msg.LParam))));
      FLBDown = true;
      WasInLB = true;
      SetCapture(Handle());
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return;
    case WM_MOUSEACTIVATE:
      Msg.Result = MA_NOACTIVATE;
      return;
    default:
      if (FListBoxWindowProc) FListBoxWindowProc(Msg);
  }
}

void TbsSkinCustomOfficeComboBox::StartTimer(int Mode) {
  if (Mode == FTimerMode) return;
  FTimerMode = Mode;
  KillTimer(Handle(), 1);
  SetTimer(Handle(), 1, 25);
}

void TbsSkinCustomOfficeComboBox::StopTimer() {
  if (HandleAllocated()) KillTimer(Handle(), 1);
  FTimerMode = 0;
}

void TbsSkinCustomOfficeComboBox::TrackList(int X, int Y) {
  TPoint S = ClientToScreen({X, Y});
  TPoint L = FListBox->ScreenToClient(S);
  bool bar = FListBox->ScrollBar() != nullptr;
  if (L.Y < 0) {
    if (bar && WasInLB) StartTimer(1);
    return;
  }
  if (L.Y > FListBox->Height()) {
    if (bar && WasInLB) StartTimer(2);
    return;
  }
  StopTimer();
  FListBox->MouseMove(0, L.X, L.Y);
  WasInLB = true;
  if (!FLBDown) {
    FLBDown = true;
    WasInLB = false;
  }
}

// ---------------------------------------------------------------------------- mouse and keys

void TbsSkinCustomOfficeComboBox::MouseDown(cl::TMouseButton Btn, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  TbsSkinCustomControl::MouseDown(Btn, Shift, X, Y);
  if (Destroyed()) return;
  if (!Focused() && CanFocus()) SetFocus();
  if (Btn != cl::mbLeft) return;
  CalcRects();
  const bool hit = FButton.MouseIn || InRect(FCBItem.R, X, Y) || FToolButtonStyle;
  if (hit) {
    FButton.Down = true;
    Repaint();
  }
  if (FListBox->Visible()) {
    CloseUp(false);
    return;
  }
  if (hit) {
    WasInLB = false;
    FLBDown = true;
    DropDown();
  }
}

void TbsSkinCustomOfficeComboBox::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseMove(Shift, X, Y);
  if (FListBox->Visible()) TrackList(X, Y);
  bool in = InRect(FButton.R, X, Y);
  if (in != FButton.MouseIn) {
    FButton.MouseIn = in;
    Repaint();
  }
}

void TbsSkinCustomOfficeComboBox::MouseUp(cl::TMouseButton Btn, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  if (FLBDown && WasInLB) {
    ReleaseCapture();
    FLBDown = false;
    HWND under = WindowFromPoint(ClientToScreen({X, Y}));
    CloseUp(FListBox->HandleAllocated() && under == FListBox->Handle());
    if (Destroyed()) return;
  } else {
    FLBDown = false;
  }
  TbsSkinCustomControl::MouseUp(Btn, Shift, X, Y);
  if (Destroyed()) return;
  if (FButton.Down) {
    FButton.Down = false;
    Repaint();
  }
}

void TbsSkinCustomOfficeComboBox::MoveBy(void (TbsSkinOfficeListBox::*Find)()) {
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  TbsSkinOfficeListBox* L = FListBox;
  (L->*Find)();
  if (!Destroyed()) SetItemIndex(FListBox->ItemIndex());
}

void TbsSkinCustomOfficeComboBox::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  TbsSkinCustomControl::KeyDown(Key, Shift);
  if (Destroyed()) return;
  bool alt = Shift & cl::ssAlt;
  switch (Key) {
    case VK_RETURN:
      if (FListBox->Visible()) CloseUp(true);
      break;
    case VK_ESCAPE:
      if (FListBox->Visible()) CloseUp(false);
      break;
    case VK_PRIOR:
      MoveBy(&TbsSkinOfficeListBox::FindPageUp);
      break;
    case VK_NEXT:
      MoveBy(&TbsSkinOfficeListBox::FindPageDown);
      break;
    case VK_UP:
    case VK_LEFT:
      if (alt) {
        if (FListBox->Visible()) CloseUp(false);
      } else {
        MoveBy(&TbsSkinOfficeListBox::FindUp);
      }
      break;
    case VK_DOWN:
    case VK_RIGHT:
      if (alt) {
        if (!FListBox->Visible()) DropDown();
      } else {
        MoveBy(&TbsSkinOfficeListBox::FindDown);
      }
      break;
    default:
      break;
  }
}

void TbsSkinCustomOfficeComboBox::CMMouseEnter(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseEnter(Msg);
  FMouseIn = true;
  if ((FIndex != -1 && NotEmpty(ActiveSkinRect)) || FToolButtonStyle) Invalidate();
}

void TbsSkinCustomOfficeComboBox::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseLeave(Msg);
  FMouseIn = false;
  if (FButton.MouseIn) {
    FButton.MouseIn = false;
    Repaint();
  }
  if ((FIndex != -1 && NotEmpty(ActiveSkinRect)) || FToolButtonStyle) Invalidate();
}

void TbsSkinCustomOfficeComboBox::Dispatch(cl::TMessage& Msg) {
  cl::Keep<TbsSkinCustomOfficeComboBox> self(this);
  switch (Msg.Msg) {
    case WM_TIMER:
      TbsSkinCustomControl::Dispatch(Msg);
      if (Msg.WParam == 1) {
        if (FTimerMode == 1)
          FListBox->FindUp();
        else if (FTimerMode == 2)
          FListBox->FindDown();
      }
      return;
    case WM_MOUSEWHEEL:
      TbsSkinCustomControl::Dispatch(Msg);
      if (int16_t(Msg.WParamHi()) > 0)
        FListBox->FindUp();
      else
        FListBox->FindDown();
      if (!Destroyed() && !FListBox->Visible()) SetItemIndex(FListBox->ItemIndex());
      return;
    case WM_SETFOCUS:
      TbsSkinCustomControl::Dispatch(Msg);
      Repaint();
      return;
    case WM_KILLFOCUS:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FListBox->Visible()) CloseUp(false);
      // The window still holds the focus while it is told it loses it: the
      // face is drawn once the focus has moved, or it would stay hot.
      if (!Destroyed()) Invalidate();
      return;
    case WM_SIZE:
      TbsSkinCustomControl::Dispatch(Msg);
      CalcRects();
      return;
    case WM_ERASEBKGND:
      if (!FromWMPaint && Msg.WParam) PaintWindow(gfx::HDC(uint32_t(Msg.WParam)));
      Msg.Result = 1;
      return;
    case CM_CANCELMODE: {
      TbsSkinCustomControl::Dispatch(Msg);
      auto* sender = reinterpret_cast<cl::TControl*>(Msg.LParam);
      if (sender != this && sender != FListBox && (!FListBox->ScrollBar() || sender != FListBox->ScrollBar()))
        CloseUp(false);
      return;
    }
    case CM_ENABLEDCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      Repaint();
      return;
    case CM_WANTSPECIALKEY:
      TbsSkinCustomControl::Dispatch(Msg);
      if (Msg.WParam >= VK_LEFT && Msg.WParam <= VK_DOWN) Msg.Result = 1;
      return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

// ---------------------------------------------------------------------------- skin and geometry

bool TbsSkinCustomOfficeComboBox::Skinned() const {
  return FIndex != -1 && dynamic_cast<TbsDataSkinComboBox*>(SkinRecord(FSD, FIndex)) != nullptr;
}

void TbsSkinCustomOfficeComboBox::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  auto* R = dynamic_cast<TbsDataSkinComboBox*>(SkinRecord(FSD, FIndex));
  if (!R) return;
  ActiveSkinRect = R->ActiveSkinRect;
  SItemRect = R->SItemRect;
  ActiveItemRect = R->ActiveItemRect;
  FocusItemRect = IsNullRect(R->FocusItemRect) ? SItemRect : R->FocusItemRect;
  ItemLeftOffset = R->ItemLeftOffset;
  ItemRightOffset = R->ItemRightOffset;
  ItemTextRect = R->ItemTextRect;
  FontName = R->FontName;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  FontColor = R->FontColor;
  FocusFontColor = R->FocusFontColor;
  ActiveFontColor = R->ActiveFontColor;
  ButtonRect = R->ButtonRect;
  ActiveButtonRect = R->ActiveButtonRect;
  DownButtonRect = R->DownButtonRect;
  UnEnabledButtonRect = R->UnEnabledButtonRect;
  ItemStretchEffect = R->ItemStretchEffect;
  FocusItemStretchEffect = R->FocusItemStretchEffect;
  ShowFocus = R->ShowFocus;
}

void TbsSkinCustomOfficeComboBox::ChangeSkinData() {
  TbsSkinCustomControl::ChangeSkinData();
  CalcRects();
  Repaint();
  // Without a combo record the drop-down shows its default look; the chosen
  // record name stays in FListBoxSkinDataName for the next skin that has one.
  FListBox->SetSkinDataName(FIndex == -1 ? std::string() : FListBoxSkinDataName);
  FListBox->SetSkinData(FSD);
  CalcRects();
}

void TbsSkinCustomOfficeComboBox::CalcSize(int& AWidth, int& AHeight) {
  if (FUseSkinSize) {
    TbsSkinCustomControl::CalcSize(AWidth, AHeight);
    return;
  }
  if (FIndex == -1) return;
  int g = AWidth - RectWidth(G.SkinRect);
  G.NewLTPoint = G.LTPt;
  G.NewRTPoint = {G.RTPt.X + g, G.RTPt.Y};
  G.NewClRect = G.ClRect;
  G.NewClRect.Right += g;
}

void TbsSkinCustomOfficeComboBox::SetControlRegion() {
  if (FUseSkinSize) {
    TbsSkinCustomControl::SetControlRegion();
    return;
  }
  if (HandleAllocated()) SetWindowRgn(Handle(), gfx::HRGN(), true);
  FRgn = gfx::HRGN();
}

void TbsSkinCustomOfficeComboBox::CalcRects() {
  int W = Width(), H = Height();
  if (!Skinned() || FToolButtonStyle) {
    FButton.R = {W - 19, 2, W - 2, H - 2};
    FCBItem.R = {2, 2, FButton.R.Left - 1, H - 2};
    return;
  }
  int sw = RectWidth(G.SkinRect), sh = RectHeight(G.SkinRect);
  FButton.R = ButtonRect;
  if (ButtonRect.Left >= sw - G.RTPt.X) {
    FButton.R.Left += W - sw;
    FButton.R.Right += W - sw;
  }
  FCBItem.R = G.ClRect;
  FCBItem.R.Right += W - sw;
  if (!FUseSkinSize) {
    FCBItem.R.Bottom += H - sh;
    FButton.R.Bottom += H - sh;
  }
}

// ---------------------------------------------------------------------------- painting

int TbsSkinCustomOfficeComboBox::ShownIndex() const {
  int i = FListBox->Visible() ? FOldItemIndex : FListBox->ItemIndex();
  return (i >= 0 && i < Items()->Count()) ? i : -1;
}

bool TbsSkinCustomOfficeComboBox::IsHotOrFocused() { return FMouseIn || Focused(); }

// The tool-button look's content area: inset from the button's edge and
// cut to the height of what the shown item draws, centred, so that a tall
// chooser shows its title and picture in the middle rather than in a
// corner with the space left below.
TRect TbsSkinCustomOfficeComboBox::ToolButtonContentRect(gfx::TCanvas* C, int Index, TRect T,
                                                         const std::string* AText) {
  constexpr int kPad = 4;
  T.Left += kPad;
  if (Index < 0 || OnDrawItem) return T;
  TbsSkinOfficeItem* It = Items()->Items(Index);
  const std::string& text = AText ? *AText : It->Caption();
  int title = 0;
  if (FShowItemText && FShowItemTitle && !It->Title().empty()) {
    gfx::TFontStyles st = C->Font()->Style();
    C->Font()->SetStyle(st + gfx::TFontStyles{gfx::fsBold});
    title = C->TextHeight(It->Title()) - 2;
    C->Font()->SetStyle(st);
  }
  int body = 0, textLeft = T.Left;
  cl::TCustomImageList* im = FListBox->Images();
  if (FShowItemImage && im && It->ImageIndex() >= 0 && It->ImageIndex() < im->Count()) {
    body = im->Height();
    textLeft += im->Width() + 2;
  }
  if (FShowItemText && !text.empty()) {
    TRect m{textLeft, 0, T.Right, 0};
    gfx::DrawText(C->Handle(), text, -1, &m,
                  FShowItemImage ? gfx::DT_CALCRECT | gfx::DT_WORDBREAK : gfx::DT_CALCRECT | gfx::DT_SINGLELINE);
    body = std::max(body, int(m.Bottom - m.Top));
  }
  const int total = title + body;
  if (total > 0 && total < T.Height()) {
    T.Top += (T.Height() - total) / 2;
    T.Bottom = T.Top + total;
  }
  return T;
}

void TbsSkinCustomOfficeComboBox::DrawShownContent(gfx::TCanvas* C, int Index, TRect T, const std::string* AText,
                                                   bool WithTitle) {
  if (OnDrawItem) {
    C->Brush()->SetStyle(gfx::bsClear);
    OnDrawItem(C, Index, T);
    return;
  }
  TbsSkinOfficeItem* It = Items()->Items(Index);
  const std::string& text = AText ? *AText : It->Caption();
  if (WithTitle && FShowItemText && FShowItemTitle && !It->Title().empty()) {
    gfx::TFontStyles st = C->Font()->Style();
    C->Font()->SetStyle(st + gfx::TFontStyles{gfx::fsBold});
    TRect TR = T;
    TR.Bottom = std::min(T.Bottom, T.Top + C->TextHeight(It->Title()));
    gfx::DrawText(C->Handle(), It->Title(), -1, &TR, 0);
    C->Font()->SetStyle(st);
    T.Top = TR.Bottom - 2;
  }
  if (FShowItemText && !FShowItemImage) {
    DrawTextVCenter(C, text, T);
  } else if (FShowItemImage) {
    DrawImageAndText2(C, T, 0, 2, blGlyphLeft, FShowItemText ? text : std::string(), It->ImageIndex(),
                      FListBox->Images(), false, Enabled(), false, 0);
  }
}

void TbsSkinCustomOfficeComboBox::CreateControlDefaultImage(gfx::TBitmap* B) {
  CalcRects();
  if (FToolButtonStyle) {
    DrawToolButtonDefault(B, nullptr);
    return;
  }
  gfx::TCanvas* C = B->Canvas();
  TRect R{0, 0, B->Width(), B->Height()};
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(gfx::clBtnFace);
  C->FillRect(R);
  C->Brush()->SetColor(gfx::clBtnShadow);
  C->FrameRect(R);
  C->Brush()->SetColor(FDefaultColor);
  C->FillRect({1, 1, R.Right - 1, R.Bottom - 1});
  DrawButton(C);
  DrawDefaultItem(C);
}

void TbsSkinCustomOfficeComboBox::DrawButton(gfx::TCanvas* C) {
  const TRect& R = FButton.R;
  if (!NotEmpty(R)) return;
  if (!Skinned()) {
    gfx::TColor frame = gfx::clBtnShadow, fill = gfx::clBtnFace;
    if (FButton.Down && FButton.MouseIn) {
      frame = bsHotFrameColor;
      fill = bsDownFillColor;
    } else if (FButton.MouseIn) {
      frame = bsHotFrameColor;
      fill = bsHotFillColor;
    }
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(frame);
    C->FrameRect(R);
    C->Brush()->SetColor(fill);
    C->FillRect({R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
    DrawArrowGlyph(C, R, Enabled() ? gfx::clBlack : gfx::clBtnShadow, 4);
    return;
  }
  TRect src;
  if (!Enabled() && NotEmpty(UnEnabledButtonRect))
    src = UnEnabledButtonRect;
  else if (FButton.Down && FButton.MouseIn)
    src = DownButtonRect;
  else if (FButton.MouseIn)
    src = ActiveButtonRect;
  if (Picture && NotEmpty(src)) C->CopyRect(R, Picture->Canvas(), src);
}

void TbsSkinCustomOfficeComboBox::SetItemFont(gfx::TCanvas* C) {
  if (FUseSkinFont && FIndex != -1) {
    C->Font()->SetName(FontName);
    C->Font()->SetStyle(FontStyle);
    C->Font()->SetHeight(FontHeight);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  C->Font()->SetCharset(FDefaultFont.Charset());
  ApplySkinCharset(C->Font(), FSD);
}

void TbsSkinCustomOfficeComboBox::DrawDefaultItem(gfx::TCanvas* C) {
  const TRect& R = FCBItem.R;
  if (RectWidth(R) <= 0 || RectHeight(R) <= 0) return;
  gfx::TBitmap Bmp;
  Bmp.SetSize(RectWidth(R), RectHeight(R));
  gfx::TCanvas* BC = Bmp.Canvas();
  BC->Font()->SetName(Font()->Name());
  BC->Font()->SetStyle(Font()->Style());
  BC->Font()->SetHeight(Font()->Height());
  BC->Font()->SetCharset(FDefaultFont.Charset());
  ApplySkinCharset(BC->Font(), FSD);
  bool focused = Focused();
  BC->Brush()->SetStyle(gfx::bsSolid);
  if (focused) {
    BC->Brush()->SetColor(gfx::clHighlight);
    BC->Font()->SetColor(gfx::clHighlightText);
  } else {
    BC->Brush()->SetColor(FDefaultColor);
    BC->Font()->SetColor(FDefaultFont.Color());
  }
  BC->FillRect({0, 0, Bmp.Width(), Bmp.Height()});
  FCBItem.State = focused ? 1u : 0u;
  TRect T{2, 0, Bmp.Width() - 2, Bmp.Height()};
  int i = ShownIndex();
  BC->Brush()->SetStyle(gfx::bsClear);
  if (i != -1) DrawShownContent(BC, i, T, nullptr, true);
  if (focused) BC->DrawFocusRect({0, 0, Bmp.Width(), Bmp.Height()});
  C->Draw(R.Left, R.Top, &Bmp);
}

void TbsSkinCustomOfficeComboBox::CreateControlSkinImage(gfx::TBitmap* B) {
  CalcRects();
  if (FToolButtonStyle) {
    DrawToolButtonSkin(B, nullptr);
    return;
  }
  if (!Skinned() || !Picture) {
    CreateControlDefaultImage(B);
    return;
  }
  PaintSkinFrame(B);
  if (FUseSkinSize)
    DrawButton(B->Canvas());
  else
    DrawSkinButton(B->Canvas());
  if (FUseSkinSize)
    DrawResizeSkinItem(B->Canvas());
  else
    DrawSkinItem(B->Canvas());
}

void TbsSkinCustomOfficeComboBox::PaintSkinFrame(gfx::TBitmap* B) {
  bool hot = NotEmpty(ActiveSkinRect) && IsHotOrFocused();
  if (!FUseSkinSize) {
    TRect src = hot ? ActiveSkinRect : G.SkinRect;
    TRect cl = G.ClRect;
    CreateSkinImageByClRect(B, {Picture, src}, cl, true);
  } else if (hot) {
    CreateHSkinImage(G.LTPt.X, RectWidth(G.SkinRect) - G.RTPt.X, B, {Picture, ActiveSkinRect}, Width(), Height(),
                     G.StretchEffect);
  } else {
    TbsSkinCustomControl::CreateControlSkinImage(B);
  }
}

void TbsSkinCustomOfficeComboBox::DrawSkinButton(gfx::TCanvas* C) {
  const TRect& R = FButton.R;
  if (!NotEmpty(R)) return;
  TbsDataSkinButtonControl* BR = nullptr;
  for (const char* n : {"combobutton", "editbutton", "resizebutton"}) {
    BR = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex(n)));
    if (BR) break;
  }
  if (!BR) return;
  gfx::TBitmap* P = SkinPicture(FSD, BR->PictureIndex);
  if (!P) return;
  bool down = FButton.Down && FButton.MouseIn, hot = FButton.MouseIn;
  TRect active = NotEmpty(BR->ActiveSkinRect) ? BR->ActiveSkinRect : BR->SkinRect;
  TRect src = down ? (NotEmpty(BR->DownSkinRect) ? BR->DownSkinRect : active) : (hot ? active : BR->SkinRect);
  gfx::TColor glyph = down ? BR->DownFontColor : (hot ? BR->ActiveFontColor : BR->FontColor);
  int w = RectWidth(R), h = RectHeight(R);
  int dx = w - RectWidth(BR->SkinRect), dy = h - RectHeight(BR->SkinRect);
  gfx::TBitmap Bmp;
  TbsNinePart Src{BR->LTPoint, BR->RTPoint, BR->LBPoint, BR->RBPoint, BR->ClRect};
  TbsNinePart New{BR->LTPoint,
                  {BR->RTPoint.X + dx, BR->RTPoint.Y},
                  {BR->LBPoint.X, BR->LBPoint.Y + dy},
                  {BR->RBPoint.X + dx, BR->RBPoint.Y + dy},
                  {BR->ClRect.Left, BR->ClRect.Top, BR->ClRect.Right + dx, BR->ClRect.Bottom + dy}};
  CreateSkinImage(
      Src, New, &Bmp, {P, src}, w, h, true,
      {BR->LeftStretch, BR->TopStretch, BR->RightStretch, BR->BottomStretch, BR->StretchEffect, BR->StretchType});
  if (!NotEmpty(BR->MenuMarkerRect)) {
    if (Enabled()) DrawArrowGlyph(Bmp.Canvas(), {0, down ? 2 : 0, w, h}, glyph, 4);
  } else if (Picture) {
    TRect m = BR->MenuMarkerRect;
    if (down && NotEmpty(BR->MenuMarkerDownRect))
      m = BR->MenuMarkerDownRect;
    else if (hot && NotEmpty(BR->MenuMarkerActiveRect))
      m = BR->MenuMarkerActiveRect;
    int mw = RectWidth(m), mh = RectHeight(m);
    int x = w / 2 - mw / 2, y = h / 2 - mh / 2 + (down ? 1 : 0);
    Bmp.Canvas()->BrushCopy({x, y, x + mw, y + mh}, Picture, m, BR->MenuMarkerTransparentColor);
  }
  C->Draw(R.Left, R.Top, &Bmp);
}

void TbsSkinCustomOfficeComboBox::DrawSkinItem(gfx::TCanvas* C) {
  const TRect& R = FCBItem.R;
  if (RectWidth(R) <= 0 || RectHeight(R) <= 0) return;
  gfx::TBitmap Bmp;
  Bmp.SetSize(RectWidth(R), RectHeight(R));
  gfx::TCanvas* BC = Bmp.Canvas();
  bool focused = Focused();
  bool hot = FMouseIn && NotEmpty(ActiveItemRect) && NotEmpty(ActiveSkinRect);
  auto fromRect = [&](const TRect& src, bool shrink) {
    TRect split = ItemTextRect;
    if (shrink) split = {split.Left + 1, split.Top + 1, split.Right - 1, split.Bottom - 1};
    if (RectWidth(SItemRect) > RectWidth(src)) split.Right -= RectWidth(SItemRect) - RectWidth(src);
    if (RectHeight(SItemRect) > RectHeight(src)) split.Top -= RectHeight(SItemRect) - RectHeight(src);
    CreateSkinImageByClRect(&Bmp, {Picture, src}, split, true);
  };
  if (focused && NotEmpty(FocusItemRect))
    fromRect(FocusItemRect, true);
  else if (!focused && hot)
    fromRect(ActiveItemRect, false);
  else if (!focused && NotEmpty(SItemRect))
    CreateSkinImageByClRect(&Bmp, {Picture, SItemRect}, ItemTextRect, true);
  else
    BC->CopyRect({0, 0, Bmp.Width(), Bmp.Height()}, C, R);
  TRect T = ItemTextRect;
  T.Right += RectWidth(R) - (NotEmpty(SItemRect) ? RectWidth(SItemRect) : RectWidth(G.ClRect));
  T.Bottom += Height() - RectHeight(G.SkinRect);
  SetItemFont(BC);
  BC->Font()->SetColor(focused ? FocusFontColor : (FMouseIn && NotEmpty(ActiveSkinRect) ? ActiveFontColor : FontColor));
  BC->Brush()->SetStyle(gfx::bsClear);
  int i = ShownIndex();
  if (i != -1) {
    if (focused && ShowFocus) {
      BC->Brush()->SetStyle(gfx::bsSolid);
      BC->Brush()->SetColor(FSD->SkinColors().cBtnFace());
      BC->DrawFocusRect({0, 0, Bmp.Width(), Bmp.Height()});
      BC->Brush()->SetStyle(gfx::bsClear);
    }
    T.Left += 1;
    DrawShownContent(BC, i, T, nullptr, true);
  }
  C->Draw(R.Left, R.Top, &Bmp);
}

gfx::TColor TbsSkinCustomOfficeComboBox::GetDisabledFontColor() {
  if (SkinUsable(FSD))
    if (auto* E = dynamic_cast<TbsDataSkinEditControl*>(SkinRecord(FSD, FSD->GetControlIndex("edit"))))
      return E->DisabledFontColor;
  return gfx::clGrayText;
}

void TbsSkinCustomOfficeComboBox::DrawResizeSkinItem(gfx::TCanvas* C) {
  const TRect& R = FCBItem.R;
  if (RectWidth(R) <= 0) return;
  int h = NotEmpty(SItemRect) ? RectHeight(SItemRect)
                              : (NotEmpty(FocusItemRect) ? RectHeight(FocusItemRect) : RectHeight(R));
  if (h <= 0) return;
  gfx::TBitmap Bmp;
  Bmp.SetSize(RectWidth(R), h);
  bool focused = Focused();
  bool hot = FMouseIn && NotEmpty(ActiveItemRect) && NotEmpty(ActiveSkinRect);
  if (focused && NotEmpty(FocusItemRect))
    CreateHSkinImage(ItemLeftOffset, ItemRightOffset, &Bmp, {Picture, FocusItemRect}, Bmp.Width(), h,
                     FocusItemStretchEffect);
  else if (!focused && hot)
    CreateHSkinImage(ItemLeftOffset, ItemRightOffset, &Bmp, {Picture, ActiveItemRect}, Bmp.Width(), h,
                     ItemStretchEffect);
  else if (!focused && NotEmpty(SItemRect))
    CreateHSkinImage(ItemLeftOffset, ItemRightOffset, &Bmp, {Picture, SItemRect}, Bmp.Width(), h, ItemStretchEffect);
  else
    Bmp.Canvas()->CopyRect({0, 0, Bmp.Width(), h}, C, {R.Left, R.Top, R.Right, R.Top + h});
  TRect T = ItemTextRect;
  T.Right += RectWidth(R) - (NotEmpty(SItemRect) ? RectWidth(SItemRect) : RectWidth(G.ClRect));
  gfx::TCanvas* BC = Bmp.Canvas();
  SetItemFont(BC);
  gfx::TColor col = focused ? FocusFontColor : (FMouseIn && NotEmpty(ActiveSkinRect) ? ActiveFontColor : FontColor);
  if (!Enabled()) col = GetDisabledFontColor();
  BC->Font()->SetColor(col);
  BC->Brush()->SetStyle(gfx::bsClear);
  int i = ShownIndex();
  if (i != -1) DrawShownContent(BC, i, T, nullptr, false);
  C->Draw(R.Left, R.Top, &Bmp);
}

void TbsSkinCustomOfficeComboBox::DrawToolButtonDefault(gfx::TBitmap* B, const std::string* AText) {
  gfx::TCanvas* C = B->Canvas();
  int W = B->Width(), H = B->Height();
  TRect R{0, 0, W, H};
  gfx::TColor frame = gfx::clBtnShadow, fill = gfx::clBtnFace;
  if (FDropDown) {
    frame = bsHotFrameColor;
    fill = bsDownFillColor;
  } else if (IsHotOrFocused()) {
    frame = bsHotFrameColor;
    fill = bsHotFillColor;
  }
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(fill);
  C->FillRect(R);
  C->Brush()->SetColor(frame);
  C->FrameRect(R);
  int d = FDropDown ? 2 : 0;
  TRect T{2 + d, 2 + d, W - 17 + d, H - 2 + d};
  C->Font()->Assign(FDefaultFont);
  ApplySkinCharset(C->Font(), FSD);
  C->Brush()->SetStyle(gfx::bsClear);
  int i = ShownIndex();
  if (i != -1) DrawShownContent(C, i, ToolButtonContentRect(C, i, T, AText), AText, true);
  DrawTrackArrowGlyph(C, {W - 15 + d, d, W + d, H + d}, C->Font()->Color());
}

void TbsSkinCustomOfficeComboBox::DrawToolButtonSkin(gfx::TBitmap* B, const std::string* AText) {
  if (FIndex == -1) return;
  TbsDataSkinButtonControl* BR =
      dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizetoolbutton")));
  if (!BR) BR = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizebutton")));
  gfx::TBitmap* P = BR ? SkinPicture(FSD, BR->PictureIndex) : nullptr;
  if (!BR || !P) {
    // No button record (or no picture for it): the default tool-button look.
    DrawToolButtonDefault(B, AText);
    return;
  }
  int W = B->Width(), H = B->Height();
  bool hot = IsHotOrFocused();
  TRect src = FDropDown ? BR->DownSkinRect : (hot ? BR->ActiveSkinRect : BR->SkinRect);
  if (!NotEmpty(src)) src = BR->SkinRect;
  int dx = W - RectWidth(BR->SkinRect), dy = H - RectHeight(BR->SkinRect);
  TbsNinePart Src{BR->LTPoint, BR->RTPoint, BR->LBPoint, BR->RBPoint, BR->ClRect};
  TbsNinePart New{BR->LTPoint,
                  {BR->RTPoint.X + dx, BR->RTPoint.Y},
                  {BR->LBPoint.X, BR->LBPoint.Y + dy},
                  {BR->RBPoint.X + dx, BR->RBPoint.Y + dy},
                  {BR->ClRect.Left, BR->ClRect.Top, BR->ClRect.Right + dx, BR->ClRect.Bottom + dy}};
  CreateSkinImage(
      Src, New, B, {P, src}, W, H, true,
      {BR->LeftStretch, BR->TopStretch, BR->RightStretch, BR->BottomStretch, BR->StretchEffect, BR->StretchType});
  gfx::TCanvas* C = B->Canvas();
  int d = FDropDown ? 2 : 0;
  TRect T{2 + d, 2 + d, W - 17 + d, H - 2 + d};
  if (FUseSkinFont) {
    C->Font()->SetName(BR->FontName);
    C->Font()->SetStyle(BR->FontStyle);
    C->Font()->SetHeight(BR->FontHeight);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  C->Font()->SetCharset(FDefaultFont.Charset());
  ApplySkinCharset(C->Font(), FSD);
  gfx::TColor col =
      FDropDown ? BR->DownFontColor : (hot ? BR->ActiveFontColor : (Enabled() ? BR->FontColor : BR->DisabledFontColor));
  C->Font()->SetColor(col);
  C->Brush()->SetStyle(gfx::bsClear);
  int i = ShownIndex();
  if (i != -1) DrawShownContent(C, i, ToolButtonContentRect(C, i, T, AText), AText, true);
  TRect AR{W - 15 + d, d, W + d, H + d};
  if (NotEmpty(BR->MenuMarkerRect))
    DrawSkinArrow(C, AR, BR, FDropDown, hot);
  else
    DrawTrackArrowGlyph(C, AR, FDropDown ? BR->DownFontColor : C->Font()->Color());
}

void TbsSkinCustomOfficeComboBox::DrawSkinArrow(gfx::TCanvas* C, TRect R, TbsDataSkinButtonControl* BR, bool Open,
                                                bool Hot) {
  TRect m;
  if (Open && NotEmpty(BR->MenuMarkerDownRect))
    m = BR->MenuMarkerDownRect;
  else if (Hot && NotEmpty(BR->MenuMarkerActiveRect))
    m = BR->MenuMarkerActiveRect;
  else
    m = BR->MenuMarkerRect;
  if (Open && !NotEmpty(BR->MenuMarkerDownRect) && NotEmpty(BR->MenuMarkerActiveRect)) m = BR->MenuMarkerActiveRect;
  if (!Picture || !NotEmpty(m)) return;
  int mw = RectWidth(m), mh = RectHeight(m);
  int x = R.Left + RectWidth(R) / 2 - mw / 2, y = R.Top + RectHeight(R) / 2 - mh / 2;
  C->BrushCopy({x, y, x + mw, y + mh}, Picture, m, BR->MenuMarkerTransparentColor);
}

void TbsSkinCustomOfficeComboBox::PaintSkinTo(gfx::TCanvas* Target, int X, int Y, const std::string& AText) {
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  GetSkinData();
  CalcRects();
  std::string saved = Text();
  SetText(AText);
  if (FToolButtonStyle) {
    if (FIndex == -1)
      DrawToolButtonDefault(&B, &AText);
    else
      DrawToolButtonSkin(&B, &AText);
  } else {
    gfx::TCanvas* C = B.Canvas();
    if (!Skinned() || !Picture) {
      C->Brush()->SetStyle(gfx::bsSolid);
      C->Brush()->SetColor(gfx::clBtnFace);
      C->FillRect({0, 0, Width(), Height()});
      C->Brush()->SetColor(gfx::clBtnShadow);
      C->FrameRect({0, 0, Width(), Height()});
      C->Brush()->SetColor(FDefaultColor);
      C->FillRect({1, 1, Width() - 1, Height() - 1});
      DrawButton(C);
      C->Font()->Assign(FDefaultFont);
    } else {
      bool oldIn = FMouseIn;
      FMouseIn = false;
      if (FUseSkinSize)
        PaintSkinFrame(&B);
      else
        CreateSkinImageByClRect(&B, {Picture, G.SkinRect}, G.ClRect, true);
      FMouseIn = oldIn;
      if (FUseSkinSize)
        DrawButton(C);
      else
        DrawSkinButton(C);
      C->Font()->SetStyle(FontStyle);
      C->Font()->SetColor(FontColor);
      C->Font()->SetHeight(FontHeight);
      C->Font()->SetName(FontName);
    }
    C->Brush()->SetStyle(gfx::bsClear);
    DrawTextVCenter(C, AText, FCBItem.R);
  }
  SetText(saved);
  Target->Draw(X, Y, &B);
}

}  // namespace skin
