// Name and path helpers: separator and character-set conversion, directory
// tails, roots, stored directory clean-up, tokens, digits and progress figures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "archive/crc/Crc.h"
#include "archive/names/EntryName.h"
#include "archive/names/NameConversion.h"
#include "archive/names/PathStrings.h"
#include "archive/core/Progress.h"
#include "archive/names/Tokens.h"
#include "platform/Codepage.h"
#include "platform/NameBackslash.h"
#include "platform/Utf8Names.h"

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

// An Info-ZIP Unicode Path field (0x7075, version 1) for the header name Raw.
std::string UnicodePathField(const std::string& Raw, const std::string& Utf8, uint32_t CrcFlip = 0) {
  uint32_t Crc = CRC_MASK;
  Crc32_buf(Raw.data(), int64_t(Raw.size()), Crc);
  Crc = (Crc ^ CRC_MASK) ^ CrcFlip;
  const size_t Size = 5 + Utf8.size();
  std::string Field = {'\x75', '\x70', char(Size), char(Size >> 8), '\x01'};
  for (int I = 0; I < 4; ++I) Field += char(Crc >> (8 * I));
  return Field + Utf8;
}

TEST(EntryName, NamesAsTheirWritersMeantThem) {
  const std::string Utf8 = "dir/\xC3\x86r\xC3\xB8.txt";  // "dir/Ærø.txt"
  const std::string Oem = "dir/\x92r\x9B.txt";           // the same in code page 437
  const std::string AsUtf8 = UnixToDosFilename(platform::Utf8ToAnsi(Utf8));
  const std::string AsOem = doOemToChar(Oem, true);
  const std::string Utf8AsOem = doOemToChar(Utf8, true);
  constexpr int Dos = 0x0014, Ntfs = 0x0B14, Unix = 0x0314, Mac = 0x1314;
  struct TCase {
    std::string Raw;
    uint16_t Flags;
    int MadeBy;
    std::string Extra;
    std::string Expected;
  };
  const TCase Cases[] = {
      {Utf8, 0x0800, Dos, "", AsUtf8},  // flagged UTF-8 wins over the system
      {Utf8, 0, Unix, "", AsUtf8},      // valid UTF-8 made on Unix
      {Utf8, 0, Mac, "", AsUtf8},
      {Utf8, 0, Dos, "", Utf8AsOem},  // DOS family: always OEM
      {Utf8, 0, Ntfs, "", Utf8AsOem},
      {Utf8, 0, kMadeByUnknown, "", Utf8AsOem},  // local-header walk: OEM
      {Oem, 0, Unix, "", AsOem},                 // not UTF-8: OEM whatever the system
      {"a/b.txt", 0, Unix, "", "a\\b.txt"},      // ASCII as ever
      {"u.txt", 0, Dos, UnicodePathField("u.txt", Utf8), AsUtf8},
      {"u.txt", 0, kMadeByUnknown, std::string("\x01\x00\x00\x00", 4) + UnicodePathField("u.txt", Utf8), AsUtf8},
      {"u.txt", 0, Dos, UnicodePathField("u.txt", Utf8, 1), "u.txt"},             // CRC mismatch: ignored
      {"u.txt", 0, Dos, UnicodePathField("u.txt", Utf8).substr(0, 12), "u.txt"},  // cut short
      {"u.txt", 0, Dos, "\x75\x70\xFF\xFF\x01", "u.txt"},                         // length past the end
  };
  for (const TCase& C : Cases) {
    EXPECT_EQ(EntryName({C.Raw, C.Flags, C.MadeBy, C.Extra}, true, TNameZeros::Cut), C.Expected)
        << C.Raw << " made by " << C.MadeBy;
  }
  const std::string WithZero("a\0b.txt", 7);
  EXPECT_EQ(EntryName({WithZero, 0, Unix, ""}, true, TNameZeros::Cut), "a");
  EXPECT_EQ(EntryName({WithZero, 0, Unix, ""}, true, TNameZeros::Space), "a b.txt");
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE6\x97"));      // cut short
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(EntryName, BackslashesOfForeignNamesKeptWhenAsked) {
  const std::string Kept(platform::kNameBackslash);
  constexpr int Dos = 0x0014, Unix = 0x0314;
  struct TCase {
    std::string Raw;
    int MadeBy;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"d/a\\b\\", Unix, "d\\a" + Kept + "b" + Kept},
      {"a\\\x92.txt", Unix, "a" + Kept + doOemToChar("\x92.txt", true)},  // OEM name: each part converted
      {"a\\b.txt", Dos, "a\\b.txt"},                                      // DOS family: a separator
      {"a\\b.txt", kMadeByUnknown, "a\\b.txt"},
  };
  for (const TCase& C : Cases) {
    EXPECT_EQ(EntryName({C.Raw, 0, C.MadeBy, ""}, true, TNameZeros::Cut, TForeignBackslash::Literal), C.Expected)
        << C.Raw << " made by " << C.MadeBy;
  }
  EXPECT_EQ(EntryName({"a\\b.txt", 0, Unix, ""}, true, TNameZeros::Cut), "a\\b.txt") << "a separator by default";
  EXPECT_EQ(platform::WithNameBackslashes("d/a" + Kept + "b" + Kept), "d/a\\b\\");
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
  EXPECT_EQ(DecodeDir("  a/b\xFF"
                      "c  "),
            "a\\b\\c");
  EXPECT_EQ(DecodeDir("\x81/x"), "\x81/x");         // "/" is the trail byte
  EXPECT_EQ(DecodeDir("\xE0\xFF/"), "\xE0\xFF\\");  // byte 255 as trail byte stays
  EXPECT_EQ(DecodeDir("\xFE/"), "\xFE\\");          // 0xFE leads nothing
  EXPECT_EQ(DecodeDir("\x9F"), "\x9F");             // a lead byte at the end
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
