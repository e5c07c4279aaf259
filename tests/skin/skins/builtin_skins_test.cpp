// The eleven built-in skins as the program holds them: each loads, has every
// record the controls and forms ask for with the class they expect, keeps its
// picture rectangles inside its pictures, keeps its text readable, and the
// skin index switches among them. Also the built-in pictures.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstring>
#include <set>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "skin/dialogs/bsSkinFileDialogs.h"
#include "platform/gfx/region.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsMaskRegions.h"
#include "skin/data/bsSkinData.h"
#include "skin/data/bsStoredSkins.h"
#include "tests/skin/data/skin_test_util.h"

using namespace skin;

namespace {

// Every record name a control or form of the program looks up, with the
// type keyword of the class it expects.
const std::vector<std::pair<const char*, const char*>>& RequiredControls() {
  static const std::vector<std::pair<const char*, const char*>> k = {
      {"button", "button"},
      {"resizebutton", "button"},
      {"toolbutton", "button"},
      {"bigtoolbutton", "button"},
      {"resizetoolbutton", "button"},
      {"htracktoolbutton", "button"},
      {"vtracktoolbutton", "button"},
      {"combobutton", "button"},
      {"editbutton", "button"},
      {"menuitembutton", "button"},
      {"officequickbutton", "button"},
      {"toolmenubutton", "menubutton"},
      {"toolmenutrackbutton", "menubutton"},
      {"bigtoolmenubutton", "menubutton"},
      {"bigtoolmenutrackbutton", "menubutton"},
      {"checkbox", "checkradio"},
      {"radiobox", "checkradio"},
      {"panel", "panel"},
      {"toolpanel", "panel"},
      {"bigtoolpanel", "panel"},
      {"resizetoolpanel", "panel"},
      {"groupbox", "panel"},
      {"statusbar", "panel"},
      {"label", "label"},
      {"statuspanel", "label"},
      {"menuheader", "label"},
      {"stdlabel", "stdlabel"},
      {"bevel", "bevel"},
      {"hscrollbar", "scrollbar"},
      {"vscrollbar", "scrollbar"},
      {"bothhscrollbar", "scrollbar"},
      {"slider", "slider"},
      {"gauge", "gauge"},
      {"vgauge", "gauge"},
      {"statusgauge", "gauge"},
      {"trackbar", "trackbar"},
      {"htrackbar", "trackbar"},
      {"tab", "tab"},
      {"edit", "edit"},
      {"buttonedit", "edit"},
      {"statusedit", "edit"},
      {"statusbuttonedit", "edit"},
      {"tooledit", "edit"},
      {"toolbuttonedit", "edit"},
      {"memo", "memo"},
      {"spinedit", "spinedit"},
      {"statusspinedit", "spinedit"},
      {"toolspinedit", "spinedit"},
      {"hupdown", "updown"},
      {"vupdown", "updown"},
      {"listbox", "listbox"},
      {"captionlistbox", "listbox"},
      {"checklistbox", "checklistbox"},
      {"captionchecklistbox", "checklistbox"},
      {"combobox", "combobox"},
      {"captioncombobox", "combobox"},
      {"statuscombobox", "combobox"},
      {"toolcombobox", "combobox"},
      {"scrollbox", "scrollbox"},
      {"treeview", "treeview"},
      {"listview", "listview"},
      {"richedit", "richedit"},
      {"grid", "grid"},
      {"mainmenubar", "mainmenubar"},
      {"controlbar", "controlbar"},
      {"vsplitter", "splitter"},
      {"hsplitter", "splitter"},
      {"expanel", "expanel"},
  };
  return k;
}

const std::vector<std::pair<const char*, const char*>>& RequiredObjects() {
  static const std::vector<std::pair<const char*, const char*>> k = {
      {"caption", "caption"},
      {"closebutton", "stdbutton"},
      {"maxbutton", "stdbutton"},
      {"minbutton", "stdbutton"},
      {"rollupbutton", "stdbutton"},
      {"sysmenubutton", "stdbutton"},
      {"traybutton", "stdbutton"},
      {"minimizebutton", "stdbutton"},
      {"maximizebutton", "stdbutton"},
      {"minanimate", "animate"},
      {"maxanimate", "animate"},
      {"menuitem", "menuitem"},
      {"mainmenubaritem", "mainmenubaritem"},
      {"menubarsysmenubutton", "mainmenubarbutton"},
      {"menubarclosebutton", "mainmenubarbutton"},
      {"menubarmaxbutton", "mainmenubarbutton"},
      {"menubarminbutton", "mainmenubarbutton"},
  };
  return k;
}

// Rectangle keys that are places relative to the record's look (or to an
// item), not rectangles of a picture.
bool IsPlaceKey(const TbsDataSkinRecord& r, const std::string& key) {
  static const std::set<std::string> places = {
      "clientrect",      "captionrect",       "textarea",     "checkimagearea", "trackarea",        "textrect",
      "imagerect",       "frametextrect",     "progressarea", "itemsrect",      "itemtextrect",     "itemcheckrect",
      "trackbuttonrect", "fixedcelltextrect", "celltextrect", "buttonsarea",    "rollvcaptionrect", "rollhcaptionrect"};
  if (places.count(key)) return true;
  // The button places of scroll bars, up-downs, spin edits, lists, edits and
  // combo boxes (their normal looks are part of the control's look); a
  // track bar's "buttonrect" is a picture of its thumb.
  static const std::set<std::string> buttonPlaces = {"upbuttonrect", "downbuttonrect", "checkbuttonrect", "buttonrect"};
  if (!buttonPlaces.count(key)) return false;
  if (dynamic_cast<const TbsDataSkinTrackBarControl*>(&r)) return false;
  // For edits and combo boxes "downbuttonrect" is the pressed look of their one button.
  if (dynamic_cast<const TbsDataSkinEditControl*>(&r) || dynamic_cast<const TbsDataSkinComboBox*>(&r))
    return key == "buttonrect";
  return true;
  return false;
}

TRect ParseRectValue(const std::string& v) { return ParseRect(v); }

bool Inside(const TRect& r, int w, int h) {
  return r.Left >= 0 && r.Top >= 0 && r.Right <= w && r.Bottom <= h && r.Left <= r.Right && r.Top <= r.Bottom;
}

// Loads built-in skin i into a store.
void LoadBuiltin(TbsSkinData& store, int i) {
  const auto& info = BuiltinSkins()[size_t(i)];
  auto bytes = rtl::Resource(BuiltinSkinResourceName(info));
  ASSERT_FALSE(bytes.empty()) << info.CompressedFileName;
  auto stored = MakeOwned<TbsCompressedStoredSkin>();
  rtl::TMemoryStream ms;
  ms.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stored->LoadFromCompressStream(ms);
  ASSERT_FALSE(stored->Empty()) << info.CompressedFileName;
  store.LoadCompressedStoredSkin(stored.get());
  ASSERT_FALSE(store.Empty) << info.CompressedFileName;
}

struct Rgb {
  int r, g, b;
};

double Lum(Rgb c) {
  auto lin = [](int v) {
    double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

double Contrast(Rgb a, Rgb b) {
  double x = Lum(a), y = Lum(b);
  if (x < y) std::swap(x, y);
  return (x + 0.05) / (y + 0.05);
}

Rgb FromColor(TColor c) { return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}; }

// The lowest contrast of a text colour over a rectangle of a picture.
double MinContrast(gfx::TBitmap* pic, const TRect& area, TColor text) {
  QImage img = gfx::BitmapToImage(pic->Handle());
  double worst = 21;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) {
      QRgb p = img.pixel(x, y);
      worst = std::min(worst, Contrast(FromColor(text), {qRed(p), qGreen(p), qBlue(p)}));
    }
  return worst;
}

TRect Offset(const TRect& r, const TRect& by) {
  return TRect{by.Left + r.Left, by.Top + r.Top, by.Left + r.Right, by.Top + r.Bottom};
}

class BuiltinSkinsTest : public ::testing::TestWithParam<int> {};

}  // namespace

