// File-system choosers over the skinned lists: the volume combo box (a drive
// chooser whose rows are the mounted volumes), the directory list box (the
// path from "/" down to the current folder, then its sub-folders) and the
// file list box (the entries of one folder matching masks and attributes),
// with the path helpers they share.
//
// On this system a "drive" is a volume of the mount table (pseudo file
// systems left out), named by its mount point; a mask is a case-folded
// pattern ("*.*" matches every name); hidden entries are the dot-files. The
// controls keep their own folder instead of moving the process's working
// directory, so worker threads never see it change.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ctl/edit.h"
#include "platform/shell/volumes.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/controls/bsSkinLabels.h"
#include "skin/inputs/bsSkinListBox.h"

namespace skin {

// --- path helpers ("/" separators)

// True for an existing directory (symbolic links followed).
bool IsDirectory(const std::string& Path);
// Directory + name with exactly one separator between them.
std::string JoinPath(const std::string& Directory, const std::string& Name);
// Replaces the first directory of Path by ".../" (a leading "/" kept):
// "/a/b/c/" -> "/.../b/c/" -> "/.../c/" -> "/.../" -> "/" -> "".
void DropFirstDirectory(std::string& Path);
// FileName shortened by leading directories until Measure(text) <= MaxWidth;
// the name alone when nothing else fits.
std::string ShortenPathToWidth(const std::string& FileName, const std::function<int(const std::string&)>& Measure,
                               int MaxWidth);
std::string ShortenPathToWidth(const std::string& FileName, gfx::TCanvas* Canvas, int MaxWidth);
// "[label]" of a volume, the label upper- or lower-cased; "[]" without one.
std::string VolumeLabelText(const shell::Volume& V, bool Upper);
// The network source of a remote volume (cased like the label), else its label text.
std::string RemoteOrVolumeText(const shell::Volume& V, bool Upper);
// Number of "/" in Text (the depth of an absolute path).
int BackslashCount(const std::string& Text);

// An edited path taken apart: the volume (mount point) it lies on, its
// existing folder and the file part. Relative text is taken from Base.
struct TbsEditPath {
  std::string Drive, Directory, File;
};
// "[name]" (a folder row) loses its brackets. A file part without "*" or "?"
// that names no existing file is entered as a folder. Throws
// rtl::EInOutError when a folder to enter does not exist.
TbsEditPath SplitEditPath(const std::string& Text, const std::string& Base);

// The process's working directory.
std::string CurrentDirectory();

enum TTextCase { tcLowerCase, tcUpperCase };

class TbsSkinDirectoryListBox;
class TbsSkinFileListBox;

// --- volume chooser

class TbsSkinDriveComboBox : public TbsSkinComboBox {
 public:
  explicit TbsSkinDriveComboBox(cl::TComponent* AOwner);

  // The selected volume's mount point ("" = none).
  const std::string& Drive() const { return FDrive; }
  void SetDrive(const std::string& Value);
  TTextCase TextCase() const { return FTextCase; }
  void SetTextCase(TTextCase V);
  TbsSkinDirectoryListBox* DirList() const { return FDirList; }
  void SetDirList(TbsSkinDirectoryListBox* V);
  // Where the rows come from (the mount table; tests give their own).
  std::function<std::vector<shell::Volume>()> VolumeSource;
  // The volumes behind the rows, in row order.
  const std::vector<shell::Volume>& Volumes() const { return FVolumes; }
  virtual void FillDriveList();

 protected:
  void Destroy() override;
  void CreateWnd() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinDriveComboBox"; }

 private:
  void DrawRow(gfx::TCanvas* C, int Index, TRect TxtRect);
  std::string FDrive;
  TTextCase FTextCase = tcLowerCase;
  TbsSkinDirectoryListBox* FDirList = nullptr;
  std::vector<shell::Volume> FVolumes;
  gfx::TBitmap FloppyBMP, FixedBMP, NetworkBMP, CDROMBMP, RAMBMP;
  friend class TbsSkinDirectoryListBox;
};

// --- directory list

class TbsSkinDirectoryListBox : public TbsSkinListBox {
 public:
  explicit TbsSkinDirectoryListBox(cl::TComponent* AOwner);

  const std::string& Directory() const { return FDirectory; }
  // Enters the folder Value names (relative to the current one); throws
  // rtl::EInOutError, leaving everything as it was, when it does not exist.
  virtual void SetDirectory(const std::string& Value);
  // The volume (mount point) the directory lies on.
  std::string Drive() const;
  void SetDrive(const std::string& Value);
  bool PreserveCase() const { return FPreserveCase; }
  bool CaseSensitive() const { return FCaseSensitive; }
  TbsSkinFileListBox* FileList() const { return FFileList; }
  void SetFileList(TbsSkinFileListBox* V);
  TbsSkinStdLabel* DirLabel() const { return FDirLabel; }
  void SetDirLabel(TbsSkinStdLabel* V);
  rtl::TNotifyEvent OnChange;

