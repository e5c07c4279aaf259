// A stand-in for the form skinning component as far as the menus need it:
// it owns the form's cascade manager, answers the popup menus' questions
// and, through an application message hook, hands the form's keys to the
// deepest menu window and closes the cascade on the form's menu-closing
// messages (a press anywhere in the form, a move, a deactivation ...).
// Shared by the menu tests and the menu demo.
#pragma once

#include <string>
#include <vector>

#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "skin/menus/bsSkinMenus.h"

namespace menutest {

class MenuHost : public cl::TComponent, public skin::IbsSkinMenuHost {
 public:
  explicit MenuHost(cl::TCustomForm* AForm) : cl::TComponent(AForm), form_(AForm) {
    menu_ = new skin::TbsSkinMenu(this, AForm);
    hook_ = cl::Application->HookOnMessage([this](win::MSG& m, bool& handled) { OnMessage(m, handled); });
  }

  skin::TbsSkinMenu* SkinMenu() override { return menu_; }
  skin::TbsSkinData* MenusSkinData() override { return menusSkin; }
  skin::TbsSkinData* SkinData() override { return skin; }
  void SkinMenuOpen() override {
    inMenu = true;
    if (trace) trace->push_back("host.open");
  }
  void SkinMenuClose() override {
    inMenu = false;
    if (trace) trace->push_back("host.close");
  }

  skin::TbsSkinData* skin = nullptr;
  skin::TbsSkinData* menusSkin = nullptr;
  bool inMenu = false;
  std::vector<std::string>* trace = nullptr;  // where the menu-state changes are told

 protected:
  void Destroy() override {
    cl::Application->UnhookOnMessage(hook_);
    cl::TComponent::Destroy();
  }

 private:
  bool InForm(win::HWND h) {
    if (!form_->HandleAllocated() || !h) return false;
    win::HWND f = form_->Handle();
    return h == f || win::IsChild(f, h);
  }
  void OnMessage(win::MSG& m, bool& handled) {
    if (!menu_->Visible()) return;
    if (m.message == win::WM_KEYDOWN) {
      if (skin::TbsSkinPopupWindow* w = menu_->LastWindow()) {
        cl::Keep<skin::TbsSkinPopupWindow> k(w);
        w->PopupKeyDown(int(m.wParam));
        handled = true;
      }
      // Escape on the last window leaves the cascade without telling the form.
      if (!menu_->Visible() && inMenu) SkinMenuClose();
      return;
    }
    if (skin::IsMenuCloseMessage(m.message) && InForm(m.hwnd)) menu_->Hide();
  }

  cl::TCustomForm* form_;
  skin::TbsSkinMenu* menu_;
  int hook_ = 0;
};

}  // namespace menutest
