// The notification-area icon behind an interface. The program never shows
// its icon, so the null backend (never available, every call refused) is
// the only one; a real one can be added behind the same interface.
#pragma once

#include "platform/gfx/types.h"

#include <functional>
#include <string>

namespace shell {

class ITrayBackend {
 public:
  virtual ~ITrayBackend() = default;
  virtual bool Available() = 0;
  virtual bool Add(int id, const std::string& tip, gfx::HICON icon) = 0;
  virtual bool Modify(int id, const std::string& tip, gfx::HICON icon) = 0;
  virtual bool Delete(int id) = 0;
  virtual bool ShowBalloon(int id, const std::string& title, const std::string& text, int timeoutMs) = 0;
  // Mouse messages on the icon (WM_LBUTTONDOWN ...), screen coordinates.
  std::function<void(int id, unsigned msg, int x, int y)> OnMouse;
};

class NullTrayBackend : public ITrayBackend {
 public:
  bool Available() override { return false; }
  bool Add(int, const std::string&, gfx::HICON) override { return false; }
  bool Modify(int, const std::string&, gfx::HICON) override { return false; }
  bool Delete(int) override { return false; }
  bool ShowBalloon(int, const std::string&, const std::string&, int) override { return false; }
};

ITrayBackend& TrayBackend();
void SetTrayBackend(ITrayBackend* backend);  // caller keeps ownership; nullptr = the null one

}  // namespace shell
