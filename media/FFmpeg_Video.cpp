// The video path: frame-rate sync by dropping and repeating pictures, crop
// and scale when no filter graph does it, encoding, statistics lines.
#include <cmath>

#include "media/FFmpeg_Loop.h"
#include "media/EngineUtils.h"

namespace media {

namespace {

// The picture's planes moved by the crop bands (no copy).
void CropPlanes(const AVFrame* f, int top, int left, uint8_t* data[4], int linesize[4]) {
  const AVPixFmtDescriptor* d = ffapi::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f->format));
  for (int i = 0; i < 4; ++i) {
    data[i] = f->data[i];
    linesize[i] = f->linesize[i];
    if (!data[i] || !d) continue;
    int t = top, l = left;
    if ((i == 1 || i == 2) && !(d->flags & AV_PIX_FMT_FLAG_PAL)) {
      t >>= d->log2_chroma_h;
      l >>= d->log2_chroma_w;
    }
    int step = 1;
    if (!(d->flags & AV_PIX_FMT_FLAG_PAL) && i < d->nb_components) step = d->comp[i].step > 0 ? d->comp[i].step : 1;
    if (d->flags & AV_PIX_FMT_FLAG_PAL && i == 1) continue;
    data[i] += static_cast<ptrdiff_t>(t) * linesize[i] + static_cast<ptrdiff_t>(l) * step;
  }
}

}  // namespace

