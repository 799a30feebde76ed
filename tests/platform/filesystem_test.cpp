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
  std::set<std::string> Names;
  platform::DirectorySearch Search;
  platform::FindData Item;
  int Rc = Search.First(Pattern, Item);
  if (FirstResult != nullptr) *FirstResult = Rc;
  for (; Rc == 0; Rc = Search.Next(Item)) Names.insert(Item.Name);
  EXPECT_TRUE(Rc == 0 || Rc == platform::kErrorNoMoreFiles || FirstResult != nullptr) << Rc;
  return Names;
}

TEST(FileSystem, AttributesOfFilesAndDirectories) {
  ScratchDir Dir;
  const std::string File = Dir / "plain.txt";
  ASSERT_TRUE(ScratchDir::WriteText(File, "abc"));

  const uint32_t DirAttr = platform::GetAttributes(Dir.Path());
  EXPECT_NE(DirAttr & platform::kAttrDirectory, 0u);
  const uint32_t FileAttr = platform::GetAttributes(File);
  EXPECT_EQ(FileAttr & (platform::kAttrDirectory | platform::kAttrReadOnly), 0u);
  EXPECT_EQ(platform::GetAttributes(Dir / "missing"), platform::kInvalidAttributes);

  ASSERT_TRUE(platform::SetAttributes(File, platform::kAttrReadOnly));
  EXPECT_NE(platform::GetAttributes(File) & platform::kAttrReadOnly, 0u);
  ASSERT_TRUE(platform::SetAttributes(File, platform::kAttrArchive));
  EXPECT_EQ(platform::GetAttributes(File) & platform::kAttrReadOnly, 0u);
  EXPECT_FALSE(platform::SetAttributes(Dir / "missing", platform::kAttrArchive));
}

TEST(FileSystem, ReadOnlyFilesRefuseChanges) {
  ScratchDir Dir;
  const std::string File = Dir / "locked.txt";
  const std::string Other = Dir / "other.txt";
  ASSERT_TRUE(ScratchDir::WriteText(File, "locked"));
  ASSERT_TRUE(ScratchDir::WriteText(Other, "other"));
  ASSERT_TRUE(platform::SetAttributes(File, platform::kAttrReadOnly));

  EXPECT_EQ(platform::OpenWrite(File, true), platform::kInvalidHandle);
  EXPECT_EQ(platform::OpenReadWrite(File), platform::kInvalidHandle);
  EXPECT_FALSE(platform::RemoveFile(File));
  EXPECT_FALSE(platform::RenameFile(Other, File, true));
  const platform::FileHandle In = platform::OpenRead(File);
  ASSERT_NE(In, platform::kInvalidHandle);
  EXPECT_EQ(platform::Size(In), 6);  // still whole
  platform::Close(In);

  ASSERT_TRUE(platform::SetAttributes(File, platform::kAttrArchive));
  EXPECT_TRUE(platform::RenameFile(Other, File, true));
  EXPECT_TRUE(platform::RemoveFile(File));
}

TEST(FileSystem, DotNamesAreHiddenOnLinux) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows keeps a hidden bit of its own";
  ScratchDir Dir;
  ASSERT_TRUE(ScratchDir::WriteText(Dir / ".profile", ""));
  EXPECT_NE(platform::GetAttributes(Dir / ".profile") & platform::kAttrHidden, 0u);
  EXPECT_EQ(platform::GetAttributes(Dir.Path()) & platform::kAttrHidden, 0u);
}

TEST(FileSystem, DirectorySearchMatchesPatternsWithoutRegardToCase) {
  ScratchDir Dir;
  for (const char* Name : {"a.bmp", "B.BMP", "c.txt", "noext"}) ASSERT_TRUE(ScratchDir::WriteText(Dir / Name, Name));
  ASSERT_TRUE(platform::MakeDirectory(Dir / "sub.bmp"));

  EXPECT_EQ(SearchNames(Dir / "*.bmp"), (std::set<std::string>{"a.bmp", "B.BMP", "sub.bmp"}));
  EXPECT_EQ(SearchNames(Dir / "?.BMP"), (std::set<std::string>{"a.bmp", "B.BMP"}));
  EXPECT_EQ(SearchNames(Dir / "NOEXT"), (std::set<std::string>{"noext"}));
  std::set<std::string> All = SearchNames(Dir / "*.*");
  All.erase(".");
  All.erase("..");
  EXPECT_EQ(All, (std::set<std::string>{"a.bmp", "B.BMP", "c.txt", "noext", "sub.bmp"}));

  // Size, attributes and time of an item.
  platform::DirectorySearch Search;
  platform::FindData Item;
  ASSERT_EQ(Search.First(Dir / "c.txt", Item), 0);
  EXPECT_EQ(Item.Size, 5u);
  EXPECT_EQ(Item.Attributes & platform::kAttrDirectory, 0u);
  EXPECT_NE(Item.LastWrite, 0u);
  EXPECT_EQ(Search.Next(Item), platform::kErrorNoMoreFiles);
  ASSERT_EQ(Search.First(Dir / "sub.bmp", Item), 0);
  EXPECT_NE(Item.Attributes & platform::kAttrDirectory, 0u);
}

TEST(FileSystem, DirectorySearchFailures) {
  ScratchDir Dir;
  int Rc = 0;
  EXPECT_TRUE(SearchNames(Dir / "*.none", &Rc).empty());
  EXPECT_EQ(Rc, platform::kErrorFileNotFound);
  EXPECT_TRUE(SearchNames(Dir / "missing" + kSep + "*", &Rc).empty());
  EXPECT_EQ(Rc, platform::kErrorPathNotFound);

  platform::DirectorySearch Never;
  platform::FindData Item;
  EXPECT_FALSE(Never.IsOpen());
  EXPECT_EQ(Never.Next(Item), platform::kErrorNoMoreFiles);
}

