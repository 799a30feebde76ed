// Windows side of the time services: the system tick counter, and conversion of
// file times through the time-zone rules that apply on the date in question
// (daylight saving of that date, not of today).
#include "platform/Clock.h"

#include <windows.h>

#include "platform/win32/FileTimes.h"

namespace platform {

namespace {

LocalTime FromSystemTime(const SYSTEMTIME& System) {
  LocalTime local;
  local.Year = System.wYear;
  local.Month = System.wMonth;
  local.Day = System.wDay;
  local.Hour = System.wHour;
  local.Minute = System.wMinute;
  local.Second = System.wSecond;
  local.Millisecond = System.wMilliseconds;
  local.DayOfWeek = System.wDayOfWeek;
  return local;
}

}  // namespace

uint32_t TickCount() { return static_cast<uint32_t>(GetTickCount64()); }

FileTime NowAsFileTime() {
  FILETIME native;
  GetSystemTimeAsFileTime(&native);
  return FromNative(native);
}

LocalTime Now() {
  SYSTEMTIME system;
  GetLocalTime(&system);
  return FromSystemTime(system);
}

bool FileTimeToLocal(FileTime Time, LocalTime& Local) {
  const FILETIME native = ToNative(Time);
  SYSTEMTIME utc;
  SYSTEMTIME local;
  if (!FileTimeToSystemTime(&native, &utc)) return false;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
  Local = FromSystemTime(local);
  return true;
}

bool LocalToFileTime(const LocalTime& Local, FileTime& Time) {
  if (!IsValidLocalTime(Local)) return false;
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(Local.Year);
  local.wMonth = static_cast<WORD>(Local.Month);
  local.wDay = static_cast<WORD>(Local.Day);
  local.wHour = static_cast<WORD>(Local.Hour);
  local.wMinute = static_cast<WORD>(Local.Minute);
  local.wSecond = static_cast<WORD>(Local.Second);
  local.wMilliseconds = static_cast<WORD>(Local.Millisecond);
  SYSTEMTIME utc;
  FILETIME native;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) return false;
  if (!SystemTimeToFileTime(&utc, &native)) return false;
  Time = FromNative(native);
  return true;
}

}  // namespace platform
