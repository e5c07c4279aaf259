// End-to-end runs of the task component: event order, outputs that decode
// fully, stop, pause, two-pass, stream copy, join, targets, broken inputs.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "platform/rtl/dispatcher.h"
#include "tests/media/convert/ConvertKit.h"

using namespace media;
using convkit::Clip;
using convkit::DecodeAll;
using convkit::Out;

namespace {

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(convkit::LoadLibs()); }
};

TOutputOptions Opts(const std::string& vcodec, const std::string& acodec, const std::string& size = "") {
  TOutputOptions o;
  InitOutputOptions(o);
  o.VideoCodec = vcodec;
  o.AudioCodec = acodec;
  o.FrameSize = size;
  return o;
}

}  // namespace

TEST_F(ConvertTest, InlineRunConvertsAndRaisesEventsBeforeStartReturns) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c);
  c.SetProgressInterval(100);
  const std::string inputs[] = {Clip("clip.avi"), Clip("clip.mp4"), Clip("clip.wav")};
  const std::string outs[] = {Out("inl0.mp4"), Out("inl1.avi"), Out("inl2.mp3")};
  TOutputOptions o0 = Opts("libx264", "aac"), o1 = Opts("mpeg4", "libmp3lame"), o2 = Opts("", "libmp3lame");
  TOutputOptions* opts[] = {&o0, &o1, &o2};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(i, c.AddTask(inputs[i], static_cast<TInputOptions*>(nullptr))) << c.LastErrMsg();
    ASSERT_TRUE(c.SetOutputFile(i, outs[i], opts[i])) << c.LastErrMsg();
  }
  c.Start(0);
  EXPECT_EQ((std::vector<int>{0, 1, 2, -1}), log.TermIndexes());
  for (auto& t : log.terms) EXPECT_TRUE(t.Finished && !t.Exception) << t.TaskIndex << " " << t.ExceptionMsg;
  EXPECT_TRUE(c.Working());
  EXPECT_TRUE(c.Terminated());

  auto r0 = DecodeAll(outs[0]);
  ASSERT_TRUE(r0.opened);
  ASSERT_NE(nullptr, r0.First(AVMEDIA_TYPE_VIDEO));
  EXPECT_EQ("h264", r0.First(AVMEDIA_TYPE_VIDEO)->codec);
  EXPECT_EQ(160, r0.First(AVMEDIA_TYPE_VIDEO)->width);
  EXPECT_NEAR(25, r0.First(AVMEDIA_TYPE_VIDEO)->frames, 1);
  ASSERT_NE(nullptr, r0.First(AVMEDIA_TYPE_AUDIO));
  EXPECT_EQ("aac", r0.First(AVMEDIA_TYPE_AUDIO)->codec);
  EXPECT_NEAR(44100, r0.First(AVMEDIA_TYPE_AUDIO)->samples, 2048);
  auto r1 = DecodeAll(outs[1]);
  EXPECT_EQ("mpeg4", r1.First(AVMEDIA_TYPE_VIDEO)->codec);
  EXPECT_EQ("mp3", r1.First(AVMEDIA_TYPE_AUDIO)->codec);
  auto r2 = DecodeAll(outs[2]);
  EXPECT_EQ(nullptr, r2.First(AVMEDIA_TYPE_VIDEO));
  EXPECT_EQ("mp3", r2.First(AVMEDIA_TYPE_AUDIO)->codec);
  EXPECT_NEAR(1.0, r2.duration, 0.1);

  EXPECT_THROW(c.AddTask(inputs[0], static_cast<TInputOptions*>(nullptr)), std::exception);
  c.ClearTasks();
  EXPECT_EQ(0, c.AddTask(inputs[0], static_cast<TInputOptions*>(nullptr)));
}

