#include "skin/inputs/bsSkinOfficeList.h"

#include <algorithm>

#include "platform/gfx/dc.h"
#include "platform/gfx/text.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/inputs/bsSkinOfficeCombo.h"
#include "skin/controls/bsSkinParts.h"

namespace skin {

using namespace win;

// ============================================================================ item

TbsSkinOfficeItem::TbsSkinOfficeItem(cl::TCollection* ACollection) : cl::TCollectionItem(ACollection) {}

void TbsSkinOfficeItem::SetImageIndex(int Value) {
  FImageIndex = Value;
  Changed(false);
}

void TbsSkinOfficeItem::SetTitle(const std::string& Value) {
  FTitle = Value;
  Changed(false);
}

void TbsSkinOfficeItem::SetCaption(const std::string& Value) {
  FCaption = Value;
  Changed(false);
}

void TbsSkinOfficeItem::SetEnabled(bool Value) {
  FEnabled = Value;
  Changed(false);
}

void TbsSkinOfficeItem::SetHeader(bool Value) {
  FHeader = Value;
  Changed(false);
}

void TbsSkinOfficeItem::Assign(cl::TPersistent* Source) {
  auto* S = dynamic_cast<TbsSkinOfficeItem*>(Source);
  if (!S) {
    cl::TCollectionItem::Assign(Source);
    return;
  }
  FImageIndex = S->FImageIndex;
  FCaption = S->FCaption;
  FTitle = S->FTitle;
  FEnabled = S->FEnabled;
  FHeader = S->FHeader;
  Changed(false);
}

// ============================================================================ collection

TbsSkinOfficeItems::TbsSkinOfficeItems(TbsSkinOfficeListBox* AListBox)
    // Items join the collection only once they are whole, so the change
    // report that the joining sends never meets a half-built item.
    : cl::TCollection([](cl::TCollection*) { return new TbsSkinOfficeItem(nullptr); }, AListBox), FListBox(AListBox) {}

void TbsSkinOfficeItems::MarkActive(TbsSkinOfficeItem* I) {
  if (FListBox) I->Active = I->Index() == FListBox->ItemIndex();
}

TbsSkinOfficeItem* TbsSkinOfficeItems::Items(int Index) const {
  return static_cast<TbsSkinOfficeItem*>(cl::TCollection::Items(Index));
}

TbsSkinOfficeItem* TbsSkinOfficeItems::Add() {
  auto* I = static_cast<TbsSkinOfficeItem*>(cl::TCollection::Add());
  MarkActive(I);
  if (FListBox) FListBox->Repaint();
  return I;
}

TbsSkinOfficeItem* TbsSkinOfficeItems::Insert(int Index) {
  auto* I = static_cast<TbsSkinOfficeItem*>(cl::TCollection::Insert(Index));
  MarkActive(I);
  if (FListBox) FListBox->Repaint();
  return I;
}

void TbsSkinOfficeItems::Delete(int Index) {
  cl::TCollection::Delete(Index);
  if (FListBox) FListBox->Repaint();
}

void TbsSkinOfficeItems::Clear() {
  cl::TCollection::Clear();
  if (FListBox) FListBox->Repaint();
}

cl::TPersistent* TbsSkinOfficeItems::GetOwner() const { return FListBox; }

void TbsSkinOfficeItems::Update(cl::TCollectionItem*) {
  if (!FListBox || FListBox->Destroying()) return;
  FListBox->Repaint();
  FListBox->UpdateScrollInfo();
}

// ============================================================================ list box

TbsSkinOfficeListBox::TbsSkinOfficeListBox(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  ControlStyle |= cl::csAcceptsControls | cl::csReplicatable;
  FItems = new TbsSkinOfficeItems(this);
  SetBounds(Left(), Top(), 150, 150);
  FSkinDataName = "listbox";
  SetTabStop(true);
}

void TbsSkinOfficeListBox::Destroy() {
  TbsSkinOfficeItems* I = FItems;
  FItems = nullptr;
  if (I) I->Free();
  TbsSkinCustomControl::Destroy();
}

void TbsSkinOfficeListBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FImages) FImages = nullptr;
}

