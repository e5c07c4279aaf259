// TControl, TWinControl, TGraphicControl, TCustomControl and the hooks the
// class library installs into the window system.
#include "platform/cl/controls.h"

#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/menus.h"
#include "platform/win/cursor.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/region.h"
#include "platform/gfx/text.h"

#include <algorithm>

namespace cl {

using namespace win;

struct WinControlAccess {
  static void Bind(TWinControl* c, HWND h) { c->handle_ = h; }
  static WNDPROC Proc(TWinControl* c) { return c->objectInstance_; }
  static void PaintWindow(TWinControl* c, gfx::HDC dc) { c->PaintWindow(dc); }
};

namespace {
TWinControl* g_creating = nullptr;
Keep<TControl> g_captureControl;
Keep<TControl> g_mouseControl;
std::vector<TControlCanvas*> g_liveCanvases;
int g_dispatchDepth = 0;
bool g_initialized = false;
std::function<void(TControl*)> g_mouseObserver;
int g_screenCursor = 0;

WNDPROC InitWndProc() {
  static WNDPROC p = MakeWndProc([](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    auto* c = static_cast<TWinControl*>(GetWindowObject(h));
    if (!c && g_creating) {
      c = g_creating;
      g_creating = nullptr;
      SetWindowObject(h, c);
      WinControlAccess::Bind(c, h);
      SetWindowLong(h, GWL_WNDPROC, LONG_PTR(WinControlAccess::Proc(c).v));
    }
    if (!c) return DefWindowProc(h, m, w, l);
    return CallWindowProc(WNDPROC(uint32_t(GetWindowLong(h, GWL_WNDPROC))), h, m, w, l);
  });
  return p;
}

// Free the DCs that control canvases took outside painting, once the
// outermost message is done (their clip would go stale).
void FreeDeviceContexts() {
  auto list = g_liveCanvases;
  for (TControlCanvas* c : list) c->FreeHandle();
}

struct DepthGuard {
  DepthGuard() { g_dispatchDepth++; }
  ~DepthGuard() {
    if (--g_dispatchDepth == 0) FreeDeviceContexts();
  }
};

void MoveWindowOrg(gfx::HDC dc, int dx, int dy) {
  gfx::POINT p;
  gfx::GetWindowOrgEx(dc, &p);
  gfx::SetWindowOrgEx(dc, p.X - dx, p.Y - dy, nullptr);
}

struct SaveDCGuard {
  gfx::HDC dc;
  int idx;
  explicit SaveDCGuard(gfx::HDC d) : dc(d), idx(gfx::SaveDC(d)) {}
  ~SaveDCGuard() { gfx::RestoreDC(dc, idx); }
};

bool IsWin(const TControl* c) { return dynamic_cast<const TWinControl*>(c) != nullptr; }

void MouseTrack(HWND under, POINT pt) {
  TControl* c = nullptr;
  HWND h = under;
  TWinControl* w = nullptr;
  while (h && !(w = FindControl(h))) h = GetParent(h);
  if (w && !w->Destroyed()) {
    TPoint p = w->ScreenToClient(pt);
    TControl* g = w->ControlAtPos(p, true);
    c = g ? g : w;
  }
  if (c == g_mouseControl.get()) return;
  // Held here too: the leave handler may free the control being entered.
  Keep<TControl> next(c);
  Keep<TControl> old = g_mouseControl;
  g_mouseControl = next;
  if (old.Alive()) old->Perform(CM_MOUSELEAVE);
  if (next.Alive() && g_mouseControl.get() == c) c->Perform(CM_MOUSEENTER);
  if (g_mouseObserver && g_mouseControl.get() == c) g_mouseObserver(next.Alive() ? c : nullptr);
}

// The class library's keyboard pre-processing: the focused control (or its
// nearest control ancestor) sees CN_KEYDOWN / CN_CHAR first; a non-zero
// answer consumes the key, so no WM_CHAR follows.
bool KeyPre(MSG& msg) {
  UINT cn = 0;
  switch (msg.message) {
    case WM_KEYDOWN:
      cn = CN_KEYDOWN;
      break;
    case WM_SYSKEYDOWN:
      cn = CN_SYSKEYDOWN;
      break;
    case WM_KEYUP:
      cn = CN_KEYUP;
      break;
    case WM_CHAR:
      cn = CN_CHAR;
      break;
    case WM_SYSCHAR:
      cn = CN_SYSCHAR;
      break;
    default:
      return false;
  }
  HWND h = msg.hwnd;
  while (h && !FindControl(h)) h = GetParent(h);
  if (!h) return false;
  return SendMessage(h, cn, msg.wParam, msg.lParam) != 0;
}
}  // namespace

void InitControls() {
  if (g_initialized) return;
  g_initialized = true;
  SetMouseTrackHook(MouseTrack);
  SetKeyPreprocessor(KeyPre);
}

void ResetControlGlobals() {
  g_captureControl = Keep<TControl>();
  g_mouseControl = Keep<TControl>();
  g_screenCursor = 0;
}

void SetMouseControlObserver(std::function<void(TControl*)> observer) { g_mouseObserver = std::move(observer); }
void SetScreenCursorOverride(int idc) { g_screenCursor = idc; }

TShiftState KeysToShiftState(unsigned keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (keyData & (1 << 29)) s |= ssAlt;
  return s;
}

bool IsAccel(char32_t ch, const std::string& caption) {
  std::u32string t = gfx::ToU32(caption);
  auto lower = [](char32_t c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
  for (size_t i = 0; i + 1 < t.size(); i++) {
    if (t[i] != '&') continue;
    if (t[i + 1] == '&') {
      i++;
      continue;
    }
    return lower(t[i + 1]) == lower(ch);
  }
  return false;
}

TWinControl* FindControl(HWND h) { return h ? static_cast<TWinControl*>(GetWindowObject(h)) : nullptr; }

void PaintWindowOf(TWinControl* c, gfx::HDC dc) {
  if (c && !c->Destroyed()) WinControlAccess::PaintWindow(c, dc);
}

TControl* GetCaptureControl() {
  TWinControl* w = FindControl(GetCapture());
  if (!w) return nullptr;
  if (g_captureControl.Alive() && g_captureControl->Parent() == w) return g_captureControl.get();
  return w;
}

void SetCaptureControl(TControl* c) {
  ReleaseCapture();
  g_captureControl = Keep<TControl>();
  if (!c) return;
  if (!IsWin(c)) {
    if (!c->Parent()) return;
    g_captureControl = Keep<TControl>(c);
    c = c->Parent();
  }
  SetCapture(static_cast<TWinControl*>(c)->Handle());
}

// ============================================================================ TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  InitControls();
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_.OnChange = [this](rtl::TObject*) {
    if (!fontChanging_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
  };
}

TControl::~TControl() = default;

void TControl::Destroy() {
  if (g_captureControl.get() == this) {
    if (MouseCapture()) ReleaseCapture();
    g_captureControl = Keep<TControl>();
  }
  if (g_mouseControl.get() == this) g_mouseControl = Keep<TControl>();
  if (action_) action_->UnRegisterClient(this);
  action_ = nullptr;
  SetParent(nullptr);
  TComponent::Destroy();
}

void TControl::SetParent(TWinControl* p) {
  if (p == parent_) return;
  if (p == this) throw rtl::EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (p) p->InsertControl(this);
}

void TControl::SetBounds(int l, int t, int w, int h) {
  int nw = w, nh = h;
  if (Constraints.MinWidth > 0) nw = std::max(nw, Constraints.MinWidth);
  if (Constraints.MaxWidth > 0) nw = std::min(nw, Constraints.MaxWidth);
  if (Constraints.MinHeight > 0) nh = std::max(nh, Constraints.MinHeight);
  if (Constraints.MaxHeight > 0) nh = std::min(nh, Constraints.MaxHeight);
  if (l == left_ && t == top_ && nw == width_ && nh == height_) return;
  InvalidateControl(visible_, false);
  left_ = l;
  top_ = t;
  width_ = nw;
  height_ = nh;
  Invalidate();
  RequestAlign();
  if (!Loading()) Resize();
}

TRect TControl::ClientRect() { return {0, 0, width_, height_}; }

void TControl::SetClientSize(int w, int h) {
  TRect c = ClientRect();
  SetBounds(left_, top_, width_ - c.Width() + w, height_ - c.Height() + h);
}

TPoint TControl::ClientOrigin() {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetAlign(TAlign a) {
  if (a == align_) return;
  align_ = a;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors a) { anchors_ = a; }

void TControl::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  if (v) AdjustBounds();
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  VisibleChanging();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  RequestAlign();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor c) {
  parentColor_ = false;
  if (c == color_) return;
  color_ = c;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v && parent_) ParentColorChanged();
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v && parent_) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  fontChanging_ = true;
  font_.Assign(*parent_->Font());
  fontChanging_ = false;
  parentFont_ = true;
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_) return;
  if (color_ != parent_->Color()) {
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED);
  }
  parentColor_ = true;
}

