#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/dispatcher.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/threads.h"

using namespace rtl;

namespace {
// Each test leaves the dispatcher as it found it.
class Dispatcher : public ::testing::Test {
 protected:
  void TearDown() override { rtl::testing::ResetDispatcher(); }
};

// Runs fn in a plain worker; Joined() waits while pumping.
class Worker {
 public:
  explicit Worker(std::function<void()> fn)
      : t_([this, fn = std::move(fn)] {
          fn();
          done_.SetEvent();
        }) {}
  ~Worker() { t_.join(); }
  bool Joined(std::uint32_t ms = 10000) { return WaitFor(done_, ms) == wrSignaled; }
  bool Done() const { return done_.IsSet(); }

 private:
  TEvent done_;
  std::thread t_;
};
}  // namespace

TEST_F(Dispatcher, DirectCallOnMainThread) {
  ASSERT_TRUE(IsMainThread());
  bool ran = false;
  RunInMainThread([&] { ran = true; });
  EXPECT_TRUE(ran);  // before it returned, nothing queued
  EXPECT_EQ(PendingCalls(), 0u);
  EXPECT_THROW(RunInMainThread([] { throw EConvertError("x"); }), EConvertError);
}

TEST_F(Dispatcher, WorkerBlocksUntilMainThreadRanTheCall) {
  std::atomic<TThreadID> ranOn{0};
  std::atomic<bool> workerSawResult{false};
  int value = 0;  // touched only on the main thread, then read by the worker after the call
  Worker w([&] {
    RunInMainThread([&] {
      ranOn = GetCurrentThreadId();
      value = 42;
    });
    workerSawResult = value == 42;
  });
  ASSERT_TRUE(w.Joined());
  EXPECT_EQ(ranOn.load(), MainThreadID());
  EXPECT_TRUE(workerSawResult);
}

TEST_F(Dispatcher, ExceptionIsCarriedBackToTheWorker) {
  std::string message;
  bool wrongType = false;
  Worker w([&] {
    try {
      RunInMainThread([] { throw EConvertError("'x' is not a valid integer value"); });
    } catch (const EConvertError& e) {
      message = e.Message();
    } catch (...) {
      wrongType = true;
    }
  });
  ASSERT_TRUE(w.Joined());
  EXPECT_EQ(message, "'x' is not a valid integer value");
  EXPECT_FALSE(wrongType);
}

// The stop-with-wait pattern: a worker raises progress events under its event
// lock through RunInMainThread; the main thread asks it to stop and waits for
// its stop event while pumping. Neither side may wait for the other.
TEST_F(Dispatcher, WorkerHoldingLockInsideRunInMainThreadWhileMainWaitsDoesNotDeadlock) {
  TCriticalSection eventLock;
  TEvent stopEvent(true, false);
  std::atomic<bool> broken{false};
  std::atomic<int> events{0};
  int handled = 0;
  Worker w([&] {
    while (!broken) {
      std::lock_guard lock(eventLock);  // held until the handler has returned
      RunInMainThread([&] { ++handled; });
      ++events;
    }
    stopEvent.SetEvent();
  });
  ASSERT_TRUE(WaitWhilePumping([&] { return events >= 5; }, 10000));
  broken = true;
  EXPECT_EQ(WaitFor(stopEvent, 10000), wrSignaled);
  ASSERT_TRUE(w.Joined());
  EXPECT_EQ(handled, events.load());
}

TEST_F(Dispatcher, ThreadWaitForOnMainThreadRunsSynchronisedCalls) {
  struct Progress : TThread {
    int* counter;
    void Execute() override {
      for (int i = 0; i < 20; ++i) Synchronize([this] { ++*counter; });
      SetReturnValue(7);
    }
  };
  int counter = 0;
  Progress t;
  t.counter = &counter;
  t.Start();
  EXPECT_EQ(t.WaitFor(), 7);
  EXPECT_EQ(counter, 20);
}

