// TBitmap: BMP reading of every accepted layout, rejection of malformed files,
// saving and reloading, resizing, per-pixel access and the nearest-entry rule for
// colours written into 8-bit pictures.
#include "textures/Bitmap.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "archive/io/MemoryStream.h"
#include "tests/kit/BmpWriter.h"
#include "textures/BitmapNearestColor.h"

namespace {

using namespace skw;

using skwtest::MakeBmp;
using skwtest::TBmpFile;

// A colour that differs in every part and for every pixel of small pictures.
uint32_t Gradient(int32_t X, int32_t Y) {
  return static_cast<uint32_t>(10 + X * 20) | static_cast<uint32_t>(5 + Y * 30) << 8 |
         static_cast<uint32_t>(200 - X - Y) << 16;
}

TBmpFile TrueColorFile(int32_t Width, int32_t Height, uint16_t BitCount) {
  TBmpFile F;
  F.Width = Width;
  F.Height = Height;
  F.BitCount = BitCount;
  F.Pixel = Gradient;
  return F;
}

// 8-bit picture with a three-entry table; pixel index (x + y) mod 3.
TBmpFile IndexedFile(int32_t Width, int32_t Height) {
  TBmpFile F;
  F.Width = Width;
  F.Height = Height;
  F.BitCount = 8;
  F.ColorsUsed = 3;
  F.Table = {{1, 2, 3, 4}, {0x10, 0x20, 0x30, 0}, {0xFF, 0x80, 0x40, 0x99}};
  F.Pixel = [](int32_t X, int32_t Y) { return static_cast<uint32_t>((X + Y) % 3); };
  return F;
}

TBitmap Load(const std::vector<uint8_t>& Bytes) {
  TBitmap B;
  B.LoadFromBuffer(Bytes);
  return B;
}

void ExpectGradient(const TBitmap& B, int32_t Width, int32_t Height) {
  ASSERT_EQ(B.Width(), Width);
  ASSERT_EQ(B.Height(), Height);
  for (int32_t Y = 0; Y < Height; ++Y) {
    for (int32_t X = 0; X < Width; ++X) {
      EXPECT_EQ(static_cast<uint32_t>(B.Pixel(X, Y)), Gradient(X, Y)) << X << "," << Y;
    }
  }
}

TEST(BitmapLoad, TrueColourBottomUpAndTopDownWithPaddedRows) {
  for (int32_t Height : {4, -4}) {
    // Width 3: 9 bytes per 24-bit row padded to 12.
    const TBitmap B = Load(MakeBmp(TrueColorFile(3, Height, 24)));
    EXPECT_EQ(B.PixelFormat(), TPixelFormat::pf24bit);
    ExpectGradient(B, 3, 4);
    // Logical rows are top row first, red, green, blue.
    const auto Top = B.ScanLine(0);
    ASSERT_EQ(Top.size(), 9u);
    EXPECT_EQ(Top[0], 10);
    EXPECT_EQ(Top[1], 5);
    EXPECT_EQ(Top[2], 200);
    EXPECT_EQ(B.PixelBytes().size(), 36u);
  }
}

TEST(BitmapLoad, ThirtyTwoBitPlainAndBitFieldsWithEveryHeaderVersion) {
  for (uint32_t InfoSize : {40u, 52u, 56u, 108u, 124u}) {
    for (uint32_t Compression : {0u, 3u}) {
      TBmpFile F = TrueColorFile(5, -3, 32);
      F.InfoSize = InfoSize;
      F.Compression = Compression;
      const TBitmap B = Load(MakeBmp(F));
      EXPECT_EQ(B.PixelFormat(), TPixelFormat::pf32bit);
      ExpectGradient(B, 5, 3);
      EXPECT_EQ(B.RowSize(), 15);
    }
  }
}

TEST(BitmapLoad, LaterHeadersAndAGapBeforeThePixels) {
  for (uint32_t InfoSize : {108u, 124u}) {
    TBmpFile F = TrueColorFile(2, 2, 24);
    F.InfoSize = InfoSize;
    F.Gap = 7;
    ExpectGradient(Load(MakeBmp(F)), 2, 2);
  }
}

TEST(BitmapLoad, EightBitShortTableIsPaddedWithBlack) {
  for (int32_t Height : {2, -2}) {
    const TBitmap B = Load(MakeBmp(IndexedFile(5, Height)));
    EXPECT_EQ(B.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(B.ColorTable()[0], (TRGBQuad{1, 2, 3, 4}));
    EXPECT_EQ(B.ColorTable()[2], (TRGBQuad{0xFF, 0x80, 0x40, 0x99}));
    for (size_t I = 3; I < 256; ++I) EXPECT_EQ(B.ColorTable()[I], TRGBQuad{}) << I;
    EXPECT_EQ(B.Pixel(0, 0), 0x010203);
    EXPECT_EQ(B.Pixel(1, 0), 0x102030);
    EXPECT_EQ(B.Pixel(2, 0), 0xFF8040);
    EXPECT_EQ(B.Pixel(0, 1), 0x102030);
    // Width 5: rows padded to 8 bytes in the file, 5 index bytes per logical row.
    const std::vector<uint8_t> Top(B.ScanLine(0).begin(), B.ScanLine(0).end());
    EXPECT_EQ(Top, (std::vector<uint8_t>{0, 1, 2, 0, 1}));
  }
}

TEST(BitmapLoad, EightBitFullTableAndIndexesBeyondTheTable) {
  TBmpFile F = IndexedFile(2, 1);
  F.ColorsUsed = 0;  // means 256
  F.Table.assign(256, {9, 9, 9, 0});
  F.Table[255] = {7, 8, 9, 0};
  F.Pixel = [](int32_t X, int32_t) { return X == 0 ? 255u : 17u; };
  const TBitmap B = Load(MakeBmp(F));
  EXPECT_EQ(B.Pixel(0, 0), 0x070809);
  EXPECT_EQ(B.ScanLine(0)[1], 17);

  TBmpFile ShortTable = IndexedFile(1, 1);
  ShortTable.Pixel = [](int32_t, int32_t) { return 200u; };
  EXPECT_EQ(Load(MakeBmp(ShortTable)).Pixel(0, 0), 0);
}

// Each case spoils one thing of a valid picture.
TEST(BitmapLoad, EveryMalformedFileIsRejectedAndKeepsTheOldPicture) {
  const auto With = [](auto Change, TBmpFile F = TrueColorFile(3, 2, 24)) {
    Change(F);
    return MakeBmp(F);
  };
  const auto Patched = [](std::vector<uint8_t> Bytes, size_t At, uint32_t Value) {
    skwtest::PutLE(Bytes, At, Value, 4);
    return Bytes;
  };
  const std::vector<uint8_t> Good = MakeBmp(TrueColorFile(3, 2, 24));
  const std::vector<uint8_t> Indexed = MakeBmp(IndexedFile(3, 2));
  std::vector<uint8_t> BadMagic = Good;
  BadMagic[1] = 'A';
  std::vector<uint8_t> TruncatedPixels = Good;
  TruncatedPixels.resize(Good.size() - 4);  // last row 9 bytes + 3 padding: one pixel byte short
  std::vector<uint8_t> TruncatedHeader = Good;
  TruncatedHeader.resize(40);
  std::vector<uint8_t> TruncatedTable = Indexed;
  TruncatedTable.resize(54 + 8);

  const std::vector<std::pair<std::string, std::vector<uint8_t>>> Cases = {
      {"empty", {}},
      {"file header only", std::vector<uint8_t>(Good.begin(), Good.begin() + 14)},
      {"magic", BadMagic},
      {"header cut", TruncatedHeader},
      {"core header", With([](TBmpFile& F) { F.InfoSize = 12; })},
      {"header size 64", With([](TBmpFile& F) { F.InfoSize = 64; })},
      {"width 0", With([](TBmpFile& F) { F.Width = 0; })},
      {"negative width", Patched(Good, 18, static_cast<uint32_t>(-3))},
      {"height 0", With([](TBmpFile& F) { F.Height = 0; })},
      {"most negative height", Patched(Good, 22, 0x80000000u)},
      {"1 bit", With([](TBmpFile& F) { F.BitCount = 1; })},
      {"4 bit", With([](TBmpFile& F) { F.BitCount = 4; })},
      {"16 bit", With([](TBmpFile& F) { F.BitCount = 16; })},
      {"RLE8", Patched(Indexed, 30, 1)},
      {"RLE4", Patched(Indexed, 30, 2)},
      {"bit fields on 24 bit", With([](TBmpFile& F) { F.Compression = 3; })},
      {"bit fields on 8 bit", Patched(Indexed, 30, 3)},
      {"swapped masks", With(
                            [](TBmpFile& F) {
                              F.Compression = 3;
                              F.Masks[0] = 0xFF;
                              F.Masks[2] = 0xFF0000;
                            },
                            TrueColorFile(3, 2, 32))},
      {"JPEG inside", With([](TBmpFile& F) { F.Compression = 4; })},
      {"257 colours", With([](TBmpFile& F) { F.ColorsUsed = 257; }, IndexedFile(3, 2))},
      {"table cut", TruncatedTable},
      {"pixels cut", TruncatedPixels},
      {"pixels past the end", Patched(Good, 10, static_cast<uint32_t>(Good.size()))},
      {"pixels inside the header", Patched(Good, 10, 20)},
      {"absurd width", Patched(Good, 18, 0x40000000u)},
      {"absurd height", Patched(Good, 22, 0x7FFFFFFFu)},
      {"width above the cap", With([](TBmpFile& F) {
         F.Width = TBitmap::kMaxDimension + 1;
         F.Height = 1;
       })},
  };
  for (const auto& [Name, Bytes] : Cases) {
    TBitmap B = Load(MakeBmp(TrueColorFile(2, 2, 24)));
    try {
      B.LoadFromBuffer(Bytes);
      ADD_FAILURE() << Name << " was accepted";
    } catch (const EInvalidBitmap& E) {
      EXPECT_STREQ(E.what(), "Bitmap image is not valid") << Name;
    }
    // Handing the bytes over: refused bytes are given back as they were.
    std::vector<uint8_t> Handed = Bytes;
    EXPECT_THROW(B.LoadFromBuffer(std::move(Handed)), EInvalidBitmap) << Name;
    EXPECT_EQ(Handed, Bytes) << Name;
    ExpectGradient(B, 2, 2);
  }
}

TEST(BitmapSave, StandardLayoutAndRoundTrip) {
  TBitmap B = Load(MakeBmp(IndexedFile(3, 2)));
  const std::vector<uint8_t> Bytes = B.SaveToBuffer();
  // 54-byte header, 256 table entries, two rows of 3 indexes padded to 4.
  ASSERT_EQ(Bytes.size(), 54u + 1024u + 8u);
  EXPECT_EQ(Bytes[0], 'B');
  EXPECT_EQ(Bytes[10] | Bytes[11] << 8, 1078);
  EXPECT_EQ(Bytes[14], 40);
  EXPECT_EQ(Bytes[28], 8);
  EXPECT_EQ(std::vector<uint8_t>(Bytes.begin() + 54 + 8, Bytes.begin() + 54 + 12),
            (std::vector<uint8_t>{0xFF, 0x80, 0x40, 0x99}));
  // Bottom row first: row 1 holds indexes 1, 2, 0.
  EXPECT_EQ(std::vector<uint8_t>(Bytes.begin() + 1078, Bytes.begin() + 1081), (std::vector<uint8_t>{1, 2, 0}));
  const TBitmap Again = Load(Bytes);
  EXPECT_EQ(Again.ColorTable(), B.ColorTable());
  EXPECT_TRUE(std::ranges::equal(Again.PixelBytes(), B.PixelBytes()));

  for (uint16_t Bits : {24, 32}) {
    const TBitmap T = Load(MakeBmp(TrueColorFile(3, -5, Bits)));
    const TBitmap Reloaded = Load(T.SaveToBuffer());
    EXPECT_EQ(Reloaded.PixelFormat(), T.PixelFormat());
    ExpectGradient(Reloaded, 3, 5);
  }
}

TEST(BitmapSave, UnpaddedPictureEndsWithItsRowsBackwards) {
  // The import's level copy of a saved 4-pixel-wide picture: the last 12 bytes
  // are the top row (blue, green, red per pixel).
  const TBitmap B = Load(MakeBmp(TrueColorFile(4, 3, 24)));
  const std::vector<uint8_t> Bytes = B.SaveToBuffer();
  ASSERT_EQ(Bytes.size(), 54u + 36u);
  const uint8_t* Top = Bytes.data() + Bytes.size() - 12;
  for (int X = 0; X < 4; ++X) {
    EXPECT_EQ(Top[3 * X], B.ScanLine(0)[3 * X + 2]);
    EXPECT_EQ(Top[3 * X + 2], B.ScanLine(0)[3 * X]);
  }
}

TEST(BitmapStream, LoadsFromThePositionAndSavesAtIt) {
  const std::vector<uint8_t> File = MakeBmp(TrueColorFile(2, 2, 24));
  kst::TMemoryStream S;
  S.Write("xyz", 3);
  S.Write(File.data(), static_cast<int64_t>(File.size()));
  S.SetPosition(3);
  TBitmap B;
  B.LoadFromStream(S);
  ExpectGradient(B, 2, 2);
  EXPECT_EQ(S.Position(), S.Size());

  kst::TMemoryStream Out;
  B.SaveToStream(Out);
  ASSERT_EQ(Out.Size(), static_cast<int64_t>(B.SaveToBuffer().size()));
  Out.SetPosition(0);
  TBitmap Again;
  Again.LoadFromStream(Out);
  ExpectGradient(Again, 2, 2);

  kst::TMemoryStream Empty;
  EXPECT_THROW(Again.LoadFromStream(Empty), EInvalidBitmap);
}

TEST(BitmapSize, ResizingKeepsTheTopLeftPart) {
  for (uint16_t Bits : {8, 24}) {
    TBitmap B = Load(MakeBmp(Bits == 8 ? IndexedFile(5, 4) : TrueColorFile(5, 4, 24)));
    const TBitmap Original = B;
    B.SetWidth(3);
    B.SetHeight(2);
    ASSERT_EQ(B.RowSize(), 3 * B.BytesPerPixel());
    for (int32_t Y = 0; Y < 2; ++Y)
      for (int32_t X = 0; X < 3; ++X) EXPECT_EQ(B.Pixel(X, Y), Original.Pixel(X, Y));
    EXPECT_EQ(B.Pixel(3, 0), -1);
    TBitmap Cut = Original;  // both sides at once
    Cut.SetSize(2, 3);
    ASSERT_EQ(Cut.PixelBytes().size(), size_t(6 * Cut.BytesPerPixel()));
    for (int32_t Y = 0; Y < 3; ++Y)
      for (int32_t X = 0; X < 2; ++X) EXPECT_EQ(Cut.Pixel(X, Y), Original.Pixel(X, Y));
    B.SetSize(4, 3);
    EXPECT_EQ(B.Pixel(1, 1), Original.Pixel(1, 1));
    EXPECT_EQ(B.Pixel(3, 2), Bits == 8 ? 0x010203 : 0);  // new pixels: index 0 or black
    B.SetSize(0, 7);
    EXPECT_EQ(B.Width(), 0);
    EXPECT_TRUE(B.PixelBytes().empty());
    B.SetWidth(-5);
    EXPECT_EQ(B.Width(), 0);
    EXPECT_THROW(B.SetHeight(TBitmap::kMaxDimension + 1), std::length_error);
  }
}

TEST(BitmapPixels, OutsideReadsAllBitsAndOutsideWritesAreIgnored) {
  TBitmap B = Load(MakeBmp(TrueColorFile(2, 2, 24)));
  TCanvas& C = B.Canvas();
  for (auto [X, Y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {INT32_MIN, INT32_MAX}}) {
    EXPECT_EQ(C.Pixels(X, Y), -1);
    C.SetPixels(X, Y, 0x123456);
  }
  ExpectGradient(B, 2, 2);
  C.SetPixels(1, 0, 0x7F010203);  // the top byte is not stored
  EXPECT_EQ(C.Pixels(1, 0), 0x010203);
  EXPECT_THROW(B.ScanLine(2), std::out_of_range);
  EXPECT_EQ(TBitmap().Canvas().Pixels(0, 0), -1);
}

TEST(BitmapPixels, CopiesDrawOnTheirOwnPixels) {
  TBitmap A = Load(MakeBmp(TrueColorFile(2, 2, 24)));
  TBitmap B = A;
  B.Canvas().SetPixels(0, 0, 0x111111);
  TBitmap C = std::move(B);
  C.Canvas().SetPixels(1, 1, 0x222222);
  A = C;
  A.Canvas().SetPixels(1, 0, 0x333333);
  EXPECT_EQ(C.Pixel(0, 0), 0x111111);
  EXPECT_EQ(C.Pixel(1, 0), static_cast<TColor>(Gradient(1, 0)));
  EXPECT_EQ(A.Pixel(1, 1), 0x222222);
  EXPECT_EQ(A.Pixel(1, 0), 0x333333);
}

TColorTable TableOf(std::initializer_list<uint32_t> Colors) {
  TColorTable T{};
  size_t I = 0;
  for (uint32_t C : Colors) {
    T[I++] = TRGBQuad{static_cast<uint8_t>(C >> 16), static_cast<uint8_t>(C >> 8), static_cast<uint8_t>(C), 0};
  }
  return T;
}

TEST(BitmapPalette, WritingAColourStoresTheNearestEntry) {
  TBitmap B;
  B.SetPixelFormat(TPixelFormat::pf8bit);
  B.SetSize(1, 1);
  // Entries as 0xBBGGRR colours: 0 black (as all unused ones), 1 and 3 the same red.
  B.SetColorTable(TableOf({0x000000, 0x000064, 0x00C800, 0x000064, 0x505050}));
  const auto Stored = [&](TColor Color) {
    B.Canvas().SetPixels(0, 0, Color);
    return B.ScanLine(0)[0];
  };
  EXPECT_EQ(Stored(0x000064), 1);  // red 100 exactly: the lower of two equal entries
  EXPECT_EQ(Stored(0x000032), 0);  // red 50: black and red tie at 2500
  EXPECT_EQ(Stored(0x000033), 1);
  EXPECT_EQ(Stored(0x505050), 4);
  EXPECT_EQ(Stored(0x4B5155), 4);
  EXPECT_EQ(Stored(0x00FF00), 2);
  EXPECT_EQ(B.Pixel(0, 0), 0x00C800);
  // A new table takes effect at once, for reading and for writing.
  B.SetColorTable(TableOf({0x00FF00, 0xFFFFFF}));
  EXPECT_EQ(B.Pixel(0, 0), 0);
  EXPECT_EQ(Stored(0x00FF00), 0);
  EXPECT_EQ(Stored(0xF0F0F0), 1);
}

TEST(BitmapPalette, FastSearchAgreesWithTheFullScan) {
  std::mt19937 Random(4711);
  for (int Table = 0; Table < 40; ++Table) {
    TColorTable T{};
    // Few distinct values per part make many equal distances.
    const int Spread = Table % 2 == 0 ? 256 : 4;
    for (TRGBQuad& Q : T) {
      Q = TRGBQuad{static_cast<uint8_t>(Random() % Spread * (256 / Spread)),
                   static_cast<uint8_t>(Random() % Spread * (256 / Spread)),
                   static_cast<uint8_t>(Random() % Spread * (256 / Spread)), 0};
    }
    TNearestColor Nearest(T);
    for (int I = 0; I < 3000; ++I) {
      const auto R = static_cast<uint8_t>(Random()), G = static_cast<uint8_t>(Random()),
                 Bl = static_cast<uint8_t>(Random());
      ASSERT_EQ(Nearest.Find(R, G, Bl), NearestColorScan(T, R, G, Bl)) << Table << " " << I;
      ASSERT_EQ(Nearest.Find(R, G, Bl), NearestColorScan(T, R, G, Bl));  // cached
    }
  }
}

TEST(BitmapPalette, ConvertingBetweenIndexesAndColours) {
  TBitmap B = Load(MakeBmp(IndexedFile(4, 2)));
  const TBitmap Indexed = B;
  B.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(B.RowSize(), 12);
  for (int32_t X = 0; X < 4; ++X) EXPECT_EQ(B.Pixel(X, 1), Indexed.Pixel(X, 1));
  B.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(B.Pixel(2, 0), Indexed.Pixel(2, 0));
  B.SetPixelFormat(TPixelFormat::pf8bit);
  EXPECT_TRUE(std::ranges::equal(B.PixelBytes(), Indexed.PixelBytes()));
}

// Taking a stream over gives the same picture as loading its bytes, for every
// row order and depth and for pictures large enough to be cut down on the way;
// a file reaching more than kBmpTrailingBytes past its pixels is not valid,
// and the headers alone tell the largest size a valid file can have.
TEST(BitmapLoad, FromATakenStreamAsFromBytes) {
  const TBmpFile Files[] = {TrueColorFile(7, 5, 24),     TrueColorFile(7, -5, 24), TrueColorFile(6, 3, 32),
                            IndexedFile(9, -4),          IndexedFile(9, 4),        TrueColorFile(700, 600, 24),
                            TrueColorFile(700, -600, 24)};
  for (const TBmpFile& F : Files) {
    SCOPED_TRACE(std::to_string(F.Width) + " x " + std::to_string(F.Height) + " x " + std::to_string(F.BitCount));
    std::vector<uint8_t> Bytes = MakeBmp(F);
    const int64_t Limit = BmpSizeLimit(Bytes);
    EXPECT_EQ(Limit, int64_t(Bytes.size()) + kBmpTrailingBytes);
    Bytes.resize(size_t(Limit), 0);
    const TBitmap Expected = Load(Bytes);
    kst::TMemoryStream Stream;
    Stream.Write(Bytes.data(), int64_t(Bytes.size()));
    TBitmap Taken;
    Taken.LoadFromBuffer(std::move(Stream));
    EXPECT_EQ(Taken.Width(), Expected.Width());
    EXPECT_EQ(Taken.Height(), Expected.Height());
    EXPECT_TRUE(std::ranges::equal(Taken.PixelBytes(), Expected.PixelBytes()));
    EXPECT_EQ(Taken.ColorTable(), Expected.ColorTable());

    Bytes.push_back(0);
    EXPECT_THROW(Load(Bytes), EInvalidBitmap);
    kst::TMemoryStream Longer;
    Longer.Write(Bytes.data(), int64_t(Bytes.size()));
    EXPECT_THROW(Taken.LoadFromBuffer(std::move(Longer)), EInvalidBitmap);
  }
  TBmpFile Wide = TrueColorFile(3, 2, 24);
  Wide.Width = 16385;
  EXPECT_EQ(BmpSizeLimit(MakeBmp(Wide)), -1);
  EXPECT_EQ(BmpSizeLimit(std::vector<uint8_t>(200, 0)), -1);
}

}  // namespace
