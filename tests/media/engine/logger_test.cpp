#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "media/FFmpegLoader.h"
#include "media/FFmpegLogger.h"
#include "media/EngineUtils.h"
#include "tests/media/common/MediaFixtures.h"

using namespace media;

namespace {

struct Line {
  void* sender;
  uint32_t thread;
  TLogLevel level;
  std::string text;
};

// A logger whose lines are collected; library lines come through the
// callback installed by the loader.
struct Capture {
  TFFLogger& logger = FFLoggerInstance();
  std::mutex lock;
  std::vector<Line> lines;
  explicit Capture(bool inMainThread = false) {
    logger.SetTriggerEventInMainThread(inMainThread);
    logger.SetLogLevel(TLogLevel::llInfo);  // whatever an earlier logger left in the libraries
    logger.SetOnLog([this](void* s, uint32_t t, TLogLevel l, const std::string& m) {
      std::lock_guard<std::mutex> lk(lock);
      lines.push_back({s, t, l, m});
    });
  }
  ~Capture() { logger.SetOnLog(nullptr); }
};

void WaitPumping(const std::function<bool()>& done) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done() && std::chrono::steady_clock::now() < until) {
    PumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace

TEST(Logger, LevelMaps) {
  struct {
    int av;
    TLogLevel level;
  } rows[] = {{-100, TLogLevel::llQuiet}, {-8, TLogLevel::llQuiet}, {-7, TLogLevel::llPanic},   {7, TLogLevel::llPanic},
              {8, TLogLevel::llFatal},    {16, TLogLevel::llError}, {31, TLogLevel::llWarning}, {32, TLogLevel::llInfo},
              {40, TLogLevel::llVerbose}, {48, TLogLevel::llDebug}, {56, TLogLevel::llDebug}};
  for (auto& r : rows) EXPECT_EQ(AVToLogLevel(r.av), r.level) << r.av;
  EXPECT_EQ(LogLevelToAV(TLogLevel::llQuiet), -8);
  EXPECT_EQ(LogLevelToAV(TLogLevel::llDebug), 48);

  TFFLogger& logger = FFLoggerInstance();
  logger.SetLogLevel(TLogLevel::llInfo);
  struct {
    const char* arg;
    TLogLevel level;
  } opts[] = {{"Warning", TLogLevel::llWarning},
              {"40", TLogLevel::llVerbose},
              {"-3", TLogLevel::llPanic},
              {"100", TLogLevel::llDebug},
              {"QUIET", TLogLevel::llQuiet}};
  for (auto& o : opts) {
    logger.OptLogLevel(o.arg);
    EXPECT_EQ(logger.LogLevel(), o.level) << o.arg;
  }
  logger.OptLogLevel("Warning");
  EXPECT_EQ(CurrentAVLogLevel(), 24);
  EXPECT_THROW(logger.OptLogLevel("loud"), EConvertError);
}

TEST(Logger, OnlyOneInstance) {
  if (!FFLoggerIfAny()) {  // a host's own logger is the one the engine uses
    TFFLogger own;
    EXPECT_EQ(&FFLoggerInstance(), &own);
    EXPECT_EQ(own.LogLevel(), TLogLevel::llInfo);
  }
  TFFLogger& first = FFLoggerInstance();
  try {
    TFFLogger second;
    FAIL() << "a second logger was created";
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Allow creating only one instance of TFFLogger.");
  }
  EXPECT_EQ(&FFLoggerInstance(), &first);
}

TEST(Logger, EngineLinesFollowTheLevel) {
  Capture c;
  int sender = 0;
  struct {
    TLogLevel set, msg;
    bool passes;
  } rows[] = {{TLogLevel::llInfo, TLogLevel::llVerbose, true}, {TLogLevel::llInfo, TLogLevel::llDebug, false},
              {TLogLevel::llInfo, TLogLevel::llError, true},   {TLogLevel::llQuiet, TLogLevel::llVerbose, false},
              {TLogLevel::llQuiet, TLogLevel::llQuiet, true},  {TLogLevel::llError, TLogLevel::llWarning, false}};
  for (auto& r : rows) {
    c.lines.clear();
    c.logger.SetLogLevel(r.set);
    c.logger.Log(&sender, r.msg, "n=%d", 5);
    ASSERT_EQ(c.lines.size(), r.passes ? 1u : 0u);
    if (r.passes) {
      EXPECT_EQ(c.lines[0].sender, &sender);
      EXPECT_EQ(c.lines[0].text, "n=5");
      EXPECT_EQ(c.lines[0].level, r.msg);
    }
  }
}

TEST(Logger, LibraryLinesAreAssembledPerThread) {
  Capture c;
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  ffapi::av_log(nullptr, AV_LOG_INFO, "abc");
  ffapi::av_log(nullptr, AV_LOG_INFO, "def\n");
  ffapi::av_log(nullptr, AV_LOG_WARNING, "one\ntwo\nthr");
  ASSERT_EQ(c.lines.size(), 3u);
  EXPECT_EQ(c.lines[0].text, "abcdef");
  EXPECT_EQ(c.lines[0].sender, &c.logger);
  EXPECT_EQ(c.lines[1].text, "one");
  EXPECT_EQ(c.lines[1].level, TLogLevel::llWarning);
  EXPECT_EQ(c.lines[2].text, "two");
  ffapi::av_log(nullptr, AV_LOG_INFO, "ee\n");
  ASSERT_EQ(c.lines.size(), 4u);
  EXPECT_EQ(c.lines[3].text, "three");
  ffapi::av_log(nullptr, AV_LOG_DEBUG, "dropped by the library level\n");
  EXPECT_EQ(c.lines.size(), 4u);

  static AVClass cls = {};
  cls.class_name = "TestCtx";
  cls.item_name = ffapi::av_default_item_name;
  cls.version = LIBAVUTIL_VERSION_INT;
  struct {
    const AVClass* c;
  } ctx{&cls};
  ffapi::av_log(&ctx, AV_LOG_ERROR, "opened %s\n", "x");
  ASSERT_EQ(c.lines.size(), 5u);
  EXPECT_EQ(c.lines[4].text, FormatStr("[TestCtx @ %p]opened x", static_cast<void*>(&ctx)));

  std::string big(10000, 'z');
  ffapi::av_log(&ctx, AV_LOG_ERROR, "%s\n", big.c_str());
  ASSERT_EQ(c.lines.size(), 6u);
  EXPECT_EQ(c.lines[5].text.size(), big.size() + FormatStr("[TestCtx @ %p]", static_cast<void*>(&ctx)).size());
}

TEST(Logger, ConcurrentThreadsDeliverIntactLinesOnTheMainThread) {
  Capture c(true);
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  const int kLines = 200;
  std::atomic<int> finished{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < 2; ++t)
    workers.emplace_back([&, t] {
      for (int i = 0; i < kLines; ++i) {
        ffapi::av_log(nullptr, AV_LOG_INFO, "T%d-%d-", t, i);
        ffapi::av_log(nullptr, AV_LOG_INFO, "end\n");
      }
      c.logger.Log(nullptr, TLogLevel::llInfo, FormatStr("T%d done", t));  // waits for the main thread
      ++finished;
    });
  WaitPumping([&] { return finished == 2; });
  for (auto& w : workers) w.join();
  PumpMessages();
  int counts[2] = {0, 0};
  for (const Line& l : c.lines) {
    if (l.text.find("done") != std::string::npos) continue;
    int t = l.text[1] - '0';
    ASSERT_TRUE(t == 0 || t == 1) << l.text;
    EXPECT_EQ(l.text, FormatStr("T%d-%d-end", t, counts[t])) << "lines of one thread stay whole and in order";
    ++counts[t];
  }
  EXPECT_EQ(counts[0], kLines);
  EXPECT_EQ(counts[1], kLines);
}
