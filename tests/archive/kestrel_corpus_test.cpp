// Every archive of the corpus walked with "*.*": the names, methods, sizes, CRCs
// and encrypted flags the lister reports agree with what independent tools wrote
// into MANIFEST.tsv, over the central directory and over local headers alike;
// directory entries appear only with ShowEmptyDirs, and are not counted. The
// archives that are not walkable ZIPs fail with the right error.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/list/Kstkestrel.h"
#include "archive/names/NameConversion.h"
#include "platform/Utf8Names.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestData.h"

namespace {

using namespace kst;
using skwtest::ManifestRow;

struct Listed {
  std::string Name;
  int Method;
  uint32_t Packed;
  uint32_t Unpacked;
  uint32_t Crc;
  bool Encrypted;
  int32_t Filenum;
};

bool IsAscii(const std::string& S) {
  return std::all_of(S.begin(), S.end(), [](char C) { return static_cast<unsigned char>(C) < 0x80; });
}

// The name the lister should report for a stored name.
std::string ExpectedName(const ManifestRow& Row) {
  if (IsAscii(Row.Entry)) {
    std::string Name = Row.Entry;
    std::replace(Name.begin(), Name.end(), '/', '\\');
    return Name;
  }
  // Flagged UTF-8, or written on a Unix system with UTF-8 names.
  if ((Row.Flags & 0x800) || Row.Tool.find("UTF-8 system") != std::string::npos)
    return UnixToDosFilename(platform::Utf8ToAnsi(Row.Entry));
  return doOemToChar(Row.Entry, true);
}

// A directory entry: a name ending in "/" whose external attributes carry the
// directory bit (jar's META-INF/ does not).
bool IsDirectoryRow(const ManifestRow& Row) {
  return !Row.Entry.empty() && Row.Entry.back() == '/' && Row.Notes.find("lack 0x10") == std::string::npos;
}

std::vector<Listed> WalkAll(const std::string& Archive, bool ShowEmptyDirs, std::vector<int32_t>& Errors,
                            bool& Walked) {
  std::vector<Listed> Entries;
  TKestrel Lister;
  Lister.OnError = [&](TZipCommon*, std::string, std::string, std::string, int32_t Code) { Errors.push_back(Code); };
  Lister.SetArchiveFile(skwtest::DataPath("zip/" + Archive));
  Lister.FileSpec = {"*.*"};
  Lister.ShowEmptyDirs = ShowEmptyDirs;
  Lister.OnRead = [&](TKestrel* L, int32_t, int32_t Filenum) {
    Entries.push_back(
        {L->FileName, L->CompressionMethod, L->PackedSize, L->UnpackedSize, L->FileCrc, L->Encrypted, Filenum});
  };
  Walked = Lister.Activate();
  return Entries;
}

std::vector<std::string> Archives() {
  std::vector<std::string> Names;
  for (const ManifestRow& Row : skwtest::Manifest()) {
    if (std::find(Names.begin(), Names.end(), Row.Archive) == Names.end()) Names.push_back(Row.Archive);
  }
  return Names;
}

TEST(KestrelCorpus, EveryArchiveAgreesWithTheManifest) {
  const std::map<std::string, int32_t> NotWalked = {
      {"nineteen_bytes.zip", ErrFileNotFound},
      {"hello.txt.gz", ErrArcTypeUnsupported},
      {"appended_after_5000.zip", ErrUnknownFileType},
  };
  const std::vector<std::string> Names = Archives();
  ASSERT_GE(Names.size(), 70u);
  for (const std::string& Archive : Names) {
    SCOPED_TRACE(Archive);
    for (bool Dirs : {false, true}) {
      std::vector<int32_t> Errors;
      bool Walked = false;
      const std::vector<Listed> Got = WalkAll(Archive, Dirs, Errors, Walked);
      if (NotWalked.count(Archive)) {
        EXPECT_FALSE(Walked);
        EXPECT_TRUE(Got.empty());
        EXPECT_EQ(Errors, std::vector<int32_t>{NotWalked.at(Archive)});
        continue;
      }
      EXPECT_TRUE(Walked);
      EXPECT_TRUE(Errors.empty());
      std::vector<ManifestRow> Rows;
      for (const ManifestRow& Row : skwtest::ManifestRowsOf(Archive)) {
        if (Row.Method >= 0 && (Dirs || !IsDirectoryRow(Row))) Rows.push_back(Row);
      }
      ASSERT_EQ(Got.size(), Rows.size());
      int32_t Counted = 0;
      for (size_t I = 0; I < Rows.size(); ++I) {
        SCOPED_TRACE(Rows[I].Entry);
        if (!IsDirectoryRow(Rows[I])) ++Counted;
        EXPECT_EQ(Got[I].Name, ExpectedName(Rows[I]));
        EXPECT_EQ(Got[I].Method, Rows[I].Method);
        EXPECT_EQ(Got[I].Packed, Rows[I].CompressedSize);
        EXPECT_EQ(Got[I].Unpacked, Rows[I].UncompressedSize);
        EXPECT_EQ(Got[I].Crc, Rows[I].Crc32);
        EXPECT_EQ(Got[I].Encrypted, (Rows[I].Flags & 1) != 0);
        EXPECT_EQ(Got[I].Filenum, Counted) << "directories carry the number of the last counted entry";
      }
    }
  }
}

TEST(KestrelCorpus, EmptyArchiveListsNothing) {
  std::vector<int32_t> Errors;
  bool Walked = false;
  EXPECT_TRUE(WalkAll("empty.zip", true, Errors, Walked).empty());
  EXPECT_TRUE(Walked);
}

}  // namespace
