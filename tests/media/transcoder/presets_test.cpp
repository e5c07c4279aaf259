#include <fstream>

#include "tests/media/transcoder/TranscoderTestKit.h"

using namespace media;

TEST(Targets, SettingsByTargetAndNorm) {
  struct Case {
    const char *target, *norm, *def;
    AVRational rate;  // the frame rate before the call
    const char *vcodec, *acodec, *format;
    int w, h, ar, channels_in, channels_out;
    AVRational expect_rate;
    float aspect;
  } cases[] = {
      {"dvd", "pal", "ntsc", {0, 0}, "mpeg2video", "ac3", "dvd", 720, 576, 48000, 6, 6, {25, 1}, 16.0f / 9},
      {"vcd",
       "auto",
       "ntsc",
       {30000, 1001},
       "mpeg1video",
       "mp2",
       "vcd",
       352,
       240,
       44100,
       6,
       2,
       {30000, 1001},
       4.0f / 3},
      {"svcd", "ntsc", "pal", {0, 0}, "mpeg2video", "mp2", "svcd", 480, 480, 44100, 1, 2, {30000, 1001}, 4.0f / 3},
      {"dvd", "auto", "pal", {50, 1}, "mpeg2video", "ac3", "dvd", 720, 576, 48000, 2, 2, {25, 1}, 16.0f / 9},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(std::string(c.target) + "/" + c.norm);
    auto f = ttk::NewTask();
    f->Fframe_rate = c.rate;
    f->Faudio_channels = c.channels_in;
    f->setup_target(c.target, c.norm, c.def);
    EXPECT_EQ(f->Fvideo_codec_name, c.vcodec);
    EXPECT_EQ(f->Faudio_codec_name, c.acodec);
    EXPECT_EQ(f->Flast_asked_format, c.format);
    EXPECT_EQ(f->Fframe_width, c.w);
    EXPECT_EQ(f->Fframe_height, c.h);
    EXPECT_EQ(f->Faudio_sample_rate, c.ar);
    EXPECT_EQ(f->Faudio_channels, c.channels_out);
    EXPECT_EQ(f->Fframe_rate.num, c.expect_rate.num);
    EXPECT_EQ(f->Fframe_rate.den, c.expect_rate.den);
    EXPECT_NEAR(f->Fframe_aspect_ratio, c.aspect, 1e-4);
  }
  auto f = ttk::NewTask();
  f->setup_target("dvd", "pal", "ntsc");
  EXPECT_EQ(f->FOptions.avcodec_opts[0]->gop_size, 15);
  EXPECT_EQ(f->FOptions.avcodec_opts[0]->bit_rate, 6000000);
  EXPECT_EQ(f->FOptions.avcodec_opts[1]->bit_rate, 448000);
  try {
    auto g = ttk::NewTask();
    g->setup_target("svcd", "auto", "pal");
    ADD_FAILURE();
  } catch (const FFmpegException& e) {
    EXPECT_STREQ(e.what(), "frame_rate is invalid.");
  }
  EXPECT_THROW(ttk::NewTask()->setup_target("laserdisc", "pal", "pal"), FFmpegException);
}

TEST(Targets, SetTargetPrefixes) {
  struct {
    const char* value;
    int w;
  } cases[] = {{"pal-dvd", 720 * 576}, {"ntsc-vcd", 352 * 240}, {"film-svcd", 480 * 480}};
  for (auto& c : cases) {
    auto f = ttk::NewTask();
    f->dispatch_option("target", c.value);
    EXPECT_EQ(f->Fframe_width * f->Fframe_height, c.w) << c.value;
  }
  // "dvd" alone chooses the norm itself: 25 fps input -> PAL.
  auto f = ttk::NewTask();
  TInputOptions in;
  ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
  f->Fframe_rate = AVRational{50, 1};
  f->dispatch_option("target", "dvd");
  EXPECT_EQ(f->Fframe_height, 576);
}

TEST(Presets, LookupFilesAndErrors) {
  const std::string dir = mediatest::TempDir();
  { std::ofstream(dir + "/good.ffpreset") << "qmin=3\r\n\r\n vcodec=mpeg4 \n"; }
  { std::ofstream(dir + "/syntax.ffpreset") << "qmin\n"; }
  { std::ofstream(dir + "/unknown.ffpreset") << "qmin=4\nnosuchopt=1\n"; }
  auto f = ttk::NewTask();
  f->dispatch_option("fpre", dir + "/good.ffpreset");
  EXPECT_EQ(f->FOptions.avcodec_opts[0]->qmin, 3);
  EXPECT_EQ(f->Fvideo_codec_name, "mpeg4");
  struct {
    const char* opt;
    std::string value, error;
  } errors[] = {
      {"fpre", dir + "/missing.ffpreset", "Preset \"" + dir + "/missing.ffpreset\" not found"},
      {"vpre", dir + "/syntax.ffpreset", dir + "/syntax.ffpreset: Invalid syntax: \"qmin\""},
      {"fpre", dir + "/unknown.ffpreset",
       dir + "/unknown.ffpreset: Invalid option or argument: \"nosuchopt=1\", parsed as \"nosuchopt\" = \"1\""},
      {"fpre", "default", "Preset \"default\" not found"},  // file presets are never built in
  };
  for (auto& e : errors) {
    try {
      f->dispatch_option(e.opt, e.value);
      ADD_FAILURE() << e.value;
    } catch (const FFmpegException& ex) {
      EXPECT_EQ(ex.what(), e.error);
    }
  }
  EXPECT_EQ(f->FOptions.avcodec_opts[0]->qmin, 4) << "lines before the failing one stay applied";
}

TEST(Presets, EveryBuiltInPresetOpensLibx264) {
  const auto& presets = BuiltinPresets();
  ASSERT_EQ(presets.size(), 36u);
  for (const auto& p : presets) {
    SCOPED_TRACE(p.first);
    auto f = ttk::NewTask();
    TInputOptions in;
    ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
    f->dispatch_option("vcodec", "libx264");
    f->dispatch_option("an", "1");
    // "vpre" with the short name finds the built-in through the codec name,
    // case ignored.
    std::string shortName = p.first.substr(std::string("libx264-").size());
    for (char& ch : shortName) ch = static_cast<char>(toupper(ch));
    f->dispatch_option("vpre", shortName);
    ASSERT_EQ(f->open_output_file(ttk::OutPath("preset.mkv"), false), 1) << f->LastErrMsg();
    EXPECT_TRUE(f->StartConvert());
    EXPECT_FALSE(f->FatalException()) << f->FatalMessage();
  }
}
