#include "skin/inputs/bsSkinEdits.h"

#include <algorithm>

#include "platform/cl/forms.h"
#include "platform/cl/menus.h"
#include "platform/gfx/rect.h"
#include "platform/rtl/env.h"
#include "platform/rtl/strings.h"
#include "platform/win/clipboard.h"
#include "platform/win/window.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/menus/bsSkinMenus.h"

namespace skin {

namespace {
bool Empty(const TRect& R) { return R.Width() <= 0 || R.Height() <= 0; }
// Hit-test answers of the image buttons, carried by the non-client mouse messages.
constexpr win::LRESULT kHitLeftImage = 104, kHitRightImage = 105;
}  // namespace

// ---------------------------------------------------------------------------
// Edit base.

TbsCustomEdit::TbsCustomEdit(cl::TComponent* AOwner) : ctl::TCustomMaskEdit(AOwner) { ControlStyle |= cl::csOpaque; }

void TbsCustomEdit::Destroy() {
  if (FSysPopupMenu) cl::FreeAndNil(FSysPopupMenu);
  ctl::TCustomMaskEdit::Destroy();
}

void TbsCustomEdit::CreateParams(cl::TCreateParams& Params) {
  ctl::TCustomMaskEdit::CreateParams(Params);
  Params.Style &= ~win::WS_BORDER;
  Params.ExStyle &= ~win::WS_EX_CLIENTEDGE;
  if (FEditTransparent) Params.ExStyle |= win::WS_EX_TRANSPARENT;
}

void TbsCustomEdit::SetEditTransparent(bool V) {
  if (V == FEditTransparent) return;
  FEditTransparent = V;
  RecreateWnd();
}

void TbsCustomEdit::Invalidate() {
  if (!FEditTransparent || !Parent() || !HandleAllocated()) {
    ctl::TCustomMaskEdit::Invalidate();
    return;
  }
  // The parent shows through: its area under the edit is painted again,
  // then the text over it.
  TRect r(Left(), Top(), Left() + Width(), Top() + Height());
  if (Parent()->HandleAllocated()) win::InvalidateRect(Parent()->Handle(), &r, true);
  win::RedrawWindow(Handle(), nullptr, nullptr, win::RDW_FRAME | win::RDW_INVALIDATE);
}

void TbsCustomEdit::Change() {
  ctl::TCustomMaskEdit::Change();
  if (!Destroyed() && FEditTransparent) Invalidate();
}

TbsCustomEdit::TMenuState TbsCustomEdit::MenuState() {
  const int n = int(rtl::ToUtf32(Text()).size());
  const bool sel = SelLength() > 0;
  const bool all = SelStart() == 0 && SelLength() == n;
  return {CanUndo(), sel && !FReadOnly, sel, !win::GetClipboardText().empty() && !FReadOnly, sel && !FReadOnly, !all};
}

void TbsCustomEdit::ShowContextMenu(int X, int Y) {
  if (FSysPopupMenu) cl::FreeAndNil(FSysPopupMenu);
  auto* menu = new TbsSkinPopupMenu(this);
  FSysPopupMenu = menu;
  cl::TCustomForm* form = GetParentForm();
  menu->ComponentForm = form;
  TbsSkinData* SD = MenuSkinData;
  if (!SD && form)
    if (IbsSkinMenuHost* host = FindSkinMenuHost(form)) SD = host->SkinData();
  TbsResourceStrData* strs = SD ? SD->ResourceStrData() : nullptr;
  auto text = [strs](const char* key, const char* fallback) {
    return strs ? strs->GetResStr(key) : std::string(fallback);
  };
  const TMenuState st = MenuState();
  auto add = [&](const std::string& caption, bool enabled, std::function<void()> action) {
    auto* it = new cl::TMenuItem(menu);
    it->Caption = caption;
    it->Enabled = enabled;
    if (action) it->OnClick = [action](rtl::TObject*) { action(); };
    menu->Items()->Add(it);
  };
  add(text("EDIT_UNDO", "Undo"), st.Undo, [this] { Undo(); });
  add("-", true, nullptr);
  add(text("EDIT_CUT", "Cut"), st.Cut, [this] { CutToClipboard(); });
  add(text("EDIT_COPY", "Copy"), st.Copy, [this] { CopyToClipboard(); });
  add(text("EDIT_PASTE", "Paste"), st.Paste, [this] { PasteFromClipboard(); });
  add(text("EDIT_DELETE", "Delete"), st.Delete, [this] { ClearSelection(); });
  add("-", true, nullptr);
  add(text("EDIT_SELECTALL", "Select All"), st.SelectAll, [this] { SelectAll(); });
  if (X < 0 || Y < 0) {
    const TPoint o = ClientToScreen(TPoint(0, 0));
    X = o.X + Width() / 2;
    Y = o.Y + Height() / 2;
  }
  if (SD) menu->SetSkinData(SD);
  menu->Popup2(this, X, Y);
}

void TbsCustomEdit::Dispatch(cl::TMessage& Msg) {
  cl::Keep<TbsCustomEdit> self(this);
  switch (Msg.Msg) {
    case win::CM_WANTSPECIALKEY:
      // Enter and Esc come here as characters, so OnKeyPress sees them
      // before the form's default or cancel button does.
      if (Msg.WParam == win::VK_RETURN || Msg.WParam == win::VK_ESCAPE) {
        Msg.Result = 1;
        return;
      }
      break;
    case win::WM_CHAR: {
      char32_t key = char32_t(Msg.WParam);
      if (key == 13 || key == 27) {
        // Never into the text: the form's default or cancel button reacts.
        KeyPress(key);
        if (Destroyed()) return;
        if (cl::TCustomForm* f = GetParentForm()) f->Perform(win::CM_DIALOGKEY, Msg.WParam, Msg.LParam);
        return;
      }
      if (FReadOnly) return;
      break;
    }
    case win::WM_KEYDOWN:
      if (FReadOnly && Msg.WParam == win::VK_DELETE) return;
      ctl::TCustomMaskEdit::Dispatch(Msg);
      if (!Destroyed() && FEditTransparent) Invalidate();
      return;
    case win::WM_CUT:
    case win::WM_PASTE:
    case win::WM_CLEAR:
    case win::WM_UNDO:
    case win::EM_UNDO:
      if (FReadOnly) return;
      ctl::TCustomMaskEdit::Dispatch(Msg);
      if (!Destroyed() && FEditTransparent) Invalidate();
      return;
    case win::WM_SETFOCUS:
    case win::WM_KILLFOCUS:
    case win::WM_SETTEXT:
    case win::WM_MOVE:
      ctl::TCustomMaskEdit::Dispatch(Msg);
      if (!Destroyed() && FEditTransparent) Invalidate();
      return;
    case win::WM_LBUTTONDOWN:
      FDown = true;
      ctl::TCustomMaskEdit::Dispatch(Msg);
      if (!Destroyed() && FEditTransparent) Invalidate();
      return;
    case win::WM_LBUTTONUP:
      FDown = false;
      break;
    case win::WM_SETFONT:
      // The native edit resets its margins with every font: the text keeps
      // two pixels off the left edge whatever the font.
      ctl::TCustomMaskEdit::Dispatch(Msg);
      if (!Destroyed())
        Perform(win::EM_SETMARGINS, win::EC_LEFTMARGIN | win::EC_RIGHTMARGIN, win::LPARAM(win::MAKELPARAM(2, 0)));
      return;
    case win::WM_MOUSEMOVE:
      ctl::TCustomMaskEdit::Dispatch(Msg);
      if (!Destroyed() && FEditTransparent && FDown) Invalidate();
      return;
    case win::WM_CONTEXTMENU:
      if (PopupMenu) break;
      ShowContextMenu(int16_t(win::LOWORD(uintptr_t(Msg.LParam))), int16_t(win::HIWORD(uintptr_t(Msg.LParam))));
      Msg.Result = 1;
      return;
    case win::CN_CTLCOLOREDIT:
    case win::CN_CTLCOLORSTATIC:
      if (!FEditTransparent) break;
      // The background was drawn underneath: text only, in the font colour.
      gfx::SetBkMode(gfx::HDC(uint32_t(Msg.WParam)), gfx::TRANSPARENT);
      gfx::SetTextColor(gfx::HDC(uint32_t(Msg.WParam)), gfx::ColorToRef(Font()->Color()));
      Msg.Result = win::LRESULT(gfx::HGDIOBJ(gfx::GetStockObject(gfx::NULL_BRUSH)).v);
      return;
    case WM_FREE_EDIT_POPUP_MENU:
      if (FSysPopupMenu) cl::FreeAndNil(FSysPopupMenu);
      return;
    case win::CM_CANCELMODE:
      ctl::TCustomMaskEdit::Dispatch(Msg);
      if (!Destroyed()) OnEditCancelMode(reinterpret_cast<cl::TControl*>(Msg.LParam));
      return;
    default:
      break;
  }
  ctl::TCustomMaskEdit::Dispatch(Msg);
}

// ---------------------------------------------------------------------------
// Skinned edit.

TbsSkinCustomEdit::TbsSkinCustomEdit(cl::TComponent* AOwner) : TbsCustomEdit(AOwner) {
  ControlStyle |= cl::csOpaque;
  SetAutoSize(false);
  Font()->SetName("Arial");
  Font()->SetColor(gfx::clBlack);
  Font()->SetHeight(14);
  FDefaultFont.Assign(*Font());
  SetBorderStyle(cl::bsNone);
  SetHeight(20);
  FEditTransparent = true;
}

void TbsSkinCustomEdit::Destroy() { TbsCustomEdit::Destroy(); }

void TbsSkinCustomEdit::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsCustomEdit::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
  if (Operation == cl::opRemove && AComponent == FImages) SetImages(nullptr);
}

