#include "skin/form/bsFormLayerBorder.h"

#include <algorithm>
#include <cmath>

#include "platform/cl/application.h"
#include "platform/gfx/rect.h"
#include "platform/win/cursor.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlowText.h"
#include "skin/form/bsSkinForm.h"

namespace skin {

namespace {

bool In(const TRect& R, TPoint P) { return gfx::PtInRect(R, P); }

TBitmap* PictureAt(TbsSkinData* SD, int Index) {
  if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size())) return nullptr;
  TBitmap* B = SD->FActivePictures[size_t(Index)].get();
  return B && !B->Empty() ? B : nullptr;
}

// The picture with the alpha of its mask. A mask the record does not name
// (or that is not in the list) leaves the picture opaque instead of reading
// a picture that does not exist.
std::unique_ptr<TbsBitmap> SourceFrom(TBitmap* Pic, TBitmap* Mask) {
  auto B = std::make_unique<TbsBitmap>();
  B->Assign(Pic);
  if (Mask) {
    TbsBitmap M;
    M.Assign(Mask);
    SetAlphaFromMask(B.get(), &M);
  } else {
    B->SetAlpha(255);
  }
  B->CheckingAlphaBlend();
  return B;
}

// Plain pixel copies (the alpha travels with the pixels; nothing is blended),
// the destination rectangle filled from the source rectangle by nearest
// pixels when the sizes differ.
void CopyPixels(TbsBitmap* Src, const TRect& S, TbsBitmap* Dst, const TRect& D) {
  int SW = S.Width(), SH = S.Height(), DW = D.Width(), DH = D.Height();
  if (SW <= 0 || SH <= 0 || DW <= 0 || DH <= 0) return;
  for (int y = 0; y < DH; ++y) {
    int dy = D.Top + y, sy = S.Top + int(int64_t(y) * SH / DH);
    if (dy < 0 || dy >= Dst->Height() || sy < 0 || sy >= Src->Height()) continue;
    for (int x = 0; x < DW; ++x) {
      int dx = D.Left + x, sx = S.Left + int(int64_t(x) * SW / DW);
      if (dx < 0 || dx >= Dst->Width() || sx < 0 || sx >= Src->Width()) continue;
      Dst->ScanLine(dy)[dx] = Src->ScanLine(sy)[sx];
    }
  }
}

}  // namespace

TbsFormLayerBorderHit LayerBorderHitMode(TbsFormLayerBorderType Side, TPoint C, const TRect& F, int LS, int TS, int RS,
                                         int BS) {
  int L = F.Left, T = F.Top, FW = F.Width(), FH = F.Height();
  auto Sides = [&]() {
    if (L - LS <= C.X && C.X < L) return bsflhLeft;
    if (L + FW < C.X && C.X <= L + FW + RS) return bsflhRight;
    return bsflhNone;
  };
  switch (Side) {
    case bsflLeft:
      return C.X >= L - LS ? bsflhLeft : bsflhNone;
    case bsflRight:
      return C.X <= L + FW + RS ? bsflhRight : bsflhNone;
    case bsflTop:
      if (In({L - LS, T - TS, L + 3, T + 3}, C)) return bsflhTopLeft;
      if (In({L, T - TS, L + FW, T}, C)) return bsflhTop;
      if (In({L + FW - 3, T - TS, L + FW + RS, T + 3}, C)) return bsflhTopRight;
      return C.Y > T ? Sides() : bsflhNone;
    case bsflBottom:
      if (In({L - LS, T + FH - 3, L + 3, T + FH + BS}, C)) return bsflhBottomLeft;
      if (In({L, T + FH, L + FW, T + FH + BS}, C)) return bsflhBottom;
      if (In({L + FW - 3, T + FH - 3, L + FW + RS, T + FH + BS}, C)) return bsflhBottomRight;
      return C.Y < T + FH ? Sides() : bsflhNone;
  }
  return bsflhNone;
}

