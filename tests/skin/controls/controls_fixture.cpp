#include "controls_fixture.h"

namespace ctltest {

uint32_t Rgb(gfx::TColor c) {
  gfx::COLORREF r = gfx::ColorToRef(c);
  return (uint32_t(gfx::GetRValue(r)) << 16) | (uint32_t(gfx::GetGValue(r)) << 8) | gfx::GetBValue(r);
}

TbsOwned<TbsSkinData> LoadSkin(const std::string& folder) {
  auto s = MakeOwned<TbsSkinData>(nullptr);
  s->LoadFromFile(folder + "/skin.ini");
  EXPECT_FALSE(s->Empty) << folder;
  return s;
}

void ControlsTest::SetUp() {
  form = new cl::TForm(nullptr);
  form->SetBorderStyle(cl::bsNone);
  form->SetBounds(0, 0, 320, 200);
  form->SetColor(gfx::clWhite);
  form->Show();
  skin = LoadSkin();
  h.Pump();
}

void ControlsTest::TearDown() {
  if (form) form->Free();
  skin.reset();
  h.Pump();
  EXPECT_EQ(h.Leaks(), "");
  EXPECT_TRUE(h.exceptions.empty());
}

}  // namespace ctltest
