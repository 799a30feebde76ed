// Live bytes of the C and C++ heap and their high-water mark, for benchmarks
// that report peak memory exactly rather than through resident pages (which
// also count code faulted in and heap space freed earlier and reused).
// Available where HeapPeak.cpp is linked in: it wraps the C allocator.
#pragma once
#include <cstdint>

namespace skwbench {

// Bytes allocated and not yet freed, as the allocator counts them.
int64_t LiveBytes();
// The most LiveBytes has been since the last ResetPeak.
int64_t PeakBytes();
void ResetPeak();

}  // namespace skwbench
