#include "skin/controls/bsSkinControls.h"

#include <vector>

#include "platform/gfx/dc.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsMaskRegions.h"

namespace skin {

using namespace win;

int CentredTop(cl::TWinControl* Parent, int ATop, int AHeight) {
  auto* c = dynamic_cast<TbsCentringParent*>(Parent);
  if (!c || !c->AdjustsControls()) return ATop;
  TRect R = c->GetSkinClientRect();
  return R.Top + RectHeight(R) / 2 - AHeight / 2;
}

void SkinChangeWalk(cl::TWinControl* Root, unsigned Msg, TbsSkinData* Store) {
  if (!Root || (Msg != WM_BEFORE_CHANGE_SKIN_DATA && Msg != WM_CHANGE_SKIN_DATA)) return;
  std::vector<cl::TControl*> kids;
  for (int i = 0; i < Root->ControlCount(); ++i) kids.push_back(Root->Controls(i));
  for (cl::TControl* c : kids) {
    cl::Keep<cl::TControl> keep(c);
    if (Msg == WM_BEFORE_CHANGE_SKIN_DATA) {
      if (auto* s = dynamic_cast<TbsSkinControl*>(c); s && Store && s->SkinData() == Store) s->BeforeChangeSkinData();
    } else if (auto* s = dynamic_cast<TbsSkinChangeable*>(c); s && (!Store || s->SkinData() == Store)) {
      s->ChangeSkinData();
    }
    if (c->Destroyed()) continue;
    if (auto* w = dynamic_cast<cl::TWinControl*>(c)) SkinChangeWalk(w, Msg, Store);
  }
}

gfx::TBitmap* SkinPicture(TbsSkinData* SD, int Index) {
  if (!SD || Index < 0 || size_t(Index) >= SD->FActivePictures.size()) return nullptr;
  return SD->FActivePictures[size_t(Index)].get();
}

TbsDataSkinControl* SkinRecord(TbsSkinData* SD, int Index) {
  if (!SD || Index < 0 || size_t(Index) >= SD->CtrlList.size()) return nullptr;
  return SD->CtrlList[size_t(Index)].get();
}

// ============================================================================ frame geometry

void TbsFrameGeometry::CopyFrom(const TbsDataSkinCustomControl& R) {
  LTPt = R.LTPoint;
  RTPt = R.RTPoint;
  LBPt = R.LBPoint;
  RBPt = R.RBPoint;
  SkinRect = R.SkinRect;
  StretchEffect = R.StretchEffect;
  StretchType = R.StretchType;
  LeftStretch = R.LeftStretch;
  TopStretch = R.TopStretch;
  RightStretch = R.RightStretch;
  BottomStretch = R.BottomStretch;
  ClRect = R.ClRect;
}

int TbsFrameGeometry::CalcResizeMode() const {
  if (IsNullRect(SkinRect)) return -1;
  if (RBPt.X != 0 && RBPt.Y != 0) return 1;
  if (RTPt.X != 0 || RTPt.Y != 0) return 2;
  if (LBPt.X != 0 || LBPt.Y != 0) return 3;
  return 0;
}

void TbsFrameGeometry::CalcSize(int& AWidth, int& AHeight, bool HasRecord) {
  int SW = RectWidth(SkinRect), SH = RectHeight(SkinRect);
  switch (ResizeMode) {
    case 0:
      if (HasRecord) {
        AWidth = SW;
        AHeight = SH;
        NewClRect = ClRect;
      }
      return;
    case 1:
    case 2:
    case 3:
      break;
    default:
      return;
  }
  int dW = AWidth - SW, dH = AHeight - SH;
  NewLTPoint = LTPt;
  switch (ResizeMode) {
    case 1:
      NewRTPoint = {RTPt.X + dW, RTPt.Y};
      NewLBPoint = {LBPt.X, LBPt.Y + dH};
      NewRBPoint = {RBPt.X + dW, RBPt.Y + dH};
      NewClRect = {ClRect.Left, ClRect.Top, ClRect.Right + dW, ClRect.Bottom + dH};
      break;
    case 2:
      AHeight = SH;
      NewRTPoint = {RTPt.X + dW, RTPt.Y};
      NewClRect = {ClRect.Left, ClRect.Top, ClRect.Right + dW, ClRect.Bottom};
      break;
    case 3:
      AWidth = SW;
      NewLBPoint = {LBPt.X, LBPt.Y + dH};
      NewClRect = {ClRect.Left, ClRect.Top, ClRect.Right, ClRect.Bottom + dH};
      break;
  }
}

TRect TbsFrameGeometry::CalcRealRect(const TRect& R, int Width, int Height) const {
  int SW = RectWidth(SkinRect), SH = RectHeight(SkinRect);
  int dW = Width - SW, dH = Height - SH;
  auto moved = [](TRect r, int dx, int dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; };
  TRect Res = R;
  switch (ResizeMode) {
    case 1: {
      TRect LT{0, 0, LTPt.X, LTPt.Y}, RT{RTPt.X, 0, SW, RTPt.Y}, LB{0, LBPt.Y, LBPt.X, SH}, RB{RBPt.X, RBPt.Y, SW, SH};
      // Half-open: a rectangle whose corners both lie in one corner area.
      auto inArea = [&](const TRect& A) {
        return PointInRectHalfOpen(A, {R.Left, R.Top}) && PointInRectHalfOpen(A, {R.Right, R.Bottom});
      };
      TPoint TL{R.Left, R.Top}, BR{R.Right, R.Bottom};
      if (inArea(LT)) {
      } else if (inArea(RT)) {
        Res = moved(R, dW, 0);
      } else if (inArea(LB)) {
        Res = moved(R, 0, dH);
      } else if (inArea(RB)) {
        Res = moved(R, dW, dH);
      } else if (RectContainsPoint(LT, TL) && RectContainsPoint(RB, BR)) {
        Res.Right += dW;
        Res.Bottom += dH;
      } else if (RectContainsPoint(LT, TL) && RectContainsPoint(RT, BR)) {
        Res.Right += dW;
      } else if (RectContainsPoint(LB, TL) && RectContainsPoint(RB, BR)) {
        Res.Right += dW;
        Res = moved(Res, 0, dH);
      } else if (RectContainsPoint(LT, TL) && RectContainsPoint(LB, BR)) {
        Res.Bottom += dH;
      } else if (RectContainsPoint(RT, TL) && RectContainsPoint(RB, BR)) {
        Res = moved(Res, dW, 0);
        Res.Bottom += dH;
      }
      return Res;
    }
    case 2:
      if (R.Left <= LTPt.X && R.Right >= RTPt.X)
        Res.Right += dW;
      else if (R.Left >= RTPt.X && R.Right > RTPt.X)
        Res = moved(R, dW, 0);
      return Res;
    case 3:
      if (R.Top <= LTPt.Y && R.Bottom >= LBPt.Y)
        Res.Bottom += dH;
      else if (R.Top >= LBPt.Y && R.Bottom > LBPt.Y)
        Res = moved(R, 0, dH);
      return Res;
    default:
      return Res;
  }
}

void TbsFrameGeometry::CreateSkinRectImage(gfx::TBitmap* B, gfx::TBitmap* P, const TRect& R, int Width, int Height,
                                           bool NinePart) const {
  if (!P) return;
  TbsPictureRect Source{P, R};
  switch (ResizeMode) {
    case 0:
      B->SetSize(RectWidth(R), RectHeight(R));
      B->Canvas()->CopyRect({0, 0, RectWidth(R), RectHeight(R)}, P->Canvas(), R);
      break;
    case 1:
      if (NinePart) CreateSkinImage(Src(), New(), B, Source, Width, Height, true, Stretch());
      break;
    case 2:
      CreateHSkinImage(LTPt.X, RectWidth(SkinRect) - RTPt.X, B, Source, Width, Height, StretchEffect);
      break;
    case 3:
      CreateVSkinImage(LTPt.Y, RectHeight(SkinRect) - LBPt.Y, B, Source, Width, Height, StretchEffect);
      break;
    default:
      break;
  }
}

// ============================================================================ TbsSkinControl

TbsSkinControl::TbsSkinControl(cl::TComponent* AOwner) : cl::TCustomControl(AOwner) {}

void TbsSkinControl::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = nullptr;
  cl::TCustomControl::Destroy();
}

