#include "skin/controls/bsSkinViews.h"

#include <algorithm>
#include <functional>
#include <climits>

#include "platform/ctl/header.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsTextHelpers.h"

namespace skin {

using namespace win;

namespace {

void InitViewFont(gfx::TFont& F) {
  F.SetName("Arial");
  F.SetHeight(14);
  F.SetStyle({});
}

// The view's font and colour from a view record (tree and list records
// share the fields) or from the defaults.
template <class TRecord>
void ApplyViewSkin(cl::TWinControl* View, TbsSkinData* SD, int Index, bool UseSkinFont, const gfx::TFont& DefFont,
                   gfx::TColor DefColor) {
  if (Index == -1) {
    View->SetColor(DefColor);
    View->Font()->Assign(DefFont);
    return;
  }
  auto* R = dynamic_cast<TRecord*>(SkinRecord(SD, Index));
  if (!R) return;
  if (UseSkinFont) {
    View->Font()->SetName(R->FontName);
    View->Font()->SetStyle(R->FontStyle);
    View->Font()->SetHeight(R->FontHeight);
  } else {
    View->Font()->Assign(DefFont);
  }
  View->Font()->SetColor(R->FontColor);
  View->SetColor(R->BGColor);
}

// The view records hold only the font and the background, so selected rows
// take the skin's own selection colours (and, without the focus, its face
// colours): a dark skin would otherwise show a system-blue bar in its views.
template <class TRecord, class TView>
void ApplyViewSelection(TView* View, TbsSkinData* SD, int Index) {
  if (Index == -1 || !dynamic_cast<TRecord*>(SkinRecord(SD, Index))) {
    View->SelectionColor = gfx::clHighlight;
    View->SelectionTextColor = gfx::clHighlightText;
    View->InactiveSelectionColor = gfx::clBtnFace;
    View->InactiveSelectionTextColor = gfx::clBtnText;
    return;
  }
  TbsSkinColors& C = SD->SkinColors();
  View->SelectionColor = C.cHighLight();
  View->SelectionTextColor = C.cHighLightText();
  View->InactiveSelectionColor = C.cBtnFace();
  View->InactiveSelectionTextColor = C.cBtnText();
}

// Scroll positions travel in the high word of a scroll message, which holds
// 16 bits; larger ones are moved to by other means.
bool FitsThumbWord(int Pos) { return Pos >= 0 && Pos <= SHRT_MAX; }

void SetBarVisible(TbsSkinScrollBar* Bar, bool Show, bool& InCheck, bool& Changed) {
  InCheck = true;
  if (Bar->Visible() != Show) {
    Bar->SetVisible(Show);
    Changed = true;
  }
  InCheck = false;
}

// Links an outside scroll bar to a view: the old one forgets the view, the
// new one starts hidden and reports its moves to OnChange.
void LinkScrollBar(cl::TComponent* View, TbsSkinScrollBar*& Field, TbsSkinScrollBar* Value,
                   std::function<void(rtl::TObject*)> OnChange) {
  if (Field) Field->RemoveFreeNotification(View);
  Field = Value;
  if (!Value) return;
  Value->FreeNotification(View);
  Value->SetEnabled(true);
  Value->SetVisible(false);
  Value->OnChange = std::move(OnChange);
}

}  // namespace

// ============================================================================ tree view

TbsSkinCustomTreeView::TbsSkinCustomTreeView(cl::TComponent* AOwner) : ctl::TCustomTreeView(AOwner) {
  InitViewFont(FDefaultFont);
}

void TbsSkinCustomTreeView::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  if (FVScrollBar) FVScrollBar->RemoveFreeNotification(this);
  if (FHScrollBar) FHScrollBar->RemoveFreeNotification(this);
  FSD = nullptr;
  FVScrollBar = FHScrollBar = nullptr;
  // The core frees its nodes before its window goes; the window's last
  // messages must not reach a core without them.
  if (HandleAllocated()) DestroyHandle();
  ctl::TCustomTreeView::Destroy();
}

