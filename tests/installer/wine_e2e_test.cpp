// End-to-end tests of the Windows build of the installer program, run under
// Wine with the console front-end: the game's record is seeded in the registry
// of the prefix the tests run in (32-bit view, as the game's installer writes
// it) and removed again afterwards; the demo game lives in a scratch folder.
// The same core cases as on Linux: fatal paths, the registry type error, a
// second instance, a full run against the engine's own result, a pack
// executable and a failed save. The Linux build skips these tests.
#include <filesystem>

#include "installer/Messages.h"
#include "installer/PackBuilder.h"
#include "platform/NamedMutex.h"
#include "tests/installer/InstallerHarness.h"

namespace {

using skwtest::EngineExpectation;
using skwtest::ErrorLine;

const char* const kKey = "HKLM\\Software\\Razorworks\\Comanche Hokum";

std::string WithoutCarriageReturns(std::string Text) {
  std::erase(Text, '\r');
  return Text;
}

// Runs a command line through the command interpreter; true when it ran.
bool Shell(std::string Command) {
  Command = "\"" + Command + "\"";  // cmd.exe strips one pair of quotes
  return std::system(Command.c_str()) == 0;
}

class WindowsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::kIsWindows) GTEST_SKIP() << "runs the Windows build under Wine";
    ASSERT_FALSE(Dir.Path().empty());
    ASSERT_TRUE(platform::MakeDirectory(Dir / "tmp"));
    ASSERT_EQ(std::system(("\"\"" + Bin("demo-game") + "\" \"" + Dir.Path() + "\" >NUL 2>NUL\"").c_str()), 0);
    FEnvironment.push_back(std::make_unique<skwtest::ScopedEnvironment>("SKW_FRONTEND", "console"));
    FEnvironment.push_back(std::make_unique<skwtest::ScopedEnvironment>("TMP", Dir / "tmp"));
    FEnvironment.push_back(std::make_unique<skwtest::ScopedEnvironment>("TEMP", Dir / "tmp"));
    SeedRegistry("/d \"" + (Dir / "prefix\\drive_c\\Program Files\\Razorworks\\Comanche Hokum") + "\"");
    PalBefore = skwtest::ReadAll(Container("pal"));
    ASSERT_FALSE(PalBefore.empty());
  }
  void TearDown() override {
    if (platform::kIsWindows) DeleteKey();
  }

  static void DeleteKey() {
    for (const char* View : {"32", "64"})
      Shell(std::string("reg delete \"") + kKey + "\" /reg:" + View + " /f >NUL 2>NUL");
  }
  // Replaces the game's record by a value made of Data (reg add's /t and /d).
  static void SeedRegistry(const std::string& Data) {
    DeleteKey();
    ASSERT_TRUE(
        Shell(std::string("reg add \"") + kKey + "\" /v \"Installation Path\" " + Data + " /reg:32 /f >NUL 2>NUL"));
  }

  static std::string Bin(const std::string& Program) {
    std::string Path = std::string(SKW_BIN_DIR) + "/" + Program + SKW_EXE_SUFFIX;
    std::replace(Path.begin(), Path.end(), '/', '\\');
    return Path;
  }
  std::string Container(const std::string& Extension) const {
    return Dir / ("prefix\\drive_c\\Program Files\\Razorworks\\Comanche Hokum\\cohokum\\3ddata\\textures." + Extension);
  }

  skwtest::RunResult Run(const std::string& Program, const std::vector<std::string>& Arguments) {
    std::string Command = "\"" + Program + "\"";
    for (const std::string& Argument : Arguments) Command += " \"" + Argument + "\"";
    Command += " >\"" + (Dir / "stdout.txt") + "\" 2>\"" + (Dir / "stderr.txt") + "\"";
    Command = "\"" + Command + "\"";  // cmd.exe strips one pair of quotes
    const int Status = std::system(Command.c_str());
    return skwtest::RunResult{WithoutCarriageReturns(skwtest::ReadAll(Dir / "stdout.txt")),
                              WithoutCarriageReturns(skwtest::ReadAll(Dir / "stderr.txt")),
                              skwtest::ExitCodeOf(Status)};
  }
  skwtest::RunResult RunInstaller(const std::vector<std::string>& Arguments) {
    return Run(Bin("skinwright"), Arguments);
  }

  skwtest::ScratchDir Dir;
  std::string PalBefore;

 private:
  std::vector<std::unique_ptr<skwtest::ScopedEnvironment>> FEnvironment;
};

