#include "skin/inputs/bsSkinListBox.h"

#include <algorithm>

#include "platform/cl/application.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/gfx/rect.h"
#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsSkinImages.h"

namespace skin {

namespace {
bool Empty(const TRect& R) { return R.Width() <= 0 || R.Height() <= 0; }
}  // namespace

std::vector<int> TabStopsFrom(const rtl::TStrings& Lines) {
  std::vector<int> stops;
  for (int i = 0; i < std::min(Lines.Count(), 10); ++i) {
    const std::string s = Lines.Get(i);
    int v = 0;
    bool digits = !s.empty() && s.size() <= 9;
    for (char c : s) digits = digits && c >= '0' && c <= '9';
    if (digits) v = std::stoi(s);
    stops.push_back(v);
  }
  return stops;
}

// ---------------------------------------------------------------------------
// Inner list.

TbsListBox::TbsListBox(cl::TComponent* AOwner) : ctl::TListBox(AOwner) {
  ControlStyle = cl::csCaptureMouse | cl::csOpaque | cl::csDoubleClicks;
  SetTabStop(true);
}

void TbsListBox::CreateWnd() {
  ctl::TListBox::CreateWnd();
  if (SkinListBox) SkinListBox->ListBoxCreateWnd();
}

void TbsListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const int oldW = Width();
  ctl::TListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (oldW != Width() && FHorizontalExtentValue > 0) {
    FHorizontalExtentValue = std::max(0, FHorizontalExtentValue + oldW - Width());
    Invalidate();
  }
}

void TbsListBox::WndProc(cl::TMessage& Msg) {
  if (SkinListBox) {
    bool handled = true;
    SkinListBox->ListBoxWProc(Msg, handled);
    if (!handled) return;
  }
  cl::Keep<TbsListBox> self(this);
  switch (Msg.Msg) {
    case CM_PAINT_FRAME_TO_DC:
      // No frame of its own: the container draws it.
      Msg.Result = kPaintFrameAnswer;
      return;
    case win::WM_ERASEBKGND:
      if (SkinListBox) FillBackgroundTo(gfx::HDC(uint32_t(Msg.WParam)));
      Msg.Result = 1;
      if (SkinListBox) SkinListBox->UpDateScrollBar();
      return;
    case win::WM_SETFOCUS:
    case win::WM_KILLFOCUS:
      ctl::TListBox::WndProc(Msg);
      if (!Destroyed()) {
        if (SkinListBox) {
          if (Msg.Msg == win::WM_SETFOCUS)
            SkinListBox->ListBoxEnter();
          else
            SkinListBox->ListBoxExit();
        }
        Invalidate();
      }
      return;
    default:
      break;
  }
  ctl::TListBox::WndProc(Msg);
  if (Destroyed() || !SkinListBox) return;
  switch (Msg.Msg) {
    case ctl::LB_ADDSTRING:
    case ctl::LB_INSERTSTRING:
    case ctl::LB_DELETESTRING:
    case ctl::LB_RESETCONTENT:
      SkinListBox->UpDateScrollBar();
      break;
    case win::WM_LBUTTONDBLCLK:
      SkinListBox->ListBoxDblClick();
      break;
    case win::WM_MOUSEWHEEL: {
      const int delta = int16_t(win::HIWORD(uintptr_t(Msg.WParam)));
      if (SkinListBox->ScrollBar) {
        win::SendMessage(Handle(), win::WM_VSCROLL, delta > 0 ? win::SB_LINEUP : win::SB_LINEDOWN, 0);
        SkinListBox->UpDateScrollBar();
      } else if (SkinListBox->HScrollBar) {
        TbsSkinScrollBar* b = SkinListBox->HScrollBar;
        b->SetPosition(b->Position() + (delta > 0 ? -b->SmallChange() : b->SmallChange()));
      }
      break;
    }
    case WM_PAINT_CLIENT_TO_DC2:
      // An empty list hands its background to whoever asks with the key.
      if (Count() == 0 && Msg.LParam == PAINT_TO_DC2_KEY) {
        FillBackgroundTo(gfx::HDC(uint32_t(Msg.WParam)));
        Msg.Result = PAINT_TO_DC2_KEY;
      }
      break;
    default:
      break;
  }
}

void TbsListBox::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (SkinListBox) SkinListBox->ListBoxMouseDown(Button, Shift, X, Y);
  ctl::TListBox::MouseDown(Button, Shift, X, Y);
}
void TbsListBox::MouseMove(cl::TShiftState Shift, int X, int Y) {
  if (SkinListBox) SkinListBox->ListBoxMouseMove(Shift, X, Y);
  ctl::TListBox::MouseMove(Shift, X, Y);
}
void TbsListBox::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (SkinListBox) SkinListBox->ListBoxMouseUp(Button, Shift, X, Y);
  ctl::TListBox::MouseUp(Button, Shift, X, Y);
}
void TbsListBox::Click() {
  if (SkinListBox) SkinListBox->ListBoxClick();
  ctl::TListBox::Click();
}
void TbsListBox::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  if (SkinListBox) {
    SkinListBox->ListBoxKeyDown(Key, Shift);
    if (TbsSkinScrollBar* b = SkinListBox->HScrollBar) {
      if (Key == win::VK_LEFT) {
        b->SetPosition(b->Position() - b->SmallChange());
        Key = 0;
      } else if (Key == win::VK_RIGHT) {
        b->SetPosition(b->Position() + b->SmallChange());
        Key = 0;
      }
    }
  }
  ctl::TListBox::KeyDown(Key, Shift);
}
void TbsListBox::KeyPress(char32_t& Key) {
  if (SkinListBox) SkinListBox->ListBoxKeyPress(Key);
  ctl::TListBox::KeyPress(Key);
}

void TbsListBox::FillBackgroundTo(gfx::HDC DC) {
  if (!DC || Width() <= 0 || Height() <= 0) return;
  SkinListBox->GetSkinData();
  gfx::TCanvas C;
  C.SetHandle(DC);
  FillBackground(&C, TRect(0, 0, Width(), Height()));
  C.SetHandle(gfx::HDC());
}

