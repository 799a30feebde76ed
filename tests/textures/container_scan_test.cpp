// The container walk on well-formed containers of both kinds: where the first
// record lies, how records of every type are stepped over, the "-D" rule, the
// exact index lines, where the walk stops, and which reports reach the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ContainerBuilder.h"
#include "tests/support/RecordingFrontEnd.h"
#include "textures/TextureEngine.h"
#include "textures/TextureIndex.h"

namespace {

using skwtest::Texture;
using skwtest::TContainerPlan;
using skwtest::WoodPlank;

const char kPod[] = "5 ROUND ROCKET POD";

struct Scanned {
  kst::TStringList Index;
  skwtest::RecordingFrontEnd UI;
  kst::TMemoryStream Stream;
};

// Runs the scan over Bytes as the run does (stream at position 0).
void Scan(Scanned& Out, const std::vector<uint8_t>& Bytes, bool BinContainer,
          const std::string& Path = "C:\\EECH\\cohokum\\3ddata\\textures.pal") {
  Out.Stream = skwtest::StreamOf(Bytes);
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Out.Stream;
  Engine.TextureList = &Out.Index;
  Engine.BinContainer = BinContainer;
  Engine.ContainerPath = Path;
  Engine.FrontEnd = &Out.UI;
  Engine.ScanTextures(Path);
}

std::vector<std::string> Names(const kst::TStringList& Index) {
  std::vector<std::string> Result;
  for (int I = 0; I < skw::TextureCount(Index); ++I) Result.push_back(skw::IndexLine(Index, I, skw::ilName));
  return Result;
}

TContainerPlan Plan(bool BinContainer, std::vector<skwtest::TTexturePlan> Textures, int Palettes = 0) {
  TContainerPlan S;
  S.BinContainer = BinContainer;
  for (int I = 0; I < Palettes; ++I) S.Palettes.push_back(skwtest::MakePalette(static_cast<uint32_t>(I)));
  S.Textures = std::move(Textures);
  return S;
}

TEST(ContainerScan, PalettisedIndexLinesExact) {
  // Palette count 3: the first record starts at 3084; its name field is 19
  // bytes, so its data start at 3084 + 4 + 19 + 4 + 16 = 3127. A 64 × 64 type-1
  // texture with mip count 4 holds 5456 bytes, then 4 kept bytes.
  const auto Built = skwtest::BuildContainer(
      Plan(false, {Texture(kPod, 64, 64, 4, 1, 2), Texture("ROTOR", 32, 16, 2, 0, 1), WoodPlank()}, 3));
  ASSERT_EQ(Built.RecordOffsets[0], 3084);
  ASSERT_EQ(Built.RecordOffsets[1], 3127 + 5456 + 4);
  const int64_t Rotor = 3127 + 5460 + 4 + 6 + 4 + 16;
  const int64_t Plank = Rotor + (32 * 16 + 16 * 8 + 8 * 4) + 4 + 4 + 11 + 4 + 16;

  Scanned S;
  Scan(S, Built.Bytes, false);
  const kst::TStringList Expected = {kPod,
                                     "64",
                                     "64",
                                     "2",
                                     "1",
                                     "3127",
                                     "4",
                                     "ROTOR",
                                     "32",
                                     "16",
                                     "1",
                                     "0",
                                     std::to_string(Rotor),
                                     "2",
                                     "WOOD PLANK",
                                     "8",
                                     "8",
                                     "0",
                                     "1",
                                     std::to_string(Plank),
                                     "0"};
  EXPECT_EQ(S.Index, Expected);
  EXPECT_TRUE(S.UI.Boxes.empty());
}

TEST(ContainerScan, TrueColourIndexLinesExact) {
  // No palette number field; line 4 is "0" even when the description carries
  // another number (the builder does not write it). 64 × 64 with mip count 4
  // takes 16368 bytes in the true-colour container.
  const auto Built =
      skwtest::BuildContainer(Plan(true, {Texture(kPod, 64, 64, 4, 1, 7), Texture("ROTOR", 4, 4, 0, 0), WoodPlank()}));
  ASSERT_EQ(Built.RecordOffsets[0], 12);
  const int64_t Pod = 12 + 4 + 19 + 4 + 12;
  const int64_t Rotor = Pod + 16368 + 4 + 4 + 6 + 4 + 12;
  const int64_t Plank = Rotor + 48 + 4 + 4 + 11 + 4 + 12;

  Scanned S;
  Scan(S, Built.Bytes, true);
  const kst::TStringList Expected = {kPod,         "64", "64", "0", "1", std::to_string(Pod),   "4",
                                     "ROTOR",      "4",  "4",  "0", "0", std::to_string(Rotor), "0",
                                     "WOOD PLANK", "8",  "8",  "0", "1", std::to_string(Plank), "0"};
  EXPECT_EQ(S.Index, Expected);
}

TEST(ContainerScan, PaletteCountZeroPutsFirstRecordAt12) {
  const auto Built = skwtest::BuildContainer(Plan(false, {Texture(kPod, 8, 8, 1), WoodPlank()}));
  Scanned S;
  Scan(S, Built.Bytes, false);
  ASSERT_EQ(skw::TextureCount(S.Index), 2);
  EXPECT_EQ(skw::IndexLine(S.Index, 0, skw::ilDataOffset), "55");
}

TEST(ContainerScan, RepeatedNamesGetOneDuplicateMark) {
  // The type-2 ROTOR is not indexed but still counts as the previous name; a
  // record of a type above 3 does too. A name repeated after another name is
  // not marked.
  for (bool Bin : {false, true}) {
    const auto Built = skwtest::BuildContainer(
        Plan(Bin, {Texture(kPod, 4, 4, 0), Texture("ROTOR", 4, 4, 0), Texture("ROTOR", 8, 8, 1, 2),
                   Texture("ROTOR", 4, 4, 0), Texture("ROTOR", 0, 0, 0, 9), Texture("ROTOR", 4, 4, 0),
                   Texture("BLADE", 4, 4, 0), Texture("ROTOR", 4, 4, 0), WoodPlank()}));
    Scanned S;
    Scan(S, Built.Bytes, Bin);
    EXPECT_EQ(Names(S.Index),
              (std::vector<std::string>{kPod, "ROTOR", "ROTOR-D", "ROTOR-D", "BLADE", "ROTOR", "WOOD PLANK"}))
        << (Bin ? "bin" : "pal");
  }
}

TEST(ContainerScan, RecordsOfEveryTypeAreSteppedOverBySize) {
  // Types 2 and 3 use 1/2 bytes per pixel (palettised) and 4 (true colour);
  // other types not above 3, negative ones included, 1 and 3. A type above 3
  // ends after its type field. Each later data offset shows the step was right.
  for (bool Bin : {false, true}) {
    const auto Built = skwtest::BuildContainer(
        Plan(Bin, {Texture(kPod, 16, 8, 3), Texture("T2", 16, 16, 2, 2), Texture("T3", 16, 16, 2, 3),
                   Texture("BIG", 0, 0, 0, 4), Texture("NEG", 12, 6, 1, -7), Texture("ZERO", 10, 3, 0, 0),
                   Texture("MAX", 0, 0, 0, 0x7FFFFFFF), WoodPlank()}));
    Scanned S;
    Scan(S, Built.Bytes, Bin);
    ASSERT_EQ(Names(S.Index), (std::vector<std::string>{kPod, "NEG", "ZERO", "WOOD PLANK"}));
    const std::vector<size_t> Records = {0, 4, 5, 7};
    for (int I = 0; I < 4; ++I)
      EXPECT_EQ(skw::IndexNumber(S.Index, I, skw::ilDataOffset), Built.DataOffsets[Records[I]]);
    EXPECT_EQ(skw::IndexLine(S.Index, 1, skw::ilType), "-7");
    EXPECT_EQ(skw::IndexLine(S.Index, 1, skw::ilMipCount), "1");
  }
}

TEST(ContainerScan, NameEndsAtFirstZeroByteAndMayFillTheNameArea) {
  skwtest::TTexturePlan Padded = Texture("IGNORED", 4, 4, 0);
  Padded.RawNameField = std::string("ROTOR\0junk\0\0", 12);
  skwtest::TTexturePlan Unterminated = Texture("IGNORED", 4, 4, 0);
  Unterminated.RawNameField = std::string(104, 'A');  // no zero byte at all
  const std::string Longest(103, 'B');                // 103 characters and the zero: 104
  const auto Built =
      skwtest::BuildContainer(Plan(false, {Texture(kPod, 4, 4, 0), Padded, Texture("ROTOR", 4, 4, 0), Unterminated,
                                           Texture(Longest, 4, 4, 0), Texture(Longest, 4, 4, 0), WoodPlank()}));
  Scanned S;
  Scan(S, Built.Bytes, false);
  EXPECT_EQ(Names(S.Index), (std::vector<std::string>{kPod, "ROTOR", "ROTOR-D", std::string(104, 'A'), Longest,
                                                      Longest + "-D", "WOOD PLANK"}));
}

TEST(ContainerScan, FirstNameRuleUsesTheNameAsRead) {
  // A type-2 "5 ROUND ROCKET POD" leaves nothing indexed, so the next record
  // must carry the name too; it then enters the index with the mark.
  const auto Built =
      skwtest::BuildContainer(Plan(false, {Texture(kPod, 4, 4, 0, 2), Texture(kPod, 0, 0, 0, 11),
                                           Texture(kPod, 4, 4, 0), Texture("ROTOR", 4, 4, 0), WoodPlank()}));
  Scanned S;
  Scan(S, Built.Bytes, false);
  EXPECT_EQ(Names(S.Index), (std::vector<std::string>{std::string(kPod) + "-D", "ROTOR", "WOOD PLANK"}));
}

TEST(ContainerScan, WalkStopsBehindWoodPlank) {
  // Whatever follows the "WOOD PLANK" record is never read, even when it looks
  // like more records or like garbage; a type-2 "WOOD PLANK" ends the walk too.
  TContainerPlan Trailing = Plan(true, {Texture(kPod, 4, 4, 0), WoodPlank()});
  Trailing.TrailingBytes = {0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3};
  Scanned S;
  Scan(S, skwtest::BuildContainer(Trailing).Bytes, true);
  EXPECT_EQ(Names(S.Index), (std::vector<std::string>{kPod, "WOOD PLANK"}));
  EXPECT_TRUE(S.UI.Boxes.empty());

  const auto After = skwtest::BuildContainer(
      Plan(true, {Texture(kPod, 4, 4, 0), Texture("WOOD PLANK", 4, 4, 0, 3), Texture("LATER", 4, 4, 0)}));
  Scan(S, After.Bytes, true);
  EXPECT_EQ(Names(S.Index), (std::vector<std::string>{kPod}));
  EXPECT_EQ(S.Stream.Position(), After.RecordOffsets[2]);
}

TEST(ContainerScan, ReportsOnlyPumpsAndLeavesBytesAlone) {
  // One pump per indexed texture and one at the end; no status text, progress,
  // box or cursor change. The scan replaces an old index and changes no byte.
  const auto Built = skwtest::BuildContainer(skwtest::TypicalContainer(false, 5));
  Scanned S;
  S.Index = {"stale", "lines"};
  std::vector<int> Seen;
  S.UI.OnProcessMessages = [&] { Seen.push_back(skw::TextureCount(S.Index)); };
  Scan(S, Built.Bytes, false);
  EXPECT_EQ(skw::TextureCount(S.Index), 7);
  EXPECT_EQ(S.Index.size(), 49u);
  EXPECT_EQ(S.UI.Calls, std::vector<std::string>(8, "ProcessMessages"));
  EXPECT_EQ(Seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 7}));
  EXPECT_EQ(std::vector<uint8_t>(S.Stream.Memory(), S.Stream.Memory() + S.Stream.Size()), Built.Bytes);
}

