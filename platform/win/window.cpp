// Window objects, the handle table, procedures and subclass chains, sending,
// geometry and z-order, and the default window procedure.
#include "platform/win/window_internal.h"

#include "platform/win/cursor.h"

#include "platform/gfx/color.h"
#include "platform/gfx/raster.h"
#include "platform/rtl/dispatcher.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace win {
namespace detail {

namespace {
constexpr uint32_t kIndexBits = 20;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr uint16_t kMaxGen = 0xFFE;  // keeps the special HWND_* values out of reach
}  // namespace

State& S() {
  // Never destroyed: windows still alive at exit must not reach a torn-down GDI table.
  static State* s = [] {
    auto* st = new State;
    st->procs.emplace_back();  // id 0 = none
    st->procs.push_back(
        std::make_shared<WndProcFn>([](HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }));
    st->wtable.emplace_back();
    st->gens.push_back(0);
    return st;
  }();
  return *s;
}

void CheckUiThread() {
  State& s = S();
  if (!s.uiThreadSet.load(std::memory_order_acquire)) {
    s.uiThread.store(std::this_thread::get_id());
    s.uiThreadSet.store(true, std::memory_order_release);
    // Waits of the UI thread for workers keep the windows alive.
    if (rtl::IsMainThread()) rtl::SetPumpHook([] { ProcessMessages(); });
  }
#ifndef NDEBUG
  if (s.uiThread.load() != std::this_thread::get_id())
    throw std::logic_error("window system called outside the UI thread");
#endif
}

Window* Find(HWND h) {
  if (!h) return nullptr;
  State& s = S();
  uint32_t idx = h.v & kIndexMask;
  uint32_t gen = h.v >> kIndexBits;
  if (idx == 0 || idx >= s.wtable.size() || !s.wtable[idx] || s.gens[idx] != gen) return nullptr;
  Window* w = s.wtable[idx].get();
  return w->alive ? w : nullptr;
}

std::shared_ptr<Window> Keep(HWND h) {
  if (!Find(h)) return nullptr;
  return S().wtable[h.v & kIndexMask];
}

Window* TopLevelOf(Window* w) {
  while (w && w->parent) w = w->parent;
  return w;
}

TPoint OriginInTop(Window* w) {
  TPoint p{0, 0};
  while (w && w->parent) {
    p.X += w->rect.Left + w->parent->client.Left;
    p.Y += w->rect.Top + w->parent->client.Top;
    w = w->parent;
  }
  return p;
}

TPoint ScreenOrigin(Window* w) {
  TPoint p = OriginInTop(w);
  Window* top = TopLevelOf(w);
  if (top) {
    p.X += top->rect.Left;
    p.Y += top->rect.Top;
  }
  return p;
}

bool VisibleChain(Window* w) {
  for (; w; w = w->parent)
    if (!w->visible()) return false;
  return true;
}

static HWND AllocSlot(std::shared_ptr<Window> w) {
  State& s = S();
  uint32_t idx;
  if (!s.freeIdx.empty() && s.wtable.size() > 1024) {
    idx = s.freeIdx.front();
    s.freeIdx.pop_front();
  } else if (!s.freeIdx.empty() && s.wtable.size() >= kIndexMask) {
    idx = s.freeIdx.front();
    s.freeIdx.pop_front();
  } else {
    idx = uint32_t(s.wtable.size());
    s.wtable.emplace_back();
    s.gens.push_back(1);
  }
  s.wtable[idx] = std::move(w);
  s.live++;
  return HWND((uint32_t(s.gens[idx]) << kIndexBits) | idx);
}

static void FreeSlot(HWND h) {
  State& s = S();
  uint32_t idx = h.v & kIndexMask;
  s.wtable[idx].reset();
  s.gens[idx] = s.gens[idx] >= kMaxGen ? 1 : uint16_t(s.gens[idx] + 1);
  s.freeIdx.push_back(idx);
  s.live--;
}

// Frame insets of the default non-client model: left, top, right, bottom.
static TRect DefaultInsets(Window* w) {
  TRect in{0, 0, 0, 0};
  if (w->isTopLevel() && !w->messageOnly && (w->style & WS_CAPTION) == WS_CAPTION) {
    in = {3, 3 + 19, 3, 3};
  } else if (w->style & WS_BORDER) {
    in = {1, 1, 1, 1};
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    in.Left += 2;
    in.Top += 2;
    in.Right += 2;
    in.Bottom += 2;
  }
  return in;
}

static bool HasClassicFrame(Window* w) {
  return w->isTopLevel() && !w->messageOnly && (w->style & WS_CAPTION) == WS_CAPTION;
}

static TRect CloseBoxRect(Window* w) {
  int W = w->rect.Width();
  return {W - 3 - 2 - 16, 3 + 2, W - 3 - 2, 3 + 2 + 14};
}

void RecalcClient(Window* w) {
  NCCALCSIZE_PARAMS p;
  p.rgrc[0] = w->rect;
  p.rgrc[1] = w->rect;
  p.rgrc[2] = w->client;
  SendMessage(w->handle, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&p));
  if (!Find(w->handle)) return;
  TRect c = p.rgrc[0];
  // Client in window coordinates, kept inside the window.
  TRect cw{c.Left - w->rect.Left, c.Top - w->rect.Top, c.Right - w->rect.Left, c.Bottom - w->rect.Top};
  cw.Left = std::clamp(cw.Left, 0, std::max(0, w->rect.Width()));
  cw.Top = std::clamp(cw.Top, 0, std::max(0, w->rect.Height()));
  cw.Right = std::clamp(cw.Right, cw.Left, std::max(cw.Left, w->rect.Width()));
  cw.Bottom = std::clamp(cw.Bottom, cw.Top, std::max(cw.Top, w->rect.Height()));
  w->client = cw;
}

