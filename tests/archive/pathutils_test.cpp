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
  ScratchDir dir;
  const std::string nested = dir.Path() + "\\one\\two\\three\\";  // library notation, trailing "\"
  EXPECT_FALSE(DirExists(dir / "one"));
  EXPECT_TRUE(ForceDirectories(nested));
  EXPECT_TRUE(DirExists(dir.Path() + "\\one\\two\\three"));
  EXPECT_TRUE(ForceDirectories(nested));  // already there
  EXPECT_TRUE(ForceDirectories(dir.Path() + "/one/four"));

  // A file in the way cannot become a directory.
  ASSERT_TRUE(ScratchDir::WriteText(dir / "file", ""));
  EXPECT_FALSE(ForceDirectories(dir.Path() + "\\file\\sub"));
  EXPECT_FALSE(DirExists(dir / "file"));
}

TEST(PathUtils, ForceDirectoriesOfAnEmptyPathThrowsTheDirectoryMessage) {
  try {
    ForceDirectories("");
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unable to create directory");
  }
  EXPECT_TRUE(ForceDirectories("\\"));
  EXPECT_TRUE(ForceDirectories("/"));
}

TEST(PathUtils, IsWriteableByAttributes) {
  ScratchDir dir;
  const std::string file = dir / "target.bmp";
  ASSERT_TRUE(ScratchDir::WriteText(file, "x"));
  EXPECT_TRUE(IsWriteable(file));
  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrReadOnly));
  EXPECT_FALSE(IsWriteable(file));
  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrArchive));
  EXPECT_TRUE(IsWriteable(file));
  EXPECT_FALSE(IsWriteable(dir.Path()));  // a directory
  EXPECT_FALSE(IsWriteable(dir / "missing"));
  EXPECT_FALSE(DirExists(dir / "missing"));
  EXPECT_TRUE(DirExists(dir.Path()));
}

TEST(PathUtils, TempPathIsAnExistingDirectory) {
  const std::string temp = GetTempPathStr();
  ASSERT_FALSE(temp.empty());
  EXPECT_LE(temp.size(), 259u);
  EXPECT_TRUE(DirExists(temp));
}

TEST(PathUtils, FileTimeToDosStampInLocalTime) {
  platform::LocalTime local;
  local.Year = 2107;
  local.Month = 12;
  local.Day = 31;
  local.Hour = 23;
  local.Minute = 59;
  local.Second = 58;
  platform::FileTime time = 0;
  ASSERT_TRUE(platform::LocalToFileTime(local, time));
  EXPECT_EQ(TFileTimeToInt(time), 0xFF9FBF7Du);  // the last DOS stamp

  local.Year = 1980;
  local.Month = 1;
  local.Day = 1;
  local.Hour = 0;
  local.Minute = 0;
  local.Second = 0;
  ASSERT_TRUE(platform::LocalToFileTime(local, time));
  EXPECT_EQ(TFileTimeToInt(time), 0x00210000u);
  EXPECT_EQ(TFileTimeToInt(time - 1), 0u);  // one tick before 1980
  EXPECT_EQ(TFileTimeToInt(0), 0u);
}

TEST(PathUtils, AppendDriveRootsAPath) {
  EXPECT_EQ(AppendDrive("D:\\games\\x"), "D:\\games\\x");
  EXPECT_EQ(AppendDrive("\\\\server\\share"), "\\\\server\\share");
  const std::string current = platform::CurrentDirectory();
  if (platform::kIsWindows) {
    const std::string drive = current.substr(0, 1);
    EXPECT_EQ(AppendDrive("games\\x"), drive + ":\\games\\x");
    EXPECT_EQ(AppendDrive("\\games"), drive + ":\\games");
  } else {
    EXPECT_EQ(AppendDrive("games/x"), "/games/x");
    EXPECT_EQ(AppendDrive("/usr/share"), "/usr/share");
    EXPECT_EQ(AppendDrive("\\usr"), "\\usr");
  }
}

}  // namespace
