// The skinned slider: value and offset rules, the range rule, ruler
// tracking on the manual clock, dragging with and without snapping, keys,
// the built-in pictures and the skinned thumb.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinSlider.h"

using namespace ctltest;
using namespace win;

namespace {

class Slider : public ControlsTest {
 public:
  TbsSkinSlider* Make(bool vertical = false, bool skinned = false) {
    auto* s = new TbsSkinSlider(form);
    s->SetBounds(10, 10, 150, 40);
    if (vertical) s->SetOrientation(soVertical);
    s->SetParent(form);
    if (skinned) s->SetSkinData(skin.get());
    s->OnChange = [this](rtl::TObject*) { ++changes; };
    s->OnChanged = [this](rtl::TObject*) { ++changed; };
    h.Pump();
    return s;
  }
  int changes = 0, changed = 0;
};

TEST_F(Slider, BuiltInPicturesHaveTheirSizes) {
  struct Case {
    const char* name;
    int w, h;
  } cases[] = {{"BS_HTB", 18, 17}, {"BS_HRL", 10, 8}, {"BS_VTB", 38, 9}, {"BS_VRL", 8, 10}};
  for (auto& c : cases) {
    gfx::TBitmap b;
    DrawBuiltInSliderPicture(c.name, &b);
    EXPECT_EQ(b.Width(), c.w) << c.name;
    EXPECT_EQ(b.Height(), c.h) << c.name;
    // The corner that the automatic transparency reads is the key colour.
    EXPECT_EQ(b.Canvas()->Pixels(0, c.h - 1), gfx::TColor(0xFF00FF)) << c.name;
  }
}

TEST_F(Slider, ValueAndOffsetRules) {
  auto* s = Make();
  // Ruler 138 long, thumb 9 wide: 129 pixels of travel from x 6.
  EXPECT_EQ(s->Ruler()->Width(), 138);
  struct Case {
    int value, offset;
  } table[] = {{0, 6}, {100, 135}, {50, 70}, {10, 19}};
  for (auto& c : table) {
    EXPECT_EQ(s->ValueToOffset(c.value), c.offset) << c.value;
    EXPECT_EQ(s->OffsetToValue(c.offset), c.value) << c.offset;
  }
  // Snapping without soSmooth: every offset lands on a multiple of Increment.
  EXPECT_EQ(s->OffsetToValue(75), 53);
  s->SetOptions(soShowFocus);
  EXPECT_EQ(s->OffsetToValue(75), 50);
  EXPECT_EQ(s->ClampThumbOffset(75), 70);
  EXPECT_EQ(s->ClampThumbOffset(500), 135);
  EXPECT_EQ(s->ClampThumbOffset(-5), 6);
  // Range rule and change events.
  s->SetValue(150);
  EXPECT_EQ(s->Value(), 100);
  s->SetValue(100);
  EXPECT_EQ(changes, 1);
  s->SetMaxValue(5);
  EXPECT_EQ(s->Increment(), 5);
  EXPECT_EQ(s->Value(), 5);
  s->SetMaxValue(0);
  EXPECT_EQ(s->MaxValue(), 5) << "Max not above Min is ignored";
  // A slider too short for its thumb has no travel: no division, one value.
  s->SetWidth(15);
  h.Pump();
  EXPECT_EQ(s->OffsetToValue(40), 0);
  s->SetValue(3);
  EXPECT_EQ(s->ThumbRect().Left, 6);
}

TEST_F(Slider, RulerPressStepsEvery400MsUntilTheThumbPassesTheMouse) {
  auto* s = Make();
  // x 60 lies at about value 42: at 40 the thumb (x 58 to 67) reaches the mouse.
  h.input.MoveTo(s, 60, 12);
  h.input.Press();
  EXPECT_EQ(s->Value(), 10) << "one step at once";
  EXPECT_TRUE(s->Tracking());
  h.Advance(400);
  EXPECT_EQ(s->Value(), 20);
  h.Advance(400);
  EXPECT_EQ(s->Value(), 30);
  h.Advance(400);
  EXPECT_EQ(s->Value(), 40);
  h.Advance(400);
  h.Advance(400);
  EXPECT_EQ(s->Value(), 40) << "the thumb reached the mouse";
  EXPECT_EQ(changed, 0);
  h.input.Release();
  EXPECT_EQ(changed, 1);
  EXPECT_FALSE(s->Tracking());
  h.Advance(800);
  EXPECT_EQ(s->Value(), 40);
  // From the other side: steps down while the mouse stays left of the thumb.
  s->SetValue(100);
  h.input.MoveTo(s, 60, 12);
  h.input.Press();
  h.Advance(2000);
  h.input.Release();
  EXPECT_EQ(s->Value(), 40);
}

TEST_F(Slider, DraggingSnapsOrFollowsEveryPixel) {
  auto* s = Make();
  s->SetOptions(soShowFocus);  // no soSmooth
  h.input.MoveTo(s, 8, 12);
  h.input.Press();
  EXPECT_TRUE(s->Sliding());
  h.input.MoveTo(s, 8 + 40, 12);
  EXPECT_EQ(s->Value(), 30);
  EXPECT_EQ(s->ThumbRect().Left, s->ValueToOffset(30)) << "the thumb sits on the value";
  h.input.Release();
  EXPECT_EQ(changed, 1);
  s->SetOptions(soShowFocus | soSmooth);
  int x = s->ThumbRect().Left + 2;
  h.input.MoveTo(s, x, 12);
  h.input.Press();
  h.input.MoveTo(s, x + 40, 12);
  EXPECT_EQ(s->Value(), s->OffsetToValue(s->ThumbRect().Left));
  EXPECT_NE(s->Value() % 10, 0);
  h.input.Release();
}

TEST_F(Slider, KeysOnAVerticalSliderRaiseTowardsTheTop) {
  auto* s = Make(true);
  EXPECT_EQ(s->Width(), 40);
  EXPECT_EQ(s->Height(), 150) << "orientation swaps the sizes";
  s->SetFocus();
  h.Pump();
  int top = s->ThumbRect().Top;
  h.input.Key(VK_UP);
  EXPECT_EQ(s->Value(), 10);
  EXPECT_LT(s->ThumbRect().Top, top);
  EXPECT_EQ(changed, 1);
  h.input.Key(VK_END);
  EXPECT_EQ(s->Value(), 100);
  EXPECT_EQ(s->ThumbRect().Top, 6) << "MaxValue at the top";
  h.input.Key(VK_DOWN);
  EXPECT_EQ(s->Value(), 90);
  // Giving nil back restores the built-in picture and drops soThumbOpaque.
  gfx::TBitmap mine;
  mine.SetSize(20, 9);
  s->SetImage(siVThumb, &mine);
  s->SetOptions(s->Options() | soThumbOpaque);
  EXPECT_EQ(s->ThumbRect().Right - s->ThumbRect().Left, 10);
  s->SetImage(siVThumb, nullptr);
  EXPECT_EQ(s->Image(siVThumb)->Width(), 38);
  EXPECT_FALSE(s->Options() & soThumbOpaque);
}

TEST_F(Slider, SkinnedThumbAndRulerComeFromTheRecord) {
  auto* s = Make(false, true);
  ASSERT_NE(s->SkinIndex(), -1);
  EXPECT_EQ(s->ThumbRect().Right - s->ThumbRect().Left, 11);
  EXPECT_EQ(s->Ruler()->Height(), 6);
  s->SetValue(50);
  TRect t = s->ThumbRect();
  EXPECT_EQ(Px(s, t.Left + 4, t.Top + 5), 0xC83C3Cu) << "normal thumb";
  h.input.MoveTo(s, t.Left + 4, t.Top + 5);
  h.input.Press();
  EXPECT_EQ(Px(s, t.Left + 4, t.Top + 5), 0x781E1Eu) << "pressed thumb";
  h.input.Release();
  EXPECT_EQ(Px(s, 1, 1), 0xFFFFFFu) << "the record's background colour";
  // Transparent: the form shows around the ruler.
  form->SetColor(0x3C8C28);
  s->SetTransparent(true);
  EXPECT_EQ(Px(s, 1, 1), 0x288C3Cu);
}

}  // namespace
