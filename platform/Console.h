// Console services for the console front-end and the kst tool: whether the
// standard streams are terminals (progress and questions appear only there), a
// line read without echo for passwords, standard output switched to exact bytes,
// and Ctrl+C turned into a flag that the front-end polls instead of the process
// being killed, so a run that is under way can finish and save before the
// program ends.
#pragma once
#include <optional>
#include <string>

namespace platform {

bool StdoutIsTerminal();
bool StdinIsTerminal();
bool StderrIsTerminal();

// Shows Prompt on standard error and reads one line of standard input, with
// echo. The line end is not part of the answer; nullopt at the end of input.
std::optional<std::string> ReadLine(const std::string& Prompt);

// Shows Prompt on standard error and reads one line from the terminal with echo
// off (echo is restored afterwards, and the line end is echoed). The line end
// is not part of the answer; nullopt at the end of input.
std::optional<std::string> ReadSecretLine(const std::string& Prompt);

// Standard output writes bytes as given (Windows would otherwise turn LF into
// CR LF); nothing to do elsewhere. Call before anything is written.
void SetStdoutBinary();

// Catches Ctrl+C (SIGINT on Linux, the console control handler on Windows) from
// now on; each press sets the flag.
void CatchInterrupt();
// True once Ctrl+C was pressed since CatchInterrupt or the last ClearInterrupt.
bool InterruptRequested();
void ClearInterrupt();

}  // namespace platform