void TbsSkinControl::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) Value->FreeNotification(this);
  if (Value && !Value->Empty) ChangeSkinData();
}

void TbsSkinControl::SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }

void TbsSkinControl::GetSkinData() { FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1; }

void TbsSkinControl::ChangeSkinData() {
  GetSkinData();
  Repaint();
}

void TbsSkinControl::BeforeChangeSkinData() { FIndex = -1; }

void TbsSkinControl::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TCustomControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
  if (Operation == cl::opRemove && AComponent == HintImageList) HintImageList = nullptr;
}

void TbsSkinControl::PaintOffscreen() {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  if (FIndex == -1)
    CreateControlDefaultImage(&B);
  else
    CreateControlSkinImage(&B);
  Canvas()->Draw(0, 0, &B);
}

void TbsSkinControl::Paint() { PaintOffscreen(); }

void TbsSkinControl::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case WM_PAINT:
      WMPaint(Msg);
      return;
    case WM_ERASEBKGND:
      WMEraseBkgnd(Msg);
      return;
    case WM_MOVE:
      WMMove(Msg);
      return;
    case WM_PARENT_BG_CHANGED:
      WMParentBGChanged(Msg);
      return;
    case CM_MOUSEENTER:
      CMMouseEnter(Msg);
      return;
    case CM_MOUSELEAVE:
      CMMouseLeave(Msg);
      return;
  }
  cl::TCustomControl::Dispatch(Msg);
}

