// The one bounds check of the readers: whether Count bytes starting at At lie
// within a buffer, record or file of Size bytes. It never forms At + Count, so
// offsets and lengths read from hostile input cannot wrap around and pass; every
// reader asks this before it touches the bytes and turns a "no" into its own
// answer (a refused record, the library's error, an invalid picture).
#pragma once
#include <cstdint>

namespace kst {

constexpr bool InBounds(uint64_t At, uint64_t Count, uint64_t Size) { return At <= Size && Count <= Size - At; }

}  // namespace kst
