// The shell views of the file dialogs: a folder tree (lazy, root "Desktop"),
// a virtual folder list (folders first, files filtered by a mask, sortable
// columns) and a "look in" combo box (the top of the namespace plus the chain
// of folders down to the one shown). Linked views keep each other on the
// same folder; each guards itself with FUpdating so a move never echoes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/strlist.h"
#include "skin/dialogs/bsShellFolder.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/menus/bsSkinMenus.h"
#include "skin/controls/bsSkinViews.h"

namespace skin {

class TbsCustomShellTreeView;
class TbsCustomShellListView;
class TbsCustomShellComboBox;

using TAddFolderEvent = rtl::Event<void(rtl::TObject* Sender, TbsShellFolder* AFolder, bool& CanAdd)>;

// Whether a file name passes a mask: patterns split at ";" and "|", each
// trimmed; a pattern counts when it holds a "." (case-insensitive glob) or is
// exactly "*". An empty mask passes nothing.
bool PassesMask(const std::string& Mask, const std::string& FileName);

// The shared sort context and the entry order of the list view.
struct TbsShellSortContext {
  TbsShellFolder* Folder = nullptr;
  bool ColumnActive = false;
  int Column = 0;
  bool Descending = false;
};
int CompareListFolders(TbsShellFolder* A, TbsShellFolder* B, const TbsShellSortContext& Ctx);

// The small context menu of one entry: the namespace's commands as items of
// a skinned popup menu (made in Menu when null, owned by Owner) at a screen
// point; a chosen item calls Run with its verb once the menu has closed.
void ShowShellContextMenu(cl::TWinControl* Owner, TbsSkinPopupMenu*& Menu, TbsShellFolder* Folder, TPoint Screen,
                          std::function<void(const std::string& Verb)> Run);

// ============================================================================ list view

class TbsCustomShellListView : public TbsSkinCustomListView, public IbsShellCommandHandler {
 public:
  explicit TbsCustomShellListView(cl::TComponent* AOwner);

  const std::string& Root() const { return FRoot; }
  void SetRoot(const std::string& Value);
  const std::string& Mask() const { return FMask; }
  void SetMask(const std::string& Value);
  TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
  void SetObjectTypes(TShellObjectTypes Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool AutoRefresh() const { return FAutoRefresh; }
  void SetAutoRefresh(bool Value);
  bool AutoNavigate = true;
  bool AutoContextMenus = true;
  TbsCustomShellTreeView* ShellTreeView() const { return FTreeView; }
  void SetShellTreeView(TbsCustomShellTreeView* Value);
  TbsCustomShellComboBox* ShellComboBox() const { return FComboBox; }
  void SetShellComboBox(TbsCustomShellComboBox* Value);
  // Report style also rebuilds the columns.
  void SetViewStyle(ctl::TViewStyle V);

  TbsShellFolder* RootFolder() const { return FRootFolder; }
  std::string Path() const;
  void SetPath(const std::string& Value);
  TbsShellFolder* SelectedFolder();
  std::string GetSelectedFile();
  void GetSelectedFiles(rtl::TStrings* AFiles);
  void Back();
  void Refresh();
  TbsShellFolder* FolderAt(int Index) const;
  int FolderCount() const { return int(FFolders.size()); }
  void RebuildContents();
  virtual void FillFromFolder();
  void BuildColumns();
  void OpenFolderId(PCIDLIST ID);
  void FollowLinkedFolder(PCIDLIST ID);
  int SortColumn() const { return FSortColumn; }
  bool SortDescending() const { return FSortDirection; }
  TbsShellChangeNotifier* Notifier() const { return FNotifier; }

  TAddFolderEvent OnAddFolder;
  rtl::TNotifyEvent OnPathChanged;

  void ExecuteCommand(const std::string& Verb, bool& Handled) override;
  void CommandCompleted(const std::string& Verb, bool Succeeded) override;
  // A verb chosen from the context menu, for the selected entry; the view
  // re-reads its folder afterwards unless it went on to edit a name.
  void RunContextCommand(const std::string& Verb);
  TbsSkinPopupMenu* ShellMenu() const { return FShellMenu; }
  void Dispatch(cl::TMessage& Msg) override;

  // The back-links the linked controls set.
  void LinkTree(TbsCustomShellTreeView* T) { FTreeView = T; }
  void LinkCombo(TbsCustomShellComboBox* C) { FComboBox = C; }

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Destroy() override;
  void Loaded() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  bool OwnerDataFetch(ctl::TListItem* Item) override;
  int OwnerDataFind(ctl::TItemFind Find, const std::string& FindString, int StartIndex, bool Wrap) override;
  void ColClick(ctl::TListColumn* Column) override;
  void DblClick() override;
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  void Edit(ctl::TListItem* Item, const std::string* NewText) override;
  std::string ClassName() const override { return "TbsCustomShellListView"; }

 private:
  void ResolveRoot();
  void SyncLinkedControls();
  void ReleaseEntries();
  void SortEntries(const TbsShellSortContext& Ctx);
  void OpenCopyOf(PCIDLIST ID);

  int FOldSortColumn = -1, FSortColumn = -1;
  bool FSortDirection = false;
  std::string FOldRoot, FRoot = "rfDesktop";
  TbsShellFolder* FRootFolder = nullptr;
  bool FAutoRefresh = false, FSorted = true, FUpdating = false, FSettingRoot = false;
  TShellObjectTypes FObjectTypes = otFolders | otNonFolders;
  std::vector<TbsShellFolder*> FFolders;
  TbsCustomShellTreeView* FTreeView = nullptr;
  TbsCustomShellComboBox* FComboBox = nullptr;
  TbsShellChangeNotifier* FNotifier = nullptr;
  TbsSkinPopupMenu* FShellMenu = nullptr;
  std::string FSavePath;
  std::string FMask = "*.*|*.*";
};

class TbsSkinFileListView : public TbsCustomShellListView {
 public:
  using TbsCustomShellListView::TbsCustomShellListView;

