// The conversion task component: the task list, inline and threaded runs,
// and the delivery of the tasks' events to the host.
#include <algorithm>
#include <exception>
#include <thread>

#include "media/AVProbe.h"
#include "media/FFConverter.h"
#include "platform/rtl/dispatcher.h"

namespace media {

namespace {
// Set while this thread runs a progress, preview or custom-hook handler:
// tasks waiting for that handler (or its lock) cannot be waited for by it.
thread_local int tInTaskEvent = 0;
struct InTaskEvent {
  InTaskEvent() { ++tInTaskEvent; }
  ~InTaskEvent() { --tInTaskEvent; }
};
}  // namespace

// One task: its transcoder, a probe per opened input and the records its
// inputs and outputs were set with.
struct TConverterTask {
  std::unique_ptr<TFFmpeg> ff;
  std::vector<std::unique_ptr<TAVProbe>> probes;
  std::vector<std::unique_ptr<TInputOptions>> inputs;
  std::vector<std::unique_ptr<TOutputOptions>> outputs;
  ~TConverterTask() {
    // Stopped and waited for before the probes and records go.
    if (ff) ff->Stop(true);
    probes.clear();
    ff.reset();
  }
};

TFFmpegList::TFFmpegList() = default;
TFFmpegList::~TFFmpegList() = default;

int TFFmpegList::Add(std::unique_ptr<TConverterTask> ATask) {
  FItems.push_back(std::move(ATask));
  return Count() - 1;
}

void TFFmpegList::Clear() { FItems.clear(); }

void TFFmpegList::Delete(int AIndex) {
  Items(AIndex);
  FItems.erase(FItems.begin() + AIndex);
}

void TFFmpegList::Exchange(int AIndex1, int AIndex2) {
  Items(AIndex1);
  Items(AIndex2);
  std::swap(FItems[AIndex1], FItems[AIndex2]);
}

TConverterTask& TFFmpegList::Items(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw rtl::EListError(FormatStr("List index out of bounds (%d)", AIndex));
  return *FItems[AIndex];
}

int TFFmpegList::IndexOf(const void* ATranscoder) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i]->ff.get() == ATranscoder) return i;
  return -1;
}

void TFFmpegList::Pause() {
  for (auto& t : FItems) t->ff->Pause();
}

void TFFmpegList::Resume() {
  for (auto& t : FItems) t->ff->Resume();
}

void TFFmpegList::StopOrTerminate(bool AWaitFor) {
  for (auto& t : FItems) t->ff->StopOrTerminate(AWaitFor);
}

void TFFmpegList::SetPostHook(TPostHook AHook, bool AOn) {
  const TPostHooks bit = PostHookBit(AHook);
  for (auto& t : FItems) {
    std::lock_guard<std::recursive_mutex> lk(PostHookLock());
    t->ff->set_post_hooks(AOn ? (t->ff->FPostHooks | bit) : (t->ff->FPostHooks & ~bit));
  }
}

// A termination event on a thread of its own, with the handler, the sender
// and its own copy of the payload.
class TCustomFFConverter::TDoTerminateThread {
 public:
  TDoTerminateThread(TTerminateEvent AOnTerminate, void* ASender, const TTerminateInfo& AInfo)
      : FOnTerminate(std::move(AOnTerminate)), FSender(ASender), FTerminateInfo(AInfo) {}
  // The thread keeps its record alive: a handler that clears the component
  // detaches its own thread.
  static void Start(const std::shared_ptr<TDoTerminateThread>& self) {
    self->FThread = std::thread([self] {
      self->Execute();
      self->FDone = true;
      rtl::Wake();
    });
  }
  bool Done() const { return FDone; }
  std::thread& Thread() { return FThread; }

 private:
  void Execute() {
    try {
      if (FOnTerminate) FOnTerminate(FSender, FTerminateInfo);
    } catch (...) {
    }
  }
  TTerminateEvent FOnTerminate;
  void* FSender;
  TTerminateInfo FTerminateInfo;
  std::thread FThread;
  std::atomic<bool> FDone{false};
};

TCustomFFConverter::TCustomFFConverter(void* AOwner) : TFFBaseComponent(AOwner), FAVProbe(new TAVProbe()) {}

TCustomFFConverter::~TCustomFFConverter() {
  if (FWorking && !FTerminated) Stop(true);
  JoinTerminateThreads();
  FFFmpegList.Clear();
  JoinTerminateThreads();
  FAVProbe.reset();
  // No raiser may still hold a lock when it goes.
  { std::lock_guard<std::mutex> a(FHookLock); }
  { std::lock_guard<std::mutex> b(FPreviewLock); }
  { std::lock_guard<std::mutex> c(FProgressLock); }
  { std::lock_guard<std::recursive_mutex> d(FTerminateLock); }
}

