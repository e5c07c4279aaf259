// Reading the preset combos' texts into the job, the codes kept in a row,
// the reset, and the file-name helpers.
#include <gtest/gtest.h>

#include "app/JobModel.h"

using catalogue::ComboRole;

TEST(JobModel, ResetKeepsOnlyTheAddedFile) {
  TJobSettings job;
  job.Video_AddFileName = "/in/a.avi";
  job.Video_OutPutFileName = "/out/a.mp4";
  job.Video_VideoCodec = "mpeg4";
  job.Video_AudioVolume = "100";
  job.Video_VideoBitrate = 816000;
  job.Video_AudioBitrate = 128000;
  job.Video_TimeStart = 5;
  job.Video_TimeLength = 6;
  job.Video_DisableVideo = true;
  job.Reset();
  EXPECT_EQ(job.Video_AddFileName, "/in/a.avi");
  EXPECT_EQ(job.Video_OutPutFileName, "");
  EXPECT_EQ(job.Video_VideoCodec, "");
  EXPECT_EQ(job.Video_AudioVolume, "256");
  EXPECT_EQ(job.Video_VideoBitrate, -1);
  EXPECT_EQ(job.Video_AudioBitrate, -1);
  EXPECT_EQ(job.Video_TimeStart, -1);
  EXPECT_EQ(job.Video_TimeLength, -1);
  EXPECT_FALSE(job.Video_DisableVideo);
}

struct TextCase {
  ComboRole role;
  const char* text;
  const char* field;  // the field's value afterwards, as its column text
};

TEST(JobModel, ComboTextsBecomeJobValues) {
  const TextCase cases[] = {
      {ComboRole::VideoBitrate, "816 kbps", "816000"},
      {ComboRole::VideoBitrate, "无视频", "-1000"},
      {ComboRole::AudioBitrate, "128 kbps", "128000"},
      {ComboRole::AudioBitrate, "4.75 kbps", "4750"},
      {ComboRole::AudioBitrate, "5.15 kbps", "5150"},
      {ComboRole::AudioBitrate, "7.95 kbps", "7950"},
      {ComboRole::AudioBitrate, "10.2 kbps", "10200"},
      {ComboRole::AudioBitrate, "12.2 kbps", "12200"},
      {ComboRole::AudioBitrate, "自动音频比特率", "-1000"},
      {ComboRole::FrameSize, "320*240", "320*240"},
      {ComboRole::FrameSize, "保持原分辨率", ""},
      {ComboRole::FrameSize, "该格式无视频", ""},
      {ComboRole::FrameRate, "29.97", "29.97"},
      {ComboRole::FrameRate, "15", "15"},
      {ComboRole::FrameRate, "保持原帧速率", ""},
      {ComboRole::FrameRate, "无视频", ""},
      {ComboRole::SampleRate, "44100", "44100"},
      {ComboRole::SampleRate, "自动音频采样率", "AUTO"},
      {ComboRole::Zoom, "保持原视频模式", ""},
      {ComboRole::Zoom, "普通视频4:3模式", "4:3"},
      {ComboRole::Zoom, "宽屏视频16:9模式", "16:9"},
      {ComboRole::Zoom, "宽屏视频37:20模式", "37:20"},
      {ComboRole::Zoom, "宽屏视频47:20模式", "47:20"},
      {ComboRole::Zoom, "无视频", ""},
      {ComboRole::Zoom, "其他模式", "16:9"},  // unknown text keeps the preset's aspect
  };
  for (const TextCase& c : cases) {
    TJobSettings job;
    job.Video_FrameAspectRatio = "16:9";
    job.Video_FrameSize = job.Video_FrameRate = job.Video_AudioSampleRate = "x";
    ApplyComboText(c.role, c.text, job);
    EXPECT_EQ(OptionColumnText(c.role, job), c.field) << c.text;
  }
}

TEST(JobModel, BitRateWithoutANumberIsAConversionError) {
  TJobSettings job;
  EXPECT_THROW(ApplyComboText(ComboRole::VideoBitrate, "kbps", job), rtl::EConvertError);
  EXPECT_THROW(ApplyComboText(ComboRole::AudioBitrate, "abc kbps", job), rtl::EConvertError);
  EXPECT_THROW(ApplyComboText(ComboRole::AudioBitrate, "1.2.3 kbps", job), rtl::EConvertError);
  EXPECT_EQ(job.Video_VideoBitrate, -1);
}

