// Layout facts the scan and the import share: level-chain sizes (including
// absurd headers), header field distances before the data offset, bounded
// 32-bit access, and the texture index helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "tests/support/ContainerBuilder.h"
#include "textures/TextureContainer.h"
#include "textures/TextureIndex.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(ContainerLayout, LevelChainSizes) {
  EXPECT_EQ(skw::PixelDataSize(64, 64, 4, 1), 5456);
  EXPECT_EQ(skw::PixelDataSize(64, 64, 4, 3), 16368);
  EXPECT_EQ(skw::PixelDataSize(64, 32, 0, 2), 4096);
  // Odd sizes drop the remainder at each level: 5×3, 2×1, then 1×0 adds nothing.
  EXPECT_EQ(skw::LevelPixelCount(5, 3, 7), 15 + 2);
  EXPECT_EQ(skw::LevelPixelCount(8, 8, -1), 0);
  EXPECT_EQ(skw::LevelPixelCount(0, 8, 3), 0);
  // Negative sides halve towards zero: -5×3, -2×1.
  EXPECT_EQ(skw::LevelPixelCount(-5, 3, 3), -17);
  EXPECT_EQ(skw::LevelPixelCount(-4, -2, 0), 8);
  // A huge mip count stops once the levels are empty: 64² + 32² + ... + 1².
  EXPECT_EQ(skw::LevelPixelCount(64, 64, kMax), 5461);
  // Extreme headers never wrap: exact sums, then saturation when scaled.
  EXPECT_EQ(skw::LevelPixelCount(65536, 65536, 0), int64_t{1} << 32);
  EXPECT_GT(skw::PixelDataSize(kMax, kMax, kMax, 4), int64_t{1} << 62);
  EXPECT_EQ(skw::PixelDataSize(kMin, kMin, kMax, 4), std::numeric_limits<int64_t>::max());
  EXPECT_LT(skw::PixelDataSize(kMin, kMax, kMax, 4), -(int64_t{1} << 62));
  EXPECT_EQ(skw::FirstRecordOffset(0), 12);
  EXPECT_EQ(skw::FirstRecordOffset(3), 3084);
}

TEST(ContainerLayout, HeaderFieldsLieAtFixedDistancesBeforeTheData) {
  for (bool Bin : {false, true}) {
    skwtest::TContainerPlan Plan;
    Plan.BinContainer = Bin;
    Plan.Palettes = {skwtest::MakePalette(1), skwtest::MakePalette(2)};
    Plan.Textures = {skwtest::Texture("5 ROUND ROCKET POD", 32, 16, 3, 1, 1), skwtest::WoodPlank()};
    const auto Built = skwtest::BuildContainer(Plan);
    kst::TMemoryStream Stream = skwtest::StreamOf(Built.Bytes);
    const int64_t Data = Built.DataOffsets[0];
    int32_t Mips = 0, Width = 0, Height = 0, Palette = -1;
    ASSERT_TRUE(skw::ReadInt32At(Stream, Data - skw::MipCountDistance(Bin), Mips));
    ASSERT_TRUE(skw::ReadInt32At(Stream, Data - skw::WidthDistance(Bin), Width));
    ASSERT_TRUE(skw::ReadInt32At(Stream, Data - skw::HeightDistance(Bin), Height));
    EXPECT_EQ(Mips, 3);
    EXPECT_EQ(Width, 32);
    EXPECT_EQ(Height, 16);
    if (!Bin) {
      ASSERT_TRUE(skw::ReadInt32At(Stream, Data - skw::kPaletteNumberDistance, Palette));
      EXPECT_EQ(Palette, 1);
    }
    int32_t Count = 0;
    ASSERT_TRUE(skw::ReadInt32At(Stream, skw::kPaletteCountOffset, Count));
    EXPECT_EQ(Count, 2);
    EXPECT_EQ(Built.Bytes[skw::PaletteOffset(1) + 5], skwtest::MakePalette(2)[5]);
  }
}

TEST(ContainerLayout, BoundedFieldAccess) {
  kst::TMemoryStream Stream = skwtest::StreamOf({0xFE, 0xFF, 0xFF, 0xFF, 0x01});
  int32_t Value = 7;
  EXPECT_TRUE(skw::ReadInt32At(Stream, 0, Value));
  EXPECT_EQ(Value, -2);
  EXPECT_TRUE(skw::ReadInt32At(Stream, 1, Value));
  EXPECT_EQ(Value, 0x01FFFFFF);
  Value = 7;
  EXPECT_FALSE(skw::ReadInt32At(Stream, 2, Value));
  EXPECT_FALSE(skw::ReadInt32At(Stream, -1, Value));
  EXPECT_FALSE(skw::ReadInt32At(Stream, std::numeric_limits<int64_t>::max(), Value));
  EXPECT_EQ(Value, 7);

  // Writes keep the stream's position and grow it when they reach past the end.
  Stream.SetPosition(1);
  skw::WriteInt32At(Stream, 3, kMin);
  EXPECT_EQ(Stream.Size(), 7);
  EXPECT_EQ(Stream.Position(), 1);
  EXPECT_TRUE(skw::ReadInt32At(Stream, 3, Value));
  EXPECT_EQ(Value, kMin);
}

TEST(TextureIndex, GroupsReadWriteAndShift) {
  kst::TStringList Index;
  skw::AppendTexture(Index, {"ROTOR", 64, 32, 3, 1, 3127, 4});
  skw::AppendTexture(Index, {"ROTOR-D", -1, 0, 0, -9, 9000, -1});
  skw::AppendTexture(Index, {"WOOD PLANK", 8, 8, 0, 1, 12000, 0});
  Index.push_back("a stray line");  // not a whole group: not counted
  ASSERT_EQ(skw::TextureCount(Index), 3);
  EXPECT_EQ(Index[8], "-1");
  EXPECT_EQ(Index[11], "-9");

  const skw::TTextureEntry Second = skw::TextureAt(Index, 1);
  EXPECT_EQ(Second.Name, "ROTOR-D");
  EXPECT_EQ(Second.Width, -1);
  EXPECT_EQ(Second.Type, -9);
  EXPECT_EQ(Second.DataOffset, 9000);
  EXPECT_EQ(Second.MipCount, -1);

  skw::ShiftDataOffsets(Index, 1, 1024);
  EXPECT_EQ(skw::IndexLine(Index, 0, skw::ilDataOffset), "3127");
  EXPECT_EQ(skw::IndexLine(Index, 1, skw::ilDataOffset), "10024");
  EXPECT_EQ(skw::IndexLine(Index, 2, skw::ilDataOffset), "13024");
  skw::ShiftDataOffsets(Index, 0, -5000);
  EXPECT_EQ(skw::IndexLine(Index, 0, skw::ilDataOffset), "-1873");

  skw::SetIndexNumber(Index, 2, skw::ilMipCount, 5);
  EXPECT_EQ(Index[20], "5");
  EXPECT_EQ(Index[21], "a stray line");

  EXPECT_THROW(skw::IndexLine(Index, 3, skw::ilName), std::out_of_range);
  EXPECT_THROW(skw::IndexLine(Index, -1, skw::ilName), std::out_of_range);
  for (const char* Bad : {"", "12x", " 12", "+4", "99999999999999999999"}) {
    skw::SetIndexLine(Index, 0, skw::ilWidth, Bad);
    EXPECT_THROW(skw::TextureAt(Index, 0), std::invalid_argument) << Bad;
  }
  skw::SetIndexLine(Index, 0, skw::ilWidth, "4294967296");
  EXPECT_THROW(skw::TextureAt(Index, 0), std::invalid_argument);
}

}  // namespace
