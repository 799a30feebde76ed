// Identification of an archive from its bytes (TRegisterKestrel::GetArcType).
// The first 32767 bytes decide the road: an executable ("MZ") is searched for an
// archive inside it (fixed self-extractor offsets, the offsets its string
// resources name, the end of its DOS image, the ZIP end record, then a byte
// search from offset 17000); any other file is judged by its first non-zero
// bytes, with the "**ACE**" mark, the UUE and TAR tests and a last look for a ZIP
// end record as fall-backs. A ".jar" ZIP becomes atJar. The file is open only
// inside this call.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/identify/ArcTypeInfo.h"
#include "archive/identify/Kstregister.h"
#include "platform/Resources.h"

namespace kst {
namespace {

constexpr uint32_t kHeadBytes = 32767;
constexpr uint32_t kByteSearchStart = 17000;
constexpr uint32_t kInvalidArchiveDate = 29221;

// Closes the archive however identification ends.
class TIdentifyHandle {
 public:
  explicit TIdentifyHandle(THandle Handle) : FHandle(Handle) {}
  ~TIdentifyHandle() { kstCloseFile(FHandle); }
  TIdentifyHandle(const TIdentifyHandle&) = delete;
  TIdentifyHandle& operator=(const TIdentifyHandle&) = delete;

 private:
  THandle FHandle;
};

// The four bytes at Offset of Head as a little-endian word (missing bytes are 0).
uint32_t WordAt(const std::vector<uint8_t>& Head, size_t Offset) {
  uint8_t Bytes[4] = {0, 0, 0, 0};
  for (size_t I = 0; I < 4 && Offset + I < Head.size(); ++I) Bytes[I] = Head[Offset + I];
  return GetLE32(Bytes);
}

bool HasAceMark(const std::vector<uint8_t>& Head) {
  return Head.size() >= 14 && std::memcmp(&Head[7], "**ACE**", 7) == 0;
}

bool IsDecimal(const std::string& Text) {
  return !Text.empty() && std::all_of(Text.begin(), Text.end(), [](char C) { return C >= '0' && C <= '9'; });
}

bool HasJarExtension(const std::string& Path) {
  const size_t Dot = Path.find_last_of(".\\:");
  if (Dot == std::string::npos || Path[Dot] != '.') return false;
  return ArchiveExtIndex(Path.substr(Dot)) == JarExtIndex;
}

}  // namespace

void TRegisterKestrel::GetArcType() {
  CommentPos = 0;
  if (FArchiveFile.empty()) {
    FArcType = atNA;
    return;
  }
  FArcType = atFileOpenErr;
  GetArchiveDriveInfo();
  THandle Handle = kstInvalidHandle;
  if (!OpenArchive(Handle, FArchiveFile)) return;
  TIdentifyHandle Closer(Handle);

  DataOffset = 1;
  HeadFlag = 0;
  if (ArchiveSize > 19) {
    std::vector<uint8_t> Head(std::min(ArchiveSize, kHeadBytes));
    Head.resize(ReadAt(Handle, 0, Head.data(), uint32_t(Head.size())));
    if (Head.size() >= 2 && Head[0] == 'M' && Head[1] == 'Z') {
      IdentifyExecutable(Handle, Head);
    } else {
      IdentifyPlainFile(Handle, Head);
    }
  }

  if (IsArcValid(FArcType) && FArcType == atZip && HasJarExtension(FArchiveFile)) FArcType = atJar;
  const uint32_t Date = kstGetFileDate(Handle, dtCreate);
  ArchiveDate = (Date == 0 || !IsArcValid(FArcType)) ? kInvalidArchiveDate : Date;
}

void TRegisterKestrel::IdentifyExecutable(THandle Handle, const std::vector<uint8_t>& Head) {
  FArcType = atUnknown;
  if (IsSFXZipped(Handle)) return;
  if (TryStringResources(Handle)) return;
  bool Failed = false;
  if (TryDosImageEnd(Handle, Head, Failed) || Failed) return;
  EndRecord.Signature = 0;
  if (!IsArcValid(FArcType)) {
    DataOffset = GetCentralDirOffset(Handle);
    if (DataOffset != 0) FArcType = atZipExe;
  }
  if (!IsArcValid(FArcType)) {
    TArcType Found = atUnknown;
    DataOffset = doByteSearch(Handle, Found, kByteSearchStart);
    FArcType = Found;
  }
}

bool TRegisterKestrel::TryStringResources(THandle Handle) {
  const std::vector<std::string> Strings = platform::LoadStringResources(FArchiveFile, {1, 2, 3, 4}, 5);
  for (const std::string& Text : Strings) {
    if (!IsDecimal(Text)) break;
    DataOffset = uint32_t(std::stoul(Text));
    if (DataOffset >= ArchiveSize) break;
    uint8_t Bytes[4];
    if (ReadAt(Handle, DataOffset, Bytes, 4) != 4) continue;
    FArcType = TAT(Handle, 0, GetLE32(Bytes));
    if (FArcType != atUnknown) {
      HeadFlag = kHeadLocalHeader;
      return true;
    }
  }
  return false;
}

bool TRegisterKestrel::TryDosImageEnd(THandle Handle, const std::vector<uint8_t>& Head, bool& Failed) {
  if (Head.size() < 6) return false;
  int64_t P = (int64_t(GetLE16(&Head[4])) - 1) * 512 + GetLE16(&Head[2]);
  if (P <= 0 || P + 4 >= int64_t(ArchiveSize)) return false;
  uint8_t Bytes[4];
  if (!kstSetFilePointer(Handle, P)) {
    FArcType = atFileOpenErr;
    Failed = true;
    return false;
  }
  if (kstRead(Handle, Bytes, 4) == 4 && Bytes[2] == 0x60 && Bytes[3] == 0xEA) P += 2;
  DataOffset = uint32_t(P + 1);
  if (P + 5 >= int64_t(ArchiveSize)) return false;
  if (!kstSetFilePointer(Handle, P)) {
    Failed = true;
    return false;
  }
  if (kstRead(Handle, Bytes, 4) != 4) return false;
  if (GetLE32(Bytes) != kLocalSignature) FArcType = TAT(Handle, 0, GetLE32(Bytes));
  return IsArcValid(FArcType);
}

void TRegisterKestrel::IdentifyPlainFile(THandle Handle, const std::vector<uint8_t>& Head) {
  size_t Zeros = 0;
  while (Zeros < Head.size() && Head[Zeros] == 0) ++Zeros;
  FArcType = TAT(Handle, 1, WordAt(Head, Zeros));
  if (FArcType == atZip || FArcType == atZipExe) {
    DataOffset = GetCentralDirOffset(Handle);
    if (!(HeadFlag & kHeadLocalHeader) && DataOffset == 0) {
      DataOffset = uint32_t(Zeros);
      HeadFlag |= kHeadLocalHeader;
    }
  } else if (FArcType != atZipMV && HasAceMark(Head)) {
    FArcType = atAce;
  }
  if (IsArcValid(FArcType)) return;
  if (HasAceMark(Head)) {
    FArcType = atAce;
  } else if (!IsUue(Head) && !IsTar(Handle)) {
    DataOffset = GetCentralDirOffset(Handle);
    if ((HeadFlag & (kHeadEndRecord | kHeadLocalHeader)) == (kHeadEndRecord | kHeadLocalHeader)) FArcType = atZip;
  }
}

}  // namespace kst
