#include "platform/rtl/clock.h"

#include <time.h>

namespace rtl {

std::int64_t SystemClock::NowUs() const {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

namespace {
SystemClock& TheSystemClock() {
  static SystemClock c;
  return c;
}
std::atomic<Clock*> g_clock{nullptr};
}  // namespace

Clock& CurrentClock() {
  Clock* c = g_clock.load(std::memory_order_acquire);
  return c ? *c : TheSystemClock();
}

void SetCurrentClock(Clock* clock) { g_clock.store(clock, std::memory_order_release); }

}  // namespace rtl
