// End-to-end tests of the skinwright-tex program on containers the test builds
// with the container builder, named with --container so that no game is needed:
// they run on Linux and, in the Windows build, the Windows program under Wine.
// The listing is compared row for row with the builder's own layout, exported
// pictures byte for byte with the level-0 data and palettes the builder wrote,
// a pack made of the exported pictures is checked, and a kept original is
// restored.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/installer/InstallerHarness.h"
#include "tests/support/ContainerBuilder.h"
#include "tests/tools/KstProgram.h"

namespace {

using skwtest::Result;
using skwtest::Split;
using skwtest::Texture;

class TexProgram : public skwtest::KstProgram {
 protected:
  Result Tex(const std::string& Args) { return Run(Args, "skinwright-tex"); }

  // Writes Bytes to a file of the scratch folder and answers its path.
  std::string Put(const std::string& Name, const std::vector<uint8_t>& Bytes) {
    const std::string Path = Dir / Name;
    EXPECT_TRUE(skwtest::WriteAll(Path, std::string(Bytes.begin(), Bytes.end())));
    return Path;
  }
  std::vector<uint8_t> Get(const std::string& Path) { return skwtest::ReadFileBytes(Path); }
};

// A small container with every kind of record the walk tells apart: a repeated
// name, types 0, 1, 2, 3 and above 3, a negative type, a texture of another
// palette, and the fourth palette byte in use.
skwtest::TContainerPlan SmallPlan(bool Bin) {
  skwtest::TContainerPlan Plan;
  Plan.BinContainer = Bin;
  if (!Bin) {
    Plan.Palettes = {skwtest::MakePalette(1), skwtest::MakePalette(2)};
    for (size_t Entry = 0; Entry < 256; ++Entry) Plan.Palettes[1][4 * Entry + 3] = static_cast<uint8_t>(Entry ^ 0x5A);
  }
  Plan.Textures = {Texture("5 ROUND ROCKET POD", 8, 8, 1),
                   Texture("ROTOR", 12, 6, 1, 1, 1),
                   Texture("ROTOR", 4, 4, 0, 0, 0),
                   Texture("GLASS", 8, 8, 1, 3),
                   Texture("MARK", 0, 0, 0, 7),
                   Texture("MARK", 8, 4, 1, 2),
                   Texture("NEG", 5, 3, 0, -1, 1),
                   skwtest::WoodPlank()};
  Plan.TrailingBytes = {1, 2, 3};
  return Plan;
}

// The names and index flags an independent reading of SmallPlan gives.
const char* const kNames[] = {"5 ROUND ROCKET POD", "ROTOR", "ROTOR-D", "GLASS", "MARK", "MARK-D", "NEG", "WOOD PLANK"};
const bool kIndexed[] = {true, true, true, false, false, false, true, true};

TEST_F(TexProgram, TsvRowsMatchAnIndependentReading) {
  for (const bool Bin : {true, false}) {
    const skwtest::TContainerPlan Plan = SmallPlan(Bin);
    const skwtest::TBuiltContainer Built = skwtest::BuildContainer(Plan);
    const std::string Path = Put(Bin ? "small.bin" : "small.PAL", Built.Bytes);
    const Result R = Tex("list --tsv --container " + skwtest::Quoted(Path));
    ASSERT_EQ(R.Code, 0) << R.Err;
    ASSERT_EQ(R.Out.size(), Plan.Textures.size() + 2);
    int64_t PixelBytes = 0;
    for (size_t I = 0; I < Plan.Textures.size(); ++I) {
      const skwtest::TTexturePlan& T = Plan.Textures[I];
      const bool Header = T.Type <= 3;
      const int64_t Size = Header ? skwtest::BuilderDataSize(Bin, T.Type, T.Width, T.Height, T.MipCount) : 0;
      PixelBytes += Size;
      const auto Field = [Header](int64_t Value) { return Header ? std::to_string(Value) : std::string("-"); };
      const std::vector<std::string> Expected = {std::to_string(I),
                                                 kNames[I],
                                                 std::to_string(T.Type),
                                                 Field(T.Width),
                                                 Field(T.Height),
                                                 Field(T.MipCount),
                                                 Field(Bin ? 0 : T.PaletteNumber),
                                                 Field(Built.DataOffsets[I]),
                                                 Field(Size),
                                                 kIndexed[I] ? "1" : "0"};
      EXPECT_EQ(Split(R.Out[I], '\t'), Expected) << (Bin ? "bin " : "pal ") << I;
    }
    EXPECT_EQ(R.Out[Plan.Textures.size()], Bin ? "# 0 palettes" : "# 2 palettes");
    EXPECT_EQ(R.Out.back(), "# 8 records, 5 indexed, " + std::to_string(PixelBytes) + " bytes of pixel data, " +
                                std::to_string(Built.Bytes.size()) + " bytes in all");
  }
}

// A name with a tab, a line break or a backslash stays one field of one row.
TEST_F(TexProgram, TsvEscapesNamesThatWouldBreakARow) {
  skwtest::TContainerPlan Plan;
  Plan.BinContainer = true;
  Plan.Textures = {Texture("5 ROUND ROCKET POD", 4, 4, 1), Texture("A\tB\\C\nD\rE", 4, 4, 1), skwtest::WoodPlank()};
  const Result R =
      Tex("list --tsv --container " + skwtest::Quoted(Put("odd.bin", skwtest::BuildContainer(Plan).Bytes)));
  ASSERT_EQ(R.Code, 0) << R.Err;
  ASSERT_EQ(R.Out.size(), 5u);
  EXPECT_EQ(Split(R.Out[1], '\t').at(1), "A\\tB\\\\C\\nD\\rE");
}

TEST_F(TexProgram, RefusalsAndVersion) {
  std::vector<uint8_t> Bytes = skwtest::BuildContainer(SmallPlan(true)).Bytes;
  Bytes.resize(Bytes.size() / 2);
  Result R = Tex("list --container " + skwtest::Quoted(Put("cut.bin", Bytes)));
  EXPECT_EQ(R.Code, 2);
  EXPECT_NE(R.Err.find("Not a valid EECH textures file."), std::string::npos) << R.Err;
  EXPECT_EQ(Tex("list --container " + skwtest::Quoted(Put("small.dat", Bytes))).Code, 2) << "no kind";
  EXPECT_EQ(Tex("list --container " + skwtest::Quoted(Dir / "missing.bin")).Code, 2);
  EXPECT_EQ(Tex("").Code, 2);
  EXPECT_EQ(Tex("unpack").Code, 2);
  EXPECT_EQ(Tex("list --bin --pal").Code, 2);
  EXPECT_EQ(Tex("diff only-one.bin").Code, 2);

  // One version for every program.
  R = Tex("--version");
  EXPECT_EQ(R.Code, 0);
  ASSERT_EQ(R.Out.size(), 1u);
  const std::string Version = Split(R.Out[0], ' ').at(1);
  EXPECT_EQ(Split(Run("--version").Out.at(0), ' ').at(1), Version);
  EXPECT_EQ(Split(Run("--version", "skinwright-pack").Out.at(0), ' ').at(1), Version);
}

uint32_t U32(const std::vector<uint8_t>& B, size_t At) {
  return B.at(At) | B.at(At + 1) << 8 | B.at(At + 2) << 16 | static_cast<uint32_t>(B.at(At + 3)) << 24;
}

TEST_F(TexProgram, ExportWritesLevelZeroAndPalettesAsPictures) {
  for (const bool Bin : {true, false}) {
    const skwtest::TContainerPlan Plan = SmallPlan(Bin);
    const skwtest::TBuiltContainer Built = skwtest::BuildContainer(Plan);
    const std::string Container = Put(Bin ? "small.bin" : "small.pal", Built.Bytes);
    const std::string Out = Dir / (Bin ? "bin" : "pal");
    const Result R = Tex("export --container " + skwtest::Quoted(Container) + " " + skwtest::Quoted(Out));
    ASSERT_EQ(R.Code, 0) << R.Err;
    EXPECT_EQ(R.Out.back(), "5 pictures written to " + Out + ", 0 skipped");
    const int BytesPerPixel = Bin ? 3 : 1;
    for (const size_t I : {0, 1, 2, 6, 7}) {
      const skwtest::TTexturePlan& T = Plan.Textures[I];
      const std::string Name = std::string(kNames[I]) + (Bin ? "-BIN-" : "-PAL-") + std::to_string(T.Width) + "x" +
                               std::to_string(T.Height) + ".bmp";
      const std::vector<uint8_t> Picture = Get(Out + skwtest::ScratchDir::Separator() + Name);
      ASSERT_GT(Picture.size(), 54u) << Name;
      EXPECT_EQ(U32(Picture, 14), 40u) << "information header";
      EXPECT_EQ(Picture[28], Bin ? 24 : 8);
      const size_t Pixels = U32(Picture, 10);
      EXPECT_EQ(Pixels, Bin ? 54u : 1078u);
      if (!Bin) {
        for (size_t Entry = 0; Entry < 256; ++Entry) {
          const uint8_t* Colour = Plan.Palettes[static_cast<size_t>(T.PaletteNumber)].data() + 4 * Entry;
          const std::vector<uint8_t> Stored(Picture.begin() + 54 + 4 * Entry, Picture.begin() + 58 + 4 * Entry);
          ASSERT_EQ(Stored, (std::vector<uint8_t>{Colour[2], Colour[1], Colour[0], Colour[3]})) << Name << Entry;
        }
      }
      const size_t Stride = (static_cast<size_t>(T.Width * BytesPerPixel) + 3) / 4 * 4;
      for (int32_t Y = 0; Y < T.Height; ++Y) {
        for (int32_t X = 0; X < T.Width; ++X) {
          const uint8_t* Want = Built.Bytes.data() + Built.DataOffsets[I] + (Y * T.Width + X) * BytesPerPixel;
          const uint8_t* Got = Picture.data() + Pixels + Stride * static_cast<size_t>(T.Height - 1 - Y) +
                               static_cast<size_t>(X * BytesPerPixel);
          // Pictures store blue, green, red; the container red, green, blue.
          for (int B = 0; B < BytesPerPixel; ++B)
            ASSERT_EQ(Got[B], Want[BytesPerPixel - 1 - B]) << Name << " " << X << "," << Y;
        }
      }
    }
  }
}

TEST_F(TexProgram, ExportSkipsWhatCannotComeBack) {
  skwtest::TContainerPlan Plan = SmallPlan(false);
  Plan.Textures.insert(Plan.Textures.end() - 1,
                       {Texture("BAD-NAME", 8, 8, 1), Texture("ASK?", 8, 8, 1), Texture("FLAT", 8, 2, 0),
                        Texture("LOST", 8, 8, 1, 1, 9), Texture("rotor", 12, 6, 1)});
  const std::string Container = skwtest::Quoted(Put("odd.pal", skwtest::BuildContainer(Plan).Bytes));
  const std::string Out = skwtest::Quoted(Dir / "out");
  Result R = Tex("export --container " + Container + " " + Out);
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out.back(), "5 pictures written to " + Dir / "out" + ", 5 skipped");
  // "rotor" would replace the picture of "ROTOR" in a Windows folder.
  for (const char* Name : {"BAD-NAME", "ASK?", "FLAT", "LOST", "rotor"})
    EXPECT_NE(R.Err.find(std::string("skipped ") + Name + ": "), std::string::npos) << R.Err;
  R = Tex("export --container " + Container + " " + Out + " ROTOR-D NEG");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Out, (std::vector<std::string>{"ROTOR-D-PAL-4x4.bmp", "NEG-PAL-5x3.bmp",
                                             "2 pictures written to " + Dir / "out" + ", 0 skipped"}));
  R = Tex("export --container " + Container + " " + Out + " neg");
  EXPECT_EQ(R.Code, 1) << "names are case-sensitive";
}

