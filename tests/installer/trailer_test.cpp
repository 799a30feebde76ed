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
  std::string bytes = Magic + Ext;
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((Length >> shift) & 0xFF);
  return bytes;
}

std::string ReadAll(const std::string& Path) {
  std::ifstream file(platform::NativePath(Path), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

const std::string kMagic("SKW\0", 4);

TEST(ParseTrailer, AcceptsBinAndPalInEitherCase) {
  for (const char* ext : {"bin", "pal", "BIN", "PAL"}) {
    const auto trailer = ParseTrailer(Trailer(kMagic, std::string(ext) + '\0', 300), 1000);
    ASSERT_TRUE(trailer) << ext;
    EXPECT_EQ(trailer->Extension, ext);
    EXPECT_EQ(trailer->Length, 300u);
  }
  // Any extension of letters and digits is read; set-up rejects it by its name.
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, std::string("txt\0", 4), 5), 100)->Extension, "txt");
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, "bins", 5), 100)->Extension, "bins");
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, std::string("b\0\0\0", 4), 5), 100)->Extension, "b");
}

TEST(ParseTrailer, MagicMustBeExactlySkwAndAZeroByte) {
  const std::string ext("bin\0", 4);
  EXPECT_FALSE(ParseTrailer(Trailer(std::string("skw\0", 4), ext, 5), 100));
  EXPECT_FALSE(ParseTrailer(Trailer("SKWX", ext, 5), 100));
  EXPECT_FALSE(ParseTrailer(Trailer(std::string("SK\0\0", 4), ext, 5), 100));
}

TEST(ParseTrailer, MalformedExtensionCountsAsAbsent) {
  for (const std::string& ext : {std::string("\0bin", 4), std::string("b-n\0", 4), std::string("b n\0", 4),
                                 std::string("bi\xE9\0", 4), std::string("..\0\0", 4)})
    EXPECT_FALSE(ParseTrailer(Trailer(kMagic, ext, 5), 100));
}

TEST(ParseTrailer, LengthBoundedByTheBytesInFrontOfTheTrailer) {
  const std::string ext("pal\0", 4);
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, ext, 0), 12)->Length, 0u);
  EXPECT_EQ(ParseTrailer(Trailer(kMagic, ext, 88), 100)->Length, 88u);
  EXPECT_FALSE(ParseTrailer(Trailer(kMagic, ext, 89), 100));
  EXPECT_FALSE(ParseTrailer(Trailer(kMagic, ext, 0xFFFFFFFFu), 100));
  EXPECT_FALSE(ParseTrailer(Trailer(kMagic, ext, 0), 11));
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
    const std::string path = dir / ("prog" + std::to_string(++count));
    EXPECT_TRUE(skwtest::ScratchDir::WriteText(path, "MZ program bytes" + Tail));
    return path;
  }
  std::string TempFolder() const { return temp.Path() + skwtest::ScratchDir::Separator(); }

  skwtest::ScratchDir dir;
  skwtest::ScratchDir temp;
  int count = 0;
};

TEST_F(TrailerCheck, CopiesTheArchiveToAUniqueTemporaryFile) {
  const std::string archive = std::string("PK\3\4 archive\0bytes", 19);
  const std::string program = Program(archive + skw::MakeTrailer("bin", static_cast<uint32_t>(archive.size())));
  std::string archivePath = "given-pal.zip";
  bool tempArchive = false;
  skw::CheckTrailer(program, TempFolder(), archivePath, tempArchive);
  EXPECT_TRUE(tempArchive);
  EXPECT_EQ(archivePath.rfind(TempFolder(), 0), 0u);
  EXPECT_EQ(archivePath.substr(archivePath.size() - 11), "tmp-bin.zip");
  EXPECT_EQ(ReadAll(archivePath), archive);

  // A second copy never overwrites the first.
  std::string second;
  bool secondTemp = false;
  skw::CheckTrailer(program, TempFolder(), second, secondTemp);
  EXPECT_NE(second, archivePath);
  EXPECT_EQ(second.substr(second.size() - 11), "tmp-bin.zip");
  EXPECT_EQ(ReadAll(second), archive);
  EXPECT_EQ(ReadAll(archivePath), archive);
}

TEST_F(TrailerCheck, EmptyArchiveAndOtherExtensionsAreWrittenToo) {
  std::string archivePath;
  bool tempArchive = false;
  skw::CheckTrailer(Program(skw::MakeTrailer("txt", 0)), TempFolder(), archivePath, tempArchive);
  ASSERT_TRUE(tempArchive);
  EXPECT_EQ(archivePath.substr(archivePath.size() - 11), "tmp-txt.zip");
  EXPECT_TRUE(platform::Exists(archivePath));
  EXPECT_EQ(ReadAll(archivePath), "");
}

TEST_F(TrailerCheck, WithoutAValidTrailerNothingChangesAndNothingIsWritten) {
  const std::vector<std::string> tails = {"", "no trailer at all here",
                                          std::string("SKW\0bin\0\x11\0\0\0", 12) /* 17 bytes, 16 in front */,
                                          std::string("skw\0bin\0\0\0\0\0", 12)};
  for (const std::string& tail : tails) {
    std::string archivePath = "C:\\packs\\desert-pal.zip";
    bool tempArchive = false;
    skw::CheckTrailer(Program(tail), TempFolder(), archivePath, tempArchive);
    EXPECT_EQ(archivePath, "C:\\packs\\desert-pal.zip");
    EXPECT_FALSE(tempArchive);
  }
  // A program file shorter than a trailer.
  const std::string tiny = dir / "tiny";
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(tiny, "SKW"));
  std::string archivePath;
  bool tempArchive = false;
  skw::CheckTrailer(tiny, TempFolder(), archivePath, tempArchive);
  EXPECT_FALSE(tempArchive);
  EXPECT_FALSE(platform::Exists(temp / "*.zip"));
}

TEST_F(TrailerCheck, UnreadableProgramOrUnwritableFolderRaise) {
  std::string archivePath;
  bool tempArchive = false;
  EXPECT_THROW(skw::CheckTrailer(dir / "missing", TempFolder(), archivePath, tempArchive), std::runtime_error);
  const std::string program = Program("PK" + skw::MakeTrailer("pal", 2));
  const std::string missingFolder = dir / "no such folder" + skwtest::ScratchDir::Separator();
  EXPECT_THROW(skw::CheckTrailer(program, missingFolder, archivePath, tempArchive), std::runtime_error);
  EXPECT_FALSE(tempArchive);
}

}  // namespace