TEST(JobModel, BitRateBeyondTheFieldIsAConversionError) {
  const char* refused[] = {"2147484 kbps", "-2147484 kbps", "$80000000 kbps", "$20C49C kbps", "2147484.5 kbps"};
  for (ComboRole role : {ComboRole::VideoBitrate, ComboRole::AudioBitrate}) {
    for (const char* text : refused) {
      TJobSettings job;
      EXPECT_THROW(ApplyComboText(role, text, job), rtl::EConvertError) << text;
    }
    TJobSettings job;
    ApplyComboText(role, "2147483 kbps", job);
    EXPECT_EQ(role == ComboRole::VideoBitrate ? job.Video_VideoBitrate : job.Video_AudioBitrate, 2147483000);
    ApplyComboText(role, "$FFFFFFFF kbps", job);  // hex reads as a signed 32-bit value
    EXPECT_EQ(role == ComboRole::VideoBitrate ? job.Video_VideoBitrate : job.Video_AudioBitrate, -1000);
  }
}

TEST(JobModel, CodesRoundTrip) {
  EXPECT_EQ(CategoryCode(3, 12), "412");
  EXPECT_EQ(CategoryCode(0, 0), "100");
  EXPECT_EQ(CategoryCode(19, 6), "2006");
  int cat = -1, fmt = -1;
  DecodeCategoryCode("412", cat, fmt);
  EXPECT_EQ(cat, 3);
  EXPECT_EQ(fmt, 12);
  DecodeCategoryCode("2006", cat, fmt);
  EXPECT_EQ(cat, 19);
  EXPECT_EQ(fmt, 6);
  EXPECT_THROW(DecodeCategoryCode("", cat, fmt), rtl::EConvertError);
  EXPECT_THROW(DecodeCategoryCode("4x", cat, fmt), rtl::EConvertError);

  EXPECT_EQ(PresetOptionCode({0, 3, 10, 0, 9, 4}), "000310000904");
  auto pairs = DecodePresetOptionCode("000310000904");
  EXPECT_EQ(pairs, (std::array<int, 6>{0, 3, 10, 0, 9, 4}));
  EXPECT_THROW(DecodePresetOptionCode("0003"), rtl::EConvertError);
  EXPECT_EQ(WithOptionPair("000310000904", 2, 27), "000327000904");
  EXPECT_EQ(WithOptionPair("", 5, 4), "000000000004");

  // Pair order: frame size, video bit rate, audio bit rate, zoom, frame rate, sample rate.
  EXPECT_EQ(OptionCodePair(ComboRole::FrameSize), 0);
  EXPECT_EQ(OptionCodePair(ComboRole::AudioBitrate), 2);
  EXPECT_EQ(OptionCodePair(ComboRole::Zoom), 3);
  EXPECT_EQ(OptionCodePair(ComboRole::SampleRate), 5);
  EXPECT_EQ(OptionColumn(ComboRole::FrameRate), colFrameRate);
  EXPECT_EQ(OptionColumn(ComboRole::Zoom), 21);
}

TEST(JobModel, FileNameHelpersUseTheLastDotOfTheName) {
  EXPECT_EQ(ExtractFileName("/a/b/c.mkv"), "c.mkv");
  EXPECT_EQ(ExtractFileName("c.mkv"), "c.mkv");
  EXPECT_EQ(ExtractFileExt("/a/b/a.b.c.mkv"), ".mkv");
  EXPECT_EQ(ExtractFileExt("/a.dir/clip"), "");
  EXPECT_EQ(ChangeFileExt("/a/a.b.c.mkv", ".avi"), "/a/a.b.c.avi");
  EXPECT_EQ(ChangeFileExt("/a.dir/clip", ".avi"), "/a.dir/clip.avi");
  EXPECT_EQ(ChangeFileExt("name:with:colons.mov", ".mp4"), "name:with:colons.mp4");
}

TEST(JobModel, ColumnsMatchTheListLayout) {
  EXPECT_EQ(kFileColumnCount, 25);
  EXPECT_STREQ(kFileColumns[colOutputFile].caption, "输出文件");
  EXPECT_STREQ(kFileColumns[colNormType].caption, "NormType");
  int visible = 0;
  for (const FileColumnDef& c : kFileColumns) visible += c.width > 0;
  EXPECT_EQ(visible, 7);
}
