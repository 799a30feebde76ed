// Path utilities of the archive library that consult the file system: whether a
// directory exists or a file may be written, creating a directory with its
// missing parents, the temporary directory, the drive of a path, and file times as
// DOS date-time stamps. Paths are written with "\" in the library; on Linux "/"
// is accepted as well.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace kst {

// True when Name's attributes can be read and include directory.
bool DirExists(const std::string& Name);
// False when Name's attributes cannot be read or include directory, read-only,
// system, hidden or volume label.
bool IsWriteable(const std::string& Name);
// Creates Path and its missing parents. An empty Path throws std::runtime_error
// with the text of error 25156 ("Unable to create directory"); a directory that
// cannot be created gives false. One trailing separator is ignored; a root ("\",
// "/", "C:", "C:\") counts as existing.
bool ForceDirectories(const std::string& Path);
// The system's temporary directory with its trailing separator (at most 259
// characters); empty on failure.
std::string GetTempPathStr();
// The file time in local time as a DOS date-time (date in the high word, time in
// the low word, seconds halved); 0 outside 1980-2107 or when it cannot be
// converted.
uint32_t TFileTimeToInt(platform::FileTime Time);
// Path made absolute on its drive: a path without ":\" gets the current
// directory's drive letter and ":\" in front ("dir\a" -> "C:\dir\a"). A current
// directory without a drive letter (Linux) has the file-system root "/" as its
// drive: the path then gets "/" in front unless it starts with "/" or "\".
// Network paths ("\\server\share") stay as they are.
std::string AppendDrive(const std::string& Path);

}  // namespace kst
