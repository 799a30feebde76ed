// MakeFrontEnd: the system's window unless the console is asked for or no
// window can be made.
#include "installer/frontend/FrontEndFactory.h"

#include <cstdlib>

#include "installer/frontend/ConsoleFrontEnd.h"
#include "installer/frontend/Win32FrontEnd.h"

namespace skw {

bool ConsoleRequested(const std::string& Choice) { return Choice == kConsoleFrontEnd; }

std::unique_ptr<TFrontEnd> MakeFrontEnd() {
  const char* Choice = std::getenv(kFrontEndVariable);
  if (!ConsoleRequested(Choice != nullptr ? Choice : "")) {
    if (std::unique_ptr<TFrontEnd> Window = TWin32FrontEnd::Create()) return Window;
  }
  return std::make_unique<TConsoleFrontEnd>();
}

}  // namespace skw
