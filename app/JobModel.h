// The job being prepared (JobSettings), the columns of a file-list row, the
// codes kept in a row, and the reading of the preset combos' texts.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "app/CatalogueData.h"
#include "platform/rtl/exceptions.h"

// The 22 job fields of the main window.
struct TJobSettings {
  std::string Video_OutPutFileName;
  std::string Video_AddFileName;
  std::string Video_FileExt;
  std::string Video_AudioChannels;
  std::string Video_AudioSampleRate;
  std::string Video_FrameSize;
  std::string Video_FrameRate;
  std::string Video_NormType;
  std::string Video_VideoFilters;
  std::string Video_AudioVolume = "256";
  std::string Video_FrameAspectRatio;
  std::string Video_VideoCodec;
  std::string Video_AudioCodec;
  std::string Video_CopyTimestamp;
  std::string Video_FileFormat;
  std::string Video_TargetType;
  std::string Video_VideoTag;
  int32_t Video_VideoBitrate = -1;
  int32_t Video_AudioBitrate = -1;
  int32_t Video_TimeStart = -1;
  int32_t Video_TimeLength = -1;
  bool Video_DisableVideo = false;

  // Button6Click: everything back to its reset value but the added file.
  void Reset();
};

// Columns of a file-list row; column 0 is the row's caption.
enum FileColumn : int {
  colInputFile = 0,
  colDuration,
  colFileSize,
  colOutputFile,
  colProgress,
  colFps,
  colCurrentTime,
  colConvertedSize,
  colTaskNumber,
  colCategoryCode,
  colPresetOptionCode,
  colVideoCodec,
  colAudioCodec,
  colAudioChannels,
  colVideoTag,
  colFileExt,
  colFrameSize,
  colVideoBitrate,
  colFrameRate,
  colAudioBitrate,
  colSampleRate,
  colAspect,
  colNoVideo,
  colTargetType,
  colNormType,
  kFileColumnCount
};

struct FileColumnDef {
  const char* caption;
  int width;  // 0: hidden
};
extern const FileColumnDef kFileColumns[kFileColumnCount];

// Where each preset combo keeps its state in a row: its pair in the
// PresetOptionCode (0..5) and its option column.
int OptionCodePair(catalogue::ComboRole role);
FileColumn OptionColumn(catalogue::ComboRole role);

// The combos in the order of the PresetOptionCode pairs (frame size, video bit
// rate, audio bit rate, zoom, frame rate, sample rate).
extern const std::array<catalogue::ComboRole, catalogue::kComboCount> kPairOrder;

// CategoryCode: (category item + 1) * 100 + format item, as decimal text.
std::string CategoryCode(int categoryItem, int formatItem);
// Decodes a CategoryCode; throws rtl::EConvertError when it is not a number.
void DecodeCategoryCode(const std::string& code, int& categoryItem, int& formatItem);

// PresetOptionCode: six item indexes, two digits each, in pair order.
std::string PresetOptionCode(const std::array<int, catalogue::kComboCount>& indexesByPair);
std::array<int, catalogue::kComboCount> DecodePresetOptionCode(const std::string& code);
// The code with one pair replaced (a short code is first padded with zeros).
std::string WithOptionPair(std::string code, int pair, int itemIndex);

// Sets the combo's job field from the text it shows (the rules of
// Button13Click). Throws rtl::EConvertError for a bit rate without a number.
void ApplyComboText(catalogue::ComboRole role, const std::string& text, TJobSettings& job);

// The text the combo's option column holds for its field.
std::string OptionColumnText(catalogue::ComboRole role, const TJobSettings& job);

// File-name helpers on '/' paths.
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);  // from the last '.' of the name, dot included
std::string ChangeFileExt(const std::string& path, const std::string& ext);
