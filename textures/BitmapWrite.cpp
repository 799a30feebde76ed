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
  const uint32_t BitCount = BitCountOf(FPixelFormat);
  const size_t FileBpp = BitCount / 8;
  const size_t RowBytes = static_cast<size_t>(FWidth) * FileBpp;
  const size_t Stride = (RowBytes + 3) / 4 * 4;
  const size_t TableSize = FPixelFormat == TPixelFormat::pf8bit ? 1024 : 0;
  const size_t Offset = 54 + TableSize;
  const size_t ImageSize = Stride * static_cast<size_t>(FHeight);
  std::vector<uint8_t> Out(Offset + ImageSize, 0);

  Out[0] = 'B';
  Out[1] = 'M';
  PutU32(Out, 2, static_cast<uint32_t>(Out.size()));
  PutU32(Out, 10, static_cast<uint32_t>(Offset));
  PutU32(Out, 14, 40);
  PutU32(Out, 18, static_cast<uint32_t>(FWidth));
  PutU32(Out, 22, static_cast<uint32_t>(FHeight));
  PutU16(Out, 26, 1);
  PutU16(Out, 28, BitCount);
  PutU32(Out, 34, static_cast<uint32_t>(ImageSize));
  PutU32(Out, 46, TableSize / 4);

  for (size_t I = 0; I < TableSize / 4; ++I) {
    const TRGBQuad& Q = FColorTable[I];
    const uint8_t Entry[4] = {Q.rgbBlue, Q.rgbGreen, Q.rgbRed, Q.rgbReserved};
    std::memcpy(Out.data() + 54 + 4 * I, Entry, 4);
  }
  for (int32_t Y = 0; Y < FHeight; ++Y) {
    const std::span<const uint8_t> Src = ScanLine(Y);
    uint8_t* Dst = Out.data() + Offset + Stride * static_cast<size_t>(FHeight - 1 - Y);
    if (FileBpp == 1) {
      // A picture halved to width 0 has empty rows (and no row storage at all).
      if (RowBytes != 0) std::memcpy(Dst, Src.data(), RowBytes);
      continue;
    }
    for (size_t X = 0; X < static_cast<size_t>(FWidth); ++X, Dst += FileBpp) {
      Dst[0] = Src[3 * X + 2];
      Dst[1] = Src[3 * X + 1];
      Dst[2] = Src[3 * X];
    }
  }
  return Out;
}

}  // namespace skw
