// Controls: TControl (geometry, properties, messages, mouse), TWinControl
// (window handle, children, painting, focus, keys, alignment),
// TGraphicControl and TCustomControl.
//
// Message path inside one control: WindowProc (a replaceable chain; by
// default the virtual WndProc) -> Dispatch (the handler of the most-derived
// class that knows the message, each passing on to its ancestors) ->
// DefaultHandler -> the window's default procedure.
#pragma once

#include "platform/cl/actions.h"
#include "platform/cl/object.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/color.h"
#include "platform/rtl/events.h"
#include "platform/win/window.h"

#include <functional>
#include <string>
#include <vector>

namespace cl {

using gfx::TCanvas;
using gfx::TColor;
using gfx::TFont;
using win::HWND;
using win::LPARAM;
using win::LRESULT;
using win::UINT;
using win::WPARAM;
using TPoint = gfx::TPoint;
using TRect = gfx::TRect;

class TWinControl;
class TCustomForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1,
  csCaptureMouse = 2,
  csDesignInteractive = 4,
  csClickEvents = 8,
  csFramed = 16,
  csSetCaption = 32,
  csOpaque = 64,
  csDoubleClicks = 128,
  csFixedWidth = 256,
  csFixedHeight = 512,
  csNoDesignVisible = 1024,
  csReplicatable = 2048,
  csNoStdEvents = 4096,
  csDisplayDragImage = 8192,
  csReflector = 16384,
  csActionClient = 32768,
  csMenuEvents = 65536
};
enum TControlStateFlag : unsigned {
  csLButtonDown = 1,
  csClicked = 2,
  csPalette = 4,
  csReadingState = 8,
  csAlignmentNeeded = 16,
  csFocusing = 32,
  csCreating = 64,
  csPaintCopy = 128,
  csCustomPaint = 256,
  csDestroyingHandle = 512,
  csDocking = 1024
};

using TMouseEvent = rtl::Event<void(rtl::TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = rtl::Event<void(rtl::TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = rtl::Event<void(rtl::TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = rtl::Event<void(rtl::TObject* Sender, char32_t& Key)>;

struct TSizeConstraints {
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
};

// Shift state from the key-state table (and mouse-message key flags).
TShiftState KeysToShiftState(unsigned keys);
TShiftState KeyDataToShiftState(LPARAM keyData);

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // ---- tree and geometry
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* p);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  // The single funnel for position and size changes.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientSize(int w, int h);
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p);
  TPoint ScreenToClient(TPoint p);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors a);
  TSizeConstraints Constraints;
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool v);

  // ---- properties
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  virtual bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() { return &font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& s) { SetText(s); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& s);
  std::string Hint;
  bool ShowHint = false;
  bool ParentShowHint = true;
  int Cursor = 0;
  TComponent* PopupMenu = nullptr;
  unsigned ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  unsigned ControlState = 0;
  bool IsOpaque() const { return ControlStyle & csOpaque; }

  // ---- messages
  // The control-level chain; replace it to subclass (keep the old value to chain).
  std::function<void(TMessage&)> WindowProc;
  LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
  void Dispatch(TMessage& msg) override;
  void DefaultHandler(TMessage& msg) override;
  virtual void WndProc(TMessage& msg);

  // ---- mouse and painting
  bool MouseCapture();
  void SetMouseCapture(bool v);
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();
  TCustomForm* GetParentForm();
  virtual bool Showing();
  virtual bool HasHandle() const { return false; }
  virtual void Click();
  virtual void DblClick();

  // No OnMouseEnter / OnMouseLeave here: CM_MOUSEENTER and CM_MOUSELEAVE have
  // no class-library handling; controls that want events add their own.
  rtl::TNotifyEvent OnClick, OnDblClick, OnResize;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // ---- action link: the control shows the action's state and a click
  // executes it (unless the control has an OnClick of its own).
  TCustomAction* Action() const { return action_; }
  void SetAction(TCustomAction* Value);

 protected:
  friend class TCustomAction;
  // The linked action changed (CheckDefaults: only properties still at
  // their defaults take the action's values, as when the link is made).
  virtual void ActionChange(rtl::TObject* Sender, bool CheckDefaults);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Destroy() override;
  virtual std::string GetText() const { return text_; }
  virtual void SetTextBuf(const std::string& s);
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Resize() { OnResize(this); }
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void AdjustBounds() {}
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  virtual void VisibleChanging() {}
  virtual void RequestAlign();
  void InvalidateControl(bool isVisible, bool isOpaque);
  std::string ClassName() const override { return "TControl"; }

  // Message handlers of this class.
  void WMMouse(TMessage& m);
  void CMHitTest(TMessage& m);

  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_ = akLeft | akTop;
  bool autoSize_ = false;
  bool visible_ = true, enabled_ = true;
  TColor color_ = gfx::clWindow;
  bool parentColor_ = false, parentFont_ = true;
  std::string text_;
  TFont font_;
  bool fontChanging_ = false;
  TCustomAction* action_ = nullptr;
};

