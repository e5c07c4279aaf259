// convert_bench [repeats]
// Converts the same inputs with the same settings through the engine and
// through the ffmpeg tool, alternating, and prints wall-time and CPU-time
// ratios engine/ffmpeg:
//  - single-threaded pairs: codec threads 1 on both sides, so the figures
//    compare the engines' own work;
//  - 4 tasks with Start(4) against the same 4 run one after another, codec
//    threads 1: the task scheduler;
//  - default threading: a 1080p H.264 -> H.264/AAC job, and a list of four,
//    as the program runs them by default (thread count 1, every task's codecs
//    on every processor) against the tool with its defaults, run once per job.
// Run it under `taskset -c 0,1` for the figures of a 2-core machine.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "media/FFConverter.h"
#include "media/FFmpegLoader.h"
#include "platform/rtl/dispatcher.h"

using namespace media;
namespace fs = std::filesystem;

namespace {

std::string gDir;

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double Cpu(int who) {
  rusage u{};
  getrusage(who, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

bool Tool(const std::string& args) {
  std::string cmd = "ffmpeg -nostdin -hide_banner -v error -y " + args + " </dev/null";
  return std::system(cmd.c_str()) == 0;
}

struct Job {
  std::string input, ext;
  TOutputOptions opts;   // the engine's settings
  std::string toolArgs;  // the same settings for the tool (after -i)
};

struct Times {
  double wall = 0, cpu = 0;
};

// Runs the jobs in one converter: threads <= 0 inline, else Start(threads).
// codecThreads 0 leaves the engine's default (its share of the machine).
Times RunEngine(const std::vector<Job>& jobs, int threads, const std::string& tag, int codecThreads = 1) {
  TFFConverter c;
  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  c.OnTerminate = [&](void*, const TTerminateInfo& i) {
    if (i.TaskIndex == -1)
      done = true;
    else if (!i.Finished || i.Exception) {
      ++failures;
      std::fprintf(stderr, "engine task %d failed: %s\n", i.TaskIndex, i.ExceptionMsg.c_str());
    }
    rtl::Wake();
  };
  for (size_t i = 0; i < jobs.size(); ++i) {
    int t = c.AddTask(jobs[i].input, static_cast<TInputOptions*>(nullptr));
    TOutputOptions o = jobs[i].opts;
    std::string out = gDir + "/engine_" + tag + std::to_string(i) + jobs[i].ext;
    if (t < 0 || !c.SetOutputFile(t, out, &o)) {
      std::fprintf(stderr, "engine set-up failed: %s\n", c.LastErrMsg().c_str());
      std::exit(1);
    }
    if (codecThreads > 0) c.Task(t)->Fthread_count = codecThreads;
  }
  Times t;
  const double w0 = Now(), c0 = Cpu(RUSAGE_SELF);
  c.Start(threads);
  rtl::WaitWhilePumping([&] { return done.load(); });
  t.wall = Now() - w0;
  t.cpu = Cpu(RUSAGE_SELF) - c0;
  c.ClearTasks();
  return t;
}

// singleThreaded: codec and filter threads 1, else the tool's defaults.
Times RunTool(const std::vector<Job>& jobs, const std::string& tag, bool singleThreaded = true) {
  Times t;
  const double w0 = Now(), c0 = Cpu(RUSAGE_CHILDREN);
  for (size_t i = 0; i < jobs.size(); ++i) {
    std::string out = gDir + "/tool_" + tag + std::to_string(i) + jobs[i].ext;
    const std::string args =
        singleThreaded ? "-threads 1 -i '" + jobs[i].input + "' -filter_threads 1 " + jobs[i].toolArgs + " -threads 1"
                       : "-i '" + jobs[i].input + "' " + jobs[i].toolArgs;
    if (!Tool(args + " '" + out + "'")) {
      std::fprintf(stderr, "ffmpeg failed\n");
      std::exit(1);
    }
  }
  t.wall = Now() - w0;
  t.cpu = Cpu(RUSAGE_CHILDREN) - c0;
  return t;
}

TOutputOptions Opts(const std::string& v, const std::string& a, int vb, int ab) {
  TOutputOptions o;
  InitOutputOptions(o);
  o.VideoCodec = v;
  o.AudioCodec = a;
  o.VideoBitrate = vb;
  o.AudioBitrate = ab;
  if (v.empty()) o.DisableVideo = true;
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::atoi(argv[1]) : 3;
  if (!FFLoader().Load(ConverterLibraries)) {
    std::fprintf(stderr, "%s\n", FFLoader().LastErrMsg().c_str());
    return 1;
  }
  char tmpl[] = "/tmp/convert_bench-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  gDir = tmpl;
  std::printf("making inputs in %s ...\n", gDir.c_str());
  const std::string in720 = gDir + "/in720.mp4", in480 = gDir + "/in480.mp4", inA = gDir + "/in.wav",
                    in1080 = gDir + "/in1080.mp4";
  if (!Tool("-f lavfi -i testsrc2=size=1280x720:rate=25:duration=6 -f lavfi -i sine=frequency=440:duration=6 "
            "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 '" +
            in720 + "'") ||
      !Tool("-f lavfi -i testsrc2=size=854x480:rate=25:duration=8 -f lavfi -i sine=frequency=440:duration=8 "
            "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 '" +
            in480 + "'") ||
      !Tool("-f lavfi -i testsrc2=size=1920x1080:rate=25:duration=6 -f lavfi -i sine=frequency=440:duration=6 "
            "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 '" +
            in1080 + "'") ||
      !Tool("-f lavfi -i sine=frequency=440:sample_rate=44100:duration=120 -ac 2 -c:a pcm_s16le '" + inA + "'")) {
    std::fprintf(stderr, "cannot make the inputs\n");
    return 1;
  }

  struct Case {
    const char* name;
    std::vector<Job> jobs;
  };
  std::vector<Case> cases;
  {
    Job j{in720, ".mp4", Opts("libx264", "aac", 2000000, 128000),
          "-c:v libx264 -preset medium -b:v 2000k -c:a aac -b:a 128k"};
    j.opts.ExtOptions = "preset=medium";
    cases.push_back({"720p h264 -> mp4 (libx264 medium + aac)", {j}});
  }
  cases.push_back({"720p -> avi (mpeg4 + mp3)",
                   {Job{in720, ".avi", Opts("mpeg4", "libmp3lame", 2000000, 128000),
                        "-c:v mpeg4 -b:v 2000k -c:a libmp3lame -b:a 128k"}}});
  cases.push_back({"audio -> mp3 (libmp3lame 128k)",
                   {Job{inA, ".mp3", Opts("", "libmp3lame", -1, 128000), "-vn -c:a libmp3lame -b:a 128k"}}});

  std::printf("\n%-44s %9s %9s %9s %9s %7s %7s\n", "job", "eng wall", "ffm wall", "eng cpu", "ffm cpu", "wall", "cpu");
  for (Case& c : cases) {
    Times e, f;
    for (int r = 0; r < repeats; ++r) {
      // Alternating, so drift of the machine hits both sides alike.
      Times te = RunEngine(c.jobs, 0, "s");
      Times tf = RunTool(c.jobs, "s");
      e.wall += te.wall, e.cpu += te.cpu, f.wall += tf.wall, f.cpu += tf.cpu;
    }
    std::printf("%-44s %8.2fs %8.2fs %8.2fs %8.2fs %7.3f %7.3f\n", c.name, e.wall / repeats, f.wall / repeats,
                e.cpu / repeats, f.cpu / repeats, e.wall / f.wall, e.cpu / f.cpu);
    std::fflush(stdout);
  }

  // Scheduler: 4 tasks in parallel against the same 4 one after another.
  std::vector<Job> four;
  for (int i = 0; i < 4; ++i) four.push_back(Job{in480, ".avi", Opts("mpeg4", "libmp3lame", 1000000, 128000), ""});
  double par = 0, seq = 0;
  for (int r = 0; r < repeats; ++r) {
    seq += RunEngine(four, 1, "q").wall;
    par += RunEngine(four, 4, "p").wall;
  }
  std::printf("\n4 tasks 480p mpeg4+mp3 (codec threads 1): Start(4) %.2fs, one after another %.2fs, ratio %.3f\n",
              par / repeats, seq / repeats, par / seq);

  // Default threading, as a user runs the program and the tool.
  Job hd{in1080, ".mp4", Opts("libx264", "aac", 1600000, 128000),
         "-c:v libx264 -preset medium -b:v 1600k -s 1280x720 -c:a aac -b:a 128k"};
  hd.opts.FrameSize = "1280x720";
  hd.opts.ExtOptions = "preset=medium";
  std::printf("\n%-44s %9s %9s %7s\n", "default threads (Start(1) / tool)", "eng wall", "ffm wall", "wall");
  for (int n : {1, 4}) {
    const std::vector<Job> jobs(n, hd);
    double e = 0, f = 0;
    for (int r = 0; r < repeats; ++r) {
      e += RunEngine(jobs, 1, "d", 0).wall;
      f += RunTool(jobs, "d", false).wall;
    }
    const std::string name = n == 1 ? "1080p h264 -> 720p h264+aac, one file" : "the same, a list of four files";
    std::printf("%-44s %8.2fs %8.2fs %7.3f\n", name.c_str(), e / repeats, f / repeats, e / f);
    std::fflush(stdout);
  }
  std::printf("(%d processors for this process)\n", ffapi::av_cpu_count());

  std::error_code ec;
  fs::remove_all(gDir, ec);
  return 0;
}