void TbsSkinControl::WMPaint(cl::TMessage& Msg) {
  FromWMPaint = true;
  struct Reset {
    bool& f;
    ~Reset() { f = false; }
  } reset{FromWMPaint};
  cl::TCustomControl::Dispatch(Msg);
}

void TbsSkinControl::WMEraseBkgnd(cl::TMessage& Msg) {
  // Paint covers the whole client: erasing would only flicker.
  Msg.Result = 1;
}

void TbsSkinControl::WMMove(cl::TMessage& Msg) { cl::TCustomControl::Dispatch(Msg); }

void TbsSkinControl::WMParentBGChanged(cl::TMessage& Msg) {
  (void)Msg;
  CheckParentBackground();
}

void TbsSkinControl::CMMouseEnter(cl::TMessage& Msg) {
  cl::TCustomControl::Dispatch(Msg);
  OnMouseEnter(this);
}

void TbsSkinControl::CMMouseLeave(cl::TMessage& Msg) {
  cl::TCustomControl::Dispatch(Msg);
  OnMouseLeave(this);
}

// ============================================================================ TbsSkinCustomControl

TbsSkinCustomControl::TbsSkinCustomControl(cl::TComponent* AOwner) : TbsSkinControl(AOwner) {
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetStyle({});
  FDefaultFont.SetHeight(14);
  FDefaultFont.OnChange = [this](rtl::TObject*) {
    DefaultFontChanged();
    if (FIndex == -1) Repaint();
  };
}

void TbsSkinCustomControl::SetDefaultWidth(int Value) {
  FDefaultWidth = Value;
  if (FIndex == -1 && Value > 0) SetWidth(Value);
}

void TbsSkinCustomControl::SetDefaultHeight(int Value) {
  FDefaultHeight = Value;
  if (FIndex == -1 && Value > 0) SetHeight(Value);
}

void TbsSkinCustomControl::SetDefaultFont(const gfx::TFont& Value) {
  FDefaultFont.Assign(Value);
  DefaultFontChanged();
}

void TbsSkinCustomControl::GetSkinData() {
  TbsSkinControl::GetSkinData();
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinCustomControl*>(SkinRecord(FSD, FIndex));
  if (!R) {
    G.ResizeMode = 0;
    Picture = nullptr;
    MaskPicture = nullptr;
    return;
  }
  G.CopyFrom(*R);
  Picture = SkinPicture(FSD, R->PictureIndex);
  MaskPicture = SkinPicture(FSD, R->MaskPictureIndex);
  G.ResizeMode = G.CalcResizeMode();
  // A frame record without a picture has nothing to build its image from:
  // the control keeps its default look (and size rules) instead.
  if (!Picture && G.ResizeMode != -1) {
    FIndex = -1;
    MaskPicture = nullptr;
  }
}

void TbsSkinCustomControl::CalcSize(int& AWidth, int& AHeight) { G.CalcSize(AWidth, AHeight, FIndex != -1); }

