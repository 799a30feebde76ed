// Finding the end of a streamed entry's data: by decoding a Deflate stream, or
// by searching for a fitting data descriptor (StreamedEntryEnd.h).
#include "archive/identify/StreamedEntryEnd.h"

#include <algorithm>

#include "archive/core/Bounds.h"
#include "archive/core/Err_msgs.h"
#include "archive/core/ExtraFields.h"
#include "archive/core/LittleEndian.h"
#include "archive/core/Ksttypes.h"
#include "archive/crc/Crc.h"
#include "archive/decode/Inflate.h"
#include "archive/identify/Kstregister.h"
#include "archive/io/ReadWindow.h"

namespace kst {
namespace {

constexpr uint32_t kSignedSize = 16;
constexpr uint32_t kUnsignedSize = 12;
constexpr uint32_t kWideSignedSize = 24;  // with 8-byte sizes
constexpr uint32_t kWideUnsignedSize = 20;
constexpr uint32_t kZip64Placeholder = 0xFFFFFFFFu;

// Reads up to Count bytes at Pos into Into; answers how many came (fewer only
// at the end of the file or on a failed read).
uint32_t ReadFully(THandle File, uint64_t Pos, uint8_t* Into, uint32_t Count) {
  uint32_t Got = 0;
  while (Got < Count) {
    const uint32_t Part = ReadAt(File, Pos + Got, Into + Got, Count - Got);
    if (Part == 0) break;
    Got += Part;
  }
  return Got;
}

// Decoding a Deflate stream straight from the file, the output only counted.
class TCountingIO final : public TDecoderIO {
 public:
  TCountingIO(THandle File, uint64_t Start, uint64_t FileSize) : FFile(File), FPos(Start), FFileSize(FileSize) {}

  uint32_t ReadInput(uint8_t* Buffer, uint32_t Size) override {
    if (FPos >= FFileSize) return 0;
    const uint32_t Got = ReadAt(FFile, FPos, Buffer, uint32_t(std::min<uint64_t>(Size, FFileSize - FPos)));
    FPos += Got;
    return Got;
  }
  void WriteOutput(const uint8_t*, uint32_t Size) override { Written += Size; }
  void RaiseError(int32_t) override {
    Failed = true;
    throw E_RAISE("bad stream");
  }
  void RaiseErrorStr(int32_t) override { Failed = true; }
  bool Cancelled() const override { return false; }
  void CountAsDone(uint32_t) override {}

  uint64_t Written = 0;
  bool Failed = false;

