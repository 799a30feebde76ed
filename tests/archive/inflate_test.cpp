// Deflate decoder tests: every unencrypted Deflate entry of the test archives
// decodes to its recorded digest however the input is chunked; the damaged
// archives fail as recorded; hand-made streams check each error path, the output
// cap, the write granularity and the error protocol; streams written here with
// matches of every length and distance check the copy code against a plain
// byte-by-byte model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/decode/Inflate.h"
#include "archive/Kstgbls.h"
#include "tests/kit/MemoryDecoderIO.h"
#include "tests/support/Manifest.h"
#include "tests/support/RawZip.h"
#include "tests/support/Sha256.h"
#include "tests/kit/DeflateBits.h"
#include "tests/support/TestData.h"

namespace {

using Bytes = std::vector<uint8_t>;
using skwtest::MemoryDecoderIO;

constexpr int32_t BadBlock = 25111;
constexpr int32_t BadCodeSet = 25138;

// ---- A small Deflate writer -------------------------------------------------

using BitWriter = skwtest::DeflateBits;

struct Code {
  uint32_t Bits = 0;
  unsigned Length = 0;
};

std::vector<Code> CanonicalCodes(const std::vector<uint8_t>& Lengths) {
  std::vector<Code> Codes(Lengths.size());
  uint32_t Next = 0;
  for (unsigned L = 1; L <= 15; ++L) {
    for (size_t S = 0; S < Lengths.size(); ++S)
      if (Lengths[S] == L) Codes[S] = {Next++, L};
    Next <<= 1;
  }
  return Codes;
}

std::vector<uint8_t> FixedLitLengths() {
  std::vector<uint8_t> L(288, 8);
  std::fill(L.begin() + 144, L.begin() + 256, 9);
  std::fill(L.begin() + 256, L.begin() + 280, 7);
  return L;
}

constexpr uint16_t LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint16_t DistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

constexpr uint8_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// Writes Huffman-coded symbols with the code sets of one block.
class BlockWriter {
 public:
  BlockWriter(BitWriter& W, std::vector<uint8_t> LitLengths, std::vector<uint8_t> DistLengths)
      : FWriter(W), FLiteralCodes(CanonicalCodes(LitLengths)), FDistanceCodes(CanonicalCodes(DistLengths)) {}
  void Symbol(unsigned S) { Put(FLiteralCodes, S); }
  void DistSymbol(unsigned S) { Put(FDistanceCodes, S); }
  void Literal(uint8_t B) { Symbol(B); }
  void End() { Symbol(256); }
  void Match(unsigned Length, unsigned Distance) {
    unsigned L = 28;
    while (LengthBase[L] > Length) --L;
    if (Length == 258)
      L = 28;
    else if (L == 28)
      L = 27;
    Symbol(257 + L);
    FWriter.Put(Length - LengthBase[L], LengthExtra[L]);
    unsigned D = 29;
    while (DistBase[D] > Distance) --D;
    DistSymbol(D);
    FWriter.Put(Distance - DistBase[D], D < 4 ? 0 : D / 2 - 1);
  }

