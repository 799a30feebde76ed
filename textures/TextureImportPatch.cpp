// TContainerPatch: collecting the import's edits and laying them out once.
// Commit turns the edits into two lists: runs of container bytes that move by
// a fixed distance (a run ends where a texture's data changed size, and
// every byte behind it moves by the running sum of the changes), and pieces
// held aside (added palettes, the bytes of grown data beyond their old area)
// with their final places. The runs keep their order, so the moves can be done in place:
// first the runs moving towards the start, front to back, then the runs moving
// towards the end, back to front; no run then overwrites bytes still to be
// moved. The pieces held aside go in last. The container is enlarged before
// and cut after, so it is reallocated at most once per run.
#include "textures/TextureImportPatch.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "textures/TextureContainer.h"
#include "textures/TextureIndex.h"

namespace skw {

TContainerPatch::TContainerPatch(kst::TMemoryStream& Container, kst::TStringList& Index, bool BinContainer)
    : FContainer(Container), FIndex(Index), FBinContainer(BinContainer) {
  const int Count = TextureCount(Index);
  const int32_t BytesPerPixel = BinContainer ? 3 : 1;
  FGroups.reserve(static_cast<size_t>(Count));
  for (int Group = 0; Group < Count; ++Group) {
    const TTextureEntry Entry = TextureAt(Index, Group);
    const int64_t Size = PixelDataSize(Entry.Width, Entry.Height, Entry.MipCount, BytesPerPixel);
    FGroups.push_back(TGroup{Entry.DataOffset, Size, Size, dsOriginal});
  }
  if (!BinContainer && Count > 0 && !ReadInt32At(Container, kPaletteCountOffset, FTablePalettes)) FTablePalettes = -1;
  CheckLayout();
}

void TContainerPatch::CheckLayout() const {
  if (FGroups.empty()) return;
  if (FTablePalettes < 0) throw std::runtime_error("The container's palette count is not valid");
  int64_t Free = FBinContainer ? 0 : FirstRecordOffset(FTablePalettes);
  for (const TGroup& Group : FGroups) {
    const int64_t Header = Group.DataOffset - MipCountDistance(FBinContainer);
    if (Header < Free || Group.AreaSize < 0 || Group.AreaSize > FContainer.Size() - kRecordTailBytes - Group.DataOffset)
      throw std::runtime_error("The texture index does not match the container");
    Free = Group.DataOffset + Group.AreaSize + kRecordTailBytes;
  }
}

const uint8_t* TContainerPatch::PaletteAt(int32_t Number) const {
  if (Number < FTablePalettes) return FContainer.Memory() + PaletteOffset(Number);
  return FAddedPalettes[static_cast<size_t>(Number - FTablePalettes)].data();
}

int32_t TContainerPatch::ChoosePalette(const TPaletteBytes& Palette) {
  const int32_t Count = FTablePalettes + static_cast<int32_t>(FAddedPalettes.size());
  for (int32_t Number = 0; Number < Count; ++Number)
    if (std::memcmp(PaletteAt(Number), Palette.data(), Palette.size()) == 0) return Number;
  // Grown by one at a time: a run adds few palettes, and the table held
  // aside is then no larger than they are.
  FAddedPalettes.reserve(FAddedPalettes.size() + 1);
  FAddedPalettes.push_back(Palette);
  WriteInt32At(FContainer, kPaletteCountOffset, Count + 1);
  return Count;
}

void TContainerPatch::WriteHeader(int Group, int32_t MipCount, int32_t Width, int32_t Height) {
  const int64_t Data = FGroups.at(static_cast<size_t>(Group)).DataOffset;
  WriteInt32At(FContainer, Physical(Data - MipCountDistance(FBinContainer)), MipCount);
  WriteInt32At(FContainer, Physical(Data - WidthDistance(FBinContainer)), Width);
  WriteInt32At(FContainer, Physical(Data - HeightDistance(FBinContainer)), Height);
}

void TContainerPatch::WritePaletteNumber(int Group, int32_t Number) {
  const int64_t Data = FGroups.at(static_cast<size_t>(Group)).DataOffset;
  WriteInt32At(FContainer, Physical(Data - kPaletteNumberDistance), Number);
}

uint8_t* TContainerPatch::NewData(int Group, int64_t Size) {
  TGroup& Target = FGroups.at(static_cast<size_t>(Group));
  if (Target.State == dsOriginal && Size != Target.AreaSize &&
      GapAt(Target.DataOffset + Target.AreaSize, Size - Target.AreaSize))
    return ResizeInGap(Group, Size);
  Target.Size = Size;
  FAside.erase(Group);
  if (Size <= Target.AreaSize) {
    if (Target.State != dsOriginal || Size != Target.AreaSize) Target.State = dsInPlace;
    return FContainer.Memory() + Physical(Target.DataOffset);
  }
  // Sized here, so that Commit finds the right number of bytes even if the
  // data never arrive.
  FAside[Group].resize(static_cast<size_t>(Size - Target.AreaSize));
  FScratch.resize(static_cast<size_t>(Size));
  Target.State = dsGrown;
  return FScratch.data();
}

void TContainerPatch::DataDone(int Group) {
  TGroup& Target = FGroups.at(static_cast<size_t>(Group));
  if (Target.State != dsGrown) return;
  const size_t Area = static_cast<size_t>(Target.AreaSize);
  std::memcpy(FContainer.Memory() + Physical(Target.DataOffset), FScratch.data(), Area);
  std::vector<uint8_t>& Aside = FAside.at(Group);
  std::memcpy(Aside.data(), FScratch.data() + Area, Aside.size());
}

void TContainerPatch::Commit() {
  const int64_t Size = FContainer.Size() - FGapSize;  // with the gap closed
  std::vector<TMove> Moves;
  std::vector<TPlacement> Placements;
  int64_t Shift = 0;
  int64_t Cursor = 0;
  // The bytes from Cursor up to End stay, moved by the current shift (and out
  // of the gap's way): runs are split where the gap stands.
  const auto Keep = [&](int64_t End) {
    const auto Run = [&](int64_t From, int64_t To) {
      if (To > From && Physical(From) != From + Shift) Moves.push_back(TMove{Physical(From), To - From, From + Shift});
    };
    if (End > Cursor) {
      const bool Split = FGapStart > Cursor && FGapStart < End;
      Run(Cursor, Split ? FGapStart : End);
      if (Split) Run(FGapStart, End);
    }
    Cursor = std::max(Cursor, End);
  };
  if (!FAddedPalettes.empty()) {
    const int64_t TableEnd = PaletteOffset(FTablePalettes);
    Keep(TableEnd);
    const int64_t Bytes = static_cast<int64_t>(FAddedPalettes.size()) * kPaletteBytes;
    Placements.push_back(TPlacement{FAddedPalettes.front().data(), Bytes, TableEnd});
    Shift = Bytes;
  }
  std::vector<int64_t> Shifts(FGroups.size(), 0);
  for (size_t Group = 0; Group < FGroups.size(); ++Group) {
    TGroup& G = FGroups[Group];
    Shifts[Group] = Shift;
    if (G.State == dsOriginal) continue;
    Keep(G.DataOffset + std::min(G.Size, G.AreaSize));
    if (G.State == dsGrown)
      Placements.push_back(TPlacement{FAside.at(static_cast<int>(Group)).data(), G.Size - G.AreaSize,
                                      G.DataOffset + G.AreaSize + Shift});
    Cursor = G.DataOffset + G.AreaSize;
    Shift += G.Size - G.AreaSize;
  }
  Keep(Size);
  PlaceAll(Moves, Placements, Size + Shift);
  FGapStart = -1;
  FGapSize = 0;

  for (size_t Group = 0; Group < FGroups.size(); ++Group) {
    TGroup& G = FGroups[Group];
    G.DataOffset += Shifts[Group];
    // The index is read back rather than remembered per group, which keeps
    // the per-group record small on containers of many textures.
    if (G.DataOffset != IndexNumber(FIndex, static_cast<int>(Group), ilDataOffset))
      SetIndexNumber(FIndex, static_cast<int>(Group), ilDataOffset, G.DataOffset);
    G.AreaSize = G.Size;
    G.State = dsOriginal;
  }
  FAside.clear();
  FTablePalettes += static_cast<int32_t>(FAddedPalettes.size());
  FAddedPalettes.clear();
}

void TContainerPatch::PlaceAll(const std::vector<TMove>& Moves, const std::vector<TPlacement>& Placements,
                               int64_t NewSize) {
  if (NewSize > FContainer.Size()) FContainer.SetSize(NewSize);
  uint8_t* Base = FContainer.Memory();
  const auto Move = [Base](const TMove& M) { std::memmove(Base + M.To, Base + M.From, static_cast<size_t>(M.Length)); };
  for (const TMove& M : Moves)
    if (M.To < M.From) Move(M);
  for (auto M = Moves.rbegin(); M != Moves.rend(); ++M)
    if (M->To > M->From) Move(*M);
  for (const TPlacement& P : Placements)
    if (P.Length > 0) std::memcpy(Base + P.To, P.Data, static_cast<size_t>(P.Length));
  if (NewSize < FContainer.Size()) FContainer.SetSize(NewSize);
}

}  // namespace skw
