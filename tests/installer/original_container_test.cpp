// The kept original and the game folder override. The installer keeps the
// container as it found it before its first save and never replaces that file
// by a later run; restoring brings those bytes back and keeps the original; a
// kept original that cannot be written stops the run before the container is
// touched, with the error a failed save gives. The keeper never replaces a file
// that appears while its copy is staged. SKINWRIGHT_GAME names the installation
// folder when the registry has no record of the game.
#include <filesystem>

#include "installer/GameLookup.h"
#include "installer/OriginalContainer.h"
#include "tests/installer/InstallerHarness.h"

namespace {

std::span<const uint8_t> BytesOf(const std::string& Text) {
  return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
}

// Names in Folder other than the listed ones.
std::vector<std::string> OtherFiles(const std::string& Folder, const std::vector<std::string>& Known) {
  std::vector<std::string> Others;
  for (const auto& Item : std::filesystem::directory_iterator(Folder)) {
    const std::string Name = Item.path().filename().string();
    if (std::find(Known.begin(), Known.end(), Name) == Known.end()) Others.push_back(Name);
  }
  return Others;
}

class OriginalContainer : public skwtest::DemoGame {
 protected:
  std::string Original() const { return Container("pal") + ".original"; }
  std::string Folder() const { return std::filesystem::path(Container("pal")).parent_path().string(); }
};

TEST_F(OriginalContainer, KeptOnceNeverReplacedAndRestoredByteForByte) {
  const std::string Other = Dir / "other-pal.zip";
  ASSERT_TRUE(skwtest::WriteAll(Other, skwtest::StoredZip({{"CRATE 02-PAL-16x16.bmp", skwtest::Picture24(16, 16)},
                                                           {"WATER 01-PAL-8x8.bmp", "no picture"}})));
  EXPECT_EQ(RunInstaller({"demo-pack-pal.zip", "0"}).Exit, 0);
  const std::string First = skwtest::ReadAll(Container("pal"));
  ASSERT_NE(First, PalBefore);
  EXPECT_TRUE(skwtest::ReadAll(Original()) == PalBefore);

  // A second pack, and a run that stops: the original stays the first state.
  const std::string Second = Dir / "second-pal.zip";
  ASSERT_TRUE(skwtest::WriteAll(Second, skwtest::ReadAll(Dir / "demo-pack-pal.zip")));
  EXPECT_EQ(RunInstaller({"second-pal.zip", "0"}).Exit, 0);
  EXPECT_EQ(RunInstaller({"other-pal.zip", "0"}).Exit, 1);
  EXPECT_TRUE(skwtest::ReadAll(Original()) == PalBefore);
  EXPECT_EQ(OtherFiles(Folder(), {"textures.bin", "textures.pal", "textures.pal.original"}),
            std::vector<std::string>{});

  skw::RestoreOriginal(Container("pal"));
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  EXPECT_TRUE(skwtest::ReadAll(Original()) == PalBefore);
  EXPECT_EQ(OtherFiles(Folder(), {"textures.bin", "textures.pal", "textures.pal.original"}),
            std::vector<std::string>{});
}

TEST_F(OriginalContainer, OriginalThatCannotBeWrittenStopsTheRunBeforeTheSave) {
  // Files are limited to 100 KiB (the container is larger); the signal a write
  // beyond it sends is ignored, so the write fails instead.
  const std::string Script = "cd \"" + Dir.Path() + "\" && (trap '' XFSZ; ulimit -f 100; exec \"" + Bin("skinwright") +
                             "\" demo-pack-pal.zip 0) >out.txt 2>err.txt";
  const int Status = std::system(Script.c_str());
  ASSERT_GT(PalBefore.size(), 100u * 1024u);
  EXPECT_EQ(skwtest::ExitCodeOf(Status), 1);
  const std::string Err = skwtest::ReadAll(Dir / "err.txt");
  EXPECT_NE(Err.find(skwtest::ErrorLine("Cannot write file \"" +
                                        std::string("C:\\Program Files\\Razorworks\\Comanche Hokum") +
                                        "\\cohokum\\3ddata\\textures.pal.original\"")),
            std::string::npos)
      << Err;
  const std::string Out = skwtest::ReadAll(Dir / "out.txt");
  EXPECT_NE(Out.find("Saving textures file ...\n"), std::string::npos);
  EXPECT_EQ(Out.find("All done."), std::string::npos);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  EXPECT_EQ(OtherFiles(Folder(), {"textures.bin", "textures.pal"}), std::vector<std::string>{});
}

// Runs on both systems (the keeper's last step differs between them).
TEST(KeptOriginal, KeepingNeverReplacesAndRestoringNeedsAnOriginal) {
  const skwtest::ScratchDir Dir;
  ASSERT_FALSE(Dir.Path().empty());
  const std::string Container = Dir / "textures.bin";
  ASSERT_TRUE(skwtest::WriteAll(Container, "current"));
  try {
    skw::RestoreOriginal(Container);
    ADD_FAILURE() << "restored without an original";
  } catch (const std::runtime_error& Error) {
    EXPECT_NE(std::string(Error.what()).find(Container + ".original"), std::string::npos) << Error.what();
  }
  EXPECT_EQ(skwtest::ReadAll(Container), "current");

  EXPECT_TRUE(skw::KeepOriginal(Container, BytesOf("first")));
  EXPECT_FALSE(skw::KeepOriginal(Container, BytesOf("second")));
  EXPECT_EQ(skwtest::ReadAll(skw::OriginalPathFor(Container)), "first");

  // An original that appears while a copy is staged is kept; the copy goes.
  const std::string Other = Dir / "textures.pal";
  skw::TOriginalKeeper Keeper(Other);
  EXPECT_TRUE(Keeper.Stage(BytesOf("staged")));
  ASSERT_TRUE(skwtest::WriteAll(skw::OriginalPathFor(Other), "meanwhile"));
  EXPECT_FALSE(Keeper.Commit());
  EXPECT_EQ(skwtest::ReadAll(skw::OriginalPathFor(Other)), "meanwhile");
  EXPECT_EQ(OtherFiles(Dir.Path(), {"textures.bin", "textures.bin.original", "textures.pal.original"}),
            std::vector<std::string>{});
}

TEST_F(OriginalContainer, GameFolderVariableReplacesTheRegistry) {
  // A portable copy of the game outside the prefix, and no registry record.
  const std::string Copy = Dir / "portable";
  std::filesystem::copy(Dir / "prefix/drive_c/Program Files/Razorworks/Comanche Hokum", Copy,
                        std::filesystem::copy_options::recursive);
  SetRegistry("");
  const std::string Copied = Copy + "/cohokum/3ddata/textures.pal";
  EXPECT_EQ(RunInstaller({"demo-pack-pal.zip", "0"}).Err, skwtest::ErrorLine("Unable to locate game installation."));
  {
    const skwtest::ScopedEnvironment Game(skw::kGameFolderVariable, Copy);
    EXPECT_EQ(skw::GetGamePath(), Copy + "\\cohokum\\");
    const skwtest::RunResult Result = RunInstaller({"demo-pack-pal.zip", "0"});
    EXPECT_EQ(Result.Exit, 0) << Result.Err;
  }
  EXPECT_TRUE(skwtest::ReadAll(Copied) == skwtest::EngineExpectation(PalBefore, Dir / "demo-pack-pal.zip", false));
  EXPECT_TRUE(skwtest::ReadAll(Copied + ".original") == PalBefore);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  // Unset again, the registry decides (and has no record).
  EXPECT_EQ(skw::GetGamePath(), std::nullopt);
}

}  // namespace
