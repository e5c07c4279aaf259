// Small helpers for the pixel tables: a memory DC over a white 32-bit
// bitmap, and the bitmap printed as rows of characters.
#pragma once

#include "plat/win32_gfx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gfxtest {

using namespace w32;

struct Surface {
  HBITMAP bmp;
  HDC dc;
  HBITMAP old;
  int w, h;
  Surface(int width, int height, int bpp = 32, COLORREF fill = RGB(255, 255, 255)) : w(width), h(height) {
    bmp = gfx::CreateDib(width, height, bpp);
    dc = CreateCompatibleDC(HDC());
    old = SelectObject(dc, bmp);
    HBRUSH b = CreateSolidBrush(fill);
    RECT r{0, 0, width, height};
    FillRect(dc, &r, b);
    DeleteObject(b);
    gfx::TakeDirtyRect(bmp);
  }
  ~Surface() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
  }
  COLORREF Px(int x, int y) const {
    gfx::BitmapInfo bi;
    gfx::GetBitmapInfo(bmp, bi);
    HDC tmp = CreateCompatibleDC(HDC());
    (void)tmp;
    DeleteDC(tmp);
    const uint8_t* row = gfx::BitmapScanLine(bmp, y);
    if (bi.bpp == 32 || bi.bpp == 24) {
      const uint8_t* p = row + x * (bi.bpp / 8);
      return RGB(p[2], p[1], p[0]);
    }
    return 0;
  }
  uint8_t Alpha(int x, int y) const { return gfx::BitmapScanLine(bmp, y)[x * 4 + 3]; }
  // One string per row: '.' for white, '#' for black, 'o' for anything else.
  std::vector<std::string> Map(int rows = -1, int cols = -1) const {
    std::vector<std::string> out;
    for (int y = 0; y < (rows < 0 ? h : rows); ++y) {
      std::string s;
      for (int x = 0; x < (cols < 0 ? w : cols); ++x) {
        COLORREF c = Px(x, y);
        s += c == RGB(255, 255, 255) ? '.' : c == 0 ? '#' : 'o';
      }
      out.push_back(s);
    }
    return out;
  }
};

inline std::string Join(const std::vector<std::string>& v) {
  std::string s;
  for (auto& r : v) s += r + "\n";
  return s;
}

}  // namespace gfxtest
