// Recording stand-ins for the shell services: the harness installs them so
// no test starts a program, plays a sound or powers anything off.
#pragma once

#include "platform/shell/launcher.h"
#include "platform/shell/power.h"
#include "platform/shell/sound.h"

#include <string>
#include <vector>

namespace plat::test {

class RecordingLauncher : public shell::IProcessLauncher {
 public:
  bool Spawn(const std::vector<std::string>& argv, const std::string& dir) override {
    calls.push_back(argv);
    dirs.push_back(dir);
    return succeed;
  }
  std::vector<std::vector<std::string>> calls;
  std::vector<std::string> dirs;
  bool succeed = true;
};

class RecordingSoundPlayer : public shell::ISoundPlayer {
 public:
  bool Play(const std::string& path) override {
    played.push_back(path);
    return true;
  }
  void Stop() override { stops++; }
  std::vector<std::string> played;
  int stops = 0;
};

class RecordingPower : public shell::IPowerControl {
 public:
  bool PowerOff(bool force) override {
    requests.push_back(force);
    return true;
  }
  std::vector<bool> requests;
};

}  // namespace plat::test
