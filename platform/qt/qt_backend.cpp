#include "platform/qt/qt_backend.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/region.h"
#include "platform/gfx/text.h"
#include "platform/qt/keymap.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/caret.h"
#include "platform/win/clipboard.h"
#include "platform/win/cursor.h"
#include "platform/win/input.h"
#include "platform/win/layered.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"

#include <QAbstractEventDispatcher>
#include <QBackingStore>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

namespace plat::qt {

using win::HWND;
using win::RawInput;
using win::RawKind;

namespace {

QtBackend* g_installed = nullptr;

QRect ToQ(const gfx::TRect& r) { return QRect(r.Left, r.Top, std::max(1, r.Width()), std::max(1, r.Height())); }
gfx::TRect FromQ(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

xcb_connection_t* X11Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

Qt::CursorShape ShapeOf(int idc) {
  switch (idc) {
    case win::IDC_IBEAM:
      return Qt::IBeamCursor;
    case win::IDC_WAIT:
      return Qt::WaitCursor;
    case win::IDC_CROSS:
      return Qt::CrossCursor;
    case win::IDC_UPARROW:
      return Qt::UpArrowCursor;
    case win::IDC_SIZENWSE:
      return Qt::SizeFDiagCursor;
    case win::IDC_SIZENESW:
      return Qt::SizeBDiagCursor;
    case win::IDC_SIZEWE:
      return Qt::SizeHorCursor;
    case win::IDC_SIZENS:
      return Qt::SizeVerCursor;
    case win::IDC_SIZEALL:
      return Qt::SizeAllCursor;
    case win::IDC_NO:
      return Qt::ForbiddenCursor;
    case win::IDC_HAND:
      return Qt::PointingHandCursor;
    case win::IDC_APPSTARTING:
      return Qt::BusyCursor;
  }
  return Qt::ArrowCursor;
}

class QtClipboard : public win::IClipboardProvider {
 public:
  std::string Text() override { return QGuiApplication::clipboard()->text().toStdString(); }
  void SetText(const std::string& s) override { QGuiApplication::clipboard()->setText(QString::fromStdString(s)); }
};
QtClipboard g_clipboard;

}  // namespace

// One top-level's native window.
class Surface : public QWindow {
 public:
  Surface(QtBackend* backend, HWND hwnd, bool popup, bool normal, bool argb)
      : backend_(backend), hwnd_(hwnd), popup_(popup), normal_(normal), argb_(argb) {
    setSurfaceType(QSurface::RasterSurface);
    if (popup)
      setFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::BypassWindowManagerHint);
    else if (normal)
      setFlags(Qt::Window | Qt::FramelessWindowHint);
    else
      setFlags(Qt::Tool | Qt::FramelessWindowHint);
    ApplyFormat();
    store_ = std::make_unique<QBackingStore>(this);
  }

  HWND hwnd() const { return hwnd_; }
  bool popup() const { return popup_; }
  bool normal() const { return normal_; }
  bool argb() const { return argb_; }

  void SetArgbFormat(bool argb) {
    if (argb == argb_) return;
    argb_ = argb;
    // The visual is chosen when the native window is made: make it again.
    bool shown = isVisible();
    if (handle()) destroy();
    ApplyFormat();
    store_ = std::make_unique<QBackingStore>(this);
    if (shown) setVisible(true);
  }

  // Copies the dirty part of the backing image into the backing store and
  // puts it on screen. A window not (yet) on screen takes nothing: its
  // expose copies the whole image.
  void Paint(gfx::HBITMAP backing, const gfx::TRect& dirty) {
    if (!isExposed()) return;
    QImage src = gfx::BitmapImage(backing, argb_);
    if (src.isNull()) return;
    QRect r = QRect(dirty.Left, dirty.Top, dirty.Width(), dirty.Height()) & src.rect();
    if (r.isEmpty()) return;
    if (store_->size() != src.size()) store_->resize(src.size());
    store_->beginPaint(QRegion(r));
    if (QPaintDevice* dev = store_->paintDevice()) {
      QPainter p(dev);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      if (argb_)  // straight alpha in the image, premultiplied on the way out
        p.drawImage(r.topLeft(), src.copy(r).convertToFormat(QImage::Format_ARGB32_Premultiplied));
      else
        p.drawImage(r.topLeft(), src, r);
    }
    store_->endPaint();
    store_->flush(QRegion(r));
  }