TEST_F(TexProgram, ExportedPicturesMakeAPackEveryPictureOfWhichIsInstalled) {
  const std::vector<uint8_t> Bytes = skwtest::BuildContainer(SmallPlan(false)).Bytes;
  const std::string Container = Put("small.pal", Bytes);
  ASSERT_EQ(Tex("export --container " + skwtest::Quoted(Container) + " " + skwtest::Quoted(Dir / "out")).Code, 0);
  std::vector<std::pair<std::string, std::string>> Entries;
  // In the order the import takes them (letters compared without case).
  for (const char* Name : {"5 ROUND ROCKET POD-PAL-8x8.bmp", "NEG-PAL-5x3.bmp", "ROTOR-D-PAL-4x4.bmp",
                           "ROTOR-PAL-12x6.bmp", "WOOD PLANK-PAL-8x8.bmp"})
    Entries.emplace_back(Name, skwtest::ReadAll(Dir / "out" + skwtest::ScratchDir::Separator() + Name));
  const std::string Pack = Dir / "roundtrip-pal.zip";
  ASSERT_TRUE(skwtest::WriteAll(Pack, skwtest::StoredZip(Entries)));

  const Result R = Tex("check " + skwtest::Quoted(Pack) + " --container " + skwtest::Quoted(Container));
  EXPECT_EQ(R.Code, 0) << R.Err;
  ASSERT_EQ(R.Out.size(), Entries.size() + 2);
  for (size_t I = 0; I < Entries.size(); ++I)
    EXPECT_EQ(R.Out[I].rfind(Entries[I].first + ": replaced", 0), 0u) << R.Out[I];
  EXPECT_EQ(R.Out[Entries.size()].rfind("5 replaced, 0 rejected", 0), 0u) << R.Out[Entries.size()];
  EXPECT_EQ(Get(Container), Bytes) << "a check writes nothing";
}

