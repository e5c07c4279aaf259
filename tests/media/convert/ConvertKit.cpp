#include "tests/media/convert/ConvertKit.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "media/FFUtils.h"
#include "platform/rtl/dispatcher.h"

namespace convkit {

bool LoadLibs() { return mediatest::LoadEngineLibraries(); }

std::string Out(const std::string& name) {
  std::string dir = mediatest::TempDir() + "/out";
  std::filesystem::create_directories(dir);
  return dir + "/" + name;
}

std::string Clip(const std::string& name) {
  return mediatest::MadeOnce("clips", name, [&name](const std::string& out) {
    auto src = [](int secs) {
      return "-f lavfi -i testsrc=size=160x120:rate=25:duration=" + std::to_string(secs) +
             " -f lavfi -i sine=frequency=440:sample_rate=44100:duration=" + std::to_string(secs) + " ";
    };
    bool ok = false;
    if (name == "clip.avi")
      ok = mediatest::RunFfmpeg(src(1) + "-c:v mpeg4 -c:a libmp3lame -ac 2 '" + out + "'");
    else if (name == "clip2.avi")
      ok = mediatest::RunFfmpeg(src(2) + "-c:v mpeg4 -c:a libmp3lame -ac 2 '" + out + "'");
    else if (name == "long.avi")
      ok = mediatest::RunFfmpeg("-f lavfi -i testsrc=size=320x240:rate=25:duration=40 -c:v mpeg4 -q:v 5 '" + out + "'");
    else if (name == "clip.mp4")
      ok =
          mediatest::RunFfmpeg(src(1) + "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -ac 2 '" + out + "'");
    else if (name == "clip2.mkv")
      ok = mediatest::RunFfmpeg(src(2) + "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a libvorbis -ac 2 '" +
                                out + "'");
    else if (name == "clip.wav")
      ok = mediatest::RunFfmpeg("-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1 -c:a pcm_s16le -ac 2 '" +
                                out + "'");
    else if (name == "broken.avi") {
      std::string good = Clip("clip.avi");
      std::ifstream in(good, std::ios::binary);
      std::string head(3000, '\0');
      in.read(head.data(), head.size());
      std::ofstream o(out, std::ios::binary);
      o.write(head.data(), in.gcount());
      for (int i = 0; i < 20000; ++i) o.put(static_cast<char>((i * 7919) & 0xff));
      ok = true;
    }
    return ok;
  });
}

namespace {
// The picture in 8-bit grey, then the mean of each quarter.
void QuarterLuma(const AVFrame* f, int out[4]) {
  const int w = f->width, h = f->height;
  if (w < 2 || h < 2) return;
  SwsContext* s = ffapi::sws_getContext(w, h, static_cast<AVPixelFormat>(f->format), w, h, AV_PIX_FMT_GRAY8, SWS_POINT,
                                        nullptr, nullptr, nullptr);
  if (!s) return;
  std::vector<uint8_t> grey(static_cast<size_t>(w) * h);
  uint8_t* dst[4] = {grey.data(), nullptr, nullptr, nullptr};
  int stride[4] = {w, 0, 0, 0};
  ffapi::sws_scale(s, f->data, f->linesize, 0, h, dst, stride);
  ffapi::sws_freeContext(s);
  int64_t sum[4] = {};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) sum[(y >= h / 2) * 2 + (x >= w / 2)] += grey[static_cast<size_t>(y) * w + x];
  const int64_t quarter = static_cast<int64_t>(w / 2) * (h / 2);
  for (int q = 0; q < 4; ++q) out[q] = static_cast<int>(sum[q] / std::max<int64_t>(1, quarter));
}
}  // namespace

