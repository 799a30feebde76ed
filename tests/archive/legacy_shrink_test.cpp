// Shrink on hand-made code streams: strings and the code not yet defined,
// wider codes, the partial clear and the order in which freed codes return,
// strings of cleared entries, and every way a damaged stream ends decoding
// (bad control codes, codes wider than 13 bits, no first code, a chain into a
// code never defined, a self-referencing chain overflowing the decode stack).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/decode/InflateRec.h"
#include "archive/decode/Unshrink.h"
#include "tests/kit/MemoryDecoderIO.h"

namespace {

using skwtest::MemoryDecoderIO;

// Codes of the current width, least significant bit first.
class TCodeWriter {
 public:
  TCodeWriter& Code(uint32_t Value) {
    for (unsigned I = 0; I < FWidth; ++I) Bit((Value >> I) & 1);
    return *this;
  }
  TCodeWriter& Codes(const std::string& Literals) {
    for (char C : Literals) Code(uint8_t(C));
    return *this;
  }
  TCodeWriter& Wider() {
    Code(256).Code(1);
    ++FWidth;
    return *this;
  }
  TCodeWriter& Clear() { return Code(256).Code(2); }
  std::vector<uint8_t> Bytes() const { return FBytes; }

 private:
  void Bit(uint32_t B) {
    if (FBits % 8 == 0) FBytes.push_back(0);
    FBytes.back() |= uint8_t(B << (FBits % 8));
    ++FBits;
  }
  std::vector<uint8_t> FBytes;
  unsigned FBits = 0;
  unsigned FWidth = 9;
};

struct TResult {
  std::string Output;
  std::vector<int32_t> Errors;
};

TResult Decode(const std::vector<uint8_t>& Stream, uint32_t Unpacked = 1000) {
  MemoryDecoderIO IO(Stream, {1});
  kst::TInflateRec Rec;
  Rec.Method = 1;
  Rec.PackedSize = uint32_t(Stream.size());
  Rec.UnpackedSize = Unpacked;
  kst::Unshrink(IO, Rec);
  for (const MemoryDecoderIO::Report& R : IO.Reports) EXPECT_TRUE(R.Raised);
  return {std::string(IO.Output.begin(), IO.Output.end()), IO.ErrorCodes()};
}

TEST(Unshrink, StringsAndTheCodeNotYetDefined) {
  // a, b (257 = ab), 257 (258 = ba), 259 not yet defined: ab + a (259 = aba), 259.
  auto R = Decode(TCodeWriter().Codes("ab").Code(257).Code(259).Code(259).Bytes());
  EXPECT_EQ(R.Output, "abababaaba");
  EXPECT_TRUE(R.Errors.empty());
}

TEST(Unshrink, ControlCodeWidensCodesUpTo13BitsButNoFurther) {
  TCodeWriter W;
  W.Codes("a").Wider().Codes("b").Wider().Wider().Wider().Codes("c");
  EXPECT_EQ(Decode(W.Bytes()).Output, "abc");
  W.Wider();  // 14 bits would address codes past the table
  W.Codes("d");
  auto R = Decode(W.Bytes());
  EXPECT_EQ(R.Output, "abc");
  EXPECT_EQ(R.Errors, std::vector<int32_t>{25111});
}

TEST(Unshrink, OtherControlValuesAreRefused) {
  for (uint32_t Value : {0u, 3u, 256u, 511u}) {
    auto R = Decode(TCodeWriter().Codes("ab").Code(256).Code(Value).Codes("c").Bytes());
    EXPECT_EQ(R.Output, "ab") << Value;
    EXPECT_EQ(R.Errors, std::vector<int32_t>{25111}) << Value;
  }
}

TEST(Unshrink, StreamWithoutALiteralFirstCodeIsRefused) {
  auto Empty = Decode({});
  EXPECT_EQ(Empty.Output, "");
  EXPECT_EQ(Empty.Errors, std::vector<int32_t>{25111});
  auto Short = Decode({0x61});  // 8 bits: no whole code
  EXPECT_EQ(Short.Errors, std::vector<int32_t>{25111});
  auto NotLiteral = Decode(TCodeWriter().Code(300).Codes("a").Bytes());
  EXPECT_EQ(NotLiteral.Output, "");
  EXPECT_EQ(NotLiteral.Errors, std::vector<int32_t>{25111});
}

TEST(Unshrink, PartialClearHandsOutTheFreedCodesLowestFirst) {
  // a, b (257 = ab), c (258 = bc), 257 (259 = ca), d (260 = abd): 257 has a
  // user, 258..260 are leaves. After the clear the freed codes come back in
  // order: e (258 = de), 258 (259 = ed), 257 (260 = dea), 260.
  TCodeWriter W;
  W.Codes("abc").Code(257).Codes("d").Clear().Codes("e").Code(258).Code(257).Code(260);
  auto R = Decode(W.Bytes());
  EXPECT_EQ(R.Output, "abcabdedeabdea");
  EXPECT_TRUE(R.Errors.empty());
}

TEST(Unshrink, ClearedStringStaysDecodableUntilItsCodeIsReused) {
  // a, b (257 = ab), 257 (258 = ba), c (259 = abc), 259 (260 = ca); the clear
  // frees 258..260; x makes 258 = 259 + x while 259 still reads abc.
  TCodeWriter W;
  W.Codes("ab").Code(257).Codes("c").Code(259).Clear().Codes("x").Code(258);
  auto R = Decode(W.Bytes());
  EXPECT_EQ(R.Output, "ababcabcxabcx");
  EXPECT_TRUE(R.Errors.empty());
}

TEST(Unshrink, ChainIntoACodeNeverDefinedIsRefused) {
  // 300 is decoded as a + a but never defined; 257 = aa, 258 = 300 + b.
  auto R = Decode(TCodeWriter().Codes("a").Code(300).Codes("b").Code(258).Codes("c").Bytes());
  EXPECT_EQ(R.Output, "aaab");
  EXPECT_EQ(R.Errors, std::vector<int32_t>{25111});
}

TEST(Unshrink, SelfReferencingChainOverflowsTheStackAfterWritingTheOutput) {
  // a, b (257 = ab), 257 (258 = ba); the clear frees 257 and 258 while 257 is
  // the previous code, so c makes 257 = 257 + c: a chain without end.
  TCodeWriter W;
  W.Codes("ab").Code(257).Clear().Codes("c").Code(257).Codes("d");
  auto R = Decode(W.Bytes());
  EXPECT_EQ(R.Output, "ababc");
  EXPECT_EQ(R.Errors, std::vector<int32_t>{25298});
}

TEST(Unshrink, OutputBeyondTheUncompressedSizeIsRefused) {
  auto R = Decode(TCodeWriter().Codes("ab").Code(257).Codes("c").Bytes(), 3);
  EXPECT_EQ(R.Output, "aba");
  EXPECT_EQ(R.Errors, std::vector<int32_t>{25111});
}

TEST(Unshrink, CancelledRunStopsWithoutAnError) {
  std::vector<uint8_t> Stream;
  {
    TCodeWriter W;
    for (int I = 0; I < 40000; ++I) W.Codes("z");
    Stream = W.Bytes();
  }
  MemoryDecoderIO IO(Stream);
  IO.CancelAfterBytes = 1;
  kst::TInflateRec Rec;
  Rec.UnpackedSize = 40000;
  kst::Unshrink(IO, Rec);
  EXPECT_EQ(IO.Output.size(), 32768u);
  EXPECT_TRUE(IO.Reports.empty());
}

}  // namespace
