// String lists. Lines may carry "name=value" pairs: the first '=' splits the
// name from the value and names match case-insensitively (first match wins).
// Text splits on CR LF, LF or CR and joins with CR LF. Objects are not owned.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/types.h"

namespace rtl {

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TObject {
 public:
  // Storage primitives every list provides.
  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  virtual void* GetObject(int index) const;
  virtual void PutObject(int index, void* obj);
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void InsertObject(int index, const std::string& s, void* obj);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int a, int b);
  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, void* obj);
  virtual int IndexOf(const std::string& s) const;
  virtual void BeginUpdate();
  virtual void EndUpdate();

  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& s) { Put(index, s); }
  std::string operator[](int index) const { return Get(index); }
  void* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, void* obj) { PutObject(index, obj); }

  void Append(const std::string& s) { Add(s); }
  void AddStrings(const TStrings& other);
  virtual void Assign(const TStrings& source);
  void Move(int curIndex, int newIndex);
  int IndexOfObject(void* obj) const;

  // Names/values.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  std::string Values(const std::string& name) const;
  // Setting an empty value removes the line.
  void SetValues(const std::string& name, const std::string& value);
  int IndexOfName(const std::string& name) const;

  std::string Text() const;
  void SetText(std::string_view text);
  // Comma-separated form; items holding blanks, commas or quotes are quoted.
  std::string CommaText() const;
  void SetCommaText(std::string_view text);

  // Files are UTF-8; a BOM is skipped on load and none is written.
  virtual void LoadFromFile(const std::string& fileName);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream) const;

  bool CaseSensitive() const { return caseSensitive_; }
  virtual void SetCaseSensitive(bool value) { caseSensitive_ = value; }
  int UpdateCount() const { return updateCount_; }

 protected:
  virtual void SetUpdateState(bool /*updating*/) {}
  // Compares two item texts honouring CaseSensitive.
  int CompareStrings(const std::string& a, const std::string& b) const;
  void CheckIndex(int index, int count) const;

  bool caseSensitive_ = false;
  int updateCount_ = 0;
};

class TStringList : public TStrings {
 public:
  TStringList() = default;
  TStringList(const TStringList& other);
  TStringList& operator=(const TStringList& other);

  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  const std::string& At(int index) const;  // by reference, no copy
  void Put(int index, const std::string& s) override;
  void* GetObject(int index) const override;
  void PutObject(int index, void* obj) override;
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, void* obj) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int a, int b) override;
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, void* obj) override;
  int IndexOf(const std::string& s) const override;

  // Binary search in a sorted list; index is where s is or would be.
  bool Find(const std::string& s, int& index) const;
  void Sort();
  void CustomSort(const std::function<int(TStringList&, int, int)>& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  void SetCaseSensitive(bool value) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool updating) override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct Item {
    std::string s;
    void* obj = nullptr;
  };
  void InsertItem(int index, const std::string& s, void* obj);

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace rtl
