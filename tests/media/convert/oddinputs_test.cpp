// Unusual but legitimate inputs, as users' own files are, converted through
// one preset of each output family, the job built as the main window builds
// it. Each conversion either gives a file that decodes with the streams and
// length it should have, or fails with a message that names the cause.
#include <cmath>
#include <filesystem>
#include <map>

#include "app/FormatCatalogue.h"
#include "app/JobOutput.h"
#include "app/MemoryControls.h"
#include "tests/media/common/OddInputs.h"
#include "tests/media/convert/ConvertKit.h"

using namespace media;

namespace {

bool BuildJob(int key, TOutputOptions& out, std::string& ext) {
  THeadlessJobForm form;
  form.Logic->OutputFolderText = [] { return std::string("/out"); };
  form.Logic->OverwriteOutput = [] { return true; };
  form.Start();
  if (!form.PrepareAdd(key, "/in/clip.avi")) return false;
  ext = std::filesystem::path(form.Logic->Job.Video_OutPutFileName).extension().string();
  InitOutputOptions(out);
  BuildJobOutputOptions(form.Logic->Job, out);
  return true;
}

constexpr int kNone = -1;  // the stream must be absent
constexpr int kAny = 0;

struct Case {
  const char* input;
  int key;                                         // preset
  const char* error;                               // nullptr: the conversion succeeds; else part of its message
  int width = kAny, height = kAny, frames = kAny;  // width kNone: no video stream; with a width, a height
  int channels = kAny, rate = kAny;                // channels kNone: no audio stream; with channels, a rate
  double seconds = 0;                              // the file's length, 0: not checked
  double audioSeconds = 0;                         // decoded audio at least, 0: not checked
  bool upright = false;                            // the picture shows only its top left quarter white
};

}  // namespace