void TControl::SetText(const std::string& s) {
  if (GetText() == s) return;
  SetTextBuf(s);
  Perform(CM_TEXTCHANGED);
}

void TControl::SetTextBuf(const std::string& s) { text_ = s; }

LRESULT TControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  Keep<TControl> k(this);
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && !(ControlStyle & csDoubleClicks)) {
    if (m.Msg == WM_LBUTTONDBLCLK)
      m.Msg = WM_LBUTTONDOWN;
    else if (m.Msg == WM_RBUTTONDBLCLK)
      m.Msg = WM_RBUTTONDOWN;
    else if (m.Msg == WM_MBUTTONDBLCLK)
      m.Msg = WM_MBUTTONDOWN;
  }
  Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
      WMMouse(m);
      return;
    case CM_HITTEST:
      m.Result = HTCLIENT;
      return;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      InvalidateControl(true, visible_ && IsOpaque());
      return;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      return;
    case CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      return;
  }
  TComponent::Dispatch(m);
}

void TControl::WMMouse(TMessage& m) {
  TShiftState shift = KeysToShiftState(unsigned(m.WParam));
  int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  const uint32_t releases = LeftButtonReleases();
  DefaultHandler(m);
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A handler that pumped messages (a selection opening a file, say) may
      // have let the release of this very press go by; capturing now would
      // keep the mouse here until the next click anywhere.
      if ((ControlStyle & csCaptureMouse) && releases == LeftButtonReleases()) SetMouseCapture(true);
      if (Destroyed()) return;
      if (m.Msg == WM_LBUTTONDBLCLK) {
        if (ControlStyle & csClickEvents) DblClick();
        if (Destroyed()) return;
        shift |= ssDouble;
      } else if (ControlStyle & csClickEvents) {
        ControlState |= csClicked;
      }
      MouseDown(mbLeft, shift, x, y);
      return;
    case WM_LBUTTONUP:
      if (ControlStyle & csCaptureMouse) SetMouseCapture(false);
      if (ControlState & csClicked) {
        ControlState &= ~csClicked;
        TRect r = ClientRect();
        if (x >= r.Left && y >= r.Top && x < r.Right && y < r.Bottom) Click();
      }
      if (Destroyed()) return;
      MouseUp(mbLeft, shift, x, y);
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, shift | (m.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0), x, y);
      return;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift | (m.Msg == WM_MBUTTONDBLCLK ? ssDouble : 0), x, y);
      return;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      return;
  }
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXTLENGTH:
      m.Result = LRESULT(text_.size());
      return;
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(m.LParam);
      if (!buf || m.WParam == 0) return;
      size_t n = std::min(text_.size(), size_t(m.WParam) - 1);
      std::copy_n(text_.data(), n, buf);
      buf[n] = 0;
      m.Result = LRESULT(n);
      return;
    }
    case WM_SETTEXT: {
      const char* t = reinterpret_cast<const char*>(m.LParam);
      text_ = t ? t : "";
      m.Result = 1;
      return;
    }
  }
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { OnMouseDown(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { OnMouseMove(this, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { OnMouseUp(this, b, s, x, y); }
void TControl::Click() {
  if (action_ && !OnClick) {
    action_->Execute();
    return;
  }
  OnClick(this);
}

void TControl::SetAction(TCustomAction* Value) {
  if (Value == action_) return;
  if (action_) action_->UnRegisterClient(this);
  action_ = Value;
  if (!action_) {
    ControlStyle &= ~unsigned(csActionClient);
    return;
  }
  ControlStyle |= csActionClient;
  action_->RegisterClient(this);
  ActionChange(action_, Loading());
}

void TControl::ActionChange(rtl::TObject* Sender, bool CheckDefaults) {
  auto* A = dynamic_cast<TCustomAction*>(Sender);
  if (!A) return;
  if (!CheckDefaults || Caption().empty()) SetCaption(A->Caption());
  if (!CheckDefaults || enabled_) SetEnabled(A->Enabled());
  if (!CheckDefaults || Hint.empty()) Hint = A->Hint();
  if (!CheckDefaults || visible_) SetVisible(A->Visible());
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == action_) {
    action_ = nullptr;
    ControlStyle &= ~unsigned(csActionClient);
  }
}
void TControl::DblClick() { OnDblClick(this); }

bool TControl::MouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool v) {
  if (v == MouseCapture()) return;
  SetCaptureControl(v ? this : nullptr);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !parent_ || !parent_->HandleAllocated()) return;
  RECT r = BoundsRect();
  InvalidateRect(parent_->handle_, &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(visible_, IsOpaque()); }

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  // Nothing of a hidden window can be seen, and showing it paints it whole;
  // drawing now would only make its image early (a form takes every skin
  // change while it is built).
  if (!IsWindowVisible(parent_->handle_)) return;
  if (IsOpaque()) {
    // An opaque control paints itself at once into the parent's DC.
    HWND ph = parent_->handle_;
    gfx::HDC dc = GetDC(ph);
    if (!dc) return;
    try {
      gfx::IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
      parent_->PaintControls(dc, this);
    } catch (...) {
      ReleaseDC(ph, dc);
      throw;
    }
    ReleaseDC(ph, dc);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& l = parent_->controls_;
  std::erase(l, this);
  l.push_back(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& l = parent_->controls_;
  std::erase(l, this);
  l.insert(l.begin(), this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

TCustomForm* TControl::GetParentForm() {
  TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(c);
}

bool TControl::Showing() { return visible_ && parent_ && parent_->Showing(); }

void TControl::RequestAlign() {
  if (parent_) parent_->Realign();
}

// ============================================================================ TControlCanvas

void TControlCanvas::CreateHandle() {
  if (own_) return;
  if (auto* w = dynamic_cast<TWinControl*>(control_)) {
    if (w->Destroyed()) return;
    ownWnd_ = w->Handle();
    own_ = GetDC(ownWnd_);
  } else {
    TWinControl* p = control_->Parent();
    if (!p || !p->HandleAllocated()) return;
    ownWnd_ = p->Handle();
    own_ = GetDC(ownWnd_);
    if (own_) {
      gfx::SetViewportOrgEx(own_, control_->Left(), control_->Top(), nullptr);
      gfx::IntersectClipRect(own_, 0, 0, control_->Width(), control_->Height());
    }
  }
  if (own_) {
    SetHandle(own_);
    g_liveCanvases.push_back(this);
  }
}

void TControlCanvas::FreeHandle() {
  if (!own_) return;
  if (handle_ == own_) SetHandle(gfx::HDC());
  ReleaseDC(ownWnd_, own_);
  own_ = gfx::HDC();
  std::erase(g_liveCanvases, this);
}

// ============================================================================ TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  objectInstance_ = MakeObjectInstance([this](TMessage& m) { MainWndProc(m); });
  defWndProc_ = DefWindowProcId();
  brush_.SetColor(color_);
}

TWinControl::~TWinControl() { FreeWndProc(objectInstance_); }

void TWinControl::Destroy() {
  Destroying_();
  if (parent_)
    if (TCustomForm* f = GetParentForm()) f->DefocusControl(this, true);
  if (HandleAllocated()) DestroyHandle();
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    RemoveControl(c);
    c->Free();
  }
  TControl::Destroy();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (HandleAllocated() || Destroyed()) return;
  if (parent_) parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  if (HandleAllocated()) return;
  CreateWnd();
  if (!HandleAllocated()) return;
  std::vector<TControl*> kids = controls_;
  for (TControl* c : kids)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->Destroyed()) w->CreateHandle();
  Realign();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = text_;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle & csAcceptsControls) {
    p.Style |= WS_CLIPCHILDREN;
    p.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!enabled_) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = parent_ ? parent_->handle_ : ParentWindow;
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = DefWindowProcId();
  p.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent)
    throw rtl::EInvalidOperation("Control '" + Name() + "' has no parent window");
  defWndProc_ = p.WindowClass.lpfnWndProc ? p.WindowClass.lpfnWndProc : DefWindowProcId();
  WNDCLASS existing;
  if (!GetClassInfo(p.WinClassName, &existing)) {
    WNDCLASS wc = p.WindowClass;
    wc.lpfnWndProc = InitWndProc();
    wc.lpszClassName = p.WinClassName;
    RegisterClass(wc);
  }
  if (visible_ && (p.Style & WS_CHILD)) p.Style |= WS_VISIBLE;
  g_creating = this;
  try {
    CreateWindowHandle(p);
  } catch (...) {
    g_creating = nullptr;
    throw;
  }
  g_creating = nullptr;
  if (!handle_) throw rtl::EInvalidOperation("Error creating window");
  UpdateBounds();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  HWND h = CreateWindowEx(p.ExStyle, p.WinClassName, p.Caption, p.Style, p.X, p.Y, p.Width, p.Height, p.WndParent);
  if (h) handle_ = h;
}

