// End-to-end tests of the installer program on the demo game: each fatal path
// of set-up with its exact message and nothing of the window or the run after
// it, the single-instance rule, pack executables (argument 1 ignored, the
// temporary archive removed after a successful run and kept after a failure),
// the countdown's end without waiting, full runs whose containers equal what the
// texture engine makes of the same pack in this process, and a failed save that
// leaves the old container intact. The console's exit code is 1 exactly when
// a fatal message or a run-stopping error was shown, and its last line is the
// import's summary.
#include <filesystem>

#include "installer/Messages.h"
#include "installer/PackBuilder.h"
#include "platform/NamedMutex.h"
#include "tests/installer/InstallerHarness.h"

namespace {

using skwtest::EngineExpectation;
using skwtest::ErrorLine;

class Program : public skwtest::DemoGame {};

// The summary line of a run of the demo pack for the container.
std::string Summary(bool Bin) {
  return Bin ? "6 replaced, 1 rejected, 0 without a texture, 1 skipped, 0 never reached\n"
             : "5 replaced, 1 rejected, 0 without a texture, 1 skipped, 0 never reached\n";
}

TEST_F(Program, FatalPathsShowTheirMessageAndNothingElse) {
  ASSERT_TRUE(std::filesystem::create_directory(Dir / "my.packs"));
  for (const char* name : {"pack.zip", "pack-Bin.zip", "my.packs/desert-bin"})
    ASSERT_TRUE(skwtest::WriteAll(Dir / name, skwtest::ReadAll(Dir / "demo-pack-bin.zip")));
  const struct {
    std::vector<std::string> Arguments;
    const char* Message;
  } cases[] = {
      {{}, skw::kNoValidZip},
      {{"", "0"}, skw::kNoValidZip},
      {{"pack.zip", "0"}, skw::kNoValidZip},
      {{"pack-Bin.zip", "0"}, skw::kNoValidZip},
      {{"my.packs/desert-bin", "0"}, skw::kNoValidZip},
      {{"missing-pal.zip", "0"}, skw::kCannotOpenZip},
  };
  for (const auto& test : cases) {
    const skwtest::RunResult result = RunInstaller(test.Arguments);
    EXPECT_EQ(result.Err, ErrorLine(test.Message)) << (test.Arguments.empty() ? "" : test.Arguments[0]);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Exit, 1);
  }
  EXPECT_EQ(skwtest::ReadAll(Container("bin")), BinBefore);
  EXPECT_EQ(skwtest::ReadAll(Container("pal")), PalBefore);
}

TEST_F(Program, GameLookupFailuresComeBeforeTheTokenTest) {
  const struct {
    std::string Registry;
    std::string Expected;
  } cases[] = {
      {"", ErrorLine(skw::kGameNotFound)},
      {"\"Version\"=\"1.0\"\n", ErrorLine(skw::kGameNotFound)},
      {"\"Installation Path\"=\"\"\n", ErrorLine(skw::kGameNotFound)},
      // The standard exception box adds no "." after a closing quote.
      {"\"Installation Path\"=dword:00000001\n", ErrorLine("Invalid data type for 'Installation Path'")},
  };
  for (const auto& test : cases) {
    SetRegistry(test.Registry);
    for (const char* archive : {"demo-pack-pal.zip", "pack.zip"}) {
      const skwtest::RunResult result = RunInstaller({archive, "0"});
      EXPECT_EQ(result.Err, test.Expected) << test.Registry << archive;
      EXPECT_EQ(result.Out, "");
      EXPECT_EQ(result.Exit, 1);
    }
  }
}

TEST_F(Program, MissingContainerStopsBeforeAnyStatusLine) {
  std::filesystem::remove(Container("pal"));
  const skwtest::RunResult result = RunInstaller({"demo-pack-pal.zip", "0"});
  EXPECT_EQ(result.Err, ErrorLine(skw::kCannotOpenTextures));
  EXPECT_EQ(result.Out.find("Scanning"), std::string::npos);
  EXPECT_EQ(result.Exit, 1);
  EXPECT_FALSE(std::filesystem::exists(Container("pal")));
}

