// The conversion task component: the task list, inline and threaded runs,
// and the delivery of the tasks' events to the host.
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

// A termination event on its own thread with its own copy of the payload.
struct TCustomFFConverter::Delivery {
  std::thread thread;
  std::atomic<bool> done{false};
};

TCustomFFConverter::TCustomFFConverter(void* AOwner) : TFFBaseComponent(AOwner), FAVProbe(new TAVProbe()) {}

TCustomFFConverter::~TCustomFFConverter() {
  if (FWorking && !FTerminated) Stop(true);
  JoinDeliveries();
  FTasks.clear();
  JoinDeliveries();
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

TConverterTask& TCustomFFConverter::TaskAt(int i) const {
  if (i < 0 || i >= static_cast<int>(FTasks.size()))
    throw rtl::EListError(FormatStr("List index out of bounds (%d)", i));
  return *FTasks[i];
}

TFFmpeg* TCustomFFConverter::Task(int ATaskIndex) const { return TaskAt(ATaskIndex).ff.get(); }

const TOutputOptions* TCustomFFConverter::TaskOutputOptions(int ATaskIndex, int AFileIndex) const {
  TConverterTask& t = TaskAt(ATaskIndex);
  if (AFileIndex < 0 || AFileIndex >= static_cast<int>(t.outputs.size())) return nullptr;
  return t.outputs[AFileIndex].get();
}

TAVProbe* TCustomFFConverter::TaskProbe(int ATaskIndex, int AFileIndex) const {
  TConverterTask& t = TaskAt(ATaskIndex);
  if (AFileIndex < 0 || AFileIndex >= static_cast<int>(t.probes.size())) return nullptr;
  return t.probes[AFileIndex].get();
}

int TCustomFFConverter::IndexOfTask(const void* Sender) {
  for (size_t i = 0; i < FTasks.size(); ++i)
    if (FTasks[i]->ff.get() == Sender) return static_cast<int>(i);
  return -1;
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
  FTasks.push_back(std::move(task));
  return static_cast<int>(FTasks.size()) - 1;
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
  TConverterTask& t = TaskAt(ATaskIndex);
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
  TConverterTask& t = TaskAt(ATaskIndex);
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
  JoinDeliveries();
  FTasks.clear();
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
  TaskAt(ATaskIndex1);
  TaskAt(ATaskIndex2);
  std::swap(FTasks[ATaskIndex1], FTasks[ATaskIndex2]);
}

void TCustomFFConverter::RemoveTask(int ATaskIndex) {
  CheckWorking("RemoveTask");
  TaskAt(ATaskIndex);
  FTasks.erase(FTasks.begin() + ATaskIndex);
}

void TCustomFFConverter::SetPreview(bool v) {
  for (auto& t : FTasks) {
    std::lock_guard<std::recursive_mutex> lk(PostHookLock());
    const TPostHooks bit = PostHookBit(TPostHook::phPreview);
    t->ff->set_post_hooks(v ? (t->ff->FPostHooks | bit) : (t->ff->FPostHooks & ~bit));
  }
  FPreview = v;
}

void TCustomFFConverter::SetPreviewBitmap(bool v) {
  for (auto& t : FTasks) {
    std::lock_guard<std::recursive_mutex> lk(PostHookLock());
    const TPostHooks bit = PostHookBit(TPostHook::phBitmap);
    t->ff->set_post_hooks(v ? (t->ff->FPostHooks | bit) : (t->ff->FPostHooks & ~bit));
  }
  FPreviewBitmap = v;
}

void TCustomFFConverter::Start(int AThreadCount) {
  CheckWorking("StartTask");
  {
    std::lock_guard<std::recursive_mutex> lk(FTerminateLock);
    FCompleteTasks = 0;
    FCurrentTask = 0;
    FPendingTasks = static_cast<int>(FTasks.size());
    FTerminated = false;
    FThreadMode = AThreadCount > 0;
    FWorking = true;
  }
  if (FTasks.empty()) {
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
  if (!FThreadMode && !FTerminated)
    for (auto& t : FTasks) t->ff->StopOrTerminate(true);
}

void TCustomFFConverter::StartNextTask() {
  TFFmpeg* f;
  {
    std::unique_lock<std::recursive_mutex> lk(FTerminateLock);
    if (FPendingTasks <= 0) return;
    --FPendingTasks;
    f = FTasks[FCurrentTask++]->ff.get();
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
  for (size_t i = 0; i < FTasks.size(); ++i) FTasks[i]->ff->StopOrTerminate(AWaitFor);
}

void TCustomFFConverter::Pause() {
  for (auto& t : FTasks) t->ff->Pause();
}

void TCustomFFConverter::Resume() {
  for (auto& t : FTasks) t->ff->Resume();
}

void TCustomFFConverter::DeliverTerminate(const TTerminateInfo& info) {
  TTerminateEvent handler = OnTerminate;
  if (!handler) return;
  if (!FThreadMode) {
    handler(this, info);
    return;
  }
  auto d = std::make_shared<Delivery>();
  std::lock_guard<std::mutex> lk(FDeliveryLock);
  // Finished deliveries are joined as new ones come.
  for (auto it = FDeliveries.begin(); it != FDeliveries.end();) {
    if ((*it)->done && (*it)->thread.joinable() && (*it)->thread.get_id() != std::this_thread::get_id()) {
      (*it)->thread.join();
      it = FDeliveries.erase(it);
    } else {
      ++it;
    }
  }
  // The thread keeps its record alive: a handler that clears the component
  // detaches its own thread.
  d->thread = std::thread([this, handler, info, d] {
    try {
      handler(this, info);
    } catch (...) {
    }
    d->done = true;
    rtl::Wake();
  });
  FDeliveries.push_back(std::move(d));
}

void TCustomFFConverter::JoinDeliveries() {
  std::vector<std::shared_ptr<Delivery>> list;
  {
    std::lock_guard<std::mutex> lk(FDeliveryLock);
    list.swap(FDeliveries);
  }
  const auto self = std::this_thread::get_id();
  for (auto& d : list) {
    if (!d->thread.joinable()) continue;
    if (d->thread.get_id() == self) {
      d->thread.detach();  // a handler clearing the component from its own event
      continue;
    }
    // A handler may wait for the UI thread: keep running its calls.
    Delivery* raw = d.get();
    rtl::WaitWhilePumping([raw] { return raw->done.load(); });
    d->thread.join();
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
      FTerminateInfo.TaskIndex = IndexOfTask(Sender);
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
    if (FPendingTasks < 1 && FCompleteTasks >= static_cast<int>(FTasks.size()))
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
  FProgressInfo.TaskIndex = IndexOfTask(Sender);
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
  FPreviewInfo.TaskIndex = IndexOfTask(Sender);
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
  FHookInfo.TaskIndex = IndexOfTask(Sender);
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