TEST(BuiltinSkinList, ElevenSkinsInOrderWithNamesAndContainers) {
  const auto& list = BuiltinSkins();
  ASSERT_EQ(list.size(), 11u);
  std::set<std::string> names, files;
  for (const auto& s : list) {
    names.insert(s.Name);
    files.insert(s.CompressedFileName);
    EXPECT_GE(std::string(s.Name).size(), 6u) << "a Chinese display name of at least two characters";
    EXPECT_FALSE(rtl::Resource(BuiltinSkinResourceName(s)).empty()) << s.CompressedFileName;
  }
  EXPECT_EQ(names.size(), 11u);
  EXPECT_EQ(files.size(), 11u);

  SKIN_NEW(TbsCompressedSkinList, skins);
  EXPECT_EQ(LoadBuiltinSkins(skins), 11);
  ASSERT_EQ(skins.Skins().Count(), 11);
  for (int i = 0; i < 11; ++i) {
    TbsSkinListItem* item = skins.Skins().Items(i);
    EXPECT_EQ(item->Name, list[size_t(i)].Name);
    EXPECT_EQ(item->CompressedFileName, list[size_t(i)].CompressedFileName);
    EXPECT_EQ(item->GetDisplayName(), list[size_t(i)].Name);
    EXPECT_FALSE(item->Skin().Empty());
  }
}