namespace {

// Five tasks over the clips, written as mp4/avi/mkv.
struct Batch {
  std::vector<std::string> inputs, outputs;
  std::vector<TOutputOptions> opts;
  void Add(const std::string& in, const std::string& out, TOutputOptions o) {
    inputs.push_back(in);
    outputs.push_back(out);
    opts.push_back(o);
  }
  void Build(TFFConverter& c) {
    for (size_t i = 0; i < inputs.size(); ++i) {
      int t = c.AddTask(inputs[i], static_cast<TInputOptions*>(nullptr));
      ASSERT_EQ(static_cast<int>(i), t) << c.LastErrMsg();
      ASSERT_TRUE(c.SetOutputFile(t, outputs[i], &opts[i])) << c.LastErrMsg();
    }
  }
};

Batch FiveTasks(const std::string& prefix, const std::string& longClip = "clip.avi") {
  Batch b;
  b.Add(Clip(longClip), Out(prefix + "0.mp4"), Opts("libx264", "aac"));
  b.Add(Clip("clip.mp4"), Out(prefix + "1.avi"), Opts("mpeg4", "libmp3lame", "320x240"));
  b.Add(Clip("clip2.mkv"), Out(prefix + "2.mkv"), Opts("mpeg4", "libvorbis"));
  b.Add(Clip("clip.avi"), Out(prefix + "3.mp4"), Opts("mpeg4", "aac"));
  b.Add(Clip("clip.wav"), Out(prefix + "4.mp3"), Opts("", "libmp3lame"));
  return b;
}

}  // namespace

TEST_F(ConvertTest, TwoThreadsOverFiveFilesKeepTheEventOrderAndEveryOutputDecodes) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c);
  c.SetProgressInterval(100);
  Batch b = FiveTasks("thr");
  b.Build(c);
  c.Start(2);
  ASSERT_TRUE(log.WaitFinal(120000, 6));
  c.Stop(true);
  auto idx = log.TermIndexes();
  ASSERT_EQ(6u, idx.size());
  // Every task once, the final event after the others.
  EXPECT_EQ(-1, *std::find(idx.begin(), idx.end(), -1));
  std::vector<int> tasks;
  for (int i : idx)
    if (i >= 0) tasks.push_back(i);
  std::sort(tasks.begin(), tasks.end());
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), tasks);
  for (auto& t : log.terms) EXPECT_TRUE(t.Finished && !t.Exception) << t.TaskIndex << " " << t.ExceptionMsg;
  {
    // Progress: the final report of every task (file index -1), sizes grow.
    std::lock_guard<std::mutex> lk(log.lock);
    std::vector<int> finals;
    for (auto& p : log.progress)
      if (p.FileIndex == -1) finals.push_back(p.TaskIndex);
    std::sort(finals.begin(), finals.end());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), finals);
    // Reports of one task come at the interval, at most. The times are taken
    // on receipt, so one late delivery may shorten a single gap; the count
    // over the task's whole span is what the interval bounds.
    std::map<int, std::vector<double>> at;
    for (size_t k = 0; k < log.progress.size(); ++k)
      if (log.progress[k].FileIndex != -1) at[log.progress[k].TaskIndex].push_back(log.progress_at[k]);
    for (auto& [task, times] : at) {
      double span = times.back() - times.front();
      EXPECT_LE(static_cast<double>(times.size() - 1), span / 0.1 + 1.0) << task << " over " << span << " s";
    }
    for (auto& p : log.progress)
      if (p.TaskIndex == 4) {
        EXPECT_EQ(-1, p.FrameNumber);
        EXPECT_EQ(-1, p.FPS);
        EXPECT_FLOAT_EQ(-1.0f, p.Quality);
      }
  }
  struct Want {
    const char* vcodec;
    const char* acodec;
    int w, h, frames;
    double seconds;
  } want[] = {{"h264", "aac", 160, 120, 25, 1},
              {"mpeg4", "mp3", 320, 240, 25, 1},
              {"mpeg4", "vorbis", 160, 120, 50, 2},
              {"mpeg4", "aac", 160, 120, 25, 1},
              {nullptr, "mp3", 0, 0, 0, 1}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(b.outputs[i]);
    auto r = DecodeAll(b.outputs[i]);
    ASSERT_TRUE(r.opened);
    const auto* v = r.First(AVMEDIA_TYPE_VIDEO);
    const auto* a = r.First(AVMEDIA_TYPE_AUDIO);
    if (want[i].vcodec) {
      ASSERT_NE(nullptr, v);
      EXPECT_EQ(want[i].vcodec, v->codec);
      EXPECT_EQ(want[i].w, v->width);
      EXPECT_EQ(want[i].h, v->height);
      EXPECT_NEAR(want[i].frames, v->frames, 1);
      EXPECT_EQ(0, v->decode_errors);
    } else {
      EXPECT_EQ(nullptr, v);
    }
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(want[i].acodec, a->codec);
    EXPECT_NEAR(want[i].seconds, static_cast<double>(a->samples) / a->sample_rate, 0.1);
    EXPECT_EQ(0, a->decode_errors);
  }
}