TEST_F(WindowsProgram, FatalPathsInTheirOrder) {
  ASSERT_TRUE(skwtest::WriteAll(Dir / "pack.zip", skwtest::ReadAll(Dir / "demo-pack-pal.zip")));
  EXPECT_EQ(RunInstaller({}).Err, ErrorLine(skw::kNoValidZip));
  EXPECT_EQ(RunInstaller({Dir / "pack.zip", "0"}).Err, ErrorLine(skw::kNoValidZip));
  EXPECT_EQ(RunInstaller({Dir / "missing-pal.zip", "0"}).Err, ErrorLine(skw::kCannotOpenZip));
  SeedRegistry("/t REG_DWORD /d 1");
  EXPECT_EQ(RunInstaller({Dir / "pack.zip", "0"}).Err, ErrorLine("Invalid data type for 'Installation Path'"));
  DeleteKey();
  const skwtest::RunResult Result = RunInstaller({Dir / "pack.zip", "0"});
  EXPECT_EQ(Result.Err, ErrorLine(skw::kGameNotFound));
  EXPECT_EQ(Result.Out, "");
  EXPECT_EQ(Result.Exit, 1);
}

TEST_F(WindowsProgram, SecondInstanceEndsAtOnce) {
  const platform::NamedMutex First(skw::kMutexName);
  ASSERT_FALSE(First.AlreadyExists());
  const skwtest::RunResult Result = RunInstaller({Dir / "demo-pack-pal.zip", "0"});
  EXPECT_EQ(Result.Out, "");
  EXPECT_EQ(Result.Err, "");
}

TEST_F(WindowsProgram, FullRunMatchesTheEngineThenCountsDown) {
  const std::string Pack = Dir / "demo-pack-pal.zip";
  const skwtest::RunResult Result = RunInstaller({Pack, "1"});
  EXPECT_EQ(Result.Err, "warning: CRATE 01-PAL-16x16.bmp: Wrong color depth or texture size.\n");
  EXPECT_EQ(Result.Out.find("Demo texture pack\n"), 0u) << Result.Out;
  EXPECT_NE(Result.Out.find("Scanning textures.pal ...\n"), std::string::npos);
  const size_t Done = Result.Out.find("All done.\n");
  ASSERT_NE(Done, std::string::npos);
  EXPECT_EQ(Result.Out.substr(Done),
            "All done.\nShutting down in 1 second(s).\nShutting down in 0 second(s).\n"
            "5 replaced, 1 rejected, 0 without a texture, 1 skipped, 0 never reached\n");
  EXPECT_EQ(Result.Exit, 0);
  const std::string Expected = EngineExpectation(PalBefore, Pack, false);
  EXPECT_NE(Expected, PalBefore);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == Expected);
}

TEST_F(WindowsProgram, PackExecutableRemovesItsTemporaryArchive) {
  const std::string Pack = Dir / "pack.exe";
  ASSERT_EQ(skw::BuildPack(Bin("skinwright"), Dir / "demo-pack-pal.zip", "pal", Pack), "");
  const skwtest::RunResult Result = Run(Pack, {"ignored-bin.zip", "0"});
  EXPECT_NE(Result.Out.find("All done.\n"), std::string::npos) << Result.Out << Result.Err;
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == EngineExpectation(PalBefore, Dir / "demo-pack-pal.zip", false));
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(Dir / "tmp")));
}

TEST_F(WindowsProgram, FailedSaveLeavesTheOldContainer) {
  ASSERT_TRUE(platform::SetAttributes(Container("pal"), platform::kAttrReadOnly));
  const skwtest::RunResult Result = RunInstaller({Dir / "demo-pack-pal.zip", "0"});
  EXPECT_NE(Result.Err.find("error: Skinwright import module: Cannot write file"), std::string::npos) << Result.Err;
  EXPECT_EQ(Result.Out.find("All done."), std::string::npos);
  EXPECT_EQ(Result.Exit, 1);
  EXPECT_TRUE(skwtest::ReadAll(Container("pal")) == PalBefore);
}

}  // namespace
