// Real jobs: a task is set up as the main window does it (input record,
// output record), run with the packet loop left out, and the written header
// and trailer are read back.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/media/transcoder/TranscoderTestKit.h"

using namespace media;

namespace {

struct Job {
  const char* name;
  const char* input;
  const char* output;
  std::function<void(TOutputOptions&)> fill;
  std::vector<ttk::StreamDesc> expect;  // type, codec, size / rate, channels
};

}  // namespace

TEST(TranscoderSetup, RealJobsWriteValidHeadersAndTrailers) {
  ttk::LogCapture log;
  const std::vector<Job> jobs = {
      {"mp4 h264+aac",
       "av.avi",
       "job.mp4",
       [](TOutputOptions& o) {
         o.VideoCodec = "libx264";
         o.VideoPreset = "libx264-default";
         o.AudioCodec = "aac";
       },
       {{AVMEDIA_TYPE_VIDEO, "h264", 320, 240}, {AVMEDIA_TYPE_AUDIO, "aac", 0, 0, 44100, 2}}},
      {"avi xvid+mp3",
       "av.mp4",
       "job.avi",
       [](TOutputOptions& o) {
         o.VideoCodec = "libxvid";
         o.AudioCodec = "libmp3lame";
         o.VideoTag = "XVID";
       },
       {{AVMEDIA_TYPE_VIDEO, "mpeg4", 320, 240}, {AVMEDIA_TYPE_AUDIO, "mp3", 0, 0, 44100, 2}}},
      {"3gp h263+amr",
       "av.avi",
       "job.3gp",
       [](TOutputOptions& o) {
         o.VideoCodec = "h263";
         o.AudioCodec = "libamr_nb";
         o.AudioChannels = 1;
         o.AudioSampleRate = 8000;
         o.FrameSize = "320x240";  // not an H.263 size: the nearest one is used
       },
       {{AVMEDIA_TYPE_VIDEO, "h263", 352, 288}, {AVMEDIA_TYPE_AUDIO, "amr_nb", 0, 0, 8000, 1}}},
      {"flv",
       "av.avi",
       "job.flv",
       [](TOutputOptions& o) { o.AudioSampleRate = 22050; },
       {{AVMEDIA_TYPE_VIDEO, "flv1", 320, 240}, {AVMEDIA_TYPE_AUDIO, "mp3", 0, 0, 22050, 2}}},
      {"wmv wma",
       "av.avi",
       "job.wmv",
       [](TOutputOptions& o) {
         o.VideoCodec = "wmv2";
         o.AudioCodec = "wmav2";
       },
       {{AVMEDIA_TYPE_VIDEO, "wmv2", 320, 240}, {AVMEDIA_TYPE_AUDIO, "wmav2", 0, 0, 44100, 2}}},
      {"dvd target",
       "av.avi",
       "job.vob",
       [](TOutputOptions& o) {
         o.TargetType = TOptionTargetType::ttDVD;
         o.NormType = TOptionNormType::ntAuto;
       },
       {{AVMEDIA_TYPE_VIDEO, "mpeg2video", 720, 576}, {AVMEDIA_TYPE_AUDIO, "ac3", 0, 0, 48000, 2}}},
      {"mp3 audio only",
       "av.mp4",
       "job.mp3",
       [](TOutputOptions& o) { o.AudioBitrate = 128000; },
       {{AVMEDIA_TYPE_AUDIO, "mp3", 0, 0, 44100, 2}}},
      {"mpg with aac asked",
       "av.avi",
       "job.mpg",
       [](TOutputOptions& o) { o.AudioCodec = "libfaac"; },
       {{AVMEDIA_TYPE_VIDEO, "mpeg1video", 320, 240}, {AVMEDIA_TYPE_AUDIO, "mp2", 0, 0, 44100, 2}}},
  };
  for (const Job& job : jobs) {
    SCOPED_TRACE(job.name);
    auto f = ttk::NewTask();
    TInputOptions in;
    InitInputOptions(in);
    ASSERT_TRUE(SetupInput(*f, mediatest::Fixture(job.input), in)) << f->LastErrMsg();
    TOutputOptions out;
    InitOutputOptions(out);
    job.fill(out);
    const std::string path = ttk::OutPath(job.output);
    ASSERT_EQ(SetupOutput(*f, path, out), 1) << f->LastErrMsg();
    // The run with the packet loop left out: tables, codecs, header, trailer.
    ASSERT_NO_THROW(f->run_transcode());
    EXPECT_TRUE(f->Finished());
    std::vector<ttk::StreamDesc> got = ttk::StreamsOf(f->OutputContext(0));
    f->CleanupFiles();
    // An MPEG program stream without packets is empty and is removed.
    if (std::filesystem::exists(path)) {
      EXPECT_GT(std::filesystem::file_size(path), 0u);
    }
    ASSERT_EQ(got.size(), job.expect.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].type, job.expect[i].type) << i;
      EXPECT_EQ(got[i].codec, job.expect[i].codec) << i;
      if (job.expect[i].width) {
        EXPECT_EQ(got[i].width, job.expect[i].width);
        EXPECT_EQ(got[i].height, job.expect[i].height);
      }
      if (job.expect[i].sample_rate) {
        EXPECT_EQ(got[i].sample_rate, job.expect[i].sample_rate);
        EXPECT_EQ(got[i].channels, job.expect[i].channels);
      }
    }
  }
  EXPECT_TRUE(log.Has("Stream mapping:"));
  EXPECT_TRUE(log.Has("  Stream #0.0 -> #0.0 (Video)"));
  EXPECT_TRUE(log.Has("Codec 'libamr_nb' is used as 'libopencore_amrnb'"));
}

