// The palette a palettised picture brings: its colour table, whose entries a
// picture stores as blue, green, red and a fourth byte, turned into the
// container's order red, green, blue, fourth byte. The bitmap type always holds
// a full table of 256 entries (a shorter stored table is padded with black), so
// every picture gives a complete palette to compare with the container's.
#include "textures/TextureImport.h"

namespace skw {

TPaletteBytes PaletteOfPicture(const TBitmap& Bitmap) {
  TPaletteBytes Palette{};
  const TColorTable& Table = Bitmap.ColorTable();
  for (size_t Entry = 0; Entry < Table.size(); ++Entry) {
    Palette[4 * Entry] = Table[Entry].rgbRed;
    Palette[4 * Entry + 1] = Table[Entry].rgbGreen;
    Palette[4 * Entry + 2] = Table[Entry].rgbBlue;
    Palette[4 * Entry + 3] = Table[Entry].rgbReserved;
  }
  return Palette;
}

}  // namespace skw
