#include "skin/dialogs/bsSkinFileDialogs.h"

#include <array>
#include <filesystem>

#include "platform/cl/application.h"
#include "platform/rtl/files.h"
#include "platform/rtl/exceptions.h"
#include "platform/win/window.h"
#include "skin/dialogs/bsSkinMessage.h"
#include "skin/inputs/bsSkinShellLists.h"

namespace skin {

namespace {

bool HasExt(const std::string& Name) { return !rtl::ExtractFileExt(Name).empty(); }

// The extension of a mask's first pattern; none for masks that allow any.
std::string MaskExtension(const std::string& M) {
  if (M.find(".*") != std::string::npos) return "";
  const size_t semi = M.find(';');
  return rtl::ExtractFileExt(semi == std::string::npos ? M : M.substr(0, semi));
}

}  // namespace

TbsDialogAsk PlainDialogAsk() {
  return [](cl::TCustomForm*, const std::string& Text) {
    return cl::Application->MessageBox(Text, "", cl::MB_OKCANCEL | cl::MB_ICONWARNING) == cl::IDOK ? 1 : 2;
  };
}

std::string DialogText(TbsSkinData* CtrlSD, const std::string& Key, const std::string& BuiltIn) {
  if (CtrlSD && CtrlSD->ResourceStrData()) return CtrlSD->ResourceStrData()->GetResStr(Key);
  return BuiltIn;
}

gfx::TColor DialogGlyphInk(TbsSkinData* SD) { return SD && !SD->Empty ? SD->SkinColors().cBtnText() : gfx::clBlack; }

void MakeDialogGlyph(const std::string& Name, gfx::TBitmap* B, gfx::TColor Ink) {
  B->SetSize(16, 16);
  gfx::TCanvas* c = B->Canvas();
  c->Brush()->SetColor(gfx::clFuchsia);
  c->FillRect(TRect(0, 0, 16, 16));
  c->Pen()->SetColor(Ink);
  c->Brush()->SetColor(gfx::TColor(0x40C0F0));  // folder yellow
  auto folder = [&](int x, int y) {
    c->Rectangle(x, y + 2, x + 12, y + 11);
    c->Rectangle(x, y, x + 5, y + 3);
  };
  auto arrowLeft = [&](int y) {
    c->Brush()->SetColor(gfx::TColor(0x208020));
    std::vector<TPoint> p = {{2, y}, {7, y - 5}, {7, y - 2}, {13, y - 2}, {13, y + 2}, {7, y + 2}, {7, y + 5}};
    c->Polygon(p);
  };
  if (Name == "BS_BACK") {
    arrowLeft(8);
  } else if (Name == "BS_UP") {
    folder(1, 4);
    c->Brush()->SetColor(gfx::TColor(0x208020));
    std::vector<TPoint> p = {{10, 1}, {15, 6}, {12, 6}, {12, 11}, {8, 11}, {8, 6}, {5, 6}};
    c->Polygon(p);
  } else if (Name == "BS_NEWFOLDER") {
    folder(1, 4);
    c->Pen()->SetColor(gfx::TColor(0x0080FF));
    c->MoveTo(13, 0), c->LineTo(13, 7);
    c->MoveTo(10, 3), c->LineTo(17, 3);
    c->MoveTo(11, 1), c->LineTo(16, 6);
    c->MoveTo(15, 1), c->LineTo(10, 6);
  } else if (Name == "BS_LVSTYLE") {
    c->Brush()->SetColor(gfx::clWhite);
    for (int y = 2; y < 14; y += 4) {
      c->Rectangle(1, y, 4, y + 3);
      c->MoveTo(6, y + 1), c->LineTo(15, y + 1);
    }
  } else if (Name == "BS_STRETCH") {
    c->Brush()->SetColor(gfx::clWhite);
    c->Rectangle(4, 4, 12, 12);
    for (auto [x0, y0, dx, dy] : {std::array{1, 1, 1, 1}, {14, 1, -1, 1}, {1, 14, 1, -1}, {14, 14, -1, -1}}) {
      c->MoveTo(x0, y0), c->LineTo(x0 + 4 * dx, y0 + 4 * dy);
      c->MoveTo(x0, y0), c->LineTo(x0 + 3 * dx, y0);
      c->MoveTo(x0, y0), c->LineTo(x0, y0 + 3 * dy);
    }
  }
}

// ============================================================================ the form

TbsOpenDlgForm::TbsOpenDlgForm(cl::TComponent* AOwner, bool ASaveMode, TbsSkinData* ACtrlSkinData,
                               bool AToolButtonsTransparent, bool APicture)
    : cl::TForm(AOwner), SaveMode(ASaveMode), PictureMode(APicture), CtrlSD(ACtrlSkinData) {
  using namespace cl;
  KeyPreview = true;
  SetPosition(poScreenCenter);
  SetBounds(0, 0, 470, 330);
  BSF = new TbsSkinForm(this);
  auto text = [&](const char* key, const char* builtIn) { return DialogText(CtrlSD, key, builtIn); };

  if (PictureMode) {
    ImagePanel = new TbsSkinPanel(this);
    ImagePanel->SetBorderStyle(bvFrame);
    ImagePanel->SetAlign(alRight);
    ImagePanel->SetWidth(200);
    ImagePanel->SetParent(this);
    Splitter = new TbsSkinSplitter(this);
    Splitter->SetAlign(alRight);
    Splitter->SetWidth(10);
    Splitter->DefaultSize = 10;
    Splitter->Beveled = false;
    Splitter->SetParent(this);
    SBVScrollBar = new TbsSkinScrollBar(this);
    SBVScrollBar->SetKind(sbVertical);
    SBVScrollBar->SetAlign(alRight);
    SBVScrollBar->SetDefaultWidth(19);
    SBVScrollBar->SetEnabled(false);
    SBVScrollBar->SetSkinDataName("vscrollbar");
    SBVScrollBar->SetParent(ImagePanel);
    SBHScrollBar = new TbsSkinScrollBar(this);
    SBHScrollBar->SetAlign(alBottom);
    SBHScrollBar->SetDefaultHeight(19);
    SBHScrollBar->SetEnabled(false);
    SBHScrollBar->SetBothMarkerWidth(19);
    SBHScrollBar->SetSkinDataName("hscrollbar");
    SBHScrollBar->SetParent(ImagePanel);
    ScrollBox = new TbsSkinScrollBox(this);
    ScrollBox->SetAlign(alClient);
    ScrollBox->SetBorderStyle(bvNone);
    ScrollBox->SetParent(ImagePanel);
    ScrollBox->SetHScrollBar(SBHScrollBar);
    ScrollBox->SetVScrollBar(SBVScrollBar);
    Image = new TImage(this);
    Image->SetBounds(0, 0, 0, 0);
    Image->SetParent(ScrollBox);
  }

  // Tool bar: spacer and "look in" on the left, the tool buttons on the right.
  ToolPanel = new TbsSkinPanel(this);
  ToolPanel->SetBorderStyle(bvNone);
  ToolPanel->SetAlign(alTop);
  ToolPanel->SetDefaultHeight(25);
  ToolPanel->SetSkinDataName("toolpanel");
  ToolPanel->SetParent(this);
  auto spacer = [&](TAlign a) {
    auto* b = new TbsSkinBevel(this);
    b->SetShape(bsSpacer);
    b->SetWidth(10);
    b->SetLeft(a == alRight ? Width() : 0);
    b->SetAlign(a);
    b->SetParent(ToolPanel);
  };
  spacer(alLeft);
  Drivelabel = new TbsSkinStdLabel(this);
  Drivelabel->SetLeft(10);
  Drivelabel->SetAutoSize(true);
  Drivelabel->SetLayout(tlCenter);
  Drivelabel->SetCaption(text("FLV_LOOKIN", "Look in: "));
  Drivelabel->SetAlign(alLeft);
  Drivelabel->SetParent(ToolPanel);
  auto tool = [&](const char* glyph, const std::string& hint, void (TbsOpenDlgForm::*h)(rtl::TObject*)) {
    auto* b = new TbsSkinSpeedButton(this);
    b->SetDefaultHeight(25);
    b->SetDefaultWidth(27);
    b->SetSkinDataName("toolbutton");
    b->SetNumGlyphs(1);
    MakeDialogGlyph(glyph, b->Glyph(), DialogGlyphInk(CtrlSD));
    b->Hint = hint;
    b->ShowHint = true;
    b->SetFlat(AToolButtonsTransparent);
    if (h) b->OnClick = [this, h](rtl::TObject* s) { (this->*h)(s); };
    b->SetLeft(Width());
    b->SetAlign(alRight);
    b->SetParent(ToolPanel);
    return b;
  };
  BackToolButton =
      tool("BS_BACK", text("MSG_BTN_BACK_HINT", "Go To Last Folder Visited"), &TbsOpenDlgForm::BackToolButtonClick);
  UpToolButton = tool("BS_UP", text("MSG_BTN_UP_HINT", "Up One Level"), &TbsOpenDlgForm::UpToolButtonClick);
  NewFolderToolButton = tool("BS_NEWFOLDER", text("MSG_BTN_NEWFOLDER_HINT", "Create New Folder"),
                             &TbsOpenDlgForm::NewFolderToolButtonClick);
  spacer(alRight);
  StylePopupMenu = new TbsSkinPopupMenu(this);
  auto item = [&](const char* key, const char* builtIn, ctl::TViewStyle v) {
    auto* it = new TMenuItem(this);
    it->Caption = text(key, builtIn);
    it->SetRadioItem(true);
    it->OnClick = [this, v](rtl::TObject*) { SetViewStyleItem(v); };
    StylePopupMenu->Items()->Add(it);
    return it;
  };
  IconMenuItem = item("MSG_LV_ICON", "Large icons", ctl::vsIcon);
  SmallIconMenuItem = item("MSG_LV_SMALLICON", "Small icons", ctl::vsSmallIcon);
  ListMenuItem = item("MSG_LV_LIST", "List", ctl::vsList);
  ReportMenuItem = item("MSG_LV_DETAILS", "Details", ctl::vsReport);
  StyleToolButton = new TbsSkinMenuSpeedButton(this);
  StyleToolButton->SetDefaultHeight(25);
  StyleToolButton->SetDefaultWidth(37);
  StyleToolButton->SetSkinDataName("toolmenubutton");
  StyleToolButton->SetNumGlyphs(1);
  MakeDialogGlyph("BS_LVSTYLE", StyleToolButton->Glyph(), DialogGlyphInk(CtrlSD));
  StyleToolButton->SetSkinPopupMenu(StylePopupMenu);
  StyleToolButton->Hint = text("MSG_BTN_VIEWMENU_HINT", "View Menu");
  StyleToolButton->ShowHint = true;
  StyleToolButton->SetFlat(AToolButtonsTransparent);
  StyleToolButton->SetLeft(Width());
  StyleToolButton->SetAlign(alRight);
  StyleToolButton->SetParent(ToolPanel);
  if (PictureMode) {
    StretchButton =
        tool("BS_STRETCH", text("MSG_BTN_STRETCH_HINT", "Stretch Picture"), &TbsOpenDlgForm::StretchButtonClick);
    StretchButton->SetGroupIndex(2);
    StretchButton->SetAllowAllUp(true);
  }
  ShellBox = new TbsSkinShellComboBox(this);
  ShellBox->SetWidth(190);
  ShellBox->SetDropDownCount(10);
  ShellBox->SetAlign(alClient);
  ShellBox->SetParent(ToolPanel);

  BottomPanel = new TbsSkinPanel(this);
  BottomPanel->SetAlign(alBottom);
  BottomPanel->SetBorderStyle(bvNone);
  BottomPanel->SetHeight(80);
  BottomPanel->SetParent(this);

  FileListViewPanel = new TbsSkinPanel(this);
  FileListViewPanel->SetAlign(alClient);
  FileListViewPanel->SetBorderStyle(bvFrame);
  FileListViewPanel->SetParent(this);
  FLVHScrollBar = new TbsSkinScrollBar(this);
  FLVHScrollBar->SetBothMarkerWidth(19);
  FLVHScrollBar->SetAlign(alBottom);
  FLVHScrollBar->SetDefaultHeight(19);
  FLVHScrollBar->SetEnabled(false);
  FLVHScrollBar->SetSkinDataName("hscrollbar");
  FLVHScrollBar->SetParent(FileListViewPanel);
  FLVVScrollBar = new TbsSkinScrollBar(this);
  FLVVScrollBar->SetKind(sbVertical);
  FLVVScrollBar->SetAlign(alRight);
  FLVVScrollBar->SetDefaultWidth(19);
  FLVVScrollBar->SetEnabled(false);
  FLVVScrollBar->SetSkinDataName("vscrollbar");
  FLVVScrollBar->SetParent(FileListViewPanel);
  FileListView = new TbsSkinFileListView(this);
  FileListView->SetAlign(alClient);
  FileListView->SetViewStyle(ctl::vsList);
  FileListView->SetHideSelection(false);
  FileListView->SetParent(FileListViewPanel);
  FileListView->SetHScrollBar(FLVHScrollBar);
  FileListView->SetVScrollBar(FLVVScrollBar);
  FileListView->OnChange = [this](rtl::TObject* s, ctl::TListItem* i, ctl::TItemChange c) { FLVChange(s, i, c); };
  FileListView->OnPathChanged = [this](rtl::TObject* s) { FLVPathChange(s); };
  FileListView->OnDblClick = [this](rtl::TObject* s) { FLVDBLClick(s); };
  FileListView->OnKeyPress = [this](rtl::TObject* s, char32_t& k) { FLVKeyPress(s, k); };

  // Bottom: labels, edit and filter on the left, the buttons on the right.
  const int cw = ClientWidth();
  // A label as high as its 21-pixel field and centred on it, so that the
  // two texts share a line.
  auto label = [&](int y, const std::string& caption) {
    auto* l = new TbsSkinStdLabel(this);
    l->SetAutoSize(true);
    l->SetCaption(caption);
    l->SetLeft(10);
    l->SetParent(BottomPanel);
    l->SetTop(y + (21 - l->Height()) / 2);
    return l;
  };
  OpenFileLabel = label(10, text("MSG_FILENAME", "File name:"));
  FileTypeLabel = label(45, text("MSG_FILETYPE", "File type:"));
  const int fieldW = PictureMode ? 280 : cw - 160;
  const TAnchors stretch = PictureMode ? TAnchors(akLeft | akTop) : TAnchors(akLeft | akTop | akRight);
  const TAnchors right = PictureMode ? TAnchors(akLeft | akTop) : TAnchors(akTop | akRight);
  const int buttonX = PictureMode ? 370 : cw - 80;
  FileNameEdit = new TbsSkinEdit(this);
  FileNameEdit->SetBounds(70, 10, fieldW, 21);
  FileNameEdit->SetDefaultHeight(21);
  FileNameEdit->SetAnchors(stretch);
  FileNameEdit->OnKeyPress = [this](rtl::TObject* s, char32_t& k) { EditKeyPress(s, k); };
  FileNameEdit->SetParent(BottomPanel);
  FilterComboBox = new TbsSkinFilterComboBox(this);
  FilterComboBox->SetBounds(70, 45, fieldW, 21);
  FilterComboBox->SetDefaultHeight(21);
  FilterComboBox->SetAnchors(stretch);
  FilterComboBox->OnChange = [this](rtl::TObject* s) { FCBChange(s); };
  FilterComboBox->SetParent(BottomPanel);
  auto button = [&](int y, const std::string& caption) {
    auto* b = new TbsSkinButton(this);
    b->SetBounds(buttonX, y, 70, 25);
    b->SetDefaultHeight(25);
    b->SetCanFocused(true);
    b->SetAnchors(right);
    b->SetCaption(caption);
    b->SetParent(BottomPanel);
    return b;
  };
  OpenButton = button(10, SaveMode ? text("MSG_BTN_SAVE", "&Save") : text("MSG_BTN_OPEN", "&Open"));
  OpenButton->OnClick = [this](rtl::TObject* s) { OpenButtonClick(s); };
  CancelButton = button(45, text("MSG_BTN_CANCEL", "Cancel"));
  CancelButton->SetModalResult(mrCancel);
  CancelButton->SetCancel(true);

  SetActiveControl(FileNameEdit);
}

std::string TbsOpenDlgForm::CurrentDir() {
  std::string d = FileListView->Path();
  if (d.empty() || d.back() != '/') d += '/';
  return d;
}

// What the edit's text names: a typed absolute path stands for itself,
// anything else is taken inside the folder shown.
std::string TbsOpenDlgForm::Typed(const std::string& E) { return !E.empty() && E[0] == '/' ? E : CurrentDir() + E; }

std::string TbsOpenDlgForm::GetDefaultExtension() {
  if (!DefaultExt.empty()) return "." + DefaultExt;
  return GetFilterExtension();
}

std::string TbsOpenDlgForm::GetFilterExtension() { return MaskExtension(FilterComboBox->Mask()); }

bool TbsOpenDlgForm::Confirm() {
  std::string Text = DialogText(CtrlSD, "MSG_OVERWRITE", "Do you want to overwrite old file?");
  if (Ask) return Ask(this, Text) == 1;
  // A message box made for the question, in the dialog's own skins.
  auto* M = new TbsSkinMessage(this);
  M->SetSkinData(BSF->SkinData());
  M->SetCtrlSkinData(CtrlSD);
  int R = M->MessageDlg(Text, mtWarning, {mbOK, mbCancel}, 0);
  M->Free();
  return R == 1;
}

void TbsOpenDlgForm::OpenButtonClick(rtl::TObject*) {
  const std::string E = FileNameEdit->Text();
  const std::string S = FileListView->GetSelectedFile();
  std::string K;
  auto withExt = [&](const std::string& N) { return HasExt(N) ? N : N + GetDefaultExtension(); };
  if (!SaveMode && CheckFileExists && S.empty() && !E.empty()) {
    K = withExt(Typed(E));
    if (!rtl::FileExists(K)) return;
  }
  if (E.empty()) return;
  if (SaveMode) {
    if ((CurrentDir() + E).find('*') != std::string::npos) return;
    K = withExt(Typed(E));
    if (OverwritePromt && rtl::FileExists(K) && !Confirm()) return;
    FileName = Typed(E);
    SetModalResult(cl::mrOk);
    return;
  }
  if (CheckFileExists) {
    FileName = S.empty() ? K : S;
    if (rtl::FileExists(FileName))
      SetModalResult(cl::mrOk);
    else
      FileName.clear();
    return;
  }
  FileName = S.empty() ? withExt(Typed(E)) : S;
  SetModalResult(cl::mrOk);
}

void TbsOpenDlgForm::FLVDBLClick(rtl::TObject*) {
  const std::string S = FileListView->GetSelectedFile();
  if (S.empty()) return;
  if (SaveMode && OverwritePromt && !Confirm()) return;
  FileName = S;
  SetModalResult(cl::mrOk);
}

void TbsOpenDlgForm::FLVKeyPress(rtl::TObject* Sender, char32_t& Key) {
  if (Key == 13 && !FileListView->GetSelectedFile().empty()) OpenButtonClick(Sender);
}

void TbsOpenDlgForm::EditKeyPress(rtl::TObject* Sender, char32_t& Key) {
  if (Key != 13) return;
  const std::string E = FileNameEdit->Text();
  if (E.find('*') != std::string::npos) {
    FileListView->SetMask(E);
  } else if (E.find('/') != std::string::npos && IsDirectory(Typed(E))) {
    FileListView->SetPath(Typed(E));
  } else if (E.find('/') == std::string::npos || rtl::FileExists(Typed(E)) || SaveMode) {
    // A typed path to a file opens like a typed name; a path to nothing
    // that exists leaves the form as it is.
    OpenButtonClick(Sender);
  }
}

void TbsOpenDlgForm::FLVChange(rtl::TObject*, ctl::TListItem*, ctl::TItemChange) {
  const std::string name = rtl::ExtractFileName(FileListView->GetSelectedFile());
  if (PictureMode) {
    FileNameEdit->SetText(name);
    if (!name.empty())
      LoadPreview(CurrentDir() + name);
    else if (Image) {
      Image->SetBounds(0, 0, 0, 0);
    }
    return;
  }
  if (!name.empty()) FileNameEdit->SetText(name);
  OnFolderChange(this);
}

void TbsOpenDlgForm::FLVPathChange(rtl::TObject*) {
  if (!StopAddToHistory) InitHistory();
  if (FileListView->Items()->Count() > 0) FileListView->SetItemFocused(FileListView->Items()->Item(0));
  if (!PictureMode) OnFolderChange(this);
}

void TbsOpenDlgForm::InitHistory() {
  TbsShellFolder* f = FileListView->RootFolder();
  if (!f) return;
  if (FolderHistory.empty() || !IdListsEqual(FolderHistory.back().get(), f->AbsoluteID()))
    FolderHistory.emplace_back(DuplicateIdList(f->AbsoluteID()));
}

void TbsOpenDlgForm::BackToolButtonClick(rtl::TObject*) {
  if (FolderHistory.size() < 2) return;
  StopAddToHistory = true;
  const size_t i = FolderHistory.size() - 2;
  shell::UniqueIdList target(DuplicateIdList(FolderHistory[i].get()));
  FolderHistory.erase(FolderHistory.begin() + long(i));
  TbsShellFolder* f = FileListView->RootFolder();
  if (!f || !IdListsEqual(f->AbsoluteID(), target.get())) FileListView->OpenFolderId(target.get());
  StopAddToHistory = false;
}

void TbsOpenDlgForm::UpToolButtonClick(rtl::TObject*) { FileListView->Back(); }

void TbsOpenDlgForm::NewFolderToolButtonClick(rtl::TObject*) {
  const std::string path = FileListView->Path();
  if (path.find('/') == std::string::npos) return;  // a virtual folder
  NewFolderCount++;
  std::string n = DialogText(CtrlSD, "MSG_NEWFOLDER", "New Folder");
  if (NewFolderCount > 1) n += "(" + std::to_string(NewFolderCount) + ")";
  const std::string p = CurrentDir() + n;
  if (IsDirectory(p)) return;
  std::error_code ec;
  if (!std::filesystem::create_directory(p, ec))
    throw rtl::Exception("Unable to create directory \"" + p + "\": " + ec.message());
  FileListView->RebuildContents();
  win::ProcessMessages();
  for (int i = 0; i < FileListView->FolderCount(); i++)
    if (FileListView->FolderAt(i)->DisplayName() == n) {
      if (ctl::TListItem* it = FileListView->Items()->Item(i)) it->EditCaption();
      break;
    }
}

void TbsOpenDlgForm::SetViewStyleItem(ctl::TViewStyle V) {
  FileListView->SetViewStyle(V);
  IconMenuItem->SetChecked(V == ctl::vsIcon);
  SmallIconMenuItem->SetChecked(V == ctl::vsSmallIcon);
  ListMenuItem->SetChecked(V == ctl::vsList);
  ReportMenuItem->SetChecked(V == ctl::vsReport);
}

void TbsOpenDlgForm::FCBChange(rtl::TObject*) {
  FileListView->SetMask(FilterComboBox->Mask());
  if (!SaveMode) return;
  const std::string X = GetFilterExtension();
  std::string T = FileNameEdit->Text();
  if (X.empty() || T.empty()) return;
  const std::string old = rtl::ExtractFileExt(T);
  if (!old.empty()) T.erase(T.find(old), old.size());
  FileNameEdit->SetText(T + X);
}

bool TbsOpenDlgForm::LoadPreview(const std::string& Name) {
  if (!Image) return false;
  bool ok = true;
  try {
    Image->Picture()->LoadFromFile(Name);
  } catch (const std::exception&) {
    // An unreadable picture shows nothing rather than stopping the dialog.
    Image->Picture()->SetGraphic(nullptr);
    ok = false;
  }
  if (!Image->Stretch) Image->SetBounds(0, 0, Image->Picture()->Width(), Image->Picture()->Height());
  ScrollBox->UpDateScrollRange();
  Image->Invalidate();
  return ok;
}

void TbsOpenDlgForm::ApplyStretch(bool Down) {
  if (!Image) return;
  Image->SetVisible(false);
  if (Down) {
    ScrollBox->UpDateScrollRange();
    Image->Stretch = true;
    Image->SetAlign(cl::alClient);
  } else {
    Image->SetAlign(cl::alNone);
    Image->SetBounds(0, 0, Image->Picture()->Width(), Image->Picture()->Height());
    Image->Stretch = false;
    ScrollBox->UpDateScrollRange();
  }
  Image->SetVisible(true);
}

void TbsOpenDlgForm::StretchButtonClick(rtl::TObject*) { ApplyStretch(StretchButton && StretchButton->Down()); }

// ============================================================================ components

TbsSkinFileDialogBase::TbsSkinFileDialogBase(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetHeight(14);
}

void TbsSkinFileDialogBase::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FCtrlFSD) FCtrlFSD = nullptr;
}

