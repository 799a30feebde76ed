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
  std::ifstream File(platform::NativePath(Path), std::ios::binary);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

// Names in Dir other than "." and "..".
std::vector<std::string> Listing(const skwtest::ScratchDir& Dir) {
  std::vector<std::string> Names;
  platform::DirectorySearch Search;
  platform::FindData Item;
  for (int Rc = Search.First(Dir / "*", Item); Rc == 0; Rc = Search.Next(Item))
    if (Item.Name != "." && Item.Name != "..") Names.push_back(Item.Name);
  return Names;
}

TEST(Process, ProgramFileIsThisTestProgram) {
  const std::string Program = platform::ProgramFile();
  const std::string Expected = std::string("platform_process_test") + SKW_EXE_SUFFIX;
  ASSERT_GE(Program.size(), Expected.size());
  EXPECT_EQ(Program.substr(Program.size() - Expected.size()), Expected);
  EXPECT_TRUE(platform::Exists(Program));
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
  const std::string Name = "Skinwright mutex test " + std::to_string(platform::ProcessId());
  {
    platform::NamedMutex First(Name);
    EXPECT_FALSE(First.AlreadyExists());
    platform::NamedMutex Second(Name);
    EXPECT_TRUE(Second.AlreadyExists());
    platform::NamedMutex Other(Name + " other");
    EXPECT_FALSE(Other.AlreadyExists());
  }
  platform::NamedMutex Again(Name);
  EXPECT_FALSE(Again.AlreadyExists());
}

TEST(AtomicSave, ReplacesCreatesAndLeavesNothingBeside) {
  skwtest::ScratchDir Dir;
  const std::string Target = Dir / "textures.bin";
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(Target, std::string(100000, 'o')));
  const std::string Content = std::string("new\0content", 11) + std::string(70000, 'n');
  ASSERT_TRUE(platform::SaveFileAtomically(Target, Content.data(), Content.size()));
  EXPECT_EQ(ReadAll(Target), Content);
  ASSERT_TRUE(platform::SaveFileAtomically(Dir / "fresh.pal", "", 0));
  EXPECT_TRUE(platform::Exists(Dir / "fresh.pal"));
  EXPECT_EQ(Listing(Dir).size(), 2u);
}

TEST(AtomicSave, FailureKeepsTheOldFileAndRemovesTheNewOne) {
  skwtest::ScratchDir Dir;
  const std::string Target = Dir / "textures.pal";
  const std::string Old = std::string("old\0bytes", 9);
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(Target, Old));
  ASSERT_TRUE(platform::SetAttributes(Target, platform::kAttrReadOnly));
  EXPECT_FALSE(platform::SaveFileAtomically(Target, "replacement", 11));
  EXPECT_EQ(ReadAll(Target), Old);
  EXPECT_EQ(Listing(Dir), std::vector<std::string>{"textures.pal"});
  // A folder that does not exist: nothing is created anywhere.
  EXPECT_FALSE(platform::SaveFileAtomically(Dir / "missing" + skwtest::ScratchDir::Separator() + "t.bin", "x", 1));
  // A folder in the target's place is not replaced.
  ASSERT_TRUE(platform::MakeDirectory(Dir / "folder"));
  EXPECT_FALSE(platform::SaveFileAtomically(Dir / "folder", "x", 1));
  EXPECT_EQ(Listing(Dir).size(), 2u);
}

}  // namespace
