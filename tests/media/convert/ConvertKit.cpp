#include "tests/media/convert/ConvertKit.h"

#include <chrono>
#include <filesystem>
#include <fstream>

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
      if (r.streams[i].type == AVMEDIA_TYPE_VIDEO)
        ++r.streams[i].frames;
      else
        r.streams[i].samples += f->nb_samples;
      ffapi::av_frame_unref(f);
    }
  };
  while (ffapi::av_read_frame(ic, pkt) >= 0) {
    unsigned i = pkt->stream_index;
    if (i < dec.size() && dec[i]) {
      if (ffapi::avcodec_send_packet(dec[i], pkt) < 0) ++r.streams[i].decode_errors;
      drain(i);
    }
    ffapi::av_packet_unref(pkt);
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