TEST_F(ConvertTest, AtMostTheThreadCountRunsAtOnce) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  std::mutex m;
  int running = 0, peak = 0;
  // The custom hook runs on each task's thread for every picture.
  c.OnCustomHook = [&](void*, THookInfo* h) {
    std::lock_guard<std::mutex> lk(m);
    // A task's pictures pass between its first and its last (25th) one.
    if (h->FrameNumber == 1) {
      ++running;
      peak = std::max(peak, running);
    }
    if (h->FrameNumber == 25) --running;
    h->Update = false;
  };
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(i, c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
    TOutputOptions o = Opts("mpeg4", "libmp3lame");
    o.CustomHook = true;
    ASSERT_TRUE(c.SetOutputFile(i, Out("cnt" + std::to_string(i) + ".avi"), &o)) << c.LastErrMsg();
  }
  c.Start(2);
  ASSERT_TRUE(log.WaitFinal(120000, 6));
  c.Stop(true);
  EXPECT_LE(peak, 2);
  EXPECT_GE(peak, 1);
  EXPECT_EQ(6u, log.TermIndexes().size());
}

TEST_F(ConvertTest, StopEndsEveryTaskUnfinishedAndLeavesNoPartialFile) {
  for (int threads : {0, 2}) {
    SCOPED_TRACE(threads);
    TFFConverter c;
    convkit::EventLog log;
    log.Bind(c, false);
    const std::string p = "stop" + std::to_string(threads) + "_";
    // The first task is long enough to be stopped in the middle.
    for (int i = 0; i < 5; ++i) {
      ASSERT_EQ(i, c.AddTask(i < 2 ? Clip("long.avi") : Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
      TOutputOptions o = Opts("libx264", "aac");
      ASSERT_TRUE(c.SetOutputFile(i, Out(p + std::to_string(i) + ".mp4"), &o)) << c.LastErrMsg();
    }
    std::atomic<bool> stopped{false}, going{false};
    c.SetProgressInterval(100);
    if (threads == 0) {
      // Inline: the progress handler of the first task stops the run.
      c.OnProgress = [&](void*, TProgressInfo* pi) {
        if (pi->FrameNumber > 20 && !stopped.exchange(true)) c.Stop(false);
      };
      // The tasks never started end on threads of their own, slowly here:
      // Start still returns only after all their events.
      auto logged = c.OnTerminate;
      c.OnTerminate = [&, logged](void* s, const TTerminateInfo& info) {
        if (info.TaskIndex > 0) std::this_thread::sleep_for(std::chrono::milliseconds(150));
        logged(s, info);
      };
      c.Start(0);
      EXPECT_EQ(6u, log.TermIndexes().size());
      EXPECT_TRUE(c.Terminated());
    } else {
      c.OnProgress = [&](void*, TProgressInfo* pi) {
        if (pi->FrameNumber > 20) going = true;
      };
      c.Start(threads);
      ASSERT_TRUE(rtl::WaitWhilePumping([&] { return going.load(); }, 30000));
      c.Stop(true);
      stopped = true;
    }
    ASSERT_TRUE(log.WaitFinal(60000, 6));
    ASSERT_TRUE(stopped);
    auto idx = log.TermIndexes();
    EXPECT_EQ(6u, idx.size());
    for (auto& t : log.terms) {
      if (t.TaskIndex < 0) continue;
      EXPECT_FALSE(t.Finished) << t.TaskIndex;
      EXPECT_FALSE(t.Exception) << t.TaskIndex << " " << t.ExceptionMsg;
    }
    // No task reached its end, so no file stands under a final name: the
    // stopped ones took their partial files away, the others made none.
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(std::filesystem::exists(Out(p + std::to_string(i) + ".mp4"))) << i;
    c.ClearTasks();
    EXPECT_FALSE(std::filesystem::exists(Out(p + "4.mp4")));
  }
}

TEST_F(ConvertTest, PauseHoldsTheTaskAndResumeCompletesTheSameOutput) {
  auto run = [](const std::string& out, bool pause) {
    TFFConverter c;
    convkit::EventLog log;
    log.Bind(c);
    c.SetProgressInterval(100);
    EXPECT_EQ(0, c.AddTask(Clip("clip2.mkv"), static_cast<TInputOptions*>(nullptr)));
    TOutputOptions o = Opts("mpeg4", "libmp3lame");
    EXPECT_TRUE(c.SetOutputFile(0, out, &o));
    c.Start(1);
    if (pause) {
      c.Pause();
      rtl::WaitWhilePumping([] { return false; }, 300);
      size_t before;
      {
        std::lock_guard<std::mutex> lk(log.lock);
        before = log.progress.size();
      }
      rtl::WaitWhilePumping([] { return false; }, 1000);
      {
        std::lock_guard<std::mutex> lk(log.lock);
        EXPECT_EQ(before, log.progress.size());  // no progress while paused
        EXPECT_FALSE(log.final_seen);
      }
      c.Resume();
    }
    EXPECT_TRUE(log.WaitFinal(60000, 2));
    c.Stop(true);
    std::lock_guard<std::mutex> lk(log.lock);
    EXPECT_EQ(2u, log.terms.size());
    for (auto& t : log.terms) EXPECT_TRUE(t.Finished) << t.TaskIndex;
    return DecodeAll(out);
  };
  auto a = run(Out("pause_no.avi"), false);
  auto b = run(Out("pause_yes.avi"), true);
  ASSERT_TRUE(a.opened && b.opened);
  EXPECT_EQ(a.First(AVMEDIA_TYPE_VIDEO)->frames, b.First(AVMEDIA_TYPE_VIDEO)->frames);
  EXPECT_EQ(a.First(AVMEDIA_TYPE_AUDIO)->samples, b.First(AVMEDIA_TYPE_AUDIO)->samples);
  EXPECT_EQ(std::filesystem::file_size(Out("pause_no.avi")), std::filesystem::file_size(Out("pause_yes.avi")));
}

TEST_F(ConvertTest, BrokenInputFailsOnlyItsOwnTask) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  ASSERT_EQ(0, c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
  TOutputOptions o0 = Opts("mpeg4", "libmp3lame");
  ASSERT_TRUE(c.SetOutputFile(0, Out("brk0.avi"), &o0));
  // A task that cannot open its input is refused when it is built.
  EXPECT_EQ(-1, c.AddTask(Out("missing.avi"), static_cast<TInputOptions*>(nullptr)));
  EXPECT_FALSE(c.LastErrMsg().empty());
  int t = c.AddTask(Clip("broken.avi"), static_cast<TInputOptions*>(nullptr));
  if (t >= 0) {
    TOutputOptions o = Opts("mpeg4", "libmp3lame");
    c.SetOutputFile(t, Out("brk1.avi"), &o);
  }
  // A task without output fails at start with the set-up text.
  int u = c.AddTask(Clip("clip.wav"), static_cast<TInputOptions*>(nullptr));
  ASSERT_GE(u, 0);
  int w = c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr));
  TOutputOptions o3 = Opts("mpeg4", "libmp3lame");
  ASSERT_TRUE(c.SetOutputFile(w, Out("brk3.avi"), &o3));
  c.Start(2);
  ASSERT_TRUE(log.WaitFinal(60000, c.TasksCount() + 1));
  c.Stop(true);
  std::lock_guard<std::mutex> lk(log.lock);
  ASSERT_EQ(static_cast<size_t>(c.TasksCount() + 1), log.terms.size());
  for (auto& info : log.terms) {
    if (info.TaskIndex == 0 || info.TaskIndex == w) {
      EXPECT_TRUE(info.Finished && !info.Exception) << info.ExceptionMsg;
    }
    if (info.TaskIndex == u) {
      EXPECT_TRUE(info.Exception);
      EXPECT_EQ("At least one output file must be specified", info.ExceptionMsg);
    }
  }
  EXPECT_TRUE(DecodeAll(Out("brk3.avi")).opened);
}

