#include "media/AVProbe.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <ctime>
#include <numeric>

#include "media/FFmpegLogger.h"
#include "media/UnicodeProtocol.h"
#include "platform/rtl/exceptions.h"

namespace media {

// ---------------------------------------------------------------------------
// Text helpers

namespace {

std::string MetaValue(AVDictionary* m, const char* key) {
  AVDictionaryEntry* e = m ? ffapi::av_dict_get(m, key, nullptr, 0) : nullptr;
  return e && e->value ? e->value : "";
}

// Leading integer of a tag ("7/12" -> 7, "2021-05-01" -> 2021); 0 when none.
int LeadingInt(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) i++;
  int v = 0;
  bool any = false;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000000) {
    v = v * 10 + (s[i] - '0');
    i++;
    any = true;
  }
  return any ? v : 0;
}

// ISO 8601 "YYYY-MM-DD[T ]hh:mm:ss" (UTC) to Unix seconds; 0 when it does not parse.
int64_t IsoToUnix(const std::string& s) {
  int Y, M, D, h = 0, m = 0, sec = 0;
  if (std::sscanf(s.c_str(), "%d-%d-%d%*c%d:%d:%d", &Y, &M, &D, &h, &m, &sec) < 3) return 0;
  struct tm t {};
  t.tm_year = Y - 1900;
  t.tm_mon = M - 1;
  t.tm_mday = D;
  t.tm_hour = h;
  t.tm_min = m;
  t.tm_sec = sec;
  int64_t v = timegm(&t);
  return v > 0 ? v : 0;
}

const char* const kId3Keys[][2] = {
    {"TALB", "album"},     {"TAL", "album"},     {"TCOM", "composer"}, {"TCON", "genre"},     {"TCO", "genre"},
    {"TCOP", "copyright"}, {"TDRL", "date"},     {"TENC", "encoder"},  {"TEN", "encoder"},    {"TIT2", "title"},
    {"TT2", "title"},      {"TLAN", "language"}, {"TPE1", "artist"},   {"TP1", "artist"},     {"TPOS", "disc"},
    {"TPUB", "publisher"}, {"TRCK", "track"},    {"TRK", "track"},     {"TSOA", "albumsort"}, {"TSOP", "authorsort"},
    {"TSOT", "titlesort"}, {"TYER", "year"}};

}  // namespace

std::string TranslateMetadataKey(const std::string& key) {
  for (auto& p : kId3Keys)
    if (key == p[0]) return p[1];
  return key;
}

std::string FormatRateText(double d, const std::string& postfix) {
  int64_t v = std::llrint(d * 100);
  if (v % 100) return FormatStr(", %3.2f %s", d, postfix.c_str());
  if (v % (100 * 1000)) return FormatStr(", %1.0f %s", d, postfix.c_str());
  return FormatStr(", %1.0fk %s", d / 1000, postfix.c_str());
}

// A negative time is written with one leading sign ("-1.500000"), never with
// a sign on each part.
std::string SecondsText(int64_t us) {
  uint64_t a = us < 0 ? uint64_t(0) - uint64_t(us) : uint64_t(us);
  return FormatStr("%s%llu.%.6llu", us < 0 ? "-" : "", (unsigned long long)(a / 1000000),
                   (unsigned long long)(a % 1000000));
}

// ---------------------------------------------------------------------------
// TCustomAVProbe

TCustomAVProbe::TCustomAVProbe(void* AOwner) : TFFBaseComponent(AOwner) { TCustomAVProbe::RefreshFileInfo(); }

TCustomAVProbe::~TCustomAVProbe() {
  // The derived part is already gone: close with the base behaviour.
  if (FFileHandle && FOwnHandle) ffapi::avformat_close_input(&FFileHandle);
  FFileHandle = nullptr;
}

bool TCustomAVProbe::AVLibLoaded() { return FFLoader().Loaded(ProbeLibraries); }

bool TCustomAVProbe::LoadAVLib(const std::string& APath) {
  FFLoader().SetLibraryPath(APath);
  if (FFLoader().Load(ProbeLibraries)) return true;
  FLastErrMsg = FFLoader().LastErrMsg();
  return false;
}

void TCustomAVProbe::UnloadAVLib() { FFLoader().Unload(ProbeLibraries); }

void TCustomAVProbe::ReportMessage(int ALevel, const std::string& AText) {
  FFLoggerInstance().Log(this, AVToLogLevel(ALevel), AText);
  FLastErrMsg = AText;
}

