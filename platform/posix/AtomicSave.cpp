// Linux atomic save: the new content goes to a file created exclusively beside
// the target (with the old file's permission bits), is written whole, fsync'ed
// and closed, then rename(2) puts it in place of the target in one step and the
// folder is synced so the new name survives a crash. A read-only target is
// refused before anything is written, as on Windows. On any failure the new
// file is removed and the target is untouched. A staged file is placed with
// renameat2(RENAME_NOREPLACE), which refuses an existing target in the same step.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/AtomicSave.h"
#include "platform/FileSystem.h"
#include "platform/posix/FolderListings.h"
#include "platform/posix/PosixPaths.h"

namespace platform {

namespace {

bool WriteAll(int Fd, const char* Data, size_t Size) {
  while (Size > 0) {
    const ssize_t Written = write(Fd, Data, Size);
    if (Written < 0 && errno == EINTR) continue;
    if (Written <= 0) return false;
    Data += Written;
    Size -= static_cast<size_t>(Written);
  }
  return true;
}

// Writes and syncs the new file; false (file left for the caller to remove) on failure.
bool WriteNewFile(const std::string& Temp, mode_t Mode, const void* Data, size_t Size) {
  const int Fd = open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
  if (Fd < 0) return false;
  bool Ok = WriteAll(Fd, static_cast<const char*>(Data), Size) && fsync(Fd) == 0;
  if (close(Fd) != 0) Ok = false;
  return Ok;
}

void SyncFolderOf(const std::string& Native) {
  const size_t Slash = Native.rfind('/');
  const std::string Folder = Slash == std::string::npos ? "." : (Slash == 0 ? "/" : Native.substr(0, Slash));
  const int Fd = open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Fd < 0) return;
  fsync(Fd);
  close(Fd);
}

}  // namespace

bool SaveFileAtomically(const std::string& Path, const void* Data, size_t Size) {
  const std::string Target = NativePath(Path);
  if (Target.empty() || posix::IsReadOnlyFile(Target)) return false;
  struct stat St {};
  mode_t Mode = 0666;
  if (stat(Target.c_str(), &St) == 0) {
    if (S_ISDIR(St.st_mode)) return false;
    Mode = St.st_mode & 07777;
  }
  const std::string Temp = AtomicSaveTempName(Target);
  if (!WriteNewFile(Temp, Mode, Data, Size) || rename(Temp.c_str(), Target.c_str()) != 0) {
    unlink(Temp.c_str());
    return false;
  }
  posix::NoteCreated(Target, false);
  SyncFolderOf(Target);
  return true;
}

}  // namespace platform

namespace platform {

StagedFile::~StagedFile() {
  if (!FStaged.empty()) unlink(FStaged.c_str());
}

bool StagedFile::Write(const std::string& Path, const void* Data, size_t Size) {
  if (!FStaged.empty()) unlink(FStaged.c_str());
  FStaged.clear();
  FTarget = NativePath(Path);
  if (FTarget.empty()) return false;
  const std::string Temp = AtomicSaveTempName(FTarget);
  if (!WriteNewFile(Temp, 0666, Data, Size)) {
    unlink(Temp.c_str());
    return false;
  }
  FStaged = Temp;
  return true;
}

StagedFile::Placed StagedFile::PlaceNew() {
  if (FStaged.empty()) return Placed::Failed;
  const std::string Staged = std::move(FStaged);
  FStaged.clear();
  // A file system that cannot rename without replacing (EINVAL) gets the
  // existence test right before an ordinary rename instead.
  int Result = renameat2(AT_FDCWD, Staged.c_str(), AT_FDCWD, FTarget.c_str(), RENAME_NOREPLACE);
  if (Result != 0 && errno == EINVAL) {
    struct stat St {};
    if (lstat(FTarget.c_str(), &St) == 0) {
      errno = EEXIST;
    } else {
      Result = rename(Staged.c_str(), FTarget.c_str());
    }
  }
  if (Result == 0) {
    SyncFolderOf(FTarget);
    return Placed::Done;
  }
  const bool Exists = errno == EEXIST;
  unlink(Staged.c_str());
  return Exists ? Placed::TargetExists : Placed::Failed;
}

}  // namespace platform
