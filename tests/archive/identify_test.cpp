// Identification of archives from their bytes: the real archives of the corpus
// (plain, jar, empty, too short, gzip, self-extracting layouts, data in front,
// long comment, missing end record) and hand-made files for the signature table,
// the executable searches, the UUE and TAR tests, the JAR rule and the volume
// numbers of multi-volume sets.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/list/Kstkestrel.h"
#include "tests/kit/ZipWriter.h"
#include "tests/platform/ScratchDir.h"
#include "tests/support/TestData.h"

namespace {

using namespace kst;
using skwtest::DataPath;
using skwtest::ReadFileBytes;
using skwtest::WriteFileBytes;

// The central directory offset an end record without comment at the file's end names.
uint32_t EndRecordDirectoryOffset(const std::string& Path) {
  const std::vector<uint8_t> Bytes = ReadFileBytes(Path);
  if (Bytes.size() < 22) return 0;
  return GetLE32(&Bytes[Bytes.size() - 22 + 16]);
}

struct CorpusCase {
  const char* File;
  TArcType Type;
  int64_t DataOffset;  // -1: the end record's directory offset
  uint8_t HeadFlag;
};

TEST(IdentifyCorpus, StructuralCases) {
  const CorpusCase Cases[] = {
      {"izip_store.zip", atZip, -1, 0x19},
      {"izip_split_marker.zip", atZip, -1, 0x19},
      {"jar_default.jar", atJar, -1, 0x19},
      {"jar_nomanifest.zip", atZip, -1, 0x19},
      {"empty.zip", atZip, 0, 0x10},
      {"nineteen_bytes.zip", atFileOpenErr, 1, 0x00},
      {"hello.txt.gz", atGZip, 1, 0x00},
      {"sfx_at7612.exe", atZipExe, 7612, 0x10},
      {"sfx_stub128.exe", atZipExe, -1, 0x19},
      {"sfx_stub128_unadjusted.exe", atZipExe, 128, 0x10},
      {"prefix_zeros1000.zip", atZip, 1000, 0x10},
      {"prefix_zeros1000_adjusted.zip", atZip, -1, 0x19},
      {"appended_after_5000.zip", atUnknown, 5000, 0x10},
      {"long_comment_33000.zip", atZip, 0, 0x10},
      {"truncated_in_cd.zip", atZip, 0, 0x10},
  };
  for (const CorpusCase& Case : Cases) {
    SCOPED_TRACE(Case.File);
    const std::string Path = DataPath(std::string("zip/") + Case.File);
    TKestrel Lister;
    Lister.SetArchiveFile(Path);
    EXPECT_EQ(Lister.ArcType(), Case.Type);
    EXPECT_EQ(Lister.DataOffset, Case.DataOffset < 0 ? EndRecordDirectoryOffset(Path) : uint32_t(Case.DataOffset));
    EXPECT_EQ(Lister.HeadFlag, Case.HeadFlag);
  }
}

TEST(IdentifyCorpus, PathStatesAndDates) {
  TKestrel Lister;
  std::vector<int32_t> Errors;
  Lister.OnError = [&](TZipCommon*, std::string, std::string, std::string, int32_t Code) { Errors.push_back(Code); };
  Lister.SetArchiveFile("");
  EXPECT_EQ(Lister.ArcType(), atNA);
  EXPECT_TRUE(Errors.empty());

  Lister.SetArchiveFile(DataPath("zip/no-such-archive.zip"));
  EXPECT_EQ(Lister.ArcType(), atFileOpenErr);
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrOpenFile});

  Lister.SetArchiveFile(DataPath("zip/izip_store.zip"));
  EXPECT_EQ(Lister.ArcType(), atZip);
  EXPECT_NE(Lister.ArchiveDate, 29221u);
  EXPECT_NE(Lister.ArchiveDate, 0u);
  EXPECT_EQ(Lister.ArchiveFile().find('/'), std::string::npos) << "separators become backslashes";

  Lister.SetArchiveFile(DataPath("zip/appended_after_5000.zip"));
  EXPECT_EQ(Lister.ArchiveDate, 29221u);

  // Assigning any kind identifies again and keeps what the bytes say.
  Lister.SetArchiveFile(DataPath("zip/hello.txt.gz"));
  Lister.SetArcType(atZip);
  EXPECT_EQ(Lister.ArcType(), atGZip);
}

