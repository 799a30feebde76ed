// Command-line patterns of kst; see Patterns.h for the rules. The matcher
// walks pattern and name once with one back-track point for the last "*", so
// no pattern costs more than the product of the two lengths.
#include "tools/kst/Patterns.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/NameBackslash.h"

namespace kst_tool {
namespace {

char Fold(char C) {
  if (C == '\\') return '/';
  return platform::kIsWindows ? char(std::tolower(static_cast<unsigned char>(C))) : C;
}

std::string Folded(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(), Fold);
  return Text;
}

// Matches the class starting at Pattern[At] ("[") against C; sets Next past
// the closing "]". A "[" without a closing "]" is an ordinary character.
bool ClassMatches(const std::string& Pattern, size_t At, char C, size_t& Next) {
  size_t I = At + 1;
  const bool Negated = I < Pattern.size() && (Pattern[I] == '!' || Pattern[I] == '^');
  if (Negated) ++I;
  const size_t First = I;
  bool Found = false;
  for (; I < Pattern.size() && (Pattern[I] != ']' || I == First); ++I) {
    if (I + 2 < Pattern.size() && Pattern[I + 1] == '-' && Pattern[I + 2] != ']') {
      Found = Found || (Pattern[I] <= C && C <= Pattern[I + 2]);
      I += 2;
    } else {
      Found = Found || Pattern[I] == C;
    }
  }
  if (I >= Pattern.size()) {
    Next = At + 1;
    return C == '[';
  }
  Next = I + 1;
  return Found != Negated;
}

}  // namespace

bool GlobMatches(const std::string& Pattern, const std::string& Name) {
  size_t P = 0, N = 0;
  size_t StarP = std::string::npos, StarN = 0;
  while (N < Name.size()) {
    size_t Next = P + 1;
    if (P < Pattern.size() && Pattern[P] == '*') {
      StarP = P++;
      StarN = N;
      continue;
    }
    if (P < Pattern.size() &&
        (Pattern[P] == '?' || (Pattern[P] == '[' ? ClassMatches(Pattern, P, Name[N], Next) : Pattern[P] == Name[N]))) {
      P = Next;
      ++N;
      continue;
    }
    if (StarP == std::string::npos) return false;
    P = StarP + 1;
    N = ++StarN;
  }
  while (P < Pattern.size() && Pattern[P] == '*') ++P;
  return P == Pattern.size();
}

TEntryPatterns::TEntryPatterns(std::vector<std::string> Includes, std::vector<std::string> Excludes)
    : FIncludes(std::move(Includes)), FExcludes(std::move(Excludes)) {
  for (std::string& Pattern : FIncludes) Pattern = Folded(Pattern);
  for (std::string& Pattern : FExcludes) Pattern = Folded(Pattern);
}

bool TEntryPatterns::Selects(const std::string& EntryName) const {
  const std::string Name = Folded(platform::WithNameBackslashes(EntryName));
  const auto Hits = [&Name](const std::string& Pattern) { return Pattern == Name || GlobMatches(Pattern, Name); };
  if (!FIncludes.empty() && std::none_of(FIncludes.begin(), FIncludes.end(), Hits)) return false;
  return std::none_of(FExcludes.begin(), FExcludes.end(), Hits);
}

}  // namespace kst_tool