void TbsSkinCustomTreeView::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  ctl::TCustomTreeView::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
}

void TbsSkinCustomTreeView::Loaded() {
  ctl::TCustomTreeView::Loaded();
  ChangeSkinData();
}

void TbsSkinCustomTreeView::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) Value->FreeNotification(this);
  if (FSD && !FSD->Empty) ChangeSkinData();
}

void TbsSkinCustomTreeView::SetDefaultFont(const gfx::TFont& Value) {
  FDefaultFont.Assign(Value);
  if (FIndex == -1) Font()->Assign(Value);
}

void TbsSkinCustomTreeView::SetDefaultColor(gfx::TColor Value) {
  FDefaultColor = Value;
  if (FIndex == -1) SetColor(Value);
}

void TbsSkinCustomTreeView::ChangeSkinData() {
  if (Loading()) return;
  FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1;
  ApplyViewSkin<TbsDataSkinTreeView>(this, FSD, FIndex, FUseSkinFont, FDefaultFont, FDefaultColor);
  ApplyViewSelection<TbsDataSkinTreeView>(this, FSD, FIndex);
  if (Images()) Images()->SetBkColor(Color());
  if (StateImages()) StateImages()->SetBkColor(Color());
  UpDateScrollBars();
  if (FVScrollBar) FVScrollBar->SetAlign(FVScrollBar->Align());
  if (FHScrollBar) FHScrollBar->SetAlign(FHScrollBar->Align());
  Invalidate();
}

void TbsSkinCustomTreeView::SetVScrollBar(TbsSkinScrollBar* Value) {
  LinkScrollBar(this, FVScrollBar, Value, [this](rtl::TObject* S) { VScrollBarChange(S); });
  UpDateScrollBars();
}

void TbsSkinCustomTreeView::SetHScrollBar(TbsSkinScrollBar* Value) {
  LinkScrollBar(this, FHScrollBar, Value, [this](rtl::TObject* S) { HScrollBarChange(S); });
  UpDateScrollBars();
}

