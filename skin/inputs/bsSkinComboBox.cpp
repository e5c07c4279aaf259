#include "skin/inputs/bsSkinComboBox.h"

#include <algorithm>

#include "platform/ctl/listbox.h"
#include "platform/gfx/rect.h"
#include "platform/gfx/text.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/time.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/draw/bsTextHelpers.h"
#include "skin/draw/bsWorkArea.h"

namespace skin {

namespace {
bool Empty(const TRect& R) { return R.Width() <= 0 || R.Height() <= 0; }
constexpr gfx::TColor kToolDownFill = 0xB59285;  // the tool-button look's own pressed fill
constexpr unsigned kCancelDropDown = win::WM_USER + 0x4C1;
}  // namespace

TbsSkinCustomComboBox::TbsSkinCustomComboBox(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  ControlStyle = cl::csAcceptsControls | cl::csCaptureMouse | cl::csOpaque | cl::csDoubleClicks | cl::csReplicatable;
  FSkinDataName = "combobox";
  SetTabStop(true);
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetHeight(14);
  FDefaultFont.SetColor(gfx::clWindowText);
  Font()->Assign(FDefaultFont);
  FListBox = new TbsPopupListBox(this);
  FListBox->ListBox->SetTabStop(false);
  FListBoxWindowProc = FListBox->ListBox->WindowProc;
  FListBox->ListBox->WindowProc = [this](cl::TMessage& M) { ListBoxWindowProcHook(M); };
  FListBox->ListBox->OnMouseMove = [this](rtl::TObject*, cl::TShiftState, int, int Y) { HoverRow(Y); };
  FListBox->OnCheckButtonClick = [this](rtl::TObject*) { CloseUp(true); };
  SetBounds(Left(), Top(), 120, 20);
  CalcRects();
}

void TbsSkinCustomComboBox::Destroy() {
  StopTimer();
  WatchOutside(false);
  if (FEdit) cl::FreeAndNil(FEdit);
  if (FListBox) cl::FreeAndNil(FListBox);
  TbsSkinCustomControl::Destroy();
}

void TbsSkinCustomComboBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && FListBox && AComponent == FListBox->Images()) SetImages(nullptr);
}

// --- properties

void TbsSkinCustomComboBox::SetItemIndex(int Value) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  FListBox->SetItemIndex(Value);
  const int i = FListBox->ItemIndex();
  if (Items().Count() > 0 && i != -1) SetText(Items().Get(i));
  if (Destroyed()) return;
  FOldItemIndex = FListBox->ItemIndex();
  if (!FEdit) Invalidate();
  if (Loading()) return;
  OnClick(this);
  if (Destroyed()) return;
  Change();
}

void TbsSkinCustomComboBox::SetUseSkinSize(bool V) {
  FUseSkinSize = V;
  if (FIndex != -1) ChangeSkinData();
}

void TbsSkinCustomComboBox::SetToolButtonStyle(bool V) {
  if (V == FToolButtonStyle) return;
  FToolButtonStyle = V;
  if (V) {
    SetStyle(bscbFixedStyle);
    FUseSkinSize = false;
  }
  Invalidate();
}

void TbsSkinCustomComboBox::SetStyle(TbsSkinCustomComboBoxStyle V) {
  if (V == bscbEditStyle) {
    // Only one inner edit: switching to the edit style again keeps it.
    if (!FEdit) {
      CreateEditControl();
      if (TabStop()) {
        SetTabStop(false);
        FEdit->SetTabStop(true);
      } else {
        FEdit->SetTabStop(false);
      }
      FEdit->SetText(Text());
      if (Focused()) FEdit->SetFocus();
    }
  } else if (FEdit) {
    FEdit->SetVisible(false);
    cl::FreeAndNil(FEdit);
  }
  FStyle = V;
  CalcRects();
  RecreateWnd();
  Invalidate();
}

void TbsSkinCustomComboBox::SetCharCase(ctl::TEditCharCase V) {
  FCharCase = V;
  if (FEdit) FEdit->SetCharCase(V);
}

void TbsSkinCustomComboBox::SetDefaultColor(gfx::TColor V) {
  FDefaultColor = V;
  Invalidate();
  if (FEdit && FIndex == -1) FEdit->SetColor(V);
}

void TbsSkinCustomComboBox::SetImages(cl::TCustomImageList* V) {
  FListBox->SetImages(V);
  if (V) V->FreeNotification(this);
  Invalidate();
}

void TbsSkinCustomComboBox::SetImageIndex(int V) {
  FListBox->SetImageIndex(V);
  Invalidate();
}

int TbsSkinCustomComboBox::SelStart() const { return FEdit ? FEdit->SelStart() : 0; }
void TbsSkinCustomComboBox::SetSelStart(int V) {
  if (FEdit) FEdit->SetSelStart(V);
}
int TbsSkinCustomComboBox::SelLength() const { return FEdit ? FEdit->SelLength() : 0; }
void TbsSkinCustomComboBox::SetSelLength(int V) {
  if (FEdit) FEdit->SetSelLength(V);
}

void TbsSkinCustomComboBox::Invalidate() {
  TbsSkinCustomControl::Invalidate();
  if (FEdit && FIndex != -1) FEdit->Invalidate();
}

// --- inner edit

void TbsSkinCustomComboBox::CreateEditControl() {
  TbsCustomEdit* e = FNumEdit ? new TbsSkinNumEdit(this) : new TbsCustomEdit(this);
  FEdit = e;
  e->SetParent(this);
  e->SetColor(FDefaultColor);
  e->SetAutoSize(false);
  e->SetHideSelection(HideSelection);
  e->SetCharCase(FCharCase);
  e->OnChange = [this](rtl::TObject*) { EditChange(); };
  FEditWindowProc = e->WindowProc;
  e->WindowProc = [this](cl::TMessage& M) { EditWndProc(M); };
  e->OnEditCancelMode = [this](cl::TControl* Sender) {
    if (IsPopupVisible() && !IsOwnPart(Sender)) CloseUp(false);
  };
  e->OnKeyDown = [this](rtl::TObject*, uint16_t& K, cl::TShiftState S) { OnKeyDown(this, K, S); };
  e->OnKeyPress = [this](rtl::TObject*, char32_t& K) { OnKeyPress(this, K); };
  e->OnKeyUp = [this](rtl::TObject*, uint16_t& K, cl::TShiftState S) { OnKeyUp(this, K, S); };
  if (FIndex == -1) {
    e->Font()->Assign(*Font());
  } else {
    e->Font()->SetName(FontName);
    e->Font()->SetStyle(FontStyle);
    e->Font()->SetHeight(FontHeight);
    e->Font()->SetColor(FontColor);
  }
  e->SetEditTransparent(FIndex != -1);
  e->SetVisible(true);
  CalcRects();
}

