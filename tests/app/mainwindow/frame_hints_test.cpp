// The main window's frame and hints as a user meets them: which caption
// buttons it offers, and how a control's hint looks in the window's skin.
#include <gtest/gtest.h>

#include "skin/form/bsSkinCaptionObjects.h"
#include "skin/menus/bsSkinHint.h"
#include "tests/app/common/ProgramFixture.h"

using namespace skin;

namespace {

class MainFrame : public programtest::ProgramTest {
 protected:
  void SetUp() override {
    SetUpProgram("vc_frame_");
    Start();
  }
};

// Whether the caption offers a button for the command (shown and usable).
bool Offers(TbsSkinForm* sf, TbsStdCommand cmd) {
  for (auto& o : sf->ObjectList) {
    auto* s = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
    auto* a = dynamic_cast<TbsSkinAnimateObject*>(o.get());
    if ((s && s->Command == cmd) || (a && a->ButtonStyle && a->Command == cmd)) return o->Visible && o->Enabled;
  }
  return false;
}

}  // namespace

TEST_F(MainFrame, TheCaptionOffersMinimizeAndCloseOnly) {
  for (int skinIndex : {0, 2}) {
    form1->bsSkinData1->SetSkinIndex(skinIndex);
    h.Pump();
    TbsSkinForm* sf = form1->bsSkinForm1;
    EXPECT_TRUE(Offers(sf, cmMinimize)) << skinIndex;
    EXPECT_TRUE(Offers(sf, cmClose)) << skinIndex;
    for (TbsStdCommand c : {cmSysMenu, cmMaximize, cmRollUp, cmMinimizeToTray})
      EXPECT_FALSE(Offers(sf, c)) << skinIndex << " command " << int(c);
    cl::TMenuItem* items = sf->SystemMenuItems();
    std::vector<std::string> captions;
    for (int i = 0; i < items->Count(); ++i)
      if (items->Items(i)->Visible) captions.push_back(items->Items(i)->Caption);
    ASSERT_EQ(captions.size(), 3u) << skinIndex;
    EXPECT_EQ(captions[0], "最小化(&N)");
    EXPECT_EQ(captions[1], "-");
    EXPECT_EQ(captions[2], "关闭(&C)");
  }
}

TEST_F(MainFrame, AHoveredButtonsHintComesFromTheSkinsHintRecord) {
  struct Case {
    int skinIndex;
    bool dark;
  } cases[] = {{0, false}, {2, true}};
  for (const Case& c : cases) {
    form1->bsSkinData1->SetSkinIndex(c.skinIndex);
    h.Pump();
    h.input.MoveTo(10, 10);
    h.Advance(3000);
    h.input.MoveTo(form1->bsSkinButton13, 16, 14);
    h.Advance(cl::Application->HintPause + 100);
    auto* hw = dynamic_cast<TbsSkinHintWindow*>(cl::Application->HintWindow());
    ASSERT_NE(hw, nullptr) << c.skinIndex;
    ASSERT_TRUE(hw->HandleAllocated() && win::IsWindowVisible(hw->Handle())) << c.skinIndex;
    EXPECT_EQ(hw->Caption(), "播放");
    // Drawn from the skin, with the text area holding the whole text.
    EXPECT_EQ(hw->FSD, form1->bsSkinData1) << c.skinIndex;
    gfx::TBitmap probe;
    probe.SetSize(1, 1);
    const TbsDataSkinHintWindow& rec = form1->bsSkinData1->HintWindow;
    probe.Canvas()->Font()->SetName(rec.FontName);
    probe.Canvas()->Font()->SetHeight(rec.FontHeight);
    probe.Canvas()->Font()->SetStyle(rec.FontStyle);
    const int tw = probe.Canvas()->TextWidth("播放"), th = probe.Canvas()->TextHeight("播放");
    EXPECT_GE(hw->NewClRect.Width(), tw) << c.skinIndex;
    EXPECT_GE(hw->NewClRect.Height(), th) << c.skinIndex;
    EXPECT_GE(hw->NewClRect.Left, 0);
    EXPECT_LE(hw->NewClRect.Right, hw->Width());
    EXPECT_LE(hw->NewClRect.Bottom, hw->Height());
    // The window's middle shows the skin's hint background: dark in a dark skin.
    uint32_t px = h.Pixel(hw->Handle(), 1, hw->Height() / 2);
    int lum = (int((px >> 16) & 0xFF) * 3 + int((px >> 8) & 0xFF) * 6 + int(px & 0xFF)) / 10;
    if (c.dark)
      EXPECT_LT(lum, 96) << std::hex << px;
    else
      EXPECT_GT(lum, 160) << std::hex << px;
    h.input.MoveTo(10, 10);
    h.Advance(3000);
  }
}
