// Hostile entry names extracted to files: parent references, absolute paths,
// drive letters, backslashes, empty names, duplicates and names too long for a
// file system. Whatever the names, every file the run creates lies below
// ExtractDir, names with a ".." component are refused with "Invalid file name",
// and the run ends normally.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "archive/extract/Kstunzip.h"
#include "tests/kit/HostileZip.h"

namespace {

namespace fs = std::filesystem;
using skwtest::HostileZip;
using skwtest::StoredEntry;

// Files (not folders) below Root, relative, with "/" separators.
std::vector<std::string> FilesBelow(const fs::path& Root) {
  std::vector<std::string> Files;
  for (const auto& Item : fs::recursive_directory_iterator(Root))
    if (Item.is_regular_file()) Files.push_back(fs::relative(Item.path(), Root).generic_string());
  std::sort(Files.begin(), Files.end());
  return Files;
}

struct NameRun {
  std::vector<std::string> Outside;  // files created beside the archive, outside out/
  std::vector<std::string> Inside;
  std::vector<int32_t> Errors;
};

NameRun ExtractNames(const std::vector<std::string>& Names) {
  HostileZip Zip;
  for (size_t I = 0; I < Names.size(); ++I) Zip.Entries.push_back(StoredEntry(Names[I], "entry " + std::to_string(I)));
  skwtest::HostileFile File(Zip.Build());
  const fs::path Root = File.Folder();
  fs::create_directories(Root / "deep" / "out");
  kst::TUnZip UnZip;
  NameRun Run;
  UnZip.OnError = [&](kst::TZipCommon*, std::string, std::string, std::string, int32_t Code) {
    Run.Errors.push_back(Code);
  };
  UnZip.SetArchiveFile(File.Path());
  UnZip.FileSpec = {"*.*"};
  UnZip.ConfirmOverwrites = false;
  UnZip.CreateStoredDirs = true;
  UnZip.SetExtractDir((Root / "deep" / "out").string());
  try {
    UnZip.Extract();
  } catch (const kst::E_RAISE&) {
  }
  for (const std::string& F : FilesBelow(Root)) {
    if (F.rfind("deep/out/", 0) == 0)
      Run.Inside.push_back(F.substr(9));
    else if (F != "hostile.zip")
      Run.Outside.push_back(F);
  }
  return Run;
}

TEST(HostileNames, NothingIsWrittenOutsideTheTargetFolder) {
  const std::vector<std::string> Names = {
      "../up1.txt",
      "..\\up2.txt",
      "a/../../up3.txt",
      "a\\..\\..\\up4.txt",
      "..",
      "/abs1.txt",
      "\\abs2.txt",
      "//server/share/unc.txt",
      "\\\\server\\share\\unc2.txt",
      "C:\\drive1.txt",
      "C:drive2.txt",
      "c:/x/../../drive3.txt",
      "./dot/./x.txt",
      "deep/../../up5.txt",
      "....//up6.txt",
      "sub/..",
      "..\\",
  };
  const NameRun Run = ExtractNames(Names);
  EXPECT_EQ(Run.Outside, std::vector<std::string>{});
  // Each name with a ".." component is refused as an invalid name.
  const auto Refused = std::count(Run.Errors.begin(), Run.Errors.end(), kst::ErrInvalidFileName);
  EXPECT_GE(Refused, 8);
  for (const std::string& F : Run.Inside) {
    EXPECT_NE(F.substr(0, 3), "../") << F;
    EXPECT_EQ(F.find("/../"), std::string::npos) << F;
  }
}

TEST(HostileNames, EmptyDuplicateAndOverlongNamesEndCleanly) {
  const std::string Long300(300, 'n');
  const std::string LongPath = std::string(200, 'd') + "/" + std::string(200, 'f') + ".txt";
  const NameRun Run = ExtractNames(
      {"", "dup.txt", "dup.txt", "DUP.TXT", Long300, LongPath, "ok.txt", std::string("nul\0byte.txt", 12), "folder/"});
  EXPECT_EQ(Run.Outside, std::vector<std::string>{});
  // The ordinary names are written despite their neighbours; the duplicate
  // leaves one file holding the later entry.
  EXPECT_NE(std::find(Run.Inside.begin(), Run.Inside.end(), "ok.txt"), Run.Inside.end());
  EXPECT_GE(std::count_if(Run.Inside.begin(), Run.Inside.end(),
                          [](const std::string& F) { return F == "dup.txt" || F == "DUP.TXT"; }),
            1);
}

TEST(HostileNames, NamesOverTwoHundredFiftyFiveBytesAreCutInMemoryItems) {
  HostileZip Zip;
  Zip.Entries.push_back(StoredEntry(std::string(4000, 'x'), "long"));
  skwtest::HostileFile File(Zip.Build());
  kst::TUnZip UnZip;
  UnZip.SetArchiveFile(File.Path());
  UnZip.FileSpec = {"*.*"};
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(UnZip.ExtractToMemoryStream(&Stream), 1);
  ASSERT_EQ(Stream.Count(), 1);
  EXPECT_EQ(Stream.GetFileName(0), std::string(255, 'x'));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Stream.Memory()), size_t(Stream.Size())), "long");
}

}  // namespace
