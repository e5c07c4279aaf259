// The forms of the platform demo, shared by the demo program and the X11
// smoke tests: a frameless main form that draws its own frame through the
// non-client messages, a popup menu shown in a never-activated popup window,
// a modal dialog with a default button, a typing box and Chinese text.
#pragma once

#include "platform/cl/application.h"
#include "platform/cl/menus.h"
#include "platform/cl/stateholders.h"
#include "platform/cl/stdctrls.h"

#include <string>
#include <vector>

namespace demo {

using namespace cl;

// A control that records the keys and characters it receives.
class TypingBox : public TCustomControl {
 public:
  explicit TypingBox(TComponent* owner);
  std::vector<std::string> log;  // "KEYDOWN 65", "CHAR a"
  std::u32string typed;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
};

// The popup window a DemoPopupMenu opens: lists the items, runs the one
// clicked, closes on a click elsewhere. Never takes the activation.
class PopupList : public TCustomControl {
 public:
  PopupList(TComponent* owner, TPopupMenu* menu);
  void ShowAt(int x, int y);
  void Close();
  void Dispatch(TMessage& m) override;

 protected:
  void CreateParams(TCreateParams& p) override;
  void Paint() override;

 private:
  int ItemAt(int y) const;
  TPopupMenu* menu_;
  int hot_ = -1;
};

class DemoPopupMenu : public TPopupMenu {
 public:
  explicit DemoPopupMenu(TComponent* owner) : TPopupMenu(owner) {}
  void Popup(int X, int Y) override;
  PopupList* Window() const { return window_; }

 private:
  PopupList* window_ = nullptr;
};

class MainForm : public TForm {
 public:
  explicit MainForm(TComponent* owner);
  static constexpr int kCaption = 24, kBorder = 3;
  TypingBox* typing;
  TButton* dialogButton;
  TLabel* chinese;
  DemoPopupMenu* popup;
  TMenuItem* chosen = nullptr;     // the last popup item run
  std::vector<std::string> ncLog;  // "WM_MOVING", "WM_NCACTIVATE 0/1", ...
  int lastModalResult = -1;
  // Opens the modal dialog; returns its result.
  int OpenDialog();
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
};

class DemoDialog : public TForm {
 public:
  explicit DemoDialog(TComponent* owner);
  TButton* ok;
  TButton* cancel;
};

}  // namespace demo
