// Windows named mutex: CreateMutexA with initial ownership. When the system
// answers that the name already exists, the handle just obtained is closed
// again and this object owns nothing.
#include <windows.h>

#include "platform/NamedMutex.h"

namespace platform {

NamedMutex::NamedMutex(const std::string& Name) {
  const HANDLE handle = CreateMutexA(nullptr, TRUE, Name.c_str());
  const bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
  if (exists) {
    FAlreadyExists = true;
    if (handle != nullptr) CloseHandle(handle);
    return;
  }
  if (handle != nullptr) FHandle = reinterpret_cast<intptr_t>(handle);
}

NamedMutex::~NamedMutex() {
  if (FHandle != -1) CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}

}  // namespace platform
