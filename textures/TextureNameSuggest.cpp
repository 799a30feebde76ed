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
  std::vector<size_t> previous(B.size() + 1);
  std::vector<size_t> current(B.size() + 1);
  for (size_t j = 0; j <= B.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= A.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= B.size(); ++j) {
      const size_t change = previous[j - 1] + (Folded(A[i - 1]) == Folded(B[j - 1]) ? 0 : 1);
      current[j] = std::min({change, previous[j] + 1, current[j - 1] + 1});
    }
    std::swap(previous, current);
  }
  return previous[B.size()];
}

}  // namespace

std::vector<std::string> NearestTextureNames(const kst::TStringList& Index, const std::string& Name, size_t Limit) {
  const size_t reach = std::max<size_t>(2, Name.size() / 3);
  std::vector<std::pair<size_t, std::string>> near;
  for (int Group = 0; Group < TextureCount(Index); ++Group) {
    const std::string& candidate = IndexLine(Index, Group, ilName);
    const size_t lengthGap =
        candidate.size() > Name.size() ? candidate.size() - Name.size() : Name.size() - candidate.size();
    if (lengthGap > reach) continue;
    const size_t distance = FoldedDistance(Name, candidate);
    if (distance > reach) continue;
    if (std::any_of(near.begin(), near.end(), [&](const auto& Known) { return Known.second == candidate; })) continue;
    near.emplace_back(distance, candidate);
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  std::vector<std::string> names;
  for (size_t i = 0; i < near.size() && i < Limit; ++i) names.push_back(near[i].second);
  return names;
}

}  // namespace skw
