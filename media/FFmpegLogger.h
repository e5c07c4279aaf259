// Log routing: the libraries' log output (assembled into whole lines per
// thread) and the engine's own messages reach the host through one logger,
// TFFLogger, raised once per line as OnLog.
//
// Delivery with TriggerEventInMainThread (the default): engine lines (Log)
// are run on the UI thread and the caller waits; library lines are queued to
// the UI thread without waiting, because the libraries log while a codec is
// opened under CodecLock and a waiting worker would then hold that lock while
// the UI thread may want it. Each delivery carries its own copy of the line.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "media/FFBaseComponent.h"

namespace media {

enum class TLogLevel { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

// (L - 1) * 8: -8, 0, 8, ..., 48.
int LogLevelToAV(TLogLevel L);
// n / 8 truncated toward zero, plus one, clamped to llQuiet..llDebug.
TLogLevel AVToLogLevel(int n);
// The level last given to the libraries (32 at start).
int CurrentAVLogLevel();

struct TLogInfo {
  void* Sender = nullptr;
  uint32_t ThreadID = 0;
  TLogLevel LogLevel = TLogLevel::llInfo;
  std::string LogMsg;
};

using TLogEvent =
    std::function<void(void* Sender, uint32_t AThreadID, TLogLevel ALogLevel, const std::string& ALogMsg)>;

struct TLogItem {
  uint32_t ThreadID = 0;
  std::string LogMsg;  // text received since the last line feed
};

// One pending line per thread that has logged through the library callback.
class TLogList {
 public:
  TLogItem& FindOrAdd(uint32_t threadId);
  void Clear();

 private:
  std::mutex FLock;
  std::unordered_map<uint32_t, std::unique_ptr<TLogItem>> FItems;
};

class TFFLogger : public TFFBaseComponent {
 public:
  // A second instance is refused: "Allow creating only one instance of TFFLogger."
  explicit TFFLogger(void* AOwner = nullptr);
  ~TFFLogger() override;

  void InstallAVLogCallback();
  void Log(void* Sender, TLogLevel ALogLevel, const std::string& ALogMsg);
  void Log(void* Sender, TLogLevel ALogLevel, const char* AFormat, ...) __attribute__((format(printf, 4, 5)));
  // "quiet" ... "debug" (any case) or an integer library level.
  void OptLogLevel(const std::string& arg);
  // Hands one assembled library line to the host.
  void LogFromAV(uint32_t AThreadID, int ALevel, const std::string& ALine);

  TLogLevel LogLevel() const { return FLogLevel.load(); }
  void SetLogLevel(TLogLevel L);
  bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
  void SetTriggerEventInMainThread(bool v) { FTriggerEventInMainThread = v; }
  void SetOnLog(TLogEvent ev);
  bool HasOnLog() const;

 private:
  void Raise(const TLogInfo& info, bool wait);
  TLogEvent OnLogCopy() const;

  std::atomic<bool> FTriggerEventInMainThread{true};
  std::atomic<TLogLevel> FLogLevel{TLogLevel::llInfo};
  mutable std::mutex FEventLock;
  TLogEvent FOnLog;
};

// The single logger; creates one without owner when none exists.
TFFLogger& FFLoggerInstance();
// The single logger or nullptr.
TFFLogger* FFLoggerIfAny();

// The callback given to av_log_set_callback.
void AVLogCallback(void* avcl, int level, const char* fmt, va_list vl);

}  // namespace media
