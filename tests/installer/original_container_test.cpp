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
  std::vector<std::string> others;
  for (const auto& item : std::filesystem::directory_iterator(Folder)) {
    const std::string name = item.path().filename().string();
    if (std::find(Known.begin(), Known.end(), name) == Known.end()) others.push_back(name);
  }
  return others;
}

class OriginalContainer : public skwtest::DemoGame {
 protected:
  std::string Original() const { return Container("pal") + ".original"; }
  std::string Folder() const { return std::filesystem::path(Container("pal")).parent_path().string(); }
};

TEST_F(OriginalContainer, KeptOnceNeverReplacedAndRestoredByteForByte) {
  const std::string other = Dir / "other-pal.zip";
  ASSERT_TRUE(skwtest::WriteAll(other, skwtest::StoredZip({{"CRATE 02-PAL-16x16.bmp", skwtest::Picture24(16, 16)},
                                                           {"WATER 01-PAL-8x8.bmp", "no picture"}})));
  EXPECT_EQ(RunInstaller({"demo-pack-pal.zip", "0"}).Exit, 0);
  const std::string first = skwtest::ReadAll(Container("pal"));
  ASSERT_NE(first, PalBefore);
  EXPECT_TRUE(skwtest::ReadAll(Original()) == PalBefore);

  // A second pack, and a run that stops: the original stays the first state.
  const std::string second = Dir / "second-pal.zip";
  ASSERT_TRUE(skwtest::WriteAll(second, skwtest::ReadAll(Dir / "demo-pack-pal.zip")));
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
  const std::string script = "cd \"" + Dir.Path() + "\" && (trap '' XFSZ; ulimit -f 100; exec \"" + Bin("skinwright") +
                             "\" demo-pack-pal.zip 0) >out.txt 2>err.txt";
  const int status = std::system(script.c_str());
  ASSERT_GT(PalBefore.size(), 100u * 1024u);
  EXPECT_EQ(skwtest::ExitCodeOf(status), 1);
  const std::string err = skwtest::ReadAll(Dir / "err.txt");
  EXPECT_NE(err.find(skwtest::ErrorLine("Cannot write file \"" +
                                        std::string("C:\\Program Files\\Razorworks\\Comanche Hokum") +
                                        "\\cohokum\\3ddata\\textures.pal.original\"")),
            std::string::npos)
      << err;
  const std::string out = skwtest::ReadAll(Dir / "out.txt");
  EXPECT_NE(out.find("Saving textures file ...\n"), std::string::npos);
  EXPECT_EQ(out.find("All done."), std::string::npos);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  EXPECT_EQ(OtherFiles(Folder(), {"textures.bin", "textures.pal"}), std::vector<std::string>{});
}

// Runs on both systems (the keeper's last step differs between them).
TEST(KeptOriginal, KeepingNeverReplacesAndRestoringNeedsAnOriginal) {
  const skwtest::ScratchDir Dir;
  ASSERT_FALSE(Dir.Path().empty());
  const std::string container = Dir / "textures.bin";
  ASSERT_TRUE(skwtest::WriteAll(container, "current"));
  try {
    skw::RestoreOriginal(container);
    ADD_FAILURE() << "restored without an original";
  } catch (const std::runtime_error& Error) {
    EXPECT_NE(std::string(Error.what()).find(container + ".original"), std::string::npos) << Error.what();
  }
  EXPECT_EQ(skwtest::ReadAll(container), "current");

  EXPECT_TRUE(skw::KeepOriginal(container, BytesOf("first")));
  EXPECT_FALSE(skw::KeepOriginal(container, BytesOf("second")));
  EXPECT_EQ(skwtest::ReadAll(skw::OriginalPathFor(container)), "first");

  // An original that appears while a copy is staged is kept; the copy goes.
  const std::string other = Dir / "textures.pal";
  skw::TOriginalKeeper keeper(other);
  EXPECT_TRUE(keeper.Stage(BytesOf("staged")));
  ASSERT_TRUE(skwtest::WriteAll(skw::OriginalPathFor(other), "meanwhile"));
  EXPECT_FALSE(keeper.Commit());
  EXPECT_EQ(skwtest::ReadAll(skw::OriginalPathFor(other)), "meanwhile");
  EXPECT_EQ(OtherFiles(Dir.Path(), {"textures.bin", "textures.bin.original", "textures.pal.original"}),
            std::vector<std::string>{});
}

TEST_F(OriginalContainer, GameFolderVariableReplacesTheRegistry) {
  // A portable copy of the game outside the prefix, and no registry record.
  const std::string copy = Dir / "portable";
  std::filesystem::copy(Dir / "prefix/drive_c/Program Files/Razorworks/Comanche Hokum", copy,
                        std::filesystem::copy_options::recursive);
  SetRegistry("");
  const std::string copied = copy + "/cohokum/3ddata/textures.pal";
  EXPECT_EQ(RunInstaller({"demo-pack-pal.zip", "0"}).Err, skwtest::ErrorLine("Unable to locate game installation."));
  {
    const skwtest::ScopedEnvironment game(skw::kGameFolderVariable, copy);
    EXPECT_EQ(skw::GetGamePath(), copy + "\\cohokum\\");
    const skwtest::RunResult result = RunInstaller({"demo-pack-pal.zip", "0"});
    EXPECT_EQ(result.Exit, 0) << result.Err;
  }
  EXPECT_TRUE(skwtest::ReadAll(copied) == skwtest::EngineExpectation(PalBefore, Dir / "demo-pack-pal.zip", false));
  EXPECT_TRUE(skwtest::ReadAll(copied + ".original") == PalBefore);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  // Unset again, the registry decides (and has no record).
  EXPECT_EQ(skw::GetGamePath(), std::nullopt);
}

}  // namespace
