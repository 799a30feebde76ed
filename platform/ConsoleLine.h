// One line of typed input, gathered from a source of characters: the bytes up
// to a line end, without it (and without a carriage return before it); nullopt
// when the input ended first with nothing read. Shared by the line readers of
// both sides.
#pragma once
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// NextChar answers the next byte as an unsigned char value, or EOF.
template <typename TNextChar>
std::optional<std::string> LineOf(TNextChar&& NextChar) {
  std::string Line;
  for (;;) {
    const int C = NextChar();
    if (C == EOF) return Line.empty() ? std::nullopt : std::optional<std::string>(Line);
    if (C == '\n') break;
    Line += char(C);
  }
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  return Line;
}

}  // namespace platform
