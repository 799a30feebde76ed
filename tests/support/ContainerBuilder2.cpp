// ContainerBuilder2: BMP writing and level layouts for the import tests.
#include "tests/support/ContainerBuilder2.h"

#include "tests/kit/BmpWriter.h"

namespace skwtest {

namespace {

// Bottom-up rows padded with zeros, a fourth byte of 0x5A in 32-bit pixels and,
// with a palette, its 256 entries as the colour table.
std::vector<uint8_t> Picture(int32_t Width, int32_t Height, uint16_t BitCount, const TPalette* Palette,
                             const TPixelFn& Pixel) {
  TBmpFile File;
  File.Width = Width;
  File.Height = Height;
  File.BitCount = BitCount;
  for (size_t Entry = 0; Palette != nullptr && Entry < 256; ++Entry)
    File.Table.push_back(
        {(*Palette)[4 * Entry + 2], (*Palette)[4 * Entry + 1], (*Palette)[4 * Entry], (*Palette)[4 * Entry + 3]});
  File.Pixel = Pixel;
  File.FourthByte = 0x5A;
  File.PadByte = 0;
  return MakeBmp(File);
}

}  // namespace

std::vector<uint8_t> TrueColourPicture(int32_t Width, int32_t Height, const TPixelFn& Colour, uint16_t BitCount) {
  return Picture(Width, Height, BitCount, nullptr, Colour);
}

std::vector<uint8_t> PalettedPicture(int32_t Width, int32_t Height, const TPalette& Palette, const TPixelFn& Index) {
  return Picture(Width, Height, 8, &Palette, Index);
}

std::vector<uint8_t> TrueColourLevel(int32_t Width, int32_t Height, const TPixelFn& Colour) {
  std::vector<uint8_t> Out;
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X) {
      const uint32_t V = Colour(X, Y);
      Out.insert(Out.end(), {static_cast<uint8_t>(V), static_cast<uint8_t>(V >> 8), static_cast<uint8_t>(V >> 16)});
    }
  return Out;
}

std::vector<uint8_t> IndexLevel(int32_t Width, int32_t Height, const TPixelFn& Index) {
  std::vector<uint8_t> Out;
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X) Out.push_back(static_cast<uint8_t>(Index(X, Y)));
  return Out;
}

std::vector<uint8_t> UniformLevels(int32_t Width, int32_t Height, const std::vector<uint8_t>& Pixel) {
  std::vector<uint8_t> Out;
  for (int64_t W = Width, H = Height; H > 2; W /= 2, H /= 2)
    for (int64_t I = 0; I < W * H; ++I) Out.insert(Out.end(), Pixel.begin(), Pixel.end());
  return Out;
}

int32_t ChainMipCount(int32_t Height) {
  int32_t Levels = 0;
  for (int32_t H = Height; H > 2; H /= 2) ++Levels;
  return Levels - 1;
}

}  // namespace skwtest
