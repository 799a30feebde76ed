// Tests of the pack trailer: which 12-byte endings count as a trailer (magic,
// extension field, length bounds), and the trailer check of set-up, which copies
// the appended archive to a uniquely named temporary file ending in
// tmp-<ext>.zip and leaves the archive path alone when there is no trailer.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "installer/Trailer.h"
#include "tests/platform/ScratchDir.h"

namespace {

using skw::ParseTrailer;

std::string Trailer(const std::string& Magic, const std::string& Ext, uint32_t Length) {
  std::string Bytes = Magic + Ext;
  for (int Shift = 0; Shift < 32; Shift += 8) Bytes += static_cast<char>((Length >> Shift) & 0xFF);
  return Bytes;
}

std::string ReadAll(const std::string& Path) {
  std::ifstream File(platform::NativePath(Path), std::ios::binary);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

const std::string kMagic("SKW\0", 4);

TEST(ParseTrailer, AcceptsBinAndPalInEitherCase) {
  for (const char* Ext : {"bin", "pal", "BIN", "PAL"}) {
    const auto Parsed = ParseTrailer(Trailer(kMagic, std::string(Ext) + '\0', 300), 1000);
    ASSERT_TRUE(Parsed) << Ext;
    EXPECT_EQ(Parsed->Extension, Ext);
    EXPECT_EQ(Parsed->Length, 300u);
  }
  // Any extension of letters and digits is read; set-up rejects it by its name.
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, std::string("txt\0", 4), 5), 100)->Extension, "txt");
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, "bins", 5), 100)->Extension, "bins");
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, std::string("b\0\0\0", 4), 5), 100)->Extension, "b");
}

TEST(ParseTrailer, MagicMustBeExactlySkwAndAZeroByte) {
  const std::string Ext("bin\0", 4);
  EXPECT_FALSE(ParseTrailer(Trailer(std::string("skw\0", 4), Ext, 5), 100));
  EXPECT_FALSE(ParseTrailer(Trailer("SKWX", Ext, 5), 100));
  EXPECT_FALSE(ParseTrailer(Trailer(std::string("SK\0\0", 4), Ext, 5), 100));
}

TEST(ParseTrailer, MalformedExtensionCountsAsAbsent) {
  for (const std::string& Ext : {std::string("\0bin", 4), std::string("b-n\0", 4), std::string("b n\0", 4),
                                 std::string("bi\xE9\0", 4), std::string("..\0\0", 4)})
    EXPECT_FALSE(ParseTrailer(Trailer(kMagic, Ext, 5), 100));
}

TEST(ParseTrailer, LengthBoundedByTheBytesInFrontOfTheTrailer) {
  const std::string Ext("pal\0", 4);
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, Ext, 0), 12)->Length, 0u);
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, Ext, 88), 100)->Length, 88u);
  EXPECT_FALSE(ParseTrailer(Trailer(kMagic, Ext, 89), 100));
  EXPECT_FALSE(ParseTrailer(Trailer(kMagic, Ext, 0xFFFFFFFFu), 100));
  EXPECT_FALSE(ParseTrailer(Trailer(kMagic, Ext, 0), 11));
  EXPECT_FALSE(ParseTrailer("SKW", 100));
}

TEST(MakeTrailer, WritesTheTwelveBytes) {
  EXPECT_EQ(skw::MakeTrailer("bin", 0x01020304), std::string("SKW\0bin\0\x04\x03\x02\x01", 12));
  EXPECT_EQ(skw::MakeTrailer("PAL", 7), std::string("SKW\0PAL\0\x07\0\0\0", 12));
}

class TrailerCheck : public ::testing::Test {
 protected:
  // A program file of some program bytes, then Tail.
  std::string Program(const std::string& Tail) {
    const std::string Path = FDir / ("prog" + std::to_string(++FCount));
    EXPECT_TRUE(skwtest::ScratchDir::WriteText(Path, "MZ program bytes" + Tail));
    return Path;
  }
  std::string TempFolder() const { return FTemp.Path() + skwtest::ScratchDir::Separator(); }

