// ContainerBuilder2: BMP writing and level layouts for the import tests.
#include "tests/support/ContainerBuilder2.h"

namespace skwtest {

namespace {

void Put(std::vector<uint8_t>& Out, size_t At, uint32_t Value, int Bytes) {
  for (int I = 0; I < Bytes; ++I) Out[At + static_cast<size_t>(I)] = static_cast<uint8_t>(Value >> (8 * I));
}

std::vector<uint8_t> Picture(int32_t Width, int32_t Height, uint16_t BitCount, const TPalette* Palette,
                             const TPixelFn& Pixel) {
  const size_t TableBytes = Palette != nullptr ? 1024 : 0;
  const size_t PixelBytes = BitCount / 8;
  const size_t Stride = (static_cast<size_t>(Width) * PixelBytes + 3) / 4 * 4;
  const size_t DataAt = 54 + TableBytes;
  std::vector<uint8_t> Out(DataAt + Stride * static_cast<size_t>(Height), 0);
  Out[0] = 'B';
  Out[1] = 'M';
  Put(Out, 2, static_cast<uint32_t>(Out.size()), 4);
  Put(Out, 10, static_cast<uint32_t>(DataAt), 4);
  Put(Out, 14, 40, 4);
  Put(Out, 18, static_cast<uint32_t>(Width), 4);
  Put(Out, 22, static_cast<uint32_t>(Height), 4);
  Put(Out, 26, 1, 2);
  Put(Out, 28, BitCount, 2);
  for (size_t Entry = 0; Palette != nullptr && Entry < 256; ++Entry) {
    Out[54 + 4 * Entry] = (*Palette)[4 * Entry + 2];
    Out[54 + 4 * Entry + 1] = (*Palette)[4 * Entry + 1];
    Out[54 + 4 * Entry + 2] = (*Palette)[4 * Entry];
    Out[54 + 4 * Entry + 3] = (*Palette)[4 * Entry + 3];
  }
  for (int32_t Y = 0; Y < Height; ++Y) {
    uint8_t* Row = Out.data() + DataAt + Stride * static_cast<size_t>(Height - 1 - Y);
    for (int32_t X = 0; X < Width; ++X) {
      const uint32_t V = Pixel(X, Y);
      uint8_t* P = Row + PixelBytes * static_cast<size_t>(X);
      if (PixelBytes == 1) {
        P[0] = static_cast<uint8_t>(V);
        continue;
      }
      P[0] = static_cast<uint8_t>(V >> 16);
      P[1] = static_cast<uint8_t>(V >> 8);
      P[2] = static_cast<uint8_t>(V);
      if (PixelBytes == 4) P[3] = 0x5A;
    }
  }
  return Out;
}

}  // namespace

std::vector<uint8_t> TrueColourPicture(int32_t Width, int32_t Height, const TPixelFn& Colour,
                                       uint16_t BitCount) {
  return Picture(Width, Height, BitCount, nullptr, Colour);
}

std::vector<uint8_t> PalettedPicture(int32_t Width, int32_t Height, const TPalette& Palette,
                                     const TPixelFn& Index) {
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
