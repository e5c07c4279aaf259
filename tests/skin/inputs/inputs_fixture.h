// Shared set-up of the input control tests: a harness on the manual clock,
// a borderless form, and an event log the controls write into.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/gfx/graphics.h"
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

// A skin made in code for one test: a single picture of plain rectangles,
// to which the test adds the records it needs.
struct TCodeSkin {
  skin::TbsSkinData* Data;
  gfx::TBitmap* Picture;
  void Fill(const gfx::TRect& r, gfx::TColor c) const {
    Picture->Canvas()->Brush()->SetColor(c);
    Picture->Canvas()->FillRect(r);
  }
};

// A new skin data object (the caller owns it) with one w x h picture filled
// with `background`.
inline TCodeSkin NewCodeSkin(int w, int h, gfx::TColor background) {
  auto* sd = new skin::TbsSkinData(nullptr);
  sd->FActivePictures.push_back(std::make_unique<gfx::TBitmap>());
  TCodeSkin s{sd, sd->FActivePictures.back().get()};
  s.Picture->SetSize(w, h);
  s.Fill(gfx::TRect(0, 0, w, h), background);
  return s;
}

}  // namespace inputstest