  std::vector<gfx::TRect> requested;  // geometry asked for by the layer, newest last

 protected:
  void exposeEvent(QExposeEvent*) override {
    // Served from the retained image; the layer is not asked to paint.
    if (isExposed()) win::ExposeTopLevel(hwnd_);
  }

  bool event(QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonDblClick:
        // Qt follows the second press of a double click with this event. The
        // layer tells a double click from the two presses itself, so passing
        // it on would be a third press after the double click.
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        RawInput ev;
        ev.pt = {int(me->globalPosition().x()), int(me->globalPosition().y())};
        if (e->type() == QEvent::MouseMove) {
          ev.kind = RawKind::MouseMove;
        } else {
          ev.kind = e->type() == QEvent::MouseButtonRelease ? RawKind::ButtonUp : RawKind::ButtonDown;
          if (me->button() == Qt::LeftButton)
            ev.button = win::MouseButton::Left;
          else if (me->button() == Qt::RightButton)
            ev.button = win::MouseButton::Right;
          else if (me->button() == Qt::MiddleButton)
            ev.button = win::MouseButton::Middle;
          else
            return true;
        }
        backend_->Queue([ev] { win::DeliverInput(ev); });
        return true;
      }
      case QEvent::Wheel: {
        auto* we = static_cast<QWheelEvent*>(e);
        int d = we->angleDelta().y() ? we->angleDelta().y() : we->angleDelta().x();
        if (d == 0) return true;
        RawInput ev;
        ev.kind = RawKind::Wheel;
        ev.wheelDelta = d;
        ev.pt = {int(we->globalPosition().x()), int(we->globalPosition().y())};
        backend_->Queue([ev] { win::DeliverInput(ev); });
        return true;
      }
      case QEvent::Leave: {
        // Where the pointer went, so the layer sends its leave notices.
        QPoint g = QCursor::pos();
        RawInput ev;
        ev.kind = RawKind::MouseMove;
        ev.pt = {g.x(), g.y()};
        backend_->Queue([ev] { win::DeliverInput(ev); });
        return true;
      }
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(e);
        bool down = e->type() == QEvent::KeyPress;
        if (!down && ke->isAutoRepeat()) return true;  // repeats are further presses only
        uint16_t vk = VirtualKeyFromQt(ke->key(), ke->modifiers() & Qt::KeypadModifier);
        std::string text = down ? ke->text().toStdString() : std::string();
        if (vk == win::VK_DELETE || (text.size() == 1 && uint8_t(text[0]) == 0x7f)) text.clear();
        if (!vk) {
          if (text.empty()) return true;
          vk = 0xE7;  // VK_PACKET: a character without a key of its own
        }
        RawInput ev;
        ev.kind = down ? RawKind::KeyDown : RawKind::KeyUp;
        ev.vk = vk;
        ev.text = text;
        ev.autoRepeat = ke->isAutoRepeat();
        backend_->Queue([ev] { win::DeliverInput(ev); });
        return true;
      }
      case QEvent::InputMethod: {
        auto* ie = static_cast<QInputMethodEvent*>(e);
        std::string text = ie->commitString().toStdString();
        if (!text.empty()) {
          RawInput d, u;
          d.kind = RawKind::KeyDown;
          d.vk = u.vk = 0xE5;  // VK_PROCESSKEY
          d.text = text;
          u.kind = RawKind::KeyUp;
          backend_->Queue([d, u] {
            win::DeliverInput(d);
            win::DeliverInput(u);
          });
        }
        // The preedit goes to the focused window, which shows it where it types.
        std::string preedit = ie->preeditString().toStdString();
        int cursor = int(ie->preeditString().toStdU32String().size());
        for (const QInputMethodEvent::Attribute& a : ie->attributes())
          if (a.type == QInputMethodEvent::Cursor)
            cursor = int(ie->preeditString().left(a.start).toStdU32String().size());
        if (preedit != preedit_) {
          preedit_ = preedit;
          backend_->Queue([preedit, cursor] {
            HWND f = win::GetFocus();
            if (!f) return;
            if (preedit.empty())
              win::SendMessage(f, win::WM_IME_ENDCOMPOSITION);
            else
              win::SendMessage(f, win::WM_IME_COMPOSITION, win::WPARAM(cursor), win::LPARAM(preedit.c_str()));
          });
        }
        return true;
      }
      case QEvent::InputMethodQuery: {
        auto* q = static_cast<QInputMethodQueryEvent*>(e);
        gfx::TRect caret;
        bool has = win::CaretRectInTop(hwnd_, &caret);
        if (q->queries() & Qt::ImEnabled) q->setValue(Qt::ImEnabled, has);
        if (q->queries() & Qt::ImCursorRectangle)
          q->setValue(Qt::ImCursorRectangle,
                      has ? QRect(caret.Left, caret.Top, caret.Width(), caret.Height()) : QRect());
        q->accept();
        return true;
      }
      case QEvent::Close: {
        e->ignore();
        HWND h = hwnd_;
        backend_->Queue([h] { win::DeliverCloseRequest(h); });
        return true;
      }
      case QEvent::FocusIn: {
        HWND h = hwnd_;
        QtBackend* b = backend_;
        // Checked when run: a later change of focus makes this one stale.
        backend_->Queue([h, b] {
          if (QWindow* w = b->WindowOf(h); w && QGuiApplication::focusWindow() == w) win::DeliverActivation(h, true);
        });
        break;
      }
      case QEvent::FocusOut: {
        HWND h = hwnd_;
        QtBackend* b = backend_;
        backend_->Queue([h, b] {
          QWindow* f = QGuiApplication::focusWindow();
          // Focus that moved to another of our windows arrives as its FocusIn.
          if (!f || !dynamic_cast<Surface*>(f)) win::DeliverActivation(h, false);
          (void)b;
        });
        break;
      }
      case QEvent::WindowStateChange: {
        HWND h = hwnd_;
        bool minimized = windowStates() & Qt::WindowMinimized;
        backend_->Queue([h, minimized] { win::DeliverWindowState(h, minimized); });
        break;
      }
      case QEvent::Move:
      case QEvent::Resize: {
        HWND h = hwnd_;
        QtBackend* b = backend_;
        backend_->Queue([h, b] {
          auto* s = static_cast<Surface*>(b->WindowOf(h));
          if (!s || !s->isVisible()) return;
          gfx::TRect r = FromQ(s->geometry());
          if (!b->IsEcho(s, r)) win::DeliverGeometry(h, r);
        });
        break;
      }
      default:
        break;
    }
    return QWindow::event(e);
  }

 private:
  void ApplyFormat() {
    QSurfaceFormat f = format();
    f.setAlphaBufferSize(argb_ ? 8 : 0);
    setFormat(f);
  }

  QtBackend* backend_;
  HWND hwnd_;
  bool popup_, normal_, argb_;
  std::unique_ptr<QBackingStore> store_;
  std::string preedit_;  // the input method's text not yet committed
};

