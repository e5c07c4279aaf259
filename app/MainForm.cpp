#include "app/FormLayout.h"
#include "app/MainForm.h"

#include <algorithm>

#include <cstdio>

#include "app/AboutBox.h"
#include "app/AddFiles.h"
#include "app/FormatCatalogue.h"
#include "app/InterfaceTexts.h"
#include "app/OptionsDialog.h"
#include "platform/cl/application.h"
#include "platform/rtl/files.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/shell/launcher.h"

using namespace skin;

namespace {

// The window's client area.
constexpr int kClientWidth = 806;
constexpr int kClientHeight = 541;

// A BMP from the program's resources; false when there is none.
bool LoadPicture(const char* name, gfx::TBitmap& b) {
  auto bytes = rtl::Resource(name);
  if (bytes.empty()) return false;
  b.LoadFromBytes(bytes.data(), bytes.size());
  return true;
}

void LoadStrip(cl::TCustomImageList* L, const char* name) {
  L->SetSize(32, 32);
  gfx::TBitmap b;
  if (LoadPicture(name, b)) L->Add(&b, nullptr);
}

// The empty-list picture laid over the list's own background, centred in a
// bitmap of the given size. On a dark list its neutral greys (the text and
// the frame) are turned light so they stay readable; its colours and its
// solid white stay.
void ComposeEmptyListPicture(gfx::TBitmap& out, int w, int h, gfx::TColor background) {
  const gfx::COLORREF bg = gfx::ColorToRef(background);
  const uint8_t bgRgb[3] = {gfx::GetBValue(bg), gfx::GetGValue(bg), gfx::GetRValue(bg)};
  const bool dark = (299 * bgRgb[2] + 587 * bgRgb[1] + 114 * bgRgb[0]) / 1000 < 128;
  out.SetPixelFormat(gfx::pf32bit);
  out.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < 3; ++c) d[x * 4 + c] = bgRgb[c];
      d[x * 4 + 3] = 255;
    }
  }
  gfx::TBitmap pic;
  if (!LoadPicture("EMPTY_LIST", pic) || pic.PixelFormat() != gfx::pf32bit) return;
  const int ox = (w - pic.Width()) / 2, oy = (h - pic.Height()) / 2;
  for (int y = 0; y < pic.Height(); ++y) {
    if (y + oy < 0 || y + oy >= h) continue;
    const uint8_t* s = pic.ScanLine(y);
    uint8_t* d = out.ScanLine(y + oy);
    for (int x = 0; x < pic.Width(); ++x) {
      if (x + ox < 0 || x + ox >= w) continue;
      const int a = s[x * 4 + 3];
      uint8_t src[3] = {s[x * 4], s[x * 4 + 1], s[x * 4 + 2]};
      const int hi = std::max({src[0], src[1], src[2]}), lo = std::min({src[0], src[1], src[2]});
      // Opaque white is the page and the sign on the coloured badge: white
      // on any list. The translucent white of the frame's fill is adapted.
      const bool solidWhite = lo >= 230 && a >= 200;
      if (dark && hi - lo < 24 && !solidWhite)
        for (uint8_t& v : src) v = uint8_t(255 - v * 3 / 4);
      uint8_t* px = d + (x + ox) * 4;
      for (int c = 0; c < 3; ++c) px[c] = uint8_t((src[c] * a + px[c] * (255 - a)) / 255);
    }
  }
}

}  // namespace

// --- ports ---------------------------------------------------------------------

void TSkinOfficeComboPort::ItemsAdd(const std::string& title, const std::string& caption, int imageIndex) {
  TbsSkinOfficeItem* it = c_->Items()->Add();
  it->SetTitle(title);
  it->SetCaption(caption);
  it->SetImageIndex(FirstImage >= 0 ? FirstImage + c_->Items()->Count() - 1 : imageIndex);
}

std::string TSkinOfficeComboPort::ItemTitle(int index) const {
  if (index < 0 || index >= c_->Items()->Count()) return {};
  return c_->Items()->Items(index)->Title();
}

int TSkinFileListPort::Selected() const {
  ctl::TListItem* it = l_->Selected();
  return it ? it->Index() : -1;
}

std::string TSkinFileListPort::Cell(int row, int col) const {
  if (row < 0 || row >= Count()) return {};
  ctl::TListItem* it = l_->Items()->Item(row);
  if (col == 0) return it->Caption();
  if (col - 1 >= it->SubItems()->Count()) return {};
  return it->SubItems()->Get(col - 1);
}

void TSkinFileListPort::SetCell(int row, int col, const std::string& text) {
  if (row < 0 || row >= Count()) return;
  ctl::TListItem* it = l_->Items()->Item(row);
  if (col == 0) {
    it->SetCaption(text);
    return;
  }
  while (it->SubItems()->Count() < col) it->SubItems()->Add("");
  it->SubItems()->Put(col - 1, text);
  it->Update();
}

int TSkinFileListPort::RowSlot(int row) const {
  if (row < 0 || row >= Count()) return -1;
  return int(reinterpret_cast<intptr_t>(l_->Items()->Item(row)->Data)) - 1;
}

void TSkinFileListPort::SetRowSlot(int row, int slot) {
  if (row < 0 || row >= Count()) return;
  l_->Items()->Item(row)->Data = reinterpret_cast<void*>(intptr_t(slot) + 1);
}

void TSkinFileListPort::SetFocus() {
  if (KeysTaken && KeysTaken()) return;
  if (l_->CanFocus()) l_->SetFocus();
}

// --- the window ----------------------------------------------------------------

TProgramServices& TForm1::Services() {
  static TProgramServices s;
  return s;
}

