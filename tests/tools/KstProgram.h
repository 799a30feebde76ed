// Test fixture that starts the kst program (or another program of the build)
// as a separate process: its standard
// input comes from the null device (so it never waits for a terminal answer),
// its standard output and error go to files of a scratch folder, and the exit
// code, the output lines, the raw output bytes and the error text are handed
// back for comparison.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/ScratchDir.h"
#include "tests/support/TestData.h"

namespace skwtest {

struct Result {
  int Code = -1;
  std::vector<std::string> Out;
  std::vector<uint8_t> Bytes;
  std::string Err;
};

// The path in the form the system's command interpreter takes.
inline std::string Native(std::string Path) {
  if (platform::kIsWindows) {
    for (char& C : Path) {
      if (C == '/') C = '\\';
    }
  }
  return Path;
}

inline std::string ReadText(const std::string& Path) {
  const std::vector<uint8_t> Bytes = skwtest::ReadFileBytes(Path);
  return std::string(Bytes.begin(), Bytes.end());
}

inline std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> Result;
  std::istringstream In(Text);
  std::string Line;
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    Result.push_back(Line);
  }
  return Result;
}

inline std::vector<std::string> Split(const std::string& Line, char Separator) {
  std::vector<std::string> Fields;
  std::string Field;
  std::istringstream In(Line);
  while (std::getline(In, Field, Separator)) Fields.push_back(Field);
  return Fields;
}

// Built by appending: GCC 12 warns falsely about "literal" + string here.
inline std::string Quoted(const std::string& Path) {
  std::string Result = "\"";
  Result += Native(Path);
  Result += '"';
  return Result;
}

// A program of the build (kst by default), quoted.
inline std::string Program(const std::string& Name = "kst") {
  return Quoted(std::string(SKW_BIN_DIR) + "/" + Name + SKW_EXE_SUFFIX);
}

// Exit code from what std::system answered: the code itself on Windows, a wait
// status elsewhere.
inline int ExitCode(int Status) { return platform::kIsWindows ? Status : (Status >> 8) & 0xFF; }

class KstProgram : public ::testing::Test {
 protected:
  // Runs kst (or the program Name) with Args.
  Result Run(const std::string& Args, const std::string& Name = "kst") {
    const std::string OutPath = Dir / "stdout.txt";
    const std::string ErrPath = Dir / "stderr.txt";
    std::string Command = Program(Name);
    Command += " " + Args;
    Command += platform::kIsWindows ? " <NUL" : " </dev/null";
    Command += " >" + Quoted(OutPath) + " 2>" + Quoted(ErrPath);
    // cmd.exe strips one pair of quotes around the whole line.
    if (platform::kIsWindows) Command = Quoted(Command);
    Result R;
    R.Code = ExitCode(std::system(Command.c_str()));
    R.Bytes = skwtest::ReadFileBytes(OutPath);
    R.Out = Lines(std::string(R.Bytes.begin(), R.Bytes.end()));
    R.Err = ReadText(ErrPath);
    return R;
  }

  static std::string Archive(const std::string& Name) { return Quoted(skwtest::DataPath("zip/" + Name)); }

  skwtest::ScratchDir Dir;
};

}  // namespace skwtest