TEST(TranscoderSetup, BrokenInputsGiveTheirErrorText) {
  struct Case {
    std::string file;
    std::string suffix;
  } cases[] = {
      {mediatest::Fixture("text.avi"), ": Invalid data found when processing input"},
      {mediatest::TempDir() + "/missing.avi", ": No such file or directory"},
      {mediatest::Fixture("truncated.mp4"), ""},  // the library decides the words
  };
  for (auto& c : cases) {
    auto f = ttk::NewTask();
    TInputOptions in;
    EXPECT_FALSE(SetupInput(*f, c.file, in)) << c.file;
    EXPECT_EQ(f->LastErrMsg().rfind(c.file, 0), 0u) << f->LastErrMsg();
    if (!c.suffix.empty()) {
      EXPECT_EQ(f->LastErrMsg(), c.file + c.suffix);
    }
    EXPECT_EQ(f->nb_input_files(), 0);
  }
}

TEST(TranscoderSetup, NonAsciiNamesOpenAndStartRules) {
  auto f = ttk::NewTask();
  bool terminated = false;
  f->FOnTerminate = [&](void*) { terminated = true; };
  TInputOptions in;
  ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("视频 ü.avi"), in)) << f->LastErrMsg();
  // An input but no output: refused at start, reported through termination.
  EXPECT_FALSE(f->StartConvert());
  EXPECT_TRUE(terminated);
  EXPECT_TRUE(f->FatalException());
  EXPECT_EQ(f->FatalMessage(), "At least one output file must be specified");
  EXPECT_TRUE(f->Terminated());
  terminated = false;
  EXPECT_FALSE(f->StartConvert());
  EXPECT_FALSE(terminated) << "a transcoder is started at most once";
  EXPECT_THROW(TFFmpeg(0), EAssertionFailed);
  EXPECT_THROW(TFFmpeg(513), EAssertionFailed);
  EXPECT_NO_THROW(TFFmpeg(512));
}