TEST(BuiltinSkinList, TheProgramHoldsTheFilesTheGeneratorWrote) {
  // The containers are compiled in from the generator's output; a stale
  // object file (a build or cache that missed a change) shows here.
  for (const auto& s : BuiltinSkins()) {
    auto bytes = rtl::Resource(BuiltinSkinResourceName(s));
    std::string file = skintest::ReadFile(std::string(BUILTIN_DIR) + "/skins/" + s.CompressedFileName);
    EXPECT_TRUE(file.size() == bytes.size() && std::memcmp(file.data(), bytes.data(), bytes.size()) == 0)
        << s.CompressedFileName;
  }
}

TEST(BuiltinSkinList, SkinIndexSwitchesAmongTheEmbeddedSkins) {
  skintest::FakeForms forms;
  forms.Add("main");
  SKIN_NEW(TbsCompressedSkinList, skins);
  LoadBuiltinSkins(skins);
  SKIN_NEW(TbsSkinData, store);
  // As at start-up: the stored index first, then the list, which loads it.
  store.SetSkinIndex(1);
  store.SetSkinList(&skins);
  EXPECT_FALSE(store.Empty);
  std::set<std::string> seen{store.SkinName};
  for (int i : {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1}) {
    forms.log.clear();
    store.SetSkinIndex(i);
    EXPECT_EQ(store.SkinIndex(), i);
    EXPECT_FALSE(store.Empty) << i;
    EXPECT_GE(store.GetControlIndex("button"), 0) << i;
    EXPECT_EQ(forms.Messages("main"),
              (std::vector<unsigned>{WM_BEFORE_CHANGE_SKIN_DATA, WM_CHANGE_SKIN_DATA, WM_AFTER_CHANGE_SKIN_DATA}))
        << i;
    seen.insert(store.SkinName);
  }
  EXPECT_EQ(seen.size(), 11u) << "each index loads a different skin";
  forms.log.clear();
  store.SetSkinIndex(11);  // outside the list: ignored
  EXPECT_EQ(store.SkinIndex(), 1);
  EXPECT_TRUE(forms.log.empty());
}

