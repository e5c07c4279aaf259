// The player component: plays one media file into a video output of the
// host, with pause, single step, seeking, stream switching, volume, the
// picture hook and the capture of the current picture. Positions and states
// reach the host through a small ring and an event thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "media/AVProbe.h"
#include "media/FFBaseComponent.h"
#include "media/EngineUtils.h"
#include "media/VideoOutput.h"
#include "media/Player_Engine.h"
#include "platform/rtl/threads.h"

namespace media {

enum TPlayState { psPlay, psPause, psResume, psStep, psStop, psEnd };
enum TAudioDriver { adDefault, adDirectSound, adWaveOut };
enum TVideoDriver { vdDefault, vdDirectDraw, vdGDI };
enum TRepeatType { rtNone, rtStop, rtLoop };
enum TShowAudio { saNone, saWave, saRDFT };
using TAudioVolume = int;  // 0 .. 128

class TCustomPlayer;

using TFileOpenEvent = std::function<void(TCustomPlayer* Sender, int64_t ADuration, int AFrameWidth, int AFrameHeight,
                                          int& AScreenWidth, int& AScreenHeight)>;
using THookEvent = std::function<void(TCustomPlayer* Sender, TBitmap* ABitmap, int64_t APTS)>;
using TPositionEvent = std::function<void(TCustomPlayer* Sender, int64_t APTS)>;
using TPlayStateEvent = std::function<void(TCustomPlayer* Sender, TPlayState AState)>;

// A manual-reset event.
class TManualEvent {
 public:
  explicit TManualEvent(bool signalled) : set_(signalled) {}
  void Set();
  void Reset();
  bool IsSet();
  bool WaitFor(int ms);  // True when signalled within ms (ms < 0: forever)

 private:
  std::mutex m_;
  std::condition_variable c_;
  bool set_;
};

// Notification ring: kind 0 nothing, 1 position, 2 state, 3 end of notifications.
struct TPlayEventItem {
  int Kind = 0;
  int64_t Value = 0;
};

class TPlayEvent {
 public:
  static constexpr int Slots = 10;
  TPlayEvent() : Event(false) {}
  void Push(const TPlayEventItem& item);
  TPlayEventItem Pop();
  int Pending();
  void Clear();

  std::mutex Lock;
  TManualEvent Event;
  int Header = 0;
  int Tailer = 0;
  TPlayEventItem Events[Slots];
};

// A thread of one playback, running from Start. It frees itself when it
// ends: the player keeps a reference only to follow it, and nobody stops it
// from outside; it ends by itself when its playback ends.
class TPlayerThread : public std::enable_shared_from_this<TPlayerThread> {
 public:
  explicit TPlayerThread(TCustomPlayer* AOwner) : FOwner(AOwner) {}
  virtual ~TPlayerThread() = default;
  void Start();
  bool Finished() { return FFinished.IsSet(); }
  bool WaitFor(int ms) { return FFinished.WaitFor(ms); }  // True once ended

 protected:
  virtual void Execute() = 0;
  TCustomPlayer* FOwner;

 private:
  TManualEvent FFinished{false};
};

// Runs the engine's event loop of one playback: reports psPlay, plays,
// reports psStop.
class TPlayThread : public TPlayerThread {
 public:
  using TPlayerThread::TPlayerThread;

 protected:
  void Execute() override;
};

// Delivers the position and state notifications of one playback.
class TEventThread : public TPlayerThread {
 public:
  using TPlayerThread::TPlayerThread;
  // Ends the thread at its next look; a delivery in progress finishes.
  std::atomic<bool> Terminated{false};
  // Left behind by an Open from one of its handlers: it ends when that
  // handler returns and touches nothing of the player any more.
  std::atomic<bool> Retired{false};

 protected:
  void Execute() override;
};

// Linux names of the audio drivers (empty = SDL chooses). Video drivers have
// no effect: pictures go to the video output.
const char* AudioDriverName(TAudioDriver d);

class TCustomPlayer : public TFFBaseComponent, public IVideoOutputEvents {
 public:
  explicit TCustomPlayer(void* AOwner = nullptr);
  ~TCustomPlayer() override;

  bool AVLibLoaded();
  bool LoadAVLib(const std::string& APath);
  void UnloadAVLib();

  // AScreenHandle: the host's drawing area; null plays without a picture.
  bool Open(const std::string& AFileName, IVideoOutput* AScreenHandle, bool APaused);
  void Stop(bool AWaitForStop);
  void Pause();
  void Resume();
  void TogglePause();
  void StepToNextFrame();
  void ToggleAudioDisplay();
  void Seek(int64_t APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd);
  void Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd);
  // The picture being shown (or next to show) as a 24-bit bitmap owned by the
  // player; width 0 when there is none. APTS: its time in microseconds, -1 none.
  TBitmap* CurrentFrame();
  TBitmap* CurrentFrame(int64_t& APTS);
  // Nothing to do: the video output follows its window by itself.
  void UpdateScreenPosition() {}

