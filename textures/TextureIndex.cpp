// Texture index helpers: appending, reading and rewriting the seven-line groups
// of TextureList. Numbers are written as std::to_string writes them (minus sign
// for negatives, no leading zeros) and read back with std::from_chars, which
// accepts exactly that form.
#include "textures/TextureIndex.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <stdexcept>

namespace skw {

namespace {

size_t LinePosition(const kst::TStringList& Index, int Texture, TIndexLine Line) {
  if (Texture < 0 || Texture >= TextureCount(Index))
    throw std::out_of_range("Texture index group " + std::to_string(Texture) + " does not exist");
  return static_cast<size_t>(Texture) * kIndexLinesPerTexture + Line;
}

int32_t ToInt32(int64_t Value) {
  if (Value < INT32_MIN || Value > INT32_MAX) throw std::invalid_argument("Texture index number out of range");
  return static_cast<int32_t>(Value);
}

}  // namespace

int TextureCount(const kst::TStringList& Index) { return static_cast<int>(Index.size() / kIndexLinesPerTexture); }

void AppendTexture(kst::TStringList& Index, const TTextureEntry& Entry) {
  Index.push_back(Entry.Name);
  Index.push_back(std::to_string(Entry.Width));
  Index.push_back(std::to_string(Entry.Height));
  Index.push_back(std::to_string(Entry.PaletteNumber));
  Index.push_back(std::to_string(Entry.Type));
  Index.push_back(std::to_string(Entry.DataOffset));
  Index.push_back(std::to_string(Entry.MipCount));
}

TTextureEntry TextureAt(const kst::TStringList& Index, int Texture) {
  TTextureEntry Entry;
  Entry.Name = IndexLine(Index, Texture, ilName);
  Entry.Width = ToInt32(IndexNumber(Index, Texture, ilWidth));
  Entry.Height = ToInt32(IndexNumber(Index, Texture, ilHeight));
  Entry.PaletteNumber = ToInt32(IndexNumber(Index, Texture, ilPaletteNumber));
  Entry.Type = ToInt32(IndexNumber(Index, Texture, ilType));
  Entry.DataOffset = IndexNumber(Index, Texture, ilDataOffset);
  Entry.MipCount = ToInt32(IndexNumber(Index, Texture, ilMipCount));
  return Entry;
}

const std::string& IndexLine(const kst::TStringList& Index, int Texture, TIndexLine Line) {
  return Index[LinePosition(Index, Texture, Line)];
}

void SetIndexLine(kst::TStringList& Index, int Texture, TIndexLine Line, const std::string& Text) {
  Index[LinePosition(Index, Texture, Line)] = Text;
}

void SetIndexNumber(kst::TStringList& Index, int Texture, TIndexLine Line, int64_t Value) {
  SetIndexLine(Index, Texture, Line, std::to_string(Value));
}

int64_t IndexNumber(const kst::TStringList& Index, int Texture, TIndexLine Line) {
  const std::string& Text = IndexLine(Index, Texture, Line);
  int64_t Value = 0;
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Error != std::errc() || End != Text.data() + Text.size() || Text.empty())
    throw std::invalid_argument("'" + Text + "' is not a valid integer value");
  return Value;
}

void ShiftDataOffsets(kst::TStringList& Index, int FirstTexture, int64_t Delta) {
  for (int Texture = std::max(FirstTexture, 0); Texture < TextureCount(Index); ++Texture)
    SetIndexNumber(Index, Texture, ilDataOffset, IndexNumber(Index, Texture, ilDataOffset) + Delta);
}

}  // namespace skw
