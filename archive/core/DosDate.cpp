// Conversion of DOS date-time stamps to day numbers. The fields are reduced the
// way the library always has (month mod 13, hour mod 25, minute and second mod 61)
// and then checked, so an out-of-range field gives the 1980 default instead of a
// date in another month. The day number comes from the proleptic Gregorian
// calendar, counted from 1899-12-30.
#include "archive/core/DosDate.h"

namespace kst {
namespace {

bool IsLeapYear(int Year) { return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0; }

int DaysInMonth(int Year, int Month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return (Month == 2 && IsLeapYear(Year)) ? 29 : kDays[Month - 1];
}

// Days from 1899-12-30 to the given date (valid, year 1980 or later).
int DayNumber(int Year, int Month, int Day) {
  int Days = 0;
  for (int Y = 1900; Y < Year; ++Y) Days += IsLeapYear(Y) ? 366 : 365;
  for (int M = 1; M < Month; ++M) Days += DaysInMonth(Year, M);
  return Days + Day + 1;  // 1900-01-01 is day 2
}

}  // namespace

TDateTime kstConvertDate(uint32_t DosDateTime) {
  if (DosDateTime == 0) return DosEpochDateTime;
  const uint32_t Date = DosDateTime >> 16;
  const uint32_t Time = DosDateTime & 0xFFFF;
  const int Year = static_cast<int>(Date >> 9) + 1980;
  const int Month = static_cast<int>((Date >> 5) & 15) % 13;
  const int Day = static_cast<int>(Date & 31);
  const int Hour = static_cast<int>(Time >> 11) % 25;
  const int Minute = static_cast<int>((Time >> 5) & 63) % 61;
  const int Second = static_cast<int>((Time & 31) * 2) % 61;
  if (Month == 0 || Day == 0 || Day > DaysInMonth(Year, Month)) return DosEpochDateTime;
  if (Hour >= 24 || Minute >= 60 || Second >= 60) return DosEpochDateTime;
  const double Seconds = Hour * 3600.0 + Minute * 60.0 + Second;
  return DayNumber(Year, Month, Day) + Seconds / 86400.0;
}

uint32_t SwapWords(uint32_t X) { return (X << 16) | (X >> 16); }

}  // namespace kst