int TCustomFFmpeg::write_video_frames(TAVOutputStream& ost, TAVInputStream& ist, AVFrame* in_picture) {
  int frame_size = 0;
  AVCodecContext* enc = ost.enc_ctx;
  TOutputLoopState& ls = LoopState(ost);
  const TAVInputStream& sist = ost.sync_ist ? *ost.sync_ist : ist;
  const double sync_time = static_cast<double>(sist.pts - Fstart_time) / 1000000.0;
  const double tb = static_cast<double>(enc->time_base.num) / enc->time_base.den;
  const double sync_ticks = sync_time / tb;
  int64_t n = 1;

  if (Fvideo_sync_method != 0) {
    const double vdelta = sync_ticks - ost.sync_opts;
    const AVOutputFormat* ofmt = Foutput_files[ost.file_index]->oc->oformat;
    const bool vfr = Fvideo_sync_method == 2 || (Fvideo_sync_method < 0 && (ofmt->flags & AVFMT_VARIABLE_FPS));
    if (vdelta < -1.1) {
      n = 0;
    } else if (vfr) {
      if (vdelta <= -0.6)
        n = 0;
      else if (vdelta > 0.6)
        ost.sync_opts = std::llrint(sync_ticks);
    } else if (vdelta > 1.1) {
      n = std::llrint(vdelta);
    }
    if (n == 0) {
      ++Fnb_frames_drop;
      FShowDupOrDrop = true;
      if (Fverbose > 2) Log(TLogLevel::llVerbose, "*** drop!");
    } else if (n > 1) {
      Fnb_frames_dup += n - 1;
      FShowDupOrDrop = true;
      if (Fverbose > 2) Log(TLogLevel::llVerbose, FormatStr("*** %d dup!", static_cast<int>(n - 1)));
    }
  } else {
    ost.sync_opts = std::llrint(sync_ticks);
  }
  n = std::min<int64_t>(n, static_cast<int64_t>(Fmax_frames[0]) - ost.frame_number);
  if (n <= 0) return 0;

  // Size check (the filter graph keeps its own sizes).
  const int w = in_picture->width, h = in_picture->height;
  const int fmt = in_picture->format;
  AVFrame* final_picture = in_picture;
  if (!LoopState(ist).out_video_filter) {
    if (h - ost.topBand - ost.bottomBand != ost.resample_height ||
        w - ost.leftBand - ost.rightBand != ost.resample_width || fmt != ost.resample_pix_fmt) {
      const char* name = ffapi::av_get_pix_fmt_name(static_cast<AVPixelFormat>(fmt));
      Log(TLogLevel::llQuiet, FormatStr("Input Stream #%d.%d frame size changed to %dx%d, %s", ist.file_index,
                                        ist.index, w, h, name ? name : "?"));
      if (!ost.video_resample)
        throw FFmpegException(FormatStr("Cannot convert input stream #%d.%d to %dx%d without scaling", ist.file_index,
                                        ist.index, enc->width, enc->height));
      if (ost.original_width > 0 && ost.original_height > 0) {
        ost.topBand = (h * ost.original_topBand / ost.original_height) & ~1;
        ost.bottomBand = (h * ost.original_bottomBand / ost.original_height) & ~1;
        ost.leftBand = (w * ost.original_leftBand / ost.original_width) & ~1;
        ost.rightBand = (w * ost.original_rightBand / ost.original_width) & ~1;
      }
      ost.resample_height = h - ost.topBand - ost.bottomBand;
      ost.resample_width = w - ost.leftBand - ost.rightBand;
      ost.resample_pix_fmt = fmt;
      if (ost.img_resample_ctx) ffapi::sws_freeContext(ost.img_resample_ctx);
      ost.img_resample_ctx = nullptr;
      int64_t flags = 0;
      if (FOptions.sws_opts && ffapi::av_opt_get_int(FOptions.sws_opts, "sws_flags", 0, &flags) >= 0)
        Fsws_flags = static_cast<unsigned>(flags);
    }
    uint8_t* data[4];
    int linesize[4];
    CropPlanes(in_picture, ost.video_crop ? ost.topBand : 0, ost.video_crop ? ost.leftBand : 0, data, linesize);
    if (ost.video_resample) {
      if (!ost.img_resample_ctx)
        ost.img_resample_ctx = NewVideoScaler(ost.resample_width, ost.resample_height, fmt, enc->width, enc->height,
                                              enc->pix_fmt, static_cast<int>(Fsws_flags), codec_threads());
      if (!ost.img_resample_ctx) throw FFmpegException("Cannot get resampling context");
      if (!ost.pict_tmp) ost.pict_tmp = ffapi::av_frame_alloc();
      if (!ost.pict_tmp) throw FFmpegException("Cannot allocate temp picture, check pix fmt");
      if (!ost.pict_tmp->buf[0] || ost.pict_tmp->width != enc->width || ost.pict_tmp->height != enc->height) {
        ffapi::av_frame_unref(ost.pict_tmp);
        ost.pict_tmp->format = enc->pix_fmt;
        ost.pict_tmp->width = enc->width;
        ost.pict_tmp->height = enc->height;
        if (ffapi::av_frame_get_buffer(ost.pict_tmp, 0) < 0)
          throw FFmpegException("Cannot allocate temp picture, check pix fmt");
      }
      // An encoder may still hold the last picture: write into a free one.
      if (ffapi::av_frame_make_writable(ost.pict_tmp) < 0)
        throw FFmpegException("Cannot allocate temp picture, check pix fmt");
      // The cropped picture as a frame of its own, so the scaler can split
      // the work over its slice threads.
      AVFrame* src = ls.enc_frame;
      ffapi::av_frame_unref(src);
      if (ffapi::av_frame_ref(src, in_picture) < 0) throw FFmpegException("Cannot get resampling context");
      for (int i = 0; i < 4; ++i) {
        src->data[i] = data[i];
        src->linesize[i] = linesize[i];
      }
      src->width = ost.resample_width;
      src->height = ost.resample_height;
      const int r = ffapi::sws_scale_frame(ost.img_resample_ctx, ost.pict_tmp, src);
      ffapi::av_frame_unref(src);
      if (r < 0) throw FFmpegException("Video scaling failed");
      final_picture = ost.pict_tmp;
    } else if (ost.video_crop) {
      // Cropped to the encoder's size without scaling: a view of the planes.
      AVFrame* view = ls.enc_frame;
      ffapi::av_frame_unref(view);
      if (ffapi::av_frame_ref(view, in_picture) < 0) throw FFmpegException("error cropping picture");
      for (int i = 0; i < 4; ++i) {
        view->data[i] = data[i];
        view->linesize[i] = linesize[i];
      }
      view->width = enc->width;
      view->height = enc->height;
      final_picture = view;
    }
  }

  AVFrame* f = ffapi::av_frame_alloc();
  if (!f) throw FFmpegException("av_frame_alloc fail");
  struct FrameFree {
    AVFrame*& f;
    ~FrameFree() { ffapi::av_frame_free(&f); }
  } ff{f};
  for (int64_t i = 0; i < n; ++i) {
    if (FBroken && i > 0) break;
    ffapi::av_frame_unref(f);
    if (ffapi::av_frame_ref(f, final_picture) < 0) throw FFmpegException("Video encoding failed");
    f->width = enc->width;
    f->height = enc->height;
    f->interlaced_frame = in_picture->interlaced_frame;
    if (enc->flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME))
      f->top_field_first = Ftop_field_first == -1 ? in_picture->top_field_first : Ftop_field_first;
    f->quality = Fsame_quality ? static_cast<int>(std::lrint(ist.quality)) : enc->global_quality;
    if (Fme_threshold == 0) f->pict_type = AV_PICTURE_TYPE_NONE;
    f->key_frame = 0;
    f->pts = ost.sync_opts;
    if (FPostHooks) run_post_hooks(f, ffapi::av_rescale_q(ost.sync_opts, enc->time_base, AV_TIME_BASE_Q));
    const int64_t before = Fvideo_size;
    if (ffapi::avcodec_send_frame(enc, f) < 0) throw FFmpegException("Video encoding failed");
    receive_packets(ost, false);
    frame_size = static_cast<int>(Fvideo_size - before);
    ++ost.sync_opts;
    ++ost.frame_number;
  }
  if (final_picture == ls.enc_frame) ffapi::av_frame_unref(ls.enc_frame);
  return frame_size;
}

