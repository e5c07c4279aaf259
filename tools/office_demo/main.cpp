// The main window's choosers as office combo boxes in a real window (Qt
// backend): for each of two built-in skins a category chooser (20 items with
// 32x32 pictures, no titles, rows of 50, drop-down record "resizetoolpanel")
// and a format chooser (titles, wrapped descriptions, separator lines, rows
// of 60), both in the tool-button look and wired like the program's cascade
// (a category pick refills the formats); beside them an office list with
// header rows, a scroll box over a large picture and a link label.
//   office_demo [--skins <a>,<b>] [--screenshot <prefix>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it opens the left format chooser with a real click, hovers a row and saves
// <prefix>-open.png, picks the row with a click and reports the events, then
// opens the right category chooser, saves <prefix>-category.png and ends.
// Run it under xvfb-run without a display.
#include <spawn.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/CatalogueData.h"
#include "app/FormatCatalogue.h"
#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/imglist.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/win/input.h"
#include "skin/inputs/bsSkinLinkLabel.h"
#include "skin/inputs/bsSkinOfficeCombo.h"
#include "skin/controls/bsSkinPanels.h"
#include "skin/inputs/bsSkinScrollBox.h"
#include "skin/data/bsStoredSkins.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

void MoveClick(TControl* c, int x, int y, bool click) {
  TPoint p = c->ClientToScreen({x, y});
  std::vector<std::string> a{"xdotool", "mousemove", std::to_string(p.X), std::to_string(p.Y)};
  if (click) {
    a.push_back("click");
    a.push_back("1");
  }
  RunTool(a);
  PumpFor(250);
}

// A strip of 32x32 pictures from the program's resources into an image list.
void LoadStrip(TCustomImageList* L, const char* name) {
  L->SetSize(32, 32);
  auto bytes = rtl::Resource(name);
  if (bytes.empty()) {
    std::fprintf(stderr, "no resource %s\n", name);
    return;
  }
  rtl::TMemoryStream ms;
  ms.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  ms.SetPosition(0);
  gfx::TBitmap b;
  b.LoadFromStream(ms);
  L->Add(&b, nullptr);
}

struct Half {
  TbsSkinData* store = nullptr;
  TbsSkinOfficeComboBox* category = nullptr;
  TbsSkinOfficeComboBox* format = nullptr;
  TbsSkinOfficeListBox* list = nullptr;
};

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetCaption("Office choosers in two built-in skins");
    SetBounds(20, 20, 980, 640);
    SetColor(gfx::clBtnFace);
    cats = new TCustomImageList(this);
    LoadStrip(cats, "CATEGORY_IMAGES");
    fmts = new TCustomImageList(this);
    LoadStrip(fmts, "FORMAT_IMAGES");
  }

  void FillFormats(Half& h, int categoryId) {
    TbsSkinOfficeItems* items = h.format->Items();
    items->Clear();
    const catalogue::CategoryDef& c = catalogue::kCategories[categoryId];
    for (int i = 0; i < c.formatCount; ++i) {
      const catalogue::FormatDef* f = catalogue::Format(categoryId, i);
      TbsSkinOfficeItem* it = items->Add();
      it->SetTitle(f->title);
      it->SetCaption(f->caption);
      it->SetImageIndex(c.firstFormat + i);
    }
    h.format->SetItemIndex(0);
  }

  void Build(Half& h, TbsSkinData* store, int x) {
    h.store = store;
    auto* panel = new TbsSkinPanel(this);
    panel->SetBounds(x, 0, 490, 640);
    panel->SetParent(this);
    panel->SetSkinData(store);

    h.category = new TbsSkinOfficeComboBox(this);
    h.category->SetBounds(12, 12, 150, 54);
    h.category->SetParent(panel);
    h.category->SetToolButtonStyle(true);
    h.category->SetDropDownCount(4);
    h.category->SetListBoxItemHeight(50);
    h.category->ListBoxWidth = 180;
    h.category->SetListBoxShowItemTitles(false);
    h.category->SetListBoxSkinDataName("resizetoolpanel");
    h.category->SetImages(cats);
    h.category->SetSkinData(store);

    h.format = new TbsSkinOfficeComboBox(this);
    h.format->SetBounds(172, 12, 300, 64);
    h.format->SetParent(panel);
    h.format->SetToolButtonStyle(true);
    h.format->SetDropDownCount(4);
    h.format->SetListBoxItemHeight(60);
    h.format->SetListBoxShowLines(true);
    h.format->SetListBoxSkinDataName("listbox");
    h.format->SetImages(fmts);
    h.format->SetSkinData(store);

    for (int i = 0; i < catalogue::kChooserItemCount; ++i) {
      TbsSkinOfficeItem* it = h.category->Items()->Add();
      it->SetCaption(catalogue::kCategoryChooser[i].caption);
      it->SetImageIndex(catalogue::kCategoryChooser[i].imageIndex);
    }
    Half* hp = &h;
    h.category->OnChange = [this, hp](rtl::TObject*) {
      int id = catalogue::CategoryIdMap(hp->category->ItemIndex());
      if (id >= 0) FillFormats(*hp, id);
    };
    h.format->OnClick = [this](rtl::TObject* s) { log += (s == left.format || s == right.format) ? "OnClick " : ""; };
    h.format->OnChange = [this](rtl::TObject*) { log += "OnChange "; };
    h.format->OnCloseUp = [this](rtl::TObject*) { log += "OnCloseUp "; };
    h.category->SetItemIndex(0);

    // A stand-alone office list: categories as header rows over their formats.
    h.list = new TbsSkinOfficeListBox(this);
    h.list->SetBounds(12, 300, 300, 300);
    h.list->SetParent(panel);
    h.list->SetItemHeight(46);
    h.list->SetHeaderHeight(22);
    h.list->SetShowLines(true);
    h.list->SetImages(fmts);
    h.list->SetSkinData(store);
    for (int c = 0; c < 3; ++c) {
      const catalogue::CategoryDef& cd = catalogue::kCategories[c];
      TbsSkinOfficeItem* hd = h.list->Items()->Add();
      hd->SetHeader(true);
      hd->SetCaption(cd.label);
      for (int i = 0; i < std::min(cd.formatCount, 3); ++i) {
        const catalogue::FormatDef* f = catalogue::Format(cd.id, i);
        TbsSkinOfficeItem* it = h.list->Items()->Add();
        it->SetTitle(f->title);
        it->SetCaption(f->caption);
        it->SetImageIndex(cd.firstFormat + i);
        it->SetEnabled(i != 2);
      }
    }
    h.list->SetItemIndex(1);

    // A scroll box over a large picture with skinned bars.
    auto* box = new TbsSkinScrollBox(this);
    box->SetBounds(322, 300, 130, 130);
    box->SetParent(panel);
    box->SetSkinData(store);
    auto* vb = new TbsSkinScrollBar(this);
    vb->SetKind(sbVertical);
    vb->SetSkinDataName("vscrollbar");
    vb->SetBounds(452, 300, 19, 130);
    vb->SetParent(panel);
    vb->SetSkinData(store);
    auto* hb = new TbsSkinScrollBar(this);
    hb->SetBounds(322, 430, 130, 19);
    hb->SetParent(panel);
    hb->SetSkinData(store);
    auto* pic = new Picture(this, fmts);
    pic->SetBounds(0, 0, 32 * 12, 32 * 12);
    pic->SetParent(box);
    box->SetVScrollBar(vb);
    box->SetHScrollBar(hb);
    box->UpDateScrollRange();

    auto* link = new TbsSkinLinkLabel(this);
    link->SetAutoSize(false);
    link->SetBounds(322, 470, 150, 40);
    link->SetParent(panel);
    link->SetCaption("www.example.com");
    link->SetURL("https://www.example.com/");
    link->SetGlowEffect(true);
    link->SetGlowSize(6);
    link->SetAlignment(taCenter);
    link->SetSkinData(store);
  }

  // The format pictures as a 12x12 grid: something large to scroll.
  class Picture : public TCustomControl {
   public:
    Picture(TComponent* o, TCustomImageList* l) : TCustomControl(o), L(l) {}

   protected:
    void Paint() override {
      Canvas()->Brush()->SetColor(gfx::clWhite);
      Canvas()->FillRect({0, 0, Width(), Height()});
      for (int i = 0; i < 144; ++i) L->Draw(Canvas(), (i % 12) * 32, (i / 12) * 32, i);
    }
    TCustomImageList* L;
  };

  TCustomImageList *cats = nullptr, *fmts = nullptr;
  Half left, right;
  std::string log;
};