void TbsSkinOfficeListBox::SetItems(TbsSkinOfficeItems* Value) {
  FItems->Assign(Value);
  Repaint();
  UpdateScrollInfo();
}

void TbsSkinOfficeListBox::SetImages(cl::TCustomImageList* Value) {
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TbsSkinOfficeListBox::SetShowItemTitles(bool Value) {
  if (FShowItemTitles == Value) return;
  FShowItemTitles = Value;
  Repaint();
}

void TbsSkinOfficeListBox::SetItemHeight(int Value) {
  if (FItemHeight == Value || Value <= 0) return;
  FItemHeight = Value;
  Repaint();
  UpdateScrollInfo();
}

void TbsSkinOfficeListBox::SetHeaderHeight(int Value) {
  if (FHeaderHeight == Value || Value <= 0) return;
  FHeaderHeight = Value;
  Repaint();
  UpdateScrollInfo();
}

void TbsSkinOfficeListBox::SetShowLines(bool Value) {
  if (FShowLines == Value) return;
  FShowLines = Value;
  Repaint();
}

bool TbsSkinOfficeListBox::Selectable(int I) const {
  TbsSkinOfficeItem* It = FItems->Items(I);
  return It->Enabled() && !It->Header();
}

// ---------------------------------------------------------------------------- layout

void TbsSkinOfficeListBox::FrameRect(TRect& R) {
  GetSkinData();
  if (FIndex == -1)
    R = {2, 2, Width() - 2, Height() - 2};
  else
    R = G.NewClRect;
}

void TbsSkinOfficeListBox::CalcItemRects() {
  FRealMax = 0;
  FrameRect(FItemsRect);
  if (FScrollBar) FItemsRect.Right -= FScrollBar->Width();
  int Y = FItemsRect.Top;
  for (int i = 0; i < FItems->Count(); ++i) {
    TbsSkinOfficeItem* It = FItems->Items(i);
    int h = It->Header() ? FHeaderHeight : FItemHeight;
    TRect R{FItemsRect.Left, Y - FScrollOffset, FItemsRect.Right, Y + h - FScrollOffset};
    Y += h;
    It->ItemRect = R;
    bool topIn = R.Top >= FItemsRect.Top && R.Top < FItemsRect.Bottom;
    bool bottomIn = R.Bottom >= FItemsRect.Top && R.Bottom < FItemsRect.Bottom;
    bool covers = R.Top <= FItemsRect.Top && R.Bottom >= FItemsRect.Bottom;
    It->IsVisible = topIn || bottomIn || covers;
    if (It->IsVisible) FRealMax = R.Bottom;
  }
  FMax = Y;
}

int TbsSkinOfficeListBox::CalcHeight(int AItemCount) {
  int n = std::min(AItemCount, FItems->Count());
  GetSkinData();
  if (FIndex == -1) return n * FItemHeight + 5;
  return n * FItemHeight + Height() - RectHeight(G.NewClRect) + 1;
}

void TbsSkinOfficeListBox::GetScrollInfo(int& AMin, int& AMax, int& APosition, int& APage) {
  CalcItemRects();
  AMin = 0;
  AMax = FMax - FItemsRect.Top;
  APage = RectHeight(FItemsRect);
  if (APage >= AMax) {
    AMax = 0;
    APage = 0;
  }
  APosition = FScrollOffset;
}

void TbsSkinOfficeListBox::UpdateScrollInfo() {
  if (Destroying()) return;
  int AMin, AMax, APos, APage;
  GetScrollInfo(AMin, AMax, APos, APage);
  if (AMax != 0) {
    if (!FScrollBar) {
      ShowScrollbar();
      // The narrower rows may change the range; measure again.
      GetScrollInfo(AMin, AMax, APos, APage);
    }
    FScrollBar->SetRange(AMin, AMax, APos, APage);
    FScrollBar->SetLargeChange(APage);
  } else if (FScrollBar) {
    HideScrollBar();
  }
}

void TbsSkinOfficeListBox::ShowScrollbar() {
  if (FScrollBar) return;
  FScrollBar = new TbsSkinScrollBar(this);
  FScrollBar->SetVisible(false);
  FScrollBar->SetParent(this);
  FScrollBar->SetDefaultHeight(0);
  FScrollBar->SetDefaultWidth(19);
  FScrollBar->SetSmallChange(FItemHeight);
  FScrollBar->SetLargeChange(FItemHeight);
  FScrollBar->SetSkinDataName("vscrollbar");
  FScrollBar->SetKind(sbVertical);
  FScrollBar->SetSkinData(FSD);
  FScrollBar->OnChange = rtl::TNotifyEvent(this, &TbsSkinOfficeListBox::SBChange);
  AdjustScrollBar();
  FScrollBar->SetVisible(true);
  Repaint();
}

void TbsSkinOfficeListBox::HideScrollBar() {
  if (!FScrollBar) return;
  TbsSkinScrollBar* S = FScrollBar;
  FScrollBar = nullptr;
  S->SetVisible(false);
  S->Free();
  Repaint();
}

void TbsSkinOfficeListBox::AdjustScrollBar() {
  if (!FScrollBar) return;
  TRect R;
  FrameRect(R);
  int w = FScrollBar->Width();
  R.Right -= w;
  FScrollBar->SetBounds(R.Right, R.Top, w, RectHeight(R));
}

void TbsSkinOfficeListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  int ow = Width(), oh = Height();
  TbsSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FItems && (ow != Width() || oh != Height())) {
    AdjustScrollBar();
    UpdateScrollInfo();
  }
}

