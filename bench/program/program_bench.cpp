// program_bench [runs]
// The program's own start-up path measured from outside: the bench starts
// itself again as a child (exec, dynamic linking, static set-up, Qt, the four
// forms and the dialogs, as the program's entry does them) and takes the
// time from just before the spawn until the child reports the main window
// completely painted (shown, exposed, and no window with anything left to
// paint). The child then measures, on the same real backend, a full repaint
// of the main window with all its controls, a switch to each built-in skin
// (until painted again) and the cascade after a format change with two
// rows in the list (until painted again).
// The start is measured twice: on the machine as it is, and with the child
// held to two cores, as a user's small machine runs it.
// Qt draws off-screen unless DISPLAY is set (then through the X server). The
// bench then stays connected to the server while it measures, as a desktop's
// other programs are: an X server left with no client resets itself (Xvfb
// takes 70-150 ms for it), and the next start would wait for that. Without
// a session bus (a bare Xvfb has none) the bench starts one for the children,
// as a desktop session has: Qt's accessibility bridge asks for the bus when
// the first window shows, and with none it forks the whole process to try
// to launch one, which no desktop start pays.
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "app/ProgramDialogs.h"
#include "platform/cl/application.h"
#include "platform/qt/qt_backend.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"
#include "skin/data/bsStoredSkins.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Print(const char* what, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  std::printf("  %-44s median %8.2f ms   min %8.2f ms   max %8.2f ms   (%zu)\n", what, ms[ms.size() / 2], ms.front(),
              ms.back(), ms.size());
}

TForm1* g_main = nullptr;

// Whether a window of the control's tree still has something to paint.
bool PaintPending(cl::TWinControl* c) {
  win::RECT r;
  if (c->HandleAllocated() && win::IsWindowVisible(c->Handle()) && win::GetUpdateRect(c->Handle(), &r, false))
    return true;
  for (int i = 0; i < c->ControlCount(); ++i)
    if (auto* w = dynamic_cast<cl::TWinControl*>(c->Controls(i)); w && PaintPending(w)) return true;
  return false;
}
bool PaintPending() { return PaintPending(g_main); }

// Dispatches until nothing is left to paint.
void Settle() {
  do win::ProcessMessages();
  while (PaintPending());
}

class GivenFiles : public IFileChooser {
 public:
  bool OpenFile(const std::string&, std::string&) override { return false; }
  bool OpenFiles(const std::string&, std::vector<std::string>& out) override {
    out = files;
    return !files.empty();
  }
  bool SelectFolder(const std::string&, std::string&) override { return false; }
  std::vector<std::string> files;
};

int Child(int fd, const fs::path& folder, bool measure) {
  TProgramServices& s = TForm1::Services();
  s.ProgramFolder = (folder / "prog").string() + "/";
  s.ConfigFolder = (folder / "conf").string() + "/";
  s.DefaultOutputFolder = (folder / "out").string();
  // The program's entry, step by step.
  plat::qt::QtBackend::Install();
  cl::Application->Initialize();
  cl::Application->SetTitle("VarnelMOD格式转换器");
  TForm1* f1 = nullptr;
  TForm2* f2 = nullptr;
  TForm5* f5 = nullptr;
  TForm6* f6 = nullptr;
  cl::Application->CreateForm(f1);
  g_main = f1;
  InstallProgramDialogs(f1);
  cl::Application->CreateForm(f2);
  cl::Application->CreateForm(f5);
  cl::Application->CreateForm(f6);
  f1->SetVisible(true);
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f1->Handle());
  while (!(w && w->isExposed()) || PaintPending()) {
    win::MsgWaitForEvents(5);
    win::ProcessMessages();
  }
  char done = 1;
  if (write(fd, &done, 1) != 1) return 1;
  close(fd);
  if (!measure) {
    bool can = true;
    f1->FormCloseQuery(f1, can);
    cl::ResetApplication();
    win::Shutdown();
    plat::qt::QtBackend::Uninstall();
    return 0;
  }

  std::vector<double> repaint, skins, cascade;
  for (int i = 0; i < 60; ++i) {
    auto t0 = Clock::now();
    win::RedrawWindow(
        f1->Handle(), nullptr, nullptr,
        win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME | win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
    Settle();
    repaint.push_back(Ms(Clock::now() - t0));
  }
  for (int round = 0; round < 3; ++round)
    for (int i = 0; i < skin::kBuiltinSkinCount; ++i) {
      if (f1->bsSkinData1->SkinIndex() == i) continue;  // no switch at all
      auto t0 = Clock::now();
      f1->bsSkinData1->SetSkinIndex(i);
      Settle();
      skins.push_back(Ms(Clock::now() - t0));
    }
  // Two rows, the first selected, then each format of the category in turn.
  GivenFiles chooser;
  const fs::path clip = folder / "clip.avi";
  const std::string make = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -t 1 -c:v mpeg4 '" +
                           clip.string() + "' && cp '" + clip.string() + "' '" + (folder / "clip2.avi").string() + "'";
  if (std::system(make.c_str()) == 0) chooser.files = {clip.string(), (folder / "clip2.avi").string()};
  s.Chooser = &chooser;
  f1->Button8Click();
  Settle();
  const int rows = f1->lvFiles->Items()->Count();
  if (rows > 0) f1->lvFiles->SetSelected(f1->lvFiles->Items()->Item(0));
  Settle();
  for (int round = 0; round < 3; ++round)
    for (int k = 0; k < f1->bsSkinOfficeComboBox1->Items()->Count(); ++k) {
      auto t0 = Clock::now();
      f1->bsSkinOfficeComboBox1->SetItemIndex(k);
      Settle();
      cascade.push_back(Ms(Clock::now() - t0));
    }
  Print("full repaint of the main window", repaint);
  Print("skin switch (each of the eleven, painted)", skins);
  std::printf("  (cascade with %d rows in the list)\n", rows);
  Print("format change cascade (painted)", cascade);
  bool can = true;
  f1->FormCloseQuery(f1, can);
  cl::ResetApplication();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}

