// ImportBitmaps end to end: a container built by the container builder, pictures
// held in memory, every report recorded. Each written case is checked three
// ways: the patched container against one built independently with the
// expected records, the updated index against a fresh scan of the patched
// container, and the reports in their order.
#include <gtest/gtest.h>

#include "tests/support/ContainerBuilder.h"
#include "tests/support/ContainerBuilder2.h"
#include "tests/support/MemoryPictureSource.h"
#include "tests/support/RecordingFrontEnd.h"
#include "textures/TextureEngine.h"
#include "textures/TextureImport.h"
#include "textures/TextureIndex.h"

namespace {

using skwtest::TContainerPlan;
using skwtest::Texture;

constexpr char kWrong[] = "Wrong color depth or texture size.";

kst::TStringList Scan(const kst::TMemoryStream& Container, bool Bin) {
  kst::TMemoryStream Copy = Container;
  Copy.SetPosition(0);
  kst::TStringList Index;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Copy;
  Engine.TextureList = &Index;
  Engine.BinContainer = Bin;
  Engine.ScanTextures("rescan");
  return Index;
}

std::vector<uint8_t> BytesOf(const kst::TMemoryStream& Stream) {
  return std::vector<uint8_t>(Stream.Memory(), Stream.Memory() + Stream.Size());
}

auto Fill(uint32_t Value) {
  return [Value](int32_t, int32_t) { return Value; };
}

// A container with the rocket pod first, the given records and the wood plank.
TContainerPlan Container(bool Bin, std::vector<skwtest::TTexturePlan> Records, int Palettes = 3) {
  TContainerPlan Plan;
  Plan.BinContainer = Bin;
  for (int I = 0; I < (Bin ? 0 : Palettes); ++I)
    Plan.Palettes.push_back(skwtest::MakePalette(static_cast<uint32_t>(I)));
  Plan.Textures.push_back(Texture("5 ROUND ROCKET POD", 8, 8, 1));
  for (auto& Record : Records) Plan.Textures.push_back(std::move(Record));
  Plan.Textures.push_back(skwtest::WoodPlank());
  Plan.TrailingBytes = {1, 2, 3};
  return Plan;
}

class ImportRun : public ::testing::Test {
 protected:
  void Load(const TContainerPlan& Plan) {
    FSpec = Plan;
    FStream = skwtest::StreamOf(skwtest::BuildContainer(Plan).Bytes);
    FEngine.ContainerStream = &FStream;
    FEngine.TextureList = &FIndex;
    FEngine.BinContainer = Plan.BinContainer;
    FEngine.FrontEnd = &FUI;
    FEngine.Pictures = &FPictures;
    FEngine.ScanTextures("textures.bin");
    ASSERT_GT(skw::TextureCount(FIndex), 0);
    FUI.Reset();
  }

  // The patched container equals Expected and a fresh scan equals the index.
  void ExpectContainer(const TContainerPlan& Expected) {
    EXPECT_EQ(BytesOf(FStream), skwtest::BuildContainer(Expected).Bytes);
    EXPECT_EQ(Scan(FStream, FSpec.BinContainer), FIndex);
  }

  void ExpectUnchanged() { ExpectContainer(FSpec); }

