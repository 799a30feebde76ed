// The nearest colour-table entry search against the plain 256-entry scan, both
// the fastest way the processor offers and the plain way: tables padded with
// one repeated colour (only the first of equal entries may win), tables of a
// single colour, entries crowded together or spread along the cube's edges,
// exact ties between different colours, and colours far from every entry,
// where every distance overflows the vector search's 16 bits and the plain
// scan must answer. Also a search moved to another table, and the halver
// following changes of table from picture to picture.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "textures/BitmapNearestColor.h"
#include "textures/Flipsize.h"
#include "textures/TextureImport.h"

namespace {

using skw::TColorTable;
using skw::TRGBQuad;

TRGBQuad Quad(uint32_t Rgb) {
  return TRGBQuad{static_cast<uint8_t>(Rgb >> 16), static_cast<uint8_t>(Rgb >> 8), static_cast<uint8_t>(Rgb), 0};
}

std::vector<TColorTable> AwkwardTables() {
  std::mt19937 Random(2024);
  std::vector<TColorTable> Tables;
  TColorTable T{};
  for (size_t E = 0; E < 256; ++E) T[E] = Quad(E < 40 ? Random() : 0);  // padded with black
  Tables.push_back(T);
  T.fill(Quad(0x808080));  // one colour
  Tables.push_back(T);
  for (size_t E = 0; E < 256; ++E) T[E] = Quad(0x404040 + (Random() % 16) * 0x010101 + (Random() % 3));  // crowded
  Tables.push_back(T);
  for (size_t E = 0; E < 256; ++E) {  // along the edges, many equal distances
    const uint32_t V = static_cast<uint32_t>(E % 8) * 0x24;
    T[E] = Quad(E % 3 == 0 ? V << 16 : E % 3 == 1 ? V << 8 : V);
  }
  Tables.push_back(T);
  for (size_t E = 0; E < 256; ++E) T[E] = Quad(Random() & 0xF0F0F0);  // on a coarse lattice
  Tables.push_back(T);
  for (size_t E = 0; E < 256; ++E) T[E] = Quad(Random());
  Tables.push_back(T);
  for (size_t E = 0; E < 256; ++E) T[E] = Quad(Random() & 0x1F1F1F);  // dark: bright colours overflow
  Tables.push_back(T);
  return Tables;
}

TEST(NearestColor, BothWaysAgreeWithThePlainScan) {
  std::vector<int> Parts;
  for (int V = 0; V < 256; V += 16)
    for (const int D : {0, 1, 15}) Parts.push_back(V + D);
  int Table = 0;
  for (const TColorTable& T : AwkwardTables()) {
    for (const auto Way : {skw::TNearestColor::TSearchWay::swFastest, skw::TNearestColor::TSearchWay::swPlain}) {
      skw::TNearestColor Nearest(T, Way);
      for (const int R : Parts)
        for (const int G : Parts)
          for (const int B : Parts) {
            const auto Red = static_cast<uint8_t>(R), Green = static_cast<uint8_t>(G), Blue = static_cast<uint8_t>(B);
            ASSERT_EQ(Nearest.Find(Red, Green, Blue), skw::NearestColorScan(T, Red, Green, Blue))
                << Table << " " << R << " " << G << " " << B;
          }
    }
    ++Table;
  }
}

TEST(NearestColor, ColoursFarFromEveryEntry) {
  // Dark entries and bright colours: every distance is above 65535, so the
  // least one cannot be told in 16 bits. One bright entry late in the table
  // is the only one that can be told apart.
  TColorTable T{};
  for (size_t E = 0; E < 256; ++E) T[E] = Quad(static_cast<uint32_t>(E % 40) * 0x010101);
  skw::TNearestColor Dark(T);
  EXPECT_EQ(Dark.Find(255, 255, 255), skw::NearestColorScan(T, 255, 255, 255));
  EXPECT_EQ(Dark.Find(255, 255, 255), 39);
  EXPECT_EQ(Dark.Find(255, 0, 255), skw::NearestColorScan(T, 255, 0, 255));
  T[250] = Quad(0xFFFF00);
  skw::TNearestColor OneBright(T);
  EXPECT_EQ(OneBright.Find(255, 255, 255), 250);
  // 255^2 + 22^2 + 5^2 = 65534: the largest distance the vector search still tells.
  TColorTable Edge{};
  Edge.fill(Quad(0xFFFFFF));
  Edge[7] = Quad(0x000000);
  skw::TNearestColor Near(Edge);
  EXPECT_EQ(Near.Find(255, 22, 5), skw::NearestColorScan(Edge, 255, 22, 5));
}

TEST(NearestColor, AnotherTableForgetsTheAnswers) {
  TColorTable T{};
  T.fill(Quad(0x000000));
  T[9] = Quad(0x808080);
  skw::TNearestColor Nearest(T);
  EXPECT_EQ(Nearest.Find(0x80, 0x80, 0x80), 9);
  T[9] = Quad(0x000000);
  T[4] = Quad(0x808080);
  Nearest.SetTable(T);
  EXPECT_EQ(Nearest.Table(), T);
  EXPECT_EQ(Nearest.Find(0x80, 0x80, 0x80), 4);
}

TEST(NearestColor, RepeatedColoursAnswerTheirFirstEntry) {
  TColorTable T{};
  T.fill(Quad(0xFFFFFF));
  T[200] = Quad(0x102030);
  T[201] = Quad(0x102030);
  T[17] = Quad(0xFFFFFF);  // still white: entry 0 is the first white
  skw::TNearestColor Nearest(T);
  EXPECT_EQ(Nearest.Find(0x10, 0x20, 0x30), 200);
  EXPECT_EQ(Nearest.Find(0xF0, 0xF0, 0xF0), 0);
  EXPECT_EQ(Nearest.Find(0x10, 0x20, 0x30), 200);  // remembered answer
  // Two different colours at the same distance: the lower index wins.
  T[5] = Quad(0x000002);
  T[3] = Quad(0x000000);
  skw::TNearestColor Tie(T);
  EXPECT_EQ(Tie.Find(0, 0, 1), 3);
}

skw::TBitmap PaletteTestPicture(std::mt19937& Random, const TColorTable& Table, int32_t Side) {
  skw::TBitmap Bitmap;
  Bitmap.SetPixelFormat(skw::TPixelFormat::pf8bit);
  Bitmap.SetColorTable(Table);
  Bitmap.SetSize(Side, Side);
  for (int32_t Y = 0; Y < Side; ++Y)
    for (uint8_t& P : Bitmap.ScanLine(Y)) P = static_cast<uint8_t>(Random());
  return Bitmap;
}

TEST(NearestColor, HalverFollowsEachChangeOfTable) {
  std::mt19937 Random(99);
  std::vector<TColorTable> Tables;
  for (int I = 0; I < 20; ++I) {
    TColorTable T{};
    for (TRGBQuad& Q : T) Q = Quad(I % 2 == 0 ? Random() : Random() & 0xE0E0E0);
    Tables.push_back(T);
  }
  skw::TPictureHalver Halver;
  for (int Round = 0; Round < 2; ++Round)
    for (size_t I = 0; I < Tables.size(); ++I) {
      const skw::TBitmap Picture = PaletteTestPicture(Random, Tables[I], 24);
      skw::TBitmap Expected = Picture;
      skw::xShrinkPicture(Expected.Canvas(), Expected.Canvas(), 1, 1, 25, 25, 0, 0, 12, 12);
      Expected.SetSize(12, 12);
      skw::TBitmap Got = Picture;
      Halver.Halve(Got);
      const auto A = Got.PixelBytes(), B = Expected.PixelBytes();
      ASSERT_TRUE(std::equal(A.begin(), A.end(), B.begin(), B.end())) << Round << " " << I;
    }
}

}  // namespace
