// TAVProbe: single-picture decoding, seeking and stepping on a probe that
// opened its file itself.
#include <algorithm>
#include <cstring>
#include <utility>

#include "media/AVProbe.h"
#include "media/FFmpegLogger.h"
#include "platform/rtl/exceptions.h"

namespace media {

namespace {
constexpr AVRational kMicro{1, 1000000};
// Enough passes for any stream; a stream whose pictures never come before
// the reference ends here instead of looping forever.
constexpr int kMaxPreviousKeyFramePasses = 10000;

// Planes whose chroma is subsampled alike across and down turn plane by
// plane into a picture of the same format.
bool TurnsPlaneByPlane(const AVPixFmtDescriptor* d) {
  return d && !(d->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL)) &&
         d->log2_chroma_w == d->log2_chroma_h;
}

// Turns the w x h picture clockwise by `turn` degrees into dst.
void TurnPicture(const AVPixFmtDescriptor* d, int turn, const uint8_t* const src[4], const int srcLs[4], int w, int h,
                 uint8_t* const dst[4], const int dstLs[4]) {
  int planeW[4] = {}, planeH[4] = {}, elem[4] = {};
  for (int c = 0; c < d->nb_components; ++c) {
    const AVComponentDescriptor& comp = d->comp[c];
    const bool chroma = (c == 1 || c == 2) && !(d->flags & AV_PIX_FMT_FLAG_RGB);
    planeW[comp.plane] = chroma ? AV_CEIL_RSHIFT(w, d->log2_chroma_w) : w;
    planeH[comp.plane] = chroma ? AV_CEIL_RSHIFT(h, d->log2_chroma_h) : h;
    elem[comp.plane] = std::max(elem[comp.plane], comp.step);
  }
  for (int p = 0; p < 4; ++p) {
    if (!src[p] || !dst[p] || elem[p] <= 0) continue;
    const int pw = planeW[p], ph = planeH[p], e = elem[p];
    for (int y = 0; y < ph; ++y) {
      const uint8_t* row = src[p] + ptrdiff_t(y) * srcLs[p];
      for (int x = 0; x < pw; ++x) {
        const int dx = turn == 90 ? ph - 1 - y : turn == 270 ? y : pw - 1 - x;
        const int dy = turn == 90 ? x : turn == 270 ? pw - 1 - x : ph - 1 - y;
        std::memcpy(dst[p] + ptrdiff_t(dy) * dstLs[p] + ptrdiff_t(dx) * e, row + ptrdiff_t(x) * e, e);
      }
    }
  }
}
}  // namespace

TAVProbe::TAVProbe(void* AOwner) : TCustomAVProbe(AOwner) { TAVProbe::RefreshFileInfo(); }

TAVProbe::~TAVProbe() {
  TAVProbe::CloseFile();
  if (FPicture.Buffer) ffapi::av_free(FPicture.Buffer);
  FPicture.Buffer = nullptr;
}

void TAVProbe::CheckOwnHandle(bool& ok) {
  ok = false;
  if (!FFileHandle) {
    ReportMessage(AV_LOG_WARNING, "file not loaded.");
    return;
  }
  if (!FOwnHandle) {
    ReportMessage(AV_LOG_WARNING, "file cannot be seeked, handle is readonly.");
    throw rtl::Exception("file cannot be seeked, handle is readonly.");
  }
  ok = true;
}

static bool IsImage2(AVFormatContext* ic) {
  return ic && ic->iformat && ic->iformat->name && strcasecmp(ic->iformat->name, "image2") == 0;
}

bool TAVProbe::CheckSeekable() {
  bool ok;
  CheckOwnHandle(ok);
  if (!ok) return false;
  if (IsImage2(FFileHandle)) {
    ReportMessage(AV_LOG_INFO, "\"image2\" format cannot to be seeked.");
    return false;
  }
  return true;
}

