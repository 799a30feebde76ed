// Path utilities that consult the file system: nested directory creation and
// the empty-path exception, write permission by attributes, directory existence,
// the temporary directory, DOS stamps of file times and the drive of a path.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "archive/names/PathUtils.h"
#include "platform/FileSystem.h"
#include "tests/platform/ScratchDir.h"

namespace {

using namespace kst;
using skwtest::ScratchDir;

TEST(PathUtils, ForceDirectoriesCreatesMissingParents) {
  ScratchDir Dir;
  const std::string Nested = Dir.Path() + "\\one\\two\\three\\";  // library notation, trailing "\"
  EXPECT_FALSE(DirExists(Dir / "one"));
  EXPECT_TRUE(ForceDirectories(Nested));
  EXPECT_TRUE(DirExists(Dir.Path() + "\\one\\two\\three"));
  EXPECT_TRUE(ForceDirectories(Nested));  // already there
  EXPECT_TRUE(ForceDirectories(Dir.Path() + "/one/four"));

  // A file in the way cannot become a directory.
  ASSERT_TRUE(ScratchDir::WriteText(Dir / "file", ""));
  EXPECT_FALSE(ForceDirectories(Dir.Path() + "\\file\\sub"));
  EXPECT_FALSE(DirExists(Dir / "file"));
}

TEST(PathUtils, ForceDirectoriesOfAnEmptyPathThrowsTheDirectoryMessage) {
  try {
    ForceDirectories("");
    FAIL() << "no exception";
  } catch (const std::runtime_error& Error) {
    EXPECT_STREQ(Error.what(), "Unable to create directory");
  }
  EXPECT_TRUE(ForceDirectories("\\"));
  EXPECT_TRUE(ForceDirectories("/"));
}

TEST(PathUtils, IsWriteableByAttributes) {
  ScratchDir Dir;
  const std::string File = Dir / "target.bmp";
  ASSERT_TRUE(ScratchDir::WriteText(File, "x"));
  EXPECT_TRUE(IsWriteable(File));
  ASSERT_TRUE(platform::SetAttributes(File, platform::kAttrReadOnly));
  EXPECT_FALSE(IsWriteable(File));
  ASSERT_TRUE(platform::SetAttributes(File, platform::kAttrArchive));
  EXPECT_TRUE(IsWriteable(File));
  EXPECT_FALSE(IsWriteable(Dir.Path()));  // a directory
  EXPECT_FALSE(IsWriteable(Dir / "missing"));
  EXPECT_FALSE(DirExists(Dir / "missing"));
  EXPECT_TRUE(DirExists(Dir.Path()));
}

TEST(PathUtils, TempPathIsAnExistingDirectory) {
  const std::string Temp = GetTempPathStr();
  ASSERT_FALSE(Temp.empty());
  EXPECT_LE(Temp.size(), 259u);
  EXPECT_TRUE(DirExists(Temp));
}

TEST(PathUtils, FileTimeToDosStampInLocalTime) {
  platform::LocalTime Local;
  Local.Year = 2107;
  Local.Month = 12;
  Local.Day = 31;
  Local.Hour = 23;
  Local.Minute = 59;
  Local.Second = 58;
  platform::FileTime Time = 0;
  ASSERT_TRUE(platform::LocalToFileTime(Local, Time));
  EXPECT_EQ(TFileTimeToInt(Time), 0xFF9FBF7Du);  // the last DOS stamp

  Local.Year = 1980;
  Local.Month = 1;
  Local.Day = 1;
  Local.Hour = 0;
  Local.Minute = 0;
  Local.Second = 0;
  ASSERT_TRUE(platform::LocalToFileTime(Local, Time));
  EXPECT_EQ(TFileTimeToInt(Time), 0x00210000u);
  EXPECT_EQ(TFileTimeToInt(Time - 1), 0u);  // one tick before 1980
  EXPECT_EQ(TFileTimeToInt(0), 0u);
}

TEST(PathUtils, AppendDriveRootsAPath) {
  EXPECT_EQ(AppendDrive("D:\\games\\x"), "D:\\games\\x");
  EXPECT_EQ(AppendDrive("\\\\server\\share"), "\\\\server\\share");
  const std::string Current = platform::CurrentDirectory();
  if (platform::kIsWindows) {
    const std::string Drive = Current.substr(0, 1);
    EXPECT_EQ(AppendDrive("games\\x"), Drive + ":\\games\\x");
    EXPECT_EQ(AppendDrive("\\games"), Drive + ":\\games");
  } else {
    EXPECT_EQ(AppendDrive("games/x"), "/games/x");
    EXPECT_EQ(AppendDrive("/usr/share"), "/usr/share");
    EXPECT_EQ(AppendDrive("\\usr"), "\\usr");
  }
}

}  // namespace
