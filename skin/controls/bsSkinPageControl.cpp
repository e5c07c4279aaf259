#include "skin/controls/bsSkinPageControl.h"

#include <algorithm>

#include "platform/gfx/dc.h"
#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsCaptionGlyphs.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsParentImage.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/controls/bsSkinViews.h"

namespace skin {

using namespace win;

namespace {

bool Usable(const TRect& R) { return R.Width() > 0 && R.Height() > 0; }
bool Empty(const TRect& R) { return R.Width() <= 0 || R.Height() <= 0; }
bool Inside(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }
TRect Moved(TRect R, int dx, int dy) { return {R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy}; }

}  // namespace

// ============================================================================ tab sheet

TbsSkinCustomTabSheet::TbsSkinCustomTabSheet(cl::TComponent* AOwner) : ctl::TTabSheet(AOwner) {
  ControlStyle |= cl::csAcceptsControls;
}

void TbsSkinCustomTabSheet::SetWallPaper(gfx::TBitmap* Value) {
  if (Value)
    FWallPaper.Assign(Value);
  else
    FWallPaper.SetSize(0, 0);
}

TbsSkinPageControl* TbsSkinCustomTabSheet::SkinPageControl() const {
  return dynamic_cast<TbsSkinPageControl*>(PageControl());
}

void TbsSkinCustomTabSheet::PaintBG(gfx::HDC DC) {
  TbsSkinPageControl* P = SkinPageControl();
  if (Width() < 1 || Height() < 1 || !P || !DC) return;
  P->GetSkinData();
  gfx::TCanvas C;
  C.SetHandle(DC);
  int W = Width(), H = Height();
  if (FWallPaper.Width() > 0 && FWallPaper.Height() > 0) {
    for (int y = 0; y < H / FWallPaper.Height() + 1; ++y)
      for (int x = 0; x < W / FWallPaper.Width() + 1; ++x)
        C.Draw(x * FWallPaper.Width(), y * FWallPaper.Height(), &FWallPaper);
    C.SetHandle(gfx::HDC());
    return;
  }
  if (!P->Skinned()) {
    C.Brush()->SetStyle(gfx::bsSolid);
    C.Brush()->SetColor(gfx::clBtnFace);
    C.FillRect({0, 0, W, H});
    C.SetHandle(gfx::HDC());
    return;
  }
  // A background picture index the skin does not hold counts as none.
  gfx::TBitmap* tile = P->S.BGPictureIndex != -1 ? SkinPicture(P->FSD, P->S.BGPictureIndex) : nullptr;
  gfx::TBitmap own;
  if (!tile) {
    const TRect& SR = P->S.SkinRect;
    const TRect& CR = P->S.ClRect;
    if (Usable(CR)) {
      own.SetSize(CR.Width(), CR.Height());
      own.Canvas()->CopyRect({0, 0, CR.Width(), CR.Height()}, P->S.Picture->Canvas(),
                             {SR.Left + CR.Left, SR.Top + CR.Top, SR.Left + CR.Right, SR.Top + CR.Bottom});
      tile = &own;
    }
  }
  if (tile) P->LayTile(&C, tile, W, H);
  C.SetHandle(gfx::HDC());
}

void TbsSkinCustomTabSheet::NotifyChildrenBGChanged() {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* w = dynamic_cast<cl::TWinControl*>(Controls(i)); w && w->HandleAllocated())
      SendMessage(w->Handle(), WM_PARENT_BG_CHANGED, 0, 0);
}

void TbsSkinCustomTabSheet::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_ERASEBKGND:
      PaintBG(gfx::HDC(uint32_t(Msg.WParam)));
      Msg.Result = 1;
      return;
    case CM_PAINT_FRAME_TO_DC:
      Msg.Result = kPaintFrameAnswer;
      return;
    case WM_SIZE: {
      ctl::TTabSheet::Dispatch(Msg);
      Invalidate();
      TbsSkinPageControl* P = SkinPageControl();
      if (P && SkinUsable(P->FSD) && P->S.StretchEffect) NotifyChildrenBGChanged();
      return;
    }
    default:
      ctl::TTabSheet::Dispatch(Msg);
  }
}

// ============================================================================ page control

TbsSkinPageControl::TbsSkinPageControl(cl::TComponent* AOwner) : ctl::TPageControl(AOwner) {
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetHeight(14);
  FDefaultFont.SetStyle({});
  FDefaultFont.SetColor(gfx::clBtnText);
  Font()->Assign(FDefaultFont);
  FTempImages = new cl::TCustomImageList(nullptr);
  FTempImages->SetSize(1, 1);
  ctl::TPageControl::SetImages(FTempImages->Handle());
  SetItemSize(0, FDefaultItemHeight);
}

void TbsSkinPageControl::Destroy() {
  FreeScroller();
  if (FSD) FSD->RemoveFreeNotification(this);
  if (FImages) FImages->RemoveFreeNotification(this);
  FSD = nullptr;
  FImages = nullptr;
  ctl::TPageControl::Destroy();
  if (FTempImages) FTempImages->Free();
  FTempImages = nullptr;
}

void TbsSkinPageControl::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  ctl::TPageControl::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FSkinUpDown) FSkinUpDown = nullptr;
}

void TbsSkinPageControl::Loaded() {
  ctl::TPageControl::Loaded();
  if (FIndex == -1) {
    SetItemSize(TabWidth(), TabHeight() > 0 ? TabHeight() : FDefaultItemHeight);
    UpdateScrollerPosition();
    Realign();
  }
}

// ---------------------------------------------------------------------------- properties

void TbsSkinPageControl::SetTabExtededDraw(bool V) {
  FTabExtendedDraw = V;
  Invalidate();
}

void TbsSkinPageControl::SetTabMargin(int V) {
  if (V < -1 || V == FTabMargin) return;
  FTabMargin = V;
  Invalidate();
}

void TbsSkinPageControl::SetTabSpacing(int V) {
  if (V == FTabSpacing) return;
  FTabSpacing = V;
  Invalidate();
}

void TbsSkinPageControl::SetTabLayout(TbsButtonLayout V) {
  if (V == FTabLayout) return;
  FTabLayout = V;
  Invalidate();
}

void TbsSkinPageControl::SetTextInHorizontal(bool V) {
  FTextInHorizontal = V;
  Invalidate();
}

void TbsSkinPageControl::SetTabsBGTransparent(bool V) {
  if (V == FTabsBGTransparent) return;
  FTabsBGTransparent = V;
  Invalidate();
}

void TbsSkinPageControl::SetTabsInCenter(bool V) {
  if (TabWidth() == 0) return;  // centring needs tabs of one fixed width
  FTabsInCenter = V;
  if (V) {
    if (TabPosition() != ctl::tpTop) SetTabPosition(ctl::tpTop);
    if (MultiLine()) SetMultiLine(false);
    FTabsBGTransparent = true;
  }
  Invalidate();
}

void TbsSkinPageControl::SetTabsOffset(int V) {
  FTabsOffset = V;
  if (V > 0) {
    if (TabPosition() != ctl::tpTop) SetTabPosition(ctl::tpTop);
    if (MultiLine()) SetMultiLine(false);
    FTabsBGTransparent = true;
  }
  Invalidate();
}

void TbsSkinPageControl::SetDefaultItemHeight(int V) {
  FDefaultItemHeight = V;
  if (FIndex == -1) {
    SetItemSize(TabWidth(), V);
    UpdateScrollerPosition();
    Realign();
  }
}

