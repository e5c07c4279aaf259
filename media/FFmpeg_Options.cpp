// The option vocabulary of the transcoder, targets and presets.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "media/FFmpeg.h"
#include "media/EngineUtils.h"

namespace media {

namespace {

const std::vector<const char*> kOptionNames = {"L",
                                               "h",
                                               "version",
                                               "formats",
                                               "codecs",
                                               "bsfs",
                                               "protocols",
                                               "filters",
                                               "loglevel",
                                               "f",
                                               "i",
                                               "y",
                                               "map",
                                               "map_meta_data",
                                               "t",
                                               "fs",
                                               "ss",
                                               "itsoffset",
                                               "itsscale",
                                               "timestamp",
                                               "metadata",
                                               "dframes",
                                               "benchmark",
                                               "timelimit",
                                               "dump",
                                               "hex",
                                               "re",
                                               "loop_input",
                                               "loop_output",
                                               "v",
                                               "target",
                                               "threads",
                                               "vsync",
                                               "async",
                                               "adrift_threshold",
                                               "vglobal",
                                               "copyts",
                                               "shortest",
                                               "dts_delta_threshold",
                                               "programid",
                                               "xerror",
                                               "copyinkf",
                                               "b",
                                               "vb",
                                               "vframes",
                                               "r",
                                               "s",
                                               "aspect",
                                               "pix_fmt",
                                               "croptop",
                                               "cropbottom",
                                               "cropleft",
                                               "cropright",
                                               "padtop",
                                               "padbottom",
                                               "padleft",
                                               "padright",
                                               "padcolor",
                                               "intra",
                                               "vn",
                                               "vdt",
                                               "qscale",
                                               "rc_override",
                                               "vcodec",
                                               "me_threshold",
                                               "sameq",
                                               "pass",
                                               "passlogfile",
                                               "deinterlace",
                                               "psnr",
                                               "vstats",
                                               "vstats_file",
                                               "vhook",
                                               "vfilters",
                                               "vf",
                                               "intra_matrix",
                                               "inter_matrix",
                                               "top",
                                               "dc",
                                               "vtag",
                                               "newvideo",
                                               "vlang",
                                               "qphist",
                                               "force_fps",
                                               "streamid",
                                               "ab",
                                               "aframes",
                                               "aq",
                                               "ar",
                                               "ac",
                                               "an",
                                               "acodec",
                                               "atag",
                                               "vol",
                                               "newaudio",
                                               "alang",
                                               "sample_fmt",
                                               "sn",
                                               "scodec",
                                               "newsubtitle",
                                               "slang",
                                               "stag",
                                               "vc",
                                               "tvstd",
                                               "isync",
                                               "muxdelay",
                                               "muxpreload",
                                               "absf",
                                               "vbsf",
                                               "sbsf",
                                               "apre",
                                               "vpre",
                                               "spre",
                                               "fpre"};

bool Is(const std::string& n, std::initializer_list<const char*> names) {
  for (const char* x : names)
    if (n == x) return true;
  return false;
}

// strtol in base 0 that never reads past the text.
long ReadBase0(const char*& p) {
  char* end = nullptr;
  long v = std::strtol(p, &end, 0);
  p = end;
  return v;
}

}  // namespace

const std::vector<const char*>& TCustomFFmpeg::OptionNames() { return kOptionNames; }

bool TCustomFFmpeg::set_generic_option(const std::string& name, const std::string& value) {
  return set_default_option(FOptions, name, value);
}

bool TCustomFFmpeg::set_generic_option(const std::string& name, int64_t value) {
  return set_default_option(FOptions, name, std::to_string(value));
}

void TCustomFFmpeg::dispatch_option(const std::string& n, const std::string& v) {
  // Accepted and ignored.
  if (Is(n, {"L", "h", "version", "formats", "codecs", "bsfs", "protocols", "filters", "i", "y", "benchmark"})) {
    Log(TLogLevel::llInfo, "Do nothing: option - " + n);
    return;
  }
  if (n == "threads") throw FFmpegException("TODO: option - " + n);
  if (Is(n, {"padtop", "padbottom", "padleft", "padright", "padcolor"}))
    throw FFmpegException("Please use vfilters=pad");
  if (n == "timelimit") {
    Log(TLogLevel::llWarning, "Warning: -timelimit not implemented on Windows");
    return;
  }
  // Switches: "0" is off, anything else (the empty text too) is on.
  static const std::map<std::string, bool TCustomFFmpeg::*> switches = {
      {"dump", &TCustomFFmpeg::Fdo_pkt_dump},
      {"hex", &TCustomFFmpeg::Fdo_hex_dump},
      {"re", &TCustomFFmpeg::Frate_emu},
      {"loop_input", &TCustomFFmpeg::Floop_input},
      {"shortest", &TCustomFFmpeg::Fopt_shortest},
      {"intra", &TCustomFFmpeg::Fintra_only},
      {"vn", &TCustomFFmpeg::Fvideo_disable},
      {"sameq", &TCustomFFmpeg::Fsame_quality},
      {"deinterlace", &TCustomFFmpeg::Fdo_deinterlace},
      {"psnr", &TCustomFFmpeg::Fdo_psnr},
      {"qphist", &TCustomFFmpeg::Fqp_hist},
      {"force_fps", &TCustomFFmpeg::Fforce_fps},
      {"an", &TCustomFFmpeg::Faudio_disable},
      {"sn", &TCustomFFmpeg::Fsubtitle_disable},
      {"isync", &TCustomFFmpeg::Finput_sync}};
  if (auto it = switches.find(n); it != switches.end()) {
    this->*(it->second) = v != "0";
    return;
  }
  if (n == "copyts") {
    Fcopy_ts = true;
    return;
  }
  if (n == "xerror") {
    Fexit_on_error = true;
    return;
  }
  static const std::map<std::string, int TCustomFFmpeg::*> integers = {
      {"loop_output", &TCustomFFmpeg::Floop_output},
      {"v", &TCustomFFmpeg::Fverbose},
      {"vsync", &TCustomFFmpeg::Fvideo_sync_method},
      {"async", &TCustomFFmpeg::Faudio_sync_method},
      {"vglobal", &TCustomFFmpeg::Fvideo_global_header},
      {"programid", &TCustomFFmpeg::Fopt_programid},
      {"copyinkf", &TCustomFFmpeg::Fcopy_initial_nonkeyframes},
      {"vdt", &TCustomFFmpeg::Fvideo_discard},
      {"dc", &TCustomFFmpeg::Fintra_dc_precision},
      {"vol", &TCustomFFmpeg::Faudio_volume},
      {"top", &TCustomFFmpeg::Ftop_field_first},
      {"me_threshold", &TCustomFFmpeg::Fme_threshold},
      {"vc", &TCustomFFmpeg::Fvideo_channel}};
  if (auto it = integers.find(n); it != integers.end()) {
    this->*(it->second) = StrToInt(v);
    return;
  }
  if (n == "vframes") {
    Fmax_frames[0] = StrToInt(v);
    return;
  }
  if (n == "aframes") {
    Fmax_frames[1] = StrToInt(v);
    return;
  }
  if (n == "dframes") {
    Fmax_frames[2] = StrToInt(v);
    return;
  }
  if (n == "fs") {
    Flimit_filesize = StrToInt64(v);
    return;
  }
  if (n == "ar" || n == "ac") {
    int x = StrToInt(v);
    if (x > 0) (n == "ar" ? Faudio_sample_rate : Faudio_channels) = x;
    return;
  }
  static const std::map<std::string, float TCustomFFmpeg::*> reals = {
      {"adrift_threshold", &TCustomFFmpeg::Faudio_drift_threshold},
      {"dts_delta_threshold", &TCustomFFmpeg::Fdts_delta_threshold},
      {"aq", &TCustomFFmpeg::Faudio_qscale},
      {"muxdelay", &TCustomFFmpeg::Fmux_max_delay},
      {"muxpreload", &TCustomFFmpeg::Fmux_preload}};
  if (auto it = reals.find(n); it != reals.end()) {
    this->*(it->second) = static_cast<float>(StrToFloat(v));
    return;
  }
  if (n == "qscale") {
    double x = StrToFloat(v);
    if (x <= 0 || x > 255) throw FFmpegException("qscale must be > 0.0 and <= 255");
    Fvideo_qscale = static_cast<float>(x);
    return;
  }
  if (n == "vlang") {
    Fvideo_language = v;
    return;
  }
  if (n == "alang") {
    Faudio_language = v;
    return;
  }
  if (n == "slang") {
    Fsubtitle_language = v;
    return;
  }
  if (n == "passlogfile") {
    Fpass_logfilename_prefix = v;
    return;
  }
  if (n == "tvstd") {
    Fvideo_standard = v;
    return;
  }
  if (n == "rc_override") {
    Fvideo_rc_override_string = v;
    return;
  }
  if (n == "vstats_file") {
    Fvstats_filename = v;
    return;
  }
  if (n == "vfilters" || n == "vf") {
    if (!v.empty()) Fvfilters = v;
    return;
  }
  if (n == "loglevel") {
    FFLoggerInstance().OptLogLevel(v);
    return;
  }
  if (n == "f") {
    if (v.empty()) return;
    std::string fmt = v;
    if (fmt == "pgmyuv") {
      Fpgmyuv_compatibility_hack = 1;
      Log(TLogLevel::llInfo, "pgmyuv format is deprecated, use image2");
      fmt = "image2";
    }
    Flast_asked_format = fmt;
    return;
  }
  if (Is(n, {"r", "s", "aspect", "pix_fmt", "croptop", "cropbottom", "cropleft", "cropright", "intra_matrix",
             "inter_matrix", "vtag", "vhook", "vstats", "sample_fmt", "atag", "stag"})) {
    ApplyVideoValue(n, v);
    return;
  }
  if (Is(n, {"b", "vb", "ab"})) {
    set_bitrate(n, v);
    return;
  }
  if (Is(n, {"vcodec", "acodec", "scodec"})) {
    set_codec(n, v);
    return;
  }
  if (Is(n, {"map", "map_meta_data", "itsscale", "streamid"})) {
    ApplyMapOption(n, v);
    return;
  }
  if (Is(n, {"t", "ss", "itsoffset", "timestamp"})) {
    parse_time_option(n, v);
    return;
  }
  if (n == "metadata") {
    size_t eq = v.find('=');
    if (eq == std::string::npos) throw FFmpegException("Missing =");
    add_metadata(v.substr(0, eq), v.substr(eq + 1));
    return;
  }
  if (n == "pass") {
    int p = StrToInt(v);
    if (p != 1 && p != 2) throw FFmpegException("pass number can be only 1 or 2");
    Fdo_pass = p;
    return;
  }
  if (n == "target") {
    set_target(v);
    return;
  }
  if (Is(n, {"apre", "vpre", "spre", "fpre"})) {
    load_preset(n, v);
    return;
  }
  if (Is(n, {"newvideo", "newaudio", "newsubtitle"})) {
    if (Foutput_files.empty()) throw FFmpegException("At least one output file must be specified");
    TOutputFile& of = *Foutput_files.back();
    if (n == "newvideo")
      new_video_stream(of);
    else if (n == "newaudio")
      new_audio_stream(of);
    else
      new_subtitle_stream(of);
    return;
  }
  if (Is(n, {"absf", "vbsf", "sbsf"})) {
    add_bitstream_filter(n, v);
    return;
  }
  // Everything else belongs to the libraries' own options; a name they do not
  // know changes nothing.
  set_generic_option(n, v);
}

void TCustomFFmpeg::ApplyVideoValue(const std::string& n, const std::string& v) {
  if (n == "r") {
    if (v.empty()) return;
    AVRational r;
    if (ffapi::av_parse_video_rate(&r, v.c_str()) < 0) throw FFmpegException("Incorrect frame rate");
    Fframe_rate = r;
  } else if (n == "s") {
    if (v.empty()) return;
    int w, h;
    if (ffapi::av_parse_video_size(&w, &h, v.c_str()) < 0) throw FFmpegException("Incorrect frame size");
    Fframe_width = w;
    Fframe_height = h;
  } else if (n == "aspect") {
    if (v.empty()) return;
    double ratio = 0;
    size_t colon = v.find(':');
    if (colon != std::string::npos) {
      int64_t a = 0, b = 0;
      if (!TryStrToInt64(v.substr(0, colon), a)) a = 0;
      if (!TryStrToInt64(v.substr(colon + 1), b)) b = 0;
      ratio = b > 0 ? static_cast<double>(a) / static_cast<double>(b) : 0;
    } else if (!TryStrToFloat(v, ratio)) {
      ratio = 0;
    }
    if (ratio == 0) throw FFmpegException("Incorrect aspect ratio specification.");
    Fframe_aspect_ratio = static_cast<float>(ratio);
  } else if (n == "pix_fmt") {
    if (v == "list") {
      Log(TLogLevel::llInfo, "name        nb_components bits_per_pixel");
      for (const AVPixFmtDescriptor* d = ffapi::av_pix_fmt_desc_next(nullptr); d; d = ffapi::av_pix_fmt_desc_next(d))
        Log(TLogLevel::llInfo,
            TrimStr(FormatStr("%-11s %7d %10d", d->name, d->nb_components, ffapi::av_get_bits_per_pixel(d))));
      return;
    }
    Fframe_pix_fmt = ffapi::av_get_pix_fmt(v.c_str());
    if (Fframe_pix_fmt == AV_PIX_FMT_NONE) {
      Fframe_pix_fmt = -1;
      throw FFmpegException(FormatStr("Unknown pixel format requested: %s", v.c_str()));
    }
  } else if (Is(n, {"croptop", "cropbottom", "cropleft", "cropright"})) {
    int c = StrToInt(v);
    if (c <= 0) return;
    const bool vertical = n == "croptop" || n == "cropbottom";
    if (vertical ? c >= Fframe_height : c >= Fframe_width)
      throw FFmpegException(std::string(vertical ? "Vertical" : "Horizontal") +
                            " crop dimensions are outside the range of the original image.\n"
                            "Remember to crop first and scale second.");
    Log(TLogLevel::llWarning, "CropXXX is deprecated in favor of the crop avfilter");
    if (n == "croptop")
      Fframe_topBand = c;
    else if (n == "cropbottom")
      Fframe_bottomBand = c;
    else if (n == "cropleft")
      Fframe_leftBand = c;
    else
      Fframe_rightBand = c;
    (vertical ? Fframe_height : Fframe_width) -= c;
  } else if (n == "intra_matrix" || n == "inter_matrix") {
    parse_matrix(n == "intra_matrix" ? Fintra_matrix : Finter_matrix, v);
  } else if (n == "vtag" || n == "atag" || n == "stag") {
    if (v.empty()) return;
    uint32_t tag = parse_tag(v, n == "vtag" ? "video" : n == "atag" ? "audio" : "subtitle");
    (n == "vtag" ? Fvideo_codec_tag : n == "atag" ? Faudio_codec_tag : Fsubtitle_codec_tag) = tag;
  } else if (n == "vhook") {
    // Arguments at "|" when there is one, else at blanks; at most 64.
    std::vector<std::string> args;
    const char sep = v.find('|') != std::string::npos ? '|' : ' ';
    std::string cur;
    for (size_t i = 0; i <= v.size(); ++i) {
      if (i == v.size() || v[i] == sep || (sep == ' ' && v[i] == '\t')) {
        if (!cur.empty() && args.size() < 64) args.push_back(cur);
        cur.clear();
      } else {
        cur += v[i];
      }
    }
    if (args.empty()) throw FFmpegException("Failed to add video hook function: " + v);
    Fvhooks.push_back(args);
    Fusing_vhook = true;
  } else if (n == "vstats") {
    // The program folder may be read-only; then the statistics go to the
    // temporary folder.
    std::string folder = ExeFolder();
    if (::access(folder.c_str(), W_OK) != 0) {
      const char* tmp = std::getenv("TMPDIR");
      folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/";
    }
    Fvstats_filename = FormatStr("%svstats_%s.log", folder.c_str(), FormatDateTimeText("hhnnss", Now()).c_str());
  } else if (n == "sample_fmt") {
    if (v == "list") {
      for (int i = -1; i < AV_SAMPLE_FMT_NB; ++i) {
        char buf[128] = {};
        ffapi::av_get_sample_fmt_string(buf, sizeof buf, static_cast<AVSampleFormat>(i));
        Log(TLogLevel::llInfo, TrimStr(buf));
      }
      return;
    }
    Faudio_sample_fmt = ffapi::av_get_sample_fmt(v.c_str());
  }
}

uint32_t TCustomFFmpeg::parse_tag(const std::string& v, const char* what) {
  if (v.size() != 4) throw EAssertionFailed(FormatStr("%s tag parameter must be 4 chars", what));
  return static_cast<uint8_t>(v[0]) | (static_cast<uint8_t>(v[1]) << 8) | (static_cast<uint8_t>(v[2]) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(v[3])) << 24);
}

