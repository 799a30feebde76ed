// The import's halving against the block resampler it stands in for: for every
// width and height up to 40, some larger and odd sizes, true-colour and 8-bit
// pictures (colour tables with repeated entries, so the lowest-index rule
// matters), the halved picture must equal xShrinkPicture on the picture's own
// canvas followed by the cut, byte for byte. One halver is used throughout, so
// its remembered nearest entries must follow each change of colour table.
#include <gtest/gtest.h>

#include <random>

#include "textures/Bitmap.h"
#include "textures/Flipsize.h"
#include "textures/TextureImport.h"

namespace {

skw::TBitmap RandomPicture(std::mt19937& Random, int32_t W, int32_t H, bool EightBit) {
  skw::TBitmap Bitmap;
  if (EightBit) {
    Bitmap.SetPixelFormat(skw::TPixelFormat::pf8bit);
    skw::TColorTable Table{};
    // A few distinct colours repeated over the table, some entries random.
    for (size_t E = 0; E < Table.size(); ++E) {
      const uint32_t V = E % 3 == 0 ? static_cast<uint32_t>(E % 7) * 0x2F1D0B : Random();
      Table[E] = skw::TRGBQuad{static_cast<uint8_t>(V), static_cast<uint8_t>(V >> 8), static_cast<uint8_t>(V >> 16), 0};
    }
    Bitmap.SetColorTable(Table);
  }
  Bitmap.SetSize(W, H);
  // Smooth areas (repeated averages) mixed with noise.
  const bool Noisy = Random() % 2 == 0;
  for (int32_t Y = 0; Y < H; ++Y) {
    std::span<uint8_t> Line = Bitmap.ScanLine(Y);
    for (size_t I = 0; I < Line.size(); ++I)
      Line[I] = static_cast<uint8_t>(Noisy ? Random() : (I / 4 + static_cast<size_t>(Y) * 3));
  }
  return Bitmap;
}

void ExpectSameHalving(skw::TPictureHalver& Halver, const skw::TBitmap& Picture) {
  const int32_t W = Picture.Width(), H = Picture.Height();
  skw::TBitmap Expected = Picture;
  skw::xShrinkPicture(Expected.Canvas(), Expected.Canvas(), 1, 1, W + 1, H + 1, 0, 0, W / 2, H / 2);
  Expected.SetSize(W / 2, H / 2);
  skw::TBitmap Got = Picture;
  Halver.Halve(Got);
  ASSERT_EQ(Got.Width(), Expected.Width());
  ASSERT_EQ(Got.Height(), Expected.Height());
  const auto A = Got.PixelBytes(), B = Expected.PixelBytes();
  ASSERT_TRUE(std::equal(A.begin(), A.end(), B.begin(), B.end()))
      << W << " x " << H << (Picture.PixelFormat() == skw::TPixelFormat::pf8bit ? " 8-bit" : " 24-bit");
}

TEST(ImportHalve, EqualsTheResamplerOnItsOwnCanvas) {
  std::mt19937 Random(5);
  skw::TPictureHalver Halver;
  for (const bool EightBit : {false, true})
    for (int32_t W = 1; W <= 40; ++W)
      for (int32_t H = 1; H <= 40; ++H) ExpectSameHalving(Halver, RandomPicture(Random, W, H, EightBit));
  for (const int32_t Side : {63, 64, 65, 100, 127, 255, 256, 257, 1023})
    for (const bool EightBit : {false, true}) {
      ExpectSameHalving(Halver, RandomPicture(Random, Side, Side, EightBit));
      ExpectSameHalving(Halver, RandomPicture(Random, Side, 7, EightBit));
    }
}

TEST(ImportHalve, KeepsItsMemoryPerColourTable) {
  // Halving alternately with two tables that answer the same colours
  // differently: remembered entries of one table must not leak into the other.
  std::mt19937 Random(11);
  skw::TPictureHalver Halver;
  skw::TBitmap First = RandomPicture(Random, 32, 32, true);
  skw::TBitmap Second = First;
  skw::TColorTable Reversed = First.ColorTable();
  std::reverse(Reversed.begin(), Reversed.end());
  Second.SetColorTable(Reversed);
  for (int Round = 0; Round < 300; ++Round) ExpectSameHalving(Halver, Round % 2 == 0 ? First : Second);
}

}  // namespace
