// Platform types the skin data is written against, and the enumerations of
// the skin description.
#pragma once

#include <cstdint>

#include "platform/rtl/geom.h"
#include "skin/bsPlatformTypes.h"

namespace skin {

using rtl::TPoint;
using rtl::TRect;
// 0x00BBGGRR, or a system colour: 0xFF000000 + the system colour index.
using TColor = int32_t;
constexpr TColor SysColor(int Index) { return TColor(0xFF000000u | uint32_t(Index)); }
constexpr int COLOR_WINDOW = 5, COLOR_WINDOWTEXT = 8, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14,
              COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_BTNTEXT = 18, COLOR_BTNHIGHLIGHT = 20;

enum TbsStretchType { bsstFull, bsstHorz, bsstVert };
enum TbsMorphKind { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };
enum TbsInActiveEffect { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };
enum TbsStdCommand : uint8_t { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };

}  // namespace skin
