// Text: a replaceable text engine (Qt's, or a fixed-metric one for tests)
// under the Win32 text calls and DrawText with its flags.
#pragma once

#include "platform/gfx/font.h"
#include "platform/gfx/types.h"

#include <memory>
#include <string>
#include <string_view>

class QRegion;

namespace gfx {

namespace detail {
struct BitmapObj;
}

inline namespace win32api {
struct TEXTMETRIC {
  LONG tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
  LONG tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 0, tmOverhang = 0;
  LONG tmDigitizedAspectX = 96, tmDigitizedAspectY = 96;
  char32_t tmFirstChar = 0x20, tmLastChar = 0xFFFF, tmDefaultChar = '?', tmBreakChar = ' ';
  BYTE tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0, tmCharSet = 1;
};

enum : UINT {
  DT_TOP = 0,
  DT_LEFT = 0,
  DT_CENTER = 1,
  DT_RIGHT = 2,
  DT_VCENTER = 4,
  DT_BOTTOM = 8,
  DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20,
  DT_EXPANDTABS = 0x40,
  DT_TABSTOP = 0x80,
  DT_NOCLIP = 0x100,
  DT_EXTERNALLEADING = 0x200,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
  DT_INTERNAL = 0x1000,
  DT_EDITCONTROL = 0x2000,
  DT_PATH_ELLIPSIS = 0x4000,
  DT_END_ELLIPSIS = 0x8000,
  DT_MODIFYSTRING = 0x10000,
  DT_RTLREADING = 0x20000,
  DT_WORD_ELLIPSIS = 0x40000,
  DT_NOFULLWIDTHCHARBREAK = 0x80000,
  DT_HIDEPREFIX = 0x100000,
  DT_PREFIXONLY = 0x200000
};
enum : UINT { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
enum : UINT {
  TA_NOUPDATECP = 0,
  TA_UPDATECP = 1,
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24
};

// Returns the height of the text drawn (or measured with DT_CALCRECT, which
// sets Right and Bottom of the rectangle and draws nothing). `count` -1 means
// the whole string.
int DrawText(HDC dc, std::string_view text, int count, RECT* r, UINT format);
int DrawTextW(HDC dc, std::u32string_view text, int count, RECT* r, UINT format);
// Strings are UTF-8 here, so the wide calls also take them as they are.
inline int DrawTextW(HDC dc, std::string_view text, int count, RECT* r, UINT format) {
  return DrawText(dc, text, count, r, format);
}
inline int DrawTextW(HDC dc, const char* text, int count, RECT* r, UINT format) {
  return DrawText(dc, text, count, r, format);
}
int DrawTextEx(HDC dc, std::string_view text, int count, RECT* r, UINT format, const void* params);
BOOL TextOut(HDC dc, int x, int y, std::string_view text, int count = -1);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* r, std::string_view text, int count = -1,
                const int* dx = nullptr);
// Tab stops are pixel positions relative to `tabOrigin` (at most 10 used;
// none = every 8 average character widths). Returns the extent: height in
// the high word, width in the low word.
LONG TabbedTextOut(HDC dc, int x, int y, std::string_view text, int count, int nTabs, const int* tabs, int tabOrigin);
BOOL GetTextExtentPoint32(HDC dc, std::string_view text, int count, SIZE* size);
BOOL GetTextExtentPoint32W(HDC dc, std::u32string_view text, int count, SIZE* size);
inline BOOL GetTextExtentPoint32W(HDC dc, std::string_view text, int count, SIZE* size) {
  return GetTextExtentPoint32(dc, text, count, size);
}
inline BOOL TextOutW(HDC dc, int x, int y, std::string_view text, int count = -1) {
  return TextOut(dc, x, y, text, count);
}
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
}  // namespace win32api

struct FontMetrics {
  int ascent = 0, descent = 0, internalLeading = 0, externalLeading = 0, aveCharWidth = 0, maxCharWidth = 0;
};

// Measures and draws single runs of text (no line breaks, tabs or
// prefixes: those are handled above the engine).
class ITextEngine {
 public:
  virtual ~ITextEngine() = default;
  virtual FontMetrics Metrics(const LOGFONT& lf) = 0;
  virtual int Width(const LOGFONT& lf, std::u32string_view text) = 0;
  // Draws `text` with its cell's top-left at (x, y) in bitmap coordinates,
  // inside `clip` (bitmap coordinates). Underline and strike-out follow the font.
  virtual void Draw(detail::BitmapObj& target, const QRegion& clip, int x, int y, const LOGFONT& lf,
                    std::u32string_view text, COLORREF color) = 0;
};

// Every glyph is a 7x13 cell (ascent 10, descent 3) drawn as a solid 7x13
// box; spaces and control characters stay empty. Metrics ignore the font.
class FixedTextEngine : public ITextEngine {
 public:
  static constexpr int kCharWidth = 7, kHeight = 13, kAscent = 10;
  FontMetrics Metrics(const LOGFONT& lf) override;
  int Width(const LOGFONT& lf, std::u32string_view text) override;
  void Draw(detail::BitmapObj& target, const QRegion& clip, int x, int y, const LOGFONT& lf, std::u32string_view text,
            COLORREF color) override;
};

// QFont and QPainter, grey-scale antialiasing; measurements cached per
// (font, string). Creates an offscreen QGuiApplication when none exists.
class QtTextEngine : public ITextEngine {
 public:
  QtTextEngine();
  ~QtTextEngine() override;
  FontMetrics Metrics(const LOGFONT& lf) override;
  int Width(const LOGFONT& lf, std::u32string_view text) override;
  void Draw(detail::BitmapObj& target, const QRegion& clip, int x, int y, const LOGFONT& lf, std::u32string_view text,
            COLORREF color) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The engine in use (a QtTextEngine until another is set). Setting nullptr
// goes back to the Qt engine. The layer does not own the engine passed in.
ITextEngine& TextEngine();
void SetTextEngine(ITextEngine* engine);
// Makes sure a QGuiApplication exists (fonts need one); offscreen when no
// platform is configured and there is no display.
void EnsureGuiApplication();

// UTF-8 <-> UTF-32 (invalid bytes become U+FFFD).
std::u32string ToU32(std::string_view s);
std::string ToU8(std::u32string_view s);

}  // namespace gfx
