// TMemoryStream: reads at and past the end, writes that overwrite and grow,
// gaps left by seeking past the end, SetSize cutting and extending, self-copies
// that survive a reallocation, and whole-file load and save round trips.
#include "archive/io/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "tests/support/TestData.h"

namespace {

using kst::TMemoryStream;

std::vector<uint8_t> Content(const TMemoryStream& Stream) {
  if (Stream.Size() == 0) return {};
  return {Stream.Memory(), Stream.Memory() + Stream.Size()};
}

TMemoryStream StreamOf(const std::vector<uint8_t>& Bytes) {
  TMemoryStream Stream;
  Stream.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  Stream.SetPosition(0);
  return Stream;
}

std::string TempPath(const std::string& Name) {
  return (std::filesystem::temp_directory_path() / ("skw-memstream-" + Name)).string();
}

TEST(MemoryStream, ReadAtAndPastEndYieldsFewerBytes) {
  TMemoryStream Stream = StreamOf({1, 2, 3, 4, 5});
  uint8_t Buffer[8] = {};
  Stream.SetPosition(3);
  EXPECT_EQ(Stream.Read(Buffer, 8), 2);
  EXPECT_EQ(Buffer[0], 4);
  EXPECT_EQ(Buffer[1], 5);
  EXPECT_EQ(Stream.Position(), 5);
  EXPECT_EQ(Stream.Read(Buffer, 8), 0);
  Stream.SetPosition(100);
  EXPECT_EQ(Stream.Read(Buffer, 1), 0);
  EXPECT_EQ(Stream.Position(), 100);
  EXPECT_EQ(Stream.Size(), 5);

  Stream.SetPosition(4);
  EXPECT_THROW(Stream.ReadBuffer(Buffer, 2), kst::EStreamError);
  Stream.SetPosition(4);
  EXPECT_NO_THROW(Stream.ReadBuffer(Buffer, 1));
}

TEST(MemoryStream, WriteOverwritesAndGrows) {
  TMemoryStream Stream = StreamOf({1, 2, 3, 4, 5});
  const uint8_t Patch[] = {9, 9, 9, 9};
  Stream.SetPosition(1);
  EXPECT_EQ(Stream.Write(Patch, 2), 2);
  EXPECT_EQ(Content(Stream), (std::vector<uint8_t>{1, 9, 9, 4, 5}));
  EXPECT_EQ(Stream.Position(), 3);

  Stream.Seek(-1, kst::soEnd);
  Stream.Write(Patch, 4);
  EXPECT_EQ(Content(Stream), (std::vector<uint8_t>{1, 9, 9, 4, 9, 9, 9, 9}));
  EXPECT_EQ(Stream.Position(), 8);
}

TEST(MemoryStream, WritePastEndFillsGapWithZeros) {
  TMemoryStream Stream = StreamOf({7});
  // Dirty the spare capacity first so the gap cannot be zero by accident.
  std::vector<uint8_t> Junk(200, 0xEE);
  Stream.Seek(0, kst::soEnd);
  Stream.Write(Junk.data(), 200);
  Stream.SetSize(1);
  Stream.SetPosition(4);
  const uint8_t Byte = 8;
  Stream.Write(&Byte, 1);
  EXPECT_EQ(Content(Stream), (std::vector<uint8_t>{7, 0, 0, 0, 8}));
}

TEST(MemoryStream, SeekOrigins) {
  TMemoryStream Stream = StreamOf({1, 2, 3, 4, 5, 6});
  EXPECT_EQ(Stream.Seek(2, kst::soBeginning), 2);
  EXPECT_EQ(Stream.Seek(3, kst::soCurrent), 5);
  EXPECT_EQ(Stream.Seek(-6, kst::soEnd), 0);
  EXPECT_THROW(Stream.Seek(-1, kst::soCurrent), kst::EStreamError);
  EXPECT_EQ(Stream.Position(), 0);
}

TEST(MemoryStream, SetSizeCutsAndExtendsWithZeros) {
  TMemoryStream Stream = StreamOf({1, 2, 3, 4, 5, 6});
  Stream.SetPosition(6);
  Stream.SetSize(3);
  EXPECT_EQ(Content(Stream), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Stream.Position(), 3);  // no longer past the end

  Stream.SetPosition(1);
  Stream.SetSize(6);
  EXPECT_EQ(Content(Stream), (std::vector<uint8_t>{1, 2, 3, 0, 0, 0}));
  EXPECT_EQ(Stream.Position(), 1);
  EXPECT_THROW(Stream.SetSize(-1), kst::EStreamError);

  Stream.Clear();
  EXPECT_EQ(Stream.Size(), 0);
  EXPECT_EQ(Stream.Position(), 0);
  uint8_t Byte = 0;
  EXPECT_EQ(Stream.Read(&Byte, 1), 0);
}

TEST(MemoryStream, ManySmallWritesKeepEveryByte) {
  TMemoryStream Stream;
  for (uint32_t I = 0; I < 100000; ++I) Stream.Write(&I, 4);
  ASSERT_EQ(Stream.Size(), 400000);
  for (uint32_t I = 0; I < 100000; I += 9999) {
    uint32_t Value = 0;
    std::memcpy(&Value, Stream.Memory() + 4 * I, 4);
    EXPECT_EQ(Value, I);
  }
}

TEST(MemoryStream, WriteFromOwnBytesSurvivesGrowth) {
  // Doubling a stream by appending its own content forces a reallocation
  // while the source points into the old buffer.
  std::vector<uint8_t> Bytes(1000);
  std::iota(Bytes.begin(), Bytes.end(), 0);
  TMemoryStream Stream = StreamOf(Bytes);
  Stream.Seek(0, kst::soEnd);
  Stream.Write(Stream.Memory(), Stream.Size());
  std::vector<uint8_t> Expected = Bytes;
  Expected.insert(Expected.end(), Bytes.begin(), Bytes.end());
  EXPECT_EQ(Content(Stream), Expected);

  // Overlapping move inside the buffer, as when container data shift.
  Stream.SetPosition(10);
  Stream.Write(Stream.Memory(), 100);
  EXPECT_EQ(Stream.Memory()[10], 0);
  EXPECT_EQ(Stream.Memory()[109], 99);
}

TEST(MemoryStream, CopiesAndMovesAreIndependent) {
  TMemoryStream Original = StreamOf({1, 2, 3});
  TMemoryStream Copy = Original;
  Copy.Memory()[0] = 9;
  EXPECT_EQ(Original.Memory()[0], 1);
  TMemoryStream Moved = std::move(Original);
  EXPECT_EQ(Content(Moved), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(MemoryStream, SaveAndLoadRoundTrip) {
  const std::string Path = TempPath("roundtrip.bin");
  std::vector<uint8_t> Bytes(70000);
  for (size_t I = 0; I < Bytes.size(); ++I) Bytes[I] = static_cast<uint8_t>(I * 31 + 7);
  TMemoryStream Out = StreamOf(Bytes);
  Out.SaveToFile(Path);
  EXPECT_EQ(skwtest::ReadFileBytes(Path), Bytes);

  TMemoryStream In = StreamOf({5, 5});
  In.SetPosition(2);
  In.LoadFromFile(Path);
  EXPECT_EQ(In.Position(), 0);
  EXPECT_EQ(Content(In), Bytes);

  // Saving a shorter stream truncates the file; an empty stream leaves it empty.
  StreamOf({1}).SaveToFile(Path);
  EXPECT_EQ(skwtest::ReadFileBytes(Path), std::vector<uint8_t>{1});
  TMemoryStream().SaveToFile(Path);
  In.LoadFromFile(Path);
  EXPECT_EQ(In.Size(), 0);
  std::filesystem::remove(Path);
}

TEST(MemoryStream, FailedLoadLeavesStreamUnchanged) {
  TMemoryStream Stream = StreamOf({1, 2, 3});
  Stream.SetPosition(2);
  EXPECT_THROW(Stream.LoadFromFile(TempPath("missing/none.bin")), kst::EStreamError);
  EXPECT_EQ(Content(Stream), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Stream.Position(), 2);
  EXPECT_THROW(Stream.SaveToFile(TempPath("missing/none.bin")), kst::EStreamError);
}

}  // namespace
