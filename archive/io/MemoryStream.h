// TMemoryStream: a growable byte buffer with a read/write position. The texture
// engine keeps the whole game container in one of these and patches it in place,
// and the archive library's in-memory extraction target derives from it, so it is
// built for large buffers: writes past the end grow the capacity geometrically
// (amortised constant cost per appended byte), SetSize grows it to the size asked
// for, and growth reallocates the buffer in place where the allocator can (a
// large container then never exists twice in memory); bulk copies use
// memcpy/memmove, and only bytes that were never written (a gap left by seeking
// past the end, or an extension through SetSize) are zero-filled. Reading at or past the end yields fewer bytes;
// writing overwrites at the position and grows the buffer as needed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

namespace kst {

// Raised when a stream cannot be loaded from or saved to a file, when a read
// that must be complete (ReadBuffer) comes up short, or when a size or position
// is negative.
class EStreamError : public std::runtime_error {
 public:
  explicit EStreamError(const std::string& Message) : std::runtime_error(Message) {}
};

// Raised when the buffer cannot grow: a std::bad_alloc (the library's decoders
// turn those into error 25253) whose text is the library's own for it.
class EOutOfMemory : public std::bad_alloc {
 public:
  const char* what() const noexcept override;
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TMemoryStream {
 public:
  // The buffer comes from the C heap (malloc/realloc) and goes back there.
  struct TFree {
    void operator()(uint8_t* Bytes) const noexcept;
  };
  using TBuffer = std::unique_ptr<uint8_t, TFree>;

  TMemoryStream() = default;
  TMemoryStream(const TMemoryStream& Other);
  TMemoryStream& operator=(const TMemoryStream& Other);
  TMemoryStream(TMemoryStream&& Other) noexcept;
  TMemoryStream& operator=(TMemoryStream&& Other) noexcept;
  virtual ~TMemoryStream() = default;

  // Direct access to the bytes; valid until the next call that grows the buffer.
  // Null while the stream has never held any byte.
  uint8_t* Memory() { return FData.get(); }
  const uint8_t* Memory() const { return FData.get(); }

  int64_t Size() const { return FSize; }
  int64_t Position() const { return FPosition; }
  // The position may lie past the end; a later Write fills the gap with zeros.
  void SetPosition(int64_t NewPosition);
  // Moves the position relative to the origin and answers the new position.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin);

  // Copies up to Count bytes from the position; answers the number copied,
  // which is less than Count at the end of the data.
  int64_t Read(void* Buffer, int64_t Count);
  // Writes Count bytes at the position, growing the stream when they reach past
  // its end; answers Count.
  int64_t Write(const void* Buffer, int64_t Count);
  // Makes room for Bytes bytes in all without changing the size or the
  // position. A producer may then fill the room behind the position in place
  // and hand those bytes to Write where they lie, which takes them without
  // copying. Raises EOutOfMemory when the buffer cannot grow.
  void ReserveCapacity(int64_t Bytes) { Reserve(Bytes, false); }
  // Read that must be complete: raises EStreamError when fewer bytes are left.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count) { Write(Buffer, Count); }

  // Cuts or extends the data (new bytes are zero); the position is kept unless
  // it would lie past the new end, in which case it moves to the end.
  void SetSize(int64_t NewSize);
  // Empties the stream and releases its memory.
  void Clear();
  // Gives back the memory held beyond the size (after cutting a large stream).
  void Trim();

  // Replaces the content by the whole file and moves to position 0. Raises
  // EStreamError when the file cannot be opened or read; the stream is then
  // unchanged.
  void LoadFromFile(const std::string& FileName);
  // Writes the whole content to the file (created or truncated) in one piece.
  // Raises EStreamError when the file cannot be created or written.
  void SaveToFile(const std::string& FileName) const;

 private:
  // Makes room for at least Needed bytes, keeping the current content; with
  // Geometric the capacity at least doubles, for runs of appending writes.
  void Reserve(int64_t Needed, bool Geometric);

  TBuffer FData;
  int64_t FCapacity = 0;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

}  // namespace kst
