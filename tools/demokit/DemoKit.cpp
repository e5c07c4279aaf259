#include "tools/demokit/DemoKit.h"

#include "platform/cl/controls.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

extern char** environ;

namespace demokit {

namespace {

bool Spawn(const std::vector<std::string>& argv, posix_spawn_file_actions_t* fa, pid_t& pid) {
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  return !argv.empty() && posix_spawnp(&pid, args[0], fa, nullptr, args.data(), environ) == 0;
}

}  // namespace

void PumpFor(int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  PumpUntil([&] { return std::chrono::steady_clock::now() >= end; }, ms + 1000);
}

bool RunTool(const std::vector<std::string>& argv, std::function<void()> whilePumping) {
  pid_t pid = -1;
  if (!Spawn(argv, nullptr, pid)) return false;
  int status = 0;
  bool ended = PumpUntil([&] {
    if (whilePumping) whilePumping();
    return waitpid(pid, &status, WNOHANG) == pid;
  });
  return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Capture(const std::vector<std::string>& argv) {
  char name[] = "/tmp/demo-capture-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) return "";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, fd, 1);
  pid_t pid = -1;
  bool started = Spawn(argv, &fa, pid);
  posix_spawn_file_actions_destroy(&fa);
  close(fd);
  std::string out;
  if (started) {
    int status = 0;
    PumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
    std::ifstream in(name);
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::filesystem::remove(name);
  return out;
}

void Shot(const std::string& path, int settleMs) {
  if (settleMs > 0) PumpFor(settleMs);
  QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
  bool ok = shot.save(QString::fromStdString(path), "PNG");
  std::printf("%s %s\n", ok ? "wrote" : "could not write", path.c_str());
}

void MouseTo(int x, int y, int pumpMs) {
  RunTool({"xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y)});
  PumpFor(pumpMs);
}

void ClickAt(int x, int y, int times, int pumpMs) {
  MouseTo(x, y, 120);
  std::vector<std::string> cmd{"xdotool", "click"};
  if (times > 1) cmd.insert(cmd.end(), {"--repeat", std::to_string(times), "--delay", "80"});
  cmd.push_back("1");
  RunTool(cmd);
  PumpFor(pumpMs);
}

void MouseTo(cl::TControl* c, int x, int y, int pumpMs) {
  const cl::TPoint p = c->ClientToScreen({x, y});
  MouseTo(p.X, p.Y, pumpMs);
}

void ClickAt(cl::TControl* c, int x, int y, int times, int pumpMs) {
  const cl::TPoint p = c->ClientToScreen({x, y});
  ClickAt(p.X, p.Y, times, pumpMs);
}

void ClickCentre(cl::TControl* c, int pumpMs) { ClickAt(c, c->Width() / 2, c->Height() / 2, 1, pumpMs); }

}  // namespace demokit
