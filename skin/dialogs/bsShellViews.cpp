#include "skin/dialogs/bsShellViews.h"

#include <unistd.h>

#include <algorithm>

#include "platform/gfx/imagelist.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/gfx/raster.h"
#include "platform/shell/launcher.h"
#include "platform/shell/knownfolders.h"
#include "platform/win/messages.h"
#include "skin/data/bsSkinData.h"

namespace skin {

using namespace shell;
using namespace gfx::win32api;

namespace {

// Parses a path into an absolute list; a failure becomes EInvalidPath.
PIDLIST ParsePath(const std::string& Text) {
  PIDLIST id = nullptr;
  if (FAILED(AcquireDesktopFolderIntf()->ParseDisplayName(Text, &id, nullptr)) || !id) {
    FreeShellIdList(id);
    throw EInvalidPath(rtl::Format("Error setting path: \"%s\"", Text));
  }
  return id;
}

int ShellOrder(shell::IShellFolderLx* F, PCIDLIST A, PCIDLIST B) {
  return F ? HRESULT_CODE(F->CompareIDs(0, A, B)) : 0;
}

std::string CurrentDir() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

void ChangeDir(const std::string& D) {
  if (!D.empty()) [[maybe_unused]]
    int r = chdir(D.c_str());
}

}  // namespace

// ============================================================================ mask and order

bool PassesMask(const std::string& Mask, const std::string& FileName) {
  std::string pat;
  auto tryPattern = [&](const std::string& raw) {
    // Filter texts often hold "*.aif; *.aiff": the blank is not part of a pattern.
    std::string p = rtl::Trim(raw);
    if (p.empty()) return false;
    if (p == "*") return true;
    return p.find('.') != std::string::npos && rtl::MatchesMask(FileName, p);
  };
  for (char c : Mask) {
    if (c == ';' || c == '|') {
      if (tryPattern(pat)) return true;
      pat.clear();
    } else {
      pat += c;
    }
  }
  return tryPattern(pat);
}

int CompareListFolders(TbsShellFolder* A, TbsShellFolder* B, const TbsShellSortContext& Ctx) {
  if (!A || !B) return 0;
  const bool fa = A->IsFolder(), fb = B->IsFolder();
  int r = int(fb) - int(fa);
  if (!r && A->ParentShellFolder()) r = ShellOrder(A->ParentShellFolder(), A->RelativeID(), B->RelativeID());
  if (!Ctx.ColumnActive) return r;
  // Every column sorts, whatever the date format looks like.
  int res = r;
  if (Ctx.Column >= 0 && Ctx.Column <= 3 && fa != fb) {
    res = fa ? -1 : 1;
  } else {
    switch (Ctx.Column) {
      case 0:
        res = rtl::AnsiCompareText(A->DisplayName(), B->DisplayName());
        break;
      case 1:
        if (!fa) {
          TbsFindData da, db;
          A->ReadFindData(da);
          B->ReadFindData(db);
          res = da.Size == db.Size ? 0 : da.Size > db.Size ? 1 : -1;
        }
        break;
      case 2:
        A->LoadColumnDetails(Ctx.Folder, win::HWND(), 4);
        B->LoadColumnDetails(Ctx.Folder, win::HWND(), 4);
        res = rtl::AnsiCompareText(A->DetailCount() ? A->DetailText(2) : "", B->DetailCount() ? B->DetailText(2) : "");
        break;
      case 3: {
        TbsFindData da, db;
        A->ReadFindData(da);
        B->ReadFindData(db);
        res = da.WriteTime == db.WriteTime ? 0 : da.WriteTime > db.WriteTime ? 1 : -1;
        break;
      }
      default:
        break;
    }
  }
  return Ctx.Descending ? -res : res;
}

void ShowShellContextMenu(cl::TWinControl* Owner, TbsSkinPopupMenu*& Menu, TbsShellFolder* Folder, TPoint Screen,
                          std::function<void(const std::string& Verb)> Run) {
  if (!Folder) return;
  std::unique_ptr<IContextMenuLx> cm;
  IShellFolderLx* parent = Folder->ParentShellFolder();
  if (!parent || FAILED(parent->GetContextMenu(Folder->RelativeID(), &cm)) || !cm) return;
  if (!Menu) Menu = new TbsSkinPopupMenu(Owner);
  if (auto* sc = dynamic_cast<TbsSkinChangeable*>(Owner)) Menu->SetSkinData(sc->SkinData());
  Menu->Items()->Clear();
  for (const ContextCommand& c : cm->Commands()) {
    auto* item = new cl::TMenuItem(Menu);
    item->Caption = c.caption;
    std::string verb = c.verb;
    item->OnClick = [Run, verb](rtl::TObject*) { Run(verb); };
    Menu->Items()->Add(item);
  }
  Menu->PopupComponent = Owner;
  Menu->Popup(Screen.X, Screen.Y);
}

// ============================================================================ list view

TbsCustomShellListView::TbsCustomShellListView(cl::TComponent* AOwner) : TbsSkinCustomListView(AOwner) {
  SetOwnerData(true);
  SetHideSelection(false);
  ReadOnly = true;
}

void TbsCustomShellListView::Destroy() {
  FreeAndNil(FNotifier);
  delete FRootFolder;
  FRootFolder = nullptr;
  for (TbsShellFolder* f : FFolders) delete f;
  FFolders.clear();
  if (FTreeView) FTreeView->LinkList(nullptr);
  if (FComboBox) FComboBox->LinkList(nullptr);
  TbsSkinCustomListView::Destroy();
}

void TbsCustomShellListView::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomListView::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FTreeView) FTreeView = nullptr;
  if (AComponent == FComboBox) FComboBox = nullptr;
  if (AComponent == FNotifier) FNotifier = nullptr;
}

void TbsCustomShellListView::CreateWnd() {
  TbsSkinCustomListView::CreateWnd();
  ctl::TCustomListView::SetSmallImages(SystemImageList(false));
  ctl::TCustomListView::SetLargeImages(SystemImageList(true));
  ResolveRoot();
  RebuildContents();
}

