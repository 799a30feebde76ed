// End-to-end tests of kst test, extract and cat as separate processes without a
// terminal: exit codes for passing, failing, unmatched, unreadable and
// mistyped runs; cat writing an entry's exact bytes (no line-end translation on
// Windows); extract keeping existing files unless -o is given. On Linux, when
// the script program is present, a pseudo-terminal checks that a password
// missing from -p is asked for and used. On Linux, extract interrupted by
// SIGINT or SIGTERM while it writes a large entry leaves nothing behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "tests/kit/DeflateBits.h"
#include "tests/kit/HostileZip.h"
#include "tests/tools/KstProgram.h"

namespace {

using skwtest::KstProgram;
using skwtest::Result;

std::vector<uint8_t> Payload(const std::string& Name) {
  return skwtest::ReadFileBytes(skwtest::DataPath("zip/payload/" + Name));
}

TEST_F(KstProgram, TestReportsEachEntryAndItsExitCode) {
  Result R = Run("test " + Archive("izip_encrypted.zip") + " -p wrong -p Secret1");
  EXPECT_EQ(R.Code, 0) << R.Err;
  ASSERT_EQ(R.Out.size(), 4u);
  for (const std::string& Line : R.Out) EXPECT_EQ(Line.substr(Line.size() - 4), ": OK");

  R = Run("test " + Archive("izip_encrypted.zip"));
  EXPECT_EQ(R.Code, 1) << "no password given and nobody to ask";
  EXPECT_EQ(R.Out.at(0), "hello.txt: Password failed");

  R = Run("test " + Archive("bad_deflate_midstream.zip") + " lorem.txt");
  EXPECT_EQ(R.Code, 1);
  ASSERT_EQ(R.Out.size(), 1u);
  EXPECT_EQ(R.Out[0].rfind("lorem.txt: ", 0), 0u);
  EXPECT_NE(R.Out[0], "lorem.txt: OK");

  R = Run("test " + Archive("izip_store.zip") + " *.nothing");
  EXPECT_EQ(R.Code, 1) << "nothing matched";
  EXPECT_NE(R.Err, "");
}

TEST_F(KstProgram, UnreadableArchivesAndMistakesExitWithTwo) {
  EXPECT_EQ(Run("test " + Archive("no-such-archive.zip")).Code, 2);
  EXPECT_EQ(Run("test " + Archive("hello.txt.gz")).Code, 2);
  EXPECT_EQ(Run("cat " + Archive("hello.txt.gz") + " hello.txt").Code, 2);
  EXPECT_EQ(Run("extract " + Archive("no-such-archive.zip") + " -d " + skwtest::Quoted(Dir.Path())).Code, 2);
  EXPECT_EQ(Run("cat " + Archive("izip_store.zip")).Code, 2) << "no entry name";
  EXPECT_EQ(Run("cat " + Archive("izip_store.zip") + " hello.txt one.txt").Code, 2);
  EXPECT_EQ(Run("test " + Archive("izip_store.zip") + " -p").Code, 2);
  EXPECT_EQ(Run("extract " + Archive("izip_store.zip") + " -n -o").Code, 2);
  EXPECT_EQ(Run("extract " + Archive("izip_store.zip") + " -d").Code, 2);
}

TEST_F(KstProgram, CatWritesTheExactBytesOfOneEntry) {
  // Picture data hold LF bytes that a text-mode stream would widen.
  const std::vector<uint8_t> Picture = Payload("img/gradient24.bmp");
  Result R = Run("cat " + Archive("izip_folders.zip") + " img/gradient24.bmp");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_TRUE(R.Bytes == Picture) << R.Bytes.size() << " bytes for " << Picture.size();

  R = Run("cat " + Archive("legacy_implode_8k_3trees.zip") + " \"img\\gradient24.bmp\"");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_TRUE(R.Bytes == Picture);

  R = Run("cat " + Archive("izip_encrypted.zip") + " lorem.txt -p Secret1");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_TRUE(R.Bytes == Payload("lorem.txt"));

  R = Run("cat " + Archive("izip_store.zip") + " empty.txt");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_TRUE(R.Bytes.empty());

  R = Run("cat " + Archive("izip_folders.zip") + " readme.txt");
  EXPECT_EQ(R.Code, 1) << "only the entry of exactly that name";
  EXPECT_TRUE(R.Bytes.empty());

  R = Run("cat " + Archive("bad_deflate_midstream.zip") + " lorem.txt");
  EXPECT_EQ(R.Code, 1) << "a failed CRC check";
}

TEST_F(KstProgram, ExtractKeepsExistingFilesUnlessTold) {
  const std::string Out = Dir / "out";
  const std::string Target = " -d " + skwtest::Quoted(Out);
  Result R = Run("extract " + Archive("izip_store.zip") + Target);
  ASSERT_EQ(R.Code, 0) << R.Err;
  const std::string Hello = Out + "/hello.txt";
  EXPECT_TRUE(skwtest::ReadFileBytes(Hello) == Payload("hello.txt"));
  EXPECT_TRUE(skwtest::ReadFileBytes(Out + "/img/logo.bmp") == Payload("img/logo.bmp"));

  ASSERT_TRUE(skwtest::ScratchDir::WriteText(Hello, "changed"));
  for (const char* Keep : {"", " -n"}) {
    R = Run("extract " + Archive("izip_store.zip") + Target + Keep + " hello.txt");
    EXPECT_EQ(R.Code, 0) << "a file kept on purpose is no failure" << Keep;
    EXPECT_EQ(R.Out, std::vector<std::string>{"1 existing file kept"}) << R.Err;
    EXPECT_EQ(skwtest::ReadText(Hello), "changed");
  }
  R = Run("extract " + Archive("izip_store.zip") + Target + " -o");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_TRUE(skwtest::ReadFileBytes(Hello) == Payload("hello.txt"));
}

TEST_F(KstProgram, ExtractOfUnsafeNamesFailsButWritesTheHarmlessOnes) {
  // Two levels down, so "../../evil.txt" would land in the scratch folder.
  const std::string Out = Dir / "a";
  ASSERT_TRUE(platform::MakeDirectory(Out));
  ASSERT_TRUE(platform::MakeDirectory(Out + "/out"));
  const Result R = Run("extract " + Archive("path_traversal.zip") + " -d " + skwtest::Quoted(Out + "/out"));
  EXPECT_EQ(R.Code, 1) << "refused names count as failed entries";
  EXPECT_NE(R.Err, "");
  EXPECT_TRUE(platform::Exists(Out + "/out/safe/ok.txt"));
  EXPECT_FALSE(platform::Exists(Dir / "evil.txt"));
  EXPECT_FALSE(platform::Exists(Dir / "b.txt"));
}

bool HaveScript() { return !platform::kIsWindows && std::system("script --version >/dev/null 2>&1") == 0; }

// Runs "kst Args" on a pseudo-terminal made by script(1) with Typed as the
// keyboard; answers the exit code, the terminal's text in Text.
int RunOnTerminal(const std::string& Args, const std::string& Typed, const std::string& OutPath, std::string& Text) {
  const std::string Command = "printf '" + Typed + "' | script -qec '" + skwtest::Program() + " " + Args +
                              "' /dev/null >" + skwtest::Quoted(OutPath) + " 2>&1";
  const int Code = skwtest::ExitCode(std::system(Command.c_str()));
  Text = skwtest::ReadText(OutPath);
  return Code;
}

// The password no -p gives is read from the terminal and opens every entry.
TEST_F(KstProgram, PasswordIsAskedOnATerminal) {
  if (!HaveScript()) GTEST_SKIP() << "no script program to provide a terminal";
  std::string Text;
  EXPECT_EQ(RunOnTerminal("test " + Archive("izip_encrypted.zip"), "Secret1\\n", Dir / "tty.txt", Text), 0);
  EXPECT_NE(Text.find("Password for hello.txt: "), std::string::npos) << Text;
  EXPECT_NE(Text.find("text100k.txt: OK"), std::string::npos) << Text;
  EXPECT_EQ(Text.find("Password failed"), std::string::npos) << Text;
}

// Answers to the overwrite question: rename the first existing file, keep it
// and every later one with N; then overwrite all with A.
TEST_F(KstProgram, OverwriteIsAskedOnATerminal) {
  if (!HaveScript()) GTEST_SKIP() << "no script program to provide a terminal";
  const std::string Out = Dir / "out";
  const std::string Args = "extract " + Archive("izip_store.zip") + " -d " + skwtest::Quoted(Out);
  ASSERT_EQ(Run(Args).Code, 0);
  const std::string Hello = Out + "/hello.txt";
  const std::string One = Out + "/one.txt";
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(Hello, "changed"));
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(One, "changed"));
  std::string Text;
  EXPECT_EQ(RunOnTerminal(Args, "r\\ncopy.txt\\nN\\n", Dir / "tty.txt", Text), 0) << Text;
  EXPECT_NE(Text.find("hello.txt exists. Overwrite?"), std::string::npos) << Text;
  EXPECT_TRUE(skwtest::ReadFileBytes(Out + "/copy.txt") == Payload("hello.txt"));
  EXPECT_EQ(skwtest::ReadText(Hello), "changed");
  EXPECT_EQ(skwtest::ReadText(One), "changed");

  EXPECT_EQ(RunOnTerminal(Args, "A\\n", Dir / "tty.txt", Text), 0) << Text;
  EXPECT_TRUE(skwtest::ReadFileBytes(Hello) == Payload("hello.txt"));
  EXPECT_TRUE(skwtest::ReadFileBytes(One) == Payload("one.txt"));
}