TEST_P(BuiltinSkinsTest, EveryNamedRecordIsPresentWithItsClass) {
  SKIN_NEW(TbsSkinData, store);
  LoadBuiltin(store, GetParam());
  for (auto [name, keyword] : RequiredControls()) {
    int i = store.GetControlIndex(name);
    ASSERT_GE(i, 0) << name;
    EXPECT_STREQ(store.CtrlList[size_t(i)]->TypeKeyword(), keyword) << name;
  }
  for (auto [name, keyword] : RequiredObjects()) {
    int i = store.GetIndex(name);
    ASSERT_GE(i, 0) << name;
    EXPECT_STREQ(store.ObjectList[size_t(i)]->TypeKeyword(), keyword) << name;
  }
  // The main menu bar names its object records, and they exist.
  auto* bar = dynamic_cast<TbsDataSkinMainMenuBar*>(store.CtrlList[size_t(store.GetControlIndex("mainmenubar"))].get());
  ASSERT_TRUE(bar);
  for (const std::string& n : {bar->MenuBarItem, bar->CloseButton, bar->MaxButton, bar->MinButton, bar->SysMenuButton})
    EXPECT_GE(store.GetIndex(n), 0) << n;
  // Records that name other records name existing ones.
  for (auto& c : store.CtrlList) {
    std::vector<std::string> named;
    if (auto* l = dynamic_cast<TbsDataSkinListBox*>(c.get()))
      named = {l->VScrollBarName, l->HScrollBarName, l->BothScrollBarName};
    if (auto* cb = dynamic_cast<TbsDataSkinComboBox*>(c.get())) named = {cb->ListBoxName};
    if (auto* t = dynamic_cast<TbsDataSkinTabControl*>(c.get())) named = {t->UpDown};
    for (const std::string& n : named) EXPECT_GE(store.GetControlIndex(n), 0) << c->IDName << " names " << n;
  }
  // Views and memos say their colours (the missing value is black on black).
  for (const char* n : {"treeview", "listview", "richedit"}) {
    auto ks = store.CtrlList[size_t(store.GetControlIndex(n))]->ListKeys();
    for (auto& [k, v] : ks)
      if (k == "bgcolor") {
        EXPECT_NE(v, "0") << n;
      }
  }
  EXPECT_GE(store.PopupWindow.WindowPictureIndex, 0);
  EXPECT_GE(store.HintWindow.WindowPictureIndex, 0);
  EXPECT_TRUE(store.FPicture && !store.FPicture->Empty());
}

TEST_P(BuiltinSkinsTest, PictureRectanglesLieInsideTheirPictures) {
  SKIN_NEW(TbsSkinData, store);
  LoadBuiltin(store, GetParam());
  auto picture = [&](int i) -> gfx::TBitmap* {
    return i >= 0 && size_t(i) < store.FActivePictures.size() ? store.FActivePictures[size_t(i)].get() : nullptr;
  };
  int checked = 0;
  for (auto& c : store.CtrlList) {
    gfx::TBitmap* pic = picture(c->PictureIndex);
    if (c->PictureIndex >= 0) {
      ASSERT_TRUE(pic) << c->IDName;
    }
    int sw = RectWidth(c->SkinRect), sh = RectHeight(c->SkinRect);
    for (auto& [key, value] : c->ListKeys()) {
      if (key.size() < 4 || key.compare(key.size() - 4, 4, "rect") != 0 || !pic) continue;
      TRect r = ParseRectValue(value);
      if (IsNullRect(r) && r.Left == 0 && r.Top == 0) continue;
      if (IsPlaceKey(*c, key)) {
        EXPECT_TRUE(Inside(r, sw, sh)) << c->IDName << "." << key << " = " << value << " outside the look " << sw << "x"
                                       << sh;
      } else {
        EXPECT_TRUE(Inside(r, pic->Width(), pic->Height()))
            << c->IDName << "." << key << " = " << value << " outside the picture " << pic->Width() << "x"
            << pic->Height();
      }
      ++checked;
    }
    if (auto* f = dynamic_cast<TbsDataSkinCustomControl*>(c.get())) {
      EXPECT_TRUE(f->LTPoint.X <= sw && f->RTPoint.X <= sw && f->RBPoint.X <= sw && f->LBPoint.Y <= sh &&
                  f->RBPoint.Y <= sh)
          << c->IDName << ": corner points outside the look";
      EXPECT_TRUE(Inside(f->ClRect, sw, sh)) << c->IDName << ": client rectangle outside the look";
    }
  }
  for (auto& o : store.ObjectList) {
    gfx::TBitmap* pic = picture(o->ActivePictureIndex);
    for (auto& [key, value] : o->ListKeys()) {
      bool look = (key.size() >= 4 && key.compare(key.size() - 4, 4, "rect") == 0) || key == "disableskinrsect";
      if (!look) continue;
      TRect r = ParseRectValue(value);
      if (r.Left == 0 && r.Top == 0 && r.Right == 0 && r.Bottom == 0) continue;
      if (key == "textrect" || key == "imagerect" || key == "frametextrect") continue;
      gfx::TBitmap* in = (key == "skinrect" && !o->SkinRectInAPicture) ? store.FPicture.get() : pic;
      ASSERT_TRUE(in) << o->IDName << "." << key;
      EXPECT_TRUE(Inside(r, in->Width(), in->Height())) << o->IDName << "." << key << " = " << value;
      ++checked;
    }
  }
  int PW = store.FPicture->Width(), PH = store.FPicture->Height();
  for (const TRect& r : {store.ClRect, store.CaptionRect, store.ButtonsRect, store.MaskRectArea})
    EXPECT_TRUE(Inside(r, PW, PH));
  if (store.FMask && !store.FMask->Empty()) {
    EXPECT_EQ(store.FMask->Width(), PW);
    EXPECT_EQ(store.FMask->Height(), PH);
  }
  EXPECT_GT(checked, 300);
}

