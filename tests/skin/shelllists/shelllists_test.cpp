// The file-system choosers over temporary folders: the path helpers, the
// volume combo's rows from a mount table, the directory list's rows, indents,
// paths and navigation, the file list's masks and attributes, and the links
// between them (volume combo, directory list, file list, filter combo, edit).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/cl/forms.h"
#include "platform/ctl/edit.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinShellLists.h"

using namespace skin;
namespace fs = std::filesystem;

namespace {

// A fresh folder under the temporary directory, removed at the end.
struct TempTree {
  std::string root;
  TempTree() {
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t && *t ? t : "/tmp") + "/vc-shelllists-XXXXXX";
    char* made = ::mkdtemp(tmpl.data());
    EXPECT_NE(made, nullptr);
    root = fs::weakly_canonical(tmpl).string();
  }
  ~TempTree() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  std::string Dir(const std::string& rel) {
    fs::create_directories(root + "/" + rel);
    return root + "/" + rel;
  }
  std::string File(const std::string& rel) {
    std::ofstream(root + "/" + rel) << "x";
    return root + "/" + rel;
  }
};

class ShellListsTest : public ::testing::Test {
 public:
  void SetUp() override {
    form = new cl::TForm(nullptr);
    form->SetBorderStyle(cl::bsNone);
    form->SetBounds(0, 0, 500, 400);
    form->Show();
    h.Pump();
  }
  void TearDown() override {
    form->Free();
    h.Pump();
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
  template <class T>
  T* Make(int l, int t, int w, int hgt) {
    T* c = new T(form);
    c->SetBounds(l, t, w, hgt);
    c->SetParent(form);
    h.Pump();
    return c;
  }
  std::vector<std::string> Rows(TbsSkinListBox* l) {
    std::vector<std::string> r;
    for (int i = 0; i < l->Items().Count(); ++i) r.push_back(l->Items().Get(i));
    return r;
  }

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  TempTree tree;
};

using Strings = std::vector<std::string>;

TEST(PathHelpers, JoinDropShortenCountAndMasks) {
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/", "b"), "/b");

  std::string p = "/one/two/three/";
  Strings seen;
  for (int i = 0; i < 5; ++i) {
    DropFirstDirectory(p);
    seen.push_back(p);
  }
  EXPECT_EQ(seen, (Strings{"/.../two/three/", "/.../three/", "/.../", "/", ""}));

  auto chars = [](const std::string& s) { return int(s.size()); };
  const std::string long_ = "/zero/one/two/name.txt";  // 22 characters
  EXPECT_EQ(ShortenPathToWidth(long_, chars, 22), long_);
  EXPECT_EQ(ShortenPathToWidth(long_, chars, 21), "/.../one/two/name.txt");
  EXPECT_EQ(ShortenPathToWidth(long_, chars, 18), "/.../two/name.txt");
  EXPECT_EQ(ShortenPathToWidth(long_, chars, 13), "/.../name.txt");
  EXPECT_EQ(ShortenPathToWidth(long_, chars, 12), ".../name.txt");
  EXPECT_EQ(ShortenPathToWidth(long_, chars, 3), "name.txt");  // too narrow for anything: the name

  EXPECT_EQ(BackslashCount("/a/b/c"), 3);
  EXPECT_EQ(BackslashCount("/"), 1);

  struct Mask {
    const char* pattern;
    const char* name;
    bool match;
  } masks[] = {
      {"*.*", "README", true},  {"*.*", ".", true},       {"*.*", "a.b.c", true},
      {"*.TXT", "b.txt", true}, {"*.txt", "B.TXT", true}, {"*.txt", "b.txt.bak", false},
      {"a?c", "ABC", true},     {"a?c", "ac", false},     {"*", ".hidden", true},
  };
  for (const Mask& m : masks) EXPECT_EQ(MaskMatches(m.pattern, m.name), m.match) << m.pattern << " " << m.name;
}

TEST(PathHelpers, IsDirectoryAndSplitEditPath) {
  TempTree t;
  const std::string films = t.Dir("Films");
  t.Dir("Films/Old");
  const std::string clip = t.File("Films/clip.mp4");
  EXPECT_TRUE(IsDirectory(films));
  EXPECT_FALSE(IsDirectory(clip));
  EXPECT_FALSE(IsDirectory(films + "/none"));
  EXPECT_FALSE(IsDirectory(""));

  struct Case {
    std::string text, base, dir, file;
  } cases[] = {
      {films, "/", films, ""},                  // a folder without a trailing "/"
      {films + "/", "/", films, ""},            // with one
      {films + "/*.mp4", "/", films, "*.mp4"},  // a mask stays the file part
      {clip, "/", films, "clip.mp4"},           // an existing file
      {"Old", films, films + "/Old", ""},       // relative to the base
      {"[Old]", films, films + "/Old", ""},     // a folder row's text
      {"[..]", films + "/Old", films, ""},      // the parent row
      {"../Films/./clip.mp4", films, films, "clip.mp4"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    const TbsEditPath p = SplitEditPath(k.text, k.base);
    EXPECT_EQ(p.Directory, k.dir);
    EXPECT_EQ(p.File, k.file);
    EXPECT_FALSE(p.Drive.empty());
  }
  EXPECT_THROW(SplitEditPath(films + "/nothing.here", "/"), rtl::EInOutError);  // no file, no folder
  EXPECT_THROW(SplitEditPath(films + "/none/x.mp4", "/"), rtl::EInOutError);    // no such folder
}

TEST_F(ShellListsTest, VolumeRowsFromTheMountTable) {
  const std::string mounts = tree.File("mounts");
  std::ofstream(mounts) << "proc /proc proc rw 0 0\n"
                           "sysfs /sys sysfs rw 0 0\n"
                           "/dev/vcdisk1 / ext4 rw 0 0\n"
                           "/dev/vcdisk2 /media/user/STICK vfat rw 0 0\n"
                           "/dev/vcdisk3 /mnt/Data ext4 rw 0 0\n"
                           "/dev/vcdisk4 /mnt/bare ext4 rw 0 0\n"
                           "Server:/Export /mnt/net nfs4 rw 0 0\n"
                           "/dev/vcdisk5 /mnt/cd iso9660 ro 0 0\n"
                           "tmpfs /mnt/ram tmpfs rw 0 0\n";
  // Devices that no machine has, so that no real disk's removable flag counts.
  const std::string labels = tree.Dir("by-label");
  fs::create_symlink("/dev/vcdisk3", labels + "/Data\\x20Disk");
  fs::create_symlink("/dev/vcdisk5", labels + "/Movies");
  auto* c = new TbsSkinDriveComboBox(form);
  c->VolumeSource = [&] { return shell::ListVolumes(mounts, labels); };
  c->SetBounds(10, 10, 200, 22);
  c->SetParent(form);
  h.Pump();
  const Strings lower = {"/ []",         "/media/user/STICK", "/mnt/Data [data disk]",
                         "/mnt/bare []", "/mnt/cd [movies]",  "/mnt/net server:/export",
                         "/mnt/ram []"};
  Strings rows;
  for (int i = 0; i < c->Items().Count(); ++i) rows.push_back(c->Items().Get(i));
  EXPECT_EQ(rows, lower);
  // Each row carries its kind's picture.
  EXPECT_NE(c->Items().Objects(1), c->Items().Objects(0));
  EXPECT_EQ(c->Items().Objects(3), c->Items().Objects(0));
  c->SetDrive("/mnt/cd");
  EXPECT_EQ(c->ItemIndex(), 4);
  c->SetTextCase(tcUpperCase);
  EXPECT_EQ(c->Items().Get(2), "/mnt/Data [DATA DISK]");
  EXPECT_EQ(c->Items().Get(5), "/mnt/net SERVER:/EXPORT");
  // The selected volume stays selected through the refill.
  EXPECT_EQ(c->ItemIndex(), 4);
  EXPECT_EQ(c->Drive(), "/mnt/cd");
}

TEST_F(ShellListsTest, VolumeComboDrivesTheDirectoryList) {
  const std::string sub = tree.Dir("Sub");
  auto* c = new TbsSkinDriveComboBox(form);
  c->VolumeSource = [&] {
    return std::vector<shell::Volume>{{"/", "/dev/sda1", "ext4", "", shell::DriveKind::Fixed},
                                      {tree.root, "/dev/sdb1", "ext4", "Tmp", shell::DriveKind::Fixed},
                                      {"/nowhere", "", "", "", shell::DriveKind::NoRootDir}};
  };
  c->SetBounds(10, 10, 200, 22);
  c->SetParent(form);
  h.Pump();
  EXPECT_EQ(c->Items().Count(), 2);  // no row for a volume without a root folder
  auto* d = Make<TbsSkinDirectoryListBox>(10, 40, 200, 200);
  c->SetDirList(d);
  int changes = 0;
  c->OnClick = [&](rtl::TObject*) { ++changes; };
  c->SetDrive(tree.root);
  EXPECT_EQ(c->ItemIndex(), 1);
  EXPECT_EQ(d->Directory(), tree.root);
  const int after = changes;
  c->SetDrive(tree.root);  // the selected one again: nothing happens
  EXPECT_EQ(changes, after);
  d->SetDirectory(sub);
  EXPECT_EQ(d->Directory(), sub);
  d->Free();
  c->SetDrive("/");  // the list is gone: the link went with it
  EXPECT_EQ(c->ItemIndex(), 0);
}

TEST_F(ShellListsTest, DirectoryRowsIndentsAndPaths) {
  const std::string deep = tree.Dir("one/two/three");
  tree.Dir("one/two/three/beta");
  tree.Dir("one/two/three/Alpha");
  tree.Dir("one/two/three/.hidden");
  tree.File("one/two/three/file.txt");
  auto* d = Make<TbsSkinDirectoryListBox>(10, 10, 200, 300);
  d->SetDirectory(deep);
  const int depth = BackslashCount(deep);
  Strings want{"/"};
  for (const auto& part : fs::path(deep)) {
    if (part != "/") want.push_back(part.string());
  }
  const int current = int(want.size()) - 1;
  want.push_back("Alpha");
  want.push_back("beta");
  EXPECT_EQ(Rows(d), want);
  EXPECT_EQ(d->ItemIndex(), current);
  for (int i = 0; i <= current; ++i) EXPECT_EQ(d->RowIndent(i), i * 4 + 2);
  EXPECT_EQ(d->RowIndent(current + 1), depth * 4 + 6);
  EXPECT_EQ(d->Items().Objects(0), &d->OpenedBMP);
  EXPECT_EQ(d->Items().Objects(current), &d->CurrentBMP);
  EXPECT_EQ(d->Items().Objects(current + 1), &d->ClosedBMP);
  // Paths: the root, each ancestor, the current folder, a sub-folder.
  EXPECT_EQ(d->GetItemPath(0), "/");
  EXPECT_EQ(d->GetItemPath(current - 1), fs::path(deep).parent_path().string());
  EXPECT_EQ(d->GetItemPath(current), deep);
  EXPECT_EQ(d->GetItemPath(current + 2), deep + "/beta");
  EXPECT_EQ(d->GetItemPath(99), "");
  // The root alone: one current row, then its sub-folders one level in.
  d->SetDirectory("/");
  EXPECT_EQ(d->Items().Get(0), "/");
  EXPECT_EQ(d->Items().Objects(0), &d->CurrentBMP);
  if (d->Items().Count() > 1) EXPECT_EQ(d->RowIndent(1), 10);
}

TEST_F(ShellListsTest, DirectoryNavigationAndFailures) {
  const std::string two = tree.Dir("one/two");
  tree.Dir("one/two/sub");
  auto* d = Make<TbsSkinDirectoryListBox>(10, 10, 200, 300);
  auto* label = new TbsSkinStdLabel(form);
  label->SetAutoSize(false);
  label->SetBounds(10, 320, 100, 16);
  label->SetParent(form);
  d->SetDirLabel(label);
  d->SetDirectory(two);
  int changes = 0;
  d->OnChange = [&](rtl::TObject*) { ++changes; };
  const int current = d->ItemIndex();
  // Enter on the sub-folder row enters it.
  d->SetItemIndex(current + 1);
  d->ListBox->SetFocus();
  h.input.Key(win::VK_RETURN);
  EXPECT_EQ(d->Directory(), two + "/sub");
  EXPECT_EQ(changes, 1);
  // A double click on an ancestor row goes up to it.
  const int parentRow = d->ItemIndex() - 2;
  const TRect r = d->ItemRect(parentRow);
  h.input.MoveTo(d->ListBox, r.Left + 30, r.Top + r.Height() / 2);
  h.input.DoubleClick();
  EXPECT_EQ(d->Directory(), fs::path(two).parent_path().string());
  EXPECT_EQ(changes, 2);
  // A folder that is not there: an error, and nothing changed.
  const Strings before = Rows(d);
  EXPECT_THROW(d->SetDirectory(two + "/missing"), rtl::EInOutError);
  EXPECT_EQ(d->Directory(), fs::path(two).parent_path().string());
  EXPECT_EQ(Rows(d), before);
  EXPECT_EQ(changes, 2);
  // The label shows the folder shortened to its width.
  EXPECT_NE(label->Caption().find(".../"), std::string::npos);
  EXPECT_EQ(label->Caption().substr(label->Caption().size() - 4), "/one");
}

TEST_F(ShellListsTest, FileRowsByMaskAndAttributes) {
  const std::string dir = tree.Dir("files");
  tree.File("files/b.txt");
  tree.File("files/A.TXT");
  tree.File("files/c.log");
  tree.File("files/.hidden");
  tree.Dir("files/sub");
  const std::string ro = tree.File("files/locked.dat");
  ::chmod(ro.c_str(), 0444);
  auto* f = Make<TbsSkinFileListBox>(10, 10, 200, 300);
  f->SetDirectory(dir);
  struct Case {
    const char* mask;
    TbsFileType type;
    Strings rows;
  } cases[] = {
      {"*.*", FileTypeOf({bsftNormal}), {"A.TXT", "b.txt", "c.log", "locked.dat"}},
      {"*.txt", FileTypeOf({bsftNormal}), {"A.TXT", "b.txt"}},
      {"*.txt;*.TXT", FileTypeOf({bsftNormal}), {"A.TXT", "A.TXT", "b.txt", "b.txt"}},  // both patterns match
      {"*.*",
       FileTypeOf({bsftNormal, bsftDirectory}),
       {"[.]", "[..]", "A.TXT", "b.txt", "c.log", "locked.dat", "[sub]"}},
      {"*.*", FileTypeOf({bsftNormal, bsftHidden}), {".hidden", "A.TXT", "b.txt", "c.log", "locked.dat"}},
      {"*.*", FileTypeOf({bsftDirectory}), {"[.]", "[..]", "[sub]"}},  // without Normal: only what is asked for
      {"*.*", FileTypeOf({bsftReadOnly}), {"locked.dat"}},
      {"nothing*", FileTypeOf({bsftNormal}), {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.mask);
    f->SetMask(k.mask);
    f->SetFileType(k.type);
    Strings rows = Rows(f);
    Strings want = k.rows;
    auto blind = [](const std::string& a, const std::string& b) { return rtl::AnsiCompareText(a, b) < 0; };
    std::stable_sort(want.begin(), want.end(), blind);
    EXPECT_EQ(rows, want);
  }
  // Another letter case of the same mask reads the rows again.
  f->SetFileType(FileTypeOf({bsftNormal}));
  f->SetMask("*.txt");
  tree.File("files/d.txt");
  f->SetMask("*.TXT");
  EXPECT_EQ(f->Items().Count(), 3);
}

TEST_F(ShellListsTest, FilePathsEditAndLinks) {
  const std::string dir = tree.Dir("media");
  const std::string other = tree.Dir("other");
  tree.File("media/a.mp4");
  tree.File("media/b.avi");
  tree.File("other/x.log");
  tree.File("other/y.log");
  tree.File("other/z.txt");
  auto* f = Make<TbsSkinFileListBox>(10, 10, 200, 200);
  auto* e = Make<ctl::TEdit>(10, 220, 200, 20);
  f->SetDirectory(dir);
  f->SetFileEdit(e);
  EXPECT_EQ(e->Text(), "*.*");  // nothing selected: the mask
  int changes = 0;
  f->OnChange = [&](rtl::TObject*) { ++changes; };
  // A click on a row puts its name into the edit.
  const TRect r = f->ItemRect(1);
  h.input.MoveTo(f->ListBox, r.Left + 10, r.Top + r.Height() / 2);
  h.input.Click();
  EXPECT_EQ(e->Text(), "b.avi");
  EXPECT_EQ(f->FileName(), dir + "/b.avi");
  EXPECT_EQ(changes, 1);
  // A path ending in a pattern switches folder and mask.
  f->ApplyFilePath(other + "/*.log");
  EXPECT_EQ(f->Directory(), other);
  EXPECT_EQ(f->Mask(), "*.log");
  EXPECT_EQ(Rows(f), (Strings{"x.log", "y.log"}));
  // A file the mask hides: the mask becomes its name and it is selected.
  f->ApplyFilePath("z.txt");
  EXPECT_EQ(f->Mask(), "z.txt");
  EXPECT_EQ(f->FileName(), other + "/z.txt");
  EXPECT_EQ(e->Text(), "z.txt");
  // No such file and no such folder: an error from the path, nothing changed.
  EXPECT_THROW(f->ApplyFilePath("nope.bin"), rtl::EInOutError);
  EXPECT_EQ(f->Directory(), other);

  // The filter combo's pick sets the mask; the directory list sets the folder.
  auto* filter = new TbsSkinFilterComboBox(form);
  filter->SetFilter("Logs (*.log)|*.log|Text|*.txt");
  filter->SetBounds(220, 10, 150, 22);
  filter->SetParent(form);
  h.Pump();
  f->SetFilterCombo(filter);
  EXPECT_EQ(filter->FileList(), f);
  filter->SetItemIndex(1);
  EXPECT_EQ(f->Mask(), "*.txt");
  auto* d = Make<TbsSkinDirectoryListBox>(220, 40, 200, 200);
  d->SetFileList(f);
  d->SetDirectory(dir);
  EXPECT_EQ(f->Directory(), dir);
  EXPECT_EQ(Rows(f), Strings{});
  filter->SetItemIndex(0);
  EXPECT_EQ(f->Mask(), "*.log");
  // The file list goes: the combo and the directory list forget it.
  f->Free();
  EXPECT_EQ(filter->FileList(), nullptr);
  filter->SetItemIndex(1);
  d->SetDirectory(other);
  EXPECT_EQ(d->Directory(), other);
}

}  // namespace
