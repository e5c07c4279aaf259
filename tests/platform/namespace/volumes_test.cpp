// The volumes from a mount table: pseudo file systems left out, kinds,
// labels, the longest mount point of a path.
#include "platform/shell/volumes.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace shell;

namespace {

TEST(Volumes, FromTheMountTable) {
  TempTree t;
  t.Write("mounts",
          "/dev/sda2 / ext4 rw 0 0\n"
          "proc /proc proc rw 0 0\n"
          "sysfs /sys sysfs rw 0 0\n"
          "tmpfs /run tmpfs rw 0 0\n"
          "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
          "/dev/sdb1 /media/user/MY\\040STICK vfat rw 0 0\n"
          "server:/export /mnt/nas nfs4 rw 0 0\n"
          "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
          "/dev/sr0 /media/cdrom iso9660 ro 0 0\n"
          "tmpfs /mnt/ram tmpfs rw 0 0\n"
          "/dev/sda3 /home ext4 rw 0 0\n"
          "/dev/sda2 " +
              t / "a-file" +
              " ext4 rw 0 0\n"
              "nas:/data /srv/data nfs rw 0 0\n"
              "/dev/sdb1 /media/user/MY\\040STICK vfat rw 0 0\n");
  t.Write("a-file");
  t.Dir("by-label");
  symlink("/dev/sdb1", (t / "by-label/MY\\x20STICK").c_str());
  std::vector<Volume> v = ListVolumes(t / "mounts", t / "by-label");
  std::vector<std::string> mounts;
  for (auto& x : v) mounts.push_back(x.mountPoint);
  EXPECT_EQ(mounts, (std::vector<std::string>{"/", "/home", "/media/cdrom", "/media/user/MY STICK", "/mnt/nas",
                                              "/mnt/ram", "/srv/data"}));
  auto find = [&](const std::string& m) {
    for (auto& x : v)
      if (x.mountPoint == m) return x;
    return Volume{};
  };
  EXPECT_EQ(find("/").kind, DriveKind::Fixed);
  EXPECT_EQ(find("/home").kind, DriveKind::Fixed);
  EXPECT_EQ(find("/media/cdrom").kind, DriveKind::CdRom);
  EXPECT_EQ(find("/media/user/MY STICK").kind, DriveKind::Removable);
  EXPECT_EQ(find("/mnt/nas").kind, DriveKind::Remote);
  EXPECT_EQ(find("/mnt/ram").kind, DriveKind::RamDisk);
  EXPECT_EQ(find("/srv/data").kind, DriveKind::Remote);
  EXPECT_EQ(find("/media/user/MY STICK").label, "MY STICK");
  EXPECT_EQ(VolumeOf("/media/user/MY STICK/film.avi", v).mountPoint, "/media/user/MY STICK");
  EXPECT_EQ(VolumeOf("/media/user", v).mountPoint, "/");
  EXPECT_EQ(VolumeOf("/home", v).mountPoint, "/home");
  // No table at all: the root is still there.
  std::vector<Volume> none = ListVolumes(t / "missing", t / "missing");
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].mountPoint, "/");
  EXPECT_TRUE(CaseRulesOf(t.path()).casePreserving);
}

}  // namespace
