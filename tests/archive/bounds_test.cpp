// The readers' bounds check: spans at the edges of a buffer, and offsets and
// lengths so large that their sum would wrap around and look small.
#include <gtest/gtest.h>

#include <cstdint>

#include "archive/core/Bounds.h"

namespace {

TEST(InBounds, EdgesAndWrapAround) {
  constexpr uint64_t kMax = UINT64_MAX;
  const struct {
    uint64_t At, Count, Size;
    bool Inside;
  } Cases[] = {
      {0, 0, 0, true},           {0, 4, 4, true},
      {4, 0, 4, true},           {1, 4, 4, false},
      {5, 0, 4, false},          {3, 2, 4, false},
      {1, kMax, 16, false},      {kMax, 2, 16, false},
      {8, kMax - 4, 16, false},  {0xFFFFFFF0u, 0x20, 0xFFFFFFFFu, false},
      {kMax - 1, 1, kMax, true},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(kst::InBounds(C.At, C.Count, C.Size), C.Inside) << C.At << " + " << C.Count << " in " << C.Size;
}

}  // namespace