TEST_P(BuiltinSkinsTest, TextStandsOutFromWhatLiesBehindIt) {
  SKIN_NEW(TbsSkinData, store);
  LoadBuiltin(store, GetParam());
  gfx::TBitmap* atlas = store.FActivePictures[0].get();
  auto ctrl = [&](const char* n) { return store.CtrlList[size_t(store.GetControlIndex(n))].get(); };
  auto expectReadable = [&](const std::string& what, gfx::TBitmap* pic, const TRect& area, TColor text) {
    double c = MinContrast(pic, area, text);
    EXPECT_GE(c, 4.5) << store.SkinName << ": " << what;
  };
  for (const char* n : {"button", "resizebutton", "toolbutton", "resizetoolbutton"}) {
    auto* b = dynamic_cast<TbsDataSkinButtonControl*>(ctrl(n));
    ASSERT_TRUE(b);
    expectReadable(std::string(n) + " normal", atlas, Offset(b->ClRect, b->SkinRect), b->FontColor);
    expectReadable(std::string(n) + " hot", atlas, Offset(b->ClRect, b->ActiveSkinRect), b->ActiveFontColor);
    expectReadable(std::string(n) + " down", atlas, Offset(b->ClRect, b->DownSkinRect), b->DownFontColor);
    // Disabled text is greyed: readable less than the enabled text.
    double enabled = MinContrast(atlas, Offset(b->ClRect, b->SkinRect), b->FontColor);
    double disabled = MinContrast(atlas, Offset(b->ClRect, b->DisabledSkinRect), b->DisabledFontColor);
    EXPECT_LT(disabled, enabled * 0.8) << n << ": disabled text not greyed";
    EXPECT_GE(disabled, 1.5) << n << ": disabled text vanishes";
  }
  auto* e = dynamic_cast<TbsDataSkinEditControl*>(ctrl("edit"));
  expectReadable("edit", atlas, Offset(e->ClRect, e->SkinRect), e->FontColor);
  auto* l = dynamic_cast<TbsDataSkinListBox*>(ctrl("listbox"));
  expectReadable("list item", atlas, Offset(l->ItemTextRect, l->SItemRect), l->FontColor);
  TRect sel = Offset(l->ItemTextRect, l->ActiveItemRect);
  sel.Top += 2, sel.Bottom -= 2;
  expectReadable("selected list item", atlas, sel, l->ActiveFontColor);
  auto* cb = dynamic_cast<TbsDataSkinCheckRadioControl*>(ctrl("checkbox"));
  expectReadable("check box", atlas, Offset(cb->TextArea, cb->SkinRect), cb->FontColor);
  auto* mi = dynamic_cast<TbsDataSkinMenuItem*>(store.ObjectList[size_t(store.GetIndex("menuitem"))].get());
  expectReadable("menu item", atlas, Offset(mi->TextRct, mi->SkinRect), mi->FontColor);
  TRect act = Offset(mi->TextRct, mi->ActiveSkinRect);
  act.Top += 3, act.Bottom -= 3;
  expectReadable("highlighted menu item", atlas, act, mi->ActiveFontColor);
  auto* cap = dynamic_cast<TbsDataSkinCaption*>(store.ObjectList[size_t(store.GetIndex("caption"))].get());
  TRect capText = Offset(TRect{4, 2, RectWidth(cap->SkinRect) - 4, RectHeight(cap->SkinRect) - 2}, cap->SkinRect);
  expectReadable("caption", store.FPicture.get(), capText, cap->ActiveFontColor);
  for (const char* n : {"treeview", "listview", "richedit"}) {
    auto* tv = dynamic_cast<TbsDataSkinTreeView*>(ctrl(n));
    auto* lv = dynamic_cast<TbsDataSkinListView*>(ctrl(n));
    auto* re = dynamic_cast<TbsDataSkinRichEdit*>(ctrl(n));
    TColor fg = tv ? tv->FontColor : lv ? lv->FontColor : re->FontColor;
    TColor bg = tv ? tv->BGColor : lv ? lv->BGColor : re->BGColor;
    EXPECT_GE(Contrast(FromColor(fg), FromColor(bg)), 4.5) << n;
  }
  gfx::TBitmap* hint = store.FActivePictures[size_t(store.HintWindow.WindowPictureIndex)].get();
  TRect hcl = store.HintWindow.ClRect;
  expectReadable("hint", hint, hcl, store.HintWindow.FontColor);
  EXPECT_GE(Contrast(FromColor(store.SkinColors().cBtnText()), FromColor(store.SkinColors().cBtnFace())), 4.5);
  EXPECT_GE(Contrast(FromColor(store.SkinColors().cHighLightText()), FromColor(store.SkinColors().cHighLight())), 4.5);
}

