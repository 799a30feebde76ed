// A "\" that belongs to a file name instead of separating folders. Archives
// made on Unix-like systems may hold names such as "x\y.txt", where "\" is an
// ordinary character, but the archive library passes paths around with "\" as
// its separator. Where a program asks to keep such names whole on Linux, the
// library carries their "\" as a private-use character (U+F05C) that no real
// name needs; the Linux path layer writes it as "\" in the file system and
// tools turn it back before showing a name. Windows names cannot hold "\", so
// the Windows build never sees it.
#pragma once
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kNameBackslash = "\xEF\x81\x9C";

// Text with every kNameBackslash turned back into "\".
inline std::string WithNameBackslashes(std::string Text) {
  size_t At = Text.find(kNameBackslash);
  if (At == std::string::npos) return Text;
  std::string Result(Text, 0, At);
  while (At != std::string::npos) {
    Result += '\\';
    const size_t Next = Text.find(kNameBackslash, At + kNameBackslash.size());
    Result.append(Text, At + kNameBackslash.size(),
                  Next == std::string::npos ? std::string::npos : Next - At - kNameBackslash.size());
    At = Next;
  }
  return Result;
}

}  // namespace platform
