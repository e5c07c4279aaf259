// What the user owns stays as it was, and every failure is told: adding
// files leaves the output folder alone, "取消" keeps the stored options, a
// stop is no completion and leaves no partial file, a format chosen on a row
// converts as if chosen before adding, and skipped files are named.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "app/ConversionRun.h"
#include "app/FormatCatalogue.h"
#include "platform/rtl/dispatcher.h"
#include "tests/app/common/ProgramFixture.h"

namespace fs = std::filesystem;

namespace {

using Folder = std::map<std::string, std::string>;

Folder Snapshot(const fs::path& dir) {
  Folder out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::ifstream in(it->path(), std::ios::binary);
    out[it->path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return out;
}

// The fields a task's output takes from its job, as one comparable text.
std::string Describe(const media::TOutputOptions& o) {
  return o.VideoCodec + "|" + o.VideoPreset + "|" + o.AudioCodec + "|" + std::to_string(o.AudioChannels) + "|" +
         std::to_string(o.AudioSampleRate) + "|" + std::to_string(o.AudioBitrate) + "|" +
         std::to_string(o.VideoBitrate) + "|" + o.FrameRate + "|" + o.FrameSize + "|" + o.FrameAspectRatio + "|" +
         o.VideoTag + "|" + (o.DisableVideo ? "novideo" : "video") + "|" + std::to_string(int(o.TargetType)) + "|" +
         std::to_string(int(o.NormType)) + "|" + o.FileFormat + "|" + std::to_string(o.AudioVolume) + "|" +
         o.VideoFilters;
}

class Owned : public programtest::ProgramTest {
 protected:
  void SetUp() override { SetUpProgram("owned_"); }
  std::string Cell(int row, int col) { return form1->lvFiles->Items()->Item(row)->SubItems()->Get(col - 1); }
  int Rows() { return form1->lvFiles->Items()->Count(); }
  fs::path Out() { return root / "out"; }
  bool RunEnded() {
    return rtl::WaitWhilePumping(
        [&] { return form1->GroupEnabled(TCommandGroup::Clear) && !form1->GroupEnabled(TCommandGroup::Stop); }, 180000);
  }
  void AddFiles(const std::vector<std::string>& files) {
    chooser.files = files;
    form1->Button8Click();
  }
  void ChooseKey(int key) {
    form1->bsSkinOfficeComboBox2->SetItemIndex(catalogue::ChooserItemOf(key));
    form1->bsSkinOfficeComboBox1->SetItemIndex(key % 100);
    ASSERT_EQ(form1->Logic->CurrentPresetKey(), key);
  }
  // A clip long enough that a stop comes before its end.
  std::string LongInput(const std::string& name) {
    const fs::path p = root / "in" / name;
    EXPECT_TRUE(
        mediatest::RunFfmpeg("-f lavfi -i testsrc=size=320x240:rate=25:duration=60 -f lavfi -i "
                             "sine=frequency=440:duration=60 -c:v mpeg4 -c:a libmp3lame -ac 2 '" +
                             p.string() + "'"));
    return p.string();
  }
  // Starts the list and waits for the first row's first progress.
  void StartAndWaitForProgress() {
    form1->btnStartClick();
    ASSERT_TRUE(rtl::WaitWhilePumping([&] { return !Cell(0, colProgress).empty(); }, 60000));
  }
};

}  // namespace

TEST_F(Owned, AddingOverAnExistingOutputLeavesItAndTheFolderAloneUntilStart) {
  Start();
  fs::create_directories(Out());
  const std::string precious(12345, 'x');
  std::ofstream(Out() / "keepme.avi", std::ios::binary) << precious;
  const Folder before = Snapshot(Out());
  struct Mode {
    bool overwrite;
    const char* name;  // the row's output name
  };
  for (const Mode& m : {Mode{true, "keepme.avi"}, Mode{false, "keepme_1.avi"}}) {
    SCOPED_TRACE(m.overwrite ? "overwrite" : "rename");
    (m.overwrite ? form5->bsSkinCheckRadioBox3 : form5->bsSkinCheckRadioBox6)->SetChecked(true);
    AddFiles({Input("av.mp4", "keepme.mp4"), Input("av.avi", "other.avi")});
    ASSERT_EQ(Rows(), 2) << log;
    EXPECT_EQ(Cell(1, colOutputFile), m.name);
    EXPECT_EQ(Snapshot(Out()), before);
    // Removing and clearing rows take nothing away either.
    form1->btnClearClick();
    EXPECT_EQ(Snapshot(Out()), before);
  }
  // The outputs come with the start, beside the file that was there.
  form5->bsSkinCheckRadioBox5->SetChecked(true);
  AddFiles({Input("av.mp4", "keepme.mp4")});
  ASSERT_EQ(Rows(), 1) << log;
  EXPECT_EQ(Snapshot(Out()), before);
  form1->btnStartClick();
  ASSERT_TRUE(RunEnded());
  const Folder after = Snapshot(Out());
  EXPECT_EQ(after.at("keepme.avi"), precious);
  EXPECT_GT(after.at("keepme_1.avi").size(), 0u);
  EXPECT_EQ(after.size(), 2u);
}

TEST_F(Owned, CancelLeavesEverySettingAsStored) {
  Start();
  const TOptionValues stored = form5->Values();
  ASSERT_EQ(stored.AfterDone, 0);                  // "自动打开输出文件夹"
  form5->bsSkinCheckRadioBox2->SetChecked(true);   // "自动关闭计算机"
  form5->bsSkinCheckRadioBox3->SetChecked(true);   // overwrite
  form5->bsSkinCheckRadioBox10->SetChecked(true);  // lowest priority
  form5->bsSkinButton1Click();                     // "取消"
  const TOptionValues now = form5->Values();
  EXPECT_EQ(now.AfterDone, stored.AfterDone);
  EXPECT_EQ(now.OverwriteFile, stored.OverwriteFile);
  EXPECT_EQ(now.ThreadPriority, stored.ThreadPriority);
  // The next run does what is stored: the folder opens, nothing powers off.
  AddFiles({Input("av.avi", "a.avi")});
  ASSERT_EQ(Rows(), 1) << log;
  form1->btnStartClick();
  ASSERT_TRUE(RunEnded());
  EXPECT_EQ(h.launcher.calls.size(), 1u);
  EXPECT_TRUE(h.power.requests.empty());
  // "确定" keeps a change.
  form5->bsSkinCheckRadioBox4->SetChecked(true);
  form5->bsSkinButton6Click();
  EXPECT_EQ(form5->Values().AfterDone, 2);
}

TEST_F(Owned, AStopIsNoCompletionAndLeavesNoPartialOutput) {
  Start();
  form5->bsSkinCheckRadioBox2->SetChecked(true);  // "自动关闭计算机"
  AddFiles({LongInput("long.avi")});
  ASSERT_EQ(Rows(), 1) << log;
  h.launcher.calls.clear();
  StartAndWaitForProgress();
  form1->btnStopClick();
  ASSERT_TRUE(RunEnded());
  EXPECT_TRUE(h.power.requests.empty());
  EXPECT_TRUE(h.launcher.calls.empty());
  EXPECT_TRUE(h.sound.played.empty());
  EXPECT_TRUE(failures.empty());
  // The row keeps the percentage it reached; its half-made file is gone.
  const std::string progress = Cell(0, colProgress);
  EXPECT_EQ(progress.back(), '%');
  EXPECT_NE(progress, "100%");
  EXPECT_FALSE(fs::exists(Out() / Cell(0, colOutputFile)));
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Start));
}

