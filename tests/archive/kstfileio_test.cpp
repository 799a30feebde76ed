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
  const std::string Path = Dir / "data.bin";
  if (!ScratchDir::WriteText(Path, Bytes)) return kstInvalidHandle;
  return kstOpenFileRead(nullptr, Path);
}

TEST(Kstfileio, FailedOpenReportsErrorOpeningFileToTheOwner) {
  ScratchDir Dir;
  RecordingOwner Owner;
  const std::string Missing = Dir / "missing.zip";
  EXPECT_EQ(kstOpenFileRead(&Owner.Component, Missing), kstInvalidHandle);
  ASSERT_EQ(Owner.Reports.size(), 1u);
  EXPECT_EQ(Owner.Reports[0].FileName, Missing);
  EXPECT_EQ(Owner.Reports[0].ExtendedMsg, "");
  EXPECT_EQ(Owner.Reports[0].VolumeID, "0");
  EXPECT_EQ(Owner.Reports[0].ECode, ErrOpenFile);

  // Must-not-exist write of an existing file fails the same way and leaves it.
  const std::string Existing = Dir / "kept.txt";
  ASSERT_TRUE(ScratchDir::WriteText(Existing, "keep me"));
  EXPECT_EQ(kstOpenFileWrite(&Owner.Component, Existing, false), kstInvalidHandle);
  ASSERT_EQ(Owner.Reports.size(), 2u);
  EXPECT_EQ(Owner.Reports[1].ECode, ErrOpenFile);
  const THandle Kept = kstOpenFileRead(&Owner.Component, Existing);
  EXPECT_EQ(kstGetFileSize(Kept), 7u);
  kstCloseFile(Kept);

  // Without an owner nothing is reported, and nothing throws.
  EXPECT_EQ(kstOpenFileRead(nullptr, Missing), kstInvalidHandle);
  EXPECT_EQ(kstOpenFile(&Owner.Component, "", TFileAccess::Read, TFileDisposition::OpenExisting), kstInvalidHandle);
  EXPECT_EQ(Owner.Reports.size(), 3u);
}

TEST(Kstfileio, WriteThenReadWithPositionsAndSize) {
  ScratchDir Dir;
  RecordingOwner Owner;
  const std::string Path = Dir / "out.bin";
  THandle Out = kstOpenFileWrite(&Owner.Component, Path, false);
  ASSERT_NE(Out, kstInvalidHandle);
  EXPECT_EQ(kstWrite(Out, "PK\x03\x04 header", 11), 11);
  EXPECT_EQ(kstGetFilePos(Out), 11);
  kstCloseFile(Out);
  Out = kstOpenFileWrite(&Owner.Component, Path, true);  // replace truncates
  ASSERT_NE(Out, kstInvalidHandle);
  EXPECT_EQ(kstWrite(Out, "abcdef", 6), 6);
  kstCloseFile(Out);
  EXPECT_TRUE(Owner.Reports.empty());

  const THandle In = kstOpenFileRead(&Owner.Component, Path);
  ASSERT_NE(In, kstInvalidHandle);
  EXPECT_EQ(kstGetFileSize(In), 6u);
  EXPECT_TRUE(kstSetFilePointer(In, -2, platform::SeekOrigin::End));
  EXPECT_EQ(kstGetFilePos(In), 4);
  char Two[2];
  EXPECT_EQ(kstRead(In, Two, 2), 2);
  EXPECT_EQ(std::string(Two, 2), "ef");
  EXPECT_FALSE(kstSetFilePointer(In, -1, platform::SeekOrigin::Begin));
  kstCloseFile(In);

  EXPECT_EQ(kstGetFileSize(kstInvalidHandle), 0u);
  EXPECT_EQ(kstGetFileDate(kstInvalidHandle, dtLastWrite), 0u);
}

TEST(Kstfileio, FileDateIsTheLocalDosStampOfTheChosenTime) {
  ScratchDir Dir;
  const std::string Path = Dir / "dated.txt";
  ASSERT_TRUE(ScratchDir::WriteText(Path, "x"));
  platform::LocalTime Local;
  Local.Year = 2001;
  Local.Month = 2;
  Local.Day = 3;
  Local.Hour = 4;
  Local.Minute = 5;
  Local.Second = 7;  // odd seconds are halved down
  platform::FileTimes Times;
  ASSERT_TRUE(platform::LocalToFileTime(Local, Times.LastWrite));
  Local.Year = 1979;  // before DOS dates begin
  ASSERT_TRUE(platform::LocalToFileTime(Local, Times.LastAccess));
  ASSERT_TRUE(platform::SetFileTimes(Path, Times));

  const THandle In = kstOpenFileRead(nullptr, Path);
  ASSERT_NE(In, kstInvalidHandle);
  const uint32_t Expected = (((2001u - 1980u) << 9 | 2u << 5 | 3u) << 16) | (4u << 11 | 5u << 5 | 3u);
  EXPECT_EQ(kstGetFileDate(In, dtLastWrite), Expected);
  EXPECT_EQ(kstGetFileDate(In, dtLastAccess), 0u);
  EXPECT_NE(kstGetFileDate(In, dtCreate), 0u);
  kstCloseFile(In);
}

