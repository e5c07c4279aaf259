#include "platform/cl/application.h"

#include "platform/cl/stdctrls.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/icons.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"
#include "platform/rtl/files.h"
#include "platform/win/cursor.h"

#include <algorithm>
#include <unistd.h>

namespace cl {

using namespace win;

namespace {
TApplication* g_application = nullptr;
TScreen* g_screen = nullptr;
constexpr uintptr_t kHintTimer = 1;
constexpr int kShowHint = 1, kHideHint = 2;
}  // namespace

TApplication& ApplicationInstance() {
  if (!g_application) g_application = new TApplication(nullptr);
  return *g_application;
}

TScreen& ScreenInstance() {
  if (!g_screen) g_screen = new TScreen(nullptr);
  return *g_screen;
}

void ResetApplication() {
  if (g_application) {
    TApplication* a = g_application;
    g_application = nullptr;
    a->Free();
  }
  if (g_screen) {
    TScreen* s = g_screen;
    g_screen = nullptr;
    s->Free();
  }
}

int CursorToIdc(int c) {
  switch (c) {
    case crCross:
      return IDC_CROSS;
    case crIBeam:
      return IDC_IBEAM;
    case crSizeNESW:
      return IDC_SIZENESW;
    case crSizeNS:
    case -15:  // crVSplit
      return IDC_SIZENS;
    case crSizeNWSE:
      return IDC_SIZENWSE;
    case crSizeWE:
    case -14:  // crHSplit
      return IDC_SIZEWE;
    case crUpArrow:
      return IDC_UPARROW;
    case crHourGlass:
    case crSQLWait:
      return IDC_WAIT;
    case crNoDrop:
    case crNo:
      return IDC_NO;
    case crAppStart:
      return IDC_APPSTARTING;
    case crHandPoint:
      return IDC_HAND;
    case crSizeAll:
      return IDC_SIZEALL;
  }
  return IDC_ARROW;
}

// ============================================================================ THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  color_ = gfx::clInfoBk;
  brush_.SetColor(color_);
  parentFont_ = false;
  fontChanging_ = true;
  font_.SetName("MS Sans Serif");
  font_.SetHeight(-11);
  font_.SetColor(gfx::clInfoText);
  fontChanging_ = false;
  visible_ = false;
}

