// Percentages for progress reports and the unsigned 32-bit minimum and maximum
// the size arithmetic of the library uses.
#pragma once
#include <cstdint>

namespace kst {

// Done * 100 / Total rounded to the nearest integer (halves to even), 0 when Total
// is 0 or the quotient is negative, at most 100.
int32_t CalcProgress(int64_t Done, int64_t Total);

inline uint32_t Min(uint32_t A, uint32_t B) { return A < B ? A : B; }
inline uint32_t Max(uint32_t A, uint32_t B) { return A > B ? A : B; }

}  // namespace kst
