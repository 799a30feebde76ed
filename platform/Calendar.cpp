// Calendar checks shared by both sides of the time services, so that a date the
// system would quietly roll over (31 April, 29 February of a common year) is
// refused the same way everywhere.
#include "platform/Clock.h"

namespace platform {

namespace {

bool IsLeapYear(int Year) { return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0; }

int DaysInMonth(int Year, int Month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return Month == 2 && IsLeapYear(Year) ? 29 : kDays[Month - 1];
}

}  // namespace

bool IsValidLocalTime(const LocalTime& Local) {
  if (Local.Year < 1601 || Local.Year > 30827 || Local.Month < 1 || Local.Month > 12) return false;
  if (Local.Day < 1 || Local.Day > DaysInMonth(Local.Year, Local.Month)) return false;
  return Local.Hour >= 0 && Local.Hour <= 23 && Local.Minute >= 0 && Local.Minute <= 59 && Local.Second >= 0 &&
         Local.Second <= 59 && Local.Millisecond >= 0 && Local.Millisecond <= 999;
}

}  // namespace platform
