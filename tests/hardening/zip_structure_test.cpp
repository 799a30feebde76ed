// Hostile archive structure: end records that are cut, doubled, or lie about
// their comment, directory or counts; central records whose offsets point past
// the end, backwards or at another entry; local headers that disagree with
// the central ones; sizes that lie; ratio bombs. For each the lister and the
// extractor end normally (or with the library's exception), no entry passes
// its CRC check with bytes that are not its own, and memory stays bounded by
// what the data really produce.
#include <gtest/gtest.h>

#include "tests/kit/DeflateBits.h"
#include "tests/hardening/HostileRun.h"

namespace {

using skwtest::BytesOf;
using skwtest::HostileZip;
using skwtest::RunHostile;
using skwtest::TBytes;

// Three sound entries: stored, Deflate in a folder, Deflate of zeros.
HostileZip Base() {
  HostileZip Zip;
  Zip.Entries.push_back(skwtest::StoredEntry("hello.txt", "Hello, hostile world!\n"));
  const TBytes Text = BytesOf("Lorem ipsum dolor sit amet, consectetur adipiscing elit.\n");
  Zip.Entries.push_back(skwtest::DeflateEntry("docs/readme.txt", skwtest::StoredDeflate(Text), Text));
  const TBytes Zeros(3000, 0);
  Zip.Entries.push_back(skwtest::DeflateEntry("zeros.bin", skwtest::StoredDeflate(Zeros), Zeros));
  return Zip;
}

skwtest::HostileOutcome Check(const HostileZip& Zip, TBytes Bytes = {}) {
  if (Bytes.empty()) Bytes = Zip.Build();
  skwtest::HostileOutcome Out = RunHostile(Bytes);
  skwtest::CheckSound(Zip, Out);
  return Out;
}

TEST(HostileStructure, SoundBaseExtractsEverything) {
  const auto Out = Check(Base());
  EXPECT_TRUE(Out.Listed);
  EXPECT_EQ(Out.Names.size(), 3u);
  EXPECT_EQ(Out.Passed.size(), 3u);
}

TEST(HostileStructure, EndRecordCutDoubledOrLying) {
  const TBytes Sound = Base().Build();
  for (size_t Cut = 1; Cut <= 22; ++Cut) {
    SCOPED_TRACE("cut " + std::to_string(Cut));
    Check(Base(), TBytes(Sound.begin(), Sound.end() - std::ptrdiff_t(Cut)));
  }
  // A second end record inside the comment, pointing nowhere useful.
  HostileZip Doubled = Base();
  Doubled.End.Comment = std::string("PK\x05\x06\0\0\0\0\x09\0\x09\0\xFF\xFF\0\0\x10\0\0\0\0\0", 22);
  Check(Doubled);
  // Comment lengths longer and shorter than the comment.
  for (uint16_t Length : {uint16_t(1), uint16_t(200), uint16_t(0xFFFF)}) {
    HostileZip Lying = Base();
    Lying.End.Comment = "short";
    Lying.End.CommentLength = Length;
    Check(Lying);
  }
  // Bytes after the end record.
  HostileZip Trailing = Base();
  Trailing.Trailer = TBytes(1000, 'T');
  Check(Trailing);
}

TEST(HostileStructure, DirectoryAndCountsThatLie) {
  const uint32_t RealStart =
      uint32_t(Base().Build().size()) - 22 - uint32_t(3 * 46 + std::string("hello.txtdocs/readme.txtzeros.bin").size());
  for (uint32_t Size : {0u, 1u, 45u, 1000u, 0xFFFFFFFFu}) {
    HostileZip Zip = Base();
    Zip.End.DirSize = Size;
    SCOPED_TRACE("size " + std::to_string(Size));
    Check(Zip);
  }
  for (uint32_t Offset : {0u, 1u, RealStart + 46, RealStart + 200, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    HostileZip Zip = Base();
    Zip.End.DirOffset = Offset;  // into the local data, into the end record, past the end
    SCOPED_TRACE("offset " + std::to_string(Offset));
    Check(Zip);
  }
  for (uint16_t Count : {uint16_t(0), uint16_t(1), uint16_t(4), uint16_t(0xFFFF)}) {
    HostileZip Zip = Base();
    Zip.End.TotalEntries = Count;
    Zip.End.DiskEntries = Count;
    SCOPED_TRACE("count " + std::to_string(Count));
    const auto Out = Check(Zip);
    EXPECT_LE(Out.Names.size(), 3u);
  }
}

TEST(HostileStructure, OffsetsPastTheEndBackwardsAndOverlapping) {
  for (uint32_t Offset : {0xFFFFFF00u, 0x7FFFFFFFu, 100000u}) {
    HostileZip Zip = Base();
    Zip.Entries[1].LocalOffset = Offset;
    const auto Out = Check(Zip);
    EXPECT_EQ(Out.Passed.count("docs\\readme.txt"), 0u);
  }
  // Every central record points at the first local header: the entries overlap.
  HostileZip Overlap = Base();
  for (auto& E : Overlap.Entries) E.LocalOffset = 0;
  Check(Overlap);
  // The second entry points back into the middle of the first one's data.
  HostileZip Back = Base();
  Back.Entries[1].LocalOffset = 35;
  Check(Back);
  // An entry pointing at the central directory itself.
  HostileZip AtDir = Base();
  AtDir.Entries[2].LocalOffset = uint32_t(Base().Build().size()) - 22 - 46 * 3 - 33;
  Check(AtDir);
}

TEST(HostileStructure, LocalHeadersThatDisagree) {
  HostileZip Name = Base();
  Name.Entries[0].LocalName = "other.txt";
  Check(Name);
  HostileZip NameLength = Base();
  NameLength.Entries[0].LocalNameLength = 0xFFFF;  // reaches past the end of the file
  Check(NameLength);
  HostileZip Method = Base();
  Method.Entries[1].LocalMethod = 0;
  Check(Method);
  HostileZip Sizes = Base();
  Sizes.Entries[2].LocalPackedSize = 5;
  Sizes.Entries[2].LocalUnpackedSize = 0xFFFFFFFF;
  Sizes.Entries[2].LocalCrc = 0;
  Check(Sizes);
}

TEST(HostileStructure, SizesThatLie) {
  for (uint32_t Packed : {0u, 3u, 100u, 5000u, 0xFFFFFFFFu}) {
    HostileZip Zip = Base();
    Zip.Entries[0].PackedSize = Packed;
    Zip.Entries[1].PackedSize = Packed;
    SCOPED_TRACE("packed " + std::to_string(Packed));
    Check(Zip);
  }
  // A CRC that does not match: the entry fails its check and nothing passes for it.
  HostileZip Crc = Base();
  Crc.Entries[0].Crc = 0x12345678;
  const auto CrcOut = Check(Crc);
  EXPECT_EQ(CrcOut.Passed.count("hello.txt"), 0u);
  EXPECT_EQ(CrcOut.Passed.size(), 2u);
  // Huge declared sizes: only what the data produce is kept.
  HostileZip Huge = Base();
  for (auto& E : Huge.Entries) E.UnpackedSize = 0xFFFFFFF0u;
  const auto HugeOut = Check(Huge);
  EXPECT_LE(HugeOut.StreamSize, 3100);
}

TEST(HostileStructure, RatioBombIsCappedByTheDeclaredSize) {
  // About 4 MiB of zeros from 26 KiB of Deflate data.
  const uint32_t Matches = 16000;
  const TBytes Stream = skwtest::ZeroBomb(Matches);
  const TBytes Plain(1 + size_t(Matches) * 258, 0);
  HostileZip Small;
  Small.Entries.push_back(skwtest::DeflateEntry("bomb.bin", Stream, Plain));
  Small.Entries[0].UnpackedSize = 1000;
  const auto Capped = Check(Small);
  EXPECT_LE(Capped.StreamSize, 1000);
  EXPECT_EQ(Capped.Passed.size(), 0u);
  // Declared honestly, the whole content comes out and passes.
  HostileZip Honest;
  Honest.Entries.push_back(skwtest::DeflateEntry("bomb.bin", Stream, Plain));
  const auto Whole = Check(Honest);
  ASSERT_EQ(Whole.Passed.count("bomb.bin"), 1u);
  EXPECT_EQ(Whole.Passed.at("bomb.bin").size(), Plain.size());
}

// Every byte of every header field of the base archive set to a few hostile
// values in turn: a systematic sweep over what the named cases above pick by hand.
TEST(HostileStructure, EveryHeaderByteSweep) {
  const TBytes Sound = Base().Build();
  std::vector<size_t> Positions;
  // Local headers: offsets of the three entries' headers, 30 bytes each.
  size_t At = 0;
  for (const auto& E : Base().Entries) {
    for (size_t I = 4; I < 30; ++I) Positions.push_back(At + I);
    At += 30 + E.Name.size() + E.Data.size();
  }
  for (size_t I = At + 4; I < Sound.size(); ++I) Positions.push_back(I);  // directory and end record
  for (size_t Pos : Positions) {
    for (uint8_t Value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x7F), uint8_t(Sound[Pos] + 1)}) {
      TBytes Bad = Sound;
      Bad[Pos] = Value;
      SCOPED_TRACE("byte " + std::to_string(Pos) + " = " + std::to_string(Value));
      Check(Base(), Bad);
      if (HasFailure()) return;
    }
  }
}

}  // namespace
