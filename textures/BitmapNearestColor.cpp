// TNearestColor: the pruned search over the red-sorted table, the cache in front
// of it, and the plain scan used as the reference.
#include "textures/BitmapNearestColor.h"

#include <algorithm>

namespace skw {

namespace {

constexpr int kCacheBits = 12;

uint32_t SlotOf(uint32_t Key) { return (Key * 2654435761u) >> (32 - kCacheBits); }

// Whether a candidate (distance, index) beats the best so far.
bool Better(int32_t Distance, int32_t Index, int32_t BestDistance, int32_t BestIndex) {
  return Distance < BestDistance || (Distance == BestDistance && Index < BestIndex);
}

}  // namespace

TNearestColor::TNearestColor(const TColorTable& Table) : FCache(size_t{1} << kCacheBits, TSlot{0, 0}) {
  for (int32_t i = 0; i < 256; ++i) {
    const TRGBQuad& q = Table[static_cast<size_t>(i)];
    FByRed[static_cast<size_t>(i)] = TEntry{q.rgbRed, q.rgbGreen, q.rgbBlue, i};
  }
  std::stable_sort(FByRed.begin(), FByRed.end(), [](const TEntry& a, const TEntry& b) { return a.Red < b.Red; });
}

uint8_t TNearestColor::Find(uint8_t Red, uint8_t Green, uint8_t Blue) {
  const uint32_t key = (uint32_t{Red} | uint32_t{Green} << 8 | uint32_t{Blue} << 16) + 1;
  TSlot& slot = FCache[SlotOf(key)];
  if (slot.Key != key) {
    slot.Key = key;
    slot.Index = Search(Red, Green, Blue);
  }
  return slot.Index;
}

uint8_t TNearestColor::Search(int32_t Red, int32_t Green, int32_t Blue) const {
  int32_t bestDistance = 3 * 255 * 255 + 1;
  int32_t bestIndex = 256;
  auto consider = [&](const TEntry& e) {
    const int32_t dr = e.Red - Red, dg = e.Green - Green, db = e.Blue - Blue;
    const int32_t d = dr * dr + dg * dg + db * db;
    if (Better(d, e.Index, bestDistance, bestIndex)) {
      bestDistance = d;
      bestIndex = e.Index;
    }
  };
  const auto start =
      std::lower_bound(FByRed.begin(), FByRed.end(), Red, [](const TEntry& e, int32_t r) { return e.Red < r; });
  // Upwards: red grows from here on, so once its difference alone is larger
  // than the best distance no later entry can win (an equal one still can, by
  // a lower index).
  for (auto it = start; it != FByRed.end(); ++it) {
    const int32_t dr = it->Red - Red;
    if (dr * dr > bestDistance) break;
    consider(*it);
  }
  for (auto it = start; it != FByRed.begin();) {
    --it;
    const int32_t dr = Red - it->Red;
    if (dr * dr > bestDistance) break;
    consider(*it);
  }
  return static_cast<uint8_t>(bestIndex);
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
