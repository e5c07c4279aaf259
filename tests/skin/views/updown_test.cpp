// The up-down pair: position rules and events, button layout and looks,
// and the auto-repeat timeline on the manual clock.
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinUpDown.h"

namespace ctltest {
namespace {

using namespace win;

constexpr uint32_t kUdHot = 0x5AC878, kUdDown = 0x1E6E3C, kUd = 0x7887A0;

class UpDownTest : public ControlsTest {
 public:
  TbsSkinUpDown* Make(bool skinned = false) {
    auto* u = ControlsTest::Make<TbsSkinUpDown>(20, 20, 50, 25, "", skinned);
    u->OnChange = [this](rtl::TObject*) { log.push_back("change"); };
    u->OnUpButtonClick = [this](rtl::TObject*) { log.push_back("up"); };
    u->OnDownButtonClick = [this](rtl::TObject*) { log.push_back("down"); };
    return u;
  }
  void Click(TbsSkinUpDown* u, int i) {
    TRect r = u->Button(i).R;
    h.input.MoveTo(u, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    h.input.Click();
  }
  std::vector<std::string> log;
};

TEST_F(UpDownTest, PositionRulesAndEvents) {
  auto* u = Make();
  EXPECT_EQ(u->Min(), 0);
  EXPECT_EQ(u->Max(), 100);
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(u->Increment(), 1);
  Click(u, 1);
  EXPECT_EQ(u->Position(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"down"})) << "the step below Min is ignored, the click still told";
  log.clear();
  Click(u, 0);
  EXPECT_EQ(u->Position(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"change", "up"}));
  log.clear();
  u->SetPosition(1);
  EXPECT_EQ(log, (std::vector<std::string>{"change"})) << "the same value fires again";
  log.clear();
  u->SetPosition(101);
  u->SetPosition(-1);
  EXPECT_TRUE(log.empty());
  u->SetPosition(80);
  log.clear();
  u->SetMax(50);
  EXPECT_EQ(u->Position(), 50);
  u->SetMin(60);
  EXPECT_EQ(u->Position(), 60);
  EXPECT_TRUE(log.empty()) << "clamping by Min and Max fires nothing";

  // Increment 0: the buttons only tell their clicks and never repeat.
  u->SetMin(0);
  u->SetMax(100);
  u->SetPosition(10);
  u->SetIncrement(0);
  log.clear();
  TRect r = u->Button(0).R;
  h.input.MoveTo(u, r.Left + 5, r.Top + 5);
  h.input.Press();
  h.Advance(1000);
  h.input.Release();
  EXPECT_EQ(u->Position(), 10);
  EXPECT_EQ(log, (std::vector<std::string>{"up"}));

