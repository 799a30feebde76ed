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
  for (int i = 0; i < Bytes; ++i) Out[At + static_cast<size_t>(i)] = static_cast<uint8_t>(Value >> (8 * i));
}

inline std::vector<uint8_t> MakeBmp(const TBmpFile& F) {
  const bool bitfieldsAfterHeader = F.Compression == 3 && F.InfoSize == 40;
  const size_t tableAt = 14 + F.InfoSize + (bitfieldsAfterHeader ? 12 : 0);
  const size_t pixelsAt = tableAt + 4 * F.Table.size() + F.Gap;
  const int32_t rows = F.Height < 0 ? -F.Height : F.Height;
  const size_t bpp = F.BitCount / 8;
  const size_t stride = (static_cast<size_t>(F.Width) * F.BitCount + 31) / 32 * 4;
  std::vector<uint8_t> out(pixelsAt + stride * static_cast<size_t>(rows), 0);
  out[0] = 'B';
  out[1] = 'M';
  PutLE(out, 2, static_cast<uint32_t>(out.size()), 4);
  PutLE(out, 10, static_cast<uint32_t>(pixelsAt), 4);
  PutLE(out, 14, F.InfoSize, 4);
  PutLE(out, 18, static_cast<uint32_t>(F.Width), 4);
  PutLE(out, 22, static_cast<uint32_t>(F.Height), 4);
  PutLE(out, 26, 1, 2);
  PutLE(out, 28, F.BitCount, 2);
  PutLE(out, 30, F.Compression, 4);
  PutLE(out, 46, F.ColorsUsed, 4);
  if (F.Compression == 3) {
    for (int i = 0; i < 3; ++i) PutLE(out, 54 + 4 * static_cast<size_t>(i), F.Masks[i], 4);
  }
  for (size_t i = 0; i < F.Table.size(); ++i) {
    for (size_t b = 0; b < 4; ++b) out[tableAt + 4 * i + b] = F.Table[i][b];
  }
  // Other depths get zero pixels of the right amount.
  const bool writePixels = bpp == 1 || bpp == 3 || bpp == 4;
  for (int32_t r = 0; r < rows && writePixels; ++r) {
    const int32_t y = F.Height < 0 ? r : rows - 1 - r;
    uint8_t* row = out.data() + pixelsAt + stride * static_cast<size_t>(r);
    for (int32_t x = 0; x < F.Width; ++x) {
      const uint32_t v = F.Pixel(x, y);
      uint8_t* p = row + bpp * static_cast<size_t>(x);
      if (bpp == 1) {
        p[0] = static_cast<uint8_t>(v);
        continue;
      }
      p[0] = static_cast<uint8_t>(v >> 16);
      p[1] = static_cast<uint8_t>(v >> 8);
      p[2] = static_cast<uint8_t>(v);
      if (bpp == 4) p[3] = F.FourthByte;
    }
    for (size_t pad = static_cast<size_t>(F.Width) * bpp; pad < stride; ++pad) row[pad] = F.PadByte;
  }
  return out;
}

}  // namespace skwtest
