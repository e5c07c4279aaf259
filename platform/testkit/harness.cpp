#include "platform/testkit/harness.h"

#include "platform/gfx/bitmap.h"
#include "platform/rtl/dispatcher.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/cl/application.h"

namespace plat::test {

using namespace win;

namespace {
EscapeReporter gEscapeReporter = nullptr;
}

const std::string Input::DefaultText = std::string("\x7f\x7f", 2);

std::string MessageName(UINT m) {
  static const std::map<UINT, const char*> names = {{WM_CREATE, "WM_CREATE"},
                                                    {WM_DESTROY, "WM_DESTROY"},
                                                    {WM_MOVE, "WM_MOVE"},
                                                    {WM_SIZE, "WM_SIZE"},
                                                    {WM_ACTIVATE, "WM_ACTIVATE"},
                                                    {WM_SETFOCUS, "WM_SETFOCUS"},
                                                    {WM_KILLFOCUS, "WM_KILLFOCUS"},
                                                    {WM_ENABLE, "WM_ENABLE"},
                                                    {WM_SETTEXT, "WM_SETTEXT"},
                                                    {WM_PAINT, "WM_PAINT"},
                                                    {WM_CLOSE, "WM_CLOSE"},
                                                    {WM_ERASEBKGND, "WM_ERASEBKGND"},
                                                    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
                                                    {WM_SETCURSOR, "WM_SETCURSOR"},
                                                    {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
                                                    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
                                                    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
                                                    {WM_NCCREATE, "WM_NCCREATE"},
                                                    {WM_NCDESTROY, "WM_NCDESTROY"},
                                                    {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
                                                    {WM_NCHITTEST, "WM_NCHITTEST"},
                                                    {WM_NCPAINT, "WM_NCPAINT"},
                                                    {WM_NCACTIVATE, "WM_NCACTIVATE"},
                                                    {WM_GETDLGCODE, "WM_GETDLGCODE"},
                                                    {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
                                                    {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
                                                    {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
                                                    {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
                                                    {WM_NCRBUTTONDOWN, "WM_NCRBUTTONDOWN"},
                                                    {WM_NCRBUTTONUP, "WM_NCRBUTTONUP"},
                                                    {WM_KEYDOWN, "WM_KEYDOWN"},
                                                    {WM_KEYUP, "WM_KEYUP"},
                                                    {WM_CHAR, "WM_CHAR"},
                                                    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
                                                    {WM_SYSKEYUP, "WM_SYSKEYUP"},
                                                    {WM_SYSCHAR, "WM_SYSCHAR"},
                                                    {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
                                                    {WM_TIMER, "WM_TIMER"},
                                                    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
                                                    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
                                                    {WM_LBUTTONUP, "WM_LBUTTONUP"},
                                                    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
                                                    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
                                                    {WM_RBUTTONUP, "WM_RBUTTONUP"},
                                                    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
                                                    {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
                                                    {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
                                                    {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
                                                    {CM_MOUSEENTER, "CM_MOUSEENTER"},
                                                    {CM_MOUSELEAVE, "CM_MOUSELEAVE"},
                                                    {CM_DIALOGKEY, "CM_DIALOGKEY"},
                                                    {CM_DIALOGCHAR, "CM_DIALOGCHAR"},
                                                    {CM_ENTER, "CM_ENTER"},
                                                    {CM_EXIT, "CM_EXIT"},
                                                    {CM_FOCUSCHANGED, "CM_FOCUSCHANGED"},
                                                    {CM_WANTSPECIALKEY, "CM_WANTSPECIALKEY"},
                                                    {CM_TEXTCHANGED, "CM_TEXTCHANGED"},
                                                    {CM_VISIBLECHANGED, "CM_VISIBLECHANGED"},
                                                    {CM_ENABLEDCHANGED, "CM_ENABLEDCHANGED"},
                                                    {CM_INVALIDATE, "CM_INVALIDATE"},
                                                    {CN_KEYDOWN, "CN_KEYDOWN"},
                                                    {CN_CHAR, "CN_CHAR"},
                                                    {CM_ACTIVATE, "CM_ACTIVATE"},
                                                    {CM_DEACTIVATE, "CM_DEACTIVATE"}};
  auto it = names.find(m);
  return it != names.end() ? it->second : std::to_string(m);
}

// ============================================================================ Harness

Harness::Harness(bool fixedText) : input(*this), clock_(int64_t(1'000'000) * 1'000'000) {
  SetBackend(&backend_);
  SetClock(&clock_);
  if (fixedText) gfx::SetTextEngine(&fixed_);
  SetExceptionHandler([this](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      exceptions.push_back(ex.what());
    } catch (...) {
      exceptions.push_back("unknown exception");
    }
  });
  ResetQuit();
  shell::SetTestHarnessActive(true);
  shell::SetLauncher(&launcher);
  shell::SetSoundPlayer(&sound);
  shell::SetPowerControl(&power);
  gdiBase_ = gfx::GdiObjectCount();
  windowBase_ = win::LiveWindowCount();
}

std::string Harness::Leaks() {
  Pump();
  std::string out;
  if (size_t w = win::LiveWindowCount(); w > windowBase_) out += std::to_string(w - windowBase_) + " windows ";
  if (size_t g = gfx::GdiObjectCount(); g > gdiBase_) out += std::to_string(g - gdiBase_) + " GDI objects";
  return out;
}

void SetEscapeReporter(EscapeReporter reporter) { gEscapeReporter = reporter; }

Harness::~Harness() {
  // A test that expects an escape clears `exceptions` before the harness ends.
  for (auto& e : exceptions) {
    if (gEscapeReporter)
      gEscapeReporter(e);
    else
      std::fprintf(stderr, "exception escaped a message handler: %s\n", e.c_str());
  }
  cl::ResetApplication();
  cl::ResetControlGlobals();
  Shutdown();
  SetExceptionHandler(nullptr);
  gfx::SetTextEngine(nullptr);
  SetClock(nullptr);
  SetBackend(nullptr);
  shell::SetLauncher(nullptr);
  shell::SetSoundPlayer(nullptr);
  shell::SetPowerControl(nullptr);
  shell::SetTestHarnessActive(false);
}

void Harness::Pump() {
  // A quit asked for by a handler ends the pump (and stays visible to the test).
  for (int guard = 0; guard < 100000 && !QuitRequested() && HandleOneMessage(); guard++) {
  }
}

void Harness::Advance(int ms) {
  int64_t target = clock_.NowMs() + ms;
  Pump();
  for (;;) {
    int64_t due = NextTimerDue();
    if (due < 0 || due > target) break;
    if (due > clock_.NowMs()) clock_.SetUs(due * 1000);
    Pump();
  }
  clock_.SetUs(target * 1000);
  Pump();
}

QImage Harness::Grab(HWND hwnd) {
  HWND top = GetAncestor(hwnd, GA_ROOT);
  gfx::HBITMAP bmp = BackingImage(top);
  if (!bmp) return {};
  QImage all = gfx::BitmapToImage(bmp);
  RECT wr, tr;
  GetWindowRect(hwnd, &wr);
  GetWindowRect(top, &tr);
  return all.copy(wr.Left - tr.Left, wr.Top - tr.Top, wr.Width(), wr.Height());
}

bool Harness::SavePng(HWND hwnd, const std::string& path) {
  QImage img = Grab(hwnd);
  return !img.isNull() && img.save(QString::fromStdString(path), "PNG");
}

uint32_t Harness::Pixel(HWND hwnd, int x, int y) {
  HWND top = GetAncestor(hwnd, GA_ROOT);
  gfx::HBITMAP bmp = BackingImage(top);
  if (!bmp) return 0xFFFFFFFF;
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  RECT tr;
  GetWindowRect(top, &tr);
  const uint8_t* row = gfx::BitmapScanLine(bmp, p.Y - tr.Top);
  gfx::BitmapInfo info;
  gfx::GetBitmapInfo(bmp, info);
  int px = p.X - tr.Left;
  if (!row || px < 0 || px >= info.width) return 0xFFFFFFFF;
  const uint8_t* q = row + px * 4;
  return (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
}

uint32_t Harness::Pixel(cl::TControl* c, int x, int y) {
  if (auto* w = dynamic_cast<cl::TWinControl*>(c)) return Pixel(w->Handle(), x, y);
  return Pixel(c->Parent()->Handle(), c->Left() + x, c->Top() + y);
}

size_t Harness::GdiObjectCount() const { return gfx::GdiObjectCount(); }
size_t Harness::LiveWindowCount() const { return win::LiveWindowCount(); }

// ============================================================================ Input

void Input::Deliver(const RawInput& ev) {
  DeliverInput(ev);
  h_.Pump();
}

void Input::MoveTo(int x, int y) {
  cursor_ = {x, y};
  RawInput ev;
  ev.kind = RawKind::MouseMove;
  ev.pt = cursor_;
  Deliver(ev);
}

void Input::MoveTo(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  MoveTo(p.X, p.Y);
}

void Input::MoveTo(cl::TControl* c, int x, int y) {
  TPoint p = c->ClientToScreen({x, y});
  MoveTo(p.X, p.Y);
}

void Input::Press(MouseButton b) {
  RawInput ev;
  ev.kind = RawKind::ButtonDown;
  ev.button = b;
  ev.pt = cursor_;
  Deliver(ev);
}

void Input::Release(MouseButton b) {
  RawInput ev;
  ev.kind = RawKind::ButtonUp;
  ev.button = b;
  ev.pt = cursor_;
  Deliver(ev);
}

void Input::Click(MouseButton b) {
  Press(b);
  Release(b);
}

void Input::DoubleClick() {
  Click();
  Click();
}

void Input::Wheel(int delta) {
  RawInput ev;
  ev.kind = RawKind::Wheel;
  ev.wheelDelta = delta;
  ev.pt = cursor_;
  Deliver(ev);
}

static std::string TextOfKey(uint16_t vk) {
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (vk) {
    case VK_RETURN:
      return "\r";
    case VK_ESCAPE:
      return "\x1b";
    case VK_BACK:
      return "\b";
    case VK_TAB:
      return "\t";
    case VK_SPACE:
      return " ";
  }
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return std::string(1, char(vk - 'A' + 1));
    return std::string(1, shift ? char(vk) : char(vk - 'A' + 'a'));
  }
  if (vk >= '0' && vk <= '9') return std::string(1, char(vk));
  return {};
}

void Input::KeyDown(uint16_t vk, const std::string& text) {
  RawInput ev;
  ev.kind = RawKind::KeyDown;
  ev.vk = vk;
  ev.text = text == DefaultText ? TextOfKey(vk) : text;
  Deliver(ev);
}

void Input::KeyUp(uint16_t vk) {
  RawInput ev;
  ev.kind = RawKind::KeyUp;
  ev.vk = vk;
  Deliver(ev);
}

void Input::Key(uint16_t vk, const std::string& text) {
  KeyDown(vk, text);
  KeyUp(vk);
}

void Input::Type(const std::string& utf8) {
  for (char32_t cp : gfx::ToU32(utf8)) {
    uint16_t vk = 0xE7;  // VK_PACKET
    if (cp >= 'a' && cp <= 'z')
      vk = uint16_t(cp - 'a' + 'A');
    else if ((cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9'))
      vk = uint16_t(cp);
    else if (cp == ' ')
      vk = VK_SPACE;
    KeyDown(vk, gfx::ToU8(std::u32string(1, cp)));
    KeyUp(vk);
  }
}

void Input::ImeCommit(const std::string& utf8) {
  KeyDown(0xE5, utf8);  // VK_PROCESSKEY
  KeyUp(0xE5);
}

void Input::Later(std::vector<RawInput> events) {
  rtl::Post([events = std::move(events)] {
    for (auto& e : events) DeliverInput(e);
  });
}

RawInput Input::MoveEvent(int x, int y) {
  RawInput e;
  e.kind = RawKind::MouseMove;
  e.pt = {x, y};
  return e;
}

RawInput Input::ButtonEvent(bool down, int x, int y, MouseButton b) {
  RawInput e;
  e.kind = down ? RawKind::ButtonDown : RawKind::ButtonUp;
  e.pt = {x, y};
  e.button = b;
  return e;
}

RawInput Input::KeyEvent(bool down, uint16_t vk) {
  RawInput e;
  e.kind = down ? RawKind::KeyDown : RawKind::KeyUp;
  e.vk = vk;
  return e;
}

void Input::AltTap() {
  KeyDown(VK_MENU, "");
  KeyUp(VK_MENU);
}

// ============================================================================ MessageLog

MessageLog::MessageLog(HWND hwnd, std::vector<UINT> filter) : filter_(std::move(filter)), hwnd_(hwnd) {
  subclass_ = SubclassWindow(hwnd, [this](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (Wants(m.Msg)) entries.push_back({m.Msg, m.WParam, m.LParam});
    prev(m);
  });
}

MessageLog::MessageLog(cl::TControl* control, std::vector<UINT> filter)
    : filter_(std::move(filter)), control_(control) {
  previous_ = control->WindowProc;
  control->WindowProc = [this](TMessage& m) {
    if (Wants(m.Msg)) entries.push_back({m.Msg, m.WParam, m.LParam});
    previous_(m);
  };
}

MessageLog::~MessageLog() {
  if (subclass_) RemoveSubclass(hwnd_, subclass_);
  if (control_.Alive()) control_->WindowProc = previous_;
}

bool MessageLog::Wants(UINT m) const {
  return filter_.empty() || std::find(filter_.begin(), filter_.end(), m) != filter_.end();
}

std::vector<std::string> MessageLog::Names() const {
  std::vector<std::string> out;
  for (auto& e : entries) out.push_back(MessageName(e.msg));
  return out;
}

size_t MessageLog::Count(UINT m) const {
  return size_t(std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.msg == m; }));
}

}  // namespace plat::test
