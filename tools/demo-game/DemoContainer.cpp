// Writing the demo containers record by record: palette count and table, the 8
// uninterpreted bytes, then for each texture its name length, name, type, and
// (unless the type is above 3) mip count, width, height, the palette number in
// the palettised container, the pixel data of every level and 4 uninterpreted
// bytes. Pixel data are patterns derived from the texture's name.
#include "DemoContainer.h"

#include <cstring>

namespace demo {

namespace {

void Put32(std::string& Out, int32_t Value) {
  const auto v = static_cast<uint32_t>(Value);
  for (int shift = 0; shift < 32; shift += 8) Out += static_cast<char>((v >> shift) & 0xFF);
}

uint32_t NameSeed(const std::string& Name) {
  uint32_t seed = 2166136261u;
  for (const char c : Name) seed = (seed ^ static_cast<uint8_t>(c)) * 16777619u;
  return seed;
}

// Bytes per pixel by container and type: palettised 1 (2 for type 3), true
// colour 3 (4 for types 2 and 3).
int BytesPerPixel(bool Bin, int32_t Type) {
  if (Bin) return (Type == 2 || Type == 3) ? 4 : 3;
  return Type == 3 ? 2 : 1;
}

void PutPixels(std::string& Out, const TextureSpec& Texture, bool Bin) {
  const int bytes = BytesPerPixel(Bin, Texture.Type);
  const uint32_t seed = NameSeed(Texture.Name);
  int32_t w = Texture.Width;
  int32_t h = Texture.Height;
  for (int32_t level = 0; level <= MipCountFor(Texture.Height); ++level) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        for (int b = 0; b < bytes; ++b)
          Out += static_cast<char>((seed >> (8 * b)) + static_cast<uint32_t>(x * 7 + y * 13 + level * 31 + b * 5));
    w /= 2;
    h /= 2;
  }
}

}  // namespace

Palette DemoPalette(int Index) {
  Palette palette{};
  for (int i = 0; i < 256; ++i) {
    palette[4 * i + 0] = static_cast<uint8_t>(Index == 0 ? i : (Index == 1 ? 255 - i : (i * 3) & 0xFF));
    palette[4 * i + 1] = static_cast<uint8_t>(Index == 0 ? i : (Index == 1 ? i / 2 : 128 + i / 2));
    palette[4 * i + 2] = static_cast<uint8_t>(Index == 0 ? i : (Index == 1 ? 64 : 255 - i));
  }
  return palette;
}

Palette ForeignPalette() {
  Palette palette{};
  for (int i = 0; i < 256; ++i) {
    palette[4 * i + 0] = static_cast<uint8_t>(i / 4 + 100);
    palette[4 * i + 1] = static_cast<uint8_t>(200 - i / 2);
    palette[4 * i + 2] = static_cast<uint8_t>((i * 5) & 0xFF);
  }
  return palette;
}

int32_t MipCountFor(int32_t Height) {
  int32_t count = -1;
  for (int32_t h = Height; h > 2; h /= 2) ++count;
  return count;
}

std::vector<TextureSpec> DemoTextures() {
  std::vector<TextureSpec> textures = {
      {"5 ROUND ROCKET POD", 1, 32, 32, 0}, {"ROTOR", 1, 64, 64, 0},    {"ROTOR", 1, 64, 64, 1},
      {"COCKPIT GLASS", 3, 32, 32, 0},      {"HUD MARKER", 5, 0, 0, 0}, {"HANGAR DOOR", 1, 64, 32, 1},
  };
  for (int i = 1; i <= 6; ++i)
    textures.push_back({"DESERT SAND 0" + std::to_string(i), 1, i % 2 ? 64 : 128, i % 2 ? 64 : 128, 0});
  for (int i = 1; i <= 6; ++i) textures.push_back({"GRASS 0" + std::to_string(i), 0, 32, 32, 1});
  for (int i = 1; i <= 4; ++i) textures.push_back({"RIVER BANK 0" + std::to_string(i), 1, 128, 64, 2});
  for (int i = 1; i <= 5; ++i) textures.push_back({"CRATE 0" + std::to_string(i), 1, 16, 16, 0});
  textures.push_back({"RADAR DISH", 2, 16, 16, 0});
  for (int i = 1; i <= 3; ++i) textures.push_back({"RUNWAY 0" + std::to_string(i), 1, 256, 64, 0});
  for (int i = 1; i <= 4; ++i) textures.push_back({"WATER 0" + std::to_string(i), 1, 64, 64, 2});
  textures.push_back({"WOOD PLANK", 1, 32, 32, 1});
  return textures;
}

std::string BuildContainer(const std::vector<TextureSpec>& Textures, bool Bin) {
  const int paletteCount = Bin ? 1 : 3;
  std::string out;
  Put32(out, paletteCount);
  for (int k = 0; k < paletteCount; ++k) {
    const Palette palette = DemoPalette(k);
    out.append(reinterpret_cast<const char*>(palette.data()), palette.size());
  }
  out.append("EECHDEMO", 8);
  for (const TextureSpec& texture : Textures) {
    Put32(out, static_cast<int32_t>(texture.Name.size() + 1));
    out.append(texture.Name).push_back('\0');
    Put32(out, texture.Type);
    if (texture.Type > 3) continue;
    Put32(out, MipCountFor(texture.Height));
    Put32(out, texture.Width);
    Put32(out, texture.Height);
    if (!Bin) Put32(out, texture.Palette);
    PutPixels(out, texture, Bin);
    out.append("\x01\x02\x03\x04", 4);
  }
  out.append("-- end of demo textures --");
  return out;
}

}  // namespace demo
