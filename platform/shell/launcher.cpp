#include "platform/shell/launcher.h"

#include "platform/rtl/strings.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <thread>

extern char** environ;

namespace shell {

namespace {
IProcessLauncher* g_launcher = nullptr;
}

bool SpawnLauncher::Spawn(const std::vector<std::string>& argv, const std::string& dir) {
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // A group of its own: a terminal's Ctrl+C for the program leaves it alone.
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  // Reaped in the background so no zombie stays; nobody waits for the result.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

IProcessLauncher& Launcher() {
  static SpawnLauncher* def = new SpawnLauncher;
  return g_launcher ? *g_launcher : *def;
}

void SetLauncher(IProcessLauncher* launcher) { g_launcher = launcher; }

int ShellExecute(win::HWND, const std::string& verb, const std::string& file, const std::string& params,
                 const std::string& dir, int) {
  if (rtl::SameText(verb, "properties")) return 33;  // there is no properties sheet
  if (file.empty()) return SE_ERR_FNF;
  if (!verb.empty() && !rtl::SameText(verb, "open") && !rtl::SameText(verb, "explore") && !rtl::SameText(verb, "edit"))
    return SE_ERR_NOASSOC;
  std::vector<std::string> argv;
  if (params.empty()) {
    argv = {"xdg-open", file};
  } else {
    argv = {file};
    std::istringstream in(params);
    for (std::string p; in >> p;) argv.push_back(p);
  }
  return Launcher().Spawn(argv, dir) ? 42 : SE_ERR_FNF;
}

}  // namespace shell
