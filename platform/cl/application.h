// TApplication (the run loop, the message hook chain, minimising, exception
// routing, the platform message box and the hint pipeline), TScreen (forms in
// creation order, the active form, the screen cursor, monitors and work
// areas) and THintWindow, the window the hint pipeline shows.
//
// `Application` and `Screen` are the two global objects of the class
// library; they come into being on first use.
#pragma once

#include "platform/cl/forms.h"
#include "platform/win/metrics.h"

#include <functional>
#include <string>
#include <vector>

namespace cl {

// ---- cursors (the class library's crXXX numbers) -------------------------------
enum : int {
  crDefault = 0,
  crNone = -1,
  crArrow = -2,
  crCross = -3,
  crIBeam = -4,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crUpArrow = -10,
  crHourGlass = -11,
  crDrag = -12,
  crNoDrop = -13,
  crMultiDrag = -16,
  crSQLWait = -17,
  crNo = -18,
  crAppStart = -19,
  crHelp = -20,
  crHandPoint = -21,
  crSizeAll = -22
};
// The window system's IDC_* cursor of a crXXX value (IDC_ARROW for unknown ones).
int CursorToIdc(int cursor);

// ---- hints -----------------------------------------------------------------------
class THintWindow;
using THintWindowClass = THintWindow* (*)(TComponent* owner);

struct THintInfo {
  TControl* HintControl = nullptr;
  THintWindowClass HintWindowClass = nullptr;
  TPoint HintPos;  // screen
  int HintMaxWidth = 0;
  TColor HintColor = gfx::clInfoBk;
  TRect CursorRect;  // client coordinates of HintControl: moving inside keeps the hint
  TPoint CursorPos;  // client coordinates of HintControl
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  std::string HintStr;
  void* HintData = nullptr;
};
using TShowHintEvent = rtl::Event<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// A borderless, never-activated, top-most window that shows a hint text.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* AOwner);
  // The rectangle (at 0,0) the text needs, at most MaxWidth wide.
  virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
  // Shows the hint at Rect (screen) without taking the activation.
  virtual void ActivateHint(TRect Rect, const std::string& AHint);
  virtual void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
  void ReleaseHandle() { DestroyHandle(); }
  bool IsHintMsg(const win::MSG& msg) const;

 protected:
  void CreateParams(TCreateParams& p) override;
  void Paint() override;
  std::string ClassName() const override { return "THintWindow"; }
};
THintWindow* MakeHintWindow(TComponent* owner);  // the default HintWindowClass

// ---- application ------------------------------------------------------------------
using TMessageEvent = std::function<void(win::MSG& Msg, bool& Handled)>;
using TWindowHook = std::function<bool(TMessage& Message)>;
using TExceptionEvent = rtl::Event<void(rtl::TObject* Sender, std::exception_ptr E)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner);

  // Routes exceptions that escape a handler to HandleException.
  void Initialize();
  std::string Title() const { return title_; }
  void SetTitle(const std::string& t);
  std::string HelpFile;
  gfx::TIcon* Icon() { return &icon_; }
  std::string ExeName() const;
  // The hidden application window (message-only); HookMainWindow hooks run on it.
  HWND Handle();

  TCustomForm* MainForm() const { return mainForm_; }
  // Creates the form with the application as owner and runs its OnCreate;
  // the first form created becomes the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    T* f = new T(this);
    Reference = f;
    FormCreated(f);
  }
  // Shows the main form and runs the loop until the application terminates
  // (closing the main form terminates it).
  void Run();
  void ProcessMessages();
  // One message, or a wait for the next when none is queued.
  void HandleMessage();
  void Terminate();
  bool Terminated() const;
  void Minimize();
  void Restore();
  void BringToFront();
  void HandleException(std::exception_ptr e);
  // The platform box: caption `Caption` (Title when empty), buttons from
  // `Flags` (MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL, MB_RETRYCANCEL); returns ID*.
  int MessageBox(const std::string& Text, const std::string& Caption = "", unsigned Flags = 0);
  bool HelpContext(int) { return false; }  // there is no help viewer behind contexts

  // OnMessage is a chain: the newest handler sees each message first and
  // only it runs, as when a handler replaces the previous one; removing any
  // handler splices it out, so handlers installed and removed in any order
  // never bring back a stale one.
  int HookOnMessage(TMessageEvent handler);
  void UnhookOnMessage(int id);
  // Replaces the oldest handler (the application's own OnMessage).
  void SetOnMessage(TMessageEvent handler);
  void HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(const TWindowHook& hook);
  TExceptionEvent OnException;
  rtl::TNotifyEvent OnMinimize, OnRestore, OnActivate, OnDeactivate;

  // ---- hints
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  THintWindowClass HintWindowClass = MakeHintWindow;
  int HintPause = 500;
  int HintShortPause = 50;
  int HintHidePause = 2500;
  TColor HintColor = gfx::clInfoBk;
  TShowHintEvent OnShowHint;
  void CancelHint();
  void HideHint();
  // The hint window shown by the pipeline (nullptr while ShowHint is off).
  THintWindow* HintWindow() const { return hintWindow_; }
  // Told of each change of the control under the mouse (by the mouse tracking).
  void HintMouseControl(TControl* c);
  // A freed main form is no main form any more (nothing may reach it).
  void FormDestroyed(TCustomForm* f) {
    if (mainForm_ == f) mainForm_ = nullptr;
  }

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TApplication"; }

 private:
  void FormCreated(TCustomForm* f);
  void AppWndProc(TMessage& m);
  void StartHintTimer(int ms, int mode);
  void StopHintTimer();
  void HintTimerExpired();
  void ActivateHint(TPoint cursor);
  std::string title_;
  gfx::TIcon icon_;
  TCustomForm* mainForm_ = nullptr;
  HWND handle_;
  std::vector<std::pair<int, TMessageEvent>> msgHooks_;  // oldest first; id 0 = OnMessage
  int nextHook_ = 1;
  int preDispatch_ = 0;
  std::vector<TWindowHook> windowHooks_;
  bool showHint_ = true;
  THintWindow* hintWindow_ = nullptr;
  THintWindowClass hintClass_ = nullptr;
  Keep<TControl> hintControl_;
  TRect hintCursorRect_;  // screen
  bool hintActive_ = false;
  int hintMode_ = 0;  // 1 show, 2 hide
  bool hintTimerOn_ = false;
  bool minimized_ = false;
  std::vector<HWND> hiddenByMinimize_;
};

