// The eleven skins built into the program: their fixed order (a saved skin
// index counts over it from 0), display names and file names, and the
// filling of a skin list from the containers compiled into the program.
//
// The containers themselves are made by tools/skingen at build time and
// registered as resources "skins/<file name>" (see rtl::Resource).
#pragma once

#include <array>
#include <string>

namespace skin {

class TbsCompressedSkinList;

struct TbsBuiltinSkinInfo {
  const char* CompressedFileName;  // e.g. "ClassicBlue.skn"
  const char* Name;                // short Chinese display name
  const char* Description;         // the name, then what the skin looks like: a chooser row
};

constexpr int kBuiltinSkinCount = 11;

// In list order.
const std::array<TbsBuiltinSkinInfo, kBuiltinSkinCount>& BuiltinSkins();

// The resource name of a built-in skin's container: "skins/" + file name.
std::string BuiltinSkinResourceName(const TbsBuiltinSkinInfo& AInfo);

// Replaces the list's items by the eleven built-in skins, in order, each with
// its Name, Description, FileName and CompressedFileName and its container.
// Returns how many containers were found among the program's resources
// (a skin whose container is missing stays empty, so indexes keep their meaning).
int LoadBuiltinSkins(TbsCompressedSkinList& AList);

}  // namespace skin
