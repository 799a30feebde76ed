// The extraction run on small built archives and a few corpus archives: entry
// selection, event order, overwrite decisions, memory and stream targets, dates
// and attributes, progress, refusals before a run, and damaged archives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "platform/FileSystem.h"
#include "tests/archive/unzip_builder.h"
#include "tests/archive/unzip_fixture.h"
#include "tests/platform/ScratchDir.h"

namespace {

using skwtest::BuildEntry;
using skwtest::RecordingUnZip;
using skwtest::ScratchDir;
using skwtest::ZipBuilder;

std::string ReadText(const std::string& Path) {
  const std::vector<uint8_t> Bytes = skwtest::ReadFileBytes(Path);
  return std::string(Bytes.begin(), Bytes.end());
}

std::string Native(std::string Path) {
  std::replace(Path.begin(), Path.end(), '\\', ScratchDir::Separator());
  return Path;
}

// An archive with entries in the root, a folder and a sub-folder, plus a folder entry.
struct FolderArchive {
  ScratchDir Dir;
  std::string Path = Dir / "folders.zip";
  FolderArchive() {
    ZipBuilder()
        .Add({"a.txt", "root a"})
        .Add({"docs/", "", 0, 0x10})
        .Add({"docs/a.txt", "docs a", 8})
        .Add({"docs/sub/b.txt", "deep b"})
        .Add({"empty.bin", ""})
        .Add({"void/", "", 0, 0x10})
        .Add({"made", "", 0, 0x10})
        .Write(Path);
  }
  void Open(RecordingUnZip& UnZip, const kst::TStringList& Patterns) {
    UnZip.SetArchiveFile(Path);
    UnZip.FileSpec = Patterns;
    UnZip.ConfirmOverwrites = false;
    UnZip.SetExtractDir(Dir / "out");
  }
};

int ExtractWith(const kst::TStringList& Patterns, bool Recurse = true) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, Patterns);
  UnZip.RecurseDirs = Recurse;
  return UnZip.ExtractToNul();
}

TEST(UnZipSelection, FileSpecDecidesWhichEntriesRun) {
  EXPECT_EQ(ExtractWith({}), 0);
  EXPECT_EQ(ExtractWith({"*.*"}), 4);  // the folder entry never counts
  EXPECT_EQ(ExtractWith({"a.txt"}), 2);
  EXPECT_EQ(ExtractWith({"docs\\*.txt"}), 2);
  EXPECT_EQ(ExtractWith({"docs\\*.txt"}, false), 1);
  EXPECT_EQ(ExtractWith({"missing.txt"}), 0);
  EXPECT_EQ(ExtractWith({"*.bin", "b.*"}), 2);
}

TEST(UnZipSelection, LongDirectoryIsWalkedToItsLastEntry) {
  // 1500 entries with names of 100 characters: a central directory of about
  // 220 KB, read in several windows, with records across each window's edge.
  const auto NameOf = [](int I) { return std::string(95, 'n') + std::to_string(10000 + I); };
  ScratchDir Dir;
  const std::string Path = Dir / "long.zip";
  ZipBuilder Builder;
  for (int I = 0; I < 1500; ++I) Builder.Add({NameOf(I), "entry " + std::to_string(I), uint16_t(I % 2 == 0 ? 0 : 8)});
  Builder.Write(Path);
  RecordingUnZip UnZip;
  UnZip.SetArchiveFile(Path);
  UnZip.FileSpec = {"*"};
  EXPECT_EQ(UnZip.ExtractToNul(), 1500);
  EXPECT_EQ(std::count(UnZip.Log.begin(), UnZip.Log.end(), "end:" + NameOf(1499) + ":1"), 1);
  for (const int I : {0, 617, 618, 619, 1499}) {
    UnZip.FileSpec = {NameOf(I)};
    kst::TDecompMemoryStream Stream;
    ASSERT_EQ(UnZip.ExtractToMemoryStream(&Stream), 1) << I;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Stream.Memory()), static_cast<size_t>(Stream.Size())),
              "entry " + std::to_string(I));
  }
}

