// Linux process facts: the program file through /proc/self/exe, the process
// id, and the environment through getenv/setenv/unsetenv.
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/Process.h"

namespace platform {

std::string ProgramFile() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(length));
    if (buffer.size() >= (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

std::string GetEnvironment(const std::string& Name) {
  const char* value = std::getenv(Name.c_str());
  return value != nullptr ? value : "";
}

bool SetEnvironment(const std::string& Name, const std::string& Value) {
  if (Value.empty()) return unsetenv(Name.c_str()) == 0;
  return setenv(Name.c_str(), Value.c_str(), 1) == 0;
}

}  // namespace platform
