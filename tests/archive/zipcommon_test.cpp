// The components' common base: configuration defaults, the cancel flag, error
// reporting with and without a handler, the stopwatch around error handlers, the
// archive-kind tables, and the archive path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/identify/Kstbase.h"
#include "archive/Kstgbls.h"
#include "tests/support/TestData.h"

namespace {

using namespace kst;

struct TReport {
  TZipCommon* Sender;
  std::string FileName;
  std::string ExtendedMsg;
  std::string VolumeID;
  int32_t ECode;
};

class ZipCommonTest : public ::testing::Test {
 protected:
  // Records every report; the handler sets Cancel to SetCancelTo when given.
  void RecordErrors(int SetCancelTo = -1) {
    Common.OnError = [this, SetCancelTo](TZipCommon* Sender, std::string FileName, std::string ExtendedMsg,
                                         std::string VolumeID, int32_t ECode) {
      Reports.push_back({Sender, FileName, ExtendedMsg, VolumeID, ECode});
      if (SetCancelTo >= 0) Sender->SetCancel(SetCancelTo == 1);
    };
  }

  void Raise(int32_t ECode) { Common.RaiseError(TExceptionClass::E_RAISE, "a.zip", "", "0", ECode); }

  TZipCommon Common;
  std::vector<TReport> Reports;
};

TEST_F(ZipCommonTest, Defaults) {
  EXPECT_TRUE(Common.FileSpec.empty());
  EXPECT_TRUE(Common.ExcludeSpec.empty());
  EXPECT_TRUE(Common.ExcludeExts().empty());
  EXPECT_TRUE(Common.Passwords.empty());
  EXPECT_EQ(Common.PasswordAttempts, 3);
  EXPECT_TRUE(Common.UseStoredDirs);
  EXPECT_TRUE(Common.ConfirmOverwrites);
  EXPECT_EQ(Common.OverwriteMode, omOverwrite);
  EXPECT_EQ(Common.DateAttribute, daFileDate);
  EXPECT_EQ(Common.DeleteOptions, doAllowUndo);
  EXPECT_TRUE(Common.TranslateOemChar);
  EXPECT_EQ(Common.StoredDirNames, sdRelative);
  EXPECT_EQ(Common.ExtractDir(), "");
  EXPECT_FALSE(Common.FileAttribute.ftDirectory());
  EXPECT_FALSE(Common.FileAttribute.ftAnyFile());
  EXPECT_EQ(Common.FileAttribute.ftFileAttr(), 0x2Fu);
  EXPECT_FALSE(Common.GetCancel());
  EXPECT_EQ(Common.ArcType(), atNA);
  EXPECT_EQ(Common.ArcTypeName(), "Not avail. ");
}

TEST_F(ZipCommonTest, RaiseErrorWithoutHandlerThrowsTheBareText) {
  try {
    Raise(ErrOpenFile);
    FAIL() << "no exception";
  } catch (const E_RAISE& E) {
    EXPECT_STREQ(E.what(), "Error opening file");
  }
  EXPECT_THROW(Raise(25103), E_RAISE);
  try {
    Raise(25103);
  } catch (const E_RAISE& E) {
    EXPECT_STREQ(E.what(), "");
  }
}

TEST_F(ZipCommonTest, RaiseErrorWhileCancelledReturns) {
  Common.SetCancel(true);
  EXPECT_NO_THROW(Raise(ErrOpenFile));
}

TEST_F(ZipCommonTest, HandlerThatCancelsGetsTheIdentifierAndSwallowsTheError) {
  RecordErrors(1);
  EXPECT_NO_THROW(Common.RaiseError(TExceptionClass::E_RAISE, "x.bmp", "OnRead", "0", ErrEventNotAssigned));
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].Sender, &Common);
  EXPECT_EQ(Reports[0].FileName, "x.bmp");
  EXPECT_EQ(Reports[0].ExtendedMsg, "OnRead");
  EXPECT_EQ(Reports[0].VolumeID, "0");
  EXPECT_EQ(Reports[0].ECode, ErrEventNotAssigned);
}

