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
  skw::TBitmap picture;
  picture.SetPixelFormat(skw::TPixelFormat::pf8bit);
  skw::TColorTable table{};
  for (int i = 0; i < 256; ++i) {
    const auto level = static_cast<uint8_t>(Seed == 0 ? i : (i * Seed + 11) & 0xFF);
    table[static_cast<size_t>(i)] = skw::TRGBQuad{level, static_cast<uint8_t>(Seed == 0 ? i : 255 - i), level, 0};
  }
  picture.SetColorTable(table);
  picture.SetSize(Width, Height);
  for (int32_t y = 0; y < Height; ++y) {
    std::span<uint8_t> row = picture.ScanLine(y);
    for (int32_t x = 0; x < Width; ++x) row[static_cast<size_t>(x)] = static_cast<uint8_t>(x * 3 + y);
  }
  const std::vector<uint8_t> bytes = picture.SaveToBuffer();
  return std::string(bytes.begin(), bytes.end());
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
    std::string errors;
    for (const skw::TPictureReport& report : Check.Reports)
      if (report.Outcome == TPictureOutcome::Rejected)
        errors += "warning: " + report.EntryName + ": Wrong color depth or texture size.\n";
    if (!Check.StopMessage.empty()) errors += skwtest::ErrorLine(Check.StopMessage);
    return errors;
  }

  // The index of a container file as a fresh scan reads it.
  static kst::TStringList Scan(const std::string& Bytes, bool Bin) {
    kst::TMemoryStream stream;
    stream.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    kst::TStringList index;
    skw::TTextureEngine engine;
    engine.ContainerStream = &stream;
    engine.TextureList = &index;
    engine.BinContainer = Bin;
    engine.ScanTextures("scan");
    return index;
  }

  static const skw::TTextureEntry* Find(const std::vector<skw::TTextureEntry>& Textures, const std::string& Name) {
    for (const skw::TTextureEntry& texture : Textures)
      if (texture.Name == Name) return &texture;
    return nullptr;
  }

  // The replaced textures have the sizes the check gave, and the container
  // changed by the data and palettes the check announced.
  void ExpectReplacedAsReported(const skw::TPackCheck& Check, const std::string& Before, const std::string& After,
                                bool Bin) {
    const kst::TStringList index = Scan(After, Bin);
    std::vector<skw::TTextureEntry> textures;
    for (int group = 0; group < skw::TextureCount(index); ++group) textures.push_back(skw::TextureAt(index, group));
    int64_t change = 0;
    for (const skw::TPictureReport& report : Check.Reports) {
      if (report.Outcome != TPictureOutcome::Replaced) continue;
      const skw::TTextureEntry* texture = Find(textures, report.Reason);
      ASSERT_NE(texture, nullptr) << report.Reason;
      EXPECT_EQ(texture->Width, report.NewWidth) << report.EntryName;
      EXPECT_EQ(texture->Height, report.NewHeight) << report.EntryName;
      EXPECT_EQ(texture->MipCount, report.MipCount) << report.EntryName;
      if (!Bin) {
        EXPECT_EQ(texture->PaletteNumber, report.PaletteNumber) << report.EntryName;
      }
      change += report.DataSizeChange + (report.PaletteAppended ? 1024 : 0);
    }
    EXPECT_EQ(static_cast<int64_t>(After.size()) - static_cast<int64_t>(Before.size()), change);
  }
};

TEST_F(PackCheck, AgreesWithTheInstallerOnEveryOutcome) {
  for (const CheckCase& test : Cases()) {
    SCOPED_TRACE(test.Title);
    const std::string extension = test.Bin ? "bin" : "pal";
    const std::string pack = Dir / ("check-" + extension + ".zip");
    ASSERT_TRUE(skwtest::WriteAll(pack, skwtest::StoredZip(test.Pack)));
    const std::string before = skwtest::ReadAll(Container(extension));
    const std::string original = Container(extension) + ".original";
    std::filesystem::remove(original);

    const skw::TPackCheck check = skw::CheckPack(pack, Container(extension));
    EXPECT_EQ(skwtest::ReadAll(Container(extension)), before);
    EXPECT_FALSE(std::filesystem::exists(original));
    ASSERT_EQ(check.Reports.size(), test.Outcomes.size());
    for (size_t i = 0; i < test.Outcomes.size(); ++i) {
      EXPECT_EQ(check.Reports[i].EntryName, test.Outcomes[i].Entry);
      EXPECT_EQ(skw::OutcomeWords(check.Reports[i].Outcome), std::string(skw::OutcomeWords(test.Outcomes[i].Outcome)))
          << check.Reports[i].EntryName << ": " << check.Reports[i].Reason;
    }
    EXPECT_EQ(check.WouldSave, test.WouldSave);
    EXPECT_EQ(check.StopMessage.empty(), test.WouldSave);
    EXPECT_EQ(check.PackBinContainer, test.Bin);

    const skwtest::RunResult install = RunInstaller({pack, "0"});
    EXPECT_EQ(install.Err, ExpectedErrors(check));
    std::string summary = skw::FormatImportSummary(check.Reports);
    summary += '\n';
    EXPECT_EQ(install.Out.substr(install.Out.size() - std::min(summary.size(), install.Out.size())), summary);
    EXPECT_EQ(install.Exit, check.WouldSave ? 0 : 1);
    const std::string after = skwtest::ReadAll(Container(extension));
    if (check.WouldSave) {
      EXPECT_TRUE(after == skwtest::EngineExpectation(before, pack, test.Bin));
      ExpectReplacedAsReported(check, before, after, test.Bin);
      EXPECT_TRUE(skwtest::ReadAll(original) == before);
    } else {
      EXPECT_TRUE(after == before);
      EXPECT_FALSE(std::filesystem::exists(original));
    }
  }
}

