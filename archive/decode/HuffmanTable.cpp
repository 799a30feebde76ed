// Builds the Deflate decoder's lookup tables from canonical code lengths: checks
// that the set is a proper prefix code, then fills every primary slot whose low
// bits match a short code and links longer codes to sub-tables sized for the
// longest code sharing their first PrimaryBits bits.
#include "archive/decode/HuffmanTable.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "archive/decode/BitReversal.h"

namespace kst {

namespace {

constexpr unsigned MaxCodeBits = 15;

// A literal's entry holds the table's index width where other entries hold the
// code length (its drop is the code length: literals have no extra bits).
uint32_t MakeEntry(uint32_t Info, unsigned CodeBits, unsigned PrimaryBits) {
  if (Info & HtLiteral) return (Info & 0xFFFF0000u) | (PrimaryBits << 8) | CodeBits;
  return (Info & 0xFFFFF000u) | (CodeBits << 8) | (CodeBits + (Info & 0xFF));
}

uint32_t InvalidEntry(unsigned IndexBits) { return HtInvalid | (IndexBits << 8) | IndexBits; }

// Stores Entry at every slot whose low Length bits equal Index, in a table part
// of 2^Width slots starting at Base.
void Replicate(std::vector<uint32_t>& Table, size_t Base, uint32_t Index, unsigned Length, unsigned Width,
               uint32_t Entry) {
  for (uint32_t I = Index; I < (1u << Width); I += 1u << Length) Table[Base + I] = Entry;
}

}  // namespace

bool BuildHuffmanTable(const uint8_t* Lengths, unsigned Count, const uint32_t* SymbolInfo, unsigned PrimaryBits,
                       std::vector<uint32_t>& Table) {
  std::array<unsigned, MaxCodeBits + 2> LengthCount{};
  unsigned Longest = 0;
  for (unsigned S = 0; S < Count; ++S) {
    if (Lengths[S] > MaxCodeBits) return false;
    ++LengthCount[Lengths[S]];
    if (Lengths[S] > Longest) Longest = Lengths[S];
  }
  int Left = 1;
  for (unsigned L = 1; L <= MaxCodeBits; ++L) {
    Left = Left * 2 - int(LengthCount[L]);
    if (Left < 0) return false;  // over-subscribed
  }
  if (Left > 0 && Longest > 1) return false;  // incomplete
  // A complete set overwrites every slot below; otherwise unused slots stay invalid.
  if (Left > 0)
    Table.assign(size_t(1) << PrimaryBits, InvalidEntry(PrimaryBits));
  else
    Table.resize(size_t(1) << PrimaryBits);
  if (Longest == 0) return true;  // no codes: every pattern is invalid

  // Symbols in canonical order: by length, then by symbol.
  std::array<unsigned, MaxCodeBits + 2> Offset{};
  for (unsigned L = 1; L <= MaxCodeBits; ++L) Offset[L + 1] = Offset[L] + LengthCount[L];
  std::array<uint16_t, 320> Sorted;
  for (unsigned S = 0; S < Count; ++S)
    if (Lengths[S] != 0) Sorted[Offset[Lengths[S]]++] = uint16_t(S);
  const unsigned Used = Offset[MaxCodeBits];  // after the loop, Offset[L] is the end of length L

  // Codes up to PrimaryBits long, shortest first. The first 2^L slots are
  // complete for lengths up to L (each shorter code already repeated there),
  // so going one bit longer copies them once into the next 2^L slots before
  // the codes of the new length are placed.
  uint32_t* const Primary = Table.data();
  uint32_t Code = 0;  // canonical code of the next symbol, most significant bit first
  unsigned I = 0;
  size_t Filled = 1;
  for (unsigned L = 1; L <= std::min(Longest, PrimaryBits); ++L) {
    std::copy_n(Primary, Filled, Primary + Filled);
    Filled *= 2;
    for (const unsigned End = I + LengthCount[L]; I < End; ++I, ++Code)
      Primary[ReverseBits(Code, L)] = MakeEntry(SymbolInfo[Sorted[I]], L, PrimaryBits);
    Code <<= 1;
  }
  for (; Filled < (size_t(1) << PrimaryBits); Filled *= 2) std::copy_n(Primary, Filled, Primary + Filled);
  if (Longest <= PrimaryBits) return true;

  // Longer codes continue in sub-tables, one per shared first PrimaryBits bits.
  std::array<uint32_t, 320> Reversed;
  for (unsigned L = PrimaryBits + 1, J = I; L <= Longest; ++L, Code <<= 1)
    for (const unsigned End = J + LengthCount[L]; J < End; ++J, ++Code) Reversed[J] = ReverseBits(Code, L);
  const uint32_t PrimaryMask = (1u << PrimaryBits) - 1;
  size_t SubBase = 0;
  unsigned SubBits = 0;
  uint32_t SubPrefix = UINT32_MAX;
  for (; I < Used; ++I) {
    unsigned L = Lengths[Sorted[I]];
    uint32_t Info = SymbolInfo[Sorted[I]];
    uint32_t Prefix = Reversed[I] & PrimaryMask;
    if (Prefix != SubPrefix) {
      // Codes sharing a prefix are consecutive; the last one is the longest.
      unsigned Last = I;
      while (Last + 1 < Used && (Reversed[Last + 1] & PrimaryMask) == Prefix) ++Last;
      SubBits = Lengths[Sorted[Last]] - PrimaryBits;
      SubBase = Table.size();
      SubPrefix = Prefix;
      Table.resize(SubBase + (size_t(1) << SubBits), InvalidEntry(SubBits));
      Table[Prefix] = (uint32_t(SubBase) << 16) | HtLink | (SubBits << 8) | PrimaryBits;
    }
    Replicate(Table, SubBase, Reversed[I] >> PrimaryBits, L - PrimaryBits, SubBits,
              MakeEntry(Info, L - PrimaryBits, PrimaryBits));
  }
  return true;
}

}  // namespace kst