void TbsListBox::FillBackground(gfx::TCanvas* C, const TRect& R) {
  TbsSkinCustomListBox* L = SkinListBox;
  gfx::TBitmap* P = L ? L->SkinPictureNow() : nullptr;
  if (!L || L->SkinIndex() == -1 || !P || Empty(L->SkinClRect())) {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(gfx::clWindow);
    C->FillRect(R);
    return;
  }
  const TRect sk = L->SkinRectNow(), cl = L->SkinClRect();
  const TRect src(sk.Left + cl.Left, sk.Top + cl.Top, sk.Left + cl.Right, sk.Top + cl.Bottom);
  gfx::TBitmap B;
  B.SetSize(R.Width(), R.Height());
  for (int y = 0; y < R.Height(); y += src.Height())
    for (int x = 0; x < R.Width(); x += src.Width()) {
      const int w = std::min(src.Width(), R.Width() - x), h = std::min(src.Height(), R.Height() - y);
      B.Canvas()->CopyRect(TRect(x, y, x + w, y + h), P->Canvas(), TRect(src.Left, src.Top, src.Left + w, src.Top + h));
    }
  C->Draw(R.Left, R.Top, &B);
}

void TbsListBox::PaintWindow(gfx::HDC dc) {
  if (Width() <= 0 || Height() <= 0) return;
  const int saved = gfx::SaveDC(dc);
  gfx::TCanvas C;
  C.SetHandle(dc);
  const int n = Count(), ih = std::max(1, ItemHeight()), top = TopIndex();
  const bool focused = HandleAllocated() && win::GetFocus() == Handle();
  const int cur = ItemIndex();
  const bool multi = SelCount() >= 1 && MultiSelect();
  int bottom = 0;
  const int last = Columns() > 0 ? top + (Height() / ih) * Columns() : top + Height() / ih;
  for (int i = top; i <= std::min(last, n - 1); ++i) {
    TRect r = ItemRect(i);
    TOwnerDrawState st = 0;
    if (i == cur) {
      st |= ctl::odSelected;
      if (focused) st |= ctl::odFocused;
    } else if (multi && Selected(i)) {
      st |= ctl::odSelected;
    }
    PaintItem(&C, i, r, st);
    bottom = std::max(bottom, int(r.Bottom));
  }
  if (Columns() <= 0 && bottom < Height()) FillBackground(&C, TRect(0, bottom, Width(), Height()));
  C.SetHandle(gfx::HDC());
  gfx::RestoreDC(dc, saved);
}

void TbsListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) { PaintItem(Canvas(), index, rect, state); }

void TbsListBox::PaintItem(gfx::TCanvas* Target, int Index, TRect R, TOwnerDrawState State) {
  TbsSkinCustomListBox* L = SkinListBox;
  if (!L || Index < 0 || Index >= Count() || R.Width() <= 0 || R.Height() <= 0) return;
  gfx::TBitmap* P = L->SkinPictureNow();
  const bool classic = L->SkinIndex() == -1;
  // The skinned looks have nothing to draw from without the picture.
  if (!classic && !P) return;
  const bool focused = State & ctl::odFocused, selected = State & ctl::odSelected;
  const int W = R.Width();
  gfx::TBitmap B;
  TRect text;
  int drawW = W, drawH = R.Height();  // the item size owner drawing is told
  bool skinFocus = false;
  if (classic) {
    B.SetSize(W, R.Height());
    gfx::TCanvas* C = B.Canvas();
    C->Font()->SetName(L->Font()->Name());
    C->Font()->SetStyle(L->Font()->Style());
    C->Font()->SetHeight(L->Font()->Height());
    C->Brush()->SetColor(selected ? gfx::clHighlight : gfx::clWindow);
    C->Font()->SetColor(selected ? gfx::clHighlightText : L->Font()->Color());
    C->FillRect(TRect(0, 0, W, R.Height()));
    text = TRect(2, 0, W - 2, R.Height());
  } else {
    const TRect item = L->SItemRect;
    gfx::TColor color;
    if (L->UseSkinItemHeight) {
      // A strip as high as the skin's row: fixed ends, the middle stretched
      // or tiled; a focused row that is not selected keeps the normal picture.
      const int h = item.Height();
      if (h <= 0) return;
      TRect src = item;
      bool stretch = L->SkinStretch();
      if (focused && selected)
        src = L->FocusItemRect;
      else if (selected)
        src = L->ActiveItemRect;
      else if (!focused)
        stretch = false;
      CreateHSkinImage(L->ItemLeftOffset, L->ItemRightOffset, &B, {P, src}, W, h, stretch);
      text = L->ItemTextRect;
      text.Right += W - item.Width();
      color = focused && selected ? L->FocusFontColor : selected ? L->ActiveFontColor : L->FontColor;
      skinFocus = focused && !selected;
      drawH = B.Height();
    } else {
      // Any row height: the state's picture split into nine parts around
      // the text rectangle and stretched to the row.
      const int h = R.Height();
      const TRect src = focused ? L->FocusItemRect : selected ? L->ActiveItemRect : item;
      B.SetSize(W, h);
      TRect split = L->ItemTextRect;
      gfx::InflateRect(split, -1, -1);
      CreateSkinImageByClRect(&B, {P, src}, split, true);
      text = L->ItemTextRect;
      text.Right += W - item.Width();
      text.Bottom += h - item.Height();
      color = focused ? L->FocusFontColor : selected ? L->ActiveFontColor : L->FontColor;
      skinFocus = focused;
      drawH = item.Height();
    }
    gfx::TCanvas* C = B.Canvas();
    if (L->UseSkinFont()) {
      C->Font()->SetName(L->FontName);
      C->Font()->SetStyle(L->FontStyle);
      C->Font()->SetHeight(L->FontHeight);
    } else {
      C->Font()->Assign(*L->DefaultFont());
    }
    C->Font()->SetColor(color);
    if (skinFocus && L->ShowFocus && !L->OnDrawItem) {
      C->Brush()->SetStyle(gfx::bsSolid);
      if (L->SkinData()) C->Brush()->SetColor(L->SkinData()->SkinColors().cBtnFace());
      DrawSkinFocusRect(C, TRect(0, 0, B.Width(), B.Height()));
    }
  }
  gfx::TCanvas* C = B.Canvas();
  TbsSkinData* SD = L->SkinData();
  C->Font()->SetCharset(SD && SD->ResourceStrData() ? gfx::TFontCharset(SD->ResourceStrData()->CharSet())
                                                    : L->DefaultFont()->Charset());
  C->Brush()->SetStyle(gfx::bsClear);
  if (L->OnDrawItem) {
    L->OnDrawItem(C, Index, drawW, drawH, text, State);
  } else {
    int offset = 0;
    if (cl::TCustomImageList* im = L->Images()) {
      const int n = L->ImageIndex() >= 0 ? L->ImageIndex() : Index;
      if (n < im->Count())
        im->Draw(C, text.Left - FHorizontalExtentValue, text.Top + text.Height() / 2 - im->Height() / 2, n);
      offset = im->Width() + 2;
    }
    const std::string s = Items().Get(Index);
    const int th = C->TextHeight(s.empty() ? "W" : s);
    if (L->TabWidths().Count() > 0 && Columns() == 0) {
      std::vector<int> stops = TabStopsFrom(L->TabWidths());
      gfx::TabbedTextOut(C->Handle(), text.Left + offset + 2, text.Top + text.Height() / 2 - th / 2, s, int(s.size()),
                         int(stops.size()), stops.data(), 0);
    } else if (!s.empty()) {
      const int x = text.Left + offset - FHorizontalExtentValue + 2, y = text.Top + text.Height() / 2 - th / 2;
      if (!L->HorizontalExtent() && C->TextWidth(s) > text.Right - x) {
        // A row that cannot be scrolled sideways ends in an ellipsis rather
        // than in half a character.
        TRect r{x, y, text.Right, text.Bottom};
        gfx::DrawTextW(C->Handle(), std::string_view(s), -1, &r,
                       gfx::DT_SINGLELINE | gfx::DT_NOPREFIX | gfx::DT_END_ELLIPSIS);
      } else {
        C->TextRect(text, x, y, s);
      }
    }
  }
  if (classic && focused) C->DrawFocusRect(TRect(0, 0, B.Width(), B.Height()));
  Target->Draw(R.Left, R.Top, &B);
}