TEST(UnusualInputs, ConvertThroughEachOutputFamilyOrFailWithTheCause) {
  ASSERT_TRUE(convkit::LoadLibs());
  const Case cases[] = {
      // Odd sizes: subsampled chroma takes the even size below.
      {"odd.avi", 1102, nullptr, 640, 352, 50, 2, 44100, 2.0, 1.9},
      {"tiny.avi", 100, nullptr, 2, 2, 50, 2, 44100, 2.0, 1.9},
      // Non-square pixels into a fixed frame size.
      {"anamorphic.mp4", 2509, nullptr, 176, 144, 25, 2, 32000, 2.0, 1.9},
      // Variable frame rate into a constant one: every second is kept.
      {"vfr.mkv", 1800, nullptr, 320, 240, 74, 2, 44100, 3.0, 1.9},
      // Surround into encoders that code fewer channels.
      {"surround51.mkv", 1409, nullptr, 480, 576, 50, 2, 44100, 2.0, 1.9},
      {"surround71.mkv", 1408, nullptr, 720, 576, 50, 6, 48000, 2.0, 1.9},
      {"surround51.mkv", 212, nullptr, kNone, kAny, kAny, 1, 8000, 2.0, 1.9},
      // Mono 8 kHz into stereo at other rates.
      {"mono8k.avi", 1200, nullptr, 320, 240, 50, 2, 22050, 2.0, 1.9},
      // An audio file with a cover picture: the picture becomes a one-frame
      // video in video formats, MP4 and 3GP included.
      {"cover.mp3", 1103, nullptr, 300, 300, 1, 2, 44100, 2.0, 1.9},
      {"cover.mp3", 109, nullptr, 176, 144, 1, 1, 8000, 2.0, 1.9},
      {"cover.mp3", 200, nullptr, kNone, kAny, kAny, 2, 44100, 2.0, 1.9},
      // One kind of stream missing.
      {"silent.mp4", 1408, nullptr, 720, 576, 50, kNone, kAny, 2.0},
      {"silent.mp4", 201, "does not contain any stream"},
      {"sound.wav", 1102, nullptr, kNone, kAny, kAny, 2, 44100, 2.0, 1.9},
      // A single picture.
      {"oneframe.avi", 1410, nullptr, 352, 288, 1, kNone},
      // Audio 2 s after the video starts.
      {"lateaudio.mp4", 1102, nullptr, 320, 240, 100, 2, 44100, 4.0, 1.9},
      {"interlaced.mpg", 1400, nullptr, 720, 576, 50, 2, 44100, 2.0, 1.9},
      // Picture size, channels and rate that change half-way: the sound
      // converts; a picture size change without scaling fails the task.
      {"switch.ts", 200, nullptr, kNone, kAny, kAny, 2, 44100, 2.0, 1.9},
      {"switch.ts", 100, "without scaling"},
      // An audio track without a packet gives nothing to an audio format.
      {"emptyaudio.mkv", 200, "is empty"},
      {"emptyaudio.mkv", 1102, nullptr, 320, 240, 50},
      // A phone clip held upright comes out as it is shown, never sideways.
      {"rotated.mp4", 1102, nullptr, 640, 360, 50, 2, 44100, 2.0, 1.9, true},
      // 25 fps into 29.97 fps in a container of variable rate: every picture
      // keeps a time of its own.
      {"vp9opus.webm", 105, nullptr, 320, 240, 50, 2, 44100, 2.0, 1.9},
  };

  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  std::vector<int> taskOf;
  std::vector<std::string> outName;
  int n = 0;
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.input << " -> preset " << k.key);
    const std::string in = mediatest::OddInput(k.input);
    ASSERT_FALSE(in.empty()) << "the ffmpeg tool could not make the input";
    TOutputOptions o;
    std::string ext;
    ASSERT_TRUE(BuildJob(k.key, o, ext));
    outName.push_back(convkit::Out("odd_" + std::to_string(n++) + ext));
    TInputOptions io;
    InitInputOptions(io);
    const int t = c.AddTask(in, &io);
    ASSERT_GE(t, 0) << c.LastErrMsg();
    ASSERT_TRUE(c.SetOutputFile(t, outName.back(), &o)) << c.LastErrMsg();
    taskOf.push_back(t);
  }
  c.Start(2);
  ASSERT_TRUE(log.WaitFinal(300000, c.TasksCount() + 1)) << "the run did not end";
  c.Stop(true);
  std::map<int, TTerminateInfo> byTask = log.TermsByTask();

  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& k = cases[i];
    SCOPED_TRACE(testing::Message() << k.input << " -> preset " << k.key << " -> " << outName[i]);
    const TTerminateInfo& info = byTask[taskOf[i]];
    if (k.error) {
      EXPECT_TRUE(info.Exception && !info.Finished);
      EXPECT_NE(std::string::npos, info.ExceptionMsg.find(k.error)) << info.ExceptionMsg;
      continue;
    }
    EXPECT_TRUE(info.Finished && !info.Exception) << info.ExceptionMsg;
    const convkit::DecodeResult r = convkit::DecodeAll(outName[i]);
    ASSERT_TRUE(r.opened);
    if (k.seconds > 0) {
      EXPECT_NEAR(k.seconds, r.duration, 0.25);
    }
    const convkit::StreamResult* v = r.First(AVMEDIA_TYPE_VIDEO);
    if (k.width == kNone) {
      EXPECT_EQ(nullptr, v);
    } else {
      ASSERT_NE(nullptr, v);
      EXPECT_EQ(0, v->decode_errors);
      EXPECT_EQ(0, v->dts_not_increasing);
      EXPECT_EQ(0, v->frame_slot_collisions);
      EXPECT_EQ(0, v->rotation);  // the pictures are turned, not marked
      if (k.upright) {
        EXPECT_GT(v->quarter_luma[0], 200);
        for (int q = 1; q < 4; ++q) EXPECT_LT(v->quarter_luma[q], 60) << "quarter " << q;
      }
      if (k.width != kAny) {
        EXPECT_EQ(k.width, v->width);
        EXPECT_EQ(k.height, v->height);
      }
      if (k.frames != kAny) {
        EXPECT_NEAR(k.frames, v->frames, 1);
      } else {
        EXPECT_GT(v->frames, 0);
      }
    }
    const convkit::StreamResult* a = r.First(AVMEDIA_TYPE_AUDIO);
    if (k.channels == kNone) {
      EXPECT_EQ(nullptr, a);
    } else if (k.channels != kAny || k.audioSeconds > 0) {
      ASSERT_NE(nullptr, a);
      EXPECT_EQ(0, a->decode_errors);
      EXPECT_EQ(0, a->dts_not_increasing);
      if (k.channels != kAny) {
        EXPECT_EQ(k.channels, a->channels);
        EXPECT_EQ(k.rate, a->sample_rate);
      }
      if (k.audioSeconds > 0) {
        ASSERT_GT(a->sample_rate, 0);
        EXPECT_GE(static_cast<double>(a->samples) / a->sample_rate, k.audioSeconds);
      }
    }
  }
}
