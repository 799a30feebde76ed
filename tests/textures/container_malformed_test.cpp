// The container walk on containers it must refuse: truncated data, lying name
// lengths and sizes, negative counts, a missing "WOOD PLANK" record, and random
// damage. Every refusal is the same: one error box captioned with the container
// path, the default cursor, and an empty index; never a crash or a hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/ContainerBuilder.h"
#include "tests/support/RecordingFrontEnd.h"
#include "textures/TextureEngine.h"
#include "textures/TextureIndex.h"

namespace {

using skwtest::Texture;

const char kPath[] = "D:\\EECH\\cohokum\\3ddata\\textures.pal";
const std::string kRefusal = std::string("MessageBox error|") + kPath + "|Not a valid EECH textures file.";

struct Outcome {
  kst::TStringList Index;
  std::vector<std::string> Calls;
};

Outcome Scan(const std::vector<uint8_t>& Bytes, bool BinContainer) {
  Outcome Out;
  Out.Index = {"left", "over"};
  kst::TMemoryStream Stream = skwtest::StreamOf(Bytes);
  skwtest::RecordingFrontEnd UI;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Stream;
  Engine.TextureList = &Out.Index;
  Engine.BinContainer = BinContainer;
  Engine.FrontEnd = &UI;
  Engine.ScanTextures(kPath);
  Out.Calls = UI.Calls;
  return Out;
}

// The refusal: an empty index, and the box then the cursor as the last calls
// (pumps for textures indexed before the damage was found may come first).
::testing::AssertionResult Refused(const Outcome& Out) {
  if (!Out.Index.empty()) return ::testing::AssertionFailure() << "index not empty";
  const size_t N = Out.Calls.size();
  if (N < 2 || Out.Calls[N - 2] != kRefusal || Out.Calls[N - 1] != "Cursor default")
    return ::testing::AssertionFailure() << "no refusal reported";
  for (size_t I = 0; I + 2 < N; ++I)
    if (Out.Calls[I] != "ProcessMessages") return ::testing::AssertionFailure() << Out.Calls[I];
  return ::testing::AssertionSuccess();
}

skwtest::TContainerPlan Small(bool BinContainer) {
  skwtest::TContainerPlan Plan;
  Plan.BinContainer = BinContainer;
  if (!BinContainer) Plan.Palettes.push_back(skwtest::MakePalette(9));
  Plan.Textures = {Texture("5 ROUND ROCKET POD", 8, 8, 2), Texture("SKIP", 4, 4, 1, 3), Texture("LONG", 0, 0, 0, 6),
                   Texture("ROTOR", 6, 4, 1), skwtest::WoodPlank()};
  return Plan;
}

TEST(ContainerMalformed, EveryTruncationIsRefused) {
  // The data must reach to the end of the "WOOD PLANK" record, its 4 kept
  // bytes included; any shorter prefix, down to nothing, is refused.
  for (bool Bin : {false, true}) {
    const auto Built = skwtest::BuildContainer(Small(Bin));
    ASSERT_EQ(skw::TextureCount(Scan(Built.Bytes, Bin).Index), 3);
    for (size_t Length = 0; Length < Built.Bytes.size(); ++Length) {
      const std::vector<uint8_t> Cut(Built.Bytes.begin(), Built.Bytes.begin() + static_cast<long>(Length));
      EXPECT_TRUE(Refused(Scan(Cut, Bin))) << (Bin ? "bin" : "pal") << " cut at " << Length;
    }
  }
}

TEST(ContainerMalformed, WrongFirstRecords) {
  // Any record read before the first indexed one must carry the name; a type-2
  // "5 ROUND ROCKET POD" is not indexed, so the next name is tested too.
  for (const auto& First :
       {Texture("5 ROUND ROCKET PO", 4, 4, 0), Texture("5 round rocket pod", 4, 4, 0), Texture("", 4, 4, 0)}) {
    skwtest::TContainerPlan Plan = Small(false);
    Plan.Textures[0] = First;
    EXPECT_TRUE(Refused(Scan(skwtest::BuildContainer(Plan).Bytes, false))) << First.Name;
  }
  skwtest::TContainerPlan Plan = Small(true);
  Plan.Textures.insert(Plan.Textures.begin(), Texture("5 ROUND ROCKET POD", 4, 4, 0, 2));
  Plan.Textures[1].Name = "ROTOR";
  EXPECT_TRUE(Refused(Scan(skwtest::BuildContainer(Plan).Bytes, true)));
}

TEST(ContainerMalformed, LyingNameLengths) {
  const auto Built = skwtest::BuildContainer(Small(false));
  const int64_t Rotor = Built.RecordOffsets[3];
  for (int32_t Length : {105, 1000, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
    for (int64_t Record : {Built.RecordOffsets[0], Rotor}) {
      std::vector<uint8_t> Bytes = Built.Bytes;
      skwtest::PutInt32(Bytes, Record, Length);
      EXPECT_TRUE(Refused(Scan(Bytes, false))) << Length << " at " << Record;
    }
  }
  // A name length reaching past the end of the data, within the 104 limit.
  std::vector<uint8_t> Tail(Built.Bytes.begin(), Built.Bytes.begin() + Rotor + 4 + 3);
  skwtest::PutInt32(Tail, Rotor, 100);
  EXPECT_TRUE(Refused(Scan(Tail, false)));
}

TEST(ContainerMalformed, LyingSizesAndCounts) {
  // Field positions of ROTOR relative to its data offset (palettised):
  // mip count -16, width -12, height -8.
  const auto Built = skwtest::BuildContainer(Small(false));
  const int64_t Data = Built.DataOffsets[3];
  struct Lie {
    int64_t Offset;
    int32_t Value;
  };
  const int32_t Max = std::numeric_limits<int32_t>::max();
  const int32_t Min = std::numeric_limits<int32_t>::min();
  const std::vector<Lie> Lies = {
      {0, -1},
      {0, Min},
      {0, 2},
      {0, Max},  // palette count
      {Data - 12, -6},
      {Data - 8, -4},
      {Data - 12, Min},
      {Data - 8, Max},  // one side negative or huge
      {Data - 12, 7},
      {Data - 8, 5},  // a little too large
      {Data - 16, 2},
      {Data - 16, Max},  // more levels than stored
      {Data - 12, 65536},
      {Data - 8, 65536},  // 2^32 pixels, no wrap
  };
  for (const Lie& L : Lies) {
    std::vector<uint8_t> Bytes = Built.Bytes;
    skwtest::PutInt32(Bytes, L.Offset, L.Value);
    if (L.Offset == Data - 8 && L.Value == 65536) skwtest::PutInt32(Bytes, Data - 12, 65536);
    EXPECT_TRUE(Refused(Scan(Bytes, false))) << "value " << L.Value << " at " << L.Offset;
  }
  // A type-3 record whose size reaches past the end, in the true-colour kind.
  const auto Bin = skwtest::BuildContainer(Small(true));
  std::vector<uint8_t> Bytes = Bin.Bytes;
  skwtest::PutInt32(Bytes, Bin.DataOffsets[1] - 8, Max);
  EXPECT_TRUE(Refused(Scan(Bytes, true)));
}

TEST(ContainerMalformed, SizesThatStillFitAreAccepted) {
  // A negative mip count means no level at all, and both sides negative make a
  // positive size: the walk takes such values as they come when the data hold them.
  skwtest::TContainerPlan Plan = Small(false);
  Plan.Textures[3] = Texture("ROTOR", 6, 4, -5);
  skwtest::TTexturePlan Odd = Texture("ODD", -4, -2, 0);
  Odd.Pixels.assign(8, 0x5A);  // (-4) × (-2) pixels of one byte
  Plan.Textures.insert(Plan.Textures.begin() + 3, Odd);
  const Outcome Out = Scan(skwtest::BuildContainer(Plan).Bytes, false);
  ASSERT_EQ(skw::TextureCount(Out.Index), 4);
  EXPECT_EQ(skw::IndexLine(Out.Index, 1, skw::ilWidth), "-4");
  EXPECT_EQ(skw::IndexLine(Out.Index, 2, skw::ilMipCount), "-5");
}

TEST(ContainerMalformed, MissingWoodPlankIsRefusedAfterIndexing) {
  for (bool Bin : {false, true}) {
    skwtest::TContainerPlan Plan = Small(Bin);
    Plan.Textures.pop_back();
    const Outcome Out = Scan(skwtest::BuildContainer(Plan).Bytes, Bin);
    EXPECT_TRUE(Refused(Out));
    // The textures read before the end was reached were pumped for, then dropped.
    EXPECT_EQ(std::count(Out.Calls.begin(), Out.Calls.end(), "ProcessMessages"), 2);

    Plan.Textures.push_back(Texture("WOOD PLANKS", 4, 4, 0));
    EXPECT_TRUE(Refused(Scan(skwtest::BuildContainer(Plan).Bytes, Bin)));
  }
}

TEST(ContainerMalformed, RandomDamageNeverBreaksTheWalk) {
  // Overwrite a few bytes of a valid container at random; the walk must either
  // refuse it or give a whole index whose offsets lie inside the data.
  const auto Built = skwtest::BuildContainer(skwtest::TypicalContainer(false, 6, 16));
  uint32_t State = 12345;
  auto Next = [&State] { return State = State * 1664525u + 1013904223u; };
  for (int Round = 0; Round < 3000; ++Round) {
    std::vector<uint8_t> Bytes = Built.Bytes;
    const int Hits = 1 + static_cast<int>(Next() % 4);
    for (int H = 0; H < Hits; ++H) {
      // Half of the hits land anywhere, half in a record's header fields.
      const int64_t Header = Built.RecordOffsets[1 + Next() % 6] + Next() % 40;
      const size_t Where = Next() % 2 ? Next() % Bytes.size() : static_cast<size_t>(Header);
      Bytes[Where] = static_cast<uint8_t>(Next() >> 24);
    }
    const bool Bin = Round % 2 == 0;
    const Outcome Out = Scan(Bytes, Bin);
    ASSERT_EQ(Out.Index.size() % 7, 0u);
    if (Out.Index.empty()) {
      ASSERT_TRUE(Refused(Out)) << "round " << Round;
      continue;
    }
    for (int T = 0; T < skw::TextureCount(Out.Index); ++T) {
      const int64_t Offset = skw::IndexNumber(Out.Index, T, skw::ilDataOffset);
      ASSERT_GT(Offset, 0);
      ASSERT_LE(Offset + 4, static_cast<int64_t>(Bytes.size()));
    }
  }
}

}  // namespace
