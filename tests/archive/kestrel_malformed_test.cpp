// Damaged archives never make identification or the lister read outside the
// file, loop or crash: every truncation of real archives, seeded random damage,
// and headers whose lengths, sizes and offsets lie. Each walk must end, report
// at most one entry per 30 bytes of file, and only names that lie in the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "archive/list/Kstkestrel.h"
#include "tests/kit/ZipWriter.h"
#include "tests/platform/ScratchDir.h"
#include "tests/support/TestData.h"

namespace {

using namespace kst;

class MalformedTest : public ::testing::Test {
 protected:
  // Identifies and walks Bytes with "*.*" and directory entries; the number of
  // entries reported (-1 when the walk did not run).
  int Walk(const std::vector<uint8_t>& Bytes) {
    const std::string Path = Dir / "damaged.zip";
    EXPECT_TRUE(skwtest::WriteFileBytes(Path, Bytes));
    TKestrel Lister;
    Lister.SetArchiveFile(Path);
    Lister.FileSpec = {"*.*"};
    Lister.ShowEmptyDirs = true;
    int Entries = 0;
    Lister.OnRead = [&](TKestrel* L, int32_t, int32_t) {
      ++Entries;
      EXPECT_LE(L->FileName.size(), Bytes.size());
    };
    if (!Lister.Activate()) return -1;
    EXPECT_LE(size_t(Entries) * 30, Bytes.size() + 30);
    std::vector<char> Comment(size_t(Lister.ZipCmntBufSize()));
    EXPECT_LE(size_t(Lister.GetArchiveComment(Comment.data())), Bytes.size());
    return Entries;
  }

  skwtest::ScratchDir Dir;
};

TEST_F(MalformedTest, EveryTruncation) {
  for (const char* Name : {"izip_comments.zip", "py_name300.zip", "izip_folders_nodirs.zip"}) {
    SCOPED_TRACE(Name);
    const std::vector<uint8_t> Whole = skwtest::ReadFileBytes(skwtest::DataPath(std::string("zip/") + Name));
    ASSERT_FALSE(Whole.empty());
    const size_t Step = std::max<size_t>(1, Whole.size() / 700);
    for (size_t Length = 0; Length < Whole.size(); Length += Step) {
      Walk(std::vector<uint8_t>(Whole.begin(), Whole.begin() + long(Length)));
    }
  }
}

TEST_F(MalformedTest, RandomDamage) {
  std::mt19937 Random(20261208);
  for (const char* Name : {"izip_comments.zip", "py_cp437_names.zip", "sfx_stub128.exe", "jar_default.jar"}) {
    SCOPED_TRACE(Name);
    const std::vector<uint8_t> Whole = skwtest::ReadFileBytes(skwtest::DataPath(std::string("zip/") + Name));
    ASSERT_FALSE(Whole.empty());
    for (int Round = 0; Round < 150; ++Round) {
      std::vector<uint8_t> Bytes = Whole;
      const int Hits = 1 + int(Random() % 8);
      for (int H = 0; H < Hits; ++H) Bytes[Random() % Bytes.size()] = uint8_t(Random());
      Walk(Bytes);
    }
  }
}

TEST_F(MalformedTest, LyingLengthsSizesAndOffsets) {
  const std::vector<uint8_t> Good =
      skwtest::WriteZip({skwtest::MakeEntry("a.txt", "alpha"), skwtest::MakeEntry("b.txt", "beta")});
  const size_t Central = Good.size() - 22 - 2 * (46 + 5);
  struct Patch {
    size_t At;
    std::vector<uint8_t> Bytes;
  };
  const Patch Patches[] = {
      {Central + 28, {0xFF, 0xFF}},                       // name length past the end
      {Central + 30, {0xFF, 0xFF}},                       // extra length past the end
      {Central + 32, {0xFF, 0xFF}},                       // comment length past the end
      {Central + 42, {0xFF, 0xFF, 0xFF, 0x7F}},           // local header offset nowhere
      {Good.size() - 22 + 16, {0xFF, 0xFF, 0xFF, 0xFF}},  // directory offset nowhere
      {Good.size() - 22 + 16, {0x00, 0x00, 0x00, 0x00}},  // directory offset at a local header
      {18, {0xFF, 0xFF, 0xFF, 0xFF}},                     // local compressed size past the end
  };
  for (const Patch& P : Patches) {
    SCOPED_TRACE(P.At);
    std::vector<uint8_t> Bytes = Good;
    std::copy(P.Bytes.begin(), P.Bytes.end(), Bytes.begin() + long(P.At));
    Walk(Bytes);
  }
  EXPECT_EQ(Walk(Good), 2);
}

TEST_F(MalformedTest, LocalWalkOverLyingSizes) {
  skwtest::ZipWriterOptions Options;
  Options.CentralDirectory = false;
  Options.EndRecord = false;
  std::vector<uint8_t> Bytes =
      skwtest::WriteZip({skwtest::MakeEntry("a.txt", "alpha"), skwtest::MakeEntry("b.txt", "beta")}, Options);
  Bytes[26] = 0xFF;  // first name length far past the end
  Bytes[27] = 0xFF;
  EXPECT_EQ(Walk(Bytes), 0) << "a name that is not in the file is no name";
}

}  // namespace
