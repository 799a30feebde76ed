// Linux console services: isatty on standard output, and a SIGINT handler that
// only sets an atomic flag (all a signal handler may safely do).
#include <signal.h>
#include <unistd.h>


#include "platform/Console.h"

namespace platform {

namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

}  // namespace

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

bool InterruptRequested() { return interrupted != 0; }

void ClearInterrupt() { interrupted = 0; }

}  // namespace platform