void TbsSkinCustomTreeView::VScrollBarChange(rtl::TObject*) {
  if (!FVScrollBar || !HandleAllocated()) return;
  int pos = FVScrollBar->Position();
  if (FitsThumbWord(pos)) {
    SendMessage(Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
    return;
  }
  // Beyond the 16 bits of the message: make the row at pos the top one.
  ctl::TTreeNode* N = Items()->GetFirstNode();
  for (int i = 0; N && i < pos; ++i) N = N->GetNextVisible();
  if (N) SetTopItem(N);
}

void TbsSkinCustomTreeView::HScrollBarChange(rtl::TObject*) {
  if (!FHScrollBar || !HandleAllocated()) return;
  int pos = std::clamp(FHScrollBar->Position(), 0, int(SHRT_MAX));
  SendMessage(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
}

void TbsSkinCustomTreeView::UpDateScrollBars() {
  if (Loading() || FInCheckScrollBars || !HandleAllocated()) return;
  bool changed = false;
  if (FVScrollBar) {
    int mn = 0, mx = 0;
    ctl::GetScrollRange(Handle(), SB_VERT, &mn, &mx);
    int pos = ctl::GetScrollPos(Handle(), SB_VERT);
    int page = int(SendMessage(Handle(), TVM_GETVISIBLECOUNT, 0, 0));
    int count = int(SendMessage(Handle(), TVM_GETCOUNT, 0, 0));
    bool show = mx > 0 && page <= mx && mx < count && cl::TControl::Visible();
    SetBarVisible(FVScrollBar, show, FInCheckScrollBars, changed);
    if (show) FVScrollBar->SetRange(mn, mx, pos, page);
  }
  if (FHScrollBar) {
    int mn = 0, mx = 0;
    ctl::GetScrollRange(Handle(), SB_HORZ, &mn, &mx);
    int pos = ctl::GetScrollPos(Handle(), SB_HORZ);
    bool show = Width() < mx && cl::TControl::Visible();
    SetBarVisible(FHScrollBar, show, FInCheckScrollBars, changed);
    if (show) FHScrollBar->SetRange(mn, mx, pos, Width());
  }
  if (FVScrollBar && FHScrollBar) {
    if (!FVScrollBar->Visible() && FHScrollBar->Both())
      FHScrollBar->SetBoth(false);
    else if (FVScrollBar->Visible() && !FHScrollBar->Both())
      FHScrollBar->SetBoth(true);
  }
  if (Align() != cl::alNone && changed && Parent()) {
    FInCheckScrollBars = true;
    Parent()->Realign();
    FInCheckScrollBars = false;
  }
}

void TbsSkinCustomTreeView::CreateParams(cl::TCreateParams& Params) {
  ctl::TCustomTreeView::CreateParams(Params);
  Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TbsSkinCustomTreeView::Change(ctl::TTreeNode* Node) {
  ctl::TCustomTreeView::Change(Node);
  UpDateScrollBars();
}

void TbsSkinCustomTreeView::WndProc(cl::TMessage& Msg) {
  ctl::TCustomTreeView::WndProc(Msg);
  switch (Msg.Msg) {
    case WM_SIZE:
    case WM_PAINT:
      if (!FInCheckScrollBars) UpDateScrollBars();
      break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
      UpDateScrollBars();
      break;
    default:
      break;
  }
}

void TbsSkinCustomTreeView::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
      Msg.Result = 0;
      return;
    case CM_PAINT_FRAME_TO_DC:
      Msg.Result = kPaintFrameAnswer;
      return;
    case CM_VISIBLECHANGED:
      ctl::TCustomTreeView::Dispatch(Msg);
      if (FVScrollBar) FVScrollBar->SetVisible(cl::TControl::Visible());
      if (FHScrollBar) FHScrollBar->SetVisible(cl::TControl::Visible());
      return;
    default:
      ctl::TCustomTreeView::Dispatch(Msg);
  }
}

// ============================================================================ list view

TbsSkinCustomListView::TbsSkinCustomListView(cl::TComponent* AOwner) : ctl::TCustomListView(AOwner) {
  InitViewFont(FDefaultFont);
  Font()->Assign(FDefaultFont);
  FHeaderInstance =
      MakeWndProc([this](HWND H, UINT M, WPARAM W, LPARAM L) { return SkinHeaderWindowProc(H, M, W, L); });
}

void TbsSkinCustomListView::Destroy() {
  UnhookHeader();
  if (FHeaderInstance) FreeWndProc(FHeaderInstance);
  FHeaderInstance = WNDPROC();
  if (FSD) FSD->RemoveFreeNotification(this);
  if (FVScrollBar) FVScrollBar->RemoveFreeNotification(this);
  if (FHScrollBar) FHScrollBar->RemoveFreeNotification(this);
  FSD = nullptr;
  FVScrollBar = FHScrollBar = nullptr;
  // The core frees its rows before its window goes; the window's last
  // messages (the header's WM_PARENTNOTIFY among them) must not reach a
  // core without them.
  if (HandleAllocated()) DestroyHandle();
  ctl::TCustomListView::Destroy();
}

void TbsSkinCustomListView::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  ctl::TCustomListView::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
}

void TbsSkinCustomListView::Loaded() {
  FInCheckScrollBars = true;
  ctl::TCustomListView::Loaded();
  FInCheckScrollBars = false;
  ChangeSkinData();
}

void TbsSkinCustomListView::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) Value->FreeNotification(this);
  if (FSD && !FSD->Empty) ChangeSkinData();
}

void TbsSkinCustomListView::SetDefaultFont(const gfx::TFont& Value) {
  FDefaultFont.Assign(Value);
  if (FIndex == -1) Font()->Assign(Value);
}

void TbsSkinCustomListView::SetDefaultColor(gfx::TColor Value) {
  FDefaultColor = Value;
  if (FIndex == -1) SetColor(Value);
}