// ============================================================================ QtBackend

QtBackend::QtBackend() {
  gfx::EnsureGuiApplication();
  dispatcher_ = QAbstractEventDispatcher::instance();
  argbCapable_ = CompositorRunning();
  if (int fd = rtl::WakeFd(); fd >= 0) dispatcherWake_ = new QSocketNotifier(fd, QSocketNotifier::Read);
  waitTimer_ = new QTimer;
  waitTimer_->setSingleShot(true);
  waitTimer_->setTimerType(Qt::PreciseTimer);
  // A screen's new size or work area (resolution, panels) counts as a
  // change of the layout too; the connections end with the timer.
  auto watch = [this](QScreen* s) {
    QObject::connect(s, &QScreen::geometryChanged, waitTimer_, [this] { Queue([this] { UpdateScreens(); }); });
    QObject::connect(s, &QScreen::availableGeometryChanged, waitTimer_, [this] { Queue([this] { UpdateScreens(); }); });
  };
  for (QScreen* s : QGuiApplication::screens()) watch(s);
  QObject::connect(qGuiApp, &QGuiApplication::screenAdded, [this, watch](QScreen* s) {
    watch(s);
    Queue([this] { UpdateScreens(); });
  });
  QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, [this](QScreen*) { Queue([this] { UpdateScreens(); }); });
}

QtBackend::~QtBackend() {
  surfaces_.clear();
  delete dispatcherWake_;
  delete waitTimer_;
  QObject::disconnect(qGuiApp, &QGuiApplication::screenAdded, nullptr, nullptr);
  QObject::disconnect(qGuiApp, &QGuiApplication::screenRemoved, nullptr, nullptr);
}