THintWindow* MakeHintWindow(TComponent* owner) { return new THintWindow(owner); }

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  // A popup that never takes the activation and stays above the forms.
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = nullptr;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint, void*) {
  RECT r{0, 0, maxWidth, 0};
  gfx::HDC dc = GetDC(nullptr);
  gfx::HGDIOBJ old = gfx::SelectObject(dc, font_.Handle());
  gfx::DrawText(dc, hint, -1, &r, gfx::DT_CALCRECT | gfx::DT_LEFT | gfx::DT_WORDBREAK | gfx::DT_NOPREFIX);
  gfx::SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(TRect r, const std::string& hint) { ActivateHintData(r, hint, nullptr); }

void THintWindow::ActivateHintData(TRect r, const std::string& hint, void*) {
  SetCaption(hint);
  // Kept on the monitor: a hint that would leave it moves back in.
  TMonitor m = Screen->MonitorFromPoint(r.TopLeft());
  const TRect& b = m.BoundsRect;
  int w = r.Width(), h = r.Height();
  if (r.Left + w > b.Right) r.Left = b.Right - w;
  if (r.Left < b.Left) r.Left = b.Left;
  if (r.Top + h > b.Bottom) r.Top = b.Bottom - h;
  if (r.Top < b.Top) r.Top = b.Top;
  HWND hw = Handle();
  SetWindowPos(hw, HWND_TOPMOST, r.Left, r.Top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  visible_ = true;
  Invalidate();
  Update();
}

bool THintWindow::IsHintMsg(const MSG& m) const {
  return (m.message >= WM_KEYDOWN && m.message <= WM_SYSCHAR) || m.message == WM_LBUTTONDOWN ||
         m.message == WM_RBUTTONDOWN || m.message == WM_MBUTTONDOWN || m.message == WM_NCLBUTTONDOWN ||
         m.message == WM_NCRBUTTONDOWN || m.message == WM_NCMBUTTONDOWN || m.message == WM_ACTIVATE ||
         m.message == WM_MOUSEWHEEL;
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(color_);
  Canvas()->FillRect(r);
  r.Left += 2;
  r.Top += 2;
  Canvas()->Font()->Assign(font_);
  Canvas()->Brush()->SetStyle(gfx::bsClear);
  RECT tr = r;
  gfx::DrawText(Canvas()->Handle(), text_, -1, &tr, gfx::DT_LEFT | gfx::DT_WORDBREAK | gfx::DT_NOPREFIX);
}

// ============================================================================ TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  InitControls();
  msgHooks_.push_back({0, nullptr});
  // Every message of the loop passes the OnMessage chain and the hint checks
  // before it is dispatched.
  preDispatch_ = AddPreDispatchHook([this](MSG& msg, bool& handled) {
    Keep<TApplication> keep(this);
    if (hintWindow_ && hintControl_ && hintWindow_->IsHintMsg(msg)) CancelHint();
    if (!msgHooks_.empty()) {
      TMessageEvent top = msgHooks_.back().second;
      if (top) top(msg, handled);
    }
  });
  SetMouseControlObserver([](TControl* c) {
    if (g_application) g_application->HintMouseControl(c);
  });
  SetShowHint(true);
}

void TApplication::Destroy() {
  RemovePreDispatchHook(preDispatch_);
  SetMouseControlObserver(nullptr);
  StopHintTimer();
  if (handle_) {
    HWND h = handle_;
    handle_ = nullptr;
    DeallocateHWnd(h);
  }
  hintControl_ = Keep<TControl>();
  mainForm_ = nullptr;
  TComponent::Destroy();
}

void TApplication::Initialize() {
  SetExceptionHandler([](std::exception_ptr e) { Application->HandleException(e); });
}

void TApplication::SetTitle(const std::string& t) {
  title_ = t;
  if (handle_) SetWindowText(handle_, t);
}

std::string TApplication::ExeName() const {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

HWND TApplication::Handle() {
  if (!handle_) {
    handle_ = AllocateHWnd([this](TMessage& m) { AppWndProc(m); });
    SetWindowText(handle_, title_);
  }
  return handle_;
}

void TApplication::AppWndProc(TMessage& m) {
  auto hooks = windowHooks_;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
    if ((*it)(m)) return;
  if (m.Msg == WM_TIMER && m.WParam == kHintTimer) {
    HintTimerExpired();
    return;
  }
  m.Result = DefWindowProc(handle_, m.Msg, m.WParam, m.LParam);
}

void TApplication::HookMainWindow(TWindowHook hook) {
  Handle();
  windowHooks_.push_back(std::move(hook));
}

void TApplication::UnhookMainWindow(const TWindowHook& hook) {
  // Hooks are closures: the newest one whose target matches goes.
  for (auto it = windowHooks_.rbegin(); it != windowHooks_.rend(); ++it)
    if (it->target_type() == hook.target_type()) {
      windowHooks_.erase(std::next(it).base());
      return;
    }
}

int TApplication::HookOnMessage(TMessageEvent handler) {
  int id = nextHook_++;
  msgHooks_.push_back({id, std::move(handler)});
  return id;
}

void TApplication::UnhookOnMessage(int id) {
  if (id == 0) return;
  std::erase_if(msgHooks_, [id](auto& e) { return e.first == id; });
}

void TApplication::SetOnMessage(TMessageEvent handler) { msgHooks_.front().second = std::move(handler); }

void TApplication::FormCreated(TCustomForm* f) {
  f->DoCreate();
  if (!mainForm_ && !f->Destroyed()) {
    f->HandleNeeded();
    mainForm_ = f;
  }
}

void TApplication::Run() {
  Keep<TApplication> keep(this);
  if (mainForm_ && !mainForm_->Destroyed()) {
    if (mainForm_->WindowState() == wsMinimized)
      Minimize();
    else
      mainForm_->SetVisible(true);
  }
  // Without a main form there is nothing to wait for.
  while (!Terminated() && mainForm_ && !mainForm_->Destroyed()) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
}

void TApplication::ProcessMessages() { win::ProcessMessages(); }

void TApplication::HandleMessage() {
  if (!HandleOneMessage() && !Terminated()) WaitMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::Terminated() const { return QuitRequested(); }

void TApplication::Minimize() {
  if (minimized_ || !mainForm_ || !mainForm_->HandleAllocated()) return;
  minimized_ = true;
  CancelHint();
  HWND main = mainForm_->Handle();
  // The other visible top-levels go with the main form.
  hiddenByMinimize_.clear();
  for (HWND t : TopLevelWindows())
    if (t != main && IsWindowVisible(t)) {
      ShowWindow(t, SW_HIDE);
      hiddenByMinimize_.push_back(t);
    }
  ShowWindow(main, SW_MINIMIZE);
  OnMinimize(this);
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  if (mainForm_ && mainForm_->HandleAllocated()) {
    HWND main = mainForm_->Handle();
    ShowWindow(main, SW_RESTORE);
    for (HWND t : hiddenByMinimize_)
      if (IsWindow(t)) ShowWindow(t, SW_SHOWNA);
    hiddenByMinimize_.clear();
    SetActiveWindow(main);
  }
  OnRestore(this);
}

void TApplication::BringToFront() {
  if (mainForm_ && mainForm_->HandleAllocated()) SetActiveWindow(mainForm_->Handle());
}

void TApplication::HandleException(std::exception_ptr e) {
  if (!e) return;
  try {
    std::rethrow_exception(e);
  } catch (const rtl::EAbort&) {
    return;  // silent by design
  } catch (...) {
  }
  if (OnException) {
    OnException(this, e);
    return;
  }
  std::string text;
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& ex) {
    text = ex.what();
  } catch (...) {
    text = "Unknown exception";
  }
  MessageBox(text, title_, MB_OK | MB_ICONERROR);
}

// The platform message box: a small dialog with the classic frame.
namespace {
class TMessageBoxForm : public TCustomForm {
 public:
  TMessageBoxForm(TComponent* o, const std::string& text, unsigned flags) : TCustomForm(o), text_(text) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    HandleNeeded();  // the frame decides the window size around the client
    unsigned icon = flags & 0xF0;
    if (icon == MB_ICONHAND)
      icon_ = gfx::IDI_HAND;
    else if (icon == MB_ICONQUESTION)
      icon_ = gfx::IDI_QUESTION;
    else if (icon == MB_ICONWARNING)
      icon_ = gfx::IDI_WARNING;
    else if (icon == MB_ICONINFORMATION)
      icon_ = gfx::IDI_INFORMATION;
    // Text size decides the box size.
    RECT r{0, 0, 360, 0};
    gfx::HDC dc = GetDC(nullptr);
    gfx::HGDIOBJ old = gfx::SelectObject(dc, Font()->Handle());
    gfx::DrawText(dc, text_, -1, &r, gfx::DT_CALCRECT | gfx::DT_WORDBREAK | gfx::DT_NOPREFIX);
    gfx::SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    textLeft_ = icon_ ? 60 : 16;
    textRect_ = {textLeft_, 16, textLeft_ + r.Width(), 16 + std::max(r.Height(), 32)};
    struct B {
      const char* caption;
      int result;
    };
    std::vector<B> buttons;
    switch (flags & 0x0F) {
      case MB_OKCANCEL:
        buttons = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
        break;
      case MB_ABORTRETRYIGNORE:
        buttons = {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
        break;
      case MB_YESNOCANCEL:
        buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
        break;
      case MB_YESNO:
        buttons = {{"&Yes", IDYES}, {"&No", IDNO}};
        break;
      case MB_RETRYCANCEL:
        buttons = {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}};
        break;
      default:
        buttons = {{"OK", IDOK}};
    }
    int bw = 75, gap = 8, total = int(buttons.size()) * bw + (int(buttons.size()) - 1) * gap;
    int cw = std::max(textRect_.Right + 16, total + 32);
    int by = textRect_.Bottom + 16;
    SetClientSize(cw, by + 25 + 12);
    int x = (cw - total) / 2;
    for (size_t i = 0; i < buttons.size(); i++) {
      auto* b = new TButton(this);
      b->SetCaption(buttons[i].caption);
      b->ModalResult = buttons[i].result;
      b->SetBounds(x, by, bw, 25);
      b->SetParent(this);
      if (i == 0) {
        b->SetDefault(true);
        SetActiveControl(b);
      }
      if (buttons[i].result == IDCANCEL || buttons.size() == 1) b->Cancel = true;
      x += bw + gap;
    }
  }

 protected:
  void Paint() override {
    if (icon_) gfx::DrawIcon(Canvas()->Handle(), 16, 16, gfx::LoadIcon(nullptr, icon_));
    Canvas()->Font()->Assign(*Font());
    Canvas()->Brush()->SetStyle(gfx::bsClear);
    RECT r = textRect_;
    gfx::DrawText(Canvas()->Handle(), text_, -1, &r, gfx::DT_WORDBREAK | gfx::DT_NOPREFIX);
  }

 private:
  std::string text_;
  int icon_ = 0;
  int textLeft_ = 16;
  TRect textRect_;
};
}  // namespace

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  auto* box = new TMessageBoxForm(nullptr, text, flags);
  box->SetCaption(caption.empty() ? title_ : caption);
  Keep<TCustomForm> keep(box);
  int r = IDCANCEL;
  try {
    r = box->ShowModal();
  } catch (...) {
    box->Free();
    throw;
  }
  if (!box->Destroyed()) box->Free();
  return r == 0 ? IDCANCEL : r;
}