// ---- screen ------------------------------------------------------------------------
struct TMonitor {
  win::HMONITOR Handle;
  int MonitorNum = 0;
  TRect BoundsRect, WorkareaRect;
  bool Primary = false;
  int Left() const { return BoundsRect.Left; }
  int Top() const { return BoundsRect.Top; }
  int Width() const { return BoundsRect.Width(); }
  int Height() const { return BoundsRect.Height(); }
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* AOwner) : TComponent(AOwner) {}
  int FormCount() const { return int(forms_.size()); }
  TCustomForm* Forms(int i) const { return forms_.at(size_t(i)); }
  int CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(int i) const { return Forms(i); }
  TCustomForm* ActiveForm() const;
  TCustomForm* ActiveCustomForm() const { return ActiveForm(); }
  TWinControl* ActiveControl() const;
  int Cursor() const { return cursor_; }
  // crDefault lets every window show its own cursor again; anything else
  // overrides them all (crHourGlass while busy).
  void SetCursor(int c);
  int Width() const;
  int Height() const;
  int DesktopWidth() const;
  int DesktopHeight() const;
  TRect WorkAreaRect() const;
  int MonitorCount() const;
  TMonitor Monitors(int i) const;
  TMonitor MonitorFromPoint(TPoint p) const;
  TMonitor MonitorFromRect(TRect r) const;
  int PixelsPerInch = 96;

  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  void FormActivated(TCustomForm* f);

 protected:
  std::string ClassName() const override { return "TScreen"; }

 private:
  std::vector<TCustomForm*> forms_;
  TCustomForm* lastActive_ = nullptr;
  int cursor_ = crDefault;
};

// The global objects, made on first use.
TApplication& ApplicationInstance();
TScreen& ScreenInstance();
struct ApplicationRef {
  TApplication* operator->() const { return &ApplicationInstance(); }
  operator TApplication*() const { return &ApplicationInstance(); }
};
struct ScreenRef {
  TScreen* operator->() const { return &ScreenInstance(); }
  operator TScreen*() const { return &ScreenInstance(); }
};
inline constexpr ApplicationRef Application{};
inline constexpr ScreenRef Screen{};
// Frees both (with the forms the application owns); the next use makes new ones.
void ResetApplication();

// MessageBox flags and answers.
enum : unsigned {
  MB_OK = 0,
  MB_OKCANCEL = 1,
  MB_ABORTRETRYIGNORE = 2,
  MB_YESNOCANCEL = 3,
  MB_YESNO = 4,
  MB_RETRYCANCEL = 5,
  MB_ICONHAND = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONWARNING = 0x30,
  MB_ICONASTERISK = 0x40,
  MB_ICONINFORMATION = 0x40
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

}  // namespace cl
