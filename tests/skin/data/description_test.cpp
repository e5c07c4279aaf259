// The description text: value kinds and their quirks, the validity test, the
// index entries, the writer's section order and the text encodings.
#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "skin/data/bsSkinData.h"
#include "skin_test_util.h"

using namespace skin;
using skintest::IniFromText;
using skintest::TempDir;

namespace {

enum Kind { kRect, kPoint, kFlag, kStyle, kStretch, kEffect, kMorph, kAlign, kInt, kColor, kCommand };

// Reads key "k" of section "S" by kind and renders the result with the
// writer's syntax; "FAIL" when the reader raises.
std::string ReadAs(Kind kind, TIniFile& F) {
  try {
    switch (kind) {
      case kRect:
        return RectToStr(ReadRect(F, "S", "k"));
      case kPoint:
        return PointToStr(ReadPoint(F, "S", "k"));
      case kFlag:
        return ReadBoolFlag(F, "S", "k") ? "1" : "0";
      case kStyle:
        return FontStylesToStr(ReadFontStyles(F, "S", "k"));
      case kStretch:
        return StretchTypeToStr(ReadStretchType(F, "S", "k"));
      case kEffect:
        return InActiveEffectToStr(ReadInActiveEffect(F, "S", "k"));
      case kMorph:
        return MorphKindToStr(ReadMorphKind(F, "S", "k"));
      case kAlign:
        return AlignmentToStr(ReadAlignment(F, "S", "k"));
      case kInt:
        return std::to_string(ReadSkinInteger(F, "S", "k", 77));
      case kColor:
        return std::to_string(ReadSkinColor(F, "S", "k", 5));
      case kCommand:
        return StdCommandToStr(ReadStdCommand(F, "S", "k"));
    }
  } catch (const rtl::EConvertError&) {
    return "FAIL";
  }
  return "?";
}

struct ValueCase {
  Kind kind;
  const char* line;  // nullptr: the key is missing
  const char* expected;
};

TEST(SkinDescription, EveryValueKindReadsAsDocumented) {
  const ValueCase cases[] = {
      {kRect, "k=2,25,290,162", "2,25,290,162"},
      {kRect, "k=-2,25,290,162", "2,25,290,162"},  // digits only: never negative
      {kRect, "k=2,25,290", "FAIL"},
      {kRect, "k=", "FAIL"},
      {kRect, nullptr, "0,0,0,0"},
      {kRect, "k=1,2,3,4,5", "1,2,3,4"},
      {kRect, "k=1,2,3,99999999999", "FAIL"},
      {kPoint, "k = 9 , 25", "9,25"},
      {kPoint, "k=-5, 10", "5,10"},
      {kPoint, "k=7", "FAIL"},
      {kPoint, nullptr, "0,0"},
      {kFlag, "k=2", "0"},
      {kFlag, "k=true", "0"},
      {kFlag, "k=1", "1"},
      {kFlag, "k=0x1", "1"},
      {kFlag, nullptr, "0"},
      {kStyle, "k=fsbold,fsitalic", "fsbold,fsitalic"},
      {kStyle, "k=xfsboldx", "fsbold"},
      {kStyle, "k=FSBOLD", ""},
      {kStyle, "k=fsstrikeout fsunderline", "fsunderline,fsstrikeout"},
      {kStretch, "k=stVert", "sthorz"},
      {kStretch, "k=stvert", "stvert"},
      {kStretch, "k=sthorz", "sthorz"},
      {kStretch, nullptr, "stfull"},
      {kEffect, "k=iedark", "iegrayscale"},
      {kEffect, "k=ieinvert", "ieinvert"},
      {kEffect, nullptr, "iebrightness"},
      {kMorph, "k=mkpush", "mkpush"},
      {kMorph, "k=MKPUSH", "mkdefault"},
      {kMorph, nullptr, "mkdefault"},
      {kAlign, "k=taleftjustify", "taleftjustify"},
      {kAlign, "k=tacentre", "tarightjustify"},
      {kAlign, nullptr, "tacenter"},
      {kInt, "k=$10", "16"},
      {kInt, "k=0x10", "16"},
      {kInt, "k=-7", "-7"},
      {kInt, "k=12abc", "77"},
      {kInt, "k=4294967296", "77"},
      {kInt, nullptr, "77"},
      {kColor, "k=$FF00000F", "-16777201"},
      {kColor, "k=-16777201", "-16777201"},
      {kColor, "k=255", "255"},
      {kColor, "k=red", "5"},
      {kCommand, "k=cmmaximize", "cmmaximize"},
      {kCommand, "k=cmminimizetotray", "cmminimizetotray"},
      {kCommand, "k=CMCLOSE", "cmminimizetotray"},
      {kCommand, "k=", "cmminimizetotray"},
      {kCommand, nullptr, "cmdefault"},
  };
  for (const ValueCase& c : cases) {
    std::string text = std::string("[S]\nother=1\n") + (c.line ? std::string(c.line) + "\n" : "");
    auto ini = IniFromText(text);
    EXPECT_EQ(ReadAs(c.kind, *ini), c.expected) << "line " << (c.line ? c.line : "(missing)");
  }
}

TEST(SkinDescription, WritersUseTheDocumentedSyntax) {
  TbsSkinIniFile ini;
  WriteSkinColor(ini, "S", "sys", SysColor(COLOR_BTNFACE));
  WriteRect(ini, "S", "r", TRect{-1, 2, 3, 4});
  WriteFontStyles(ini, "S", "none", FontStylesFromBits(0));
  WriteFontStyles(ini, "S", "all", FontStylesFromBits(15));
  WriteBoolFlag(ini, "S", "f", true);
  WriteStrings(ini, "S", "pic", {"a.bmp", "b.bmp"});
  EXPECT_EQ(ini.ReadString("S", "sys", ""), "-16777201");
  EXPECT_EQ(ini.ReadString("S", "r", ""), "-1,2,3,4");
  EXPECT_EQ(ini.ReadString("S", "none", "x"), "");
  EXPECT_EQ(ini.ReadString("S", "all", ""), "fsbold,fsitalic,fsunderline,fsstrikeout");
  EXPECT_EQ(ini.ReadString("S", "f", ""), "1");
  EXPECT_EQ(skintest::KeyOrder(skintest::IniText(ini), "S"),
            (std::vector<std::string>{"sys", "r", "none", "all", "f", "piccount", "0", "1"}));
  std::vector<std::string> back;
  ReadStrings(ini, "S", "pic", back);
  EXPECT_EQ(back, (std::vector<std::string>{"a.bmp", "b.bmp"}));
}

TEST(SkinDescription, StringListsAndIndexEntriesToleratesGapsAndAbsurdCounts) {
  auto ini =
      IniFromText("[S]\nlcount=3\n0=a\n2=c\nl1=prefixed\n[I]\ncount=2000000000\n0=a:button\n7=b:panel\n07=x:panel\n");
  std::vector<std::string> items{"keep"};
  ReadStrings(*ini, "S", "l", items);  // appends; a missing item reads as empty; items carry no prefix
  EXPECT_EQ(items, (std::vector<std::string>{"keep", "a", "", "c"}));
  auto entries = ReadIndexEntries(*ini, "I");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].second, "a:button");
  EXPECT_EQ(entries[1].first, 7);
}