TEST_F(ZipCommonTest, HandlerWhileCancelledGetsUserCanceled) {
  RecordErrors();
  Common.SetCancel(true);
  EXPECT_NO_THROW(Raise(ErrCrcCheck));
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].ECode, ErrUserCanceled);
}

TEST_F(ZipCommonTest, HandlerThatClearsCancelGetsTheCancelText) {
  RecordErrors(0);
  Common.SetCancel(true);
  try {
    Raise(ErrCrcCheck);
    FAIL() << "no exception";
  } catch (const E_RAISE& E) {
    EXPECT_STREQ(E.what(), "User canceled");
  }
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].ECode, ErrUserCanceled);
}

TEST_F(ZipCommonTest, HandlerThatLeavesCancelAloneStillThrows) {
  RecordErrors();
  EXPECT_THROW(Raise(ErrBadBlock), E_RAISE);
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].ECode, ErrBadBlock);
}

TEST_F(ZipCommonTest, RaiseErrorStrNeverThrows) {
  EXPECT_NO_THROW(Common.RaiseErrorStr("a.zip", "", "0", ErrOpenFile));
  RecordErrors();
  Common.RaiseErrorStr("a.zip", "", "0", ErrOpenFile);
  Common.SetCancel(true);
  Common.RaiseErrorStr("a.zip", "", "0", ErrOpenFile);
  ASSERT_EQ(Reports.size(), 2u);
  EXPECT_EQ(Reports[0].ECode, ErrOpenFile);
  EXPECT_EQ(Reports[1].ECode, ErrUserCanceled);
}

TEST_F(ZipCommonTest, CancelFlagCanLiveElsewhere) {
  bool Shared = false;
  Common.SetCancelFlag(&Shared);
  Shared = true;
  EXPECT_TRUE(Common.GetCancel());
  Common.SetCancel(false);
  EXPECT_FALSE(Shared);
  Common.SetCancel(true);
  Common.SetCancelFlag(nullptr);
  EXPECT_FALSE(Common.GetCancel());
  EXPECT_TRUE(Shared);
}

TEST_F(ZipCommonTest, StopwatchLeavesOutTimeInErrorHandlers) {
  uint32_t Now = 1000;
  Common.Timer().SetTickSource([&Now] { return Now; });
  Common.OnError = [&Now](TZipCommon*, std::string, std::string, std::string, int32_t) { Now += 3000; };
  Common.Timer().Start();
  Now += 500;
  EXPECT_THROW(Raise(ErrBadBlock), E_RAISE);  // the pause ends on the exception too
  Now += 250;
  Common.RaiseErrorStr("a.zip", "", "0", ErrOpenFile);
  Now += 250;
  Common.Timer().Stop();
  EXPECT_FLOAT_EQ(Common.Timer().ElapsedTime(), 1.0f);
}

TEST(KstTimer, PausesNestAndTheTickCounterMayWrap) {
  uint32_t Now = 0xFFFFFF00u;
  TkstTimer Timer([&Now] { return Now; });
  Timer.Stop();  // not running: nothing happens
  EXPECT_EQ(Timer.ElapsedTime(), 0.0f);
  Timer.Start();
  Now += 0x100;  // wraps to 0
  Timer.Suspend();
  Now += 100;
  Timer.Suspend();
  Now += 100;
  Timer.Resume();
  Now += 100;
  Timer.Resume();
  Timer.Resume();  // unmatched: ignored
  Now += 0x100;
  Timer.Stop();
  EXPECT_FLOAT_EQ(Timer.ElapsedTime(), 0.512f);
  EXPECT_FALSE(Timer.Running());
}

TEST_F(ZipCommonTest, ZipCmntBufSizeIsClamped) {
  const std::pair<int32_t, int32_t> Cases[] = {{100, 2000},  {40000, 32767}, {2000, 2000},      {32767, 32767},
                                               {5000, 5000}, {-1, 2000},     {INT32_MAX, 32767}};
  for (const auto& [Value, Stored] : Cases) {
    Common.SetZipCmntBufSize(Value);
    EXPECT_EQ(Common.ZipCmntBufSize(), Stored) << Value;
  }
}

