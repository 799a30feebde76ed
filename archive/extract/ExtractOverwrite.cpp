// Start and end of an entry: OnBegin, the overwrite decision (with or without
// confirmation through OnFileExists) and the CRC verdict reported by OnEnd.
#include "archive/core/Err_msgs.h"
#include "archive/extract/KstUnBase.h"
#include "archive/io/Kstfileio.h"
#include "archive/names/NoCase.h"
#include "platform/FileSystem.h"

namespace kst {
namespace {

// A file already under Name. A folder that answers to the name (on Linux a
// folder spelled in another case) is no file to keep or replace.
bool FileInTheWay(const std::string& Name) {
  if (!kstFileExists(Name)) return false;
  const uint32_t Attr = platform::GetAttributes(Name);
  return Attr == platform::kInvalidAttributes || (Attr & platform::kAttrDirectory) == 0;
}

}  // namespace

bool TUnBase::doOnBegin(bool FolderOrLabel) {
  if (FolderOrLabel) return true;
  TkstTimerPause Pause(FTimer);
  bool DoExtract = true;
  if (OverwriteMode == omOverwrite && OnBegin)
    OnBegin(this, WriteToFile() ? FileName : StoredName, FileCount, DoExtract);
  if (GetCancel() || !DoExtract) return false;

  if (!ConfirmOverwrites) {
    if (OverwriteMode != omOverwrite) return false;
    ++FileCount;
    return true;
  }
  if (WriteToFile()) {
    if (OnFileExists) {
      OverwriteMode = omOverwrite;
      while (!GetCancel() && OverwriteMode == omOverwrite && FileInTheWay(FileName)) {
        std::string NewFilename;
        OnFileExists(this, FileName, NewFilename, OverwriteMode);
        if (NewFilename.empty()) NewFilename = FileName;
        if (OverwriteMode == omSkip || EqualNoCase(NewFilename, FileName)) break;
        FileName = NewFilename;
      }
    } else if (FileInTheWay(FileName)) {
      // Nobody can be asked: the existing file stays, and so does every later one.
      RaiseErrorStr(FileName, "OnFileExists", "0", ErrEventNotAssigned);
      OverwriteMode = omSkip;
    }
  }
  if (GetCancel() || OverwriteMode != omOverwrite || FileName.empty()) return false;
  ++FileCount;
  return true;
}

bool TUnBase::doOnEnd(int32_t Width, uint32_t HeaderCrc) {
  const uint32_t Register = Width == 16 ? Crc16Val : Crc32Val;
  const bool CRC_PASS =
      FinishPartialFile(!FForceCrcFail && (HeaderCrc == Register || HeaderCrc == (Register ^ 0xFFFFFFFFu)));
  const std::string& FN = WriteToFile() ? FileName : StoredName;
  if (OnEnd) {
    OnEnd(this, FN, CRC_PASS);
  } else if (!CRC_PASS && OnError) {
    RaiseErrorStr(FN, "", "0", ErrCrcCheck);
  }
  return CRC_PASS;
}

}  // namespace kst
