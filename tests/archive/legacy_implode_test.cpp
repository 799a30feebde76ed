// Implode on hand-made streams: two and three trees, the 8 KiB dictionary at
// its full reach (the corpus holds 4 KiB matches of 4096), the long length form, matches reaching before the first
// byte, and the refusals: trees whose codes collide (over-full, or a short code
// that lands inside longer ones), tree runs that do not add up, a code leading
// nowhere, a match running past the entry's size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/decode/Explode.h"
#include "archive/decode/InflateRec.h"
#include "tests/kit/MemoryDecoderIO.h"

namespace {

using skwtest::MemoryDecoderIO;

class TBitWriter {
 public:
  // Raw bits, least significant first.
  TBitWriter& Put(uint32_t Value, unsigned Width) {
    for (unsigned I = 0; I < Width; ++I) Bit((Value >> I) & 1);
    return *this;
  }
  // A tree code, its most significant bit first.
  TBitWriter& Code(uint32_t Value, unsigned Width) {
    for (unsigned I = Width; I-- > 0;) Bit((Value >> I) & 1);
    return *this;
  }
  // A tree given as its run bytes (repeat count less one high, length less one low).
  TBitWriter& Tree(const std::vector<uint8_t>& Runs) {
    Put(uint32_t(Runs.size() - 1), 8);
    for (uint8_t Run : Runs) Put(Run, 8);
    return *this;
  }
  // Every one of Values values with the same bit length.
  TBitWriter& UniformTree(unsigned Values, unsigned Length) {
    return Tree(std::vector<uint8_t>(Values / 16, uint8_t(0xF0 | (Length - 1))));
  }
  std::vector<uint8_t> Done() const { return FBytes; }