void TbsSkinPageControl::SetSkinData(TbsSkinData* V) {
  if (FSD && FSD != V) FSD->RemoveFreeNotification(this);
  FSD = V;
  if (V) V->FreeNotification(this);
  if (FSD && !FSD->Empty) ChangeSkinData();
}

// Room in every tab: the tab core sizes each tab for its text plus an image
// of the temporary list's width.
void TbsSkinPageControl::AddRoom(int Delta) {
  int w = std::max(1, FTempImages->Width() + Delta);
  FTempImages->SetSize(w, FTempImages->Height());
  ctl::TPageControl::SetImages(FTempImages->Handle());
}

void TbsSkinPageControl::SetImages(cl::TCustomImageList* V) {
  if (FImages) {
    FImages->RemoveFreeNotification(this);
    AddRoom(-FImages->Width());
  }
  FImages = V;
  if (V) {
    V->FreeNotification(this);
    AddRoom(V->Width());
  }
  Invalidate();
}

void TbsSkinPageControl::SetShowCloseButtons(bool V) {
  if (V != FShowCloseButtons) {
    FShowCloseButtons = V;
    AddRoom(V ? FCloseSize : -FCloseSize);
  }
  Invalidate();
}

void TbsSkinPageControl::SetTabPosition(ctl::TTabPosition P) {
  ctl::TPageControl::SetTabPosition(P);
  Realign();
  if (!MultiLine()) UpdateScroller();
}

bool TbsSkinPageControl::SideTabs() const { return TabPosition() == ctl::tpLeft || TabPosition() == ctl::tpRight; }

// ---------------------------------------------------------------------------- skin

void TbsSkinPageControl::GetSkinData() {
  S.BGPictureIndex = -1;
  FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1;
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinTabControl*>(SkinRecord(FSD, FIndex));
  if (!R) return;
  S.Picture = SkinPicture(FSD, R->PictureIndex);
  S.SkinRect = R->SkinRect;
  S.ClRect = R->ClRect;
  S.TabRect = R->TabRect;
  S.ActiveTabRect = Empty(R->ActiveTabRect) ? R->TabRect : R->ActiveTabRect;
  S.FocusTabRect = Empty(R->FocusTabRect) ? R->ActiveTabRect : R->FocusTabRect;
  if (Empty(S.FocusTabRect)) S.FocusTabRect = S.ActiveTabRect;
  S.TabsBGRect = R->TabsBGRect;
  S.LTPoint = R->LTPoint;
  S.RTPoint = R->RTPoint;
  S.LBPoint = R->LBPoint;
  S.RBPoint = R->RBPoint;
  S.TabLeftOffset = R->TabLeftOffset;
  S.TabRightOffset = R->TabRightOffset;
  S.FontName = R->FontName;
  S.FontColor = R->FontColor;
  S.ActiveFontColor = R->ActiveFontColor;
  S.FocusFontColor = R->FocusFontColor;
  S.FontStyle = R->FontStyle;
  S.FontHeight = R->FontHeight;
  S.UpDown = R->UpDown;
  S.BGPictureIndex = R->BGPictureIndex;
  S.MouseInTabRect = R->MouseInTabRect;
  S.MouseInFontColor = R->MouseInFontColor;
  S.TabStretchEffect = R->TabStretchEffect;
  S.ShowFocus = R->ShowFocus;
  S.FocusOffsetX = R->FocusOffsetX;
  S.FocusOffsetY = R->FocusOffsetY;
  S.LeftStretch = R->LeftStretch;
  S.TopStretch = R->TopStretch;
  S.RightStretch = R->RightStretch;
  S.BottomStretch = R->BottomStretch;
  S.StretchEffect = R->StretchEffect;
  S.StretchType = R->StretchType;
  // The fallbacks of the close-button states stay in the control's copy:
  // the store's record keeps what the skin's author wrote.
  S.CloseButtonRect = R->CloseButtonRect;
  S.ClosebuttonActiveRect = Empty(R->CloseButtonActiveRect) ? R->CloseButtonRect : R->CloseButtonActiveRect;
  S.CloseButtonDownRect = Empty(R->CloseButtonDownRect) ? S.ClosebuttonActiveRect : R->CloseButtonDownRect;
  S.ButtonTransparent = R->ButtonTransparent;
  S.ButtonTransparentColor = R->ButtonTransparentColor;
}

bool TbsSkinPageControl::Skinned() const {
  return FIndex != -1 && S.Picture && dynamic_cast<TbsDataSkinTabControl*>(SkinRecord(FSD, FIndex)) &&
         Usable(S.SkinRect);
}

int TbsSkinPageControl::GetCloseSize() const {
  if (FIndex == -1 || Empty(S.CloseButtonRect)) return 14;
  return S.CloseButtonRect.Width();
}

void TbsSkinPageControl::ChangeSkinData() {
  GetSkinData();
  if (FShowCloseButtons) {
    AddRoom(-FCloseSize);
    FCloseSize = GetCloseSize();
    AddRoom(FCloseSize);
  }
  int h;
  if (!Skinned()) {
    Font()->Assign(FDefaultFont);
    h = TabHeight() > 0 ? TabHeight() : FDefaultItemHeight;
  } else {
    if (UseSkinFont) {
      Font()->SetName(S.FontName);
      Font()->SetHeight(S.FontHeight);
      Font()->SetStyle(S.FontStyle);
    } else {
      Font()->Assign(FDefaultFont);
    }
    Font()->SetColor(S.FontColor);
    h = TabHeight() > 0 ? TabHeight() : S.TabRect.Height();
  }
  SetItemSize(TabWidth(), h);
  UpdateScrollerPosition();
  Realign();
  if (FSkinUpDown) {
    FreeScroller();
    UpdateScroller();
  }
  if (ActivePage()) ActivePage()->Invalidate();
  Invalidate();
}

void TbsSkinPageControl::UpDateTabs() {
  int h = TabHeight() > 0 ? TabHeight() : (Skinned() ? S.TabRect.Height() : FDefaultItemHeight);
  SetItemSize(TabWidth(), h);
  if (MultiLine()) FreeScroller();
  Realign();
}

void TbsSkinPageControl::SetItemSize(int W, int H) {
  if (!HandleAllocated() && !Parent()) {
    Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(W, H));
    return;
  }
  SendMessage(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(W, H));
}

// ---------------------------------------------------------------------------- geometry

TRect TbsSkinPageControl::NativeTabRect(int Index) {
  cl::TMessage m;
  m.Msg = TCM_GETITEMRECT;
  RECT r{0, 0, 0, 0};
  m.WParam = WPARAM(Index);
  m.LParam = LPARAM(&r);
  ctl::TPageControl::DefaultHandler(m);
  if (!m.Result) return TRect{0, 0, 0, 0};
  // The core lays one row along the top; the other sides take the same
  // strip turned onto them.
  int W = ClientWidth(), H = ClientHeight(), x = r.Left, len = r.Width(), top = r.Top, h = r.Height();
  switch (TabPosition()) {
    case ctl::tpBottom:
      return {x, H - top - h, x + len, H - top};
    case ctl::tpLeft:
      return {top, x, top + h, x + len};
    case ctl::tpRight:
      return {W - top - h, x, W - top, x + len};
    default:
      return r;
  }
}

