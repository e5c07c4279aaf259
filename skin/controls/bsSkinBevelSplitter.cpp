#include "skin/controls/bsSkinBevelSplitter.h"

#include "skin/draw/bsGeometry.h"

namespace skin {

// ============================================================================ TbsSkinBevel

TbsSkinBevel::TbsSkinBevel(cl::TComponent* AOwner) : cl::TBevel(AOwner) {}

void TbsSkinBevel::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = nullptr;
  cl::TBevel::Destroy();
}

void TbsSkinBevel::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TBevel::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
}

void TbsSkinBevel::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) Value->FreeNotification(this);
  ChangeSkinData();
}

void TbsSkinBevel::SetDividerMode(bool Value) {
  FDividerMode = Value;
  Repaint();
}

void TbsSkinBevel::ChangeSkinData() {
  FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1;
  if (FIndex == -1) {
    LightColor = gfx::clBtnHighlight;
    DarkColor = gfx::clBtnShadow;
  } else if (auto* R = dynamic_cast<TbsDataSkinBevel*>(SkinRecord(FSD, FIndex))) {
    LightColor = R->LightColor;
    DarkColor = R->DarkColor;
  }
  Repaint();
}

void TbsSkinBevel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  cl::TBevel::SetBounds(ALeft, CentredTop(Parent(), ATop, AHeight), AWidth, AHeight);
}

void TbsSkinBevel::Paint() {
  gfx::TCanvas* C = Canvas();
  C->Pen()->SetWidth(1);
  TColor c1 = Style() == cl::bsLowered ? DarkColor : LightColor;
  TColor c2 = Style() == cl::bsLowered ? LightColor : DarkColor;
  int W = Width(), H = Height();
  auto rect3d = [&](int l, int t, int r, int b, TColor a, TColor z) {
    C->Pen()->SetColor(a);
    C->Polyline({{l, b}, {l, t}, {r, t}});
    C->Pen()->SetColor(z);
    C->Polyline({{r, t}, {r, b}, {l, b}});
  };
  auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
    C->Pen()->SetColor(col);
    C->MoveTo(x1, y1);
    C->LineTo(x2, y2);
  };
  if (FDividerMode) {
    switch (Shape()) {
      case cl::bsTopLine:
      case cl::bsBottomLine:
        rect3d(2, H / 2 - 1, W - 2, H / 2, c1, c2);
        break;
      case cl::bsSpacer:
        break;
      default:
        rect3d(W / 2 - 1, 2, W / 2, H - 2, c1, c2);
        break;
    }
    return;
  }
  switch (Shape()) {
    case cl::bsBox:
      rect3d(0, 0, W - 1, H - 1, c1, c2);
      break;
    case cl::bsFrame:
      rect3d(1, 1, W - 1, H - 1, c2, c2);
      rect3d(0, 0, W - 2, H - 2, c1, c1);
      break;
    case cl::bsTopLine:
      line(c1, 0, 0, W, 0);
      line(c2, 0, 1, W, 1);
      break;
    case cl::bsBottomLine:
      line(c1, 0, H - 2, W, H - 2);
      line(c2, 0, H - 1, W, H - 1);
      break;
    case cl::bsLeftLine:
      line(c1, 0, 0, 0, H);
      line(c2, 1, 0, 1, H);
      break;
    case cl::bsRightLine:
      line(c1, W - 2, 0, W - 2, H);
      line(c2, W - 1, 0, W - 1, H);
      break;
    case cl::bsSpacer:
      break;
  }
}

// ============================================================================ TbsSkinSplitter

TbsSkinSplitter::TbsSkinSplitter(cl::TComponent* AOwner) : cl::TSplitter(AOwner) { ControlStyle |= cl::csOpaque; }

void TbsSkinSplitter::Destroy() {
  if (FSD) FSD->RemoveFreeNotification(this);
  FSD = nullptr;
  cl::TSplitter::Destroy();
}

void TbsSkinSplitter::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TSplitter::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FSD) FSD = nullptr;
}

void TbsSkinSplitter::SetSkinData(TbsSkinData* Value) {
  if (FSD && FSD != Value) FSD->RemoveFreeNotification(this);
  FSD = Value;
  if (Value) Value->FreeNotification(this);
  ChangeSkinData();
}

void TbsSkinSplitter::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (Value)
    ControlStyle &= ~unsigned(cl::csOpaque);
  else
    ControlStyle |= cl::csOpaque;
  Repaint();
}

void TbsSkinSplitter::GetSkinData() {
  FIndex = SkinUsable(FSD) ? FSD->GetControlIndex(FSkinDataName) : -1;
  FSkinPicture = nullptr;
  auto* R = dynamic_cast<TbsDataSkinSplitterControl*>(SkinRecord(FSD, FIndex));
  if (R) {
    LTPt = R->LTPoint;
    RTPt = R->RTPoint;
    LBPt = R->LBPoint;
    SkinRect = R->SkinRect;
    StretchEffect = R->StretchEffect;
    FSkinPicture = SkinPicture(FSD, R->PictureIndex);
    GripperRect = R->GripperRect;
    GripperTransparent = R->GripperTransparent;
    GripperTransparentColor = R->GripperTransparentColor;
  }
  // A record of another class, or one without a picture or a strip, has
  // nothing to draw from: the splitter keeps the class library's look.
  if (!R || !FSkinPicture || IsNullRect(SkinRect)) FIndex = -1;
}

void TbsSkinSplitter::ChangeSkinData() {
  GetSkinData();
  bool plain = FIndex == -1 || FTransparent;
  if (Align() == cl::alTop || Align() == cl::alBottom)
    SetHeight(plain ? DefaultSize : RectHeight(SkinRect));
  else
    SetWidth(plain ? DefaultSize : RectWidth(SkinRect));
  Repaint();
}

void TbsSkinSplitter::Paint() {
  if (FTransparent || Width() < 1 || Height() < 1) return;
  GetSkinData();
  if (FIndex == -1 || Align() == cl::alNone || Align() == cl::alClient) {
    cl::TSplitter::Paint();
    return;
  }
  gfx::TBitmap B;
  TbsPictureRect src{FSkinPicture, SkinRect};
  if (Align() == cl::alTop || Align() == cl::alBottom)
    CreateHSkinImage(LTPt.X, RectWidth(SkinRect) - RTPt.X, &B, src, Width(), RectHeight(SkinRect), StretchEffect);
  else
    CreateVSkinImage(LTPt.Y, RectHeight(SkinRect) - LBPt.Y, &B, src, RectWidth(SkinRect), Height(), StretchEffect);
  int gw = RectWidth(GripperRect), gh = RectHeight(GripperRect);
  if (gw > 0 && gh > 0) {
    gfx::TBitmap G;
    G.SetSize(gw, gh);
    G.Canvas()->CopyRect({0, 0, gw, gh}, FSkinPicture->Canvas(), GripperRect);
    if (GripperTransparent) {
      G.SetTransparentMode(gfx::tmFixed);
      G.SetTransparentColor(GripperTransparentColor);
      G.SetTransparent(true);
    }
    B.Canvas()->Draw(B.Width() / 2 - gw / 2, B.Height() / 2 - gh / 2, &G);
  }
  Canvas()->Draw(0, 0, &B);
}

}  // namespace skin
