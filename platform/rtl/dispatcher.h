// The UI-thread dispatcher. Workers reach the main thread only through it:
// RunInMainThread blocks the worker until the main thread has run the call,
// Post queues a call without blocking. Both share one FIFO queue, so calls
// run in the order they were made. Whenever the main thread waits for a
// worker it uses WaitWhilePumping, which keeps running queued calls (and the
// window layer's pump hook), so the two never wait for each other.
//
// Headless by design: without a pump hook nothing needs a display. The window
// layer installs its message pump with SetPumpHook and watches WakeFd() in its
// event loop, calling CheckSynchronize when it becomes readable.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>

#include "platform/rtl/threads.h"

namespace rtl {

// On the main thread calls fn directly. From a worker queues fn, wakes the
// main thread and blocks until fn has run there; an exception thrown by fn is
// re-thrown in the worker. After Shutdown a worker gets EDispatcherShutdown
// at once instead of waiting forever.
void RunInMainThread(const std::function<void()>& fn);

// Queues fn for the main thread (from any thread, the main thread included)
// and returns at once. Returns false, dropping fn, after Shutdown.
bool Post(std::function<void()> fn);

// Main thread only: runs the calls queued before this call, in order.
// Returns true when it ran at least one. Elsewhere it does nothing.
bool CheckSynchronize();

// Waits until done() is true or timeoutMs has passed (negative or INFINITE:
// no limit); returns done()'s last answer. On the main thread each round runs
// CheckSynchronize, then the pump hook, then sleeps at most 10 ms or until
// woken (a queued call, a TEvent being set). Off the main thread it just
// waits.
bool WaitWhilePumping(const std::function<bool()>& done, std::int64_t timeoutMs = -1);

// Waits for the event the same way; wrSignaled or wrTimeout.
TWaitResult WaitFor(TEvent& event, std::uint32_t ms = INFINITE);

// The window layer's message pump, run in every round of WaitWhilePumping on
// the main thread. Returns the previous hook. An empty hook pumps nothing.
using PumpHook = std::function<void()>;
PumpHook SetPumpHook(PumpHook hook);
// Main thread only: runs the pump hook once (the engine's "pump the window
// messages"). Returns false when there is no hook or off the main thread.
bool RunPumpHook();

// An eventfd that becomes readable whenever a call is queued; CheckSynchronize
// drains it. -1 if it cannot be created.
int WakeFd();

// Wakes every WaitWhilePumping round at once (TEvent::SetEvent calls this).
void Wake();

// Where an exception escaping a posted call goes (the default writes it to
// stderr). Exceptions of RunInMainThread calls go back to their worker.
void SetPostedExceptionHandler(std::function<void(std::exception_ptr)> handler);

// Stops the dispatcher at program end: queued calls are dropped, workers
// blocked in RunInMainThread are released with EDispatcherShutdown, and later
// RunInMainThread calls from workers fail the same way.
void Shutdown();
bool IsShutDown();

// Number of queued calls (for diagnostics and tests).
std::size_t PendingCalls();

namespace detail {
// WaitWhilePumping with the pump hook optional (thread waits run queued calls
// but no window messages).
bool WaitRunningCalls(const std::function<bool()>& done, std::int64_t timeoutMs, bool pump);
}  // namespace detail

namespace testing {
// Brings a shut-down dispatcher back to its initial state.
void ResetDispatcher();
}  // namespace testing

}  // namespace rtl
