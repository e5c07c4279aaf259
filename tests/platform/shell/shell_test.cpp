// The shell services: the launcher's argument vectors, the sound and power
// guards, and the directory watcher's coalesced, ordered delivery.
#include "platform/rtl/dispatcher.h"
#include "platform/shell/dirwatcher.h"
#include "platform/shell/launcher.h"
#include "platform/shell/power.h"
#include "platform/shell/sound.h"
#include "platform/shell/tray.h"
#include "platform/testkit/harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using plat::test::Harness;

namespace {

struct TempDir {
  fs::path path;
  TempDir() {
    char tmpl[] = "/tmp/vc_shell_XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { fs::remove_all(path); }
};

// Pumps the UI loop until `done` holds, for at most ten seconds.
template <class F>
bool PumpUntil(Harness& h, F done) {
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    win::MsgWaitForEvents(20);
    h.Pump();
  }
  return true;
}

}  // namespace

TEST(Launcher, OpensThroughTheDesktopOpenerWithAnArgumentVector) {
  Harness h;
  EXPECT_GT(shell::ShellExecute(nullptr, "open", "/tmp/a folder; rm -rf x", "", "", shell::SW_SHOWNORMAL), 32);
  EXPECT_GT(shell::ShellExecute(nullptr, "", "https://example.org/", "", "", shell::SW_SHOWNORMAL), 32);
  EXPECT_GT(shell::ShellExecute(nullptr, "open", "/usr/bin/tool", "-a  b", "/tmp", shell::SW_SHOWNORMAL), 32);
  EXPECT_GT(shell::ShellExecute(nullptr, "properties", "/tmp", "", "", 0), 32);
  ASSERT_EQ(h.launcher.calls.size(), 3u);  // properties starts nothing
  EXPECT_EQ(h.launcher.calls[0], (std::vector<std::string>{"xdg-open", "/tmp/a folder; rm -rf x"}));
  EXPECT_EQ(h.launcher.calls[1], (std::vector<std::string>{"xdg-open", "https://example.org/"}));
  EXPECT_EQ(h.launcher.calls[2], (std::vector<std::string>{"/usr/bin/tool", "-a", "b"}));
  EXPECT_EQ(h.launcher.dirs[2], "/tmp");
  h.launcher.succeed = false;
  EXPECT_LE(shell::ShellExecute(nullptr, "open", "/tmp", "", "", 0), 32);
}

TEST(Launcher, TheRealSpawnerReportsAMissingProgram) {
  shell::SpawnLauncher real;
  EXPECT_FALSE(real.Spawn({"vc-no-such-program-here"}, ""));
  EXPECT_TRUE(real.Spawn({"true"}, "/tmp"));
}

TEST(Sound, AMissingFileIsSilentAndAnExistingOnePlays) {
  Harness h;
  TempDir d;
  std::string wav = (d.path / "ring.wav").string();
  std::ofstream(wav) << "RIFF";
  EXPECT_FALSE(shell::PlaySound((d.path / "none.wav").string(), nullptr, shell::SND_ASYNC | shell::SND_FILENAME));
  EXPECT_TRUE(shell::PlaySound(wav, nullptr, shell::SND_ASYNC | shell::SND_FILENAME));
  EXPECT_EQ(h.sound.played, std::vector<std::string>{wav});
  shell::PlaySound("", nullptr, shell::SND_PURGE);
  EXPECT_EQ(h.sound.stops, 1);
}

TEST(Power, TheSystemControlRefusesUnderCiAndUnderTests) {
  {
    Harness h;  // a harness alone is enough to refuse
    EXPECT_NE(shell::SystemPowerControl::Refusal(), "");
    shell::SystemPowerControl real;
    EXPECT_FALSE(real.PowerOff(true));
    EXPECT_TRUE(h.launcher.calls.empty());
    shell::PowerControl().PowerOff(true);  // the recording stand-in
    EXPECT_EQ(h.power.requests, std::vector<bool>{true});
  }
  const char* old = std::getenv("CI");
  std::string saved = old ? old : "";
  setenv("CI", "true", 1);
  EXPECT_EQ(shell::SystemPowerControl::Refusal(), "the CI variable is set");
  EXPECT_FALSE(shell::SystemPowerControl().PowerOff(false));
  if (old)
    setenv("CI", saved.c_str(), 1);
  else
    unsetenv("CI");
}

TEST(Tray, TheNullBackendIsNeverAvailable) {
  EXPECT_FALSE(shell::TrayBackend().Available());
  EXPECT_FALSE(shell::TrayBackend().Add(1, "tip", {}));
}

TEST(DirWatcher, ABurstOfFilesIsOneChangeOnTheUiLoop) {
  Harness h;
  TempDir d;
  int changes = 0;
  std::thread::id where;
  shell::DirWatcher w(d.path.string(), shell::FILE_NOTIFY_CHANGE_FILE_NAME, false, [&] {
    changes++;
    where = std::this_thread::get_id();
  });
  for (int i = 0; i < 20; i++) std::ofstream(d.path / ("f" + std::to_string(i))) << i;
  // The watcher posts once the burst has gone quiet; only then does the UI loop run.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (rtl::PendingCalls() == 0 && std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(PumpUntil(h, [&] { return changes > 0; }));
  // Whatever else was still on its way joins the one delivery.
  for (int i = 0; i < 5; i++) {
    win::MsgWaitForEvents(20);
    h.Pump();
  }
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(where, std::this_thread::get_id());
  fs::create_directory(d.path / "sub");  // a directory is not a file name change
  std::ofstream(d.path / "later") << 1;
  ASSERT_TRUE(PumpUntil(h, [&] { return changes == 2; }));
}

TEST(DirWatcher, NothingArrivesAfterDestructionWhichIsPrompt) {
  Harness h;
  TempDir d;
  int changes = 0;
  {
    shell::DirWatcher w(d.path.string(), shell::FILE_NOTIFY_CHANGE_FILE_NAME, false, [&] { changes++; });
    std::ofstream(d.path / "x") << 1;
    // Let the thread see it and queue its delivery, without running the UI loop.
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (rtl::PendingCalls() == 0 && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  h.Pump();
  EXPECT_EQ(changes, 0);
  // A directory that does not exist is watched silently until destruction.
  shell::DirWatcher none((d.path / "missing").string(), shell::FILE_NOTIFY_CHANGE_FILE_NAME, true, [&] { changes++; });
  h.Pump();
  EXPECT_EQ(changes, 0);
}