TEST(UnZipSelection, OneExtractorTakingEntriesByNameFollowsTheArchiveFile) {
  ScratchDir Dir;
  const std::string Path = Dir / "names.zip";
  const auto Write = [&Path](const std::string& First) {
    ZipBuilder()
        .Add({First, "first"})
        .Add({"docs/A.TXT", "docs"})
        .Add({"b.", "b"})
        .Add({"w?.txt", "w"})
        .Add({"c.txt", "c"})
        .Write(Path);
  };
  struct TCase {
    const char* Pattern;
    int32_t Count;
  };
  const auto RunAll = [](RecordingUnZip& UnZip, const std::vector<TCase>& Cases) {
    for (const TCase& Case : Cases) {
      UnZip.FileSpec = {Case.Pattern};
      EXPECT_EQ(UnZip.ExtractToNul(), Case.Count) << Case.Pattern;
    }
  };
  Write("a.txt");
  RecordingUnZip UnZip;
  UnZip.SetArchiveFile(Path);
  const std::vector<TCase> Cases = {{"a.txt", 2}, {"B", 1}, {"wx.txt", 1}, {"C.TXT", 1}, {"*.txt", 4}, {"none", 0}};
  RunAll(UnZip, Cases);
  // The second time over the names the first walk learnt.
  RunAll(UnZip, Cases);
  // A run that selects nothing leaves the last name walked.
  EXPECT_EQ(UnZip.StoredName, "c.txt");
  // The same size and last write time, one name changed.
  platform::FileTimes Times;
  ASSERT_TRUE(platform::GetFileTimes(Path, Times));
  Write("x.txt");
  ASSERT_TRUE(platform::SetFileTimes(Path, Times));
  RunAll(UnZip, {{"x.txt", 1}, {"a.txt", 1}});
}

TEST(UnZipSelection, NothingSelectedFiresOnlyActivateAndDeactivate) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {"missing.txt"});
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(UnZip.ExtractToMemoryStream(&Stream), 0);
  EXPECT_EQ(UnZip.Log, (std::vector<std::string>{"activate", "deactivate"}));
  EXPECT_EQ(Stream.Count(), 0);
}

TEST(UnZipFiles, PatternWithoutFolderLandsInEachStoredFolder) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {"a.txt"});
  ASSERT_EQ(UnZip.Extract(), 2);
  EXPECT_EQ(ReadText(A.Dir / Native("out\\a.txt")), "root a");
  EXPECT_EQ(ReadText(A.Dir / Native("out\\docs\\a.txt")), "docs a");

  RecordingUnZip Flat;
  A.Open(Flat, {"b.txt"});
  Flat.UseStoredDirs = false;
  ASSERT_EQ(Flat.Extract(), 1);
  EXPECT_EQ(ReadText(A.Dir / Native("out\\b.txt")), "deep b");
}

TEST(UnZipFiles, FolderEntriesMakeFoldersOnlyWhenAsked) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {"*.*"});
  EXPECT_EQ(UnZip.Extract(), 4);
  EXPECT_TRUE(platform::Exists(A.Dir / Native("out\\empty.bin")));
  EXPECT_EQ(ReadText(A.Dir / Native("out\\empty.bin")), "");
  EXPECT_FALSE(platform::Exists(A.Dir / Native("out\\void")));
  EXPECT_FALSE(platform::Exists(A.Dir / Native("out\\made")));
  EXPECT_EQ(UnZip.Count("end:"), 4);  // folders end without OnEnd
  for (const auto& [Name, Pass] : UnZip.CrcOf) EXPECT_TRUE(Pass) << Name;

  RecordingUnZip Creating;
  A.Open(Creating, {"*.*"});
  Creating.CreateStoredDirs = true;
  EXPECT_EQ(Creating.Extract(), 4);
  EXPECT_FALSE(platform::Exists(A.Dir / Native("out\\void")));  // never selected
  EXPECT_TRUE(kst::DirExists(A.Dir / Native("out\\made")));
}

