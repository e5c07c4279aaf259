// Headless controls with the event behaviour of the skinned ones, and a
// window-less set of the main window's job controls wired to TMainJobLogic.
// Used by the preset dump tool and by the tests.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ControlPorts.h"
#include "app/MainJobLogic.h"

class TMemoryPresetCombo : public IPresetCombo {
 public:
  std::function<void()> OnChange;
  std::function<void()> OnClick;

  void ItemsClear() override {
    items_.clear();
    index_ = -1;
  }
  void ItemsAdd(const std::string& text) override { items_.push_back(text); }
  int ItemCount() const override { return static_cast<int>(items_.size()); }
  std::string Item(int index) const override { return items_.at(index); }
  void SetItemIndex(int index) override;
  int ItemIndex() const override { return index_; }
  std::string Text() const override { return text_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  std::string text_;
  bool enabled_ = true;
};

class TMemoryOfficeCombo : public IOfficeCombo {
 public:
  struct Item {
    std::string title, caption;
    int imageIndex = 0;
  };
  std::function<void()> OnClick;
  std::function<void()> OnChange;

  void ItemsClear() override { items_.clear(); }
  void ItemsAdd(const std::string& title, const std::string& caption, int imageIndex) override {
    items_.push_back({title, caption, imageIndex});
  }
  int ItemCount() const override { return static_cast<int>(items_.size()); }
  std::string ItemTitle(int index) const override { return items_.at(index).title; }
  const Item& At(int index) const { return items_.at(index); }
  void SetItemIndex(int index) override;
  int ItemIndex() const override { return index_; }
  void Refresh() override {}

 private:
  std::vector<Item> items_;
  int index_ = -1;
};

class TMemoryFileList : public IFileList {
 public:
  struct Row {
    std::array<std::string, kFileColumnCount> cells;
    int slot = -1;
  };
  // Raised after the selection changed (also to none).
  std::function<void()> OnSelectItem;

  int Count() const override { return static_cast<int>(rows_.size()); }
  int Selected() const override { return selected_; }
  std::string Cell(int row, int col) const override { return rows_.at(row).cells.at(col); }
  void SetCell(int row, int col, const std::string& text) override { rows_.at(row).cells.at(col) = text; }
  int RowSlot(int row) const override { return rows_.at(row).slot; }
  void SetFocus() override { ++focusCount; }

  int Add(const Row& row);
  void Select(int row);
  const Row& At(int row) const { return rows_.at(row); }
  int focusCount = 0;

 private:
  std::vector<Row> rows_;
  int selected_ = -1;
};

// The category and format choosers, the six preset combos and the file list,
// wired to a TMainJobLogic as the main window wires its skinned controls.
class THeadlessJobForm {
 public:
  THeadlessJobForm();
  THeadlessJobForm(const THeadlessJobForm&) = delete;
  THeadlessJobForm& operator=(const THeadlessJobForm&) = delete;

  // Fills the category chooser's 20 items and selects item 0 without
  // events, as the window's form definition does, then runs the
  // start-up fill (Button2Click).
  void Start();

  // After Start: chooses the category and format of `key` as a user
  // would, then readies the job for adding `inputFile`. False when the
  // window offers no such format.
  bool PrepareAdd(int key, const std::string& inputFile);

  TMemoryOfficeCombo Category, Format;
  TMemoryPresetCombo FrameSize, VideoBitrate, FrameRate, AudioBitrate, SampleRate, Zoom;
  TMemoryFileList Files;
  std::unique_ptr<TMainJobLogic> Logic;

  TMemoryPresetCombo& Combo(catalogue::ComboRole role);
  // Each event in the order raised: "category.click", "format.change",
  // "combo1.change", "select", ...
  std::vector<std::string> Events;
};
