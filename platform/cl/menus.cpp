#include "platform/cl/menus.h"

#include "platform/rtl/strings.h"

#include <algorithm>
#include <set>

namespace cl {

using namespace win;

namespace {
std::set<uint16_t>& Commands() {
  static std::set<uint16_t>* s = new std::set<uint16_t>;
  return *s;
}
uint16_t NewCommand() {
  auto& used = Commands();
  for (uint32_t c = 1; c < 0xFFFF; c++)
    if (!used.count(uint16_t(c))) {
      used.insert(uint16_t(c));
      return uint16_t(c);
    }
  return 0;
}

struct KeyName {
  uint16_t vk;
  const char* name;
};
const KeyName kKeyNames[] = {{VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
                             {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
                             {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
                             {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};

std::string KeyText(uint16_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
  if (vk >= VK_F1 && vk <= VK_F24) return "F" + std::to_string(vk - VK_F1 + 1);
  for (auto& k : kKeyNames)
    if (k.vk == vk) return k.name;
  return {};
}
}  // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
  if (key & 0xFF00) return 0;
  TShortCut sc = key;
  if (shift & ssShift) sc |= scShift;
  if (shift & ssCtrl) sc |= scCtrl;
  if (shift & ssAlt) sc |= scAlt;
  return sc;
}

void ShortCutToKey(TShortCut sc, uint16_t& key, TShiftState& shift) {
  key = sc & 0xFF;
  shift = 0;
  if (sc & scShift) shift |= ssShift;
  if (sc & scCtrl) shift |= ssCtrl;
  if (sc & scAlt) shift |= ssAlt;
}

std::string ShortCutToText(TShortCut sc) {
  std::string name = KeyText(sc & 0xFF);
  if (name.empty()) return {};
  std::string out;
  if (sc & scShift) out += "Shift+";
  if (sc & scCtrl) out += "Ctrl+";
  if (sc & scAlt) out += "Alt+";
  return out + name;
}

TShortCut TextToShortCut(const std::string& text) {
  std::string rest = text;
  TShortCut mods = 0;
  for (;;) {
    auto take = [&](const char* prefix, TShortCut bit) {
      size_t n = std::char_traits<char>::length(prefix);
      if (rest.size() > n && rtl::SameText(rest.substr(0, n), prefix)) {
        rest = rest.substr(n);
        mods |= bit;
        return true;
      }
      return false;
    };
    if (!take("Shift+", scShift) && !take("Ctrl+", scCtrl) && !take("Alt+", scAlt)) break;
  }
  if (rest.empty()) return 0;
  for (uint32_t vk = 1; vk < 256; vk++) {
    std::string n = KeyText(uint16_t(vk));
    if (!n.empty() && rtl::SameText(n, rest)) return TShortCut(mods | vk);
  }
  return 0;
}

std::string StripHotkey(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); i++) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        i++;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

// ============================================================================ TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), command_(NewCommand()) {}

void TMenuItem::Destroy() {
  Clear();
  if (parent_) parent_->Remove(this);
  Commands().erase(command_);
  delete bitmap_;
  bitmap_ = nullptr;
  TComponent::Destroy();
}

gfx::TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = new gfx::TBitmap;
  return bitmap_;
}

TMenuItem* TMenuItem::Items(int i) const {
  if (i < 0 || i >= Count()) throw rtl::EListError("List index out of bounds (" + std::to_string(i) + ")");
  return items_[size_t(i)];
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

int TMenuItem::IndexOf(TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EComponentError("Menu inserted twice");
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  if (item->checked_ && item->radioItem_) item->TurnSiblingsOff();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  Remove(item);
  item->Free();
}

void TMenuItem::Clear() {
  while (!items_.empty()) Delete(Count() - 1);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::TurnSiblingsOff() {
  if (!parent_) return;
  for (TMenuItem* s : parent_->items_)
    if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_) s->checked_ = false;
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && radioItem_) TurnSiblingsOff();
}

void TMenuItem::SetRadioItem(bool v) {
  if (v == radioItem_) return;
  radioItem_ = v;
  if (checked_ && v) TurnSiblingsOff();
}

void TMenuItem::SetGroupIndex(int v) {
  if (v == groupIndex_) return;
  groupIndex_ = v;
  if (checked_ && radioItem_) TurnSiblingsOff();
}

void TMenuItem::Click() {
  Keep<TMenuItem> keep(this);
  if (AutoCheck && Enabled) SetChecked(!checked_);
  OnClick(this);
}

void TMenuItem::RethinkLines() {
  // A separator shows only between two visible groups of items.
  TMenuItem* lastLine = nullptr;
  bool seenItem = false;
  for (TMenuItem* i : items_) {
    if (i->IsLine()) {
      i->Visible = seenItem && !lastLine;
      if (i->Visible) lastLine = i;
      continue;
    }
    if (!i->Visible) continue;
    seenItem = true;
    lastLine = nullptr;
  }
  if (lastLine) lastLine->Visible = false;
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  for (TMenuItem* i : items_)
    if (rtl::SameText(StripHotkey(i->Caption), StripHotkey(caption))) return i;
  return nullptr;
}

// ============================================================================ TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

void TMenu::Destroy() {
  TMenuItem* root = items_;
  items_ = nullptr;
  if (root) {
    root->menu_ = nullptr;
    root->Free();
  }
  TComponent::Destroy();
}

static TMenuItem* FindIn(TMenuItem* root, const std::function<bool(TMenuItem*)>& pred) {
  if (!root) return nullptr;
  for (int i = 0; i < root->Count(); i++) {
    TMenuItem* c = root->Items(i);
    if (pred(c)) return c;
    if (TMenuItem* d = FindIn(c, pred)) return d;
  }
  return nullptr;
}

TMenuItem* TMenu::FindItem(unsigned value, TMenuItemFindKind kind) const {
  return FindIn(items_, [&](TMenuItem* i) {
    switch (kind) {
      case fkCommand:
        return i->Command() == value;
      case fkShortCut:
        return i->ShortCut != 0 && i->ShortCut == value;
      default:
        return false;
    }
  });
}

bool TMenu::DispatchCommand(uint16_t command) {
  TMenuItem* item = FindItem(command, fkCommand);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::IsShortCut(const TMessage& msg) {
  TShiftState shift = KeyDataToShiftState(msg.LParam);
  TShortCut sc = ShortCut(uint16_t(msg.WParam), shift);
  if (!sc) return false;
  // Only items that can be reached: every ancestor enabled and visible.
  TMenuItem* item = FindIn(items_, [&](TMenuItem* i) { return i->ShortCut == sc; });
  for (TMenuItem* i = item; i && i != items_; i = i->Parent())
    if (!i->Enabled || !i->Visible) return false;
  if (!item) return false;
  item->Click();
  return true;
}

// ============================================================================ TPopupMenu

void TPopupMenu::Popup(int X, int Y) {
  popupPoint_ = {X, Y};
  DoPopup();
}

}  // namespace cl
