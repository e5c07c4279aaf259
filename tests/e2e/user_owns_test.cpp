// What a user owns is not lost and a choice cancelled is not taken: a file
// added over an existing output of the same name leaves that file intact,
// "取消" in the options keeps the stored after-completion action, a stop runs
// no action and leaves no partial file, and a row changed to DVD converts
// to MPEG-2.
#include <algorithm>
#include <functional>

#include "tests/e2e/UserSession.h"

using namespace e2e;

namespace {

class UserOwns : public UserSession {
 protected:
  // Opens "选项", lets `change` click in it, and leaves with `button`.
  void InOptions(const std::function<void(const Rect&, TForm5*)>& change, skin::TbsSkinButton* TForm5::*button) {
    Click(twin->form1->bsSkinButton19);
    const std::string dlg = WaitWindow("选项");
    ASSERT_FALSE(dlg.empty()) << "the options dialog never showed";
    const Rect at = Geometry(dlg);
    TForm5* o = twin->form5;
    change(at, o);
    ClickAt(at, Twin::At(o, o->*button));
    ASSERT_TRUE(WaitFor([&] { return Windows("选项").empty(); })) << "the options dialog stayed";
  }
  // An item of an office chooser below its list's first page, as a user
  // picks it: a click opens the list, the wheel turns it until the item
  // shows, a click takes it. The twin turns its list first to learn how far.
  void ChooseBelow(skin::TbsSkinOfficeComboBox* c, int index) {
    plat::test::Input& in = twin->h.input;
    in.MoveTo(c, c->Width() / 2, c->Height() / 2);
    in.Click();
    skin::TbsPopupOfficeListBox* l = c->ListBox();
    in.MoveTo(l, l->Width() / 2, l->Height() / 2);
    int wheels = 0;
    auto shows = [&] {
      const cl::TRect r = l->Items()->Items(index)->ItemRect;
      return r.Top >= 0 && r.Bottom <= l->ClientHeight();
    };
    for (; !shows() && wheels < 40; ++wheels) in.Wheel(-120);
    ASSERT_TRUE(shows());
    const cl::TRect r = l->Items()->Items(index)->ItemRect;
    const cl::TPoint item = Twin::At(twin->form1, l, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    const cl::TPoint middle = Twin::At(twin->form1, l, l->Width() / 2, l->Height() / 2);
    in.Key(win::VK_ESCAPE);
    Click(c);
    ASSERT_TRUE(WaitFor([&] { return PopupAt(middle); })) << "the list never opened";
    Xdo({"mousemove", std::to_string(mainAt.x + middle.X), std::to_string(mainAt.y + middle.Y)});
    for (int i = 0; i < wheels; ++i) Xdo({"click", "5"});
    ClickAt(mainAt, item);
    ASSERT_TRUE(WaitFor([&] { return !PopupAt(item); })) << "the list stayed open";
    c->SetItemIndex(index);
    twin->h.Pump();
  }
  std::string Clip(const std::string& name, int seconds) {
    const std::string path = (root / "in" / name).string();
    EXPECT_TRUE(
        mediatest::RunFfmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
                             "sine=frequency=440:sample_rate=44100 -t " +
                             std::to_string(seconds) + " -c:v mpeg4 -q:v 5 -c:a libmp3lame -b:a 64k '" + path + "'"));
    return path;
  }
  size_t Lines(const fs::path& file) {
    const std::string text = ReadFile(file);
    return size_t(std::count(text.begin(), text.end(), '\n'));
  }
};

}  // namespace

