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
  std::error_code Failed;
  const std::filesystem::file_status Status = std::filesystem::status(platform::NativePath(From), Failed);
  if (!Failed) std::filesystem::permissions(platform::NativePath(To), Status.permissions(), Failed);
}

std::optional<std::string> ReadWhole(const std::string& Path) {
  std::ifstream File(platform::NativePath(Path), std::ios::binary);
  if (!File) return std::nullopt;
  std::ostringstream Bytes;
  Bytes << File.rdbuf();
  if (File.bad()) return std::nullopt;
  return Bytes.str();
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
  const std::string Token = ArchiveToken(ArchivePath);
  return BinContainerFor(Token) ? Token.substr(1) : std::string();
}

std::string BuildPack(const std::string& Program, const std::string& Archive, const std::string& Extension,
                      const std::string& Output) {
  if (!IsPackExtension(Extension)) return "the container extension must be bin or pal, not \"" + Extension + "\"";
  if (SameFile(Output, Program) || SameFile(Output, Archive)) return "the output must be a new file";
  const std::optional<std::string> ProgramData = ReadWhole(Program);
  if (!ProgramData) return "cannot read the program file " + Program;
  const std::optional<std::string> ArchiveData = ReadWhole(Archive);
  if (!ArchiveData) return "cannot read the archive " + Archive;
  if (ProgramData->size() >= kTrailerSize &&
      ParseTrailer(std::string_view(*ProgramData).substr(ProgramData->size() - kTrailerSize), ProgramData->size()))
    return "the program file " + Program + " already carries a pack";
  if (ArchiveData->size() > std::numeric_limits<uint32_t>::max()) return "the archive is 4 GiB or larger";
  const std::string Pack =
      *ProgramData + *ArchiveData + MakeTrailer(Extension, static_cast<uint32_t>(ArchiveData->size()));
  if (!platform::SaveFileAtomically(Output, Pack.data(), Pack.size())) return "cannot write " + Output;
  CopyPermissions(Program, Output);
  return {};
}

}  // namespace skw
