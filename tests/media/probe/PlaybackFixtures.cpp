#include "tests/media/probe/PlaybackFixtures.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "media/FFmpegLoader.h"
#include "media/EngineUtils.h"
#include "tests/media/common/MediaFixtures.h"

namespace mediatest {

namespace {

// The ffmpeg tool cannot turn text into bitmap subtitles, so the DVD
// subtitles are encoded here: five blue 16x8 boxes at (8, 8), one every
// 200 ms, each shown for 150 ms, muxed beside the video of red.mkv.
bool MakeBitmapSubtitles(const std::string& videoPath, const std::string& out) {
  AVFormatContext* in = nullptr;
  if (ffapi::avformat_open_input(&in, videoPath.c_str(), nullptr, nullptr) < 0) return false;
  ffapi::avformat_find_stream_info(in, nullptr);
  AVFormatContext* oc = nullptr;
  AVCodecContext* enc = nullptr;
  AVPacket* pkt = ffapi::av_packet_alloc();
  bool ok = ffapi::avformat_alloc_output_context2(&oc, nullptr, "matroska", out.c_str()) >= 0;
  AVStream *vs = nullptr, *ss = nullptr;
  if (ok) {
    vs = ffapi::avformat_new_stream(oc, nullptr);
    ffapi::avcodec_parameters_copy(vs->codecpar, in->streams[0]->codecpar);
    vs->codecpar->codec_tag = 0;
    vs->time_base = in->streams[0]->time_base;
    const AVCodec* codec = ffapi::avcodec_find_encoder(AV_CODEC_ID_DVD_SUBTITLE);
    enc = codec ? ffapi::avcodec_alloc_context3(codec) : nullptr;
    ok = enc != nullptr;
    if (ok) {
      enc->width = in->streams[0]->codecpar->width;
      enc->height = in->streams[0]->codecpar->height;
      enc->time_base = AVRational{1, 1000};
      ok = ffapi::avcodec_open2(enc, codec, nullptr) >= 0;
    }
    if (ok) {
      ss = ffapi::avformat_new_stream(oc, nullptr);
      ffapi::avcodec_parameters_from_context(ss->codecpar, enc);
      ss->time_base = AVRational{1, 1000};
      ok = ffapi::avio_open(&oc->pb, out.c_str(), AVIO_FLAG_WRITE) >= 0 &&
           ffapi::avformat_write_header(oc, nullptr) >= 0;
    }
  }
  for (int k = 0; ok && k < 5; k++) {
    AVSubtitle sub{};
    sub.format = 0;
    sub.start_display_time = 0;
    sub.end_display_time = 150;
    sub.pts = int64_t(k) * 200000;
    sub.num_rects = 1;
    sub.rects = static_cast<AVSubtitleRect**>(ffapi::av_mallocz(sizeof(AVSubtitleRect*)));
    AVSubtitleRect* r = sub.rects[0] = static_cast<AVSubtitleRect*>(ffapi::av_mallocz(sizeof(AVSubtitleRect)));
    r->type = SUBTITLE_BITMAP;
    r->x = 8;
    r->y = 8;
    r->w = 16;
    r->h = 8;
    r->nb_colors = 4;
    r->linesize[0] = 16;
    r->data[0] = static_cast<uint8_t*>(ffapi::av_mallocz(16 * 8));
    std::memset(r->data[0], 1, 16 * 8);
    r->data[1] = static_cast<uint8_t*>(ffapi::av_mallocz(4 * 4));
    uint32_t pal[4] = {0x00000000, 0xFF0000FF, 0xFF000000, 0xFFFFFFFF};
    std::memcpy(r->data[1], pal, sizeof pal);
    uint8_t buf[65536];
    int n = ffapi::avcodec_encode_subtitle(enc, buf, sizeof buf, &sub);
    ffapi::avsubtitle_free(&sub);
    ok = n > 0 && ffapi::av_new_packet(pkt, n) >= 0;
    if (!ok) break;
    std::memcpy(pkt->data, buf, n);
    pkt->stream_index = ss->index;
    pkt->pts = pkt->dts = ffapi::av_rescale_q(int64_t(k) * 200, AVRational{1, 1000}, ss->time_base);
    pkt->duration = ffapi::av_rescale_q(150, AVRational{1, 1000}, ss->time_base);
    ok = ffapi::av_interleaved_write_frame(oc, pkt) >= 0;
  }
  while (ok && ffapi::av_read_frame(in, pkt) >= 0) {
    if (pkt->stream_index != 0) {
      ffapi::av_packet_unref(pkt);
      continue;
    }
    ffapi::av_packet_rescale_ts(pkt, in->streams[0]->time_base, vs->time_base);
    pkt->stream_index = vs->index;
    ok = ffapi::av_interleaved_write_frame(oc, pkt) >= 0;
  }
  if (ok) ok = ffapi::av_write_trailer(oc) >= 0;
  if (oc && oc->pb) ffapi::avio_closep(&oc->pb);
  if (oc) ffapi::avformat_free_context(oc);
  if (enc) ffapi::avcodec_free_context(&enc);
  ffapi::av_packet_free(&pkt);
  ffapi::avformat_close_input(&in);
  return ok;
}

}  // namespace

std::string PlaybackFixture(const std::string& name) {
  return MadeOnce("playback", name, [&name](const std::string& path) {
    bool ok = true;
    if (name == "clip.avi")
      ok = RunFfmpeg(
          "-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=f=1000:r=44100 -t 2 "
          "-c:v mpeg4 -g 12 -bf 0 -c:a mp2 -metadata title=Clip '" +
          path + "'");
    else if (name == "red.mkv")
      ok = RunFfmpeg("-f lavfi -i color=c=red:size=64x48:rate=25 -t 1 -pix_fmt yuv420p -c:v ffv1 '" + path + "'");
    else if (name == "tone.mp3")
      ok = RunFfmpeg("-f lavfi -i sine=f=440:d=1 -c:a libmp3lame -id3v2_version 3 -metadata title=T '" + path + "'");
    else if (name == "two_audio.mkv")
      ok = RunFfmpeg(
          "-f lavfi -i testsrc2=size=160x120:rate=25 -f lavfi -i sine=f=300:d=2 -f lavfi -i sine=f=900:d=1 "
          "-map 0:v -map 1:a -map 2:a -t 2 -c:v mpeg4 -c:a mp2 '" +
          path + "'");
    else if (name == "offset.ts")
      ok = RunFfmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -t 1 -c:v mpeg2video -f mpegts '" + path + "'");
    else if (name == "sar.mkv")
      ok = RunFfmpeg("-f lavfi -i testsrc2=size=320x240:rate=25 -t 1 -vf setsar=4/3 -c:v mpeg4 '" + path + "'");
    else if (name == "img%03d.png")
      ok = RunFfmpeg("-f lavfi -i testsrc2=size=64x48 -frames:v 3 '" + path + "'");
    else if (name == "u8.wav")
      ok = RunFfmpeg("-f lavfi -i sine=f=440:d=1 -c:a pcm_u8 '" + path + "'");
    else if (name == "flt.wav")
      ok = RunFfmpeg("-f lavfi -i sine=f=440:d=1 -c:a pcm_f32le '" + path + "'");
    else if (name == "six.ac3")
      ok = RunFfmpeg("-f lavfi -i sine=f=440:d=1,aformat=channel_layouts=5.1 -c:a ac3 '" + path + "'");
    else if (name == "dvdsub.mkv") {
      std::string video = PlaybackFixture("red.mkv");
      ok = !video.empty() && MakeBitmapSubtitles(video, path);
    } else if (name == "subs.srt")
      std::ofstream(path) << "1\n00:00:00,000 --> 00:00:01,000\nA\n\n2\n00:00:01,000 --> 00:00:02,000\nB\n";
    else if (name == "broken.avi")
      std::ofstream(path) << "this is not a media file\n";
    else
      ok = false;
    return ok;
  });
}

bool LoadPlayerLibraries() {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  static bool ok = LoadEngineLibraries(true);
  return ok;
}

bool WaitPumping(const std::function<bool()>& pred, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    media::PumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace mediatest