void TbsSkinCustomControl::CreateSkinRectImage(gfx::TBitmap* B, gfx::TBitmap* P, const TRect& R) {
  G.CreateSkinRectImage(B, P, R, Width(), Height(), !FForceBackground);
}

void TbsSkinCustomControl::CreateControlSkinImage(gfx::TBitmap* B) { CreateSkinRectImage(B, Picture, G.SkinRect); }

void TbsSkinCustomControl::CreateControlDefaultImage(gfx::TBitmap* B) {
  B->Canvas()->Brush()->SetStyle(gfx::bsSolid);
  B->Canvas()->Brush()->SetColor(gfx::clBtnFace);
  B->Canvas()->FillRect({0, 0, B->Width(), B->Height()});
}

void TbsSkinCustomControl::Paint() {
  if (Width() < 1 || Height() < 1) return;
  GetSkinData();
  int w = Width(), h = Height();
  CalcSize(w, h);
  if (FIndex == -1 || !FForceBackground || G.ResizeMode != 1) {
    PaintOffscreen();
    return;
  }
  PaintForceBackground();
}

void TbsSkinCustomControl::PaintForceBackground() {
  int W = Width(), H = Height();
  gfx::TBitmap L, T, R, B;
  CreateSkinBorderImages(G.Src(), G.New(), {&L, &T, &R, &B}, {Picture, G.SkinRect}, W, H, G.Stretch());
  CreateControlSkinImage(&T);
  gfx::TCanvas* C = Canvas();
  TRect NC = G.NewClRect;
  int cw = RectWidth(G.ClRect), ch = RectHeight(G.ClRect);
  // A record without a client area has nothing to tile or stretch.
  if (FDrawbackground && cw > 0 && ch > 0) {
    gfx::TBitmap CB;
    CB.SetSize(cw, ch);
    TRect src{G.SkinRect.Left + G.ClRect.Left, G.SkinRect.Top + G.ClRect.Top, G.SkinRect.Left + G.ClRect.Right,
              G.SkinRect.Top + G.ClRect.Bottom};
    CB.Canvas()->CopyRect({0, 0, cw, ch}, Picture->Canvas(), src);
    gfx::HDC dc = C->Handle();
    int saved = gfx::SaveDC(dc);
    try {
      gfx::IntersectClipRect(dc, NC.Left, NC.Top, NC.Right, NC.Bottom);
      int nw = RectWidth(NC), nh = RectHeight(NC);
      if (G.StretchEffect && !IsNullRect(NC)) {
        switch (G.StretchType) {
          case bsstFull:
            C->StretchDraw(NC, &CB);
            break;
          case bsstHorz: {
            gfx::TBitmap S;
            S.SetSize(cw, nh);
            S.Canvas()->StretchDraw({0, 0, cw, nh}, &CB);
            for (int i = 0; i <= nw / cw; ++i) C->Draw(NC.Left + i * cw, NC.Top, &S);
            break;
          }
          case bsstVert: {
            gfx::TBitmap S;
            S.SetSize(nw, ch);
            S.Canvas()->StretchDraw({0, 0, nw, ch}, &CB);
            for (int j = 0; j <= nh / ch; ++j) C->Draw(NC.Left, NC.Top + j * ch, &S);
            break;
          }
        }
      } else if (!G.StretchEffect) {
        for (int i = 0; i <= nw / cw; ++i)
          for (int j = 0; j <= nh / ch; ++j) C->Draw(NC.Left + i * cw, NC.Top + j * ch, &CB);
      }
    } catch (...) {
      gfx::RestoreDC(dc, saved);
      throw;
    }
    gfx::RestoreDC(dc, saved);
  }
  C->Draw(0, 0, &T);
  C->Draw(0, T.Height(), &L);
  C->Draw(W - R.Width(), T.Height(), &R);
  C->Draw(0, H - B.Height(), &B);
}

void TbsSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  GetSkinData();
  bool changed = (AWidth != Width() || AHeight != Height()) && FIndex != -1;
  if (changed) {
    CalcSize(AWidth, AHeight);
    if (G.ResizeMode == 0) G.NewClRect = G.ClRect;
  }
  ATop = CentredTop(Parent(), ATop, AHeight);
  TbsSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (changed) {
    SetControlRegion();
    Repaint();
  }
  if (FIndex != -1 && G.StretchEffect) NotifyChildrenBGChanged();
}

