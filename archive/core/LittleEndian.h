// Little-endian reads of the numbers stored in archives and other files: one
// definition for the library, its records and its checks, so every reader
// assembles bytes the same way. The caller has checked that the bytes exist.
#pragma once
#include <cstdint>

namespace kst {

constexpr uint16_t GetLE16(const uint8_t* P) { return uint16_t(P[0] | P[1] << 8); }
constexpr uint32_t GetLE32(const uint8_t* P) { return uint32_t(GetLE16(P)) | uint32_t(GetLE16(P + 2)) << 16; }
constexpr uint64_t GetLE64(const uint8_t* P) { return uint64_t(GetLE32(P)) | uint64_t(GetLE32(P + 4)) << 32; }

}  // namespace kst