TEST(ContainerScan, InvalidFirstRecordShowsMessageAndRestoresCursor) {
  const std::string Path = "C:\\Games\\EECH\\cohokum\\3ddata\\textures.bin";
  const auto Built = skwtest::BuildContainer(Plan(true, {Texture("ROTOR", 4, 4, 0), WoodPlank()}));
  Scanned S;
  Scan(S, Built.Bytes, true, Path);
  EXPECT_TRUE(S.Index.empty());
  EXPECT_EQ(S.UI.Calls, (std::vector<std::string>{"MessageBox error|" + Path + "|Not a valid EECH textures file.",
                                                  "Cursor default"}));
}

TEST(ContainerScan, EngineWithoutFrontEndStaysSilent) {
  const auto Built = skwtest::BuildContainer(Plan(true, {Texture("ROTOR", 4, 4, 0), WoodPlank()}));
  kst::TMemoryStream Stream = skwtest::StreamOf(Built.Bytes);
  kst::TStringList Index = {"x"};
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Stream;
  Engine.TextureList = &Index;
  EXPECT_NO_THROW(Engine.ScanTextures("textures.bin"));
  EXPECT_TRUE(Index.empty());

  skw::TTextureEngine Unwired;
  EXPECT_THROW(Unwired.ScanTextures("textures.bin"), std::logic_error);
}

TEST(ContainerScan, TypicalContainersOfBothKinds) {
  for (bool Bin : {false, true}) {
    const auto Plan = skwtest::TypicalContainer(Bin, 40, 128);
    const auto Built = skwtest::BuildContainer(Plan);
    Scanned S;
    Scan(S, Built.Bytes, Bin);
    ASSERT_EQ(skw::TextureCount(S.Index), 42);
    for (int I = 0; I < 42; ++I) {
      const skw::TTextureEntry E = skw::TextureAt(S.Index, I);
      EXPECT_EQ(E.Name, Plan.Textures[static_cast<size_t>(I)].Name);
      EXPECT_EQ(E.DataOffset, Built.DataOffsets[static_cast<size_t>(I)]);
      EXPECT_EQ(E.PaletteNumber, Bin ? 0 : Plan.Textures[static_cast<size_t>(I)].PaletteNumber);
    }
    EXPECT_EQ(skw::IndexLine(S.Index, 1, skw::ilMipCount), "5");
  }
}

}  // namespace