TEST_F(ConvertTest, EmptyStartEndsTheRunAtOnce) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  c.Start(2);
  EXPECT_TRUE(log.WaitFinal(5000));
  EXPECT_TRUE(c.Terminated());
  c.ClearTasks();
  EXPECT_FALSE(c.Working());
  EXPECT_THROW(
      {
        c.Start(0);
        c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr));
      },
      std::exception);
}

TEST_F(ConvertTest, ManyTasksStartedAndStoppedConcurrentlyEndExactlyOnce) {
  // Stop at different moments of a run: each task still ends exactly once
  // and the final event comes last of all.
  for (int delayMs : {0, 20, 80, -1}) {
    SCOPED_TRACE(delayMs);
    TFFConverter c;
    convkit::EventLog log;
    log.Bind(c, false);
    for (int i = 0; i < 20; ++i) {
      ASSERT_EQ(i, c.AddTask(Clip("clip.wav"), static_cast<TInputOptions*>(nullptr)));
      TOutputOptions o = Opts("", "libmp3lame");
      ASSERT_TRUE(c.SetOutputFile(i, Out("st" + std::to_string(delayMs + 1) + "_" + std::to_string(i) + ".mp3"), &o));
    }
    c.Start(4);
    if (delayMs >= 0) {
      rtl::WaitWhilePumping([] { return false; }, delayMs);
      c.Stop(true);
    }
    ASSERT_TRUE(log.WaitFinal(60000, 21));
    c.ClearTasks();  // joins the event threads
    auto idx = log.TermIndexes();
    ASSERT_EQ(21u, idx.size());
    std::sort(idx.begin(), idx.end());
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(i - 1, idx[i]);
  }
}