void TbsSkinCustomEdit::SetImages(cl::TCustomImageList* V) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = V;
  if (FImages) FImages->FreeNotification(this);
  PlaceImageButtons();
}
void TbsSkinCustomEdit::SetLeftImageIndex(int V) {
  FLeftImageIndex = V;
  PlaceImageButtons();
}
void TbsSkinCustomEdit::SetRightImageIndex(int V) {
  FRightImageIndex = V;
  PlaceImageButtons();
}

void TbsSkinCustomEdit::PlaceImageButtons() {
  LeftButton.R = RightButton.R = TRect();
  if (!FImages || !HandleAllocated()) return;
  TRect r = ClientRect();
  if (FLeftImageIndex >= 0) {
    LeftButton.R = TRect(r.Left, r.Top, r.Left + FImages->Width(), r.Bottom);
    r.Left += FImages->Width() + 2;
  }
  if (FRightImageIndex >= 0) {
    RightButton.R = TRect(r.Right - FImages->Width(), r.Top, r.Right, r.Bottom);
    r.Right -= FImages->Width() + 2;
  }
  win::SendMessage(Handle(), win::EM_SETRECT, 0, win::LPARAM(&r));
  Invalidate();
}

void TbsSkinCustomEdit::DrawImageButtons(gfx::TCanvas* C) {
  if (!FImages) return;
  auto draw = [&](const TImageButton& b, int normal, int hot, int down) {
    if (normal < 0 || b.R.Width() <= 0) return;
    int i = normal;
    if (b.Down && b.MouseIn && down >= 0 && down < FImages->Count())
      i = down;
    else if (b.MouseIn && hot >= 0 && hot < FImages->Count())
      i = hot;
    if (i >= FImages->Count()) return;
    const int y = std::max(int(b.R.Top), b.R.Top + b.R.Height() / 2 - FImages->Height() / 2);
    FImages->Draw(C, b.R.Left, y, i, Enabled());
  };
  draw(LeftButton, FLeftImageIndex, LeftImageHotIndex, LeftImageDownIndex);
  draw(RightButton, FRightImageIndex, RightImageHotIndex, RightImageDownIndex);
}

