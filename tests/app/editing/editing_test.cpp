// The file list edited through the real window: renaming in place, moving,
// removing and clearing rows with the engine's tasks and the job slots kept
// in step; the help and web-site commands, the log line, the about box and
// the hidden settings dialog's window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "media/AVProbe.h"
#include "platform/cl/application.h"
#include "platform/rtl/dispatcher.h"
#include "platform/testkit/harness.h"
#include "tests/app/common/ProgramFixture.h"
#include "tests/media/common/MediaFixtures.h"

namespace fs = std::filesystem;

namespace {

class Editing : public programtest::ProgramTest {
 protected:
  void SetUp() override { SetUpProgram("editing_"); }
  void Start(bool withSettingsDialog = true) {
    ProgramTest::Start(withSettingsDialog);
    form1->StopPreview = [this] { previewStops++; };
  }
  // Three rows: c.mkv (task 1), b.mp4 (task 2), a.avi (task 3).
  void AddThree() {
    chooser.files = {Input("av.avi", "a.avi"), Input("av.mp4", "b.mp4"), Input("av.mkv", "c.mkv")};
    form1->Button8Click();
    ASSERT_EQ(Rows(), 3) << log;
  }
  int Rows() { return form1->lvFiles->Items()->Count(); }
  ctl::TListItem* Row(int r) { return form1->lvFiles->Items()->Item(r); }
  std::string Cell(int row, int col) { return col == 0 ? Row(row)->Caption() : Row(row)->SubItems()->Get(col - 1); }
  std::vector<std::string> Columns(int row) {
    std::vector<std::string> v;
    for (int c = 0; c < kFileColumnCount; ++c) v.push_back(Cell(row, c));
    return v;
  }
  void Select(int row) {
    form1->lvFiles->SetSelected(Row(row));
    h.Pump();
  }
  int SelectedRow() {
    ctl::TListItem* it = form1->lvFiles->Selected();
    return it ? it->Index() : -1;
  }
  int SlotOf(int row) { return int(reinterpret_cast<intptr_t>(Row(row)->Data)) - 1; }

  int previewStops = 0;
};

}  // namespace

TEST_F(Editing, RenamingInPlaceKeepsTheFormatsExtensionAndTheSlotsOutputName) {
  Start();
  chooser.files = {Input("av.avi", "movie.avi")};
  form1->btnAddClick();
  ASSERT_EQ(Rows(), 1) << log;
  Select(0);
  // An MP4 format of the current category for the selected row.
  auto* formats = form1->bsSkinOfficeComboBox1;
  int mp4 = -1;
  for (int i = 0; i < formats->Items()->Count() && mp4 < 0; ++i)
    if (formats->Items()->Items(i)->Title().find("(*.mp4)") != std::string::npos) mp4 = i;
  ASSERT_GE(mp4, 0);
  formats->SetItemIndex(mp4);
  Row(0)->SubItems()->Put(colOutputFile - 1, "movie.avi");
  ctl::TListColumns* cols = form1->lvFiles->Columns();

  struct Case {
    const char* typed;
    const char* name;  // column 3 afterwards
    bool editorStays;
  } cases[] = {
      {"", "movie.avi", true},
      {"clip", "clip.mp4", false},
      {"clip.avi", "clip.avi.mp4", false},
      {"../escape", "clip.avi.mp4", true},  // a folder in the name is refused
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::string before = Cell(0, colOutputFile);
    form1->bsSkinButton21Click();
    ASSERT_TRUE(form1->edt->Visible());
    EXPECT_EQ(form1->edt->Parent(), form1->lvFiles);
    EXPECT_EQ(form1->edt->Text(), ChangeFileExt(before, ""));
    EXPECT_EQ(form1->edt->Left(), form1->lvFiles->ColumnLeft(3));
    EXPECT_EQ(form1->edt->Top(), Row(0)->Top());
    EXPECT_EQ(form1->edt->Left() + form1->edt->Width(), form1->lvFiles->ColumnLeft(3) + cols->Items(3)->Width())
        << "the editor ends with its column";
    form1->edt->SetText(c.typed);
    form1->edtExit();
    EXPECT_EQ(Cell(0, colOutputFile), c.name);
    EXPECT_EQ(form1->edt->Visible(), c.editorStays);
    if (!c.editorStays) {
      EXPECT_EQ(form1->JobSlots[SlotOf(0)].OO1.FileName, (root / "out").string() + "/" + c.name);
    }
  }

  // Enter commits as losing the focus does.
  form1->N26Click();
  ASSERT_TRUE(form1->edt->Visible());
  form1->edt->SetText("typed");
  form1->edt->SetFocus();
  h.input.Key(win::VK_RETURN);
  EXPECT_EQ(Cell(0, colOutputFile), "typed.mp4");
  EXPECT_FALSE(form1->edt->Visible());

  // Without a selection: the commands say so, the double-click stays quiet.
  form1->lvFiles->SetSelected(nullptr);
  form1->lvFilesDblClick();
  EXPECT_FALSE(form1->edt->Visible());
  EXPECT_TRUE(infos.empty());
  form1->bsSkinButton21Click();
  form1->N26Click();
  form1->btnRemoveClick();
  EXPECT_EQ(infos, (std::vector<std::string>{"请先选中您需要重命名的项目！", "请先选中您需要重命名的项目！",
                                             "请先选择您需要删除的项目！"}));
  EXPECT_EQ(Rows(), 1);
}

