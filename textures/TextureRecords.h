// Every record of a texture container as the scan walks it, for the tools that
// show or compare containers (the texture index keeps only the records a picture
// can replace). The walk is the scan's own (TextureScan.cpp): the same bounds
// checks, the same "-D" rule for a name repeating the record before it, the
// same notion of which records are indexed. A record whose type is above 3 ends
// after its type field and has no header values, data offset or data size.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "archive/io/MemoryStream.h"

namespace skw {

struct TTextureRecord {
  int Number = 0;    // position in the file, from 0
  std::string Name;  // as the texture index writes it (with "-D")
  int32_t Type = 0;
  bool HasHeader = false;  // false for a type above 3
  int32_t MipCount = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t PaletteNumber = 0;  // 0 in the true-colour container
  int64_t RecordOffset = 0;   // position of the name length field
  int64_t DataOffset = 0;
  int64_t DataSize = 0;  // pixel data of all levels, without the 4 tail bytes
  bool Indexed = false;
};

// Walks the records of a container held in Stream, calling OnRecord for each in
// file order, up to and including "WOOD PLANK". Answers false as soon as the
// container proves not valid (the scan's message kInvalidContainerText then
// applies); records reported before that point were well formed. EndPosition
// receives the position the walk reached.
bool WalkTextureRecords(const kst::TMemoryStream& Stream, bool BinContainer,
                        const std::function<void(const TTextureRecord&)>& OnRecord, int64_t& EndPosition);

// Palette count of the container (the walk has checked it is not negative).
int32_t PaletteCountOf(const kst::TMemoryStream& Stream);

}  // namespace skw
