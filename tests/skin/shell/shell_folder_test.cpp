// The namespace folder: identifier-list routines, root resolution and its
// errors, names, details (a 5 GiB sparse file, a folder), renaming, and the
// change notifier's delivery on the UI loop.
#include <fstream>
#include <thread>

#include "platform/rtl/dispatcher.h"
#include "platform/rtl/strings.h"
#include "shell_fixture.h"

namespace shelltest {
namespace {

using namespace skin;
using shell::UniqueIdList;

UniqueIdList Items(std::initializer_list<const char*> names) {
  UniqueIdList l(DuplicateIdList(nullptr));
  for (const char* n : names) {
    UniqueIdList item(shell::MakeItem(shell::ikDirectory, n));
    l.reset(JoinIdLists(l.get(), item.get()));
  }
  return l;
}

std::string Names(PCIDLIST l) {
  std::string s;
  for (PCIDLIST p = l; !shell::ILIsEmpty(p); p = NextIdItem(p)) s += shell::ItemNameOf(p) + "/";
  return s;
}

TEST(IdLists, RoutinesOverTheByteFormat) {
  EXPECT_EQ(IdListByteSize(nullptr), 0u);
  UniqueIdList empty(DuplicateIdList(nullptr));
  EXPECT_EQ(IdListByteSize(empty.get()), 2u);
  EXPECT_EQ(CountIdItems(empty.get()), 0);

  UniqueIdList abc = Items({"a", "bb", "ccc"});
  EXPECT_EQ(CountIdItems(abc.get()), 3);
  EXPECT_EQ(IdListByteSize(abc.get()), 2u + (3 + 1) + (3 + 2) + (3 + 3));

  TbsIdPrefixList pre = BuildIdPrefixList(abc.get());
  ASSERT_EQ(pre.size(), 3u);
  EXPECT_EQ(Names(pre[0].get()), "");
  EXPECT_EQ(Names(pre[1].get()), "a/");
  EXPECT_EQ(Names(pre[2].get()), "a/bb/");
  EXPECT_TRUE(BuildIdPrefixList(empty.get()).empty());

  UniqueIdList joined(JoinIdLists(nullptr, abc.get()));
  EXPECT_EQ(Names(joined.get()), "a/bb/ccc/");
  UniqueIdList last(CopyLastIdItem(abc.get()));
  EXPECT_EQ(Names(last.get()), "ccc/");
  TruncateLastIdItem(joined.get());
  EXPECT_EQ(Names(joined.get()), "a/bb/");
  TruncateLastIdItem(empty.get());  // nothing to cut
  EXPECT_EQ(IdListByteSize(empty.get()), 2u);
  UniqueIdList zero(ShellAllocIdList(6));
  EXPECT_EQ(IdListByteSize(zero.get()), 2u) << "a zero-filled block is the empty list";
}

TEST(IdLists, SettingsAndNames) {
  EXPECT_EQ(RootFolderKindOf("rfMyComputer"), int(rfMyComputer));
  EXPECT_EQ(RootFolderCsidl(rfMyComputer), 0x11);
  EXPECT_EQ(RootFolderKindOf("rfTemplates"), 22);
  EXPECT_EQ(RootFolderKindOf("rfmycomputer"), -1) << "the names compare exactly";
  EXPECT_EQ(RootFolderKindOf("/tmp"), -1);
  EXPECT_EQ(ObjectTypesToEnumFlags(otFolders), 0x20u);
  EXPECT_EQ(ObjectTypesToEnumFlags(otFolders | otNonFolders | otHidden), 0xE0u);
  EXPECT_EQ(NotifyFiltersToFlags(nfFileNameChange | nfSecurityChange), 0x101u);

  struct {
    const char* in;
    const char* out;
  } names[] = {{"?1?2x?", "12x"}, {"?a?b", "?a?b"}, {"?", "?"}, {"plain", "plain"}};
  for (auto& c : names) {
    shell::STRRET r;
    r.pOleStr = c.in;
    EXPECT_EQ(ShellStrToString(nullptr, r), c.out) << c.in;
  }
  shell::STRRET cs;
  cs.uType = shell::STRRET_CSTR;
  std::strcpy(cs.cStr, "ansi");
  EXPECT_EQ(ShellStrToString(nullptr, cs), "ansi");
  EXPECT_EQ(ShellItemName(nullptr, nullptr, 0), "parentfolder = nil");
}

using FolderTest = ShellTree;

TEST_F(FolderTest, RootResolutionAndItsErrors) {
  std::string root = "rfDesktop";
  TbsShellFolder* f = ResolveRootFolder(nullptr, "", root);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->DisplayName(), "Desktop");
  EXPECT_EQ(f->PathName(), "Desktop") << "a virtual folder's parsing name falls back to its name";

