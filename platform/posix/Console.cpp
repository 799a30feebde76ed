// Linux console services: isatty on the standard streams, a password line read
// from the controlling terminal with ECHO cleared through termios (standard
// input when there is no terminal to open), and a SIGINT handler that only sets
// an atomic flag (all a signal handler may safely do).
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/Console.h"
#include "platform/ConsoleLine.h"

namespace platform {

namespace {

volatile sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

// Reads bytes from Fd up to a line end; nullopt when the input ended first
// with nothing read.
std::optional<std::string> ReadLineFrom(int Fd) {
  return LineOf([Fd] {
    unsigned char C = 0;
    for (;;) {
      const ssize_t Got = read(Fd, &C, 1);
      if (Got < 0 && errno == EINTR) continue;
      return Got <= 0 ? EOF : int(C);
    }
  });
}

}  // namespace

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }
bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }
bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

std::optional<std::string> ReadSecretLine(const std::string& Prompt) {
  const int Tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
  const int Fd = Tty >= 0 ? Tty : STDIN_FILENO;
  std::fputs(Prompt.c_str(), stderr);
  std::fflush(stderr);
  termios Saved{};
  const bool Terminal = tcgetattr(Fd, &Saved) == 0;
  if (Terminal) {
    termios Quiet = Saved;
    Quiet.c_lflag &= ~tcflag_t(ECHO);
    Quiet.c_lflag |= ECHONL;
    tcsetattr(Fd, TCSANOW, &Quiet);
  }
  std::optional<std::string> Line = ReadLineFrom(Fd);
  if (Terminal) tcsetattr(Fd, TCSANOW, &Saved);
  if (!Line) std::fputs("\n", stderr);
  if (Tty >= 0) close(Tty);
  return Line;
}

void SetStdoutBinary() {}

void CatchInterrupt() {
  struct sigaction Action {};
  Action.sa_handler = OnInterrupt;
  sigemptyset(&Action.sa_mask);
  Action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &Action, nullptr);
}

bool InterruptRequested() { return interrupted != 0; }

void ClearInterrupt() { interrupted = 0; }

}  // namespace platform
