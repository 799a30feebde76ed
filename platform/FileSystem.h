// Operating-system services on names in the file system: existence (with
// wildcards), DOS-style attributes, deleting, renaming, directories, file times
// by name, directory search, and the current and temporary directories. The
// attribute bits are those of DOS on every platform; on Linux a directory is
// 0x10, any other file 0x20 (archive), a file its owner may not write is
// read-only, and a name starting with "." is hidden. Paths follow File.h: on
// Linux "\" is a separator and a drive-letter path ("C:\...") is looked up
// through the Wine prefix's drive links, each component matched without regard
// to case when the exact name does not exist.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Clock.h"
#include "platform/File.h"

namespace platform {

inline constexpr uint32_t kAttrReadOnly = 0x01;
inline constexpr uint32_t kAttrHidden = 0x02;
inline constexpr uint32_t kAttrSystem = 0x04;
inline constexpr uint32_t kAttrVolume = 0x08;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
// Returned by GetAttributes when the name cannot be examined.
inline constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

// Error codes of a directory search (the same numbers on every platform).
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorPathNotFound = 3;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorNoMoreFiles = 18;
inline constexpr int kErrorSearchFailed = 31;

// True on the Windows build: for the few places (mostly tests) whose expected
// results differ between the two systems.
#ifdef _WIN32
inline constexpr bool kIsWindows = true;
#else
inline constexpr bool kIsWindows = false;
#endif

// The path as the operating system wants it (see the top of this file); on
// Windows the path as given.
std::string NativePath(const std::string& Path);

// How the Linux path layer treats a name that does not exist as written. By
// default it looks for it without regard to case, as Wine does: the game's
// Windows paths need that. A program working in the user's own folders (kst)
// asks for exact names instead, so two names differing only in case stay two
// files; drive-letter paths, which lead into the Wine prefix, are still matched
// without regard to case. Set once at start-up; no effect on Windows.
void MatchNamesExactly(bool Exactly);

// While one of these lives (an extraction run, say), the Linux path layer keeps
// the listings of the folders it searched without regard to case and of the
// folders it created, and updates them with its own creations, renames and
// deletions, so many new files in one folder cost one listing rather than one
// each. Names another program creates meanwhile are still found when spelt
// exactly. Scopes nest; the listings are dropped when the last one ends. No
// effect on Windows.
class PathLookupScope {
 public:
  PathLookupScope();
  ~PathLookupScope();
  PathLookupScope(const PathLookupScope&) = delete;
  PathLookupScope& operator=(const PathLookupScope&) = delete;
};

// True when a directory search for Pattern ("*" and "?" allowed) finds anything;
// directories count.
bool Exists(const std::string& Pattern);
uint32_t GetAttributes(const std::string& Path);
// Sets what the platform can keep: on Linux only the read-only bit.
bool SetAttributes(const std::string& Path, uint32_t Attributes);

bool RemoveFile(const std::string& Path);
// Creates one directory; its parent must exist.
bool MakeDirectory(const std::string& Path);
// Removes an empty directory.
bool RemoveEmptyDirectory(const std::string& Path);
// Renames From to To; with Replace an existing file To is replaced.
bool RenameFile(const std::string& From, const std::string& To, bool Replace);

bool GetFileTimes(const std::string& Path, FileTimes& Times);
bool SetFileTimes(const std::string& Path, const FileTimes& Times);

// The current directory without a trailing separator (except for a root).
std::string CurrentDirectory();
// The temporary directory with a trailing separator; empty on failure.
std::string TempDirectory();

// One item found by a directory search.
struct FindData {
  std::string Name;  // name only, without directory
  uint64_t Size = 0;
  uint32_t Attributes = 0;
  FileTime LastWrite = 0;
};

// A directory search over the names matching a pattern ("dir\*.bmp"). Owns the
// platform's search state and closes it when destroyed. Wildcards "*" and "?"
// match without regard to case; "*.*" matches every name. The entries "." and
// ".." are reported as the platform lists them.
class DirectorySearch {
 public:
  DirectorySearch();
  ~DirectorySearch();
  DirectorySearch(DirectorySearch&& Other) noexcept;
  DirectorySearch& operator=(DirectorySearch&& Other) noexcept;
  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;

  // 0 with the first item in Data, or an error code (then the search is closed).
  int First(const std::string& Pattern, FindData& Data);
  // 0 with the next item, or an error code (kErrorNoMoreFiles at the end).
  int Next(FindData& Data);
  void Close();
  bool IsOpen() const { return FState != nullptr; }

 private:
  struct State;
  std::unique_ptr<State> FState;
};

}  // namespace platform
