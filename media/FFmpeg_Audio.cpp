// The audio path: volume, clock sync, conversion through one resampler per
// output stream, framing through a sample fifo, encoding.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/FFmpeg_Loop.h"
#include "media/EngineUtils.h"

namespace media {

namespace {

template <class T>
T ClipTo(double v, double lo, double hi) {
  return static_cast<T>(v < lo ? lo : v > hi ? hi : v);
}

// Scales n samples in place by volume / 256.
void ScaleSamples(uint8_t* p, int n, AVSampleFormat fmt, int volume) {
  switch (fmt) {
    case AV_SAMPLE_FMT_U8:
    case AV_SAMPLE_FMT_U8P:
      for (int i = 0; i < n; ++i) {
        int v = (((p[i] - 128) * volume + 128) >> 8) + 128;
        p[i] = static_cast<uint8_t>(std::clamp(v, 0, 255));
      }
      break;
    case AV_SAMPLE_FMT_S16:
    case AV_SAMPLE_FMT_S16P: {
      auto* s = reinterpret_cast<int16_t*>(p);
      for (int i = 0; i < n; ++i) {
        int v = (s[i] * volume + 128) >> 8;
        s[i] = static_cast<int16_t>(std::clamp(v, -32768, 32767));
      }
      break;
    }
    case AV_SAMPLE_FMT_S32:
    case AV_SAMPLE_FMT_S32P: {
      auto* s = reinterpret_cast<int32_t*>(p);
      for (int i = 0; i < n; ++i)
        s[i] = ClipTo<int32_t>(static_cast<double>(s[i]) * volume / 256.0, -2147483648.0, 2147483647.0);
      break;
    }
    case AV_SAMPLE_FMT_FLT:
    case AV_SAMPLE_FMT_FLTP: {
      auto* s = reinterpret_cast<float*>(p);
      const float k = volume / 256.0f;
      for (int i = 0; i < n; ++i) s[i] *= k;
      break;
    }
    case AV_SAMPLE_FMT_DBL:
    case AV_SAMPLE_FMT_DBLP: {
      auto* s = reinterpret_cast<double*>(p);
      const double k = volume / 256.0;
      for (int i = 0; i < n; ++i) s[i] *= k;
      break;
    }
    case AV_SAMPLE_FMT_S64:
    case AV_SAMPLE_FMT_S64P: {
      auto* s = reinterpret_cast<int64_t*>(p);
      for (int i = 0; i < n; ++i) s[i] = static_cast<int64_t>(static_cast<double>(s[i]) * volume / 256.0);
      break;
    }
    default:
      break;
  }
}

void ChannelLayoutOf(const AVChannelLayout& in, AVChannelLayout& out) {
  if (in.order == AV_CHANNEL_ORDER_UNSPEC || in.nb_channels <= 0)
    ffapi::av_channel_layout_default(&out, in.nb_channels > 0 ? in.nb_channels : 1);
  else
    ffapi::av_channel_layout_copy(&out, &in);
}

}  // namespace

void TCustomFFmpeg::adjust_audio_volume(AVFrame* frame) {
  // Decoders give planar float more often than not; every format is scaled
  // in its own terms.
  if (ffapi::av_frame_make_writable(frame) < 0) return;
  const auto fmt = static_cast<AVSampleFormat>(frame->format);
  const int ch = frame->ch_layout.nb_channels;
  if (ffapi::av_sample_fmt_is_planar(fmt)) {
    for (int c = 0; c < ch; ++c) ScaleSamples(frame->extended_data[c], frame->nb_samples, fmt, Faudio_volume);
  } else {
    ScaleSamples(frame->extended_data[0], frame->nb_samples * ch, fmt, Faudio_volume);
  }
}

void TCustomFFmpeg::do_audio_out(TAVOutputStream& ost, TAVInputStream& ist, AVFrame* frame) {
  AVCodecContext* enc = ost.enc_ctx;
  TOutputLoopState& ls = LoopState(ost);
  const int enc_rate = enc->sample_rate;
  const int enc_ch = enc->ch_layout.nb_channels;
  const int in_rate = frame->sample_rate;
  const int in_ch = frame->ch_layout.nb_channels;
  const auto in_fmt = static_cast<AVSampleFormat>(frame->format);
  if (enc_rate <= 0 || enc_ch <= 0 || in_rate <= 0 || in_ch <= 0) return;

  if (!ost.fifo) {
    ost.fifo = ffapi::av_audio_fifo_alloc(enc->sample_fmt, enc_ch, 1024);
    if (!ost.fifo) throw FFmpegException("av_fifo_alloc fail");
  }
  if (enc_ch != in_ch) ost.audio_resample = 1;

  // One converter does rate, channels and sample format.
  const uint64_t in_mask = frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame->ch_layout.u.mask : 0;
  if (!ost.resample || ls.in_rate != in_rate || ls.in_format != in_fmt || ls.in_channels != in_ch ||
      ls.in_mask != in_mask) {
    if (ost.resample) ffapi::swr_free(&ost.resample);
    AVChannelLayout in_layout{}, out_layout{};
    ChannelLayoutOf(frame->ch_layout, in_layout);
    ChannelLayoutOf(enc->ch_layout, out_layout);
    int r = ffapi::swr_alloc_set_opts2(&ost.resample, &out_layout, enc->sample_fmt, enc_rate, &in_layout, in_fmt,
                                       in_rate, 0, nullptr);
    ffapi::av_channel_layout_uninit(&in_layout);
    ffapi::av_channel_layout_uninit(&out_layout);
    if (r >= 0 && ost.resample) {
      ffapi::av_opt_set_int(ost.resample, "filter_size", 16, 0);
      ffapi::av_opt_set_int(ost.resample, "phase_shift", 10, 0);
      ffapi::av_opt_set_double(ost.resample, "cutoff", 0.8, 0);
      r = ffapi::swr_init(ost.resample);
    }
    if (r < 0 || !ost.resample) {
      if (ost.resample) ffapi::swr_free(&ost.resample);
      throw FFmpegException(
          FormatStr("Can not resample %d channels @ %d Hz to %d channels @ %d Hz", in_ch, in_rate, enc_ch, enc_rate));
    }
    ls.in_rate = in_rate;
    ls.in_format = in_fmt;
    ls.in_channels = in_ch;
    ls.in_mask = in_mask;
  }

  TAVInputStream& sist = ost.sync_ist ? *ost.sync_ist : ist;
  const double sync_time = static_cast<double>(sist.pts - Fstart_time) / 1000000.0;
  const int64_t fifo_samples = ffapi::av_audio_fifo_size(ost.fifo);
  int skip = 0;
  if (Faudio_sync_method) {
    const double delta = sync_time * enc_rate - ost.sync_opts - fifo_samples;
    const int64_t in_delta = static_cast<int64_t>(delta * in_rate / enc_rate);
    if (std::fabs(delta) > 50) {
      if (sist.is_start || std::fabs(delta) > Faudio_drift_threshold * enc_rate) {
        if (in_delta < 0) {
          skip = static_cast<int>(std::min<int64_t>(-in_delta, frame->nb_samples));
          if (Fverbose > 2)
            Log(TLogLevel::llVerbose, FormatStr("discarding %d audio samples", static_cast<int>(-delta)));
          sist.is_start = 0;
          if (skip >= frame->nb_samples) return;
        } else {
          // Silence before these samples, in the encoder's format.
          const int pad = static_cast<int>(delta);
          int linesize = 0;
          std::vector<uint8_t*> planes(enc_ch > 0 ? enc_ch : 1, nullptr);
          if (ffapi::av_samples_alloc(planes.data(), &linesize, enc_ch, pad, enc->sample_fmt, 0) < 0)
            throw FFmpegException("Out of memory in do_audio_out");
          ffapi::av_samples_set_silence(planes.data(), 0, pad, enc_ch, enc->sample_fmt);
          int w = ffapi::av_audio_fifo_write(ost.fifo, reinterpret_cast<void**>(planes.data()), pad);
          ffapi::av_freep(&planes[0]);
          if (w < pad) throw FFmpegException("av_fifo_realloc2() failed");
          sist.is_start = 0;
          if (Fverbose > 2) Log(TLogLevel::llVerbose, FormatStr("adding %d audio samples of silence", pad));
        }
      } else if (Faudio_sync_method > 1) {
        const int comp =
            static_cast<int>(std::clamp<double>(std::trunc(delta), -Faudio_sync_method, Faudio_sync_method));
        if (Fverbose > 2)
          Log(TLogLevel::llVerbose,
              FormatStr("compensating audio timestamp drift:%f compensation:%d in:%d", delta, comp, enc_rate));
        ffapi::swr_set_compensation(ost.resample, comp, enc_rate);
      }
    }
  } else {
    // Only this frame's own samples take its time. Working the time of the
    // samples still waiting back from it would move them by the rounding of
    // its time stamp (milliseconds in Matroska and WebM), and the container
    // then shifts every stream by that odd amount.
    ls.sample_times.emplace_back(fifo_samples, std::llround(sync_time * enc_rate));
  }

  // Convert into the fifo.
  const int bps = ffapi::av_get_bytes_per_sample(in_fmt);
  const bool planar = ffapi::av_sample_fmt_is_planar(in_fmt);
  std::vector<const uint8_t*> inp(planar ? in_ch : 1);
  for (size_t c = 0; c < inp.size(); ++c)
    inp[c] = frame->extended_data[c] + static_cast<size_t>(skip) * bps * (planar ? 1 : in_ch);
  const int in_n = frame->nb_samples - skip;
  const int out_cap = ffapi::swr_get_out_samples(ost.resample, in_n) + 16;
  std::vector<uint8_t*> outp(ffapi::av_sample_fmt_is_planar(enc->sample_fmt) ? enc_ch : 1, nullptr);
  int linesize = 0;
  if (ffapi::av_samples_alloc(outp.data(), &linesize, enc_ch, out_cap, enc->sample_fmt, 0) < 0)
    throw FFmpegException("Out of memory in do_audio_out");
  const int n = ffapi::swr_convert(ost.resample, outp.data(), out_cap, inp.data(), in_n);
  if (n < 0) {
    ffapi::av_freep(&outp[0]);
    if (Fexit_on_error) throw FFmpegException("av_audio_convert() failed");
    Log(TLogLevel::llError, "av_audio_convert() failed");
    return;
  }
  const int w = n > 0 ? ffapi::av_audio_fifo_write(ost.fifo, reinterpret_cast<void**>(outp.data()), n) : 0;
  ffapi::av_freep(&outp[0]);
  if (w < n) throw FFmpegException("av_fifo_realloc2() failed");
  encode_audio_frames(ost, false);
}

void TCustomFFmpeg::encode_audio_frames(TAVOutputStream& ost, bool last) {
  AVCodecContext* enc = ost.enc_ctx;
  if (!ost.fifo || !enc) return;
  TOutputLoopState& ls = LoopState(ost);
  const int enc_rate = enc->sample_rate;
  const int ch = enc->ch_layout.nb_channels;
  const int frame_size = enc->frame_size;
  const unsigned caps = ost.encoder ? ost.encoder->capabilities : 0;
  const bool variable = frame_size <= 1 || (caps & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
  if (last && ost.resample) {
    // What the converter still holds goes to the fifo first.
    const int cap = static_cast<int>(ffapi::swr_get_delay(ost.resample, enc_rate)) + 32;
    std::vector<uint8_t*> outp(ffapi::av_sample_fmt_is_planar(enc->sample_fmt) ? ch : 1, nullptr);
    int linesize = 0;
    if (ffapi::av_samples_alloc(outp.data(), &linesize, ch, cap, enc->sample_fmt, 0) >= 0) {
      int n = ffapi::swr_convert(ost.resample, outp.data(), cap, nullptr, 0);
      if (n > 0) ffapi::av_audio_fifo_write(ost.fifo, reinterpret_cast<void**>(outp.data()), n);
      ffapi::av_freep(&outp[0]);
    }
  }
  const AVRational enc_tb = enc->time_base.num && enc->time_base.den ? enc->time_base : AVRational{1, enc_rate};
  for (;;) {
    const int avail = ffapi::av_audio_fifo_size(ost.fifo);
    int n = 0, nb = 0;
    if (variable) {
      n = std::min(avail, 1 << 14);
      nb = n;
    } else if (avail >= frame_size) {
      n = nb = frame_size;
    } else if (last && avail > 0) {
      n = avail;
      nb = (caps & AV_CODEC_CAP_SMALL_LAST_FRAME) ? avail : frame_size;
    }
    if (n <= 0) break;
    AVFrame* f = ls.enc_frame;
    ffapi::av_frame_unref(f);
    f->nb_samples = nb;
    f->format = enc->sample_fmt;
    f->sample_rate = enc_rate;
    if (ffapi::av_channel_layout_copy(&f->ch_layout, &enc->ch_layout) < 0 || ffapi::av_frame_get_buffer(f, 0) < 0)
      throw FFmpegException("Out of memory in do_audio_out");
    if (nb > n) ffapi::av_samples_set_silence(f->extended_data, n, nb - n, ch, enc->sample_fmt);
    if (ffapi::av_audio_fifo_read(ost.fifo, reinterpret_cast<void**>(f->extended_data), n) < n)
      throw FFmpegException("frame_bytes invalid.");
    if (!ls.sample_times.empty()) {
      while (ls.sample_times.size() > 1 && ls.sample_times[1].first <= 0) ls.sample_times.pop_front();
      ost.sync_opts = ls.sample_times.front().second - ls.sample_times.front().first;
      for (auto& t : ls.sample_times) t.first -= n;
    }
    f->pts = ffapi::av_rescale_q(ost.sync_opts, AVRational{1, enc_rate}, enc_tb);
    int r = ffapi::avcodec_send_frame(enc, f);
    ffapi::av_frame_unref(f);
    if (r < 0) throw FFmpegException("Audio encoding failed");
    ost.sync_opts += nb;
    ost.samples_fed += n;
    receive_packets(ost, false);
  }
}

// Packets of an encoder, stamped in the stream's time base and written.
void TCustomFFmpeg::receive_packets(TAVOutputStream& ost, bool /*flushing*/) {
  AVCodecContext* enc = ost.enc_ctx;
  TOutputLoopState& ls = LoopState(ost);
  AVPacket* pkt = ls.pkt;
  const bool video = enc->codec_type == AVMEDIA_TYPE_VIDEO;
  for (;;) {
    int r = ffapi::avcodec_receive_packet(enc, pkt);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
    if (r < 0) throw FFmpegException(video ? "Video encoding failed" : "Audio encoding failed");
    size_t sd_size = 0;
    const uint8_t* sd = ffapi::av_packet_get_side_data(pkt, AV_PKT_DATA_QUALITY_STATS, &sd_size);
    if (sd && sd_size >= 5) {
      ls.last_quality = static_cast<int>(sd[0] | (sd[1] << 8) | (sd[2] << 16) | (static_cast<uint32_t>(sd[3]) << 24));
      ls.last_pict_type = ffapi::av_get_picture_type_char(static_cast<AVPictureType>(sd[4]));
      const int nerr = sd_size >= 6 ? sd[5] : 0;
      for (int i = 0; i < 3 && i < nerr && 8 + 8 * (i + 1) <= static_cast<int>(sd_size); ++i) {
        int64_t e = 0;
        std::memcpy(&e, sd + 8 + 8 * i, 8);
        ls.last_error[i] = e;
      }
    }
    if (video) {
      Fvideo_size += pkt->size;
      if (ost.logfile && enc->stats_out) std::fprintf(ost.logfile, "%s", enc->stats_out);
    } else {
      Faudio_size += pkt->size;
    }
    const AVRational enc_tb = enc->time_base.num && enc->time_base.den
                                  ? enc->time_base
                                  : AVRational{1, enc->sample_rate > 0 ? enc->sample_rate : 1};
    ffapi::av_packet_rescale_ts(pkt, enc_tb, ost.st->time_base);
    mux_packet(ost, pkt);
  }
}

}  // namespace media
