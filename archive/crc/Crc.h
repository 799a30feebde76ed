// The archive library's checksums: the reflected CRC-32 of ZIP (polynomial
// 0xEDB88320) and the reflected CRC-16/ARC (polynomial 0xA001). Both tables are
// built by the compiler, so nothing is initialised at run time. UpdC32 is the
// defining byte step; Crc32_buf gives exactly the same register as that step
// applied to every byte, but takes many bytes per step (table slicing, or
// carry-less multiplication, two lanes at a time where the processor can). Callers start the
// register themselves (CRC_MASK for CRC-32) and invert it at the end when they
// need the stored form; none of these routines do either.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/File.h"

namespace kst {

// Initial value of a CRC-32 register.
inline constexpr uint32_t CRC_MASK = 0xFFFFFFFF;

namespace crc_tables {

constexpr std::array<uint32_t, 256> MakeCrc32Table() {
  std::array<uint32_t, 256> Table{};
  for (uint32_t I = 0; I < 256; ++I) {
    uint32_t Value = I;
    for (int Bit = 0; Bit < 8; ++Bit) Value = (Value & 1) ? (Value >> 1) ^ 0xEDB88320u : Value >> 1;
    Table[I] = Value;
  }
  return Table;
}

constexpr std::array<uint16_t, 256> MakeCrc16Table() {
  std::array<uint16_t, 256> Table{};
  for (uint32_t I = 0; I < 256; ++I) {
    uint32_t Value = I;
    for (int Bit = 0; Bit < 8; ++Bit) Value = (Value & 1) ? (Value >> 1) ^ 0xA001u : Value >> 1;
    Table[I] = static_cast<uint16_t>(Value);
  }
  return Table;
}

}  // namespace crc_tables

inline constexpr std::array<uint32_t, 256> Crc32Table = crc_tables::MakeCrc32Table();
inline constexpr std::array<uint16_t, 256> Crc16Table = crc_tables::MakeCrc16Table();

// One CRC-32 step: the register after feeding it the byte Octet.
constexpr uint32_t UpdC32(uint8_t Octet, uint32_t Crc) { return Crc32Table[(Crc ^ Octet) & 0xFF] ^ (Crc >> 8); }

// One CRC-16 step, the same shape with the CRC-16 table.
constexpr uint16_t UpdC16(uint8_t Octet, uint16_t Crc) {
  return static_cast<uint16_t>(Crc16Table[(Crc ^ Octet) & 0xFF] ^ (Crc >> 8));
}

// Feeds Length bytes of Buffer into the register Crc; a Length of 0 or less
// (or a null Buffer) leaves it unchanged.
void Crc32_buf(const void* Buffer, int64_t Length, uint32_t& Crc);
void Crc16_buf(const void* Buffer, int64_t Length, uint16_t& Crc);

// The CRC-32 register (started at CRC_MASK, not inverted) over the whole file
// behind Handle, read from its start in blocks of at most 100000 bytes. A
// failed read gives CRC_MASK. The file is left positioned at 0.
uint32_t CalcFileCRC(platform::FileHandle Handle);

// The separate ways of computing CRC-32 behind Crc32_buf, open to the tests and
// the benchmarks so that each can be checked against the byte step.
namespace crc_paths {

// Portable: sixteen bytes per step through sixteen derived tables.
uint32_t Crc32Slicing(uint32_t Crc, const uint8_t* Data, size_t Length);
// True when the processor can run Crc32Clmul.
bool ClmulAvailable();
// Carry-less multiplication folding, 64 bytes per step; any Length. Call only
// when ClmulAvailable() answers true.
uint32_t Crc32Clmul(uint32_t Crc, const uint8_t* Data, size_t Length);
// True when the processor (and the operating system) can run Crc32ClmulWide.
bool WideClmulAvailable();
// The same folding two 128-bit lanes at a time, 128 bytes per step; any
// Length. Call only when WideClmulAvailable() answers true.
uint32_t Crc32ClmulWide(uint32_t Crc, const uint8_t* Data, size_t Length);

}  // namespace crc_paths

}  // namespace kst
