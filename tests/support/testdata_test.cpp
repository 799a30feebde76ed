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
  std::set<std::string> Archives;
  for (const auto& R : Manifest()) Archives.insert(R.Archive);
  EXPECT_EQ(Manifest().size(), 223u);
  EXPECT_EQ(Archives.size(), 75u);
}

TEST(TestData, RawReaderAgreesWithManifest) {
  int Checked = 0;
  for (const auto& Archive :
       {"izip_store.zip", "izip_deflate6.zip", "legacy_reduce4.zip", "7z_deflate_mx9.zip", "bsdtar_deflate.zip"}) {
    const auto Rows = ManifestRowsOf(Archive);
    const auto Entries = ReadRawZip(DataPath(std::string("zip/") + Archive));
    ASSERT_EQ(Entries.size(), Rows.size()) << Archive;
    for (size_t I = 0; I < Rows.size(); ++I) {
      EXPECT_EQ(Entries[I].Name, Rows[I].Entry);
      EXPECT_EQ(Entries[I].Method, Rows[I].Method);
      EXPECT_EQ(Entries[I].Crc32, Rows[I].Crc32);
      EXPECT_EQ(Entries[I].Data.size(), Rows[I].CompressedSize);
      if (Rows[I].Method == 0 && Rows[I].Password.empty()) {
        EXPECT_EQ(Sha256Hex(Entries[I].Data), Rows[I].Sha256) << Rows[I].Entry;
      }
      ++Checked;
    }
  }
  EXPECT_GT(Checked, 10);
}

TEST(TestData, Sha256KnownValues) {
  EXPECT_EQ(Sha256Hex("", 0), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc", 3), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string Longer(1000, 'a');
  EXPECT_EQ(Sha256Hex(Longer.data(), Longer.size()),
            "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

}  // namespace
}  // namespace skwtest