void TbsSkinCustomListView::ChangeSkinData() {
  FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1;
  ApplyViewSkin<TbsDataSkinListView>(this, FSD, FIndex, FUseSkinFont, FDefaultFont, FDefaultColor);
  ApplySelectionColors();
  UpDateScrollBars();
  if (FVScrollBar) FVScrollBar->SetAlign(FVScrollBar->Align());
  if (FHScrollBar) FHScrollBar->SetAlign(FHScrollBar->Align());
  if (ViewStyle() == ctl::vsReport && FHeaderHandle) InvalidateRect(FHeaderHandle, nullptr, TRUE);
  Invalidate();
}

void TbsSkinCustomListView::ApplySelectionColors() {
  ApplyViewSelection<TbsDataSkinListView>(this, FSD, FIndex);
  GridLineColor = InactiveSelectionColor;
}

void TbsSkinCustomListView::SetVScrollBar(TbsSkinScrollBar* Value) {
  LinkScrollBar(this, FVScrollBar, Value, [this](rtl::TObject* S) { VScrollBarChange(S); });
  UpDateScrollBars();
}

void TbsSkinCustomListView::SetHScrollBar(TbsSkinScrollBar* Value) {
  LinkScrollBar(this, FHScrollBar, Value, [this](rtl::TObject* S) { HScrollBarChange(S); });
  UpDateScrollBars();
}

