// The namespace layer under the shell views and the file dialogs: routines
// on item identifier lists, item queries on a parent folder, the folder
// object every view row, node and combo entry owns, root resolution, the
// command protocol of the views' small context menu, and the folder change
// notifier (a directory watcher whose changes arrive on the UI loop).
//
// Identifier lists are the shell's byte format (platform/shell/namespace.h);
// "new" lists belong to the caller and go back with FreeShellIdList.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/cl/object.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"
#include "platform/shell/dirwatcher.h"
#include "platform/shell/namespace.h"

namespace skin {

using shell::PCIDLIST;
using shell::PIDLIST;
using ShellFolderIntf = std::shared_ptr<shell::IShellFolderLx>;

// ---- identifier lists ------------------------------------------------------------

PIDLIST ShellAllocIdList(size_t Size);  // zero-filled
void FreeShellIdList(PIDLIST List);
PCIDLIST NextIdItem(PCIDLIST List);
void TruncateLastIdItem(PIDLIST List);
int CountIdItems(PCIDLIST List);
uint32_t IdListByteSize(PCIDLIST List);
PIDLIST DuplicateIdList(PCIDLIST List);
PIDLIST JoinIdLists(PCIDLIST First, PCIDLIST Second);
PIDLIST CopyLastIdItem(PCIDLIST List);
// Every proper prefix of an absolute list, shortest (the desktop) first.
using TbsIdPrefixList = std::vector<shell::UniqueIdList>;
TbsIdPrefixList BuildIdPrefixList(PCIDLIST List);
bool IdListsEqual(PCIDLIST A, PCIDLIST B);
PIDLIST DesktopIdList();
ShellFolderIntf AcquireDesktopFolderIntf();

// ---- settings shared by the views ------------------------------------------------

enum TRootFolder {
  rfDesktop,
  rfMyComputer,
  rfNetwork,
  rfRecycleBin,
  rfAppData,
  rfCommonDesktopDirectory,
  rfCommonPrograms,
  rfCommonStartMenu,
  rfCommonStartup,
  rfControlPanel,
  rfDesktopDirectory,
  rfFavorites,
  rfFonts,
  rfInternet,
  rfPersonal,
  rfPrinters,
  rfPrintHood,
  rfPrograms,
  rfRecent,
  rfSendTo,
  rfStartMenu,
  rfStartup,
  rfTemplates,
  rfCount
};
const char* RootFolderName(TRootFolder Value);
int RootFolderCsidl(TRootFolder Value);
// The value whose name equals Root exactly, or -1 (a path).
int RootFolderKindOf(const std::string& Root);

enum TbsShellFolderCapability : unsigned {
  fcCanCopy = 1u << 0,
  fcCanDelete = 1u << 1,
  fcCanLink = 1u << 2,
  fcCanMove = 1u << 3,
  fcCanRename = 1u << 4,
  fcDropTarget = 1u << 5,
  fcHasPropSheet = 1u << 6
};
using TbsShellFolderCapabilities = unsigned;

enum TbsShellFolderProperty : unsigned {
  fpCut = 1u << 0,
  fpIsLink = 1u << 1,
  fpReadOnly = 1u << 2,
  fpShared = 1u << 3,
  fpFileSystem = 1u << 4,
  fpFileSystemAncestor = 1u << 5,
  fpRemovable = 1u << 6,
  fpValidate = 1u << 7
};
using TbsShellFolderProperties = unsigned;

enum TShellObjectType : unsigned { otFolders = 1, otNonFolders = 2, otHidden = 4 };
using TShellObjectTypes = unsigned;
inline uint32_t ObjectTypesToEnumFlags(TShellObjectTypes T) { return (T & 7u) << 5; }

class EInvalidPath : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// ---- item queries --------------------------------------------------------------

std::string ShellStrToString(PCIDLIST List, const shell::STRRET& Str);
std::string ShellItemName(shell::IShellFolderLx* Parent, PCIDLIST List, uint32_t Flags);
TbsShellFolderCapabilities QueryCapabilities(shell::IShellFolderLx* Parent, PCIDLIST List);
TbsShellFolderProperties QueryProperties(shell::IShellFolderLx* Parent, PCIDLIST List);
bool QueryIsFolder(shell::IShellFolderLx* Parent, PCIDLIST List);
bool QueryHasSubFolders(shell::IShellFolderLx* Parent, PCIDLIST List);
bool QueryHasSubItems(shell::IShellFolderLx* Folder, uint32_t Flags);
// The folder of an item, null for items that are not folders.
ShellFolderIntf BindSubFolder(shell::IShellFolderLx* Parent, PCIDLIST List);

// What a directory entry says, in place of the find data of a search.
struct TbsFindData {
  std::string FileName;
  bool Directory = false;
  int64_t Size = 0;
  rtl::TDateTime WriteTime = 0;  // local time, to the second
  uint32_t Attributes = 0;       // FILE_ATTRIBUTE_* equivalents
};
// Column 1 size (blank for a folder), 2 extension, 3 modified (local time),
// 4 attribute number; other columns blank.
std::string FindDataDetail(const TbsFindData& Data, int Column);

// ---- the folder object -----------------------------------------------------------

class TbsShellFolder {
 public:
  // ID is copied; without a parent the folder hangs below the desktop.
  TbsShellFolder(TbsShellFolder* AParent, PCIDLIST ID, ShellFolderIntf SF);
  ~TbsShellFolder();
  TbsShellFolder(const TbsShellFolder&) = delete;
  TbsShellFolder& operator=(const TbsShellFolder&) = delete;