void TbsSkinOfficeListBox::SBChange(rtl::TObject*) {
  if (FScrollBar) Scroll(FScrollBar->Position());
}

void TbsSkinOfficeListBox::Scroll(int AScrollOffset) {
  FScrollOffset = AScrollOffset;
  Repaint();
  UpdateScrollInfo();
}

void TbsSkinOfficeListBox::ScrollToItem(int Index) {
  CalcItemRects();
  TRect R = FItems->Items(Index)->ItemRect;
  TRect U = R;
  U.Top += FScrollOffset;
  U.Bottom += FScrollOffset;
  if (R.Top <= FItemsRect.Top) {
    if (Index == 1 && FItems->Items(0)->Header())
      FScrollOffset = 0;
    else
      FScrollOffset = U.Top - FItemsRect.Top;
    CalcItemRects();
    Invalidate();
  } else if (R.Bottom >= FItemsRect.Bottom) {
    FScrollOffset = U.Bottom + FItemsRect.Top - Height() + 1;
    CalcItemRects();
    Invalidate();
  }
  UpdateScrollInfo();
}

void TbsSkinOfficeListBox::WMSize(cl::TMessage& Msg) {
  TbsSkinCustomControl::Dispatch(Msg);
  if (FOldHeight != -1 && FOldHeight != Height()) {
    CalcItemRects();
    if (FItemsRect.Bottom >= FRealMax && FScrollOffset > 0) {
      FScrollOffset = std::max(0, FScrollOffset - (FItemsRect.Bottom - FRealMax));
      CalcItemRects();
      Invalidate();
    }
  }
  AdjustScrollBar();
  UpdateScrollInfo();
  FOldHeight = Height();
}

