// The threads of one playback: read thread, stream components, video thread
// with its filter graph, audio callback, subtitle thread, refresh thread and
// the event loop with the display.
#include "media/Player_Engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "media/FFmpegLogger.h"
#include "media/UnicodeProtocol.h"
#include "media/Player.h"
#include "platform/rtl/exceptions.h"

namespace media {
namespace zurora {

namespace {

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string ErrorTextOf(const std::string& name, int code) {
  char buf[256];
  if (ffapi::av_strerror(code, buf, sizeof buf) == 0) return name + ": " + buf;
  return name + ": " + FormatStr("Error number %d occurred", code);
}

int DecodeInterruptCallback(void* opaque) {
  auto* is = static_cast<TVideoState*>(opaque);
  return is && is->abort_request ? 1 : 0;
}

void SDLCALL SdlAudioCallback(void* opaque, Uint8* stream, int len) {
  AudioCallback(static_cast<TVideoState*>(opaque), stream, len);
}

int QueuesSize(TVideoState* is) {
  return PacketQueueSize(is->audioq) + PacketQueueSize(is->videoq) + PacketQueueSize(is->subtitleq);
}

// Waits on the main thread keep running synchronised calls so that the
// engine's threads, which may need the main thread, can finish.
void PumpIfMain() {
  if (IsMainThread()) PumpMessages();
}

// While paused the decoders wait, except for the picture of a seek: one is
// requested, or carried out and its picture not queued yet.
bool SeekPictureDue(const TVideoState* is) {
  return is->seek_req || (is->video_stream >= 0 && is->pict_serial != is->seek_serial);
}

}  // namespace

// ---------------------------------------------------------------------------
// Requests

void StreamTogglePause(TVideoState* is) {
  TCustomPlayer* player = is->Owner;
  if (!player->FSeekEvent.WaitFor(250)) player->FSeekEvent.Set();
  if (!player->FVideoState) return;
  if (is->paused) {
    double now = NowSeconds();
    is->frame_timer = is->frame_timer + now + is->video_current_pts_drift - is->video_current_pts;
    if (is->read_pause_return != AVERROR(ENOSYS)) is->video_current_pts = now + is->video_current_pts_drift;
    is->video_current_pts_drift = is->video_current_pts - now;
    is->paused = 0;
  } else {
    if (is->video_stream >= 0) {
      if (!player->FPictEvent.WaitFor(250)) player->FPictEvent.Set();
      if (!player->FVideoState) return;
    }
    is->paused = 1;
  }
}

bool StreamSeekRequest(TVideoState* is, int flags, int64_t pos, int64_t rel, bool to_start) {
  if (is->seek_req) return false;  // one request at a time
  TCustomPlayer* player = is->Owner;
  player->FSeeking = true;
  is->seek_pos = pos;
  is->seek_rel = rel;
  is->seek_flags = SeekFlagsToAVFlags(TSeekFlags(flags));
  is->seek_to_start = to_start ? 1 : 0;
  player->FSeekEvent.Reset();
  is->seek_req = 1;
  return true;
}

void WaitSeekEnd(TCustomPlayer* player, bool hasVideo) {
  // A playback closed after the seek but before its first picture never
  // queues that picture: the wait ends with the playback.
  TVideoState* is = player->FVideoState;
  auto open = [player, is] { return is && player->FVideoState == is; };
  while (!player->FSeekEvent.WaitFor(100)) PumpIfMain();
  if (hasVideo)
    while (!player->FPictEvent.WaitFor(100) && open()) PumpIfMain();
}

void StreamSeek(TVideoState* is, int flags, bool wait, int64_t pos, int64_t rel) {
  bool hasVideo = is->video_stream >= 0;
  TCustomPlayer* player = is->Owner;
  if (StreamSeekRequest(is, flags, pos, rel) && wait) WaitSeekEnd(player, hasVideo);
}

// ---------------------------------------------------------------------------
// Lifetime

bool StreamOpen(TCustomPlayer* player, const std::string& filename, const AVInputFormat* iformat, bool paused) {
  if (player->FVideoState) throw rtl::EAssertionFailed("StreamOpen: a playback is open");
  auto* is = new (std::nothrow) TVideoState;
  if (!is) {
    player->ReportError("av_mallocz() failed.", true);
    return false;
  }
  is->Owner = player;
  // The picture clock reads 0 from now on until a picture sets it, so that
  // a play pressed before the first picture shifts the timer by the time
  // spent paused, not by the whole clock.
  is->video_current_pts_drift = -NowSeconds();
  if (paused) {
    is->paused = 1;
    is->open_paused = 1;
    player->FStep = false;
  }
  is->filename = filename;
  is->iformat = iformat;
  is->av_sync_type = player->av_sync_type;
  try {
    is->parse_tid = std::thread(ReadThread, is);
  } catch (...) {
    player->ReportError("SDL_CreateThread() failed.", true);
    delete is;
    return false;
  }
  while (is->Opened == 0) {
    PumpIfMain();
    SleepMs(10);
  }
  if (is->Opened > 0) {
    player->FVideoState = is;
    if (is->video_stream < 0 && !player->DisableDisplay) is->show_audio = int(player->ShowAudio());
    is->refresh_tid = std::thread(RefreshThread, is);
    return true;
  }
  while (is->Opened == -1) {
    PumpIfMain();
    SleepMs(10);
  }
  // The read thread is joined, so a failed open leaves no thread behind.
  if (is->parse_tid.joinable()) is->parse_tid.join();
  delete is;
  player->ResetPlayback();
  return false;
}

void PushQuitEvent(TCustomPlayer* player) { player->FEngineEvents.Push({QuitEvent, 0, 0}); }

void PushDisplayChangeEvent(TCustomPlayer* player) { player->FEngineEvents.Push({DisplayChangeEvent, 0, 0}); }

void StreamClose(TVideoState* is) {
  is->abort_request = 1;
  if (is->parse_tid.joinable()) is->parse_tid.join();
  if (is->refresh_tid.joinable()) is->refresh_tid.join();
}

// SDL is shut down by Stop once the play thread has ended, never from here:
// the next playback may already have started it again.
void DoExit(TCustomPlayer* player) {
  TVideoState* is = player->FVideoState;
  if (is) {
    StreamClose(is);
    player->FVideoState = nullptr;
    delete is;
  }
  player->ResetPlayback();
}

void EventLoop(TCustomPlayer* player) {
  for (;;) {
    TEngineEventItem ev = player->FEngineEvents.Wait();
    std::unique_lock<rtl::TMutex> lock(player->FDataLock);
    TVideoState* is = player->FVideoState;
    if (!is) return;
    switch (ev.type) {
      case QuitEvent:
        DoExit(player);
        return;
      case VideoResizeEvent:
        player->ScreenWidth = ev.w;
        player->ScreenHeight = ev.h;
        VideoOpen(is, true);
        if (is->paused) VideoRefresh(is, false);
        break;
      case VideoExposeEvent:
        if (is->paused)
          VideoRefresh(is, false);
        else
          VideoDisplay(is);
        break;
      case AllocEvent:
        VideoOpen(is, false);
        AllocPicture(is);
        break;
      case RefreshEvent:
        VideoRefresh(is, true);
        is->refresh = 0;
        break;
      case DisplayChangeEvent:
        VideoOpen(is, true);
        VideoDisplay(is);
        break;
      default:
        break;
    }
  }
}

// ---------------------------------------------------------------------------
// Read thread

static void DoReadSeek(TVideoState* is) {
  TCustomPlayer* player = is->Owner;
  AVFormatContext* ic = is->ic;
  int64_t seek_target = is->seek_pos;
  int64_t seek_min = is->seek_rel > 0 ? seek_target - is->seek_rel + 2 : INT64_MIN;
  int64_t seek_max = is->seek_rel < 0 ? seek_target - is->seek_rel - 2 : INT64_MAX;
  int ret = -1;
  // Containers searched by decoding time stamps (MPEG-TS, MPEG-PS) put the
  // first key frame before the start time, so a rewind seeks to the very
  // beginning first.
  if (is->seek_to_start) {
    int64_t begin = ic->start_time != AV_NOPTS_VALUE ? std::min<int64_t>(ic->start_time, 0) : 0;
    ret = ffapi::av_seek_frame(ic, -1, begin, (is->seek_flags | AVSEEK_FLAG_BACKWARD) & ~AVSEEK_FLAG_ANY);
  }
  if (ret < 0) ret = ffapi::avformat_seek_file(ic, -1, seek_min, seek_target, seek_max, is->seek_flags);
  if (ret < 0) ret = ffapi::av_seek_frame(ic, -1, seek_target, is->seek_flags);
  if (ret < 0) ret = ffapi::av_seek_frame(ic, -1, seek_target, is->seek_flags ^ AVSEEK_FLAG_BACKWARD);
  if (ret < 0) {
    player->ReportError(FormatStr("%s: error while seeking", is->filename.c_str()), false);
    if (is->video_stream >= 0) player->FPictEvent.Set();
  } else {
    std::lock_guard<std::mutex> g(is->switch_lock);
    // Numbered before the flushes go down, so pictures still queued from
    // before the seek count as stale at once.
    const int serial = is->seek_serial + 1;
    if (is->video_stream >= 0) player->FPictEvent.Reset();
    is->seek_serial = serial;
    if (is->audio_stream >= 0) {
      PacketQueueFlush(is->audioq);
      PacketQueuePutFlush(is->audioq, serial);
    }
    if (is->subtitle_stream >= 0) {
      PacketQueueFlush(is->subtitleq);
      PacketQueuePutFlush(is->subtitleq, serial);
    }
    if (is->video_stream >= 0) {
      PacketQueueFlush(is->videoq);
      PacketQueuePutFlush(is->videoq, serial);
    }
  }
  is->ErrorEOF = 0;
  is->ReachEOF = 0;
  is->seek_to_start = 0;
  is->seek_req = 0;
  is->eof_read = 0;
  player->FSeekEvent.Set();
  if (is->video_stream < 0) player->FSeeking = false;
}

void ReadThread(TVideoState* is) {
  TCustomPlayer* player = is->Owner;
  int ret = -1;
  AVFormatContext* ic = ffapi::avformat_alloc_context();
  AVDictionary* opts = nullptr;
  int st_index[AVMEDIA_TYPE_NB];
  std::fill(std::begin(st_index), std::end(st_index), -1);
  is->video_stream = is->audio_stream = is->subtitle_stream = -1;
  if (!ic) {
    player->SetLastErrMsg(ErrorTextOf(is->filename, AVERROR(ENOMEM)));
    goto teardown;
  }
  // The interrupt callback belongs to this context only: stopping the
  // preview never interrupts another player's or a conversion's reads.
  ic->interrupt_callback.callback = DecodeInterruptCallback;
  ic->interrupt_callback.opaque = is;
  // The old open parameters (size, pixel format) are options of the raw and
  // device demuxers now.
  if (player->FrameWidth > 0 && player->FrameHeight > 0)
    ffapi::av_dict_set(&opts, "video_size", FormatStr("%dx%d", player->FrameWidth, player->FrameHeight).c_str(), 0);
  if (player->Fframe_pix_fmt >= 0)
    ffapi::av_dict_set(&opts, "pixel_format", ffapi::av_get_pix_fmt_name(AVPixelFormat(player->Fframe_pix_fmt)), 0);
  {
    int err = ffapi::avformat_open_input(&ic, LibraryFileName(is->filename).c_str(), is->iformat, &opts);
    ffapi::av_dict_free(&opts);
    if (err < 0) {  // the library has freed the context
      player->SetLastErrMsg(ErrorTextOf(is->filename, err));
      goto teardown;
    }
  }
  is->ic = ic;
  if (player->genpts) ic->flags |= AVFMT_FLAG_GENPTS;
  if (ffapi::avformat_find_stream_info(ic, nullptr) < 0) {
    player->SetLastErrMsg(FormatStr("%s: could not find codec parameters", is->filename.c_str()));
    goto teardown;
  }
  if (ic->pb) ic->pb->eof_reached = 0;
  if (player->seek_by_bytes < 0) player->seek_by_bytes = (ic->iformat->flags & AVFMT_TS_DISCONT) ? 1 : 0;
  is->IsImage2 = std::strcmp(ic->iformat->name, "image2") == 0;
  is->IsDevice = std::strcmp(ic->iformat->name, "vfwcap") == 0 || std::strcmp(ic->iformat->name, "vfwcapture") == 0;
  is->StartTime = ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0;
  is->Duration = ic->duration != AV_NOPTS_VALUE ? ic->duration : -1;

  if (player->start_time != AV_NOPTS_VALUE) {
    int64_t timestamp = player->start_time;
    if (ic->start_time != AV_NOPTS_VALUE) timestamp += ic->start_time;
    if (ffapi::avformat_seek_file(ic, -1, INT64_MIN, timestamp, INT64_MAX, 0) < 0)
      player->ReportError(
          FormatStr("%s: could not seek to position %0.3f", is->filename.c_str(), double(timestamp) / AV_TIME_BASE),
          false);
  }

  // Stream choice: a wanted index means the n-th stream of its kind; else the
  // library's best stream of the kind.
  for (unsigned i = 0; i < ic->nb_streams; i++) ic->streams[i]->discard = AVDISCARD_ALL;
  for (AVMediaType type : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_SUBTITLE}) {
    if (type == AVMEDIA_TYPE_AUDIO ? player->DisableAudio : player->DisableVideo) continue;
    int wanted = player->Fwanted_stream[type];
    if (wanted >= 0) {
      int n = 0;
      for (unsigned i = 0; i < ic->nb_streams; i++) {
        if (ic->streams[i]->codecpar->codec_type != type) continue;
        if (n++ == wanted) {
          st_index[type] = int(i);
          break;
        }
      }
    } else {
      int related = type == AVMEDIA_TYPE_SUBTITLE ? st_index[AVMEDIA_TYPE_VIDEO] : -1;
      int best = ffapi::av_find_best_stream(ic, type, -1, related, nullptr, 0);
      st_index[type] = best >= 0 ? best : -1;
    }
  }
  if (st_index[AVMEDIA_TYPE_AUDIO] >= 0) StreamComponentOpen(is, st_index[AVMEDIA_TYPE_AUDIO]);
  {
    int r = -1;
    if (st_index[AVMEDIA_TYPE_VIDEO] >= 0) r = StreamComponentOpen(is, st_index[AVMEDIA_TYPE_VIDEO]);
    if (r < 0 && !player->DisableDisplay) is->show_audio = 2;
  }
  if (st_index[AVMEDIA_TYPE_SUBTITLE] >= 0) StreamComponentOpen(is, st_index[AVMEDIA_TYPE_SUBTITLE]);
  if (is->video_stream < 0 && is->audio_stream < 0) {
    player->SetLastErrMsg(FormatStr("%s: could not open codecs, no stream to play.", is->filename.c_str()));
    goto teardown;
  }

