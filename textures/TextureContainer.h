// The game's texture container as the engine reads and patches it: a palette
// count, the palette table (256 four-byte entries per palette), 8 bytes kept as
// they are, then texture records one after the other up to the one named
// "WOOD PLANK". A record holds a name length and name, a type, and (for types
// not above 3) the mip count, width, height, the palette number (palettised
// container only), the pixel data of every level and 4 trailing bytes. This file
// holds those layout facts in one place (offsets, distances of the header fields
// before a record's data, bytes per pixel, data sizes) together with bounded
// little-endian access to a container held in a memory stream, so the scan and
// the import agree on every position.
#pragma once
#include <cstdint>

#include "archive/io/MemoryStream.h"

namespace skw {

// Name the first indexed record must carry, and name of the last record walked.
inline constexpr char kFirstTextureName[] = "5 ROUND ROCKET POD";
inline constexpr char kLastTextureName[] = "WOOD PLANK";
// Text of the message box shown for a container the walk cannot accept.
inline constexpr char kInvalidContainerText[] = "Not a valid EECH textures file.";

inline constexpr int64_t kPaletteCountOffset = 0;
inline constexpr int64_t kPaletteTableOffset = 4;
inline constexpr int64_t kPaletteBytes = 1024;  // 256 entries of 4 bytes
// Largest name length (terminating zero included) the game's name area holds.
inline constexpr int32_t kMaxNameLength = 104;
// Uninterpreted bytes behind every record's pixel data.
inline constexpr int64_t kRecordTailBytes = 4;

// Byte position of palette number Index.
constexpr int64_t PaletteOffset(int64_t Index) { return kPaletteTableOffset + Index * kPaletteBytes; }
// Byte position of the first record: behind the palette table and 8 kept bytes.
constexpr int64_t FirstRecordOffset(int64_t PaletteCount) { return PaletteOffset(PaletteCount) + 8; }

// Distances of the header fields before a record's data offset.
constexpr int64_t MipCountDistance(bool BinContainer) { return BinContainer ? 12 : 16; }
constexpr int64_t WidthDistance(bool BinContainer) { return BinContainer ? 8 : 12; }
constexpr int64_t HeightDistance(bool BinContainer) { return BinContainer ? 4 : 8; }
// Palettised container only.
inline constexpr int64_t kPaletteNumberDistance = 4;

// Records of a type above 3 end right after their type field.
constexpr bool TypeHasHeader(int32_t Type) { return Type <= 3; }
// Types 2 and 3 are walked over but never indexed.
constexpr bool TypeIsIndexed(int32_t Type) { return Type != 2 && Type != 3 && Type <= 3; }

// Bytes per pixel of a texture of the given type in the given container.
int32_t BytesPerPixel(bool BinContainer, int32_t Type);

// Pixels of levels 0 to MipCount, each level halving the previous width and
// height (remainder dropped, towards zero). Exact; negative when exactly one of
// Width and Height is negative; 0 for a negative mip count.
int64_t LevelPixelCount(int32_t Width, int32_t Height, int32_t MipCount);
// LevelPixelCount times BytesPerPixel, saturated to the int64 range so that an
// absurd header can only ever compare as too large or negative.
int64_t PixelDataSize(int32_t Width, int32_t Height, int32_t MipCount, int32_t BytesPerPixel);

// Little-endian 32-bit access into a container. Reads answer false when the four
// bytes do not lie inside the stream; writes grow the stream when needed.
bool ReadInt32At(const kst::TMemoryStream& Stream, int64_t Offset, int32_t& Value);
void WriteInt32At(kst::TMemoryStream& Stream, int64_t Offset, int32_t Value);

}  // namespace skw
