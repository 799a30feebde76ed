// TContainerPatch on its own, against containers laid out independently by the
// test builder: random runs of texture rewrites in random container order, each
// texture growing, shrinking or keeping its size (some written twice), new
// palettes appended, and the gap's reserve ample, too small or absent, so that
// resizes go through the gap, through the held-aside way, or both. After Commit
// the container must be the builder's container with the new headers, data and
// palettes, and the index's data offsets the builder's offsets.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "tests/support/ContainerBuilder.h"
#include "tests/support/ContainerBuilder2.h"
#include "tests/support/MemoryPictureSource.h"
#include "tests/support/RecordingFrontEnd.h"
#include "textures/TextureEngine.h"
#include "textures/TextureImport.h"
#include "textures/TextureImportPatch.h"
#include "textures/TextureIndex.h"

namespace {

TEST(ContainerPatch, RewritesInAnyOrderGiveTheLaidOutContainer) {
  const int32_t Sides[] = {4, 8, 16, 32};
  for (uint32_t Seed = 1; Seed <= 300; ++Seed) {
    std::mt19937 Random(Seed);
    const auto Pick = [&Random](int N) { return static_cast<int>(Random() % static_cast<uint32_t>(N)); };
    skwtest::TContainerPlan Plan;
    Plan.BinContainer = Pick(2) == 0;
    const int32_t B = Plan.BinContainer ? 3 : 1;
    if (!Plan.BinContainer) Plan.Palettes = {skwtest::MakePalette(1), skwtest::MakePalette(2)};
    Plan.Textures.push_back(skwtest::Texture("5 ROUND ROCKET POD", 8, 8, 1));
    const int Count = 2 + Pick(10);
    for (int I = 0; I < Count; ++I) {
      const int32_t Side = Sides[Pick(4)];
      std::string Name(1, 'T');
      Name.append(std::to_string(I));
      Plan.Textures.push_back(skwtest::Texture(Name, Side, Side, skwtest::ChainMipCount(Side)));
    }
    Plan.Textures.push_back(skwtest::WoodPlank());
    const std::vector<uint8_t> Original = skwtest::BuildContainer(Plan).Bytes;

    kst::TMemoryStream Stream = skwtest::StreamOf(Original);
    kst::TStringList Index;
    skw::TTextureEngine Engine;
    Engine.ContainerStream = &Stream;
    Engine.TextureList = &Index;
    Engine.BinContainer = Plan.BinContainer;
    Engine.ScanTextures("c");
    std::map<std::string, int> GroupOf;
    for (int Group = 0; Group < skw::TextureCount(Index); ++Group)
      GroupOf[skw::IndexLine(Index, Group, skw::ilName)] = Group;

    skw::TContainerPatch Patch(Stream, Index, Plan.BinContainer);
    const int Reserve = Pick(3);
    Patch.ReserveGap(Reserve == 0 ? 0 : Reserve == 1 ? 200 : 1 << 20);
    skwtest::TContainerPlan Expected = Plan;
    const int Writes = 1 + Pick(2 * Count);
    for (int W = 0; W < Writes; ++W) {
      const int Texture = 1 + Pick(Count);
      skwtest::TTexturePlan& Target = Expected.Textures[static_cast<size_t>(Texture)];
      const int Group = GroupOf.at(Target.Name);
      const int32_t Side = Sides[Pick(4)], Mips = skwtest::ChainMipCount(Side);
      const int64_t Size = skw::LevelChainSize(Side, Side, B);
      Patch.WriteHeader(Group, Mips, Side, Side);
      if (!Plan.BinContainer && Pick(3) == 0) {
        const skwtest::TPalette Palette = skwtest::MakePalette(static_cast<uint32_t>(10 + Pick(3)));
        skw::TPaletteBytes Bytes;
        std::copy(Palette.begin(), Palette.end(), Bytes.begin());
        const int32_t Number = Patch.ChoosePalette(Bytes);
        if (Number == static_cast<int32_t>(Expected.Palettes.size())) Expected.Palettes.push_back(Palette);
        ASSERT_EQ(Expected.Palettes[static_cast<size_t>(Number)], Palette) << Seed;
      }
      uint8_t* Out = Patch.NewData(Group, Size);
      Target.Pixels.resize(static_cast<size_t>(Size));
      for (int64_t I = 0; I < Size; ++I)
        Out[I] = Target.Pixels[static_cast<size_t>(I)] = static_cast<uint8_t>(Random());
      Patch.DataDone(Group);
      Target.Width = Target.Height = Side;
      Target.MipCount = Mips;
    }
    Patch.Commit();

    const skwtest::TBuiltContainer Built = skwtest::BuildContainer(Expected);
    ASSERT_EQ(std::vector<uint8_t>(Stream.Memory(), Stream.Memory() + Stream.Size()), Built.Bytes) << Seed;
    for (size_t T = 1; T + 1 < Expected.Textures.size(); ++T)
      ASSERT_EQ(skw::IndexNumber(Index, GroupOf.at(Expected.Textures[T].Name), skw::ilDataOffset), Built.DataOffsets[T])
          << Seed;
  }
}

TEST(ContainerPatch, AbsurdSizesInNamesAreOnlyRejected) {
  // The room kept for growth comes from the names; names promising sizes no
  // picture has must neither overflow that estimate nor claim huge memory
  // once a texture does grow.
  skwtest::TContainerPlan Plan;
  Plan.Textures = {skwtest::Texture("5 ROUND ROCKET POD", 8, 8, 1), skwtest::Texture("A", 8, 8, 1),
                   skwtest::Texture("B", 8, 8, 1), skwtest::Texture("C", 8, 8, 1), skwtest::WoodPlank()};
  const std::vector<uint8_t> Original = skwtest::BuildContainer(Plan).Bytes;
  kst::TMemoryStream Stream = skwtest::StreamOf(Original);
  kst::TStringList Index;
  skwtest::MemoryPictureSource Pictures;
  const auto Grey = [](int32_t, int32_t) { return 0x808080u; };
  Pictures.Add("A-BIN-2147483647x2147483647.bmp", skwtest::TrueColourPicture(8, 8, Grey));
  Pictures.Add("B-BIN-65536x65536.bmp", skwtest::TrueColourPicture(8, 8, Grey));
  Pictures.Add("C-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Grey));  // grows: the room is used
  skwtest::RecordingFrontEnd UI;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Stream;
  Engine.TextureList = &Index;
  Engine.BinContainer = true;
  Engine.FrontEnd = &UI;
  Engine.Pictures = &Pictures;
  Engine.ScanTextures("c");
  Engine.ImportBitmaps();
  Plan.Textures[3] = skwtest::Texture("C", 16, 16, 2);
  Plan.Textures[3].Pixels = skwtest::UniformLevels(16, 16, {0x80, 0x80, 0x80});
  EXPECT_EQ(std::vector<uint8_t>(Stream.Memory(), Stream.Memory() + Stream.Size()),
            skwtest::BuildContainer(Plan).Bytes);
  EXPECT_EQ(UI.CountOf("MessageBox warning|A-BIN-2147483647x2147483647.bmp|Wrong color depth or texture size."), 1);
  EXPECT_EQ(UI.CountOf("MessageBox warning|B-BIN-65536x65536.bmp|Wrong color depth or texture size."), 1);
}

}  // namespace