static std::vector<std::shared_ptr<Window>>& SiblingList(Window* w) {
  return w->parent ? w->parent->children : S().topLevels;
}

static void InsertZ(std::vector<std::shared_ptr<Window>>& list, std::shared_ptr<Window> w, HWND after) {
  auto firstTopMost = [&] {
    size_t i = 0;
    while (i < list.size() && !list[i]->topMost()) i++;
    return i;
  };
  bool isTop = !w->parent;
  if (after == HWND_BOTTOM) {
    size_t pos = (isTop && w->topMost()) ? firstTopMost() : 0;
    list.insert(list.begin() + long(pos), std::move(w));
    return;
  }
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST || !after) {
    size_t pos = (isTop && !w->topMost()) ? firstTopMost() : list.size();
    list.insert(list.begin() + long(pos), std::move(w));
    return;
  }
  // Below `after`.
  auto it = std::find_if(list.begin(), list.end(), [&](auto& o) { return o->handle == after; });
  if (it == list.end()) {
    size_t pos = (isTop && !w->topMost()) ? firstTopMost() : list.size();
    list.insert(list.begin() + long(pos), std::move(w));
  } else {
    list.insert(it, std::move(w));
  }
}

static void RemoveFromList(std::vector<std::shared_ptr<Window>>& list, Window* w) {
  list.erase(std::remove_if(list.begin(), list.end(), [&](auto& o) { return o.get() == w; }), list.end());
}

// Owned top-levels stay above their owner, in their own order.
static void RaiseOwned(Window* owner) {
  auto& tops = S().topLevels;
  std::vector<std::shared_ptr<Window>> owned;
  for (auto& t : tops)
    if (t->owner == owner->handle && t.get() != owner) owned.push_back(t);
  if (owned.empty()) return;
  for (auto& o : owned) RemoveFromList(tops, o.get());
  auto it = std::find_if(tops.begin(), tops.end(), [&](auto& t) { return t.get() == owner; });
  size_t pos = it == tops.end() ? tops.size() : size_t(it - tops.begin()) + 1;
  tops.insert(tops.begin() + long(pos), owned.begin(), owned.end());
  for (auto& o : owned) {
    if (o->surface) Backend().Raise(o->surface);
    RaiseOwned(o.get());
  }
}

static SurfaceKind KindOf(Window* w) {
  if (w->exStyle & WS_EX_LAYERED) return SurfaceKind::Layered;
  if ((w->style & WS_POPUP) && (w->exStyle & WS_EX_TOOLWINDOW)) return SurfaceKind::Popup;
  if (w->exStyle & WS_EX_TOOLWINDOW) return SurfaceKind::Tool;
  return SurfaceKind::Normal;
}

}  // namespace detail

using namespace detail;

// ---- classes and procedures --------------------------------------------------------------

bool RegisterClass(const WNDCLASS& wc) {
  CheckUiThread();
  if (wc.lpszClassName.empty()) return false;
  S().classes[wc.lpszClassName] = wc;
  return true;
}

bool GetClassInfo(const std::string& name, WNDCLASS* out) {
  auto it = S().classes.find(name);
  if (it == S().classes.end()) return false;
  if (out) *out = it->second;
  return true;
}

WNDPROC MakeWndProc(WndProcFn fn) {
  State& s = S();
  uint32_t id;
  if (!s.freeProcs.empty()) {
    id = s.freeProcs.front();
    s.freeProcs.pop_front();
    s.procs[id] = std::make_shared<WndProcFn>(std::move(fn));
  } else {
    id = uint32_t(s.procs.size());
    s.procs.push_back(std::make_shared<WndProcFn>(std::move(fn)));
  }
  return WNDPROC(id);
}

WNDPROC MakeObjectInstance(TWndMethod method) {
  return MakeWndProc([method = std::move(method)](HWND, UINT m, WPARAM w, LPARAM l) {
    TMessage msg{m, w, l, 0};
    method(msg);
    return msg.Result;
  });
}

void FreeWndProc(WNDPROC proc) {
  State& s = S();
  if (proc.v <= 1 || proc.v >= s.procs.size() || !s.procs[proc.v]) return;
  s.procs[proc.v] = nullptr;
  s.freeProcs.push_back(proc.v);
}

WNDPROC DefWindowProcId() { return WNDPROC(1); }

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  State& s = S();
  if (!proc || proc.v >= s.procs.size() || !s.procs[proc.v]) return 0;
  if (proc.v == 1) return DefWindowProc(hwnd, msg, wp, lp);
  std::shared_ptr<WndProcFn> fn = s.procs[proc.v];  // the table may change during the call
  return (*fn)(hwnd, msg, wp, lp);
}

int SubclassWindow(HWND hwnd, SubclassProc proc) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  int id = w->nextSubclassId++;
  w->subclasses.push_back({id, std::move(proc)});
  return id;
}

bool RemoveSubclass(HWND hwnd, int id) {
  Window* w = Find(hwnd);
  if (!w) return false;
  auto it = std::find_if(w->subclasses.begin(), w->subclasses.end(), [&](auto& e) { return e.id == id; });
  if (it == w->subclasses.end()) return false;
  w->subclasses.erase(it);
  return true;
}

// ---- sending --------------------------------------------------------------------------------

