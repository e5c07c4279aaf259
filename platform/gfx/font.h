// Fonts: HFONT over LOGFONT, with the name and height mapping onto the
// installed families (96 DPI fixed). Every Qt font gets WenQuanYi Micro Hei
// as its fallback, so Chinese text always has glyphs.
#pragma once

#include "platform/gfx/objects.h"

#include <string>

class QFont;

namespace gfx {

inline namespace win32api {
using gfx::LOGFONT;
enum : int {
  FW_DONTCARE = 0,
  FW_THIN = 100,
  FW_LIGHT = 300,
  FW_NORMAL = 400,
  FW_MEDIUM = 500,
  FW_SEMIBOLD = 600,
  FW_BOLD = 700,
  FW_HEAVY = 900
};
enum : uint8_t {
  ANSI_CHARSET = 0,
  DEFAULT_CHARSET = 1,
  SYMBOL_CHARSET = 2,
  GB2312_CHARSET = 134,
  CHINESEBIG5_CHARSET = 136,
  OEM_CHARSET = 255
};
enum : uint8_t { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };
enum : uint8_t { DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4 };

HFONT CreateFontIndirect(const LOGFONT* lf);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charset, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, const char* face);
}  // namespace win32api

// The family a face name is drawn with: "Arial", "MS Sans Serif" and
// "Microsoft Sans Serif" -> Liberation Sans (else Nimbus Sans, else DejaVu
// Sans); "Tahoma" -> DejaVu Sans; other names are left to fontconfig.
std::string MapFontFamily(const std::string& face);
// The CJK fallback family added to every font.
inline const char* CjkFallbackFamily() { return "WenQuanYi Micro Hei"; }
// A QFont for a LOGFONT: a negative height is the em height in pixels; a
// positive one is the cell height (the largest pixel size whose ascent +
// descent fits); 0 means the default 13-pixel cell.
QFont ToQFont(const LOGFONT& lf);
// Points at 96 DPI <-> font height (negative em pixels), as the class library does.
inline int PointsToHeight(int points) { return -((points * 96 + 36) / 72); }
inline int HeightToPoints(int height) { return ((height < 0 ? -height : height) * 72 + 48) / 96; }
bool GetLogFont(HFONT f, LOGFONT& out);

}  // namespace gfx