int TbsSkinOfficeListBox::ItemAtPos(int X, int Y) {
  CalcItemRects();
  for (int i = 0; i < FItems->Count(); ++i) {
    TbsSkinOfficeItem* It = FItems->Items(i);
    const TRect& R = It->ItemRect;
    if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom && It->Enabled()) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------- selection

void TbsSkinOfficeListBox::SetItemIndex(int Value) {
  FItemIndex = Value;
  bool found = false;
  for (int i = 0; i < FItems->Count(); ++i) {
    bool a = i == Value;
    FItems->Items(i)->Active = a;
    found = found || a;
  }
  Repaint();
  // Nothing to scroll to for -1 or an index beyond the rows (a stale index
  // after the rows were replaced); no row, so no item events either.
  if (!found) return;
  cl::Keep<TbsSkinOfficeListBox> self(this);
  ScrollToItem(Value);
  TbsSkinOfficeItem* It = FItems->Items(Value);
  It->OnClick(this);
  if (Destroyed()) return;
  OnItemClick(this);
}

void TbsSkinOfficeListBox::SelectItem(int Index) {
  FItemIndex = Index;
  for (int i = 0; i < FItems->Count(); ++i) FItems->Items(i)->Active = i == Index;
  Repaint();
  if (Index >= 0 && Index < FItems->Count()) ScrollToItem(Index);
}

void TbsSkinOfficeListBox::FindUp() {
  if (FItemIndex < 1) return;
  for (int i = std::min(FItemIndex, FItems->Count()) - 1; i >= 0; --i)
    if (Selectable(i)) {
      SetItemIndex(i);
      return;
    }
}

void TbsSkinOfficeListBox::FindDown() {
  int start = FItemIndex < 0 ? 0 : FItemIndex + 1;
  for (int i = start; i < FItems->Count(); ++i)
    if (Selectable(i)) {
      SetItemIndex(i);
      return;
    }
}

void TbsSkinOfficeListBox::FindPageUp() {
  if (FItemIndex < 1) return;
  int P = std::max(1, RectHeight(FItemsRect) / FItemHeight);
  int from = std::min(FItemIndex, FItems->Count()) - 1;
  int to = std::max(0, FItemIndex - 1 - P);
  int candidate = -1;
  bool header = false;
  for (int i = from; i >= to; --i) {
    TbsSkinOfficeItem* It = FItems->Items(i);
    if (It->Header()) {
      header = true;
    } else if (It->Enabled()) {
      if (header) {
        candidate = i;
        break;
      }
      candidate = i;
    }
  }
  if (candidate != -1) SetItemIndex(candidate);
}

void TbsSkinOfficeListBox::FindPageDown() {
  int start = FItemIndex < 0 ? 0 : FItemIndex + 1;
  if (start > FItems->Count() - 1) return;
  int P = std::max(1, RectHeight(FItemsRect) / FItemHeight);
  int to = std::min(FItems->Count() - 1, start + P);
  int candidate = -1;
  bool header = false;
  for (int i = start; i <= to; ++i) {
    TbsSkinOfficeItem* It = FItems->Items(i);
    if (It->Header()) {
      header = true;
    } else if (It->Enabled()) {
      if (header) {
        candidate = i;
        break;
      }
      candidate = i;
    }
  }
  if (candidate != -1) SetItemIndex(candidate);
}

// ---------------------------------------------------------------------------- input

void TbsSkinOfficeListBox::WndProc(cl::TMessage& Msg) {
  if ((Msg.Msg == WM_LBUTTONDOWN || Msg.Msg == WM_LBUTTONDBLCLK) && !Focused() && TabStop()) {
    FClicksDisabled = true;
    SetFocus();
    FClicksDisabled = false;
    if (!Focused()) return;
  }
  if (Msg.Msg == CN_COMMAND && FClicksDisabled) return;
  TbsSkinCustomControl::WndProc(Msg);
}

void TbsSkinOfficeListBox::MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != cl::mbLeft) return;
  int i = ItemAtPos(X, Y);
  if (i != -1 && !FItems->Items(i)->Header()) {
    SelectItem(i);
    FMouseDown = true;
    FMouseActive = i;
  }
}

void TbsSkinOfficeListBox::MouseMove(cl::TShiftState Shift, int X, int Y) {
  TbsSkinCustomControl::MouseMove(Shift, X, Y);
  int i = ItemAtPos(X, Y);
  if (i != -1 && !FItems->Items(i)->Header() && i != FMouseActive && (FMouseDown || MouseMoveChangeIndex)) {
    SelectItem(i);
    FMouseActive = i;
  }
}