std::string TForm1::ProgramFolder() {
  return Services().ProgramFolder.empty() ? rtl::ExeFolder() : Services().ProgramFolder;
}

TForm1::TForm1(cl::TComponent* owner) : cl::TForm(owner) {
  FFConv = std::make_unique<media::TFFConverter>(this);
  SetName("Form1");
  SetCaption("VarnelMOD格式转换器");
  SetBorderStyle(cl::bsSingle);
  SetBorderIcons(0);
  SetPosition(cl::poDesktopCenter);
  SetClientSize(kClientWidth, kClientHeight);
  SetColor(gfx::clBtnFace);

  SkinList = new TbsCompressedSkinList(this);
  LoadBuiltinSkins(*SkinList);
  bsSkinData1 = new TbsSkinData(this);
  // The window is made with the skin the saved settings will select, so
  // that the start loads one skin, not the form's own first and then that.
  bsSkinData1->SetSkinIndex(StartSkinIndex(Settings(), kFormSkinIndex, SkinList->Skins().Count()));
  bsSkinData1->SetSkinList(SkinList);
  bsResourceStrData1 = new TbsResourceStrData(this);
  bsResourceStrData1->SetResStrings(ProgramInterfaceTexts());
  bsSkinData1->SetResourceStrData(bsResourceStrData1);
  bsSkinForm1 = new TbsSkinForm(this);
  bsSkinForm1->SetBorderIcons(biMinimize);
  bsSkinForm1->ClientWidth = kClientWidth;
  bsSkinForm1->ClientHeight = kClientHeight;
  bsSkinForm1->SetSkinData(bsSkinData1);
  bsSkinForm1->SetMenusSkinData(bsSkinData1);
  // Every hint of the window comes from the skin's hint record and font; an
  // "@" in a hint text starts a new line.
  bsSkinHint1 = new TbsSkinHint(this);
  bsSkinHint1->SetLineSeparator("@");
  bsSkinHint1->UseSkinFont = true;
  bsSkinHint1->DefaultFont()->SetName("MS Sans Serif");
  bsSkinHint1->DefaultFont()->SetHeight(-11);
  bsSkinHint1->SetSkinData(bsSkinData1);
  bsSkinForm1->SetSkinHint(bsSkinHint1);

  ImageList1 = new cl::TCustomImageList(this);
  LoadStrip(ImageList1, "CATEGORY_IMAGES");
  ImageList2 = new cl::TCustomImageList(this);
  LoadStrip(ImageList2, "FORMAT_IMAGES");

  BuildMenus();
  BuildToolBar();
  BuildFileList();
  BuildOutputPanel();
  BuildPresetPanel();
  BuildPreviewPanel();
  BuildHiddenPanels();
  WireJobLogic();
  AttachConverterEvents();
  WireCommands();

  OnCreate = [this](rtl::TObject* s) { FormCreate(s); };
  OnCloseQuery = [this](rtl::TObject* s, bool& c) { FormCloseQuery(s, c); };
}

cl::TMenuItem* TForm1::AddMenuItem(cl::TMenuItem* parent, const std::string& name, const std::string& caption,
                                   std::function<void()> onClick, bool enabled) {
  auto* it = new cl::TMenuItem(this);
  it->Caption = caption;
  it->Enabled = enabled;
  if (onClick) it->OnClick = [f = std::move(onClick)](rtl::TObject*) { f(); };
  parent->Add(it);
  if (!name.empty()) menuItems_.emplace_back(name, it);
  return it;
}

cl::TMenuItem* TForm1::MenuItem(const std::string& name) const {
  for (auto& [n, it] : menuItems_)
    if (n == name) return it;
  return nullptr;
}

void TForm1::BuildMenus() {
  bsSkinMainMenu1 = new TbsSkinMainMenu(this);
  bsSkinMainMenu1->SkinData = bsSkinData1;
  cl::TMenuItem* root = bsSkinMainMenu1->Items();
  auto top = [&](const std::string& caption) { return AddMenuItem(root, "", caption); };
  cl::TMenuItem* file = top("文件");
  AddMenuItem(file, "Item111", "添加一个文件");
  AddMenuItem(file, "Item121", "添加多个文件");
  AddMenuItem(file, "N21", "添加整个目录");
  AddMenuItem(file, "", "-");
  AddMenuItem(file, "N4", "退出", [this] { Close(); });
  cl::TMenuItem* edit = top("编辑");
  AddMenuItem(edit, "N16", "上移文件");
  AddMenuItem(edit, "N17", "下移文件");
  AddMenuItem(edit, "", "-");
  AddMenuItem(edit, "N13", "删除选择", nullptr, false);
  AddMenuItem(edit, "N14", "清空文件", nullptr, false);
  AddMenuItem(edit, "", "-");
  AddMenuItem(edit, "N26", "重新命名", nullptr, false);
  cl::TMenuItem* action = top("动作");
  AddMenuItem(action, "N7", "开始转换", nullptr, false);
  AddMenuItem(action, "N8", "停止转换", nullptr, false);
  AddMenuItem(action, "", "-");
  AddMenuItem(action, "N10", "暂停转换", nullptr, false);
  AddMenuItem(action, "N11", "继续继续", nullptr, false);
  cl::TMenuItem* func = top("功能");
  AddMenuItem(func, "N24", "转换设置", [this] { bsSkinButton19Click(); });
  AddMenuItem(func, "N23", "软件皮肤");
  cl::TMenuItem* help = top("帮助");
  cl::TMenuItem* helpItem = AddMenuItem(help, "N15", "帮助系统");
  helpItem->ShortCut = cl::TextToShortCut("F1");
  AddMenuItem(help, "", "-");
  AddMenuItem(help, "N19", "官方网站");
  AddMenuItem(help, "N5", "关于软件");

  bsSkinPopupMenu1 = new TbsSkinPopupMenu(this);
  bsSkinPopupMenu1->SetSkinData(bsSkinData1);
  AddMenuItem(bsSkinPopupMenu1->Items(), "N11111", "添加一个文件");
  AddMenuItem(bsSkinPopupMenu1->Items(), "N2222", "添加多个文件");
  AddMenuItem(bsSkinPopupMenu1->Items(), "N3331", "添加整个目录");

  bsSkinMainMenuBar1 = Place<TbsSkinMainMenuBar>(this, this, 0, 0, kClientWidth, 22);
  bsSkinMainMenuBar1->SetSkinData(bsSkinData1);
  bsSkinMainMenuBar1->SetSkinForm(bsSkinForm1);
  bsSkinMainMenuBar1->SetMainMenu(bsSkinMainMenu1);
}

