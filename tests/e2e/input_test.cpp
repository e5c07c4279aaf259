// Input as a user gives it through the X server: a double click on a row's
// output cell renames it, Alt closes an open menu with the menu mode, and
// a hovered button's hint is drawn from the skin.
#include "tests/e2e/UserSession.h"

using namespace e2e;

namespace {

class InputSession : public UserSession {
 protected:
  // The windows on the screen now besides the main one.
  std::vector<std::string> Others() {
    std::vector<std::string> ids;
    for (auto& id : Windows(".", "--class"))
      if (id != main) ids.push_back(id);
    return ids;
  }
  // Hovers a control and waits for a window that was not there before (the
  // hint); its pixels as the screen shows them.
  QImage HintOver(cl::TControl* c) {
    const cl::TPoint away = Twin::At(twin->form1, twin->form1->bsSkinPanel3, 4, 4);
    Xdo({"mousemove", std::to_string(mainAt.x + away.X), std::to_string(mainAt.y + away.Y)});
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));  // any earlier hint has gone
    const std::vector<std::string> before = Others();
    const cl::TPoint p = Twin::At(twin->form1, c);
    Xdo({"mousemove", std::to_string(mainAt.x + p.X), std::to_string(mainAt.y + p.Y)});
    std::string hint;
    WaitFor([&] {
      for (auto& id : Others())
        if (std::find(before.begin(), before.end(), id) == before.end()) hint = id;
      return !hint.empty();
    });
    if (hint.empty()) return {};
    const Rect r = Geometry(hint);
    return SettledScreen().copy(r.x, r.y, r.w, r.h);
  }
  static int MeanLuminance(const QImage& img) {
    int64_t sum = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        QRgb p = img.pixel(x, y);
        sum += (qRed(p) * 3 + qGreen(p) * 6 + qBlue(p)) / 10;
      }
    return img.isNull() ? -1 : int(sum / (int64_t(img.width()) * img.height()));
  }
};

}  // namespace

TEST_F(InputSession, DoubleClickRenamesAltClosesTheMenuAndHintsFollowTheSkin) {
  const std::string clip = MakeInput("clip.avi", "320x240");
  StartProgram();
  TForm1* f = twin->form1;

  // "文件" opened with a click; Alt leaves the menu mode and takes the dropdown with it.
  const cl::TPoint fileMenu = Twin::At(f, f->bsSkinMainMenuBar1, 18);
  const cl::TPoint inDropdown{fileMenu.X + 10, fileMenu.Y + f->bsSkinMainMenuBar1->Height() + 12};
  ClickAt(mainAt, fileMenu);
  ASSERT_TRUE(WaitFor([&] { return PopupAt(inDropdown); })) << "the 文件 menu never opened";
  Step("file-menu");
  Keys("alt");
  EXPECT_TRUE(WaitFor([&] { return !PopupAt(inDropdown); }, 10)) << "Alt left the dropdown open";

  AddThroughOpenDialog(clip);

  // A double click on the row's output cell opens the editor there; the
  // typed name is taken with Enter.
  const cl::TRect row = f->lvFiles->Items()->Item(0)->DisplayRect(ctl::drBounds);
  const int outputX = f->lvFiles->ColumnLeft(3) + f->lvFiles->Columns()->Items(3)->Width() / 2;
  const cl::TPoint cell = Twin::At(f, f->lvFiles, outputX, (row.Top + row.Bottom) / 2);
  Xdo({"mousemove", std::to_string(mainAt.x + cell.X), std::to_string(mainAt.y + cell.Y), "click", "--repeat", "2",
       "--delay", "120", "1"});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  Xdo({"type", "--delay", "20", "dbl-named"});
  Step("double-click-editor");
  Keys("Return");

  // A hint in the light skin, for a look.
  const QImage lightHint = HintOver(f->bsSkinButton13);
  EXPECT_FALSE(lightHint.isNull()) << "no hint over 播放 in 经典蓝";
  SaveScreen((shots / "e2e-hint-classic-blue.png").string());

  Click(f->bsSkinButton2);  // "开始"
  ASSERT_TRUE(WaitFor([&] { return fs::exists(root / "opened"); }, 600)) << "the run never ended";
  const std::string outFolder = Ini("OutPath", "OutPath");
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(outFolder)) names.push_back(e.path().stem().string());
  EXPECT_EQ(names, std::vector<std::string>{"dbl-named"});

  // "皮肤": two skins on, 暗夜黑; a hovered preview button's hint is dark there.
  Click(f->bsSkinButton9);
  const std::string chooser = WaitWindow("选择皮肤");
  ASSERT_FALSE(chooser.empty()) << "the skin chooser never showed";
  Xdo({"windowfocus", "--sync", chooser});
  Keys("Down", 2);
  Keys("Return");
  ASSERT_TRUE(WaitFor([&] { return Ini("Skin", "SetSkin") == "2"; })) << "the skin was not stored";
  mainAt = Geometry(main);
  f->bsSkinData1->SetSkinIndex(2);  // the twin too, so its controls sit where the program's do
  twin->h.Pump();
  const QImage darkHint = HintOver(f->bsSkinButton13);
  ASSERT_FALSE(darkHint.isNull()) << "no hint over 播放 in 暗夜黑";
  EXPECT_LT(MeanLuminance(darkHint), 96) << "the hint is not drawn from the dark skin";
  EXPECT_GT(MeanLuminance(lightHint), MeanLuminance(darkHint));
  // Room around the text: more than a line of the skin's hint font.
  EXPECT_GE(darkHint.height(), 18);
  EXPECT_GE(darkHint.width(), 36);
  SaveScreen((shots / "e2e-hint-dark-night.png").string());

  ClickAt(mainAt, Twin::At(f, f->bsSkinMainMenuBar1, 18));
  Keys("Up");
  Keys("Return");
  EXPECT_EQ(WaitExit(), 0) << LogText();
}
