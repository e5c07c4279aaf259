// The class-library types the skin data uses, gathered in one place.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "platform/cl/collection.h"
#include "platform/cl/object.h"
#include "platform/cl/stdctrls.h"
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

using cl::taCenter;
using cl::taLeftJustify;
using cl::TAlignment;
using cl::taRightJustify;

// Components are created with new and ended with Free; TbsOwned frees one
// that a scope (or another object) owns outright.
template <class T>
struct TbsFree {
  void operator()(T* p) const {
    if (p) p->Free();
  }
};
template <class T>
using TbsOwned = std::unique_ptr<T, TbsFree<T>>;
template <class T, class... A>
TbsOwned<T> MakeOwned(A&&... args) {
  return TbsOwned<T>(new T(std::forward<A>(args)...));
}

constexpr unsigned FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4, FontStyleStrikeOut = 8;
TFontStyles FontStylesFromBits(unsigned Bits);
unsigned FontStylesToBits(TFontStyles FS);

}  // namespace skin
