// Time services: a monotonic millisecond tick counter for measuring durations,
// the local time of day, and conversion between file times and local broken-down
// times (the form DOS date-time stamps are built from). A file time counts
// 100-nanosecond intervals since 1601-01-01 00:00 UTC on every platform, so the
// library can store and compare it without knowing which side produced it.
#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start; never goes back (wraps after ~49 days).
uint32_t TickCount();

// 100-nanosecond intervals since 1601-01-01 00:00 UTC.
using FileTime = uint64_t;

// Difference between the file-time epoch (1601) and the Unix epoch (1970).
inline constexpr FileTime kUnixEpochAsFileTime = 116444736000000000ULL;
inline constexpr FileTime kFileTicksPerSecond = 10000000ULL;

// A local calendar time. Month 1-12, Day 1-31, DayOfWeek 0 = Sunday.
struct LocalTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  int DayOfWeek = 0;
};

// True when Local names a real calendar time between 1601 and 30827 (month
// lengths and leap years checked; DayOfWeek is not looked at).
bool IsValidLocalTime(const LocalTime& Local);

// The current local time.
LocalTime Now();
// The current time as a file time.
FileTime NowAsFileTime();
// File time to local time; false when the time cannot be represented.
bool FileTimeToLocal(FileTime Time, LocalTime& Local);
// Local time to file time (DayOfWeek is ignored); false for an invalid date.
bool LocalToFileTime(const LocalTime& Local, FileTime& Time);

}  // namespace platform
