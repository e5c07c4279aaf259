#include "skin/dialogs/bsShellFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/time.h"
#include "platform/shell/knownfolders.h"

namespace skin {

using namespace shell;

// ============================================================================ identifier lists

PIDLIST ShellAllocIdList(size_t Size) {
  void* p = SHAlloc(Size);
  if (p) std::memset(p, 0, Size ? Size : 1);
  return static_cast<PIDLIST>(p);
}

void FreeShellIdList(PIDLIST List) { SHFree(List); }

PCIDLIST NextIdItem(PCIDLIST List) { return ILNext(List); }

void TruncateLastIdItem(PIDLIST List) {
  if (ILIsEmpty(List)) return;
  auto* last = const_cast<ITEMIDLIST*>(ILFindLastID(List));
  auto* b = reinterpret_cast<uint8_t*>(last);
  b[0] = b[1] = 0;
}

int CountIdItems(PCIDLIST List) { return ILCount(List); }

uint32_t IdListByteSize(PCIDLIST List) { return ILGetSize(List); }

PIDLIST DuplicateIdList(PCIDLIST List) { return ILClone(List); }

PIDLIST JoinIdLists(PCIDLIST First, PCIDLIST Second) { return ILCombine(First, Second); }

PIDLIST CopyLastIdItem(PCIDLIST List) { return ILCloneFirst(ILFindLastID(List)); }

TbsIdPrefixList BuildIdPrefixList(PCIDLIST List) {
  TbsIdPrefixList out;
  int n = CountIdItems(List);
  for (int k = 0; k < n; k++) {
    PIDLIST p = DuplicateIdList(List);
    // Keep the first k items: put the terminator after them.
    PCIDLIST q = p;
    for (int i = 0; i < k; i++) q = ILNext(q);
    auto* b = reinterpret_cast<uint8_t*>(const_cast<ITEMIDLIST*>(q));
    b[0] = b[1] = 0;
    out.emplace_back(p);
  }
  return out;
}

ShellFolderIntf AcquireDesktopFolderIntf() {
  ShellFolderIntf f;
  if (FAILED(SHGetDesktopFolder(&f)) || !f) throw rtl::Exception("The desktop folder is not available");
  return f;
}

bool IdListsEqual(PCIDLIST A, PCIDLIST B) { return HRESULT_CODE(AcquireDesktopFolderIntf()->CompareIDs(0, A, B)) == 0; }

PIDLIST DesktopIdList() {
  PIDLIST p = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(CSIDL_DESKTOP, &p)) || !p)
    throw rtl::Exception("The desktop folder is not available");
  return p;
}

// ============================================================================ settings

namespace {
struct RootEntry {
  const char* name;
  int csidl;
};
constexpr RootEntry kRoots[rfCount] = {
    {"rfDesktop", 0x00},        {"rfMyComputer", 0x11},       {"rfNetwork", 0x12},
    {"rfRecycleBin", 0x0A},     {"rfAppData", 0x1A},          {"rfCommonDesktopDirectory", 0x19},
    {"rfCommonPrograms", 0x17}, {"rfCommonStartMenu", 0x16},  {"rfCommonStartup", 0x18},
    {"rfControlPanel", 0x03},   {"rfDesktopDirectory", 0x10}, {"rfFavorites", 0x06},
    {"rfFonts", 0x14},          {"rfInternet", 0x01},         {"rfPersonal", 0x05},
    {"rfPrinters", 0x04},       {"rfPrintHood", 0x1B},        {"rfPrograms", 0x02},
    {"rfRecent", 0x08},         {"rfSendTo", 0x09},           {"rfStartMenu", 0x0B},
    {"rfStartup", 0x07},        {"rfTemplates", 0x15}};
}  // namespace

const char* RootFolderName(TRootFolder Value) { return Value >= 0 && Value < rfCount ? kRoots[Value].name : ""; }
int RootFolderCsidl(TRootFolder Value) { return Value >= 0 && Value < rfCount ? kRoots[Value].csidl : -1; }

int RootFolderKindOf(const std::string& Root) {
  for (int i = 0; i < rfCount; i++)
    if (Root == kRoots[i].name) return i;
  return -1;
}

