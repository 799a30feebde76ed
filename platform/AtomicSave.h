// Replacing a file's whole content so that the old content survives any
// failure: the bytes go to a new file beside the target, are flushed to the
// disk, and the new file is then renamed over the target in one step. A failure
// at any point (no space, a read-only target, a missing folder) leaves the old
// file byte for byte as it was, removes the new file, and answers false. A
// target that did not exist yet is created. Paths follow File.h.
#pragma once
#include <cstddef>
#include <string>

namespace platform {

bool SaveFileAtomically(const std::string& Path, const void* Data, size_t Size);

// The name of the new file written beside Path (Path + ".skw-new-" + a number
// unique in this process): where a save in progress keeps its bytes.
std::string AtomicSaveTempName(const std::string& Path);

class StagedFile {
 public:
  StagedFile() = default;
  // A staged file never placed is removed.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Writes and flushes Data to a new file beside Path (named as AtomicSaveTempName
  // gives); false on failure, with nothing left behind.
  bool Write(const std::string& Path, const void* Data, size_t Size);

  enum class Placed { Done, TargetExists, Failed };
  // Renames the staged file to the Path given to Write unless a file of that
  // name exists, in one step; in every case but Done the staged file is removed.
  // Without a successful Write: Failed.
  Placed PlaceNew();

 private:
  std::string FTarget;  // as the system wants the paths
  std::string FStaged;  // empty: nothing staged
};

}  // namespace platform