  is->Opened = 1;
  while (!is->abort_request) {
    if (is->paused != is->last_paused) {
      is->last_paused = is->paused;
      if (is->paused)
        is->read_pause_return = ffapi::av_read_pause(ic);
      else
        ffapi::av_read_play(ic);
    }
    if (is->seek_req) DoReadSeek(is);
    if (QueuesSize(is) > MAX_QUEUE_SIZE ||
        ((PacketQueueSize(is->audioq) > MIN_AUDIOQ_SIZE || is->audio_stream < 0) &&
         (PacketQueueCount(is->videoq) > MIN_FRAMES || is->video_stream < 0) &&
         (PacketQueueCount(is->subtitleq) > MIN_FRAMES || is->subtitle_stream < 0))) {
      SleepMs(10);
      continue;
    }
    if ((ic->pb && ffapi::avio_feof(ic->pb)) || is->eof_read) {
      if (is->video_stream >= 0) {
        // One drain packet waits at a time, so a paused end does not pile them up.
        std::lock_guard<std::mutex> g(is->switch_lock);
        if (is->video_stream >= 0 && PacketQueueCount(is->videoq) == 0)
          PacketQueuePutEmpty(is->videoq, is->video_stream);
        player->FPictEvent.Set();
      }
      SleepMs(10);
      if (QueuesSize(is) == 0) is->ReachEOF = 1;
      continue;
    }
    AVPacket* pkt = ffapi::av_packet_alloc();
    if (!pkt) {
      SleepMs(10);
      continue;
    }
    is->Reading = 1;
    int r = ffapi::av_read_frame(ic, pkt);
    is->Reading = 0;
    if (is->abort_request) {
      ffapi::av_packet_free(&pkt);
      break;
    }
    if (r < 0) {
      ffapi::av_packet_free(&pkt);
      if (r == AVERROR(EAGAIN)) {
        SleepMs(10);
        continue;
      }
      if (is->video_stream >= 0) player->FPictEvent.Set();
      if (!is->IsImage2 && !is->ErrorEOF) {
        is->ErrorEOF = 1;
        if (r == AVERROR_EOF)
          FFLoggerInstance().Log(player, TLogLevel::llInfo, FormatStr("reach end of file: %s", is->filename.c_str()));
        else
          player->ReportError(FormatStr("error #%d while reading file: %s", r, is->filename.c_str()), false);
      }
      if (r == AVERROR_EOF) is->eof_read = 1;
      if (ic->pb && ic->pb->error) break;
      SleepMs(100);
      continue;
    }
    std::lock_guard<std::mutex> g(is->switch_lock);
    if (pkt->stream_index == is->audio_stream)
      PacketQueuePut(is->audioq, pkt);
    else if (pkt->stream_index == is->video_stream)
      PacketQueuePut(is->videoq, pkt);
    else if (pkt->stream_index == is->subtitle_stream)
      PacketQueuePut(is->subtitleq, pkt);
    else
      ffapi::av_packet_free(&pkt);
  }
  while (!is->abort_request) SleepMs(100);
  ret = 0;

teardown:
  if (is->Opened != 1) is->Opened = -1;
  if (is->audio_stream >= 0) StreamComponentClose(is, is->audio_stream);
  if (is->video_stream >= 0) StreamComponentClose(is, is->video_stream);
  if (is->subtitle_stream >= 0) StreamComponentClose(is, is->subtitle_stream);
  if (ic && player->AVProbe()->FileHandle() == ic) player->AVProbe()->SetFileHandle(nullptr);
  if (ic) ffapi::avformat_close_input(&ic);
  is->ic = nullptr;
  (void)ret;
  if (is->Opened == -1) is->Opened = -2;
}

// ---------------------------------------------------------------------------
// Stream components

int StreamComponentOpen(TVideoState* is, int stream_index) {
  TCustomPlayer* player = is->Owner;
  AVFormatContext* ic = is->ic;
  if (!ic || stream_index < 0 || stream_index >= int(ic->nb_streams)) return -1;
  AVStream* st = ic->streams[stream_index];
  AVCodecParameters* par = st->codecpar;
  const AVCodec* codec = ffapi::avcodec_find_decoder(par->codec_id);
  AVCodecContext* ctx = codec ? ffapi::avcodec_alloc_context3(codec) : nullptr;
  bool ok = ctx && ffapi::avcodec_parameters_to_context(ctx, par) >= 0;
  if (ok) {
    ctx->pkt_timebase = st->time_base;
    ctx->workaround_bugs = player->workaround_bugs;
    if (player->lowres > 0) ctx->lowres = std::min(player->lowres, int(codec->max_lowres));
    ctx->idct_algo = player->idct_algo;
    if (player->fast) ctx->flags2 |= AV_CODEC_FLAG2_FAST;
    ctx->skip_frame = AVDiscard(player->Fskip_frame);
    ctx->skip_idct = AVDiscard(player->Fskip_idct);
    ctx->skip_loop_filter = AVDiscard(player->Fskip_loop_filter);
    ctx->err_recognition = player->error_recognition >= 1 ? AV_EF_CAREFUL : 0;
    ctx->error_concealment = player->error_concealment;
    ctx->debug = player->Fdebug;
    ctx->thread_count = 1;
    std::lock_guard<std::recursive_mutex> g(CodecLock());
    ok = ffapi::avcodec_open2(ctx, codec, nullptr) >= 0;
  }
  if (!ok) {
    if (ctx) {
      std::lock_guard<std::recursive_mutex> g(CodecLock());
      ffapi::avcodec_free_context(&ctx);
    }
    player->ReportError("avcodec_open() failed.", false);
    return -1;
  }

  if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
    int channels = ctx->ch_layout.nb_channels;
    // Devices get at most two channels; the converter mixes the rest down.
    SDL_AudioSpec wanted{};
    wanted.freq = ctx->sample_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = Uint8((channels == 1 || channels == 2) ? channels : 2);
    wanted.silence = 0;
    wanted.samples = 1024;
    wanted.callback = SdlAudioCallback;
    wanted.userdata = is;
    is->audio_dec = ctx;  // visible to the device thread before it starts
    is->audio_st = st;
    if (!is->audio_frame) is->audio_frame = ffapi::av_frame_alloc();
    // Without an "obtained" format SDL converts to the wanted one, so what is asked
    // for is what the callback delivers.
    if (wanted.freq <= 0) {
      player->ReportError("SDL_OpenAudio() failed: the sample rate is not valid", false);
      is->audio_dec = nullptr;
      is->audio_st = nullptr;
      std::lock_guard<std::recursive_mutex> g(CodecLock());
      ffapi::avcodec_free_context(&ctx);  // the decoder is not left open behind a failed device
      return -1;
    }
    // Without a sound device the file still plays, silently: its pictures,
    // its position and its end follow the sound that is not heard.
    const bool device = ffapi::SDL_WasInit(SDL_INIT_AUDIO) && ffapi::SDL_OpenAudio(&wanted, nullptr) >= 0;
    if (!device) {
      const char* why = ffapi::SDL_GetError();
      FFLoggerInstance().Log(player, TLogLevel::llWarning,
                             FormatStr("Could not open the audio device (%s), playing without sound",
                                       why && *why ? why : "no audio driver"));
      wanted.size = Uint32(wanted.samples) * wanted.channels * 2;
      is->silent_audio =
          std::make_unique<TSilentAudioOutput>(SdlAudioCallback, is, wanted.freq, wanted.samples, int(wanted.size));
    }
    is->audio_hw_buf_size = int(wanted.size);
    is->audio_tgt_freq = wanted.freq;
    is->audio_tgt_channels = wanted.channels;
    is->audio_src_fmt = -1;
  }
  st->discard = AVDISCARD_DEFAULT;

