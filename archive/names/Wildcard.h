// Wildcard matching of entry names against patterns such as "*.bmp"
// or "dir\*.txt". "*" matches any run of characters and "?" any single character,
// in the name as well as in the pattern; letters a-z match A-Z and nothing else is
// folded. A pattern without "\" ignores the directories of a name.
#pragma once
#include <string>
#include <string_view>

#include "archive/core/StringList.h"

namespace kst {

// The matcher behind WildCard: S from the name, P from the pattern; one trailing
// "." is ignored on each side. Runs in time polynomial in the lengths, whatever
// number of "*" either side holds.
bool MatchPattern(std::string_view S, std::string_view P);

// Position of the last "\" or ":" of Path, or npos.
size_t LastPathDelimiter(std::string_view Path);

// Names without "*" or "?" are compared without regard to case (NoCase.h)
// and with one trailing "." dropped.
bool HasWildChars(std::string_view Text);
std::string_view WithoutTrailingDot(std::string_view Text);

// True when the directory part (only when Pattern holds a "\"), the file name part
// and the extension of Name all match those of Pattern.
bool WildCard(std::string_view Name, std::string_view Pattern);

// True when List holds exactly one string and that string contains "*".
bool IsWildCard(const TStringList& List);

}  // namespace kst