TEST(SkinDescription, StringListCountBeyondItsItemsIsRefused) {
  const char* refused[] = {"[S]\nlcount=2000000000\n1999999999=x\n", "[S]\nlcount=2000000000\n",
                           "[S]\nlcount=4098\n0=a\n"};
  for (const char* text : refused) {
    std::vector<std::string> items{"keep"};
    EXPECT_THROW(ReadStrings(*IniFromText(text), "S", "l", items), rtl::EReadError) << text;
    EXPECT_EQ(items, std::vector<std::string>{"keep"}) << text;
  }
  std::vector<std::string> items;
  ReadStrings(*IniFromText("[S]\nlcount=4097\n0=a\n"), "S", "l", items);
  EXPECT_EQ(items.size(), 4097u);
  // A whole skin whose picture list claims two thousand million names.
  TempDir dir;
  skintest::WriteFile(dir.File("d.ini"),
                      "[VERSION]\nver=1\n[PICTURES]\npicture=\nactivepicturescount=2000000000\n1999999999=a.bmp\n"
                      "[FORMINFO]\nborderwidth=1\n[SKINOBJECTS]\ncount=0\n[SKINCONTROLS]\ncount=0\n");
  SKIN_NEW(TbsSkinData, store);
  EXPECT_THROW(store.LoadFromFile(dir.File("d.ini")), rtl::EReadError);
  EXPECT_TRUE(store.Empty);
}

TEST(SkinDescription, ValidityNeedsFiveSectionsWithAKeyEach) {
  const std::string base =
      "[VERSION]\nver=1\n[PICTURES]\npicture=\n[FORMINFO]\nborderwidth=0\n[SKINCONTROLS]\ncount=0\n";
  EXPECT_TRUE(IsValidSkinIni(*IniFromText(base + "[SKINOBJECTS]\ncount=0\n")));
  EXPECT_FALSE(IsValidSkinIni(*IniFromText(base + "[SKINOBJECTS]\n")));
  EXPECT_FALSE(IsValidSkinIni(*IniFromText(base)));
  EXPECT_TRUE(IsValidSkinIni(*IniFromText(base + "[skinobjects]\nCOUNT=0\n")));
}