void TbsSkinPageControl::NativeAdjustRect(RECT& R) {
  cl::TMessage m;
  m.Msg = TCM_ADJUSTRECT;
  RECT z{0, 0, 0, 0};
  m.WParam = 0;
  m.LParam = LPARAM(&z);
  ctl::TPageControl::DefaultHandler(m);
  int T = z.Top;  // the strip's depth with its margins (height + 6)
  int h = T - 6;
  switch (TabPosition()) {
    case ctl::tpTop:
      R = {R.Left + 4, R.Top + T, R.Right - 4, R.Bottom - 4};
      break;
    case ctl::tpBottom:
      R = {R.Left + 4, R.Top + 4, R.Right - 4, R.Bottom - h - 4};
      break;
    case ctl::tpLeft:
      R = {R.Left + h + 4, R.Top + 6, R.Right - 4, R.Bottom - 4};
      break;
    case ctl::tpRight:
      R = {R.Left + 4, R.Top + 6, R.Right - h - 4, R.Bottom - 4};
      break;
  }
}

void TbsSkinPageControl::AdjustDisplayRect(RECT& R) {
  if (FHideBorder) {
    R = {0, -2, Width(), Height()};
    return;
  }
  bool sk = Skinned();
  int l = sk ? S.ClRect.Left : 0, t = sk ? S.ClRect.Top : 0;
  int r = sk ? S.SkinRect.Width() - S.ClRect.Right : 0, b = sk ? S.SkinRect.Height() - S.ClRect.Bottom : 0;
  int CW = ClientWidth(), CH = ClientHeight();
  switch (TabPosition()) {
    case ctl::tpTop:
      if (!sk) {
        R.Left = 1;
        R.Right = CW - 1;
        R.Top -= 5;
        R.Bottom = CH - 1;
      } else {
        R.Left = l;
        R.Right = CW - r;
        R.Top += t - 6;
        R.Bottom = CH - b;
      }
      if (FHideTabs) R.Top -= 1;
      break;
    case ctl::tpBottom:
      if (!sk) {
        R.Left = 1;
        R.Right = CW - 1;
        R.Top = 1;
        R.Bottom += 3;
      } else {
        R.Left = l;
        R.Right = CW - r;
        R.Top += t - 4;
        R.Bottom += -b + 4;
        if (FHideTabs) R.Bottom += 1;
      }
      break;
    case ctl::tpLeft:
      if (!sk) {
        R.Left -= 3;
        R.Right = CW - 1;
        R.Top -= 5;
        R.Bottom = CH - 1;
      } else {
        R.Left += l - 4;
        R.Right = CW - r;
        R.Top += t - 4;
        R.Bottom = CH - b;
      }
      if (FHideTabs) R.Left -= 1;
      break;
    case ctl::tpRight:
      if (!sk) {
        R.Left -= 3;
        R.Right += 3;
        R.Top -= 5;
        R.Bottom = CH - 1;
      } else {
        R.Left = l;
        R.Right += -r + 4;
        R.Top += t - 4;
        R.Bottom = CH - b;
      }
      if (FHideTabs) R.Right += 1;
      break;
  }
}

void TbsSkinPageControl::AdjustTabRect(RECT& R) {
  if (Style != ctl::tsTabs) return;
  bool single = !MultiLine();
  switch (TabPosition()) {
    case ctl::tpTop:
      if (single) R = Moved(R, -2, 0);
      R = Moved(R, 0, -2);
      if (FTabsInCenter || FTabsOffset > 0) R = Moved(R, GetTabsOffset(), 0);
      break;
    case ctl::tpBottom:
      if (single) R = Moved(R, -2, 0);
      R = Moved(R, 0, 2);
      break;
    case ctl::tpLeft:
      R = Moved(R, -2, 0);
      break;
    case ctl::tpRight:
      R = Moved(R, 2, 0);
      break;
  }
}

TRect TbsSkinPageControl::GetTabRect(int Index) {
  RECT r{0, 0, 0, 0};
  if (HandleAllocated())
    SendMessage(Handle(), TCM_GETITEMRECT, WPARAM(Index), LPARAM(&r));
  else
    Perform(TCM_GETITEMRECT, WPARAM(Index), LPARAM(&r));
  // Side tabs were always multi-line on the native control: only a strip
  // along the top or the bottom gets its first tab's extra pixel.
  if (Index == 0 && !MultiLine() && !SideTabs()) r.Left += 1;
  return r;
}

int TbsSkinPageControl::GetTabsOffset() {
  if (FTabsOffset > 0) return FTabsOffset;
  if (TabWidth() == 0) return 0;
  int n = 0;
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabVisible()) ++n;
  int v = Width() / 2 - (TabWidth() * n) / 2;
  return v < 0 ? 0 : v;
}

bool TbsSkinPageControl::HasVisibleTabs() const {
  for (int i = 0; i < PageCount(); ++i)
    if (Pages(i)->TabVisible()) return true;
  return false;
}

TbsSkinCustomTabSheet* TbsSkinPageControl::Sheet(int PageIndex) const {
  if (PageIndex < 0 || PageIndex >= PageCount()) return nullptr;
  return dynamic_cast<TbsSkinCustomTabSheet*>(Pages(PageIndex));
}

TRect TbsSkinPageControl::CloseHitRect(int PageIndex, bool WithOffset) {
  TbsSkinCustomTabSheet* P = Sheet(PageIndex);
  if (!P) return {};
  int vi = P->TabIndex();
  if (vi < 0) return {};
  TRect T = GetTabRect(vi);
  TRect R = Moved(P->ButtonRect, T.Left, T.Top);
  if (WithOffset && (FTabsInCenter || FTabsOffset > 0)) R = Moved(R, -GetTabsOffset(), 0);
  return R;
}

// ---------------------------------------------------------------------------- hide and show

void TbsSkinPageControl::HideTabs() {
  if (FOldTabHeight != -1 || !HasVisibleTabs()) return;
  FHideTabs = true;
  FOldTabPosition = TabPosition();
  FOldMultiLine = MultiLine();
  if (SideTabs()) SetTabPosition(ctl::tpTop);
  if (MultiLine()) SetMultiLine(false);
  FOldTabHeight = TabHeight();
  SetTabHeight(1);
  FreeScroller();
  Realign();
  Invalidate();
}

void TbsSkinPageControl::ShowTabs() {
  if (FOldTabHeight == -1) return;
  SetTabPosition(FOldTabPosition);
  SetMultiLine(FOldMultiLine);
  FHideTabs = false;
  SetTabHeight(FOldTabHeight);
  if (FOldTabHeight <= 0) SetItemSize(TabWidth(), Skinned() ? S.TabRect.Height() : FDefaultItemHeight);
  FOldTabHeight = -1;
  if (!MultiLine()) UpdateScroller();
  Realign();
  Invalidate();
}

void TbsSkinPageControl::HideBorderAndTabs() {
  SetTabPosition(ctl::tpTop);
  FHideTabs = FHideBorder = true;
  FreeScroller();
  Realign();
  Invalidate();
}

void TbsSkinPageControl::ShowBorderAndTabs() {
  FHideTabs = FHideBorder = false;
  ShowTabs();
  Realign();
  Invalidate();
}

// ---------------------------------------------------------------------------- hot tab and closing

