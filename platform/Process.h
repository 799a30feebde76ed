// Facts about the running process that the installer needs: the full path of
// its own program file (where a pack's appended archive lives), its process id
// (for unique temporary names), and reading and setting environment variables
// (the Wine prefix and runtime folder on Linux, and tests that point them at a
// scratch folder).
#pragma once
#include <string>

namespace platform {

// The program file's full path: GetModuleFileNameA on Windows, /proc/self/exe on
// Linux. Empty on failure.
std::string ProgramFile();
unsigned long ProcessId();
// The variable's value; empty when unset.
std::string GetEnvironment(const std::string& Name);
// Sets the variable, or removes it when Value is empty. False on failure.
bool SetEnvironment(const std::string& Name, const std::string& Value);

}  // namespace platform
