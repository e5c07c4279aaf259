// The namespace over a temporary tree: the identifier list bytes, hidden
// dot-files, folder-first order, attributes, an unreadable file and folder,
// paths through the longest mount point, the Desktop and special folders,
// renaming that never overwrites, icons and the small context menu.
#include "platform/shell/namespace.h"
#include "platform/shell/knownfolders.h"
#include "platform/shell/volumes.h"
#include "platform/testkit/shell_fakes.h"
#include "platform/gfx/imagelist.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

using namespace shell;

namespace {

// Only "/" and, optionally, one more mount point.
struct Volumes {
  explicit Volumes(std::string extra = "", DriveKind kind = DriveKind::Fixed) {
    SetVolumeProvider([extra, kind] {
      std::vector<Volume> v{{"/", "/dev/sda1", "ext4", "", DriveKind::Fixed}};
      if (!extra.empty()) v.push_back({extra, "/dev/sdb1", "vfat", "STICK", kind});
      return v;
    });
  }
  ~Volumes() { SetVolumeProvider(nullptr); }
};

std::shared_ptr<IShellFolderLx> Desktop() {
  std::shared_ptr<IShellFolderLx> d;
  EXPECT_EQ(SHGetDesktopFolder(&d), S_OK);
  return d;
}

UniqueIdList Parse(const std::string& path, HRESULT* hr = nullptr) {
  PIDLIST p = nullptr;
  HRESULT r = Desktop()->ParseDisplayName(path, &p, nullptr);
  if (hr) *hr = r;
  return UniqueIdList(p);
}

std::shared_ptr<IShellFolderLx> Bind(const std::string& path) {
  std::shared_ptr<IShellFolderLx> f;
  UniqueIdList id = Parse(path);
  EXPECT_EQ(Desktop()->BindToObject(id.get(), &f), S_OK) << path;
  return f;
}

std::string Name(IShellFolderLx* f, PCIDLIST item, uint32_t flags = SHGDN_INFOLDER) {
  STRRET s;
  EXPECT_EQ(f->GetDisplayNameOf(item, flags, &s), S_OK);
  return s.pOleStr;
}

uint32_t Attributes(IShellFolderLx* f, PCIDLIST item) {
  uint32_t a = 0;
  PCIDLIST items[1] = {item};
  EXPECT_EQ(f->GetAttributesOf(1, items, &a), S_OK);
  return a;
}

// The items of a folder in the namespace's order.
std::vector<std::string> Listing(IShellFolderLx* f, uint32_t flags) {
  std::unique_ptr<IEnumIDListLx> e;
  EXPECT_EQ(f->EnumObjects(flags, &e), S_OK);
  std::vector<UniqueIdList> items;
  for (PIDLIST p; e && e->Next(&p) == S_OK;) items.emplace_back(p);
  std::sort(items.begin(), items.end(), [&](const UniqueIdList& a, const UniqueIdList& b) {
    return HRESULT_CODE(f->CompareIDs(0, a.get(), b.get())) < 0;
  });
  std::vector<std::string> names;
  for (auto& i : items) names.push_back(Name(f, i.get()));
  return names;
}

TEST(Namespace, IdentifierListBytes) {
  UniqueIdList item(MakeItem(ikFile, "ab"));
  const uint8_t want[] = {5, 0, 0x32, 'a', 'b', 0, 0};
  EXPECT_EQ(std::memcmp(item.get(), want, sizeof want), 0);
  EXPECT_EQ(ILGetSize(item.get()), 7u);
  EXPECT_EQ(ILGetSize(nullptr), 0u);
  UniqueIdList empty(ILClone(nullptr));
  EXPECT_EQ(ILGetSize(empty.get()), 2u);
  EXPECT_TRUE(ILIsEmpty(empty.get()));
  UniqueIdList copy(ILCombine(nullptr, item.get()));
  EXPECT_EQ(std::memcmp(copy.get(), want, sizeof want), 0);
  UniqueIdList two(ILCombine(item.get(), copy.get()));
  EXPECT_EQ(ILCount(two.get()), 2);
  EXPECT_EQ(ILGetSize(two.get()), 12u);
  UniqueIdList first(ILCloneFirst(two.get()));
  EXPECT_EQ(ILGetSize(first.get()), 7u);
  EXPECT_EQ(ItemNameOf(ILFindLastID(two.get())), "ab");
  EXPECT_EQ(ItemKindOf(ILNext(two.get())), ikFile);
}

TEST(Namespace, HiddenDotFilesAndFolderFirstOrder) {
  TempTree t;
  Volumes v;
  for (const char* d : {"b_dir", "A_dir/sub", ".hidden_dir"}) t.Dir(d);
  for (const char* f : {"c.txt", "B.avi", ".dotfile", "a.mp3"}) t.Write(f);
  auto f = Bind(t.path());
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Path(), t.path());
  EXPECT_EQ(Listing(f.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
            (std::vector<std::string>{"A_dir", "b_dir", "a.mp3", "B.avi", "c.txt"}));
  EXPECT_EQ(Listing(f.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN),
            (std::vector<std::string>{".hidden_dir", "A_dir", "b_dir", ".dotfile", "a.mp3", "B.avi", "c.txt"}));
  EXPECT_EQ(Listing(f.get(), SHCONTF_FOLDERS), (std::vector<std::string>{"A_dir", "b_dir"}));
  struct Case {
    const char* name;
    uint32_t set, clear;
  } cases[] = {
      {"A_dir", SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER | SFGAO_CANRENAME, 0},
      {"b_dir", SFGAO_FOLDER | SFGAO_DROPTARGET, SFGAO_HASSUBFOLDER | SFGAO_GHOSTED},
      {".dotfile", SFGAO_GHOSTED | SFGAO_HIDDEN | SFGAO_FILESYSTEM, SFGAO_FOLDER},
      {"c.txt", SFGAO_FILESYSTEM | SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANCOPY, SFGAO_FOLDER | SFGAO_LINK},
  };
  for (auto& c : cases) {
    PIDLIST p = nullptr;
    ASSERT_EQ(f->ParseDisplayName(c.name, &p, nullptr), S_OK) << c.name;
    UniqueIdList item(p);
    uint32_t a = Attributes(f.get(), item.get());
    EXPECT_EQ(a & c.set, c.set) << c.name;
    EXPECT_EQ(a & c.clear, 0u) << c.name;
  }
  // A symbolic link is a link, and a folder when it points at one.
  symlink((t / "A_dir").c_str(), (t / "link").c_str());
  PIDLIST p = nullptr;
  ASSERT_EQ(f->ParseDisplayName("link", &p, nullptr), S_OK);
  UniqueIdList link(p);
  EXPECT_EQ(Attributes(f.get(), link.get()) & (SFGAO_LINK | SFGAO_FOLDER), SFGAO_LINK | SFGAO_FOLDER);
}

TEST(Namespace, AFileAndAFolderTheUserCannotRead) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
  TempTree t;
  Volumes v;
  t.Write("secret");
  t.Dir("locked/inner");
  chmod((t / "secret").c_str(), 0);
  chmod((t / "locked").c_str(), 0);
  auto f = Bind(t.path());
  EXPECT_EQ(Listing(f.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS), (std::vector<std::string>{"locked", "secret"}));
  PIDLIST p = nullptr;
  ASSERT_EQ(f->ParseDisplayName("secret", &p, nullptr), S_OK);
  UniqueIdList secret(p);
  EXPECT_EQ(Attributes(f.get(), secret.get()) & SFGAO_CANCOPY, 0u);
  ASSERT_EQ(f->ParseDisplayName("locked", &p, nullptr), S_OK);
  UniqueIdList locked(p);
  EXPECT_EQ(Attributes(f.get(), locked.get()) & SFGAO_HASSUBFOLDER, 0u);
  std::shared_ptr<IShellFolderLx> inner;
  ASSERT_EQ(f->BindToObject(locked.get(), &inner), S_OK);
  std::unique_ptr<IEnumIDListLx> e;
  EXPECT_EQ(inner->EnumObjects(SHCONTF_FOLDERS, &e), E_ACCESSDENIED);
}