void TbsSkinCustomListView::CreateParams(cl::TCreateParams& Params) {
  ctl::TCustomListView::CreateParams(Params);
  Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TbsSkinCustomListView::Change(ctl::TListItem* Item, int Change) {
  ctl::TCustomListView::Change(Item, Change);
  if (!FInCheckScrollBars) UpDateScrollBars();
}

// ---------------------------------------------------------------------------- scroll bars

int TbsSkinCustomListView::FirstItemHeight() {
  if (Items()->Count() == 0) return 0;
  return Items()->Item(0)->DisplayRect(ctl::drBounds).Height();
}

int TbsSkinCustomListView::FirstItemWidth() {
  if (Items()->Count() == 0) return 0;
  return Items()->Item(0)->DisplayRect(ctl::drBounds).Width();
}

void TbsSkinCustomListView::ApplyBar(TbsSkinScrollBar* Bar, int BarKind, bool Show, int Page, bool& Changed) {
  SetBarVisible(Bar, Show, FInCheckScrollBars, Changed);
  if (!Show) return;
  int mn = 0, mx = 0;
  ctl::GetScrollRange(Handle(), BarKind, &mn, &mx);
  Bar->SetRange(mn, mx, ctl::GetScrollPos(Handle(), BarKind), Page);
}

void TbsSkinCustomListView::FinishUpdate(bool Changed) {
  if (FVScrollBar) FOldVScrollBarPos = FVScrollBar->Position();
  if (FHScrollBar) FOldHScrollBarPos = FHScrollBar->Position();
  if (FVScrollBar && FHScrollBar && FHScrollBar->Both() != FVScrollBar->Visible())
    FHScrollBar->SetBoth(FVScrollBar->Visible());
  if (Align() != cl::alNone && Changed && Parent()) {
    FInCheckScrollBars = true;
    Parent()->Realign();
    FInCheckScrollBars = false;
  }
}

void TbsSkinCustomListView::UpDateScrollBars() {
  if (!HandleAllocated() || FromSB || Width() <= 5 || Height() <= 5) return;
  if (FInCheckScrollBars) return;
  bool changed = false;
  auto range = [&](int bar) {
    int mn = 0, mx = 0;
    ctl::GetScrollRange(Handle(), bar, &mn, &mx);
    return mx;
  };
  switch (ViewStyle()) {
    case ctl::vsIcon:
    case ctl::vsSmallIcon: {
      int step = std::max(1, FirstItemHeight() / 2);
      if (FVScrollBar) {
        ApplyBar(FVScrollBar, SB_VERT, Height() < range(SB_VERT) && Visible(), Height(), changed);
        if (FVScrollBar->Visible()) {
          FVScrollBar->SetSmallChange(step);
          FVScrollBar->SetLargeChange(step);
        }
      }
      if (FHScrollBar) {
        ApplyBar(FHScrollBar, SB_HORZ, Width() < range(SB_HORZ) && Visible(), Width(), changed);
        if (FHScrollBar->Visible()) {
          FHScrollBar->SetSmallChange(step);
          FHScrollBar->SetLargeChange(step);
        }
      }
      break;
    }
    case ctl::vsList: {
      if (FVScrollBar && FVScrollBar->Visible()) SetBarVisible(FVScrollBar, false, FInCheckScrollBars, changed);
      if (FHScrollBar) {
        int w = FirstItemWidth();
        if (w <= 0) w = 1;
        bool show = VisibleRowCount() < Items()->Count() && Visible();
        ApplyBar(FHScrollBar, SB_HORZ, show, Width() / w, changed);
        if (show) {
          FHScrollBar->SetSmallChange(1);
          FHScrollBar->SetLargeChange(1);
        }
      }
      break;
    }
    case ctl::vsReport: {
      if (FVScrollBar) {
        int per = VisibleRowCount();
        bool show = per < range(SB_VERT) + 1 && Visible();
        ApplyBar(FVScrollBar, SB_VERT, show, per, changed);
        if (show) {
          FVScrollBar->SetSmallChange(1);
          FVScrollBar->SetLargeChange(std::max(1, per));
        }
      }
      if (FHScrollBar) ApplyBar(FHScrollBar, SB_HORZ, Width() < range(SB_HORZ) && Visible(), Width(), changed);
      break;
    }
  }
  FinishUpdate(changed);
}

void TbsSkinCustomListView::VScrollBarChange(rtl::TObject*) {
  if (!FVScrollBar || !HandleAllocated()) return;
  FromSB = true;
  int pos = FVScrollBar->Position();
  int dy = pos - FOldVScrollBarPos;
  if (ViewStyle() == ctl::vsList || ViewStyle() == ctl::vsReport) dy *= FirstItemHeight();
  if (dy != 0) Scroll(0, dy);
  FOldVScrollBarPos = pos;
  FromSB = false;
}

void TbsSkinCustomListView::HScrollBarChange(rtl::TObject*) {
  if (!FHScrollBar || !HandleAllocated()) return;
  FromSB = true;
  int pos = FHScrollBar->Position();
  int d = pos - FOldHScrollBarPos;
  if (ViewStyle() == ctl::vsList) {
    for (int i = 0; i < std::abs(d); ++i)
      SendMessage(Handle(), WM_HSCROLL, MAKEWPARAM(d < 0 ? SB_LINELEFT : SB_LINERIGHT, 0), 0);
  } else if (d != 0) {
    Scroll(d, 0);
  }
  FOldHScrollBarPos = pos;
  FromSB = false;
}

// ---------------------------------------------------------------------------- messages

void TbsSkinCustomListView::UnhookHeader() {
  if (FHeaderHandle && IsWindow(FHeaderHandle) && FDefHeaderProc)
    SetWindowLong(FHeaderHandle, GWL_WNDPROC, LONG_PTR(FDefHeaderProc.v));
  FHeaderHandle = HWND();
  FDefHeaderProc = WNDPROC();
  FActiveSection = -1;
  FHeaderDown = FDevDown = false;
}

void TbsSkinCustomListView::WndProc(cl::TMessage& Msg) {
  if (Msg.Msg == WM_PARENTNOTIFY && LOWORD(Msg.WParam) == WM_CREATE) {
    HWND child(uint32_t(Msg.LParam));
    if (GetClassName(child) == ctl::kHeaderClass && ShowColumnHeaders()) {
      UnhookHeader();
      FHeaderHandle = child;
      FDefHeaderProc = WNDPROC(uint32_t(SetWindowLong(child, GWL_WNDPROC, LONG_PTR(FHeaderInstance.v))));
    }
  }
  if (Msg.Msg == WM_PARENTNOTIFY && LOWORD(Msg.WParam) == WM_DESTROY && HWND(uint32_t(Msg.LParam)) == FHeaderHandle) {
    // The core is taking the header away (another view, or no headers).
    FHeaderHandle = HWND();
    FDefHeaderProc = WNDPROC();
  }
  ctl::TCustomListView::WndProc(Msg);
  switch (Msg.Msg) {
    case WM_SIZE:
      if (!FInCheckScrollBars && Items()->Count() > 0) UpDateScrollBars();
      if (ViewStyle() == ctl::vsReport && FHeaderHandle) InvalidateRect(FHeaderHandle, nullptr, FALSE);
      break;
    case WM_PAINT:
      if (!FInCheckScrollBars) UpDateScrollBars();
      break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
      UpDateScrollBars();
      break;
    default:
      break;
  }
}

void TbsSkinCustomListView::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
      Msg.Result = 0;
      return;
    case CM_PAINT_FRAME_TO_DC:
      Msg.Result = kPaintFrameAnswer;
      return;
    case CM_PAINT_HEADER_TO_DC:
      if (FHeaderHandle && Msg.WParam) PaintHeader(gfx::HDC(uint32_t(Msg.WParam)));
      return;
    case CM_VISIBLECHANGED:
      ctl::TCustomListView::Dispatch(Msg);
      if (FVScrollBar) FVScrollBar->SetVisible(Visible());
      if (FHScrollBar) FHScrollBar->SetVisible(Visible());
      return;
    default:
      ctl::TCustomListView::Dispatch(Msg);
  }
}

