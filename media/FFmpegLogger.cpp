#include "media/FFmpegLogger.h"

#include "media/FFmpegLoader.h"
#include "media/EngineUtils.h"

namespace media {

namespace {

std::atomic<int> gAVLogLevel{AV_LOG_INFO};

// Guards the single-logger pointer; held only for short reads and writes.
std::mutex& InstanceLock() {
  static std::mutex* m = new std::mutex();
  return *m;
}
TFFLogger* gInstance = nullptr;

TLogList& LineList() {
  static TLogList* list = new TLogList();  // lives as long as the libraries may call back
  return *list;
}

}  // namespace

int LogLevelToAV(TLogLevel L) { return (static_cast<int>(L) - 1) * 8; }

TLogLevel AVToLogLevel(int n) {
  int v = n / 8 + 1;  // C++ division truncates toward zero
  if (v < 0) v = 0;
  if (v > 7) v = 7;
  return static_cast<TLogLevel>(v);
}

int CurrentAVLogLevel() { return gAVLogLevel.load(); }

TLogItem& TLogList::FindOrAdd(uint32_t threadId) {
  std::lock_guard<std::mutex> lk(FLock);
  auto& slot = FItems[threadId];
  if (!slot) {
    slot = std::make_unique<TLogItem>();
    slot->ThreadID = threadId;
  }
  return *slot;
}

void TLogList::Clear() {
  std::lock_guard<std::mutex> lk(FLock);
  FItems.clear();
}

TFFLogger::TFFLogger(void* AOwner) : TFFBaseComponent(AOwner) {
  std::lock_guard<std::mutex> lk(InstanceLock());
  if (gInstance) throw EAssertionFailed("Allow creating only one instance of TFFLogger.");
  FLogLevel = AVToLogLevel(gAVLogLevel.load());
  gInstance = this;
}

TFFLogger::~TFFLogger() {
  std::lock_guard<std::mutex> lk(InstanceLock());
  if (gInstance == this) gInstance = nullptr;
}

TFFLogger* FFLoggerIfAny() {
  std::lock_guard<std::mutex> lk(InstanceLock());
  return gInstance;
}

TFFLogger& FFLoggerInstance() {
  if (TFFLogger* l = FFLoggerIfAny()) return *l;
  try {
    return *new TFFLogger(nullptr);  // owned by the process, like the libraries' callback
  } catch (const EAssertionFailed&) {
    // Another thread created one meanwhile.
    return *FFLoggerIfAny();
  }
}

void TFFLogger::InstallAVLogCallback() {
  if (!ffapi::av_log_set_callback || !ffapi::av_log_set_level) throw EAssertionFailed("Assertion failure");
  ffapi::av_log_set_callback(&AVLogCallback);
  gAVLogLevel = LogLevelToAV(FLogLevel.load());
  ffapi::av_log_set_level(gAVLogLevel.load());
}

void TFFLogger::SetLogLevel(TLogLevel L) {
  if (FLogLevel.exchange(L) == L) return;
  gAVLogLevel = LogLevelToAV(L);
  if (ffapi::av_log_set_level) ffapi::av_log_set_level(gAVLogLevel.load());
}

void TFFLogger::OptLogLevel(const std::string& arg) {
  static const char* const names[] = {"quiet", "panic", "fatal", "error", "warning", "info", "verbose", "debug"};
  int level = 0;
  bool named = false;
  for (int i = 0; i < 8; ++i)
    if (SameText(arg, names[i])) {
      level = (i - 1) * 8;
      named = true;
    }
  if (!named) level = StrToInt(arg);
  SetLogLevel(AVToLogLevel(level));
}

void TFFLogger::SetOnLog(TLogEvent ev) {
  std::lock_guard<std::mutex> lk(FEventLock);
  FOnLog = std::move(ev);
}

bool TFFLogger::HasOnLog() const {
  std::lock_guard<std::mutex> lk(FEventLock);
  return static_cast<bool>(FOnLog);
}

TLogEvent TFFLogger::OnLogCopy() const {
  std::lock_guard<std::mutex> lk(FEventLock);
  return FOnLog;
}

void TFFLogger::Raise(const TLogInfo& info, bool wait) {
  TLogEvent ev = OnLogCopy();
  if (!ev) return;
  auto call = [ev, info]() { ev(info.Sender, info.ThreadID, info.LogLevel, info.LogMsg); };
  if (!FTriggerEventInMainThread) {
    call();
    return;
  }
  try {
    if (wait)
      RunInMainThread(call);
    else
      PostToMainThread(call);
  } catch (...) {
    // A log line is never worth failing the caller's work (for instance after
    // the UI dispatcher has shut down).
  }
}

void TFFLogger::LogFromAV(uint32_t AThreadID, int ALevel, const std::string& ALine) {
  if (!HasOnLog()) return;
  TLogInfo info{this, AThreadID, AVToLogLevel(ALevel), ALine};
  Raise(info, false);
}

void TFFLogger::Log(void* Sender, TLogLevel ALogLevel, const std::string& ALogMsg) {
  if (!HasOnLog()) return;
  const TLogLevel cur = FLogLevel.load();
  if (!(ALogLevel <= cur || (ALogLevel == TLogLevel::llVerbose && cur > TLogLevel::llQuiet))) return;
  TLogInfo info{Sender, CurrentThreadId(), ALogLevel, ALogMsg};
  Raise(info, true);
}

void TFFLogger::Log(void* Sender, TLogLevel ALogLevel, const char* AFormat, ...) {
  if (!HasOnLog()) return;
  const TLogLevel cur = FLogLevel.load();
  if (!(ALogLevel <= cur || (ALogLevel == TLogLevel::llVerbose && cur > TLogLevel::llQuiet))) return;
  va_list ap;
  va_start(ap, AFormat);
  std::string msg = VFormatStr(AFormat, ap);
  va_end(ap);
  Log(Sender, ALogLevel, msg);
}

void AVLogCallback(void* avcl, int level, const char* fmt, va_list vl) {
  if (level > gAVLogLevel.load()) return;
  const uint32_t tid = CurrentThreadId();
  TLogItem& item = LineList().FindOrAdd(tid);
  std::string text;
  if (avcl && item.LogMsg.empty()) {
    const AVClass* cls = *static_cast<AVClass**>(avcl);
    const char* name = (cls && cls->item_name) ? cls->item_name(avcl) : "NULL";
    text = FormatStr("[%s @ %p]", name ? name : "NULL", avcl);
  }
  // Formatted into a buffer that grows to the message: long file names and
  // metadata must not overrun anything.
  text += VFormatStr(fmt ? fmt : "", vl);
  item.LogMsg += text;
  size_t pos;
  while ((pos = item.LogMsg.find('\n')) != std::string::npos) {
    std::string line = item.LogMsg.substr(0, pos);
    item.LogMsg.erase(0, pos + 1);
    if (TFFLogger* logger = FFLoggerIfAny()) logger->LogFromAV(tid, level, line);
  }
}

}  // namespace media
