// What every self-driving demo needs to run under Xvfb: a loop that keeps
// pumping while it waits (the X server's input needs a reader), external
// tools such as xdotool run without blocking that loop, and a grab of the
// whole screen.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/window.h"

namespace cl {
class TControl;
}

namespace demokit {

// Pumps the layer's loop until done() holds or ms pass; false on time-out.
template <class F>
bool PumpUntil(F done, int ms = 20000) {
  auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    win::MsgWaitForEvents(10);
    win::ProcessMessages();
  }
  return true;
}

void PumpFor(int ms);

// Runs a program (searched on PATH, no shell) while the loop keeps pumping;
// true when it exited with 0. whilePumping runs on every turn of the wait.
bool RunTool(const std::vector<std::string>& argv, std::function<void()> whilePumping = nullptr);

// The same, returning what the program wrote to its standard output.
std::string Capture(const std::vector<std::string>& argv);

// Lets the screen settle for settleMs, then saves the whole screen as PNG
// and says so on standard output.
void Shot(const std::string& path, int settleMs = 200);

// The pointer moved (and clicked, times over) through xdotool, the X
// server's own input path, at a screen point or at a control's client
// point; the loop then pumps for pumpMs so the window sees it.
void MouseTo(int x, int y, int pumpMs = 150);
void ClickAt(int x, int y, int times = 1, int pumpMs = 150);
void MouseTo(cl::TControl* c, int x, int y, int pumpMs = 150);
void ClickAt(cl::TControl* c, int x, int y, int times = 1, int pumpMs = 150);
void ClickCentre(cl::TControl* c, int pumpMs = 150);

}  // namespace demokit
