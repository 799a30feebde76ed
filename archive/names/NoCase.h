// Comparisons of names that ignore case the way the library does everywhere:
// only the ASCII letters fold (A-Z equals a-z), so every machine and locale
// gives the same answer for archive names, extensions and output paths.
#pragma once
#include <algorithm>
#include <string_view>

namespace kst {

constexpr char AsciiLower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }

inline bool EqualNoCase(std::string_view A, std::string_view B) {
  return A.size() == B.size() &&
         std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return AsciiLower(X) == AsciiLower(Y); });
}

inline bool StartsWithNoCase(std::string_view Text, std::string_view Prefix) {
  return Prefix.size() <= Text.size() && EqualNoCase(Text.substr(0, Prefix.size()), Prefix);
}

}  // namespace kst
