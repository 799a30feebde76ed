// The mip level chain of a picture. Each level is the picture's rows, top row
// first, as the bitmap holds them (red, green, blue per pixel, or one colour
// table index); then the picture is halved in place on its own canvas, with
// the block-averaging resampler reading from column and row 1 on and writing
// from 0, and cut to half its width and height, dropping the extra column and
// row the resampler also computes (TPictureHalver gives that result directly,
// see TextureImportHalve.cpp). Halving an 8-bit picture keeps its colour
// table, so every level indexes the same palette. The last level is not
// halved again: nothing would read the result.
#include <algorithm>
#include <stdexcept>

#include "textures/TextureImport.h"

namespace skw {

int64_t LevelChainSize(int32_t Width, int32_t Height, int32_t BytesPerPixel) {
  int64_t Size = 0;
  for (int64_t W = Width, H = Height; H > 2; W /= 2, H /= 2) Size += W * H * BytesPerPixel;
  return Size;
}

void MakeLevels(TBitmap& Bitmap, uint8_t* Out) {
  TPictureHalver Halver;
  MakeLevels(Bitmap, Out, Halver);
}

void MakeLevels(TBitmap& Bitmap, uint8_t* Out, TPictureHalver& Halver) {
  while (Bitmap.Height() > 2) {
    const int32_t H = Bitmap.Height();
    const std::span<const uint8_t> Level = Bitmap.PixelBytes();
    Out = std::copy(Level.begin(), Level.end(), Out);
    if (H / 2 <= 2) break;
    Halver.Halve(Bitmap);
  }
}

}  // namespace skw