TEST_F(TexProgram, DiffNamesEachKindOfDifference) {
  // Pixel data pinned to the records, so that moving a record keeps its data.
  skwtest::TContainerPlan Plan = SmallPlan(false);
  const skwtest::TBuiltContainer Built = skwtest::BuildContainer(Plan);
  for (size_t I = 0; I < Plan.Textures.size(); ++I) {
    const skwtest::TTexturePlan& T = Plan.Textures[I];
    if (T.Type > 3) continue;
    const auto Data = Built.Bytes.begin() + Built.DataOffsets[I];
    Plan.Textures[I].Pixels.assign(Data, Data + skwtest::BuilderDataSize(false, T.Type, T.Width, T.Height, T.MipCount));
  }
  const std::string Old = skwtest::Quoted(Put("old.pal", Built.Bytes));
  const auto Changed = [&Plan](const std::function<void(skwtest::TContainerPlan&)>& Change) {
    skwtest::TContainerPlan New = Plan;
    Change(New);
    return skwtest::BuildContainer(New).Bytes;
  };
  const auto Flipped = [&Built](int64_t Offset) {
    std::vector<uint8_t> Bytes = Built.Bytes;
    Bytes.at(static_cast<size_t>(Offset)) ^= 1;
    return Bytes;
  };
  struct TCase {
    std::vector<uint8_t> New;
    std::vector<std::string> Lines;
  };
  const TCase Cases[] = {
      {Changed([](skwtest::TContainerPlan& P) { P.Palettes.push_back(skwtest::MakePalette(7)); }),
       {"palette added: 2", "0 textures changed, 0 records added, 0 records lost, 1 palettes added, lost or changed"}},
      {Changed([](skwtest::TContainerPlan& P) { P.Textures.erase(P.Textures.begin() + 6); }),
       {"record lost: NEG (record 6, type -1, 5x3, mip count 0, palette 1)",
        "0 textures changed, 0 records added, 1 records lost, 0 palettes added, lost or changed"}},
      {Changed([](skwtest::TContainerPlan& P) { P.Textures.insert(P.Textures.end() - 1, Texture("NEW", 4, 4, 0)); }),
       {"record added: NEW (record 7, type 1, 4x4, mip count 0, palette 0)",
        "0 textures changed, 1 records added, 0 records lost, 0 palettes added, lost or changed"}},
      {Changed([](skwtest::TContainerPlan& P) { P.Textures[1] = Texture("ROTOR", 24, 12, 2, 1, 0); }),
       {"changed: ROTOR: width 12 -> 24, height 6 -> 12, mip count 1 -> 2, palette 1 -> 0, level 0 pixels, "
        "smaller levels",
        "1 textures changed, 0 records added, 0 records lost, 0 palettes added, lost or changed"}},
      {Flipped(Built.DataOffsets[0] + 63),
       {"changed: 5 ROUND ROCKET POD: level 0 pixels",
        "1 textures changed, 0 records added, 0 records lost, 0 palettes "
        "added, lost or changed"}},
      {Flipped(Built.DataOffsets[0] + 64),
       {"changed: 5 ROUND ROCKET POD: smaller levels",
        "1 textures changed, 0 records added, 0 records lost, 0 palettes "
        "added, lost or changed"}},
      {Flipped(static_cast<int64_t>(Built.Bytes.size()) - 1),
       {"other bytes differ (the 8 bytes behind the palettes, record tails or bytes after the last record)",
        "0 textures changed, 0 records added, 0 records lost, 0 palettes added, lost or changed"}},
  };
  for (const TCase& Case : Cases) {
    const Result R = Tex("diff " + Old + " " + skwtest::Quoted(Put("new.pal", Case.New)));
    EXPECT_EQ(R.Code, 1) << R.Err;
    EXPECT_EQ(R.Out, Case.Lines);
  }
}

TEST_F(TexProgram, RestorePutsTheOriginalBackAndKeepsIt) {
  const std::vector<uint8_t> Original = skwtest::BuildContainer(SmallPlan(true)).Bytes;
  const std::string Container = Put("textures.bin", {1, 2, 3});
  Result R = Tex("restore --container " + skwtest::Quoted(Container));
  EXPECT_EQ(R.Code, 1) << "no original kept";
  EXPECT_NE(R.Err.find("textures.bin.original"), std::string::npos) << R.Err;
  EXPECT_EQ(Get(Container), (std::vector<uint8_t>{1, 2, 3}));

  Put("textures.bin.original", Original);
  R = Tex("restore --container " + skwtest::Quoted(Container));
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(Get(Container), Original);
  EXPECT_EQ(Get(Container + ".original"), Original);
  R = Tex("diff " + skwtest::Quoted(Container + ".original") + " " + skwtest::Quoted(Container));
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, std::vector<std::string>{"the containers are equal"});
}

}  // namespace
