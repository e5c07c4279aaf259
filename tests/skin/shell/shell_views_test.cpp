// The shell views over the temporary tree: the mask and sort tables of the
// folder list, its navigation and search, the tree's path selection with
// its linked list, and the combo box's outline and ShowPath.
#include <fstream>

#include "platform/cl/forms.h"
#include "platform/rtl/strlist.h"
#include "shell_fixture.h"
#include "skin/dialogs/bsShellViews.h"

namespace shelltest {
namespace {

using namespace skin;

TEST(ShellMask, PatternTable) {
  struct {
    const char* mask;
    const char* name;
    bool pass;
  } cases[] = {
      {"*.avi;*.mp3", "clip.avi", true},
      {"*.avi;*.mp3", "song.MP3", true},
      {"*.avi;*.mp3", "notes.txt", false},
      {"Video files|*.AVI", "clip.avi", true},
      {"Video files|*.AVI", "Video files", false},
      {"", "clip.avi", false},
      {"*", "anything", true},
      {"*.*|*.*", "noext", true},
      {"*.aif; *.aiff", "tune.aiff", true},
      {"*.aif; *.aiff", "tune.aif", true},
      {"a;;|b|*.txt", "notes.txt", true},
      {"*.avi", "clip.avi.part", false},
  };
  for (auto& c : cases) EXPECT_EQ(PassesMask(c.mask, c.name), c.pass) << c.mask << " / " << c.name;
}

class TestList : public TbsSkinFileListView {
 public:
  using TbsSkinFileListView::TbsSkinFileListView;
  void ClickColumn(int i) { ColClick(Columns()->Items(i)); }
  int Find(const std::string& s, int start, bool wrap) { return OwnerDataFind(ctl::ifPartialString, s, start, wrap); }
  void Press(uint16_t key, cl::TShiftState shift = 0) { KeyDown(key, shift); }
};

class ViewsTest : public ShellTree {
 public:
  void SetUp() override {
    ShellTree::SetUp();
    form = new cl::TForm(nullptr);
    form->SetBorderStyle(cl::bsNone);
    form->SetBounds(0, 0, 640, 480);
    form->Show();
    h.Pump();
  }
  void TearDown() override {
    form->Free();
    ShellTree::TearDown();
  }
  TestList* List(const std::string& path) {
    auto* lv = new TestList(form);
    lv->SetBounds(0, 0, 400, 300);
    lv->SetParent(form);
    lv->HandleNeeded();
    lv->SetPath(path);
    h.Pump();
    return lv;
  }
  static std::string Rows(TbsCustomShellListView* lv) {
    std::string s;
    for (int i = 0; i < lv->FolderCount(); i++) s += lv->FolderAt(i)->DisplayName() + ",";
    return s;
  }
  cl::TForm* form = nullptr;
};

TEST_F(ViewsTest, ListShowsFoldersFirstAndFilesThroughTheMask) {
  TestList* lv = List(root.string());
  EXPECT_EQ(lv->Path(), root.string());
  EXPECT_EQ(Rows(lv), "a,home,arch.zip,big.bin,clip.AVI,notes.txt,song.mp3,tune.aiff,")
      << "hidden names stay out; an archive is listed as a file";
  EXPECT_EQ(lv->Items()->Count(), lv->FolderCount());
  struct {
    const char* mask;
    const char* rows;
  } masks[] = {
      {"*.avi;*.mp3", "a,home,clip.AVI,song.mp3,"},
      {"Video|*.AVI", "a,home,clip.AVI,"},
      {"", "a,home,"},
      {"*.aif; *.aiff", "a,home,tune.aiff,"},
  };
  for (auto& m : masks) {
    lv->SetMask(m.mask);
    EXPECT_EQ(Rows(lv), m.rows) << m.mask;
  }
  lv->SetObjectTypes(otFolders | otNonFolders | otHidden);
  EXPECT_EQ(Rows(lv), ".hiddendir,a,home,tune.aiff,") << "dot-names show with hidden items";
  bool vetoHome = true;
  lv->OnAddFolder = [&](rtl::TObject*, TbsShellFolder* f, bool& can) {
    if (vetoHome && f->DisplayName() == "home") can = false;
  };
  lv->SetMask("*");
  EXPECT_EQ(Rows(lv).find("home"), std::string::npos);
}

TEST_F(ViewsTest, ColumnSortsInEveryColumnBothWays) {
  TestList* lv = List(root.string());
  lv->SetMask("*.bin;*.txt;*.mp3");
  lv->SetViewStyle(ctl::vsReport);
  ASSERT_EQ(lv->Columns()->Count(), 4);
  EXPECT_EQ(lv->Columns()->Items(1)->Caption(), "Size");
  lv->ClickColumn(1);
  EXPECT_EQ(Rows(lv), "a,home,song.mp3,notes.txt,big.bin,") << "folders first, then files by size";
  lv->ClickColumn(1);
  EXPECT_TRUE(lv->SortDescending());
  EXPECT_EQ(Rows(lv), "big.bin,notes.txt,song.mp3,home,a,") << "descending negates everything";
  lv->ClickColumn(2);
  EXPECT_FALSE(lv->SortDescending());
  EXPECT_EQ(Rows(lv).substr(7), "big.bin,song.mp3,notes.txt,") << "folders first, files by type";
  lv->ClickColumn(0);
  EXPECT_EQ(Rows(lv), "a,home,big.bin,notes.txt,song.mp3,");
  // The report rows carry the details.
  ctl::TListItem* it = lv->Items()->Item(2);
  ASSERT_TRUE(it);
  EXPECT_EQ(it->Caption(), "big.bin");
  ASSERT_GE(it->SubItems()->Count(), 2);
  EXPECT_EQ(it->SubItems()->Get(0), "5368709120");
  EXPECT_EQ(it->SubItems()->Get(1), ".bin");
}

TEST_F(ViewsTest, NavigationBackRefreshAndSearch) {
  TestList* lv = List(P("a"));
  int moves = 0;
  lv->OnPathChanged = [&](rtl::TObject*) { moves++; };
  lv->Items()->Item(0)->SetSelected(true);
  lv->Press(win::VK_RETURN);
  EXPECT_EQ(lv->Path(), P("a/b"));
  lv->Press(win::VK_BACK);
  EXPECT_EQ(lv->Path(), P("a"));
  lv->Back();
  EXPECT_EQ(lv->Path(), root.string());
  EXPECT_EQ(moves, 3);

  lv->Items()->Item(lv->FolderCount() - 1)->SetSelected(true);
  lv->Refresh();
  ASSERT_TRUE(lv->Selected());
  EXPECT_EQ(lv->Selected()->Index(), lv->FolderCount() - 1) << "the selected row stays selected";

  struct {
    const char* text;
    int start;
    bool wrap;
    const char* found;
  } finds[] = {{"so", 0, false, "song.mp3"}, {"A", 1, true, "arch.zip"}, {"A", 3, true, "a"},
               {"A", 3, false, ""},          {"zz", 0, true, ""},        {"b", 99, true, ""}};
  for (auto& f : finds) {
    int i = lv->Find(f.text, f.start, f.wrap);
    EXPECT_EQ(i < 0 ? "" : lv->FolderAt(i)->DisplayName(), f.found) << f.text << " from " << f.start;
  }

  lv->SetRoot("rfMyComputer");
  EXPECT_EQ(lv->Path(), "Computer");
  EXPECT_EQ(Rows(lv), "File System,TREE,");
  lv->Back();
  EXPECT_EQ(lv->Path(), "Desktop");
  EXPECT_EQ(Rows(lv), "Computer,Home,");
  lv->Back();
  EXPECT_EQ(lv->Path(), "Desktop") << "the desktop has no parent";
  EXPECT_THROW(lv->SetPath(P("missing")), EInvalidPath);
  lv->SetPath(P("notes.txt"));
  EXPECT_EQ(lv->FolderCount(), 0) << "a file opened as a folder lists nothing, never the desktop";
  try {
    lv->SetRoot("rfControlPanel");
    ADD_FAILURE();
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), "Error setting path: \"rfControlPanel\"");
  }
  EXPECT_EQ(lv->Root(), "rfMyComputer");
}

