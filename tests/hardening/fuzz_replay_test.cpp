// Replays every input kept under fuzz/regressions/<target>/ (what the fuzz
// targets once found) and every seed of fuzz/corpus/<target>/ through the same
// code the fuzz targets run, so the unit suite (and its sanitizer build) keeps
// the findings fixed without a fuzzing engine. A broken decoder promise aborts
// and an unexpected exception fails the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define SKW_FUZZ_REPLAY
#include "fuzz/archive_extract_fuzz.cpp"
#include "fuzz/archive_list_fuzz.cpp"
#include "fuzz/bitmap_fuzz.cpp"
#include "fuzz/container_fuzz.cpp"
#include "fuzz/inflate_fuzz.cpp"
#include "fuzz/legacy_fuzz.cpp"

namespace {

namespace fs = std::filesystem;

const fs::path kFuzzDir = fs::path(SKW_TEST_DATA) / ".." / ".." / "fuzz";

std::vector<uint8_t> ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// Runs Target on every file of fuzz/regressions/<Name> and fuzz/corpus/<Name>;
// answers how many inputs it replayed.
template <typename TTarget>
int ReplayAll(const std::string& Name, TTarget Target) {
  int Count = 0;
  for (const char* Folder : {"regressions", "corpus"}) {
    const fs::path Dir = kFuzzDir / Folder / Name;
    if (!fs::is_directory(Dir)) continue;
    for (const fs::directory_entry& Entry : fs::directory_iterator(Dir)) {
      if (!Entry.is_regular_file()) continue;
      const std::vector<uint8_t> Bytes = ReadAll(Entry.path());
      SCOPED_TRACE(Entry.path().string());
      EXPECT_NO_THROW(Target(Bytes.data(), Bytes.size()));
      ++Count;
    }
  }
  return Count;
}

TEST(FuzzReplay, DecodersOnTheirSeedsAndFindings) {
  EXPECT_GT(ReplayAll("inflate", skwtest::RunInflate), 10);
  EXPECT_GT(ReplayAll("legacy", skwtest::RunLegacy), 10);
}

TEST(FuzzReplay, ArchivesListedAndExtracted) {
  EXPECT_GT(ReplayAll("archive_list", skwtest::RunArchiveList), 10);
  EXPECT_GT(ReplayAll("archive_extract", skwtest::RunArchiveExtract), 10);
}

TEST(FuzzReplay, PicturesAndContainers) {
  EXPECT_GT(ReplayAll("bitmap", skwtest::RunBitmap), 5);
  EXPECT_GT(ReplayAll("container", skwtest::RunContainer), 3);
}

}  // namespace
