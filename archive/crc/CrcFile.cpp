// CRC-32 of a whole open file, read through the platform's file services in
// blocks of at most 100000 bytes with one buffer per call. Kept apart from the
// buffer routines so that programs checksumming memory only do not pull in the
// file services.
#include <algorithm>
#include <vector>

#include "archive/crc/Crc.h"

namespace kst {

namespace {

constexpr int64_t kFileBlock = 100000;

}  // namespace

uint32_t CalcFileCRC(platform::FileHandle Handle) {
  uint32_t Crc = CRC_MASK;
  const int64_t FileSize = platform::Size(Handle);
  platform::Seek(Handle, 0, platform::SeekOrigin::Begin);
  if (FileSize > 0) {
    std::vector<uint8_t> Block(static_cast<size_t>(std::min(kFileBlock, FileSize)));
    for (;;) {
      const int64_t Got = platform::Read(Handle, Block.data(), Block.size());
      if (Got < 0) {
        Crc = CRC_MASK;
        break;
      }
      if (Got == 0) break;
      Crc32_buf(Block.data(), Got, Crc);
    }
  }
  platform::Seek(Handle, 0, platform::SeekOrigin::Begin);
  return Crc;
}

}  // namespace kst
