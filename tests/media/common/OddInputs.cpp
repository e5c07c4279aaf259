#include "tests/media/common/OddInputs.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/media/common/MediaFixtures.h"

namespace mediatest {

namespace {
const std::string kVideo2s = "-f lavfi -i testsrc=size=320x240:rate=25:duration=2 ";
const std::string kH264 = "-c:v libx264 -preset ultrafast -pix_fmt yuv420p ";
// Copies an MP4 file, writing into its video track header the display matrix
// that turns the pictures a quarter clockwise (what a phone records); the
// ffmpeg tool of this system writes no rotation of its own.
bool CopyTurnedClockwise(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::vector<char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto be32 = [&d](size_t at) {
    return (uint32_t(uint8_t(d[at])) << 24) | (uint32_t(uint8_t(d[at + 1])) << 16) |
           (uint32_t(uint8_t(d[at + 2])) << 8) | uint8_t(d[at + 3]);
  };
  const uint32_t turned[9] = {0, 0x10000, 0, 0xFFFF0000u, 0, 0, 0, 0, 0x40000000};
  bool patched = false;
  const std::string tag = "tkhd";
  for (auto it = std::search(d.begin(), d.end(), tag.begin(), tag.end()); it != d.end();
       it = std::search(it + 1, d.end(), tag.begin(), tag.end())) {
    const size_t box = static_cast<size_t>(it - d.begin()) - 4;
    // Version 0 header: the matrix at 48, width at 84 (0 for sound tracks).
    if (box + 92 > d.size() || d[box + 8] != 0 || be32(box + 84) == 0) continue;
    for (int i = 0; i < 9; ++i)
      for (int b = 0; b < 4; ++b) d[box + 48 + 4 * i + b] = static_cast<char>(turned[i] >> (24 - 8 * b));
    patched = true;
  }
  std::ofstream out(to, std::ios::binary);
  out.write(d.data(), static_cast<std::streamsize>(d.size()));
  return patched && out.good();
}

}  // namespace

std::string OddInput(const std::string& name) {
  return MadeOnce("odd", name, [&name](const std::string& out) {
    const std::string dir = TempDir();
    auto pan = [](const char* layout, int n) {
      std::string s = std::string("-af \"pan=") + layout;
      for (int c = 0; c < n; ++c) s += "|c" + std::to_string(c) + "=c0";
      return s + "\" ";
    };
    std::string args;
    if (name == "odd.avi") {
      args =
          "-f lavfi -i testsrc=size=641x353:rate=25:duration=2 -f lavfi -i sine=r=44100:d=2 -c:v mpeg4 -c:a "
          "libmp3lame ";
    } else if (name == "tiny.avi") {
      args =
          "-f lavfi -i testsrc=size=2x2:rate=25:duration=2 -f lavfi -i sine=r=44100:d=2 -c:v rawvideo -pix_fmt yuv420p "
          "-c:a pcm_s16le ";
    } else if (name == "anamorphic.mp4") {
      args = "-f lavfi -i testsrc=size=720x576:rate=25:duration=2 -f lavfi -i sine=r=48000:d=2 -vf setsar=64/45 " +
             kH264 + "-c:a aac ";
    } else if (name == "vfr.mkv") {
      // Half rate for the first 2 s, full rate for the last second.
      args = kVideo2s + "-f lavfi -i sine=r=44100:d=3 -vf \"setpts='if(lt(N,25),N*2,N+25)/(25*TB)'\" -fps_mode vfr " +
             kH264 + "-c:a libvorbis ";
    } else if (name == "surround51.mkv") {
      args = kVideo2s + "-f lavfi -i sine=r=48000:d=2 " + pan("5.1", 6) + kH264 + "-c:a ac3 ";
    } else if (name == "surround71.mkv") {
      args = kVideo2s + "-f lavfi -i sine=r=48000:d=2 " + pan("7.1", 8) + "-c:v mpeg4 -c:a pcm_f32le ";
    } else if (name == "mono8k.avi") {
      args = kVideo2s + "-f lavfi -i sine=r=8000:d=2 -c:v mpeg4 -c:a pcm_s16le -ac 1 ";
    } else if (name == "cover.mp3") {
      const std::string png = dir + "/cover.png";
      if (!RunFfmpeg("-f lavfi -i testsrc=size=300x300 -frames:v 1 '" + png + "'")) return false;
      args = "-f lavfi -i sine=r=44100:d=2 -i '" + png +
             "' -map 0:a -map 1:v -c:a libmp3lame -c:v copy -disposition:v attached_pic -id3v2_version 3 ";
    } else if (name == "cover.m4a") {
      const std::string png = dir + "/cover_m4a.png";
      if (!RunFfmpeg("-f lavfi -i testsrc=size=300x300 -frames:v 1 '" + png + "'")) return false;
      args = "-f lavfi -i sine=r=44100:d=3 -i '" + png +
             "' -map 0:a -map 1:v -c:a aac -c:v copy -disposition:v attached_pic ";
    } else if (name == "silent.mp4") {
      args = kVideo2s + kH264;
    } else if (name == "sound.wav") {
      args = "-f lavfi -i sine=r=44100:d=2 -ac 2 ";
    } else if (name == "oneframe.avi") {
      args = "-f lavfi -i testsrc=size=320x240:rate=25 -frames:v 1 -c:v mpeg4 ";
    } else if (name == "oneframe.mp4") {
      // Coded with B-frames allowed: the decoder holds the picture until its end.
      args = "-f lavfi -i testsrc=size=320x240:rate=25 -frames:v 1 -c:v libx264 -pix_fmt yuv420p ";
    } else if (name == "lateaudio.mp4") {
      args = "-f lavfi -i testsrc=size=320x240:rate=25:duration=4 -itsoffset 2 -f lavfi -i sine=r=44100:d=2 " + kH264 +
             "-c:a aac ";
    } else if (name == "interlaced.mpg") {
      args =
          "-f lavfi -i testsrc=size=720x576:rate=50:duration=2 -f lavfi -i sine=r=48000:d=2 "
          "-vf tinterlace=interleave_top,fieldorder=tff -c:v mpeg2video -flags +ildct+ilme -c:a mp2 -f dvd ";
    } else if (name == "switch.ts") {
      // A recording that changes its picture size and its audio layout and
      // rate half-way, with continuous time stamps.
      const std::string a = dir + "/switch_a.ts", b = dir + "/switch_b.ts", list = dir + "/switch.txt";
      if (!RunFfmpeg("-f lavfi -i testsrc=size=320x240:rate=25:duration=1 -f lavfi -i sine=r=48000:d=1 "
                     "-c:v mpeg2video -c:a ac3 -ac 2 -f mpegts '" +
                     a + "'") ||
          !RunFfmpeg("-f lavfi -i testsrc=size=640x480:rate=25:duration=1 -f lavfi -i sine=r=44100:d=1 " +
                     pan("5.1", 6) + "-c:v mpeg2video -c:a ac3 -f mpegts '" + b + "'"))
        return false;
      if (FILE* f = std::fopen(list.c_str(), "w")) {
        std::fprintf(f, "file '%s'\nfile '%s'\n", a.c_str(), b.c_str());
        std::fclose(f);
      }
      args = "-f concat -safe 0 -i '" + list + "' -c copy -f mpegts ";
    } else if (name == "emptyaudio.mkv") {
      // The audio track is declared but holds no packet.
      args = kVideo2s + "-f lavfi -i anullsrc=r=44100:cl=stereo -map 0:v -map 1:a " + kH264 +
             "-c:a aac -af atrim=0:0 -t 2 ";
    } else if (name == "deep422.mkv") {
      args = kVideo2s + "-f lavfi -i sine=r=48000:d=2 -c:v libx264 -preset ultrafast -pix_fmt yuv422p10le -c:a aac ";
    } else if (name == "rotated.mp4") {
      // Stored turned a quarter to the left; the display matrix turns it back.
      const std::string plain = dir + "/rotated_plain.mp4";
      return RunFfmpeg(
                 "-f lavfi -i color=c=black:s=640x360:r=25:d=2 -f lavfi -i sine=r=44100:d=2 "
                 "-vf drawbox=x=0:y=0:w=320:h=180:color=white:t=fill,transpose=cclock " +
                 kH264 + "-c:a aac '" + plain + "'") &&
             CopyTurnedClockwise(plain, out);
    } else if (name == "vp9opus.webm") {
      args = kVideo2s + "-f lavfi -i sine=r=48000:d=2 -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus ";
    }
    return !args.empty() && RunFfmpeg(args + "'" + out + "'");
  });
}

}  // namespace mediatest