void TbsSkinPageControl::UpdateHotTab(int X, int Y) {
  if (FHideTabs) return;
  FOldActiveTab = FActiveTab;
  FOldActiveTabIndex = FActiveTabIndex;
  FActiveTab = FActiveTabIndex = -1;
  int vi = 0;
  for (int i = 0; i < PageCount(); ++i) {
    if (!Pages(i)->TabVisible()) continue;
    if (Inside(GetTabRect(vi), X, Y)) {
      FActiveTab = i;
      FActiveTabIndex = vi;
      break;
    }
    ++vi;
  }
  if (FActiveTabIndex != FOldActiveTabIndex) {
    if (FOldActiveTabIndex != TabIndex()) {
      if (TbsSkinCustomTabSheet* P = Sheet(FOldActiveTab)) {
        P->ButtonMouseIn = P->ButtonMouseDown = false;
        RepaintTabs();
      }
    }
    if (FActiveTabIndex != -1 && FActiveTabIndex != TabIndex()) RepaintTabs();
  }
  if (FActiveTab != -1 && FShowCloseButtons) {
    TbsSkinCustomTabSheet* P = Sheet(FActiveTab);
    if (P) {
      bool in = Inside(CloseHitRect(FActiveTab, false), X, Y);
      if (in && !P->ButtonMouseIn) {
        P->ButtonMouseIn = true;
        RepaintTabs();
      } else if (!in && P->ButtonMouseIn) {
        P->ButtonMouseIn = P->ButtonMouseDown = false;
        RepaintTabs();
      }
    }
  }
}

void TbsSkinPageControl::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  ctl::TPageControl::MouseDown(Button, Shift, X, Y);
  if (FHideTabs || Destroyed()) return;
  bool shifted = FTabsInCenter || FTabsOffset > 0;
  if (Button == cl::mbLeft && !shifted) UpdateHotTab(X, Y);
  TbsSkinCustomTabSheet* P = Sheet(FActiveTab);
  if (P && FShowCloseButtons && Button == cl::mbLeft) {
    bool in = Inside(CloseHitRect(FActiveTab, true), X, Y);
    P->ButtonMouseIn = P->ButtonMouseDown = in;
    if (in) RepaintTabs();
  }
}

void TbsSkinPageControl::MouseMove(cl::TShiftState Shift, int X, int Y) {
  ctl::TPageControl::MouseMove(Shift, X, Y);
  if (FHideTabs || Destroyed()) return;
  UpdateHotTab(X, Y);
}

void TbsSkinPageControl::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  ctl::TPageControl::MouseUp(Button, Shift, X, Y);
  if (FHideTabs || Destroyed()) return;
  bool shifted = FTabsInCenter || FTabsOffset > 0;
  if (Button == cl::mbLeft && !shifted) UpdateHotTab(X, Y);
  TbsSkinCustomTabSheet* P = Sheet(FActiveTab);
  if (P && FShowCloseButtons && Button == cl::mbLeft) {
    bool in = Inside(CloseHitRect(FActiveTab, true), X, Y);
    P->ButtonMouseIn = in;
    P->ButtonMouseDown = false;
    RepaintTabs();
    // The page whose close button was released on closes, whichever page
    // is selected (a refused selection leaves another page active).
    if (in) ClosePage(P);
  }
}

void TbsSkinPageControl::CloseActivePage() { ClosePage(ActivePage()); }

void TbsSkinPageControl::ClosePage(ctl::TTabSheet* Page) {
  if (!Page) return;
  cl::Keep<ctl::TTabSheet> keep(Page);
  bool CanClose = true;
  if (OnClose) OnClose(Page, CanClose);
  if (Page->Destroyed()) return;
  if (CanClose) {
    // The page whose tab goes hands the control to the next visible page.
    if (Page == ActivePage()) {
      // The next visible page after it, else the nearest one before it.
      ctl::TTabSheet* next = nullptr;
      int at = Page->PageIndex();
      for (int i = at + 1; i < PageCount() && !next; ++i)
        if (Pages(i)->TabVisible()) next = Pages(i);
      for (int i = at - 1; i >= 0 && !next; --i)
        if (Pages(i)->TabVisible()) next = Pages(i);
      Page->SetTabVisible(false);
      if (next) SetActivePage(next);
    }
    Page->SetTabVisible(false);
    FActiveTab = FActiveTabIndex = -1;
    if (FreeOnClose) Page->Free();
    if (OnAfterClose) OnAfterClose(this);
    UpdateScroller();
    Invalidate();
    return;
  }
  POINT p;
  GetCursorPos(&p);
  if (!HandleAllocated() || WindowFromPoint(p) != Handle()) {
    if (auto* P = dynamic_cast<TbsSkinCustomTabSheet*>(Page)) {
      P->ButtonMouseIn = P->ButtonMouseDown = false;
      RepaintTabs();
    }
  }
}

void TbsSkinPageControl::SelectNextSheet() {
  int a = ActivePageIndex();
  if (a < 0) return;
  for (int i = a + 1; i < PageCount(); ++i)
    if (Pages(i)->TabVisible()) {
      SetActivePage(Pages(i));
      return;
    }
}

void TbsSkinPageControl::SelectPriorSheet() {
  int a = ActivePageIndex();
  if (a < 0) return;
  for (int i = a - 1; i >= 0; --i)
    if (Pages(i)->TabVisible()) {
      SetActivePage(Pages(i));
      return;
    }
}

// ---------------------------------------------------------------------------- scroller

int TbsSkinPageControl::GetHiddenTabCount() {
  if (SideTabs()) return 0;
  int n = 0, vi = 0;
  for (int i = 0; i < PageCount(); ++i) {
    if (!Pages(i)->TabVisible()) continue;
    TRect R = GetTabRect(vi++);
    if (R.Right > Width() - 3 || R.Right <= 0) ++n;
  }
  return n;
}

int TbsSkinPageControl::GetScrolledTabCount() {
  int n = 0, vi = 0;
  for (int i = 0; i < PageCount(); ++i) {
    if (!Pages(i)->TabVisible()) continue;
    if (GetTabRect(vi++).Right <= 0) ++n;
  }
  return n;
}

void TbsSkinPageControl::UpdateScroller() {
  if (Destroyed()) return;
  // A strip scrolled while it was too long shows from its first tab again
  // once every tab fits, as the native strip did.
  int first = FirstVisibleTab();
  if (!SideTabs() && first > 0 && HandleAllocated() && GetHiddenTabCount() == GetScrolledTabCount()) {
    SendMessage(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    if (GetHiddenTabCount() > 0) SendMessage(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, first), 0);
  }
  int n = GetHiddenTabCount();
  if (FSkinUpDown && (n == 0 || MultiLine())) {
    FreeScroller();
  } else if (n > 0 && !FSkinUpDown && !MultiLine()) {
    CreateScroller();
  }
  if (FSkinUpDown) {
    FSkinUpDown->SetMax(n);
    FSkinUpDown->SetBounds(Width() - FSkinUpDown->Width(),
                           TabPosition() == ctl::tpTop ? 0 : Height() - FSkinUpDown->Height(), FSkinUpDown->Width(),
                           FSkinUpDown->Height());
  }
}

void TbsSkinPageControl::CreateScroller() {
  if (FHideTabs) return;
  FSkinUpDown = new TbsSkinUpDown(this);
  FSkinUpDown->FreeNotification(this);
  FSkinUpDown->SetParent(this);
  FSkinUpDown->SetBounds(0, 0, 2 * FDefaultItemHeight, FDefaultItemHeight);
  FSkinUpDown->SetMin(0);
  FSkinUpDown->SetMax(GetHiddenTabCount());
  FSkinUpDown->SetIncrement(1);
  int pos = GetScrolledTabCount();
  FSkinUpDown->OnChange = nullptr;
  FSkinUpDown->SetPosition(pos);
  FSkinUpDown->OnChange = [this](rtl::TObject* S) { UpDownChange(S); };
  FSkinUpDown->SetSkinDataName(S.UpDown);
  FSkinUpDown->SetSkinData(FSD);
  FSkinUpDown->SetBounds(Width() - FSkinUpDown->Width(),
                         TabPosition() == ctl::tpTop ? 0 : Height() - FSkinUpDown->Height(), FSkinUpDown->Width(),
                         FSkinUpDown->Height());
  FSkinUpDown->SetVisible(true);
}