TEST_F(ViewsTest, TreePathExpandsTheAncestorsAndMovesTheListOnce) {
  auto* tv = new TbsSkinDirTreeView(form);
  tv->SetBounds(0, 0, 200, 300);
  tv->SetParent(form);
  tv->HandleNeeded();
  TestList* lv = List(root.string());
  int moves = 0;
  lv->OnPathChanged = [&](rtl::TObject*) { moves++; };
  tv->SetShellListView(lv);
  ASSERT_TRUE(tv->Items()->GetFirstNode());
  EXPECT_EQ(tv->Items()->GetFirstNode()->Text(), "Desktop");
  EXPECT_FALSE(tv->ShowRoot());
  moves = 0;
  tv->SetPath(P("a/b/c"));
  EXPECT_EQ(tv->Path(), P("a/b/c"));
  EXPECT_EQ(lv->Path(), P("a/b/c"));
  EXPECT_EQ(moves, 1) << "the linked list moves once";
  std::string expanded;
  for (int i = 0; i < tv->Items()->Count(); i++) {
    ctl::TTreeNode* n = tv->Items()->Item(i);
    if (n->Expanded()) expanded += n->Text() + ",";
  }
  EXPECT_EQ(expanded.rfind("Desktop,Computer,TREE,a,b,", 0), 0u) << expanded;
  EXPECT_EQ(expanded.find("File System"), std::string::npos) << "only the ancestors open";
  EXPECT_EQ(expanded.find("home"), std::string::npos);

  // The list moving moves the tree.
  lv->Back();
  EXPECT_EQ(tv->Path(), P("a/b"));
  tv->ExpandMyComputer();
  EXPECT_EQ(tv->SelectedFolder()->DisplayName(), "Computer");
  EXPECT_TRUE(tv->Selected()->Expanded());
}

