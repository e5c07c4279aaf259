// Run tables, stream mapping, codec set-up and opening, headers and trailers.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "media/FFmpeg.h"
#include "media/EngineUtils.h"
#include "media/UnicodeProtocol.h"

namespace media {

// --- helpers for output streams ---------------------------------------------------

void TCustomFFmpeg::pick_sample_format(AVCodecContext* enc, const AVCodec* codec) {
  if (!codec || !codec->sample_fmts) return;
  for (const AVSampleFormat* p = codec->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
    if (*p == enc->sample_fmt) return;
  enc->sample_fmt = codec->sample_fmts[0];
}

void TCustomFFmpeg::pick_sample_rate(AVCodecContext* enc, const AVCodec* codec) {
  if (!codec || !codec->supported_samplerates) return;
  int best = 0, best_dist = INT_MAX;
  for (const int* p = codec->supported_samplerates; *p; ++p) {
    int dist = std::abs(enc->sample_rate - *p);
    if (dist < best_dist) {
      best_dist = dist;
      best = *p;
    }
  }
  if (best_dist)
    Log(TLogLevel::llWarning, FormatStr("Requested sampling rate unsupported using closest supported (%d)", best));
  enc->sample_rate = best;
}

void TCustomFFmpeg::pick_channel_layout(AVCodecContext* enc, const AVCodec* codec) {
  if (!codec || !codec->ch_layouts) return;
  // A layout the encoder cannot code fails its opening (5.1 into MP2, 7.1
  // into AC-3): the same count of channels, else the most below, else the
  // fewest above, and the resampler mixes down or up to it.
  const int want = enc->ch_layout.nb_channels;
  const AVChannelLayout* best = nullptr;
  auto better = [want](int n, int b) {
    if (n == b) return false;
    if (n == want) return true;
    if (b == want) return false;
    if (n < want) return b > want || n > b;
    return b > want && n < b;
  };
  for (const AVChannelLayout* p = codec->ch_layouts; p->nb_channels; ++p) {
    if (!ffapi::av_channel_layout_compare(p, &enc->ch_layout)) return;
    if (!best || better(p->nb_channels, best->nb_channels)) best = p;
  }
  if (!best) return;
  char name[64] = {};
  ffapi::av_channel_layout_describe(best, name, sizeof name);
  Log(TLogLevel::llWarning, FormatStr("%d audio channels unsupported by the encoder; using %s", want, name));
  AVChannelLayout chosen{};
  if (ffapi::av_channel_layout_copy(&chosen, best) < 0) return;
  ffapi::av_channel_layout_uninit(&enc->ch_layout);
  enc->ch_layout = chosen;
}

void TCustomFFmpeg::pick_pixel_format(AVCodecContext* enc, const AVCodec* codec) {
  if (!codec || !codec->pix_fmts) return;
  for (const AVPixelFormat* p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
    if (*p == enc->pix_fmt) return;
  if (codec->id == AV_CODEC_ID_MJPEG && enc->strict_std_compliance < 0 &&
      (enc->pix_fmt == AV_PIX_FMT_YUV420P || enc->pix_fmt == AV_PIX_FMT_YUV422P))
    return;
  enc->pix_fmt = codec->pix_fmts[0];
}

// --- run tables ---------------------------------------------------------------------

void TCustomFFmpeg::build_input_tables() {
  Ffile_table.clear();
  Fist_table.clear();
  int count = 0;
  for (size_t i = 0; i < Finput_files.size(); ++i) {
    TAVInputFile f;
    f.ist_index = count;
    f.nb_streams = static_cast<int>(Finput_files[i]->ic->nb_streams);
    count += f.nb_streams;
    Ffile_table.push_back(f);
  }
  Fist_table.reserve(count);
  for (size_t i = 0; i < Finput_files.size(); ++i) {
    AVFormatContext* ic = Finput_files[i]->ic;
    for (unsigned k = 0; k < ic->nb_streams; ++k) {
      TAVInputStream ist;
      ist.st = ic->streams[k];
      ist.dec_ctx = Finput_files[i]->dec[k];
      ist.file_index = static_cast<int>(i);
      ist.index = static_cast<int>(k);
      ist.discard = 1;
      if (Frate_emu) ist.start = ffapi::av_gettime();
      Fist_table.push_back(ist);
    }
  }
}

void TCustomFFmpeg::create_output_tables() {
  int total = 0;
  for (size_t i = 0; i < Foutput_files.size(); ++i) {
    AVFormatContext* oc = Foutput_files[i]->oc;
    if (oc->nb_streams == 0) {
      ffapi::av_dump_format(oc, static_cast<int>(i), oc->url, 1);
      throw FFmpegException(FormatStr("Output file #%d does not contain any stream", static_cast<int>(i)));
    }
    total += static_cast<int>(oc->nb_streams);
  }
  if (Foutput_files.empty()) throw FFmpegException("At least one output file must be specified");
  Fblock_size = static_cast<int>(Foutput_files[0]->oc->nb_streams);
  if (!Fstream_maps.empty() && static_cast<int>(Fstream_maps.size()) != total)
    throw FFmpegException("Number of stream maps must match number of output streams");
  const int nfiles = static_cast<int>(Ffile_table.size());
  for (const TAVStreamMap& m : Fstream_maps) {
    if (m.file_index < 0 || m.file_index >= nfiles || m.stream_index < 0 ||
        m.stream_index >= Ffile_table[m.file_index].nb_streams)
      throw FFmpegException(FormatStr("Could not find input stream #%d.%d", m.file_index, m.stream_index));
    if (m.sync_file_index < 0 || m.sync_file_index >= nfiles || m.sync_stream_index < 0 ||
        m.sync_stream_index >= Ffile_table[m.sync_file_index].nb_streams)
      throw FFmpegException(FormatStr("Could not find sync stream #%d.%d", m.sync_file_index, m.sync_stream_index));
  }
  Fost_table.assign(total, TAVOutputStream());
  map_output_streams();
  setup_output_codecs();
}

TAVInputStream* TCustomFFmpeg::find_source_stream(const TAVOutputStream& ost, int j) {
  const AVMediaType type = ost.st->codecpar->codec_type;
  // Today's libraries no longer tell how many frames were probed; the stream
  // that lasts longest (then has more frames) stands in for it.
  auto score = [](const TAVInputStream& ist) -> int64_t {
    const AVStream* st = ist.st;
    if (st->duration != AV_NOPTS_VALUE && st->time_base.den)
      return ffapi::av_rescale_q(st->duration, st->time_base, AVRational{1, 1000});
    return st->nb_frames;
  };
  auto inProgram = [&](const TAVInputStream& ist) {
    AVFormatContext* ic = Finput_files[ist.file_index]->ic;
    for (unsigned p = 0; p < ic->nb_programs; ++p) {
      if (ic->programs[p]->id != Fopt_programid) continue;
      for (unsigned s = 0; s < ic->programs[p]->nb_stream_indexes; ++s)
        if (static_cast<int>(ic->programs[p]->stream_index[s]) == ist.index) return true;
    }
    return false;
  };
  TAVInputStream* best = nullptr;
  int64_t best_score = -1;
  for (TAVInputStream& ist : Fist_table) {
    if (Fopt_programid != 0 && !inProgram(ist)) continue;
    if (ist.discard && ist.st->discard != AVDISCARD_ALL && ist.st->codecpar->codec_type == type &&
        (!FJoinMode || ist.file_index == j)) {
      int64_t sc = score(ist);
      if (sc > best_score) {
        best_score = sc;
        best = &ist;
      }
    }
  }
  if (!best && Fopt_programid == 0 && !FJoinMode)
    for (TAVInputStream& ist : Fist_table)
      if (ist.st->codecpar->codec_type == type && ist.st->discard != AVDISCARD_ALL) best = &ist;
  return best;
}

void TCustomFFmpeg::map_output_streams() {
  int n = 0;
  for (size_t j = 0; j < Foutput_files.size(); ++j) {
    TOutputFile& of = *Foutput_files[j];
    for (unsigned k = 0; k < of.oc->nb_streams; ++k, ++n) {
      TAVOutputStream& ost = Fost_table[n];
      ost.file_index = static_cast<int>(j);
      ost.index = static_cast<int>(k);
      ost.st = of.oc->streams[k];
      ost.enc_ctx = of.streams[k].enc;
      ost.stream_copy = of.streams[k].copy ? 1 : 0;
      const AVMediaType type = ost.st->codecpar->codec_type;
      TAVInputStream* src;
      if (!Fstream_maps.empty()) {
        const TAVStreamMap& m = Fstream_maps[n];
        ost.source_index = Ffile_table[m.file_index].ist_index + m.stream_index;
        src = &Fist_table[ost.source_index];
        if (src->st->codecpar->codec_type != type) {
          ffapi::av_dump_format(of.oc, static_cast<int>(j), of.oc->url, 1);
          throw FFmpegException(FormatStr("Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)", m.file_index,
                                          m.stream_index, MediaTypeName(src->st->codecpar->codec_type).c_str(),
                                          static_cast<int>(j), static_cast<int>(k), MediaTypeName(type).c_str()));
        }
        ost.sync_ist = &Fist_table[Ffile_table[m.sync_file_index].ist_index + m.sync_stream_index];
      } else {
        src = find_source_stream(ost, static_cast<int>(j));
        if (!src) {
          ffapi::av_dump_format(of.oc, static_cast<int>(j), of.oc->url, 1);
          throw FFmpegException(FormatStr("Could not find input stream matching output stream #%d.%d (%s)",
                                          static_cast<int>(j), static_cast<int>(k), MediaTypeName(type).c_str()));
        }
        ost.source_index = static_cast<int>(src - Fist_table.data());
        ost.sync_ist = src;
      }
      src->discard = 0;
      ost.show_fps = 1;
    }
  }
}

void TCustomFFmpeg::init_input_pts() {
  for (TAVInputStream& ist : Fist_table) {
    AVRational r = ist.st->avg_frame_rate;
    int delay = ist.dec_ctx ? ist.dec_ctx->has_b_frames : 0;
    ist.pts = r.num && r.den ? -std::llround(static_cast<double>(delay) * 1000000.0 * r.den / r.num) : 0;
    if (ist.pts == 0) ist.pts = 0;  // no negative zero
    ist.next_pts = AV_NOPTS_VALUE;
    ist.is_start = 1;
  }
}

void TCustomFFmpeg::apply_metadata_maps() {
  for (const TAVMetaDataMap& m : Fmeta_data_maps) {
    const char* fmt = nullptr;
    if (m.out_file < 0 || m.out_file >= nb_output_files())
      fmt = "Invalid output file index %d map_meta_data(%d,%d)";
    else if (m.in_file < 0 || m.in_file >= nb_input_files())
      fmt = "Invalid input file index %d map_meta_data(%d,%d)";
    if (fmt) {
      std::string msg = FormatStr(fmt, fmt[8] == 'o' ? m.out_file : m.in_file, m.out_file, m.in_file);
      dump_stream_mapping();
      Log(TLogLevel::llError, msg);
      throw FFmpegException(msg);
    }
    AVFormatContext* oc = Foutput_files[m.out_file]->oc;
    AVFormatContext* ic = Finput_files[m.in_file]->ic;
    const AVDictionaryEntry* t = nullptr;
    while ((t = ffapi::av_dict_get(ic->metadata, "", t, AV_DICT_IGNORE_SUFFIX)))
      ffapi::av_dict_set(&oc->metadata, t->key, t->value, AV_DICT_DONT_OVERWRITE);
  }
}

void TCustomFFmpeg::transfer_all_chapters() {
  for (int i = 0; i < nb_input_files(); ++i) {
    if (Finput_files[i]->ic->nb_chapters == 0) continue;
    const int outs = FJoinMode ? 1 : nb_output_files();
    for (int j = 0; j < outs; ++j) transfer_chapters(i, j);
  }
}

void TCustomFFmpeg::transfer_chapters(int in_file, int out_file) {
  AVFormatContext* is = Finput_files[in_file]->ic;
  AVFormatContext* os = Foutput_files[out_file]->oc;
  for (unsigned i = 0; i < is->nb_chapters; ++i) {
    AVChapter* in_ch = is->chapters[i];
    const int64_t ts_off =
        ffapi::av_rescale_q(Fstart_time - Finput_files[in_file]->ts_offset, AV_TIME_BASE_Q, in_ch->time_base);
    const int64_t rt = Frecording_time == INT64_MAX
                           ? INT64_MAX
                           : ffapi::av_rescale_q(Frecording_time, AV_TIME_BASE_Q, in_ch->time_base);
    if (in_ch->end < ts_off) continue;
    if (rt != INT64_MAX && in_ch->start > rt + ts_off) break;
    auto** chapters =
        static_cast<AVChapter**>(ffapi::av_realloc(os->chapters, sizeof(AVChapter*) * (os->nb_chapters + 1)));
    if (!chapters) throw FFmpegException("av_realloc fail");
    os->chapters = chapters;
    auto* out_ch = static_cast<AVChapter*>(ffapi::av_mallocz(sizeof(AVChapter)));
    if (!out_ch) throw FFmpegException("av_mallocz fail");
    out_ch->id = in_ch->id;
    out_ch->time_base = in_ch->time_base;
    out_ch->start = std::max<int64_t>(0, in_ch->start - ts_off);
    out_ch->end = std::min(rt, in_ch->end - ts_off);
    const AVDictionaryEntry* t = nullptr;
    while ((t = ffapi::av_dict_get(in_ch->metadata, "", t, AV_DICT_IGNORE_SUFFIX)))
      ffapi::av_dict_set(&out_ch->metadata, t->key, t->value, 0);
    os->chapters[os->nb_chapters++] = out_ch;
  }
}

void TCustomFFmpeg::dump_stream_mapping() {
  for (int i = 0; i < nb_output_files(); ++i) {
    ffapi::av_dump_format(Foutput_files[i]->oc, i, Foutput_files[i]->oc->url, 1);
    if (FJoinMode) break;
  }
  if (Fverbose < 0) return;
  Log(TLogLevel::llVerbose, "Stream mapping:");
  for (const TAVOutputStream& ost : Fost_table) {
    const TAVInputStream& ist = Fist_table[ost.source_index];
    const std::string type = MediaTypeName(ost.st->codecpar->codec_type);
    Log(TLogLevel::llVerbose, FormatStr("  Stream #%d.%d -> #%d.%d (%s)", ist.file_index, ist.index,
                                        FJoinMode ? 0 : ost.file_index, ost.index, type.c_str()));
    if (ost.sync_ist && ost.sync_ist != &ist)
      Log(TLogLevel::llVerbose,
          FormatStr(" [sync #%d.%d (%s)]", ost.sync_ist->file_index, ost.sync_ist->index, type.c_str()));
  }
}

void TCustomFFmpeg::free_transcode_tables() {
  // Whatever a failed run left open is closed before its records go.
  CloseEncoderList();
  CloseDecoderList();
  for (TAVOutputStream& ost : Fost_table) {
    if (ost.logfile) std::fclose(ost.logfile);
    if (ost.fifo) ffapi::av_audio_fifo_free(ost.fifo);
    if (ost.pict_tmp) ffapi::av_frame_free(&ost.pict_tmp);
    if (ost.img_resample_ctx) ffapi::sws_freeContext(ost.img_resample_ctx);
    if (ost.resample) ffapi::swr_free(&ost.resample);
    if (ost.enc_ctx) ost.enc_ctx->stats_in = nullptr;
  }
  Fost_table.clear();
  Fist_table.clear();
  Ffile_table.clear();
}

// --- codec set-up ---------------------------------------------------------------------

void TCustomFFmpeg::setup_output_codecs() {
  for (size_t i = 0; i < Fost_table.size(); ++i) {
    TAVOutputStream& ost = Fost_table[i];
    TAVInputStream& ist = Fist_table[ost.source_index];
    const AVDictionaryEntry* t = nullptr;
    while ((t = ffapi::av_dict_get(ist.st->metadata, "", t, AV_DICT_IGNORE_SUFFIX)))
      ffapi::av_dict_set(&ost.st->metadata, t->key, t->value, AV_DICT_DONT_OVERWRITE);
    ost.st->disposition = ist.st->disposition;
    // An encoded picture is an ordinary video stream: muxers that take a
    // cover (MP4, MOV, 3GP) refuse any codec but an image one for it.
    if (!ost.stream_copy) ost.st->disposition &= ~AV_DISPOSITION_ATTACHED_PIC;
    if (ost.enc_ctx && ist.dec_ctx) {
      ost.enc_ctx->bits_per_raw_sample = ist.dec_ctx->bits_per_raw_sample;
      ost.enc_ctx->chroma_sample_location = ist.dec_ctx->chroma_sample_location;
    }
    if (FJoinMode && static_cast<int>(i) >= Fblock_size) {
      // Later blocks share the first block's streams and codecs.
      ost.encoding_needed = Fost_table[i % Fblock_size].encoding_needed;
      if (ost.encoding_needed) ist.decoding_needed = 1;
      continue;
    }
    if (ost.stream_copy)
      setup_stream_copy(ost, ist);
    else
      setup_encoding(static_cast<int>(i));
    if (ost.st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && ost.enc_ctx) {
      const int64_t need = 6LL * ost.enc_ctx->width * ost.enc_ctx->height + 200;
      if (need > Fbit_buffer_size) Fbit_buffer_size = need > INT_MAX ? INT_MAX : static_cast<int>(need);
    }
  }
}

void TCustomFFmpeg::setup_stream_copy(TAVOutputStream& ost, TAVInputStream& ist) {
  const AVCodecParameters* ipar = ist.st->codecpar;
  if (static_cast<int64_t>(ipar->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE > INT_MAX)
    throw FFmpegException("icodec.extradata_size is invalid (too large)");
  AVCodecParameters* par = ost.st->codecpar;
  const uint32_t wanted_tag = ost.enc_ctx ? ost.enc_ctx->codec_tag : 0;
  if (ffapi::avcodec_parameters_copy(par, ipar) < 0) throw FFmpegException("av_mallocz fail");
  AVFormatContext* oc = Foutput_files[ost.file_index]->oc;
  const AVCodecTag* const* tags = oc->oformat->codec_tag;
  if (wanted_tag) {
    par->codec_tag = wanted_tag;
  } else if (!(!tags || ffapi::av_codec_get_id(tags, ipar->codec_tag) == ipar->codec_id ||
               ffapi::av_codec_get_tag(tags, ipar->codec_id) == 0)) {
    par->codec_tag = 0;
  }
  // Time base of the copy.
  AVRational itb = ist.st->time_base;
  AVRational ctb = ist.dec_ctx ? ist.dec_ctx->time_base : AVRational{0, 1};
  const int ticks = ist.dec_ctx && ist.dec_ctx->ticks_per_frame > 0 ? ist.dec_ctx->ticks_per_frame : 1;
  if (ctb.num && ctb.den && itb.den &&
      static_cast<double>(ctb.num) * ticks / ctb.den > static_cast<double>(itb.num) / itb.den &&
      static_cast<double>(itb.num) / itb.den < 1.0 / 1000) {
    int num, den;
    ffapi::av_reduce(&num, &den, static_cast<int64_t>(ctb.num) * ticks, ctb.den, INT_MAX);
    ost.st->time_base = AVRational{num, den};
  } else {
    ost.st->time_base = itb;
  }
  switch (par->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      if (Faudio_volume != 256)
        throw FFmpegException("-acodec copy and -vol are incompatible (frames are not decoded)");
      if ((par->block_align == 1 && par->codec_id == AV_CODEC_ID_MP3) || par->codec_id == AV_CODEC_ID_AC3)
        par->block_align = 0;
      break;
    case AVMEDIA_TYPE_VIDEO:
      if (FOnCustomHook) throw FFmpegException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
      if (Fusing_vhook) throw FFmpegException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
      if (FPostHooks) throw FFmpegException("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
      if (ost.enc_ctx && ost.enc_ctx->sample_aspect_ratio.num)
        ost.st->sample_aspect_ratio = ost.enc_ctx->sample_aspect_ratio;
      else
        ost.st->sample_aspect_ratio = ist.st->sample_aspect_ratio;
      // Copied pictures keep their turn for display, so players still show
      // them upright.
      {
        size_t size = 0;
        const uint8_t* matrix = ffapi::av_stream_get_side_data(ist.st, AV_PKT_DATA_DISPLAYMATRIX, &size);
        if (matrix && size) {
          uint8_t* copy = ffapi::av_stream_new_side_data(ost.st, AV_PKT_DATA_DISPLAYMATRIX, size);
          if (!copy) throw FFmpegException("av_mallocz fail");
          std::memcpy(copy, matrix, size);
        }
      }
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      break;
    default:
      throw FFmpegException("invalid codec_type of output stream");
  }
}

void TCustomFFmpeg::setup_encoding(int i) {
  TAVOutputStream& ost = Fost_table[i];
  TAVInputStream& ist = Fist_table[ost.source_index];
  AVCodecContext* codec = ost.enc_ctx;
  AVCodecContext* icodec = ist.dec_ctx;
  switch (codec->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      ost.fifo = ffapi::av_audio_fifo_alloc(codec->sample_fmt >= 0 ? codec->sample_fmt : AV_SAMPLE_FMT_S16,
                                            codec->ch_layout.nb_channels > 0 ? codec->ch_layout.nb_channels : 1, 1024);
      if (!ost.fifo) throw FFmpegException("av_fifo_alloc fail");
      ost.reformat_enc_fmt = ost.reformat_dec_fmt = -1;
      ost.audio_resample = (codec->sample_rate != icodec->sample_rate || Faudio_sync_method > 1) ? 1 : 0;
      ost.encoding_needed = 1;
      ist.decoding_needed = 1;
      break;
    case AVMEDIA_TYPE_VIDEO: {
      if (codec->pix_fmt == AV_PIX_FMT_NONE)
        throw FFmpegException("Video pixel format is unknown, stream cannot be encoded");
      const int l = Fframe_leftBand, r = Fframe_rightBand, t = Fframe_topBand, b = Fframe_bottomBand;
      ost.video_crop = (l + r + t + b) != 0;
      ost.video_resample = (icodec->width - l - r != codec->width) || (icodec->height - t - b != codec->height) ||
                           (icodec->pix_fmt != codec->pix_fmt);
      if (ost.video_crop) {
        ost.topBand = ost.original_topBand = t;
        ost.bottomBand = ost.original_bottomBand = b;
        ost.leftBand = ost.original_leftBand = l;
        ost.rightBand = ost.original_rightBand = r;
      }
      if (ost.video_resample) {
        ost.pict_tmp = ffapi::av_frame_alloc();
        if (ost.pict_tmp) {
          ost.pict_tmp->format = codec->pix_fmt;
          ost.pict_tmp->width = codec->width;
          ost.pict_tmp->height = codec->height;
        }
        if (!ost.pict_tmp || ffapi::av_frame_get_buffer(ost.pict_tmp, 0) < 0)
          throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        int64_t flags = 0;
        if (FOptions.sws_opts && ffapi::av_opt_get_int(FOptions.sws_opts, "sws_flags", 0, &flags) >= 0)
          Fsws_flags = static_cast<unsigned>(flags);
        ost.img_resample_ctx =
            NewVideoScaler(icodec->width - l - r, icodec->height - t - b, icodec->pix_fmt, codec->width, codec->height,
                           codec->pix_fmt, static_cast<int>(Fsws_flags), codec_threads());
        if (!ost.img_resample_ctx) throw FFmpegException("Cannot get resampling context");
        if (!FEnableFilter) {
          ost.original_height = icodec->height;
          ost.original_width = icodec->width;
        }
        codec->bits_per_raw_sample = 0;
      }
      ost.resample_height = icodec->height - t - b;
      ost.resample_width = icodec->width - l - r;
      ost.resample_pix_fmt = icodec->pix_fmt;
      ost.encoding_needed = 1;
      ist.decoding_needed = 1;
      FLastErrMsg.clear();
      // A picture turned for display goes through the filter graph, which
      // turns it upright before it is scaled.
      if ((FEnableFilter || StreamRotation(ist.st) != 0) && !build_filter_graph(ost, ist))
        throw FFmpegException(FLastErrMsg.empty() ? std::string("Error opening filters!")
                                                  : "Error opening filters: " + FLastErrMsg);
      break;
    }
    case AVMEDIA_TYPE_SUBTITLE:
      ost.encoding_needed = 1;
      ist.decoding_needed = 1;
      break;
    default:
      throw FFmpegException("invalid codec_type of output stream");
  }
  if (ost.encoding_needed && (codec->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2))) open_pass_log(i);
}

void TCustomFFmpeg::open_pass_log(int i) {
  TAVOutputStream& ost = Fost_table[i];
  std::string name = (Fpass_logfilename_prefix.empty() ? std::string("ffmpeg2pass") : Fpass_logfilename_prefix) + "-" +
                     std::to_string(i) + ".log";
  if (name.size() > 1023) name.resize(1023);
  if (ost.enc_ctx->flags & AV_CODEC_FLAG_PASS1) {
    ost.logfile = std::fopen(name.c_str(), "wb");
    if (!ost.logfile) throw FFmpegException(FormatStr("Cannot write log file %s for pass-1 encoding", name.c_str()));
  } else {
    uint8_t* buf = nullptr;
    int size = 0;
    int r = ReadWholeFile(name, &buf, &size);
    if (r == -12)
      throw FFmpegException(
          FormatStr("Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding", name.c_str()));
    if (r < 0)
      throw FFmpegException(
          FormatStr("Cannot read file: Error reading log file \"%s\" for pass-2 encoding", name.c_str()));
    ost.stats_in.assign(reinterpret_cast<char*>(buf), size > 0 ? size - 1 : 0);
    ffapi::av_free(buf);
    ost.enc_ctx->stats_in = ost.stats_in.data();
  }
}

const AVCodec* TCustomFFmpeg::encoder_for(const TAVOutputStream& ost) const {
  const TOutputStreamSetup& s = Foutput_files[ost.file_index]->streams[ost.index];
  return s.codec ? s.codec : ffapi::avcodec_find_encoder(ost.enc_ctx->codec_id);
}

void TCustomFFmpeg::open_encoders() {
  // Text subtitle encoders take their style header from the decoder, so
  // their decoders are opened first.
  for (const TAVOutputStream& ost : Fost_table)
    if (ost.encoding_needed && ost.enc_ctx && ost.enc_ctx->codec_type == AVMEDIA_TYPE_SUBTITLE) {
      open_decoders();
      break;
    }
  for (size_t i = 0; i < Fost_table.size(); ++i) {
    if (FJoinMode && static_cast<int>(i) >= Fblock_size) break;
    TAVOutputStream& ost = Fost_table[i];
    if (!ost.encoding_needed) continue;
    const AVCodec* codec = encoder_for(ost);
    const std::string type = MediaTypeName(ost.enc_ctx->codec_type);
    if (!codec) {
      dump_stream_mapping();
      std::string msg = FormatStr("Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                                  static_cast<int>(ost.enc_ctx->codec_id), ost.file_index, ost.index, type.c_str());
      Log(TLogLevel::llError, msg);
      throw FFmpegException(msg);
    }
    AVDictionary* opts = private_options_for(FOptions, &codec->priv_class);
    const AVCodecContext* dec = Fist_table[ost.source_index].dec_ctx;
    if (ost.enc_ctx->codec_type == AVMEDIA_TYPE_SUBTITLE && dec && dec->subtitle_header &&
        !ost.enc_ctx->subtitle_header) {
      ost.enc_ctx->subtitle_header = static_cast<uint8_t*>(ffapi::av_mallocz(dec->subtitle_header_size + 1));
      if (!ost.enc_ctx->subtitle_header) throw FFmpegException("av_mallocz fail");
      std::memcpy(ost.enc_ctx->subtitle_header, dec->subtitle_header, dec->subtitle_header_size);
      ost.enc_ctx->subtitle_header_size = dec->subtitle_header_size;
    }
    if (ost.enc_ctx->codec_type == AVMEDIA_TYPE_SUBTITLE && !ost.enc_ctx->time_base.num)
      ost.enc_ctx->time_base = AV_TIME_BASE_Q;
    // The share of the machine is known once the run has started.
    ost.enc_ctx->thread_count = codec_threads();
    int r;
    {
      // Held for the opening alone; nothing here waits for the UI thread.
      std::lock_guard<std::recursive_mutex> lk(CodecLock());
      if (FJoinMode) ost.codec_id = ost.enc_ctx->codec_id;
      r = ffapi::avcodec_open2(ost.enc_ctx, codec, &opts);
      if (r >= 0) {
        ost.encoder_opened = 1;
        FEncoderList.push_back(&ost);
      }
    }
    ffapi::av_dict_free(&opts);
    if (r < 0) {
      dump_stream_mapping();
      std::string msg = FormatStr(
          "Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect parameters such as bit_rate, "
          "rate, width or height. Please check error log message to find out more detail information.",
          ost.file_index, ost.index, type.c_str());
      Log(TLogLevel::llError, msg);
      throw FFmpegException(msg);
    }
    ost.encoder = codec;
    if (ffapi::avcodec_parameters_from_context(ost.st->codecpar, ost.enc_ctx) < 0)
      throw FFmpegException("av_mallocz fail");
    ost.st->time_base = ost.enc_ctx->time_base;
    if (ost.enc_ctx->codec_type == AVMEDIA_TYPE_VIDEO) ost.st->avg_frame_rate = ost.enc_ctx->framerate;
    Fextra_size += ost.enc_ctx->extradata_size;
  }
}

void TCustomFFmpeg::open_decoders() {
  for (size_t i = 0; i < Fist_table.size(); ++i) {
    TAVInputStream& ist = Fist_table[i];
    if (!ist.decoding_needed || ist.decoder_opened) continue;
    const AVCodec* codec = i < Finput_codecs.size() && Finput_codecs[i]
                               ? Finput_codecs[i]
                               : ffapi::avcodec_find_decoder(ist.dec_ctx->codec_id);
    const std::string type = MediaTypeName(ist.dec_ctx->codec_type);
    if (!codec) {
      dump_stream_mapping();
      std::string msg = FormatStr("Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                                  static_cast<int>(ist.dec_ctx->codec_id), ist.file_index, ist.index, type.c_str());
      Log(TLogLevel::llError, msg);
      throw FFmpegException(msg);
    }
    ist.dec_ctx->thread_count = codec_threads();
    int r;
    {
      std::lock_guard<std::recursive_mutex> lk(CodecLock());
      r = ffapi::avcodec_open2(ist.dec_ctx, codec, nullptr);
      if (r >= 0) {
        ist.decoder_opened = 1;
        FDecoderList.push_back(&ist);
      }
    }
    if (r < 0) {
      dump_stream_mapping();
      std::string msg = FormatStr("Error while opening decoder for input stream #%d.%d (%s)", ist.file_index, ist.index,
                                  type.c_str());
      Log(TLogLevel::llError, msg);
      throw FFmpegException(msg);
    }
  }
}

void TCustomFFmpeg::write_headers() {
  bool all_rtp = !Foutput_files.empty();
  for (int i = 0; i < nb_output_files(); ++i) {
    TOutputFile& of = *Foutput_files[i];
    if (of.header_written) continue;  // join: one file behind every entry
    AVDictionary* opts = nullptr;
    ffapi::av_dict_copy(&opts, of.muxer_opts, 0);
    int r = ffapi::avformat_write_header(of.oc, &opts);
    ffapi::av_dict_free(&opts);
    if (r < 0) {
      dump_stream_mapping();
      std::string msg = FormatStr("Could not write header for output file #%d (incorrect codec parameters ?)", i);
      Log(TLogLevel::llError, msg);
      throw FFmpegException(msg);
    }
    of.header_written = true;
    all_rtp = all_rtp && std::strcmp(of.oc->oformat->name, "rtp") == 0;
  }
  if (all_rtp) {
    std::vector<AVFormatContext*> ocs;
    for (auto& of : Foutput_files) ocs.push_back(of->oc);
    char sdp[2048] = {};
    ffapi::av_sdp_create(ocs.data(), static_cast<int>(ocs.size()), sdp, sizeof sdp);
    Log(TLogLevel::llInfo, "SDP:\r\n" + TrimStr(sdp));
  }
}

void TCustomFFmpeg::write_trailers() {
  // A trailer that cannot be written (a full disk, an MP4 index at the end)
  // leaves an unplayable file: that is a failure, not a finished task.
  std::string failure;
  for (int i = 0; i < nb_output_files(); ++i) {
    TOutputFile& of = *Foutput_files[i];
    if (!of.header_written || of.trailer_written) continue;
    of.trailer_written = true;
    int r = ffapi::av_write_trailer(of.oc);
    if (r >= 0 && of.oc->pb && of.oc->pb->error < 0) r = of.oc->pb->error;
    if (r < 0 && failure.empty())
      failure = FormatStr("Could not write trailer for output file #%d: %s", i, ErrorMessageOf(r).c_str());
  }
  if (!failure.empty()) throw FFmpegException(failure);
}

void TCustomFFmpeg::check_outputs_fed() {
  // An input stream without a single packet (a silent recording's empty
  // audio track, a start time past the end) leaves a file of headers alone:
  // the task did not convert anything, so it must not end as finished.
  const int files = FJoinMode ? 1 : nb_output_files();
  for (int i = 0; i < files; ++i) {
    bool fed = false;
    for (const TAVOutputStream& ost : Fost_table) {
      if (!FJoinMode && ost.file_index != i) continue;
      const AVMediaType type = ost.st->codecpar->codec_type;
      if ((type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) || ost.frame_number > 0 || ost.samples_fed > 0)
        fed = true;
    }
    if (!fed)
      throw FFmpegException(FormatStr("Output file #%d is empty: the input gave no audio or video to convert", i));
  }
}

void TCustomFFmpeg::close_encoders() {
  std::lock_guard<std::recursive_mutex> lk(CodecLock());
  for (size_t i = 0; i < Fost_table.size(); ++i) {
    if (FJoinMode && static_cast<int>(i) >= Fblock_size) break;
    TAVOutputStream& ost = Fost_table[i];
    if (!ost.encoding_needed || !ost.encoder_opened) continue;
    ost.enc_ctx->stats_in = nullptr;
    ost.stats_in.clear();
    ffapi::avcodec_close(ost.enc_ctx);
    ost.encoder_opened = 0;
    FEncoderList.erase(std::remove(FEncoderList.begin(), FEncoderList.end(), &ost), FEncoderList.end());
  }
}

void TCustomFFmpeg::close_decoders() {
  std::lock_guard<std::recursive_mutex> lk(CodecLock());
  for (TAVInputStream& ist : Fist_table) {
    if (!ist.decoding_needed || !ist.decoder_opened) continue;
    ffapi::avcodec_close(ist.dec_ctx);
    ist.decoder_opened = 0;
    FDecoderList.erase(std::remove(FDecoderList.begin(), FDecoderList.end(), &ist), FDecoderList.end());
  }
}

void TCustomFFmpeg::reopen_encoders() {
  // Today's libraries do not open a closed context again: each encoder of
  // the first block gets a fresh context with the same settings.
  for (int i = 0; i < Fblock_size && i < static_cast<int>(Fost_table.size()); ++i) {
    TAVOutputStream& ost = Fost_table[i];
    if (!ost.encoding_needed) continue;
    const std::string type = MediaTypeName(ost.enc_ctx->codec_type);
    const AVCodec* codec = encoder_for(ost);
    if (!codec)
      throw FFmpegException(
          FormatStr("Unsupported codec for output stream #%d.%d (%s)", ost.file_index, ost.index, type.c_str()));
    AVCodecContext* old = ost.enc_ctx;
    AVCodecContext* fresh = ffapi::avcodec_alloc_context3(codec);
    if (!fresh) throw FFmpegException("av_mallocz fail");
    AVCodecParameters* par = ffapi::avcodec_parameters_alloc();
    if (par) {
      ffapi::avcodec_parameters_from_context(par, old);
      ffapi::avcodec_parameters_to_context(fresh, par);
      ffapi::avcodec_parameters_free(&par);
      // The encoder makes its own global header; a copied one would leak.
      ffapi::av_freep(&fresh->extradata);
      fresh->extradata_size = 0;
    }
    fresh->time_base = old->time_base;
    fresh->framerate = old->framerate;
    fresh->flags = old->flags;
    fresh->flags2 = old->flags2;
    fresh->gop_size = old->gop_size;
    fresh->max_b_frames = old->max_b_frames;
    fresh->global_quality = old->global_quality;
    fresh->qmin = old->qmin;
    fresh->qmax = old->qmax;
    fresh->rc_buffer_size = old->rc_buffer_size;
    fresh->rc_max_rate = old->rc_max_rate;
    fresh->rc_min_rate = old->rc_min_rate;
    fresh->thread_count = codec_threads();
    fresh->strict_std_compliance = old->strict_std_compliance;
    fresh->codec_id = ost.codec_id != AV_CODEC_ID_NONE ? ost.codec_id : old->codec_id;
    AVDictionary* opts = private_options_for(FOptions, &codec->priv_class);
    int r;
    {
      std::lock_guard<std::recursive_mutex> lk(CodecLock());
      if (ost.encoder_opened) {
        ffapi::avcodec_close(old);
        FEncoderList.erase(std::remove(FEncoderList.begin(), FEncoderList.end(), &ost), FEncoderList.end());
        ost.encoder_opened = 0;
      }
      r = ffapi::avcodec_open2(fresh, codec, &opts);
      if (r >= 0) {
        ost.encoder_opened = 1;
        FEncoderList.push_back(&ost);
      }
    }
    ffapi::av_dict_free(&opts);
    // The shared setup owns the context; every block's record follows it.
    TOutputStreamSetup& s = Foutput_files[ost.file_index]->streams[ost.index];
    s.enc = fresh;
    for (TAVOutputStream& o : Fost_table)
      if (o.enc_ctx == old) o.enc_ctx = fresh;
    ffapi::avcodec_free_context(&old);
    if (r < 0)
      throw FFmpegException(
          FormatStr("Error while opening codec for output stream #%d.%d (%s) - maybe incorrect parameters such as "
                    "bit_rate, rate, "
                    "width or height",
                    ost.file_index, ost.index, type.c_str()));
  }
}

}  // namespace media