QtBackend* QtBackend::Install() {
  if (g_installed) return g_installed;
  g_installed = new QtBackend;
  win::SetBackend(g_installed);
  g_installed->UpdateScreens();
  win::SetCompositorPresent(g_installed->argbCapable_);
  win::SetClipboardProvider(&g_clipboard);
  return g_installed;
}

void QtBackend::Uninstall() {
  if (!g_installed) return;
  win::SetClipboardProvider(nullptr);
  win::SetBackend(nullptr);
  win::SetScreens({});
  delete g_installed;
  g_installed = nullptr;
}

bool QtBackend::CompositorRunning() {
  xcb_connection_t* c = X11Connection();
  if (!c) return false;
  int screen = 0;
  if (const char* d = std::getenv("DISPLAY")) {
    std::string s = d;
    if (auto dot = s.rfind('.'); dot != std::string::npos && dot > s.rfind(':'))
      screen = std::atoi(s.c_str() + dot + 1);
  }
  std::string name = "_NET_WM_CM_S" + std::to_string(screen);
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.c_str()), nullptr);
  if (!atom) return false;
  xcb_get_selection_owner_reply_t* owner =
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
  bool running = owner && owner->owner != XCB_NONE;
  std::free(owner);
  std::free(atom);
  return running;
}

void QtBackend::UpdateScreens() {
  std::vector<win::ScreenInfo> list;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) list.push_back({FromQ(primary->geometry()), FromQ(primary->availableGeometry())});
  for (QScreen* s : QGuiApplication::screens())
    if (s != primary) list.push_back({FromQ(s->geometry()), FromQ(s->availableGeometry())});
  const std::vector<win::ScreenInfo>& old = win::Screens();
  bool changed = old.size() != list.size();
  for (size_t i = 0; !changed && i < list.size(); ++i)
    changed = !(old[i].bounds == list[i].bounds) || !(old[i].workArea == list[i].workArea);
  win::SetScreens(list);
  // Top-level windows hear of a changed screen layout as on any desktop, so
  // forms larger than their screen can fit themselves again.
  if (changed)
    for (win::HWND t : win::TopLevelWindows()) win::SendMessage(t, win::WM_DISPLAYCHANGE, 0, 0);
}

Surface* QtBackend::Find(int surface) const {
  auto it = surfaces_.find(surface);
  return it == surfaces_.end() ? nullptr : it->second.get();
}

QWindow* QtBackend::WindowOf(HWND hwnd) const {
  for (auto& [id, s] : surfaces_)
    if (s->hwnd() == hwnd) return s.get();
  return nullptr;
}

void QtBackend::Queue(std::function<void()> fn) {
  queue_.push_back(std::move(fn));
  if (dispatcher_) dispatcher_->wakeUp();
}

void QtBackend::RunQueued() {
  // One at a time: a queued call may run a nested loop that polls again.
  while (!queue_.empty()) {
    auto fn = std::move(queue_.front());
    queue_.pop_front();
    fn();
  }
}

void QtBackend::RememberGeometry(Surface* s, const gfx::TRect& r) {
  s->requested.push_back(r);
  if (s->requested.size() > 64) s->requested.erase(s->requested.begin());
}

bool QtBackend::IsEcho(Surface* s, const gfx::TRect& r) {
  for (auto& q : s->requested)
    if (q.Left == r.Left && q.Top == r.Top && std::max(1, q.Width()) == r.Width() &&
        std::max(1, q.Height()) == r.Height())
      return true;
  return false;
}

void QtBackend::FlushConnection() {
  if (xcb_connection_t* c = X11Connection()) xcb_flush(c);
}

int QtBackend::Create(HWND hwnd, win::SurfaceKind kind, uint32_t) {
  uint32_t style = uint32_t(win::GetWindowLong(hwnd, win::GWL_STYLE));
  uint32_t ex = uint32_t(win::GetWindowLong(hwnd, win::GWL_EXSTYLE));
  // Windows that never take activation are stacked by the layer and never
  // seen by a window manager.
  bool popup = kind == win::SurfaceKind::Popup || (ex & win::WS_EX_NOACTIVATE) ||
               ((style & win::WS_POPUP) && (ex & win::WS_EX_TOOLWINDOW));
  bool normal = !popup && !(ex & win::WS_EX_TOOLWINDOW);
  bool argb = kind == win::SurfaceKind::Layered && argbCapable_;
  int id = next_++;
  auto s = std::make_unique<Surface>(this, hwnd, popup, normal, argb);
  if (ex & win::WS_EX_TOPMOST && !popup) s->setFlag(Qt::WindowStaysOnTopHint, true);
  surfaces_[id] = std::move(s);
  return id;
}

