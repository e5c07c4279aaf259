// The message queue and loop: posted messages (from any thread), routed
// input, quit, synthesised WM_PAINT and WM_TIMER, the pre-dispatch hooks and
// nested modal frames.
#include "platform/win/window_internal.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/dispatcher.h"

#include <algorithm>
#include <atomic>

namespace win {
namespace detail {

namespace {
struct Loop {
  std::mutex postLock;
  std::deque<MSG> posted;  // guarded by postLock
  std::atomic<bool> quit{false};
  std::atomic<int> quitCode{0};
  std::deque<MSG> input;  // routed input waiting for retrieval (UI thread)
  std::vector<std::pair<int, PreDispatchHook>> hooks;
  int nextHookId = 1;
  std::function<bool(MSG&)> keyPre;
  int modalDepth = 0;
};
Loop& L() {
  static Loop* l = new Loop;
  return *l;
}

bool Matches(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
  if (hwnd && m.hwnd != hwnd) return false;
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}
}  // namespace

std::deque<MSG>& InputMessages() { return L().input; }

void DropPostsFor(HWND h) {
  Loop& l = L();
  std::lock_guard<std::mutex> g(l.postLock);
  if (!h) {
    l.posted.clear();
  } else {
    l.posted.erase(std::remove_if(l.posted.begin(), l.posted.end(), [&](const MSG& m) { return m.hwnd == h; }),
                   l.posted.end());
  }
  if (h) {
    auto& in = l.input;
    in.erase(std::remove_if(in.begin(), in.end(), [&](const MSG& m) { return m.hwnd == h; }), in.end());
  } else {
    l.input.clear();
  }
}

}  // namespace detail

using namespace detail;

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  State& s = S();
  // On the UI thread a dead target is refused at once; from a worker the
  // check happens at retrieval.
  if (hwnd && s.uiThreadSet.load() && s.uiThread.load() == std::this_thread::get_id() && !Find(hwnd)) return FALSE;
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  {
    std::lock_guard<std::mutex> g(L().postLock);
    L().posted.push_back(m);
  }
  WakeLoop();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  L().quitCode = exitCode;
  L().quit = true;
  WakeLoop();
}

bool QuitRequested() { return L().quit; }
void ResetQuit() { L().quit = false; }

BOOL PeekMessage(MSG* out, HWND hwnd, UINT lo, UINT hi, UINT flags) {
  CheckUiThread();
  Loop& l = L();
  bool remove = flags & PM_REMOVE;
  Backend().PollNative();
  // 0. calls queued by workers on the dispatcher run here, in the loop's
  // order; the message that stands for them is WM_NULL, so only a filter
  // that admits WM_NULL takes them.
  if (rtl::PendingCalls() > 0 && Matches(MSG{nullptr, WM_NULL, 0, 0, 0, {}, 0}, hwnd, lo, hi)) {
    if (remove) rtl::CheckSynchronize();
    *out = MSG();
    out->message = WM_NULL;
    return TRUE;
  }
  // 1. posted messages (dead targets dropped)
  {
    std::lock_guard<std::mutex> g(l.postLock);
    for (auto it = l.posted.begin(); it != l.posted.end();) {
      if (it->hwnd && !Find(it->hwnd)) {
        it = l.posted.erase(it);
        continue;
      }
      if (Matches(*it, hwnd, lo, hi)) {
        *out = *it;
        out->time = NowTick();
        if (remove) l.posted.erase(it);
        return TRUE;
      }
      ++it;
    }
  }
  // 2. input
  for (;;) {
    for (auto it = l.input.begin(); it != l.input.end();) {
      if (it->hwnd && !Find(it->hwnd)) {
        it = l.input.erase(it);
        continue;
      }
      if (Matches(*it, hwnd, lo, hi)) {
        *out = *it;
        if (remove) l.input.erase(it);
        return TRUE;
      }
      ++it;
    }
    if (!HaveInput()) break;
    std::deque<MSG> routed;
    TranslateNextInput(routed);
    l.input.insert(l.input.end(), routed.begin(), routed.end());
  }
  // 3. quit
  if (l.quit && !hwnd) {
    *out = MSG();
    out->message = WM_QUIT;
    out->wParam = WPARAM(l.quitCode.load());
    return TRUE;
  }
  CaretTick();
  // 4. paint, parents first
  if (HWND p = NextPaintWindow(hwnd); p && Matches(MSG{p, WM_PAINT, 0, 0, 0, {}, 0}, hwnd, lo, hi)) {
    *out = MSG();
    out->hwnd = p;
    out->message = WM_PAINT;
    out->time = NowTick();
    return TRUE;
  }
  // 5. timers; a look without removing answers for the filter too
  if (MSG t; TakeDueTimer(t, hwnd, lo, hi, remove)) {
    *out = t;
    return TRUE;
  }
  return FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT lo, UINT hi) {
  while (!PeekMessage(msg, hwnd, lo, hi, PM_REMOVE)) WaitMessage();
  return msg->message != WM_QUIT;
}

