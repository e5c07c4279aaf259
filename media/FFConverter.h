// Task description records of the conversion task component and their
// translation into the settings of a task's transcoder. The component itself
// (task list, inline and threaded runs) builds on these.
#pragma once

#include <cstdint>
#include <mutex>
#include <memory>
#include <functional>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "media/FFBaseComponent.h"
#include "media/FFmpeg.h"
#include "media/EngineUtils.h"

namespace media {

enum class TOptionTargetType { ttIgnore, ttVCD, ttSVCD, ttDVD };
enum class TOptionNormType { ntAuto, ntPAL, ntNTSC };
using TOptionNormDefault = TOptionNormType;  // ntPAL or ntNTSC

struct TStreamInfo {
  TDateTime TimeStamp = -1.0;  // 0: now; > 0: that moment; < 0: none
  int Year = -1;
  int Track = -1;
  std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TInputOptions {
  std::string FileName;
  std::string FileFormat;
  int64_t TimeStart = NoTime;
  int ProgramID = -1;
  std::string ExtOptions;
  int Tag = 0;
  void* Data = nullptr;
};

struct TOutputOptions {
  std::string FileName;
  std::string FileExt;
  std::string FileFormat;
  int PacketSize = -1;
  int MuxRate = -1;
  float MuxDelay = -1.0f;
  float MuxPreload = -1.0f;
  std::string AudioCodec;
  std::string AudioPreset;
  bool DisableAudio = false;
  int AudioVolume = -1;
  int AudioChannels = -1;
  int AudioSampleRate = -1;
  int AudioBitrate = -1;
  int AudioBitRateTolerance = -1;
  std::string AudioLanguage;
  int AudioSyncMethod = 0;
  std::string AudioTag;
  std::string VideoCodec;
  std::string VideoPreset;
  bool DisableVideo = false;
  std::string FrameRate;
  std::string FrameSize;
  std::string FrameAspectRatio;
  int CropTop = -1, CropBottom = -1, CropLeft = -1, CropRight = -1;
  int GroupPictureSize = -1;
  int VideoBitrate = -1;
  int VideoMaxRate = -1;
  int VideoMinRate = -1;
  int VideoBitRateTolerance = -1;
  int VideoBufSize = -1;
  int VideoSyncMethod = -1;
  std::string VideoTag;
  std::string VideoFilters;
  std::string VideoLanguage;
  std::string SubtitleCodec;
  std::string SubtitlePreset;
  bool DisableSubtitle = false;
  std::string SubtitleLanguage;
  bool InputSync = false;
  bool CopyTimestamp = false;
  int64_t TimeStart = NoTime;
  int64_t TimeLength = NoTime;
  TStreamInfo Info;
  TOptionTargetType TargetType = TOptionTargetType::ttIgnore;
  TOptionNormType NormType = TOptionNormType::ntAuto;
  TOptionNormDefault NormDefault = TOptionNormType::ntPAL;
  bool CustomHook = false;
  bool Join = false;
  std::string ExtOptions;
  int Tag = 0;
  void* Data = nullptr;
};

// Event payloads handed to the host by the task component.
struct TProgressInfo {
  int TaskIndex = 0, FileIndex = 0, FrameNumber = 0, FPS = 0;
  float Quality = 0, BitRate = 0;
  int64_t CurrentSize = 0, CurrentDuration = 0, TotalDuration = -1;
};
struct TTerminateInfo {
  int TaskIndex = 0;
  bool Finished = false;
  bool Exception = false;
  std::string ExceptionMsg;
};
struct THookInfo {
  int TaskIndex = 0;
  TBitmap24* Bitmap = nullptr;
  int FrameNumber = 0;
  int64_t PTS = 0;
  bool Update = false;
  bool StopHook = false;
};
struct TPreviewInfo {
  int TaskIndex = 0;
  TBitmap24* Bitmap = nullptr;
  int FrameNumber = 0;
  int64_t PTS = 0;
};

void InitInputOptions(TInputOptions& o);
void InitOutputOptions(TOutputOptions& o);

using TOptionLines = std::vector<std::pair<std::string, std::string>>;

// Option text: trimmed, CR LF / CR made LF, "<CRLF>" made LF, then one
// name=value per line split at the first "=" (names as written).
TOptionLines ParseOptionText(const std::string& text);
// The text overloads: "TimeStart" (and for outputs "TimeLength", "Hook",
// "CustomHook", "Join") fill their fields, every other line goes to ExtOptions.
TInputOptions InputOptionsFromText(const std::string& text);
TOutputOptions OutputOptionsFromText(const std::string& text);

// Dispatches every line (lowercased name) except newvideo, newaudio,
// newsubtitle, apre, vpre, spre, vfilters and vf; acodec, vcodec, scodec and
// s only when codec names are allowed (the input side).
void ApplyExtOptions(TCustomFFmpeg& f, const std::string& ext, bool codecNamesAllowed);
// Steps before an input is opened; then opens it. False with f.LastErrMsg().
bool SetupInput(TCustomFFmpeg& f, const std::string& fileName, TInputOptions& opts);

TOptionLines BuildStreamDefaults(const TOutputOptions& o);
void ApplyTarget(TCustomFFmpeg& f, const TOutputOptions& o);
void ApplyOutputOptions(TCustomFFmpeg& f, const TOutputOptions& o);
void ApplyStreamGroups(TCustomFFmpeg& f, const std::string& ext, TOptionLines& list);
// Unix seconds of an output time stamp: round((t - 25569 - z) * 86400).
int64_t OutputTimeStamp(TDateTime t);
// The whole output translation and opening. bindCustomHook runs when the
// record asks for the custom hook. -1 on failure (the record is reset and
// the reason is in f.LastErrMsg()); else the output count. Setter failures
// are raised as exceptions. The task component passes its own stored copy of
// the host's record.
int SetupOutput(TCustomFFmpeg& f, const std::string& fileName, TOutputOptions& opts,
                const std::function<void()>& bindCustomHook = nullptr);

// --- the conversion task component -----------------------------------------------

using TProgressEvent = std::function<void(void* Sender, TProgressInfo* AProgressInfo)>;
using TTerminateEvent = std::function<void(void* Sender, const TTerminateInfo& ATerminateInfo)>;
using TCustomHookEvent = std::function<void(void* Sender, THookInfo* AHookInfo)>;
using TPreviewBitmapEvent = std::function<void(void* Sender, const TPreviewInfo& APreviewInfo)>;

class TAVProbe;
struct TConverterTask;

// The task list. It owns its tasks; an index outside 0 .. Count() - 1 raises
// the list's index error. The operations on every task run in list order.
class TFFmpegList {
 public:
  TFFmpegList();
  ~TFFmpegList();
  TFFmpegList(const TFFmpegList&) = delete;
  TFFmpegList& operator=(const TFFmpegList&) = delete;