  PCIDLIST RelativeID() const { return FPIDL; }
  PCIDLIST AbsoluteID() const { return FFullPIDL; }
  TbsShellFolder* Parent() const { return FParent; }
  const ShellFolderIntf& ShellFolder() const { return FIShellFolder; }
  int Level() const { return FLevel; }
  win::HWND ViewHandle;

  shell::IShellFolderLx* ParentShellFolder() const;
  TbsShellFolderProperties Properties() const;
  TbsShellFolderCapabilities Capabilities() const;
  bool SubFolders() const;
  bool IsFolder() const;
  std::string PathName() const;
  std::string FullObjectName() const;
  std::string DisplayName() const;
  int ImageIndex(bool LargeIcon) const;
  // False without the right to rename; raises "Rename to %s failed".
  bool Rename(const std::string& NewName);
  bool ExecuteDefault();
  void LoadColumnDetails(TbsShellFolder* RootFolder, win::HWND Handle, int ColumnCount);
  std::string DetailText(int Index) const;  // 1-based
  int DetailCount() const { return int(FDetails.size()); }
  // Raises EInvalidPath when the item cannot be read.
  void ReadFindData(TbsFindData& Data) const;

 private:
  PIDLIST FPIDL = nullptr;
  PIDLIST FFullPIDL = nullptr;
  TbsShellFolder* FParent = nullptr;
  ShellFolderIntf FIShellFolder;
  int FLevel = 0;
  std::vector<std::string> FDetails;
};

// The desktop's folder object every parentless folder hangs below.
TbsShellFolder* SharedDesktopFolder();

// A new folder object for an absolute list. An item that is not a folder
// keeps no folder interface (it never lists the desktop under its name).
TbsShellFolder* FolderFromAbsoluteId(PCIDLIST ID);
// Root is a TRootFolder name or a path. On failure NewRoot gets OldRoot
// back and "Error setting path" is raised; on success OldFolder is deleted.
TbsShellFolder* ResolveRootFolder(TbsShellFolder* OldFolder, const std::string& OldRoot, std::string& NewRoot);

// ---- commands of the views' context menu ---------------------------------------

// A view handles some verbs itself ("rename" edits the label in place).
class IbsShellCommandHandler {
 public:
  virtual ~IbsShellCommandHandler() = default;
  virtual void ExecuteCommand(const std::string& Verb, bool& Handled) = 0;
  virtual void CommandCompleted(const std::string& Verb, bool Succeeded) = 0;
};
// Runs a verb of the folder's menu: the handler first, the namespace when the
// handler leaves it, then the handler hears the outcome. True on success.
bool RunShellCommand(IbsShellCommandHandler* Handler, TbsShellFolder* Folder, const std::string& Verb);
void InvokeShellVerb(TbsShellFolder* Folder, const std::string& Verb);

// ---- folder change notifier ----------------------------------------------------

enum TNotifyFilter : unsigned {
  nfFileNameChange = 1u << 0,
  nfDirNameChange = 1u << 1,
  nfAttributeChange = 1u << 2,
  nfSizeChange = 1u << 3,
  nfWriteChange = 1u << 4,
  nfSecurityChange = 1u << 5
};
using TNotifyFilters = unsigned;
uint32_t NotifyFiltersToFlags(TNotifyFilters F);

// Watches Root while OnChange is set; changes arrive on the UI loop, quick
// successive changes as one call, and none after the notifier is freed.
class TbsCustomShellChangeNotifier : public cl::TComponent {
 public:
  explicit TbsCustomShellChangeNotifier(cl::TComponent* AOwner);

  TNotifyFilters NotifyFilters() const { return FFilters; }
  void SetNotifyFilters(TNotifyFilters V);
  bool WatchSubTree() const { return FWatchSubTree; }
  void SetWatchSubTree(bool V);
  const std::string& Root() const { return FRoot; }
  void SetRoot(const std::string& V);
  void SetOnChange(std::function<void()> V);
  bool Watching() const { return FWatcher != nullptr; }

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TbsCustomShellChangeNotifier"; }

 private:
  void ApplyWatchOptions();
  void StartWatching();
  TNotifyFilters FFilters = nfFileNameChange | nfDirNameChange;
  bool FWatchSubTree = true;
  std::string FRoot = "/";
  std::unique_ptr<shell::DirWatcher> FWatcher;
  std::function<void()> FOnChange;
};

class TbsShellChangeNotifier : public TbsCustomShellChangeNotifier {
 public:
  using TbsCustomShellChangeNotifier::TbsCustomShellChangeNotifier;

 protected:
  std::string ClassName() const override { return "TbsShellChangeNotifier"; }
};

}  // namespace skin
