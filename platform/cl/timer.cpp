#include "platform/cl/timer.h"

namespace cl {

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  wnd_ = win::AllocateHWnd([this](TMessage& m) { WndProc(m); });
}

void TTimer::Destroy() {
  enabled_ = false;
  UpdateTimer();
  win::DeallocateHWnd(wnd_);
  wnd_ = nullptr;
  TComponent::Destroy();
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::SetOnTimer(rtl::TNotifyEvent e) {
  onTimer_ = std::move(e);
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (!wnd_) return;
  win::KillTimer(wnd_, 1);
  if (interval_ != 0 && enabled_ && onTimer_.Assigned() && !Destroyed())
    if (!win::SetTimer(wnd_, 1, interval_)) throw rtl::Exception("Not enough timers available");
}

void TTimer::WndProc(TMessage& m) {
  if (m.Msg == win::WM_TIMER) {
    Keep<TTimer> keep(this);
    try {
      if (!Destroyed()) Timer();
    } catch (...) {
      win::HandleDispatchException(std::current_exception());
    }
    return;
  }
  m.Result = win::DefWindowProc(wnd_, m.Msg, m.WParam, m.LParam);
}

}  // namespace cl
