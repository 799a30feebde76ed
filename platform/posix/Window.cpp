// Linux has no main window: the installer keeps its console front-end.
#include "platform/Window.h"

namespace platform {

std::unique_ptr<MainWindow> CreateMainWindow(const std::string&, const std::string&, WindowEvents&) { return nullptr; }

}  // namespace platform
