// Extraction never writes outside ExtractDir, whatever the stored names say,
// and a header that lies about sizes can neither make a run allocate without
// bound nor produce more bytes than it claims.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "tests/archive/unzip_builder.h"
#include "tests/archive/unzip_fixture.h"
#include "tests/platform/ScratchDir.h"

namespace {

using skwtest::RecordingUnZip;
using skwtest::ScratchDir;
using skwtest::ZipBuilder;

// Every file below Dir, as paths relative to it with "/" separators.
void ListTree(const std::string& Dir, const std::string& Prefix, std::vector<std::string>& Out) {
  platform::DirectorySearch Search;
  platform::FindData Item;
  for (int Rc = Search.First(Dir + ScratchDir::Separator() + "*", Item); Rc == 0; Rc = Search.Next(Item)) {
    if (Item.Name == "." || Item.Name == "..") continue;
    if (Item.Attributes & platform::kAttrDirectory)
      ListTree(Dir + ScratchDir::Separator() + Item.Name, Prefix + Item.Name + "/", Out);
    else
      Out.push_back(Prefix + Item.Name);
  }
}

TEST(UnZipSafety, TraversalNamesAreRefusedAndTheRestLandsInside) {
  ScratchDir Dir;
  RecordingUnZip UnZip;
  UnZip.Open("path_traversal.zip");
  UnZip.SetExtractDir(Dir / "a" + ScratchDir::Separator() + "b");
  UnZip.Extract();

  std::vector<std::string> Files;
  ListTree(Dir.Path(), "", Files);
  std::sort(Files.begin(), Files.end());
  EXPECT_EQ(Files,
            (std::vector<std::string>{"a/b/dir/back/slash.txt", "a/b/etc/x.txt", "a/b/safe/ok.txt", "a/b/x.txt"}));
  EXPECT_EQ(std::count(UnZip.Errors.begin(), UnZip.Errors.end(), kst::ErrInvalidFileName), 2);
  EXPECT_EQ(UnZip.FileCount, 4);
}

TEST(UnZipSafety, TraversalNamesStillReachMemoryTargets) {
  RecordingUnZip UnZip;
  UnZip.Open("path_traversal.zip");
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(UnZip.ExtractToMemoryStream(&Stream), 6);
  EXPECT_EQ(Stream.GetFileName(0), "..\\..\\evil.txt");
}

struct LyingArchive {
  ScratchDir Dir;
  std::string Path = Dir / "lying.zip";
  explicit LyingArchive(uint16_t Method, uint32_t ClaimedSize) {
    skwtest::BuildEntry Entry("lie.bin", std::string(5000, 'L'), Method);
    Entry.UncompressedSize = ClaimedSize;
    ZipBuilder().Add(Entry).Write(Path);
  }
  kst::TDecompMemoryStream Extract(RecordingUnZip& UnZip) {
    UnZip.SetArchiveFile(Path);
    UnZip.FileSpec = {"*.*"};
    kst::TDecompMemoryStream Stream;
    UnZip.ExtractToMemoryStream(&Stream);
    return Stream;
  }
};

TEST(UnZipSafety, ClaimedSizesNeitherAllocateNorExtend) {
  for (const uint16_t Method : {uint16_t(0), uint16_t(8)}) {
    // A huge claim: only the bytes really stored come out.
    LyingArchive Huge(Method, 0xFFFFFFF0u);
    RecordingUnZip UnZip;
    const kst::TDecompMemoryStream Big = Huge.Extract(UnZip);
    EXPECT_EQ(Big.Size(), 5000) << "method " << Method;
    EXPECT_EQ(Big.GetFileSize(0), 0xFFFFFFF0u);

    // A small claim caps the output.
    LyingArchive Small(Method, 100);
    RecordingUnZip Capped;
    const kst::TDecompMemoryStream Few = Small.Extract(Capped);
    EXPECT_EQ(Few.Size(), 100) << "method " << Method;
    EXPECT_FALSE(Capped.CrcOf["lie.bin"]);
  }
}

TEST(UnZipSafety, DriveAndRootNamesFromBuiltArchives) {
  ScratchDir Dir;
  const std::string Path = Dir / "names.zip";
  ZipBuilder()
      .Add({"C:\\win\\a.txt", "a"})
      .Add({"\\root.txt", "r"})
      .Add({"D:b.txt", "b"})
      .Add({"ok/../../up.txt", "u"})
      .Add({"..../up.txt", "w"})
      .Add({". ./up.txt", "s"})
      .Write(Path);
  RecordingUnZip UnZip;
  UnZip.SetArchiveFile(Path);
  UnZip.FileSpec = {"*.*"};
  UnZip.ConfirmOverwrites = false;
  UnZip.SetExtractDir(Dir / "out");
  EXPECT_EQ(UnZip.Extract(), 3);
  std::vector<std::string> Files;
  ListTree(Dir.Path(), "", Files);
  std::sort(Files.begin(), Files.end());
  EXPECT_EQ(Files, (std::vector<std::string>{"names.zip", "out/b.txt", "out/root.txt", "out/win/a.txt"}));
}

// Damaged copies of real archives (bytes changed, the file cut short) go through
// whole runs: each run ends, and nothing comes out beyond the sizes the
// directory claims.
TEST(UnZipSafety, DamagedArchivesEndEveryRunInBounds) {
  ScratchDir Dir;
  const std::string Path = Dir / "damaged.zip";
  uint64_t Seed = 12345;
  const auto Next = [&Seed] {
    Seed = Seed * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(Seed >> 33);
  };
  for (const std::string Archive : {"izip_deflate6.zip", "izip_encrypted.zip", "legacy_implode_4k_3trees.zip",
                                    "legacy_shrink_text.zip", "legacy_reduce4.zip", "izip_folders.zip"}) {
    const std::vector<uint8_t> Original = skwtest::ReadFileBytes(skwtest::DataPath("zip/" + Archive));
    ASSERT_FALSE(Original.empty()) << Archive;
    for (int Round = 0; Round < 60; ++Round) {
      std::vector<uint8_t> Bytes = Original;
      if (Round % 4 == 3) {
        Bytes.resize(Next() % Bytes.size());
      } else {
        for (int Hits = 1 + int(Next() % 8); Hits > 0; --Hits)
          Bytes[Next() % Bytes.size()] ^= uint8_t(1 + Next() % 255);
      }
      ASSERT_TRUE(skwtest::WriteFileBytes(Path, Bytes));
      RecordingUnZip UnZip;
      UnZip.SetArchiveFile(Path);
      UnZip.FileSpec = {"*.*"};
      UnZip.Passwords = {"Secret1"};
      kst::TDecompMemoryStream Stream;
      try {
        UnZip.ExtractToMemoryStream(&Stream);
      } catch (const kst::E_RAISE&) {
        continue;  // not taken for an archive any more
      }
      uint64_t Claimed = 0;
      for (int32_t I = 0; I < Stream.Count(); ++I) Claimed += Stream.GetFileSize(I);
      EXPECT_LE(uint64_t(Stream.Size()), Claimed) << Archive << " round " << Round;
      EXPECT_EQ(UnZip.Log.back(), "deactivate");
    }
  }
}

}  // namespace
