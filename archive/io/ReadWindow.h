// TReadWindow: a window of a file kept in memory, so records that follow one
// another (the central directory, the local headers of small entries) are read
// with one system call per window rather than a seek and a read per field, and
// a byte-wise search over an entry's data costs one read per window. A request
// the window does not hold refills it from the request's offset with at least
// the window's size; what the file cannot supply is simply absent, so a short
// file makes a request fail (or come back shorter) rather than read past what
// came. The window does not own the file: each request passes the routine that
// fills it, Fill(Offset, Into, Count) -> bytes got, reading from Offset on.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/core/Bounds.h"

namespace kst {

class TReadWindow {
 public:
  explicit TReadWindow(uint32_t Bytes) : FBytes(Bytes) {}

  // Forgets what the window holds (the file may have changed since).
  void Clear() { FData.clear(); }
  // Gives the window's memory back unless it holds the byte at Offset, so a
  // window that can't serve the next record is not kept meanwhile.
  void ReleaseUnlessHolds(uint64_t Offset) {
    if (!Holds(Offset, 1)) FData = std::vector<uint8_t>();
  }

  // The bytes from Offset on, at least Count of them unless the file ends
  // first; Available tells how many there are. The pointer stays good until
  // the next request.
  template <typename TFill>
  const uint8_t* View(uint64_t Offset, uint32_t Count, uint32_t& Available, TFill&& Fill) {
    if (!Holds(Offset, Count)) {
      FData.resize(std::max(Count, FBytes));
      FAt = Offset;
      FData.resize(Fill(Offset, FData.data(), uint32_t(FData.size())));
    }
    Available = uint32_t(FAt + FData.size() - Offset);
    return FData.data() + (Offset - FAt);
  }

  // Copies Count bytes at Offset into Buffer; false when the file does not
  // hold them all.
  template <typename TFill>
  bool Read(uint64_t Offset, uint8_t* Buffer, uint32_t Count, TFill&& Fill) {
    uint32_t Available = 0;
    const uint8_t* Bytes = View(Offset, Count, Available, Fill);
    if (Available < Count) return false;
    if (Count > 0) std::memcpy(Buffer, Bytes, Count);
    return true;
  }

 private:
  bool Holds(uint64_t Offset, uint32_t Count) const {
    return Offset >= FAt && InBounds(Offset - FAt, Count, FData.size());
  }

  uint32_t FBytes;
  uint64_t FAt = 0;
  std::vector<uint8_t> FData;
};

}  // namespace kst
