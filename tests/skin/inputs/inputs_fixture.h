// Shared set-up of the input control tests: a harness on the manual clock,
// a borderless form, and an event log the controls write into.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/testkit/harness.h"
#include "skin/data/bsSkinData.h"

namespace inputstest {

class InputsTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;
  template <class T>
  T* Make(int l, int t, int w, int hgt, cl::TWinControl* parent = nullptr) {
    T* c = new T(form);
    c->SetBounds(l, t, w, hgt);
    c->SetParent(parent ? parent : form);
    h.Pump();
    return c;
  }
  // The test skin (with "combobox", "listbox" and "edit" records).
  skin::TbsSkinData* TestSkin();

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  std::vector<std::string> log;
  skin::TbsOwned<skin::TbsSkinData> skin_;
};

}  // namespace inputstest
