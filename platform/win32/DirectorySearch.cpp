// Windows side of the directory search: FindFirstFileA/FindNextFileA. The
// system's error codes are the ones FileSystem.h names.
#include <windows.h>

#include "platform/FileSystem.h"

namespace platform {

struct DirectorySearch::State {
  HANDLE Find = INVALID_HANDLE_VALUE;
  ~State() {
    if (Find != INVALID_HANDLE_VALUE) ::FindClose(Find);
  }
};

DirectorySearch::DirectorySearch() = default;
DirectorySearch::~DirectorySearch() = default;
DirectorySearch::DirectorySearch(DirectorySearch&& Other) noexcept = default;
DirectorySearch& DirectorySearch::operator=(DirectorySearch&& Other) noexcept = default;

namespace {

void Fill(const WIN32_FIND_DATAA& Native, FindData& Data) {
  Data.Name = Native.cFileName;
  Data.Size = (static_cast<uint64_t>(Native.nFileSizeHigh) << 32) | Native.nFileSizeLow;
  Data.Attributes = Native.dwFileAttributes;
  Data.LastWrite =
      (static_cast<FileTime>(Native.ftLastWriteTime.dwHighDateTime) << 32) | Native.ftLastWriteTime.dwLowDateTime;
}

int LastError() {
  const DWORD Code = GetLastError();
  return Code == 0 ? kErrorSearchFailed : static_cast<int>(Code);
}

}  // namespace

int DirectorySearch::First(const std::string& Pattern, FindData& Data) {
  Close();
  WIN32_FIND_DATAA Native;
  const HANDLE Find = FindFirstFileA(Pattern.c_str(), &Native);
  if (Find == INVALID_HANDLE_VALUE) return LastError();
  FState = std::make_unique<State>();
  FState->Find = Find;
  Fill(Native, Data);
  return 0;
}

int DirectorySearch::Next(FindData& Data) {
  if (!FState) return kErrorNoMoreFiles;
  WIN32_FIND_DATAA Native;
  if (!FindNextFileA(FState->Find, &Native)) return LastError();
  Fill(Native, Data);
  return 0;
}

void DirectorySearch::Close() { FState.reset(); }

}  // namespace platform
