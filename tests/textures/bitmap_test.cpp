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
  TBmpFile f;
  f.Width = Width;
  f.Height = Height;
  f.BitCount = BitCount;
  f.Pixel = Gradient;
  return f;
}

// 8-bit picture with a three-entry table; pixel index (x + y) mod 3.
TBmpFile IndexedFile(int32_t Width, int32_t Height) {
  TBmpFile f;
  f.Width = Width;
  f.Height = Height;
  f.BitCount = 8;
  f.ColorsUsed = 3;
  f.Table = {{1, 2, 3, 4}, {0x10, 0x20, 0x30, 0}, {0xFF, 0x80, 0x40, 0x99}};
  f.Pixel = [](int32_t x, int32_t y) { return static_cast<uint32_t>((x + y) % 3); };
  return f;
}

TBitmap Load(const std::vector<uint8_t>& Bytes) {
  TBitmap b;
  b.LoadFromBuffer(Bytes);
  return b;
}

void ExpectGradient(const TBitmap& B, int32_t Width, int32_t Height) {
  ASSERT_EQ(B.Width(), Width);
  ASSERT_EQ(B.Height(), Height);
  for (int32_t y = 0; y < Height; ++y) {
    for (int32_t x = 0; x < Width; ++x) {
      EXPECT_EQ(static_cast<uint32_t>(B.Pixel(x, y)), Gradient(x, y)) << x << "," << y;
    }
  }
}

TEST(BitmapLoad, TrueColourBottomUpAndTopDownWithPaddedRows) {
  for (int32_t height : {4, -4}) {
    // Width 3: 9 bytes per 24-bit row padded to 12.
    const TBitmap b = Load(MakeBmp(TrueColorFile(3, height, 24)));
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    ExpectGradient(b, 3, 4);
    // Logical rows are top row first, red, green, blue.
    const auto top = b.ScanLine(0);
    ASSERT_EQ(top.size(), 9u);
    EXPECT_EQ(top[0], 10);
    EXPECT_EQ(top[1], 5);
    EXPECT_EQ(top[2], 200);
    EXPECT_EQ(b.PixelBytes().size(), 36u);
  }
}

TEST(BitmapLoad, ThirtyTwoBitPlainAndBitFieldsWithEveryHeaderVersion) {
  for (uint32_t infoSize : {40u, 52u, 56u, 108u, 124u}) {
    for (uint32_t compression : {0u, 3u}) {
      TBmpFile f = TrueColorFile(5, -3, 32);
      f.InfoSize = infoSize;
      f.Compression = compression;
      const TBitmap b = Load(MakeBmp(f));
      EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf32bit);
      ExpectGradient(b, 5, 3);
      EXPECT_EQ(b.RowSize(), 15);
    }
  }
}

TEST(BitmapLoad, LaterHeadersAndAGapBeforeThePixels) {
  for (uint32_t infoSize : {108u, 124u}) {
    TBmpFile f = TrueColorFile(2, 2, 24);
    f.InfoSize = infoSize;
    f.Gap = 7;
    ExpectGradient(Load(MakeBmp(f)), 2, 2);
  }
}

TEST(BitmapLoad, EightBitShortTableIsPaddedWithBlack) {
  for (int32_t height : {2, -2}) {
    const TBitmap b = Load(MakeBmp(IndexedFile(5, height)));
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(b.ColorTable()[0], (TRGBQuad{1, 2, 3, 4}));
    EXPECT_EQ(b.ColorTable()[2], (TRGBQuad{0xFF, 0x80, 0x40, 0x99}));
    for (size_t i = 3; i < 256; ++i) EXPECT_EQ(b.ColorTable()[i], TRGBQuad{}) << i;
    EXPECT_EQ(b.Pixel(0, 0), 0x010203);
    EXPECT_EQ(b.Pixel(1, 0), 0x102030);
    EXPECT_EQ(b.Pixel(2, 0), 0xFF8040);
    EXPECT_EQ(b.Pixel(0, 1), 0x102030);
    // Width 5: rows padded to 8 bytes in the file, 5 index bytes per logical row.
    const std::vector<uint8_t> top(b.ScanLine(0).begin(), b.ScanLine(0).end());
    EXPECT_EQ(top, (std::vector<uint8_t>{0, 1, 2, 0, 1}));
  }
}