// ---------------------------------------------------------------------------
// Container.

TbsSkinCustomListBox::TbsSkinCustomListBox(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  ControlStyle = cl::csAcceptsControls | cl::csCaptureMouse | cl::csClickEvents | cl::csOpaque | cl::csDoubleClicks |
                 cl::csReplicatable;
  FForceBackground = true;
  FDrawbackground = false;
  FDefaultCaptionFont.SetName("Arial");
  FDefaultCaptionFont.SetHeight(14);
  FDefaultCaptionFont.OnChange = [this](rtl::TObject*) {
    if (FIndex == -1 && FCaptionMode) Repaint();
  };
  Font()->SetName("Arial");
  Font()->SetHeight(14);
  Font()->SetColor(gfx::clWindowText);
  ListBox = new TbsListBox(this);
  ListBox->SkinListBox = this;
  ListBox->SetStyle(ctl::lbOwnerDrawFixed);
  ListBox->SetItemHeight(FDefaultItemHeight);
  ListBox->SetParent(this);
  SetBounds(Left(), Top(), 120, 120);
  FSkinDataName = "listbox";
}

void TbsSkinCustomListBox::Destroy() {
  StopRepeat();
  if (ScrollBar) cl::FreeAndNil(ScrollBar);
  if (HScrollBar) cl::FreeAndNil(HScrollBar);
  TbsSkinCustomControl::Destroy();
}

void TbsSkinCustomListBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FImages) SetImages(nullptr);
}

void TbsSkinCustomListBox::CreateParams(cl::TCreateParams& Params) {
  TbsSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(win::CS_HREDRAW | win::CS_VREDRAW);
}

void TbsSkinCustomListBox::SetItems(const rtl::TStrings& S) {
  ListBox->SetItems(S);
  UpDateScrollBar();
}
void TbsSkinCustomListBox::SetSorted(bool V) {
  if (ScrollBar) HideSkinScrollBar();
  ListBox->SetSorted(V);
}
void TbsSkinCustomListBox::SetColumns(int V) {
  ListBox->SetColumns(V);
  UpDateScrollBar();
}
void TbsSkinCustomListBox::Clear() {
  ListBox->Clear();
  UpDateScrollBar();
}
void TbsSkinCustomListBox::SetRowCount(int V) {
  FRowCount = V;
  if (FRowCount != 0) SetHeight(CalcHeight(FRowCount));
  UpDateScrollBar();
}
void TbsSkinCustomListBox::SetHorizontalExtent(bool V) {
  FHorizontalExtent = V;
  UpDateScrollBar();
}
void TbsSkinCustomListBox::SetDefaultItemHeight(int V) {
  FDefaultItemHeight = V;
  if (FIndex == -1 || !UseSkinItemHeight) ListBox->SetItemHeight(V);
}
void TbsSkinCustomListBox::SetCaptionMode(bool V) {
  FCaptionMode = V;
  if (FIndex == -1) {
    Layout();
    Invalidate();
  }
}
void TbsSkinCustomListBox::SetDefaultCaptionHeight(int V) {
  FDefaultCaptionHeight = V;
  if (FIndex == -1 && FCaptionMode) {
    Layout();
    Invalidate();
  }
}
void TbsSkinCustomListBox::SetAlignment(cl::TAlignment V) {
  if (V == FAlignment) return;
  FAlignment = V;
  if (FCaptionMode) Invalidate();
}
void TbsSkinCustomListBox::SetShowCaptionButtons(bool V) {
  if (V == FShowCaptionButtons) return;
  FShowCaptionButtons = V;
  Invalidate();
}
void TbsSkinCustomListBox::SetImages(cl::TCustomImageList* V) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = V;
  if (FImages) FImages->FreeNotification(this);
  ListBox->Invalidate();
}
void TbsSkinCustomListBox::SetImageIndex(int V) {
  FImageIndex = V;
  ListBox->Invalidate();
}
void TbsSkinCustomListBox::SetTabWidths(const rtl::TStrings& V) {
  FTabWidths.Assign(V);
  if (FTabWidths.Count() > 0) ListBox->Invalidate();
}

void TbsSkinCustomListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TbsSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  Layout();
  if (FIndex == -1) Invalidate();
}

void TbsSkinCustomListBox::DefaultFontChanged() {
  if (FIndex == -1) Font()->Assign(FDefaultFont);
}

void TbsSkinCustomListBox::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinListBox*>(SkinRecord(FSD, FIndex));
  if (!R) {
    FIndex = -1;
    return;
  }
  FontName = R->FontName;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  SItemRect = R->SItemRect;
  ActiveItemRect = Empty(R->ActiveItemRect) ? SItemRect : R->ActiveItemRect;
  FocusItemRect = Empty(R->FocusItemRect) ? SItemRect : R->FocusItemRect;
  ItemLeftOffset = R->ItemLeftOffset;
  ItemRightOffset = R->ItemRightOffset;
  ItemTextRect = R->ItemTextRect;
  FontColor = R->FontColor;
  ActiveFontColor = R->ActiveFontColor;
  FocusFontColor = R->FocusFontColor;
  CaptionRect = R->CaptionRect;
  CaptionFontName = R->CaptionFontName;
  CaptionFontStyle = R->CaptionFontStyle;
  CaptionFontHeight = R->CaptionFontHeight;
  CaptionFontColor = R->CaptionFontColor;
  UpButtonRect = R->UpButtonRect;
  ActiveUpButtonRect = R->ActiveUpButtonRect;
  DownUpButtonRect = Empty(R->DownUpButtonRect) ? ActiveUpButtonRect : R->DownUpButtonRect;
  DownButtonRect = R->DownButtonRect;
  ActiveDownButtonRect = R->ActiveDownButtonRect;
  DownDownButtonRect = Empty(R->DownDownButtonRect) ? ActiveDownButtonRect : R->DownDownButtonRect;
  CheckButtonRect = R->CheckButtonRect;
  ActiveCheckButtonRect = R->ActiveCheckButtonRect;
  DownCheckButtonRect = Empty(R->DownCheckButtonRect) ? ActiveCheckButtonRect : R->DownCheckButtonRect;
  VScrollBarName = R->VScrollBarName;
  HScrollBarName = R->HScrollBarName;
  BothScrollBarName = R->BothScrollBarName;
  ShowFocus = R->ShowFocus;
  ButtonsArea = R->ButtonsArea;
  DisabledButtonsRect = R->DisabledButtonsRect;
}

void TbsSkinCustomListBox::SetScrollBarNames() {
  const bool rec = FIndex != -1;
  if (ScrollBar) {
    ScrollBar->SetSkinDataName(!rec ? "" : Columns() > 0 ? HScrollBarName : VScrollBarName);
    ScrollBar->SetSkinData(FSD);
  }
  if (HScrollBar) {
    if (!rec) {
      HScrollBar->SetSkinDataName("");
      if (ScrollBar) {
        HScrollBar->SetBoth(true);
        HScrollBar->SetBothMarkerWidth(19);
      }
    } else if (ScrollBar) {
      HScrollBar->SetSkinDataName(BothScrollBarName);
      HScrollBar->SetBothSkinDataName(BothScrollBarName);
      HScrollBar->SetBoth(true);
    } else {
      HScrollBar->SetSkinDataName(HScrollBarName);
      HScrollBar->SetBothSkinDataName(HScrollBarName);
      HScrollBar->SetBoth(false);
    }
    HScrollBar->SetSkinData(FSD);
  }
}

void TbsSkinCustomListBox::ChangeSkinData() {
  TbsSkinCustomControl::ChangeSkinData();
  FStopUpDateHScrollBar = true;
  if (FIndex == -1) {
    ListBox->SetItemHeight(FDefaultItemHeight);
    Font()->Assign(FDefaultFont);
  } else if (UseSkinItemHeight && SItemRect.Height() > 0) {
    ListBox->SetItemHeight(SItemRect.Height());
  }
  SetScrollBarNames();
  if (FRowCount != 0) SetHeight(CalcHeight(FRowCount));
  Layout();
  FStopUpDateHScrollBar = false;
  UpDateScrollBar();
  ListBox->Invalidate();
}

void TbsSkinCustomListBox::Layout() {
  if (!ListBox) return;
  const int W = Width(), H0 = Height();
  const int T = FIndex == -1 ? (FCaptionMode ? FDefaultCaptionHeight : 1) : 0;
  TRect ncr = G.ClRect;
  if (FIndex != -1) {
    ncr.Right += W - G.SkinRect.Width();
    ncr.Bottom += H0 - G.SkinRect.Height();
  }
  int H = 0;
  if (HScrollBar && HScrollBar->Visible() && Columns() == 0) {
    if (FIndex == -1) {
      HScrollBar->SetBounds(1, H0 - 20, W - 2, 19);
      H = HScrollBar->Height() - 1;
    } else {
      HScrollBar->SetBounds(ncr.Left, ncr.Bottom - HScrollBar->Height(), ncr.Width(), HScrollBar->Height());
      H = HScrollBar->Height();
    }
  }
  const bool bar = ScrollBar && ScrollBar->Visible();
  if (FIndex == -1) {
    if (bar && Columns() == 0) {
      ScrollBar->SetBounds(W - 20, T, 19, H0 - T - H - 1);
      ListRect = TRect(2, T + 1, ScrollBar->Left(), H0 - H - 2);
    } else if (bar) {
      ScrollBar->SetBounds(1, H0 - 20, W - 2, 19);
      ListRect = TRect(2, T + 1, W - 2, ScrollBar->Top());
    } else {
      ListRect = TRect(2, T + 1, W - 2, H0 - H - 2);
    }
  } else {
    if (bar && Columns() == 0) {
      ScrollBar->SetBounds(ncr.Right - ScrollBar->Width(), ncr.Top, ScrollBar->Width(), ncr.Height() - H);
      ListRect = TRect(ncr.Left, ncr.Top, ncr.Right - ScrollBar->Width(), ncr.Bottom - H);
    } else if (bar) {
      ScrollBar->SetBounds(ncr.Left, ncr.Bottom - ScrollBar->Height(), ncr.Width(), ScrollBar->Height());
      ListRect = TRect(ncr.Left, ncr.Top, ncr.Right, ncr.Bottom - ScrollBar->Height());
    } else {
      ListRect = TRect(ncr.Left, ncr.Top, ncr.Right, ncr.Bottom - H);
    }
  }
  ListBox->SetBoundsRect(ListRect);
}

