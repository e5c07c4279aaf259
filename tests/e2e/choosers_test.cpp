// A session in the dark skin: files added through the add button's menu,
// arrow keys in an open format list, and the rename editor cancelled,
// refused and used.
#include "tests/e2e/UserSession.h"

using namespace e2e;

TEST_F(UserSession, AddMenuChooserKeysAndTheRenameEditorInTheDarkSkin) {
  const std::string a = MakeInput("one.avi", "320x240"), b = MakeInput("two.avi", "320x240");
  // 暗夜黑, the third stored skin, from the start.
  {
    rtl::TIniFile ini((program.parent_path() / "option.ini").string());
    ini.WriteString("Skin", "SetSkin", "2");
  }
  twin->form1->bsSkinData1->SetSkinIndex(2);
  twin->h.Pump();
  StartProgram();
  TForm1* f = twin->form1;

  // A pixel of an empty cell of a row, where only the row's colour shows.
  auto rowColour = [&](int row) {
    const cl::TRect r = f->lvFiles->Items()->Item(row)->DisplayRect(ctl::drBounds);
    const cl::TPoint p = Twin::At(f, f->lvFiles, f->lvFiles->ColumnLeft(4) + 10, (r.Top + r.Bottom) / 2);
    return SettledScreen().pixel(mainAt.x + p.X, mainAt.y + p.Y);
  };
  AddThroughOpenDialog(a);
  Step("first-add");
  const QRgb firstAdded = rowColour(0);
  AddThroughOpenDialog(b);
  // The row each add selects is drawn selected, the first one too.
  EXPECT_EQ(rowColour(1), firstAdded);
  EXPECT_NE(rowColour(0), firstAdded);

  // Keys in the open format list move in it; the file list keeps its row
  // (no other row is opened in the preview) until Enter closes the list.
  const size_t before = Count("duration: ");
  SelectRow(0);
  ASSERT_TRUE(WaitFor([&] { return Count("duration: ") > before; })) << "row 0 never opened in the preview";
  SettledScreen();
  const size_t opened = Count("duration: ");
  const cl::TPoint item = twin->OfficeItem(f->bsSkinOfficeComboBox1, 0);
  Click(f->bsSkinOfficeComboBox1);
  ASSERT_TRUE(WaitFor([&] { return PopupAt(item); })) << "the format list never opened";
  Keys("Down", 2);
  SettledScreen();
  EXPECT_TRUE(PopupAt(item)) << "an arrow key closed the list";
  Step("format-list-keys");
  Keys("Up");
  Keys("Return");
  ASSERT_TRUE(WaitFor([&] { return !PopupAt(item); })) << "Enter left the list open";
  SettledScreen();
  EXPECT_EQ(Count("duration: "), opened) << "a key reached the file list while its chooser list was open";

  // Both rows get the second format of "常用视频" (MP4), each picked with
  // the pointer going straight onto the row the last pick used.
  const int categoryItem = 2, formatIndex = 1;
  for (int row : {0, 1}) {
    SelectRow(row);
    Choose(f->bsSkinOfficeComboBox2, categoryItem);
    Choose(f->bsSkinOfficeComboBox1, formatIndex);
  }
  SelectRow(0);

  // The editor over row 0's output name: Escape keeps the old name.
  Click(f->bsSkinButton21);
  Xdo({"type", "--delay", "20", "dropped"});
  Step("rename-editor");
  Keys("Escape");
  // A name with a "/" is refused with a hint; the editor stays for a fix.
  Click(f->bsSkinButton21);
  Xdo({"type", "--delay", "20", "bad/name"});
  Keys("Return");
  const std::string hint = WaitWindow("提示");
  ASSERT_FALSE(hint.empty()) << "no hint for a refused name";
  Step("rename-refused");
  Xdo({"windowfocus", "--sync", hint});
  Keys("Return");
  ASSERT_TRUE(WaitFor([&] { return Windows("提示").empty(); })) << "the hint stayed";
  Xdo({"type", "--delay", "20", "renamed"});
  Keys("Return");

  Click(f->bsSkinButton2);  // "开始"
  ASSERT_TRUE(WaitFor([&] { return fs::exists(root / "opened"); }, 600)) << "the run never ended";
  const std::string outFolder = Ini("OutPath", "OutPath");
  ASSERT_FALSE(outFolder.empty());
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(outFolder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"renamed.mp4", "two.mp4"}));
}
