// The decoder dispatch and the run's side of the decoders' interface. The
// decoders see the run as a TDecoderIO: compressed bytes come in through the
// read procedure (decrypted for compressed methods, never more than the entry
// holds), decoded bytes go out through the write procedure (CRC-32, target)
// followed by a progress report. A decoder reports an error through the
// component's RaiseError and the exception ends decoding right here; the
// pending output has been written by then.
#include "archive/extract/Kstinflate.h"

#include <algorithm>
#include <memory>
#include <new>

#include "archive/core/Err_msgs.h"
#include "archive/decode/Explode.h"
#include "archive/decode/Inflate.h"
#include "archive/crc/Crc.h"
#include "archive/io/Kstfileio.h"
#include "archive/decode/Unreduce.h"
#include "archive/decode/Unshrink.h"

namespace kst {

class TRunDecoderIO final : public TDecoderIO {
 public:
  TRunDecoderIO(TUnBase& Component, THandle InFile, THandle& OutFile, const std::string& Name)
      : FComponent(Component), FInFile(InFile), FOutFile(OutFile), FName(Name) {}

  uint32_t ReadInput(uint8_t* Buffer, uint32_t Size) override {
    TUnBase& C = FComponent;
    if (C.GetCancel() || C.BytesToRead == 0) return 0;
    const uint32_t Want = std::min({Size, C.BytesToRead, TUnBase::BlockSize});
    const bool Encrypted = (C.FInflateRec.BitFlag & kFlagEncrypted) != 0;
    const uint32_t Got = C.ReadProc(FInFile, nullptr, Buffer, Encrypted, 0, Want, dtData);
    C.BytesToRead = Got == 0 ? 0 : C.BytesToRead - Got;
    return Got;
  }

  void WriteOutput(const uint8_t* Data, uint32_t Size) override {
    // Decoders' output is never encrypted, so the write procedure leaves it as is.
    Write(const_cast<uint8_t*>(Data), Size, false);
  }

  // A memory target lends the decoder its buffer, so the entry is decoded in place.
  uint8_t* LendOutput(size_t Bytes) override {
    TUnBase& C = FComponent;
    if (C.FileAccessMethod != faMemoryStream || C.FMemoryStream == nullptr) return nullptr;
    return C.FMemoryStream->LendItemRoom(int64_t(Bytes));
  }

  // Writes Size bytes (decrypting them first when Encrypted), then reports progress.
  void Write(uint8_t* Data, uint32_t Size, bool Encrypted) {
    TUnBase& C = FComponent;
    if (Size == 0) return;
    try {
      C.ExtractWriteProc(FOutFile, Data, Encrypted, 32, Size, dtData);
    } catch (const E_RAISE&) {
      FWriteFailed = true;
      throw;
    }
    C.OutputLeft -= std::min(C.OutputLeft, Size);
    C.BytesRemaining -= std::min(C.BytesRemaining, Size);
    FWritten += Size;
    C.doBranchProgress(FWritten, C.FInflateRec.UnpackedSize, C.TotalUnpackedSize);
  }

  void RaiseError(int32_t ECode) override { FComponent.RaiseError(TExceptionClass::E_RAISE, FName, "", "0", ECode); }
  void RaiseErrorStr(int32_t ECode) override { FComponent.RaiseErrorStr(FName, "", "0", ECode); }
  bool Cancelled() const override { return FComponent.GetCancel(); }

  void CountAsDone(uint32_t Bytes) override {
    TUnBase& C = FComponent;
    const uint32_t Done = std::min(Bytes, C.OutputLeft);
    C.OutputLeft -= Done;
    C.BytesRemaining -= std::min(C.BytesRemaining, Done);
    C.doBranchProgress(C.FInflateRec.UnpackedSize, C.FInflateRec.UnpackedSize, C.TotalUnpackedSize);
  }

 private:
  TUnBase& FComponent;
  THandle FInFile;
  THandle& FOutFile;
  const std::string& FName;
  uint32_t FWritten = 0;
  bool FWriteFailed = false;

 public:
  // True once a write to the target came up short.
  bool WriteFailed() const { return FWriteFailed; }
};

uint32_t TUnBase::Unstore(THandle InFile, THandle& OutFile, uint8_t /*CrcWidth*/, const std::string& Name,
                          TInflateRec& Rec) {
  TRunDecoderIO IO(*this, InFile, OutFile, Name);
  return UnstoreThrough(IO, InFile, Name, Rec);
}

uint32_t TUnBase::UnstoreThrough(TRunDecoderIO& IO, THandle InFile, const std::string& Name, TInflateRec& Rec) {
  const uint32_t Chunk = std::min<uint32_t>(Rec.UnpackedSize, BlockSize);
  std::unique_ptr<uint8_t[]> Buffer(new (std::nothrow) uint8_t[Chunk + 1]);
  if (!Buffer) {
    RaiseErrorStr(Name, "", "0", ErrOutOfMemory);
    return Rec.UnpackedSize;
  }
  uint32_t Remaining = Rec.UnpackedSize;
  const bool Encrypted = (Rec.BitFlag & kFlagEncrypted) != 0;
  while (Remaining > 0 && BytesToRead > 0) {
    const uint32_t Want = std::min({Remaining, BlockSize, BytesToRead});
    const uint32_t Got = ReadProc(InFile, nullptr, Buffer.get(), false, 0, Want, dtData);
    if (Got == 0) break;
    BytesToRead -= Got;
    Remaining -= Got;
    IO.Write(Buffer.get(), Got, Encrypted);
    if (GetCancel()) break;
  }
  return Remaining;
}

bool ExtractFile(TUnBase& Component, THandle InFile, THandle& OutFile, const std::string& Name, TInflateRec& Rec) {
  TUnBase& C = Component;
  C.FInflateRec = Rec;
  C.Crc32Val = CRC_MASK;
  if (C.FInflateRec.BitFlag & kFlagEncrypted) {
    C.FInflateRec.PackedSize -= std::min(C.FInflateRec.PackedSize, EncryptHeaderSize);
  }
  C.BytesToRead = C.FInflateRec.PackedSize;
  C.OutputLeft = C.FInflateRec.UnpackedSize;
  const TInflateRec& Entry = C.FInflateRec;
  TRunDecoderIO IO(C, InFile, OutFile, Name);
  try {
    switch (Entry.Method) {
      case kMethodStored: C.UnstoreThrough(IO, InFile, Name, C.FInflateRec); break;
      case kMethodShrunk: Unshrink(IO, Entry); break;
      case kMethodReduced1:
      case kMethodReduced1 + 1:
      case kMethodReduced1 + 2:
      case kMethodReduced4: Unreduce(IO, Entry, static_cast<int>(Entry.Method - kMethodReduced1) + 1); break;
      case kMethodImploded: Explode(IO, Entry); break;
      case kMethodDeflated: Inflate(IO, Entry); break;
      default: C.RaiseErrorStr(Name, "", "0", ErrUnsupportedMethod); break;
    }
  } catch (const E_RAISE&) {
    // A decoder's RaiseError was reported already; the entry ends with what was
    // written. A failed write leaves for the entry to end it.
    if (IO.WriteFailed()) throw;
  } catch (const std::bad_alloc&) {
    C.RaiseErrorStr(Name, "", "0", ErrOutOfMemory);
  }
  return true;
}

}  // namespace kst
