#include "skin/inputs/bsSkinScrollBox.h"

#include <algorithm>

#include "platform/gfx/dc.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"

namespace skin {

using namespace win;

TbsSkinScrollBox::TbsSkinScrollBox(cl::TComponent* AOwner) : TbsSkinCustomControl(AOwner) {
  ControlStyle |= cl::csAcceptsControls;
  FSkinDataName = "scrollbox";
  SetBounds(Left(), Top(), 150, 150);
}

void TbsSkinScrollBox::CreateParams(cl::TCreateParams& Params) {
  TbsSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TbsSkinScrollBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
}

void TbsSkinScrollBox::SetVScrollBar(TbsSkinScrollBar* Value) {
  FVScrollBar = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetCanFocused(false);
    Value->OnChange = rtl::TNotifyEvent(this, &TbsSkinScrollBox::VBarChange);
    Value->OnLastChange = rtl::TNotifyEvent(this, &TbsSkinScrollBox::BarLastChange);
    Value->SetEnabled(true);
    Value->SetVisible(false);
  }
  GetVRange();
}

void TbsSkinScrollBox::SetHScrollBar(TbsSkinScrollBar* Value) {
  FHScrollBar = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetCanFocused(false);
    Value->OnChange = rtl::TNotifyEvent(this, &TbsSkinScrollBox::HBarChange);
    Value->OnLastChange = rtl::TNotifyEvent(this, &TbsSkinScrollBox::BarLastChange);
    Value->SetEnabled(true);
    Value->SetVisible(false);
  }
  GetHRange();
}

void TbsSkinScrollBox::SetBorderStyle(TbsSkinBorderStyle Value) {
  FBorderStyle = Value;
  FrameChanged();
}

void TbsSkinScrollBox::FrameChanged() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Invalidate();
}

void TbsSkinScrollBox::UpDateScrollRange() {
  GetHRange();
  GetVRange();
}

void TbsSkinScrollBox::GetHRange() { GetRange(false); }
void TbsSkinScrollBox::GetVRange() { GetRange(true); }

void TbsSkinScrollBox::MoveContent(int dx, int dy) {
  ScrollBy(dx, dy);
  if (FIndex != -1 && G.StretchEffect) Repaint();
}

void TbsSkinScrollBox::GetRange(bool V) {
  TbsSkinScrollBar* bar = V ? FVScrollBar : FHScrollBar;
  if (!bar || FInCheckScrollBars || !Parent()) return;
  int CH = V ? ClientHeight() : ClientWidth();
  // The content's bottom (right) edge as it stands, scrolled: it may lie
  // above the view when everything left there is scrolled out, and counting
  // it as 0 would keep a bar for content that now fits.
  int M = 0;
  bool any = false;
  for (int i = 0; i < ControlCount(); ++i) {
    cl::TControl* c = Controls(i);
    if (!c->Visible()) continue;
    int e = V ? c->Top() + c->Height() : c->Left() + c->Width();
    M = any ? std::max(M, e) : e;
    any = true;
  }
  int P = bar->Position();
  int& sizeOff = V ? FVSizeOffset : FHSizeOffset;
  int& oldPos = V ? FOldVScrollBarPos : FOldHScrollBarPos;
  auto move = [&](int d) { MoveContent(V ? 0 : d, V ? d : 0); };
  bool show = bar->Visible();
  if (CH < M + P) {
    show = true;
    int Max = M + P - 1;
    if (P > 0 && M < CH && sizeOff > 0) {
      sizeOff = std::min(sizeOff, P);
      bar->SetRange(0, Max, P - sizeOff, CH);
      move(sizeOff);
    } else if (sizeOff == 0 && Max < bar->Max() && P > 0 && M < CH) {
      int d = std::min(CH - M, P);
      move(d);
      bar->SetRange(0, Max, P - d, CH);
    } else {
      bar->SetRange(0, Max, P, CH);
    }
    sizeOff = 0;
    oldPos = bar->Position();
  } else {
    if (P > 0) move(P);
    sizeOff = 0;
    oldPos = 0;
    bar->SetRange(0, 0, 0, 0);
    show = false;
  }
  if (show != bar->Visible()) {
    FInCheckScrollBars = true;
    bar->SetVisible(show);
    if (Align() != cl::alNone) {
      Parent()->Realign();
      Realign();
    }
    FInCheckScrollBars = false;
  }
  if (FVScrollBar && FHScrollBar) FHScrollBar->SetBoth(FVScrollBar->Visible());
}

void TbsSkinScrollBox::VBarChange(rtl::TObject*) {
  if (!FVScrollBar) return;
  int p = FVScrollBar->Position();
  MoveContent(0, -(p - FOldVScrollBarPos));
  FOldVScrollBarPos = p;
}