  // Properties
  TAVProbe* AVProbe() { return FAVProbe.get(); }
  std::string FileName() const { return FFileName; }
  // True while the calling thread runs an Open of this player (its wait
  // serves the thread's messages) or the file-open event: an Open from
  // there is refused.
  bool OpeningHere() { return InOwnOpening(); }
  std::string LastErrMsg() const;
  IVideoOutput* ScreenHandle() const { return FScreenHandle; }
  std::string Format() const;
  void SetFormat(const std::string& AName);
  bool FullScreen() const { return Fis_full_screen; }
  int AudioStreamIndex();
  int VideoStreamIndex();
  int SubtitleStreamIndex();
  void SetAudioStreamIndex(int v);
  void SetVideoStreamIndex(int v);
  void SetSubtitleStreamIndex(int v);
  int64_t CurrentPTS() const { return FCurrentPTS; }
  bool Paused();
  TPlayState PlayState() const { return FState; }
  bool Seeking() const { return FSeeking; }
  TShowAudio ShowAudio() const { return FShowAudio; }
  void SetShowAudio(TShowAudio v);
  float AspectRatio() const { return FAspectRatio; }
  void SetAspectRatio(float v);
  int wanted_video_stream() const { return Fwanted_stream[AVMEDIA_TYPE_VIDEO]; }
  int wanted_audio_stream() const { return Fwanted_stream[AVMEDIA_TYPE_AUDIO]; }
  int wanted_subtitle_stream() const { return Fwanted_stream[AVMEDIA_TYPE_SUBTITLE]; }
  void set_wanted_video_stream(int v) { Fwanted_stream[AVMEDIA_TYPE_VIDEO] = v; }
  void set_wanted_audio_stream(int v) { Fwanted_stream[AVMEDIA_TYPE_AUDIO] = v; }
  void set_wanted_subtitle_stream(int v) { Fwanted_stream[AVMEDIA_TYPE_SUBTITLE] = v; }
  std::string Version() const { return "2.3"; }

  // Plain read/write properties with their defaults.
  TAudioDriver AudioDriver = adDefault;
  TVideoDriver VideoDriver = vdDefault;
  std::atomic<int> AudioVolume{128};
  bool DisableAudio = false;
  bool DisableVideo = false;
  bool DisableDisplay = false;
  std::atomic<bool> Mute{false};
  int FrameWidth = 0;
  int FrameHeight = 0;
  std::atomic<bool> Hook{false};
  std::atomic<int> ScreenWidth{0};
  std::atomic<int> ScreenHeight{0};
  bool TriggerEventInMainThread = true;
  std::string About;
  bool is_full_screen = false;
  int64_t PlayTime = AV_NOPTS_VALUE;
  TRepeatType RepeatType = rtStop;
  bool VerticalFlip = false;
  std::string VideoFilters;
  int seek_by_bytes = -1;
  int64_t start_time = AV_NOPTS_VALUE;
  int workaround_bugs = 1;
  int debug_mv = 0;
  int decoder_reorder_pts = -1;
  int framedrop = 1;
  int rdftspeed = 20;
  int lowres = 0;
  int idct_algo = 0;
  int error_recognition = 1;
  int error_concealment = 3;
  bool fast = false;
  bool genpts = false;
  int av_sync_type = zurora::AV_SYNC_AUDIO_MASTER;

  // Events. Set them while no playback runs, or clear them before Stop(True).
  void SetOnFileOpen(TFileOpenEvent e);
  void SetOnHook(THookEvent e);
  void SetOnPosition(TPositionEvent e);
  void SetOnState(TPlayStateEvent e);

  // ---- used by the engine ------------------------------------------------
  void ReportError(const std::string& AText, bool AStore);
  void SetLastErrMsg(const std::string& AText);
  // Stop and seek requests of the engine's own threads (no waiting, no lock).
  void RequestStop();
  void RequestSeek(int64_t APTS, TSeekFlags ASeekFlags);
  void SetPlayState(TPlayState AState);
  void ReportOpenPause();
  // An open paused holds once its second picture is out; a command of the
  // user's that came first ends the hold and keeps its own state.
  void AdvanceOpenPause(zurora::TVideoState* is);
  void DropOpenPause(zurora::TVideoState* is);
  void RefreshPlayPosition();
  bool DoHook(zurora::TVideoPicture* vp, double APTS);
  void ResetPlayback();
  void LockData() { FDataLock.lock(); }
  void UnlockData() { FDataLock.unlock(); }
  zurora::TVideoState* VideoState() const { return FVideoState; }
  TPlayEvent& PlayEventRing() { return FPlayEvent; }
  void PushPlayEvent(const TPlayEventItem& item) { FPlayEvent.Push(item); }
  TPlayEventItem PopPlayEvent() { return FPlayEvent.Pop(); }  // kind 0 when none is pending

