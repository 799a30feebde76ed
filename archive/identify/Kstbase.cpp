// TZipCommon's configuration defaults, entry filter and error reporting. The
// error path pauses the stopwatch through a guard, so the time a handler takes is
// never billed to the operation and the stopwatch resumes however the report ends.
#include "archive/identify/Kstbase.h"

#include <algorithm>

#include "archive/core/Err_msgs.h"
#include "archive/core/DosDate.h"
#include "archive/core/KstTimer.h"
#include "archive/core/StringList.h"
#include "archive/names/NameConversion.h"
#include "archive/names/PathStrings.h"
#include "archive/names/Wildcard.h"
#include "platform/FileSystem.h"
#include "platform/Resources.h"

namespace kst {
namespace {

// Up to and including the last "\" or ":"; empty when there is none.
std::string FolderWithTail(const std::string& Path) {
  const size_t Delimiter = Path.find_last_of("\\:");
  return Delimiter == std::string::npos ? std::string() : Path.substr(0, Delimiter + 1);
}

// After the last "\" or ":".
std::string NameAfterFolder(const std::string& Path) {
  const size_t Delimiter = Path.find_last_of("\\:");
  return Delimiter == std::string::npos ? Path : Path.substr(Delimiter + 1);
}

// A stored name without its drive ("X:\" or "X:") or one leading "\".
std::string WithoutDrive(const std::string& Name) {
  if (Name.find(':') != std::string::npos) {
    const size_t DriveLength = Name.find('\\') == 2 ? 3 : 2;
    return Name.substr(std::min(DriveLength, Name.size()));
  }
  if (!Name.empty() && Name.front() == '\\') return Name.substr(1);
  return Name;
}

// "*.*" taken literally selects every name, also names without an extension.
bool SelectsName(const std::string& Name, const std::string& Pattern) {
  return Pattern == "*.*" || WildCard(Name, Pattern);
}

}  // namespace

TZipCommon::TZipCommon(TComponent* AOwner) : TRegisterKestrel(AOwner) { FileAttribute.SetDirectory(false); }

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

void TZipCommon::RaiseErrorStr(const std::string& FileName, const std::string& ExtendedMsg, const std::string& VolumeID,
                               int32_t ECode) {
  TkstTimerPause Pause(FTimer);
  ReportError(FileName, ExtendedMsg, VolumeID, ECode);
}

bool TZipCommon::CheckWildCard(const std::string& Name) {
  if (Name.empty()) return false;
  const bool Selected = std::any_of(FileSpec.begin(), FileSpec.end(),
                                    [&](const std::string& Pattern) { return SelectsName(Name, Pattern); });
  if (!Selected) return false;
  return std::none_of(ExcludeSpec.begin(), ExcludeSpec.end(),
                      [&](const std::string& Pattern) { return SelectsName(Name, Pattern); });
}

TDateTime TZipCommon::ConvertDate(int32_t DosDateTime) { return kstConvertDate(static_cast<uint32_t>(DosDateTime)); }

void TZipCommon::SetExtractDir(const std::string& Value) {
  if (!Value.empty()) {
    FExtractDir = AppendDirTail(UnixToDosFilename(Value));
    return;
  }
  FExtractDir = FolderWithTail(FArchiveFile);
}

void TZipCommon::SetFilename(const std::string& Name) {
  FileName = Name;
  if (Name.empty()) return;
  if (FExtractDir.empty()) SetExtractDir(FolderWithTail(FArchiveFile));
  if (FExtractDir.empty()) SetExtractDir(platform::CurrentDirectory());
  std::string Folder = AppendDirTail(FExtractDir);
  if (UseStoredDirs) {
    FileName = WithoutDrive(FileName);
    Folder += FolderWithTail(FileName);
  }
  if (Folder.find(':') == std::string::npos && (Folder.empty() || Folder.front() != '\\')) {
    Folder = '\\' + Folder;
  }
  FileName = Folder + NameAfterFolder(FileName);
}

int TZipCommon::ImageIndex() const { return platform::ShellIconIndex(FileName); }

std::string TZipCommon::GetFileType(const std::string& Name) const { return platform::ShellTypeName(Name); }

bool TZipCommon::IsWildCard(const TStringList& List) { return kst::IsWildCard(List); }

}  // namespace kst
