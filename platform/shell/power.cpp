#include "platform/shell/power.h"

#include "platform/shell/launcher.h"

#include <atomic>
#include <cstdlib>

namespace shell {

namespace {
IPowerControl* g_power = nullptr;
std::atomic<int> g_harness{0};
}  // namespace

void SetTestHarnessActive(bool active) { g_harness += active ? 1 : -1; }
bool TestHarnessActive() { return g_harness.load() > 0 || std::getenv("VC_TEST") != nullptr; }

std::string SystemPowerControl::Refusal() {
  if (const char* ci = std::getenv("CI"); ci && *ci) return "the CI variable is set";
  if (TestHarnessActive()) return "a test is running";
  return {};
}

bool SystemPowerControl::PowerOff(bool force) {
  if (!Refusal().empty()) return false;
  std::vector<std::string> argv = {"systemctl", "poweroff"};
  if (force) argv.push_back("--ignore-inhibitors");
  return Launcher().Spawn(argv, "");
}

IPowerControl& PowerControl() {
  static SystemPowerControl* def = new SystemPowerControl;
  return g_power ? *g_power : *def;
}

void SetPowerControl(IPowerControl* control) { g_power = control; }

}  // namespace shell