TEST_F(Dispatcher, PostedAndSynchronousCallsRunInOrder) {
  std::vector<std::string> order;  // main thread only
  Post([&] { order.push_back("main-1"); });
  Post([&] { order.push_back("main-2"); });
  Worker w([&] {
    Post([&] { order.push_back("w-post-1"); });
    RunInMainThread([&] { order.push_back("w-sync"); });
    Post([&] { order.push_back("w-post-2"); });
  });
  ASSERT_TRUE(w.Joined());
  CheckSynchronize();
  EXPECT_EQ(order, (std::vector<std::string>{"main-1", "main-2", "w-post-1", "w-sync", "w-post-2"}));
}

TEST_F(Dispatcher, ManyProducersKeepTheirOwnOrder) {
  constexpr int kWorkers = 4, kCalls = 200;
  std::vector<std::vector<int>> seen(kWorkers);
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int w = 0; w < kWorkers; ++w)
    threads.emplace_back([&, w] {
      for (int i = 0; i < kCalls; ++i) {
        if (i % 3 == 0)
          RunInMainThread([&seen, w, i] { seen[w].push_back(i); });
        else
          Post([&seen, w, i] { seen[w].push_back(i); });
      }
      ++finished;
      Wake();
    });
  ASSERT_TRUE(WaitWhilePumping([&] { return finished == kWorkers && PendingCalls() == 0; }, 20000));
  for (auto& t : threads) t.join();
  for (int w = 0; w < kWorkers; ++w) {
    ASSERT_EQ(seen[w].size(), static_cast<size_t>(kCalls));
    for (int i = 0; i < kCalls; ++i) EXPECT_EQ(seen[w][i], i);
  }
}

TEST_F(Dispatcher, CheckSynchronizeRunsOnlyCallsQueuedBeforeIt) {
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    Post(again);  // re-posting itself must not starve the caller
  };
  Post(again);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(runs, 2);
  rtl::testing::ResetDispatcher();
  EXPECT_FALSE(CheckSynchronize());
}

TEST_F(Dispatcher, PostedExceptionGoesToTheHandlerAndTheQueueGoesOn) {
  std::string caught;
  SetPostedExceptionHandler([&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const Exception& ex) {
      caught = ex.Message();
    }
  });
  bool after = false;
  Post([] { throw EInvalidOperation("bad frame"); });
  Post([&] { after = true; });
  CheckSynchronize();
  EXPECT_EQ(caught, "bad frame");
  EXPECT_TRUE(after);
}

TEST_F(Dispatcher, PumpHookTimeoutAndWakeFd) {
  int pumped = 0;
  EXPECT_FALSE(RunPumpHook());
  SetPumpHook([&] { ++pumped; });
  EXPECT_TRUE(RunPumpHook());
  EXPECT_EQ(pumped, 1);
  EXPECT_FALSE(WaitWhilePumping([] { return false; }, 30));
  EXPECT_GE(pumped, 2);
  EXPECT_TRUE(WaitWhilePumping([] { return true; }, 0));
  TEvent e;
  EXPECT_EQ(WaitFor(e, 20), wrTimeout);

  int fd = WakeFd();
  ASSERT_GE(fd, 0);
  pollfd p{fd, POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 0);
  std::thread t([] { Post([] {}); });
  t.join();
  EXPECT_EQ(poll(&p, 1, 0), 1);  // readable once a call is queued
  CheckSynchronize();
  EXPECT_EQ(poll(&p, 1, 0), 0);
}

TEST_F(Dispatcher, ShutdownReleasesBlockedWorkersAndFailsLaterCalls) {
  std::atomic<int> released{0};
  std::atomic<bool> ran{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < 3; ++i)
    threads.emplace_back([&] {
      try {
        RunInMainThread([&] { ran = true; });
      } catch (const EDispatcherShutdown&) {
        ++released;
      }
    });
  while (PendingCalls() < 3) Sleep(1);  // all three blocked; the main thread does not pump
  Shutdown();
  for (auto& t : threads) t.join();
  EXPECT_EQ(released, 3);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(IsShutDown());
  std::thread late([&] { EXPECT_THROW(RunInMainThread([] {}), EDispatcherShutdown); });
  late.join();
  EXPECT_FALSE(Post([] {}));
  bool direct = false;
  RunInMainThread([&] { direct = true; });  // the main thread itself still calls directly
  EXPECT_TRUE(direct);
}
