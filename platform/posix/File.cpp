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
  const posix::PathKind kind = (Flags & O_CREAT) != 0 ? posix::PathKind::File : posix::PathKind::Any;
  const posix::ResolvedPath resolved = posix::Resolve(Path, kind);
  const std::string& native = resolved.Native;
  if ((Flags & O_ACCMODE) != O_RDONLY && posix::IsReadOnlyFile(resolved)) return kInvalidHandle;
  int fd = -1;
  do {
    fd = open(native.c_str(), Flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return kInvalidHandle;
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return kInvalidHandle;
  }
  if ((Flags & O_CREAT) != 0) posix::NoteCreated(native, false);
  return static_cast<FileHandle>(fd);
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
  const int fd = Descriptor(Handle);
  if (fd >= 0) close(fd);
}

int64_t Read(FileHandle Handle, void* Buffer, uint64_t Size) {
  const int fd = Descriptor(Handle);
  if (fd < 0) return -1;
  auto* bytes = static_cast<char*>(Buffer);
  uint64_t done = 0;
  while (done < Size) {
    const uint64_t want = Size - done < kMaxChunk ? Size - done : kMaxChunk;
    const ssize_t got = read(fd, bytes + done, static_cast<size_t>(want));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;  // end of file
    done += static_cast<uint64_t>(got);
  }
  return static_cast<int64_t>(done);
}

int64_t Write(FileHandle Handle, const void* Buffer, uint64_t Size) {
  const int fd = Descriptor(Handle);
  if (fd < 0) return -1;
  const auto* bytes = static_cast<const char*>(Buffer);
  uint64_t done = 0;
  while (done < Size) {
    const uint64_t want = Size - done < kMaxChunk ? Size - done : kMaxChunk;
    const ssize_t put = write(fd, bytes + done, static_cast<size_t>(want));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return -1;
    done += static_cast<uint64_t>(put);
  }
  return static_cast<int64_t>(done);
}

int64_t Seek(FileHandle Handle, int64_t Distance, SeekOrigin Origin) {
  const int fd = Descriptor(Handle);
  if (fd < 0) return -1;
  const int whence = Origin == SeekOrigin::Begin ? SEEK_SET : Origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  const off_t position = lseek(fd, static_cast<off_t>(Distance), whence);
  return position < 0 ? -1 : static_cast<int64_t>(position);
}

int64_t Tell(FileHandle Handle) { return Seek(Handle, 0, SeekOrigin::Current); }

int64_t Size(FileHandle Handle) {
  const int fd = Descriptor(Handle);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool Flush(FileHandle Handle) {
  const int fd = Descriptor(Handle);
  return fd >= 0 && fsync(fd) == 0;
}

bool GetTimes(FileHandle Handle, FileTimes& Times) {
  const int fd = Descriptor(Handle);
  struct statx sx {};
  if (fd < 0 || statx(fd, "", AT_EMPTY_PATH, STATX_BTIME | STATX_MTIME | STATX_ATIME, &sx) != 0) return false;
  const auto convert = [](const struct statx_timestamp& t) {
    struct timespec ts {};
    ts.tv_sec = static_cast<time_t>(t.tv_sec);
    ts.tv_nsec = static_cast<long>(t.tv_nsec);
    return posix::FromTimespec(ts);
  };
  Times.LastWrite = convert(sx.stx_mtime);
  Times.LastAccess = convert(sx.stx_atime);
  Times.Creation = (sx.stx_mask & STATX_BTIME) != 0 ? convert(sx.stx_btime) : Times.LastWrite;
  return true;
}

bool SetTimes(FileHandle Handle, const FileTimes& Times) {
  const int fd = Descriptor(Handle);
  if (fd < 0) return false;
  struct timespec stamps[2];
  stamps[0] = Times.LastAccess != 0 ? posix::ToTimespec(Times.LastAccess) : timespec{0, UTIME_OMIT};
  stamps[1] = Times.LastWrite != 0 ? posix::ToTimespec(Times.LastWrite) : timespec{0, UTIME_OMIT};
  return futimens(fd, stamps) == 0;
}

}  // namespace platform
