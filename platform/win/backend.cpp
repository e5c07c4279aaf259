// The NullBackend and the installed-backend slot.
#include "platform/win/backend.h"

#include "platform/rtl/dispatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace win {

namespace {
NullBackend& DefaultBackend() {
  static NullBackend* b = new NullBackend;
  return *b;
}
ITopLevelBackend* g_backend = nullptr;
std::string R(const gfx::TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}
}  // namespace

ITopLevelBackend& Backend() { return g_backend ? *g_backend : DefaultBackend(); }
void SetBackend(ITopLevelBackend* backend) { g_backend = backend; }

NullBackend::NullBackend() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

NullBackend::~NullBackend() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

int NullBackend::Create(HWND hwnd, SurfaceKind kind, uint32_t flags) {
  int id = next_++;
  Log("Create " + std::to_string(id) + " hwnd=" + std::to_string(hwnd.v) + " kind=" + std::to_string(int(kind)) +
      " flags=" + std::to_string(flags));
  return id;
}
void NullBackend::Destroy(int s) { Log("Destroy " + std::to_string(s)); }
void NullBackend::SetGeometry(int s, const gfx::TRect& r) { Log("SetGeometry " + std::to_string(s) + " " + R(r)); }
void NullBackend::Show(int s, bool a) { Log("Show " + std::to_string(s) + " activate=" + std::to_string(a)); }
void NullBackend::Hide(int s) { Log("Hide " + std::to_string(s)); }
void NullBackend::Raise(int s) { Log("Raise " + std::to_string(s)); }
void NullBackend::SetStaysOnTop(int s, bool on) {
  Log("SetStaysOnTop " + std::to_string(s) + " " + std::to_string(on));
}
void NullBackend::SetTransientFor(int s, int o) {
  Log("SetTransientFor " + std::to_string(s) + " " + std::to_string(o));
}
void NullBackend::SetMask(int s, gfx::HRGN rgn) { Log("SetMask " + std::to_string(s) + (rgn ? " region" : " none")); }
void NullBackend::SetOpacity(int s, double o) { Log("SetOpacity " + std::to_string(s) + " " + std::to_string(o)); }
void NullBackend::SetArgb(int s, bool a) { Log("SetArgb " + std::to_string(s) + " " + std::to_string(a)); }
void NullBackend::Flush(int, gfx::HBITMAP, const gfx::TRect& dirty) {
  flushCount++;
  lastFlush = dirty;
}
void NullBackend::GrabPointer(int s, bool g) { Log("GrabPointer " + std::to_string(s) + " " + std::to_string(g)); }
void NullBackend::SetCursor(int, int) {}
void NullBackend::RequestActivate(int s) { Log("RequestActivate " + std::to_string(s)); }
void NullBackend::Iconify(int s) { Log("Iconify " + std::to_string(s)); }
void NullBackend::Restore(int s) { Log("Restore " + std::to_string(s)); }
void NullBackend::SetTitle(int s, const std::string& t) { Log("SetTitle " + std::to_string(s) + " " + t); }
void NullBackend::SetIcon(int s, gfx::HICON) { Log("SetIcon " + std::to_string(s)); }

void NullBackend::WaitNative(int timeoutMs) {
  pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {rtl::WakeFd(), POLLIN, 0}};
  int n = fds[1].fd >= 0 ? 2 : 1;
  if (::poll(fds, nfds_t(n), timeoutMs < 0 ? -1 : timeoutMs) > 0 && (fds[0].revents & POLLIN)) {
    uint64_t v;
    [[maybe_unused]] ssize_t r = ::read(wakeFd_, &v, sizeof v);
  }
}

void NullBackend::Wake() {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t r = ::write(wakeFd_, &one, sizeof one);
}

}  // namespace win
