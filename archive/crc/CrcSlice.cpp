// The portable fast path of CRC-32: slicing by sixteen. Table k holds the
// register contribution of a byte followed by k zero bytes, so sixteen bytes
// are folded into the register with sixteen independent look-ups instead of a
// chain of sixteen dependent steps. The tables are derived from the byte-step
// table at compile time. Words are assembled from single bytes, so the result
// does not depend on the machine's byte order or on the buffer's alignment.
#include "archive/crc/Crc.h"
#include "archive/core/LittleEndian.h"

namespace kst::crc_paths {

namespace {

using SliceTables = std::array<std::array<uint32_t, 256>, 16>;

constexpr SliceTables MakeSliceTables() {
  SliceTables Tables{};
  Tables[0] = Crc32Table;
  for (size_t K = 1; K < Tables.size(); ++K)
    for (size_t I = 0; I < 256; ++I) {
      const uint32_t Previous = Tables[K - 1][I];
      Tables[K][I] = (Previous >> 8) ^ Crc32Table[Previous & 0xFF];
    }
  return Tables;
}

constexpr SliceTables kSlice = MakeSliceTables();

// The contribution of the four bytes of Word when they stand First bytes
// before the end of the sixteen-byte block (First counts from 15 down).
inline uint32_t Slice4(uint32_t Word, size_t First) {
  return (kSlice[First][Word & 0xFF] ^ kSlice[First - 1][(Word >> 8) & 0xFF]) ^
         (kSlice[First - 2][(Word >> 16) & 0xFF] ^ kSlice[First - 3][Word >> 24]);
}

}  // namespace

uint32_t Crc32Slicing(uint32_t Crc, const uint8_t* Data, size_t Length) {
  while (Length >= 16) {
    // The last twelve bytes do not depend on the register: combine them first
    // so that only the first word's look-ups wait for the previous step.
    const uint32_t Rest = Slice4(GetLE32(Data + 4), 11) ^ Slice4(GetLE32(Data + 8), 7) ^ Slice4(GetLE32(Data + 12), 3);
    Crc = Slice4(GetLE32(Data) ^ Crc, 15) ^ Rest;
    Data += 16;
    Length -= 16;
  }
  while (Length-- > 0) Crc = UpdC32(*Data++, Crc);
  return Crc;
}

}  // namespace kst::crc_paths
