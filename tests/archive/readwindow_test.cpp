// The read window over a short in-memory "file": which requests it serves from
// what it holds, which refill it, and how it answers at the end of the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/io/ReadWindow.h"

namespace {

TEST(ReadWindow, ServesRefillsAndStopsAtTheEnd) {
  std::vector<uint8_t> File(100);
  for (size_t I = 0; I < File.size(); ++I) File[I] = uint8_t(I);
  int Fills = 0;
  const auto Fill = [&](uint64_t At, uint8_t* Into, uint32_t Size) {
    ++Fills;
    const uint32_t Got = At < File.size() ? uint32_t(std::min<uint64_t>(Size, File.size() - At)) : 0;
    if (Got > 0) std::memcpy(Into, File.data() + At, Got);
    return Got;
  };
  kst::TReadWindow Window(32);
  const struct {
    uint64_t Offset;
    uint32_t Count;
    bool Read;
    int FillsAfter;
  } Cases[] = {
      {0, 4, true, 1},     // first request fills [0, 32)
      {28, 4, true, 1},    // the window's last bytes
      {30, 4, true, 2},    // runs past the window: refill from 30
      {20, 4, true, 3},    // before the window: refill from 20
      {40, 60, true, 4},   // larger than the window: refill with all of it
      {96, 8, false, 5},   // past the end of the file
      {100, 0, true, 5},   // nothing, at the very end: still held
      {200, 1, false, 6},  // beyond the file
  };
  for (const auto& C : Cases) {
    std::vector<uint8_t> Got(C.Count);
    EXPECT_EQ(Window.Read(C.Offset, Got.data(), C.Count, Fill), C.Read) << C.Offset;
    EXPECT_EQ(Fills, C.FillsAfter) << C.Offset;
    if (C.Read && C.Count > 0) {
      EXPECT_EQ(Got.front(), uint8_t(C.Offset)) << C.Offset;
    }
  }
  uint32_t Available = 0;
  const uint8_t* Tail = Window.View(90, 20, Available, Fill);
  EXPECT_EQ(Available, 10u);
  EXPECT_EQ(Tail[9], 99);
}

}  // namespace
