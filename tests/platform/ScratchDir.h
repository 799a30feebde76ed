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
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100 && FPath.empty(); ++attempt) {
      const std::string candidate = platform::TempDirectory() + "skw-scratch-" +
                                    std::to_string(platform::NowAsFileTime()) + "-" + std::to_string(++counter);
      if (platform::MakeDirectory(candidate)) FPath = candidate;
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
    const platform::FileHandle handle = platform::OpenWrite(Path, true);
    if (handle == platform::kInvalidHandle) return false;
    const bool ok = platform::Write(handle, Text.data(), Text.size()) == static_cast<int64_t>(Text.size());
    platform::Close(handle);
    return ok;
  }

 private:
  static void RemoveTree(const std::string& Dir) {
    platform::DirectorySearch search;
    platform::FindData item;
    for (int rc = search.First(Dir + Separator() + "*", item); rc == 0; rc = search.Next(item)) {
      if (item.Name == "." || item.Name == "..") continue;
      const std::string path = Dir + Separator() + item.Name;
      if (item.Attributes & platform::kAttrDirectory) {
        RemoveTree(path);
      } else {
        platform::SetAttributes(path, platform::kAttrArchive);
        platform::RemoveFile(path);
      }
    }
    search.Close();
    platform::SetAttributes(Dir, platform::kAttrDirectory);
    platform::RemoveEmptyDirectory(Dir);
  }

  std::string FPath;
};

}  // namespace skwtest