  void OpenCurrent();
  void Update();
  std::string DisplayCase(const std::string& S) const;
  int FileCompareText(const std::string& A, const std::string& B) const;
  std::string GetItemPath(int Index);
  // The drive combo's step: the new volume's mount point becomes current.
  void DriveChange(const std::string& NewDrive);
  // Pixels a row is indented by (its picture starts there).
  int RowIndent(int Index);
  virtual void BuildDirectoryRows();

  gfx::TBitmap OpenedBMP, ClosedBMP, CurrentBMP;

 protected:
  virtual void DirChange();
  void CreateWnd() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Destroy() override;
  int GetItemWidth(int Index, gfx::TCanvas* C) override;
  void ListBoxDblClick() override;
  void ListBoxKeyPress(char32_t& Key) override;
  std::string ClassName() const override { return "TbsSkinDirectoryListBox"; }

 private:
  void EnterDirectory(const std::string& Dir);
  void UpdateLabel();
  void DrawRow(gfx::TCanvas* C, int Index, TRect TxtRect);
  std::string FDirectory;
  TbsSkinFileListBox* FFileList = nullptr;
  TbsSkinDriveComboBox* FDriveCombo = nullptr;
  TbsSkinStdLabel* FDirLabel = nullptr;
  bool FInSetDir = false;
  bool FPreserveCase = true, FCaseSensitive = true;
  friend class TbsSkinDriveComboBox;
  friend class TbsSkinFileListBox;
};

// --- file list

enum TbsFileAttr { bsftReadOnly, bsftHidden, bsftSystem, bsftVolumeID, bsftDirectory, bsftArchive, bsftNormal };
using TbsFileType = unsigned;  // bit (1 << TbsFileAttr) per attribute
constexpr TbsFileType FileTypeOf(std::initializer_list<TbsFileAttr> A) {
  TbsFileType t = 0;
  for (TbsFileAttr a : A) t |= 1u << a;
  return t;
}

class TbsSkinFileListBox : public TbsSkinListBox, public TbsFilterTarget {
 public:
  explicit TbsSkinFileListBox(cl::TComponent* AOwner);

  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(const std::string& V) { ApplyFilePath(V); }
  std::string Drive() const;
  void SetDrive(const std::string& Value);
  const std::string& Mask() const { return FMask; }
  void SetMask(const std::string& V) override;
  TbsFileType FileType() const { return FFileType; }
  void SetFileType(TbsFileType V);
  ctl::TCustomEdit* FileEdit() const { return FFileEdit; }
  void SetFileEdit(ctl::TCustomEdit* V);
  // Links the filter combo box: its selection sets this list's mask.
  TbsSkinFilterComboBox* FilterCombo() const { return FFilterCombo; }
  void SetFilterCombo(TbsSkinFilterComboBox* V);
  TbsSkinDirectoryListBox* DirList() const { return FDirList; }
  rtl::TNotifyEvent OnChange;

  // The selected entry's full path ("" when none is selected).
  virtual std::string FileName();
  void SetFileName(const std::string& V) { ApplyFilePath(V); }
  void Update() { ReadFileRows(); }
  // Takes an edited path: its folder becomes the listed one, a pattern the
  // mask, a name the selection.
  virtual void ApplyFilePath(const std::string& EditText);
  // The linked directory list's step: lists Dir (throws rtl::EInOutError
  // when it is no folder).
  void ApplyDirectory(const std::string& Dir);
  virtual void ReadFileRows();

 protected:
  virtual void FileSelectionChanged();
  void CreateWnd() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Destroy() override;
  void ListBoxClick() override;
  std::string ClassName() const override { return "TbsSkinFileListBox"; }

 private:
  std::string SelectedText();
  void SelectByName(const std::string& Name);
  std::string FDirectory;
  std::string FMask = "*.*";
  TbsFileType FFileType = FileTypeOf({bsftNormal});
  ctl::TCustomEdit* FFileEdit = nullptr;
  TbsSkinDirectoryListBox* FDirList = nullptr;
  TbsSkinFilterComboBox* FFilterCombo = nullptr;
  int FLastSel = -1;
  friend class TbsSkinDirectoryListBox;
};

// Whether a name matches one mask pattern: "*" and "?" without regard to
// case, "*.*" matching every name.
bool MaskMatches(const std::string& Pattern, const std::string& Name);

}  // namespace skin
