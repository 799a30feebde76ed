// Growth of a large memory stream, as the texture import grows the loaded
// container once: the content survives growth by SetSize and by writes past
// the end at sizes where the allocator moves or remaps the block, the added
// bytes read as zero, and bytes cut off by a smaller size never come back.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "archive/io/MemoryStream.h"

namespace {

uint8_t PatternAt(int64_t I) { return static_cast<uint8_t>(I * 131 + (I >> 9)); }

bool HoldsPattern(const kst::TMemoryStream& Stream, int64_t From, int64_t To) {
  for (int64_t I = From; I < To; ++I)
    if (Stream.Memory()[I] != PatternAt(I)) return false;
  return true;
}

bool HoldsZeros(const kst::TMemoryStream& Stream, int64_t From, int64_t To) {
  for (int64_t I = From; I < To; ++I)
    if (Stream.Memory()[I] != 0) return false;
  return true;
}

TEST(MemoryStreamGrowth, LargeContentSurvivesEveryWayOfGrowing) {
  constexpr int64_t kMiB = 1 << 20;
  std::vector<uint8_t> Bytes(static_cast<size_t>(9 * kMiB));
  for (size_t I = 0; I < Bytes.size(); ++I) Bytes[I] = PatternAt(static_cast<int64_t>(I));
  kst::TMemoryStream Stream;
  Stream.Write(Bytes.data(), 3 * kMiB);
  Stream.SetSize(5 * kMiB);  // grown to the size asked for
  EXPECT_TRUE(HoldsPattern(Stream, 0, 3 * kMiB));
  EXPECT_TRUE(HoldsZeros(Stream, 3 * kMiB, 5 * kMiB));
  Stream.SetPosition(5 * kMiB);
  Stream.Write(Bytes.data() + 5 * kMiB, 4 * kMiB);  // appending past the end
  EXPECT_EQ(Stream.Size(), 9 * kMiB);
  EXPECT_TRUE(HoldsPattern(Stream, 0, 3 * kMiB));
  EXPECT_TRUE(HoldsPattern(Stream, 5 * kMiB, 9 * kMiB));

  Stream.SetSize(kMiB);
  Stream.SetSize(2 * kMiB);  // within the capacity: the cut bytes must not reappear
  EXPECT_TRUE(HoldsPattern(Stream, 0, kMiB));
  EXPECT_TRUE(HoldsZeros(Stream, kMiB, 2 * kMiB));

  // Growth while writing the stream's own bytes behind its end.
  Stream.SetPosition(Stream.Size());
  Stream.Write(Stream.Memory(), kMiB);
  EXPECT_EQ(Stream.Size(), 3 * kMiB);
  EXPECT_TRUE(HoldsPattern(Stream, 0, kMiB));
  EXPECT_EQ(std::memcmp(Stream.Memory() + 2 * kMiB, Stream.Memory(), static_cast<size_t>(kMiB)), 0);
}

}  // namespace
