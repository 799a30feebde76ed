// End-to-end test of kst's extraction commands (test, extract, cat): the program
// runs as its own process on corpus archives; its output, files and exit codes
// must match the manifest and the rules for failed, skipped and unsafe entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/ScratchDir.h"
#include "tests/support/Sha256.h"
#include "tests/support/TestData.h"

namespace {

struct Result {
  int Code = -1;
  std::vector<uint8_t> Out;
  std::vector<std::string> Lines;
  std::string Err;
};

std::string Native(std::string Path) {
  if (platform::kIsWindows) std::replace(Path.begin(), Path.end(), '/', '\\');
  return Path;
}

class KstExtract : public ::testing::Test {
 protected:
  Result Run(const std::string& Args) {
    const std::string OutPath = Dir / "stdout.bin";
    const std::string ErrPath = Dir / "stderr.txt";
    std::string Command = "\"" + Native(std::string(SKW_BIN_DIR) + "/kst" + SKW_EXE_SUFFIX) + "\" " + Args + " >\"" +
                          OutPath + "\" 2>\"" + ErrPath + "\"";
    if (platform::kIsWindows) Command = "\"" + Command + "\"";
    const int Status = std::system(Command.c_str());
    Result R;
    R.Code = platform::kIsWindows ? Status : (Status >> 8) & 0xFF;
    R.Out = skwtest::ReadFileBytes(OutPath);
    const std::vector<uint8_t> Err = skwtest::ReadFileBytes(ErrPath);
    R.Err.assign(Err.begin(), Err.end());
    std::istringstream In(std::string(R.Out.begin(), R.Out.end()));
    for (std::string Line; std::getline(In, Line);) {
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      R.Lines.push_back(Line);
    }
    return R;
  }
  static std::string Archive(const std::string& Name) { return "\"" + Native(skwtest::DataPath("zip/" + Name)) + "\""; }
  skwtest::ScratchDir Dir;
};

TEST_F(KstExtract, TestPrintsOneLinePerEntryAndFailsOnAnyFailure) {
  Result R = Run("test " + Archive("izip_encrypted.zip") + " -p wrong -p Secret1");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Lines,
            (std::vector<std::string>{"hello.txt: OK", "random4k.bin: OK", "lorem.txt: OK", "text100k.txt: OK"}));
  R = Run("test " + Archive("izip_encrypted.zip") + " \"*.bin\"");
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Lines, std::vector<std::string>{"random4k.bin: Password failed"});
  R = Run("test " + Archive("bad_deflate_midstream.zip"));
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(std::count(R.Lines.begin(), R.Lines.end(), std::string("hello.txt: OK")), 1);
  EXPECT_EQ(R.Lines.size(), 3u);
  EXPECT_EQ(Run("test " + Archive("izip_store.zip") + " nothing.here").Code, 1);
}

TEST_F(KstExtract, UnreadableArchivesAndMistakesAreUsageErrors) {
  EXPECT_EQ(Run("test " + Archive("hello.txt.gz")).Code, 2);
  EXPECT_EQ(Run("test " + Archive("missing.zip")).Code, 2);
  EXPECT_EQ(Run("test").Code, 2);
  EXPECT_EQ(Run("test " + Archive("izip_store.zip") + " -p").Code, 2);
  EXPECT_EQ(Run("cat " + Archive("izip_store.zip")).Code, 2);
  EXPECT_EQ(Run("extract " + Archive("izip_store.zip") + " -n -o").Code, 2);
}

TEST_F(KstExtract, CatWritesTheNamedEntryOnly) {
  Result R = Run("cat " + Archive("izip_folders.zip") + " docs/sub/deep.txt");
  EXPECT_EQ(R.Code, 0) << R.Err;
  if (!platform::kIsWindows) {  // standard output is a text stream there
    EXPECT_EQ(skwtest::Sha256Hex(R.Out), "1b30fa5b3756ca773b4459638b0bd06c88f4a766d4f0fcd06ce866641ed307d4");
    R = Run("cat " + Archive("izip_store.zip") + " random100k.bin");
    EXPECT_EQ(skwtest::Sha256Hex(R.Out), "9b07f2877a089586ea4918f67aa39476a7a07fb86b05d8ca6a40ae370ce1a3e1");
    // The local header's CRC is 0 (streaming writer): the central CRC is checked.
    R = Run("cat " + Archive("py_streamed.zip") + " lorem.txt");
    EXPECT_EQ(R.Code, 0);
    EXPECT_EQ(skwtest::Sha256Hex(R.Out), "27723df3502cd4b81e708267281c6c3dfecc3fd8cab23d6e88f369e5af30c24b");
  }
  // readme.txt exists only inside docs/: the bare name is not that entry.
  R = Run("cat " + Archive("izip_folders.zip") + " readme.txt");
  EXPECT_EQ(R.Code, 1);
  EXPECT_TRUE(R.Out.empty());
}

TEST_F(KstExtract, ExtractStaysInsideItsFolderAndKeepsExistingFiles) {
  const std::string Out = Dir / "out";
  Result R = Run("extract " + Archive("path_traversal.zip") + " -d \"" + Out + "\"");
  EXPECT_EQ(R.Code, 1);  // two names refused
  EXPECT_NE(R.Err.find("Invalid file name"), std::string::npos);
  EXPECT_TRUE(platform::Exists(Out + Native("/safe/ok.txt")));
  EXPECT_TRUE(platform::Exists(Out + Native("/etc/x.txt")));
  EXPECT_FALSE(platform::Exists(Dir / "evil.txt"));
  EXPECT_FALSE(platform::Exists(Dir / "b.txt"));

  const std::string Folders = Dir / "folders";
  EXPECT_EQ(Run("extract " + Archive("izip_folders.zip") + " -d \"" + Folders + "\"").Code, 0);
  skwtest::ScratchDir::WriteText(Folders + Native("/docs/readme.txt"), "mine");
  // Kept on purpose (no terminal to ask): no failure.
  EXPECT_EQ(Run("extract " + Archive("izip_folders.zip") + " -d \"" + Folders + "\" docs/readme.txt").Code, 0);
  std::vector<uint8_t> Kept = skwtest::ReadFileBytes(Folders + Native("/docs/readme.txt"));
  EXPECT_EQ(std::string(Kept.begin(), Kept.end()), "mine");
  EXPECT_EQ(Run("extract " + Archive("izip_folders.zip") + " -o -d \"" + Folders + "\" docs/readme.txt").Code, 0);
  EXPECT_EQ(skwtest::Sha256Hex(skwtest::ReadFileBytes(Folders + Native("/docs/readme.txt"))),
            "82c1e6c9b12adea29e51b26a948e0cb16cc445049c88d70b1a06f56e7d0b0583");
}

}  // namespace