void TCustomAVProbe::CheckAVLib() {
  auto& L = FFLoader();
  if (!L.Loaded(TLibrary::avCodec)) throw rtl::Exception("LibAVCodec not loaded.");
  if (!L.Loaded(TLibrary::avFormat)) throw rtl::Exception("LibAVFormat not loaded.");
  if (!L.Loaded(TLibrary::avUtil)) throw rtl::Exception("LibAVUtil not loaded.");
  if (!L.Loaded(TLibrary::swScale)) throw rtl::Exception("LibSwScale not loaded.");
}

bool TCustomAVProbe::LoadFile(const std::string& AFileName, const std::string& AFormatName) {
  CheckAVLib();
  CloseFile();
  const AVInputFormat* fmt = nullptr;
  if (!AFormatName.empty()) {
    fmt = ffapi::av_find_input_format(AFormatName.c_str());
    if (!fmt) {
      FLastErrMsg = FormatStr("Unknown input format: %s", AFormatName.c_str());
      return false;
    }
  }
  AVFormatContext* ic = ffapi::avformat_alloc_context();
  if (!ic) {
    ReportMessage(AV_LOG_ERROR, AFileName + ": " + "Cannot allocate memory");
    return false;
  }
  ic->flags |= AVFMT_FLAG_NONBLOCK;
  // On failure the library frees the context and clears the pointer itself.
  int ret = ffapi::avformat_open_input(&ic, LibraryFileName(AFileName).c_str(), fmt, nullptr);
  if (ret < 0) {
    ReportMessage(AV_LOG_ERROR, ErrorText(AFileName, ret));
    return false;
  }
  ret = ffapi::avformat_find_stream_info(ic, nullptr);
  if (ret < 0) {
    ffapi::avformat_close_input(&ic);
    FLastErrMsg = FormatStr("%s: could not find codec parameters", AFileName.c_str());
    return false;
  }
  FFileHandle = ic;
  FOwnHandle = true;
  RefreshFileInfo();
  FForceFormat = AFormatName;
  return true;
}

void TCustomAVProbe::SetFileHandle(AVFormatContext* Value) {
  CheckAVLib();
  CloseFile();
  FOwnHandle = false;
  FFileHandle = Value;
  RefreshFileInfo();
}

void TCustomAVProbe::CloseFile() {
  FForceFormat.clear();
  if (FFileHandle) {
    if (FOwnHandle) ffapi::avformat_close_input(&FFileHandle);
    FFileHandle = nullptr;
  }
  FOwnHandle = false;
  RefreshFileInfo();
}

void TCustomAVProbe::RefreshFileInfo() {
  FFileSize = -1;
  FStreamCount = FProgramCount = -1;
  FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = -1;
  FFirstAudioStreamIndex = FFirstVideoStreamIndex = FFirstSubtitleStreamIndex = -1;
  AVFormatContext* ic = FFileHandle;
  if (!ic) return;
  int64_t size = ic->pb ? ffapi::avio_size(ic->pb) : -1;
  if (size > 0) {
    FFileSize = size;
  } else {
    std::string name = DisplayFileName(ic->url ? ic->url : "");
    struct stat st;
    if (!name.empty() && ::stat(name.c_str(), &st) == 0)
      FFileSize = FileSizeOf(name);
    else
      FFileSize = size;
  }
  FStreamCount = int(ic->nb_streams);
  FProgramCount = int(ic->nb_programs);
  FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = 0;
  for (unsigned i = 0; i < ic->nb_streams; i++) {
    switch (ic->streams[i]->codecpar->codec_type) {
      case AVMEDIA_TYPE_VIDEO:
        FVideoStreamCount++;
        if (FFirstVideoStreamIndex < 0) FFirstVideoStreamIndex = int(i);
        break;
      case AVMEDIA_TYPE_AUDIO:
        FAudioStreamCount++;
        if (FFirstAudioStreamIndex < 0) FFirstAudioStreamIndex = int(i);
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        FSubtitleStreamCount++;
        if (FFirstSubtitleStreamIndex < 0) FFirstSubtitleStreamIndex = int(i);
        break;
      default:
        break;
    }
  }
}

std::string TCustomAVProbe::FileName() {
  if (!FFileHandle) {
    ReportMessage(AV_LOG_WARNING, "file not loaded.");
    return "";
  }
  return DisplayFileName(FFileHandle->url ? FFileHandle->url : "");
}

std::string TCustomAVProbe::FormatName() {
  if (!FFileHandle) {
    ReportMessage(AV_LOG_WARNING, "file not loaded.");
    return "";
  }
  return FFileHandle->iformat && FFileHandle->iformat->name ? FFileHandle->iformat->name : "";
}