// ---------------------------------------------------------------------------- header

LRESULT TbsSkinCustomListView::SkinHeaderWindowProc(HWND H, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_WINDOWPOSCHANGING: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(LParam);
      if (wp) wp->cx += 25;
      return 0;
    }
    case WM_PAINT:
      PaintHeader(gfx::HDC(uint32_t(WParam)));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    default:
      break;
  }
  LRESULT r = CallWindowProc(FDefHeaderProc, H, Msg, WParam, LParam);
  switch (Msg) {
    case WM_LBUTTONDOWN: {
      POINT p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      FActiveSection = -1;
      int n = int(CallWindowProc(FDefHeaderProc, H, HDM_GETITEMCOUNT, 0, 0));
      for (int i = 0; i < n; ++i) {
        TRect R = GetHeaderSectionRect(i);
        if (p.X >= R.Left && p.X < R.Right && p.Y >= R.Top && p.Y < R.Bottom) {
          FActiveSection = i;
          break;
        }
      }
      ctl::HDHITTESTINFO info;
      info.pt = p;
      CallWindowProc(FDefHeaderProc, H, HDM_HITTEST, 0, LPARAM(&info));
      FDevDown = info.flags == HHT_ONDIVIDER;
      FHeaderDown = !FDevDown;
      InvalidateRect(H, nullptr, FALSE);
      break;
    }
    case WM_LBUTTONUP:
      FHeaderDown = FDevDown = false;
      FActiveSection = -1;
      InvalidateRect(H, nullptr, FALSE);
      break;
    case WM_MOUSEMOVE:
      if (FDevDown) InvalidateRect(H, nullptr, FALSE);
      break;
    default:
      break;
  }
  return r;
}