TEST_F(ViewsTest, ComboOutlineAndShowPath) {
  auto* cb = new TbsSkinShellComboBox(form);
  cb->SetBounds(0, 0, 300, 22);
  cb->SetParent(form);
  cb->HandleNeeded();
  auto outline = [&] {
    std::string s;
    for (auto& e : cb->ItemsEx()) s += std::to_string(e.Indent) + e.Caption + ",";
    return s;
  };
  EXPECT_EQ(outline(), "0Desktop,1Computer,2File System,2TREE,1Home,");
  EXPECT_EQ(cb->ItemIndex(), 0);
  EXPECT_EQ(cb->Items().Count(), 5);

  shell::UniqueIdList c = Id(P("a/b/c"));
  cb->ShowPath(c.get());
  EXPECT_EQ(outline(), "0Desktop,1Computer,2File System,2TREE,3a,4b,5c,1Home,") << "three entries below the volume";
  EXPECT_EQ(cb->ItemIndex(), 6);
  EXPECT_EQ(cb->Path(), P("a/b/c"));

  cb->SetPath(root.string());
  EXPECT_EQ(outline(), "0Desktop,1Computer,2File System,2TREE,1Home,") << "an existing entry adds nothing";
  EXPECT_EQ(cb->ItemIndex(), 3);

  // A choice moves the linked list; the list's own move does not echo back.
  TestList* lv = List(P("a"));
  cb->SetShellListView(lv);
  lv->SetPath(P("a/b"));
  EXPECT_EQ(cb->Path(), P("a/b"));
  int moves = 0;
  lv->OnPathChanged = [&](rtl::TObject*) { moves++; };
  cb->SetItemIndex(1);
  EXPECT_EQ(lv->Path(), "Computer");
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(cb->ItemIndex(), 1);

  // A row taken while the list is down moves nothing until the list closes.
  cb->DropDown();
  ASSERT_TRUE(cb->IsPopupVisible());
  const int tree = 3;
  ASSERT_EQ(cb->ItemsEx()[tree].Caption, "TREE");
  cb->SetItemIndex(tree);
  EXPECT_EQ(lv->Path(), "Computer");
  cb->CloseUp(true);
  EXPECT_EQ(lv->Path(), root.string());
  EXPECT_EQ(moves, 2);

  cb->SetRoot("rfMyComputer");
  EXPECT_EQ(outline(), "0Computer,1File System,1TREE,") << "no drives added below another root";
  EXPECT_EQ(lv->Root(), "rfMyComputer");
}

}  // namespace
}  // namespace shelltest