  int Add(std::unique_ptr<TConverterTask> ATask);  // the new index
  void Clear();
  void Delete(int AIndex);
  void Exchange(int AIndex1, int AIndex2);
  TConverterTask& Items(int AIndex) const;
  int IndexOf(const void* ATranscoder) const;  // -1 when no task has it
  int Count() const { return static_cast<int>(FItems.size()); }
  void Pause();
  void Resume();
  void StopOrTerminate(bool AWaitFor);
  void SetPostHook(TPostHook AHook, bool AOn);

 private:
  std::vector<std::unique_ptr<TConverterTask>> FItems;
};

// Tasks (one transcoder each) run inline in Start or in worker threads, at
// most N at once. Progress and preview events reach the host on the UI
// thread (TriggerEventInMainThread), the custom hook on the worker, one
// termination event per task and a final one with TaskIndex -1. In thread
// mode each termination event runs on a thread of its own, neither a task's
// thread nor the UI thread; its handler marshals UI work itself.
class TCustomFFConverter : public TFFBaseComponent {
 public:
  explicit TCustomFFConverter(void* AOwner = nullptr);
  ~TCustomFFConverter() override;

  bool LoadAVLib(const std::string& APath);
  bool AVLibLoaded();
  void UnloadAVLib();

  int AddTask(const std::string& AFileName, TInputOptions* AOptions = nullptr);
  int AddTask(const std::string& AFileName, const std::string& AExtOptions);
  // The stream forms: the name "stream:<reference>:<private data>", which no
  // protocol opens.
  int AddTask(const void* AStream, const std::string& APrivateData, TInputOptions* AOptions);
  bool AddInputFile(int ATaskIndex, const std::string& AFileName, TInputOptions* AOptions = nullptr);
  bool AddInputFile(int ATaskIndex, const std::string& AFileName, const std::string& AExtOptions);
  bool SetOutputFile(int ATaskIndex, const std::string& AFileName, TOutputOptions* AOptions = nullptr);
  bool SetOutputFile(int ATaskIndex, const std::string& AFileName, const std::string& AExtOptions);
  bool SetOutputStream(int ATaskIndex, const void* AStream, const std::string& APrivateData, TOutputOptions* AOptions);
  void ClearTasks();
  void Exchange(int ATaskIndex1, int ATaskIndex2);
  void RemoveTask(int ATaskIndex);
  void Start(int AThreadCount);
  void Pause();
  void Resume();
  void Stop(bool AWaitFor);

