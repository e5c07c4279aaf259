// Adding files and running the list through the real window and engine:
// fixture files go in through the file-chooser seam, the list runs with two
// threads, rows show their progress, the after-completion action runs once
// and the outputs decode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "platform/cl/application.h"
#include "platform/rtl/dispatcher.h"
#include "platform/testkit/harness.h"
#include "tests/app/common/ProgramFixture.h"
#include "tests/media/common/MediaFixtures.h"

namespace fs = std::filesystem;

namespace {

class Conversion : public programtest::ProgramTest {
 protected:
  void SetUp() override { SetUpProgram(""); }
  std::string Cell(int row, int col) { return form1->lvFiles->Items()->Item(row)->SubItems()->Get(col - 1); }
  int Rows() { return form1->lvFiles->Items()->Count(); }
  // Waits (pumping) until the run's end was handled.
  bool RunEnded() {
    return rtl::WaitWhilePumping(
        [&] { return form1->GroupEnabled(TCommandGroup::Clear) && !form1->GroupEnabled(TCommandGroup::Stop); }, 180000);
  }
};

}  // namespace

TEST_F(Conversion, ThreeFilesAddedAndRunWithTwoThreadsEndIn100PercentAndOneFolderOpening) {
  Start();
  chooser.files = {Input("av.avi", "a.avi"), Input("av.mp4", "b.mp4"), Input("av.mkv", "c.mkv")};
  form1->Button8Click();
  ASSERT_EQ(Rows(), 3) << log;
  // Added from the last of the dialog's list to the first; the last row selected.
  EXPECT_EQ(form1->lvFiles->Items()->Item(0)->Caption(), chooser.files[2]);
  EXPECT_EQ(form1->lvFiles->Items()->Item(2)->Caption(), chooser.files[0]);
  EXPECT_EQ(form1->lvFiles->Selected(), form1->lvFiles->Items()->Item(2));
  EXPECT_EQ(Cell(0, colDuration), "00:00:02");
  EXPECT_EQ(Cell(0, colOutputFile), "c.avi");
  EXPECT_EQ(Cell(1, colTaskNumber), "2");
  EXPECT_FALSE(form1->bsSkinPanel5->Visible());
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Start));
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Remove));
  EXPECT_NE(log.find("***Can do convert."), std::string::npos);

  form5->bsSkinComboBox2->SetItemIndex(1);  // two files at once
  std::vector<std::string> seenProgress;
  h.launcher.calls.clear();
  form1->btnStartClick();
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Stop));
  EXPECT_FALSE(form1->GroupEnabled(TCommandGroup::Add));
  EXPECT_FALSE(form1->bsSkinComboBox1->Enabled());
  ASSERT_TRUE(RunEnded());
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(Cell(r, colProgress), "100%") << r;
    EXPECT_EQ(Cell(r, colCurrentTime).substr(0, 6), "00:00:") << r;
    EXPECT_NE(Cell(r, colConvertedSize).find("MB"), std::string::npos) << r;
    const fs::path out = root / "out" / Cell(r, colOutputFile);
    EXPECT_TRUE(fs::exists(out)) << out;
    EXPECT_TRUE(mediatest::RunFfmpeg("-i '" + out.string() + "' -f null -")) << out;
  }
  // The after-completion action: the output folder opened once.
  ASSERT_EQ(h.launcher.calls.size(), 1u);
  EXPECT_EQ(h.launcher.calls[0].back(), (root / "out").string());
  EXPECT_TRUE(h.power.requests.empty());
  EXPECT_TRUE(failures.empty());
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Clear));
  EXPECT_FALSE(form1->GroupEnabled(TCommandGroup::Start));
  EXPECT_TRUE(form1->bsSkinComboBox1->Enabled());
}

TEST_F(Conversion, ABrokenFileGetsTheFailureTextAndTheOthersFinish) {
  Start();
  const std::string broken = Input("av.avi", "broken.avi");
  chooser.files = {Input("av.mp4", "good1.mp4"), broken, Input("a.wav", "good2.wav")};
  form1->Button8Click();
  ASSERT_EQ(Rows(), 3) << log;
  // The file turns to rubbish after it was added.
  std::ofstream(broken, std::ios::trunc) << "not a film any more";
  form5->bsSkinCheckRadioBox5->SetChecked(true);  // nothing after the run
  form1->btnStartClick();
  ASSERT_TRUE(RunEnded());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(Cell(1, colProgress), failures[0]);
  EXPECT_NE(Cell(1, colProgress), "100%");
  EXPECT_EQ(Cell(0, colProgress), "100%");
  EXPECT_EQ(Cell(2, colProgress), "100%");
  EXPECT_TRUE(h.launcher.calls.empty());
}