void TbsSkinCustomEdit::CreateParams(cl::TCreateParams& Params) {
  TbsCustomEdit::CreateParams(Params);
  Params.ExStyle &= ~win::WS_EX_TRANSPARENT;
  Params.Style &= ~win::WS_BORDER;
  Params.Style |= FEditAlignment == cl::taRightJustify ? win::ES_RIGHT
                  : FEditAlignment == cl::taCenter     ? win::ES_CENTER
                                                       : win::ES_LEFT;
}

void TbsSkinCustomEdit::SetSkinData(TbsSkinData* Value) {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (FSD) FSD->FreeNotification(this);
  if (FSD && !FSD->Empty) ChangeSkinData();
}

void TbsSkinCustomEdit::GetSkinData() {
  FIndex = -1;
  Picture = nullptr;
  if (!SkinUsable(FSD)) return;
  FIndex = FSD->GetControlIndex(FSkinDataName);
  auto* R = dynamic_cast<TbsDataSkinEditControl*>(SkinRecord(FSD, FIndex));
  // A record without a picture rectangle has no frame to size or draw.
  if (!R || Empty(R->SkinRect)) {
    FIndex = -1;
    return;
  }
  Picture = SkinPicture(FSD, R->PictureIndex);
  SkinRect = R->SkinRect;
  ActiveSkinRect = Empty(R->ActiveSkinRect) ? SkinRect : R->ActiveSkinRect;
  LOffset = R->LTPoint.X;
  ROffset = SkinRect.Width() - R->RTPoint.X;
  ClRect = R->ClRect;
  FontName = R->FontName;
  FontStyle = R->FontStyle;
  FontHeight = R->FontHeight;
  FontColor = R->FontColor;
  DisabledFontColor = R->DisabledFontColor;
  ActiveFontColor = R->ActiveFontColor;
  SButtonRect = R->ButtonRect;
  ActiveButtonRect = R->ActiveButtonRect;
  DownButtonRect = Empty(R->DownButtonRect) ? ActiveButtonRect : R->DownButtonRect;
  UnEnabledButtonRect = R->UnEnabledButtonRect;
  StretchEffect = R->StretchEffect;
}

