// The system image lists of the namespace: small pictures of files (plain,
// video, audio, picture), folders (closed, open), drives (fixed, removable),
// the computer, the desktop and the home folder, drawn here pixel by pixel
// (16 x 16; the large list doubles them).
#include "platform/gfx/graphics.h"
#include "platform/gfx/imagelist.h"
#include "platform/shell/namespace.h"

namespace shell {

namespace {
// One picture per SystemIcon, in that order; '.' is transparent.
const char* const kPictures[][16] = {
    {
        // File
        "...kkkkkkkk.....",
        "...kwwwwwwkk....",
        "...kwwwwwwkgk...",
        "...kwwwwwwkkkk..",
        "...kwwwwwwwwwk..",
        "...kwggggggwwk..",
        "...kwwwwwwwwwk..",
        "...kwgggggggwk..",
        "...kwwwwwwwwwk..",
        "...kwggggggwwk..",
        "...kwwwwwwwwwk..",
        "...kwgggggggwk..",
        "...kwwwwwwwwwk..",
        "...kwgggggwwwk..",
        "...kkkkkkkkkkk..",
        "................",
    },
    {
        // Video
        "...kkkkkkkk.....",
        "...kwwwwwwkk....",
        "...kwwwwwwkgk...",
        "...kwwwwwwkkkk..",
        "...kwwwwwwwwwk..",
        "...kkkkkkkkkkk..",
        "...kkGkGkGkGkk..",
        "...kkbbbbbbbkk..",
        "...kkbBBbbbbkk..",
        "...kkbbbBBbbkk..",
        "...kkbbbbbbbkk..",
        "...kkGkGkGkGkk..",
        "...kkkkkkkkkkk..",
        "...kwwwwwwwwwk..",
        "...kkkkkkkkkkk..",
        "................",
    },
    {
        // Audio
        "...kkkkkkkk.....",
        "...kwwwwwwkk....",
        "...kwwwwwwkgk...",
        "...kwwwwwwkkkk..",
        "...kwwwwwkwwwk..",
        "...kwwwwwkkwwk..",
        "...kwwwwwkwkwk..",
        "...kwwwwwkwwwk..",
        "...kwwwwwkwwwk..",
        "...kwwwkkkwwwk..",
        "...kwwkpppkwwk..",
        "...kwwkpppkwwk..",
        "...kwwwkkkwwwk..",
        "...kwwwwwwwwwk..",
        "...kkkkkkkkkkk..",
        "................",
    },
    {
        // Picture
        "...kkkkkkkk.....",
        "...kwwwwwwkk....",
        "...kwwwwwwkgk...",
        "...kwwwwwwkkkk..",
        "...kwwwwwwwwwk..",
        "...kkkkkkkkkkk..",
        "...kkBBBBBooBk..",
        "...kkBBBBBooBk..",
        "...kkBBBBBBBBk..",
        "...kkBBnBBBBBk..",
        "...kkBnnnBnBBk..",
        "...kknnnnnnnnk..",
        "...kkkkkkkkkkk..",
        "...kwwwwwwwwwk..",
        "...kkkkkkkkkkk..",
        "................",
    },
    {
        // Folder
        "................",
        "................",
        ".kkkkk..........",
        "kyyyyyk.........",
        "kyyyyyykkkkkkkk.",
        "kyyyyyyyyyyyyyk.",
        "kYYYYYYYYYYYYYk.",
        "kyyyyyyyyyyyyyk.",
        "kyyyyyyyyyyyyyk.",
        "kyyyyyyyyyyyyyk.",
        "kyyyyyyyyyyyyyk.",
        "kyyyyyyyyyyyyyk.",
        "kyyyyyyyyyyyyyk.",
        "kkkkkkkkkkkkkkk.",
        "................",
        "................",
    },
    {
        // FolderOpen
        "................",
        "................",
        ".kkkkk..........",
        "kYYYYYk.........",
        "kYYYYYYkkkkkkk..",
        "kYYYYYYYYYYYYk..",
        "kYYYkkkkkkkkkkkk",
        "kYYkyyyyyyyyyyyk",
        "kYYkyyyyyyyyyyk.",
        "kYkyyyyyyyyyyyk.",
        "kYkyyyyyyyyyyk..",
        "kkyyyyyyyyyyyk..",
        "kkyyyyyyyyyyk...",
        "kkkkkkkkkkkkk...",
        "................",
        "................",
    },
    {
        // Drive
        "................",
        "................",
        "................",
        "................",
        "..kkkkkkkkkkkk..",
        ".kggggggggggggk.",
        ".kwwwwwwwwwwwgk.",
        ".kggggggggggggk.",
        ".kGGGGGGGGGnnGk.",
        ".kGGGGGGGGGnnGk.",
        ".kGGGGGGGGGGGGk.",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
        "................",
        "................",
    },
    {
        // Removable
        "................",
        ".....kkkkkk.....",
        ".....kGGGGk.....",
        ".....kGwwGk.....",
        ".....kGGGGk.....",
        "...kkkkkkkkkk...",
        "...kbbbbbbbbk...",
        "...kbBBbbbbbk...",
        "...kbbbbbbbbk...",
        "...kbbbbbbbbk...",
        "...kbbbbbbbbk...",
        "...kbbbbbbnbk...",
        "...kbbbbbbbbk...",
        "...kkkkkkkkkk...",
        "................",
        "................",
    },
    {
        // Computer
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kggggggggggggk.",
        ".kgbbbbbbbbbbgk.",
        ".kgbBBbbbbbbbgk.",
        ".kgbbBBbbbbbbgk.",
        ".kgbbbbbbbbbbgk.",
        ".kgbbbbbbbbbbgk.",
        ".kgbbbbbbbbbbgk.",
        ".kggggggggggggk.",
        ".kkkkkkkkkkkkkk.",
        "......kggk......",
        "....kkkkkkkk....",
        "...kggggggggk...",
        "...kkkkkkkkkk...",
        "................",
    },
    {
        // Desktop
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kBBBBBBBBBBBBk.",
        ".kBwwBBBBBBBBBk.",
        ".kBwwBBBBBBBBBk.",
        ".kBBBBBBBwwBBBk.",
        ".kBBBBBBBwwBBBk.",
        ".kBwwBBBBBBBBBk.",
        ".kBwwBBBBBBBBBk.",
        ".knnnnnnnnnnnnk.",
        ".kkkkkkkkkkkkkk.",
        "......kGGk......",
        "....kkkkkkkk....",
        "................",
        "................",
        "................",
    },
    {
        // Home
        "................",
        ".......kk.......",
        "......krrk......",
        ".....krrrrk.....",
        "....krrrrrrk....",
        "...krrrrrrrrk...",
        "..krrrrrrrrrrk..",
        ".kkkkkkkkkkkkkk.",
        "..kwwwwwwwwwwk..",
        "..kwBBwwwdddwk..",
        "..kwBBwwwdddwk..",
        "..kwwwwwwdddwk..",
        "..kwwwwwwdddwk..",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
    },
};
static_assert(sizeof(kPictures) / sizeof(kPictures[0]) == siCount);

gfx::TColor Colour(char c) {
  switch (c) {
    case 'k':
      return gfx::TColor(0x404040);
    case 'w':
      return gfx::clWhite;
    case 'g':
      return gfx::TColor(0xC8C8C8);
    case 'G':
      return gfx::TColor(0x808080);
    case 'y':
      return gfx::TColor(0x50D0F8);  // folder yellow (BGR)
    case 'Y':
      return gfx::TColor(0x2898D8);
    case 'b':
      return gfx::TColor(0xC85A28);
    case 'B':
      return gfx::TColor(0xF0AA78);
    case 'n':
      return gfx::TColor(0x3CAA28);
    case 'r':
      return gfx::TColor(0x2832C8);
    case 'o':
      return gfx::TColor(0x288CE6);
    case 'd':
      return gfx::TColor(0x1E4678);
    case 'p':
      return gfx::TColor(0xAA3C82);
  }
  return gfx::clFuchsia;  // transparent
}

gfx::ImageList* Build(int scale) {
  auto* il = new gfx::ImageList(16 * scale, 16 * scale);
  gfx::TBitmap bmp;
  bmp.SetPixelFormat(gfx::pf24bit);
  bmp.SetSize(16 * scale * siCount, 16 * scale);
  for (int i = 0; i < siCount; i++)
    for (int y = 0; y < 16 * scale; y++)
      for (int x = 0; x < 16 * scale; x++)
        bmp.Canvas()->SetPixels(i * 16 * scale + x, y, Colour(kPictures[i][y / scale][x / scale]));
  il->AddMasked(&bmp, gfx::clFuchsia);
  return il;
}
}  // namespace

gfx::ImageList* SystemImageList(bool large) {
  static gfx::ImageList* small = Build(1);
  static gfx::ImageList* big = Build(2);
  return large ? big : small;
}

}  // namespace shell