TEST(SkinDescription, IndexEntriesSplitAtTheFirstColon) {
  struct {
    const char* entry;
    const char* name;
    const char* type;
  } cases[] = {{"my:button:extra", "my", "button:extra"},
               {"button:button", "button", "button"},
               {"nocolon", "", ""},
               {":panel", "", "panel"}};
  for (auto& c : cases) {
    std::string n, t;
    TbsSkinData::SplitSkinEntry(c.entry, n, t);
    EXPECT_EQ(n, c.name) << c.entry;
    EXPECT_EQ(t, c.type) << c.entry;
  }
}

TEST(SkinDescription, FreshWriteComesOutInSectionOrderAfterForeignSections) {
  SKIN_NEW(TbsSkinData, store);
  store.ClearAll();
  auto ini = IniFromText("[Mine]\na=1\n[VERSION]\nold=1\n");
  store.SaveSkinSections(*ini);
  EXPECT_EQ(skintest::SectionOrder(skintest::IniText(*ini)),
            (std::vector<std::string>{"Mine", "VERSION", "PICTURES", "FORMINFO", "POPUPWINDOW", "LAYERFRAME",
                                      "HINTWINDOW", "SKINCOLORS", "SKINOBJECTS", "SKINCONTROLS"}));
  EXPECT_EQ(ini->ReadString("VERSION", "old", "gone"), "gone");
  EXPECT_EQ(skintest::KeyOrder(skintest::IniText(*ini), "FORMINFO").back(), "mainmenubartransparent");
}

TEST(SkinDescription, IniGrammar) {
  auto ini = IniFromText(
      "; leading comment\n[A]\n Key = \"quoted value\" \nkey=second\n; note\n\n[b]\nx=1\n[a]\nlate=1\n[Empty]\n");
  EXPECT_EQ(ini->ReadString("a", "KEY", ""), "\"quoted value\"");  // first duplicate wins; quotes stay
  EXPECT_EQ(ini->ReadString("A", "late", "none"), "none");         // the first [A] wins
  EXPECT_FALSE(ini->SectionExists("Empty"));
  EXPECT_TRUE(ini->SectionExists("B"));
  ini->WriteString("A", "new", "v");
  ini->WriteString("C", "c", "1");
  ini->EraseSection("b");
  ini->WriteString("B", "x", "2");
  std::string text = skintest::IniText(*ini);
  EXPECT_EQ(skintest::SectionOrder(text), (std::vector<std::string>{"A", "a", "Empty", "C", "B"}));
  EXPECT_EQ(skintest::KeyOrder(text, "A"), (std::vector<std::string>{"Key", "key", "new"}));
  EXPECT_NE(text.find("; note"), std::string::npos);
  EXPECT_NE(text.find("late=1"), std::string::npos);  // a shadowed duplicate section is kept as text
}

TEST(SkinDescription, SectionsErasedAndRewrittenAgainAndAgain) {
  // Writing a skin back erases and rewrites every record's section in turn.
  auto ini = IniFromText("[A]\nk=0\n[b]\nx=1\n[a]\nlate=1\n[C]\nc=1\n");
  for (int i = 1; i <= 50; ++i) {
    ini->EraseSection("a");  // both sections of the name go
    ini->WriteString("A", "k", std::to_string(i));
    ini->EraseSection(i % 2 ? "C" : "D");
    ini->WriteString(i % 2 ? "D" : "C", "c", std::to_string(i));
  }
  ini->DeleteKey("b", "x");
  ini->WriteString("b", "y", "2");
  std::string text = skintest::IniText(*ini);
  EXPECT_EQ(skintest::SectionOrder(text), (std::vector<std::string>{"b", "A", "C"}));
  EXPECT_EQ(text.find("late=1"), std::string::npos);
  EXPECT_EQ(ini->ReadString("a", "k", ""), "50");
  EXPECT_EQ(ini->ReadString("C", "c", ""), "50");
  EXPECT_EQ(ini->ReadString("b", "x", "gone"), "gone");
  EXPECT_EQ(ini->ReadString("B", "y", ""), "2");
}

TEST(SkinDescription, TextHonoursByteOrderMarks) {
  const std::string hello = "a=\xE4\xBD\xA0";  // "a=你"
  EXPECT_EQ(DecodeSkinText("\xEF\xBB\xBF" + hello), hello);
  EXPECT_EQ(DecodeSkinText(std::string("\xFF\xFE"
                                       "a\0=\0\x60\x4F",
                                       8)),
            hello);
  EXPECT_EQ(DecodeSkinText(std::string("\xFE\xFF\0a\0=\x4F\x60", 8)), hello);
  EXPECT_EQ(DecodeSkinText(hello), hello);
  EXPECT_EQ(EncodeSkinText("plain"), "plain");
  EXPECT_EQ(EncodeSkinText(hello), hello);  // written without a BOM
  EXPECT_EQ(SplitSkinLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
}

}  // namespace
