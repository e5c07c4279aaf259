#include "app/MainJobLogic.h"

#include <array>

#include "app/FormatCatalogue.h"
#include "app/JobParams.h"

using catalogue::ComboRole;

int TMainJobLogic::CurrentPresetKey() const {
  return catalogue::PresetKey(catalogue::CategoryIdMap(p_.Category->ItemIndex()), p_.Format->ItemIndex());
}

std::string TMainJobLogic::CurrentCategoryCode() const {
  return CategoryCode(p_.Category->ItemIndex(), p_.Format->ItemIndex());
}

std::string TMainJobLogic::CurrentPresetOptionCode() const {
  std::array<int, catalogue::kComboCount> indexes{};
  for (int pair = 0; pair < catalogue::kComboCount; ++pair) indexes[pair] = p_.Combos[kPairOrder[pair]].ItemIndex();
  return PresetOptionCode(indexes);
}

std::string TMainJobLogic::CurrentFormatExtension() const {
  int item = p_.Format->ItemIndex();
  if (item < 0 || item >= p_.Format->ItemCount()) return std::string();
  return catalogue::FormatExtension(p_.Format->ItemTitle(item));
}

void TMainJobLogic::Button2Click() {
  catalogue::FillFormatChooser(*p_.Format, catalogue::CategoryIdMap(p_.Category->ItemIndex()));
}

void TMainJobLogic::Button18Click() {
  int key = CurrentPresetKey();
  All_Trant_Number = key;
  Job.Video_DisableVideo = false;
  FillPresetCombos(key, p_.Combos);
}

void TMainJobLogic::Button6Click() { Job.Reset(); }

void TMainJobLogic::Button5Click() { ApplyPresetJob(true); }

void TMainJobLogic::ApplyPresetForAdd() { ApplyPresetJob(false); }

bool TMainJobLogic::RowHasOutputName(const std::string& name, int exceptRow) const {
  if (!p_.Files) return false;
  for (int r = 0, n = p_.Files->Count(); r < n; ++r)
    if (r != exceptRow && p_.Files->Cell(r, colOutputFile) == name) return true;
  return false;
}

void TMainJobLogic::ApplyPresetJob(bool copyToSelectedRow) {
  Button6Click();
  int key = CurrentPresetKey();
  All_Trant_Number = key;
  Job.Video_DisableVideo = false;
  ApplyPresetJobRow(key, Folder(), Job);
  // Every row converts into the same folder, so a name already given to a
  // row is as taken as a file on disk; existing files only count when the
  // user chose renaming over overwriting.
  bool overwrite = Overwrite();
  Job.Video_OutPutFileName = UniqueOutputName(Job.Video_OutPutFileName, Folder(), [&](const std::string& path) {
    return RowHasOutputName(ExtractFileName(path), -1) || (!overwrite && OutputFileExists(path));
  });
  if (!copyToSelectedRow || !p_.Files) return;
  int row = p_.Files->Selected();
  if (row < 0) return;
  for (int col = colVideoCodec; col <= colNormType; ++col)
    p_.Files->SetCell(row, col, JobColumnText(static_cast<FileColumn>(col), Job));
}

void TMainJobLogic::Button13Click() { ApplyComboTexts(p_.Combos, Job); }

void TMainJobLogic::WriteOptionState(int row) {
  p_.Files->SetCell(row, colPresetOptionCode, CurrentPresetOptionCode());
  for (int pair = 0; pair < catalogue::kComboCount; ++pair) {
    ComboRole r = kPairOrder[pair];
    TJobSettings value = Job;
    ApplyComboText(r, p_.Combos[r].Text(), value);
    p_.Files->SetCell(row, OptionColumn(r), OptionColumnText(r, value));
  }
}