bool TCustomFFConverter::LoadAVLib(const std::string& APath) {
  FFLoader().SetLibraryPath(APath);
  if (FFLoader().Load(ConverterLibraries)) return true;
  FLastErrMsg = FFLoader().LastErrMsg();
  return false;
}

bool TCustomFFConverter::AVLibLoaded() { return FFLoader().Loaded(ConverterLibraries); }

void TCustomFFConverter::UnloadAVLib() { FFLoader().Unload(ConverterLibraries); }

void TCustomFFConverter::CheckWorking(const char* AName) {
  if (FWorking) throw FFmpegException(FormatStr("Cannot %s while working.", AName));
}

TFFmpeg* TCustomFFConverter::Task(int ATaskIndex) const { return FFFmpegList.Items(ATaskIndex).ff.get(); }

const TOutputOptions* TCustomFFConverter::TaskOutputOptions(int ATaskIndex, int AFileIndex) const {
  TConverterTask& t = FFFmpegList.Items(ATaskIndex);
  if (AFileIndex < 0 || AFileIndex >= static_cast<int>(t.outputs.size())) return nullptr;
  return t.outputs[AFileIndex].get();
}

TAVProbe* TCustomFFConverter::TaskProbe(int ATaskIndex, int AFileIndex) const {
  TConverterTask& t = FFFmpegList.Items(ATaskIndex);
  if (AFileIndex < 0 || AFileIndex >= static_cast<int>(t.probes.size())) return nullptr;
  return t.probes[AFileIndex].get();
}

int TCustomFFConverter::AddTask(const std::string& AFileName, TInputOptions* AOptions) {
  CheckWorking("AddTask");
  auto task = std::make_unique<TConverterTask>();
  task->ff = std::make_unique<TFFmpeg>(FCustomMaxFiles);  // an assertion failure reaches the caller
  try {
    TFFmpeg* f = task->ff.get();
    f->ResetState();
    f->Fverbose = FVerbose;
    {
      std::lock_guard<std::recursive_mutex> lk(PostHookLock());
      TPostHooks h = f->FPostHooks;
      if (FPreview) h |= PostHookBit(TPostHook::phPreview);
      if (FPreviewBitmap) h |= PostHookBit(TPostHook::phBitmap);
      f->set_post_hooks(h);
    }
    f->FOnPreviewBitmap = [this](void* s, TBitmap24* b, int n, int64_t pts) { DoTaskPreviewBitmap(s, b, n, pts); };
    TInputOptions local;
    TInputOptions* opts = AOptions;
    if (opts) {
      if (opts->FileName.empty()) opts->FileName = AFileName;
      task->inputs.push_back(std::make_unique<TInputOptions>(*opts));
    } else {
      task->inputs.push_back(std::make_unique<TInputOptions>());
      opts = &local;
    }
    if (!SetupInput(*f, AFileName, *opts)) {
      FLastErrMsg = f->LastErrMsg();
      return -1;
    }
    auto probe = std::make_unique<TAVProbe>();
    probe->SetFileHandle(f->InputContext(0));
    task->probes.push_back(std::move(probe));
    f->FOnProgress = [this](void* s, int fi, int fn, int fps, float q, float br, int64_t cs, int64_t cd, int64_t td) {
      DoTaskProgress(s, fi, fn, fps, q, br, cs, cd, td);
    };
    f->FOnTerminate = [this](void* s) { DoTaskTerminate(s); };
  } catch (const std::exception& e) {
    FLastErrMsg = e.what();
    return -1;
  }
  return FFFmpegList.Add(std::move(task));
}

int TCustomFFConverter::AddTask(const std::string& AFileName, const std::string& AExtOptions) {
  TInputOptions o = InputOptionsFromText(AExtOptions);
  return AddTask(AFileName, &o);
}

int TCustomFFConverter::AddTask(const void* AStream, const std::string& APrivateData, TInputOptions* AOptions) {
  return AddTask(
      FormatStr("stream:%lld:%s", static_cast<long long>(reinterpret_cast<intptr_t>(AStream)), APrivateData.c_str()),
      AOptions);
}

