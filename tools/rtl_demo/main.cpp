// Four workers report their progress to the main thread through
// RunInMainThread; the main loop waits while pumping and prints each report
// in the order it was delivered.
#include <cstdio>
#include <vector>

#include "platform/rtl/dispatcher.h"
#include "platform/rtl/format.h"
#include "platform/rtl/threads.h"

namespace {

class ProgressWorker : public rtl::TThread {
 public:
  ProgressWorker(int index, int steps, int stepMs, int* delivered)
      : index_(index), steps_(steps), stepMs_(stepMs), delivered_(delivered) {}
  ~ProgressWorker() override { TerminateAndWait(); }

 protected:
  void Execute() override {
    for (int step = 1; step <= steps_ && !Terminated(); ++step) {
      rtl::Sleep(stepMs_);
      // Blocks until the main thread has printed the line.
      Synchronize([this, step] {
        ++*delivered_;
        std::printf("%s\n", rtl::Format("%3d  worker %d  %3d%%", *delivered_, index_, step * 100 / steps_).c_str());
        std::fflush(stdout);
      });
    }
  }

 private:
  int index_, steps_, stepMs_;
  int* delivered_;  // touched only on the main thread
};

}  // namespace

int main() {
  int delivered = 0;
  int finished = 0;
  std::vector<ProgressWorker*> workers;
  for (int i = 1; i <= 4; ++i) {
    auto* w = new ProgressWorker(i, 5, 7 * i, &delivered);
    w->OnTerminate = [&finished, i](rtl::TObject*) {
      ++finished;
      std::printf("     worker %d done\n", i);
    };
    workers.push_back(w);
  }
  for (ProgressWorker* w : workers) w->Start();

  // The main loop: keep running the workers' calls until all have ended.
  bool ok = rtl::WaitWhilePumping([&] { return finished == 4; }, 30000);
  for (ProgressWorker* w : workers) delete w;
  std::printf("%s\n",
              rtl::Format("%d reports delivered, %s", delivered, ok ? "all workers finished" : "timed out").c_str());
  rtl::Shutdown();
  return ok && delivered == 20 ? 0 : 1;
}