TEST_P(BuiltinSkinsTest, SmallPiecesShowOnTheFacesTheySitOn) {
  SKIN_NEW(TbsSkinData, store);
  LoadBuiltin(store, GetParam());
  QImage atlas = gfx::BitmapToImage(store.FActivePictures[0]->Handle());
  auto ctrl = [&](const char* n) { return store.CtrlList[size_t(store.GetControlIndex(n))].get(); };
  auto rgb = [&](int x, int y) {
    QRgb p = atlas.pixel(x, y);
    return Rgb{qRed(p), qGreen(p), qBlue(p)};
  };
  const Rgb face = FromColor(store.SkinColors().cBtnFace());
  // A picture drawn with its bottom-left colour transparent keeps an
  // outline: the middle of each edge shows, and stands out from the face.
  auto outlined = [&](const std::string& what, const TRect& r) {
    const QRgb key = atlas.pixel(r.Left, r.Bottom - 1);
    const int mx = r.Left + RectWidth(r) / 2, my = r.Top + RectHeight(r) / 2;
    for (auto [x, y] : {std::pair{mx, r.Top}, {mx, r.Bottom - 1}, {r.Left, my}, {r.Right - 1, my}}) {
      EXPECT_NE(atlas.pixel(x, y), key) << store.SkinName << ": " << what << " loses its outline at " << x << "," << y;
      EXPECT_GE(Contrast(rgb(x, y), face), 1.5) << store.SkinName << ": " << what;
    }
  };
  auto* cb = dynamic_cast<TbsDataSkinCheckRadioControl*>(ctrl("checkbox"));
  outlined("unchecked box", cb->UnCheckImageRect);
  outlined("checked box", cb->CheckImageRect);
  auto* sl = dynamic_cast<TbsDataSkinSlider*>(ctrl("slider"));
  TRect thumb = sl->HThumbRect;
  thumb.Right = thumb.Left + RectWidth(thumb) / 2;  // normal, then pressed
  outlined("slider thumb", thumb);
  // An idle tool button is the bar it stands on: its middle row has the
  // colour of the tool bar's middle row.
  auto* tb = dynamic_cast<TbsDataSkinButtonControl*>(ctrl("toolbutton"));
  auto* bar = ctrl("toolpanel");
  const Rgb b = rgb(tb->SkinRect.Left + RectWidth(tb->SkinRect) / 2, tb->SkinRect.Top + RectHeight(tb->SkinRect) / 2);
  const TRect& pr = bar->SkinRect;
  const Rgb p = rgb(pr.Left + RectWidth(pr) / 2, pr.Top + RectHeight(pr) / 2);
  EXPECT_LE(std::abs(b.r - p.r) + std::abs(b.g - p.g) + std::abs(b.b - p.b), 9)
      << store.SkinName << ": tool button tile";
  // The file dialogs' tool glyphs are outlined in an ink that reads on the bar.
  EXPECT_GE(Contrast(FromColor(DialogGlyphInk(&store)), p), 3.0) << store.SkinName << ": dialog glyph ink";
}

