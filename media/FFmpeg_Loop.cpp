// The packet loop: input choice, time-stamp corrections, decoding with the
// send/receive calls of today's libraries and the hand-over of every frame
// to the audio, video and subtitle paths or to the stream copy.
#include "media/FFmpeg_Loop.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "media/FrameHook.h"
#include "media/EngineUtils.h"
#include "media/UnicodeProtocol.h"

namespace media {

TInputLoopState::TInputLoopState() {
  frame = ffapi::av_frame_alloc();
  filtered = ffapi::av_frame_alloc();
  if (!frame || !filtered) {
    ffapi::av_frame_free(&frame);
    ffapi::av_frame_free(&filtered);
    throw FFmpegException("av_frame_alloc fail");
  }
}

TInputLoopState::~TInputLoopState() {
  ffapi::av_frame_free(&frame);
  ffapi::av_frame_free(&filtered);
  if (graph) ffapi::avfilter_graph_free(&graph);
}

TOutputLoopState::TOutputLoopState() {
  enc_frame = ffapi::av_frame_alloc();
  pkt = ffapi::av_packet_alloc();
  if (!enc_frame || !pkt) {
    ffapi::av_frame_free(&enc_frame);
    ffapi::av_packet_free(&pkt);
    throw FFmpegException("av_frame_alloc fail");
  }
}

TOutputLoopState::~TOutputLoopState() {
  ffapi::av_frame_free(&enc_frame);
  ffapi::av_packet_free(&pkt);
  if (bsf) ffapi::av_bsf_free(&bsf);
}

TInputLoopState& LoopState(TAVInputStream& ist) {
  if (!ist.loop) ist.loop = std::make_shared<TInputLoopState>();
  return *ist.loop;
}

TOutputLoopState& LoopState(TAVOutputStream& ost) {
  if (!ost.loop) ost.loop = std::make_shared<TOutputLoopState>();
  return *ost.loop;
}

namespace {

struct PacketHolder {
  AVPacket* p;
  PacketHolder() : p(ffapi::av_packet_alloc()) {
    if (!p) throw FFmpegException("av_packet_alloc fail");
  }
  ~PacketHolder() { ffapi::av_packet_free(&p); }
};

}  // namespace

double TCustomFFmpeg::output_time(const TAVOutputStream& ost) const {
  // The stream's current output time in seconds: the frames handed to the
  // encoder, or what was written for a copy.
  if (ost.encoding_needed && ost.enc_ctx) {
    if (ost.enc_ctx->codec_type == AVMEDIA_TYPE_AUDIO && ost.enc_ctx->sample_rate > 0)
      return static_cast<double>(ost.sync_opts) / ost.enc_ctx->sample_rate;
    if (ost.enc_ctx->codec_type == AVMEDIA_TYPE_VIDEO && ost.enc_ctx->time_base.den)
      return static_cast<double>(ost.sync_opts) * ost.enc_ctx->time_base.num / ost.enc_ctx->time_base.den;
  }
  return ost.last_mux_pts == AV_NOPTS_VALUE ? 0.0 : ost.last_mux_pts / 1000000.0;
}

void TCustomFFmpeg::init_loop_state() {
  for (TAVInputStream& ist : Fist_table) LoopState(ist);
  for (TAVOutputStream& ost : Fost_table) LoopState(ost);
  // Join: the later blocks write through the first block's encoders.
  if (FJoinMode)
    for (size_t i = Fblock_size; i < Fost_table.size(); ++i) {
      TAVOutputStream& ost = Fost_table[i];
      const TAVOutputStream& first = Fost_table[i % Fblock_size];
      ost.encoder = first.encoder;
      ost.encoder_opened = first.encoder_opened;
      ost.video_crop = first.video_crop;
      ost.topBand = first.topBand, ost.bottomBand = first.bottomBand;
      ost.leftBand = first.leftBand, ost.rightBand = first.rightBand;
      ost.original_topBand = first.original_topBand, ost.original_bottomBand = first.original_bottomBand;
      ost.original_leftBand = first.original_leftBand, ost.original_rightBand = first.original_rightBand;
      ost.original_width = first.original_width, ost.original_height = first.original_height;
      const TAVInputStream& ist = Fist_table[ost.source_index];
      if (ost.enc_ctx && ost.enc_ctx->codec_type == AVMEDIA_TYPE_VIDEO && ist.dec_ctx) {
        const int l = ost.leftBand, r = ost.rightBand, t = ost.topBand, b = ost.bottomBand;
        ost.video_resample = (ist.dec_ctx->width - l - r != ost.enc_ctx->width) ||
                             (ist.dec_ctx->height - t - b != ost.enc_ctx->height) ||
                             (ist.dec_ctx->pix_fmt != ost.enc_ctx->pix_fmt);
        ost.resample_width = ist.dec_ctx->width - l - r;
        ost.resample_height = ist.dec_ctx->height - t - b;
        ost.resample_pix_fmt = ist.dec_ctx->pix_fmt;
        if (ost.video_resample && !ost.original_width) {
          ost.original_width = ist.dec_ctx->width;
          ost.original_height = ist.dec_ctx->height;
        }
      }
    }
  Fvideo_size = Faudio_size = 0;
  Fnb_frames_dup = Fnb_frames_drop = 0;
  FShowDupOrDrop = false;
  for (int& q : Fqp_histogram) q = 0;
  FHookFrameNumber = 0;
  Fpreview_last_time = Fpreview_cur_time = 0;
  // The frame-hook libraries named with "vhook", in the order given.
  for (std::vector<std::string>& args : Fvhooks) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    int r = add_frame_hook(&FFirstHook, static_cast<int>(argv.size()), argv.data());
    if (r != 0) throw FFmpegException("Failed to add video hook function: " + (args.empty() ? "" : args[0]));
  }
}