 private:
  void Put(const std::vector<Code>& Codes, unsigned S) {
    if (S >= Codes.size() || Codes[S].Length == 0)
      ADD_FAILURE() << "no code for symbol " << S;
    else
      FWriter.PutCode(Codes[S].Bits, Codes[S].Length);
  }
  BitWriter& FWriter;
  std::vector<Code> FLiteralCodes, FDistanceCodes;
};

void StoredBlock(BitWriter& W, bool Final, const Bytes& Data, uint16_t Complement = 0, bool Broken = false) {
  W.Put(Final, 1);
  W.Put(0, 2);
  W.Align();
  W.Put(uint32_t(Data.size()), 16);
  W.Put(Broken ? Complement : uint16_t(~Data.size()), 16);
  for (uint8_t B : Data) W.PutByte(B);
}

BlockWriter FixedBlock(BitWriter& W, bool Final) {
  W.Put(Final, 1);
  W.Put(1, 2);
  return BlockWriter(W, FixedLitLengths(), std::vector<uint8_t>(32, 5));
}

// Dynamic block header: the code-length code gives length 4 to the lengths 0-15,
// and every length is sent as such a code (no repeat codes).
BlockWriter DynamicBlock(BitWriter& W, bool Final, const std::vector<uint8_t>& LitLengths,
                         const std::vector<uint8_t>& DistLengths) {
  W.Put(Final, 1);
  W.Put(2, 2);
  W.Put(uint32_t(LitLengths.size() - 257), 5);
  W.Put(uint32_t(DistLengths.size() - 1), 5);
  W.Put(19 - 4, 4);
  static const uint8_t Order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  for (uint8_t S : Order) W.Put(S < 16 ? 4 : 0, 3);
  for (uint8_t L : LitLengths) W.PutCode(L, 4);
  for (uint8_t L : DistLengths) W.PutCode(L, 4);
  return BlockWriter(W, LitLengths, DistLengths);
}

// ---- Running the decoder ----------------------------------------------------

// Decodes with the decoder's own window and again in room lent by the run (as
// for a memory target); both must write the same blocks and report the same,
// the second in place and within the entry's size (plus the copy slack).
MemoryDecoderIO Decode(const Bytes& Stream, uint32_t UnpackedSize, std::vector<uint32_t> Chunks = {}) {
  kst::TInflateRec Rec;
  Rec.Method = 8;
  Rec.PackedSize = uint32_t(Stream.size());
  Rec.UnpackedSize = UnpackedSize;
  MemoryDecoderIO IO(Stream, Chunks);
  kst::Inflate(IO, Rec);
  MemoryDecoderIO InPlace(Stream, std::move(Chunks));
  InPlace.Lend = true;
  kst::Inflate(InPlace, Rec);
  EXPECT_TRUE(InPlace.Output == IO.Output);
  EXPECT_EQ(InPlace.WriteSizes, IO.WriteSizes);
  EXPECT_EQ(InPlace.ErrorCodes(), IO.ErrorCodes());
  EXPECT_EQ(InPlace.CountedDone, IO.CountedDone);
  EXPECT_EQ(InPlace.StrayWrites, 0u);
  EXPECT_LE(InPlace.LargestLend, size_t{UnpackedSize} + 64);
  return IO;
}

Bytes Pseudorandom(size_t Size, uint32_t Seed) {
  Bytes B(Size);
  for (auto& X : B) {
    Seed = Seed * 1103515245u + 12345u;
    X = uint8_t(Seed >> 23);
  }
  return B;
}

void AppendMatch(Bytes& Model, unsigned Length, unsigned Distance) {
  for (unsigned I = 0; I < Length; ++I) Model.push_back(Model[Model.size() - Distance]);
}

const std::vector<std::vector<uint32_t>> ChunkPlans = {{}, {1}, {3, 1, 7, 4096, 2}, {32768, 5}};

// ---- Real archives ----------------------------------------------------------

TEST(InflateArchives, EveryDeflateEntryMatchesItsDigestInEveryChunking) {
  int Checked = 0;
  std::string Archive;
  for (const auto& Row : skwtest::Manifest()) {
    if (Row.Archive == Archive || Row.Archive.rfind("bad_deflate", 0) == 0) continue;
    Archive = Row.Archive;
    auto Rows = skwtest::ManifestRowsOf(Archive);
    auto Raw = skwtest::ReadRawZip(skwtest::DataPath("zip/" + Archive));
    if (Raw.size() != Rows.size()) continue;  // directory unreadable on purpose
    for (size_t I = 0; I < Rows.size(); ++I) {
      if (Rows[I].Method != 8 || (Rows[I].Flags & 1)) continue;
      for (const auto& Chunks : ChunkPlans) {
        MemoryDecoderIO IO = Decode(Raw[I].Data, Rows[I].UncompressedSize, Chunks);
        EXPECT_EQ(skwtest::Sha256Hex(IO.Output), Rows[I].Sha256) << Archive << " " << Rows[I].Entry;
        EXPECT_TRUE(IO.Reports.empty()) << Archive << " " << Rows[I].Entry;
      }
      ++Checked;
    }
  }
  EXPECT_GE(Checked, 80);
}

// A streaming writer's entry gives no sizes: the stream itself must say where
// it ends, whatever follows it (here a descriptor-like tail) and however the
// input is chunked; a cut stream is never taken as finished.
TEST(InflateArchives, EveryDeflateEntryReportsWhereItsStreamEnds) {
  int Checked = 0;
  std::vector<skwtest::RawEntry> Entries;
  for (const char* Archive : {"izip_deflate9_big.zip", "7z_deflate_mx9.zip", "py_deflated.zip", "bsdtar_deflate.zip"})
    for (auto& Entry : skwtest::ReadRawZip(skwtest::DataPath(std::string("zip/") + Archive))) Entries.push_back(Entry);
  for (const auto& Entry : Entries) {
    if (Entry.Method != 8 || Entry.Data.empty()) continue;
    Bytes Followed = Entry.Data;
    const Bytes Tail = Pseudorandom(100, 7);
    Followed.insert(Followed.end(), Tail.begin(), Tail.end());
    for (const auto& Chunks : ChunkPlans) {
      MemoryDecoderIO IO(Followed, Chunks);
      const kst::TInflateEnd End = kst::Inflate(IO, kst::TInflateRec{0, 8, uint32_t(Followed.size()), UINT32_MAX});
      EXPECT_TRUE(End.Finished) << Entry.Name;
      EXPECT_EQ(End.InputUsed, Entry.Data.size()) << Entry.Name;
      EXPECT_EQ(IO.Output.size(), Entry.UncompressedSize) << Entry.Name;
    }
    const Bytes Cut(Entry.Data.begin(), Entry.Data.end() - 1);
    MemoryDecoderIO IO(Cut);
    EXPECT_FALSE(kst::Inflate(IO, kst::TInflateRec{0, 8, uint32_t(Cut.size()), UINT32_MAX}).Finished) << Entry.Name;
    ++Checked;
  }
  EXPECT_GE(Checked, 3);
}

MemoryDecoderIO DecodeArchiveEntry(const std::string& Archive, const std::string& Entry) {
  for (const auto& E : skwtest::ReadRawZip(skwtest::DataPath("zip/" + Archive)))
    if (E.Name == Entry) return Decode(E.Data, E.UncompressedSize);
  ADD_FAILURE() << Archive << " " << Entry << " not found";
  return MemoryDecoderIO({});
}

TEST(InflateArchives, BlockType3IsReportedAndTheRestCountedAsDone) {
  MemoryDecoderIO IO = DecodeArchiveEntry("bad_deflate_btype3.zip", "lorem.txt");
  ASSERT_EQ(IO.Reports.size(), 1u);
  EXPECT_EQ(IO.Reports[0].Code, BadBlock);
  EXPECT_FALSE(IO.Reports[0].Raised);
  EXPECT_EQ(IO.CountedDone + IO.Output.size(), 6000u);
  MemoryDecoderIO Good = DecodeArchiveEntry("bad_deflate_btype3.zip", "credits.txt");
  EXPECT_EQ(skwtest::Sha256Hex(Good.Output), "12750558ae1d58f4af8f548170638b26cda557ee8b52f7736a45d7b738caf8e4");
}

TEST(InflateArchives, DamageInTheMiddleGivesOtherBytesNeverMore) {
  MemoryDecoderIO IO = DecodeArchiveEntry("bad_deflate_midstream.zip", "lorem.txt");
  EXPECT_LE(IO.Output.size(), 6000u);
  EXPECT_NE(skwtest::Sha256Hex(IO.Output), "27723df3502cd4b81e708267281c6c3dfecc3fd8cab23d6e88f369e5af30c24b");
  for (const auto& R : IO.Reports) EXPECT_TRUE(R.Code == BadBlock || R.Code == BadCodeSet);
}

// ---- Hand-made streams ------------------------------------------------------

TEST(InflateStreams, EmptyStoredFinalBlockWritesNothing) {
  BitWriter W;
  StoredBlock(W, true, {});
  MemoryDecoderIO IO = Decode(W.Take(), 0);
  EXPECT_TRUE(IO.WriteSizes.empty());
  EXPECT_TRUE(IO.Reports.empty());
}

TEST(InflateStreams, StoredLengthMismatchIsBadBlockAfterEarlierOutput) {
  BitWriter W;
  StoredBlock(W, false, {'a', 'b'});
  StoredBlock(W, true, {'c'}, 0x1234, true);
  MemoryDecoderIO IO = Decode(W.Take(), 3);
  EXPECT_EQ(IO.Output, (Bytes{'a', 'b'}));
  ASSERT_EQ(IO.Reports.size(), 1u);
  EXPECT_EQ(IO.Reports[0].Code, BadBlock);
  EXPECT_TRUE(IO.Reports[0].Raised);
}

// Literal and length codes of every length 1..15 (a complete set), and
// distance codes likewise, so long codes go through the sub-tables.
std::vector<uint8_t> DeepLengths(size_t Count, const std::vector<unsigned>& Symbols) {
  std::vector<uint8_t> L(Count, 0);
  for (unsigned I = 0; I < Symbols.size(); ++I) L[Symbols[I]] = uint8_t(std::min(I + 1, 15u));
  return L;
}

TEST(InflateStreams, FixedDynamicFixedBlocksWithDeepCodes) {
  const std::vector<unsigned> LitSymbols = {'a', 256, 'b', 257, 'c', 'd', 260, 'e',
                                            270, 'f', 280, 'g', 284, 285, 'z', 255};
  const std::vector<unsigned> DistSymbols = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 29, 28};
  BitWriter W;
  Bytes Model;
  {
    BlockWriter B = FixedBlock(W, false);
    for (uint8_t C : std::string("fixed one ")) B.Literal(C), Model.push_back(C);
    B.Match(7, 4), AppendMatch(Model, 7, 4);
    B.End();
  }
  {
    BlockWriter B = DynamicBlock(W, false, DeepLengths(286, LitSymbols), DeepLengths(30, DistSymbols));
    for (unsigned S : LitSymbols)
      if (S < 256) B.Literal(uint8_t(S)), Model.push_back(uint8_t(S));
    for (unsigned Len : {3u, 6u, 24u, 120u, 227u, 257u, 258u})
      for (unsigned Dist : {1u, 2u, 3u, 4u, 5u, 9u, 25u})
        if (Dist <= Model.size()) B.Match(Len, Dist), AppendMatch(Model, Len, Dist);
    B.End();
  }
  {
    BlockWriter B = FixedBlock(W, true);
    B.Literal('!'), Model.push_back('!');
    B.Match(258, 300), AppendMatch(Model, 258, 300);
    B.End();
  }
  Bytes Stream = W.Take();
  for (const auto& Chunks : ChunkPlans) {
    MemoryDecoderIO IO = Decode(Stream, uint32_t(Model.size()), Chunks);
    EXPECT_EQ(IO.Output, Model);
    EXPECT_TRUE(IO.Reports.empty());
  }
}

