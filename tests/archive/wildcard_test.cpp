// Wildcard matching of entry names and the entry filter of the components.
#include <gtest/gtest.h>

#include <string>

#include "archive/identify/Kstbase.h"
#include "archive/names/Wildcard.h"

namespace {

using kst::MatchPattern;
using kst::WildCard;

TEST(MatchPattern, EmptySidesMatchOnlyStars) {
  EXPECT_TRUE(MatchPattern("", ""));
  EXPECT_TRUE(MatchPattern("", "***"));
  EXPECT_TRUE(MatchPattern("**", ""));
  EXPECT_FALSE(MatchPattern("", "a"));
  EXPECT_FALSE(MatchPattern("abc", ""));
  EXPECT_TRUE(MatchPattern(".", ""));  // the trailing "." is dropped first
}

TEST(MatchPattern, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(MatchPattern("ReadMe", "rEADmE"));
  EXPECT_FALSE(MatchPattern("\xE4", "\xC4"));
  EXPECT_FALSE(MatchPattern("[", "{"));
}

TEST(MatchPattern, NamesWithoutWildcardsCompareWholeNames) {
  struct TCase {
    const char* Name;
    const char* Pattern;
    bool Match;
  };
  const TCase Cases[] = {
      {"T0001-PAL.bmp", "t0001-pal.BMP", true},
      {"abc", "abcd", false},
      {"abcd", "abc", false},
      {"file..", "file.", false},
      {"file..", "file", false},
      {"x", "X.", true},
      {"", ".", true},
      {"a.b", "a.c", false},
      {"a-b", "a_b", false},
  };
  for (const TCase& Case : Cases)
    EXPECT_EQ(MatchPattern(Case.Name, Case.Pattern), Case.Match) << Case.Name << " / " << Case.Pattern;
}

TEST(WildCard, StarDotStarNeedsAnExtension) {
  EXPECT_FALSE(WildCard("readme", "*.*"));
  EXPECT_TRUE(WildCard("readme.txt", "*.*"));
}

TEST(WildCard, QuestionMarkMatchesOneCharacterOnEitherSide) {
  EXPECT_TRUE(WildCard("a.txt", "?.txt"));
  EXPECT_TRUE(WildCard("?.txt", "b.txt"));
  EXPECT_TRUE(WildCard("ab.t?t", "a?.txt"));
  EXPECT_FALSE(WildCard("ab.txt", "?.txt"));
  EXPECT_FALSE(WildCard(".txt", "?.txt"));
}

TEST(WildCard, StarInTheNameMatchesAnyPatternAtThatPlace) {
  EXPECT_TRUE(WildCard("*.bmp", "foo.bmp"));
  EXPECT_TRUE(WildCard("a*.txt", "abc.txt"));
  EXPECT_TRUE(WildCard("abc.*", "abc.txt"));
  EXPECT_FALSE(WildCard("a*.txt", "bcd.txt"));
}

TEST(WildCard, TrailingDotIsIgnoredOnBothSides) {
  EXPECT_TRUE(WildCard("file.", "file"));
  EXPECT_TRUE(WildCard("file", "file."));
}

TEST(WildCard, ExtensionPatternIgnoresDirectoriesAndCase) {
  EXPECT_TRUE(WildCard("a.bmp", "*.bmp"));
  EXPECT_TRUE(WildCard("dir\\B.BMP", "*.bmp"));
  EXPECT_FALSE(WildCard("a.bmp.txt", "*.bmp"));
  EXPECT_FALSE(WildCard("a.bmpx", "*.bmp"));
  EXPECT_FALSE(WildCard("bmp", "*.bmp"));
}

TEST(WildCard, LoneStarMatchesOnlyNamesWithoutExtension) {
  EXPECT_TRUE(WildCard("readme", "*"));
  EXPECT_FALSE(WildCard("a.bmp", "*"));
}

TEST(WildCard, PatternWithDirectoryMatchesTheDirectoryToo) {
  EXPECT_TRUE(WildCard("dir\\a.bmp", "dir\\*.bmp"));
  EXPECT_TRUE(WildCard("DIR\\a.bmp", "dir\\*.bmp"));
  EXPECT_FALSE(WildCard("other\\a.bmp", "dir\\*.bmp"));
  EXPECT_FALSE(WildCard("a.bmp", "dir\\*.bmp"));
  EXPECT_TRUE(WildCard("d1\\d2\\a.bmp", "d1\\*\\*.bmp"));
  EXPECT_TRUE(WildCard("x\\y\\a.bmp", "*\\*.bmp"));
  EXPECT_TRUE(WildCard("C:\\a.txt", "C:\\*.txt"));
  EXPECT_FALSE(WildCard("C:\\x\\a.txt", "C:\\*.txt"));
}

TEST(WildCard, ManyStarsFinishQuickly) {
  // Names come from archives: a naive search would take astronomically long here.
  const std::string Stars(300, '*');
  EXPECT_FALSE(WildCard(Stars + "x.bmp", "abcdefghijklmnopqrstuvwxyz.bmp"));
  EXPECT_TRUE(WildCard(Stars + "z.bmp", "abcdefghijklmnopqrstuvwxyz.bmp"));
  EXPECT_FALSE(MatchPattern(std::string(200, 'a') + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*ac"));
  std::string Alternating;
  for (int I = 0; I < 200; ++I) Alternating += "*?";
  EXPECT_FALSE(MatchPattern(Alternating + "q", std::string(150, 'a') + "r"));
}

TEST(IsWildCard, OneEntryWithAStar) {
  EXPECT_TRUE(kst::IsWildCard({"*.bmp"}));
  EXPECT_FALSE(kst::IsWildCard({"a.bmp"}));
  EXPECT_FALSE(kst::IsWildCard({"*.bmp", "*.txt"}));
  EXPECT_FALSE(kst::IsWildCard({}));
  EXPECT_FALSE(kst::IsWildCard({"?.bmp"}));
}

class CheckWildCardTest : public ::testing::Test {
 protected:
  kst::TZipCommon Common;
};

TEST_F(CheckWildCardTest, EmptyFileSpecOrNameSelectsNothing) {
  EXPECT_FALSE(Common.CheckWildCard("a.bmp"));
  Common.FileSpec = {"*.*"};
  EXPECT_FALSE(Common.CheckWildCard(""));
}

TEST_F(CheckWildCardTest, StarDotStarSelectsNamesWithoutExtensionToo) {
  Common.FileSpec = {"*.*"};
  EXPECT_TRUE(Common.CheckWildCard("readme"));
  EXPECT_TRUE(Common.CheckWildCard("dir\\a.bmp"));
}

TEST_F(CheckWildCardTest, AnyEntryOfFileSpecSelects) {
  Common.FileSpec = {"*.txt", "*.bmp"};
  EXPECT_TRUE(Common.CheckWildCard("x.bmp"));
  EXPECT_TRUE(Common.CheckWildCard("x.TXT"));
  EXPECT_FALSE(Common.CheckWildCard("x.jpg"));
}

TEST_F(CheckWildCardTest, ExcludeSpecRemovesSelectedNames) {
  Common.FileSpec = {"*.bmp"};
  Common.ExcludeSpec = {"secret*.*"};
  EXPECT_TRUE(Common.CheckWildCard("rotor.bmp"));
  EXPECT_FALSE(Common.CheckWildCard("secret1.bmp"));
  Common.ExcludeSpec = {"*.*"};
  EXPECT_FALSE(Common.CheckWildCard("rotor.bmp"));
  Common.FileSpec = {"*"};
  EXPECT_FALSE(Common.CheckWildCard("readme"));
}

}  // namespace
