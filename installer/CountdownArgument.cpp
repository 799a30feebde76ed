// Reading an integer as the command line's countdown argument is written:
// blanks, sign, then decimal digits or a hexadecimal prefix and hex digits, and
// nothing after them. Values are accumulated in 64 bits and checked against the
// 32-bit range at every digit, so no input can overflow.
#include "installer/CountdownArgument.h"

namespace skw {

namespace {

int DigitValue(char C, int Base) {
  int Value = -1;
  if (C >= '0' && C <= '9')
    Value = C - '0';
  else if (C >= 'a' && C <= 'f')
    Value = C - 'a' + 10;
  else if (C >= 'A' && C <= 'F')
    Value = C - 'A' + 10;
  return Value < Base ? Value : -1;
}

}  // namespace

std::optional<int32_t> ParseInteger(const std::string& Text) {
  size_t Pos = Text.find_first_not_of(' ');
  if (Pos == std::string::npos) return std::nullopt;
  bool Negative = false;
  if (Text[Pos] == '+' || Text[Pos] == '-') Negative = Text[Pos++] == '-';
  int Base = 10;
  if (Pos < Text.size() && (Text[Pos] == '$' || Text[Pos] == 'x' || Text[Pos] == 'X')) {
    Base = 16;
    ++Pos;
  } else if (Text.compare(Pos, 2, "0x") == 0 || Text.compare(Pos, 2, "0X") == 0) {
    Base = 16;
    Pos += 2;
  }
  // Decimal may reach 2^31 for the negative limit; hexadecimal any 32-bit pattern.
  const int64_t Limit = Base == 16 ? 0xFFFFFFFFll : (Negative ? 0x80000000ll : 0x7FFFFFFFll);
  if (Pos >= Text.size()) return std::nullopt;
  int64_t Value = 0;
  for (; Pos < Text.size(); ++Pos) {
    const int Digit = DigitValue(Text[Pos], Base);
    if (Digit < 0) return std::nullopt;
    Value = Value * Base + Digit;
    if (Value > Limit) return std::nullopt;
  }
  const int32_t Magnitude = static_cast<int32_t>(static_cast<uint32_t>(Value));
  return Negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(Magnitude)) : Magnitude;
}

int32_t CountdownFromArgument(const std::string& Argument) {
  return ParseInteger(Argument).value_or(kDefaultCountdown);
}

}  // namespace skw