TEST(TranscoderSetup, OutputFileRules) {
  ttk::LogCapture log;
  struct Case {
    const char* name;
    std::function<void(TFFmpeg&)> before;
    const char* output;
    std::string error;  // empty: the output opens
    std::vector<AVMediaType> streams;
  } cases[] = {
      {"unknown format",
       [](TFFmpeg& f) { f.dispatch_option("f", "nosuchformat"); },
       "x.avi",
       "Requested output format 'nosuchformat' is not a suitable output format",
       {}},
      {"unknown extension", nullptr, "x.nosuchext", "", {}},
      {"missing folder", nullptr, "no/such/folder/x.avi", "", {}},
      {"an removes audio", [](TFFmpeg& f) { f.dispatch_option("an", ""); }, "an.mp4", "", {AVMEDIA_TYPE_VIDEO}},
      {"experimental encoder",
       [](TFFmpeg& f) { f.dispatch_option("acodec", "vorbis"); },
       "x.ogg",
       "new_audio_stream fail: encoder 'vorbis' is experimental and might produce bad results.\r\n"
       "Add '-strict experimental' if you want to use it.\r\nOr use the non experimental encoder 'libvorbis'.",
       {}},
      {"unknown encoder",
       [](TFFmpeg& f) { f.dispatch_option("vcodec", "nosuchcodec"); },
       "x.mkv",
       "new_video_stream fail: Unknown encoder 'nosuchcodec'",
       {}},
      {"wrong encoder type",
       [](TFFmpeg& f) { f.dispatch_option("vcodec", "mp2"); },
       "x.mkv",
       "new_video_stream fail: Invalid encoder type 'mp2'",
       {}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = ttk::NewTask();
    TInputOptions in;
    ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
    if (c.before) c.before(*f);
    const std::string path = ttk::OutPath(c.output);
    const int r = f->open_output_file(path, false);
    if (std::string(c.name) == "unknown extension") {
      EXPECT_EQ(r, -1);
      EXPECT_EQ(f->LastErrMsg(), "Unable to find a suitable output format for '" + path + "'");
    } else if (std::string(c.name) == "missing folder") {
      EXPECT_EQ(r, -1);
      EXPECT_EQ(f->LastErrMsg(), path + ": No such file or directory");
      EXPECT_EQ(f->nb_output_files(), 0);
    } else if (!c.error.empty()) {
      EXPECT_EQ(r, -1);
      EXPECT_EQ(f->LastErrMsg(), c.error);
    } else {
      ASSERT_EQ(r, 1) << f->LastErrMsg();
      ASSERT_EQ(f->OutputContext(0)->nb_streams, c.streams.size());
      for (size_t i = 0; i < c.streams.size(); ++i)
        EXPECT_EQ(f->OutputContext(0)->streams[i]->codecpar->codec_type, c.streams[i]);
    }
  }
  // A video-only input gives no audio stream although mp4 has a default one.
  auto f = ttk::NewTask();
  TInputOptions in;
  ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("v_only.avi"), in));
  ASSERT_EQ(f->open_output_file(ttk::OutPath("vonly.mp4"), false), 1);
  EXPECT_EQ(f->OutputContext(0)->nb_streams, 1u);
}

TEST(TranscoderSetup, JoinRepeatsTheOutputAndReleasesItOnce) {
  auto f = ttk::NewTask();
  for (int i = 0; i < 3; ++i) {
    TInputOptions in;
    ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
  }
  const int64_t one = f->InputContext(0)->duration;
  ASSERT_EQ(f->open_output_file(ttk::OutPath("join.avi"), true), 3);
  EXPECT_TRUE(f->JoinMode());
  EXPECT_EQ(f->OutputContext(0), f->OutputContext(2));
  EXPECT_EQ(f->TotalOutputDuration(), 3 * one);
  EXPECT_EQ(f->open_output_file(ttk::OutPath("join2.avi"), false), -1);
  EXPECT_EQ(f->LastErrMsg(), "Cannot join more than one output file.");
  EXPECT_TRUE(f->StartConvert());
  EXPECT_FALSE(f->FatalException()) << f->FatalMessage();
  EXPECT_EQ(f->OutputStreams().size(), 0u);  // released after the run
  EXPECT_EQ(ttk::ReadStreams(ttk::OutPath("join.avi")).size(), 2u);
}

