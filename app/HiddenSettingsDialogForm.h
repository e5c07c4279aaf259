// The settings dialog TForm6 as a window: created at start-up and never
// shown; its choosers fill once when it is created, which leaves its mark on
// the main window's job.
#pragma once
#include <memory>
#include <vector>

#include "app/HiddenSettingsDialog.h"
#include "app/MainForm.h"
#include "skin/controls/bsSkinPageControl.h"

class TForm6 : public cl::TForm {
 public:
  explicit TForm6(cl::TComponent* owner);

  skin::TbsSkinForm* bsSkinForm1 = nullptr;
  skin::TbsSkinPanel* bsSkinPanel1 = nullptr;
  skin::TbsSkinOfficeComboBox *bsSkinOfficeComboBox2 = nullptr, *bsSkinOfficeComboBox1 = nullptr;
  skin::TbsSkinPageControl* bsSkinPageControl1 = nullptr;
  skin::TbsSkinTabSheet *bsSkinTabSheet1 = nullptr, *bsSkinTabSheet2 = nullptr, *bsSkinTabSheet3 = nullptr,
                        *bsSkinTabSheet4 = nullptr;
  // By role: bsSkinComboBox1, 2, 9, 3, 10, 4.
  std::vector<skin::TbsSkinComboBox*> Combos;
  skin::TbsSkinButton *bsSkinButton1 = nullptr, *bsSkinButton2 = nullptr, *bsSkinButton3 = nullptr;
  cl::TPanel* Panel1 = nullptr;
  cl::TImage* Image1 = nullptr;
  cl::TButton *Button6 = nullptr, *Button5 = nullptr, *Button7 = nullptr, *Button2 = nullptr, *Button13 = nullptr,
              *Button11 = nullptr, *Button18 = nullptr;
  std::unique_ptr<media::TFFConverter> FFConv;  // nothing uses it
  cl::TCustomImageList *ImageList1 = nullptr, *ImageList2 = nullptr;
  std::unique_ptr<TForm6Logic> Logic;

 private:
  std::unique_ptr<TSkinOfficeComboPort> category_, format_;
  std::vector<std::unique_ptr<TSkinPresetComboPort>> ports_;
};