 protected:
  std::string ClassName() const override { return "TbsSkinFileListView"; }
};

// ============================================================================ tree view

class TbsCustomShellTreeView : public TbsSkinCustomTreeView, public IbsShellCommandHandler {
 public:
  explicit TbsCustomShellTreeView(cl::TComponent* AOwner);

  const std::string& Root() const { return FRoot; }
  void SetRoot(const std::string& Value);
  TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
  virtual void SetObjectTypes(TShellObjectTypes Value);
  bool AutoRefresh() const { return FAutoRefresh; }
  void SetAutoRefresh(bool Value);
  bool AutoContextMenus = true;
  bool UseShellImages() const { return FUseShellImages; }
  void SetUseShellImages(bool Value);
  TbsCustomShellListView* ShellListView() const { return FListView; }
  void SetShellListView(TbsCustomShellListView* Value);
  TbsCustomShellComboBox* ShellComboBox() const { return FComboBox; }
  void SetShellComboBox(TbsCustomShellComboBox* Value);

  std::string Path();
  void SetPath(const std::string& Value);
  TbsShellFolder* SelectedFolder();
  TbsShellFolder* RootFolder() const { return FRootFolder; }
  void Refresh(ctl::TTreeNode* Node);
  void RefreshSelected();
  void ExpandMyComputer();
  void SelectFolderId(PCIDLIST ID);
  virtual void ReleaseNodes();
  TbsShellChangeNotifier* Notifier() const { return FNotifier; }

  TAddFolderEvent OnAddFolder;

  void ExecuteCommand(const std::string& Verb, bool& Handled) override;
  void CommandCompleted(const std::string& Verb, bool Succeeded) override;
  TbsSkinPopupMenu* ShellMenu() const { return FShellMenu; }

  void LinkList(TbsCustomShellListView* L) { FListView = L; }
  void LinkCombo(TbsCustomShellComboBox* C) { FComboBox = C; }

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Destroy() override;
  void Loaded() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  bool CanExpand(ctl::TTreeNode* Node) override;
  bool CanChange(ctl::TTreeNode* Node) override;
  void Delete(ctl::TTreeNode* Node) override;
  void Edit(ctl::TTreeNode* Node, const std::string* NewText) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  std::string ClassName() const override { return "TbsCustomShellTreeView"; }