TEST_P(BuiltinSkinsTest, ARoundedWindowsShapeRunsUnbrokenDownItsSides) {
  // A window several times the form picture's size, shaped as the form
  // frame shapes it: the mask's sides are tiled down its height, and a tile
  // that took in part of a corner's curve would leave notches in the sides.
  SKIN_NEW(TbsSkinData, store);
  LoadBuiltin(store, GetParam());
  if (!store.FMask || store.FMask->Empty()) GTEST_SKIP() << store.SkinName << " has square corners";
  const int PW = store.FPicture->Width(), PH = store.FPicture->Height();
  const int W = PW * 3, H = PH * 4, dx = W - PW, dy = H - PH;
  const TRect& A = store.MaskRectArea;
  const TbsNinePart src{store.LTPoint, store.RTPoint, store.LBPoint, store.RBPoint, A};
  const TbsNinePart grown{store.LTPoint,
                          {store.RTPoint.X + dx, store.RTPoint.Y},
                          {store.LBPoint.X, store.LBPoint.Y + dy},
                          {store.RBPoint.X + dx, store.RBPoint.Y + dy},
                          {A.Left, A.Top, A.Right + dx, A.Bottom + dy}};
  gfx::HRGN rgn;
  CreateSkinRegion(rgn, src, grown, store.FMask.get(), W, H);
  ASSERT_TRUE(rgn);
  const int corner = 16;  // past the largest corner radius
  std::vector<int> gaps;
  for (int y = corner; y < H - corner; ++y)
    if (!gfx::PtInRegion(rgn, 0, y) || !gfx::PtInRegion(rgn, W - 1, y)) gaps.push_back(y);
  EXPECT_TRUE(gaps.empty()) << store.SkinName << ": " << gaps.size() << " rows missing from the sides, the first at "
                            << gaps.front();
  EXPECT_FALSE(gfx::PtInRegion(rgn, 0, 0)) << "no rounded corner";
  EXPECT_FALSE(gfx::PtInRegion(rgn, 0, H - 1)) << "no rounded corner";
  gfx::DeleteObject(rgn);
}

TEST_P(BuiltinSkinsTest, NarrowPushButtonsKeepRoomForTwoCharactersOnOneLine) {
  // The preview pane's buttons are 30 px wide and say "播放", "暂停", ...:
  // the text area left between the sides must hold them without wrapping,
  // whatever the skin's corner radius.
  SKIN_NEW(TbsSkinData, store);
  LoadBuiltin(store, GetParam());
  auto* b = dynamic_cast<TbsDataSkinButtonControl*>(store.CtrlList[size_t(store.GetControlIndex("button"))].get());
  ASSERT_TRUE(b);
  const int sides = RectWidth(b->SkinRect) - RectWidth(b->ClRect);
  EXPECT_GE(30 - sides, 20) << store.SkinName;
}

