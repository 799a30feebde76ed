// A fresh, empty directory below the system's temporary directory for one test,
// removed with everything in it (read-only files included) when the test ends.
// Used by the platform and archive file tests.
#pragma once
#include <string>

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/FileSystem.h"

namespace skwtest {

class ScratchDir {
 public:
  ScratchDir() {
    static unsigned Counter = 0;
    for (int Attempt = 0; Attempt < 100 && FPath.empty(); ++Attempt) {
      const std::string Candidate = platform::TempDirectory() + "skw-scratch-" +
                                    std::to_string(platform::NowAsFileTime()) + "-" + std::to_string(++Counter);
      if (platform::MakeDirectory(Candidate)) FPath = Candidate;
    }
  }
  ~ScratchDir() {
    if (!FPath.empty()) RemoveTree(FPath);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The directory, without trailing separator.
  const std::string& Path() const { return FPath; }
  // A name inside the directory, joined with the platform's separator.
  std::string operator/(const std::string& Name) const { return FPath + Separator() + Name; }

  static constexpr char Separator() { return platform::kIsWindows ? '\\' : '/'; }

  // Writes Text to a new or replaced file; false on failure.
  static bool WriteText(const std::string& Path, const std::string& Text) {
    const platform::FileHandle Handle = platform::OpenWrite(Path, true);
    if (Handle == platform::kInvalidHandle) return false;
    const bool Ok = platform::Write(Handle, Text.data(), Text.size()) == static_cast<int64_t>(Text.size());
    platform::Close(Handle);
    return Ok;
  }

 private:
  static void RemoveTree(const std::string& Dir) {
    platform::DirectorySearch Search;
    platform::FindData Item;
    for (int Rc = Search.First(Dir + Separator() + "*", Item); Rc == 0; Rc = Search.Next(Item)) {
      if (Item.Name == "." || Item.Name == "..") continue;
      const std::string Path = Dir + Separator() + Item.Name;
      if (Item.Attributes & platform::kAttrDirectory) {
        RemoveTree(Path);
      } else {
        platform::SetAttributes(Path, platform::kAttrArchive);
        platform::RemoveFile(Path);
      }
    }
    Search.Close();
    platform::SetAttributes(Dir, platform::kAttrDirectory);
    platform::RemoveEmptyDirectory(Dir);
  }

  std::string FPath;
};

}  // namespace skwtest
