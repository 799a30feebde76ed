// The process-wide message pump. Long library steps (a directory walk, an
// extraction) call ProcessMessages at fixed points so a window can repaint and
// its progress bar move while the work runs on the one user-interface thread.
// The front-end that owns a window installs the pump; without one (tests, the
// command-line tools) ProcessMessages does nothing.
#pragma once
#include <functional>

namespace kst {

// Installs Pump as the process-wide message pump (an empty function removes it).
void SetMessagePump(std::function<void()> Pump);
// Lets the installed pump handle pending messages; a no-op until one is set.
void ProcessMessages();

}  // namespace kst
