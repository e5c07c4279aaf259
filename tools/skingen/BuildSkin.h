// Builds one skin in a skin store from a style: the form picture and its
// mask, the atlas of control and object looks, the popup and hint window
// pictures, every record the program's controls and forms look up, and
// the skin colours. Text colours are checked against what lies behind them.
#pragma once

#include <string>
#include <vector>

#include "tools/skingen/Style.h"

namespace skin {
class TbsSkinData;
}

namespace skingen {

struct ContrastResult {
  std::string what;
  double ratio = 0;
  double required = 0;
};

// Fills an empty store. Every text colour is measured against every pixel of
// the area it is drawn on; the measurements come back in `contrast`.
void BuildSkin(const Style& s, skin::TbsSkinData& store, std::vector<ContrastResult>& contrast);

}  // namespace skingen
