// A borderless form and colour helpers shared by the control-core tests.
#pragma once

#include "platform/cl/forms.h"
#include "platform/gfx/color.h"
#include "platform/testkit/harness.h"

namespace cx {

inline cl::TForm* MakeForm(int w = 320, int h = 240) {
  auto* f = new cl::TForm(nullptr);
  f->SetBorderStyle(cl::bsNone);
  f->SetBounds(0, 0, w, h);
  return f;
}

// A colour as Harness::Pixel reports it (0x00RRGGBB).
inline uint32_t Rgb(gfx::TColor c) {
  uint32_t v = uint32_t(gfx::ColorToRGB(c)) & 0xFFFFFF;
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

}  // namespace cx