  switch (par->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      is->audio_dec = ctx;
      is->audio_st = st;
      is->AudioDuration =
          st->duration != AV_NOPTS_VALUE ? ffapi::av_rescale_q(st->duration, st->time_base, AV_TIME_BASE_Q) : -1;
      is->audio_buf_size = 0;
      is->audio_buf_index = 0;
      is->audio_diff_avg_coef = std::exp(std::log(0.01) / AUDIO_DIFF_AVG_NB);
      is->audio_diff_avg_count = 0;
      is->audio_diff_threshold = 2.0 * 1024 / is->audio_tgt_freq;
      if (!is->audio_frame) is->audio_frame = ffapi::av_frame_alloc();
      PacketQueueInit(is->audioq);
      PacketQueuePutFlush(is->audioq);
      is->audio_stream = stream_index;
      if (is->silent_audio)
        is->silent_audio->Start();
      else
        ffapi::SDL_PauseAudio(0);
      break;
    case AVMEDIA_TYPE_VIDEO:
      is->video_dec = ctx;
      is->video_st = st;
      PacketQueueInit(is->videoq);
      PacketQueuePutFlush(is->videoq);
      is->video_stream = stream_index;
      is->video_tid = std::thread(VideoThread, is);
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      is->subtitle_dec = ctx;
      is->subtitle_st = st;
      PacketQueueInit(is->subtitleq);
      PacketQueuePutFlush(is->subtitleq);
      is->subtitle_stream = stream_index;
      is->subtitle_stream_changed = 0;
      is->subtitle_tid = std::thread(SubtitleThread, is);
      break;
    default: {
      std::lock_guard<std::recursive_mutex> g(CodecLock());
      ffapi::avcodec_free_context(&ctx);
      break;
    }
  }
  return 0;
}

