// The system's own modal message box, without owner window, with one OK button
// and an icon. Only Windows has one: there it blocks until the user presses OK
// and answers true. On Linux no box is shown and the answer is false; the
// console front-end prints the message itself.
#pragma once
#include <string>

namespace platform {

enum class MessageIcon { Error, Warning, Information };

bool ShowSystemMessageBox(const std::string& Caption, const std::string& Text, MessageIcon Icon);

}  // namespace platform