int TAVProbe::SelectDecodeStream(int AStreamIndex) {
  bool ok;
  CheckOwnHandle(ok);
  if (!ok) return -1;
  int index = AStreamIndex;
  if (index < 0) {
    index = FDecodeIndex >= 0 ? FDecodeIndex : FirstVideoStreamIndex();
    if (index < 0) {
      ReportMessage(AV_LOG_ERROR, "no video stream.");
      return -1;
    }
  }
  if (index >= StreamCount()) {
    ReportMessage(AV_LOG_ERROR, FormatStr("stream index #%d is invalid.", index));
    return -1;
  }
  if (FFileHandle->streams[index]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
    ReportMessage(AV_LOG_ERROR, FormatStr("stream #%d is not video stream.", index));
    return -1;
  }
  if (index != FDecodeIndex) ResetPicture();
  FDecodeIndex = index;
  return index;
}

void TAVProbe::ResetPicture() {
  if (FPicture.PTS != AV_NOPTS_VALUE) FLastPTS = FPicture.PTS;
  if (FPicture.Position != -1) FLastPos = FPicture.Position;
  FPicture.PixFmt = FPicture.Width = FPicture.Height = FPicture.StreamIndex = -1;
  FPicture.Position = -1;
  FPicture.IsKeyFrame = false;
  FPicture.PictureType = ptUnknown;
  FPicture.PTS = FPicture.OriginalDTS = FPicture.OriginalPTS = AV_NOPTS_VALUE;
  FPicture.Ready = false;
}

int64_t TAVProbe::FrameDuration(int index) { return FrameDurationOf(FFileHandle->streams[index]->r_frame_rate); }

int64_t TAVProbe::Position() {
  if (!FFileHandle) {
    ReportMessage(AV_LOG_WARNING, "file not loaded.");
    return -1;
  }
  if (!FFileHandle->pb) {
    ReportMessage(AV_LOG_WARNING, "cannot get position");
    return -1;
  }
  return ffapi::avio_seek(FFileHandle->pb, 0, SEEK_CUR);
}

void TAVProbe::CloseDecoder() {
  if (FCodec) {
    std::lock_guard<std::recursive_mutex> g(CodecLock());
    ffapi::avcodec_free_context(&FCodec);
  }
  FCodec = nullptr;
  FCodecIndex = -1;
  FDraining = false;
}

AVCodecContext* TAVProbe::OpenDecoder(int index) {
  AVCodecParameters* par = FFileHandle->streams[index]->codecpar;
  if (par->codec_type != AVMEDIA_TYPE_VIDEO) return nullptr;
  if (par->width == 0 || par->height == 0) {
    ReportMessage(AV_LOG_ERROR, "frame size of codec is invalid.");
    return nullptr;
  }
  if (FCodec && FCodecIndex == index) return FCodec;
  CloseDecoder();
  const AVCodec* codec = ffapi::avcodec_find_decoder(par->codec_id);
  if (!codec) {
    ReportMessage(AV_LOG_ERROR, FormatStr("Unsupported codec (id=%d) for input file stream #%d", par->codec_id, index));
    return nullptr;
  }
  AVCodecContext* ctx = ffapi::avcodec_alloc_context3(codec);
  bool ok = ctx && ffapi::avcodec_parameters_to_context(ctx, par) >= 0;
  if (ok) {
    ctx->thread_count = 1;
    ctx->pkt_timebase = FFileHandle->streams[index]->time_base;
    std::lock_guard<std::recursive_mutex> g(CodecLock());
    ok = ffapi::avcodec_open2(ctx, codec, nullptr) >= 0;
    if (!ok) ffapi::avcodec_free_context(&ctx);
  } else if (ctx) {
    ffapi::avcodec_free_context(&ctx);
  }
  if (!ok) {
    ReportMessage(AV_LOG_ERROR, FormatStr("Error while opening codec for input file stream #%d", index));
    return nullptr;
  }
  FCodec = ctx;
  FCodecIndex = index;
  return FCodec;
}