TRect TbsSkinCustomListView::GetHeaderSectionRect(int i) {
  TRect R;
  if (!FHeaderHandle) return R;
  int item = i;
  if (FullDrag) {
    int n = int(SendMessage(FHeaderHandle, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(size_t(std::max(n, 0)));
    if (n > 0 && SendMessage(FHeaderHandle, HDM_GETORDERARRAY, WPARAM(n), LPARAM(order.data())) && i >= 0 && i < n)
      item = order[size_t(i)];
  }
  RECT r;
  if (SendMessage(FHeaderHandle, HDM_GETITEMRECT, WPARAM(item), LPARAM(&r))) R = r;
  return R;
}

void TbsSkinCustomListView::GetHeaderSkinData() {
  FHIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FHeaderSkinDataName) : -1;
  if (FHIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FHIndex));
  if (!R) {
    HPicture = nullptr;
    return;
  }
  HLTPt = R->LTPoint;
  HRTPt = R->RTPoint;
  HLBPt = R->LBPoint;
  HRBPt = R->RBPoint;
  HSkinRect = R->SkinRect;
  HClRect = R->ClRect;
  HStretchEffect = R->StretchEffect;
  HLeftStretch = R->LeftStretch;
  HTopStretch = R->TopStretch;
  HRightStretch = R->RightStretch;
  HBottomStretch = R->BottomStretch;
  HStretchType = R->StretchType;
  HPicture = SkinPicture(FSD, R->PictureIndex);
  HFontColor = R->FontColor;
  HDownFontColor = R->DownFontColor;
  HActiveSkinRect = IsNullRect(R->ActiveSkinRect) ? HSkinRect : R->ActiveSkinRect;
  HDownSkinRect = IsNullRect(R->DownSkinRect) ? HActiveSkinRect : R->DownSkinRect;
}

// A header record that is not a button record, or one without a picture or
// a skin rectangle, draws the default look.
bool TbsSkinCustomListView::HeaderSkinned() const {
  return FHIndex != -1 && HPicture && dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FHIndex)) &&
         HSkinRect.Width() > 0 && HSkinRect.Height() > 0;
}

void TbsSkinCustomListView::PaintHeader(gfx::HDC DC) {
  if (!FHeaderHandle) return;
  GetHeaderSkinData();
  PAINTSTRUCT ps;
  bool own = !DC;
  if (own) DC = BeginPaint(FHeaderHandle, &ps);
  if (!DC) {
    if (own) EndPaint(FHeaderHandle, &ps);
    return;
  }
  gfx::TCanvas C;
  C.SetHandle(DC);
  int n = int(SendMessage(FHeaderHandle, HDM_GETITEMCOUNT, 0, 0));
  int right = 0;
  for (int i = 0; i < n; ++i) {
    TRect R = GetHeaderSectionRect(i);
    right = std::max(right, R.Right);
    if (i < Columns()->Count()) DrawHeaderSection(&C, Columns()->Items(i), R, i == FActiveSection && FHeaderDown);
  }
  RECT hc;
  GetClientRect(FHeaderHandle, &hc);
  TRect E{right, 0, hc.Width() + 1, hc.Height()};
  if (E.Left < E.Right && E.Height() > 0) {
    if (!HeaderSkinned()) {
      C.Brush()->SetStyle(gfx::bsSolid);
      C.Brush()->SetColor(gfx::clBtnFace);
      C.FillRect(E);
      C.Brush()->SetColor(gfx::clBtnShadow);
      C.FrameRect(E);
    } else {
      gfx::TBitmap B;
      int dw = E.Width() - HSkinRect.Width(), dh = E.Height() - HSkinRect.Height();
      if (HLBPt.X != 0 || HLBPt.Y != 0) {
        TbsNinePart src{HLTPt, HRTPt, HLBPt, HRBPt, HClRect};
        TbsNinePart nw{HLTPt,
                       {HRTPt.X + dw, HRTPt.Y},
                       {HLBPt.X, HLBPt.Y + dh},
                       {HRBPt.X + dw, HRBPt.Y + dh},
                       {HClRect.Left, HClRect.Top, HClRect.Right + dw, HClRect.Bottom + dh}};
        CreateSkinImage3(src, nw, &B, {HPicture, HSkinRect}, E.Width(), E.Height(), true,
                         {HLeftStretch, HTopStretch, HRightStretch, HBottomStretch, HStretchEffect, HStretchType});
        C.Draw(E.Left, E.Top, &B);
      } else {
        CreateHSkinImage2(HLTPt.X, HSkinRect.Width() - HRTPt.X, &B, {HPicture, HSkinRect}, E.Width(),
                          HSkinRect.Height(), HStretchEffect);
        C.StretchDraw(E, &B);
      }
    }
  }
  C.SetHandle(gfx::HDC());
  if (own) EndPaint(FHeaderHandle, &ps);
}

