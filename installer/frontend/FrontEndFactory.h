// The choice of front-end for the installer program. Where the system has a
// window (Windows) the program draws its real main window; the environment
// variable SKW_FRONTEND=console asks for the console front-end instead (the
// program's own tests use it), and the console is also what Linux, or a
// Windows session where the window cannot be made, always gets.
#pragma once
#include <memory>
#include <string>

#include "installer/frontend/FrontEnd.h"

namespace skw {

// The name of the variable and the value that asks for the console.
inline constexpr const char* kFrontEndVariable = "SKW_FRONTEND";
inline constexpr const char* kConsoleFrontEnd = "console";

// True when the variable's value (empty when it is not set) asks for the console.
bool ConsoleRequested(const std::string& Choice);

std::unique_ptr<TFrontEnd> MakeFrontEnd();

}  // namespace skw
