// The Windows FILETIME structure and the platform's 64-bit file time (the
// same 100-nanosecond count since 1601), one into the other.
#pragma once
#include <windows.h>

#include "platform/Clock.h"

namespace platform {

inline FILETIME ToNative(FileTime Time) {
  FILETIME native;
  native.dwLowDateTime = static_cast<DWORD>(Time & 0xFFFFFFFFu);
  native.dwHighDateTime = static_cast<DWORD>(Time >> 32);
  return native;
}

inline FileTime FromNative(const FILETIME& Native) {
  return (static_cast<FileTime>(Native.dwHighDateTime) << 32) | Native.dwLowDateTime;
}

}  // namespace platform
