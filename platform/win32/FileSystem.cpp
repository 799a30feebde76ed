// Windows side of the services on names: the ANSI Win32 calls for attributes,
// deleting, renaming, directories, file times by name and the current and
// temporary directories. Paths are used as given.
#include <windows.h>

#include <vector>

#include "platform/FileSystem.h"

namespace platform {

std::string NativePath(const std::string& Path) { return Path; }

// Windows decides about case itself.
void MatchNamesExactly(bool) {}

// Windows finds names without regard to case itself: nothing to keep.
PathLookupScope::PathLookupScope() = default;
PathLookupScope::~PathLookupScope() = default;

uint32_t GetAttributes(const std::string& Path) {
  const DWORD Attributes = GetFileAttributesA(Path.c_str());
  return Attributes == INVALID_FILE_ATTRIBUTES ? kInvalidAttributes : Attributes;
}

bool SetAttributes(const std::string& Path, uint32_t Attributes) {
  // The directory and volume bits describe the name; they cannot be set.
  const DWORD Settable = Attributes & ~static_cast<DWORD>(kAttrDirectory | kAttrVolume);
  return SetFileAttributesA(Path.c_str(), Settable == 0 ? FILE_ATTRIBUTE_NORMAL : Settable) != 0;
}

namespace {

// Windows refuses to delete or replace a read-only file; Wine run by the
// superuser does not always, so the attribute is checked here as well.
bool IsReadOnlyFile(const std::string& Path) {
  const DWORD Attributes = GetFileAttributesA(Path.c_str());
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool RemoveFile(const std::string& Path) { return !IsReadOnlyFile(Path) && DeleteFileA(Path.c_str()) != 0; }

bool MakeDirectory(const std::string& Path) { return CreateDirectoryA(Path.c_str(), nullptr) != 0; }

bool RemoveEmptyDirectory(const std::string& Path) { return RemoveDirectoryA(Path.c_str()) != 0; }

bool RenameFile(const std::string& From, const std::string& To, bool Replace) {
  if (IsReadOnlyFile(To)) return false;
  return MoveFileExA(From.c_str(), To.c_str(), Replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

namespace {

// Opens a file or directory for reading or changing its time stamps only.
FileHandle OpenForTimes(const std::string& Path, DWORD Access) {
  const HANDLE Handle = CreateFileA(Path.c_str(), Access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return Handle == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<FileHandle>(Handle);
}

}  // namespace

bool GetFileTimes(const std::string& Path, FileTimes& Times) {
  const FileHandle Handle = OpenForTimes(Path, FILE_READ_ATTRIBUTES);
  if (Handle == kInvalidHandle) return false;
  const bool Ok = GetTimes(Handle, Times);
  Close(Handle);
  return Ok;
}

bool SetFileTimes(const std::string& Path, const FileTimes& Times) {
  const FileHandle Handle = OpenForTimes(Path, FILE_WRITE_ATTRIBUTES);
  if (Handle == kInvalidHandle) return false;
  const bool Ok = SetTimes(Handle, Times);
  Close(Handle);
  return Ok;
}

std::string CurrentDirectory() {
  const DWORD Needed = GetCurrentDirectoryA(0, nullptr);
  if (Needed == 0) return {};
  std::vector<char> Buffer(Needed + 1);
  const DWORD Length = GetCurrentDirectoryA(static_cast<DWORD>(Buffer.size()), Buffer.data());
  if (Length == 0 || Length >= Buffer.size()) return {};
  return std::string(Buffer.data(), Length);
}

std::string TempDirectory() {
  char Buffer[MAX_PATH + 1];
  const DWORD Length = GetTempPathA(MAX_PATH + 1, Buffer);
  if (Length == 0 || Length > MAX_PATH) return {};
  return std::string(Buffer, Length);
}

}  // namespace platform
