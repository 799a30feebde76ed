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
  const std::string Native = NativePath(Path);
  struct stat St {};
  if (Native.empty() || stat(Native.c_str(), &St) != 0) return kInvalidAttributes;
  return posix::AttributesOf(St, posix::LastComponent(Native));
}

bool SetAttributes(const std::string& Path, uint32_t Attributes) {
  const posix::ResolvedPath Resolved = posix::Resolve(Path);
  const std::string& Native = Resolved.Native;
  struct stat St = Resolved.Status;
  if (!Resolved.Exists || (S_ISLNK(St.st_mode) && stat(Native.c_str(), &St) != 0)) return false;
  // Clearing read-only gives the owner write permission back; setting it takes
  // write permission from everybody. A mode that stays as it is needs no call.
  const mode_t Mode = (Attributes & kAttrReadOnly) != 0 ? (St.st_mode & ~kWriteBits) : (St.st_mode | S_IWUSR);
  return Mode == St.st_mode || chmod(Native.c_str(), Mode & 07777) == 0;
}

bool RemoveFile(const std::string& Path) {
  const posix::ResolvedPath Resolved = posix::Resolve(Path);
  const std::string& Native = Resolved.Native;
  if (!Resolved.Exists || S_ISDIR(Resolved.Status.st_mode)) return false;
  if (posix::IsReadOnlyFile(Resolved) || unlink(Native.c_str()) != 0) return false;
  posix::NoteRemoved(Native, false);
  return true;
}

bool MakeDirectory(const std::string& Path) {
  const std::string Native = posix::Resolve(Path, posix::PathKind::Folder).Native;
  if (Native.empty() || mkdir(Native.c_str(), 0777) != 0) return false;
  posix::NoteCreated(Native, true);
  return true;
}

bool RemoveEmptyDirectory(const std::string& Path) {
  const std::string Native = NativePath(Path);
  if (Native.empty()) return false;
  posix::NoteRemoved(Native, true);
  return rmdir(Native.c_str()) == 0;
}

bool RenameFile(const std::string& From, const std::string& To, bool Replace) {
  const posix::ResolvedPath Source = posix::Resolve(From);
  const bool Folder = Source.Exists && S_ISDIR(Source.Status.st_mode);
  // The new name answers only to a thing of the kind being renamed.
  const posix::ResolvedPath Target = posix::Resolve(To, Folder ? posix::PathKind::Folder : posix::PathKind::File);
  const std::string& FromNative = Source.Native;
  const std::string& ToNative = Target.Native;
  if (FromNative.empty() || ToNative.empty()) return false;
  if (Target.Exists && (!Replace || posix::IsReadOnlyFile(Target))) return false;
  if (Folder) posix::NoteRemoved(FromNative, true);
  if (rename(FromNative.c_str(), ToNative.c_str()) != 0) return false;
  if (!Folder) posix::NoteRemoved(FromNative, false);
  posix::NoteCreated(ToNative, false);  // a renamed folder keeps its content
  return true;
}

bool GetFileTimes(const std::string& Path, FileTimes& Times) {
  const FileHandle Handle = static_cast<FileHandle>(open(NativePath(Path).c_str(), O_RDONLY | O_CLOEXEC));
  if (Handle < 0) return false;
  const bool Ok = GetTimes(Handle, Times);
  Close(Handle);
  return Ok;
}

bool SetFileTimes(const std::string& Path, const FileTimes& Times) {
  struct timespec Stamps[2];
  Stamps[0] = Times.LastAccess != 0 ? posix::ToTimespec(Times.LastAccess) : timespec{0, UTIME_OMIT};
  Stamps[1] = Times.LastWrite != 0 ? posix::ToTimespec(Times.LastWrite) : timespec{0, UTIME_OMIT};
  return utimensat(AT_FDCWD, NativePath(Path).c_str(), Stamps, 0) == 0;
}

std::string CurrentDirectory() {
  std::vector<char> Buffer(256);
  while (getcwd(Buffer.data(), Buffer.size()) == nullptr) {
    if (errno != ERANGE || Buffer.size() > (1u << 20)) return {};
    Buffer.resize(Buffer.size() * 2);
  }
  return Buffer.data();
}

std::string TempDirectory() {
  std::string Dir;
  const char* Tmpdir = std::getenv("TMPDIR");
  struct stat St {};
  if (Tmpdir != nullptr && *Tmpdir != '\0' && stat(Tmpdir, &St) == 0 && S_ISDIR(St.st_mode))
    Dir = Tmpdir;
  else
    Dir = "/tmp";
  if (Dir.back() != '/') Dir += '/';
  return Dir;
}

}  // namespace platform
