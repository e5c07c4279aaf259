// The form core the controls need: a top-level TWinControl that manages the
// focused control (with the exit veto), dialog keys, activation and the
// modal result. Application-wide services (TApplication, TScreen, hints,
// positions) build on this.
#pragma once

#include "platform/cl/controls.h"

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

class TCustomForm : public TWinControl {
 public:
  // CreateNew: an empty form built in code.
  explicit TCustomForm(TComponent* AOwner);

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
  int ShowModal();
  void Close();
  bool CloseQuery();
  // Frees the form once the current message is done.
  void Release();
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle b);
  bool KeyPreview = false;

  rtl::TNotifyEvent OnActivate, OnDeactivate, OnShow, OnHide;
  rtl::Event<void(rtl::TObject* Sender, bool& CanClose)> OnCloseQuery;
  rtl::Event<void(rtl::TObject* Sender, TCloseAction& Action)> OnClose;

  void Dispatch(TMessage& m) override;

 protected:
  void Destroy() override;
  void CreateParams(TCreateParams& p) override;
  void SetWindowFocus();
  void SetActive(bool v);
  std::string ClassName() const override { return "TCustomForm"; }

 private:
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  bool active_ = false;
  int modalResult_ = 0;
  bool modal_ = false;
  TBorderStyle borderStyle_ = bsSizeable;
};

using TForm = TCustomForm;

}  // namespace cl