TEST(BitmapLoad, EightBitFullTableAndIndexesBeyondTheTable) {
  TBmpFile f = IndexedFile(2, 1);
  f.ColorsUsed = 0;  // means 256
  f.Table.assign(256, {9, 9, 9, 0});
  f.Table[255] = {7, 8, 9, 0};
  f.Pixel = [](int32_t x, int32_t) { return x == 0 ? 255u : 17u; };
  const TBitmap b = Load(MakeBmp(f));
  EXPECT_EQ(b.Pixel(0, 0), 0x070809);
  EXPECT_EQ(b.ScanLine(0)[1], 17);

  TBmpFile shortTable = IndexedFile(1, 1);
  shortTable.Pixel = [](int32_t, int32_t) { return 200u; };
  EXPECT_EQ(Load(MakeBmp(shortTable)).Pixel(0, 0), 0);
}

// Each case spoils one thing of a valid picture.
TEST(BitmapLoad, EveryMalformedFileIsRejectedAndKeepsTheOldPicture) {
  const auto with = [](auto Change, TBmpFile F = TrueColorFile(3, 2, 24)) {
    Change(F);
    return MakeBmp(F);
  };
  const auto patched = [](std::vector<uint8_t> Bytes, size_t At, uint32_t Value) {
    skwtest::PutLE(Bytes, At, Value, 4);
    return Bytes;
  };
  const std::vector<uint8_t> good = MakeBmp(TrueColorFile(3, 2, 24));
  const std::vector<uint8_t> indexed = MakeBmp(IndexedFile(3, 2));
  std::vector<uint8_t> badMagic = good;
  badMagic[1] = 'A';
  std::vector<uint8_t> truncatedPixels = good;
  truncatedPixels.resize(good.size() - 4);  // last row 9 bytes + 3 padding: one pixel byte short
  std::vector<uint8_t> truncatedHeader = good;
  truncatedHeader.resize(40);
  std::vector<uint8_t> truncatedTable = indexed;
  truncatedTable.resize(54 + 8);

  const std::vector<std::pair<std::string, std::vector<uint8_t>>> cases = {
      {"empty", {}},
      {"file header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)},
      {"magic", badMagic},
      {"header cut", truncatedHeader},
      {"core header", with([](TBmpFile& f) { f.InfoSize = 12; })},
      {"header size 64", with([](TBmpFile& f) { f.InfoSize = 64; })},
      {"width 0", with([](TBmpFile& f) { f.Width = 0; })},
      {"negative width", patched(good, 18, static_cast<uint32_t>(-3))},
      {"height 0", with([](TBmpFile& f) { f.Height = 0; })},
      {"most negative height", patched(good, 22, 0x80000000u)},
      {"1 bit", with([](TBmpFile& f) { f.BitCount = 1; })},
      {"4 bit", with([](TBmpFile& f) { f.BitCount = 4; })},
      {"16 bit", with([](TBmpFile& f) { f.BitCount = 16; })},
      {"RLE8", patched(indexed, 30, 1)},
      {"RLE4", patched(indexed, 30, 2)},
      {"bit fields on 24 bit", with([](TBmpFile& f) { f.Compression = 3; })},
      {"bit fields on 8 bit", patched(indexed, 30, 3)},
      {"swapped masks", with(
                            [](TBmpFile& f) {
                              f.Compression = 3;
                              f.Masks[0] = 0xFF;
                              f.Masks[2] = 0xFF0000;
                            },
                            TrueColorFile(3, 2, 32))},
      {"JPEG inside", with([](TBmpFile& f) { f.Compression = 4; })},
      {"257 colours", with([](TBmpFile& f) { f.ColorsUsed = 257; }, IndexedFile(3, 2))},
      {"table cut", truncatedTable},
      {"pixels cut", truncatedPixels},
      {"pixels past the end", patched(good, 10, static_cast<uint32_t>(good.size()))},
      {"pixels inside the header", patched(good, 10, 20)},
      {"absurd width", patched(good, 18, 0x40000000u)},
      {"absurd height", patched(good, 22, 0x7FFFFFFFu)},
      {"width above the cap", with([](TBmpFile& f) {
         f.Width = TBitmap::kMaxDimension + 1;
         f.Height = 1;
       })},
  };
  for (const auto& [name, bytes] : cases) {
    TBitmap b = Load(MakeBmp(TrueColorFile(2, 2, 24)));
    try {
      b.LoadFromBuffer(bytes);
      ADD_FAILURE() << name << " was accepted";
    } catch (const EInvalidBitmap& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid") << name;
    }
    // Handing the bytes over: refused bytes are given back as they were.
    std::vector<uint8_t> handed = bytes;
    EXPECT_THROW(b.LoadFromBuffer(std::move(handed)), EInvalidBitmap) << name;
    EXPECT_EQ(handed, bytes) << name;
    ExpectGradient(b, 2, 2);
  }
}

TEST(BitmapSave, StandardLayoutAndRoundTrip) {
  TBitmap b = Load(MakeBmp(IndexedFile(3, 2)));
  const std::vector<uint8_t> bytes = b.SaveToBuffer();
  // 54-byte header, 256 table entries, two rows of 3 indexes padded to 4.
  ASSERT_EQ(bytes.size(), 54u + 1024u + 8u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[10] | bytes[11] << 8, 1078);
  EXPECT_EQ(bytes[14], 40);
  EXPECT_EQ(bytes[28], 8);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 54 + 8, bytes.begin() + 54 + 12),
            (std::vector<uint8_t>{0xFF, 0x80, 0x40, 0x99}));
  // Bottom row first: row 1 holds indexes 1, 2, 0.
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 1078, bytes.begin() + 1081), (std::vector<uint8_t>{1, 2, 0}));
  const TBitmap again = Load(bytes);
  EXPECT_EQ(again.ColorTable(), b.ColorTable());
  EXPECT_TRUE(std::ranges::equal(again.PixelBytes(), b.PixelBytes()));

  for (uint16_t bits : {24, 32}) {
    const TBitmap t = Load(MakeBmp(TrueColorFile(3, -5, bits)));
    const TBitmap reloaded = Load(t.SaveToBuffer());
    EXPECT_EQ(reloaded.PixelFormat(), t.PixelFormat());
    ExpectGradient(reloaded, 3, 5);
  }
}