namespace shelltest {
namespace {

using namespace skin;

class TestTree : public TbsSkinDirTreeView {
 public:
  using TbsSkinDirTreeView::TbsSkinDirTreeView;
  void EndEdit(ctl::TTreeNode* n, const std::string& s) { Edit(n, &s); }
};

class TreeTest : public ViewsTest {
 public:
  TestTree* Tree() {
    auto* tv = new TestTree(form);
    tv->SetBounds(0, 0, 200, 300);
    tv->SetParent(form);
    tv->HandleNeeded();
    return tv;
  }
  static ctl::TTreeNode* Find(TestTree* tv, const std::string& text) {
    for (int i = 0; i < tv->Items()->Count(); i++)
      if (tv->Items()->Item(i)->Text() == text) return tv->Items()->Item(i);
    return nullptr;
  }
};

TEST_F(TreeTest, RefreshKeepsWhatWasOpenAndSeesNewFolders) {
  TestTree* tv = Tree();
  tv->SetPath(P("a/b"));
  ctl::TTreeNode* top = Find(tv, "TREE");
  ASSERT_TRUE(top);
  fs::create_directories(root / "new");
  fs::remove_all(root / "home");
  tv->Refresh(top);
  EXPECT_EQ(tv->Path(), P("a/b")) << "the selection survives";
  EXPECT_TRUE(Find(tv, "new"));
  EXPECT_FALSE(Find(tv, "home"));
  ASSERT_TRUE(Find(tv, "a"));
  EXPECT_TRUE(Find(tv, "a")->Expanded()) << "what was open stays open";
  EXPECT_TRUE(Find(tv, "TREE")->Expanded());
}

TEST_F(TreeTest, AddFolderVetoNamesAndCommands) {
  TestTree* tv = Tree();
  tv->OnAddFolder = [](rtl::TObject*, TbsShellFolder* f, bool& can) { can = f->DisplayName() != "home"; };
  tv->SetPath(root.string());
  EXPECT_TRUE(Find(tv, "a"));
  EXPECT_FALSE(Find(tv, "home")) << "a vetoed folder is not shown";
  EXPECT_FALSE(Find(tv, ".hiddendir"));

  // A rename through the label, then one the namespace refuses.
  tv->SetPath(P("a/b"));
  ctl::TTreeNode* b = tv->Selected();
  tv->EndEdit(b, "bee");
  EXPECT_TRUE(fs::is_directory(root / "a" / "bee"));
  ctl::TTreeNode* bee = Find(tv, "bee");
  ASSERT_TRUE(bee);
  EXPECT_THROW(tv->EndEdit(bee, "../x"), rtl::Exception);
  EXPECT_EQ(bee->Text(), "bee");

  // The menu's verbs: "rename" edits in place, "delete" drops the node.
  tv->SetSelected(bee);
  EXPECT_TRUE(RunShellCommand(tv, tv->SelectedFolder(), "rename"));
  EXPECT_TRUE(tv->IsEditing());
  bee->EndEdit(true);
  fs::remove_all(root / "a" / "bee");
  tv->CommandCompleted("delete", true);
  EXPECT_FALSE(Find(tv, "bee"));
}

TEST_F(TreeTest, FileNodesMoveTheListToTheirFolder) {
  TestTree* tv = Tree();
  tv->SetObjectTypes(otFolders | otNonFolders);
  TestList* lv = List(P("a"));
  tv->SetShellListView(lv);
  tv->SetPath(root.string());
  ctl::TTreeNode* song = Find(tv, "song.mp3");
  ASSERT_TRUE(song);
  EXPECT_FALSE(song->HasChildren());
  lv->SetPath(P("a/b"));
  tv->SetSelected(song);
  EXPECT_EQ(lv->Path(), root.string()) << "a file shows its folder";
  ctl::TTreeNode* zip = Find(tv, "arch.zip");
  ASSERT_TRUE(zip);
  h.launcher.calls.clear();
  zip->SetHasChildren(true);
  zip->Expand(false);
  ASSERT_EQ(h.launcher.calls.size(), 1u) << "an archive is opened, not listed";
  EXPECT_EQ(h.launcher.calls[0].back(), P("arch.zip"));
}

TEST_F(ViewsTest, ListCommandsAndAutoRefresh) {
  TestList* lv = List(root.string());
  // Enter on a file opens nothing; the menu's "open" hands it to the opener
  // from its own folder and gives the working folder back.
  const std::string cwd = fs::current_path().string();
  int notes = -1;
  for (int i = 0; i < lv->FolderCount(); i++)
    if (lv->FolderAt(i)->DisplayName() == "notes.txt") notes = i;
  ASSERT_GE(notes, 0);
  lv->Items()->Item(notes)->SetSelected(true);
  lv->Press(win::VK_RETURN);
  EXPECT_EQ(lv->Path(), root.string());
  lv->Press(win::VK_RETURN, cl::ssAlt);
  EXPECT_TRUE(h.launcher.calls.empty()) << "properties do nothing";
  lv->RunContextCommand("open");
  ASSERT_EQ(h.launcher.calls.size(), 1u);
  EXPECT_EQ(h.launcher.calls[0].back(), P("notes.txt"));
  EXPECT_EQ(fs::current_path().string(), cwd);
  lv->ReadOnly = false;
  lv->RunContextCommand("rename");
  EXPECT_TRUE(lv->IsEditing()) << "no re-read ends the edit the menu started";

  lv->SetAutoRefresh(true);
  ASSERT_TRUE(lv->Notifier());
  EXPECT_EQ(lv->Notifier()->Root(), root.string());
  const int before = lv->FolderCount();
  std::ofstream(root / "fresh.avi") << 1;
  EXPECT_TRUE(PumpUntil([&] { return lv->FolderCount() == before + 1; }));
  lv->SetPath(P("a"));
  ASSERT_TRUE(lv->Notifier());
  EXPECT_EQ(lv->Notifier()->Root(), P("a")) << "the watcher follows the folder shown";
  lv->SetAutoRefresh(false);
  EXPECT_FALSE(lv->Notifier());
}

}  // namespace
}  // namespace shelltest