TEST_F(Program, UpperCaseTokenNamesTheContainerInUpperCase) {
  std::filesystem::copy_file(Dir / "demo-pack-bin.zip", Dir / "pack-BIN.zip");
  const skwtest::RunResult result = RunInstaller({"pack-BIN.zip", "0"});
  // Path components resolve without regard to case, as under Wine.
  EXPECT_NE(result.Out.find("Scanning textures.BIN ...\n"), std::string::npos) << result.Out;
  EXPECT_NE(result.Out.find("All done.\n"), std::string::npos);
}

TEST_F(Program, SecondInstanceEndsAtOnceWithoutAWord) {
  const platform::NamedMutex first(skw::kMutexName);
  ASSERT_FALSE(first.AlreadyExists());
  const skwtest::RunResult result = RunInstaller({"demo-pack-bin.zip", "0"});
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, "");
  EXPECT_EQ(result.Exit, 0);
  EXPECT_EQ(skwtest::ReadAll(Container("bin")), BinBefore);
}

TEST_F(Program, FullRunsMatchTheEngineByteForByte) {
  for (const bool bin : {false, true}) {
    const std::string extension = bin ? "bin" : "pal";
    const std::string pack = Dir / ("demo-pack-" + extension + ".zip");
    const std::string before = bin ? BinBefore : PalBefore;
    const skwtest::RunResult result = RunInstaller({pack, "0"});
    const std::string rejected = bin ? "HANGAR DOOR-BIN-64x64.bmp" : "CRATE 01-PAL-16x16.bmp";
    EXPECT_EQ(result.Err, "warning: " + rejected + ": Wrong color depth or texture size.\n");
    const std::string expected = EngineExpectation(before, pack, bin);
    EXPECT_NE(expected, before);
    EXPECT_TRUE(skwtest::ReadAll(Container(extension)) == expected) << extension;
    // The credits first, the status lines in order, no countdown.
    const size_t credits = result.Out.find("Demo texture pack\n");
    const size_t scanning = result.Out.find("Scanning textures." + extension + " ...\n");
    const size_t processing = result.Out.find("Processing BMP files, this may take a while ...\n");
    const size_t saving = result.Out.find("Saving textures file ...\n");
    EXPECT_EQ(credits, 0u);
    EXPECT_LT(scanning, processing);
    EXPECT_LT(processing, saving);
    EXPECT_EQ(result.Out.substr(result.Out.find("All done.\n")), "All done.\n" + Summary(bin));
    EXPECT_EQ(result.Exit, 0);
  }
}

TEST_F(Program, CountdownEndsWithTheLastTickAtZero) {
  const skwtest::RunResult result = RunInstaller({"demo-pack-pal.zip", "1"});
  EXPECT_EQ(result.Out.substr(result.Out.find("All done.\n")),
            "All done.\nShutting down in 1 second(s).\nShutting down in 0 second(s).\n" + Summary(false));
  for (const char* none : {"0", "-3"})
    EXPECT_EQ(RunInstaller({"demo-pack-pal.zip", none}).Out.find("Shutting down"), std::string::npos) << none;
}

TEST_F(Program, CtrlCDuringTheCountdownEndsAtOnce) {
  // Started in the background, interrupted once the countdown shows, waited for.
  const std::string script = "cd \"" + Dir.Path() + "\" && (\"" + Bin("skinwright") +
                             "\" demo-pack-pal.zip 30 >out.txt 2>err.txt & pid=$!; "
                             "for i in $(seq 600); do grep -q 'Shutting down' out.txt && break; sleep 0.05; done; "
                             "kill -INT $pid; wait $pid)";
  ASSERT_EQ(std::system(script.c_str()), 0);
  const std::string out = skwtest::ReadAll(Dir / "out.txt");
  EXPECT_EQ(out.substr(out.find("All done.\n")), "All done.\nShutting down in 30 second(s).\n" + Summary(false));
  EXPECT_EQ(skwtest::ReadAll(Dir / "err.txt"), "warning: CRATE 01-PAL-16x16.bmp: Wrong color depth or texture size.\n");
}

