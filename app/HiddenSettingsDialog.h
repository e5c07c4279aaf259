// The settings dialog TForm6: created at start-up and never shown. Its own
// reduced catalogue (the first twelve categories) fills its choosers once
// when it is created; its commands write into the main window's job.
#pragma once
#include <functional>
#include <string>

#include "app/ControlPorts.h"
#include "app/MainJobLogic.h"
#include "app/PresetOptions.h"

class TForm6Logic {
 public:
  static constexpr int kCategoryItems = 12;

  struct Ports {
    IOfficeCombo* Category = nullptr;  // bsSkinOfficeComboBox2
    IOfficeCombo* Format = nullptr;    // bsSkinOfficeComboBox1
    TPresetCombos Combos;
  };

  TForm6Logic(const Ports& ports, TMainJobLogic& mainWindow) : p_(ports), main_(mainWindow) {}

  std::function<void()> Close;

  // The twelve category items, each with the picture of its own index.
  static const char* CategoryCaption(int item);
  // Number of formats and title of a format in the dialog's own catalogue.
  static int FormatCount(int categoryItem);
  static std::string FormatTitle(int categoryItem, int formatIndex);

  void FormCreate();                   // clicks Button2
  void bsSkinOfficeComboBox2Change();  // clicks Button2
  void bsSkinOfficeComboBox1Click();   // clicks Button18
  void Button2Click();
  void Button18Click();
  void Button5Click();
  void Button13Click();
  void Button6Click();
  void bsSkinButton2Click();  // "确定"
  void bsSkinButton3Click();  // "取消"

 private:
  int PresetKey() const;

  Ports p_;
  TMainJobLogic& main_;
};