TEST_F(Owned, AFailedTaskForbidsThePowerOffAndACleanRunAllowsIt) {
  Start();
  form5->bsSkinCheckRadioBox2->SetChecked(true);  // "自动关闭计算机"
  const std::string broken = Input("av.avi", "broken.avi");
  AddFiles({Input("av.mp4", "good.mp4"), broken});
  ASSERT_EQ(Rows(), 2) << log;
  std::ofstream(broken, std::ios::trunc) << "not a film any more";
  form1->btnStartClick();
  ASSERT_TRUE(RunEnded());
  EXPECT_EQ(failures.size(), 1u);
  EXPECT_TRUE(h.power.requests.empty());
  // Without the broken row the same list ends in the power-off.
  form1->btnClearClick();
  AddFiles({Input("av.mp4", "good.mp4")});
  form1->btnStartClick();
  ASSERT_TRUE(RunEnded());
  EXPECT_EQ(h.power.requests.size(), 1u);
}

TEST_F(Owned, AStartWhileAStopWaitsIsRefusedAndWorksAfterwards) {
  Start();
  form5->bsSkinCheckRadioBox5->SetChecked(true);
  AddFiles({LongInput("long.avi")});
  ASSERT_EQ(Rows(), 1) << log;
  StartAndWaitForProgress();
  // The start is clicked while the stop still waits for the task.
  bool duringStop = false;
  rtl::Post([&] {
    duringStop = form1->stopping_;
    form1->btnStartClick();
  });
  form1->btnStopClick();
  ASSERT_TRUE(RunEnded());
  EXPECT_TRUE(duringStop);
  EXPECT_TRUE(h.exceptions.empty()) << h.exceptions.front();
  EXPECT_TRUE(failures.empty());
  // A start after the stop converts the list again.
  fs::copy_file(Input("av.avi", "short.avi"), root / "in" / "long.avi", fs::copy_options::overwrite_existing);
  form1->btnStartClick();
  ASSERT_TRUE(RunEnded());
  EXPECT_EQ(Cell(0, colProgress), "100%");
}

