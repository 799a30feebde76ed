// Token splitting and digit tests; see Tokens.h.
#include "archive/names/Tokens.h"

#include <algorithm>

namespace kst {

std::string GetToken(std::string& S, std::string_view Sep) {
  const size_t At = Sep.empty() ? std::string::npos : S.find(Sep);
  std::string Token;
  if (At == std::string::npos) {
    Token.swap(S);
  } else {
    Token = S.substr(0, At);
    S.erase(0, At + Sep.size());
  }
  return Token;
}

bool IsNumeric(std::string_view S) {
  return std::all_of(S.begin(), S.end(), [](char C) { return C >= '0' && C <= '9'; });
}

}  // namespace kst