// ============================================================================ item queries

std::string ShellStrToString(PCIDLIST List, const STRRET& Str) {
  std::string s;
  switch (Str.uType) {
    case STRRET_WSTR:
      s = Str.pOleStr;
      break;
    case STRRET_OFFSET:
      if (!ILIsEmpty(List)) {
        auto* b = reinterpret_cast<const char*>(List);
        uint16_t cb = uint16_t(uint8_t(b[0]) | (uint8_t(b[1]) << 8));
        if (Str.uOffset < cb) s.assign(b + Str.uOffset, cb - Str.uOffset);
        s = s.c_str();  // the text ends at its terminator, if any
      }
      break;
    case STRRET_CSTR:
      s.assign(Str.cStr, strnlen(Str.cStr, sizeof Str.cStr));
      break;
    default:
      break;
  }
  // "?" followed by a digit marks a name with direction marks: drop them all.
  if (s.size() > 1 && s[0] == '?' && s[1] >= '0' && s[1] <= '9') {
    std::string t;
    for (char c : s)
      if (c != '?') t += c;
    s = t;
  }
  return s;
}

std::string ShellItemName(IShellFolderLx* Parent, PCIDLIST List, uint32_t Flags) {
  if (!Parent) return "parentfolder = nil";
  STRRET r;
  Parent->GetDisplayNameOf(List, Flags, &r);
  std::string s = ShellStrToString(List, r);
  if (rtl::StartsStr("::{", s)) {
    STRRET r2;
    Parent->GetDisplayNameOf(List, SHGDN_NORMAL, &r2);
    s = ShellStrToString(List, r2);
  }
  return s;
}

namespace {
uint32_t Attributes(IShellFolderLx* Parent, PCIDLIST List, uint32_t Ask) {
  if (!Parent) return 0;
  // The empty list is the desktop itself, a folder of folders.
  if (ILIsEmpty(List)) return (SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR) & (Ask ? Ask : ~0u);
  uint32_t a = Ask;
  PCIDLIST items[1] = {List};
  if (FAILED(Parent->GetAttributesOf(1, items, &a))) return 0;
  return a;
}
}  // namespace

TbsShellFolderCapabilities QueryCapabilities(IShellFolderLx* Parent, PCIDLIST List) {
  uint32_t a = Attributes(Parent, List, 0x177);
  TbsShellFolderCapabilities c = 0;
  if (a & SFGAO_CANCOPY) c |= fcCanCopy;
  if (a & SFGAO_CANDELETE) c |= fcCanDelete;
  if (a & SFGAO_CANLINK) c |= fcCanLink;
  if (a & SFGAO_CANMOVE) c |= fcCanMove;
  if (a & SFGAO_CANRENAME) c |= fcCanRename;
  if (a & SFGAO_DROPTARGET) c |= fcDropTarget;
  if (a & SFGAO_HASPROPSHEET) c |= fcHasPropSheet;
  return c;
}

TbsShellFolderProperties QueryProperties(IShellFolderLx* Parent, PCIDLIST List) {
  if (!Parent) return 0;
  uint32_t a = Attributes(Parent, List, SFGAO_DISPLAYATTRMASK);
  TbsShellFolderProperties p = 0;
  if (a & SFGAO_GHOSTED) p |= fpCut;
  if (a & SFGAO_LINK) p |= fpIsLink;
  if (a & SFGAO_READONLY) p |= fpReadOnly;
  if (a & SFGAO_SHARE) p |= fpShared;
  if (a & SFGAO_FILESYSTEM) p |= fpFileSystem;
  if (a & SFGAO_FILESYSANCESTOR) p |= fpFileSystemAncestor;
  if (a & SFGAO_REMOVABLE) p |= fpRemovable;
  if (a & SFGAO_VALIDATE) p |= fpValidate;
  return p;
}

bool QueryIsFolder(IShellFolderLx* Parent, PCIDLIST List) {
  return Attributes(Parent, List, SFGAO_FOLDER) & SFGAO_FOLDER;
}

