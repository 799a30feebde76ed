// The dry run against the real thing: for packs that bring every outcome (a
// replaced texture with its new size, a palette appended and then reused, a
// name of no texture with its nearest names, an upper-case ".BMP", the logo,
// each failed check, a kind token that ends the import, size text and picture
// errors that stop the run), CheckPack is run on the demo game's container,
// which must stay untouched, and then the installer program itself installs the
// same pack. What the installer shows and writes must be what the check said:
// one warning per rejected entry in order, the run-stopping error, the summary
// line, the exit code, the container saved (and its original kept) or not, and
// the sizes of the replaced textures as a fresh scan of the installed container
// reads them.
#include <filesystem>

#include "installer/PackBuilder.h"
#include "installer/PackCheck.h"
#include "tests/installer/InstallerHarness.h"
#include "textures/TextureIndex.h"

namespace {

using skw::TPictureOutcome;
using Entries = std::vector<std::pair<std::string, std::string>>;

// An 8-bit BMP file whose colour table is made from Seed (0: grey ramp, equal
// to the demo container's palette 0).
std::string Picture8(int32_t Width, int32_t Height, int Seed) {
  skw::TBitmap Picture;
  Picture.SetPixelFormat(skw::TPixelFormat::pf8bit);
  skw::TColorTable Table{};
  for (int I = 0; I < 256; ++I) {
    const auto Level = static_cast<uint8_t>(Seed == 0 ? I : (I * Seed + 11) & 0xFF);
    Table[static_cast<size_t>(I)] = skw::TRGBQuad{Level, static_cast<uint8_t>(Seed == 0 ? I : 255 - I), Level, 0};
  }
  Picture.SetColorTable(Table);
  Picture.SetSize(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y) {
    std::span<uint8_t> Row = Picture.ScanLine(Y);
    for (int32_t X = 0; X < Width; ++X) Row[static_cast<size_t>(X)] = static_cast<uint8_t>(X * 3 + Y);
  }
  const std::vector<uint8_t> Bytes = Picture.SaveToBuffer();
  return std::string(Bytes.begin(), Bytes.end());
}

struct Expected {
  std::string Entry;
  TPictureOutcome Outcome;
};

struct CheckCase {
  const char* Title;
  bool Bin;
  Entries Pack;
  std::vector<Expected> Outcomes;  // in the import's order
  bool WouldSave;
};

std::vector<CheckCase> Cases() {
  using skwtest::Picture24;
  return {
      {"every verdict of one run",
       true,
       {{"ROTOR-BIN-128x128.bmp", Picture24(128, 128)},
        {"rotor-BIN-64x64.bmp", Picture24(64, 64)},
        {"CRATE 02-BIN-16x16.BMP", Picture24(16, 16)},
        {"CRATE 03-BIN-32x32.bmp", Picture24(16, 16)},
        {"HANGAR DOOR-BIN-64x64.bmp", Picture24(64, 64)},
        {"CRATE 04-BIN-16x16.bmp", Picture8(16, 16, 0)},
        {"logo.bmp", Picture24(8, 8)},
        {"ROTOR-D-BIN-32x32.bmp", Picture24(32, 32)}},
       {{"CRATE 02-BIN-16x16.BMP", TPictureOutcome::Skipped},
        {"CRATE 03-BIN-32x32.bmp", TPictureOutcome::Rejected},
        {"CRATE 04-BIN-16x16.bmp", TPictureOutcome::Rejected},
        {"HANGAR DOOR-BIN-64x64.bmp", TPictureOutcome::Rejected},
        {"logo.bmp", TPictureOutcome::Skipped},
        {"ROTOR-BIN-128x128.bmp", TPictureOutcome::Replaced},
        {"rotor-BIN-64x64.bmp", TPictureOutcome::NoTexture},
        {"ROTOR-D-BIN-32x32.bmp", TPictureOutcome::Replaced}},
       true},
      {"a picture name without a kind ends the import",
       true,
       {{"CRATE 01-BIN-16x16.bmp", Picture24(16, 16)}, {"AAA.bmp", Picture24(16, 16)}},
       {{"AAA.bmp", TPictureOutcome::EndsImport}, {"CRATE 01-BIN-16x16.bmp", TPictureOutcome::NeverReached}},
       true},
      {"palettes appended, reused and found in the table; depth refused",
       false,
       {{"CRATE 01-PAL-16x16.bmp", Picture8(16, 16, 7)},
        {"CRATE 02-PAL-32x32.bmp", Picture8(32, 32, 7)},
        {"CRATE 03-PAL-16x16.bmp", Picture8(16, 16, 0)},
        {"GRASS 01-PAL-32x32.bmp", Picture24(32, 32)}},
       {{"CRATE 01-PAL-16x16.bmp", TPictureOutcome::Replaced},
        {"CRATE 02-PAL-32x32.bmp", TPictureOutcome::Replaced},
        {"CRATE 03-PAL-16x16.bmp", TPictureOutcome::Replaced},
        {"GRASS 01-PAL-32x32.bmp", TPictureOutcome::Rejected}},
       true},
      {"a size text that is no number stops the run",
       false,
       {{"CRATE 01-PAL-16x16.bmp", Picture8(16, 16, 3)},
        {"CRATE 02-PAL-16X16.bmp", Picture8(16, 16, 3)},
        {"CRATE 03-PAL-16x16.bmp", Picture8(16, 16, 3)}},
       {{"CRATE 01-PAL-16x16.bmp", TPictureOutcome::Replaced},
        {"CRATE 02-PAL-16X16.bmp", TPictureOutcome::StopsRun},
        {"CRATE 03-PAL-16x16.bmp", TPictureOutcome::NeverReached}},
       false},
      {"a picture that is not a bitmap stops the run",
       false,
       {{"WATER 01-PAL-64x64.bmp", "not a picture"}, {"WATER 02-PAL-64x64.bmp", Picture8(64, 64, 1)}},
       {{"WATER 01-PAL-64x64.bmp", TPictureOutcome::StopsRun},
        {"WATER 02-PAL-64x64.bmp", TPictureOutcome::NeverReached}},
       false},
  };
}

class PackCheck : public skwtest::DemoGame {
 protected:
  // What the installer's console shows on standard error for these reports.
  static std::string ExpectedErrors(const skw::TPackCheck& Check) {
    std::string Errors;
    for (const skw::TPictureReport& Report : Check.Reports)
      if (Report.Outcome == TPictureOutcome::Rejected)
        Errors += "warning: " + Report.EntryName + ": Wrong color depth or texture size.\n";
    if (!Check.StopMessage.empty()) Errors += skwtest::ErrorLine(Check.StopMessage);
    return Errors;
  }

