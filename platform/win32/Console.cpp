// Windows console services: whether standard output is a console (GetConsoleMode
// succeeds only on one), and a console control handler that turns Ctrl+C and
// Ctrl+Break into a flag instead of ending the process.
#include <windows.h>

#include <atomic>

#include "platform/Console.h"

namespace platform {

namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI OnControl(DWORD Event) {
  if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT) return FALSE;
  interrupted = true;
  return TRUE;
}

}  // namespace

bool StdoutIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

void CatchInterrupt() { SetConsoleCtrlHandler(OnControl, TRUE); }

bool InterruptRequested() { return interrupted; }

void ClearInterrupt() { interrupted = false; }

}  // namespace platform
