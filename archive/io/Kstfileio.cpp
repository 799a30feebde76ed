// The archive library's file wrappers on top of the platform's file services (see
// Kstfileio.h). The only report they make is error 25235 for a failed open, sent
// to the owning component's OnError; every other failure is answered in the
// return value.
#include "archive/io/Kstfileio.h"

#include <algorithm>
#include <cstring>

#include "archive/core/Err_msgs.h"
#include "archive/names/PathUtils.h"

namespace kst {

namespace {

// Attributes a directory search passes over unless the caller asks for them.
constexpr uint32_t kExcludable =
    platform::kAttrHidden | platform::kAttrSystem | platform::kAttrVolume | platform::kAttrDirectory;

THandle OpenThroughPlatform(const std::string& Name, TFileAccess Access, TFileDisposition Disposition) {
  switch (Access) {
    case TFileAccess::Read:
      return Disposition == TFileDisposition::OpenExisting ? platform::OpenRead(Name) : kstInvalidHandle;
    case TFileAccess::ReadWrite:
      return Disposition == TFileDisposition::OpenExisting ? platform::OpenReadWrite(Name) : kstInvalidHandle;
    case TFileAccess::Write:
      if (Disposition == TFileDisposition::OpenExisting) return platform::OpenReadWrite(Name);
      return platform::OpenWrite(Name, Disposition == TFileDisposition::CreateAlways);
  }
  return kstInvalidHandle;
}

// Copies the platform's item into the record's public fields.
void FillRecord(TSearchRec32& Rec) {
  Rec.Time = TFileTimeToInt(Rec.FindData.LastWrite);
  Rec.Size = static_cast<uint32_t>(Rec.FindData.Size & 0xFFFFFFFFu);
  Rec.Attr = Rec.FindData.Attributes;
  Rec.Name = Rec.FindData.Name;
}

// Moves past excluded items from the result Rc of the last First/Next call.
int SkipExcluded(TSearchRec32& Rec, int Rc) {
  while (Rc == 0 && (Rec.FindData.Attributes & Rec.ExcludeAttr) != 0) Rc = Rec.FindHandle.Next(Rec.FindData);
  if (Rc == 0) FillRecord(Rec);
  return Rc;
}

}  // namespace

THandle kstOpenFile(TFileErrorSink* Owner, const std::string& Name, TFileAccess Access, TFileDisposition Disposition) {
  const THandle Opened = Name.empty() ? kstInvalidHandle : OpenThroughPlatform(Name, Access, Disposition);
  if (Opened == kstInvalidHandle && Owner != nullptr) Owner->ReportFileError(Name, ErrOpenFile);
  return Opened;
}

THandle kstOpenFileRead(TFileErrorSink* Owner, const std::string& Name) {
  return kstOpenFile(Owner, Name, TFileAccess::Read, TFileDisposition::OpenExisting);
}

THandle kstOpenFileWrite(TFileErrorSink* Owner, const std::string& Name, bool Replace) {
  return kstOpenFile(Owner, Name, TFileAccess::Write,
                     Replace ? TFileDisposition::CreateAlways : TFileDisposition::CreateNew);
}

void kstCloseFile(THandle Handle) { platform::Close(Handle); }

int64_t kstRead(THandle Handle, void* Buffer, uint32_t Count) { return platform::Read(Handle, Buffer, Count); }

int64_t kstWrite(THandle Handle, const void* Buffer, uint32_t Count) { return platform::Write(Handle, Buffer, Count); }

int64_t kstGetFilePos(THandle Handle) { return platform::Tell(Handle); }

bool kstSetFilePointer(THandle Handle, int64_t Distance, platform::SeekOrigin Method) {
  return platform::Seek(Handle, Distance, Method) >= 0;
}

uint32_t kstGetFileSize(THandle Handle) {
  const int64_t FileSize = platform::Size(Handle);
  return FileSize < 0 || FileSize > 0xFFFFFFFF ? 0 : static_cast<uint32_t>(FileSize);
}

uint32_t kstGetFileDate(THandle Handle, TDateMethod Method) {
  platform::FileTimes Times;
  if (!platform::GetTimes(Handle, Times)) return 0;
  const platform::FileTime Chosen = Method == dtCreate       ? Times.Creation
                                    : Method == dtLastAccess ? Times.LastAccess
                                                             : Times.LastWrite;
  return Chosen == 0 ? 0 : TFileTimeToInt(Chosen);
}

platform::FileTime kstGetLastWrite(THandle Handle) {
  platform::FileTimes Times;
  return platform::GetTimes(Handle, Times) ? Times.LastWrite : 0;
}

bool kstFileExists(const std::string& Name) { return platform::Exists(Name); }

int kstFindFirst(const std::string& Pattern, uint32_t Attr, TSearchRec32& Rec) {
  Rec.ExcludeAttr = ~Attr & kExcludable;
  const int Result = SkipExcluded(Rec, Rec.FindHandle.First(Pattern, Rec.FindData));
  if (Result != 0) Rec.FindHandle.Close();
  return Result;
}

int kstFindNext(TSearchRec32& Rec) { return SkipExcluded(Rec, Rec.FindHandle.Next(Rec.FindData)); }

void kstFindClose(TSearchRec32& Rec) { Rec.FindHandle.Close(); }

std::string ReadFilename_DefinedLen(THandle Handle, int64_t& Pos, uint8_t Len) {
  std::string Text(Len, '\0');
  const bool Complete = kstSetFilePointer(Handle, Pos) && platform::Read(Handle, Text.data(), Len) == Len;
  Pos += Len;
  if (!Complete) return {};
  std::replace(Text.begin(), Text.end(), '\0', ' ');
  return Text;
}

std::string ReadFilename_NullTerminate(THandle Handle, int64_t& Pos) {
  char Bytes[256];
  int64_t Got = kstSetFilePointer(Handle, Pos) ? platform::Read(Handle, Bytes, sizeof Bytes) : -1;
  if (Got < 0) Got = 0;
  const char* End = std::find(Bytes, Bytes + Got, '\0');
  const std::string Text(Bytes, static_cast<size_t>(End - Bytes));
  Pos += static_cast<int64_t>(Text.size()) + 1;
  return Text;
}

}  // namespace kst