bool LayerBorderResizeStep(TbsFormLayerBorderHit Hit, const TRect& F, int dx, int dy, rtl::TSize Min, rtl::TSize Max,
                           TRect& NewBounds) {
  int L = F.Left, T = F.Top, FW = F.Width(), FH = F.Height();
  auto Clamp = [](int V, int Lo, int Hi) { return std::min(std::max(V, Lo), Hi); };
  bool Left = Hit == bsflhLeft || Hit == bsflhTopLeft || Hit == bsflhBottomLeft;
  bool Right = Hit == bsflhRight || Hit == bsflhTopRight || Hit == bsflhBottomRight;
  bool Top = Hit == bsflhTop || Hit == bsflhTopLeft || Hit == bsflhTopRight;
  bool Bottom = Hit == bsflhBottom || Hit == bsflhBottomLeft || Hit == bsflhBottomRight;
  int NL = L, NT = T, NW = FW, NH = FH;
  if (Left && dx != 0) {
    int W = Clamp(FW - dx, Min.cx, Max.cx);
    // The left edge moves only when the size was not clamped, so it never
    // jumps at the minimum width.
    if (W == FW - dx) {
      NW = W;
      NL = L + dx;
    }
  }
  if (Right && dx != 0) NW = Clamp(FW + dx, Min.cx, Max.cx);
  if (Top && dy != 0) {
    int H = Clamp(FH - dy, Min.cy, Max.cy);
    if (H == FH - dy) {
      NH = H;
      NT = T + dy;
    }
  }
  if (Bottom && dy != 0) NH = Clamp(FH + dy, Min.cy, Max.cy);
  NewBounds = {NL, NT, NL + NW, NT + NH};
  return NW != FW || NH != FH;
}

int ScaleAlpha(int Alpha, int FormAlpha) { return int(std::nearbyint(double(Alpha) * FormAlpha / 255.0)); }

// ---------------------------------------------------------------------------

TbsFormLayerWindow::TbsFormLayerWindow(TbsFormLayerBorder* AOwner, TbsFormLayerBorderType AType)
    : TbsLayerWindow(AOwner), BorderType(AType), FLayerBorder(AOwner) {}

void TbsFormLayerWindow::CreateParams(cl::TCreateParams& Params) {
  TbsLayerWindow::CreateParams(Params);
  Params.ExStyle |= win::WS_EX_LAYERED;
  // With handles the windows take the mouse; without, it passes through.
  TbsDataSkinLayerFrame* D = FLayerBorder->Data();
  if (D && !IsNullRect(D->BorderRect)) Params.ExStyle &= ~uint32_t(win::WS_EX_TRANSPARENT);
}

int LayerBorderCursor(TbsFormLayerBorderHit Hit) {
  switch (Hit) {
    case bsflhLeft:
    case bsflhRight:
      return cl::crSizeWE;
    case bsflhTop:
    case bsflhBottom:
      return cl::crSizeNS;
    case bsflhTopLeft:
    case bsflhBottomRight:
      return cl::crSizeNWSE;
    case bsflhTopRight:
    case bsflhBottomLeft:
      return cl::crSizeNESW;
    case bsflhNone:
      break;
  }
  return cl::crDefault;
}

// The shape shows at once: the pointer's own cursor request for this move
// was answered before the move reached the window.
void TbsFormLayerWindow::SetHandleCursor(int ACursor) {
  Cursor = ACursor;
  win::SetCursor(win::LoadCursor(nullptr, ACursor ? cl::CursorToIdc(ACursor) : win::IDC_ARROW));
}