void TCustomFFmpeg::parse_matrix(std::vector<uint16_t>& m, const std::string& value) {
  m.assign(64, 0);
  size_t pos = 0;
  for (int i = 0; i < 64; ++i) {
    size_t comma = value.find(',', pos);
    std::string item = value.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    int64_t c = 0;
    if (!TryStrToInt64(item, c)) c = 0;
    m[i] = static_cast<uint16_t>(c);
    if (i == 63) break;
    if (comma == std::string::npos)
      throw FFmpegException(FormatStr("Syntax error in matrix \"%s\" at coeff %d", value.c_str(), i));
    pos = comma + 1;
  }
}

void TCustomFFmpeg::set_bitrate(const std::string& name, const std::string& value) {
  if (name.empty() || value.empty()) return;
  if (!set_generic_option(name, value)) return;
  AVCodecContext* ctx = FOptions.avcodec_opts[name == "ab" ? 1 : 0];
  int64_t b = 0;
  if (ctx && ffapi::av_opt_get_int(ctx, "b", 0, &b) >= 0 && b < 1000)
    Log(TLogLevel::llWarning,
        "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
}

void TCustomFFmpeg::set_codec(const std::string& name, const std::string& value) {
  if (value.empty()) return;
  std::string& codec = name == "vcodec"   ? Fvideo_codec_name
                       : name == "acodec" ? Faudio_codec_name
                                          : Fsubtitle_codec_name;
  int& copy = name == "vcodec" ? Fvideo_stream_copy : name == "acodec" ? Faudio_stream_copy : Fsubtitle_stream_copy;
  codec.clear();
  if (value == "copy")
    copy = 1;
  else
    codec = value;
}

void TCustomFFmpeg::ApplyMapOption(const std::string& n, const std::string& v) {
  const char* p = v.c_str();
  if (n == "map") {
    if (static_cast<int>(Fstream_maps.size()) >= MAX_STREAMS * FMaxFiles)
      throw FFmpegException(FormatStr("Too many stream maps (at most %d)", MAX_STREAMS * FMaxFiles));
    TAVStreamMap m;
    m.file_index = static_cast<int>(ReadBase0(p));
    if (*p) ++p;
    m.stream_index = static_cast<int>(ReadBase0(p));
    if (*p) {
      ++p;
      m.sync_file_index = static_cast<int>(ReadBase0(p));
      if (*p) ++p;
      m.sync_stream_index = static_cast<int>(ReadBase0(p));
    } else {
      m.sync_file_index = m.file_index;
      m.sync_stream_index = m.stream_index;
    }
    Fstream_maps.push_back(m);
  } else if (n == "map_meta_data") {
    if (static_cast<int>(Fmeta_data_maps.size()) >= FMaxFiles)
      throw FFmpegException(FormatStr("Too many metadata maps (at most %d)", FMaxFiles));
    TAVMetaDataMap m;
    m.out_file = static_cast<int>(ReadBase0(p));
    if (*p) ++p;
    m.in_file = static_cast<int>(ReadBase0(p));
    Fmeta_data_maps.push_back(m);
  } else if (n == "itsscale") {
    long index = ReadBase0(p);
    if (*p) ++p;
    double scale = std::strtod(p, nullptr);
    if (index >= MAX_STREAMS) throw FFmpegException(FormatStr("stream index over MAX_STREAMS(%d)", MAX_STREAMS));
    if (index < 0) throw FFmpegException(FormatStr("Invalid stream index %ld", index));
    if (Fnext_input_ts_scale.size() < MAX_STREAMS) Fnext_input_ts_scale.resize(MAX_STREAMS, 0.0);
    Fnext_input_ts_scale[index] = scale;
  } else if (n == "streamid") {
    size_t colon = v.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= v.size())
      throw FFmpegException(FormatStr("Invalid value \"%s\" for option \"%s\", required syntax is \"index:value\"",
                                      v.c_str(), n.c_str()));
    int index = StrToInt(v.substr(0, colon));
    int id = StrToInt(v.substr(colon + 1));
    if (index < 0 || index >= 4096) throw FFmpegException(FormatStr("Invalid stream index %d in streamid", index));
    if (static_cast<int>(Fstreamid_map.size()) <= index) Fstreamid_map.resize(index + 1, 0);
    Fstreamid_map[index] = id;
  }
}

