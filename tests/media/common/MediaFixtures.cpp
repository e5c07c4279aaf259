#include "tests/media/common/MediaFixtures.h"

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "media/FFmpegLoader.h"

namespace mediatest {

namespace fs = std::filesystem;

namespace {

struct TempFolder {
  std::string path;
  ~TempFolder() {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
  }
};

std::mutex gLock;

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

const char* kVideo = "-f lavfi -i testsrc=size=320x240:rate=25:duration=2";
const char* kAudio = "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2";

}  // namespace

std::string TempDir() {
  static TempFolder folder;
  std::lock_guard<std::mutex> lk(gLock);
  if (folder.path.empty()) {
    std::string tmpl = (fs::temp_directory_path() / "vcmedia-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) folder.path = tmpl;
  }
  return folder.path;
}

bool RunFfmpeg(const std::string& args) {
  std::string cmd = "ffmpeg -nostdin -hide_banner -v error -y " + args + " </dev/null";
  return std::system(cmd.c_str()) == 0;
}

std::string MadeOnce(const std::string& family, const std::string& name,
                     const std::function<bool(const std::string& path)>& make) {
  // Recursive: a maker may build its file from another fixture.
  static std::recursive_mutex lock;
  static std::map<std::string, std::string> made;
  std::lock_guard<std::recursive_mutex> lk(lock);
  const std::string key = family + "/" + name;
  auto it = made.find(key);
  if (it != made.end()) return it->second;
  std::string dir = TempDir();
  if (!family.empty()) {
    dir += "/" + family;
    std::error_code ec;
    fs::create_directories(dir, ec);
  }
  const std::string path = dir + "/" + name;
  if (!make(path)) return std::string();
  made[key] = path;
  return path;
}

std::string Fixture(const std::string& name) {
  return MadeOnce("", name, [&name](const std::string& out) {
    const std::string v = kVideo, a = kAudio;
    bool ok = false;
    if (name == "av.mp4")
      ok = RunFfmpeg(v + " " + a + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -ac 2 " + Quote(out));
    else if (name == "av.avi")
      ok = RunFfmpeg(v + " " + a + " -c:v mpeg4 -c:a libmp3lame -ac 2 " + Quote(out));
    else if (name == "av.mkv")
      ok = RunFfmpeg(v + " " + a + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a libvorbis -ac 2 " +
                     Quote(out));
    else if (name == "av.mpg")
      ok = RunFfmpeg(v + " " + a + " -c:v mpeg1video -c:a mp2 -ac 2 -f mpeg " + Quote(out));
    else if (name == "a.wav")
      ok = RunFfmpeg(a + " -c:a pcm_s16le -ac 2 " + Quote(out));
    else if (name == "a.mp3")
      ok = RunFfmpeg(a + " -c:a libmp3lame -ac 2 " + Quote(out));
    else if (name == "v_only.avi")
      ok = RunFfmpeg(v + " -c:v mpeg4 -an " + Quote(out));
    else if (name == "two_audio.mkv")
      ok = RunFfmpeg(v + " " + a +
                     " -f lavfi -i sine=frequency=880:duration=1 -map 0:v -map 1:a -map 2:a "
                     "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac " +
                     Quote(out));
    else if (name == "chap.mkv") {
      // Long enough for a start at 4 s to find pictures.
      std::string src = TempDir() + "/chap_src.avi", meta = TempDir() + "/chapters.ffmeta";
      if (!RunFfmpeg("-f lavfi -i testsrc=size=320x240:rate=25:duration=6 -f lavfi -i sine=frequency=440:duration=6 "
                     "-c:v mpeg4 -c:a libmp3lame -ac 2 " +
                     Quote(src)))
        src.clear();
      std::ofstream(meta) << ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=10000\ntitle=one\n"
                             "[CHAPTER]\nTIMEBASE=1/1000\nSTART=10000\nEND=20000\ntitle=two\n";
      ok = !src.empty() && RunFfmpeg("-i " + Quote(src) + " -i " + Quote(meta) +
                                     " -map 0 -map_metadata 1 -map_chapters 1 -c copy " + Quote(out));
    } else if (name == "视频 ü.avi") {
      std::string src = Fixture("av.avi");
      std::error_code ec;
      ok = !src.empty() && fs::copy_file(src, out, fs::copy_options::overwrite_existing, ec);
    } else if (name == "truncated.mp4") {
      std::string src = Fixture("av.mp4");
      std::ifstream in(src, std::ios::binary);
      std::string head(2000, '\0');
      in.read(head.data(), static_cast<std::streamsize>(head.size()));
      std::ofstream o(out, std::ios::binary);
      o.write(head.data(), in.gcount());
      ok = static_cast<bool>(o);
    } else if (name == "text.avi") {
      std::ofstream o(out);
      o << "This is not a video file.\n";
      ok = static_cast<bool>(o);
    }
    return ok;
  });
}

bool LoadEngineLibraries(bool withPlayer) {
  media::FFLoader().SetLibraryPath("");
  return media::FFLoader().Load(withPlayer ? media::PlayerLibraries : media::ConverterLibraries);
}

}  // namespace mediatest
