// Linux process facts: the program file through /proc/self/exe, the process
// id, and the environment through getenv/setenv/unsetenv.
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/Process.h"

namespace platform {

std::string ProgramFile() {
  std::vector<char> Buffer(4096);
  for (;;) {
    const ssize_t Length = readlink("/proc/self/exe", Buffer.data(), Buffer.size());
    if (Length < 0) return {};
    if (static_cast<size_t>(Length) < Buffer.size()) return std::string(Buffer.data(), static_cast<size_t>(Length));
    if (Buffer.size() >= (1u << 20)) return {};
    Buffer.resize(Buffer.size() * 2);
  }
}

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

std::string GetEnvironment(const std::string& Name) {
  const char* Value = std::getenv(Name.c_str());
  return Value != nullptr ? Value : "";
}

bool SetEnvironment(const std::string& Name, const std::string& Value) {
  if (Value.empty()) return unsetenv(Name.c_str()) == 0;
  return setenv(Name.c_str(), Value.c_str(), 1) == 0;
}

}  // namespace platform
