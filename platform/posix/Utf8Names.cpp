// Linux: the ANSI character set is UTF-8, so a UTF-8 name is already in it.
#include "platform/Utf8Names.h"

namespace platform {

std::string Utf8ToAnsi(const std::string& Utf8) { return Utf8; }

}  // namespace platform
