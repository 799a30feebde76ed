// Lookup tables for the Deflate decoder's prefix codes. A code set is given as
// one bit length per symbol; the table is indexed by the next input bits (least
// significant first) and answers, in one 32-bit entry, what the symbol means and
// how many bits to drop. Lengths and distances carry their base value and the
// count of extra bits folded into the entry, so one lookup yields the bits to
// consume for code and extra bits together. Codes longer than the primary index
// continue in sub-tables appended behind the primary part of the same vector.
#pragma once
#include <cstdint>
#include <vector>

namespace kst {

// Entry layout: bits 0-7 bits to drop (code + extra bits), bits 8-11 the code's
// own length (for a link: the sub-table's index width), bits 12-14 flags,
// bits 16-30 value (literal byte, length or distance base, sub-table offset).
// A literal has no extra bits, so its drop is its code length; bits 8-15 hold
// the table's primary index width instead, which makes the low 16 bits a
// bit-field selector: from the bits before the drop they pick the next
// symbol's primary index (one BEXTR in the decoder's fast loop).
constexpr uint32_t HtLiteral = 0x80000000u;  // value is a literal byte (or code length symbol)
constexpr uint32_t HtEnd = 0x4000;           // end of block
constexpr uint32_t HtLink = 0x2000;          // value is the offset of a sub-table
constexpr uint32_t HtInvalid = 0x1000;       // no valid symbol has this code

inline uint32_t HtDrop(uint32_t E) { return E & 0xFF; }
inline uint32_t HtCodeBits(uint32_t E) { return (E >> 8) & 0xF; }
inline uint32_t HtValue(uint32_t E) { return (E >> 16) & 0x7FFF; }

// What a symbol stands for, before its code length is known: value << 16,
// flags, and the number of extra bits in the low byte.
inline constexpr uint32_t HtSymbol(uint32_t Value, uint32_t Flags, uint32_t Extra = 0) {
  return (Value << 16) | Flags | Extra;
}

// Builds Table for Count symbols with the given code Lengths (0 = unused) and
// meanings SymbolInfo, indexing PrimaryBits bits in the first level. Answers
// false for an over-subscribed set, or an incomplete one unless its longest
// code has length 1 (a lone code) or it has no codes at all; unused bit
// patterns decode as HtInvalid. May throw std::bad_alloc.
bool BuildHuffmanTable(const uint8_t* Lengths, unsigned Count, const uint32_t* SymbolInfo, unsigned PrimaryBits,
                       std::vector<uint32_t>& Table);

}  // namespace kst
