// The kept original of a game container: "<container file name>.original" in
// the same folder (textures.bin.original beside textures.bin), the container's
// bytes as they were before the installer first saved into it. It is written
// once, atomically (a new file beside it, flushed, then put in place without
// replacing anything), and never overwritten, so the first state the installer
// saw is the one kept however many packs follow. Restoring puts those bytes back
// over the container atomically and keeps the original. Paths follow
// platform/File.h (Windows paths map through the Wine prefix on Linux).
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/AtomicSave.h"

namespace skw {

// ContainerPath + ".original".
std::string OriginalPathFor(const std::string& ContainerPath);

// An original written in two steps: Stage writes the bytes to a new file beside
// the kept original's place while they are still unchanged; Commit later puts
// that file in place without replacing an original that exists by then. A
// staged file never committed is removed when the object goes.
class TOriginalKeeper {
 public:
  explicit TOriginalKeeper(std::string ContainerPath);
  ~TOriginalKeeper();
  TOriginalKeeper(const TOriginalKeeper&) = delete;
  TOriginalKeeper& operator=(const TOriginalKeeper&) = delete;

  // Nothing to do when an original exists already (answers false). Otherwise
  // writes and flushes Bytes to the new file: true when written, and a failure
  // is remembered for Commit (nothing thrown here).
  bool Stage(std::span<const uint8_t> Bytes);
  // Puts the staged file in place: true when done; false when nothing was
  // staged or an original appeared meanwhile (it is kept, the staged file
  // dropped). Raises kst::EStreamError "Cannot write file "<original>"" when
  // staging or placing failed.
  bool Commit();

 private:
  std::string FOriginalPath;
  platform::StagedFile FStaged;
  bool FStagedOk = false;
  bool FFailed = false;
};

// Writes Bytes to OriginalPathFor(ContainerPath) atomically unless that file
// exists; never overwrites. True if written, false if one already existed;
// raises std::runtime_error on failure.
bool KeepOriginal(const std::string& ContainerPath, std::span<const uint8_t> Bytes);

// Puts the kept original back over ContainerPath atomically and keeps the
// original file. Raises std::runtime_error with a clear message (naming the
// missing file) when there is no kept original, or when it cannot be read or
// the container cannot be written (the container is then as it was).
void RestoreOriginal(const std::string& ContainerPath);

}  // namespace skw
