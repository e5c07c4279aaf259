// The transcoder's paths checked through their outputs: two passes, stream
// copy from a start time and of turned pictures, joined inputs, disc targets, frame-rate sync,
// volume, filters and the custom hook.
#include <cmath>
#include <cstring>
#include <filesystem>

#include "media/FFmpeg_Loop.h"
#include "tests/media/common/OddInputs.h"
#include "tests/media/convert/ConvertKit.h"

using namespace media;
using convkit::Clip;
using convkit::DecodeAll;
using convkit::Out;

namespace {

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(convkit::LoadLibs()); }

  // Runs one task inline; the termination record of the task.
  TTerminateInfo RunOne(TFFConverter& c, const std::string& in, const std::string& out, TOutputOptions o,
                        const std::string& inputExt = "") {
    TTerminateInfo got;
    got.TaskIndex = -2;
    c.OnTerminate = [&](void*, const TTerminateInfo& i) {
      if (i.TaskIndex >= 0) got = i;
    };
    int t = inputExt.empty() ? c.AddTask(in, static_cast<TInputOptions*>(nullptr)) : c.AddTask(in, inputExt);
    EXPECT_GE(t, 0) << c.LastErrMsg();
    if (t < 0) return got;
    EXPECT_TRUE(c.SetOutputFile(t, out, &o)) << c.LastErrMsg();
    c.Start(0);
    return got;
  }
};

TOutputOptions Opts(const std::string& vcodec, const std::string& acodec) {
  TOutputOptions o;
  InitOutputOptions(o);
  o.VideoCodec = vcodec;
  o.AudioCodec = acodec;
  return o;
}

std::string GopClip() {
  std::string p = Out("gop.avi");
  if (!std::filesystem::exists(p))
    mediatest::RunFfmpeg(
        "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -f lavfi -i sine=sample_rate=44100:duration=2 "
        "-c:v mpeg4 -g 5 -c:a libmp3lame '" +
        p + "'");
  return p;
}

}  // namespace

TEST_F(PathsTest, TwoPassWritesThenReadsItsLog) {
  const std::string prefix = Out("twopass");
  for (int pass : {1, 2}) {
    TFFConverter c;
    TOutputOptions o = Opts("mpeg4", "libmp3lame");
    o.VideoBitrate = 100000;
    o.ExtOptions = "pass=" + std::to_string(pass) + "\npasslogfile=" + prefix;
    auto r = RunOne(c, Clip("clip.avi"), Out("twopass" + std::to_string(pass) + ".avi"), o);
    EXPECT_TRUE(r.Finished && !r.Exception) << pass << " " << r.ExceptionMsg;
    if (pass == 1) {
      EXPECT_GT(std::filesystem::file_size(prefix + "-0.log"), 0u);
    }
  }
  auto d = DecodeAll(Out("twopass2.avi"));
  ASSERT_TRUE(d.opened);
  EXPECT_NEAR(25, d.First(AVMEDIA_TYPE_VIDEO)->frames, 1);
}

