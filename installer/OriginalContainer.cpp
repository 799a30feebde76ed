// Keeping and restoring the original container: the two-step keeper the run
// uses (stage the loaded bytes before the import patches them, place them just
// before the container's save), the one-step keep built on it, and the restore.
#include "installer/OriginalContainer.h"

#include <stdexcept>

#include "archive/io/MemoryStream.h"
#include "platform/AtomicSave.h"
#include "platform/FileSystem.h"

namespace skw {

namespace {

bool FileExists(const std::string& Path) {
  const uint32_t Attributes = platform::GetAttributes(Path);
  return Attributes != platform::kInvalidAttributes && (Attributes & platform::kAttrDirectory) == 0;
}

std::string CannotWrite(const std::string& Path) { return "Cannot write file \"" + Path + "\""; }

}  // namespace

std::string OriginalPathFor(const std::string& ContainerPath) { return ContainerPath + ".original"; }

TOriginalKeeper::TOriginalKeeper(std::string ContainerPath) : FOriginalPath(OriginalPathFor(ContainerPath)) {}

TOriginalKeeper::~TOriginalKeeper() = default;

bool TOriginalKeeper::Stage(std::span<const uint8_t> Bytes) {
  if (platform::GetAttributes(FOriginalPath) != platform::kInvalidAttributes) return false;
  FStagedOk = FStaged.Write(FOriginalPath, Bytes.data(), Bytes.size());
  FFailed = !FStagedOk;
  return FStagedOk;
}

bool TOriginalKeeper::Commit() {
  if (FFailed) {
    FFailed = false;
    throw kst::EStreamError(CannotWrite(FOriginalPath));
  }
  if (!FStagedOk) return false;
  FStagedOk = false;
  const platform::StagedFile::Placed Placed = FStaged.PlaceNew();
  if (Placed == platform::StagedFile::Placed::Failed) throw kst::EStreamError(CannotWrite(FOriginalPath));
  return Placed == platform::StagedFile::Placed::Done;
}

bool KeepOriginal(const std::string& ContainerPath, std::span<const uint8_t> Bytes) {
  TOriginalKeeper Keeper(ContainerPath);
  Keeper.Stage(Bytes);
  return Keeper.Commit();
}

void RestoreOriginal(const std::string& ContainerPath) {
  const std::string Original = OriginalPathFor(ContainerPath);
  if (!FileExists(Original)) throw std::runtime_error("No kept original: \"" + Original + "\" does not exist");
  kst::TMemoryStream Bytes;
  try {
    Bytes.LoadFromFile(Original);
  } catch (const std::exception&) {
    throw std::runtime_error("Cannot read file \"" + Original + "\"");
  }
  if (!platform::SaveFileAtomically(ContainerPath, Bytes.Memory(), static_cast<size_t>(Bytes.Size())))
    throw std::runtime_error(CannotWrite(ContainerPath));
}

}  // namespace skw
