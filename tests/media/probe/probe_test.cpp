#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "media/AVProbe.h"
#include "platform/rtl/exceptions.h"
#include "tests/media/common/MediaFixtures.h"
#include "tests/media/probe/PlaybackFixtures.h"

using namespace media;
using mediatest::PlaybackFixture;

namespace {

class Probe : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(mediatest::LoadEngineLibraries(false)); }
};

bool HasLine(const std::string& text, const std::string& needle) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (line.find(needle) != std::string::npos) return true;
  return false;
}

std::string Capture(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[512];
  while (fgets(buf, sizeof buf, p)) out += buf;
  pclose(p);
  return out;
}

int64_t DiskSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? int64_t(st.st_size) : -1;
}

}  // namespace

TEST(ProbeText, RateKeyAndTimeHelpers) {
  struct {
    double rate;
    const char* postfix;
    const char* text;
  } rates[] = {{25, "fps", ", 25 fps"},
               {29.97, "fps", ", 29.97 fps"},
               {1000, "tbn", ", 1k tbn"},
               {90000, "tbn", ", 90k tbn"},
               {12.5, "tbr", ", 12.50 tbr"}};
  for (auto& r : rates) EXPECT_EQ(FormatRateText(r.rate, r.postfix), r.text) << r.rate;
  EXPECT_EQ(TranslateMetadataKey("TIT2"), "title");
  EXPECT_EQ(TranslateMetadataKey("TRK"), "track");
  EXPECT_EQ(TranslateMetadataKey("tit2"), "tit2");
  EXPECT_EQ(TranslateMetadataKey("encoder"), "encoder");
  // A negative start prints its sign once.
  EXPECT_EQ(SecondsText(-1500000), "-1.500000");
  EXPECT_EQ(SecondsText(1440000), "1.440000");
  EXPECT_EQ(SecondsText(0), "0.000000");
}

TEST_F(Probe, WithoutFileEverythingIsUnset) {
  TAVProbe p;
  EXPECT_EQ(p.StreamCount(), -1);
  EXPECT_EQ(p.FileSize(), -1);
  TFileStreamInfo info = p.FileStreamInfo();
  EXPECT_EQ(info.Duration, -1);
  EXPECT_EQ(info.BitRate, -1);
  EXPECT_EQ(p.LastErrMsg(), "file not loaded.");
  EXPECT_EQ(p.FileInfoText(), "");
  EXPECT_FALSE(p.Decode(-1));
}

TEST_F(Probe, ClipRecordsAndInfoText) {
  std::string f = PlaybackFixture("clip.avi");
  ASSERT_FALSE(f.empty());
  TAVProbe p;
  ASSERT_TRUE(p.LoadFile(f, "")) << p.LastErrMsg();
  EXPECT_EQ(p.StreamCount(), 2);
  EXPECT_EQ(p.VideoStreamCount(), 1);
  EXPECT_EQ(p.AudioStreamCount(), 1);
  EXPECT_EQ(p.SubtitleStreamCount(), 0);
  EXPECT_EQ(p.FirstVideoStreamIndex(), 0);
  EXPECT_EQ(p.FirstAudioStreamIndex(), 1);
  EXPECT_EQ(p.FirstSubtitleStreamIndex(), -1);
  EXPECT_EQ(p.FileSize(), DiskSize(f));
  EXPECT_TRUE(p.IsVideoStream(0));
  EXPECT_TRUE(p.IsAudioStream(1));
  EXPECT_FALSE(p.IsAudioStream(5));
  EXPECT_EQ(p.LastErrMsg(), "stream index #5 is invalid.");

  TVideoStreamInfo v = p.FirstVideoStreamInfo();
  EXPECT_EQ(v.Width, 320);
  EXPECT_EQ(v.Height, 240);
  EXPECT_EQ(v.FrameRate.num, 25);
  EXPECT_EQ(v.FrameRate.den, 1);
  EXPECT_FLOAT_EQ(v.AspectRatio, 320.0f / 240);
  EXPECT_NE(v.CodecName.find("mpeg4"), std::string::npos);
  TAudioStreamInfo a = p.FirstAudioStreamInfo();
  EXPECT_EQ(a.SampleRate, 44100);
  EXPECT_EQ(a.Channels, 1);
  p.GetAudioStreamInfo(0);
  EXPECT_EQ(p.LastErrMsg(), "stream #0 is not audio stream.");
  p.FirstSubtitleStreamInfo();
  EXPECT_EQ(p.LastErrMsg(), "no subtitle stream.");

  TFileStreamInfo info = p.FileStreamInfo();
  EXPECT_EQ(info.Title, "Clip");
  EXPECT_NEAR(double(info.Duration), 2000000.0, 100000.0);

  std::string text = p.FileInfoText();
  EXPECT_TRUE(HasLine(text, "File Name: " + f)) << text;
  EXPECT_TRUE(HasLine(text, "Format Name: avi")) << text;
  EXPECT_TRUE(HasLine(text, "Duration: 00:00:02.0")) << text;
  EXPECT_TRUE(HasLine(text, "Metadata:")) << text;
  EXPECT_TRUE(HasLine(text, "  title           : Clip")) << text;
  EXPECT_TRUE(HasLine(text, "Stream #0, 1/25: Video: mpeg4")) << text;
  EXPECT_TRUE(HasLine(text, ", 25 fps, 25 tbr, 25 tbn")) << text;
  EXPECT_TRUE(HasLine(text, "Stream #1")) << text;
  EXPECT_NE(text.find("\r\n"), std::string::npos);
}

