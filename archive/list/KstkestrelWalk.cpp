// The walk of TKestrel: the checks that let a walk start, the set-up for the ZIP
// family (central headers when the central directory was found where the end
// record says, else local headers), the record loop and the closing steps that
// run however the loop ended. The loop reads one fixed header per step and only
// moves forward, never past the end limit; exceptions of the walk or of event
// handlers end it and make Activate answer false, never reach the caller.
#include "archive/core/Bounds.h"
#include "archive/core/Err_msgs.h"
#include "archive/identify/ArcTypeInfo.h"
#include "archive/io/Kstfileio.h"
#include "archive/list/Kstkestrel.h"
#include "archive/core/MessagePump.h"

namespace kst {

TKestrel::TKestrel(TComponent* AOwner) : TZipCommon(AOwner) { SetZipCmntBufSize(32000); }

bool TKestrel::CanWalk() {
  if (FArchiveFile.empty() || !kstFileExists(FArchiveFile)) {
    RaiseErrorStr(FArchiveFile, "", "", ErrFileNotFound);
    return false;
  }
  if (!OnRead) {
    RaiseErrorStr(FArchiveFile, "OnRead", "", ErrEventNotAssigned);
    return false;
  }
  if (FArcType == atNA || FArcType == atUnknown) {
    RaiseErrorStr(FArchiveFile, "", "", ErrUnknownFileType);
    return false;
  }
  if (FArcType == atFileOpenErr) {
    RaiseErrorStr(FArchiveFile, "", "", ErrFileNotFound);
    return false;
  }
  if (!IsZipListable(FArcType)) {
    RaiseErrorStr(FArchiveFile, "", "", ErrArcTypeUnsupported);
    return false;
  }
  return true;
}

bool TKestrel::Activate() {
  SetCancel(false);
  VolumeName = FArchiveFile;
  ExcludeSpec.clear();
  bool Result = false;
  try {
    if (!CanWalk()) return false;
    Result = true;
    if (!OpenArchive(FHandle, FArchiveFile)) {
      RaiseErrorStr(FArchiveFile, "", "", ErrReadFile);
      return false;
    }
    try {
      if (OnActivate) OnActivate(this);
      Setup();
      if (OnElapsedTime) FTimer.Start();
      Walk();
    } catch (...) {
      Result = false;
    }
    Finish();
  } catch (...) {
    Result = false;
  }
  if (FHandle != kstInvalidHandle) CloseArchive(FHandle);
  FHandle = kstInvalidHandle;
  return Result;
}

void TKestrel::Setup() {
  NumFiles = 0;
  PackSize = UnpackSize = 0;
  ClearEntry();
  FStartPosition = DataOffset;
  FEndLimit = ArchiveSize;
  if (OnCorruptZipHeader && (HeadFlag & kHeadComplete) != kHeadComplete) {
    bool Cancel = true;
    OnCorruptZipHeader(this, HeadFlag, Cancel);
    if (Cancel) FStartPosition = FEndLimit;
  }
  FStartPosition += 1;
  if (!(HeadFlag & kHeadCentralDir)) HeadFlag = kHeadLocalHeader;
  if (HeadFlag == kHeadLocalHeader) {
    FHeaderSize = TLocal::Size;
    uint8_t First[4];
    if (ReadAt(FHandle, FStartPosition - 1, First, 4) == 4 && GetLE32(First) == kSpanSignature) {
      FStartPosition += 4;
    }
  } else {
    FHeaderSize = TCentral::Size;
  }
  FHeader.assign(FHeaderSize, 0);
}

void TKestrel::Walk() {
  FCurrentOffset = FStartPosition - 1;
  FRecordsRead = 0;
  // A record is read only when it ends before the limit, not at it.
  while (InBounds(FCurrentOffset, uint64_t(FHeaderSize) + 1, FEndLimit) && FHeaderSize > 0) {
    if (GetCancel()) break;
    ProcessMessages();
    FStartPosition = FCurrentOffset + 1;
    if (!InBounds(FCurrentOffset, FHeaderSize, ArchiveSize)) break;
    if (!kstSetFilePointer(FHandle, int64_t(FCurrentOffset))) {
      RaiseError(TExceptionClass::E_RAISE, FArchiveFile, "", "", ErrReadFile);
      break;
    }
    std::fill(FHeader.begin(), FHeader.end(), 0);
    const int64_t Got = kstRead(FHandle, FHeader.data(), FHeaderSize);
    if (Got <= 0) break;
    FCurrentOffset += uint64_t(Got);
    DoProcRecord();
    ++FRecordsRead;
  }
}

void TKestrel::Finish() {
  FTimer.Stop();
  if (OnTotals) OnTotals(this, int32_t(UnpackSize), int32_t(PackSize), CalcRatio(PackSize, UnpackSize), NumFiles);
  FStartPosition = 0;
  FCurrentOffset = 0;
  FEndLimit = 0;
  FHeaderSize = 0;
  if (OnDeactivate) OnDeactivate(this);
  CloseArchive(FHandle);
  FHandle = kstInvalidHandle;
  if (OnElapsedTime) OnElapsedTime(this, FTimer.ElapsedTime());
}

}  // namespace kst