class IdentifyFileTest : public ::testing::Test {
 protected:
  TKestrel& Identify(const std::vector<uint8_t>& Bytes, const std::string& Name = "file.bin") {
    const std::string Path = Dir / Name;
    EXPECT_TRUE(WriteFileBytes(Path, Bytes));
    Lister.SetArchiveFile(Path);
    return Lister;
  }
  TKestrel& Identify(const std::string& Text, const std::string& Name = "file.bin") {
    return Identify(std::vector<uint8_t>(Text.begin(), Text.end()), Name);
  }

  // Names of the entries a "*.*" walk reports.
  std::vector<std::string> Walk() {
    std::vector<std::string> Names;
    Lister.FileSpec = {"*.*"};
    Lister.OnRead = [&](TKestrel* L, int32_t, int32_t) { Names.push_back(L->FileName); };
    EXPECT_TRUE(Lister.Activate());
    return Names;
  }

  // An executable: "MZ", the DOS image size fields for an image of ImageEnd
  // bytes (0: no usable image size), padded with Fill to Size bytes.
  static std::string Executable(size_t Size, uint32_t ImageEnd, char Fill = 'x') {
    std::string Bytes(Size, Fill);
    Bytes[0] = 'M';
    Bytes[1] = 'Z';
    const uint32_t Pages = ImageEnd == 0 ? 0 : ImageEnd / 512 + 1;
    const uint32_t Last = ImageEnd % 512;
    Bytes[2] = char(Last & 0xFF);
    Bytes[3] = char(Last >> 8);
    Bytes[4] = char(Pages & 0xFF);
    Bytes[5] = char(Pages >> 8);
    return Bytes;
  }

  static std::string Placed(std::string Bytes, size_t At, const std::string& What) {
    Bytes.replace(At, What.size(), What);
    return Bytes;
  }

  static std::string OneEntryZip(const skwtest::ZipWriterOptions& Options = {}) {
    const std::vector<uint8_t> Bytes = skwtest::WriteZip({skwtest::MakeEntry("inside.txt", "hello")}, Options);
    return std::string(Bytes.begin(), Bytes.end());
  }

  skwtest::ScratchDir Dir;
  TKestrel Lister;
};

TEST_F(IdentifyFileTest, SignaturesAtTheStartOfPlainFiles) {
  const std::string Filler(64, 'x');
  const struct {
    std::string Start;
    TArcType Type;
  } Cases[] = {
      {"MSCF", atCab},
      {"\x42\x48\x05\x07", atBh},
      {"\x13\x5D\x65\x8C", atMSGZ},
      {"HA", atHA},
      {"\x1F\x8B", atGZip},
      {"\x1F\x9D", atGZip},
      {"%!", atGZip},
      {"\x60\xEA", atArj},
      {"ZO", atZoo},
      {"xx-l", atLha},
      {"Rar!", atRar},
      {"\x1A\x0B", atPak},
      {"\x1A\x02", atArc},
      {"\x1A\x09", atArc},
      {"PK\x01\x02", atNA},
      {"PK\x47\x34", atNA},
      {"plain text", atUnknown},
      {"xxxxxxx**ACE**", atAce},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Start);
    EXPECT_EQ(Identify(Placed(Filler, 0, Case.Start)).ArcType(), Case.Type);
  }
  EXPECT_EQ(Identify(Placed(Filler, 0, "\xB7\x92")).ArcType(), atArcExe);
  EXPECT_EQ(Lister.DataOffset, 7717u);
}