  // Released away from the button: nothing.
  u->SetIncrement(1);
  log.clear();
  h.input.MoveTo(u, r.Left + 5, r.Top + 5);
  h.input.Press();
  h.input.MoveTo(u, 5, 60);
  h.input.Release();
  EXPECT_EQ(u->Position(), 10);
  EXPECT_TRUE(log.empty());
}

TEST_F(UpDownTest, ButtonLayout) {
  auto* u = Make();
  struct Case {
    TUDOrientation o;
    int w, h;
    TRect up, down;
  } cases[] = {
      {udHorizontal, 50, 25, {25, 0, 50, 25}, {0, 0, 25, 25}},
      {udVertical, 20, 31, {0, 0, 20, 15}, {0, 15, 20, 31}},
  };
  for (const auto& c : cases) {
    u->SetOrientation(c.o);
    u->SetBounds(20, 20, c.w, c.h);
    h.Pump();
    EXPECT_EQ(u->Button(0).R, c.up);
    EXPECT_EQ(u->Button(1).R, c.down);
  }
  // Default look: face, hot and pressed fills.
  u->SetOrientation(udHorizontal);
  u->SetBounds(20, 20, 50, 25);
  EXPECT_EQ(Px(u, 30, 2), Rgb(gfx::clBtnFace));
  h.input.MoveTo(u, 30, 2);
  EXPECT_EQ(Px(u, 30, 2), Rgb(bsHotFillColor));
  EXPECT_EQ(Px(u, 25, 0), Rgb(bsHotFrameColor));
  EXPECT_EQ(Px(u, 5, 2), Rgb(gfx::clBtnFace));
  h.input.Press();
  EXPECT_EQ(Px(u, 30, 2), Rgb(bsDownFillColor));
  h.input.Release();
}

TEST_F(UpDownTest, SkinnedPairTakesTheRecordSize) {
  auto* u = Make(true);
  EXPECT_EQ(u->Width(), 40);
  EXPECT_EQ(u->Height(), 20);
  EXPECT_EQ(u->Button(0).R, (TRect{20, 0, 40, 20}));
  EXPECT_EQ(u->Button(1).R, (TRect{0, 0, 20, 20}));
  EXPECT_EQ(Px(u, 23, 3), kUd);
  h.input.MoveTo(u, 30, 10);
  EXPECT_EQ(Px(u, 23, 3), kUdHot);
  h.input.Press();
  EXPECT_EQ(Px(u, 23, 3), kUdDown);
  EXPECT_EQ(Px(u, 3, 3), kUd);
  h.input.Release();
  // Without UseSkinSize: any size, each button built from the
  // "resizebutton" record in its state, the arrow in the state's colour.
  u->SetUseSkinSize(false);
  u->SetBounds(20, 20, 60, 30);
  h.Pump();
  EXPECT_EQ(u->Width(), 60);
  EXPECT_EQ(u->Button(0).R, (TRect{30, 0, 60, 30}));
  h.input.MoveTo(u, 5, 60);
  EXPECT_EQ(Px(u, 40, 5), 0xC8CDD7u);
  EXPECT_EQ(Px(u, 10, 5), 0xC8CDD7u);
  h.input.MoveTo(u, 40, 5);
  EXPECT_EQ(Px(u, 40, 5), 0xFAD76Eu);
  h.input.Press();
  EXPECT_EQ(Px(u, 40, 5), 0x6E96E1u);
  // The pressed arrow, moved in by 2 pixels, is drawn in the pressed font colour.
  bool white = false;
  for (int y = 10; y < 26 && !white; ++y)
    for (int x = 36; x < 56 && !white; ++x) white = Px(u, x, y) == 0xFFFFFFu;
  EXPECT_TRUE(white);
  h.input.Release();
}

TEST_F(UpDownTest, AutoRepeatTimeline) {
  auto* u = Make();
  TRect r = u->Button(0).R;
  h.input.MoveTo(u, r.Left + 5, r.Top + 5);
  h.input.Press();
  h.Advance(499);
  EXPECT_EQ(u->Position(), 0);
  h.Advance(1);  // the first wait ends
  EXPECT_EQ(u->Position(), 0);
  h.Advance(100);
  EXPECT_EQ(u->Position(), 1);
  h.Advance(300);
  EXPECT_EQ(u->Position(), 4);
  // Away from the held button the repeat pauses; back on it, every 50 ms.
  h.input.MoveTo(u, 5, 60);
  h.Advance(500);
  EXPECT_EQ(u->Position(), 4);
  h.input.MoveTo(u, r.Left + 5, r.Top + 5);
  h.Advance(50);
  EXPECT_EQ(u->Position(), 5);
  h.Advance(100);
  EXPECT_EQ(u->Position(), 7);
  h.input.Release();
  EXPECT_EQ(u->Position(), 8) << "one more step on release over the button";
  h.Advance(1000);
  EXPECT_EQ(u->Position(), 8);
  // The repeat stops at Max.
  u->SetPosition(98);
  h.input.Press();
  h.Advance(1500);
  EXPECT_EQ(u->Position(), 100);
  h.input.Release();
  EXPECT_EQ(u->Position(), 100);
}

}  // namespace
}  // namespace ctltest
