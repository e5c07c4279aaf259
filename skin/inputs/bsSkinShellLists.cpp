#include "skin/inputs/bsSkinShellLists.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>

#include "platform/cl/application.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"
#include "skin/draw/bsTextHelpers.h"

namespace skin {

namespace {

bool IsFile(const std::string& Path) {
  struct stat st {};
  return ::stat(Path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool HasWildcards(const std::string& S) { return S.find_first_of("*?") != std::string::npos; }

// Absolute, with "." and ".." folded and no trailing separator (but "/").
std::string Normalised(const std::string& Path) {
  std::string s = std::filesystem::path(Path).lexically_normal().string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s.empty() ? "/" : s;
}

std::string VolumeOf(const std::string& Path) { return shell::VolumeOf(Path, shell::ListVolumes()).mountPoint; }

// 16x16 row pictures on fuchsia, the colour that the bottom-left pixel
// gives as transparent.
enum class Pic { Floppy, Fixed, Network, CdRom, Ram, OpenFolder, ClosedFolder, CurrentFolder };

void MakePicture(gfx::TBitmap& B, Pic Kind) {
  B.SetSize(16, 16);
  gfx::TCanvas* C = B.Canvas();
  C->Brush()->SetStyle(gfx::bsSolid);
  C->Brush()->SetColor(gfx::clFuchsia);
  C->FillRect(TRect(0, 0, 16, 16));
  auto box = [&](TRect r, gfx::TColor fill, gfx::TColor frame) {
    C->Brush()->SetColor(fill);
    C->FillRect(r);
    C->Brush()->SetColor(frame);
    C->FrameRect(r);
  };
  const gfx::TColor dark = 0x404040, folder = 0x40C8F0, folderFront = 0x80E0FF, folderEdge = 0x207090;
  switch (Kind) {
    case Pic::Fixed:
      box(TRect(1, 5, 15, 12), 0xC0C0C0, dark);
      box(TRect(11, 8, 13, 10), 0x00C000, 0x008000);
      break;
    case Pic::Floppy:
      box(TRect(1, 4, 11, 12), 0xC06020, dark);
      box(TRect(11, 5, 15, 11), 0xE0E0E0, dark);
      break;
    case Pic::Network:
      box(TRect(2, 1, 14, 9), 0xC0C0C0, dark);
      box(TRect(4, 3, 12, 7), 0x804000, 0x804000);
      box(TRect(7, 9, 9, 13), dark, dark);
      box(TRect(2, 13, 14, 15), dark, dark);
      break;
    case Pic::CdRom:
      C->Brush()->SetColor(0xD8D8D8);
      C->Pen()->SetColor(dark);
      C->Ellipse(1, 1, 15, 15);
      C->Brush()->SetColor(gfx::clWhite);
      C->Ellipse(6, 6, 10, 10);
      break;
    case Pic::Ram:
      for (int x = 3; x < 14; x += 3) {
        box(TRect(x, 3, x + 1, 5), dark, dark);
        box(TRect(x, 11, x + 1, 13), dark, dark);
      }
      box(TRect(1, 5, 15, 11), 0x208020, 0x104010);
      break;
    case Pic::ClosedFolder:
      box(TRect(1, 2, 7, 5), folder, folderEdge);
      box(TRect(1, 4, 15, 14), folder, folderEdge);
      break;
    case Pic::OpenFolder:
    case Pic::CurrentFolder:
      box(TRect(1, 2, 7, 5), folder, folderEdge);
      box(TRect(1, 4, 14, 14), folder, folderEdge);
      C->Brush()->SetColor(Kind == Pic::CurrentFolder ? gfx::TColor(0xF0C060) : folderFront);
      C->Pen()->SetColor(folderEdge);
      C->Polygon({TPoint(3, 7), TPoint(15, 7), TPoint(13, 13), TPoint(1, 13)});
      break;
  }
}

void DrawPicture(gfx::TCanvas* C, gfx::TBitmap* P, int X, int Y) {
  if (!P || P->Width() <= 0) return;
  C->BrushCopy(TRect(X, Y, X + P->Width(), Y + P->Height()), P, TRect(0, 0, P->Width(), P->Height()),
               P->Canvas()->Pixels(0, P->Height() - 1));
}

}  // namespace

// ---------------------------------------------------------------------------
// Path helpers.

bool IsDirectory(const std::string& Path) {
  struct stat st {};
  return !Path.empty() && ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string JoinPath(const std::string& Directory, const std::string& Name) {
  if (!Directory.empty() && Directory.back() == '/') return Directory + Name;
  return Directory + "/" + Name;
}

void DropFirstDirectory(std::string& Path) {
  if (Path == "/") {
    Path.clear();
    return;
  }
  const bool root = !Path.empty() && Path.front() == '/';
  if (root) Path.erase(0, 1);
  if (!Path.empty() && Path.front() == '.') Path.erase(0, std::min<size_t>(4, Path.size()));
  const size_t k = Path.find('/');
  Path = k == std::string::npos ? std::string() : ".../" + Path.substr(k + 1);
  if (root) Path.insert(0, "/");
}

std::string ShortenPathToWidth(const std::string& FileName, const std::function<int(const std::string&)>& Measure,
                               int MaxWidth) {
  const size_t k = FileName.rfind('/');
  std::string dir = k == std::string::npos ? std::string() : FileName.substr(0, k + 1);
  const std::string name = k == std::string::npos ? FileName : FileName.substr(k + 1);
  std::string result = FileName;
  while (!dir.empty() && Measure(result) > MaxWidth) {
    if (dir == "/.../")
      dir = ".../";
    else
      DropFirstDirectory(dir);
    result = dir + name;
  }
  return result;
}

std::string ShortenPathToWidth(const std::string& FileName, gfx::TCanvas* Canvas, int MaxWidth) {
  return ShortenPathToWidth(
      FileName, [Canvas](const std::string& s) { return Canvas->TextWidth(s); }, MaxWidth);
}

std::string VolumeLabelText(const shell::Volume& V, bool Upper) {
  return "[" + (Upper ? rtl::AnsiUpperCase(V.label) : rtl::AnsiLowerCase(V.label)) + "]";
}

std::string RemoteOrVolumeText(const shell::Volume& V, bool Upper) {
  if (V.kind == shell::DriveKind::Remote && !V.device.empty())
    return Upper ? rtl::AnsiUpperCase(V.device) : rtl::AnsiLowerCase(V.device);
  return VolumeLabelText(V, Upper);
}

int BackslashCount(const std::string& Text) { return int(std::count(Text.begin(), Text.end(), '/')); }

std::string CurrentDirectory() {
  std::error_code ec;
  const std::string s = std::filesystem::current_path(ec).string();
  return ec || s.empty() ? "/" : s;
}

TbsEditPath SplitEditPath(const std::string& Text, const std::string& Base) {
  std::string t = Text;
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') t = t.substr(1, t.size() - 2);
  std::filesystem::path p(t);
  if (p.is_relative()) p = std::filesystem::path(Base.empty() ? CurrentDirectory() : Base) / p;
  const std::string s = p.lexically_normal().string();
  const size_t k = s.rfind('/');
  TbsEditPath r;
  r.Directory = Normalised(k == 0 || k == std::string::npos ? "/" : s.substr(0, k));
  r.File = k == std::string::npos ? s : s.substr(k + 1);
  if (!IsDirectory(r.Directory)) throw rtl::EInOutError(ENOENT, "Folder not found: " + r.Directory);
  // A plain name that is no file is a folder to enter.
  if (!r.File.empty() && !HasWildcards(r.File) && !IsFile(JoinPath(r.Directory, r.File))) {
    const std::string sub = JoinPath(r.Directory, r.File);
    if (!IsDirectory(sub)) throw rtl::EInOutError(ENOENT, "Folder not found: " + sub);
    r.Directory = Normalised(sub);
    r.File.clear();
  }
  r.Drive = VolumeOf(r.Directory);
  return r;
}

bool MaskMatches(const std::string& Pattern, const std::string& Name) {
  const std::string p = Pattern == "*.*" ? "*" : Pattern;
  return ::fnmatch(p.c_str(), Name.c_str(), FNM_CASEFOLD) == 0;
}

// ---------------------------------------------------------------------------
// Volume chooser.

TbsSkinDriveComboBox::TbsSkinDriveComboBox(cl::TComponent* AOwner) : TbsSkinComboBox(AOwner) {
  OnChange = [this](rtl::TObject*) {
    const int i = ItemIndex();
    if (i >= 0 && i < int(FVolumes.size())) SetDrive(FVolumes[size_t(i)].mountPoint);
  };
  auto draw = [this](gfx::TCanvas* C, int Index, int, int, TRect TxtRect, TOwnerDrawState) {
    DrawRow(C, Index, TxtRect);
  };
  OnComboBoxDrawItem = draw;
  SetOnListBoxDrawItem(draw);
  MakePicture(FloppyBMP, Pic::Floppy);
  MakePicture(FixedBMP, Pic::Fixed);
  MakePicture(NetworkBMP, Pic::Network);
  MakePicture(CDROMBMP, Pic::CdRom);
  MakePicture(RAMBMP, Pic::Ram);
  VolumeSource = [] { return shell::ListVolumes(); };
  FDrive = VolumeOf(CurrentDirectory());
}

void TbsSkinDriveComboBox::Destroy() {
  if (FDirList) FDirList->FDriveCombo = nullptr;
  FDirList = nullptr;
  TbsSkinComboBox::Destroy();
}

void TbsSkinDriveComboBox::CreateWnd() {
  TbsSkinComboBox::CreateWnd();
  FillDriveList();
  SetDrive(FDrive);
}

void TbsSkinDriveComboBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinComboBox::Notification(AComponent, Operation);
  if (Operation == cl::opRemove && AComponent == FDirList) FDirList = nullptr;
}

void TbsSkinDriveComboBox::FillDriveList() {
  Items().Clear();
  FVolumes.clear();
  const bool upper = FTextCase == tcUpperCase;
  for (const shell::Volume& v : VolumeSource ? VolumeSource() : std::vector<shell::Volume>{}) {
    std::string text = v.mountPoint;
    gfx::TBitmap* pic = nullptr;
    switch (v.kind) {
      case shell::DriveKind::Removable:
        pic = &FloppyBMP;
        break;
      case shell::DriveKind::Fixed:
        text += " " + VolumeLabelText(v, upper);
        pic = &FixedBMP;
        break;
      case shell::DriveKind::Remote:
        text += " " + RemoteOrVolumeText(v, upper);
        pic = &NetworkBMP;
        break;
      case shell::DriveKind::CdRom:
        text += " " + VolumeLabelText(v, upper);
        pic = &CDROMBMP;
        break;
      case shell::DriveKind::RamDisk:
        text += " " + VolumeLabelText(v, upper);
        pic = &RAMBMP;
        break;
      default:
        continue;  // no root directory, or unknown: no row
    }
    Items().AddObject(text, pic);
    FVolumes.push_back(v);
  }
}

void TbsSkinDriveComboBox::SetDrive(const std::string& Value) {
  if (ItemIndex() >= 0 && Value == FDrive) return;
  FDrive = Value;
  int row = -1;
  for (size_t i = 0; i < FVolumes.size() && !Value.empty(); ++i)
    if (FVolumes[i].mountPoint == Value) {
      row = int(i);
      break;
    }
  cl::Keep<TbsSkinDriveComboBox> self(this);
  SetItemIndex(row);
  if (Destroyed()) return;
  if (FDirList) FDirList->DriveChange(FDrive);
  if (!Destroyed()) Change();
}

void TbsSkinDriveComboBox::SetTextCase(TTextCase V) {
  FTextCase = V;
  FillDriveList();
  SetDrive(FDrive);
}

void TbsSkinDriveComboBox::SetDirList(TbsSkinDirectoryListBox* V) {
  if (FDirList) {
    FDirList->FDriveCombo = nullptr;
    RemoveFreeNotification(FDirList);
  }
  FDirList = V;
  if (V) {
    V->FDriveCombo = this;
    V->FreeNotification(this);
  }
}

void TbsSkinDriveComboBox::DrawRow(gfx::TCanvas* C, int Index, TRect TxtRect) {
  if (Index < 0 || Index >= Items().Count()) return;
  auto* pic = static_cast<gfx::TBitmap*>(Items().Objects(Index));
  int x = TxtRect.Left;
  if (pic) {
    DrawPicture(C, pic, x, TxtRect.Top + TxtRect.Height() / 2 - pic->Height() / 2);
    x += pic->Width() + 6;
  }
  C->Brush()->SetStyle(gfx::bsClear);
  C->TextRect(TxtRect, x, TxtRect.Top + TxtRect.Height() / 2 - C->TextHeight("Wg") / 2, Items().Get(Index));
}

// ---------------------------------------------------------------------------
// Directory list.

TbsSkinDirectoryListBox::TbsSkinDirectoryListBox(cl::TComponent* AOwner) : TbsSkinListBox(AOwner) {
  OnDrawItem = [this](gfx::TCanvas* C, int Index, int, int, TRect TxtRect, TOwnerDrawState) {
    DrawRow(C, Index, TxtRect);
  };
  SetWidth(145);
  SetSorted(false);
  MakePicture(OpenedBMP, Pic::OpenFolder);
  MakePicture(ClosedBMP, Pic::ClosedFolder);
  MakePicture(CurrentBMP, Pic::CurrentFolder);
  FDirectory = CurrentDirectory();
}

void TbsSkinDirectoryListBox::Destroy() {
  if (FFileList) FFileList->FDirList = nullptr;
  if (FDriveCombo) FDriveCombo->FDirList = nullptr;
  FFileList = nullptr;
  FDriveCombo = nullptr;
  TbsSkinListBox::Destroy();
}

void TbsSkinDirectoryListBox::CreateWnd() {
  TbsSkinListBox::CreateWnd();
  BuildDirectoryRows();
}

void TbsSkinDirectoryListBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinListBox::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FFileList) FFileList = nullptr;
  if (AComponent == FDriveCombo) FDriveCombo = nullptr;
  if (AComponent == FDirLabel) FDirLabel = nullptr;
}

std::string TbsSkinDirectoryListBox::Drive() const { return VolumeOf(FDirectory); }

void TbsSkinDirectoryListBox::SetDrive(const std::string& Value) {
  if (Value != Drive()) SetDirectory(Value);
}

int TbsSkinDirectoryListBox::FileCompareText(const std::string& A, const std::string& B) const {
  return FCaseSensitive ? A.compare(B) : rtl::AnsiCompareFileName(A, B);
}

std::string TbsSkinDirectoryListBox::DisplayCase(const std::string& S) const {
  return FPreserveCase || FCaseSensitive ? S : rtl::AnsiLowerCase(S);
}

void TbsSkinDirectoryListBox::SetDirectory(const std::string& Value) {
  if (Value.empty() || FileCompareText(Value, FDirectory) == 0) return;
  const TbsEditPath p = SplitEditPath(Value, FDirectory);
  if (p.Drive != Drive()) {
    // The drive combo (or this list) moves to the new volume first, without
    // rebuilding: the folder below follows at once.
    struct Flag {
      bool& f;
      ~Flag() { f = false; }
    } reset{FInSetDir};
    FInSetDir = true;
    if (FDriveCombo)
      FDriveCombo->SetDrive(p.Drive);
    else
      DriveChange(p.Drive);
  }
  if (Destroyed()) return;
  EnterDirectory(p.Directory);
}

void TbsSkinDirectoryListBox::EnterDirectory(const std::string& Dir) {
  if (!IsDirectory(Dir)) throw rtl::EInOutError(ENOENT, "Folder not found: " + Dir);
  FDirectory = Normalised(Dir);
  BuildDirectoryRows();
  DirChange();
}

void TbsSkinDirectoryListBox::DriveChange(const std::string& NewDrive) {
  if (NewDrive == Drive()) return;
  if (!NewDrive.empty() && IsDirectory(NewDrive)) FDirectory = Normalised(NewDrive);
  if (!FInSetDir) {
    BuildDirectoryRows();
    DirChange();
  }
}

void TbsSkinDirectoryListBox::DirChange() {
  cl::Keep<TbsSkinDirectoryListBox> self(this);
  if (FFileList) FFileList->ApplyDirectory(FDirectory);
  if (Destroyed()) return;
  UpdateLabel();
  OnChange(this);
}

void TbsSkinDirectoryListBox::OpenCurrent() {
  const std::string p = GetItemPath(ItemIndex());
  if (!p.empty()) SetDirectory(p);
}

void TbsSkinDirectoryListBox::Update() {
  BuildDirectoryRows();
  DirChange();
}

void TbsSkinDirectoryListBox::BuildDirectoryRows() {
  FStopUpDateHScrollBar = true;
  rtl::TStrings& rows = Items();
  rows.BeginUpdate();
  rows.Clear();
  const shell::CaseRules cr = shell::CaseRulesOf(FDirectory);
  FPreserveCase = cr.casePreserving || cr.caseSensitive;
  FCaseSensitive = cr.caseSensitive;
  if (FDirectory == "/") {
    rows.AddObject("/", &CurrentBMP);
  } else {
    rows.AddObject("/", &OpenedBMP);
    std::vector<std::string> parts;
    size_t from = 1;
    while (from <= FDirectory.size()) {
      const size_t k = FDirectory.find('/', from);
      const std::string part = FDirectory.substr(from, k == std::string::npos ? std::string::npos : k - from);
      if (!part.empty()) parts.push_back(part);
      if (k == std::string::npos) break;
      from = k + 1;
    }
    for (size_t i = 0; i < parts.size(); ++i)
      rows.AddObject(parts[i], i + 1 == parts.size() ? &CurrentBMP : &OpenedBMP);
  }
  const int newSelect = rows.Count() - 1;
  // Sub-folders, hidden ones (dot-names) left out, in case-blind order.
  std::vector<std::string> subs;
  if (DIR* d = ::opendir(FDirectory.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name.empty() || name[0] == '.') continue;
      if (IsDirectory(JoinPath(FDirectory, name))) subs.push_back(name);
    }
    ::closedir(d);
  }
  std::sort(subs.begin(), subs.end(), [](const std::string& a, const std::string& b) {
    const int c = rtl::AnsiCompareText(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  for (const std::string& s : subs) rows.AddObject(s, &ClosedBMP);
  rows.EndUpdate();
  FStopUpDateHScrollBar = false;
  SetItemIndex(newSelect);
  UpDateScrollBar();
}

int TbsSkinDirectoryListBox::RowIndent(int Index) {
  if (Index >= 0 && Index < Items().Count() && Items().Objects(Index) == &ClosedBMP)
    return BackslashCount(FDirectory) * 4 + 6;
  return Index * 4 + 2;
}

void TbsSkinDirectoryListBox::DrawRow(gfx::TCanvas* C, int Index, TRect TxtRect) {
  if (Index < 0 || Index >= Items().Count()) return;
  auto* pic = static_cast<gfx::TBitmap*>(Items().Objects(Index));
  const int pw = pic ? pic->Width() : 16;
  const int indent = RowIndent(Index);
  const int shift = ListBox->HorizontalExtentValue();
  if (pic) DrawPicture(C, pic, TxtRect.Left + indent - shift, TxtRect.Top + TxtRect.Height() / 2 - pic->Height() / 2);
  C->Brush()->SetStyle(gfx::bsClear);
  DrawTextVCenterOffset(C, Items().Get(Index), TxtRect, pw + indent - shift + 4);
}

int TbsSkinDirectoryListBox::GetItemWidth(int Index, gfx::TCanvas* C) {
  const int w = TbsSkinListBox::GetItemWidth(Index, C);
  auto* pic = static_cast<gfx::TBitmap*>(Items().Objects(Index));
  return pic ? w + pic->Width() + RowIndent(Index) + 4 : w + Index * 4 + 22;
}

std::string TbsSkinDirectoryListBox::GetItemPath(int Index) {
  if (Index < 0 || Index >= Items().Count()) return "";
  void* o = Items().Objects(Index);
  if (Index == 0) return "/";
  if (o == &ClosedBMP) return JoinPath(FDirectory, Items().Get(Index));
  if (o == &CurrentBMP) return FDirectory;
  // An ancestor: the path up to the (Index + 1)-th separator.
  int seen = 0;
  for (size_t i = 0; i < FDirectory.size(); ++i)
    if (FDirectory[i] == '/' && ++seen == Index + 1) return FDirectory.substr(0, i);
  return FDirectory;
}

void TbsSkinDirectoryListBox::ListBoxDblClick() {
  cl::Keep<TbsSkinDirectoryListBox> self(this);
  TbsSkinListBox::ListBoxDblClick();
  if (!Destroyed()) OpenCurrent();
}

void TbsSkinDirectoryListBox::ListBoxKeyPress(char32_t& Key) {
  cl::Keep<TbsSkinDirectoryListBox> self(this);
  TbsSkinListBox::ListBoxKeyPress(Key);
  if (!Destroyed() && Key == 13) OpenCurrent();
}

void TbsSkinDirectoryListBox::SetFileList(TbsSkinFileListBox* V) {
  if (FFileList) {
    FFileList->FDirList = nullptr;
    RemoveFreeNotification(FFileList);
  }
  FFileList = V;
  if (V) {
    V->FDirList = this;
    V->FreeNotification(this);
  }
}

void TbsSkinDirectoryListBox::SetDirLabel(TbsSkinStdLabel* V) {
  if (FDirLabel) RemoveFreeNotification(FDirLabel);
  FDirLabel = V;
  if (V) V->FreeNotification(this);
  UpdateLabel();
}

void TbsSkinDirectoryListBox::UpdateLabel() {
  if (!FDirLabel) return;
  const int width = FDirLabel->AutoSize() ? Width() : FDirLabel->Width();
  gfx::TBitmap m;
  m.SetSize(1, 1);
  m.Canvas()->Font()->Assign(*FDirLabel->Font());
  FDirLabel->SetCaption(ShortenPathToWidth(FDirectory, m.Canvas(), width));
}

// ---------------------------------------------------------------------------
// File list.

TbsSkinFileListBox::TbsSkinFileListBox(cl::TComponent* AOwner) : TbsSkinListBox(AOwner) {
  SetWidth(145);
  FDirectory = CurrentDirectory();
  SetSorted(true);
}

void TbsSkinFileListBox::Destroy() {
  if (FFilterCombo) FFilterCombo->SetFileList(nullptr);
  if (FDirList) FDirList->FFileList = nullptr;
  FFilterCombo = nullptr;
  FDirList = nullptr;
  TbsSkinListBox::Destroy();
}

void TbsSkinFileListBox::CreateWnd() {
  TbsSkinListBox::CreateWnd();
  ReadFileRows();
}

void TbsSkinFileListBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinListBox::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FFileEdit) FFileEdit = nullptr;
  if (AComponent == FDirList) FDirList = nullptr;
  if (AComponent == FFilterCombo) FFilterCombo = nullptr;
}

std::string TbsSkinFileListBox::Drive() const { return VolumeOf(FDirectory); }

void TbsSkinFileListBox::SetDrive(const std::string& Value) {
  if (Value != Drive()) ApplyFilePath(Value);
}

void TbsSkinFileListBox::SetMask(const std::string& V) {
  if (V == FMask) return;
  FMask = V;
  ReadFileRows();
}

void TbsSkinFileListBox::SetFileType(TbsFileType V) {
  if (V == FFileType) return;
  FFileType = V;
  ReadFileRows();
}

void TbsSkinFileListBox::SetFileEdit(ctl::TCustomEdit* V) {
  if (FFileEdit) RemoveFreeNotification(FFileEdit);
  FFileEdit = V;
  if (!V) return;
  V->FreeNotification(this);
  const std::string sel = SelectedText();
  V->SetText(sel.empty() ? FMask : sel);
}

void TbsSkinFileListBox::SetFilterCombo(TbsSkinFilterComboBox* V) {
  if (FFilterCombo) {
    FFilterCombo->SetFileList(nullptr);
    RemoveFreeNotification(FFilterCombo);
  }
  FFilterCombo = V;
  if (V) {
    V->SetFileList(this);
    V->FreeNotification(this);
  }
}

std::string TbsSkinFileListBox::SelectedText() {
  const int i = ItemIndex();
  if (i < 0 || i >= Items().Count()) return "";
  if (ListBox->MultiSelect() && !ListBox->Selected(i)) return "";
  return Items().Get(i);
}

std::string TbsSkinFileListBox::FileName() {
  const std::string s = SelectedText();
  return s.empty() ? std::string() : JoinPath(FDirectory, s);
}

void TbsSkinFileListBox::ApplyDirectory(const std::string& Dir) {
  const std::string d = Normalised(Dir);
  if (d == FDirectory) return;
  if (!IsDirectory(d)) throw rtl::EInOutError(ENOENT, "Folder not found: " + d);
  FDirectory = d;
  ReadFileRows();
}

void TbsSkinFileListBox::ReadFileRows() {
  if (!HandleAllocated()) return;
  unsigned word = 0;
  for (TbsFileAttr a : {bsftReadOnly, bsftHidden, bsftSystem, bsftVolumeID, bsftDirectory, bsftArchive})
    if (FFileType & (1u << a)) word |= 1u << a;
  const bool normal = FFileType & (1u << bsftNormal);
  if (!IsDirectory(FDirectory)) throw rtl::EInOutError(ENOENT, "Folder not found: " + FDirectory);
  Items().Clear();
  cl::TScreen& screen = cl::ScreenInstance();
  const int savedCursor = screen.Cursor();
  struct Restore {
    cl::TScreen& s;
    int c;
    ~Restore() { s.SetCursor(c); }
  } restore{screen, savedCursor};
  constexpr unsigned kReadOnly = 1, kHidden = 2, kDirectory = 16;
  size_t from = 0;
  while (from <= FMask.size()) {
    const size_t k = FMask.find(';', from);
    const std::string pattern = FMask.substr(from, k == std::string::npos ? std::string::npos : k - from);
    from = k == std::string::npos ? FMask.size() + 1 : k + 1;
    if (pattern.empty()) continue;
    DIR* d = ::opendir(FDirectory.c_str());
    if (!d) continue;
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      const std::string full = JoinPath(FDirectory, name);
      struct stat st {};
      if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0) continue;
      unsigned attrs = 0;
      if (S_ISDIR(st.st_mode)) attrs |= kDirectory;
      if (name.size() > 1 && name[0] == '.' && name != "..") attrs |= kHidden;
      // Read-only: no write bit for the owner (which also holds for root),
      // or no write access for this user.
      if (!(st.st_mode & S_IWUSR) || ::access(full.c_str(), W_OK) != 0) attrs |= kReadOnly;
      // Hidden entries and folders come only when asked for.
      if ((attrs & (kHidden | kDirectory)) & ~word) continue;
      if (!MaskMatches(pattern, name)) continue;
      if (!normal && !(attrs & word)) continue;
      const int at = Items().Add(attrs & kDirectory ? "[" + name + "]" : name);
      if (at == 100) screen.SetCursor(cl::crHourGlass);
    }
    ::closedir(d);
  }
  FileSelectionChanged();
}

