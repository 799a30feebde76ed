// Linux has no system message box: the caller shows the message its own way.
#include "platform/MessageBox.h"

namespace platform {

bool ShowSystemMessageBox(const std::string&, const std::string&, MessageIcon) { return false; }

}  // namespace platform
