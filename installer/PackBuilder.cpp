// The pack builder: reads the two inputs whole, checks them, and writes the
// pack in one go through the atomic save, so a failure never leaves a half
// written pack.
#include "installer/PackBuilder.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

#include "installer/ContainerChoice.h"
#include "installer/Trailer.h"
#include "platform/AtomicSave.h"
#include "platform/FileSystem.h"

namespace skw {

namespace {

// A pack is started like its program, so it gets the program file's permission
// bits (on Linux the executable bits); where they cannot be copied the pack is
// still written.
void CopyPermissions(const std::string& From, const std::string& To) {
  std::error_code failed;
  const std::filesystem::file_status status = std::filesystem::status(platform::NativePath(From), failed);
  if (!failed) std::filesystem::permissions(platform::NativePath(To), status.permissions(), failed);
}

std::optional<std::string> ReadWhole(const std::string& Path) {
  std::ifstream file(platform::NativePath(Path), std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  if (file.bad()) return std::nullopt;
  return bytes.str();
}

bool IsPackExtension(const std::string& Extension) {
  return Extension == "bin" || Extension == "BIN" || Extension == "pal" || Extension == "PAL";
}

// The same name once mapped to the system's form: enough to refuse the obvious
// mistake of writing the pack over one of its inputs.
bool SameFile(const std::string& A, const std::string& B) {
  return A == B || platform::NativePath(A) == platform::NativePath(B);
}

}  // namespace

std::string PackExtensionFromName(const std::string& ArchivePath) {
  const std::string token = ArchiveToken(ArchivePath);
  return BinContainerFor(token) ? token.substr(1) : std::string();
}

std::string BuildPack(const std::string& Program, const std::string& Archive, const std::string& Extension,
                      const std::string& Output) {
  if (!IsPackExtension(Extension)) return "the container extension must be bin or pal, not \"" + Extension + "\"";
  if (SameFile(Output, Program) || SameFile(Output, Archive)) return "the output must be a new file";
  const std::optional<std::string> program = ReadWhole(Program);
  if (!program) return "cannot read the program file " + Program;
  const std::optional<std::string> archive = ReadWhole(Archive);
  if (!archive) return "cannot read the archive " + Archive;
  if (program->size() >= kTrailerSize &&
      ParseTrailer(std::string_view(*program).substr(program->size() - kTrailerSize), program->size()))
    return "the program file " + Program + " already carries a pack";
  if (archive->size() > std::numeric_limits<uint32_t>::max()) return "the archive is 4 GiB or larger";
  const std::string pack = *program + *archive + MakeTrailer(Extension, static_cast<uint32_t>(archive->size()));
  if (!platform::SaveFileAtomically(Output, pack.data(), pack.size())) return "cannot write " + Output;
  CopyPermissions(Program, Output);
  return {};
}

}  // namespace skw