void TbsSkinCustomComboBox::EditChange() {
  FromEdit = true;
  const std::string t = FEdit->Text();
  if (!t.empty() && FListBox->ListBox->HandleAllocated()) {
    const int i =
        int(win::SendMessage(FListBox->ListBox->Handle(), ctl::LB_FINDSTRING, win::WPARAM(-1), win::LPARAM(t.c_str())));
    if (i >= 0) {
      if (AutoComplete)
        FListBox->SetItemIndex(i);
      else
        FListBox->SetTopIndex(i);
    }
  }
  SetText(t);
  FromEdit = false;
}

void TbsSkinCustomComboBox::EditStep(bool Up, bool Commit) {
  const int i = FListBox->ItemIndex(), n = Items().Count();
  if (Up ? i <= 0 : i >= n - 1) return;
  FListBox->SetItemIndex(Up ? i - 1 : i + 1);
  if (!Commit) return;
  SetText(Items().Get(FListBox->ItemIndex()));
  if (FEdit) FEdit->SelectAll();
  OnClick(this);
}

void TbsSkinCustomComboBox::EditWndProc(cl::TMessage& Msg) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  switch (Msg.Msg) {
    case win::WM_SETFOCUS:
    case win::WM_KILLFOCUS:
      if (Msg.Msg == win::WM_KILLFOCUS && IsPopupVisible()) CloseUp(false);
      if (ActivePicture()) {
        FEdit->Font()->SetColor(Msg.Msg == win::WM_SETFOCUS ? ActiveFontColor : FontColor);
        Invalidate();
      }
      break;
    case win::WM_KEYDOWN:
      if (Msg.WParam == win::VK_RETURN || Msg.WParam == win::VK_ESCAPE) {
        if (IsPopupVisible()) CloseUp(Msg.WParam == win::VK_RETURN);
      } else if (Msg.WParam == win::VK_PRIOR || Msg.WParam == win::VK_NEXT) {
        if (IsPopupVisible()) {
          const int i = FListBox->ItemIndex(), n = Items().Count();
          FListBox->SetItemIndex(Msg.WParam == win::VK_PRIOR ? std::max(0, i - FDropDownCount - 1)
                                                             : std::min(n - 1, i + FDropDownCount - 1));
        }
      } else if (Msg.WParam == win::VK_UP || Msg.WParam == win::VK_DOWN) {
        EditStep(Msg.WParam == win::VK_UP, true);
        return;
      }
      break;
    case win::WM_LBUTTONDOWN:
    case win::WM_RBUTTONDOWN:
      if (IsPopupVisible()) CloseUp(false);
      break;
    case win::WM_MOUSEWHEEL:
      EditStep(int16_t(win::HIWORD(uintptr_t(Msg.WParam))) > 0, !IsPopupVisible());
      if (Destroyed() || !FEdit) return;
      break;
    case win::WM_KEYUP:
    case win::WM_SYSKEYUP: {
      // Input methods of the double-byte sets commit with keys below the
      // digits (Space, Enter) and leave the completed tail selected; every
      // release but Delete and Backspace completes afresh there.
      const bool dbcs = IsDoubleByteCharset(EditCharset());
      const bool erase = Msg.WParam == win::VK_DELETE || Msg.WParam == win::VK_BACK;
      bool complete;
      if (dbcs) {
        complete = !erase;
        if (complete) FEdit->ClearSelection();
      } else {
        complete = Msg.Msg == win::WM_KEYUP && Msg.WParam >= 0x30;
      }
      if (FEditWindowProc) FEditWindowProc(Msg);
      if (Destroyed() || !FEdit) return;
      if (complete && AutoComplete) CompleteTypedText();
      return;
    }
    default:
      break;
  }
  if (FEditWindowProc && !Destroyed()) FEditWindowProc(Msg);
}

uint8_t TbsSkinCustomComboBox::EditCharset() {
  if (FSD && FSD->ResourceStrData()) return FSD->ResourceStrData()->CharSet();
  return FDefaultFont.Charset();
}

bool IsDoubleByteCharset(uint8_t Charset) {
  return Charset == 128 || Charset == 134 || Charset == 136;  // Shift-JIS, GB2312, Big5
}

void TbsSkinCustomComboBox::CompleteTypedText() {
  const uint32_t now = rtl::GetTickCount();
  if (now - FLastTime <= 200) return;
  FLastTime = now;
  const std::string t = Text();
  if (t.empty() || !FListBox->ListBox->HandleAllocated()) return;
  const int typed = int(rtl::ToUtf32(t).size());
  const int start = typed == 1 ? FListBox->ItemIndex() : -1;
  const int i = int(
      win::SendMessage(FListBox->ListBox->Handle(), ctl::LB_FINDSTRING, win::WPARAM(start), win::LPARAM(t.c_str())));
  if (i < 0) return;
  SetItemIndex(i);
  if (Destroyed() || !FEdit) return;
  FEdit->SetSelStart(typed);
  FEdit->SetSelLength(int(rtl::ToUtf32(Text()).size()) - typed);
}

// --- drop-down

bool TbsSkinCustomComboBox::CanCancelDropDown() {
  if (!IsPopupVisible()) return false;
  win::POINT p;
  win::GetCursorPos(&p);
  const TPoint c = ScreenToClient(TPoint(p.X, p.Y));
  return !gfx::PtInRect(ClientRect(), c);
}

void TbsSkinCustomComboBox::DropDown() {
  if (Items().Count() == 0) return;
  cl::Keep<TbsSkinCustomComboBox> self(this);
  WasInLB = false;
  StopTimer();
  OnDropDown(this);
  if (Destroyed()) return;
  FListBox->SetSkinData(FSD);
  FListBox->SetWidth(ListBoxWidth > 0 ? ListBoxWidth : Width());
  FListBox->SetRowCount(std::min(Items().Count(), FDropDownCount));
  TPoint pt = Parent() ? Parent()->ClientToScreen(TPoint(Left(), Top() + Height())) : TPoint(Left(), Top() + Height());
  TRect work(0, 0, 0, 0);
  GetMonitorWorkArea(HandleAllocated() ? Handle() : nullptr, true, work);
  if (work.Bottom < pt.Y + FListBox->Height()) pt.Y = pt.Y - Height() - FListBox->Height();
  if (FEdit) FEdit->SetFocus();
  FOldItemIndex = FListBox->ItemIndex();
  if (FOldItemIndex == 0 && Items().Count() > 1) {
    FListBox->SetItemIndex(1);
    FListBox->SetItemIndex(0);
  }
  FDropDown = true;
  if (FToolButtonStyle) Invalidate();
  FListBox->SetTopIndex(FListBox->ItemIndex());
  WatchOutside(true);
  FListBox->Show(pt);
}

