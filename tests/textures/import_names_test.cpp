// The BMP import's name handling and picture checks on their own: cutting an
// entry name (mark, kind token, sizes, skip and end verdicts, conversion
// errors), the fixed listing order, the mip count of a height and the checks
// a loaded picture must pass.
#include <gtest/gtest.h>

#include "tests/support/ContainerBuilder2.h"
#include "textures/TextureImport.h"

namespace {

using skw::TNameVerdict;
using skw::TPictureName;

TPictureName Cut(const std::string& Name) {
  TPictureName Picture;
  EXPECT_EQ(skw::CutPictureName(Name, Picture), TNameVerdict::nvPicture) << Name;
  return Picture;
}

std::string ConversionError(const std::string& Name) {
  TPictureName Picture;
  try {
    skw::CutPictureName(Name, Picture);
  } catch (const skw::EConvertError& Error) {
    return Error.what();
  }
  return "no error";
}

TEST(ImportNames, CutsNameKindAndSize) {
  const TPictureName Rotor = Cut("ROTOR-PAL-64x64.bmp");
  EXPECT_EQ(Rotor.TextureName, "ROTOR");
  EXPECT_EQ(Rotor.Kind, skw::kPalettisedKind);
  EXPECT_EQ(Rotor.Width, 64);
  EXPECT_EQ(Rotor.Height, 64);

  const TPictureName Marked = Cut("ROTOR-D-BIN-128x32.bmp");
  EXPECT_EQ(Marked.TextureName, "ROTOR-D");
  EXPECT_EQ(Marked.Kind, skw::kTrueColourKind);
  EXPECT_EQ(Marked.Width, 128);
  EXPECT_EQ(Marked.Height, 32);

  // Spaces belong to the name; only the first "-" and a following "D" count.
  EXPECT_EQ(Cut("5 ROUND ROCKET POD-BIN-8x8.bmp").TextureName, "5 ROUND ROCKET POD");
  EXPECT_EQ(Cut("lower-PAL-8x4.bmp").TextureName, "lower");
}

TEST(ImportNames, SkipsAndEnds) {
  TPictureName Picture;
  EXPECT_EQ(skw::CutPictureName("logo.bmp", Picture), TNameVerdict::nvSkip);
  EXPECT_EQ(skw::CutPictureName("ROTOR-PAL-64x64.BMP", Picture), TNameVerdict::nvSkip);
  EXPECT_EQ(skw::CutPictureName("ROTOR-PAL-64x64.txt", Picture), TNameVerdict::nvSkip);
  EXPECT_EQ(skw::CutPictureName("noextension", Picture), TNameVerdict::nvSkip);
  EXPECT_EQ(skw::CutPictureName("B-XYZ-8x8.bmp", Picture), TNameVerdict::nvEndImport);
  EXPECT_EQ(skw::CutPictureName("B-pal-8x8.bmp", Picture), TNameVerdict::nvEndImport);
  // Without "-" the token is the name's first three characters.
  EXPECT_EQ(skw::CutPictureName("readme.bmp", Picture), TNameVerdict::nvEndImport);
  // "LOGO.bmp" is not the logo: cut like any other name.
  EXPECT_EQ(skw::CutPictureName("LOGO.bmp", Picture), TNameVerdict::nvEndImport);
  // The end verdict comes before any size is converted.
  EXPECT_EQ(skw::CutPictureName("B-XYZ-8X8.bmp", Picture), TNameVerdict::nvEndImport);
}

TEST(ImportNames, SizeTextsThatAreNotNumbersRaise) {
  // Only a lower-case x separates the sizes: without one the width text is empty.
  EXPECT_EQ(ConversionError("ROTOR-PAL-64X64.bmp"), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError("ROTOR-PAL-6ax64.bmp"), "'6a' is not a valid integer value");
  EXPECT_EQ(ConversionError("ROTOR-PAL-64x.bmp"), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError("ROTOR-PAL-64x64x.bmp"), "'64x64' is not a valid integer value");
  EXPECT_EQ(ConversionError("ROTOR-PAL-64x99999999999.bmp"), "'99999999999' is not a valid integer value");
}

TEST(ImportNames, StrToIntTakesSignedDecimalsOnly) {
  EXPECT_EQ(skw::StrToInt("64"), 64);
  EXPECT_EQ(skw::StrToInt("-5"), -5);
  EXPECT_EQ(skw::StrToInt("+7"), 7);
  EXPECT_EQ(skw::StrToInt("2147483647"), 2147483647);
  for (const char* Bad : {"", "+", "-", "+-1", " 1", "1 ", "0x10", "2147483648"})
    EXPECT_THROW(skw::StrToInt(Bad), skw::EConvertError) << Bad;
}

TEST(ImportNames, SortFoldsOnlyLettersAndIsStable) {
  kst::TStringList Names = {"b-PAL-8x8.bmp", "AB", "A_x", "ab", "Ab", "C", "a"};
  skw::SortPictureNames(Names);
  // "_" (0x5F) sorts before the folded letters; AB, ab and Ab keep their order.
  EXPECT_EQ(Names, (kst::TStringList{"a", "A_x", "AB", "ab", "Ab", "b-PAL-8x8.bmp", "C"}));
}

TEST(ImportNames, MipCountFollowsTheHeight) {
  EXPECT_EQ(skw::NewMipCount(64), 4);
  EXPECT_EQ(skw::NewMipCount(128), 5);
  EXPECT_EQ(skw::NewMipCount(3), 0);
  EXPECT_EQ(skw::NewMipCount(2), -1);
  EXPECT_EQ(skw::NewMipCount(1), -1);
  EXPECT_EQ(skw::LevelChainSize(64, 64, 1), 5456);
  EXPECT_EQ(skw::LevelChainSize(64, 64, 3), 16368);
  EXPECT_EQ(skw::LevelChainSize(1, 64, 3), 3 * 64);  // levels of width 0 are empty
  EXPECT_EQ(skw::LevelChainSize(8, 2, 3), 0);
}

skw::TBitmap Loaded(const std::vector<uint8_t>& Bytes) {
  skw::TBitmap Bitmap;
  Bitmap.LoadFromBuffer(Bytes);
  return Bitmap;
}

TEST(ImportNames, PictureChecks) {
  const auto Black = [](int32_t, int32_t) { return 0u; };
  const skw::TBitmap True64 = Loaded(skwtest::TrueColourPicture(64, 64, Black));
  const skw::TBitmap True64x32 = Loaded(skwtest::TrueColourPicture(64, 32, Black));
  const skw::TBitmap Index64 = Loaded(skwtest::PalettedPicture(64, 64, skwtest::MakePalette(1), Black));
  const skw::TPictureName Bin{"T", skw::kTrueColourKind, 64, 64};
  const skw::TPictureName Pal{"T", skw::kPalettisedKind, 64, 64};

  EXPECT_TRUE(skw::PictureFits(True64, Bin, true, 64, 64));
  EXPECT_TRUE(skw::PictureFits(True64, Bin, true, 32, 32));    // another size, same ratio
  EXPECT_TRUE(skw::PictureFits(True64, Bin, true, 33, 32));    // whole-number ratios agree
  EXPECT_FALSE(skw::PictureFits(True64, Pal, true, 64, 64));   // kind token says palettised
  EXPECT_FALSE(skw::PictureFits(True64, Pal, false, 64, 64));  // true colour into palettes
  EXPECT_TRUE(skw::PictureFits(Index64, Pal, false, 64, 64));
  // Sizes must be those of the name, and the ratio that of the texture.
  EXPECT_FALSE(skw::PictureFits(True64, skw::TPictureName{"T", 1, 64, 32}, true, 64, 64));
  EXPECT_TRUE(skw::PictureFits(True64x32, skw::TPictureName{"T", 1, 64, 32}, true, 128, 64));
  // Degenerate texture sizes refuse the picture instead of trapping.
  EXPECT_FALSE(skw::PictureFits(True64, Bin, true, 64, 0));
  EXPECT_FALSE(skw::PictureFits(True64, Bin, true, INT32_MIN, -1));
}

}  // namespace
