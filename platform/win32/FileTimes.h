// The Windows FILETIME structure and the platform's 64-bit file time (the
// same 100-nanosecond count since 1601), one into the other.
#pragma once
#include <windows.h>

#include "platform/Clock.h"

namespace platform {

inline FILETIME ToNative(FileTime Time) {
  FILETIME Native;
  Native.dwLowDateTime = static_cast<DWORD>(Time & 0xFFFFFFFFu);
  Native.dwHighDateTime = static_cast<DWORD>(Time >> 32);
  return Native;
}

inline FileTime FromNative(const FILETIME& Native) {
  return (static_cast<FileTime>(Native.dwHighDateTime) << 32) | Native.dwLowDateTime;
}

}  // namespace platform
