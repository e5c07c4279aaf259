// Powering the computer off, behind an interface. The system one refuses
// whenever the CI variable is set or a test harness runs (a real power-off
// there would be a disaster); otherwise it asks systemd to power off.
#pragma once

#include <string>

namespace shell {

class IPowerControl {
 public:
  virtual ~IPowerControl() = default;
  // True when the request was handed to the system.
  virtual bool PowerOff(bool force) = 0;
};

class SystemPowerControl : public IPowerControl {
 public:
  bool PowerOff(bool force) override;
  // Why PowerOff would refuse now ("" when it would act).
  static std::string Refusal();
};

IPowerControl& PowerControl();
void SetPowerControl(IPowerControl* control);  // caller keeps ownership; nullptr = the system one

// A test harness marks itself here while it lives.
void SetTestHarnessActive(bool active);
bool TestHarnessActive();

// Privileges need no adjusting here: the request goes to systemd, which asks
// polkit. Kept so callers read as on Windows.
inline bool SetPrivilege(const std::string&, bool) { return true; }

}  // namespace shell
