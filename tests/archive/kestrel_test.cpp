// The lister's behaviour beyond plain listing: the accessors' 0 and -1 answers,
// name matching ("credits.txt" finding CREDITS.TXT and doc\credits.txt, the later
// entry winning), FilesInArchive appending and emptying, the errors of a walk
// that cannot start, handlers set aside and restored by DoQueryInfo, cancelling
// from OnRead, the corrupt-header event, archive and entry comments, names (OEM,
// UTF-8 flag, longer than 255 bytes) and the ratio arithmetic.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/list/Kstkestrel.h"
#include "platform/FileSystem.h"
#include "tests/kit/ZipWriter.h"
#include "tests/platform/ScratchDir.h"
#include "tests/support/TestData.h"

namespace {

using namespace kst;
using skwtest::DataPath;
using skwtest::MakeEntry;

class KestrelTest : public ::testing::Test {
 protected:
  KestrelTest() {
    Lister.OnError = [this](TZipCommon*, std::string, std::string Extended, std::string, int32_t Code) {
      Errors.push_back(Code);
      ExtendedMessages.push_back(Extended);
    };
  }

  void Open(const std::string& CorpusName) { Lister.SetArchiveFile(DataPath("zip/" + CorpusName)); }

  void OpenWritten(const std::vector<skwtest::ZipWriterEntry>& Entries, const skwtest::ZipWriterOptions& Options = {}) {
    const std::string Path = Dir / "made.zip";
    ASSERT_TRUE(skwtest::WriteFileBytes(Path, skwtest::WriteZip(Entries, Options)));
    Lister.SetArchiveFile(Path);
  }

  std::vector<std::string> Names() {
    std::vector<std::string> List;
    Lister.FilesInArchive(&List);
    return List;
  }

  skwtest::ScratchDir Dir;
  TKestrel Lister;
  std::vector<int32_t> Errors;
  std::vector<std::string> ExtendedMessages;
};

TEST_F(KestrelTest, UnpackedSizeAnswers) {
  EXPECT_EQ(Lister.GetFileUnpackedSize("hello.txt"), -1) << "no archive";
  Open("no-such-file.zip");
  EXPECT_EQ(Lister.GetFileUnpackedSize("hello.txt"), -1) << "missing archive";
  Open("hello.txt.gz");
  EXPECT_EQ(Lister.GetFileUnpackedSize("hello.txt"), -1) << "not a ZIP";
  Open("izip_store.zip");
  EXPECT_EQ(Lister.GetFileUnpackedSize("absent.txt"), 0) << "valid archive, no such entry";
  EXPECT_EQ(Lister.GetFileCrc("absent.txt"), 0);
  EXPECT_EQ(Lister.GetFileDate("absent.txt"), 0.0);
  EXPECT_EQ(Lister.GetFileUnpackedSize("empty.txt"), 0) << "stored entry of 0 bytes";
  EXPECT_EQ(Lister.GetFileUnpackedSize("lorem.txt"), 6000);
  EXPECT_EQ(Lister.GetFilePackedSize("lorem.txt"), 6000);
  EXPECT_EQ(uint32_t(Lister.GetFileCrc("LOREM.TXT")), 0x9C4EDF56u);
  EXPECT_FALSE(Lister.GetFileInfo(""));
  EXPECT_EQ(Lister.FileSpec, TStringList{}) << "FileSpec restored";
  EXPECT_EQ(Lister.Operation, opRead) << "Operation restored";
}

TEST_F(KestrelTest, NameMatchingTakesTheLaterEntry) {
  OpenWritten({MakeEntry("CREDITS.TXT", "first"), MakeEntry("doc/credits.txt", "the later one"),
               MakeEntry("credits.txt.bak", "not this")});
  EXPECT_EQ(Lister.GetFileUnpackedSize("credits.txt"), 13);
  EXPECT_EQ(Lister.FileName, "credits.txt.bak") << "FileName follows every entry read";
  EXPECT_EQ(Lister.GetFileUnpackedSize("CREDITS.TXT"), 13);
  EXPECT_EQ(Lister.GetFileUnpackedSize("doc\\credits.txt"), 13);
  OpenWritten({MakeEntry("doc/credits.txt", "the first"), MakeEntry("CREDITS.TXT", "last")});
  EXPECT_EQ(Lister.GetFileUnpackedSize("credits.txt"), 4);
}

TEST_F(KestrelTest, FilesInArchiveAppendsAndEmpties) {
  Open("izip_folders.zip");
  Lister.FileSpec = {"*.bmp"};
  std::vector<std::string> List = {"already here"};
  Lister.FilesInArchive(&List);
  EXPECT_EQ(List, (std::vector<std::string>{"already here", "img\\logo.bmp", "img\\gradient24.bmp"}));
  Lister.FilesInArchive(nullptr);
  EXPECT_EQ(Lister.Operation, opRead);

  Lister.FileSpec.clear();
  List = {"kept"};
  Lister.FilesInArchive(&List);
  EXPECT_EQ(List, std::vector<std::string>{"kept"}) << "an empty FileSpec passes nothing";

  Lister.FileSpec = {"*.*"};
  Open("nineteen_bytes.zip");
  Lister.FilesInArchive(&List);
  EXPECT_TRUE(List.empty()) << "a walk that does not run empties the list";
}

TEST_F(KestrelTest, StarDotStarPassesNamesWithoutExtension) {
  OpenWritten({MakeEntry("README", "x"), MakeEntry("dir/Makefile", "y"), MakeEntry("a.b", "z")});
  Lister.FileSpec = {"*.*"};
  EXPECT_EQ(Names(), (std::vector<std::string>{"README", "dir\\Makefile", "a.b"}));
  Lister.FileSpec = {"*"};
  EXPECT_EQ(Names(), (std::vector<std::string>{"README", "dir\\Makefile"}));
}

TEST_F(KestrelTest, WalksThatCannotStart) {
  const auto Activate = [this] {
    Errors.clear();
    ExtendedMessages.clear();
    return Lister.Activate();
  };
  Lister.FileSpec = {"*.*"};
  EXPECT_FALSE(Activate());
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrFileNotFound});

  Open("izip_store.zip");
  EXPECT_FALSE(Activate());
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrEventNotAssigned});
  EXPECT_EQ(ExtendedMessages, std::vector<std::string>{"OnRead"});

  Lister.OnRead = [](TKestrel*, int32_t, int32_t) {};
  Open("appended_after_5000.zip");
  EXPECT_FALSE(Activate());
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrUnknownFileType});
  Open("hello.txt.gz");
  EXPECT_FALSE(Activate());
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrArcTypeUnsupported});
  Open("nineteen_bytes.zip");
  EXPECT_FALSE(Activate());
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrFileNotFound});

  const std::string Path = Dir / "gone.zip";
  ASSERT_TRUE(skwtest::WriteFileBytes(Path, skwtest::WriteZip({MakeEntry("a.txt", "a")})));
  Lister.SetArchiveFile(Path);
  ASSERT_TRUE(platform::RemoveFile(Path));
  EXPECT_FALSE(Activate());
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrFileNotFound});
}

