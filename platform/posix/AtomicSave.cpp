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
    const ssize_t written = write(Fd, Data, Size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    Data += written;
    Size -= static_cast<size_t>(written);
  }
  return true;
}

// Writes and syncs the new file; false (file left for the caller to remove) on failure.
bool WriteNewFile(const std::string& Temp, mode_t Mode, const void* Data, size_t Size) {
  const int fd = open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, static_cast<const char*>(Data), Size) && fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  return ok;
}

void SyncFolderOf(const std::string& Native) {
  const size_t slash = Native.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : Native.substr(0, slash));
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool SaveFileAtomically(const std::string& Path, const void* Data, size_t Size) {
  const std::string target = NativePath(Path);
  if (target.empty() || posix::IsReadOnlyFile(target)) return false;
  struct stat st {};
  mode_t mode = 0666;
  if (stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
    mode = st.st_mode & 07777;
  }
  const std::string temp = AtomicSaveTempName(target);
  if (!WriteNewFile(temp, mode, Data, Size) || rename(temp.c_str(), target.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  posix::NoteCreated(target, false);
  SyncFolderOf(target);
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
  const std::string temp = AtomicSaveTempName(FTarget);
  if (!WriteNewFile(temp, 0666, Data, Size)) {
    unlink(temp.c_str());
    return false;
  }
  FStaged = temp;
  return true;
}

StagedFile::Placed StagedFile::PlaceNew() {
  if (FStaged.empty()) return Placed::Failed;
  const std::string staged = std::move(FStaged);
  FStaged.clear();
  // A file system that cannot rename without replacing (EINVAL) gets the
  // existence test right before an ordinary rename instead.
  int result = renameat2(AT_FDCWD, staged.c_str(), AT_FDCWD, FTarget.c_str(), RENAME_NOREPLACE);
  if (result != 0 && errno == EINVAL) {
    struct stat st {};
    if (lstat(FTarget.c_str(), &st) == 0) {
      errno = EEXIST;
    } else {
      result = rename(staged.c_str(), FTarget.c_str());
    }
  }
  if (result == 0) {
    SyncFolderOf(FTarget);
    return Placed::Done;
  }
  const bool exists = errno == EEXIST;
  unlink(staged.c_str());
  return exists ? Placed::TargetExists : Placed::Failed;
}

}  // namespace platform