// A press anywhere but on the combo box or its list cancels the drop-down,
// as the form's cancel mode would.
void TbsSkinCustomComboBox::WatchOutside(bool On) {
  if (FOutsideHook) win::RemovePreDispatchHook(FOutsideHook);
  FOutsideHook = 0;
  if (!On) return;
  FOutsideHook = win::AddPreDispatchHook([this](win::MSG& M, bool&) {
    if (M.message != win::WM_LBUTTONDOWN && M.message != win::WM_RBUTTONDOWN && M.message != win::WM_MBUTTONDOWN &&
        M.message != win::WM_NCLBUTTONDOWN && M.message != win::WM_NCRBUTTONDOWN)
      return;
    const auto mine = [&](cl::TWinControl* C) {
      return C && C->HandleAllocated() && (M.hwnd == C->Handle() || win::IsChild(C->Handle(), M.hwnd));
    };
    if (mine(this) || mine(FListBox) || !HandleAllocated()) return;
    // Not from inside the hook: closing removes it.
    win::PostMessage(Handle(), kCancelDropDown, 0, 0);
  });
}

void TbsSkinCustomComboBox::CloseUp(bool Value) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  StopTimer();
  WatchOutside(false);
  if (!IsPopupVisible()) return;
  FListBox->Hide();
  const int i = FListBox->ItemIndex();
  if (i >= 0 && i < Items().Count() && Value) {
    if (FEdit) {
      FEdit->SetText(Items().Get(i));
      FEdit->SelectAll();
    } else {
      SetText(Items().Get(i));
      if (Destroyed()) return;
      Invalidate();
    }
    OnClick(this);
    if (Destroyed()) return;
    Change();
    if (Destroyed()) return;
  } else {
    FListBox->SetItemIndex(FOldItemIndex);
  }
  FDropDown = false;
  Invalidate();
  if (Value) OnCloseUp(this);
}

bool TbsSkinCustomComboBox::IsOwnPart(cl::TControl* C) const {
  return C && (C == this || C == FListBox || C == FListBox->ScrollBar || C == FListBox->HScrollBar ||
               C == FListBox->ListBox);
}

// --- mouse

void TbsSkinCustomComboBox::ListBoxWindowProcHook(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case win::WM_LBUTTONUP:
    case win::WM_RBUTTONDOWN:
    case win::WM_RBUTTONUP:
    case win::WM_MBUTTONDOWN:
    case win::WM_MBUTTONUP:
      return;
    case win::WM_LBUTTONDOWN:
      FLBDown = true;
      WasInLB = true;
      if (HandleAllocated()) win::SetCapture(Handle());
      return;
    case win::WM_MOUSEACTIVATE:
      Msg.Result = win::MA_NOACTIVATE;
      break;
    default:
      break;
  }
  if (FListBoxWindowProc) FListBoxWindowProc(Msg);
}

void TbsSkinCustomComboBox::HoverRow(int Y) {
  const int i = FListBox->ListBox->ItemAtPos(TPoint(1, Y), true);
  if (i >= 0 && i < Items().Count()) FListBox->SetItemIndex(i);
}

void TbsSkinCustomComboBox::StartTimer() {
  if (!HandleAllocated()) return;
  win::KillTimer(Handle(), 1);
  win::SetTimer(Handle(), 1, 25);
}

void TbsSkinCustomComboBox::StopTimer() {
  if (HandleAllocated()) win::KillTimer(Handle(), 1);
  TimerMode = 0;
}

void TbsSkinCustomComboBox::TrackPress() {
  TbsListBox* L = FListBox->ListBox;
  if (!L->HandleAllocated()) return;
  win::POINT sp;
  win::GetCursorPos(&sp);
  win::POINT p = sp;
  win::ScreenToClient(L->Handle(), &p);
  const bool bar = FListBox->ScrollBar != nullptr;
  if (p.Y < 0 && bar && WasInLB) {
    if (TimerMode != 1) {
      TimerMode = 1;
      StartTimer();
    }
  } else if (p.Y > L->Height() && bar && WasInLB) {
    if (TimerMode != 2) {
      TimerMode = 2;
      StartTimer();
    }
  } else if (p.Y >= 0 && p.Y <= L->Height()) {
    if (TimerMode != 0) StopTimer();
    HoverRow(p.Y);
    WasInLB = true;
  }
}

void TbsSkinCustomComboBox::MouseDown(cl::TMouseButton Btn, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  TbsSkinCustomControl::MouseDown(Btn, Shift, X, Y);
  if (Destroyed()) return;
  if (!Focused() && !FEdit && CanFocus()) SetFocus();
  if (Btn != cl::mbLeft) return;
  CalcRects();
  Button.MouseIn = gfx::PtInRect(Button.R, TPoint(X, Y));
  const bool hit = Button.MouseIn || (!FEdit && gfx::PtInRect(CBItem.R, TPoint(X, Y))) || FToolButtonStyle;
  if (hit) {
    Button.Down = true;
    Invalidate();
    if (IsPopupVisible()) {
      CloseUp(false);
    } else {
      WasInLB = false;
      FLBDown = true;
      DropDown();
    }
  } else if (IsPopupVisible()) {
    CloseUp(false);
  }
}

void TbsSkinCustomComboBox::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseMove(Shift, X, Y);
  if (FLBDown) {
    TrackPress();
    return;
  }
  const bool in = gfx::PtInRect(Button.R, TPoint(X, Y));
  if (in != Button.MouseIn) {
    Button.MouseIn = in;
    Invalidate();
  }
}

