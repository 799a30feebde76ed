// The BMP import reading its pictures from a real ZIP archive through the
// lister and the extractor. The archive is written here byte by byte (stored
// entries, with a name that only differs in the case of its extension and
// entries that are not pictures), so the adapter is checked on what the
// components really list and extract: "*.bmp" matched without case in
// directory order, an entry's exact bytes, nothing for an absent entry, and a
// whole import giving the same container as the same pictures from memory.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/Kstkestrel.h"
#include "archive/Kstunzip.h"
#include "tests/support/ContainerBuilder.h"
#include "tests/support/ContainerBuilder2.h"
#include "tests/support/MemoryPictureSource.h"
#include "tests/support/TestData.h"
#include "textures/ArchivePictureSource.h"
#include "textures/TextureEngine.h"

namespace {

uint32_t Crc32(const std::vector<uint8_t>& Bytes) {
  uint32_t Crc = 0xFFFFFFFFu;
  for (const uint8_t Byte : Bytes) {
    Crc ^= Byte;
    for (int Bit = 0; Bit < 8; ++Bit) Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1u)));
  }
  return ~Crc;
}

void Put(std::vector<uint8_t>& Out, uint32_t Value, int Bytes) {
  for (int I = 0; I < Bytes; ++I) Out.push_back(static_cast<uint8_t>(Value >> (8 * I)));
}

// A ZIP archive of stored entries, in the given order.
std::vector<uint8_t> StoredZip(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& Entries) {
  std::vector<uint8_t> Out, Central;
  for (const auto& [Name, Data] : Entries) {
    const uint32_t Offset = static_cast<uint32_t>(Out.size());
    const uint32_t Crc = Crc32(Data);
    const auto Size = static_cast<uint32_t>(Data.size());
    Put(Out, 0x04034b50, 4);
    for (const uint32_t Field : {20u, 0u, 0u, 0u, 0x5A21u}) Put(Out, Field, 2);
    for (const uint32_t Field : {Crc, Size, Size}) Put(Out, Field, 4);
    Put(Out, static_cast<uint32_t>(Name.size()), 2);
    Put(Out, 0, 2);
    Out.insert(Out.end(), Name.begin(), Name.end());
    Out.insert(Out.end(), Data.begin(), Data.end());

    Put(Central, 0x02014b50, 4);
    for (const uint32_t Field : {20u, 20u, 0u, 0u, 0u, 0x5A21u}) Put(Central, Field, 2);
    for (const uint32_t Field : {Crc, Size, Size}) Put(Central, Field, 4);
    for (const uint32_t Field : {static_cast<uint32_t>(Name.size()), 0u, 0u, 0u, 0u}) Put(Central, Field, 2);
    Put(Central, 0, 4);
    Put(Central, Offset, 4);
    Central.insert(Central.end(), Name.begin(), Name.end());
  }
  const auto CentralAt = static_cast<uint32_t>(Out.size());
  Out.insert(Out.end(), Central.begin(), Central.end());
  Put(Out, 0x06054b50, 4);
  for (const uint32_t Field : {0u, 0u, static_cast<uint32_t>(Entries.size()), static_cast<uint32_t>(Entries.size())})
    Put(Out, Field, 2);
  Put(Out, static_cast<uint32_t>(Central.size()), 4);
  Put(Out, CentralAt, 4);
  Put(Out, 0, 2);
  return Out;
}

class ImportArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto Colour = [](uint32_t Value) { return [Value](int32_t X, int32_t Y) { return Value + uint32_t(X * 3 + Y); }; };
    FEntries = {{"B-BIN-8x8.bmp", skwtest::TrueColourPicture(8, 8, Colour(0x102030))},
                {"notes.txt", {'h', 'i'}},
                {"A-BIN-16x16.bmp", skwtest::TrueColourPicture(16, 16, Colour(0x405060))},
                {"C-BIN-8x8.BMP", skwtest::TrueColourPicture(8, 8, Colour(0x708090))},
                {"logo.bmp", skwtest::TrueColourPicture(4, 4, Colour(0))}};
    const auto Name = std::string("skw-import-archive-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".zip";
    FPath = (std::filesystem::temp_directory_path() / Name).string();
    ASSERT_TRUE(skwtest::WriteFileBytes(FPath, StoredZip(FEntries)));
    FExtractor.SetArchiveFile(FPath);
  }
  void TearDown() override { std::filesystem::remove(FPath); }

  std::vector<std::pair<std::string, std::vector<uint8_t>>> FEntries;
  std::string FPath;
  kst::TKestrel FLister;
  kst::TUnZip FExtractor;
};

TEST_F(ImportArchive, ListsAndExtractsThroughTheComponents) {
  skw::TArchivePictureSource Source(FLister, FExtractor, FPath);
  EXPECT_EQ(Source.ListBitmaps(), (kst::TStringList{"B-BIN-8x8.bmp", "A-BIN-16x16.bmp", "C-BIN-8x8.BMP", "logo.bmp"}));
  EXPECT_EQ(FLister.FileSpec, (kst::TStringList{"*.bmp"}));
  EXPECT_EQ(Source.Extract("A-BIN-16x16.bmp"), FEntries[2].second);
  EXPECT_EQ(FExtractor.FileSpec, (kst::TStringList{"A-BIN-16x16.bmp"}));
  EXPECT_EQ(Source.Extract("B-BIN-8x8.bmp"), FEntries[0].second);
  EXPECT_TRUE(Source.Extract("D-BIN-8x8.bmp").empty());
}

TEST_F(ImportArchive, ImportFromTheArchiveEqualsImportFromMemory) {
  skwtest::TContainerSpec Spec;
  Spec.Textures = {skwtest::Texture("5 ROUND ROCKET POD", 8, 8, 1), skwtest::Texture("A", 8, 8, 1),
                   skwtest::Texture("B", 8, 8, 1), skwtest::Texture("C", 8, 8, 1), skwtest::WoodPlank()};
  const std::vector<uint8_t> Bytes = skwtest::BuildContainer(Spec).Bytes;
  skwtest::MemoryPictureSource Memory;
  for (const auto& [Name, Data] : FEntries) Memory.Add(Name, Data);
  skw::TArchivePictureSource Archive(FLister, FExtractor, FPath);

  std::vector<std::vector<uint8_t>> Results;
  for (skw::TPictureSource* Source : {static_cast<skw::TPictureSource*>(&Memory), static_cast<skw::TPictureSource*>(&Archive)}) {
    kst::TMemoryStream Stream = skwtest::StreamOf(Bytes);
    kst::TStringList Index;
    skw::TTextureEngine Engine;
    Engine.ContainerStream = &Stream;
    Engine.TextureList = &Index;
    Engine.Pictures = Source;
    Engine.ScanTextures("textures.bin");
    Engine.ImportBitmaps();
    Results.emplace_back(Stream.Memory(), Stream.Memory() + Stream.Size());
  }
  EXPECT_EQ(Results[0], Results[1]);
  EXPECT_NE(Results[0], Bytes);
}

}  // namespace
