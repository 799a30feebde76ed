// Windows process facts: the program file through GetModuleFileNameA (the
// buffer grows until the whole name fits), the process id, and the environment
// through the Win32 calls, which the C runtime's getenv also sees on this build.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "platform/Process.h"

namespace platform {

std::string ProgramFile() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

std::string GetEnvironment(const std::string& Name) {
  const DWORD size = GetEnvironmentVariableA(Name.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<char> buffer(size);
  const DWORD length = GetEnvironmentVariableA(Name.c_str(), buffer.data(), size);
  return length < size ? std::string(buffer.data(), length) : std::string();
}

bool SetEnvironment(const std::string& Name, const std::string& Value) {
  const std::string assignment = Name + "=" + Value;
  const bool crt = _putenv(assignment.c_str()) == 0;
  const bool win = SetEnvironmentVariableA(Name.c_str(), Value.empty() ? nullptr : Value.c_str()) != 0;
  return crt && win;
}

}  // namespace platform