void QtBackend::Destroy(int surface) {
  if (surface == mainSurface_) mainSurface_ = 0;
  auto it = surfaces_.find(surface);
  if (it == surfaces_.end()) return;
  for (auto& [id, s] : surfaces_)
    if (s->transientParent() == it->second.get()) s->setTransientParent(nullptr);
  surfaces_.erase(it);
}

void QtBackend::SetGeometry(int surface, const gfx::TRect& r) {
  Surface* s = Find(surface);
  if (!s) return;
  RememberGeometry(s, r);
  s->setGeometry(ToQ(r));
}

void QtBackend::Show(int surface, bool activate) {
  Surface* s = Find(surface);
  if (!s) return;
  if (s->normal()) {
    // The first normal window shown stands for the application in the task
    // bar; later ones are transient for it.
    if (!mainSurface_)
      mainSurface_ = surface;
    else if (surface != mainSurface_ && !s->transientParent())
      s->setTransientParent(Find(mainSurface_));
  }
  s->setVisible(true);
  s->raise();
  if (activate && !s->popup()) s->requestActivate();
  FlushConnection();
}

void QtBackend::Hide(int surface) {
  if (Surface* s = Find(surface)) {
    s->setMouseGrabEnabled(false);
    s->setVisible(false);
    FlushConnection();
  }
}

void QtBackend::Raise(int surface) {
  if (Surface* s = Find(surface); s && s->isVisible()) s->raise();
}

void QtBackend::SetStaysOnTop(int surface, bool onTop) {
  if (Surface* s = Find(surface); s && !s->popup()) s->setFlag(Qt::WindowStaysOnTopHint, onTop);
}

void QtBackend::SetTransientFor(int surface, int owner) {
  if (Surface* s = Find(surface)) s->setTransientParent(Find(owner));
}

void QtBackend::SetMask(int surface, gfx::HRGN rgn) {
  if (Surface* s = Find(surface)) s->setMask(rgn ? gfx::RegionOf(rgn) : QRegion());
}

void QtBackend::SetOpacity(int surface, double opacity) {
  if (Surface* s = Find(surface)) s->setOpacity(opacity);
}

void QtBackend::SetArgb(int surface, bool argb) {
  if (Surface* s = Find(surface)) s->SetArgbFormat(argb && argbCapable_);
}

void QtBackend::Flush(int surface, gfx::HBITMAP backing, const gfx::TRect& dirty) {
  if (Surface* s = Find(surface)) {
    s->Paint(backing, dirty);
    FlushConnection();
  }
}

void QtBackend::GrabPointer(int surface, bool grab) {
  if (Surface* s = Find(surface); s && s->isVisible()) s->setMouseGrabEnabled(grab);
}

void QtBackend::SetCursor(int surface, int cursor) {
  if (Surface* s = Find(surface)) s->setCursor(QCursor(ShapeOf(cursor)));
}

void QtBackend::RequestActivate(int surface) {
  if (Surface* s = Find(surface); s && !s->popup() && s->isVisible() && QGuiApplication::focusWindow() != s)
    s->requestActivate();
}

void QtBackend::Iconify(int surface) {
  if (Surface* s = Find(surface)) {
    s->setWindowStates(s->windowStates() | Qt::WindowMinimized);
    FlushConnection();
  }
}

void QtBackend::Restore(int surface) {
  if (Surface* s = Find(surface)) {
    s->setWindowStates(s->windowStates() & ~Qt::WindowMinimized);
    FlushConnection();
  }
}

void QtBackend::SetTitle(int surface, const std::string& title) {
  if (Surface* s = Find(surface)) s->setTitle(QString::fromStdString(title));
}

void QtBackend::SetIcon(int, gfx::HICON) {}

void QtBackend::PollNative() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  RunQueued();
}

void QtBackend::WaitNative(int timeoutMs) {
  if (!queue_.empty()) return;
  if (timeoutMs == 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  if (timeoutMs > 0) waitTimer_->start(timeoutMs);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  waitTimer_->stop();
}

void QtBackend::Wake() {
  // Any thread: the dispatcher's wake-up is thread-safe.
  if (dispatcher_) dispatcher_->wakeUp();
}

}  // namespace plat::qt