TEST(BitmapSave, UnpaddedPictureEndsWithItsRowsBackwards) {
  // The import's level copy of a saved 4-pixel-wide picture: the last 12 bytes
  // are the top row (blue, green, red per pixel).
  const TBitmap b = Load(MakeBmp(TrueColorFile(4, 3, 24)));
  const std::vector<uint8_t> bytes = b.SaveToBuffer();
  ASSERT_EQ(bytes.size(), 54u + 36u);
  const uint8_t* top = bytes.data() + bytes.size() - 12;
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(top[3 * x], b.ScanLine(0)[3 * x + 2]);
    EXPECT_EQ(top[3 * x + 2], b.ScanLine(0)[3 * x]);
  }
}

TEST(BitmapStream, LoadsFromThePositionAndSavesAtIt) {
  const std::vector<uint8_t> file = MakeBmp(TrueColorFile(2, 2, 24));
  kst::TMemoryStream s;
  s.Write("xyz", 3);
  s.Write(file.data(), static_cast<int64_t>(file.size()));
  s.SetPosition(3);
  TBitmap b;
  b.LoadFromStream(s);
  ExpectGradient(b, 2, 2);
  EXPECT_EQ(s.Position(), s.Size());

  kst::TMemoryStream out;
  b.SaveToStream(out);
  ASSERT_EQ(out.Size(), static_cast<int64_t>(b.SaveToBuffer().size()));
  out.SetPosition(0);
  TBitmap again;
  again.LoadFromStream(out);
  ExpectGradient(again, 2, 2);

  kst::TMemoryStream empty;
  EXPECT_THROW(again.LoadFromStream(empty), EInvalidBitmap);
}