std::string TCustomAVProbe::FormatLongName() {
  if (!FFileHandle) {
    ReportMessage(AV_LOG_WARNING, "file not loaded.");
    return "";
  }
  return FFileHandle->iformat && FFileHandle->iformat->long_name ? FFileHandle->iformat->long_name : "";
}

// The context fields timestamp, year and track of the old libraries are gone;
// they come from the metadata now: "creation_time" (ISO 8601, UTC) gives the
// time stamp, the leading number of "year" (else "date") the year, and the
// leading number of "track" ("3/12" -> 3) the track.
TFileStreamInfo TCustomAVProbe::FileStreamInfo() {
  TFileStreamInfo r;
  AVFormatContext* ic = FFileHandle;
  if (!ic) {
    ReportMessage(AV_LOG_WARNING, "file not loaded.");
    return r;
  }
  r.StartTime = ic->start_time == AV_NOPTS_VALUE ? -1 : ic->start_time;
  r.Duration = ic->duration == AV_NOPTS_VALUE ? -1 : ic->duration;
  r.BitRate = int(std::min<int64_t>(ic->bit_rate, INT32_MAX));
  r.TimeStamp = IsoToUnix(MetaValue(ic->metadata, "creation_time"));
  std::string year = MetaValue(ic->metadata, "year");
  if (year.empty()) year = MetaValue(ic->metadata, "date");
  r.Year = LeadingInt(year);
  r.Track = LeadingInt(MetaValue(ic->metadata, "track"));
  r.Title = MetaValue(ic->metadata, "title");
  r.Author = MetaValue(ic->metadata, "author");
  r.Copyright = MetaValue(ic->metadata, "copyright");
  r.Comment = MetaValue(ic->metadata, "comment");
  r.Album = MetaValue(ic->metadata, "album");
  r.Genre = MetaValue(ic->metadata, "genre");
  return r;
}

namespace {
// Shared checks of the stream-record builders; returns the stream or null.
AVStream* PickStream(TCustomAVProbe* p, AVFormatContext* ic, int index, AVMediaType type, int first, const char* kind,
                     const std::function<void(int, const std::string&)>& report) {
  if (!ic) {
    report(AV_LOG_WARNING, "file not loaded.");
    return nullptr;
  }
  if (index < 0) {
    if (first < 0) {
      report(AV_LOG_ERROR, FormatStr("no %s stream.", kind));
      return nullptr;
    }
    index = first;
  }
  if (index >= p->StreamCount()) {
    report(AV_LOG_ERROR, FormatStr("stream index #%d is invalid.", index));
    return nullptr;
  }
  if (ic->streams[index]->codecpar->codec_type != type) {
    report(AV_LOG_ERROR, FormatStr("stream #%d is not %s stream.", index, kind));
    return nullptr;
  }
  return ic->streams[index];
}

void FillTimes(AVStream* st, int64_t& start, int64_t& startScaled, int64_t& dur, int64_t& durScaled) {
  if (st->time_base.den == 0) st->time_base.den = st->time_base.num ? st->time_base.num : 1;
  start = st->start_time;
  dur = st->duration;
  AVRational us{1, 1000000};
  if (start != AV_NOPTS_VALUE) startScaled = ffapi::av_rescale_q(start, st->time_base, us);
  if (dur != AV_NOPTS_VALUE) durScaled = ffapi::av_rescale_q(dur, st->time_base, us);
}
}  // namespace

TAudioStreamInfo TCustomAVProbe::GetAudioStreamInfo(int AStreamIndex) {
  TAudioStreamInfo r;
  AVStream* st = PickStream(this, FFileHandle, AStreamIndex, AVMEDIA_TYPE_AUDIO, FFirstAudioStreamIndex, "audio",
                            [this](int l, const std::string& t) { ReportMessage(l, t); });
  if (!st) return r;
  r.Language = MetaValue(st->metadata, "language");
  r.CodecName = CodecText(st->codecpar->codec_id, st->codecpar->codec_tag, false);
  FillTimes(st, r.StartTime, r.StartTimeScaled, r.Duration, r.DurationScaled);
  r.BitRate = int(st->codecpar->bit_rate);
  r.Channels = st->codecpar->ch_layout.nb_channels;
  r.SampleRate = st->codecpar->sample_rate;
  r.SampleFormat = st->codecpar->format;
  return r;
}

