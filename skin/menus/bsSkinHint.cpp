#include "skin/menus/bsSkinHint.h"

#include <algorithm>

#include "platform/gfx/text.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsMaskRegions.h"
#include "skin/draw/bsSkinImages.h"
#include "skin/draw/bsTextHelpers.h"
#include "skin/draw/bsWorkArea.h"

namespace skin {

namespace {

// The component whose handler the application's OnShowHint reaches. The
// event itself holds no pointer to a component, so a component freed while
// its handler is installed leaves nothing dangling behind.
TbsSkinHint* g_handlerOwner = nullptr;

gfx::TBitmap* PictureAt(TbsSkinData* SD, int Index) {
  if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size())) return nullptr;
  return SD->FActivePictures[size_t(Index)].get();
}

bool HasImage(cl::TCustomImageList* L, int I) { return L && I >= 0 && I < L->Count(); }

// The bounds a hint keeps to: the monitor of the active form, else of the
// visible main form, else the screen.
TRect HintBounds() {
  TRect R{0, 0, cl::Screen->Width(), cl::Screen->Height()};
  cl::TCustomForm* f = cl::Screen->ActiveCustomForm();
  if (!f || !f->HandleAllocated()) {
    f = cl::Application->MainForm();
    if (f && (!f->Visible() || !f->HandleAllocated())) f = nullptr;
  }
  if (f) GetMonitorWorkArea(f->Handle(), true, R);
  return R;
}

}  // namespace

TbsSkinHint* ActiveSkinHint() {
  cl::TCustomForm* mf = cl::Application->MainForm();
  if (!mf) return nullptr;
  for (int i = 0; i < mf->ComponentCount(); ++i)
    if (auto* h = dynamic_cast<TbsSkinHint*>(mf->Components(i)); h && h->Active() && !h->Destroyed()) return h;
  return nullptr;
}

cl::THintWindow* MakeSkinHintWindow(cl::TComponent* AOwner) { return new TbsSkinHintWindow(AOwner); }

// ============================================================================ TbsSkinHintWindow

TbsSkinHintWindow::TbsSkinHintWindow(cl::TComponent* AOwner) : cl::THintWindow(AOwner) { visible_ = false; }

void TbsSkinHintWindow::CreateParams(cl::TCreateParams& Params) {
  cl::THintWindow::CreateParams(Params);
  Params.Style &= ~uint32_t(win::WS_BORDER);
}

void TbsSkinHintWindow::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == win::WM_NCPAINT) return;
  if (Msg.Msg == win::WM_ERASEBKGND) {
    Msg.Result = 1;
    return;
  }
  cl::THintWindow::Dispatch(Msg);
}

gfx::TBitmap* TbsSkinHintWindow::Picture() const {
  return FSD ? PictureAt(FSD, FSD->HintWindow.WindowPictureIndex) : nullptr;
}

void TbsSkinHintWindow::SetupFont(gfx::TCanvas* C) {
  if (FSD && FspHint->UseSkinFont) {
    const TbsDataSkinHintWindow& r = FSD->HintWindow;
    C->Font()->SetHeight(r.FontHeight);
    C->Font()->SetName(r.FontName);
    C->Font()->SetStyle(r.FontStyle);
    C->Font()->SetColor(r.FontColor);
  } else {
    C->Font()->Assign(*FspHint->DefaultFont());
  }
}

void TbsSkinHintWindow::MeasureText(const std::string& S, int& W, int& H) {
  gfx::TBitmap b;
  b.SetSize(1, 1);
  SetupFont(b.Canvas());
  TRect r{0, 0, 0, 0};
  WideDrawText(b.Canvas(), S, r, gfx::DT_CALCRECT);
  W = r.Width();
  H = r.Height();
}

void TbsSkinHintWindow::CornerAdjust(int& W, int& H) {
  const TbsDataSkinHintWindow& r = FSD->HintWindow;
  gfx::TBitmap* pic = Picture();
  int dW = W - pic->Width(), dH = H - pic->Height();
  if (r.RTPoint.X + dW < r.LTPoint.X) {
    int d = r.LTPoint.X - (r.RTPoint.X + dW);
    W += d;
    dW += d;
  }
  if (r.RBPoint.X + dW < r.LBPoint.X) {
    int d = r.LBPoint.X - (r.RBPoint.X + dW);
    W += d;
    dW += d;
  }
  if (r.LBPoint.Y + dH < r.LTPoint.Y) {
    int d = r.LTPoint.Y - (r.LBPoint.Y + dH);
    H += d;
    dH += d;
  }
  if (r.RBPoint.Y + dH < r.RTPoint.Y) {
    int d = r.RTPoint.Y - (r.RBPoint.Y + dH);
    H += d;
    dH += d;
  }
  NewClRect = {r.ClRect.Left, r.ClRect.Top, r.ClRect.Right + dW, r.ClRect.Bottom + dH};
  NewLTPoint = r.LTPoint;
  NewRTPoint = {r.RTPoint.X + dW, r.RTPoint.Y};
  NewLBPoint = {r.LBPoint.X, r.LBPoint.Y + dH};
  NewRBPoint = {r.RBPoint.X + dW, r.RBPoint.Y + dH};
}

