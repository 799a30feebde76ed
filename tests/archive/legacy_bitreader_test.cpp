// The legacy decoders' stream ends: the bit reader (least significant bit
// first, requests across byte and refill boundaries, no value once the input
// runs out) and the output window's match copies across its end. The decoder
// tests cover the window's limit, zeros before the first byte and cancellation.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "archive/decode/LegacyBitReader.h"
#include "tests/kit/MemoryDecoderIO.h"

namespace {

using kst::TLegacyBitReader;
using kst::TLegacyOutput;
using skwtest::MemoryDecoderIO;

std::vector<uint32_t> ReadAll(MemoryDecoderIO& IO, const std::vector<unsigned>& Widths) {
  TLegacyBitReader Reader(IO);
  std::vector<uint32_t> Values;
  for (unsigned Width : Widths) {
    auto Value = Reader.Read(Width);
    if (!Value) break;
    Values.push_back(*Value);
  }
  return Values;
}

TEST(LegacyBitReader, TakesBitsLowestFirstAcrossBytesAndRefills) {
  // 0xB4 = 1011 0100, 0x6D = 0110 1101, 0xF1 = 1111 0001, 0x0F.
  const std::vector<uint8_t> Bytes = {0xB4, 0x6D, 0xF1, 0x0F};
  const std::vector<unsigned> Widths = {3, 5, 9, 13, 2};
  const std::vector<uint32_t> Expected = {0x4, 0x16, 0x16D, 0x7F8, 0x0};
  for (uint32_t Chunk : {0u, 1u, 3u}) {
    MemoryDecoderIO IO(Bytes, Chunk ? std::vector<uint32_t>{Chunk} : std::vector<uint32_t>{});
    EXPECT_EQ(ReadAll(IO, Widths), Expected) << "chunk " << Chunk;
  }
}

TEST(LegacyBitReader, AnswersNoValueWhenTheInputEndsAndKeepsWhatIsLeft) {
  MemoryDecoderIO IO({0xFF, 0x01}, {1});
  TLegacyBitReader Reader(IO);
  EXPECT_EQ(Reader.Read(13), std::optional<uint32_t>(0x1FF));
  EXPECT_FALSE(Reader.Read(4).has_value());  // only 3 bits remain
  EXPECT_EQ(Reader.Available(), 3u);
  EXPECT_EQ(Reader.Read(3), std::optional<uint32_t>(0));
  const uint32_t Calls = IO.ReadCalls;
  EXPECT_FALSE(Reader.Read(1).has_value());
  EXPECT_FALSE(Reader.Read(1).has_value());
  EXPECT_EQ(IO.ReadCalls, Calls);  // the end is remembered, not asked again
}

TEST(LegacyBitReader, LongInputKeepsItsOrderOverManyRefills) {
  std::vector<uint8_t> Bytes(100000);
  for (size_t I = 0; I < Bytes.size(); ++I) Bytes[I] = uint8_t(I * 131 + (I >> 8));
  MemoryDecoderIO IO(Bytes, {32768, 5});
  TLegacyBitReader Reader(IO);
  // 8 + 16 = 24 bits: three bytes per round, refills land at every offset.
  for (size_t I = 0; I + 3 <= Bytes.size(); I += 3) {
    ASSERT_EQ(Reader.Read(8), std::optional<uint32_t>(Bytes[I])) << I;
    ASSERT_EQ(Reader.Read(16), std::optional<uint32_t>(Bytes[I + 1] | Bytes[I + 2] << 8)) << I;
  }
}

TEST(LegacyOutput, CopiesMatchAByteByByteReferenceAcrossTheWindowEnd) {
  MemoryDecoderIO IO({});
  TLegacyOutput Out(IO, 1u << 20);
  std::vector<uint8_t> Reference;
  uint32_t Seed = 12345;
  while (Reference.size() < 200000) {
    Seed = Seed * 1103515245 + 12345;
    if (Reference.size() < 9000 || (Seed >> 16) % 3 == 0) {
      Out.Put(uint8_t(Seed >> 24));
      Reference.push_back(uint8_t(Seed >> 24));
      continue;
    }
    const uint32_t Distance = 1 + (Seed >> 8) % 8192;
    const uint32_t Length = 2 + (Seed >> 4) % 300;
    ASSERT_TRUE(Out.Copy(Distance, Length));
    for (uint32_t I = 0; I < Length; ++I) Reference.push_back(Reference[Reference.size() - Distance]);
  }
  Out.Finish();
  EXPECT_EQ(IO.Output, Reference);
}

}  // namespace
