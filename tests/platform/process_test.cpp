// Tests of the process services: the program file, Ctrl+C as a flag, the
// single-instance mutex (a second holder of the same name is refused until the
// first is gone), the atomic save (success, and failures that keep the old file
// and leave no new file behind), and the environment.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "platform/AtomicSave.h"
#include "platform/Console.h"
#include "platform/NamedMutex.h"
#include "platform/Process.h"
#include "tests/platform/ScratchDir.h"

namespace {

std::string ReadAll(const std::string& Path) {
  std::ifstream file(platform::NativePath(Path), std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Names in Dir other than "." and "..".
std::vector<std::string> Listing(const skwtest::ScratchDir& Dir) {
  std::vector<std::string> names;
  platform::DirectorySearch search;
  platform::FindData item;
  for (int rc = search.First(Dir / "*", item); rc == 0; rc = search.Next(item))
    if (item.Name != "." && item.Name != "..") names.push_back(item.Name);
  return names;
}

TEST(Process, ProgramFileIsThisTestProgram) {
  const std::string program = platform::ProgramFile();
  const std::string expected = std::string("platform_process_test") + SKW_EXE_SUFFIX;
  ASSERT_GE(program.size(), expected.size());
  EXPECT_EQ(program.substr(program.size() - expected.size()), expected);
  EXPECT_TRUE(platform::Exists(program));
}

TEST(Process, EnvironmentSetAndRemoved) {
  ASSERT_TRUE(platform::SetEnvironment("SKW_PROCESS_TEST", "value 1"));
  EXPECT_EQ(platform::GetEnvironment("SKW_PROCESS_TEST"), "value 1");
  ASSERT_TRUE(platform::SetEnvironment("SKW_PROCESS_TEST", ""));
  EXPECT_EQ(platform::GetEnvironment("SKW_PROCESS_TEST"), "");
}

TEST(Console, InterruptSetsTheFlagInsteadOfEndingTheProcess) {
  // On Windows Ctrl+C arrives through the console, which a test cannot press.
  if (platform::kIsWindows) GTEST_SKIP() << "console control events cannot be raised here";
  platform::CatchInterrupt();
  platform::ClearInterrupt();
  EXPECT_FALSE(platform::InterruptRequested());
  std::raise(SIGINT);
  EXPECT_TRUE(platform::InterruptRequested());
  platform::ClearInterrupt();
  EXPECT_FALSE(platform::InterruptRequested());
}

TEST(NamedMutex, SecondHolderIsRefusedUntilTheFirstIsGone) {
  const std::string name = "Skinwright mutex test " + std::to_string(platform::ProcessId());
  {
    platform::NamedMutex first(name);
    EXPECT_FALSE(first.AlreadyExists());
    platform::NamedMutex second(name);
    EXPECT_TRUE(second.AlreadyExists());
    platform::NamedMutex other(name + " other");
    EXPECT_FALSE(other.AlreadyExists());
  }
  platform::NamedMutex again(name);
  EXPECT_FALSE(again.AlreadyExists());
}

TEST(AtomicSave, ReplacesCreatesAndLeavesNothingBeside) {
  skwtest::ScratchDir dir;
  const std::string target = dir / "textures.bin";
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(target, std::string(100000, 'o')));
  const std::string content = std::string("new\0content", 11) + std::string(70000, 'n');
  ASSERT_TRUE(platform::SaveFileAtomically(target, content.data(), content.size()));
  EXPECT_EQ(ReadAll(target), content);
  ASSERT_TRUE(platform::SaveFileAtomically(dir / "fresh.pal", "", 0));
  EXPECT_TRUE(platform::Exists(dir / "fresh.pal"));
  EXPECT_EQ(Listing(dir).size(), 2u);
}

TEST(AtomicSave, FailureKeepsTheOldFileAndRemovesTheNewOne) {
  skwtest::ScratchDir dir;
  const std::string target = dir / "textures.pal";
  const std::string old = std::string("old\0bytes", 9);
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(target, old));
  ASSERT_TRUE(platform::SetAttributes(target, platform::kAttrReadOnly));
  EXPECT_FALSE(platform::SaveFileAtomically(target, "replacement", 11));
  EXPECT_EQ(ReadAll(target), old);
  EXPECT_EQ(Listing(dir), std::vector<std::string>{"textures.pal"});
  // A folder that does not exist: nothing is created anywhere.
  EXPECT_FALSE(platform::SaveFileAtomically(dir / "missing" + skwtest::ScratchDir::Separator() + "t.bin", "x", 1));
  // A folder in the target's place is not replaced.
  ASSERT_TRUE(platform::MakeDirectory(dir / "folder"));
  EXPECT_FALSE(platform::SaveFileAtomically(dir / "folder", "x", 1));
  EXPECT_EQ(Listing(dir).size(), 2u);
}

}  // namespace
