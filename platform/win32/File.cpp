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
  const DWORD Attributes = GetFileAttributesA(Path.c_str());
  if ((Access & GENERIC_WRITE) != 0 && Attributes != INVALID_FILE_ATTRIBUTES &&
      (Attributes & FILE_ATTRIBUTE_READONLY) != 0 && (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return kInvalidHandle;
  }
  const HANDLE Handle = CreateFileA(Path.c_str(), Access, Share, nullptr, Disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return Handle == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<FileHandle>(Handle);
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
  auto* Bytes = static_cast<char*>(Buffer);
  uint64_t Done = 0;
  while (Done < Size) {
    const uint64_t Want = Size - Done < kMaxChunk ? Size - Done : kMaxChunk;
    DWORD Got = 0;
    if (!ReadFile(Native(Handle), Bytes + Done, static_cast<DWORD>(Want), &Got, nullptr)) return -1;
    if (Got == 0) break;  // end of file
    Done += Got;
  }
  return static_cast<int64_t>(Done);
}

int64_t Write(FileHandle Handle, const void* Buffer, uint64_t Size) {
  if (Handle == kInvalidHandle) return -1;
  const auto* Bytes = static_cast<const char*>(Buffer);
  uint64_t Done = 0;
  while (Done < Size) {
    const uint64_t Want = Size - Done < kMaxChunk ? Size - Done : kMaxChunk;
    DWORD Put = 0;
    if (!WriteFile(Native(Handle), Bytes + Done, static_cast<DWORD>(Want), &Put, nullptr) || Put == 0) return -1;
    Done += Put;
  }
  return static_cast<int64_t>(Done);
}

int64_t Seek(FileHandle Handle, int64_t Distance, SeekOrigin Origin) {
  if (Handle == kInvalidHandle) return -1;
  const DWORD Method = Origin == SeekOrigin::Begin     ? FILE_BEGIN
                       : Origin == SeekOrigin::Current ? FILE_CURRENT
                                                       : FILE_END;
  LARGE_INTEGER Move;
  Move.QuadPart = Distance;
  LARGE_INTEGER Position;
  if (!SetFilePointerEx(Native(Handle), Move, &Position, Method)) return -1;
  return Position.QuadPart;
}

int64_t Tell(FileHandle Handle) { return Seek(Handle, 0, SeekOrigin::Current); }

int64_t Size(FileHandle Handle) {
  LARGE_INTEGER Size;
  if (Handle == kInvalidHandle || !GetFileSizeEx(Native(Handle), &Size)) return -1;
  return Size.QuadPart;
}

bool Flush(FileHandle Handle) { return Handle != kInvalidHandle && FlushFileBuffers(Native(Handle)) != 0; }

bool GetTimes(FileHandle Handle, FileTimes& Times) {
  FILETIME Creation;
  FILETIME Access;
  FILETIME Write;
  if (Handle == kInvalidHandle || !GetFileTime(Native(Handle), &Creation, &Access, &Write)) return false;
  Times.Creation = FromNative(Creation);
  Times.LastAccess = FromNative(Access);
  Times.LastWrite = FromNative(Write);
  return true;
}

bool SetTimes(FileHandle Handle, const FileTimes& Times) {
  if (Handle == kInvalidHandle) return false;
  const FILETIME Creation = ToNative(Times.Creation);
  const FILETIME Access = ToNative(Times.LastAccess);
  const FILETIME Write = ToNative(Times.LastWrite);
  return SetFileTime(Native(Handle), Times.Creation != 0 ? &Creation : nullptr,
                     Times.LastAccess != 0 ? &Access : nullptr, Times.LastWrite != 0 ? &Write : nullptr) != 0;
}

}  // namespace platform