LRESULT SendMessage(HWND hwnd, TMessage& m) {
  CheckUiThread();
  std::shared_ptr<Window> keep = Keep(hwnd);
  if (!keep) return m.Result = 0;
  if (keep->subclasses.empty()) return m.Result = CallWindowProc(keep->proc, hwnd, m.Msg, m.WParam, m.LParam);
  std::vector<Subclass> chain = keep->subclasses;
  std::function<LRESULT(int, TMessage&)> invoke = [&](int i, TMessage& mm) -> LRESULT {
    if (i < 0) {
      if (!keep->alive) return mm.Result = 0;
      return mm.Result = CallWindowProc(keep->proc, hwnd, mm.Msg, mm.WParam, mm.LParam);
    }
    std::function<LRESULT(TMessage&)> prev = [&, i](TMessage& x) -> LRESULT { return invoke(i - 1, x); };
    chain[size_t(i)].proc(mm, prev);
    return mm.Result;
  };
  return invoke(int(chain.size()) - 1, m);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  return SendMessage(hwnd, m);
}

void SetExceptionHandler(std::function<void(std::exception_ptr)> handler) { S().exceptionHandler = std::move(handler); }

void HandleDispatchException(std::exception_ptr e) {
  if (S().exceptionHandler) {
    S().exceptionHandler(e);
    return;
  }
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    std::fprintf(stderr, "exception in a message handler: %s\n", ex.what());
  } catch (...) {
    std::fprintf(stderr, "exception in a message handler\n");
  }
}

// ---- lifetime and tree ---------------------------------------------------------------------

HWND CreateWindowEx(uint32_t exStyle, const std::string& className, const std::string& windowName, uint32_t style,
                    int x, int y, int w, int h, HWND parent, int id, void* createParams) {
  CheckUiThread();
  State& s = S();
  auto win = std::make_shared<Window>();
  win->className = className;
  win->style = style & ~WS_VISIBLE;
  win->exStyle = exStyle;
  win->id = id;
  win->proc = DefWindowProcId();
  auto cls = s.classes.find(className);
  if (cls != s.classes.end()) {
    win->classStyle = cls->second.style;
    if (cls->second.lpfnWndProc) win->proc = cls->second.lpfnWndProc;
    win->background = cls->second.hbrBackground;
    win->cursor = cls->second.cursor;
  }
  Window* parentWin = nullptr;
  if (parent == HWND_MESSAGE) {
    win->messageOnly = true;
  } else if (parent) {
    Window* p = Find(parent);
    if (!p) return nullptr;
    if (style & WS_CHILD)
      parentWin = p;
    else
      win->owner = parent;
  }
  win->rect = {x, y, x + std::max(0, w), y + std::max(0, h)};
  win->client = {0, 0, win->rect.Width(), win->rect.Height()};
  win->text = windowName;
  HWND hwnd = AllocSlot(win);
  win->handle = hwnd;
  win->parent = parentWin;
  if (parentWin) {
    InsertZ(parentWin->children, win, HWND_TOP);
  } else if (!win->messageOnly) {
    InsertZ(s.topLevels, win, HWND_TOP);
    win->surface = Backend().Create(hwnd, KindOf(win.get()), win->exStyle);
    if (win->owner) {
      Window* o = Find(win->owner);
      if (o && o->surface) Backend().SetTransientFor(win->surface, o->surface);
    }
    ResizeBacking(win.get());
    Backend().SetGeometry(win->surface, win->rect);
    if (!windowName.empty()) Backend().SetTitle(win->surface, windowName);
  }
  CREATESTRUCT cs;
  cs.lpCreateParams = createParams;
  cs.hwndParent = parent;
  cs.x = x;
  cs.y = y;
  cs.cx = w;
  cs.cy = h;
  cs.style = style;
  cs.dwExStyle = exStyle;
  cs.lpszName = windowName;
  cs.lpszClass = className;
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Find(hwnd)) return nullptr;
  RecalcClient(win.get());
  if (!Find(hwnd)) return nullptr;
  if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Find(hwnd)) return nullptr;
  if (parentWin && !(exStyle & WS_EX_NOPARENTNOTIFY)) {
    for (Window* a = parentWin; a; a = a->parent) {
      HWND ah = a->handle;
      SendMessage(ah, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, id), LPARAM(hwnd.v));
      if (!Find(hwnd) || !Find(ah)) break;
      if (a->exStyle & WS_EX_NOPARENTNOTIFY) break;
    }
  }
  if (!Find(hwnd)) return nullptr;
  if (style & WS_VISIBLE) ShowWindow(hwnd, parentWin ? SW_SHOWNA : SW_SHOW);
  return Find(hwnd) ? hwnd : nullptr;
}

static void SendDestroyTree(Window* w) {
  std::shared_ptr<Window> keep = Keep(w->handle);
  w->destroying = true;
  SendMessage(w->handle, WM_DESTROY);
  std::vector<std::shared_ptr<Window>> kids = w->children;
  for (auto& c : kids)
    if (c->alive && !c->destroying) SendDestroyTree(c.get());
}

static void FinishDestroyTree(Window* w) {
  std::vector<std::shared_ptr<Window>> kids = w->children;
  for (auto& c : kids)
    if (c->alive) FinishDestroyTree(c.get());
  HWND h = w->handle;
  OnWindowDestroying(w);
  KillWindowTimers(h);
  SendMessage(h, WM_NCDESTROY);
  w->alive = false;
  w->children.clear();
  w->subclasses.clear();
  if (w->region) {
    gfx::DeleteObject(w->region);
    w->region = nullptr;
  }
  if (w->alphaShape) {
    gfx::DeleteObject(w->alphaShape);
    w->alphaShape = nullptr;
  }
  w->update.Clear();
  if (w->surface) {
    Backend().Destroy(w->surface);
    w->surface = 0;
  }
  FreeBacking(w);
  DropPostsFor(h);
  FreeSlot(h);
  auto observers = S().destroyObservers;
  for (auto& [id, fn] : observers) fn(h);
}

