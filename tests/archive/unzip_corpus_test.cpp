// Every archive of the test corpus extracted through the three main roads (into
// memory, into files, into a caller's stream): each entry of a method the library
// decodes must come out with the manifest's SHA-256, and pass or fail its CRC
// check exactly as the local header dictates.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "tests/archive/unzip_fixture.h"
#include "tests/platform/ScratchDir.h"

namespace {

using skwtest::ManifestRow;

// The rows an extraction selects (no folder entries), in directory order.
std::vector<ManifestRow> SelectedRows(const std::string& Archive) {
  std::vector<ManifestRow> Rows;
  for (const ManifestRow& Row : skwtest::ManifestRowsOf(Archive))
    if (!skwtest::IsFolderRow(Row)) Rows.push_back(Row);
  return Rows;
}

std::string SliceDigest(const kst::TDecompMemoryStream& Stream, uint32_t Offset, uint32_t Size) {
  if (Size == 0) return skwtest::Sha256Hex(nullptr, 0);
  return skwtest::Sha256Hex(Stream.Memory() + Offset, Size);
}

class CorpusTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusTest, MemoryStreamItemsHoldEveryEntry) {
  const std::string Archive = GetParam();
  const std::vector<ManifestRow> Rows = SelectedRows(Archive);
  skwtest::RecordingUnZip UnZip;
  kst::TDecompMemoryStream Stream;
  if (!UnZip.Open(Archive)) {
    // An archive behind unknown data is not identified; the run refuses it.
    EXPECT_THROW(UnZip.ExtractToMemoryStream(&Stream), kst::E_RAISE);
    EXPECT_EQ(UnZip.Errors, std::vector<int>{kst::ErrArcTypeUnsupported});
    return;
  }
  UnZip.Passwords = skwtest::PasswordsOf(Rows);
  UnZip.ExtractToMemoryStream(&Stream);
  EXPECT_EQ(Stream.Position(), 0);

  // Items follow the directory; an entry skipped for its password has none.
  size_t Next = 0;
  uint32_t ExpectedOffset = 0;
  for (int32_t I = 0; I < Stream.Count(); ++I) {
    const std::string Name = Stream.GetFileName(I);
    while (Next < Rows.size() && skwtest::StoredNameOf(Rows[Next]).substr(0, 255) != Name) ++Next;
    ASSERT_LT(Next, Rows.size()) << Archive << ": unexpected item " << Name;
    const ManifestRow& Row = Rows[Next++];
    EXPECT_EQ(Stream.GetFileOffset(I), ExpectedOffset) << Name;
    EXPECT_EQ(Stream.GetFileSize(I), Row.UncompressedSize) << Name;
    const uint32_t End = I + 1 < Stream.Count() ? Stream.GetFileOffset(I + 1) : uint32_t(Stream.Size());
    if (skwtest::IsDamagedRow(Row)) {
      EXPECT_LE(End - Stream.GetFileOffset(I), Row.UncompressedSize) << Name;
    } else if (skwtest::DecodableMethod(Row.Method)) {
      ASSERT_EQ(End - Stream.GetFileOffset(I), Row.UncompressedSize) << Archive << ": " << Name;
      EXPECT_EQ(SliceDigest(Stream, Stream.GetFileOffset(I), Row.UncompressedSize), Row.Sha256)
          << Archive << ": " << Name;
    } else {
      EXPECT_EQ(End, Stream.GetFileOffset(I)) << "refused method wrote bytes: " << Name;
    }
    ExpectedOffset = End;
  }
  for (const ManifestRow& Row : Rows) {
    const std::string Name = skwtest::StoredNameOf(Row);
    if (!skwtest::DecodableMethod(Row.Method)) continue;
    ASSERT_TRUE(UnZip.CrcOf.count(Name)) << Archive << ": no OnEnd for " << Name;
    // Duplicated names report twice; both copies agree in this corpus.
    EXPECT_EQ(UnZip.CrcOf[Name], skwtest::ExpectCrcPass(Row)) << Archive << ": " << Name;
  }
}

