// Small text scanners used when parsing names and numbers out of paths and
// extensions: splitting off a token at a separator and testing for digits.
#pragma once
#include <string>
#include <string_view>

namespace kst {

// The part of S before the first Sep; S keeps what follows Sep. Without Sep (or
// with an empty Sep) the result is all of S and S becomes empty, so a loop over
// GetToken always ends.
std::string GetToken(std::string& S, std::string_view Sep);

// True when every character is a decimal digit (also for an empty S).
bool IsNumeric(std::string_view S);

}  // namespace kst
