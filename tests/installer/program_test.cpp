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
  for (const char* Name : {"pack.zip", "pack-Bin.zip", "my.packs/desert-bin"})
    ASSERT_TRUE(skwtest::WriteAll(Dir / Name, skwtest::ReadAll(Dir / "demo-pack-bin.zip")));
  const struct {
    std::vector<std::string> Arguments;
    const char* Message;
  } Cases[] = {
      {{}, skw::kNoValidZip},
      {{"", "0"}, skw::kNoValidZip},
      {{"pack.zip", "0"}, skw::kNoValidZip},
      {{"pack-Bin.zip", "0"}, skw::kNoValidZip},
      {{"my.packs/desert-bin", "0"}, skw::kNoValidZip},
      {{"missing-pal.zip", "0"}, skw::kCannotOpenZip},
  };
  for (const auto& Case : Cases) {
    const skwtest::RunResult Result = RunInstaller(Case.Arguments);
    EXPECT_EQ(Result.Err, ErrorLine(Case.Message)) << (Case.Arguments.empty() ? "" : Case.Arguments[0]);
    EXPECT_EQ(Result.Out, "");
    EXPECT_EQ(Result.Exit, 1);
  }
  EXPECT_EQ(skwtest::ReadAll(Container("bin")), BinBefore);
  EXPECT_EQ(skwtest::ReadAll(Container("pal")), PalBefore);
}

TEST_F(Program, GameLookupFailuresComeBeforeTheTokenTest) {
  const struct {
    std::string Registry;
    std::string Expected;
  } Cases[] = {
      {"", ErrorLine(skw::kGameNotFound)},
      {"\"Version\"=\"1.0\"\n", ErrorLine(skw::kGameNotFound)},
      {"\"Installation Path\"=\"\"\n", ErrorLine(skw::kGameNotFound)},
      // The standard exception box adds no "." after a closing quote.
      {"\"Installation Path\"=dword:00000001\n", ErrorLine("Invalid data type for 'Installation Path'")},
  };
  for (const auto& Case : Cases) {
    SetRegistry(Case.Registry);
    for (const char* Archive : {"demo-pack-pal.zip", "pack.zip"}) {
      const skwtest::RunResult Result = RunInstaller({Archive, "0"});
      EXPECT_EQ(Result.Err, Case.Expected) << Case.Registry << Archive;
      EXPECT_EQ(Result.Out, "");
      EXPECT_EQ(Result.Exit, 1);
    }
  }
}

TEST_F(Program, MissingContainerStopsBeforeAnyStatusLine) {
  std::filesystem::remove(Container("pal"));
  const skwtest::RunResult Result = RunInstaller({"demo-pack-pal.zip", "0"});
  EXPECT_EQ(Result.Err, ErrorLine(skw::kCannotOpenTextures));
  EXPECT_EQ(Result.Out.find("Scanning"), std::string::npos);
  EXPECT_EQ(Result.Exit, 1);
  EXPECT_FALSE(std::filesystem::exists(Container("pal")));
}

TEST_F(Program, UpperCaseTokenNamesTheContainerInUpperCase) {
  std::filesystem::copy_file(Dir / "demo-pack-bin.zip", Dir / "pack-BIN.zip");
  const skwtest::RunResult Result = RunInstaller({"pack-BIN.zip", "0"});
  // Path components resolve without regard to case, as under Wine.
  EXPECT_NE(Result.Out.find("Scanning textures.BIN ...\n"), std::string::npos) << Result.Out;
  EXPECT_NE(Result.Out.find("All done.\n"), std::string::npos);
}

TEST_F(Program, SecondInstanceEndsAtOnceWithoutAWord) {
  const platform::NamedMutex First(skw::kMutexName);
  ASSERT_FALSE(First.AlreadyExists());
  const skwtest::RunResult Result = RunInstaller({"demo-pack-bin.zip", "0"});
  EXPECT_EQ(Result.Out, "");
  EXPECT_EQ(Result.Err, "");
  EXPECT_EQ(Result.Exit, 0);
  EXPECT_EQ(skwtest::ReadAll(Container("bin")), BinBefore);
}