 private:
  void LoadRoot();
  void ApplyRootChange();
  void FillNode(ctl::TTreeNode* Node);
  void SetUpNode(ctl::TTreeNode* Node, PCIDLIST ID, ctl::TTreeNode* ParentNode);
  ctl::TTreeNode* FindNodeById(PCIDLIST ID, ctl::TTreeNode* Start);
  static TbsShellFolder* FolderOf(ctl::TTreeNode* Node) {
    return Node ? static_cast<TbsShellFolder*>(Node->Data) : nullptr;
  }

  std::string FPath, FRoot = "rfDesktop", FOldRoot;
  TbsShellFolder* FRootFolder = nullptr;
  TShellObjectTypes FObjectTypes = otFolders;
  bool FLoadingRoot = false, FUpdating = false, FAutoRefresh = false, FUseShellImages = true;
  TbsCustomShellListView* FListView = nullptr;
  TbsCustomShellComboBox* FComboBox = nullptr;
  TbsShellChangeNotifier* FNotifier = nullptr;
  TbsSkinPopupMenu* FShellMenu = nullptr;
  std::string FSavePath;
  ctl::TTreeNode* FNodeToMonitor = nullptr;
};

class TbsSkinDirTreeView : public TbsCustomShellTreeView {
 public:
  using TbsCustomShellTreeView::TbsCustomShellTreeView;

 protected:
  std::string ClassName() const override { return "TbsSkinDirTreeView"; }
};

// ============================================================================ combo box

struct TbsItemEx {
  std::string Caption;
  TbsShellFolder* Data = nullptr;  // owned by the combo box
  int Indent = 0;
  int ImageIndex = -1;
  int SelectedImageIndex = -1;
};

class TbsCustomShellComboBox : public TbsSkinCustomComboBox {
 public:
  explicit TbsCustomShellComboBox(cl::TComponent* AOwner);

  const std::string& Root() const { return FRoot; }
  void SetRoot(const std::string& Value);
  TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
  virtual void SetObjectTypes(TShellObjectTypes Value);
  bool UseShellImages() const { return FUseShellImages; }
  void SetUseShellImages(bool Value);
  TbsCustomShellTreeView* ShellTreeView() const { return FTreeView; }
  void SetShellTreeView(TbsCustomShellTreeView* Value);
  TbsCustomShellListView* ShellListView() const { return FListView; }
  void SetShellListView(TbsCustomShellListView* Value);

  std::string Path();
  void SetPath(const std::string& Value);
  const std::vector<TbsItemEx>& ItemsEx() const { return FItemsEx; }
  TbsShellFolder* RootFolder() const { return FRootFolder; }
  void SelectFolderId(PCIDLIST ID);
  void ShowPath(PCIDLIST ID);
  int IndexOfId(PCIDLIST ID);
  virtual void AddStandardEntries();

  void LinkTree(TbsCustomShellTreeView* T) { FTreeView = T; }
  void LinkList(TbsCustomShellListView* L) { FListView = L; }

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Destroy() override;
  void Loaded() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Change() override;
  void Click() override;
  std::string ClassName() const override { return "TbsCustomShellComboBox"; }

 private:
  void Fill();
  void ClearEntries();
  void ApplyRoot();
  void InsertChildren(int AtIndex, TbsShellFolder* Folder);
  void RebuildItems();
  int IconOf(TbsShellFolder* F) const;
  void DrawEntry(gfx::TCanvas* Cnvs, int Index, const TRect& TxtRect, bool Indented);

  std::vector<TbsItemEx> FItemsEx;
  int FEntryUpdate = 0;
  int FImageWidth = 16, FImageHeight = 16;
  std::string FOldRoot, FRoot = "rfDesktop";
  TbsShellFolder* FRootFolder = nullptr;
  TbsCustomShellTreeView* FTreeView = nullptr;
  TbsCustomShellListView* FListView = nullptr;
  TShellObjectTypes FObjectTypes = otFolders;
  bool FUseShellImages = true, FUpdating = false;
};

class TbsSkinShellComboBox : public TbsCustomShellComboBox {
 public:
  using TbsCustomShellComboBox::TbsCustomShellComboBox;

 protected:
  std::string ClassName() const override { return "TbsSkinShellComboBox"; }
};

}  // namespace skin
