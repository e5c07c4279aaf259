// Threads and synchronisation objects with the class library's names.
// Critical sections and mutexes are recursive: the thread that holds one may
// enter it again.
// There is no Suspend: code that pauses a worker does so at a safe point.
#pragma once

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

#include "platform/rtl/events.h"
#include "platform/rtl/types.h"

namespace rtl {

using TThreadID = std::uint32_t;

TThreadID GetCurrentThreadId();
// The process's initial thread, which runs the user interface.
TThreadID MainThreadID();
bool IsMainThread();

// Sleep(0) yields.
void Sleep(std::uint32_t ms);

class TCriticalSection {
 public:
  void Enter() { m_.lock(); }
  void Leave() { m_.unlock(); }
  void Acquire() { m_.lock(); }
  void Release() { m_.unlock(); }
  bool TryEnter() { return m_.try_lock(); }
  // Lockable, for std::lock_guard / std::unique_lock.
  void lock() { m_.lock(); }
  void unlock() { m_.unlock(); }
  bool try_lock() { return m_.try_lock(); }

 private:
  std::recursive_mutex m_;
};

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError, wrIOCompletion };

// A Win32-style event: manual-reset (stays set until ResetEvent) by default,
// or auto-reset (a successful wait clears it).
class TEvent {
 public:
  explicit TEvent(bool manualReset = true, bool initialState = false)
      : manualReset_(manualReset), signaled_(initialState) {}
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  // ms = INFINITE waits without limit.
  TWaitResult WaitFor(std::uint32_t ms = INFINITE);
  // The current state, without consuming it.
  bool IsSet() const;

 private:
  const bool manualReset_;
  mutable std::mutex m_;
  std::condition_variable cv_;
  bool signaled_;
};

using TSimpleEvent = TEvent;
using ManualResetEvent = TEvent;

// Recursive mutex with timed waits, like a Win32 mutex.
class TMutex {
 public:
  void Acquire() { WaitFor(INFINITE); }
  void Release();
  TWaitResult WaitFor(std::uint32_t ms = INFINITE);
  void lock() { WaitFor(INFINITE); }
  void unlock() { Release(); }
  bool try_lock() { return WaitFor(0) == wrSignaled; }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  TThreadID owner_ = 0;
  int count_ = 0;
};

// Priorities map to nice values (idle 19 ... time-critical -15); raising a
// priority needs privilege, so it is best effort.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
int NiceValueOf(TThreadPriority priority);

// A worker thread. It is created not started; Start (or Resume) runs Execute
// in a new thread. An exception leaving Execute is kept in FatalException.
// After Execute, OnTerminate runs on the main thread. With FreeOnTerminate
// the object deletes itself when the thread ends (then nobody may WaitFor or
// delete it); otherwise its owner deletes it.
// C++ destroys the derived part before ~TThread runs, so a derived class
// whose thread may still be running when it is deleted calls
// TerminateAndWait() first thing in its own destructor; ~TThread does the same
// as a last resort.
class TThread : public TObject {
 public:
  TThread();
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // The framework's Create(CreateSuspended): a new T from args, started at
  // once unless createSuspended. The caller owns the result, unless T's
  // constructor sets FreeOnTerminate.
  template <class T, class... A>
  static T* Create(bool createSuspended, A&&... args) {
    T* t = new T(std::forward<A>(args)...);
    if (!createSuspended) t->Start();
    return t;
  }

  // Raises EThread when the thread was already started.
  void Start();
  // Starts a thread that was never started; otherwise does nothing.
  void Resume();
  void Terminate() { terminated_.store(true, std::memory_order_release); }
  bool Terminated() const { return terminated_.load(std::memory_order_acquire); }
  // Waits until the thread has ended and returns ReturnValue. On the main
  // thread the wait keeps running synchronised calls, so a worker blocked in
  // Synchronize can finish. Raises EThread for a self-freeing thread.
  int WaitFor();
  // Terminate and WaitFor when the thread was started and has not finished.
  void TerminateAndWait();

  bool Started() const { return started_.load(std::memory_order_acquire); }
  bool Suspended() const { return !Started(); }
  bool Finished() const { return finished_.IsSet(); }
  bool FreeOnTerminate() const { return freeOnTerminate_.load(); }
  void SetFreeOnTerminate(bool value) { freeOnTerminate_.store(value); }
  TThreadPriority Priority() const { return priority_.load(); }
  void SetPriority(TThreadPriority value);
  TThreadID ThreadID() const { return tid_.load(std::memory_order_acquire); }
  int ReturnValue() const { return returnValue_.load(); }
  std::exception_ptr FatalException() const;
  std::string FatalMessage() const;  // what() of FatalException, or empty

  TNotifyEvent OnTerminate;

  // Runs fn on the main thread and waits for it (directly on the main thread).
  static void Synchronize(const std::function<void()>& fn);
  // Queues fn for the main thread without waiting (directly on the main thread).
  static void Queue(std::function<void()> fn);

 protected:
  virtual void Execute() = 0;
  // Raises OnTerminate on the main thread.
  virtual void DoTerminate();
  void SetReturnValue(int value) { returnValue_.store(value); }

 private:
  static void* ThreadProc(void* self);
  void ApplyPriority();

  std::atomic<bool> terminated_{false};
  std::atomic<bool> started_{false};
  std::atomic<bool> freeOnTerminate_{false};
  std::atomic<bool> joined_{false};
  std::atomic<TThreadPriority> priority_{tpNormal};
  std::atomic<TThreadID> tid_{0};
  std::atomic<int> returnValue_{0};
  pthread_t handle_{};
  TEvent finished_;
  mutable std::mutex fatalMutex_;
  std::exception_ptr fatal_;
};

}  // namespace rtl
