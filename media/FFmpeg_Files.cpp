// Input and output file set-up.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "media/FFmpeg.h"
#include "media/EngineUtils.h"
#include "media/UnicodeProtocol.h"

namespace media {

namespace {

struct CodecAlias {
  const char* old_name;
  const char* name;
};
// Encoders the catalogue names by their old names.
const CodecAlias kCodecAliases[] = {
    {"libfaac", "aac"}, {"libamr_nb", "libopencore_amrnb"}, {"libamr_wb", "libvo_amrwbenc"}};

// The five frame sizes an H.263 encoder can code.
const int kH263Sizes[][2] = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};

}  // namespace

std::string TCustomFFmpeg::MapCodecName(const std::string& name, AVMediaType /*type*/) {
  for (const CodecAlias& a : kCodecAliases)
    if (name == a.old_name) {
      bool logged = false;
      for (const std::string& l : Fcodec_aliases_logged) logged = logged || l == name;
      if (!logged) {
        Fcodec_aliases_logged.push_back(name);
        Log(TLogLevel::llInfo, FormatStr("Codec '%s' is used as '%s'", a.old_name, a.name));
      }
      return a.name;
    }
  return name;
}

bool TCustomFFmpeg::find_codec(const std::string& rawName, AVMediaType type, bool encoder, int strict, AVCodecID& id) {
  id = AV_CODEC_ID_NONE;
  if (rawName.empty()) return true;
  const char* kind = encoder ? "encoder" : "decoder";
  const std::string name = MapCodecName(rawName, type);
  const AVCodec* c =
      encoder ? ffapi::avcodec_find_encoder_by_name(name.c_str()) : ffapi::avcodec_find_decoder_by_name(name.c_str());
  if (!c) {
    FLastErrMsg = FormatStr("Unknown %s '%s'", kind, rawName.c_str());
    return false;
  }
  if (c->type != type) {
    FLastErrMsg = FormatStr("Invalid %s type '%s'", kind, rawName.c_str());
    return false;
  }
  if ((c->capabilities & AV_CODEC_CAP_EXPERIMENTAL) && strict > FF_COMPLIANCE_EXPERIMENTAL) {
    FLastErrMsg = FormatStr(
        "%s '%s' is experimental and might produce bad results.\r\nAdd '-strict experimental' if you want to use it.",
        kind, c->name);
    const AVCodec* other = encoder ? ffapi::avcodec_find_encoder(c->id) : ffapi::avcodec_find_decoder(c->id);
    if (other && !(other->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
      FLastErrMsg += FormatStr("\r\nOr use the non experimental %s '%s'.", kind, other->name);
    return false;
  }
  id = c->id;
  return true;
}

bool TCustomFFmpeg::open_input_file(const std::string& AFileName) {
  const AVInputFormat* file_iformat = nullptr;
  if (!Flast_asked_format.empty()) {
    file_iformat = ffapi::av_find_input_format(Flast_asked_format.c_str());
    if (!file_iformat) throw FFmpegException(FormatStr("Unknown input format: \"%s\"", Flast_asked_format.c_str()));
    Flast_asked_format.clear();
  }
  auto input = std::make_unique<TInputFile>();
  auto fail = [&]() {
    Fvideo_codec_name.clear();
    Faudio_codec_name.clear();
    Fsubtitle_codec_name.clear();
    Fvideo_channel = 0;
    return false;  // the input record releases what was opened
  };
  AVFormatContext* ic = ffapi::avformat_alloc_context();
  if (!ic) throw FFmpegException("avformat_alloc_context failed");
  // What the old parameter block carried, for the demuxers that declare it.
  AVDictionary* opts = nullptr;
  ffapi::av_dict_set_int(&opts, "sample_rate", Faudio_sample_rate, 0);
  ffapi::av_dict_set_int(&opts, "channels", Faudio_channels, 0);
  if (Fframe_rate.num && Fframe_rate.den)
    ffapi::av_dict_set(&opts, "framerate", FormatStr("%d/%d", Fframe_rate.num, Fframe_rate.den).c_str(), 0);
  if (Fframe_width && Fframe_height)
    ffapi::av_dict_set(&opts, "video_size", FormatStr("%dx%d", Fframe_width, Fframe_height).c_str(), 0);
  if (Fframe_pix_fmt >= 0)
    ffapi::av_dict_set(&opts, "pixel_format", ffapi::av_get_pix_fmt_name(static_cast<AVPixelFormat>(Fframe_pix_fmt)),
                       0);
  if (Fvideo_channel) ffapi::av_dict_set_int(&opts, "channel", Fvideo_channel, 0);
  if (!Fvideo_standard.empty()) ffapi::av_dict_set(&opts, "standard", Fvideo_standard.c_str(), 0);
  if (Floop_input) ffapi::av_dict_set(&opts, "loop", "1", 0);
  set_context_options(FOptions, ic, FOptions.avformat_opts, AV_OPT_FLAG_DECODING_PARAM);

  AVCodecID vid, aid, sid;
  const int vstrict = FOptions.avcodec_opts[0] ? FOptions.avcodec_opts[0]->strict_std_compliance : 0;
  const int astrict = FOptions.avcodec_opts[1] ? FOptions.avcodec_opts[1]->strict_std_compliance : 0;
  const int sstrict = FOptions.avcodec_opts[3] ? FOptions.avcodec_opts[3]->strict_std_compliance : 0;
  if (!find_codec(Fvideo_codec_name, AVMEDIA_TYPE_VIDEO, false, vstrict, vid) ||
      !find_codec(Faudio_codec_name, AVMEDIA_TYPE_AUDIO, false, astrict, aid) ||
      !find_codec(Fsubtitle_codec_name, AVMEDIA_TYPE_SUBTITLE, false, sstrict, sid)) {
    ffapi::avformat_free_context(ic);
    ffapi::av_dict_free(&opts);
    return fail();
  }
  ic->video_codec_id = vid;
  ic->audio_codec_id = aid;
  ic->subtitle_codec_id = sid;
  ic->flags |= AVFMT_FLAG_NONBLOCK;
  if (Fpgmyuv_compatibility_hack) ic->video_codec_id = AV_CODEC_ID_PGMYUV;

  const std::string libName = LibraryFileName(AFileName);
  if (IsUnicodeName(libName)) {
    int r = OpenUnicodeIO(libName, AVIO_FLAG_READ, &input->custom_io);
    if (r < 0) {
      FLastErrMsg = ErrorText(AFileName, r);
      ffapi::avformat_free_context(ic);
      ffapi::av_dict_free(&opts);
      return fail();
    }
    ic->pb = input->custom_io;
  }
  int err = ffapi::avformat_open_input(&ic, libName.c_str(), file_iformat, &opts);
  ffapi::av_dict_free(&opts);
  if (err < 0) {
    FLastErrMsg = ErrorText(AFileName, err);  // the library has freed the context
    return fail();
  }
  input->ic = ic;

  if (Fopt_programid != 0) {
    bool found = false;
    for (unsigned i = 0; i < ic->nb_streams; ++i) ic->streams[i]->discard = AVDISCARD_ALL;
    for (unsigned i = 0; i < ic->nb_programs; ++i) {
      AVProgram* p = ic->programs[i];
      if (p->id != Fopt_programid) {
        p->discard = AVDISCARD_ALL;
      } else {
        found = true;
        for (unsigned j = 0; j < p->nb_stream_indexes; ++j)
          ic->streams[p->stream_index[j]]->discard = AVDISCARD_DEFAULT;
      }
    }
    if (!found) {
      FLastErrMsg = "Specified program id not found";
      return fail();
    }
    Fopt_programid = 0;
  }

  int ret;
  {
    std::lock_guard<std::recursive_mutex> lk(CodecLock());
    ret = ffapi::avformat_find_stream_info(ic, nullptr);
  }
  if (ret < 0 && Fverbose >= 0) {
    FLastErrMsg = FormatStr("%s: could not find codec parameters", AFileName.c_str());
    Log(TLogLevel::llVerbose, FLastErrMsg);
    return fail();
  }

  int64_t timestamp = Fstart_time;
  if (ic->start_time != AV_NOPTS_VALUE) timestamp += ic->start_time;
  if (Fstart_time != 0) {
    if (ffapi::av_seek_frame(ic, -1, timestamp, AVSEEK_FLAG_BACKWARD) < 0 && Fverbose > 0)
      Log(TLogLevel::llVerbose,
          FormatStr("%s: could not seek to position %0.3f", AFileName.c_str(), timestamp / 1000000.0));
    Fstart_time = 0;
  }

  // One decoder context per stream, filled from the stream's parameters.
  input->dec.assign(ic->nb_streams, nullptr);
  std::vector<const AVCodec*> forced;
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    AVStream* st = ic->streams[i];
    AVCodecContext* dec = ffapi::avcodec_alloc_context3(nullptr);
    if (!dec || ffapi::avcodec_parameters_to_context(dec, st->codecpar) < 0) {
      if (dec) ffapi::avcodec_free_context(&dec);
      throw FFmpegException("avcodec_alloc_context failed");
    }
    input->dec[i] = dec;
    dec->thread_count = codec_threads();
    dec->pkt_timebase = st->time_base;
    const AVCodec* byName = nullptr;
    switch (dec->codec_type) {
      case AVMEDIA_TYPE_AUDIO:
        set_context_options(FOptions, dec, FOptions.avcodec_opts[1],
                            AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
        Fchannel_layout =
            dec->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? static_cast<int64_t>(dec->ch_layout.u.mask) : 0;
        Faudio_channels = dec->ch_layout.nb_channels;
        Faudio_sample_rate = dec->sample_rate;
        Faudio_sample_fmt = dec->sample_fmt;
        if (!Faudio_codec_name.empty())
          byName = ffapi::avcodec_find_decoder_by_name(MapCodecName(Faudio_codec_name, AVMEDIA_TYPE_AUDIO).c_str());
        if (Faudio_disable) st->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_VIDEO: {
        set_context_options(FOptions, dec, FOptions.avcodec_opts[0],
                            AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
        Fframe_width = dec->width;
        Fframe_height = dec->height;
        AVRational sar = st->sample_aspect_ratio.num ? st->sample_aspect_ratio : dec->sample_aspect_ratio;
        if (dec->width * dec->height != 0) {
          double s = sar.num && sar.den ? static_cast<double>(sar.num) / sar.den : 0;
          Fframe_aspect_ratio =
              static_cast<float>(s != 0 ? dec->width * s / dec->height : static_cast<double>(dec->width) / dec->height);
        } else if (Fframe_aspect_ratio == 0) {
          Fframe_aspect_ratio = 4.0f / 3.0f;
        }
        // Pictures turned a quarter for display (a phone held upright) are
        // encoded as shown: the size and shape follow the turned picture.
        const int turn = StreamRotation(st);
        if (turn == 90 || turn == 270) {
          std::swap(Fframe_width, Fframe_height);
          if (Fframe_aspect_ratio != 0) Fframe_aspect_ratio = 1.0f / Fframe_aspect_ratio;
        }
        if (dec->pix_fmt < 0) dec->pix_fmt = static_cast<AVPixelFormat>(0);
        Fframe_pix_fmt = dec->pix_fmt;
        if (dec->lowres > 0) {
          Fframe_width >>= dec->lowres;
          Fframe_height >>= dec->lowres;
        }
        // The container's average rate stands for the old codec time base.
        AVRational a = st->avg_frame_rate, r = st->r_frame_rate;
        if (a.num && a.den && r.num && r.den && (a.num != r.num || a.den != r.den) && Fverbose >= 0)
          Log(TLogLevel::llInfo,
              FormatStr(
                  "Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) -> %2.2f (%d/%d)",
                  i, static_cast<double>(a.num) / a.den, a.num, a.den, static_cast<double>(r.num) / r.den, r.num,
                  r.den));
        Fframe_rate = r;
        if (!Fvideo_codec_name.empty())
          byName = ffapi::avcodec_find_decoder_by_name(MapCodecName(Fvideo_codec_name, AVMEDIA_TYPE_VIDEO).c_str());
        if (Fvideo_disable)
          st->discard = AVDISCARD_ALL;
        else if (Fvideo_discard)
          st->discard = static_cast<AVDiscard>(Fvideo_discard);
        break;
      }
      case AVMEDIA_TYPE_SUBTITLE:
        if (!Fsubtitle_codec_name.empty()) byName = ffapi::avcodec_find_decoder_by_name(Fsubtitle_codec_name.c_str());
        if (Fsubtitle_disable) st->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_DATA:
      case AVMEDIA_TYPE_ATTACHMENT:
      case AVMEDIA_TYPE_UNKNOWN:
        break;
      default:
        throw FFmpegException("invalid codec_type");
    }
    // One entry per stream, so the decoder of input stream i is entry i.
    forced.push_back(byName);
  }

  if (ic->duration != AV_NOPTS_VALUE && ic->duration > FTotalOutputDuration) FTotalOutputDuration = ic->duration;
  input->ts_offset = Finput_ts_offset - (Fcopy_ts ? 0 : timestamp);
  input->ts_scale = Fnext_input_ts_scale;
  input->ts_scale.resize(ic->nb_streams, 0.0);
  Fnext_input_ts_scale.clear();
  if (Fverbose >= 0) ffapi::av_dump_format(ic, static_cast<int>(Finput_files.size()), libName.c_str(), 0);
  Finput_codecs.insert(Finput_codecs.end(), forced.begin(), forced.end());
  Finput_files.push_back(std::move(input));
  Fvideo_channel = 0;
  Fvideo_codec_name.clear();
  Faudio_codec_name.clear();
  Fsubtitle_codec_name.clear();
  return true;
}

void TCustomFFmpeg::check_audio_video_sub_inputs(bool& has_video, bool& has_audio, bool AJoin, bool& has_subtitle) {
  has_video = has_audio = has_subtitle = false;
  for (size_t j = 0; j < Finput_files.size(); ++j) {
    AVFormatContext* ic = Finput_files[j]->ic;
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
      switch (ic->streams[i]->codecpar->codec_type) {
        case AVMEDIA_TYPE_AUDIO:
          has_audio = true;
          break;
        case AVMEDIA_TYPE_VIDEO:
          has_video = true;
          break;
        case AVMEDIA_TYPE_SUBTITLE:
          has_subtitle = true;
          break;
        case AVMEDIA_TYPE_DATA:
        case AVMEDIA_TYPE_ATTACHMENT:
        case AVMEDIA_TYPE_UNKNOWN:
          break;
        default:
          throw FFmpegException("invalid codec_type of input file");
      }
    }
    if (AJoin) break;
  }
}

TOutputStreamSetup& TCustomFFmpeg::add_output_stream(TOutputFile& of, AVMediaType type, std::vector<std::string>& bsfs,
                                                     uint32_t tag) {
  AVFormatContext* oc = of.oc;
  const int idx = static_cast<int>(oc->nb_streams);
  AVStream* st = ffapi::avformat_new_stream(oc, nullptr);
  if (!st) throw FFmpegException("Could not alloc stream");
  st->id = idx < static_cast<int>(Fstreamid_map.size()) ? Fstreamid_map[idx] : 0;
  st->codecpar->codec_type = type;
  of.streams.emplace_back();
  TOutputStreamSetup& s = of.streams.back();
  s.bitstream_filters = std::move(bsfs);
  bsfs.clear();
  (void)tag;
  return s;
}

// The encoder context of a new stream, with the codec's own defaults.
static AVCodecContext* NewEncoderContext(const AVCodec* codec, AVMediaType type, int threads, uint32_t tag) {
  AVCodecContext* c = ffapi::avcodec_alloc_context3(codec);
  if (!c) throw FFmpegException("Could not alloc stream");
  c->codec_type = type;
  c->thread_count = threads;
  if (tag) c->codec_tag = tag;
  return c;
}

void TCustomFFmpeg::new_video_stream(TOutputFile& of) {
  try {
    AVFormatContext* oc = of.oc;
    TOutputStreamSetup& s = add_output_stream(of, AVMEDIA_TYPE_VIDEO, Fvideo_bitstream_filters, Fvideo_codec_tag);
    AVStream* st = oc->streams[oc->nb_streams - 1];
    const double aspect = Fframe_width * Fframe_height != 0
                              ? static_cast<double>(Fframe_aspect_ratio) * Fframe_height / Fframe_width
                              : Fframe_aspect_ratio * 3.0 / 4.0;
    const AVRational sar = ffapi::av_d2q(aspect, 255);
    AVCodecContext* video_enc;
    if (Fvideo_stream_copy) {
      s.copy = true;
      video_enc = s.enc = NewEncoderContext(nullptr, AVMEDIA_TYPE_VIDEO, codec_threads(), Fvideo_codec_tag);
      video_enc->sample_aspect_ratio = st->sample_aspect_ratio = sar;
    } else {
      AVRational frame_rate = Fframe_rate.num ? Fframe_rate : AVRational{25, 1};
      AVCodecID codec_id;
      const AVCodec* codec = nullptr;
      const int strict = 0;  // the new context's default; the recorded options come after
      if (!Fvideo_codec_name.empty()) {
        if (!find_codec(Fvideo_codec_name, AVMEDIA_TYPE_VIDEO, true, strict, codec_id))
          throw FFmpegException(FLastErrMsg);
        codec = ffapi::avcodec_find_encoder_by_name(MapCodecName(Fvideo_codec_name, AVMEDIA_TYPE_VIDEO).c_str());
        s.codec = codec;
      } else {
        codec_id = ffapi::av_guess_codec(oc->oformat, nullptr, oc->url, nullptr, AVMEDIA_TYPE_VIDEO);
        codec = ffapi::avcodec_find_encoder(codec_id);
      }
      video_enc = s.enc = NewEncoderContext(codec, AVMEDIA_TYPE_VIDEO, codec_threads(), Fvideo_codec_tag);
      video_enc->codec_id = codec_id;
      set_context_options(FOptions, video_enc, FOptions.avcodec_opts[0],
                          AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
      if (codec && codec->supported_framerates && !Fforce_fps)
        frame_rate = codec->supported_framerates[ffapi::av_find_nearest_q_idx(frame_rate, codec->supported_framerates)];
      video_enc->time_base = AVRational{frame_rate.den, frame_rate.num};
      video_enc->framerate = frame_rate;
      video_enc->width = Fframe_width;
      video_enc->height = Fframe_height;
      video_enc->sample_aspect_ratio = st->sample_aspect_ratio = sar;
      video_enc->pix_fmt = static_cast<AVPixelFormat>(Fframe_pix_fmt);
      pick_pixel_format(video_enc, codec);
      if (codec_id == AV_CODEC_ID_H263 && video_enc->width > 0 && video_enc->height > 0) {
        // H.263 codes five sizes only: take the nearest.
        int best = 0;
        double bestDist = 1e18;
        for (int k = 0; k < 5; ++k) {
          double d = std::hypot(kH263Sizes[k][0] - video_enc->width, kH263Sizes[k][1] - video_enc->height);
          if (d < bestDist) {
            bestDist = d;
            best = k;
          }
        }
        if (video_enc->width != kH263Sizes[best][0] || video_enc->height != kH263Sizes[best][1]) {
          Log(TLogLevel::llWarning, FormatStr("H.263 cannot code %dx%d; using %dx%d", video_enc->width,
                                              video_enc->height, kH263Sizes[best][0], kH263Sizes[best][1]));
          video_enc->width = kH263Sizes[best][0];
          video_enc->height = kH263Sizes[best][1];
        }
      }
      if (const AVPixFmtDescriptor* d =
              video_enc->pix_fmt >= 0 ? ffapi::av_pix_fmt_desc_get(video_enc->pix_fmt) : nullptr) {
        // Subsampled chroma needs even sizes.
        if (d->log2_chroma_w) video_enc->width &= ~((1 << d->log2_chroma_w) - 1);
        if (d->log2_chroma_h) video_enc->height &= ~((1 << d->log2_chroma_h) - 1);
      }
      if (Fintra_only) video_enc->gop_size = 0;
      if (Fvideo_qscale != 0 || Fsame_quality) {
        video_enc->flags |= AV_CODEC_FLAG_QSCALE;
        video_enc->global_quality = static_cast<int>(FF_QP2LAMBDA * Fvideo_qscale);
      }
      auto matrix = [](const std::vector<uint16_t>& m) -> uint16_t* {
        if (m.empty()) return nullptr;
        auto* p = static_cast<uint16_t*>(ffapi::av_malloc(64 * sizeof(uint16_t)));
        if (p) std::memcpy(p, m.data(), 64 * sizeof(uint16_t));
        return p;
      };
      if (!Fintra_matrix.empty()) video_enc->intra_matrix = matrix(Fintra_matrix);
      if (!Finter_matrix.empty()) video_enc->inter_matrix = matrix(Finter_matrix);
      if (!Fvideo_rc_override_string.empty()) {
        std::vector<RcOverride> ov;
        const char* p = Fvideo_rc_override_string.c_str();
        while (*p) {
          int start, end, q, n = 0;
          if (std::sscanf(p, "%d,%d,%d%n", &start, &end, &q, &n) != 3)
            throw FFmpegException("error parsing rc_override");
          RcOverride o{};
          o.start_frame = start;
          o.end_frame = end;
          if (q > 0) {
            o.qscale = q;
            o.quality_factor = 1.0f;
          } else {
            o.qscale = 0;
            o.quality_factor = -q / 100.0f;
          }
          ov.push_back(o);
          p += n;
          if (*p == '/')
            ++p;
          else if (*p)
            throw FFmpegException("error parsing rc_override");
        }
        video_enc->rc_override = static_cast<RcOverride*>(ffapi::av_malloc(ov.size() * sizeof(RcOverride)));
        if (video_enc->rc_override) {
          std::memcpy(video_enc->rc_override, ov.data(), ov.size() * sizeof(RcOverride));
          video_enc->rc_override_count = static_cast<int>(ov.size());
        }
      }
      if (video_enc->rc_initial_buffer_occupancy == 0)
        video_enc->rc_initial_buffer_occupancy = video_enc->rc_buffer_size * 3 / 4;
      video_enc->intra_dc_precision = Fintra_dc_precision - 8;
      if (Fdo_psnr) video_enc->flags |= AV_CODEC_FLAG_PSNR;
      if (Fdo_pass == 1) video_enc->flags |= AV_CODEC_FLAG_PASS1;
      if (Fdo_pass == 2) video_enc->flags |= AV_CODEC_FLAG_PASS2;
    }
    if (Fvideo_global_header == 1 || (Fvideo_global_header == 0 && (oc->oformat->flags & AVFMT_GLOBALHEADER))) {
      video_enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
      if (FOptions.avcodec_opts[0]) FOptions.avcodec_opts[0]->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (Fvideo_global_header == 2) {
      video_enc->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
      if (FOptions.avcodec_opts[0]) FOptions.avcodec_opts[0]->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
    }
    if (!Fvideo_language.empty()) {
      ffapi::av_dict_set(&st->metadata, "language", Fvideo_language.c_str(), 0);
      Fvideo_language.clear();
    }
  } catch (...) {
    Fvideo_codec_name.clear();
    throw;
  }
  Fvideo_disable = false;
  Fvideo_codec_name.clear();
  Fvideo_stream_copy = 0;
  Fframe_pix_fmt = -1;
}

void TCustomFFmpeg::new_audio_stream(TOutputFile& of) {
  try {
    AVFormatContext* oc = of.oc;
    TOutputStreamSetup& s = add_output_stream(of, AVMEDIA_TYPE_AUDIO, Faudio_bitstream_filters, Faudio_codec_tag);
    AVStream* st = oc->streams[oc->nb_streams - 1];
    AVCodecContext* audio_enc;
    if (Faudio_stream_copy) {
      s.copy = true;
      audio_enc = s.enc = NewEncoderContext(nullptr, AVMEDIA_TYPE_AUDIO, codec_threads(), Faudio_codec_tag);
      ffapi::av_channel_layout_default(&audio_enc->ch_layout, Faudio_channels);
      audio_enc->sample_rate = Faudio_sample_rate;
    } else {
      AVCodecID codec_id;
      const AVCodec* codec = nullptr;
      const int strict = FOptions.avcodec_opts[1] ? FOptions.avcodec_opts[1]->strict_std_compliance : 0;
      if (!Faudio_codec_name.empty()) {
        if (!find_codec(Faudio_codec_name, AVMEDIA_TYPE_AUDIO, true, strict, codec_id))
          throw FFmpegException(FLastErrMsg);
        codec = ffapi::avcodec_find_encoder_by_name(MapCodecName(Faudio_codec_name, AVMEDIA_TYPE_AUDIO).c_str());
      } else {
        codec_id = ffapi::av_guess_codec(oc->oformat, nullptr, oc->url, nullptr, AVMEDIA_TYPE_AUDIO);
        codec = ffapi::avcodec_find_encoder(codec_id);
      }
      // MPEG program streams do not carry AAC.
      const std::string fmt = oc->oformat->name;
      if (codec_id == AV_CODEC_ID_AAC &&
          (fmt == "mpeg" || fmt == "vob" || fmt == "dvd" || fmt == "svcd" || fmt == "vcd")) {
        const char* repl = (fmt == "vob" || fmt == "dvd") ? "ac3" : "mp2";
        Log(TLogLevel::llWarning, FormatStr("AAC cannot be stored in the '%s' format; using %s", fmt.c_str(), repl));
        codec = ffapi::avcodec_find_encoder_by_name(repl);
        codec_id = codec ? codec->id : AV_CODEC_ID_NONE;
      }
      s.codec = codec;
      audio_enc = s.enc = NewEncoderContext(codec, AVMEDIA_TYPE_AUDIO, codec_threads(), Faudio_codec_tag);
      audio_enc->codec_id = codec_id;
      set_context_options(FOptions, audio_enc, FOptions.avcodec_opts[1],
                          AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
      if (Faudio_qscale > -99999) {
        audio_enc->flags |= AV_CODEC_FLAG_QSCALE;
        audio_enc->global_quality = static_cast<int>(FF_QP2LAMBDA * Faudio_qscale);
      }
      ffapi::av_channel_layout_uninit(&audio_enc->ch_layout);
      AVChannelLayout wanted{};
      if (Fchannel_layout) ffapi::av_channel_layout_from_mask(&wanted, static_cast<uint64_t>(Fchannel_layout));
      if (Fchannel_layout && wanted.nb_channels == Faudio_channels)
        ffapi::av_channel_layout_copy(&audio_enc->ch_layout, &wanted);
      else
        ffapi::av_channel_layout_default(&audio_enc->ch_layout, Faudio_channels);
      ffapi::av_channel_layout_uninit(&wanted);
      audio_enc->sample_fmt = static_cast<AVSampleFormat>(Faudio_sample_fmt);
      audio_enc->sample_rate = Faudio_sample_rate;
      pick_sample_format(audio_enc, codec);
      pick_sample_rate(audio_enc, codec);
      pick_channel_layout(audio_enc, codec);
    }
    if (oc->oformat->flags & AVFMT_GLOBALHEADER) {
      audio_enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
      if (FOptions.avcodec_opts[1]) FOptions.avcodec_opts[1]->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    audio_enc->time_base = AVRational{1, audio_enc->sample_rate > 0 ? audio_enc->sample_rate : Faudio_sample_rate};
    if (!Faudio_language.empty()) {
      ffapi::av_dict_set(&st->metadata, "language", Faudio_language.c_str(), 0);
      Faudio_language.clear();
    }
  } catch (...) {
    Faudio_codec_name.clear();
    throw;
  }
  Faudio_disable = false;
  Faudio_codec_name.clear();
  Faudio_stream_copy = 0;
}

void TCustomFFmpeg::new_subtitle_stream(TOutputFile& of) {
  try {
    AVFormatContext* oc = of.oc;
    TOutputStreamSetup& s =
        add_output_stream(of, AVMEDIA_TYPE_SUBTITLE, Fsubtitle_bitstream_filters, Fsubtitle_codec_tag);
    AVStream* st = oc->streams[oc->nb_streams - 1];
    if (Fsubtitle_stream_copy) {
      s.copy = true;
      s.enc = NewEncoderContext(nullptr, AVMEDIA_TYPE_SUBTITLE, codec_threads(), Fsubtitle_codec_tag);
    } else {
      AVCodecID codec_id;
      const int strict = FOptions.avcodec_opts[3] ? FOptions.avcodec_opts[3]->strict_std_compliance : 0;
      const AVCodec* codec = nullptr;
      if (!find_codec(Fsubtitle_codec_name, AVMEDIA_TYPE_SUBTITLE, true, strict, codec_id))
        throw FFmpegException(FLastErrMsg);
      if (!Fsubtitle_codec_name.empty()) {
        codec = ffapi::avcodec_find_encoder_by_name(Fsubtitle_codec_name.c_str());
      } else {
        // No name: the format's own subtitle codec, like audio and video.
        codec_id = ffapi::av_guess_codec(oc->oformat, nullptr, oc->url, nullptr, AVMEDIA_TYPE_SUBTITLE);
        codec = ffapi::avcodec_find_encoder(codec_id);
      }
      s.codec = codec;
      s.enc = NewEncoderContext(codec, AVMEDIA_TYPE_SUBTITLE, codec_threads(), Fsubtitle_codec_tag);
      s.enc->codec_id = codec_id;
      set_context_options(FOptions, s.enc, FOptions.avcodec_opts[3],
                          AV_OPT_FLAG_SUBTITLE_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    }
    if (!Fsubtitle_language.empty()) ffapi::av_dict_set(&st->metadata, "language", Fsubtitle_language.c_str(), 0);
  } catch (...) {
    Fsubtitle_codec_name.clear();
    Fsubtitle_language.clear();
    throw;
  }
  Fsubtitle_language.clear();
  Fsubtitle_disable = false;
  Fsubtitle_codec_name.clear();
  Fsubtitle_stream_copy = 0;
}

namespace {

// 0 when the output could be created (or overwritten) now, else the library
// error code of the reason. Names of other protocols are left to them.
int CheckOutputWritable(const std::string& libName) {
  const std::string path = DisplayFileName(libName);
  const size_t colon = path.find(':'), slash = path.find('/');
  if (path.empty() || (!IsUnicodeName(libName) && colon != std::string::npos && colon < slash)) return 0;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return AVERROR(EISDIR);
    return ::access(path.c_str(), W_OK) == 0 ? 0 : AVERROR(errno);
  }
  if (errno != ENOENT) return AVERROR(errno);
  const size_t cut = path.rfind('/');
  const std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
  if (::stat(folder.c_str(), &st) != 0) return AVERROR(errno);
  if (!S_ISDIR(st.st_mode)) return AVERROR(ENOTDIR);
  return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : AVERROR(errno);
}

}  // namespace

bool TCustomFFmpeg::output_is_input(const std::string& AFileName, const std::string& libName) {
  // Opening for writing empties the file: an output that is one of the
  // task's inputs would destroy it.
  struct stat ost;
  if (::stat(DisplayFileName(libName).c_str(), &ost) != 0) return false;
  for (size_t i = 0; i < Finput_files.size(); ++i) {
    struct stat ist;
    const char* url = Finput_files[i]->ic->url;
    if (url && ::stat(DisplayFileName(url).c_str(), &ist) == 0 && ist.st_dev == ost.st_dev &&
        ist.st_ino == ost.st_ino) {
      FLastErrMsg = FormatStr("Output file '%s' is input file #%d", AFileName.c_str(), static_cast<int>(i));
      return true;
    }
  }
  return false;
}

void TCustomFFmpeg::open_output_io() {
  for (auto& of : Foutput_files) {
    if (!of->open_pending) continue;  // join: one file behind every entry
    of->open_pending = false;
    AVFormatContext* oc = of->oc;
    const std::string libName = oc->url ? oc->url : "";
    if (output_is_input(of->file_name, libName)) throw FFmpegException(FLastErrMsg);
    int err;
    if (IsUnicodeName(libName)) {
      err = OpenUnicodeIO(libName, AVIO_FLAG_WRITE, &of->custom_io);
      oc->pb = of->custom_io;
    } else {
      err = ffapi::avio_open(&oc->pb, libName.c_str(), AVIO_FLAG_WRITE);
    }
    if (err < 0) throw FFmpegException(ErrorText(of->file_name, err));
    of->opened_file = true;
  }
}

int TCustomFFmpeg::open_output_file(const std::string& AFileName, bool AJoin) {
  if (FJoinMode) {
    FLastErrMsg = "Cannot join more than one output file.";
    return -1;
  }
  if (static_cast<int>(Foutput_files.size()) >= FMaxFiles) {
    FLastErrMsg = FormatStr("max output files %d reached", FMaxFiles);
    return -1;
  }
  FEnableFilter = !Fvfilters.empty();
  const std::string libName = LibraryFileName(AFileName);
  const AVOutputFormat* file_oformat = nullptr;
  if (!Flast_asked_format.empty()) {
    file_oformat = ffapi::av_guess_format(Flast_asked_format.c_str(), nullptr, nullptr);
    if (!file_oformat) {
      FLastErrMsg =
          FormatStr("Requested output format '%s' is not a suitable output format", Flast_asked_format.c_str());
      return -1;
    }
    Flast_asked_format.clear();
  } else {
    file_oformat = ffapi::av_guess_format(nullptr, DisplayFileName(libName).c_str(), nullptr);
    if (!file_oformat) {
      FLastErrMsg = FormatStr("Unable to find a suitable output format for '%s'", AFileName.c_str());
      return -1;
    }
  }
  auto of = std::make_shared<TOutputFile>();
  of->file_name = AFileName;
  AVFormatContext* oc = nullptr;
  if (ffapi::avformat_alloc_output_context2(&oc, file_oformat, nullptr, libName.c_str()) < 0 || !oc)
    throw FFmpegException("avformat_alloc_context failed");
  of->oc = oc;

  // Audio formats that take a cover picture (mp3, flac) name PNG as their
  // video codec; they are no video formats.
  const bool default_video =
      file_oformat->video_codec != AV_CODEC_ID_NONE && file_oformat->video_codec != AV_CODEC_ID_PNG;
  bool use_video = default_video || Fvideo_stream_copy || !Fvideo_codec_name.empty();
  bool use_audio = file_oformat->audio_codec != AV_CODEC_ID_NONE || Faudio_stream_copy || !Faudio_codec_name.empty();
  bool use_subtitle =
      file_oformat->subtitle_codec != AV_CODEC_ID_NONE || Fsubtitle_stream_copy || !Fsubtitle_codec_name.empty();
  if (!Finput_files.empty()) {
    bool iv, ia, is;
    try {
      check_audio_video_sub_inputs(iv, ia, AJoin, is);
    } catch (const std::exception& e) {
      FLastErrMsg = FormatStr("check_audio_video_sub_inputs fail: %s", e.what());
      return -1;
    }
    use_video = use_video && iv;
    use_audio = use_audio && ia;
    use_subtitle = use_subtitle && is;
  }
  if (Faudio_disable) use_audio = false;
  if (Fvideo_disable) use_video = false;
  if (Fsubtitle_disable) use_subtitle = false;
  const char* step = "new_video_stream";
  try {
    if (use_video) new_video_stream(*of);
    step = "new_audio_stream";
    if (use_audio) new_audio_stream(*of);
    step = "new_subtitle_stream";
    if (use_subtitle) new_subtitle_stream(*of);
  } catch (const std::exception& e) {
    FLastErrMsg = FormatStr("%s fail: %s", step, e.what());
    return -1;
  }
  if (Frecording_timestamp != 0) {
    // The old recording time stamp is today's creation time.
    time_t t = static_cast<time_t>(Frecording_timestamp);
    struct tm g;
    ::gmtime_r(&t, &g);
    char buf[64];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S.000000Z", &g);
    ffapi::av_dict_set(&oc->metadata, "creation_time", buf, 0);
  }
  for (auto it = Fmetadata.rbegin(); it != Fmetadata.rend(); ++it)
    ffapi::av_dict_set(&oc->metadata, it->first.c_str(), it->second.c_str(), 0);
  Fmetadata.clear();

  if ((file_oformat->flags & AVFMT_NEEDNUMBER) && !ffapi::av_filename_number_test(libName.c_str())) {
    FLastErrMsg = ErrorText(DisplayFileName(libName), AVERROR(EDOM));
    return -1;
  }
  if (!(file_oformat->flags & AVFMT_NOFILE)) {
    if (output_is_input(AFileName, libName)) return -1;
    // The file itself is only created when the task starts converting
    // (open_output_io): a task that is merely set up, as when a file is added
    // to a list, must not create, empty or hold a file that may be the
    // user's. Here it is only made sure that it could be written.
    const int err = CheckOutputWritable(libName);
    if (err < 0) {
      FLastErrMsg = ErrorText(AFileName, err);
      return -1;
    }
    of->open_pending = true;
  }
  oc->max_delay = static_cast<int>(Fmux_max_delay * 1000000);
  oc->flags |= AVFMT_FLAG_NONBLOCK;
  set_context_options(FOptions, oc, FOptions.avformat_opts, AV_OPT_FLAG_ENCODING_PARAM);
  // Options the muxer itself declares: those given by name, the preload and
  // the loop count of the old format context.
  of->muxer_opts = private_options_for(FOptions, oc->oformat->priv_class ? &oc->oformat->priv_class : nullptr);
  auto declares = [&](const char* name) {
    return oc->oformat->priv_class && ffapi::av_opt_find(const_cast<AVClass**>(&oc->oformat->priv_class), name, nullptr,
                                                         0, AV_OPT_SEARCH_FAKE_OBJ);
  };
  if (declares("preload") && !ffapi::av_dict_get(of->muxer_opts, "preload", nullptr, 0))
    ffapi::av_dict_set_int(&of->muxer_opts, "preload", static_cast<int64_t>(Fmux_preload * 1000000), 0);
  if (Floop_output >= 0 && declares("loop")) ffapi::av_dict_set_int(&of->muxer_opts, "loop", Floop_output, 0);
  Fstreamid_map.clear();
  Foutput_files.push_back(of);
  if (AJoin && Finput_files.size() >= 2) {
    FJoinMode = true;
    // setup_join: the total is the sum of the known input durations, and the
    // output is repeated so that output k belongs to input k.
    int64_t sum = 0;
    for (auto& in : Finput_files)
      if (in->ic->duration != AV_NOPTS_VALUE) sum += in->ic->duration;
    FTotalOutputDuration = sum == 0 ? -1 : sum;
    for (size_t k = 1; k < Finput_files.size(); ++k) Foutput_files.push_back(of);
  }
  return static_cast<int>(Foutput_files.size());
}

}  // namespace media
