// ContainerBuilder: writes texture containers of the game's layout from a plain
// description, for tests, the demo game and the benchmarks. A description lists
// the palettes, the 8 kept bytes behind them, and the records in file order with
// name, type, mip count, size, palette number and (optionally) their pixel data;
// the builder lays them out (name length with terminating zero, header fields,
// level chain, 4 trailing bytes) and reports where each record and its data
// start, so tests can check the index against positions computed here rather
// than by the engine. It computes level sizes on its own, independently of the
// engine's arithmetic.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/io/MemoryStream.h"

namespace skwtest {

// One palette: 256 entries of red, green, blue, fourth byte.
using TPalette = std::array<uint8_t, 1024>;

struct TTexturePlan {
  std::string Name;
  int32_t Type = 1;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t MipCount = 0;
  int32_t PaletteNumber = 0;  // written in palettised containers only
  // Pixel data of all levels; empty: a pattern of the size the header implies.
  std::vector<uint8_t> Pixels;
  // Name bytes written verbatim (length field = their count) instead of Name
  // plus a zero byte, for names with padding or without terminator.
  std::string RawNameField;
  std::array<uint8_t, 4> Tail = {0xC0, 0xFF, 0xEE, 0x04};
};

struct TContainerPlan {
  bool BinContainer = true;
  std::vector<TPalette> Palettes;
  std::array<uint8_t, 8> Kept = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  // Written in this order; nothing is added (the last one is normally WoodPlank()).
  std::vector<TTexturePlan> Textures;
  std::vector<uint8_t> TrailingBytes;
};

struct TBuiltContainer {
  std::vector<uint8_t> Bytes;
  std::vector<int64_t> RecordOffsets;  // position of each record's name length
  std::vector<int64_t> DataOffsets;    // position of each record's pixel data; -1 for types above 3
};

// Bytes per pixel of a record of Type, and the size of its level chain.
int32_t BuilderBytesPerPixel(bool BinContainer, int32_t Type);
int64_t BuilderDataSize(bool BinContainer, int32_t Type, int32_t Width, int32_t Height, int32_t MipCount);

TBuiltContainer BuildContainer(const TContainerPlan& Plan);

// A record of type 1 (or Type) with the given level-0 size and mip count.
TTexturePlan Texture(const std::string& Name, int32_t Width, int32_t Height, int32_t MipCount, int32_t Type = 1,
                     int32_t PaletteNumber = 0);
// The record that ends the walk: "WOOD PLANK", 8 × 8, one level.
TTexturePlan WoodPlank();
// A deterministic palette, different for every seed.
TPalette MakePalette(uint32_t Seed);

// A container the game would ship: "5 ROUND ROCKET POD" first, then Count
// textures named TEX0001 ... of Side × Side with a full level chain down to 4,
// then "WOOD PLANK". Palettised containers get three palettes.
TContainerPlan TypicalContainer(bool BinContainer, int Count, int32_t Side = 64);

// Stream holding Bytes, at position 0.
kst::TMemoryStream StreamOf(const std::vector<uint8_t>& Bytes);
// Little-endian field access for patching built containers.
void PutInt32(std::vector<uint8_t>& Bytes, int64_t Offset, int32_t Value);
int32_t GetInt32(const std::vector<uint8_t>& Bytes, int64_t Offset);

}  // namespace skwtest
