// ImportBitmaps against a plain model of the import on generated cases. The
// model does every step directly on the container: it inserts a new palette
// by moving the rest of the container, moves the rest again for every texture
// whose data change size, and shifts the index after each move. The engine
// defers all moves to one rebuild; both must give the same container bytes,
// the same index and the same reports, for containers of both kinds with
// growing, shrinking and unchanged textures, marked names, new and known
// palettes, repeated pictures, rejections and an early end.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/support/ContainerBuilder.h"
#include "tests/support/ContainerBuilder2.h"
#include "tests/support/MemoryPictureSource.h"
#include "tests/support/RecordingFrontEnd.h"
#include "textures/TextureContainer.h"
#include "textures/TextureEngine.h"
#include "textures/TextureImport.h"
#include "textures/TextureIndex.h"

namespace {

std::vector<uint8_t> Tail(const kst::TMemoryStream& C, int64_t From) {
  return std::vector<uint8_t>(C.Memory() + From, C.Memory() + C.Size());
}

void WriteAt(kst::TMemoryStream& C, int64_t At, const std::vector<uint8_t>& Bytes) {
  C.SetPosition(At);
  C.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

int32_t ModelPalette(kst::TMemoryStream& C, kst::TStringList& Index, const skw::TPaletteBytes& Palette,
                     int64_t& DataOffset) {
  int32_t Count = 0;
  skw::ReadInt32At(C, 0, Count);
  for (int32_t K = 0; K < Count; ++K)
    if (std::memcmp(C.Memory() + skw::PaletteOffset(K), Palette.data(), 1024) == 0) return K;
  const int64_t End = skw::PaletteOffset(Count);
  const std::vector<uint8_t> Rest = Tail(C, End);
  WriteAt(C, End, std::vector<uint8_t>(Palette.begin(), Palette.end()));
  WriteAt(C, End + 1024, Rest);
  skw::WriteInt32At(C, 0, Count + 1);
  DataOffset += 1024;
  skw::ShiftDataOffsets(Index, 0, 1024);
  return Count;
}

// Steps 5 to 14 for one group; false for a rejected picture.
bool ModelTexture(kst::TMemoryStream& C, kst::TStringList& Index, bool Bin, const std::string& Entry,
                  const skw::TPictureName& Name, int Group, skwtest::MemoryPictureSource& Source,
                  skw::TEngineFrontEnd& UI) {
  const skw::TTextureEntry T = skw::TextureAt(Index, Group);
  int64_t Offset = T.DataOffset;
  skw::TBitmap Bitmap;
  Bitmap.LoadFromBuffer(Source.Extract(Entry));
  if (!skw::PictureFits(Bitmap, Name, Bin, T.Width, T.Height)) return false;
  const int32_t W = Bitmap.Width(), H = Bitmap.Height(), Mip = skw::NewMipCount(H);
  skw::WriteInt32At(C, Offset - skw::MipCountDistance(Bin), Mip);
  skw::WriteInt32At(C, Offset - skw::WidthDistance(Bin), W);
  skw::WriteInt32At(C, Offset - skw::HeightDistance(Bin), H);
  UI.ProcessMessages();
  int32_t Palette = 0;
  if (!Bin) {
    Palette = ModelPalette(C, Index, skw::PaletteOfPicture(Bitmap), Offset);
    skw::WriteInt32At(C, Offset - 4, Palette);
  }
  const int32_t B = Bin ? 3 : 1;
  const int64_t Current = skw::PixelDataSize(T.Width, T.Height, T.MipCount, B);
  std::vector<uint8_t> Out(static_cast<size_t>(skw::LevelChainSize(W, H, B)));
  skw::MakeLevels(Bitmap, Out.data());
  UI.ProcessMessages();
  const int64_t Before = C.Size();
  if (static_cast<int64_t>(Out.size()) != Current) {
    const std::vector<uint8_t> Rest = Tail(C, Offset + Current);
    WriteAt(C, Offset, Out);
    WriteAt(C, Offset + static_cast<int64_t>(Out.size()), Rest);
    C.SetSize(Offset + static_cast<int64_t>(Out.size() + Rest.size()));
  } else {
    WriteAt(C, Offset, Out);
  }
  skw::SetIndexNumber(Index, Group, skw::ilWidth, W);
  skw::SetIndexNumber(Index, Group, skw::ilHeight, H);
  if (!Bin) skw::SetIndexNumber(Index, Group, skw::ilPaletteNumber, Palette);
  skw::SetIndexNumber(Index, Group, skw::ilMipCount, Mip);
  if (C.Size() != Before) skw::ShiftDataOffsets(Index, Group + 1, C.Size() - Before);
  UI.ProcessMessages();
  return true;
}

void ModelImport(kst::TMemoryStream& C, kst::TStringList& Index, bool Bin, skwtest::MemoryPictureSource& Source,
                 skw::TEngineFrontEnd& UI) {
  kst::TStringList Names = Source.ListBitmaps();
  skw::SortPictureNames(Names);
  UI.SetProgressMax(static_cast<int>(Names.size()));
  for (const std::string& Entry : Names) {
    skw::TPictureName Name;
    const skw::TNameVerdict Verdict = skw::CutPictureName(Entry, Name);
    if (Verdict == skw::TNameVerdict::nvEndImport) break;
    if (Verdict == skw::TNameVerdict::nvPicture) {
      UI.SetLabel2(Name.TextureName);
      UI.ProcessMessages();
      for (int Group = 0; Group < skw::TextureCount(Index); ++Group) {
        if (skw::IndexLine(Index, Group, skw::ilName) != Name.TextureName) continue;
        if (!ModelTexture(C, Index, Bin, Entry, Name, Group, Source, UI)) {
          UI.MessageBox(Entry, "Wrong color depth or texture size.", skw::TMessageIcon::Warning);
          break;
        }
      }
    }
    UI.StepProgressBy(1);
    UI.ProcessMessages();
  }
}

// A generated case: a container and the pictures of a pack.
struct TCase {
  skwtest::TContainerPlan Plan;
  skwtest::MemoryPictureSource Pictures;
};

TCase Generate(uint32_t Seed) {
  std::mt19937 Random(Seed);
  const auto Pick = [&Random](int N) { return static_cast<int>(Random() % static_cast<uint32_t>(N)); };
  TCase Case;
  skwtest::TContainerPlan& Plan = Case.Plan;
  Plan.BinContainer = Pick(2) == 0;
  const int Palettes = Pick(4);
  for (int I = 0; I < Palettes; ++I) Plan.Palettes.push_back(skwtest::MakePalette(static_cast<uint32_t>(Pick(3))));
  const char* Names[] = {"A", "B", "C", "D"};
  const int32_t Sides[] = {4, 8, 16, 32};
  Plan.Textures.push_back(skwtest::Texture("5 ROUND ROCKET POD", 8, 8, 1));
  const int Records = 2 + Pick(8);
  for (int I = 0; I < Records; ++I) {
    const int32_t Side = Sides[Pick(4)];
    const int32_t Height = Pick(4) == 0 ? Side / 2 : Side;
    const int32_t Type = Pick(8) == 0 ? 2 + Pick(3) : 1;  // now and then a record that is not indexed
    Plan.Textures.push_back(
        skwtest::Texture(Names[Pick(4)], Side, Height, skwtest::ChainMipCount(Height) - Pick(2), Type, Pick(3)));
  }
  Plan.Textures.push_back(skwtest::WoodPlank());
  Plan.TrailingBytes.assign(static_cast<size_t>(Pick(5)), 0xAB);

  const int Count = 1 + Pick(8);
  for (int I = 0; I < Count; ++I) {
    const int32_t Side = Sides[Pick(4)];
    const int32_t Height = Pick(4) == 0 ? Side / 2 : Side;
    std::string Name = std::string(Names[Pick(4)]) + (Pick(3) == 0 ? "-D" : "");
    const bool Indexed = Plan.BinContainer ? Pick(6) == 0 : Pick(6) != 0;
    const char* Kind = Pick(2) == 0 ? "BIN" : "PAL";
    Name += std::string("-") + (Pick(25) == 0 ? "XYZ" : Kind) + "-" + std::to_string(Side) + "x" +
            std::to_string(Height) + ".bmp";
    const uint32_t Salt = Random();
    const auto Pixel = [Salt](int32_t X, int32_t Y) {
      return (static_cast<uint32_t>(X * 73 + Y * 151) * 2654435761u ^ Salt) & 0xFFFFFF;
    };
    Case.Pictures.Add(
        Name, Indexed ? skwtest::PalettedPicture(Side, Height, skwtest::MakePalette(static_cast<uint32_t>(Pick(5))),
                                                 [Pixel](int32_t X, int32_t Y) { return Pixel(X, Y) & 0x0F; })
                      : skwtest::TrueColourPicture(Side, Height, Pixel));
  }
  return Case;
}

TEST(ImportModel, EngineAndModelAgreeOnGeneratedCases) {
  int Written = 0;
  for (uint32_t Seed = 1; Seed <= 400; ++Seed) {
    TCase Case = Generate(Seed);
    const bool Bin = Case.Plan.BinContainer;
    const std::vector<uint8_t> Bytes = skwtest::BuildContainer(Case.Plan).Bytes;

    kst::TMemoryStream Engine = skwtest::StreamOf(Bytes);
    kst::TStringList EngineIndex;
    skwtest::RecordingFrontEnd EngineUI;
    skw::TTextureEngine E;
    E.ContainerStream = &Engine;
    E.TextureList = &EngineIndex;
    E.BinContainer = Bin;
    E.FrontEnd = &EngineUI;
    E.Pictures = &Case.Pictures;
    E.ScanTextures("c");
    ASSERT_FALSE(EngineIndex.empty()) << Seed;
    kst::TStringList ModelIndex = EngineIndex;
    kst::TMemoryStream Model = skwtest::StreamOf(Bytes);
    EngineUI.Reset();
    skwtest::RecordingFrontEnd ModelUI;

    E.ImportBitmaps();
    ModelImport(Model, ModelIndex, Bin, Case.Pictures, ModelUI);

    ASSERT_EQ(Engine.Size(), Model.Size()) << Seed;
    ASSERT_EQ(std::memcmp(Engine.Memory(), Model.Memory(), static_cast<size_t>(Model.Size())), 0) << Seed;
    ASSERT_EQ(EngineIndex, ModelIndex) << Seed;
    ASSERT_EQ(EngineUI.Calls, ModelUI.Calls) << Seed;
    Written += Model.Size() != static_cast<int64_t>(Bytes.size()) ? 1 : 0;

    kst::TStringList Fresh;
    kst::TMemoryStream Copy = Engine;
    E.ContainerStream = &Copy;
    E.TextureList = &Fresh;
    E.FrontEnd = nullptr;
    E.ScanTextures("c");
    ASSERT_EQ(Fresh, EngineIndex) << Seed;
  }
  // The generator must actually exercise resizing.
  EXPECT_GT(Written, 100);
}

}  // namespace
