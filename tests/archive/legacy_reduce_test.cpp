// Reduce on hand-made streams: follower sets and their index widths, the
// marker byte's literal and match forms with every factor's length mask and
// distance reach, matches reaching before the first byte, and the ways a
// stream ends (its size, its input, a follower count that does not fit, a match
// running past the size).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "archive/decode/InflateRec.h"
#include "archive/decode/Unreduce.h"
#include "tests/kit/MemoryDecoderIO.h"

namespace {

using skwtest::MemoryDecoderIO;

class TBitWriter {
 public:
  TBitWriter& Put(uint32_t Value, unsigned Width) {
    for (unsigned I = 0; I < Width; ++I) {
      if (FBits % 8 == 0) FBytes.push_back(0);
      const uint32_t Bit = I < 32 ? (Value >> I) & 1 : 0;
      FBytes.back() |= uint8_t(Bit << (FBits % 8));
      ++FBits;
    }
    return *this;
  }
  // Follower sets for 255 down to 0; bytes without an entry get none.
  TBitWriter& Sets(const std::map<uint8_t, std::vector<uint8_t>>& Followers = {}) {
    for (int Byte = 255; Byte >= 0; --Byte) {
      auto It = Followers.find(uint8_t(Byte));
      Put(It == Followers.end() ? 0 : uint32_t(It->second.size()), 6);
      if (It != Followers.end()) {
        for (uint8_t F : It->second) Put(F, 8);
      }
    }
    return *this;
  }
  // Bytes after empty follower sets: eight bits each.
  TBitWriter& Bytes(const std::vector<uint8_t>& Values) {
    for (uint8_t V : Values) Put(V, 8);
    return *this;
  }
  std::vector<uint8_t> Done() const { return FBytes; }

 private:
  std::vector<uint8_t> FBytes;
  unsigned FBits = 0;
};

struct TResult {
  std::vector<uint8_t> Output;
  std::vector<int32_t> Errors;
};

TResult Decode(const std::vector<uint8_t>& Stream, int Factor, uint32_t Unpacked) {
  MemoryDecoderIO IO(Stream, {1});
  kst::TInflateRec Rec;
  Rec.Method = uint32_t(Factor + 1);
  Rec.PackedSize = uint32_t(Stream.size());
  Rec.UnpackedSize = Unpacked;
  kst::Unreduce(IO, Rec, Factor);
  for (const MemoryDecoderIO::Report& R : IO.Reports) EXPECT_TRUE(R.Raised);
  return {IO.Output, IO.ErrorCodes()};
}

std::vector<uint8_t> Text(const std::string& S) { return std::vector<uint8_t>(S.begin(), S.end()); }

TEST(Unreduce, MarkerGivesLiteral144OrAMatchForEveryFactor) {
  for (int Factor = 1; Factor <= 4; ++Factor) {
    // a b c, match of 2 + 3 bytes from 3 back, then 144 0 for a literal 144.
    auto R = Decode(TBitWriter().Sets().Bytes({'a', 'b', 'c', 144, 2, 2, 144, 0}).Done(), Factor, 100);
    EXPECT_EQ(R.Output, Text("abcabcab\x90")) << Factor;
    EXPECT_TRUE(R.Errors.empty()) << Factor;
  }
}

TEST(Unreduce, FullLengthTakesOneMoreByteAndHighBitsReachFarther) {
  for (int Factor = 1; Factor <= 4; ++Factor) {
    const uint32_t Mask = 0xFFu >> Factor;
    const uint32_t High = (1u << Factor) - 1;
    std::vector<uint8_t> Plain;
    for (uint32_t I = 0; I < 4096; ++I) Plain.push_back(uint8_t((I * 7 + I / 128) % 128));
    TBitWriter W;
    W.Sets().Bytes(Plain).Bytes({144, uint8_t((High << (8 - Factor)) | Mask), 2, 255});
    const uint32_t Distance = 256u << Factor;  // High * 256 + 255 + 1
    const uint32_t Length = Mask + 2 + 3;
    std::vector<uint8_t> Expected = Plain;
    for (uint32_t I = 0; I < Length; ++I) Expected.push_back(Expected[Expected.size() - Distance]);
    auto R = Decode(W.Done(), Factor, uint32_t(Expected.size()));
    EXPECT_EQ(R.Output, Expected) << Factor;
    EXPECT_TRUE(R.Errors.empty()) << Factor;
  }
}

TEST(Unreduce, FollowerSetsPredictBytesWithIndexesJustWideEnough) {
  std::vector<uint8_t> Many;
  for (uint8_t F = 100; F < 132; ++F) Many.push_back(F);
  TBitWriter W;
  W.Sets({{0, {'x', 'y', 'z'}}, {'q', Many}});
  W.Put(0, 1).Put(2, 2);   // after 0: follower 2 of 3 (two bits)
  W.Put('q', 8);           // 'z' has no set: eight bits
  W.Put(0, 1).Put(31, 5);  // after q: follower 31 of 32 (five bits)
  W.Put('q', 8);
  W.Put(1, 1).Put('r', 8);  // after q: flag 1, a literal despite the set
  auto R = Decode(W.Done(), 2, 100);
  EXPECT_EQ(R.Output, (std::vector<uint8_t>{'z', 'q', 131, 'q', 'r'}));
  EXPECT_TRUE(R.Errors.empty());
}

TEST(Unreduce, FollowerCountAbove32IsRefused) {
  auto R = Decode(TBitWriter().Put(33, 6).Put(0, 8 * 40).Done(), 1, 100);
  EXPECT_TRUE(R.Output.empty());
  EXPECT_EQ(R.Errors, std::vector<int32_t>{25111});
}

TEST(Unreduce, MatchReachingBeforeTheFirstByteCopiesZeros) {
  auto R = Decode(TBitWriter().Sets().Bytes({'a', 144, 1, 4, 'b'}).Done(), 3, 100);
  EXPECT_EQ(R.Output, (std::vector<uint8_t>{'a', 0, 0, 0, 0, 'b'}));
  EXPECT_TRUE(R.Errors.empty());
}

TEST(Unreduce, EndsAtTheUncompressedSize) {
  // The last byte's padding bits can read as more bytes: they are not output.
  auto R = Decode(TBitWriter().Sets().Bytes({'a', 'b', 'c'}).Done(), 1, 2);
  EXPECT_EQ(R.Output, Text("ab"));
  EXPECT_TRUE(R.Errors.empty());
}

TEST(Unreduce, MatchRunningPastTheSizeIsRefused) {
  auto R = Decode(TBitWriter().Sets().Bytes({'a', 'b', 144, 2, 1}).Done(), 1, 4);
  EXPECT_EQ(R.Output, Text("abab"));
  EXPECT_EQ(R.Errors, std::vector<int32_t>{25111});
}

TEST(Unreduce, InputEndingEarlyIsNoError) {
  auto InSets = Decode(TBitWriter().Put(3, 6).Put('a', 8).Done(), 1, 100);
  EXPECT_TRUE(InSets.Output.empty());
  EXPECT_TRUE(InSets.Errors.empty());
  auto InMatch = Decode(TBitWriter().Sets().Bytes({'a', 144, 5}).Done(), 1, 100);
  EXPECT_EQ(InMatch.Output, Text("a"));
  EXPECT_TRUE(InMatch.Errors.empty());
}

}  // namespace
