#include "platform/rtl/strlist.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace rtl {

void TStrings::CheckIndex(int index, int count) const {
  if (index < 0 || index >= count) throw EListError(Format("List index out of bounds (%d)", index));
}

void TStrings::Put(int index, const std::string& s) {
  void* obj = GetObject(index);
  Delete(index);
  InsertObject(index, s, obj);
}

void* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, void*) {}

void TStrings::InsertObject(int index, const std::string& s, void* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

void TStrings::Exchange(int a, int b) {
  std::string sa = Get(a), sb = Get(b);
  void* oa = GetObject(a);
  void* ob = GetObject(b);
  Put(a, sb);
  PutObject(a, ob);
  Put(b, sa);
  PutObject(b, oa);
}

int TStrings::Add(const std::string& s) {
  int i = Count();
  Insert(i, s);
  return i;
}

int TStrings::AddObject(const std::string& s, void* obj) {
  int i = Add(s);
  PutObject(i, obj);
  return i;
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::AddStrings(const TStrings& other) {
  BeginUpdate();
  try {
    for (int i = 0, n = other.Count(); i < n; ++i) AddObject(other.Get(i), other.GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Assign(const TStrings& source) {
  if (&source == this) return;
  BeginUpdate();
  try {
    Clear();
    AddStrings(source);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  std::string s = Get(curIndex);
  void* obj = GetObject(curIndex);
  BeginUpdate();
  Delete(curIndex);
  InsertObject(newIndex, s, obj);
  EndUpdate();
}

int TStrings::IndexOfObject(void* obj) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (GetObject(i) == obj) return i;
  return -1;
}

std::string TStrings::Names(int index) const {
  std::string s = Get(index);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::ValueFromIndex(int index) const {
  if (index < 0) return {};
  std::string s = Get(index);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0, n = Count(); i < n; ++i) {
    std::string s = Get(i);
    size_t p = s.find('=');
    if (p != std::string::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

std::string TStrings::Values(const std::string& name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i < 0)
    Add(name + "=" + value);
  else
    Put(i, name + "=" + value);
}

std::string TStrings::Text() const {
  std::string out;
  for (int i = 0, n = Count(); i < n; ++i) {
    out += Get(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  try {
    Clear();
    size_t i = 0;
    while (i < text.size()) {
      size_t e = text.find_first_of("\r\n", i);
      if (e == std::string_view::npos) {
        Add(std::string(text.substr(i)));
        break;
      }
      Add(std::string(text.substr(i, e - i)));
      i = e + 1;
      if (text[e] == '\r' && i < text.size() && text[i] == '\n') ++i;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  std::string out;
  for (int i = 0, n = Count(); i < n; ++i) {
    if (i) out += ',';
    std::string s = Get(i);
    bool quote = s.empty() ? false : s.find_first_of(" ,\"\t") != std::string::npos;
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStrings::SetCommaText(std::string_view text) {
  BeginUpdate();
  try {
    Clear();
    size_t i = 0;
    auto skipBlanks = [&] {
      while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    };
    skipBlanks();
    while (i < text.size()) {
      std::string item;
      if (text[i] == '"') {
        ++i;
        while (i < text.size()) {
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              item += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item += text[i++];
        }
        while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ') item += text[i++];
      } else {
        while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ') item += text[i++];
      }
      Add(item);
      skipBlanks();
      if (i < text.size() && text[i] == ',') {
        ++i;
        skipBlanks();
        if (i >= text.size()) Add("");
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::LoadFromFile(const std::string& fileName) {
  std::string bytes = ReadFileBytes(fileName);
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  SetText(bytes);
}

void TStrings::SaveToFile(const std::string& fileName) const {
  // Through a temporary file: a save that fails half-way (full disk) keeps
  // the old file whole.
  WriteFileBytes(fileName, Text());
}

void TStrings::LoadFromStream(TStream& stream) {
  std::string bytes = stream.ReadAll();
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  SetText(bytes);
}

void TStrings::SaveToStream(TStream& stream) const {
  std::string t = Text();
  stream.WriteBuffer(t.data(), static_cast<std::int64_t>(t.size()));
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

// ---------------------------------------------------------------------------

TStringList::TStringList(const TStringList& other)
    : TStrings(other), items_(other.items_), sorted_(other.sorted_), duplicates_(other.duplicates_) {
  updateCount_ = 0;
}

TStringList& TStringList::operator=(const TStringList& other) {
  if (this != &other) {
    Changing();
    items_ = other.items_;
    sorted_ = other.sorted_;
    duplicates_ = other.duplicates_;
    caseSensitive_ = other.caseSensitive_;
    Changed();
  }
  return *this;
}

void TStringList::Changed() {
  if (updateCount_ == 0) OnChange(this);
}

void TStringList::Changing() {
  if (updateCount_ == 0) OnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

std::string TStringList::Get(int index) const { return At(index); }

const std::string& TStringList::At(int index) const {
  CheckIndex(index, Count());
  return items_[index].s;
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index, Count());
  Changing();
  items_[index].s = s;
  Changed();
}

void* TStringList::GetObject(int index) const {
  CheckIndex(index, Count());
  return items_[index].obj;
}

void TStringList::PutObject(int index, void* obj) {
  CheckIndex(index, Count());
  Changing();
  items_[index].obj = obj;
  Changed();
}

void TStringList::InsertItem(int index, const std::string& s, void* obj) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, obj});
  Changed();
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, void* obj) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) throw EListError(Format("List index out of bounds (%d)", index));
  InsertItem(index, s, obj);
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int a, int b) {
  CheckIndex(a, Count());
  CheckIndex(b, Count());
  Changing();
  std::swap(items_[a], items_[b]);
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, void* obj) {
  int index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      if (duplicates_ == dupIgnore) return index;
      if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
    }
  }
  InsertItem(index, s, obj);
  return index;
}

int TStringList::IndexOf(const std::string& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareStrings(items_[mid].s, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.s, b.s) < 0; });
  Changed();
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& compare) {
  // A stable insertion sort; the comparer sees the list as it is being sorted.
  BeginUpdate();
  for (int i = 1; i < Count(); ++i)
    for (int j = i; j > 0 && compare(*this, j - 1, j) > 0; --j) std::swap(items_[j - 1], items_[j]);
  EndUpdate();
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

}  // namespace rtl