void TbsSkinCustomControl::ChangeSkinData() {
  GetSkinData();
  bool sizeChanged = false;
  if (FIndex == -1) {
    if (FDefaultWidth > 0) SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0) SetHeight(FDefaultHeight);
  } else {
    int w = Width(), h = Height();
    CalcSize(w, h);
    if (w != Width()) {
      SetWidth(w);
      sizeChanged = true;
    }
    if (h != Height()) {
      SetHeight(h);
      sizeChanged = true;
    }
  }
  if (!sizeChanged) {
    SetControlRegion();
    Repaint();
  }
}

void TbsSkinCustomControl::SetControlRegion() {
  if (!Parent()) return;
  if ((!MaskPicture || FIndex == -1) && FRgn) {
    SetWindowRgn(Handle(), gfx::HRGN(), TRUE);
    FRgn = gfx::HRGN();
  }
  if (MaskPicture && FIndex != -1) CreateControlRegion();
}

void TbsSkinCustomControl::CreateControlRegion() {
  int w = Width(), h = Height();
  CalcSize(w, h);
  int SW = RectWidth(G.SkinRect), SH = RectHeight(G.SkinRect);
  gfx::HRGN Rgn;
  switch (G.ResizeMode) {
    case 0:
      CreateRegionFromMask(Rgn, MaskPicture);
      break;
    case 1:
      CreateSkinRegion(Rgn, G.Src(), G.New(), MaskPicture, Width(), Height());
      break;
    case 2: {
      TPoint nrt{G.RTPt.X + Width() - SW, G.RTPt.Y};
      TbsNinePart S{G.LTPt, G.RTPt, G.LTPt, G.RTPt, G.ClRect};
      TbsNinePart N{G.LTPt, nrt, G.LTPt, nrt, G.NewClRect};
      CreateSkinRegion(Rgn, S, N, MaskPicture, Width(), Height());
      break;
    }
    case 3: {
      TPoint nlb{G.LBPt.X, G.LBPt.Y + Height() - SH};
      TbsNinePart S{G.LTPt, G.LTPt, G.LBPt, G.LBPt, G.ClRect};
      TbsNinePart N{G.LTPt, G.LTPt, nlb, nlb, G.NewClRect};
      CreateSkinRegion(Rgn, S, N, MaskPicture, Width(), Height());
      break;
    }
    default:
      // No skin rectangle: the window keeps the region it has.
      return;
  }
  FRgn = Rgn;
  // The window takes the new region and frees the one it had.
  SetWindowRgn(Handle(), FRgn, TRUE);
}

void TbsSkinCustomControl::NotifyChildrenBGChanged() {
  for (int i = 0; i < ControlCount(); ++i) {
    cl::TControl* c = Controls(i);
    if (auto* w = dynamic_cast<cl::TWinControl*>(c))
      SendMessage(w->Handle(), WM_PARENT_BG_CHANGED, 0, 0);
    else
      c->Perform(WM_PARENT_BG_CHANGED, 0, 0);
  }
}

// ============================================================================ TbsGraphicSkinControl

TbsGraphicSkinControl::TbsGraphicSkinControl(cl::TComponent* AOwner) : cl::TGraphicControl(AOwner) {
  ControlStyle |= cl::csOpaque;
}

void TbsGraphicSkinControl::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = nullptr;
  cl::TGraphicControl::Destroy();
}

void TbsGraphicSkinControl::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) Value->FreeNotification(this);
  if (Value && !Value->Empty) ChangeSkinData();
}

void TbsGraphicSkinControl::GetSkinData() { FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1; }

void TbsGraphicSkinControl::ChangeSkinData() {
  GetSkinData();
  Repaint();
}

void TbsGraphicSkinControl::BeforeChangeSkinData() { FIndex = -1; }

void TbsGraphicSkinControl::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TGraphicControl::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
  if (Operation == cl::opRemove && AComponent == HintImageList) HintImageList = nullptr;
}

void TbsGraphicSkinControl::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  GetSkinData();
  gfx::TBitmap B;
  B.SetSize(Width(), Height());
  if (FIndex == -1)
    CreateControlDefaultImage(&B);
  else
    CreateControlSkinImage(&B);
  Canvas()->Draw(0, 0, &B);
}