TEST_F(PathsTest, StreamCopyFromAStartTimeShiftsAndStartsOnAKeyFrame) {
  TFFConverter c;
  TOutputOptions o = Opts("copy", "copy");
  o.TimeStart = 1000000;
  auto r = RunOne(c, GopClip(), Out("copy_ss.avi"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  auto d = DecodeAll(Out("copy_ss.avi"));
  ASSERT_TRUE(d.opened);
  const auto* v = d.First(AVMEDIA_TYPE_VIDEO);
  ASSERT_NE(nullptr, v);
  EXPECT_EQ("mpeg4", v->codec);
  EXPECT_EQ(0, v->decode_errors);
  EXPECT_NEAR(25, v->frames, 2);
  EXPECT_NEAR(1.0, d.duration, 0.15);
}

TEST_F(PathsTest, StreamCopyKeepsThePicturesTurnForDisplay) {
  // Copied pictures are not turned, so the turn stays marked for players.
  const std::string in = mediatest::OddInput("rotated.mp4");
  ASSERT_FALSE(in.empty());
  TFFConverter c;
  auto r = RunOne(c, in, Out("turned_copy.mp4"), Opts("copy", "copy"));
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  auto d = DecodeAll(Out("turned_copy.mp4"));
  const auto* v = d.First(AVMEDIA_TYPE_VIDEO);
  ASSERT_NE(nullptr, v);
  EXPECT_EQ(360, v->width);
  EXPECT_EQ(640, v->height);
  EXPECT_EQ(90, v->rotation);
}

TEST_F(PathsTest, ThreeInputsJoinIntoOneOutput) {
  TFFConverter c;
  TTerminateInfo got;
  c.OnTerminate = [&](void*, const TTerminateInfo& i) {
    if (i.TaskIndex >= 0) got = i;
  };
  ASSERT_EQ(0, c.AddTask(Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
  ASSERT_TRUE(c.AddInputFile(0, Clip("clip.mp4"), static_cast<TInputOptions*>(nullptr))) << c.LastErrMsg();
  ASSERT_TRUE(c.AddInputFile(0, Clip("clip.avi"), static_cast<TInputOptions*>(nullptr))) << c.LastErrMsg();
  TOutputOptions o = Opts("mpeg4", "aac");
  o.Join = true;
  ASSERT_TRUE(c.SetOutputFile(0, Out("join.mp4"), &o)) << c.LastErrMsg();
  TOutputOptions second = Opts("mpeg4", "aac");
  EXPECT_FALSE(c.SetOutputFile(0, Out("join2.mp4"), &second));
  EXPECT_EQ("Cannot join more than one output file.", c.LastErrMsg());
  c.Start(0);
  EXPECT_TRUE(got.Finished && !got.Exception) << got.ExceptionMsg;
  auto d = DecodeAll(Out("join.mp4"));
  ASSERT_TRUE(d.opened);
  ASSERT_EQ(2u, d.streams.size());
  EXPECT_NEAR(75, d.First(AVMEDIA_TYPE_VIDEO)->frames, 3);
  // Each reopened encoder adds its own priming samples.
  EXPECT_NEAR(3.0, d.First(AVMEDIA_TYPE_AUDIO)->samples / 44100.0, 0.25);
  EXPECT_NEAR(3.0, d.duration, 0.2);
}

TEST_F(PathsTest, DvdTargetMakesAProgramStream) {
  TFFConverter c;
  TOutputOptions o = Opts("", "");
  o.TargetType = TOptionTargetType::ttDVD;
  o.NormType = TOptionNormType::ntPAL;
  auto r = RunOne(c, Clip("clip.avi"), Out("dvd.vob"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  auto d = DecodeAll(Out("dvd.vob"));
  ASSERT_TRUE(d.opened);
  EXPECT_EQ("mpeg", d.format);
  const auto* v = d.First(AVMEDIA_TYPE_VIDEO);
  ASSERT_NE(nullptr, v);
  EXPECT_EQ("mpeg2video", v->codec);
  EXPECT_EQ(720, v->width);
  EXPECT_EQ(576, v->height);
  EXPECT_NEAR(25, v->frames, 2);
  const auto* a = d.First(AVMEDIA_TYPE_AUDIO);
  ASSERT_NE(nullptr, a);
  EXPECT_EQ("ac3", a->codec);
  EXPECT_EQ(48000, a->sample_rate);
}

TEST_F(PathsTest, ConstantRateOutputRepeatsPictures) {
  TFFConverter c;
  TOutputOptions o = Opts("mpeg4", "libmp3lame");
  o.FrameRate = "30";
  auto r = RunOne(c, Clip("clip.avi"), Out("r30.avi"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  EXPECT_GT(c.Task(0)->Fnb_frames_dup, 0);
  auto d = DecodeAll(Out("r30.avi"));
  EXPECT_NEAR(30, d.First(AVMEDIA_TYPE_VIDEO)->frames, 2);
}

TEST_F(PathsTest, VolumeScalesTheSamples) {
  auto peak = [](const std::string& path) {
    AVFormatContext* ic = nullptr;
    int m = 0;
    if (ffapi::avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return -1;
    AVPacket* p = ffapi::av_packet_alloc();
    while (ffapi::av_read_frame(ic, p) >= 0) {
      const auto* s = reinterpret_cast<const int16_t*>(p->data);
      for (int i = 0; i < p->size / 2; ++i) m = std::max(m, std::abs(static_cast<int>(s[i])));
      ffapi::av_packet_unref(p);
    }
    ffapi::av_packet_free(&p);
    ffapi::avformat_close_input(&ic);
    return m;
  };
  TFFConverter c;
  TOutputOptions o = Opts("", "pcm_s16le");
  o.AudioVolume = 512;
  auto r = RunOne(c, Clip("clip.wav"), Out("vol.wav"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  const int before = peak(Clip("clip.wav")), after = peak(Out("vol.wav"));
  ASSERT_GT(before, 1000);
  EXPECT_NEAR(2.0, static_cast<double>(after) / before, 0.02);
}

TEST_F(PathsTest, FiltersWithCropSetTheEncoderSize) {
  TFFConverter c;
  TOutputOptions o = Opts("mpeg4", "libmp3lame");
  o.VideoFilters = "hflip";
  o.CropTop = 20;
  o.CropBottom = 20;
  auto r = RunOne(c, Clip("clip.avi"), Out("vf.avi"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  auto d = DecodeAll(Out("vf.avi"));
  ASSERT_TRUE(d.opened);
  EXPECT_EQ(160, d.First(AVMEDIA_TYPE_VIDEO)->width);
  EXPECT_EQ(80, d.First(AVMEDIA_TYPE_VIDEO)->height);
  EXPECT_NEAR(25, d.First(AVMEDIA_TYPE_VIDEO)->frames, 1);
}

TEST_F(PathsTest, CustomHookPaintsIntoTheOutputAndCanStop) {
  for (bool stopFirst : {false, true}) {
    TFFConverter c;
    int calls = 0;
    c.OnCustomHook = [&](void*, THookInfo* h) {
      ++calls;
      for (int y = 10; y < 50; ++y) {
        uint8_t* row = h->Bitmap->ScanLine(y);
        for (int x = 10; x < 50; ++x) {
          row[x * 3] = 0;
          row[x * 3 + 1] = 0;
          row[x * 3 + 2] = 255;  // red in BGR
        }
      }
      if (stopFirst) h->StopHook = true;
    };
    TOutputOptions o = Opts("rawvideo", "");
    o.CustomHook = true;
    o.DisableAudio = true;
    o.ExtOptions = "pix_fmt=bgr24";
    const std::string out = Out(stopFirst ? "hook_stop.avi" : "hook.avi");
    auto r = RunOne(c, Clip("clip.avi"), out, o);
    EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
    if (stopFirst) {
      EXPECT_EQ(1, calls);
      continue;
    }
    EXPECT_EQ(25, calls);
    // The last picture has the red box (BGR24 rawvideo, bottom-up in AVI).
    AVFormatContext* ic = nullptr;
    ASSERT_GE(ffapi::avformat_open_input(&ic, out.c_str(), nullptr, nullptr), 0);
    ffapi::avformat_find_stream_info(ic, nullptr);
    AVPacket* p = ffapi::av_packet_alloc();
    bool red = false;
    while (ffapi::av_read_frame(ic, p) >= 0) {
      const int w = ic->streams[0]->codecpar->width, h = ic->streams[0]->codecpar->height;
      if (p->size >= w * h * 3) {
        const int stride = (w * 3 + 3) & ~3;
        const uint8_t* px = p->data + static_cast<size_t>(30) * stride + 30 * 3;
        const uint8_t* px2 = p->data + static_cast<size_t>(h - 1 - 30) * stride + 30 * 3;
        red = (px[2] > 200 && px[1] < 60 && px[0] < 60) || (px2[2] > 200 && px2[1] < 60 && px2[0] < 60);
      }
      ffapi::av_packet_unref(p);
    }
    ffapi::av_packet_free(&p);
    ffapi::avformat_close_input(&ic);
    EXPECT_TRUE(red);
  }
}

TEST_F(PathsTest, SubtitlesAreDecodedAndEncodedAgain) {
  const std::string srt = Out("subs.srt"), in = Out("subs.mkv");
  {
    FILE* f = std::fopen(srt.c_str(), "w");
    ASSERT_NE(nullptr, f);
    std::fputs("1\n00:00:00,200 --> 00:00:00,600\nhello\n\n2\n00:00:01,000 --> 00:00:01,500\nworld\n\n", f);
    std::fclose(f);
  }
  ASSERT_TRUE(mediatest::RunFfmpeg("-i '" + Clip("clip2.avi") + "' -i '" + srt +
                                   "' -map 0 -map 1 -c:v copy -c:a copy -c:s srt '" + in + "'"));
  TFFConverter c;
  TOutputOptions o = Opts("mpeg4", "aac");
  o.SubtitleCodec = "mov_text";
  auto r = RunOne(c, in, Out("subs.mp4"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  // The subtitle packets arrive with their times.
  AVFormatContext* ic = nullptr;
  ASSERT_GE(ffapi::avformat_open_input(&ic, Out("subs.mp4").c_str(), nullptr, nullptr), 0);
  ffapi::avformat_find_stream_info(ic, nullptr);
  int si = -1;
  for (unsigned i = 0; i < ic->nb_streams; ++i)
    if (ic->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) si = static_cast<int>(i);
  ASSERT_GE(si, 0);
  EXPECT_EQ(AV_CODEC_ID_MOV_TEXT, ic->streams[si]->codecpar->codec_id);
  std::vector<double> starts;
  AVPacket* p = ffapi::av_packet_alloc();
  while (ffapi::av_read_frame(ic, p) >= 0) {
    if (p->stream_index == si && p->size > 2)
      starts.push_back(p->pts * static_cast<double>(ic->streams[si]->time_base.num) / ic->streams[si]->time_base.den);
    ffapi::av_packet_unref(p);
  }
  ffapi::av_packet_free(&p);
  ffapi::avformat_close_input(&ic);
  ASSERT_EQ(2u, starts.size());
  EXPECT_NEAR(0.2, starts[0], 0.05);
  EXPECT_NEAR(1.0, starts[1], 0.05);
}

TEST(DvbSubtitles, SecondPacketCountsFromTheFirstPacketsBase) {
  // Shown from 1000 ms to 3000 ms after a packet time of 10 s (90 kHz).
  EXPECT_EQ(990000, DvbSubtitlePacketPts(900000, 1000, 3000, 0));
  EXPECT_EQ(1170000, DvbSubtitlePacketPts(900000, 1000, 3000, 1));
}

TEST_F(PathsTest, FrameLimitEndsTheRun) {
  TFFConverter c;
  TOutputOptions o = Opts("mpeg4", "libmp3lame");
  o.ExtOptions = "vframes=10";
  auto r = RunOne(c, Clip("clip2.avi"), Out("vframes.avi"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  EXPECT_EQ(10, DecodeAll(Out("vframes.avi")).First(AVMEDIA_TYPE_VIDEO)->frames);
}

TEST_F(PathsTest, AudioSyncFillsALateAudioStartWithSilence) {
  const std::string in = Out("late_audio.mkv");
  ASSERT_TRUE(
      mediatest::RunFfmpeg("-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -itsoffset 0.5 -f lavfi -i "
                           "sine=sample_rate=44100:duration=1.5 "
                           "-c:v mpeg4 -c:a pcm_s16le '" +
                           in + "'"));
  for (int method : {0, 1}) {
    TFFConverter c;
    TOutputOptions o = Opts("mpeg4", "pcm_s16le");
    o.AudioSyncMethod = method;
    const std::string out = Out("async" + std::to_string(method) + ".mov");
    auto r = RunOne(c, in, out, o);
    EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
    auto d = DecodeAll(out);
    const double secs = d.First(AVMEDIA_TYPE_AUDIO)->samples / 44100.0;
    if (method == 1)
      EXPECT_NEAR(2.0, secs, 0.1);  // 0.5 s of silence in front
    else
      EXPECT_NEAR(1.5, secs, 0.1);
  }
}

TEST_F(PathsTest, PictureSizeChangeNeedsScaling) {
  const std::string a = Out("sz_a.m2v"), b = Out("sz_b.m2v"), in = Out("sizechange.m2v");
  ASSERT_TRUE(
      mediatest::RunFfmpeg("-f lavfi -i testsrc=size=176x144:rate=25:duration=0.4 -c:v mpeg2video '" + a + "'"));
  ASSERT_TRUE(
      mediatest::RunFfmpeg("-f lavfi -i testsrc=size=320x240:rate=25:duration=0.4 -c:v mpeg2video '" + b + "'"));
  ASSERT_EQ(0, std::system(("cat '" + a + "' '" + b + "' > '" + in + "'").c_str()));
  {
    TFFConverter c;
    auto r = RunOne(c, in, Out("sz_same.avi"), Opts("mpeg4", ""));
    EXPECT_TRUE(r.Exception);
    EXPECT_FALSE(r.Finished);
  }
  TFFConverter c;
  TOutputOptions o = Opts("mpeg4", "");
  o.FrameSize = "160x120";
  auto r = RunOne(c, in, Out("sz_scaled.avi"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  auto d = DecodeAll(Out("sz_scaled.avi"));
  EXPECT_EQ(160, d.First(AVMEDIA_TYPE_VIDEO)->width);
  EXPECT_NEAR(20, d.First(AVMEDIA_TYPE_VIDEO)->frames, 2);
}

TEST_F(PathsTest, FileSizeLimitEndsTheRunEarly) {
  TFFConverter c;
  TOutputOptions o = Opts("mpeg4", "libmp3lame");
  o.VideoBitrate = 2000000;
  o.ExtOptions = "fs=30000";
  auto r = RunOne(c, Clip("clip2.avi"), Out("fs.avi"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  auto d = DecodeAll(Out("fs.avi"));
  ASSERT_TRUE(d.opened);
  EXPECT_LT(d.First(AVMEDIA_TYPE_VIDEO)->frames, 50);
  EXPECT_LT(std::filesystem::file_size(Out("fs.avi")), 120000u);
}

TEST_F(PathsTest, VideoStatisticsGetALinePerFrame) {
  const std::string stats = Out("vstats.log");
  std::filesystem::remove(stats);
  TFFConverter c;
  TOutputOptions o = Opts("mpeg4", "");
  o.ExtOptions = "vstats_file=" + stats;
  auto r = RunOne(c, Clip("clip.avi"), Out("vstats.avi"), o);
  EXPECT_TRUE(r.Finished && !r.Exception) << r.ExceptionMsg;
  FILE* f = std::fopen(stats.c_str(), "r");
  ASSERT_NE(nullptr, f);
  char line[512];
  int lines = 0;
  while (std::fgets(line, sizeof line, f)) {
    ++lines;
    int frame = 0, fsize = 0;
    float q = 0;
    char type = 0;
    EXPECT_EQ(3, std::sscanf(line, "frame= %d q= %f f_size= %d", &frame, &q, &fsize)) << line;
    EXPECT_TRUE(std::strstr(line, "s_size=") && std::strstr(line, "avg_br=")) << line;
    const char* t = std::strstr(line, "type= ");
    ASSERT_NE(nullptr, t);
    type = t[6];
    EXPECT_TRUE(type == 'I' || type == 'P' || type == 'B') << line;
  }
  std::fclose(f);
  EXPECT_NEAR(25, lines, 1);
}
