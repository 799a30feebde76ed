// Pack executables for kst; see PackArchive.h. A pack whose archive cannot be
// copied out is reported and then read as the file it is.
#include "tools/kst/PackArchive.h"

#include <exception>
#include <optional>

#include "installer/Trailer.h"
#include "platform/FileSystem.h"
#include "tools/kst/Session.h"

namespace kst_tool {

TPackArchive::TPackArchive(const std::string& Typed) : FPath(Typed) {
  const std::optional<skw::TTrailer> Trailer = skw::ReadTrailer(Typed);
  if (!Trailer) return;
  std::string Folder = platform::TempDirectory();
  if (!Folder.empty() && Folder.back() != '/' && Folder.back() != '\\') Folder += '/';
  try {
    skw::CheckTrailer(Typed, Folder, FPath, FTemporary);
    FKind = Trailer->Extension;
  } catch (const std::exception& Error) {
    PrintError(Error.what(), Typed);
  }
}

TPackArchive::~TPackArchive() {
  if (FTemporary) platform::RemoveFile(FPath);
}

}  // namespace kst_tool
