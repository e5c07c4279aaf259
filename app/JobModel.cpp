#include "app/JobModel.h"

#include <cstdint>
#include <cstdio>

#include "platform/rtl/format.h"

using catalogue::ComboRole;

void TJobSettings::Reset() {
  std::string added = std::move(Video_AddFileName);
  *this = TJobSettings();
  Video_AddFileName = std::move(added);
}

const FileColumnDef kFileColumns[kFileColumnCount] = {
    {"输入文件", 80},  {"视频时间", 70},  {"文件大小", 70},  {"输出文件", 80},  {"转换进度", 70},
    {"", 0},           {"当前时间", 80},  {"转换大小", 80},  {"视频序号", 0},   {"视频类别", 0},
    {"视频选项", 0},   {"视频编码", 0},   {"音频编码", 0},   {"声音频道", 0},   {"VideoTag", 0},
    {"FileExt", 0},    {"视频分辨率", 0}, {"视频比特率", 0}, {"视频帧率", 0},   {"音频比特率", 0},
    {"音频采样率", 0}, {"视频缩放", 0},   {"视频能否", 0},   {"TargetType", 0}, {"NormType", 0},
};

const std::array<ComboRole, catalogue::kComboCount> kPairOrder = {
    ComboRole::FrameSize, ComboRole::VideoBitrate, ComboRole::AudioBitrate,
    ComboRole::Zoom,      ComboRole::FrameRate,    ComboRole::SampleRate,
};

int OptionCodePair(ComboRole role) {
  for (int i = 0; i < catalogue::kComboCount; ++i)
    if (kPairOrder[i] == role) return i;
  return 0;
}

FileColumn OptionColumn(ComboRole role) {
  switch (role) {
    case ComboRole::FrameSize:
      return colFrameSize;
    case ComboRole::VideoBitrate:
      return colVideoBitrate;
    case ComboRole::FrameRate:
      return colFrameRate;
    case ComboRole::AudioBitrate:
      return colAudioBitrate;
    case ComboRole::SampleRate:
      return colSampleRate;
    case ComboRole::Zoom:
      return colAspect;
  }
  return colFrameSize;
}

static std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

static int32_t TrimmedStrToInt(const std::string& text) { return rtl::StrToInt(Trim(text)); }

std::string CategoryCode(int categoryItem, int formatItem) {
  return std::to_string((categoryItem + 1) * 100 + formatItem);
}

void DecodeCategoryCode(const std::string& code, int& categoryItem, int& formatItem) {
  int v = TrimmedStrToInt(code);
  categoryItem = v / 100 - 1;
  formatItem = v - (v / 100) * 100;
}

static std::string Pair(int index) {
  if (index < 0) index = 0;  // an unselected combo is stored as its first item
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", index % 100);
  return buf;
}

std::string PresetOptionCode(const std::array<int, catalogue::kComboCount>& indexesByPair) {
  std::string code;
  for (int index : indexesByPair) code += Pair(index);
  return code;
}

std::array<int, catalogue::kComboCount> DecodePresetOptionCode(const std::string& code) {
  if (code.size() < 12) throw rtl::EConvertError("'" + code + "' is not a preset option code");
  std::array<int, catalogue::kComboCount> out{};
  for (int i = 0; i < catalogue::kComboCount; ++i) out[i] = TrimmedStrToInt(code.substr(i * 2, 2));
  return out;
}

std::string WithOptionPair(std::string code, int pair, int itemIndex) {
  if (code.size() < 12) code.resize(12, '0');
  code.replace(pair * 2, 2, Pair(itemIndex));
  return code;
}

// "816 kbps" -> 816000; a decimal such as "4.75 kbps" is multiplied as a
// float and read back from its 15-digit text, so 4.75 gives 4750. A rate
// whose bits do not fit the field is refused like any text that does not
// convert (the decimal path refuses it when reading the product back).
static int32_t KbpsToBits(const std::string& text) {
  std::string num = Trim(text.substr(0, text.find("kbps")));
  if (num.find('.') == std::string::npos) {
    const int kbps = TrimmedStrToInt(num);
    if (kbps > INT32_MAX / 1000 || kbps < INT32_MIN / 1000)
      throw rtl::EConvertError("'" + num + "' kbps is not a valid bit rate");
    return kbps * 1000;
  }
  return TrimmedStrToInt(rtl::FloatToStr(rtl::StrToFloat(num) * 1000.0));
}

void ApplyComboText(ComboRole role, const std::string& text, TJobSettings& job) {
  switch (role) {
    case ComboRole::FrameSize:
      job.Video_FrameSize = (text == "保持原分辨率" || text == "该格式无视频") ? std::string() : text;
      break;
    case ComboRole::FrameRate:
      job.Video_FrameRate = (text == "保持原帧速率" || text == "无视频") ? std::string() : text;
      break;
    case ComboRole::VideoBitrate:
      job.Video_VideoBitrate = text == "无视频" ? -1000 : KbpsToBits(text);
      break;
    case ComboRole::SampleRate:
      job.Video_AudioSampleRate = text == "自动音频采样率" ? std::string("AUTO") : text;
      break;
    case ComboRole::AudioBitrate:
      job.Video_AudioBitrate = text == "自动音频比特率" ? -1000 : KbpsToBits(text);
      break;
    case ComboRole::Zoom:
      if (text == "保持原视频模式" || text == "无视频")
        job.Video_FrameAspectRatio.clear();
      else if (text == "普通视频4:3模式")
        job.Video_FrameAspectRatio = "4:3";
      else if (text == "宽屏视频16:9模式")
        job.Video_FrameAspectRatio = "16:9";
      else if (text == "宽屏视频37:20模式")
        job.Video_FrameAspectRatio = "37:20";
      else if (text == "宽屏视频47:20模式")
        job.Video_FrameAspectRatio = "47:20";
      break;
  }
}

std::string OptionColumnText(ComboRole role, const TJobSettings& job) {
  switch (role) {
    case ComboRole::FrameSize:
      return job.Video_FrameSize;
    case ComboRole::VideoBitrate:
      return std::to_string(job.Video_VideoBitrate);
    case ComboRole::FrameRate:
      return job.Video_FrameRate;
    case ComboRole::AudioBitrate:
      return std::to_string(job.Video_AudioBitrate);
    case ComboRole::SampleRate:
      return job.Video_AudioSampleRate;
    case ComboRole::Zoom:
      return job.Video_FrameAspectRatio;
  }
  return std::string();
}

std::string ExtractFileName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  return path.substr(0, path.size() - ExtractFileExt(path).size()) + ext;
}
