// TMemoryStream: buffer management, positioned reads and writes, and whole-file
// loading and saving through the platform's file services. Files are read into
// a fresh buffer that replaces the old one only when everything was read, so a
// failed load leaves the stream as it was.
#include "archive/io/MemoryStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <functional>

#include "archive/core/Err_msgs.h"
#include "platform/File.h"

namespace kst {

namespace {

// Smallest capacity ever allocated, so that many tiny writes do not reallocate.
constexpr int64_t kMinCapacity = 256;

// Closes a platform file handle when leaving scope.
class TFileCloser {
 public:
  explicit TFileCloser(platform::FileHandle Handle) : FHandle(Handle) {}
  TFileCloser(const TFileCloser&) = delete;
  TFileCloser& operator=(const TFileCloser&) = delete;
  ~TFileCloser() { platform::Close(FHandle); }

 private:
  platform::FileHandle FHandle;
};

}  // namespace

const char* EOutOfMemory::what() const noexcept {
  static const std::string Text = ErrorText(ErrOutOfMemory);
  return Text.c_str();
}

void TMemoryStream::TFree::operator()(uint8_t* Bytes) const noexcept { std::free(Bytes); }

namespace {

// Uninitialised bytes from the C heap, so that growth can use realloc.
TMemoryStream::TBuffer Allocate(int64_t Bytes) {
  void* Block = std::malloc(static_cast<size_t>(std::max<int64_t>(Bytes, 1)));
  if (Block == nullptr) throw EOutOfMemory();
  return TMemoryStream::TBuffer(static_cast<uint8_t*>(Block));
}

}  // namespace

TMemoryStream::TMemoryStream(const TMemoryStream& Other) : FSize(Other.FSize), FPosition(Other.FPosition) {
  if (FSize > 0) {
    FData = Allocate(FSize);
    FCapacity = FSize;
    std::memcpy(FData.get(), Other.FData.get(), static_cast<size_t>(FSize));
  }
}

TMemoryStream& TMemoryStream::operator=(const TMemoryStream& Other) {
  if (this != &Other) {
    TMemoryStream Copy(Other);
    *this = std::move(Copy);
  }
  return *this;
}

TMemoryStream::TMemoryStream(TMemoryStream&& Other) noexcept
    : FData(std::move(Other.FData)), FCapacity(Other.FCapacity), FSize(Other.FSize), FPosition(Other.FPosition) {
  Other.FCapacity = Other.FSize = Other.FPosition = 0;
}

TMemoryStream& TMemoryStream::operator=(TMemoryStream&& Other) noexcept {
  if (this != &Other) {
    FData = std::move(Other.FData);
    FCapacity = Other.FCapacity;
    FSize = Other.FSize;
    FPosition = Other.FPosition;
    Other.FCapacity = Other.FSize = Other.FPosition = 0;
  }
  return *this;
}

void TMemoryStream::SetPosition(int64_t NewPosition) {
  if (NewPosition < 0) throw EStreamError("Stream position is negative");
  FPosition = NewPosition;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t Base = 0;
  if (Origin == soCurrent) Base = FPosition;
  if (Origin == soEnd) Base = FSize;
  SetPosition(Base + Offset);
  return FPosition;
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition >= FSize) return 0;
  const int64_t Available = std::min(Count, FSize - FPosition);
  std::memcpy(Buffer, FData.get() + FPosition, static_cast<size_t>(Available));
  FPosition += Available;
  return Available;
}

void TMemoryStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Read(Buffer, Count) != std::max<int64_t>(Count, 0)) throw EStreamError("Stream read error");
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  const int64_t End = FPosition + Count;
  if (End > FCapacity) {
    // The source may be this stream's own bytes, which a reallocation moves.
    const uint8_t* Source = static_cast<const uint8_t*>(Buffer);
    const uint8_t* Base = FData.get();
    const std::less<const uint8_t*> Before;
    const bool Inside = Base != nullptr && !Before(Source, Base) && Before(Source, Base + FSize);
    const int64_t SourceOffset = Inside ? Source - Base : 0;
    Reserve(End, true);
    if (Inside) Buffer = FData.get() + SourceOffset;
  }
  // Bytes between the old end and the position were never written.
  if (FPosition > FSize) std::memset(FData.get() + FSize, 0, static_cast<size_t>(FPosition - FSize));
  // Bytes already in place (filled in reserved room) need no copy.
  if (Buffer != FData.get() + FPosition) std::memmove(FData.get() + FPosition, Buffer, static_cast<size_t>(Count));
  FSize = std::max(FSize, End);
  FPosition = End;
  return Count;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Stream size is negative");
  if (NewSize > FSize) {
    Reserve(NewSize, false);
    std::memset(FData.get() + FSize, 0, static_cast<size_t>(NewSize - FSize));
  }
  FSize = NewSize;
  FPosition = std::min(FPosition, FSize);
}

void TMemoryStream::Clear() {
  FData.reset();
  FCapacity = FSize = FPosition = 0;
}

void TMemoryStream::Trim() {
  if (!FData || FCapacity <= std::max(FSize, kMinCapacity)) return;
  // Shrinking in place never fails in practice; if it does, the block stays.
  void* Smaller = std::realloc(FData.get(), static_cast<size_t>(std::max(FSize, kMinCapacity)));
  if (Smaller == nullptr) return;
  static_cast<void>(FData.release());
  FData.reset(static_cast<uint8_t*>(Smaller));
  FCapacity = std::max(FSize, kMinCapacity);
}

void TMemoryStream::Reserve(int64_t Needed, bool Geometric) {
  if (Needed <= FCapacity) return;
  const int64_t NewCapacity = std::max({Needed, Geometric ? FCapacity * 2 : 0, kMinCapacity});
  if (!FData) {
    FData = Allocate(NewCapacity);
  } else {
    // realloc keeps the bytes where they are when the block can grow there,
    // and otherwise copies them itself; the old block is freed only on success.
    void* Grown = std::realloc(FData.get(), static_cast<size_t>(NewCapacity));
    if (Grown == nullptr) throw EOutOfMemory();
    static_cast<void>(FData.release());
    FData.reset(static_cast<uint8_t*>(Grown));
  }
  FCapacity = NewCapacity;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  const platform::FileHandle Handle = platform::OpenRead(FileName);
  if (Handle == platform::kInvalidHandle) throw EStreamError("Cannot open file \"" + FileName + "\"");
  TFileCloser Closer(Handle);
  const int64_t FileSize = platform::Size(Handle);
  if (FileSize < 0) throw EStreamError("Cannot read file \"" + FileName + "\"");

  TBuffer NewData = Allocate(FileSize);
  int64_t Done = 0;
  while (Done < FileSize) {
    const int64_t Got = platform::Read(Handle, NewData.get() + Done, static_cast<uint64_t>(FileSize - Done));
    if (Got <= 0) throw EStreamError("Cannot read file \"" + FileName + "\"");
    Done += Got;
  }
  FData = std::move(NewData);
  FCapacity = std::max<int64_t>(FileSize, 1);
  FSize = FileSize;
  FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
  const platform::FileHandle Handle = platform::OpenWrite(FileName, true);
  if (Handle == platform::kInvalidHandle) throw EStreamError("Cannot create file \"" + FileName + "\"");
  TFileCloser Closer(Handle);
  int64_t Done = 0;
  while (Done < FSize) {
    const int64_t Put = platform::Write(Handle, FData.get() + Done, static_cast<uint64_t>(FSize - Done));
    if (Put <= 0) throw EStreamError("Cannot write file \"" + FileName + "\"");
    Done += Put;
  }
  if (!platform::Flush(Handle)) throw EStreamError("Cannot write file \"" + FileName + "\"");
}

}  // namespace kst
