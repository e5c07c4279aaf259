// Shared set-up of the skinned control tests: a harness, a borderless form
// on the manual clock, and the controls test skin (ctlskin) whose state
// images are solid colours, so that one pixel tells which image was drawn.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/testkit/harness.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/data/bsSkinData.h"

namespace ctltest {

using namespace skin;

// The colours of the test skin's state images, as Harness::Pixel answers
// (0x00RRGGBB).
constexpr uint32_t kNormal = 0xC8CDD7, kHot = 0xFAD76E, kDown = 0x6E96E1, kDisabled = 0xAFAFAF, kFocused = 0x96D796,
                   kFrame1 = 0xFFB9B9, kFrame2 = 0xF07878, kRound = 0x5AAFAF, kSplit = 0x697DA5, kGrip = 0xF5F5F5;
// Any colour (system colours resolved) as Harness::Pixel answers.
uint32_t Rgb(gfx::TColor c);
// Channels of a 0x00RRGGBB value.
inline int Red(uint32_t p) { return int(p >> 16) & 0xFF; }
inline int Green(uint32_t p) { return int(p >> 8) & 0xFF; }
inline int Blue(uint32_t p) { return int(p) & 0xFF; }

// A store loaded from a skin folder (the controls test skin by default).
TbsOwned<TbsSkinData> LoadSkin(const std::string& folder = CTLSKIN_DIR);

class ControlsTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;
  // A control of class T on the form (or on `parent`), with the record name
  // and the store set in the order controls built at run time use.
  template <class T>
  T* Make(int l, int t, int w, int hgt, const std::string& record = "", bool skinned = true,
          cl::TWinControl* parent = nullptr) {
    T* c = new T(form);
    c->SetBounds(l, t, w, hgt);
    c->SetParent(parent ? parent : form);
    if (!record.empty()) c->SetSkinDataName(record);
    if (skinned) c->SetSkinData(skin.get());
    h.Pump();
    return c;
  }
  uint32_t Px(cl::TControl* c, int x, int y) {
    h.Pump();
    return h.Pixel(c, x, y);
  }

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  TbsOwned<TbsSkinData> skin;
};

}  // namespace ctltest