void TbsSkinCustomComboBox::MouseUp(cl::TMouseButton Btn, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  if (FLBDown && WasInLB) {
    win::ReleaseCapture();
    FLBDown = false;
    win::POINT sp;
    win::GetCursorPos(&sp);
    const bool accept = FListBox->ListBox->HandleAllocated() && win::WindowFromPoint(sp) == FListBox->ListBox->Handle();
    CloseUp(accept);
    if (Destroyed()) return;
  } else {
    FLBDown = false;
  }
  TbsSkinCustomControl::MouseUp(Btn, Shift, X, Y);
  if (Destroyed()) return;
  if (Button.Down) {
    Button.Down = false;
    Invalidate();
  }
}

void TbsSkinCustomComboBox::CMMouseEnter(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseEnter(Msg);
  FMouseIn = true;
  GetSkinData();
  const bool active = FIndex != -1 && !Empty(ActiveSkinRect);
  if (active && FEdit && !FEdit->Focused()) FEdit->Font()->SetColor(ActiveFontColor);
  if (active || FToolButtonStyle) Invalidate();
}

void TbsSkinCustomComboBox::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseLeave(Msg);
  FMouseIn = false;
  if (Button.MouseIn) {
    Button.MouseIn = false;
    Invalidate();
  }
  GetSkinData();
  const bool active = FIndex != -1 && !Empty(ActiveSkinRect);
  if (active && FEdit && !FEdit->Focused()) FEdit->Font()->SetColor(FontColor);
  if (active || FToolButtonStyle) Invalidate();
}

// --- keyboard

void TbsSkinCustomComboBox::StepUp(bool Commit) {
  const int i = FListBox->ItemIndex();
  if (i <= 0) return;
  if (Commit)
    SetItemIndex(i - 1);
  else
    FListBox->SetItemIndex(i - 1);
}

void TbsSkinCustomComboBox::StepDown(bool Commit) {
  const int i = FListBox->ItemIndex();
  if (i >= Items().Count() - 1) return;
  if (Commit)
    SetItemIndex(i + 1);
  else
    FListBox->SetItemIndex(i + 1);
}

void TbsSkinCustomComboBox::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  TbsSkinCustomControl::KeyDown(Key, Shift);
  if (Destroyed()) return;
  const int n = Items().Count(), i = FListBox->ItemIndex();
  switch (Key) {
    case win::VK_RETURN:
      if (IsPopupVisible()) CloseUp(true);
      break;
    case win::VK_ESCAPE:
      if (IsPopupVisible()) CloseUp(false);
      break;
    case win::VK_PRIOR:
      if (n > 0) SetItemIndex(std::max(0, i - FDropDownCount - 1));
      break;
    case win::VK_NEXT:
      if (n > 0) SetItemIndex(std::min(n - 1, i + FDropDownCount - 1));
      break;
    case win::VK_UP:
    case win::VK_LEFT:
      if (Shift & cl::ssAlt) {
        if (IsPopupVisible()) CloseUp(false);
      } else {
        StepUp(true);
      }
      break;
    case win::VK_DOWN:
    case win::VK_RIGHT:
      if (Shift & cl::ssAlt) {
        if (!IsPopupVisible()) DropDown();
      } else {
        StepDown(true);
      }
      break;
    default:
      break;
  }
}

void TbsSkinCustomComboBox::FindRow(const std::string& Text, int Start) {
  if (!FListBox->ListBox->HandleAllocated() || Items().Count() == 0) return;
  const int i = int(
      win::SendMessage(FListBox->ListBox->Handle(), ctl::LB_FINDSTRING, win::WPARAM(Start), win::LPARAM(Text.c_str())));
  if (i >= 0) SetItemIndex(i);
}

void TbsSkinCustomComboBox::KeyPress(char32_t& Key) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  TbsSkinCustomControl::KeyPress(Key);
  if (Destroyed() || Key == 0 || Key < 32 || FEdit) return;
  std::string search;
  const std::string k = rtl::FromUtf32(std::u32string(1, Key));
  if (AutoComplete) {
    const uint32_t now = rtl::GetTickCount();
    if (now - FLastTime >= 500) FFilter.clear();
    FLastTime = now;
    FFilter += k;
    search = FFilter;
  } else {
    search = k;
  }
  FindRow(search, rtl::ToUtf32(search).size() == 1 ? FListBox->ItemIndex() : -1);
}

