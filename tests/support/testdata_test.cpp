// Checks the test oracle itself: the independent ZIP reader of tests/support
// agrees with the manifest on every archive whose directory is intact, so
// decoder tests built on it compare against the right bytes.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/support/Manifest.h"
#include "tests/support/RawZip.h"
#include "tests/support/Sha256.h"
#include "tests/support/TestData.h"

namespace skwtest {
namespace {

TEST(TestData, ManifestHasEveryArchive) {
  std::set<std::string> archives;
  for (const auto& r : Manifest()) archives.insert(r.Archive);
  EXPECT_EQ(Manifest().size(), 223u);
  EXPECT_EQ(archives.size(), 75u);
}

TEST(TestData, RawReaderAgreesWithManifest) {
  int checked = 0;
  for (const auto& archive :
       {"izip_store.zip", "izip_deflate6.zip", "legacy_reduce4.zip", "7z_deflate_mx9.zip", "bsdtar_deflate.zip"}) {
    const auto rows = ManifestRowsOf(archive);
    const auto entries = ReadRawZip(DataPath(std::string("zip/") + archive));
    ASSERT_EQ(entries.size(), rows.size()) << archive;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(entries[i].Name, rows[i].Entry);
      EXPECT_EQ(entries[i].Method, rows[i].Method);
      EXPECT_EQ(entries[i].Crc32, rows[i].Crc32);
      EXPECT_EQ(entries[i].Data.size(), rows[i].CompressedSize);
      if (rows[i].Method == 0 && rows[i].Password.empty()) {
        EXPECT_EQ(Sha256Hex(entries[i].Data), rows[i].Sha256) << rows[i].Entry;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);
}

TEST(TestData, Sha256KnownValues) {
  EXPECT_EQ(Sha256Hex("", 0), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc", 3), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string longer(1000, 'a');
  EXPECT_EQ(Sha256Hex(longer.data(), longer.size()),
            "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

}  // namespace
}  // namespace skwtest
