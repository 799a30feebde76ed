// Text forms of listing values shared by the kst commands: a TDateTime as
// "YYYY-MM-DD HH:MM:SS", a 32-bit value as 8 lower-case hex digits, and the
// names of the ZIP methods the library knows by number only.
#pragma once
#include <cstdint>
#include <string>

#include "archive/core/DosDate.h"

namespace kst_tool {

std::string FormatDateTime(kst::TDateTime Value);
std::string Hex8(uint32_t Value);
// The name of a ZIP method the library does not decode (12 BZip2, 14 LZMA, ...),
// or Fallback for a method without one.
std::string MethodName(uint16_t Method, const std::string& Fallback);

}  // namespace kst_tool
