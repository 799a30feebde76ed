// Hostile pictures and containers. BMP: every header field set to values that
// lie (sizes, offsets, depths, compression, colour counts, dimensions), pixel
// data cut short, and huge dimensions over a few bytes: each loads soundly or
// is refused with "Bitmap image is not valid", without allocating for the
// claimed size. Containers: every four bytes of a typical container of either
// kind overwritten with lying values (name lengths, sizes, counts below zero)
// and the end record removed, then scanned and imported into: the walk refuses
// or accepts, and an import that completes keeps the index equal to a fresh
// scan. Both reuse the fuzz targets' own checks (fuzz/*_fuzz.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#define SKW_FUZZ_REPLAY
#include "fuzz/bitmap_fuzz.cpp"
#include "fuzz/container_fuzz.cpp"
#include "tests/support/ContainerBuilder2.h"
#include "tests/support/RecordingFrontEnd.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& B, size_t At, uint32_t Value) {
  if (At + 4 <= B.size()) std::memcpy(B.data() + At, &Value, 4);  // little-endian host
}

const uint32_t kLies[] = {0, 1, 3, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 105, 16385, 0x10000};

std::vector<Bytes> SoundPictures() {
  auto Colour = [](int32_t X, int32_t Y) { return uint32_t(X * 0x0A0B0C + Y * 0x030201); };
  auto Index = [](int32_t X, int32_t Y) { return uint32_t((X * 5 + Y) & 0xFF); };
  return {skwtest::TrueColourPicture(9, 7, Colour), skwtest::TrueColourPicture(8, 16, Colour, 32),
          skwtest::PalettedPicture(16, 12, skwtest::MakePalette(3), Index)};
}

TEST(HostileBitmap, EveryHeaderFieldLying) {
  for (const Bytes& Sound : SoundPictures()) {
    for (size_t At = 2; At < 54; At += 2) {
      for (uint32_t Lie : kLies) {
        Bytes Bad = Sound;
        Put32(Bad, At, Lie);
        SCOPED_TRACE("offset " + std::to_string(At) + " value " + std::to_string(Lie));
        EXPECT_NO_THROW(skwtest::RunBitmap(Bad.data(), Bad.size()));
      }
    }
  }
}

TEST(HostileBitmap, TruncatedPixelDataIsRefused) {
  for (const Bytes& Sound : SoundPictures()) {
    // From four bytes on: a missing pad at the end of the last row is tolerated.
    for (size_t Cut = 4; Cut < Sound.size(); Cut += 7) {
      const Bytes Short(Sound.begin(), Sound.end() - std::ptrdiff_t(Cut));
      skw::TBitmap Bitmap;
      EXPECT_THROW(Bitmap.LoadFromBuffer(Short), skw::EInvalidBitmap) << "cut " << Cut;
    }
  }
}

TEST(HostileBitmap, HugeDimensionsOverFewBytes) {
  Bytes Bmp = SoundPictures()[0];
  for (auto [W, H] : {std::pair{16384, 16384}, std::pair{16385, 1}, std::pair{1, -16384}, std::pair{0x7FFFFFFF, 2},
                      std::pair{-2147483647 - 1, 4}}) {
    Put32(Bmp, 18, uint32_t(W));
    Put32(Bmp, 22, uint32_t(H));
    skw::TBitmap Bitmap;
    EXPECT_THROW(Bitmap.LoadFromBuffer(Bmp), skw::EInvalidBitmap) << W << " x " << H;
  }
}

// Where fields live: the file's first bytes, the bytes before the first
// record, every record up to its pixel data, and the end of the file.
std::vector<size_t> HeaderPositions(const skwtest::TBuiltContainer& Built) {
  std::vector<size_t> Positions;
  auto Range = [&](int64_t From, int64_t To) {
    for (int64_t At = std::max<int64_t>(From, 0); At < To && At + 4 <= int64_t(Built.Bytes.size()); ++At)
      Positions.push_back(size_t(At));
  };
  const int64_t First = Built.RecordOffsets.front();
  Range(0, 16);
  Range(First - 12, First);
  for (size_t I = 0; I < Built.RecordOffsets.size(); ++I) {
    const int64_t Next = I + 1 < Built.RecordOffsets.size() ? Built.RecordOffsets[I + 1] : int64_t(Built.Bytes.size());
    Range(Built.RecordOffsets[I], Built.DataOffsets[I] >= 0 ? Built.DataOffsets[I] : Next);
  }
  Range(int64_t(Built.Bytes.size()) - 12, int64_t(Built.Bytes.size()));
  return Positions;
}

TEST(HostileContainer, EveryFieldLyingThenImported) {
  for (bool Bin : {true, false}) {
    const skwtest::TBuiltContainer Built = skwtest::BuildContainer(skwtest::TypicalContainer(Bin, 2, 16));
    const Bytes& Sound = Built.Bytes;
    for (size_t At : HeaderPositions(Built)) {
      for (uint32_t Lie : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 105u, 104u, 0u}) {
        Bytes Input(1, Bin ? 1 : 0);
        Input.insert(Input.end(), Sound.begin(), Sound.end());
        Put32(Input, At + 1, Lie);
        ASSERT_NO_FATAL_FAILURE(skwtest::RunContainer(Input.data(), Input.size()));
      }
    }
  }
}

TEST(HostileContainer, MissingEndRecordIsNotAValidContainer) {
  skwtest::TContainerPlan Plan = skwtest::TypicalContainer(true, 2, 16);
  Plan.Textures.pop_back();  // no "WOOD PLANK"
  kst::TMemoryStream Stream = skwtest::StreamOf(skwtest::BuildContainer(Plan).Bytes);
  kst::TStringList Index = {"stale"};
  skwtest::RecordingFrontEnd UI;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Stream;
  Engine.TextureList = &Index;
  Engine.FrontEnd = &UI;
  Engine.ScanTextures("textures.bin");
  EXPECT_TRUE(Index.empty());
  ASSERT_EQ(UI.Boxes.size(), 1u);
  EXPECT_EQ(UI.Boxes[0].Text, "Not a valid EECH textures file.");
}

}  // namespace