void TbsSkinOfficeListBox::MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
  cl::Keep<TbsSkinOfficeListBox> self(this);
  FMouseDown = false;
  if (Button == cl::mbLeft) {
    int i = ItemAtPos(X, Y);
    if (i != -1 && !FItems->Items(i)->Header()) SetItemIndex(i);
  }
  if (!Destroyed()) TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinOfficeListBox::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  TbsSkinCustomControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_NEXT:
      FindPageDown();
      break;
    case VK_PRIOR:
      FindPageUp();
      break;
    case VK_UP:
    case VK_LEFT:
      FindUp();
      break;
    case VK_DOWN:
    case VK_RIGHT:
      FindDown();
      break;
    default:
      break;
  }
}

void TbsSkinOfficeListBox::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_SIZE:
      WMSize(Msg);
      return;
    case WM_MOUSEWHEEL:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FScrollBar) {
        if (int16_t(Msg.WParamHi()) < 0)
          FScrollBar->SetPosition(FScrollBar->Position() + FScrollBar->SmallChange());
        else
          FScrollBar->SetPosition(FScrollBar->Position() - FScrollBar->SmallChange());
      }
      return;
    case CM_FOCUSCHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      Repaint();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TbsSkinCustomControl::Dispatch(Msg);
      Repaint();
      return;
    case WM_GETDLGCODE:
      Msg.Result = DLGC_WANTARROWS;
      return;
    case WM_ERASEBKGND:
      Msg.Result = 1;
      return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

// ---------------------------------------------------------------------------- skin

void TbsSkinOfficeListBox::ChangeSkinData() {
  TbsSkinCustomControl::ChangeSkinData();
  FDisabledFontColor = gfx::clGray;
  if (SkinUsable(FSD)) {
    int i = FSD->GetControlIndex("edit");
    if (auto* E = dynamic_cast<TbsDataSkinEditControl*>(SkinRecord(FSD, i)))
      FDisabledFontColor = E->DisabledFontColor;
    else
      FDisabledFontColor = FSD->SkinColors().cBtnShadow();
  }
  if (FScrollBar) {
    FScrollBar->SetSkinData(FSD);
    AdjustScrollBar();
  }
  CalcItemRects();
  UpdateScrollInfo();
  Repaint();
}

bool TbsSkinOfficeListBox::DrawFocused() { return Focused(); }

// ---------------------------------------------------------------------------- painting

void TbsSkinOfficeListBox::CreateControlDefaultImage(gfx::TBitmap* B) {
  gfx::TCanvas* C = B->Canvas();
  TRect R{0, 0, B->Width(), B->Height()};
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(gfx::clBtnShadow);
  C->FrameRect(R);
  C->Brush()->SetColor(gfx::clWindow);
  C->FillRect({1, 1, R.Right - 1, R.Bottom - 1});
  CalcItemRects();
  gfx::HDC dc = C->Handle();
  int saved = gfx::SaveDC(dc);
  gfx::IntersectClipRect(dc, FItemsRect.Left, FItemsRect.Top, FItemsRect.Right, FItemsRect.Bottom);
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->IsVisible) DrawItem(i, C);
  gfx::RestoreDC(dc, saved);
}

void TbsSkinOfficeListBox::CreateControlSkinImage(gfx::TBitmap* B) {
  TbsSkinCustomControl::CreateControlSkinImage(B);
  gfx::TCanvas* C = B->Canvas();
  CalcItemRects();
  gfx::HDC dc = C->Handle();
  int saved = gfx::SaveDC(dc);
  gfx::IntersectClipRect(dc, FItemsRect.Left, FItemsRect.Top, FItemsRect.Right, FItemsRect.Bottom);
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->IsVisible) DrawItem(i, C);
  gfx::RestoreDC(dc, saved);
}

void TbsSkinOfficeListBox::DrawItem(int Index, gfx::TCanvas* Cnvs) {
  if (FIndex == -1)
    DefaultDrawItem(Index, Cnvs);
  else
    SkinDrawItem(Index, Cnvs);
}

