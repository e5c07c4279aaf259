// The first session: two files added through the open dialog, converted
// with two threads, a skin switch, and the settings kept over a restart.
#include "app/ProgramDialogs.h"
#include "tests/e2e/UserSession.h"

using namespace e2e;

TEST_F(UserSession, AddsTwoFilesConvertsWithTwoThreadsSwitchesSkinAndKeepsItsSettings) {
  const std::string a = MakeInput("first.avi", "320x240"), b = MakeInput("second.avi", "320x240");
  StartProgram();
  TForm1* f = twin->form1;
  const QRgb firstSkin = CaptionColour();

  AddThroughOpenDialog(a);
  AddThroughOpenDialog(b);

  // The first row: category "常用视频" (third in the chooser), its second
  // format (MP4), the frame size two rows below "保持原分辨率". The second
  // row keeps the defaults it was added with.
  const int categoryItem = 2, formatIndex = 1, sizeItem = 2;
  SelectRow(0);
  Choose(f->bsSkinOfficeComboBox2, categoryItem);
  Choose(f->bsSkinOfficeComboBox1, formatIndex);
  Choose(f->bsSkinComboBox1, sizeItem);
  Step("chosen");
  SelectRow(1);
  SelectRow(0);

  PlayAndPausePreview();
  const fs::path snapshot = SnapshotAsPng("first");
  const QImage picture(QString::fromStdString(snapshot.string()), "PNG");
  EXPECT_EQ(picture.size(), QSize(320, 240)) << snapshot;
  EXPECT_EQ(fs::path(Ini("SnapShot", "Dir")), root / "home" / "Varnel视频软件" / "快照");

  // The first row's output gets a name of its own.
  RenameSelectedRow("clip-one");

  SetThreadCount(2);

  Click(f->bsSkinButton2);   // "开始"
  Click(f->bsSkinButton11);  // "暂停"
  Click(f->bsSkinButton12);  // "继续", in the same place
  // The run's end opens the output folder once.
  ASSERT_TRUE(WaitFor([&] { return fs::exists(root / "opened"); }, 600)) << "the run never ended";
  Step("done");
  const std::string outFolder = Ini("OutPath", "OutPath");
  ASSERT_FALSE(outFolder.empty());
  EXPECT_EQ(ReadFile(root / "opened"), outFolder + "\n");
  EXPECT_EQ(Windows(kTitle).size(), 1u) << "a failure box showed";

  // Both outputs decode whole, at their rows' sizes, with their presets' codecs.
  struct Expected {
    const char* stem;
    int key, sizeItem;
  };
  const Expected rows[] = {
      {"clip-one", catalogue::PresetKey(catalogue::CategoryIdMap(categoryItem), formatIndex), sizeItem},
      {"second", catalogue::PresetKey(catalogue::CategoryIdMap(0), 0), -1}};
  std::vector<fs::path> outputs;
  for (auto& e : fs::directory_iterator(outFolder)) outputs.push_back(e.path());
  EXPECT_EQ(outputs.size(), 2u);
  for (const Expected& e : rows) {
    const catalogue::JobRow* job = catalogue::JobRowFor(e.key);
    const catalogue::OptionCell& cell = catalogue::OptionRowFor(e.key)->cells[0];
    const std::string size = catalogue::List(cell.list).items[e.sizeItem < 0 ? cell.defaultIndex : e.sizeItem];
    fs::path out;
    for (auto& o : outputs)
      if (o.filename().string().rfind(e.stem, 0) == 0) out = o;
    ASSERT_FALSE(out.empty()) << "no output for " << e.stem;
    EXPECT_EQ(out.extension().string(), job->ext);
    int status = -1;
    const std::string streams = RunTool({"ffprobe", "-v", "error", "-show_entries",
                                         "stream=codec_type,codec_name,width,height", "-of", "csv=p=0", out.string()},
                                        &status);
    EXPECT_EQ(status, 0) << out;
    const std::string w = size.substr(0, size.find('*')), h = size.substr(size.find('*') + 1);
    EXPECT_NE(streams.find(std::string(job->videoCodec) + ",video," + w + "," + h), std::string::npos)
        << e.stem << ": " << streams;
    EXPECT_NE(streams.find(std::string(job->audioCodec) == "libmp3lame" ? "mp3,audio" : "aac,audio"), std::string::npos)
        << e.stem << ": " << streams;
    const std::string errors = RunTool({"ffmpeg", "-v", "error", "-i", out.string(), "-f", "null", "-"}, &status);
    EXPECT_EQ(status, 0) << out << ": " << errors;
  }

  // "皮肤": the chooser's next skin, confirmed with Enter.
  const std::string skinBefore = Ini("Skin", "SetSkin");
  Click(f->bsSkinButton9);
  const std::string chooser = WaitWindow(kSkinChooserTitle);
  ASSERT_FALSE(chooser.empty()) << "the skin chooser never showed";
  Xdo({"windowfocus", "--sync", chooser});
  Keys("Down");
  Keys("Return");
  ASSERT_TRUE(WaitFor([&] { return Ini("Skin", "SetSkin") != skinBefore; })) << "the skin was not stored";
  const std::string skinAfter = Ini("Skin", "SetSkin");
  EXPECT_EQ(skinAfter, std::to_string(std::atoi(skinBefore.c_str()) + 1));
  ASSERT_TRUE(WaitFor([&] { return CaptionColour() != firstSkin; })) << "the window kept its skin";
  const QRgb secondSkin = CaptionColour();
  const Rect secondSize = Geometry(main);
  SaveScreen((shots / "e2e-after-skin.png").string());

  // 文件 > 退出: the menu opened with a click, its last item with the keyboard.
  ClickAt(mainAt, Twin::At(f, f->bsSkinMainMenuBar1, 18));
  Keys("Up");
  Keys("Return");
  EXPECT_EQ(WaitExit(), 0) << LogText();

  // A second start finds the skin and the output folder kept, and shows that skin.
  StartProgram();
  EXPECT_EQ(Ini("Skin", "SetSkin"), skinAfter);
  EXPECT_EQ(Ini("OutPath", "OutPath"), outFolder);
  EXPECT_EQ(CaptionColour(), secondSkin);
  // The whole window: its client area framed by that skin, nothing cut off.
  EXPECT_EQ(Geometry(main).w, secondSize.w);
  EXPECT_EQ(Geometry(main).h, secondSize.h);
  SaveScreen((shots / "e2e-restarted.png").string());
  ClickAt(mainAt, Twin::At(f, f->bsSkinMainMenuBar1, 18));
  Keys("Up");
  Keys("Return");
  EXPECT_EQ(WaitExit(), 0) << LogText();
}