void TbsSkinScrollBox::HBarChange(rtl::TObject*) {
  if (!FHScrollBar) return;
  int p = FHScrollBar->Position();
  MoveContent(-(p - FOldHScrollBarPos), 0);
  FOldHScrollBarPos = p;
}

void TbsSkinScrollBox::BarLastChange(rtl::TObject*) { Invalidate(); }

// The bar's change handler moves the children once, by the difference.
void TbsSkinScrollBox::HScroll(int APosition) {
  if (FHScrollBar && FHScrollBar->PageSize() != 0) FHScrollBar->SetPosition(APosition);
}

void TbsSkinScrollBox::VScroll(int APosition) {
  if (!FVScrollBar || FVScrollBar->PageSize() == 0) return;
  FVScrollBar->SetPosition(std::min(APosition, FVScrollBar->Max() - FVScrollBar->PageSize()));
}

void TbsSkinScrollBox::AdjustClientRect(TRect& Rect) {
  bool h = FHScrollBar && FHScrollBar->Visible(), v = FVScrollBar && FVScrollBar->Visible();
  int hp = h ? FHScrollBar->Position() : 0, vp = v ? FVScrollBar->Position() : 0;
  int w = std::max(h ? FHScrollBar->Max() : 0, ClientWidth());
  int ht = std::max(v ? FVScrollBar->Max() : 0, ClientHeight());
  Rect = {-hp, -vp, -hp + w, -vp + ht};
  TbsSkinCustomControl::AdjustClientRect(Rect);
}

void TbsSkinScrollBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  int ow = Width(), oh = Height();
  TbsSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  FHSizeOffset = (ow > 0 && Width() > ow) ? Width() - ow : 0;
  // Ranges follow every size change: an unaligned box too, measured after
  // the change rather than before it.
  GetHRange();
  FVSizeOffset = (oh > 0 && Height() > oh) ? Height() - oh : 0;
  GetVRange();
}

void TbsSkinScrollBox::GetSkinData() {
  TbsSkinCustomControl::GetSkinData();
  FBGPictureIndex = -1;
  if (auto* R = dynamic_cast<TbsDataSkinScrollBoxControl*>(SkinRecord(FSD, FIndex)))
    FBGPictureIndex = R->BGPictureIndex;
  if (!SkinPicture(FSD, FBGPictureIndex)) FBGPictureIndex = -1;
}

void TbsSkinScrollBox::ChangeSkinData() {
  TbsSkinCustomControl::ChangeSkinData();
  FrameChanged();
  if (FVScrollBar) FVScrollBar->SetAlign(FVScrollBar->Align());
  if (FHScrollBar) FHScrollBar->SetAlign(FHScrollBar->Align());
  UpDateScrollRange();
}

TRect TbsSkinScrollBox::FrameInsets() {
  GetSkinData();
  if (FBorderStyle == bvNone) return {0, 0, 0, 0};
  if (FIndex == -1 || !Picture) return {1, 1, 1, 1};
  if (FBGPictureIndex != -1) return {0, 0, 0, 0};
  return {G.ClRect.Left, G.ClRect.Top, RectWidth(G.SkinRect) - G.ClRect.Right,
          RectHeight(G.SkinRect) - G.ClRect.Bottom};
}

void TbsSkinScrollBox::PaintFrame(gfx::HDC DC) {
  GetSkinData();
  if (FBGPictureIndex != -1 || FBorderStyle == bvNone) return;
  gfx::TCanvas C;
  C.SetHandle(DC);
  int W = Width(), H = Height();
  if (FIndex == -1 || !Picture) {
    gfx::TColor tl = gfx::clBtnShadow, br = gfx::clBtnShadow;
    if (FBorderStyle == bvRaised) br = gfx::clBtnHighlight;
    if (FBorderStyle == bvLowered) {
      tl = gfx::clBtnHighlight;
      br = gfx::clBtnShadow;
    }
    C.Brush()->SetStyle(gfx::bsSolid);
    C.Brush()->SetColor(tl);
    C.FillRect({0, 0, W, 1});
    C.FillRect({0, 0, 1, H});
    C.Brush()->SetColor(br);
    C.FillRect({0, H - 1, W, H});
    C.FillRect({W - 1, 0, W, H});
  } else {
    int w = W, h = H;
    CalcSize(w, h);
    gfx::TBitmap L, T, R, B;
    CreateSkinBorderImages(G.Src(), G.New(), {&L, &T, &R, &B}, {Picture, G.SkinRect}, W, H, G.Stretch());
    C.Draw(0, 0, &T);
    C.Draw(0, T.Height(), &L);
    C.Draw(W - R.Width(), T.Height(), &R);
    C.Draw(0, H - B.Height(), &B);
  }
  C.SetHandle({});
}

