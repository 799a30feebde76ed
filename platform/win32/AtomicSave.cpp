// Windows atomic save: the new content goes to a file created exclusively beside
// the target, is written whole and flushed (FlushFileBuffers), then MoveFileExA
// with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH puts it in place of the
// target. A read-only target is refused before anything is written (Wine run by
// the superuser would replace it). On any failure the new file is deleted and
// the target is untouched. A staged file is placed by MoveFileExA without
// MOVEFILE_REPLACE_EXISTING, which refuses an existing target.
#include <windows.h>

#include <cstdint>

#include "platform/AtomicSave.h"

namespace platform {

namespace {

bool WriteAll(HANDLE File, const char* Data, size_t Size) {
  while (Size > 0) {
    const DWORD Chunk = Size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(Size);
    DWORD Written = 0;
    if (!WriteFile(File, Data, Chunk, &Written, nullptr) || Written == 0) return false;
    Data += Written;
    Size -= Written;
  }
  return true;
}

bool WriteNewFile(const std::string& Temp, const void* Data, size_t Size) {
  const HANDLE File = CreateFileA(Temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE) return false;
  bool Ok = WriteAll(File, static_cast<const char*>(Data), Size) && FlushFileBuffers(File);
  if (!CloseHandle(File)) Ok = false;
  return Ok;
}

}  // namespace

bool SaveFileAtomically(const std::string& Path, const void* Data, size_t Size) {
  const DWORD Attributes = GetFileAttributesA(Path.c_str());
  if (Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return false;
  const std::string Temp = AtomicSaveTempName(Path);
  if (!WriteNewFile(Temp, Data, Size) ||
      !MoveFileExA(Temp.c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(Temp.c_str());
    return false;
  }
  return true;
}

}  // namespace platform

namespace platform {

StagedFile::~StagedFile() {
  if (!FStaged.empty()) DeleteFileA(FStaged.c_str());
}

bool StagedFile::Write(const std::string& Path, const void* Data, size_t Size) {
  if (!FStaged.empty()) DeleteFileA(FStaged.c_str());
  FStaged.clear();
  FTarget = Path;
  const std::string Temp = AtomicSaveTempName(Path);
  if (!WriteNewFile(Temp, Data, Size)) {
    DeleteFileA(Temp.c_str());
    return false;
  }
  FStaged = Temp;
  return true;
}

StagedFile::Placed StagedFile::PlaceNew() {
  if (FStaged.empty()) return Placed::Failed;
  const std::string Staged = std::move(FStaged);
  FStaged.clear();
  // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing target.
  if (MoveFileExA(Staged.c_str(), FTarget.c_str(), MOVEFILE_WRITE_THROUGH)) return Placed::Done;
  const DWORD Error = GetLastError();
  DeleteFileA(Staged.c_str());
  return Error == ERROR_ALREADY_EXISTS || Error == ERROR_FILE_EXISTS ? Placed::TargetExists : Placed::Failed;
}

}  // namespace platform
