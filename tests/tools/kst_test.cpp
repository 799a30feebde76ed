// End-to-end test of the kst program: it is started as a separate process on
// archives of the corpus, and its standard output, standard error and exit code
// are compared with what the library and the manifest say (tab-separated lines,
// the info block, the column listing with its totals, the usage answers).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/Manifest.h"
#include "tests/tools/KstProgram.h"

namespace {

using skwtest::KstProgram;
using skwtest::Result;
using skwtest::Split;

TEST_F(KstProgram, TsvListingAgreesWithTheManifest) {
  const Result R = Run("list --tsv " + Archive("izip_store.zip"));
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Err, "");
  const std::vector<skwtest::ManifestRow> Rows = skwtest::ManifestRowsOf("izip_store.zip");
  ASSERT_EQ(R.Out.size(), Rows.size());
  for (size_t I = 0; I < Rows.size(); ++I) {
    const std::vector<std::string> F = Split(R.Out[I], '\t');
    ASSERT_EQ(F.size(), 10u) << R.Out[I];
    EXPECT_EQ(F[0], skwtest::Native(Rows[I].Entry)) << "the platform's separator";
    EXPECT_EQ(F[1], std::to_string(Rows[I].Method));
    EXPECT_EQ(F[2], Rows[I].Method == 0 ? "Stored" : "DeflateN");
    EXPECT_EQ(F[3], std::to_string(Rows[I].CompressedSize));
    EXPECT_EQ(F[4], std::to_string(Rows[I].UncompressedSize));
    char Crc[9];
    std::snprintf(Crc, sizeof Crc, "%08x", unsigned(Rows[I].Crc32));
    EXPECT_EQ(F[5], Crc);
    EXPECT_EQ(F[6], "2001-02-03 04:05:06");
    EXPECT_EQ(F[7].size(), 4u);
    EXPECT_EQ(F[8], "0");
  }
  EXPECT_EQ(Split(R.Out[0], '\t')[9], "0") << "first local header at the start";
}

TEST_F(KstProgram, TsvOptionsAndPatterns) {
  EXPECT_EQ(Run("list --tsv " + Archive("izip_folders.zip")).Out.size(), 5u);
  EXPECT_EQ(Run("list --dirs --tsv " + Archive("izip_folders.zip")).Out.size(), 9u);
  const Result Bmp = Run("list --tsv " + Archive("izip_folders.zip") + " *.bmp");
  ASSERT_EQ(Bmp.Out.size(), 2u);
  EXPECT_EQ(Split(Bmp.Out[0], '\t')[0], skwtest::Native("img/logo.bmp"));
  const Result Encrypted = Run("list --tsv " + Archive("izip_encrypted.zip") + " hello.txt");
  ASSERT_EQ(Encrypted.Out.size(), 1u);
  EXPECT_EQ(Split(Encrypted.Out[0], '\t')[8], "1");
}

TEST_F(KstProgram, ColumnListingWithTotals) {
  const Result R = Run("list " + Archive("izip_folders.zip") + " *.bmp");
  EXPECT_EQ(R.Code, 0);
  ASSERT_EQ(R.Out.size(), 6u);
  EXPECT_NE(R.Out[0].find("Name"), std::string::npos);
  EXPECT_NE(R.Out[2].find(skwtest::Native("img/logo.bmp")), std::string::npos);
  EXPECT_NE(R.Out[3].find("f31a24ed"), std::string::npos);
  EXPECT_NE(R.Out[5].find("2 files"), std::string::npos);
  EXPECT_NE(R.Out[5].find("42092"), std::string::npos) << "unpacked total";
}

TEST_F(KstProgram, InfoBlock) {
  Result R = Run("info " + Archive("sfx_at7612.exe"));
  EXPECT_EQ(R.Code, 0);
  ASSERT_EQ(R.Out.size(), 6u);
  EXPECT_EQ(R.Out[1], "DataOffset: 7612");
  EXPECT_EQ(R.Out[2], "HeadFlag:   0x10");
  EXPECT_EQ(R.Out[3], "Type:       ZIP SFX   ");
  EXPECT_EQ(R.Out[4], "Entries:    3");
  EXPECT_EQ(R.Out[5], "Comment:    (none)");

  R = Run("info " + Archive("izip_comments.zip"));
  EXPECT_EQ(R.Code, 0);
  ASSERT_GE(R.Out.size(), 7u);
  EXPECT_EQ(R.Out[2], "HeadFlag:   0x19");
  EXPECT_EQ(R.Out[5], "Comment:    67 bytes");

  R = Run("info " + Archive("appended_after_5000.zip"));
  EXPECT_EQ(R.Code, 2) << "an archive that cannot be read";
  EXPECT_EQ(R.Out[3], "Type:       Unknown   ");
  EXPECT_NE(R.Err.find("Unknown file type"), std::string::npos);
}

TEST_F(KstProgram, ErrorsAndExitCodes) {
  Result R = Run("list " + Archive("hello.txt.gz"));
  EXPECT_EQ(R.Code, 2);
  EXPECT_NE(R.Err.find("Invalid or unsupported archive type for this operation"), std::string::npos);
  R = Run("list " + Archive("no-such-archive.zip"));
  EXPECT_EQ(R.Code, 2);
  EXPECT_NE(R.Err.find("File not found"), std::string::npos);
  EXPECT_EQ(Run("list").Code, 2);
  EXPECT_EQ(Run("").Code, 2);
  EXPECT_EQ(Run("unpack x.zip").Code, 2);
  EXPECT_EQ(Run("list --bogus " + Archive("empty.zip")).Code, 2);
  EXPECT_EQ(Run("info").Code, 2);
  EXPECT_EQ(Run("info " + Archive("no-such-archive.zip")).Code, 2);
  R = Run("list --tsv " + Archive("izip_folders.zip") + " *.nothing");
  EXPECT_EQ(R.Code, 1) << "nothing matched";
  EXPECT_TRUE(R.Out.empty());
  R = Run("--version");
  EXPECT_EQ(R.Code, 0);
  ASSERT_EQ(R.Out.size(), 1u);
  EXPECT_EQ(R.Out[0].rfind("kst ", 0), 0u);
  R = Run("--help");
  EXPECT_EQ(R.Code, 0);
  EXPECT_NE(R.Out.at(0).find("Usage"), std::string::npos);
}

}  // namespace