void TbsSkinHintWindow::PlainSize(int& W, int& H) {
  MeasureText(text_, W, H);
  if (!FSD) {
    W += 4;
    H += 4;
    return;
  }
  const TbsDataSkinHintWindow& r = FSD->HintWindow;
  gfx::TBitmap* pic = Picture();
  W += r.ClRect.Left + pic->Width() - r.ClRect.Right + 5;
  H += r.ClRect.Top + pic->Height() - r.ClRect.Bottom;
  CornerAdjust(W, H);
}

void TbsSkinHintWindow::ExtendedSize(int& W, int& H) {
  MeasureText(text_, W, H);
  int th = 0;
  if (!Title.empty()) {
    int tw;
    MeasureText(Title, tw, th);
    H += th + 10;
    W = std::max(W, tw);
  }
  if (HasImage(ImageList, ImageIndex)) {
    W += ImageList->Width() + 10;
    H = std::max(H, ImageList->Height() + th + 5);
  }
  if (!FSD) {
    W += 4;
    H += 4;
    return;
  }
  const TbsDataSkinHintWindow& r = FSD->HintWindow;
  gfx::TBitmap* pic = Picture();
  W += 10 + r.ClRect.Left + pic->Width() - r.ClRect.Right;
  H += r.ClRect.Top + pic->Height() - r.ClRect.Bottom;
  CornerAdjust(W, H);
}

cl::TRect TbsSkinHintWindow::CalcHintRect(int, const std::string& AHint, void*) {
  FspHint = ActiveSkinHint();
  if (!FspHint) return {0, 0, 0, 0};
  TbsSkinData* sd = FspHint->SkinData();
  FSD =
      (sd && !sd->Empty && sd->HintWindow.WindowPictureIndex != -1 && PictureAt(sd, sd->HintWindow.WindowPictureIndex))
          ? sd
          : nullptr;
  std::string keep = text_;
  text_ = FspHint->SplitLines(AHint);
  int W = 0, H = 0;
  PlainSize(W, H);
  text_ = keep;
  return {0, 0, W, H};
}

void TbsSkinHintWindow::Activate(Kind K, TPoint At, TRect From, bool ATop, const std::string& AHint) {
  FspHint = ActiveSkinHint();
  if (!FspHint) return;
  TbsSkinData* sd = FspHint->SkinData();
  // A skin whose hint picture is missing draws the plain look.
  FSD =
      (sd && !sd->Empty && sd->HintWindow.WindowPictureIndex != -1 && PictureAt(sd, sd->HintWindow.WindowPictureIndex))
          ? sd
          : nullptr;
  SetupFont(Canvas());
  SetCaption(FspHint->SplitLines(AHint));
  int W = 0, H = 0;
  if (K == Kind::Extended)
    ExtendedSize(W, H);
  else
    PlainSize(W, H);
  if (K == Kind::FromRect) {
    At.X = From.Left + From.Width() / 2 - W / 2;
    At.Y = ATop ? From.Top - H : From.Bottom;
  }
  TRect r{At.X, At.Y, At.X + W, At.Y + H};
  TRect b = HintBounds();
  // A hint that would leave its bounds flips to the other side of the point.
  if (r.Right > b.Right) r = {r.Left - W - 2, r.Top, r.Right - W - 2, r.Bottom};
  if (r.Bottom > b.Bottom) r = {r.Left, r.Top - H - 2, r.Right, r.Bottom - H - 2};
  SetBoundsRect(r);
  win::HWND h = Handle();
  if (IsWindows2000OrLater()) {
    auto ex = win::GetWindowLong(h, win::GWL_EXSTYLE);
    if (FspHint->AlphaBlend && !FOldAlphaBlend)
      win::SetWindowLong(h, win::GWL_EXSTYLE, ex | win::WS_EX_LAYERED);
    else if (!FspHint->AlphaBlend && FOldAlphaBlend)
      win::SetWindowLong(h, win::GWL_EXSTYLE, ex & ~win::LONG_PTR(win::WS_EX_LAYERED));
    FOldAlphaBlend = FspHint->AlphaBlend;
    if (FspHint->AlphaBlend && FspHint->AlphaBlendAnimation) SetWindowAlpha(h, 0);
    if (FspHint->AlphaBlend && FspHint->AlphaBlendValue != FOldAlphaBlendValue) {
      if (!FspHint->AlphaBlendAnimation) SetWindowAlpha(h, uint8_t(std::clamp(FspHint->AlphaBlendValue, 0, 255)));
      FOldAlphaBlendValue = FspHint->AlphaBlendValue;
    }
  }
  if (FSD && FSD->HintWindow.MaskPictureIndex != -1 && PictureAt(FSD, FSD->HintWindow.MaskPictureIndex)) {
    const TbsDataSkinHintWindow& rec = FSD->HintWindow;
    gfx::HRGN rgn;
    CreateSkinRegion(rgn, {rec.LTPoint, rec.RTPoint, rec.LBPoint, rec.RBPoint, rec.ClRect},
                     {NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect}, PictureAt(FSD, rec.MaskPictureIndex),
                     W, H);
    win::SetWindowRgn(h, rgn, false);
  } else {
    win::SetWindowRgn(h, gfx::HRGN(), false);
  }
  win::SetWindowPos(h, win::HWND_TOPMOST, r.Left, r.Top, 0, 0,
                    win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE | win::SWP_NOSIZE);
  visible_ = true;
  Repaint();
  if (IsWindows2000OrLater() && FspHint->AlphaBlend && FspHint->AlphaBlendAnimation) {
    const int target = std::clamp(FspHint->AlphaBlendValue, 0, 255);
    FadeInWindowAlpha(h, target, target / 15, 3, false, {}, [this] { Repaint(); });
  }
}