void TbsSkinCustomEdit::CalcRects() {
  const int W = Width(), H = Height();
  if (FIndex == -1) {
    FButtonRect = FButtonMode ? TRect(W - H, 0, W, H) : TRect();
    FEditRect = FButtonMode ? TRect(2, 2, FButtonRect.Left - 2, H - 2) : TRect(2, 2, W - 2, H - 2);
    return;
  }
  const int dx = W - SkinRect.Width();
  FEditRect = ClRect;
  FEditRect.Right += dx;
  FButtonRect = FButtonMode ? SButtonRect : TRect();
  if (FButtonMode && SButtonRect.Left >= SkinRect.Width() - ROffset) gfx::OffsetRect(FButtonRect, dx, 0);
  if (!UseSkinFont) {
    FEditRect.Bottom += H - SkinRect.Height();
    FButtonRect.Bottom += H - SkinRect.Height();
  }
}

TRect TbsSkinCustomEdit::NCInsets() {
  GetSkinData();
  if (FIndex == -1) return TRect(2, 2, FButtonMode ? Height() + 2 : 2, 2);
  return TRect(ClRect.Left, ClRect.Top, SkinRect.Width() - ClRect.Right, SkinRect.Height() - ClRect.Bottom);
}

int TbsSkinCustomEdit::FontHeightNow() {
  gfx::TBitmap m;
  m.SetSize(1, 1);
  m.Canvas()->Font()->Assign(*Font());
  const int th = m.Canvas()->TextHeight("Wg");
  return th + (FIndex == -1 ? 4 : SkinRect.Height() - ClRect.Height());
}

void TbsSkinCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  GetSkinData();
  if ((AWidth != Width() || AHeight != Height()) && !(FIndex == -1 && UseSkinFont)) {
    if (!UseSkinFont)
      AHeight = FontHeightNow();
    else if (FIndex != -1)
      AHeight = SkinRect.Height();
  }
  // A centring tool bar places only aligned edits.
  if (Align() != cl::alNone) ATop = CentredTop(Parent(), ATop, AHeight);
  TbsCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  CalcRects();
  RepaintFrame();
}

void TbsSkinCustomEdit::SetDefaultFont(const gfx::TFont& V) {
  FDefaultFont.Assign(V);
  GetSkinData();
  if (FIndex == -1) Font()->Assign(V);
}
void TbsSkinCustomEdit::SetDefaultColor(gfx::TColor V) {
  FDefaultColor = V;
  GetSkinData();
  if (FIndex == -1) Invalidate();
}
void TbsSkinCustomEdit::SetDefaultWidth(int V) {
  FDefaultWidth = V;
  GetSkinData();
  if (FIndex == -1 && V > 0) SetWidth(V);
}
void TbsSkinCustomEdit::SetDefaultHeight(int V) {
  FDefaultHeight = V;
  GetSkinData();
  if (FIndex == -1 && V > 0 && UseSkinFont) SetHeight(V);
}
void TbsSkinCustomEdit::SetButtonMode(bool V) {
  FButtonMode = V;
  RecreateWnd();
  CalcRects();
  RepaintFrame();
}
void TbsSkinCustomEdit::SetEditAlignment(cl::TAlignment V) {
  if (V == FEditAlignment) return;
  FEditAlignment = V;
  RecreateWnd();
}

void TbsSkinCustomEdit::RepaintFrame() {
  if (Parent() && HandleAllocated()) win::SendMessage(Handle(), win::WM_NCPAINT, 0, 0);
}

