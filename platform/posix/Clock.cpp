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
  const time_t T = static_cast<time_t>(Seconds);
  struct tm Parts {};
  if (localtime_r(&T, &Parts) == nullptr) return false;
  Local.Year = Parts.tm_year + 1900;
  Local.Month = Parts.tm_mon + 1;
  Local.Day = Parts.tm_mday;
  Local.Hour = Parts.tm_hour;
  Local.Minute = Parts.tm_min;
  Local.Second = Parts.tm_sec > 59 ? 59 : Parts.tm_sec;
  Local.Millisecond = Millisecond;
  Local.DayOfWeek = Parts.tm_wday;
  return true;
}

}  // namespace

uint32_t TickCount() {
  struct timespec Now {};
  clock_gettime(CLOCK_MONOTONIC, &Now);
  const uint64_t Ms = static_cast<uint64_t>(Now.tv_sec) * 1000u + static_cast<uint64_t>(Now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(Ms);
}

FileTime NowAsFileTime() {
  struct timespec Now {};
  clock_gettime(CLOCK_REALTIME, &Now);
  return kUnixEpochAsFileTime + static_cast<FileTime>(Now.tv_sec) * kFileTicksPerSecond +
         static_cast<FileTime>(Now.tv_nsec) / 100u;
}

LocalTime Now() {
  LocalTime Local;
  FileTimeToLocal(NowAsFileTime(), Local);
  return Local;
}

bool FileTimeToLocal(FileTime Time, LocalTime& Local) {
  // Split into whole seconds and milliseconds relative to 1601, then shift to 1970.
  const int64_t Seconds = static_cast<int64_t>(Time / kFileTicksPerSecond) + kEarliestUnixSecond;
  const int Millisecond = static_cast<int>((Time % kFileTicksPerSecond) / 10000u);
  return UnixToLocal(Seconds, Millisecond, Local);
}

bool LocalToFileTime(const LocalTime& Local, FileTime& Time) {
  if (!IsValidLocalTime(Local)) return false;
  struct tm Parts {};
  Parts.tm_year = Local.Year - 1900;
  Parts.tm_mon = Local.Month - 1;
  Parts.tm_mday = Local.Day;
  Parts.tm_hour = Local.Hour;
  Parts.tm_min = Local.Minute;
  Parts.tm_sec = Local.Second;
  Parts.tm_isdst = -1;  // let the time-zone rules decide for that date
  Parts.tm_wday = -1;   // mktime fills it in on success; -1 alone is also a valid time
  const time_t T = mktime(&Parts);
  if (T == static_cast<time_t>(-1) && Parts.tm_wday < 0) return false;
  const int64_t Seconds = static_cast<int64_t>(T);
  if (Seconds < kEarliestUnixSecond) return false;
  Time = static_cast<FileTime>(Seconds - kEarliestUnixSecond) * kFileTicksPerSecond +
         static_cast<FileTime>(Local.Millisecond) * 10000u;
  return true;
}

}  // namespace platform