// ---- hints ---------------------------------------------------------------------------

void TApplication::SetShowHint(bool v) {
  if (v == showHint_ && (!v || hintWindow_)) return;
  showHint_ = v;
  if (v) {
    hintClass_ = HintWindowClass ? HintWindowClass : MakeHintWindow;
    hintWindow_ = hintClass_(this);
    hintWindow_->SetColor(HintColor);
  } else {
    CancelHint();
    if (hintWindow_) {
      THintWindow* w = hintWindow_;
      hintWindow_ = nullptr;
      w->Free();
    }
  }
}

void TApplication::StartHintTimer(int ms, int mode) {
  StopHintTimer();
  hintMode_ = mode;
  hintTimerOn_ = true;
  SetTimer(Handle(), kHintTimer, UINT(std::max(ms, 1)));
}

void TApplication::StopHintTimer() {
  if (hintTimerOn_ && handle_) KillTimer(handle_, kHintTimer);
  hintTimerOn_ = false;
}

void TApplication::HideHint() {
  if (hintWindow_ && hintWindow_->HandleAllocated() && IsWindowVisible(hintWindow_->Handle())) {
    ShowWindow(hintWindow_->Handle(), SW_HIDE);
  }
  if (hintWindow_) hintWindow_->SetVisible(false);
}