  TContainerPlan FSpec;
  kst::TMemoryStream FStream;
  kst::TStringList FIndex;
  skwtest::MemoryPictureSource FPictures;
  skwtest::RecordingFrontEnd FUI;
  skw::TTextureEngine FEngine;
};

// Column or row c of an 8-pixel side feeds destination c' of the halved
// picture as 1 -> 0, 2 and 3 -> 1, 4 -> 2, 5 and 6 -> 3 (0 and 7 feed nothing
// that is kept). A picture constant on those blocks halves exactly.
uint32_t Block(int32_t C) {
  static const uint32_t Map[8] = {0, 0, 1, 1, 2, 3, 3, 3};
  return Map[C];
}

uint32_t BlockColour(uint32_t X, uint32_t Y) { return (40 * X + 10) | (50 * Y + 5) << 8 | (7 * (X + Y) + 1) << 16; }

TEST_F(ImportRun, TrueColourPictureWrittenInPlace) {
  for (const uint16_t Depth : {24, 32}) {
    FPictures = {};
    Load(Container(true, {Texture("ROTOR", 8, 8, 1), Texture("TAIL", 8, 8, 1)}));
    const auto Picture = [](int32_t X, int32_t Y) { return BlockColour(Block(X), Block(Y)); };
    FPictures.Add("ROTOR-BIN-8x8.bmp", skwtest::TrueColourPicture(8, 8, Picture, Depth));
    FEngine.ImportBitmaps();

    TContainerPlan Expected = FSpec;
    Expected.Textures[1].Pixels = skwtest::TrueColourLevel(8, 8, Picture);
    const auto Halved = skwtest::TrueColourLevel(
        4, 4, [](int32_t X, int32_t Y) { return BlockColour(static_cast<uint32_t>(X), static_cast<uint32_t>(Y)); });
    Expected.Textures[1].Pixels.insert(Expected.Textures[1].Pixels.end(), Halved.begin(), Halved.end());
    ExpectContainer(Expected);
    EXPECT_EQ(FUI.Calls,
              (std::vector<std::string>{"ProgressMax 1", "Label2 ROTOR", "ProcessMessages", "ProcessMessages",
                                        "ProcessMessages", "ProcessMessages", "StepProgressBy 1", "ProcessMessages"}))
        << Depth;
  }
}

TEST_F(ImportRun, LargerPictureGrowsTheContainerAndShiftsLaterOffsets) {
  Load(Container(true, {Texture("ROTOR", 8, 8, 1), Texture("TAIL", 8, 8, 1)}));
  const kst::TStringList Before = FIndex;
  FPictures.Add("ROTOR-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Fill(0x123456)));
  FEngine.ImportBitmaps();

  TContainerPlan Expected = FSpec;
  Expected.Textures[1] = Texture("ROTOR", 16, 16, 2);
  Expected.Textures[1].Pixels = skwtest::UniformLevels(16, 16, {0x56, 0x34, 0x12});
  ExpectContainer(Expected);
  const int64_t Growth = (16 * 16 + 8 * 8 + 4 * 4 - 8 * 8 - 4 * 4) * 3;
  EXPECT_EQ(skw::IndexNumber(FIndex, 1, skw::ilDataOffset), skw::IndexNumber(Before, 1, skw::ilDataOffset));
  for (int Group : {2, 3})
    EXPECT_EQ(skw::IndexNumber(FIndex, Group, skw::ilDataOffset),
              skw::IndexNumber(Before, Group, skw::ilDataOffset) + Growth);
  EXPECT_EQ(skw::IndexLine(FIndex, 1, skw::ilMipCount), "2");
}

TEST_F(ImportRun, SameTextureGrownThenShrunkKeepsTheLastPicture) {
  Load(Container(true, {Texture("ROTOR", 32, 32, 3), Texture("TAIL", 8, 8, 1)}));
  // Sorted "ROTOR-BIN-16x16" comes before "ROTOR-BIN-8x8".
  FPictures.Add("ROTOR-BIN-8x8.bmp", skwtest::TrueColourPicture(8, 8, Fill(0x0000FF)));
  FPictures.Add("ROTOR-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Fill(0x00FF00)));
  FPictures.Add("TAIL-BIN-64x64.bmp", skwtest::TrueColourPicture(64, 64, Fill(0xFF0000)));
  FEngine.ImportBitmaps();

  TContainerPlan Expected = FSpec;
  Expected.Textures[1] = Texture("ROTOR", 8, 8, 1);
  Expected.Textures[1].Pixels = skwtest::UniformLevels(8, 8, {0xFF, 0, 0});
  Expected.Textures[2] = Texture("TAIL", 64, 64, 4);
  Expected.Textures[2].Pixels = skwtest::UniformLevels(64, 64, {0, 0, 0xFF});
  ExpectContainer(Expected);
}

TEST_F(ImportRun, MarkedPictureWritesEveryMarkedTextureOnly) {
  Load(Container(true, {Texture("ROTOR", 8, 8, 1), Texture("ROTOR", 8, 8, 1, 2), Texture("ROTOR", 8, 8, 1),
                        Texture("ROTOR", 8, 8, 1)}));
  // Indexed: ROTOR, (type 2 not indexed), ROTOR-D, ROTOR-D.
  ASSERT_EQ(skw::IndexLine(FIndex, 2, skw::ilName), "ROTOR-D");
  FPictures.Add("ROTOR-D-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Fill(0x010203)));
  FPictures.Add("rotor-BIN-8x8.bmp", skwtest::TrueColourPicture(8, 8, Fill(0)));
  FEngine.ImportBitmaps();

  TContainerPlan Expected = FSpec;
  for (size_t Record : {3u, 4u}) {
    Expected.Textures[Record] = Texture("ROTOR", 16, 16, 2);
    Expected.Textures[Record].Pixels = skwtest::UniformLevels(16, 16, {3, 2, 1});
  }
  ExpectContainer(Expected);
  EXPECT_EQ(FPictures.Extractions, 2);  // once per written texture; "rotor" matches nothing
  EXPECT_EQ(FUI.CountOf("StepProgressBy 1"), 2);
}

TEST_F(ImportRun, NewPaletteAppendedOnceThenFound) {
  Load(Container(false, {Texture("A", 8, 8, 1, 1, 0), Texture("B", 16, 16, 2, 1, 1), Texture("C", 8, 8, 1, 1, 2)}));
  const kst::TStringList Before = FIndex;
  const skwtest::TPalette New = skwtest::MakePalette(9);
  FPictures.Add("A-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, New, Fill(5)));
  FPictures.Add("B-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, New, Fill(7)));
  FEngine.ImportBitmaps();

  TContainerPlan Expected = FSpec;
  Expected.Palettes.push_back(New);
  Expected.Textures[1] = Texture("A", 8, 8, 1, 1, 3);
  Expected.Textures[1].Pixels = skwtest::UniformLevels(8, 8, {5});
  Expected.Textures[2] = Texture("B", 8, 8, 1, 1, 3);
  Expected.Textures[2].Pixels = skwtest::UniformLevels(8, 8, {7});
  ExpectContainer(Expected);
  EXPECT_EQ(skw::IndexLine(FIndex, 1, skw::ilPaletteNumber), "3");
  EXPECT_EQ(skw::IndexLine(FIndex, 3, skw::ilPaletteNumber), "2");
  EXPECT_EQ(skw::IndexNumber(FIndex, 3, skw::ilDataOffset),
            skw::IndexNumber(Before, 3, skw::ilDataOffset) + 1024 - (16 * 16 + 8 * 8 + 4 * 4 - 8 * 8 - 4 * 4));
}

TEST_F(ImportRun, PaletteSearchTakesTheFirstEqualPalette) {
  TContainerPlan Plan = Container(false, {Texture("A", 8, 8, 1, 1, 0), Texture("B", 8, 8, 1, 1, 0)}, 4);
  Plan.Palettes[1] = skwtest::MakePalette(20);
  Plan.Palettes[3] = skwtest::MakePalette(20);
  Plan.Palettes[2] = skwtest::MakePalette(30);
  Load(Plan);
  // A's colours equal palette 1 and palette 3; B's only the last entry differs from 2.
  skwtest::TPalette AlmostTwo = Plan.Palettes[2];
  AlmostTwo[1023] ^= 1;
  FPictures.Add("A-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, Plan.Palettes[1], Fill(9)));
  FPictures.Add("B-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, AlmostTwo, Fill(9)));
  FEngine.ImportBitmaps();

  TContainerPlan Expected = FSpec;
  Expected.Palettes.push_back(AlmostTwo);
  Expected.Textures[1].PaletteNumber = 1;
  Expected.Textures[1].Pixels = skwtest::UniformLevels(8, 8, {9});
  Expected.Textures[2].PaletteNumber = 4;
  Expected.Textures[2].Pixels = skwtest::UniformLevels(8, 8, {9});
  ExpectContainer(Expected);
}

TEST_F(ImportRun, PaletteThreeChosenWithoutChangingTheTable) {
  Load(Container(false, {Texture("ROTOR", 64, 64, 4, 1, 0), Texture("TAIL", 8, 8, 1)}, 4));
  const kst::TStringList Before = FIndex;
  FPictures.Add("ROTOR-PAL-64x64.bmp", skwtest::PalettedPicture(64, 64, FSpec.Palettes[3], Fill(200)));
  FEngine.ImportBitmaps();

  TContainerPlan Expected = FSpec;
  Expected.Textures[1].PaletteNumber = 3;
  Expected.Textures[1].Pixels = skwtest::UniformLevels(64, 64, {200});
  ASSERT_EQ(Expected.Textures[1].Pixels.size(), 5456u);
  ExpectContainer(Expected);
  for (int Group = 0; Group < skw::TextureCount(FIndex); ++Group)
    EXPECT_EQ(skw::IndexLine(FIndex, Group, skw::ilDataOffset), skw::IndexLine(Before, Group, skw::ilDataOffset));
}

TEST_F(ImportRun, EightBitPictureCountsAsPalettised) {
  const skwtest::TPalette Table = skwtest::MakePalette(1);
  const auto Picture = skwtest::PalettedPicture(8, 8, Table, Fill(4));
  Load(Container(true, {Texture("A", 8, 8, 1)}));
  FPictures.Add("A-BIN-8x8.bmp", Picture);
  FEngine.ImportBitmaps();
  ExpectUnchanged();
  EXPECT_EQ(FUI.Boxes.size(), 1u);

  FPictures = {};
  FUI.Reset();
  Load(Container(false, {Texture("A", 8, 8, 1)}));
  FPictures.Add("A-BIN-8x8.bmp", Picture);
  FEngine.ImportBitmaps();
  TContainerPlan Expected = FSpec;
  Expected.Textures[1].PaletteNumber = 1;
  Expected.Textures[1].Pixels = skwtest::UniformLevels(8, 8, {4});
  ExpectContainer(Expected);
  EXPECT_TRUE(FUI.Boxes.empty());
}

TEST_F(ImportRun, RejectedPicturesLeaveTheContainerAlone) {
  Load(Container(false, {Texture("A", 64, 64, 4), Texture("B", 8, 8, 1), Texture("C", 8, 8, 1), Texture("C", 8, 8, 1),
                         Texture("C", 8, 8, 1), Texture("Z", 8, 0, 0)}));
  const skwtest::TPalette Table = skwtest::MakePalette(0);
  FPictures.Add("A-PAL-64x32.bmp", skwtest::PalettedPicture(64, 32, Table, Fill(1)));  // ratio 2 against 1
  FPictures.Add("B-PAL-8x8.bmp", skwtest::TrueColourPicture(8, 8, Fill(1)));           // not 8-bit
  FPictures.Add("C-D-PAL-16x16.bmp", skwtest::PalettedPicture(8, 8, Table, Fill(1)));  // not the named size
  FPictures.Add("Z-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, Table, Fill(1)));      // texture of height 0
  FEngine.ImportBitmaps();

  ExpectUnchanged();
  EXPECT_EQ(FPictures.Extractions, 4);  // a rejected picture is not tried on the second C-D
  const std::vector<std::string> Expected = {"ProgressMax 4",
                                             "Label2 A",
                                             "ProcessMessages",
                                             "MessageBox warning|A-PAL-64x32.bmp|" + std::string(kWrong),
                                             "StepProgressBy 1",
                                             "ProcessMessages",
                                             "Label2 B",
                                             "ProcessMessages",
                                             "MessageBox warning|B-PAL-8x8.bmp|" + std::string(kWrong),
                                             "StepProgressBy 1",
                                             "ProcessMessages",
                                             "Label2 C-D",
                                             "ProcessMessages",
                                             "MessageBox warning|C-D-PAL-16x16.bmp|" + std::string(kWrong),
                                             "StepProgressBy 1",
                                             "ProcessMessages",
                                             "Label2 Z",
                                             "ProcessMessages",
                                             "MessageBox warning|Z-PAL-8x8.bmp|" + std::string(kWrong),
                                             "StepProgressBy 1",
                                             "ProcessMessages"};
  EXPECT_EQ(FUI.Calls, Expected);
}

TEST_F(ImportRun, BadKindTokenEndsTheImportAndSkippedEntriesStillCount) {
  Load(Container(false, {Texture("A", 8, 8, 1), Texture("C", 8, 8, 1)}));
  const skwtest::TPalette Table = skwtest::MakePalette(0);
  FPictures.Add("C-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, Table, Fill(2)));
  FPictures.Add("B-XYZ-8x8.bmp", skwtest::PalettedPicture(8, 8, Table, Fill(2)));
  FPictures.Add("logo.bmp", skwtest::PalettedPicture(8, 8, Table, Fill(2)));
  FPictures.Add("A-PAL-8x8.BMP", skwtest::PalettedPicture(8, 8, Table, Fill(2)));
  FPictures.Add("A-PAL-8x8.bmp", skwtest::PalettedPicture(8, 8, Table, Fill(3)));
  FPictures.Add("credits.txt", {});
  FEngine.ImportBitmaps();

  TContainerPlan Expected = FSpec;
  Expected.Textures[1].Pixels = skwtest::UniformLevels(8, 8, {3});
  ExpectContainer(Expected);
  // Sorted: A-PAL-8x8.BMP, A-PAL-8x8.bmp, B-XYZ-8x8.bmp, C-PAL-8x8.bmp, logo.bmp.
  EXPECT_EQ(FUI.Calls.front(), "ProgressMax 5");
  EXPECT_EQ(FUI.CountOf("StepProgressBy 1"), 2);
  EXPECT_EQ(FUI.CountOf("Label2 C"), 0);
}

TEST_F(ImportRun, RunStoppingErrorsKeepWhatWasWritten) {
  const auto Grown = [] {
    TContainerPlan Plan = Container(true, {Texture("A", 8, 8, 1), Texture("B", 8, 8, 1)});
    Plan.Textures[1] = Texture("A", 16, 16, 2);
    Plan.Textures[1].Pixels = skwtest::UniformLevels(16, 16, {9, 9, 9});
    return Plan;
  };
  struct Case {
    std::string Entry;
    std::vector<uint8_t> Bytes;
    std::string Message;
  };
  const std::vector<Case> Cases = {
      {"B-BIN-8X8.bmp", skwtest::TrueColourPicture(8, 8, Fill(0)), "'' is not a valid integer value"},
      {"B-BIN-8x8.bmp", {'B', 'M', 0, 0}, "Bitmap image is not valid"},
      {"B-BIN-8x8.bmp", {}, "Bitmap image is not valid"},
  };
  for (const Case& C : Cases) {
    FPictures = {};
    Load(Container(true, {Texture("A", 8, 8, 1), Texture("B", 8, 8, 1)}));
    FPictures.Add("A-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Fill(0x090909)));
    FPictures.Add(C.Entry, C.Bytes);
    try {
      FEngine.ImportBitmaps();
      ADD_FAILURE() << C.Entry << " gave no error";
    } catch (const std::runtime_error& Error) {
      EXPECT_EQ(std::string(Error.what()), C.Message);
    }
    ExpectContainer(Grown());
  }

  // An error of the extraction itself leaves as it is.
  FPictures = {};
  Load(Container(true, {Texture("A", 8, 8, 1), Texture("B", 8, 8, 1)}));
  FPictures.Add("A-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Fill(0x090909)));
  FPictures.Add("B-BIN-8x8.bmp", skwtest::TrueColourPicture(8, 8, Fill(0)));
  FPictures.OnExtract = [](const std::string& Name) {
    if (Name[0] == 'B') throw std::runtime_error("CRC error");
  };
  EXPECT_THROW(FEngine.ImportBitmaps(), std::runtime_error);
  ExpectContainer(Grown());
}

TEST_F(ImportRun, EmptyIndexChangesNothing) {
  TContainerPlan Plan = Container(true, {Texture("A", 8, 8, 1)});
  Plan.Textures.erase(Plan.Textures.begin());  // no rocket pod first: the scan refuses it
  FSpec = Plan;
  FStream = skwtest::StreamOf(skwtest::BuildContainer(Plan).Bytes);
  FEngine.ContainerStream = &FStream;
  FEngine.TextureList = &FIndex;
  FEngine.FrontEnd = &FUI;
  FEngine.Pictures = &FPictures;
  FEngine.ScanTextures("textures.bin");
  ASSERT_TRUE(FIndex.empty());
  FPictures.Add("A-BIN-8x8.bmp", skwtest::TrueColourPicture(8, 8, Fill(0)));
  FEngine.ImportBitmaps();
  EXPECT_EQ(BytesOf(FStream), skwtest::BuildContainer(Plan).Bytes);
  EXPECT_EQ(FPictures.Extractions, 0);
}

}  // namespace
