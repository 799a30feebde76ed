// Names inside a PathLookupScope, where the Linux path layer keeps the listings
// of the folders it searched or made: what the program creates, renames and
// removes meanwhile is found (or not) in any spelling of letter case, exactly
// as outside a scope and as on Windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "tests/platform/ScratchDir.h"

namespace {

bool Create(const std::string& Path) {
  const platform::FileHandle File = platform::OpenWrite(Path, true);
  platform::Close(File);
  return File != platform::kInvalidHandle;
}

TEST(PathLookupScope, TheProgramsOwnChangesAreSeenInAnyCase) {
  skwtest::ScratchDir Dir;
  const platform::PathLookupScope Scope;
  const std::string Folder = Dir / "Made";
  ASSERT_TRUE(platform::MakeDirectory(Folder));
  const std::string In = Dir / "MADE";
  const char Sep = skwtest::ScratchDir::Separator();
  EXPECT_FALSE(platform::Exists(In + Sep + "alpha.txt"));
  ASSERT_TRUE(Create(Folder + Sep + "Alpha.txt"));
  EXPECT_TRUE(platform::Exists(In + Sep + "ALPHA.TXT"));
  // A second name in a spelling of the first opens the same file.
  ASSERT_TRUE(Create(In + Sep + "alpha.TXT"));
  EXPECT_EQ(platform::GetAttributes(Folder + Sep + "Alpha.txt") & platform::kAttrDirectory, 0u);

  ASSERT_TRUE(platform::RenameFile(In + Sep + "ALPHA.txt", Folder + Sep + "Beta.txt", false));
  EXPECT_FALSE(platform::Exists(In + Sep + "alpha.txt"));
  EXPECT_TRUE(platform::Exists(In + Sep + "BETA.TXT"));
  ASSERT_TRUE(platform::RemoveFile(In + Sep + "beta.txt"));
  EXPECT_FALSE(platform::Exists(Folder + Sep + "Beta.txt"));
  EXPECT_TRUE(platform::RemoveEmptyDirectory(In));
  EXPECT_FALSE(platform::Exists(Folder));
}

// A Linux folder may hold names differing only in case: removing one spelling
// leaves the other to be found.
TEST(PathLookupScope, AnotherSpellingOutlivesTheRemovedOne) {
  if (platform::kIsWindows) GTEST_SKIP() << "one spelling per name on Windows";
  skwtest::ScratchDir Dir;
  std::ofstream(Dir / "Twin.txt") << "upper";
  std::ofstream(Dir / "twin.txt") << "lower";
  const platform::PathLookupScope Scope;
  EXPECT_TRUE(platform::Exists(Dir / "TWIN.TXT"));
  ASSERT_TRUE(platform::RemoveFile(Dir / "twin.txt"));
  EXPECT_TRUE(platform::Exists(Dir / "TWIN.TXT"));
  ASSERT_TRUE(platform::RemoveFile(Dir / "tWIN.txt"));
  EXPECT_FALSE(platform::Exists(Dir / "TWIN.TXT"));
}

// A case-blind match of the wrong kind is no match: a file and a folder whose
// names differ only in case (as an archive may hold them) are both made, in
// either order, and a file is moved under its name beside the folder.
TEST(PathLookupScope, AFileAndAFolderDifferingInCaseAreBothMade) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows names ignore case";
  for (const bool FileFirst : {true, false}) {
    skwtest::ScratchDir Dir;
    const platform::PathLookupScope Scope;
    const std::string File = Dir / "LICENSE";
    const std::string Folder = Dir / "license";
    if (FileFirst) {
      ASSERT_TRUE(Create(File));
    }
    ASSERT_TRUE(platform::MakeDirectory(Folder)) << FileFirst;
    ASSERT_TRUE(Create(Folder + skwtest::ScratchDir::Separator() + "x.txt")) << FileFirst;
    if (!FileFirst) {
      ASSERT_TRUE(Create(Dir / "new"));
      ASSERT_TRUE(platform::RenameFile(Dir / "new", File, false));
    }
    EXPECT_EQ(platform::GetAttributes(File) & platform::kAttrDirectory, 0u) << FileFirst;
    EXPECT_NE(platform::GetAttributes(Folder) & platform::kAttrDirectory, 0u) << FileFirst;
  }
}

// A program may ask for exact names (kst does): then only paths into the Wine
// prefix, given with a drive letter, are still matched without regard to case.
TEST(PathLookup, ExactNamesLeaveDrivePathsCaseBlind) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows decides about case itself";
  skwtest::ScratchDir Dir;
  std::ofstream(Dir / "Alpha.txt") << "a";
  std::filesystem::create_directories(Dir / "prefix/dosdevices");
  std::filesystem::create_directory_symlink(Dir.Path(), Dir / "prefix/dosdevices/x:");
  const std::string SavedPrefix = platform::GetEnvironment("WINEPREFIX");
  ASSERT_TRUE(platform::SetEnvironment("WINEPREFIX", Dir / "prefix"));
  platform::MatchNamesExactly(true);
  const bool ExactFound = platform::Exists(Dir / "ALPHA.TXT");
  const bool DriveFound = platform::Exists("x:\\ALPHA.TXT");
  platform::MatchNamesExactly(false);
  platform::SetEnvironment("WINEPREFIX", SavedPrefix);
  EXPECT_FALSE(ExactFound);
  EXPECT_TRUE(DriveFound);
  EXPECT_TRUE(platform::Exists(Dir / "ALPHA.TXT")) << "case-blind again";
}

}  // namespace