void TbsSkinCustomComboBox::Dispatch(cl::TMessage& Msg) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  switch (Msg.Msg) {
    case kCancelDropDown:
      CloseUp(false);
      return;
    case win::WM_GETDLGCODE:
      Msg.Result = win::DLGC_WANTARROWS;
      return;
    case win::CM_WANTSPECIALKEY:
      if (Msg.WParam == win::VK_UP || Msg.WParam == win::VK_DOWN || Msg.WParam == win::VK_LEFT ||
          Msg.WParam == win::VK_RIGHT ||
          ((Msg.WParam == win::VK_RETURN || Msg.WParam == win::VK_ESCAPE) && IsPopupVisible())) {
        Msg.Result = 1;
        return;
      }
      break;
    case win::WM_MOUSEWHEEL: {
      // The edit steps the rows; the wheel goes no further.
      if (FEdit) return;
      const bool up = int16_t(win::HIWORD(uintptr_t(Msg.WParam))) > 0;
      const bool open = IsPopupVisible();
      if (up)
        StepUp(!open);
      else
        StepDown(!open);
      Msg.Result = 1;
      return;
    }
    case win::WM_TIMER:
      TbsSkinCustomControl::Dispatch(Msg);
      if (Destroyed() || Msg.WParam != 1) return;
      if (TimerMode == 1 && FListBox->ItemIndex() > 0) {
        FListBox->SetItemIndex(FListBox->ItemIndex() - 1);
        FListBox->SetTopIndex(std::min(FListBox->TopIndex(), FListBox->ItemIndex()));
        FListBox->UpDateScrollBar();
      } else if (TimerMode == 2 && FListBox->ItemIndex() < Items().Count() - 1) {
        FListBox->SetItemIndex(FListBox->ItemIndex() + 1);
        FListBox->UpDateScrollBar();
      }
      return;
    case win::WM_KILLFOCUS:
      TbsSkinCustomControl::Dispatch(Msg);
      if (Destroyed()) return;
      // With an edit the list stays: the edit has or takes the focus, and
      // its own focus loss closes the list.
      if (IsPopupVisible() && !FEdit) CloseUp(false);
      Invalidate();
      if (FEdit && ActivePicture()) {
        FEdit->Font()->SetColor(FontColor);
        Invalidate();
      }
      return;
    case win::WM_SETFOCUS:
      if (FEdit) {
        // The edit does the typing: the focus goes on to it.
        if (FEdit->CanFocus()) FEdit->SetFocus();
        if (Destroyed() || !FEdit) return;
        if (ActivePicture()) {
          FEdit->Font()->SetColor(ActiveFontColor);
          Invalidate();
        }
        return;
      }
      TbsSkinCustomControl::Dispatch(Msg);
      if (!Destroyed()) Invalidate();
      return;
    case win::CM_CANCELMODE: {
      TbsSkinCustomControl::Dispatch(Msg);
      if (Destroyed()) return;
      auto* sender = reinterpret_cast<cl::TControl*>(Msg.LParam);
      if (!(sender && IsOwnPart(sender))) CloseUp(false);
      return;
    }
    case win::CM_TEXTCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      if (Destroyed()) return;
      if (FEdit && !FromEdit) FEdit->SetText(Text());
      OnChange(this);
      if (Destroyed()) return;
      if (FromEdit) Change();
      return;
    case win::CM_ENABLEDCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      if (Destroyed()) return;
      if (FEdit)
        FEdit->Font()->SetColor(!Enabled() ? DisabledFontColor() : FIndex == -1 ? FDefaultFont.Color() : FontColor);
      Invalidate();
      return;
    case win::WM_SIZE:
      TbsSkinCustomControl::Dispatch(Msg);
      CalcRects();
      return;
    case win::WM_ERASEBKGND:
      // Inside our own paint cycle the paint covers everything; an erase
      // from elsewhere (a parent drawing us into its DC) gets the whole look.
      if (!FromWMPaint && Msg.WParam) PaintToDC(gfx::HDC(uint32_t(Msg.WParam)));
      Msg.Result = 1;
      return;
    default:
      break;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

void TbsSkinCustomComboBox::PaintToDC(gfx::HDC dc) {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  if (FIndex == -1)
    CreateControlDefaultImage(&B);
  else
    CreateControlSkinImage(&B);
  gfx::TCanvas C;
  C.SetHandle(dc);
  C.Draw(0, 0, &B);
  C.SetHandle(gfx::HDC());
  if (!FEdit || !FEdit->HandleAllocated() || !FEdit->Visible()) return;
  // The edit paints its text into the same DC, moved to its place.
  const int saved = gfx::SaveDC(dc);
  gfx::OffsetViewportOrgEx(dc, FEdit->Left(), FEdit->Top(), nullptr);
  gfx::IntersectClipRect(dc, 0, 0, FEdit->Width(), FEdit->Height());
  win::SendMessage(FEdit->Handle(), win::WM_PAINT, win::WPARAM(dc.v), 0);
  gfx::RestoreDC(dc, saved);
}

// --- skin and size

void TbsSkinCustomComboBox::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinComboBox*>(SkinRecord(FSD, FIndex));
  if (!R) {
    FIndex = -1;
    return;
  }
  ActiveSkinRect = R->ActiveSkinRect;
  ActiveFontColor = R->ActiveFontColor;
  SItemRect = R->SItemRect;
  ActiveItemRect = R->ActiveItemRect;
  FocusItemRect = Empty(R->FocusItemRect) ? R->SItemRect : R->FocusItemRect;
  ItemLeftOffset = R->ItemLeftOffset;
  ItemRightOffset = R->ItemRightOffset;
  ItemTextRect = R->ItemTextRect;
  FontName = R->FontName;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  FontColor = R->FontColor;
  FocusFontColor = R->FocusFontColor;
  ButtonRect = R->ButtonRect;
  ActiveButtonRect = R->ActiveButtonRect;
  DownButtonRect = R->DownButtonRect;
  UnEnabledButtonRect = R->UnEnabledButtonRect;
  ListBoxName = R->ListBoxName;
  ItemStretchEffect = R->ItemStretchEffect;
  FocusItemStretchEffect = R->FocusItemStretchEffect;
  ShowFocus = R->ShowFocus;
}

void TbsSkinCustomComboBox::CalcSize(int& AWidth, int& AHeight) {
  if (FUseSkinSize) {
    TbsSkinCustomControl::CalcSize(AWidth, AHeight);
    return;
  }
  G.NewLTPoint = G.LTPt;
  G.NewRTPoint = TPoint(AWidth + G.RTPt.X - G.SkinRect.Width(), G.RTPt.Y);
  G.NewClRect = G.ClRect;
  G.NewClRect.Right = AWidth + G.ClRect.Right - G.SkinRect.Width();
}

void TbsSkinCustomComboBox::SetControlRegion() {
  if (FUseSkinSize) TbsSkinCustomControl::SetControlRegion();
}

void TbsSkinCustomComboBox::CalcRects() {
  const int W = Width(), H = Height();
  if (FIndex == -1 || FToolButtonStyle) {
    Button.R = TRect(W - 19, 2, W - 2, H - 2);
    CBItem.R = TRect(2, 2, Button.R.Left - 1, H - 2);
  } else {
    const int dx = W - G.SkinRect.Width();
    Button.R = ButtonRect;
    if (ButtonRect.Left >= G.SkinRect.Width() - G.RTPt.X) gfx::OffsetRect(Button.R, dx, 0);
    CBItem.R = G.ClRect;
    CBItem.R.Right += dx;
    if (!FUseSkinSize) {
      const int dy = H - G.SkinRect.Height();
      CBItem.R.Bottom += dy;
      Button.R.Bottom += dy;
    }
  }
  if (FEdit) {
    gfx::TBitmap m;
    m.SetSize(1, 1);
    m.Canvas()->Font()->Assign(*FEdit->Font());
    const int eh = m.Canvas()->TextHeight("Wg");
    FEdit->SetBounds(CBItem.R.Left, CBItem.R.Top + CBItem.R.Height() / 2 - eh / 2, CBItem.R.Width(), eh);
  }
}

void TbsSkinCustomComboBox::ChangeSkinData() {
  TbsSkinCustomControl::ChangeSkinData();
  CalcRects();
  if (FEdit) {
    if (FIndex != -1 && FUseSkinFont) {
      FEdit->Font()->SetStyle(FontStyle);
      FEdit->Font()->SetHeight(FontHeight);
      FEdit->Font()->SetName(FontName);
      FEdit->Font()->SetColor(FontColor);
    } else {
      FEdit->Font()->Assign(FDefaultFont);
      if (FIndex != -1) FEdit->Font()->SetColor(FontColor);
    }
    if (FIndex != -1 && !Empty(ActiveSkinRect) && (FEdit->Focused() || FMouseIn))
      FEdit->Font()->SetColor(ActiveFontColor);
    FEdit->SetEditTransparent(FIndex != -1);
    if (!Enabled()) FEdit->Font()->SetColor(DisabledFontColor());
  }
  Invalidate();
  FListBox->SetSkinDataName(FIndex == -1 ? "" : ListBoxName);
  FListBox->SetSkinData(FSD);
  FListBox->UpDateScrollBar();
  CalcRects();
}

