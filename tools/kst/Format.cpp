// TDateTime counts days since 1899-12-30 with the time of day as the fraction;
// the calendar date comes from the day count by the civil-from-days rule of the
// proleptic Gregorian calendar, the time from the fraction rounded to the second.
#include "tools/kst/Format.h"

#include <cmath>
#include <cstdio>

namespace kst_tool {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Days from 0000-03-01 to 1899-12-30 in the civil-from-days count.
constexpr int64_t kDayZero = 693899;

struct TCivil {
  int64_t Year;
  unsigned Month;
  unsigned Day;
};

TCivil CivilFromDays(int64_t Days) {
  const int64_t Z = Days + kDayZero;
  const int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const unsigned DayOfEra = unsigned(Z - Era * 146097);
  const unsigned YearOfEra = (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
  const unsigned DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
  const unsigned MonthIndex = (5 * DayOfYear + 2) / 153;
  const unsigned Day = DayOfYear - (153 * MonthIndex + 2) / 5 + 1;
  const unsigned Month = MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9;
  const int64_t Year = int64_t(YearOfEra) + Era * 400 + (Month <= 2 ? 1 : 0);
  return {Year, Month, Day};
}

}  // namespace

std::string FormatDateTime(kst::TDateTime Value) {
  const int64_t Seconds = std::llround(Value * kSecondsPerDay);
  int64_t Days = Seconds / kSecondsPerDay;
  int64_t OfDay = Seconds % kSecondsPerDay;
  if (OfDay < 0) {
    OfDay += kSecondsPerDay;
    --Days;
  }
  const TCivil Date = CivilFromDays(Days);
  char Text[48];
  std::snprintf(Text, sizeof Text, "%04lld-%02u-%02u %02d:%02d:%02d", static_cast<long long>(Date.Year), Date.Month,
                Date.Day, int(OfDay / 3600), int(OfDay / 60 % 60), int(OfDay % 60));
  return Text;
}

std::string MethodName(uint16_t Method, const std::string& Fallback) {
  struct TMethod {
    uint16_t Number;
    const char* Name;
  };
  static constexpr TMethod kMethods[] = {{12, "BZip2"}, {14, "LZMA"},    {19, "LZ77"}, {93, "Zstandard"}, {95, "XZ"},
                                         {96, "JPEG"},  {97, "WavPack"}, {98, "PPMd"}, {99, "AES"}};
  for (const TMethod& M : kMethods) {
    if (M.Number == Method) return M.Name;
  }
  return Fallback;
}

std::string Hex8(uint32_t Value) {
  char Text[9];
  std::snprintf(Text, sizeof Text, "%08x", static_cast<unsigned>(Value));
  return Text;
}

}  // namespace kst_tool
