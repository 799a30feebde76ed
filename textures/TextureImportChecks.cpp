// The checks a picture passes before it replaces a texture, and the mip count
// its height gives. The checks run in a fixed order and the first failure
// rejects the picture; all of them lead to the same message box, while the
// import's observer is told which check failed and with which values. The
// ratio test divides in 64 bits, so no texture size in the index (0 or the
// most negative value) can trap.
#include "textures/TextureImport.h"

namespace skw {

int32_t NewMipCount(int32_t Height) {
  int32_t MipCount = -1;
  for (int32_t Side = Height; Side > 2; Side /= 2) ++MipCount;
  return MipCount;
}

namespace {

std::string DepthWords(const TBitmap& Bitmap) {
  switch (Bitmap.PixelFormat()) {
    case TPixelFormat::pf8bit: return "8-bit";
    case TPixelFormat::pf24bit: return "24-bit";
    case TPixelFormat::pf32bit: return "32-bit";
  }
  return "?";
}

std::string SizeWords(int64_t Width, int64_t Height) { return std::to_string(Width) + "x" + std::to_string(Height); }

}  // namespace

std::string PictureMisfit(const TBitmap& Bitmap, const TPictureName& Name, bool BinContainer, int32_t TextureWidth,
                          int32_t TextureHeight) {
  const bool EightBit = Bitmap.PixelFormat() == TPixelFormat::pf8bit;
  const int32_t Kind = EightBit ? kPalettisedKind : Name.Kind;
  const auto Depth = [&] {
    return "the picture is " + DepthWords(Bitmap) + " and named " + (Name.Kind == kTrueColourKind ? "BIN" : "PAL");
  };
  if (Kind != (BinContainer ? kTrueColourKind : kPalettisedKind))
    return Depth() + (BinContainer ? ", the true-colour container takes 24- or 32-bit pictures named BIN"
                                   : ", the palettised container takes 8-bit pictures named PAL");
  // The palettised container stores colour-table indexes: only 8-bit pictures have them.
  if (!BinContainer && !EightBit) return Depth() + ", the palettised container takes 8-bit pictures only";
  if (Bitmap.Width() != Name.Width || Bitmap.Height() != Name.Height)
    return "the picture is " + SizeWords(Bitmap.Width(), Bitmap.Height()) + " but its name says " +
           SizeWords(Name.Width, Name.Height);
  if (Bitmap.Height() == 0 || TextureHeight == 0)
    return "height 0 (picture " + SizeWords(Bitmap.Width(), Bitmap.Height()) + ", texture " +
           SizeWords(TextureWidth, TextureHeight) + ") has no width-to-height ratio";
  const int64_t Ratio = int64_t{Bitmap.Width()} / Bitmap.Height();
  const int64_t TextureRatio = int64_t{TextureWidth} / TextureHeight;
  if (Ratio != TextureRatio)
    return "width divided by height is " + std::to_string(Ratio) + " for the picture (" +
           SizeWords(Bitmap.Width(), Bitmap.Height()) + ") but " + std::to_string(TextureRatio) + " for the texture (" +
           SizeWords(TextureWidth, TextureHeight) + ")";
  return {};
}

bool PictureFits(const TBitmap& Bitmap, const TPictureName& Name, bool BinContainer, int32_t TextureWidth,
                 int32_t TextureHeight) {
  return PictureMisfit(Bitmap, Name, BinContainer, TextureWidth, TextureHeight).empty();
}

}  // namespace skw