void TWinControl::DestroyWnd() {
  if (HandleAllocated()) DestroyWindow(handle_);
  handle_ = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!HandleAllocated()) return;
  ControlState |= csDestroyingHandle;
  DestroyWnd();
  ControlState &= ~csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
  if (!HandleAllocated()) return;
  if (!parent_ && !ParentWindow) {
    // A top-level keeps its window (and on-screen surface): new styles, then
    // the frame is computed and painted again.
    TCreateParams p;
    CreateParams(p);
    SetWindowLong(handle_, GWL_STYLE, LONG_PTR(p.Style & ~WS_VISIBLE));
    SetWindowLong(handle_, GWL_EXSTYLE, LONG_PTR(p.ExStyle));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return;
  }
  bool wasVisible = IsWindowVisible(handle_);
  DestroyHandle();
  HandleNeeded();
  if (wasVisible && HandleAllocated()) ShowWindow(handle_, SW_SHOWNA);
}

void TWinControl::InsertControl(TControl* c) {
  c->parent_ = this;
  controls_.push_back(c);
  if (c->parentFont_) c->ParentFontChanged();
  if (c->parentColor_) c->ParentColorChanged();
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    tabList_.push_back(w);
    if (HandleAllocated() && !w->Destroyed()) w->HandleNeeded();
  } else {
    c->Invalidate();
  }
  Realign();
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (TCustomForm* f = GetParentForm()) f->DefocusControl(w, true);
    w->DestroyHandle();
  } else {
    c->InvalidateControl(c->visible_, false);
  }
  it = std::find(controls_.begin(), controls_.end(), c);
  if (it != controls_.end()) controls_.erase(it);
  if (auto* w = dynamic_cast<TWinControl*>(c)) std::erase(tabList_, w);
  c->parent_ = nullptr;
  Realign();
}

