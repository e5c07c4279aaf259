// A temporary tree that the namespace sees as a volume of its own, with a
// home folder inside it, so that Desktop, Computer and Home never reach the
// machine's own folders.
//
//   <root>/a/b/c/            three levels below the volume
//   <root>/arch.zip/         a folder whose name looks like an archive
//   <root>/.hiddendir/       a hidden folder
//   <root>/clip.AVI  song.mp3  notes.txt  .hidden.avi  tune.aiff
//   <root>/big.bin           a sparse 5 GiB file
//   <root>/home/             $HOME (no desktop folder)
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/testkit/harness.h"
#include "skin/dialogs/bsShellFolder.h"

namespace shelltest {

namespace fs = std::filesystem;

class ShellTree : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;
  std::string P(const std::string& rel) const { return (root / rel).string(); }
  // The absolute list of a path (owned).
  shell::UniqueIdList Id(const std::string& path) const;
  // Pumps until `done` holds, for at most ten seconds.
  template <class F>
  bool PumpUntil(F done);

  plat::test::Harness h;
  fs::path root;

 private:
  std::string oldHome_, oldConfig_;
  bool hadHome_ = false, hadConfig_ = false;
};

}  // namespace shelltest

#include <chrono>

#include "platform/win/window.h"

namespace shelltest {
template <class F>
bool ShellTree::PumpUntil(F done) {
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    win::MsgWaitForEvents(20);
    h.Pump();
  }
  return true;
}
}  // namespace shelltest