TEST_F(Editing, MovingSwapsEveryColumnAndSelectsTheMovedRowAtTheEnds) {
  Start();
  AddThree();
  // Selecting a row writes its option columns once; moves must not change them.
  for (int r = 0; r < 3; ++r) Select(r);
  const auto r0 = Columns(0), r1 = Columns(1), r2 = Columns(2);
  // Nothing happens past the ends.
  Select(0);
  form1->bsSkinButton3Click();
  Select(2);
  form1->bsSkinButton4Click();
  EXPECT_EQ(Columns(0), r0);
  EXPECT_EQ(Columns(2), r2);
  EXPECT_EQ(SelectedRow(), 2);

  // Progress of a running list follows its file.
  form1->TaskRows = {0, 1, 2};
  Select(0);
  form1->MenuItem("N17")->Click();
  EXPECT_EQ(Columns(0), r1);
  EXPECT_EQ(Columns(1), r0);  // the task number moved with it
  EXPECT_EQ(Cell(1, colTaskNumber), "1");
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(form1->Logic->T_Movie_PLayer_FileName, r0[colInputFile]) << "the moved row is previewed";
  EXPECT_EQ(form1->TaskRows, (std::vector<int>{1, 0, 2}));

  form1->MenuItem("N16")->Click();
  EXPECT_EQ(Columns(0), r0);
  EXPECT_EQ(Columns(1), r1);
  EXPECT_EQ(SelectedRow(), 0);
}

TEST_F(Editing, RemovingRenumbersTheTasksAndTheLastRemovalShowsTheEmptyList) {
  Start();
  AddThree();
  const std::string first = Cell(0, colInputFile), last = Cell(2, colInputFile);
  Select(1);
  const int removedSlot = SlotOf(1);
  form1->bsSkinButton7Click();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, colInputFile), first);
  EXPECT_EQ(Cell(1, colInputFile), last);
  EXPECT_EQ(Cell(0, colTaskNumber), "1");
  EXPECT_EQ(Cell(1, colTaskNumber), "2");
  // Each row's task is still its own file.
  ASSERT_EQ(form1->FFConv->TasksCount(), 2);
  for (int r = 0; r < 2; ++r) EXPECT_EQ(form1->FFConv->TaskProbe(r, 0)->FileName(), Cell(r, colInputFile)) << r;
  EXPECT_EQ(form1->JobSlots[removedSlot].JobSlotState, "DELETED");
  EXPECT_EQ(SelectedRow(), 0);
  EXPECT_EQ(form1->Logic->T_Movie_PLayer_FileName, first);
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Remove));
  EXPECT_EQ(previewStops, 0);

  form1->MenuItem("N13")->Click();
  form1->bsSkinSlider1->SetValue(40);
  form1->bsSkinButton7Click();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(form1->FFConv->TasksCount(), 0);
  EXPECT_TRUE(form1->bsSkinPanel5->Visible());
  EXPECT_EQ(previewStops, 1);
  EXPECT_EQ(form1->bsSkinSlider1->Value(), 0);
  for (auto g : {TCommandGroup::Remove, TCommandGroup::Clear, TCommandGroup::Start})
    EXPECT_FALSE(form1->GroupEnabled(g)) << int(g);
  EXPECT_FALSE(form1->MenuItem("N26")->Enabled);
  EXPECT_FALSE(form1->bsSkinButton21->Enabled());
}