TEST_F(ConvertTest, AThrowingInlineHandlerStillEndsTheRun) {
  TFFConverter c;
  std::vector<int> seen;
  c.OnTerminate = [&](void*, const TTerminateInfo& info) {
    seen.push_back(info.TaskIndex);
    throw std::runtime_error("handler failed");
  };
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(i, c.AddTask(Clip("clip.wav"), static_cast<TInputOptions*>(nullptr)));
    TOutputOptions o = Opts("", "libmp3lame");
    ASSERT_TRUE(c.SetOutputFile(i, Out("thr" + std::to_string(i) + ".mp3"), &o));
  }
  c.Start(0);
  EXPECT_EQ((std::vector<int>{0, 1, -1}), seen);
  EXPECT_TRUE(c.Terminated());
  EXPECT_NO_THROW(c.ClearTasks());
}

TEST_F(ConvertTest, FinalHandlerMayClearTheTasks) {
  TFFConverter c;
  std::atomic<bool> cleared{false}, failed{false};
  c.OnTerminate = [&](void*, const TTerminateInfo& info) {
    if (info.TaskIndex != -1) return;
    try {
      c.ClearTasks();
      cleared = true;
    } catch (...) {
      failed = true;
    }
    rtl::Wake();
  };
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(i, c.AddTask(Clip("clip.wav"), static_cast<TInputOptions*>(nullptr)));
    TOutputOptions o = Opts("", "libmp3lame");
    ASSERT_TRUE(c.SetOutputFile(i, Out("clr" + std::to_string(i) + ".mp3"), &o));
  }
  c.Start(2);
  ASSERT_TRUE(rtl::WaitWhilePumping([&] { return cleared || failed; }, 60000));
  EXPECT_TRUE(cleared);
  EXPECT_FALSE(c.Working());
  EXPECT_EQ(0, c.TasksCount());
}

TEST_F(ConvertTest, ComponentPropertiesAndGuards) {
  TFFConverter c;
  c.SetProgressInterval(50);
  EXPECT_EQ(100, c.ProgressInterval());
  c.SetProgressInterval(250);
  EXPECT_EQ(250, c.ProgressInterval());
  EXPECT_EQ("3.3", c.Version());
  // The record's empty file name is filled in; its probe is bound.
  TInputOptions in;
  InitInputOptions(in);
  ASSERT_EQ(0, c.AddTask(Clip("clip.avi"), &in));
  EXPECT_EQ(Clip("clip.avi"), in.FileName);
  ASSERT_NE(nullptr, c.TaskProbe(0, 0));
  EXPECT_EQ(nullptr, c.TaskProbe(0, 1));
  // Preview reaches tasks that exist and tasks added later.
  c.SetPreview(true);
  EXPECT_TRUE(c.Task(0)->FPostHooks & PostHookBit(TPostHook::phPreview));
  ASSERT_EQ(1, c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
  EXPECT_TRUE(c.Task(1)->FPostHooks & PostHookBit(TPostHook::phPreview));
  c.SetPreview(false);
  EXPECT_FALSE(c.Task(0)->FPostHooks & PostHookBit(TPostHook::phPreview));
  c.ClearTasks();
  // Slot limits and the transcoder's own limits.
  c.SetCustomMaxFiles(1);
  ASSERT_EQ(0, c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
  EXPECT_FALSE(c.AddInputFile(0, Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
  EXPECT_EQ("max input files 1 reached", c.LastErrMsg());
  c.SetCustomMaxFiles(0);
  EXPECT_THROW(c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)), std::exception);
  c.SetCustomMaxFiles(513);
  EXPECT_THROW(c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)), std::exception);
  c.SetCustomMaxFiles(20);
  // Guards while working.
  convkit::EventLog log;
  log.Bind(c, false);
  TOutputOptions o = Opts("mpeg4", "libmp3lame");
  ASSERT_TRUE(c.SetOutputFile(0, Out("guard.avi"), &o));
  c.Start(1);
  try {
    c.ClearTasks();
    // The run may already be over on a fast machine.
    EXPECT_TRUE(c.Terminated() || !c.Working());
  } catch (const std::exception& e) {
    EXPECT_STREQ("Cannot ClearTasks while working.", e.what());
  }
  ASSERT_TRUE(log.WaitFinal(60000, 2));
  try {
    c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr));
    ADD_FAILURE() << "AddTask after the run";
  } catch (const std::exception& e) {
    EXPECT_STREQ("Cannot AddTask while working.", e.what());
  }
  EXPECT_THROW(c.Start(1), std::exception);
  c.ClearTasks();
  EXPECT_EQ(0, c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
}

