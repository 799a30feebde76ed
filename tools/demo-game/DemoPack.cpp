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
  const std::vector<uint8_t> Bytes = Picture.SaveToBuffer();
  return std::string(Bytes.begin(), Bytes.end());
}

// A true-colour picture: a diagonal gradient with a frame in the given tint.
std::string TrueColourPicture(int32_t Width, int32_t Height, uint32_t Tint,
                              skw::TPixelFormat Format = skw::TPixelFormat::pf24bit) {
  skw::TBitmap Picture;
  Picture.SetPixelFormat(Format);
  Picture.SetSize(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X) {
      const bool Frame = X == 0 || Y == 0 || X == Width - 1 || Y == Height - 1;
      const uint32_t Level = static_cast<uint32_t>((X + Y) * 255 / (Width + Height));
      const uint32_t Colour = Frame ? Tint : (Level | (Level << 8) | (Level << 16)) ^ (Tint & 0x3F3F3F);
      Picture.SetPixel(X, Y, static_cast<skw::TColor>(Colour));
    }
  return ToBytes(Picture);
}

// An 8-bit picture whose colour table is Colours (stored red, green, blue, 0)
// and whose pixels walk through the table in rings.
std::string PalettisedPicture(int32_t Width, int32_t Height, const Palette& Colours) {
  skw::TBitmap Picture;
  Picture.SetPixelFormat(skw::TPixelFormat::pf8bit);
  skw::TColorTable Table{};
  for (int I = 0; I < 256; ++I)
    Table[I] = skw::TRGBQuad{Colours[4 * I + 2], Colours[4 * I + 1], Colours[4 * I], Colours[4 * I + 3]};
  Picture.SetColorTable(Table);
  Picture.SetSize(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y) {
    const std::span<uint8_t> Row = Picture.ScanLine(Y);
    for (int32_t X = 0; X < Width; ++X) {
      const int32_t Dx = X - Width / 2;
      const int32_t Dy = Y - Height / 2;
      Row[static_cast<size_t>(X)] = static_cast<uint8_t>((Dx * Dx + Dy * Dy) / 4);
    }
  }
  return ToBytes(Picture);
}

const char* const kCredits =
    "Demo texture pack\r\n"
    "\r\n"
    "Made by the Skinwright demo-game tool to show\r\n"
    "a pack being installed without the game.\r\n";

}  // namespace

std::string BuildPack(bool Bin) {
  StoredZip Zip;
  Zip.Add("credits.txt", kCredits);
  Zip.Add("logo.bmp", TrueColourPicture(64, 64, 0x2080E0));
  if (Bin) {
    Zip.Add("ROTOR-BIN-64x64.bmp", TrueColourPicture(64, 64, 0x0000FF));
    Zip.Add("ROTOR-D-BIN-32x32.bmp", TrueColourPicture(32, 32, 0x00FF00));
    Zip.Add("DESERT SAND 01-BIN-128x128.bmp", TrueColourPicture(128, 128, 0x40A0E0));
    Zip.Add("RIVER BANK 02-BIN-256x128.bmp", TrueColourPicture(256, 128, 0xA06020));
    Zip.Add("CRATE 03-BIN-32x32.bmp", TrueColourPicture(32, 32, 0x204060, skw::TPixelFormat::pf32bit));
    Zip.Add("WOOD PLANK-BIN-64x64.bmp", TrueColourPicture(64, 64, 0x3070B0));
    // Square picture for a texture twice as wide as high: rejected.
    Zip.Add("HANGAR DOOR-BIN-64x64.bmp", TrueColourPicture(64, 64, 0x808080));
  } else {
    Zip.Add("ROTOR-PAL-64x64.bmp", PalettisedPicture(64, 64, DemoPalette(0)));
    Zip.Add("GRASS 02-PAL-64x64.bmp", PalettisedPicture(64, 64, ForeignPalette()));
    Zip.Add("WATER 03-PAL-32x32.bmp", PalettisedPicture(32, 32, DemoPalette(2)));
    Zip.Add("DESERT SAND 04-PAL-128x128.bmp", PalettisedPicture(128, 128, ForeignPalette()));
    Zip.Add("RUNWAY 02-PAL-128x32.bmp", PalettisedPicture(128, 32, DemoPalette(1)));
    // A true-colour picture for the palettised container: rejected.
    Zip.Add("CRATE 01-PAL-16x16.bmp", TrueColourPicture(16, 16, 0xFF00FF));
  }
  return Zip.Bytes();
}

}  // namespace demo