 private:
  THandle FFile;
  uint64_t FPos;
  uint64_t FFileSize;
};

// The descriptor with 8-byte sizes at Bytes (Available of them) when it says
// Packed bytes of data and its unpacked size fits in 32 bits.
std::optional<TStreamedEnd> WideDescriptorAt(const uint8_t* Bytes, uint32_t Available, uint32_t Packed) {
  const auto Fitting = [Packed](const uint8_t* Sizes) {
    return GetLE64(Sizes) == Packed && GetLE64(Sizes + 8) <= UINT32_MAX;
  };
  if (Available >= kWideSignedSize && GetLE32(Bytes) == kDescriptorSignature && Fitting(Bytes + 8))
    return TStreamedEnd{Packed, GetLE32(Bytes + 16), GetLE32(Bytes + 4), kWideSignedSize};
  if (Available >= kWideUnsignedSize && Fitting(Bytes + 4))
    return TStreamedEnd{Packed, GetLE32(Bytes + 12), GetLE32(Bytes), kWideUnsignedSize};
  return std::nullopt;
}

// The descriptor at Bytes (Available of them) when it says Packed bytes of
// data; with Zip64 one with 8-byte sizes is looked for first.
std::optional<TStreamedEnd> DescriptorAt(const uint8_t* Bytes, uint32_t Available, uint32_t Packed, bool Zip64) {
  if (Zip64) {
    if (auto Wide = WideDescriptorAt(Bytes, Available, Packed)) return Wide;
  }
  if (Available >= kSignedSize && GetLE32(Bytes) == kDescriptorSignature && GetLE32(Bytes + 8) == Packed)
    return TStreamedEnd{Packed, GetLE32(Bytes + 12), GetLE32(Bytes + 4), kSignedSize};
  if (Available >= kUnsignedSize && GetLE32(Bytes + 4) == Packed)
    return TStreamedEnd{Packed, GetLE32(Bytes + 8), GetLE32(Bytes), kUnsignedSize};
  return std::nullopt;
}

std::optional<TStreamedEnd> DeflateEnd(THandle File, uint64_t DataStart, uint64_t FileSize, bool Zip64) {
  TCountingIO IO(File, DataStart, FileSize);
  const uint32_t Packed = uint32_t(std::min<uint64_t>(FileSize - DataStart, UINT32_MAX));
  const TInflateEnd End = Inflate(IO, TInflateRec{0, kMethodDeflated, Packed, UINT32_MAX});
  if (!End.Finished || IO.Failed || End.InputUsed > UINT32_MAX) return std::nullopt;
  return DescriptorBehind(File, DataStart + End.InputUsed, FileSize, uint32_t(End.InputUsed), Zip64);
}

bool RecordFollows(const uint8_t* Bytes, uint32_t Available) {
  if (Available == 0) return true;
  if (Available < 4) return false;
  const uint32_t Signature = GetLE32(Bytes);
  return Signature == kLocalSignature || Signature == kCentralSignature || Signature == kEndSignature;
}

// Searches byte by byte; for plain stored data the CRC of the bytes passed
// over is kept, so a descriptor must match it.
std::optional<TStreamedEnd> SearchedEnd(THandle File, uint64_t DataStart, uint64_t FileSize, bool PlainStored,
                                        bool Zip64) {
  // One read per window: the search looks at every byte but never reads past the end of the file.
  TReadWindow Window(65536);
  const auto Fill = [&](uint64_t At, uint8_t* Into, uint32_t Size) {
    return ReadFully(File, At, Into, uint32_t(std::min<uint64_t>(Size, At < FileSize ? FileSize - At : 0)));
  };
  uint32_t Crc = CRC_MASK;
  const uint64_t Last = std::min<uint64_t>(FileSize, DataStart + UINT32_MAX);
  for (uint64_t Pos = DataStart; Pos + kUnsignedSize <= Last; ++Pos) {
    uint32_t Available = 0;
    const uint8_t* Bytes = Window.View(Pos, kWideSignedSize + 4, Available, Fill);
    const uint32_t Distance = uint32_t(Pos - DataStart);
    if (const auto Found = DescriptorAt(Bytes, Available, Distance, Zip64)) {
      const bool Signed = Found->DescriptorSize == kSignedSize || Found->DescriptorSize == kWideSignedSize;
      if (PlainStored ? Found->Crc == ~Crc && Found->UnpackedSize == Distance
                      : Signed && RecordFollows(Bytes + Found->DescriptorSize, Available - Found->DescriptorSize))
        return Found;
    }
    Crc = UpdC32(Bytes[0], Crc);
  }
  return std::nullopt;
}

}  // namespace

bool TakeZip64Sizes(TLocal& Local, std::string_view Extra) {
  return FindExtraField(Extra, kZip64ExtraId, [&Local](std::string_view Data) {
    // Only the fields holding the placeholder have a value here, unpacked size first.
    size_t At = 0;
    for (uint32_t* Field : {&Local.UnpackedSize, &Local.PackedSize}) {
      if (*Field != kZip64Placeholder) continue;
      if (!InBounds(At, 8, Data.size())) break;
      const uint64_t Value = GetLE64(reinterpret_cast<const uint8_t*>(Data.data()) + At);
      At += 8;
      if (Value <= UINT32_MAX) *Field = uint32_t(Value);
    }
    return true;
  });
}

std::optional<TStreamedEnd> DescriptorBehind(THandle File, uint64_t At, uint64_t FileSize, uint32_t Packed,
                                             bool Zip64) {
  // Only the descriptor's own bytes are read: this runs once per streamed entry.
  uint8_t Bytes[kWideSignedSize];
  const uint32_t Want = uint32_t(std::min<uint64_t>(kWideSignedSize, At < FileSize ? FileSize - At : 0));
  return DescriptorAt(Bytes, ReadFully(File, At, Bytes, Want), Packed, Zip64);
}

std::optional<TStreamedEnd> FindStreamedEnd(THandle File, const TLocal& Local, uint64_t DataStart, uint64_t FileSize,
                                            bool Zip64) {
  if (!(Local.Flags & kFlagDataDescriptor)) return std::nullopt;
  if (Local.PackedSize != 0)
    return DescriptorBehind(File, DataStart + Local.PackedSize, FileSize, Local.PackedSize, Zip64);
  if (DataStart >= FileSize) return std::nullopt;
  const bool Encrypted = Local.Flags & kFlagEncrypted;
  if (Local.Method == kMethodDeflated && !Encrypted) return DeflateEnd(File, DataStart, FileSize, Zip64);
  return SearchedEnd(File, DataStart, FileSize, Local.Method == kMethodStored && !Encrypted, Zip64);
}

bool EndUnknown(const TLocal& Local, const std::optional<TStreamedEnd>& End) {
  return (Local.Flags & kFlagDataDescriptor) && Local.PackedSize == 0 && !End;
}

void TStreamedEnd::ApplyTo(TLocal& Local) const {
  Local.PackedSize = PackedSize;
  if (Local.UnpackedSize == 0) Local.UnpackedSize = UnpackedSize;
  Local.Crc = Crc;
}

}  // namespace kst