void TbsSkinHintWindow::ActivateHintData(cl::TRect Rect, const std::string& AHint, void*) {
  AExtendedStyle = false;
  TbsSkinHint* c = ActiveSkinHint();
  if (c && (!c->FHintTitle.empty() || c->FHintImageList)) {
    ActivateHintEx(Rect, c->FHintTitle, AHint, c->FHintImageIndex, c->FHintImageList);
    return;
  }
  Title.clear();
  ImageList = nullptr;
  ImageIndex = -1;
  Activate(Kind::Plain, Rect.TopLeft(), {}, false, AHint);
}

void TbsSkinHintWindow::ActivateHintEx(cl::TRect Rect, const std::string& AHintTitle, const std::string& AHint,
                                       int AImageIndex, cl::TCustomImageList* AImageList) {
  AExtendedStyle = true;
  Title = AHintTitle;
  ImageIndex = AImageIndex;
  ImageList = AImageList;
  Activate(Kind::Extended, Rect.TopLeft(), {}, false, AHint);
}

void TbsSkinHintWindow::ActivateHintFromRect(cl::TRect ARect, const std::string& AHint, bool ATop) {
  AExtendedStyle = false;
  Title.clear();
  ImageList = nullptr;
  ImageIndex = -1;
  Activate(Kind::FromRect, {}, ARect, ATop, AHint);
}

void TbsSkinHintWindow::HideHintWindow() {
  visible_ = false;
  if (HandleAllocated())
    win::SetWindowPos(Handle(), win::HWND_TOPMOST, 0, 0, 0, 0,
                      win::SWP_HIDEWINDOW | win::SWP_NOACTIVATE | win::SWP_NOSIZE | win::SWP_NOMOVE);
}

