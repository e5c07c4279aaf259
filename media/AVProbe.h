// The media probe: opens a file (or adopts a demuxer context opened by
// somebody else) and reports its streams, tags and a readable summary.
// TAVProbe adds single-picture decoding with seeking and stepping.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/FFBaseComponent.h"
#include "media/FFUtils.h"
#include "media/FFmpegLoader.h"
#include "media/EngineUtils.h"

namespace media {

// The probe and the player hand out 24-bit bitmaps.
using TBitmap = TBitmap24;

struct TAVRational {
  int num = -1;
  int den = -1;
};

struct TFileStreamInfo {
  int64_t StartTime = -1;  // microseconds
  int64_t Duration = -1;   // microseconds
  int BitRate = -1;
  int64_t TimeStamp = -1;  // seconds since 1970-01-01 UTC, 0 none
  int Year = -1;
  int Track = -1;
  std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TAudioStreamInfo {
  std::string Language, CodecName;
  int64_t StartTime = -1, StartTimeScaled = -1, Duration = -1, DurationScaled = -1;
  int BitRate = -1, Channels = -1, SampleRate = -1;
  int SampleFormat = -1;
};

struct TVideoStreamInfo {
  std::string Language, CodecName;
  int64_t StartTime = -1, StartTimeScaled = -1, Duration = -1, DurationScaled = -1;
  int BitRate = -1, Height = -1, Width = -1;
  float AspectRatio = -1.0f;
  int PixFmt = -1;
  TAVRational FrameRate;
};

struct TSubtitleStreamInfo {
  std::string Language, CodecName;
};

class TCustomAVProbe : public TFFBaseComponent {
 public:
  explicit TCustomAVProbe(void* AOwner = nullptr);
  ~TCustomAVProbe() override;

  bool AVLibLoaded();
  bool LoadAVLib(const std::string& APath);
  void UnloadAVLib();

  bool LoadFile(const std::string& AFileName, const std::string& AFormatName = "");
  virtual void CloseFile();
  bool IsAudioStream(int AStreamIndex);
  bool IsVideoStream(int AStreamIndex);
  bool IsSubtitleStream(int AStreamIndex);

  AVFormatContext* FileHandle() const { return FFileHandle; }
  virtual void SetFileHandle(AVFormatContext* Value);
  std::string FileName();
  int64_t FileSize() const { return FFileSize; }
  std::string ForceFormat() const { return FForceFormat; }
  std::string FormatName();
  std::string FormatLongName();
  int StreamCount() const { return FStreamCount; }
  int ProgramCount() const { return FProgramCount; }
  int AudioStreamCount() const { return FAudioStreamCount; }
  int VideoStreamCount() const { return FVideoStreamCount; }
  int SubtitleStreamCount() const { return FSubtitleStreamCount; }
  int FirstAudioStreamIndex() const { return FFirstAudioStreamIndex; }
  int FirstVideoStreamIndex() const { return FFirstVideoStreamIndex; }
  int FirstSubtitleStreamIndex() const { return FFirstSubtitleStreamIndex; }
  TFileStreamInfo FileStreamInfo();
  std::string FileInfoText();
  TAudioStreamInfo GetAudioStreamInfo(int AStreamIndex);
  TVideoStreamInfo GetVideoStreamInfo(int AStreamIndex);
  TSubtitleStreamInfo GetSubtitleStreamInfo(int AStreamIndex);
  TAudioStreamInfo FirstAudioStreamInfo() { return GetAudioStreamInfo(-1); }
  TVideoStreamInfo FirstVideoStreamInfo() { return GetVideoStreamInfo(-1); }
  TSubtitleStreamInfo FirstSubtitleStreamInfo() { return GetSubtitleStreamInfo(-1); }
  std::string LastErrMsg() const { return FLastErrMsg; }

 protected:
  virtual void RefreshFileInfo();
  void ReportMessage(int ALevel, const std::string& AText);
  void CheckAVLib();
  void DumpMetadata(std::vector<std::string>& lines, AVDictionary* m, const std::string& indent);
  void DumpStreamFormat(std::vector<std::string>& lines, int index);

  AVFormatContext* FFileHandle = nullptr;
  bool FOwnHandle = false;
  std::string FLastErrMsg;
  std::string FForceFormat;
  int64_t FFileSize = -1;
  int FStreamCount = -1, FProgramCount = -1;
  int FAudioStreamCount = -1, FVideoStreamCount = -1, FSubtitleStreamCount = -1;
  int FFirstAudioStreamIndex = -1, FFirstVideoStreamIndex = -1, FFirstSubtitleStreamIndex = -1;
};

enum TPictureType { ptUnknown, ptI, ptP, ptB, ptS, ptSI, ptSP, ptBI };

struct TFrameInfo {
  int PixFmt = -1;
  int Width = -1, Height = -1;
  bool IsKeyFrame = false;
  TPictureType PictureType = ptUnknown;
  int64_t PTS = AV_NOPTS_VALUE;  // microseconds from the stream's start
  int64_t OriginalDTS = AV_NOPTS_VALUE, OriginalPTS = AV_NOPTS_VALUE;
  int StreamIndex = -1;
  int64_t Position = -1;
  bool Ready = false;
  uint8_t* Picture[4] = {nullptr, nullptr, nullptr, nullptr};
  int Linesize[4] = {0, 0, 0, 0};
  uint8_t* Buffer = nullptr;  // owned by the probe
  int Size = 0;
};

class TAVProbe : public TCustomAVProbe {
 public:
  explicit TAVProbe(void* AOwner = nullptr);
  ~TAVProbe() override;

  bool Seek(int64_t APTS, TSeekFlags ASeekFlags);
  bool Decode(int AStreamIndex = -1);
  bool DecodeNextKeyFrame(int AStreamIndex = -1);
  bool DecodePreviousFrame(int AStreamIndex = -1);
  bool DecodePreviousKeyFrame(int AStreamIndex = -1);
  bool CopyToBitmap(TBitmap* ABitmap);

  bool EOF_() const { return FEOF; }
  const TFrameInfo& FrameInfo() const { return FPicture; }
  int64_t Position();

  void CloseFile() override;

 protected:
  void RefreshFileInfo() override;

 private:
  void CheckOwnHandle(bool& ok);
  bool CheckSeekable();
  int SelectDecodeStream(int AStreamIndex);
  void ResetPicture();
  AVCodecContext* OpenDecoder(int index);
  void CloseDecoder();
  void FillPicture(AVFrame* frame, AVPacket* pkt, int64_t pos);
  int64_t FrameDuration(int index);

  AVCodecContext* FCodec = nullptr;
  int FCodecIndex = -1;
  TRGBConvertContext FRGBContext;
  int FSeekIndex = -1;
  int64_t FStartTime = 0;
  int FDecodeIndex = -1;
  bool FEOF = false;
  bool FDraining = false;  // the file is read to its end; the decoder gives out what it delayed
  TFrameInfo FPicture;
  int64_t FLastPTS = AV_NOPTS_VALUE;
  int64_t FLastPos = -1;
};

// Text helpers of the probe's report.
std::string FormatRateText(double d, const std::string& postfix);
std::string TranslateMetadataKey(const std::string& key);
// "%d.%.6d" of a microsecond value, the sign written once.
std::string SecondsText(int64_t us);

}  // namespace media