bool TCustomFFConverter::AddInputFile(int ATaskIndex, const std::string& AFileName, TInputOptions* AOptions) {
  CheckWorking("AddInputFile");
  TConverterTask& t = FFFmpegList.Items(ATaskIndex);
  TFFmpeg* f = t.ff.get();
  if (f->nb_input_files() >= f->MaxFiles()) {
    FLastErrMsg = FormatStr("max input files %d reached", f->MaxFiles());
    return false;
  }
  const size_t slot = f->nb_input_files();
  try {
    TInputOptions local;
    TInputOptions* opts = AOptions ? AOptions : &local;
    if (AOptions && AOptions->FileName.empty()) AOptions->FileName = AFileName;
    if (t.inputs.size() <= slot) t.inputs.resize(slot + 1);
    t.inputs[slot] = std::make_unique<TInputOptions>(*opts);
    if (!SetupInput(*f, AFileName, *opts)) {
      t.inputs[slot] = std::make_unique<TInputOptions>();
      FLastErrMsg = f->LastErrMsg();
      return false;
    }
    auto probe = std::make_unique<TAVProbe>();
    probe->SetFileHandle(f->InputContext(static_cast<int>(slot)));
    if (t.probes.size() <= slot) t.probes.resize(slot + 1);
    t.probes[slot] = std::move(probe);
    return true;
  } catch (const std::exception& e) {
    FLastErrMsg = e.what();
    return false;
  }
}

bool TCustomFFConverter::AddInputFile(int ATaskIndex, const std::string& AFileName, const std::string& AExtOptions) {
  TInputOptions o = InputOptionsFromText(AExtOptions);
  return AddInputFile(ATaskIndex, AFileName, &o);
}

bool TCustomFFConverter::SetOutputFile(int ATaskIndex, const std::string& AFileName, TOutputOptions* AOptions) {
  CheckWorking("SetOutputFile");
  TConverterTask& t = FFFmpegList.Items(ATaskIndex);
  TFFmpeg* f = t.ff.get();
  if (f->nb_output_files() >= f->MaxFiles()) {
    FLastErrMsg = FormatStr("max output files %d reached", f->MaxFiles());
    return false;
  }
  const size_t slot = f->nb_output_files();
  if (t.outputs.size() <= slot) t.outputs.resize(slot + 1);
  // The caller's record only gets its file name filled in; the task works on
  // its own copy, which a failure resets.
  if (AOptions && AOptions->FileName.empty()) AOptions->FileName = AFileName;
  t.outputs[slot] = std::make_unique<TOutputOptions>(AOptions ? *AOptions : TOutputOptions());
  TOutputOptions& stored = *t.outputs[slot];
  try {
    auto bind = [this, f] {
      f->FOnCustomHook = [this](void* s, TBitmap24* b, int n, int64_t pts, bool& upd, bool& stop) {
        DoTaskCustomHook(s, b, n, pts, upd, stop);
      };
    };
    if (SetupOutput(*f, AFileName, stored, bind) < 0) {
      FLastErrMsg = f->LastErrMsg();
      return false;
    }
    return true;
  } catch (const std::exception& e) {
    InitOutputOptions(stored);
    FLastErrMsg = e.what();
    return false;
  }
}

bool TCustomFFConverter::SetOutputFile(int ATaskIndex, const std::string& AFileName, const std::string& AExtOptions) {
  TOutputOptions o = OutputOptionsFromText(AExtOptions);
  return SetOutputFile(ATaskIndex, AFileName, &o);
}

bool TCustomFFConverter::SetOutputStream(int ATaskIndex, const void* AStream, const std::string& APrivateData,
                                         TOutputOptions* AOptions) {
  return SetOutputFile(
      ATaskIndex,
      FormatStr("stream:%lld:%s", static_cast<long long>(reinterpret_cast<intptr_t>(AStream)), APrivateData.c_str()),
      AOptions);
}

void TCustomFFConverter::ClearTasks() {
  if (FWorking && !FTerminated) throw FFmpegException("Cannot ClearTasks while working.");
  JoinTerminateThreads();
  FFFmpegList.Clear();
  FLastErrMsg.clear();
  std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
  FCompleteTasks = 0;
  FCurrentTask = -1;
  FPendingTasks = 0;
  FTerminated = false;
  FThreadMode = false;
  FWorking = false;
}

void TCustomFFConverter::Exchange(int ATaskIndex1, int ATaskIndex2) {
  CheckWorking("Exchange");
  FFFmpegList.Exchange(ATaskIndex1, ATaskIndex2);
}

void TCustomFFConverter::RemoveTask(int ATaskIndex) {
  CheckWorking("RemoveTask");
  FFFmpegList.Delete(ATaskIndex);
}

void TCustomFFConverter::SetPreview(bool v) {
  FFFmpegList.SetPostHook(TPostHook::phPreview, v);
  FPreview = v;
}

