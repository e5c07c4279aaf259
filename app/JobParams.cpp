#include "app/JobParams.h"

#include <filesystem>
#include <system_error>

#include "app/FormatCatalogue.h"

bool ApplyPresetJobRow(int presetKey, const std::string& folderText, TJobSettings& job) {
  const catalogue::JobRow* row = catalogue::JobRowFor(presetKey);
  if (!row) return false;
  job.Video_OutPutFileName = folderText + "/" + ChangeFileExt(ExtractFileName(job.Video_AddFileName), row->ext);
  job.Video_FileExt = row->fileExt;
  job.Video_VideoCodec = row->videoCodec;
  job.Video_VideoTag = row->videoTag;
  job.Video_FrameSize = row->frameSize;
  job.Video_FrameRate = row->frameRate;
  job.Video_VideoBitrate = row->videoBitrate;
  job.Video_AudioCodec = row->audioCodec;
  job.Video_AudioChannels = row->audioChannels;
  job.Video_AudioSampleRate = row->audioSampleRate;
  job.Video_AudioBitrate = row->audioBitrate;
  job.Video_FrameAspectRatio = row->aspect;
  job.Video_TargetType = row->target;
  job.Video_NormType = row->norm;
  job.Video_DisableVideo = row->noVideo;
  return true;
}

std::string UniqueOutputName(const std::string& composed, const std::string& folderText,
                             const std::function<bool(const std::string& path)>& taken) {
  std::string ext = ExtractFileExt(composed);
  std::string stem = composed.substr(0, composed.size() - ext.size());
  std::string base = folderText + "/" + ExtractFileName(stem);
  std::string candidate = base + ext;
  if (taken(candidate)) {
    for (long n = 1;; ++n) {
      candidate = base + "_" + std::to_string(n) + ext;
      if (!taken(candidate)) break;
    }
  }
  return candidate;
}

bool OutputFileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(std::filesystem::u8path(path), ec);
}

std::string JobColumnText(FileColumn col, const TJobSettings& job) {
  switch (col) {
    case colVideoCodec:
      return job.Video_VideoCodec;
    case colAudioCodec:
      return job.Video_AudioCodec;
    case colAudioChannels:
      return job.Video_AudioChannels;
    case colVideoTag:
      return job.Video_VideoTag;
    case colFileExt:
      return job.Video_FileExt;
    case colFrameSize:
      return job.Video_FrameSize;
    case colVideoBitrate:
      return std::to_string(job.Video_VideoBitrate);
    case colFrameRate:
      return job.Video_FrameRate;
    case colAudioBitrate:
      return std::to_string(job.Video_AudioBitrate);
    case colSampleRate:
      return job.Video_AudioSampleRate;
    case colAspect:
      return job.Video_FrameAspectRatio;
    case colNoVideo:
      return job.Video_DisableVideo ? "True" : "False";
    case colTargetType:
      return job.Video_TargetType;
    case colNormType:
      return job.Video_NormType;
    default:
      return std::string();
  }
}
