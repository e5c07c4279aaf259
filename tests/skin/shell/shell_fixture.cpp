#include "shell_fixture.h"

#include <cstdlib>
#include <fstream>

#include "platform/shell/volumes.h"

namespace shelltest {

void ShellTree::SetUp() {
  char tmpl[] = "/tmp/vc_shellviews_XXXXXX";
  root = mkdtemp(tmpl);
  fs::create_directories(root / "a" / "b" / "c");
  fs::create_directories(root / "arch.zip");
  fs::create_directories(root / ".hiddendir");
  fs::create_directories(root / "home");
  for (const char* f : {"clip.AVI", "song.mp3", "notes.txt", ".hidden.avi", "tune.aiff"})
    std::ofstream(root / f) << "data of " << f;
  std::ofstream(root / "big.bin").close();
  fs::resize_file(root / "big.bin", uintmax_t(5) << 30);
  if (const char* v = getenv("HOME")) hadHome_ = true, oldHome_ = v;
  if (const char* v = getenv("XDG_CONFIG_HOME")) hadConfig_ = true, oldConfig_ = v;
  setenv("HOME", (root / "home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root / "home" / ".config").c_str(), 1);
  const std::string r = root.string();
  shell::SetVolumeProvider([r] {
    shell::Volume sys;
    sys.mountPoint = "/";
    sys.kind = shell::DriveKind::Fixed;
    shell::Volume tree;
    tree.mountPoint = r;
    tree.label = "TREE";
    tree.kind = shell::DriveKind::Fixed;
    return std::vector<shell::Volume>{sys, tree};
  });
}

void ShellTree::TearDown() {
  h.Pump();
  shell::SetVolumeProvider(nullptr);
  if (hadHome_)
    setenv("HOME", oldHome_.c_str(), 1);
  else
    unsetenv("HOME");
  if (hadConfig_)
    setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  std::error_code ec;
  fs::remove_all(root, ec);
  EXPECT_EQ(h.Leaks(), "");
  EXPECT_TRUE(h.exceptions.empty());
}

shell::UniqueIdList ShellTree::Id(const std::string& path) const {
  shell::PIDLIST id = nullptr;
  EXPECT_EQ(skin::AcquireDesktopFolderIntf()->ParseDisplayName(path, &id, nullptr), shell::S_OK) << path;
  return shell::UniqueIdList(id);
}

}  // namespace shelltest