void TCustomFFmpeg::release_loop_state() {
  release_frame_hooks(&FFirstHook);
  if (Fvstats_file) {
    std::fclose(Fvstats_file);
    Fvstats_file = nullptr;
  }
  Fsubtitle_out.clear();
  Fsubtitle_out.shrink_to_fit();
  FPreviewer.reset();
}

void TCustomFFmpeg::pause_point() {
  std::unique_lock<std::mutex> lk(FPauseLock);
  FPauseCond.wait(lk, [this] { return !FPaused || FBroken; });
}

void TCustomFFmpeg::transcode_loop() {
  struct Release {
    TCustomFFmpeg* f;
    ~Release() { f->release_loop_state(); }
  } release{this};
  init_loop_state();

  const int nfiles = nb_input_files();
  std::vector<char> no_packet(nfiles, 0);
  int no_packet_count = 0;
  int file_index = 0;
  PacketHolder holder;
  AVPacket* pkt = holder.p;
  Ftimer_start = ffapi::av_gettime();
  int64_t last_report = Ftimer_start;
  const int nost = static_cast<int>(Fost_table.size());
  const int B = Fblock_size;

  while (!FBroken) {
    pause_point();
    if (FBroken) break;

    // 1. Which input gives the next packet.
    if (!FJoinMode) {
      file_index = -1;
      double ipts_min = 1e100, opts_min = 1e100;
      for (int i = 0; i < nost; ++i) {
        TAVOutputStream& ost = Fost_table[i];
        TAVInputStream& ist = Fist_table[ost.source_index];
        if (ist.is_past_recording_time || no_packet[ist.file_index]) continue;
        const double opts = output_time(ost);
        const double ipts = static_cast<double>(ist.pts);
        if (!Ffile_table[ist.file_index].eof_reached) {
          if (ipts < ipts_min) {
            ipts_min = ipts;
            if (Finput_sync) file_index = ist.file_index;
          }
          if (opts < opts_min) {
            opts_min = opts;
            if (!Finput_sync) file_index = ist.file_index;
          }
        }
        const int type = ost.st->codecpar->codec_type;
        if (type >= 0 && type < 4 && Fmax_frames[type] <= ost.frame_number) {
          file_index = -1;
          break;
        }
      }
    } else {
      for (int i = file_index * B; i < (file_index + 1) * B && i < nost; ++i) {
        TAVOutputStream& ost = Fost_table[i];
        const int type = ost.st->codecpar->codec_type;
        if (type >= 0 && type < 4 && Fmax_frames[type] <= ost.frame_number) {
          file_index = -1;
          break;
        }
      }
    }

    // 2. Nothing to read.
    if (file_index < 0) {
      if (FJoinMode || no_packet_count == 0) break;
      std::fill(no_packet.begin(), no_packet.end(), 0);
      no_packet_count = 0;
      rtl::Sleep(10);
      continue;
    }

    // 3. Size limit of the first output.
    if (Flimit_filesize != 0) {
      AVIOContext* pb = Foutput_files[0]->oc->pb;
      if (pb && ffapi::avio_seek(pb, 0, SEEK_CUR) > Flimit_filesize) break;
    }

    // 4. Read.
    AVFormatContext* ic = Finput_files[file_index]->ic;
    int ret = ffapi::av_read_frame(ic, pkt);
    if (ret == AVERROR(EAGAIN)) {
      no_packet[file_index] = 1;
      ++no_packet_count;
      continue;
    }
    if (ret < 0) {
      if (ret != AVERROR_EOF && Fverbose >= 0)
        Log(TLogLevel::llError, ErrorText(DisplayFileName(ic->url ? ic->url : ""), ret));
      Ffile_table[file_index].eof_reached = 1;
      if (!FJoinMode) {
        if (Fopt_shortest) break;
        continue;
      }
      // Join: the input ends; its block is closed and the next input follows.
      const int k = file_index;
      for (TAVInputStream& ist : Fist_table) {
        if (ist.file_index != k || !ist.decoding_needed) continue;
        decode_and_dispatch(ist, nullptr);
        if (ist.decoder_opened) ffapi::avcodec_flush_buffers(ist.dec_ctx);
        ist.decoder_flushed = 1;
      }
      if (k >= nfiles - 1) break;
      reopen_encoders();
      for (int i = (k + 1) * B; i < nost; ++i) {
        Fost_table[i].sync_opts = Fost_table[i - B].sync_opts;
        Fost_table[i].frame_number = Fost_table[i - B].frame_number;
        Fost_table[i].last_mux_pts = Fost_table[i - B].last_mux_pts;
        if (Fost_table[i].loop && Fost_table[i - B].loop)
          Fost_table[i].loop->last_dts = Fost_table[i - B].loop->last_dts;
      }
      double maxt = 0.0;
      for (int i = k * B; i < (k + 1) * B && i + B < nost; ++i) {
        TAVOutputStream& ost = Fost_table[i];
        const double t = output_time(ost);
        if (t > maxt) maxt = t;
        ost.show_fps = 0;
        if (ost.loop) ost.loop->drained = false;
      }
      for (int i = (k + 1) * B; i < nost; ++i)
        if (Fost_table[i].loop) Fost_table[i].loop->drained = false;
      Finput_files[k + 1]->ts_offset += std::llround(maxt * 1000000.0);
      file_index = k + 1;
      continue;
    }

    // 5. A packet.
    std::fill(no_packet.begin(), no_packet.end(), 0);
    no_packet_count = 0;
    if (Fdo_pkt_dump)
      ffapi::av_pkt_dump_log2(nullptr, AV_LOG_DEBUG, pkt, Fdo_hex_dump ? 1 : 0, ic->streams[pkt->stream_index]);

    bool handled = true;
    const TAVInputFile& ifile = Ffile_table[file_index];
    if (pkt->stream_index < ifile.nb_streams) {
      const int ist_index = ifile.ist_index + pkt->stream_index;
      TAVInputStream& ist = Fist_table[ist_index];
      if (!ist.discard) {
        const AVRational tb = ist.st->time_base;
        TInputFile& in = *Finput_files[file_index];
        // 7. Offset.
        if (in.ts_offset) {
          const int64_t off = ffapi::av_rescale_q(in.ts_offset, AV_TIME_BASE_Q, tb);
          if (pkt->dts != AV_NOPTS_VALUE) pkt->dts += off;
          if (pkt->pts != AV_NOPTS_VALUE) pkt->pts += off;
        }
        // 8. Scale.
        const double scale =
            pkt->stream_index < static_cast<int>(in.ts_scale.size()) ? in.ts_scale[pkt->stream_index] : 0;
        if (scale != 0) {
          if (pkt->dts != AV_NOPTS_VALUE) pkt->dts = std::llrint(pkt->dts * scale);
          if (pkt->pts != AV_NOPTS_VALUE) pkt->pts = std::llrint(pkt->pts * scale);
        }
        // 9. Discontinuity.
        if (pkt->dts != AV_NOPTS_VALUE && ist.next_pts != AV_NOPTS_VALUE && (ic->iformat->flags & AVFMT_TS_DISCONT)) {
          const int64_t pkt_dts = ffapi::av_rescale_q(pkt->dts, tb, AV_TIME_BASE_Q);
          const int64_t delta = pkt_dts - ist.next_pts;
          if ((std::llabs(delta) > static_cast<int64_t>(Fdts_delta_threshold * 1000000.0) || pkt_dts + 1 < ist.pts) &&
              !Fcopy_ts) {
            in.ts_offset -= delta;
            if (Fverbose > 2)
              Log(TLogLevel::llVerbose, FormatStr("timestamp discontinuity %lld, new offset= %lld",
                                                  static_cast<long long>(delta), static_cast<long long>(in.ts_offset)));
            const int64_t d = ffapi::av_rescale_q(delta, AV_TIME_BASE_Q, tb);
            pkt->dts -= d;
            if (pkt->pts != AV_NOPTS_VALUE) pkt->pts -= d;
          }
        }
        // 10. Recording time.
        const int64_t when = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
        if (Frecording_time != INT64_MAX && when != AV_NOPTS_VALUE &&
            ffapi::av_compare_ts(when, tb, Frecording_time + Fstart_time, AV_TIME_BASE_Q) >= 0) {
          ist.is_past_recording_time = 1;
        } else if (decode_and_dispatch(ist, pkt) < 0) {
          // 11. A decoding failure drops the packet.
          const std::string msg = FormatStr("Error while decoding stream #%d.%d (%s)", ist.file_index, ist.index,
                                            MediaTypeName(ist.st->codecpar->codec_type).c_str());
          if (Fexit_on_error) {
            ffapi::av_packet_unref(pkt);
            throw FFmpegException(msg);
          }
          if (Fverbose >= 0) Log(TLogLevel::llVerbose, msg);
          handled = false;
        }
      }
    }
    // 12. Done with the packet.
    ffapi::av_packet_unref(pkt);
    if (!handled) continue;
    const int64_t now = ffapi::av_gettime();
    if (now - last_report > ReportInterval) {
      last_report = now;
      report_progress(false, file_index);
    }
  }

  // Drain what the decoders and encoders still hold, also after a stop.
  for (TAVInputStream& ist : Fist_table)
    if (ist.decoding_needed && !ist.decoder_flushed) {
      decode_and_dispatch(ist, nullptr);
      ist.decoder_flushed = 1;
    }
  for (TAVOutputStream& ost : Fost_table)
    if (ost.encoding_needed && !(FJoinMode && &ost - Fost_table.data() >= B)) flush_encoder(ost);
  write_trailers();
  if (!FBroken) check_outputs_fed();
  report_progress(true, -1);
}