void TbsCustomShellListView::DestroyWnd() {
  ReleaseEntries();
  TbsSkinCustomListView::DestroyWnd();
}

void TbsCustomShellListView::Loaded() {
  TbsSkinCustomListView::Loaded();
  FillFromFolder();
  SetAutoRefresh(FAutoRefresh);
}

void TbsCustomShellListView::ReleaseEntries() {
  if (!Destroying()) Items()->SetCount(0);
  for (TbsShellFolder* f : FFolders) delete f;
  FFolders.clear();
}

void TbsCustomShellListView::ResolveRoot() { FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot); }

std::string TbsCustomShellListView::Path() const { return FRootFolder ? FRootFolder->PathName() : ""; }

void TbsCustomShellListView::SetPath(const std::string& Value) {
  UniqueIdList id(ParsePath(Value));
  OpenFolderId(id.get());
}

void TbsCustomShellListView::SetRoot(const std::string& Value) {
  if (rtl::SameText(Value, FRoot)) return;
  FOldRoot = FRoot;
  FRoot = Value;
  ResolveRoot();
  FSettingRoot = true;
  RebuildContents();
}

void TbsCustomShellListView::SetMask(const std::string& Value) {
  if (Value == FMask) return;
  FMask = Value;
  RebuildContents();
}

void TbsCustomShellListView::SetObjectTypes(TShellObjectTypes Value) {
  FObjectTypes = Value;
  if (!Loading()) RebuildContents();
}

void TbsCustomShellListView::SetSorted(bool Value) {
  if (Value == FSorted) return;
  FSorted = Value;
  FillFromFolder();
}

void TbsCustomShellListView::SetViewStyle(ctl::TViewStyle V) {
  ctl::TCustomListView::SetViewStyle(V);
  if (V == ctl::vsReport) BuildColumns();
}

void TbsCustomShellListView::SetAutoRefresh(bool Value) {
  FAutoRefresh = Value;
  if (Loading()) return;
  FreeAndNil(FNotifier);
  if (Value && FRootFolder) {
    FNotifier = new TbsShellChangeNotifier(this);
    FNotifier->SetWatchSubTree(false);
    FNotifier->SetRoot(FRootFolder->PathName());
    FNotifier->SetOnChange([this] { Refresh(); });
  }
}

void TbsCustomShellListView::SetShellTreeView(TbsCustomShellTreeView* Value) {
  if (Value == FTreeView) return;
  if (FTreeView) {
    FTreeView->LinkList(nullptr);
    FTreeView->RemoveFreeNotification(this);
  }
  FTreeView = Value;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->LinkList(this);
    Value->FreeNotification(this);
  }
}

void TbsCustomShellListView::SetShellComboBox(TbsCustomShellComboBox* Value) {
  if (Value == FComboBox) return;
  if (FComboBox) {
    FComboBox->LinkList(nullptr);
    FComboBox->RemoveFreeNotification(this);
  }
  FComboBox = Value;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->LinkList(this);
    Value->FreeNotification(this);
  }
}

