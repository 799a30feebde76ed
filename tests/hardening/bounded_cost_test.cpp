// Archives that would make a run cost far more than their contents are worth.
// Central records sharing one entry's bytes (a bomb made of many small
// entries), reaching into one another or into the central directory: each
// such entry is reported by name with 25248 and not extracted, the others are.
// The real archives of the test corpus show no such report. Twenty thousand
// entries go into one folder (the test's time limit is only a guard against
// a hang; the figure lives in bench/kst_extract_vs_unzip.sh). An output file
// that cannot be opened is reported once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "archive/extract/Kstunzip.h"
#include "tests/platform/ScratchDir.h"
#include "tests/kit/HostileZip.h"

namespace {

using skwtest::HostileEntry;
using skwtest::HostileZip;
using skwtest::StoredEntry;

// Central records behind a sound "good.txt" (whose local entry takes the
// archive's first kGood bytes): Bad are the names to be refused.
constexpr uint32_t kGood = 30 + 8 + 4;

struct OverlapCase {
  const char* Label;
  std::vector<HostileEntry> Entries;
  std::vector<std::string> Bad;
};

std::vector<OverlapCase> OverlapCases() {
  std::vector<OverlapCase> Cases;
  {  // twenty central records sharing one local entry
    OverlapCase C{"bomb", {StoredEntry("seed.txt", std::string(9700, 'x'))}, {"seed.txt"}};
    for (int I = 1; I < 20; ++I) {
      HostileEntry Copy = StoredEntry("copy" + std::to_string(I) + ".txt", std::string(9700, 'x'));
      Copy.WriteLocal = false;
      Copy.LocalOffset = kGood;
      C.Entries.push_back(Copy);
      C.Bad.push_back(Copy.Name);
    }
    Cases.push_back(C);
  }
  {  // an entry whose local header lies inside another entry's data
    HostileEntry Inner = StoredEntry("inner.txt", "inner");
    HostileEntry Outer = StoredEntry("outer.txt", "");
    HostileZip Alone;
    Alone.Entries = {Inner};
    Outer.Data = Alone.Build();
    Outer.Data.resize(Outer.Data.size() - 22 - 46 - Inner.Name.size());  // its local entry only
    Inner.WriteLocal = false;
    Inner.LocalOffset = uint32_t(kGood + 30 + Outer.Name.size());
    Cases.push_back({"nested", {Outer, Inner}, {"outer.txt", "inner.txt"}});
  }
  {  // compressed size reaching into the central directory
    HostileEntry Long = StoredEntry("long.txt", "0123456789");
    Long.PackedSize = 200;
    Long.UnpackedSize = 200;
    Cases.push_back({"into directory", {Long}, {"long.txt"}});
  }
  return Cases;
}

TEST(OverlappingEntries, RefusedByNameOthersExtracted) {
  for (OverlapCase& Case : OverlapCases()) {
    SCOPED_TRACE(Case.Label);
    HostileZip Zip;
    Zip.Entries = {StoredEntry("good.txt", "good")};
    Zip.Entries.insert(Zip.Entries.end(), Case.Entries.begin(), Case.Entries.end());
    skwtest::HostileFile File(Zip.Build());
    kst::TUnZip UnZip;
    UnZip.SetArchiveFile(File.Path());
    UnZip.FileSpec = {"*.*"};
    std::vector<std::string> Refused;
    std::vector<std::string> Passed;
    UnZip.OnError = [&](kst::TZipCommon*, std::string Name, std::string, std::string, int32_t Code) {
      if (Code == kst::ErrLocalHeader) Refused.push_back(Name);
    };
    UnZip.OnEnd = [&](kst::TUnBase*, const std::string& Name, bool Pass) {
      if (Pass) Passed.push_back(Name);
    };
    kst::TDecompMemoryStream Stream;
    UnZip.ExtractToMemoryStream(&Stream);
    EXPECT_EQ(Refused, Case.Bad);
    EXPECT_EQ(Passed, std::vector<std::string>{"good.txt"});
    ASSERT_EQ(Stream.Count(), 1);
    EXPECT_EQ(Stream.Size(), 4);

    Refused.clear();  // a test of the archive says the same
    Passed.clear();
    UnZip.ExtractToVerify();
    EXPECT_EQ(Refused, Case.Bad);
    EXPECT_EQ(Passed, std::vector<std::string>{"good.txt"});
  }
}

TEST(OverlappingEntries, NoneInTheCorpus) {
  for (const auto& Item : std::filesystem::recursive_directory_iterator(std::string(SKW_TEST_DATA))) {
    if (!Item.is_regular_file()) continue;
    kst::TUnZip UnZip;
    UnZip.SetArchiveFile(Item.path().string());
    if (!kst::TUnBase::IsExtractable(UnZip.ArcType())) continue;
    UnZip.FileSpec = {"*.*"};
    int Refused = 0;
    UnZip.OnError = [&](kst::TZipCommon*, std::string, std::string, std::string, int32_t Code) {
      Refused += Code == kst::ErrLocalHeader;
    };
    try {
      UnZip.ExtractToVerify();
    } catch (const kst::E_RAISE&) {
    }
    EXPECT_EQ(Refused, 0) << Item.path();
  }
}

TEST(ManyEntries, TwentyThousandIntoOneFolder) {
  // Wine looks names up by reading the folder (on every open), which makes
  // any program's n new files in one folder cost n listings there: the
  // Windows build, tested under Wine, takes fewer.
  const int kEntries = platform::kIsWindows ? 2000 : 20000;
  HostileZip Zip;
  for (int I = 0; I < kEntries; ++I) Zip.Entries.push_back(StoredEntry("many/f" + std::to_string(I) + ".txt", "x"));
  skwtest::HostileFile File(Zip.Build());
  skwtest::ScratchDir Out;
  kst::TUnZip UnZip;
  UnZip.SetArchiveFile(File.Path());
  UnZip.SetExtractDir(Out.Path());
  UnZip.FileSpec = {"*.*"};
  // Every file is checked for existence first, as with confirmed overwrites.
  UnZip.OnFileExists = [](kst::TUnBase*, const std::string&, std::string&, kst::TOverwriteMode& Mode) {
    Mode = kst::omSkip;
  };
  EXPECT_EQ(UnZip.Extract(), kEntries);
  int Files = 0;
  for ([[maybe_unused]] const auto& Item : std::filesystem::directory_iterator(Out / "many")) ++Files;
  EXPECT_EQ(Files, kEntries);
}

TEST(OneReportPerFailure, OutputThatCannotBeOpened) {
  HostileZip Zip;
  Zip.Entries = {StoredEntry("a.txt", "a")};
  skwtest::HostileFile File(Zip.Build());
  skwtest::ScratchDir Out;
  ASSERT_TRUE(platform::MakeDirectory(Out / "a.txt"));  // a folder where the file should go
  kst::TUnZip UnZip;
  UnZip.SetArchiveFile(File.Path());
  UnZip.SetExtractDir(Out.Path());
  UnZip.FileSpec = {"*.*"};
  UnZip.ConfirmOverwrites = false;
  std::vector<int32_t> Codes;
  UnZip.OnError = [&](kst::TZipCommon*, std::string, std::string, std::string, int32_t Code) { Codes.push_back(Code); };
  UnZip.Extract();
  EXPECT_EQ(std::count(Codes.begin(), Codes.end(), kst::ErrOpenFile), 1);
}

}  // namespace
