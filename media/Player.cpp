#include "media/Player.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "media/FFmpegLogger.h"
#include "platform/rtl/exceptions.h"

namespace media {

using namespace zurora;

namespace {
// Handlers may be swapped from any thread; call a copy so none runs under the lock.
template <class H>
H CopyUnder(std::mutex& m, const H& handler) {
  std::lock_guard<std::mutex> g(m);
  return handler;
}
}  // namespace

// ---------------------------------------------------------------------------
// Small synchronisation pieces

void TManualEvent::Set() {
  std::lock_guard<std::mutex> g(m_);
  set_ = true;
  c_.notify_all();
}

void TManualEvent::Reset() {
  std::lock_guard<std::mutex> g(m_);
  set_ = false;
}

bool TManualEvent::IsSet() {
  std::lock_guard<std::mutex> g(m_);
  return set_;
}

bool TManualEvent::WaitFor(int ms) {
  std::unique_lock<std::mutex> g(m_);
  if (ms < 0) {
    c_.wait(g, [this] { return set_; });
    return true;
  }
  return c_.wait_for(g, std::chrono::milliseconds(ms), [this] { return set_; });
}

// Consecutive items of one kind collapse into the newest, except that the
// last state of a playback (Stop) or the end item is never overwritten: the
// event thread must see it to end.
void TPlayEvent::Push(const TPlayEventItem& item) {
  std::lock_guard<std::mutex> g(Lock);
  bool empty = Header == Tailer;
  const TPlayEventItem& newest = Events[(Tailer + Slots - 1) % Slots];
  bool final = newest.Kind == 3 || (newest.Kind == 2 && newest.Value == psStop);
  if (empty || newest.Kind != item.Kind || final) {
    Tailer = (Tailer + 1) % Slots;
    if (Tailer == Header) Header = (Header + 1) % Slots;
  }
  Events[(Tailer + Slots - 1) % Slots] = item;
  Event.Set();
}

TPlayEventItem TPlayEvent::Pop() {
  std::lock_guard<std::mutex> g(Lock);
  TPlayEventItem r;
  if (Header != Tailer) {
    r = Events[Header];
    Header = (Header + 1) % Slots;
  }
  if (Header == Tailer) Event.Reset();
  return r;
}

int TPlayEvent::Pending() {
  std::lock_guard<std::mutex> g(Lock);
  return (Tailer - Header + Slots) % Slots;
}

void TPlayEvent::Clear() {
  std::lock_guard<std::mutex> g(Lock);
  Header = Tailer = 0;
  for (auto& e : Events) e = TPlayEventItem{};
  Event.Reset();
}

// Audio driver names: the Windows driver names map to SDL 1.2's Linux drivers.
const char* AudioDriverName(TAudioDriver d) {
  switch (d) {
    case adDirectSound:
      return "pulse";
    case adWaveOut:
      return "alsa";
    default:
      return "";
  }
}

// ---------------------------------------------------------------------------
// TCustomPlayer

namespace {
// Lock the player's data from a caller that may be the UI thread: while the
// lock is busy, the UI thread keeps running synchronised calls, so a play
// thread waiting for it can finish its event.
class DataLock {
 public:
  explicit DataLock(rtl::TMutex& m) : m_(m) {
    while (m_.WaitFor(20) != rtl::wrSignaled)
      if (IsMainThread()) PumpMessages();
  }
  ~DataLock() { m_.unlock(); }