TEST(BitmapSize, ResizingKeepsTheTopLeftPart) {
  for (uint16_t bits : {8, 24}) {
    TBitmap b = Load(MakeBmp(bits == 8 ? IndexedFile(5, 4) : TrueColorFile(5, 4, 24)));
    const TBitmap original = b;
    b.SetWidth(3);
    b.SetHeight(2);
    ASSERT_EQ(b.RowSize(), 3 * b.BytesPerPixel());
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), original.Pixel(x, y));
    EXPECT_EQ(b.Pixel(3, 0), -1);
    TBitmap cut = original;  // both sides at once
    cut.SetSize(2, 3);
    ASSERT_EQ(cut.PixelBytes().size(), size_t(6 * cut.BytesPerPixel()));
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(cut.Pixel(x, y), original.Pixel(x, y));
    b.SetSize(4, 3);
    EXPECT_EQ(b.Pixel(1, 1), original.Pixel(1, 1));
    EXPECT_EQ(b.Pixel(3, 2), bits == 8 ? 0x010203 : 0);  // new pixels: index 0 or black
    b.SetSize(0, 7);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_TRUE(b.PixelBytes().empty());
    b.SetWidth(-5);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_THROW(b.SetHeight(TBitmap::kMaxDimension + 1), std::length_error);
  }
}

TEST(BitmapPixels, OutsideReadsAllBitsAndOutsideWritesAreIgnored) {
  TBitmap b = Load(MakeBmp(TrueColorFile(2, 2, 24)));
  TCanvas& c = b.Canvas();
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {INT32_MIN, INT32_MAX}}) {
    EXPECT_EQ(c.Pixels(x, y), -1);
    c.SetPixels(x, y, 0x123456);
  }
  ExpectGradient(b, 2, 2);
  c.SetPixels(1, 0, 0x7F010203);  // the top byte is not stored
  EXPECT_EQ(c.Pixels(1, 0), 0x010203);
  EXPECT_THROW(b.ScanLine(2), std::out_of_range);
  EXPECT_EQ(TBitmap().Canvas().Pixels(0, 0), -1);
}

TEST(BitmapPixels, CopiesDrawOnTheirOwnPixels) {
  TBitmap a = Load(MakeBmp(TrueColorFile(2, 2, 24)));
  TBitmap b = a;
  b.Canvas().SetPixels(0, 0, 0x111111);
  TBitmap c = std::move(b);
  c.Canvas().SetPixels(1, 1, 0x222222);
  a = c;
  a.Canvas().SetPixels(1, 0, 0x333333);
  EXPECT_EQ(c.Pixel(0, 0), 0x111111);
  EXPECT_EQ(c.Pixel(1, 0), static_cast<TColor>(Gradient(1, 0)));
  EXPECT_EQ(a.Pixel(1, 1), 0x222222);
  EXPECT_EQ(a.Pixel(1, 0), 0x333333);
}

TColorTable TableOf(std::initializer_list<uint32_t> Colors) {
  TColorTable t{};
  size_t i = 0;
  for (uint32_t c : Colors) {
    t[i++] = TRGBQuad{static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c), 0};
  }
  return t;
}

TEST(BitmapPalette, WritingAColourStoresTheNearestEntry) {
  TBitmap b;
  b.SetPixelFormat(TPixelFormat::pf8bit);
  b.SetSize(1, 1);
  // Entries as 0xBBGGRR colours: 0 black (as all unused ones), 1 and 3 the same red.
  b.SetColorTable(TableOf({0x000000, 0x000064, 0x00C800, 0x000064, 0x505050}));
  const auto stored = [&](TColor Color) {
    b.Canvas().SetPixels(0, 0, Color);
    return b.ScanLine(0)[0];
  };
  EXPECT_EQ(stored(0x000064), 1);  // red 100 exactly: the lower of two equal entries
  EXPECT_EQ(stored(0x000032), 0);  // red 50: black and red tie at 2500
  EXPECT_EQ(stored(0x000033), 1);
  EXPECT_EQ(stored(0x505050), 4);
  EXPECT_EQ(stored(0x4B5155), 4);
  EXPECT_EQ(stored(0x00FF00), 2);
  EXPECT_EQ(b.Pixel(0, 0), 0x00C800);
  // A new table takes effect at once, for reading and for writing.
  b.SetColorTable(TableOf({0x00FF00, 0xFFFFFF}));
  EXPECT_EQ(b.Pixel(0, 0), 0);
  EXPECT_EQ(stored(0x00FF00), 0);
  EXPECT_EQ(stored(0xF0F0F0), 1);
}