// Streams, duration and the title as ffprobe reports them.
TEST_F(Probe, AgreesWithFfprobe) {
  for (const char* name : {"clip.avi", "tone.mp3", "two_audio.mkv"}) {
    std::string f = PlaybackFixture(name);
    ASSERT_FALSE(f.empty());
    std::string out = Capture(
        "ffprobe -v error -show_entries format=duration:stream=codec_type:format_tags=title "
        "-of default=nw=1 '" +
        f + "'");
    TAVProbe p;
    ASSERT_TRUE(p.LoadFile(f, "")) << name;
    int audio = 0, video = 0;
    double duration = -1;
    std::string title;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
      if (line == "codec_type=audio") audio++;
      if (line == "codec_type=video") video++;
      if (line.rfind("duration=", 0) == 0) duration = std::stod(line.substr(9));
      if (line.rfind("TAG:title=", 0) == 0) title = line.substr(10);
    }
    EXPECT_EQ(p.AudioStreamCount(), audio) << name;
    EXPECT_EQ(p.VideoStreamCount(), video) << name;
    EXPECT_NEAR(p.FileStreamInfo().Duration / 1e6, duration, 0.0005) << name;
    EXPECT_EQ(p.FileStreamInfo().Title, title) << name;
  }
}

TEST_F(Probe, OtherContainers) {
  TAVProbe p;
  // Sample aspect of the stream shows as PAR / DAR in the codec text.
  ASSERT_TRUE(p.LoadFile(PlaybackFixture("sar.mkv"), ""));
  EXPECT_NE(p.FileInfoText().find("SAR 4:3 DAR 16:9"), std::string::npos) << p.FileInfoText();
  EXPECT_NEAR(p.FirstVideoStreamInfo().AspectRatio, 4.0f / 3 * 320 / 240, 1e-4);

  // No duration, no start: "Duration: N/A" and no StartTime line.
  ASSERT_TRUE(p.LoadFile(PlaybackFixture("subs.srt"), ""));
  std::string text = p.FileInfoText();
  EXPECT_TRUE(HasLine(text, "Duration: N/A")) << text;
  EXPECT_FALSE(HasLine(text, "StartTime:")) << text;
  EXPECT_EQ(p.SubtitleStreamCount(), 1);

  ASSERT_TRUE(p.LoadFile(PlaybackFixture("offset.ts"), ""));
  EXPECT_TRUE(HasLine(p.FileInfoText(), "StartTime: 1.4")) << p.FileInfoText();
  EXPECT_GE(p.ProgramCount(), 1);
  EXPECT_TRUE(HasLine(p.FileInfoText(), "Program 1 ")) << p.FileInfoText();

  ASSERT_TRUE(p.LoadFile(PlaybackFixture("dvdsub.mkv"), ""));
  EXPECT_EQ(p.SubtitleStreamCount(), 1);
  EXPECT_EQ(p.FirstSubtitleStreamIndex(), 1);
  EXPECT_TRUE(p.IsSubtitleStream(1));
  EXPECT_EQ(p.FirstSubtitleStreamInfo().CodecName.rfind("dvdsub", 0), 0u) << p.FirstSubtitleStreamInfo().CodecName;

  ASSERT_TRUE(p.LoadFile(PlaybackFixture("tone.mp3"), "mp3"));
  EXPECT_EQ(p.ForceFormat(), "mp3");
  EXPECT_EQ(p.FileStreamInfo().Title, "T");
}

TEST_F(Probe, BrokenInputGivesTheError) {
  TAVProbe p;
  std::string missing = mediatest::TempDir() + "/missing.avi";
  EXPECT_FALSE(p.LoadFile(missing, ""));
  EXPECT_EQ(p.LastErrMsg(), missing + ": No such file or directory");
  EXPECT_EQ(p.FileHandle(), nullptr);

  EXPECT_FALSE(p.LoadFile(PlaybackFixture("clip.avi"), "no_such_format"));
  EXPECT_EQ(p.LastErrMsg(), "Unknown input format: no_such_format");

  std::string broken = PlaybackFixture("broken.avi");
  EXPECT_FALSE(p.LoadFile(broken, ""));
  EXPECT_EQ(p.LastErrMsg().rfind(broken + ": ", 0), 0u) << p.LastErrMsg();
  EXPECT_EQ(p.StreamCount(), -1);
}

