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
  TBitmap b;
  b.SetSize(Width, Height);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) b.SetPixel(x, y, static_cast<TColor>(Pixel(x, y)));
  return b;
}

// Source column c has red 2c, so an average of red 2c is column c alone and one
// of 2c + 1 the pair c, c + 1 (blocks here are never wider than 2).
std::string ColumnsRead(int32_t W) {
  TBitmap source = TrueColor(W + 2, 3, [](int32_t x, int32_t) { return static_cast<uint32_t>(2 * x); });
  TBitmap dest;
  dest.SetSize(W / 2 + 1, 1);
  xShrinkPicture(source.Canvas(), dest.Canvas(), 1, 1, W + 1, 3, 0, 0, W / 2, 0);
  std::string out;
  for (int32_t x = 0; x <= W / 2; ++x) {
    const int32_t red = dest.Pixel(x, 0) & 0xFF;
    out += std::to_string(x) + ":" +
           (red % 2 == 0 ? std::to_string(red / 2) : std::to_string(red / 2) + "+" + std::to_string(red / 2 + 1));
    out += " ";
  }
  return out;
}

TEST(ShrinkPicture, SourceColumnsOfTheImportHalving) {
  EXPECT_EQ(ColumnsRead(4), "0:1 1:2 2:3+4 ");
  EXPECT_EQ(ColumnsRead(8), "0:1 1:2+3 2:4 3:5+6 4:7+8 ");
  std::string w64 = "0:1 ";
  for (int d = 1; d <= 15; ++d)
    w64 += std::to_string(d) + ":" + std::to_string(2 * d) + "+" + std::to_string(2 * d + 1) + " ";
  w64 += "16:32 ";
  for (int d = 17; d <= 32; ++d)
    w64 += std::to_string(d) + ":" + std::to_string(2 * d - 1) + "+" + std::to_string(2 * d) + " ";
  EXPECT_EQ(ColumnsRead(64), w64);
}

TEST(ShrinkPicture, RowsFollowTheSameRule) {
  // Green 2r on row r; a single column block, so green tells the rows.
  TBitmap source = TrueColor(2, 10, [](int32_t, int32_t y) { return static_cast<uint32_t>(2 * y) << 8; });
  TBitmap dest;
  dest.SetSize(1, 5);
  xShrinkPicture(source.Canvas(), dest.Canvas(), 1, 1, 2, 9, 0, 0, 0, 4);
  const std::vector<int32_t> expected = {2, 5, 8, 11, 15};  // rows 1; 2+3; 4; 5+6; 7+8
  for (int32_t y = 0; y < 5; ++y) EXPECT_EQ((dest.Pixel(0, y) >> 8) & 0xFF, expected[static_cast<size_t>(y)]) << y;
}

TEST(ShrinkPicture, FourByFourInPlaceKeepsTheInnerPixels) {
  TBitmap b =
      TrueColor(4, 4, [](int32_t x, int32_t y) { return static_cast<uint32_t>(0x102030 + 0x010101 * (4 * y + x)); });
  const TBitmap original = b;
  xShrinkPicture(b.Canvas(), b.Canvas(), 1, 1, 5, 5, 0, 0, 2, 2);
  b.SetWidth(2);
  b.SetHeight(2);
  EXPECT_EQ(b.Pixel(0, 0), original.Pixel(1, 1));
  EXPECT_EQ(b.Pixel(1, 0), original.Pixel(2, 1));
  EXPECT_EQ(b.Pixel(0, 1), original.Pixel(1, 2));
  EXPECT_EQ(b.Pixel(1, 1), original.Pixel(2, 2));
}

TColor Average(std::vector<TColor> Pixels, int32_t Width) {
  const int32_t height = static_cast<int32_t>(Pixels.size()) / Width;
  TBitmap source;
  source.SetSize(Width, height);
  for (size_t i = 0; i < Pixels.size(); ++i) {
    source.SetPixel(static_cast<int32_t>(i) % Width, static_cast<int32_t>(i) / Width, Pixels[i]);
  }
  TBitmap dest;
  dest.SetSize(1, 1);
  xShrinkPicture(source.Canvas(), dest.Canvas(), 0, 0, Width, height, 0, 0, 0, 0);
  return dest.Pixel(0, 0);
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
  TBitmap source;
  source.SetSize(1, 1);
  TBitmap dest;
  dest.SetSize(2, 1);
  dest.SetPixel(1, 0, 0x123456);
  // Column 0 from the picture's black pixel, column 1 from outside it: red -1
  // keeps its low 8 bits.
  xShrinkPicture(source.Canvas(), dest.Canvas(), 0, 0, 2, 1, 0, 0, 1, 0);
  EXPECT_EQ(dest.Pixel(0, 0), 0);
  EXPECT_EQ(dest.Pixel(1, 0), 0xFF);
}