TEST_F(Program, FullRunsMatchTheEngineByteForByte) {
  for (const bool Bin : {false, true}) {
    const std::string Extension = Bin ? "bin" : "pal";
    const std::string Pack = Dir / ("demo-pack-" + Extension + ".zip");
    const std::string Before = Bin ? BinBefore : PalBefore;
    const skwtest::RunResult Result = RunInstaller({Pack, "0"});
    const std::string Rejected = Bin ? "HANGAR DOOR-BIN-64x64.bmp" : "CRATE 01-PAL-16x16.bmp";
    EXPECT_EQ(Result.Err, "warning: " + Rejected + ": Wrong color depth or texture size.\n");
    const std::string Expected = EngineExpectation(Before, Pack, Bin);
    EXPECT_NE(Expected, Before);
    EXPECT_TRUE(skwtest::ReadAll(Container(Extension)) == Expected) << Extension;
    // The credits first, the status lines in order, no countdown.
    const size_t Credits = Result.Out.find("Demo texture pack\n");
    const size_t Scanning = Result.Out.find("Scanning textures." + Extension + " ...\n");
    const size_t Processing = Result.Out.find("Processing BMP files, this may take a while ...\n");
    const size_t Saving = Result.Out.find("Saving textures file ...\n");
    EXPECT_EQ(Credits, 0u);
    EXPECT_LT(Scanning, Processing);
    EXPECT_LT(Processing, Saving);
    EXPECT_EQ(Result.Out.substr(Result.Out.find("All done.\n")), "All done.\n" + Summary(Bin));
    EXPECT_EQ(Result.Exit, 0);
  }
}

TEST_F(Program, CountdownEndsWithTheLastTickAtZero) {
  const skwtest::RunResult Result = RunInstaller({"demo-pack-pal.zip", "1"});
  EXPECT_EQ(Result.Out.substr(Result.Out.find("All done.\n")),
            "All done.\nShutting down in 1 second(s).\nShutting down in 0 second(s).\n" + Summary(false));
  for (const char* None : {"0", "-3"})
    EXPECT_EQ(RunInstaller({"demo-pack-pal.zip", None}).Out.find("Shutting down"), std::string::npos) << None;
}

TEST_F(Program, CtrlCDuringTheCountdownEndsAtOnce) {
  // Started in the background, interrupted once the countdown shows, waited for.
  const std::string Script = "cd \"" + Dir.Path() + "\" && (\"" + Bin("skinwright") +
                             "\" demo-pack-pal.zip 30 >out.txt 2>err.txt & pid=$!; "
                             "for i in $(seq 600); do grep -q 'Shutting down' out.txt && break; sleep 0.05; done; "
                             "kill -INT $pid; wait $pid)";
  ASSERT_EQ(std::system(Script.c_str()), 0);
  const std::string Out = skwtest::ReadAll(Dir / "out.txt");
  EXPECT_EQ(Out.substr(Out.find("All done.\n")), "All done.\nShutting down in 30 second(s).\n" + Summary(false));
  EXPECT_EQ(skwtest::ReadAll(Dir / "err.txt"), "warning: CRATE 01-PAL-16x16.bmp: Wrong color depth or texture size.\n");
}

