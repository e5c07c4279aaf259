#include "media/MainThreadBridge.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace media::bridge {

namespace {

struct Call {
  std::function<void()> fn;
  bool blocking = false;
  bool done = false;
  std::exception_ptr error;
};

struct Queue {
  std::mutex lock;
  std::condition_variable cv;
  std::deque<std::shared_ptr<Call>> calls;
};

Queue& Q() {
  static Queue* q = new Queue();
  return *q;
}

const std::thread::id gMainThread = std::this_thread::get_id();

}  // namespace

bool IsMainThread() { return std::this_thread::get_id() == gMainThread; }

bool ProcessOne() {
  std::shared_ptr<Call> c;
  {
    std::lock_guard<std::mutex> lk(Q().lock);
    if (Q().calls.empty()) return false;
    c = Q().calls.front();
    Q().calls.pop_front();
  }
  try {
    c->fn();
  } catch (...) {
    c->error = std::current_exception();
  }
  if (c->blocking) {
    std::lock_guard<std::mutex> lk(Q().lock);
    c->done = true;
    Q().cv.notify_all();
  }
  return true;
}

void RunBlocking(const std::function<void()>& fn) {
  auto c = std::make_shared<Call>();
  c->fn = fn;
  c->blocking = true;
  std::unique_lock<std::mutex> lk(Q().lock);
  Q().calls.push_back(c);
  Q().cv.wait(lk, [&] { return c->done; });
  if (c->error) std::rethrow_exception(c->error);
}

void Post(std::function<void()> fn) {
  auto c = std::make_shared<Call>();
  c->fn = std::move(fn);
  std::lock_guard<std::mutex> lk(Q().lock);
  Q().calls.push_back(c);
}

}  // namespace media::bridge