bool TAVProbe::Seek(int64_t APTS, TSeekFlags ASeekFlags) {
  if (!CheckSeekable()) return false;
  AVFormatContext* ic = FFileHandle;
  if (ic->pb)
    ReportMessage(AV_LOG_DEBUG,
                  FormatStr("currunt position %lld bytes", (long long)ffapi::avio_seek(ic->pb, 0, SEEK_CUR)));
  bool byBytes = ASeekFlags & SeekFlag(TSeekFlag::sfByte);
  int64_t target = APTS < 0 ? 0 : APTS;
  if (!byBytes) {
    if (FSeekIndex >= 0) target = ffapi::av_rescale_q(target, kMicro, ic->streams[FSeekIndex]->time_base);
    if (FStartTime > 0) target += FStartTime;
  }
  if (FCodec) ffapi::avcodec_flush_buffers(FCodec);
  FEOF = false;
  FDraining = false;
  ResetPicture();
  int flags = SeekFlagsToAVFlags(ASeekFlags);
  int ret;
  if (APTS > 0) {
    ret = ffapi::av_seek_frame(ic, FSeekIndex, target, flags);
  } else {
    ret = ffapi::av_seek_frame(ic, FSeekIndex, 0, flags | AVSEEK_FLAG_BACKWARD);
    if (ret < 0) ret = ffapi::av_seek_frame(ic, FSeekIndex, APTS, flags & ~AVSEEK_FLAG_BACKWARD);
  }
  bool result = ret >= 0;
  if (!result) {
    if (byBytes)
      ReportMessage(AV_LOG_ERROR, FormatStr("could not seek to position %lld bytes", (long long)APTS));
    else
      ReportMessage(AV_LOG_ERROR, FormatStr("could not seek to position %0.3f seconds", APTS / 1000000.0));
  }
  if (ic->pb) {
    // After a failure the error stays the last message.
    if (result)
      ReportMessage(AV_LOG_DEBUG,
                    FormatStr("seek to position %lld bytes", (long long)ffapi::avio_seek(ic->pb, 0, SEEK_CUR)));
    if (ffapi::avio_feof(ic->pb)) {
      if (result) ReportMessage(AV_LOG_INFO, "stream eof reached.");
      FEOF = true;
      result = false;
    }
  }
  return result;
}

bool TAVProbe::Decode(int AStreamIndex) {
  int index = SelectDecodeStream(AStreamIndex);
  if (index < 0) return false;
  AVFormatContext* ic = FFileHandle;
  if (FPicture.Ready && IsImage2(ic)) return true;
  if (FEOF) {
    ReportMessage(AV_LOG_INFO, "stream eof reached.");
    return false;
  }
  AVCodecContext* ctx = OpenDecoder(index);
  if (!ctx) return false;
  int64_t pos = ic->pb ? ffapi::avio_seek(ic->pb, 0, SEEK_CUR) : -1;
  AVPacket* pkt = ffapi::av_packet_alloc();
  AVFrame* frame = ffapi::av_frame_alloc();
  bool result = false;
  for (;;) {
    ffapi::av_packet_unref(pkt);
    if (!FDraining && ffapi::av_read_frame(ic, pkt) < 0) {
      // A decoder that delays pictures (B-frames, frame threads) holds the
      // last ones until it is told that nothing more comes.
      ffapi::avcodec_send_packet(ctx, nullptr);
      FDraining = true;
    }
    if (FDraining) {
      if (ffapi::avcodec_receive_frame(ctx, frame) < 0) {
        ReportMessage(AV_LOG_INFO, "stream eof reached.");
        FEOF = true;
        break;
      }
      pkt->stream_index = index;  // no packet: the picture's own time stamp counts
      FillPicture(frame, pkt, pos);
      result = true;
      break;
    }
    if (pkt->stream_index != index) continue;
    ffapi::av_frame_unref(frame);
    int ret = ffapi::avcodec_send_packet(ctx, pkt);
    if (ret < 0 && ret != AVERROR(EAGAIN)) continue;
    if (ffapi::avcodec_receive_frame(ctx, frame) < 0) continue;
    FFLoggerInstance().Log(this, TLogLevel::llDebug,
                           FormatStr("pkt.st_idx=%d, dts=%lld, pts=%lld, flags=%d, pict_type=%d", pkt->stream_index,
                                     (long long)pkt->dts, (long long)pkt->pts, pkt->flags, int(frame->pict_type)));
    FillPicture(frame, pkt, pos);
    result = true;
    break;
  }
  ffapi::av_frame_free(&frame);
  ffapi::av_packet_free(&pkt);
  return result;
}