void TbsSkinHintWindow::Paint() {
  if (!FspHint || FspHint->Destroyed()) return;
  const int W = Width(), H = Height();
  gfx::TBitmap B;
  if (FSD) {
    const TbsDataSkinHintWindow& r = FSD->HintWindow;
    gfx::TBitmap* pic = Picture();
    const TbsNinePartStretch st = StretchOf(r);
    CreateSkinImage2({r.LTPoint, r.RTPoint, r.LBPoint, r.RBPoint, r.ClRect},
                     {NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect}, &B,
                     {pic, TRect{0, 0, pic->Width(), pic->Height()}}, W, H, true, st);
  } else {
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(gfx::clInfoBk);
    B.Canvas()->FillRect(TRect{0, 0, W, H});
    B.Canvas()->Brush()->SetColor(gfx::clBtnShadow);
    B.Canvas()->FrameRect(TRect{0, 0, W, H});
  }
  gfx::TCanvas* C = B.Canvas();
  C->Brush()->SetStyle(gfx::bsClear);
  SetupFont(C);
  if (!FSD) C->Font()->SetColor(gfx::clInfoText);
  const std::string& text = text_;
  const bool image = AExtendedStyle && HasImage(ImageList, ImageIndex);
  if (!AExtendedStyle) {
    if (FSD) {
      TRect m{0, 0, 0, 0};
      WideDrawText(C, text, m, gfx::DT_CALCRECT);
      int x = NewClRect.Left + (NewClRect.Width() - m.Width()) / 2;
      int y = NewClRect.Top + (NewClRect.Height() - m.Height()) / 2;
      TRect r{x, y, x + m.Width(), y + m.Height()};
      WideDrawText(C, text, r, 0);
    } else {
      TRect r{2, 2, W - 2, H - 2};
      WideDrawText(C, text, r, 0);
    }
  } else {
    TRect area =
        FSD ? TRect{NewClRect.Left + 5, NewClRect.Top, NewClRect.Right, NewClRect.Bottom} : TRect{2, 2, W - 2, H - 2};
    int T = 0;
    if (!Title.empty()) {
      C->Font()->SetStyle(C->Font()->Style() + gfx::TFontStyles{gfx::fsBold});
      TRect tr{area.Left, area.Top, area.Right, area.Bottom};
      T = WideDrawText(C, Title, tr, 0) + 5;
      SetupFont(C);
      if (!FSD) C->Font()->SetColor(gfx::clInfoText);
      C->Brush()->SetStyle(gfx::bsClear);
    }
    TRect m{0, 0, 0, 0};
    WideDrawText(C, text, m, gfx::DT_CALCRECT);
    int x = area.Left;
    if (image) {
      int iy = !Title.empty() ? area.Top + T : area.Top + (area.Height() - ImageList->Height()) / 2;
      ImageList->Draw(C, x, iy, ImageIndex, true);
      x += ImageList->Width() + 5;
    }
    int y = !Title.empty() ? area.Top + T : area.Top + (area.Height() - m.Height()) / 2;
    TRect r{x, y, area.Right, area.Bottom};
    WideDrawText(C, text, r, 0);
  }
  Canvas()->Draw(0, 0, &B);
}

// ============================================================================ TbsSkinHint

TbsSkinHint::TbsSkinHint(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  HW = new TbsSkinHintWindow(this);
  HW->SetVisible(false);
  cl::Application->HintWindowClass = MakeSkinHintWindow;
  // Off and on again: the application makes its hint window of the new class.
  bool was = cl::Application->ShowHint();
  cl::Application->SetShowHint(!was);
  cl::Application->SetShowHint(was);
  InstallHandler();
  cl::Application->HintShortPause = 100;
}

void TbsSkinHint::Destroy() {
  HideHint();
  if (g_handlerOwner == this) g_handlerOwner = nullptr;
  cl::FreeAndNil(HintTimer);
  cl::FreeAndNil(HW);
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  cl::TComponent::Destroy();
}

void TbsSkinHint::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSkinData) FSkinData = nullptr;
  if (AComponent == FHintImageList) FHintImageList = nullptr;
  if (AComponent == HintTimer) HintTimer = nullptr;
}

void TbsSkinHint::InstallHandler() {
  g_handlerOwner = this;
  cl::Application->OnShowHint = [](std::string& S, bool& Can, cl::THintInfo& Info) {
    if (TbsSkinHint* h = g_handlerOwner) {
      cl::Keep<TbsSkinHint> k(h);
      h->DoShowHint(S, Can, Info);
    }
  };
}

void TbsSkinHint::SetLineSeparator(const std::string& V) {
  if (V.find('\n') != std::string::npos || V.find('\r') != std::string::npos) return;
  FLineSeparator = V;
}

void TbsSkinHint::SetSkinData(TbsSkinData* V) {
  if (FSkinData) FSkinData->RemoveFreeNotification(this);
  FSkinData = V;
  if (V) V->FreeNotification(this);
}

void TbsSkinHint::SetActive(bool V) {
  FActive = V;
  if (V) {
    if (cl::TCustomForm* mf = cl::Application->MainForm())
      for (int i = 0; i < mf->ComponentCount(); ++i)
        if (auto* o = dynamic_cast<TbsSkinHint*>(mf->Components(i)); o && o != this && o->Active()) o->SetActive(false);
    InstallHandler();
  }
}

std::string TbsSkinHint::SplitLines(const std::string& S) const {
  if (FLineSeparator.empty()) return S;
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t f = S.find(FLineSeparator, pos);
    if (f == std::string::npos) break;
    out.append(S, pos, f - pos);
    out += "\n\r";  // the text engine counts this pair as one break
    pos = f + FLineSeparator.size();
  }
  out.append(S, pos, std::string::npos);
  return out;
}