void TbsGraphicSkinControl::Dispatch(cl::TMessage& Msg) {
  switch (Msg.Msg) {
    case CM_MOUSEENTER:
      CMMouseEnter(Msg);
      return;
    case CM_MOUSELEAVE:
      CMMouseLeave(Msg);
      return;
  }
  cl::TGraphicControl::Dispatch(Msg);
}

void TbsGraphicSkinControl::CMMouseEnter(cl::TMessage& Msg) {
  cl::TGraphicControl::Dispatch(Msg);
  OnMouseEnter(this);
}

void TbsGraphicSkinControl::CMMouseLeave(cl::TMessage& Msg) {
  cl::TGraphicControl::Dispatch(Msg);
  OnMouseLeave(this);
}

// ============================================================================ TbsGraphicSkinCustomControl

TbsGraphicSkinCustomControl::TbsGraphicSkinCustomControl(cl::TComponent* AOwner) : TbsGraphicSkinControl(AOwner) {
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetStyle({});
  FDefaultFont.SetHeight(14);
  FDefaultFont.OnChange = [this](rtl::TObject*) {
    DefaultFontChanged();
    if (FIndex == -1) Repaint();
  };
}

void TbsGraphicSkinCustomControl::SetDefaultWidth(int Value) {
  FDefaultWidth = Value;
  if (FIndex == -1 && Value > 0) SetWidth(Value);
}

void TbsGraphicSkinCustomControl::SetDefaultHeight(int Value) {
  FDefaultHeight = Value;
  if (FIndex == -1 && Value > 0) SetHeight(Value);
}

void TbsGraphicSkinCustomControl::SetDefaultFont(const gfx::TFont& Value) {
  FDefaultFont.Assign(Value);
  DefaultFontChanged();
}

void TbsGraphicSkinCustomControl::GetSkinData() {
  TbsGraphicSkinControl::GetSkinData();
  if (FIndex == -1) return;
  auto* R = dynamic_cast<TbsDataSkinCustomControl*>(SkinRecord(FSD, FIndex));
  if (!R) {
    G.ResizeMode = 0;
    Picture = nullptr;
    return;
  }
  G.CopyFrom(*R);
  Picture = SkinPicture(FSD, R->PictureIndex);
  G.ResizeMode = G.CalcResizeMode();
  if (!Picture && G.ResizeMode != -1) FIndex = -1;
}

void TbsGraphicSkinCustomControl::CalcSize(int& AWidth, int& AHeight) { G.CalcSize(AWidth, AHeight, FIndex != -1); }

void TbsGraphicSkinCustomControl::CreateSkinRectImage(gfx::TBitmap* B, gfx::TBitmap* P, const TRect& R) {
  G.CreateSkinRectImage(B, P, R, Width(), Height(), true);
}

void TbsGraphicSkinCustomControl::CreateControlSkinImage(gfx::TBitmap* B) {
  CreateSkinRectImage(B, Picture, G.SkinRect);
}

void TbsGraphicSkinCustomControl::CreateControlDefaultImage(gfx::TBitmap* B) {
  B->Canvas()->Brush()->SetStyle(gfx::bsSolid);
  B->Canvas()->Brush()->SetColor(gfx::clBtnFace);
  B->Canvas()->FillRect({0, 0, B->Width(), B->Height()});
}

void TbsGraphicSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  GetSkinData();
  bool changed = (AWidth != Width() || AHeight != Height()) && FIndex != -1;
  if (changed) {
    CalcSize(AWidth, AHeight);
    if (G.ResizeMode == 0) G.NewClRect = G.ClRect;
  }
  ATop = CentredTop(Parent(), ATop, AHeight);
  bool sized = AWidth != Width() || AHeight != Height();
  TbsGraphicSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (sized) Repaint();
}

void TbsGraphicSkinCustomControl::ChangeSkinData() {
  GetSkinData();
  bool sizeChanged = false;
  if (FIndex == -1) {
    if (FDefaultWidth > 0) SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0) SetHeight(FDefaultHeight);
  } else {
    int w = Width(), h = Height();
    CalcSize(w, h);
    if (w != Width()) {
      SetWidth(w);
      sizeChanged = true;
    }
    if (h != Height()) {
      SetHeight(h);
      sizeChanged = true;
    }
  }
  if (!sizeChanged) Repaint();
}

}  // namespace skin
