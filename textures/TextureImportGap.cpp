// TContainerPatch's gap: spare bytes kept inside the container while the
// import runs, so that textures resized in container order are laid out at
// once, with nothing held aside. The container in memory is then the laid-out
// container with the gap's bytes inserted at FGapStart; offsets kept by the
// patch are those of the laid-out container (Physical maps them). Bringing the
// gap forward to the next resize moves only the bytes between the two, so a
// run whose resizes follow the container's order moves every byte about twice
// in all (into the gap's far side, and back when it passes), whatever the
// number of textures; Commit closes the gap in its one pass of moves.
#include <cstring>

#include "textures/TextureImportPatch.h"

namespace skw {

bool TContainerPatch::GapAt(int64_t End, int64_t Delta) {
  uint8_t* Base = FContainer.Memory();
  if (FGapStart < 0) {
    if (Delta > FGapReserve) return false;
    const int64_t Size = FContainer.Size();
    FContainer.SetSize(Size + FGapReserve);
    Base = FContainer.Memory();
    std::memmove(Base + End + FGapReserve, Base + End, static_cast<size_t>(Size - End));
    FGapStart = End;
    FGapSize = FGapReserve;
    FGapReserve = 0;
    return true;
  }
  if (End < FGapStart || Delta > FGapSize) return false;
  std::memmove(Base + FGapStart, Base + FGapStart + FGapSize, static_cast<size_t>(End - FGapStart));
  FGapStart = End;
  return true;
}

uint8_t* TContainerPatch::ResizeInGap(int Group, int64_t Size) {
  TGroup& Target = FGroups.at(static_cast<size_t>(Group));
  const int64_t Delta = Size - Target.AreaSize;
  FGapStart += Delta;
  FGapSize -= Delta;
  Target.AreaSize = Size;
  Target.Size = Size;
  for (size_t Later = static_cast<size_t>(Group) + 1; Later < FGroups.size(); ++Later)
    FGroups[Later].DataOffset += Delta;
  // The area and the gap's front are one run of memory: the data go
  // straight to their place, whether they shrank or grew.
  return FContainer.Memory() + Target.DataOffset;
}

}  // namespace skw
