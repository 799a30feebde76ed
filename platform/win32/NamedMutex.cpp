// Windows named mutex: CreateMutexA with initial ownership. When the system
// answers that the name already exists, the handle just obtained is closed
// again and this object owns nothing.
#include <windows.h>

#include "platform/NamedMutex.h"

namespace platform {

NamedMutex::NamedMutex(const std::string& Name) {
  const HANDLE Handle = CreateMutexA(nullptr, TRUE, Name.c_str());
  const bool Exists = GetLastError() == ERROR_ALREADY_EXISTS;
  if (Exists) {
    FAlreadyExists = true;
    if (Handle != nullptr) CloseHandle(Handle);
    return;
  }
  if (Handle != nullptr) FHandle = reinterpret_cast<intptr_t>(Handle);
}

NamedMutex::~NamedMutex() {
  if (FHandle != -1) CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}

}  // namespace platform
