// Linux side of the directory search: the pattern's directory is opened and its
// entries are filtered by the pattern's last component, matched the Windows way
// (without regard to case). Each match is examined for its size, attributes and
// last write time; an entry that vanished in between is passed over. A name
// without wildcards needs no listing: the path layer has already resolved it
// (exact spelling first, else without regard to case), so it is examined directly.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/FileSystem.h"
#include "platform/posix/FolderListings.h"
#include "platform/posix/PosixPaths.h"

namespace platform {

struct DirectorySearch::State {
  std::unique_ptr<DIR, int (*)(DIR*)> Dir{nullptr, closedir};
  std::string NamePattern;
};

DirectorySearch::DirectorySearch() = default;
DirectorySearch::~DirectorySearch() = default;
DirectorySearch::DirectorySearch(DirectorySearch&& Other) noexcept = default;
DirectorySearch& DirectorySearch::operator=(DirectorySearch&& Other) noexcept = default;

namespace {

int ErrorOfOpen(int Errno) {
  if (Errno == ENOENT || Errno == ENOTDIR) return kErrorPathNotFound;
  if (Errno == EACCES || Errno == EPERM) return kErrorAccessDenied;
  return kErrorSearchFailed;
}

void Fill(const struct stat& St, const std::string& Name, FindData& Data) {
  Data.Name = Name;
  Data.Size = S_ISDIR(St.st_mode) ? 0 : static_cast<uint64_t>(St.st_size);
  Data.Attributes = posix::AttributesOf(St, Name);
  Data.LastWrite = posix::FromTimespec(St.st_mtim);
}

bool Examine(const std::string& Native, const std::string& Name, FindData& Data) {
  struct stat St {};
  if (stat(Native.c_str(), &St) != 0 && lstat(Native.c_str(), &St) != 0) return false;
  Fill(St, Name, Data);
  return true;
}

// The one item of a search for a plain name, or the error a listing would give.
// The resolution already said whether the name exists, and a folder known to
// the path layer needs no second look.
int FindPlainName(const posix::ResolvedPath& Resolved, const std::string& Directory, const std::string& Name,
                  FindData& Data) {
  if (Resolved.Exists && !S_ISLNK(Resolved.Status.st_mode)) {
    Fill(Resolved.Status, Name, Data);
    return 0;
  }
  if (Resolved.Exists && Examine(Resolved.Native, Name, Data)) return 0;
  if (posix::IsFolder(Directory)) return kErrorFileNotFound;
  struct stat St {};
  if (stat(Directory.c_str(), &St) != 0) return ErrorOfOpen(errno);
  return S_ISDIR(St.st_mode) ? kErrorFileNotFound : kErrorPathNotFound;
}

}  // namespace

int DirectorySearch::First(const std::string& Pattern, FindData& Data) {
  Close();
  const posix::ResolvedPath Resolved = posix::Resolve(Pattern);
  const std::string& Native = Resolved.Native;
  const size_t Slash = Native.rfind('/');
  std::string Directory = ".";
  if (Slash != std::string::npos) Directory = Slash == 0 ? "/" : Native.substr(0, Slash);
  auto Search = std::make_unique<State>();
  Search->NamePattern = Slash == std::string::npos ? Native : Native.substr(Slash + 1);
  if (!Search->NamePattern.empty() && !posix::HasWildcards(Search->NamePattern)) {
    const int Result = FindPlainName(Resolved, Directory, Search->NamePattern, Data);
    if (Result == 0) FState = std::move(Search);  // Next answers "no more files"
    return Result;
  }
  Search->Dir.reset(opendir(Directory.c_str()));
  if (!Search->Dir) return ErrorOfOpen(errno);
  FState = std::move(Search);
  const int Result = Next(Data);
  if (Result == 0) return 0;
  Close();
  return Result == kErrorNoMoreFiles ? kErrorFileNotFound : Result;
}

int DirectorySearch::Next(FindData& Data) {
  if (!FState || !FState->Dir) return kErrorNoMoreFiles;
  DIR* Dir = FState->Dir.get();
  while (const dirent* Entry = readdir(Dir)) {
    const std::string Name = Entry->d_name;
    if (!posix::MatchName(Name, FState->NamePattern)) continue;
    struct stat St {};
    if (fstatat(dirfd(Dir), Entry->d_name, &St, 0) != 0 &&
        fstatat(dirfd(Dir), Entry->d_name, &St, AT_SYMLINK_NOFOLLOW) != 0)
      continue;
    Fill(St, Name, Data);
    return 0;
  }
  return kErrorNoMoreFiles;
}

void DirectorySearch::Close() { FState.reset(); }

}  // namespace platform
