// The few drawing and common-control routines the main window needs, looked up
// at run time in gdi32.dll and comctl32.dll. The program links only the system
// libraries every Windows program gets, so these two are loaded by name; a
// routine that cannot be found stays null and the window does without it
// (default font, no logo, a plain progress bar class missing).
#pragma once
#include <windows.h>

#include <commctrl.h>

namespace platform::win32 {

struct GdiCalls {
  decltype(&::CreateFontA) CreateFont = nullptr;
  decltype(&::DeleteObject) DeleteObject = nullptr;
  decltype(&::SetBkColor) SetBkColor = nullptr;
  decltype(&::SetDIBitsToDevice) SetDIBitsToDevice = nullptr;
  decltype(&::InitCommonControlsEx) InitCommonControlsEx = nullptr;
};

// The routines, looked up on the first call.
const GdiCalls& Gdi();

}  // namespace platform::win32