void StreamComponentClose(TVideoState* is, int stream_index) {
  AVFormatContext* ic = is->ic;
  if (!ic || stream_index < 0 || stream_index >= int(ic->nb_streams)) return;
  AVStream* st = ic->streams[stream_index];
  AVCodecContext** ctx = nullptr;
  switch (st->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
      if (stream_index != is->video_stream) return;
      PacketQueueAbort(is->videoq);
      {
        std::lock_guard<std::mutex> g(is->pictq_mutex);
        is->pictq_cond.notify_all();
      }
      if (is->video_tid.joinable()) is->video_tid.join();
      PacketQueueEnd(is->videoq);
      ctx = &is->video_dec;
      break;
    case AVMEDIA_TYPE_AUDIO:
      if (stream_index != is->audio_stream) return;
      PacketQueueAbort(is->audioq);
      if (is->silent_audio)
        is->silent_audio.reset();
      else
        ffapi::SDL_CloseAudio();
      PacketQueueEnd(is->audioq);
      if (is->swr_ctx) ffapi::swr_free(&is->swr_ctx);
      if (is->audio_pkt) ffapi::av_packet_free(&is->audio_pkt);
      is->audio_src_fmt = -1;
      ctx = &is->audio_dec;
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      if (stream_index != is->subtitle_stream) return;
      PacketQueueAbort(is->subtitleq);
      {
        std::lock_guard<std::mutex> g(is->subpq_mutex);
        is->subtitle_stream_changed = 1;
        is->subpq_cond.notify_all();
      }
      if (is->subtitle_tid.joinable()) is->subtitle_tid.join();
      PacketQueueEnd(is->subtitleq);
      ctx = &is->subtitle_dec;
      break;
    default:
      return;
  }
  st->discard = AVDISCARD_ALL;
  {
    std::lock_guard<std::recursive_mutex> g(CodecLock());
    if (ctx && *ctx) ffapi::avcodec_free_context(ctx);
  }
  switch (st->codecpar->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      is->audio_st = nullptr;
      is->audio_stream = -1;
      is->AudioDuration = -1;
      break;
    case AVMEDIA_TYPE_VIDEO:
      is->video_st = nullptr;
      is->video_stream = -1;
      if (is->graph) ffapi::avfilter_graph_free(&is->graph);
      is->in_video_filter = is->out_video_filter = nullptr;
      is->graph_w = is->graph_h = 0;
      is->graph_fmt = -1;
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      is->subtitle_st = nullptr;
      is->subtitle_stream = -1;
      break;
    default:
      break;
  }
}

bool StreamComponentSwitch(TVideoState* is, int kind, int index) {
  TCustomPlayer* player = is->Owner;
  auto refuse = [&](const char* text) {
    player->ReportError(text, true);
    return false;
  };
  int current = kind == 0 ? is->video_stream : kind == 1 ? is->audio_stream : is->subtitle_stream;
  if (kind != 3) {
    if (current < 0) return refuse("the current stream is not valid.");
    if (index < 0) return refuse("the stream index is not valid.");
  } else {
    if (current < -1) return refuse("the current stream is not valid.");
    if (index < -1) return refuse("the stream index is not valid.");
  }
  if (index >= int(is->ic->nb_streams)) return refuse("the stream index is not valid.");
  if (index == current) return true;
  // The read loop puts packets under the same lock, so it never writes into
  // a queue that is being closed.
  std::lock_guard<std::mutex> g(is->switch_lock);
  if (index == -1) {
    StreamComponentClose(is, current);
    return true;
  }
  AVCodecParameters* par = is->ic->streams[index]->codecpar;
  if (kind != 0 && kind != 1 && kind != 3) return refuse("the stream type is invalid.");
  if (int(par->codec_type) != kind) return refuse("the stream type is not matched.");
  if (kind == 1 && (par->sample_rate == 0 || par->ch_layout.nb_channels == 0))
    return refuse("the audio stream is not invalid.");
  if (current >= 0) StreamComponentClose(is, current);
  if (StreamComponentOpen(is, index) == 0) return true;
  // Not reported as a success: the kind would be left without a stream.
  // The old stream is opened again so that playback goes on.
  if (current >= 0) StreamComponentOpen(is, current);
  return refuse(FormatStr("the stream #%d could not be opened.", index).c_str());
}

// ---------------------------------------------------------------------------
// Picture queue and display