TEST(UnZipEvents, OrderOfOneRun) {
  ScratchDir Dir;
  const std::string Path = Dir / "ev.zip";
  ZipBuilder().Add({"x.txt", std::string(1000, 'x'), 8, 0x20, 0x2A434883, "pw"}).Write(Path);
  ScratchDir::WriteText(Dir / "x.txt", "old");
  RecordingUnZip UnZip;
  UnZip.SetArchiveFile(Path);
  UnZip.FileSpec = {"*.*"};
  UnZip.SetExtractDir(Dir.Path());
  UnZip.OnGetPassword = [&](kst::TUnBase*, const std::string&, std::string& Password, bool&) {
    UnZip.Log.push_back("password");
    Password = "pw";
  };
  UnZip.OnFileExists = [&](kst::TUnBase*, const std::string&, std::string&, kst::TOverwriteMode&) {
    UnZip.Log.push_back("exists");
  };
  UnZip.OnProgress = [&](kst::TUnBase*, uint8_t ByFile, uint8_t ByArchive) {
    UnZip.Log.push_back("progress:" + std::to_string(ByFile) + "/" + std::to_string(ByArchive));
  };
  UnZip.OnElapsedTime = [&](kst::TZipCommon*, float) { UnZip.Log.push_back("elapsed"); };
  ASSERT_EQ(UnZip.Extract(), 1);
  const std::string Out = UnZip.FileName;
  EXPECT_EQ(UnZip.Log, (std::vector<std::string>{"activate", "password", "begin:" + Out, "exists", "progress:100/100",
                                                 "end:" + Out + ":1", "elapsed", "deactivate"}));
  EXPECT_EQ(ReadText(Dir / "x.txt"), std::string(1000, 'x'));
}

TEST(UnZipOverwrite, SkipWithoutConfirmationExtractsNothing) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {"*.*"});
  UnZip.OverwriteMode = kst::omSkip;
  EXPECT_EQ(UnZip.Extract(), 0);
  EXPECT_EQ(UnZip.Count("begin:"), 0);
  EXPECT_FALSE(platform::Exists(A.Dir / Native("out\\a.txt")));
}

TEST(UnZipOverwrite, ConfirmationWithoutHandlerSkipsExistingFilesFromThenOn) {
  FolderArchive A;
  platform::MakeDirectory(A.Dir / "out");
  ScratchDir::WriteText(A.Dir / Native("out\\a.txt"), "keep");
  RecordingUnZip UnZip;
  A.Open(UnZip, {"*.*"});
  UnZip.ConfirmOverwrites = true;
  EXPECT_EQ(UnZip.Extract(), 0);  // a.txt came first and switched the run to skipping
  EXPECT_EQ(UnZip.Errors, std::vector<int>{kst::ErrEventNotAssigned});
  EXPECT_EQ(UnZip.OverwriteMode, kst::omSkip);
  EXPECT_EQ(ReadText(A.Dir / Native("out\\a.txt")), "keep");
}

TEST(UnZipOverwrite, NewNameThatExistsIsAskedAgain) {
  FolderArchive A;
  platform::MakeDirectory(A.Dir / "out");
  ScratchDir::WriteText(A.Dir / Native("out\\a.txt"), "keep");
  ScratchDir::WriteText(A.Dir / Native("out\\a1.txt"), "keep too");
  RecordingUnZip UnZip;
  A.Open(UnZip, {"a.txt"});
  UnZip.RecurseDirs = false;
  UnZip.UseStoredDirs = false;
  UnZip.ConfirmOverwrites = true;
  std::vector<std::string> Asked;
  UnZip.OnFileExists = [&](kst::TUnBase*, const std::string& Name, std::string& NewName, kst::TOverwriteMode&) {
    Asked.push_back(Name.substr(Name.find_last_of("\\/") + 1));
    if (Asked.size() == 1) NewName = Name.substr(0, Name.size() - 5) + "a1.txt";
    if (Asked.size() == 2) NewName = Name.substr(0, Name.size() - 6) + "a2.txt";
  };
  EXPECT_EQ(UnZip.Extract(), 2);  // both a.txt entries
  EXPECT_EQ(ReadText(A.Dir / Native("out\\a2.txt")), "root a");
  EXPECT_EQ(ReadText(A.Dir / Native("out\\a1.txt")), "keep too");
  ASSERT_GE(Asked.size(), 2u);
  EXPECT_EQ(Asked[0], "a.txt");
  EXPECT_EQ(Asked[1], "a1.txt");
}

