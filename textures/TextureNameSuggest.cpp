// NearestTextureNames: what a picture name that matches no texture was
// probably meant for. Names are compared with the letters A-Z folded to a-z
// (the import's own match is exact, so a case slip is the commonest miss), by
// the number of single-character insertions, deletions and substitutions; a
// name counts as near within a third of its length (at least 2), and equal
// distances keep index order. The index's names are few and short, so the
// plain two-row distance is cheap enough for every picture that misses.
#include <algorithm>

#include "textures/TextureImport.h"
#include "textures/TextureIndex.h"

namespace skw {

namespace {

char Folded(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + ('a' - 'A')) : C; }

size_t FoldedDistance(const std::string& A, const std::string& B) {
  std::vector<size_t> Previous(B.size() + 1);
  std::vector<size_t> Current(B.size() + 1);
  for (size_t J = 0; J <= B.size(); ++J) Previous[J] = J;
  for (size_t I = 1; I <= A.size(); ++I) {
    Current[0] = I;
    for (size_t J = 1; J <= B.size(); ++J) {
      const size_t Change = Previous[J - 1] + (Folded(A[I - 1]) == Folded(B[J - 1]) ? 0 : 1);
      Current[J] = std::min({Change, Previous[J] + 1, Current[J - 1] + 1});
    }
    std::swap(Previous, Current);
  }
  return Previous[B.size()];
}

}  // namespace

std::vector<std::string> NearestTextureNames(const kst::TStringList& Index, const std::string& Name, size_t Limit) {
  const size_t Reach = std::max<size_t>(2, Name.size() / 3);
  std::vector<std::pair<size_t, std::string>> Near;
  for (int Group = 0; Group < TextureCount(Index); ++Group) {
    const std::string& Candidate = IndexLine(Index, Group, ilName);
    const size_t LengthGap =
        Candidate.size() > Name.size() ? Candidate.size() - Name.size() : Name.size() - Candidate.size();
    if (LengthGap > Reach) continue;
    const size_t Distance = FoldedDistance(Name, Candidate);
    if (Distance > Reach) continue;
    if (std::any_of(Near.begin(), Near.end(), [Candidate](const auto& Known) { return Known.second == Candidate; }))
      continue;
    Near.emplace_back(Distance, Candidate);
  }
  std::stable_sort(Near.begin(), Near.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  std::vector<std::string> Names;
  for (size_t I = 0; I < Near.size() && I < Limit; ++I) Names.push_back(Near[I].second);
  return Names;
}

}  // namespace skw