std::string TMainJobLogic::RowOutputName(int row, const std::string& ext) const {
  // While a row selection replays the row's choices the name is derived
  // from the one the row had, so the passage through the category's first
  // format leaves no trace in it.
  std::string current = inRowSelect_ ? rowSelectName_ : p_.Files->Cell(row, colOutputFile);
  std::string folder = Folder();
  std::string name = ChangeFileExt(ExtractFileName(current), ext);
  bool checkDisk = !inRowSelect_ && !Overwrite();
  // Nothing in the folder is the rows' own before a run, so every file there
  // counts.
  std::string unique = UniqueOutputName(folder + "/" + name, folder, [&](const std::string& path) {
    return RowHasOutputName(ExtractFileName(path), row) || (checkDisk && OutputFileExists(path));
  });
  return ExtractFileName(unique);
}

void TMainJobLogic::bsSkinOfficeComboBox2Change() { Button2Click(); }

void TMainJobLogic::bsSkinOfficeComboBox1Change() {
  Button18Click();
  std::string ext = CurrentFormatExtension();
  int row = p_.Files ? p_.Files->Selected() : -1;
  if (row < 0) return;
  Button5Click();
  Button13Click();
  WriteOptionState(row);
  p_.Files->SetCell(row, colOutputFile, RowOutputName(row, ext));
  p_.Files->SetCell(row, colCategoryCode, CurrentCategoryCode());
  p_.Files->SetFocus();
}

void TMainJobLogic::PresetChanged(ComboRole role) {
  int row = p_.Files ? p_.Files->Selected() : -1;
  if (row < 0) return;
  IPresetCombo& box = p_.Combos[role];
  p_.Files->SetCell(row, colPresetOptionCode,
                    WithOptionPair(p_.Files->Cell(row, colPresetOptionCode), OptionCodePair(role), box.ItemIndex()));
  ApplyComboText(role, box.Text(), Job);
  p_.Files->SetCell(row, OptionColumn(role), OptionColumnText(role, Job));
  p_.Files->SetFocus();
}

void TMainJobLogic::bsSkinComboBox1Change() { PresetChanged(ComboRole::FrameSize); }
void TMainJobLogic::bsSkinComboBox2Change() { PresetChanged(ComboRole::VideoBitrate); }
void TMainJobLogic::bsSkinComboBox3Change() { PresetChanged(ComboRole::AudioBitrate); }
void TMainJobLogic::bsSkinComboBox4Change() { PresetChanged(ComboRole::Zoom); }
void TMainJobLogic::bsSkinComboBox9Change() { PresetChanged(ComboRole::FrameRate); }
void TMainJobLogic::bsSkinComboBox10Change() { PresetChanged(ComboRole::SampleRate); }

void TMainJobLogic::lvFilesSelectItem() {
  if (!p_.Files || inRowSelect_) return;
  struct Guard {
    TMainJobLogic& self;
    ~Guard() { self.inRowSelect_ = false; }
  } guard{*this};
  // One guarded block: a missing row or a damaged code ends it quietly,
  // which is also what the deselection of the previous row amounts to.
  try {
    int row = p_.Files->Selected();
    if (row < 0) return;
    int categoryItem = 0, formatItem = 0;
    DecodeCategoryCode(p_.Files->Cell(row, colCategoryCode), categoryItem, formatItem);
    std::array<int, catalogue::kComboCount> pairs = DecodePresetOptionCode(p_.Files->Cell(row, colPresetOptionCode));
    rowSelectName_ = p_.Files->Cell(row, colOutputFile);
    inRowSelect_ = true;
    p_.Category->SetItemIndex(categoryItem);
    p_.Format->SetItemIndex(formatItem);
    for (int pair = 0; pair < catalogue::kComboCount; ++pair) p_.Combos[kPairOrder[pair]].SetItemIndex(pairs[pair]);
    WriteOptionState(row);
    if (ResetSeekBar) ResetSeekBar();
    T_Movie_PLayer_FileName = p_.Files->Cell(row, colInputFile);
    inRowSelect_ = false;
    if (Button31Click) Button31Click();
  } catch (const std::exception&) {
  }
}