int OutputPicture(TVideoState* is, AVFrame* frame, double pts, int64_t pos) {
  if (pts != 0)
    is->video_clock = pts;
  else
    pts = is->video_clock;
  AVRational fr = ffapi::av_guess_frame_rate(is->ic, is->video_st, nullptr);
  double frame_delay = (fr.num && fr.den) ? double(fr.den) / fr.num : av_q2d(is->video_st->time_base);
  frame_delay += frame->repeat_pict * (frame_delay * 0.5);
  is->video_clock += frame_delay;
  return QueuePicture(is, frame, pts, pos);
}

static void CopyPlanes(TVideoPicture* vp, AVFrame* frame, bool flip) {
  int w = vp->width, h = vp->height;
  for (int p = 0; p < 3; p++) {
    int pw = p ? w / 2 : w, ph = p ? h / 2 : h;
    int fh = p ? frame->height / 2 : frame->height;
    for (int y = 0; y < ph; y++) {
      int sy = flip ? fh - 1 - y : y;
      std::memcpy(vp->data[p] + size_t(y) * vp->linesize[p], frame->data[p] + ptrdiff_t(sy) * frame->linesize[p], pw);
    }
  }
}

int QueuePicture(TVideoState* is, AVFrame* frame, double pts, int64_t pos) {
  {
    std::unique_lock<std::mutex> l(is->pictq_mutex);
    if (is->pictq_size >= VIDEO_PICTURE_QUEUE_SIZE && !is->refresh)
      is->skip_frames = std::max(1.0f - 0.05f, is->skip_frames * (1.0f - 0.05f));
    is->pictq_cond.wait(l, [is] { return is->pictq_size < VIDEO_PICTURE_QUEUE_SIZE || is->videoq.abort_request; });
  }
  if (is->videoq.abort_request) return -1;
  TVideoPicture* vp = &is->pictq[is->pictq_windex];
  int w = frame->width & ~1, h = frame->height & ~1;
  bool realloc;
  {
    std::lock_guard<std::mutex> g(vp->lock);
    realloc = !vp->allocated || vp->width != w || vp->height != h;
  }
  if (realloc) {
    // Pictures are (re)allocated by the event loop, as the display's other
    // work is; so nothing is shown before the play thread runs.
    {
      std::lock_guard<std::mutex> l(is->pictq_mutex);
      vp->allocated = 0;
      is->alloc_w = w;
      is->alloc_h = h;
    }
    is->Owner->FEngineEvents.Push({AllocEvent, 0, 0});
    std::unique_lock<std::mutex> l(is->pictq_mutex);
    is->pictq_cond.wait(l, [is, vp] { return vp->allocated || is->videoq.abort_request; });
    if (is->videoq.abort_request) return -1;
  }
  {
    std::lock_guard<std::mutex> g(vp->lock);
    if (!vp->HasImage()) return 0;  // allocation failed: the picture is dropped
    CopyPlanes(vp, frame, is->Owner->VerticalFlip);
    vp->sar = frame->sample_aspect_ratio;
    is->Owner->DoHook(vp, pts);
  }
  is->pictq_windex = (is->pictq_windex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
  std::lock_guard<std::mutex> l(is->pictq_mutex);
  vp->pts = pts;
  vp->pos = pos;
  vp->serial = is->video_serial;
  vp->target_clock = ComputeTargetTime(is, pts);
  is->pictq_size++;
  return 0;
}

void AllocPicture(TVideoState* is) {
  TVideoPicture* vp = &is->pictq[is->pictq_windex];
  int w, h;
  {
    std::lock_guard<std::mutex> l(is->pictq_mutex);
    w = is->alloc_w;
    h = is->alloc_h;
  }
  {
    std::lock_guard<std::mutex> g(vp->lock);
    vp->Allocate(w, h);
  }
  std::lock_guard<std::mutex> l(is->pictq_mutex);
  vp->allocated = 1;
  is->pictq_cond.notify_all();
}

static void RemoveFirstPicture(TVideoState* is) {
  is->pictq_rindex = (is->pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
  std::lock_guard<std::mutex> l(is->pictq_mutex);
  is->pictq_size--;
  is->pictq_cond.notify_all();
}

static void ExpireSubtitles(TVideoState* is) {
  if (!is->subtitle_st) return;
  std::unique_lock<std::mutex> l(is->subpq_mutex);
  if (is->subtitle_stream_changed) {
    while (is->subpq_size) {
      FreeSubPicture(&is->subpq[is->subpq_rindex]);
      is->subpq_rindex = (is->subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE;
      is->subpq_size--;
    }
    is->subtitle_stream_changed = 0;
    is->subpq_cond.notify_all();
    return;
  }
  if (is->subpq_size > 0) {
    TSubPicture* sp = &is->subpq[is->subpq_rindex];
    TSubPicture* sp2 = is->subpq_size > 1 ? &is->subpq[(is->subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE] : nullptr;
    double cur = is->video_current_pts;
    if (cur > sp->pts + double(sp->sub.end_display_time) / 1000 ||
        (sp2 && cur > sp2->pts + double(sp2->sub.start_display_time) / 1000)) {
      FreeSubPicture(sp);
      is->subpq_rindex = (is->subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE;
      is->subpq_size--;
      is->subpq_cond.notify_all();
    }
  }
}

void VideoRefresh(TVideoState* is, bool consume) {
  TCustomPlayer* player = is->Owner;
  if (!is->video_st) {
    if (is->audio_st) {
      VideoDisplay(is);
      player->RefreshPlayPosition();
    }
    return;
  }
  bool report = true;
  for (;;) {
    int size;
    double next_target, target, vpts;
    int64_t vpos;
    bool stale;
    TVideoPicture* vp = &is->pictq[is->pictq_rindex];
    {
      std::lock_guard<std::mutex> l(is->pictq_mutex);
      size = is->pictq_size;
      stale = vp->serial != is->seek_serial;
      target = vp->target_clock;
      vpts = vp->pts;
      vpos = vp->pos;
      if (size > 1)
        next_target = is->pictq[(is->pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE].target_clock;
      else
        next_target = target + is->video_clock - vpts;
    }
    if (size == 0) {
      if (!consume) VideoDisplay(is);
      break;
    }
    if (stale) {  // decoded before the last seek
      RemoveFirstPicture(is);
      report = false;
      continue;
    }
    double time = NowSeconds();
    if (time < target) return;  // nothing due yet
    is->video_current_pts = vpts;
    is->video_current_pts_drift = vpts - time;
    is->video_current_pos = vpos;
    // Lateness means nothing while paused: a picture dropped then (a paused
    // open on a busy machine) leaves the pane empty until play.
    if (player->framedrop && time > next_target && !is->IsDevice && !is->paused) {
      is->skip_frames = is->skip_frames * (1.0f + 0.05f);
      if (size > 1 || time > next_target + 0.5) {
        RemoveFirstPicture(is);
        report = false;
        continue;
      }
    }
    ExpireSubtitles(is);
    VideoDisplay(is);
    {
      std::lock_guard<std::mutex> l(is->pictq_mutex);
      is->pictq_shown = is->pictq_rindex;
    }
    if (consume) RemoveFirstPicture(is);
    break;
  }
  if (report) player->RefreshPlayPosition();
}

int VideoOpen(TVideoState* is, bool force) {
  TCustomPlayer* player = is->Owner;
  int w, h;
  if (player->ScreenWidth > 0 && player->ScreenHeight > 0) {
    w = player->ScreenWidth;
    h = player->ScreenHeight;
  } else if (is->out_video_filter && is->out_w > 0) {
    w = is->out_w & ~1;
    h = is->out_h & ~1;
  } else {
    w = 640;
    h = 480;
  }
  if (!force && !is->screen.empty() && is->width == w && is->height == h) return 0;
  is->width = w;
  is->height = h;
  is->screen.assign(size_t(w) * h * 4, 0);
  for (size_t i = 3; i < is->screen.size(); i += 4) is->screen[i] = 0xff;
  is->xpos = 0;
  return 0;
}

static void Present(TVideoState* is) {
  IVideoOutput* out = is->Owner->ScreenHandle();
  if (out && is->width > 0 && is->height > 0) out->Present(is->screen.data(), is->width * 4, is->width, is->height);
}

void VideoDisplay(TVideoState* is) {
  if (is->screen.empty()) VideoOpen(is, false);
  if (is->audio_st && is->show_audio) {
    VideoAudioDisplay(is);
    Present(is);
  } else if (is->video_st) {
    VideoImageDisplay(is);
  }
}

// Redraws and captures use the last picture shown once the queue is empty:
// the entry at the read index is stale after it is consumed, and after a seek
// it would be a picture from before the seek.
int DisplayIndex(TVideoState* is) {
  std::lock_guard<std::mutex> l(is->pictq_mutex);
  return is->pictq_size > 0 ? is->pictq_rindex : is->pictq_shown;
}

void VideoImageDisplay(TVideoState* is) {
  TCustomPlayer* player = is->Owner;
  TVideoPicture* vp = &is->pictq[DisplayIndex(is)];
  std::lock_guard<std::mutex> g(vp->lock);
  if (!vp->HasImage() || vp->width <= 0 || vp->height <= 0) return;
  double sar = (vp->sar.num > 0 && vp->sar.den > 0) ? av_q2d(vp->sar) : 1.0;
  double pic_aspect = sar * vp->width / vp->height;
  if (is->subtitle_st) {
    std::lock_guard<std::mutex> l(is->subpq_mutex);
    if (is->subpq_size > 0) {
      TSubPicture* sp = &is->subpq[is->subpq_rindex];
      if (vp->pts >= sp->pts + double(sp->sub.start_display_time) / 1000) {
        for (unsigned i = 0; i < sp->sub.num_rects; i++)
          if (sp->sub.rects[i]->type == SUBTITLE_BITMAP)
            BlendSubRect(vp->data, vp->linesize, sp->sub.rects[i], vp->width, vp->height);
      }
    }
  }
  TDisplayRect r = CalculateDisplayRect(is->width, is->height, player->AspectRatio(), pic_aspect);
  uint32_t* px = reinterpret_cast<uint32_t*>(is->screen.data());
  std::fill(px, px + size_t(is->width) * is->height, 0xff000000u);
  if (r.w > 0 && r.h > 0) {
    is->display_sws = ffapi::sws_getCachedContext(is->display_sws, vp->width, vp->height, AV_PIX_FMT_YUV420P, r.w, r.h,
                                                  AV_PIX_FMT_BGRA, player->Fsws_flags, nullptr, nullptr, nullptr);
    if (is->display_sws) {
      // The scaler may write a few pixels past a row's end, so it fills an
      // aligned buffer of its own and the rows are copied into the letterbox.
      int stride = (r.w * 4 + 63) & ~63;
      if (is->scaled.size() < size_t(stride) * r.h + 64) is->scaled.resize(size_t(stride) * r.h + 64);
      uint8_t* base =
          reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(is->scaled.data()) + 63) & ~uintptr_t(63));
      uint8_t* dst[4] = {base, nullptr, nullptr, nullptr};
      int dst_stride[4] = {stride, 0, 0, 0};
      const uint8_t* src[4] = {vp->data[0], vp->data[1], vp->data[2], nullptr};
      int src_stride[4] = {vp->linesize[0], vp->linesize[1], vp->linesize[2], 0};
      ffapi::sws_scale(is->display_sws, src, src_stride, 0, vp->height, dst, dst_stride);
      for (int y = 0; y < r.h; y++)
        std::memcpy(is->screen.data() + (size_t(is->ytop + r.y + y) * is->width + is->xleft + r.x) * 4,
                    base + size_t(y) * stride, size_t(r.w) * 4);
    }
  }
  Present(is);
}

void RefreshThread(TVideoState* is) {
  TCustomPlayer* player = is->Owner;
  while (!is->abort_request) {
    if (!is->refresh) {
      is->refresh = 1;
      player->FEngineEvents.Push({RefreshEvent, 0, 0});
    }
    SleepMs(is->audio_stream >= 0 && is->show_audio ? std::max(player->rdftspeed, 1) : 5);
  }
}

// ---------------------------------------------------------------------------
// Video decoding

namespace {

// buffer -> [turn upright] -> [VideoFilters] -> buffersink accepting planar
// 4:2:0 only. Pictures turned for display (a phone held upright) show as
// they were taken.
int ConfigureVideoFilters(TVideoState* is, AVFrame* frame) {
  TCustomPlayer* player = is->Owner;
  if (is->graph) ffapi::avfilter_graph_free(&is->graph);
  is->in_video_filter = is->out_video_filter = nullptr;
  is->graph = ffapi::avfilter_graph_alloc();
  if (!is->graph) return -1;
  is->graph->scale_sws_opts = ffapi::av_strdup(
      player->Fsws_flags == SWS_BICUBIC ? "flags=bicubic" : FormatStr("flags=%d", player->Fsws_flags).c_str());
  AVRational tb = is->video_st->time_base;
  AVRational sar = frame->sample_aspect_ratio.num ? frame->sample_aspect_ratio : AVRational{0, 1};
  std::string args = FormatStr("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", frame->width,
                               frame->height, frame->format, tb.num, tb.den, sar.num, sar.den ? sar.den : 1);
  AVFilterContext *src = nullptr, *sink = nullptr;
  int ret = ffapi::avfilter_graph_create_filter(&src, ffapi::avfilter_get_by_name("buffer"), "src", args.c_str(),
                                                nullptr, is->graph);
  if (ret >= 0)
    ret = ffapi::avfilter_graph_create_filter(&sink, ffapi::avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                              is->graph);
  if (ret >= 0) {
    AVPixelFormat fmts[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_NONE};
    ret = ffapi::av_opt_set_bin(sink, "pix_fmts", reinterpret_cast<const uint8_t*>(fmts), sizeof(fmts[0]),
                                AV_OPT_SEARCH_CHILDREN);
  }
  std::string chain = RotationFilters(StreamRotation(is->video_st));
  if (!player->VideoFilters.empty()) chain += (chain.empty() ? "" : ",") + player->VideoFilters;
  if (ret >= 0) {
    if (!chain.empty()) {
      AVFilterInOut* outputs = ffapi::avfilter_inout_alloc();
      AVFilterInOut* inputs = ffapi::avfilter_inout_alloc();
      if (outputs && inputs) {
        outputs->name = ffapi::av_strdup("in");
        outputs->filter_ctx = src;
        outputs->pad_idx = 0;
        outputs->next = nullptr;
        inputs->name = ffapi::av_strdup("out");
        inputs->filter_ctx = sink;
        inputs->pad_idx = 0;
        inputs->next = nullptr;
        ret = ffapi::avfilter_graph_parse_ptr(is->graph, chain.c_str(), &inputs, &outputs, nullptr);
      } else {
        ret = AVERROR(ENOMEM);
      }
      ffapi::avfilter_inout_free(&outputs);
      ffapi::avfilter_inout_free(&inputs);
    } else {
      ret = ffapi::avfilter_link(src, 0, sink, 0);
    }
  }
  if (ret >= 0) ret = ffapi::avfilter_graph_config(is->graph, nullptr);
  if (ret < 0) {
    ffapi::avfilter_graph_free(&is->graph);
    return -1;
  }
  is->in_video_filter = src;
  is->out_video_filter = sink;
  is->graph_w = frame->width;
  is->graph_h = frame->height;
  is->graph_fmt = frame->format;
  is->out_w = ffapi::av_buffersink_get_w(sink);
  is->out_h = ffapi::av_buffersink_get_h(sink);
  return 0;
}

// A decoded picture: pick its time stamp and apply frame skipping.
int AcceptPicture(TVideoState* is, AVFrame* frame) {
  int reorder = is->Owner->decoder_reorder_pts;
  int64_t ts = reorder == -1 ? frame->best_effort_timestamp : reorder ? frame->pts : frame->pkt_dts;
  frame->pts = ts == AV_NOPTS_VALUE ? 0 : ts;
  is->skip_frames_index += 1;
  float skip = is->skip_frames;
  if (is->skip_frames_index >= skip) {
    is->skip_frames_index -= std::max(skip, 1.0f);
    return 1;
  }
  ffapi::av_frame_unref(frame);
  return 0;
}

// 1: a picture in frame, 0: none this time, -1: the queue was aborted.
int GetVideoFrame(TVideoState* is, AVFrame* frame, bool& drained) {
  AVCodecContext* dec = is->video_dec;
  int r = ffapi::avcodec_receive_frame(dec, frame);
  if (r == 0) return AcceptPicture(is, frame);
  if (r == AVERROR_EOF) {
    drained = true;
    // A stream of fewer than two pictures (a single frame, a cover picture)
    // ends before an open paused holds: it holds now.
    if (is->open_paused) {
      is->Owner->ReportOpenPause();
      is->open_paused = 0;
    }
  }
  TQueuedPacket p;
  if (PacketQueueGet(is->videoq, p, true) < 0) return -1;
  switch (p.kind) {
    case TPacketKind::Flush: {
      ffapi::avcodec_flush_buffers(dec);
      is->draining = false;
      drained = false;
      {
        std::unique_lock<std::mutex> l(is->pictq_mutex);
        for (auto& vp : is->pictq) vp.target_clock = 0;
        is->pictq_cond.wait(l, [is] { return is->pictq_size == 0 || is->videoq.abort_request; });
      }
      is->video_current_pos = -1;
      // A picture without a time of its own (or at 0) takes the clock: after
      // a seek the clock of the pictures before it is no longer theirs.
      is->video_clock = 0;
      is->frame_last_pts = double(AV_NOPTS_VALUE);
      is->frame_last_delay = 0;
      is->frame_timer = NowSeconds();
      is->skip_frames = 1;
      is->skip_frames_index = 0;
      is->video_serial = p.serial;
      return 0;
    }
    case TPacketKind::Empty:
      // The end of the file: the decoder gives out its delayed pictures first,
      // then the end may be reported.
      if (!is->draining) {
        ffapi::avcodec_send_packet(dec, nullptr);
        is->draining = true;
      } else if (drained && !is->EventEOF) {
        is->Owner->RefreshPlayPosition();
      }
      return 0;
    case TPacketKind::Data:
      if (!is->draining) ffapi::avcodec_send_packet(dec, p.pkt);
      FreeQueuedPacket(p);
      return 0;
  }
  return 0;
}

// 1: a filtered picture in out, -1: the end (queue aborted or graph failure).
int GetFilteredVideoFrame(TVideoState* is, AVFrame* dec_frame, AVFrame* out, bool& drained) {
  for (;;) {
    if (is->out_video_filter) {
      int r = ffapi::av_buffersink_get_frame_flags(is->out_video_filter, out, 0);
      if (r >= 0) return 1;
    }
    int got = GetVideoFrame(is, dec_frame, drained);
    if (got < 0) return -1;
    if (got == 0) continue;
    if (!is->graph || dec_frame->width != is->graph_w || dec_frame->height != is->graph_h ||
        dec_frame->format != is->graph_fmt) {
      if (ConfigureVideoFilters(is, dec_frame) < 0) {
        ffapi::av_frame_unref(dec_frame);
        return -1;
      }
    }
    if (ffapi::av_buffersrc_add_frame_flags(is->in_video_filter, dec_frame, 0) < 0) ffapi::av_frame_unref(dec_frame);
  }
}

}  // namespace

void VideoThread(TVideoState* is) {
  TCustomPlayer* player = is->Owner;
  AVFrame* dec_frame = ffapi::av_frame_alloc();
  AVFrame* frame = ffapi::av_frame_alloc();
  bool drained = false;
  while (dec_frame && frame) {
    while (is->paused && !is->videoq.abort_request && !SeekPictureDue(is) && !is->open_paused) SleepMs(10);
    if (GetFilteredVideoFrame(is, dec_frame, frame, drained) < 0) break;
    const int serial = is->video_serial;
    AVRational tb = ffapi::av_buffersink_get_time_base(is->out_video_filter);
    double pts = frame->pts == AV_NOPTS_VALUE ? 0 : frame->pts * av_q2d(tb);
    int ret = OutputPicture(is, frame, pts, frame->pkt_pos);
    ffapi::av_frame_unref(frame);
    if (ret < 0) break;
    is->pict_serial = serial;
    is->EventEOF = 0;
    // A picture decoded before the seek ended ends no wait for it.
    if (serial == is->seek_serial) {
      player->FPictEvent.Set();
      if (player->FSeeking && !is->seek_req) player->FSeeking = false;
    }
    if (is->open_paused) player->AdvanceOpenPause(is);
    // Only a running step pauses again: a seek while paused lets one picture
    // through too, and must not start the playback.
    if (player->FStep && !is->paused && player->FVideoState) StreamTogglePause(is);
  }
  ffapi::av_frame_free(&frame);
  ffapi::av_frame_free(&dec_frame);
}

// ---------------------------------------------------------------------------
// Audio

int AudioDecodeFrame(TVideoState* is, double* pts_ptr) {
  TCustomPlayer* player = is->Owner;
  AVCodecContext* dec = is->audio_dec;
  if (!dec || !is->audio_frame) return -1;
  for (;;) {
    AVFrame* f = is->audio_frame;
    int r = ffapi::avcodec_receive_frame(dec, f);
    if (r == 0) {
      if (f->format != is->audio_src_fmt || f->sample_rate != is->audio_src_rate ||
          ffapi::av_channel_layout_compare(&f->ch_layout, &is->audio_src_layout) != 0 || !is->swr_ctx) {
        if (is->swr_ctx) ffapi::swr_free(&is->swr_ctx);
        AVChannelLayout out_layout;
        ffapi::av_channel_layout_default(&out_layout, is->audio_tgt_channels);
        int e = ffapi::swr_alloc_set_opts2(&is->swr_ctx, &out_layout, AV_SAMPLE_FMT_S16, is->audio_tgt_freq,
                                           &f->ch_layout, AVSampleFormat(f->format), f->sample_rate, 0, nullptr);
        if (e < 0 || ffapi::swr_init(is->swr_ctx) < 0) {
          const char* name = ffapi::av_get_sample_fmt_name(AVSampleFormat(f->format));
          player->ReportError(FormatStr("Cannot convert %s sample format to %s sample format", name ? name : "none",
                                        ffapi::av_get_sample_fmt_name(AV_SAMPLE_FMT_S16)),
                              false);
          if (is->swr_ctx) ffapi::swr_free(&is->swr_ctx);
          ffapi::av_frame_unref(f);
          continue;
        }
        is->audio_src_fmt = f->format;
        is->audio_src_rate = f->sample_rate;
        if (is->audio_src_layout.nb_channels) ffapi::av_channel_layout_uninit(&is->audio_src_layout);
        ffapi::av_channel_layout_copy(&is->audio_src_layout, &f->ch_layout);
      }
      int out_count = int(ffapi::av_rescale_rnd(ffapi::swr_get_delay(is->swr_ctx, f->sample_rate) + f->nb_samples,
                                                is->audio_tgt_freq, f->sample_rate, AV_ROUND_UP)) +
                      256;
      size_t need = size_t(out_count) * is->audio_tgt_channels * 2;
      // Room for the largest stretch of the drift correction too.
      if (is->audio_buf2.size() < need + need / 8 + 64) is->audio_buf2.resize(need + need / 8 + 64);
      uint8_t* out = is->audio_buf2.data();
      int n = ffapi::swr_convert(is->swr_ctx, &out, out_count, const_cast<const uint8_t**>(f->extended_data),
                                 f->nb_samples);
      ffapi::av_frame_unref(f);
      if (n < 0) {
        player->ReportError("av_audio_convert() failed", false);
        continue;
      }
      int data_size = n * is->audio_tgt_channels * 2;
      if (data_size == 0) continue;
      *pts_ptr = is->audio_clock;
      is->audio_clock = is->audio_clock + double(data_size) / (2.0 * is->audio_tgt_channels * is->audio_tgt_freq);
      return data_size;
    }
    if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
      FFLoggerInstance().Log(player, TLogLevel::llInfo, "avcodec_decode_audio2() failed");
    if (is->paused || is->audioq.abort_request) return -1;
    TQueuedPacket p;
    if (PacketQueueGet(is->audioq, p, false) <= 0) return -1;
    if (p.kind == TPacketKind::Flush) {
      ffapi::avcodec_flush_buffers(dec);
      continue;
    }
    if (p.kind != TPacketKind::Data) continue;
    if (p.pkt->pts != AV_NOPTS_VALUE) is->audio_clock = av_q2d(is->audio_st->time_base) * p.pkt->pts;
    int s = ffapi::avcodec_send_packet(dec, p.pkt);
    if (s < 0 && s != AVERROR(EAGAIN))
      FFLoggerInstance().Log(player, TLogLevel::llInfo, "avcodec_decode_audio2() failed");
    FreeQueuedPacket(p);
  }
}

void AudioCallback(TVideoState* is, uint8_t* stream, int len) {
  TCustomPlayer* player = is->Owner;
  is->audio_callback_time = EngineNow();
  std::memset(stream, 0, size_t(len));  // the device buffer is not always silenced for us
  while (len > 0) {
    if (is->audio_buf_index >= int(is->audio_buf_size)) {
      double pts = 0;
      int audio_size = AudioDecodeFrame(is, &pts);
      if (is->audioq.abort_request) return;
      if (audio_size < 0) {
        if (is->audio_buf1.size() < SILENCE_SIZE) is->audio_buf1.resize(SILENCE_SIZE);
        std::memset(is->audio_buf1.data(), 0, SILENCE_SIZE);
        is->audio_buf = is->audio_buf1.data();
        is->audio_buf_size = SILENCE_SIZE;
        is->audio_buf_silence = true;
      } else {
        if (is->show_audio) UpdateSampleDisplay(is, reinterpret_cast<int16_t*>(is->audio_buf2.data()), audio_size);
        audio_size = SynchronizeAudio(is, is->audio_buf2, audio_size, pts);
        is->audio_buf = is->audio_buf2.data();
        is->audio_buf_size = unsigned(audio_size);
        is->audio_buf_silence = false;
      }
      is->audio_buf_index = 0;
    }
    int len1 = std::min(int(is->audio_buf_size) - is->audio_buf_index, len);
    if (!player->Mute) MixAudioS16(stream, is->audio_buf + is->audio_buf_index, len1, player->AudioVolume);
    len -= len1;
    stream += len1;
    is->audio_buf_index += len1;
  }
}

// ---------------------------------------------------------------------------
// Subtitles

void SubtitleThread(TVideoState* is) {
  for (;;) {
    while (is->paused && !is->subtitleq.abort_request && !SeekPictureDue(is)) SleepMs(10);
    TQueuedPacket p;
    if (PacketQueueGet(is->subtitleq, p, true) < 0) break;
    if (p.kind == TPacketKind::Flush) {
      ffapi::avcodec_flush_buffers(is->subtitle_dec);
      continue;
    }
    if (p.kind != TPacketKind::Data) continue;
    {
      std::unique_lock<std::mutex> l(is->subpq_mutex);
      is->subpq_cond.wait(l, [is] { return is->subpq_size < SUBPICTURE_QUEUE_SIZE || is->subtitleq.abort_request; });
    }
    if (is->subtitleq.abort_request) {
      FreeQueuedPacket(p);
      break;
    }
    TSubPicture* sp = &is->subpq[is->subpq_windex];
    double pts = p.pkt->pts != AV_NOPTS_VALUE ? av_q2d(is->subtitle_st->time_base) * p.pkt->pts : 0;
    int got = 0;
    std::memset(&sp->sub, 0, sizeof sp->sub);
    ffapi::avcodec_decode_subtitle2(is->subtitle_dec, &sp->sub, &got, p.pkt);
    if (got && sp->sub.format == 0) {
      sp->pts = pts;
      for (unsigned i = 0; i < sp->sub.num_rects; i++) {
        AVSubtitleRect* rect = sp->sub.rects[i];
        if (!rect->data[1]) continue;
        uint32_t* pal = reinterpret_cast<uint32_t*>(rect->data[1]);
        for (int j = 0; j < rect->nb_colors; j++) pal[j] = RGBAToYUVA(pal[j]);
      }
      is->subpq_windex = (is->subpq_windex + 1) % SUBPICTURE_QUEUE_SIZE;
      std::lock_guard<std::mutex> l(is->subpq_mutex);
      is->subpq_size++;
    } else if (got) {
      FreeSubPicture(sp);  // text subtitles are decoded and dropped
    }
    FreeQueuedPacket(p);
  }
}

}  // namespace zurora
}  // namespace media
