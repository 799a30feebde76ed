// BmpWriter: the test kit's BMP writer. It writes BMP files byte by byte,
// independently of TBitmap's writer: any header size, depth, compression and
// masks, colour tables of any length, bottom-up or top-down rows, a gap before
// the pixels, and chosen bytes for the fourth byte of 32-bit pixels (which
// readers must ignore) and for row padding (by default markers that show when a
// reader takes them for pixels).
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace skwtest {

struct TBmpFile {
  uint32_t InfoSize = 40;
  int32_t Width = 1;
  int32_t Height = 1;  // negative: rows stored top-down
  uint16_t BitCount = 24;
  uint32_t Compression = 0;
  uint32_t ColorsUsed = 0;
  // Entries written as blue, green, red, fourth byte (for 8-bit pictures).
  std::vector<std::vector<uint8_t>> Table;
  // Written at byte 54 when the compression is bit fields (after a 40-byte
  // header, or inside a longer one).
  uint32_t Masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  uint32_t Gap = 0;  // bytes between the colour table and the pixel array
  // Logical pixel (x, y), top row 0: an index for 8-bit pictures, red in the
  // lowest byte, then green, then blue otherwise.
  std::function<uint32_t(int32_t, int32_t)> Pixel = [](int32_t, int32_t) { return 0u; };
  uint8_t FourthByte = 0xAB;  // of every 32-bit pixel
  uint8_t PadByte = 0xEE;     // of every row's padding
};

inline void PutLE(std::vector<uint8_t>& Out, size_t At, uint32_t Value, int Bytes) {
  for (int I = 0; I < Bytes; ++I) Out[At + static_cast<size_t>(I)] = static_cast<uint8_t>(Value >> (8 * I));
}

inline std::vector<uint8_t> MakeBmp(const TBmpFile& F) {
  const bool BitfieldsAfterHeader = F.Compression == 3 && F.InfoSize == 40;
  const size_t TableAt = 14 + F.InfoSize + (BitfieldsAfterHeader ? 12 : 0);
  const size_t PixelsAt = TableAt + 4 * F.Table.size() + F.Gap;
  const int32_t Rows = F.Height < 0 ? -F.Height : F.Height;
  const size_t Bpp = F.BitCount / 8;
  const size_t Stride = (static_cast<size_t>(F.Width) * F.BitCount + 31) / 32 * 4;
  std::vector<uint8_t> Out(PixelsAt + Stride * static_cast<size_t>(Rows), 0);
  Out[0] = 'B';
  Out[1] = 'M';
  PutLE(Out, 2, static_cast<uint32_t>(Out.size()), 4);
  PutLE(Out, 10, static_cast<uint32_t>(PixelsAt), 4);
  PutLE(Out, 14, F.InfoSize, 4);
  PutLE(Out, 18, static_cast<uint32_t>(F.Width), 4);
  PutLE(Out, 22, static_cast<uint32_t>(F.Height), 4);
  PutLE(Out, 26, 1, 2);
  PutLE(Out, 28, F.BitCount, 2);
  PutLE(Out, 30, F.Compression, 4);
  PutLE(Out, 46, F.ColorsUsed, 4);
  if (F.Compression == 3) {
    for (int I = 0; I < 3; ++I) PutLE(Out, 54 + 4 * static_cast<size_t>(I), F.Masks[I], 4);
  }
  for (size_t I = 0; I < F.Table.size(); ++I) {
    for (size_t B = 0; B < 4; ++B) Out[TableAt + 4 * I + B] = F.Table[I][B];
  }
  // Other depths get zero pixels of the right amount.
  const bool WritePixels = Bpp == 1 || Bpp == 3 || Bpp == 4;
  for (int32_t R = 0; R < Rows && WritePixels; ++R) {
    const int32_t Y = F.Height < 0 ? R : Rows - 1 - R;
    uint8_t* Row = Out.data() + PixelsAt + Stride * static_cast<size_t>(R);
    for (int32_t X = 0; X < F.Width; ++X) {
      const uint32_t V = F.Pixel(X, Y);
      uint8_t* P = Row + Bpp * static_cast<size_t>(X);
      if (Bpp == 1) {
        P[0] = static_cast<uint8_t>(V);
        continue;
      }
      P[0] = static_cast<uint8_t>(V >> 16);
      P[1] = static_cast<uint8_t>(V >> 8);
      P[2] = static_cast<uint8_t>(V);
      if (Bpp == 4) P[3] = F.FourthByte;
    }
    for (size_t Pad = static_cast<size_t>(F.Width) * Bpp; Pad < Stride; ++Pad) Row[Pad] = F.PadByte;
  }
  return Out;
}

}  // namespace skwtest
