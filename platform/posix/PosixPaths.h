// Helpers shared by the Linux implementations of the file services: turning a
// stat record into DOS-style attributes and time stamps, converting between file
// times and the system's timespec, and matching names against "*"/"?" patterns
// the way a Windows directory search does (without regard to case), and the
// path resolution that remembers what it found.
#pragma once
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "platform/Clock.h"

namespace platform::posix {

// A path turned into its Linux form as NativePath does, with what lstat said of
// the result: the file services use it instead of asking the system again.
struct ResolvedPath {
  std::string Native;
  bool Exists = false;
  struct stat Status {};
};
// What the last component of a path being resolved must be: a case-blind
// match of another kind is no match (a file "LICENSE" is not the folder
// "license/" about to be made). Components before the last are always folders.
enum class PathKind { Any, File, Folder };
ResolvedPath Resolve(const std::string& Path, PathKind Last = PathKind::Any);

// DOS-style attributes of a file with status St whose last path component is Name.
uint32_t AttributesOf(const struct stat& St, const std::string& Name);
// True when Native names an existing non-directory its owner may not write: the
// read-only attribute, which refuses writing, truncating, replacing and deleting
// as on Windows (also for the superuser, whom permissions would not stop).
bool IsReadOnlyFile(const std::string& Native);
// The same for a resolved path, asking the system again only for a symbolic link.
bool IsReadOnlyFile(const ResolvedPath& Resolved);
// The last component of a path ("a/b/" gives "b").
std::string LastComponent(const std::string& Path);

FileTime FromTimespec(const struct timespec& Time);
struct timespec ToTimespec(FileTime Time);

// True when Name matches Pattern: "*" any run of characters, "?" one character,
// letters compared without regard to case; "*.*" matches every name.
bool MatchName(const std::string& Name, const std::string& Pattern);
bool HasWildcards(const std::string& Text);

}  // namespace platform::posix