TEST_F(IdentifyFileTest, SignatureTableByMode) {
  Identify(std::string(64, 'x'));
  const THandle None = kstInvalidHandle;
  EXPECT_EQ(Lister.TAT(None, 0, 0x00008B1F), atUnsupported);
  EXPECT_EQ(Lister.TAT(None, 1, 0x00008B1F), atGZip);
  EXPECT_EQ(Lister.TAT(None, 2, 0x00008B1F), atNA);
  EXPECT_EQ(Lister.TAT(None, 0, 0x04034B50), atZipExe);
  EXPECT_EQ(Lister.TAT(None, 2, 0x04034B50), atNA);
  EXPECT_EQ(Lister.TAT(None, 0, 0x21726152), atRarExe);
  EXPECT_EQ(Lister.TAT(None, 0, 0x0000EA60), atArjExe);
  EXPECT_EQ(Lister.TAT(None, 0, 0x4643534D), atUnsupported);
  Lister.HeadFlag = 0;
  EXPECT_EQ(Lister.TAT(None, 2, 0x08074B50), atZip) << "same result in every mode";
  EXPECT_EQ(Lister.HeadFlag, 0x10);
  EXPECT_EQ(Lister.TAT(None, 2, 0x12345678), atUnknown);
}

TEST_F(IdentifyFileTest, TooShortFiles) {
  EXPECT_EQ(Identify(std::string("PK\x03\x04") + std::string(15, 'x')).ArcType(), atFileOpenErr);
  EXPECT_EQ(Identify(std::string("PK\x03\x04") + std::string(16, 'x')).ArcType(), atZip);
}

TEST_F(IdentifyFileTest, ZeroBytesInFrontOfAZipWithoutDirectory) {
  skwtest::ZipWriterOptions Options;
  Options.Prefix = std::string(300, '\0');
  Options.CentralDirectory = false;
  Options.EndRecord = false;
  Identify(OneEntryZip(Options));
  EXPECT_EQ(Lister.ArcType(), atZip);
  EXPECT_EQ(Lister.DataOffset, 300u);
  EXPECT_EQ(Lister.HeadFlag, 0x10);
  EXPECT_EQ(Walk(), std::vector<std::string>{"inside.txt"});
}

TEST_F(IdentifyFileTest, TextInFrontOfAZip) {
  skwtest::ZipWriterOptions Options;
  Options.Prefix = "#!/bin/sh\necho hello\n";
  Options.AdjustOffsets = true;
  Identify(OneEntryZip(Options));
  EXPECT_EQ(Lister.ArcType(), atZip) << "offsets counted from the file's start: the directory is found";
  EXPECT_EQ(Lister.HeadFlag, 0x19);
  EXPECT_EQ(Walk(), std::vector<std::string>{"inside.txt"});

  Options.AdjustOffsets = false;
  Identify(OneEntryZip(Options));
  EXPECT_EQ(Lister.ArcType(), atUnknown) << "the fallback scan leaves no end-record bit";
  EXPECT_EQ(Lister.HeadFlag, 0x10);
  EXPECT_EQ(Lister.DataOffset, Options.Prefix.size());
}

TEST_F(IdentifyFileTest, UueText) {
  EXPECT_EQ(Identify("begin 644 a.txt\nM86)C\n`\nend\n").ArcType(), atUue);
  EXPECT_EQ(Lister.DataOffset, 1u);
  EXPECT_EQ(Identify("Some mail text\r\nbegin 755 run.sh\nM86)C\nend\n").ArcType(), atUue);
  EXPECT_EQ(Identify("Some mail text, then begin 644 a.txt in a line\n").ArcType(), atUnknown);
  EXPECT_EQ(Identify("Some mail text\nbegin 544 a.txt\n.........\n").ArcType(), atUnknown);
}

