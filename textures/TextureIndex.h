// The texture index (TextureList): seven text lines per indexed texture, in the
// order of the records in the container. Texture n occupies lines 7n to 7n + 6:
// name (with "-D" for a repeated name), width, height, palette number ("0" in the
// true-colour container), type, data offset and mip count, numbers in plain
// decimal. The scan appends groups; the import reads them and rewrites single
// lines, so both go through the helpers here rather than through raw line
// arithmetic.
#pragma once
#include <cstdint>
#include <string>

#include "archive/core/StringList.h"

namespace skw {

inline constexpr int kIndexLinesPerTexture = 7;

// Position of a line inside its group.
enum TIndexLine {
  ilName = 0,
  ilWidth = 1,
  ilHeight = 2,
  ilPaletteNumber = 3,
  ilType = 4,
  ilDataOffset = 5,
  ilMipCount = 6,
};

// One group of the index as values.
struct TTextureEntry {
  std::string Name;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t PaletteNumber = 0;
  int32_t Type = 0;
  int64_t DataOffset = 0;
  int32_t MipCount = 0;
};

// Number of complete groups in the index.
int TextureCount(const kst::TStringList& Index);
// Appends the seven lines of Entry.
void AppendTexture(kst::TStringList& Index, const TTextureEntry& Entry);
// Reads group Texture back; raises std::out_of_range for a group that does not
// exist and std::invalid_argument for a number line that is not a number.
TTextureEntry TextureAt(const kst::TStringList& Index, int Texture);

// Line Line of group Texture, for reading or replacing (range checked).
const std::string& IndexLine(const kst::TStringList& Index, int Texture, TIndexLine Line);
void SetIndexLine(kst::TStringList& Index, int Texture, TIndexLine Line, const std::string& Text);
void SetIndexNumber(kst::TStringList& Index, int Texture, TIndexLine Line, int64_t Value);
int64_t IndexNumber(const kst::TStringList& Index, int Texture, TIndexLine Line);

// Adds Delta to the data offset of every group from FirstTexture on (the data
// behind a patched texture or the palette table moved by Delta bytes).
void ShiftDataOffsets(kst::TStringList& Index, int FirstTexture, int64_t Delta);

}  // namespace skw
