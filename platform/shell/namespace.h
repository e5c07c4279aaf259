// A small shell namespace over the file system, in place of the Windows
// shell's COM folders: the virtual Desktop (Computer, Home and the desktop
// folder's entries), the virtual Computer (the volumes) and file-system
// folders, addressed by item identifier lists in the shell's byte format.
//
// An identifier list is a sequence of items, each a 16-bit little-endian
// byte count (the two count bytes included) and its data, ended by a zero
// count; the empty list is the Desktop. Here an item's data is one kind byte
// and the item's UTF-8 name. A path's absolute list is Computer, its volume
// (the longest mount point that is a prefix) and the path's components
// below that mount point, so every path has one list.
#pragma once

#include "platform/win/handles.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gfx {
class ImageList;
}

namespace shell {

struct Volume;

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0, S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001), E_FAIL = HRESULT(0x80004005), E_ACCESSDENIED = HRESULT(0x80070005),
                  E_INVALIDARG = HRESULT(0x80070057);
constexpr HRESULT HRESULT_FROM_WIN32(uint32_t code) { return HRESULT(code ? (code & 0xFFFF) | 0x80070000u : 0); }
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2, ERROR_PATH_NOT_FOUND = 3, ERROR_INVALID_NAME = 123,
                   ERROR_ALREADY_EXISTS = 183;
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
// The comparison answer of CompareIDs: -1, 0 or 1 in the low 16 bits.
constexpr int16_t HRESULT_CODE(HRESULT hr) { return int16_t(uint16_t(uint32_t(hr) & 0xFFFF)); }