TEST_F(KestrelTest, BadFirstHeaderIsReportedButTheWalkSucceeds) {
  // Zero bytes, then an end record naming a directory at 0 (and a comment): the
  // local-header walk starts at the end record.
  skwtest::HostileZip Zip;
  Zip.Prefix.assign(100, 0);
  Zip.End.DirOffset = 0;
  Zip.End.Comment = std::string(20, 'c');
  const std::string Path = Dir / "bad.zip";
  ASSERT_TRUE(skwtest::WriteFileBytes(Path, Zip.Build()));
  Lister.SetArchiveFile(Path);
  EXPECT_EQ(Lister.ArcType(), atZip);
  Lister.FileSpec = {"*.*"};
  Lister.OnRead = [](TKestrel*, int32_t, int32_t) { FAIL(); };
  EXPECT_TRUE(Lister.Activate());
  EXPECT_EQ(Errors, std::vector<int32_t>{ErrBadFileHeader});

  Errors.clear();
  Open("izip_store.zip");
  Lister.FileSpec = {"no-match.*"};
  EXPECT_TRUE(Lister.Activate());
  EXPECT_TRUE(Errors.empty()) << "a walk that matched nothing has no bad header";
}

TEST_F(KestrelTest, QueriesSetTheCallersHandlersAsideAndRestoreThem) {
  Open("izip_store.zip");
  std::vector<std::string> Fired;
  Lister.OnRead = [&](TKestrel*, int32_t, int32_t) { Fired.push_back("Read"); };
  Lister.OnReadBegin = [&](TKestrel*) { Fired.push_back("ReadBegin"); };
  Lister.OnReadEnd = [&](TKestrel*) { Fired.push_back("ReadEnd"); };
  Lister.OnActivate = [&](TKestrel*) { Fired.push_back("Activate"); };
  Lister.OnDeactivate = [&](TKestrel*) { Fired.push_back("Deactivate"); };
  Lister.OnTotals = [&](TKestrel*, int32_t, int32_t, int32_t, int32_t) { Fired.push_back("Totals"); };
  int ReadFiles = 0;
  Lister.OnReadFile = [&](TKestrel*, std::string) { ++ReadFiles; };
  EXPECT_EQ(Lister.GetFileUnpackedSize("hello.txt"), 53);
  EXPECT_TRUE(Fired.empty());
  EXPECT_EQ(ReadFiles, 6) << "OnReadFile stays the caller's";

  Lister.OnReadFile = [](TKestrel*, std::string) { throw std::runtime_error("handler failed"); };
  EXPECT_EQ(Lister.GetFileUnpackedSize("hello.txt"), -1);
  EXPECT_EQ(Lister.Operation, opRead);
  Lister.OnReadFile = nullptr;
  Lister.FileSpec = {"one.txt"};
  EXPECT_TRUE(Lister.Activate());
  EXPECT_EQ(Fired, (std::vector<std::string>{"Activate", "ReadBegin", "Read", "ReadEnd", "Totals", "Deactivate"}));
}

