// Injectable time source. Timers, fades, type-ahead windows, double-click
// tests and GetTickCount loops read CurrentClock(), so tests can drive time
// with a ManualClock.
#pragma once

#include <atomic>
#include <cstdint>

namespace rtl {

class Clock {
 public:
  virtual ~Clock() = default;
  // Microseconds from an arbitrary fixed origin; never goes backwards.
  virtual std::int64_t NowUs() const = 0;
  std::int64_t NowMs() const { return NowUs() / 1000; }
};

// CLOCK_MONOTONIC.
class SystemClock : public Clock {
 public:
  std::int64_t NowUs() const override;
};

// Moves only when told to. Thread-safe.
class ManualClock : public Clock {
 public:
  explicit ManualClock(std::int64_t startUs = 0) : now_(startUs) {}
  std::int64_t NowUs() const override { return now_.load(std::memory_order_acquire); }
  void Advance(std::int64_t ms) { AdvanceUs(ms * 1000); }
  void AdvanceUs(std::int64_t us) { now_.fetch_add(us, std::memory_order_acq_rel); }
  void SetUs(std::int64_t us) { now_.store(us, std::memory_order_release); }

 private:
  std::atomic<std::int64_t> now_;
};

// The process-wide clock; a SystemClock unless replaced. SetCurrentClock does
// not take ownership; pass nullptr to go back to the system clock.
Clock& CurrentClock();
void SetCurrentClock(Clock* clock);

}  // namespace rtl