void TbsSkinCustomListBox::ShowSkinScrollBar() {
  ScrollBar = new TbsSkinScrollBar(this);
  ScrollBar->SetKind(Columns() > 0 ? sbHorizontal : sbVertical);
  ScrollBar->SetBounds(0, 0, 20, 100);
  ScrollBar->SetPageSize(0);
  ScrollBar->SetMin(0);
  ScrollBar->SetPosition(0);
  ScrollBar->OnChange = [this](rtl::TObject*) {
    if (!ListBox->HandleAllocated()) return;
    const unsigned msg = Columns() > 0 ? win::WM_HSCROLL : win::WM_VSCROLL;
    win::SendMessage(ListBox->Handle(), msg, win::WPARAM(win::SB_THUMBPOSITION | (ScrollBar->Position() << 16)), 0);
  };
  SetScrollBarNames();
  ScrollBar->SetParent(this);
  Layout();
  ScrollBar->SetVisible(true);
  Layout();
  Invalidate();
}

void TbsSkinCustomListBox::HideSkinScrollBar() {
  ScrollBar->SetVisible(false);
  cl::FreeAndNil(ScrollBar);
  Layout();
}

void TbsSkinCustomListBox::ShowSkinHScrollBar() {
  HScrollBar = new TbsSkinScrollBar(this);
  HScrollBar->SetKind(sbHorizontal);
  HScrollBar->SetBounds(0, 0, 100, 20);
  HScrollBar->SetPageSize(0);
  HScrollBar->SetMin(0);
  HScrollBar->SetPosition(0);
  HScrollBar->OnChange = [this](rtl::TObject*) {
    ListBox->SetHorizontalExtentValue(HScrollBar->Position());
    ListBox->Invalidate();
  };
  SetScrollBarNames();
  HScrollBar->SetParent(this);
  HScrollBar->SetVisible(true);
  Layout();
  Invalidate();
}

void TbsSkinCustomListBox::HideSkinHScrollBar() {
  ListBox->SetHorizontalExtentValue(0);
  HScrollBar->SetVisible(false);
  cl::FreeAndNil(HScrollBar);
  Layout();
  ListBox->Invalidate();
}

void TbsSkinCustomListBox::UpDateScrollBar() {
  if (!ListBox || ListBox->Destroyed()) return;
  const int count = ListBox->Count(), ih = std::max(1, ListBox->ItemHeight());
  ListBox->HandleNeeded();
  win::HWND h = ListBox->Handle();
  int mn = 0, mx = 0, pos = 0;
  if (Columns() > 0) {
    ctl::GetScrollRange(h, win::SB_HORZ, &mn, &mx);
    pos = ctl::GetScrollPos(h, win::SB_HORZ);
    if (mx > mn && pos <= mx && Columns() <= mx && (ListBox->Height() / ih) * Columns() < count) {
      if (!ScrollBar) ShowSkinScrollBar();
      ScrollBar->SetRange(mn, mx, pos, Columns());
      return;
    }
  } else {
    if (!FHorizontalExtent || FStopUpDateHScrollBar) {
      if (HScrollBar && HScrollBar->Visible()) HideSkinHScrollBar();
    } else {
      gfx::TCanvas* c = ListBox->Canvas();
      gfx::TBitmap measure;
      measure.SetSize(1, 1);
      c = measure.Canvas();
      if (FIndex != -1 && FUseSkinFont) {
        c->Font()->SetName(FontName);
        c->Font()->SetStyle(FontStyle);
        c->Font()->SetHeight(FontHeight);
      } else {
        c->Font()->Assign(*ListBox->Font());
      }
      int widest = 0;
      for (int i = 0; i < count; ++i) widest = std::max(widest, GetItemWidth(i, c));
      int page = FIndex == -1 ? ListBox->Width() - 4 : ListBox->Width() + ItemTextRect.Width() - SItemRect.Width();
      if (FImages) page -= FImages->Width() + 4;
      if (page < widest) {
        if (!HScrollBar) ShowSkinHScrollBar();
        HScrollBar->SetRange(0, widest, HScrollBar->Position(), page);
        HScrollBar->SetSmallChange(c->TextWidth("0"));
        HScrollBar->SetLargeChange(c->TextWidth("0"));
      } else if (HScrollBar && HScrollBar->Visible()) {
        HideSkinHScrollBar();
      }
    }
    if (!(FRowCount > 0 && FRowCount == count)) {
      ctl::GetScrollRange(h, win::SB_VERT, &mn, &mx);
      pos = ctl::GetScrollPos(h, win::SB_VERT);
      const int page = ListBox->Height() / ih;
      if (mx > mn && pos <= mx && page < count) {
        if (!ScrollBar) ShowSkinScrollBar();
        ScrollBar->SetRange(mn, mx, pos, page);
        ScrollBar->SetLargeChange(page);
        return;
      }
    }
  }
  if (ScrollBar && ScrollBar->Visible()) HideSkinScrollBar();
}

int TbsSkinCustomListBox::CalcHeight(int AItemsCount) {
  int h;
  if (FIndex == -1) {
    h = AItemsCount * ListBox->ItemHeight() + 4;
    if (FCaptionMode) h += FDefaultCaptionHeight;
  } else {
    h = G.SkinRect.Height() + AItemsCount * ListBox->ItemHeight() + G.ClRect.Top - G.ClRect.Bottom;
  }
  if (HScrollBar) h += HScrollBar->Height();
  return h;
}

