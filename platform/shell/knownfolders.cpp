#include "platform/shell/knownfolders.h"

#include "platform/rtl/env.h"
#include "platform/rtl/files.h"

#include <pwd.h>
#include <unistd.h>

#include <fstream>

namespace shell {

std::string HomeDir() {
  std::string h = rtl::GetEnvironmentVariable("HOME");
  if (h.empty())
    if (passwd* pw = getpwuid(getuid())) h = pw->pw_dir ? pw->pw_dir : "";
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  return h.empty() ? "/" : h;
}

static std::string ConfigHome() {
  std::string c = rtl::GetEnvironmentVariable("XDG_CONFIG_HOME");
  return c.empty() ? HomeDir() + "/.config" : c;
}

std::string XdgUserDir(const std::string& name) {
  std::ifstream in(ConfigHome() + "/user-dirs.dirs");
  std::string key = "XDG_" + name + "_DIR=", line;
  while (std::getline(in, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string v = line.substr(start + key.size());
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.rfind("$HOME", 0) == 0) v = HomeDir() + v.substr(5);
    if (v.empty() || v[0] != '/') return "";
    while (v.size() > 1 && v.back() == '/') v.pop_back();
    // A folder set to the home folder itself is no folder of its own.
    if (v == HomeDir() || !rtl::DirectoryExists(v)) return "";
    return v;
  }
  return "";
}

std::string SpecialFolderPath(int csidl) {
  auto existing = [](const std::string& p) { return rtl::DirectoryExists(p) ? p : std::string(); };
  switch (csidl) {
    case CSIDL_PERSONAL: {
      std::string d = XdgUserDir("DOCUMENTS");
      return d.empty() ? HomeDir() : d;
    }
    case CSIDL_DESKTOPDIRECTORY: {
      std::string d = XdgUserDir("DESKTOP");
      if (d.empty()) d = existing(HomeDir() + "/Desktop");
      return d.empty() ? HomeDir() : d;
    }
    case CSIDL_APPDATA:
      return ConfigHome();
    case CSIDL_TEMPLATES: {
      std::string d = XdgUserDir("TEMPLATES");
      return d.empty() ? existing(HomeDir() + "/Templates") : d;
    }
  }
  return "";
}

bool SpecialFolderAvailable(int csidl) {
  return csidl == CSIDL_DESKTOP || csidl == CSIDL_DRIVES || !SpecialFolderPath(csidl).empty();
}

}  // namespace shell
