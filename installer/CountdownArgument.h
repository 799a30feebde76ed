// The countdown of seconds after the run, from command-line argument 2: a signed
// 32-bit integer with optional leading blanks and sign, in decimal, or in
// hexadecimal after "$", "x" or "0x" (hexadecimal takes up to 32 bits, read as
// two's complement, so "$FFFFFFFF" is -1). A missing, empty, malformed or
// out-of-range argument gives the default of 5 seconds.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace skw {

inline constexpr int32_t kDefaultCountdown = 5;

// The integer Text stands for, or nothing when it is not one.
std::optional<int32_t> ParseInteger(const std::string& Text);

// The countdown for argument 2 (Argument empty when there is none).
int32_t CountdownFromArgument(const std::string& Argument);

}  // namespace skw