void TCustomFFConverter::SetPreviewBitmap(bool v) {
  FFFmpegList.SetPostHook(TPostHook::phBitmap, v);
  FPreviewBitmap = v;
}

void TCustomFFConverter::Start(int AThreadCount) {
  CheckWorking("StartTask");
  {
    std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
    FCompleteTasks = 0;
    FCurrentTask = 0;
    FPendingTasks = FFFmpegList.Count();
    FTerminated = false;
    FThreadMode = AThreadCount > 0;
    FWorking = true;
  }
  // The machine's processors are shared among the tasks converting at once.
  const int atOnce = std::max(1, FThreadMode ? std::min(AThreadCount, FFFmpegList.Count()) : 1);
  for (int i = 0; i < FFFmpegList.Count(); ++i) FFFmpegList.Items(i).ff->FTasksAtOnce = atOnce;
  if (FFFmpegList.Count() == 0) {
    // Nothing to run: the run ends at once, so the component never sticks
    // in the working state.
    DoFinalTerminate();
    return;
  }
  for (;;) {
    {
      std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
      if (FPendingTasks <= 0) break;
    }
    StartNextTask();
    if (FThreadMode && --AThreadCount <= 0) break;
  }
  // A Stop during an inline run terminates the tasks it finds not started on
  // threads of their own; their events, the final one included, still come
  // before Start returns.
  if (!FThreadMode && !FTerminated) FFFmpegList.StopOrTerminate(true);
}

void TCustomFFConverter::StartNextTask() {
  TFFmpeg* f;
  {
    std::unique_lock<std::recursive_mutex> lk(FTerminateLock);
    if (FPendingTasks <= 0) return;
    --FPendingTasks;
    f = FFFmpegList.Items(FCurrentTask++).ff.get();
    f->ReportInterval = static_cast<int64_t>(FProgressInterval) * 1000;
    if (FThreadMode) {
      // Taken and started under the lock: a Stop either sees the task
      // converting or not taken at all.
      if (rtl::TThread* t = f->StartConvert(true, FThreadPriority)) t->Start();
      return;
    }
  }
  // Inline: the task runs in the caller, outside the lock, so its handlers
  // may call Stop.
  f->StartConvert(false, FThreadPriority);
}

void TCustomFFConverter::Stop(bool AWaitFor) {
  // From a progress or preview handler the task raising it is blocked until
  // the handler returns, so waiting for it would never end.
  if (tInTaskEvent) AWaitFor = false;
  {
    std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
    FPendingTasks = 0;
  }
  FFFmpegList.StopOrTerminate(AWaitFor);
}

void TCustomFFConverter::Pause() { FFFmpegList.Pause(); }

void TCustomFFConverter::Resume() { FFFmpegList.Resume(); }

void TCustomFFConverter::DeliverTerminate(const TTerminateInfo& info) {
  TTerminateEvent handler = OnTerminate;
  if (!handler) return;
  if (!FThreadMode) {
    handler(this, info);
    return;
  }
  auto d = std::make_shared<TDoTerminateThread>(handler, this, info);
  std::lock_guard<std::mutex> lk(FTerminateThreadsLock);
  // Finished threads are joined as new ones come.
  for (auto it = FTerminateThreads.begin(); it != FTerminateThreads.end();) {
    std::thread& t = (*it)->Thread();
    if ((*it)->Done() && t.joinable() && t.get_id() != std::this_thread::get_id()) {
      t.join();
      it = FTerminateThreads.erase(it);
    } else {
      ++it;
    }
  }
  TDoTerminateThread::Start(d);
  FTerminateThreads.push_back(std::move(d));
}

void TCustomFFConverter::JoinTerminateThreads() {
  std::vector<std::shared_ptr<TDoTerminateThread>> list;
  {
    std::lock_guard<std::mutex> lk(FTerminateThreadsLock);
    list.swap(FTerminateThreads);
  }
  const auto self = std::this_thread::get_id();
  for (auto& d : list) {
    std::thread& t = d->Thread();
    if (!t.joinable()) continue;
    if (t.get_id() == self) {
      t.detach();  // a handler clearing the component from its own event
      continue;
    }
    // A handler may wait for the UI thread: keep running its calls.
    TDoTerminateThread* raw = d.get();
    rtl::WaitWhilePumping([raw] { return raw->Done(); });
    t.join();
  }
}