void TbsCustomShellListView::RebuildContents() {
  if (FUpdating) return;
  FUpdating = true;
  const bool autoRefresh = FAutoRefresh;
  try {
    SetAutoRefresh(false);
    SyncLinkedControls();
    FillFromFolder();
    if (ViewStyle() == ctl::vsReport) BuildColumns();
    SetAutoRefresh(autoRefresh);
  } catch (...) {
    FAutoRefresh = autoRefresh;
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TbsCustomShellListView::SyncLinkedControls() {
  if (FSettingRoot) {
    if (FTreeView) FTreeView->SetRoot(FRoot);
  } else if (FRootFolder) {
    if (FTreeView) FTreeView->SelectFolderId(FRootFolder->AbsoluteID());
    if (FComboBox) FComboBox->SelectFolderId(FRootFolder->AbsoluteID());
  }
  FSettingRoot = false;
}

void TbsCustomShellListView::FillFromFolder() {
  if (Loading() && !HandleAllocated()) return;
  Items()->BeginUpdate();
  ReleaseEntries();
  try {
    std::unique_ptr<IEnumIDListLx> e;
    if (FRootFolder && FRootFolder->ShellFolder() &&
        SUCCEEDED(FRootFolder->ShellFolder()->EnumObjects(ObjectTypesToEnumFlags(FObjectTypes), &e)) && e) {
      PIDLIST item = nullptr;
      while (e->Next(&item) == S_OK) {
        UniqueIdList hold(item);
        ShellFolderIntf sf = BindSubFolder(FRootFolder->ShellFolder().get(), item);
        auto* f = new TbsShellFolder(FRootFolder, item, sf);
        bool canAdd = true;
        if (!f->IsFolder()) canAdd = PassesMask(FMask, rtl::ExtractFileName(f->FullObjectName()));
        OnAddFolder(this, f, canAdd);
        if (canAdd)
          FFolders.push_back(f);
        else
          delete f;
      }
    }
    Items()->SetCount(int(FFolders.size()));
    if (FSorted) {
      TbsShellSortContext ctx;
      ctx.Folder = FRootFolder;
      SortEntries(ctx);
    }
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

void TbsCustomShellListView::SortEntries(const TbsShellSortContext& Ctx) {
  // Sorted on a copy: a comparison that raises leaves the rows as they were.
  std::vector<TbsShellFolder*> v = FFolders;
  std::stable_sort(v.begin(), v.end(),
                   [&](TbsShellFolder* a, TbsShellFolder* b) { return CompareListFolders(a, b, Ctx) < 0; });
  FFolders = v;
  if (HandleAllocated()) Invalidate();
}

void TbsCustomShellListView::BuildColumns() {
  if (!FRootFolder || !FRootFolder->ShellFolder()) return;
  FRootFolder->ViewHandle = Handle();
  Columns()->BeginUpdate();
  Columns()->Clear();
  struct Fixed {
    const char* key;
    const char* text;
    int xs;
    cl::TAlignment align;
  };
  static const Fixed kCols[4] = {{"FLV_NAME", "Name", 25, cl::taLeftJustify},
                                 {"FLV_SIZE", "Size", 10, cl::taRightJustify},
                                 {"FLV_TYPE", "Type", 10, cl::taLeftJustify},
                                 {"FLV_MODIFIED", "Modified", 19, cl::taLeftJustify}};
  const int n = (FRootFolder->Properties() & fpFileSystem) ? 4 : 1;
  gfx::TBitmap b;
  b.SetSize(1, 1);
  b.Canvas()->Font()->Assign(*Font());
  const int xw = std::max(1, b.Canvas()->TextWidth("X"));
  TbsResourceStrData* rs = SkinData() ? SkinData()->ResourceStrData() : nullptr;
  for (int i = 0; i < n; i++) {
    ctl::TListColumn* c = Columns()->Add();
    std::string cap = rs ? rs->GetResStr(kCols[i].key) : "";
    c->SetCaption(cap.empty() ? kCols[i].text : cap);
    c->SetWidth(kCols[i].xs * xw);
    c->SetAlignment(kCols[i].align);
  }
  Columns()->EndUpdate();
}

TbsShellFolder* TbsCustomShellListView::FolderAt(int Index) const {
  return Index >= 0 && Index < int(FFolders.size()) ? FFolders[size_t(Index)] : nullptr;
}

TbsShellFolder* TbsCustomShellListView::SelectedFolder() {
  ctl::TListItem* it = Selected();
  return it ? FolderAt(it->Index()) : nullptr;
}

std::string TbsCustomShellListView::GetSelectedFile() {
  TbsShellFolder* f = SelectedFolder();
  return f && !f->IsFolder() ? f->FullObjectName() : "";
}

void TbsCustomShellListView::GetSelectedFiles(rtl::TStrings* AFiles) {
  AFiles->Clear();
  for (int i = 0; i < int(FFolders.size()); i++) {
    ctl::TListItem* it = Items()->Item(i);
    if (it && it->Selected() && !FFolders[size_t(i)]->IsFolder()) AFiles->Add(FFolders[size_t(i)]->FullObjectName());
  }
}

bool TbsCustomShellListView::OwnerDataFetch(ctl::TListItem* Item) {
  TbsShellFolder* f = FolderAt(Item->Index());
  if (!f) return true;
  Item->SetCaption(f->DisplayName());
  Item->SetImageIndex(f->ImageIndex(ViewStyle() == ctl::vsIcon));
  if (ViewStyle() == ctl::vsReport) {
    Item->SubItems()->Clear();
    try {
      f->LoadColumnDetails(FRootFolder, Handle(), Columns()->Count());
    } catch (const rtl::Exception&) {
      // An entry that vanished since the listing shows no details.
    }
    for (int c = 1; c < Columns()->Count(); c++) Item->SubItems()->Add(f->DetailCount() ? f->DetailText(c) : "");
  }
  return true;
}

int TbsCustomShellListView::OwnerDataFind(ctl::TItemFind Find, const std::string& FindString, int StartIndex,
                                          bool Wrap) {
  if ((Find != ctl::ifPartialString && Find != ctl::ifExactString) || StartIndex == -1) return -1;
  const int n = int(FFolders.size());
  if (StartIndex < 0 || StartIndex >= n) return -1;
  const std::string want = rtl::AnsiUpperCase(FindString);
  int i = StartIndex;
  for (;;) {
    if (rtl::StartsStr(want, rtl::AnsiUpperCase(FFolders[size_t(i)]->DisplayName()))) return i;
    i++;
    if (i >= n) {
      if (!Wrap) return -1;
      i = 0;
    }
    if (i == StartIndex) return -1;
  }
}

void TbsCustomShellListView::ColClick(ctl::TListColumn* Column) {
  TbsSkinCustomListView::ColClick(Column);
  const int index = Column ? Column->Index() : -1;
  if (Columns()->Count() < 4 && index != 0) return;
  FOldSortColumn = FSortColumn;
  FSortColumn = index;
  if (FSortColumn == FOldSortColumn && FSortColumn != -1)
    FSortDirection = !FSortDirection;
  else
    FSortDirection = false;
  TbsShellSortContext ctx;
  ctx.Folder = FRootFolder;
  ctx.ColumnActive = true;
  ctx.Column = FSortColumn;
  ctx.Descending = FSortDirection;
  Items()->BeginUpdate();
  try {
    SortEntries(ctx);
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

void TbsCustomShellListView::OpenCopyOf(PCIDLIST ID) {
  // The list may belong to an entry that the opening frees.
  UniqueIdList copy(DuplicateIdList(ID));
  OpenFolderId(copy.get());
}

void TbsCustomShellListView::DblClick() {
  if (AutoNavigate) {
    TbsShellFolder* f = SelectedFolder();
    if (f && f->IsFolder()) OpenCopyOf(f->AbsoluteID());
  }
  TbsSkinCustomListView::DblClick();
}

void TbsCustomShellListView::KeyDown(uint16_t& Key, cl::TShiftState Shift) {
  TbsSkinCustomListView::KeyDown(Key, Shift);
  if (!AutoNavigate) return;
  if (Key == win::VK_BACK) {
    if (!IsEditing()) Back();
  } else if (Key == win::VK_RETURN) {
    TbsShellFolder* f = SelectedFolder();
    if (Shift & cl::ssAlt) {
      InvokeShellVerb(f, "properties");
      Key = 0;
    } else if (f && f->IsFolder()) {
      OpenCopyOf(f->AbsoluteID());
    }
  } else if (Key == 0x74 /* VK_F5 */) {
    Refresh();
  }
}

void TbsCustomShellListView::Edit(ctl::TListItem* Item, const std::string* NewText) {
  if (!NewText || !Item) return;
  TbsShellFolder* f = FolderAt(Item->Index());
  if (!f) return;
  f->Rename(*NewText);
  Item->Update();
  if (FTreeView) FTreeView->RefreshSelected();
}

void TbsCustomShellListView::OpenFolderId(PCIDLIST ID) {
  if (FUpdating || (FRootFolder && IdListsEqual(FRootFolder->AbsoluteID(), ID))) return;
  UniqueIdList copy(DuplicateIdList(ID));
  TbsShellFolder* next = FolderFromAbsoluteId(copy.get());
  delete FRootFolder;
  FRootFolder = next;
  FSettingRoot = false;
  RebuildContents();
  OnPathChanged(this);
}

void TbsCustomShellListView::FollowLinkedFolder(PCIDLIST ID) { OpenFolderId(ID); }

void TbsCustomShellListView::Back() {
  if (!FRootFolder || ILIsEmpty(FRootFolder->AbsoluteID())) return;
  UniqueIdList up(DuplicateIdList(FRootFolder->AbsoluteID()));
  TruncateLastIdItem(up.get());
  OpenFolderId(up.get());
}

void TbsCustomShellListView::Refresh() {
  if (!FRootFolder) return;
  ctl::TListItem* sel = Selected();
  const int index = sel ? sel->Index() : -1;
  ClearSelection();
  UniqueIdList copy(DuplicateIdList(FRootFolder->AbsoluteID()));
  delete FRootFolder;
  FRootFolder = nullptr;
  OpenFolderId(copy.get());
  if (index >= 0 && index < Items()->Count()) Items()->Item(index)->SetSelected(true);
}

void TbsCustomShellListView::Dispatch(cl::TMessage& Msg) {
  if (Msg.Msg == win::WM_CONTEXTMENU && AutoContextMenus && SelectedFolder()) {
    TPoint p{int16_t(Msg.LParam & 0xFFFF), int16_t((Msg.LParam >> 16) & 0xFFFF)};
    if (p.X == -1 && p.Y == -1) p = ClientToScreen({0, 0});
    cl::Keep<TbsCustomShellListView> self(this);
    ShowShellContextMenu(this, FShellMenu, SelectedFolder(), p, [self](const std::string& Verb) {
      if (self.Alive()) self->RunContextCommand(Verb);
    });
    Msg.Result = 1;
    return;
  }
  TbsSkinCustomListView::Dispatch(Msg);
}

void TbsCustomShellListView::RunContextCommand(const std::string& Verb) {
  RunShellCommand(this, SelectedFolder(), Verb);
  // Re-reading now would end the name edit the command just started.
  if (!IsEditing()) Refresh();
}

void TbsCustomShellListView::ExecuteCommand(const std::string& Verb, bool& Handled) {
  if (rtl::SameText(Verb, "rename")) {
    if (ctl::TListItem* it = Selected()) it->EditCaption();
    Handled = true;
  } else if (rtl::SameText(Verb, "open")) {
    FSavePath = CurrentDir();
    if (TbsShellFolder* f = SelectedFolder()) ChangeDir(rtl::ExtractFileDir(f->PathName()));
  }
}

void TbsCustomShellListView::CommandCompleted(const std::string& Verb, bool Succeeded) {
  if (!Succeeded) return;
  if (rtl::SameText(Verb, "delete") || rtl::SameText(Verb, "paste"))
    Refresh();
  else if (rtl::SameText(Verb, "open"))
    ChangeDir(FSavePath);
}

// ============================================================================ tree view

TbsCustomShellTreeView::TbsCustomShellTreeView(cl::TComponent* AOwner) : TbsSkinCustomTreeView(AOwner) {
  SetShowRoot(false);
  RightClickSelect = true;
  // The watcher exists from the start but watches nothing until it has an OnChange.
  FNotifier = new TbsShellChangeNotifier(this);
}

void TbsCustomShellTreeView::Destroy() {
  FreeAndNil(FNotifier);
  ReleaseNodes();
  delete FRootFolder;
  FRootFolder = nullptr;
  if (FListView) FListView->LinkTree(nullptr);
  if (FComboBox) FComboBox->LinkTree(nullptr);
  TbsSkinCustomTreeView::Destroy();
}

void TbsCustomShellTreeView::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomTreeView::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FListView) FListView = nullptr;
  if (AComponent == FComboBox) FComboBox = nullptr;
  if (AComponent == FNotifier) FNotifier = nullptr;
}

void TbsCustomShellTreeView::SetUseShellImages(bool Value) {
  FUseShellImages = Value;
  SetImages(Value ? SystemImageList(false) : nullptr);
}

void TbsCustomShellTreeView::CreateWnd() {
  TbsSkinCustomTreeView::CreateWnd();
  ReleaseNodes();
  SetUseShellImages(FUseShellImages);
  if (!FLoadingRoot) {
    LoadRoot();
    if (!FPath.empty()) SetPath(FPath);
  }
}

void TbsCustomShellTreeView::DestroyWnd() {
  ReleaseNodes();
  TbsSkinCustomTreeView::DestroyWnd();
}

void TbsCustomShellTreeView::Loaded() {
  TbsSkinCustomTreeView::Loaded();
  LoadRoot();
}

void TbsCustomShellTreeView::ReleaseNodes() {
  Items()->BeginUpdate();
  for (int i = 0; i < Items()->Count(); i++) {
    ctl::TTreeNode* n = Items()->Item(i);
    delete FolderOf(n);
    n->Data = nullptr;
  }
  Items()->Clear();
  Items()->EndUpdate();
}

void TbsCustomShellTreeView::LoadRoot() {
  if (Loading()) return;
  std::string error;
  try {
    FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
  } catch (const rtl::Exception& e) {
    error = e.Message();
  }
  if (FRootFolder) {
    FLoadingRoot = true;
    try {
      if (Items()->Count()) ReleaseNodes();
      auto* f = new TbsShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
      ctl::TTreeNode* n = Items()->AddObject(
          nullptr, ShellItemName(AcquireDesktopFolderIntf().get(), FRootFolder->AbsoluteID(), SHGDN_NORMAL), f);
      if (FUseShellImages) {
        n->SetImageIndex(SystemIconIndex(f->AbsoluteID(), false, false));
        n->SetSelectedIndex(SystemIconIndex(f->AbsoluteID(), false, true));
      }
      n->SetHasChildren(f->ShellFolder() != nullptr);
      n->Expand(false);
      n->SetSelected(true);
    } catch (...) {
      FLoadingRoot = false;
      throw;
    }
    FLoadingRoot = false;
  }
  if (!error.empty()) throw rtl::Exception(error);
}

void TbsCustomShellTreeView::SetRoot(const std::string& Value) {
  if (rtl::SameText(Value, FRoot)) return;
  FOldRoot = FRoot;
  FRoot = Value;
  ApplyRootChange();
}

void TbsCustomShellTreeView::SetObjectTypes(TShellObjectTypes Value) {
  FObjectTypes = Value;
  ApplyRootChange();
}

void TbsCustomShellTreeView::ApplyRootChange() {
  if (FUpdating) return;
  FUpdating = true;
  try {
    if (HandleAllocated()) LoadRoot();
    if (FListView) FListView->SetRoot(FRoot);
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TbsCustomShellTreeView::FillNode(ctl::TTreeNode* Node) {
  TbsShellFolder* f = FolderOf(Node);
  if (!f || !f->ShellFolder()) return;
  Items()->BeginUpdate();
  try {
    std::unique_ptr<IEnumIDListLx> e;
    if (SUCCEEDED(f->ShellFolder()->EnumObjects(ObjectTypesToEnumFlags(FObjectTypes), &e)) && e) {
      PIDLIST item = nullptr;
      while (e->Next(&item) == S_OK) {
        UniqueIdList hold(item);
        ctl::TTreeNode* child = Items()->AddChild(Node, "");
        SetUpNode(child, item, Node);
      }
      shell::IShellFolderLx* order = f->ShellFolder().get();
      Node->CustomSort(
          [](ctl::TTreeNode* a, ctl::TTreeNode* b, intptr_t data) {
            auto* sf = reinterpret_cast<shell::IShellFolderLx*>(data);
            return ShellOrder(sf, FolderOf(a)->RelativeID(), FolderOf(b)->RelativeID());
          },
          reinterpret_cast<intptr_t>(order));
    }
  } catch (const rtl::Exception&) {
    // A folder that cannot be listed stays empty.
  }
  Items()->EndUpdate();
}

void TbsCustomShellTreeView::SetUpNode(ctl::TTreeNode* Node, PCIDLIST ID, ctl::TTreeNode* ParentNode) {
  TbsShellFolder* parent = FolderOf(ParentNode);
  auto* f = new TbsShellFolder(parent, ID, BindSubFolder(parent ? parent->ShellFolder().get() : nullptr, ID));
  Node->Data = f;
  Node->SetText(f->DisplayName());
  if (FUseShellImages) {
    Node->SetImageIndex(SystemIconIndex(f->AbsoluteID(), false, false));
    Node->SetSelectedIndex(SystemIconIndex(f->AbsoluteID(), false, true));
    if (Node->SelectedIndex() == 0) Node->SetSelectedIndex(Node->ImageIndex());
  }
  Node->SetHasChildren(f->SubFolders());
  if ((FObjectTypes & otNonFolders) && f->ShellFolder())
    Node->SetHasChildren(QueryHasSubItems(f->ShellFolder().get(), ObjectTypesToEnumFlags(FObjectTypes)));
  bool canAdd = true;
  OnAddFolder(this, f, canAdd);
  if (!canAdd) Node->Delete();
}

bool TbsCustomShellTreeView::CanExpand(ctl::TTreeNode* Node) {
  bool allow = true;
  OnExpanding(this, Node, allow);
  if (allow) {
    TbsShellFolder* f = FolderOf(Node);
    if (f && f->IsFolder()) {
      if (Node->HasChildren() && Node->Count() == 0) FillNode(Node);
    } else if (f) {
      ShellExecute(Handle(), "", f->PathName(), "", rtl::ExtractFileDir(f->PathName()), 0);
    }
    Node->SetHasChildren(Node->Count() > 0);
  }
  return allow;
}

void TbsCustomShellTreeView::Delete(ctl::TTreeNode* Node) {
  delete FolderOf(Node);
  Node->Data = nullptr;
  TbsSkinCustomTreeView::Delete(Node);
}

bool TbsCustomShellTreeView::CanChange(ctl::TTreeNode* Node) {
  bool allow = TbsSkinCustomTreeView::CanChange(Node);
  if (!allow || FUpdating || !Node) return allow;
  const bool autoRefresh = FAutoRefresh;
  SetAutoRefresh(false);
  TbsShellFolder* f = FolderOf(Node);
  if (f && !f->IsFolder()) f = f->Parent();
  if (f) {
    FUpdating = true;
    try {
      UniqueIdList id(DuplicateIdList(f->AbsoluteID()));
      if (FComboBox) FComboBox->SelectFolderId(id.get());
      if (FListView) FListView->FollowLinkedFolder(id.get());
    } catch (...) {
      FUpdating = false;
      throw;
    }
    FUpdating = false;
  }
  FNodeToMonitor = Node;
  SetAutoRefresh(autoRefresh);
  FNodeToMonitor = nullptr;
  return allow;
}

ctl::TTreeNode* TbsCustomShellTreeView::FindNodeById(PCIDLIST ID, ctl::TTreeNode* Start) {
  if (!Start) return nullptr;
  const int level = Start->Level();
  ShellFolderIntf desk = AcquireDesktopFolderIntf();
  for (ctl::TTreeNode* n = Start; n && (n == Start || n->Level() > level); n = n->GetNext()) {
    TbsShellFolder* f = FolderOf(n);
    if (f && HRESULT_CODE(desk->CompareIDs(0, f->AbsoluteID(), ID)) == 0) return n;
  }
  return nullptr;
}

void TbsCustomShellTreeView::SelectFolderId(PCIDLIST ID) {
  if (Loading()) return;
  if (TbsShellFolder* s = SelectedFolder(); s && IdListsEqual(s->AbsoluteID(), ID)) return;
  FUpdating = true;
  Items()->BeginUpdate();
  try {
    UniqueIdList target(DuplicateIdList(ID));
    TbsIdPrefixList prefixes = BuildIdPrefixList(ID);
    ctl::TTreeNode* start = Items()->GetFirstNode();
    for (auto& p : prefixes) {
      if (ctl::TTreeNode* n = FindNodeById(p.get(), start)) {
        n->Expand(false);
        start = n;
      }
    }
    ctl::TTreeNode* node = FindNodeById(target.get(), start);
    SetSelected(node);
    if (node) {
      UniqueIdList id(DuplicateIdList(FolderOf(node)->AbsoluteID()));
      if (FListView) FListView->FollowLinkedFolder(id.get());
      if (FComboBox) FComboBox->SelectFolderId(id.get());
    }
  } catch (...) {
    Items()->EndUpdate();
    FUpdating = false;
    throw;
  }
  Items()->EndUpdate();
  FUpdating = false;
}

std::string TbsCustomShellTreeView::Path() {
  TbsShellFolder* f = SelectedFolder();
  return f ? f->PathName() : "";
}

TbsShellFolder* TbsCustomShellTreeView::SelectedFolder() { return FolderOf(Selected()); }

void TbsCustomShellTreeView::SetPath(const std::string& Value) {
  FPath = Value;
  if (!HandleAllocated()) return;
  UniqueIdList id(ParsePath(Value));
  SelectFolderId(id.get());
  if (ctl::TTreeNode* n = Selected()) {
    n->Expand(false);
    CanChange(n);
  }
  FPath = Value;
}

void TbsCustomShellTreeView::ExpandMyComputer() {
  PIDLIST id = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(CSIDL_DRIVES, &id))) return;
  UniqueIdList hold(id);
  SelectFolderId(id);
  if (ctl::TTreeNode* n = Selected()) n->Expand(false);
}

void TbsCustomShellTreeView::Refresh(ctl::TTreeNode* Node) {
  TbsShellFolder* f = FolderOf(Node);
  if (!f || !f->ShellFolder()) return;
  UniqueIdList topId, selId;
  if (TbsShellFolder* t = FolderOf(TopItem())) topId.reset(DuplicateIdList(t->AbsoluteID()));
  if (TbsShellFolder* s = SelectedFolder()) selId.reset(DuplicateIdList(s->AbsoluteID()));
  Items()->BeginUpdate();
  try {
    ctl::TTreeNode* fresh = Items()->Insert(Node, "");
    fresh->Data = new TbsShellFolder(FolderOf(Node->Parent()), f->RelativeID(), f->ShellFolder());
    TbsShellFolder* nf = FolderOf(fresh);
    FillNode(fresh);
    fresh->SetImageIndex(SystemIconIndex(nf->AbsoluteID(), false, false));
    fresh->SetSelectedIndex(SystemIconIndex(nf->AbsoluteID(), false, true));
    fresh->SetHasChildren(nf->SubFolders() || fresh->Count() > 0);
    fresh->SetText(nf->DisplayName());
    if (Node->Expanded()) fresh->Expand(false);
    const int level = Node->Level();
    for (ctl::TTreeNode* n = Node->GetNext(); n && n->Level() > level; n = n->GetNext())
      if (n->Expanded() && FolderOf(n))
        if (ctl::TTreeNode* m = FindNodeById(FolderOf(n)->AbsoluteID(), fresh)) m->Expand(false);
    Node->Delete();
    FUpdating = true;
    SetSelected(selId ? FindNodeById(selId.get(), Items()->GetFirstNode()) : nullptr);
    FUpdating = false;
    if (topId)
      if (ctl::TTreeNode* t = FindNodeById(topId.get(), Items()->GetFirstNode())) SetTopItem(t);
  } catch (...) {
    FUpdating = false;
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

void TbsCustomShellTreeView::RefreshSelected() {
  if (Selected()) Refresh(Selected());
}

void TbsCustomShellTreeView::SetAutoRefresh(bool Value) {
  FAutoRefresh = Value;
  if (Loading()) return;
  FreeAndNil(FNotifier);
  if (!Value) return;
  TbsShellFolder* f = FNodeToMonitor ? FolderOf(FNodeToMonitor) : FRootFolder;
  FNotifier = new TbsShellChangeNotifier(this);
  FNotifier->SetWatchSubTree(false);
  if (f) FNotifier->SetRoot(f->PathName());
  FNotifier->SetOnChange([this] { RefreshSelected(); });
}

void TbsCustomShellTreeView::Edit(ctl::TTreeNode* Node, const std::string* NewText) {
  if (!NewText) return;
  std::string s = *NewText;
  OnEdited(this, Node, s);
  if (!Node) return;
  ctl::TTreeNode* parent = Node->Parent();
  if (TbsShellFolder* f = FolderOf(Node); f && f->Rename(s)) Node->SetText(s);
  if (parent) Refresh(parent);
}

void TbsCustomShellTreeView::SetShellListView(TbsCustomShellListView* Value) {
  if (Value == FListView) return;
  if (FListView) {
    FListView->LinkTree(nullptr);
    FListView->RemoveFreeNotification(this);
  }
  FListView = Value;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->LinkTree(this);
    Value->FreeNotification(this);
  }
}

void TbsCustomShellTreeView::SetShellComboBox(TbsCustomShellComboBox* Value) {
  if (Value == FComboBox) return;
  if (FComboBox) {
    FComboBox->LinkTree(nullptr);
    FComboBox->RemoveFreeNotification(this);
  }
  FComboBox = Value;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->LinkTree(this);
    Value->FreeNotification(this);
  }
}

void TbsCustomShellTreeView::DoContextPopup(TPoint MousePos, bool& Handled) {
  cl::TPopupMenu* own = dynamic_cast<cl::TPopupMenu*>(PopupMenu);
  if (!AutoContextMenus || (own && own->AutoPopup)) {
    TbsSkinCustomTreeView::DoContextPopup(MousePos, Handled);
    return;
  }
  Handled = true;
  TPoint p = MousePos.X == -1 && MousePos.Y == -1 ? ClientToScreen({0, 0}) : ClientToScreen(MousePos);
  cl::Keep<TbsCustomShellTreeView> self(this);
  ShowShellContextMenu(this, FShellMenu, SelectedFolder(), p, [self](const std::string& Verb) {
    if (self.Alive()) RunShellCommand(self.get(), self->SelectedFolder(), Verb);
  });
}

void TbsCustomShellTreeView::ExecuteCommand(const std::string& Verb, bool& Handled) {
  if (rtl::SameText(Verb, "rename") && Selected()) {
    Selected()->EditText();
    Handled = true;
  } else if (rtl::SameText(Verb, "open")) {
    FSavePath = CurrentDir();
    if (TbsShellFolder* f = SelectedFolder()) ChangeDir(rtl::ExtractFileDir(f->PathName()));
  }
}

void TbsCustomShellTreeView::CommandCompleted(const std::string& Verb, bool Succeeded) {
  if (!Succeeded || !Selected()) return;
  if (rtl::SameText(Verb, "delete")) {
    if (!rtl::FileExists(SelectedFolder()->PathName())) Selected()->Delete();
  } else if (rtl::SameText(Verb, "paste")) {
    RefreshSelected();
  } else if (rtl::SameText(Verb, "open")) {
    ChangeDir(FSavePath);
  }
}

// ============================================================================ combo box

TbsCustomShellComboBox::TbsCustomShellComboBox(cl::TComponent* AOwner) : TbsSkinCustomComboBox(AOwner) {
  SetOnListBoxDrawItem(
      [this](gfx::TCanvas* C, int Index, int, int, TRect R, TOwnerDrawState) { DrawEntry(C, Index, R, true); });
  OnComboBoxDrawItem = [this](gfx::TCanvas* C, int Index, int, int, TRect R, TOwnerDrawState) {
    DrawEntry(C, Index, R, false);
  };
}

void TbsCustomShellComboBox::Destroy() {
  for (TbsItemEx& e : FItemsEx) delete e.Data;
  FItemsEx.clear();
  delete FRootFolder;
  FRootFolder = nullptr;
  if (FTreeView) FTreeView->LinkCombo(nullptr);
  if (FListView) FListView->LinkCombo(nullptr);
  TbsSkinCustomComboBox::Destroy();
}

void TbsCustomShellComboBox::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  TbsSkinCustomComboBox::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FTreeView) FTreeView = nullptr;
  if (AComponent == FListView) FListView = nullptr;
}

void TbsCustomShellComboBox::CreateWnd() {
  TbsSkinCustomComboBox::CreateWnd();
  SetUseShellImages(FUseShellImages);
  if (FItemsEx.empty()) Fill();
  const int keep = ItemIndex();
  RebuildItems();
  if (keep >= 0 && keep < int(FItemsEx.size())) {
    FEntryUpdate++;  // the same entry again: nothing moves
    SetItemIndex(keep);
    FEntryUpdate--;
  }
}

void TbsCustomShellComboBox::DestroyWnd() {
  ClearEntries();
  TbsSkinCustomComboBox::DestroyWnd();
}

void TbsCustomShellComboBox::Loaded() {
  TbsSkinCustomComboBox::Loaded();
  Fill();
}

void TbsCustomShellComboBox::SetUseShellImages(bool Value) {
  FUseShellImages = Value;
  gfx::ImageList* il = SystemImageList(false);
  FImageWidth = Value && il ? il->Width() : 16;
  FImageHeight = Value && il ? il->Height() : 16;
}

int TbsCustomShellComboBox::IconOf(TbsShellFolder* F) const {
  return FUseShellImages ? SystemIconIndex(F->AbsoluteID(), false, false) : -1;
}

void TbsCustomShellComboBox::ClearEntries() {
  for (TbsItemEx& e : FItemsEx) delete e.Data;
  FItemsEx.clear();
  Items().Clear();
}

void TbsCustomShellComboBox::RebuildItems() {
  Items().BeginUpdate();
  Items().Clear();
  for (const TbsItemEx& e : FItemsEx) Items().Add(e.Caption);
  Items().EndUpdate();
}

void TbsCustomShellComboBox::Fill() {
  if (Loading()) return;
  FEntryUpdate++;
  try {
    ClearEntries();
    FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
    auto* f = new TbsShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
    FItemsEx.push_back({f->DisplayName(), f, 0, IconOf(f), IconOf(f)});
    AddStandardEntries();
    RebuildItems();
    SetItemIndex(0);
  } catch (...) {
    FEntryUpdate--;
    throw;
  }
  FEntryUpdate--;
}

void TbsCustomShellComboBox::AddStandardEntries() {
  InsertChildren(0, FItemsEx[0].Data);
  if (FRoot == "rfDesktop") {
    PIDLIST id = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(CSIDL_DRIVES, &id))) {
      UniqueIdList hold(id);
      const int k = IndexOfId(id);
      if (k >= 0) InsertChildren(k, FItemsEx[size_t(k)].Data);
    }
  }
}

