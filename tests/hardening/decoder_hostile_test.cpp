// Hostile compressed streams fed to the decoders alone: Deflate blocks of type
// 3, over-subscribed and incomplete code sets, distances before the first
// byte, stored blocks whose length check fails, endless empty blocks and
// trailing garbage; Shrink codes widened past 13 bits and a full code table;
// Reduce follower sets too large; Implode trees that collide or overflow.
// Each ends with the error the decoder reports (or the sound outcome), never
// more output than declared, and nothing that was not decoded from this entry.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/core/Err_msgs.h"
#include "archive/decode/Explode.h"
#include "archive/decode/Inflate.h"
#include "archive/Kstgbls.h"
#include "archive/decode/Unreduce.h"
#include "archive/decode/Unshrink.h"
#include "tests/kit/DeflateBits.h"
#include "tests/kit/MemoryDecoderIO.h"

namespace {

using skwtest::DeflateBits;
using skwtest::MemoryDecoderIO;

bool Reported(const MemoryDecoderIO& IO, int32_t Code) {
  const auto Codes = IO.ErrorCodes();
  return std::find(Codes.begin(), Codes.end(), Code) != Codes.end();
}

// Runs Decode over Stream with the declared size; the output never exceeds it.
template <typename TDecode>
MemoryDecoderIO Decode(std::vector<uint8_t> Stream, uint32_t Declared, TDecode Run, uint16_t Flags = 0,
                       uint32_t Method = 8) {
  MemoryDecoderIO IO(std::move(Stream));
  kst::TInflateRec Rec;
  Rec.Method = Method;
  Rec.BitFlag = Flags;
  Rec.UnpackedSize = Declared;
  Rec.PackedSize = uint32_t(IO.InputDelivered);
  try {
    Run(IO, Rec);
  } catch (const kst::E_RAISE&) {
  }
  EXPECT_LE(IO.Output.size(), Declared);
  return IO;
}

MemoryDecoderIO Inflate(std::vector<uint8_t> Stream, uint32_t Declared = 1 << 20) {
  return Decode(std::move(Stream), Declared, [](auto& IO, auto& Rec) { kst::Inflate(IO, Rec); });
}

// A dynamic block header whose code-length code has the given lengths (in the
// format's permuted order), followed by zero bytes.
std::vector<uint8_t> DynamicHeader(const std::vector<uint32_t>& CodeLengthLengths) {
  DeflateBits Bits;
  Bits.Header(true, 2).Put(0, 5).Put(0, 5).Put(uint32_t(CodeLengthLengths.size() - 4), 4);
  for (uint32_t L : CodeLengthLengths) Bits.Put(L, 3);
  std::vector<uint8_t> Out = Bits.Bytes();
  Out.resize(Out.size() + 64, 0);
  return Out;
}

TEST(HostileDeflate, BadBlocksAndCodeSetsAreReported) {
  EXPECT_TRUE(Reported(Inflate(DeflateBits().Header(true, 3).Put(0, 13).Bytes()), kst::ErrBadBlock));
  // Over-subscribed: four code-length codes of one bit.
  EXPECT_TRUE(Reported(Inflate(DynamicHeader({1, 1, 1, 1})), kst::ErrIncompleteCodeSet));
  // Incomplete: a single code-length code of two bits cannot describe 258 lengths.
  EXPECT_FALSE(Inflate(DynamicHeader({0, 0, 0, 2})).Reports.empty());
}

TEST(HostileDeflate, DistanceBeforeTheFirstByteIsInvalid) {
  // "a", then a match of 3 at distance 5: nothing from before the entry appears.
  DeflateBits Bits;
  Bits.Header(true, 1).Fixed('a').Fixed(257).FixedDistance(4).Put(0, 1).Fixed(256);
  const MemoryDecoderIO IO = Inflate(Bits.Bytes());
  EXPECT_TRUE(Reported(IO, kst::ErrBadBlock));
  EXPECT_EQ(IO.Output, std::vector<uint8_t>{'a'});
}

TEST(HostileDeflate, StoredLengthMismatchAndEmptyBlocks) {
  const std::vector<uint8_t> Mismatch = {0x01, 0x05, 0x00, 0xFA, 0xFE, 'h', 'e', 'l', 'l', 'o'};
  const MemoryDecoderIO Bad = Inflate(Mismatch);
  EXPECT_FALSE(Bad.Reports.empty());
  EXPECT_TRUE(Bad.Output.empty());
  // Two hundred thousand empty blocks, none final: decoding ends with the input.
  std::vector<uint8_t> Empty;
  for (int I = 0; I < 200000; ++I) Empty.insert(Empty.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF});
  EXPECT_TRUE(Inflate(Empty, 100).Output.empty());
  // Empty fixed blocks: ten bits each.
  DeflateBits Fixed;
  for (int I = 0; I < 400000; ++I) Fixed.Header(false, 1).Fixed(256);
  EXPECT_TRUE(Inflate(Fixed.Bytes(), 100).Output.empty());
}

