// Snapshots of the preview: the picture the player shows, saved as
// base_n.ext in the snapshot folder of option.ini [SnapShot] in the stored
// picture type, and the snapshot menu that opens or chooses that folder and
// picks the type. Folder and type are read again for every snapshot.
#include <algorithm>
#include <cctype>
#include <vector>

#include "app/MainForm.h"
#include "app/PictureWriters.h"
#include "platform/rtl/files.h"
#include "platform/shell/launcher.h"
#include "platform/win/window.h"

namespace {

// The player's picture belongs to the player and changes while it plays:
// the snapshot works on a copy of its own.
struct TFrameCopy {
  std::vector<uint8_t> bits;
  int width = 0, height = 0, stride = 0;
  TPictureView View() const { return {bits.data(), width, height, stride}; }
};

TFrameCopy CopyFrame(media::TZEVizeza& player) {
  TFrameCopy f;
  media::TBitmap* b = player.CurrentFrame();
  if (!b) return f;
  b->Lock();
  if (b->Width() > 0 && b->Height() > 0) {
    f.width = b->Width();
    f.height = b->Height();
    f.stride = b->Stride();
    f.bits.assign(b->ScanLine(0), b->ScanLine(0) + size_t(f.stride) * size_t(f.height));
  }
  b->Unlock();
  return f;
}

}  // namespace

std::string TForm1::SnapshotFileName(const std::string& folder, const std::string& base, const std::string& ext) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  for (int n = 1;; ++n) {
    std::string name = dir + base + "_" + std::to_string(n) + ext;
    if (!rtl::FileExists(name) && !rtl::DirectoryExists(name)) return name;
  }
}

void TForm1::SnapshotFailed(const std::string& text) {
  Log(text);
  if (Services().InfoBox) Services().InfoBox(text);
}

std::string TForm1::SnapshotFolder() {
  std::string dir;
  if (Ini->Exists()) {
    const std::string stored = Ini->Read("SnapShot", "Dir");
    if (!SettingMissing(stored)) dir = stored;
  }
  const bool defaulted = dir.empty();
  if (defaulted)
    dir = Services().DefaultSnapshotFolder.empty() ? DefaultSnapshotFolder() : Services().DefaultSnapshotFolder;
  const bool made = rtl::DirectoryExists(dir) || rtl::ForceDirectories(dir);
  if (defaulted) Ini->Write("SnapShot", "Dir", dir);
  if (!made) {
    SnapshotFailed("无法创建快照目录：" + dir);
    return {};
  }
  return dir;
}

void TForm1::CheckPictureType(const std::string& type) {
  if (type == "JPG")
    JPG1->SetChecked(true);
  else if (type == "GIF")
    GIF1->SetChecked(true);
  else if (type == "PNG")
    PNG1->SetChecked(true);
  else
    BMP1->SetChecked(true);
}

void TForm1::StorePictureType(const std::string& type) {
  Ini->Write("SnapShot", "Picture", type);
  CheckPictureType(type);
}

std::string TForm1::SnapshotPictureType() {
  TPictureType t;
  const std::string stored = Ini->Exists() ? Ini->Read("SnapShot", "Picture") : std::string();
  if (PictureTypeFromName(stored, t)) {
    CheckPictureType(stored);
    return stored;
  }
  StorePictureType("BMP");
  return "BMP";
}

void TForm1::bsSkinButton22Click() {
  const TFrameCopy frame = CopyFrame(*ZEVizeza);
  const std::string folder = SnapshotFolder();
  const std::string typeName = SnapshotPictureType();
  if (frame.width == 0 || folder.empty()) return;
  TPictureType type = TPictureType::BMP;
  PictureTypeFromName(typeName, type);
  const std::string base = rtl::ChangeFileExt(rtl::ExtractFileName(Logic->T_Movie_PLayer_FileName), "");
  const std::string file = SnapshotFileName(folder, base, PictureExtension(type));
  std::string error;
  if (!SavePicture(type, frame.View(), file, error)) SnapshotFailed("无法保存快照：" + file + "（" + error + "）");
}

void TForm1::bsSkinButton23MouseDown(cl::TMouseButton Button) {
  if (Button != cl::mbLeft) return;
  win::POINT p;
  win::GetCursorPos(&p);
  bsSkinPopupMenu2->Popup(p.X, p.Y);
}

void TForm1::bsSkinButton23Click() { SnapshotPictureType(); }

void TForm1::MenuItem1Click() {
  const std::string folder = SnapshotFolder();
  if (!folder.empty()) shell::ShellExecute(Handle(), "", folder, "", "", shell::SW_SHOWNORMAL);
}

void TForm1::MenuItem2Click() {
  IFileChooser* chooser = Services().Chooser;
  if (!chooser) return;
  std::string folder = Ini->Exists() ? Ini->Read("SnapShot", "Dir") : std::string();
  if (SettingMissing(folder)) folder.clear();
  // A cancelled dialog changes nothing, whatever folder it last showed.
  if (!chooser->SelectFolder("选择输出目录", folder)) return;
  if (rtl::DirectoryExists(folder)) Ini->Write("SnapShot", "Dir", folder);
}

void TForm1::BMP1Click() { StorePictureType("BMP"); }
void TForm1::JPG1Click() { StorePictureType("JPG"); }
void TForm1::GIF1Click() { StorePictureType("GIF"); }
void TForm1::PNG1Click() { StorePictureType("PNG"); }

void TForm1::btnCaptureClick() {
  const TFrameCopy frame = CopyFrame(*ZEVizeza);
  std::string file;
  if (frame.width <= 0 || !Services().SavePicture ||
      !Services().SavePicture("Bitmaps (*.bmp)|*.bmp|JPEG Image File |*.jpg;*.jpeg", "bmp", file))
    return;
  std::string ext = rtl::ExtractFileExt(file);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  std::string error;
  if (!SavePicture(ext == ".bmp" ? TPictureType::BMP : TPictureType::JPG, frame.View(), file, error))
    SnapshotFailed("无法保存图片：" + file + "（" + error + "）");
}
