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
  const platform::FileHandle handle = platform::OpenRead(Path);
  if (handle == kInvalidHandle) return "<no file>";
  std::string text(static_cast<size_t>(platform::Size(handle)), '\0');
  const int64_t got = platform::Read(handle, text.data(), text.size());
  platform::Close(handle);
  return got == static_cast<int64_t>(text.size()) ? text : "<short read>";
}

TEST(File, WrittenBytesReadBackIncludingAllByteValues) {
  ScratchDir dir;
  std::vector<char> bytes;
  for (int round = 0; round < 300; ++round)
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  const std::string path = dir / "all.bin";
  const platform::FileHandle out = platform::OpenWrite(path, false);
  ASSERT_NE(out, kInvalidHandle);
  EXPECT_EQ(platform::Write(out, bytes.data(), bytes.size()), static_cast<int64_t>(bytes.size()));
  EXPECT_TRUE(platform::Flush(out));
  platform::Close(out);

  EXPECT_EQ(ReadAll(path), std::string(bytes.begin(), bytes.end()));
}

TEST(File, SeekTellSizeAndReadingPastTheEnd) {
  ScratchDir dir;
  const std::string path = dir / "ten.txt";
  ASSERT_TRUE(ScratchDir::WriteText(path, "0123456789"));
  const platform::FileHandle in = platform::OpenRead(path);
  ASSERT_NE(in, kInvalidHandle);
  EXPECT_EQ(platform::Size(in), 10);
  EXPECT_EQ(platform::Tell(in), 0);
  EXPECT_EQ(platform::Seek(in, 4, SeekOrigin::Begin), 4);
  EXPECT_EQ(platform::Seek(in, 2, SeekOrigin::Current), 6);
  EXPECT_EQ(platform::Seek(in, -3, SeekOrigin::End), 7);
  char buffer[8] = {};
  EXPECT_EQ(platform::Read(in, buffer, sizeof buffer), 3);  // only three bytes remain
  EXPECT_EQ(std::string(buffer, 3), "789");
  EXPECT_EQ(platform::Read(in, buffer, sizeof buffer), 0);
  EXPECT_EQ(platform::Tell(in), 10);
  EXPECT_EQ(platform::Seek(in, -1, SeekOrigin::Begin), -1);
  platform::Close(in);
}

TEST(File, WriteOpenModes) {
  ScratchDir dir;
  const std::string path = dir / "modes.txt";
  ASSERT_TRUE(ScratchDir::WriteText(path, "original content"));

  // Must-not-exist refuses an existing file and leaves it alone.
  EXPECT_EQ(platform::OpenWrite(path, false), kInvalidHandle);
  EXPECT_EQ(ReadAll(path), "original content");

  // Replace truncates.
  ASSERT_TRUE(ScratchDir::WriteText(path, "new"));
  EXPECT_EQ(ReadAll(path), "new");

  // Read-write changes bytes in place without truncating.
  const platform::FileHandle both = platform::OpenReadWrite(path);
  ASSERT_NE(both, kInvalidHandle);
  EXPECT_EQ(platform::Seek(both, 1, SeekOrigin::Begin), 1);
  EXPECT_EQ(platform::Write(both, "EW!", 3), 3);
  EXPECT_EQ(platform::Size(both), 4);
  platform::Close(both);
  EXPECT_EQ(ReadAll(path), "nEW!");
}

TEST(File, OpeningWhatIsNotAReadableFileFails) {
  ScratchDir dir;
  EXPECT_EQ(platform::OpenRead(dir / "missing.txt"), kInvalidHandle);
  EXPECT_EQ(platform::OpenReadWrite(dir / "missing.txt"), kInvalidHandle);
  EXPECT_EQ(platform::OpenRead(dir.Path()), kInvalidHandle);  // a directory
  EXPECT_EQ(platform::OpenWrite(dir / "no-such-dir" + ScratchDir::Separator() + "x.txt", true), kInvalidHandle);
  // Operations on the invalid handle report errors instead of touching anything.
  char byte = 0;
  EXPECT_EQ(platform::Read(kInvalidHandle, &byte, 1), -1);
  EXPECT_EQ(platform::Write(kInvalidHandle, &byte, 1), -1);
  EXPECT_EQ(platform::Size(kInvalidHandle), -1);
  EXPECT_EQ(platform::Tell(kInvalidHandle), -1);
}

TEST(File, BackslashSeparatorsAreAccepted) {
  ScratchDir dir;
  ASSERT_TRUE(platform::MakeDirectory(dir / "sub"));
  const std::string windowsStyle = dir.Path() + "\\sub\\name.txt";
  ASSERT_TRUE(ScratchDir::WriteText(windowsStyle, "via backslashes"));
  EXPECT_EQ(ReadAll(dir / "sub" + ScratchDir::Separator() + "name.txt"), "via backslashes");
}

TEST(File, TimeStampsSetAndReadBack) {
  ScratchDir dir;
  const std::string path = dir / "stamped.txt";
  ASSERT_TRUE(ScratchDir::WriteText(path, "x"));
  // 2001-02-03 04:05:06 UTC and one day later.
  const platform::FileTime write = platform::kUnixEpochAsFileTime + 981173106ULL * platform::kFileTicksPerSecond;
  const platform::FileTime access = write + 86400ULL * platform::kFileTicksPerSecond;

  platform::FileTimes set;
  set.LastWrite = write;
  set.LastAccess = access;
  ASSERT_TRUE(platform::SetFileTimes(path, set));
  platform::FileTimes got;
  ASSERT_TRUE(platform::GetFileTimes(path, got));
  EXPECT_EQ(got.LastWrite, write);
  EXPECT_EQ(got.LastAccess, access);
  EXPECT_NE(got.Creation, 0u);

  // Through a handle: a zero field leaves that stamp unchanged.
  const platform::FileHandle handle = platform::OpenReadWrite(path);
  ASSERT_NE(handle, kInvalidHandle);
  platform::FileTimes onlyWrite;
  onlyWrite.LastWrite = write + platform::kFileTicksPerSecond;
  EXPECT_TRUE(platform::SetTimes(handle, onlyWrite));
  platform::FileTimes viaHandle;
  EXPECT_TRUE(platform::GetTimes(handle, viaHandle));
  platform::Close(handle);
  EXPECT_EQ(viaHandle.LastWrite, write + platform::kFileTicksPerSecond);
  EXPECT_EQ(viaHandle.LastAccess, access);

  EXPECT_FALSE(platform::GetFileTimes(dir / "missing", got));
}

}  // namespace
