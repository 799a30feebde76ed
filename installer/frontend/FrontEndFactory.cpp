// MakeFrontEnd: the system's window unless the console is asked for or no
// window can be made.
#include "installer/frontend/FrontEndFactory.h"

#include <cstdlib>

#include "installer/frontend/ConsoleFrontEnd.h"
#include "installer/frontend/Win32FrontEnd.h"

namespace skw {

bool ConsoleRequested(const std::string& Choice) { return Choice == kConsoleFrontEnd; }

std::unique_ptr<TFrontEnd> MakeFrontEnd() {
  const char* choice = std::getenv(kFrontEndVariable);
  if (!ConsoleRequested(choice != nullptr ? choice : "")) {
    if (std::unique_ptr<TFrontEnd> window = TWin32FrontEnd::Create()) return window;
  }
  return std::make_unique<TConsoleFrontEnd>();
}

}  // namespace skw
