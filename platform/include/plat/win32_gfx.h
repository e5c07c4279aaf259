// The pixel layer's half of the w32 facade: GDI handle types, constants and
// the Win32-named drawing calls (all defined in gfx, namespace
// gfx::win32api), plus TColor and the system colours.
#pragma once

#include "platform/gfx/bitmap.h"
#include "platform/gfx/color.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/font.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/icons.h"
#include "platform/gfx/imagelist.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/rect.h"
#include "platform/gfx/region.h"
#include "platform/gfx/text.h"
#include "platform/gfx/types.h"

namespace w32 {
using namespace gfx::win32api;
using gfx::ColorToRGB;
using gfx::TColor;
}  // namespace w32