// A canvas over a control: for a graphic control the parent's client DC with
// the origin at the control's top-left, clipped to it; for a windowed one its
// own client DC. Outside painting it gets a DC on demand and gives it back on
// FreeHandle.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl* c) : control_(c) {}
  ~TControlCanvas() override { FreeHandle(); }
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_;
  gfx::HDC own_;
  HWND ownWnd_;
};

struct TCreateParams {
  std::string Caption;
  uint32_t Style = 0, ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent;
  win::WNDCLASS WindowClass;
  std::string WinClassName;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // ---- handle
  HWND Handle();
  bool HandleAllocated() const { return bool(handle_) && win::IsWindow(handle_); }
  void HandleNeeded();
  void RecreateWnd();
  bool HasHandle() const override { return HandleAllocated(); }
  // A window that is no control's child (a form parented into a foreign window).
  HWND ParentWindow;

  // ---- children
  int ControlCount() const { return int(controls_.size()); }
  TControl* Controls(int i) const { return controls_.at(size_t(i)); }
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);
  bool ContainsControl(TControl* c) const;
  // Topmost visible graphic child under `pos` (client coordinates).
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false);
  void Broadcast(TMessage& msg);

  // ---- focus and keys
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v) { tabStop_ = v; }
  int TabOrder() const;
  void SetTabOrder(int v);
  void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* cur, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* cur, bool goForward, bool checkTabStop);
  virtual void SetFocus();
  bool Focused();
  virtual bool CanFocus();
  bool Showing() override;
  rtl::TNotifyEvent OnEnter, OnExit;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // ---- painting
  void PaintControls(gfx::HDC dc, TControl* first);
  void PaintTo(gfx::HDC dc, int x, int y);
  void Invalidate() override;
  void Update() override;
  void Repaint() override;

  // ---- layout
  void DisableAlign() { alignLevel_++; }
  void EnableAlign();
  void Realign();
  void ScrollBy(int dx, int dy);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  gfx::TBrush* Brush() { return &brush_; }

  void Dispatch(TMessage& msg) override;
  void DefaultHandler(TMessage& msg) override;
  void WndProc(TMessage& msg) override;
  void MainWndProc(TMessage& msg);

 protected:
  void Destroy() override;
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  void CreateHandle();
  void DestroyHandle();
  virtual void PaintWindow(gfx::HDC dc);
  void PaintHandler(TMessage& msg);
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void AdjustClientRect(TRect& rect) { (void)rect; }
  virtual void KeyDown(uint16_t& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
  virtual void KeyUp(uint16_t& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }
  virtual void KeyPress(char32_t& Key) { OnKeyPress(this, Key); }
  virtual void DoEnter() { OnEnter(this); }
  virtual void DoExit() { OnExit(this); }
  bool IsControlMouseMsg(TMessage& m);
  TWinControl* PreviewForm();
  void UpdateBounds();
  void UpdateShowing();
  std::string ClassName() const override { return "TWinControl"; }
  void SetTextBuf(const std::string& s) override;
  // With a window the text is the window's (WM_GETTEXT through the chain).
  std::string GetText() const override;

  HWND handle_;
  win::WNDPROC defWndProc_;
  win::WNDPROC objectInstance_;
  std::vector<TControl*> controls_;    // z-order, bottom first; graphic and windowed mixed
  std::vector<TWinControl*> tabList_;  // windowed children in tab order
  gfx::TBrush brush_;
  bool tabStop_ = false;
  int alignLevel_ = 0;
  bool aligning_ = false;
  int oldClientW_ = -1, oldClientH_ = -1;
  friend class TControl;
  friend class TCustomForm;
  friend struct WinControlAccess;
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return canvas_; }
  void Dispatch(TMessage& msg) override;

 protected:
  virtual void Paint() {}
  std::string ClassName() const override { return "TGraphicControl"; }
  TControlCanvas* canvas_;
};

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return canvas_; }

 protected:
  virtual void Paint() {}
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TCustomControl"; }
  TControlCanvas* canvas_;
};

// True when `caption` marks `ch` as its accelerator ("&x", case-insensitive;
// "&&" is a literal ampersand).
bool IsAccel(char32_t ch, const std::string& caption);

// The control of a window handle (nullptr for foreign windows).
TWinControl* FindControl(HWND h);
// Runs the control's PaintWindow on `dc` (its own painting, without its
// children): for code that copies a parent's image under a child into
// another canvas.
void PaintWindowOf(TWinControl* c, gfx::HDC dc);
// The control the mouse is captured by (graphic controls through their parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* c);
// Installs the class library's hooks into the window system (mouse enter and
// leave tracking, key pre-processing). Called by the first control; harmless
// to call again.
void InitControls();
// Drops the library's references to the capture and mouse-tracking controls (test teardown).
void ResetControlGlobals();
// Told each time the control under the mouse changes (nullptr: none of ours);
// the application's hint pipeline listens here.
void SetMouseControlObserver(std::function<void(TControl*)> observer);
// An IDC_* cursor every window shows instead of its own (0: none), set by Screen.Cursor.
void SetScreenCursorOverride(int idc);

}  // namespace cl