// --- decoding and dispatch --------------------------------------------------------

int TCustomFFmpeg::decode_and_dispatch(TAVInputStream& ist, const AVPacket* pkt) {
  const AVRational tb = ist.st->time_base;
  const AVCodecParameters* par = ist.st->codecpar;
  if (ist.next_pts == AV_NOPTS_VALUE) ist.next_pts = ist.pts;
  if (pkt && pkt->dts != AV_NOPTS_VALUE) ist.next_pts = ist.pts = ffapi::av_rescale_q(pkt->dts, tb, AV_TIME_BASE_Q);

  // Outputs that copy this stream take the packet as it is.
  auto copy_packet = [&](const AVPacket* p) {
    if (!p || !(Fstart_time == 0 || ist.pts >= Fstart_time)) return;
    for (TAVOutputStream& ost : Fost_table)
      if (ost.stream_copy && &Fist_table[ost.source_index] == &ist) do_stream_copy(ost, ist, p);
  };

  if (!ist.decoding_needed || !ist.decoder_opened) {
    ist.pts = ist.next_pts;
    if (pkt) {
      int64_t dur = 0;
      if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0) {
        const int fs = par->frame_size;
        if (fs > 0) dur = static_cast<int64_t>(fs) * 1000000 / par->sample_rate;
      }
      if (!dur && pkt->duration > 0) dur = ffapi::av_rescale_q(pkt->duration, tb, AV_TIME_BASE_Q);
      if (!dur && par->codec_type == AVMEDIA_TYPE_VIDEO) {
        AVRational r = ist.st->avg_frame_rate.num ? ist.st->avg_frame_rate : ist.st->r_frame_rate;
        if (r.num && r.den) dur = static_cast<int64_t>(1000000) * r.den / r.num;
      }
      ist.next_pts += dur;
      copy_packet(pkt);
    }
    return 0;
  }

  copy_packet(pkt);
  AVCodecContext* dec = ist.dec_ctx;
  TInputLoopState& ls = LoopState(ist);

  if (dec->codec_type == AVMEDIA_TYPE_SUBTITLE) {
    if (!pkt) return 0;
    AVSubtitle sub;
    int got = 0;
    AVPacket* p = ffapi::av_packet_clone(pkt);
    if (!p) throw FFmpegException("av_packet_clone fail");
    int r = ffapi::avcodec_decode_subtitle2(dec, &sub, &got, p);
    ffapi::av_packet_free(&p);
    if (r < 0) return -1;
    if (!got) return 0;
    struct SubFree {
      AVSubtitle* s;
      ~SubFree() { ffapi::avsubtitle_free(s); }
    } sf{&sub};
    if (Fstart_time == 0 || ist.pts >= Fstart_time)
      for (TAVOutputStream& ost : Fost_table)
        if (ost.encoding_needed && &Fist_table[ost.source_index] == &ist) write_subtitle(ost, ist, &sub, pkt->pts);
    return 0;
  }
  if (dec->codec_type != AVMEDIA_TYPE_AUDIO && dec->codec_type != AVMEDIA_TYPE_VIDEO) return -1;

  ls.frames_in_packet = 0;
  // Takes every frame the decoder has ready; false on a decoding error.
  auto receive_all = [&]() -> bool {
    for (;;) {
      int r = ffapi::avcodec_receive_frame(dec, ls.frame);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
      if (r < 0) return false;
      if (++ls.frames_in_packet == 2 && pkt && ((!ist.showed_multi_packet_warning && Fverbose > 0) || Fverbose > 1)) {
        Log(TLogLevel::llError, FormatStr("Multiple frames in a packet from stream %d", pkt->stream_index));
        ist.showed_multi_packet_warning = 1;
      }
      AVFrame* frame = ls.frame;
      // The stream's clock: the frame's own time when it has one, else the
      // time carried on from the previous frame.
      if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
        ist.pts = ffapi::av_rescale_q(frame->best_effort_timestamp, tb, AV_TIME_BASE_Q);
      else
        ist.pts = ist.next_pts;
      int64_t dur = 0;
      if (dec->codec_type == AVMEDIA_TYPE_AUDIO) {
        if (frame->sample_rate > 0) dur = static_cast<int64_t>(frame->nb_samples) * 1000000 / frame->sample_rate;
      } else {
        if (frame->pkt_duration > 0) dur = ffapi::av_rescale_q(frame->pkt_duration, tb, AV_TIME_BASE_Q);
        if (!dur && dec->framerate.num && dec->framerate.den)
          dur = static_cast<int64_t>(1000000) * dec->framerate.den / dec->framerate.num;
        if (!dur && dec->time_base.num && dec->time_base.den) {
          const int ticks = dec->ticks_per_frame > 0 ? dec->ticks_per_frame : 1;
          dur = static_cast<int64_t>(1000000) * dec->time_base.num * ticks / dec->time_base.den;
        }
        if (frame->repeat_pict > 0 && dur) dur += dur * frame->repeat_pict / 2;
        ist.quality = static_cast<float>(frame->quality);
      }
      ist.next_pts = ist.pts + dur;
      dispatch_decoded_frame(ist, frame);
      ffapi::av_frame_unref(frame);
    }
  };
  if (pkt || !ist.decoder_flushed) {
    int r = ffapi::avcodec_send_packet(dec, pkt);
    if (r == AVERROR(EAGAIN)) {
      // The decoder's output is full: take it, then the packet goes in.
      if (!receive_all()) return pkt ? -1 : 0;
      r = ffapi::avcodec_send_packet(dec, pkt);
    }
    if (r < 0 && r != AVERROR_EOF && r != AVERROR(EAGAIN)) return pkt ? -1 : 0;
  }
  if (!receive_all()) return pkt ? -1 : 0;
  if (!pkt) drain_encoders(ist);
  return 0;
}

