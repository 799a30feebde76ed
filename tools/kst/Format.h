// Text forms of listing values shared by the kst commands: a TDateTime as
// "YYYY-MM-DD HH:MM:SS", a 32-bit value as 8 lower-case hex digits, and an
// archive kind's display name.
#pragma once
#include <cstdint>
#include <string>

#include "archive/core/DosDate.h"

namespace kst_tool {

std::string FormatDateTime(kst::TDateTime Value);
std::string Hex8(uint32_t Value);

}  // namespace kst_tool
