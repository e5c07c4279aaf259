#include "platform/shell/namespace.h"

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "platform/shell/launcher.h"
#include "platform/shell/knownfolders.h"
#include "platform/shell/volumes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace shell {

namespace {
constexpr const char* kComputer = "Computer";
constexpr const char* kHome = "Home";
constexpr const char* kComputerClsid = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr const char* kDesktopClsid = "::{00021400-0000-0000-C000-000000000046}";
constexpr int kSubfolderScan = 1000;  // entries looked at before "has subfolders" is assumed

std::function<std::vector<Volume>()>& VolumeSource() {
  static auto* f = new std::function<std::vector<Volume>()>;
  return *f;
}
std::vector<Volume> Volumes() { return VolumeSource() ? VolumeSource()() : ListVolumes(); }

HRESULT FromErrno(int e) {
  switch (e) {
    case ENOENT:
      return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case ENOTDIR:
      return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
      return E_ACCESSDENIED;
    case EEXIST:
    case ENOTEMPTY:
      return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
  }
  return E_FAIL;
}

std::string Join(const std::string& dir, const std::string& name) { return dir == "/" ? "/" + name : dir + "/" + name; }

bool IsDir(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasSubfolder(const std::string& path) {
  DIR* d = opendir(path.c_str());
  if (!d) return false;
  bool found = false;
  for (int k = 0; !found; k++) {
    dirent* e = readdir(d);
    if (!e) break;
    if (k >= kSubfolderScan) {
      found = true;  // too many to look at: assume there is one
      break;
    }
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    if (e->d_type == DT_DIR || ((e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) && IsDir(Join(path, n)))) found = true;
  }
  closedir(d);
  return found;
}

// What one item of a folder is.
struct Item {
  ItemKind kind = ikFile;
  std::string name;
  std::string path;  // "" for the virtual items
};

class Folder;
using FolderPtr = std::shared_ptr<Folder>;

class ListEnum : public IEnumIDListLx {
 public:
  explicit ListEnum(std::vector<Item> items) : items_(std::move(items)) {}
  HRESULT Next(PIDLIST* item) override {
    if (!item) return E_INVALIDARG;
    if (next_ >= items_.size()) {
      *item = nullptr;
      return S_FALSE;
    }
    const Item& it = items_[next_++];
    *item = MakeItem(it.kind, it.name);
    return S_OK;
  }

 private:
  std::vector<Item> items_;
  size_t next_ = 0;
};

class ContextMenu : public IContextMenuLx {
 public:
  ContextMenu(std::string path, bool canRename) : path_(std::move(path)), canRename_(canRename) {}
  std::vector<ContextCommand> Commands() override {
    std::vector<ContextCommand> c{{1, "open", "Open"}};
    if (canRename_) c.push_back({2, "rename", "Rename"});
    return c;
  }
  HRESULT InvokeCommand(win::HWND owner, const std::string& verb) override {
    if (rtl::SameText(verb, "open")) {
      if (path_.empty()) return S_FALSE;
      return ShellExecute(owner, "open", path_, "", rtl::ExtractFileDir(path_), SW_SHOWNORMAL) > 32 ? S_OK : E_FAIL;
    }
    if (rtl::SameText(verb, "rename")) return S_FALSE;  // the view renames in place itself
    if (rtl::SameText(verb, "properties")) return S_OK;
    return E_INVALIDARG;
  }

 private:
  std::string path_;
  bool canRename_;
};

int Rank(ItemKind kind, const std::string& name) {
  switch (kind) {
    case ikVirtual:
      return name == kComputer ? 0 : name == kHome ? 1 : 2;
    case ikVolume:
      return name == "/" ? 3 : 4;
    case ikDirectory:
      return 5;
    default:
      return 6;
  }
}

class Folder : public IShellFolderLx, public std::enable_shared_from_this<Folder> {
 public:
  // Every item the folder holds (hidden ones included); fails when unreadable.
  virtual HRESULT Children(std::vector<Item>* out) = 0;
  // The item of a name as stored in a list.
  virtual bool Lookup(ItemKind kind, const std::string& name, Item* out) = 0;
  virtual FolderPtr Child(const Item& item) = 0;
  virtual std::string NameOf(const Item& item, uint32_t flags) = 0;
  // The folder's own names (an empty list given to GetDisplayNameOf).
  virtual std::string OwnName(uint32_t flags) = 0;

  HRESULT EnumObjects(uint32_t flags, std::unique_ptr<IEnumIDListLx>* out) override {
    if (!out) return E_INVALIDARG;
    std::vector<Item> all, keep;
    HRESULT hr = Children(&all);
    if (FAILED(hr)) return hr;
    for (Item& it : all) {
      bool folder = it.kind != ikFile;
      if (folder && !(flags & SHCONTF_FOLDERS)) continue;
      if (!folder && !(flags & SHCONTF_NONFOLDERS)) continue;
      if (!(flags & SHCONTF_INCLUDEHIDDEN) && it.kind >= ikDirectory && !it.name.empty() && it.name[0] == '.') continue;
      keep.push_back(std::move(it));
    }
    *out = std::make_unique<ListEnum>(std::move(keep));
    return S_OK;
  }

  // The folder holding the last item of `pidl` and that item.
  HRESULT Resolve(PCIDLIST pidl, FolderPtr* parent, Item* item) {
    if (ILIsEmpty(pidl)) return E_INVALIDARG;
    FolderPtr f = std::static_pointer_cast<Folder>(shared_from_this());
    for (PCIDLIST p = pidl;; p = ILNext(p)) {
      Item it;
      if (!f->Lookup(ItemKindOf(p), ItemNameOf(p), &it)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
      if (ILIsEmpty(ILNext(p))) {
        *parent = f;
        *item = it;
        return S_OK;
      }
      f = f->Child(it);
      if (!f) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
  }

  HRESULT BindToObject(PCIDLIST pidl, std::shared_ptr<IShellFolderLx>* out) override {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    FolderPtr parent;
    Item it;
    HRESULT hr = Resolve(pidl, &parent, &it);
    if (FAILED(hr)) return hr;
    FolderPtr child = parent->Child(it);
    if (!child) return E_FAIL;  // not a folder
    *out = child;
    return S_OK;
  }

  HRESULT CompareIDs(intptr_t, PCIDLIST a, PCIDLIST b) override {
    int r = 0;
    for (;;) {
      bool ea = ILIsEmpty(a), eb = ILIsEmpty(b);
      if (ea || eb) {
        r = ea == eb ? 0 : ea ? -1 : 1;
        break;
      }
      ItemKind ka = ItemKindOf(a), kb = ItemKindOf(b);
      std::string na = ItemNameOf(a), nb = ItemNameOf(b);
      int ra = Rank(ka, na), rb = Rank(kb, nb);
      r = ra < rb ? -1 : ra > rb ? 1 : 0;
      if (!r) r = rtl::AnsiCompareText(na, nb);
      if (!r) r = na.compare(nb);
      if (r) break;
      a = ILNext(a);
      b = ILNext(b);
    }
    return HRESULT(uint16_t(int16_t(r < 0 ? -1 : r > 0 ? 1 : 0)));
  }

  HRESULT GetAttributesOf(uint32_t count, PCIDLIST* items, uint32_t* inOut) override {
    if (!inOut || (count && !items)) return E_INVALIDARG;
    uint32_t all = 0xFFFFFFFF;
    for (uint32_t i = 0; i < count; i++) {
      FolderPtr parent;
      Item it;
      HRESULT hr = Resolve(items[i], &parent, &it);
      if (FAILED(hr)) return hr;
      all &= parent->Attributes(it);
    }
    *inOut = count ? all : 0;
    return S_OK;
  }

  HRESULT GetDisplayNameOf(PCIDLIST pidl, uint32_t flags, STRRET* out) override {
    if (!out) return E_INVALIDARG;
    out->uType = STRRET_WSTR;
    if (ILIsEmpty(pidl)) {
      out->pOleStr = OwnName(flags);
      return S_OK;
    }
    FolderPtr parent;
    Item it;
    HRESULT hr = Resolve(pidl, &parent, &it);
    if (FAILED(hr)) return hr;
    // A name for parsing relative to this folder is the path below it.
    if ((flags & SHGDN_FORPARSING) && (flags & SHGDN_INFOLDER) && ILCount(pidl) > 1 && !Path().empty() &&
        !it.path.empty()) {
      out->pOleStr = std::filesystem::path(it.path).lexically_relative(Path()).string();
      return S_OK;
    }
    out->pOleStr = parent->NameOf(it, flags);
    return S_OK;
  }

  HRESULT SetNameOf(win::HWND, PCIDLIST pidl, const std::string& name, uint32_t, PIDLIST* out) override {
    if (out) *out = nullptr;
    FolderPtr parent;
    Item it;
    HRESULT hr = Resolve(pidl, &parent, &it);
    if (FAILED(hr)) return hr;
    if (it.path.empty() || (it.kind != ikDirectory && it.kind != ikFile)) return E_FAIL;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
      return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    std::string dir = rtl::ExtractFileDir(it.path);
    if (dir.empty()) dir = "/";
    std::string target = Join(dir, name);
    if (target != it.path) {
      // Never over another item: a rename must not lose anything.
      if (renameat2(AT_FDCWD, it.path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        int e = errno;
        if (e != EINVAL && e != ENOSYS) return FromErrno(e);
        struct stat so, st;
        bool sameFile = lstat(it.path.c_str(), &so) == 0 && lstat(target.c_str(), &st) == 0 && so.st_ino == st.st_ino &&
                        so.st_dev == st.st_dev;
        if (!sameFile && lstat(target.c_str(), &st) == 0) return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
        if (rename(it.path.c_str(), target.c_str()) != 0) return FromErrno(errno);
      }
    }
    if (out) *out = MakeItem(it.kind, name);
    return S_OK;
  }

  HRESULT GetContextMenu(PCIDLIST pidl, std::unique_ptr<IContextMenuLx>* out) override {
    if (!out) return E_INVALIDARG;
    FolderPtr parent;
    Item it;
    HRESULT hr = Resolve(pidl, &parent, &it);
    if (FAILED(hr)) return hr;
    *out = std::make_unique<ContextMenu>(it.path, parent->Attributes(it) & SFGAO_CANRENAME);
    return S_OK;
  }

  uint32_t Attributes(const Item& it) {
    uint32_t a = 0;
    if (it.kind == ikVirtual) {
      a = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
      if (!it.path.empty()) a |= SFGAO_FILESYSTEM;
      return a;
    }
    const std::string& p = it.path;
    struct stat st, lst;
    bool exists = stat(p.c_str(), &st) == 0;
    bool dir = exists && S_ISDIR(st.st_mode);
    a |= SFGAO_FILESYSTEM;
    if (dir) a |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
    if (dir && HasSubfolder(p)) a |= SFGAO_HASSUBFOLDER;
    if (lstat(p.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) a |= SFGAO_LINK;
    if (access(p.c_str(), R_OK) == 0) a |= SFGAO_CANCOPY;
    if (access(p.c_str(), W_OK) != 0) a |= SFGAO_READONLY;
    if (dir && access(p.c_str(), W_OK) == 0) a |= SFGAO_DROPTARGET;
    if (it.kind == ikVolume) {
      for (const Volume& v : Volumes())
        if (v.mountPoint == it.name && (v.kind == DriveKind::Removable || v.kind == DriveKind::CdRom))
          a |= SFGAO_REMOVABLE;
      return a;
    }
    if (!it.name.empty() && it.name[0] == '.') a |= SFGAO_GHOSTED | SFGAO_HIDDEN;
    std::string dirOf = rtl::ExtractFileDir(p);
    if (dirOf.empty()) dirOf = "/";
    if (access(dirOf.c_str(), W_OK) == 0) a |= SFGAO_CANRENAME | SFGAO_CANMOVE | SFGAO_CANDELETE;
    return a;
  }
};

// A directory of the file system.
class FsFolder : public Folder {
 public:
  explicit FsFolder(std::string path) : path_(std::move(path)) {}
  std::string Path() const override { return path_; }

  HRESULT Children(std::vector<Item>* out) override {
    DIR* d = opendir(path_.c_str());
    if (!d) return FromErrno(errno);
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n == "." || n == "..") continue;
      std::string p = Join(path_, n);
      out->push_back({IsDir(p) ? ikDirectory : ikFile, n, p});
    }
    closedir(d);
    return S_OK;
  }

  bool Lookup(ItemKind kind, const std::string& name, Item* out) override {
    if ((kind != ikDirectory && kind != ikFile) || name.empty() || name.find('/') != std::string::npos) return false;
    std::string p = Join(path_, name);
    struct stat st;
    if (lstat(p.c_str(), &st) != 0) return false;
    *out = {IsDir(p) ? ikDirectory : ikFile, name, p};
    return true;
  }

  FolderPtr Child(const Item& item) override {
    return item.kind == ikDirectory && IsDir(item.path) ? std::make_shared<FsFolder>(item.path) : nullptr;
  }

  std::string NameOf(const Item& item, uint32_t flags) override {
    if ((flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER)) return item.path;
    return item.name;
  }

  std::string OwnName(uint32_t flags) override {
    if (flags & SHGDN_FORPARSING) return path_;
    std::string n = rtl::ExtractFileName(path_);
    return n.empty() ? path_ : n;
  }

  HRESULT ParseDisplayName(const std::string& name, PIDLIST* out, uint32_t* attributes) override {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (name.empty() || name[0] == '/') return E_INVALIDARG;
    UniqueIdList list(ILClone(nullptr));
    std::string p = path_;
    for (const std::string& part : rtl::SplitString(name, '/')) {
      if (part.empty() || part == ".") continue;
      p = Join(p, part);
      struct stat st;
      if (lstat(p.c_str(), &st) != 0) return FromErrno(errno);
      UniqueIdList item(MakeItem(IsDir(p) ? ikDirectory : ikFile, part));
      list.reset(ILCombine(list.get(), item.get()));
    }
    if (ILIsEmpty(list.get())) return E_INVALIDARG;
    if (attributes) {
      PCIDLIST items[1] = {list.get()};
      GetAttributesOf(1, items, attributes);
    }
    *out = list.release();
    return S_OK;
  }

 private:
  std::string path_;
};

// Absolute path -> [volume][components...] (relative to Computer).
HRESULT PathToComputerList(const std::string& name, PIDLIST* out) {
  std::string path = std::filesystem::path(name).lexically_normal().string();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return FromErrno(errno);
  Volume v = VolumeOf(path, Volumes());
  UniqueIdList list(MakeItem(ikVolume, v.mountPoint));
  std::string rest = path.size() > v.mountPoint.size() ? path.substr(v.mountPoint.size()) : "";
  std::string p = v.mountPoint;
  for (const std::string& part : rtl::SplitString(rest, '/')) {
    if (part.empty()) continue;
    p = Join(p, part);
    UniqueIdList item(MakeItem(IsDir(p) ? ikDirectory : ikFile, part));
    list.reset(ILCombine(list.get(), item.get()));
  }
  *out = list.release();
  return S_OK;
}

// The volumes.
class ComputerFolder : public Folder {
 public:
  std::string Path() const override { return ""; }

  HRESULT Children(std::vector<Item>* out) override {
    for (const Volume& v : Volumes()) out->push_back({ikVolume, v.mountPoint, v.mountPoint});
    return S_OK;
  }

  bool Lookup(ItemKind kind, const std::string& name, Item* out) override {
    if (kind != ikVolume || name.empty() || name[0] != '/' || !IsDir(name)) return false;
    *out = {ikVolume, name, name};
    return true;
  }

  FolderPtr Child(const Item& item) override { return std::make_shared<FsFolder>(item.path); }

  std::string NameOf(const Item& item, uint32_t flags) override {
    if (flags & SHGDN_FORPARSING) return item.path;
    for (const Volume& v : Volumes())
      if (v.mountPoint == item.name && !v.label.empty()) return v.label;
    if (item.name == "/") return "File System";
    return rtl::ExtractFileName(item.name);
  }

  std::string OwnName(uint32_t flags) override { return (flags & SHGDN_FORPARSING) ? kComputerClsid : kComputer; }

  HRESULT ParseDisplayName(const std::string& name, PIDLIST* out, uint32_t* attributes) override {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (name.empty() || name[0] != '/') return E_INVALIDARG;
    HRESULT hr = PathToComputerList(name, out);
    if (SUCCEEDED(hr) && attributes) {
      PCIDLIST items[1] = {*out};
      GetAttributesOf(1, items, attributes);
    }
    return hr;
  }
};

// The root: Computer, Home and the desktop folder's entries.
class DesktopFolderImpl : public Folder {
 public:
  std::string Path() const override { return ""; }

  static std::string DesktopDir() {
    std::string d = XdgUserDir("DESKTOP");
    if (d.empty() && IsDir(HomeDir() + "/Desktop")) d = HomeDir() + "/Desktop";
    return d == HomeDir() ? "" : d;
  }

  HRESULT Children(std::vector<Item>* out) override {
    out->push_back({ikVirtual, kComputer, ""});
    out->push_back({ikVirtual, kHome, HomeDir()});
    std::string d = DesktopDir();
    if (!d.empty()) {
      std::vector<Item> entries;
      if (SUCCEEDED(FsFolder(d).Children(&entries)))
        for (Item& e : entries) out->push_back(std::move(e));
    }
    return S_OK;
  }

  bool Lookup(ItemKind kind, const std::string& name, Item* out) override {
    if (kind == ikVirtual) {
      if (name == kComputer)
        *out = {ikVirtual, kComputer, ""};
      else if (name == kHome)
        *out = {ikVirtual, kHome, HomeDir()};
      else
        return false;
      return true;
    }
    std::string d = DesktopDir();
    return !d.empty() && FsFolder(d).Lookup(kind, name, out);
  }

  FolderPtr Child(const Item& item) override {
    if (item.kind == ikVirtual) {
      if (item.name == kComputer) return std::make_shared<ComputerFolder>();
      return std::make_shared<FsFolder>(item.path);
    }
    return item.kind == ikDirectory && IsDir(item.path) ? std::make_shared<FsFolder>(item.path) : nullptr;
  }

  std::string NameOf(const Item& item, uint32_t flags) override {
    if (item.kind == ikVirtual) {
      if (item.name == kComputer) return (flags & SHGDN_FORPARSING) ? kComputerClsid : kComputer;
      return (flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER) ? item.path : kHome;
    }
    if ((flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER)) return item.path;
    return item.name;
  }

  std::string OwnName(uint32_t flags) override { return (flags & SHGDN_FORPARSING) ? kDesktopClsid : "Desktop"; }

  HRESULT ParseDisplayName(const std::string& name, PIDLIST* out, uint32_t* attributes) override {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    HRESULT hr;
    if (name == kComputerClsid) {
      *out = MakeItem(ikVirtual, kComputer);
      hr = S_OK;
    } else if (!name.empty() && name[0] == '/') {
      PIDLIST rest = nullptr;
      hr = PathToComputerList(name, &rest);
      if (SUCCEEDED(hr)) {
        UniqueIdList computer(MakeItem(ikVirtual, kComputer)), tail(rest);
        *out = ILCombine(computer.get(), tail.get());
      }
    } else {
      std::string d = DesktopDir();
      if (name.empty() || d.empty()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
      FsFolder desk(d);
      hr = desk.ParseDisplayName(name, out, nullptr);
    }
    if (SUCCEEDED(hr) && attributes) {
      PCIDLIST items[1] = {*out};
      GetAttributesOf(1, items, attributes);
    }
    return hr;
  }
};

std::shared_ptr<DesktopFolderImpl> Desktop() { return std::make_shared<DesktopFolderImpl>(); }

int ExtensionIcon(const std::string& name) {
  static const char* video[] = {".avi", ".mp4", ".mkv",  ".mov", ".wmv", ".flv",  ".mpg", ".mpeg", ".m4v",
                                ".3gp", ".3g2", ".webm", ".vob", ".ts",  ".m2ts", ".rm",  ".rmvb", ".asf"};
  static const char* audio[] = {".mp3", ".wav", ".wma", ".aac", ".flac", ".ogg", ".oga",
                                ".m4a", ".ac3", ".amr", ".ape", ".mp2",  ".opus"};
  static const char* picture[] = {".bmp", ".jpg", ".jpeg", ".png", ".gif", ".ico", ".tif", ".tiff", ".webp"};
  std::string ext = rtl::ExtractFileExt(name);
  for (const char* e : video)
    if (rtl::SameText(ext, e)) return siVideo;
  for (const char* e : audio)
    if (rtl::SameText(ext, e)) return siAudio;
  for (const char* e : picture)
    if (rtl::SameText(ext, e)) return siPicture;
  return siFile;
}
}  // namespace

// ============================================================================ identifier lists

void* SHAlloc(size_t size) { return std::malloc(size ? size : 1); }
void SHFree(void* p) { std::free(p); }

PIDLIST MakeItem(ItemKind kind, const std::string& name) {
  size_t cb = 2 + 1 + name.size();
  if (cb > 0xFFFF) return nullptr;
  auto* p = static_cast<uint8_t*>(SHAlloc(cb + 2));
  p[0] = uint8_t(cb & 0xFF);
  p[1] = uint8_t(cb >> 8);
  p[2] = kind;
  std::memcpy(p + 3, name.data(), name.size());
  p[cb] = p[cb + 1] = 0;
  return reinterpret_cast<PIDLIST>(p);
}

static uint16_t Cb(PCIDLIST p) {
  auto* b = reinterpret_cast<const uint8_t*>(p);
  return uint16_t(b[0] | (b[1] << 8));
}

bool ILIsEmpty(PCIDLIST pidl) { return !pidl || Cb(pidl) == 0; }

PCIDLIST ILNext(PCIDLIST pidl) {
  if (ILIsEmpty(pidl)) return pidl;
  return reinterpret_cast<PCIDLIST>(reinterpret_cast<const uint8_t*>(pidl) + Cb(pidl));
}

uint32_t ILGetSize(PCIDLIST pidl) {
  if (!pidl) return 0;
  uint32_t n = 2;
  for (PCIDLIST p = pidl; !ILIsEmpty(p); p = ILNext(p)) n += Cb(p);
  return n;
}

int ILCount(PCIDLIST pidl) {
  int n = 0;
  for (PCIDLIST p = pidl; !ILIsEmpty(p); p = ILNext(p)) n++;
  return n;
}

PIDLIST ILClone(PCIDLIST pidl) {
  uint32_t n = pidl ? ILGetSize(pidl) : 2;
  auto* p = static_cast<uint8_t*>(SHAlloc(n));
  if (pidl)
    std::memcpy(p, pidl, n);
  else
    p[0] = p[1] = 0;
  return reinterpret_cast<PIDLIST>(p);
}

PIDLIST ILCombine(PCIDLIST a, PCIDLIST b) {
  uint32_t na = a ? ILGetSize(a) - 2 : 0, nb = b ? ILGetSize(b) : 2;
  auto* p = static_cast<uint8_t*>(SHAlloc(na + nb));
  if (na) std::memcpy(p, a, na);
  if (b)
    std::memcpy(p + na, b, nb);
  else
    p[na] = p[na + 1] = 0;
  return reinterpret_cast<PIDLIST>(p);
}

PIDLIST ILCloneFirst(PCIDLIST pidl) {
  if (ILIsEmpty(pidl)) return ILClone(nullptr);
  uint16_t cb = Cb(pidl);
  auto* p = static_cast<uint8_t*>(SHAlloc(size_t(cb) + 2));
  std::memcpy(p, pidl, cb);
  p[cb] = p[cb + 1] = 0;
  return reinterpret_cast<PIDLIST>(p);
}

PCIDLIST ILFindLastID(PCIDLIST pidl) {
  if (ILIsEmpty(pidl)) return pidl;
  PCIDLIST last = pidl;
  for (PCIDLIST p = pidl; !ILIsEmpty(p); p = ILNext(p)) last = p;
  return last;
}

ItemKind ItemKindOf(PCIDLIST pidl) {
  if (ILIsEmpty(pidl) || Cb(pidl) < 3) return ItemKind(0);
  return ItemKind(pidl->mkid.abID[0]);
}

std::string ItemNameOf(PCIDLIST pidl) {
  if (ILIsEmpty(pidl) || Cb(pidl) < 3) return "";
  auto* b = reinterpret_cast<const char*>(pidl);
  return std::string(b + 3, size_t(Cb(pidl)) - 3);
}

// ============================================================================ entry points

HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolderLx>* out) {
  if (!out) return E_INVALIDARG;
  *out = Desktop();
  return S_OK;
}

HRESULT SHGetSpecialFolderLocation(int csidl, PIDLIST* out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (csidl == CSIDL_DESKTOP) {
    *out = ILClone(nullptr);
    return S_OK;
  }
  if (csidl == CSIDL_DRIVES) {
    *out = MakeItem(ikVirtual, kComputer);
    return S_OK;
  }
  std::string path = SpecialFolderPath(csidl);
  if (path.empty()) return E_FAIL;
  return Desktop()->ParseDisplayName(path, out, nullptr);
}

bool SHGetPathFromIDList(PCIDLIST pidl, std::string* path) {
  if (!pidl || !path) return false;
  path->clear();
  if (ILIsEmpty(pidl)) return false;
  std::shared_ptr<Folder> parent;
  Item it;
  if (FAILED(Desktop()->Resolve(pidl, &parent, &it)) || it.path.empty()) return false;
  *path = it.path;
  return true;
}

int SystemIconIndex(PCIDLIST pidl, bool, bool open) {
  if (ILIsEmpty(pidl)) return siDesktop;
  std::shared_ptr<Folder> parent;
  Item it;
  if (FAILED(Desktop()->Resolve(pidl, &parent, &it))) return siFile;
  switch (it.kind) {
    case ikVirtual:
      return it.name == kComputer ? siComputer : siHome;
    case ikVolume:
      for (const Volume& v : Volumes())
        if (v.mountPoint == it.name && (v.kind == DriveKind::Removable || v.kind == DriveKind::CdRom))
          return siRemovable;
      return siDrive;
    case ikDirectory:
      return open ? siFolderOpen : siFolder;
    default:
      return ExtensionIcon(it.name);
  }
}

void SetVolumeProvider(std::function<std::vector<Volume>()> provider) { VolumeSource() = std::move(provider); }

}  // namespace shell