bool TWinControl::ContainsControl(TControl* c) const {
  for (; c; c = c->parent_)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (!allowWinControls && IsWin(c)) continue;
    if (!c->visible_ || (!allowDisabled && !c->Enabled())) continue;
    TRect r = c->BoundsRect();
    if (pos.X < r.Left || pos.Y < r.Top || pos.X >= r.Right || pos.Y >= r.Bottom) continue;
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(pos.X - r.Left, pos.Y - r.Top)) != 0) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
  std::vector<TControl*> kids = controls_;
  for (TControl* c : kids) {
    if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
    Keep<TControl> k(c);
    c->WindowProc(m);
    if (m.Result != 0) return;
  }
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  auto& l = parent_->tabList_;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int v) {
  if (!parent_) return;
  auto& l = parent_->tabList_;
  std::erase(l, this);
  v = std::clamp(v, 0, int(l.size()));
  l.insert(l.begin() + v, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* w : tabList_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool goForward, bool checkTabStop, bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = int(list.size());
  auto it = std::find(list.begin(), list.end(), cur);
  int start = it == list.end() ? (goForward ? n - 1 : 0) : int(it - list.begin());
  int i = start;
  do {
    if (goForward) {
      if (++i == n) i = 0;
    } else {
      if (i == 0) i = n;
      i--;
    }
    TWinControl* c = list[size_t(i)];
    if (c != cur && c->CanFocus() && (!checkTabStop || c->tabStop_) && (!checkParent || c->parent_ == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool goForward, bool checkTabStop) {
  if (TWinControl* c = FindNextControl(cur, goForward, checkTabStop, !checkTabStop)) c->SetFocus();
}

void TWinControl::SetFocus() {
  if (TCustomForm* f = GetParentForm(); f && f != this)
    f->FocusControl(this);
  else if (TCustomForm* self = dynamic_cast<TCustomForm*>(this))
    self->FocusControl(self);
  else if (HandleAllocated() || ParentWindow)
    win::SetFocus(Handle());
  else
    throw rtl::EInvalidOperation("Control '" + Name() + "' has no parent window");
}

bool TWinControl::Focused() { return HandleAllocated() && handle_ == win::GetFocus(); }

bool TWinControl::CanFocus() {
  TCustomForm* f = GetParentForm();
  if (!f) return false;
  for (TControl* c = this; c != f; c = c->parent_)
    if (!c->visible_ || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Showing() { return HandleAllocated() && IsWindowVisible(handle_); }

void TWinControl::MainWndProc(TMessage& m) {
  Keep<TWinControl> k(this);
  DepthGuard depth;
  try {
    WindowProc(m);
  } catch (...) {
    HandleDispatchException(std::current_exception());
  }
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* c = nullptr;
  if (GetCapture() == handle_) {
    if (g_captureControl.Alive() && g_captureControl->parent_ == this) c = g_captureControl.get();
  } else {
    c = ControlAtPos({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}, false);
  }
  if (!c) return false;
  int x = GET_X_LPARAM(m.LParam) - c->left_, y = GET_Y_LPARAM(m.LParam) - c->top_;
  m.Result = c->Perform(m.Msg, m.WParam, MAKELPARAM(x, y));
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (TCustomForm* f = GetParentForm(); f && !f->SetFocusedControl(this)) return;
      break;
    case WM_KILLFOCUS:
      if (ControlState & csFocusing) return;
      break;
    default:
      if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && IsControlMouseMsg(m)) return;
  }
  TControl::WndProc(m);
}

void TWinControl::Dispatch(TMessage& m) {
  // With KeyPreview the form sees a key first and may consume it by zeroing it;
  // false when the key was consumed or a handler destroyed this control.
  auto DeliverKey = [this](const auto& key, auto&& handle) {
    if (TWinControl* f = PreviewForm()) {
      handle(f);
      if (key == 0 || Destroyed()) return false;
    }
    handle(this);
    return key != 0 && !Destroyed();
  };
  switch (m.Msg) {
    case WM_PAINT:
      PaintHandler(m);
      return;
    case WM_ERASEBKGND: {
      RECT r = ClientRect();
      gfx::FillRect(gfx::HDC(uint32_t(m.WParam)), &r, brush_.Handle());
      m.Result = 1;
      return;
    }
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
      DefaultHandler(m);
      UpdateBounds();
      return;
    case WM_SIZE:
      DefaultHandler(m);
      UpdateBounds();
      Realign();
      if (!Loading() && !Destroyed()) Resize();
      return;
    case WM_NCDESTROY:
      DefaultHandler(m);
      handle_ = nullptr;
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      uint16_t key = uint16_t(m.WParam);
      if (!DeliverKey(key, [&](TWinControl* c) { c->KeyDown(key, KeyDataToShiftState(m.LParam)); })) return;
      m.WParam = key;
      DefaultHandler(m);
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      uint16_t key = uint16_t(m.WParam);
      if (!DeliverKey(key, [&](TWinControl* c) { c->KeyUp(key, KeyDataToShiftState(m.LParam)); })) return;
      m.WParam = key;
      DefaultHandler(m);
      return;
    }
    case WM_CHAR: {
      char32_t ch = char32_t(m.WParam);
      if (!DeliverKey(ch, [&](TWinControl* c) { c->KeyPress(ch); })) return;
      m.WParam = ch;
      DefaultHandler(m);
      return;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
      m.Result = 1;
      if (TCustomForm* f = GetParentForm(); f && f->IsShortCut(m)) return;
      if (Destroyed()) return;
      if (Perform(CM_CHILDKEY, m.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
      unsigned mask = 0;
      switch (m.WParam) {
        case VK_TAB:
          mask = DLGC_WANTTAB;
          break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
          mask = DLGC_WANTARROWS;
          break;
        case VK_RETURN:
        case VK_ESCAPE:
          mask = DLGC_WANTALLKEYS;
          break;
      }
      if (mask && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
        if (TCustomForm* f = GetParentForm(); f && f->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) return;
      }
      m.Result = 0;
      return;
    }
    case CN_CHAR: {
      m.Result = 1;
      if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0)
        if (TCustomForm* f = GetParentForm(); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) return;
      m.Result = 0;
      return;
    }
    case CN_SYSCHAR:
      // Alt+letter: the form looks for the control whose accelerator it is.
      if (m.WParam != ' ')
        if (TCustomForm* f = GetParentForm()) m.Result = f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
      return;
    case CM_CHILDKEY:
      if (parent_) m.Result = parent_->Perform(CM_CHILDKEY, m.WParam, m.LParam);
      return;
    case WM_CONTEXTMENU: {
      // The popup menu of the control under the point (graphic children
      // included); (-1,-1) comes from the keyboard and opens at the control.
      int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
      TControl* c = this;
      if (x != -1 || y != -1) {
        if (TControl* g = ControlAtPos(ScreenToClient({x, y}), false)) c = g;
      } else {
        TPoint o = ClientToScreen({0, 0});
        x = o.X;
        y = o.Y;
      }
      if (auto* pm = dynamic_cast<TPopupMenu*>(c->PopupMenu ? c->PopupMenu : PopupMenu); pm && pm->AutoPopup) {
        Keep<TPopupMenu> keep(pm);
        pm->PopupComponent = c;
        pm->Popup(x, y);
        m.Result = 1;
        return;
      }
      break;
    }
    case WM_SETCURSOR:
      // Screen.Cursor overrides every window; else a control's own Cursor
      // shows over its client area (graphic children included).
      if (g_screenCursor) {
        win::SetCursor(LoadCursor(nullptr, g_screenCursor));
        m.Result = 1;
        return;
      }
      if (HWND(uint32_t(m.WParam)) == handle_ && int16_t(LOWORD(uintptr_t(m.LParam))) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        TControl* c = ControlAtPos(ScreenToClient(p), false);
        int cur = c && c->Cursor ? c->Cursor : Cursor;
        if (cur) {
          win::SetCursor(LoadCursor(nullptr, CursorToIdc(cur)));
          m.Result = 1;
          return;
        }
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      // Reflected to the child control that asks (lParam), as CN_CTLCOLOR*.
      if (TWinControl* c = FindControl(HWND(uint32_t(m.LParam)))) {
        m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
      }
      break;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED:
      Broadcast(m);
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_VISIBLECHANGED:
      if (!visible_ && parent_)
        if (TCustomForm* f = GetParentForm()) f->DefocusControl(this, false);
      UpdateShowing();
      return;
    case CM_ENABLEDCHANGED:
      if (!enabled_ && parent_)
        if (TCustomForm* f = GetParentForm()) f->DefocusControl(this, false);
      if (HandleAllocated()) EnableWindow(handle_, enabled_);
      Invalidate();
      return;
    case CM_COLORCHANGED: {
      brush_.SetColor(color_);
      Invalidate();
      TMessage n{CM_PARENTCOLORCHANGED, 0, 0, 0};
      Broadcast(n);
      return;
    }
    case CM_FONTCHANGED: {
      Invalidate();
      TMessage n{CM_PARENTFONTCHANGED, 0, 0, 0};
      Broadcast(n);
      return;
    }
    case CM_PARENTFONTCHANGED:
      TControl::Dispatch(m);
      return;
  }
  TControl::Dispatch(m);
}

TWinControl* TWinControl::PreviewForm() {
  TCustomForm* f = GetParentForm();
  return (f && f != this && f->KeyPreview) ? f : nullptr;
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (handle_ && IsWindow(handle_)) {
    if (m.Msg == WM_SETTEXT) {
      const char* t = reinterpret_cast<const char*>(m.LParam);
      text_ = t ? t : "";
    }
    m.Result = CallWindowProc(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
    return;
  }
  TControl::DefaultHandler(m);
}

std::string TWinControl::GetText() const {
  if (handle_ && IsWindow(handle_)) return GetWindowText(handle_);
  return text_;
}

void TWinControl::SetTextBuf(const std::string& s) {
  text_ = s;
  if (HandleAllocated()) SetWindowText(handle_, s);
}

void TWinControl::UpdateBounds() {
  if (!HandleAllocated()) return;
  TRect r = WindowBounds(handle_);
  left_ = r.Left;
  top_ = r.Top;
  width_ = r.Width();
  height_ = r.Height();
}

void TWinControl::UpdateShowing() {
  if (Destroyed()) return;
  if (!parent_ && !ParentWindow) {
    if (visible_) {
      HandleNeeded();
      if (HandleAllocated()) ShowWindow(handle_, SW_SHOW);
    } else if (HandleAllocated()) {
      ShowWindow(handle_, SW_HIDE);
    }
    return;
  }
  if (visible_) {
    if (parent_ && parent_->HandleAllocated()) HandleNeeded();
    if (HandleAllocated()) ShowWindow(handle_, SW_SHOWNA);
  } else if (HandleAllocated()) {
    ShowWindow(handle_, SW_HIDE);
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  gfx::HDC dc(uint32_t(m.WParam));
  PAINTSTRUCT ps;
  bool own = !dc;
  if (own) {
    dc = BeginPaint(handle_, &ps);
    if (!dc) return;
  }
  try {
    bool anyGraphic = std::any_of(controls_.begin(), controls_.end(), [](TControl* c) { return !IsWin(c); });
    if (!anyGraphic) {
      PaintWindow(dc);
    } else {
      // Opaque graphic children cover their area: the parent does not paint it.
      SaveDCGuard save(dc);
      int clip = gfx::SIMPLEREGION;
      for (TControl* c : controls_) {
        if (IsWin(c) || !c->visible_ || !c->IsOpaque()) continue;
        clip = gfx::ExcludeClipRect(dc, c->left_, c->top_, c->left_ + c->width_, c->top_ + c->height_);
        if (clip == gfx::NULLREGION) break;
      }
      if (clip != gfx::NULLREGION) PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
  } catch (...) {
    if (own) EndPaint(handle_, &ps);
    throw;
  }
  if (own) EndPaint(handle_, &ps);
}

void TWinControl::PaintWindow(gfx::HDC dc) {
  TMessage m{WM_PAINT, WPARAM(dc.v), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(gfx::HDC dc, TControl* first) {
  size_t start = 0;
  if (first) {
    auto it = std::find(controls_.begin(), controls_.end(), first);
    if (it != controls_.end()) start = size_t(it - controls_.begin());
  }
  std::vector<TControl*> kids(controls_.begin() + long(start), controls_.end());
  for (TControl* c : kids) {
    if (IsWin(c) || !c->visible_ || c->Destroyed()) continue;
    RECT r = c->BoundsRect();
    if (!gfx::RectVisible(dc, &r)) continue;
    SaveDCGuard save(dc);
    MoveWindowOrg(dc, c->left_, c->top_);
    gfx::IntersectClipRect(dc, 0, 0, c->width_, c->height_);
    c->Perform(WM_PAINT, WPARAM(dc.v), 0);
  }
}

void TWinControl::PaintTo(gfx::HDC dc, int x, int y) {
  SaveDCGuard save(dc);
  MoveWindowOrg(dc, x, y);
  gfx::IntersectClipRect(dc, 0, 0, width_, height_);
  Perform(WM_ERASEBKGND, WPARAM(dc.v), 0);
  Perform(WM_PAINT, WPARAM(dc.v), 0);
  std::vector<TControl*> kids = controls_;
  for (TControl* c : kids)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->visible_ && !w->Destroyed()) w->PaintTo(dc, w->left_, w->top_);
}

void TWinControl::Invalidate() {
  if (HandleAllocated()) InvalidateRect(handle_, nullptr, !IsOpaque());
}

void TWinControl::Update() {
  if (HandleAllocated()) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0 && --alignLevel_ == 0) Realign();
}

void TWinControl::Realign() {
  if (alignLevel_ || aligning_ || Destroyed()) return;
  aligning_ = true;
  TRect r = ClientRect();
  try {
    AlignControls(nullptr, r);
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
  AdjustClientRect(rect);
  int cw = ClientWidth(), ch = ClientHeight();
  // Anchored children follow the parent's size change.
  if (oldClientW_ >= 0 && (cw != oldClientW_ || ch != oldClientH_)) {
    int dx = cw - oldClientW_, dy = ch - oldClientH_;
    for (TControl* c : std::vector<TControl*>(controls_)) {
      if (c->align_ != alNone || c->anchors_ == (akLeft | akTop)) continue;
      int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
      bool L = c->anchors_ & akLeft, R = c->anchors_ & akRight, T = c->anchors_ & akTop, B = c->anchors_ & akBottom;
      if (R && !L)
        l += dx;
      else if (L && R)
        w += dx;
      else if (!L && !R)
        l += dx / 2;
      if (B && !T)
        t += dy;
      else if (T && B)
        h += dy;
      else if (!T && !B)
        t += dy / 2;
      c->SetBounds(l, t, std::max(0, w), std::max(0, h));
    }
  }
  oldClientW_ = cw;
  oldClientH_ = ch;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
      if (c->align_ == a && c->visible_) list.push_back(c);
    std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
      switch (a) {
        case alTop:
          return x->top_ < y->top_;
        case alBottom:
          return x->top_ + x->height_ > y->top_ + y->height_;
        case alLeft:
          return x->left_ < y->left_;
        case alRight:
          return x->left_ + x->width_ > y->left_ + y->width_;
        default:
          return false;
      }
    });
    for (TControl* c : list) {
      int w = c->width_, h = c->height_;
      switch (a) {
        case alTop:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
          rect.Top += c->height_;
          break;
        case alBottom:
          c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
          rect.Bottom -= c->height_;
          break;
        case alLeft:
          c->SetBounds(rect.Left, rect.Top, w, rect.Height());
          rect.Left += c->width_;
          break;
        case alRight:
          c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
          rect.Right -= c->width_;
          break;
        case alClient:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
          break;
        default:
          break;
      }
    }
  }
}

void TWinControl::ScrollBy(int dx, int dy) {
  DisableAlign();
  for (TControl* c : std::vector<TControl*>(controls_))
    c->SetBounds(c->left_ + dx, c->top_ + dy, c->width_, c->height_);
  EnableAlign();
  Invalidate();
}

void TWinControl::SetBounds(int l, int t, int w, int h) {
  if (l == left_ && t == top_ && w == width_ && h == height_) return;
  if (HandleAllocated()) {
    SetWindowPos(handle_, nullptr, l, t, std::max(0, w), std::max(0, h), SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    left_ = l;
    top_ = t;
    width_ = std::max(0, w);
    height_ = std::max(0, h);
    Realign();
  }
  RequestAlign();
}

TPoint TWinControl::ClientOrigin() {
  if (HandleAllocated()) {
    POINT p{0, 0};
    win::ClientToScreen(handle_, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

TRect TWinControl::ClientRect() {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(handle_, &r);
    return r;
  }
  return {0, 0, width_, height_};
}

// ============================================================================ graphic and custom

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), canvas_(new TControlCanvas(this)) {}
TGraphicControl::~TGraphicControl() { delete canvas_; }

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    if (m.WParam && !Destroyed()) {
      canvas_->Lock();
      canvas_->SetHandle(gfx::HDC(uint32_t(m.WParam)));
      try {
        Paint();
      } catch (...) {
        canvas_->SetHandle(gfx::HDC());
        canvas_->Unlock();
        throw;
      }
      canvas_->SetHandle(gfx::HDC());
      canvas_->Unlock();
    }
    return;
  }
  TControl::Dispatch(m);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), canvas_(new TControlCanvas(this)) {}
TCustomControl::~TCustomControl() { delete canvas_; }

void TCustomControl::PaintWindow(gfx::HDC dc) {
  canvas_->Lock();
  canvas_->SetHandle(dc);
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(gfx::HDC());
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(gfx::HDC());
  canvas_->Unlock();
}

}  // namespace cl
