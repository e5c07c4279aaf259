// Platform types the skin data is written against, and the enumerations of
// the skin description.
#pragma once

#include <cstdint>

#include "platform/gfx/color.h"
#include "platform/rtl/geom.h"
#include "skin/data/bsPlatformTypes.h"

namespace skin {

using rtl::TPoint;
using rtl::TRect;
// 0x00BBGGRR, or a system colour: 0xFF000000 + the system colour index.
using gfx::COLOR_BTNFACE;
using gfx::COLOR_BTNHIGHLIGHT;
using gfx::COLOR_BTNSHADOW;
using gfx::COLOR_BTNTEXT;
using gfx::COLOR_HIGHLIGHT;
using gfx::COLOR_HIGHLIGHTTEXT;
using gfx::COLOR_WINDOW;
using gfx::COLOR_WINDOWTEXT;
using gfx::SysColor;
using gfx::TColor;

enum TbsStretchType { bsstFull, bsstHorz, bsstVert };
enum TbsMorphKind { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };
enum TbsInActiveEffect { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };
enum TbsStdCommand : uint8_t { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };

}  // namespace skin
