// Fuzz target: a texture container scanned, then a small fixed pack of
// pictures imported into it. The first byte picks the container kind (bit 0
// set: true colour), the rest is the container file. The pack names textures
// of the generated seed containers in both kinds and sizes, so mutations of the
// seeds reach the import's checks, palette choice and patching. When the import
// completes, the index it kept in step must equal a fresh scan of the patched
// container.
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "tests/support/ContainerBuilder.h"
#include "tests/support/ContainerBuilder2.h"
#include "tests/support/MemoryPictureSource.h"
#include "textures/TextureEngine.h"
#include "textures/TextureImport.h"

namespace {

std::unique_ptr<skwtest::MemoryPictureSource> MakePack() {
  auto Pack = std::make_unique<skwtest::MemoryPictureSource>();
  auto Pattern = [](int32_t X, int32_t Y) { return static_cast<uint32_t>(X * 0x010203 + Y * 0x030201); };
  auto Index = [](int32_t X, int32_t Y) { return static_cast<uint32_t>((X + 3 * Y) & 0xFF); };
  Pack->Add("TEX0001-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Pattern));
  Pack->Add("TEX0002-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Pattern, 32));
  Pack->Add("TEX0001-PAL-16x16.bmp", skwtest::PalettedPicture(16, 16, skwtest::MakePalette(1), Index));
  Pack->Add("TEX0002-PAL-32x32.bmp", skwtest::PalettedPicture(32, 32, skwtest::MakePalette(7), Index));
  Pack->Add("TEX0003-D-BIN-8x8.bmp", skwtest::TrueColourPicture(8, 8, Pattern));
  Pack->Add("WOOD PLANK-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Pattern));
  Pack->Add("5 ROUND ROCKET POD-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, skwtest::MakePalette(2), Index));
  return Pack;
}

kst::TStringList Rescan(const kst::TMemoryStream& Container, bool Bin) {
  kst::TMemoryStream Copy = Container;
  Copy.SetPosition(0);
  kst::TStringList Index;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Copy;
  Engine.TextureList = &Index;
  Engine.BinContainer = Bin;
  Engine.ScanTextures("rescan");
  return Index;
}

}  // namespace

namespace skwtest {

// One input; also replayed by the regression test (tests/hardening).
inline int RunContainer(const uint8_t* Data, size_t Size) {
  static const std::unique_ptr<skwtest::MemoryPictureSource> Pack = MakePack();
  if (Size < 1) return 0;
  const bool Bin = (Data[0] & 1) != 0;
  kst::TMemoryStream Container = skwtest::StreamOf(std::vector<uint8_t>(Data + 1, Data + Size));
  kst::TStringList Index;
  skw::TNullFrontEnd FrontEnd;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Container;
  Engine.TextureList = &Index;
  Engine.BinContainer = Bin;
  Engine.FrontEnd = &FrontEnd;
  Engine.Pictures = Pack.get();
  Engine.ScanTextures("fuzz.bin");
  try {
    Engine.ImportBitmaps();
  } catch (const skw::EConvertError&) {
    return 0;
  } catch (const skw::EInvalidBitmap&) {
    return 0;
  }
  if (Rescan(Container, Bin) != Index) {
    std::fprintf(stderr, "index kept by the import differs from a fresh scan\n");
    std::abort();
  }
  return 0;
}

}  // namespace skwtest

#ifndef SKW_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) { return skwtest::RunContainer(Data, Size); }
#endif
