// The commands of the skin tool that draw: a record at any size, and the
// effect demonstration pictures.
#pragma once

#include <string>

class QImage;

namespace skin {
class TbsSkinData;
}

namespace skintool {

// Loads a skin folder (its description "skin.ini" or its only .ini), a
// description file, or a compressed skin into `store`; raises with a clear
// message when it is not a skin.
void LoadSkin(skin::TbsSkinData& store, const std::string& path);

// Loads a skin folder, description or container, draws the control record
// `record` (or the form, for "form") at `size` ("WxH") with its window region
// laid over it, and writes a PNG magnified `zoom` times. Prints what it drew.
int Render(const std::string& skin, const std::string& record, const std::string& size, const std::string& out,
           int zoom);
// The form of a loaded skin at W x H, its window region laid over it.
QImage FormImage(skin::TbsSkinData& store, int W, int H);
// Writes a contact sheet of a skin: the form at 640x480 with its region and
// a window's worth of controls drawn from the records, then every control
// and object record in every look it has, each labelled.
int ContactSheet(const std::string& skin, const std::string& out);
// Writes PNGs of every transition of a 120 x 30 button in five steps, the
// filters, and glow and reflection texts into `folder`.
int DemoEffects(const std::string& folder);

}  // namespace skintool
