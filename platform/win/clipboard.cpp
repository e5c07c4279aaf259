#include "platform/win/clipboard.h"

namespace win {

namespace {
class LocalClipboard : public IClipboardProvider {
 public:
  std::string Text() override { return text_; }
  void SetText(const std::string& s) override { text_ = s; }

 private:
  std::string text_;
};
IClipboardProvider* g_provider = nullptr;
IClipboardProvider& Provider() {
  static LocalClipboard* local = new LocalClipboard;
  return g_provider ? *g_provider : *local;
}
}  // namespace

void SetClipboardProvider(IClipboardProvider* provider) { g_provider = provider; }
std::string GetClipboardText() { return Provider().Text(); }
void SetClipboardText(const std::string& utf8) { Provider().SetText(utf8); }
bool ClipboardHasText() { return !Provider().Text().empty(); }

}  // namespace win
