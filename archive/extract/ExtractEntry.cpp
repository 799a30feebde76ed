// One selected entry of a run, from password to OnEnd. Names that could lead
// outside ExtractDir (a parent component, or a built path not below ExtractDir)
// are never written to a file: they are reported as invalid file names and
// skipped. Any exception after the entry was accepted ends this entry only.
// With WholeFilesOnly a file is written under a temporary name and takes its
// final name only once whole; an entry no decoder reads opens no file at all.
#include <algorithm>
#include <string_view>
#include <utility>

#include "archive/core/Err_msgs.h"
#include "archive/extract/Kstinflate.h"
#include "archive/extract/KstUnBase.h"
#include "archive/crc/Crc.h"
#include "archive/identify/ArcType.h"
#include "archive/io/Kstfileio.h"
#include "archive/names/NameConversion.h"
#include "archive/names/NoCase.h"
#include "archive/names/PathStrings.h"
#include "archive/names/PathUtils.h"
#include "platform/AtomicSave.h"
#include "platform/FileSystem.h"

namespace kst {
namespace {

constexpr uint32_t AttrVolume = 0x08;
constexpr uint32_t AttrDirectory = 0x10;

// A component that reaches the parent folder: "..", and also any run of two or
// more dots (with spaces), which Windows trims down to "..".
bool IsParentComponent(std::string_view Part) {
  const size_t Dots = size_t(std::count(Part.begin(), Part.end(), '.'));
  return Dots >= 2 && Part.find_first_not_of(". ") == std::string_view::npos;
}

bool HasParentComponent(const std::string& Name) {
  size_t Start = 0;
  while (Start <= Name.size()) {
    size_t End = Name.find_first_of("\\/", Start);
    if (End == std::string::npos) End = Name.size();
    if (IsParentComponent(std::string_view(Name).substr(Start, End - Start))) return true;
    Start = End + 1;
  }
  return false;
}

// The methods ExtractFile hands to a decoder.
bool IsDecodedMethod(uint32_t Method) { return Method <= 6 || Method == 8; }

}  // namespace

bool TUnBase::FinishPartialFile(bool Pass) {
  if (PartialFile.empty()) return Pass;
  const std::string Partial = std::move(PartialFile);
  PartialFile.clear();
  if ((Pass || KeepBrokenFiles) && platform::RenameFile(Partial, FileName, true)) return Pass;
  if (Pass) RaiseErrorStr(FileName, "", "0", ErrOpenFile);
  platform::RemoveFile(Partial);
  return false;
}

bool TUnBase::IsSafeOutputName() const {
  if (HasParentComponent(StoredName)) return false;
  // The folder every output path starts with (as SetFilename builds it).
  std::string Dir = AppendDirTail(UnixToDosFilename(FExtractDir));
  if (Dir.empty()) return true;
  if (Dir.find(':') == std::string::npos && Dir.front() != '\\') Dir = '\\' + Dir;
  return StartsWithNoCase(UnixToDosFilename(FileName), Dir);
}

uint32_t TUnBase::DecodeToTarget(THandle InFile, THandle& OutFile, uint32_t ExtAttr) {
  if (FileAccessMethod == faFile && !IsDecodedMethod(FInflateRec.Method)) {
    RaiseErrorStr(FileName, "", "0", ErrUnsupportedMethod);
    AdjustProgress(FInflateRec);
    FForceCrcFail = true;
    return FExpectedCrc;
  }
  PartialFile.clear();
  if (FileAccessMethod == faFile && WholeFilesOnly && !(IsEncrypted && PasswordFailed))
    PartialFile = platform::AtomicSaveTempName(FileName);
  const std::string& Target = PartialFile.empty() ? FileName : PartialFile;
  if (!Open_OutFile(OutFile, Target, StoredName)) {
    PartialFile.clear();
    RaiseErrorStr(FileName, "", "0", ErrOpenFile);
    AdjustProgress(FInflateRec);
    FForceCrcFail = true;
    return CRC_MASK;
  }
  if (IsEncrypted && PasswordFailed) {
    // No password: the entry is skipped, not counted, and fails its check.
    --FileCount;
    AdjustProgress(FInflateRec);
    FForceCrcFail = true;
    FileName = StoredName;
    return FExpectedCrc;
  }
  try {
    ExtractFile(*this, InFile, OutFile, FileName, FInflateRec);
  } catch (const std::exception&) {
    FForceCrcFail = true;  // the write failed: the output is incomplete
  }
  CloseAndSetDate(OutFile, Target, FLocal.DosDateTime, ExtAttr);
  return FExpectedCrc;
}

void TUnBase::OpenAndExtractFile(THandle InFile, THandle& OutFile, uint32_t ExtAttr) {
  FForceCrcFail = false;
  if (WriteToFile() && !IsSafeOutputName()) {
    RaiseErrorStr(StoredName, "", "0", ErrInvalidFileName);
    AdjustProgress(FInflateRec);
    return;
  }
  IsEncrypted = (FInflateRec.BitFlag & kFlagEncrypted) != 0;
  if (IsEncrypted && !PasswordFailed && !RequestPassword(InFile)) PasswordFailed = true;

  const bool FolderOrLabel = (ExtAttr & (AttrDirectory | AttrVolume)) != 0;
  if (!doOnBegin(FolderOrLabel)) {
    AdjustProgress(FInflateRec);
    return;
  }
  try {
    if (ExtAttr & AttrVolume) {
      Crc32Val = CRC_MASK;
      return;
    }
    if (FArcType == atJar) {
      const size_t Delimiter = FileName.find_last_of("\\:");
      const bool NoName = Delimiter == std::string::npos ? FileName.empty() : Delimiter + 1 == FileName.size();
      ExtAttr = NoName ? AttrDirectory : 0x20;
    }
    // A name ending in a separator is a folder whatever its attributes say
    // (Java, for one, writes folders with attributes 0).
    if (!StoredName.empty() && StoredName.back() == '\\') ExtAttr |= AttrDirectory;
    if (ExtAttr & AttrDirectory) {
      if (CreateStoredDirs && WriteToFile() && !FileName.empty()) ForceDirectories(FileName);
      return;
    }
    const uint32_t CompareCrc = DecodeToTarget(InFile, OutFile, ExtAttr);
    doOnEnd(32, CompareCrc);
  } catch (const std::exception&) {
    // Reported where it arose (a handler's own exception is not); the entry
    // ends here and the run goes on.
  }
  if (OutFile != kstInvalidHandle && WriteToFile()) Close_OutFile(OutFile);
  // An entry that ended early leaves no temporary file behind.
  if (!PartialFile.empty()) platform::RemoveFile(std::exchange(PartialFile, std::string()));
}

}  // namespace kst
