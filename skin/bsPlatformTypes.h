// The class-library types the skin data uses, gathered in one place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/ini.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strlist.h"


namespace skin {

using TIniFile = rtl::TCustomIniFile;
using rtl::TMemIniFile;
using rtl::TMemoryStream;
using rtl::TStream;

// Keys of a section in file order.
std::vector<std::string> SectionKeys(TIniFile& F, const std::string& Section);

#ifdef SKIN_HAVE_GFX_GRAPHICS
using gfx::TBitmap;
using gfx::TFontStyles;
#else
struct TFontStyles {
  unsigned Bits = 0;
  friend bool operator==(TFontStyles, TFontStyles) = default;
};
// Holds one BMP file image as read, delimited by its bfSize.
class TBitmap {
 public:
  void LoadFromStream(TStream& S);
  void SaveToStream(TStream& S);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  bool Empty() const { return Bytes.empty(); }
  int Width() const;
  int Height() const;
  std::string Bytes;
};
#endif

// Text alignment of captions (the class library's TAlignment).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

constexpr unsigned FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4, FontStyleStrikeOut = 8;
TFontStyles FontStylesFromBits(unsigned Bits);
unsigned FontStylesToBits(TFontStyles FS);

}  // namespace skin
