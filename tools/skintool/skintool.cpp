// skintool: a developer's tool for skins.
//   skintool dump <folder|description.ini|file.skn>   print every parsed record
//   skintool pack <folder|description.ini> <file.skn> build a compressed skin
//   skintool unpack <file.skn> <folder>               write description and pictures
//   skintool render <skin> <record> <W>x<H> <out.png> [zoom]
//                                                     draw a control record, or the form
//                                                     ("form"), at a size with its region
//   skintool render <skin> --sheet <out.png>          a contact sheet: the form at 640x480 and
//                                                     every record in every look
//   skintool demo-effects <folder>                    PNGs of the transitions, filters,
//                                                     glow and reflection texts
#include <filesystem>
#include <iostream>
#include <sstream>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "skin/data/bsSkinData.h"
#include "skin/data/bsSkinIni.h"
#include "tools/skintool/skintool.h"

using namespace skin;
namespace fs = std::filesystem;

namespace {

int ParseZoom(const std::string& s) {
  int zoom = 0;
  for (char c : s) zoom = (c >= '0' && c <= '9' && zoom < 100) ? zoom * 10 + (c - '0') : 1000;
  if (s.empty() || zoom < 1 || zoom > 64) throw rtl::Exception("zoom \"" + s + "\" is not a number from 1 to 64");
  return zoom;
}

int Usage() {
  std::cerr << "usage: skintool dump <folder|description.ini|file.skn>\n"
               "       skintool pack <folder|description.ini> <file.skn>\n"
               "       skintool unpack <file.skn> <folder>\n"
               "       skintool render <folder|description.ini|file.skn> <record|form> <W>x<H> <out.png> [zoom]\n"
               "       skintool render <folder|description.ini|file.skn> --sheet <out.png>\n"
               "       skintool demo-effects <folder>\n";
  return 2;
}

// The description of a skin folder: "skin.ini", else the folder's only .ini.
std::string DescriptionOf(const std::string& path) {
  if (!fs::is_directory(path)) return path;
  fs::path dir(path);
  if (fs::is_regular_file(dir / "skin.ini")) return (dir / "skin.ini").string();
  std::string found;
  int count = 0;
  for (auto& e : fs::directory_iterator(dir)) {
    if (e.is_regular_file() && rtl::SameText(e.path().extension().string(), ".ini")) {
      found = e.path().string();
      ++count;
    }
  }
  if (count != 1) throw rtl::Exception("no single description (.ini) in folder " + path);
  return found;
}

bool IsContainer(const std::string& path) {
  if (fs::is_directory(path)) return false;
  return !rtl::SameText(fs::path(path).extension().string(), ".ini");
}

const char* const kRequired =
    "a skin description needs the sections VERSION, PICTURES, FORMINFO, SKINOBJECTS and "
    "SKINCONTROLS, each with at least one key";

}  // namespace

void skintool::LoadSkin(TbsSkinData& store, const std::string& path) {
  if (!fs::exists(path)) throw rtl::Exception(path + ": no such file or folder");
  if (IsContainer(path)) {
    store.LoadFromCompressedFile(path);
    if (store.Empty) throw rtl::Exception(path + ": empty skin, or a payload version above 3");
    return;
  }
  std::string desc = DescriptionOf(path);
  if (!fs::is_regular_file(desc)) throw rtl::Exception(desc + ": no such file");
  store.LoadFromFile(desc);
  if (store.Empty) throw rtl::Exception(desc + ": not a skin description (" + kRequired + ")");
}