int TbsSkinCustomListBox::GetItemWidth(int Index, gfx::TCanvas* C) { return C->TextWidth(Items().Get(Index)); }
void TbsSkinCustomListBox::ListBoxMouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  OnListBoxMouseDown(this, Button, Shift, X, Y);
}
void TbsSkinCustomListBox::ListBoxMouseMove(cl::TShiftState Shift, int X, int Y) {
  OnListBoxMouseMove(this, Shift, X, Y);
}
void TbsSkinCustomListBox::ListBoxMouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  OnListBoxMouseUp(this, Button, Shift, X, Y);
}
void TbsSkinCustomListBox::ListBoxClick() { OnListBoxClick(this); }
void TbsSkinCustomListBox::ListBoxDblClick() { OnListBoxDblClick(this); }
void TbsSkinCustomListBox::ListBoxKeyDown(uint16_t& Key, cl::TShiftState Shift) { OnListBoxKeyDown(this, Key, Shift); }
void TbsSkinCustomListBox::ListBoxKeyUp(uint16_t& Key, cl::TShiftState Shift) { OnListBoxKeyUp(this, Key, Shift); }
void TbsSkinCustomListBox::ListBoxKeyPress(char32_t& Key) { OnListBoxKeyPress(this, Key); }
void TbsSkinCustomListBox::ListBoxWProc(cl::TMessage& Msg, bool& Handled) {
  (void)Msg;
  Handled = true;
}

// --- painting

void TbsSkinCustomListBox::CreateControlDefaultImage(gfx::TBitmap* B) {
  TbsSkinCustomControl::CreateControlDefaultImage(B);
  gfx::TCanvas* C = B->Canvas();
  const int W = Width(), H = Height();
  C->Brush()->SetColor(gfx::clBtnFace);
  C->FillRect(TRect(0, 0, W, H));
  int Bs = std::min(17, FDefaultCaptionHeight - 3);
  if (FCaptionMode && FShowCaptionButtons) {
    Buttons[0].R = TRect(W - Bs - 2, 2, W - 2, Bs + 1);
    Buttons[1].R = TRect(Buttons[0].R.Left - Bs, 2, Buttons[0].R.Left, Bs + 1);
    Buttons[2].R = TRect(Buttons[1].R.Left - Bs, 2, Buttons[1].R.Left, Bs + 1);
  } else {
    for (auto& b : Buttons) b.R = TRect();
  }
  gfx::TRect r(0, 0, W, H);
  gfx::Frame3D(C, r, gfx::clBtnShadow, gfx::clBtnShadow, 1);
  if (!FCaptionMode) return;
  TRect cr = FShowCaptionButtons ? TRect(3, 2, W - 3 * Bs - 3, FDefaultCaptionHeight - 2)
                                 : TRect(3, 2, W - 2, FDefaultCaptionHeight - 2);
  C->Font()->Assign(FDefaultCaptionFont);
  const std::string cap = Caption();
  const int tw = C->TextWidth(cap) + CaptionGlyphWidth();
  int x = FAlignment == cl::taLeftJustify    ? cr.Left
          : FAlignment == cl::taRightJustify ? cr.Right - tw
                                             : cr.Left + cr.Width() / 2 - tw / 2;
  DrawCaptionGlyph(C, x, cr, -1);
  C->Brush()->SetStyle(gfx::bsClear);
  C->TextRect(cr, x, (FDefaultCaptionHeight - 2) / 2 - C->TextHeight("W") / 2, cap);
  C->Pen()->SetColor(gfx::clBtnShadow);
  C->MoveTo(1, FDefaultCaptionHeight - 1);
  C->LineTo(W - 1, FDefaultCaptionHeight - 1);
  if (FShowCaptionButtons)
    for (int i = 0; i < 3; ++i) DrawButton(C, i);
}

void TbsSkinCustomListBox::CreateControlSkinImage(gfx::TBitmap* B) {
  TbsSkinCustomControl::CreateControlSkinImage(B);
  gfx::TCanvas* C = B->Canvas();
  const int dx = Width() - G.SkinRect.Width(), dy = Height() - G.SkinRect.Height();
  // Hidden caption buttons: their place shows the record's disabled-buttons
  // picture, or the caption strip stretched over it when there is none.
  if (!FShowCaptionButtons && !Empty(UpButtonRect) && Picture) {
    if (!Empty(DisabledButtonsRect)) {
      TRect dst = ButtonsArea;
      gfx::OffsetRect(dst, dx, 0);
      C->CopyRect(dst, Picture->Canvas(), DisabledButtonsRect);
    } else {
      const int top = G.ClRect.Top - 1;  // the client rectangle's top does not move with the size
      const TRect strip(G.NewLTPoint.X, 0, G.NewRTPoint.X, top);
      if (strip.Width() > 0 && strip.Height() > 0) {
        gfx::TBitmap aside;
        aside.SetSize(strip.Width(), strip.Height());
        aside.Canvas()->CopyRect(TRect(0, 0, strip.Width(), strip.Height()), C, strip);
        C->StretchDraw(TRect(G.NewLTPoint.X, 0, Width() + UpButtonRect.Right - G.SkinRect.Width(), top), &aside);
      }
    }
  }
  for (auto& b : Buttons) b.R = TRect();
  if (!FCaptionMode) return;
  NewCaptionRect = CaptionRect;
  if (FShowCaptionButtons) {
    if (CaptionRect.Right >= G.RTPt.X) NewCaptionRect.Right += dx;
    const TRect src[3] = {UpButtonRect, DownButtonRect, CheckButtonRect};
    for (int i = 0; i < 3; ++i) {
      TRect r = src[i];
      int cx = G.RTPt.X;
      if (r.Top > G.LTPt.Y) {
        gfx::OffsetRect(r, 0, dy);
        cx = G.RBPt.X;
      }
      if (cx < r.Left) gfx::OffsetRect(r, dx, 0);
      Buttons[i].R = r;
    }
  } else {
    NewCaptionRect.Right = Width() - CaptionRect.Left;
  }
  if (!Empty(CaptionRect)) {
    C->Font()->SetName(CaptionFontName);
    C->Font()->SetHeight(CaptionFontHeight);
    C->Font()->SetColor(CaptionFontColor);
    C->Font()->SetStyle(CaptionFontStyle);
    const std::string cap = Caption();
    const int tw = C->TextWidth(cap) + CaptionGlyphWidth();
    int x = FAlignment == cl::taLeftJustify    ? NewCaptionRect.Left + 2
            : FAlignment == cl::taRightJustify ? NewCaptionRect.Right - tw - 2
                                               : NewCaptionRect.Left + 2 + NewCaptionRect.Width() / 2 - tw / 2;
    DrawCaptionGlyph(C, x, NewCaptionRect, 0);
    C->Brush()->SetStyle(gfx::bsClear);
    C->TextRect(NewCaptionRect, x, NewCaptionRect.Top + NewCaptionRect.Height() / 2 - C->TextHeight("W") / 2, cap);
  }
  if (FShowCaptionButtons)
    for (int i = 0; i < 3; ++i) DrawButton(C, i);
}

