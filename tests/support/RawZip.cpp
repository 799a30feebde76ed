// Reads the end record (searched backwards), the central directory and each
// local header. Offsets are corrected by the distance between where the
// directory is said to start and where it really starts, so archives with data
// in front of them are read too.
#include "tests/support/RawZip.h"

#include "tests/support/TestData.h"

namespace skwtest {
namespace {

uint32_t Get16(const std::vector<uint8_t>& B, size_t At) {
  return At + 2 <= B.size() ? uint32_t(B[At] | B[At + 1] << 8) : 0;
}
uint32_t Get32(const std::vector<uint8_t>& B, size_t At) {
  return At + 4 <= B.size() ? Get16(B, At) | Get16(B, At + 2) << 16 : 0;
}

}  // namespace

std::vector<RawEntry> ReadRawZip(const std::string& Path) {
  std::vector<RawEntry> Out;
  const auto B = ReadFileBytes(Path);
  if (B.size() < 22) return Out;
  size_t End = B.size() - 22;
  size_t Stop = B.size() > 65557 ? B.size() - 65557 : 0;
  for (;; --End) {
    if (Get32(B, End) == 0x06054b50) break;
    if (End == Stop) return Out;
  }
  const uint32_t Count = Get16(B, End + 10);
  const uint32_t DirSize = Get32(B, End + 12);
  const uint32_t DirOffset = Get32(B, End + 16);
  if (DirSize > End) return Out;
  const int64_t Shift = int64_t(End - DirSize) - int64_t(DirOffset);
  size_t At = End - DirSize;
  for (uint32_t I = 0; I < Count; ++I) {
    if (Get32(B, At) != 0x02014b50 || At + 46 > B.size()) return {};
    RawEntry E;
    E.Flags = uint16_t(Get16(B, At + 8));
    E.Method = uint16_t(Get16(B, At + 10));
    E.DosTime = uint16_t(Get16(B, At + 12));
    E.Crc32 = Get32(B, At + 16);
    E.CompressedSize = Get32(B, At + 20);
    E.UncompressedSize = Get32(B, At + 24);
    const uint32_t N = Get16(B, At + 28), X = Get16(B, At + 30), C = Get16(B, At + 32);
    if (At + 46 + N > B.size()) return {};
    E.Name.assign(B.begin() + long(At + 46), B.begin() + long(At + 46 + N));
    const int64_t Local = int64_t(Get32(B, At + 42)) + Shift;
    if (Local < 0 || Get32(B, size_t(Local)) != 0x04034b50) return {};
    const size_t Data = size_t(Local) + 30 + Get16(B, size_t(Local) + 26) + Get16(B, size_t(Local) + 28);
    if (Data + E.CompressedSize > B.size()) return {};
    E.Data.assign(B.begin() + long(Data), B.begin() + long(Data + E.CompressedSize));
    Out.push_back(std::move(E));
    At += 46 + N + X + C;
  }
  return Out;
}

}  // namespace skwtest