  skwtest::ScratchDir FDir;
  skwtest::ScratchDir FTemp;
  int FCount = 0;
};

TEST_F(TrailerCheck, CopiesTheArchiveToAUniqueTemporaryFile) {
  const std::string Archive = std::string("PK\3\4 archive\0bytes", 19);
  const std::string ProgramPath = Program(Archive + skw::MakeTrailer("bin", static_cast<uint32_t>(Archive.size())));
  std::string ArchivePath = "given-pal.zip";
  bool TempArchive = false;
  skw::CheckTrailer(ProgramPath, TempFolder(), ArchivePath, TempArchive);
  EXPECT_TRUE(TempArchive);
  EXPECT_EQ(ArchivePath.rfind(TempFolder(), 0), 0u);
  EXPECT_EQ(ArchivePath.substr(ArchivePath.size() - 11), "tmp-bin.zip");
  EXPECT_EQ(ReadAll(ArchivePath), Archive);

  // A second copy never overwrites the first.
  std::string Second;
  bool SecondTemp = false;
  skw::CheckTrailer(ProgramPath, TempFolder(), Second, SecondTemp);
  EXPECT_NE(Second, ArchivePath);
  EXPECT_EQ(Second.substr(Second.size() - 11), "tmp-bin.zip");
  EXPECT_EQ(ReadAll(Second), Archive);
  EXPECT_EQ(ReadAll(ArchivePath), Archive);
}

TEST_F(TrailerCheck, EmptyArchiveAndOtherExtensionsAreWrittenToo) {
  std::string ArchivePath;
  bool TempArchive = false;
  skw::CheckTrailer(Program(skw::MakeTrailer("txt", 0)), TempFolder(), ArchivePath, TempArchive);
  ASSERT_TRUE(TempArchive);
  EXPECT_EQ(ArchivePath.substr(ArchivePath.size() - 11), "tmp-txt.zip");
  EXPECT_TRUE(platform::Exists(ArchivePath));
  EXPECT_EQ(ReadAll(ArchivePath), "");
}

TEST_F(TrailerCheck, WithoutAValidTrailerNothingChangesAndNothingIsWritten) {
  const std::vector<std::string> Tails = {"", "no trailer at all here",
                                          std::string("SKW\0bin\0\x11\0\0\0", 12) /* 17 bytes, 16 in front */,
                                          std::string("skw\0bin\0\0\0\0\0", 12)};
  for (const std::string& Tail : Tails) {
    std::string ArchivePath = "C:\\packs\\desert-pal.zip";
    bool TempArchive = false;
    skw::CheckTrailer(Program(Tail), TempFolder(), ArchivePath, TempArchive);
    EXPECT_EQ(ArchivePath, "C:\\packs\\desert-pal.zip");
    EXPECT_FALSE(TempArchive);
  }
  // A program file shorter than a trailer.
  const std::string Tiny = FDir / "tiny";
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(Tiny, "SKW"));
  std::string ArchivePath;
  bool TempArchive = false;
  skw::CheckTrailer(Tiny, TempFolder(), ArchivePath, TempArchive);
  EXPECT_FALSE(TempArchive);
  EXPECT_FALSE(platform::Exists(FTemp / "*.zip"));
}

TEST_F(TrailerCheck, UnreadableProgramOrUnwritableFolderRaise) {
  std::string ArchivePath;
  bool TempArchive = false;
  EXPECT_THROW(skw::CheckTrailer(FDir / "missing", TempFolder(), ArchivePath, TempArchive), std::runtime_error);
  const std::string ProgramPath = Program("PK" + skw::MakeTrailer("pal", 2));
  const std::string MissingFolder = FDir / "no such folder" + skwtest::ScratchDir::Separator();
  EXPECT_THROW(skw::CheckTrailer(ProgramPath, MissingFolder, ArchivePath, TempArchive), std::runtime_error);
  EXPECT_FALSE(TempArchive);
}

}  // namespace