TEST(UnZipOverwrite, SameNameInOtherCaseOverwritesAndSkipLeavesTheFile) {
  FolderArchive A;
  platform::MakeDirectory(A.Dir / "out");
  ScratchDir::WriteText(A.Dir / Native("out\\a.txt"), "keep");
  RecordingUnZip UnZip;
  A.Open(UnZip, {"a.txt"});
  UnZip.RecurseDirs = false;
  UnZip.ConfirmOverwrites = true;
  UnZip.OnFileExists = [](kst::TUnBase*, const std::string&, std::string&, kst::TOverwriteMode& Mode) {
    Mode = kst::omSkip;
  };
  EXPECT_EQ(UnZip.Extract(), 1);  // only docs\a.txt, which does not exist yet
  EXPECT_EQ(ReadText(A.Dir / Native("out\\a.txt")), "keep");
  UnZip.OnFileExists = [](kst::TUnBase*, const std::string& Name, std::string& NewName, kst::TOverwriteMode&) {
    NewName = Name;
    for (char& C : NewName) C = char(toupper(static_cast<unsigned char>(C)));
  };
  EXPECT_EQ(UnZip.Extract(), 2);
  EXPECT_EQ(ReadText(A.Dir / Native("out\\a.txt")), "root a");
}

TEST(UnZipOverwrite, ReadOnlyFileIsReplaced) {
  FolderArchive A;
  platform::MakeDirectory(A.Dir / "out");
  const std::string Target = A.Dir / Native("out\\a.txt");
  ScratchDir::WriteText(Target, "old");
  platform::SetAttributes(Target, platform::kAttrReadOnly);
  RecordingUnZip UnZip;
  A.Open(UnZip, {"a.txt"});
  UnZip.RecurseDirs = false;
  EXPECT_EQ(UnZip.Extract(), 2);
  EXPECT_EQ(ReadText(Target), "root a");
}

TEST(UnZipStreams, SameEntryTwiceAppendsASecondItem) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {"b.txt"});
  kst::TDecompMemoryStream Stream;
  UnZip.ExtractToMemoryStream(&Stream);
  Stream.SetPosition(Stream.Size());
  UnZip.ExtractToMemoryStream(&Stream);
  ASSERT_EQ(Stream.Count(), 2);
  EXPECT_EQ(Stream.GetFileOffset(0), 0u);
  EXPECT_EQ(Stream.GetFileOffset(1), 6u);
  EXPECT_EQ(Stream.GetFileName(1), "docs\\sub\\b.txt");
  EXPECT_EQ(Stream.Size(), 12);
  EXPECT_EQ(Stream.Position(), 0);
}

TEST(UnZipStreams, EmptyEntryGivesAnItemWithoutBytes) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {"empty.bin"});
  kst::TDecompMemoryStream Stream;
  EXPECT_EQ(UnZip.ExtractToMemoryStream(&Stream), 1);
  ASSERT_EQ(Stream.Count(), 1);
  EXPECT_EQ(Stream.GetFileSize(0), 0u);
  EXPECT_EQ(Stream.Size(), 0);
  EXPECT_TRUE(UnZip.CrcOf["empty.bin"]);
}

// A stream that takes only part of what it is given.
struct ShortStream : kst::TOutStream {
  int64_t Write(const void*, int64_t Count) override { return Count / 2; }
  void SetPosition(int64_t) override {}
};

TEST(UnZipStreams, ShortWriteFailsTheEntryWithoutAReport) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {});
  ShortStream Out;
  UnZip.ExtractToFileStream("a.txt", &Out);
  EXPECT_TRUE(UnZip.Errors.empty());
  EXPECT_EQ(UnZip.Count("end:"), 2);
  for (const auto& [Name, Pass] : UnZip.CrcOf) EXPECT_FALSE(Pass) << Name;
}

