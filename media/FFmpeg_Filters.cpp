// The video filter graph and the frame and post hooks.
#include <cstring>
#include <utility>
#include <vector>

#include "media/FFmpeg_Loop.h"
#include "media/FrameHook.h"
#include "media/EngineUtils.h"
#include "media/Previewer.h"

namespace media {

bool TCustomFFmpeg::build_filter_graph(TAVOutputStream& ost, TAVInputStream& ist) {
  if (!build_filter_graph_steps(ist, ost)) {
    if (FLastErrMsg.empty()) FLastErrMsg = "a filter could not be made or linked";
    return false;
  }
  return true;
}

bool TCustomFFmpeg::build_filter_graph_steps(TAVInputStream& ist, TAVOutputStream& ost) {
  TInputLoopState& ls = LoopState(ist);
  if (ls.graph) {
    // One graph per input stream: a further output takes its size.
    ost.enc_ctx->width = ffapi::av_buffersink_get_w(ls.out_video_filter);
    ost.enc_ctx->height = ffapi::av_buffersink_get_h(ls.out_video_filter);
    return true;
  }
  AVCodecContext* dec = ist.dec_ctx;
  AVCodecContext* enc = ost.enc_ctx;
  AVFilterGraph* graph = ffapi::avfilter_graph_alloc();
  if (!graph) return false;
  graph->nb_threads = codec_threads();
  struct Guard {
    AVFilterGraph*& g;
    bool keep = false;
    ~Guard() {
      if (!keep && g) ffapi::avfilter_graph_free(&g);
    }
  } guard{graph};
  AVRational tb = ist.st->time_base;
  AVRational sar = dec->sample_aspect_ratio.num ? dec->sample_aspect_ratio : AVRational{0, 1};
  const std::string src_args = FormatStr("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", dec->width,
                                         dec->height, static_cast<int>(dec->pix_fmt), tb.num, tb.den, sar.num, sar.den);
  AVFilterContext* src = nullptr;
  if (ffapi::avfilter_graph_create_filter(&src, ffapi::avfilter_get_by_name("buffer"), "src", src_args.c_str(), nullptr,
                                          graph) < 0)
    return false;
  AVFilterContext* sink = ffapi::avfilter_graph_alloc_filter(graph, ffapi::avfilter_get_by_name("buffersink"), "out");
  if (!sink) return false;
  const AVPixelFormat fmts[] = {enc->pix_fmt, AV_PIX_FMT_NONE};
  if (ffapi::av_opt_set_bin(sink, "pix_fmts", reinterpret_cast<const uint8_t*>(fmts), sizeof(fmts[0]),
                            AV_OPT_SEARCH_CHILDREN) < 0 ||
      ffapi::avfilter_init_str(sink, nullptr) < 0)
    return false;
  AVFilterContext* last = src;
  // A picture turned for display is turned upright first; crop and scale
  // then work on the turned picture.
  const int turn = StreamRotation(ist.st);
  const bool sideways = turn == 90 || turn == 270;
  std::vector<std::pair<const char*, const char*>> turns;  // filter, arguments
  if (turn == 90)
    turns = {{"transpose", "dir=clock"}};
  else if (turn == 180)
    turns = {{"hflip", nullptr}, {"vflip", nullptr}};
  else if (turn == 270)
    turns = {{"transpose", "dir=cclock"}};
  for (const auto& [name, args] : turns) {
    AVFilterContext* f = nullptr;
    if (ffapi::avfilter_graph_create_filter(&f, ffapi::avfilter_get_by_name(name), name, args, nullptr, graph) < 0 ||
        ffapi::avfilter_link(last, 0, f, 0) < 0)
      return false;
    last = f;
  }
  const int in_w = sideways ? dec->height : dec->width, in_h = sideways ? dec->width : dec->height;
  const int l = Fframe_leftBand, r = Fframe_rightBand, t = Fframe_topBand, b = Fframe_bottomBand;
  const int cw = in_w - l - r, ch = in_h - t - b;
  if (ost.video_crop) {
    // Today's crop takes width, height, x, y: the keys are written out.
    AVFilterContext* crop = nullptr;
    const std::string args = FormatStr("w=%d:h=%d:x=%d:y=%d", cw, ch, ost.leftBand, ost.topBand);
    if (ffapi::avfilter_graph_create_filter(&crop, ffapi::avfilter_get_by_name("crop"), "crop", args.c_str(), nullptr,
                                            graph) < 0 ||
        ffapi::avfilter_link(last, 0, crop, 0) < 0)
      return false;
    last = crop;
  }
  int64_t flags = Fsws_flags;
  if (FOptions.sws_opts) ffapi::av_opt_get_int(FOptions.sws_opts, "sws_flags", 0, &flags);
  if (cw != enc->width || ch != enc->height) {
    AVFilterContext* scale = nullptr;
    const std::string args = FormatStr("w=%d:h=%d", enc->width, enc->height);
    if (ffapi::avfilter_graph_create_filter(&scale, ffapi::avfilter_get_by_name("scale"), "scale", args.c_str(),
                                            nullptr, graph) < 0 ||
        ffapi::avfilter_link(last, 0, scale, 0) < 0)
      return false;
    last = scale;
  }
  graph->scale_sws_opts = ffapi::av_strdup(FormatStr("flags=0x%X", static_cast<unsigned>(flags)).c_str());
  if (!Fvfilters.empty()) {
    AVFilterInOut* outputs = ffapi::avfilter_inout_alloc();
    AVFilterInOut* inputs = ffapi::avfilter_inout_alloc();
    if (!outputs || !inputs) {
      ffapi::avfilter_inout_free(&outputs);
      ffapi::avfilter_inout_free(&inputs);
      return false;
    }
    outputs->name = ffapi::av_strdup("in");
    outputs->filter_ctx = last;
    outputs->pad_idx = 0;
    inputs->name = ffapi::av_strdup("out");
    inputs->filter_ctx = sink;
    inputs->pad_idx = 0;
    int rr = ffapi::avfilter_graph_parse_ptr(graph, Fvfilters.c_str(), &inputs, &outputs, nullptr);
    ffapi::avfilter_inout_free(&outputs);
    ffapi::avfilter_inout_free(&inputs);
    if (rr < 0) {
      FLastErrMsg = ErrorMessageOf(rr);
      return false;
    }
  } else if (ffapi::avfilter_link(last, 0, sink, 0) < 0) {
    return false;
  }
  if (ffapi::avfilter_graph_config(graph, nullptr) < 0) return false;
  enc->width = ffapi::av_buffersink_get_w(sink);
  enc->height = ffapi::av_buffersink_get_h(sink);
  guard.keep = true;
  ls.graph = graph;
  ls.input_video_filter = src;
  ls.out_video_filter = sink;
  return true;
}

void TCustomFFmpeg::prepare_video_picture(TAVInputStream& ist, AVFrame* frame) {
  ++FHookFrameNumber;
  const int64_t pts = ist.pts;
  if (!Fdo_deinterlace && !FOnCustomHook && !Fusing_vhook) return;
  // The decoder keeps its reference pictures: the hooks work on a copy.
  if (ffapi::av_frame_make_writable(frame) < 0) {
    Log(TLogLevel::llError, "hook buf malloc error.");
    return;
  }
  if (Fdo_deinterlace && !Fdeinterlace_logged) {
    // The library's picture deinterlacer is gone; the yadif filter of the
    // video filters does it now.
    Fdeinterlace_logged = true;
    Log(TLogLevel::llError, "Deinterlacing failed.");
  }
  if (FOnCustomHook) {
    call_custom_hook(frame, pts);
  } else if (Fusing_vhook && FFirstHook) {
    HookPicture pic;
    for (int i = 0; i < 4; ++i) {
      pic.data[i] = frame->data[i];
      pic.linesize[i] = frame->linesize[i];
    }
    process_frame_hooks(FFirstHook, &pic, frame->format, frame->width, frame->height, pts);
  }
}

void TCustomFFmpeg::call_custom_hook(AVFrame* frame, int64_t pts) {
  bool stop = false;
  const int w = frame->width, h = frame->height;
  if (!FrameToBitmap(FHookContext, frame->data, frame->linesize, frame->format, w, h)) {
    Log(TLogLevel::llError, "Cannot initialize the toRGB conversion context");
    stop = true;
  } else {
    bool update = true;
    try {
      FOnCustomHook(this, FHookContext.Bitmap, FHookFrameNumber, pts, update, stop);
    } catch (const std::exception& e) {
      Log(TLogLevel::llError, std::string("Error occurs OnCustomHook: ") + e.what());
      update = false;
    }
    if (update) {
      TBitmap24* bmp = FHookContext.Bitmap;
      const size_t row = static_cast<size_t>(w) * 3;
      if (FHookContext.LastWasDirect) {
        for (int y = 0; y < h; ++y)
          std::memcpy(frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0], bmp->ScanLine(y), row);
      } else {
        for (int y = 0; y < h; ++y)
          std::memcpy(FHookContext.RGBData[0] + static_cast<ptrdiff_t>(y) * FHookContext.RGBLinesize[0],
                      bmp->ScanLine(y), row);
        FHookContext.fromRGB_convert_ctx = ffapi::sws_getCachedContext(
            FHookContext.fromRGB_convert_ctx, w, h, static_cast<AVPixelFormat>(FHookContext.RGBPixFmt), w, h,
            static_cast<AVPixelFormat>(frame->format), SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!FHookContext.fromRGB_convert_ctx) {
          Log(TLogLevel::llError, "Cannot initialize the fromRGB conversion context");
          stop = true;
        } else {
          ffapi::sws_scale(FHookContext.fromRGB_convert_ctx, FHookContext.RGBData, FHookContext.RGBLinesize, 0, h,
                           frame->data, frame->linesize);
        }
      }
    }
  }
  if (stop) {
    FOnCustomHook = nullptr;
    Fusing_vhook = false;
  }
}

