// Checks of the CRC-32 and CRC-16 routines: published check values, the
// "nothing to do" cases, and above all that every fast path (the public
// dispatcher, table slicing, carry-less folding in one or two lanes) gives exactly the byte step's
// register for every length and alignment, whole or fed in pieces; and the
// checksum of whole files through the platform's file handles.
#include "archive/crc/Crc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using kst::CRC_MASK;

// The register tables are built by the compiler.
static_assert(kst::Crc32Table[1] == 0x77073096u && kst::Crc32Table[255] == 0x2D02EF8Du);
static_assert(kst::Crc16Table[1] == 0xC0C1u && kst::Crc16Table[255] == 0x4040u);

uint32_t ByteStep(uint32_t Crc, const uint8_t* Data, size_t Length) {
  for (size_t I = 0; I < Length; ++I) Crc = kst::UpdC32(Data[I], Crc);
  return Crc;
}

std::vector<uint8_t> RandomBytes(size_t Length, uint32_t Seed) {
  std::mt19937 Engine(Seed);
  std::vector<uint8_t> Bytes(Length);
  for (auto& Byte : Bytes) Byte = static_cast<uint8_t>(Engine());
  return Bytes;
}

using Path = std::function<uint32_t(uint32_t, const uint8_t*, size_t)>;

struct NamedPath {
  std::string Name;
  Path Run;
};

// Every way of computing CRC-32 this machine can run.
std::vector<NamedPath> Paths() {
  std::vector<NamedPath> Result{
      {"Crc32_buf",
       [](uint32_t Crc, const uint8_t* Data, size_t Length) {
         kst::Crc32_buf(Data, static_cast<int64_t>(Length), Crc);
         return Crc;
       }},
      {"slicing", kst::crc_paths::Crc32Slicing},
  };
  if (kst::crc_paths::ClmulAvailable()) Result.push_back({"clmul", kst::crc_paths::Crc32Clmul});
  if (kst::crc_paths::WideClmulAvailable()) Result.push_back({"clmul-wide", kst::crc_paths::Crc32ClmulWide});
  return Result;
}