std::string TarHeader(const std::string& Name, char Type, bool BreakChecksum = false) {
  std::string Block(512, '\0');
  const auto Put = [&Block](size_t At, const std::string& Text) { Block.replace(At, Text.size(), Text); };
  Put(0, Name);
  Put(100, "0000644");
  Put(124, "00000000005");
  Block[156] = Type;
  Put(148, "        ");
  unsigned Sum = 0;
  for (unsigned char C : Block) Sum += C;
  if (BreakChecksum) ++Sum;
  char Field[8];
  std::snprintf(Field, sizeof Field, "%06o", Sum);
  Put(148, std::string(Field, 6) + '\0');
  return Block;
}

TEST_F(IdentifyFileTest, TarHeaders) {
  const std::string Data = "hello" + std::string(507, '\0') + std::string(1024, '\0');
  EXPECT_EQ(Identify(TarHeader("a.txt", '0') + Data).ArcType(), atTar);
  EXPECT_EQ(Lister.DataOffset, 1u);
  EXPECT_EQ(Identify(TarHeader("a.txt", '0', true) + Data).ArcType(), atUnknown);
  EXPECT_EQ(Identify(TarHeader("VOLUME", 'V') + TarHeader("a.txt", '0') + Data).ArcType(), atTar);
  EXPECT_EQ(Lister.DataOffset, 513u);
}

TEST_F(IdentifyFileTest, ArchiveAtTheEndOfTheDosImage) {
  EXPECT_EQ(Identify(Placed(Executable(2000, 612), 612, "Rar!")).ArcType(), atRarExe);
  EXPECT_EQ(Lister.DataOffset, 613u);
  EXPECT_EQ(Identify(Placed(Executable(2000, 612), 614, "\x60\xEA")).ArcType(), atArjExe);
  EXPECT_EQ(Lister.DataOffset, 615u);
  EXPECT_EQ(Identify(Placed(Executable(2000, 612), 612, "\x1F\x8B")).ArcType(), atUnknown)
      << "gzip inside an executable cannot be read";
}

TEST_F(IdentifyFileTest, SelfExtractorOffsets) {
  skwtest::ZipWriterOptions Options;
  Options.CentralDirectory = false;
  Options.EndRecord = false;
  EXPECT_EQ(Identify(Placed(Executable(30000, 0), 25661, OneEntryZip(Options))).ArcType(), atZipExe);
  EXPECT_EQ(Lister.DataOffset, 25661u);
  EXPECT_EQ(Lister.HeadFlag, 0x10);
  EXPECT_EQ(Walk(), std::vector<std::string>{"inside.txt"});

  EXPECT_EQ(Identify(Placed(Executable(9000, 0), 7716, "\x1A\x09")).ArcType(), atArcExe);
  EXPECT_EQ(Lister.DataOffset, 7717u);
}

TEST_F(IdentifyFileTest, ByteSearchInsideExecutables) {
  skwtest::ZipWriterOptions Options;
  Options.CentralDirectory = false;
  Options.EndRecord = false;
  EXPECT_EQ(Identify(Placed(Executable(40000, 0), 30000, OneEntryZip(Options)), "setup.exe").ArcType(), atZipExe);
  EXPECT_EQ(Lister.DataOffset, 30000u);
  EXPECT_EQ(Walk(), std::vector<std::string>{"inside.txt"});

  EXPECT_EQ(Identify(Placed(Executable(40000, 0), 20000, "Rar!")).ArcType(), atRarExe);
  EXPECT_EQ(Lister.DataOffset, 20001u);
  EXPECT_EQ(Identify(Placed(Executable(40000, 0), 18000, "-lh5-")).ArcType(), atLhaExe);
  EXPECT_EQ(Lister.DataOffset, 17999u);
  EXPECT_EQ(Identify(Placed(Executable(40000, 0), 20000, "xxxxxxx**ACE**")).ArcType(), atAceExe);
  EXPECT_EQ(Lister.DataOffset, 20001u);
  EXPECT_EQ(Identify(Placed(Executable(40000, 0), 16000, "Rar!")).ArcType(), atUnknown) << "the search starts at 17000";
  EXPECT_EQ(Identify(Placed(Executable(250000, 0), 17000 + 6 * 32768 + 10, "Rar!")).ArcType(), atUnknown)
      << "the search covers six blocks";
}

