// The file dialogs run modally over the temporary tree; each scenario acts
// on the open form from inside the modal loop, as a user would, and then
// either confirms or cancels.
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/cl/application.h"
#include "platform/rtl/dispatcher.h"
#include "shell_fixture.h"
#include "skin/dialogs/bsSkinFileDialogs.h"
#include "skin/dialogs/bsSkinMessage.h"
#include "skin/dialogs/bsSkinSelectDir.h"

namespace shelltest {
namespace {

using namespace skin;

// The rows of the list, by display name.
int Row(TbsOpenDlgForm* F, const std::string& name) {
  for (int i = 0; i < F->FileListView->FolderCount(); i++)
    if (F->FileListView->FolderAt(i)->DisplayName() == name) return i;
  return -1;
}

void Select(TbsOpenDlgForm* F, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    const int i = Row(F, n);
    ASSERT_GE(i, 0) << n;
    F->FileListView->Items()->Item(i)->SetSelected(true);
  }
}

std::string Rows(TbsOpenDlgForm* F) {
  std::string s;
  for (int i = 0; i < F->FileListView->FolderCount(); i++) s += F->FileListView->FolderAt(i)->DisplayName() + ",";
  return s;
}

class FileDialogs : public ShellTree {
 public:
  // Runs the dialog; `act` runs inside its modal loop. When `act` leaves no
  // result the form was still open: `stayedOpen` records it and the form is
  // cancelled.
  template <class D>
  bool Run(D& dlg, std::function<void(TbsOpenDlgForm*)> act) {
    stayedOpen = false;
    rtl::Post([&] {
      TbsOpenDlgForm* F = dlg.Form();
      ASSERT_NE(F, nullptr);
      act(F);
      if (F->ModalResult() == 0) {
        stayedOpen = true;
        F->SetModalResult(cl::mrCancel);
      }
    });
    return dlg.Execute();
  }
  bool stayedOpen = false;
};

TEST_F(FileDialogs, OpenRulesTable) {
  struct Case {
    const char* name;
    bool multi;
    const char* defaultExt;
    std::function<void(TbsOpenDlgForm*)> act;
    bool result;
    std::string fileName;  // relative to the tree; "" = unchanged "keep"
    std::vector<std::string> files;
  };
  auto typeAndOpen = [](const std::string& text) {
    return [text](TbsOpenDlgForm* F) {
      F->FileNameEdit->SetText(text);
      char32_t k = 13;
      F->EditKeyPress(F->FileNameEdit, k);
    };
  };
  const std::string abs = P("a/b/c/deep.avi");
  std::ofstream(abs) << "x";
  const Case cases[] = {
      {"existing file typed", false, "", typeAndOpen("clip.AVI"), true, "clip.AVI", {"clip.AVI"}},
      {"missing file stays open", false, "", typeAndOpen("nothing.avi"), false, "keep", {"old"}},
      {"empty name stays open", false, "", typeAndOpen(""), false, "keep", {"old"}},
      {"default extension completes", false, "AVI", typeAndOpen("clip"), true, "clip.AVI", {"clip.AVI"}},
      {"typed absolute path", false, "", typeAndOpen(abs), true, "a/b/c/deep.avi", {"a/b/c/deep.avi"}},
      {"selection beats typed text",
       false,
       "",
       [](TbsOpenDlgForm* F) {
         Select(F, {"song.mp3"});
         F->FileNameEdit->SetText("clip.AVI");
         F->OpenButtonClick(F->OpenButton);
       },
       true,
       "song.mp3",
       {"song.mp3"}},
      {"several files in list order",
       true,
       "",
       [](TbsOpenDlgForm* F) {
         Select(F, {"tune.aiff", "clip.AVI", "song.mp3"});
         F->OpenButtonClick(F->OpenButton);
       },
       true,
       "clip.AVI",
       {"clip.AVI", "song.mp3", "tune.aiff"}},
      {"multi-select with a typed name only", true, "", typeAndOpen("notes.txt"), true, "notes.txt", {"notes.txt"}},
      {"Enter in the list on a file",
       false,
       "",
       [](TbsOpenDlgForm* F) {
         Select(F, {"notes.txt"});
         char32_t k = 13;
         F->FLVKeyPress(F->FileListView, k);
       },
       true,
       "notes.txt",
       {"notes.txt"}},
      {"double click on a folder does not confirm",
       false,
       "",
       [](TbsOpenDlgForm* F) {
         Select(F, {"a"});
         F->FLVDBLClick(F->FileListView);
       },
       false,
       "keep",
       {"old"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TbsSkinOpenDialog dlg(nullptr);
    dlg.InitialDir = root.string();
    dlg.MultiSelection = c.multi;
    dlg.DefaultExt = c.defaultExt;
    dlg.FileName = "keep";
    dlg.Files()->Add("old");
    EXPECT_EQ(Run(dlg, c.act), c.result);
    EXPECT_EQ(stayedOpen, !c.result);
    auto full = [&](const std::string& r) { return r == "keep" || r == "old" ? r : P(r); };
    EXPECT_EQ(dlg.FileName, full(c.fileName));
    std::vector<std::string> files;
    for (int i = 0; i < dlg.Files()->Count(); i++) files.push_back(dlg.Files()->Get(i));
    std::vector<std::string> want;
    for (auto& f : c.files) want.push_back(full(f));
    EXPECT_EQ(files, want);
  }
}

TEST_F(FileDialogs, StartFolderFilterAndEditCommands) {
  TbsSkinOpenDialog dlg(nullptr);
  dlg.Filter = "All|*.*|Video|*.AVI;*.ASF|Audio|*.MP3;*.aif; *.aiff";
  dlg.FilterIndex = 3;
  dlg.FileName = P("song.mp3");
  EXPECT_TRUE(Run(dlg, [&](TbsOpenDlgForm* F) {
    // The folder of FileName, its name in the edit, the third filter row
    // (chosen before showing, and kept).
    EXPECT_EQ(F->FileListView->Path(), root.string());
    EXPECT_EQ(F->FileNameEdit->Text(), "song.mp3");
    EXPECT_EQ(F->FilterComboBox->ItemIndex(), 2);
    EXPECT_EQ(Rows(F), "a,home,song.mp3,tune.aiff,");
    // The look-in list opens ten rows high.
    EXPECT_EQ(F->ShellBox->DropDownCount(), 10);
    // Upper-case patterns match lower-case names and the reverse.
    F->FilterComboBox->SetItemIndex(1);
    EXPECT_EQ(Rows(F), "a,home,clip.AVI,");
    // A typed pattern filters; a typed folder opens it; a missing one does nothing.
    char32_t k = 13;
    F->FileNameEdit->SetText("*.txt");
    F->EditKeyPress(F->FileNameEdit, k);
    EXPECT_EQ(Rows(F), "a,home,notes.txt,");
    F->FileNameEdit->SetText(P("a/b"));
    F->EditKeyPress(F->FileNameEdit, k);
    EXPECT_EQ(F->FileListView->Path(), P("a/b"));
    F->FileNameEdit->SetText(P("a/missing"));
    F->EditKeyPress(F->FileNameEdit, k);
    EXPECT_EQ(F->FileListView->Path(), P("a/b"));
    EXPECT_EQ(F->ModalResult(), 0);
    // Back walks the history; Up goes to the parent.
    F->FileListView->SetPath(P("a/b/c"));
    F->BackToolButtonClick(nullptr);
    EXPECT_EQ(F->FileListView->Path(), P("a/b"));
    F->BackToolButtonClick(nullptr);
    EXPECT_EQ(F->FileListView->Path(), root.string());
    F->BackToolButtonClick(nullptr);
    EXPECT_EQ(F->FileListView->Path(), root.string());
    F->UpToolButtonClick(nullptr);
    F->FileListView->SetPath(root.string());
    // New folder: "New Folder" exists already, so the first press does nothing.
    fs::create_directory(root / "New Folder");
    F->NewFolderToolButtonClick(nullptr);
    F->NewFolderToolButtonClick(nullptr);
    F->NewFolderToolButtonClick(nullptr);
    EXPECT_TRUE(fs::is_directory(root / "New Folder(2)"));
    EXPECT_TRUE(fs::is_directory(root / "New Folder(3)"));
    F->FileNameEdit->SetText("song.mp3");
    F->OpenButtonClick(nullptr);
  }));
  EXPECT_EQ(dlg.FileName, P("song.mp3"));
}

TEST_F(FileDialogs, CancelKeepsTheResultsButWritesBackFilterSizeAndStyle) {
  TbsSkinOpenDialog dlg(nullptr);
  dlg.InitialDir = root.string();
  dlg.Filter = "All|*.*|Video|*.avi|Audio|*.mp3";
  dlg.FileName = "before.avi";
  dlg.Files()->Add("before.avi");
  EXPECT_FALSE(Run(dlg, [&](TbsOpenDlgForm* F) {
    // Without a skin the client area is 450 x 290.
    EXPECT_EQ(F->ClientWidth(), 450);
    EXPECT_EQ(F->ClientHeight(), 290);
    EXPECT_EQ(F->FileListView->ViewStyle(), ctl::vsList);
    Select(F, {"clip.AVI"});
    F->FilterComboBox->SetItemIndex(2);
    F->SetViewStyleItem(ctl::vsReport);
    EXPECT_TRUE(F->ReportMenuItem->Checked());
    EXPECT_FALSE(F->ListMenuItem->Checked());
    F->SetClientSize(520, 330);
    F->CancelButton->ButtonClick();
  }));
  EXPECT_FALSE(stayedOpen);
  EXPECT_EQ(dlg.FileName, "before.avi");
  EXPECT_EQ(dlg.Files()->Count(), 1);
  EXPECT_EQ(dlg.FilterIndex, 3);
  EXPECT_EQ(dlg.DialogWidth, 520);
  EXPECT_EQ(dlg.DialogHeight, 330);
  EXPECT_EQ(dlg.ListViewStyle, ctl::vsReport);
  // The next run opens with what was written back.
  EXPECT_FALSE(Run(dlg, [&](TbsOpenDlgForm* F) {
    EXPECT_EQ(F->ClientWidth(), 520);
    EXPECT_EQ(F->FileListView->ViewStyle(), ctl::vsReport);
    EXPECT_EQ(F->FilterComboBox->ItemIndex(), 2);
  }));
}

TEST_F(FileDialogs, SaveModeCompletesTheExtensionAndAsksBeforeOverwriting) {
  std::ofstream(root / "old.bmp") << "x";
  TbsSkinSavePictureDialog dlg(nullptr);
  dlg.InitialDir = root.string();
  dlg.Filter = "Bitmaps|*.bmp|JPEG|*.jpg;*.jpeg";
  // A typed name without extension gets the filter's.
  EXPECT_TRUE(Run(dlg, [&](TbsOpenDlgForm* F) {
    EXPECT_TRUE(F->SaveMode);
    F->FileNameEdit->SetText("shot");
    F->OpenButtonClick(nullptr);
  }));
  EXPECT_EQ(dlg.FileName, P("shot.bmp"));
  // A filter change swaps the typed extension; a wildcard is refused.
  EXPECT_TRUE(Run(dlg, [&](TbsOpenDlgForm* F) {
    F->FileNameEdit->SetText("shot*");
    F->OpenButtonClick(nullptr);
    EXPECT_EQ(F->ModalResult(), 0);
    F->FileNameEdit->SetText("shot.bmp");
    F->FilterComboBox->SetItemIndex(1);
    EXPECT_EQ(F->FileNameEdit->Text(), "shot.jpg");
    F->OpenButtonClick(nullptr);
  }));
  EXPECT_EQ(dlg.FileName, P("shot.jpg"));
  EXPECT_EQ(dlg.FilterIndex, 2);
  // The overwrite question goes through the dialog's seam; Cancel keeps the form open.
  dlg.OverwritePromt = true;
  dlg.FilterIndex = 1;
  std::vector<std::string> asked;
  int answer = 2;
  dlg.Ask = [&](cl::TCustomForm*, const std::string& text) {
    asked.push_back(text);
    return answer;
  };
  EXPECT_FALSE(Run(dlg, [&](TbsOpenDlgForm* F) {
    F->FileNameEdit->SetText("old");
    F->OpenButtonClick(nullptr);
  }));
  EXPECT_TRUE(stayedOpen);
  answer = 1;
  EXPECT_TRUE(Run(dlg, [&](TbsOpenDlgForm* F) {
    F->FileNameEdit->SetText("old");
    F->OpenButtonClick(nullptr);
  }));
  EXPECT_EQ(dlg.FileName, P("old.bmp"));
  EXPECT_EQ(asked, std::vector<std::string>(2, "Do you want to overwrite old file?"));
  // Without a seam the question is a skinned message box; its OK and Cancel
  // decide.
  dlg.Ask = nullptr;
  for (int result : {int(cl::mrCancel), int(cl::mrOk)}) {
    bool shown = false;
    dlg.FileName.clear();
    bool ok = Run(dlg, [&](TbsOpenDlgForm* F) {
      F->FileNameEdit->SetText("old");
      rtl::Post([&] {
        for (int i = 0; i < cl::Screen->FormCount(); ++i)
          if (auto* M = dynamic_cast<TbsMessageForm*>(cl::Screen->Forms(i))) {
            shown = true;
            M->SetModalResult(result);
          }
      });
      F->OpenButtonClick(nullptr);
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(ok, result == cl::mrOk);
    EXPECT_EQ(dlg.FileName, result == cl::mrOk ? P("old.bmp") : "");
  }
}

TEST_F(FileDialogs, PicturePreviewSizesStretchesAndSurvivesBadFiles) {
  // A 3 x 2 bitmap written by hand, and a "picture" that is not one.
  {
    gfx::TBitmap b;
    b.SetSize(3, 2);
    b.SaveToFile(P("small.bmp"));
  }
  std::ofstream(root / "broken.bmp") << "not a bitmap";
  TbsSkinOpenPictureDialog dlg(nullptr);
  dlg.InitialDir = root.string();
  dlg.Filter = "Bitmaps|*.bmp";
  EXPECT_TRUE(Run(dlg, [&](TbsOpenDlgForm* F) {
    EXPECT_EQ(F->ClientWidth(), 550);
    Select(F, {"small.bmp"});
    EXPECT_EQ(F->FileNameEdit->Text(), "small.bmp");
    EXPECT_EQ(F->Image->Width(), 3);
    EXPECT_EQ(F->Image->Height(), 2);
    F->FileListView->ClearSelection();
    Select(F, {"broken.bmp"});
    EXPECT_EQ(F->Image->Width(), 0);
    F->FileListView->ClearSelection();
    Select(F, {"a"});
    EXPECT_EQ(F->FileNameEdit->Text(), "");
    EXPECT_EQ(F->Image->Width(), 0);
    F->FileListView->ClearSelection();
    Select(F, {"small.bmp"});
    F->StretchButton->SetDown(true);
    F->StretchButtonClick(nullptr);
    EXPECT_TRUE(F->Image->Stretch);
    EXPECT_GT(F->Image->Width(), 3);
    F->ImagePanel->SetWidth(230);
    F->OpenButtonClick(nullptr);
  }));
  EXPECT_EQ(dlg.FileName, P("small.bmp"));
  EXPECT_TRUE(dlg.DialogStretch);
  EXPECT_EQ(dlg.ImagePanelWidth, 230);
  EXPECT_FALSE(Run(dlg, [&](TbsOpenDlgForm* F) {
    EXPECT_TRUE(F->StretchButton->Down());
    EXPECT_EQ(F->ImagePanel->Width(), 230);
  }));
}

// ---------------------------------------------------------------- select directory

class SelectDir : public ShellTree {
 public:
  bool Run(TbsSkinSelectDirectoryDialog& dlg, std::function<void(TbsSelDirDlgForm*)> act) {
    rtl::Post([&] {
      TbsSelDirDlgForm* F = dlg.Form();
      ASSERT_NE(F, nullptr);
      act(F);
    });
    return dlg.Execute();
  }
};

TEST_F(SelectDir, OpensAtComputerOrAtDirectoryAndOkReturnsThePath) {
  TbsSkinSelectDirectoryDialog dlg(nullptr);
  int changes = 0;
  dlg.OnChange = [&](rtl::TObject*) { changes++; };
  // No Directory: the computer folder selected and expanded; OK on it keeps
  // Directory (a virtual folder is no path).
  EXPECT_TRUE(Run(dlg, [&](TbsSelDirDlgForm* F) {
    EXPECT_EQ(F->ClientWidth(), 280);
    EXPECT_EQ(F->ClientHeight(), 280);
    ctl::TTreeNode* n = F->DirTreeView->Selected();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Text(), "Computer");
    EXPECT_TRUE(n->Expanded());
    F->OkButton->ButtonClick();
  }));
  EXPECT_EQ(dlg.Directory, "");
  EXPECT_EQ(changes, 0);
  // Directory three levels down: selected, ancestors expanded, hidden folders listed.
  dlg.Directory = P("a/b/c");
  EXPECT_TRUE(Run(dlg, [&](TbsSelDirDlgForm* F) {
    ctl::TTreeNode* n = F->DirTreeView->Selected();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(F->DirTreeView->Path(), P("a/b/c"));
    for (ctl::TTreeNode* p = n->Parent(); p; p = p->Parent()) EXPECT_TRUE(p->Expanded()) << p->Text();
    ctl::TTreeNode* tree = n->Parent()->Parent()->Parent();
    bool hidden = false;
    for (ctl::TTreeNode* c = tree->GetFirstChild(); c; c = c->GetNextSibling()) hidden |= c->Text() == ".hiddendir";
    EXPECT_TRUE(hidden);
    F->DirTreeView->SetPath(P("a/b"));
    F->OkButton->ButtonClick();
  }));
  EXPECT_EQ(dlg.Directory, P("a/b"));
  EXPECT_EQ(changes, 1);
  // Cancel keeps Directory but keeps the size the user left.
  EXPECT_FALSE(Run(dlg, [&](TbsSelDirDlgForm* F) {
    F->DirTreeView->SetPath(root.string());
    F->SetClientSize(330, 300);
    F->CancelButton->ButtonClick();
  }));
  EXPECT_EQ(dlg.Directory, P("a/b"));
  EXPECT_EQ(dlg.DialogWidth, 330);
  EXPECT_EQ(dlg.DialogHeight, 300);
}

TEST_F(SelectDir, ToolBarPathEditAndNewFolder) {
  TbsSkinSelectDirectoryDialog dlg(nullptr);
  dlg.ShowToolBar = true;
  dlg.Directory = root.string();
  EXPECT_TRUE(Run(dlg, [&](TbsSelDirDlgForm* F) {
    ASSERT_NE(F->DirEdit, nullptr);
    char32_t k = 13;
    F->DirEdit->SetText(P("a/b"));
    F->DirEditKeyPress(F->DirEdit, k);
    EXPECT_EQ(F->DirTreeView->Path(), P("a/b"));
    F->DirEdit->SetText(P("a/none"));
    F->DirEditKeyPress(F->DirEdit, k);
    EXPECT_EQ(F->DirTreeView->Path(), P("a/b"));
    EXPECT_EQ(F->DirEdit->Text(), P("a/none"));
    F->NewFolderClick(nullptr);
    F->NewFolderClick(nullptr);
    EXPECT_TRUE(fs::is_directory(root / "a/b/New Folder"));
    EXPECT_EQ(F->DirTreeView->Path(), P("a/b"));
    F->OkButton->ButtonClick();
  }));
  EXPECT_EQ(dlg.Directory, P("a/b"));
  int folders = 0;
  for (auto& e : fs::directory_iterator(root / "a/b")) folders += e.is_directory();
  EXPECT_EQ(folders, 2);  // c and New Folder
}

}  // namespace
}  // namespace shelltest
