// The demo game's texture containers. Both containers hold the same list of
// textures: a few dozen records of several sizes and types (ordinary textures,
// a repeated name, a record whose data are not interpreted, a record that ends
// after its type), starting with "5 ROUND ROCKET POD" and ending with
// "WOOD PLANK" plus some trailing bytes, as the game's own files do. The
// palettised container carries three palettes; the true-colour one one.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

struct TextureSpec {
  std::string Name;
  int32_t Type = 1;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Palette = 0;  // palettised container only
};

// One palette as the container stores it: 256 entries of red, green, blue, 0.
using Palette = std::array<uint8_t, 1024>;

// Palette number Index of the demo containers (0, 1, 2 are stored).
Palette DemoPalette(int Index);
// A palette no demo container holds (a pack brings it along).
Palette ForeignPalette();

std::vector<TextureSpec> DemoTextures();

// Mip count the game gives a texture of this height: one level per halving
// while the height stays above 2, counting from -1.
int32_t MipCountFor(int32_t Height);

// The container bytes for the textures: true colour (Bin) or palettised.
std::string BuildContainer(const std::vector<TextureSpec>& Textures, bool Bin);

}  // namespace demo
