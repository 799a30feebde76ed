// The question-and-answer side of TKestrel: DoQueryInfo runs a walk with the
// caller's listing events set aside (and put back however the walk ends),
// FilesInArchive and GetFileInfo are such walks in their own Operation, the
// GetFile... accessors answer from the record GetFileInfo leaves, and
// GetArchiveComment copies the ZIP archive comment the end record announces.
#include <algorithm>
#include <utility>

#include "archive/core/Err_msgs.h"
#include "archive/core/DosDate.h"
#include "archive/core/Restore.h"
#include "archive/core/StringList.h"
#include "archive/identify/ArcType.h"
#include "archive/identify/ArcTypeInfo.h"
#include "archive/io/Kstfileio.h"
#include "archive/list/Kstkestrel.h"

namespace kst {
namespace {

constexpr uint16_t kMaxArchiveComment = 32766;

}  // namespace

bool TKestrel::DoQueryInfo() {
  if (FArchiveFile.empty() || !IsArcValid(FArcType)) return false;
  TRestore Restore([this, ReadBegin = std::move(OnReadBegin), Read = std::move(OnRead), ReadEnd = std::move(OnReadEnd),
                    Activated = std::move(OnActivate), Deactivated = std::move(OnDeactivate),
                    Totals = std::move(OnTotals)]() mutable {
    OnReadBegin = std::move(ReadBegin);
    OnRead = std::move(Read);
    OnReadEnd = std::move(ReadEnd);
    OnActivate = std::move(Activated);
    OnDeactivate = std::move(Deactivated);
    OnTotals = std::move(Totals);
  });
  const auto Nothing = [](TKestrel*) {};
  OnReadBegin = Nothing;
  OnRead = [](TKestrel*, int32_t, int32_t) {};
  OnReadEnd = Nothing;
  OnActivate = Nothing;
  OnDeactivate = Nothing;
  OnTotals = [](TKestrel*, int32_t, int32_t, int32_t, int32_t) {};
  return Activate();
}

void TKestrel::FilesInArchive(TStringList* List) {
  if (!List) return;
  TRestore Restore([this, Saved = Operation] {
    Operation = Saved;
    TargetList = nullptr;
  });
  Operation = opFileOnly;
  TargetList = List;
  bool Walked = false;
  try {
    Walked = DoQueryInfo();
  } catch (...) {
    Walked = false;
  }
  if (!Walked) List->clear();
}

bool TKestrel::GetFileInfo(const std::string& Name) {
  if (Name.empty()) return false;
  TRestore Restore([this, SavedSpec = FileSpec, SavedOperation = Operation] {
    FileSpec = SavedSpec;
    Operation = SavedOperation;
  });
  Operation = opQueryFile;
  FileSpec = {Name};
  try {
    return DoQueryInfo();
  } catch (...) {
    return false;
  }
}

int32_t TKestrel::GetFileCrc(const std::string& Name) { return GetFileInfo(Name) ? int32_t(FileCrc) : -1; }

int32_t TKestrel::GetFilePackedSize(const std::string& Name) { return GetFileInfo(Name) ? int32_t(PackedSize) : -1; }

int32_t TKestrel::GetFileUnpackedSize(const std::string& Name) {
  return GetFileInfo(Name) ? int32_t(UnpackedSize) : -1;
}

TDateTime TKestrel::GetFileDate(const std::string& Name) { return GetFileInfo(Name) ? FileDate : 0; }

int32_t TKestrel::GetArchiveComment(char* Buffer) {
  THandle Handle = kstInvalidHandle;
  if (!OpenArchive(Handle, FArchiveFile)) {
    RaiseErrorStr(FArchiveFile, "", "", ErrFileNotFound);
    return 0;
  }
  // The search below rewrites the header state; the next walk must still start
  // the way identification decided.
  TRestore Restore([this, Handle, SavedFlag = HeadFlag] {
    HeadFlag = SavedFlag;
    CloseArchive(Handle);
  });
  if (!Buffer || !IsAnyZip(FArcType)) return 0;
  if (GetCentralDirOffset(Handle) == 0) return 0;
  const uint16_t Length = EndRecord.CommentLength;
  if (Length < 1 || Length > kMaxArchiveComment) return 0;
  const uint32_t Count = std::min<uint32_t>(Length, uint32_t(ZipCmntBufSize()));
  return int32_t(ReadAt(Handle, CommentPos, Buffer, Count));
}

}  // namespace kst