TEST_F(Program, FailedSaveLeavesTheOldContainer) {
  std::filesystem::permissions(Container("pal"),
                               std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  const skwtest::RunResult Result = RunInstaller({"demo-pack-pal.zip", "0"});
  EXPECT_NE(Result.Err.find("error: Skinwright import module: Cannot write file"), std::string::npos) << Result.Err;
  EXPECT_NE(Result.Out.find("Saving textures file ...\n"), std::string::npos);
  EXPECT_EQ(Result.Out.find("All done."), std::string::npos);
  EXPECT_EQ(Result.Exit, 1);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  for (const auto& Item : std::filesystem::directory_iterator(std::filesystem::path(Container("pal")).parent_path()))
    EXPECT_EQ(Item.path().filename().string().find(".skw-new-"), std::string::npos);
}

class PackExecutable : public skwtest::DemoGame {
 protected:
  // A pack executable of the program with Archive for Extension.
  std::string MakePack(const std::string& Archive, const std::string& Extension) {
    const std::string Pack = Dir / ("pack-" + Extension);
    EXPECT_EQ(skw::BuildPack(Bin("skinwright"), Archive, Extension, Pack), "");
    // The pack runs like the program it was made of.
    EXPECT_NE(std::filesystem::status(Pack).permissions() & std::filesystem::perms::owner_exec,
              std::filesystem::perms::none);
    return Pack;
  }
};

TEST_F(PackExecutable, IgnoresArgumentOneAndRemovesItsTemporaryArchive) {
  const std::string Pack = MakePack(Dir / "demo-pack-bin.zip", "bin");
  const skwtest::RunResult Result = Run(Pack, {"demo-pack-pal.zip", "0"});
  EXPECT_NE(Result.Out.find("Scanning textures.bin ...\n"), std::string::npos) << Result.Out << Result.Err;
  EXPECT_NE(Result.Out.find("All done.\n"), std::string::npos);
  EXPECT_TRUE(skwtest::ReadAll(Container("bin")) == EngineExpectation(BinBefore, Dir / "demo-pack-bin.zip", true));
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  EXPECT_TRUE(TempFiles().empty());
}

TEST_F(PackExecutable, KeepsItsTemporaryArchiveAfterAFailure) {
  const std::string Broken = Dir / "broken.zip";
  ASSERT_TRUE(skwtest::WriteAll(Broken, skwtest::StoredZip({{"ROTOR-PAL-64x64.bmp", "not a picture"}})));
  const skwtest::RunResult Result = Run(MakePack(Broken, "pal"), {});
  EXPECT_EQ(Result.Err, ErrorLine("Bitmap image is not valid."));
  EXPECT_EQ(Result.Out.substr(Result.Out.find("Processing")),
            "Processing BMP files, this may take a while ...\nROTOR\n"
            "0 replaced, 0 rejected, 0 without a texture, 0 skipped, 0 never reached, 1 stopped the run\n");
  EXPECT_EQ(Result.Exit, 1);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  const std::vector<std::string> Left = TempFiles();
  ASSERT_EQ(Left.size(), 1u);
  EXPECT_EQ(Left[0].substr(Left[0].size() - 11), "tmp-pal.zip");
  EXPECT_EQ(skwtest::ReadAll(Dir / ("tmp/" + Left[0])), skwtest::ReadAll(Broken));
}

TEST_F(PackExecutable, OtherExtensionIsRefusedAndItsArchiveStays) {
  std::string Image = skwtest::ReadAll(Bin("skinwright"));
  const std::string Archive = skwtest::ReadAll(Dir / "demo-pack-pal.zip");
  const uint32_t Length = static_cast<uint32_t>(Archive.size());
  Image += Archive + std::string("SKW\0txt\0", 8);
  for (int Shift = 0; Shift < 32; Shift += 8) Image += static_cast<char>((Length >> Shift) & 0xFF);
  ASSERT_TRUE(skwtest::WriteAll(Dir / "pack-txt", Image));
  std::filesystem::permissions(Dir / "pack-txt", std::filesystem::perms::owner_all);
  const skwtest::RunResult Result = Run(Dir / "pack-txt", {"demo-pack-pal.zip"});
  EXPECT_EQ(Result.Err, ErrorLine(skw::kNoValidZip));
  EXPECT_EQ(Result.Out, "");
  EXPECT_EQ(Result.Exit, 1);
  const std::vector<std::string> Left = TempFiles();
  ASSERT_EQ(Left.size(), 1u);
  EXPECT_EQ(Left[0].substr(Left[0].size() - 11), "tmp-txt.zip");
}

TEST_F(PackExecutable, EmptyAppendedArchiveInstallsNothing) {
  const std::string Empty = Dir / "empty.zip";
  ASSERT_TRUE(skwtest::WriteAll(Empty, ""));
  const skwtest::RunResult Result = Run(MakePack(Empty, "pal"), {"x", "0"});
  EXPECT_EQ(Result.Err, "");
  EXPECT_NE(Result.Out.find("All done.\n0 replaced, 0 rejected, 0 without a texture, 0 skipped, 0 never reached\n"),
            std::string::npos);
  EXPECT_EQ(Result.Exit, 0);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
  EXPECT_TRUE(TempFiles().empty());
}

}  // namespace