// The probe never closes a context it adopted (ASan reports a double close),
// and stepping refuses it.
TEST_F(Probe, AdoptedContextStaysWithItsOwner) {
  AVFormatContext* ic = nullptr;
  ASSERT_EQ(ffapi::avformat_open_input(&ic, PlaybackFixture("clip.avi").c_str(), nullptr, nullptr), 0);
  ASSERT_GE(ffapi::avformat_find_stream_info(ic, nullptr), 0);
  {
    TAVProbe p;
    p.SetFileHandle(ic);
    EXPECT_EQ(p.StreamCount(), 2);
    EXPECT_THROW(p.Decode(-1), rtl::Exception);
    EXPECT_THROW(p.Seek(0, 0), rtl::Exception);
    p.CloseFile();
    p.SetFileHandle(ic);
  }
  EXPECT_EQ(ic->nb_streams, 2u);
  ffapi::avformat_close_input(&ic);
}

TEST_F(Probe, SteppingLandsOnTheRightFrames) {
  TAVProbe p;
  ASSERT_TRUE(p.LoadFile(PlaybackFixture("clip.avi"), ""));
  for (int64_t expect : {0, 40000, 80000, 120000}) {
    ASSERT_TRUE(p.Decode(-1)) << p.LastErrMsg();
    EXPECT_EQ(p.FrameInfo().PTS, expect);
  }
  EXPECT_TRUE(p.FrameInfo().Ready);
  EXPECT_EQ(p.FrameInfo().Width, 320);

  // GOP of 12: key frames at 0, 480000, 960000 ...
  ASSERT_TRUE(p.DecodeNextKeyFrame(-1)) << p.LastErrMsg();
  EXPECT_TRUE(p.FrameInfo().IsKeyFrame);
  EXPECT_EQ(p.FrameInfo().PTS, 480000);

  ASSERT_TRUE(p.Seek(400000, SeekFlag(TSeekFlag::sfBackward)));
  while (p.Decode(-1) && p.FrameInfo().PTS < 400000) {
  }
  ASSERT_EQ(p.FrameInfo().PTS, 400000);
  ASSERT_TRUE(p.DecodePreviousFrame(-1)) << p.LastErrMsg();
  EXPECT_EQ(p.FrameInfo().PTS, 360000);

  ASSERT_TRUE(p.Seek(1000000, SeekFlag(TSeekFlag::sfBackward)));
  while (p.Decode(-1) && p.FrameInfo().PTS < 1000000) {
  }
  ASSERT_TRUE(p.DecodePreviousKeyFrame(-1)) << p.LastErrMsg();
  EXPECT_TRUE(p.FrameInfo().IsKeyFrame);
  EXPECT_EQ(p.FrameInfo().PTS, 960000);

  // Past the last picture: EOF until the next seek.
  ASSERT_TRUE(p.Seek(1900000, SeekFlag(TSeekFlag::sfBackward)));
  int n = 0;
  while (p.Decode(-1)) n++;
  EXPECT_GT(n, 0);
  EXPECT_TRUE(p.EOF_());
  EXPECT_FALSE(p.Decode(-1));
  EXPECT_EQ(p.LastErrMsg(), "stream eof reached.");
  ASSERT_TRUE(p.Seek(0, 0));
  EXPECT_FALSE(p.EOF_());
  EXPECT_TRUE(p.Decode(-1));
}

TEST_F(Probe, StartTimeStillsAndBitmap) {
  TAVProbe p;
  // A positive container start: Seek(0) lands on the first picture.
  ASSERT_TRUE(p.LoadFile(PlaybackFixture("offset.ts"), ""));
  ASSERT_TRUE(p.Decode(-1));
  ASSERT_TRUE(p.Seek(0, 0)) << p.LastErrMsg();
  ASSERT_TRUE(p.Decode(-1));
  EXPECT_EQ(p.FrameInfo().PTS, 0);

  // A still-picture sequence decodes once and cannot seek.
  ASSERT_TRUE(p.LoadFile(PlaybackFixture("img%03d.png"), ""));
  ASSERT_TRUE(p.Decode(-1));
  int64_t pts = p.FrameInfo().PTS;
  EXPECT_TRUE(p.Decode(-1));
  EXPECT_EQ(p.FrameInfo().PTS, pts);
  EXPECT_FALSE(p.Seek(0, 0));
  EXPECT_EQ(p.LastErrMsg(), "\"image2\" format cannot to be seeked.");

  ASSERT_TRUE(p.LoadFile(PlaybackFixture("red.mkv"), ""));
  TBitmap bmp;
  EXPECT_FALSE(p.CopyToBitmap(&bmp));
  EXPECT_EQ(p.LastErrMsg(), "picture not ready, please decode first");
  ASSERT_TRUE(p.Decode(-1));
  ASSERT_TRUE(p.CopyToBitmap(&bmp));
  ASSERT_EQ(bmp.Width(), 64);
  ASSERT_EQ(bmp.Height(), 48);
  const uint8_t* px = bmp.ScanLine(24) + 32 * 3;  // B, G, R
  EXPECT_LT(px[0], 10);
  EXPECT_LT(px[1], 10);
  EXPECT_GT(px[2], 240);
}
