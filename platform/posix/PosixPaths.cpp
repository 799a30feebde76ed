// Linux helpers behind the file services: attributes from stat records, time
// conversions and Windows-style name matching (see PosixPaths.h).
#include "platform/posix/PosixPaths.h"

#include "platform/NoCase.h"

namespace platform::posix {

namespace {

// Iterative matcher with one backtrack point: the last "*" seen.
bool MatchFrom(const std::string& Name, const std::string& Pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starP = std::string::npos;
  size_t starN = 0;
  while (n < Name.size()) {
    if (p < Pattern.size() && Pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < Pattern.size() && (Pattern[p] == '?' || SameLetterNoCase(Pattern[p], Name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < Pattern.size() && Pattern[p] == '*') ++p;
  return p == Pattern.size();
}

}  // namespace

uint32_t AttributesOf(const struct stat& St, const std::string& Name) {
  uint32_t attributes = S_ISDIR(St.st_mode) ? 0x10u : 0x20u;
  if ((St.st_mode & S_IWUSR) == 0) attributes |= 0x01u;
  if (Name.size() > 1 && Name[0] == '.' && Name != "..") attributes |= 0x02u;
  return attributes;
}

namespace {

bool IsReadOnlyStatus(const struct stat& St) { return !S_ISDIR(St.st_mode) && (St.st_mode & S_IWUSR) == 0; }

}  // namespace

bool IsReadOnlyFile(const std::string& Native) {
  struct stat st {};
  return stat(Native.c_str(), &st) == 0 && IsReadOnlyStatus(st);
}

bool IsReadOnlyFile(const ResolvedPath& Resolved) {
  if (!Resolved.Exists) return false;
  if (S_ISLNK(Resolved.Status.st_mode)) return IsReadOnlyFile(Resolved.Native);
  return IsReadOnlyStatus(Resolved.Status);
}

std::string LastComponent(const std::string& Path) {
  size_t end = Path.size();
  while (end > 1 && Path[end - 1] == '/') --end;
  const size_t slash = Path.rfind('/', end - 1);
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  return Path.substr(start, end - start);
}

FileTime FromTimespec(const struct timespec& Time) {
  const int64_t ticks = static_cast<int64_t>(Time.tv_sec) * static_cast<int64_t>(kFileTicksPerSecond) +
                        static_cast<int64_t>(Time.tv_nsec) / 100;
  const int64_t earliest = -static_cast<int64_t>(kUnixEpochAsFileTime);
  return ticks < earliest ? 0 : static_cast<FileTime>(ticks + static_cast<int64_t>(kUnixEpochAsFileTime));
}

struct timespec ToTimespec(FileTime Time) {
  const int64_t ticks = static_cast<int64_t>(Time) - static_cast<int64_t>(kUnixEpochAsFileTime);
  const int64_t perSecond = static_cast<int64_t>(kFileTicksPerSecond);
  int64_t seconds = ticks / perSecond;
  int64_t rest = ticks % perSecond;
  if (rest < 0) {
    rest += perSecond;
    --seconds;
  }
  struct timespec result {};
  result.tv_sec = static_cast<time_t>(seconds);
  result.tv_nsec = static_cast<long>(rest * 100);
  return result;
}

bool MatchName(const std::string& Name, const std::string& Pattern) {
  if (Pattern == "*.*") return true;
  return MatchFrom(Name, Pattern);
}

bool HasWildcards(const std::string& Text) { return Text.find_first_of("*?") != std::string::npos; }

}  // namespace platform::posix