void TbsCustomShellComboBox::InsertChildren(int AtIndex, TbsShellFolder* Folder) {
  if (!Folder || !Folder->ShellFolder()) return;
  std::unique_ptr<IEnumIDListLx> e;
  HRESULT hr = Folder->ShellFolder()->EnumObjects(ObjectTypesToEnumFlags(FObjectTypes), &e);
  if (FAILED(hr) || !e) throw rtl::Exception(rtl::Format("The folder \"%s\" cannot be listed", Folder->DisplayName()));
  std::vector<UniqueIdList> ids;
  PIDLIST item = nullptr;
  while (e->Next(&item) == S_OK) ids.emplace_back(item);
  shell::IShellFolderLx* sf = Folder->ShellFolder().get();
  std::stable_sort(ids.begin(), ids.end(),
                   [sf](const UniqueIdList& a, const UniqueIdList& b) { return ShellOrder(sf, a.get(), b.get()) < 0; });
  int k = 0;
  for (auto& id : ids) {
    auto* child = new TbsShellFolder(Folder, id.get(), BindSubFolder(sf, id.get()));
    FItemsEx.insert(FItemsEx.begin() + AtIndex + k + 1,
                    TbsItemEx{child->DisplayName(), child, child->Level(), IconOf(child), IconOf(child)});
    k++;
  }
}