void TAVProbe::FillPicture(AVFrame* frame, AVPacket* pkt, int64_t pos) {
  AVCodecContext* c = FCodec;
  int w = frame->width, h = frame->height;
  AVPixelFormat fmt = AVPixelFormat(frame->format);
  // A picture turned for display is kept as shown. Formats that cannot turn
  // plane by plane are made 4:4:4 first.
  const int turn = StreamRotation(FFileHandle->streams[pkt->stream_index]);
  const uint8_t* src[4] = {frame->data[0], frame->data[1], frame->data[2], frame->data[3]};
  int srcLs[4] = {frame->linesize[0], frame->linesize[1], frame->linesize[2], frame->linesize[3]};
  uint8_t* conv[4] = {};
  int convLs[4] = {};
  if (turn && !TurnsPlaneByPlane(ffapi::av_pix_fmt_desc_get(fmt))) {
    SwsContext* s = ffapi::sws_getContext(w, h, fmt, w, h, AV_PIX_FMT_YUV444P, SWS_POINT, nullptr, nullptr, nullptr);
    if (s && ffapi::av_image_alloc(conv, convLs, w, h, AV_PIX_FMT_YUV444P, kScalerAlign) >= 0) {
      ffapi::sws_scale(s, src, srcLs, 0, h, conv, convLs);
      fmt = AV_PIX_FMT_YUV444P;
      for (int i = 0; i < 4; ++i) {
        src[i] = conv[i];
        srcLs[i] = convLs[i];
      }
    }
    if (s) ffapi::sws_freeContext(s);
  }
  const bool turned = turn && TurnsPlaneByPlane(ffapi::av_pix_fmt_desc_get(fmt));
  const int srcW = w, srcH = h;
  if (turned && turn != 180) std::swap(w, h);
  int bytes = ffapi::av_image_get_buffer_size(fmt, w, h, 1);
  if (bytes > 0 && FPicture.Size < bytes) {
    if (FPicture.Buffer) ffapi::av_free(FPicture.Buffer);
    // The scaler reads the picture with whole vector loads, past its end.
    FPicture.Buffer = static_cast<uint8_t*>(ffapi::av_malloc(size_t(bytes) + kScalerPadding));
    FPicture.Size = FPicture.Buffer ? bytes : 0;
  }
  (void)c;
  FPicture.PixFmt = fmt;
  FPicture.Width = w;
  FPicture.Height = h;
  FPicture.IsKeyFrame = frame->key_frame == 1;
  FPicture.PictureType = (frame->pict_type >= 0 && frame->pict_type <= 7) ? TPictureType(frame->pict_type) : ptUnknown;
  int64_t ts;
  if (pkt->dts == AV_NOPTS_VALUE && frame->pts != AV_NOPTS_VALUE)
    ts = frame->pts;
  else if (pkt->dts != AV_NOPTS_VALUE)
    ts = pkt->dts;
  else
    ts = pkt->pts;
  if (FPicture.PTS != AV_NOPTS_VALUE) FLastPTS = FPicture.PTS;
  AVStream* st = FFileHandle->streams[pkt->stream_index];
  if (ts == AV_NOPTS_VALUE) {
    FPicture.PTS = AV_NOPTS_VALUE;
  } else {
    if (st->start_time != AV_NOPTS_VALUE) ts -= st->start_time;
    FPicture.PTS = ffapi::av_rescale_q(ts, st->time_base, kMicro);
    ffapi::av_log(nullptr, AV_LOG_DEBUG, "decode PTS: %0.3f\n", FPicture.PTS / 1000000.0);
  }
  FPicture.OriginalDTS = pkt->dts;
  FPicture.OriginalPTS = pkt->pts;
  FPicture.StreamIndex = pkt->stream_index;
  if (FPicture.Position != -1) FLastPos = FPicture.Position;
  FPicture.Position = pos;
  if (FPicture.Buffer && bytes > 0) {
    ffapi::av_image_fill_arrays(FPicture.Picture, FPicture.Linesize, FPicture.Buffer, fmt, w, h, 1);
    if (turned)
      TurnPicture(ffapi::av_pix_fmt_desc_get(fmt), turn, src, srcLs, srcW, srcH, FPicture.Picture, FPicture.Linesize);
    else
      ffapi::av_image_copy(FPicture.Picture, FPicture.Linesize, src, srcLs, fmt, w, h);
    FPicture.Ready = true;
  }
  if (conv[0]) ffapi::av_freep(&conv[0]);
}

