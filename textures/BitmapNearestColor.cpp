// TNearestColor: the entries of distinct colours, the candidate list of a cell
// built on its first use, and the plain scan used as the reference.
#include "textures/BitmapNearestColor.h"

#include <algorithm>

namespace skw {

namespace {

// Least and greatest squared distance along one part from Value to the cell
// side [Low, Low + 15].
inline int32_t LeastPart(int32_t Value, int32_t Low) {
  const int32_t D = Value < Low ? Low - Value : (Value > Low + 15 ? Value - Low - 15 : 0);
  return D * D;
}
inline int32_t GreatestPart(int32_t Value, int32_t Low) {
  const int32_t D = std::max(Value - Low, Low + 15 - Value);
  return D * D;
}

}  // namespace

TNearestColor::TNearestColor(const TColorTable& Table) : FCache(size_t{1} << kCacheBits, 0) {
  // Colour 0 lands in slot 0 only; colour 1 elsewhere.
  static_assert(((1u * 2654435761u) >> (32 - kCacheBits)) != 0);
  FCache[0] = 1u << 8;
  FCells.fill(kUnbuilt);
  for (size_t I = 0; I < 256; ++I) {
    FRed[I] = Table[I].rgbRed;
    FGreen[I] = Table[I].rgbGreen;
    FBlue[I] = Table[I].rgbBlue;
    bool Repeated = false;
    for (const uint8_t Earlier : FDistinct)
      Repeated = Repeated || (FRed[Earlier] == FRed[I] && FGreen[Earlier] == FGreen[I] && FBlue[Earlier] == FBlue[I]);
    if (!Repeated) FDistinct.push_back(static_cast<uint8_t>(I));
  }
}

void TNearestColor::Build(uint32_t Cell) {
  const int32_t Red = static_cast<int32_t>(Cell >> 8 & 15) * 16;
  const int32_t Green = static_cast<int32_t>(Cell >> 4 & 15) * 16;
  const int32_t Blue = static_cast<int32_t>(Cell & 15) * 16;
  // No colour of the cell is farther than Bound from its nearest entry.
  int32_t Bound = 3 * 255 * 255 + 1;
  for (const uint8_t E : FDistinct)
    Bound = std::min(Bound, GreatestPart(FRed[E], Red) + GreatestPart(FGreen[E], Green) + GreatestPart(FBlue[E], Blue));
  const size_t First = FCandidates.size();
  for (const uint8_t E : FDistinct)
    if (LeastPart(FRed[E], Red) + LeastPart(FGreen[E], Green) + LeastPart(FBlue[E], Blue) <= Bound)
      FCandidates.push_back(E);
  FCells[Cell] = static_cast<uint32_t>(First) << kCountBits | static_cast<uint32_t>(FCandidates.size() - First);
}

uint8_t NearestColorScan(const TColorTable& Table, uint8_t Red, uint8_t Green, uint8_t Blue) {
  int32_t bestDistance = 3 * 255 * 255 + 1;
  int32_t bestIndex = 0;
  for (int32_t i = 0; i < 256; ++i) {
    const TRGBQuad& q = Table[static_cast<size_t>(i)];
    const int32_t dr = q.rgbRed - Red, dg = q.rgbGreen - Green, db = q.rgbBlue - Blue;
    const int32_t d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      bestIndex = i;
    }
  }
  return static_cast<uint8_t>(bestIndex);
}

}  // namespace skw
