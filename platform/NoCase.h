// Comparisons of names without regard to case, as Windows compares registry
// keys, file names and patterns: one definition of how letters fold (the C
// library's tolower of each byte) for the registry readers and the Linux path
// lookup, so every one of them treats the same two names as the same.
#pragma once
#include <cctype>
#include <string>
#include <string_view>

namespace platform {

inline char FoldCase(char C) { return static_cast<char>(std::tolower(static_cast<unsigned char>(C))); }

inline bool SameLetterNoCase(char A, char B) { return FoldCase(A) == FoldCase(B); }

inline bool StartsWithNoCase(std::string_view Text, std::string_view Prefix) {
  if (Text.size() < Prefix.size()) return false;
  for (size_t I = 0; I < Prefix.size(); ++I)
    if (!SameLetterNoCase(Text[I], Prefix[I])) return false;
  return true;
}

inline bool EqualsNoCase(std::string_view A, std::string_view B) {
  return A.size() == B.size() && StartsWithNoCase(A, B);
}

// Name with every letter folded, as a key under which spellings differing
// only in case meet.
inline std::string FoldedCase(std::string_view Name) {
  std::string Folded(Name);
  for (char& C : Folded) C = FoldCase(C);
  return Folded;
}

}  // namespace platform
