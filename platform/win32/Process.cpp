// Windows process facts: the program file through GetModuleFileNameA (the
// buffer grows until the whole name fits), the process id, and the environment
// through the Win32 calls, which the C runtime's getenv also sees on this build.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "platform/Process.h"

namespace platform {

std::string ProgramFile() {
  std::vector<char> Buffer(MAX_PATH);
  for (;;) {
    const DWORD Length = GetModuleFileNameA(nullptr, Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length == 0) return {};
    if (Length < Buffer.size()) return std::string(Buffer.data(), Length);
    if (Buffer.size() >= 32768) return {};
    Buffer.resize(Buffer.size() * 2);
  }
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

std::string GetEnvironment(const std::string& Name) {
  const DWORD Size = GetEnvironmentVariableA(Name.c_str(), nullptr, 0);
  if (Size == 0) return {};
  std::vector<char> Buffer(Size);
  const DWORD Length = GetEnvironmentVariableA(Name.c_str(), Buffer.data(), Size);
  return Length < Size ? std::string(Buffer.data(), Length) : std::string();
}

bool SetEnvironment(const std::string& Name, const std::string& Value) {
  const std::string Assignment = Name + "=" + Value;
  const bool Crt = _putenv(Assignment.c_str()) == 0;
  const bool Win = SetEnvironmentVariableA(Name.c_str(), Value.empty() ? nullptr : Value.c_str()) != 0;
  return Crt && Win;
}

}  // namespace platform