TEST(FileSystem, ExistsWithWildcardsAndDirectories) {
  ScratchDir Dir;
  ASSERT_TRUE(ScratchDir::WriteText(Dir / "logo.bmp", ""));
  ASSERT_TRUE(platform::MakeDirectory(Dir / "folder"));
  EXPECT_TRUE(platform::Exists(Dir / "logo.bmp"));
  EXPECT_TRUE(platform::Exists(Dir / "LOGO.BMP"));
  EXPECT_TRUE(platform::Exists(Dir / "*.bmp"));
  EXPECT_TRUE(platform::Exists(Dir / "l?go.*"));
  EXPECT_TRUE(platform::Exists(Dir / "folder"));
  EXPECT_FALSE(platform::Exists(Dir / "*.txt"));
  EXPECT_FALSE(platform::Exists(Dir / "nothing"));
  EXPECT_FALSE(platform::Exists(""));
}

TEST(FileSystem, RenameDeleteAndDirectories) {
  ScratchDir Dir;
  const std::string A = Dir / "a.txt";
  const std::string B = Dir / "b.txt";
  ASSERT_TRUE(ScratchDir::WriteText(A, "A"));
  ASSERT_TRUE(ScratchDir::WriteText(B, "B"));
  EXPECT_FALSE(platform::RenameFile(A, B, false));  // b exists
  EXPECT_TRUE(platform::Exists(A));
  EXPECT_TRUE(platform::RenameFile(A, B, true));
  EXPECT_FALSE(platform::Exists(A));
  const platform::FileHandle In = platform::OpenRead(B);
  char Byte = 0;
  EXPECT_EQ(platform::Read(In, &Byte, 1), 1);
  platform::Close(In);
  EXPECT_EQ(Byte, 'A');

  EXPECT_TRUE(platform::RemoveFile(B));
  EXPECT_FALSE(platform::RemoveFile(B));
  EXPECT_FALSE(platform::Exists(B));

  const std::string Sub = Dir / "sub";
  EXPECT_TRUE(platform::MakeDirectory(Sub));
  EXPECT_FALSE(platform::MakeDirectory(Sub));                     // already there
  EXPECT_FALSE(platform::MakeDirectory(Dir / "x" + kSep + "y"));  // parent missing
  EXPECT_FALSE(platform::RemoveFile(Sub));                        // not a file
  ASSERT_TRUE(ScratchDir::WriteText(Sub + kSep + "f", ""));
  EXPECT_FALSE(platform::RemoveEmptyDirectory(Sub));  // not empty
  EXPECT_TRUE(platform::RemoveFile(Sub + kSep + "f"));
  EXPECT_TRUE(platform::RemoveEmptyDirectory(Sub));
}

TEST(FileSystem, CurrentAndTemporaryDirectories) {
  const std::string Temp = platform::TempDirectory();
  ASSERT_FALSE(Temp.empty());
  EXPECT_TRUE(Temp.back() == '/' || Temp.back() == '\\');
  EXPECT_NE(platform::GetAttributes(Temp) & platform::kAttrDirectory, 0u);
  EXPECT_NE(platform::GetAttributes(Temp), platform::kInvalidAttributes);

  const std::string Current = platform::CurrentDirectory();
  ASSERT_FALSE(Current.empty());
  EXPECT_NE(platform::GetAttributes(Current), platform::kInvalidAttributes);
  EXPECT_NE(platform::GetAttributes(Current) & platform::kAttrDirectory, 0u);
}

TEST(FileSystem, MixedCasePathsFindExistingNames) {
  ScratchDir Dir;
  ASSERT_TRUE(platform::MakeDirectory(Dir / "Cohokum"));
  ASSERT_TRUE(ScratchDir::WriteText(Dir / "Cohokum" + kSep + "Textures.BIN", "container"));
  const std::string AsWritten = Dir.Path() + "\\COHOKUM\\textures.bin";
  EXPECT_NE(platform::GetAttributes(AsWritten), platform::kInvalidAttributes);
  const platform::FileHandle In = platform::OpenRead(AsWritten);
  EXPECT_NE(In, platform::kInvalidHandle);
  platform::Close(In);
}

TEST(FileSystem, DriveLetterPathsGoThroughTheWinePrefixOnLinux) {
  if (platform::kIsWindows) GTEST_SKIP() << "Windows uses drive letters itself";
  ScratchDir Dir;
  const std::string Dosdevices = Dir / "dosdevices";
  ASSERT_TRUE(platform::MakeDirectory(Dosdevices));
  ASSERT_TRUE(platform::MakeDirectory(Dosdevices + "/c:"));
  ASSERT_TRUE(platform::MakeDirectory(Dosdevices + "/c:/Games"));
  ASSERT_TRUE(ScratchDir::WriteText(Dosdevices + "/c:/Games/Hokum.txt", "found"));

  const char* Saved = std::getenv("WINEPREFIX");
  const std::string Previous = Saved != nullptr ? Saved : "";
  static std::string Setting;  // putenv keeps the pointer
  Setting = "WINEPREFIX=" + Dir.Path();
  putenv(Setting.data());
  const std::string Mapped = platform::NativePath("C:\\GAMES\\hokum.txt");
  const bool Opened = platform::Exists("c:\\games\\HOKUM.TXT");
  static std::string Restore;
  Restore = "WINEPREFIX=" + Previous;
  putenv(Restore.data());

  EXPECT_EQ(Mapped, Dosdevices + "/c:/Games/Hokum.txt");
  EXPECT_TRUE(Opened);
}

}  // namespace
