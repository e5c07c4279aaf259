// The interface texts.
#include <gtest/gtest.h>

#include "skin/data/bsSkinData.h"
#include "skin_test_util.h"

using namespace skin;

namespace {

TEST(SkinTexts, DefaultTable) {
  const auto& lines = DefaultResStrings();
  ASSERT_EQ(lines.size(), 131u);
  EXPECT_EQ(lines.front(), "MI_MINCAPTION=Mi&nimize");
  EXPECT_EQ(lines.back(), "DBNAV_REFRESH=REFRESH");
  SKIN_NEW(TbsResourceStrData, texts);
  EXPECT_EQ(texts.ResStrings(), lines);
  EXPECT_EQ(texts.CharSet(), 1);
  struct {
    const char* name;
    const char* text;
  } cases[] = {
      {"mi_mincaption", "Mi&nimize"},      {"FLV_LOOKIN", "Look in: "},
      {"MSG_BTN_NOTOALL", "N&oToAll"},     {"MSG_OVERWRITE", "Do you want to overwrite old file?"},
      {"FIND_REPLACE_All", "Replace All"}, {"NOSUCHNAME", ""},
  };
  for (auto& c : cases) EXPECT_EQ(texts.GetResStr(c.name), c.text) << c.name;
}

TEST(SkinTexts, LookupRules) {
  SKIN_NEW(TbsResourceStrData, texts);
  texts.SetResStrings({"NOEQUALS", "EMPTY=", "TWO=a=b", "DUP=first", "dup=second", "=anonymous"});
  EXPECT_EQ(texts.GetResStr("EMPTY"), "");
  EXPECT_EQ(texts.GetResStr("TWO"), "a=b");
  EXPECT_EQ(texts.GetResStr("Dup"), "first");
  EXPECT_EQ(texts.GetResStr("NOEQUALS"), "");
  EXPECT_EQ(texts.GetResStr(""), "anonymous");
  EXPECT_EQ(texts.GetResStr("MI_MINCAPTION"), "");  // replaced, not merged
}

}  // namespace
