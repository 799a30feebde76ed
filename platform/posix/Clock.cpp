// Linux side of the time services: the monotonic clock for the tick counter and
// the C library's local-time rules (time zone and daylight saving of the date in
// question) for converting file times to and from broken-down local times.
#include "platform/Clock.h"

#include <ctime>

namespace platform {

namespace {

// Seconds from 1601 to 1970: the smallest Unix time a file time can hold.
constexpr int64_t kEarliestUnixSecond = -static_cast<int64_t>(kUnixEpochAsFileTime / kFileTicksPerSecond);

bool UnixToLocal(int64_t Seconds, int Millisecond, LocalTime& Local) {
  const time_t t = static_cast<time_t>(Seconds);
  struct tm parts {};
  if (localtime_r(&t, &parts) == nullptr) return false;
  Local.Year = parts.tm_year + 1900;
  Local.Month = parts.tm_mon + 1;
  Local.Day = parts.tm_mday;
  Local.Hour = parts.tm_hour;
  Local.Minute = parts.tm_min;
  Local.Second = parts.tm_sec > 59 ? 59 : parts.tm_sec;
  Local.Millisecond = Millisecond;
  Local.DayOfWeek = parts.tm_wday;
  return true;
}

}  // namespace

uint32_t TickCount() {
  struct timespec now {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

FileTime NowAsFileTime() {
  struct timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  return kUnixEpochAsFileTime + static_cast<FileTime>(now.tv_sec) * kFileTicksPerSecond +
         static_cast<FileTime>(now.tv_nsec) / 100u;
}

LocalTime Now() {
  LocalTime local;
  FileTimeToLocal(NowAsFileTime(), local);
  return local;
}

bool FileTimeToLocal(FileTime Time, LocalTime& Local) {
  // Split into whole seconds and milliseconds relative to 1601, then shift to 1970.
  const int64_t seconds = static_cast<int64_t>(Time / kFileTicksPerSecond) + kEarliestUnixSecond;
  const int millisecond = static_cast<int>((Time % kFileTicksPerSecond) / 10000u);
  return UnixToLocal(seconds, millisecond, Local);
}

bool LocalToFileTime(const LocalTime& Local, FileTime& Time) {
  if (!IsValidLocalTime(Local)) return false;
  struct tm parts {};
  parts.tm_year = Local.Year - 1900;
  parts.tm_mon = Local.Month - 1;
  parts.tm_mday = Local.Day;
  parts.tm_hour = Local.Hour;
  parts.tm_min = Local.Minute;
  parts.tm_sec = Local.Second;
  parts.tm_isdst = -1;  // let the time-zone rules decide for that date
  parts.tm_wday = -1;   // mktime fills it in on success; -1 alone is also a valid time
  const time_t t = mktime(&parts);
  if (t == static_cast<time_t>(-1) && parts.tm_wday < 0) return false;
  const int64_t seconds = static_cast<int64_t>(t);
  if (seconds < kEarliestUnixSecond) return false;
  Time = static_cast<FileTime>(seconds - kEarliestUnixSecond) * kFileTicksPerSecond +
         static_cast<FileTime>(Local.Millisecond) * 10000u;
  return true;
}

}  // namespace platform
