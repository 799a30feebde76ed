// TNearestColor: finds the colour-table entry nearest to a colour, for writing
// colours into 8-bit pictures. Nearest means the smallest sum of squared
// differences of red, green and blue, the lowest index among equals. Halving
// writes every pixel of a level, so the answer must be cheap, and packs bring
// a new colour table with nearly every picture, so getting ready for a table
// must be cheap too. A search measures all 256 entries at once, sixteen per
// vector instruction on processors with AVX2 (distances summed with
// saturation in 16 bits: the least one is exact unless all of them saturate,
// and then the plain scan answers), or one by one elsewhere. Answers are
// remembered in a direct-mapped cache, since halving meets the same averages
// again and again. The entry found is always the one the plain scan gives.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "textures/Bitmap.h"

namespace skw {

class TNearestColor {
 public:
  // How a search measures the entries: the fastest way the processor offers,
  // or always the plain scan.
  enum class TSearchWay { swFastest, swPlain };

  explicit TNearestColor(const TColorTable& Table, TSearchWay Way = TSearchWay::swFastest);

  // Searches another colour table from now on; remembered answers are dropped.
  void SetTable(const TColorTable& Table);
  const TColorTable& Table() const { return FTable; }

  uint8_t Find(uint8_t Red, uint8_t Green, uint8_t Blue) {
    return Find(uint32_t{Red} | uint32_t{Green} << 8 | uint32_t{Blue} << 16);
  }
  // The same for a colour given as red | green << 8 | blue << 16.
  uint8_t Find(uint32_t Colour) {
    uint32_t& Slot = FCache[SlotOf(Colour)];
    if (Slot >> 8 != Colour)
      Slot = Colour << 8 | Search(static_cast<uint8_t>(Colour), static_cast<uint8_t>(Colour >> 8),
                                  static_cast<uint8_t>(Colour >> 16));
    return static_cast<uint8_t>(Slot);
  }

 private:
  static constexpr int kCacheBits = 13;

  // A cache slot holds a colour and its entry (colour << 8 | entry); an
  // empty slot holds a colour that never lands there.
  static uint32_t SlotOf(uint32_t Colour) { return (Colour * 2654435761u) >> (32 - kCacheBits); }
  uint8_t Search(uint8_t Red, uint8_t Green, uint8_t Blue) const;

  TColorTable FTable;
  bool FWide;  // the AVX2 search is used
  // The entries' parts, one array per part, for the vector search.
  alignas(32) std::array<uint16_t, 256> FRed{};
  alignas(32) std::array<uint16_t, 256> FGreen{};
  alignas(32) std::array<uint16_t, 256> FBlue{};
  std::vector<uint32_t> FCache;
};

// The nearest entry by a plain scan of all 256 entries; the reference the fast
// search must agree with.
uint8_t NearestColorScan(const TColorTable& Table, uint8_t Red, uint8_t Green, uint8_t Blue);

}  // namespace skw
