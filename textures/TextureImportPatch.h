// TContainerPatch: the container edits of one import run, collected so that
// the container is rebuilt once instead of being moved for every texture that
// changes size. Until Commit the container's bytes keep their original places:
// header fields and palette numbers are written where they stand, new pixel
// data are written into the texture's original data area as far as they fit,
// and only the bytes that do not fit there, and the palettes added to the
// table, are held aside. Commit lays everything out at its final place in one pass over
// the container and brings the data offsets of the texture index up to date;
// the result is the same bytes and index as moving the container after every
// texture. Palette searches see the added palettes as if they were already in
// the table.
//
// Resizes met in container order (the usual case) need nothing held aside:
// the patch keeps a gap of spare bytes inside the container, created at the
// first resize from the growth the run expects (ReserveGap) and moved forward
// to each later resize, where the texture's data grow into it or leave their
// surplus to it. A resize behind the gap, or larger than what is left of it,
// takes the way described above. Commit closes the gap in the same pass.
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "archive/io/MemoryStream.h"
#include "archive/core/StringList.h"
#include "textures/TextureImport.h"

namespace skw {

class TContainerPatch {
 public:
  // Takes the groups of Index as they stand; raises std::runtime_error when
  // they do not describe ordered, separate records inside the container.
  TContainerPatch(kst::TMemoryStream& Container, kst::TStringList& Index, bool BinContainer);
  TContainerPatch(const TContainerPatch&) = delete;
  TContainerPatch& operator=(const TContainerPatch&) = delete;

  // Number of the first palette equal to Palette; a palette found nowhere is
  // appended to the table (the palette count grows by one) and its number given.
  int32_t ChoosePalette(const TPaletteBytes& Palette);

  // Palettes in the table, those added by this run included.
  int32_t PaletteCount() const { return FTablePalettes + static_cast<int32_t>(FAddedPalettes.size()); }

  // Rewrites the mip count, width and height fields of the texture of Group.
  void WriteHeader(int Group, int32_t MipCount, int32_t Width, int32_t Height);
  // Rewrites its palette number (palettised container only).
  void WritePaletteNumber(int Group, int32_t Number);
  // Room for the texture's new pixel data of Size bytes, to be filled and then
  // handed back with DataDone before the next call on this patch; its old data
  // are dropped.
  uint8_t* NewData(int Group, int64_t Size);
  void DataDone(int Group);

  // Spare bytes for the gap, taken from the container's growth the run
  // expects; 0 (the default) keeps every resize on the held-aside way.
  void ReserveGap(int64_t Bytes) { FGapReserve = std::max<int64_t>(Bytes, 0); }

  // Moves everything to its final place, sets the container's size and the data
  // offsets of the index; afterwards the patch starts again from that state.
  void Commit();

 private:
  // dsInPlace: the new data fit in the area; dsGrown: the area holds their
  // first AreaSize bytes and Aside the rest.
  enum TDataState : uint8_t { dsOriginal, dsInPlace, dsGrown };
  struct TGroup {
    int64_t DataOffset;  // where the data stand in the container (the gap closed)
    int64_t AreaSize;    // bytes of data the container holds there
    int64_t Size;        // bytes of the texture's current data
    TDataState State = dsOriginal;
  };
  // A run of container bytes and where they end up.
  struct TMove {
    int64_t From;
    int64_t Length;
    int64_t To;
  };
  struct TPlacement {
    const uint8_t* Data;
    int64_t Length;
    int64_t To;
  };

  void CheckLayout() const;
  // Where a byte of the container stands in memory while the gap is open.
  int64_t Physical(int64_t Offset) const { return FGapStart >= 0 && Offset >= FGapStart ? Offset + FGapSize : Offset; }
  // Brings the gap to End, opening it there first if need be; false when it
  // lies behind End's texture or cannot take Delta more bytes.
  bool GapAt(int64_t End, int64_t Delta);
  // Resizes the data of Group through the gap, standing at their end.
  uint8_t* ResizeInGap(int Group, int64_t Size);
  const uint8_t* PaletteAt(int32_t Number) const;
  void PlaceAll(const std::vector<TMove>& Moves, const std::vector<TPlacement>& Placements, int64_t NewSize);

  kst::TMemoryStream& FContainer;
  kst::TStringList& FIndex;
  bool FBinContainer;
  std::vector<TGroup> FGroups;
  int32_t FTablePalettes = 0;  // palettes in the container's table
  std::vector<TPaletteBytes> FAddedPalettes;
  std::map<int, std::vector<uint8_t>> FAside;  // the held-aside bytes of grown groups
  std::vector<uint8_t> FScratch;               // the new data of a grown texture until DataDone
  int64_t FGapReserve = 0;
  int64_t FGapStart = -1;  // -1: no gap
  int64_t FGapSize = 0;
};

}  // namespace skw
