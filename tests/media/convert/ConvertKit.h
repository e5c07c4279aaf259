// Shared pieces of the conversion tests: small clips, a full decode of an
// output, and a recorder of the task component's events.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "media/FFConverter.h"
#include "media/FFmpeg.h"
#include "tests/media/common/MediaFixtures.h"

namespace convkit {

// Clips made once per process: 160x120, 25 fps, with a 44.1 kHz sine.
//   "clip.avi" mpeg4 + mp3, 1 s      "clip.mp4" h264 + aac, 1 s
//   "clip2.mkv" h264 + vorbis, 2 s    "clip2.avi" mpeg4 + mp3, 2 s
//   "clip.wav" pcm, 1 s               "long.avi" 320x240 mpeg4, 40 s, no audio
//   "broken.avi" the first 3000 bytes of clip.avi followed by noise
std::string Clip(const std::string& name);
std::string Out(const std::string& name);

struct StreamResult {
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  std::string codec;
  int width = 0, height = 0;
  int frames = 0;       // decoded pictures
  int64_t samples = 0;  // decoded samples per channel
  int sample_rate = 0, channels = 0;
  int decode_errors = 0;
  int dts_not_increasing = 0;  // packets whose time stamp does not follow the last one's
  // Pictures that fall into the frame slot of another when their times are
  // read at the stream's frame rate, as a player or a converter reads them.
  int frame_slot_collisions = 0;
  int rotation = 0;  // of the display matrix, degrees clockwise
  // Mean luma of the first picture's quarters: top left, top right, bottom
  // left, bottom right.
  int quarter_luma[4] = {-1, -1, -1, -1};
};

struct DecodeResult {
  bool opened = false;
  std::string format;
  double duration = 0;  // seconds, from the container
  std::vector<StreamResult> streams;
  const StreamResult* First(AVMediaType t) const {
    for (auto& s : streams)
      if (s.type == t) return &s;
    return nullptr;
  }
};

// Opens the file and decodes every packet to the end.
DecodeResult DecodeAll(const std::string& path);

struct EventLog {
  std::mutex lock;
  std::vector<media::TTerminateInfo> terms;
  std::vector<media::TProgressInfo> progress;
  std::vector<double> progress_at;  // seconds, steady clock
  bool final_seen = false;
  void Bind(media::TCustomFFConverter& c, bool withProgress = true);
  // Until the final event and at least `events` events in all arrived (the
  // task events of thread mode run on threads of their own).
  bool WaitFinal(int timeoutMs = 60000, size_t events = 0);
  std::vector<int> TermIndexes();
  // The termination events by task index (the final one under -1).
  std::map<int, media::TTerminateInfo> TermsByTask();
};

bool LoadLibs();

}  // namespace convkit
