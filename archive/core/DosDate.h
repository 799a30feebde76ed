// DOS date-time stamps as archives store them: the date in the high 16 bits
// (years since 1980, month, day) and the time in the low 16 bits (hours, minutes,
// two-second units). TDateTime counts days since 1899-12-30 with the time of day
// as the fraction, so 29221.0 is 1980-01-01 00:00, the value every invalid stamp
// turns into.
#pragma once
#include <cstdint>

namespace kst {

using TDateTime = double;

// 1980-01-01 00:00, the date of an invalid or missing stamp.
inline constexpr TDateTime DosEpochDateTime = 29221.0;

// The stamp as a TDateTime; 0 and every invalid date or time give 29221.0.
TDateTime kstConvertDate(uint32_t DosDateTime);

// X with its two 16-bit halves exchanged (for formats that store time and date
// the other way round).
uint32_t SwapWords(uint32_t X);

}  // namespace kst
