#include "platform/rtl/threads.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/rtl/dispatcher.h"
#include "platform/rtl/exceptions.h"

namespace rtl {

TThreadID GetCurrentThreadId() { return static_cast<TThreadID>(::syscall(SYS_gettid)); }

// The initial thread's id equals the process id.
TThreadID MainThreadID() { return static_cast<TThreadID>(::getpid()); }

bool IsMainThread() { return GetCurrentThreadId() == MainThreadID(); }

void Sleep(std::uint32_t ms) {
  if (ms == 0)
    std::this_thread::yield();
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---------------------------------------------------------------------------

void TEvent::SetEvent() {
  {
    // Notify under the lock: a waiter that frees the event as soon as its wait
    // returns cannot do so before this call has let go of it.
    std::lock_guard lock(m_);
    signaled_ = true;
    cv_.notify_all();
  }
  Wake();  // a main thread waiting while pumping re-checks at once
}

void TEvent::ResetEvent() {
  std::lock_guard lock(m_);
  signaled_ = false;
}

bool TEvent::IsSet() const {
  std::lock_guard lock(m_);
  return signaled_;
}

TWaitResult TEvent::WaitFor(std::uint32_t ms) {
  std::unique_lock lock(m_);
  if (ms == INFINITE) {
    cv_.wait(lock, [&] { return signaled_; });
  } else if (!cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return signaled_; })) {
    return wrTimeout;
  }
  if (!manualReset_) signaled_ = false;
  return wrSignaled;
}

TWaitResult TMutex::WaitFor(std::uint32_t ms) {
  const TThreadID me = GetCurrentThreadId();
  std::unique_lock lock(m_);
  auto free = [&] { return count_ == 0 || owner_ == me; };
  if (ms == INFINITE)
    cv_.wait(lock, free);
  else if (!cv_.wait_for(lock, std::chrono::milliseconds(ms), free))
    return wrTimeout;
  owner_ = me;
  ++count_;
  return wrSignaled;
}

void TMutex::Release() {
  std::lock_guard lock(m_);
  if (count_ == 0 || owner_ != GetCurrentThreadId())
    throw EInvalidOperation("Mutex released by a thread that does not own it");
  if (--count_ == 0) {
    owner_ = 0;
    cv_.notify_one();
  }
}

// ---------------------------------------------------------------------------

int NiceValueOf(TThreadPriority priority) {
  static const int kNice[] = {19, 10, 5, 0, -5, -10, -15};
  return kNice[priority];
}

TThread::TThread() = default;

TThread::~TThread() {
  if (!Started()) return;
  if (!FreeOnTerminate()) TerminateAndWait();
  if (!joined_.exchange(true)) pthread_join(handle_, nullptr);
}

void TThread::TerminateAndWait() {
  if (!Started() || Finished()) return;
  Terminate();
  WaitFor();
}

void TThread::Start() {
  if (started_.exchange(true)) throw EThread("Cannot call Start on a running or finished thread");
  pthread_t h;
  int err = pthread_create(&h, nullptr, &TThread::ThreadProc, this);
  if (err != 0) {
    started_.store(false);
    throw EThread("Thread creation error: " + SysErrorMessage(err));
  }
  // A self-freeing thread may already be gone here; it detaches itself and
  // never reads handle_.
}

void TThread::Resume() {
  if (!Started()) Start();
}

void TThread::SetPriority(TThreadPriority value) {
  priority_.store(value);
  if (ThreadID() != 0) ApplyPriority();
}

void TThread::ApplyPriority() {
  // Best effort: raising needs privilege, and failing leaves the old priority.
  setpriority(PRIO_PROCESS, static_cast<id_t>(ThreadID()), NiceValueOf(Priority()));
}

void* TThread::ThreadProc(void* arg) {
  auto* self = static_cast<TThread*>(arg);
  self->handle_ = pthread_self();
  self->tid_.store(GetCurrentThreadId(), std::memory_order_release);
  if (self->Priority() != tpNormal) self->ApplyPriority();
  try {
    self->Execute();
  } catch (...) {
    std::lock_guard lock(self->fatalMutex_);
    self->fatal_ = std::current_exception();
  }
  try {
    self->DoTerminate();
  } catch (...) {
    std::lock_guard lock(self->fatalMutex_);
    if (!self->fatal_) self->fatal_ = std::current_exception();
  }
  if (self->FreeOnTerminate()) {
    self->joined_.store(true);
    self->finished_.SetEvent();
    pthread_detach(pthread_self());
    delete self;
    return nullptr;
  }
  self->finished_.SetEvent();  // the owner may delete the object from here on
  return nullptr;
}

void TThread::DoTerminate() {
  if (!OnTerminate.Assigned()) return;
  try {
    Synchronize([this] { OnTerminate(this); });
  } catch (const EDispatcherShutdown&) {
    // The program is ending; nobody is left to notify.
  }
}

int TThread::WaitFor() {
  if (FreeOnTerminate()) throw EThread("Cannot wait for a thread that frees itself");
  if (!Started()) throw EThread("Cannot wait for a thread that was never started");
  if (IsMainThread()) {
    // Keep synchronised calls flowing but do not pump window messages.
    detail::WaitRunningCalls([this] { return finished_.IsSet(); }, -1, false);
  } else {
    finished_.WaitFor();
  }
  return ReturnValue();
}

std::exception_ptr TThread::FatalException() const {
  std::lock_guard lock(fatalMutex_);
  return fatal_;
}

std::string TThread::FatalMessage() const {
  std::exception_ptr e = FatalException();
  if (!e) return {};
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    return ex.what();
  } catch (...) {
    return "Unknown exception";
  }
}

void TThread::Synchronize(const std::function<void()>& fn) { RunInMainThread(fn); }

void TThread::Queue(std::function<void()> fn) {
  if (IsMainThread())
    fn();
  else
    Post(std::move(fn));
}

}  // namespace rtl
