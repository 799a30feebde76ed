// The caller's output stream of an extraction to a stream: anything that can
// take bytes at a position. A run writes an entry's bytes through it and moves
// it back to position 0 afterwards. TMemoryOutStream adapts a memory stream.
#pragma once
#include <cstdint>

#include "archive/io/MemoryStream.h"

namespace kst {

class TOutStream {
 public:
  virtual ~TOutStream() = default;
  // Writes Count bytes at the position; answers the number written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  virtual void SetPosition(int64_t Position) = 0;
};

class TMemoryOutStream : public TOutStream {
 public:
  explicit TMemoryOutStream(TMemoryStream& Stream) : FStream(Stream) {}
  int64_t Write(const void* Buffer, int64_t Count) override { return FStream.Write(Buffer, Count); }
  void SetPosition(int64_t Position) override { FStream.SetPosition(Position); }

 private:
  TMemoryStream& FStream;
};

}  // namespace kst
