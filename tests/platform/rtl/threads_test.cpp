#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <memory>
#include <thread>

#include "platform/rtl/dispatcher.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/threads.h"

using namespace rtl;

namespace {
class Threads : public ::testing::Test {
 protected:
  void TearDown() override { rtl::testing::ResetDispatcher(); }
};

struct LambdaThread : TThread {
  std::function<void(LambdaThread&)> body;
  std::atomic<bool>* destroyed = nullptr;
  explicit LambdaThread(std::function<void(LambdaThread&)> b) : body(std::move(b)) {}
  ~LambdaThread() override {
    TerminateAndWait();
    if (destroyed) *destroyed = true;
  }
  void Execute() override { body(*this); }
  using TThread::SetReturnValue;
};
}  // namespace

TEST_F(Threads, CreatedNotStartedThenRunsAndReportsOnMainThread) {
  std::atomic<bool> ran{false};
  LambdaThread t([&](LambdaThread&) { ran = true; });
  TThreadID terminateOn = 0;
  TObject* sender = nullptr;
  t.OnTerminate = [&](TObject* s) {
    sender = s;
    terminateOn = GetCurrentThreadId();
  };
  Sleep(20);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(t.Suspended());
  t.Start();
  EXPECT_THROW(t.Start(), EThread);
  t.WaitFor();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(t.Finished());
  EXPECT_EQ(terminateOn, MainThreadID());
  EXPECT_EQ(sender, &t);
  EXPECT_FALSE(t.FatalException());
}

TEST_F(Threads, FatalExceptionTerminateAndReturnValue) {
  LambdaThread failing([](LambdaThread&) { throw EInOutError(28); });
  failing.Start();
  failing.WaitFor();
  EXPECT_TRUE(failing.FatalException());
  EXPECT_EQ(failing.FatalMessage(), "No space left on device");

  LambdaThread looping([](LambdaThread& self) {
    while (!self.Terminated()) Sleep(1);
    self.SetReturnValue(3);
  });
  looping.SetPriority(tpLower);
  looping.Resume();
  looping.Terminate();
  EXPECT_EQ(looping.WaitFor(), 3);
  EXPECT_NE(looping.ThreadID(), 0u);
  EXPECT_NE(looping.ThreadID(), MainThreadID());
}

TEST_F(Threads, PriorityBecomesTheThreadsNiceValue) {
  std::atomic<int> nice{-100};
  LambdaThread t([&](LambdaThread&) { nice = getpriority(PRIO_PROCESS, static_cast<id_t>(GetCurrentThreadId())); });
  t.SetPriority(tpIdle);
  t.Start();
  t.WaitFor();
  EXPECT_EQ(nice, NiceValueOf(tpIdle));
}

TEST_F(Threads, FreeOnTerminateDeletesItselfAndOwnerDeleteStopsTheThread) {
  std::atomic<bool> destroyed{false};
  auto* t = new LambdaThread([](LambdaThread&) {});
  t->destroyed = &destroyed;
  t->SetFreeOnTerminate(true);
  t->Start();
  EXPECT_TRUE(WaitWhilePumping([&] { return destroyed.load(); }, 10000));

  std::atomic<bool> ran{false};
  std::unique_ptr<LambdaThread> running(TThread::Create<LambdaThread>(false, [&](LambdaThread&) { ran = true; }));
  running->WaitFor();
  EXPECT_TRUE(ran);

  std::atomic<bool> sawTerminate{false};
  {
    LambdaThread owned([&](LambdaThread& self) {
      while (!self.Terminated()) Sleep(1);
      sawTerminate = true;
    });
    owned.Start();
  }  // the destructor terminates and waits
  EXPECT_TRUE(sawTerminate);
}

TEST(Sync, EventsTable) {
  TEvent manual(true, true);
  EXPECT_EQ(manual.WaitFor(0), wrSignaled);
  EXPECT_EQ(manual.WaitFor(0), wrSignaled);  // stays set
  manual.ResetEvent();
  EXPECT_EQ(manual.WaitFor(10), wrTimeout);

  TEvent automatic(false, false);
  automatic.SetEvent();
  EXPECT_EQ(automatic.WaitFor(0), wrSignaled);
  EXPECT_EQ(automatic.WaitFor(0), wrTimeout);  // consumed

  TEvent later;
  std::thread t([&] {
    Sleep(20);
    later.SetEvent();
  });
  EXPECT_EQ(later.WaitFor(INFINITE), wrSignaled);
  t.join();
}

TEST(Sync, CriticalSectionAndMutexAreRecursive) {
  TCriticalSection cs;
  cs.Enter();
  cs.Enter();  // re-entered on the same thread
  std::atomic<bool> other{false};
  std::thread t([&] { other = cs.TryEnter(); });
  t.join();
  EXPECT_FALSE(other);
  cs.Leave();
  cs.Leave();

  TMutex m;
  EXPECT_EQ(m.WaitFor(0), wrSignaled);
  EXPECT_EQ(m.WaitFor(0), wrSignaled);
  std::atomic<TWaitResult> r{wrError};
  std::thread u([&] { r = m.WaitFor(20); });
  u.join();
  EXPECT_EQ(r, wrTimeout);
  m.Release();
  m.Release();
}
