// Entry selection of kst as users type it on the command line: "*" and "?"
// match any characters (dots and folder separators included), "[...]" a class
// ("[!...]" or "[^...]" its complement, "a-z" ranges), "/" and "\" are the
// same character (a "\" that is part of an entry's name included), case counts
// on Linux but not on Windows. A pattern that is exactly an entry's name
// selects it even when it holds "[", "*" or "?". The
// tool decides this itself (through the components' CheckWildCard), so the
// library's own wildcard rules stay as they are.
#pragma once
#include <string>
#include <vector>

namespace kst_tool {

class TEntryPatterns {
 public:
  // No includes selects every entry; an exclude match always deselects.
  TEntryPatterns() = default;
  TEntryPatterns(std::vector<std::string> Includes, std::vector<std::string> Excludes);
  bool Selects(const std::string& EntryName) const;

 private:
  std::vector<std::string> FIncludes;
  std::vector<std::string> FExcludes;
};

// Glob match of Name against Pattern by the rules above (both with "/" only).
bool GlobMatches(const std::string& Pattern, const std::string& Name);

}  // namespace kst_tool
