// Wildcard matching. The matcher walks name and pattern side by side; at a "*"
// on either side it tries every continuation of the other side. Done naively that
// search is exponential in the number of "*" (and entry names come from the
// archive, so anyone can put thousands of them there), so every sub-match that
// failed is remembered and the search runs on an explicit stack: the time is
// bounded by the number of distinct sub-matches and the stack depth by nothing
// but memory.
#include "archive/names/Wildcard.h"

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "archive/names/NoCase.h"

namespace kst {
namespace {

bool AllStars(std::string_view Text, size_t From, size_t To) {
  for (size_t K = From; K < To; ++K) {
    if (Text[K] != '*') return false;
  }
  return true;
}

// One sub-match: S[SBegin, SEnd) against P[PBegin, PEnd), before the trailing
// "." of each is dropped.
using TSubMatch = std::array<size_t, 4>;

// What walking a sub-match gives: a final answer, or a "*" at which the answer
// is the disjunction of the sub-matches for every continuation in [From, To) of
// the side that did not hold the star.
struct TWalk {
  bool Decided = false;
  bool Result = false;
  bool StarInName = false;  // the "*" was in S, so P continues at each k
  size_t Fixed = 0;         // index after the "*" on the side that held it
  size_t Other = 0;         // end (trimmed) on the side that held the star
  size_t OtherEnd = 0;      // end (trimmed) of the side that continues
  size_t From = 0;
  size_t To = 0;
};

class TMatcher {
 public:
  TMatcher(std::string_view S, std::string_view P) : FS(S), FP(P) {}

  bool Run() {
    const TSubMatch Root{0, FS.size(), 0, FP.size()};
    TWalk First = Walk(Root);
    if (First.Decided) return First.Result;
    std::vector<TFrame> Stack;
    Stack.push_back({Root, First, First.From});
    while (!Stack.empty()) {
      TFrame& Top = Stack.back();
      if (Top.Next == Top.Branch.To) {
        FFailed.insert(Top.Key);
        Stack.pop_back();
        continue;
      }
      const TSubMatch Child = ChildOf(Top.Branch, Top.Next++);
      if (FFailed.count(Child) != 0) continue;
      TWalk Step = Walk(Child);
      if (Step.Decided) {
        // A match anywhere below makes every pending sub-match a match.
        if (Step.Result) return true;
        FFailed.insert(Child);
        continue;
      }
      Stack.push_back({Child, Step, Step.From});
    }
    return false;
  }

 private:
  struct TFrame {
    TSubMatch Key;
    TWalk Branch;
    size_t Next;
  };

  static TSubMatch ChildOf(const TWalk& W, size_t K) {
    if (W.StarInName) return {W.Fixed, W.Other, K, W.OtherEnd};
    return {K, W.OtherEnd, W.Fixed, W.Other};
  }

  static TWalk Decide(bool Result) {
    TWalk W;
    W.Decided = true;
    W.Result = Result;
    return W;
  }

  TWalk Walk(const TSubMatch& Key) const {
    auto [I, SEnd, J, PEnd] = Key;
    if (SEnd > I && FS[SEnd - 1] == '.') --SEnd;
    if (PEnd > J && FP[PEnd - 1] == '.') --PEnd;
    if (I == SEnd) return Decide(AllStars(FP, J, PEnd));
    if (J == PEnd) return Decide(AllStars(FS, I, SEnd));
    while (I < SEnd && J < PEnd) {
      if (FS[I] == '?' || FP[J] == '?') {
        ++I;
        ++J;
      } else if (FS[I] == '*') {
        ++I;
        if (I == SEnd) return Decide(true);
        TWalk W;
        W.StarInName = true;
        W.Fixed = I;
        W.Other = SEnd;
        W.OtherEnd = PEnd;
        W.From = J;
        W.To = PEnd;
        return W;
      } else if (FP[J] == '*') {
        ++J;
        if (J == PEnd) return Decide(true);
        TWalk W;
        W.StarInName = false;
        W.Fixed = J;
        W.Other = PEnd;
        W.OtherEnd = SEnd;
        W.From = I;
        W.To = SEnd;
        return W;
      } else if (AsciiLower(FS[I]) == AsciiLower(FP[J])) {
        ++I;
        ++J;
      } else {
        return Decide(false);
      }
    }
    if (I == SEnd) return Decide(AllStars(FP, J, PEnd));
    return Decide(AllStars(FS, I, SEnd));
  }

  std::string_view FS;
  std::string_view FP;
  std::set<TSubMatch> FFailed;
};

// Everything before the last "\" or ":"; the "\" itself is kept only for a root
// ("\", "C:\", or a doubled separator).
std::string_view DirectoryPart(std::string_view Path) {
  const size_t I = LastPathDelimiter(Path);
  if (I == std::string_view::npos) return {};
  if (I > 0 && Path[I] == '\\' && Path[I - 1] != '\\' && Path[I - 1] != ':') return Path.substr(0, I);
  return Path.substr(0, I + 1);
}

std::string_view NamePart(std::string_view Path) {
  const size_t I = LastPathDelimiter(Path);
  return I == std::string_view::npos ? Path : Path.substr(I + 1);
}

// From the last "." of a file name, dot included; empty without a dot.
std::string_view ExtensionPart(std::string_view FileName) {
  const size_t I = FileName.rfind('.');
  return I == std::string_view::npos ? std::string_view{} : FileName.substr(I);
}

// Without "*" or "?" on either side the walk compares letter by letter: the
// two match when they have the same length and the same letters, a-z folded.
bool PlainMatch(std::string_view S, std::string_view P) {
  return EqualNoCase(WithoutTrailingDot(S), WithoutTrailingDot(P));
}

}  // namespace

// A loop rather than a search for either character, which looks each one up in the set.
bool HasWildChars(std::string_view Text) {
  return std::any_of(Text.begin(), Text.end(), [](char C) { return C == '*' || C == '?'; });
}

std::string_view WithoutTrailingDot(std::string_view Text) {
  return !Text.empty() && Text.back() == '.' ? Text.substr(0, Text.size() - 1) : Text;
}

size_t LastPathDelimiter(std::string_view Path) {
  // The same kind of loop, from the end.
  for (size_t I = Path.size(); I > 0; --I)
    if (Path[I - 1] == '\\' || Path[I - 1] == ':') return I - 1;
  return std::string_view::npos;
}

bool MatchPattern(std::string_view S, std::string_view P) {
  // Selecting one entry by its exact name matches the pattern against every
  // name of the archive: the plain comparison keeps that cheap.
  if (!HasWildChars(S) && !HasWildChars(P)) return PlainMatch(S, P);
  return TMatcher(S, P).Run();
}

bool WildCard(std::string_view Name, std::string_view Pattern) {
  if (Pattern.find('\\') != std::string_view::npos && !MatchPattern(DirectoryPart(Name), DirectoryPart(Pattern))) {
    return false;
  }
  const std::string_view NameFile = NamePart(Name);
  const std::string_view PatternFile = NamePart(Pattern);
  return MatchPattern(NameFile, PatternFile) && MatchPattern(ExtensionPart(NameFile), ExtensionPart(PatternFile));
}

bool IsWildCard(const TStringList& List) { return List.size() == 1 && List.front().find('*') != std::string::npos; }

}  // namespace kst
