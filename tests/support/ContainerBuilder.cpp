// ContainerBuilder: lays out container descriptions byte by byte. Pixel data
// default to a pattern that differs per record and per level, so a test that
// sees the wrong bytes moved or copied notices it.
#include "tests/support/ContainerBuilder.h"

#include <cstdio>

namespace skwtest {

namespace {

void AppendInt32(std::vector<uint8_t>& Bytes, int32_t Value) {
  const uint32_t U = static_cast<uint32_t>(Value);
  for (int Shift = 0; Shift < 32; Shift += 8) Bytes.push_back(static_cast<uint8_t>(U >> Shift));
}

void AppendPattern(std::vector<uint8_t>& Bytes, int64_t Count, uint32_t Seed) {
  uint32_t State = Seed * 2654435761u + 1;
  for (int64_t I = 0; I < Count; ++I) {
    State = State * 1103515245u + 12345u;
    Bytes.push_back(static_cast<uint8_t>(State >> 16));
  }
}

void AppendRecord(std::vector<uint8_t>& Bytes, const TTexturePlan& T, bool BinContainer, uint32_t Seed,
                  TBuiltContainer& Built) {
  Built.RecordOffsets.push_back(static_cast<int64_t>(Bytes.size()));
  const std::string Field = T.RawNameField.empty() ? T.Name + '\0' : T.RawNameField;
  AppendInt32(Bytes, static_cast<int32_t>(Field.size()));
  Bytes.insert(Bytes.end(), Field.begin(), Field.end());
  AppendInt32(Bytes, T.Type);
  if (T.Type > 3) {
    Built.DataOffsets.push_back(-1);
    return;
  }
  AppendInt32(Bytes, T.MipCount);
  AppendInt32(Bytes, T.Width);
  AppendInt32(Bytes, T.Height);
  if (!BinContainer) AppendInt32(Bytes, T.PaletteNumber);
  Built.DataOffsets.push_back(static_cast<int64_t>(Bytes.size()));
  if (T.Pixels.empty())
    AppendPattern(Bytes, BuilderDataSize(BinContainer, T.Type, T.Width, T.Height, T.MipCount), Seed);
  else
    Bytes.insert(Bytes.end(), T.Pixels.begin(), T.Pixels.end());
  Bytes.insert(Bytes.end(), T.Tail.begin(), T.Tail.end());
}

}  // namespace

int32_t BuilderBytesPerPixel(bool BinContainer, int32_t Type) {
  if (BinContainer) return Type == 2 || Type == 3 ? 4 : 3;
  return Type == 3 ? 2 : 1;
}

int64_t BuilderDataSize(bool BinContainer, int32_t Type, int32_t Width, int32_t Height, int32_t MipCount) {
  int64_t Total = 0;
  int64_t W = Width;
  int64_t H = Height;
  for (int32_t Level = 0; Level <= MipCount && W > 0 && H > 0; ++Level, W /= 2, H /= 2) Total += W * H;
  return Total * BuilderBytesPerPixel(BinContainer, Type);
}

TBuiltContainer BuildContainer(const TContainerPlan& Plan) {
  TBuiltContainer Built;
  std::vector<uint8_t>& Bytes = Built.Bytes;
  int64_t Expected = 12 + static_cast<int64_t>(Plan.Palettes.size()) * 1024;
  for (const TTexturePlan& T : Plan.Textures)
    Expected += 40 + static_cast<int64_t>(T.Name.size() + T.Pixels.size()) +
                BuilderDataSize(Plan.BinContainer, T.Type, T.Width, T.Height, T.MipCount);
  Bytes.reserve(static_cast<size_t>(Expected) + Plan.TrailingBytes.size());

  AppendInt32(Bytes, static_cast<int32_t>(Plan.Palettes.size()));
  for (const TPalette& Palette : Plan.Palettes) Bytes.insert(Bytes.end(), Palette.begin(), Palette.end());
  Bytes.insert(Bytes.end(), Plan.Kept.begin(), Plan.Kept.end());
  uint32_t Seed = 1;
  for (const TTexturePlan& T : Plan.Textures) AppendRecord(Bytes, T, Plan.BinContainer, Seed++, Built);
  Bytes.insert(Bytes.end(), Plan.TrailingBytes.begin(), Plan.TrailingBytes.end());
  return Built;
}

TTexturePlan Texture(const std::string& Name, int32_t Width, int32_t Height, int32_t MipCount, int32_t Type,
                     int32_t PaletteNumber) {
  TTexturePlan T;
  T.Name = Name;
  T.Width = Width;
  T.Height = Height;
  T.MipCount = MipCount;
  T.Type = Type;
  T.PaletteNumber = PaletteNumber;
  return T;
}

TTexturePlan WoodPlank() { return Texture("WOOD PLANK", 8, 8, 0); }

TPalette MakePalette(uint32_t Seed) {
  TPalette Palette;
  for (size_t Entry = 0; Entry < 256; ++Entry) {
    Palette[4 * Entry] = static_cast<uint8_t>(Entry + Seed * 3);
    Palette[4 * Entry + 1] = static_cast<uint8_t>(Entry * 5 + Seed);
    Palette[4 * Entry + 2] = static_cast<uint8_t>(255 - Entry + Seed * 7);
    Palette[4 * Entry + 3] = 0;
  }
  return Palette;
}

TContainerPlan TypicalContainer(bool BinContainer, int Count, int32_t Side) {
  TContainerPlan Plan;
  Plan.BinContainer = BinContainer;
  if (!BinContainer)
    for (uint32_t Seed = 0; Seed < 3; ++Seed) Plan.Palettes.push_back(MakePalette(Seed));
  int32_t Mips = -1;
  for (int32_t H = Side; H > 2; H /= 2) ++Mips;
  Plan.Textures.push_back(Texture("5 ROUND ROCKET POD", Side, Side, Mips));
  for (int I = 1; I <= Count; ++I) {
    char Name[16];
    std::snprintf(Name, sizeof Name, "TEX%04d", I);
    Plan.Textures.push_back(Texture(Name, Side, Side, Mips, 1, BinContainer ? 0 : I % 3));
  }
  Plan.Textures.push_back(WoodPlank());
  return Plan;
}

kst::TMemoryStream StreamOf(const std::vector<uint8_t>& Bytes) {
  kst::TMemoryStream Stream;
  Stream.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  Stream.SetPosition(0);
  return Stream;
}

void PutInt32(std::vector<uint8_t>& Bytes, int64_t Offset, int32_t Value) {
  const uint32_t U = static_cast<uint32_t>(Value);
  for (int I = 0; I < 4; ++I) Bytes.at(static_cast<size_t>(Offset + I)) = static_cast<uint8_t>(U >> (8 * I));
}

int32_t GetInt32(const std::vector<uint8_t>& Bytes, int64_t Offset) {
  uint32_t U = 0;
  for (int I = 0; I < 4; ++I) U |= uint32_t{Bytes.at(static_cast<size_t>(Offset + I))} << (8 * I);
  return static_cast<int32_t>(U);
}

}  // namespace skwtest