TEST_F(Owned, ChoosingAFormatOnARowConvertsAsChoosingItBeforeAdding) {
  Start(false);
  form1->Logic->Button31Click = nullptr;  // no preview of every row: only the jobs matter here
  const std::string a = Input("av.avi", "a.avi"), b = Input("av.avi", "b.avi");
  const int startKey = form1->Logic->CurrentPresetKey();
  // Per preset two rows: one added with the start-up format and then
  // changed to the preset while selected, one added with the preset chosen.
  for (const catalogue::JobRow& preset : catalogue::kJobRows) {
    if (Rows() > 0) form1->lvFiles->Items()->Item(Rows() - 1)->SetSelected(false);
    ChooseKey(startKey);
    AddFiles({a});
    ChooseKey(preset.key);
    AddFiles({b});
  }
  ASSERT_EQ(Rows(), 2 * catalogue::kPresetCount) << log;
  form1->button28Click();
  ASSERT_EQ(form1->FFConv->TasksCount(), Rows()) << log;
  for (int i = 0; i < catalogue::kPresetCount; ++i) {
    SCOPED_TRACE("key " + std::to_string(catalogue::kJobRows[i].key));
    const int changed = 2 * i, chosen = 2 * i + 1;
    for (int col = colVideoCodec; col <= colNormType; ++col)
      EXPECT_EQ(Cell(changed, col), Cell(chosen, col)) << "column " << col;
    EXPECT_EQ(Describe(*form1->FFConv->TaskOutputOptions(changed, 0)),
              Describe(*form1->FFConv->TaskOutputOptions(chosen, 0)));
    if (HasFailure()) break;
  }
}

TEST_F(Owned, FilesThatAreNotAddedAreNamedInOneBox) {
  Start();
  const fs::path empty = root / "in" / "empty.mp4";
  std::ofstream(empty).close();
  AddFiles({Input("av.avi", "fine.avi"), empty.string(), Input("text.avi", "text.avi")});
  EXPECT_EQ(Rows(), 1) << log;
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0],
            "以下文件没有添加：\ntext.avi：不是能识别的视频或音频文件，或文件已损坏\n"
            "empty.mp4：文件是空的（0 字节）");
  // An output folder that is not there.
  form1->FileOutPutPath = (root / "gone").string();
  form1->Video_OutPut_Folder_Edit->SetText(form1->FileOutPutPath);
  AddFiles({Input("av.avi", "second.avi")});
  EXPECT_EQ(Rows(), 1);
  ASSERT_EQ(infos.size(), 2u);
  EXPECT_EQ(infos[1], "以下文件没有添加：\nsecond.avi：输出文件夹不存在");
  // A full list.
  form1->FileOutPutPath = Out().string();
  form1->Video_OutPut_Folder_Edit->SetText(form1->FileOutPutPath);
  media::TInputOptions in;
  media::TOutputOptions out;
  while (form1->JobSlots.Store(in, out) >= 0) {
  }
  AddFiles({Input("av.avi", "third.avi")});
  ASSERT_EQ(infos.size(), 3u);
  EXPECT_EQ(infos[2], "以下文件没有添加：\nthird.avi：列表已满（最多 501 个文件），请先清空列表");
  EXPECT_NE(log.find("***File load error: "), std::string::npos);
}

TEST_F(Owned, ATaskThatFailsNamesItsFileAndTheReasonAndForbidsThePowerOff) {
  Start();
  form5->bsSkinCheckRadioBox2->SetChecked(true);  // "自动关闭计算机"
  AddFiles({Input("av.avi", "second.avi"), LongInput("first.avi")});
  ASSERT_EQ(Rows(), 2) << log;
  const std::string second = Cell(1, colOutputFile);
  StartAndWaitForProgress();
  // While the first task runs, the second one's output name becomes a
  // folder: that task cannot make its file when it starts.
  fs::create_directories(Out() / second);
  ASSERT_TRUE(RunEnded());
  EXPECT_EQ(Cell(0, colProgress), "100%");
  EXPECT_NE(Cell(1, colProgress), "100%");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], "文件：" + form1->lvFiles->Items()->Item(1)->Caption() + "\n输出：" +
                             (Out() / second).string() + "\n" + (Out() / second).string() + ": Is a directory");
  EXPECT_TRUE(h.power.requests.empty());
}