void TbsSkinCustomEdit::ChangeSkinData() {
  GetSkinData();
  if (FIndex == -1) {
    Font()->Assign(FDefaultFont);
    if (FDefaultWidth > 0) SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0) SetHeight(FDefaultHeight);
  } else if (UseSkinFont) {
    Font()->SetName(FontName);
    Font()->SetStyle(FontStyle);
    Font()->SetHeight(FontHeight);
    TbsCustomEdit::SetBounds(Left(), Top(), Width(), SkinRect.Height());
  } else {
    Font()->Assign(FDefaultFont);
  }
  RecreateWnd();
  Font()->SetColor(FIndex == -1 ? FDefaultFont.Color() : Focused() ? ActiveFontColor : FontColor);
  if (!UseSkinFont) TbsCustomEdit::SetBounds(Left(), Top(), Width(), FontHeightNow());
  CalcRects();
  if (HandleAllocated())
    win::SetWindowPos(
        Handle(), nullptr, 0, 0, 0, 0,
        win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_FRAMECHANGED);
  RepaintFrame();
  Invalidate();
}

void TbsSkinCustomEdit::PaintFrame(gfx::TCanvas* Target) {
  const int W = Width(), H = Height();
  if (W <= 0 || H <= 0) return;
  GetSkinData();
  CalcRects();
  gfx::TBitmap B;
  DrawLook(&B, FMouseIn || Focused(), true);
  Target->Draw(0, 0, &B);
}

void TbsSkinCustomEdit::DrawLook(gfx::TBitmap* B, bool Hot, bool ButtonStates) {
  const int W = Width(), H = Height();
  B->SetSize(W, H);
  gfx::TCanvas* C = B->Canvas();
  const bool down = FButtonDown && FButtonActive;
  if (FIndex == -1 || !Picture) {
    TRect r(0, 0, W - FButtonRect.Width(), H);
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(FDefaultColor);
    C->FillRect(r);
    C->Brush()->SetColor(gfx::clBtnShadow);
    C->FrameRect(r);
    gfx::InflateRect(r, -1, -1);
    C->Brush()->SetColor(gfx::clBtnFace);
    C->FrameRect(r);
    if (FButtonMode) {
      C->Brush()->SetColor(down ? bsDownFillColor : FButtonActive ? bsHotFillColor : gfx::clBtnFace);
      C->FillRect(FButtonRect);
      C->Brush()->SetColor(FButtonActive ? bsHotFrameColor : gfx::clBtnShadow);
      C->FrameRect(FButtonRect);
    }
  } else if (UseSkinFont) {
    CreateHSkinImage(LOffset, ROffset, B, {Picture, Hot ? ActiveSkinRect : SkinRect}, W, SkinRect.Height(),
                     StretchEffect);
    C = B->Canvas();
    if (FButtonMode && ButtonStates) {
      TRect src;
      if (!Enabled() && !Empty(UnEnabledButtonRect))
        src = UnEnabledButtonRect;
      else if (down)
        src = DownButtonRect;
      else if (FButtonActive)
        src = ActiveButtonRect;
      if (!Empty(src)) C->CopyRect(FButtonRect, Picture->Canvas(), src);
    }
  } else {
    CreateSkinImageByClRect(B, {Picture, Hot ? ActiveSkinRect : SkinRect}, ClRect, false);
    if (FButtonMode) DrawResizableButton(B->Canvas(), down, FButtonActive);
  }
}

// The push button of an edit whose frame follows the control's size: built
// from the skin's resizable button record at the button's size.
void TbsSkinCustomEdit::DrawResizableButton(gfx::TCanvas* C, bool Down, bool Hot) {
  if (Empty(FButtonRect)) return;
  auto* R = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("editbutton")));
  if (!R) R = dynamic_cast<TbsDataSkinButtonControl*>(SkinRecord(FSD, FSD->GetControlIndex("resizebutton")));
  if (!R) return;
  gfx::TBitmap* P = SkinPicture(FSD, R->PictureIndex);
  if (!P) return;
  const TRect active = Empty(R->ActiveSkinRect) ? R->SkinRect : R->ActiveSkinRect;
  const TRect src = Down ? (Empty(R->DownSkinRect) ? active : R->DownSkinRect) : Hot ? active : R->SkinRect;
  TbsFrameGeometry g;
  g.CopyFrom(*R);
  int w = FButtonRect.Width(), h = FButtonRect.Height();
  g.ResizeMode = 1;
  g.CalcSize(w, h, true);
  gfx::TBitmap BB;
  CreateSkinImage(g.Src(), g.New(), &BB, {P, src}, FButtonRect.Width(), FButtonRect.Height(), true, g.Stretch());
  C->Draw(FButtonRect.Left, FButtonRect.Top, &BB);
}

