// A minimal, independent ZIP directory reader for tests: it finds each entry's
// raw (still compressed, possibly encrypted) bytes so decoders can be tested on
// real streams without going through the library's own lister.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace skwtest {

struct RawEntry {
  std::string Name;
  uint16_t Method = 0;
  uint16_t Flags = 0;
  uint32_t Crc32 = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint16_t DosTime = 0;
  std::vector<uint8_t> Data;  // the entry's stored bytes (encryption header included)
};

// Entries of the archive at Path in central-directory order; empty when the
// directory cannot be found or read.
std::vector<RawEntry> ReadRawZip(const std::string& Path);

}  // namespace skwtest
