// The main window's job logic: the hidden commands that fill the format
// chooser and the preset combos, apply a preset to the JobSettings and to the
// selected row, and the change handlers of the selection cascade. The window
// binds its controls' events to these handlers; every handler runs at once on
// the caller's thread, nested inside the event that raised it.
#pragma once
#include <functional>
#include <string>

#include "app/ControlPorts.h"
#include "app/JobModel.h"
#include "app/PresetOptions.h"

class TMainJobLogic {
 public:
  struct Ports {
    IOfficeCombo* Category = nullptr;  // bsSkinOfficeComboBox2
    IOfficeCombo* Format = nullptr;    // bsSkinOfficeComboBox1
    TPresetCombos Combos;              // bsSkinComboBox1/2/9/3/10/4 by role
    IFileList* Files = nullptr;        // lvFiles
  };

  explicit TMainJobLogic(const Ports& ports) : p_(ports) {}

  // What the logic reads from the rest of the window.
  std::function<std::string()> OutputFolderText;  // Video_OutPut_Folder_Edit.Text
  std::function<bool()> OverwriteOutput;          // options dialog: "直接覆盖输出文件"
  std::function<void()> ResetSeekBar;             // bsSkinSlider1.Value := 0
  std::function<void()> Button31Click;            // open T_Movie_PLayer_FileName in the preview

  TJobSettings Job;
  int All_Trant_Number = 0;
  std::string T_Movie_PLayer_FileName;

  // Hidden commands.
  void Button2Click();   // fill the format chooser for the chosen category
  void Button18Click();  // fill the six preset combos for the chosen format
  void Button5Click();   // the preset's job parameters into the JobSettings and the selected row
  void Button6Click();   // reset the JobSettings
  void Button13Click();  // the six combo values into the JobSettings

  // Button6Click, then the preset's parameters and a unique output name,
  // without touching any row: what adding a file runs in place of
  // Button5Click, so that adding never rewrites the row selected before.
  void ApplyPresetForAdd();

  // Event handlers.
  void bsSkinOfficeComboBox2Change();  // category chosen
  void bsSkinOfficeComboBox1Change();  // format chosen
  void bsSkinComboBox1Change();        // frame size
  void bsSkinComboBox2Change();        // video bit rate
  void bsSkinComboBox3Change();        // audio bit rate
  void bsSkinComboBox4Change();        // scaling mode
  void bsSkinComboBox9Change();        // frame rate
  void bsSkinComboBox10Change();       // sample rate
  void lvFilesSelectItem();            // a row was selected (or deselected)

  // Helpers the window uses when it appends a row.
  int CurrentPresetKey() const;
  std::string CurrentCategoryCode() const;
  std::string CurrentPresetOptionCode() const;
  std::string CurrentFormatExtension() const;

 private:
  void ApplyPresetJob(bool copyToSelectedRow);
  void PresetChanged(catalogue::ComboRole role);
  void WriteOptionState(int row);
  std::string RowOutputName(int row, const std::string& ext) const;
  bool RowHasOutputName(const std::string& name, int exceptRow) const;
  std::string Folder() const { return OutputFolderText ? OutputFolderText() : std::string(); }
  bool Overwrite() const { return OverwriteOutput && OverwriteOutput(); }

  Ports p_;
  bool inRowSelect_ = false;
  std::string rowSelectName_;  // the selected row's output name before the cascade ran
};
