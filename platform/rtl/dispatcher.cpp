#include "platform/rtl/dispatcher.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/rtl/exceptions.h"

namespace rtl {
namespace {

struct SyncCall {
  bool done = false;
  bool cancelled = false;
  std::exception_ptr error;
};

struct Item {
  std::uint64_t seq;
  std::function<void()> fn;
  std::shared_ptr<SyncCall> sync;  // null for posted calls
};

struct State {
  std::mutex m;
  std::condition_variable changed;  // queue grew, an event was set, ...
  std::condition_variable syncDone;
  std::deque<Item> queue;
  std::uint64_t nextSeq = 1;
  std::uint64_t wakeGen = 0;
  bool shutdown = false;
  PumpHook pump;
  std::function<void(std::exception_ptr)> onPostedError;
  int wakeFd = -1;
  bool wakeFdTried = false;
};

State& S() {
  static State* s = new State;  // never destroyed: workers may outlive static destruction
  return *s;
}

// Caller holds the lock.
void SignalLocked(State& s) {
  ++s.wakeGen;
  if (s.wakeFd >= 0) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t r = ::write(s.wakeFd, &one, sizeof one);
  }
}

void DrainWakeFd(State& s) {
  int fd;
  {
    std::lock_guard lock(s.m);
    fd = s.wakeFd;
  }
  if (fd < 0) return;
  std::uint64_t v;
  while (::read(fd, &v, sizeof v) > 0) {
  }
}

void ReportPostedError(State& s, std::exception_ptr e) {
  std::function<void(std::exception_ptr)> handler;
  {
    std::lock_guard lock(s.m);
    handler = s.onPostedError;
  }
  if (handler) {
    handler(e);
    return;
  }
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "Unhandled exception in a posted call: %s\n", ex.what());
  } catch (...) {
    std::fprintf(stderr, "Unhandled exception in a posted call\n");
  }
}

}  // namespace

void RunInMainThread(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  State& s = S();
  auto call = std::make_shared<SyncCall>();
  std::unique_lock lock(s.m);
  if (s.shutdown) throw EDispatcherShutdown();
  s.queue.push_back(Item{s.nextSeq++, fn, call});
  SignalLocked(s);
  s.changed.notify_all();
  s.syncDone.wait(lock, [&] { return call->done || call->cancelled; });
  if (!call->done) throw EDispatcherShutdown();
  if (call->error) std::rethrow_exception(call->error);
}

bool Post(std::function<void()> fn) {
  State& s = S();
  std::lock_guard lock(s.m);
  if (s.shutdown) return false;
  s.queue.push_back(Item{s.nextSeq++, std::move(fn), nullptr});
  SignalLocked(s);
  s.changed.notify_all();
  return true;
}

bool CheckSynchronize() {
  if (!IsMainThread()) return false;
  State& s = S();
  DrainWakeFd(s);
  std::uint64_t last;
  {
    std::lock_guard lock(s.m);
    last = s.nextSeq - 1;  // calls queued by the calls we run wait for the next round
  }
  bool ran = false;
  while (true) {
    Item item;
    {
      std::lock_guard lock(s.m);
      if (s.queue.empty() || s.queue.front().seq > last) break;
      item = std::move(s.queue.front());
      s.queue.pop_front();
    }
    ran = true;
    if (item.sync) {
      std::exception_ptr error;
      try {
        item.fn();
      } catch (...) {
        error = std::current_exception();
      }
      {
        std::lock_guard lock(s.m);
        item.sync->error = std::move(error);
        item.sync->done = true;
        // The worker keeps the last reference, so the exception is freed in
        // the thread that handles it.
        item.sync.reset();
      }
      s.syncDone.notify_all();
    } else {
      try {
        item.fn();
      } catch (...) {
        ReportPostedError(s, std::current_exception());
      }
    }
  }
  return ran;
}

namespace detail {

bool WaitRunningCalls(const std::function<bool()>& done, std::int64_t timeoutMs, bool pump) {
  using Clock = std::chrono::steady_clock;
  const bool unlimited = timeoutMs < 0 || timeoutMs >= static_cast<std::int64_t>(INFINITE);
  const auto deadline = Clock::now() + std::chrono::milliseconds(unlimited ? 0 : timeoutMs);
  const bool main = IsMainThread();
  State& s = S();
  while (true) {
    std::uint64_t gen;
    {
      std::lock_guard lock(s.m);
      gen = s.wakeGen;
    }
    if (done()) return true;
    if (main) {
      CheckSynchronize();
      if (pump) RunPumpHook();
      if (done()) return true;
    }
    auto now = Clock::now();
    if (!unlimited && now >= deadline) return false;
    auto step = std::chrono::milliseconds(10);
    if (!unlimited && deadline - now < step)
      step = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) + std::chrono::milliseconds(1);
    std::unique_lock lock(s.m);
    s.changed.wait_for(lock, step, [&] { return s.wakeGen != gen || (main && !s.queue.empty()); });
  }
}

}  // namespace detail

bool WaitWhilePumping(const std::function<bool()>& done, std::int64_t timeoutMs) {
  return detail::WaitRunningCalls(done, timeoutMs, true);
}

TWaitResult WaitFor(TEvent& event, std::uint32_t ms) {
  // WaitFor(0) consumes the signal of an auto-reset event only when it reports it.
  bool ok = WaitWhilePumping([&] { return event.WaitFor(0) == wrSignaled; },
                             ms == INFINITE ? -1 : static_cast<std::int64_t>(ms));
  return ok ? wrSignaled : wrTimeout;
}

PumpHook SetPumpHook(PumpHook hook) {
  State& s = S();
  std::lock_guard lock(s.m);
  std::swap(s.pump, hook);
  return hook;
}

bool RunPumpHook() {
  if (!IsMainThread()) return false;
  PumpHook hook;
  {
    State& s = S();
    std::lock_guard lock(s.m);
    hook = s.pump;
  }
  if (!hook) return false;
  hook();
  return true;
}

int WakeFd() {
  State& s = S();
  std::lock_guard lock(s.m);
  if (!s.wakeFdTried) {
    s.wakeFdTried = true;
    s.wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (s.wakeFd >= 0 && !s.queue.empty()) {
      std::uint64_t one = 1;
      [[maybe_unused]] ssize_t r = ::write(s.wakeFd, &one, sizeof one);
    }
  }
  return s.wakeFd;
}

void Wake() {
  State& s = S();
  {
    std::lock_guard lock(s.m);
    ++s.wakeGen;
  }
  s.changed.notify_all();
}

void SetPostedExceptionHandler(std::function<void(std::exception_ptr)> handler) {
  State& s = S();
  std::lock_guard lock(s.m);
  s.onPostedError = std::move(handler);
}

void Shutdown() {
  State& s = S();
  std::deque<Item> dropped;
  {
    std::lock_guard lock(s.m);
    s.shutdown = true;
    dropped.swap(s.queue);
    for (Item& item : dropped)
      if (item.sync) item.sync->cancelled = true;
    ++s.wakeGen;
  }
  s.syncDone.notify_all();
  s.changed.notify_all();
  // The closures are destroyed here, outside the lock.
}

bool IsShutDown() {
  State& s = S();
  std::lock_guard lock(s.m);
  return s.shutdown;
}

std::size_t PendingCalls() {
  State& s = S();
  std::lock_guard lock(s.m);
  return s.queue.size();
}

namespace testing {
void ResetDispatcher() {
  Shutdown();
  State& s = S();
  std::lock_guard lock(s.m);
  s.shutdown = false;
  s.pump = nullptr;
  s.onPostedError = nullptr;
}
}  // namespace testing

}  // namespace rtl