TEST(InflateStreams, LoneOrMissingDistanceCodesDecode) {
  std::vector<uint8_t> Lit(259, 0);
  Lit['x'] = 1, Lit[256] = 2, Lit[258] = 2;  // length symbol 258: 4 bytes
  std::vector<uint8_t> Dist(1, 1);
  BitWriter W;
  BlockWriter B = DynamicBlock(W, true, Lit, Dist);
  B.Literal('x'), B.Match(4, 1), B.End();
  MemoryDecoderIO IO = Decode(W.Take(), 5);
  EXPECT_EQ(IO.Output, Bytes(5, 'x'));
  EXPECT_TRUE(IO.Reports.empty());

  // A block of literals only may have no distance code at all.
  BitWriter Literals;
  BlockWriter L = DynamicBlock(Literals, true, Lit, {0});
  L.Literal('x'), L.Literal('x'), L.End();
  MemoryDecoderIO Plain = Decode(Literals.Take(), 2);
  EXPECT_EQ(Plain.Output, Bytes(2, 'x'));
  EXPECT_TRUE(Plain.Reports.empty());
}

TEST(InflateStreams, BadCodeSetsAreIncompleteCodeSet) {
  std::vector<uint8_t> GoodLit(257, 0);
  GoodLit['x'] = 1, GoodLit[256] = 1;
  struct Case {
    std::vector<uint8_t> Lit, Dist;
  };
  const Case Cases[] = {
      {GoodLit, {1, 1, 1}},                 // over-subscribed distances
      {GoodLit, {2, 2, 2}},                 // incomplete distances
      {std::vector<uint8_t>(257, 9), {1}},  // over-subscribed literals
      {[] {
         std::vector<uint8_t> L(257, 0);
         L['x'] = 2;
         L[256] = 2;
         L[1] = 2;
         return L;
       }(),
       {1}},  // incomplete
  };
  for (const Case& C : Cases) {
    BitWriter W;
    DynamicBlock(W, true, C.Lit, C.Dist);
    W.Put(0, 32);  // more input, so nothing ends for lack of it
    MemoryDecoderIO IO = Decode(W.Take(), 10);
    EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{BadCodeSet});
    EXPECT_TRUE(IO.Output.empty());
  }
}

