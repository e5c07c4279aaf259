#include "media/FFConverter.h"

#include <cmath>

namespace media {

void InitInputOptions(TInputOptions& o) { o = TInputOptions(); }
void InitOutputOptions(TOutputOptions& o) { o = TOutputOptions(); }

TOptionLines ParseOptionText(const std::string& raw) {
  std::string text = TrimStr(raw), norm;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      norm += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      norm += text[i];
    }
  }
  std::string out;
  for (size_t pos = 0;;) {
    size_t t = norm.find("<CRLF>", pos);
    out += norm.substr(pos, t == std::string::npos ? std::string::npos : t - pos);
    if (t == std::string::npos) break;
    out += '\n';
    pos = t + 6;
  }
  TOptionLines lines;
  size_t start = 0;
  while (start <= out.size()) {
    size_t nl = out.find('\n', start);
    std::string line = out.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!line.empty()) {
      size_t eq = line.find('=');
      if (eq == std::string::npos)
        lines.emplace_back(line, std::string());
      else
        lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return lines;
}

namespace {

int64_t TimeOrNone(const std::string& v) {
  int64_t t;
  return TryStrToInt64(v, t) ? t : NoTime;
}

}  // namespace

TInputOptions InputOptionsFromText(const std::string& text) {
  TInputOptions o;
  for (auto& [name, value] : ParseOptionText(text)) {
    if (SameText(name, "TimeStart"))
      o.TimeStart = TimeOrNone(value);
    else
      o.ExtOptions += name + "=" + value + "\n";
  }
  return o;
}

TOutputOptions OutputOptionsFromText(const std::string& text) {
  TOutputOptions o;
  for (auto& [name, value] : ParseOptionText(text)) {
    if (SameText(name, "Hook") || SameText(name, "CustomHook"))
      o.CustomHook = true;
    else if (SameText(name, "Join"))
      o.Join = true;
    else if (SameText(name, "TimeStart"))
      o.TimeStart = TimeOrNone(value);
    else if (SameText(name, "TimeLength"))
      o.TimeLength = TimeOrNone(value);
    else
      o.ExtOptions += name + "=" + value + "\n";
  }
  return o;
}

void ApplyExtOptions(TCustomFFmpeg& f, const std::string& ext, bool codecNamesAllowed) {
  static const char* const skipped[] = {"newvideo", "newaudio", "newsubtitle", "apre",
                                        "vpre",     "spre",     "vfilters",    "vf"};
  static const char* const codecs[] = {"acodec", "vcodec", "scodec", "s"};
  for (auto& [rawName, value] : ParseOptionText(ext)) {
    const std::string name = LowerStr(rawName);
    bool skip = false;
    for (const char* s : skipped) skip = skip || name == s;
    for (const char* c : codecs) skip = skip || (!codecNamesAllowed && name == c);
    if (!skip) f.dispatch_option(name, value);
  }
}

bool SetupInput(TCustomFFmpeg& f, const std::string& fileName, TInputOptions& o) {
  if (o.FileName.empty()) o.FileName = fileName;
  ApplyExtOptions(f, o.ExtOptions, true);
  f.dispatch_option("f", o.FileFormat);
  f.set_start_time(o.TimeStart);
  f.set_programid(o.ProgramID);
  return f.open_input_file(fileName);
}

