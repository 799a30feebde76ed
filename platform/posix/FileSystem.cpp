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
  const posix::ResolvedPath resolved = posix::Resolve(Path);
  const std::string& native = resolved.Native;
  struct stat st = resolved.Status;
  if (!resolved.Exists || (S_ISLNK(st.st_mode) && stat(native.c_str(), &st) != 0)) return false;
  // Clearing read-only gives the owner write permission back; setting it takes
  // write permission from everybody. A mode that stays as it is needs no call.
  const mode_t mode = (Attributes & kAttrReadOnly) != 0 ? (st.st_mode & ~kWriteBits) : (st.st_mode | S_IWUSR);
  return mode == st.st_mode || chmod(native.c_str(), mode & 07777) == 0;
}

bool RemoveFile(const std::string& Path) {
  const posix::ResolvedPath resolved = posix::Resolve(Path);
  const std::string& native = resolved.Native;
  if (!resolved.Exists || S_ISDIR(resolved.Status.st_mode)) return false;
  if (posix::IsReadOnlyFile(resolved) || unlink(native.c_str()) != 0) return false;
  posix::NoteRemoved(native, false);
  return true;
}

bool MakeDirectory(const std::string& Path) {
  const std::string native = posix::Resolve(Path, posix::PathKind::Folder).Native;
  if (native.empty() || mkdir(native.c_str(), 0777) != 0) return false;
  posix::NoteCreated(native, true);
  return true;
}

bool RemoveEmptyDirectory(const std::string& Path) {
  const std::string native = NativePath(Path);
  if (native.empty()) return false;
  posix::NoteRemoved(native, true);
  return rmdir(native.c_str()) == 0;
}

bool RenameFile(const std::string& From, const std::string& To, bool Replace) {
  const posix::ResolvedPath source = posix::Resolve(From);
  const bool folder = source.Exists && S_ISDIR(source.Status.st_mode);
  // The new name answers only to a thing of the kind being renamed.
  const posix::ResolvedPath target = posix::Resolve(To, folder ? posix::PathKind::Folder : posix::PathKind::File);
  const std::string& from = source.Native;
  const std::string& to = target.Native;
  if (from.empty() || to.empty()) return false;
  if (target.Exists && (!Replace || posix::IsReadOnlyFile(target))) return false;
  if (folder) posix::NoteRemoved(from, true);
  if (rename(from.c_str(), to.c_str()) != 0) return false;
  if (!folder) posix::NoteRemoved(from, false);
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
