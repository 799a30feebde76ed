// Linux side of the services on names: attributes from the file's status,
// read-only as the owner's write permission, deleting, renaming, directories,
// file times by name and the current and temporary directories.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/posix/FolderListings.h"
#include "platform/posix/PosixPaths.h"

namespace platform {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

}  // namespace

uint32_t GetAttributes(const std::string& Path) {
  const std::string native = NativePath(Path);
  struct stat st {};
  if (native.empty() || stat(native.c_str(), &st) != 0) return kInvalidAttributes;
  return posix::AttributesOf(st, posix::LastComponent(native));
}

bool SetAttributes(const std::string& Path, uint32_t Attributes) {
  const std::string native = NativePath(Path);
  struct stat st {};
  if (native.empty() || stat(native.c_str(), &st) != 0) return false;
  // Clearing read-only gives the owner write permission back; setting it takes
  // write permission from everybody.
  const mode_t mode = (Attributes & kAttrReadOnly) != 0 ? (st.st_mode & ~kWriteBits) : (st.st_mode | S_IWUSR);
  return chmod(native.c_str(), mode & 07777) == 0;
}

bool RemoveFile(const std::string& Path) {
  const std::string native = NativePath(Path);
  struct stat st {};
  if (native.empty() || lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (posix::IsReadOnlyFile(native)) return false;
  posix::NoteRemoved(native);
  return unlink(native.c_str()) == 0;
}

bool MakeDirectory(const std::string& Path) {
  const std::string native = posix::NativePathOfKind(Path, posix::PathKind::Folder);
  if (native.empty() || mkdir(native.c_str(), 0777) != 0) return false;
  posix::NoteCreated(native, true);
  return true;
}

bool RemoveEmptyDirectory(const std::string& Path) {
  const std::string native = NativePath(Path);
  if (native.empty()) return false;
  posix::NoteRemoved(native);
  return rmdir(native.c_str()) == 0;
}

bool RenameFile(const std::string& From, const std::string& To, bool Replace) {
  const std::string from = NativePath(From);
  struct stat st {};
  // The new name answers only to a thing of the kind being renamed.
  const bool folder = stat(from.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  const std::string to = posix::NativePathOfKind(To, folder ? posix::PathKind::Folder : posix::PathKind::File);
  if (from.empty() || to.empty()) return false;
  if (lstat(to.c_str(), &st) == 0 && (!Replace || posix::IsReadOnlyFile(to))) return false;
  posix::NoteRemoved(from);
  if (rename(from.c_str(), to.c_str()) != 0) return false;
  posix::NoteCreated(to, false);  // a renamed folder keeps its content
  return true;
}

bool GetFileTimes(const std::string& Path, FileTimes& Times) {
  const FileHandle handle = static_cast<FileHandle>(open(NativePath(Path).c_str(), O_RDONLY | O_CLOEXEC));
  if (handle < 0) return false;
  const bool ok = GetTimes(handle, Times);
  Close(handle);
  return ok;
}

bool SetFileTimes(const std::string& Path, const FileTimes& Times) {
  struct timespec stamps[2];
  stamps[0] = Times.LastAccess != 0 ? posix::ToTimespec(Times.LastAccess) : timespec{0, UTIME_OMIT};
  stamps[1] = Times.LastWrite != 0 ? posix::ToTimespec(Times.LastWrite) : timespec{0, UTIME_OMIT};
  return utimensat(AT_FDCWD, NativePath(Path).c_str(), stamps, 0) == 0;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string TempDirectory() {
  std::string dir;
  const char* tmpdir = std::getenv("TMPDIR");
  struct stat st {};
  if (tmpdir != nullptr && *tmpdir != '\0' && stat(tmpdir, &st) == 0 && S_ISDIR(st.st_mode))
    dir = tmpdir;
  else
    dir = "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace platform