TEST_F(KestrelTest, CancelFromOnReadStillEndsTheWalkProperly) {
  Open("izip_store.zip");
  Lister.FileSpec = {"*.*"};
  int Reads = 0;
  std::vector<int32_t> Totals;
  bool Deactivated = false;
  bool Elapsed = false;
  Lister.OnRead = [&](TKestrel* L, int32_t, int32_t) {
    ++Reads;
    L->SetCancel(true);
  };
  Lister.OnTotals = [&](TKestrel*, int32_t Unpack, int32_t Pack, int32_t, int32_t Files) {
    Totals = {Unpack, Pack, Files};
  };
  Lister.OnDeactivate = [&](TKestrel*) { Deactivated = true; };
  Lister.OnElapsedTime = [&](TZipCommon*, float) { Elapsed = true; };
  EXPECT_TRUE(Lister.Activate());
  EXPECT_EQ(Reads, 1);
  EXPECT_EQ(Totals, (std::vector<int32_t>{53, 53, 1}));
  EXPECT_TRUE(Deactivated);
  EXPECT_TRUE(Elapsed);

  Lister.OnRead = [&](TKestrel*, int32_t, int32_t) { throw std::runtime_error("stop"); };
  Deactivated = false;
  EXPECT_FALSE(Lister.Activate()) << "an exception ends the walk and never reaches the caller";
  EXPECT_TRUE(Deactivated);
}

TEST_F(KestrelTest, TotalsAndDirectoryEntries) {
  Open("izip_folders.zip");
  Lister.FileSpec = {"*.*"};
  Lister.ShowEmptyDirs = true;
  std::vector<std::string> Methods;
  std::vector<int32_t> Totals;
  Lister.OnRead = [&](TKestrel* L, int32_t, int32_t) { Methods.push_back(L->CompressionMethodName); };
  Lister.OnTotals = [&](TKestrel*, int32_t Unpack, int32_t Pack, int32_t Ratio, int32_t Files) {
    Totals = {Unpack, Pack, Ratio, Files};
  };
  EXPECT_TRUE(Lister.Activate());
  EXPECT_EQ(Methods,
            (std::vector<std::string>{"", "DeflateX", "", "", "Stored", "DeflateX", "", "DeflateX", "DeflateX"}));
  EXPECT_EQ(Totals, (std::vector<int32_t>{900 + 300 + 5174 + 36918, 330 + 165 + 1077 + 8131,
                                          TKestrel::CalcRatio(9703, 43292), 5}));
}

TEST_F(KestrelTest, CorruptHeaderEventDecides) {
  Open("prefix_zeros1000.zip");
  ASSERT_EQ(Lister.HeadFlag, 0x10);
  Lister.FileSpec = {"*.*"};
  int Reads = 0;
  Lister.OnRead = [&](TKestrel*, int32_t, int32_t) { ++Reads; };
  std::vector<int> Seen;
  Lister.OnCorruptZipHeader = [&](TKestrel*, uint8_t Flag, bool& Cancel) {
    Seen.push_back(Flag);
    (void)Cancel;
  };
  EXPECT_TRUE(Lister.Activate());
  EXPECT_EQ(Reads, 0) << "by default a damaged directory lists nothing";
  EXPECT_EQ(Seen, std::vector<int>{0x10});
  Lister.OnCorruptZipHeader = [&](TKestrel*, uint8_t, bool& Cancel) { Cancel = false; };
  EXPECT_TRUE(Lister.Activate());
  EXPECT_EQ(Reads, 3);
}

