// One ZIP record of TKestrel's walk: the signature check, the entry name (read
// in full, whatever its length, and named by the library's rule, EntryName.h),
// the filter, the current-entry record and the events, and the step to the next
// header. In a local-header walk a streamed entry (flag bit 3) is listed with
// the sizes and CRC of its data descriptor (StreamedEntryEnd.h); the walk stops
// after it only when none is found, since then nothing says where its data
// end. Names and comments
// are read only as far as the file goes.
#include <algorithm>
#include <optional>

#include "archive/core/Bounds.h"
#include "archive/core/Err_msgs.h"
#include "archive/identify/StreamedEntryEnd.h"
#include "archive/list/MethodNames.h"
#include "archive/names/NameConversion.h"
#include "archive/list/Kstkestrel.h"
#include "platform/Utf8Names.h"
#include "archive/names/EntryName.h"

namespace kst {
namespace {

constexpr uint32_t kAttrDirOrVolume = 0x18;
constexpr uint32_t kDefaultCommentLength = 2500;

}  // namespace

void TKestrel::ClearEntry() {
  FileCrc = 0;
  FileDate = 0;
  PackedSize = UnpackedSize = 0;
  Ratio = 0;
  CompressionMethodName.clear();
}

void TKestrel::DoProcRecord() {
  const uint64_t RecordStart = FCurrentOffset - FHeaderSize;
  const bool Local = HeadFlag == kHeadLocalHeader;
  if (GetLE32(FHeader.data()) != (Local ? kLocalSignature : kCentralSignature)) {
    if (FRecordsRead == 0) RaiseErrorStr(FArchiveFile, "", "", ErrBadFileHeader);
    FCurrentOffset = FEndLimit;
    return;
  }
  if (Local) {
    ProcessLocal(RecordStart);
  } else {
    ProcessCentral();
  }
  FileComment.clear();
}

void TKestrel::ProcessLocal(uint64_t RecordStart) {
  FLocal = TLocal::Parse(FHeader.data());
  // No central record says which system wrote the entry.
  std::string Extra;
  FileName = ReadEntryName(FLocal.NameLength, FLocal.Flags, kMadeByUnknown, FLocal.ExtraLength, Extra);
  const bool Zip64 = TakeZip64Sizes(FLocal, Extra);
  const uint64_t DataStart = FCurrentOffset + FLocal.ExtraLength;
  const std::optional<TStreamedEnd> End = FindStreamedEnd(FHandle, FLocal, DataStart, ArchiveSize, Zip64);
  const bool Unknown = EndUnknown(FLocal, End);
  if (End) End->ApplyTo(FLocal);
  if (OnReadFile) OnReadFile(this, FileName);
  if (CheckWildCard(FileName)) {
    ++NumFiles;
    IncTotals(FLocal.PackedSize, FLocal.UnpackedSize);
    DoRead(int32_t(RecordStart));
  }
  FCurrentOffset = Unknown ? FEndLimit : DataStart + FLocal.PackedSize + (End ? End->DescriptorSize : 0);
}

void TKestrel::ProcessCentral() {
  FCentral = TCentral::Parse(FHeader.data());
  std::string Extra;
  FileName = ReadEntryName(FCentral.NameLength, FCentral.Flags, FCentral.VersionMadeBy, FCentral.ExtraLength, Extra);
  if (OnReadFile) OnReadFile(this, FileName);
  if (FCentral.CommentLength != 0) {
    const uint64_t Saved = FCurrentOffset;
    FCurrentOffset += FCentral.ExtraLength;
    GetComment(FileComment, FCentral.CommentLength);
    FCurrentOffset = Saved;
  }
  if (CheckWildCard(FileName)) {
    if (FCentral.ExternalAttr & kAttrDirOrVolume) {
      if (ShowEmptyDirs) DoRead(int32_t(FCentral.LocalOffset));
    } else {
      ++NumFiles;
      IncTotals(FCentral.PackedSize, FCentral.UnpackedSize);
      DoRead(int32_t(FCentral.LocalOffset));
    }
  }
  FCurrentOffset += uint64_t(FCentral.ExtraLength) + FCentral.CommentLength;
}

std::string TKestrel::ReadEntryName(uint16_t Length, uint16_t Flags, int VersionMadeBy, uint16_t ExtraLength,
                                    std::string& Extra) {
  std::string Raw(Length, '\0');
  const bool Complete = ReadAt(FHandle, FCurrentOffset, Raw.data(), Length) == Length;
  FCurrentOffset += Length;
  Extra.clear();
  if (!Complete) return {};
  Extra.resize(ExtraLength);
  if (ExtraLength > 0) Extra.resize(ReadAt(FHandle, FCurrentOffset, Extra.data(), ExtraLength));
  return EntryName({Raw, Flags, VersionMadeBy, Extra}, TranslateOemChar, TNameZeros::Space, ForeignBackslash);
}

void TKestrel::GetComment(std::string& Text, uint32_t Length) {
  if (Length == 0) Length = kDefaultCommentLength;
  uint64_t Count = Length;
  // The comment stops short of the file's last byte.
  if (!InBounds(FCurrentOffset, Count + 1, ArchiveSize))
    Count = InBounds(FCurrentOffset, 1, ArchiveSize) ? ArchiveSize - FCurrentOffset - 1 : 0;
  std::string Bytes(size_t(Count), '\0');
  Bytes.resize(ReadAt(FHandle, FCurrentOffset, Bytes.data(), uint32_t(Count)));
  Text = Bytes.substr(0, Bytes.find('\0'));
}

void TKestrel::IncTotals(uint32_t Packed, uint32_t Unpacked) {
  PackSize += Packed;
  UnpackSize += Unpacked;
}

void TKestrel::DoRead(int32_t Offset) {
  if (Operation == opFileOnly) {
    if (TargetList) TargetList->push_back(FileName);
    return;
  }
  if (HeadFlag == kHeadLocalHeader) {
    VersionMadeBy = VersionNeeded = FLocal.VersionNeeded;
    InternalAttr = ExternalAttr = 0;
    Encrypted = FLocal.Flags & kFlagEncrypted;
    CompressionMethod = FLocal.Method;
    CompressionMethodName = GetCompressionMethodStr(FArcType, FLocal.Method, uint8_t(FLocal.Flags), 0);
    FileDate = ConvertDate(int32_t(FLocal.DosDateTime));
    FileCrc = FLocal.Crc;
    PackedSize = FLocal.PackedSize;
    UnpackedSize = FLocal.UnpackedSize;
  } else {
    const bool DirOrVolume = FCentral.ExternalAttr & kAttrDirOrVolume;
    VersionMadeBy = FCentral.VersionMadeBy;
    VersionNeeded = FCentral.VersionNeeded;
    InternalAttr = FCentral.InternalAttr;
    ExternalAttr = uint16_t(FCentral.ExternalAttr);
    Encrypted = FCentral.Flags & kFlagEncrypted;
    CompressionMethod = FCentral.Method;
    CompressionMethodName = DirOrVolume ? std::string()
                                        : GetCompressionMethodStr(FArcType, FCentral.Method, uint8_t(FCentral.Flags),
                                                                  FCentral.ExternalAttr);
    FileDate = ConvertDate(int32_t(FCentral.DosDateTime));
    FileCrc = FCentral.Crc;
    PackedSize = FCentral.PackedSize;
    UnpackedSize = FCentral.UnpackedSize;
  }
  Ratio = CalcRatio(PackedSize, UnpackedSize);
  DoEvents(Offset, NumFiles);
}

void TKestrel::DoEvents(int32_t Offset, int32_t Filenum) {
  if (OnReadBegin) OnReadBegin(this);
  if (OnRead) OnRead(this, Offset, Filenum);
  if (OnReadEnd) OnReadEnd(this);
}

uint8_t TKestrel::CalcRatio(uint32_t Packed, uint32_t Unpacked) {
  if (Packed == 0 || Unpacked == 0 || Packed >= Unpacked) return 0;
  if (Unpacked - Packed > 100000) {
    Packed /= 100;
    Unpacked /= 100;
  }
  const uint32_t Percent = uint32_t(uint64_t(Unpacked - Packed) * 100 / Unpacked);
  return uint8_t(Percent == 0 ? 1 : Percent);
}

}  // namespace kst
