// Multiple-document forms in the layer's own window system: a main form
// whose client area holds framed child forms (each with its own form
// skinning component), with tile, cascade and the all-children commands,
// the children listed in the main form's window menu, and the lookups of
// the maximized and active child. The program itself has no such forms.
#pragma once

#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/cl/menus.h"
#include "skin/bsSkinForm.h"

namespace skin {

class TbsSkinMDI : public cl::TComponent {
 public:
  // AMain: the main form's component; AClient: the control whose client
  // area holds the children (usually aligned to the rest of the form).
  TbsSkinMDI(TbsSkinForm* AMain, cl::TWinControl* AClient);

  // Takes AChild (a form with its own skinning component) into the client.
  void AddChild(cl::TCustomForm* AChild);
  const std::vector<cl::TCustomForm*>& Children() const { return FChildren; }
  cl::TCustomForm* ActiveChild() const;
  void SetActiveChild(cl::TCustomForm* AChild);

  // The main form's client rectangle less its visible aligned controls
  // (relative to the main form's client).
  TRect GetMDIClientArea() const;
  void Tile();
  void Cascade();
  void MinimizeAll();
  void MaximizeAll();
  void RestoreAll();
  void CloseAll();
  cl::TCustomForm* FindMaximizedMDIChild() const;

  // The main form's window menu: one item per child, named after it.
  cl::TMenuItem* WindowMenu = nullptr;
  void AddChildToMenu(cl::TCustomForm* AChild);
  void DeleteChildFromMenu(cl::TCustomForm* AChild);
  void UpDateChildActiveInMenu();
  void MDIItemClick(rtl::TObject* Sender);

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinMDI"; }

 private:
  TbsSkinForm* FMain;
  cl::TWinControl* FClient;
  std::vector<cl::TCustomForm*> FChildren;
  cl::TCustomForm* FActive = nullptr;
};

}  // namespace skin