TEST(UnZipRefusals, MissingArchiveStreamOrBufferRaise) {
  RecordingUnZip UnZip;
  UnZip.FileSpec = {"*.*"};
  EXPECT_THROW(UnZip.Extract(), kst::E_RAISE);
  EXPECT_EQ(UnZip.Errors, std::vector<int>{kst::ErrFileNotFound});
  EXPECT_EQ(UnZip.Count("activate"), 0);

  FolderArchive A;
  A.Open(UnZip, {"*.*"});
  UnZip.Errors.clear();
  EXPECT_THROW(UnZip.ExtractToMemoryStream(nullptr), kst::E_RAISE);
  EXPECT_THROW(UnZip.ExtractToFileStream("a.txt", nullptr), kst::E_RAISE);
  EXPECT_THROW(UnZip.ExtractToPointer("a.txt", nullptr), kst::E_RAISE);
  EXPECT_EQ(UnZip.Errors, (std::vector<int>{kst::ErrNoMemoryStream, kst::ErrNoFileStream, kst::ErrNoFileStream}));
  EXPECT_EQ(UnZip.FileSpec, kst::TStringList{"*.*"});
}

TEST(UnZipTargets, PointerTargetRefusesEveryEntry) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {});
  char Buffer[64];
  UnZip.ExtractToPointer("a.txt", Buffer);
  EXPECT_EQ(std::count(UnZip.Errors.begin(), UnZip.Errors.end(), kst::ErrOpenFile), 2);
  for (const auto& [Name, Pass] : UnZip.CrcOf) EXPECT_FALSE(Pass) << Name;
}

TEST(UnZipTargets, VerifyChecksEveryEntryAndReportsDamage) {
  RecordingUnZip Good;
  Good.Open("izip_deflate6.zip");
  EXPECT_EQ(Good.ExtractToVerify(), 5);
  for (const auto& [Name, Pass] : Good.CrcOf) EXPECT_TRUE(Pass) << Name;

  RecordingUnZip Bad(false);
  Bad.Open("bad_deflate_midstream.zip");
  Bad.ExtractToVerify();
  EXPECT_EQ(std::count(Bad.Errors.begin(), Bad.Errors.end(), kst::ErrCrcCheck), 1);
}

TEST(UnZipDamage, BlockTypeThreeEndsTheEntryWithProgressAtItsEnd) {
  RecordingUnZip UnZip;
  UnZip.Open("bad_deflate_btype3.zip");
  UnZip.FileSpec = {"lorem.txt"};
  int LastByArchive = -1;
  UnZip.OnProgress = [&](kst::TUnBase*, uint8_t, uint8_t ByArchive) { LastByArchive = ByArchive; };
  UnZip.ExtractToNul();
  EXPECT_NE(std::find(UnZip.Errors.begin(), UnZip.Errors.end(), kst::ErrBadBlock), UnZip.Errors.end());
  EXPECT_FALSE(UnZip.CrcOf["lorem.txt"]);
  EXPECT_EQ(LastByArchive, 100);
}

TEST(UnZipDamage, TruncatedDirectoryIsWalkedOverLocalHeadersUnlessRefused) {
  RecordingUnZip UnZip;
  ASSERT_TRUE(UnZip.Open("truncated_in_cd.zip"));
  EXPECT_EQ(UnZip.ExtractToVerify(), 3);
  for (const auto& [Name, Pass] : UnZip.CrcOf) EXPECT_TRUE(Pass) << Name;

  RecordingUnZip Refusing;
  Refusing.Open("truncated_in_cd.zip");
  int Asked = 0;
  Refusing.OnCorruptZipHeader = [&](kst::TUnBase*, uint8_t Flag, bool& Cancel) {
    ++Asked;
    EXPECT_EQ(Flag, 0x10);
    EXPECT_TRUE(Cancel);
  };
  EXPECT_EQ(Refusing.ExtractToVerify(), 0);
  EXPECT_EQ(Asked, 1);
}

