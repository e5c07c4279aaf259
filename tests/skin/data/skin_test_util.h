// Helpers of the skin data tests: a scratch folder, the committed test skin
// and a fake form registry that records the broadcast.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/bsSkinData.h"
#include "skin/data/bsSkinIni.h"

// A component for the scope: SKIN_NEW(TbsSkinData, store, args...) declares
// `store` as a reference to a new component that is freed at scope end.
#define SKIN_NEW(T, name, ...)                           \
  auto name##_owned = ::skin::MakeOwned<T>(__VA_ARGS__); \
  T& name = *name##_owned

namespace skintest {

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The folder of the committed test skin.
std::string TestSkinFolder();
// Copies the test skin into `dir`; returns the path of its description.
std::string CopyTestSkin(const TempDir& dir);
std::string ReadFile(const std::string& path);
// Every parsed record of a store, as the skin tool's dump prints it.
std::string DumpOf(skin::TbsSkinData& s);
void WriteFile(const std::string& path, const std::string& bytes);
// An in-memory description built from text.
std::unique_ptr<skin::TbsSkinIniFile> IniFromText(const std::string& text);
std::string IniText(skin::TbsSkinIniFile& ini);
// The sections of an ini text in file order.
std::vector<std::string> SectionOrder(const std::string& text);
// The keys of one section of an ini text, in file order.
std::vector<std::string> KeyOrder(const std::string& text, const std::string& section);

struct Sent {
  std::string form;
  unsigned msg;
  bool empty;
  bool changing;
};

class FakeForms : public skin::TbsSkinFormRegistry {
 public:
  struct F {
    std::string name, cls;
  };
  std::deque<F> forms;
  std::vector<Sent> log;
  FakeForms() { skin::SetSkinFormRegistry(this); }
  ~FakeForms() override { skin::SetSkinFormRegistry(nullptr); }
  Form Add(const std::string& name, const std::string& cls = "TForm") {
    forms.push_back({name, cls});
    return Form(&forms.back());
  }
  std::vector<Form> ScreenForms() override {
    std::vector<Form> out;
    for (auto& f : forms) out.push_back(&f);
    return out;
  }
  std::string FormClassName(Form f) override { return static_cast<const F*>(f)->cls; }
  void SendMessage(Form f, unsigned msg, skin::TbsSkinData* store, intptr_t lparam) override {
    log.push_back({static_cast<const F*>(f)->name, msg, store->Empty, store->ChangeSkinDataProcess});
    lastLParam = lparam;
  }
  std::vector<unsigned> Messages(const std::string& form) const {
    std::vector<unsigned> out;
    for (auto& s : log)
      if (s.form == form) out.push_back(s.msg);
    return out;
  }
  Form FormOf(cl::TComponent* c) override {
    auto it = componentForms.find(c);
    return it == componentForms.end() ? nullptr : it->second;
  }
  std::map<const cl::TComponent*, Form> componentForms;
  intptr_t lastLParam = 0;
};

}  // namespace skintest
