// Linux atomic save: the new content goes to a file created exclusively beside
// the target (with the old file's permission bits), is written whole, fsync'ed
// and closed, then rename(2) puts it in place of the target in one step and the
// folder is synced so the new name survives a crash. A read-only target is
// refused before anything is written, as on Windows. On any failure the new
// file is removed and the target is untouched.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
