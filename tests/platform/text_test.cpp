#include "platform/text.h"

#include <gtest/gtest.h>

namespace vu::platform {
namespace {

TEST(Text, Utf8AndUtf16RoundTripIncludingAstralAndNul) {
  const std::string text = std::string("a\0b", 3) + "\xE2\x84\xA2\xC3\xA9\xF0\x9F\x98\x80";
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, std::u16string(u"a\0b", 3) + u"\u2122\u00E9\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Text, InvalidUtf8BecomesReplacementWithoutDroppingBytes) {
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b"),
            u"a\uFFFD"
            u"b");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x84"), u"\uFFFD\uFFFD");  // truncated sequence at the end
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong form
  EXPECT_FALSE(IsValidUtf8("\x99"));
  EXPECT_TRUE(IsValidUtf8("Velloria\xE2\x84\xA2 \xEF\xBF\xBD"));
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(Text, Cp1252KeepsTheTrademarkSign) {
  EXPECT_EQ(Cp1252ToUtf8("Velloria\x99"), "Velloria\xE2\x84\xA2");
  bool lossless = false;
  EXPECT_EQ(Utf8ToCp1252("Velloria\xE2\x84\xA2 \xC3\xA9", &lossless), "Velloria\x99 \xE9");
  EXPECT_TRUE(lossless);
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD", &lossless), "?");
  EXPECT_FALSE(lossless);
}

TEST(Text, CaseFoldingCoversAccentedLetters) {
  EXPECT_EQ(UpperCase("software\\classes\\"), "SOFTWARE\\CLASSES\\");
  EXPECT_EQ(UpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89");  // été
  EXPECT_EQ(LowerCase("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9");
  EXPECT_TRUE(EqualsNoCase("C:\\Windows\\Start Menu", "c:\\WINDOWS\\START MENU"));
  EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
  EXPECT_LT(CompareNoCase("apple", "Banana"), 0);
  EXPECT_GT(CompareNoCase("b", "A"), 0);
  // ASCII and other characters mixed, and a stray byte: the same order whatever the mix.
  EXPECT_EQ(CompareNoCase("Caf\xC3\xA9 Bar", "CAF\xC3\x89 bar"), 0);
  EXPECT_GT(CompareNoCase("\xC3\xA9", "z"), 0);
  EXPECT_LT(CompareNoCase("z\xC3\xA9", "Z\xC3\xAA"), 0);
  EXPECT_EQ(CompareNoCase("a\x80" "b", "A\x80" "B"), 0);
  EXPECT_EQ(UpperCase("Caf\xC3\xA9 \x80x"), "CAF\xC3\x89 \xEF\xBF\xBDX");
}

TEST(Text, WindowsWildcards) {
  EXPECT_TRUE(MatchesPattern("README", "*.*"));
  EXPECT_TRUE(MatchesPattern("x.lnk", "*.*"));
  EXPECT_TRUE(MatchesPattern("Shortcut.LNK", "*.lnk"));
  EXPECT_FALSE(MatchesPattern("Shortcut.lnk.txt", "*.lnk"));
  EXPECT_TRUE(MatchesPattern("a.b.lnk", "*.lnk"));
  EXPECT_TRUE(MatchesPattern("file1.txt", "file?.txt"));
  EXPECT_FALSE(MatchesPattern("file10.txt", "file?.txt"));
  EXPECT_TRUE(MatchesPattern("anything", "*"));
  EXPECT_FALSE(MatchesPattern("", "?"));
  // Many stars against a long name stays fast (no exponential backtracking).
  EXPECT_FALSE(MatchesPattern(std::string(5000, 'a'), "*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace vu::platform