TEST_F(Conversion, AddingSkipsWhatCannotBeReadAndAnEmptyFolderSaysSo) {
  Start();
  // A folder with two films and a text file: the text file is logged and
  // skipped, the films become rows.
  fs::create_directories(root / "folder");
  fs::copy_file(mediatest::Fixture("av.avi"), root / "folder" / "x.avi");
  fs::copy_file(mediatest::Fixture("a.mp3"), root / "folder" / "y.mp3");
  std::ofstream(root / "folder" / "notes.txt") << "hello";
  chooser.folder = (root / "folder").string();
  form1->Button12Click();
  EXPECT_EQ(Rows(), 2) << log;
  EXPECT_NE(log.find("***File load error: "), std::string::npos);
  // The skipped file is also named on screen, with the reason.
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0], "以下文件没有添加：\nnotes.txt：不是能识别的视频或音频文件，或文件已损坏");
  // A folder with nothing usable says so, in the same box.
  fs::create_directories(root / "empty");
  std::ofstream(root / "empty" / "readme") << "text";
  chooser.folder = (root / "empty").string();
  form1->Button12Click();
  EXPECT_EQ(Rows(), 2);
  ASSERT_EQ(infos.size(), 2u);
  EXPECT_EQ(infos[1],
            "在该目录没有发现可以用的视频或音频文件！\n\n以下文件没有添加：\nreadme：不是能识别的视频或音频文件，或文件"
            "已损坏");
  // Cancelling the dialog adds nothing and says nothing.
  chooser.files.clear();
  form1->btnAddClick();
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(infos.size(), 2u);
}

TEST_F(Conversion, PauseResumeAndStopMidRunClaimNothingUnfinished) {
  Start();
  chooser.files = {Input("chap.mkv", "long1.mkv"), Input("chap.mkv", "long2.mkv")};
  form1->Button8Click();
  ASSERT_EQ(Rows(), 2) << log;
  form5->bsSkinCheckRadioBox5->SetChecked(true);
  form5->bsSkinCheckRadioBox9->SetChecked(true);  // "系统空闲时进行"
  form1->btnStartClick();
  EXPECT_EQ(form1->FFConv->ThreadPriority(), rtl::tpIdle);
  form1->bsSkinButton11Click();
  EXPECT_FALSE(form1->GroupEnabled(TCommandGroup::Pause));
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Resume));
  EXPECT_TRUE(form1->bsSkinButton12->Visible());
  EXPECT_FALSE(form1->bsSkinButton11->Visible());
  form1->bsSkinButton12Click();
  EXPECT_TRUE(form1->bsSkinButton11->Visible());
  EXPECT_FALSE(form1->bsSkinButton12->Visible());
  form1->btnStopClick();
  ASSERT_TRUE(RunEnded());
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Start));
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Clear));
  // A stopped task may have written part of its file, but its row does not
  // say it is done unless it really finished.
  for (int r = 0; r < 2; ++r) {
    const fs::path out = root / "out" / Cell(r, colOutputFile);
    if (Cell(r, colProgress) == "100%") EXPECT_TRUE(mediatest::RunFfmpeg("-i '" + out.string() + "' -f null -"));
  }
  EXPECT_TRUE(failures.empty());
}

TEST_F(Conversion, ClosingDuringARunStopsItAndNothingIsHandledAfterwards) {
  Start();
  chooser.files = {Input("chap.mkv", "long.mkv")};
  form1->btnAddClick();
  ASSERT_EQ(Rows(), 1) << log;
  h.launcher.calls.clear();
  form1->btnStartClick();
  const std::string before = Cell(0, colProgress);
  bool can = true;
  form1->FormCloseQuery(form1, can);
  EXPECT_TRUE(can);
  h.Pump();
  rtl::WaitWhilePumping([] { return false; }, 300);
  // No row update and no after-completion action once the close began.
  EXPECT_EQ(Cell(0, colProgress), before);
  EXPECT_TRUE(h.launcher.calls.empty());
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Stop));
}