void TApplication::CancelHint() {
  if (!hintControl_) return;
  HideHint();
  hintControl_ = Keep<TControl>();
  hintActive_ = false;
  StopHintTimer();
}

// The nearest control, from `c` up, that shows hints.
static TControl* HintControlOf(TControl* c) {
  for (TControl* p = c; p; p = p->Parent()) {
    if (p->ShowHint) return p;
    if (!p->ParentShowHint) return nullptr;
  }
  return nullptr;
}

void TApplication::HintMouseControl(TControl* c) {
  if (!showHint_ || !hintWindow_) return;
  TControl* hc = c && !c->Destroyed() ? HintControlOf(c) : nullptr;
  if (hc && dynamic_cast<THintWindow*>(hc)) return;
  if (!hc) {
    CancelHint();
    return;
  }
  if (hc != hintControl_.get()) {
    // Moving from a control whose hint showed to another shows the next one sooner.
    int wait = hintActive_ ? HintShortPause : HintPause;
    HideHint();
    hintControl_ = Keep<TControl>(hc);
    StartHintTimer(wait, kShowHint);
  }
}

void TApplication::HintTimerExpired() {
  int mode = hintMode_;
  StopHintTimer();
  if (mode == kHideHint) {
    HideHint();
    return;
  }
  if (!hintControl_.Alive()) {
    CancelHint();
    return;
  }
  POINT p;
  GetCursorPos(&p);
  ActivateHint(p);
}

