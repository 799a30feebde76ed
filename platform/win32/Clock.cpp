// Windows side of the time services: the system tick counter, and conversion of
// file times through the time-zone rules that apply on the date in question
// (daylight saving of that date, not of today).
#include "platform/Clock.h"

#include <windows.h>

#include "platform/win32/FileTimes.h"

namespace platform {

namespace {

LocalTime FromSystemTime(const SYSTEMTIME& System) {
  LocalTime Local;
  Local.Year = System.wYear;
  Local.Month = System.wMonth;
  Local.Day = System.wDay;
  Local.Hour = System.wHour;
  Local.Minute = System.wMinute;
  Local.Second = System.wSecond;
  Local.Millisecond = System.wMilliseconds;
  Local.DayOfWeek = System.wDayOfWeek;
  return Local;
}

}  // namespace

uint32_t TickCount() { return static_cast<uint32_t>(GetTickCount64()); }

FileTime NowAsFileTime() {
  FILETIME Native;
  GetSystemTimeAsFileTime(&Native);
  return FromNative(Native);
}

LocalTime Now() {
  SYSTEMTIME System;
  GetLocalTime(&System);
  return FromSystemTime(System);
}

bool FileTimeToLocal(FileTime Time, LocalTime& Local) {
  const FILETIME Native = ToNative(Time);
  SYSTEMTIME Utc;
  SYSTEMTIME LocalSystem;
  if (!FileTimeToSystemTime(&Native, &Utc)) return false;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &Utc, &LocalSystem)) return false;
  Local = FromSystemTime(LocalSystem);
  return true;
}

bool LocalToFileTime(const LocalTime& Local, FileTime& Time) {
  if (!IsValidLocalTime(Local)) return false;
  SYSTEMTIME LocalSystem{};
  LocalSystem.wYear = static_cast<WORD>(Local.Year);
  LocalSystem.wMonth = static_cast<WORD>(Local.Month);
  LocalSystem.wDay = static_cast<WORD>(Local.Day);
  LocalSystem.wHour = static_cast<WORD>(Local.Hour);
  LocalSystem.wMinute = static_cast<WORD>(Local.Minute);
  LocalSystem.wSecond = static_cast<WORD>(Local.Second);
  LocalSystem.wMilliseconds = static_cast<WORD>(Local.Millisecond);
  SYSTEMTIME Utc;
  FILETIME Native;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &LocalSystem, &Utc)) return false;
  if (!SystemTimeToFileTime(&Utc, &Native)) return false;
  Time = FromNative(Native);
  return true;
}

}  // namespace platform
