// presetdump KEY...
// Prints, for each PresetKey, what the main window prepares for a file added
// with that preset: the JobSettings, the six preset combos (items, the
// selected one marked with '*', disabled combos flagged) and the output
// options built from the job. The input is taken to be /in/clip.mkv and the
// output folder /out.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/FormatCatalogue.h"
#include "app/JobOutput.h"
#include "app/MemoryControls.h"

using catalogue::ComboRole;

static void Field(const char* name, const std::string& value) { std::printf("  %-24s \"%s\"\n", name, value.c_str()); }
static void Field(const char* name, long value) { std::printf("  %-24s %ld\n", name, value); }

static int Dump(int key) {
  const catalogue::FormatDef* format = catalogue::FormatByKey(key);
  if (!format) {
    std::fprintf(stderr, "presetdump: %d is no PresetKey\n", key);
    return 1;
  }
  std::printf("PresetKey %d: %s\n  %s\n", key, format->title, format->caption);
  if (catalogue::ChooserItemOf(key) < 0) {
    std::printf("  (its category is not offered by the main window; no job or option entry)\n\n");
    return 0;
  }
  THeadlessJobForm form;
  form.Logic->OutputFolderText = [] { return std::string("/out"); };
  form.Logic->OverwriteOutput = [] { return true; };
  form.Start();
  form.PrepareAdd(key, "/in/clip.mkv");
  TMainJobLogic& logic = *form.Logic;

  std::printf("JobSettings\n");
  const TJobSettings& j = logic.Job;
  Field("Video_OutPutFileName", j.Video_OutPutFileName);
  Field("Video_AddFileName", j.Video_AddFileName);
  Field("Video_FileExt", j.Video_FileExt);
  Field("Video_AudioChannels", j.Video_AudioChannels);
  Field("Video_AudioSampleRate", j.Video_AudioSampleRate);
  Field("Video_FrameSize", j.Video_FrameSize);
  Field("Video_FrameRate", j.Video_FrameRate);
  Field("Video_NormType", j.Video_NormType);
  Field("Video_VideoFilters", j.Video_VideoFilters);
  Field("Video_AudioVolume", j.Video_AudioVolume);
  Field("Video_FrameAspectRatio", j.Video_FrameAspectRatio);
  Field("Video_VideoCodec", j.Video_VideoCodec);
  Field("Video_AudioCodec", j.Video_AudioCodec);
  Field("Video_CopyTimestamp", j.Video_CopyTimestamp);
  Field("Video_FileFormat", j.Video_FileFormat);
  Field("Video_TargetType", j.Video_TargetType);
  Field("Video_VideoTag", j.Video_VideoTag);
  Field("Video_VideoBitrate", j.Video_VideoBitrate);
  Field("Video_AudioBitrate", j.Video_AudioBitrate);
  Field("Video_TimeStart", j.Video_TimeStart);
  Field("Video_TimeLength", j.Video_TimeLength);
  Field("Video_DisableVideo", j.Video_DisableVideo ? "True" : "False");

  static const struct {
    ComboRole role;
    const char* label;
  } kCombos[] = {{ComboRole::FrameSize, "视频分辨率"},  {ComboRole::VideoBitrate, "视频比特率"},
                 {ComboRole::FrameRate, "视频帧率"},    {ComboRole::AudioBitrate, "音频比特率"},
                 {ComboRole::SampleRate, "音频采样率"}, {ComboRole::Zoom, "视频缩放"}};
  std::printf("Preset combos\n");
  for (const auto& c : kCombos) {
    TMemoryPresetCombo& box = form.Combo(c.role);
    std::printf("  %s%s:", c.label, box.Enabled() ? "" : " (disabled)");
    for (int i = 0; i < box.ItemCount(); ++i)
      std::printf(" %s\"%s\"", i == box.ItemIndex() ? "*" : "", box.Item(i).c_str());
    std::printf("\n");
  }

  media::TOutputOptions out;
  media::InitOutputOptions(out);
  BuildJobOutputOptions(logic.Job, out);
  static const char* const kTargets[] = {"ttIgnore", "ttVCD", "ttSVCD", "ttDVD"};
  static const char* const kNorms[] = {"ntAuto", "ntPAL", "ntNTSC"};
  std::printf("TOutputOptions\n");
  Field("VideoCodec", out.VideoCodec);
  Field("VideoPreset", out.VideoPreset);
  Field("VideoTag", out.VideoTag);
  Field("FrameSize", out.FrameSize);
  Field("FrameRate", out.FrameRate);
  Field("FrameAspectRatio", out.FrameAspectRatio);
  Field("VideoBitrate", out.VideoBitrate);
  Field("DisableVideo", out.DisableVideo ? "True" : "False");
  Field("AudioCodec", out.AudioCodec);
  Field("AudioChannels", out.AudioChannels);
  Field("AudioSampleRate", out.AudioSampleRate);
  Field("AudioBitrate", out.AudioBitrate);
  Field("AudioVolume", out.AudioVolume);
  Field("FileFormat", out.FileFormat);
  Field("VideoFilters", out.VideoFilters);
  Field("TargetType", kTargets[static_cast<int>(out.TargetType)]);
  Field("NormType", kNorms[static_cast<int>(out.NormType)]);
  std::printf("\n");
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: presetdump KEY...\n");
    return 2;
  }
  int rc = 0;
  for (int i = 1; i < argc; ++i) rc |= Dump(std::atoi(argv[i]));
  return rc;
}