namespace {

int Dump(const std::string& path) {
  auto storeOwned = MakeOwned<TbsSkinData>();
  TbsSkinData& store = *storeOwned;
  skintool::LoadSkin(store, path);
  store.Dump(std::cout);
  return 0;
}

int Pack(const std::string& from, const std::string& to) {
  std::string desc = DescriptionOf(from);
  if (!fs::is_regular_file(desc)) throw rtl::Exception(desc + ": no such file");
  auto skinOwned = MakeOwned<TbsCompressedStoredSkin>();
  TbsCompressedStoredSkin& skin = *skinOwned;
  skin.LoadFromIniFile(desc);
  if (skin.Empty()) throw rtl::Exception(desc + ": not a skin description (" + std::string(kRequired) + ")");
  skin.SaveToCompressFile(to);
  return 0;
}

const char* const kUnpackedDescription = "skin.ini";

// A picture name from a description, usable as a file name inside the
// target folder beside the description; otherwise the fallback.
std::string SafeName(const std::string& name, const std::string& fallback) {
  if (name.empty()) return fallback;
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == "." || name == "..") {
    std::cerr << "skintool: picture name \"" << name << "\" is not a plain file name; written as " << fallback << "\n";
    return fallback;
  }
  if (name == kUnpackedDescription) {
    std::cerr << "skintool: picture name \"" << name << "\" is the description's; written as " << fallback << "\n";
    return fallback;
  }
  return name;
}

int Unpack(const std::string& from, const std::string& to) {
  auto skinOwned = MakeOwned<TbsCompressedStoredSkin>();
  TbsCompressedStoredSkin& skin = *skinOwned;
  skin.LoadFromCompressFile(from);
  if (skin.Empty()) throw rtl::Exception(from + ": empty skin, or a container version above 3");
  TbsSkinPayload p;
  {
    TMemoryStream ms;
    skin.DeCompressToStream(ms);
    ms.SetPosition(0);
    ReadSkinPayload(ms, p);
  }
  if (p.Version > 3)
    throw rtl::Exception(from + ": payload version " + std::to_string(p.Version) + " is not supported");
  TbsSkinIniFile ini(SplitSkinLines(DecodeSkinText(p.DescriptionBytes)));
  std::vector<std::string> names;
  ReadStrings(ini, "PICTURES", "activepictures", names);
  if (!rtl::ForceDirectories(to)) throw rtl::Exception(to + ": cannot create the folder");
  std::string dir = rtl::IncludeTrailingPathDelimiter(to);
  rtl::WriteFileBytes(dir + kUnpackedDescription, p.DescriptionBytes);
  auto write = [&](std::unique_ptr<TBitmap>& b, const char* key, const std::string& fallback) {
    if (!b) return;
    b->SaveToFile(dir + SafeName(ini.ReadString("PICTURES", key, ""), fallback));
  };
  write(p.Picture, "picture", "picture.bmp");
  write(p.InActivePicture, "inactivepicture", "inactivepicture.bmp");
  write(p.Mask, "mask", "mask.bmp");
  for (size_t i = 0; i < p.ActivePictures.size(); ++i) {
    std::string fallback = "activepicture" + std::to_string(i) + ".bmp";
    p.ActivePictures[i]->SaveToFile(dir + SafeName(i < names.size() ? names[i] : std::string(), fallback));
  }
  if (names.size() != p.ActivePictures.size())
    std::cerr << "skintool: the description names " << names.size() << " active pictures, the payload holds "
              << p.ActivePictures.size() << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string cmd = argv[1];
  try {
    if (cmd == "dump" && argc == 3) return Dump(argv[2]);
    if (cmd == "pack" && argc == 4) return Pack(argv[2], argv[3]);
    if (cmd == "unpack" && argc == 4) return Unpack(argv[2], argv[3]);
    if (cmd == "render" && argc == 5 && std::string(argv[3]) == "--sheet")
      return skintool::ContactSheet(argv[2], argv[4]);
    if (cmd == "render" && (argc == 6 || argc == 7))
      return skintool::Render(argv[2], argv[3], argv[4], argv[5], argc == 7 ? ParseZoom(argv[6]) : 1);
    if (cmd == "demo-effects" && argc == 3) return skintool::DemoEffects(argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "skintool: " << e.what() << "\n";
    return 1;
  }
  return Usage();
}
