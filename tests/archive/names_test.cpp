// Name and path helpers: separator and character-set conversion, directory
// tails, roots, stored directory clean-up, tokens, digits and progress figures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "archive/names/NameConversion.h"
#include "archive/names/PathStrings.h"
#include "archive/core/Progress.h"
#include "archive/names/Tokens.h"
#include "platform/Codepage.h"

namespace {

using namespace kst;

TEST(NameConversion, SeparatorsEveryOccurrence) {
  EXPECT_EQ(UnixToDosFilename("a/b//c/"), "a\\b\\\\c\\");
  EXPECT_EQ(DOSToUnixFilename("\\a\\b\\"), "/a/b/");
}

TEST(NameConversion, OemNamesBecomeSystemNames) {
  EXPECT_EQ(doOemToChar("", true), "");
  EXPECT_EQ(doOemToChar("dir/\x81.txt", false), "dir\\\x81.txt");
  EXPECT_EQ(doOemToChar("dir/\x81.txt", true), "dir\\" + platform::OemToAnsi("\x81") + ".txt");
  EXPECT_EQ(doOemToChar("plain/name.bmp", true), "plain\\name.bmp");
}

TEST(NameConversion, SystemNamesBecomeOemNames) {
  EXPECT_EQ(DoCharToUnixOem("", true), "");
  EXPECT_EQ(DoCharToUnixOem("dir\\a.txt", false), "dir/a.txt");
  EXPECT_EQ(DoCharToUnixOem("dir\\a.txt", true), "dir/a.txt");
  EXPECT_EQ(doCharToOem("dir\\a.txt", true), "dir\\a.txt");
  EXPECT_EQ(doCharToOem("\xFC", false), "\xFC");
}

TEST(PathStrings, DirectoryTails) {
  EXPECT_EQ(AppendDirTail(""), "");
  EXPECT_EQ(AppendDirTail("C:\\x"), "C:\\x\\");
  EXPECT_EQ(AppendDirTail("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(RemoveDirTail("a\\\\"), "a\\");
  EXPECT_EQ(RemoveDirTail("a"), "a");
  EXPECT_EQ(RemoveDirTail(""), "");
}

TEST(PathStrings, MakeRelativeDirDropsTheRoot) {
  EXPECT_EQ(MakeRelativeDir("\\dir\\a"), "dir\\a");
  EXPECT_EQ(MakeRelativeDir("C:\\dir\\a"), "dir\\a");
  EXPECT_EQ(MakeRelativeDir("C:dir"), "dir");
  EXPECT_EQ(MakeRelativeDir("dir\\a"), "dir\\a");
  EXPECT_EQ(MakeRelativeDir("\\\\srv\\x"), "\\srv\\x");
  EXPECT_EQ(MakeRelativeDir(""), "");
}

TEST(PathStrings, UncPathsAndNameLengths) {
  EXPECT_TRUE(IsUncPath("\\\\srv"));
  EXPECT_FALSE(IsUncPath("\\\\"));
  EXPECT_FALSE(IsUncPath("\\a\\"));
  EXPECT_EQ(ExtractFilenameOnly("a.b.txt"), 3u);
  EXPECT_EQ(ExtractFilenameOnly("readme"), 6u);
  EXPECT_EQ(ExtractFilenameOnly(".hidden"), 0u);
  EXPECT_EQ(ExtractFilenameOnly(""), 0u);
}

TEST(PathStrings, DecodeDirKeepsTrailBytesOfDoubleByteCharacters) {
  EXPECT_EQ(DecodeDir("  a/b\xFF" "c  "), "a\\b\\c");
  EXPECT_EQ(DecodeDir("\x81/x"), "\x81/x");          // "/" is the trail byte
  EXPECT_EQ(DecodeDir("\xE0\xFF/"), "\xE0\xFF\\");   // byte 255 as trail byte stays
  EXPECT_EQ(DecodeDir("\xFE/"), "\xFE\\");           // 0xFE leads nothing
  EXPECT_EQ(DecodeDir("\x9F"), "\x9F");              // a lead byte at the end
  EXPECT_EQ(DecodeDir("   "), "");
}

TEST(Tokens, GetTokenSplitsAtTheFirstSeparator) {
  std::string S = "a,b,c";
  EXPECT_EQ(GetToken(S, ","), "a");
  EXPECT_EQ(S, "b,c");
  S = ",x";
  EXPECT_EQ(GetToken(S, ","), "");
  EXPECT_EQ(S, "x");
  S = "a::b";
  EXPECT_EQ(GetToken(S, "::"), "a");
  EXPECT_EQ(S, "b");
}

TEST(Tokens, GetTokenWithoutSeparatorTakesEverything) {
  std::string S = "whole";
  EXPECT_EQ(GetToken(S, ","), "whole");
  EXPECT_EQ(S, "");
  S = "whole";
  EXPECT_EQ(GetToken(S, ""), "whole");
  EXPECT_EQ(S, "");
}

TEST(Tokens, IsNumeric) {
  EXPECT_TRUE(IsNumeric(""));
  EXPECT_TRUE(IsNumeric("0123"));
  EXPECT_FALSE(IsNumeric("12a"));
  EXPECT_FALSE(IsNumeric("-1"));
  EXPECT_FALSE(IsNumeric(" 1"));
}

TEST(Progress, PercentIsRoundedAndBounded) {
  EXPECT_EQ(CalcProgress(0, 0), 0);
  EXPECT_EQ(CalcProgress(5, 0), 0);
  EXPECT_EQ(CalcProgress(1, 3), 33);
  EXPECT_EQ(CalcProgress(2, 3), 67);
  EXPECT_EQ(CalcProgress(100, 100), 100);
  EXPECT_EQ(CalcProgress(150, 100), 100);
  EXPECT_EQ(CalcProgress(-5, 100), 0);
  EXPECT_EQ(CalcProgress(5, -100), 0);
  EXPECT_EQ(CalcProgress(UINT32_MAX, UINT32_MAX), 100);  // no overflow of Done * 100
  EXPECT_EQ(CalcProgress(UINT32_MAX / 4, UINT32_MAX), 25);
}

TEST(Progress, MinAndMaxAreUnsigned) {
  EXPECT_EQ(Max(0xFFFFFFFFu, 1u), 0xFFFFFFFFu);
  EXPECT_EQ(Min(0xFFFFFFFFu, 1u), 1u);
}

}  // namespace