void TbsSkinFileListBox::FileSelectionChanged() {
  FLastSel = ItemIndex();
  if (FFileEdit) {
    const std::string sel = SelectedText();
    FFileEdit->SetText(sel.empty() ? FMask : sel);
    FFileEdit->SelectAll();
  }
  OnChange(this);
}

void TbsSkinFileListBox::SelectByName(const std::string& Name) {
  if (Name == SelectedText()) return;
  int row = -1;
  for (int i = 0; i < Items().Count(); ++i)
    if (rtl::AnsiCompareText(Items().Get(i), Name) == 0) {
      row = i;
      break;
    }
  SetItemIndex(row);
  FileSelectionChanged();
}

void TbsSkinFileListBox::ApplyFilePath(const std::string& EditText) {
  if (EditText.empty() || EditText == FileName()) return;
  const TbsEditPath p = SplitEditPath(EditText, FDirectory);
  cl::Keep<TbsSkinFileListBox> self(this);
  if (FDirList)
    FDirList->SetDirectory(EditText);
  else
    ApplyDirectory(p.Directory);
  if (Destroyed()) return;
  if (HasWildcards(p.File)) {
    SetMask(p.File);
  } else if (!p.File.empty()) {
    SelectByName(p.File);
    // A file the mask hides: the mask becomes its name.
    if (IsFile(JoinPath(FDirectory, p.File)) && SelectedText() != p.File) {
      SetMask(p.File);
      SelectByName(p.File);
    }
  }
}

void TbsSkinFileListBox::ListBoxClick() {
  TbsSkinListBox::ListBoxClick();
  if (!Destroyed() && ItemIndex() != FLastSel) FileSelectionChanged();
}

}  // namespace skin