TEST(InflateStreams, InvalidCodesAndDistancesDependOnTheBlockKind) {
  {  // length symbol 286 in a fixed block
    BitWriter W;
    BlockWriter B = FixedBlock(W, true);
    B.Literal('a'), B.Symbol(286), W.Put(0, 32);
    MemoryDecoderIO IO = Decode(W.Take(), 10);
    EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{BadBlock});
    EXPECT_EQ(IO.Output, Bytes{'a'});
  }
  {  // distance symbol 30 in a fixed block
    BitWriter W;
    BlockWriter B = FixedBlock(W, true);
    B.Literal('a'), B.Symbol(257), B.DistSymbol(30), W.Put(0, 32);
    EXPECT_EQ(Decode(W.Take(), 10).ErrorCodes(), std::vector<int32_t>{BadBlock});
  }
  {  // distance reaching before the first byte, fixed block
    BitWriter W;
    BlockWriter B = FixedBlock(W, true);
    B.Literal('a'), B.Literal('b'), B.Match(3, 3), B.End();
    MemoryDecoderIO IO = Decode(W.Take(), 10);
    EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{BadBlock});
    EXPECT_EQ(IO.Output, (Bytes{'a', 'b'}));
  }
  {  // the same in a dynamic block, after a full window of history was possible
    std::vector<uint8_t> Lit(286, 0), Dist(30, 0);
    Lit['a'] = 1, Lit[256] = 2, Lit[257] = 2;
    Dist[0] = 1, Dist[29] = 1;
    BitWriter W;
    BlockWriter B = DynamicBlock(W, true, Lit, Dist);
    for (int I = 0; I < 100; ++I) B.Literal('a');
    B.Match(3, 24577), B.End();
    MemoryDecoderIO IO = Decode(W.Take(), 1000);
    EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{BadCodeSet});
    EXPECT_EQ(IO.Output, Bytes(100, 'a'));
  }
}