TEST_F(Editing, ClearingFreesEverySlotSoTheNextFileTakesSlotZero) {
  Start();
  AddThree();
  Select(0);
  form1->btnRemoveClick();  // its slot is not given out again until the list is cleared
  form1->bsSkinSlider1->SetValue(30);
  form1->MenuItem("N14")->Click();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(form1->FFConv->TasksCount(), 0);
  for (int s = 0; s < TJobSlots::kCount; ++s) ASSERT_EQ(form1->JobSlots[s].JobSlotState, "kong") << s;
  EXPECT_TRUE(form1->bsSkinPanel5->Visible());
  EXPECT_EQ(previewStops, 1);
  EXPECT_EQ(form1->bsSkinSlider1->Value(), 0);
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Add));
  EXPECT_TRUE(form1->MenuItem("N2222")->Enabled);
  EXPECT_FALSE(form1->GroupEnabled(TCommandGroup::Start));
  EXPECT_FALSE(form1->MenuItem("N14")->Enabled);

  chooser.files = {Input("av.avi", "again.avi")};
  form1->btnAddClick();
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(SlotOf(0), 0);
  EXPECT_EQ(Cell(0, colTaskNumber), "1");
  EXPECT_FALSE(form1->bsSkinPanel5->Visible());
}

TEST_F(Editing, HelpAndWebSiteGoToTheOpenerAndF1ReachesTheHelp) {
  Start();
  form1->lvFiles->SetFocus();
  h.launcher.calls.clear();
  // No help document beside the program: the box says so, nothing opens.
  const std::string help = (root / "prog").string() + "/help.html";
  h.input.Key(win::VK_F1);
  EXPECT_TRUE(h.launcher.calls.empty());
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0], "找不到帮助文件：" + help);
  std::ofstream(help) << "<html></html>";
  h.input.Key(win::VK_F1);
  ASSERT_EQ(h.launcher.calls.size(), 1u);
  EXPECT_EQ(h.launcher.calls[0].back(), help);
  EXPECT_EQ(infos.size(), 1u);
  form1->MenuItem("N19")->Click();
  ASSERT_EQ(h.launcher.calls.size(), 2u);
  EXPECT_EQ(h.launcher.calls[1].back(), kMakerWebSite);
  EXPECT_EQ(form2->bsSkinLinkLabel1->URL(), kMakerWebSite);
}

TEST_F(Editing, EngineLogLinesReachTheLogOnTheUiThread) {
  Start();
  form1->FFLoggerLog(nullptr, 12, media::TLogLevel::llWarning, "abc");
  EXPECT_EQ(form1->mmoLog->Lines()->Get(form1->mmoLog->Lines()->Count() - 1), "#12.4: abc");
  // From a worker the line is handed over to the UI thread.
  std::thread t([] { media::FFLoggerInstance().Log(nullptr, media::TLogLevel::llError, "from a worker"); });
  ASSERT_TRUE(rtl::WaitWhilePumping(
      [&] {
        const int n = form1->mmoLog->Lines()->Count();
        return n > 0 && form1->mmoLog->Lines()->Get(n - 1).find(".3: from a worker") != std::string::npos;
      },
      30000));
  t.join();
  // Once the window closes, a late line is dropped.
  bool can = true;
  form1->FormCloseQuery(form1, can);
  const int before = form1->mmoLog->Lines()->Count();
  media::FFLoggerInstance().Log(nullptr, media::TLogLevel::llError, "late");
  h.Pump();
  EXPECT_EQ(form1->mmoLog->Lines()->Count(), before);
}

TEST_F(Editing, TheAboutBoxShowsModallyAndOkClosesIt) {
  Start();
  EXPECT_EQ(form1->About, form2);
  EXPECT_EQ(form2->Caption(), "关于软件");
  EXPECT_EQ(form2->bsSkinStdLabel1->Caption(), "VarnelMOD格式转换器");
  EXPECT_EQ(form2->bsSkinStdLabel2->Caption(), "Ver:15.7.0.0");
  EXPECT_FALSE(form2->Image1->Bitmap().Empty());
  bool shown = false;
  rtl::Post([&] {
    shown = form2->Visible();
    form2->bsSkinButton1->ButtonClick();
  });
  form1->MenuItem("N5")->Click();  // returns once "确定" closed it
  EXPECT_TRUE(shown);
  EXPECT_FALSE(form2->Visible());
}

