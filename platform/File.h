// Operating-system file services used by the archive library's file wrappers,
// the texture engine and the installer. Handles are plain integers so that the
// library can store them without knowing the platform; kInvalidHandle (all bits
// set) marks a failed open. Paths are 8-bit strings (UTF-8 on Linux, the ANSI
// code page on Windows); on Linux "\" separators are accepted and turned into "/".
#pragma once
#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace platform {

using FileHandle = intptr_t;
inline constexpr FileHandle kInvalidHandle = -1;

enum class SeekOrigin { Begin, Current, End };

// Opens an existing file for reading (others may read too).
FileHandle OpenRead(const std::string& Path);
// Opens for writing without sharing; Replace creates or truncates, otherwise the
// file must not exist yet.
FileHandle OpenWrite(const std::string& Path, bool Replace);
// Opens an existing file for reading and writing.
FileHandle OpenReadWrite(const std::string& Path);
void Close(FileHandle Handle);

// Bytes transferred, or -1 on error.
int64_t Read(FileHandle Handle, void* Buffer, uint64_t Size);
int64_t Write(FileHandle Handle, const void* Buffer, uint64_t Size);
// New position, or -1 on error.
int64_t Seek(FileHandle Handle, int64_t Distance, SeekOrigin Origin);
int64_t Tell(FileHandle Handle);
// Size in bytes, or -1 on error.
int64_t Size(FileHandle Handle);
bool Flush(FileHandle Handle);

// The three time stamps of a file. A zero field means "unknown" when read and
// "leave unchanged" when set. Linux keeps no settable creation time: it reads the
// birth time where the file system records one (else the last write time) and
// ignores a creation time given to SetTimes.
struct FileTimes {
  FileTime Creation = 0;
  FileTime LastWrite = 0;
  FileTime LastAccess = 0;
};

bool GetTimes(FileHandle Handle, FileTimes& Times);
// The handle must have been opened for writing.
bool SetTimes(FileHandle Handle, const FileTimes& Times);

}  // namespace platform