TEST(InflateStreams, OutputStopsAtTheEntrySize) {
  for (uint32_t Cap : {0u, 1u, 5u, 40000u, 300000u}) {
    BitWriter W;
    BlockWriter B = FixedBlock(W, true);
    B.Literal('q');
    for (int I = 0; I < 2000; ++I) B.Match(258, 1);
    B.End();
    MemoryDecoderIO IO = Decode(W.Take(), Cap);
    EXPECT_EQ(IO.Output, Bytes(Cap, 'q'));
    EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{BadBlock}) << Cap;
  }
  BitWriter W;
  StoredBlock(W, true, Bytes(100, 's'));
  MemoryDecoderIO IO = Decode(W.Take(), 60);
  EXPECT_EQ(IO.Output, Bytes(60, 's'));
  EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{BadBlock});
}

TEST(InflateStreams, InputEndingBeforeTheFinalBlockIsNoError) {
  BitWriter W;
  BlockWriter B = FixedBlock(W, false);
  for (uint8_t C : std::string("partial text")) B.Literal(C);
  B.End();
  Bytes Stream = W.Take();
  for (size_t Cut : {Stream.size(), Stream.size() - 2, size_t(3), size_t(0)}) {
    MemoryDecoderIO IO = Decode(Bytes(Stream.begin(), Stream.begin() + long(Cut)), 100);
    EXPECT_TRUE(IO.Reports.empty()) << Cut;
    std::string Got(IO.Output.begin(), IO.Output.end());
    EXPECT_EQ(std::string("partial text").rfind(Got, 0), 0u) << Cut;
  }
}

