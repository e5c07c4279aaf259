// The live preview during conversion: the options' preview box checked by
// mouse, a run started, the preview window found on the screen showing the
// moving pictures of the conversion, and gone once the task has ended.
#include <set>

#include "tests/e2e/UserSession.h"

using namespace e2e;

namespace {

// The preview window is captioned with the time of its picture.
const char kPreviewName[] = "[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}";

// Distinct colours in the middle half of a window's area of the screen.
int Colours(const QImage& screen, const Rect& r) {
  std::set<QRgb> seen;
  for (int y = r.y + r.h / 4; y < r.y + r.h * 3 / 4; y += 2)
    for (int x = r.x + r.w / 4; x < r.x + r.w * 3 / 4; x += 2) seen.insert(screen.pixel(x, y) & 0xffffff);
  return int(seen.size());
}

}  // namespace

TEST_F(UserSession, TheCheckedLivePreviewShowsTheConversionInAWindowThatGoesWithTheTask) {
  const std::string clip = MakeInput("clip.avi", "320x240");
  StartProgram();
  AddThroughOpenDialog(clip);

  // "选项": "转换时进行实时视频预览" checked with a click on its box, then "确定".
  Click(twin->form1->bsSkinButton19);
  const std::string dlg = WaitWindow("选项");
  ASSERT_FALSE(dlg.empty()) << "the options dialog never showed";
  const Rect at = Geometry(dlg);
  TForm5* o = twin->form5;
  ClickAt(at, Twin::At(o, o->bsSkinCheckRadioBox8, 8));
  ClickAt(at, Twin::At(o, o->bsSkinButton6));
  ASSERT_TRUE(WaitFor([&] { return Windows("选项").empty(); })) << "the options dialog stayed";
  ASSERT_TRUE(WaitFor([&] { return Ini("Options", "Show_Preview") == "1"; })) << "the box was not stored";

  Click(twin->form1->bsSkinButton2);  // "开始"
  const std::string preview = WaitWindow(kPreviewName);
  ASSERT_FALSE(preview.empty()) << "no preview window during the run";
  // A picture, not an empty window, and one that moves on with the run.
  Rect r = Geometry(preview);
  EXPECT_GT(r.w, 100);
  EXPECT_GT(r.h, 100);
  QImage first;
  ASSERT_TRUE(WaitFor([&] {
    first = Screen();
    r = Geometry(preview);
    return Colours(first, r) > 20;
  })) << "the preview window shows no picture";
  EXPECT_TRUE(WaitFor([&] {
    const QImage now = Screen();
    r = Geometry(preview);
    return now.copy(r.x, r.y, r.w, r.h) != first.copy(r.x, r.y, r.w, r.h);
  })) << "the preview picture stood still";
  SaveScreen((shots / "e2e-live-preview.png").string());

  // The run's end opens the output folder; the window has gone by then.
  ASSERT_TRUE(WaitFor([&] { return fs::exists(root / "opened"); }, 600)) << "the run never ended";
  EXPECT_TRUE(WaitFor([&] { return Windows(kPreviewName).empty(); })) << "the preview window stayed";
  EXPECT_EQ(Windows(kTitle).size(), 1u) << "a failure box showed";

  // 文件 > 退出.
  ClickAt(mainAt, Twin::At(twin->form1, twin->form1->bsSkinMainMenuBar1, 18));
  Keys("Up");
  Keys("Return");
  EXPECT_EQ(WaitExit(), 0) << LogText();
}
