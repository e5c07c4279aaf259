// The look of each built-in skin: its palette and shapes. The generator
// paints every picture of a skin from one of these.
#pragma once

#include <QColor>

#include <string>
#include <vector>

namespace skingen {

struct Style {
  std::string file;     // the container's file name (matches the program's list)
  std::string title;    // ASCII name written into the description
  bool dark = false;    // light text on dark surfaces
  bool glossy = false;  // gradients and a gloss band, else flat fills
  int radius = 0;       // corner radius of controls; 0 = square
  int formRadius = 0;   // corner radius of the window; 0 = square, no mask
  int border = 1;       // width of the window frame
  int captionHeight = 30;
  bool colouredCaption = false;  // caption in the accent colours (else a light or dark band)
  QColor accent;                 // hot borders, focus, progress, selection
  QColor bg;                     // window and panel background
  QColor face;                   // button face
  QColor text;                   // body text on bg and face
  QColor window;                 // edit and list background
  QColor windowText;
  QColor frame;  // control borders
  QColor captionTop, captionBottom, captionText;
  QColor selection, selectionText;
  QColor hint, hintText;
};

// The eleven, in the program's order.
const std::vector<Style>& Styles();

}  // namespace skingen
