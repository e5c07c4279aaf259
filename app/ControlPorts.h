// The few operations of the main window's controls that the job logic uses.
// The skinned controls implement them in the window; MemoryControls.h holds
// headless ones with the same event behaviour.
#pragma once
#include <string>

// A fixed-list combo box (the six preset combos). Setting ItemIndex selects
// the item; when that changes the shown text the control raises its change
// event, otherwise nothing. Clearing or adding items raises nothing and keeps
// the shown text. An index outside the list selects nothing and keeps the text.
class IPresetCombo {
 public:
  virtual ~IPresetCombo() = default;
  virtual void ItemsClear() = 0;
  virtual void ItemsAdd(const std::string& text) = 0;
  virtual int ItemCount() const = 0;
  virtual std::string Item(int index) const = 0;
  virtual void SetItemIndex(int index) = 0;
  virtual int ItemIndex() const = 0;
  virtual std::string Text() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

// An office-style combo box with titled items (category and format choosers).
// Setting ItemIndex stores it without a range check and then always raises
// the click event followed by the change event, even for the same index.
class IOfficeCombo {
 public:
  virtual ~IOfficeCombo() = default;
  virtual void ItemsClear() = 0;
  virtual void ItemsAdd(const std::string& title, const std::string& caption, int imageIndex) = 0;
  virtual int ItemCount() const = 0;
  virtual std::string ItemTitle(int index) const = 0;
  virtual void SetItemIndex(int index) = 0;
  virtual int ItemIndex() const = 0;
  virtual void Refresh() = 0;  // refresh and repaint
};

// The file list: rows of 25 text columns, one selected row or none. Each row
// also carries the index of the job slot it owns (-1 for none).
class IFileList {
 public:
  virtual ~IFileList() = default;
  virtual int Count() const = 0;
  virtual int Selected() const = 0;  // -1 when no row is selected
  virtual std::string Cell(int row, int col) const = 0;
  virtual void SetCell(int row, int col, const std::string& text) = 0;
  virtual int RowSlot(int row) const = 0;
  virtual void SetFocus() = 0;
};