gfx::TColor TbsSkinCustomComboBox::DisabledFontColor() {
  if (SkinUsable(FSD)) {
    const int i = FSD->GetControlIndex("edit");
    if (auto* R = dynamic_cast<TbsDataSkinEditControl*>(SkinRecord(FSD, i))) return R->DisabledFontColor;
  }
  return gfx::clGrayText;
}

// --- painting

int TbsSkinCustomComboBox::ShownRow() { return FDropDown ? FOldItemIndex : FListBox->ItemIndex(); }

bool TbsSkinCustomComboBox::ActivePicture() {
  GetSkinData();
  return FIndex != -1 && !Empty(ActiveSkinRect);
}

bool TbsSkinCustomComboBox::Hot() {
  return !Empty(ActiveSkinRect) && (FMouseIn || Focused() || (FEdit && FEdit->Focused()));
}

void TbsSkinCustomComboBox::DrawRow(gfx::TCanvas* C, int Row, TRect R, const std::string* AText) {
  if (!AText && (Row < 0 || Row >= Items().Count())) return;
  CBItem.State = Focused() ? ctl::odFocused : 0;
  if (OnComboBoxDrawItem && !AText) {
    OnComboBoxDrawItem(C, Row, R.Width(), R.Height(), R, CBItem.State);
    return;
  }
  if (cl::TCustomImageList* im = Images()) {
    const int n = ImageIndex() >= 0 ? ImageIndex() : Row;
    if (n >= 0 && n < im->Count()) im->Draw(C, R.Left, R.Top + R.Height() / 2 - im->Height() / 2, n, Enabled());
    R.Left += im->Width() + 2;
  }
  const std::string s = AText ? *AText : Items().Get(Row);
  C->Brush()->SetStyle(gfx::bsClear);
  if (TabWidths().Count() > 0) {
    std::vector<int> stops = TabStopsFrom(TabWidths());
    const int th = C->TextHeight("Wg");
    gfx::TabbedTextOut(C->Handle(), R.Left + 2, R.Top + R.Height() / 2 - th / 2, s, int(s.size()), int(stops.size()),
                       stops.data(), 0);
  } else {
    DrawTextVCenter(C, s, R);
  }
}

void TbsSkinCustomComboBox::DrawDefaultButton(gfx::TCanvas* C) {
  const bool down = Button.Down && Button.MouseIn;
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(down ? kToolDownFill : Button.MouseIn ? bsHotFillColor : gfx::clBtnFace);
  C->FillRect(Button.R);
  C->Brush()->SetColor(down || Button.MouseIn ? bsHotFrameColor : gfx::clBtnShadow);
  C->FrameRect(Button.R);
  DrawArrowGlyph(C, Button.R, Enabled() ? gfx::clBlack : gfx::clBtnShadow, 4);
}

void TbsSkinCustomComboBox::PaintDefaultItem(gfx::TCanvas* Target) {
  if (Empty(CBItem.R)) return;
  gfx::TBitmap B;
  B.SetSize(CBItem.R.Width(), CBItem.R.Height());
  gfx::TCanvas* C = B.Canvas();
  C->Font()->SetName(Font()->Name());
  C->Font()->SetStyle(Font()->Style());
  C->Font()->SetHeight(Font()->Height());
  const bool focused = Focused();
  C->Brush()->SetColor(focused ? gfx::clHighlight : FDefaultColor);
  C->Font()->SetColor(focused ? gfx::clHighlightText : !Enabled() ? gfx::clGrayText : FDefaultFont.Color());
  C->FillRect(TRect(0, 0, B.Width(), B.Height()));
  DrawRow(C, ShownRow(), TRect(2, 0, B.Width() - 2, B.Height()), nullptr);
  if (focused) DrawSkinFocusRect(C, TRect(0, 0, B.Width(), B.Height()));
  Target->Draw(CBItem.R.Left, CBItem.R.Top, &B);
}

void TbsSkinCustomComboBox::CreateControlDefaultImage(gfx::TBitmap* B) {
  CalcRects();
  gfx::TCanvas* C = B->Canvas();
  if (FToolButtonStyle) {
    DrawToolButton(B, nullptr);
    return;
  }
  TRect r(0, 0, Width(), Height());
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(gfx::clBtnFace);
  C->FillRect(r);
  C->Brush()->SetColor(gfx::clBtnShadow);
  C->FrameRect(r);
  gfx::InflateRect(r, -2, -2);
  C->Brush()->SetColor(FDefaultColor);
  C->FillRect(r);
  DrawDefaultButton(C);
  if (!FEdit) PaintDefaultItem(C);
}