TEST_P(CorpusTest, FilesLandBelowExtractDirWithStoredFolders) {
  const std::string Archive = GetParam();
  if (Archive == "path_traversal.zip") GTEST_SKIP() << "covered by the path safety tests";
  const std::vector<ManifestRow> Rows = SelectedRows(Archive);
  skwtest::ScratchDir Dir;
  skwtest::RecordingUnZip UnZip;
  if (!UnZip.Open(Archive)) GTEST_SKIP() << "not identified as a ZIP archive";
  UnZip.Passwords = skwtest::PasswordsOf(Rows);
  UnZip.SetExtractDir(Dir.Path());
  UnZip.Extract();
  for (size_t I = 0; I < Rows.size(); ++I) {
    const ManifestRow& Row = Rows[I];
    if (!skwtest::DecodableMethod(Row.Method) || skwtest::IsDamagedRow(Row)) continue;
    if (Row.Entry.size() > 255) continue;  // longer than a file name may be
    // A later entry of the same name overwrites an earlier one.
    const bool Overwritten = std::any_of(Rows.begin() + long(I) + 1, Rows.end(),
                                         [&](const ManifestRow& Later) { return Later.Entry == Row.Entry; });
    if (Overwritten) continue;
    std::string Relative = skwtest::StoredNameOf(Row);
    std::replace(Relative.begin(), Relative.end(), '\\', skwtest::ScratchDir::Separator());
    // Windows paths stop at 259 characters.
    if (platform::kIsWindows && (Dir / Relative).size() > 259) continue;
    const std::vector<uint8_t> Bytes = skwtest::ReadFileBytes(Dir / Relative);
    EXPECT_EQ(Bytes.size(), Row.UncompressedSize) << Archive << ": " << Relative;
    EXPECT_EQ(skwtest::Sha256Hex(Bytes), Row.Sha256) << Archive << ": " << Relative;
  }
}

TEST_P(CorpusTest, UserStreamReceivesOneNamedEntry) {
  const std::string Archive = GetParam();
  const std::vector<ManifestRow> Rows = SelectedRows(Archive);
  for (const ManifestRow& Row : Rows) {
    const std::string Name = skwtest::StoredNameOf(Row);
    const auto SameName = [&](const ManifestRow& Other) { return skwtest::StoredNameOf(Other) == Name; };
    if (!skwtest::DecodableMethod(Row.Method) || skwtest::IsDamagedRow(Row) ||
        std::count_if(Rows.begin(), Rows.end(), SameName) != 1)
      continue;
    if (Name.find_first_of("*?") != std::string::npos) continue;
    skwtest::RecordingUnZip UnZip;
    if (!UnZip.Open(Archive)) GTEST_SKIP() << "not identified as a ZIP archive";
    UnZip.FileSpec = {"unchanged"};
    UnZip.Passwords = skwtest::PasswordsOf(Rows);
    kst::TMemoryStream Target;
    kst::TMemoryOutStream Out(Target);
    UnZip.ExtractToFileStream(Name, &Out);
    EXPECT_EQ(UnZip.FileSpec, kst::TStringList{"unchanged"});
    EXPECT_EQ(Target.Position(), 0);
    // A name without folder also selects same-named entries in folders.
    if (Name.find('\\') == std::string::npos && std::any_of(Rows.begin(), Rows.end(), [&](const ManifestRow& Other) {
          const std::string N = skwtest::StoredNameOf(Other);
          return N.size() > Name.size() && N.compare(N.size() - Name.size() - 1, std::string::npos, "\\" + Name) == 0;
        }))
      continue;
    EXPECT_EQ(Target.Size(), int64_t(Row.UncompressedSize)) << Archive << ": " << Name;
    EXPECT_EQ(skwtest::Sha256Hex(Target.Memory(), size_t(Target.Size())), Row.Sha256) << Archive << ": " << Name;
  }
}

INSTANTIATE_TEST_SUITE_P(Zip, CorpusTest, ::testing::ValuesIn(skwtest::ArchivesWithEntries()),
                         [](const ::testing::TestParamInfo<std::string>& Info) {
                           std::string Name = Info.param;
                           for (char& C : Name)
                             if (!isalnum(static_cast<unsigned char>(C))) C = '_';
                           return Name;
                         });

TEST(CorpusRefusals, LaterMethodsAreRefusedWithEmptyOutput) {
  for (const ManifestRow& Row : skwtest::Manifest()) {
    if (Row.Method < 0 || skwtest::DecodableMethod(Row.Method) || (Row.Flags & 1)) continue;
    skwtest::RecordingUnZip UnZip;
    UnZip.Open(Row.Archive);
    UnZip.FileSpec = {skwtest::StoredNameOf(Row)};
    UnZip.RecurseDirs = false;
    kst::TDecompMemoryStream Stream;
    UnZip.ExtractToMemoryStream(&Stream);
    EXPECT_NE(std::find(UnZip.Errors.begin(), UnZip.Errors.end(), kst::ErrUnsupportedMethod), UnZip.Errors.end())
        << Row.Archive << ": method " << Row.Method;
    EXPECT_EQ(Stream.Size(), 0) << Row.Archive;
  }
}

}  // namespace
