// Opening, closing and dating an entry's output target. A file whose folder is
// missing gets the folder created and a second attempt, and a read-only file of
// the same name is made writable for another; the attempts report nothing, since
// the driver reports a target that did not open once for the entry. Memory
// targets record an item before any byte arrives. The date (entry, current or
// newest of the run) is set before the file is closed, the stored attributes after.
#include "archive/core/Err_msgs.h"
#include "archive/extract/KstUnBase.h"
#include "archive/io/Kstfileio.h"
#include "archive/names/PathUtils.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace kst {
namespace {

std::string FolderOf(const std::string& Path) {
  const size_t Delimiter = Path.find_last_of("\\/");
  return Delimiter == std::string::npos ? std::string() : Path.substr(0, Delimiter + 1);
}

// The local time of a DOS stamp as a file time; false for an invalid stamp.
bool DosToFileTime(uint32_t DosDateTime, platform::FileTime& Time) {
  platform::LocalTime Local;
  Local.Year = 1980 + int(DosDateTime >> 25);
  Local.Month = int(DosDateTime >> 21) & 0x0F;
  Local.Day = int(DosDateTime >> 16) & 0x1F;
  Local.Hour = int(DosDateTime >> 11) & 0x1F;
  Local.Minute = int(DosDateTime >> 5) & 0x3F;
  Local.Second = int(DosDateTime & 0x1F) * 2;
  if (Local.Hour > 23 || Local.Minute > 59 || Local.Second > 59) return false;
  return platform::IsValidLocalTime(Local) && platform::LocalToFileTime(Local, Time);
}

uint32_t NowAsDosDateTime() {
  const platform::LocalTime Now = platform::Now();
  if (Now.Year < 1980 || Now.Year > 2107) return 0;
  return uint32_t(Now.Year - 1980) << 25 | uint32_t(Now.Month) << 21 | uint32_t(Now.Day) << 16 |
         uint32_t(Now.Hour) << 11 | uint32_t(Now.Minute) << 5 | uint32_t(Now.Second / 2);
}

}  // namespace

bool TUnBase::Open_OutFile(THandle& OutFile, const std::string& Name, const std::string& Stored) {
  if (IsEncrypted && PasswordFailed) return true;
  if (Name.empty()) return false;
  switch (FileAccessMethod) {
    case faFile: {
      // The folder is usually there already (an earlier entry made it): try
      // first, and create it only when the file does not open.
      OutFile = kstOpenFileWrite(nullptr, Name, true);
      const std::string Folder = FolderOf(Name);
      if (OutFile == kstInvalidHandle && !Folder.empty() && ForceDirectories(Folder))
        OutFile = kstOpenFileWrite(nullptr, Name, true);
      if (OutFile == kstInvalidHandle) {
        const uint32_t Attr = platform::GetAttributes(Name);
        if (Attr != platform::kInvalidAttributes && (Attr & platform::kAttrReadOnly) != 0 &&
            platform::SetAttributes(Name, Attr & ~platform::kAttrReadOnly)) {
          OutFile = kstOpenFileWrite(nullptr, Name, true);
        }
      }
      return OutFile != kstInvalidHandle;
    }
    case faMemoryStream: {
      if (FMemoryStream == nullptr) return false;
      TStreamHeader Item;
      Item.FileDate = FLocal.DosDateTime;
      Item.FileSize = FInflateRec.UnpackedSize;
      Item.FileOffset = static_cast<uint32_t>(FMemoryStream->Position());
      Item.FileName = Stored;
      FMemoryStream->ADDITEM(Item);
      return true;
    }
    case faFileStream:
      OutFile = kstOpenFile(nullptr, Name, TFileAccess::ReadWrite, TFileDisposition::OpenExisting);
      return OutFile != kstInvalidHandle;
    case faUserStream: return FUserStream != nullptr;
    case faPointer: return false;
    case faNul:
    case faSearch:
    case faVerify: return true;
  }
  return false;
}

bool TUnBase::Close_OutFile(THandle& OutFile) {
  switch (FileAccessMethod) {
    case faFile:
    case faFileStream: {
      if (OutFile == kstInvalidHandle) return false;
      kstCloseFile(OutFile);
      OutFile = kstInvalidHandle;
      return true;
    }
    case faMemoryStream:
    case faUserStream: return true;
    default: return false;
  }
}

void TUnBase::CloseAndSetDate(THandle& OutFile, const std::string& Name, uint32_t DosDateTime, uint32_t Attr) {
  if (!WriteToFile()) {
    FileName = StoredName;
    return;
  }
  uint32_t Stamp = DosDateTime;
  if (DateAttribute == daSysDate)
    Stamp = NowAsDosDateTime();
  else if (DateAttribute == daMaxFileDate)
    Stamp = MaxFileDate;
  platform::FileTimes Times;
  if (OutFile != kstInvalidHandle && DosToFileTime(Stamp, Times.LastWrite)) platform::SetTimes(OutFile, Times);
  if (!Close_OutFile(OutFile)) RaiseErrorStr(Name, "", "0", ErrCloseFile);
  if (RestoreFileAttr && Attr != platform::kAttrArchive) platform::SetAttributes(Name, Attr);
}

}  // namespace kst
