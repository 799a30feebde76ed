// OEM/ANSI conversion. On Linux the OEM side is code page 437 and the ANSI side
// UTF-8: the whole upper half must survive a round trip, box-drawing characters
// included, and characters without a code page 437 form come back as "?". On
// Windows the system's own tables apply; the checks there are the accented
// letters both code pages share.
#include <gtest/gtest.h>

#include <string>

#include "platform/Codepage.h"
#include "platform/FileSystem.h"

namespace {

using platform::AnsiToOem;
using platform::OemToAnsi;

TEST(Codepage, AsciiPassesUnchangedBothWays) {
  std::string Ascii;
  for (int B = 1; B < 0x80; ++B) Ascii += static_cast<char>(B);
  EXPECT_EQ(OemToAnsi(Ascii), Ascii);
  EXPECT_EQ(AnsiToOem(Ascii), Ascii);
  EXPECT_EQ(OemToAnsi(""), "");
  EXPECT_EQ(AnsiToOem(""), "");
}

TEST(Codepage, Cp437UpperHalfToUtf8) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows converts to its ANSI code page";
  EXPECT_EQ(OemToAnsi("\x80"), "\xC3\x87");                                      // C cedilla
  EXPECT_EQ(OemToAnsi("\xE1"), "\xC3\x9F");                                      // sharp s
  EXPECT_EQ(OemToAnsi("\xC9\xCD\xBB"), "\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97");  // box corner, line, corner
  EXPECT_EQ(OemToAnsi("\x9E"), "\xE2\x82\xA7");                                  // peseta sign
  EXPECT_EQ(OemToAnsi("\xFF"), "\xC2\xA0");                                      // no-break space
  EXPECT_EQ(OemToAnsi("na\x8Cve.txt"), "na\xC3\xAEve.txt");
}

TEST(Codepage, Cp437RoundTripOfEveryByte) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows converts to its ANSI code page";
  std::string All;
  for (int B = 0; B < 256; ++B) All += static_cast<char>(B);
  EXPECT_EQ(AnsiToOem(OemToAnsi(All)), All);
}

TEST(Codepage, CharactersWithoutCp437FormBecomeQuestionMarks) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows uses its own best-fit rules";
  EXPECT_EQ(AnsiToOem("\xE2\x82\xAC"), "?");               // euro sign
  EXPECT_EQ(AnsiToOem("a\xF0\x9F\x98\x80z"), "a?z");       // four-byte character
  EXPECT_EQ(AnsiToOem("\xC3"), "?");                       // truncated sequence
  EXPECT_EQ(AnsiToOem("\xC3x"), "?x");                     // lead byte without continuation
  EXPECT_EQ(AnsiToOem("\x80\xBF"), "??");                  // stray continuation bytes
  EXPECT_EQ(AnsiToOem("\xC0\x80"), "??");                  // overlong zero
  EXPECT_EQ(AnsiToOem("\xED\xA0\x80"), "???");             // surrogate half
  EXPECT_EQ(AnsiToOem("\xC3\xA9t\xC3\xA9"), "\x82t\x82");  // e acute survives
}

TEST(Codepage, WindowsConvertsSharedAccentedLetters) {
  if (!platform::kIsWindows) GTEST_SKIP() << "Linux side is checked above";
  EXPECT_EQ(OemToAnsi("\x80\x81\x82"), "\xC7\xFC\xE9");
  EXPECT_EQ(AnsiToOem("\xC7\xFC\xE9"), "\x80\x81\x82");
}

}  // namespace
