// Linux helpers behind the file services: attributes from stat records, time
// conversions and Windows-style name matching (see PosixPaths.h).
#include "platform/posix/PosixPaths.h"

#include "platform/NoCase.h"

namespace platform::posix {

namespace {

// Iterative matcher with one backtrack point: the last "*" seen.
bool MatchFrom(const std::string& Name, const std::string& Pattern) {
  size_t N = 0;
  size_t P = 0;
  size_t StarP = std::string::npos;
  size_t StarN = 0;
  while (N < Name.size()) {
    if (P < Pattern.size() && Pattern[P] == '*') {
      StarP = P++;
      StarN = N;
    } else if (P < Pattern.size() && (Pattern[P] == '?' || SameLetterNoCase(Pattern[P], Name[N]))) {
      ++P;
      ++N;
    } else if (StarP != std::string::npos) {
      P = StarP + 1;
      N = ++StarN;
    } else {
      return false;
    }
  }
  while (P < Pattern.size() && Pattern[P] == '*') ++P;
  return P == Pattern.size();
}

}  // namespace

uint32_t AttributesOf(const struct stat& St, const std::string& Name) {
  uint32_t Attributes = S_ISDIR(St.st_mode) ? 0x10u : 0x20u;
  if ((St.st_mode & S_IWUSR) == 0) Attributes |= 0x01u;
  if (Name.size() > 1 && Name[0] == '.' && Name != "..") Attributes |= 0x02u;
  return Attributes;
}

namespace {

bool IsReadOnlyStatus(const struct stat& St) { return !S_ISDIR(St.st_mode) && (St.st_mode & S_IWUSR) == 0; }

}  // namespace

bool IsReadOnlyFile(const std::string& Native) {
  struct stat St {};
  return stat(Native.c_str(), &St) == 0 && IsReadOnlyStatus(St);
}

bool IsReadOnlyFile(const ResolvedPath& Resolved) {
  if (!Resolved.Exists) return false;
  if (S_ISLNK(Resolved.Status.st_mode)) return IsReadOnlyFile(Resolved.Native);
  return IsReadOnlyStatus(Resolved.Status);
}

std::string LastComponent(const std::string& Path) {
  size_t End = Path.size();
  while (End > 1 && Path[End - 1] == '/') --End;
  const size_t Slash = Path.rfind('/', End - 1);
  const size_t Start = Slash == std::string::npos ? 0 : Slash + 1;
  return Path.substr(Start, End - Start);
}

FileTime FromTimespec(const struct timespec& Time) {
  const int64_t Ticks = static_cast<int64_t>(Time.tv_sec) * static_cast<int64_t>(kFileTicksPerSecond) +
                        static_cast<int64_t>(Time.tv_nsec) / 100;
  const int64_t Earliest = -static_cast<int64_t>(kUnixEpochAsFileTime);
  return Ticks < Earliest ? 0 : static_cast<FileTime>(Ticks + static_cast<int64_t>(kUnixEpochAsFileTime));
}

struct timespec ToTimespec(FileTime Time) {
  const int64_t Ticks = static_cast<int64_t>(Time) - static_cast<int64_t>(kUnixEpochAsFileTime);
  const int64_t PerSecond = static_cast<int64_t>(kFileTicksPerSecond);
  int64_t Seconds = Ticks / PerSecond;
  int64_t Rest = Ticks % PerSecond;
  if (Rest < 0) {
    Rest += PerSecond;
    --Seconds;
  }
  struct timespec Result {};
  Result.tv_sec = static_cast<time_t>(Seconds);
  Result.tv_nsec = static_cast<long>(Rest * 100);
  return Result;
}

bool MatchName(const std::string& Name, const std::string& Pattern) {
  if (Pattern == "*.*") return true;
  return MatchFrom(Name, Pattern);
}

bool HasWildcards(const std::string& Text) { return Text.find_first_of("*?") != std::string::npos; }

}  // namespace platform::posix