void TForm1::ApplyGlyph(TbsSkinButton* b, const char* picture, bool enabled) {
  gfx::TBitmap g;
  std::string name = std::string("TB_") + picture + (enabled ? "" : "_DISABLED");
  if (LoadPicture(name.c_str(), g)) b->SetGlyph(&g);
}

TbsSkinButton* TForm1::ToolButton(const std::string& caption, const char* picture, int x) {
  auto* b = Place<TbsSkinButton>(this, bsSkinToolBar1, x, 3, 72, 44);
  b->SetSkinData(bsSkinData1);
  b->SetSkinDataName("toolbutton");
  b->SetCaption(caption);
  b->SetLayout(blGlyphTop);
  b->SetCanFocused(false);
  ApplyGlyph(b, picture, true);
  return b;
}

void TForm1::BuildToolBar() {
  bsSkinToolBar1 = Place<TbsSkinToolBar>(this, this, 0, 22, kClientWidth, 50);
  bsSkinToolBar1->SetSkinDataName("resizetoolpanel");
  bsSkinToolBar1->SetCanScroll(true);
  bsSkinToolBar1->SetHotScroll(true);
  bsSkinToolBar1->SetScrollOffset(30);
  bsSkinToolBar1->SetScrollTimerInterval(50);
  bsSkinToolBar1->SetAdjustControls(true);
  bsSkinToolBar1->SetShowCaptions(true);
  bsSkinToolBar1->SetSkinData(bsSkinData1);
  bsSkinMenuSpeedButton1 = Place<TbsSkinMenuSpeedButton>(this, bsSkinToolBar1, 4, 3, 84, 44);
  bsSkinMenuSpeedButton1->SetSkinData(bsSkinData1);
  bsSkinMenuSpeedButton1->SetSkinDataName("resizetoolbutton");
  bsSkinMenuSpeedButton1->SetCaption("添加");
  bsSkinMenuSpeedButton1->SetShowCaption(true);
  bsSkinMenuSpeedButton1->SetLayout(blGlyphTop);
  bsSkinMenuSpeedButton1->SetSkinPopupMenu(bsSkinPopupMenu1);
  // A press anywhere on the button opens its menu: it has no click of its own.
  bsSkinMenuSpeedButton1->SetTrackButtonMode(false);
  {
    gfx::TBitmap g;
    if (LoadPicture("TB_ADD", g)) bsSkinMenuSpeedButton1->SetGlyph(&g);
  }
  bsSkinButton7 = ToolButton("删除", "REMOVE", 92);
  bsSkinButton8 = ToolButton("清空", "CLEAR", 166);
  bsSkinButton2 = ToolButton("开始", "START", 248);
  bsSkinButton10 = ToolButton("停止", "STOP", 322);
  bsSkinButton11 = ToolButton("暂停", "PAUSE", 396);
  bsSkinButton12 = ToolButton("继续", "RESUME", 396);  // same place: one shows at a time
  bsSkinButton12->SetVisible(false);
  bsSkinButton19 = ToolButton("选项", "OPTIONS", 478);
  bsSkinButton9 = ToolButton("皮肤", "SKIN", 552);
  bsSkinButton19->OnClick = [this](rtl::TObject*) { bsSkinButton19Click(); };
}

void TForm1::BuildFileList() {
  bsSkinPanel1 = Place<TbsSkinPanel>(this, this, 0, 72, kClientWidth, 218);
  bsSkinPanel1->SetSkinData(bsSkinData1);
  lvFiles = Place<TbsSkinListView>(this, bsSkinPanel1, 6, 6, 700, 187);
  lvFiles->SetName("lvFiles");
  lvFiles->SetViewStyle(ctl::vsReport);
  lvFiles->SetGridLines(true);
  lvFiles->SetRowSelect(true);
  lvFiles->ReadOnly = true;
  lvFiles->SetHideSelection(false);
  for (int i = 0; i < kFileColumnCount; ++i) {
    auto* col = lvFiles->Columns()->Add();
    col->SetCaption(kFileColumns[i].caption);
    col->SetWidth(kFileColumns[i].width);
    if (kFileColumns[i].width == 0) col->SetMaxWidth(1);
  }
  lvFiles->SetSkinData(bsSkinData1);
  lvVBar = Place<TbsSkinScrollBar>(this, bsSkinPanel1, 706, 6, 19, 187);
  lvVBar->SetKind(sbVertical);
  lvVBar->SetSkinDataName("vscrollbar");
  lvVBar->SetSkinData(bsSkinData1);
  lvHBar = Place<TbsSkinScrollBar>(this, bsSkinPanel1, 6, 193, 700, 19);
  lvHBar->SetSkinData(bsSkinData1);
  lvFiles->SetVScrollBar(lvVBar);
  lvFiles->SetHScrollBar(lvHBar);
  auto side = [&](const std::string& caption, const char* picture, int y) {
    auto* b = Place<TbsSkinButton>(this, bsSkinPanel1, 732, y, 68, 40);
    b->SetSkinData(bsSkinData1);
    b->SetCaption(caption);
    b->SetLayout(blGlyphTop);
    b->SetCanFocused(false);
    if (picture) ApplyGlyph(b, picture, true);
    return b;
  };
  bsSkinButton3 = side("上移", nullptr, 8);
  bsSkinButton4 = side("下移", nullptr, 56);
  bsSkinButton21 = side("重命名", "RENAME", 104);

  // The picture over the empty list.
  bsSkinPanel5 = Place<TbsSkinPanel>(this, bsSkinPanel1, 6, 6, 719, 206);
  bsSkinPanel5->SetSkinData(bsSkinData1);
  bsSkinPanel5->SetSkinDataName("panel");
  EmptyListImage = Place<cl::TImage>(this, bsSkinPanel5, 0, 0, 719, 206);
  UpdateEmptyListPicture();
}