int TbsSkinCustomListBox::CaptionGlyphWidth() const {
  if (FGlyph.Empty()) return 0;
  return FGlyph.Width() / std::max(1, FNumGlyphs) + FSpacing;
}

void TbsSkinCustomListBox::DrawCaptionGlyph(gfx::TCanvas* C, int& X, const TRect& R, int DY) {
  if (FGlyph.Empty()) return;
  const int n = std::max(1, FNumGlyphs);
  const int cell = !Enabled() && n == 2 ? 2 : 1;
  DrawGlyph(C, X, R.Top + R.Height() / 2 - FGlyph.Height() / 2 + DY, &FGlyph, TbsNumGlyphs(n), cell);
  X += FGlyph.Width() / n + FSpacing;
}

void TbsSkinCustomListBox::SetGlyph(const gfx::TBitmap* Value) {
  if (Value)
    FGlyph.Assign(Value);
  else
    FGlyph.SetHandle(gfx::HBITMAP());
  Repaint();
}

void TbsSkinCustomListBox::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 2);
  Repaint();
}

void TbsSkinCustomListBox::SetSpacing(int Value) {
  FSpacing = Value;
  Repaint();
}

void TbsSkinCustomListBox::DrawButton(gfx::TCanvas* C, int I) {
  const TButton& b = Buttons[size_t(I)];
  if (Empty(b.R)) return;
  if (FIndex == -1 || !Picture) {
    C->Brush()->SetStyle(gfx::bsSolid);
    if (b.Down && b.MouseIn) {
      C->Brush()->SetColor(bsDownFillColor);
      C->FillRect(b.R);
      C->Brush()->SetColor(bsHotFrameColor);
      C->FrameRect(b.R);
    } else if (b.MouseIn) {
      C->Brush()->SetColor(bsHotFillColor);
      C->FillRect(b.R);
      C->Brush()->SetColor(bsHotFrameColor);
      C->FrameRect(b.R);
    } else {
      C->Brush()->SetColor(gfx::clBtnFace);
      C->FillRect(b.R);
    }
    if (I == 0)
      DrawArrowGlyph(C, b.R, gfx::clBlack, 3);
    else if (I == 1)
      DrawArrowGlyph(C, b.R, gfx::clBlack, 4);
    else
      DrawCheckGlyph(C, b.R.Left + 4, b.R.Top + 4, gfx::clBlack);
    return;
  }
  const TRect down[3] = {DownUpButtonRect, DownDownButtonRect, DownCheckButtonRect};
  const TRect hot[3] = {ActiveUpButtonRect, ActiveDownButtonRect, ActiveCheckButtonRect};
  const TRect normal[3] = {UpButtonRect, DownButtonRect, CheckButtonRect};
  TRect src = b.Down && b.MouseIn ? down[I] : b.MouseIn ? hot[I] : TRect();
  if (Empty(src)) {
    src = normal[I];
    gfx::OffsetRect(src, G.SkinRect.Left, G.SkinRect.Top);
  }
  C->CopyRect(b.R, Picture->Canvas(), src);
}

void TbsSkinCustomListBox::TestActive(int X, int Y) {
  if (!FCaptionMode || !FShowCaptionButtons) return;
  if (FIndex != -1 && Empty(UpButtonRect) && Empty(DownButtonRect)) return;
  OldActiveButton = ActiveButton;
  ActiveButton = -1;
  for (int i = 0; i < 3; ++i)
    if (gfx::PtInRect(Buttons[size_t(i)].R, TPoint(X, Y))) {
      ActiveButton = i;
      break;
    }
  if (CaptureButton != -1 && ActiveButton != CaptureButton) ActiveButton = -1;
  if (ActiveButton == OldActiveButton) return;
  if (OldActiveButton >= 0) {
    Buttons[size_t(OldActiveButton)].MouseIn = false;
    if (TimerMode != 0 && Buttons[size_t(OldActiveButton)].Down && HandleAllocated()) win::KillTimer(Handle(), 1);
  }
  if (ActiveButton >= 0) {
    Buttons[size_t(ActiveButton)].MouseIn = true;
    if (TimerMode != 0 && Buttons[size_t(ActiveButton)].Down) StartRepeat(50);
  }
  Invalidate();
}

void TbsSkinCustomListBox::StartRepeat(int Ms) {
  if (!HandleAllocated()) return;
  win::KillTimer(Handle(), 1);
  win::SetTimer(Handle(), 1, win::UINT(Ms));
}

void TbsSkinCustomListBox::StopRepeat() {
  if (HandleAllocated()) win::KillTimer(Handle(), 1);
  TimerMode = 0;
}

void TbsSkinCustomListBox::ButtonAction(int I) {
  const int n = ListBox->Count(), cur = ItemIndex();
  if (I == 0 && cur > 0)
    SetItemIndex(cur - 1);
  else if (I == 1 && cur < n - 1)
    SetItemIndex(cur + 1);
  else if (I == 2)
    ListBoxClick();
}

