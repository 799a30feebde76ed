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
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? kInvalidAttributes : attributes;
}

bool SetAttributes(const std::string& Path, uint32_t Attributes) {
  // The directory and volume bits describe the name; they cannot be set.
  const DWORD settable = Attributes & ~static_cast<DWORD>(kAttrDirectory | kAttrVolume);
  return SetFileAttributesA(Path.c_str(), settable == 0 ? FILE_ATTRIBUTE_NORMAL : settable) != 0;
}

namespace {

// Windows refuses to delete or replace a read-only file; Wine run by the
// superuser does not always, so the attribute is checked here as well.
bool IsReadOnlyFile(const std::string& Path) {
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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
  const HANDLE handle = CreateFileA(Path.c_str(), Access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return handle == INVALID_HANDLE_VALUE ? kInvalidHandle : reinterpret_cast<FileHandle>(handle);
}

}  // namespace

bool GetFileTimes(const std::string& Path, FileTimes& Times) {
  const FileHandle handle = OpenForTimes(Path, FILE_READ_ATTRIBUTES);
  if (handle == kInvalidHandle) return false;
  const bool ok = GetTimes(handle, Times);
  Close(handle);
  return ok;
}

bool SetFileTimes(const std::string& Path, const FileTimes& Times) {
  const FileHandle handle = OpenForTimes(Path, FILE_WRITE_ATTRIBUTES);
  if (handle == kInvalidHandle) return false;
  const bool ok = SetTimes(handle, Times);
  Close(handle);
  return ok;
}

std::string CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return {};
  std::vector<char> buffer(needed + 1);
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return {};
  return std::string(buffer.data(), length);
}

std::string TempDirectory() {
  char buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathA(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return {};
  return std::string(buffer, length);
}

}  // namespace platform
