#include "app/JobOutput.h"

#include "platform/rtl/format.h"

using media::TOptionNormType;
using media::TOptionTargetType;

void BuildJobOutputOptions(const TJobSettings& job, media::TOutputOptions& out) {
  if (!job.Video_VideoCodec.empty()) {
    out.VideoCodec = job.Video_VideoCodec;
    out.VideoPreset = job.Video_VideoCodec == "libx264" ? "libx264-default" : "";
  }
  if (!job.Video_AudioCodec.empty() && job.Video_AudioCodec != "AUTO") out.AudioCodec = job.Video_AudioCodec;
  if (!job.Video_FrameRate.empty()) out.FrameRate = job.Video_FrameRate;
  out.DisableVideo = job.Video_DisableVideo;
  if (!job.Video_AudioChannels.empty()) out.AudioChannels = rtl::StrToInt(job.Video_AudioChannels);
  if (!job.Video_AudioSampleRate.empty() && job.Video_AudioSampleRate != "AUTO")
    out.AudioSampleRate = rtl::StrToInt(job.Video_AudioSampleRate);
  if (!job.Video_FrameSize.empty()) out.FrameSize = job.Video_FrameSize;
  if (job.Video_TargetType == "vcd")
    out.TargetType = TOptionTargetType::ttVCD;
  else if (job.Video_TargetType == "svcd")
    out.TargetType = TOptionTargetType::ttSVCD;
  else if (job.Video_TargetType == "dvd")
    out.TargetType = TOptionTargetType::ttDVD;
  else
    out.TargetType = TOptionTargetType::ttIgnore;
  if (job.Video_NormType == "PAL")
    out.NormType = TOptionNormType::ntPAL;
  else if (job.Video_NormType == "NTSC")
    out.NormType = TOptionNormType::ntNTSC;
  else
    out.NormType = TOptionNormType::ntAuto;
  out.AudioVolume = job.Video_AudioVolume == "256" ? 256 : rtl::StrToInt(job.Video_AudioVolume);
  if (!job.Video_FrameAspectRatio.empty()) out.FrameAspectRatio = job.Video_FrameAspectRatio;
  if (job.Video_AudioBitrate != -1000) out.AudioBitrate = job.Video_AudioBitrate;
  if (!job.Video_FileFormat.empty()) out.FileFormat = job.Video_FileFormat;
  if (!job.Video_VideoFilters.empty()) out.VideoFilters = job.Video_VideoFilters;
  if (!job.Video_VideoTag.empty()) out.VideoTag = job.Video_VideoTag;
  if (job.Video_VideoBitrate != -1000) out.VideoBitrate = job.Video_VideoBitrate;
  ApplyTargetPrecedence(out);
}

void ApplyTargetPrecedence(media::TOutputOptions& out) {
  if (out.TargetType == TOptionTargetType::ttIgnore) return;
  media::TOutputOptions reset;
  media::InitOutputOptions(reset);
  out.FrameSize = reset.FrameSize;
  out.FrameRate = reset.FrameRate;
  out.VideoBitrate = reset.VideoBitrate;
  out.AudioBitrate = reset.AudioBitrate;
  out.AudioSampleRate = reset.AudioSampleRate;
}

void TJobSlots::Button15Click() {
  for (TJobSlot& s : slots_) s.JobSlotState = "kong";
}

int TJobSlots::Store(const media::TInputOptions& in, const media::TOutputOptions& out) {
  for (int i = 0; i < kCount; ++i) {
    TJobSlot& s = slots_[i];
    if (s.JobSlotState == "kong") {
      s.IO1 = in;
      s.OO1 = out;
      s.JobSlotState = "Full";
      return i;
    }
  }
  return -1;
}

void TJobSlots::Delete(int slot) {
  if (slot >= 0 && slot < kCount) slots_[slot].JobSlotState = "DELETED";
}
