// Starting other programs: the desktop's opener for files, folders and links
// (ShellExecute), the finish sound (PlaySound) and the power-off. Each goes
// through an interface the program can replace, so tests record the calls
// instead of acting.
#pragma once

#include "platform/win/handles.h"

#include <string>
#include <vector>

namespace shell {

// Runs a program with an argument vector (no shell), detached; its exit is
// reaped in the background. False when it could not be started.
class IProcessLauncher {
 public:
  virtual ~IProcessLauncher() = default;
  virtual bool Spawn(const std::vector<std::string>& argv, const std::string& workingDir) = 0;
};

// posix_spawnp; the child is reaped by a background waiter.
class SpawnLauncher : public IProcessLauncher {
 public:
  bool Spawn(const std::vector<std::string>& argv, const std::string& workingDir) override;
};

// The launcher in use (a SpawnLauncher until another is set; the caller
// keeps ownership; nullptr goes back to the default).
IProcessLauncher& Launcher();
void SetLauncher(IProcessLauncher* launcher);

constexpr int SW_SHOWNORMAL = 1;
constexpr int SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31;

// "open" (or "", "explore", "edit"): the desktop's opener (xdg-open) gets the
// file, folder or link; with `params` the file is run as a program with the
// parameters split at blanks. "properties" does nothing. Returns a value
// above 32 when the program started, as on Windows.
int ShellExecute(win::HWND owner, const std::string& verb, const std::string& file, const std::string& params,
                 const std::string& dir, int show);

}  // namespace shell