// Streaming writers (flag bit 3) leave CRC 0 in the local header: the central
// record's CRC decides, so right bytes pass and a damaged byte still fails.
TEST(UnZipStreamed, CheckedAgainstTheCentralCrc) {
  RecordingUnZip UnZip(false);
  UnZip.Open("py_streamed.zip");
  UnZip.FileSpec = {"lorem.txt"};
  kst::TDecompMemoryStream Stream;
  UnZip.ExtractToMemoryStream(&Stream);
  EXPECT_TRUE(UnZip.Errors.empty());
  EXPECT_EQ(skwtest::Sha256Hex(Stream.Memory(), size_t(Stream.Size())),
            "27723df3502cd4b81e708267281c6c3dfecc3fd8cab23d6e88f369e5af30c24b");

  skwtest::HostileZip Zip;
  skwtest::HostileEntry Entry = skwtest::StoredEntry("s.txt", "streamed");
  Entry.Flags = 8;
  Entry.LocalCrc = Entry.LocalPackedSize = Entry.LocalUnpackedSize = 0;
  Entry.Plain = Entry.Data;
  Entry.Data[3] ^= 1;
  Zip.Entries.push_back(Entry);
  const skwtest::HostileFile Damaged(Zip.Build());
  RecordingUnZip Check(false);
  Check.SetArchiveFile(Damaged.Path());
  Check.FileSpec = {"*.*"};
  Check.ExtractToVerify();
  EXPECT_EQ(Check.Errors, std::vector<int>{kst::ErrCrcCheck});
}

// Without a central directory the data descriptor behind the data holds the
// CRC, with or without its signature; without a descriptor the local CRC stands.
TEST(UnZipStreamed, LocalWalkReadsTheDataDescriptor) {
  const skwtest::TBytes Plain = skwtest::BytesOf("streamed");
  const uint32_t Crc = skwtest::HostileCrc32(Plain);
  struct TCase {
    bool Signature;
    uint32_t DescriptorCrc;
    bool Descriptor;
    bool Passes;
  };
  for (const TCase& C : {TCase{true, Crc, true, true}, TCase{false, Crc, true, true}, TCase{true, Crc ^ 1, true, false},
                         TCase{false, 0, false, false}}) {
    skwtest::HostileZip Zip;
    skwtest::HostileEntry Entry = skwtest::StoredEntry("s.txt", "streamed");
    Entry.Flags = 8;
    Entry.LocalCrc = 0;
    Entry.WriteCentral = false;
    Zip.WriteEnd = false;
    if (C.Descriptor) {
      if (C.Signature) skwtest::Put32(Entry.Data, 0x08074B50);
      skwtest::Put32(Entry.Data, C.DescriptorCrc);
      skwtest::Put32(Entry.Data, uint32_t(Plain.size()));
      skwtest::Put32(Entry.Data, uint32_t(Plain.size()));
    }
    Entry.LocalPackedSize = Entry.LocalUnpackedSize = uint32_t(Plain.size());
    Zip.Entries.push_back(Entry);
    const skwtest::HostileFile File(Zip.Build());
    RecordingUnZip UnZip;
    UnZip.SetArchiveFile(File.Path());
    UnZip.FileSpec = {"*.*"};
    UnZip.ExtractToVerify();
    EXPECT_EQ(UnZip.CrcOf["s.txt"], C.Passes) << C.Signature << C.Descriptor;
  }
}