bool TbsSkinFileDialogBase::Run(bool ASaveMode, bool APicture, const std::string& ADefaultExt, int DefaultWidth) {
  OnShow(this);
  bool result = false;
  FDlgFrm = APicture ? new TbsOpenPictureDlgForm(nullptr, ASaveMode, FCtrlFSD, ToolButtonsTransparent)
                     : new TbsOpenDlgForm(nullptr, ASaveMode, FCtrlFSD, ToolButtonsTransparent);
  TbsOpenDlgForm* F = FDlgFrm;
  struct Guard {
    TbsSkinFileDialogBase* self;
    ~Guard() {
      self->OnClose(self);
      self->FDlgFrm->Free();
      self->FDlgFrm = nullptr;
    }
  } guard{this};
  F->OverwritePromt = OverwritePromt;
  F->OnFolderChange = FOnFolderChange;
  F->CheckFileExists = CheckFileExists;
  F->DefaultExt = ADefaultExt;
  F->Ask = Ask;

  F->SetCaption(Title);
  F->BSF->SetBorderIcons(0);
  F->BSF->SetSkinData(FSD);
  F->BSF->SetMenusSkinData(FCtrlFSD);
  F->BSF->MinWidth = DialogMinWidth;
  F->BSF->MinHeight = DialogMinHeight;
  F->BSF->AlphaBlendAnimation = AlphaBlendAnimation;
  F->BSF->SetAlphaBlendValue(AlphaBlendValue);
  F->BSF->SetAlphaBlend(AlphaBlend);
  for (TbsSkinCustomComboBox* c : std::initializer_list<TbsSkinCustomComboBox*>{F->ShellBox, F->FilterComboBox}) {
    c->AlphaBlend = CtrlAlphaBlend;
    c->AlphaBlendAnimation = CtrlAlphaBlendAnimation;
    c->AlphaBlendValue = CtrlAlphaBlendValue;
  }
  F->OpenButton->SetDefaultFont(FDefaultFont);
  F->CancelButton->SetDefaultFont(FDefaultFont);
  F->ShellBox->SetDefaultFont(FDefaultFont);
  F->FileListView->SetDefaultFont(FDefaultFont);

  F->SetViewStyleItem(ListViewStyle);

  // The handles first, so that the linked views and the filter rows exist
  // before the folder and the filter row are chosen (a row chosen before the
  // filter combo box builds its rows would be lost).
  F->HandleNeeded();
  F->ShellBox->SetShellListView(F->FileListView);

  std::string start;
  const std::string dir = rtl::ExtractFileDir(FileName);
  if (!FileName.empty() && !dir.empty() && IsDirectory(dir))
    start = dir;
  else if (!InitialDir.empty() && IsDirectory(InitialDir))
    start = InitialDir;
  else
    start = rtl::ExtractFileDir(rtl::ExeName());

  F->FileListView->SetHeaderSkinDataName(LVHeaderSkinDataName);
  F->FileListView->SetSkinData(FCtrlFSD);
  F->FileListView->SetMultiSelect(MultiSelection);
  if (ShowHiddenFiles) F->FileListView->SetObjectTypes(F->FileListView->ObjectTypes() | otHidden);
  F->FilterComboBox->SetFilter(Filter);
  F->FilterComboBox->SetItemIndex(FilterIndex - 1);
  F->FileListView->SetMask(F->FilterComboBox->Mask());
  F->FileListView->SetPath(start);

  for (TbsSkinControl* c : std::initializer_list<TbsSkinControl*>{F->ToolPanel, F->FileListViewPanel, F->BottomPanel,
                                                                  F->FLVHScrollBar, F->FLVVScrollBar, F->FilterComboBox,
                                                                  F->OpenButton, F->CancelButton, F->ShellBox})
    c->SetSkinData(FCtrlFSD);
  for (TbsGraphicSkinControl* c : std::initializer_list<TbsGraphicSkinControl*>{
           F->BackToolButton, F->UpToolButton, F->NewFolderToolButton, F->StyleToolButton})
    c->SetSkinData(FCtrlFSD);
  F->Drivelabel->SetSkinData(FCtrlFSD);
  F->OpenFileLabel->SetSkinData(FCtrlFSD);
  F->FileTypeLabel->SetSkinData(FCtrlFSD);
  F->FileNameEdit->SetSkinData(FCtrlFSD);
  F->ShellBox->SetSkinDataName("combobox");
  F->StylePopupMenu->SetSkinData(FCtrlFSD);

  int W = DialogWidth > 0 ? DialogWidth : DefaultWidth;
  int H = DialogHeight > 0 ? DialogHeight : 290;
  if (FSD && !FSD->Empty) {
    W = std::max(W, F->BSF->GetMinWidth());
    H = std::max(H, F->BSF->GetMinHeight());
  }
  F->SetClientSize(W, H);
  BeforeShow(F);

  if (F->FileListView->Items()->Count() > 0) F->FileListView->SetItemFocused(F->FileListView->Items()->Item(0));
  F->FileNameEdit->SetText(rtl::ExtractFileName(FileName));
  F->InitHistory();
  result = F->ShowModal() == cl::mrOk;

  FilterIndex = F->FilterComboBox->ItemIndex() + 1;
  DialogWidth = F->ClientWidth();
  DialogHeight = F->ClientHeight();
  ListViewStyle = F->FileListView->ViewStyle();
  AfterShow(F);
  if (result) {
    FileName = F->FileName;
    const std::string mask = F->FilterComboBox->Mask();
    if (ASaveMode && !HasExt(rtl::ExtractFileName(FileName))) FileName += MaskExtension(mask);
    F->FileListView->GetSelectedFiles(&FFiles);
    // A typed name with nothing selected is still the chosen file.
    if (FFiles.Count() == 0 && !FileName.empty()) FFiles.Add(FileName);
    if (ASaveMode && !HasExt(rtl::ExtractFileName(FileName)) && !ADefaultExt.empty()) FileName += "." + ADefaultExt;
  }
  return result;
}