uint32_t Finished(const NamedPath& P, const std::string& Text) {
  return ~P.Run(CRC_MASK, reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
}

TEST(Crc32, CheckValuesOnEveryPath) {
  const std::string Long(1000, 'a');
  const uint32_t LongExpected = ~ByteStep(CRC_MASK, reinterpret_cast<const uint8_t*>(Long.data()), Long.size());
  for (const auto& P : Paths()) {
    SCOPED_TRACE(P.Name);
    EXPECT_EQ(Finished(P, "abc"), 0x352441C2u);
    EXPECT_EQ(Finished(P, "123456789"), 0xCBF43926u);
    EXPECT_EQ(Finished(P, Long), LongExpected);
  }
  EXPECT_EQ(~kst::UpdC32('c', kst::UpdC32('b', kst::UpdC32('a', CRC_MASK))), 0x352441C2u);
}

TEST(Crc32, NothingToDoLeavesTheRegisterAlone) {
  const uint8_t Data[4] = {1, 2, 3, 4};
  for (int64_t Length : {int64_t(0), int64_t(-1), int64_t(-100000), INT64_MIN}) {
    uint32_t Crc = 0x12345678;
    kst::Crc32_buf(Data, Length, Crc);
    EXPECT_EQ(Crc, 0x12345678u) << Length;
  }
  uint32_t Crc = 0x12345678;
  kst::Crc32_buf(nullptr, 4, Crc);
  EXPECT_EQ(Crc, 0x12345678u);
  for (const auto& P : Paths()) EXPECT_EQ(P.Run(0xCAFEBABE, Data, 0), 0xCAFEBABEu) << P.Name;
}

// Short and medium lengths cross every block boundary of the slicing (16) and
// folding (16, 32, 64, 128, and the dispatcher's switches) loops, at every alignment.
// Counted back from the buffer's end, so that Offset 0 ends exactly at it and a
// read past the end shows under the address sanitizer.
TEST(Crc32, EveryLengthAndAlignmentMatchesTheByteStep) {
  const auto Bytes = RandomBytes(16 + 300, 1);
  std::mt19937 Engine(2);
  for (const auto& P : Paths()) {
    SCOPED_TRACE(P.Name);
    for (size_t Offset = 0; Offset < 16; ++Offset)
      for (size_t Length = 0; Length <= 300; ++Length) {
        const uint32_t Start = static_cast<uint32_t>(Engine());
        const uint8_t* Data = Bytes.data() + Bytes.size() - Length - Offset;
        ASSERT_EQ(P.Run(Start, Data, Length), ByteStep(Start, Data, Length))
            << "offset " << Offset << " length " << Length;
      }
  }
}

TEST(Crc32, LongBuffersMatchTheByteStep) {
  const auto Bytes = RandomBytes((1 << 20) + 3 + 7, 3);
  for (size_t Length : {size_t(4096), size_t(4096 + 13), size_t(1 << 20) + 3}) {
    for (size_t Offset : {size_t(0), size_t(7)}) {
      const uint8_t* Data = Bytes.data() + Offset;
      const uint32_t Expected = ByteStep(CRC_MASK, Data, Length);
      for (const auto& P : Paths())
        EXPECT_EQ(P.Run(CRC_MASK, Data, Length), Expected) << P.Name << " length " << Length << " offset " << Offset;
    }
  }
}

// A buffer fed in pieces of any size gives the register of one call.
TEST(Crc32, PiecewiseFeedingEqualsOneCall) {
  const auto Bytes = RandomBytes(200000, 4);
  const uint32_t Expected = ByteStep(CRC_MASK, Bytes.data(), Bytes.size());
  std::mt19937 Engine(5);
  for (size_t MaxPiece : {size_t(20), size_t(700), size_t(70000)}) {
    uint32_t Crc = CRC_MASK;
    size_t Done = 0;
    while (Done < Bytes.size()) {
      const size_t Piece = std::min<size_t>(Engine() % (MaxPiece + 1), Bytes.size() - Done);
      kst::Crc32_buf(Bytes.data() + Done, static_cast<int64_t>(Piece), Crc);
      Done += Piece;
    }
    EXPECT_EQ(Crc, Expected) << "pieces up to " << MaxPiece;
  }
}

TEST(Crc16, CheckValueAndNothingToDo) {
  const std::string Check = "123456789";
  uint16_t Crc = 0;
  kst::Crc16_buf(Check.data(), static_cast<int64_t>(Check.size()), Crc);
  EXPECT_EQ(Crc, 0xBB3Du);

  // Fed in two pieces the register carries over.
  Crc = 0;
  kst::Crc16_buf(Check.data(), 4, Crc);
  kst::Crc16_buf(Check.data() + 4, 5, Crc);
  EXPECT_EQ(Crc, 0xBB3Du);

  for (int64_t Length : {int64_t(0), int64_t(-5)}) {
    uint16_t Same = 0x1234;
    kst::Crc16_buf(Check.data(), Length, Same);
    EXPECT_EQ(Same, 0x1234u);
  }
}

// A file in the temporary folder, removed again at the end of the test.
class TempFile {
 public:
  explicit TempFile(const std::vector<uint8_t>& Content) {
    std::random_device Seed;
    FPath = std::filesystem::temp_directory_path() / ("skw-crc-" + std::to_string(Seed()) + ".bin");
    std::ofstream Out(FPath, std::ios::binary);
    Out.write(reinterpret_cast<const char*>(Content.data()), static_cast<std::streamsize>(Content.size()));
  }
  ~TempFile() {
    std::error_code Ignored;
    std::filesystem::remove(FPath, Ignored);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  std::string Name() const { return FPath.string(); }

 private:
  std::filesystem::path FPath;
};

// Empty, shorter than one block, and several blocks with a partial last one;
// the file may stand anywhere before the call and is at 0 after it.
TEST(CalcFileCRC, WholeFileRegisterAndRewind) {
  for (size_t Size : {size_t(0), size_t(13), size_t(250001)}) {
    SCOPED_TRACE(Size);
    const auto Content = RandomBytes(Size, 6);
    TempFile File(Content);
    const platform::FileHandle Handle = platform::OpenRead(File.Name());
    ASSERT_NE(Handle, platform::kInvalidHandle);
    platform::Seek(Handle, 0, platform::SeekOrigin::End);
    EXPECT_EQ(kst::CalcFileCRC(Handle), ByteStep(CRC_MASK, Content.data(), Content.size()));
    EXPECT_EQ(platform::Tell(Handle), 0);
    platform::Close(Handle);
  }
}

TEST(CalcFileCRC, UnreadableFileGivesTheInitialRegister) {
  EXPECT_EQ(kst::CalcFileCRC(platform::kInvalidHandle), CRC_MASK);

  // A handle opened for writing only has a size but refuses to be read.
  TempFile File({});
  const platform::FileHandle Handle = platform::OpenWrite(File.Name(), true);
  ASSERT_NE(Handle, platform::kInvalidHandle);
  const auto Content = RandomBytes(5000, 7);
  ASSERT_EQ(platform::Write(Handle, Content.data(), Content.size()), 5000);
  ASSERT_EQ(platform::Size(Handle), 5000);
  EXPECT_EQ(kst::CalcFileCRC(Handle), CRC_MASK);
  platform::Close(Handle);
}

}  // namespace
