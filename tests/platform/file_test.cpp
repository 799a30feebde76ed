// Basic file services: data written comes back, positions and sizes follow
// seeks and writes, the must-not-exist open refuses an existing file, and time
// stamps set on a file read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "tests/platform/ScratchDir.h"

namespace {

using platform::kInvalidHandle;
using platform::SeekOrigin;
using skwtest::ScratchDir;

std::string ReadAll(const std::string& Path) {
  const platform::FileHandle Handle = platform::OpenRead(Path);
  if (Handle == kInvalidHandle) return "<no file>";
  std::string Text(static_cast<size_t>(platform::Size(Handle)), '\0');
  const int64_t Got = platform::Read(Handle, Text.data(), Text.size());
  platform::Close(Handle);
  return Got == static_cast<int64_t>(Text.size()) ? Text : "<short read>";
}

TEST(File, WrittenBytesReadBackIncludingAllByteValues) {
  ScratchDir Dir;
  std::vector<char> Bytes;
  for (int Round = 0; Round < 300; ++Round)
    for (int B = 0; B < 256; ++B) Bytes.push_back(static_cast<char>(B));
  const std::string Path = Dir / "all.bin";
  const platform::FileHandle Out = platform::OpenWrite(Path, false);
  ASSERT_NE(Out, kInvalidHandle);
  EXPECT_EQ(platform::Write(Out, Bytes.data(), Bytes.size()), static_cast<int64_t>(Bytes.size()));
  EXPECT_TRUE(platform::Flush(Out));
  platform::Close(Out);

  EXPECT_EQ(ReadAll(Path), std::string(Bytes.begin(), Bytes.end()));
}

TEST(File, SeekTellSizeAndReadingPastTheEnd) {
  ScratchDir Dir;
  const std::string Path = Dir / "ten.txt";
  ASSERT_TRUE(ScratchDir::WriteText(Path, "0123456789"));
  const platform::FileHandle In = platform::OpenRead(Path);
  ASSERT_NE(In, kInvalidHandle);
  EXPECT_EQ(platform::Size(In), 10);
  EXPECT_EQ(platform::Tell(In), 0);
  EXPECT_EQ(platform::Seek(In, 4, SeekOrigin::Begin), 4);
  EXPECT_EQ(platform::Seek(In, 2, SeekOrigin::Current), 6);
  EXPECT_EQ(platform::Seek(In, -3, SeekOrigin::End), 7);
  char Buffer[8] = {};
  EXPECT_EQ(platform::Read(In, Buffer, sizeof Buffer), 3);  // only three bytes remain
  EXPECT_EQ(std::string(Buffer, 3), "789");
  EXPECT_EQ(platform::Read(In, Buffer, sizeof Buffer), 0);
  EXPECT_EQ(platform::Tell(In), 10);
  EXPECT_EQ(platform::Seek(In, -1, SeekOrigin::Begin), -1);
  platform::Close(In);
}

TEST(File, WriteOpenModes) {
  ScratchDir Dir;
  const std::string Path = Dir / "modes.txt";
  ASSERT_TRUE(ScratchDir::WriteText(Path, "original content"));

  // Must-not-exist refuses an existing file and leaves it alone.
  EXPECT_EQ(platform::OpenWrite(Path, false), kInvalidHandle);
  EXPECT_EQ(ReadAll(Path), "original content");

  // Replace truncates.
  ASSERT_TRUE(ScratchDir::WriteText(Path, "new"));
  EXPECT_EQ(ReadAll(Path), "new");

  // Read-write changes bytes in place without truncating.
  const platform::FileHandle Both = platform::OpenReadWrite(Path);
  ASSERT_NE(Both, kInvalidHandle);
  EXPECT_EQ(platform::Seek(Both, 1, SeekOrigin::Begin), 1);
  EXPECT_EQ(platform::Write(Both, "EW!", 3), 3);
  EXPECT_EQ(platform::Size(Both), 4);
  platform::Close(Both);
  EXPECT_EQ(ReadAll(Path), "nEW!");
}

TEST(File, OpeningWhatIsNotAReadableFileFails) {
  ScratchDir Dir;
  EXPECT_EQ(platform::OpenRead(Dir / "missing.txt"), kInvalidHandle);
  EXPECT_EQ(platform::OpenReadWrite(Dir / "missing.txt"), kInvalidHandle);
  EXPECT_EQ(platform::OpenRead(Dir.Path()), kInvalidHandle);  // a directory
  EXPECT_EQ(platform::OpenWrite(Dir / "no-such-dir" + ScratchDir::Separator() + "x.txt", true), kInvalidHandle);
  // Operations on the invalid handle report errors instead of touching anything.
  char Byte = 0;
  EXPECT_EQ(platform::Read(kInvalidHandle, &Byte, 1), -1);
  EXPECT_EQ(platform::Write(kInvalidHandle, &Byte, 1), -1);
  EXPECT_EQ(platform::Size(kInvalidHandle), -1);
  EXPECT_EQ(platform::Tell(kInvalidHandle), -1);
}

TEST(File, BackslashSeparatorsAreAccepted) {
  ScratchDir Dir;
  ASSERT_TRUE(platform::MakeDirectory(Dir / "sub"));
  const std::string WindowsStyle = Dir.Path() + "\\sub\\name.txt";
  ASSERT_TRUE(ScratchDir::WriteText(WindowsStyle, "via backslashes"));
  EXPECT_EQ(ReadAll(Dir / "sub" + ScratchDir::Separator() + "name.txt"), "via backslashes");
}

TEST(File, TimeStampsSetAndReadBack) {
  ScratchDir Dir;
  const std::string Path = Dir / "stamped.txt";
  ASSERT_TRUE(ScratchDir::WriteText(Path, "x"));
  // 2001-02-03 04:05:06 UTC and one day later.
  const platform::FileTime Write = platform::kUnixEpochAsFileTime + 981173106ULL * platform::kFileTicksPerSecond;
  const platform::FileTime Access = Write + 86400ULL * platform::kFileTicksPerSecond;

  platform::FileTimes Set;
  Set.LastWrite = Write;
  Set.LastAccess = Access;
  ASSERT_TRUE(platform::SetFileTimes(Path, Set));
  platform::FileTimes Got;
  ASSERT_TRUE(platform::GetFileTimes(Path, Got));
  EXPECT_EQ(Got.LastWrite, Write);
  EXPECT_EQ(Got.LastAccess, Access);
  EXPECT_NE(Got.Creation, 0u);

  // Through a handle: a zero field leaves that stamp unchanged.
  const platform::FileHandle Handle = platform::OpenReadWrite(Path);
  ASSERT_NE(Handle, kInvalidHandle);
  platform::FileTimes OnlyWrite;
  OnlyWrite.LastWrite = Write + platform::kFileTicksPerSecond;
  EXPECT_TRUE(platform::SetTimes(Handle, OnlyWrite));
  platform::FileTimes ViaHandle;
  EXPECT_TRUE(platform::GetTimes(Handle, ViaHandle));
  platform::Close(Handle);
  EXPECT_EQ(ViaHandle.LastWrite, Write + platform::kFileTicksPerSecond);
  EXPECT_EQ(ViaHandle.LastAccess, Access);

  EXPECT_FALSE(platform::GetFileTimes(Dir / "missing", Got));
}

}  // namespace
