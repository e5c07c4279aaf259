#include "platform/win/caret.h"

#include "platform/gfx/raster.h"
#include "platform/rtl/clock.h"
#include "platform/win/window_internal.h"

namespace win {
namespace detail {

namespace {
struct Caret {
  HWND owner;
  int w = 1, h = 1;
  POINT pos;
  int hideCount = 1;
  bool drawn = false;
  bool hiddenForPaint = false;
  int64_t nextBlink = 0;
  UINT blinkMs = 530;
};
Caret& C() {
  static Caret* c = new Caret;
  return *c;
}
int64_t Now() { return rtl::CurrentClock().NowMs(); }

void Invert() {
  Caret& c = C();
  gfx::HDC dc = GetDC(c.owner);
  if (!dc) return;
  RECT r{c.pos.X, c.pos.Y, c.pos.X + c.w, c.pos.Y + c.h};
  gfx::InvertRect(dc, &r);
  ReleaseDC(c.owner, dc);
}

void SetDrawn(bool on) {
  Caret& c = C();
  if (c.drawn == on || !Find(c.owner)) return;
  Invert();
  c.drawn = on;
}

void Restart() {
  Caret& c = C();
  c.nextBlink = Now() + c.blinkMs;
}
}  // namespace

void CaretTick() {
  Caret& c = C();
  if (!c.owner || c.hideCount > 0 || c.hiddenForPaint || c.blinkMs == 0) return;
  int64_t now = Now();
  if (now < c.nextBlink) return;
  SetDrawn(!c.drawn);
  c.nextBlink = now + c.blinkMs;
}

int64_t CaretNextDue() {
  Caret& c = C();
  if (!c.owner || c.hideCount > 0 || c.blinkMs == 0) return -1;
  return c.nextBlink;
}

void CaretBeforePaint(Window* w) {
  Caret& c = C();
  if (c.owner != w->handle || c.hiddenForPaint) return;
  c.hiddenForPaint = true;
  SetDrawn(false);
}

void CaretAfterPaint(Window* w) {
  Caret& c = C();
  if (c.owner != w->handle || !c.hiddenForPaint) return;
  c.hiddenForPaint = false;
  if (c.hideCount == 0) {
    SetDrawn(true);
    Restart();
  }
}

void CaretOwnerDestroyed(HWND h) {
  Caret& c = C();
  if (c.owner == h) {
    c.owner = nullptr;
    c.drawn = false;
    c.hiddenForPaint = false;
  }
}

}  // namespace detail

using namespace detail;

BOOL CreateCaret(HWND hwnd, gfx::HBITMAP, int width, int height) {
  CheckUiThread();
  if (!Find(hwnd)) return FALSE;
  DestroyCaret();
  Caret& c = C();
  c.owner = hwnd;
  c.w = width > 0 ? width : 1;
  c.h = height > 0 ? height : 1;
  c.pos = {0, 0};
  c.hideCount = 1;
  c.drawn = false;
  c.hiddenForPaint = false;
  return TRUE;
}

BOOL DestroyCaret() {
  Caret& c = C();
  if (!c.owner) return FALSE;
  SetDrawn(false);
  c.owner = nullptr;
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  Caret& c = C();
  if (!c.owner || (hwnd && hwnd != c.owner) || c.hideCount == 0) return FALSE;
  if (--c.hideCount == 0 && !c.hiddenForPaint) {
    SetDrawn(true);
    Restart();
  }
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  Caret& c = C();
  if (!c.owner || (hwnd && hwnd != c.owner)) return FALSE;
  c.hideCount++;
  SetDrawn(false);
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  Caret& c = C();
  if (!c.owner) return FALSE;
  bool was = c.drawn;
  SetDrawn(false);
  c.pos = {x, y};
  if (was || (c.hideCount == 0 && !c.hiddenForPaint)) {
    SetDrawn(true);
    Restart();
  }
  return TRUE;
}

BOOL GetCaretPos(POINT* p) {
  if (!p || !C().owner) return FALSE;
  *p = C().pos;
  return TRUE;
}

UINT GetCaretBlinkTime() { return C().blinkMs; }

BOOL SetCaretBlinkTime(UINT ms) {
  C().blinkMs = ms;
  Restart();
  return TRUE;
}

bool CaretDrawn() { return C().drawn; }

bool CaretRectInTop(HWND topLevel, TRect* r) {
  Caret& c = C();
  Window* w = Find(c.owner);
  if (!w || !r || TopLevelOf(w)->handle != topLevel) return false;
  TPoint o = OriginInTop(w);
  int x = o.X + w->client.Left + c.pos.X, y = o.Y + w->client.Top + c.pos.Y;
  *r = {x, y, x + c.w, y + c.h};
  return true;
}

}  // namespace win
