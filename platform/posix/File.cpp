// Linux side of the basic file services: POSIX descriptors stored in the
// platform-neutral handle. Reads and writes loop over partial transfers and
// interrupted calls so callers see one complete transfer or an error; opening a
// directory for reading is refused, as it is on Windows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/posix/FolderListings.h"
#include "platform/posix/PosixPaths.h"

namespace platform {

namespace {

int Descriptor(FileHandle Handle) { return Handle >= 0 && Handle <= INT_MAX ? static_cast<int>(Handle) : -1; }

FileHandle OpenWith(const std::string& Path, int Flags) {
  // A file being created answers only to a file of that name.
  const posix::PathKind Kind = (Flags & O_CREAT) != 0 ? posix::PathKind::File : posix::PathKind::Any;
  const posix::ResolvedPath Resolved = posix::Resolve(Path, Kind);
  const std::string& Native = Resolved.Native;
  if ((Flags & O_ACCMODE) != O_RDONLY && posix::IsReadOnlyFile(Resolved)) return kInvalidHandle;
  int Fd = -1;
  do {
    Fd = open(Native.c_str(), Flags | O_CLOEXEC, 0666);
  } while (Fd < 0 && errno == EINTR);
  if (Fd < 0) return kInvalidHandle;
  struct stat St {};
  if (fstat(Fd, &St) != 0 || S_ISDIR(St.st_mode)) {
    close(Fd);
    return kInvalidHandle;
  }
  if ((Flags & O_CREAT) != 0) posix::NoteCreated(Native, false);
  return static_cast<FileHandle>(Fd);
}

// Largest single transfer handed to the system.
constexpr uint64_t kMaxChunk = 1u << 30;

}  // namespace

FileHandle OpenRead(const std::string& Path) { return OpenWith(Path, O_RDONLY); }

FileHandle OpenWrite(const std::string& Path, bool Replace) {
  return OpenWith(Path, O_WRONLY | O_CREAT | (Replace ? O_TRUNC : O_EXCL));
}

FileHandle OpenReadWrite(const std::string& Path) { return OpenWith(Path, O_RDWR); }

void Close(FileHandle Handle) {
  const int Fd = Descriptor(Handle);
  if (Fd >= 0) close(Fd);
}

int64_t Read(FileHandle Handle, void* Buffer, uint64_t Size) {
  const int Fd = Descriptor(Handle);
  if (Fd < 0) return -1;
  auto* Bytes = static_cast<char*>(Buffer);
  uint64_t Done = 0;
  while (Done < Size) {
    const uint64_t Want = Size - Done < kMaxChunk ? Size - Done : kMaxChunk;
    const ssize_t Got = read(Fd, Bytes + Done, static_cast<size_t>(Want));
    if (Got < 0 && errno == EINTR) continue;
    if (Got < 0) return -1;
    if (Got == 0) break;  // end of file
    Done += static_cast<uint64_t>(Got);
  }
  return static_cast<int64_t>(Done);
}

int64_t Write(FileHandle Handle, const void* Buffer, uint64_t Size) {
  const int Fd = Descriptor(Handle);
  if (Fd < 0) return -1;
  const auto* Bytes = static_cast<const char*>(Buffer);
  uint64_t Done = 0;
  while (Done < Size) {
    const uint64_t Want = Size - Done < kMaxChunk ? Size - Done : kMaxChunk;
    const ssize_t Put = write(Fd, Bytes + Done, static_cast<size_t>(Want));
    if (Put < 0 && errno == EINTR) continue;
    if (Put <= 0) return -1;
    Done += static_cast<uint64_t>(Put);
  }
  return static_cast<int64_t>(Done);
}

int64_t Seek(FileHandle Handle, int64_t Distance, SeekOrigin Origin) {
  const int Fd = Descriptor(Handle);
  if (Fd < 0) return -1;
  const int Whence = Origin == SeekOrigin::Begin ? SEEK_SET : Origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  const off_t Position = lseek(Fd, static_cast<off_t>(Distance), Whence);
  return Position < 0 ? -1 : static_cast<int64_t>(Position);
}

int64_t Tell(FileHandle Handle) { return Seek(Handle, 0, SeekOrigin::Current); }

int64_t Size(FileHandle Handle) {
  const int Fd = Descriptor(Handle);
  struct stat St {};
  if (Fd < 0 || fstat(Fd, &St) != 0) return -1;
  return static_cast<int64_t>(St.st_size);
}

bool Flush(FileHandle Handle) {
  const int Fd = Descriptor(Handle);
  return Fd >= 0 && fsync(Fd) == 0;
}

bool GetTimes(FileHandle Handle, FileTimes& Times) {
  const int Fd = Descriptor(Handle);
  struct statx Sx {};
  if (Fd < 0 || statx(Fd, "", AT_EMPTY_PATH, STATX_BTIME | STATX_MTIME | STATX_ATIME, &Sx) != 0) return false;
  const auto Convert = [](const struct statx_timestamp& T) {
    struct timespec Ts {};
    Ts.tv_sec = static_cast<time_t>(T.tv_sec);
    Ts.tv_nsec = static_cast<long>(T.tv_nsec);
    return posix::FromTimespec(Ts);
  };
  Times.LastWrite = Convert(Sx.stx_mtime);
  Times.LastAccess = Convert(Sx.stx_atime);
  Times.Creation = (Sx.stx_mask & STATX_BTIME) != 0 ? Convert(Sx.stx_btime) : Times.LastWrite;
  return true;
}

bool SetTimes(FileHandle Handle, const FileTimes& Times) {
  const int Fd = Descriptor(Handle);
  if (Fd < 0) return false;
  struct timespec Stamps[2];
  Stamps[0] = Times.LastAccess != 0 ? posix::ToTimespec(Times.LastAccess) : timespec{0, UTIME_OMIT};
  Stamps[1] = Times.LastWrite != 0 ? posix::ToTimespec(Times.LastWrite) : timespec{0, UTIME_OMIT};
  return futimens(Fd, Stamps) == 0;
}

}  // namespace platform