int TbsCustomShellComboBox::IndexOfId(PCIDLIST ID) {
  ShellFolderIntf desk = AcquireDesktopFolderIntf();
  for (int i = int(FItemsEx.size()) - 1; i >= 0; i--)
    if (FItemsEx[size_t(i)].Data && HRESULT_CODE(desk->CompareIDs(0, FItemsEx[size_t(i)].Data->AbsoluteID(), ID)) == 0)
      return i;
  return -1;
}

void TbsCustomShellComboBox::ShowPath(PCIDLIST ID) {
  UniqueIdList target(DuplicateIdList(ID));  // ID may belong to an entry that Fill frees
  FEntryUpdate++;
  try {
    Fill();
    TbsIdPrefixList prefixes = BuildIdPrefixList(target.get());
    int i = -1, anchor = -1;
    for (int p = int(prefixes.size()) - 1; p >= 0; p--) {
      i = IndexOfId(prefixes[size_t(p)].get());
      if (i >= 0) {
        anchor = p;
        break;
      }
    }
    if (anchor >= 0) {
      auto insertBelow = [&](PCIDLIST full) {
        UniqueIdList last(CopyLastIdItem(full));
        TbsShellFolder* parent = FItemsEx[size_t(i)].Data;
        auto* child = new TbsShellFolder(parent, last.get(), BindSubFolder(parent->ShellFolder().get(), last.get()));
        TbsItemEx entry{child->DisplayName(), child, child->Level(), IconOf(child), -1};
        FItemsEx.insert(FItemsEx.begin() + i + 1, entry);
        i++;
      };
      for (size_t p = size_t(anchor) + 1; p < prefixes.size(); p++) insertBelow(prefixes[p].get());
      int targetIndex = IndexOfId(target.get());
      if (targetIndex < 0) {
        insertBelow(target.get());
        targetIndex = i;
      }
      RebuildItems();
      SetItemIndex(targetIndex);
    }
  } catch (...) {
    FEntryUpdate--;
    throw;
  }
  FEntryUpdate--;
}

