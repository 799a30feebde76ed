// The read and write procedures of an extraction run. Reads come from the
// archive file (or a memory stream) and are decrypted and checksummed in place;
// writes are decrypted in place when asked, go to the run's target and are
// checksummed as written. Targets without a sink (faNul, faSearch, faVerify)
// take the bytes, so their CRC is still checked: that is how an archive is tested.
#include <algorithm>

#include "archive/crc/Crc.h"
#include "archive/core/Err_msgs.h"
#include "archive/extract/KstUnBase.h"
#include "archive/identify/ArcTypeInfo.h"
#include "archive/io/Kstfileio.h"

namespace kst {

uint32_t TUnBase::ReadProc(THandle Handle, TMemoryStream* Stream, void* Buffer, bool Encrypted, uint8_t Size,
                           uint32_t Count, TDataType /*ReadType*/) {
  if (Count == 0 || Buffer == nullptr) return 0;
  int64_t Read = 0;
  if (InputSource == isMemoryStream) {
    Read = Stream != nullptr ? Stream->Read(Buffer, Count) : 0;
  } else {
    Read = kstRead(Handle, Buffer, Count);
  }
  if (Read <= 0) return 0;
  const auto Got = static_cast<uint32_t>(Read);
  auto* Bytes = static_cast<uint8_t*>(Buffer);
  UpdateEncryptBuffer(Encrypted, Bytes, Got);
  UpdateCrcBuffer(Size, Bytes, Got);
  return Got;
}

uint32_t TUnBase::ExtractWriteProc(THandle& Handle, uint8_t* Buffer, bool Encrypted, uint8_t Size, uint32_t Count,
                                   TDataType WriteType) {
  if (Encrypted && WriteType == dtData && DecryptsOnWrite(FArcType)) UpdateEncryptBuffer(true, Buffer, Count);
  return WriteData(Handle, Buffer, Size, Count, WriteType);
}

uint32_t TUnBase::WriteData(THandle Handle, const uint8_t* Buffer, uint8_t Size, uint32_t Count, TDataType WriteType) {
  if (Count == 0) return 0;
  int64_t Written = 0;
  switch (FileAccessMethod) {
    case faFile:
    case faFileStream: Written = kstWrite(Handle, Buffer, Count); break;
    case faMemoryStream: Written = FMemoryStream != nullptr ? FMemoryStream->WriteItemData(Buffer, Count) : 0; break;
    case faUserStream: Written = FUserStream != nullptr ? FUserStream->Write(Buffer, Count) : 0; break;
    case faNul:
    case faSearch:
    case faVerify: Written = Count; break;
    case faPointer: Written = 0; break;
  }
  if (Written != static_cast<int64_t>(Count)) throw E_RAISE(ErrorText(ErrWriteFile));
  if (WriteType == dtData) UpdateCrcBuffer(Size, Buffer, Count);
  return Count;
}

void TUnBase::UpdateCrcBuffer(uint8_t Size, const uint8_t* Buffer, uint32_t Count) {
  if (Size == 32)
    Crc32_buf(Buffer, Count, Crc32Val);
  else if (Size == 16)
    Crc16_buf(Buffer, Count, Crc16Val);
}

void TUnBase::UpdateEncryptBuffer(bool Encrypted, uint8_t* Buffer, uint32_t Count) {
  if (Encrypted && Buffer != nullptr) FKeys.DecryptBuffer(Buffer, Count);
}

}  // namespace kst