void TCustomFFmpeg::run_post_hooks(AVFrame* frame, int64_t pts) {
  // The picture is converted under the lock (the host may change the hooks
  // at any time), but the lock is never held while the UI thread is waited
  // for: the handler and the window get the worker's own copy.
  TPostHooks hooks;
  TPostHooks removed = 0;
  bool bitmap_event = false, paint = false;
  {
    std::lock_guard<std::recursive_mutex> lk(PostHookLock());
    hooks = FPostHooks;
    const TPostHooks bmpBit = PostHookBit(TPostHook::phBitmap), prevBit = PostHookBit(TPostHook::phPreview);
    const bool want_bitmap = (hooks & bmpBit) && FOnPreviewBitmap;
    if (want_bitmap || (hooks & prevBit)) {
      Fpreview_cur_time = ffapi::av_gettime();
      if (Fpreview_cur_time - Fpreview_last_time > PreviewInterval) {
        Fpreview_last_time = Fpreview_cur_time;
        if (FrameToBitmap(FPostContext, frame->data, frame->linesize, frame->format, frame->width, frame->height)) {
          TBitmap24* b = FPostContext.Bitmap;
          Fpost_bitmap.SetSize(b->Width(), b->Height());
          std::memcpy(Fpost_bitmap.Bits(), b->Bits(), static_cast<size_t>(b->Stride()) * b->Height());
          bitmap_event = want_bitmap;
          paint = !want_bitmap;
        } else {
          Log(TLogLevel::llError, "Cannot initialize the toRGB conversion context");
          removed |= want_bitmap ? bmpBit : prevBit;
        }
      }
    }
  }
  if (bitmap_event) {
    FOnPreviewBitmap(this, &Fpost_bitmap, FHookFrameNumber, pts);
  } else if (paint) {
    if (!FPreviewer) FPreviewer.reset(new TPreviewer());
    if (!FPreviewer->PaintFrame(&Fpost_bitmap, FHookFrameNumber, pts)) removed |= PostHookBit(TPostHook::phPreview);
  }
  if (removed) {
    std::lock_guard<std::recursive_mutex> lk(PostHookLock());
    set_post_hooks(FPostHooks & ~removed);
  }
  // The window goes when its hook went (closed here, or turned off by the host).
  bool drop_window;
  {
    std::lock_guard<std::recursive_mutex> lk(PostHookLock());
    drop_window = FPreviewer && !(FPostHooks & PostHookBit(TPostHook::phPreview));
  }
  if (drop_window) FPreviewer.reset();
}

}  // namespace media