gfx::TColor TbsSkinCustomEdit::DisabledTextColor() {
  GetSkinData();
  return FIndex == -1 ? gfx::clGrayText : DisabledFontColor;
}

void TbsSkinCustomEdit::PaintSkinTo(gfx::TCanvas* Target, int X, int Y, const std::string& AText) {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  CalcRects();
  gfx::TBitmap B;
  // The resting look: the normal strip, the button as the strip shows it.
  DrawLook(&B, false, false);
  gfx::TCanvas* C = B.Canvas();
  if (FIndex != -1 && UseSkinFont) {
    C->Font()->SetName(FontName);
    C->Font()->SetStyle(FontStyle);
    C->Font()->SetHeight(FontHeight);
    C->Font()->SetColor(FontColor);
  } else {
    C->Font()->Assign(FDefaultFont);
  }
  C->Brush()->SetStyle(gfx::bsClear);
  // The text keeps clear of the image buttons, as it does in the window.
  TRect area = FEditRect;
  if (FImages) {
    if (FLeftImageIndex >= 0) area.Left += FImages->Width() + 2;
    if (FRightImageIndex >= 0) area.Right -= FImages->Width() + 2;
  }
  const int tw = C->TextWidth(AText);
  const int x = FEditAlignment == cl::taRightJustify ? area.Right - tw
                : FEditAlignment == cl::taCenter     ? area.Left + 2 + area.Width() / 2 - tw / 2
                                                     : area.Left + 2;
  C->TextRect(area, x, area.Top, AText);
  Target->Draw(X, Y, &B);
}

