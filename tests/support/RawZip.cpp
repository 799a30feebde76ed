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
  std::vector<RawEntry> out;
  const auto b = ReadFileBytes(Path);
  if (b.size() < 22) return out;
  size_t end = b.size() - 22;
  size_t stop = b.size() > 65557 ? b.size() - 65557 : 0;
  for (;; --end) {
    if (Get32(b, end) == 0x06054b50) break;
    if (end == stop) return out;
  }
  const uint32_t count = Get16(b, end + 10);
  const uint32_t dirSize = Get32(b, end + 12);
  const uint32_t dirOffset = Get32(b, end + 16);
  if (dirSize > end) return out;
  const int64_t shift = int64_t(end - dirSize) - int64_t(dirOffset);
  size_t at = end - dirSize;
  for (uint32_t i = 0; i < count; ++i) {
    if (Get32(b, at) != 0x02014b50 || at + 46 > b.size()) return {};
    RawEntry e;
    e.Flags = uint16_t(Get16(b, at + 8));
    e.Method = uint16_t(Get16(b, at + 10));
    e.DosTime = uint16_t(Get16(b, at + 12));
    e.Crc32 = Get32(b, at + 16);
    e.CompressedSize = Get32(b, at + 20);
    e.UncompressedSize = Get32(b, at + 24);
    const uint32_t n = Get16(b, at + 28), x = Get16(b, at + 30), c = Get16(b, at + 32);
    if (at + 46 + n > b.size()) return {};
    e.Name.assign(b.begin() + long(at + 46), b.begin() + long(at + 46 + n));
    const int64_t local = int64_t(Get32(b, at + 42)) + shift;
    if (local < 0 || Get32(b, size_t(local)) != 0x04034b50) return {};
    const size_t data = size_t(local) + 30 + Get16(b, size_t(local) + 26) + Get16(b, size_t(local) + 28);
    if (data + e.CompressedSize > b.size()) return {};
    e.Data.assign(b.begin() + long(data), b.begin() + long(data + e.CompressedSize));
    out.push_back(std::move(e));
    at += 46 + n + x + c;
  }
  return out;
}

}  // namespace skwtest