void TCustomFFmpeg::write_video_stats(TAVOutputStream& ost, int frame_size) {
  AVCodecContext* enc = ost.enc_ctx;
  if (!enc || enc->codec_type != AVMEDIA_TYPE_VIDEO) return;
  if (!Fvstats_file) {
    Fvstats_file = std::fopen(Fvstats_filename.c_str(), "w");
    if (!Fvstats_file) throw FFmpegException("fopen fail: " + Fvstats_filename);
  }
  TOutputLoopState& ls = LoopState(ost);
  std::fprintf(Fvstats_file, "frame= %5d q= %2.1f ", ost.frame_number,
               ls.last_quality / static_cast<float>(FF_QP2LAMBDA));
  if (enc->flags & AV_CODEC_FLAG_PSNR)
    std::fprintf(Fvstats_file, "PSNR= %6.2f ",
                 -10.0 * std::log10(static_cast<double>(ls.last_error[0]) /
                                    (static_cast<double>(enc->width) * enc->height * 255.0 * 255.0)));
  std::fprintf(Fvstats_file, "f_size= %6d ", frame_size);
  double t = static_cast<double>(ost.sync_opts) * enc->time_base.num / enc->time_base.den;
  if (t < 0.01) t = 0.01;
  const double tbd = static_cast<double>(enc->time_base.num) / enc->time_base.den;
  const double rate = frame_size * 8 / tbd / 1000.0;
  const double avg = static_cast<double>(Fvideo_size) * 8 / t / 1000.0;
  std::fprintf(Fvstats_file, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
               static_cast<double>(Fvideo_size) / 1024, t, rate, avg);
  std::fprintf(Fvstats_file, "type= %c\n", ls.last_pict_type);
}

}  // namespace media
