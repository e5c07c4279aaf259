#include "tests/media/probe/PlaybackFixtures.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "media/MyUtils.h"
#include "tests/media/common/MediaFixtures.h"

namespace mediatest {

std::string PlaybackFixture(const std::string& name) {
  static std::mutex lock;
  static std::map<std::string, std::string> made;
  std::lock_guard<std::mutex> g(lock);
  auto it = made.find(name);
  if (it != made.end()) return it->second;
  std::string dir = TempDir() + "/", path = dir + name;
  bool ok = true;
  if (name == "clip.avi")
    ok = RunFfmpeg("-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=f=1000:r=44100 -t 2 "
                   "-c:v mpeg4 -g 12 -bf 0 -c:a mp2 -metadata title=Clip '" + path + "'");
  else if (name == "red.mkv")
    ok = RunFfmpeg("-f lavfi -i color=c=red:size=64x48:rate=25 -t 1 -pix_fmt yuv420p -c:v ffv1 '" + path + "'");
  else if (name == "tone.mp3")
    ok = RunFfmpeg("-f lavfi -i sine=f=440:d=1 -c:a libmp3lame -id3v2_version 3 -metadata title=T '" + path + "'");
  else if (name == "two_audio.mkv")
    ok = RunFfmpeg("-f lavfi -i testsrc2=size=160x120:rate=25 -f lavfi -i sine=f=300:d=2 -f lavfi -i sine=f=900:d=1 "
                   "-map 0:v -map 1:a -map 2:a -t 2 -c:v mpeg4 -c:a mp2 '" + path + "'");
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
  else if (name == "subs.srt")
    std::ofstream(path) << "1\n00:00:00,000 --> 00:00:01,000\nA\n\n2\n00:00:01,000 --> 00:00:02,000\nB\n";
  else if (name == "broken.avi")
    std::ofstream(path) << "this is not a media file\n";
  else
    ok = false;
  path = ok ? path : "";
  made[name] = path;
  return path;
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