void TForm1::UpdateEmptyListPicture() {
  ComposeEmptyListPicture(*EmptyListImage->Picture()->Bitmap(), EmptyListImage->Width(), EmptyListImage->Height(),
                          lvFiles->Color());
  EmptyListImage->Invalidate();
}

void TForm1::BuildOutputPanel() {
  bsSkinPanel2 = Place<TbsSkinPanel>(this, this, 0, 290, 590, 84);
  bsSkinPanel2->SetSkinData(bsSkinData1);
  FormatLabel = Place<TbsSkinStdLabel>(this, bsSkinPanel2, 8, 4, 100, 18);
  FormatLabel->SetSkinData(bsSkinData1);
  FormatLabel->SetCaption("输出格式：");
  WebSiteLink = Place<TbsSkinLinkLabel>(this, bsSkinPanel2, 208, 4, 188, 18);
  WebSiteLink->SetCaption(kMakerWebSite);
  WebSiteLink->SetURL(kMakerWebSite);
  WebSiteLink->SetSkinData(bsSkinData1);
  bsSkinOfficeComboBox2 = Place<TbsSkinOfficeComboBox>(this, bsSkinPanel2, 6, 24, 150, 56);
  SetUpCategoryChooser(bsSkinOfficeComboBox2, ImageList1, bsSkinData1);
  bsSkinOfficeComboBox1 = Place<TbsSkinOfficeComboBox>(this, bsSkinPanel2, 160, 24, 236, 56);
  SetUpFormatChooser(bsSkinOfficeComboBox1, 320, ImageList2, bsSkinData1);

  auto* label = Place<TbsSkinStdLabel>(this, bsSkinPanel2, 404, 10, 100, 18);
  label->SetSkinData(bsSkinData1);
  label->SetCaption("输出目录：");
  Video_OutPut_Folder_Edit = Place<TbsSkinEdit>(this, bsSkinPanel2, 404, 30, 178, 20);
  Video_OutPut_Folder_Edit->SetReadOnly(true);
  Video_OutPut_Folder_Edit->SetSkinData(bsSkinData1);
  Video_OutPut_Folder_Edit->OnClick = [this](rtl::TObject*) { Video_OutPut_Folder_EditClick(); };
  // The two buttons share the edit's width, edge to edge.
  bsSkinButton5 = Place<TbsSkinButton>(this, bsSkinPanel2, 404, 55, 86, 24);
  bsSkinButton5->SetSkinData(bsSkinData1);
  bsSkinButton5->SetCaption("浏览");
  bsSkinButton5->OnClick = [this](rtl::TObject*) { bsSkinButton5Click(); };
  bsSkinButton6 = Place<TbsSkinButton>(this, bsSkinPanel2, 496, 55, 86, 24);
  bsSkinButton6->SetSkinData(bsSkinData1);
  bsSkinButton6->SetCaption("打开");
  bsSkinButton6->OnClick = [this](rtl::TObject*) { bsSkinButton6Click(); };
}

void TForm1::BuildPresetPanel() {
  bsSkinPanel4 = Place<TbsSkinPanel>(this, this, 0, 374, 590, 167);
  bsSkinPanel4->SetSkinDataName("groupbox");  // the look with a caption
  bsSkinPanel4->SetSkinData(bsSkinData1);
  bsSkinPanel4->SetCaptionMode(true);
  bsSkinPanel4->SetCaption("预置选项");
  struct Row {
    const char* label;
    TbsSkinComboBox** box;
    int col, row;
  } rows[] = {{"视频分辨率：", &bsSkinComboBox1, 0, 0},  {"视频比特率：", &bsSkinComboBox2, 0, 1},
              {"视频帧率：", &bsSkinComboBox9, 0, 2},    {"音频比特率：", &bsSkinComboBox3, 1, 0},
              {"音频采样率：", &bsSkinComboBox10, 1, 1}, {"视频缩放：", &bsSkinComboBox4, 1, 2}};
  for (auto& r : rows) {
    const int x = 12 + r.col * 290, y = 36 + r.row * 42;
    auto* l = Place<TbsSkinStdLabel>(this, bsSkinPanel4, x, y, 84, 20);
    l->SetAutoSize(false);
    l->SetLayout(cl::tlCenter);
    l->SetSkinData(bsSkinData1);
    l->SetCaption(r.label);
    auto* c = Place<TbsSkinComboBox>(this, bsSkinPanel4, x + 86, y, 180, 20);
    // The combo takes its skin's height; the label follows it, centred, so
    // both texts share a line in every skin.
    c->OnResize = [l, c](rtl::TObject*) { l->SetBounds(l->Left(), c->Top(), l->Width(), c->Height()); };
    c->SetSkinData(bsSkinData1);
    l->SetBounds(x, c->Top(), 84, c->Height());
    *r.box = c;
  }
}