  // The index of a container file as a fresh scan reads it.
  static kst::TStringList Scan(const std::string& Bytes, bool Bin) {
    kst::TMemoryStream Stream;
    Stream.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    kst::TStringList Index;
    skw::TTextureEngine Engine;
    Engine.ContainerStream = &Stream;
    Engine.TextureList = &Index;
    Engine.BinContainer = Bin;
    Engine.ScanTextures("scan");
    return Index;
  }

  static const skw::TTextureEntry* Find(const std::vector<skw::TTextureEntry>& Textures, const std::string& Name) {
    for (const skw::TTextureEntry& Texture : Textures)
      if (Texture.Name == Name) return &Texture;
    return nullptr;
  }

  // The replaced textures have the sizes the check gave, and the container
  // changed by the data and palettes the check announced.
  void ExpectReplacedAsReported(const skw::TPackCheck& Check, const std::string& Before, const std::string& After,
                                bool Bin) {
    const kst::TStringList Index = Scan(After, Bin);
    std::vector<skw::TTextureEntry> Textures;
    for (int Group = 0; Group < skw::TextureCount(Index); ++Group) Textures.push_back(skw::TextureAt(Index, Group));
    int64_t Change = 0;
    for (const skw::TPictureReport& Report : Check.Reports) {
      if (Report.Outcome != TPictureOutcome::Replaced) continue;
      const skw::TTextureEntry* Texture = Find(Textures, Report.Reason);
      ASSERT_NE(Texture, nullptr) << Report.Reason;
      EXPECT_EQ(Texture->Width, Report.NewWidth) << Report.EntryName;
      EXPECT_EQ(Texture->Height, Report.NewHeight) << Report.EntryName;
      EXPECT_EQ(Texture->MipCount, Report.MipCount) << Report.EntryName;
      if (!Bin) {
        EXPECT_EQ(Texture->PaletteNumber, Report.PaletteNumber) << Report.EntryName;
      }
      Change += Report.DataSizeChange + (Report.PaletteAppended ? 1024 : 0);
    }
    EXPECT_EQ(static_cast<int64_t>(After.size()) - static_cast<int64_t>(Before.size()), Change);
  }
};

TEST_F(PackCheck, AgreesWithTheInstallerOnEveryOutcome) {
  for (const CheckCase& Case : Cases()) {
    SCOPED_TRACE(Case.Title);
    const std::string Extension = Case.Bin ? "bin" : "pal";
    const std::string Pack = Dir / ("check-" + Extension + ".zip");
    ASSERT_TRUE(skwtest::WriteAll(Pack, skwtest::StoredZip(Case.Pack)));
    const std::string Before = skwtest::ReadAll(Container(Extension));
    const std::string Original = Container(Extension) + ".original";
    std::filesystem::remove(Original);

    const skw::TPackCheck Check = skw::CheckPack(Pack, Container(Extension));
    EXPECT_EQ(skwtest::ReadAll(Container(Extension)), Before);
    EXPECT_FALSE(std::filesystem::exists(Original));
    ASSERT_EQ(Check.Reports.size(), Case.Outcomes.size());
    for (size_t I = 0; I < Case.Outcomes.size(); ++I) {
      EXPECT_EQ(Check.Reports[I].EntryName, Case.Outcomes[I].Entry);
      EXPECT_EQ(skw::OutcomeWords(Check.Reports[I].Outcome), std::string(skw::OutcomeWords(Case.Outcomes[I].Outcome)))
          << Check.Reports[I].EntryName << ": " << Check.Reports[I].Reason;
    }
    EXPECT_EQ(Check.WouldSave, Case.WouldSave);
    EXPECT_EQ(Check.StopMessage.empty(), Case.WouldSave);
    EXPECT_EQ(Check.PackBinContainer, Case.Bin);

    const skwtest::RunResult Install = RunInstaller({Pack, "0"});
    EXPECT_EQ(Install.Err, ExpectedErrors(Check));
    std::string Summary = skw::FormatImportSummary(Check.Reports);
    Summary += '\n';
    EXPECT_EQ(Install.Out.substr(Install.Out.size() - std::min(Summary.size(), Install.Out.size())), Summary);
    EXPECT_EQ(Install.Exit, Check.WouldSave ? 0 : 1);
    const std::string After = skwtest::ReadAll(Container(Extension));
    if (Check.WouldSave) {
      EXPECT_TRUE(After == skwtest::EngineExpectation(Before, Pack, Case.Bin));
      ExpectReplacedAsReported(Check, Before, After, Case.Bin);
      EXPECT_TRUE(skwtest::ReadAll(Original) == Before);
    } else {
      EXPECT_TRUE(After == Before);
      EXPECT_FALSE(std::filesystem::exists(Original));
    }
  }
}

TEST_F(PackCheck, ReasonsNameTheValues) {
  const std::string Pack = Dir / "reasons-bin.zip";
  ASSERT_TRUE(skwtest::WriteAll(Pack, skwtest::StoredZip(Cases()[0].Pack)));
  const skw::TPackCheck Check = skw::CheckPack(Pack, Container("bin"));
  const auto Reason = [&Check](const std::string& Entry) {
    for (const skw::TPictureReport& Report : Check.Reports)
      if (Report.EntryName == Entry) return Report;
    return skw::TPictureReport{};
  };
  EXPECT_EQ(Reason("CRATE 03-BIN-32x32.bmp").Reason, "the picture is 16x16 but its name says 32x32");
  EXPECT_NE(Reason("CRATE 04-BIN-16x16.bmp").Reason.find("8-bit"), std::string::npos);
  EXPECT_NE(
      Reason("HANGAR DOOR-BIN-64x64.bmp").Reason.find("is 1 for the picture (64x64) but 2 for the texture (64x32)"),
      std::string::npos);
  const skw::TPictureReport Rotor = Reason("ROTOR-BIN-128x128.bmp");
  EXPECT_EQ(Rotor.Reason, "ROTOR");
  EXPECT_EQ(std::vector<int>({Rotor.OldWidth, Rotor.OldHeight, Rotor.NewWidth, Rotor.NewHeight, Rotor.MipCount}),
            std::vector<int>({64, 64, 128, 128, 5}));
  EXPECT_EQ(Rotor.DataSizeChange, 3 * (21840 - 5456));
  const skw::TPictureReport Miss = Reason("rotor-BIN-64x64.bmp");
  ASSERT_FALSE(Miss.NearestNames.empty());
  EXPECT_EQ(Miss.NearestNames[0], "ROTOR");
}

TEST_F(PackCheck, PaletteChoiceIsReported) {
  const std::string Pack = Dir / "palettes-pal.zip";
  ASSERT_TRUE(skwtest::WriteAll(Pack, skwtest::StoredZip(Cases()[2].Pack)));
  const skw::TPackCheck Check = skw::CheckPack(Pack, Container("pal"));
  ASSERT_GE(Check.Reports.size(), 3u);
  const int32_t Count =
      static_cast<int32_t>(static_cast<uint8_t>(PalBefore[0]) | static_cast<uint8_t>(PalBefore[1]) << 8);
  EXPECT_EQ(Check.Reports[0].PaletteNumber, Count);
  EXPECT_TRUE(Check.Reports[0].PaletteAppended);
  EXPECT_EQ(Check.Reports[1].PaletteNumber, Count);
  EXPECT_FALSE(Check.Reports[1].PaletteAppended);
  EXPECT_EQ(Check.Reports[2].PaletteNumber, 0);
  EXPECT_FALSE(Check.Reports[2].PaletteAppended);
}

TEST_F(PackCheck, PackExecutableChecksLikeItsArchiveAndLeavesNoTemporaryFile) {
  const std::string Archive = Dir / "demo-pack-pal.zip";
  const std::string Pack = Dir / "pack-pal";
  ASSERT_EQ(skw::BuildPack(Bin("skinwright"), Archive, "pal", Pack), "");
  const skw::TPackCheck FromZip = skw::CheckPack(Archive, Container("pal"));
  const skw::TPackCheck FromPack = skw::CheckPack(Pack, Container("pal"));
  EXPECT_EQ(skw::FormatImportSummary(FromPack.Reports), skw::FormatImportSummary(FromZip.Reports));
  EXPECT_EQ(FromPack.Reports.size(), FromZip.Reports.size());
  EXPECT_EQ(FromPack.PackBinContainer, false);
  EXPECT_TRUE(TempFiles().empty());
  // Checked against the other container, the pack's own kind is still told.
  EXPECT_EQ(skw::CheckPack(Pack, Container("bin")).PackBinContainer, false);
}

TEST_F(PackCheck, UnreadableInputsAreErrors) {
  ASSERT_TRUE(skwtest::WriteAll(Dir / "broken.pal", std::string(64, 'x')));
  const struct {
    std::string Pack;
    std::string Container;
    std::string Message;
  } Cases[] = {
      {Dir / "missing-pal.zip", Container("pal"), "Cannot open the pack"},
      {Dir / "demo-pack-pal.zip", Dir / "missing.pal", "Cannot open the container"},
      {Dir / "demo-pack-pal.zip", Dir / "demo-pack-pal.zip", "is not a texture container"},
      {Dir / "demo-pack-pal.zip", Dir / "broken.pal", "Not a valid EECH textures file."},
  };
  for (const auto& Case : Cases) {
    try {
      skw::CheckPack(Case.Pack, Case.Container);
      ADD_FAILURE() << Case.Message;
    } catch (const std::runtime_error& Error) {
      EXPECT_NE(std::string(Error.what()).find(Case.Message), std::string::npos) << Error.what();
    }
  }
}

TEST(ContainerKind, FromTheFileNameAlone) {
  const struct {
    const char* Path;
    std::optional<bool> Bin;
  } Cases[] = {
      {"textures.bin", true},
      {"C:\\Games\\cohokum\\3ddata\\textures.PAL", false},
      {"textures.Bin.original", true},
      {"textures.pal.ORIGINAL", false},
      {"/games/textures.bin/other", std::nullopt},
      {"textures.original", std::nullopt},
      {"textures.bmp", std::nullopt},
      {"textures", std::nullopt},
  };
  for (const auto& Case : Cases) EXPECT_EQ(skw::ContainerKindFromName(Case.Path), Case.Bin) << Case.Path;
}

}  // namespace