TEST(ArcTypeTables, DisplayNamesHaveFixedWidths) {
  for (int T = 0; T < ArcTypeCount; ++T) {
    const std::string Name = ArcTypeDisplayName(static_cast<TArcType>(T));
    EXPECT_EQ(Name.size(), T == atNA ? 11u : 10u) << T;
  }
  EXPECT_EQ(ArcTypeDisplayName(atMSGZ), "MsGZ     \t");
  EXPECT_EQ(ArcTypeDisplayName(atBhExe), "BH  SFX   ");
  EXPECT_EQ(ArcTypeDisplayName(atJarExe), "JJAR SFX  ");
  EXPECT_EQ(ArcTypeDisplayName(atZipMV), "Zip MVol  ");
  EXPECT_EQ(ArcTypeDisplayName(atZoo), "ZOO       ");
  EXPECT_EQ(atZoo, 31);
  EXPECT_EQ(atZip, 28);
}

TEST(ArcTypeTables, ArchiveExtensions) {
  EXPECT_EQ(TZipCommon::IsArchiveExt(".uue"), 0);
  EXPECT_EQ(TZipCommon::IsArchiveExt(".zip"), 6);
  EXPECT_EQ(TZipCommon::IsArchiveExt(".JaR"), JarExtIndex);
  EXPECT_EQ(TZipCommon::IsArchiveExt(".tgz"), 19);
  EXPECT_EQ(TZipCommon::IsArchiveExt(".7z"), -1);
  EXPECT_EQ(TZipCommon::IsArchiveExt("zip"), -1);
  EXPECT_EQ(TZipCommon::IsArchiveExt(""), -1);
  EXPECT_EQ(ArchiveExt(JarExtIndex), ".JAR");
  EXPECT_EQ(ArchiveExt(20), "");
}

TEST(ArcTypeTables, CapabilitySets) {
  int Valid = 0, Decompressable = 0, Searchable = 0, Verifyable = 0, Compressable = 0, Editable = 0;
  for (int T = 0; T < ArcTypeCount; ++T) {
    const auto A = static_cast<TArcType>(T);
    Valid += TZipCommon::IsArcValid(A);
    Decompressable += TZipCommon::IsArcDecompressable(A);
    Searchable += TZipCommon::IsArcSearchable(A);
    Verifyable += TZipCommon::IsArcVerifyable(A);
    Compressable += TZipCommon::IsArcCompressable(A);
    Editable += TZipCommon::IsCommentEditable(A);
    EXPECT_EQ(TZipCommon::IsArcValid(A), T > atUnknown) << T;
  }
  EXPECT_EQ(Valid, 28);
  EXPECT_EQ(Decompressable, 23);
  EXPECT_EQ(Searchable, 24);
  EXPECT_EQ(Verifyable, 23);
  EXPECT_EQ(Compressable, 8);
  EXPECT_EQ(Editable, 2);
  for (TArcType A : {atHA, atMSGZ, atPak, atPakExe, atJarExe}) EXPECT_FALSE(TZipCommon::IsArcDecompressable(A)) << A;
  EXPECT_TRUE(TZipCommon::IsArcSearchable(atJarExe));
  EXPECT_TRUE(TZipCommon::IsArcSearchable(atCab));
  EXPECT_FALSE(TZipCommon::IsArcVerifyable(atCab));
  EXPECT_FALSE(TZipCommon::IsArcCompressable(atZipExe));
  EXPECT_TRUE(TZipCommon::IsCommentEditable(atZipExe));
  EXPECT_FALSE(TZipCommon::IsCommentEditable(atJar));
  EXPECT_FALSE(TZipCommon::IsArcValid(static_cast<TArcType>(200)));
}