void TbsSkinPageControl::FreeScroller() {
  if (!FSkinUpDown) return;
  TbsSkinUpDown* u = FSkinUpDown;
  FSkinUpDown = nullptr;
  u->OnChange = nullptr;
  u->Free();
}

void TbsSkinPageControl::UpDownChange(rtl::TObject*) {
  if (!FSkinUpDown) return;
  FSkinUpDown->SetMax(GetHiddenTabCount());
  if (HandleAllocated()) SendMessage(Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FSkinUpDown->Position()), 0);
}

void TbsSkinPageControl::UpdateScrollerPosition() {
  if (FSkinUpDown) {
    auto keep = FSkinUpDown->OnChange;
    FSkinUpDown->OnChange = nullptr;
    FSkinUpDown->SetPosition(GetScrolledTabCount());
    FSkinUpDown->OnChange = keep;
  }
  Invalidate();
}

void TbsSkinPageControl::Change() {
  if (FSkinUpDown) UpdateScrollerPosition();
  ctl::TPageControl::Change();
  Invalidate();
  if (ActivePage()) ActivePage()->Invalidate();
}

// ---------------------------------------------------------------------------- messages

void TbsSkinPageControl::WndProc(cl::TMessage& Msg) {
  bool shifted = FTabsInCenter || FTabsOffset > 0;
  if (shifted) {
    switch (Msg.Msg) {
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        ctl::TPageControl::WndProc(Msg);
        Invalidate();
        return;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
      case WM_NCHITTEST: {
        int x = GET_X_LPARAM(Msg.LParam) - GetTabsOffset(), y = GET_Y_LPARAM(Msg.LParam);
        Msg.LParam = MAKELPARAM(x, y);
        break;
      }
      default:
        break;
    }
  }
  ctl::TPageControl::WndProc(Msg);
  if (Destroyed()) return;
  // The native control repainted its focused tab itself.
  if (!shifted && (Msg.Msg == WM_SETFOCUS || Msg.Msg == WM_KILLFOCUS)) Invalidate();
  // The native control made its scroller whenever the strip overflowed;
  // here a size change or a change of the tabs (which always re-selects)
  // checks the strip.
  if ((Msg.Msg == WM_SIZE || Msg.Msg == TCM_SETCURSEL) && !MultiLine() && !(ComponentState() & cl::csDesigning))
    UpdateScroller();
}

void TbsSkinPageControl::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case TCM_ADJUSTRECT: {
      auto* r = reinterpret_cast<RECT*>(Msg.LParam);
      if (!r) return;
      if (Msg.WParam) {
        ctl::TPageControl::Dispatch(Msg);
        return;
      }
      NativeAdjustRect(*r);
      AdjustDisplayRect(*r);
      return;
    }
    case TCM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(Msg.LParam);
      if (!r) return;
      int n = int(ctl::TPageControl::Perform(ctl::TCM_GETITEMCOUNT));
      int i = int(Msg.WParam);
      if (i < 0 || i >= n) {
        Msg.Result = FALSE;
        return;
      }
      *r = NativeTabRect(i);
      AdjustTabRect(*r);
      Msg.Result = TRUE;
      return;
    }
    case TCM_SETITEMSIZE:
      // A size without a height (a TabWidth write) keeps the control's own
      // item height rather than falling back to the font's.
      if (HIWORD(uintptr_t(Msg.LParam)) == 0) {
        int h = Skinned() ? S.TabRect.Height() : FDefaultItemHeight;
        if (h > 0) Msg.LParam = MAKELPARAM(LOWORD(uintptr_t(Msg.LParam)), h);
      }
      ctl::TPageControl::Dispatch(Msg);
      return;
    case ctl::TCM_HITTEST: {
      // The core's own hit test, on the tabs as they lie before the skinned
      // adjustment (the mouse position is reduced by the offset already).
      auto* info = reinterpret_cast<ctl::TCHITTESTINFO*>(Msg.LParam);
      Msg.Result = -1;
      if (!info) return;
      info->flags = ctl::TCHT_NOWHERE;
      int n = int(ctl::TPageControl::Perform(ctl::TCM_GETITEMCOUNT));
      for (int i = 0; i < n; ++i) {
        TRect t = NativeTabRect(i);
        if (t.Right > 0 && t.Bottom > 0 && Inside(t, info->pt.X, info->pt.Y)) {
          info->flags = ctl::TCHT_ONITEM;
          Msg.Result = i;
          return;
        }
      }
      return;
    }
    case WM_SIZE:
      GetSkinData();
      ctl::TPageControl::Dispatch(Msg);
      return;
    case WM_MOUSEWHEEL:
      ctl::TPageControl::Dispatch(Msg);
      if (MouseWheelSupport) {
        if (int16_t(Msg.WParamHi()) < 0)
          SelectNextSheet();
        else
          SelectPriorSheet();
      }
      return;
    case TCM_SETCURSEL:
      ctl::TPageControl::Dispatch(Msg);
      if (!Loading()) Invalidate();
      return;
    case CM_MOUSELEAVE: {
      ctl::TPageControl::Dispatch(Msg);
      if (FHideTabs) return;
      UpdateHotTab(-1, -1);
      if (FOldActiveTabIndex != TabIndex() && Sheet(FOldActiveTab)) {
        FOldActiveTab = FOldActiveTabIndex = -1;
        RepaintTabs();
      }
      return;
    }
    case WM_HSCROLL:
      ctl::TPageControl::Dispatch(Msg);
      Invalidate();
      return;
    case WM_ERASEBKGND:
      if (PageCount() > 0 && HasVisibleTabs()) {
        Msg.Result = 1;
        return;
      }
      GetSkinData();
      if (Skinned() && Msg.WParam) {
        PaintSkinBackground(gfx::HDC(uint32_t(Msg.WParam)));
        Msg.Result = 1;
        return;
      }
      ctl::TPageControl::Dispatch(Msg);
      return;
    case WM_PARENT_BG_CHANGED:
      if (FTabsBGTransparent) Invalidate();
      return;
    case CM_PAINT_FRAME_TO_DC:
      Msg.Result = kPaintFrameAnswer;
      return;
    default:
      ctl::TPageControl::Dispatch(Msg);
  }
}

// ---------------------------------------------------------------------------- bitmap turns

void TbsSkinPageControl::DrawBitmapRotatedLeft(gfx::TCanvas* C, gfx::TBitmap* B, int X, int Y) {
  std::unique_ptr<TbsEffectBmp> src(TbsEffectBmp::CreateFromhWnd(B->Handle()));
  TbsEffectBmp dst(B->Height(), B->Width());
  src->Rotate90_1(&dst);
  dst.Draw(C->Handle(), X, Y);
}