void TbsSkinOfficeListBox::DrawItemContent(gfx::TCanvas* C, TbsSkinOfficeItem* It, TRect R, bool Skinned) {
  if (!It->Title().empty() && FShowItemTitles) {
    gfx::TFontStyles st = C->Font()->Style();
    C->Font()->SetStyle(st + gfx::TFontStyles{gfx::fsBold});
    TRect TR = R;
    TR.Bottom = std::min(R.Bottom, R.Top + C->TextHeight(It->Title()));
    gfx::DrawText(C->Handle(), It->Title(), -1, &TR, 0);
    C->Font()->SetStyle(st);
    R.Top = TR.Bottom;
  }
  if (FImages && It->ImageIndex() >= 0 && It->ImageIndex() < FImages->Count()) {
    DrawImageAndText2(C, R, 0, 2, blGlyphLeft, It->Caption(), It->ImageIndex(), FImages, false, It->Enabled(), false,
                      0);
    return;
  }
  if (FShowItemTitles) R.Left += 10;
  TRect M{0, 0, RectWidth(R), RectHeight(R)};
  gfx::DrawText(C->Handle(), It->Caption(), -1, &M, gfx::DT_CALCRECT | gfx::DT_WORDBREAK);
  int th = RectHeight(M);
  int top = std::max(R.Top, R.Top + RectHeight(R) / 2 - th / 2);
  TRect T{R.Left, top, R.Right, R.Bottom};
  gfx::DrawText(C->Handle(), It->Caption(), -1, &T,
                Skinned ? (gfx::DT_EXPANDTABS | gfx::DT_WORDBREAK) : gfx::UINT(gfx::DT_WORDBREAK));
}

void TbsSkinOfficeListBox::DefaultDrawItem(int Index, gfx::TCanvas* Cnvs) {
  TbsSkinOfficeItem* It = FItems->Items(Index);
  gfx::TColor brush, text;
  if (It->Header()) {
    brush = gfx::clBtnShadow;
    text = gfx::clBtnHighlight;
  } else if (It->Active) {
    brush = gfx::clHighlight;
    text = gfx::clHighlightText;
  } else {
    brush = gfx::clWindow;
    text = It->Enabled() ? gfx::clWindowText : gfx::clGray;
  }
  Cnvs->Font()->Assign(FDefaultFont);
  Cnvs->Font()->SetColor(text);
  gfx::HDC dc = Cnvs->Handle();
  int saved = gfx::SaveDC(dc);
  const TRect& IR = It->ItemRect;
  gfx::IntersectClipRect(dc, IR.Left, IR.Top, IR.Right, IR.Bottom);
  Cnvs->Brush()->SetStyle(gfx::bsSolid);
  Cnvs->Brush()->SetColor(brush);
  Cnvs->FillRect(IR);
  Cnvs->Brush()->SetStyle(gfx::bsClear);
  TRect R{IR.Left + 2, IR.Top + 2, IR.Right - 2, IR.Bottom - 2};
  if (It->Header()) {
    gfx::DrawText(Cnvs->Handle(), It->Caption(), -1, &R, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_CENTER);
  } else {
    if (OnDrawItem)
      OnDrawItem(Cnvs, Index, IR);
    else
      DrawItemContent(Cnvs, It, R, false);
    if (FShowLines) {
      gfx::TColor old = Cnvs->Pen()->Color();
      Cnvs->Pen()->SetColor(gfx::clBtnFace);
      Cnvs->MoveTo(IR.Left, IR.Bottom - 1);
      Cnvs->LineTo(IR.Right, IR.Bottom - 1);
      Cnvs->Pen()->SetColor(old);
    }
  }
  if (It->Active && DrawFocused()) Cnvs->DrawFocusRect(IR);
  gfx::RestoreDC(Cnvs->Handle(), saved);
}

