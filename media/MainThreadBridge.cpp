#include "media/MainThreadBridge.h"

#include "platform/rtl/dispatcher.h"
#include "platform/rtl/threads.h"

namespace media::bridge {

bool IsMainThread() { return rtl::IsMainThread(); }

bool ProcessOne() {
  bool ran = rtl::CheckSynchronize();
  rtl::RunPumpHook();
  return ran;
}

void RunBlocking(const std::function<void()>& fn) { rtl::RunInMainThread(fn); }

void Post(std::function<void()> fn) { rtl::Post(std::move(fn)); }

}  // namespace media::bridge
