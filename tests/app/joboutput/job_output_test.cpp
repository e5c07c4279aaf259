// The output options built from a job, and the job slots.
#include <gtest/gtest.h>

#include "app/FormatCatalogue.h"
#include "app/JobOutput.h"
#include "app/JobParams.h"

using media::TOptionNormType;
using media::TOptionTargetType;
using media::TOutputOptions;

namespace {

TOutputOptions Build(const TJobSettings& job) {
  TOutputOptions out;
  media::InitOutputOptions(out);
  BuildJobOutputOptions(job, out);
  return out;
}

TJobSettings PresetJob(int key) {
  TJobSettings job;
  job.Reset();
  job.Video_AddFileName = "/in/clip.mkv";
  EXPECT_TRUE(ApplyPresetJobRow(key, "/out", job));
  return job;
}

}  // namespace

TEST(JobOutput, ResetJobLeavesEveryOptionAtItsDefault) {
  TJobSettings job;
  job.Reset();
  TOutputOptions out = Build(job);
  TOutputOptions reset;
  media::InitOutputOptions(reset);
  EXPECT_EQ(out.VideoCodec, "");
  EXPECT_EQ(out.AudioCodec, "");
  EXPECT_EQ(out.FrameSize, "");
  EXPECT_EQ(out.AudioChannels, reset.AudioChannels);
  EXPECT_EQ(out.AudioSampleRate, reset.AudioSampleRate);
  EXPECT_EQ(out.AudioBitrate, -1) << "-1 passes through and the engine ignores it";
  EXPECT_EQ(out.AudioVolume, 256);
  EXPECT_EQ(out.TargetType, TOptionTargetType::ttIgnore);
  EXPECT_EQ(out.NormType, TOptionNormType::ntAuto);
  EXPECT_FALSE(out.DisableVideo);
}

TEST(JobOutput, FieldsTranslate) {
  struct Case {
    const char* what;
    void (*set)(TJobSettings&);
    bool (*check)(const TOutputOptions&);
  };
  const Case cases[] = {
      {"libx264 gets the built-in preset", [](TJobSettings& j) { j.Video_VideoCodec = "libx264"; },
       [](const TOutputOptions& o) { return o.VideoCodec == "libx264" && o.VideoPreset == "libx264-default"; }},
      {"other encoders get none", [](TJobSettings& j) { j.Video_VideoCodec = "mpeg4"; },
       [](const TOutputOptions& o) { return o.VideoCodec == "mpeg4" && o.VideoPreset.empty(); }},
      {"AUTO audio codec", [](TJobSettings& j) { j.Video_AudioCodec = "AUTO"; },
       [](const TOutputOptions& o) { return o.AudioCodec.empty(); }},
      {"AUTO sample rate", [](TJobSettings& j) { j.Video_AudioSampleRate = "AUTO"; },
       [](const TOutputOptions& o) { return o.AudioSampleRate == -1; }},
      {"numbers",
       [](TJobSettings& j) {
         j.Video_AudioChannels = "2";
         j.Video_AudioSampleRate = "44100";
       },
       [](const TOutputOptions& o) { return o.AudioChannels == 2 && o.AudioSampleRate == 44100; }},
      {"-1000 bit rates stay unset",
       [](TJobSettings& j) {
         j.Video_VideoBitrate = -1000;
         j.Video_AudioBitrate = -1000;
       },
       [](const TOutputOptions& o) { return o.VideoBitrate == -1 && o.AudioBitrate == -1; }},
      {"volume", [](TJobSettings& j) { j.Video_AudioVolume = "100"; },
       [](const TOutputOptions& o) { return o.AudioVolume == 100; }},
      {"NTSC", [](TJobSettings& j) { j.Video_NormType = "NTSC"; },
       [](const TOutputOptions& o) { return o.NormType == TOptionNormType::ntNTSC; }},
      {"unknown norm", [](TJobSettings& j) { j.Video_NormType = "SECAM"; },
       [](const TOutputOptions& o) { return o.NormType == TOptionNormType::ntAuto; }},
      {"unknown target", [](TJobSettings& j) { j.Video_TargetType = "bluray"; },
       [](const TOutputOptions& o) { return o.TargetType == TOptionTargetType::ttIgnore; }},
      {"texts",
       [](TJobSettings& j) {
         j.Video_FileFormat = "asf";
         j.Video_VideoFilters = "hflip";
         j.Video_VideoTag = "XVID";
       },
       [](const TOutputOptions& o) {
         return o.FileFormat == "asf" && o.VideoFilters == "hflip" && o.VideoTag == "XVID";
       }},
  };
  for (const Case& c : cases) {
    TJobSettings job;
    job.Reset();
    c.set(job);
    EXPECT_TRUE(c.check(Build(job))) << c.what;
  }
}

