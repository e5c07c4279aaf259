// Input routing (hit test, capture, activation on press, parent notify,
// double clicks, leave tracking), the keyboard, focus and activation.
#include "platform/win/window_internal.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

namespace win {
namespace detail {

namespace {
struct InputState {
  std::deque<RawInput> raw;
  HWND capture, focus, active;
  POINT cursor;
  uint8_t keys[256] = {};  // 0x80 down, 0x01 toggled
  uint32_t leftReleases = 0;
  struct LastPress {
    bool valid = false;
    MouseButton button = MouseButton::Left;
    DWORD time = 0;
    POINT pt;
    HWND hwnd;
    bool nc = false;
  } last;
  std::set<uint32_t> leaveTracked;
  std::function<void(HWND, POINT)> trackHook;
  std::map<DWORD, std::string> pendingChars;
  DWORD nextKeySeq = 1;
  bool altAlone = false;
};
InputState& I() {
  static InputState* s = new InputState;
  return *s;
}

bool InShape(Window* w, int x, int y) {  // x, y in w's parent-client coordinates (screen for top-levels)
  const TRect& r = w->rect;
  if (x < r.Left || y < r.Top || x >= r.Right || y >= r.Bottom) return false;
  if (w->region && !gfx::PtInRegion(w->region, x - r.Left, y - r.Top)) return false;
  // A layered window takes input only where its pixels are solid enough.
  if (w->alphaShape && !gfx::PtInRegion(w->alphaShape, x - r.Left, y - r.Top)) return false;
  return true;
}

// Deepest visible window under a screen point. With `enabledOnly`, a disabled
// child hands the point to its parent.
Window* Deepest(POINT pt, bool enabledOnly) {
  Window* top = nullptr;
  auto& tops = S().topLevels;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    Window* t = it->get();
    // A layered window with WS_EX_TRANSPARENT lets clicks through.
    if ((t->exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT)) continue;
    if (t->visible() && !t->minimized && InShape(t, pt.X, pt.Y)) {
      top = t;
      break;
    }
  }
  if (!top) return nullptr;
  Window* w = top;
  for (;;) {
    TPoint o = ScreenOrigin(w);
    int cx = pt.X - o.X - w->client.Left, cy = pt.Y - o.Y - w->client.Top;
    if (cx < 0 || cy < 0 || cx >= w->client.Width() || cy >= w->client.Height()) break;
    Window* next = nullptr;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
      Window* c = it->get();
      if (!c->visible() || !InShape(c, cx, cy)) continue;
      if (enabledOnly && (c->style & WS_DISABLED)) break;
      next = c;
      break;
    }
    if (!next) break;
    w = next;
  }
  return w;
}

UINT KeysNow() {
  InputState& s = I();
  UINT k = 0;
  if (s.keys[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
  if (s.keys[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
  if (s.keys[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
  if (s.keys[VK_SHIFT] & 0x80) k |= MK_SHIFT;
  if (s.keys[VK_CONTROL] & 0x80) k |= MK_CONTROL;
  return k;
}

uint16_t ButtonVk(MouseButton b) {
  return b == MouseButton::Left ? VK_LBUTTON : b == MouseButton::Right ? VK_RBUTTON : VK_MBUTTON;
}

UINT ClientMsg(RawKind k, MouseButton b, bool dbl) {
  if (k == RawKind::MouseMove) return WM_MOUSEMOVE;
  UINT base = b == MouseButton::Left ? WM_LBUTTONDOWN : b == MouseButton::Right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  if (k == RawKind::ButtonUp) return base + 1;
  return dbl ? base + 2 : base;
}

MSG Make(HWND h, UINT m, WPARAM w, LPARAM l) {
  MSG msg;
  msg.hwnd = h;
  msg.message = m;
  msg.wParam = w;
  msg.lParam = l;
  msg.time = NowTick();
  msg.pt = I().cursor;
  return msg;
}

void CheckLeave(Window* under, std::deque<MSG>& out) {
  InputState& s = I();
  for (auto it = s.leaveTracked.begin(); it != s.leaveTracked.end();) {
    HWND h{*it};
    Window* w = Find(h);
    bool inside = false;
    if (w && under == w) {
      POINT p = s.cursor;
      ScreenToClient(h, &p);
      inside = p.X >= 0 && p.Y >= 0 && p.X < w->client.Width() && p.Y < w->client.Height();
    }
    if (!inside) {
      if (w) out.push_back(Make(h, WM_MOUSELEAVE, 0, 0));
      it = s.leaveTracked.erase(it);
    } else {
      ++it;
    }
  }
}

bool RouteMouse(const RawInput& ev, std::deque<MSG>& out) {
  InputState& s = I();
  s.cursor = ev.pt;
  if (ev.kind == RawKind::ButtonDown) s.keys[ButtonVk(ev.button)] |= 0x80;
  if (ev.kind == RawKind::ButtonUp) s.keys[ButtonVk(ev.button)] &= ~0x80;
  if (ev.kind == RawKind::ButtonUp && ev.button == MouseButton::Left) ++s.leftReleases;
  Window* physical = Deepest(ev.pt, false);
  HWND physicalH = physical ? physical->handle : HWND();
  if (s.trackHook) s.trackHook(physicalH, ev.pt);
  CheckLeave(Find(physicalH), out);

  if (ev.kind == RawKind::Wheel) {
    HWND t = s.focus ? s.focus : s.active;
    if (t)
      out.push_back(Make(t, WM_MOUSEWHEEL, MAKEWPARAM(int(KeysNow()), ev.wheelDelta), MAKELPARAM(ev.pt.X, ev.pt.Y)));
    return true;
  }

  Window* target = nullptr;
  int hit = HTCLIENT;
  HWND cap = s.capture;
  if (cap && Find(cap)) {
    target = Find(cap);
  } else {
    target = Deepest(ev.pt, true);
    if (!target) return true;
    for (;;) {
      HWND th = target->handle;
      hit = int(SendMessage(th, WM_NCHITTEST, 0, MAKELPARAM(ev.pt.X, ev.pt.Y)));
      target = Find(th);
      if (!target) return true;
      if (hit == HTTRANSPARENT && target->parent) {
        target = target->parent;
        continue;
      }
      break;
    }
    if (hit == HTTRANSPARENT || hit == HTNOWHERE) hit = target->parent ? HTCLIENT : HTNOWHERE;
  }
  Window* top = TopLevelOf(target);
  if ((top->style & WS_DISABLED) || (target->style & WS_DISABLED)) return true;
  HWND th = target->handle;
  UINT clientMsg = ClientMsg(ev.kind, ev.button, false);
  bool nc = !cap && hit != HTCLIENT;
  if (!cap) {
    SendMessage(th, WM_SETCURSOR, WPARAM(th.v),
                MAKELPARAM(hit, int(nc ? clientMsg - WM_MOUSEMOVE + WM_NCMOUSEMOVE : clientMsg)));
    if (!Find(th)) return true;
  }
  bool dbl = false;
  if (ev.kind == RawKind::ButtonDown) {
    if (s.active != top->handle && IsActivatable(top)) {
      LRESULT r = SendMessage(th, WM_MOUSEACTIVATE, WPARAM(top->handle.v), MAKELPARAM(hit, int(clientMsg)));
      if (!Find(th)) return true;
      if (r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT || r == 0) ActivateTop(top, WA_CLICKACTIVE);
      if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT || !Find(th)) return true;
    }
    // Every ancestor hears of a press in a child. The walk goes parent to
    // parent and never back to the child, which a handler may destroy.
    for (Window* c = Find(th); c && c->parent;) {
      if (c->exStyle & WS_EX_NOPARENTNOTIFY) break;
      HWND ph = c->parent->handle;
      POINT p = ev.pt;
      ScreenToClient(ph, &p);
      SendMessage(ph, WM_PARENTNOTIFY, MAKEWPARAM(int(clientMsg), 0), MAKELPARAM(p.X, p.Y));
      c = Find(ph);
    }
    if (!Find(th)) return true;
    target = Find(th);
    DWORD now = NowTick();
    auto& L = s.last;
    if (L.valid && L.button == ev.button && L.hwnd == th && L.nc == nc && now - L.time <= GetDoubleClickTime() &&
        std::abs(L.pt.X - ev.pt.X) <= 2 && std::abs(L.pt.Y - ev.pt.Y) <= 2 &&
        (nc || (target->classStyle & CS_DBLCLKS))) {
      dbl = true;
      L.valid = false;
    } else {
      L = {true, ev.button, now, ev.pt, th, nc};
    }
  }
  UINT m = ClientMsg(ev.kind, ev.button, dbl);
  if (nc) {
    out.push_back(Make(th, m - WM_MOUSEMOVE + WM_NCMOUSEMOVE, WPARAM(hit), MAKELPARAM(ev.pt.X, ev.pt.Y)));
  } else {
    POINT p = ev.pt;
    ScreenToClient(th, &p);
    out.push_back(Make(th, m, KeysNow(), MAKELPARAM(p.X, p.Y)));
  }
  return true;
}

bool RouteKey(const RawInput& ev, std::deque<MSG>& out) {
  InputState& s = I();
  bool down = ev.kind == RawKind::KeyDown;
  uint8_t& ks = s.keys[ev.vk & 0xFF];
  bool wasDown = ks & 0x80;
  if (down) {
    if (!wasDown) ks ^= 0x01;
    ks |= 0x80;
  } else {
    ks &= ~0x80;
  }
  // Left/right variants feed the generic keys.
  auto sync = [&](uint16_t generic, uint16_t l, uint16_t r) {
    if (ev.vk == l || ev.vk == r) s.keys[generic] = (s.keys[l] | s.keys[r]) & 0x80;
  };
  sync(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
  sync(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
  sync(VK_MENU, VK_LMENU, VK_RMENU);
  bool alt = s.keys[VK_MENU] & 0x80;
  bool isAlt = ev.vk == VK_MENU || ev.vk == VK_LMENU || ev.vk == VK_RMENU;
  if (down) s.altAlone = isAlt ? (!wasDown || s.altAlone) : false;

  HWND target = s.focus ? s.focus : s.active;
  if (!target) return true;
  bool sys = alt || ev.vk == VK_F10 || (!s.focus && s.active);
  if (isAlt && !down) sys = true;
  LPARAM lp = 1 | (alt ? (1 << 29) : 0) | ((wasDown || !down) ? (1 << 30) : 0);
  if (!down) lp |= LPARAM(1u << 31);
  UINT m = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  MSG msg = Make(target, m, ev.vk, lp);
  if (down && !ev.text.empty()) {
    msg.lPrivate = s.nextKeySeq++;
    s.pendingChars[msg.lPrivate] = ev.text;
    if (s.pendingChars.size() > 64) s.pendingChars.erase(s.pendingChars.begin());
  }
  out.push_back(msg);
  // A lone Alt tap (or F10 release) opens the menu of the active window.
  if (!down && ((isAlt && s.altAlone) || ev.vk == VK_F10) && s.active) {
    s.altAlone = false;
    out.push_back(Make(s.active, WM_SYSCOMMAND, SC_KEYMENU, 0));
  }
  return true;
}

std::vector<uint32_t> DecodeUtf8(const std::string& s) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    uint32_t cp;
    int n;
    if (c < 0x80) {
      cp = c;
      n = 1;
    } else if ((c >> 5) == 6) {
      cp = c & 0x1F;
      n = 2;
    } else if ((c >> 4) == 14) {
      cp = c & 0x0F;
      n = 3;
    } else if ((c >> 3) == 30) {
      cp = c & 0x07;
      n = 4;
    } else {
      i++;
      continue;
    }
    if (i + size_t(n) > s.size()) break;
    for (int k = 1; k < n; k++) cp = (cp << 6) | (uint8_t(s[i + size_t(k)]) & 0x3F);
    out.push_back(cp);
    i += size_t(n);
  }
  return out;
}

}  // namespace

bool HaveInput() { return !I().raw.empty(); }

bool TranslateNextInput(std::deque<MSG>& out) {
  InputState& s = I();
  if (s.raw.empty()) return false;
  RawInput ev = s.raw.front();
  s.raw.pop_front();
  if (ev.kind == RawKind::KeyDown || ev.kind == RawKind::KeyUp) return RouteKey(ev, out);
  return RouteMouse(ev, out);
}

bool IsActivatable(Window* w) {
  if (!w || w->parent || w->messageOnly || !w->alive) return false;
  if (w->exStyle & WS_EX_NOACTIVATE) return false;
  if ((w->style & WS_POPUP) && (w->exStyle & WS_EX_TOOLWINDOW)) return false;
  if (w->style & WS_DISABLED) return false;
  return true;
}

void ActivateTop(Window* top, UINT how) {
  InputState& s = I();
  HWND newH = top ? top->handle : HWND();
  HWND old = s.active;
  if (old == newH) return;
  if (Find(old)) {
    // The old window may refuse to lose its active look.
    if (!SendMessage(old, WM_NCACTIVATE, FALSE, LPARAM(newH.v)) && Find(old)) return;
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, LPARAM(newH.v));
    if (s.focus && (s.focus == old || IsChild(old, s.focus))) {
      HWND f = s.focus;
      s.focus = nullptr;
      SendMessage(f, WM_KILLFOCUS, 0, 0);
    }
  }
  if (newH && !Find(newH)) return;
  s.active = newH;
  if (!newH) return;
  // The activated window comes to the top of its band (its owned windows above it).
  SetWindowPos(newH, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!Find(newH) || s.active != newH) return;
  if (top->surface) Backend().RequestActivate(top->surface);
  SendMessage(newH, WM_NCACTIVATE, TRUE, LPARAM(old.v));
  if (Find(newH) && s.active == newH)
    SendMessage(newH, WM_ACTIVATE, MAKEWPARAM(int(how), top->minimized ? 1 : 0), LPARAM(old.v));
}

void OnWindowDestroying(Window* w) {
  InputState& s = I();
  HWND h = w->handle;
  if (s.capture == h) {
    s.capture = nullptr;
    if (Window* top = TopLevelOf(w); top && top->surface) Backend().GrabPointer(top->surface, false);
  }
  if (s.focus == h) s.focus = nullptr;
  if (s.active == h) s.active = nullptr;
  s.leaveTracked.erase(h.v);
  if (s.last.hwnd == h) s.last.valid = false;
  CaretOwnerDestroyed(h);
}

}  // namespace detail

using namespace detail;

void DeliverInput(const RawInput& ev) {
  CheckUiThread();
  I().raw.push_back(ev);
}

void DeliverCloseRequest(HWND topLevel) { PostMessage(topLevel, WM_SYSCOMMAND, SC_CLOSE, 0); }

void DeliverActivation(HWND topLevel, bool active) {
  Window* w = Find(topLevel);
  if (active && w) {
    Window* top = TopLevelOf(w);
    if (!IsActivatable(top)) {
      if (Window* cur = Find(I().active); cur && cur->surface) Backend().RequestActivate(cur->surface);
      return;
    }
    ActivateTop(top, WA_ACTIVE);
  } else if (!active && I().active == topLevel) {
    ActivateTop(nullptr, WA_INACTIVE);
  }
}

void DeliverWindowState(HWND topLevel, bool minimized) {
  Window* w = Find(topLevel);
  if (!w || w->minimized == minimized) return;
  PostMessage(topLevel, WM_SYSCOMMAND, minimized ? SC_MINIMIZE : SC_RESTORE, 0);
}

void DeliverGeometry(HWND topLevel, const TRect& r) {
  Window* w = Find(topLevel);
  if (!w || w->parent || w->rect == r) return;
  SetWindowPos(topLevel, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

size_t PendingInputCount() { return I().raw.size(); }

void SetMouseTrackHook(std::function<void(HWND, POINT)> hook) { I().trackHook = std::move(hook); }

HWND SetCapture(HWND hwnd) {
  CheckUiThread();
  InputState& s = I();
  HWND old = s.capture;
  if (old == hwnd) return old;
  Window* w = Find(hwnd);
  if (hwnd && !w) return old;
  s.capture = hwnd;
  if (Find(old)) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(hwnd.v));
  // The loser's handler may have destroyed the new owner or taken the capture elsewhere.
  w = Find(hwnd);
  if (!w || s.capture != hwnd) return old;
  if (Window* top = TopLevelOf(w); top && top->surface) Backend().GrabPointer(top->surface, true);
  return old;
}

BOOL ReleaseCapture() {
  CheckUiThread();
  InputState& s = I();
  HWND old = s.capture;
  if (!old) return TRUE;
  s.capture = nullptr;
  Window* w = Find(old);
  if (Window* top = TopLevelOf(w); top && top->surface) Backend().GrabPointer(top->surface, false);
  if (w) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return Find(I().capture) ? I().capture : HWND(); }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
  if (!tme) return FALSE;
  InputState& s = I();
  if (tme->dwFlags & TME_CANCEL) {
    if (tme->dwFlags & TME_LEAVE) s.leaveTracked.erase(tme->hwndTrack.v);
    return TRUE;
  }
  if (!(tme->dwFlags & TME_LEAVE)) return TRUE;
  Window* w = Find(tme->hwndTrack);
  if (!w) return FALSE;
  Window* under = Deepest(s.cursor, false);
  POINT p = s.cursor;
  ScreenToClient(tme->hwndTrack, &p);
  bool inside = under == w && p.X >= 0 && p.Y >= 0 && p.X < w->client.Width() && p.Y < w->client.Height();
  if (!inside)
    PostMessage(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
  else
    s.leaveTracked.insert(tme->hwndTrack.v);
  return TRUE;
}

HWND WindowFromPoint(POINT screen) {
  Window* w = Deepest(screen, true);
  return w ? w->handle : HWND();
}

HWND ChildWindowFromPoint(HWND parent, POINT client) {
  Window* p = Find(parent);
  if (!p) return nullptr;
  if (client.X < 0 || client.Y < 0 || client.X >= p->client.Width() || client.Y >= p->client.Height()) return nullptr;
  for (auto it = p->children.rbegin(); it != p->children.rend(); ++it)
    if (InShape(it->get(), client.X, client.Y)) return (*it)->handle;
  return parent;
}

BOOL GetCursorPos(POINT* p) {
  if (!p) return FALSE;
  *p = I().cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  I().cursor = {x, y};
  return TRUE;
}

int16_t GetKeyState(int vk) {
  uint8_t k = I().keys[vk & 0xFF];
  return int16_t(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

uint32_t LeftButtonReleases() { return I().leftReleases; }

int16_t GetAsyncKeyState(int vk) { return int16_t((I().keys[vk & 0xFF] & 0x80) ? 0x8000 : 0); }

UINT GetDoubleClickTime() { return 500; }

HWND SetFocus(HWND hwnd) {
  CheckUiThread();
  InputState& s = I();
  HWND old = s.focus;
  if (hwnd == old) return old;
  Window* w = Find(hwnd);
  if (hwnd && !w) return nullptr;
  if (w) {
    Window* top = TopLevelOf(w);
    if (top->messageOnly) return nullptr;
    if (s.active != top->handle) {
      // Popups that never take activation never take the focus either.
      if (!IsActivatable(top)) return nullptr;
      ActivateTop(top, WA_ACTIVE);
      if (!Find(hwnd) || s.active != top->handle) return nullptr;
      if (s.focus == hwnd) return old;
    }
  }
  old = s.focus;
  if (Find(old)) {
    SendMessage(old, WM_KILLFOCUS, WPARAM(hwnd.v), 0);
    if (s.focus != old) return old;  // the handler moved the focus itself
  }
  if (hwnd && !Find(hwnd)) return old;
  s.focus = hwnd;
  if (hwnd) SendMessage(hwnd, WM_SETFOCUS, WPARAM(old.v), 0);
  return old;
}

HWND GetFocus() { return Find(I().focus) ? I().focus : HWND(); }
HWND GetActiveWindow() { return Find(I().active) ? I().active : HWND(); }

HWND SetActiveWindow(HWND hwnd) {
  CheckUiThread();
  HWND old = GetActiveWindow();
  Window* w = Find(hwnd);
  if (hwnd && !w) return nullptr;
  Window* top = w ? TopLevelOf(w) : nullptr;
  if (top && !IsActivatable(top)) return nullptr;
  ActivateTop(top, WA_ACTIVE);
  return old;
}

BOOL SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) || GetActiveWindow() == hwnd; }
HWND GetForegroundWindow() { return GetActiveWindow(); }

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) || !msg->lPrivate) return FALSE;
  InputState& s = I();
  auto it = s.pendingChars.find(msg->lPrivate);
  if (it == s.pendingChars.end()) return FALSE;
  std::string text = it->second;
  s.pendingChars.erase(it);
  UINT m = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  auto& q = InputMessages();
  std::vector<MSG> chars;
  for (uint32_t cp : DecodeUtf8(text)) chars.push_back(Make(msg->hwnd, m, cp, msg->lParam));
  q.insert(q.begin(), chars.begin(), chars.end());
  return TRUE;
}

}  // namespace win