void Script(DemoForm* f, const std::string& prefix) {
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return w && w->isExposed(); });
  PumpFor(400);
  f->log.clear();
  MoveClick(f->left.format, 150, 30, true);
  std::printf("left format list open: %s\n", f->left.format->IsPopupVisible() ? "yes" : "no");
  TbsPopupOfficeListBox* l = f->left.format->ListBox();
  MoveClick(l, 100, 2 + 60 * 2 + 30, false);
  std::printf("highlighted row: %d\n", l->ItemIndex());
  Shot(prefix + "-open.png");
  MoveClick(l, 100, 2 + 60 * 2 + 30, true);
  std::printf("picked: %d (%s), events: %s\n", f->left.format->ItemIndex(),
              f->left.format->Items()->Items(f->left.format->ItemIndex())->Title().c_str(), f->log.c_str());
  std::printf("left format list open: %s\n", f->left.format->IsPopupVisible() ? "yes" : "no");
  MoveClick(f->right.category, 60, 25, true);
  std::printf("right category list open: %s\n", f->right.category->IsPopupVisible() ? "yes" : "no");
  MoveClick(f->right.category->ListBox(), 60, 3 + 50 + 25, false);
  Shot(prefix + "-category.png");
  MoveClick(f->right.category->ListBox(), 60, 3 + 50 + 25, true);
  std::printf("right category now %d, its format list has %d rows, first: %s\n", f->right.category->ItemIndex(),
              f->right.format->Items()->Count(),
              f->right.format->Items()->Count() ? f->right.format->Items()->Items(0)->Title().c_str() : "-");
  PumpFor(300);
  Shot(prefix + "-after.png");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  int a = 0, b = 2;
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (std::string(argv[i]) == "--skins" && i + 1 < argc) std::sscanf(argv[++i], "%d,%d", &a, &b);
  }
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Office choosers demo");
  auto skins = MakeOwned<TbsCompressedSkinList>(nullptr);
  LoadBuiltinSkins(*skins);
  auto s1 = MakeOwned<TbsSkinData>(nullptr);
  s1->SetSkinIndex(a);
  s1->SetSkinList(skins.get());
  auto s2 = MakeOwned<TbsSkinData>(nullptr);
  s2->SetSkinIndex(b);
  s2->SetSkinList(skins.get());
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  form->Build(form->left, s1.get(), 0);
  form->Build(form->right, s2.get(), 490);
  rtl::Post([&] {
    if (!screenshot.empty()) {
      Script(form, screenshot);
      Application->Terminate();
    }
  });
  Application->Run();
  ResetApplication();
  s1.reset();
  s2.reset();
  skins.reset();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}