void TApplication::ActivateHint(TPoint cursor) {
  Keep<TControl> control = hintControl_;
  if (!control.Alive() || !hintWindow_) return;
  THintInfo info;
  info.HintControl = control.get();
  info.HintWindowClass = HintWindowClass ? HintWindowClass : MakeHintWindow;
  info.HintPos = {cursor.X, cursor.Y + 20};
  info.HintMaxWidth = Screen->Width();
  info.HintColor = HintColor;
  info.CursorRect = control->ClientRect();
  info.CursorPos = control->ScreenToClient(cursor);
  info.HideTimeout = HintHidePause;
  // "short|long": the hint shows the part before the bar.
  std::string hint = control->Hint;
  if (auto bar = hint.find('|'); bar != std::string::npos) hint = hint.substr(0, bar);
  info.HintStr = hint;
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  std::string hintStr = info.HintStr;
  hintActive_ = canShow;
  if (canShow && OnShowHint) OnShowHint(hintStr, canShow, info);
  if (!canShow || hintStr.empty() || !control.Alive() || hintControl_.get() != control.get() || !hintWindow_) {
    HideHint();
    return;
  }
  if (info.HintWindowClass != hintClass_) {
    // Another window class was asked for: a window of that class shows it.
    THintWindow* old = hintWindow_;
    hintClass_ = info.HintWindowClass;
    hintWindow_ = hintClass_(this);
    old->Free();
  }
  hintWindow_->SetColor(info.HintColor);
  TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, hintStr, info.HintData);
  r = {r.Left + info.HintPos.X, r.Top + info.HintPos.Y, r.Right + info.HintPos.X, r.Bottom + info.HintPos.Y};
  hintWindow_->ActivateHintData(r, hintStr, info.HintData);
  StartHintTimer(info.HideTimeout, kHideHint);
}

// ============================================================================ TScreen

void TScreen::AddForm(TCustomForm* f) { forms_.push_back(f); }

void TScreen::RemoveForm(TCustomForm* f) {
  std::erase(forms_, f);
  if (lastActive_ == f) lastActive_ = nullptr;
}

void TScreen::FormActivated(TCustomForm* f) { lastActive_ = f; }

TCustomForm* TScreen::ActiveForm() const {
  HWND a = GetActiveWindow();
  for (TCustomForm* f : forms_)
    if (f->HandleAllocated() && f->Handle() == a) return f;
  return lastActive_;
}

TWinControl* TScreen::ActiveControl() const {
  TCustomForm* f = ActiveForm();
  return f ? f->ActiveControl() : nullptr;
}

void TScreen::SetCursor(int c) {
  if (c == cursor_) return;
  cursor_ = c;
  SetScreenCursorOverride(c == crDefault ? 0 : CursorToIdc(c));
  if (c != crDefault) {
    win::SetCursor(LoadCursor(nullptr, CursorToIdc(c)));
  } else {
    // Every window shows its own cursor again, starting with the one under the pointer.
    POINT p;
    GetCursorPos(&p);
    if (HWND h = WindowFromPoint(p))
      SendMessage(h, WM_SETCURSOR, WPARAM(h.v),
                  MAKELPARAM(int(SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y))), int(WM_MOUSEMOVE)));
  }
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

int TScreen::DesktopWidth() const {
  TRect u{};
  for (auto& s : Screens())
    u = {std::min(u.Left, s.bounds.Left), std::min(u.Top, s.bounds.Top), std::max(u.Right, s.bounds.Right),
         std::max(u.Bottom, s.bounds.Bottom)};
  return u.Width();
}

int TScreen::DesktopHeight() const {
  TRect u{};
  for (auto& s : Screens())
    u = {std::min(u.Left, s.bounds.Left), std::min(u.Top, s.bounds.Top), std::max(u.Right, s.bounds.Right),
         std::max(u.Bottom, s.bounds.Bottom)};
  return u.Height();
}

TRect TScreen::WorkAreaRect() const {
  RECT r;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

int TScreen::MonitorCount() const { return int(Screens().size()); }

TMonitor TScreen::Monitors(int i) const {
  const auto& list = Screens();
  TMonitor m;
  if (i < 0 || i >= int(list.size())) return m;
  m.MonitorNum = i;
  m.BoundsRect = list[size_t(i)].bounds;
  m.WorkareaRect = list[size_t(i)].workArea;
  m.Primary = i == 0;
  POINT c{m.BoundsRect.Left, m.BoundsRect.Top};
  m.Handle = win::MonitorFromPoint(c, MONITOR_DEFAULTTONEAREST);
  return m;
}

TMonitor TScreen::MonitorFromPoint(TPoint p) const {
  HMONITOR h = win::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST);
  for (int i = 0; i < MonitorCount(); i++)
    if (Monitors(i).Handle == h) return Monitors(i);
  return Monitors(0);
}

TMonitor TScreen::MonitorFromRect(TRect r) const {
  RECT rr = r;
  HMONITOR h = win::MonitorFromRect(&rr, MONITOR_DEFAULTTONEAREST);
  for (int i = 0; i < MonitorCount(); i++)
    if (Monitors(i).Handle == h) return Monitors(i);
  return Monitors(0);
}

}  // namespace cl
