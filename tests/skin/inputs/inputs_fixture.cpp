#include "inputs_fixture.h"

namespace inputstest {

void InputsTest::SetUp() {
  form = new cl::TForm(nullptr);
  form->SetBorderStyle(cl::bsNone);
  form->SetBounds(0, 0, 400, 300);
  form->Show();
  h.Pump();
}

void InputsTest::TearDown() {
  if (form) form->Free();
  form = nullptr;
  skin_.reset();
  h.Pump();
  EXPECT_EQ(h.Leaks(), "");
  EXPECT_TRUE(h.exceptions.empty());
}

skin::TbsSkinData* InputsTest::TestSkin() {
  if (!skin_) {
    skin_ = skin::MakeOwned<skin::TbsSkinData>(nullptr);
    skin_->LoadFromFile(std::string(TESTSKIN_DIR) + "/skin.ini");
    EXPECT_FALSE(skin_->Empty);
  }
  return skin_.get();
}

}  // namespace inputstest