void TbsSkinCustomComboBox::DrawToolButton(gfx::TBitmap* B, const std::string* AText) {
  gfx::TCanvas* C = B->Canvas();
  const int W = Width(), H = Height();
  const bool hot = FMouseIn || Focused();
  TRect text(2, 2, W - 17, H - 2), arrow(W - 15, 0, W, H);
  if (FDropDown) {
    gfx::OffsetRect(text, 2, 2);
    gfx::OffsetRect(arrow, 2, 2);
  }
  const int row = ShownRow();
  auto* R = FIndex != -1 && SkinUsable(FSD)
                ? dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizetoolbutton")))
                : nullptr;
  if (FIndex != -1 && !R && SkinUsable(FSD))
    R = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizebutton")));
  gfx::TColor arrowColor;
  if (FIndex == -1 || !R) {
    if (FIndex != -1) return;  // a skin without a tool-button record shows nothing
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(FDropDown ? kToolDownFill : hot ? bsHotFillColor : gfx::clBtnFace);
    C->FillRect(TRect(0, 0, W, H));
    C->Brush()->SetColor(FDropDown || hot ? bsHotFrameColor : gfx::clBtnShadow);
    C->FrameRect(TRect(0, 0, W, H));
    C->Font()->Assign(FDefaultFont);
    arrowColor = C->Font()->Color();
  } else {
    gfx::TBitmap* P = SkinPicture(FSD, R->PictureIndex);
    TRect src = FDropDown ? R->DownSkinRect : hot ? R->ActiveSkinRect : R->SkinRect;
    if (Empty(src)) src = R->SkinRect;
    TbsFrameGeometry g;
    g.CopyFrom(*R);
    int w = W, h = H;
    g.CalcResizeMode();
    g.ResizeMode = 1;
    g.CalcSize(w, h, true);
    if (P) CreateSkinImage(g.Src(), g.New(), B, {P, src}, W, H, true, g.Stretch());
    C = B->Canvas();
    if (FUseSkinFont) {
      C->Font()->SetName(R->FontName);
      C->Font()->SetStyle(R->FontStyle);
      C->Font()->SetHeight(R->FontHeight);
    } else {
      C->Font()->Assign(FDefaultFont);
    }
    C->Font()->SetColor(FDropDown   ? R->DownFontColor
                        : hot       ? R->ActiveFontColor
                        : Enabled() ? R->FontColor
                                    : R->DisabledFontColor);
    arrowColor = FDropDown ? R->DownFontColor : C->Font()->Color();
  }
  C->Brush()->SetStyle(gfx::bsClear);
  if (AText || (row >= 0 && row < Items().Count())) DrawRow(C, row, text, AText);
  if (R && !Empty(R->MenuMarkerRect)) {
    TRect m = R->MenuMarkerRect;
    if (FDropDown) {
      if (!Empty(R->MenuMarkerDownRect))
        m = R->MenuMarkerDownRect;
      else if (!Empty(R->MenuMarkerActiveRect))
        m = R->MenuMarkerActiveRect;
    } else if (FMouseIn && !Empty(R->MenuMarkerActiveRect)) {
      m = R->MenuMarkerActiveRect;
    }
    DrawRecordGlyph(C, arrow, m, R->MenuMarkerTransparentColor, 0);
    return;
  }
  DrawTrackArrowGlyph(C, arrow, arrowColor);
}

void TbsSkinCustomComboBox::DrawSkinButton(gfx::TCanvas* C) {
  const bool down = Button.Down && Button.MouseIn;
  if (FUseSkinSize) {
    TRect src;
    if (!Enabled() && !Empty(UnEnabledButtonRect))
      src = UnEnabledButtonRect;
    else if (down)
      src = DownButtonRect;
    else if (Button.MouseIn)
      src = ActiveButtonRect;
    if (!Empty(src) && Picture) C->CopyRect(Button.R, Picture->Canvas(), src);
    return;
  }
  TbsDataSkinButtonControl* R = nullptr;
  for (const char* name : {"combobutton", "editbutton", "resizebutton"}) {
    R = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex(name)));
    if (R) break;
  }
  if (!R || Empty(Button.R)) return;
  gfx::TBitmap* P = SkinPicture(FSD, R->PictureIndex);
  if (!P) return;
  TRect active = Empty(R->ActiveSkinRect) ? R->SkinRect : R->ActiveSkinRect;
  TRect src = down ? (Empty(R->DownSkinRect) ? active : R->DownSkinRect) : Button.MouseIn ? active : R->SkinRect;
  TbsFrameGeometry g;
  g.CopyFrom(*R);
  int w = Button.R.Width(), h = Button.R.Height();
  g.ResizeMode = 1;
  g.CalcSize(w, h, true);
  gfx::TBitmap B;
  CreateSkinImage(g.Src(), g.New(), &B, {P, src}, Button.R.Width(), Button.R.Height(), true, g.Stretch());
  if (!Empty(R->MenuMarkerRect)) {
    TRect m = R->MenuMarkerRect;
    if (down && !Empty(R->MenuMarkerDownRect))
      m = R->MenuMarkerDownRect;
    else if (Button.MouseIn && !Empty(R->MenuMarkerActiveRect))
      m = R->MenuMarkerActiveRect;
    DrawRecordGlyph(B.Canvas(), TRect(0, 0, B.Width(), B.Height()), m, R->MenuMarkerTransparentColor, down ? 1 : 0);
  } else if (Enabled()) {
    DrawArrowGlyph(B.Canvas(), down ? TRect(0, 2, B.Width(), B.Height()) : TRect(0, 0, B.Width(), B.Height()),
                   down             ? R->DownFontColor
                   : Button.MouseIn ? R->ActiveFontColor
                                    : R->FontColor,
                   4);
  }
  C->Draw(Button.R.Left, Button.R.Top, &B);
}

// A button record's arrow glyph: part Src of the combo box's own picture,
// keyed out by the transparent colour, centred in Area and DY lower.
void TbsSkinCustomComboBox::DrawRecordGlyph(gfx::TCanvas* C, const TRect& Area, const TRect& Src,
                                            gfx::TColor Transparent, int DY) {
  if (!Picture || Empty(Src)) return;
  const int x = Area.Left + Area.Width() / 2 - Src.Width() / 2;
  const int y = Area.Top + Area.Height() / 2 - Src.Height() / 2 + DY;
  C->BrushCopy(TRect(x, y, x + Src.Width(), y + Src.Height()), Picture, Src, Transparent);
}