// A streamed entry with zero sizes in its local header is measured (a Deflate
// stream by decoding it, stored data by a descriptor matching the bytes passed
// over), so the local walk goes on to the next entry; damaged stored data match
// no descriptor and the walk ends there.
TEST(UnZipStreamed, LocalWalkFindsTheEndOfEntriesWithoutSizes) {
  const skwtest::TBytes Plain = skwtest::BytesOf("streamed without sizes");
  struct TCase {
    uint16_t Method;
    bool Signature;
    bool Damaged;
  };
  for (const TCase& C : {TCase{8, true, false}, TCase{8, false, false}, TCase{0, true, false}, TCase{0, false, false},
                         TCase{0, true, true}}) {
    skwtest::HostileZip Zip;
    skwtest::HostileEntry Entry = C.Method == 8 ? skwtest::DeflateEntry("s.txt", skwtest::StoredDeflate(Plain), Plain)
                                                : skwtest::StoredEntry("s.txt", "streamed without sizes");
    const uint32_t Packed = uint32_t(Entry.Data.size());
    if (C.Signature) skwtest::Put32(Entry.Data, 0x08074B50);
    skwtest::Put32(Entry.Data, skwtest::HostileCrc32(Plain));
    skwtest::Put32(Entry.Data, Packed);
    skwtest::Put32(Entry.Data, uint32_t(Plain.size()));
    if (C.Damaged) Entry.Data[2] ^= 1;
    Entry.Flags = 8;
    Entry.LocalCrc = Entry.LocalPackedSize = Entry.LocalUnpackedSize = 0;
    Entry.WriteCentral = false;
    skwtest::HostileEntry After = skwtest::StoredEntry("after.txt", "next");
    After.WriteCentral = false;
    Zip.Entries = {Entry, After};
    Zip.WriteEnd = false;
    const skwtest::HostileFile File(Zip.Build());
    RecordingUnZip UnZip;
    UnZip.SetArchiveFile(File.Path());
    UnZip.FileSpec = {"*.*"};
    UnZip.ExtractToVerify();
    const std::string Case = std::to_string(C.Method) + " " + std::to_string(C.Signature);
    EXPECT_EQ(UnZip.CrcOf["s.txt"], !C.Damaged) << Case;
    EXPECT_EQ(UnZip.CrcOf.count("after.txt"), C.Damaged ? 0u : 1u) << Case;
  }
}

TEST(UnZipRun, CancelFromOnBeginStopsTheRun) {
  FolderArchive A;
  RecordingUnZip UnZip;
  A.Open(UnZip, {"*.*"});
  UnZip.OnBegin = [&](kst::TUnBase* Sender, const std::string&, int32_t, bool&) {
    UnZip.Log.push_back("begin");
    Sender->SetCancel(true);
  };
  EXPECT_EQ(UnZip.ExtractToNul(), 0);
  EXPECT_EQ(UnZip.Count("begin"), 1);
  EXPECT_EQ(UnZip.Log.back(), "deactivate");
}

TEST(UnZipFiles, DatesAndAttributes) {
  ScratchDir Dir;
  const std::string Path = Dir / "dates.zip";
  ZipBuilder().Add({"old.txt", "o", 0, 0x20, 0x2A434883}).Add({"new.txt", "n", 0, 0x01, 0x3C434883}).Write(Path);
  const auto Extract = [&](kst::TDateAttribute Mode, bool Restore) {
    RecordingUnZip UnZip;
    UnZip.SetArchiveFile(Path);
    UnZip.FileSpec = {"*.*"};
    UnZip.ConfirmOverwrites = false;
    UnZip.SetExtractDir(Dir / "out");
    UnZip.DateAttribute = Mode;
    UnZip.RestoreFileAttr = Restore;
    platform::SetAttributes(Dir / Native("out\\new.txt"), 0);
    return UnZip.Extract();
  };
  const auto DosDate = [&](const std::string& Name) {
    platform::FileTimes Times;
    platform::GetFileTimes(Dir / Native("out\\" + Name), Times);
    return kst::TFileTimeToInt(Times.LastWrite);
  };
  ASSERT_EQ(Extract(kst::daFileDate, true), 2);
  EXPECT_EQ(DosDate("old.txt"), 0x2A434883u);
  EXPECT_EQ(DosDate("new.txt"), 0x3C434883u);
  EXPECT_NE(platform::GetAttributes(Dir / Native("out\\new.txt")) & platform::kAttrReadOnly, 0u);
  EXPECT_EQ(platform::GetAttributes(Dir / Native("out\\old.txt")) & platform::kAttrReadOnly, 0u);

  ASSERT_EQ(Extract(kst::daMaxFileDate, false), 2);
  EXPECT_EQ(DosDate("old.txt"), 0x3C434883u);
  EXPECT_EQ(platform::GetAttributes(Dir / Native("out\\new.txt")) & platform::kAttrReadOnly, 0u);
}

}  // namespace
