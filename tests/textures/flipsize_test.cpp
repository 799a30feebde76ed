// Flipsize: which source pixels each destination pixel averages, the rounding
// of the averages, in-place halving as the import drives it down to the last
// level (odd, non-square and 8-bit pictures), the colour helpers and FlipDown.
#include "textures/Flipsize.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/kit/BmpWriter.h"

namespace {

using namespace skw;

TBitmap TrueColor(int32_t Width, int32_t Height, uint32_t (*Pixel)(int32_t, int32_t)) {
  TBitmap B;
  B.SetSize(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X) B.SetPixel(X, Y, static_cast<TColor>(Pixel(X, Y)));
  return B;
}

// Source column c has red 2c, so an average of red 2c is column c alone and one
// of 2c + 1 the pair c, c + 1 (blocks here are never wider than 2).
std::string ColumnsRead(int32_t W) {
  TBitmap Source = TrueColor(W + 2, 3, [](int32_t X, int32_t) { return static_cast<uint32_t>(2 * X); });
  TBitmap Dest;
  Dest.SetSize(W / 2 + 1, 1);
  xShrinkPicture(Source.Canvas(), Dest.Canvas(), 1, 1, W + 1, 3, 0, 0, W / 2, 0);
  std::string Out;
  for (int32_t X = 0; X <= W / 2; ++X) {
    const int32_t Red = Dest.Pixel(X, 0) & 0xFF;
    Out += std::to_string(X) + ":" +
           (Red % 2 == 0 ? std::to_string(Red / 2) : std::to_string(Red / 2) + "+" + std::to_string(Red / 2 + 1));
    Out += " ";
  }
  return Out;
}

TEST(ShrinkPicture, SourceColumnsOfTheImportHalving) {
  EXPECT_EQ(ColumnsRead(4), "0:1 1:2 2:3+4 ");
  EXPECT_EQ(ColumnsRead(8), "0:1 1:2+3 2:4 3:5+6 4:7+8 ");
  std::string W64 = "0:1 ";
  for (int D = 1; D <= 15; ++D)
    W64 += std::to_string(D) + ":" + std::to_string(2 * D) + "+" + std::to_string(2 * D + 1) + " ";
  W64 += "16:32 ";
  for (int D = 17; D <= 32; ++D)
    W64 += std::to_string(D) + ":" + std::to_string(2 * D - 1) + "+" + std::to_string(2 * D) + " ";
  EXPECT_EQ(ColumnsRead(64), W64);
}

TEST(ShrinkPicture, RowsFollowTheSameRule) {
  // Green 2r on row r; a single column block, so green tells the rows.
  TBitmap Source = TrueColor(2, 10, [](int32_t, int32_t Y) { return static_cast<uint32_t>(2 * Y) << 8; });
  TBitmap Dest;
  Dest.SetSize(1, 5);
  xShrinkPicture(Source.Canvas(), Dest.Canvas(), 1, 1, 2, 9, 0, 0, 0, 4);
  const std::vector<int32_t> Expected = {2, 5, 8, 11, 15};  // rows 1; 2+3; 4; 5+6; 7+8
  for (int32_t Y = 0; Y < 5; ++Y) EXPECT_EQ((Dest.Pixel(0, Y) >> 8) & 0xFF, Expected[static_cast<size_t>(Y)]) << Y;
}

TEST(ShrinkPicture, FourByFourInPlaceKeepsTheInnerPixels) {
  TBitmap B =
      TrueColor(4, 4, [](int32_t X, int32_t Y) { return static_cast<uint32_t>(0x102030 + 0x010101 * (4 * Y + X)); });
  const TBitmap Original = B;
  xShrinkPicture(B.Canvas(), B.Canvas(), 1, 1, 5, 5, 0, 0, 2, 2);
  B.SetWidth(2);
  B.SetHeight(2);
  EXPECT_EQ(B.Pixel(0, 0), Original.Pixel(1, 1));
  EXPECT_EQ(B.Pixel(1, 0), Original.Pixel(2, 1));
  EXPECT_EQ(B.Pixel(0, 1), Original.Pixel(1, 2));
  EXPECT_EQ(B.Pixel(1, 1), Original.Pixel(2, 2));
}

TColor Average(std::vector<TColor> Pixels, int32_t Width) {
  const int32_t Height = static_cast<int32_t>(Pixels.size()) / Width;
  TBitmap Source;
  Source.SetSize(Width, Height);
  for (size_t I = 0; I < Pixels.size(); ++I) {
    Source.SetPixel(static_cast<int32_t>(I) % Width, static_cast<int32_t>(I) / Width, Pixels[I]);
  }
  TBitmap Dest;
  Dest.SetSize(1, 1);
  xShrinkPicture(Source.Canvas(), Dest.Canvas(), 0, 0, Width, Height, 0, 0, 0, 0);
  return Dest.Pixel(0, 0);
}

TEST(ShrinkPicture, AveragesRoundHalfToEven) {
  EXPECT_EQ(Average({1, 2}, 2), 2);        // 1.5
  EXPECT_EQ(Average({2, 3}, 2), 2);        // 2.5
  EXPECT_EQ(Average({1, 1, 1, 2}, 2), 1);  // 1.25
  EXPECT_EQ(Average({0x030201, 0x050403}, 1), 0x040302);
  EXPECT_EQ(Average({0xFFFFFF, 0xFEFEFE}, 2), 0xFEFEFE);  // 254.5 in every part
  // Three pixels: the 32-bit factor 1/3 is slightly above a third, so
  // 255 + 255 + 254 gives 254.66... and 1 + 1 + 2 gives 1.33...
  EXPECT_EQ(Average({0xFF, 0xFF, 0xFE}, 3), 0xFF);
  EXPECT_EQ(Average({1, 1, 2}, 3), 1);
}

TEST(ShrinkPicture, PixelsOutsideTheSourceCountAsRedMinusOne) {
  TBitmap Source;
  Source.SetSize(1, 1);
  TBitmap Dest;
  Dest.SetSize(2, 1);
  Dest.SetPixel(1, 0, 0x123456);
  // Column 0 from the picture's black pixel, column 1 from outside it: red -1
  // keeps its low 8 bits.
  xShrinkPicture(Source.Canvas(), Dest.Canvas(), 0, 0, 2, 1, 0, 0, 1, 0);
  EXPECT_EQ(Dest.Pixel(0, 0), 0);
  EXPECT_EQ(Dest.Pixel(1, 0), 0xFF);
}

TEST(ShrinkPicture, DegenerateRectanglesNeitherCrashNorWriteEmptyBlocks) {
  TBitmap B = TrueColor(3, 3, [](int32_t X, int32_t Y) { return static_cast<uint32_t>(X + 10 * Y + 1); });
  const TBitmap Original = B;
  xShrinkPicture(B.Canvas(), B.Canvas(), 0, 0, 3, 3, 0, 2, 2, 1);  // bottom above top
  xShrinkPicture(B.Canvas(), B.Canvas(), 1, 1, 1, 1, 0, 0, 2, 2);  // source without pixels
  xShrinkPicture(B.Canvas(), B.Canvas(), 0, 0, 3, 3, INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1);
  xShrinkPicture(B.Canvas(), B.Canvas(), 0, 0, 3, 3, INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX);
  EXPECT_TRUE(std::ranges::equal(B.PixelBytes(), Original.PixelBytes()));
  // Enlarging 1 x 1 to 3 x 3: only the last column's and row's blocks hold the
  // source pixel; the others are empty and leave their pixels alone.
  TBitmap Large = B;
  xShrinkPicture(B.Canvas(), Large.Canvas(), 0, 0, 1, 1, 0, 0, 2, 2);
  EXPECT_EQ(Large.Pixel(2, 2), Original.Pixel(0, 0));
  EXPECT_EQ(Large.Pixel(1, 2), Original.Pixel(1, 2));
  EXPECT_EQ(Large.Pixel(2, 1), Original.Pixel(2, 1));
  EXPECT_EQ(Large.Pixel(0, 0), Original.Pixel(0, 0));
}

// The import's level loop: copy the level, halve in place, cut to w/2 x h/2.
std::vector<std::pair<int32_t, int32_t>> HalveToTheLastLevel(TBitmap& B, size_t* Bytes = nullptr) {
  std::vector<std::pair<int32_t, int32_t>> Levels;
  while (B.Height() > 2) {
    const int32_t W = B.Width(), H = B.Height();
    Levels.emplace_back(W, H);
    if (Bytes != nullptr) *Bytes += B.PixelBytes().size();
    xShrinkPicture(B.Canvas(), B.Canvas(), 1, 1, W + 1, H + 1, 0, 0, W / 2, H / 2);
    B.SetWidth(W / 2);
    B.SetHeight(H / 2);
  }
  return Levels;
}

uint32_t Mixed(int32_t X, int32_t Y) {
  return static_cast<uint32_t>((X * 37 + Y * 11) % 256) | static_cast<uint32_t>((X * Y * 7) % 256) << 8 |
         static_cast<uint32_t>((X + Y * 53) % 256) << 16;
}

TEST(ShrinkPicture, InPlaceHalvingNeverReadsAWrittenPixel) {
  for (int32_t W = 1; W <= 19; W += 3) {
    for (int32_t H = 3; H <= 20; H += 1) {
      TBitmap InPlace = TrueColor(W, H, Mixed);
      TBitmap Separate = InPlace;
      TBitmap Dest = InPlace;
      xShrinkPicture(InPlace.Canvas(), InPlace.Canvas(), 1, 1, W + 1, H + 1, 0, 0, W / 2, H / 2);
      xShrinkPicture(Separate.Canvas(), Dest.Canvas(), 1, 1, W + 1, H + 1, 0, 0, W / 2, H / 2);
      for (int32_t Y = 0; Y < H / 2; ++Y)
        for (int32_t X = 0; X < W / 2; ++X)
          ASSERT_EQ(InPlace.Pixel(X, Y), Dest.Pixel(X, Y)) << W << "x" << H << " at " << X << "," << Y;
    }
  }
}

TEST(ShrinkPicture, HalvingOddAndNonSquarePicturesToTheLastLevel) {
  // 5 x 3: one level; the 2 x 1 result is pixel (1, 1) and the average of
  // (2, 1) and (3, 1).
  TBitmap Odd = TrueColor(5, 3, [](int32_t X, int32_t Y) { return static_cast<uint32_t>(10 * X + 100 * Y); });
  EXPECT_EQ(HalveToTheLastLevel(Odd), (std::vector<std::pair<int32_t, int32_t>>{{5, 3}}));
  ASSERT_EQ(Odd.Width(), 2);
  ASSERT_EQ(Odd.Height(), 1);
  EXPECT_EQ(Odd.Pixel(0, 0), 110);
  EXPECT_EQ(Odd.Pixel(1, 0), 125);

  TBitmap Wide = TrueColor(16, 4, Mixed);
  EXPECT_EQ(HalveToTheLastLevel(Wide), (std::vector<std::pair<int32_t, int32_t>>{{16, 4}}));
  EXPECT_EQ(Wide.Width(), 8);
  EXPECT_EQ(Wide.Height(), 2);

  // Width 1 runs out before the height does: later levels have no pixels.
  TBitmap Tall = TrueColor(4, 32, Mixed);
  size_t Bytes = 0;
  EXPECT_EQ(HalveToTheLastLevel(Tall, &Bytes),
            (std::vector<std::pair<int32_t, int32_t>>{{4, 32}, {2, 16}, {1, 8}, {0, 4}}));
  EXPECT_EQ(Bytes, 3u * (128 + 32 + 8 + 0));
  EXPECT_EQ(Tall.Width(), 0);
  EXPECT_EQ(Tall.Height(), 2);

  TBitmap Seven = TrueColor(7, 7, Mixed);
  EXPECT_EQ(HalveToTheLastLevel(Seven), (std::vector<std::pair<int32_t, int32_t>>{{7, 7}, {3, 3}}));
  EXPECT_EQ(Seven.Width(), 1);
}

TEST(ShrinkPicture, EightBitLevelsStoreTheNearestEntryAndKeepTheTable) {
  TColorTable Table{};
  Table[1] = TRGBQuad{0, 0, 100, 0};  // red 100
  Table[2] = TRGBQuad{0, 0, 200, 0};  // red 200
  Table[3] = TRGBQuad{0, 0, 150, 7};  // red 150
  TBitmap B;
  B.SetPixelFormat(TPixelFormat::pf8bit);
  B.SetColorTable(Table);
  B.SetSize(64, 64);
  // Columns 1, 2: reds 100 and 200 average 150 (entry 3); columns 3, 4: black
  // and red 100 average 50, as far from entry 0 as from entry 1 (entry 0).
  for (int32_t Y = 0; Y < 64; ++Y) {
    for (int32_t X = 0; X < 64; ++X) {
      const uint8_t Index = X % 4 == 1 ? 1 : X % 4 == 2 ? 2 : X % 4 == 3 ? 0 : 1;
      B.ScanLine(Y)[static_cast<size_t>(X)] = Index;
    }
  }
  size_t Bytes = 0;
  const auto Levels = HalveToTheLastLevel(B, &Bytes);
  EXPECT_EQ(Levels.size(), 5u);  // 64, 32, 16, 8, 4
  EXPECT_EQ(Bytes, 5456u);
  EXPECT_EQ(B.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(B.ColorTable(), Table);

  TBitmap Once;
  Once.SetPixelFormat(TPixelFormat::pf8bit);
  Once.SetColorTable(Table);
  Once.SetSize(8, 4);
  for (int32_t Y = 0; Y < 4; ++Y)
    for (int32_t X = 0; X < 8; ++X)
      Once.ScanLine(Y)[static_cast<size_t>(X)] = X % 4 == 1 ? 1 : X % 4 == 2 ? 2 : X % 4 == 3 ? 0 : 1;
  HalveToTheLastLevel(Once);
  ASSERT_EQ(Once.Width(), 4);
  // Destination column 1 averages source columns 2 and 3 (red 200 and 0: 100,
  // entry 1); column 2 is source 4 alone (entry 1); column 3 averages 5 and 6.
  const std::vector<uint8_t> Row(Once.ScanLine(0).begin(), Once.ScanLine(0).end());
  EXPECT_EQ(Row, (std::vector<uint8_t>{1, 1, 1, 3}));
}

TEST(ColorParts, SeparateAndJoin) {
  int32_t R = 0, G = 0, B = 0;
  xSeparateColor(0xFF8040, R, G, B);
  EXPECT_EQ((std::vector<int32_t>{R, G, B}), (std::vector<int32_t>{64, 128, 255}));
  xSeparateColor(-1, R, G, B);
  EXPECT_EQ((std::vector<int32_t>{R, G, B}), (std::vector<int32_t>{-1, 0, 0}));
  xSeparateColor(0x01020304, R, G, B);  // the top byte joins blue
  EXPECT_EQ((std::vector<int32_t>{R, G, B}), (std::vector<int32_t>{4, 3, 0x102}));
  xSeparateColor(-300, R, G, B);
  EXPECT_EQ((std::vector<int32_t>{R, G, B}), (std::vector<int32_t>{-44, -1, 0}));
  EXPECT_EQ(xRGB(300, 0, 0), 300);
  EXPECT_EQ(xRGB(64, 128, 255), 0xFF8040);
  EXPECT_EQ(xRGB(-1, 0, 0), -1);
  EXPECT_EQ(xRGB(0, 0, 0x8000), INT32_MIN);  // wraps instead of overflowing
}

TEST(FlipDown, TurnsRowsOverAsTrueColour) {
  TBitmap B = TrueColor(3, 4, Mixed);
  B.SetPixelFormat(TPixelFormat::pf32bit);
  const TBitmap Original = B;
  FlipDown(B);
  EXPECT_EQ(B.PixelFormat(), TPixelFormat::pf24bit);
  ASSERT_EQ(B.Width(), 3);
  ASSERT_EQ(B.Height(), 4);
  for (int32_t Y = 0; Y < 4; ++Y)
    for (int32_t X = 0; X < 3; ++X) EXPECT_EQ(B.Pixel(X, Y), Original.Pixel(X, 3 - Y));

  TBitmap Row;
  Row.SetPixelFormat(TPixelFormat::pf8bit);
  TColorTable Table{};
  Table[5] = TRGBQuad{1, 2, 3, 0};
  Row.SetColorTable(Table);
  Row.SetSize(2, 1);
  Row.ScanLine(0)[1] = 5;
  FlipDown(Row);
  EXPECT_EQ(Row.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(Row.Pixel(0, 0), 0);
  EXPECT_EQ(Row.Pixel(1, 0), 0x010203);

  TBitmap Empty;
  FlipDown(Empty);
  EXPECT_EQ(Empty.Width(), 0);
}

}  // namespace
