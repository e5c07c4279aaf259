// The settings file "option.ini" and the reading and writing rules of its
// sections: [Options] (the options dialog), [OutPath] (the output folder),
// [Skin] (the chosen stored skin).
//
// The file lives beside the program. When that folder cannot be written (an
// installed, read-only program), the file lives in the user's configuration
// folder instead and the log says so; a write that fails later moves the
// file there too, carrying every key it held. A write is never dropped
// without a log line.
#pragma once
#include <functional>
#include <string>

class TSettingsFile {
 public:
  using LogFn = std::function<void(const std::string&)>;

  // programFolder and fallbackFolder end with '/'.
  TSettingsFile(std::string programFolder, std::string fallbackFolder, LogFn log);

  // $XDG_CONFIG_HOME (else ~/.config) + "/varnel-converter/".
  static std::string UserConfigFolder();

  const std::string& Path() const { return path_; }
  bool UsesFallback() const { return fallback_; }
  bool Exists() const;

  // The value, or "Error" when the key is absent.
  std::string Read(const std::string& section, const std::string& key) const;
  // Writes through at once. Returns false (after a log line) when neither
  // place could take the value.
  bool Write(const std::string& section, const std::string& key, const std::string& value);

 private:
  bool MoveToFallback(const std::string& why);
  void Log(const std::string& s) const {
    if (log_) log_(s);
  }

  std::string fallbackFolder_;
  std::string path_;
  bool fallback_ = false;
  LogFn log_;
};

// A value that reads as empty or "Error" counts as missing.
bool SettingMissing(const std::string& value);

// The settings of [Options], as the options dialog shows them.
struct TOptionValues {
  int ThreadCount = 1;     // 1..19 shown in the thread-count list
  int AfterDone = 0;       // 0 open folder, 1 power off, 2 sound, 3 nothing
  int ThreadPriority = 3;  // 0 idle, 1 lowest, 2 lower, 3 normal
  int OverwriteFile = 1;   // 0 overwrite, 1 make the name unique
  bool ShowPreview = false;
};

// Reads [Options], writing back the default of each missing or invalid key
// (and all five on a first start).
TOptionValues ReadOptions(TSettingsFile& ini);
// Writes the five keys in the dialog's order.
void WriteOptions(TSettingsFile& ini, const TOptionValues& v);

// The output folder of [OutPath]: a stored folder is created when missing; a
// missing key or file gives the default folder, created and written back.
std::string ReadOutPath(TSettingsFile& ini, const std::string& defaultFolder);
// Stores the folder when it exists.
void WriteOutPath(TSettingsFile& ini, const std::string& folder);

// [Skin] SetSkin: -1 when there was no file (the window keeps its skin);
// otherwise the stored index (0 written back when missing or not a number).
int ReadSkinIndex(TSettingsFile& ini);
// The stored skin the start will end with, read without writing anything:
// what ReadSkinIndex will give once the output folder has been written
// (a missing file then exists, a missing or unreadable index reads 0), or
// `formIndex` where that index is not one of the `count` stored skins.
int StartSkinIndex(const TSettingsFile& ini, int formIndex, int count);
void WriteSkinIndex(TSettingsFile& ini, int index);

// The default folders under the user's home: "Varnel视频软件/输出" and "/快照".
std::string DefaultOutputFolder();
std::string DefaultSnapshotFolder();
