// Window timers on the injected clock. A due timer becomes pending; WM_TIMER
// is produced only when nothing else is queued, at most one per timer, in
// deadline order. Setting a running timer again restarts its period.
#include "platform/win/window_internal.h"

#include "platform/rtl/clock.h"

#include <algorithm>

namespace win {
namespace detail {

namespace {
struct Timer {
  HWND hwnd;
  uintptr_t id = 0;
  UINT interval = 0;
  int64_t due = 0;
  bool pending = false;
  int64_t pendingSince = 0;
  uint64_t seq = 0;
  TIMERPROC proc = nullptr;
};
struct Timers {
  std::vector<Timer> list;
  uint64_t nextSeq = 1;
  uintptr_t nextThreadId = 0x7FFF;
};
Timers& T() {
  static Timers* t = new Timers;
  return *t;
}
int64_t NowMs() { return rtl::CurrentClock().NowMs(); }
}  // namespace

DWORD NowTick() { return DWORD(uint64_t(NowMs())); }

static void MarkDue() {
  int64_t now = NowMs();
  for (auto& t : T().list) {
    if (t.due <= now) {
      if (!t.pending) {
        t.pending = true;
        t.pendingSince = t.due;
      }
      t.due = now + std::max<UINT>(t.interval, 1);
    }
  }
}

bool TakeDueTimer(MSG& out, HWND hwnd, UINT lo, UINT hi, bool remove) {
  MarkDue();
  if (!(lo == 0 && hi == 0) && (WM_TIMER < lo || WM_TIMER > hi)) return false;
  Timer* best = nullptr;
  for (auto& t : T().list)
    if (t.pending && (!hwnd || t.hwnd == hwnd) &&
        (!best || t.pendingSince < best->pendingSince || (t.pendingSince == best->pendingSince && t.seq < best->seq)))
      best = &t;
  if (!best) return false;
  if (remove) best->pending = false;
  out = MSG();
  out.hwnd = best->hwnd;
  out.message = WM_TIMER;
  out.wParam = best->id;
  out.lParam = reinterpret_cast<LPARAM>(best->proc);
  out.time = NowTick();
  return true;
}

void KillWindowTimers(HWND h) {
  auto& l = T().list;
  l.erase(std::remove_if(l.begin(), l.end(), [&](const Timer& t) { return t.hwnd == h; }), l.end());
}

}  // namespace detail

using namespace detail;

uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapseMs, TIMERPROC proc) {
  CheckUiThread();
  if (hwnd && !Find(hwnd)) return 0;
  Timers& ts = T();
  if (!hwnd) {
    bool known = std::any_of(ts.list.begin(), ts.list.end(), [&](auto& t) { return !t.hwnd && t.id == id; });
    if (!known || id == 0) id = ++ts.nextThreadId;
  }
  int64_t due = NowMs() + std::max<UINT>(elapseMs, 1);
  for (auto& t : ts.list)
    if (t.hwnd == hwnd && t.id == id) {
      t.interval = elapseMs;
      t.due = due;
      t.pending = false;
      t.proc = proc;
      t.seq = ts.nextSeq++;
      return id ? id : 1;
    }
  Timer t;
  t.hwnd = hwnd;
  t.id = id;
  t.interval = elapseMs;
  t.due = due;
  t.proc = proc;
  t.seq = ts.nextSeq++;
  ts.list.push_back(t);
  return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, uintptr_t id) {
  auto& l = T().list;
  auto it = std::find_if(l.begin(), l.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == l.end()) return FALSE;
  l.erase(it);
  return TRUE;
}

void SetClock(rtl::Clock* clock) { rtl::SetCurrentClock(clock); }
rtl::Clock& CurrentClock() { return rtl::CurrentClock(); }
DWORD GetTickCount() { return NowTick(); }

int64_t NextTimerDue() {
  int64_t best = CaretNextDue();
  for (auto& t : T().list) {
    int64_t d = t.pending ? NowMs() : t.due;
    if (best < 0 || d < best) best = d;
  }
  return best;
}

}  // namespace win