void TbsSkinCustomListView::DrawHeaderSection(gfx::TCanvas* Cnvs, ctl::TListColumn* Column, const TRect& R,
                                              bool Pressed) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  gfx::TBitmap B;
  B.SetSize(R.Width(), R.Height());
  TRect S{0, 0, R.Width(), R.Height()};
  GetHeaderSkinData();
  gfx::TCanvas* C = B.Canvas();
  if (!HeaderSkinned()) {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(Pressed ? bsHotFrameColor : gfx::clBtnShadow);
    C->FrameRect(S);
    S = {S.Left + 1, S.Top + 1, S.Right - 1, S.Bottom - 1};
    C->Brush()->SetColor(Pressed ? bsDownFillColor : gfx::clBtnFace);
    C->FillRect(S);
    C->Font()->Assign(*Font());
    C->Font()->SetColor(gfx::clBtnText);
  } else {
    C->Font()->Assign(*Font());
    TRect state = Pressed ? HDownSkinRect : HSkinRect;
    C->Font()->SetColor(Pressed ? HDownFontColor : HFontColor);
    int w = R.Width(), h = R.Height();
    if (HLBPt.X != 0 || HLBPt.Y != 0) {
      int dw = w - HSkinRect.Width(), dh = h - HSkinRect.Height();
      TbsNinePart src{HLTPt, HRTPt, HLBPt, HRBPt, HClRect};
      TbsNinePart nw{HLTPt,
                     {HRTPt.X + dw, HRTPt.Y},
                     {HLBPt.X, HLBPt.Y + dh},
                     {HRBPt.X + dw, HRBPt.Y + dh},
                     {HClRect.Left, HClRect.Top, HClRect.Right + dw, HClRect.Bottom + dh}};
      CreateSkinImage(src, nw, &B, {HPicture, state}, w, h, true,
                      {HLeftStretch, HTopStretch, HRightStretch, HBottomStretch, HStretchEffect, HStretchType});
    } else {
      gfx::TBitmap T;
      CreateHSkinImage(HLTPt.X, state.Width() - HRTPt.X, &T, {HPicture, state}, w, h, HStretchEffect);
      B.Canvas()->StretchDraw(S, &T);
    }
    C = B.Canvas();
  }
  C->Brush()->SetStyle(gfx::bsClear);
  if (OnDrawHeaderSection) {
    OnDrawHeaderSection(C, Column, Pressed, TRect{0, 0, B.Width(), B.Height()});
  } else {
    S.Left += 5;
    S.Right -= 5;
    std::string text = Column->Caption();
    gfx::HIMAGELIST il = SmallImages();
    int ii = Column->ImageIndex();
    int tw, th = C->TextHeight(text.empty() ? std::string("Wg") : text);
    int x = S.Left;
    if (il && ii >= 0 && ii < il->Count()) {
      std::string full = text;
      FitTextToWidth(C, text, S.Width() - il->Width() - 10);
      tw = C->TextWidth(text);
      if (text == full) {
        if (Column->Alignment() == cl::taRightJustify)
          x = S.Right - tw - il->Width() - 10;
        else if (Column->Alignment() == cl::taCenter)
          x = S.Width() / 2 + S.Left - (tw + il->Width() + 10) / 2;
      }
      il->DrawDC(C->Handle(), x, S.Height() / 2 + S.Top - il->Height() / 2, ii);
      x += il->Width() + 10;
    } else {
      FitTextToWidth(C, text, S.Width());
      tw = C->TextWidth(text);
      if (Column->Alignment() == cl::taRightJustify)
        x = S.Right - tw;
      else if (Column->Alignment() == cl::taCenter)
        x = S.Width() / 2 + S.Left - tw / 2;
    }
    int y = S.Height() / 2 + S.Top - th / 2;
    C->TextRect(S, x, y, text);
  }
  Cnvs->Draw(R.Left, R.Top, &B);
}

}  // namespace skin
