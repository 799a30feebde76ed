// Services on names: attributes in their DOS form, existence with wildcards,
// directory search with its error codes, renaming, deleting, directories, the
// current and temporary directories, and (on Linux) the Windows-path mapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/FileSystem.h"
#include "tests/platform/ScratchDir.h"

namespace {

using skwtest::ScratchDir;
constexpr char kSep = ScratchDir::Separator();

std::set<std::string> SearchNames(const std::string& Pattern, int* FirstResult = nullptr) {
  std::set<std::string> names;
  platform::DirectorySearch search;
  platform::FindData item;
  int rc = search.First(Pattern, item);
  if (FirstResult != nullptr) *FirstResult = rc;
  for (; rc == 0; rc = search.Next(item)) names.insert(item.Name);
  EXPECT_TRUE(rc == 0 || rc == platform::kErrorNoMoreFiles || FirstResult != nullptr) << rc;
  return names;
}

TEST(FileSystem, AttributesOfFilesAndDirectories) {
  ScratchDir dir;
  const std::string file = dir / "plain.txt";
  ASSERT_TRUE(ScratchDir::WriteText(file, "abc"));

  const uint32_t dirAttr = platform::GetAttributes(dir.Path());
  EXPECT_NE(dirAttr & platform::kAttrDirectory, 0u);
  const uint32_t fileAttr = platform::GetAttributes(file);
  EXPECT_EQ(fileAttr & (platform::kAttrDirectory | platform::kAttrReadOnly), 0u);
  EXPECT_EQ(platform::GetAttributes(dir / "missing"), platform::kInvalidAttributes);

  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrReadOnly));
  EXPECT_NE(platform::GetAttributes(file) & platform::kAttrReadOnly, 0u);
  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrArchive));
  EXPECT_EQ(platform::GetAttributes(file) & platform::kAttrReadOnly, 0u);
  EXPECT_FALSE(platform::SetAttributes(dir / "missing", platform::kAttrArchive));
}

TEST(FileSystem, ReadOnlyFilesRefuseChanges) {
  ScratchDir dir;
  const std::string file = dir / "locked.txt";
  const std::string other = dir / "other.txt";
  ASSERT_TRUE(ScratchDir::WriteText(file, "locked"));
  ASSERT_TRUE(ScratchDir::WriteText(other, "other"));
  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrReadOnly));

  EXPECT_EQ(platform::OpenWrite(file, true), platform::kInvalidHandle);
  EXPECT_EQ(platform::OpenReadWrite(file), platform::kInvalidHandle);
  EXPECT_FALSE(platform::RemoveFile(file));
  EXPECT_FALSE(platform::RenameFile(other, file, true));
  const platform::FileHandle in = platform::OpenRead(file);
  ASSERT_NE(in, platform::kInvalidHandle);
  EXPECT_EQ(platform::Size(in), 6);  // still whole
  platform::Close(in);

  ASSERT_TRUE(platform::SetAttributes(file, platform::kAttrArchive));
  EXPECT_TRUE(platform::RenameFile(other, file, true));
  EXPECT_TRUE(platform::RemoveFile(file));
}

TEST(FileSystem, DotNamesAreHiddenOnLinux) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows keeps a hidden bit of its own";
  ScratchDir dir;
  ASSERT_TRUE(ScratchDir::WriteText(dir / ".profile", ""));
  EXPECT_NE(platform::GetAttributes(dir / ".profile") & platform::kAttrHidden, 0u);
  EXPECT_EQ(platform::GetAttributes(dir.Path()) & platform::kAttrHidden, 0u);
}

TEST(FileSystem, DirectorySearchMatchesPatternsWithoutRegardToCase) {
  ScratchDir dir;
  for (const char* name : {"a.bmp", "B.BMP", "c.txt", "noext"}) ASSERT_TRUE(ScratchDir::WriteText(dir / name, name));
  ASSERT_TRUE(platform::MakeDirectory(dir / "sub.bmp"));

  EXPECT_EQ(SearchNames(dir / "*.bmp"), (std::set<std::string>{"a.bmp", "B.BMP", "sub.bmp"}));
  EXPECT_EQ(SearchNames(dir / "?.BMP"), (std::set<std::string>{"a.bmp", "B.BMP"}));
  EXPECT_EQ(SearchNames(dir / "NOEXT"), (std::set<std::string>{"noext"}));
  std::set<std::string> all = SearchNames(dir / "*.*");
  all.erase(".");
  all.erase("..");
  EXPECT_EQ(all, (std::set<std::string>{"a.bmp", "B.BMP", "c.txt", "noext", "sub.bmp"}));

  // Size, attributes and time of an item.
  platform::DirectorySearch search;
  platform::FindData item;
  ASSERT_EQ(search.First(dir / "c.txt", item), 0);
  EXPECT_EQ(item.Size, 5u);
  EXPECT_EQ(item.Attributes & platform::kAttrDirectory, 0u);
  EXPECT_NE(item.LastWrite, 0u);
  EXPECT_EQ(search.Next(item), platform::kErrorNoMoreFiles);
  ASSERT_EQ(search.First(dir / "sub.bmp", item), 0);
  EXPECT_NE(item.Attributes & platform::kAttrDirectory, 0u);
}

TEST(FileSystem, DirectorySearchFailures) {
  ScratchDir dir;
  int rc = 0;
  EXPECT_TRUE(SearchNames(dir / "*.none", &rc).empty());
  EXPECT_EQ(rc, platform::kErrorFileNotFound);
  EXPECT_TRUE(SearchNames(dir / "missing" + kSep + "*", &rc).empty());
  EXPECT_EQ(rc, platform::kErrorPathNotFound);

  platform::DirectorySearch never;
  platform::FindData item;
  EXPECT_FALSE(never.IsOpen());
  EXPECT_EQ(never.Next(item), platform::kErrorNoMoreFiles);
}