void TbsSkinCustomComboBox::PaintSkinItem(gfx::TCanvas* Target) {
  if (Empty(CBItem.R)) return;
  const int W = CBItem.R.Width();
  int H = SItemRect.Height();
  if (H == 0) H = FocusItemRect.Height();
  if (H == 0) H = CBItem.R.Height();
  if (!FUseSkinSize) H = CBItem.R.Height();
  const bool focused = Focused();
  const bool hotItem = !focused && !Empty(ActiveItemRect) && !Empty(ActiveSkinRect) && FMouseIn;
  TRect pic = focused ? FocusItemRect : hotItem ? ActiveItemRect : SItemRect;
  gfx::TBitmap B;
  B.SetSize(W, H);
  if (Empty(pic) || !Picture) {
    B.Canvas()->CopyRect(TRect(0, 0, W, H), Target,
                         TRect(CBItem.R.Left, CBItem.R.Top, CBItem.R.Left + W, CBItem.R.Top + H));
  } else if (FUseSkinSize) {
    CreateHSkinImage(ItemLeftOffset, ItemRightOffset, &B, {Picture, pic}, W, H,
                     focused ? FocusItemStretchEffect : ItemStretchEffect);
  } else {
    TRect cl = ItemTextRect;
    if (focused) gfx::InflateRect(cl, -1, -1);
    CreateSkinImageByClRect(&B, {Picture, pic}, cl, true);
  }
  gfx::TCanvas* C = B.Canvas();
  TRect text = ItemTextRect;
  text.Right += W - (Empty(SItemRect) ? G.ClRect.Width() : SItemRect.Width());
  if (!FUseSkinSize) text.Bottom += Height() - G.SkinRect.Height();
  if (FUseSkinFont) {
    C->Font()->SetName(FontName);
    C->Font()->SetStyle(FontStyle);
    C->Font()->SetHeight(FontHeight);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  gfx::TColor color = focused ? FocusFontColor : (FMouseIn && !Empty(ActiveSkinRect)) ? ActiveFontColor : FontColor;
  if (FUseSkinSize && !Enabled()) color = DisabledFontColor();
  C->Font()->SetColor(color);
  C->Brush()->SetStyle(gfx::bsClear);
  const int row = ShownRow();
  if (row >= 0 && row < Items().Count()) {
    if (!OnComboBoxDrawItem && focused && ShowFocus) {
      C->Brush()->SetStyle(gfx::bsSolid);
      C->Brush()->SetColor(FSD->SkinColors().cBtnFace());
      DrawSkinFocusRect(C, TRect(0, 0, W, H));
      C->Brush()->SetStyle(gfx::bsClear);
    }
    DrawRow(C, row, text, nullptr);
  }
  Target->Draw(CBItem.R.Left, CBItem.R.Top, &B);
}

void TbsSkinCustomComboBox::CreateControlSkinImage(gfx::TBitmap* B) {
  CalcRects();
  if (FToolButtonStyle) {
    DrawToolButton(B, nullptr);
    return;
  }
  const bool hot = Hot();
  if (FUseSkinSize) {
    if (hot && Picture)
      CreateHSkinImage(G.LTPt.X, ActiveSkinRect.Width() - G.RTPt.X, B, {Picture, ActiveSkinRect}, Width(), Height(),
                       G.StretchEffect);
    else
      TbsSkinCustomControl::CreateControlSkinImage(B);
  } else if (Picture) {
    B->SetSize(Width(), Height());
    CreateSkinImageByClRect(B, {Picture, hot ? ActiveSkinRect : G.SkinRect}, G.ClRect, true);
  }
  DrawSkinButton(B->Canvas());
  if (!FEdit) PaintSkinItem(B->Canvas());
}

void TbsSkinCustomComboBox::PaintSkinTo(gfx::TCanvas* Target, int X, int Y, const std::string& AText) {
  cl::Keep<TbsSkinCustomComboBox> self(this);
  const std::string old = Text();
  SetText(AText);
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  GetSkinData();
  if (FToolButtonStyle) {
    DrawToolButton(&B, &AText);
  } else {
    if (FIndex == -1) {
      CalcRects();
      gfx::TCanvas* C = B.Canvas();
      C->Brush()->SetColor(gfx::clBtnFace);
      C->FillRect(TRect(0, 0, Width(), Height()));
      C->Brush()->SetColor(gfx::clBtnShadow);
      C->FrameRect(TRect(0, 0, Width(), Height()));
      DrawDefaultButton(C);
      C->Font()->Assign(FDefaultFont);
    } else {
      CalcRects();
      TbsSkinCustomControl::CreateControlSkinImage(&B);
      DrawSkinButton(B.Canvas());
      B.Canvas()->Font()->SetStyle(FontStyle);
      B.Canvas()->Font()->SetColor(FontColor);
      B.Canvas()->Font()->SetHeight(FontHeight);
      B.Canvas()->Font()->SetName(FontName);
    }
    B.Canvas()->Brush()->SetStyle(gfx::bsClear);
    if (TabWidths().Count() > 0) {
      std::vector<int> stops = TabStopsFrom(TabWidths());
      gfx::TabbedTextOut(B.Canvas()->Handle(), CBItem.R.Left + 2, CBItem.R.Top, AText, int(AText.size()),
                         int(stops.size()), stops.data(), 0);
    } else {
      DrawTextVCenter(B.Canvas(), AText, CBItem.R);
    }
  }
  Target->Draw(X, Y, &B);
  if (!Destroyed()) SetText(old);
}

// ---------------------------------------------------------------------------
// File filter combo box.

std::vector<TbsFilterRow> ParseFilter(const std::string& Filter) {
  std::vector<TbsFilterRow> rows;
  std::string s = Filter;
  for (size_t p = s.find('|'); p != std::string::npos; p = s.find('|')) {
    TbsFilterRow r;
    r.Description = s.substr(0, p);
    s.erase(0, p + 1);
    const size_t q = s.find('|');
    if (q != std::string::npos) {
      r.Mask = s.substr(0, q);
      s.erase(0, q + 1);
    } else {
      r.Mask = s;
      s.clear();
    }
    rows.push_back(r);
  }
  return rows;
}

TbsSkinFilterComboBox::TbsSkinFilterComboBox(cl::TComponent* AOwner) : TbsSkinComboBox(AOwner) {
  FFilter = "All files (*.*)|*.*";
}

void TbsSkinFilterComboBox::CreateWnd() {
  TbsSkinComboBox::CreateWnd();
  BuildList();
}

void TbsSkinFilterComboBox::BuildList() {
  Items().Clear();
  MaskList.Clear();
  for (const TbsFilterRow& r : ParseFilter(FFilter)) {
    Items().Add(r.Description);
    MaskList.Add(r.Mask);
  }
  SetItemIndex(0);
}

void TbsSkinFilterComboBox::SetFilter(const std::string& V) {
  if (rtl::LowerCase(V) == rtl::LowerCase(FFilter)) return;
  FFilter = V;
  if (HandleAllocated()) BuildList();
  Change();
}

std::string TbsSkinFilterComboBox::Mask() {
  // An empty list has nothing to select: trying would run Change (and with a
  // linked file list this getter) again without end.
  if (ItemIndex() < 0 && Items().Count() > 0) SetItemIndex(Items().Count() - 1);
  const int i = ItemIndex();
  if (i < 0 || i >= MaskList.Count()) return "*.*";
  return MaskList.Get(i);
}

void TbsSkinFilterComboBox::Change() {
  if (FFileList) FFileList->SetMask(Mask());
  TbsSkinComboBox::Change();
}

void TbsSkinFilterComboBox::Click() {
  TbsSkinComboBox::Click();
  Change();
}

}  // namespace skin