LRESULT DispatchMessage(const MSG* msg) {
  CheckUiThread();
  if (!msg) return 0;
  LRESULT r = 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    try {
      proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    } catch (...) {
      HandleDispatchException(std::current_exception());
    }
    FlushAll();
    return 0;
  }
  if (!msg->hwnd) return 0;
  std::shared_ptr<Window> keep = Keep(msg->hwnd);
  if (!keep) return 0;  // destroyed before delivery
  Window* w = keep.get();
  if (msg->message == WM_PAINT) {
    if (w->inPaint) return 0;
    w->paintServed = false;
  }
  try {
    r = SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  } catch (...) {
    // A paint handler that threw between BeginPaint and EndPaint must not
    // leave the window marked as painting for ever.
    if (msg->message == WM_PAINT) w->inPaint = false;
    HandleDispatchException(std::current_exception());
  }
  if (msg->message == WM_PAINT && w->alive && !w->paintServed && !w->inPaint) {
    // Nobody painted: validate, or the window would be asked forever.
    w->update.Clear();
    w->erase = false;
  }
  FlushAll();
  return r;
}

BOOL WaitMessage() { return MsgWaitForEvents(-1) ? TRUE : FALSE; }

bool MsgWaitForEvents(int timeoutMs) {
  MSG m;
  if (PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) return true;
  int64_t due = NextTimerDue();
  int wait = timeoutMs;
  if (due >= 0) {
    int64_t left = std::max<int64_t>(0, due - rtl::CurrentClock().NowMs());
    if (wait < 0 || left < wait) wait = int(std::min<int64_t>(left, 1 << 30));
  }
  Backend().WaitNative(wait);
  rtl::CheckSynchronize();  // also drains the dispatcher's wake-up
  return PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

void WakeLoop() { Backend().Wake(); }

int AddPreDispatchHook(PreDispatchHook hook) {
  int id = L().nextHookId++;
  L().hooks.emplace_back(id, std::move(hook));
  return id;
}

void RemovePreDispatchHook(int id) {
  auto& h = L().hooks;
  h.erase(std::remove_if(h.begin(), h.end(), [&](auto& e) { return e.first == id; }), h.end());
}

void SetKeyPreprocessor(std::function<bool(MSG&)> fn) { L().keyPre = std::move(fn); }

bool HandleOneMessage() {
  MSG m;
  if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) return false;
  if (m.message == WM_QUIT) return true;  // the quit flag stays set for every frame
  bool handled = false;
  auto hooks = L().hooks;
  try {
    for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it) it->second(m, handled);
    if (!handled && L().keyPre &&
        (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN || m.message == WM_CHAR || m.message == WM_SYSCHAR ||
         m.message == WM_KEYUP || m.message == WM_SYSKEYUP))
      handled = L().keyPre(m);
  } catch (...) {
    HandleDispatchException(std::current_exception());
    handled = true;
  }
  if (handled || m.message == WM_NULL) {
    FlushAll();
    return true;
  }
  TranslateMessage(&m);
  DispatchMessage(&m);
  return true;
}

void ProcessMessages() {
  while (!L().quit && HandleOneMessage()) {
  }
}

bool RunModalLoop(HWND, const std::function<bool()>& done) {
  Loop& l = L();
  l.modalDepth++;
  bool ok = true;
  while (!done()) {
    if (l.quit) {
      ok = false;
      break;
    }
    if (!HandleOneMessage()) {
      if (done()) break;
      WaitMessage();
    }
  }
  l.modalDepth--;
  return ok;
}

int ModalDepth() { return L().modalDepth; }

}  // namespace win