// Starts the program `runs` times and returns the times to its first complete
// paint; with `cores` > 0 each child runs on the first `cores` processors.
std::vector<double> MeasureStarts(char* self, int runs, int cores) {
  std::vector<double> start;
  cpu_set_t mine, pinned;
  CPU_ZERO(&mine);
  sched_getaffinity(0, sizeof mine, &mine);
  CPU_ZERO(&pinned);
  for (int c = 0, n = 0; c < CPU_SETSIZE && n < cores; ++c)
    if (CPU_ISSET(c, &mine)) {
      CPU_SET(c, &pinned);
      ++n;
    }
  for (int run = 0; run < runs; ++run) {
    const fs::path folder =
        fs::temp_directory_path() / ("program-bench-" + std::to_string(getpid()) + "-" + std::to_string(run));
    fs::create_directories(folder / "prog");
    int p[2];
    if (pipe(p) != 0) return start;
    const std::string fd = std::to_string(p[1]), dir = folder.string();
    // The first child of the unpinned runs goes on to measure the rest once
    // it has painted.
    std::vector<char*> args = {self,
                               const_cast<char*>("--child"),
                               const_cast<char*>(fd.c_str()),
                               const_cast<char*>(dir.c_str()),
                               const_cast<char*>(run == 0 && cores == 0 ? "1" : "0"),
                               nullptr};
    // A spawned child inherits the affinity of its parent.
    if (cores > 0) sched_setaffinity(0, sizeof pinned, &pinned);
    auto t0 = Clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, args.data(), environ);
    if (cores > 0) sched_setaffinity(0, sizeof mine, &mine);
    close(p[1]);
    if (spawned != 0) {
      close(p[0]);
      return start;
    }
    char c = 0;
    const bool painted = read(p[0], &c, 1) == 1;
    const double ms = Ms(Clock::now() - t0);
    close(p[0]);
    if (painted) start.push_back(ms);
    int status = 0;
    waitpid(pid, &status, 0);
    fs::remove_all(folder);
  }
  return start;
}

// A session bus of the bench's own, for its children; its process id, or 0
// when there is already one or none could be started.
pid_t StartSessionBus() {
  if (std::getenv("DBUS_SESSION_BUS_ADDRESS")) return 0;
  FILE* p = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
  if (!p) return 0;
  char address[512] = {}, pid[32] = {};
  const bool read = std::fgets(address, sizeof address, p) && std::fgets(pid, sizeof pid, p);
  pclose(p);
  if (!read) return 0;
  address[std::strcspn(address, "\n")] = 0;
  setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
  return pid_t(std::atoi(pid));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--child")
    return Child(std::atoi(argv[2]), argv[3], std::string(argv[4]) == "1");
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const bool x = std::getenv("DISPLAY") != nullptr;
  xcb_connection_t* display = x ? xcb_connect(nullptr, nullptr) : nullptr;
  const pid_t bus = x ? StartSessionBus() : 0;
  std::printf("program_bench (%s%s)\n", x ? "X server" : "Qt off-screen", bus ? ", a session bus of its own" : "");
  std::fflush(stdout);
  Print("process start to the first complete paint", MeasureStarts(argv[0], runs, 0));
  Print("the same on two cores", MeasureStarts(argv[0], runs, 2));
  if (bus) kill(bus, SIGTERM);
  if (display) xcb_disconnect(display);
  return 0;
}