TEST_F(KestrelTest, ArchiveComments) {
  std::vector<char> Buffer(size_t(Lister.ZipCmntBufSize()), '\0');
  Open("izip_comments.zip");
  const int32_t Length = Lister.GetArchiveComment(Buffer.data());
  EXPECT_EQ(Length, 67);
  EXPECT_NE(std::string(Buffer.data(), size_t(Length)).find("Second lin"), std::string::npos);
  EXPECT_EQ(Lister.HeadFlag, 0x19);

  Open("sfx_at7612.exe");
  EXPECT_EQ(Lister.GetArchiveComment(Buffer.data()), 0);
  EXPECT_EQ(Lister.HeadFlag, 0x10) << "the comment search leaves the walk's header state alone";
  EXPECT_EQ(Lister.GetFileUnpackedSize("credits.txt"), 1200);

  Open("long_comment_33000.zip");
  EXPECT_EQ(Lister.GetArchiveComment(Buffer.data()), 0) << "longer than the buffer: no end record found";
  EXPECT_EQ(Lister.GetFileUnpackedSize("one.txt"), 1) << "walked over the local headers";

  Errors.clear();
  Open("no-such.zip");
  EXPECT_EQ(Lister.GetArchiveComment(Buffer.data()), 0);
  EXPECT_EQ(Errors.back(), ErrFileNotFound);

  // A comment that fits the window but not a smaller buffer is cut to the buffer.
  skwtest::ZipWriterOptions Options;
  Options.ArchiveComment = std::string(1990, 'c');
  OpenWritten({MakeEntry("a.txt", "a")}, Options);
  Lister.SetZipCmntBufSize(2000);
  std::vector<char> Small(2000 + 8, 'z');
  EXPECT_EQ(Lister.GetArchiveComment(Small.data()), 1990);
  EXPECT_EQ(Small[1990], 'z');
}

TEST_F(KestrelTest, EntryCommentsAreCutAtAZeroByte) {
  Open("py_comments.zip");
  Lister.FileSpec = {"*.*"};
  std::vector<std::string> Comments;
  Lister.OnRead = [&](TKestrel* L, int32_t, int32_t) { Comments.push_back(L->FileComment); };
  EXPECT_TRUE(Lister.Activate());
  ASSERT_EQ(Comments.size(), 2u);
  EXPECT_EQ(Comments[0].size(), 10u);
  EXPECT_EQ(Comments[1].size(), 19u);
  EXPECT_TRUE(Lister.FileComment.empty()) << "released after each record";
}

TEST_F(KestrelTest, EntryNames) {
  Open("py_name300.zip");
  Lister.FileSpec = {"*.*"};
  const std::vector<std::string> Long = Names();
  ASSERT_EQ(Long.size(), 2u);
  EXPECT_EQ(Long[0].size(), 300u) << "read in full";
  EXPECT_EQ(Long[1], "after.txt");

  if (!platform::kIsWindows) {
    Open("py_cp437_names.zip");
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"Grüße-ÄÖÜ.txt", "résumé\\ça-ñ.txt", "box─│█-½.txt", "utf8-été-€.txt"}))
        << "OEM names converted, the UTF-8 flagged one kept";
    Lister.TranslateOemChar = false;
    EXPECT_EQ(Names()[0],
              "Gr\x81\xE1"
              "e-\x8E\x99\x9A.txt");
    Open("izip_utf8name.zip");
    Lister.TranslateOemChar = true;
    EXPECT_EQ(Names()[0], "café-ü-p.txt") << "UTF-8 bytes without the flag, made on Unix";
  }
}

TEST_F(KestrelTest, LocalWalkStopsAfterADeferredSizeEntry) {
  skwtest::ZipWriterEntry Streamed = MakeEntry("second.txt", "streamed data");
  Streamed.Flags = 0x08;
  Streamed.ZeroLocalSizes = true;
  skwtest::ZipWriterOptions Options;
  Options.CentralDirectory = false;
  Options.EndRecord = false;
  OpenWritten({MakeEntry("first.txt", "one"), Streamed, MakeEntry("third.txt", "three")}, Options);
  ASSERT_EQ(Lister.HeadFlag, 0x10);
  Lister.FileSpec = {"*.*"};
  std::vector<int32_t> Offsets;
  Lister.OnRead = [&](TKestrel*, int32_t Offset, int32_t) { Offsets.push_back(Offset); };
  EXPECT_TRUE(Lister.Activate());
  EXPECT_EQ(Offsets, (std::vector<int32_t>{0, 30 + 9 + 3}));
}

TEST(KestrelRatio, CalcRatio) {
  EXPECT_EQ(TKestrel::CalcRatio(0, 100), 0);
  EXPECT_EQ(TKestrel::CalcRatio(100, 0), 0);
  EXPECT_EQ(TKestrel::CalcRatio(100, 100), 0);
  EXPECT_EQ(TKestrel::CalcRatio(120, 100), 0);
  EXPECT_EQ(TKestrel::CalcRatio(50, 100), 50);
  EXPECT_EQ(TKestrel::CalcRatio(999, 1000), 1) << "never rounds down to 0";
  EXPECT_EQ(TKestrel::CalcRatio(100, 200000), 99) << "large sizes divided by 100 first";
  EXPECT_EQ(TKestrel::CalcRatio(3000000000u, 4000000000u), 25) << "no overflow";
}

}  // namespace
