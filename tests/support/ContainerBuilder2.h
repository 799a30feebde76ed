// ContainerBuilder2: pictures and expected texture data for the BMP import's
// tests. It writes BMP files byte by byte (a 40-byte information header,
// bottom-up rows padded to 4 bytes, a full 256-entry colour table for 8-bit
// pictures) without the engine's bitmap type, and lays out level chains as the
// container stores them (rows top row first; red, green, blue or one index per
// pixel), so expected containers can be built with the container builder
// independently of the import.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "tests/support/ContainerBuilder.h"

namespace skwtest {

// A colour as red | green << 8 | blue << 16.
using TPixelFn = std::function<uint32_t(int32_t X, int32_t Y)>;

// A 24-bit (or 32-bit) picture whose pixel (X, Y), top row 0, has Colour(X, Y).
std::vector<uint8_t> TrueColourPicture(int32_t Width, int32_t Height, const TPixelFn& Colour, uint16_t BitCount = 24);
// An 8-bit picture with the colour table Palette (container order red, green,
// blue, fourth byte) whose pixel (X, Y) is the entry Index(X, Y).
std::vector<uint8_t> PalettedPicture(int32_t Width, int32_t Height, const TPalette& Palette, const TPixelFn& Index);

// One level of Width × Height pixels as the container stores it.
std::vector<uint8_t> TrueColourLevel(int32_t Width, int32_t Height, const TPixelFn& Colour);
std::vector<uint8_t> IndexLevel(int32_t Width, int32_t Height, const TPixelFn& Index);
// The whole chain of a picture that is one colour (or one index) everywhere:
// its levels are that colour too. Pixel holds the stored bytes of one pixel.
std::vector<uint8_t> UniformLevels(int32_t Width, int32_t Height, const std::vector<uint8_t>& Pixel);

// Mip count of a chain down to a height above 2.
int32_t ChainMipCount(int32_t Height);

}  // namespace skwtest