void TbsSkinPageControl::DrawBitmapRotatedRight(gfx::TCanvas* C, gfx::TBitmap* B, int X, int Y) {
  std::unique_ptr<TbsEffectBmp> src(TbsEffectBmp::CreateFromhWnd(B->Handle()));
  TbsEffectBmp dst(B->Height(), B->Width());
  src->Rotate90_2(&dst);
  dst.Draw(C->Handle(), X, Y);
}

void TbsSkinPageControl::RotateBitmapLeft(gfx::TBitmap* B) {
  std::unique_ptr<TbsEffectBmp> src(TbsEffectBmp::CreateFromhWnd(B->Handle()));
  TbsEffectBmp dst(B->Height(), B->Width());
  src->Rotate90_1(&dst);
  B->SetSize(B->Height(), B->Width());
  dst.Draw(B->Canvas()->Handle(), 0, 0);
}

void TbsSkinPageControl::RotateBitmapRight(gfx::TBitmap* B) {
  std::unique_ptr<TbsEffectBmp> src(TbsEffectBmp::CreateFromhWnd(B->Handle()));
  TbsEffectBmp dst(B->Height(), B->Width());
  src->Rotate90_2(&dst);
  B->SetSize(B->Height(), B->Width());
  dst.Draw(B->Canvas()->Handle(), 0, 0);
}

void TbsSkinPageControl::FlipBitmapVert(gfx::TBitmap* B) {
  std::unique_ptr<TbsEffectBmp> src(TbsEffectBmp::CreateFromhWnd(B->Handle()));
  TbsEffectBmp dst(B->Width(), B->Height());
  src->FlipVert(&dst);
  dst.Draw(B->Canvas()->Handle(), 0, 0);
}

// ---------------------------------------------------------------------------- painting

TRect TbsSkinPageControl::FrameRect() {
  TRect D = DisplayRect();
  int l = S.ClRect.Left, t = S.ClRect.Top, r = S.SkinRect.Width() - S.ClRect.Right,
      b = S.SkinRect.Height() - S.ClRect.Bottom;
  return {D.Left - l, D.Top - t, D.Right + r, D.Bottom + b};
}

void TbsSkinPageControl::PaintWindow(gfx::HDC DC) {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  int saved = gfx::SaveDC(DC);
  gfx::TCanvas C;
  C.SetHandle(DC);
  if (!Skinned()) {
    DrawDefaultFrame(&C);
  } else {
    // What the frame and the strip leave (the margins the display
    // rectangle keeps on the sides without tabs) shows the skin's face.
    C.Brush()->SetStyle(gfx::bsSolid);
    C.Brush()->SetColor(FSD->SkinColors().cBtnFace());
    C.FillRect({0, 0, ClientWidth(), ClientHeight()});
    DrawSkinFrame(&C);
  }
  DrawTabs(&C);
  C.SetHandle(gfx::HDC());
  gfx::RestoreDC(DC, saved);
}

void TbsSkinPageControl::DrawDefaultFrame(gfx::TCanvas* C) {
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(gfx::clBtnFace);
  C->FillRect({0, 0, ClientWidth(), ClientHeight()});
  if (FHideBorder) return;
  TRect D = DisplayRect();
  C->Brush()->SetColor(gfx::clBtnShadow);
  C->FrameRect({D.Left - 1, D.Top - 1, D.Right + 1, D.Bottom + 1});
}

void TbsSkinPageControl::DrawSkinFrame(gfx::TCanvas* C) {
  if (FHideBorder) return;
  TRect F = FrameRect();
  if (F.Width() <= 0 || F.Height() <= 0) return;
  int dw = F.Width() - S.SkinRect.Width(), dh = F.Height() - S.SkinRect.Height();
  TbsNinePart src{S.LTPoint, S.RTPoint, S.LBPoint, S.RBPoint, S.ClRect};
  TbsNinePart nw{S.LTPoint,
                 {S.RTPoint.X + dw, S.RTPoint.Y},
                 {S.LBPoint.X, S.LBPoint.Y + dh},
                 {S.RBPoint.X + dw, S.RBPoint.Y + dh},
                 {S.ClRect.Left, S.ClRect.Top, S.ClRect.Right + dw, S.ClRect.Bottom + dh}};
  gfx::TBitmap L, T, R, B;
  CreateSkinBorderImages(
      src, nw, {&L, &T, &R, &B}, {S.Picture, S.SkinRect}, F.Width(), F.Height(),
      {S.LeftStretch, S.TopStretch, S.RightStretch, S.BottomStretch, S.StretchEffect, S.StretchType});
  int saved = gfx::SaveDC(C->Handle());
  TRect cut = GetSelectedTabFrameRect();
  if (!Empty(cut) && !FHideTabs) gfx::ExcludeClipRect(C->Handle(), cut.Left, cut.Top, cut.Right, cut.Bottom);
  C->Draw(F.Left, F.Top, &T);
  C->Draw(F.Left, F.Top + T.Height(), &L);
  C->Draw(F.Left + F.Width() - R.Width(), F.Top + T.Height(), &R);
  C->Draw(F.Left, F.Top + F.Height() - B.Height(), &B);
  gfx::RestoreDC(C->Handle(), saved);
}

TRect TbsSkinPageControl::GetSelectedTabFrameRect() {
  if (TabIndex() < 0 || TabIndex() >= PageCount() || !HasVisibleTabs() || !ActivePage()) return {};
  TRect R = GetTabRect(TabIndex());
  int d = S.ActiveTabRect.Height() - S.TabRect.Height();
  switch (TabPosition()) {
    case ctl::tpTop:
      R.Bottom += d;
      break;
    case ctl::tpBottom:
      R.Top -= d;
      break;
    case ctl::tpLeft:
      R.Right += d;
      break;
    case ctl::tpRight:
      R.Left -= d;
      break;
  }
  return R;
}