void TForm1::BuildPreviewPanel() {
  bsSkinPanel3 = Place<TbsSkinPanel>(this, this, 590, 290, 216, 251);
  bsSkinPanel3->SetSkinDataName("groupbox");
  bsSkinPanel3->SetSkinData(bsSkinData1);
  bsSkinPanel3->SetCaptionMode(true);
  bsSkinPanel3->SetCaption("视频预览");
  Panel6 = Place<cl::TPanel>(this, bsSkinPanel3, 8, 36, 200, 124);
  Panel6->SetName("Panel6");
  Panel6->SetColor(gfx::clBtnText);
  Panel6->BevelOuter = cl::bvNone;
  bsSkinSlider1 = Place<TbsSkinSlider>(this, bsSkinPanel3, 8, 170, 200, 20);
  bsSkinSlider1->SetOptions(soShowFocus | soSmooth);
  bsSkinSlider1->SetTransparent(true);
  bsSkinSlider1->SetUseSkinThumb(true);
  bsSkinSlider1->SetSkinData(bsSkinData1);
  bsSkinSlider1->SetMinValue(0);
  bsSkinSlider1->SetMaxValue(100);
  bsSkinSlider1->OnMouseDown = [this](rtl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) {
    bsSkinSlider1MouseDown();
  };
  bsSkinSlider1->OnMouseUp = [this](rtl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) {
    bsSkinSlider1MouseUp();
  };
  bsSkinSlider1->OnChange = [this](rtl::TObject*) { bsSkinSlider1Change(); };

  // Picture buttons in six places; unmute shares mute's place, the hidden
  // full-screen button the snapshot's.
  auto button = [&](const char* picture, const char* hint, int place, std::function<void()> click) {
    auto* b = Place<TbsSkinButton>(this, bsSkinPanel3, 8 + place * 34, 202, 32, 28);
    b->SetSkinData(bsSkinData1);
    b->SetCanFocused(false);
    b->Hint = hint;
    b->ShowHint = true;
    gfx::TBitmap g;
    if (LoadPicture(picture, g)) b->SetGlyph(&g);
    if (click) b->OnClick = [f = std::move(click)](rtl::TObject*) { f(); };
    PreviewButtons.push_back(b);
    return b;
  };
  bsSkinButton13 = button("PV_PLAY", "播放", 0, [this] { bsSkinButton13Click(); });
  bsSkinButton14 = button("PV_PAUSE", "暂停", 1, [this] { bsSkinButton14Click(); });
  bsSkinButton15 = button("PV_STOP", "停止", 2, [this] { bsSkinButton15Click(); });
  bsSkinButton16 = button("PV_MUTE", "静音", 3, [this] { bsSkinButton16Click(); });
  bsSkinButton20 = button("PV_UNMUTE", "静音", 3, [this] { bsSkinButton20Click(); });
  bsSkinButton20->SetVisible(false);
  bsSkinButton24 = button("PV_FULLSCREEN", "全屏", 4, nullptr);
  bsSkinButton24->SetVisible(false);
  bsSkinButton22 = button("PV_SNAPSHOT", "快照", 4, [this] { bsSkinButton22Click(); });
  bsSkinButton23 = button("PV_SETTINGS", "设置", 5, [this] { bsSkinButton23Click(); });
  bsSkinButton23->OnMouseDown = [this](rtl::TObject*, cl::TMouseButton b, cl::TShiftState, int, int) {
    bsSkinButton23MouseDown(b);
  };

  bsSkinPopupMenu2 = new TbsSkinPopupMenu(this);
  bsSkinPopupMenu2->SetSkinData(bsSkinData1);
  cl::TMenuItem* menu = bsSkinPopupMenu2->Items();
  MenuItem1 = AddMenuItem(menu, "MenuItem1", "打开快照目录", [this] { MenuItem1Click(); });
  MenuItem2 = AddMenuItem(menu, "MenuItem2", "设置快照目录", [this] { MenuItem2Click(); });
  AddMenuItem(menu, "", "-");
  cl::TMenuItem* types = AddMenuItem(menu, "", "快照保存类型");
  BMP1 = AddMenuItem(types, "BMP1", "BMP文件", [this] { BMP1Click(); });
  JPG1 = AddMenuItem(types, "JPG1", "JPG文件", [this] { JPG1Click(); });
  GIF1 = AddMenuItem(types, "GIF1", "GIF文件", [this] { GIF1Click(); });
  PNG1 = AddMenuItem(types, "PNG1", "PNG文件", [this] { PNG1Click(); });
  for (cl::TMenuItem* it : {BMP1, JPG1, GIF1, PNG1}) {
    it->SetGroupIndex(1);
    it->SetRadioItem(true);
  }
  BMP1->SetChecked(true);
  bsSkinButton23->PopupMenu = bsSkinPopupMenu2;

  ZEVizeza = std::make_unique<media::TZEVizeza>(this);
  ZEVizeza->SetOnFileOpen([this](media::TCustomPlayer* s, int64_t d, int w, int h, int& sw, int& sh) {
    ZEVizezaFileOpen(s, d, w, h, sw, sh);
  });
  ZEVizeza->SetOnPosition([this](media::TCustomPlayer* s, int64_t pts) { ZEVizezaPosition(s, pts); });
  ZEVizeza->SetOnState([this](media::TCustomPlayer* s, media::TPlayState st) { ZEVizezaState(s, st); });
  ZEVizeza->SetOnHook([this](media::TCustomPlayer* s, media::TBitmap* b, int64_t pts) { ZEVizezaHook(s, b, pts); });
  // The window's destruction runs this before any control goes, so no
  // picture is drawn into a freed video surface.
  OnDestroy = [this, inherited = OnDestroy](rtl::TObject* s) {
    ZEVizeza->SetOnPosition(nullptr);
    ZEVizeza->SetOnState(nullptr);
    ZEVizeza->SetOnHook(nullptr);
    ZEVizeza->Stop(true);
    inherited(s);
  };
  lvFiles->OnClick = [this](rtl::TObject*) { lvFilesClick(); };
  // Removing the last row or clearing the list empties the video area.
  StopPreview = [this] { ZEVizeza->Stop(true); };
  // The rendered picture follows the video area when the window moves.
  WindowProc = [this, inherited = WindowProc](cl::TMessage& m) {
    inherited(m);
    // The list's background follows the skin; the picture over it too.
    if (m.Msg == skin::WM_AFTER_CHANGE_SKIN_DATA && EmptyListImage) UpdateEmptyListPicture();
    if (m.Msg == win::WM_WINDOWPOSCHANGING || m.Msg == win::WM_WINDOWPOSCHANGED) WindowPosChanged();
  };
}

