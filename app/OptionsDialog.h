// The options dialog TForm5: what happens after the conversion, what to do
// with an existing output file, how many files convert at once and at which
// priority. The main window reads its controls when it needs a setting;
// [Options] of the settings file is read once, when the dialog is created.
#pragma once
#include <array>
#include <functional>

#include "app/Settings.h"
#include "platform/cl/forms.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/controls/bsSkinCheckRadio.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/data/bsSkinData.h"
#include "skin/form/bsSkinForm.h"
#include "skin/controls/bsSkinLabels.h"
#include "skin/controls/bsSkinPanels.h"

class TForm5 : public cl::TForm {
 public:
  // The settings file and skin store come from the main window when it
  // exists (the program); tests may hand them in.
  explicit TForm5(cl::TComponent* owner);
  TForm5(cl::TComponent* owner, TSettingsFile* ini, skin::TbsSkinData* skin);

  void FormCreate(rtl::TObject* Sender);
  void Button1Click();        // read [Options] into the controls
  void Button2Click();        // write the controls into [Options]
  void bsSkinButton6Click();  // OK
  void bsSkinButton1Click();  // Cancel
  void bsSkinCheckRadioBox7Click();

  // The settings as the controls show them.
  TOptionValues Values() const;
  void SetValues(const TOptionValues& v);
  bool OverwriteChecked() const { return bsSkinCheckRadioBox3->Checked(); }
  int ThreadCount() const;

  // Box 8 changed: the conversion's real-time preview follows at once.
  std::function<void(bool)> OnPreviewChanged;

  skin::TbsSkinForm* bsSkinForm1 = nullptr;
  skin::TbsSkinCheckRadioBox *bsSkinCheckRadioBox1 = nullptr, *bsSkinCheckRadioBox2 = nullptr,
                             *bsSkinCheckRadioBox4 = nullptr, *bsSkinCheckRadioBox5 = nullptr,
                             *bsSkinCheckRadioBox3 = nullptr, *bsSkinCheckRadioBox6 = nullptr,
                             *bsSkinCheckRadioBox7 = nullptr, *bsSkinCheckRadioBox8 = nullptr,
                             *bsSkinCheckRadioBox9 = nullptr, *bsSkinCheckRadioBox10 = nullptr,
                             *bsSkinCheckRadioBox11 = nullptr, *bsSkinCheckRadioBox12 = nullptr;
  skin::TbsSkinComboBox* bsSkinComboBox2 = nullptr;
  skin::TbsSkinButton *bsSkinButton6 = nullptr, *bsSkinButton1 = nullptr;

 protected:
  // Any way out but "确定" (取消, Escape, the close box) leaves every setting
  // as stored: the controls go back to the stored values.
  void DoClose(cl::TCloseAction& action) override;

 private:
  void Build();
  TSettingsFile* ini_ = nullptr;
  skin::TbsSkinData* skin_ = nullptr;
};
