// The overlap test of TEntrySpans: the spans sorted by start, with the furthest
// end reached so far, answer each question with two binary searches.
#include "archive/extract/EntrySpans.h"

#include <algorithm>

#include "archive/core/Ksttypes.h"

namespace kst {

void TEntrySpans::Add(uint32_t LocalOffset, uint32_t PackedSize) {
  const uint64_t Data = PackedSize == 0xFFFFFFFFu ? 0 : PackedSize;
  FSpans.push_back(TSpan{LocalOffset, uint64_t(LocalOffset) + TLocal::Size + Data});
}

void TEntrySpans::Seal() {
  std::sort(FSpans.begin(), FSpans.end(), [](const TSpan& A, const TSpan& B) { return A.Start < B.Start; });
  FReach.resize(FSpans.size());
  uint64_t Reach = 0;
  for (size_t I = 0; I < FSpans.size(); ++I) FReach[I] = Reach = std::max(Reach, FSpans[I].End);
}

bool TEntrySpans::Overlaps(uint64_t Start, uint64_t End) const {
  if (Start < FDirectoryEnd && End > FDirectoryStart) return true;
  const auto StartsAt = [](const TSpan& Span, uint64_t At) { return Span.Start < At; };
  const auto First = std::lower_bound(FSpans.begin(), FSpans.end(), Start, StartsAt);
  const auto Past = std::lower_bound(First, FSpans.end(), End, StartsAt);
  // The entry itself begins in its own span; anything else beginning there overlaps.
  if (Past - First > 1) return true;
  // A span that begins earlier must end before this entry begins.
  return First != FSpans.begin() && FReach[size_t(First - FSpans.begin()) - 1] > Start;
}

}  // namespace kst
