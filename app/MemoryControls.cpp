#include "app/MemoryControls.h"

#include "app/FormatCatalogue.h"

void TMemoryPresetCombo::SetItemIndex(int index) {
  if (index < 0 || index >= ItemCount()) {
    index_ = -1;  // nothing selected; the shown text stays
    return;
  }
  index_ = index;
  bool changed = items_[index] != text_;
  text_ = items_[index];
  if (changed && OnChange) OnChange();
  if (OnClick) OnClick();
}

void TMemoryOfficeCombo::SetItemIndex(int index) {
  index_ = index;
  if (OnClick) OnClick();
  if (OnChange) OnChange();
}

int TMemoryFileList::Add(const Row& row) {
  rows_.push_back(row);
  return Count() - 1;
}

void TMemoryFileList::Select(int row) {
  selected_ = row >= 0 && row < Count() ? row : -1;
  if (OnSelectItem) OnSelectItem();
}

TMemoryPresetCombo& THeadlessJobForm::Combo(catalogue::ComboRole role) {
  switch (role) {
    case catalogue::ComboRole::FrameSize:
      return FrameSize;
    case catalogue::ComboRole::VideoBitrate:
      return VideoBitrate;
    case catalogue::ComboRole::FrameRate:
      return FrameRate;
    case catalogue::ComboRole::AudioBitrate:
      return AudioBitrate;
    case catalogue::ComboRole::SampleRate:
      return SampleRate;
    case catalogue::ComboRole::Zoom:
      return Zoom;
  }
  return FrameSize;
}

THeadlessJobForm::THeadlessJobForm() {
  TMainJobLogic::Ports ports;
  ports.Category = &Category;
  ports.Format = &Format;
  ports.Files = &Files;
  for (int r = 0; r < catalogue::kComboCount; ++r) ports.Combos.box[r] = &Combo(static_cast<catalogue::ComboRole>(r));
  Logic = std::make_unique<TMainJobLogic>(ports);

  TMainJobLogic* logic = Logic.get();
  Category.OnClick = [this] { Events.push_back("category.click"); };
  Category.OnChange = [this, logic] {
    Events.push_back("category.change");
    logic->bsSkinOfficeComboBox2Change();
  };
  Format.OnClick = [this] { Events.push_back("format.click"); };
  Format.OnChange = [this, logic] {
    Events.push_back("format.change");
    logic->bsSkinOfficeComboBox1Change();
  };
  auto bind = [this](TMemoryPresetCombo& box, const char* name, void (TMainJobLogic::*handler)()) {
    box.OnChange = [this, name, handler] {
      Events.push_back(std::string(name) + ".change");
      (Logic.get()->*handler)();
    };
  };
  bind(FrameSize, "combo1", &TMainJobLogic::bsSkinComboBox1Change);
  bind(VideoBitrate, "combo2", &TMainJobLogic::bsSkinComboBox2Change);
  bind(AudioBitrate, "combo3", &TMainJobLogic::bsSkinComboBox3Change);
  bind(Zoom, "combo4", &TMainJobLogic::bsSkinComboBox4Change);
  bind(FrameRate, "combo9", &TMainJobLogic::bsSkinComboBox9Change);
  bind(SampleRate, "combo10", &TMainJobLogic::bsSkinComboBox10Change);
  Files.OnSelectItem = [this, logic] {
    Events.push_back("select");
    logic->lvFilesSelectItem();
  };
}

bool THeadlessJobForm::PrepareAdd(int key, const std::string& inputFile) {
  const int categoryItem = catalogue::ChooserItemOf(key);
  if (categoryItem < 0 || !catalogue::FormatByKey(key)) return false;
  Category.SetItemIndex(categoryItem);
  Format.SetItemIndex(key % 100);
  Logic->Job.Video_AddFileName = inputFile;
  Logic->ApplyPresetForAdd();
  Logic->Button13Click();
  return true;
}

void THeadlessJobForm::Start() {
  auto click = Category.OnClick;
  auto change = Category.OnChange;
  Category.OnClick = nullptr;
  Category.OnChange = nullptr;
  Category.ItemsClear();
  for (int i = 0; i < catalogue::kChooserItemCount; ++i)
    Category.ItemsAdd("", catalogue::kCategoryChooser[i].caption, catalogue::kCategoryChooser[i].imageIndex);
  Category.SetItemIndex(0);
  Category.OnClick = click;
  Category.OnChange = change;
  Logic->Button2Click();
}
