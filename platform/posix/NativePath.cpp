// Linux form of a path given in either system's notation. "\" becomes "/"; a
// drive-letter path ("C:\Games\...") is looked up below the Wine prefix's drive
// links ($WINEPREFIX/dosdevices/c:, default ~/.wine), which is where a Windows
// program installed under Wine lives. Windows names are not case-sensitive, so a
// component that does not exist as written is matched against its directory
// without regard to case, as Wine does; what matches nothing stays as written
// (a file about to be created).
#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {

namespace {

bool PathExists(const std::string& Path) {
  struct stat st {};
  return lstat(Path.c_str(), &st) == 0;
}

std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.wine";
}

bool SameName(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(A[i])) != std::tolower(static_cast<unsigned char>(B[i])))
      return false;
  return true;
}

// The entry of Directory whose name equals Name without regard to case, or empty.
std::string FindIgnoringCase(const std::string& Directory, const std::string& Name) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(Directory.empty() ? "." : Directory.c_str()), closedir);
  if (!dir) return {};
  while (const dirent* entry = readdir(dir.get()))
    if (SameName(entry->d_name, Name)) return entry->d_name;
  return {};
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

// Resolves each missing component of Path by a case-blind directory match.
std::string MatchCase(const std::string& Path) {
  if (Path.empty() || PathExists(Path)) return Path;
  const std::vector<std::string> parts = SplitComponents(Path);
  std::string result;
  bool resolving = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string name = part;
    if (resolving && !part.empty() && part != "." && part != "..") {
      if (!PathExists(result + part)) {
        const std::string found = FindIgnoringCase(result, part);
        if (found.empty())
          resolving = false;  // the rest does not exist; keep it as written
        else
          name = found;
      }
    }
    result += name;
    if (i + 1 < parts.size()) result += '/';
  }
  return result;
}

}  // namespace

std::string NativePath(const std::string& Path) {
  std::string path = Path;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    std::string rest = path.substr(2);
    if (rest.empty() || rest[0] != '/') rest.insert(rest.begin(), '/');
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    path = WinePrefix() + "/dosdevices/" + drive + ":" + rest;
  }
  return MatchCase(path);
}

}  // namespace platform
