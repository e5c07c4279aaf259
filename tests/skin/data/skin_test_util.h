// Helpers of the skin data tests: a scratch folder, the committed test skin
// and a fake form registry that records the broadcast.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "skin/bsSkinData.h"
#include "skin/bsSkinIni.h"

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
  intptr_t lastLParam = 0;
};

}  // namespace skintest
