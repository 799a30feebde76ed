// The legacy decoders on real archives: every Shrink, Reduce and Implode entry
// of the test corpus (written by an independent encoder and an old DOS archiver)
// must decode to the content the manifest records, whether the run hands over
// its input in large chunks or one byte at a time, with no error reported and
// the output written in 32768-byte blocks plus one final block. Cut short, a
// stream gives the bytes decoded so far without complaint (the CRC check finds
// the loss); a stream with more output than the entry's size stops at the size;
// damaged streams end without a crash, a hang or a byte beyond the size.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/decode/Explode.h"
#include "archive/decode/InflateRec.h"
#include "archive/decode/Unreduce.h"
#include "archive/decode/Unshrink.h"
#include "tests/kit/MemoryDecoderIO.h"
#include "tests/support/Manifest.h"
#include "tests/support/RawZip.h"
#include "tests/support/Sha256.h"
#include "tests/support/TestData.h"

namespace {

using skwtest::MemoryDecoderIO;

struct TCorpusEntry {
  skwtest::ManifestRow Row;
  skwtest::RawEntry Raw;
};

bool IsLegacyRow(const skwtest::ManifestRow& Row) {
  const bool Legacy = Row.Archive.rfind("legacy_", 0) == 0 || Row.Archive.rfind("thirdparty_", 0) == 0;
  return Legacy && Row.Method >= 1 && Row.Method <= 6;
}

// Manifest rows of the legacy archives with methods 1 to 6, with their raw data.
std::vector<TCorpusEntry> LegacyEntries() {
  std::vector<TCorpusEntry> Entries;
  for (const skwtest::ManifestRow& Row : skwtest::Manifest()) {
    if (!IsLegacyRow(Row)) continue;
    for (skwtest::RawEntry& Raw : skwtest::ReadRawZip(skwtest::DataPath("zip/" + Row.Archive))) {
      if (Raw.Name == Row.Entry) Entries.push_back({Row, std::move(Raw)});
    }
  }
  return Entries;
}

void Decode(const skwtest::RawEntry& Raw, MemoryDecoderIO& IO, uint32_t Unpacked) {
  kst::TInflateRec Rec;
  Rec.BitFlag = Raw.Flags;
  Rec.Method = Raw.Method;
  Rec.PackedSize = Raw.CompressedSize;
  Rec.UnpackedSize = Unpacked;
  if (Raw.Method == 1) {
    kst::Unshrink(IO, Rec);
  } else if (Raw.Method == 6) {
    kst::Explode(IO, Rec);
  } else {
    kst::Unreduce(IO, Rec, int(Raw.Method) - 1);
  }
}

void ExpectDecodes(const TCorpusEntry& Entry, std::vector<uint32_t> Chunks) {
  SCOPED_TRACE(Entry.Row.Archive + " " + Entry.Row.Entry + " chunk " +
               (Chunks.empty() ? std::string("any") : std::to_string(Chunks[0])));
  MemoryDecoderIO IO(Entry.Raw.Data, std::move(Chunks));
  Decode(Entry.Raw, IO, Entry.Raw.UncompressedSize);
  EXPECT_TRUE(IO.Reports.empty()) << "first error " << (IO.Reports.empty() ? 0 : IO.Reports[0].Code);
  ASSERT_EQ(IO.Output.size(), Entry.Row.UncompressedSize);
  EXPECT_EQ(skwtest::Sha256Hex(IO.Output), Entry.Row.Sha256);
  for (size_t I = 0; I + 1 < IO.WriteSizes.size(); ++I) EXPECT_EQ(IO.WriteSizes[I], 32768u);
}

TEST(LegacyCorpus, EveryRowIsFoundAndEveryMethodIsPresent) {
  size_t Rows = 0;
  for (const skwtest::ManifestRow& Row : skwtest::Manifest()) Rows += IsLegacyRow(Row) ? 1 : 0;
  const std::vector<TCorpusEntry> Entries = LegacyEntries();
  EXPECT_EQ(Entries.size(), Rows);
  std::vector<int> PerMethod(7, 0);
  for (const TCorpusEntry& Entry : Entries) ++PerMethod[size_t(Entry.Row.Method)];
  for (int Method = 1; Method <= 6; ++Method) EXPECT_GT(PerMethod[size_t(Method)], 0) << Method;
}

TEST(LegacyCorpus, DecodesFromLargeSingleByteAndOddChunks) {
  for (const std::vector<uint32_t>& Chunks : {std::vector<uint32_t>{}, {1}, {7, 4093, 3}}) {
    for (const TCorpusEntry& Entry : LegacyEntries()) ExpectDecodes(Entry, Chunks);
  }
}

std::vector<uint8_t> FullOutput(const TCorpusEntry& Entry) {
  MemoryDecoderIO IO(Entry.Raw.Data);
  Decode(Entry.Raw, IO, Entry.Raw.UncompressedSize);
  return IO.Output;
}

bool IsPrefix(const std::vector<uint8_t>& Part, const std::vector<uint8_t>& Whole) {
  return Part.size() <= Whole.size() && std::equal(Part.begin(), Part.end(), Whole.begin());
}

TEST(LegacyCorpus, TruncatedStreamsGiveTheBytesDecodedSoFar) {
  for (const TCorpusEntry& Entry : LegacyEntries()) {
    const std::vector<uint8_t> Full = FullOutput(Entry);
    const size_t Size = Entry.Raw.Data.size();
    for (size_t Cut : {Size / 2, Size - 1}) {
      SCOPED_TRACE(Entry.Row.Archive + " " + Entry.Row.Entry + " cut at " + std::to_string(Cut));
      std::vector<uint8_t> Part(Entry.Raw.Data.begin(), Entry.Raw.Data.begin() + long(Cut));
      MemoryDecoderIO IO(Part, {1});
      Decode(Entry.Raw, IO, Entry.Raw.UncompressedSize);
      EXPECT_TRUE(IO.Reports.empty());
      EXPECT_LT(IO.Output.size(), Full.size());
      EXPECT_TRUE(IsPrefix(IO.Output, Full));
    }
  }
}

TEST(LegacyCorpus, OutputStopsAtTheUncompressedSize) {
  for (const TCorpusEntry& Entry : LegacyEntries()) {
    SCOPED_TRACE(Entry.Row.Archive + " " + Entry.Row.Entry);
    const std::vector<uint8_t> Full = FullOutput(Entry);
    const uint32_t Limit = Entry.Raw.UncompressedSize - 1;
    MemoryDecoderIO IO(Entry.Raw.Data);
    Decode(Entry.Raw, IO, Limit);
    ASSERT_EQ(IO.Output.size(), Limit);
    EXPECT_TRUE(IsPrefix(IO.Output, Full));
    // Shrink ends only with its input, so more output is an error; Reduce and
    // Implode end at the size (the last byte may hold padding, not data), and
    // only a match running past it is one.
    std::vector<int32_t> Errors = IO.ErrorCodes();
    if (Entry.Raw.Method == 1 || !Errors.empty()) {
      EXPECT_EQ(Errors, std::vector<int32_t>{25111});
    }
  }
}

TEST(LegacyCorpus, DamagedStreamsStayWithinTheirSize) {
  uint32_t Seed = 2024;
  for (const TCorpusEntry& Entry : LegacyEntries()) {
    for (int Round = 0; Round < 20; ++Round) {
      std::vector<uint8_t> Damaged = Entry.Raw.Data;
      for (int Flip = 0; Flip < 1 + Round % 4; ++Flip) {
        Seed = Seed * 1103515245 + 12345;
        Damaged[(Seed >> 8) % Damaged.size()] ^= uint8_t(1 + (Seed >> 24) % 255);
      }
      MemoryDecoderIO IO(Damaged);
      Decode(Entry.Raw, IO, Entry.Raw.UncompressedSize);
      ASSERT_LE(IO.Output.size(), Entry.Raw.UncompressedSize) << Entry.Row.Archive << " " << Entry.Row.Entry;
    }
  }
}

}  // namespace
