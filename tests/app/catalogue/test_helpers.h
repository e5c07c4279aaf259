#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#include "app/FormatCatalogue.h"
#include "app/MemoryControls.h"

// Chooses the category and format of a PresetKey the way a user would.
inline void ChoosePreset(THeadlessJobForm& form, int key) {
  for (int item = 0; item < catalogue::kChooserItemCount; ++item)
    if (catalogue::CategoryIdMap(item) == key / 100 - 1) {
      form.Category.SetItemIndex(item);
      form.Format.SetItemIndex(key % 100);
      return;
    }
  throw std::runtime_error("key not offered by the chooser");
}

// A row as adding a file leaves it, for the current choice of the form.
inline int AddRow(THeadlessJobForm& form, const std::string& input, const std::string& outputName) {
  TMemoryFileList::Row row;
  row.cells[colInputFile] = input;
  row.cells[colOutputFile] = outputName;
  row.cells[colCategoryCode] = form.Logic->CurrentCategoryCode();
  row.cells[colPresetOptionCode] = form.Logic->CurrentPresetOptionCode();
  return form.Files.Add(row);
}

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("vc_catalogue_" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string str() const { return path_.string(); }
  void Touch(const std::string& name) const { std::ofstream(path_ / name) << "x"; }
  void Mkdir(const std::string& name) const { std::filesystem::create_directories(path_ / name); }

 private:
  std::filesystem::path path_;
};