TEST_F(UserOwns, AnExistingOutputStaysACancelledChoiceIsNotTakenAStopLeavesNothingAndDvdIsMpeg2) {
  // The finish sound, played through a stand-in that notes it.
  fs::create_directories(root / "prog" / "sounds");
  fs::copy_file(mediatest::Fixture("a.wav"), root / "prog" / "sounds" / "ring001.wav");
  std::ofstream(root / "bin" / "paplay") << "#!/bin/sh\necho \"$@\" >> '" << (root / "played").string() << "'\n";
  fs::permissions(root / "bin" / "paplay", fs::perms::owner_all);
  const std::string keep = Clip("keepme.mp4", 2), long20 = Clip("long.avi", 20), dvd = Clip("dvd.avi", 3);
  StartProgram();
  TForm1* f = twin->form1;
  const fs::path out = Ini("OutPath", "OutPath");
  ASSERT_FALSE(out.empty());
  fs::create_directories(out);
  const std::string precious(100000, 'k');
  std::ofstream(out / "keepme.avi", std::ios::binary) << precious;

  // "直接覆盖输出文件", then the file added over keepme.avi and the list cleared.
  InOptions([&](const Rect& at, TForm5* o) { ClickAt(at, Twin::At(o, o->bsSkinCheckRadioBox3, 8)); },
            &TForm5::bsSkinButton6);
  ASSERT_TRUE(WaitFor([&] { return Ini("Options", "Overwrite_File") == "0"; }));
  AddThroughOpenDialog(keep);
  EXPECT_EQ(ReadFile(out / "keepme.avi"), precious) << "adding touched the existing file";
  Click(f->bsSkinButton8);  // "清空"
  EXPECT_EQ(ReadFile(out / "keepme.avi"), precious) << "clearing touched the existing file";
  Step("kept");

  // " 播放提示音乐" chosen, then "取消": the stored "自动打开输出文件夹" stays.
  InOptions([&](const Rect& at, TForm5* o) { ClickAt(at, Twin::At(o, o->bsSkinCheckRadioBox4, 8)); },
            &TForm5::bsSkinButton1);
  EXPECT_EQ(Ini("Options", "After_Done"), "0");

  // A run stopped halfway: its file goes, nothing of "after completion" runs.
  AddThroughOpenDialog(long20);
  Click(f->bsSkinButton2);  // "开始"
  ASSERT_TRUE(WaitFor([&] { return fs::exists(out / "long.avi"); }, 120)) << "the run never began";
  Click(f->bsSkinButton10);  // "停止"
  ASSERT_TRUE(WaitFor([&] { return !fs::exists(out / "long.avi"); }, 120)) << "the partial file stayed";
  // Time for a wrong action to show.
  WaitFor([] { return false; }, 3);
  EXPECT_FALSE(fs::exists(root / "opened")) << "a stop opened the folder";
  EXPECT_FALSE(fs::exists(root / "played")) << "a stop played the sound";
  Step("stopped");

  // A row added with the start-up format, then changed to 常用视频 / DVD.
  Click(f->bsSkinButton8);  // "清空"
  AddThroughOpenDialog(dvd);
  const int categoryItem = 2, category = catalogue::CategoryIdMap(categoryItem);
  int dvdIndex = -1;
  for (int i = 0; i < catalogue::FormatCount(category) && dvdIndex < 0; ++i)
    if (std::string(catalogue::Format(category, i)->title).find("DVD") == 0) dvdIndex = i;
  ASSERT_GE(dvdIndex, 0);
  SelectRow(0);
  Choose(f->bsSkinOfficeComboBox2, categoryItem);
  ChooseBelow(f->bsSkinOfficeComboBox1, dvdIndex);
  Step("dvd-chosen");
  Click(f->bsSkinButton2);  // "开始"
  // The stored action runs at the end, the cancelled one does not.
  ASSERT_TRUE(WaitFor([&] { return fs::exists(root / "opened"); }, 600)) << "the run never ended";
  EXPECT_EQ(Lines(root / "opened"), 1u);
  EXPECT_FALSE(fs::exists(root / "played")) << "the cancelled choice was taken";
  EXPECT_EQ(Windows(kTitle).size(), 1u) << "a failure box showed";
  Step("dvd-done");
  int status = -1;
  const std::string streams = RunTool({"ffprobe", "-v", "error", "-show_entries", "stream=codec_name,codec_type", "-of",
                                       "csv=p=0", (out / "dvd.mpg").string()},
                                      &status);
  EXPECT_EQ(status, 0) << streams;
  EXPECT_NE(streams.find("mpeg2video,video"), std::string::npos) << streams;
  EXPECT_NE(streams.find("ac3,audio"), std::string::npos) << streams;
  EXPECT_EQ(ReadFile(out / "keepme.avi"), precious);
}