TEST(HostileDeflate, TrailingGarbageAfterTheFinalBlockIsIgnored) {
  std::vector<uint8_t> Stream = {0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'};
  Stream.resize(Stream.size() + 5000, 0xA5);
  const MemoryDecoderIO IO = Inflate(Stream, 3);
  EXPECT_EQ(IO.Output, (std::vector<uint8_t>{'a', 'b', 'c'}));
  EXPECT_TRUE(IO.Reports.empty());
}

TEST(HostileDeflate, OutputStopsAtTheDeclaredSize) {
  const MemoryDecoderIO IO = Inflate(skwtest::ZeroBomb(4000), 777);
  EXPECT_EQ(IO.Output.size(), 777u);
  EXPECT_TRUE(Reported(IO, kst::ErrBadBlock));
}

MemoryDecoderIO Unshrink(std::vector<uint8_t> Stream, uint32_t Declared) {
  return Decode(
      std::move(Stream), Declared, [](auto& IO, auto& Rec) { kst::Unshrink(IO, Rec); }, 0, 1);
}

TEST(HostileLegacy, ShrinkWidensPastThirteenBitsOrFillsItsTable) {
  // Four widenings reach 13 bits; the fifth is refused.
  DeflateBits Wide;
  int Width = 9;
  Wide.Put('A', Width);
  for (int I = 0; I < 5; ++I) {
    Wide.Put(256, Width).Put(1, Width);
    ++Width;
  }
  Wide.Put('B', 14);
  EXPECT_TRUE(Reported(Unshrink(Wide.Bytes(), 1000), kst::ErrBadBlock));
  // Thirteen-bit codes, far more than the table holds, without a clear: the
  // table stays full and the literals still come out.
  DeflateBits Full;
  Width = 9;
  Full.Put('A', Width);
  for (int I = 0; I < 4; ++I) {
    Full.Put(256, Width).Put(1, Width);
    ++Width;
  }
  for (int I = 0; I < 10000; ++I) Full.Put('A' + I % 3, 13);
  const MemoryDecoderIO IO = Unshrink(Full.Bytes(), 10001);
  EXPECT_EQ(IO.Output.size(), 10001u);
  // Codes that refer to entries never made, and partial clears at once.
  DeflateBits Junk;
  Junk.Put('A', 9).Put(256, 9).Put(2, 9).Put(300, 9).Put(511, 9).Put(256, 9).Put(7, 9);
  Unshrink(Junk.Bytes(), 100);
}

TEST(HostileLegacy, ReduceFollowerSetsTooLarge) {
  DeflateBits Bits;
  Bits.Put(33, 6);  // the first follower set (of byte 255) claims 33 followers
  for (int I = 0; I < 40; ++I) Bits.Put(uint32_t(I), 8);
  std::vector<uint8_t> Stream = Bits.Bytes();
  Stream.resize(Stream.size() + 500, 0x5A);
  for (int Factor = 1; Factor <= 4; ++Factor) {
    const MemoryDecoderIO IO = Decode(
        Stream, 1000, [Factor](auto& IO, auto& Rec) { kst::Unreduce(IO, Rec, Factor); }, 0, uint32_t(Factor + 1));
    EXPECT_TRUE(Reported(IO, kst::ErrBadBlock)) << Factor;
  }
  // Arbitrary bytes with every factor: bounded output, no crash.
  std::vector<uint8_t> Noise(3000);
  for (size_t I = 0; I < Noise.size(); ++I) Noise[I] = uint8_t(I * 131 + 7);
  for (int Factor = 0; Factor <= 5; ++Factor)
    Decode(
        Noise, 5000, [Factor](auto& IO, auto& Rec) { kst::Unreduce(IO, Rec, Factor); }, 0, 5);
}

MemoryDecoderIO Explode(std::vector<uint8_t> Stream, uint16_t Flags) {
  return Decode(
      std::move(Stream), 5000, [](auto& IO, auto& Rec) { kst::Explode(IO, Rec); }, Flags, 6);
}

TEST(HostileLegacy, ImplodeTreesThatCollideOrOverflow) {
  for (uint16_t Flags : {uint16_t(0), uint16_t(2), uint16_t(4), uint16_t(6)}) {
    // Every tree: 16 codes of one bit each, four times over: they collide.
    std::vector<uint8_t> Collide;
    for (int Tree = 0; Tree < 3; ++Tree) Collide.insert(Collide.end(), {3, 0xF0, 0xF0, 0xF0, 0xF0});
    Collide.resize(Collide.size() + 100, 0x33);
    const MemoryDecoderIO Bad = Explode(Collide, Flags);
    EXPECT_TRUE(Reported(Bad, kst::ErrAmbiguousTree) || Reported(Bad, kst::ErrBadBlock)) << Flags;
    EXPECT_TRUE(Bad.Output.empty());
    // Trees describing more values than the tree has (16 × 16 = 256 for 64 distances).
    std::vector<uint8_t> Overflow;
    for (int Tree = 0; Tree < 3; ++Tree) {
      Overflow.push_back(15);
      Overflow.insert(Overflow.end(), 16, 0xF7);
    }
    Overflow.resize(Overflow.size() + 100, 0x33);
    EXPECT_FALSE(Explode(Overflow, Flags).Reports.empty()) << Flags;
    // A tree cut short by the end of the data.
    EXPECT_TRUE(Explode({200, 0x11}, Flags).Output.empty()) << Flags;
  }
}

}  // namespace
