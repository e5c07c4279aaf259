// Packet output: bitstream filters, the interleaving writer, subtitles and
// the stream copy.
#include <cstring>

#include "media/FFmpeg_Loop.h"
#include "media/EngineUtils.h"

namespace media {

void TCustomFFmpeg::write_packet(TAVOutputStream& ost, AVPacket* pkt) {
  TOutputLoopState& ls = LoopState(ost);
  AVFormatContext* oc = Foutput_files[ost.file_index]->oc;
  pkt->stream_index = ost.index;
  // Muxers refuse time going backwards; a late packet is moved just after
  // the last one, as the command-line tool does.
  if (!(oc->oformat->flags & AVFMT_NOTIMESTAMPS)) {
    if (pkt->dts == AV_NOPTS_VALUE) pkt->dts = pkt->pts;
    if (pkt->dts != AV_NOPTS_VALUE && ls.last_dts != AV_NOPTS_VALUE) {
      const int64_t min_dts = ls.last_dts + ((oc->oformat->flags & AVFMT_TS_NONSTRICT) ? 0 : 1);
      if (pkt->dts < min_dts) {
        if (pkt->pts != AV_NOPTS_VALUE && pkt->pts >= pkt->dts) pkt->pts = std::max(pkt->pts, min_dts);
        pkt->dts = min_dts;
      }
    }
    if (pkt->pts != AV_NOPTS_VALUE && pkt->dts != AV_NOPTS_VALUE && pkt->pts < pkt->dts) pkt->pts = pkt->dts;
    if (pkt->dts != AV_NOPTS_VALUE) ls.last_dts = pkt->dts;
  }
  const int64_t t = pkt->pts != AV_NOPTS_VALUE ? pkt->pts : pkt->dts;
  if (t != AV_NOPTS_VALUE) {
    int64_t end = t + (pkt->duration > 0 ? pkt->duration : 0);
    ost.last_mux_pts = ffapi::av_rescale_q(end, ost.st->time_base, AV_TIME_BASE_Q);
  }
  const int r = ffapi::av_interleaved_write_frame(oc, pkt);
  if (r < 0) throw FFmpegException(ErrorText("av_interleaved_write_frame()", r));
}

void TCustomFFmpeg::mux_packet(TAVOutputStream& ost, AVPacket* pkt) {
  TOutputLoopState& ls = LoopState(ost);
  const std::vector<std::string>& names = Foutput_files[ost.file_index]->streams[ost.index].bitstream_filters;
  if (names.empty()) {
    write_packet(ost, pkt);
    return;
  }
  const char* codec_name = ost.enc_ctx && ost.enc_ctx->codec ? ost.enc_ctx->codec->name : "copy";
  std::string chain;
  for (const std::string& n : names) chain += (chain.empty() ? "" : ",") + n;
  auto failed = [&](int err) {
    const std::string msg =
        FormatStr("%s failed for stream %d, codec %s", chain.c_str(), pkt->stream_index, codec_name) + ": " +
        ErrorMessageOf(err);
    if (Fexit_on_error) throw FFmpegException(msg);
    Log(TLogLevel::llError, msg);
  };
  if (!ls.bsf && !ls.bsf_tried) {
    ls.bsf_tried = true;
    AVBSFContext* bsf = nullptr;
    int r = ffapi::av_bsf_list_parse_str(chain.c_str(), &bsf);
    if (r >= 0) r = ffapi::avcodec_parameters_copy(bsf->par_in, ost.st->codecpar);
    if (r >= 0) {
      bsf->time_base_in = ost.st->time_base;
      r = ffapi::av_bsf_init(bsf);
    }
    if (r < 0) {
      if (bsf) ffapi::av_bsf_free(&bsf);
      failed(r);
    } else {
      ls.bsf = bsf;
    }
  }
  if (!ls.bsf) {
    // A filter that cannot run: the packet is written as it is.
    write_packet(ost, pkt);
    return;
  }
  AVPacket* keep = ffapi::av_packet_clone(pkt);
  int r = ffapi::av_bsf_send_packet(ls.bsf, pkt);
  if (r < 0) {
    failed(r);
    if (keep) write_packet(ost, keep);
    ffapi::av_packet_free(&keep);
    ffapi::av_packet_unref(pkt);
    return;
  }
  ffapi::av_packet_free(&keep);
  for (;;) {
    r = ffapi::av_bsf_receive_packet(ls.bsf, pkt);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
    if (r < 0) {
      failed(r);
      break;
    }
    write_packet(ost, pkt);
  }
}

void TCustomFFmpeg::write_subtitle(TAVOutputStream& ost, TAVInputStream& ist, AVSubtitle* sub, int64_t pts) {
  if (pts == AV_NOPTS_VALUE) {
    if (Fexit_on_error) throw FFmpegException("Subtitle packets must have a pts");
    Log(TLogLevel::llError, "Subtitle packets must have a pts");
    return;
  }
  if (Fsubtitle_out.empty()) Fsubtitle_out.resize(1 << 20);
  AVCodecContext* enc = ost.enc_ctx;
  const bool dvb = enc->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
  const int nb = dvb ? 2 : 1;
  // The base time is taken once: the display times are cleared while the
  // packets are made, and the second DVB packet still needs the first's base.
  const int64_t base = ffapi::av_rescale_q(pts, ist.st->time_base, AV_TIME_BASE_Q) +
                       ffapi::av_rescale_q(sub->start_display_time, AVRational{1, 1000}, AV_TIME_BASE_Q);
  const uint32_t start_ms = sub->start_display_time;
  const uint32_t end_ms = sub->end_display_time;
  sub->pts = base;
  sub->end_display_time -= sub->start_display_time;
  sub->start_display_time = 0;
  const unsigned saved_rects = sub->num_rects;
  TOutputLoopState& ls = LoopState(ost);
  for (int i = 0; i < nb; ++i) {
    if (dvb && i == 1) sub->num_rects = 0;  // the second packet clears the subtitle
    const int size =
        ffapi::avcodec_encode_subtitle(enc, Fsubtitle_out.data(), static_cast<int>(Fsubtitle_out.size()), sub);
    if (size < 0) {
      sub->num_rects = saved_rects;
      throw FFmpegException("Subtitle encoding failed");
    }
    AVPacket* pkt = ls.pkt;
    ffapi::av_packet_unref(pkt);
    if (ffapi::av_new_packet(pkt, size) < 0) {
      sub->num_rects = saved_rects;
      throw FFmpegException("Subtitle encoding failed");
    }
    std::memcpy(pkt->data, Fsubtitle_out.data(), size);
    if (dvb) {
      const int64_t pts90k = ffapi::av_rescale_q(pts, ist.st->time_base, AVRational{1, 90000});
      pkt->pts = ffapi::av_rescale_q(DvbSubtitlePacketPts(pts90k, start_ms, end_ms, i), AVRational{1, 90000},
                                     ost.st->time_base);
    } else {
      pkt->pts = ffapi::av_rescale_q(base, AV_TIME_BASE_Q, ost.st->time_base);
    }
    pkt->dts = pkt->pts;
    if (!dvb) pkt->duration = ffapi::av_rescale_q(sub->end_display_time, AVRational{1, 1000}, ost.st->time_base);
    mux_packet(ost, pkt);
    ffapi::av_packet_unref(pkt);
  }
  sub->num_rects = saved_rects;
}

void TCustomFFmpeg::do_stream_copy(TAVOutputStream& ost, TAVInputStream& ist, const AVPacket* in) {
  const AVRational otb = ost.st->time_base;
  const AVRational itb = ist.st->time_base;
  const int64_t start = ffapi::av_rescale_q(Fstart_time, AV_TIME_BASE_Q, otb);
  if (ost.frame_number == 0 && !(in->flags & AV_PKT_FLAG_KEY) && !Fcopy_initial_nonkeyframes) return;
  const AVMediaType type = ost.st->codecpar->codec_type;
  if (type == AVMEDIA_TYPE_AUDIO)
    Faudio_size += in->size;
  else if (type == AVMEDIA_TYPE_VIDEO) {
    Fvideo_size += in->size;
    ++ost.sync_opts;
  }
  TOutputLoopState& ls = LoopState(ost);
  AVPacket* pkt = ls.pkt;
  ffapi::av_packet_unref(pkt);
  if (ffapi::av_packet_ref(pkt, in) < 0) throw FFmpegException("av_packet_ref fail");
  pkt->pts = in->pts != AV_NOPTS_VALUE ? ffapi::av_rescale_q(in->pts, itb, otb) - start : AV_NOPTS_VALUE;
  if (in->dts == AV_NOPTS_VALUE)
    pkt->dts = ffapi::av_rescale_q(ist.pts, AV_TIME_BASE_Q, otb);
  else
    pkt->dts = ffapi::av_rescale_q(in->dts, itb, otb);
  pkt->dts -= start;
  pkt->duration = in->duration > 0 ? ffapi::av_rescale_q(in->duration, itb, otb) : 0;
  pkt->pos = -1;
  mux_packet(ost, pkt);
  ffapi::av_packet_unref(pkt);
  ++ost.frame_number;
}

// The first packet shows the subtitle at its start time, the second clears
// it at its end time; both count from the packet's own time stamp, taken
// once before the display times are rebased.
int64_t DvbSubtitlePacketPts(int64_t pts90k, uint32_t start_ms, uint32_t end_ms, int index) {
  return pts90k + 90LL * start_ms + (index == 0 ? 0 : 90LL * (static_cast<int64_t>(end_ms) - start_ms));
}

}  // namespace media
