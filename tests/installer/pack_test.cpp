// Tests of the pack builder: a pack built from a program and an archive carries
// the archive and a trailer that the installer's trailer check reads back to the
// same bytes; the extension comes from the archive's name or is given; wrong
// inputs are refused without leaving an output. The skinwright-pack program is
// run once end to end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "installer/PackBuilder.h"
#include "installer/Trailer.h"
#include "tests/platform/ScratchDir.h"

namespace {

std::string ReadAll(const std::string& Path) {
  std::ifstream File(platform::NativePath(Path), std::ios::binary);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

TEST(PackExtension, FromTheArchiveName) {
  EXPECT_EQ(skw::PackExtensionFromName("desert-pal.zip"), "pal");
  EXPECT_EQ(skw::PackExtensionFromName("C:\\Packs\\desert-BIN.zip"), "BIN");
  EXPECT_EQ(skw::PackExtensionFromName("desert-Bin.zip"), "");
  EXPECT_EQ(skw::PackExtensionFromName("desert.zip"), "");
}

class PackBuilder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(skwtest::ScratchDir::WriteText(FProgram, kProgram));
    ASSERT_TRUE(skwtest::ScratchDir::WriteText(FArchive, kArchive));
  }
  const std::string kProgram = std::string(
      "\x7f"
      "ELF program\0image",
      18);
  const std::string kArchive = std::string("PK\3\4 the pack\0PK\5\6", 19);
  skwtest::ScratchDir FDir;
  std::string FProgram = FDir / "skinwright";
  std::string FArchive = FDir / "desert-pal.zip";
};

TEST_F(PackBuilder, RoundTripThroughTheTrailerCheck) {
  const std::string Pack = FDir / "desert.exe";
  ASSERT_EQ(skw::BuildPack(FProgram, FArchive, "pal", Pack), "");
  EXPECT_EQ(ReadAll(Pack), kProgram + kArchive + skw::MakeTrailer("pal", static_cast<uint32_t>(kArchive.size())));
  std::string ArchivePath;
  bool TempArchive = false;
  skw::CheckTrailer(Pack, FDir.Path() + skwtest::ScratchDir::Separator(), ArchivePath, TempArchive);
  ASSERT_TRUE(TempArchive);
  EXPECT_EQ(ArchivePath.substr(ArchivePath.size() - 11), "tmp-pal.zip");
  EXPECT_EQ(ReadAll(ArchivePath), kArchive);
}

TEST_F(PackBuilder, RefusesWrongInputsAndLeavesNoOutput) {
  const std::string Pack = FDir / "out";
  EXPECT_NE(skw::BuildPack(FProgram, FArchive, "txt", Pack), "");
  EXPECT_NE(skw::BuildPack(FProgram, FArchive, "Bin", Pack), "");
  EXPECT_NE(skw::BuildPack(FDir / "missing", FArchive, "bin", Pack), "");
  EXPECT_NE(skw::BuildPack(FProgram, FDir / "missing.zip", "bin", Pack), "");
  EXPECT_NE(skw::BuildPack(FProgram, FArchive, "bin", FProgram), "");
  EXPECT_NE(skw::BuildPack(FProgram, FArchive, "bin", FDir / "no folder" + skwtest::ScratchDir::Separator() + "x"), "");
  EXPECT_FALSE(platform::Exists(Pack));
  EXPECT_EQ(ReadAll(FProgram), kProgram);
  // A pack executable is no program to build a pack from.
  ASSERT_EQ(skw::BuildPack(FProgram, FArchive, "bin", Pack), "");
  EXPECT_NE(skw::BuildPack(Pack, FArchive, "bin", FDir / "twice"), "");
}

TEST_F(PackBuilder, ToolBuildsAPackFromTheArchiveName) {
  const std::string Tool = std::string(SKW_BIN_DIR) + "/skinwright-pack" + SKW_EXE_SUFFIX;
  if (!platform::Exists(Tool)) GTEST_SKIP() << "skinwright-pack is not built";
  const std::string Pack = FDir / "desert.pack";
  std::string Command = "\"" + Tool + "\" \"" + FProgram + "\" \"" + FArchive + "\" \"" + Pack + "\"";
  // cmd.exe keeps the inner quotes only when the whole line is quoted once more.
  if (platform::kIsWindows)
    Command = "\"" + Command + " >NUL\"";
  else
    Command += " >/dev/null";
  ASSERT_EQ(std::system(Command.c_str()), 0);
  EXPECT_EQ(ReadAll(Pack), kProgram + kArchive + skw::MakeTrailer("pal", static_cast<uint32_t>(kArchive.size())));
}

}  // namespace