TEST(Kstfileio, FindPassesOverAttributesNotAskedFor) {
  ScratchDir Dir;
  ASSERT_TRUE(ScratchDir::WriteText(Dir / "a.bmp", "12345"));
  ASSERT_TRUE(ScratchDir::WriteText(Dir / "b.bmp", "1"));
  ASSERT_TRUE(platform::MakeDirectory(Dir / "dir.bmp"));
  ASSERT_TRUE(platform::SetAttributes(Dir / "b.bmp", platform::kAttrReadOnly));

  const auto Names = [&](uint32_t Attr) {
    std::vector<std::string> Found;
    TSearchRec32 Rec;
    for (int Rc = kstFindFirst(Dir / "*.bmp", Attr, Rec); Rc == 0; Rc = kstFindNext(Rec)) Found.push_back(Rec.Name);
    kstFindClose(Rec);
    std::sort(Found.begin(), Found.end());
    return Found;
  };
  // Read-only files are never excluded; directories only when asked for.
  EXPECT_EQ(Names(0), (std::vector<std::string>{"a.bmp", "b.bmp"}));
  EXPECT_EQ(Names(platform::kAttrDirectory), (std::vector<std::string>{"a.bmp", "b.bmp", "dir.bmp"}));

  TSearchRec32 Rec;
  ASSERT_EQ(kstFindFirst(Dir / "a.bmp", 0x3F, Rec), 0);
  EXPECT_EQ(Rec.Size, 5u);
  EXPECT_NE(Rec.Time, 0u);
  EXPECT_EQ(Rec.Attr & platform::kAttrDirectory, 0u);
  EXPECT_EQ(kstFindNext(Rec), platform::kErrorNoMoreFiles);
  kstFindClose(Rec);

  // Only a directory matches and directories were not asked for: not found.
  EXPECT_EQ(kstFindFirst(Dir / "dir.*", 0, Rec), platform::kErrorNoMoreFiles);
  EXPECT_FALSE(Rec.FindHandle.IsOpen());
  EXPECT_EQ(kstFindFirst(Dir / "*.none", 0x3F, Rec), platform::kErrorFileNotFound);

  EXPECT_TRUE(kstFileExists(Dir / "dir.bmp"));
  EXPECT_TRUE(kstFileExists(Dir / "*.BMP"));
  EXPECT_FALSE(kstFileExists(Dir / "*.zip"));
  platform::SetAttributes(Dir / "b.bmp", platform::kAttrArchive);
}

TEST(Kstfileio, ReadFilenameOfDefinedLength) {
  ScratchDir Dir;
  const THandle In = OpenBytes(Dir, std::string("xxNAME\0EXT.bmpyy", 16));
  ASSERT_NE(In, kstInvalidHandle);
  int64_t Pos = 2;
  EXPECT_EQ(ReadFilename_DefinedLen(In, Pos, 12), "NAME EXT.bmp");
  EXPECT_EQ(Pos, 14);
  EXPECT_EQ(ReadFilename_DefinedLen(In, Pos, 0), "");
  EXPECT_EQ(Pos, 14);
  // Only two bytes remain: the name is empty but the position still advances.
  EXPECT_EQ(ReadFilename_DefinedLen(In, Pos, 5), "");
  EXPECT_EQ(Pos, 19);
  Pos = -4;  // a seek that fails
  EXPECT_EQ(ReadFilename_DefinedLen(In, Pos, 3), "");
  EXPECT_EQ(Pos, -1);
  kstCloseFile(In);
}

TEST(Kstfileio, ReadFilenameNullTerminated) {
  ScratchDir Dir;
  const std::string LongName(300, 'L');
  const THandle In = OpenBytes(Dir, std::string("first\0\0third", 12) + std::string(1, '\0') + LongName);
  ASSERT_NE(In, kstInvalidHandle);
  int64_t Pos = 0;
  EXPECT_EQ(ReadFilename_NullTerminate(In, Pos), "first");
  EXPECT_EQ(Pos, 6);
  EXPECT_EQ(ReadFilename_NullTerminate(In, Pos), "");  // empty name: terminator only
  EXPECT_EQ(Pos, 7);
  EXPECT_EQ(ReadFilename_NullTerminate(In, Pos), "third");
  EXPECT_EQ(Pos, 13);
  // No terminator within 256 bytes: the name stops there.
  EXPECT_EQ(ReadFilename_NullTerminate(In, Pos), std::string(256, 'L'));
  EXPECT_EQ(Pos, 13 + 257);
  // The file ends before a terminator: what was there is the name.
  EXPECT_EQ(ReadFilename_NullTerminate(In, Pos), std::string(300 - 256 - 1, 'L'));
  Pos = 1000;
  EXPECT_EQ(ReadFilename_NullTerminate(In, Pos), "");
  EXPECT_EQ(Pos, 1001);
  kstCloseFile(In);
}

}  // namespace
