// TTimer: ticks on the UI thread, from a message-only window's WM_TIMER.
// Freeing the timer inside its own tick is safe; changing Interval or
// OnTimer of a running timer restarts it.
#pragma once

#include "platform/cl/object.h"
#include "platform/rtl/events.h"
#include "platform/win/window.h"

namespace cl {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  const rtl::TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(rtl::TNotifyEvent e);

 protected:
  void Destroy() override;
  virtual void Timer() { onTimer_(this); }
  std::string ClassName() const override { return "TTimer"; }

 private:
  void UpdateTimer();
  void WndProc(TMessage& m);
  bool enabled_ = true;
  unsigned interval_ = 1000;
  rtl::TNotifyEvent onTimer_;
  win::HWND wnd_;
};

}  // namespace cl
