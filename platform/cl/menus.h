// The menus model: TMenuItem trees held by TMainMenu and TPopupMenu, with
// short-cut texts and matching. No native menu is ever shown: the skinned
// menus draw these items, and TPopupMenu::Popup is virtual so a subclass can
// open its own cascade.
#pragma once

#include "platform/cl/controls.h"
#include "platform/gfx/graphics.h"

#include <functional>
#include <string>
#include <vector>

namespace cl {

class TMenu;
class TCustomImageList;

// Key code in the low byte; the modifiers above it.
using TShortCut = uint16_t;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };

TShortCut ShortCut(uint16_t Key, TShiftState Shift);
void ShortCutToKey(TShortCut sc, uint16_t& Key, TShiftState& Shift);
// "Ctrl+F4", "Alt+F4", "Shift+Ctrl+S", "F1"; "" for 0.
std::string ShortCutToText(TShortCut sc);
// The reverse, case-insensitive; 0 when the text names no short cut.
TShortCut TextToShortCut(const std::string& text);
// The caption without its accelerator marks ("&&" stays a literal "&").
std::string StripHotkey(const std::string& caption);
const std::string cLineCaption = "-";

using TMenuDrawItemEvent = rtl::Event<void(rtl::TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);

  std::string Caption;
  TShortCut ShortCut = 0;
  bool Checked() const { return checked_; }
  // Checking a radio item unchecks the other radio items of its group.
  void SetChecked(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool Enabled = true;
  bool Visible = true;
  bool Default = false;
  bool AutoCheck = false;
  int ImageIndex = -1;
  std::string Hint;
  gfx::TBitmap* Bitmap();  // made on first use
  bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }
  rtl::TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;

  int Count() const { return int(items_.size()); }
  TMenuItem* Items(int i) const;
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  int IndexOf(TMenuItem* item) const;
  void Insert(int index, TMenuItem* item);
  void Add(TMenuItem* item) { Insert(Count(), item); }
  void Remove(TMenuItem* item);
  // Delete frees the item, as the class library does.
  void Delete(int index);
  void Clear();
  TMenu* GetParentMenu() const;
  // A number unique among live items, for DispatchCommand.
  uint16_t Command() const { return command_; }
  bool IsLine() const { return Caption == cLineCaption; }
  // Runs OnClick (toggling an AutoCheck item first).
  virtual void Click();
  // Hides separators that lead, trail or follow another visible separator.
  void RethinkLines();
  TMenuItem* Find(const std::string& caption) const;

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TMenuItem"; }

 private:
  friend class TMenu;
  void TurnSiblingsOff();
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  bool checked_ = false, radioItem_ = false;
  int groupIndex_ = 0;
  uint16_t command_ = 0;
  gfx::TBitmap* bitmap_ = nullptr;
};

enum TMenuAutoFlag { maAutomatic, maManual, maParent };
enum TMenuItemFindKind { fkCommand, fkHandle, fkShortCut };

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  TMenuItem* Items() const { return items_; }
  TCustomImageList* Images = nullptr;
  TMenuAutoFlag AutoLineReduction = maAutomatic;
  // Runs the item with this command; false when none has it.
  bool DispatchCommand(uint16_t command);
  TMenuItem* FindItem(unsigned value, TMenuItemFindKind kind) const;
  // A key message (WM_KEYDOWN / WM_SYSKEYDOWN, or their CN_ forms) whose key
  // and shift state name an enabled item's short cut runs that item.
  bool IsShortCut(const TMessage& msg);

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TMenu"; }
  TMenuItem* items_;
};

class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;

 protected:
  std::string ClassName() const override { return "TMainMenu"; }
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
  bool AutoPopup = true;
  TComponent* PopupComponent = nullptr;
  TPopupAlignment Alignment = paLeft;
  TPoint PopupPoint() const { return popupPoint_; }
  rtl::TNotifyEvent OnPopup;
  // Screen coordinates. Runs OnPopup; a subclass shows the items.
  virtual void Popup(int X, int Y);

 protected:
  void DoPopup() { OnPopup(this); }
  std::string ClassName() const override { return "TPopupMenu"; }
  TPoint popupPoint_;
};

}  // namespace cl
