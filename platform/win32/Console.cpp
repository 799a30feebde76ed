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
  DWORD Mode = 0;
  return GetConsoleMode(GetStdHandle(Which), &Mode) != 0;
}

}  // namespace

bool StdoutIsTerminal() { return IsConsole(STD_OUTPUT_HANDLE); }
bool StdinIsTerminal() { return IsConsole(STD_INPUT_HANDLE); }
bool StderrIsTerminal() { return IsConsole(STD_ERROR_HANDLE); }

std::optional<std::string> ReadSecretLine(const std::string& Prompt) {
  const HANDLE In = GetStdHandle(STD_INPUT_HANDLE);
  DWORD Saved = 0;
  const bool Console = GetConsoleMode(In, &Saved) != 0;
  if (Console) SetConsoleMode(In, Saved & ~DWORD(ENABLE_ECHO_INPUT));
  std::optional<std::string> Line = ReadLine(Prompt);
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