void TbsSkinOfficeListBox::SkinDrawItem(int Index, gfx::TCanvas* Cnvs) {
  TbsSkinOfficeItem* It = FItems->Items(Index);
  if (It->Header()) {
    SkinDrawHeaderItem(Index, Cnvs);
    return;
  }
  auto* LR = dynamic_cast<TbsDataSkinListBox*>(SkinRecord(FSD, FSD ? FSD->GetControlIndex("listbox") : -1));
  if (!LR) return;
  const TRect& IR = It->ItemRect;
  TRect R{IR.Left + 2, IR.Top + 2, IR.Right - 2, IR.Bottom - 2};
  Cnvs->Brush()->SetStyle(gfx::bsClear);
  if (LR->FontColor == FDisabledFontColor && LR->FontColor == 0) FDisabledFontColor = gfx::clGray;
  auto setFont = [&](gfx::TFont* F) {
    if (FUseSkinFont) {
      F->SetName(LR->FontName);
      F->SetHeight(LR->FontHeight);
      F->SetStyle(LR->FontStyle);
    } else {
      F->Assign(FDefaultFont);
    }
    F->SetCharset(FDefaultFont.Charset());
    ApplySkinCharset(F, FSD);
  };
  setFont(Cnvs->Font());
  if (!It->Enabled())
    Cnvs->Font()->SetColor(FDisabledFontColor);
  else if (FSkinDataName == "listbox" || FSkinDataName == "memo")
    Cnvs->Font()->SetColor(LR->FontColor);
  else
    Cnvs->Font()->SetColor(FSD->SkinColors().cBtnText());
  if (It->Active && It->Enabled()) {
    bool focused = DrawFocused();
    gfx::TBitmap Bmp;
    Bmp.SetSize(RectWidth(IR), RectHeight(IR));
    TRect src = focused ? LR->FocusItemRect : LR->ActiveItemRect;
    if (Picture && RectWidth(src) > 0 && RectHeight(src) > 0) {
      CreateSkinImageByClRect(&Bmp, {Picture, src}, LR->ItemTextRect, true);
    } else {
      // No selection picture: the row keeps the frame's background under it.
      Bmp.Canvas()->CopyRect({0, 0, Bmp.Width(), Bmp.Height()}, Cnvs, IR);
    }
    gfx::TCanvas* BC = Bmp.Canvas();
    setFont(BC->Font());
    BC->Font()->SetColor(focused ? LR->FocusFontColor : LR->ActiveFontColor);
    BC->Brush()->SetStyle(gfx::bsClear);
    TRect BR{2, 2, Bmp.Width() - 2, Bmp.Height() - 2};
    if (OnDrawItem)
      OnDrawItem(BC, Index, BR);
    else
      DrawItemContent(BC, It, BR, true);
    Cnvs->Draw(IR.Left, IR.Top, &Bmp);
    return;
  }
  gfx::HDC dc = Cnvs->Handle();
  int saved = gfx::SaveDC(dc);
  gfx::IntersectClipRect(dc, IR.Left, IR.Top, IR.Right, IR.Bottom);
  if (OnDrawItem)
    OnDrawItem(Cnvs, Index, R);
  else
    DrawItemContent(Cnvs, It, R, true);
  if (FShowLines) {
    gfx::TColor old = Cnvs->Pen()->Color();
    Cnvs->Pen()->SetColor(FSD->SkinColors().cBtnShadow());
    Cnvs->MoveTo(IR.Left, IR.Bottom - 1);
    Cnvs->LineTo(IR.Right, IR.Bottom - 1);
    Cnvs->Pen()->SetColor(old);
  }
  gfx::RestoreDC(Cnvs->Handle(), saved);
}

void TbsSkinOfficeListBox::SkinDrawHeaderItem(int Index, gfx::TCanvas* Cnvs) {
  TbsSkinOfficeItem* It = FItems->Items(Index);
  auto* HR = dynamic_cast<TbsDataSkinLabelControl*>(SkinRecord(FSD, FSD->GetControlIndex("menuheader")));
  if (!HR) HR = dynamic_cast<TbsDataSkinLabelControl*>(SkinRecord(FSD, FSD->GetControlIndex("label")));
  if (!HR) return;
  const TRect& IR = It->ItemRect;
  gfx::TBitmap Bmp;
  Bmp.SetSize(RectWidth(IR), RectHeight(IR));
  gfx::TCanvas* BC = Bmp.Canvas();
  if (gfx::TBitmap* P = SkinPicture(FSD, HR->PictureIndex)) {
    CreateSkinImageByClRect(&Bmp, {P, HR->SkinRect}, HR->ClRect, true);
  } else {
    // A header record without a picture: a plain bar in the skin's face colour.
    BC->Brush()->SetStyle(gfx::bsSolid);
    BC->Brush()->SetColor(FSD->SkinColors().cBtnFace());
    BC->FillRect({0, 0, Bmp.Width(), Bmp.Height()});
  }
  BC->Font()->SetName(HR->FontName);
  BC->Font()->SetColor(HR->FontColor);
  BC->Font()->SetHeight(HR->FontHeight);
  BC->Font()->SetStyle(HR->FontStyle);
  ApplySkinCharset(BC->Font(), FSD);
  BC->Brush()->SetStyle(gfx::bsClear);
  TRect R{1, 1, Bmp.Width() - 1, Bmp.Height() - 1};
  gfx::DrawText(BC->Handle(), It->Caption(), -1, &R, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_CENTER);
  Cnvs->Draw(IR.Left, IR.Top, &Bmp);
}