void TbsSkinCustomListBox::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (FCaptionMode && FShowCaptionButtons && Button == cl::mbLeft) {
    TestActive(X, Y);
    if (ActiveButton != -1) {
      CaptureButton = ActiveButton;
      TButton& b = Buttons[size_t(ActiveButton)];
      b.MouseIn = b.Down = true;
      Invalidate();
      const rtl::TNotifyEvent* handlers[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
      if (!*handlers[ActiveButton] && ActiveButton < 2) {
        TimerMode = ActiveButton + 1;
        WaitMode = true;
        StartRepeat(500);
      }
    }
  }
  TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TbsSkinCustomListBox::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseMove(Shift, X, Y);
  TestActive(X, Y);
}

void TbsSkinCustomListBox::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  if (CaptureButton != -1 && Button == cl::mbLeft) {
    const int I = CaptureButton;
    TButton& b = Buttons[size_t(I)];
    b.Down = false;
    if (ActiveButton != I) b.MouseIn = false;
    Invalidate();
    const rtl::TNotifyEvent* handlers[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
    CaptureButton = -1;
    StopRepeat();
    if (gfx::PtInRect(b.R, TPoint(X, Y)) && *handlers[I]) {
      (*handlers[I])(this);
    } else {
      // A press let go outside the button still runs the button's own
      // action, never the handler.
      ButtonAction(I);
    }
  }
  TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinCustomListBox::CMMouseEnter(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseEnter(Msg);
  TestActive(-1, -1);
}

void TbsSkinCustomListBox::CMMouseLeave(cl::TMessage& Msg) {
  TbsSkinCustomControl::CMMouseLeave(Msg);
  bool any = false;
  for (auto& b : Buttons)
    if (b.MouseIn) {
      b.MouseIn = false;
      any = true;
    }
  ActiveButton = -1;
  if (any) Invalidate();
}

void TbsSkinCustomListBox::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case win::WM_SIZE:
      TbsSkinCustomControl::Dispatch(Msg);
      Layout();
      UpDateScrollBar();
      if (ScrollBar) ScrollBar->Invalidate();
      return;
    case win::WM_TIMER:
      TbsSkinCustomControl::Dispatch(Msg);
      if (Msg.WParam != 1) return;
      if (WaitMode) {
        WaitMode = false;
        StartRepeat(100);
        return;
      }
      if (TimerMode == 1 && ItemIndex() > 0) SetItemIndex(ItemIndex() - 1);
      if (TimerMode == 2 && ItemIndex() < ListBox->Count() - 1) SetItemIndex(ItemIndex() + 1);
      return;
    case win::CM_TEXTCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FCaptionMode) Invalidate();
      return;
    default:
      break;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

// ---------------------------------------------------------------------------
// Drop-down window.

TbsPopupListBox::TbsPopupListBox(cl::TComponent* AOwner) : TbsSkinListBox(AOwner) {
  ControlStyle |= cl::csAcceptsControls | cl::csNoDesignVisible | cl::csReplicatable;
  SetVisible(false);
}

void TbsPopupListBox::CreateParams(cl::TCreateParams& Params) {
  TbsSkinListBox::CreateParams(Params);
  Params.Style = win::WS_POPUP | win::WS_CLIPSIBLINGS;
  Params.ExStyle = win::WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= win::CS_SAVEBITS;
  if (IsWindowsXPOrLater()) Params.WindowClass.style |= win::CS_DROPSHADOW;
}

void TbsPopupListBox::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == win::WM_MOUSEACTIVATE) {
    Msg.Result = win::MA_NOACTIVATE;
    return;
  }
  TbsSkinListBox::Dispatch(Msg);
}

std::vector<int> TbsPopupListBox::FadeSteps(int Target) {
  std::vector<int> steps;
  const int step = std::max(1, Target / 15);
  int a = 0;
  do {
    a = std::min(a + step, Target);
    steps.push_back(a);
  } while (a < Target);
  return steps;
}

void TbsPopupListBox::Show(TPoint Origin) {
  auto* src = dynamic_cast<TbsPopupAlphaSource*>(Owner());
  HandleNeeded();
  win::HWND h = Handle();
  TbsPopupAlpha a;
  const bool useAlpha = src && IsWindows2000OrLater();
  if (useAlpha) {
    a = src->PopupAlpha();
    const win::LONG_PTR ex = win::GetWindowLong(h, win::GWL_EXSTYLE);
    if (a.AlphaBlend && !FOldAlphaBlend)
      win::SetWindowLong(h, win::GWL_EXSTYLE, ex | win::WS_EX_LAYERED);
    else if (!a.AlphaBlend && FOldAlphaBlend)
      win::SetWindowLong(h, win::GWL_EXSTYLE, ex & ~win::LONG_PTR(win::WS_EX_LAYERED));
    FOldAlphaBlend = a.AlphaBlend;
    if (a.AlphaBlend && FOldAlphaBlendValue != a.AlphaBlendValue) {
      if (a.AlphaBlendAnimation) {
        SetWindowAlpha(h, 0);
        FOldAlphaBlendValue = 0;
      } else {
        SetWindowAlpha(h, uint8_t(a.AlphaBlendValue));
        FOldAlphaBlendValue = a.AlphaBlendValue;
      }
    }
  }
  SetBounds(Origin.X, Origin.Y, Width(), Height());
  win::SetWindowPos(h, win::HWND_TOP, Origin.X, Origin.Y, 0, 0,
                    win::SWP_NOSIZE | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
  visible_ = true;
  if (!(useAlpha && a.AlphaBlend && a.AlphaBlendAnimation)) return;
  // The fade pumps messages: a click may close (hide) or free the list
  // meanwhile, so each step checks that it is still alive and shown.
  cl::Keep<TbsPopupListBox> self(this);
  cl::Application->ProcessMessages();
  const int target = std::clamp(a.AlphaBlendValue, 0, 255);
  FadeInWindowAlpha(h, target, target / 15, 5, true, [this] {
    if (Destroyed() || !HandleAllocated() || !win::IsWindowVisible(Handle())) return false;
    cl::Application->ProcessMessages();
    return !Destroyed() && HandleAllocated() && win::IsWindowVisible(Handle());
  });
}

void TbsPopupListBox::Hide() {
  if (HandleAllocated())
    win::SetWindowPos(
        Handle(), nullptr, 0, 0, 0, 0,
        win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_HIDEWINDOW);
  visible_ = false;
}

}  // namespace skin