bool TAVProbe::DecodeNextKeyFrame(int AStreamIndex) {
  int index = SelectDecodeStream(AStreamIndex);
  if (index < 0) return false;
  int64_t d = FrameDuration(index);
  int64_t target = FPicture.PTS > 0 ? FPicture.PTS + d : d;
  if (!Seek(target, 0)) return false;
  return Decode(index);
}

bool TAVProbe::DecodePreviousFrame(int AStreamIndex) {
  int index = SelectDecodeStream(AStreamIndex);
  if (index < 0) return false;
  int64_t d = FrameDuration(index);
  int64_t reference = FPicture.PTS != AV_NOPTS_VALUE ? FPicture.PTS : (FLastPTS != AV_NOPTS_VALUE ? FLastPTS : 0);
  int64_t target = reference - 2 * d;
  if (!DecodePreviousKeyFrame(index)) return false;
  for (;;) {
    if (FPicture.PTS != AV_NOPTS_VALUE && FPicture.PTS > target) return true;
    if (!Decode(index)) return false;
  }
}

bool TAVProbe::DecodePreviousKeyFrame(int AStreamIndex) {
  int index = SelectDecodeStream(AStreamIndex);
  if (index < 0) return false;
  int64_t d = FrameDuration(index);
  int64_t reference;
  if (FPicture.PTS != AV_NOPTS_VALUE)
    reference = FPicture.PTS;
  else if (FLastPTS != AV_NOPTS_VALUE)
    reference = FLastPTS;
  else if (FFileHandle->duration != AV_NOPTS_VALUE)
    reference = FFileHandle->duration;
  else
    reference = 0;
  int64_t refPos = FPicture.Position >= 0 ? FPicture.Position : FLastPos;
  for (int64_t n = 1;; n++) {
    if (n > kMaxPreviousKeyFramePasses || n * d > reference + d) break;
    Seek(reference - n * d, SeekFlag(TSeekFlag::sfBackward));
    AVIOContext* pb = FFileHandle->pb;
    if (pb && ffapi::avio_seek(pb, 0, SEEK_CUR) >= refPos && refPos > 0 && n * d <= reference) continue;
    if (Decode(index)) {
      if (FPicture.PTS < reference || FPicture.PTS <= 0) return true;
    } else if (n * d > reference) {
      break;
    }
  }
  FLastErrMsg = "Could not seek to the previous key-frame. " + FLastErrMsg;
  return false;
}

bool TAVProbe::CopyToBitmap(TBitmap* ABitmap) {
  if (!FPicture.Ready) {
    ReportMessage(AV_LOG_ERROR, "picture not ready, please decode first");
    return false;
  }
  if (FrameToBitmap(FRGBContext, FPicture.Picture, FPicture.Linesize, FPicture.PixFmt, FPicture.Width,
                    FPicture.Height)) {
    TBitmap* src = FRGBContext.Bitmap;
    ABitmap->SetSize(src->Width(), src->Height());
    std::memcpy(ABitmap->Bits(), src->Bits(), size_t(src->Stride()) * src->Height());
    return true;
  }
  ABitmap->SetSize(FPicture.Width, FPicture.Height);
  std::memset(ABitmap->Bits(), 0, size_t(ABitmap->Stride()) * ABitmap->Height());
  ffapi::av_log(nullptr, AV_LOG_ERROR, "convert picture to bitmap failed\n");
  return false;
}

void TAVProbe::RefreshFileInfo() {
  TCustomAVProbe::RefreshFileInfo();
  // A cover picture has no time line to seek by; its file's sound has.
  int video = FirstVideoStreamIndex();
  if (video >= 0 && FFileHandle && (FFileHandle->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC)) video = -1;
  FSeekIndex = video >= 0 ? video : FirstAudioStreamIndex();
  FStartTime = 0;
  if (FFileHandle) {
    int64_t st = FSeekIndex >= 0 ? FFileHandle->streams[FSeekIndex]->start_time : FFileHandle->start_time;
    FStartTime = st == AV_NOPTS_VALUE ? 0 : st;
  }
}

void TAVProbe::CloseFile() {
  FDecodeIndex = -1;
  FEOF = false;
  ResetPicture();
  FLastPTS = AV_NOPTS_VALUE;
  FLastPos = -1;
  CloseDecoder();
  ResetRGBConvert(FRGBContext);
  TCustomAVProbe::CloseFile();
}

}  // namespace media