BOOL DestroyWindow(HWND hwnd) {
  CheckUiThread();
  std::shared_ptr<Window> keep = Keep(hwnd);
  if (!keep || keep->destroying) return keep ? TRUE : FALSE;
  Window* w = keep.get();
  // Owned top-levels go first, as on Windows.
  for (auto& t : std::vector<std::shared_ptr<Window>>(S().topLevels))
    if (t->alive && t->owner == hwnd && !t->destroying) DestroyWindow(t->handle);
  if (!w->alive) return TRUE;
  bool wasVisible = VisibleChain(w);
  Window* parent = w->parent;
  TRect r = w->rect;
  if (w->visible() && w->isTopLevel()) ShowWindow(hwnd, SW_HIDE);
  if (!w->alive) return TRUE;
  if (parent && !(w->exStyle & WS_EX_NOPARENTNOTIFY)) {
    // Each ancestor is held across its notice: its handler may destroy it.
    for (std::shared_ptr<Window> a = Keep(parent->handle); a;) {
      SendMessage(a->handle, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, w->id), LPARAM(hwnd.v));
      if (!w->alive || !a->alive || !a->parent || (a->exStyle & WS_EX_NOPARENTNOTIFY)) break;
      a = Keep(a->parent->handle);
    }
  }
  if (!w->alive) return TRUE;
  SendDestroyTree(w);
  if (!w->alive) return TRUE;
  // The handlers may have moved the window: it leaves the parent it has now.
  parent = w->parent;
  r = w->rect;
  if (parent) {
    auto keepParent = Keep(parent->handle);
    RemoveFromList(parent->children, w);
    if (wasVisible && keepParent) InvalidateExposed(parent, r);
  } else {
    RemoveFromList(S().topLevels, w);
  }
  FinishDestroyTree(w);
  w->parent = nullptr;
  return TRUE;
}

HWND AllocateHWnd(TWndMethod method) {
  HWND h = CreateWindowEx(0, "TPUtilWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE);
  Window* w = Find(h);
  if (w) w->proc = MakeObjectInstance(std::move(method));
  return h;
}

void DeallocateHWnd(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  WNDPROC p = w->proc;
  DestroyWindow(hwnd);
  FreeWndProc(p);
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

BOOL IsWindowVisible(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && VisibleChain(w);
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  bool wasDisabled = w->style & WS_DISABLED;
  if (bool(enable) == !wasDisabled) return wasDisabled;
  if (enable) {
    w->style &= ~WS_DISABLED;
  } else {
    w->style |= WS_DISABLED;
    // A disabled window loses focus and capture.
    HWND f = GetFocus();
    if (f && (f == hwnd || IsChild(hwnd, f))) SetFocus(nullptr);
    if (GetCapture() == hwnd) ReleaseCapture();
  }
  SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0);
  return wasDisabled;
}

HWND GetParent(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (w->parent) return w->parent->handle;
  return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND parent) {
  CheckUiThread();
  std::shared_ptr<Window> keep = Keep(hwnd);
  if (!keep) return nullptr;
  Window* w = keep.get();
  Window* np = parent ? Find(parent) : nullptr;
  if (parent && !np) return nullptr;
  for (Window* a = np; a; a = a->parent)
    if (a == w) return nullptr;  // no cycles
  HWND old = w->parent ? w->parent->handle : nullptr;
  if (w->parent == np) return old;
  bool wasVisible = VisibleChain(w);
  Window* op = w->parent;
  TRect oldRect = w->rect;
  if (op) {
    RemoveFromList(op->children, w);
    if (wasVisible) InvalidateExposed(op, oldRect);
  } else {
    RemoveFromList(S().topLevels, w);
    if (w->surface) {
      Backend().Destroy(w->surface);
      w->surface = 0;
    }
    FreeBacking(w);
  }
  w->parent = np;
  if (np) {
    w->style = (w->style & ~WS_POPUP) | WS_CHILD;
    InsertZ(np->children, keep, HWND_TOP);
  } else {
    w->style &= ~WS_CHILD;
    InsertZ(S().topLevels, keep, HWND_TOP);
    w->surface = Backend().Create(hwnd, KindOf(w), w->exStyle);
    ResizeBacking(w);
    Backend().SetGeometry(w->surface, w->rect);
    if (w->visible()) Backend().Show(w->surface, false);
  }
  if (VisibleChain(w)) InvalidateWholeWindow(w, true);
  return old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_OWNER) return w->owner;
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.back()->handle;
  if (w->messageOnly) return nullptr;
  auto& list = SiblingList(w);
  auto it = std::find_if(list.begin(), list.end(), [&](auto& o) { return o.get() == w; });
  if (it == list.end()) return nullptr;
  size_t i = size_t(it - list.begin());
  switch (cmd) {
    case GW_HWNDFIRST:
      return list.back()->handle;
    case GW_HWNDLAST:
      return list.front()->handle;
    case GW_HWNDNEXT:
      return i == 0 ? nullptr : list[i - 1]->handle;  // next = lower in z-order
    case GW_HWNDPREV:
      return i + 1 < list.size() ? list[i + 1]->handle : nullptr;
  }
  return nullptr;
}

