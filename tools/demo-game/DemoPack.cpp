// Drawing the demo pack's pictures with the texture engine's bitmap type and
// storing them, with the credits and the logo, in a ZIP archive.
#include "DemoPack.h"

#include <cstdint>

#include "DemoContainer.h"
#include "StoredZip.h"
#include "textures/Bitmap.h"

namespace demo {

namespace {

std::string ToBytes(const skw::TBitmap& Picture) {
  const std::vector<uint8_t> bytes = Picture.SaveToBuffer();
  return std::string(bytes.begin(), bytes.end());
}

// A true-colour picture: a diagonal gradient with a frame in the given tint.
std::string TrueColourPicture(int32_t Width, int32_t Height, uint32_t Tint,
                              skw::TPixelFormat Format = skw::TPixelFormat::pf24bit) {
  skw::TBitmap picture;
  picture.SetPixelFormat(Format);
  picture.SetSize(Width, Height);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) {
      const bool frame = x == 0 || y == 0 || x == Width - 1 || y == Height - 1;
      const uint32_t level = static_cast<uint32_t>((x + y) * 255 / (Width + Height));
      const uint32_t colour = frame ? Tint : (level | (level << 8) | (level << 16)) ^ (Tint & 0x3F3F3F);
      picture.SetPixel(x, y, static_cast<skw::TColor>(colour));
    }
  return ToBytes(picture);
}

// An 8-bit picture whose colour table is Colours (stored red, green, blue, 0)
// and whose pixels walk through the table in rings.
std::string PalettisedPicture(int32_t Width, int32_t Height, const Palette& Colours) {
  skw::TBitmap picture;
  picture.SetPixelFormat(skw::TPixelFormat::pf8bit);
  skw::TColorTable table{};
  for (int i = 0; i < 256; ++i)
    table[i] = skw::TRGBQuad{Colours[4 * i + 2], Colours[4 * i + 1], Colours[4 * i], Colours[4 * i + 3]};
  picture.SetColorTable(table);
  picture.SetSize(Width, Height);
  for (int32_t y = 0; y < Height; ++y) {
    const std::span<uint8_t> row = picture.ScanLine(y);
    for (int32_t x = 0; x < Width; ++x) {
      const int32_t dx = x - Width / 2;
      const int32_t dy = y - Height / 2;
      row[static_cast<size_t>(x)] = static_cast<uint8_t>((dx * dx + dy * dy) / 4);
    }
  }
  return ToBytes(picture);
}

const char* const kCredits =
    "Demo texture pack\r\n"
    "\r\n"
    "Made by the Skinwright demo-game tool to show\r\n"
    "a pack being installed without the game.\r\n";

}  // namespace

std::string BuildPack(bool Bin) {
  StoredZip zip;
  zip.Add("credits.txt", kCredits);
  zip.Add("logo.bmp", TrueColourPicture(64, 64, 0x2080E0));
  if (Bin) {
    zip.Add("ROTOR-BIN-64x64.bmp", TrueColourPicture(64, 64, 0x0000FF));
    zip.Add("ROTOR-D-BIN-32x32.bmp", TrueColourPicture(32, 32, 0x00FF00));
    zip.Add("DESERT SAND 01-BIN-128x128.bmp", TrueColourPicture(128, 128, 0x40A0E0));
    zip.Add("RIVER BANK 02-BIN-256x128.bmp", TrueColourPicture(256, 128, 0xA06020));
    zip.Add("CRATE 03-BIN-32x32.bmp", TrueColourPicture(32, 32, 0x204060, skw::TPixelFormat::pf32bit));
    zip.Add("WOOD PLANK-BIN-64x64.bmp", TrueColourPicture(64, 64, 0x3070B0));
    // Square picture for a texture twice as wide as high: rejected.
    zip.Add("HANGAR DOOR-BIN-64x64.bmp", TrueColourPicture(64, 64, 0x808080));
  } else {
    zip.Add("ROTOR-PAL-64x64.bmp", PalettisedPicture(64, 64, DemoPalette(0)));
    zip.Add("GRASS 02-PAL-64x64.bmp", PalettisedPicture(64, 64, ForeignPalette()));
    zip.Add("WATER 03-PAL-32x32.bmp", PalettisedPicture(32, 32, DemoPalette(2)));
    zip.Add("DESERT SAND 04-PAL-128x128.bmp", PalettisedPicture(128, 128, ForeignPalette()));
    zip.Add("RUNWAY 02-PAL-128x32.bmp", PalettisedPicture(128, 32, DemoPalette(1)));
    // A true-colour picture for the palettised container: rejected.
    zip.Add("CRATE 01-PAL-16x16.bmp", TrueColourPicture(16, 16, 0xFF00FF));
  }
  return zip.Bytes();
}

}  // namespace demo