  root = "rfMyComputer";
  f = ResolveRootFolder(f, "rfDesktop", root);
  EXPECT_EQ(f->DisplayName(), "Computer");

  root = P("a/b");
  f = ResolveRootFolder(f, "rfMyComputer", root);
  EXPECT_EQ(f->PathName(), P("a/b"));
  EXPECT_EQ(f->DisplayName(), "b");
  EXPECT_TRUE(f->ShellFolder());

  struct {
    std::string text;
  } bad[] = {{""}, {"rfNetwork"}, {"rfPrinters"}, {P("missing")}};
  for (auto& c : bad) {
    std::string r = c.text;
    try {
      ResolveRootFolder(f, P("a/b"), r);
      ADD_FAILURE() << "resolved " << c.text;
    } catch (const rtl::Exception& e) {
      EXPECT_EQ(e.Message(), "Error setting path: \"" + c.text + "\"");
    }
    EXPECT_EQ(r, P("a/b")) << "the old root text comes back";
  }
  EXPECT_EQ(f->PathName(), P("a/b")) << "the old folder is left alone";
  delete f;
}

TEST_F(FolderTest, ItemsLevelsAndAttributes) {
  TbsShellFolder* top = FolderFromAbsoluteId(Id(root.string()).get());
  EXPECT_EQ(top->Level(), 0);
  EXPECT_EQ(top->DisplayName(), "TREE") << "a volume shows its label";
  PIDLIST rel = nullptr;
  ASSERT_EQ(top->ShellFolder()->ParseDisplayName("a", &rel, nullptr), shell::S_OK);
  UniqueIdList hold(rel);
  TbsShellFolder a(top, rel, BindSubFolder(top->ShellFolder().get(), rel));
  EXPECT_EQ(a.Level(), 1);
  EXPECT_TRUE(a.IsFolder());
  EXPECT_TRUE(a.SubFolders());
  EXPECT_TRUE(a.Properties() & fpFileSystem);
  EXPECT_TRUE(a.Capabilities() & fcCanRename);

  PIDLIST zrel = nullptr;
  ASSERT_EQ(top->ShellFolder()->ParseDisplayName("arch.zip", &zrel, nullptr), shell::S_OK);
  UniqueIdList zhold(zrel);
  TbsShellFolder zip(top, zrel, BindSubFolder(top->ShellFolder().get(), zrel));
  EXPECT_FALSE(zip.IsFolder()) << "an archive is never browsed as a folder";

  // Two routes to one path give one identity.
  UniqueIdList r1 = Id(P("a/b")), r2 = Id(P("a/./b/c/.."));
  EXPECT_TRUE(IdListsEqual(r1.get(), r2.get()));

  // A file's folder object holds no folder: it never lists the desktop.
  TbsShellFolder* file = FolderFromAbsoluteId(Id(P("notes.txt")).get());
  EXPECT_FALSE(file->ShellFolder());
  EXPECT_EQ(file->FullObjectName(), P("notes.txt"));
  delete file;
  delete top;
}

TEST_F(FolderTest, DetailsOfABigSparseFileAndAFolder) {
  TbsShellFolder* top = FolderFromAbsoluteId(Id(root.string()).get());
  TbsShellFolder* big = FolderFromAbsoluteId(Id(P("big.bin")).get());
  EXPECT_THROW(big->DetailText(1), rtl::Exception) << "no details loaded yet";
  big->LoadColumnDetails(top, win::HWND(), 4);
  EXPECT_EQ(big->DetailText(1), "5368709120");
  EXPECT_EQ(big->DetailText(2), ".bin");
  EXPECT_EQ(big->DetailText(3).size(), 19u) << big->DetailText(3);
  EXPECT_NE(big->DetailText(3).substr(0, 4), "1899");

  TbsShellFolder* dir = FolderFromAbsoluteId(Id(P("a")).get());
  dir->LoadColumnDetails(top, win::HWND(), 4);
  EXPECT_EQ(dir->DetailText(1), "") << "a folder has no size";
  EXPECT_NE(dir->DetailText(3).substr(0, 4), "1899") << "a folder shows its real date";
  EXPECT_EQ(dir->DetailText(4), "16");

  // Details of an item that went away name it.
  TbsShellFolder* gone = FolderFromAbsoluteId(Id(P("song.mp3")).get());
  fs::remove(root / "song.mp3");
  TbsFindData d;
  try {
    gone->ReadFindData(d);
    ADD_FAILURE();
  } catch (const EInvalidPath& e) {
    EXPECT_EQ(e.Message(), "Unable to retrieve folder details for \"song.mp3\". Error code $2");
  }
  delete gone;
  delete dir;
  delete big;
  delete top;
}

TEST_F(FolderTest, RenameSucceedsOrRaisesAndNeverOverwrites) {
  TbsShellFolder* top = FolderFromAbsoluteId(Id(root.string()).get());
  PIDLIST rel = nullptr;
  ASSERT_EQ(top->ShellFolder()->ParseDisplayName("notes.txt", &rel, nullptr), shell::S_OK);
  UniqueIdList hold(rel);
  TbsShellFolder f(top, rel, nullptr);
  try {
    f.Rename("song.mp3");
    ADD_FAILURE() << "renamed over another file";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), "Rename to song.mp3 failed");
  }
  EXPECT_TRUE(fs::exists(root / "notes.txt"));
  EXPECT_THROW(f.Rename("x/y"), rtl::Exception);
  EXPECT_TRUE(f.Rename("renamed.txt"));
  EXPECT_EQ(f.PathName(), P("renamed.txt"));
  EXPECT_EQ(f.DisplayName(), "renamed.txt");
  EXPECT_TRUE(fs::exists(root / "renamed.txt"));
  delete top;
}

