// The archive library's file wrappers: every file the components open, read,
// seek, date or search goes through these routines, which sit on the platform's
// file services. They never throw: a failed open is reported to the owning
// component's OnError (error 25235, "Error opening file") and answered with the
// invalid handle; the other routines answer with 0, false or an error code.
// Sizes and positions the archive formats store are 32-bit, so files of 4 GiB or
// more are out of range.
#pragma once
#include <cstdint>
#include <string>

#include "platform/File.h"
#include "platform/FileSystem.h"

namespace kst {

// Where the file wrappers report a failed open: the component that asked for the
// file. The wrappers know only this interface, so they sit below the components.
class TFileErrorSink {
 public:
  virtual void ReportFileError(const std::string& FileName, int32_t ECode) = 0;

 protected:
  ~TFileErrorSink() = default;
};

using THandle = platform::FileHandle;
inline constexpr THandle kstInvalidHandle = platform::kInvalidHandle;

// Which time stamp kstGetFileDate returns.
enum TDateMethod { dtCreate, dtLastWrite, dtLastAccess };

// What an open may do with the file and what must be true of it beforehand.
enum class TFileAccess { Read, Write, ReadWrite };
enum class TFileDisposition {
  OpenExisting,  // the file must exist
  CreateAlways,  // create, or truncate an existing file
  CreateNew      // the file must not exist yet
};

// Opens Name; on failure reports 25235 with Name to Owner (nothing when Owner is
// null) and returns kstInvalidHandle. Supported: Read or
// ReadWrite of an existing file, Write with CreateAlways or CreateNew (Write of an
// existing file opens it for reading and writing); anything else fails.
THandle kstOpenFile(TFileErrorSink* Owner, const std::string& Name, TFileAccess Access, TFileDisposition Disposition);
// Read access, others may read, the file must exist.
THandle kstOpenFileRead(TFileErrorSink* Owner, const std::string& Name);
// Write access, no sharing; Replace creates or truncates, otherwise the file must
// not exist yet.
THandle kstOpenFileWrite(TFileErrorSink* Owner, const std::string& Name, bool Replace);
void kstCloseFile(THandle Handle);

// Bytes transferred, or -1 on error.
int64_t kstRead(THandle Handle, void* Buffer, uint32_t Count);
int64_t kstWrite(THandle Handle, const void* Buffer, uint32_t Count);

// Current position, or -1 on error.
int64_t kstGetFilePos(THandle Handle);
// False only when the platform reports an error.
bool kstSetFilePointer(THandle Handle, int64_t Distance, platform::SeekOrigin Method = platform::SeekOrigin::Begin);
// Size in bytes; 0 on error and for files of 4 GiB or more, which the library
// cannot address (rather than the low 32 bits of their size).
uint32_t kstGetFileSize(THandle Handle);
// DOS date-time (date in the high word) of the chosen stamp in local time; 0 when
// the stamp cannot be read or lies outside the DOS range (1980-2107).
uint32_t kstGetFileDate(THandle Handle, TDateMethod Method);

// The last write time of the open file; 0 when it cannot be read.
platform::FileTime kstGetLastWrite(THandle Handle);

// True when a directory search for Name finds anything (wildcards allowed;
// directories count).
bool kstFileExists(const std::string& Name);

// Directory enumeration record. ExcludeAttr holds the attributes (out of hidden,
// system, volume label and directory) the caller did not ask for; items with any
// of them are passed over.
struct TSearchRec32 {
  uint32_t Time = 0;  // last write, local DOS date-time
  uint32_t Size = 0;  // low 32 bits
  uint32_t Attr = 0;
  std::string Name;
  uint32_t ExcludeAttr = 0;
  platform::DirectorySearch FindHandle;
  platform::FindData FindData;
};

// 0 with the first item in Rec, or the platform's error code (the search is then
// closed).
int kstFindFirst(const std::string& Pattern, uint32_t Attr, TSearchRec32& Rec);
// 0 with the next item, or the platform's error code (kErrorNoMoreFiles at the end).
int kstFindNext(TSearchRec32& Rec);
void kstFindClose(TSearchRec32& Rec);

// Reads a name of Len bytes at Pos: zero bytes become spaces; a read that cannot
// deliver all Len bytes gives an empty name. Pos advances by Len either way.
std::string ReadFilename_DefinedLen(THandle Handle, int64_t& Pos, uint8_t Len);
// Reads a zero-terminated name of at most 256 bytes at Pos. Pos advances past the
// name and its terminator (by the name's length + 1).
std::string ReadFilename_NullTerminate(THandle Handle, int64_t& Pos);

}  // namespace kst
