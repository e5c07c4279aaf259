// The worker thread of a transcoder, the stop latch and the pause gate.
#include "media/FFmpeg.h"
#include "platform/rtl/dispatcher.h"

namespace media {

// Runs the conversion; the latch is set when the work is done, whatever
// happened. The object belongs to its transcoder, which joins it.
class TConvertThread : public rtl::TThread {
 public:
  explicit TConvertThread(TCustomFFmpeg* owner) : FOwner(owner) {}
  ~TConvertThread() override { TerminateAndWait(); }

 protected:
  void Execute() override {
    try {
      FOwner->DoConvert();
    } catch (...) {
    }
    FOwner->FStopEvent.SetEvent();
  }

 private:
  TCustomFFmpeg* FOwner;
};

// Raises the termination of a task that never started.
class TDoTerminateThread : public rtl::TThread {
 public:
  explicit TDoTerminateThread(TCustomFFmpeg* owner) : FOwner(owner) {}
  ~TDoTerminateThread() override { TerminateAndWait(); }

 protected:
  void Execute() override {
    try {
      FOwner->DoTerminate();
    } catch (...) {
    }
    FOwner->FTermEvent.SetEvent();
  }

 private:
  TCustomFFmpeg* FOwner;
};

rtl::TThread* TCustomFFmpeg::StartConvert(bool AUseThread, rtl::TThreadPriority APriority) {
  rtl::TThread* t = nullptr;
  {
    // Taking the task, setting its flags and making its thread happen in one
    // step, so a Stop from another thread either finds the task not taken
    // (and terminates it) or finds it converting (and stops it).
    std::lock_guard<std::mutex> lk(FPauseLock);
    if (FStartClaimed || FConverting || FTerminated) return nullptr;
    FStartClaimed = true;
    FConverting = true;
    FBroken = false;
    FFinished = false;
    FTerminated = false;
    FPaused = false;
    if (AUseThread && !Foutput_files.empty() && !Finput_files.empty()) {
      FThread.reset();
      // The latch is reset before the thread exists: a Stop that comes
      // before the thread runs still waits for the work.
      FStopEvent.ResetEvent();
      auto* ct = new TConvertThread(this);
      ct->SetPriority(APriority);
      FThread.reset(ct);
      t = ct;
    }
  }
  const char* missing = Foutput_files.empty()  ? "At least one output file must be specified"
                        : Finput_files.empty() ? "At least one input file must be specified"
                                               : nullptr;
  if (missing) {
    CleanupFiles();
    Log(TLogLevel::llQuiet, missing);
    FFatalException = true;
    FFatalMessage = missing;
    DoTerminate();
    return nullptr;
  }
  if (!t) DoConvert();
  return t;
}

void TCustomFFmpeg::Stop(bool AWaitFor) {
  rtl::TThread* t;
  {
    std::lock_guard<std::mutex> lk(FPauseLock);
    FBroken = true;
    FPaused = false;
    t = FThread.get();
  }
  FPauseCond.notify_all();
  const rtl::TThreadID self = rtl::GetCurrentThreadId();
  if (AWaitFor && FTermThread && FTermThread->ThreadID() != self) rtl::WaitFor(FTermEvent);
  if (!t) return;  // inline: the loop sees the flag at its next pass
  if (!t->Started()) t->Start();
  if (!AWaitFor || t->ThreadID() == self) return;
  // Waits in 20 ms steps; on the main thread queued calls keep running so a
  // worker waiting in a synchronised event can finish.
  while (rtl::WaitFor(FStopEvent, 20) != rtl::wrSignaled) {
  }
}

void TCustomFFmpeg::StopOrTerminate(bool AWaitFor) {
  bool claimed = false;
  {
    std::lock_guard<std::mutex> lk(FPauseLock);
    if (!FStartClaimed && !FConverting && !FTerminated) {
      FStartClaimed = true;
      claimed = true;
      FBroken = true;
      FTermEvent.ResetEvent();
      FTermThread.reset(new TDoTerminateThread(this));
    }
  }
  if (claimed) {
    FTermThread->Start();
    if (AWaitFor && FTermThread->ThreadID() != rtl::GetCurrentThreadId()) rtl::WaitFor(FTermEvent);
    return;
  }
  if (FConverting)
    Stop(AWaitFor);
  else if (AWaitFor && FTermThread)
    rtl::WaitFor(FTermEvent);
}

void TCustomFFmpeg::Pause() {
  std::lock_guard<std::mutex> lk(FPauseLock);
  if (FThread && FConverting && !FBroken) FPaused = true;
}

void TCustomFFmpeg::Resume() {
  {
    std::lock_guard<std::mutex> lk(FPauseLock);
    FPaused = false;
  }
  FPauseCond.notify_all();
}

bool TCustomFFmpeg::Paused() const {
  std::lock_guard<std::mutex> lk(FPauseLock);
  return FPaused;
}

}  // namespace media
