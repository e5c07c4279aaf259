// The skin store: folder loads, lookups, the FORMINFO fix-ups, the broadcast
// and its pairing (also when a load fails), clearing, saving and switching.
#include <gtest/gtest.h>

#include "platform/rtl/files.h"
#include "skin/data/bsSkinData.h"
#include "skin_test_util.h"

using namespace skin;
using skintest::DumpOf;
using skintest::FakeForms;
using skintest::TempDir;

namespace {

TEST(SkinStore, LoadsTheTestSkinFolder) {
  TempDir dir;
  SKIN_NEW(TbsSkinData, store);
  store.LoadFromFile(skintest::CopyTestSkin(dir));
  ASSERT_FALSE(store.Empty);
  EXPECT_EQ(store.SkinName, "Test Skin");
  EXPECT_EQ(store.ObjectList.size(), 10u);
  EXPECT_EQ(store.CtrlList.size(), 28u);  // "my:button:extra" makes no record
  EXPECT_EQ(store.FActivePictures.size(), 3u);
  EXPECT_EQ(store.FPicture->Width(), 16);
  EXPECT_EQ(store.FMask->Height(), 12);
  EXPECT_FALSE(store.FInActivePicture->Empty());

  // Lookup is exact and case-sensitive.
  EXPECT_EQ(store.GetControlIndex("button"), 0);
  EXPECT_EQ(store.GetControlIndex("Button"), -1);
  EXPECT_EQ(store.GetIndex("caption"), 0);
  EXPECT_EQ(store.GetIndex("button"), -1);

  // Quirks as loaded from a real description.
  auto* close = dynamic_cast<TbsDataSkinStdButton*>(store.ObjectList[1].get());
  ASSERT_TRUE(close);
  EXPECT_EQ(close->DisableSkinRect, (TRect{4, 0, 6, 2}));
  auto* plain = dynamic_cast<TbsDataSkinButton*>(store.ObjectList[store.GetIndex("plain")].get());
  EXPECT_EQ(plain->DisableSkinRect, (TRect{0, 0, 0, 0}));  // "...rect" is not the key
  auto* caption = dynamic_cast<TbsDataSkinCaption*>(store.ObjectList[0].get());
  EXPECT_EQ(caption->ReflectionColor, 8421504);
  EXPECT_EQ(caption->GlowSize, 3);
  EXPECT_EQ(caption->Alignment, taLeftJustify);
  auto* roll = dynamic_cast<TbsDataSkinStdButton*>(store.ObjectList[store.GetIndex("rollupbutton")].get());
  EXPECT_EQ(roll->Command, cmMinimizeToTray);  // "cmROLLUP" is no command word
  EXPECT_EQ(roll->RestoreHint, "");
  auto* item = dynamic_cast<TbsDataSkinMenuItem*>(store.ObjectList[store.GetIndex("menuitem")].get());
  EXPECT_EQ(item->ActiveCheckImageRect, (TRect{2, 2, 4, 4}));
  EXPECT_EQ(item->ActiveRadioImageRect, item->RadioImageRect);
  EXPECT_EQ(item->ActiveArrowImageRect, item->ArrowImageRect);  // 0,0,0,10 has no width
  auto* bar = dynamic_cast<TbsDataSkinMainMenuBarItem*>(store.ObjectList[store.GetIndex("mainmenubaritem")].get());
  EXPECT_EQ(bar->UnEnabledFontColor, 8421504);
  auto* button = dynamic_cast<TbsDataSkinButtonControl*>(store.CtrlList[0].get());
  EXPECT_EQ(button->StretchType, bsstHorz);  // "stVert"
  EXPECT_EQ(FontStylesToBits(button->FontStyle), FontStyleBold);
  EXPECT_EQ(button->GlowLayerOffsetRight, 3);
  auto* tree = dynamic_cast<TbsDataSkinTreeView*>(store.CtrlList[store.GetControlIndex("treeview")].get());
  EXPECT_EQ(tree->BGColor, 0);
  EXPECT_EQ(store.SkinColors().cWindow(), SysColor(COLOR_WINDOW));
  EXPECT_EQ(store.SkinColors().cHighLight(), SysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(store.SkinColors().cBtnShadow(), SysColor(COLOR_BTNSHADOW));  // missing key
  EXPECT_EQ(store.HintWindow.FontHeight, 14);
  EXPECT_EQ(store.InActiveEffect, ieSplitBlur);
  EXPECT_EQ(store.BGPictureIndex, 1);
  EXPECT_TRUE(store.TopStretch);
  EXPECT_FALSE(store.BottomStretch);
}

TEST(SkinStore, FirstOfTwoEqualNamesWins) {
  TempDir dir;
  skintest::WriteFile(dir.File("d.ini"),
                      "[VERSION]\nver=1\n[PICTURES]\npicture=\n[FORMINFO]\nborderwidth=1\n[SKINOBJECTS]\ncount=0\n"
                      "[SKINCONTROLS]\ncount=2\n0=x:edit\n1=x:panel\n");
  SKIN_NEW(TbsSkinData, store);
  store.LoadFromFile(dir.File("d.ini"));
  ASSERT_EQ(store.GetControlIndex("x"), 0);
  EXPECT_TRUE(dynamic_cast<TbsDataSkinEditControl*>(store.CtrlList[0].get()));
}

TEST(SkinStore, RecordsNamedLikeTheStoreSectionsStayOut) {
  TempDir dir;
  skintest::WriteFile(dir.File("d.ini"),
                      "[VERSION]\nver=1\n[PICTURES]\npicture=\n[FORMINFO]\nborderwidth=1\n[SKINOBJECTS]\ncount=1\n"
                      "0=FormInfo:caption\n[SKINCONTROLS]\ncount=2\n0=hintwindow:panel\n1=x:panel\n");
  SKIN_NEW(TbsSkinData, store);
  store.LoadFromFile(dir.File("d.ini"));
  EXPECT_TRUE(store.ObjectList.empty());
  ASSERT_EQ(store.CtrlList.size(), 1u);
  EXPECT_EQ(store.CtrlList[0]->IDName, "x");

  // Records made in code under those names are not written over the store's sections.
  const std::string file = skintest::CopyTestSkin(dir);
  store.LoadFromFile(file);
  for (const char* name : {"hintwindow", "SKINOBJECTS", "pictures"}) {
    store.CtrlList.push_back(CreateControlRecord("panel", name));
    store.ObjectList.push_back(CreateObjectRecord("caption", name));
  }
  store.SaveToFile(file);
  store.LoadFromFile(file);
  EXPECT_EQ(store.ObjectList.size(), 10u);
  EXPECT_EQ(store.CtrlList.size(), 28u);
  EXPECT_EQ(store.HintWindow.WindowPictureIndex, 0);
  EXPECT_EQ(store.FActivePictures.size(), 3u);
}

TEST(SkinStore, FormInfoFixUps) {
  struct {
    const char* forminfo;
    bool mask;
    TRect maskArea;
    TPoint lt, rb, hitLT, hitRT;
  } cases[] = {
      // No pull when RB = LT; no mask: area and hit points as read.
      {"clientrect=2,2,10,10\nhittestlefttoppoint=5,0\n", false, {0, 0, 0, 0}, {0, 0}, {0, 0}, {5, 0}, {0, 0}},
      // With a mask: a null area becomes ClRect, null hit points take the corners.
      {"lefttoppoint=1,1\nrightbottompoint=12,12\nclientrect=2,2,10,10\nhittestlefttoppoint=5,0\n"
       "hittestrighttoppoint=9,3\n",
       true,
       {2, 2, 10, 10},
       {2, 2},
       {10, 10},
       {1, 1},
       {9, 3}},
      // A non-null area grows to contain ClRect.
      {"lefttoppoint=3,3\nrightbottompoint=8,8\nclientrect=2,2,10,10\nmaskrectarea=4,0,6,20\n",
       true,
       {2, 0, 10, 20},
       {3, 3},
       {8, 8},
       {3, 3},
       {0, 0}},
  };
  for (auto& c : cases) {
    SKIN_NEW(TbsSkinData, store);
    store.FMaskName = c.mask ? "mask.bmp" : "";
    auto ini = skintest::IniFromText(std::string("[FORMINFO]\n") + c.forminfo);
    store.LoadFormInfo(*ini);
    EXPECT_EQ(store.MaskRectArea, c.maskArea) << c.forminfo;
    EXPECT_EQ(store.LTPoint, c.lt) << c.forminfo;
    EXPECT_EQ(store.RBPoint, c.rb) << c.forminfo;
    EXPECT_EQ(store.HitTestLTPoint, c.hitLT) << c.forminfo;
    EXPECT_EQ(store.HitTestRTPoint, c.hitRT) << c.forminfo;
  }
}

TEST(SkinStore, BroadcastOrderAndPairing) {
  FakeForms forms;
  auto owner = forms.Add("owner");
  forms.Add("layer", "TbsFormLayerWindow");
  forms.Add("second");
  TempDir dir;
  std::string file = skintest::CopyTestSkin(dir);
  SKIN_NEW(TbsSkinData, store);
  store.OwnerForm = owner;

  store.SetShowLayeredBorders(false);
  forms.log.clear();
  store.LoadFromFile(file);  // its LAYERFRAME has a picture
  ASSERT_EQ(forms.log.size(), 6u);
  const char* order[] = {"owner", "second"};
  const unsigned msgs[] = {WM_BEFORE_CHANGE_SKIN_DATA, WM_CHANGE_SKIN_DATA, WM_AFTER_CHANGE_SKIN_DATA};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(forms.log[i].form, order[i % 2]);
    EXPECT_EQ(forms.log[i].msg, msgs[i / 2]);
  }
  EXPECT_EQ(forms.lastLParam, SKIN_MESSAGE_LPARAM);
  // before: still changing and empty; change: loaded, still changing; after: done.
  EXPECT_TRUE(forms.log[0].empty && forms.log[0].changing);
  EXPECT_TRUE(!forms.log[2].empty && forms.log[2].changing);
  EXPECT_TRUE(!forms.log[4].empty && !forms.log[4].changing);

  // Layered borders on and a layer picture: screen order reversed, the owner
  // takes its place in it.
  forms.log.clear();
  store.SetShowLayeredBorders(true);
  EXPECT_EQ(forms.Messages("second"), (std::vector<unsigned>{WM_CHANGE_LAYERED_BORDERS}));
  forms.log.clear();
  store.LoadFromFile(file);
  ASSERT_EQ(forms.log.size(), 6u);
  EXPECT_EQ(forms.log[0].form, "second");
  EXPECT_EQ(forms.log[1].form, "owner");
  EXPECT_TRUE(forms.Messages("layer").empty());

  forms.log.clear();
  store.ClearSkin();
  EXPECT_EQ(forms.Messages("owner"),
            (std::vector<unsigned>{WM_BEFORE_CHANGE_SKIN_DATA, WM_CHANGE_SKIN_DATA, WM_AFTER_CHANGE_SKIN_DATA}));
  EXPECT_TRUE(forms.log.back().empty);
  // Without a layer picture the order is the screen order again.
  forms.log.clear();
  store.ClearSkin();
  EXPECT_EQ(forms.log[0].form, "owner");

  SKIN_NEW(TbsResourceStrData, texts);
  forms.log.clear();
  store.SetResourceStrData(&texts);
  store.SetSkinnableForm(false);
  store.SetSkinnableForm(false);  // unchanged: nothing sent
  EXPECT_EQ(forms.Messages("owner"), (std::vector<unsigned>{WM_CHANGE_RESOURCE_STR_DATA, WM_CHANGE_SKINNABLE_FORM}));
}

TEST(SkinStore, OwnedByAFormAndToldWhenReferencesGo) {
  FakeForms forms;
  forms.Add("first");
  auto ownerForm = forms.Add("owner");
  auto* owner = new cl::TComponent(nullptr);
  forms.componentForms[owner] = ownerForm;
  auto* store = new TbsSkinData(owner);
  store->SetShowLayeredBorders(false);
  forms.log.clear();
  store->ClearSkin();
  ASSERT_EQ(forms.log.size(), 6u);
  EXPECT_EQ(forms.log[0].form, "owner");
  EXPECT_EQ(forms.log[1].form, "first");

  auto* texts = new TbsResourceStrData(nullptr);
  auto* stored = new TbsCompressedStoredSkin(nullptr);
  store->SetResourceStrData(texts);
  store->SetCompressedStoredSkin(stored);  // empty: loads nothing
  texts->Free();
  stored->Free();
  EXPECT_EQ(store->ResourceStrData(), nullptr);
  EXPECT_EQ(store->CompressedStoredSkin(), nullptr);
  owner->Free();  // frees the store it owns
}

TEST(SkinStore, AFailedLoadStillFinishesTheChange) {
  struct {
    const char* what;
    const char* from;
    const char* to;
  } damages[] = {
      {"missing picture", "\n1=form.bmp", "\n1=nosuch.bmp"},
      {"short rect", "clientrect=2,2,14,10", "clientrect=2,2,14"},
      {"not a bitmap", "mask=mask.bmp", "mask=skin.ini"},
  };
  for (auto& d : damages) {
    FakeForms forms;
    auto owner = forms.Add("owner");
    TempDir dir;
    std::string file = skintest::CopyTestSkin(dir);
    std::string text = skintest::ReadFile(file);
    text.replace(text.find(d.from), std::string(d.from).size(), d.to);
    skintest::WriteFile(file, text);
    SKIN_NEW(TbsSkinData, store);
    store.OwnerForm = owner;
    EXPECT_THROW(store.LoadFromFile(file), rtl::Exception) << d.what;
    EXPECT_EQ(forms.Messages("owner"),
              (std::vector<unsigned>{WM_BEFORE_CHANGE_SKIN_DATA, WM_CHANGE_SKIN_DATA, WM_AFTER_CHANGE_SKIN_DATA}))
        << d.what;
    EXPECT_TRUE(store.Empty) << d.what;
    EXPECT_FALSE(store.ChangeSkinDataProcess) << d.what;
    EXPECT_TRUE(store.CtrlList.empty() && store.FActivePictures.empty()) << d.what;
  }
}

TEST(SkinStore, NoSkinNoMessage) {
  FakeForms forms;
  forms.Add("owner");
  TempDir dir;
  SKIN_NEW(TbsSkinData, store);
  store.LoadFromFile(dir.File("absent.ini"));
  skintest::WriteFile(dir.File("bad.ini"), "[VERSION]\nver=1\n[SKINOBJECTS]\n");
  store.LoadFromFile(dir.File("bad.ini"));
  SKIN_NEW(TbsCompressedStoredSkin, emptySkin);
  store.LoadCompressedStoredSkin(&emptySkin);
  EXPECT_TRUE(forms.log.empty());
  EXPECT_TRUE(store.Empty);
}

TEST(SkinStore, ClearedSkinSavesEmptyNamesZeroCountsAndSystemColours) {
  TempDir dir;
  SKIN_NEW(TbsSkinData, store);
  EXPECT_EQ(store.SkinColors().cBtnFace(), 0);  // a new store's colours are all 0
  EXPECT_EQ(store.SkinColors().cWindowText(), 0);
  store.LoadFromFile(skintest::CopyTestSkin(dir));
  store.ClearSkin();
  store.SaveToFile(dir.File("out.ini"));
  auto ini = skintest::IniFromText(skintest::ReadFile(dir.File("out.ini")));
  EXPECT_EQ(ini->ReadString("PICTURES", "picture", "x"), "");
  EXPECT_EQ(ini->ReadString("PICTURES", "mask", "x"), "");
  EXPECT_EQ(ini->ReadString("PICTURES", "activepicturescount", ""), "0");
  EXPECT_EQ(ini->ReadString("SKINOBJECTS", "count", ""), "0");
  EXPECT_EQ(ini->ReadString("SKINCONTROLS", "count", ""), "0");
  EXPECT_EQ(ini->ReadString("SKINCOLORS", "cbtnface", ""), "-16777201");
  EXPECT_EQ(ini->ReadString("LAYERFRAME", "pictureindex", ""), "-1");
}

TEST(SkinStore, StoreToDiskWritesAFolderThatLoadsTheSame) {
  TempDir a, b;
  SKIN_NEW(TbsSkinData, store);
  store.LoadFromFile(skintest::CopyTestSkin(a));
  store.StoreToDisk(b.File("skin.ini"));
  SKIN_NEW(TbsSkinData, again);
  again.LoadFromFile(b.File("skin.ini"));
  EXPECT_FALSE(again.Empty);
  EXPECT_EQ(DumpOf(store), DumpOf(again));
  // Writing into an existing description keeps its foreign sections in front.
  skintest::WriteFile(b.File("keep.ini"), "[Mine]\nx=1\n");
  store.SaveToFile(b.File("keep.ini"));
  EXPECT_EQ(skintest::SectionOrder(skintest::ReadFile(b.File("keep.ini"))).front(), "Mine");
}

TEST(SkinStore, StoreToDiskKeepsToItsFolderAndReportsMismatches) {
  TempDir a, b;
  SKIN_NEW(TbsSkinData, store);
  store.LoadFromFile(skintest::CopyTestSkin(a));
  store.FActivePicturesNames[0] = "../escape.bmp";
  store.FActivePicturesNames.push_back("extra.bmp");
  try {
    store.StoreToDisk(b.File("sub.ini"));
    FAIL() << "no report";
  } catch (const rtl::Exception& e) {
    EXPECT_NE(e.Message().find("../escape.bmp"), std::string::npos);
    EXPECT_NE(e.Message().find("names 4 active pictures but holds 3"), std::string::npos);
  }
  EXPECT_FALSE(rtl::FileExists(a.File("../escape.bmp")));
  EXPECT_TRUE(rtl::FileExists(b.File("form.bmp")));  // the rest is written
  EXPECT_TRUE(rtl::FileExists(b.File("sub.ini")));
}

TEST(SkinStore, DescriptionEncodings) {
  TempDir dir;
  std::string file = skintest::CopyTestSkin(dir);
  std::string text = skintest::ReadFile(file);
  text.replace(text.find("skinname=Test Skin"), 18, "skinname=\xE7\x9A\xAE\xE8\x82\xA4");  // 皮肤
  // As UTF-16LE with its byte-order mark.
  std::string utf16 = "\xFF\xFE";
  for (size_t i = 0; i < text.size();) {
    uint32_t cp = uint8_t(text[i]);
    int extra = cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
    if (extra) cp &= extra == 2 ? 0x0F : 0x1F;
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (uint8_t(text[i + k]) & 0x3F);
    i += 1 + extra;
    utf16 += char(cp & 0xFF);
    utf16 += char(cp >> 8);
  }
  skintest::WriteFile(file, utf16);
  SKIN_NEW(TbsSkinData, store);
  store.LoadFromFile(file);
  ASSERT_FALSE(store.Empty);
  EXPECT_EQ(store.SkinName, "\xE7\x9A\xAE\xE8\x82\xA4");
  store.SaveToFile(dir.File("out.ini"));
  EXPECT_EQ(skintest::ReadFile(dir.File("out.ini")).substr(0, 9), "[VERSION]");  // UTF-8 without a BOM
  SKIN_NEW(TbsSkinData, again);
  again.LoadFromFile(dir.File("out.ini"));
  EXPECT_EQ(again.SkinName, "\xE7\x9A\xAE\xE8\x82\xA4");
  store.SkinName = "plain";
  store.SaveToFile(dir.File("ascii.ini"));
  EXPECT_EQ(skintest::ReadFile(dir.File("ascii.ini")).substr(0, 9), "[VERSION]");
}

TEST(SkinStore, SkinIndexRules) {
  TempDir dir;
  SKIN_NEW(TbsCompressedStoredSkin, built);
  built.LoadFromIniFile(skintest::CopyTestSkin(dir));
  ASSERT_FALSE(built.Empty());
  SKIN_NEW(TbsCompressedSkinList, list);
  for (int i = 0; i < 3; ++i) list.Skins().Add()->Skin().SetCompressedData(built.CompressedData());
  EXPECT_EQ(list.Skins().Items(0)->Name, "bsSkin0");
  EXPECT_EQ(list.Skins().Items(2)->GetDisplayName(), "bsSkin2");
  list.Skins().Items(1)->Description = "second";
  SKIN_NEW(TbsCompressedSkinList, copy);
  copy.SetSkins(list.Skins());  // copies, in order, with their blocks
  ASSERT_EQ(copy.Skins().Count(), 3);
  EXPECT_EQ(copy.Skins().Items(1)->Description, "second");
  EXPECT_EQ(copy.Skins().Items(2)->Skin().CompressedData(), built.CompressedData());

  FakeForms forms;
  forms.Add("f");
  SKIN_NEW(TbsSkinData, store);
  store.SetSkinIndex(-5);  // no list: stored unchecked
  EXPECT_EQ(store.SkinIndex(), -5);
  store.SetSkinList(&list);  // index below 0: nothing loads
  EXPECT_TRUE(forms.log.empty());
  store.SetSkinIndex(1);
  EXPECT_EQ(store.SkinIndex(), 1);
  EXPECT_FALSE(store.Empty);
  EXPECT_EQ(forms.log.size(), 3u);
  for (int bad : {1, 3, -1}) store.SetSkinIndex(bad);  // equal, beyond, below: ignored
  EXPECT_EQ(store.SkinIndex(), 1);
  EXPECT_EQ(forms.log.size(), 3u);
  list_owned.reset();  // freeing the list drops the store's reference
  EXPECT_EQ(store.SkinList(), nullptr);
}

}  // namespace
