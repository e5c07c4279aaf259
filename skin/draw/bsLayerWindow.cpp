#include "skin/draw/bsLayerWindow.h"

#include <algorithm>

#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlowText.h"

namespace skin {

TbsLayerWindow::TbsLayerWindow(cl::TComponent* AOwner) : cl::TCustomControl(AOwner) {}

void TbsLayerWindow::CreateParams(cl::TCreateParams& Params) {
  cl::TCustomControl::CreateParams(Params);
  Params.Style = win::WS_POPUP;
  Params.ExStyle = win::WS_EX_TOOLWINDOW | win::WS_EX_TRANSPARENT;
  Params.WindowClass.style |= win::CS_SAVEBITS;
}

void TbsLayerWindow::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == win::WM_MOUSEACTIVATE) {
    Msg.Result = win::MA_NOACTIVATE;
    return;
  }
  cl::TCustomControl::Dispatch(Msg);
}

TbsLayerManager::TbsLayerManager(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  Timer = new cl::TTimer(this);
  Timer->SetEnabled(false);
  Timer->SetInterval(25);
  Timer->SetOnTimer(rtl::TNotifyEvent(this, &TbsLayerManager::TimerTick));
}

void TbsLayerManager::Destroy() {
  if (Timer) {
    Timer->SetEnabled(false);
    cl::FreeAndNil(Timer);
  }
  cl::FreeAndNil(LayerWindow);
  Bmp.reset();
  cl::TComponent::Destroy();
}

void TbsLayerManager::Show(int X, int Y, TbsLayerImage AImage, TbsLayerMask AImageMask, int AAlphaBlendValue) {
  if (!IsWindows2000OrLater() || !AImage.Bitmap || !AImageMask.Bitmap) return;
  if (LayerWindow) Hide();
  IsVisible = true;
  LayerWindow = new TbsLayerWindow(this);
  LayerWindow->SetVisible(false);
  LayerWindow->SetBounds(X, Y, AImage.Bitmap->Width(), AImage.Bitmap->Height());
  win::HWND h = LayerWindow->Handle();
  win::SetWindowLong(h, win::GWL_EXSTYLE, win::GetWindowLong(h, win::GWL_EXSTYLE) | win::WS_EX_LAYERED);
  Bmp = std::make_unique<TbsBitmap>();
  CreateAlphaBitmap(AImage.Bitmap, AImageMask.Bitmap, Bmp.get());
  UpdateLayeredWindowBitmap(Bmp.get(), 0, LayerWindow);
  win::SetWindowPos(h, TopMostMode ? win::HWND_TOPMOST : win::HWND_NOTOPMOST, X, Y, 0, 0,
                    win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE | win::SWP_NOSIZE);
  EndAlphaBlendValue = std::clamp(AAlphaBlendValue, 0, 255);
  // A tenth per tick, but at least 1, so that a low opacity still fades in
  // and the timer stops.
  StepAlphaBlendValue = std::max(1, EndAlphaBlendValue / 10);
  StartTimer();
}

void TbsLayerManager::Hide() {
  // Whatever is shown goes, even if layered windows became unavailable since.
  StopTimer();
  Bmp.reset();
  IsVisible = false;
  if (LayerWindow) {
    if (LayerWindow->HandleAllocated())
      win::SetWindowPos(
          LayerWindow->Handle(), nullptr, 0, 0, 0, 0,
          win::SWP_HIDEWINDOW | win::SWP_NOACTIVATE | win::SWP_NOZORDER | win::SWP_NOMOVE | win::SWP_NOSIZE);
    cl::FreeAndNil(LayerWindow);
  }
}

void TbsLayerManager::StartTimer() {
  BeginAlphaBlendValue = 0;
  Timer->SetEnabled(true);
}

void TbsLayerManager::StopTimer() {
  if (Timer) Timer->SetEnabled(false);
}

void TbsLayerManager::TimerTick(rtl::TObject*) {
  if (!Bmp || !LayerWindow) return;
  BeginAlphaBlendValue = std::min(BeginAlphaBlendValue + StepAlphaBlendValue, EndAlphaBlendValue);
  UpdateLayeredWindowBitmap(Bmp.get(), uint8_t(BeginAlphaBlendValue), LayerWindow);
  if (BeginAlphaBlendValue == EndAlphaBlendValue) StopTimer();
}

}  // namespace skin