void TCustomFFmpeg::parse_time_option(const std::string& n, const std::string& v) {
  const bool duration = n != "timestamp";
  int64_t us = 0;
  if (ffapi::av_parse_time(&us, v.c_str(), duration ? 1 : 0) < 0)
    throw FFmpegException(
        FormatStr("Invalid %s specification for %s: %s", duration ? "duration" : "date", n.c_str(), v.c_str()));
  if (n == "t")
    set_recording_time(us);
  else if (n == "ss")
    Fstart_time = us;
  else if (n == "itsoffset")
    Finput_ts_offset = us;
  else
    Frecording_timestamp = std::llround(static_cast<double>(us) / 1000000.0);
}

void TCustomFFmpeg::add_bitstream_filter(const std::string& n, const std::string& v) {
  if (v.empty() || v[0] == '=') return;
  size_t eq = v.find('=');
  std::string name = eq != std::string::npos && eq >= 1 ? v.substr(0, eq) : v;
  if (!ffapi::av_bsf_get_by_name(TrimStr(name).c_str()))
    throw FFmpegException(FormatStr("Unknown bitstream filter %s", TrimStr(v).c_str()));
  (n[0] == 'v'   ? Fvideo_bitstream_filters
   : n[0] == 'a' ? Faudio_bitstream_filters
                 : Fsubtitle_bitstream_filters)
      .push_back(TrimStr(v));
}

