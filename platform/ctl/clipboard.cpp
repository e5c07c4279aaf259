#include "platform/ctl/clipboard.h"

namespace ctl {

namespace {
class ProcessClipboard : public IClipboard {
 public:
  std::string GetText() override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

ProcessClipboard& Local() {
  static ProcessClipboard* c = new ProcessClipboard;
  return *c;
}
IClipboard* g_current = nullptr;
}  // namespace

IClipboard& Clipboard() { return g_current ? *g_current : Local(); }
void SetClipboard(IClipboard* clipboard) { g_current = clipboard; }

}  // namespace ctl
