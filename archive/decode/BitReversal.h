// Turning a code around: the Huffman and Shannon-Fano coders of the decoders
// write codes most significant bit first, while the input delivers bits least
// significant first, so every code of a table is reversed once as the table is
// built. A byte at a time, through a table made at compile time.
#pragma once
#include <cstdint>

namespace kst {

struct TByteReversal {
  uint8_t Of[256] = {};
  constexpr TByteReversal() {
    for (unsigned B = 0; B < 256; ++B)
      for (unsigned Bit = 0; Bit < 8; ++Bit)
        if (B & (1u << Bit)) Of[B] |= uint8_t(0x80u >> Bit);
  }
};
inline constexpr TByteReversal kByteReversal;

// The low Length bits of Code (Length 1 to 16) in the opposite order.
inline uint32_t ReverseBits(uint32_t Code, unsigned Length) {
  const uint32_t Reversed16 = (uint32_t(kByteReversal.Of[Code & 0xFF]) << 8) | kByteReversal.Of[(Code >> 8) & 0xFF];
  return Reversed16 >> (16 - Length);
}

}  // namespace kst
