#include "app/Settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/ini.h"

namespace {

const char kFileName[] = "option.ini";

// Whether a file can be made in the folder: tried for real, because
// permission bits say nothing for root or read-only mounts.
bool FolderWritable(const std::string& folder) {
  std::string probe = folder + ".option.ini.probe-" + std::to_string(getpid());
  int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

bool FileWritable(const std::string& path) {
  if (!std::filesystem::exists(path)) return true;
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string Home() {
  const char* h = std::getenv("HOME");
  return h && *h ? std::string(h) : std::string("/tmp");
}

bool ParseInt(const std::string& s, int lo, int hi, int& out) {
  if (s.empty() || s.size() > 3) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

}  // namespace

TSettingsFile::TSettingsFile(std::string programFolder, std::string fallbackFolder, LogFn log)
    : fallbackFolder_(std::move(fallbackFolder)), path_(programFolder + kFileName), log_(std::move(log)) {
  if (!FolderWritable(programFolder) || !FileWritable(path_)) MoveToFallback("the program folder cannot be written");
}

std::string TSettingsFile::UserConfigFolder() {
  const char* x = std::getenv("XDG_CONFIG_HOME");
  std::string base = x && *x == '/' ? std::string(x) : Home() + "/.config";
  return base + "/varnel-converter/";
}

bool TSettingsFile::Exists() const { return rtl::FileExists(path_); }

std::string TSettingsFile::Read(const std::string& section, const std::string& key) const {
  rtl::TIniFile ini(path_);
  return ini.ReadString(section, key, "Error");
}

bool TSettingsFile::MoveToFallback(const std::string& why) {
  if (fallback_) return false;
  const std::string from = path_;
  const std::string to = fallbackFolder_ + kFileName;
  std::error_code ec;
  std::filesystem::create_directories(fallbackFolder_, ec);
  // Carry the keys over, unless an earlier run already keeps its settings there.
  if (!std::filesystem::exists(to) && std::filesystem::is_regular_file(from)) std::filesystem::copy_file(from, to, ec);
  path_ = to;
  fallback_ = true;
  Log("Settings: " + why + " (" + from + "); using " + to);
  return true;
}

bool TSettingsFile::Write(const std::string& section, const std::string& key, const std::string& value) {
  for (;;) {
    try {
      rtl::TIniFile ini(path_);
      ini.WriteString(section, key, value);
      return true;
    } catch (const rtl::Exception& e) {
      if (!MoveToFallback(std::string("could not write [") + section + "] " + key + ": " + e.Message())) {
        Log("Settings: could not write [" + section + "] " + key + "=" + value + " to " + path_ + ": " + e.Message());
        return false;
      }
    }
  }
}

bool SettingMissing(const std::string& value) { return value.empty() || value == "Error"; }

TOptionValues ReadOptions(TSettingsFile& ini) {
  TOptionValues v;
  if (!ini.Exists()) {
    // The first start stores "0" for the thread count, which shows as 1.
    ini.Write("Options", "Thread_Count", "0");
    ini.Write("Options", "After_Done", "0");
    ini.Write("Options", "Thread_Priority", "3");
    ini.Write("Options", "Overwrite_File", "1");
    ini.Write("Options", "Show_Preview", "0");
    return v;
  }
  const std::string tc = ini.Read("Options", "Thread_Count");
  int n = 0;
  if (ParseInt(tc, 0, 19, n) && tc.size() <= 2 && (tc == "0" || tc[0] != '0'))
    v.ThreadCount = n < 1 ? 1 : n;
  else
    ini.Write("Options", "Thread_Count", "0");
  auto small = [&](const char* key, int hi, int def, int& field) {
    const std::string s = ini.Read("Options", key);
    if (s.size() == 1 && ParseInt(s, 0, hi, field)) return;
    field = def;
    ini.Write("Options", key, std::to_string(def));
  };
  small("After_Done", 3, 0, v.AfterDone);
  small("Thread_Priority", 3, 3, v.ThreadPriority);
  small("Overwrite_File", 1, 1, v.OverwriteFile);
  int preview = 0;
  small("Show_Preview", 1, 0, preview);
  v.ShowPreview = preview == 1;
  return v;
}

void WriteOptions(TSettingsFile& ini, const TOptionValues& v) {
  ini.Write("Options", "Thread_Count", std::to_string(v.ThreadCount));
  ini.Write("Options", "After_Done", std::to_string(v.AfterDone));
  ini.Write("Options", "Show_Preview", v.ShowPreview ? "1" : "0");
  ini.Write("Options", "Thread_Priority", std::to_string(v.ThreadPriority));
  ini.Write("Options", "Overwrite_File", std::to_string(v.OverwriteFile));
}

std::string ReadOutPath(TSettingsFile& ini, const std::string& defaultFolder) {
  if (ini.Exists()) {
    const std::string s = ini.Read("OutPath", "OutPath");
    if (!SettingMissing(s)) {
      if (!rtl::DirectoryExists(s)) rtl::ForceDirectories(s);
      return s;
    }
  }
  if (!rtl::DirectoryExists(defaultFolder)) rtl::ForceDirectories(defaultFolder);
  ini.Write("OutPath", "OutPath", defaultFolder);
  return defaultFolder;
}

void WriteOutPath(TSettingsFile& ini, const std::string& folder) {
  if (rtl::DirectoryExists(folder)) ini.Write("OutPath", "OutPath", folder);
}

namespace {
// [Skin] SetSkin as a number, or -1 when it is missing or not one.
int StoredSkinIndex(const TSettingsFile& ini) {
  const std::string s = ini.Read("Skin", "SetSkin");
  int v = 0;
  return !SettingMissing(s) && ParseInt(s, 0, 999, v) ? v : -1;
}
}  // namespace

int ReadSkinIndex(TSettingsFile& ini) {
  if (!ini.Exists()) {
    ini.Write("Skin", "SetSkin", "0");
    return -1;
  }
  if (const int v = StoredSkinIndex(ini); v >= 0) return v;
  ini.Write("Skin", "SetSkin", "0");
  return 0;
}

int StartSkinIndex(const TSettingsFile& ini, int formIndex, int count) {
  const int v = ini.Exists() ? std::max(StoredSkinIndex(ini), 0) : 0;
  return v < count ? v : formIndex;
}

void WriteSkinIndex(TSettingsFile& ini, int index) { ini.Write("Skin", "SetSkin", std::to_string(index)); }

std::string DefaultOutputFolder() { return Home() + "/Varnel视频软件/输出"; }
std::string DefaultSnapshotFolder() { return Home() + "/Varnel视频软件/快照"; }