void TForm1::BuildHiddenPanels() {
  // Beyond the right edge of the client area: state holders nobody sees.
  Panel1 = Place<cl::TPanel>(this, this, kClientWidth + 20, 0, 200, 200);
  Panel3 = Place<cl::TPanel>(this, this, kClientWidth + 20, 210, 200, 100);
  Panel5 = Place<cl::TPanel>(this, this, kClientWidth + 20, 320, 200, 100);
  mmoLog = Place<cl::TMemo>(this, Panel1, 0, 0, 200, 100);
  for (const std::string& line : earlyLog_) mmoLog->Lines()->Add(line);
  earlyLog_.clear();
  cboScreens = Place<cl::TComboBox>(this, Panel3, 0, 0, 200, 20);
  ListBox1 = Place<cl::TListBox>(this, Panel5, 0, 0, 200, 100);

  // The preview's fixed settings.
  auto combo = [&](int y, std::initializer_list<const char*> items) {
    auto* c = Place<cl::TComboBox>(this, Panel1, 0, y, 96, 20);
    for (const char* i : items) c->Items()->Add(i);
    if (items.size()) c->SetItemIndex(0);
    return c;
  };
  cboVideoDriver = combo(104, {"Default", "DDraw", "GDI"});
  cboAudioDriver = combo(128, {"Default", "DSound", "waveOut"});
  cboVideo = combo(152, {});
  cboAudio = combo(176, {});
  cboSubtitle = Place<cl::TComboBox>(this, Panel3, 0, 24, 96, 20);
  for (cl::TComboBox* c : {cboVideo, cboAudio, cboSubtitle}) c->SetEnabled(false);
  chkOpenPaused = Place<cl::TCheckBox>(this, Panel3, 0, 48, 96, 18);
  chkOpenPaused->SetCaption("Open Paused");
  chkOpenPaused->SetChecked(true);
  chkStayOnTop = Place<cl::TCheckBox>(this, Panel3, 100, 48, 96, 18);
  chkStayOnTop->SetCaption("Stay On Top");
  TrackBar1 = Place<cl::TTrackBar>(this, Panel5, 0, 0, 96, 20);
  TrackBar1->OnChange = [this](rtl::TObject*) { TrackBar1Change(); };
  TrackBar2 = Place<cl::TTrackBar>(this, Panel3, 0, 70, 96, 20);
  TrackBar2->SetParams(128, 0, 128);
  TrackBar2->OnChange = [this](rtl::TObject*) { TrackBar2Change(); };
  Label2 = Place<cl::TLabel>(this, Panel3, 100, 70, 48, 14);
  Label2->SetCaption("N/A");
  Label3 = Place<cl::TLabel>(this, Panel3, 150, 70, 48, 14);
  Label3->SetCaption("N/A");
  btnCapture = Place<cl::TButton>(this, Panel5, 100, 0, 96, 24);
  btnCapture->SetCaption("Capture");
  btnCapture->OnClick = [this](rtl::TObject*) { btnCaptureClick(); };
}