TOptionLines BuildStreamDefaults(const TOutputOptions& o) {
  TOptionLines list;
  auto def = [&](const char* name, const std::string& v) {
    if (!v.empty()) list.emplace_back(name, v);
  };
  def("def_acodec", o.AudioCodec);
  def("def_vcodec", o.VideoCodec);
  def("def_scodec", o.SubtitleCodec);
  def("def_apre", o.AudioPreset);
  def("def_vpre", o.VideoPreset);
  def("def_spre", o.SubtitlePreset);
  def("def_s", o.FrameSize);
  def("def_vf", o.VideoFilters);
  static const char* const taken[] = {"acodec", "vcodec", "scodec", "apre", "vpre", "spre", "s", "vfilters", "vf"};
  for (auto& [rawName, value] : ParseOptionText(o.ExtOptions)) {
    std::string name = LowerStr(rawName);
    bool take = false;
    for (const char* t : taken) take = take || name == t;
    if (!take || value.empty()) continue;
    if (name == "vfilters") name = "vf";
    bool hasDef = false;
    for (auto& l : list) hasDef = hasDef || l.first == "def_" + name;
    if (!hasDef) list.emplace_back("def_" + name, value);
    list.emplace_back(name, value);
  }
  return list;
}

namespace {

std::string ListValue(const TOptionLines& list, const std::string& name) {
  for (auto& l : list)
    if (l.first == name) return l.second;
  return std::string();
}

bool ListHas(const TOptionLines& list, const std::string& name) {
  for (auto& l : list)
    if (l.first == name) return true;
  return false;
}

}  // namespace

void ApplyTarget(TCustomFFmpeg& f, const TOutputOptions& o) {
  const char* target = o.TargetType == TOptionTargetType::ttVCD    ? "vcd"
                       : o.TargetType == TOptionTargetType::ttSVCD ? "svcd"
                       : o.TargetType == TOptionTargetType::ttDVD  ? "dvd"
                                                                   : nullptr;
  if (!target) return;
  const char* norm = o.NormType == TOptionNormType::ntPAL    ? "pal"
                     : o.NormType == TOptionNormType::ntNTSC ? "ntsc"
                                                             : "auto";
  const char* def = o.NormDefault == TOptionNormType::ntPAL ? "pal" : "ntsc";
  f.setup_target(target, norm, def);
}

int64_t OutputTimeStamp(TDateTime t) { return std::llround((t - 25569.0 - TimeZoneOffsetDays()) * 86400.0); }

void ApplyOutputOptions(TCustomFFmpeg& f, const TOutputOptions& o) {
  auto generic = [&](const char* name, int v) {
    if (v > 0) f.set_generic_option(name, static_cast<int64_t>(v));
  };
  auto opt = [&](const char* name, const std::string& v) {
    if (!v.empty()) f.dispatch_option(name, v);
  };
  f.dispatch_option("f", o.FileFormat);
  generic("packetsize", o.PacketSize);
  generic("muxrate", o.MuxRate);
  f.set_mux_max_delay(o.MuxDelay);
  f.set_mux_preload(o.MuxPreload);
  if (o.DisableAudio) f.dispatch_option("an", "1");
  f.set_audio_volume(o.AudioVolume);
  if (o.AudioChannels > 0) f.dispatch_option("ac", std::to_string(o.AudioChannels));
  if (o.AudioSampleRate > 0) f.dispatch_option("ar", std::to_string(o.AudioSampleRate));
  if (o.AudioBitrate > 0) f.set_bitrate("ab", std::to_string(o.AudioBitrate));
  generic("abt", o.AudioBitRateTolerance);
  f.Faudio_language = o.AudioLanguage;
  f.set_audio_sync_method(o.AudioSyncMethod);
  opt("atag", o.AudioTag);
  if (o.DisableVideo) f.dispatch_option("vn", "1");
  opt("r", o.FrameRate);
  opt("aspect", o.FrameAspectRatio);
  if (o.CropTop > 0) f.dispatch_option("croptop", std::to_string(o.CropTop));
  if (o.CropBottom > 0) f.dispatch_option("cropbottom", std::to_string(o.CropBottom));
  if (o.CropLeft > 0) f.dispatch_option("cropleft", std::to_string(o.CropLeft));
  if (o.CropRight > 0) f.dispatch_option("cropright", std::to_string(o.CropRight));
  generic("g", o.GroupPictureSize);
  if (o.VideoBitrate > 0) f.set_bitrate("vb", std::to_string(o.VideoBitrate));
  generic("maxrate", o.VideoMaxRate);
  generic("minrate", o.VideoMinRate);
  generic("bt", o.VideoBitRateTolerance);
  generic("bufsize", o.VideoBufSize);
  f.set_video_sync_method(o.VideoSyncMethod);
  opt("vtag", o.VideoTag);
  f.Fvideo_language = o.VideoLanguage;
  if (o.DisableSubtitle) f.dispatch_option("sn", "1");
  f.Fsubtitle_language = o.SubtitleLanguage;
  f.Finput_sync = o.InputSync;
  if (o.CopyTimestamp) f.dispatch_option("copyts", "1");
  f.set_start_time(o.TimeStart);
  f.set_recording_time(o.TimeLength);
  if (o.Info.TimeStamp == 0)
    f.Frecording_timestamp = OutputTimeStamp(Now());
  else if (o.Info.TimeStamp > 0)
    f.Frecording_timestamp = OutputTimeStamp(o.Info.TimeStamp);
  if (o.Info.Year > 0) f.add_metadata("year", std::to_string(o.Info.Year));
  if (o.Info.Track > 0) f.add_metadata("track", std::to_string(o.Info.Track));
  const std::pair<const char*, const std::string*> tags[] = {
      {"title", &o.Info.Title},     {"author", &o.Info.Author}, {"copyright", &o.Info.Copyright},
      {"comment", &o.Info.Comment}, {"album", &o.Info.Album},   {"genre", &o.Info.Genre}};
  for (auto& t : tags)
    if (!t.second->empty()) f.add_metadata(t.first, *t.second);
}

