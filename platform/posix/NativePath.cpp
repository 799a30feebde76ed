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
  struct stat St {};
  return lstat(Path.c_str(), &St) == 0;
}

bool Examine(posix::ResolvedPath& Resolved) {
  Resolved.Exists = lstat(Resolved.Native.c_str(), &Resolved.Status) == 0;
  return Resolved.Exists;
}

std::string WinePrefix() {
  const char* Prefix = std::getenv("WINEPREFIX");
  if (Prefix != nullptr && *Prefix != '\0') return Prefix;
  const char* Home = std::getenv("HOME");
  return std::string(Home != nullptr ? Home : "") + "/.wine";
}

std::vector<std::string> SplitComponents(const std::string& Path) {
  std::vector<std::string> Parts;
  size_t Start = 0;
  while (Start <= Path.size()) {
    const size_t Slash = Path.find('/', Start);
    const size_t End = Slash == std::string::npos ? Path.size() : Slash;
    Parts.push_back(Path.substr(Start, End - Start));
    if (Slash == std::string::npos) break;
    Start = Slash + 1;
  }
  return Parts;
}

bool KindFits(const std::string& Path, posix::PathKind Kind) {
  if (Kind == posix::PathKind::Any) return true;
  struct stat St {};
  const bool Folder = stat(Path.empty() ? "." : Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
  return Folder == (Kind == posix::PathKind::Folder);
}

// The name in Folder matching Name without regard to case and of the kind
// asked for, or empty.
std::string FindOfKind(const std::string& Folder, const std::string& Name, posix::PathKind Kind) {
  const std::string Found = posix::FindIgnoringCase(Folder, Name);
  return !Found.empty() && KindFits(Folder + Found, Kind) ? Found : std::string();
}

// Resolves each missing component of Path by a case-blind directory match,
// the last one only to a thing of kind Last. The exact path is tried first,
// then (the common case of a new file in an existing folder) only the last
// component is looked for. Resolved.Exists and Status tell what the result
// names (lstat), so callers need not ask again.
void MatchCase(const std::string& Path, posix::PathKind Last, posix::ResolvedPath& Resolved) {
  Resolved.Native = Path;
  if (Path.empty() || Examine(Resolved)) return;
  const size_t Slash = Path.rfind('/');
  if (Slash != std::string::npos && Slash + 1 < Path.size()) {
    const std::string Folder = Path.substr(0, Slash + 1);
    const std::string LastName = Path.substr(Slash + 1);
    if (LastName != "." && LastName != ".." && posix::IsFolder(Folder)) {
      const std::string Found = FindOfKind(Folder, LastName, Last);
      if (Found.empty()) return;  // a new name: nothing there
      Resolved.Native = Folder + Found;
      Examine(Resolved);
      return;
    }
  }
  const std::vector<std::string> Parts = SplitComponents(Path);
  std::string Result;
  bool Resolving = true;
  for (size_t I = 0; I < Parts.size(); ++I) {
    const std::string& Part = Parts[I];
    std::string Name = Part;
    if (Resolving && !Part.empty() && Part != "." && Part != "..") {
      if (!PathExists(Result + Part)) {
        const bool IsLast = I + 1 == Parts.size();
        const std::string Found = FindOfKind(Result, Part, IsLast ? Last : posix::PathKind::Folder);
        if (Found.empty())
          Resolving = false;  // the rest does not exist; keep it as written
        else
          Name = Found;
      }
    }
    Result += Name;
    if (I + 1 < Parts.size()) Result += '/';
  }
  Resolved.Native = Result;
  if (Resolving) Examine(Resolved);
}

}  // namespace

namespace posix {

ResolvedPath Resolve(const std::string& Path, PathKind Last) {
  std::string Unix = Path;
  for (char& C : Unix)
    if (C == '\\') C = '/';
  Unix = WithNameBackslashes(std::move(Unix));
  const bool DrivePath = Unix.size() >= 2 && Unix[1] == ':' && std::isalpha(static_cast<unsigned char>(Unix[0]));
  if (DrivePath) {
    std::string Rest = Unix.substr(2);
    if (Rest.empty() || Rest[0] != '/') Rest.insert(Rest.begin(), '/');
    const char Drive = static_cast<char>(std::tolower(static_cast<unsigned char>(Unix[0])));
    Unix = WinePrefix() + "/dosdevices/" + Drive + ":" + Rest;
  }
  ResolvedPath Resolved;
  if (!DrivePath && ExactOutsidePrefix.load(std::memory_order_relaxed)) {
    Resolved.Native = Unix;
    Examine(Resolved);
  } else {
    MatchCase(Unix, Last, Resolved);
  }
  return Resolved;
}

}  // namespace posix

std::string NativePath(const std::string& Path) { return posix::Resolve(Path).Native; }

void MatchNamesExactly(bool Exactly) { ExactOutsidePrefix.store(Exactly, std::memory_order_relaxed); }

}  // namespace platform
