// Writing a TBitmap as a BMP file: the 14-byte file header, a 40-byte info
// header, for 8-bit pictures the full 256-entry colour table (so the pixel array
// starts at byte 1078, and at byte 54 otherwise), then the rows bottom-up, blue,
// green, red per pixel (a 32-bit picture adds a zero fourth byte), each row
// padded with zeros to a multiple of 4 bytes.
#include <cstring>

#include "textures/Bitmap.h"

namespace skw {

namespace {

void PutU16(std::vector<uint8_t>& Out, size_t At, uint32_t Value) {
  Out[At] = static_cast<uint8_t>(Value);
  Out[At + 1] = static_cast<uint8_t>(Value >> 8);
}

void PutU32(std::vector<uint8_t>& Out, size_t At, uint32_t Value) {
  PutU16(Out, At, Value & 0xFFFF);
  PutU16(Out, At + 2, Value >> 16);
}

uint32_t BitCountOf(TPixelFormat Format) {
  if (Format == TPixelFormat::pf8bit) return 8;
  return Format == TPixelFormat::pf24bit ? 24 : 32;
}

}  // namespace

std::vector<uint8_t> TBitmap::SaveToBuffer() const {
  const uint32_t bitCount = BitCountOf(FPixelFormat);
  const size_t fileBpp = bitCount / 8;
  const size_t rowBytes = static_cast<size_t>(FWidth) * fileBpp;
  const size_t stride = (rowBytes + 3) / 4 * 4;
  const size_t tableSize = FPixelFormat == TPixelFormat::pf8bit ? 1024 : 0;
  const size_t offset = 54 + tableSize;
  const size_t imageSize = stride * static_cast<size_t>(FHeight);
  std::vector<uint8_t> out(offset + imageSize, 0);

  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, static_cast<uint32_t>(out.size()));
  PutU32(out, 10, static_cast<uint32_t>(offset));
  PutU32(out, 14, 40);
  PutU32(out, 18, static_cast<uint32_t>(FWidth));
  PutU32(out, 22, static_cast<uint32_t>(FHeight));
  PutU16(out, 26, 1);
  PutU16(out, 28, bitCount);
  PutU32(out, 34, static_cast<uint32_t>(imageSize));
  PutU32(out, 46, tableSize / 4);

  for (size_t i = 0; i < tableSize / 4; ++i) {
    const TRGBQuad& q = FColorTable[i];
    const uint8_t entry[4] = {q.rgbBlue, q.rgbGreen, q.rgbRed, q.rgbReserved};
    std::memcpy(out.data() + 54 + 4 * i, entry, 4);
  }
  for (int32_t y = 0; y < FHeight; ++y) {
    const std::span<const uint8_t> src = ScanLine(y);
    uint8_t* dst = out.data() + offset + stride * static_cast<size_t>(FHeight - 1 - y);
    if (fileBpp == 1) {
      // A picture halved to width 0 has empty rows (and no row storage at all).
      if (rowBytes != 0) std::memcpy(dst, src.data(), rowBytes);
      continue;
    }
    for (size_t x = 0; x < static_cast<size_t>(FWidth); ++x, dst += fileBpp) {
      dst[0] = src[3 * x + 2];
      dst[1] = src[3 * x + 1];
      dst[2] = src[3 * x];
    }
  }
  return out;
}

}  // namespace skw
