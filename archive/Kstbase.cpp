// TZipCommon's configuration defaults, entry filter and error reporting. The
// error path pauses the stopwatch through a guard, so the time a handler takes is
// never billed to the operation and the stopwatch resumes however the report ends.
#include "archive/Kstbase.h"

#include <algorithm>

#include "archive/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "archive/NameConversion.h"
#include "archive/PathStrings.h"
#include "archive/Wildcard.h"

namespace kst {
namespace {

// "*.*" taken literally selects every name, also names without an extension.
bool SelectsName(const std::string& Name, const std::string& Spec) {
  return Spec == "*.*" || WildCard(Name, Spec);
}

}  // namespace

TZipCommon::TZipCommon(TComponent* AOwner) : TRegisterKestrel(AOwner) {
  FileAttribute.SetDirectory(false);
}

int32_t TZipCommon::ReportError(const std::string& FileName, const std::string& ExtendedMsg,
                                const std::string& VolumeID, int32_t ECode) {
  if (GetCancel()) ECode = ErrUserCanceled;
  if (OnError) OnError(this, FileName, ExtendedMsg, VolumeID, ECode);
  return ECode;
}

void TZipCommon::RaiseError(TExceptionClass /*ExceptionClass*/, const std::string& FileName,
                            const std::string& ExtendedMsg, const std::string& VolumeID, int32_t ECode) {
  TkstTimerPause Pause(FTimer);
  const int32_t Reported = ReportError(FileName, ExtendedMsg, VolumeID, ECode);
  if (!GetCancel()) throw E_RAISE(ErrorText(Reported));
}

void TZipCommon::RaiseErrorStr(const std::string& FileName, const std::string& ExtendedMsg,
                               const std::string& VolumeID, int32_t ECode) {
  TkstTimerPause Pause(FTimer);
  ReportError(FileName, ExtendedMsg, VolumeID, ECode);
}

bool TZipCommon::CheckWildCard(const std::string& Name) {
  if (Name.empty()) return false;
  const bool Selected = std::any_of(FileSpec.begin(), FileSpec.end(),
                                    [&](const std::string& Spec) { return SelectsName(Name, Spec); });
  if (!Selected) return false;
  return std::none_of(ExcludeSpec.begin(), ExcludeSpec.end(),
                      [&](const std::string& Spec) { return SelectsName(Name, Spec); });
}

TDateTime TZipCommon::ConvertDate(int32_t DosDateTime) {
  return kstConvertDate(static_cast<uint32_t>(DosDateTime));
}

void TZipCommon::SetExtractDir(const std::string& Value) {
  if (!Value.empty()) {
    FExtractDir = AppendDirTail(UnixToDosFilename(Value));
    return;
  }
  const size_t Delimiter = FArchiveFile.find_last_of("\\:");
  FExtractDir = Delimiter == std::string::npos ? std::string() : FArchiveFile.substr(0, Delimiter + 1);
}

void TZipCommon::SetZipCmntBufSize(int32_t Value) {
  FZipCmntBufSize = std::clamp(Value, MinZipCmntBufSize, MaxZipCmntBufSize);
}

bool TZipCommon::IsWildCard(const TStringList& List) { return kst::IsWildCard(List); }

}  // namespace kst