TEST_F(IdentifyFileTest, JarRule) {
  const std::vector<uint8_t> Zip = ReadFileBytes(DataPath("zip/izip_store.zip"));
  EXPECT_EQ(Identify(Zip, "PACK.JAR").ArcType(), atJar);
  EXPECT_EQ(Identify(Zip, "pack.jar").ArcType(), atJar);
  EXPECT_EQ(Identify(Zip, "pack.jar.zip").ArcType(), atZip);
  const std::string Exe = Placed(Executable(40000, 0), 30000, OneEntryZip());
  EXPECT_EQ(Identify(Exe, "pack.jar").ArcType(), atZipExe) << "only plain ZIPs become atJar";
}

TEST_F(IdentifyFileTest, VolumeNumbersOfMultiVolumeSets) {
  const std::string Rar = "Rar!" + std::string(60, 'x');
  EXPECT_EQ(Identify(Rar, "set.rar").VolumeNumber, 0);
  EXPECT_EQ(Identify(Rar, "set.r01").VolumeNumber, 2);
  EXPECT_EQ(Lister.VolumeLetter, 'r');
  EXPECT_EQ(Identify(Rar, "set.s12").VolumeNumber, 13);
  EXPECT_EQ(Lister.VolumeLetter, 's');
  const std::string Arj = "\x60\xEA" + std::string(60, 'x');
  EXPECT_EQ(Identify(Arj, "set.arj").VolumeNumber, 1);
  EXPECT_EQ(Identify(Arj, "set.a05").VolumeNumber, 6);
  EXPECT_EQ(Identify(OneEntryZip(), "set.r01").VolumeNumber, 0) << "only for ACE, ARJ and RAR";
  EXPECT_THROW(Identify(Rar, "set.r0a"), std::invalid_argument);
}

TEST_F(IdentifyFileTest, CommentLongerThanTheBufferHidesTheEndRecord) {
  skwtest::ZipWriterOptions Options;
  Options.ArchiveComment = std::string(3000, 'c');
  Identify(OneEntryZip(Options));
  EXPECT_EQ(Lister.HeadFlag, 0x19);
  Lister.SetZipCmntBufSize(2000);
  Lister.SetArcType(atZip);
  EXPECT_EQ(Lister.ArcType(), atZip);
  EXPECT_EQ(Lister.HeadFlag, 0x10);
  EXPECT_EQ(Lister.DataOffset, 0u);
  EXPECT_EQ(Walk(), std::vector<std::string>{"inside.txt"});
}

TEST_F(IdentifyFileTest, EndRecordSearchOrderAndFallbackReach) {
  // An end-record signature inside the archive comment is nearer the end: it
  // wins, names no central header, and the fallback scan finds the local header.
  skwtest::ZipWriterOptions Options;
  Options.ArchiveComment = "note PK\x05\x06" + std::string(18, '\xFF') + " end";
  Identify(OneEntryZip(Options));
  EXPECT_EQ(Lister.ArcType(), atZip);
  EXPECT_EQ(Lister.HeadFlag, 0x10);
  EXPECT_EQ(Lister.DataOffset, 0u);

  // The fallback scan reads the first 128 KiB only.
  Options = {};
  Options.Prefix = std::string(140000, 't');
  Identify(OneEntryZip(Options));
  EXPECT_EQ(Lister.ArcType(), atUnknown);
  EXPECT_EQ(Lister.HeadFlag, 0x01);
  EXPECT_EQ(Lister.DataOffset, 0u);
}

}  // namespace