 private:
  rtl::TMutex& m_;
};
}  // namespace

TCustomPlayer::TCustomPlayer(void* AOwner) : TFFBaseComponent(AOwner), FAVProbe(std::make_unique<TAVProbe>(this)) {
  ResetPlayback();
}

TCustomPlayer::~TCustomPlayer() {
  {
    std::lock_guard<std::mutex> g(FHandlerLock);
    FOnPosition = nullptr;
    FOnState = nullptr;
    FOnHook = nullptr;
  }
  Stop(true);
  // Every thread of the player ends before it goes, a retired event thread
  // included.
  std::vector<std::shared_ptr<TPlayerThread>> threads;
  {
    std::lock_guard<std::mutex> g(FLifeLock);
    threads = FThreads;
  }
  WaitForThreads(threads);
  if (FHookToRGB) ffapi::sws_freeContext(FHookToRGB);
  if (FHookFromRGB) ffapi::sws_freeContext(FHookFromRGB);
  if (FAVProbe && FAVProbe->FileHandle() && FFLoader().Loaded(ProbeLibraries)) FAVProbe->SetFileHandle(nullptr);
}

bool TCustomPlayer::AVLibLoaded() { return FFLoader().Loaded(PlayerLibraries); }

bool TCustomPlayer::LoadAVLib(const std::string& APath) {
  FFLoader().SetLibraryPath(APath);
  if (FFLoader().Load(PlayerLibraries)) return true;
  SetLastErrMsg(FFLoader().LastErrMsg());
  return false;
}

void TCustomPlayer::UnloadAVLib() { FFLoader().Unload(PlayerLibraries); }

std::string TCustomPlayer::LastErrMsg() const {
  std::lock_guard<std::mutex> g(FErrLock);
  return FLastErrMsg;
}

void TCustomPlayer::SetLastErrMsg(const std::string& AText) {
  std::lock_guard<std::mutex> g(FErrLock);
  FLastErrMsg = AText;
}

void TCustomPlayer::ReportError(const std::string& AText, bool AStore) {
  FFLoggerInstance().Log(this, TLogLevel::llError, AText);
  if (AStore) SetLastErrMsg(AText);
}

void TCustomPlayer::ResetPlayback() {
  FLastPTS = AV_NOPTS_VALUE;
  FCurrentPTS = -1;
  FStep = false;
  Fwanted_stream[AVMEDIA_TYPE_VIDEO] = Fwanted_stream[AVMEDIA_TYPE_AUDIO] = Fwanted_stream[AVMEDIA_TYPE_SUBTITLE] = -1;
  seek_by_bytes = -1;
  start_time = AV_NOPTS_VALUE;
  PlayTime = AV_NOPTS_VALUE;
  RepeatType = rtStop;
  VerticalFlip = false;
  FSeekEvent.Set();
  FSeeking = false;
}

void TCustomPlayer::SetOnFileOpen(TFileOpenEvent e) {
  std::lock_guard<std::mutex> g(FHandlerLock);
  FOnFileOpen = std::move(e);
}
void TCustomPlayer::SetOnHook(THookEvent e) {
  std::lock_guard<std::mutex> g(FHandlerLock);
  FOnHook = std::move(e);
}
void TCustomPlayer::SetOnPosition(TPositionEvent e) {
  std::lock_guard<std::mutex> g(FHandlerLock);
  FOnPosition = std::move(e);
}
void TCustomPlayer::SetOnState(TPlayStateEvent e) {
  std::lock_guard<std::mutex> g(FHandlerLock);
  FOnState = std::move(e);
}
bool TCustomPlayer::HasOnState() {
  std::lock_guard<std::mutex> g(FHandlerLock);
  return static_cast<bool>(FOnState);
}
bool TCustomPlayer::HasOnPosition() {
  std::lock_guard<std::mutex> g(FHandlerLock);
  return static_cast<bool>(FOnPosition);
}

namespace {
// The player whose Open this thread runs, or whose file-open event it runs
// for that Open.
thread_local const TCustomPlayer* tOpening = nullptr;
struct OpeningMark {
  const TCustomPlayer* outer;
  explicit OpeningMark(const TCustomPlayer* p) : outer(tOpening) { tOpening = p; }
  ~OpeningMark() { tOpening = outer; }
};

void WaitStep(int ms) {
  if (IsMainThread()) PumpMessages();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
}  // namespace

bool TCustomPlayer::InOwnOpening() { return tOpening == this; }

bool TCustomPlayer::ClaimOpening() {
  std::lock_guard<std::mutex> g(FLifeLock);
  // Another Open may have set up a playback since this one stopped the last:
  // then the caller stops that one too and tries again.
  if (FOpening || FVideoState || (FPlayThread && !FPlayThread->Finished())) return false;
  FOpening = true;
  return true;
}

void TCustomPlayer::WaitForOpening() {
  for (;;) {
    {
      std::lock_guard<std::mutex> g(FLifeLock);
      if (!FOpening || InOwnOpening()) return;
    }
    WaitStep(5);
  }
}

bool TCustomPlayer::Open(const std::string& AFileName, IVideoOutput* AScreenHandle, bool APaused) {
  if (!AVLibLoaded()) {
    ReportError("libav or libsdl not loaded.", true);
    return false;
  }
  if (InOwnOpening()) {
    // From its own file-open event: the Open in flight would wait for itself.
    ReportError("Cannot open a file from the file-open event.", true);
    return false;
  }
  do {
    Stop(true);
  } while (!ClaimOpening());
  const OpeningMark mark(this);
  struct Claim {
    TCustomPlayer* p;
    ~Claim() {
      std::lock_guard<std::mutex> g(p->FLifeLock);
      p->FOpening = false;
    }
  } claim{this};
  {
    std::lock_guard<std::mutex> g(FLifeLock);
    // adDefault leaves SDL_AUDIODRIVER as the environment has it.
    const char* drv = AudioDriverName(AudioDriver);
    if (*drv) setenv("SDL_AUDIODRIVER", drv, 1);
    if (!FSDLStarted) {
      // A machine without a sound device still plays, silently: the audio
      // stream then finds no device and says so in the log.
      if (ffapi::SDL_Init(SDL_INIT_AUDIO) != 0 && ffapi::SDL_Init(0) != 0) {
        ReportError(FormatStr("Could not initialize SDL with ScreenHandle(%u): %s",
                              unsigned(reinterpret_cast<uintptr_t>(AScreenHandle)), ffapi::SDL_GetError()),
                    true);
        return false;
      }
      FSDLStarted = true;
    }
  }
  if (DisableDisplay) DisableVideo = true;
  FPlayEvent.Clear();
  FEngineEvents.Clear();
  if (!StreamOpen(this, AFileName, Ffile_iformat, APaused)) {
    std::lock_guard<std::mutex> g(FLifeLock);
    ffapi::SDL_Quit();
    FSDLStarted = false;
    return false;
  }
  {
    std::lock_guard<std::mutex> g(FLifeLock);
    FFileName = AFileName;
    FScreenHandle = AScreenHandle;
    FAVProbe->SetFileHandle(FVideoState.load()->ic);
    if (FScreenHandle) {
      FScreenHandle->SetEventListener(this);
      FListening = true;
    }
  }
  if (TriggerEventInMainThread) {
    try {
      RunInMainThread([this] {
        const OpeningMark inEvent(this);
        CallFileOpen();
      });
    } catch (const rtl::EDispatcherShutdown&) {
      CallFileOpen();
    }
  } else {
    CallFileOpen();
  }
  StartThreads();
  return true;
}

void TCustomPlayer::CallFileOpen() {
  ResetRGBConvert(FRGBContext);
  if (FHookToRGB) ffapi::sws_freeContext(FHookToRGB);
  if (FHookFromRGB) ffapi::sws_freeContext(FHookFromRGB);
  FHookToRGB = FHookFromRGB = nullptr;
  FHookBitmap.reset();
  FHookImage.Free();
  const TFileOpenEvent handler = CopyUnder(FHandlerLock, FOnFileOpen);
  TVideoState* is = FVideoState;
  if (is && handler) {
    int w = -1, h = -1;
    if (is->video_st && is->video_st->codecpar->width > 0) {
      w = is->video_st->codecpar->width;
      h = is->video_st->codecpar->height;
      // As shown: a picture turned a quarter swaps its sides.
      const int turn = StreamRotation(is->video_st);
      if (turn == 90 || turn == 270) std::swap(w, h);
    }
    int64_t duration = is->IsImage2 ? 0 : is->Duration;
    int sw = ScreenWidth, sh = ScreenHeight;
    handler(this, duration, w, h, sw, sh);
    ScreenWidth = sw;
    ScreenHeight = sh;
  }
  if (FScreenHandle && (ScreenWidth == 0 || ScreenHeight == 0)) {
    int cw = 0, ch = 0;
    FScreenHandle->GetClientSize(cw, ch);
    ScreenWidth = cw;
    ScreenHeight = ch;
  }
}

void TPlayerThread::Start() {
  std::thread([self = shared_from_this()] {
    try {
      self->Execute();
    } catch (...) {
    }
    self->FFinished.Set();  // last: nothing of the player is touched after it
  }).detach();
}

void TPlayThread::Execute() { FOwner->PlayThreadExecute(); }

void TEventThread::Execute() { FOwner->EventThreadExecute(*this); }

void TCustomPlayer::StartThreads() {
  auto events = std::make_shared<TEventThread>(this);
  auto play = std::make_shared<TPlayThread>(this);
  {
    std::lock_guard<std::mutex> g(FLifeLock);
    // Opened from a handler of the previous playback: its event thread still
    // waits for that handler and ends after it.
    if (FEventThread && !FEventThread->Finished()) FEventThread->Retired = true;
    FEventThread = events;
    FPlayThread = play;
    std::erase_if(FThreads, [](const std::shared_ptr<TPlayerThread>& t) { return t->Finished(); });
    FThreads.push_back(events);
    FThreads.push_back(play);
  }
  events->Start();
  play->Start();
}

void TCustomPlayer::PlayThreadExecute() {
  SetPlayState(psPlay);
  // Without pictures nothing else ends an open paused.
  TVideoState* held = nullptr;
  {
    std::lock_guard<rtl::TMutex> g(FDataLock);
    TVideoState* is = FVideoState;
    if (is && is->video_stream < 0 && is->open_paused) held = is;
  }
  if (held) {
    ReportOpenPause();
    std::lock_guard<rtl::TMutex> g(FDataLock);
    if (FVideoState == held) held->open_paused = 0;
  }
  try {
    EventLoop(this);
  } catch (const std::exception& e) {
    FFLoggerInstance().Log(this, TLogLevel::llFatal, std::string("PlayThread Exception: ") + e.what());
    std::lock_guard<rtl::TMutex> g(FDataLock);
    DoExit(this);
  }
  SetPlayState(psStop);
}

namespace {
// The deliveries this thread is running a handler for, innermost first: the
// event threads behind them wait for the handlers and cannot be waited for.
struct DeliveringFrom {
  const TPlayerThread* thread;
  const DeliveringFrom* outer;
};
thread_local const DeliveringFrom* tDelivering = nullptr;

bool Delivering(const TPlayerThread* t) {
  for (const DeliveringFrom* d = tDelivering; d; d = d->outer)
    if (d->thread == t) return true;
  return false;
}
}  // namespace

void TCustomPlayer::Deliver(const TEventThread& AFrom, const std::function<void()>& fn) {
  auto marked = [&AFrom, &fn] {
    const DeliveringFrom from{&AFrom, tDelivering};
    tDelivering = &from;
    struct Restore {
      const DeliveringFrom* outer;
      ~Restore() { tDelivering = outer; }
    } restore{from.outer};
    fn();
  };
  try {
    if (TriggerEventInMainThread)
      RunInMainThread(marked);
    else
      marked();
  } catch (const rtl::EDispatcherShutdown&) {
  } catch (const std::exception& e) {
    FFLoggerInstance().Log(this, TLogLevel::llError, std::string("event handler: ") + e.what());
  }
}

void TCustomPlayer::DoPosition() {
  if (const auto h = CopyUnder(FHandlerLock, FOnPosition)) h(this, FEventPTS);
}

void TCustomPlayer::DoState() {
  if (const auto h = CopyUnder(FHandlerLock, FOnState)) h(this, FEventState);
}

void TCustomPlayer::EventThreadExecute(TEventThread& AThread) {
  auto stopped = [&AThread] { return AThread.Terminated || AThread.Retired; };
  while (!stopped()) {
    TPlayEventItem item = PopPlayEvent();
    if (item.Kind == 1) {
      FEventPTS = item.Value;
      Deliver(AThread, [this] { DoPosition(); });
    } else if (item.Kind == 2) {
      const TPlayState state = TPlayState(item.Value);
      FEventState = state;
      Deliver(AThread, [this] { DoState(); });
      if (state == psStop) break;
    } else if (item.Kind == 3) {
      break;
    }
    while (!stopped() && !FPlayEvent.Event.WaitFor(100)) {
    }
  }
}

void TCustomPlayer::WaitForThreads(const std::vector<std::shared_ptr<TPlayerThread>>& AThreads) {
  for (const auto& t : AThreads)
    if (!Delivering(t.get()))
      while (!t->WaitFor(5))
        if (IsMainThread()) PumpMessages();
}

void TCustomPlayer::JoinThreads() {
  std::shared_ptr<TPlayThread> play;
  std::shared_ptr<TEventThread> events;
  {
    std::lock_guard<std::mutex> g(FLifeLock);
    play = FPlayThread;
    events = FEventThread;
  }
  if (play)
    while (!play->WaitFor(20))
      if (IsMainThread()) PumpMessages();
  // From one of its handlers the event thread is left to end after the
  // handler; a later Stop, Open or the destructor waits for it.
  if (events && !Delivering(events.get())) {
    // The event thread ends at the playback's Stop; it may be delivering
    // through the UI thread, so keep that thread serving while waiting.
    const auto start = std::chrono::steady_clock::now();
    while (!events->WaitFor(5)) {
      if (IsMainThread()) PumpMessages();
      if (std::chrono::steady_clock::now() - start > std::chrono::seconds(2)) {
        events->Terminated = true;
        FPlayEvent.Event.Set();
      }
    }
  }
}

void TCustomPlayer::SetPlayState(TPlayState AState) {
  FState = AState;
  if (HasOnState())
    PushPlayEvent({2, int64_t(AState)});
  else if (AState == psStop)
    PushPlayEvent({3, 0});
}

// A file of no or one picture holds at once, while Play may still wait in the
// ring, where a second state would take its place; the end, once the caller
// clears open_paused, must not take the Pause's place either.
void TCustomPlayer::ReportOpenPause() {
  auto delivered = [this] {
    for (int i = 0; i < 200 && FPlayEvent.Pending() > 0; i++) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  delivered();
  SetPlayState(psPause);
  delivered();
}

// Decided and pushed under one lock, so a Resume cannot come between: its
// state would otherwise be followed by a Pause the playback never made.
void TCustomPlayer::AdvanceOpenPause(TVideoState* is) {
  std::lock_guard<std::mutex> g(FOpenPauseLock);
  if (!is->open_paused) return;
  if (is->open_paused >= 2) {
    is->open_paused = 0;
    SetPlayState(psPause);
  } else {
    is->open_paused++;
  }
}

void TCustomPlayer::DropOpenPause(TVideoState* is) {
  std::lock_guard<std::mutex> g(FOpenPauseLock);
  is->open_paused = 0;
}

void TCustomPlayer::Stop(bool AWaitForStop) {
  // A file being opened on another thread is stopped once it plays.
  if (AWaitForStop) WaitForOpening();
  std::shared_ptr<TPlayThread> play;
  {
    DataLock lock(FDataLock);
    TVideoState* is = FVideoState;
    if (is) {
      if (is->paused) {
        StreamTogglePause(is);
        FStep = false;
      }
      PushQuitEvent(this);
    }
  }
  if (!AWaitForStop) return;
  {
    std::lock_guard<std::mutex> g(FLifeLock);
    play = FPlayThread;
  }
  if (play) WaitForStop(play);
  JoinThreads();
  // SDL goes only when nothing plays: an Open from a handler on another
  // thread may have started the next playback meanwhile.
  std::lock_guard<std::mutex> g(FLifeLock);
  if (FOpening || FVideoState || (FPlayThread && !FPlayThread->Finished())) return;
  if (FListening && FScreenHandle) FScreenHandle->SetEventListener(nullptr);
  FListening = false;
  if (FSDLStarted && ffapi::SDL_Quit) ffapi::SDL_Quit();
  FSDLStarted = false;
}

void TCustomPlayer::WaitForStop(const std::shared_ptr<TPlayThread>& APlayThread) {
  int counter = 1;
  for (;;) {
    if (APlayThread->WaitFor(100)) return;
    if (IsMainThread()) PumpMessages();
    if (FDataLock.WaitFor(100) != rtl::wrSignaled) continue;
    counter++;
    TVideoState* is = FVideoState;
    if (!is) {
      // Closed; the play thread ends at its next event.
      PushQuitEvent(this);
      FDataLock.unlock();
      continue;
    }
    if ((counter > 10 && is->Reading) || counter > 20) {
      // Closed by force; the play thread then finds no playback and ends.
      DoExit(this);
      PushQuitEvent(this);
      FDataLock.unlock();
      continue;
    }
    PushQuitEvent(this);
    FDataLock.unlock();
  }
}

void TCustomPlayer::RequestStop() {
  TVideoState* is = FVideoState;
  if (!is) return;
  if (is->paused) {
    StreamTogglePause(is);
    FStep = false;
  }
  PushQuitEvent(this);
}

void TCustomPlayer::Pause() {
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  if (!is || is->paused) return;
  StreamTogglePause(is);
  FStep = false;
  SetPlayState(psPause);
}

void TCustomPlayer::Resume() {
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  if (!is || !is->paused) return;
  DropOpenPause(is);
  StreamTogglePause(is);
  FStep = false;
  SetPlayState(psResume);
}

void TCustomPlayer::TogglePause() {
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  if (!is) return;
  DropOpenPause(is);
  StreamTogglePause(is);
  FStep = false;
  SetPlayState(is->paused ? psPause : psResume);
}

void TCustomPlayer::StepToNextFrame() {
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  if (!is) return;
  if (is->paused) StreamTogglePause(is);
  bool was = FStep.exchange(true);
  if (!was) SetPlayState(psStep);
}

// Drawn by the play thread: the new mode starts on a cleared area.
void TCustomPlayer::ToggleAudioDisplay() {
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  if (!is || is->screen.empty()) return;
  is->show_audio = (is->show_audio + 1) % 3;
  PushDisplayChangeEvent(this);
}

void TCustomPlayer::Seek(int64_t APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
  bool requested = false, hasVideo = false;
  {
    DataLock lock(FDataLock);
    TVideoState* is = FVideoState;
    if (!is) return;
    hasVideo = is->video_stream >= 0;
    if (ASeekFlags & SeekFlag(TSeekFlag::sfByte)) {
      requested = StreamSeekRequest(is, int(ASeekFlags), APTS, 0);
    } else {
      int64_t target = APTS;
      if (is->ic->duration != AV_NOPTS_VALUE && is->ic->duration < target) target = is->ic->duration;
      if (is->ic->start_time != AV_NOPTS_VALUE) target += is->ic->start_time;
      requested = StreamSeekRequest(is, int(ASeekFlags), target, APTS <= 0 ? 1 : 0, APTS <= 0);
    }
  }
  if (requested && AWaitForSeekEnd) WaitSeekEnd(this, hasVideo);
}

void TCustomPlayer::Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
  bool requested = false, hasVideo = false;
  {
    DataLock lock(FDataLock);
    TVideoState* is = FVideoState;
    if (!is) return;
    hasVideo = is->video_stream >= 0;
    if (ASeekFlags & SeekFlag(TSeekFlag::sfByte)) {
      double bytes = is->ic->bit_rate ? ADelta * is->ic->bit_rate / 8.0 : ADelta * 180000.0;
      double pos = (is->ic->pb ? ffapi::avio_seek(is->ic->pb, 0, SEEK_CUR) : 0) + bytes;
      requested = StreamSeekRequest(is, int(ASeekFlags), RoundEven(pos), RoundEven(bytes));
    } else {
      double pos = GetMasterClock(is) + ADelta;
      requested = StreamSeekRequest(is, int(ASeekFlags), RoundEven(pos * 1000000.0), RoundEven(ADelta * 1000000.0));
    }
  }
  if (requested && AWaitForSeekEnd) WaitSeekEnd(this, hasVideo);
}

void TCustomPlayer::RequestSeek(int64_t APTS, TSeekFlags ASeekFlags) {
  TVideoState* is = FVideoState;
  if (!is || !is->ic) return;
  int64_t target = APTS;
  if (is->ic->duration != AV_NOPTS_VALUE && is->ic->duration < target) target = is->ic->duration;
  if (is->ic->start_time != AV_NOPTS_VALUE) target += is->ic->start_time;
  StreamSeekRequest(is, int(ASeekFlags), target, APTS <= 0 ? 1 : 0, APTS <= 0);
}

std::string TCustomPlayer::Format() const { return FFormat; }

// No demuxer has an empty name: it is refused like any unknown one, and the
// format in force stays.
void TCustomPlayer::SetFormat(const std::string& AName) {
  if (!AVLibLoaded()) {
    ReportError("libav or libsdl not loaded.", true);
    return;
  }
  const AVInputFormat* f = AName.empty() ? nullptr : ffapi::av_find_input_format(AName.c_str());
  if (!f) throw rtl::Exception(FormatStr("Unknown input format: %s", AName.c_str()));
  Ffile_iformat = f;
  FFormat = AName;
}

int TCustomPlayer::AudioStreamIndex() {
  DataLock lock(FDataLock);
  return FVideoState ? FVideoState.load()->audio_stream.load() : -1;
}
int TCustomPlayer::VideoStreamIndex() {
  DataLock lock(FDataLock);
  return FVideoState ? FVideoState.load()->video_stream.load() : -1;
}
int TCustomPlayer::SubtitleStreamIndex() {
  DataLock lock(FDataLock);
  return FVideoState ? FVideoState.load()->subtitle_stream.load() : -1;
}

void TCustomPlayer::SetAudioStreamIndex(int v) {
  DataLock lock(FDataLock);
  if (TVideoState* is = FVideoState; is && v != is->audio_stream) StreamComponentSwitch(is, 1, v);
}
void TCustomPlayer::SetVideoStreamIndex(int v) {
  DataLock lock(FDataLock);
  if (TVideoState* is = FVideoState; is && v != is->video_stream) StreamComponentSwitch(is, 0, v);
}
void TCustomPlayer::SetSubtitleStreamIndex(int v) {
  DataLock lock(FDataLock);
  if (TVideoState* is = FVideoState; is && v != is->subtitle_stream) StreamComponentSwitch(is, 3, v);
}

bool TCustomPlayer::Paused() {
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  return !is || is->paused;
}

void TCustomPlayer::SetShowAudio(TShowAudio v) {
  FShowAudio = v;
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  if (is && is->audio_st && !DisableDisplay) is->show_audio = int(v);
}

void TCustomPlayer::SetAspectRatio(float v) {
  if (v == FAspectRatio) return;
  FAspectRatio = v;
  if (FVideoState) PushDisplayChangeEvent(this);
}

void TCustomPlayer::RefreshPlayPosition() {
  TVideoState* is = FVideoState;
  if (!is || is->IsImage2) return;
  int64_t cur;
  // A cover picture stands still at time 0 (and comes again with every
  // seek): the file's time is its sound's.
  const bool cover = is->video_st && (is->video_st->disposition & AV_DISPOSITION_ATTACHED_PIC);
  if (is->video_stream >= 0 && !(cover && is->audio_stream >= 0)) {
    cur = RoundEven(GetVideoClock(is) * 1000000.0) - is->StartTime;
  } else if (is->audio_stream >= 0) {
    cur = RoundEven(GetAudioClock(is) * 1000000.0) - is->StartTime;
    if (is->AudioDuration > 0 && cur >= is->AudioDuration && cur < is->Duration) cur = is->Duration;
    // Everything decoded and handed to the device: the end is reported now,
    // and the position with it.
    if (is->ReachEOF && !is->IsDevice && is->Duration > 0) cur = is->Duration;
  } else {
    return;
  }
  // Paused before its first picture the clock reads 0, which in a file with a
  // start time lies before it; so may a cover picture without a time of its own.
  if (cur < 0) cur = 0;
  FCurrentPTS = cur;
  if (is->Duration > 0 && cur >= is->Duration) {
    cur = is->Duration;
    if (FLastPTS != is->Duration) FLastPTS = 0;  // so that the final position is posted
  }
  int64_t last = FLastPTS;
  if (last == AV_NOPTS_VALUE || std::llabs(cur - last) > 10000) {
    FLastPTS = cur;
    if (HasOnPosition()) PushPlayEvent({1, cur});
  }
  // The end of a file opened paused follows its pause.
  if (!is->IsDevice && !is->EventEOF && is->ReachEOF && !is->open_paused) {
    if (is->video_stream >= 0) is->EventEOF = 1;
    SetPlayState(psEnd);
  }
  if (PlayTime != AV_NOPTS_VALUE) {
    int64_t end = start_time != AV_NOPTS_VALUE ? PlayTime + start_time : PlayTime;
    if (cur >= end) {
      if (RepeatType == rtStop)
        RequestStop();
      else if (RepeatType == rtLoop)
        RequestSeek(start_time != AV_NOPTS_VALUE ? start_time : 0,
                    start_time != AV_NOPTS_VALUE ? 0 : SeekFlag(TSeekFlag::sfAny));
    }
  }
}

// ---------------------------------------------------------------------------
// Frame capture and hook

TBitmap* TCustomPlayer::CurrentFrame() {
  int64_t pts;
  return CurrentFrame(pts);
}

TBitmap* TCustomPlayer::CurrentFrame(int64_t& APTS) {
  if (!FRGBContext.Bitmap) FRGBContext.Bitmap = CreateFrameBitmap(0, 0);
  TBitmap* bmp = FRGBContext.Bitmap;
  APTS = -1;
  DataLock lock(FDataLock);
  TVideoState* is = FVideoState;
  if (!is || !is->video_st) {
    bmp->SetSize(0, 0);
    return bmp;
  }
  const int turn = StreamRotation(is->video_st);
  if (turn == 90 || turn == 270)
    bmp->SetSize(is->video_st->codecpar->height, is->video_st->codecpar->width);
  else
    bmp->SetSize(is->video_st->codecpar->width, is->video_st->codecpar->height);
  std::memset(bmp->Bits(), 0, size_t(bmp->Stride()) * bmp->Height());
  // Under the queue lock: the entry cannot be reallocated while it is read.
  TVideoPicture* vp = &is->pictq[DisplayIndex(is)];
  std::lock_guard<std::mutex> ql(is->pictq_mutex);
  // As positions, never before the file's start (a cover picture has no time
  // of its own), and never the -1 of "none".
  APTS = std::max<int64_t>(RoundEven(vp->pts * 1000000.0) - is->StartTime, 0);
  std::lock_guard<std::mutex> vl(vp->lock);
  if (vp->HasImage()) {
    const uint8_t* const data[4] = {vp->data[0], vp->data[1], vp->data[2], nullptr};
    const int linesize[4] = {vp->linesize[0], vp->linesize[1], vp->linesize[2], 0};
    if (!FrameToBitmap(FRGBContext, data, linesize, AV_PIX_FMT_YUV420P, vp->width, vp->height)) bmp->SetSize(0, 0);
  }
  return bmp;
}

// Runs on the video thread with the entry locked; the handler may draw on the
// bitmap, which is then written back into the picture.
bool TCustomPlayer::DoHook(TVideoPicture* vp, double APTS) {
  if (!Hook) return false;
  const THookEvent handler = CopyUnder(FHandlerLock, FOnHook);
  if (!handler || !vp->HasImage()) return false;
  int w = vp->width, h = vp->height;
  // The bitmap follows the picture's size, so a size change mid-playback
  // never writes past it.
  if (!FHookBitmap || FHookBitmap->Width() != w || FHookBitmap->Height() != h)
    FHookBitmap = std::make_unique<TBitmap>(w, h);
  FHookToRGB = ffapi::sws_getCachedContext(FHookToRGB, w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGR24, SWS_BICUBIC,
                                           nullptr, nullptr, nullptr);
  if (!FHookToRGB) {
    FFLoggerInstance().Log(this, TLogLevel::llError, "Cannot initialize the toRGB conversion context");
    return false;
  }
  const uint8_t* yuv[4] = {vp->data[0], vp->data[1], vp->data[2], nullptr};
  int yuvStride[4] = {vp->linesize[0], vp->linesize[1], vp->linesize[2], 0};
  // The scaler works in a padded picture of its own; the bitmap's rows are
  // exactly sized and would be overrun.
  if (!FHookImage.Allocate(AV_PIX_FMT_BGR24, w, h)) return false;
  ffapi::sws_scale(FHookToRGB, yuv, yuvStride, 0, h, FHookImage.data, FHookImage.linesize);
  const size_t rowBytes = size_t(w) * 3;
  for (int y = 0; y < h; ++y)
    std::memcpy(FHookBitmap->ScanLine(y), FHookImage.data[0] + size_t(y) * FHookImage.linesize[0], rowBytes);
  FHookBitmap->Lock();
  try {
    handler(this, FHookBitmap.get(), RoundEven(APTS * 1000000.0) - (FVideoState ? FVideoState.load()->StartTime : 0));
  } catch (const std::exception& e) {
    FHookBitmap->Unlock();
    FFLoggerInstance().Log(this, TLogLevel::llError, std::string("Error occurs OnHook: ") + e.what());
    return false;
  }
  FHookBitmap->Unlock();
  FHookFromRGB = ffapi::sws_getCachedContext(FHookFromRGB, w, h, AV_PIX_FMT_BGR24, w, h, AV_PIX_FMT_YUV420P,
                                             SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!FHookFromRGB) {
    FFLoggerInstance().Log(this, TLogLevel::llError, "Cannot initialize the fromRGB conversion context");
    return false;
  }
  for (int y = 0; y < h; ++y)
    std::memcpy(FHookImage.data[0] + size_t(y) * FHookImage.linesize[0], FHookBitmap->ScanLine(y), rowBytes);
  uint8_t* yuvd[4] = {vp->data[0], vp->data[1], vp->data[2], nullptr};
  ffapi::sws_scale(FHookFromRGB, FHookImage.data, FHookImage.linesize, 0, h, yuvd, yuvStride);
  return true;
}

// ---------------------------------------------------------------------------
// Video output events

void TCustomPlayer::VideoOutputExposed() { FEngineEvents.Push({VideoExposeEvent, 0, 0}); }

void TCustomPlayer::VideoOutputResized(int width, int height) { FEngineEvents.Push({VideoResizeEvent, width, height}); }

void TCustomPlayer::VideoOutputClicked() {}

}  // namespace media
