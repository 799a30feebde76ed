// Pack executables for kst; see PackArchive.h. A pack whose archive cannot be
// copied out is reported and then read as the file it is.
#include "tools/kst/PackArchive.h"

#include <exception>
#include <optional>

#include "installer/Trailer.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "tools/kst/Session.h"

namespace kst_tool {
namespace {

std::optional<skw::TTrailer> TrailerOf(const std::string& Path) {
  const platform::FileHandle Handle = platform::OpenRead(Path);
  if (Handle == platform::kInvalidHandle) return std::nullopt;
  std::optional<skw::TTrailer> Trailer;
  const int64_t Size = platform::Size(Handle);
  std::string Last(skw::kTrailerSize, '\0');
  if (Size >= int64_t(skw::kTrailerSize) &&
      platform::Seek(Handle, Size - int64_t(skw::kTrailerSize), platform::SeekOrigin::Begin) >= 0 &&
      platform::Read(Handle, Last.data(), Last.size()) == int64_t(Last.size()))
    Trailer = skw::ParseTrailer(Last, uint64_t(Size));
  platform::Close(Handle);
  return Trailer;
}

}  // namespace

TPackArchive::TPackArchive(const std::string& Typed) : FPath(Typed) {
  const std::optional<skw::TTrailer> Trailer = TrailerOf(Typed);
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