TEST_F(PackCheck, ReasonsNameTheValues) {
  const std::string pack = Dir / "reasons-bin.zip";
  ASSERT_TRUE(skwtest::WriteAll(pack, skwtest::StoredZip(Cases()[0].Pack)));
  const skw::TPackCheck check = skw::CheckPack(pack, Container("bin"));
  const auto reason = [&check](const std::string& Entry) {
    for (const skw::TPictureReport& report : check.Reports)
      if (report.EntryName == Entry) return report;
    return skw::TPictureReport{};
  };
  EXPECT_EQ(reason("CRATE 03-BIN-32x32.bmp").Reason, "the picture is 16x16 but its name says 32x32");
  EXPECT_NE(reason("CRATE 04-BIN-16x16.bmp").Reason.find("8-bit"), std::string::npos);
  EXPECT_NE(
      reason("HANGAR DOOR-BIN-64x64.bmp").Reason.find("is 1 for the picture (64x64) but 2 for the texture (64x32)"),
      std::string::npos);
  const skw::TPictureReport rotor = reason("ROTOR-BIN-128x128.bmp");
  EXPECT_EQ(rotor.Reason, "ROTOR");
  EXPECT_EQ(std::vector<int>({rotor.OldWidth, rotor.OldHeight, rotor.NewWidth, rotor.NewHeight, rotor.MipCount}),
            std::vector<int>({64, 64, 128, 128, 5}));
  EXPECT_EQ(rotor.DataSizeChange, 3 * (21840 - 5456));
  const skw::TPictureReport miss = reason("rotor-BIN-64x64.bmp");
  ASSERT_FALSE(miss.NearestNames.empty());
  EXPECT_EQ(miss.NearestNames[0], "ROTOR");
}

TEST_F(PackCheck, PaletteChoiceIsReported) {
  const std::string pack = Dir / "palettes-pal.zip";
  ASSERT_TRUE(skwtest::WriteAll(pack, skwtest::StoredZip(Cases()[2].Pack)));
  const skw::TPackCheck check = skw::CheckPack(pack, Container("pal"));
  ASSERT_GE(check.Reports.size(), 3u);
  const int32_t count =
      static_cast<int32_t>(static_cast<uint8_t>(PalBefore[0]) | static_cast<uint8_t>(PalBefore[1]) << 8);
  EXPECT_EQ(check.Reports[0].PaletteNumber, count);
  EXPECT_TRUE(check.Reports[0].PaletteAppended);
  EXPECT_EQ(check.Reports[1].PaletteNumber, count);
  EXPECT_FALSE(check.Reports[1].PaletteAppended);
  EXPECT_EQ(check.Reports[2].PaletteNumber, 0);
  EXPECT_FALSE(check.Reports[2].PaletteAppended);
}

TEST_F(PackCheck, PackExecutableChecksLikeItsArchiveAndLeavesNoTemporaryFile) {
  const std::string archive = Dir / "demo-pack-pal.zip";
  const std::string pack = Dir / "pack-pal";
  ASSERT_EQ(skw::BuildPack(Bin("skinwright"), archive, "pal", pack), "");
  const skw::TPackCheck fromZip = skw::CheckPack(archive, Container("pal"));
  const skw::TPackCheck fromPack = skw::CheckPack(pack, Container("pal"));
  EXPECT_EQ(skw::FormatImportSummary(fromPack.Reports), skw::FormatImportSummary(fromZip.Reports));
  EXPECT_EQ(fromPack.Reports.size(), fromZip.Reports.size());
  EXPECT_EQ(fromPack.PackBinContainer, false);
  EXPECT_TRUE(TempFiles().empty());
  // Checked against the other container, the pack's own kind is still told.
  EXPECT_EQ(skw::CheckPack(pack, Container("bin")).PackBinContainer, false);
}

TEST_F(PackCheck, UnreadableInputsAreErrors) {
  ASSERT_TRUE(skwtest::WriteAll(Dir / "broken.pal", std::string(64, 'x')));
  const struct {
    std::string Pack;
    std::string Container;
    std::string Message;
  } cases[] = {
      {Dir / "missing-pal.zip", Container("pal"), "Cannot open the pack"},
      {Dir / "demo-pack-pal.zip", Dir / "missing.pal", "Cannot open the container"},
      {Dir / "demo-pack-pal.zip", Dir / "demo-pack-pal.zip", "is not a texture container"},
      {Dir / "demo-pack-pal.zip", Dir / "broken.pal", "Not a valid EECH textures file."},
  };
  for (const auto& test : cases) {
    try {
      skw::CheckPack(test.Pack, test.Container);
      ADD_FAILURE() << test.Message;
    } catch (const std::runtime_error& Error) {
      EXPECT_NE(std::string(Error.what()).find(test.Message), std::string::npos) << Error.what();
    }
  }
}

TEST(ContainerKind, FromTheFileNameAlone) {
  const struct {
    const char* Path;
    std::optional<bool> Bin;
  } cases[] = {
      {"textures.bin", true},
      {"C:\\Games\\cohokum\\3ddata\\textures.PAL", false},
      {"textures.Bin.original", true},
      {"textures.pal.ORIGINAL", false},
      {"/games/textures.bin/other", std::nullopt},
      {"textures.original", std::nullopt},
      {"textures.bmp", std::nullopt},
      {"textures", std::nullopt},
  };
  for (const auto& test : cases) EXPECT_EQ(skw::ContainerKindFromName(test.Path), test.Bin) << test.Path;
}

}  // namespace
