// The class-library types the skin data uses, gathered in one place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/canvas.h"
#include "platform/gfx/graphics.h"
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

using gfx::TBitmap;
using gfx::TFontStyles;

// Text alignment of captions (the class library's TAlignment).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

constexpr unsigned FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4, FontStyleStrikeOut = 8;
TFontStyles FontStylesFromBits(unsigned Bits);
unsigned FontStylesToBits(TFontStyles FS);

}  // namespace skin