TEST(TranscoderSetup, MappingAndCodecSetupFailures) {
  struct Case {
    const char* name;
    std::function<void(TFFmpeg&)> options;  // applied before the output is opened
    std::function<void(TFFmpeg&)> after;    // applied after it
    std::string error;
  } cases[] = {
      {"map count", [](TFFmpeg& f) { f.dispatch_option("map", "0:0"); }, nullptr,
       "Number of stream maps must match number of output streams"},
      {"missing input stream",
       [](TFFmpeg& f) {
         f.dispatch_option("map", "0:7");
         f.dispatch_option("map", "0:1");
       },
       nullptr, "Could not find input stream #0.7"},
      {"type mismatch",
       [](TFFmpeg& f) {
         f.dispatch_option("map", "0:1");
         f.dispatch_option("map", "0:0");
       },
       nullptr, "Codec type mismatch for mapping #0.1 (Audio) -> #0.0 (Video)"},
      {"copy and volume",
       [](TFFmpeg& f) {
         f.dispatch_option("acodec", "copy");
         f.dispatch_option("vol", "512");
       },
       nullptr, "-acodec copy and -vol are incompatible (frames are not decoded)"},
      {"copy and post hooks", [](TFFmpeg& f) { f.dispatch_option("vcodec", "copy"); },
       [](TFFmpeg& f) { f.set_post_hooks(PostHookBit(TPostHook::phPreview)); },
       "-vcodec copy and PostHooks are incompatible (frames are not decoded)"},
      {"metadata map", [](TFFmpeg& f) { f.dispatch_option("map_meta_data", "3:0"); }, nullptr,
       "Invalid output file index 3 map_meta_data(3,0)"},
      {"encoder refuses", [](TFFmpeg& f) { f.dispatch_option("vcodec", "dvvideo"); }, nullptr,
       "Error while opening encoder for output stream #0.0 (Video) - maybe incorrect parameters such as bit_rate, "
       "rate, width or height. Please check error log message to find out more detail information."},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto f = ttk::NewTask();
    TInputOptions in;
    ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
    c.options(*f);
    ASSERT_EQ(f->open_output_file(ttk::OutPath("fail.mkv"), false), 1) << f->LastErrMsg();
    if (c.after) c.after(*f);
    EXPECT_TRUE(f->StartConvert());
    EXPECT_TRUE(f->FatalException());
    EXPECT_EQ(f->FatalMessage(), c.error);
    EXPECT_FALSE(std::filesystem::exists(ttk::OutPath("fail.mkv"))) << "an empty output is removed";
  }
}

TEST(TranscoderSetup, SourceChoiceAndPassLogName) {
  ttk::LogCapture log;
  auto f = ttk::NewTask();
  TInputOptions in;
  ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("two_audio.mkv"), in));
  f->dispatch_option("vcodec", "mpeg4");
  f->dispatch_option("pass", "1");
  f->dispatch_option("passlogfile", ttk::OutPath("pl"));
  ASSERT_EQ(f->open_output_file(ttk::OutPath("two.mkv"), false), 1);
  f->dispatch_option("newaudio", "");
  f->dispatch_option("newaudio", "");
  EXPECT_TRUE(f->StartConvert());
  EXPECT_FALSE(f->FatalException()) << f->FatalMessage();
  // The longer track first, then the other, then the last one again.
  EXPECT_TRUE(log.Has("  Stream #0.1 -> #0.1 (Audio)"));
  EXPECT_TRUE(log.Has("  Stream #0.2 -> #0.2 (Audio)"));
  EXPECT_TRUE(log.Has("  Stream #0.2 -> #0.3 (Audio)"));
  EXPECT_TRUE(std::filesystem::exists(ttk::OutPath("pl-0.log")));
}

