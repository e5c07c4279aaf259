// The clipboard, as text. The backend installs a provider (the X CLIPBOARD
// selection under xcb); without one the text lives in the process, which is
// also what tests see.
#pragma once

#include <string>

namespace win {

class IClipboardProvider {
 public:
  virtual ~IClipboardProvider() = default;
  virtual std::string Text() = 0;
  virtual void SetText(const std::string& utf8) = 0;
};

// The caller keeps ownership; nullptr goes back to the in-process clipboard.
void SetClipboardProvider(IClipboardProvider* provider);
std::string GetClipboardText();
void SetClipboardText(const std::string& utf8);
bool ClipboardHasText();

}  // namespace win