TEST_F(Editing, TheHiddenSettingsDialogLeavesPreset100AndVideoOnInTheMainJob) {
  Start(false);
  // Whatever the main window last chose...
  form1->Logic->All_Trant_Number = 1203;
  form1->Logic->Job.Video_DisableVideo = true;
  cl::Application->CreateForm(form6);
  h.Pump();
  EXPECT_EQ(form1->Logic->All_Trant_Number, 100);
  EXPECT_FALSE(form1->Logic->Job.Video_DisableVideo);
  EXPECT_FALSE(form6->Visible());
  EXPECT_EQ(form6->ClientWidth(), 958);
  EXPECT_EQ(form6->ClientHeight(), 474);
  EXPECT_EQ(form6->bsSkinPageControl1->PageCount(), 4);
  EXPECT_EQ(form6->bsSkinOfficeComboBox1->Items()->Count(), 15);
  EXPECT_EQ(form6->ImageList1->Count(), 12);
  // Its plain buttons drive its logic: "初始化数据" resets the main job.
  form1->Logic->Job.Video_FrameSize = "1x1";
  form6->Button6->Click();
  EXPECT_EQ(form1->Logic->Job.Video_FrameSize, "");
}

TEST_F(Editing, ClickingAnotherRowCommitsTheNameToTheRowBeingRenamed) {
  Start();
  AddThree();
  Select(0);
  const std::string other = Cell(2, colOutputFile);
  form1->bsSkinButton21Click();
  form1->edt->SetText("kept");
  h.input.MoveTo(form1->lvFiles, 20, Row(2)->Top() + 4);
  h.input.Click();
  EXPECT_EQ(Cell(0, colOutputFile), "kept.avi");
  EXPECT_EQ(Cell(2, colOutputFile), other);
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_FALSE(form1->edt->Visible());
}

// Adding a file gives its task an output file at once (empty until the run):
// changing the row's category and format must not count that file as taken.
TEST_F(Editing, AFormatChangeNumbersTheNameOnlyAgainstFilesThatAreThere) {
  Start();
  chooser.files = {Input("av.avi", "clip.avi")};
  form1->btnAddClick();
  ASSERT_EQ(Rows(), 1) << log;
  ASSERT_FALSE(fs::exists(root / "out" / "clip.avi")) << "adding makes no output file";
  Select(0);
  form1->bsSkinOfficeComboBox2->SetItemIndex(2);
  h.Pump();
  EXPECT_EQ(Cell(0, colOutputFile), "clip.avi");
  form1->bsSkinOfficeComboBox1->SetItemIndex(1);
  h.Pump();
  EXPECT_EQ(Cell(0, colOutputFile), "clip.mp4");
  // A file that really is there still numbers the name.
  std::ofstream(root / "out" / "clip.mkv") << "x";
  int mkv = -1;
  auto* formats = form1->bsSkinOfficeComboBox1;
  for (int i = 0; i < formats->Items()->Count() && mkv < 0; ++i)
    if (formats->Items()->Items(i)->Title().find("(*.mkv)") != std::string::npos) mkv = i;
  ASSERT_GE(mkv, 0);
  formats->SetItemIndex(mkv);
  h.Pump();
  EXPECT_EQ(Cell(0, colOutputFile), "clip_1.mkv");
}

// The output folder's edit is read-only: a click on it hands the keyboard
// back to the file list.
TEST_F(Editing, AClickOnTheOutputFolderGivesTheFocusToTheList) {
  Start();
  h.input.MoveTo(form1->Video_OutPut_Folder_Edit, 20, 8);
  h.input.Click();
  EXPECT_EQ(win::GetFocus(), form1->lvFiles->Handle());
}

// Every row converts into one folder: a rename to a name another row holds
// is numbered, so no two tasks write one file.
TEST_F(Editing, ARenameToAnotherRowsNameIsNumbered) {
  Start();
  AddThree();
  const std::string taken = Cell(1, colOutputFile);
  Select(0);
  form1->bsSkinButton21Click();
  form1->edt->SetText(ChangeFileExt(taken, ""));
  form1->edtExit();
  const std::string ext = ExtractFileExt(taken);
  EXPECT_EQ(Cell(0, colOutputFile), ChangeFileExt(taken, "") + "_1" + ext);
  EXPECT_EQ(form1->JobSlots[SlotOf(0)].OO1.FileName, (root / "out").string() + "/" + Cell(0, colOutputFile));
}