void TForm1::WireJobLogic() {
  categoryPortOwned_ = std::make_unique<TSkinOfficeComboPort>(bsSkinOfficeComboBox2);
  formatPortOwned_ = std::make_unique<TSkinOfficeComboPort>(bsSkinOfficeComboBox1);
  filesPort_ = std::make_unique<TSkinFileListPort>(lvFiles);
  TMainJobLogic::Ports ports;
  ports.Category = categoryPortOwned_.get();
  ports.Format = formatPortOwned_.get();
  ports.Files = filesPort_.get();
  TbsSkinComboBox* byRole[catalogue::kComboCount] = {bsSkinComboBox1, bsSkinComboBox2,  bsSkinComboBox9,
                                                     bsSkinComboBox3, bsSkinComboBox10, bsSkinComboBox4};
  for (int r = 0; r < catalogue::kComboCount; ++r) {
    comboPorts_.push_back(std::make_unique<TSkinPresetComboPort>(byRole[r]));
    ports.Combos.box[r] = comboPorts_.back().get();
  }
  filesPort_->KeysTaken = [this] {
    if (edt && edt->Visible()) return true;
    for (TbsSkinComboBox* c :
         {bsSkinComboBox1, bsSkinComboBox2, bsSkinComboBox9, bsSkinComboBox3, bsSkinComboBox10, bsSkinComboBox4})
      if (c->IsPopupVisible()) return true;
    return bsSkinOfficeComboBox2->IsPopupVisible() || bsSkinOfficeComboBox1->IsPopupVisible();
  };
  Logic = std::make_unique<TMainJobLogic>(ports);
  Logic->OutputFolderText = [this] { return Video_OutPut_Folder_Edit->Text(); };
  Logic->OverwriteOutput = [this] { return Options && Options->OverwriteChecked(); };
  Logic->ResetSeekBar = [this] { bsSkinSlider1->SetValue(0); };
  Logic->Button31Click = [this] { Button31Click(); };

  // The category chooser's items come with the window, item 0 chosen.
  for (int i = 0; i < catalogue::kChooserItemCount; ++i) {
    TbsSkinOfficeItem* it = bsSkinOfficeComboBox2->Items()->Add();
    it->SetCaption(catalogue::kCategoryChooser[i].caption);
    it->SetImageIndex(catalogue::kCategoryChooser[i].imageIndex);
  }
  bsSkinOfficeComboBox2->SetItemIndex(0);

  auto formatsOf = [this] {
    const int id = catalogue::CategoryIdMap(bsSkinOfficeComboBox2->ItemIndex());
    formatPortOwned_->FirstImage = id >= 0 ? catalogue::kCategories[id].firstFormat : -1;
  };
  bsSkinOfficeComboBox2->OnChange = [this, formatsOf](rtl::TObject*) {
    formatsOf();
    Logic->bsSkinOfficeComboBox2Change();
  };
  bsSkinOfficeComboBox1->OnChange = [this](rtl::TObject*) { Logic->bsSkinOfficeComboBox1Change(); };
  bsSkinComboBox1->OnChange = [this](rtl::TObject*) { Logic->bsSkinComboBox1Change(); };
  bsSkinComboBox2->OnChange = [this](rtl::TObject*) { Logic->bsSkinComboBox2Change(); };
  bsSkinComboBox3->OnChange = [this](rtl::TObject*) { Logic->bsSkinComboBox3Change(); };
  bsSkinComboBox4->OnChange = [this](rtl::TObject*) { Logic->bsSkinComboBox4Change(); };
  bsSkinComboBox9->OnChange = [this](rtl::TObject*) { Logic->bsSkinComboBox9Change(); };
  bsSkinComboBox10->OnChange = [this](rtl::TObject*) { Logic->bsSkinComboBox10Change(); };
  lvFiles->OnSelectItem = [this](rtl::TObject*, ctl::TListItem*, bool) {
    EndRenameOnSelection();
    Logic->lvFilesSelectItem();
  };
}

// --- start-up and close --------------------------------------------------------

void TForm1::FormCreate(rtl::TObject*) {
  Button15Click();
  Button17Click();
  Button21Click();
  Button3Click();
  formatPortOwned_->FirstImage =
      catalogue::kCategories[catalogue::CategoryIdMap(bsSkinOfficeComboBox2->ItemIndex())].firstFormat;
  Logic->Button2Click();
  // The preview renders into the control named by the chosen screen item.
  cboScreens->Items()->Clear();
  cboScreens->Items()->Add("Panel6");
  for (int order = 0;; ++order) {
    cl::TWinControl* found = nullptr;
    for (int i = 0; i < ControlCount(); ++i) {
      auto* w = dynamic_cast<cl::TWinControl*>(Controls(i));
      if (w && w->TabOrder() == order) found = w;
    }
    if (!found) break;
    cboScreens->Items()->Add(found->Name());
  }
  cboScreens->SetItemIndex(0);
  bsSkinSlider1_down_UP = "UP";

  SetGroup(TCommandGroup::Add, true);
  for (auto g : {TCommandGroup::Remove, TCommandGroup::Clear, TCommandGroup::Start, TCommandGroup::Stop,
                 TCommandGroup::Pause, TCommandGroup::Resume})
    SetGroup(g, false);
  SetGroup(TCommandGroup::Preset, true);
  ShowEmptyListPicture(true);
}

void TForm1::FormCloseQuery(rtl::TObject*, bool&) {
  // No handler of the window may run while the tasks end and it goes.
  closing_ = true;
  ZEVizeza->SetOnPosition(nullptr);
  ZEVizeza->SetOnState(nullptr);
  ZEVizeza->SetOnHook(nullptr);
  DetachConverterEvents();
  FFConv->Stop(true);
}

void TForm1::WireCommands() {
  auto on = [this](const char* name, std::function<void()> fn) {
    if (cl::TMenuItem* it = MenuItem(name)) it->OnClick = [fn](rtl::TObject*) { fn(); };
  };
  on("Item111", [this] { btnAddClick(); });
  on("N11111", [this] { btnAddClick(); });
  on("Item121", [this] { Button8Click(); });
  on("N2222", [this] { Button8Click(); });
  on("N21", [this] { Button12Click(); });
  on("N3331", [this] { Button12Click(); });
  on("N7", [this] { btnStartClick(); });
  on("N8", [this] { btnStopClick(); });
  on("N10", [this] { bsSkinButton11Click(); });
  on("N11", [this] { bsSkinButton12Click(); });
  on("N23", [this] { bsSkinButton9Click(); });
  bsSkinButton9->OnClick = [this](rtl::TObject*) { bsSkinButton9Click(); };
  bsSkinButton2->OnClick = [this](rtl::TObject*) { btnStartClick(); };
  bsSkinButton10->OnClick = [this](rtl::TObject*) { btnStopClick(); };
  bsSkinButton11->OnClick = [this](rtl::TObject*) { bsSkinButton11Click(); };
  bsSkinButton12->OnClick = [this](rtl::TObject*) { bsSkinButton12Click(); };
  WireEditingAndMenus();
}

