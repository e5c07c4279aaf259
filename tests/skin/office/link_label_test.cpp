// The link label: the opener gets the URL on a click, and the font, colour
// and underline follow the skin, the pointer, the glow and UseUnderLine.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/shell/launcher.h"
#include "platform/testkit/shell_fakes.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinLinkLabel.h"

using namespace ctltest;
using namespace win;

namespace {

class LinkLabel : public ControlsTest {
 public:
  void SetUp() override {
    ControlsTest::SetUp();
    shell::SetLauncher(&launcher);
  }
  void TearDown() override {
    shell::SetLauncher(nullptr);
    ControlsTest::TearDown();
  }
  TbsSkinLinkLabel* Label(TbsSkinData* sd = nullptr) {
    auto* l = new TbsSkinLinkLabel(form);
    l->SetAutoSize(false);
    l->SetBounds(10, 10, 200, 40);
    l->SetParent(form);
    l->SetCaption("www.example.com");
    if (sd) l->SetSkinData(sd);
    h.Pump();
    return l;
  }
  plat::test::RecordingLauncher launcher;
};

TEST_F(LinkLabel, AClickOpensTheAddressOnlyWhenThereIsOne) {
  auto* l = Label();
  int clicks = 0;
  l->OnClick = [&](rtl::TObject*) { ++clicks; };
  h.input.MoveTo(l, 20, 20);
  h.input.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(launcher.calls.empty());
  l->SetURL("https://www.example.com/");
  h.Advance(1000);  // not a double click
  h.input.Click();
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(launcher.calls.size(), 1u);
  EXPECT_EQ(launcher.calls[0], (std::vector<std::string>{"xdg-open", "https://www.example.com/"}));
}

TEST_F(LinkLabel, FontFollowsSkinPointerGlowAndUnderline) {
  auto ctl = LoadSkin(std::string(NOCOMBO_SKIN_DIR));  // has a "stdlabel" record
  struct Case {
    bool skinned, hover, glow, underline, enabled;
    gfx::TColor color;
    bool underlined;
  } cases[] = {
      {false, false, false, true, true, gfx::clWindowText, true},
      {false, true, false, true, true, gfx::clBlue, true},
      {false, false, false, false, true, gfx::clWindowText, false},
      {false, false, false, false, false, gfx::clBtnShadow, true},  // disabled stays underlined
      {true, false, false, true, true, gfx::TColor(9109504), true},
      {true, true, false, false, true, gfx::TColor(0xFF0000), false},  // the record's active colour
      {true, true, true, true, true, gfx::TColor(9109504), true},      // glow: the text keeps FontColor
      {true, false, false, false, false, gfx::TColor(8421504), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.skinned << c.hover << c.glow << c.underline << c.enabled);
    auto* l = Label(c.skinned ? ctl.get() : nullptr);
    l->SetUseUnderLine(c.underline);
    l->SetGlowEffect(c.glow);
    l->SetEnabled(c.enabled);
    if (c.hover) l->Perform(CM_MOUSEENTER);
    l->Repaint();
    h.Pump();
    EXPECT_EQ(l->SkinIndex() != -1, c.skinned);
    EXPECT_EQ(Rgb(l->Canvas()->Font()->Color()), Rgb(c.color));
    EXPECT_EQ(l->Canvas()->Font()->Style().Contains(gfx::fsUnderline), c.underlined);
    l->Free();
  }
  h.Pump();
}

}  // namespace
