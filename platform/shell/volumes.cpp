#include "platform/shell/volumes.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace shell {

namespace {
// /proc/mounts writes blanks, tabs, newlines and backslashes as octal escapes.
std::string Unescape(const std::string& s) {
  auto octal = [](char c) { return c >= '0' && c <= '7'; };
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 3 < s.size() && octal(s[i + 1]) && octal(s[i + 2]) && octal(s[i + 3])) {
      out += char((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
      continue;
    }
    out += s[i];
  }
  return out;
}

// Labels in /dev/disk/by-label escape characters as \xHH.
std::string UnescapeHex(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
      out += char(std::strtol(s.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
      continue;
    }
    out += s[i];
  }
  return out;
}

std::string RealPath(const std::string& p) {
  char buf[PATH_MAX];
  return realpath(p.c_str(), buf) ? std::string(buf) : p;
}

// Where a link in `dir` points, also when the target does not exist.
std::string LinkTarget(const std::string& dir, const std::string& name) {
  std::error_code ec;
  std::filesystem::path link = std::filesystem::path(dir) / name;
  std::filesystem::path target = std::filesystem::read_symlink(link, ec);
  if (ec) return RealPath(link.string());
  if (target.is_relative()) target = std::filesystem::path(dir) / target;
  return RealPath(target.lexically_normal().string());
}

bool Under(const std::string& path, const std::string& dir) {
  return path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 && path[dir.size()] == '/';
}

const std::set<std::string>& RemoteTypes() {
  static const std::set<std::string> s{"nfs",   "nfs4",        "cifs", "smb3",       "smbfs",
                                       "ncpfs", "afs",         "9p",   "fuse.sshfs", "fuse.rclone",
                                       "davfs", "fuse.davfs2", "ceph", "glusterfs",  "fuse.glusterfs"};
  return s;
}

bool IsRemovableDevice(const std::string& device) {
  std::string dev = RealPath(device);
  if (dev.rfind("/dev/", 0) != 0) return false;
  std::string name = dev.substr(5);
  // A partition's disk: sdb1 -> sdb, mmcblk0p1 -> mmcblk0, nvme0n1p2 -> nvme0n1.
  std::string disk = name;
  while (!disk.empty() && std::isdigit(uint8_t(disk.back()))) disk.pop_back();
  if (!disk.empty() && disk.back() == 'p' && (name.rfind("mmcblk", 0) == 0 || name.rfind("nvme", 0) == 0))
    disk.pop_back();
  for (const std::string& d : {name, disk}) {
    std::ifstream f("/sys/block/" + d + "/removable");
    int v = 0;
    if (f >> v && v == 1) return true;
  }
  return false;
}
}  // namespace

std::vector<Volume> ListVolumes(const std::string& mountsFile, const std::string& byLabelDir) {
  std::map<std::string, std::string> labels;  // device -> label
  if (DIR* d = opendir(byLabelDir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n == "." || n == "..") continue;
      labels[LinkTarget(byLabelDir, n)] = UnescapeHex(n);
    }
    closedir(d);
  }
  std::vector<Volume> out;
  std::set<std::string> seen;
  std::ifstream in(mountsFile);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string device, mount, type;
    if (!(ls >> device >> mount >> type)) continue;
    device = Unescape(device);
    mount = Unescape(mount);
    bool root = mount == "/";
    bool userPlace = Under(mount, "/media") || Under(mount, "/run/media") || Under(mount, "/mnt");
    bool remote = RemoteTypes().count(type) > 0;
    bool block = device.rfind("/dev/", 0) == 0 && device.rfind("/dev/loop", 0) != 0 && type != "squashfs";
    if (!root && !userPlace && !remote && !block) continue;
    if (!root && Under(mount, "/snap")) continue;
    struct stat st;
    if (!root && stat(mount.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) continue;  // a mounted file
    if (!seen.insert(mount).second) {
      // Mounted again on the same place: the last mount is the one seen.
      out.erase(std::remove_if(out.begin(), out.end(), [&](const Volume& v) { return v.mountPoint == mount; }),
                out.end());
    }
    Volume v;
    v.mountPoint = mount;
    v.device = device;
    v.fsType = type;
    auto l = labels.find(RealPath(device));
    if (l != labels.end()) v.label = l->second;
    if (remote)
      v.kind = DriveKind::Remote;
    else if (type == "iso9660" || type == "udf")
      v.kind = DriveKind::CdRom;
    else if (type == "tmpfs" || type == "ramfs")
      v.kind = DriveKind::RamDisk;
    else if (Under(mount, "/media") || Under(mount, "/run/media") || (block && IsRemovableDevice(device)))
      v.kind = DriveKind::Removable;
    else
      v.kind = DriveKind::Fixed;
    out.push_back(v);
  }
  if (std::none_of(out.begin(), out.end(), [](const Volume& v) { return v.mountPoint == "/"; }))
    out.push_back({"/", "", "", "", DriveKind::Fixed});
  std::sort(out.begin(), out.end(), [](const Volume& a, const Volume& b) {
    if ((a.mountPoint == "/") != (b.mountPoint == "/")) return a.mountPoint == "/";
    return a.mountPoint < b.mountPoint;
  });
  return out;
}

Volume VolumeOf(const std::string& path, const std::vector<Volume>& volumes) {
  const Volume* best = nullptr;
  for (const Volume& v : volumes) {
    bool match = v.mountPoint == "/" || path == v.mountPoint || Under(path, v.mountPoint);
    if (match && (!best || v.mountPoint.size() > best->mountPoint.size())) best = &v;
  }
  if (best) return *best;
  return {"/", "", "", "", DriveKind::Fixed};
}

CaseRules CaseRulesOf(const std::string& path) {
  struct statfs s;
  CaseRules r;
  if (statfs(path.c_str(), &s) != 0) return r;
  switch (static_cast<unsigned long>(s.f_type)) {
    case 0x4d44:      // FAT
    case 0x2011BAB0:  // exFAT
    case 0x9660:      // ISO 9660
    case 0xFF534D42:  // CIFS
      r.caseSensitive = false;
      r.casePreserving = s.f_type != 0x9660;
      break;
    case 0x5346544e:  // NTFS
    case 0x7366746e:  // NTFS (ntfs3)
      r.caseSensitive = false;
      break;
  }
  return r;
}

}  // namespace shell