TEST_F(ConvertTest, StopWithWaitFromAProgressHandlerDoesNotHang) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  c.SetProgressInterval(100);
  std::atomic<bool> stopped{false};
  c.OnProgress = [&](void*, TProgressInfo* p) {
    if (p->FrameNumber > 5 && !stopped.exchange(true)) c.Stop(true);
  };
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(i, c.AddTask(Clip("clip2.mkv"), static_cast<TInputOptions*>(nullptr)));
    TOutputOptions o = Opts("libx264", "aac", "640x480");
    ASSERT_TRUE(c.SetOutputFile(i, Out("hstop" + std::to_string(i) + ".mp4"), &o));
  }
  c.Start(2);
  ASSERT_TRUE(log.WaitFinal(60000, 4));
  EXPECT_TRUE(stopped);
}

TEST_F(ConvertTest, StopReleasesAPausedTask) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  std::atomic<bool> going{false};
  c.SetProgressInterval(100);
  c.OnProgress = [&](void*, TProgressInfo*) { going = true; };
  ASSERT_EQ(0, c.AddTask(Clip("long.avi"), static_cast<TInputOptions*>(nullptr)));
  TOutputOptions o = Opts("libx264", "aac");
  ASSERT_TRUE(c.SetOutputFile(0, Out("pstop.mp4"), &o));
  c.Start(1);
  ASSERT_TRUE(rtl::WaitWhilePumping([&] { return going.load(); }, 30000));
  c.Pause();
  rtl::WaitWhilePumping([] { return false; }, 200);
  c.Stop(false);
  ASSERT_TRUE(log.WaitFinal(30000, 2));
  std::lock_guard<std::mutex> lk(log.lock);
  for (auto& t : log.terms)
    if (t.TaskIndex == 0) {
      EXPECT_FALSE(t.Finished);
    }
  EXPECT_FALSE(std::filesystem::exists(Out("pstop.mp4")));
}

TEST_F(ConvertTest, DamagedInputsNeitherCrashNorHang) {
  // Inputs whose data is damaged after their headers: each task ends, with
  // or without an error, and the batch goes on.
  struct Damage {
    const char* clip;
    size_t at, len;
    bool truncate;
  } damages[] = {{"clip2.avi", 9000, 4000, false},
                 {"clip2.mkv", 6000, 3000, false},
                 {"clip.mp4", 0, 0, true},
                 {"clip2.avi", 20000, 0, true},
                 {"clip2.mkv", 2500, 60000, false}};
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  int tasks = 0;
  for (size_t i = 0; i < sizeof damages / sizeof damages[0]; ++i) {
    const Damage& d = damages[i];
    std::string src = Clip(d.clip),
                dst = Out("damaged" + std::to_string(i) + std::filesystem::path(src).extension().string());
    std::ifstream in(src, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (d.truncate)
      bytes.resize(d.at ? std::min(d.at, bytes.size()) : bytes.size() * 2 / 3);
    else
      for (size_t k = d.at; k < d.at + d.len && k < bytes.size(); ++k) bytes[k] = static_cast<char>((k * 131) ^ 0x5a);
    std::ofstream(dst, std::ios::binary).write(bytes.data(), bytes.size());
    int t = c.AddTask(dst, static_cast<TInputOptions*>(nullptr));
    if (t < 0) continue;  // refused at once: the header itself is gone
    TOutputOptions o = Opts("mpeg4", "libmp3lame");
    if (!c.SetOutputFile(t, Out("damaged_out" + std::to_string(i) + ".avi"), &o)) {
      c.RemoveTask(t);
      continue;
    }
    ++tasks;
  }
  ASSERT_GT(tasks, 2);
  c.Start(2);
  ASSERT_TRUE(log.WaitFinal(60000, tasks + 1));
  EXPECT_EQ(static_cast<size_t>(tasks + 1), log.TermIndexes().size());
}