void TCustomFFmpeg::dispatch_decoded_frame(TAVInputStream& ist, AVFrame* frame) {
  const AVMediaType type = ist.dec_ctx->codec_type;
  if (type == AVMEDIA_TYPE_VIDEO) prepare_video_picture(ist, frame);
  if (type == AVMEDIA_TYPE_AUDIO && Faudio_volume != 256) adjust_audio_volume(frame);
  if (Frate_emu) {
    const int64_t ahead = ist.pts - (ffapi::av_gettime() - ist.start);
    if (ahead > 1000) rtl::Sleep(static_cast<uint32_t>(ahead / 1000));
  }
  if (!(Fstart_time == 0 || ist.pts >= Fstart_time)) return;

  TInputLoopState& ls = LoopState(ist);
  if (type == AVMEDIA_TYPE_VIDEO && ls.input_video_filter && ls.out_video_filter) {
    frame->pts = frame->best_effort_timestamp;
    if (ffapi::av_buffersrc_add_frame_flags(ls.input_video_filter, frame, AV_BUFFERSRC_FLAG_KEEP_REF) < 0) return;
    for (;;) {
      int r = ffapi::av_buffersink_get_frame(ls.out_video_filter, ls.filtered);
      if (r < 0) break;
      if (ls.filtered->pts != AV_NOPTS_VALUE)
        ist.pts = ffapi::av_rescale_q(ls.filtered->pts, ffapi::av_buffersink_get_time_base(ls.out_video_filter),
                                      AV_TIME_BASE_Q);
      for (TAVOutputStream& ost : Fost_table) {
        if (!ost.encoding_needed || &Fist_table[ost.source_index] != &ist) continue;
        if (ls.filtered->sample_aspect_ratio.num) ost.enc_ctx->sample_aspect_ratio = ls.filtered->sample_aspect_ratio;
        int size = write_video_frames(ost, ist, ls.filtered);
        if (!Fvstats_filename.empty() && size) write_video_stats(ost, size);
      }
      ffapi::av_frame_unref(ls.filtered);
    }
    return;
  }
  for (size_t i = 0; i < Fost_table.size(); ++i) {
    TAVOutputStream& ost = Fost_table[i];
    if (!ost.encoding_needed || &Fist_table[ost.source_index] != &ist) continue;
    switch (ost.enc_ctx->codec_type) {
      case AVMEDIA_TYPE_AUDIO:
        do_audio_out(ost, ist, frame);
        break;
      case AVMEDIA_TYPE_VIDEO: {
        int size = write_video_frames(ost, ist, frame);
        if (!Fvstats_filename.empty() && size) write_video_stats(ost, size);
        break;
      }
      default:
        throw FFmpegException("invalid codec_type");
    }
  }
}

void TCustomFFmpeg::drain_encoders(TAVInputStream& ist) {
  for (TAVOutputStream& ost : Fost_table)
    if (ost.encoding_needed && &Fist_table[ost.source_index] == &ist) flush_encoder(ost);
}

void TCustomFFmpeg::flush_encoder(TAVOutputStream& ost) {
  if (!ost.encoder_opened || !ost.enc_ctx) return;
  TOutputLoopState& ls = LoopState(ost);
  if (ls.drained) return;
  const AVMediaType type = ost.enc_ctx->codec_type;
  if (type == AVMEDIA_TYPE_AUDIO) {
    encode_audio_frames(ost, true);
  } else if (type != AVMEDIA_TYPE_VIDEO) {
    ls.drained = true;
    return;
  }
  ls.drained = true;
  // The encoder's delayed output.
  int r = ffapi::avcodec_send_frame(ost.enc_ctx, nullptr);
  if (r < 0 && r != AVERROR_EOF)
    throw FFmpegException(type == AVMEDIA_TYPE_AUDIO ? "Audio encoding failed" : "Video encoding failed");
  receive_packets(ost, true);
}

}  // namespace media