TEST(JobOutput, EveryPresetWithItsDefaultsBuilds) {
  for (const catalogue::JobRow& row : catalogue::kJobRows) {
    TJobSettings job = PresetJob(row.key);
    // The defaults the combos would show.
    const catalogue::OptionRow* opt = catalogue::OptionRowFor(row.key);
    for (int r = 0; r < catalogue::kComboCount; ++r) {
      const catalogue::OptionList& list = catalogue::List(opt->cells[r].list);
      ApplyComboText(static_cast<catalogue::ComboRole>(r), list.items[opt->cells[r].defaultIndex], job);
    }
    TOutputOptions out = Build(job);
    SCOPED_TRACE(row.key);
    EXPECT_EQ(out.VideoCodec, row.videoCodec);
    EXPECT_EQ(out.AudioCodec, row.audioCodec);
    EXPECT_EQ(out.DisableVideo, row.noVideo);
    EXPECT_EQ(out.VideoTag, row.videoTag);
    if (*row.target) {
      EXPECT_NE(out.TargetType, TOptionTargetType::ttIgnore);
      EXPECT_EQ(out.NormType, TOptionNormType::ntPAL);
    }
    if (row.noVideo) {
      EXPECT_EQ(out.VideoBitrate, -1);
      EXPECT_EQ(out.FrameSize, "");
    }
  }
}

TEST(JobOutput, DiscTargetsDecideSizeRateAndBitRates) {
  // Key 113 (VCD) with its combo defaults "320*240", "528 kbps", "25.00", "44100".
  TJobSettings job = PresetJob(113);
  job.Video_FrameSize = "320*240";
  job.Video_VideoBitrate = 528000;
  job.Video_FrameRate = "25.00";
  job.Video_AudioSampleRate = "44100";
  job.Video_AudioBitrate = 128000;
  job.Video_FrameAspectRatio = "4:3";
  TOutputOptions out = Build(job);
  EXPECT_EQ(out.TargetType, TOptionTargetType::ttVCD);
  EXPECT_EQ(out.NormType, TOptionNormType::ntPAL);
  EXPECT_EQ(out.FrameSize, "");
  EXPECT_EQ(out.FrameRate, "");
  EXPECT_EQ(out.VideoBitrate, -1);
  EXPECT_EQ(out.AudioBitrate, -1);
  EXPECT_EQ(out.AudioSampleRate, -1);
  EXPECT_EQ(out.FrameAspectRatio, "4:3") << "the aspect is still the user's";

  EXPECT_EQ(Build(PresetJob(111)).TargetType, TOptionTargetType::ttDVD);
  EXPECT_EQ(Build(PresetJob(112)).TargetType, TOptionTargetType::ttSVCD);
}

TEST(JobSlots, LowestFreeSlotAndNoReuseBeforeAClear) {
  auto slots = std::make_unique<TJobSlots>();
  media::TInputOptions in;
  TOutputOptions out;
  in.FileName = "/in/a.avi";
  EXPECT_EQ(slots->Store(in, out), 0);
  EXPECT_EQ((*slots)[0].JobSlotState, "Full");
  EXPECT_EQ((*slots)[0].IO1.FileName, "/in/a.avi");
  EXPECT_EQ(slots->Store(in, out), 1);
  slots->Delete(0);
  EXPECT_EQ((*slots)[0].JobSlotState, "DELETED");
  EXPECT_EQ(slots->Store(in, out), 2) << "a deleted slot waits for the next clear";
  for (int i = 3; i < TJobSlots::kCount; ++i) ASSERT_EQ(slots->Store(in, out), i);
  EXPECT_EQ(slots->Store(in, out), -1) << "the 502nd job since the clear is refused";
  slots->Button15Click();
  EXPECT_EQ((*slots)[500].JobSlotState, "kong");
  EXPECT_EQ(slots->Store(in, out), 0);
}
