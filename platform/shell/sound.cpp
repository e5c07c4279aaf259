#include "platform/shell/sound.h"

#include <fcntl.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

extern char** environ;

namespace shell {

namespace {

bool OnPath(const std::string& prog) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string p = path;
  size_t start = 0;
  while (start <= p.size()) {
    size_t end = p.find(':', start);
    std::string dir = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && ::access((dir + "/" + prog).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

// Plays through a sound-server client in a child process; a new sound stops
// the one before, as PlaySound does.
class ProcessSoundPlayer : public ISoundPlayer {
 public:
  bool Play(const std::string& path) override {
    Stop();
    std::vector<std::string> argv;
    if (OnPath("paplay"))
      argv = {"paplay", path};
    else if (OnPath("aplay"))
      argv = {"aplay", "-q", path};
    else
      return false;
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The player's complaints (no device) stay out of the program's output.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    {
      std::lock_guard<std::mutex> g(lock_);
      current_ = pid;
    }
    std::thread([this, pid] {
      int status = 0;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      std::lock_guard<std::mutex> g(lock_);
      if (current_ == pid) current_ = -1;
    }).detach();
    return true;
  }
  void Stop() override {
    std::lock_guard<std::mutex> g(lock_);
    if (current_ > 0) ::kill(current_, SIGTERM);
    current_ = -1;
  }

 private:
  std::mutex lock_;
  pid_t current_ = -1;
};

ISoundPlayer* g_player = nullptr;
}  // namespace

ISoundPlayer& SoundPlayer() {
  // Never destroyed: its reaper threads may outlive main.
  static ProcessSoundPlayer* def = new ProcessSoundPlayer;
  return g_player ? *g_player : *def;
}

void SetSoundPlayer(ISoundPlayer* player) { g_player = player; }

bool PlaySound(const std::string& path, void*, unsigned flags) {
  if (path.empty() || (flags & SND_PURGE)) {
    SoundPlayer().Stop();
    return true;
  }
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;  // a missing file is silent
  return SoundPlayer().Play(path);
}

}  // namespace shell
