// The pack trailer: the 12 bytes at the very end of a pack executable, behind
// the appended ZIP archive. Layout: "SKW" and a zero byte; the container
// extension ("bin" or "pal", either case) padded with zero bytes to 4; the
// archive's length L as a 32-bit little-endian integer. The archive is the L
// bytes right in front of the trailer. A trailer whose length is larger than
// the bytes in front of it, or whose extension is not one to four ASCII letters
// or digits before its first zero byte, counts as absent: nothing is written.
//
// When the program file carries a trailer, its archive is copied to a new file
// in the temporary folder under a unique name ending in "tmp-" + extension +
// ".zip", so no user file is overwritten and the name still tells set-up which
// container the pack is for.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skw {

inline constexpr size_t kTrailerSize = 12;

struct TTrailer {
  std::string Extension;  // "bin", "pal", or whatever the pack says
  uint32_t Length = 0;    // bytes of the archive in front of the trailer
};

// The trailer of a file of FileSize bytes whose last 12 bytes are Last12, or
// nothing when those bytes carry no valid trailer.
std::optional<TTrailer> ParseTrailer(std::string_view Last12, uint64_t FileSize);

// The trailer of the file at Path, or nothing when the file cannot be opened or
// read or carries no valid trailer.
std::optional<TTrailer> ReadTrailer(const std::string& Path);

// The 12 trailer bytes for an archive of Length bytes meant for Extension (at
// most 4 characters).
std::string MakeTrailer(const std::string& Extension, uint32_t Length);

// The trailer check of set-up: when ProgramFile carries a trailer, its archive
// is written to a new file in TempFolder (with a trailing separator), ArchivePath
// is set to that file and TempArchive to true; otherwise nothing changes. A
// program file that cannot be read, or a temporary file that cannot be written,
// raises std::runtime_error.
void CheckTrailer(const std::string& ProgramFile, const std::string& TempFolder, std::string& ArchivePath,
                  bool& TempArchive);

}  // namespace skw