// --- targets -------------------------------------------------------------------

void TCustomFFmpeg::set_target(const std::string& value) {
  std::string v = TrimStr(value), norm = "auto", target = v;
  if (v.rfind("pal-", 0) == 0) {
    norm = "pal";
    target = v.substr(4);
  } else if (v.rfind("ntsc-", 0) == 0) {
    norm = "ntsc";
    target = v.substr(5);
  } else if (v.rfind("film-", 0) == 0) {
    norm = "film";
    target = v.substr(5);
  }
  setup_target(target, norm, "ntsc");
}

void TCustomFFmpeg::setup_target(const std::string& ATarget, const std::string& ANorm,
                                 const std::string& ADefaultNorm) {
  enum { PAL = 0, NTSC = 1, FILM = 2, UNKNOWN = 3 };
  static const char* const frame_rates[4] = {"25", "30000/1001", "24000/1001", ""};
  int norm = UNKNOWN;
  if (ANorm == "pal")
    norm = PAL;
  else if (ANorm == "ntsc")
    norm = NTSC;
  else if (ANorm == "film")
    norm = FILM;
  else {
    if (Fframe_rate.den == 0) throw FFmpegException("frame_rate is invalid.");
    auto decide = [&](int64_t r) {
      if (r == 25000)
        norm = PAL;
      else if (r == 29970 || r == 23976)
        norm = NTSC;
    };
    decide(std::llround(Fframe_rate.num * 1000.0 / Fframe_rate.den));
    for (size_t i = 0; norm == UNKNOWN && i < Finput_files.size(); ++i) {
      AVFormatContext* ic = Finput_files[i]->ic;
      for (unsigned j = 0; norm == UNKNOWN && j < ic->nb_streams; ++j) {
        AVStream* st = ic->streams[j];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        // The codec time base of the old libraries: one frame at the
        // stream's average rate.
        AVRational fr = st->avg_frame_rate.num ? st->avg_frame_rate : st->r_frame_rate;
        if (fr.den) decide(std::llround(fr.num * 1000.0 / fr.den));
      }
    }
    if (norm == UNKNOWN) norm = ADefaultNorm == "film" ? FILM : ADefaultNorm == "ntsc" ? NTSC : PAL;
    if (Fverbose > 0) Log(TLogLevel::llVerbose, FormatStr("Assuming %s for target.", norm == PAL ? "PAL" : "NTSC"));
  }
  const bool pal = norm == PAL;
  const std::string rate = frame_rates[norm];
  if (ATarget == "vcd") {
    set_codec("vcodec", "mpeg1video");
    set_codec("acodec", "mp2");
    dispatch_option("f", "vcd");
    dispatch_option("s", pal ? "352x288" : "352x240");
    dispatch_option("r", rate);
    set_generic_option("g", pal ? "15" : "18");
    set_generic_option("b", "1150000");
    set_generic_option("maxrate", "1150000");
    set_generic_option("minrate", "1150000");
    set_generic_option("bufsize", "327680");
    set_generic_option("ab", "224000");
    Faudio_sample_rate = 44100;
    Faudio_channels = 2;
    set_generic_option("packetsize", "2324");
    set_generic_option("muxrate", "1411200");
    Fmux_preload = 0.44f;
  } else if (ATarget == "svcd") {
    set_codec("vcodec", "mpeg2video");
    set_codec("acodec", "mp2");
    dispatch_option("f", "svcd");
    dispatch_option("s", pal ? "480x576" : "480x480");
    dispatch_option("r", rate);
    set_generic_option("g", pal ? "15" : "18");
    set_generic_option("b", "2040000");
    set_generic_option("maxrate", "2516000");
    set_generic_option("minrate", "0");
    set_generic_option("bufsize", "1835008");
    // "flags=+scan_offset" of old: today an option of the mpeg2video encoder.
    set_generic_option("scan_offset", "1");
    set_generic_option("ab", "224000");
    Faudio_sample_rate = 44100;
    if (Faudio_channels == 1) Faudio_channels = 2;
    set_generic_option("packetsize", "2324");
  } else if (ATarget == "dvd") {
    set_codec("vcodec", "mpeg2video");
    set_codec("acodec", "ac3");
    dispatch_option("f", "dvd");
    dispatch_option("s", pal ? "720x576" : "720x480");
    dispatch_option("r", rate);
    set_generic_option("g", pal ? "15" : "18");
    set_generic_option("b", "6000000");
    set_generic_option("maxrate", "9000000");
    set_generic_option("minrate", "0");
    set_generic_option("bufsize", "1835008");
    set_generic_option("ab", "448000");
    Faudio_sample_rate = 48000;
    if (Faudio_channels == 1) Faudio_channels = 2;
    set_generic_option("packetsize", "2048");
    set_generic_option("muxrate", "10080000");
  } else if (ATarget == "dv" || ATarget == "dv50") {
    dispatch_option("f", "dv");
    dispatch_option("s", pal ? "720x576" : "720x480");
    dispatch_option("pix_fmt", ATarget == "dv50" ? "yuv422p" : pal ? "yuv420p" : "yuv411p");
    dispatch_option("r", rate);
    Faudio_sample_rate = 48000;
    Faudio_channels = 2;
    return;
  } else {
    throw FFmpegException("Unknown target type");
  }
  if (Fframe_aspect_ratio == 0) {
    const bool wide = ATarget == "dvd";
    Log(TLogLevel::llInfo, wide ? "Assuming 16:9 for aspect ratio" : "Assuming 4:3 for aspect ratio");
    dispatch_option("aspect", wide ? "16:9" : "4:3");
  }
}

