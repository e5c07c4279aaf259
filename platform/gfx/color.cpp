#include "platform/gfx/color.h"

#include "platform/gfx/dc.h"

#include <array>
#include <mutex>

namespace gfx {

namespace {
constexpr int kSysColors = 31;
constexpr std::array<COLORREF, kSysColors> kPalette = {
    RGB(212, 208, 200),  // 0 scroll bar
    RGB(58, 110, 165),   // 1 background
    RGB(10, 36, 106),    // 2 active caption
    RGB(128, 128, 128),  // 3 inactive caption
    RGB(212, 208, 200),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(0, 0, 0),        // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(255, 255, 255),  // 9 caption text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 app workspace
    RGB(10, 36, 106),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 3-D dark shadow
    RGB(212, 208, 200),  // 22 3-D light
    RGB(0, 0, 0),        // 23 info text
    RGB(255, 255, 225),  // 24 info background
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // 26 hot light
    RGB(166, 202, 240),  // 27 gradient active caption
    RGB(192, 192, 192),  // 28 gradient inactive caption
    RGB(10, 36, 106),    // 29 menu highlight
    RGB(212, 208, 200),  // 30 menu bar
};
}  // namespace

COLORREF win32api::GetSysColor(int index) {
  if (index < 0 || index >= kSysColors) return 0;
  return kPalette[size_t(index)];
}

HBRUSH win32api::GetSysColorBrush(int index) {
  static std::mutex mu;
  static std::array<HBRUSH, kSysColors> brushes{};
  if (index < 0 || index >= kSysColors) return HBRUSH();
  std::lock_guard<std::mutex> g(mu);
  HBRUSH& b = brushes[size_t(index)];
  if (!detail::GetBrush(b)) {
    b = CreateSolidBrush(kPalette[size_t(index)]);
    detail::MarkStock(b.v);
  }
  return b;
}

TColor ColorToRGB(TColor c) {
  if (c < 0) return TColor(GetSysColor(c & 0xFF));
  return c;
}

}  // namespace gfx