void TbsSkinPageControl::DrawTabs(gfx::TCanvas* C) {
  if (FHideTabs || PageCount() == 0) return;
  if (!Skinned()) {
    int vi = 0;
    for (int i = 0; i < PageCount(); ++i) {
      if (!Pages(i)->TabVisible()) continue;
      DrawTab(i, GetTabRect(vi), C, vi == FActiveTabIndex, vi == TabIndex());
      ++vi;
    }
    return;
  }
  TRect F = FrameRect();
  int sw, sh;
  switch (TabPosition()) {
    case ctl::tpBottom:
      sw = Width();
      sh = Height() - F.Bottom;
      break;
    case ctl::tpLeft:
      sw = F.Left;
      sh = Height();
      break;
    case ctl::tpRight:
      sw = Width() - F.Right;
      sh = Height();
      break;
    default:
      sw = Width();
      sh = F.Top;
  }
  if (sw > 0 && sh > 0) {
    gfx::TBitmap Strip;
    Strip.SetSize(sw, sh);
    TRect bg = S.TabsBGRect;
    if (Empty(bg)) bg = Moved(S.ClRect, S.SkinRect.Left, S.SkinRect.Top);
    if (FTabsBGTransparent) {
      TRect area;
      switch (TabPosition()) {
        case ctl::tpBottom:
          area = {0, F.Bottom, Width(), Height()};
          break;
        case ctl::tpLeft:
          area = {0, 0, F.Left, F.Bottom};
          break;
        case ctl::tpRight:
          area = {F.Right, 0, Width(), Height()};
          break;
        default:
          area = {0, 0, Width(), F.Top};
      }
      DrawParentImageRect(this, area, Strip.Canvas());
    } else if (Usable(bg)) {
      for (int y = 0; y < sh / bg.Height() + 1; ++y)
        for (int x = 0; x < sw / bg.Width() + 1; ++x)
          Strip.Canvas()->CopyRect({x * bg.Width(), y * bg.Height(), (x + 1) * bg.Width(), (y + 1) * bg.Height()},
                                   S.Picture->Canvas(), bg);
    }
    int dx = TabPosition() == ctl::tpRight ? -F.Right : 0;
    int dy = TabPosition() == ctl::tpBottom ? -F.Bottom : 0;
    int vi = 0;
    for (int i = 0; i < PageCount(); ++i) {
      if (!Pages(i)->TabVisible()) continue;
      if (vi != TabIndex()) DrawTab(i, Moved(GetTabRect(vi), dx, dy), Strip.Canvas(), vi == FActiveTabIndex, false);
      ++vi;
    }
    int saved = gfx::SaveDC(C->Handle());
    TRect cut = GetSelectedTabFrameRect();
    if (!Empty(cut)) gfx::ExcludeClipRect(C->Handle(), cut.Left, cut.Top, cut.Right, cut.Bottom);
    int ox = TabPosition() == ctl::tpRight ? Width() - sw : 0;
    int oy = TabPosition() == ctl::tpBottom ? Height() - sh : 0;
    C->Draw(ox, oy, &Strip);
    gfx::RestoreDC(C->Handle(), saved);
  }
  int ti = TabIndex();
  if (ti >= 0 && ti < PageCount()) {
    int page = -1, vi = 0;
    for (int i = 0; i < PageCount(); ++i) {
      if (!Pages(i)->TabVisible()) continue;
      if (vi++ == ti) {
        page = i;
        break;
      }
    }
    if (page >= 0) {
      TRect R = GetTabRect(ti);
      int d = S.TabRect.Height() - S.ActiveTabRect.Height();
      if (d != 0) {
        if (TabPosition() == ctl::tpBottom) R = Moved(R, 0, d);
        if (TabPosition() == ctl::tpRight) R = Moved(R, d, 0);
      }
      DrawTab(page, R, C, ti == FActiveTabIndex, true);
    }
  }
}

void TbsSkinPageControl::DrawTab(int PageIndex, const TRect& R, gfx::TCanvas* C, bool MouseIn, bool Active) {
  if (FHideTabs || PageIndex >= PageCount() || PageIndex < 0) return;
  ctl::TTabSheet* Page = Pages(PageIndex);
  bool HasImage = FImages && Page->ImageIndex() >= 0 && Page->ImageIndex() < FImages->Count();
  std::string Text = Page->Caption();
  bool side = SideTabs();
  int W = side ? R.Height() : R.Width(), H = side ? R.Width() : R.Height();
  if (W <= 0 || H <= 0) return;
  bool focused = Focused();
  bool sk = Skinned();
  gfx::TBitmap B;
  B.SetSize(W, H);
  gfx::TCanvas* BC = B.Canvas();
  TRect T{0, 0, W, H};
  if (!sk) {
    BC->Brush()->SetStyle(gfx::bsSolid);
    if (MouseIn && !Active) {
      BC->Brush()->SetColor(bsHotFillColor);
      BC->FillRect(T);
    } else if (!Active) {
      BC->Brush()->SetColor(gfx::clBtnFace);
      BC->FillRect(T);
    } else {
      BC->Brush()->SetColor(bsHotFrameColor);
      BC->FrameRect(T);
      T = {1, 1, W - 1, H - 1};
      BC->Brush()->SetColor(focused ? bsDownFillColor : bsHotFillColor);
      BC->FillRect(T);
    }
    BC->Brush()->SetStyle(gfx::bsClear);
    BC->Font()->Assign(*Font());
  } else {
    TRect SR;
    if (MouseIn && !Active && Usable(S.MouseInTabRect))
      SR = S.MouseInTabRect;
    else if (Active && focused)
      SR = S.FocusTabRect;
    else if (!Active)
      SR = S.TabRect;
    else
      SR = S.ActiveTabRect;
    if (Usable(SR)) {
      if (TabHeight() > 0) {
        int q = S.TabRect.Height() / 4;
        int grow = 0;
        if (Active) {
          if (S.ActiveTabRect.Height() > S.TabRect.Height())
            grow = S.ActiveTabRect.Height() - S.TabRect.Height();
          else if (focused && S.FocusTabRect.Height() > S.TabRect.Height())
            grow = S.FocusTabRect.Height() - S.TabRect.Height();
        }
        B.SetSize(W, H + grow);
        CreateSkinImageByClRect(&B, {S.Picture, SR},
                                {S.TabLeftOffset, q, SR.Width() - S.TabRightOffset, SR.Height() - q}, true);
      } else {
        CreateHSkinImage(S.TabLeftOffset, S.TabRightOffset, &B, {S.Picture, SR}, W, H, S.TabStretchEffect);
      }
    }
    H = B.Height();
    T = {0, 0, W, H};
    BC = B.Canvas();
    if (TabPosition() == ctl::tpBottom) FlipBitmapVert(&B);
    BC->Brush()->SetStyle(gfx::bsClear);
    if (UseSkinFont) {
      BC->Font()->Assign(*Font());
      BC->Font()->SetName(S.FontName);
      BC->Font()->SetStyle(S.FontStyle);
      BC->Font()->SetHeight(S.FontHeight);
    } else {
      BC->Font()->Assign(*Font());
    }
    BC->Font()->SetColor(MouseIn && !Active  ? S.MouseInFontColor
                         : Active && focused ? S.FocusFontColor
                         : !Active           ? S.FontColor
                                             : S.ActiveFontColor);
  }
  if (FTextInHorizontal && side) {
    if (TabPosition() == ctl::tpLeft)
      RotateBitmapLeft(&B);
    else
      RotateBitmapRight(&B);
    BC = B.Canvas();
    T = {0, 0, B.Width(), B.Height()};
  }
  if (sk && S.ShowFocus && Active && focused) {
    TRect fr{T.Left + S.FocusOffsetX, T.Top + S.FocusOffsetY, T.Right - S.FocusOffsetX, T.Bottom - S.FocusOffsetY};
    BC->Brush()->SetStyle(gfx::bsSolid);
    BC->Brush()->SetColor(FSD->SkinColors().cBtnFace());
    DrawSkinFocusRect(BC, fr);
    BC->Brush()->SetStyle(gfx::bsClear);
  }
  int shift = 0;
  if (sk && S.TabRect.Height() != S.ActiveTabRect.Height() && !Active) {
    int s = (TabPosition() == ctl::tpTop || TabPosition() == ctl::tpLeft) ? 2 : -2;
    T.Top += s;
    if (HasImage) shift = s;
  }
  int c = FShowCloseButtons ? FCloseSize + 2 : 0;
  int cut = sk ? c + 3 : c;
  int bw = B.Width(), bh = B.Height();
  if (OnDrawSkinTab) {
    OnDrawSkinTab(PageIndex, {0, 0, bw, bh}, Active, MouseIn, BC);
    T.Right -= cut;
  } else if (HasImage || FTabExtendedDraw) {
    if (FTabExtendedDraw)
      DrawImageAndText(BC, {T.Left, T.Top, T.Right - c, T.Bottom}, FTabMargin, FTabSpacing, FTabLayout, Text,
                       Page->ImageIndex(), FImages, false, Page->Enabled(), false, 0);
    else
      DrawTabImageAndText(BC, bw - c, bh, shift, Page->Enabled(), Page->ImageIndex(), Text);
    T.Right -= cut;
  } else {
    T.Right -= cut;
    RECT tr = T;
    gfx::DrawText(BC->Handle(), Text, -1, &tr, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_CENTER);
  }
  if (FShowCloseButtons) {
    if (auto* P = Sheet(PageIndex); P && !MouseIn) P->ButtonMouseIn = false;
    DrawCloseButton(BC, {T.Right, T.Top + shift, bw, T.Bottom}, PageIndex, bw, bh);
  }
  if (TabPosition() == ctl::tpLeft && !FTextInHorizontal)
    DrawBitmapRotatedLeft(C, &B, R.Left, R.Top);
  else if (TabPosition() == ctl::tpRight && !FTextInHorizontal)
    DrawBitmapRotatedRight(C, &B, R.Left, R.Top);
  else
    C->Draw(R.Left, R.Top, &B);
}

