// The run operations of TUnBase and the common run (UnBase_Execute). Each
// operation chooses the target, prepares what it needs (a stream, a single
// name), runs, and puts back what it changed also when the run raises.
#include "archive/extract/KstUnBase.h"

#include <utility>

#include "archive/core/Err_msgs.h"
#include "archive/core/Restore.h"
#include "archive/core/StringList.h"
#include "archive/io/Kstfileio.h"
#include "platform/FileSystem.h"

namespace kst {

TUnBase::TUnBase(TComponent* AOwner) : TZipCommon(AOwner) {}

TUnBase::~TUnBase() = default;

int32_t TUnBase::Extract() { return RunWithTarget(faFile); }

int32_t TUnBase::ExtractToMemoryStream(TDecompMemoryStream* Stream) {
  if (Stream == nullptr) {
    RaiseError(TExceptionClass::E_RAISE, "", "", "0", ErrNoMemoryStream);
    return 0;  // only when cancelled
  }
  FMemoryStream = Stream;
  struct TReset {
    TUnBase& Self;
    ~TReset() {
      if (Self.FMemoryStream) Self.FMemoryStream->SetPosition(0);
      Self.FMemoryStream = nullptr;
    }
  } Reset{*this};
  return RunWithTarget(faMemoryStream);
}

int32_t TUnBase::ExtractToFileStream(const std::string& Name, TOutStream* Stream) {
  if (Stream == nullptr) {
    RaiseError(TExceptionClass::E_RAISE, "", "", "0", ErrNoFileStream);
    return 0;
  }
  auto KeepSpec = RestoreOnExit(FileSpec);
  FileSpec = TStringList{Name};
  FUserStream = Stream;
  struct TReset {
    TUnBase& Self;
    ~TReset() {
      if (Self.FUserStream) Self.FUserStream->SetPosition(0);
      Self.FUserStream = nullptr;
    }
  } Reset{*this};
  return RunWithTarget(faUserStream);
}

int32_t TUnBase::ExtractToPointer(const std::string& Name, void* Buffer) {
  if (Buffer == nullptr) {
    RaiseError(TExceptionClass::E_RAISE, "", "", "0", ErrNoFileStream);
    return 0;
  }
  auto KeepSpec = RestoreOnExit(FileSpec);
  FileSpec = TStringList{Name};
  return RunWithTarget(faPointer);
}

int32_t TUnBase::ExtractToVerify() { return RunWithTarget(faVerify); }
int32_t TUnBase::ExtractToSearch() { return RunWithTarget(faSearch); }
int32_t TUnBase::ExtractToNul() { return RunWithTarget(faNul); }

int32_t TUnBase::RunWithTarget(TFileAccessMethod Target) {
  FileAccessMethod = Target;
  InputSource = isArchiveFile;
  return UnBase_Execute();
}

void TUnBase::FinishRun(THandle InFile) {
  FInFile = kstInvalidHandle;
  if (OnElapsedTime) {
    FTimer.Stop();
    OnElapsedTime(this, FTimer.ElapsedTime());
  }
  CloseArchive(InFile);
  if (OnDeactivate) OnDeactivate(this);
}

int32_t TUnBase::UnBase_Execute() {
  SetCancel(false);
  FileCount = 0;
  TotalPackedSize = TotalUnpackedSize = BytesRemaining = MaxFileDate = 0;
  IsEncrypted = PasswordFailed = false;
  ProgressMethod = [this](uint8_t ByFile, uint8_t ByArchive) { RetProgress(ByFile, ByArchive); };
  if (CpuType == cpt80486) CpuType = cptAuto;

  auto KeepArchive = RestoreOnExit(FArchiveFile);
  ExcludeSpec.clear();
  if (FArchiveFile.empty())
    RaiseError(TExceptionClass::E_RAISE, "", "", "0", ErrFileNotFound);
  else if (!IsExtractable(FArcType))
    RaiseError(TExceptionClass::E_RAISE, FArchiveFile, "", "0", ErrArcTypeUnsupported);
  if (FArchiveFile.empty() || !IsExtractable(FArcType)) return 0;  // cancelled reports

  THandle InFile = kstInvalidHandle;
  if (!OpenArchive(InFile, FArchiveFile)) {
    RaiseError(TExceptionClass::E_RAISE, FArchiveFile, "", "0", ErrOpenFile);
    return 0;
  }
  if (OnActivate) OnActivate(this);
  CurrentPassword.clear();
  FileName.clear();
  FInFile = InFile;
  if (OnElapsedTime) FTimer.Start();
  // The folders the run lists or creates are listed once, not once per file.
  const platform::PathLookupScope Lookups;
  try {
    ExtractIT(InFile, 0);
  } catch (...) {
    FinishRun(InFile);
    throw;
  }
  FinishRun(InFile);
  return FileCount;
}

}  // namespace kst