void TbsSkinCustomEdit::Dispatch(cl::TMessage& Msg) {
  cl::Keep<TbsSkinCustomEdit> self(this);
  switch (Msg.Msg) {
    case win::WM_NCCALCSIZE: {
      const TRect in = NCInsets();
      auto* r = reinterpret_cast<win::RECT*>(Msg.LParam);
      if (Msg.WParam) r = &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(Msg.LParam)->rgrc[0];
      r->Left += in.Left;
      r->Top += in.Top;
      r->Right -= in.Right;
      r->Bottom -= in.Bottom;
      Msg.Result = 0;
      return;
    }
    case win::WM_NCPAINT: {
      gfx::HDC dc = win::GetWindowDC(Handle());
      gfx::TCanvas C;
      C.SetHandle(dc);
      CalcRects();
      gfx::ExcludeClipRect(dc, FEditRect.Left, FEditRect.Top, FEditRect.Right, FEditRect.Bottom);
      PaintFrame(&C);
      C.SetHandle(gfx::HDC());
      win::ReleaseDC(Handle(), dc);
      Msg.Result = 0;
      return;
    }
    case win::WM_ERASEBKGND: {
      // The text area's background: the skin's client strip or DefaultColor.
      gfx::TCanvas C;
      C.SetHandle(gfx::HDC(Msg.WParam));
      GetSkinData();
      CalcRects();
      const TRect area(0, 0, FEditRect.Width(), FEditRect.Height());
      if (area.Width() > 0 && area.Height() > 0) {
        if (FIndex == -1 || !Picture) {
          C.Brush()->SetStyle(gfx::bsSolid);
          C.Brush()->SetColor(FDefaultColor);
          C.FillRect(area);
        } else {
          const TRect base = FMouseIn || Focused() ? ActiveSkinRect : SkinRect;
          const TRect src(base.Left + ClRect.Left, base.Top + ClRect.Top, base.Left + ClRect.Right,
                          base.Top + ClRect.Bottom);
          gfx::TBitmap B;
          CreateHSkinImage(std::max(0, LOffset - ClRect.Left), std::max(0, ClRect.Right + ROffset - SkinRect.Width()),
                           &B, {Picture, src}, area.Width(), area.Height(), StretchEffect);
          if (UseSkinFont)
            C.Draw(0, 0, &B);
          else
            C.StretchDraw(area, &B);
        }
      }
      DrawImageButtons(&C);
      C.SetHandle(gfx::HDC());
      Msg.Result = 1;
      return;
    }
    case win::WM_NCHITTEST:
      if (FImages) {
        win::POINT p{int16_t(win::LOWORD(uintptr_t(Msg.LParam))), int16_t(win::HIWORD(uintptr_t(Msg.LParam)))};
        win::ScreenToClient(Handle(), &p);
        const bool inL = FLeftImageIndex >= 0 && gfx::PtInRect(LeftButton.R, TPoint(p.X, p.Y));
        const bool inR = FRightImageIndex >= 0 && gfx::PtInRect(RightButton.R, TPoint(p.X, p.Y));
        if (inL != LeftButton.MouseIn || inR != RightButton.MouseIn) {
          LeftButton.MouseIn = inL;
          RightButton.MouseIn = inR;
          Invalidate();
        }
        if (inL || inR) {
          Msg.Result = inL ? kHitLeftImage : kHitRightImage;
          return;
        }
      }
      if (FButtonMode) {
        CalcRects();
        win::POINT p{int16_t(win::LOWORD(uintptr_t(Msg.LParam))), int16_t(win::HIWORD(uintptr_t(Msg.LParam)))};
        win::ScreenToClient(Handle(), &p);
        const TRect in = NCInsets();
        const TPoint wp(p.X + in.Left, p.Y + in.Top);
        if (gfx::PtInRect(FButtonRect, wp)) {
          Msg.Result = win::HTHSCROLL;
          return;
        }
        if (!gfx::PtInRect(FEditRect, wp)) {
          Msg.Result = win::HTVSCROLL;
          return;
        }
      }
      break;
    case win::WM_NCLBUTTONDOWN:
    case win::WM_NCLBUTTONDBLCLK:
      if (Msg.WParam == kHitLeftImage || Msg.WParam == kHitRightImage) {
        (Msg.WParam == kHitLeftImage ? LeftButton : RightButton).Down = true;
        if (!Focused() && CanFocus()) SetFocus();
        Invalidate();
        return;
      }
      if (FButtonMode && Msg.WParam == win::HTHSCROLL) {
        FButtonDown = true;
        FButtonActive = true;
        RepaintFrame();
        return;
      }
      break;
    case win::WM_NCLBUTTONUP:
      if (Msg.WParam == kHitLeftImage || Msg.WParam == kHitRightImage) {
        const bool left = Msg.WParam == kHitLeftImage;
        TImageButton& b = left ? LeftButton : RightButton;
        const bool was = b.Down;
        LeftButton.Down = RightButton.Down = false;
        Invalidate();
        if (was) (left ? OnLeftButtonClick : OnRightButtonClick)(this);
        return;
      }
      if (LeftButton.Down || RightButton.Down) {
        LeftButton.Down = RightButton.Down = false;
        Invalidate();
      }
      if (FButtonMode && Msg.WParam == win::HTHSCROLL) {
        const bool was = FButtonDown;
        FButtonDown = false;
        RepaintFrame();
        if (!Focused() && CanFocus()) SetFocus();
        if (was && !Destroyed()) OnButtonClick(this);
        return;
      }
      break;
    case win::WM_NCMOUSEMOVE:
      if (FButtonMode) {
        const bool on = Msg.WParam == win::HTHSCROLL;
        if (on != FButtonActive) {
          FButtonActive = on;
          RepaintFrame();
          Invalidate();
        }
        if (on) return;
      }
      break;
    case win::WM_MOUSEMOVE:
      // From the button straight into the text: no non-client move comes
      // between, so the button would stay lit.
      if (FButtonActive) {
        FButtonActive = false;
        RepaintFrame();
      }
      break;
    case win::CM_MOUSEENTER:
      TbsCustomEdit::Dispatch(Msg);
      FMouseIn = true;
      if (!Focused() && FIndex != -1) {
        Font()->SetColor(ActiveFontColor);
        RepaintFrame();
        Invalidate();
      }
      OnMouseEnter(this);
      return;
    case win::CM_MOUSELEAVE:
      TbsCustomEdit::Dispatch(Msg);
      FMouseIn = false;
      if (!Focused() && FIndex != -1) {
        Font()->SetColor(FontColor);
        RepaintFrame();
        Invalidate();
      }
      if (FButtonActive || FButtonDown) {
        FButtonActive = FButtonDown = false;
        RepaintFrame();
      }
      if (LeftButton.MouseIn || RightButton.MouseIn) {
        LeftButton.MouseIn = RightButton.MouseIn = false;
        Invalidate();
      }
      OnMouseLeave(this);
      return;
    case win::WM_SETFOCUS:
    case win::WM_KILLFOCUS:
      TbsCustomEdit::Dispatch(Msg);
      if (Destroyed()) return;
      GetSkinData();
      if (FIndex != -1 && !FMouseIn) Font()->SetColor(Msg.Msg == win::WM_SETFOCUS ? ActiveFontColor : FontColor);
      RepaintFrame();
      Invalidate();
      return;
    case win::WM_SIZE:
      TbsCustomEdit::Dispatch(Msg);
      if (Destroyed()) return;
      PlaceImageButtons();
      RepaintFrame();
      return;
    case win::CM_FONTCHANGED:
      TbsCustomEdit::Dispatch(Msg);
      if (Destroyed() || UseSkinFont) return;
      // The height follows the font; without a record the window is made
      // again so that the native edit takes the new metrics.
      GetSkinData();
      SetHeight(FontHeightNow());
      if (FIndex == -1) RecreateWnd();
      return;
    case CM_PAINT_FRAME_TO_DC:
      if (Msg.WParam) {
        gfx::TCanvas C;
        C.SetHandle(gfx::HDC(uint32_t(Msg.WParam)));
        PaintFrame(&C);
        C.SetHandle(gfx::HDC());
      }
      Msg.Result = kPaintFrameAnswer;
      return;
    case WM_PAINT_FRAME_TO_DC2:
      if (Msg.LParam != PAINT_TO_DC2_KEY) break;
      if (Msg.WParam) {
        const gfx::HDC dc(uint32_t(Msg.WParam));
        const int saved = gfx::SaveDC(dc);
        CalcRects();
        gfx::ExcludeClipRect(dc, FEditRect.Left, FEditRect.Top, FEditRect.Right, FEditRect.Bottom);
        gfx::TCanvas C;
        C.SetHandle(dc);
        PaintFrame(&C);
        C.SetHandle(gfx::HDC());
        gfx::RestoreDC(dc, saved);
      }
      Msg.Result = PAINT_TO_DC2_KEY;
      return;
    case win::WM_LBUTTONUP:
      // A press on an image button let go over the text: no click.
      if (LeftButton.Down || RightButton.Down) {
        LeftButton.Down = RightButton.Down = false;
        Invalidate();
      }
      break;
    default:
      break;
  }
  TbsCustomEdit::Dispatch(Msg);
}

