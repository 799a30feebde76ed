// TNearestColor: finds the colour-table entry nearest to a colour, for writing
// colours into 8-bit pictures. Nearest means the smallest sum of squared
// differences of red, green and blue, the lowest index among equals. Halving
// writes every pixel of a level, so the answer must be cheap: the colour cube
// is cut into 16 x 16 x 16 cells, and each cell, on its first use, gets the
// short list of entries that can be nearest to some colour inside it (those
// whose least distance to the cell is not above the smallest greatest distance
// of any entry); a colour is then compared with its cell's list only. Entries
// repeating an earlier entry's colour never win and are left out. Answers are
// also remembered in a direct-mapped cache, since halving meets the same
// averages again and again. The entry found is always the one a full scan of
// the 256 entries would give.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "textures/Bitmap.h"

namespace skw {

class TNearestColor {
 public:
  explicit TNearestColor(const TColorTable& Table);

  uint8_t Find(uint8_t Red, uint8_t Green, uint8_t Blue) {
    const uint32_t Colour = uint32_t{Red} | uint32_t{Green} << 8 | uint32_t{Blue} << 16;
    uint32_t& Slot = FCache[SlotOf(Colour)];
    if (Slot >> 8 != Colour) Slot = Colour << 8 | Search(Red, Green, Blue);
    return static_cast<uint8_t>(Slot);
  }

 private:
  static constexpr uint32_t kCountBits = 9;
  static constexpr uint32_t kCountMask = (1u << kCountBits) - 1;
  static constexpr uint32_t kUnbuilt = 0xFFFFFFFFu;
  static constexpr int kCacheBits = 13;

  // A cache slot holds a colour and its entry (colour << 8 | entry); an
  // empty slot holds a colour that never lands there.
  static uint32_t SlotOf(uint32_t Colour) { return (Colour * 2654435761u) >> (32 - kCacheBits); }

  uint8_t Search(uint8_t Red, uint8_t Green, uint8_t Blue) {
    const uint32_t Cell = CellOf(Red, Green, Blue);
    if (FCells[Cell] == kUnbuilt) Build(Cell);
    const uint32_t First = FCells[Cell] >> kCountBits;
    const uint32_t Count = FCells[Cell] & kCountMask;
    const uint8_t* Candidate = FCandidates.data() + First;
    uint8_t Best = Candidate[0];
    int32_t BestDistance = Distance(Best, Red, Green, Blue);
    for (uint32_t I = 1; I < Count; ++I) {
      const int32_t D = Distance(Candidate[I], Red, Green, Blue);
      if (D < BestDistance) {  // candidates ascend by index: equals keep the first
        BestDistance = D;
        Best = Candidate[I];
      }
    }
    return Best;
  }

  static uint32_t CellOf(uint8_t Red, uint8_t Green, uint8_t Blue) {
    return uint32_t{Red} >> 4 << 8 | uint32_t{Green} >> 4 << 4 | uint32_t{Blue} >> 4;
  }
  int32_t Distance(uint8_t Entry, int32_t Red, int32_t Green, int32_t Blue) const {
    const int32_t Dr = FRed[Entry] - Red, Dg = FGreen[Entry] - Green, Db = FBlue[Entry] - Blue;
    return Dr * Dr + Dg * Dg + Db * Db;
  }
  void Build(uint32_t Cell);

  std::array<int32_t, 256> FRed{}, FGreen{}, FBlue{};
  std::vector<uint8_t> FDistinct;    // indexes of the first entry of each colour
  std::array<uint32_t, 4096> FCells;  // first candidate << kCountBits | count
  std::vector<uint8_t> FCandidates;
  std::vector<uint32_t> FCache;
};

// The nearest entry by a plain scan of all 256 entries; the reference the fast
// search must agree with.
uint8_t NearestColorScan(const TColorTable& Table, uint8_t Red, uint8_t Green, uint8_t Blue);

}  // namespace skw
