// Reading an integer as the command line's countdown argument is written:
// blanks, sign, then decimal digits or a hexadecimal prefix and hex digits, and
// nothing after them. Values are accumulated in 64 bits and checked against the
// 32-bit range at every digit, so no input can overflow.
#include "installer/CountdownArgument.h"

namespace skw {

namespace {

int DigitValue(char C, int Base) {
  int value = -1;
  if (C >= '0' && C <= '9')
    value = C - '0';
  else if (C >= 'a' && C <= 'f')
    value = C - 'a' + 10;
  else if (C >= 'A' && C <= 'F')
    value = C - 'A' + 10;
  return value < Base ? value : -1;
}

}  // namespace

std::optional<int32_t> ParseInteger(const std::string& Text) {
  size_t pos = Text.find_first_not_of(' ');
  if (pos == std::string::npos) return std::nullopt;
  bool negative = false;
  if (Text[pos] == '+' || Text[pos] == '-') negative = Text[pos++] == '-';
  int base = 10;
  if (pos < Text.size() && (Text[pos] == '$' || Text[pos] == 'x' || Text[pos] == 'X')) {
    base = 16;
    ++pos;
  } else if (Text.compare(pos, 2, "0x") == 0 || Text.compare(pos, 2, "0X") == 0) {
    base = 16;
    pos += 2;
  }
  // Decimal may reach 2^31 for the negative limit; hexadecimal any 32-bit pattern.
  const int64_t limit = base == 16 ? 0xFFFFFFFFll : (negative ? 0x80000000ll : 0x7FFFFFFFll);
  if (pos >= Text.size()) return std::nullopt;
  int64_t value = 0;
  for (; pos < Text.size(); ++pos) {
    const int digit = DigitValue(Text[pos], base);
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  const int32_t magnitude = static_cast<int32_t>(static_cast<uint32_t>(value));
  return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(magnitude)) : magnitude;
}

int32_t CountdownFromArgument(const std::string& Argument) {
  return ParseInteger(Argument).value_or(kDefaultCountdown);
}

}  // namespace skw
