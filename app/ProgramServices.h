// What the program's windows reach outside themselves, each behind a small
// seam with a plain default, so that the windows run headless in tests and
// the dialogs built elsewhere plug in without touching the windows.
#pragma once
#include <functional>
#include <string>
#include <vector>

// The open-file and select-folder dialogs.
class IFileChooser {
 public:
  virtual ~IFileChooser() = default;
  // One file; false when the user cancelled.
  virtual bool OpenFile(const std::string& filter, std::string& file) = 0;
  // Several files; false when the user cancelled.
  virtual bool OpenFiles(const std::string& filter, std::vector<std::string>& files) = 0;
  // A folder; false when the user cancelled. `folder` holds the start folder.
  virtual bool SelectFolder(const std::string& title, std::string& folder) = 0;
};

struct TProgramServices {
  // Where option.ini lives; both end with '/'. Empty: beside the program,
  // falling back to the user's configuration folder.
  std::string ProgramFolder;
  std::string ConfigFolder;
  // The output folder when the settings name none. Empty: under the home folder.
  std::string DefaultOutputFolder;
  // The snapshot folder when the settings name none. Empty: under the home folder.
  std::string DefaultSnapshotFolder;
  // The open and select-folder dialogs; none: nothing is ever chosen.
  IFileChooser* Chooser = nullptr;
  // The save-picture dialog: true and the chosen file when confirmed; none:
  // nothing is ever saved.
  std::function<bool(const std::string& filter, const std::string& defaultExt, std::string& file)> SavePicture;
  // The skinned information box ("提示"); none: the text goes to the log.
  std::function<void(const std::string& text)> InfoBox;
  // The task-failure box (caption: the application title); none: the
  // platform's message box.
  std::function<void(const std::string& text)> FailureBox;
  // The skin chooser: true and the new index when confirmed; none: nothing.
  std::function<bool(int& skinIndex)> ChooseSkin;
  // Each log line also goes here (stderr by default when unset: nothing).
  std::function<void(const std::string& line)> LogSink;
};