TVideoStreamInfo TCustomAVProbe::GetVideoStreamInfo(int AStreamIndex) {
  TVideoStreamInfo r;
  AVStream* st = PickStream(this, FFileHandle, AStreamIndex, AVMEDIA_TYPE_VIDEO, FFirstVideoStreamIndex, "video",
                            [this](int l, const std::string& t) { ReportMessage(l, t); });
  if (!st) return r;
  r.Language = MetaValue(st->metadata, "language");
  r.CodecName = CodecText(st->codecpar->codec_id, st->codecpar->codec_tag, false);
  FillTimes(st, r.StartTime, r.StartTimeScaled, r.Duration, r.DurationScaled);
  const AVCodecParameters* par = st->codecpar;
  r.BitRate = int(par->bit_rate);
  r.Height = par->height;
  r.Width = par->width;
  AVRational sar = par->sample_aspect_ratio;
  r.AspectRatio = (sar.num == 0 || sar.den == 0 || par->height == 0)
                      ? 0.0f
                      : float(par->width * (double(sar.num) / sar.den) / par->height);
  // As shown: a picture turned a quarter for display swaps its sides.
  const int turn = StreamRotation(st);
  if (turn == 90 || turn == 270) {
    std::swap(r.Width, r.Height);
    if (r.AspectRatio != 0) r.AspectRatio = 1.0f / r.AspectRatio;
  }
  r.PixFmt = par->format;
  r.FrameRate.num = st->r_frame_rate.num;
  r.FrameRate.den = st->r_frame_rate.den;
  return r;
}

TSubtitleStreamInfo TCustomAVProbe::GetSubtitleStreamInfo(int AStreamIndex) {
  TSubtitleStreamInfo r;
  AVStream* st = PickStream(this, FFileHandle, AStreamIndex, AVMEDIA_TYPE_SUBTITLE, FFirstSubtitleStreamIndex,
                            "subtitle", [this](int l, const std::string& t) { ReportMessage(l, t); });
  if (!st) return r;
  r.Language = MetaValue(st->metadata, "language");
  r.CodecName = CodecText(st->codecpar->codec_id, st->codecpar->codec_tag, false);
  return r;
}

static bool IsKind(TCustomAVProbe* p, AVFormatContext* ic, int index, AVMediaType type,
                   const std::function<void(int, const std::string&)>& report) {
  if (!ic) {
    report(AV_LOG_WARNING, "file not loaded.");
    return false;
  }
  if (index < 0 || index >= p->StreamCount()) {
    report(AV_LOG_ERROR, FormatStr("stream index #%d is invalid.", index));
    return false;
  }
  return ic->streams[index]->codecpar->codec_type == type;
}

bool TCustomAVProbe::IsAudioStream(int i) {
  return IsKind(this, FFileHandle, i, AVMEDIA_TYPE_AUDIO, [this](int l, const std::string& t) { ReportMessage(l, t); });
}
bool TCustomAVProbe::IsVideoStream(int i) {
  return IsKind(this, FFileHandle, i, AVMEDIA_TYPE_VIDEO, [this](int l, const std::string& t) { ReportMessage(l, t); });
}
bool TCustomAVProbe::IsSubtitleStream(int i) {
  return IsKind(this, FFileHandle, i, AVMEDIA_TYPE_SUBTITLE,
                [this](int l, const std::string& t) { ReportMessage(l, t); });
}

void TCustomAVProbe::DumpMetadata(std::vector<std::string>& lines, AVDictionary* m, const std::string& indent) {
  if (!m) return;
  int count = ffapi::av_dict_count(m);
  if (count == 0) return;
  if (count == 1 && ffapi::av_dict_get(m, "language", nullptr, 0)) return;
  lines.push_back(indent + "Metadata:");
  const AVDictionaryEntry* e = nullptr;
  while ((e = ffapi::av_dict_get(m, "", e, AV_DICT_IGNORE_SUFFIX))) {
    if (std::strcmp(e->key, "language") == 0) continue;
    lines.push_back(FormatStr("%s  %-16s: %s", indent.c_str(), TranslateMetadataKey(e->key).c_str(), e->value));
  }
}

