// The headless test harness: a NullBackend, a ManualClock, the fixed-metric
// text engine, an input injector that enters where the backend delivers
// native input, message recorders, and grabbing any window's composed image.
#pragma once

#include "platform/cl/controls.h"
#include "platform/gfx/text.h"
#include "platform/rtl/clock.h"
#include "platform/testkit/shell_fakes.h"
#include "platform/win/input.h"
#include "platform/win/window.h"

#include <QImage>

#include <string>
#include <vector>

namespace plat::test {

using win::HWND;

// Receives, when a harness ends, each exception that escaped a handler while
// it lived. The test executables install one that fails the running test; the
// harness itself links no test framework because the demo uses it too.
using EscapeReporter = void (*)(const std::string& message);
void SetEscapeReporter(EscapeReporter reporter);

// Readable name of a message number ("WM_LBUTTONDOWN", "CM_MOUSEENTER", or the number).
std::string MessageName(win::UINT msg);

// Script-style input: every call delivers the raw event and pumps until idle.
class Input {
 public:
  explicit Input(class Harness& h) : h_(h) {}
  void MoveTo(int screenX, int screenY);
  // Client coordinates of a window (or of a control, graphic ones included).
  void MoveTo(HWND hwnd, int x, int y);
  void MoveTo(cl::TControl* c, int x, int y);
  void Press(win::MouseButton b = win::MouseButton::Left);
  void Release(win::MouseButton b = win::MouseButton::Left);
  void Click(win::MouseButton b = win::MouseButton::Left);
  void DoubleClick();
  void Wheel(int delta);
  void KeyDown(uint16_t vk, const std::string& text = DefaultText);
  void KeyUp(uint16_t vk);
  // Down and up; the characters default to what the key types.
  void Key(uint16_t vk, const std::string& text = DefaultText);
  void Type(const std::string& utf8);
  // Committed input-method text: one WM_CHAR per code point.
  void ImeCommit(const std::string& utf8);
  void AltTap();
  win::POINT Cursor() const { return cursor_; }
  // Raw events delivered later, from inside whatever loop runs next (a modal
  // or move/size loop reads them itself): no pumping of their own.
  void Later(std::vector<win::RawInput> events);
  static win::RawInput MoveEvent(int x, int y);
  static win::RawInput ButtonEvent(bool down, int x, int y, win::MouseButton b = win::MouseButton::Left);
  static win::RawInput KeyEvent(bool down, uint16_t vk);

  static const std::string DefaultText;

 private:
  void Deliver(const win::RawInput& ev);
  Harness& h_;
  win::POINT cursor_;
};

class Harness {
 public:
  explicit Harness(bool fixedText = true);
  ~Harness();
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  win::NullBackend& Backend() { return backend_; }
  rtl::ManualClock& Clock() { return clock_; }
  // Dispatches until nothing is pending (posted, input, paint, due timers)
  // or a quit was asked for (win::ResetQuit clears it).
  void Pump();
  // Moves the clock forward, firing timers in deadline order, pumping after each.
  void Advance(int ms);

  // The composed pixels of a window (its window rectangle, frame included).
  QImage Grab(HWND hwnd);
  bool SavePng(HWND hwnd, const std::string& path);
  // A pixel in the client coordinates of `hwnd`, as 0x00RRGGBB.
  uint32_t Pixel(HWND hwnd, int x, int y);
  uint32_t Pixel(cl::TControl* c, int x, int y);

  size_t GdiObjectCount() const;
  size_t LiveWindowCount() const;
  // Windows or GDI objects still alive beyond what existed when the harness
  // started ("" when none): the leak check at the end of a test.
  std::string Leaks();

  // Exceptions that escaped a handler (their messages).
  std::vector<std::string> exceptions;
  Input input;
  // Installed while the harness lives: the shell services only record.
  RecordingLauncher launcher;
  RecordingSoundPlayer sound;
  RecordingPower power;

 private:
  win::NullBackend backend_;
  rtl::ManualClock clock_;
  size_t gdiBase_ = 0, windowBase_ = 0;
  gfx::FixedTextEngine fixed_;
};

// Records the messages a window (HWND-level, first in the chain) or a control
// (its WindowProc chain, graphic controls included) receives. An empty filter
// records everything.
class MessageLog {
 public:
  MessageLog(HWND hwnd, std::vector<win::UINT> filter = {});
  MessageLog(cl::TControl* control, std::vector<win::UINT> filter = {});
  ~MessageLog();
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;

  struct Entry {
    win::UINT msg;
    win::WPARAM wParam;
    win::LPARAM lParam;
  };
  std::vector<Entry> entries;
  std::vector<std::string> Names() const;
  void Clear() { entries.clear(); }
  size_t Count(win::UINT msg) const;

 private:
  bool Wants(win::UINT m) const;
  std::vector<win::UINT> filter_;
  HWND hwnd_;
  int subclass_ = 0;
  cl::Keep<cl::TControl> control_;
  std::function<void(win::TMessage&)> previous_;
};

}  // namespace plat::test