void TbsSkinPageControl::DrawCloseButton(gfx::TCanvas* C, TRect CR, int PageIndex, int W, int H) {
  TbsSkinCustomTabSheet* P = Sheet(PageIndex);
  if (!P) return;
  int m = CR.Top + CR.Height() / 2;
  bool hot = P->ButtonMouseIn, pressed = P->ButtonMouseDown;
  TRect box;
  if (!Skinned()) {
    box = {CR.Left, m - 7, CR.Left + 14, m + 7};
    DrawCloseGlyph(C, box.Left + 2, box.Top + 2, hot ? gfx::clWhite : gfx::clBlack);
  } else if (Empty(S.CloseButtonRect)) {
    int idx = FSD->GetControlIndex("resizetoolbutton");
    auto* Rec = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, idx));
    gfx::TBitmap* Pic = Rec ? SkinPicture(FSD, Rec->PictureIndex) : nullptr;
    if (!Rec || !Pic || !Usable(Rec->SkinRect)) return;
    TRect active = Empty(Rec->ActiveSkinRect) ? Rec->SkinRect : Rec->ActiveSkinRect;
    TRect down = Empty(Rec->DownSkinRect) ? active : Rec->DownSkinRect;
    TRect src = pressed && hot ? down : hot ? active : Rec->SkinRect;
    gfx::TColor gc = pressed && hot ? Rec->DownFontColor : hot ? Rec->ActiveFontColor : Rec->FontColor;
    int bw = FCloseSize, bh = FCloseSize;
    int dw = bw - Rec->SkinRect.Width(), dh = bh - Rec->SkinRect.Height();
    TbsNinePart s{Rec->LTPoint, Rec->RTPoint, Rec->LBPoint, Rec->RBPoint, Rec->ClRect};
    TbsNinePart n{Rec->LTPoint,
                  {Rec->RTPoint.X + dw, Rec->RTPoint.Y},
                  {Rec->LBPoint.X, Rec->LBPoint.Y + dh},
                  {Rec->RBPoint.X + dw, Rec->RBPoint.Y + dh},
                  {Rec->ClRect.Left, Rec->ClRect.Top, Rec->ClRect.Right + dw, Rec->ClRect.Bottom + dh}};
    gfx::TBitmap Bt;
    CreateSkinImage(s, n, &Bt, {Pic, src}, bw, bh, true,
                    {Rec->LeftStretch, Rec->TopStretch, Rec->RightStretch, Rec->BottomStretch, Rec->StretchEffect,
                     Rec->StretchType});
    DrawCloseGlyph(Bt.Canvas(), bw / 2 - 5, bh / 2 - 5, gc);
    box = {CR.Left, m - bh / 2, CR.Left + bw, m - bh / 2 + bh};
    C->Draw(box.Left, box.Top, &Bt);
  } else {
    TRect src = pressed && hot ? S.CloseButtonDownRect : hot ? S.ClosebuttonActiveRect : S.CloseButtonRect;
    if (!Usable(src)) return;
    int sw = src.Width(), sh = src.Height();
    box = {CR.Left, m - sh / 2, CR.Left + sw, m - sh / 2 + sh};
    if (S.ButtonTransparent)
      C->BrushCopy(box, S.Picture, src, S.ButtonTransparentColor);
    else
      C->CopyRect(box, S.Picture->Canvas(), src);
  }
  if (TabPosition() == ctl::tpLeft && !FTextInHorizontal)
    box = {box.Top, W - box.Right, box.Bottom, W - box.Left};
  else if (TabPosition() == ctl::tpRight && !FTextInHorizontal)
    box = {H - box.Bottom, box.Left, H - box.Top, box.Right};
  P->ButtonRect = box;
}

void TbsSkinPageControl::DrawTabImageAndText(gfx::TCanvas* C, int W, int H, int Shift, bool Enabled, int ImageIndex,
                                             const std::string& Text) {
  RECT cr{0, 0, 0, 0};
  gfx::DrawText(C->Handle(), Text, -1, &cr, gfx::DT_CALCRECT);
  int tw = Text.empty() ? 0 : cr.Width() + 2, th = cr.Height();
  int iw = FImages ? FImages->Width() : 0, ih = FImages ? FImages->Height() : 0;
  int x0 = W / 2 - (tw + iw + 2) / 2;
  RECT tr{x0 + iw + 2, H / 2 + Shift - th / 2, x0 + iw + 2 + tw, H / 2 + Shift - th / 2 + th};
  gfx::DrawText(C->Handle(), Text, -1, &tr, gfx::DT_CENTER);
  if (FImages) FImages->Draw(C, x0, H / 2 + Shift - ih / 2, ImageIndex, Enabled);
}

void TbsSkinPageControl::LayTile(gfx::TCanvas* C, gfx::TBitmap* Tile, int W, int H) {
  int tw = Tile->Width(), th = Tile->Height();
  // A tile without pixels lays nothing (and divides nothing by zero).
  if (tw <= 0 || th <= 0 || W <= 0 || H <= 0) return;
  if (S.StretchEffect) {
    switch (S.StretchType) {
      case bsstHorz:
        for (int i = 0; i < W / tw + 1; ++i) C->StretchDraw({i * tw, 0, (i + 1) * tw, H}, Tile);
        return;
      case bsstVert:
        for (int i = 0; i < H / th + 1; ++i) C->StretchDraw({0, i * th, W, (i + 1) * th}, Tile);
        return;
      default:
        C->StretchDraw({0, 0, W, H}, Tile);
        return;
    }
  }
  for (int y = 0; y < H / th + 1; ++y)
    for (int x = 0; x < W / tw + 1; ++x) C->Draw(x * tw, y * th, Tile);
}

void TbsSkinPageControl::PaintSkinBackground(gfx::HDC DC) {
  if (Width() <= 0 || Height() <= 0) return;
  gfx::TBitmap* tile = S.BGPictureIndex != -1 ? SkinPicture(FSD, S.BGPictureIndex) : nullptr;
  gfx::TBitmap own;
  if (!tile && Usable(S.ClRect)) {
    own.SetSize(S.ClRect.Width(), S.ClRect.Height());
    own.Canvas()->CopyRect({0, 0, S.ClRect.Width(), S.ClRect.Height()}, S.Picture->Canvas(),
                           Moved(S.ClRect, S.SkinRect.Left, S.SkinRect.Top));
    tile = &own;
  }
  if (!tile) return;
  gfx::TCanvas C;
  C.SetHandle(DC);
  LayTile(&C, tile, Width(), Height());
  C.SetHandle(gfx::HDC());
}

}  // namespace skin