std::string TbsCustomShellComboBox::Path() {
  const int i = ItemIndex();
  return i >= 0 && i < int(FItemsEx.size()) && FItemsEx[size_t(i)].Data ? FItemsEx[size_t(i)].Data->PathName() : "";
}

void TbsCustomShellComboBox::SetPath(const std::string& Value) {
  UniqueIdList id(ParsePath(Value));
  ShowPath(id.get());
}

void TbsCustomShellComboBox::SelectFolderId(PCIDLIST ID) {
  if (FUpdating) return;
  const int i = ItemIndex();
  if (i >= 0 && i < int(FItemsEx.size()) && FItemsEx[size_t(i)].Data &&
      IdListsEqual(FItemsEx[size_t(i)].Data->AbsoluteID(), ID))
    return;
  FUpdating = true;
  try {
    ShowPath(ID);
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TbsCustomShellComboBox::SetRoot(const std::string& Value) {
  if (rtl::SameText(Value, FRoot)) return;
  FOldRoot = FRoot;
  FRoot = Value;
  ApplyRoot();
}

void TbsCustomShellComboBox::SetObjectTypes(TShellObjectTypes Value) {
  FObjectTypes = Value;
  ApplyRoot();
}

void TbsCustomShellComboBox::SetShellTreeView(TbsCustomShellTreeView* Value) {
  if (Value == FTreeView) return;
  if (FTreeView) {
    FTreeView->LinkCombo(nullptr);
    FTreeView->RemoveFreeNotification(this);
  }
  FTreeView = Value;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->LinkCombo(this);
    Value->FreeNotification(this);
  }
}

void TbsCustomShellComboBox::SetShellListView(TbsCustomShellListView* Value) {
  if (Value == FListView) return;
  if (FListView) {
    FListView->LinkCombo(nullptr);
    FListView->RemoveFreeNotification(this);
  }
  FListView = Value;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->LinkCombo(this);
    Value->FreeNotification(this);
  }
}

