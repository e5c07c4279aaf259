#include "skin_test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace skintest {

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "skintest-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  path_ = mkdtemp(buf.data());
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TestSkinFolder() {
  const char* src = std::getenv("VC_SOURCE_DIR");
  return std::string(src && *src ? src : SKIN_TEST_SOURCE_DIR) + "/tests/skin/data/testskin";
}

std::string CopyTestSkin(const TempDir& dir) {
  for (auto& e : fs::directory_iterator(TestSkinFolder()))
    fs::copy_file(e.path(), fs::path(dir.Path()) / e.path().filename(), fs::copy_options::overwrite_existing);
  return dir.File("skin.ini");
}

std::string DumpOf(skin::TbsSkinData& s) {
  std::ostringstream o;
  s.Dump(o);
  return o.str();
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

std::unique_ptr<skin::TbsSkinIniFile> IniFromText(const std::string& text) {
  return std::make_unique<skin::TbsSkinIniFile>(skin::SplitSkinLines(text));
}

std::string IniText(skin::TbsSkinIniFile& ini) {
  std::string s;
  for (const std::string& l : ini.Lines()) s += l + "\n";
  return s;
}

std::vector<std::string> SectionOrder(const std::string& text) {
  std::vector<std::string> out;
  for (const std::string& l : skin::SplitSkinLines(text))
    if (l.size() > 2 && l.front() == '[' && l.back() == ']') out.push_back(l.substr(1, l.size() - 2));
  return out;
}

std::vector<std::string> KeyOrder(const std::string& text, const std::string& section) {
  std::vector<std::string> out;
  bool in = false;
  for (const std::string& l : skin::SplitSkinLines(text)) {
    if (l.size() > 2 && l.front() == '[' && l.back() == ']') {
      in = l.substr(1, l.size() - 2) == section;
      continue;
    }
    size_t eq = l.find('=');
    if (in && eq != std::string::npos) {
      std::string k = l.substr(0, eq);
      k.erase(0, k.find_first_not_of(' '));
      k.erase(k.find_last_not_of(' ') + 1);
      out.push_back(k);
    }
  }
  return out;
}

}  // namespace skintest