// The "tbc" part (1 / codec time base) is left out: stream parameters no
// longer carry the decoder's time base.
void TCustomAVProbe::DumpStreamFormat(std::vector<std::string>& lines, int index) {
  AVFormatContext* ic = FFileHandle;
  AVStream* st = ic->streams[index];
  const AVCodecParameters* par = st->codecpar;
  std::string s = FormatStr("Stream #%d", index);
  if (ic->iformat && (ic->iformat->flags & AVFMT_SHOW_IDS)) s += FormatStr("[0x%x]", st->id);
  std::string lang = MetaValue(st->metadata, "language");
  if (!lang.empty()) s += "(" + lang + ")";
  int g = std::gcd(st->time_base.num, st->time_base.den);
  if (g == 0) g = 1;
  s += FormatStr(", %d/%d", st->time_base.num / g, st->time_base.den / g);
  char buf[256] = {0};
  AVCodecContext* avctx = ffapi::avcodec_alloc_context3(nullptr);
  if (avctx) {
    if (ffapi::avcodec_parameters_to_context(avctx, par) >= 0) ffapi::avcodec_string(buf, sizeof buf, avctx, 0);
    ffapi::avcodec_free_context(&avctx);
  }
  s += std::string(": ") + buf;
  AVRational ssar = st->sample_aspect_ratio, csar = par->sample_aspect_ratio;
  if (ssar.num && int64_t(ssar.num) * csar.den != int64_t(csar.num) * ssar.den) {
    int dn = 0, dd = 0;
    ffapi::av_reduce(&dn, &dd, int64_t(par->width) * ssar.num, int64_t(par->height) * ssar.den, 1024 * 1024);
    s = FormatStr("%s, PAR %d:%d DAR %d:%d", s.c_str(), ssar.num, ssar.den, dn, dd);
  }
  if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
    if (st->avg_frame_rate.den && st->avg_frame_rate.num) s += FormatRateText(av_q2d(st->avg_frame_rate), "fps");
    if (st->r_frame_rate.den && st->r_frame_rate.num) s += FormatRateText(av_q2d(st->r_frame_rate), "tbr");
    if (st->time_base.den && st->time_base.num) s += FormatRateText(1 / av_q2d(st->time_base), "tbn");
  }
  AVRational us{1, 1000000};
  if (st->start_time != AV_NOPTS_VALUE)
    s += ", StartTime: " + SecondsText(ffapi::av_rescale_q(st->start_time, st->time_base, us));
  if (st->duration == AV_NOPTS_VALUE)
    s += ", Duration: N/A";
  else
    s += ", Duration: " + FormatTimeText(ffapi::av_rescale_q(st->duration, st->time_base, us));
  lines.push_back(s);
  DumpMetadata(lines, st->metadata, "  ");
}

std::string TCustomAVProbe::FileInfoText() {
  AVFormatContext* ic = FFileHandle;
  if (!ic) {
    ReportMessage(AV_LOG_WARNING, "file not loaded.");
    return "";
  }
  std::vector<std::string> lines;
  lines.push_back("File Name: " + FileName());
  lines.push_back("Format Name: " + FormatName());
  lines.push_back("Format Long Name: " + FormatLongName());
  lines.push_back("File Size: " + SizeToText(FFileSize));
  TFileStreamInfo info = FileStreamInfo();
  lines.push_back(info.Duration < 0 ? std::string("Duration: N/A") : "Duration: " + FormatTimeText(info.Duration));
  if (info.StartTime >= 0) lines.push_back("StartTime: " + SecondsText(info.StartTime));
  lines.push_back(info.BitRate < 1 ? std::string("Bit Rate: N/A")
                                   : FormatStr("Bit Rate: %d kb/s", info.BitRate / 1000));
  if (info.TimeStamp > 0)
    lines.push_back("Time Stamp: " + FormatDateTimeText("yyyy-mm-dd hh:nn:ss", UnixToLocalDateTime(info.TimeStamp)));
  DumpMetadata(lines, ic->metadata, "");
  std::vector<bool> shown(ic->nb_streams, false);
  for (unsigned p = 0; p < ic->nb_programs; p++) {
    AVProgram* pg = ic->programs[p];
    std::string provider = MetaValue(pg->metadata, "provider_name"), name = MetaValue(pg->metadata, "name");
    lines.push_back(FormatStr("Program %d %s@%s", pg->id, provider.empty() ? "N/A" : provider.c_str(),
                              name.empty() ? "N/A" : name.c_str()));
    DumpMetadata(lines, pg->metadata, "  ");
    for (unsigned k = 0; k < pg->nb_stream_indexes; k++) {
      unsigned si = pg->stream_index[k];
      if (si >= ic->nb_streams) continue;
      DumpStreamFormat(lines, int(si));
      shown[si] = true;
    }
  }
  for (unsigned i = 0; i < ic->nb_streams; i++)
    if (!shown[i]) DumpStreamFormat(lines, int(i));
  std::string text;
  for (auto& l : lines) text += l + "\r\n";
  return text;
}

}  // namespace media