  std::string About;
  std::string Version() const { return "3.3"; }
  TAVProbe* AVProbe() const { return FAVProbe.get(); }
  std::string LastErrMsg() const { return FLastErrMsg; }
  int TasksCount() const { return FFFmpegList.Count(); }
  int CustomMaxFiles() const { return FCustomMaxFiles; }
  void SetCustomMaxFiles(int v) { FCustomMaxFiles = v; }
  bool Preview() const { return FPreview; }
  void SetPreview(bool v);
  bool PreviewBitmap() const { return FPreviewBitmap; }
  void SetPreviewBitmap(bool v);
  int ProgressInterval() const { return FProgressInterval; }
  void SetProgressInterval(int v) { FProgressInterval = v <= 100 ? 100 : v; }
  rtl::TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(rtl::TThreadPriority v) { FThreadPriority = v; }
  bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
  void SetTriggerEventInMainThread(bool v) { FTriggerEventInMainThread = v; }
  void* UserData = nullptr;
  int Verbose() const { return FVerbose; }
  void SetVerbose(int v) { FVerbose = v; }
  bool Terminated() const { return FTerminated; }
  bool Working() const { return FWorking; }
  TAVProbe* TaskProbe(int ATaskIndex, int AFileIndex) const;
  // The task's own copy of the record an output slot was set with; null for
  // a slot never set.
  const TOutputOptions* TaskOutputOptions(int ATaskIndex, int AFileIndex) const;
  TFFmpeg* Task(int ATaskIndex) const;  // the task's transcoder

  TProgressEvent OnProgress;
  TPreviewBitmapEvent OnPreviewBitmap;
  TCustomHookEvent OnCustomHook;
  TTerminateEvent OnTerminate;

 protected:
  virtual void DoTaskCustomHook(void* Sender, TBitmap24* ABitmap, int AFrameNumber, int64_t APTS, bool& AUpdate,
                                bool& AStopHook);
  virtual void DoTaskPreviewBitmap(void* Sender, TBitmap24* ABitmap, int AFrameNumber, int64_t APTS);
  virtual void DoTaskProgress(void* Sender, int AFileIndex, int AFrameNumber, int AFPS, float AQuality, float ABitRate,
                              int64_t ACurrentSize, int64_t ACurrentDuration, int64_t ATotalDuration);
  virtual void DoTaskTerminate(void* Sender);

 private:
  void CheckWorking(const char* AName);
  void StartNextTask();
  void DoFinalTerminate();
  void DeliverTerminate(const TTerminateInfo& info);
  void JoinTerminateThreads();

  std::string FLastErrMsg;
  int FCustomMaxFiles = 20;
  bool FPreview = false, FPreviewBitmap = false;
  int FProgressInterval = 500;
  rtl::TThreadPriority FThreadPriority = rtl::tpNormal;
  bool FTriggerEventInMainThread = true;
  int FVerbose = 1;
  THookInfo FHookInfo;
  TProgressInfo FProgressInfo;
  TTerminateInfo FTerminateInfo;
  TPreviewInfo FPreviewInfo;
  std::mutex FHookLock, FPreviewLock, FProgressLock;
  std::recursive_mutex FTerminateLock;
  std::unique_ptr<TAVProbe> FAVProbe;
  TFFmpegList FFFmpegList;
  int FCompleteTasks = 0;
  int FCurrentTask = -1;
  int FPendingTasks = 0;
  std::atomic<bool> FTerminated{false};
  bool FThreadMode = false;
  std::atomic<bool> FWorking{false};
  // In thread mode each termination event runs on a thread of its own.
  class TDoTerminateThread;
  std::mutex FTerminateThreadsLock;
  std::vector<std::shared_ptr<TDoTerminateThread>> FTerminateThreads;
};

class TFFConverter : public TCustomFFConverter {
 public:
  using TCustomFFConverter::TCustomFFConverter;
};

}  // namespace media
