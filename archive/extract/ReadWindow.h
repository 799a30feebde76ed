// TReadWindow: a window of an archive kept in memory, so records that follow
// one another (the central directory, the local headers of small entries) are
// read with one system call per window rather than a seek and a read per field.
// A request the window does not hold refills it from the request's offset with
// at least the window's size; what the file cannot supply is simply absent, so
// a short file makes the request fail rather than read past what came.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kst {

class TReadWindow {
 public:
  explicit TReadWindow(uint32_t Bytes) : FBytes(Bytes) {}

  // Forgets what the window holds (the file may have changed since).
  void Clear() { FData.clear(); }
  // Gives the window's memory back unless it holds the byte at Offset, so a
  // window that can't serve the next record is not kept meanwhile.
  void ReleaseUnlessHolds(uint64_t Offset) {
    if (Offset < FAt || Offset >= uint64_t(FAt) + FData.size()) FData = std::vector<uint8_t>();
  }

  // Copies Count bytes at Offset into Buffer, refilling through Fill(Offset,
  // Into, Count) -> bytes got (which reads from Offset on) when needed; false
  // when the file does not hold them all.
  template <typename TFill>
  bool Read(uint32_t Offset, uint8_t* Buffer, uint32_t Count, TFill&& Fill) {
    if (Offset < FAt || uint64_t(Offset) + Count > uint64_t(FAt) + FData.size()) {
      FData.resize(std::max(Count, FBytes));
      FAt = Offset;
      FData.resize(Fill(Offset, FData.data(), uint32_t(FData.size())));
      if (FData.size() < Count) return false;
    }
    if (Count > 0) std::memcpy(Buffer, FData.data() + (Offset - FAt), Count);
    return true;
  }

 private:
  uint32_t FBytes;
  uint32_t FAt = 0;
  std::vector<uint8_t> FData;
};

}  // namespace kst
