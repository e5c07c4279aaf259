#include <gtest/gtest.h>

#include "platform/rtl/strings.h"

using namespace rtl;

TEST(Strings, CodePointPositions) {
  const std::string s = "格式abc转换";
  EXPECT_EQ(Length(s), 7);
  EXPECT_EQ(Pos("abc", s), 3);
  EXPECT_EQ(Pos("转", s), 6);
  EXPECT_EQ(Pos("x", s), 0);
  EXPECT_EQ(Pos("", s), 0);
  EXPECT_EQ(PosEx("a", "abab", 2), 3);
  EXPECT_EQ(PosEx("a", "abab", 9), 0);
  EXPECT_EQ(Copy(s, 2, 3), "式ab");
  EXPECT_EQ(Copy(s, 6, 100), "转换");
  EXPECT_EQ(Copy(s, 0, 1), "格");
  EXPECT_EQ(Copy(s, 8, 1), "");
  EXPECT_EQ(Copy(s, 1, 0), "");
  EXPECT_EQ(Copy("abc", 2, 0x7FFFFFFF), "bc");
  std::string t = s;
  Delete(t, 2, 2);
  EXPECT_EQ(t, "格bc转换");
  Insert("式", t, 2);
  EXPECT_EQ(t, "格式bc转换");
}

TEST(Strings, TrimAndCase) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(UpperCase("abcÄä"), "ABCÄä");
  EXPECT_EQ(AnsiUpperCase("abcä"), "ABCÄ");
  EXPECT_EQ(AnsiLowerCase("ÄBC保"), "äbc保");
  EXPECT_EQ(CompareText("abc", "ABD"), -1);
  EXPECT_TRUE(SameText("Video", "VIDEO"));
  EXPECT_FALSE(SameText("Video", "Vide"));
  EXPECT_EQ(AnsiCompareText("äpfel", "ÄPFEL"), 0);
  EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
  EXPECT_NE(CompareStr("保持原分辨率", "保持原分辨"), 0);  // item texts compare byte-exact
  EXPECT_TRUE(StartsText("*.av", "*.AVI"));
  EXPECT_TRUE(EndsText(".AVI", "clip.avi"));
}

TEST(Strings, ReplaceHexAndUtf) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", 0), "a+b-c");
  EXPECT_EQ(StringReplace("aXbxc", "x", "_", rfReplaceAll | rfIgnoreCase), "a_b_c");
  EXPECT_EQ(StringReplace("abc", "", "_", rfReplaceAll), "abc");
  EXPECT_EQ(IntToStr(-12), "-12");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(ToUtf32("a保"), U"a保");
  EXPECT_EQ(FromUtf32(U"a保\U0001F600"), "a保\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf32("a\xFF"), std::u32string(U"a\uFFFD"));
  EXPECT_FALSE(IsValidUtf8("a\xC0\x80"));
  EXPECT_TRUE(IsValidUtf8("保持"));
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

TEST(Strings, DecodeLegacyGbk) {
  EXPECT_EQ(DecodeLegacy("\xB1\xA3\xB3\xD6", "GBK"), "保持");
  EXPECT_EQ(DecodeLegacy("ab\xB1", "GBK"), "ab\xEF\xBF\xBD");  // truncated pair
  EXPECT_EQ(DecodeLegacy("a\x80", "NO-SUCH-CODEPAGE"), "a\xEF\xBF\xBD");
}