TEST(BitmapPalette, FastSearchAgreesWithTheFullScan) {
  std::mt19937 random(4711);
  for (int table = 0; table < 40; ++table) {
    TColorTable t{};
    // Few distinct values per part make many equal distances.
    const int spread = table % 2 == 0 ? 256 : 4;
    for (TRGBQuad& q : t) {
      q = TRGBQuad{static_cast<uint8_t>(random() % spread * (256 / spread)),
                   static_cast<uint8_t>(random() % spread * (256 / spread)),
                   static_cast<uint8_t>(random() % spread * (256 / spread)), 0};
    }
    TNearestColor nearest(t);
    for (int i = 0; i < 3000; ++i) {
      const auto r = static_cast<uint8_t>(random()), g = static_cast<uint8_t>(random()),
                 bl = static_cast<uint8_t>(random());
      ASSERT_EQ(nearest.Find(r, g, bl), NearestColorScan(t, r, g, bl)) << table << " " << i;
      ASSERT_EQ(nearest.Find(r, g, bl), NearestColorScan(t, r, g, bl));  // cached
    }
  }
}

TEST(BitmapPalette, ConvertingBetweenIndexesAndColours) {
  TBitmap b = Load(MakeBmp(IndexedFile(4, 2)));
  const TBitmap indexed = b;
  b.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(b.RowSize(), 12);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(b.Pixel(x, 1), indexed.Pixel(x, 1));
  b.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(b.Pixel(2, 0), indexed.Pixel(2, 0));
  b.SetPixelFormat(TPixelFormat::pf8bit);
  EXPECT_TRUE(std::ranges::equal(b.PixelBytes(), indexed.PixelBytes()));
}

// Taking a stream over gives the same picture as loading its bytes, for every
// row order and depth and for pictures large enough to be cut down on the way;
// a file reaching more than kBmpTrailingBytes past its pixels is not valid,
// and the headers alone tell the largest size a valid file can have.
TEST(BitmapLoad, FromATakenStreamAsFromBytes) {
  const TBmpFile files[] = {TrueColorFile(7, 5, 24),     TrueColorFile(7, -5, 24), TrueColorFile(6, 3, 32),
                            IndexedFile(9, -4),          IndexedFile(9, 4),        TrueColorFile(700, 600, 24),
                            TrueColorFile(700, -600, 24)};
  for (const TBmpFile& f : files) {
    SCOPED_TRACE(std::to_string(f.Width) + " x " + std::to_string(f.Height) + " x " + std::to_string(f.BitCount));
    std::vector<uint8_t> bytes = MakeBmp(f);
    const int64_t limit = BmpSizeLimit(bytes);
    EXPECT_EQ(limit, int64_t(bytes.size()) + kBmpTrailingBytes);
    bytes.resize(size_t(limit), 0);
    const TBitmap expected = Load(bytes);
    kst::TMemoryStream stream;
    stream.Write(bytes.data(), int64_t(bytes.size()));
    TBitmap taken;
    taken.LoadFromBuffer(std::move(stream));
    EXPECT_EQ(taken.Width(), expected.Width());
    EXPECT_EQ(taken.Height(), expected.Height());
    EXPECT_TRUE(std::ranges::equal(taken.PixelBytes(), expected.PixelBytes()));
    EXPECT_EQ(taken.ColorTable(), expected.ColorTable());

    bytes.push_back(0);
    EXPECT_THROW(Load(bytes), EInvalidBitmap);
    kst::TMemoryStream longer;
    longer.Write(bytes.data(), int64_t(bytes.size()));
    EXPECT_THROW(taken.LoadFromBuffer(std::move(longer)), EInvalidBitmap);
  }
  TBmpFile wide = TrueColorFile(3, 2, 24);
  wide.Width = 16385;
  EXPECT_EQ(BmpSizeLimit(MakeBmp(wide)), -1);
  EXPECT_EQ(BmpSizeLimit(std::vector<uint8_t>(200, 0)), -1);
}

}  // namespace