 private:
  void Bit(uint32_t B) {
    if (FBits % 8 == 0) FBytes.push_back(0);
    FBytes.back() |= uint8_t(B << (FBits % 8));
    ++FBits;
  }
  std::vector<uint8_t> FBytes;
  unsigned FBits = 0;
};

// With one length for all values the last value gets code 0, the one before
// it 1, and so on: value V of N has code N - 1 - V.
constexpr uint32_t Uniform(uint32_t Value, uint32_t Values) { return Values - 1 - Value; }

MemoryDecoderIO Decode(const std::vector<uint8_t>& Stream, uint16_t Flags, uint32_t Unpacked) {
  MemoryDecoderIO IO(Stream, {1});
  kst::TInflateRec Rec;
  Rec.BitFlag = Flags;
  Rec.Method = 6;
  Rec.PackedSize = uint32_t(Stream.size());
  Rec.UnpackedSize = Unpacked;
  kst::Explode(IO, Rec);
  return IO;
}

std::vector<uint8_t> Text(const std::string& S) { return std::vector<uint8_t>(S.begin(), S.end()); }

TEST(Explode, TwoTreesRawLiteralsAndShortMatches) {
  TBitWriter W;
  W.UniformTree(64, 6).UniformTree(64, 6);
  W.Put(1, 1).Put('a', 8).Put(1, 1).Put('b', 8);
  // Match: distance 2 (low 6 bits 1, high 0), length 3 + minimum 2.
  W.Put(0, 1).Put(1, 6).Code(Uniform(0, 64), 6).Code(Uniform(3, 64), 6);
  auto IO = Decode(W.Done(), 0, 7);
  EXPECT_EQ(IO.Output, Text("abababa"));
  EXPECT_TRUE(IO.Reports.empty());
}

std::vector<uint8_t> Pattern(uint32_t Size) {
  std::vector<uint8_t> Bytes;
  for (uint32_t I = 0; I < Size; ++I) Bytes.push_back(uint8_t(I * 37 + I / 256));
  return Bytes;
}

TEST(Explode, ThreeTreesEightKReachAndTheLongLength) {
  const std::vector<uint8_t> Plain = Pattern(8192);
  TBitWriter W;
  W.UniformTree(256, 8).UniformTree(64, 6).UniformTree(64, 6);
  for (uint8_t B : Plain) W.Put(1, 1).Code(Uniform(B, 256), 8);
  // Distance 8192 (low 7 bits 127, high 63); length 63 + 10 more + minimum 3.
  W.Put(0, 1).Put(127, 7).Code(Uniform(63, 64), 6).Code(Uniform(63, 64), 6).Put(10, 8);
  std::vector<uint8_t> Expected = Plain;
  Expected.insert(Expected.end(), Plain.begin(), Plain.begin() + 76);
  auto IO = Decode(W.Done(), 6, uint32_t(Expected.size()));
  EXPECT_EQ(IO.Output, Expected);
  EXPECT_TRUE(IO.Reports.empty());
}

TEST(Explode, MatchReachingBeforeTheFirstByteCopiesZeros) {
  TBitWriter W;
  W.UniformTree(64, 6).UniformTree(64, 6);
  W.Put(1, 1).Put('a', 8).Put(0, 1).Put(2, 6).Code(Uniform(0, 64), 6).Code(Uniform(0, 64), 6);
  auto IO = Decode(W.Done(), 0, 3);
  EXPECT_EQ(IO.Output, (std::vector<uint8_t>{'a', 0, 0}));
  EXPECT_TRUE(IO.Reports.empty());
}

void ExpectTreeRefused(const MemoryDecoderIO& IO, std::vector<int32_t> Codes) {
  EXPECT_TRUE(IO.Output.empty());
  EXPECT_EQ(IO.ErrorCodes(), Codes);
  for (const MemoryDecoderIO::Report& R : IO.Reports) EXPECT_FALSE(R.Raised);
}

TEST(Explode, CollidingTreesAreRefusedBeforeDecoding) {
  // Over-full: 64 codes of 5 bits.
  TBitWriter OverFull;
  OverFull.UniformTree(64, 5).UniformTree(64, 6).Put(0xFFFF, 16);
  ExpectTreeRefused(Decode(OverFull.Done(), 0, 10), {25293, 25111});
  // Not over-full, but value 0's one-bit code "0" is the first bit of the
  // seven-bit codes below it.
  TBitWriter Misaligned;
  Misaligned.UniformTree(64, 6).Tree({0x00, 0xF6, 0xF6, 0xF6, 0xE6}).Put(0xFFFF, 16);
  ExpectTreeRefused(Decode(Misaligned.Done(), 0, 10), {25293, 25111});
}

TEST(Explode, TreeRunsThatDoNotAddUpAreRefused) {
  ExpectTreeRefused(Decode(TBitWriter().Tree({0xF5, 0xF5, 0xF5}).Put(0, 32).Done(), 0, 10), {25111});
  ExpectTreeRefused(Decode(TBitWriter().UniformTree(80, 6).Put(0, 32).Done(), 0, 10), {25111});
  ExpectTreeRefused(Decode(TBitWriter().UniformTree(64, 6).Put(3, 8).Done(), 0, 10), {25111});
  ExpectTreeRefused(Decode({}, 4, 10), {25111});
}

TEST(Explode, CodeLeadingNowhereStopsDecoding) {
  // Seven-bit codes for 64 values fill half the code space; 1111111 is no code.
  TBitWriter W;
  W.UniformTree(64, 7).UniformTree(64, 6);
  W.Put(1, 1).Put('a', 8).Put(0, 1).Put(0, 6).Code(Uniform(0, 64), 6).Code(0x7F, 7).Put(0, 24);
  auto IO = Decode(W.Done(), 0, 10);
  EXPECT_EQ(IO.Output, Text("a"));
  ASSERT_EQ(IO.Reports.size(), 1u);
  EXPECT_EQ(IO.Reports[0].Code, 25293);
  EXPECT_TRUE(IO.Reports[0].Raised);
}

TEST(Explode, EndsAtTheSizeAndRefusesAMatchRunningPastIt) {
  TBitWriter W;
  W.UniformTree(64, 6).UniformTree(64, 6);
  W.Put(1, 1).Put('a', 8).Put(1, 1).Put('b', 8).Put(1, 1).Put('c', 8);
  auto Exact = Decode(W.Done(), 0, 2);
  EXPECT_EQ(Exact.Output, Text("ab"));
  EXPECT_TRUE(Exact.Reports.empty());

  W.Put(0, 1).Put(2, 6).Code(Uniform(0, 64), 6).Code(Uniform(4, 64), 6);  // 6 bytes
  auto Past = Decode(W.Done(), 0, 5);
  EXPECT_EQ(Past.Output, Text("abcab"));
  EXPECT_EQ(Past.ErrorCodes(), std::vector<int32_t>{25111});
}

}  // namespace
