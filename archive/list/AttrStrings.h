// Attribute columns of an entry listing: the four-letter Windows form ("adrsh"
// letters at fixed positions) and the ten-letter Unix form ("drwxr-xr-x"), with a
// fill character at every position whose attribute is absent. Which form an entry
// gets depends on the archive kind and, for RAR, on the system that stored it.
#pragma once
#include <cstdint>
#include <string>

#include "archive/identify/ArcType.h"

namespace kst {

// Host system byte of a RAR entry that was stored on a Unix system.
inline constexpr uint8_t RarHostUnix = 3;

// Four characters: a/d/v (archive, directory, volume label; later ones win),
// r (read-only), s (system), h (hidden).
std::string WinAttrToString(uint32_t Attr, char Fill);

// Ten characters: d, then owner, group and others' rwx, with s/S for the setuid
// and setgid bits.
std::string UnixAttrToString(uint32_t Mode, char Fill);

// The attribute column of an entry of an archive of kind ArcType: empty for an
// invalid kind, the Unix form for ACE entries and for RAR entries stored on Unix
// (HostOS 3), the Windows form otherwise (always for ZIP).
std::string FileAttrToString(TArcType ArcType, uint32_t Attr, char Fill, uint8_t HostOS = 0);

// True for the 16-bit words that start gzip and compress files (read little-endian).
bool IsGZipSignAttr(uint16_t Word);

}  // namespace kst
