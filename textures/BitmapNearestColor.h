// TNearestColor: finds the colour-table entry nearest to a colour, for writing
// colours into 8-bit pictures. Nearest means the smallest sum of squared
// differences of red, green and blue, the lowest index among equals. Halving
// writes every pixel of a level, so the answer must be cheap: entries are kept
// sorted by red, and the search walks outwards from the colour's red value and
// stops on each side once the red difference alone exceeds the best distance
// found; answers are also remembered in a small direct-mapped cache, since a
// picture repeats its colours. Both only speed the search up: the entry found is
// always the one a full scan of the 256 entries would give.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "textures/Bitmap.h"

namespace skw {

class TNearestColor {
 public:
  explicit TNearestColor(const TColorTable& Table);

  uint8_t Find(uint8_t Red, uint8_t Green, uint8_t Blue);

 private:
  struct TEntry {
    int32_t Red;
    int32_t Green;
    int32_t Blue;
    int32_t Index;
  };
  struct TSlot {
    uint32_t Key;  // colour + 1; 0 marks an empty slot
    uint8_t Index;
  };

  uint8_t Search(int32_t Red, int32_t Green, int32_t Blue) const;

  std::array<TEntry, 256> FByRed;
  std::vector<TSlot> FCache;
};

// The nearest entry by a plain scan of all 256 entries; the reference the fast
// search must agree with.
uint8_t NearestColorScan(const TColorTable& Table, uint8_t Red, uint8_t Green, uint8_t Blue);

}  // namespace skw
