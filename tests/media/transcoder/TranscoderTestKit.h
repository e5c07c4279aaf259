// Shared pieces of the transcoder tests: a loaded engine, a fresh task
// transcoder, a log capture and a reader for the streams of an output file.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/FFConverter.h"
#include "media/FFmpeg.h"
#include "media/UnicodeProtocol.h"
#include "tests/media/common/MediaFixtures.h"

namespace ttk {

struct LogCapture {
  std::mutex lock;
  std::vector<std::pair<media::TLogLevel, std::string>> lines;
  LogCapture() {
    media::TFFLogger& l = media::FFLoggerInstance();
    l.SetTriggerEventInMainThread(false);
    l.SetLogLevel(media::TLogLevel::llVerbose);
    l.SetOnLog([this](void*, uint32_t, media::TLogLevel lv, const std::string& m) {
      std::lock_guard<std::mutex> lk(lock);
      lines.emplace_back(lv, m);
    });
  }
  ~LogCapture() { media::FFLoggerInstance().SetOnLog(nullptr); }
  bool Has(const std::string& text) {
    std::lock_guard<std::mutex> lk(lock);
    for (auto& l : lines)
      if (l.second.find(text) != std::string::npos) return true;
    return false;
  }
};

// A task transcoder ready for options (libraries loaded, state reset).
inline std::unique_ptr<media::TFFmpeg> NewTask(int maxFiles = 20) {
  EXPECT_TRUE(mediatest::LoadEngineLibraries());
  auto f = std::make_unique<media::TFFmpeg>(maxFiles);
  f->ResetState();
  return f;
}

struct StreamDesc {
  AVMediaType type;
  std::string codec;
  int width = 0, height = 0, sample_rate = 0, channels = 0;
};

inline std::vector<StreamDesc> StreamsOf(AVFormatContext* ic) {
  std::vector<StreamDesc> out;
  for (unsigned i = 0; i < ic->nb_streams; ++i) {
    const AVCodecParameters* p = ic->streams[i]->codecpar;
    out.push_back({p->codec_type, ffapi::avcodec_get_name(p->codec_id), p->width, p->height, p->sample_rate,
                   p->ch_layout.nb_channels});
  }
  return out;
}

// The streams an output file declares, read from its header.
inline std::vector<StreamDesc> ReadStreams(const std::string& path, std::string* format = nullptr) {
  std::vector<StreamDesc> out;
  AVFormatContext* ic = nullptr;
  if (ffapi::avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return out;
  if (format) *format = ic->iformat->name;
  out = StreamsOf(ic);
  ffapi::avformat_close_input(&ic);
  return out;
}

inline std::string OutPath(const std::string& name) { return mediatest::TempDir() + "/" + name; }

}  // namespace ttk
