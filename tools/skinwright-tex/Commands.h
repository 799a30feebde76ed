// The commands of skinwright-tex and what they share: each command is one
// function taking the words after its name and returning the process exit
// code; main.cpp holds the table that picks one. Trouble that ends a command
// (a container that cannot be found or read, a wrong command line) is thrown
// as a TToolError carrying its exit code and caught once in main.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace tex_tool {

// Exit codes, as kst has them: everything asked for succeeded; something was
// skipped, differs or would not be installed; the command line was wrong or an
// input cannot be read.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnreadable = 2;

using TArgs = std::vector<std::string>;

class TToolError : public std::runtime_error {
 public:
  TToolError(int Code, const std::string& Message, bool CommandLine = false)
      : std::runtime_error(Message), FCode(Code), FCommandLine(CommandLine) {}
  int Code() const { return FCode; }
  // A mistake on the command line (the message then points to --help).
  bool CommandLine() const { return FCommandLine; }

 private:
  int FCode;
  bool FCommandLine;
};

inline TToolError UsageError(const std::string& Message) { return TToolError(kExitUsage, Message, true); }

int RunList(const TArgs& Args);
int RunExport(const TArgs& Args);
int RunCheck(const TArgs& Args);
int RunDiff(const TArgs& Args);
int RunRestore(const TArgs& Args);

// Prints the usage text to standard output.
void PrintUsage();

}  // namespace tex_tool