void TbsCustomShellComboBox::ApplyRoot() {
  FUpdating = true;
  try {
    ClearEntries();
    Fill();
    if (FTreeView) FTreeView->SetRoot(FRoot);
    if (FListView) FListView->SetRoot(FRoot);
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TbsCustomShellComboBox::Change() {
  if (FEntryUpdate) return;
  TbsSkinCustomComboBox::Change();
  const int i = ItemIndex();
  if (i < 0 || i >= int(FItemsEx.size()) || FUpdating || IsPopupVisible()) return;
  FUpdating = true;
  try {
    UniqueIdList id(DuplicateIdList(FItemsEx[size_t(i)].Data->AbsoluteID()));
    if (FTreeView) FTreeView->SelectFolderId(id.get());
    if (FListView) FListView->FollowLinkedFolder(id.get());
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TbsCustomShellComboBox::Click() {
  const int i = ItemIndex();
  if (i >= 0 && i < int(FItemsEx.size())) {
    FUpdating = true;
    try {
      UniqueIdList id(DuplicateIdList(FItemsEx[size_t(i)].Data->AbsoluteID()));
      ShowPath(id.get());
    } catch (...) {
      FUpdating = false;
      throw;
    }
    FUpdating = false;
  }
  TbsSkinCustomComboBox::Click();
}

void TbsCustomShellComboBox::DrawEntry(gfx::TCanvas* Cnvs, int Index, const TRect& TxtRect, bool Indented) {
  if (Index < 0 || Index >= int(FItemsEx.size())) return;
  const TbsItemEx& e = FItemsEx[size_t(Index)];
  gfx::ImageList* il = FUseShellImages ? SystemImageList(false) : nullptr;
  int x = TxtRect.Left;
  if (il) {
    if (Indented) x += e.Indent * FImageWidth / 2;
    if (e.ImageIndex >= 0)
      gfx::ImageList_DrawEx(il, e.ImageIndex, Cnvs->Handle(), x, TxtRect.Top + (TxtRect.Height() - FImageHeight) / 2,
                            FImageWidth, FImageHeight, CLR_NONE, CLR_NONE, ILD_NORMAL);
    x += FImageWidth + 4;
  }
  Cnvs->Brush()->SetStyle(gfx::bsClear);
  const int th = Cnvs->TextHeight("Wg");
  Cnvs->TextOut(x, TxtRect.Top + (TxtRect.Height() - th) / 2, Items().Get(Index));
}

}  // namespace skin
