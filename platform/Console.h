// Console services for the console front-end: whether standard output is a
// terminal (the progress bar is drawn only there), and Ctrl+C turned into a flag
// that the front-end polls instead of the process being killed, so a run that
// is under way can finish and save before the program ends.
#pragma once

namespace platform {

bool StdoutIsTerminal();

// Catches Ctrl+C (SIGINT on Linux, the console control handler on Windows) from
// now on; each press sets the flag.
void CatchInterrupt();
// True once Ctrl+C was pressed since CatchInterrupt or the last ClearInterrupt.
bool InterruptRequested();
void ClearInterrupt();

}  // namespace platform
