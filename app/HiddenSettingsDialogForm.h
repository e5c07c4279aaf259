// The settings dialog TForm6 as a window: created at start-up and never
// shown; its choosers fill once when it is created, which leaves its mark on
// the main window's job.
#pragma once
#include <memory>
#include <vector>

#include "app/HiddenSettingsDialog.h"
#include "app/MainForm.h"

class TForm6 : public cl::TForm {
 public:
  explicit TForm6(cl::TComponent* owner);

  skin::TbsSkinOfficeComboBox *bsSkinOfficeComboBox2 = nullptr, *bsSkinOfficeComboBox1 = nullptr;
  std::vector<skin::TbsSkinComboBox*> Combos;
  std::unique_ptr<TForm6Logic> Logic;

 private:
  std::unique_ptr<TSkinOfficeComboPort> category_, format_;
  std::vector<std::unique_ptr<TSkinPresetComboPort>> ports_;
};
