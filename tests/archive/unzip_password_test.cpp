// Passwords in an extraction run: the order in which candidates are tried, the
// OnGetPassword protocol and its attempts, and what a failed entry does to the
// rest of the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "tests/archive/unzip_builder.h"
#include "tests/archive/unzip_fixture.h"
#include "tests/platform/ScratchDir.h"

namespace {

using skwtest::BuildEntry;
using skwtest::RecordingUnZip;
using skwtest::ZipBuilder;

struct PasswordArchive {
  skwtest::ScratchDir Dir;
  std::string Path = Dir / "pw.zip";
  explicit PasswordArchive(const ZipBuilder& Builder) { Builder.Write(Path); }
  // Extracts everything into a memory stream; answers FileCount.
  int Run(RecordingUnZip& UnZip, kst::TDecompMemoryStream& Stream) {
    UnZip.SetArchiveFile(Path);
    UnZip.FileSpec = {"*.*"};
    return UnZip.ExtractToMemoryStream(&Stream);
  }
};

std::string Item(const kst::TDecompMemoryStream& Stream, int Index) {
  const uint32_t Start = Stream.GetFileOffset(Index);
  return std::string(reinterpret_cast<const char*>(Stream.Memory()) + Start, Stream.GetFileSize(Index));
}

ZipBuilder TwoWithOnePassword() {
  return ZipBuilder()
      .Add({"one.txt", "first secret", 0, 0x20, 0x2A434883, "alpha"})
      .Add({"two.txt", std::string(300, 't'), 8, 0x20, 0x2A434883, "alpha"});
}

TEST(UnZipPassword, OneEventServesEveryEntryWithTheSamePassword) {
  PasswordArchive A(TwoWithOnePassword());
  RecordingUnZip UnZip;
  std::vector<std::string> Asked;
  UnZip.OnGetPassword = [&](kst::TUnBase*, const std::string& Name, std::string& Password, bool&) {
    Asked.push_back(Name);
    Password = "alpha";
  };
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(A.Run(UnZip, Stream), 2);
  EXPECT_EQ(Asked.size(), 1u);
  ASSERT_EQ(Stream.Count(), 2);
  EXPECT_EQ(Item(Stream, 0), "first secret");
  EXPECT_EQ(Item(Stream, 1), std::string(300, 't'));
  EXPECT_EQ(UnZip.Passwords, kst::TStringList{"alpha"});

  // The next run opens both from the list, without asking.
  Asked.clear();
  Stream.ClearMemory();
  EXPECT_EQ(A.Run(UnZip, Stream), 2);
  EXPECT_TRUE(Asked.empty());
}

TEST(UnZipPassword, ListIsTriedInOrderAndEmptyCandidatesNeverOpen) {
  PasswordArchive A(TwoWithOnePassword());
  RecordingUnZip UnZip;
  UnZip.Passwords = {"", "wrong", "alpha"};
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(A.Run(UnZip, Stream), 2);
  EXPECT_EQ(UnZip.CurrentPassword, "alpha");
  EXPECT_TRUE(UnZip.Errors.empty());
}

TEST(UnZipPassword, EachFailedAttemptIsReportedUpToPasswordAttempts) {
  PasswordArchive A(TwoWithOnePassword());
  RecordingUnZip UnZip;
  std::vector<std::string> Offered;
  UnZip.OnGetPassword = [&](kst::TUnBase*, const std::string&, std::string& Password, bool&) {
    Offered.push_back(Password);
    Password = "nope" + std::to_string(Offered.size());
  };
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(A.Run(UnZip, Stream), 0);
  EXPECT_EQ(Offered, (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(UnZip.Errors,
            (std::vector<int>{kst::ErrInvalidPassword, kst::ErrInvalidPassword, kst::ErrInvalidPassword}));
  EXPECT_TRUE(UnZip.PasswordFailed);
  // Both entries end with a failed CRC; the second was not asked about.
  EXPECT_EQ(UnZip.Count("end:"), 2);
  EXPECT_FALSE(UnZip.CrcOf["one.txt"]);
  EXPECT_FALSE(UnZip.CrcOf["two.txt"]);
  EXPECT_EQ(Stream.Count(), 0);
}

TEST(UnZipPassword, TryAgainFalseOrNoAttemptsAskNoMore) {
  PasswordArchive A(TwoWithOnePassword());
  RecordingUnZip UnZip;
  int Calls = 0;
  UnZip.OnGetPassword = [&](kst::TUnBase*, const std::string&, std::string&, bool& TryAgain) {
    ++Calls;
    TryAgain = false;
  };
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(A.Run(UnZip, Stream), 0);
  EXPECT_EQ(Calls, 1);
  EXPECT_TRUE(UnZip.Errors.empty());

  Calls = 0;
  UnZip.PasswordAttempts = 0;
  EXPECT_EQ(A.Run(UnZip, Stream), 0);
  EXPECT_EQ(Calls, 0);
  EXPECT_EQ(UnZip.Count("end:"), 4);
}

TEST(UnZipPassword, WithoutHandlerTheEntryIsSkippedWithAReport) {
  PasswordArchive A(TwoWithOnePassword());
  RecordingUnZip UnZip;
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(A.Run(UnZip, Stream), 0);
  EXPECT_EQ(UnZip.Errors, std::vector<int>{kst::ErrEventNotAssigned});
}

TEST(UnZipPassword, AfterAFailureLaterEncryptedEntriesAreSkippedButPlainOnesNot) {
  PasswordArchive A(ZipBuilder()
                        .Add({"locked.txt", "a", 0, 0x20, 0x2A434883, "alpha"})
                        .Add({"plain.txt", "plain"})
                        .Add({"other.txt", "b", 0, 0x20, 0x2A434883, "beta"}));
  RecordingUnZip UnZip;
  int Calls = 0;
  UnZip.OnGetPassword = [&](kst::TUnBase*, const std::string&, std::string& Password, bool&) {
    ++Calls;
    Password = Calls == 1 ? "wrong" : "beta";
  };
  UnZip.PasswordAttempts = 1;
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(A.Run(UnZip, Stream), 1);
  EXPECT_EQ(Calls, 1);
  ASSERT_EQ(Stream.Count(), 1);
  EXPECT_EQ(Stream.GetFileName(0), "plain.txt");
  EXPECT_EQ(Item(Stream, 0), "plain");
  EXPECT_FALSE(UnZip.CrcOf["other.txt"]);

  // A new run starts afresh.
  Stream.ClearMemory();
  UnZip.Passwords = {"alpha", "beta"};
  EXPECT_EQ(A.Run(UnZip, Stream), 3);
}

TEST(UnZipPassword, EncryptedEntryShorterThanItsHeaderFailsCleanly) {
  ZipBuilder Builder;
  Builder.Add({"tiny.txt", "", 0, 0x20, 0x2A434883, "alpha"});
  std::vector<uint8_t> Bytes = Builder.Bytes();
  // Local and central compressed sizes say 5, less than the 12-byte header.
  Bytes[18] = 5;
  const size_t Central = Bytes.size() - 22 - 46 - 8;
  ASSERT_EQ(kst::GetLE32(&Bytes[Central]), kst::kCentralSignature);
  Bytes[Central + 20] = 5;
  skwtest::ScratchDir Dir;
  skwtest::WriteFileBytes(Dir / "tiny.zip", Bytes);
  RecordingUnZip UnZip;
  UnZip.SetArchiveFile(Dir / "tiny.zip");
  UnZip.FileSpec = {"*.*"};
  UnZip.Passwords = {"alpha"};
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(UnZip.ExtractToMemoryStream(&Stream), 0);
  EXPECT_FALSE(UnZip.CrcOf["tiny.txt"]);
}

TEST(UnZipPassword, RealArchivesCheckTheTimeOrTheCrc) {
  // Info-ZIP sets bit 3 (check byte from the time), 7-Zip does not (from the CRC).
  for (const std::string Archive : {"izip_encrypted.zip", "7z_zipcrypto.zip", "bsdtar_traditional.zip"}) {
    const std::vector<skwtest::ManifestRow> Rows = skwtest::ManifestRowsOf(Archive);
    if (Rows.empty()) continue;
    RecordingUnZip UnZip;
    UnZip.Open(Archive);
    UnZip.Passwords = skwtest::PasswordsOf(Rows);
    EXPECT_EQ(UnZip.ExtractToNul(), int(Rows.size())) << Archive;
    EXPECT_FALSE(UnZip.PasswordFailed) << Archive;
  }
}

}  // namespace
