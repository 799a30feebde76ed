// DeflateBits: the test kit's Deflate bit writer. It writes streams bit by bit:
// plain fields least significant bit first, Huffman codes most significant bit
// first, and the fixed code's literal/length and distance symbols, so a test
// can spell out a block that lies in exactly one place.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace skwtest {

class DeflateBits {
 public:
  DeflateBits& Put(uint32_t Value, int Bits) {
    for (int I = 0; I < Bits; ++I) PutBit((Value >> I) & 1);
    return *this;
  }
  DeflateBits& PutCode(uint32_t Code, int Bits) {
    for (int I = Bits - 1; I >= 0; --I) PutBit((Code >> I) & 1);
    return *this;
  }
  // A literal/length symbol (0-287) of the fixed code.
  DeflateBits& Fixed(uint32_t Symbol) {
    if (Symbol < 144) return PutCode(0x30 + Symbol, 8);
    if (Symbol < 256) return PutCode(0x190 + Symbol - 144, 9);
    if (Symbol < 280) return PutCode(Symbol - 256, 7);
    return PutCode(0xC0 + Symbol - 280, 8);
  }
  // A distance symbol (0-29) of the fixed code.
  DeflateBits& FixedDistance(uint32_t Symbol) { return PutCode(Symbol, 5); }
  // Block header: final flag and type.
  DeflateBits& Header(bool Final, uint32_t Type) { return Put(Final ? 1 : 0, 1).Put(Type, 2); }
  // Fills the current byte with zero bits (before a stored block's lengths).
  DeflateBits& Align() {
    while (FUsed != 0) PutBit(0);
    return *this;
  }
  DeflateBits& PutByte(uint8_t Byte) { return Put(Byte, 8); }
  std::vector<uint8_t> Bytes() const { return FBytes; }
  // The stream written so far, handed over.
  std::vector<uint8_t> Take() {
    Align();
    return std::move(FBytes);
  }

 private:
  void PutBit(uint32_t Bit) {
    if (FUsed == 0) FBytes.push_back(0);
    FBytes.back() = uint8_t(FBytes.back() | (Bit << FUsed));
    FUsed = (FUsed + 1) & 7;
  }
  std::vector<uint8_t> FBytes;
  int FUsed = 0;
};

// A fixed block: one zero byte, then Matches matches of 258 bytes at distance 1.
inline std::vector<uint8_t> ZeroBomb(uint32_t Matches) {
  DeflateBits Bits;
  Bits.Header(true, 1).Fixed(0);
  for (uint32_t I = 0; I < Matches; ++I) Bits.Fixed(285).FixedDistance(0);
  Bits.Fixed(256);
  return Bits.Bytes();
}

}  // namespace skwtest