void TForm1::Log(const std::string& line) {
  // The settings are read before the log exists; their lines wait for it.
  if (mmoLog)
    mmoLog->Lines()->Add(line);
  else
    earlyLog_.push_back(line);
  if (Services().LogSink) Services().LogSink(line);
}

void TForm1::Button15Click() { JobSlots.Button15Click(); }

TSettingsFile& TForm1::Settings() {
  if (!Ini) {
    TProgramServices& s = Services();
    std::string prog = s.ProgramFolder.empty() ? rtl::ExeFolder() : s.ProgramFolder;
    std::string conf = s.ConfigFolder.empty() ? TSettingsFile::UserConfigFolder() : s.ConfigFolder;
    Ini = std::make_unique<TSettingsFile>(prog, conf, [this](const std::string& l) { Log(l); });
  }
  return *Ini;
}

void TForm1::Button17Click() {
  TProgramServices& s = Services();
  FileOutPutPath =
      ReadOutPath(Settings(), s.DefaultOutputFolder.empty() ? DefaultOutputFolder() : s.DefaultOutputFolder);
  ShowOutputFolder(FileOutPutPath);
}

// The read-only edit is too narrow for most folders: it shows the end of
// the path, the folder's own name, rather than its common beginning.
void TForm1::ShowOutputFolder(const std::string& folder) {
  Video_OutPut_Folder_Edit->SetText(folder);
  Video_OutPut_Folder_Edit->SetSelStart(int(folder.size()));
}

void TForm1::Button16Click() { WriteOutPath(*Ini, FileOutPutPath); }

void TForm1::Button21Click() { OpenDialogFilter = ::OpenDialogFilter(); }

void TForm1::Button3Click() {
  // Without a file the window keeps the form's own skin.
  const int index = ReadSkinIndex(Settings());
  bsSkinData1->SetSkinIndex(index >= 0 ? index : kFormSkinIndex);
}

void TForm1::bsSkinButton9Click() {
  int index = bsSkinData1->SkinIndex();
  if (Services().ChooseSkin && Services().ChooseSkin(index)) bsSkinData1->SetSkinIndex(index);
  Button4Click();
}

void TForm1::Button4Click() { WriteSkinIndex(*Ini, bsSkinData1->SkinIndex()); }

// --- command groups --------------------------------------------------------------

void TForm1::SetGroup(TCommandGroup g, bool on) {
  groups_[int(g)] = on;
  auto items = [&](std::initializer_list<const char*> names) {
    for (const char* n : names)
      if (cl::TMenuItem* it = MenuItem(n)) it->Enabled = on;
  };
  auto button = [&](TbsSkinButton* b, const char* picture) {
    ApplyGlyph(b, picture, on);
    b->SetEnabled(on);
  };
  switch (g) {
    case TCommandGroup::Add: {
      gfx::TBitmap gl;
      if (LoadPicture(on ? "TB_ADD" : "TB_ADD_DISABLED", gl)) bsSkinMenuSpeedButton1->SetGlyph(&gl);
      bsSkinMenuSpeedButton1->SetEnabled(on);
      items({"Item111", "Item121", "N21", "N11111", "N2222", "N3331"});
      break;
    }
    case TCommandGroup::Remove:
      button(bsSkinButton7, "REMOVE");
      button(bsSkinButton21, "RENAME");
      items({"N13", "N26"});
      break;
    case TCommandGroup::Clear:
      button(bsSkinButton8, "CLEAR");
      items({"N14"});
      break;
    case TCommandGroup::Start:
      button(bsSkinButton2, "START");
      items({"N7"});
      break;
    case TCommandGroup::Stop:
      button(bsSkinButton10, "STOP");
      items({"N8"});
      break;
    case TCommandGroup::Pause:
      button(bsSkinButton11, "PAUSE");
      items({"N10"});
      break;
    case TCommandGroup::Resume:
      button(bsSkinButton12, "RESUME");
      items({"N11"});
      break;
    case TCommandGroup::Preset:
      for (auto* c :
           {bsSkinComboBox1, bsSkinComboBox2, bsSkinComboBox9, bsSkinComboBox3, bsSkinComboBox10, bsSkinComboBox4})
        c->SetEnabled(on);
      bsSkinOfficeComboBox2->SetEnabled(on);
      bsSkinOfficeComboBox1->SetEnabled(on);
      bsSkinButton5->SetEnabled(on);
      break;
  }
  // Pause and resume share a place: the one that may be pressed shows.
  if (g == TCommandGroup::Pause || g == TCommandGroup::Resume) {
    const bool resume = groups_[int(TCommandGroup::Resume)];
    bsSkinButton12->SetVisible(resume);
    bsSkinButton11->SetVisible(!resume);
  }
}

bool TForm1::GroupEnabled(TCommandGroup g) const { return groups_[int(g)]; }

void TForm1::ShowEmptyListPicture(bool show) {
  bsSkinPanel5->SetVisible(show);
  if (show) bsSkinPanel5->BringToFront();
}

// --- options and output folder -----------------------------------------------------

void TForm1::bsSkinButton19Click() {
  if (Options) Options->ShowModal();
}

void TForm1::bsSkinButton5Click() {
  IFileChooser* chooser = Services().Chooser;
  if (!chooser) return;
  std::string folder = FileOutPutPath;
  chooser->SelectFolder("选择输出目录", folder);
  if (!rtl::DirectoryExists(folder)) return;
  FileOutPutPath = folder;
  ShowOutputFolder(folder);
  Button16Click();
  filesPort_->SetFocus();
}

void TForm1::Video_OutPut_Folder_EditClick() { filesPort_->SetFocus(); }

void TForm1::bsSkinButton6Click() {
  Button20Click();
  filesPort_->SetFocus();
}
