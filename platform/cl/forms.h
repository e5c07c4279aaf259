// Forms: a top-level TWinControl that manages the focused control (with the
// exit veto), dialog keys, activation, the modal loop and result, the close
// sequence, its place on the screen (Position, WindowState), its border and
// its registration with Screen. TApplication and TScreen live in
// application.h.
#pragma once

#include "platform/cl/controls.h"
#include "platform/gfx/graphics.h"

namespace cl {

enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10
};
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
// The MDI styles are accepted and behave as fsNormal: there is no MDI.
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

class TMainMenu;

class TCustomForm : public TWinControl {
 public:
  // CreateNew: an empty form built in code.
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  // Runs OnCreate; TApplication::CreateForm calls it once the object is built
  // (a constructor cannot reach the handlers its subclass assigns).
  void DoCreate();

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* c);
  // Moves the focus bookkeeping to `c` (CM_EXIT / CM_ENTER along the way).
  // False when a handler on the way moved the focus elsewhere: the change is vetoed.
  bool SetFocusedControl(TWinControl* c);
  void FocusControl(TWinControl* c);
  // Called when `c` goes away or becomes unfocusable.
  void DefocusControl(TWinControl* c, bool removing);
  TWinControl* FocusedControl() const { return focusedControl_; }
  bool Active() const { return active_; }

  int ModalResult() const { return modalResult_; }
  void SetModalResult(int v) { modalResult_ = v; }
  // Disables the other windows, runs the modal loop until ModalResult is set
  // (and the close sequence agrees), enables them again and gives the
  // activation back.
  int ShowModal();
  bool Modal() const { return modal_; }
  // OnCloseQuery, then OnClose; the main form's close ends the application.
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the current message is done.
  void Release();
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle b);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v);
  // A pointer only: no native menu is ever shown.
  TMainMenu* Menu = nullptr;
  gfx::TIcon* Icon() { return &icon_; }
  TCanvas* Canvas() { return canvas_; }
  bool KeyPreview = false;
  // The form's OnShortCut first, then the menu's short cuts; true = handled.
  virtual bool IsShortCut(TMessage& msg);
  rtl::Event<void(TMessage& Msg, bool& Handled)> OnShortCut;

  rtl::TNotifyEvent OnActivate, OnDeactivate, OnShow, OnHide, OnCreate, OnDestroy;
  rtl::Event<void(rtl::TObject* Sender, bool& CanClose)> OnCloseQuery;
  rtl::Event<void(rtl::TObject* Sender, TCloseAction& Action)> OnClose;

  void Dispatch(TMessage& m) override;

 protected:
  void Destroy() override;
  void CreateParams(TCreateParams& p) override;
  void SetWindowFocus();
  void SetActive(bool v);
  virtual void DoClose(TCloseAction& action) { OnClose(this, action); }
  // Places the form by Position the first time it shows.
  void ApplyPosition();
  void PaintWindow(gfx::HDC dc) override;
  virtual void Paint() {}
  std::string ClassName() const override { return "TCustomForm"; }

 private:
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool active_ = false;
  int modalResult_ = 0;
  bool modal_ = false;
  TBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  bool positioned_ = false;
  TRect restoreBounds_;
  gfx::TIcon icon_;
  TControlCanvas* canvas_;
};

using TForm = TCustomForm;

}  // namespace cl
