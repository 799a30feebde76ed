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
  const auto V = static_cast<uint32_t>(Value);
  for (int Shift = 0; Shift < 32; Shift += 8) Out += static_cast<char>((V >> Shift) & 0xFF);
}

uint32_t NameSeed(const std::string& Name) {
  uint32_t Seed = 2166136261u;
  for (const char C : Name) Seed = (Seed ^ static_cast<uint8_t>(C)) * 16777619u;
  return Seed;
}

// Bytes per pixel by container and type: palettised 1 (2 for type 3), true
// colour 3 (4 for types 2 and 3).
int BytesPerPixel(bool Bin, int32_t Type) {
  if (Bin) return (Type == 2 || Type == 3) ? 4 : 3;
  return Type == 3 ? 2 : 1;
}

void PutPixels(std::string& Out, const TextureSpec& Texture, bool Bin) {
  const int Bytes = BytesPerPixel(Bin, Texture.Type);
  const uint32_t Seed = NameSeed(Texture.Name);
  int32_t W = Texture.Width;
  int32_t H = Texture.Height;
  for (int32_t Level = 0; Level <= MipCountFor(Texture.Height); ++Level) {
    for (int32_t Y = 0; Y < H; ++Y)
      for (int32_t X = 0; X < W; ++X)
        for (int B = 0; B < Bytes; ++B)
          Out += static_cast<char>((Seed >> (8 * B)) + static_cast<uint32_t>(X * 7 + Y * 13 + Level * 31 + B * 5));
    W /= 2;
    H /= 2;
  }
}

}  // namespace

Palette DemoPalette(int Index) {
  Palette Table{};
  for (int I = 0; I < 256; ++I) {
    Table[4 * I + 0] = static_cast<uint8_t>(Index == 0 ? I : (Index == 1 ? 255 - I : (I * 3) & 0xFF));
    Table[4 * I + 1] = static_cast<uint8_t>(Index == 0 ? I : (Index == 1 ? I / 2 : 128 + I / 2));
    Table[4 * I + 2] = static_cast<uint8_t>(Index == 0 ? I : (Index == 1 ? 64 : 255 - I));
  }
  return Table;
}

Palette ForeignPalette() {
  Palette Table{};
  for (int I = 0; I < 256; ++I) {
    Table[4 * I + 0] = static_cast<uint8_t>(I / 4 + 100);
    Table[4 * I + 1] = static_cast<uint8_t>(200 - I / 2);
    Table[4 * I + 2] = static_cast<uint8_t>((I * 5) & 0xFF);
  }
  return Table;
}

int32_t MipCountFor(int32_t Height) {
  int32_t Count = -1;
  for (int32_t H = Height; H > 2; H /= 2) ++Count;
  return Count;
}

std::vector<TextureSpec> DemoTextures() {
  std::vector<TextureSpec> Textures = {
      {"5 ROUND ROCKET POD", 1, 32, 32, 0}, {"ROTOR", 1, 64, 64, 0},    {"ROTOR", 1, 64, 64, 1},
      {"COCKPIT GLASS", 3, 32, 32, 0},      {"HUD MARKER", 5, 0, 0, 0}, {"HANGAR DOOR", 1, 64, 32, 1},
  };
  for (int I = 1; I <= 6; ++I)
    Textures.push_back({"DESERT SAND 0" + std::to_string(I), 1, I % 2 ? 64 : 128, I % 2 ? 64 : 128, 0});
  for (int I = 1; I <= 6; ++I) Textures.push_back({"GRASS 0" + std::to_string(I), 0, 32, 32, 1});
  for (int I = 1; I <= 4; ++I) Textures.push_back({"RIVER BANK 0" + std::to_string(I), 1, 128, 64, 2});
  for (int I = 1; I <= 5; ++I) Textures.push_back({"CRATE 0" + std::to_string(I), 1, 16, 16, 0});
  Textures.push_back({"RADAR DISH", 2, 16, 16, 0});
  for (int I = 1; I <= 3; ++I) Textures.push_back({"RUNWAY 0" + std::to_string(I), 1, 256, 64, 0});
  for (int I = 1; I <= 4; ++I) Textures.push_back({"WATER 0" + std::to_string(I), 1, 64, 64, 2});
  Textures.push_back({"WOOD PLANK", 1, 32, 32, 1});
  return Textures;
}

std::string BuildContainer(const std::vector<TextureSpec>& Textures, bool Bin) {
  const int PaletteCount = Bin ? 1 : 3;
  std::string Out;
  Put32(Out, PaletteCount);
  for (int K = 0; K < PaletteCount; ++K) {
    const Palette Palette = DemoPalette(K);
    Out.append(reinterpret_cast<const char*>(Palette.data()), Palette.size());
  }
  Out.append("EECHDEMO", 8);
  for (const TextureSpec& Texture : Textures) {
    Put32(Out, static_cast<int32_t>(Texture.Name.size() + 1));
    Out.append(Texture.Name).push_back('\0');
    Put32(Out, Texture.Type);
    if (Texture.Type > 3) continue;
    Put32(Out, MipCountFor(Texture.Height));
    Put32(Out, Texture.Width);
    Put32(Out, Texture.Height);
    if (!Bin) Put32(Out, Texture.Palette);
    PutPixels(Out, Texture, Bin);
    Out.append("\x01\x02\x03\x04", 4);
  }
  Out.append("-- end of demo textures --");
  return Out;
}

}  // namespace demo
