// The progress report of a running task.
#include <cmath>
#include <cstdio>

#include "media/FFmpeg_Loop.h"
#include "media/EngineUtils.h"

namespace media {

void TCustomFFmpeg::report_progress(bool is_last, int file_index) {
  char buf[1024];
  size_t len = 0;
  auto append = [&](const char* fmt, auto... args) {
    if (len >= sizeof buf - 1) return;
    int n = std::snprintf(buf + len, sizeof buf - len, fmt, args...);
    if (n > 0) len = std::min(sizeof buf - 1, len + static_cast<size_t>(n));
  };
  buf[0] = 0;
  int64_t total_size = 0;
  if (!Foutput_files.empty() && Foutput_files[0]->oc && Foutput_files[0]->oc->pb) {
    AVIOContext* pb = Foutput_files[0]->oc->pb;
    total_size = ffapi::avio_size(pb);
    if (total_size < 0) total_size = ffapi::avio_seek(pb, 0, SEEK_CUR);
    if (total_size < 0) total_size = 0;
  }
  double ti1 = 1e10;
  bool vid = false;
  int frame_number = -1, fps = -1;
  float quality = -1.0f;
  for (TAVOutputStream& ost : Fost_table) {
    AVCodecContext* enc = ost.enc_ctx;
    const bool video = ost.st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
    const float q = ost.stream_copy || !ost.loop ? -1.0f : ost.loop->last_quality / static_cast<float>(FF_QP2LAMBDA);
    if (vid && video) {
      append("q=%2.1f ", q);
    } else if (!vid && video && ost.show_fps == 1) {
      const double t = (ffapi::av_gettime() - Ftimer_start) / 1000000.0;
      frame_number = ost.frame_number;
      if (frame_number < 1) return;
      fps = t > 1 ? static_cast<int>(frame_number / t + 0.5) : 0;
      quality = q;
      append("frame=%5d fps=%3d q=%3.1f ", frame_number, fps, quality);
      if (is_last) append("%s", "L");
      if (Fqp_hist && ost.loop) {
        const int qp = static_cast<int>(std::lrint(q));
        if (qp >= 0 && qp < 52) ++Fqp_histogram[qp];
        for (int j = 0; j < 32; ++j)
          append("%X", static_cast<int>(std::lrint(std::log(Fqp_histogram[j] + 1.0) / std::log(2.0))));
      }
      if (enc && (enc->flags & AV_CODEC_FLAG_PSNR) && ost.loop) {
        double error_sum = 0, scale_sum = 0;
        append("%s", "PSNR=");
        for (int j = 0; j < 3; ++j) {
          double error = is_last ? static_cast<double>(enc->error[j]) : static_cast<double>(ost.loop->last_error[j]);
          double scale = static_cast<double>(enc->width) * enc->height * 255.0 * 255.0;
          if (is_last) scale *= frame_number;
          if (j) scale /= 4;
          error_sum += error;
          scale_sum += scale;
          append("%c:%2.2f ", "YUV"[j], -10.0 * std::log10(error / scale));
        }
        append("*:%2.2f ", -10.0 * std::log10(error_sum / scale_sum));
      }
      vid = true;
    }
    const double pts = output_time(ost);
    if (pts > 0 && pts < ti1) ti1 = pts;
  }
  if (ti1 < 0.01) ti1 = 0.01;
  if (ti1 >= 1e10) ti1 = 0.01;
  if (FOnProgress || Fverbose > 0 || is_last) {
    const double bitrate = total_size * 8 / ti1 / 1000.0;
    append("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", total_size / 1024.0, ti1, bitrate);
    if (Fnb_frames_dup || Fnb_frames_drop) {
      append(" dup=%d drop=%d", static_cast<int>(Fnb_frames_dup), static_cast<int>(Fnb_frames_drop));
      if (FShowDupOrDrop && Fverbose >= 0 && FOnProgress) {
        FShowDupOrDrop = false;
        Log(TLogLevel::llVerbose, buf);
      }
    }
    if (FOnProgress)
      FOnProgress(this, file_index, frame_number, fps, quality, static_cast<float>(bitrate), total_size,
                  static_cast<int64_t>(ti1 * 1000000.0), FTotalOutputDuration);
    else if (Fverbose >= 0)
      Log(TLogLevel::llVerbose, buf);
  }
  if (is_last && Fverbose >= 0) {
    const double raw = static_cast<double>(Fvideo_size + Faudio_size + Fextra_size);
    const double overhead = raw > 0 ? (total_size - raw) * 100.0 / raw : 0.0;
    Log(TLogLevel::llVerbose, FormatStr("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                                        Fvideo_size / 1024.0, Faudio_size / 1024.0, Fextra_size / 1024.0, overhead));
  }
}

}  // namespace media
