// Task option records and their translation into transcoder settings.
#include "tests/media/transcoder/TranscoderTestKit.h"

using namespace media;

TEST(OptionRecords, OptionTextParsing) {
  const TOptionLines want = {{"vb", "800k"}, {"ar", "22050"}, {"Name", "a=b"}, {"flag", ""}};
  for (const char* text : {"  vb=800k<CRLF>ar=22050<CRLF>Name=a=b<CRLF>flag  ", "vb=800k\r\nar=22050\rName=a=b\nflag"})
    EXPECT_EQ(ParseOptionText(text), want) << text;

  TOutputOptions o = OutputOptionsFromText("Hook=0<CRLF>Join=no<CRLF>TimeStart=abc<CRLF>TimeLength=5000000<CRLF>vb=1k");
  EXPECT_TRUE(o.CustomHook);
  EXPECT_TRUE(o.Join);
  EXPECT_EQ(o.TimeStart, NoTime);
  EXPECT_EQ(o.TimeLength, 5000000);
  EXPECT_EQ(o.ExtOptions, "vb=1k\n");
  TInputOptions i = InputOptionsFromText("timestart=42\nf=avi");
  EXPECT_EQ(i.TimeStart, 42);
  EXPECT_EQ(i.ExtOptions, "f=avi\n");
}

TEST(OptionRecords, StreamDefaultsAndGroups) {
  TOutputOptions o;
  o.ExtOptions = "acodec=mp2\nnewaudio=\nacodec=ac3\nnewaudio=\nvfilters=hflip\nfoo=1\n";
  o.VideoCodec = "mpeg4";
  const TOptionLines want = {{"def_vcodec", "mpeg4"}, {"def_acodec", "mp2"}, {"acodec", "mp2"},
                             {"acodec", "ac3"},       {"def_vf", "hflip"},   {"vf", "hflip"}};
  EXPECT_EQ(BuildStreamDefaults(o), want);

  ttk::LogCapture log;
  struct Case {
    std::string ext;
    std::string audioCodec, subtitleCodec;
    std::vector<std::string> codecs;  // of the output streams in order
  } cases[] = {
      {"acodec=mp2\nnewaudio=\nacodec=ac3\nnewaudio=\n", "", "", {"mpeg4", "mp2", "mp2", "ac3"}},
      {"newaudio=\n", "mp2", "", {"mpeg4", "mp2", "mp2"}},
  };
  for (auto& c : cases) {
    auto f = ttk::NewTask();
    TInputOptions in;
    ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
    TOutputOptions out;
    out.ExtOptions = c.ext;
    out.VideoCodec = "mpeg4";
    out.AudioCodec = c.audioCodec;
    ASSERT_GT(SetupOutput(*f, ttk::OutPath("groups.mkv"), out), 0) << f->LastErrMsg();
    AVFormatContext* oc = f->OutputContext(0);
    ASSERT_EQ(oc->nb_streams, c.codecs.size());
    for (size_t k = 0; k < c.codecs.size(); ++k)
      EXPECT_EQ(f->OutputFile(0).streams[k].codec->name, c.codecs[k]) << c.ext << " stream " << k;
  }
}

TEST(OptionRecords, RecordFieldsWinAndAreApplied) {
  auto f = ttk::NewTask();
  TInputOptions in;
  ASSERT_TRUE(SetupInput(*f, mediatest::Fixture("av.avi"), in));
  TOutputOptions o;
  o.ExtOptions = "ar=22050<CRLF>vb=800k<CRLF>alang=fre";
  o.AudioSampleRate = 44100;
  o.VideoBitrate = 1150000;
  o.AudioLanguage = "eng";
  o.Info.Title = "Title";
  o.Info.Year = 2010;
  o.TimeLength = 1000000;
  ASSERT_EQ(SetupOutput(*f, ttk::OutPath("record.mkv"), o), 1) << f->LastErrMsg();
  AVFormatContext* oc = f->OutputContext(0);
  EXPECT_EQ(MetadataValue(oc->metadata, "title", ""), "Title");
  EXPECT_EQ(MetadataValue(oc->metadata, "year", ""), "2010");
  EXPECT_EQ(f->TotalOutputDuration(), 1000000);
  const TOutputFile& of = f->OutputFile(0);
  EXPECT_EQ(of.streams[0].enc->bit_rate, 1150000);
  EXPECT_EQ(of.streams[1].enc->sample_rate, 44100);
  EXPECT_EQ(MetadataValue(oc->streams[1]->metadata, "language", ""), "eng");

  // A rejected value raises the setter's text.
  auto g = ttk::NewTask();
  TOutputOptions bad;
  bad.FrameRate = "fast";
  try {
    SetupOutput(*g, ttk::OutPath("bad.mkv"), bad);
    ADD_FAILURE();
  } catch (const FFmpegException& e) {
    EXPECT_STREQ(e.what(), "Incorrect frame rate");
  }
}

TEST(OptionRecords, FailedOutputResetsTheTasksCopyNotTheCallersRecord) {
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  TFFConverter c;
  ASSERT_EQ(c.AddTask(mediatest::Fixture("av.avi"), static_cast<TInputOptions*>(nullptr)), 0) << c.LastErrMsg();
  TOutputOptions unknown;
  unknown.VideoCodec = "mpeg4";
  EXPECT_FALSE(c.SetOutputFile(0, ttk::OutPath("bad.nosuchext"), &unknown));
  EXPECT_EQ(unknown.VideoCodec, "mpeg4");
  EXPECT_EQ(unknown.FileName, ttk::OutPath("bad.nosuchext"));  // filled in, as on success
  ASSERT_NE(c.TaskOutputOptions(0, 0), nullptr);
  EXPECT_TRUE(c.TaskOutputOptions(0, 0)->VideoCodec.empty());
  EXPECT_TRUE(c.TaskOutputOptions(0, 0)->FileName.empty());

  TOutputOptions good;
  good.VideoCodec = "mpeg4";
  ASSERT_TRUE(c.SetOutputFile(0, ttk::OutPath("good.avi"), &good)) << c.LastErrMsg();
  EXPECT_EQ(c.TaskOutputOptions(0, 0)->VideoCodec, "mpeg4");
}

TEST(OptionRecords, TimeStampAndTargetArguments) {
  setenv("TZ", "Asia/Shanghai", 1);
  EXPECT_EQ(OutputTimeStamp(25569.0), -28800);
  auto f = ttk::NewTask();
  TOutputOptions o;
  o.TargetType = TOptionTargetType::ttDVD;
  o.NormType = TOptionNormType::ntAuto;
  o.NormDefault = TOptionNormType::ntNTSC;
  f->Fframe_rate = AVRational{50, 1};
  ApplyTarget(*f, o);  // nothing decides: the default norm NTSC
  EXPECT_EQ(f->Fframe_height, 480);
}