TEST(Namespace, PathsGoThroughTheLongestMountPoint) {
  TempTree t;
  t.Write("mnt/x/y.txt");
  Volumes v(t / "mnt");
  HRESULT hr;
  UniqueIdList id = Parse(t.path() + "/mnt/./x/../x/y.txt", &hr);
  ASSERT_EQ(hr, S_OK);
  ASSERT_EQ(ILCount(id.get()), 4);
  EXPECT_EQ(ItemKindOf(id.get()), ikVirtual);
  EXPECT_EQ(ItemNameOf(ILNext(id.get())), t / "mnt");
  EXPECT_EQ(ItemKindOf(ILNext(id.get())), ikVolume);
  EXPECT_EQ(ItemKindOf(ILNext(ILNext(id.get()))), ikDirectory);
  EXPECT_EQ(ItemKindOf(ILFindLastID(id.get())), ikFile);
  std::string path;
  EXPECT_TRUE(SHGetPathFromIDList(id.get(), &path));
  EXPECT_EQ(path, t / "mnt/x/y.txt");
  EXPECT_EQ(Name(Desktop().get(), id.get(), SHGDN_FORPARSING), t / "mnt/x/y.txt");
  EXPECT_EQ(Name(Desktop().get(), id.get(), SHGDN_INFOLDER), "y.txt");
  // One list per path: the same file through the root volume compares equal.
  UniqueIdList again = Parse(t / "mnt/x/y.txt");
  EXPECT_EQ(HRESULT_CODE(Desktop()->CompareIDs(0, id.get(), again.get())), 0);
  Parse(t / "missing", &hr);
  EXPECT_EQ(hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  // The Computer lists the volumes, the root first, by label or name.
  UniqueIdList computer(MakeItem(ikVirtual, "Computer"));
  std::shared_ptr<IShellFolderLx> c;
  ASSERT_EQ(Desktop()->BindToObject(computer.get(), &c), S_OK);
  EXPECT_EQ(Listing(c.get(), SHCONTF_FOLDERS), (std::vector<std::string>{"File System", "STICK"}));
}

TEST(Namespace, DesktopAndSpecialFolders) {
  TempTree t;
  Volumes v;
  t.Write(".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Desk\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
  t.Dir("Docs");
  t.Dir("Desk/Proj");
  t.Write("Desk/note.txt");
  auto d = Desktop();
  EXPECT_EQ(Listing(d.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
            (std::vector<std::string>{"Computer", "Home", "Proj", "note.txt"}));
  STRRET s;
  d->GetDisplayNameOf(nullptr, SHGDN_FORPARSING, &s);
  EXPECT_EQ(s.pOleStr.rfind("::{", 0), 0u);  // a virtual folder: its normal name stands in
  EXPECT_EQ(Name(d.get(), nullptr, SHGDN_NORMAL), "Desktop");
  UniqueIdList home(MakeItem(ikVirtual, "Home"));
  EXPECT_EQ(Name(d.get(), home.get(), SHGDN_FORPARSING), t.path());
  std::shared_ptr<IShellFolderLx> h;
  ASSERT_EQ(d->BindToObject(home.get(), &h), S_OK);
  EXPECT_EQ(h->Path(), t.path());
  struct Case {
    int csidl;
    std::string path;  // "" = virtual; "-" = unavailable
  } cases[] = {
      {CSIDL_DESKTOP, ""},
      {CSIDL_DRIVES, ""},
      {CSIDL_PERSONAL, t / "Docs"},
      {CSIDL_DESKTOPDIRECTORY, t / "Desk"},
      {CSIDL_APPDATA, t / ".config"},
      {CSIDL_TEMPLATES, "-"},
      {CSIDL_NETWORK, "-"},
      {CSIDL_BITBUCKET, "-"},
  };
  for (auto& c : cases) {
    PIDLIST p = nullptr;
    HRESULT hr = SHGetSpecialFolderLocation(c.csidl, &p);
    UniqueIdList id(p);
    EXPECT_EQ(SUCCEEDED(hr), c.path != "-") << c.csidl;
    EXPECT_EQ(SpecialFolderAvailable(c.csidl), c.path != "-") << c.csidl;
    if (FAILED(hr)) continue;
    std::string path;
    EXPECT_EQ(SHGetPathFromIDList(id.get(), &path), !c.path.empty()) << c.csidl;
    EXPECT_EQ(path, c.path) << c.csidl;
  }
}

TEST(Namespace, RenamingNeverOverwrites) {
  TempTree t;
  Volumes v;
  t.Write("old.txt", "old");
  t.Write("other.txt", "other");
  auto f = Bind(t.path());
  PIDLIST p = nullptr;
  ASSERT_EQ(f->ParseDisplayName("old.txt", &p, nullptr), S_OK);
  UniqueIdList old(p);
  PIDLIST renamed = nullptr;
  ASSERT_EQ(f->SetNameOf({}, old.get(), "new.txt", SHGDN_NORMAL, &renamed), S_OK);
  UniqueIdList now(renamed);
  EXPECT_EQ(ItemNameOf(now.get()), "new.txt");
  EXPECT_FALSE(std::filesystem::exists(t / "old.txt"));
  EXPECT_TRUE(std::filesystem::exists(t / "new.txt"));
  EXPECT_EQ(f->SetNameOf({}, now.get(), "other.txt", SHGDN_NORMAL, nullptr), HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(std::filesystem::exists(t / "new.txt"));
  EXPECT_EQ(std::filesystem::file_size(t / "other.txt"), 5u);
  for (const char* bad : {"", "a/b", ".."})
    EXPECT_EQ(f->SetNameOf({}, now.get(), bad, SHGDN_NORMAL, nullptr), HRESULT_FROM_WIN32(ERROR_INVALID_NAME)) << bad;
}

TEST(Namespace, IconsAndTheContextMenu) {
  TempTree t;
  Volumes v(t / "usb", DriveKind::Removable);
  t.Dir("usb");
  t.Dir("dir");
  for (const char* f : {"x.avi", "x.MP3", "x.PNG", "x.txt"}) t.Write(f);
  ASSERT_EQ(SystemImageList(false)->Count(), siCount);
  EXPECT_EQ(SystemImageList(false)->Width(), 16);
  EXPECT_EQ(SystemImageList(true)->Width(), 32);
  struct Case {
    std::string path;
    bool open;
    int icon;
  } cases[] = {
      {t / "x.avi", false, siVideo},   {t / "x.MP3", false, siAudio}, {t / "x.PNG", false, siPicture},
      {t / "x.txt", false, siFile},    {t / "dir", false, siFolder},  {t / "dir", true, siFolderOpen},
      {t / "usb", false, siRemovable}, {"/", false, siDrive},
  };
  for (auto& c : cases) {
    UniqueIdList id = Parse(c.path);
    EXPECT_EQ(SystemIconIndex(id.get(), false, c.open), c.icon) << c.path;
  }
  UniqueIdList computer(MakeItem(ikVirtual, "Computer")), home(MakeItem(ikVirtual, "Home")), desk(ILClone(nullptr));
  EXPECT_EQ(SystemIconIndex(computer.get(), false, false), siComputer);
  EXPECT_EQ(SystemIconIndex(home.get(), true, false), siHome);
  EXPECT_EQ(SystemIconIndex(desk.get(), false, false), siDesktop);
  // "open" goes to the desktop's opener; "rename" is the view's; "properties" does nothing.
  plat::test::RecordingLauncher launcher;
  SetLauncher(&launcher);
  auto f = Bind(t.path());
  PIDLIST p = nullptr;
  ASSERT_EQ(f->ParseDisplayName("x.txt", &p, nullptr), S_OK);
  UniqueIdList item(p);
  std::unique_ptr<IContextMenuLx> menu;
  ASSERT_EQ(f->GetContextMenu(item.get(), &menu), S_OK);
  std::vector<std::string> verbs;
  for (auto& c : menu->Commands()) verbs.push_back(c.verb);
  EXPECT_EQ(verbs, (std::vector<std::string>{"open", "rename"}));
  EXPECT_EQ(menu->InvokeCommand({}, "open"), S_OK);
  EXPECT_EQ(menu->InvokeCommand({}, "properties"), S_OK);
  EXPECT_EQ(menu->InvokeCommand({}, "rename"), S_FALSE);
  EXPECT_EQ(menu->InvokeCommand({}, "bogus"), E_INVALIDARG);
  SetLauncher(nullptr);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0], (std::vector<std::string>{"xdg-open", t / "x.txt"}));
}

}  // namespace