// ---------------------------------------------------------------------------
// Numeric edit.

bool NumEditAccepts(bool Float, bool EditorEnabled, const std::u32string& Text, char32_t Key,
                    char32_t DecimalSeparator) {
  bool ok = (Key < 32 && Key != 13) || Key == U'-' || (Key >= U'0' && Key <= U'9') ||
            (Float && Key <= 255 && Key == DecimalSeparator);
  if (ok && !EditorEnabled && (Key >= 32 || Key == 8 || Key == 46)) ok = false;
  if (ok && Float && Key == DecimalSeparator && Text.find(DecimalSeparator) != std::u32string::npos) ok = false;
  if (ok && Key == U'-' && Text.find(U'-') != std::u32string::npos) ok = false;
  return ok;
}

TbsSkinNumEdit::TbsSkinNumEdit(cl::TComponent* AOwner) : TbsCustomEdit(AOwner) {}

void TbsSkinNumEdit::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  if (Key == win::VK_UP) {
    OnUpClick(this);
    Key = 0;
    return;
  }
  if (Key == win::VK_DOWN) {
    OnDownClick(this);
    Key = 0;
    return;
  }
  TbsCustomEdit::KeyDown(Key, Shift);
}

void TbsSkinNumEdit::KeyPress(char32_t& Key) {
  if (Key != 0 && !NumEditAccepts(Float, EditorEnabled, rtl::ToUtf32(Text()), Key, DecimalSeparator)) {
    rtl::MessageBeep(0);
    Key = 0;
  }
  if (Key != 0) TbsCustomEdit::KeyPress(Key);
}

void TbsSkinNumEdit::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == win::CM_MOUSEENTER || Msg.Msg == win::CM_MOUSELEAVE) {
    TbsCustomEdit::Dispatch(Msg);
    if (Destroyed()) return;
    (Msg.Msg == win::CM_MOUSEENTER ? OnMouseEnter : OnMouseLeave)(this);
    return;
  }
  if (Msg.Msg == win::WM_MOUSEWHEEL) {
    // The wheel runs the opposite way to the arrow keys here.
    if (int16_t(win::HIWORD(uintptr_t(Msg.WParam))) > 0)
      OnDownClick(this);
    else
      OnUpClick(this);
    Msg.Result = 1;
    return;
  }
  TbsCustomEdit::Dispatch(Msg);
}

}  // namespace skin
