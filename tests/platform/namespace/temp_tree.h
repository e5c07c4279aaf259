// A fresh temporary folder per test, removed afterwards, with the home folder
// and the XDG configuration pointed into it for the test's duration.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

class TempTree {
 public:
  TempTree() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ns-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
    for (const char* v : {"HOME", "XDG_CONFIG_HOME"}) {
      const char* old = getenv(v);
      saved_.push_back({v, old ? old : "", old != nullptr});
    }
    setenv("HOME", path_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (path_ + "/.config").c_str(), 1);
  }
  ~TempTree() {
    for (auto& s : saved_) {
      if (s.had)
        setenv(s.name.c_str(), s.value.c_str(), 1);
      else
        unsetenv(s.name.c_str());
    }
    std::error_code ec;
    for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
      std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }
  void Write(const std::string& name, const std::string& bytes = "x") const {
    std::filesystem::create_directories(std::filesystem::path(path_ + "/" + name).parent_path());
    std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
  }
  void Dir(const std::string& name) const { std::filesystem::create_directories(path_ + "/" + name); }

 private:
  struct Saved {
    std::string name, value;
    bool had;
  };
  std::string path_;
  std::vector<Saved> saved_;
};