// --- presets -------------------------------------------------------------------

namespace {

struct X264Row {
  const char *name, *coder, *flags, *partitions, *me_method, *subq, *me_range, *sc_threshold, *b_strategy, *bf, *refs,
      *directpred, *trellis, *flags2, *wpredp, *cqp;
};

// The built-in libx264 presets as the tables give them (a null cell: no line).
const X264Row kX264Rows[] = {
    {"libx264-default", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "hex", "7", "16", "40", "1", "3", "3",
     "1", "1", "+mixed_refs+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-fast", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "hex", "6", "16", "40", "1", "3", "2", "1",
     "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-fast_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "2", "16", "40", "1", "3",
     "1", "1", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip", "2", nullptr},
    {"libx264-faster", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "hex", "4", "16", "40", "1", "3", "2", "1",
     "1", "+bpyramid-mixed_refs+wpred+dct8x8+fastpskip", "1", nullptr},
    {"libx264-faster_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "2", "16", "40", "1", "3",
     "1", "1", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip", "1", nullptr},
    {"libx264-fastfirstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partp4x4-partb8x8", "dia", "2", "16", "40",
     "1", "3", "1", "3", "0", "-bpyramid-wpred-mixed_refs-dct8x8+fastpskip", "2", nullptr},
    {"libx264-hq", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "umh", "8", "16", "40", "2", "3", "4", "3",
     "1", "+wpred+mixed_refs+dct8x8+fastpskip", "2", nullptr},
    {"libx264-lossless_fast", "0", "+loop", "-parti8x8+parti4x4+partp8x8-partp4x4-partb8x8", "hex", "3", "16", "40",
     "1", nullptr, nullptr, "1", nullptr, "+fastpskip", "0", "0"},
    {"libx264-lossless_max", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "esa", "8", "16", "40", "1",
     nullptr, "16", "1", nullptr, "+mixed_refs+dct8x8+fastpskip", "2", "0"},
    {"libx264-lossless_medium", "1", "+loop", "-parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "hex", "5", "16", "40",
     "1", nullptr, nullptr, "1", nullptr, "+fastpskip", "2", "0"},
    {"libx264-lossless_slow", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "umh", "6", "16", "40",
     "1", nullptr, "2", "1", nullptr, "+dct8x8+fastpskip", "2", "0"},
    {"libx264-lossless_slower", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4-partb8x8", "umh", "8", "16", "40",
     "1", nullptr, "4", "1", nullptr, "+mixed_refs+dct8x8+fastpskip", "2", "0"},
    {"libx264-lossless_ultrafast", "0", "+loop", "-parti8x8-parti4x4-partp8x8-partp4x4-partb8x8", "dia", "0", "16",
     "40", "1", nullptr, nullptr, "1", nullptr, "+fastpskip", nullptr, "0"},
    {"libx264-max", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "tesa", "10", "24", "40", "2", "3",
     "16", "3", "2", "+wpred+mixed_refs+dct8x8-fastpskip", "2", nullptr},
    {"libx264-medium", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "hex", "7", "16", "40", "1", "3", "3", "1",
     "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-medium_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "2", "16", "40", "1", "3",
     "1", "1", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip", "2", nullptr},
    {"libx264-normal", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "hex", "6", "16", "40", "1", "3", "2", "3",
     "0", "+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-placebo", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "tesa", "10", "24", "40", "2",
     "16", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8-fastpskip", "2", nullptr},
    {"libx264-placebo_firstpass", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "tesa", "10", "24",
     "40", "2", "16", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8-fastpskip", "2", nullptr},
    {"libx264-slow", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "umh", "8", "16", "40", "2", "3", "5", "3",
     "1", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-slow_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "2", "16", "40", "2", "3",
     "1", "3", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip", "2", nullptr},
    {"libx264-slower", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "umh", "9", "16", "40", "2", "3",
     "8", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-slower_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "2", "16", "40", "2", "3",
     "1", "3", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip", "2", nullptr},
    {"libx264-slowfirstpass", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "hex", "6", "16", "40", "2", "3",
     "1", "3", "0", "+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-superfast", "1", "+loop", "+parti8x8+parti4x4-partp8x8-partb8x8", "dia", "1", "16", "40", "1", "3", "1",
     "1", "0", "+bpyramid-mixed_refs+wpred+dct8x8+fastpskip-mbtree", "0", nullptr},
    {"libx264-superfast_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "1", "16", "40", "1",
     "3", "1", "1", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip-mbtree", "0", nullptr},
    {"libx264-ultrafast", "0", "-loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "0", "16", "0", "0", "0", "1",
     "1", "0", "-bpyramid-mixed_refs-wpred-dct8x8+fastpskip-mbtree", "0", nullptr},
    {"libx264-ultrafast_firstpass", "0", "-loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "0", "16", "0", "0",
     "0", "1", "1", "0", "-bpyramid-mixed_refs-wpred-dct8x8+fastpskip-mbtree", "0", nullptr},
    {"libx264-veryfast", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partb8x8", "hex", "2", "16", "40", "1", "3", "1",
     "1", "0", "+bpyramid-mixed_refs+wpred+dct8x8+fastpskip-mbtree", "0", nullptr},
    {"libx264-veryfast_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "2", "16", "40", "1",
     "3", "1", "1", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip-mbtree", "0", nullptr},
    {"libx264-veryslow", "1", "+loop", "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "umh", "10", "24", "40", "2",
     "8", "16", "3", "2", "+bpyramid+mixed_refs+wpred+dct8x8+fastpskip", "2", nullptr},
    {"libx264-veryslow_firstpass", "1", "+loop", "-parti8x8-parti4x4-partp8x8-partb8x8", "dia", "2", "24", "40", "2",
     "8", "1", "3", "0", "+bpyramid-mixed_refs+wpred-dct8x8+fastpskip", "2", nullptr},
};

const char* const kOtherPresets[][2] = {
    {"libx264-baseline", "coder=0\nbf=0\nflags2=-wpred-dct8x8\nwpredp=0"},
    {"libx264-ipod320", "coder=0\nbf=0\nflags2=-wpred-dct8x8\nlevel=13\nmaxrate=768000\nbufsize=3000000\nwpredp=0"},
    {"libx264-ipod640",
     "coder=0\nbf=0\nrefs=1\nflags2=-wpred-dct8x8\nlevel=30\nmaxrate=10000000\nbufsize=10000000\nwpredp=0"},
    {"libx264-main", "flags2=-dct8x8"},
};

const char* const kTableOrder[] = {"libx264-baseline",
                                   "libx264-default",
                                   "libx264-fast",
                                   "libx264-fast_firstpass",
                                   "libx264-faster",
                                   "libx264-faster_firstpass",
                                   "libx264-fastfirstpass",
                                   "libx264-hq",
                                   "libx264-ipod320",
                                   "libx264-ipod640",
                                   "libx264-lossless_fast",
                                   "libx264-lossless_max",
                                   "libx264-lossless_medium",
                                   "libx264-lossless_slow",
                                   "libx264-lossless_slower",
                                   "libx264-lossless_ultrafast",
                                   "libx264-main",
                                   "libx264-max",
                                   "libx264-medium",
                                   "libx264-medium_firstpass",
                                   "libx264-normal",
                                   "libx264-placebo",
                                   "libx264-placebo_firstpass",
                                   "libx264-slow",
                                   "libx264-slow_firstpass",
                                   "libx264-slower",
                                   "libx264-slower_firstpass",
                                   "libx264-slowfirstpass",
                                   "libx264-superfast",
                                   "libx264-superfast_firstpass",
                                   "libx264-ultrafast",
                                   "libx264-ultrafast_firstpass",
                                   "libx264-veryfast",
                                   "libx264-veryfast_firstpass",
                                   "libx264-veryslow",
                                   "libx264-veryslow_firstpass"};

std::string RowText(const X264Row& r) {
  std::string t;
  auto line = [&](const char* name, const char* value) {
    if (value) t += std::string(name) + "=" + value + "\n";
  };
  line("coder", r.coder);
  line("flags", r.flags);
  line("cmp", "+chroma");
  line("partitions", r.partitions);
  line("me_method", r.me_method);
  line("subq", r.subq);
  line("me_range", r.me_range);
  line("g", "250");
  line("keyint_min", "25");
  line("sc_threshold", r.sc_threshold);
  line("i_qfactor", "0.71");
  line("b_strategy", r.b_strategy);
  line("qcomp", "0.6");
  line("qmin", "10");
  line("qmax", "51");
  line("qdiff", "4");
  line("bf", r.bf);
  line("refs", r.refs);
  line("directpred", r.directpred);
  line("trellis", r.trellis);
  line("flags2", r.flags2);
  line("cqp", r.cqp);
  line("wpredp", r.wpredp);
  if (!t.empty()) t.pop_back();
  return t;
}

// Old encoder option lines and what they mean to today's libx264: either a
// generic option that still exists, or an x264 parameter.
struct X264Flag {
  const char* token;  // within "flags", "flags2" or "partitions"
  const char* on;     // x264 parameter when the token has "+"
  const char* off;    // when it has "-"
};
const X264Flag kFlagMap[] = {
    {"loop", nullptr, "no-deblock=1"},
    {"mixed_refs", "mixed-refs=1", "mixed-refs=0"},
    {"wpred", "weightb=1", "weightb=0"},
    {"dct8x8", "8x8dct=1", "8x8dct=0"},
    {"fastpskip", "fast-pskip=1", "fast-pskip=0"},
    {"bpyramid", "b-pyramid=normal", "b-pyramid=none"},
    {"mbtree", "mbtree=1", "mbtree=0"},
};
const char* const kPartitionNames[][2] = {
    {"parti8x8", "i8x8"}, {"parti4x4", "i4x4"}, {"partp8x8", "p8x8"}, {"partp4x4", "p4x4"}, {"partb8x8", "b8x8"}};
const char* const kDirectNames[] = {"none", "spatial", "temporal", "auto"};
// Lines kept as they are: today's generic options of the same meaning.
const char* const kGenericKept[] = {"cmp",   "g",  "keyint_min", "i_qfactor", "qcomp",   "qmin",   "qmax",
                                    "qdiff", "bf", "refs",       "level",     "maxrate", "bufsize"};
// Lines that become x264 parameters of another name.
const char* const kRenamed[][2] = {{"coder", "cabac"},      {"me_method", "me"},          {"subq", "subme"},
                                   {"me_range", "merange"}, {"sc_threshold", "scenecut"}, {"b_strategy", "b-adapt"},
                                   {"trellis", "trellis"},  {"wpredp", "weightp"},        {"cqp", "qp"}};

// Calls fn(sign, token) for "+a-b+c".
template <typename F>
void ForEachFlag(const std::string& v, F fn) {
  size_t i = 0;
  while (i < v.size()) {
    char sign = v[i] == '-' ? '-' : '+';
    if (v[i] == '+' || v[i] == '-') ++i;
    size_t j = i;
    while (j < v.size() && v[j] != '+' && v[j] != '-') ++j;
    fn(sign, v.substr(i, j - i));
    i = j;
  }
}

// Today's form of a built-in preset: the lines that still exist as generic
// options stay, the others become one "x264-params" line for libx264.
std::string TranslateX264Preset(const std::string& text) {
  std::string out, params;
  auto param = [&](const std::string& p) { params += (params.empty() ? "" : ":") + p; };
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string name = line.substr(0, eq), value = line.substr(eq + 1);
    bool done = false;
    for (const char* g : kGenericKept)
      if (name == g) {
        out += line + "\n";
        done = true;
      }
    for (auto& r : kRenamed)
      if (!done && name == r[0]) {
        param(std::string(r[1]) + "=" + value);
        done = true;
      }
    if (done) continue;
    if (name == "flags" || name == "flags2") {
      ForEachFlag(value, [&](char sign, const std::string& tok) {
        for (const X264Flag& f : kFlagMap)
          if (tok == f.token && (sign == '+' ? f.on : f.off)) param(sign == '+' ? f.on : f.off);
      });
    } else if (name == "partitions") {
      std::string parts;
      ForEachFlag(value, [&](char sign, const std::string& tok) {
        for (auto& p : kPartitionNames)
          if (tok == p[0] && sign == '+') parts += (parts.empty() ? "" : ",") + std::string(p[1]);
      });
      param("partitions=" + (parts.empty() ? std::string("none") : parts));
    } else if (name == "directpred") {
      int d = std::atoi(value.c_str());
      param(std::string("direct=") + kDirectNames[d >= 0 && d <= 3 ? d : 1]);
    }
  }
  if (!params.empty()) out += "x264-params=" + params + "\n";
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace

const std::vector<std::pair<std::string, std::string>>& BuiltinPresets() {
  static const std::vector<std::pair<std::string, std::string>> table = [] {
    std::vector<std::pair<std::string, std::string>> t;
    for (const char* name : kTableOrder) {
      std::string text;
      for (const X264Row& r : kX264Rows)
        if (name == std::string(r.name)) text = RowText(r);
      for (auto& o : kOtherPresets)
        if (name == std::string(o[0])) text = o[1];
      t.emplace_back(name, text);
    }
    return t;
  }();
  return table;
}

std::string TCustomFFmpeg::find_builtin_preset(const std::string& name) const {
  for (const auto& p : BuiltinPresets())
    if (SameText(p.first, name)) return TranslateX264Preset(p.second);
  return std::string();
}

void TCustomFFmpeg::load_preset(const std::string& opt, const std::string& value) {
  if (opt.empty() || value.empty()) return;
  std::string text;
  if (opt[0] != 'f') {
    text = find_builtin_preset(value);
    if (text.empty()) {
      std::string codec;
      if (opt[0] == 'v' && !Fvideo_codec_name.empty())
        codec = Fvideo_codec_name;
      else if (opt[0] == 'a' && !Faudio_codec_name.empty())
        codec = Faudio_codec_name;
      else if (!Fsubtitle_codec_name.empty())
        codec = Fsubtitle_codec_name;
      if (!codec.empty()) text = find_builtin_preset(codec + "-" + value);
    }
  }
  if (text.empty()) {
    if (FileSizeOf(value) < 0) throw FFmpegException(FormatStr("Preset \"%s\" not found", value.c_str()));
    std::ifstream f(value, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    text = ss.str();
  }
  text = TrimStr(text);
  std::string norm;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      norm += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      norm += text[i];
    }
  }
  std::istringstream in(norm);
  std::string raw;
  while (std::getline(in, raw)) {
    std::string line = TrimStr(raw);
    if (line.empty()) continue;
    size_t eq = line.find('=');
    std::string name = eq == std::string::npos ? line : line.substr(0, eq);
    std::string val = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    if (name.empty() || val.empty())
      throw FFmpegException(FormatStr("%s: Invalid syntax: \"%s\"", value.c_str(), line.c_str()));
    std::string lname = LowerStr(name);
    if (lname == "acodec" || lname == "vcodec" || lname == "scodec") {
      set_codec(lname, val);
    } else if (!set_generic_option(name, val)) {
      throw FFmpegException(FormatStr("%s: Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"",
                                      value.c_str(), line.c_str(), name.c_str(), val.c_str()));
    }
  }
}

}  // namespace media