TEST(FileSystem, ExistsWithWildcardsAndDirectories) {
  ScratchDir dir;
  ASSERT_TRUE(ScratchDir::WriteText(dir / "logo.bmp", ""));
  ASSERT_TRUE(platform::MakeDirectory(dir / "folder"));
  EXPECT_TRUE(platform::Exists(dir / "logo.bmp"));
  EXPECT_TRUE(platform::Exists(dir / "LOGO.BMP"));
  EXPECT_TRUE(platform::Exists(dir / "*.bmp"));
  EXPECT_TRUE(platform::Exists(dir / "l?go.*"));
  EXPECT_TRUE(platform::Exists(dir / "folder"));
  EXPECT_FALSE(platform::Exists(dir / "*.txt"));
  EXPECT_FALSE(platform::Exists(dir / "nothing"));
  EXPECT_FALSE(platform::Exists(""));
}

TEST(FileSystem, RenameDeleteAndDirectories) {
  ScratchDir dir;
  const std::string a = dir / "a.txt";
  const std::string b = dir / "b.txt";
  ASSERT_TRUE(ScratchDir::WriteText(a, "A"));
  ASSERT_TRUE(ScratchDir::WriteText(b, "B"));
  EXPECT_FALSE(platform::RenameFile(a, b, false));  // b exists
  EXPECT_TRUE(platform::Exists(a));
  EXPECT_TRUE(platform::RenameFile(a, b, true));
  EXPECT_FALSE(platform::Exists(a));
  const platform::FileHandle in = platform::OpenRead(b);
  char byte = 0;
  EXPECT_EQ(platform::Read(in, &byte, 1), 1);
  platform::Close(in);
  EXPECT_EQ(byte, 'A');

  EXPECT_TRUE(platform::RemoveFile(b));
  EXPECT_FALSE(platform::RemoveFile(b));
  EXPECT_FALSE(platform::Exists(b));

  const std::string sub = dir / "sub";
  EXPECT_TRUE(platform::MakeDirectory(sub));
  EXPECT_FALSE(platform::MakeDirectory(sub));                     // already there
  EXPECT_FALSE(platform::MakeDirectory(dir / "x" + kSep + "y"));  // parent missing
  EXPECT_FALSE(platform::RemoveFile(sub));                        // not a file
  ASSERT_TRUE(ScratchDir::WriteText(sub + kSep + "f", ""));
  EXPECT_FALSE(platform::RemoveEmptyDirectory(sub));  // not empty
  EXPECT_TRUE(platform::RemoveFile(sub + kSep + "f"));
  EXPECT_TRUE(platform::RemoveEmptyDirectory(sub));
}

TEST(FileSystem, CurrentAndTemporaryDirectories) {
  const std::string temp = platform::TempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_TRUE(temp.back() == '/' || temp.back() == '\\');
  EXPECT_NE(platform::GetAttributes(temp) & platform::kAttrDirectory, 0u);
  EXPECT_NE(platform::GetAttributes(temp), platform::kInvalidAttributes);

  const std::string current = platform::CurrentDirectory();
  ASSERT_FALSE(current.empty());
  EXPECT_NE(platform::GetAttributes(current), platform::kInvalidAttributes);
  EXPECT_NE(platform::GetAttributes(current) & platform::kAttrDirectory, 0u);
}

TEST(FileSystem, MixedCasePathsFindExistingNames) {
  ScratchDir dir;
  ASSERT_TRUE(platform::MakeDirectory(dir / "Cohokum"));
  ASSERT_TRUE(ScratchDir::WriteText(dir / "Cohokum" + kSep + "Textures.BIN", "container"));
  const std::string asWritten = dir.Path() + "\\COHOKUM\\textures.bin";
  EXPECT_NE(platform::GetAttributes(asWritten), platform::kInvalidAttributes);
  const platform::FileHandle in = platform::OpenRead(asWritten);
  EXPECT_NE(in, platform::kInvalidHandle);
  platform::Close(in);
}

TEST(FileSystem, DriveLetterPathsGoThroughTheWinePrefixOnLinux) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows uses drive letters itself";
  ScratchDir dir;
  const std::string dosdevices = dir / "dosdevices";
  ASSERT_TRUE(platform::MakeDirectory(dosdevices));
  ASSERT_TRUE(platform::MakeDirectory(dosdevices + "/c:"));
  ASSERT_TRUE(platform::MakeDirectory(dosdevices + "/c:/Games"));
  ASSERT_TRUE(ScratchDir::WriteText(dosdevices + "/c:/Games/Hokum.txt", "found"));

  const char* saved = std::getenv("WINEPREFIX");
  const std::string previous = saved != nullptr ? saved : "";
  static std::string setting;  // putenv keeps the pointer
  setting = "WINEPREFIX=" + dir.Path();
  putenv(setting.data());
  const std::string mapped = platform::NativePath("C:\\GAMES\\hokum.txt");
  const bool opened = platform::Exists("c:\\games\\HOKUM.TXT");
  static std::string restore;
  restore = "WINEPREFIX=" + previous;
  putenv(restore.data());

  EXPECT_EQ(mapped, dosdevices + "/c:/Games/Hokum.txt");
  EXPECT_TRUE(opened);
}

}  // namespace
