// Conversion between the DOS (OEM) character set in which ZIP tools store entry
// names and the system's 8-bit ANSI character set. On Windows this is the
// system's own OEM/ANSI pair; on Linux the OEM side is code page 437 and the ANSI
// side is UTF-8, so names with accents or box-drawing characters read correctly.
#pragma once
#include <string>

namespace platform {

// OEM bytes to the ANSI character set. Bytes 0x00-0x7F pass unchanged.
std::string OemToAnsi(const std::string& Oem);
// ANSI text to OEM bytes. Characters without an OEM form become "?".
std::string AnsiToOem(const std::string& Ansi);

}  // namespace platform
