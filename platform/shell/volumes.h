// The volumes of the machine, in place of drive letters: the mount table with
// the pseudo file systems left out, each mount with its kind and label, and
// the case rules of the file system a path lies on.
#pragma once

#include <string>
#include <vector>

namespace shell {

// The DRIVE_* kinds.
enum class DriveKind { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

struct Volume {
  std::string mountPoint;  // "/", "/media/user/STICK", ...
  std::string device;      // "/dev/sdb1", "server:/export", "tmpfs"
  std::string fsType;      // "ext4", "vfat", "nfs4", ...
  std::string label;       // from /dev/disk/by-label; empty when none
  DriveKind kind = DriveKind::Unknown;
};

// The volumes a user can browse, "/" first, then by mount point: the root,
// everything mounted under /media, /run/media and /mnt, real block-device
// file systems (no loop-mounted images) and network file systems. Pseudo
// file systems (proc, sysfs, cgroup, tmpfs elsewhere, ...) and mounts of
// single files are left out. `mountsFile` and `byLabelDir` are for tests.
std::vector<Volume> ListVolumes(const std::string& mountsFile = "/proc/self/mounts",
                                const std::string& byLabelDir = "/dev/disk/by-label");

// The volume whose mount point is the longest prefix of `path` ("/" when
// none other is): every path has exactly one.
Volume VolumeOf(const std::string& path, const std::vector<Volume>& volumes);

struct CaseRules {
  bool caseSensitive = true;
  bool casePreserving = true;
};
// From the file system's type (statfs): FAT, exFAT, NTFS and ISO 9660 compare
// names without case.
CaseRules CaseRulesOf(const std::string& path);

}  // namespace shell
