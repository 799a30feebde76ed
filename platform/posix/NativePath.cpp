// Linux form of a path given in either system's notation. "\" becomes "/" (a
// "\" that belongs to a name, NameBackslash.h, is written as "\"); a
// drive-letter path ("C:\Games\...") is looked up below the Wine prefix's drive
// links ($WINEPREFIX/dosdevices/c:, default ~/.wine), which is where a Windows
// program installed under Wine lives. Windows names are not case-sensitive, so a
// component that does not exist as written is matched against its directory
// without regard to case, as Wine does; what matches nothing stays as written
// (a file about to be created). A program may ask for exact names outside the
// prefix (MatchNamesExactly). The case-blind search and its listings are in
// FolderListings.h.
#include <sys/stat.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/NameBackslash.h"
#include "platform/posix/FolderListings.h"
#include "platform/posix/PosixPaths.h"

namespace platform {

namespace {

std::atomic<bool> ExactOutsidePrefix{false};

bool PathExists(const std::string& Path) {
  struct stat st {};
  return lstat(Path.c_str(), &st) == 0;
}

bool Examine(posix::ResolvedPath& Resolved) {
  Resolved.Exists = lstat(Resolved.Native.c_str(), &Resolved.Status) == 0;
  return Resolved.Exists;
}

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.wine";
}

std::vector<std::string> SplitComponents(const std::string& Path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= Path.size()) {
    const size_t slash = Path.find('/', start);
    const size_t end = slash == std::string::npos ? Path.size() : slash;
    parts.push_back(Path.substr(start, end - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return parts;
}

bool KindFits(const std::string& Path, posix::PathKind Kind) {
  if (Kind == posix::PathKind::Any) return true;
  struct stat st {};
  const bool folder = stat(Path.empty() ? "." : Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return folder == (Kind == posix::PathKind::Folder);
}

// The name in Folder matching Name without regard to case and of the kind
// asked for, or empty.
std::string FindOfKind(const std::string& Folder, const std::string& Name, posix::PathKind Kind) {
  const std::string found = posix::FindIgnoringCase(Folder, Name);
  return !found.empty() && KindFits(Folder + found, Kind) ? found : std::string();
}

// Resolves each missing component of Path by a case-blind directory match,
// the last one only to a thing of kind Last. The exact path is tried first,
// then (the common case of a new file in an existing folder) only the last
// component is looked for. Resolved.Exists and Status tell what the result
// names (lstat), so callers need not ask again.
void MatchCase(const std::string& Path, posix::PathKind Last, posix::ResolvedPath& Resolved) {
  Resolved.Native = Path;
  if (Path.empty() || Examine(Resolved)) return;
  const size_t slash = Path.rfind('/');
  if (slash != std::string::npos && slash + 1 < Path.size()) {
    const std::string folder = Path.substr(0, slash + 1);
    const std::string last = Path.substr(slash + 1);
    if (last != "." && last != ".." && posix::IsFolder(folder)) {
      const std::string found = FindOfKind(folder, last, Last);
      if (found.empty()) return;  // a new name: nothing there
      Resolved.Native = folder + found;
      Examine(Resolved);
      return;
    }
  }
  const std::vector<std::string> parts = SplitComponents(Path);
  std::string result;
  bool resolving = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string name = part;
    if (resolving && !part.empty() && part != "." && part != "..") {
      if (!PathExists(result + part)) {
        const bool isLast = i + 1 == parts.size();
        const std::string found = FindOfKind(result, part, isLast ? Last : posix::PathKind::Folder);
        if (found.empty())
          resolving = false;  // the rest does not exist; keep it as written
        else
          name = found;
      }
    }
    result += name;
    if (i + 1 < parts.size()) result += '/';
  }
  Resolved.Native = result;
  if (resolving) Examine(Resolved);
}

}  // namespace

namespace posix {

ResolvedPath Resolve(const std::string& Path, PathKind Last) {
  std::string path = Path;
  for (char& c : path)
    if (c == '\\') c = '/';
  path = WithNameBackslashes(std::move(path));
  const bool drivePath = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
  if (drivePath) {
    std::string rest = path.substr(2);
    if (rest.empty() || rest[0] != '/') rest.insert(rest.begin(), '/');
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    path = WinePrefix() + "/dosdevices/" + drive + ":" + rest;
  }
  ResolvedPath resolved;
  if (!drivePath && ExactOutsidePrefix.load(std::memory_order_relaxed)) {
    resolved.Native = path;
    Examine(resolved);
  } else {
    MatchCase(path, Last, resolved);
  }
  return resolved;
}

}  // namespace posix

std::string NativePath(const std::string& Path) { return posix::Resolve(Path).Native; }

void MatchNamesExactly(bool Exactly) { ExactOutsidePrefix.store(Exactly, std::memory_order_relaxed); }

}  // namespace platform