TEST(ShrinkPicture, DegenerateRectanglesNeitherCrashNorWriteEmptyBlocks) {
  TBitmap b = TrueColor(3, 3, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x + 10 * y + 1); });
  const TBitmap original = b;
  xShrinkPicture(b.Canvas(), b.Canvas(), 0, 0, 3, 3, 0, 2, 2, 1);  // bottom above top
  xShrinkPicture(b.Canvas(), b.Canvas(), 1, 1, 1, 1, 0, 0, 2, 2);  // source without pixels
  xShrinkPicture(b.Canvas(), b.Canvas(), 0, 0, 3, 3, INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1);
  xShrinkPicture(b.Canvas(), b.Canvas(), 0, 0, 3, 3, INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX);
  EXPECT_TRUE(std::ranges::equal(b.PixelBytes(), original.PixelBytes()));
  // Enlarging 1 x 1 to 3 x 3: only the last column's and row's blocks hold the
  // source pixel; the others are empty and leave their pixels alone.
  TBitmap large = b;
  xShrinkPicture(b.Canvas(), large.Canvas(), 0, 0, 1, 1, 0, 0, 2, 2);
  EXPECT_EQ(large.Pixel(2, 2), original.Pixel(0, 0));
  EXPECT_EQ(large.Pixel(1, 2), original.Pixel(1, 2));
  EXPECT_EQ(large.Pixel(2, 1), original.Pixel(2, 1));
  EXPECT_EQ(large.Pixel(0, 0), original.Pixel(0, 0));
}

// The import's level loop: copy the level, halve in place, cut to w/2 x h/2.
std::vector<std::pair<int32_t, int32_t>> HalveToTheLastLevel(TBitmap& B, size_t* Bytes = nullptr) {
  std::vector<std::pair<int32_t, int32_t>> levels;
  while (B.Height() > 2) {
    const int32_t w = B.Width(), h = B.Height();
    levels.emplace_back(w, h);
    if (Bytes != nullptr) *Bytes += B.PixelBytes().size();
    xShrinkPicture(B.Canvas(), B.Canvas(), 1, 1, w + 1, h + 1, 0, 0, w / 2, h / 2);
    B.SetWidth(w / 2);
    B.SetHeight(h / 2);
  }
  return levels;
}

uint32_t Mixed(int32_t x, int32_t y) {
  return static_cast<uint32_t>((x * 37 + y * 11) % 256) | static_cast<uint32_t>((x * y * 7) % 256) << 8 |
         static_cast<uint32_t>((x + y * 53) % 256) << 16;
}

TEST(ShrinkPicture, InPlaceHalvingNeverReadsAWrittenPixel) {
  for (int32_t w = 1; w <= 19; w += 3) {
    for (int32_t h = 3; h <= 20; h += 1) {
      TBitmap inPlace = TrueColor(w, h, Mixed);
      TBitmap separate = inPlace;
      TBitmap dest = inPlace;
      xShrinkPicture(inPlace.Canvas(), inPlace.Canvas(), 1, 1, w + 1, h + 1, 0, 0, w / 2, h / 2);
      xShrinkPicture(separate.Canvas(), dest.Canvas(), 1, 1, w + 1, h + 1, 0, 0, w / 2, h / 2);
      for (int32_t y = 0; y < h / 2; ++y)
        for (int32_t x = 0; x < w / 2; ++x)
          ASSERT_EQ(inPlace.Pixel(x, y), dest.Pixel(x, y)) << w << "x" << h << " at " << x << "," << y;
    }
  }
}

TEST(ShrinkPicture, HalvingOddAndNonSquarePicturesToTheLastLevel) {
  // 5 x 3: one level; the 2 x 1 result is pixel (1, 1) and the average of
  // (2, 1) and (3, 1).
  TBitmap odd = TrueColor(5, 3, [](int32_t x, int32_t y) { return static_cast<uint32_t>(10 * x + 100 * y); });
  EXPECT_EQ(HalveToTheLastLevel(odd), (std::vector<std::pair<int32_t, int32_t>>{{5, 3}}));
  ASSERT_EQ(odd.Width(), 2);
  ASSERT_EQ(odd.Height(), 1);
  EXPECT_EQ(odd.Pixel(0, 0), 110);
  EXPECT_EQ(odd.Pixel(1, 0), 125);

  TBitmap wide = TrueColor(16, 4, Mixed);
  EXPECT_EQ(HalveToTheLastLevel(wide), (std::vector<std::pair<int32_t, int32_t>>{{16, 4}}));
  EXPECT_EQ(wide.Width(), 8);
  EXPECT_EQ(wide.Height(), 2);

  // Width 1 runs out before the height does: later levels have no pixels.
  TBitmap tall = TrueColor(4, 32, Mixed);
  size_t bytes = 0;
  EXPECT_EQ(HalveToTheLastLevel(tall, &bytes),
            (std::vector<std::pair<int32_t, int32_t>>{{4, 32}, {2, 16}, {1, 8}, {0, 4}}));
  EXPECT_EQ(bytes, 3u * (128 + 32 + 8 + 0));
  EXPECT_EQ(tall.Width(), 0);
  EXPECT_EQ(tall.Height(), 2);

  TBitmap seven = TrueColor(7, 7, Mixed);
  EXPECT_EQ(HalveToTheLastLevel(seven), (std::vector<std::pair<int32_t, int32_t>>{{7, 7}, {3, 3}}));
  EXPECT_EQ(seven.Width(), 1);
}