TEST(TranscoderSetup, ChaptersFollowStartAndLength) {
  struct Case {
    const char* t;                                      // recording time, or nullptr
    std::vector<std::pair<int64_t, int64_t>> chapters;  // ms
  } cases[] = {{nullptr, {{0, 6000}, {6000, 16000}}}, {"3", {{0, 3000}}}};
  for (auto& c : cases) {
    auto f = ttk::NewTask();
    TInputOptions in;
    ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("chap.mkv"), in)) << f->LastErrMsg();
    f->dispatch_option("ss", "4");  // after the input: the output's start
    if (c.t) f->dispatch_option("t", c.t);
    f->dispatch_option("vcodec", "copy");
    f->dispatch_option("acodec", "copy");
    ASSERT_EQ(f->open_output_file(ttk::OutPath("chap_out.mkv"), false), 1) << f->LastErrMsg();
    ASSERT_NO_THROW(f->run_transcode());
    AVFormatContext* oc = f->OutputContext(0);
    ASSERT_EQ(oc->nb_chapters, c.chapters.size());
    for (size_t i = 0; i < c.chapters.size(); ++i) {
      EXPECT_EQ(ffapi::av_rescale_q(oc->chapters[i]->start, oc->chapters[i]->time_base, AVRational{1, 1000}),
                c.chapters[i].first);
      EXPECT_EQ(ffapi::av_rescale_q(oc->chapters[i]->end, oc->chapters[i]->time_base, AVRational{1, 1000}),
                c.chapters[i].second);
    }
  }
}

namespace {
// A transcoder whose packet loop fails half-way.
class FailingLoop : public TFFmpeg {
 public:
  FailingLoop() : TFFmpeg(20) {}
  int opened_at_failure = 0;

 protected:
  void transcode_loop() override {
    opened_at_failure = static_cast<int>(FEncoderList.size() + FDecoderList.size());
    throw FFmpegException("loop failed");
  }
};
}  // namespace

TEST(TranscoderSetup, AFailingLoopStillClosesAndTerminates) {
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  FailingLoop f;
  f.ResetState();
  TInputOptions in;
  ASSERT_TRUE(SetupInput(f, mediatest::Fixture("av.avi"), in));
  f.dispatch_option("programid", "0");
  ASSERT_EQ(f.open_output_file(ttk::OutPath("failing.mkv"), false), 1);
  int terminations = 0;
  f.FOnTerminate = [&](void*) { ++terminations; };
  EXPECT_TRUE(f.StartConvert());
  EXPECT_EQ(f.opened_at_failure, 4);  // two encoders, two decoders
  EXPECT_EQ(terminations, 1);
  EXPECT_TRUE(f.FatalException());
  EXPECT_EQ(f.FatalMessage(), "loop failed");
  EXPECT_FALSE(f.Finished());
  EXPECT_EQ(f.nb_output_files(), 0);  // released

  auto g = ttk::NewTask();
  g->dispatch_option("programid", "5");
  TInputOptions in2;
  EXPECT_FALSE(SetupInput(*g, mediatest::Fixture("av.avi"), in2));
  EXPECT_EQ(g->LastErrMsg(), "Specified program id not found");
}

TEST(TranscoderSetup, UnicodeFormNamesGoThroughTheEngineFiles) {
  auto f = ttk::NewTask();
  TInputOptions in;
  const std::string src = EncodeUnicodeName(mediatest::Fixture("视频 ü.avi"));
  ASSERT_TRUE(SetupInput(*f, src, in)) << f->LastErrMsg();
  const std::string out = ttk::OutPath("输出 ü.avi");
  TOutputOptions o;
  ASSERT_EQ(SetupOutput(*f, EncodeUnicodeName(out), o), 1) << f->LastErrMsg();
  EXPECT_TRUE(f->StartConvert());
  EXPECT_FALSE(f->FatalException()) << f->FatalMessage();
  EXPECT_EQ(ttk::ReadStreams(out).size(), 2u);
}

