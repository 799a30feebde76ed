// Windows side of the basic file services: Win32 file handles stored in the
// platform-neutral handle (INVALID_HANDLE_VALUE is all bits set, like
// kInvalidHandle). Transfers are split into DWORD-sized pieces and repeated until
// complete, end of file or an error.
#include <windows.h>

#include "platform/win32/FileTimes.h"

#include "platform/File.h"

namespace platform {

namespace {

HANDLE Native(FileHandle Handle) { return reinterpret_cast<HANDLE>(Handle); }

FileHandle OpenWith(const std::string& Path, DWORD Access, DWORD Share, DWORD Disposition) {
  // Windows refuses to write to a read-only file; Wine run by the superuser does
  // not, so the attribute is checked here as well.
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  if ((Access & GENERIC_WRITE) != 0 && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return kInvalidHandle;
  }
  const HANDLE handle = CreateFileA(Path.c_str(), Access, Share, nullptr, Disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<FileHandle>(handle);
}

constexpr uint64_t kMaxChunk = 1u << 30;

}  // namespace

FileHandle OpenRead(const std::string& Path) { return OpenWith(Path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING); }

FileHandle OpenWrite(const std::string& Path, bool Replace) {
  return OpenWith(Path, GENERIC_WRITE, 0, Replace ? CREATE_ALWAYS : CREATE_NEW);
}

FileHandle OpenReadWrite(const std::string& Path) {
  return OpenWith(Path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
}

void Close(FileHandle Handle) {
  if (Handle != kInvalidHandle) CloseHandle(Native(Handle));
}

int64_t Read(FileHandle Handle, void* Buffer, uint64_t Size) {
  if (Handle == kInvalidHandle) return -1;
  auto* bytes = static_cast<char*>(Buffer);
  uint64_t done = 0;
  while (done < Size) {
    const uint64_t want = Size - done < kMaxChunk ? Size - done : kMaxChunk;
    DWORD got = 0;
    if (!ReadFile(Native(Handle), bytes + done, static_cast<DWORD>(want), &got, nullptr)) return -1;
    if (got == 0) break;  // end of file
    done += got;
  }
  return static_cast<int64_t>(done);
}

int64_t Write(FileHandle Handle, const void* Buffer, uint64_t Size) {
  if (Handle == kInvalidHandle) return -1;
  const auto* bytes = static_cast<const char*>(Buffer);
  uint64_t done = 0;
  while (done < Size) {
    const uint64_t want = Size - done < kMaxChunk ? Size - done : kMaxChunk;
    DWORD put = 0;
    if (!WriteFile(Native(Handle), bytes + done, static_cast<DWORD>(want), &put, nullptr) || put == 0) return -1;
    done += put;
  }
  return static_cast<int64_t>(done);
}

int64_t Seek(FileHandle Handle, int64_t Distance, SeekOrigin Origin) {
  if (Handle == kInvalidHandle) return -1;
  const DWORD method = Origin == SeekOrigin::Begin     ? FILE_BEGIN
                       : Origin == SeekOrigin::Current ? FILE_CURRENT
                                                       : FILE_END;
  LARGE_INTEGER distance;
  distance.QuadPart = Distance;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(Native(Handle), distance, &position, method)) return -1;
  return position.QuadPart;
}

int64_t Tell(FileHandle Handle) { return Seek(Handle, 0, SeekOrigin::Current); }

int64_t Size(FileHandle Handle) {
  LARGE_INTEGER size;
  if (Handle == kInvalidHandle || !GetFileSizeEx(Native(Handle), &size)) return -1;
  return size.QuadPart;
}

bool Flush(FileHandle Handle) { return Handle != kInvalidHandle && FlushFileBuffers(Native(Handle)) != 0; }

bool GetTimes(FileHandle Handle, FileTimes& Times) {
  FILETIME creation;
  FILETIME access;
  FILETIME write;
  if (Handle == kInvalidHandle || !GetFileTime(Native(Handle), &creation, &access, &write)) return false;
  Times.Creation = FromNative(creation);
  Times.LastAccess = FromNative(access);
  Times.LastWrite = FromNative(write);
  return true;
}

bool SetTimes(FileHandle Handle, const FileTimes& Times) {
  if (Handle == kInvalidHandle) return false;
  const FILETIME creation = ToNative(Times.Creation);
  const FILETIME access = ToNative(Times.LastAccess);
  const FILETIME write = ToNative(Times.LastWrite);
  return SetFileTime(Native(Handle), Times.Creation != 0 ? &creation : nullptr,
                     Times.LastAccess != 0 ? &access : nullptr, Times.LastWrite != 0 ? &write : nullptr) != 0;
}

}  // namespace platform