TEST(ShrinkPicture, EightBitLevelsStoreTheNearestEntryAndKeepTheTable) {
  TColorTable table{};
  table[1] = TRGBQuad{0, 0, 100, 0};  // red 100
  table[2] = TRGBQuad{0, 0, 200, 0};  // red 200
  table[3] = TRGBQuad{0, 0, 150, 7};  // red 150
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf8bit);
  b.SetColorTable(table);
  b.SetSize(64, 64);
  // Columns 1, 2: reds 100 and 200 average 150 (entry 3); columns 3, 4: black
  // and red 100 average 50, as far from entry 0 as from entry 1 (entry 0).
  for (int32_t y = 0; y < 64; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      const uint8_t index = x % 4 == 1 ? 1 : x % 4 == 2 ? 2 : x % 4 == 3 ? 0 : 1;
      b.ScanLine(y)[static_cast<size_t>(x)] = index;
    }
  }
  size_t bytes = 0;
  const auto levels = HalveToTheLastLevel(b, &bytes);
  EXPECT_EQ(levels.size(), 5u);  // 64, 32, 16, 8, 4
  EXPECT_EQ(bytes, 5456u);
  EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(b.ColorTable(), table);

  TBitmap once;
  once.SetPixelFormat(TPixelFormat::pf8bit);
  once.SetColorTable(table);
  once.SetSize(8, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x)
      once.ScanLine(y)[static_cast<size_t>(x)] = x % 4 == 1 ? 1 : x % 4 == 2 ? 2 : x % 4 == 3 ? 0 : 1;
  HalveToTheLastLevel(once);
  ASSERT_EQ(once.Width(), 4);
  // Destination column 1 averages source columns 2 and 3 (red 200 and 0: 100,
  // entry 1); column 2 is source 4 alone (entry 1); column 3 averages 5 and 6.
  const std::vector<uint8_t> row(once.ScanLine(0).begin(), once.ScanLine(0).end());
  EXPECT_EQ(row, (std::vector<uint8_t>{1, 1, 1, 3}));
}

TEST(ColorParts, SeparateAndJoin) {
  int32_t r = 0, g = 0, b = 0;
  xSeparateColor(0xFF8040, r, g, b);
  EXPECT_EQ((std::vector<int32_t>{r, g, b}), (std::vector<int32_t>{64, 128, 255}));
  xSeparateColor(-1, r, g, b);
  EXPECT_EQ((std::vector<int32_t>{r, g, b}), (std::vector<int32_t>{-1, 0, 0}));
  xSeparateColor(0x01020304, r, g, b);  // the top byte joins blue
  EXPECT_EQ((std::vector<int32_t>{r, g, b}), (std::vector<int32_t>{4, 3, 0x102}));
  xSeparateColor(-300, r, g, b);
  EXPECT_EQ((std::vector<int32_t>{r, g, b}), (std::vector<int32_t>{-44, -1, 0}));
  EXPECT_EQ(xRGB(300, 0, 0), 300);
  EXPECT_EQ(xRGB(64, 128, 255), 0xFF8040);
  EXPECT_EQ(xRGB(-1, 0, 0), -1);
  EXPECT_EQ(xRGB(0, 0, 0x8000), INT32_MIN);  // wraps instead of overflowing
}

TEST(FlipDown, TurnsRowsOverAsTrueColour) {
  TBitmap b = TrueColor(3, 4, Mixed);
  b.SetPixelFormat(TPixelFormat::pf32bit);
  const TBitmap original = b;
  FlipDown(b);
  EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), original.Pixel(x, 3 - y));

  TBitmap row;
  row.SetPixelFormat(TPixelFormat::pf8bit);
  TColorTable table{};
  table[5] = TRGBQuad{1, 2, 3, 0};
  row.SetColorTable(table);
  row.SetSize(2, 1);
  row.ScanLine(0)[1] = 5;
  FlipDown(row);
  EXPECT_EQ(row.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(row.Pixel(0, 0), 0);
  EXPECT_EQ(row.Pixel(1, 0), 0x010203);

  TBitmap empty;
  FlipDown(empty);
  EXPECT_EQ(empty.Width(), 0);
}

}  // namespace