TEST_F(ZipCommonTest, ArchivePathUsesBackslashes) {
  Common.SetArchiveFile("C:/packs/a.zip");
  EXPECT_EQ(Common.ArchiveFile(), "C:\\packs\\a.zip");
  Common.SetArchiveFile("");
  EXPECT_EQ(Common.ArchiveFile(), "");
  EXPECT_EQ(Common.ArcType(), atNA);
}

TEST_F(ZipCommonTest, WhileLoadingAMissingArchiveIsForgotten) {
  Common.BeginLoading();
  Common.SetArchiveFile(skwtest::DataPath("zip/no-such-file.zip"));
  EXPECT_EQ(Common.ArchiveFile(), "");
  EXPECT_EQ(Common.ArcType(), atNA);
  const std::string Existing = skwtest::DataPath("zip/empty.zip");
  Common.SetArchiveFile(Existing);
  EXPECT_EQ(Common.ArchiveFile(), UnixToDosFilename(Existing));
  Common.Loaded();
  EXPECT_FALSE(Common.Loading());
  Common.SetArchiveFile(skwtest::DataPath("zip/no-such-file.zip"));
  EXPECT_NE(Common.ArchiveFile(), "");
}

TEST_F(ZipCommonTest, ExtractDirGetsATailOrTheArchiveFolder) {
  Common.SetExtractDir("C:/out");
  EXPECT_EQ(Common.ExtractDir(), "C:\\out\\");
  Common.SetExtractDir("");
  EXPECT_EQ(Common.ExtractDir(), "");
  Common.SetArchiveFile("C:\\packs\\a.zip");
  Common.SetExtractDir("");
  EXPECT_EQ(Common.ExtractDir(), "C:\\packs\\");
}

class SetFilenameTest : public ::testing::Test {
 protected:
  void SetUp() override { Common.SetExtractDir("C:\\out"); }
  std::string PathOf(const std::string& Stored) {
    Common.SetFilename(Stored);
    return Common.FileName;
  }
  TZipCommon Common;
};

TEST_F(SetFilenameTest, StoredFoldersLandBelowExtractDir) {
  EXPECT_EQ(PathOf("credits.txt"), "C:\\out\\credits.txt");
  EXPECT_EQ(PathOf("sub\\x.bmp"), "C:\\out\\sub\\x.bmp");
  EXPECT_EQ(PathOf("\\abs\\y.bmp"), "C:\\out\\abs\\y.bmp");
  EXPECT_EQ(PathOf("D:\\abs\\y.bmp"), "C:\\out\\abs\\y.bmp");
  EXPECT_EQ(PathOf("D:y.bmp"), "C:\\out\\y.bmp");
  EXPECT_EQ(PathOf(":"), "C:\\out\\");
  EXPECT_EQ(PathOf(""), "");
}

TEST_F(SetFilenameTest, WithoutStoredDirsOnlyTheNameIsKept) {
  Common.UseStoredDirs = false;
  EXPECT_EQ(PathOf("sub\\x.bmp"), "C:\\out\\x.bmp");
}

TEST_F(SetFilenameTest, EmptyExtractDirTakesTheArchiveFolder) {
  Common.SetExtractDir("");
  Common.SetArchiveFile("C:\\packs\\a.zip");
  Common.SetExtractDir("");
  EXPECT_EQ(PathOf("credits.txt"), "C:\\packs\\credits.txt");
  EXPECT_EQ(Common.ExtractDir(), "C:\\packs\\");
}

TEST_F(SetFilenameTest, FolderWithoutDriveIsRootedAndArchiveWithoutFolderUsesCurrentDir) {
  Common.SetExtractDir("out");
  EXPECT_EQ(PathOf("a.txt"), "\\out\\a.txt");
  Common.SetExtractDir("");
  Common.SetArchiveFile("a.zip");
  Common.SetExtractDir("");
  EXPECT_EQ(Common.ExtractDir(), "");
  const std::string Path = PathOf("a.txt");
  EXPECT_FALSE(Common.ExtractDir().empty());
  EXPECT_EQ(Path.substr(Path.size() - 6), "\\a.txt");
}

}  // namespace