TEST_F(Program, FailedSaveLeavesTheOldContainer) {
  std::filesystem::permissions(Container("pal"),
                               std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  const skwtest::RunResult result = RunInstaller({"demo-pack-pal.zip", "0"});
  EXPECT_NE(result.Err.find("error: Skinwright import module: Cannot write file"), std::string::npos) << result.Err;
  EXPECT_NE(result.Out.find("Saving textures file ...\n"), std::string::npos);
  EXPECT_EQ(result.Out.find("All done."), std::string::npos);
  EXPECT_EQ(result.Exit, 1);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  for (const auto& item : std::filesystem::directory_iterator(std::filesystem::path(Container("pal")).parent_path()))
    EXPECT_EQ(item.path().filename().string().find(".skw-new-"), std::string::npos);
}

class PackExecutable : public skwtest::DemoGame {
 protected:
  // A pack executable of the program with Archive for Extension.
  std::string MakePack(const std::string& Archive, const std::string& Extension) {
    const std::string pack = Dir / ("pack-" + Extension);
    EXPECT_EQ(skw::BuildPack(Bin("skinwright"), Archive, Extension, pack), "");
    // The pack runs like the program it was made of.
    EXPECT_NE(std::filesystem::status(pack).permissions() & std::filesystem::perms::owner_exec,
              std::filesystem::perms::none);
    return pack;
  }
};

TEST_F(PackExecutable, IgnoresArgumentOneAndRemovesItsTemporaryArchive) {
  const std::string pack = MakePack(Dir / "demo-pack-bin.zip", "bin");
  const skwtest::RunResult result = Run(pack, {"demo-pack-pal.zip", "0"});
  EXPECT_NE(result.Out.find("Scanning textures.bin ...\n"), std::string::npos) << result.Out << result.Err;
  EXPECT_NE(result.Out.find("All done.\n"), std::string::npos);
  EXPECT_TRUE(skwtest::ReadAll(Container("bin")) == EngineExpectation(BinBefore, Dir / "demo-pack-bin.zip", true));
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(PackExecutable, KeepsItsTemporaryArchiveAfterAFailure) {
  const std::string broken = Dir / "broken.zip";
  ASSERT_TRUE(skwtest::WriteAll(broken, skwtest::StoredZip({{"ROTOR-PAL-64x64.bmp", "not a picture"}})));
  const skwtest::RunResult result = Run(MakePack(broken, "pal"), {});
  EXPECT_EQ(result.Err, ErrorLine("Bitmap image is not valid."));
  EXPECT_EQ(result.Out.substr(result.Out.find("Processing")),
            "Processing BMP files, this may take a while ...\nROTOR\n"
            "0 replaced, 0 rejected, 0 without a texture, 0 skipped, 0 never reached, 1 stopped the run\n");
  EXPECT_EQ(result.Exit, 1);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  const std::vector<std::string> left = TempFiles();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].substr(left[0].size() - 11), "tmp-pal.zip");
  EXPECT_EQ(skwtest::ReadAll(Dir / ("tmp/" + left[0])), skwtest::ReadAll(broken));
}

TEST_F(PackExecutable, OtherExtensionIsRefusedAndItsArchiveStays) {
  std::string image = skwtest::ReadAll(Bin("skinwright"));
  const std::string archive = skwtest::ReadAll(Dir / "demo-pack-pal.zip");
  const uint32_t length = static_cast<uint32_t>(archive.size());
  image += archive + std::string("SKW\0txt\0", 8);
  for (int shift = 0; shift < 32; shift += 8) image += static_cast<char>((length >> shift) & 0xFF);
  ASSERT_TRUE(skwtest::WriteAll(Dir / "pack-txt", image));
  std::filesystem::permissions(Dir / "pack-txt", std::filesystem::perms::owner_all);
  const skwtest::RunResult result = Run(Dir / "pack-txt", {"demo-pack-pal.zip"});
  EXPECT_EQ(result.Err, ErrorLine(skw::kNoValidZip));
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Exit, 1);
  const std::vector<std::string> left = TempFiles();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].substr(left[0].size() - 11), "tmp-txt.zip");
}

TEST_F(PackExecutable, EmptyAppendedArchiveInstallsNothing) {
  const std::string empty = Dir / "empty.zip";
  ASSERT_TRUE(skwtest::WriteAll(empty, ""));
  const skwtest::RunResult result = Run(MakePack(empty, "pal"), {"x", "0"});
  EXPECT_EQ(result.Err, "");
  EXPECT_NE(result.Out.find("All done.\n0 replaced, 0 rejected, 0 without a texture, 0 skipped, 0 never reached\n"),
            std::string::npos);
  EXPECT_EQ(result.Exit, 0);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  EXPECT_TRUE(TempFiles().empty());
}

}  // namespace