void TbsSkinScrollBox::Paint() {
  GetSkinData();
  gfx::TCanvas* C = Canvas();
  if (FIndex == -1 || !Picture) {
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(ClientRect());
    return;
  }
  gfx::TBitmap Tile;
  gfx::TBitmap* tile = SkinPicture(FSD, FBGPictureIndex);
  bool client = tile == nullptr;
  if (client) {
    int cw = RectWidth(G.ClRect), ch = RectHeight(G.ClRect);
    if (cw <= 0 || ch <= 0) return;
    Tile.SetSize(cw, ch);
    TRect src{G.SkinRect.Left + G.ClRect.Left, G.SkinRect.Top + G.ClRect.Top, G.SkinRect.Left + G.ClRect.Right,
              G.SkinRect.Top + G.ClRect.Bottom};
    Tile.Canvas()->CopyRect({0, 0, cw, ch}, Picture->Canvas(), src);
    tile = &Tile;
  }
  int tw = tile->Width(), th = tile->Height();
  if (tw <= 0 || th <= 0) return;
  gfx::HDC dc = C->Handle();
  int saved = gfx::SaveDC(dc);
  TRect CR = ClientRect();
  gfx::IntersectClipRect(dc, CR.Left, CR.Top, CR.Right, CR.Bottom);
  int W = Width(), H = Height();
  if (G.StretchEffect && W > 0 && H > 0) {
    switch (G.StretchType) {
      case bsstFull:
        C->StretchDraw({0, 0, W, H}, tile);
        break;
      case bsstHorz: {
        gfx::TBitmap S;
        S.SetSize(tw, H);
        S.Canvas()->StretchDraw({0, 0, tw, H}, tile);
        for (int i = 0; i <= W / tw; ++i) C->Draw(i * tw, 0, &S);
        break;
      }
      default: {
        gfx::TBitmap S;
        S.SetSize(W, th);
        S.Canvas()->StretchDraw({0, 0, W, th}, tile);
        for (int j = 0; j <= H / th; ++j) C->Draw(0, j * th, &S);
        break;
      }
    }
  } else {
    int aw = client ? ClientWidth() : W, ah = client ? ClientHeight() : H;
    for (int i = 0; i <= aw / tw; ++i)
      for (int j = 0; j <= ah / th; ++j) C->Draw(i * tw, j * th, tile);
  }
  gfx::RestoreDC(dc, saved);
}

void TbsSkinScrollBox::WndProc(cl::TMessage& Msg) {
  if ((Msg.Msg == WM_LBUTTONDOWN || Msg.Msg == WM_LBUTTONDBLCLK) && FCanFocused && !Focused()) {
    FClicksDisabled = true;
    SetFocus();
    FClicksDisabled = false;
    if (!Focused()) return;
  }
  if (Msg.Msg == CN_COMMAND && FClicksDisabled) return;
  TbsSkinCustomControl::WndProc(Msg);
}

void TbsSkinScrollBox::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_NCCALCSIZE: {
      TRect I = FrameInsets();
      if (Msg.LParam) {
        auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(Msg.LParam);
        p->rgrc[0].Left += I.Left;
        p->rgrc[0].Top += I.Top;
        p->rgrc[0].Right -= I.Right;
        p->rgrc[0].Bottom -= I.Bottom;
      }
      Msg.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      gfx::HDC dc = GetWindowDC(Handle());
      if (dc) {
        PaintFrame(dc);
        ReleaseDC(Handle(), dc);
      }
      return;
    }
    case WM_SIZE:
      TbsSkinCustomControl::Dispatch(Msg);
      SendMessage(Handle(), WM_NCPAINT, 0, 0);
      return;
    case WM_ERASEBKGND:
      Msg.Result = 1;
      return;
    case CM_VISIBLECHANGED:
      TbsSkinCustomControl::Dispatch(Msg);
      if (FVScrollBar) FVScrollBar->SetVisible(Visible());
      if (FHScrollBar) FHScrollBar->SetVisible(Visible());
      return;
    case CM_PAINT_FRAME_TO_DC:
      GetSkinData();
      if (Msg.WParam && FBGPictureIndex == -1 && FBorderStyle != bvNone) {
        PaintFrame(gfx::HDC(uint32_t(Msg.WParam)));
        Msg.Result = kPaintFrameAnswer;
      } else {
        Msg.Result = 0;
      }
      return;
  }
  TbsSkinCustomControl::Dispatch(Msg);
}

}  // namespace skin
