// Windows console services: whether a standard handle is a console
// (GetConsoleMode succeeds only on one), a password line read with
// ENABLE_ECHO_INPUT cleared, standard output put in binary mode, and a console
// control handler that turns Ctrl+C and Ctrl+Break into a flag instead of
// ending the process.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdio>

#include "platform/Console.h"

namespace platform {

namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI OnControl(DWORD Event) {
  if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT) return FALSE;
  interrupted = true;
  return TRUE;
}

bool IsConsole(DWORD Which) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(Which), &mode) != 0;
}

// One line of standard input without its line end; nullopt when the input
// ended first with nothing read.
std::optional<std::string> ReadStdinLine() {
  std::string Line;
  for (;;) {
    const int C = std::fgetc(stdin);
    if (C == EOF) return Line.empty() ? std::nullopt : std::optional<std::string>(Line);
    if (C == '\n') break;
    Line += char(C);
  }
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  return Line;
}

}  // namespace

bool StdoutIsTerminal() { return IsConsole(STD_OUTPUT_HANDLE); }
bool StdinIsTerminal() { return IsConsole(STD_INPUT_HANDLE); }
bool StderrIsTerminal() { return IsConsole(STD_ERROR_HANDLE); }

std::optional<std::string> ReadSecretLine(const std::string& Prompt) {
  std::fputs(Prompt.c_str(), stderr);
  std::fflush(stderr);
  const HANDLE In = GetStdHandle(STD_INPUT_HANDLE);
  DWORD Saved = 0;
  const bool Console = GetConsoleMode(In, &Saved) != 0;
  if (Console) SetConsoleMode(In, Saved & ~DWORD(ENABLE_ECHO_INPUT));
  std::optional<std::string> Line = ReadStdinLine();
  if (Console) SetConsoleMode(In, Saved);
  std::fputs("\n", stderr);
  return Line;
}

void SetStdoutBinary() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

void CatchInterrupt() { SetConsoleCtrlHandler(OnControl, TRUE); }

bool InterruptRequested() { return interrupted; }

void ClearInterrupt() { interrupted = false; }

}  // namespace platform