#pragma pack(push, 1)
struct SHITEMID {
  uint16_t cb;
  uint8_t abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
#pragma pack(pop)
using PIDLIST = ITEMIDLIST*;
using PCIDLIST = const ITEMIDLIST*;

// The shell's allocator: every list made here comes from it and goes back to it.
void* SHAlloc(size_t size);
void SHFree(void* p);

// The kind byte of an item.
enum ItemKind : uint8_t { ikVirtual = 0x1F, ikVolume = 0x2F, ikDirectory = 0x31, ikFile = 0x32 };

// A new one-item list.
PIDLIST MakeItem(ItemKind kind, const std::string& name);
// 0 for null, else every count plus 2 for the terminator.
uint32_t ILGetSize(PCIDLIST pidl);
bool ILIsEmpty(PCIDLIST pidl);
PCIDLIST ILNext(PCIDLIST pidl);
int ILCount(PCIDLIST pidl);
PIDLIST ILClone(PCIDLIST pidl);             // new
PIDLIST ILCombine(PCIDLIST a, PCIDLIST b);  // new; a may be null
PIDLIST ILCloneFirst(PCIDLIST pidl);        // new one-item list of the first item
PCIDLIST ILFindLastID(PCIDLIST pidl);       // the last item (the terminator for an empty list)
ItemKind ItemKindOf(PCIDLIST pidl);         // of the first item
std::string ItemNameOf(PCIDLIST pidl);      // of the first item
// Owns a list for a scope.
struct IdListDeleter {
  void operator()(ITEMIDLIST* p) const { SHFree(p); }
};
using UniqueIdList = std::unique_ptr<ITEMIDLIST, IdListDeleter>;

// ---- attribute, enumeration and name flags ------------------------------------
constexpr uint32_t SFGAO_CANCOPY = 0x1, SFGAO_CANMOVE = 0x2, SFGAO_CANLINK = 0x4, SFGAO_CANRENAME = 0x10,
                   SFGAO_CANDELETE = 0x20, SFGAO_HASPROPSHEET = 0x40, SFGAO_DROPTARGET = 0x100, SFGAO_GHOSTED = 0x8000,
                   SFGAO_LINK = 0x10000, SFGAO_SHARE = 0x20000, SFGAO_READONLY = 0x40000, SFGAO_HIDDEN = 0x80000,
                   SFGAO_DISPLAYATTRMASK = 0xFC000, SFGAO_VALIDATE = 0x1000000, SFGAO_REMOVABLE = 0x2000000,
                   SFGAO_FILESYSANCESTOR = 0x10000000, SFGAO_FOLDER = 0x20000000, SFGAO_FILESYSTEM = 0x40000000,
                   SFGAO_HASSUBFOLDER = 0x80000000;
constexpr uint32_t SHCONTF_FOLDERS = 0x20, SHCONTF_NONFOLDERS = 0x40, SHCONTF_INCLUDEHIDDEN = 0x80;
constexpr uint32_t SHGDN_NORMAL = 0, SHGDN_INFOLDER = 0x1, SHGDN_FOREDITING = 0x1000, SHGDN_FORADDRESSBAR = 0x4000,
                   SHGDN_FORPARSING = 0x8000;

// A display name. Names here are always UTF-8 strings (STRRET_WSTR); the
// other kinds are kept for code that converts every kind.
constexpr uint32_t STRRET_WSTR = 0, STRRET_OFFSET = 1, STRRET_CSTR = 2;
struct STRRET {
  uint32_t uType = STRRET_WSTR;
  std::string pOleStr;
  uint32_t uOffset = 0;
  char cStr[260] = {};
};

class IEnumIDListLx {
 public:
  virtual ~IEnumIDListLx() = default;
  // S_OK with a new one-item list, S_FALSE after the last one.
  virtual HRESULT Next(PIDLIST* item) = 0;
};

// The small context menu that stands in for the shell's: "open" (the
// desktop's opener through the launcher) and "rename" (left to the view,
// which handles it itself; invoked here it does nothing). "properties" does
// nothing either.
struct ContextCommand {
  int id;
  std::string verb;
  std::string caption;
};
class IContextMenuLx {
 public:
  virtual ~IContextMenuLx() = default;
  virtual std::vector<ContextCommand> Commands() = 0;
  virtual HRESULT InvokeCommand(win::HWND owner, const std::string& verb) = 0;
};

class IShellFolderLx {
 public:
  virtual ~IShellFolderLx() = default;
  // A path (on the Desktop: absolute, or a Desktop item's name; elsewhere:
  // relative) into a new list relative to this folder.
  virtual HRESULT ParseDisplayName(const std::string& name, PIDLIST* out, uint32_t* attributes) = 0;
  // The items of the folder (SHCONTF_*). Fails when the folder cannot be read.
  virtual HRESULT EnumObjects(uint32_t flags, std::unique_ptr<IEnumIDListLx>* out) = 0;
  // The folder of a (possibly multi-item) relative list; fails for an empty
  // list and for items that are not folders.
  virtual HRESULT BindToObject(PCIDLIST pidl, std::shared_ptr<IShellFolderLx>* out) = 0;
  // -1, 0 or 1 in the code: Computer, then Home, then volumes ("/" first),
  // then directories, then files; names case-insensitively (then exactly).
  virtual HRESULT CompareIDs(intptr_t lParam, PCIDLIST a, PCIDLIST b) = 0;
  // The attributes every item has, whatever was asked for in `inOut`.
  virtual HRESULT GetAttributesOf(uint32_t count, PCIDLIST* items, uint32_t* inOut) = 0;
  virtual HRESULT GetDisplayNameOf(PCIDLIST pidl, uint32_t flags, STRRET* out) = 0;
  // Renames within the folder (never over an existing item); `out` gets the
  // item's new relative list.
  virtual HRESULT SetNameOf(win::HWND owner, PCIDLIST pidl, const std::string& name, uint32_t flags, PIDLIST* out) = 0;
  // The context menu of one item (GetUIObjectOf with IID_IContextMenu).
  virtual HRESULT GetContextMenu(PCIDLIST pidl, std::unique_ptr<IContextMenuLx>* out) = 0;
  // The folder's file-system path; "" for the virtual folders.
  virtual std::string Path() const = 0;
};

HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolderLx>* out);
// The absolute list of a special folder (knownfolders.h); fails for those
// that are not available here.
HRESULT SHGetSpecialFolderLocation(int csidl, PIDLIST* out);
// The file-system path of an absolute list; false for virtual items.
bool SHGetPathFromIDList(PCIDLIST pidl, std::string* path);

// The system image lists (16 and 32 pixels) and their fixed indices.
enum SystemIcon {
  siFile,
  siVideo,
  siAudio,
  siPicture,
  siFolder,
  siFolderOpen,
  siDrive,
  siRemovable,
  siComputer,
  siDesktop,
  siHome,
  siCount
};
gfx::ImageList* SystemImageList(bool large);
// The icon of the item an absolute list names, by its kind and extension.
int SystemIconIndex(PCIDLIST pidl, bool large, bool open);

// Where the Computer folder gets its volumes (ListVolumes by default; tests
// give their own). nullptr goes back to the default.
void SetVolumeProvider(std::function<std::vector<Volume>()> provider);

}  // namespace shell
