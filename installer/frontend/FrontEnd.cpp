// The standard exception box shared by every front-end.
#include "installer/frontend/FrontEnd.h"

#include "installer/Messages.h"

namespace skw {

std::string StandardExceptionText(const std::string& Message) {
  if (!Message.empty() && static_cast<unsigned char>(Message.back()) > static_cast<unsigned char>('.'))
    return Message + ".";
  return Message;
}

void TFrontEnd::ShowException(const std::string& Message) {
  FExceptionShown = true;
  MessageBox(kAppTitle, StandardExceptionText(Message), TMessageIcon::Error);
}

}  // namespace skw