TEST(TranscoderSetup, AnOutputNeverOverwritesAnInput) {
  const std::string copy = ttk::OutPath("same.avi");
  std::filesystem::copy_file(mediatest::Fixture("av.avi"), copy, std::filesystem::copy_options::overwrite_existing);
  const auto size = std::filesystem::file_size(copy);
  auto f = ttk::NewTask();
  TInputOptions in;
  ASSERT_TRUE(SetupInput(*f, copy, in));
  EXPECT_EQ(f->open_output_file(copy, false), -1);
  EXPECT_EQ(f->LastErrMsg(), "Output file '" + copy + "' is input file #0");
  f->CleanupFiles();
  EXPECT_EQ(std::filesystem::file_size(copy), size);
}

TEST(TranscoderSetup, AFullDiskFailsTheTask) {
  // Every write to /dev/full fails with "no space left".
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto f = ttk::NewTask();
  TInputOptions in;
  ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
  f->dispatch_option("f", "avi");
  ASSERT_EQ(f->open_output_file("/dev/full", false), 1) << f->LastErrMsg();
  EXPECT_TRUE(f->StartConvert());
  EXPECT_TRUE(f->FatalException());
  EXPECT_FALSE(f->Finished());
  EXPECT_NE(f->FatalMessage().find("No space left on device"), std::string::npos) << f->FatalMessage();
  EXPECT_EQ(f->nb_output_files(), 0);
}

TEST(TranscoderSetup, TheOutputFileIsMadeWhenTheTaskRunsAndKeptOnlyWhenFinished) {
  namespace fs = std::filesystem;
  auto contents = [](const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  auto setUp = [](TFFmpeg& f, const std::string& input, const std::string& output) {
    TInputOptions in;
    InitInputOptions(in);
    EXPECT_TRUE(SetupInput(f, mediatest::Fixture(input), in)) << f.LastErrMsg();
    TOutputOptions out;
    InitOutputOptions(out);
    return SetupOutput(f, output, out);
  };
  // A task set up over somebody's file and dropped unstarted leaves it alone.
  const std::string theirs = ttk::OutPath("theirs.avi");
  { std::ofstream(theirs, std::ios::binary) << "twelve bytes"; }
  {
    auto f = ttk::NewTask();
    ASSERT_EQ(setUp(*f, "av.avi", theirs), 1) << f->LastErrMsg();
    EXPECT_EQ(contents(theirs), "twelve bytes");
    f->CleanupFiles();
  }
  EXPECT_EQ(contents(theirs), "twelve bytes");
  // A new output appears when the task starts, and stays once finished.
  const std::string fresh = ttk::OutPath("fresh.avi");
  fs::remove(fresh);
  {
    auto f = ttk::NewTask();
    ASSERT_EQ(setUp(*f, "av.avi", fresh), 1) << f->LastErrMsg();
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_TRUE(f->StartConvert());
    EXPECT_TRUE(f->Finished()) << f->FatalMessage();
  }
  EXPECT_GT(fs::file_size(fresh), 0u);
  // A task stopped before its end takes its partial file away.
  const std::string stopped = ttk::OutPath("stopped.mp4");
  {
    auto f = ttk::NewTask();
    ASSERT_EQ(setUp(*f, "chap.mkv", stopped), 1) << f->LastErrMsg();
    f->ReportInterval = 0;
    bool sawFile = false;
    f->FOnProgress = [&](void*, int, int, int, float, float, int64_t, int64_t cur, int64_t) {
      if (cur <= 0) return;
      sawFile = sawFile || fs::exists(stopped);
      f->Stop(false);
    };
    EXPECT_TRUE(f->StartConvert());
    EXPECT_TRUE(sawFile);
    EXPECT_FALSE(f->Finished());
  }
  EXPECT_FALSE(fs::exists(stopped));
  // A folder that is not there fails at set-up, in the system's words.
  {
    auto f = ttk::NewTask();
    EXPECT_LT(setUp(*f, "av.avi", ttk::OutPath("no_such_folder/x.avi")), 1);
    EXPECT_NE(f->LastErrMsg().find("No such file or directory"), std::string::npos) << f->LastErrMsg();
  }
}