HWND GetTopWindow(HWND hwnd) {
  if (!hwnd) return S().topLevels.empty() ? nullptr : S().topLevels.back()->handle;
  return GetWindow(hwnd, GW_CHILD);
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  if (flags == GA_PARENT) return w->parent ? w->parent->handle : nullptr;
  Window* top = TopLevelOf(w);
  if (flags == GA_ROOTOWNER) {
    while (top && top->owner) {
      Window* o = Find(top->owner);
      if (!o) break;
      top = TopLevelOf(o);
    }
  }
  return top ? top->handle : nullptr;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Window* p = Find(parent);
  Window* w = Find(hwnd);
  if (!p || !w) return FALSE;
  for (Window* a = w->parent; a; a = a->parent)
    if (a == p) return TRUE;
  return FALSE;
}

std::string GetClassName(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->className : std::string();
}

LONG_PTR GetWindowLong(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_WNDPROC:
      return LONG_PTR(w->proc.v);
    case GWL_HWNDPARENT:
      return LONG_PTR(w->parent ? w->parent->handle.v : w->owner.v);
    case GWL_ID:
      return w->id;
    case GWL_STYLE:
      return LONG_PTR(w->style);
    case GWL_EXSTYLE:
      return LONG_PTR(w->exStyle);
    case GWL_USERDATA:
      return w->userData;
  }
  return 0;
}

LONG_PTR SetWindowLong(HWND hwnd, int index, LONG_PTR value) {
  CheckUiThread();
  Window* w = Find(hwnd);
  if (!w) return 0;
  LONG_PTR old = GetWindowLong(hwnd, index);
  switch (index) {
    case GWL_WNDPROC:
      w->proc = WNDPROC(uint32_t(value));
      break;
    case GWL_HWNDPARENT:
      if (w->isTopLevel()) {
        w->owner = HWND(uint32_t(value));
        Window* o = Find(w->owner);
        if (w->surface) Backend().SetTransientFor(w->surface, o ? o->surface : 0);
      }
      break;
    case GWL_ID:
      w->id = int(value);
      break;
    case GWL_USERDATA:
      w->userData = value;
      break;
    case GWL_STYLE: {
      SendMessage(hwnd, WM_STYLECHANGING, WPARAM(GWL_STYLE), 0);
      if (!(w = Find(hwnd))) return old;
      uint32_t keepVisible = w->style & WS_VISIBLE;
      w->style = (uint32_t(value) & ~WS_VISIBLE) | keepVisible;
      SendMessage(hwnd, WM_STYLECHANGED, WPARAM(GWL_STYLE), 0);
      break;
    }
    case GWL_EXSTYLE: {
      SendMessage(hwnd, WM_STYLECHANGING, WPARAM(GWL_EXSTYLE), 0);
      if (!(w = Find(hwnd))) return old;
      uint32_t before = w->exStyle;
      w->exStyle = uint32_t(value);
      if (w->surface && ((before ^ w->exStyle) & WS_EX_LAYERED))
        Backend().SetArgb(w->surface, (w->exStyle & WS_EX_LAYERED) != 0);
      SendMessage(hwnd, WM_STYLECHANGED, WPARAM(GWL_EXSTYLE), 0);
      break;
    }
  }
  return old;
}

BOOL SetWindowText(HWND hwnd, const std::string& text) {
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

std::string GetWindowText(HWND hwnd) {
  LRESULT n = SendMessage(hwnd, WM_GETTEXTLENGTH);
  if (n <= 0) return {};
  std::string buf(size_t(n) + 1, '\0');
  LRESULT got = SendMessage(hwnd, WM_GETTEXT, WPARAM(buf.size()), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(size_t(std::clamp<LRESULT>(got, 0, n)));
  return buf;
}

BOOL SetProp(HWND hwnd, const std::string& name, intptr_t value) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  w->props[name] = value;
  return TRUE;
}

intptr_t GetProp(HWND hwnd, const std::string& name) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  auto it = w->props.find(name);
  return it == w->props.end() ? 0 : it->second;
}

intptr_t RemoveProp(HWND hwnd, const std::string& name) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  auto it = w->props.find(name);
  if (it == w->props.end()) return 0;
  intptr_t v = it->second;
  w->props.erase(it);
  return v;
}

UINT RegisterWindowMessage(const std::string& name) {
  auto& m = S().registeredMessages;
  auto it = m.find(name);
  if (it != m.end()) return it->second;
  UINT v = UINT(0xC000 + m.size());
  m[name] = v;
  return v;
}

void SetWindowObject(HWND hwnd, void* obj) {
  if (Window* w = Find(hwnd)) w->object = obj;
}

void* GetWindowObject(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->object : nullptr;
}

size_t LiveWindowCount() { return S().live; }

std::vector<HWND> ChildWindows(HWND hwnd) {
  std::vector<HWND> out;
  if (Window* w = Find(hwnd))
    for (auto& c : w->children) out.push_back(c->handle);
  return out;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> out;
  for (auto& t : S().topLevels) out.push_back(t->handle);
  return out;
}

int AddDestroyObserver(std::function<void(HWND)> fn) {
  int id = S().nextObserverId++;
  S().destroyObservers[id] = std::move(fn);
  return id;
}

void RemoveDestroyObserver(int id) { S().destroyObservers.erase(id); }

// ---- geometry -------------------------------------------------------------------------------

TRect WindowBounds(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->rect : TRect{};
}

TRect ClientInWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? w->client : TRect{};
}