TEST(InflateStreams, WritesAreWholeWindowsThenOnePartialBlock) {
  Bytes Data = Pseudorandom(300000, 7);
  BitWriter W;
  for (size_t At = 0; At < Data.size(); At += 65535)
    StoredBlock(W, At + 65535 >= Data.size(),
                Bytes(Data.begin() + long(At), Data.begin() + long(std::min(Data.size(), At + 65535))));
  MemoryDecoderIO IO = Decode(W.Take(), uint32_t(Data.size()), {1000});
  EXPECT_EQ(IO.Output, Data);
  std::vector<uint32_t> Expected(300000 / 32768, 32768);
  Expected.push_back(300000 % 32768);
  EXPECT_EQ(IO.WriteSizes, Expected);
}

// A run whose RaiseError returns (as once cancelled) must still stop decoding.
class ReturningIO : public MemoryDecoderIO {
 public:
  using MemoryDecoderIO::MemoryDecoderIO;
  void RaiseError(int32_t ECode) override { Reports.push_back({ECode, true}); }
};

TEST(InflateProtocol, ReturningRaiseErrorStillStops) {
  BitWriter W;
  StoredBlock(W, false, {'o', 'k'});
  StoredBlock(W, false, {'x'}, 7, true);
  StoredBlock(W, true, {'n', 'o'});
  Bytes Stream = W.Take();
  ReturningIO IO(Stream);
  kst::Inflate(IO, kst::TInflateRec{0, 8, uint32_t(Stream.size()), 10});
  EXPECT_EQ(IO.Output, (Bytes{'o', 'k'}));
  EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{BadBlock});
}

TEST(InflateProtocol, CancellationStopsAfterAWriteAndKeepsGranularity) {
  BitWriter W;
  BlockWriter B = FixedBlock(W, true);
  B.Literal('c');
  for (int I = 0; I < 8000; ++I) B.Match(258, 1);
  B.End();
  Bytes Stream = W.Take();
  MemoryDecoderIO IO(Stream);
  IO.CancelAfterBytes = 1;
  kst::Inflate(IO, kst::TInflateRec{0, 8, uint32_t(Stream.size()), 8000 * 258 + 1});
  EXPECT_LT(IO.Output.size(), 8000u * 258);
  for (size_t I = 0; I + 1 < IO.WriteSizes.size(); ++I) EXPECT_EQ(IO.WriteSizes[I], 32768u);
  EXPECT_TRUE(IO.Reports.empty());
}

TEST(InflateProtocol, OnlyTheFinalWriteFailureLeavesInflate) {
  Bytes Data = Pseudorandom(1000000, 3);
  BitWriter W;
  for (size_t At = 0; At < Data.size(); At += 50000)
    StoredBlock(W, At + 50000 >= Data.size(), Bytes(Data.begin() + long(At), Data.begin() + long(At + 50000)));
  Bytes Stream = W.Take();
  {  // a failing write while decoding ends the decoding; what was decoded is written
    MemoryDecoderIO IO(Stream);
    IO.FailWriteNumber = 0;
    EXPECT_NO_THROW(kst::Inflate(IO, kst::TInflateRec{0, 8, uint32_t(Stream.size()), 1000000}));
    EXPECT_LT(IO.Output.size(), 1000000u - 32768);
    EXPECT_TRUE(std::equal(IO.Output.begin(), IO.Output.end(), Data.begin() + 32768));
  }
  BitWriter Small;
  StoredBlock(Small, true, {'a'});
  Bytes SmallStream = Small.Take();
  MemoryDecoderIO IO(SmallStream);
  IO.FailWriteNumber = 0;
  EXPECT_THROW(kst::Inflate(IO, kst::TInflateRec{0, 8, uint32_t(SmallStream.size()), 1}), kst::E_RAISE);
}

// ---- Every length and distance ---------------------------------------------