// The signal is sent once the entry's temporary file has appeared; writing
// 200 MB takes far longer than the shell's next step, and the exit code
// 128 + signal proves the program's handler ran rather than the entry ending.
TEST_F(KstProgram, ExtractStoppedBySignalLeavesNoFile) {
  if (platform::kIsWindows) GTEST_SKIP() << "signals are a Linux matter";
  constexpr uint32_t Matches = 800000;
  skwtest::HostileEntry Entry = skwtest::DeflateEntry("big.bin", skwtest::ZeroBomb(Matches), {});
  Entry.Crc = 0;
  Entry.UnpackedSize = 1 + 258 * Matches;
  skwtest::HostileZip Zip;
  Zip.Entries = {Entry};
  const std::string ArchivePath = Dir / "big.zip";
  ASSERT_TRUE(skwtest::WriteFileBytes(ArchivePath, Zip.Build()));
  for (const char* Signal : {"INT", "TERM"}) {
    const std::string Out = Dir / (std::string("out-") + Signal);
    const std::string Script = "mkdir " + skwtest::Quoted(Out) + " && cd " + skwtest::Quoted(Out) + " && { " +
                               skwtest::Program() + " extract " + skwtest::Quoted(ArchivePath) +
                               " >/dev/null 2>&1 & pid=$!; "
                               "while kill -0 $pid 2>/dev/null && [ -z \"$(ls -A)\" ]; do :; done; "
                               "kill -" +
                               Signal + " $pid; wait $pid; }";
    const int Code = skwtest::ExitCode(std::system(Script.c_str()));
    EXPECT_EQ(Code, std::string(Signal) == "INT" ? 130 : 143) << Signal;
    EXPECT_TRUE(std::filesystem::is_empty(Out)) << Signal;
  }
}

}  // namespace