BOOL GetWindowRect(HWND hwnd, RECT* r) {
  Window* w = Find(hwnd);
  if (!w || !r) return FALSE;
  TPoint o = ScreenOrigin(w);
  *r = {o.X, o.Y, o.X + w->rect.Width(), o.Y + w->rect.Height()};
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
  Window* w = Find(hwnd);
  if (!w || !r) return FALSE;
  *r = {0, 0, w->client.Width(), w->client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* p) {
  Window* w = Find(hwnd);
  if (!w || !p) return FALSE;
  TPoint o = ScreenOrigin(w);
  p->X += o.X + w->client.Left;
  p->Y += o.Y + w->client.Top;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
  Window* w = Find(hwnd);
  if (!w || !p) return FALSE;
  TPoint o = ScreenOrigin(w);
  p->X -= o.X + w->client.Left;
  p->Y -= o.Y + w->client.Top;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count) {
  POINT a{0, 0}, b{0, 0};
  if (from) ClientToScreen(from, &a);
  if (to) ClientToScreen(to, &b);
  int dx = a.X - b.X, dy = a.Y - b.Y;
  for (UINT i = 0; i < count; i++) {
    pts[i].X += dx;
    pts[i].Y += dy;
  }
  return MAKELPARAM(dx, dy);
}

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
  CheckUiThread();
  std::shared_ptr<Window> keep = Keep(hwnd);
  if (!keep) return FALSE;
  Window* w = keep.get();
  WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = w->rect.Left;
    wp.y = w->rect.Top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w->rect.Width();
    wp.cy = w->rect.Height();
  }
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if (!w->alive) return FALSE;
  }
  wp.cx = std::max(0, wp.cx);
  wp.cy = std::max(0, wp.cy);
  TRect oldRect = w->rect;
  bool wasVisible = VisibleChain(w);
  TRect nr{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  bool moved = nr.Left != oldRect.Left || nr.Top != oldRect.Top;
  bool sized = nr.Width() != oldRect.Width() || nr.Height() != oldRect.Height();
  bool frame = wp.flags & SWP_FRAMECHANGED;
  bool zorder = !(wp.flags & SWP_NOZORDER) && !w->messageOnly;
  if (!moved) wp.flags |= SWP_NOMOVE;
  if (!sized) wp.flags |= SWP_NOSIZE;
  w->rect = nr;
  if (sized || frame) {
    RecalcClient(w);
    if (!w->alive) return FALSE;
  }
  if (zorder) {
    auto& list = SiblingList(w);
    if (wp.hwndInsertAfter == HWND_TOPMOST && w->isTopLevel()) w->exStyle |= WS_EX_TOPMOST;
    if (wp.hwndInsertAfter == HWND_NOTOPMOST && w->isTopLevel()) w->exStyle &= ~WS_EX_TOPMOST;
    RemoveFromList(list, w);
    InsertZ(list, keep, wp.hwndInsertAfter);
    if (w->surface) {
      if (wp.hwndInsertAfter == HWND_TOPMOST || wp.hwndInsertAfter == HWND_NOTOPMOST)
        Backend().SetStaysOnTop(w->surface, w->topMost());
      Backend().Raise(w->surface);
    }
    if (w->isTopLevel()) RaiseOwned(w);
  }
  if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  if (w->isTopLevel() && !w->messageOnly) {
    if (sized) ResizeBacking(w);
    if (w->surface && (moved || sized)) Backend().SetGeometry(w->surface, w->rect);
  }
  bool nowVisible = VisibleChain(w);
  if (w->surface && wasVisible != nowVisible) {
    bool activate = nowVisible && !(wp.flags & SWP_NOACTIVATE) && IsActivatable(w);
    if (nowVisible)
      Backend().Show(w->surface, activate);
    else
      Backend().Hide(w->surface);
  }
  if (!(wp.flags & SWP_NOREDRAW)) {
    bool changed = moved || sized || frame || zorder || wasVisible != nowVisible;
    if (w->parent && changed) {
      if (wasVisible) InvalidateExposed(w->parent, oldRect);
      if (nowVisible) InvalidateWholeWindow(w, true);
    } else if (!w->parent && (sized || frame || (!wasVisible && nowVisible))) {
      if (nowVisible) InvalidateWholeWindow(w, true);
    }
  }
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (!w->alive) return TRUE;
  if (nowVisible) SendNcPaintIfNeeded(w);
  // Showing a top-level without SWP_NOACTIVATE activates it.
  if (!wasVisible && nowVisible && !(wp.flags & SWP_NOACTIVATE) && w->isTopLevel() && IsActivatable(w) &&
      GetActiveWindow() != hwnd)
    ActivateTop(w, WA_ACTIVE);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  CheckUiThread();
  std::shared_ptr<Window> keep = Keep(hwnd);
  if (!keep) return FALSE;
  Window* w = keep.get();
  bool wasVisible = w->visible();
  if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE) {
    if (!w->minimized) {
      w->minimized = true;
      if (w->surface) Backend().Iconify(w->surface);
      SendMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    }
    return wasVisible;
  }
  if (cmd == SW_RESTORE && w->minimized) {
    w->minimized = false;
    if (w->surface) Backend().Restore(w->surface);
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->client.Width(), w->client.Height()));
    if (!w->alive) return wasVisible;
  }
  bool show = cmd != SW_HIDE;
  bool activate = show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWMINNOACTIVE;
  if (show != wasVisible) {
    SendMessage(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    if (!w->alive) return wasVisible;
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (activate ? 0 : SWP_NOACTIVATE) |
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (!w->alive) return wasVisible;
    if (!show) {
      HWND f = GetFocus();
      if (f && (f == hwnd || IsChild(hwnd, f))) {
        if (w->parent) SetFocus(nullptr);
      }
      if (GetCapture() && (GetCapture() == hwnd || IsChild(hwnd, GetCapture()))) ReleaseCapture();
      if (w->isTopLevel() && GetActiveWindow() == hwnd) {
        // Activation passes to the owner, else to the topmost other visible top-level.
        Window* next = Find(w->owner);
        if (!next || !VisibleChain(next) || !IsActivatable(next)) {
          next = nullptr;
          for (auto it = S().topLevels.rbegin(); it != S().topLevels.rend(); ++it)
            if ((*it).get() != w && (*it)->visible() && IsActivatable(it->get())) {
              next = it->get();
              break;
            }
        }
        if (next)
          ActivateTop(next, WA_ACTIVE);
        else
          SetActiveWindow(nullptr);
      }
    }
  }
  if (show && activate && w->isTopLevel() && !w->messageOnly && IsActivatable(w) && GetActiveWindow() != hwnd)
    ActivateTop(w, WA_ACTIVE);
  return wasVisible;
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL IsIconic(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && w->minimized;
}

BOOL IsZoomed(HWND hwnd) {
  Window* w = Find(hwnd);
  return w && w->maximized;
}

// ---- the default procedure -------------------------------------------------------------------

namespace {
bool g_closePressed = false;
HWND g_activeLook;  // the top-level whose frame shows the active colours
}  // namespace

static void PaintClassicFrame(Window* w, gfx::HDC dc) {
  using namespace gfx;
  TRect all{0, 0, w->rect.Width(), w->rect.Height()};
  if (HasClassicFrame(w)) {
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    TRect top{0, 0, all.Right, 3 + 19}, left{0, 0, 3, all.Bottom}, right{all.Right - 3, 0, all.Right, all.Bottom},
        bottom{0, all.Bottom - 3, all.Right, all.Bottom};
    FillRect(dc, &top, face);
    FillRect(dc, &left, face);
    FillRect(dc, &right, face);
    FillRect(dc, &bottom, face);
    RECT edge = all;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    bool active = g_activeLook == w->handle;
    TRect cap{3, 3, all.Right - 3, 3 + 18};
    FillRect(dc, &cap, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    TRect box = CloseBoxRect(w);
    FillRect(dc, &box, face);
    RECT be = box;
    DrawEdge(dc, &be, EDGE_RAISED, BF_RECT);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HPEN old = SelectObject(dc, pen);
    int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
    for (int d = 0; d < 2; d++) {
      MoveToEx(dc, cx - 4 + d, cy - 3, nullptr);
      LineTo(dc, cx + 3 + d, cy + 4);
      MoveToEx(dc, cx + 2 + d, cy - 3, nullptr);
      LineTo(dc, cx - 5 + d, cy + 4);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
    DrawCaptionText(dc, w->text, TRect{cap.Left + 4, cap.Top, box.Left - 2, cap.Bottom},
                    GetSysColor(COLOR_CAPTIONTEXT));
  } else if (w->style & WS_BORDER) {
    FrameRect(dc, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    TRect in = DefaultInsets(w);
    RECT e{in.Left - 2, in.Top - 2, all.Right - in.Right + 2, all.Bottom - in.Bottom + 2};
    DrawEdge(dc, &e, EDGE_SUNKEN, BF_RECT);
  }
}

static LRESULT DefHitTest(Window* w, int sx, int sy) {
  TPoint o = ScreenOrigin(w);
  int x = sx - o.X, y = sy - o.Y;
  if (x < 0 || y < 0 || x >= w->rect.Width() || y >= w->rect.Height()) return HTNOWHERE;
  if (w->region && !gfx::PtInRegion(w->region, x, y)) return HTNOWHERE;
  const TRect& c = w->client;
  if (x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom) return HTCLIENT;
  if (HasClassicFrame(w)) {
    TRect box = CloseBoxRect(w);
    if (x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom) return HTCLOSE;
    int W = w->rect.Width(), H = w->rect.Height();
    if (w->style & WS_THICKFRAME) {
      bool l = x < 3, r = x >= W - 3, t = y < 3, b = y >= H - 3;
      bool nl = x < 16, nr = x >= W - 16, nt = y < 16, nb = y >= H - 16;
      if ((t && nl) || (l && nt)) return HTTOPLEFT;
      if ((t && nr) || (r && nt)) return HTTOPRIGHT;
      if ((b && nl) || (l && nb)) return HTBOTTOMLEFT;
      if ((b && nr) || (r && nb)) return HTBOTTOMRIGHT;
      if (l) return HTLEFT;
      if (r) return HTRIGHT;
      if (t) return HTTOP;
      if (b) return HTBOTTOM;
    }
    if (y >= 3 && y < 3 + 19 && x >= 3 && x < W - 3) return HTCAPTION;
  }
  return HTBORDER;
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_NCCALCSIZE: {
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
      if (!p) return 0;
      TRect in = DefaultInsets(w);
      TRect& r = p->rgrc[0];
      r = {r.Left + in.Left, r.Top + in.Top, std::max(r.Left + in.Left, r.Right - in.Right),
           std::max(r.Top + in.Top, r.Bottom - in.Bottom)};
      return 0;
    }
    case WM_NCHITTEST:
      return DefHitTest(w, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    case WM_NCPAINT: {
      TRect in = DefaultInsets(w);
      if (in == TRect{0, 0, 0, 0}) return 0;
      gfx::HDC dc = GetWindowDC(hwnd);
      if (!dc) return 0;
      PaintClassicFrame(w, dc);
      ReleaseDC(hwnd, dc);
      return 0;
    }
    case WM_NCACTIVATE:
      if (wp)
        g_activeLook = hwnd;
      else if (g_activeLook == hwnd)
        g_activeLook = nullptr;
      if (HasClassicFrame(w)) {
        w->ncDirty = true;
        if (VisibleChain(w)) SendNcPaintIfNeeded(w);
      }
      return TRUE;
    case WM_ERASEBKGND: {
      if (!w->background) return 0;
      RECT r{0, 0, w->client.Width(), w->client.Height()};
      gfx::FillRect(gfx::HDC(uint32_t(wp)), &r, w->background);
      return 1;
    }
    case WM_PAINT: {
      if (wp) return 0;  // painting into a caller's DC: nothing to validate
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETTEXT: {
      const char* t = reinterpret_cast<const char*>(lp);
      w->text = t ? t : "";
      if (w->surface) Backend().SetTitle(w->surface, w->text);
      if (HasClassicFrame(w)) {
        w->ncDirty = true;
        if (VisibleChain(w)) SendNcPaintIfNeeded(w);
      }
      return TRUE;
    }
    case WM_GETTEXTLENGTH:
      return LRESULT(w->text.size());
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      size_t n = std::min(w->text.size(), size_t(wp) - 1);
      std::memcpy(buf, w->text.data(), n);
      buf[n] = 0;
      return LRESULT(n);
    }
    case WM_WINDOWPOSCHANGED: {
      auto* p = reinterpret_cast<WINDOWPOS*>(lp);
      if (!p) return 0;
      if (!(p->flags & SWP_NOMOVE)) {
        SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.Left + w->client.Left, w->rect.Top + w->client.Top));
        if (!Find(hwnd)) return 0;
      }
      if (!(p->flags & SWP_NOSIZE) || (p->flags & SWP_FRAMECHANGED))
        SendMessage(hwnd, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                    MAKELPARAM(w->client.Width(), w->client.Height()));
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_SETCURSOR: {
      if (w->parent && SendMessage(w->parent->handle, WM_SETCURSOR, wp, lp)) return TRUE;
      int hit = int16_t(LOWORD(uintptr_t(lp)));
      int id = hit == HTCLIENT ? (w->cursor ? w->cursor : IDC_ARROW) : CursorForHitTest(hit);
      SetCursor(LoadCursor(nullptr, id));
      return hit == HTCLIENT ? FALSE : TRUE;
    }
    case WM_MOUSEACTIVATE:
      if (w->parent) {
        LRESULT r = SendMessage(w->parent->handle, WM_MOUSEACTIVATE, wp, lp);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
      if (w->parent) return SendMessage(w->parent->handle, msg, wp, lp);
      return 0;
    case WM_SYSCOMMAND:
      switch (wp & 0xFFF0) {
        case SC_MOVE:
          RunMoveSizeLoop(hwnd, 0);
          break;
        case SC_SIZE:
          RunMoveSizeLoop(hwnd, int(wp & 0x0F));
          break;
        case SC_CLOSE:
          SendMessage(hwnd, WM_CLOSE);
          break;
        case SC_MINIMIZE:
          ShowWindow(hwnd, SW_MINIMIZE);
          break;
        case SC_RESTORE:
          ShowWindow(hwnd, SW_RESTORE);
          break;
      }
      return 0;
    case WM_SYSKEYDOWN:
      // Without a window manager the layer itself turns Alt+F4 into a close.
      if (wp == VK_F4 && GetKeyState(VK_MENU) < 0) {
        if (Window* top = TopLevelOf(w)) PostMessage(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      // Shift+F10 asks for the context menu from the keyboard.
      if (wp == VK_F10 && GetKeyState(VK_SHIFT) < 0)
        SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(hwnd.v), MAKELPARAM(-1, -1));
      return 0;
    case WM_KEYUP:
      if (wp == VK_APPS) SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(hwnd.v), MAKELPARAM(-1, -1));
      return 0;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(hwnd, &p);
      SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(hwnd.v), MAKELPARAM(p.X, p.Y));
      return 0;
    }
    case WM_NCRBUTTONUP:
      SendMessage(hwnd, WM_CONTEXTMENU, WPARAM(hwnd.v), lp);
      return 0;
    case WM_NCLBUTTONDOWN: {
      g_closePressed = wp == WPARAM(HTCLOSE);
      // A caption moves its own window (a form parented into a dialog moves
      // inside it); the edges size the top-level, also when a child answered
      // the code (a size grip).
      Window* top = TopLevelOf(w);
      if (wp == WPARAM(HTCAPTION))
        SendMessage(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lp);
      else if (int edge = WmszFromHit(int(wp)))
        SendMessage(top->handle, WM_SYSCOMMAND, SC_SIZE | UINT(edge), lp);
      return 0;
    }
    case WM_NCLBUTTONUP:
      if (g_closePressed && wp == WPARAM(HTCLOSE)) {
        g_closePressed = false;
        PostMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, lp);
      }
      g_closePressed = false;
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && !w->parent) {
        HWND f = GetFocus();
        if (!f || (f != hwnd && !IsChild(hwnd, f))) SetFocus(hwnd);
      }
      return 0;
  }
  return 0;
}

void Shutdown() {
  std::vector<std::shared_ptr<Window>> tops = S().topLevels;
  for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    if ((*it)->alive) DestroyWindow((*it)->handle);
  // Message-only windows are not in the top-level list.
  for (auto& slot : std::vector<std::shared_ptr<Window>>(S().wtable))
    if (slot && slot->alive) DestroyWindow(slot->handle);
  DropPostsFor(nullptr);
  ResetQuit();
}

}  // namespace win