TEST(InflateCopies, EveryLengthAndDistanceMatchesAByteByByteModel) {
  Bytes Model = Pseudorandom(40000, 11);
  BitWriter W;
  StoredBlock(W, false, Bytes(Model.begin(), Model.begin() + 40000 / 2));
  StoredBlock(W, false, Bytes(Model.begin() + 40000 / 2, Model.end()));
  {
    BlockWriter B = FixedBlock(W, false);
    for (unsigned Len = 3; Len <= 258; ++Len)
      for (unsigned Dist : {1u, 2u, 3u, 5u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 258u, 32768u})
        B.Match(Len, Dist), AppendMatch(Model, Len, Dist);
    B.End();
  }
  {
    BlockWriter B = FixedBlock(W, true);
    for (unsigned Dist = 1; Dist <= 32768; ++Dist) {
      unsigned Len = 3 + (Dist * 7) % 256;
      B.Match(Len, Dist), AppendMatch(Model, Len, Dist);
      if (Dist % 97 == 0) B.Literal(uint8_t(Dist)), Model.push_back(uint8_t(Dist));
    }
    B.End();
  }
  Bytes Stream = W.Take();
  for (const auto& Chunks : ChunkPlans) {
    MemoryDecoderIO IO = Decode(Stream, uint32_t(Model.size()), Chunks);
    EXPECT_TRUE(IO.Reports.empty());
    ASSERT_EQ(IO.Output.size(), Model.size());
    EXPECT_TRUE(IO.Output == Model);
  }
}

// ---- Damaged streams ----------------------------------------------------------

// Randomly damaged real streams: never more output than the entry size, only
// whole windows before the last write, at most one error of the two Deflate
// kinds, and the same outcome however the input is chunked (which checks that
// the fast loop and the careful path agree near every boundary) and whichever
// fast loop runs (the generic one and the one built for this processor).
TEST(InflateDamage, DamagedStreamsStayInBoundsAndAgreeAcrossChunkings) {
  auto Raw = skwtest::ReadRawZip(skwtest::DataPath("zip/izip_deflate6.zip"));
  auto Big = skwtest::ReadRawZip(skwtest::DataPath("zip/izip_deflate9_big.zip"));
  Raw.insert(Raw.end(), Big.begin(), Big.end());
  uint32_t Seed = 12345;
  auto Next = [&Seed] { return Seed = Seed * 1103515245u + 12345u, Seed >> 8; };
  int Runs = 0;
  for (const auto& Entry : Raw) {
    if (Entry.Method != 8 || Entry.Data.size() < 16) continue;
    for (int Trial = 0; Trial < 40; ++Trial) {
      Bytes Stream = Entry.Data;
      for (int Flips = 1 + int(Next() % 4); Flips > 0; --Flips)
        Stream[Next() % Stream.size()] ^= uint8_t(1 + Next() % 255);
      if (Trial % 5 == 0) Stream.resize(Next() % Stream.size());
      MemoryDecoderIO Whole = Decode(Stream, Entry.UncompressedSize);
      MemoryDecoderIO Chunked = Decode(Stream, Entry.UncompressedSize, {13, 1, 700});
      kst::HoldToGenericFastLoop(true);
      MemoryDecoderIO Generic = Decode(Stream, Entry.UncompressedSize);
      kst::HoldToGenericFastLoop(false);
      EXPECT_LE(Whole.Output.size(), Entry.UncompressedSize);
      EXPECT_LE(Whole.Reports.size(), 1u);
      for (int32_t Code : Whole.ErrorCodes()) EXPECT_TRUE(Code == BadBlock || Code == BadCodeSet) << Code;
      for (size_t I = 0; I + 1 < Whole.WriteSizes.size(); ++I) EXPECT_EQ(Whole.WriteSizes[I], 32768u);
      EXPECT_TRUE(Whole.Output == Chunked.Output) << Entry.Name << " trial " << Trial;
      EXPECT_EQ(Whole.ErrorCodes(), Chunked.ErrorCodes()) << Entry.Name << " trial " << Trial;
      EXPECT_TRUE(Whole.Output == Generic.Output) << Entry.Name << " trial " << Trial;
      EXPECT_EQ(Whole.ErrorCodes(), Generic.ErrorCodes()) << Entry.Name << " trial " << Trial;
      ++Runs;
    }
  }
  EXPECT_GE(Runs, 80);
}

}  // namespace
