// Windows message box: MessageBoxA without owner window, OK button, the icon
// chosen by the caller; returns when the user has closed it.
#include <windows.h>

#include "platform/MessageBox.h"

namespace platform {

bool ShowSystemMessageBox(const std::string& Caption, const std::string& Text, MessageIcon Icon) {
  UINT Style = MB_OK;
  switch (Icon) {
    case MessageIcon::Error: Style |= MB_ICONERROR; break;
    case MessageIcon::Warning: Style |= MB_ICONWARNING; break;
    case MessageIcon::Information: Style |= MB_ICONINFORMATION; break;
  }
  MessageBoxA(nullptr, Text.c_str(), Caption.c_str(), Style);
  return true;
}

}  // namespace platform