DecodeResult DecodeAll(const std::string& path) {
  DecodeResult r;
  AVFormatContext* ic = nullptr;
  if (ffapi::avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return r;
  if (ffapi::avformat_find_stream_info(ic, nullptr) < 0) {
    ffapi::avformat_close_input(&ic);
    return r;
  }
  r.opened = true;
  r.format = ic->iformat->name;
  r.duration = ic->duration > 0 ? ic->duration / 1e6 : 0;
  std::vector<AVCodecContext*> dec(ic->nb_streams, nullptr);
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    const AVCodecParameters* p = ic->streams[i]->codecpar;
    StreamResult s;
    s.type = p->codec_type;
    s.codec = ffapi::avcodec_get_name(p->codec_id);
    s.width = p->width;
    s.height = p->height;
    s.sample_rate = p->sample_rate;
    s.channels = p->ch_layout.nb_channels;
    s.rotation = media::StreamRotation(ic->streams[i]);
    r.streams.push_back(s);
    const AVCodec* c = ffapi::avcodec_find_decoder(p->codec_id);
    if (c && (p->codec_type == AVMEDIA_TYPE_VIDEO || p->codec_type == AVMEDIA_TYPE_AUDIO)) {
      dec[i] = ffapi::avcodec_alloc_context3(c);
      ffapi::avcodec_parameters_to_context(dec[i], p);
      if (ffapi::avcodec_open2(dec[i], c, nullptr) < 0) ffapi::avcodec_free_context(&dec[i]);
    }
  }
  AVPacket* pkt = ffapi::av_packet_alloc();
  AVFrame* f = ffapi::av_frame_alloc();
  auto drain = [&](unsigned i) {
    while (ffapi::avcodec_receive_frame(dec[i], f) >= 0) {
      if (r.streams[i].type == AVMEDIA_TYPE_VIDEO) {
        if (++r.streams[i].frames == 1) QuarterLuma(f, r.streams[i].quarter_luma);
      } else {
        r.streams[i].samples += f->nb_samples;
      }
      ffapi::av_frame_unref(f);
    }
  };
  std::vector<int64_t> last_dts(ic->nb_streams, AV_NOPTS_VALUE);
  std::vector<std::vector<int64_t>> pts(ic->nb_streams);
  while (ffapi::av_read_frame(ic, pkt) >= 0) {
    unsigned i = pkt->stream_index;
    if (i < last_dts.size() && pkt->dts != AV_NOPTS_VALUE) {
      if (last_dts[i] != AV_NOPTS_VALUE && pkt->dts <= last_dts[i]) ++r.streams[i].dts_not_increasing;
      last_dts[i] = pkt->dts;
    }
    if (i < pts.size() && pkt->pts != AV_NOPTS_VALUE) pts[i].push_back(pkt->pts);
    if (i < dec.size() && dec[i]) {
      if (ffapi::avcodec_send_packet(dec[i], pkt) < 0) ++r.streams[i].decode_errors;
      drain(i);
    }
    ffapi::av_packet_unref(pkt);
  }
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    const AVRational rate = ic->streams[i]->r_frame_rate, tb = ic->streams[i]->time_base;
    if (r.streams[i].type != AVMEDIA_TYPE_VIDEO || !rate.num || !rate.den) continue;
    std::sort(pts[i].begin(), pts[i].end());
    // Times count from the file's start, as readers take them.
    const double start = ic->start_time != AV_NOPTS_VALUE ? ic->start_time / 1e6 : 0;
    int64_t last = INT64_MIN;
    for (int64_t p : pts[i]) {
      const double t = static_cast<double>(p) * tb.num / tb.den - start;
      const int64_t slot = std::llround(t * rate.num / rate.den);
      if (slot <= last) ++r.streams[i].frame_slot_collisions;
      last = slot;
    }
  }
  for (unsigned i = 0; i < dec.size(); ++i)
    if (dec[i]) {
      ffapi::avcodec_send_packet(dec[i], nullptr);
      drain(i);
      ffapi::avcodec_free_context(&dec[i]);
    }
  ffapi::av_frame_free(&f);
  ffapi::av_packet_free(&pkt);
  ffapi::avformat_close_input(&ic);
  return r;
}

void EventLog::Bind(media::TCustomFFConverter& c, bool withProgress) {
  c.OnTerminate = [this](void*, const media::TTerminateInfo& info) {
    std::lock_guard<std::mutex> lk(lock);
    terms.push_back(info);
    if (info.TaskIndex == -1) final_seen = true;
    rtl::Wake();
  };
  if (withProgress)
    c.OnProgress = [this](void*, media::TProgressInfo* p) {
      std::lock_guard<std::mutex> lk(lock);
      progress.push_back(*p);
      progress_at.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
    };
}

bool EventLog::WaitFinal(int timeoutMs, size_t events) {
  return rtl::WaitWhilePumping(
      [this, events] {
        std::lock_guard<std::mutex> lk(lock);
        return final_seen && terms.size() >= events;
      },
      timeoutMs);
}

std::vector<int> EventLog::TermIndexes() {
  std::lock_guard<std::mutex> lk(lock);
  std::vector<int> v;
  for (auto& t : terms) v.push_back(t.TaskIndex);
  return v;
}

std::map<int, media::TTerminateInfo> EventLog::TermsByTask() {
  std::lock_guard<std::mutex> lk(lock);
  std::map<int, media::TTerminateInfo> m;
  for (auto& t : terms) m[t.TaskIndex] = t;
  return m;
}

}  // namespace convkit
