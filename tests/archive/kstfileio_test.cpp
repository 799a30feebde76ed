// The library's file wrappers: a failed open is reported to the owner as 25235
// and answered with the invalid handle, sizes and positions follow the file,
// dates come back as DOS stamps, directory searches pass over attributes the
// caller did not ask for, and the two name readers handle zero bytes, short reads
// and the position they advance.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/identify/Kstbase.h"
#include "archive/io/Kstfileio.h"
#include "tests/platform/ScratchDir.h"

namespace {

using namespace kst;
using skwtest::ScratchDir;

struct ErrorReport {
  std::string FileName;
  std::string ExtendedMsg;
  std::string VolumeID;
  int32_t ECode = 0;
};

// A component whose OnError records every report.
struct RecordingOwner {
  TZipCommon Component;
  std::vector<ErrorReport> Reports;
  RecordingOwner() {
    Component.OnError = [this](TZipCommon*, std::string FileName, std::string ExtendedMsg, std::string VolumeID,
                               int32_t ECode) {
      Reports.push_back({FileName, ExtendedMsg, VolumeID, ECode});
    };
  }
};

THandle OpenBytes(const ScratchDir& Dir, const std::string& Bytes) {
  const std::string path = Dir / "data.bin";
  if (!ScratchDir::WriteText(path, Bytes)) return kstInvalidHandle;
  return kstOpenFileRead(nullptr, path);
}

TEST(Kstfileio, FailedOpenReportsErrorOpeningFileToTheOwner) {
  ScratchDir dir;
  RecordingOwner owner;
  const std::string missing = dir / "missing.zip";
  EXPECT_EQ(kstOpenFileRead(&owner.Component, missing), kstInvalidHandle);
  ASSERT_EQ(owner.Reports.size(), 1u);
  EXPECT_EQ(owner.Reports[0].FileName, missing);
  EXPECT_EQ(owner.Reports[0].ExtendedMsg, "");
  EXPECT_EQ(owner.Reports[0].VolumeID, "0");
  EXPECT_EQ(owner.Reports[0].ECode, ErrOpenFile);

  // Must-not-exist write of an existing file fails the same way and leaves it.
  const std::string existing = dir / "kept.txt";
  ASSERT_TRUE(ScratchDir::WriteText(existing, "keep me"));
  EXPECT_EQ(kstOpenFileWrite(&owner.Component, existing, false), kstInvalidHandle);
  ASSERT_EQ(owner.Reports.size(), 2u);
  EXPECT_EQ(owner.Reports[1].ECode, ErrOpenFile);
  const THandle kept = kstOpenFileRead(&owner.Component, existing);
  EXPECT_EQ(kstGetFileSize(kept), 7u);
  kstCloseFile(kept);

  // Without an owner nothing is reported, and nothing throws.
  EXPECT_EQ(kstOpenFileRead(nullptr, missing), kstInvalidHandle);
  EXPECT_EQ(kstOpenFile(&owner.Component, "", TFileAccess::Read, TFileDisposition::OpenExisting), kstInvalidHandle);
  EXPECT_EQ(owner.Reports.size(), 3u);
}

TEST(Kstfileio, WriteThenReadWithPositionsAndSize) {
  ScratchDir dir;
  RecordingOwner owner;
  const std::string path = dir / "out.bin";
  THandle out = kstOpenFileWrite(&owner.Component, path, false);
  ASSERT_NE(out, kstInvalidHandle);
  EXPECT_EQ(kstWrite(out, "PK\x03\x04 header", 11), 11);
  EXPECT_EQ(kstGetFilePos(out), 11);
  kstCloseFile(out);
  out = kstOpenFileWrite(&owner.Component, path, true);  // replace truncates
  ASSERT_NE(out, kstInvalidHandle);
  EXPECT_EQ(kstWrite(out, "abcdef", 6), 6);
  kstCloseFile(out);
  EXPECT_TRUE(owner.Reports.empty());

  const THandle in = kstOpenFileRead(&owner.Component, path);
  ASSERT_NE(in, kstInvalidHandle);
  EXPECT_EQ(kstGetFileSize(in), 6u);
  EXPECT_TRUE(kstSetFilePointer(in, -2, platform::SeekOrigin::End));
  EXPECT_EQ(kstGetFilePos(in), 4);
  char two[2];
  EXPECT_EQ(kstRead(in, two, 2), 2);
  EXPECT_EQ(std::string(two, 2), "ef");
  EXPECT_FALSE(kstSetFilePointer(in, -1, platform::SeekOrigin::Begin));
  kstCloseFile(in);

  EXPECT_EQ(kstGetFileSize(kstInvalidHandle), 0u);
  EXPECT_EQ(kstGetFileDate(kstInvalidHandle, dtLastWrite), 0u);
}

TEST(Kstfileio, FileDateIsTheLocalDosStampOfTheChosenTime) {
  ScratchDir dir;
  const std::string path = dir / "dated.txt";
  ASSERT_TRUE(ScratchDir::WriteText(path, "x"));
  platform::LocalTime local;
  local.Year = 2001;
  local.Month = 2;
  local.Day = 3;
  local.Hour = 4;
  local.Minute = 5;
  local.Second = 7;  // odd seconds are halved down
  platform::FileTimes times;
  ASSERT_TRUE(platform::LocalToFileTime(local, times.LastWrite));
  local.Year = 1979;  // before DOS dates begin
  ASSERT_TRUE(platform::LocalToFileTime(local, times.LastAccess));
  ASSERT_TRUE(platform::SetFileTimes(path, times));

  const THandle in = kstOpenFileRead(nullptr, path);
  ASSERT_NE(in, kstInvalidHandle);
  const uint32_t expected = (((2001u - 1980u) << 9 | 2u << 5 | 3u) << 16) | (4u << 11 | 5u << 5 | 3u);
  EXPECT_EQ(kstGetFileDate(in, dtLastWrite), expected);
  EXPECT_EQ(kstGetFileDate(in, dtLastAccess), 0u);
  EXPECT_NE(kstGetFileDate(in, dtCreate), 0u);
  kstCloseFile(in);
}

TEST(Kstfileio, FindPassesOverAttributesNotAskedFor) {
  ScratchDir dir;
  ASSERT_TRUE(ScratchDir::WriteText(dir / "a.bmp", "12345"));
  ASSERT_TRUE(ScratchDir::WriteText(dir / "b.bmp", "1"));
  ASSERT_TRUE(platform::MakeDirectory(dir / "dir.bmp"));
  ASSERT_TRUE(platform::SetAttributes(dir / "b.bmp", platform::kAttrReadOnly));

  const auto names = [&](uint32_t Attr) {
    std::vector<std::string> found;
    TSearchRec32 rec;
    for (int rc = kstFindFirst(dir / "*.bmp", Attr, rec); rc == 0; rc = kstFindNext(rec)) found.push_back(rec.Name);
    kstFindClose(rec);
    std::sort(found.begin(), found.end());
    return found;
  };
  // Read-only files are never excluded; directories only when asked for.
  EXPECT_EQ(names(0), (std::vector<std::string>{"a.bmp", "b.bmp"}));
  EXPECT_EQ(names(platform::kAttrDirectory), (std::vector<std::string>{"a.bmp", "b.bmp", "dir.bmp"}));

  TSearchRec32 rec;
  ASSERT_EQ(kstFindFirst(dir / "a.bmp", 0x3F, rec), 0);
  EXPECT_EQ(rec.Size, 5u);
  EXPECT_NE(rec.Time, 0u);
  EXPECT_EQ(rec.Attr & platform::kAttrDirectory, 0u);
  EXPECT_EQ(kstFindNext(rec), platform::kErrorNoMoreFiles);
  kstFindClose(rec);

  // Only a directory matches and directories were not asked for: not found.
  EXPECT_EQ(kstFindFirst(dir / "dir.*", 0, rec), platform::kErrorNoMoreFiles);
  EXPECT_FALSE(rec.FindHandle.IsOpen());
  EXPECT_EQ(kstFindFirst(dir / "*.none", 0x3F, rec), platform::kErrorFileNotFound);

  EXPECT_TRUE(kstFileExists(dir / "dir.bmp"));
  EXPECT_TRUE(kstFileExists(dir / "*.BMP"));
  EXPECT_FALSE(kstFileExists(dir / "*.zip"));
  platform::SetAttributes(dir / "b.bmp", platform::kAttrArchive);
}

TEST(Kstfileio, ReadFilenameOfDefinedLength) {
  ScratchDir dir;
  const THandle in = OpenBytes(dir, std::string("xxNAME\0EXT.bmpyy", 16));
  ASSERT_NE(in, kstInvalidHandle);
  int64_t pos = 2;
  EXPECT_EQ(ReadFilename_DefinedLen(in, pos, 12), "NAME EXT.bmp");
  EXPECT_EQ(pos, 14);
  EXPECT_EQ(ReadFilename_DefinedLen(in, pos, 0), "");
  EXPECT_EQ(pos, 14);
  // Only two bytes remain: the name is empty but the position still advances.
  EXPECT_EQ(ReadFilename_DefinedLen(in, pos, 5), "");
  EXPECT_EQ(pos, 19);
  pos = -4;  // a seek that fails
  EXPECT_EQ(ReadFilename_DefinedLen(in, pos, 3), "");
  EXPECT_EQ(pos, -1);
  kstCloseFile(in);
}

TEST(Kstfileio, ReadFilenameNullTerminated) {
  ScratchDir dir;
  const std::string longName(300, 'L');
  const THandle in = OpenBytes(dir, std::string("first\0\0third", 12) + std::string(1, '\0') + longName);
  ASSERT_NE(in, kstInvalidHandle);
  int64_t pos = 0;
  EXPECT_EQ(ReadFilename_NullTerminate(in, pos), "first");
  EXPECT_EQ(pos, 6);
  EXPECT_EQ(ReadFilename_NullTerminate(in, pos), "");  // empty name: terminator only
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(ReadFilename_NullTerminate(in, pos), "third");
  EXPECT_EQ(pos, 13);
  // No terminator within 256 bytes: the name stops there.
  EXPECT_EQ(ReadFilename_NullTerminate(in, pos), std::string(256, 'L'));
  EXPECT_EQ(pos, 13 + 257);
  // The file ends before a terminator: what was there is the name.
  EXPECT_EQ(ReadFilename_NullTerminate(in, pos), std::string(300 - 256 - 1, 'L'));
  pos = 1000;
  EXPECT_EQ(ReadFilename_NullTerminate(in, pos), "");
  EXPECT_EQ(pos, 1001);
  kstCloseFile(in);
}

}  // namespace