// ============================================================================ drop-down

TbsPopupOfficeListBox::TbsPopupOfficeListBox(cl::TComponent* AOwner) : TbsSkinOfficeListBox(AOwner) {
  visible_ = false;
  SetTabStop(false);
}

void TbsPopupOfficeListBox::CreateParams(cl::TCreateParams& Params) {
  TbsSkinOfficeListBox::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TbsPopupOfficeListBox::Show(TPoint Origin) {
  HWND h = Handle();
  auto* owner = dynamic_cast<TbsSkinCustomOfficeComboBox*>(Owner());
  bool layered = owner && IsWindows2000OrLater();
  bool fade = layered && owner->AlphaBlend() && owner->AlphaBlendAnimation();
  if (layered) {
    bool ab = owner->AlphaBlend();
    LONG_PTR ex = GetWindowLong(h, GWL_EXSTYLE);
    if (ab && !FOldAlphaBlend)
      SetWindowLong(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    else if (!ab && FOldAlphaBlend)
      SetWindowLong(h, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED));
    FOldAlphaBlend = ab;
    if (ab && owner->AlphaBlendValue() != FOldAlphaBlendValue) {
      FOldAlphaBlendValue = fade ? 0 : owner->AlphaBlendValue();
      SetWindowAlpha(h, FOldAlphaBlendValue);
    }
  }
  SetBounds(Origin.X, Origin.Y, Width(), Height());
  SetWindowPos(h, HWND_TOP, Origin.X, Origin.Y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  visible_ = true;
  Repaint();
  if (fade) {
    // The press that opened the list counts again only from the first move
    // over it.
    owner->ReleaseButtonHeld();
    FFadeTarget = owner->AlphaBlendValue();
    FFadeStep = std::max(1, FFadeTarget / 15);
    FFadeAlpha = 0;
    SetWindowAlpha(h, 0);
    SetTimer(h, 2, 6);
  }
}

void TbsPopupOfficeListBox::FadeStep() {
  if (FFadeTarget < 0 || !HandleAllocated()) return;
  FFadeAlpha = std::min(FFadeTarget, FFadeAlpha + FFadeStep);
  SetWindowAlpha(Handle(), uint8_t(FFadeAlpha));
  if (FFadeAlpha >= FFadeTarget) {
    FOldAlphaBlendValue = uint8_t(FFadeTarget);
    FFadeTarget = -1;
    KillTimer(Handle(), 2);
  }
}

void TbsPopupOfficeListBox::Hide() {
  if (HandleAllocated() && FFadeTarget >= 0) {
    // Hidden mid-fade: the list keeps its final alpha for the next opening.
    SetWindowAlpha(Handle(), uint8_t(FFadeTarget));
    FOldAlphaBlendValue = uint8_t(FFadeTarget);
    FFadeTarget = -1;
    KillTimer(Handle(), 2);
  }
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  visible_ = false;
}

void TbsPopupOfficeListBox::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == WM_MOUSEACTIVATE) {
    Msg.Result = MA_NOACTIVATE;
    return;
  }
  if (Msg.Msg == WM_TIMER && Msg.WParam == 2) {
    FadeStep();
    return;
  }
  TbsSkinOfficeListBox::Dispatch(Msg);
}

}  // namespace skin
