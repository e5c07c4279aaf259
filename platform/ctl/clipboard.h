// The text clipboard the cores cut, copy and paste through. The window
// system's backend provides the real one (the X clipboard); until one is
// installed the cores share a clipboard inside the process, which is also
// what the headless tests read.
#pragma once

#include <string>

namespace ctl {

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual std::string GetText() = 0;
  virtual void SetText(const std::string& text) = 0;
};

// The clipboard in use; SetClipboard(nullptr) goes back to the in-process one.
// The caller keeps ownership of what it installs.
IClipboard& Clipboard();
void SetClipboard(IClipboard* clipboard);

}  // namespace ctl
