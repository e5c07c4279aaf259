// The program's own pictures that do not belong to a skin: the slider's
// default ruler and thumb, the shell and list bitmaps, the message-box icons,
// the main window's tool bar glyphs, the two choosers' 32x32 images, the
// empty-list picture and the program icon.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "platform/gfx/graphics.h"

namespace skingen {

struct BuiltinPicture {
  std::string name;  // the resource name, e.g. "BS_HTB"
  std::unique_ptr<gfx::TBitmap> bitmap;
};

std::vector<BuiltinPicture> MakeBuiltinPictures();

// The preview pane's button glyphs (16 x 16, with alpha), by the part of the
// resource name after "PV_". They lie on every skin's button face, so each
// skin checks them against its own.
const std::vector<std::string>& PreviewGlyphNames();
QImage PreviewGlyph(const std::string& what);

}  // namespace skingen
