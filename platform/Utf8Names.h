// Entry names that archives flag as UTF-8 (general-purpose bit 11) must not go
// through the OEM conversion. This turns such a name into the system's 8-bit
// ANSI character set: on Windows through the wide-character form (characters the
// code page lacks become "?"); on Linux the ANSI side is UTF-8 already and the
// name stays as it is.
#pragma once
#include <string>

namespace platform {

// UTF-8 text in the ANSI character set; invalid UTF-8 is returned unchanged.
std::string Utf8ToAnsi(const std::string& Utf8);

}  // namespace platform