bool QueryHasSubFolders(IShellFolderLx* Parent, PCIDLIST List) {
  return Attributes(Parent, List, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER;
}

bool QueryHasSubItems(IShellFolderLx* Folder, uint32_t Flags) {
  if (!Folder) return false;
  std::unique_ptr<IEnumIDListLx> e;
  if (FAILED(Folder->EnumObjects(Flags, &e)) || !e) return false;
  PIDLIST item = nullptr;
  bool any = e->Next(&item) == S_OK;
  FreeShellIdList(item);
  return any;
}

ShellFolderIntf BindSubFolder(IShellFolderLx* Parent, PCIDLIST List) {
  ShellFolderIntf f;
  if (Parent && SUCCEEDED(Parent->BindToObject(List, &f)) && f) return f;
  f.reset();
  // Only a list of the desktop's own may be bound there: a relative list of
  // another folder would name a desktop entry that merely shares its name.
  if (!Parent && FAILED(AcquireDesktopFolderIntf()->BindToObject(List, &f))) f.reset();
  return f;
}

std::string FindDataDetail(const TbsFindData& Data, int Column) {
  switch (Column) {
    case 1:
      return Data.Directory ? "" : std::to_string(Data.Size);
    case 2:
      return rtl::ExtractFileExt(Data.FileName);
    case 3:
      return rtl::DateTimeToStr(Data.WriteTime);
    case 4:
      return std::to_string(Data.Attributes);
    default:
      return "";
  }
}

// ============================================================================ folder object

namespace {
TbsShellFolder* gDesktop = nullptr;
bool gMakingDesktop = false;
}  // namespace

TbsShellFolder* SharedDesktopFolder() {
  if (!gDesktop) {
    shell::UniqueIdList id(DesktopIdList());
    gMakingDesktop = true;  // the desktop object itself has no parent
    try {
      gDesktop = new TbsShellFolder(nullptr, id.get(), AcquireDesktopFolderIntf());
    } catch (...) {
      gMakingDesktop = false;
      throw;
    }
    gMakingDesktop = false;
  }
  return gDesktop;
}

TbsShellFolder::TbsShellFolder(TbsShellFolder* AParent, PCIDLIST ID, ShellFolderIntf SF)
    : FParent(AParent), FIShellFolder(std::move(SF)) {
  FPIDL = DuplicateIdList(ID);
  if (AParent) {
    FFullPIDL = JoinIdLists(AParent->AbsoluteID(), ID);
  } else {
    shell::UniqueIdList desk(DesktopIdList());
    FFullPIDL = JoinIdLists(desk.get(), ID);
  }
  if (!FParent && !gMakingDesktop) FParent = SharedDesktopFolder();
  // The depth of AParent: the desktop and its direct children stand at 0.
  for (TbsShellFolder* p = AParent ? AParent->Parent() : nullptr; p; p = p->Parent()) FLevel++;
}

TbsShellFolder::~TbsShellFolder() {
  FreeShellIdList(FPIDL);
  FreeShellIdList(FFullPIDL);
}

IShellFolderLx* TbsShellFolder::ParentShellFolder() const {
  if (FParent) return FParent->FIShellFolder.get();
  static ShellFolderIntf desk = AcquireDesktopFolderIntf();
  return desk.get();
}

TbsShellFolderProperties TbsShellFolder::Properties() const { return QueryProperties(ParentShellFolder(), FPIDL); }
TbsShellFolderCapabilities TbsShellFolder::Capabilities() const {
  return QueryCapabilities(ParentShellFolder(), FPIDL);
}
bool TbsShellFolder::SubFolders() const { return QueryHasSubFolders(ParentShellFolder(), FPIDL); }

bool TbsShellFolder::IsFolder() const {
  if (!QueryIsFolder(ParentShellFolder(), FPIDL)) return false;
  return rtl::AnsiUpperCase(rtl::ExtractFileExt(FullObjectName())) != ".ZIP";
}

std::string TbsShellFolder::PathName() const {
  return ShellItemName(AcquireDesktopFolderIntf().get(), FFullPIDL, SHGDN_FORPARSING);
}

std::string TbsShellFolder::FullObjectName() const {
  std::string p;
  SHGetPathFromIDList(FFullPIDL, &p);
  return p;
}

std::string TbsShellFolder::DisplayName() const {
  std::string s = ShellItemName(ParentShellFolder(), FPIDL, SHGDN_INFOLDER);
  // An item that went away since it was listed keeps the name it was listed with.
  return s.empty() ? ItemNameOf(ILFindLastID(FPIDL)) : s;
}

int TbsShellFolder::ImageIndex(bool LargeIcon) const { return SystemIconIndex(FFullPIDL, LargeIcon, false); }

bool TbsShellFolder::Rename(const std::string& NewName) {
  if (!(Capabilities() & fcCanRename)) return false;
  PIDLIST newId = nullptr;
  IShellFolderLx* parent = ParentShellFolder();
  HRESULT hr = parent ? parent->SetNameOf(win::HWND(), FPIDL, NewName, SHGDN_NORMAL, &newId) : E_FAIL;
  if (hr != S_OK || !newId) {
    FreeShellIdList(newId);
    throw rtl::Exception(rtl::Format("Rename to %s failed", NewName));
  }
  FreeShellIdList(FPIDL);
  FreeShellIdList(FFullPIDL);
  FPIDL = newId;
  FFullPIDL = FParent ? JoinIdLists(FParent->AbsoluteID(), newId) : DuplicateIdList(newId);
  FDetails.clear();
  return true;
}

bool TbsShellFolder::ExecuteDefault() {
  std::unique_ptr<IContextMenuLx> menu;
  IShellFolderLx* parent = ParentShellFolder();
  if (!parent || FAILED(parent->GetContextMenu(FPIDL, &menu)) || !menu) return false;
  return menu->InvokeCommand(win::HWND(), "open") == S_OK;
}

void TbsShellFolder::LoadColumnDetails(TbsShellFolder* RootFolder, win::HWND Handle, int ColumnCount) {
  if (int(FDetails.size()) >= ColumnCount) return;
  FDetails.clear();
  ViewHandle = Handle;
  // No detail interface exists here: file-system folders answer from the
  // directory entry, the virtual folders have no details.
  if (RootFolder && (RootFolder->Properties() & fpFileSystem)) {
    TbsFindData d;
    ReadFindData(d);
    for (int c = 1; c <= ColumnCount; c++) FDetails.push_back(FindDataDetail(d, c));
  }
}

std::string TbsShellFolder::DetailText(int Index) const {
  if (FDetails.empty()) throw rtl::Exception(rtl::Format("%s: Missing call to LoadColumnDetails", DisplayName()));
  return Index >= 1 && Index <= int(FDetails.size()) ? FDetails[size_t(Index - 1)] : "";
}

void TbsShellFolder::ReadFindData(TbsFindData& Data) const {
  Data = TbsFindData();
  std::string path = PathName();
  struct stat st;
  if (path.empty() || path[0] != '/' || stat(path.c_str(), &st) != 0) {
    int e = path.empty() || path[0] != '/' ? 2 : errno;
    throw EInvalidPath(
        rtl::Format("Unable to retrieve folder details for \"%s\". Error code $%x", DisplayName(), unsigned(e)));
  }
  Data.FileName = rtl::ExtractFileName(path);
  Data.Directory = S_ISDIR(st.st_mode);
  Data.Size = Data.Directory ? 0 : int64_t(st.st_size);
  Data.WriteTime = rtl::UnixToLocalDateTime(int64_t(st.st_mtime));
  uint32_t a = 0;
  if (Data.Directory) a |= 0x10;
  if (access(path.c_str(), W_OK) != 0) a |= 0x1;
  if (!Data.FileName.empty() && Data.FileName[0] == '.') a |= 0x2;
  if (!a) a = 0x80;
  Data.Attributes = a;
}

TbsShellFolder* FolderFromAbsoluteId(PCIDLIST ID) {
  ShellFolderIntf desk = AcquireDesktopFolderIntf();
  ShellFolderIntf sf;
  if (ILIsEmpty(ID))
    sf = desk;
  else if (FAILED(desk->BindToObject(ID, &sf)))
    sf.reset();
  return new TbsShellFolder(SharedDesktopFolder(), ID, sf);
}

TbsShellFolder* ResolveRootFolder(TbsShellFolder* OldFolder, const std::string& OldRoot, std::string& NewRoot) {
  PIDLIST id = nullptr;
  bool ok = false;
  int kind = RootFolderKindOf(NewRoot);
  if (kind < 0) {
    if (!NewRoot.empty()) {
      ShellFolderIntf desk = AcquireDesktopFolderIntf();
      ok = SUCCEEDED(desk->ParseDisplayName(NewRoot, &id, nullptr)) && id;
    }
  } else {
    ok = SUCCEEDED(SHGetSpecialFolderLocation(RootFolderCsidl(TRootFolder(kind)), &id)) && id;
  }
  if (!ok) {
    FreeShellIdList(id);
    std::string rejected = NewRoot;
    NewRoot = OldRoot;
    throw rtl::Exception(rtl::Format("Error setting path: \"%s\"", rejected));
  }
  shell::UniqueIdList hold(id);
  TbsShellFolder* f = FolderFromAbsoluteId(id);
  delete OldFolder;
  return f;
}

// ============================================================================ commands

bool RunShellCommand(IbsShellCommandHandler* Handler, TbsShellFolder* Folder, const std::string& Verb) {
  if (!Folder) return false;
  bool handled = false;
  if (Handler) Handler->ExecuteCommand(Verb, handled);
  bool ok = true;
  if (!handled) {
    std::unique_ptr<IContextMenuLx> menu;
    IShellFolderLx* parent = Folder->ParentShellFolder();
    ok = parent && SUCCEEDED(parent->GetContextMenu(Folder->RelativeID(), &menu)) && menu &&
         menu->InvokeCommand(win::HWND(), Verb) == S_OK;
  }
  if (Handler) Handler->CommandCompleted(Verb, ok);
  return ok;
}

void InvokeShellVerb(TbsShellFolder* Folder, const std::string& Verb) {
  if (!Folder) return;
  std::unique_ptr<IContextMenuLx> menu;
  IShellFolderLx* parent = Folder->ParentShellFolder();
  if (parent && SUCCEEDED(parent->GetContextMenu(Folder->RelativeID(), &menu)) && menu)
    menu->InvokeCommand(win::HWND(), Verb);
}

// ============================================================================ notifier

uint32_t NotifyFiltersToFlags(TNotifyFilters F) { return (F & 0x1Fu) | ((F & nfSecurityChange) ? 0x100u : 0u); }

TbsCustomShellChangeNotifier::TbsCustomShellChangeNotifier(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  StartWatching();
}

void TbsCustomShellChangeNotifier::Destroy() {
  // The watcher drops whatever is still queued for the UI loop.
  FWatcher.reset();
  FOnChange = nullptr;
  cl::TComponent::Destroy();
}

void TbsCustomShellChangeNotifier::SetNotifyFilters(TNotifyFilters V) {
  FFilters = V;
  ApplyWatchOptions();
}

void TbsCustomShellChangeNotifier::SetWatchSubTree(bool V) {
  FWatchSubTree = V;
  ApplyWatchOptions();
}

void TbsCustomShellChangeNotifier::SetRoot(const std::string& V) {
  if (rtl::SameText(V, FRoot)) return;
  FRoot = V;
  ApplyWatchOptions();
}

void TbsCustomShellChangeNotifier::SetOnChange(std::function<void()> V) {
  FOnChange = std::move(V);
  // A running watcher calls whatever FOnChange holds when a change comes.
  if (!FWatcher) StartWatching();
}

void TbsCustomShellChangeNotifier::ApplyWatchOptions() {
  if (FWatcher) FWatcher->SetOptions(FRoot, NotifyFiltersToFlags(FFilters), FWatchSubTree);
}

void TbsCustomShellChangeNotifier::StartWatching() {
  if (!FOnChange || FWatcher) return;
  FWatcher = std::make_unique<shell::DirWatcher>(FRoot, NotifyFiltersToFlags(FFilters), FWatchSubTree, [this] {
    cl::Keep<TbsCustomShellChangeNotifier> hold(this);
    if (FOnChange) {
      auto f = FOnChange;
      f();
    }
  });
}

}  // namespace skin
