// Skin records: defaults from an empty section, save/load round trips, the
// write-order exceptions and the compatibility quirks of single classes.
#include <gtest/gtest.h>

#include <map>

#include "skin/data/bsSkinData.h"
#include "skin_test_util.h"

using namespace skin;
using skintest::IniFromText;

namespace {

std::unique_ptr<TbsDataSkinRecord> MakeRecord(bool control, const std::string& kw, const std::string& name) {
  if (control) return CreateControlRecord(kw, name);
  return CreateObjectRecord(kw, name);
}

std::vector<std::pair<bool, std::string>> AllKeywords() {
  std::vector<std::pair<bool, std::string>> out;
  for (auto& k : ControlTypeKeywords()) out.push_back({true, k});
  for (auto& k : ObjectTypeKeywords()) out.push_back({false, k});
  return out;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::map<std::string, std::string> AsMap(const std::vector<std::pair<std::string, std::string>>& items) {
  return std::map<std::string, std::string>(items.begin(), items.end());
}

TEST(SkinRecords, EveryClassLoadsItsMissingValuesFromAnEmptySection) {
  auto empty = IniFromText("[other]\na=1\n");
  // Documented non-zero missing values (keyword, control?, key, value).
  struct Special {
    bool control;
    const char* kw;
    const char* key;
    const char* value;
  } specials[] = {
      {true, "button", "animateinterval", "25"},
      {true, "button", "glowlayeralphablendvalue", "255"},
      {true, "stdlabel", "activefontcolor", "16711680"},
      {true, "controlbar", "itemoffset1", "3"},
      {true, "controlbar", "itemoffset2", "3"},
      {true, "listbox", "vscrollbarname", "vscrollbar"},
      {true, "listbox", "hscrollbarname", "hscrollbar"},
      {true, "listbox", "bothhscrollbarname", "bothhscrollbar"},
      {true, "treeview", "bgcolor", "0"},
      {true, "listview", "bgcolor", "0"},
      {true, "richedit", "bgcolor", "0"},
      {true, "panel", "alignment", "tacenter"},
      {true, "panel", "grippertransparentcolor", "0"},
      {true, "scrollbar", "thumbtransparentcolor", "0"},
      {false, "caption", "glowsize", "3"},
      {false, "caption", "animateinterval", "25"},
      {false, "animate", "countframes", "1"},
      {false, "animate", "timerinterval", "50"},
      {false, "menuitem", "animateinterval", "25"},
      {false, "mainmenubaritem", "animateinterval", "25"},
      {false, "stdbutton", "command", "cmdefault"},
      {false, "button", "glowlayeralphablendvalue", "255"},
  };
  for (auto& [control, kw] : AllKeywords()) {
    auto rec = MakeRecord(control, kw, "absent");
    ASSERT_TRUE(rec) << kw;
    rec->LoadFromFile(*empty);
    auto keys = AsMap(rec->ListKeys());
    for (auto& [key, value] : keys) {
      std::string expected;
      if (EndsWith(key, "pictureindex"))
        expected = "-1";
      else if (key == "fontname" || key == "fixedfontname" || key == "captionfontname")
        expected = "Arial";
      else if (key.find("fontheight") != std::string::npos)
        expected = "14";
      else if (EndsWith(key, "rect") || EndsWith(key, "area"))
        expected = "0,0,0,0";
      else if (EndsWith(key, "point"))
        expected = "0,0";
      if (!expected.empty()) {
        EXPECT_EQ(value, expected) << kw << "." << key;
      }
    }
    for (auto& s : specials)
      if (s.control == control && kw == s.kw) {
        EXPECT_EQ(keys.at(s.key), s.value) << kw << "." << s.key;
      }
  }
}

TEST(SkinRecords, SaveThenLoadIsAFixpointForEveryClassOfTheTestSkin) {
  auto src = IniFromText(skintest::ReadFile(skintest::TestSkinFolder() + "/skin.ini"));
  for (auto& [control, kw] : AllKeywords()) {
    // The test skin has a section for every class; fall back to an empty one.
    std::string section = control ? (kw == "scrollbar"    ? "hscrollbar"
                                     : kw == "splitter"   ? "vsplitter"
                                     : kw == "checkradio" ? "checkbox"
                                     : kw == "menubutton" ? "toolmenubutton"
                                     : kw == "updown"     ? "hupdown"
                                                          : kw)
                                  : (kw == "stdbutton"           ? "closebutton"
                                     : kw == "mainmenubarbutton" ? "menubarclosebutton"
                                     : kw == "button"            ? "plain"
                                     : kw == "animate"           ? "minanimate"
                                     : kw == "userobject"        ? "area"
                                                                 : kw);
    auto a = MakeRecord(control, kw, section);
    a->LoadFromFile(*src);
    TbsSkinIniFile out;
    out.WriteString(section, "unknownkey", "dropped");
    a->SaveToFile(out);
    EXPECT_EQ(out.ReadString(section, "unknownkey", "gone"), "gone") << kw;
    auto b = MakeRecord(control, kw, section);
    b->LoadFromFile(out);
    EXPECT_EQ(a->ListKeys(), b->ListKeys()) << kw;
    // Every key the class knows is written, and only those.
    std::vector<std::string> written = skintest::KeyOrder(skintest::IniText(out), section), listed;
    for (auto& kv : a->ListKeys()) listed.push_back(kv.first);
    EXPECT_EQ(written, listed) << kw;
  }
}

// Keys that must appear in this relative order in a saved section.
TEST(SkinRecords, SavedSectionsKeepTheDocumentedWriteOrder) {
  struct {
    bool control;
    const char* kw;
    std::vector<std::string> order;
  } cases[] = {
      {true, "button", {"glowlayeroffsetleft", "glowlayeroffsetright", "glowlayeroffsettop", "glowlayeroffsetbottom"}},
      {true, "checkradio", {"fontcolor", "framefontcolor", "activefontcolor", "unenabledfontcolor", "activeskinrect"}},
      {true, "grid", {"celltextrect", "linescolor", "bgcolor", "bgpictureindex", "fontname"}},
      {true, "controlbar", {"gripoffset2", "itemoffset1", "itemoffset2", "itemstretcheffect", "itemtransparent"}},
      {true,
       "combobox",
       {"activefontcolor", "buttonrect", "activebuttonrect", "downbuttonrect", "unenabledbuttonrect", "listboxname",
        "itemstretcheffect"}},
      {true, "checklistbox", {"buttonsarea", "itemcheckrect", "uncheckimagerect", "checkimagerect"}},
      {true, "spinedit", {"activefontcolor", "disabledfontcolor"}},
      {true, "edit", {"disabledfontcolor", "activefontcolor"}},
      {true, "memo", {"unenabledbuttonrect", "bgcolor", "activebgcolor"}},
      {true, "menubutton", {"glowlayeralphablendvalue", "trackbuttonrect"}},
      {true, "panel", {"stretchtype", "bgpictureindex", "captionrect"}},
      {false,
       "stdbutton",
       {"hint", "glowlayeralphablendvalue", "downrect", "disableskinrsect", "command", "restorerect", "restorehint"}},
      {false, "caption", {"reflectioneffect", "reflactioncolor", "reflactionactivecolor", "reflectionoffset"}},
      {false, "mainmenubaritem", {"downfontcolor", "unenabledfontColor", "stretcheffect"}},
  };
  for (auto& c : cases) {
    auto rec = MakeRecord(c.control, c.kw, "r");
    TbsSkinIniFile out;
    rec->SaveToFile(out);
    auto keys = skintest::KeyOrder(skintest::IniText(out), "r");
    size_t at = 0;
    for (auto& k : c.order) {
      auto it = std::find(keys.begin(), keys.end(), k);
      ASSERT_NE(it, keys.end()) << c.kw << " lacks " << k;
      size_t pos = size_t(it - keys.begin());
      EXPECT_GE(pos, at) << c.kw << ": " << k << " out of order";
      at = pos;
    }
    if (c.kw == std::string("checklistbox") || c.kw == std::string("memo") || c.kw == std::string("menubutton")) {
      EXPECT_EQ(keys.back(), c.order.back()) << c.kw;
    }
  }
  auto stdbutton = MakeRecord(false, "stdbutton", "r");
  TbsSkinIniFile out;
  stdbutton->SaveToFile(out);
  EXPECT_EQ(skintest::KeyOrder(skintest::IniText(out), "r").front(), "hint");
}

TEST(SkinRecords, ClassQuirks) {
  auto ini = IniFromText(
      "[ud]\nlefttoppoint=5,5\nrightbottompoint=3,3\nclientrect=1,1,10,10\nupbuttonrect=1,2,3,4\n"
      "[anim]\nmorphing=1\n"
      "[user]\nactivepictureindex=3\nskinrect=1,2,3,4\n"
      "[hint]\n");
  TbsDataSkinUpDownControl ud("ud");
  ud.LoadFromFile(*ini);
  EXPECT_EQ(ud.LTPoint, (TPoint{0, 0}));
  EXPECT_EQ(ud.ClRect, (TRect{0, 0, 0, 0}));
  EXPECT_EQ(ud.UpButtonRect, (TRect{1, 2, 3, 4}));
  ud.ClRect = TRect{1, 1, 9, 9};  // a consumer's change does not reach the file
  TbsSkinIniFile out;
  ud.SaveToFile(out);
  EXPECT_EQ(out.ReadString("ud", "clientrect", ""), "0,0,0,0");
  EXPECT_EQ(out.ReadString("ud", "lefttoppoint", ""), "0,0");

  TbsDataSkinAnimate anim("anim");
  anim.LoadFromFile(*ini);
  EXPECT_FALSE(anim.Morphing);

  TbsDataUserObject user("user");
  user.LoadFromFile(*ini);
  EXPECT_EQ(user.ActivePictureIndex, -1);
  EXPECT_EQ(user.SkinRect, (TRect{1, 2, 3, 4}));
  EXPECT_EQ(user.ListKeys().size(), 1u);

  TbsDataSkinHintWindow hint;
  EXPECT_EQ(hint.FontHeight, 12);
  hint.LoadFromFile(*ini);
  EXPECT_EQ(hint.FontHeight, 14);

  TbsDataSkinTreeView tree("tree");
  EXPECT_EQ(tree.BGColor, 0xFFFFFF);
  tree.LoadFromFile(*ini);
  EXPECT_EQ(tree.BGColor, 0);

  TbsDataSkinLayerFrame frame;
  frame.LoadFromFile(*ini);
  EXPECT_EQ(frame.AlphaBlendValue, 255);
  EXPECT_EQ(frame.InActiveAlphaBlendValue, 255);
  EXPECT_EQ(frame.PictureIndex, -1);
}

TEST(SkinRecords, RestoreHintRule) {
  struct {
    const char* hint;
    const char* command;
    const char* restore;  // nullptr: key absent
    const char* expected;
  } cases[] = {
      {"Maximize", "cmmaximize", nullptr, "Restore"}, {"maximize", "cmmaximize", nullptr, ""},
      {"Minimize", "cmminimize", nullptr, "Restore"}, {"Minimize", "cmmaximize", nullptr, ""},
      {"Roll Up", "cmrollup", nullptr, "Restore"},    {"RollUp", "cmrollup", nullptr, "Restore"},
      {"Maximize", "cmmaximize", "Back", "Back"},     {"Close", "cmclose", nullptr, ""},
  };
  for (auto& c : cases) {
    std::string text = std::string("[b]\nhint=") + c.hint + "\ncommand=" + c.command + "\n" +
                       (c.restore ? std::string("restorehint=") + c.restore + "\n" : "");
    auto ini = IniFromText(text);
    TbsDataSkinStdButton b("b");
    b.LoadFromFile(*ini);
    EXPECT_EQ(b.RestoreHint, c.expected) << c.hint << "/" << c.command;
    TbsDataSkinAnimate a("b");
    a.LoadFromFile(*ini);
    EXPECT_EQ(a.RestoreHint, c.expected) << c.hint << "/" << c.command;
  }
}

TEST(SkinRecords, KeywordOfTheMostDerivedClassIsWritten) {
  EXPECT_STREQ(TbsDataSkinCheckListBox("x").TypeKeyword(), "checklistbox");
  EXPECT_STREQ(TbsDataSkinMemoControl("x").TypeKeyword(), "memo");
  EXPECT_STREQ(TbsDataSkinMenuButtonControl("x").TypeKeyword(), "menubutton");
  EXPECT_STREQ(TbsDataSkinMainMenuBarButton("x").TypeKeyword(), "mainmenubarbutton");
  EXPECT_STREQ(TbsDataSkinMainMenuItem("x").TypeKeyword(), "");
  EXPECT_FALSE(CreateControlRecord("button:extra", "my"));
  EXPECT_FALSE(CreateObjectRecord("panel", "my"));
  EXPECT_TRUE(dynamic_cast<TbsDataSkinButtonControl*>(CreateControlRecord("button", "b").get()));
  EXPECT_TRUE(dynamic_cast<TbsDataSkinButton*>(CreateObjectRecord("button", "b").get()));
}

}  // namespace
