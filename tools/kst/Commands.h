// The commands of the kst tool and what they share: each command is one
// function taking the words after its name, returning the process exit code.
// Adding a command means one more file with such a function and one more row in
// the table of main.cpp.
#pragma once
#include <string>
#include <vector>

namespace kst_tool {

// Exit codes: everything asked for succeeded (files kept on purpose too); an
// entry failed or nothing matched; the command line was wrong or the archive
// cannot be read.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreadable = 2;

using TArgs = std::vector<std::string>;

int RunInfo(const TArgs& Args);
int RunList(const TArgs& Args);
int RunTest(const TArgs& Args);
int RunExtract(const TArgs& Args);
int RunCat(const TArgs& Args);

// Prints the usage text to standard output.
void PrintUsage();
// Reports a command-line mistake on standard error and returns kExitUsage.
int UsageError(const std::string& Message);

}  // namespace kst_tool
