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
  void RefreshPlayPosition();
  bool DoHook(zurora::TVideoPicture* vp, double APTS);
  void ResetPlayback();
  void LockData() { FDataLock.lock(); }
  void UnlockData() { FDataLock.unlock(); }
  zurora::TVideoState* VideoState() const { return FVideoState; }
  TPlayEvent& PlayEventRing() { return FPlayEvent; }

  std::atomic<zurora::TVideoState*> FVideoState{nullptr};
  rtl::TMutex FDataLock;  // recursive, timed
  TManualEvent FSeekEvent{true};
  TManualEvent FPictEvent{true};
  TManualEvent FStopEvent{true};
  std::atomic<bool> FSeeking{false};
  std::atomic<bool> FStep{false};
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
  void WaitForStop();
  void JoinThreads();
  void StartThreads();
  void PlayThreadExecute();
  void EventThreadExecute(const std::atomic<bool>& retired);
  void CallFileOpen();
  void PushPlayEvent(const TPlayEventItem& item) { FPlayEvent.Push(item); }
  bool HasOnState();
  bool HasOnPosition();
  void Deliver(const std::function<void()>& fn);
  // True on a thread that runs a handler delivered by the current event
  // thread: that thread waits for the handler and cannot be waited for.
  bool InOwnEventHandler() const;

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
  int64_t FEventPTS = 0;
  TPlayState FEventState = psStop;
  TPlayEvent FPlayEvent;
  bool FSDLStarted = false;
  bool FListening = false;  // registered with the output as its listener

  std::mutex FHandlerLock;
  TFileOpenEvent FOnFileOpen;
  THookEvent FOnHook;
  TPositionEvent FOnPosition;
  TPlayStateEvent FOnState;

  std::thread FPlayThread;
  std::thread FEventThread;
  std::atomic<bool> FEventThreadDone{true};
  std::atomic<bool> FEventThreadTerminate{false};
  // Set for an event thread left behind by an Open from one of its handlers:
  // it ends when that handler returns, touching nothing of the player.
  std::shared_ptr<std::atomic<bool>> FEventThreadRetired;

  TRGBConvertContext FRGBContext;
  std::unique_ptr<TBitmap> FHookBitmap;
  SwsContext* FHookToRGB = nullptr;
  SwsContext* FHookFromRGB = nullptr;
  std::vector<uint8_t> FHookRGB;
};

class TZEVizeza : public TCustomPlayer {
 public:
  using TCustomPlayer::TCustomPlayer;
};

}  // namespace media
