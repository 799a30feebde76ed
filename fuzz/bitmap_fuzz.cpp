// Fuzz target: a BMP picture loaded, then halved level by level the way the
// import makes its mip chain, down to the last level. Pictures larger than
// 1024 pixels on a side are loaded but not halved, so one input stays quick.
#include <vector>

#include "textures/Bitmap.h"
#include "textures/TextureImport.h"

namespace skwtest {

// One input; also replayed by the regression test (tests/hardening).
inline int RunBitmap(const uint8_t* Data, size_t Size) {
  skw::TBitmap Bitmap;
  try {
    Bitmap.LoadFromBuffer(std::span<const uint8_t>(Data, Size));
  } catch (const skw::EInvalidBitmap&) {
    return 0;
  }
  if (Bitmap.Width() > 1024 || Bitmap.Height() > 1024) return 0;
  const int64_t ChainSize = skw::LevelChainSize(Bitmap.Width(), Bitmap.Height(), Bitmap.BytesPerPixel());
  std::vector<uint8_t> Levels(static_cast<size_t>(ChainSize));
  skw::MakeLevels(Bitmap, Levels.data());
  // Saving the last level must work, and give a picture that loads again unless
  // halving left it without width (a picture of width 0 is not a valid BMP).
  const std::vector<uint8_t> Saved = Bitmap.SaveToBuffer();
  if (Bitmap.Width() > 0 && Bitmap.Height() > 0) {
    skw::TBitmap Again;
    Again.LoadFromBuffer(Saved);
  }
  return 0;
}

}  // namespace skwtest

#ifndef SKW_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) { return skwtest::RunBitmap(Data, Size); }
#endif