// ---- change notifier

using NotifierTest = ShellTree;

TEST_F(NotifierTest, ABurstIsOneChangeOnTheUiThread) {
  auto* n = new TbsShellChangeNotifier(nullptr);
  EXPECT_FALSE(n->Watching()) << "no thread without OnChange";
  n->SetWatchSubTree(false);
  n->SetRoot(root.string());
  int changes = 0;
  std::thread::id where;
  n->SetOnChange([&] {
    changes++;
    where = std::this_thread::get_id();
  });
  EXPECT_TRUE(n->Watching());
  for (int i = 0; i < 20; i++) std::ofstream(root / ("f" + std::to_string(i))) << i;
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (rtl::PendingCalls() == 0 && std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(PumpUntil([&] { return changes > 0; }));
  for (int i = 0; i < 5; i++) {
    win::MsgWaitForEvents(20);
    h.Pump();
  }
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(where, std::this_thread::get_id());
  n->SetRoot(rtl::AnsiUpperCase(root.string()));
  EXPECT_EQ(n->Root(), root.string()) << "the same root in other letters changes nothing";
  n->Free();
}

TEST_F(NotifierTest, NothingArrivesAfterFreeAndAMissingRootIsSilent) {
  int changes = 0;
  auto* n = new TbsShellChangeNotifier(nullptr);
  n->SetRoot(root.string());
  n->SetOnChange([&] { changes++; });
  std::ofstream(root / "x") << 1;
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (rtl::PendingCalls() == 0 && std::chrono::steady_clock::now() < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  n->Free();  // a change is queued for the UI loop
  h.Pump();
  EXPECT_EQ(changes, 0);

  auto* m = new TbsShellChangeNotifier(nullptr);
  m->SetRoot(P("missing"));
  m->SetOnChange([&] { changes++; });
  std::ofstream(root / "y") << 1;
  for (int i = 0; i < 5; i++) {
    win::MsgWaitForEvents(20);
    h.Pump();
  }
  EXPECT_EQ(changes, 0);
  m->Free();
}

}  // namespace
}  // namespace shelltest