TEST_P(BuiltinSkinsTest, ContainerRoundTripsThroughTheStore) {
  const auto& info = BuiltinSkins()[size_t(GetParam())];
  auto bytes = rtl::Resource(BuiltinSkinResourceName(info));
  auto a = MakeOwned<TbsCompressedStoredSkin>();
  rtl::TMemoryStream in;
  in.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  a->LoadFromCompressStream(in);
  rtl::TMemoryStream pa;
  a->DeCompressToStream(pa);
  SKIN_NEW(TbsSkinData, store);
  store.LoadCompressedStoredSkin(a.get());
  auto b = MakeOwned<TbsCompressedStoredSkin>();
  b->LoadFromSkinData(store);
  rtl::TMemoryStream pb;
  b->DeCompressToStream(pb);
  TbsSkinPayload da, db;
  pa.SetPosition(0);
  pb.SetPosition(0);
  ReadSkinPayload(pa, da);
  ReadSkinPayload(pb, db);
  std::vector<std::string> la = SplitSkinLines(da.DescriptionBytes), lb = SplitSkinLines(db.DescriptionBytes);
  for (size_t i = 0; i < std::min(la.size(), lb.size()); ++i) ASSERT_EQ(la[i], lb[i]) << "description line " << i;
  EXPECT_EQ(la.size(), lb.size());
  ASSERT_EQ(pa.Size(), pb.Size());
  EXPECT_EQ(0, std::memcmp(pa.Memory(), pb.Memory(), size_t(pa.Size())));
}

INSTANTIATE_TEST_SUITE_P(Eleven, BuiltinSkinsTest, ::testing::Range(0, 11), [](const auto& info) {
  std::string n = BuiltinSkins()[size_t(info.param)].CompressedFileName;
  return n.substr(0, n.find('.'));
});

TEST(BuiltinPictures, EveryPictureLoadsWithItsSize) {
  struct Want {
    const char* name;
    int w, h;
    gfx::TPixelFormat pf;
  };
  const Want wants[] = {
      {"BS_HTB", 18, 17, gfx::pf4bit},
      {"BS_HRL", 10, 8, gfx::pf4bit},
      {"BS_VTB", 38, 9, gfx::pf4bit},
      {"BS_VRL", 8, 10, gfx::pf4bit},
      {"FOLDER", 16, 16, gfx::pf32bit},
      {"DRIVE", 16, 16, gfx::pf32bit},
      {"FILE", 16, 16, gfx::pf32bit},
      {"MSG_INFORMATION", 32, 32, gfx::pf32bit},
      {"MSG_WARNING", 32, 32, gfx::pf32bit},
      {"MSG_ERROR", 32, 32, gfx::pf32bit},
      {"MSG_QUESTION", 32, 32, gfx::pf32bit},
      {"TB_START", 24, 24, gfx::pf32bit},
      {"TB_START_DISABLED", 24, 24, gfx::pf32bit},
      {"FORMAT_IMAGES", 32 * 288, 32, gfx::pf32bit},
      {"MAINICON", 48, 48, gfx::pf32bit},
      {"EMPTY_LIST", 360, 200, gfx::pf32bit},
  };
  for (const Want& w : wants) {
    auto bytes = rtl::Resource(w.name);
    ASSERT_FALSE(bytes.empty()) << w.name;
    rtl::TMemoryStream ms;
    ms.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    ms.SetPosition(0);
    gfx::TBitmap b;
    b.LoadFromStream(ms);
    EXPECT_EQ(b.Width(), w.w) << w.name;
    EXPECT_EQ(b.Height(), w.h) << w.name;
    EXPECT_EQ(b.PixelFormat(), w.pf) << w.name;
  }
  auto cats = rtl::Resource("CATEGORY_IMAGES");
  ASSERT_FALSE(cats.empty());
}
