// option.ini: first start, the value rules of [Options], the fallback to the
// user's configuration folder and writes that never fail silently.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Settings.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& p) {
  std::ifstream f(p);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("vc_settings_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    prog = (root / "prog").string() + "/";
    conf = (root / "conf").string() + "/";
  }
  void TearDown() override { fs::remove_all(root); }
  TSettingsFile Make() {
    return TSettingsFile(prog, conf, [this](const std::string& l) { log += l + "\n"; });
  }
  fs::path root;
  std::string prog, conf, log;
};

}  // namespace

TEST_F(SettingsFile, FirstStartWritesOutPathSkinThenOptionsAndCreatesTheFolder) {
  TSettingsFile ini = Make();
  EXPECT_FALSE(ini.UsesFallback());
  const std::string out = (root / "Varnel视频软件" / "输出").string();
  EXPECT_EQ(ReadOutPath(ini, out), out);
  EXPECT_TRUE(fs::is_directory(out));
  EXPECT_EQ(ReadSkinIndex(ini), 0);
  TOptionValues v = ReadOptions(ini);
  EXPECT_EQ(v.ThreadCount, 1);
  EXPECT_EQ(v.AfterDone, 0);
  EXPECT_EQ(v.ThreadPriority, 3);
  EXPECT_EQ(v.OverwriteFile, 1);
  EXPECT_FALSE(v.ShowPreview);
  const std::string text = Slurp(prog + "option.ini");
  EXPECT_LT(text.find("[OutPath]"), text.find("[Skin]"));
  EXPECT_LT(text.find("[Skin]"), text.find("[Options]"));
  for (const char* kv : {"OutPath=", "SetSkin=0", "Thread_Count=0", "After_Done=0", "Thread_Priority=3",
                         "Overwrite_File=1", "Show_Preview=0"})
    EXPECT_NE(text.find(kv), std::string::npos) << kv;
  EXPECT_EQ(log, "");
}

TEST_F(SettingsFile, OptionValuesOutsideTheirSetAreReplacedAndWrittenBack) {
  struct Case {
    const char* key;
    const char* stored;  // nullptr: the key is absent
    const char* fileAfter;
    int shown;
  } cases[] = {
      {"Thread_Count", "4", "4", 4},    {"Thread_Count", "0", "0", 1},    {"Thread_Count", "1", "1", 1},
      {"Thread_Count", "25", "0", 1},   {"Thread_Count", "x", "0", 1},    {"Thread_Count", "04", "0", 1},
      {"Thread_Priority", "7", "3", 3}, {"Thread_Priority", "1", "1", 1}, {"After_Done", nullptr, "0", 0},
      {"After_Done", "2", "2", 2},      {"Overwrite_File", "5", "1", 1},  {"Overwrite_File", "0", "0", 0},
      {"Show_Preview", "1", "1", 1},    {"Show_Preview", "", "0", 0},
  };
  for (const Case& c : cases) {
    fs::remove(prog + "option.ini");
    TSettingsFile ini = Make();
    ReadOptions(ini);  // every key present with its default
    if (c.stored)
      ini.Write("Options", c.key, c.stored);
    else {
      std::string t = Slurp(prog + "option.ini");
      t.erase(t.find(std::string(c.key) + "="),
              t.find('\n', t.find(std::string(c.key) + "=")) + 1 - t.find(std::string(c.key) + "="));
      std::ofstream(prog + "option.ini") << t;
    }
    TOptionValues v = ReadOptions(ini);
    const std::string key = c.key;
    const int shown = key == "Thread_Count"      ? v.ThreadCount
                      : key == "Thread_Priority" ? v.ThreadPriority
                      : key == "After_Done"      ? v.AfterDone
                      : key == "Overwrite_File"  ? v.OverwriteFile
                                                 : int(v.ShowPreview);
    EXPECT_EQ(shown, c.shown) << c.key << "=" << (c.stored ? c.stored : "(absent)");
    EXPECT_EQ(ini.Read("Options", c.key), c.fileAfter) << c.key << "=" << (c.stored ? c.stored : "(absent)");
  }
}

TEST_F(SettingsFile, StoredFolderIsCreatedAndSkinIndexRead) {
  TSettingsFile ini = Make();
  const std::string mine = (root / "mine" / "deep").string();
  ini.Write("OutPath", "OutPath", mine);
  ini.Write("Skin", "SetSkin", "7");
  EXPECT_EQ(ReadOutPath(ini, "/nonexistent-default"), mine);
  EXPECT_TRUE(fs::is_directory(mine));
  EXPECT_EQ(ReadSkinIndex(ini), 7);
  ini.Write("Skin", "SetSkin", "blue");
  EXPECT_EQ(ReadSkinIndex(ini), 0);
  EXPECT_EQ(ini.Read("Skin", "SetSkin"), "0");
  WriteOutPath(ini, (root / "missing").string());  // not a folder: nothing stored
  EXPECT_EQ(ini.Read("OutPath", "OutPath"), mine);
}

TEST_F(SettingsFile, UnwritableProgramFolderFallsBackToTheConfigFolderAndSaysSo) {
  // A "folder" below a plain file cannot take a file, whoever runs the test.
  std::ofstream(root / "plain") << "x";
  prog = (root / "plain").string() + "/";
  TSettingsFile ini = Make();
  EXPECT_TRUE(ini.UsesFallback());
  EXPECT_EQ(ini.Path(), conf + "option.ini");
  EXPECT_NE(log.find("cannot be written"), std::string::npos) << log;
  EXPECT_TRUE(ini.Write("Skin", "SetSkin", "3"));
  EXPECT_EQ(ReadSkinIndex(ini), 3);
  EXPECT_TRUE(fs::exists(conf + "option.ini"));
}

TEST_F(SettingsFile, AWriteThatFailsMovesToTheConfigFolderAndNothingFailsSilently) {
  TSettingsFile ini = Make();
  ini.Write("Skin", "SetSkin", "2");
  // Something else now stands where the file was: the write cannot go there.
  fs::remove(prog + "option.ini");
  fs::create_directories(prog + "option.ini");
  EXPECT_TRUE(ini.Write("Options", "After_Done", "2"));
  EXPECT_TRUE(ini.UsesFallback());
  EXPECT_NE(log.find("could not write [Options] After_Done"), std::string::npos) << log;
  EXPECT_EQ(ini.Read("Options", "After_Done"), "2");
  // A later write keeps the keys already in the new place.
  EXPECT_TRUE(ini.Write("Skin", "SetSkin", "5"));
  EXPECT_EQ(ini.Read("Options", "After_Done"), "2");
  // With nowhere left to write, the failure is reported, not swallowed.
  fs::remove(conf + "option.ini");
  fs::create_directories(conf + "option.ini");
  log.clear();
  EXPECT_FALSE(ini.Write("Skin", "SetSkin", "4"));
  EXPECT_NE(log.find("could not write [Skin] SetSkin=4"), std::string::npos) << log;
}
