// The checks a picture passes before it replaces a texture, and the mip count
// its height gives. The checks run in a fixed order and the first failure
// rejects the picture; all of them lead to the same message, so only the
// verdict is reported. The ratio test divides in 64 bits, so no texture size
// in the index (0 or the most negative value) can trap.
#include "textures/TextureImport.h"

namespace skw {

int32_t NewMipCount(int32_t Height) {
  int32_t MipCount = -1;
  for (int32_t Side = Height; Side > 2; Side /= 2) ++MipCount;
  return MipCount;
}

bool PictureFits(const TBitmap& Bitmap, const TPictureName& Name, bool BinContainer,
                 int32_t TextureWidth, int32_t TextureHeight) {
  const bool EightBit = Bitmap.PixelFormat() == TPixelFormat::pf8bit;
  const int32_t Kind = EightBit ? kPalettisedKind : Name.Kind;
  if (Kind != (BinContainer ? kTrueColourKind : kPalettisedKind)) return false;
  // The palettised container stores colour-table indexes: only 8-bit pictures have them.
  if (!BinContainer && !EightBit) return false;
  if (Bitmap.Width() != Name.Width || Bitmap.Height() != Name.Height) return false;
  if (Bitmap.Height() == 0 || TextureHeight == 0) return false;
  return int64_t{Bitmap.Width()} / Bitmap.Height() == int64_t{TextureWidth} / TextureHeight;
}

}  // namespace skw