// A press on a handle of a form that is not the active one brings that form
// forward (and with it its border); the border window itself never takes
// the activation.
void TbsFormLayerWindow::BringFormForward() {
  TbsDataSkinLayerFrame* D = FLayerBorder->Data();
  TbsSkinForm* SF = FLayerBorder->SkinForm();
  if (!D || !D->HitTestEnable || !SF) return;
  cl::TCustomForm* F = SF->Form();
  FHitMode = HitMode();
  if (FHitMode == bsflhNone || !F->HandleAllocated() || win::GetActiveWindow() == F->Handle()) return;
  cl::Keep<TbsFormLayerWindow> K(this);
  F->Show();
  win::SetWindowPos(F->Handle(), win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
  win::SetActiveWindow(F->Handle());
}

TbsFormLayerBorderHit TbsFormLayerWindow::HitMode() {
  win::POINT P{};
  win::GetCursorPos(&P);
  return LayerBorderHitMode(BorderType, TPoint{P.X, P.Y}, FLayerBorder->SkinForm()->Form()->BoundsRect(),
                            FLayerBorder->LeftSize, FLayerBorder->TopSize, FLayerBorder->RightSize,
                            FLayerBorder->BottomSize);
}

bool TbsFormLayerWindow::CanResizeForm() {
  TbsSkinForm* F = FLayerBorder->SkinForm();
  return F && F->CanResize() && !F->RollUpState() && F->WindowState() == cl::wsNormal;
}

void TbsFormLayerWindow::Dispatch(cl::TMessage& Msg) {
  TbsDataSkinLayerFrame* D = FLayerBorder->Data();
  TbsSkinForm* SF = FLayerBorder->SkinForm();
  bool Hits = D && D->HitTestEnable && SF;
  auto CursorPos = [] {
    win::POINT P{};
    win::GetCursorPos(&P);
    return TPoint{P.X, P.Y};
  };
  switch (Msg.Msg) {
    case win::WM_MOUSEACTIVATE:
      Msg.Result = win::MA_NOACTIVATE;
      BringFormForward();
      return;
    case win::WM_LBUTTONDOWN: {
      // The layer's windows are never offered the activation, so the press
      // itself brings the form forward.
      cl::Keep<TbsFormLayerWindow> K(this);
      BringFormForward();
      if (Destroyed()) return;
      if (Hits && CanResizeForm()) {
        FHitMode = HitMode();
        FDown = FHitMode != bsflhNone;
        MousePos1 = MousePos2 = CursorPos();
        if (FDown) win::SetCapture(Handle());
      }
      Msg.Result = 0;
      return;
    }
    case win::WM_LBUTTONUP:
      if (FDown) win::ReleaseCapture();
      FDown = false;
      Msg.Result = 0;
      return;
    case win::WM_MOUSEMOVE:
      if (!Hits) break;
      if (!CanResizeForm()) {
        if (Cursor != cl::crDefault) SetHandleCursor(cl::crDefault);
        break;
      }
      MousePos2 = CursorPos();
      if (FDown) {
        cl::TCustomForm* F = SF->Form();
        TRect NB;
        int dx = MousePos2.X - MousePos1.X, dy = MousePos2.Y - MousePos1.Y;
        if ((dx || dy) &&
            LayerBorderResizeStep(FHitMode, F->BoundsRect(), dx, dy, rtl::TSize{SF->GetMinWidth(), SF->GetMinHeight()},
                                  rtl::TSize{SF->GetMaxWidth(), SF->GetMaxHeight()}, NB)) {
          cl::Keep<TbsFormLayerWindow> K(this);
          F->SetBounds(NB.Left, NB.Top, NB.Width(), NB.Height());
          if (Destroyed()) return;
        }
      } else {
        FHitMode = HitMode();
        SetHandleCursor(LayerBorderCursor(FHitMode));
      }
      // A refused step is not carried over.
      MousePos1 = MousePos2;
      Msg.Result = 0;
      return;
  }
  TbsLayerWindow::Dispatch(Msg);
}

// ---------------------------------------------------------------------------

TbsFormLayerBorder::TbsFormLayerBorder(TbsSkinForm* AOwner) : cl::TComponent(AOwner), BSF(AOwner) {}

void TbsFormLayerBorder::Destroy() {
  FreeWindows();
  cl::TComponent::Destroy();
}

void TbsFormLayerBorder::InitFrame(TbsSkinData* ASkinData) {
  FSD = ASkinData;
  FData = nullptr;
  if (!ASkinData || ASkinData->Empty) return;
  TbsDataSkinLayerFrame* D = &ASkinData->LayerFrame;
  TBitmap* Pic = PictureAt(ASkinData, D->PictureIndex);
  if (!Pic) return;
  FData = D;
  FCurrentAlphaBlendValue = D->AlphaBlendValue;
  FCurrentInActiveAlphaBlendValue = D->InActiveAlphaBlendValue;
  FSourceBitmap = SourceFrom(Pic, PictureAt(ASkinData, D->MaskPictureIndex));
  FSourceInActiveBitmap.reset();
  if (TBitmap* IP = PictureAt(ASkinData, D->InActivePictureIndex))
    FSourceInActiveBitmap = SourceFrom(IP, PictureAt(ASkinData, D->InActiveMaskPictureIndex));
  if (IsNullRect(D->BorderRect)) {
    LeftSize = TopSize = RightSize = BottomSize = 0;
  } else {
    LeftSize = D->ClRect.Left - D->BorderRect.Left;
    TopSize = D->ClRect.Top - D->BorderRect.Top;
    RightSize = D->BorderRect.Right - D->ClRect.Right;
    BottomSize = D->BorderRect.Bottom - D->ClRect.Bottom;
  }
}

TRect TbsFormLayerBorder::BoundsFor(const TRect& F) const {
  if (!FData || !FSourceBitmap) return F;
  int SW = FSourceBitmap->Width(), SH = FSourceBitmap->Height();
  int X = F.Left - FData->ClRect.Left, Y = F.Top - FData->ClRect.Top;
  return {X, Y, X + F.Width() + SW - FData->ClRect.Width(), Y + F.Height() + SH - FData->ClRect.Height()};
}

void TbsFormLayerBorder::CreateBorderImages(int W, int H) {
  LeftImage = std::make_unique<TbsBitmap>();
  TopImage = std::make_unique<TbsBitmap>();
  RightImage = std::make_unique<TbsBitmap>();
  BottomImage = std::make_unique<TbsBitmap>();
  if (!FData || !FSourceBitmap) return;
  TbsBitmap* S = !FActive && FSourceInActiveBitmap ? FSourceInActiveBitmap.get() : FSourceBitmap.get();
  const TbsDataSkinLayerFrame& D = *FData;
  int SW = S->Width(), SH = S->Height();
  int TH = std::max(D.LTPoint.Y, D.RTPoint.Y);
  int BH = SH - std::min(D.LBPoint.Y, D.RBPoint.Y);
  if (W > 0 && TH > 0) {
    TopImage->SetSize(W, TH);
    CopyPixels(S, TRect{0, 0, D.LTPoint.X, TH}, TopImage.get(), TRect{0, 0, D.LTPoint.X, TH});
    CopyPixels(S, TRect{D.RTPoint.X, 0, SW, TH}, TopImage.get(), TRect{W + D.RTPoint.X - SW, 0, W, TH});
    CopyPixels(S, TRect{D.LTPoint.X, 0, D.RTPoint.X, TH}, TopImage.get(),
               TRect{D.LTPoint.X, 0, W + D.RTPoint.X - SW, TH});
    TopImage->CheckingAlphaBlend();
  }
  if (W > 0 && BH > 0) {
    BottomImage->SetSize(W, BH);
    CopyPixels(S, TRect{0, SH - BH, D.LBPoint.X, SH}, BottomImage.get(), TRect{0, 0, D.LBPoint.X, BH});
    CopyPixels(S, TRect{D.RBPoint.X, SH - BH, SW, SH}, BottomImage.get(), TRect{W + D.RBPoint.X - SW, 0, W, BH});
    CopyPixels(S, TRect{D.LBPoint.X, SH - BH, D.RBPoint.X, SH}, BottomImage.get(),
               TRect{D.LBPoint.X, 0, W + D.RBPoint.X - SW, BH});
    BottomImage->CheckingAlphaBlend();
  }
  int M = H - TH - BH;
  int StripH = SH - BH - TH;
  auto Tile = [&](TbsBitmap* Img, int SrcLeft, int Wd) {
    if (M <= 0 || Wd <= 0 || StripH <= 0) return;
    Img->SetSize(Wd, M);
    for (int y = 0; y < M; y += StripH) {
      int h = std::min(StripH, M - y);
      CopyPixels(S, TRect{SrcLeft, TH, SrcLeft + Wd, TH + h}, Img, TRect{0, y, Wd, y + h});
    }
    Img->CheckingAlphaBlend();
  };
  Tile(LeftImage.get(), 0, D.ClRect.Left);
  Tile(RightImage.get(), D.ClRect.Right, SW - D.ClRect.Right);
}

void TbsFormLayerBorder::FreeWindows() {
  for (TbsFormLayerWindow** W : {&LeftBorder, &TopBorder, &RightBorder, &BottomBorder})
    if (*W) {
      (*W)->Free();
      *W = nullptr;
    }
}

void TbsFormLayerBorder::PlaceWindows(int X, int Y, bool ShowThem) {
  int TH = TopImage && !TopImage->Empty() ? TopImage->Height() : 0;
  int BH = BottomImage && !BottomImage->Empty() ? BottomImage->Height() : 0;
  int RW = RightImage && !RightImage->Empty() ? RightImage->Width() : 0;
  struct Place {
    TbsFormLayerWindow* W;
    TbsBitmap* Img;
    int X, Y;
  } Places[] = {{TopBorder, TopImage.get(), X, Y},
                {BottomBorder, BottomImage.get(), X, Y + FHeight - BH},
                {LeftBorder, LeftImage.get(), X, Y + TH},
                {RightBorder, RightImage.get(), X + FWidth - RW, Y + TH}};
  uint8_t Alpha = uint8_t(std::clamp(CurrentAlpha(), 0, 255));
  for (const Place& P : Places) {
    if (!P.W || !P.Img || P.Img->Empty()) continue;
    P.W->SetBounds(P.X, P.Y, P.Img->Width(), P.Img->Height());
    UpdateLayeredWindowBitmap(P.Img, Alpha, P.W);
    if (ShowThem)
      win::SetWindowPos(P.W->Handle(), win::HWND_TOP, P.X, P.Y, 0, 0,
                        win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE | win::SWP_NOSIZE);
  }
}

void TbsFormLayerBorder::Show(int X, int Y, int W, int H) {
  if (!FData) return;
  FWidth = W;
  FHeight = H;
  FVisible = true;
  CreateBorderImages(W, H);
  FreeWindows();
  if (LeftImage->Height() > 0) LeftBorder = new TbsFormLayerWindow(this, bsflLeft);
  if (RightImage->Height() > 0) RightBorder = new TbsFormLayerWindow(this, bsflRight);
  if (TopImage->Width() > 0) TopBorder = new TbsFormLayerWindow(this, bsflTop);
  if (BottomImage->Width() > 0) BottomBorder = new TbsFormLayerWindow(this, bsflBottom);
  PlaceWindows(X, Y, true);
}

void TbsFormLayerBorder::ShowWithForm() {
  TRect B = BoundsFor(BSF->Form()->BoundsRect());
  Show(B.Left, B.Top, B.Width(), B.Height());
}

void TbsFormLayerBorder::ShowWithFormAnimation() {
  if (!FData) return;
  StopFade();
  const int Target = std::max(FCurrentAlphaBlendValue, 0);
  FCurrentAlphaBlendValue = 0;
  ShowWithForm();
  if (!FVisible || Target == 0) {
    FCurrentAlphaBlendValue = Target;
    return;
  }
  FFadeTarget = Target;
  FFadeStep = std::max(Target / 15, 1);
  FFadeLast = win::GetTickCount();
  if (!FFadeTimer) {
    FFadeTimer = new cl::TTimer(this);
    FFadeTimer->SetInterval(1);
    FFadeTimer->SetOnTimer([this](rtl::TObject* S) { FadeTick(S); });
  }
  FFadeTimer->SetEnabled(true);
}

void TbsFormLayerBorder::FadeTick(rtl::TObject*) {
  if (FFadeTarget < 0) return;
  const uint32_t Now = win::GetTickCount();
  if (uint32_t(Now - FFadeLast) <= 5) return;
  FFadeLast = Now;
  FCurrentAlphaBlendValue = std::min(FCurrentAlphaBlendValue + FFadeStep, FFadeTarget);
  SetAlphaBlend();
  if (FCurrentAlphaBlendValue >= FFadeTarget) StopFade();
}

// A fade cut short leaves the border at its full value for the next show.
void TbsFormLayerBorder::StopFade() {
  if (FFadeTimer) FFadeTimer->SetEnabled(false);
  if (FFadeTarget >= 0) FCurrentAlphaBlendValue = FFadeTarget;
  FFadeTarget = -1;
}

void TbsFormLayerBorder::Hide() {
  StopFade();
  FVisible = false;
  FreeWindows();
  LeftImage.reset();
  TopImage.reset();
  RightImage.reset();
  BottomImage.reset();
}

void TbsFormLayerBorder::SetBounds(int X, int Y, int W, int H) {
  if (!FData || !FVisible) return;
  FWidth = W;
  FHeight = H;
  CreateBorderImages(W, H);
  PlaceWindows(X, Y, false);
}

void TbsFormLayerBorder::SetBoundsWithForm() {
  TRect B = BoundsFor(BSF->Form()->BoundsRect());
  SetBounds(B.Left, B.Top, B.Width(), B.Height());
}

void TbsFormLayerBorder::MoveWithForm() {
  if (!FData || !FVisible) return;
  TRect B = BoundsFor(BSF->Form()->BoundsRect());
  PlaceWindows(B.Left, B.Top, false);
}

void TbsFormLayerBorder::SetAlphaBlend() {
  if (!FData || !FVisible || !TopImage) return;
  TRect B = BoundsFor(BSF->Form()->BoundsRect());
  PlaceWindows(B.Left, B.Top, false);
}

void TbsFormLayerBorder::SetActive(bool AValue, bool AUpdate) {
  FActive = AValue;
  if (AUpdate && FVisible) {
    TRect B = BoundsFor(BSF->Form()->BoundsRect());
    CreateBorderImages(B.Width(), B.Height());
    PlaceWindows(B.Left, B.Top, true);
  }
}

void TbsFormLayerBorder::CheckFormAlpha(int AFormAlpha, bool AUpdate) {
  if (!FData) return;
  FCurrentAlphaBlendValue = ScaleAlpha(FData->AlphaBlendValue, AFormAlpha);
  FCurrentInActiveAlphaBlendValue = ScaleAlpha(FData->InActiveAlphaBlendValue, AFormAlpha);
  if (AUpdate) SetAlphaBlend();
}

}  // namespace skin