  std::atomic<zurora::TVideoState*> FVideoState{nullptr};
  rtl::TMutex FDataLock;  // recursive, timed
  TManualEvent FSeekEvent{true};
  TManualEvent FPictEvent{true};
  std::atomic<bool> FSeeking{false};
  std::atomic<bool> FStep{false};
  std::mutex FOpenPauseLock;  // the open's hold decided and reported as one
  zurora::TEventQueue FEngineEvents;
  int Fsws_flags = SWS_BICUBIC;
  int Fframe_pix_fmt = -1;
  int Fdebug = 0;
  int Fskip_frame = 0;
  int Fskip_idct = 0;
  int Fskip_loop_filter = 0;
  int Ffs_screen_width = 0;
  int Ffs_screen_height = 0;
  bool Fis_full_screen = false;
  int Fwanted_stream[AVMEDIA_TYPE_NB] = {-1, -1, -1, -1, -1};
  const AVInputFormat* Ffile_iformat = nullptr;
  bool FAudioOpen = false;  // the SDL audio device is open (one per process)

  // IVideoOutputEvents
  void VideoOutputExposed() override;
  void VideoOutputResized(int width, int height) override;
  void VideoOutputClicked() override;

 private:
  friend class TPlayThread;
  friend class TEventThread;
  void WaitForStop(const std::shared_ptr<TPlayThread>& APlayThread);
  void JoinThreads();
  void StartThreads();
  void PlayThreadExecute();
  void EventThreadExecute(TEventThread& AThread);
  void CallFileOpen();
  // OnPosition(Self, FEventPTS) and OnState(Self, FEventState), when assigned.
  void DoPosition();
  void DoState();
  bool HasOnState();
  bool HasOnPosition();
  void Deliver(const TEventThread& AFrom, const std::function<void()>& fn);
  // Open and Stop from any thread at once: one Open at a time sets up a
  // playback (it claims FOpening). The claim is a flag, never a lock held
  // while waiting: whoever waits for it keeps the UI thread serving, so the
  // opener may wait for the UI thread (its file-open event) meanwhile.
  bool ClaimOpening();
  void WaitForOpening();
  bool InOwnOpening();  // this thread runs the Open in flight or its file-open event
  // Waits until each thread has ended, pumping on the UI thread; a thread
  // whose handler this thread is running is left to end after it.
  void WaitForThreads(const std::vector<std::shared_ptr<TPlayerThread>>& AThreads);

  std::unique_ptr<TAVProbe> FAVProbe;
  std::string FFileName;
  mutable std::mutex FErrLock;
  std::string FLastErrMsg;
  IVideoOutput* FScreenHandle = nullptr;
  std::string FFormat;
  float FAspectRatio = 0;
  TShowAudio FShowAudio = saWave;
  std::atomic<TPlayState> FState{psStop};
  std::atomic<int64_t> FLastPTS{AV_NOPTS_VALUE};
  std::atomic<int64_t> FCurrentPTS{-1};
  std::atomic<int64_t> FEventPTS{0};
  std::atomic<TPlayState> FEventState{psStop};
  TPlayEvent FPlayEvent;

  std::mutex FHandlerLock;
  TFileOpenEvent FOnFileOpen;
  THookEvent FOnHook;
  TPositionEvent FOnPosition;
  TPlayStateEvent FOnState;

  // The playback's threads and set-up. Held for short steps only, never
  // while waiting for a thread, a lock of the engine or the UI thread.
  std::mutex FLifeLock;
  bool FOpening = false;  // an Open is setting up a playback
  std::shared_ptr<TPlayThread> FPlayThread;
  std::shared_ptr<TEventThread> FEventThread;
  // Every thread not yet seen ended; the destructor waits for them.
  std::vector<std::shared_ptr<TPlayerThread>> FThreads;
  bool FSDLStarted = false;
  bool FListening = false;  // registered with the output as its listener

  TRGBConvertContext FRGBContext;
  std::unique_ptr<TBitmap> FHookBitmap;
  TScalerImage FHookImage;
  SwsContext* FHookToRGB = nullptr;
  SwsContext* FHookFromRGB = nullptr;
  std::vector<uint8_t> FHookRGB;
};

class TZEVizeza : public TCustomPlayer {
 public:
  using TCustomPlayer::TCustomPlayer;
};

}  // namespace media
