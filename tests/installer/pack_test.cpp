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
  std::ifstream file(platform::NativePath(Path), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
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
    ASSERT_TRUE(skwtest::ScratchDir::WriteText(program, kProgram));
    ASSERT_TRUE(skwtest::ScratchDir::WriteText(archive, kArchive));
  }
  const std::string kProgram = std::string(
      "\x7f"
      "ELF program\0image",
      18);
  const std::string kArchive = std::string("PK\3\4 the pack\0PK\5\6", 19);
  skwtest::ScratchDir dir;
  std::string program = dir / "skinwright";
  std::string archive = dir / "desert-pal.zip";
};

TEST_F(PackBuilder, RoundTripThroughTheTrailerCheck) {
  const std::string pack = dir / "desert.exe";
  ASSERT_EQ(skw::BuildPack(program, archive, "pal", pack), "");
  EXPECT_EQ(ReadAll(pack), kProgram + kArchive + skw::MakeTrailer("pal", static_cast<uint32_t>(kArchive.size())));
  std::string archivePath;
  bool tempArchive = false;
  skw::CheckTrailer(pack, dir.Path() + skwtest::ScratchDir::Separator(), archivePath, tempArchive);
  ASSERT_TRUE(tempArchive);
  EXPECT_EQ(archivePath.substr(archivePath.size() - 11), "tmp-pal.zip");
  EXPECT_EQ(ReadAll(archivePath), kArchive);
}

TEST_F(PackBuilder, RefusesWrongInputsAndLeavesNoOutput) {
  const std::string pack = dir / "out";
  EXPECT_NE(skw::BuildPack(program, archive, "txt", pack), "");
  EXPECT_NE(skw::BuildPack(program, archive, "Bin", pack), "");
  EXPECT_NE(skw::BuildPack(dir / "missing", archive, "bin", pack), "");
  EXPECT_NE(skw::BuildPack(program, dir / "missing.zip", "bin", pack), "");
  EXPECT_NE(skw::BuildPack(program, archive, "bin", program), "");
  EXPECT_NE(skw::BuildPack(program, archive, "bin", dir / "no folder" + skwtest::ScratchDir::Separator() + "x"), "");
  EXPECT_FALSE(platform::Exists(pack));
  EXPECT_EQ(ReadAll(program), kProgram);
  // A pack executable is no program to build a pack from.
  ASSERT_EQ(skw::BuildPack(program, archive, "bin", pack), "");
  EXPECT_NE(skw::BuildPack(pack, archive, "bin", dir / "twice"), "");
}

TEST_F(PackBuilder, ToolBuildsAPackFromTheArchiveName) {
  const std::string tool = std::string(SKW_BIN_DIR) + "/skinwright-pack" + SKW_EXE_SUFFIX;
  if (!platform::Exists(tool)) GTEST_SKIP() << "skinwright-pack is not built";
  const std::string pack = dir / "desert.pack";
  std::string command = "\"" + tool + "\" \"" + program + "\" \"" + archive + "\" \"" + pack + "\"";
  // cmd.exe keeps the inner quotes only when the whole line is quoted once more.
  if (platform::kIsWindows)
    command = "\"" + command + " >NUL\"";
  else
    command += " >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadAll(pack), kProgram + kArchive + skw::MakeTrailer("pal", static_cast<uint32_t>(kArchive.size())));
}

}  // namespace
