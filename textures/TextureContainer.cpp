// Layout arithmetic of the texture container: bytes per pixel by container and
// type, the size of a chain of mip levels, and bounded 32-bit field access. The
// level sum is computed in 64 bits without wrapping: a header that claims more
// data than any container can hold must show up as such, not wrap to a small
// size that would send the walk into the middle of other records.
#include "textures/TextureContainer.h"

#include <limits>

#include "archive/core/Bounds.h"
#include "archive/core/LittleEndian.h"

namespace skw {

int32_t BytesPerPixel(bool BinContainer, int32_t Type) {
  if (BinContainer) return (Type == 2 || Type == 3) ? 4 : 3;
  return Type == 3 ? 2 : 1;
}

int64_t LevelPixelCount(int32_t Width, int32_t Height, int32_t MipCount) {
  int64_t W = Width;
  int64_t H = Height;
  int64_t Sum = 0;
  // Once a side reaches 0 every further level is empty, so the loop runs at
  // most about 32 times whatever the mip count says. |W × H| < 2^62 and the
  // levels shrink by 4, so the sum stays below 2^62 × 4/3.
  for (int64_t Level = 0; Level <= MipCount && W != 0 && H != 0; ++Level) {
    Sum += W * H;
    W /= 2;
    H /= 2;
  }
  return Sum;
}

int64_t PixelDataSize(int32_t Width, int32_t Height, int32_t MipCount, int32_t BytesPerPixel) {
  const int64_t Pixels = LevelPixelCount(Width, Height, MipCount);
  const int64_t Limit = std::numeric_limits<int64_t>::max() / 4;
  if (Pixels > Limit) return std::numeric_limits<int64_t>::max();
  if (Pixels < -Limit) return std::numeric_limits<int64_t>::min();
  return Pixels * BytesPerPixel;
}

bool ReadInt32At(const kst::TMemoryStream& Stream, int64_t Offset, int32_t& Value) {
  if (Offset < 0 || !kst::InBounds(uint64_t(Offset), 4, uint64_t(Stream.Size()))) return false;
  Value = static_cast<int32_t>(kst::GetLE32(Stream.Memory() + Offset));
  return true;
}

void WriteInt32At(kst::TMemoryStream& Stream, int64_t Offset, int32_t Value) {
  const uint32_t U = static_cast<uint32_t>(Value);
  const uint8_t Bytes[4] = {static_cast<uint8_t>(U), static_cast<uint8_t>(U >> 8), static_cast<uint8_t>(U >> 16),
                            static_cast<uint8_t>(U >> 24)};
  const int64_t Saved = Stream.Position();
  Stream.SetPosition(Offset);
  Stream.Write(Bytes, 4);
  Stream.SetPosition(Saved);
}

}  // namespace skw
