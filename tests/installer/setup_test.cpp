// Tests of set-up's pure decisions: the archive token and the container it
// chooses (with the fatal messages in their order), the game path rule, and the
// countdown argument.
#include <gtest/gtest.h>

#include "installer/ContainerChoice.h"
#include "installer/CountdownArgument.h"
#include "installer/GameLookup.h"
#include "installer/Messages.h"

namespace {

using skw::ArchiveToken;

TEST(ArchiveToken, FourCharactersBeforeTheLastDot) {
  EXPECT_EQ(ArchiveToken("C:\\Packs\\desert-pal.zip"), "-pal");
  EXPECT_EQ(ArchiveToken("pack-BIN.zip"), "-BIN");
  EXPECT_EQ(ArchiveToken("pack.zip"), "pack");
  EXPECT_EQ(ArchiveToken("C:\\my.packs\\desert-bin"), ":\\my");
  EXPECT_EQ(ArchiveToken("-bin.zip"), "-bin");
  EXPECT_EQ(ArchiveToken("bin.zip"), "");
  EXPECT_EQ(ArchiveToken("no dot"), "");
  EXPECT_EQ(ArchiveToken(""), "");
}

struct Outcome {
  skw::TContainerChoice Choice;
  int GameLookups = 0;
  int ExistsChecks = 0;
};

Outcome Choose(const std::string& ArchivePath, std::optional<std::string> Game = "D:\\Games\\Razorworks\\cohokum\\",
               bool Exists = true) {
  Outcome Outcome;
  Outcome.Choice = skw::ChooseContainer(
      ArchivePath,
      [&] {
        ++Outcome.GameLookups;
        return Game;
      },
      [&](const std::string&) {
        ++Outcome.ExistsChecks;
        return Exists;
      });
  return Outcome;
}

TEST(ChooseContainer, ValidTokensChooseTheContainerInTheTokensCase) {
  const Outcome Pal = Choose("C:\\Packs\\desert-pal.zip");
  EXPECT_EQ(Pal.Choice.FatalMessage, "");
  EXPECT_EQ(Pal.Choice.ContainerPath, "D:\\Games\\Razorworks\\cohokum\\3ddata\\textures.pal");
  EXPECT_FALSE(Pal.Choice.BinContainer);
  const Outcome Upper = Choose("pack-BIN.zip");
  EXPECT_EQ(Upper.Choice.FatalMessage, "");
  EXPECT_EQ(Upper.Choice.ContainerPath, "D:\\Games\\Razorworks\\cohokum\\3ddata\\textures.BIN");
  EXPECT_TRUE(Upper.Choice.BinContainer);
  EXPECT_TRUE(Choose("x-PAL.zip").Choice.FatalMessage.empty());
  EXPECT_TRUE(Choose("/tmp/skw-4711-tmp-bin.zip").Choice.BinContainer);
}

TEST(ChooseContainer, FatalMessagesInTheirOrder) {
  // No archive: nothing else is asked.
  const Outcome None = Choose("", std::nullopt, false);
  EXPECT_EQ(None.Choice.FatalMessage, skw::kNoValidZip);
  EXPECT_EQ(None.GameLookups, 0);
  // The game is looked for before the token is judged.
  const Outcome NoGame = Choose("pack.zip", std::nullopt, false);
  EXPECT_EQ(NoGame.Choice.FatalMessage, "Unable to locate game installation.");
  EXPECT_EQ(NoGame.ExistsChecks, 0);
  for (const char* Name : {"pack.zip", "pack-Bin.zip", "pack-txt.zip", "C:\\my.packs\\desert-bin", "bin.zip"}) {
    const Outcome Bad = Choose(Name, "G\\cohokum\\", false);
    EXPECT_EQ(Bad.Choice.FatalMessage, "No valid Zip file specified.") << Name;
    EXPECT_EQ(Bad.ExistsChecks, 0) << Name;
  }
  // The container path is set before the token is tested.
  EXPECT_EQ(Choose("pack-Bin.zip", "G\\").Choice.ContainerPath, "G\\3ddata\\textures.Bin");
  EXPECT_EQ(Choose("bin.zip", "G\\").Choice.ContainerPath, "G\\3ddata\\textures.");
  const Outcome Missing = Choose("C:\\Packs\\gone-bin.zip", "G\\", false);
  EXPECT_EQ(Missing.Choice.FatalMessage, "Cannot open the specified Zip file.");
  EXPECT_EQ(Missing.ExistsChecks, 1);
}

TEST(ChooseContainer, ATypeErrorOfTheLookupPassesThrough) {
  EXPECT_THROW(skw::ChooseContainer(
                   "a-bin.zip", []() -> std::optional<std::string> { throw std::runtime_error("type"); },
                   [](const std::string&) { return true; }),
               std::runtime_error);
}

TEST(GamePath, ValueFollowedByCohokum) {
  using platform::RegistryStatus;
  EXPECT_EQ(skw::GamePathFromValue({RegistryStatus::Found, "D:\\Games\\Razorworks"}),
            "D:\\Games\\Razorworks\\cohokum\\");
  EXPECT_EQ(skw::GamePathFromValue({RegistryStatus::Found, "D:\\Games\\Razorworks\\"}),
            "D:\\Games\\Razorworks\\\\cohokum\\");
  EXPECT_EQ(skw::GamePathFromValue({RegistryStatus::Found, ""}), std::nullopt);
  EXPECT_EQ(skw::GamePathFromValue({RegistryStatus::KeyMissing, ""}), std::nullopt);
  EXPECT_EQ(skw::GamePathFromValue({RegistryStatus::ValueMissing, ""}), std::nullopt);
  try {
    skw::GamePathFromValue({RegistryStatus::WrongType, ""});
    ADD_FAILURE() << "no type error";
  } catch (const std::runtime_error& Error) {
    EXPECT_STREQ(Error.what(), "Invalid data type for 'Installation Path'");
  }
}

TEST(Countdown, DecimalHexadecimalAndTheDefault) {
  using skw::CountdownFromArgument;
  EXPECT_EQ(CountdownFromArgument(""), 5);
  EXPECT_EQ(CountdownFromArgument("12"), 12);
  EXPECT_EQ(CountdownFromArgument("0"), 0);
  EXPECT_EQ(CountdownFromArgument("-3"), -3);
  EXPECT_EQ(CountdownFromArgument("+4"), 4);
  EXPECT_EQ(CountdownFromArgument("  7"), 7);
  EXPECT_EQ(CountdownFromArgument("$A"), 10);
  EXPECT_EQ(CountdownFromArgument("x1f"), 31);
  EXPECT_EQ(CountdownFromArgument("0x10"), 16);
  EXPECT_EQ(CountdownFromArgument("-$a"), -10);
  EXPECT_EQ(CountdownFromArgument("007"), 7);
  EXPECT_EQ(CountdownFromArgument("$FFFFFFFF"), -1);
  EXPECT_EQ(CountdownFromArgument("2147483647"), 2147483647);
  EXPECT_EQ(CountdownFromArgument("-2147483648"), -2147483647 - 1);
}

TEST(Countdown, MalformedOrOutOfRangeKeepsFive) {
  for (const char* Text : {"abc", "12 ", "1 2", "\t7", "-", "+", "$", "0x", "x", "12a", "0x1G", "1e3", "2147483648",
                           "-2147483649", "$100000000", "99999999999999999999", "--1", " "})
    EXPECT_EQ(skw::CountdownFromArgument(Text), 5) << '"' << Text << '"';
}

}  // namespace