void TbsSkinHint::DoShowHint(std::string& HintStr, bool& CanShow, cl::THintInfo& HintInfo) {
  FHintTitle.clear();
  FHintImageIndex = 0;
  FHintImageList = nullptr;
  if (auto* src = dynamic_cast<IbsSkinHintSource*>(HintInfo.HintControl)) {
    FHintTitle = src->HintTitle();
    FHintImageIndex = src->HintImageIndex();
    FHintImageList = src->HintImageList();
    if (FHintImageList) FHintImageList->FreeNotification(this);
  }
  OnShowHint(HintStr, CanShow, HintInfo);
}

void TbsSkinHint::StartDelayed(Delayed K) {
  cl::FreeAndNil(HintTimer);
  FDelayed = K;
  HintTimer = new cl::TTimer(this);
  HintTimer->SetEnabled(false);
  HintTimer->SetInterval(unsigned(std::max(cl::Application->HintPause, 1)));
  HintTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinHint::ShowTick));
  HintTimer->SetEnabled(true);
}

void TbsSkinHint::ActivateHint2(const std::string& AHint) {
  HintText = AHint;
  FHintTitle.clear();
  FHintImageIndex = 0;
  FHintImageList = nullptr;
  StartDelayed(Delayed::Plain);
}

void TbsSkinHint::ActivateHintEx2(const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                                  cl::TCustomImageList* AImageList) {
  FHintTitle = AHintTitle;
  FHintImageIndex = AImageIndex;
  FHintImageList = AImageList;
  if (AImageList) AImageList->FreeNotification(this);
  HintText = AHint;
  StartDelayed(Delayed::Extended);
}

void TbsSkinHint::ActivateHint3(TRect AFromRect, const std::string& AHint, bool ATop) {
  FromRect = AFromRect;
  Top = ATop;
  HintText = AHint;
  FHintTitle.clear();
  FHintImageIndex = 0;
  FHintImageList = nullptr;
  StartDelayed(Delayed::FromRect);
}

void TbsSkinHint::ShowTick(rtl::TObject*) {
  if (!HintTimer) return;
  cl::Keep<TbsSkinHint> self(this);
  win::POINT p;
  win::GetCursorPos(&p);
  TPoint at{p.X, p.Y + GetCursorHeightMargin()};
  switch (FDelayed) {
    case Delayed::Plain:
      HW->ActivateHintData(TRect{at.X, at.Y, at.X, at.Y}, HintText, nullptr);
      break;
    case Delayed::Extended:
      HW->ActivateHintEx(TRect{at.X, at.Y, at.X, at.Y}, FHintTitle, HintText, FHintImageIndex, FHintImageList);
      break;
    case Delayed::FromRect:
      HW->ActivateHintFromRect(FromRect, HintText, Top);
      break;
  }
  if (Destroyed() || !HintTimer) return;
  HintTimer->SetInterval(unsigned(std::max(cl::Application->HintHidePause, 1)));
  HintTimer->SetOnTimer(rtl::TNotifyEvent(this, &TbsSkinHint::HideTick));
}

// Frees the timer that is ticking: the timer object outlives its own tick,
// and nothing here touches it afterwards.
void TbsSkinHint::HideTick(rtl::TObject*) { HideHint(); }

void TbsSkinHint::ActivateHint(TPoint P, const std::string& AHint) {
  FHintTitle.clear();
  FHintImageIndex = 0;
  FHintImageList = nullptr;
  HW->ActivateHintData(TRect{P.X, P.Y, P.X, P.Y}, AHint, nullptr);
}

void TbsSkinHint::ActivateHintEx(TPoint P, const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                                 cl::TCustomImageList* AImageList) {
  HW->ActivateHintEx(TRect{P.X, P.Y, P.X, P.Y}, AHintTitle, AHint, AImageIndex, AImageList);
}

void TbsSkinHint::HideHint() {
  if (HintTimer) {
    HintTimer->SetEnabled(false);
    cl::FreeAndNil(HintTimer);
  }
  if (HW && HW->Visible()) HW->HideHintWindow();
  FHintTitle.clear();
  FHintImageIndex = 0;
  FHintImageList = nullptr;
}

bool TbsSkinHint::IsVisible() const { return HW && HW->Visible(); }

int TbsSkinHint::GetCursorHeightMargin() const {
  // The layer offers no cursor picture to measure, which is the case the
  // shape query fails in: the height of a cursor cell.
  return win::GetSystemMetrics(win::SM_CYCURSOR);
}

}  // namespace skin