void TCustomFFConverter::DoTaskTerminate(void* Sender) {
  TTerminateInfo info;
  bool deliver;
  {
    std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
    deliver = static_cast<bool>(OnTerminate);
    if (deliver) {
      auto* f = static_cast<TFFmpeg*>(Sender);
      FTerminateInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
      FTerminateInfo.Finished = f->Finished();
      FTerminateInfo.Exception = f->FatalException();
      FTerminateInfo.ExceptionMsg = f->FatalMessage();
      info = FTerminateInfo;
    }
  }
  // A handler that throws (inline mode) still lets the run count its task
  // and end; its exception goes on afterwards.
  std::exception_ptr failure;
  if (deliver) {
    try {
      DeliverTerminate(info);
    } catch (...) {
      failure = std::current_exception();
    }
  }
  bool final_event = false;
  {
    std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
    ++FCompleteTasks;
    if (FPendingTasks < 1 && FCompleteTasks >= FFFmpegList.Count())
      final_event = true;
    else if (FPendingTasks >= 1 && FThreadMode)
      StartNextTask();
  }
  if (final_event) {
    try {
      DoFinalTerminate();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void TCustomFFConverter::DoFinalTerminate() {
  TTerminateInfo info;
  {
    std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
    FTerminateInfo.TaskIndex = -1;
    FTerminateInfo.Finished = true;
    FTerminateInfo.Exception = false;
    FTerminateInfo.ExceptionMsg.clear();
    info = FTerminateInfo;
  }
  // In thread mode the handler runs on a thread of its own: the run is
  // marked done first, so a handler may clear the tasks (or start a new run)
  // at once, and nothing here writes the state after it.
  if (FThreadMode) {
    FTerminated = true;
    DeliverTerminate(info);
  } else {
    try {
      DeliverTerminate(info);
    } catch (...) {
      FTerminated = true;
      throw;
    }
    FTerminated = true;
  }
}

void TCustomFFConverter::DoTaskProgress(void* Sender, int AFileIndex, int AFrameNumber, int AFPS, float AQuality,
                                        float ABitRate, int64_t ACurrentSize, int64_t ACurrentDuration,
                                        int64_t ATotalDuration) {
  if (!OnProgress) return;
  std::lock_guard<std::mutex> lk(FProgressLock);
  FProgressInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
  FProgressInfo.FileIndex = AFileIndex;
  FProgressInfo.FrameNumber = AFrameNumber;
  FProgressInfo.FPS = AFPS;
  FProgressInfo.Quality = AQuality;
  FProgressInfo.BitRate = ABitRate;
  FProgressInfo.CurrentSize = ACurrentSize;
  FProgressInfo.CurrentDuration = ACurrentDuration;
  FProgressInfo.TotalDuration = ATotalDuration;
  auto call = [this] {
    InTaskEvent guard;
    if (OnProgress) OnProgress(this, &FProgressInfo);
  };
  if (FTriggerEventInMainThread)
    RunInMainThread(call);
  else
    call();
}

void TCustomFFConverter::DoTaskPreviewBitmap(void* Sender, TBitmap24* ABitmap, int AFrameNumber, int64_t APTS) {
  if (!OnPreviewBitmap) return;
  std::lock_guard<std::mutex> lk(FPreviewLock);
  FPreviewInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
  FPreviewInfo.Bitmap = ABitmap;
  FPreviewInfo.FrameNumber = AFrameNumber;
  FPreviewInfo.PTS = APTS;
  auto call = [this] {
    InTaskEvent guard;
    if (OnPreviewBitmap) OnPreviewBitmap(this, FPreviewInfo);
  };
  if (FTriggerEventInMainThread)
    RunInMainThread(call);
  else
    call();
}

void TCustomFFConverter::DoTaskCustomHook(void* Sender, TBitmap24* ABitmap, int AFrameNumber, int64_t APTS,
                                          bool& AUpdate, bool& AStopHook) {
  if (!OnCustomHook) return;
  std::lock_guard<std::mutex> lk(FHookLock);
  FHookInfo.TaskIndex = FFFmpegList.IndexOf(Sender);
  FHookInfo.Bitmap = ABitmap;
  FHookInfo.FrameNumber = AFrameNumber;
  FHookInfo.PTS = APTS;
  FHookInfo.Update = AUpdate;
  FHookInfo.StopHook = AStopHook;
  ABitmap->Lock();
  try {
    InTaskEvent guard;  // other tasks may wait for this hook's lock
    OnCustomHook(this, &FHookInfo);
  } catch (...) {
    ABitmap->Unlock();
    throw;
  }
  ABitmap->Unlock();
  AUpdate = FHookInfo.Update;
  AStopHook = FHookInfo.StopHook;
}

}  // namespace media