void ApplyStreamGroups(TCustomFFmpeg& f, const std::string& ext, TOptionLines& list) {
  auto take = [&](const std::string& name) {
    for (auto it = list.begin(); it != list.end(); ++it)
      if (it->first == name) {
        std::string v = it->second;
        list.erase(it);
        f.dispatch_option(name, v);
        return;
      }
    f.dispatch_option(name, ListValue(list, "def_" + name));
  };
  for (auto& [rawName, value] : ParseOptionText(ext)) {
    const std::string name = LowerStr(rawName);
    if (name == "newaudio") {
      take("acodec");
      take("apre");
    } else if (name == "newvideo") {
      take("vcodec");
      take("vpre");
      take("s");
      take("vf");
    } else if (name == "newsubtitle") {
      take("scodec");
      take("spre");
    } else {
      continue;
    }
    f.dispatch_option(name, value);
  }
}

int SetupOutput(TCustomFFmpeg& f, const std::string& fileName, TOutputOptions& o,
                const std::function<void()>& bindCustomHook) {
  if (o.FileName.empty()) o.FileName = fileName;
  TOptionLines list = BuildStreamDefaults(o);
  ApplyTarget(f, o);
  if (ListHas(list, "def_acodec")) f.dispatch_option("acodec", ListValue(list, "def_acodec"));
  if (ListHas(list, "def_vcodec")) f.dispatch_option("vcodec", ListValue(list, "def_vcodec"));
  if (ListHas(list, "def_scodec")) f.dispatch_option("scodec", ListValue(list, "def_scodec"));
  f.dispatch_option("apre", ListValue(list, "def_apre"));
  f.dispatch_option("vpre", ListValue(list, "def_vpre"));
  f.dispatch_option("spre", ListValue(list, "def_spre"));
  ApplyExtOptions(f, o.ExtOptions, false);
  ApplyOutputOptions(f, o);
  f.dispatch_option("s", ListValue(list, "def_s"));
  f.dispatch_option("vf", ListValue(list, "def_vf"));
  if (o.CustomHook && bindCustomHook) bindCustomHook();
  int r = f.open_output_file(fileName, o.Join);
  if (r < 0) {
    InitOutputOptions(o);
    return -1;
  }
  ApplyStreamGroups(f, o.ExtOptions, list);
  return r;
}

}  // namespace media