std::string TbsSkinOpenDialog::GetSelectedFile() { return FDlgFrm ? FDlgFrm->FileListView->GetSelectedFile() : ""; }

void TbsSkinOpenDialog::SetFileName(const std::string& V) {
  FileName = V;
  if (FDlgFrm) FDlgFrm->FileNameEdit->SetText(V);
}

TbsSkinOpenPictureDialog::TbsSkinOpenPictureDialog(cl::TComponent* AOwner) : TbsSkinFileDialogBase(AOwner) {
  Title = "Open picture";
  AlphaBlendValue = 200;
  // Metafiles have no renderer here; the preview reads these four kinds.
  Filter =
      "All (*.bmp;*.ico;*.jpg;*.jpeg;*.png)|*.bmp;*.ico;*.jpg;*.jpeg;*.png|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
      "JPEG pictures (*.jpg;*.jpeg)|*.jpg;*.jpeg|PNG pictures (*.png)|*.png";
}

void TbsSkinOpenPictureDialog::BeforeShow(TbsOpenDlgForm* F) {
  F->ImagePanel->SetWidth(ImagePanelWidth);
  F->ImagePanel->SetSkinData(FCtrlFSD);
  F->ScrollBox->SetSkinData(FCtrlFSD);
  F->SBVScrollBar->SetSkinData(FCtrlFSD);
  F->SBHScrollBar->SetSkinData(FCtrlFSD);
  F->StretchButton->SetSkinData(FCtrlFSD);
  F->Splitter->SetSkinData(FCtrlFSD);
  const bool down = StretchPicture || DialogStretch;
  F->StretchButton->SetDown(down);
  if (down) F->ApplyStretch(true);
  if (rtl::FileExists(FileName)) F->LoadPreview(FileName);
}

void TbsSkinOpenPictureDialog::AfterShow(TbsOpenDlgForm* F) {
  DialogStretch = F->StretchButton->Down();
  ImagePanelWidth = F->ImagePanel->Width();
}

}  // namespace skin
