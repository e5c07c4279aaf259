#include "platform/ctl/videosurface.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/rtl/dispatcher.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace ctl {

using namespace win;

namespace {
// Host window -> the surface SinkForWindow made for it.
std::unordered_map<HWND, TVideoSurface*>& Hosted() {
  static auto* m = new std::unordered_map<HWND, TVideoSurface*>;
  return *m;
}
}  // namespace

TVideoSurface::TVideoSurface(TComponent* AOwner)
    : TWinControl(AOwner), life_(std::make_shared<Life>(Life{this})), weak_(life_) {
  ControlStyle = cl::csOpaque | cl::csCaptureMouse | cl::csClickEvents | cl::csDoubleClicks;
  color_ = gfx::clBlack;
  brush_.SetColor(color_);
  parentColor_ = false;
  width_ = 200;
  height_ = 124;
}

void TVideoSurface::Destroy() {
  life_.reset();  // a posted repaint that has not run yet finds nothing
  if (host_) {
    if (hostSubclass_ && IsWindow(host_)) RemoveSubclass(host_, hostSubclass_);
    Hosted().erase(host_);
    host_ = nullptr;
  }
  TWinControl::Destroy();
}

void TVideoSurface::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateSize();
}

void TVideoSurface::UpdateSize() {
  TRect c = ClientRect();
  width_now_ = c.Width();
  height_now_ = c.Height();
}

// ============================================================================ any thread

void TVideoSurface::GetClientSize(int& width, int& height) {
  width = width_now_.load();
  height = height_now_.load();
}

void TVideoSurface::Present(const uint8_t* bgra, int stride, int width, int height) {
  if (!bgra || width <= 0 || height <= 0) return;
  {
    std::lock_guard<std::mutex> p(presentLock_);
    back_.px.resize(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; y++)
      std::memcpy(&back_.px[size_t(y) * size_t(width) * 4], bgra + size_t(y) * size_t(stride), size_t(width) * 4);
    back_.w = width;
    back_.h = height;
    std::lock_guard<std::mutex> g(lock_);
    std::swap(back_, latest_);
    hasNew_ = true;
  }
  RequestRepaint();
}

void TVideoSurface::Clear() {
  {
    std::lock_guard<std::mutex> g(lock_);
    latest_.px.clear();
    latest_.w = latest_.h = 0;
    hasNew_ = true;
  }
  RequestRepaint();
}

// One posted call covers every picture that arrives before it runs.
void TVideoSurface::RequestRepaint() {
  bool expected = false;
  if (!pending_.compare_exchange_strong(expected, true)) return;
  rtl::Post([life = weak_] {
    std::shared_ptr<Life> l = life.lock();
    if (!l) return;
    TVideoSurface* s = l->surface;
    s->pending_ = false;
    if (s->HandleAllocated()) InvalidateRect(s->Handle(), nullptr, FALSE);
  });
}

void TVideoSurface::SetEventListener(rtl::IVideoOutputEvents* listener) {
  bool ended;
  {
    std::lock_guard<std::mutex> g(listenerLock_);
    ended = listener_ && !listener;
    listener_ = listener;
  }
  if (ended) Forget();
}

// The playback is over: nothing will show its last picture again.
void TVideoSurface::Forget() {
  {
    std::lock_guard<std::mutex> g(lock_);
    latest_.px.clear();
    latest_.w = latest_.h = 0;
    hasNew_ = true;
  }
  RequestRepaint();
}

// ============================================================================ UI thread

void TVideoSurface::PaintWindow(gfx::HDC dc) {
  {
    std::lock_guard<std::mutex> g(lock_);
    if (hasNew_) {
      std::swap(front_, latest_);
      hasNew_ = false;
    }
  }
  TRect c = ClientRect();
  gfx::HBRUSH black = gfx::HBRUSH(gfx::GetStockObject(gfx::BLACK_BRUSH));
  if (front_.w <= 0) {
    gfx::FillRect(dc, &c, black);
    return;
  }
  int x = (c.Width() - front_.w) / 2, y = (c.Height() - front_.h) / 2;
  int saved = gfx::SaveDC(dc);
  gfx::ExcludeClipRect(dc, x, y, x + front_.w, y + front_.h);
  gfx::FillRect(dc, &c, black);
  gfx::RestoreDC(dc, saved);
  gfx::BITMAPINFO bi;
  bi.bmiHeader.biWidth = front_.w;
  bi.bmiHeader.biHeight = -front_.h;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = gfx::BI_RGB;
  gfx::SetDIBitsToDevice(dc, x, y, DWORD(front_.w), DWORD(front_.h), 0, 0, 0, UINT(front_.h), front_.px.data(), &bi,
                         gfx::DIB_RGB_COLORS);
}

void TVideoSurface::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case CM_INVALIDATE:
      if (HandleAllocated()) {
        InvalidateRect(handle_, nullptr, FALSE);
        UpdateWindow(handle_);
      }
      return;
    case WM_SIZE: {
      TWinControl::Dispatch(m);
      if (Destroyed()) return;
      int w = width_now_, h = height_now_;
      UpdateSize();
      if (w != width_now_ || h != height_now_) {
        std::lock_guard<std::mutex> g(listenerLock_);
        if (listener_) listener_->VideoOutputResized(width_now_, height_now_);
      }
      Invalidate();
      return;
    }
    case WM_SHOWWINDOW:
      TWinControl::Dispatch(m);
      if (m.WParam) {
        std::lock_guard<std::mutex> g(listenerLock_);
        if (listener_) listener_->VideoOutputExposed();
      }
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (HandleAllocated() && GetFocus() != handle_) win::SetFocus(handle_);
      if (Destroyed()) return;
      {
        std::lock_guard<std::mutex> g(listenerLock_);
        if (listener_) listener_->VideoOutputClicked();
      }
      break;
  }
  TWinControl::Dispatch(m);
}

TVideoSurface* TVideoSurface::SinkForWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return nullptr;
  if (auto* s = dynamic_cast<TVideoSurface*>(cl::FindControl(hwnd))) return s;
  auto it = Hosted().find(hwnd);
  if (it != Hosted().end() && !it->second->Destroyed()) return it->second;
  cl::TWinControl* host = cl::FindControl(hwnd);
  auto* s = new TVideoSurface(host);
  RECT r;
  GetClientRect(hwnd, &r);
  s->SetBounds(0, 0, r.Width(), r.Height());
  if (host) {
    s->SetAlign(cl::alClient);
    s->SetParent(host);
  } else {
    s->ParentWindow = hwnd;
    s->HandleNeeded();
    ShowWindow(s->Handle(), SW_SHOWNA);
  }
  s->host_ = hwnd;
  Hosted()[hwnd] = s;
  // The host hears the player's window messages: CM_INVALIDATE and its size.
  std::weak_ptr<Life> life = s->weak_;
  s->hostSubclass_ =
      SubclassWindow(hwnd, [life, hwnd, host](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
        prev(m);
        std::shared_ptr<Life> l = life.lock();
        if (!l) return;
        TVideoSurface* surface = l->surface;
        if (m.Msg == CM_INVALIDATE) surface->Perform(CM_INVALIDATE);
        if (m.Msg == WM_SIZE && !host) {
          RECT c;
          GetClientRect(hwnd, &c);
          surface->SetBounds(0, 0, c.Width(), c.Height());
        }
        if (m.Msg == WM_NCDESTROY && !host) surface->Free();
      });
  return s;
}

}  // namespace ctl
